// tests/tags/TagID3v2SaveTest.cpp: writing ID3v2 tags into streams, MP3 files and containers, removing
// them again, and what a failing step leaves behind.
#include "tags/ID3v2ContainerWriters.h"
#include "tags/SafeFile.h"
#include "tags/TagID3v2.h"

#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using namespace tagtest;

namespace {

void AddData(tags::TID3v2Tag& Tag, const char* Id, const Bytes& Data)
{
    const int i = Tag.AddFrame(QString::fromLatin1(Id));
    if (!Data.empty()) Tag.Frames[i]->Stream->WriteBuffer(Data.data(), int64_t(Data.size()));
}

// A tag of exactly Size bytes unpadded: one PRIV frame.
void MakeTagOfSize(tags::TID3v2Tag& Tag, int Size)
{
    Tag.Clear();
    AddData(Tag, "PRIV", Bytes(size_t(Size - 20), 'p'));
}

Bytes Saved(tags::TID3v2Tag& Tag, uint32_t Padding)
{
    rtl::TMemoryStream s;
    EXPECT_EQ(Tag.SaveTagToStream(s, Padding), 0);
    return Contents(s);
}

QStringList FilesIn(const testing_support::TempDir& Dir)
{
    return QDir(Dir.QPath()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Fake MPEG audio: frame headers and a recognisable body.
Bytes Audio(size_t Size)
{
    Bytes b(Size);
    for (size_t i = 0; i < Size; ++i) b[i] = uint8_t(i * 7 + 3);
    b[0] = 0xFF;
    b[1] = 0xFB;
    return b;
}

const Bytes PcmFmt = Cat({LE16(1), LE16(2), LE32(44100), LE32(176400), LE16(4), LE16(16)});
Bytes SmallTagBytes() { return Tag(4, 0, Frame4("TIT2", B({0, 'C'}))); }

const Bytes AiffComm = Cat({BE16(2), BE32(44100), BE16(16), B({0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0})});

void TitleTag(tags::TID3v2Tag& Tag, const QString& Title, int Version = 3)
{
    Tag.Clear();
    Tag.MajorVersion = uint8_t(Version);
    Tag.SetUnicodeText(QStringLiteral("TIT2"), Title);
}

QString LoadedTitle(const QString& File)
{
    tags::TID3v2Tag tag;
    if (tag.LoadFromFile(File) != 0) return QStringLiteral("<no tag>");
    return tag.GetUnicodeText(QStringLiteral("TIT2"));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The tag's bytes

TEST(ID3v2Save, HeaderFramesAndPaddingAreByteExact)
{
    tags::TID3v2Tag tag;
    AddData(tag, "TIT2", B({0x01, 0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00}));
    const Bytes expected = Cat({B({0x49, 0x44, 0x33, 0x03, 0x00, 0x00, 0x00, 0x00, 0x20, 0x11}),
                                B({0x54, 0x49, 0x54, 0x32, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00}),
                                B({0x01, 0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00}), Bytes(4096, 0)});
    EXPECT_EQ(Saved(tag, 4096), expected);
    EXPECT_EQ(tag.CalculateTagSize(4096), 10 + 17 + 4096);
    EXPECT_EQ(tag.PaddingSize, 4096u);
}

TEST(ID3v2Save, FramesWithoutAValidIDOrDataAreLeftOut)
{
    tags::TID3v2Tag tag;
    AddData(tag, "TIT2", S("\x03x"));
    AddData(tag, "TXY", S("\x03 unconverted 2.2 ID"));
    AddData(tag, "TPE1", {});
    AddData(tag, "tALB", S("\x03lower case"));
    EXPECT_EQ(tag.CalculateTagSize(0), 10 + 10 + 2);
    EXPECT_EQ(Saved(tag, 0), Tag(3, 0, Frame3("TIT2", S("\x03x"))));

    tags::TID3v2Tag empty;
    EXPECT_EQ(empty.SaveToStream(*std::make_unique<rtl::TMemoryStream>()), tags::ID3V2LIBRARY_ERROR_EMPTY_TAG);
    AddData(empty, "TPE1", {});
    rtl::TMemoryStream s;
    EXPECT_EQ(empty.SaveToStream(s), tags::ID3V2LIBRARY_ERROR_EMPTY_FRAMES);
    EXPECT_EQ(s.Size(), 0);
}

TEST(ID3v2Save, FrameHeadersPerVersion)
{
    tags::TID3v2Tag tag;
    AddData(tag, "PRIV", S("abc"));
    auto& f = *tag.Frames[0];
    f.Encrypted = true;
    f.EncryptionMethod = 0x81;
    f.GroupingIdentity = true;
    f.GroupIdentifier = 0x42;
    // version 3: size counts the two added bytes; flags 0x0060; method before group
    EXPECT_EQ(Saved(tag, 0), Tag(3, 0, Frame3("PRIV", S("\x81\x42" "abc"), 0, 0x60)));

    f.Encrypted = false;
    f.GroupingIdentity = false;
    f.DataLengthIndicator = true;
    f.DataLengthIndicatorValue = 200;
    tag.MajorVersion = 4;
    // version 4: synchsafe sizes, data length indicator synchsafe after the flags
    EXPECT_EQ(Saved(tag, 0), Tag(4, 0, Frame4("PRIV", Cat({Synchsafe(200), S("abc")}), 0, 0x01)));
    // version 3 announces no data length without compression: writing one would shift the data
    tag.MajorVersion = 3;
    EXPECT_EQ(Saved(tag, 0), Tag(3, 0, Frame3("PRIV", S("abc"))));

    tag.MajorVersion = 2;
    Saved(tag, 0);
    EXPECT_EQ(tag.MajorVersion, 3);
    tag.MajorVersion = 5;
    rtl::TMemoryStream s;
    EXPECT_EQ(tag.SaveTagToStream(s, 0), tags::ID3V2LIBRARY_ERROR_NOT_SUPPORTED_VERSION);
    EXPECT_EQ(s.Size(), 0);
}

TEST(ID3v2Save, ALoadedTagSavesBackToItsOwnBytes)
{
    const Bytes original = Tag(4, 0, Cat({Frame4("TIT2", S("\x03Title")), Frame4("TPE1", S(std::string("\x00" "Artist", 7)), 0x40, 0),
                                          Frame4("COMM", S(std::string("\x03" "eng\x00text", 9)))}), 100);
    rtl::TMemoryStream s;
    Fill(s, original);
    tags::TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromStream(s), 0);
    tag.PaddingToWrite = 100;
    EXPECT_EQ(tag.SaveToStream(s), 0);
    EXPECT_EQ(Contents(s), original);
}

TEST(ID3v2Save, SaveToStreamReplacesTheOldTagAndKeepsTheAudio)
{
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("New"));
    tag.PaddingToWrite = 16;
    rtl::TMemoryStream s;
    Fill(s, Tag(3, 0, Frame3("TIT2", S("\x03Old old old old old old old old old old old")), 500));
    ASSERT_EQ(tag.SaveToStream(s), 0);
    EXPECT_EQ(Contents(s), Saved(tag, 16));
    EXPECT_EQ(s.Position(), 0);

    Fill(s, Audio(300));
    ASSERT_EQ(tag.SaveToStream(s, false), 0);
    EXPECT_EQ(Contents(s), Cat({Saved(tag, 16), Audio(300)}));
}

// ---------------------------------------------------------------------------------------------
// MP3 files: in place or rebuilt

struct ThresholdCase {
    const char* name;
    int oldSize;       // 0: no tag
    int newSize;       // unpadded
    bool inPlace;
    int expectedPadding;
};

class ID3v2SaveThreshold : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(ID3v2SaveThreshold, RewritesInPlaceOnlyWhenTheSpareRoomIsAtMostThePadding)
{
    const auto& c = GetParam();
    testing_support::TempDir dir;
    const Bytes oldTag = c.oldSize ? Tag(3, 0, Frame3("PRIV", Bytes(20, 'o')), c.oldSize - 10 - 30) : Bytes{};
    const QString file = WriteFile(dir, QStringLiteral("song.mp3"), Cat({oldTag, Audio(5000)}));
    struct stat before {};
    ::stat(file.toLocal8Bit().constData(), &before);

    tags::TID3v2Tag tag;
    MakeTagOfSize(tag, c.newSize);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const Bytes after = FileBytes(file);
    EXPECT_EQ(after.size(), size_t(c.newSize + c.expectedPadding + 5000));
    EXPECT_EQ(Bytes(after.end() - 5000, after.end()), Audio(5000));
    EXPECT_EQ(tag.PaddingSize, uint32_t(c.expectedPadding));
    struct stat now {};
    ::stat(file.toLocal8Bit().constData(), &now);
    EXPECT_EQ(now.st_ino == before.st_ino, c.inPlace) << "in place keeps the file, a rebuild replaces it";
    EXPECT_EQ(FilesIn(dir), QStringList{QStringLiteral("song.mp3")});
}

INSTANTIATE_TEST_SUITE_P(Cases, ID3v2SaveThreshold, ::testing::Values(
    ThresholdCase{"shrinks_within_padding", 10000, 9000, true, 1000},
    ThresholdCase{"shrinks_beyond_padding", 10000, 4000, false, 4096},
    ThresholdCase{"spare_exactly_padding", 10000, 10000 - 4096, true, 4096},
    ThresholdCase{"spare_one_over", 10000, 10000 - 4097, false, 4096},
    ThresholdCase{"same_size", 10000, 10000, true, 0},
    ThresholdCase{"grows", 10000, 10001, false, 4096},
    ThresholdCase{"no_tag", 0, 3000, false, 4096}),
    [](const auto& Info) { return std::string(Info.param.name); });

TEST(ID3v2SaveFile, RebuildKeepsModeAndNeverTouchesAUsersTmpFile)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, QStringLiteral("song.mp3"), Audio(2000));
    const QString userTmp = WriteFile(dir, QStringLiteral("song.mp3.tmp"), S("mine"));
    const QString otherTmp = WriteFile(dir, QStringLiteral("song.tmp"), S("mine too"));
    ::chmod(file.toLocal8Bit().constData(), 0640);
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(LoadedTitle(file), u"T");
    struct stat st {};
    ::stat(file.toLocal8Bit().constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(FileBytes(userTmp), S("mine"));
    EXPECT_EQ(FileBytes(otherTmp), S("mine too"));
    EXPECT_EQ(FilesIn(dir).size(), 3);
}

TEST(ID3v2SaveFile, ARebuildThroughALinkReplacesTheFileItNames)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, QStringLiteral("real.mp3"), Audio(300));
    const QString link = dir.QFile(QStringLiteral("link.mp3"));
    ASSERT_EQ(::symlink("real.mp3", link.toLocal8Bit().constData()), 0);
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    ASSERT_EQ(tag.SaveToFile(link), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(LoadedTitle(file), u"T");
    EXPECT_EQ(tags::StripID3v2FromFile(link), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(FileBytes(file), Audio(300));
}

TEST(ID3v2SaveFile, ANewFileHoldsTheTagAndItsPadding)
{
    testing_support::TempDir dir;
    const QString file = dir.QFile(QStringLiteral("new.mp3"));
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(FileBytes(file), Saved(tag, 4096));
}

TEST(ID3v2SaveFile, OtherOpenersDecideBetweenInPlaceRebuildAndRefusal)
{
    testing_support::TempDir dir;
    const Bytes original = Cat({Tag(3, 0, Frame3("TIT2", S("\x03Old")), 100), Audio(500)});
    const QString file = WriteFile(dir, QStringLiteral("a.mp3"), original);
    tags::TID3v2Tag tag;
    {
        rtl::TFileStream reader(file, rtl::fmOpenRead | rtl::fmShareDenyNone);
        TitleTag(tag, QStringLiteral("Fits"));
        tag.PaddingToWrite = 200;
        EXPECT_EQ(tag.SaveToFile(file), 0);
        EXPECT_EQ(LoadedTitle(file), u"Fits");
        tag.PaddingToWrite = 4096;
        MakeTagOfSize(tag, 400);
        EXPECT_EQ(tag.SaveToFile(file), tags::ID3V2LIBRARY_ERROR_FILE_IN_USE);
        EXPECT_EQ(LoadedTitle(file), u"Fits");
    }
    {
        rtl::TFileStream writer(file, rtl::fmOpenReadWrite | rtl::fmShareDenyNone);
        EXPECT_EQ(tag.SaveToFile(file), tags::ID3V2LIBRARY_ERROR_OPENING_FILE);
    }
    EXPECT_EQ(tag.SaveToFile(file), 0);
}

// ---------------------------------------------------------------------------------------------
// Failures keep the original

struct FaultCase {
    const char* name;
    tags::TFileStep step;
    int saveResult;    // writing a tag that needs a rebuild
    int stripResult;   // StripID3v2FromFile
    int removeResult;  // RemoveWAVID3v2Chunk
};

class ID3v2SaveFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ID3v2SaveFaults, LeaveTheFileByteIdenticalWithTheUnitsCode)
{
    const auto& c = GetParam();
    testing_support::TempDir dir;
    const Bytes mp3 = Cat({Tag(3, 0, Frame3("TIT2", S("\x03Old"))), Audio(3000)});
    // A chunk before another one: the file is written anew (one at the end is written in place, below).
    const Bytes wav = Riff("WAVE", Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("data", Bytes(400, 1)),
                                        ChunkLE("id3 ", Tag(3, 0, Frame3("TIT2", S("\x03Old")), 10)), ChunkLE("junk", S("x"))}));
    const QString mp3File = WriteFile(dir, QStringLiteral("song.mp3"), mp3);
    const QString wavFile = WriteFile(dir, QStringLiteral("song.wav"), wav);
    tags::TID3v2Tag tag;
    MakeTagOfSize(tag, 6000);
    {
        TFaultGuard fault(c.step);
        EXPECT_EQ(tag.SaveToFile(mp3File), c.saveResult);
        EXPECT_EQ(tag.SaveToFile(wavFile), tags::ID3V2LIBRARY_ERROR_WRITING_FILE);
        EXPECT_EQ(tags::StripID3v2FromFile(mp3File), c.stripResult);
        EXPECT_EQ(tags::RemoveWAVID3v2Chunk(wavFile), c.removeResult);
    }
    EXPECT_EQ(FileBytes(mp3File), mp3);
    EXPECT_EQ(FileBytes(wavFile), wav);
    EXPECT_EQ(FilesIn(dir), (QStringList{QStringLiteral("song.mp3"), QStringLiteral("song.wav")}));
}

