// tests/tags/TagID3v2Test.cpp: finding and reading ID3v2 tags, the frame list, and where tags sit
// inside containers.
#include "tags/TagID3v2.h"

#include "tags/ID3v2Containers.h"
#include "tests/tags/TagTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <map>

using namespace tagtest;

namespace {

int Load(tags::TID3v2Tag& Tag, const Bytes& Data, bool Buffered = true)
{
    rtl::TMemoryStream s;
    Fill(s, Data);
    return Tag.LoadFromStream(s, Buffered);
}

QString Id(const tags::TID3v2Tag& Tag, int Index) { return tags::FrameIDToString(Tag.Frames[Index]->ID); }

Bytes Data(const tags::TID3v2Tag& Tag, int Index) { return Contents(*Tag.Frames[Index]->Stream); }

const Bytes TextA = B({0x00, 'A'});

} // namespace

TEST(ID3v2Load, EmptyVersion4Tag)
{
    tags::TID3v2Tag tag;
    EXPECT_EQ(Load(tag, Tag(4, 0, {})), 0);
    EXPECT_TRUE(tag.Loaded);
    EXPECT_EQ(tag.FrameCount(), 0);
    EXPECT_EQ(tag.Size, 10u);
}

TEST(ID3v2Load, ResultCodes)
{
    tags::TID3v2Tag tag;
    EXPECT_EQ(Load(tag, Tag(5, 0, Frame4("TIT2", TextA))), 8);
    EXPECT_EQ(Load(tag, Tag(1, 0, {})), 8);
    EXPECT_EQ(Load(tag, S("no tag here at all")), 1);
    EXPECT_EQ(Load(tag, {}), 1);

    testing_support::TempDir dir;
    EXPECT_EQ(tag.LoadFromFile(dir.QFile("missing.mp3")), 4);
    EXPECT_EQ(tag.LoadFromFile(dir.QPath()), 4);   // a folder is not a file
    const auto write = [&](const char* name, const Bytes& data) {
        std::ofstream(dir.File(name), std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
        return dir.QFile(QString::fromLatin1(name));
    };
    EXPECT_EQ(tag.LoadFromFile(write("v5.mp3", Tag(5, 0, {}))), 8);
    EXPECT_TRUE(tag.SourceFileName.isEmpty());
    const QString none = write("none.mp3", S("nothing"));
    EXPECT_EQ(tag.LoadFromFile(none), 1);
    EXPECT_EQ(tag.SourceFileName, none);
}

TEST(ID3v2Load, ReadsFramesUntilThePadding)
{
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(3, 0, Cat({Frame3("TIT2", TextA), Frame3("TPE1", B({0, 'B'}))}), 100)), 0);
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(Id(tag, 0), u"TIT2");
    EXPECT_EQ(Data(tag, 1), B({0, 'B'}));
    EXPECT_EQ(tag.Size, 10u + 2 * 12 + 100);
}

TEST(ID3v2Load, AFrameLargerThanItsTagStopsReadingButKeepsTheFrame)
{
    tags::TID3v2Tag tag;
    Bytes frame = Frame4("TIT2", TextA);
    const Bytes huge = Synchsafe(100000);
    std::copy(huge.begin(), huge.end(), frame.begin() + 4);
    ASSERT_EQ(Load(tag, Tag(4, 0, Cat({Frame4("TPE1", TextA), frame, Frame4("TALB", TextA)}))), 0);
    EXPECT_TRUE(tag.Error());
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(Id(tag, 1), u"TIT2");
    EXPECT_TRUE(Data(tag, 1).empty());
}

TEST(ID3v2Load, AFrameCutByTheEndOfTheFileKeepsWhatIsThere)
{
    tags::TID3v2Tag tag;
    Bytes file = Tag(3, 0, Frame3("TIT2", Bytes(50, 'x')));
    file.resize(file.size() - 20);
    ASSERT_EQ(Load(tag, file), 0);
    ASSERT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(Data(tag, 0).size(), 30u);
}

TEST(ID3v2Load, EveryPrefixOfATagLoadsSafely)
{
    const Bytes full = Tag(4, 0x40, Cat({Synchsafe(13), B({1, 0x60, 0, 5, 1, 2, 3, 4, 5}),
                                          Frame4("TIT2", TextA, 0, 0x41), B({7}), Frame4("APIC", Bytes(40, 0xFF)),
                                          Frame4("TXXX", B({0, 'd', 0, 'v'}))}), 20);
    for (size_t n = 0; n <= full.size(); ++n) {
        tags::TID3v2Tag tag;
        const int result = Load(tag, Bytes(full.begin(), full.begin() + n));
        // Nothing there, a header cut short (its version unread), or a tag read as far as it goes.
        EXPECT_TRUE(result == tags::ID3V2LIBRARY_SUCCESS || result == tags::ID3V2LIBRARY_ERROR_NO_TAG_FOUND
                    || result == tags::ID3V2LIBRARY_ERROR_NOT_SUPPORTED_VERSION) << n << ": " << result;
        for (int i = 0; i < tag.FrameCount(); ++i) tag.GetUnicodeText(i);
    }
}