INSTANTIATE_TEST_SUITE_P(Steps, ID3v2SaveFaults, ::testing::Values(
    FaultCase{"create", tags::TFileStep::Create, tags::ID3V2LIBRARY_ERROR, tags::ID3V2LIBRARY_ERROR_OPENING_FILE,
              tags::ID3V2LIBRARY_ERROR_WRITING_FILE},
    FaultCase{"write", tags::TFileStep::Write, tags::ID3V2LIBRARY_ERROR_WRITING_FILE,
              tags::ID3V2LIBRARY_ERROR_WRITING_FILE, tags::ID3V2LIBRARY_ERROR},
    FaultCase{"flush", tags::TFileStep::Flush, tags::ID3V2LIBRARY_ERROR_WRITING_FILE,
              tags::ID3V2LIBRARY_ERROR_WRITING_FILE, tags::ID3V2LIBRARY_ERROR},
    FaultCase{"rename", tags::TFileStep::Rename, tags::ID3V2LIBRARY_ERROR_WRITING_FILE,
              tags::ID3V2LIBRARY_ERROR_WRITING_FILE, tags::ID3V2LIBRARY_ERROR}),
    [](const auto& Info) { return std::string(Info.param.name); });

// A tag chunk that ends the file (appended, or the last one resized) is written in place:
// the same file, the audio untouched, and after a failed step the old bytes again.
TEST(ID3v2SaveFile, ATagBehindTheAudioIsWrittenInPlace)
{
    const Bytes samples(4000, 0x21);
    const Bytes oldTag = Tag(3, 0, Frame3("TIT2", S("\x03Old")), 10);
    struct TCase { const char* Name; Bytes File; Bytes Audio; };   // Audio: what follows the form type
    const Bytes wavHead = Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("data", samples)});
    const TCase cases[] = {
        {"wav, appended", Riff("WAVE", wavHead), wavHead},
        {"wav, last chunk resized", Riff("WAVE", Cat({wavHead, ChunkLE("id3 ", oldTag)})), wavHead},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        testing_support::TempDir dir;
        const QString file = WriteFile(dir, QStringLiteral("a.bin"), c.File);
        const ino_t inode = Inode(file);
        tags::TID3v2Tag tag;
        MakeTagOfSize(tag, 3000);
        for (auto step : {tags::TFileStep::Write, tags::TFileStep::Flush, tags::TFileStep::Cut}) {
            TFaultGuard fault(step);
            EXPECT_EQ(tag.SaveToFile(file), tags::ID3V2LIBRARY_ERROR_WRITING_FILE);
            EXPECT_EQ(FileBytes(file), c.File);
        }
        // The container's sizes change only once the new tail is on disk: a crash before leaves the old file.
        Bytes atFlush;
        tags::SetFileFaultHook([&](tags::TFileStep Step) {
            if (Step == tags::TFileStep::Flush) atFlush = FileBytes(file);
            return false;
        });
        const int saved = tag.SaveToFile(file);
        tags::SetFileFaultHook(nullptr);
        ASSERT_EQ(saved, 0);
        ASSERT_GE(atFlush.size(), 8u);
        EXPECT_EQ(Bytes(atFlush.begin(), atFlush.begin() + 8), Bytes(c.File.begin(), c.File.begin() + 8));
        EXPECT_EQ(Inode(file), inode);
        const Bytes after = FileBytes(file);
        EXPECT_NE(Bytes(after.begin(), after.begin() + 8), Bytes(c.File.begin(), c.File.begin() + 8));
        EXPECT_TRUE(std::equal(c.Audio.begin(), c.Audio.end(), after.begin() + 12));
        tags::TID3v2Tag back;
        ASSERT_EQ(back.LoadFromFile(file), 0);
        EXPECT_EQ(back.FrameCount(), tag.FrameCount());
        EXPECT_EQ(FilesIn(dir), QStringList{QStringLiteral("a.bin")});
    }
}