TEST(ID3v2Load, ExtendedHeaderFlagFollowedByAFrameIDMeansNoExtendedHeader)
{
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(3, 0x40, Frame3("TIT2", TextA))), 0);
    EXPECT_FALSE(tag.ExtendedHeader);
    ASSERT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.GetUnicodeText(0), u"A");
}

TEST(ID3v2Load, Version4ExtendedHeaderWithUpdateAndCRC)
{
    tags::TID3v2Tag tag;
    const Bytes ext = Cat({Synchsafe(13), B({1, 0x60}), B({0}), B({5, 1, 2, 3, 4, 5})});
    ASSERT_EQ(Load(tag, Tag(4, 0x40, Cat({ext, Frame4("TIT2", TextA)}))), 0);
    EXPECT_TRUE(tag.ExtendedHeader);
    EXPECT_TRUE(tag.ExtendedHeader4->TagIsAnUpdate);
    EXPECT_TRUE(tag.ExtendedHeader4->CRCPresent);
    EXPECT_EQ(tag.ExtendedHeader4->ExtendedFlagsDataSize, 7u);
    ASSERT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.GetUnicodeText(0), u"A");
}

TEST(ID3v2Load, Version3ExtendedHeaderWithCRC)
{
    tags::TID3v2Tag tag;
    const Bytes ext = Cat({BE32(10), B({0x80, 0x00}), BE32(0), BE32(0x12345678)});
    ASSERT_EQ(Load(tag, Tag(3, 0x40, Cat({ext, Frame3("TIT2", TextA)}))), 0);
    EXPECT_TRUE(tag.ExtendedHeader3->CRCPresent);
    EXPECT_EQ(tag.ExtendedHeader3->Data.Size(), 8);
    ASSERT_EQ(tag.FrameCount(), 1);
}

TEST(ID3v2Load, Version2IdentifiersAreConverted)
{
    const Bytes jpeg = B({0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3});
    const Bytes pic = Cat({B({0}), S("JPG"), B({3}), S("cover"), B({0}), jpeg});
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(2, 0, Cat({Frame2("TT2", TextA), Frame2("TP1", TextA), Frame2("PIC", pic),
                                       Frame2("XYZ", TextA), Frame2("TLE", B({0, '7', '5', '0'}))}))), 0);
    ASSERT_EQ(tag.FrameCount(), 5);
    EXPECT_EQ(Id(tag, 0), u"TIT2");
    EXPECT_EQ(Id(tag, 1), u"TPE1");
    EXPECT_EQ(Id(tag, 2), u"APIC");
    EXPECT_EQ(Id(tag, 3), u"XYZ");
    EXPECT_EQ(tag.Frames[3]->ID[3], 0);
    EXPECT_EQ(Id(tag, 4), u"TLEN");
    rtl::TMemoryStream picture;
    QString mime, description;
    int type = 0;
    ASSERT_TRUE(tag.GetUnicodeCoverPictureStream(2, picture, mime, description, type));
    EXPECT_EQ(mime, u"image/jpeg");
    EXPECT_EQ(description, u"cover");
    EXPECT_EQ(type, 3);
    EXPECT_EQ(Contents(picture), jpeg);
    EXPECT_DOUBLE_EQ(tag.PlayTime(), 0.75);
}