TEST(ID3v2SaveFile, AReadOnlyFolderIsReportedNotCrashedOn)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders; the create fault covers this path";
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, QStringLiteral("song.mp3"), Audio(100));
    ::chmod(dir.QPath().toLocal8Bit().constData(), 0555);
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    EXPECT_EQ(tag.SaveToFile(file), tags::ID3V2LIBRARY_ERROR);
    ::chmod(dir.QPath().toLocal8Bit().constData(), 0755);
    EXPECT_EQ(FileBytes(file), Audio(100));
}

// ---------------------------------------------------------------------------------------------
// Containers

namespace {

Bytes TagChunkData(const Bytes& File, int64_t HeaderAt, bool BigEndian)
{
    const uint8_t* p = File.data() + HeaderAt + 4;
    const uint32_t size = BigEndian ? uint32_t(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3])
                                    : uint32_t(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24);
    return Bytes(File.begin() + HeaderAt + 8, File.begin() + HeaderAt + 8 + size);
}

uint32_t LE32At(const Bytes& b, size_t At) { return uint32_t(b[At] | b[At + 1] << 8 | b[At + 2] << 16 | uint32_t(b[At + 3]) << 24); }
uint32_t BE32At(const Bytes& b, size_t At) { return uint32_t(b[At]) << 24 | b[At + 1] << 16 | b[At + 2] << 8 | b[At + 3]; }
uint64_t LE64At(const Bytes& b, size_t At) { return LE32At(b, At) | uint64_t(LE32At(b, At + 4)) << 32; }
uint64_t BE64At(const Bytes& b, size_t At) { return uint64_t(BE32At(b, At)) << 32 | BE32At(b, At + 4); }

Bytes SaveInto(tags::TID3v2Tag& Tag, const Bytes& File, int Expected = 0)
{
    rtl::TMemoryStream s;
    Fill(s, File);
    EXPECT_EQ(Tag.SaveToStream(s), Expected);
    return Contents(s);
}

} // namespace

TEST(ID3v2SaveContainers, WavAppendGoesAtTheRiffEndBeforeTrailingBytes)
{
    const Bytes riff = Riff("WAVE", Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("data", Bytes(7, 1))}));
    const Bytes trailing = Cat({S("TAG"), Bytes(125, 'x')});
    tags::TID3v2Tag tag;
    MakeTagOfSize(tag, 21);   // 21 + 4096 is odd: the chunk is rounded up to 4118
    const Bytes out = SaveInto(tag, Cat({riff, trailing}));
    const size_t at = riff.size();
    ASSERT_EQ(out.size(), riff.size() + 8 + 4118 + trailing.size());
    EXPECT_EQ(Bytes(out.begin() + 8, out.begin() + int64_t(at)), Bytes(riff.begin() + 8, riff.end()));
    EXPECT_EQ(Bytes(out.begin() + int64_t(at), out.begin() + int64_t(at) + 4), S("id3 "));
    EXPECT_EQ(LE32At(out, at + 4), 4118u);
    EXPECT_EQ(LE32At(out, 4), riff.size() - 8 + 8 + 4118);
    EXPECT_EQ(Bytes(out.end() - 128, out.end()), trailing);
    EXPECT_EQ(TagChunkData(out, int64_t(at), false), Cat({Saved(tag, 4096), B({0})}));
}