TEST(ID3v2Load, EveryVersion2IdentifierHasItsVersion3Name)
{
    const QString pairs = QStringLiteral("BUF RBUF, CNT PCNT, COM COMM, CRA AENC, ETC ETCO, EQU EQUA, GEO GEOB, GP1 GRP1, IPL TIPL, LNK LINK, MCI MCDI, MLL MLLT, MVI MVIN, MVN MVNM, POP POPM, REV RVRB, RVA RVAD, SLT SYLT, STC SYTC, TAL TALB, TBP TBPM, TCM TCOM, TCO TCON, TCP TCMP, TCR TCOP, TDA TDAT, TDY TDLY, TEN TENC, TFT TFLT, TIM TIME, TKE TKEY, TLA TLAN, TLE TLEN, TMT TMED, TOA TOPE, TOF TOFN, TOL TOLY, TOR TORY, TOT TOAL, TP1 TPE1, TP2 TPE2, TP3 TPE3, TP4 TPE4, TPA TPOS, TPB TPUB, TRC TSRC, TRD TRDA, TRK TRCK, TRN TRSN, TRO TRSO, TS2 TSO2, TSA TSOA, TSC TSOC, TSI TSIZ, TSP TSOP, TSS TSSE, TST TSOT, TT1 TIT1, TT2 TIT2, TT3 TIT3, TXT TEXT, TXX TXXX, TYE TYER, UFI UFID, ULT USLT, WAF WOAF, WAR WOAR, WAS WOAS, WCM WCOM, WCP WCOP, WPB WPUB, WXX WXXX");
    Bytes body;
    std::vector<QString> expected;
    for (const QString& pair : pairs.split(QStringLiteral(", "))) {
        body = Cat({body, Frame2(pair.left(3).toStdString(), TextA)});
        expected.push_back(pair.mid(4));
    }
    ASSERT_EQ(expected.size(), 72u);
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(2, 0, body)), 0);
    ASSERT_EQ(tag.FrameCount(), 72);
    for (int i = 0; i < 72; ++i) EXPECT_EQ(Id(tag, i), expected[size_t(i)]) << pairs.split(QStringLiteral(", "))[i].toStdString();
    EXPECT_EQ(Data(tag, 0), TextA);   // only the identifier changes
}

TEST(ID3v2Load, Version2HeaderFlag40MeansCompressionAndIsOnlyRecorded)
{
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(2, 0x40, Frame2("TT2", TextA))), 0);
    EXPECT_TRUE(tag.Compressed);
    EXPECT_FALSE(tag.ExtendedHeader);
    ASSERT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.GetUnicodeText(0), u"A");
    ASSERT_EQ(Load(tag, Tag(3, 0x40, Cat({BE32(6), B({0, 0}), BE32(0), Frame3("TIT2", TextA)}))), 0);
    EXPECT_FALSE(tag.Compressed);
    EXPECT_TRUE(tag.ExtendedHeader);
}

TEST(ID3v2Load, FrameAdditionsAreReadInTheirVersionsOrder)
{
    // Version 4: group identifier, then encryption method, then the data length indicator.
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(4, 0, Frame4("TIT2", Cat({B({7, 9}), Synchsafe(2), TextA}), 0, 0x45))), 0);
    ASSERT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.Frames[0]->GroupIdentifier, 7);
    EXPECT_EQ(tag.Frames[0]->EncryptionMethod, 9);
    EXPECT_EQ(tag.Frames[0]->DataLengthIndicatorValue, 2u);
    EXPECT_EQ(Data(tag, 0), TextA);
    // Version 3: encryption method, then group identifier.
    ASSERT_EQ(Load(tag, Tag(3, 0, Frame3("TIT2", Cat({B({9, 7}), TextA}), 0, 0x60))), 0);
    ASSERT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.Frames[0]->GroupIdentifier, 7);
    EXPECT_EQ(tag.Frames[0]->EncryptionMethod, 9);
    EXPECT_EQ(Data(tag, 0), TextA);
}

TEST(ID3v2Load, Version4UnsynchronisationOfTheHeaderAppliesToEveryFrame)
{
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(4, 0x80, Cat({Frame4("TIT2", B({0, 'A', 0xFF, 0x00, 0xE0})),
                                          Frame4("PRIV", B({0xFF, 0x00, 0x00}))}))), 0);
    EXPECT_TRUE(tag.WasUnsynchronised());
    EXPECT_FALSE(tag.Unsynchronised);
    EXPECT_EQ(Data(tag, 0), B({0, 'A', 0xFF, 0xE0}));
    EXPECT_EQ(Data(tag, 1), B({0xFF, 0x00}));
}

TEST(ID3v2Load, Version4FrameUnsynchronisationFlag)
{
    tags::TID3v2Tag tag;
    tag.AutoRemoveUnsynchronisation = false;
    ASSERT_EQ(Load(tag, Tag(4, 0, Cat({Frame4("PRIV", B({0xFF, 0x00, 0xE0}), 0, 0x02), Frame4("TIT2", B({0xFF, 0x00}))}))), 0);
    EXPECT_TRUE(tag.Frames[0]->Unsynchronised);
    EXPECT_FALSE(tag.Frames[1]->Unsynchronised);
    ASSERT_TRUE(tag.RemoveUnsynchronisationOnAllFrames());
    EXPECT_EQ(Data(tag, 0), B({0xFF, 0xE0}));
    EXPECT_TRUE(tag.Frames[0]->FWasUnsynchronised);
    EXPECT_EQ(Data(tag, 1), B({0xFF, 0x00}));
}