TEST(ID3v2SaveContainers, ResizingGrowsAndShrinksTheChunkAndMovesWhatFollows)
{
    const Bytes after = ChunkLE("LIST", Bytes(9, 'L'));
    for (int newSize : {40, 8000}) {
        const Bytes wav = Riff("WAVE", Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("ID32", Tag(3, 0, Frame3("TIT2", S("\x03Old")), 6000)),
                                            ChunkLE("data", Bytes(5, 2)), after}));
        tags::TID3v2Tag tag;
        MakeTagOfSize(tag, newSize);
        const Bytes out = SaveInto(tag, wav);
        const size_t at = 12 + 8 + PcmFmt.size();
        EXPECT_EQ(Bytes(out.begin() + int64_t(at), out.begin() + int64_t(at) + 4), S("ID32")) << "the chunk keeps its name";
        EXPECT_EQ(TagChunkData(out, int64_t(at), false), Saved(tag, 4096));
        EXPECT_EQ(Bytes(out.end() - int64_t(after.size()) - 14, out.end()), Cat({ChunkLE("data", Bytes(5, 2)), after}));
        EXPECT_EQ(LE32At(out, 4), out.size() - 8);
    }
}

TEST(ID3v2SaveContainers, ATagChunkThatHoldsNoTagIsReplacedNotAddedToEachTime)
{
    const Bytes wav = Riff("WAVE", Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("id3 ", S("junk, no tag")), ChunkLE("data", Bytes(4, 3))}));
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    const Bytes once = SaveInto(tag, wav);
    const Bytes twice = SaveInto(tag, once);
    EXPECT_EQ(once, twice);
    const size_t chunk = Saved(tag, 4096).size();
    EXPECT_EQ(once.size(), wav.size() - 12 + chunk + chunk % 2);
    rtl::TMemoryStream s;
    Fill(s, twice);
    ASSERT_EQ(tag.LoadFromStream(s), 0);
    EXPECT_EQ(tag.GetUnicodeText(QStringLiteral("TIT2")), u"T");
}