TEST(ID3v2Load, Version3UnsynchronisationCoversFrameHeaders)
{
    // A 255-byte frame: its size field ends in FF, which unsynchronisation follows with 00.
    Bytes text = Cat({B({0}), Bytes(254, 'L')});
    const Bytes body = Cat({Frame3("TPE1", text), Frame3("TIT2", B({0, 'x', 0xFF, 0xE0}))});
    Bytes stuffed;
    for (size_t i = 0; i < body.size(); ++i) {
        stuffed.push_back(body[i]);
        if (body[i] == 0xFF && (i + 1 == body.size() || body[i + 1] >= 0xE0 || body[i + 1] == 0)) stuffed.push_back(0);
    }
    tags::TID3v2Tag tag;
    tag.TrimText = false;
    ASSERT_EQ(Load(tag, Tag(3, 0x80, stuffed, 10)), 0);
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(tag.GetUnicodeText(0), QString(254, u'L'));
    EXPECT_EQ(Data(tag, 1), B({0, 'x', 0xFF, 0xE0}));
    EXPECT_TRUE(tag.WasUnsynchronised());
}

TEST(ID3v2Load, CompressedFramesInflate)
{
    const Bytes plain = Cat({B({0}), S("compressed text compressed text")});
    Bytes z(compressBound(uLong(plain.size())));
    uLongf zn = uLongf(z.size());
    ASSERT_EQ(compress(z.data(), &zn, plain.data(), uLong(plain.size())), Z_OK);
    z.resize(zn);

    tags::TID3v2Tag v3;
    ASSERT_EQ(Load(v3, Tag(3, 0, Frame3("TIT2", Cat({BE32(uint32_t(plain.size())), z}), 0, 0x80))), 0);
    EXPECT_TRUE(v3.Frames[0]->Compressed);
    EXPECT_EQ(v3.Frames[0]->DataLengthIndicatorValue, plain.size());
    ASSERT_TRUE(v3.DeCompressAllFrames());
    EXPECT_FALSE(v3.Frames[0]->Compressed);
    EXPECT_EQ(Data(v3, 0), plain);

    tags::TID3v2Tag v4;
    ASSERT_EQ(Load(v4, Tag(4, 0, Frame4("TIT2", Cat({Synchsafe(uint32_t(plain.size())), z}), 0, 0x09))), 0);
    ASSERT_TRUE(v4.Frames[0]->DeCompress());
    EXPECT_EQ(v4.GetUnicodeText(0), u"compressed text compressed text");
}

TEST(ID3v2Load, BadCompressedFramesStayAsTheyWere)
{
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(4, 0, Cat({Frame4("TIT2", Cat({Synchsafe(9), B({1, 2, 3, 4})}), 0, 0x09),
                                       Frame4("TPE1", Cat({Synchsafe(9), B({0x78, 0x9C, 1, 2, 3, 4, 5})}), 0, 0x09)}))), 0);
    EXPECT_FALSE(tag.Frames[0]->DeCompress());   // 4 bytes or fewer
    EXPECT_FALSE(tag.Frames[1]->DeCompress());   // corrupt
    EXPECT_TRUE(tag.Frames[1]->Compressed);
    EXPECT_EQ(Data(tag, 1), B({0x78, 0x9C, 1, 2, 3, 4, 5}));
}

TEST(ID3v2Load, FrameAdditionsLargerThanTheFrameDoNotStopTheLoad)
{
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(4, 0, Cat({Frame4("TIT2", B({1, 2}), 0, 0x01), Frame4("TPE1", TextA)}))), 0);
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_TRUE(Data(tag, 0).empty());
    EXPECT_EQ(tag.GetUnicodeText(1), u"A");
}

TEST(ID3v2Frame, FlagsDecodeFromTheirOwnBitsAndEncodeBack)
{
    struct Case { int Version, Status, Format; bool Tag, File, ReadOnly, Group; };
    const Case cases[] = {
        {4, 0x40, 0, true, false, false, false}, {4, 0x20, 0, false, true, false, false},
        {4, 0x10, 0, false, false, true, false}, {4, 0, 0x40, false, false, false, true},
        {3, 0x80, 0x20, true, false, false, true}, {3, 0x40, 0, false, true, false, false}};
    for (const auto& c : cases) {
        tags::TID3v2Frame f(nullptr);
        f.Flags = uint16_t((c.Status << 8) | c.Format);
        c.Version == 3 ? f.DecodeFlags3() : f.DecodeFlags4();
        EXPECT_EQ(f.TagAlterPreservation, c.Tag);
        EXPECT_EQ(f.FileAlterPreservation, c.File);
        EXPECT_EQ(f.ReadOnly, c.ReadOnly);
        EXPECT_EQ(f.GroupingIdentity, c.Group);
        const uint16_t read = f.Flags;
        f.Flags = 0;
        c.Version == 3 ? f.EncodeFlags3() : f.EncodeFlags4();
        EXPECT_EQ(f.Flags, read);
    }
}