TEST(ID3v2SaveContainers, ATagInTheChunkThatClaimsMoreThanTheChunkIsNotWrittenPastIt)
{
    const Bytes lying = Cat({S("ID3"), B({3, 0, 0}), Synchsafe(5000), Frame3("TIT2", S("\x03Old"))});
    const Bytes wav = Riff("WAVE", Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("id3 ", lying), ChunkLE("data", Bytes(4, 3))}));
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("New"));
    const Bytes out = SaveInto(tag, wav);
    EXPECT_EQ(Bytes(out.end() - 12, out.end()), ChunkLE("data", Bytes(4, 3)));
    EXPECT_EQ(LE32At(out, 4), out.size() - 8);
}

TEST(ID3v2SaveContainers, ATagChunkClaimingBytesPastTheFileEndDoesNotGrowTheFileByThem)
{
    // found by fuzzing: a cut-off file whose tag chunk claims 700 MB kept that claim as zeros
    const Bytes chunks = Cat({ChunkBE("COMM", AiffComm), S("ID3 "), BE32(700000000), Tag(3, 0, Frame3("TIT2", S("\x03Old")), 0)});
    const Bytes aiff = Cat({S("FORM"), BE32(uint32_t(chunks.size() + 4)), S("AIFF"), chunks});
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("New"));
    const Bytes out = SaveInto(tag, aiff);
    EXPECT_LT(out.size(), aiff.size() + Saved(tag, 4096).size() + 2);
    rtl::TMemoryStream s;
    Fill(s, out);
    ASSERT_EQ(tag.LoadFromStream(s), 0);
    EXPECT_EQ(tag.GetUnicodeText(QStringLiteral("TIT2")), u"New");
}

TEST(ID3v2SaveContainers, AiffAppendPadsAnOddEndAndCountsIt)
{
    // an odd-sized last chunk without its pad byte leaves the FORM data at an odd length
    const Bytes chunks = Cat({ChunkBE("COMM", AiffComm), S("SSND"), BE32(9), Bytes(9, 4)});
    const Bytes aiff = Cat({S("FORM"), BE32(uint32_t(chunks.size() + 4)), S("AIFF"), chunks});
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    const Bytes out = SaveInto(tag, aiff);
    const size_t at = aiff.size() + 1;
    EXPECT_EQ(out[aiff.size()], 0);
    EXPECT_EQ(Bytes(out.begin() + int64_t(at), out.begin() + int64_t(at) + 4), S("ID3 "));
    EXPECT_EQ(BE32At(out, 4), out.size() - 8);
    EXPECT_EQ(out.size() % 2, 0u);
    rtl::TMemoryStream s;
    Fill(s, out);
    ASSERT_EQ(tag.LoadFromStream(s), 0);
    EXPECT_EQ(tag.GetUnicodeText(QStringLiteral("TIT2")), u"T");
}

TEST(ID3v2SaveContainers, Rf64AppendGrowsTheSizeInDs64)
{
    const Bytes body = Cat({S("ds64"), LE32(28), LE64(0), LE64(8), LE64(2), LE32(0), ChunkLE("fmt ", PcmFmt), ChunkLE("data", Bytes(8, 5))});
    Bytes rf64 = Cat({S("RF64"), LE32(0xFFFFFFFF), S("WAVE"), body});
    const uint64_t riffSize = rf64.size() - 8;
    for (int i = 0; i < 8; ++i) rf64[20 + i] = uint8_t(riffSize >> (8 * i));
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    const Bytes out = SaveInto(tag, rf64);
    EXPECT_EQ(LE32At(out, 4), 0xFFFFFFFFu);
    EXPECT_EQ(LE64At(out, 20), out.size() - 8);
    EXPECT_EQ(Bytes(out.begin() + int64_t(rf64.size()), out.begin() + int64_t(rf64.size()) + 4), S("id3 "));

    EXPECT_EQ(tags::RemoveRF64ID3v2Chunk(QStringLiteral("/nonexistent/x.wav")), tags::ID3V2LIBRARY_ERROR_OPENING_FILE);
    rtl::TMemoryStream s;
    Fill(s, rf64);
    EXPECT_FALSE(tags::CheckWAVLayout(s));
    EXPECT_TRUE(tags::CheckRF64Layout(s));
}