TEST(ID3v2FrameList, AddFindCountAndDelete)
{
    tags::TID3v2Tag tag;
    for (const char* id : {"APIC", "TIT2", "APIC", "TIT2"}) tag.AddFrame(QString::fromLatin1(id));
    EXPECT_EQ(tag.FrameExists(QStringLiteral("TIT2")), 1);
    EXPECT_EQ(tag.FrameTypeCount(QStringLiteral("TIT2")), 2);
    EXPECT_EQ(tag.FrameExists(QStringLiteral("TALB")), -1);
    EXPECT_FALSE(tag.DeleteFrame(-1));
    EXPECT_FALSE(tag.DeleteFrame(tag.FrameCount()));
    tag.DeleteAllCoverArts();
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(tag.Frames[1]->IndexInParent(), 1);
    EXPECT_TRUE(tag.DeleteFrame(QStringLiteral("TIT2")));
    EXPECT_EQ(tag.FrameCount(), 1);
}

TEST(ID3v2Load, ClearResetsWhatALoadSet)
{
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(4, 0x80, Frame4("TIT2", TextA))), 0);
    tag.PaddingToWrite = 10;
    tag.Clear();
    EXPECT_EQ(tag.MajorVersion, 3);
    EXPECT_EQ(tag.MinorVersion, 0);
    EXPECT_EQ(tag.PaddingToWrite, 4096u);
    EXPECT_EQ(tag.FrameCount(), 0);
    EXPECT_FALSE(tag.Loaded);
}

TEST(ID3v2Load, SearchFindsATagAfterJunkOnlyWhenAsked)
{
    const Bytes file = Cat({Bytes(100, 'j'), Tag(3, 0, Frame3("TIT2", TextA))});
    tags::TID3v2Tag tag;
    EXPECT_EQ(Load(tag, file), 1);
    tag.BeginningSearchLength = 100;
    EXPECT_EQ(Load(tag, file), 1);
    tag.BeginningSearchLength = 101;
    ASSERT_EQ(Load(tag, file), 0);
    EXPECT_EQ(tag.Position(), 100);
    EXPECT_EQ(tag.FrameCount(), 1);
}

TEST(ID3v2Load, PicturesAreSkippedWhenNotWanted)
{
    const Bytes pic = Cat({B({0}), S("PNG"), B({3, 0}), Bytes(500, 9)});
    const Bytes apic = Cat({B({0}), S("image/png"), B({0, 3, 0}), Bytes(500, 9)});
    for (const Bytes& file : {Tag(2, 0, Cat({Frame2("PIC", pic), Frame2("TT2", TextA)})),
                              Tag(3, 0, Cat({Frame3("APIC", apic), Frame3("TIT2", TextA)})),
                              Tag(4, 0, Cat({Frame4("APIC", apic), Frame4("TIT2", TextA)}))}) {
        tags::TID3v2Tag tag;
        tag.ParseCoverArts = false;
        ASSERT_EQ(Load(tag, file), 0);
        ASSERT_EQ(tag.FrameCount(), 2);
        EXPECT_EQ(Id(tag, 0), u"APIC");
        EXPECT_TRUE(Data(tag, 0).empty());
        EXPECT_EQ(tag.GetUnicodeText(1), u"A");
    }
}

TEST(ID3v2Load, FrameSyncSearchTakesTheSecondByteAsItsPartner)
{
    const Bytes frame = B({0xFF, 0xFB, 0x90, 0x00});
    tags::TID3v2Tag tag;
    Load(tag, Cat({B({1, 2}), frame, Bytes(400, 0)}));
    EXPECT_EQ(tag.SourceFileType(), tags::sftMPEG);
    EXPECT_EQ(tag.MPEGInfo.Position, 2);
    Load(tag, Cat({B({1, 0xFF}), frame, Bytes(400, 0)}));   // FF FF FB: the second FF is consumed
    EXPECT_EQ(tag.SourceFileType(), tags::sftUnknown);
}

// ---------------------------------------------------------------------------------------------
// Containers

namespace {

const Bytes SmallTag = Tag(4, 0, Frame4("TIT2", B({0, 'C'})));
const Bytes PcmFmt = Cat({LE16(1), LE16(2), LE32(44100), LE32(176400), LE16(4), LE16(16)});

// A stream of zeros of any size with a few stretches of real bytes: big files without the memory.
class TSparseStream : public rtl::TStream {
public:
    explicit TSparseStream(int64_t ASize) : FSize(ASize) {}
    void Put(int64_t At, const Bytes& Data) { FParts[At] = Data; }
    int64_t Read(void* Buffer, int64_t Count) override
    {
        const int64_t n = std::max<int64_t>(0, std::min(Count, FSize - FPos));
        auto* out = static_cast<uint8_t*>(Buffer);
        std::fill(out, out + n, 0);
        for (const auto& [at, data] : FParts)
            for (int64_t i = 0; i < int64_t(data.size()); ++i)
                if (at + i >= FPos && at + i < FPos + n) out[at + i - FPos] = data[size_t(i)];
        FPos += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t Offset, rtl::TSeekOrigin Origin) override
    {
        FPos = (Origin == rtl::soBeginning ? 0 : Origin == rtl::soCurrent ? FPos : FSize) + Offset;
        return FPos;
    }

protected:
    int64_t GetSize() override { return FSize; }

private:
    int64_t FSize, FPos = 0;
    std::map<int64_t, Bytes> FParts;
};

} // namespace

TEST(ID3v2Containers, WavChunkNamesAndOddChunks)
{
    for (const char* name : {"id3 ", "ID32"}) {
        tags::TID3v2Tag tag;
        const Bytes wav = Riff("WAVE", Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("LIST", Bytes(15, 'i')),
                                            ChunkLE("data", Bytes(8, 0)), ChunkLE(name, SmallTag)}));
        ASSERT_EQ(Load(tag, wav), 0) << name;
        EXPECT_EQ(tag.SourceFileType(), tags::sftWAVE);
        EXPECT_EQ(tag.GetUnicodeText(0), u"C");
        EXPECT_EQ(tag.WAVInfo.Channels, 2);
        EXPECT_EQ(tag.SampleCount, 2);
    }
    tags::TID3v2Tag tag;
    EXPECT_EQ(Load(tag, Riff("WAVE", Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("ID3 ", SmallTag)}))), 1);
    EXPECT_EQ(tag.SourceFileType(), tags::sftWAVE);
    EXPECT_EQ(Load(tag, Riff("WAVE", Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("id3 ", S("not a tag"))}))), 1);
}

TEST(ID3v2Containers, Rf64SkipsDataByTheSizeInDs64)
{
    const int64_t dataSize = 5LL * 1024 * 1024 * 1024;
    const Bytes head = Cat({S("RF64"), LE32(0xFFFFFFFF), S("WAVE"),
                            S("ds64"), LE32(28), LE64(0), LE64(uint64_t(dataSize)), LE64(uint64_t(dataSize / 4)), LE32(0),
                            ChunkLE("fmt ", PcmFmt), S("data"), LE32(0xFFFFFFFF)});
    const int64_t tagAt = int64_t(head.size()) + dataSize;
    TSparseStream s(tagAt + 8 + int64_t(SmallTag.size()));
    s.Put(0, head);
    s.Put(tagAt, Cat({S("id3 "), LE32(uint32_t(SmallTag.size())), SmallTag}));
    tags::TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromStream(s, true), 0);
    EXPECT_EQ(tag.SourceFileType(), tags::sftRF64);
    EXPECT_EQ(tag.SampleCount, dataSize / 4);
    EXPECT_EQ(tag.GetUnicodeText(0), u"C");
}

TEST(ID3v2Containers, AiffAndAifc)
{
    const Bytes comm = Cat({BE16(2), BE32(44100), BE16(16), B({0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0})});
    tags::TID3v2Tag tag;
    const Bytes aiff = Form("AIFF", Cat({ChunkBE("COMM", comm), ChunkBE("SSND", Bytes(8 + 176400, 0)), ChunkBE("ID3 ", SmallTag)}));
    ASSERT_EQ(Load(tag, aiff), 0);
    EXPECT_EQ(tag.SourceFileType(), tags::sftAIFF);
    EXPECT_DOUBLE_EQ(tag.AIFFInfo.SampleRate, 44100.0);
    EXPECT_DOUBLE_EQ(tag.PlayTime(), 1.0);
    EXPECT_EQ(tag.BitRate, 1411);

    const Bytes aifcComm = Cat({comm, S("sowt"), B({5}), S("Intel"), B({0})});
    const Bytes aifc = Form("AIFC", Cat({ChunkBE("COMM", aifcComm), ChunkBE("ID3 ", SmallTag)}));
    ASSERT_EQ(Load(tag, aifc), 0);
    EXPECT_EQ(tag.AIFFInfo.CompressionID, u"sowt");
    EXPECT_EQ(tag.AIFFInfo.Compression, u"Intel");
}