TEST(ID3v2SaveContainers, DsfTagGoesAtTheEndAndStrippingRestoresTheFile)
{
    const Bytes data = Cat({S("data"), LE64(12 + 4), Bytes(4, 6)});
    Bytes dsf = Dsf(0, data);
    for (int i = 0; i < 8; ++i) dsf[12 + i] = uint8_t(uint64_t(dsf.size()) >> (8 * i));
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, QStringLiteral("a.dsf"), dsf);
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const Bytes out = FileBytes(file);
    EXPECT_EQ(LE64At(out, 20), dsf.size());
    EXPECT_EQ(LE64At(out, 12), out.size());
    EXPECT_EQ(Bytes(out.begin() + int64_t(dsf.size()), out.end()), Saved(tag, 0)) << "unpadded";
    TitleTag(tag, QStringLiteral("Longer title"));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(LoadedTitle(file), u"Longer title");
    EXPECT_EQ(LE64At(FileBytes(file), 12), FileBytes(file).size());
    EXPECT_EQ(tags::StripID3v2FromFile(file), 0);
    EXPECT_EQ(FileBytes(file), dsf);
}

TEST(ID3v2SaveContainers, ADsfPointerToSoundDataIsNotWhereTheTagGoes)
{
    const Bytes data = Cat({S("data"), LE64(12 + 8), Bytes(8, 6)});
    Bytes dsf = Dsf(28 + 52 + 12, data);   // points into the samples
    for (int i = 0; i < 8; ++i) dsf[12 + i] = uint8_t(uint64_t(dsf.size()) >> (8 * i));
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    const Bytes out = SaveInto(tag, dsf);
    EXPECT_EQ(Bytes(out.begin() + 28, out.end() - int64_t(Saved(tag, 0).size())),
              Bytes(dsf.begin() + 28, dsf.end())) << "the samples are untouched";
    EXPECT_EQ(LE64At(out, 20), dsf.size());
}

TEST(ID3v2SaveContainers, DffKeepsAnOddTagSizeAndAddsAPadByte)
{
    const Bytes body = Cat({Chunk64("FVER", B({1, 5, 0, 0})), Chunk64("DSD ", Bytes(6, 7))});
    const Bytes dff = Cat({S("FRM8"), BE64(body.size() + 4), S("DSD "), body});
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, QStringLiteral("a.dff"), dff);
    tags::TID3v2Tag tag;
    MakeTagOfSize(tag, 4109);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const Bytes out = FileBytes(file);
    EXPECT_EQ(Bytes(out.begin() + int64_t(dff.size()), out.begin() + int64_t(dff.size()) + 4), S("ID3 "));
    EXPECT_EQ(BE64At(out, dff.size() + 4), 4109u);
    EXPECT_EQ(out.size(), dff.size() + 12 + 4110);
    EXPECT_EQ(out.back(), 0);
    EXPECT_EQ(BE64At(out, 4) + 12, out.size());
    MakeTagOfSize(tag, 100);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(BE64At(FileBytes(file), 4) + 12, FileBytes(file).size());
    EXPECT_EQ(tags::StripID3v2FromFile(file), 0);
    EXPECT_EQ(FileBytes(file), dff);
}

TEST(ID3v2SaveContainers, ATagChunkThatRanPastItsContainerIsCountedWhole)
{
    const Bytes oldTag = Tag(4, 0, Frame4("TIT2", S("\x03Old title that is long")), 40);
    const Bytes body = Cat({Chunk64("FVER", B({1, 5, 0, 0})), Chunk64("DSD ", Bytes(6, 7))});
    // the FRM8 size ends in the middle of the tag chunk
    const Bytes dff = Cat({S("FRM8"), BE64(body.size() + 4 + 20), S("DSD "), body, Chunk64("ID3 ", oldTag)});
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    const Bytes out = SaveInto(tag, dff);
    EXPECT_EQ(BE64At(out, 4) + 12, out.size());
    rtl::TMemoryStream s;
    Fill(s, out);
    ASSERT_EQ(tag.LoadFromStream(s), 0);
    EXPECT_EQ(tag.GetUnicodeText(QStringLiteral("TIT2")), u"T");
}

TEST(ID3v2SaveContainers, LayoutsThatDoNotFitTheFileAreRefused)
{
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    const Bytes cut = Riff("WAVE", Cat({ChunkLE("fmt ", PcmFmt), S("data"), LE32(1000), Bytes(10, 0)}));
    EXPECT_EQ(SaveInto(tag, cut, tags::ID3V2LIBRARY_ERROR_DOESNT_FIT), cut);
    Bytes dsf = Dsf(0, Bytes(10, 0));
    dsf[12] = 0xFF;
    EXPECT_EQ(SaveInto(tag, dsf, tags::ID3V2LIBRARY_ERROR_DOESNT_FIT), dsf);
    const Bytes dff = Cat({S("FRM8"), BE64(1000), S("DSD ")});
    EXPECT_EQ(SaveInto(tag, dff, tags::ID3V2LIBRARY_ERROR_DOESNT_FIT), dff);
}