TEST(ID3v2Containers, DsfMetadataPointer)
{
    tags::TID3v2Tag tag;
    const Bytes data = Cat({S("data"), LE64(12 + 4), Bytes(4, 0)});
    ASSERT_EQ(Load(tag, Dsf(28 + 52 + 16, Cat({data, SmallTag}))), 0);
    EXPECT_EQ(tag.SourceFileType(), tags::sftDSF);
    EXPECT_DOUBLE_EQ(tag.PlayTime(), 10.0);
    EXPECT_EQ(tag.DSFInfo->GetBitRate(), 5645u);
    EXPECT_EQ(tag.DSFInfo->ChannelType, tags::dsfctStereo);
    EXPECT_EQ(Load(tag, Dsf(0, Cat({data, SmallTag}))), 1);
    EXPECT_EQ(Load(tag, Dsf(28 + 52, Cat({data, SmallTag}))), 1);   // points at bytes that are not "ID3"
}

TEST(ID3v2Containers, DffWalkStepsOverPadBytes)
{
    const Bytes prop = Cat({S("SND "), Chunk64("FS  ", BE32(2822400)), Chunk64("CHNL", Cat({BE16(2), S("SLFTSRGT")})),
                            Chunk64("CMPR", Cat({S("DSD "), B({3}), S("abc")}))});
    const Bytes body = Cat({Chunk64("FVER", B({1, 5, 0, 0})), Chunk64("PROP", prop), Chunk64("COMT", Bytes(3, 'c')),
                            Chunk64("DSD ", Bytes(705600, 0)), Chunk64("ID3 ", SmallTag)});
    const Bytes dff = Cat({S("FRM8"), BE64(body.size() + 4), S("DSD "), body});
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, dff), 0);
    EXPECT_EQ(tag.SourceFileType(), tags::sftDFF);
    EXPECT_EQ(tag.DFFInfo->FormatVersion, u"1.5");
    EXPECT_EQ(tag.DFFInfo->SampleRate, 2822400u);
    EXPECT_EQ(tag.DFFInfo->ChannelNumber, 2);
    EXPECT_EQ(tag.DFFInfo->CompressionName, u"Not Compressed");
    EXPECT_DOUBLE_EQ(tag.DFFInfo->PlayTime, 1.0);
    EXPECT_EQ(tag.DFFInfo->SampleCount, 2822400u);
    EXPECT_EQ(tag.DFFInfo->BitRate, 5645u);
    EXPECT_EQ(tag.GetUnicodeText(0), u"C");
}

TEST(ID3v2Containers, DffFormatVersions)
{
    const std::pair<int, const char16_t*> cases[] = {{0, u"1.0"}, {3, u"1.3"}, {4, u"1.4"}, {5, u"1.5"}, {2, u""}, {6, u""}};
    for (const auto& [minor, text] : cases) {
        const Bytes body = Cat({Chunk64("FVER", B({1, minor, 0, 0})), Chunk64("DSD ", Bytes(16, 0)), Chunk64("ID3 ", SmallTag)});
        tags::TID3v2Tag tag;
        ASSERT_EQ(Load(tag, Cat({S("FRM8"), BE64(body.size() + 4), S("DSD "), body})), 0);
        EXPECT_EQ(tag.DFFInfo->FormatVersion, QString::fromUtf16(text)) << minor;
    }
}

TEST(ID3v2Containers, DffDstPlayTimeFromFrameRate)
{
    const Bytes prop = Cat({S("SND "), Chunk64("FS  ", BE32(2822400)), Chunk64("CHNL", Cat({BE16(2), S("SLFTSRGT")})),
                            Chunk64("CMPR", Cat({S("DST "), B({3}), S("dst")}))});
    const Bytes dst = Cat({Chunk64("FRTE", Cat({BE32(750), BE16(75)})), Bytes(100, 0)});
    const Bytes body = Cat({Chunk64("FVER", B({1, 5, 0, 0})), Chunk64("PROP", prop), Chunk64("DST ", dst)});
    const Bytes dff = Cat({S("FRM8"), BE64(body.size() + 4), S("DSD "), body});
    rtl::TMemoryStream s;
    Fill(s, dff);
    tags::TDFFInfo info;
    ASSERT_TRUE(info.LoadFromStream(s));
    EXPECT_EQ(info.CompressionName, u"DST Encoded");
    EXPECT_DOUBLE_EQ(info.PlayTime, 10.0);
    EXPECT_EQ(info.SampleCount, 28224000u);
    EXPECT_EQ(info.DSTFramesCount, 750u);
}

TEST(ID3v2Containers, TagSizeAtAPosition)
{
    rtl::TMemoryStream s;
    Fill(s, Cat({B({9}), S("ID3"), B({3, 0, 0, 0, 0, 2, 1})}));
    s.SetPosition(1);
    EXPECT_EQ(tags::ID3v2TagSizeAt(s), 267u);
    EXPECT_EQ(s.Position(), 1);
    s.SetPosition(0);
    EXPECT_EQ(tags::ID3v2TagSizeAt(s), 0u);
}

TEST(ID3v2Containers, CorruptSizesNeitherHangNorCrash)
{
    const Bytes cases[] = {
        Riff("WAVE", Cat({S("fmt "), LE32(0xFFFFFFF0), PcmFmt})),
        Cat({S("RF64"), LE32(0xFFFFFFFF), S("WAVE"), S("ds64"), LE32(3)}),
        Cat({S("FORM"), BE32(0xFFFFFFFF), S("AIFC"), S("COMM"), BE32(0xFFFFFFFF)}),
        Cat({S("DSD "), LE64(0xFFFFFFFFFFFF), LE64(0), LE64(0xFFFFFFFFFFFF)}),
        Cat({S("FRM8"), BE64(~0ULL), S("DSD "), S("PROP"), BE64(~0ULL), S("SND ")}),
        Cat({S("FRM8"), BE64(~0ULL), S("DSD "), S("PROP"), BE64(40), S("SND "), S("FS  "), BE64(~0ULL)})};
    for (const auto& c : cases) {
        tags::TID3v2Tag tag;
        EXPECT_EQ(Load(tag, c), 1);
    }
}

TEST(ID3v2Containers, AudioFactsThatCannotBeWorkedOutStayZeroAndTheTagIsStillRead)
{
    const Bytes fmt = Cat({LE16(1), LE16(2), LE32(44100), LE32(176400), LE16(0), LE16(16)});   // block alignment 0
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Riff("WAVE", Cat({ChunkLE("fmt ", fmt), ChunkLE("data", Bytes(8, 0)), ChunkLE("id3 ", SmallTag)}))), 0);
    EXPECT_EQ(tag.GetUnicodeText(0), u"C");
    EXPECT_EQ(tag.SampleCount, 0);
    EXPECT_EQ(tag.BitRate, 0);

    Bytes dsf = Dsf(28 + 52 + 16, Cat({S("data"), LE64(12 + 4), Bytes(4, 0), SmallTag}));
    std::fill_n(dsf.begin() + 28 + 28, 4, 0);   // sampling frequency 0
    ASSERT_EQ(Load(tag, dsf), 0);
    EXPECT_EQ(tag.GetUnicodeText(0), u"C");
    EXPECT_EQ(tag.PlayTime(), 0);
}

TEST(ID3v2Load, CompressedFramesInflateWithinOneBudgetPerTag)
{
    // Three frames of 30 MB of zeros each, compressed to a few ten KB: the third passes the tag's
    // budget and stays compressed.
    z_stream z{};
    ASSERT_EQ(deflateInit(&z, 1), Z_OK);
    const Bytes zeros(1 << 20, 0);
    Bytes packed(1 << 20);
    size_t used = 0;
    for (int i = 0; i < 30; ++i) {
        z.next_in = const_cast<Bytef*>(zeros.data());
        z.avail_in = uInt(zeros.size());
        do {
            if (used == packed.size()) packed.resize(packed.size() * 2);
            z.next_out = packed.data() + used;
            z.avail_out = uInt(packed.size() - used);
            deflate(&z, i == 29 ? Z_FINISH : Z_NO_FLUSH);
            used = packed.size() - z.avail_out;
        } while (z.avail_in > 0 || (i == 29 && z.avail_out == 0));
    }
    deflateEnd(&z);
    packed.resize(used);
    const Bytes frame = Frame3("PRIV", Cat({BE32(30 << 20), packed}), 0, 0x80);
    tags::TID3v2Tag tag;
    ASSERT_EQ(Load(tag, Tag(3, 0, Cat({frame, frame, frame}))), 0);
    ASSERT_EQ(tag.FrameCount(), 3);
    tag.DeCompressAllFrames();
    EXPECT_EQ(tag.Frames[0]->Stream->Size(), 30 << 20);
    EXPECT_EQ(tag.Frames[1]->Stream->Size(), 30 << 20);
    EXPECT_TRUE(tag.Frames[2]->Compressed);
    EXPECT_EQ(tag.Frames[2]->Stream->Size(), int64_t(packed.size()));
}