TEST(ID3v2SaveContainers, AWavNearFourGigabytesGetsTheSizeLimitAndStaysUnchanged)
{
    testing_support::TempDir dir;
    const QString file = dir.QFile(QStringLiteral("big.wav"));
    const uint64_t size = 4294967000ULL;
    const Bytes head = Cat({S("RIFF"), LE32(uint32_t(size - 8)), S("WAVE"), ChunkLE("fmt ", PcmFmt), S("data"),
                            LE32(uint32_t(size - 12 - 24 - 8))});
    {
        rtl::TFileStream f(file, rtl::fmCreate);
        f.WriteBuffer(head.data(), int64_t(head.size()));
        f.SetSize(int64_t(size));   // sparse
    }
    tags::TID3v2Tag tag;
    TitleTag(tag, QStringLiteral("T"));
    EXPECT_EQ(tag.SaveToFile(file), tags::ID3V2LIBRARY_ERROR_SIZE_LIMIT);
    rtl::TFileStream f(file, rtl::fmOpenRead);
    EXPECT_EQ(f.Size(), int64_t(size));
    Bytes now(head.size());
    f.ReadBuffer(now.data(), int64_t(now.size()));
    EXPECT_EQ(now, head);
    EXPECT_EQ(FilesIn(dir), QStringList{QStringLiteral("big.wav")});
}

// ---------------------------------------------------------------------------------------------
// Removing

TEST(ID3v2Strip, RemovesExactlyTheTagFromTheStartOfAnMp3)
{
    testing_support::TempDir dir;
    const Bytes tag4106 = Cat({S("ID3"), B({3, 0, 0}), Synchsafe(4096), Frame3("TIT2", S("\x03x")), Bytes(4096 - 12, 0)});
    const QString file = WriteFile(dir, QStringLiteral("song.mp3"), Cat({tag4106, Audio(700)}));
    EXPECT_EQ(tags::StripID3v2FromFile(file), 0);
    EXPECT_EQ(FileBytes(file), Audio(700));
    EXPECT_EQ(tags::StripID3v2FromFile(file), tags::ID3V2LIBRARY_ERROR_EMPTY_TAG);
    // a version 4 footer goes with its tag
    WriteFile(dir, QStringLiteral("song.mp3"), Cat({Tag(4, 0x10, Frame4("TIT2", S("\x03x"))), S("3DI"), B({4, 0, 0x10}),
                                                    Synchsafe(12), Audio(50)}));
    EXPECT_EQ(tags::StripID3v2FromFile(file), 0);
    EXPECT_EQ(FileBytes(file), Audio(50));
    EXPECT_EQ(tags::StripID3v2FromFile(dir.QFile(QStringLiteral("missing.mp3"))), tags::ID3V2LIBRARY_ERROR);
}

TEST(ID3v2Strip, ContainersLoseTheirChunkAndKeepTheRest)
{
    const Bytes fmtData = Cat({ChunkLE("fmt ", PcmFmt), ChunkLE("data", Bytes(3, 9))});
    const Bytes withTag = Riff("WAVE", Cat({fmtData, ChunkLE("id3 ", Cat({SmallTagBytes(), B({0})}))}));
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, QStringLiteral("a.wav"), withTag);
    EXPECT_EQ(tags::StripID3v2FromFile(file), 0);
    EXPECT_EQ(FileBytes(file), Riff("WAVE", fmtData));
    EXPECT_EQ(tags::StripID3v2FromFile(file), tags::ID3V2LIBRARY_ERROR_EMPTY_TAG);
    EXPECT_EQ(tags::RemoveWAVID3v2Chunk(file), tags::ID3V2LIBRARY_ERROR_NO_TAG_FOUND);
    EXPECT_EQ(tags::RemoveAIFFID3v2Chunk(file), tags::ID3V2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT);

    const Bytes aiff = Form("AIFC", Cat({ChunkBE("COMM", AiffComm), ChunkBE("ID3 ", Cat({SmallTagBytes(), B({1})})), ChunkBE("SSND", Bytes(3, 8))}));
    WriteFile(dir, QStringLiteral("a.wav"), aiff);
    EXPECT_EQ(tags::StripID3v2FromFile(file), 0);
    EXPECT_EQ(FileBytes(file), Form("AIFC", Cat({ChunkBE("COMM", AiffComm), ChunkBE("SSND", Bytes(3, 8))})));
}
