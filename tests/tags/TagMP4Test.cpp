// tests/tags/TagMP4Test.cpp: MP4 items and their typed values, Xtra attributes, reading the atom tree,
// saving in place and by rewriting with the chunk offsets moved, the front's MP4 converters, and files
// made and read by ffmpeg, AtomicParsley and mutagen.
#include "tags/TagMP4.h"
#include "tags/SafeFile.h"
#include "tags/Tags.h"

#include "rtl/Classes.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>

#include <map>

#include <gtest/gtest.h>

#include <algorithm>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

Bytes Atom(const std::string& Type, const Bytes& Body) { return Cat({BE32(uint32_t(Body.size() + 8)), S(Type), Body}); }
Bytes Atom64(const std::string& Type, const Bytes& Body) { return Cat({BE32(1), S(Type), BE64(Body.size() + 16), Body}); }
Bytes Data(uint32_t Type, const Bytes& Payload) { return Atom("data", Cat({BE32(Type), BE32(0), Payload})); }
Bytes Item(const std::string& Type, const Bytes& Body) { return Atom(Type, Body); }

const Bytes Ftyp = Atom("ftyp", Cat({S("M4A "), BE32(0), S("isomM4A ")}));

Bytes Mvhd(uint32_t Scale, uint64_t Duration)
{
    return Atom("mvhd", Cat({B({1, 0, 0, 0}), Bytes(16, 0), BE32(Scale), BE64(Duration), Bytes(80, 0)}));
}

Bytes Tkhd(uint16_t Width, uint16_t Height)
{
    return Atom("tkhd", Cat({Bytes(76, 0), BE16(Width), BE16(0), BE16(Height), BE16(0)}));
}

Bytes Mp4a(uint16_t Channels, uint16_t Bits, uint16_t Rate)
{
    return Atom("mp4a", Cat({Bytes(6, 0), BE16(1), Bytes(8, 0), BE16(Channels), BE16(Bits), BE16(0), BE16(0), BE16(Rate), BE16(0)}));
}

Bytes Stco(const std::vector<uint32_t>& Offsets)
{
    Bytes body = Cat({BE32(0), BE32(uint32_t(Offsets.size()))});
    for (uint32_t o : Offsets) body = Cat({body, BE32(o)});
    return Atom("stco", body);
}

Bytes Trak(const Bytes& Tkhd_, const Bytes& Entry, const Bytes& Table)
{
    const Bytes stsd = Atom("stsd", Cat({BE32(0), BE32(1), Entry}));
    return Atom("trak", Cat({Tkhd_, Atom("mdia", Atom("minf", Atom("stbl", Cat({stsd, Table}))))}));
}

Bytes Udta(const Bytes& Items, const Bytes& MetaExtra = {}, const Bytes& UdtaExtra = {})
{
    return Atom("udta", Cat({UdtaExtra, Atom("meta", Cat({BE32(0), MetaExtra, Atom("ilst", Items)}))}));
}

const Bytes MediaData = Cat({S("AAAA"), Bytes(100, 0x11), S("ZZZZ")});

// ftyp, moov (mvhd, one audio track whose chunk points at the media data), and mdat, moov first or last.
Bytes File(bool MoovFirst, const Bytes& UdtaAtom, const Bytes& AfterMoov = {})
{
    auto build = [&](uint32_t ChunkAt) {
        return Atom("moov", Cat({Mvhd(44100, 441000), Trak(Tkhd(0, 0), Mp4a(2, 16, 48000), Stco({ChunkAt})), UdtaAtom}));
    };
    const Bytes mdat = Atom("mdat", MediaData);
    if (MoovFirst) {
        const size_t moovSize = build(0).size();
        return Cat({Ftyp, build(uint32_t(Ftyp.size() + moovSize + AfterMoov.size() + 8)), AfterMoov, mdat});
    }
    return Cat({Ftyp, mdat, build(uint32_t(Ftyp.size() + 8)), AfterMoov});
}

// Finds the first atom of a type anywhere below the top level, descending through container atoms.
size_t FindAtom(const Bytes& F, const std::string& Type, size_t From = 0, size_t To = SIZE_MAX)
{
    static const std::vector<std::string> Containers = {"moov", "trak", "mdia", "minf", "stbl", "udta", "ilst"};
    To = std::min(To, F.size());
    for (size_t at = From; at + 8 <= To;) {
        const uint32_t size = uint32_t(F[at]) << 24 | uint32_t(F[at + 1]) << 16 | uint32_t(F[at + 2]) << 8 | F[at + 3];
        const std::string type(F.begin() + ptrdiff_t(at + 4), F.begin() + ptrdiff_t(at + 8));
        if (type == Type) return at;
        if (size < 8) break;
        size_t inner = SIZE_MAX;
        if (std::find(Containers.begin(), Containers.end(), type) != Containers.end()) inner = FindAtom(F, Type, at + 8, at + size);
        else if (type == "meta") inner = FindAtom(F, Type, at + 12, at + size);
        if (inner != SIZE_MAX) return inner;
        at += size;
    }
    return SIZE_MAX;
}

uint32_t At32(const Bytes& F, size_t At) { return uint32_t(F[At]) << 24 | uint32_t(F[At + 1]) << 16 | uint32_t(F[At + 2]) << 8 | F[At + 3]; }

// The first chunk offset, and whether it still points at the media data's first bytes.
bool ChunkPointsAtMedia(const Bytes& F)
{
    const size_t stco = FindAtom(F, "stco");
    if (stco == SIZE_MAX) return false;
    const uint32_t offset = At32(F, stco + 16);
    return offset + 4 <= F.size() && std::equal(F.begin() + offset, F.begin() + offset + 4, S("AAAA").begin());
}


// An ffmpeg file (moov last) made into one with 64-bit chunk offsets and moov first: every stco becomes a
// co64 and each offset moves by the size of the moov put in front of the media data.
Bytes WithCo64MoovFirst(const Bytes& F)
{
    auto rebuild = [](const Bytes& Body, uint64_t Delta, auto&& Self) -> Bytes {
        Bytes out;
        for (size_t at = 0; at + 8 <= Body.size();) {
            const uint32_t size = At32(Body, at);
            const std::string type(Body.begin() + ptrdiff_t(at + 4), Body.begin() + ptrdiff_t(at + 8));
            const Bytes inner(Body.begin() + ptrdiff_t(at + 8), Body.begin() + ptrdiff_t(at + size));
            if (type == "trak" || type == "mdia" || type == "minf" || type == "stbl") {
                out = Cat({out, Atom(type, Self(inner, Delta, Self))});
            } else if (type == "stco") {
                Bytes table = Bytes(inner.begin(), inner.begin() + 8);
                for (size_t e = 8; e + 4 <= inner.size(); e += 4) table = Cat({table, BE64(At32(inner, e) + Delta)});
                out = Cat({out, Atom("co64", table)});
            } else {
                out = Cat({out, Bytes(Body.begin() + ptrdiff_t(at), Body.begin() + ptrdiff_t(at + size))});
            }
            at += size;
        }
        return out;
    };
    Bytes ftyp, moovBody, rest;
    for (size_t at = 0; at + 8 <= F.size();) {
        const uint32_t size = At32(F, at);
        const Bytes atom(F.begin() + ptrdiff_t(at), F.begin() + ptrdiff_t(at + size));
        const std::string type(atom.begin() + 4, atom.begin() + 8);
        if (type == "ftyp") ftyp = atom;
        else if (type == "moov") moovBody = Bytes(atom.begin() + 8, atom.end());
        else rest = Cat({rest, atom});
        at += size;
    }
    const uint64_t moovSize = rebuild(moovBody, 0, rebuild).size() + 8;
    return Cat({ftyp, Atom("moov", rebuild(moovBody, moovSize, rebuild)), rest});
}
} // namespace

// ---------------------------------------------------------------------------------------------
// Typed values

TEST(MP4Values, NumbersGenreMediaKindAndCountry)
{
    tags::TMP4Tag tag;
    EXPECT_EQ(tags::AtomNameFromText(u"\u00A9gen"_s), (tags::TAtomName{0xA9, 'g', 'e', 'n'}));
    EXPECT_EQ(tags::AtomNameToText({0xA9, 'g', 'e', 'n'}), u"\u00A9gen"_s);
    EXPECT_EQ(tag.CalculateSize(), 0);

    tag.SetTrack(3, 12);
    EXPECT_EQ(Contents(tag.FindAtom(u"trkn"_s)->Datas[0]->Data), B({0, 0, 0, 3, 0, 12, 0, 0}));
    EXPECT_EQ(tag.GetTrack(), 3);
    EXPECT_EQ(tag.GetTotalTracks(), 12);
    tag.SetDisc(1, 2);
    EXPECT_EQ(Contents(tag.FindAtom(u"disk"_s)->Datas[0]->Data), B({0, 0, 0, 1, 0, 2}));
    EXPECT_EQ(tag.GetDisc(), 1);
    EXPECT_EQ(tag.GetTotalDiscs(), 2);
    tag.SetTrack(0, 0);
    EXPECT_EQ(tag.FindAtom(u"trkn"_s), nullptr);

    struct TGenre {
        const char16_t* Set;
        int Gnre;   // -1: a text item instead
        const char16_t* Get;
    } genres[] = {{u"rock", 18, u"Rock"}, {u"Psybient", 192, u"Psybient"}, {u"Blues", 1, u"Blues"}, {u"Polka Funk", -1, u"Polka Funk"}};
    for (const auto& g : genres) {
        SCOPED_TRACE(QString::fromUtf16(g.Set).toStdString());
        ASSERT_TRUE(tag.SetGenre(QString::fromUtf16(g.Set)));
        EXPECT_EQ(tag.GetGenre(), QString::fromUtf16(g.Get));
        EXPECT_EQ(tag.FindAtom(u"gnre"_s) != nullptr, g.Gnre > 0);
        if (g.Gnre > 0) { EXPECT_EQ(tag.GetInteger16(tags::AtomNameFromText(u"gnre"_s)), g.Gnre); }
        EXPECT_EQ(tag.FindAtom(u"\u00A9gen"_s) != nullptr, g.Gnre < 0);
    }
    for (int outside : {0, 193}) {
        tag.SetGenre(u"Text genre"_s);
        tag.SetInteger16(tags::AtomNameFromText(u"gnre"_s), uint16_t(outside));
        EXPECT_EQ(tag.GetGenre(), u"Text genre"_s);
    }

    ASSERT_TRUE(tag.SetMediaType(u"Music"_s));
    EXPECT_EQ(Contents(tag.FindAtom(u"stik"_s)->Datas[0]->Data), B({0, 1}));
    EXPECT_TRUE(tag.SetMediaType(u"Movie"_s));
    EXPECT_EQ(tag.GetInteger16(tags::AtomNameFromText(u"stik"_s)), 9);
    EXPECT_FALSE(tag.SetMediaType(u"music"_s));
    tag.FindAtom(u"stik"_s)->SetAsInteger8(1);   // one byte read as 16 bits: 256, no kind
    EXPECT_EQ(tag.GetMediaType(), u""_s);
    tag.FindAtom(u"stik"_s)->SetAsInteger8(0);
    EXPECT_EQ(tag.GetMediaType(), u"Movie"_s);

    struct TCountry {
        const char16_t* Set;
        uint32_t Stored;
        const char16_t* Get;
    } countries[] = {{u"Japan", 143462, u"Japan"}, {u"japan", 0, u""}, {u"143460", 143460, u"Australia"}, {u"99", 99, u"99"}};
    for (const auto& c : countries) {
        ASSERT_TRUE(tag.SetPurchaseCountry(QString::fromUtf16(c.Set)));
        uint64_t v = 0;
        EXPECT_TRUE(tag.GetInteger(tags::AtomNameFromText(u"sfID"_s), v));
        EXPECT_EQ(v, c.Stored);
        EXPECT_EQ(tag.GetPurchaseCountry(), QString::fromUtf16(c.Get));
    }
}

TEST(MP4Values, ItemsTextsListsAndSizes)
{
    tags::TMP4Tag tag;
    EXPECT_TRUE(tag.SetText(tags::AtomNameFromText(u"\u00A9nam"_s), QString()));   // nothing to delete
    EXPECT_EQ(tag.Count(), 0);
    tags::TMP4Atom* item = tag.AddAtom(u"\u00A9ART"_s);
    item->AddData()->SetAsText(u"a"_s);
    item->AddData()->SetAsText(u"b"_s);
    item->AddData()->SetAsText(u"c"_s);
    item->SetAsText(u"Zoë"_s);
    ASSERT_EQ(item->Count(), 3);
    EXPECT_EQ(item->GetAsText(), u"Zoë"_s);
    EXPECT_EQ(item->Datas[1]->GetAsText(), u"b"_s);

    tags::TMP4Atom* picture = tag.AddAtom(u"covr"_s);
    tags::TMP4AtomData* d = picture->AddData();
    d->SetAsInteger32(0);
    d->DataType = tags::MP4DataJPEG;
    EXPECT_EQ(d->GetAsText(), u""_s);
    EXPECT_EQ(picture->GetAsText(), u"0"_s);
    d->SetAsInteger8(7);
    d->DataType = tags::MP4DataBEInteger;
    EXPECT_EQ(d->GetAsInteger16(), 0x700);   // missing bytes read as zeros at the end

    rtl::TStringList list;
    list.Add(u"A=B"_s);
    tags::TMP4Atom* free = tag.AddAtom(u"----"_s);
    free->SetAsCommonText(u"TIPL"_s, u"com.apple.iTunes"_s, QString());
    free->SetAsList(list);
    EXPECT_EQ(Contents(free->Datas[0]->Data), B({'A', 13, 10, 'B', 13, 10}));
    rtl::TStringList back;
    EXPECT_TRUE(free->GetAsList(back));
    EXPECT_EQ(back.Text().trimmed(), u"A=B"_s);
    EXPECT_EQ(tag.FindAtomCommon(tags::AtomNameFromText(u"----"_s), u"tipl"_s, u"COM.apple.itunes"_s), free);

    rtl::TMemoryStream out;
    ASSERT_TRUE(free->Write(out));
    const Bytes expected = Item("----", Cat({Atom("mean", Cat({BE32(0), S("com.apple.iTunes")})),
                                             Atom("name", Cat({BE32(0), S("TIPL")})), Data(1, B({'A', 13, 10, 'B', 13, 10}))}));
    EXPECT_EQ(Contents(out), expected);
    EXPECT_EQ(free->CalculateAtomSize(), expected.size());
    EXPECT_EQ(tag.CalculateSize(), int64_t(8 + item->CalculateAtomSize() + picture->CalculateAtomSize() + expected.size()));
}

TEST(MP4Values, PartWritersGenreIndexDefaultsAndTextNames)
{
    tags::TMP4Atommean mean;
    tags::TMP4Atomname name;
    rtl::TMemoryStream out;
    EXPECT_FALSE(mean.Write(out));   // empty parts write nothing
    EXPECT_FALSE(name.Write(out));
    EXPECT_EQ(out.Size(), 0);
    EXPECT_EQ(mean.Parent, nullptr);
    name.SetAsText(u"N"_s);
    ASSERT_TRUE(name.Write(out));
    EXPECT_EQ(Contents(out), Atom("name", Cat({BE32(0), S("N")})));

    const std::pair<const char16_t*, int> genres[] = {{u"rock", 18}, {u"Blues", 1}, {u"Psybient", 192}, {u"No such", -1}, {u"", -1}};
    for (const auto& [text, index] : genres) EXPECT_EQ(tags::GenreNameToIndex(QString::fromUtf16(text)), index);

    const uint32_t padding = tags::MP4DefaultPaddingToWrite;
    const bool parseXtra = tags::MP4DefaultParseXtra;
    tags::MP4DefaultPaddingToWrite = 100;
    tags::MP4DefaultParseXtra = false;
    {
        tags::TMP4Tag tag;
        EXPECT_EQ(tag.PaddingToWrite, 100u);
        EXPECT_FALSE(tag.ParseXtra);
        EXPECT_EQ(tag.XtraUsageConversion, tags::mp4eucParseAndWrite);
        EXPECT_EQ(tag.XtraPriority, tags::mp4epXtraHasPriority);
    }
    tags::MP4DefaultPaddingToWrite = padding;
    tags::MP4DefaultParseXtra = parseXtra;

    // Every operation that takes an item name also takes it as text.
    tags::TMP4Tag tag;
    EXPECT_TRUE(tag.SetInteger16(u"tmpo"_s, 120));
    EXPECT_EQ(tag.GetInteger16(u"tmpo"_s), 120);
    EXPECT_TRUE(tag.SetText(u"\u00A9nam"_s, u"T"_s));
    EXPECT_EQ(tag.GetText(u"\u00A9nam"_s), u"T"_s);
    EXPECT_TRUE(tag.SetBool(u"cpil"_s, true));
    EXPECT_TRUE(tag.DeleteAtom(u"cpil"_s));
    EXPECT_TRUE(tag.DeleteAllAtoms(u"tmpo"_s));
    EXPECT_EQ(tag.Count(), 1);
}

TEST(MP4Xtra, TypesLoadAndBuild)
{
    tags::TMP4Tag tag;
    auto add = [&](const QString& Name, uint16_t Type, const Bytes& Value) {
        tags::TMP4Xtra* x = tag.AddXtra(Name);
        x->PropType = Type;
        Fill(x->Data, Value);
        return x;
    };
    add(u"WM/Publisher"_s, 8, Cat({S("P"), B({0}), S("u"), B({0}), B({0, 0})}));
    add(u"WM/SharedUserRating"_s, 19, B({5, 0, 0, 0}));
    add(u"odd"_s, 19, B({5, 0, 0}));
    add(u"WM/MediaClassPrimaryID"_s, 72, B({0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0x78, 0x56, 1, 2, 3, 4, 5, 6, 7, 8}));
    add(u"blob"_s, 3, Bytes(10, 1));
    add(u"no type"_s, 0, B({1}));
    add(u"empty"_s, 8, {});
    EXPECT_EQ(tag.GetTextXtra(u"wm/publisher"_s), u"Pu"_s);
    EXPECT_EQ(tag.GetTextXtra(u"WM/SharedUserRating"_s), u"5"_s);
    EXPECT_EQ(tag.GetTextXtra(u"odd"_s), u""_s);
    EXPECT_EQ(tag.GetTextXtra(u"WM/MediaClassPrimaryID"_s), u"{12345678-1234-5678-0102-030405060708}"_s);
    EXPECT_EQ(tag.GetTextXtra(u"blob"_s), u"10 bytes"_s);
    tags::TMP4Xtra* date = add(u"date"_s, 21, LE64(0));
    rtl::TDateTime when = 0;
    ASSERT_TRUE(date->GetAsDateTime(when));
    EXPECT_LT(when, -109000.0);   // 1601 lies about 109,207 days before 1899-12-30

    rtl::TMemoryStream atom;
    ASSERT_TRUE(tag.CreateXtraAtomStream(atom));
    const Bytes built = Contents(atom);
    EXPECT_EQ(At32(built, 0), built.size());
    EXPECT_EQ(Bytes(built.begin() + 4, built.begin() + 8), S("Xtra"));
    // The first entry: size, name, one value, value size, type, value.
    const Bytes first = Cat({BE32(12 + 6 + 18), BE32(12), S("WM/Publisher"), BE32(1), BE32(12), BE16(8),
                             Cat({S("P"), B({0}), S("u"), B({0}), B({0, 0})})});
    EXPECT_EQ(Bytes(built.begin() + 8, built.begin() + 8 + ptrdiff_t(first.size())), first);

    tags::TMP4Tag back;
    rtl::TMemoryStream in;
    Fill(in, Bytes(built.begin() + 8, built.end()));
    ASSERT_TRUE(back.LoadXtra(in, int64_t(built.size()) - 8));
    ASSERT_EQ(back.Xtras.size(), 6u);   // type 0 and empty values are left out
    EXPECT_EQ(back.GetTextXtra(u"WM/MediaClassPrimaryID"_s), tag.GetTextXtra(u"WM/MediaClassPrimaryID"_s));

    tags::TMP4Tag none;
    none.AddXtra(u"x"_s);
    rtl::TMemoryStream nothing;
    EXPECT_FALSE(none.CreateXtraAtomStream(nothing));
    EXPECT_EQ(nothing.Size(), 0);
    // A name length past the atom is refused before anything is allocated.
    Fill(in, Cat({BE32(30), BE32(0x7FFFFFF0u), S("abc")}));
    EXPECT_THROW(back.LoadXtra(in, 11), std::exception);
}

// ---------------------------------------------------------------------------------------------
// Reading

TEST(MP4Read, FactsItemsAndXtra)
{
    const Bytes items = Cat({Item("\xA9" "nam", Data(1, S("Title"))), Item("trkn", Data(0, B({0, 0, 0, 3, 0, 12, 0, 0}))),
                             Item("covr", Cat({Data(13, S("\xFF\xD8jpeg")), Data(14, S("\x89PNG"))}))});
    const Bytes xtra = Atom("Xtra", Cat({BE32(26), BE32(2), S("WM"), BE32(1), BE32(10), BE16(19), LE32(7)}));
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.m4a"_s, File(true, Udta(items, {}, xtra)));
    tags::TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_TRUE(tag.FLoaded);
    EXPECT_DOUBLE_EQ(tag.FPlaytime, 10.0);
    EXPECT_EQ(tag.FAtommdatSize, int64_t(MediaData.size() + 8));
    EXPECT_EQ(tag.FBitRate, 0u);   // 116 bytes in 10 s
    EXPECT_EQ(tag.FAudioChannelCount, 2);
    EXPECT_EQ(tag.FAudioResolution, 16u);
    EXPECT_EQ(tag.FAudioSampleRate, 48000u);
    EXPECT_EQ(tag.FAudioFormat, tags::mp4afAAC);
    ASSERT_EQ(tag.Count(), 3);
    EXPECT_EQ(tag.GetText(tags::AtomNameFromText(u"\u00A9nam"_s)), u"Title"_s);
    EXPECT_EQ(tag.GetTrack(), 3);
    ASSERT_EQ(tag.FindAtom(u"covr"_s)->Count(), 2);
    EXPECT_EQ(tag.FindAtom(u"covr"_s)->Datas[1]->DataType, 14u);
    EXPECT_EQ(tag.GetTextXtra(u"WM"_s), u"7"_s);

    tag.ParseCoverArts = false;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_EQ(tag.FindAtom(u"covr"_s)->Count(), 2);
    EXPECT_EQ(tag.FindAtom(u"covr"_s)->Datas[0]->Data.Size(), 0);
    EXPECT_EQ(tag.FindAtom(u"covr"_s)->Datas[0]->DataType, 13u);
}

TEST(MP4Read, StructureCasesAndDamage)
{
    const Bytes item = Item("\xA9" "ART", Data(1, S("A")));
    const Bytes moov64 = Atom64("moov", Cat({Mvhd(1000, 5000), Udta(item)}));
    struct TCase {
        const char* Name;
        Bytes File;
        int Result;
        int Items;
    } cases[] = {
        {"no moov", Cat({Ftyp, Atom("mdat", MediaData)}), 1, 0},
        {"empty ilst", File(true, Udta({})), 1, 0},
        {"64-bit moov header", Cat({Ftyp, moov64}), 0, 1},
        {"not MP4", Cat({Atom("moov", {}), Ftyp}), 9, 0},
        {"moov past the end", Cat({Ftyp, BE32(5000), S("moov"), Bytes(20, 0)}), 5, 0},
        {"sub-atom of size 4 ends the list", Cat({Ftyp, Atom("moov", Udta(Cat({item, Item("\xA9" "nam", Cat({BE32(4), S("junk")})), item})))}), 0, 2},
        {"item claiming more than the file", Cat({Ftyp, Atom("moov", Udta(Cat({BE32(0x7FFFFFF0u), S("\xA9" "nam"), Data(1, S("x"))})))}), 0, 1},
        {"data past the end", Cat({Ftyp, Atom("moov", Udta(Item("\xA9" "nam", Cat({BE32(0x7FFFFFF0u), S("data"), Bytes(8, 0)}))))}), 0, 1},
    };
    testing_support::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        tags::TMP4Tag tag;
        EXPECT_EQ(tag.LoadFromFile(WriteFile(dir, u"a.mp4"_s, c.File)), c.Result);
        EXPECT_EQ(tag.Count(), c.Items);
    }
    tags::TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromFile(WriteFile(dir, u"a.mp4"_s, Cat({Ftyp, moov64}))), 0);
    EXPECT_EQ(tag.FAtommoovPosition, int64_t(Ftyp.size()));
    EXPECT_DOUBLE_EQ(tag.FPlaytime, 5.0);
    // A play time of next to nothing: the bit rate stops at its field's top.
    ASSERT_EQ(tag.LoadFromFile(WriteFile(dir, u"a.mp4"_s, Cat({Ftyp, Atom("moov", Mvhd(4000000000u, 1)), Atom("mdat", Bytes(1000, 0))}))), 1);
    EXPECT_EQ(tag.FBitRate, UINT32_MAX);
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST(MP4Write, InPlaceIntoFreeSpaceOrRewrittenWithOffsetsMoved)
{
    struct TCase {
        const char* Name;
        bool MoovFirst;
        Bytes After;
        bool KeepPadding;
        bool SameSize;
    } cases[] = {
        {"moov first, free after it", true, Atom("free", Bytes(4088, 0)), true, true},
        {"moov first, no room", true, {}, true, false},
        {"moov last", false, {}, true, false},
        {"moov first, padding not kept", true, Atom("free", Bytes(4088, 0)), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        testing_support::TempDir dir;
        const Bytes original = File(c.MoovFirst, Udta(Item("\xA9" "nam", Data(1, S("old")))), c.After);
        const QString file = WriteFile(dir, u"a.m4a"_s, original);
        tags::TMP4Tag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        tag.SetText(tags::AtomNameFromText(u"\u00A9nam"_s), QString(300, u'n'));
        tag.SetTrack(1, 2);
        ASSERT_EQ(tag.SaveToFile(file, c.KeepPadding), 0);
        const Bytes now = FileBytes(file);
        EXPECT_EQ(now.size() == original.size(), c.SameSize);
        EXPECT_TRUE(ChunkPointsAtMedia(now));
        EXPECT_EQ(Bytes(now.begin(), now.begin() + ptrdiff_t(Ftyp.size())), Ftyp);
        tags::TMP4Tag back;
        ASSERT_EQ(back.LoadFromFile(file), 0);
        EXPECT_EQ(back.GetText(tags::AtomNameFromText(u"\u00A9nam"_s)).size(), 300);
        EXPECT_EQ(back.GetTotalTracks(), 2);
        EXPECT_DOUBLE_EQ(back.FPlaytime, 10.0);
        EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST(MP4Write, SixtyFourBitOffsetsMoveToo)
{
    // moov first with a co64 table: two chunks behind moov move with its growth, one before it stays.
    // moov and mdat come with 64-bit atom headers, as large files have them.
    const Bytes mdat = Atom64("mdat", MediaData);
    auto build = [&](uint64_t ChunkAt) {
        const Bytes co64 = Atom("co64", Cat({BE32(0), BE32(3), BE64(ChunkAt), BE64(ChunkAt + 104), BE64(4)}));
        return Atom64("moov", Cat({Mvhd(44100, 441000), Trak(Tkhd(0, 0), Mp4a(2, 16, 48000), co64), Udta({})}));
    };
    const size_t moovSize = build(0).size();
    const uint64_t media = Ftyp.size() + moovSize + 16;
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.m4a"_s, Cat({Ftyp, build(media), mdat}));
    tags::TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 1);
    tag.SetText(tags::AtomNameFromText(u"\u00A9nam"_s), u"grown"_s);
    ASSERT_EQ(tag.SaveToFile(file, true), 0);
    const Bytes now = FileBytes(file);
    const size_t co64 = FindAtom(now, "co64");
    ASSERT_NE(co64, SIZE_MAX);
    auto entry = [&](int I) { return uint64_t(At32(now, co64 + 16 + 8 * size_t(I))) << 32 | At32(now, co64 + 20 + 8 * size_t(I)); };
    const uint64_t moved = entry(0);
    EXPECT_EQ(Bytes(now.begin() + ptrdiff_t(moved), now.begin() + ptrdiff_t(moved) + 4), S("AAAA"));
    EXPECT_EQ(entry(1), moved + 104);
    EXPECT_EQ(entry(2), 4u);
    tags::TMP4Tag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.GetText(tags::AtomNameFromText(u"\u00A9nam"_s)), u"grown"_s);
    EXPECT_DOUBLE_EQ(back.FPlaytime, 10.0);
    EXPECT_EQ(back.FAtommdatSize, MediaData.size() + 16);
}

TEST(MP4Write, MoovThatEndsTheFileIsWrittenWhereItStands)
{
    // Nothing follows moov: it grows or shrinks in the same file, the media data before it untouched.
    struct TCase {
        const char* Name;
        int Length;
        bool KeepPadding;
    } cases[] = {{"grown", 3000, true}, {"shrunk without padding", 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        testing_support::TempDir dir;
        const Bytes original = File(false, Udta(Item("\xA9" "nam", Data(1, Bytes(500, 'o')))), Atom("free", Bytes(50, 0)));
        const QString file = WriteFile(dir, u"a.m4a"_s, original);
        const auto inode = Inode(file);
        tags::TMP4Tag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        tag.SetText(tags::AtomNameFromText(u"\u00A9nam"_s), QString(c.Length, u'n'));
        tag.PaddingToWrite = 0;
        // A failure at any step puts the old moov back.
        for (auto step : {tags::TFileStep::Write, tags::TFileStep::Flush, tags::TFileStep::Cut}) {
            TFaultGuard fault(step);
            EXPECT_EQ(tag.SaveToFile(file, c.KeepPadding), tags::MP4TAGLIBRARY_ERROR_OPENING_FILE);
            EXPECT_EQ(FileBytes(file), original);
        }
        ASSERT_EQ(tag.SaveToFile(file, c.KeepPadding), 0);
        const Bytes now = FileBytes(file);
        EXPECT_EQ(Inode(file), inode);
        const size_t moovAt = FindAtom(now, "moov");
        ASSERT_NE(moovAt, SIZE_MAX);
        EXPECT_EQ(moovAt + At32(now, moovAt), now.size());
        EXPECT_EQ(Bytes(now.begin(), now.begin() + ptrdiff_t(moovAt)), Bytes(original.begin(), original.begin() + ptrdiff_t(moovAt)));
        EXPECT_TRUE(ChunkPointsAtMedia(now));
        tags::TMP4Tag back;
        EXPECT_EQ(back.LoadFromFile(file), c.Length ? 0 : 1);
        EXPECT_EQ(back.GetText(tags::AtomNameFromText(u"\u00A9nam"_s)).size(), c.Length);
        EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.m4a"_s});
    }
}

TEST(MP4Write, RoomAfterMoovMustLeaveAPaddingAtomOfTenBytes)
{
    // Unchanged items need exactly the old moov; the free atom after it is the room left over.
    struct TCase {
        uint32_t FreeSize;
        bool InPlace;
    } cases[] = {{8, false}, {9, false}, {10, true}, {0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.FreeSize);
        testing_support::TempDir dir;
        const Bytes free = c.FreeSize ? Atom("free", Bytes(c.FreeSize - 8, 0)) : Bytes();
        const Bytes original = File(true, Udta(Item("\xA9" "nam", Data(1, S("same")))), free);
        const QString file = WriteFile(dir, u"a.m4a"_s, original);
        tags::TMP4Tag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        ASSERT_EQ(tag.SaveToFile(file, true), 0);
        const Bytes now = FileBytes(file);
        EXPECT_EQ(now.size() == original.size(), c.InPlace);
        if (c.InPlace && c.FreeSize) { EXPECT_EQ(At32(now, FindAtom(now, "free")), c.FreeSize); }
        if (c.InPlace && !c.FreeSize) { EXPECT_EQ(now, original); }
        EXPECT_TRUE(ChunkPointsAtMedia(now));
    }
}

TEST(MP4Write, KeptChildrenNewBranchesAndEmptyFiles)
{
    testing_support::TempDir dir;
    // A moov without udta gains udta, meta and an empty ilst of 8 bytes; kept children stay in order.
    const QString plain = WriteFile(dir, u"p.mp4"_s, Cat({Ftyp, Atom("moov", Cat({Mvhd(1000, 1000), Atom("iods", S("x"))}))}));
    ASSERT_EQ(tags::StripMP4TagsFromFile(plain, false, 0), 0);
    const Bytes stripped = FileBytes(plain);
    const size_t ilst = FindAtom(stripped, "ilst");
    ASSERT_NE(ilst, SIZE_MAX);
    EXPECT_EQ(At32(stripped, ilst), 8u);
    EXPECT_EQ(FindAtom(stripped, "free"), SIZE_MAX);
    EXPECT_LT(FindAtom(stripped, "iods"), FindAtom(stripped, "udta"));

    // Other meta children stay before the new ilst; a free atom inside meta goes.
    const Bytes hdlr = Atom("hdlr", S("mdirappl"));
    const QString withMeta = WriteFile(dir, u"m.mp4"_s,
        Cat({Ftyp, Atom("moov", Udta(Item("\xA9" "ART", Data(1, S("A"))), Cat({hdlr, Atom("free", Bytes(3, 0))})))}));
    tags::TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromFile(withMeta), 0);
    ASSERT_EQ(tag.SaveToFile(withMeta, false), 0);
    const Bytes now = FileBytes(withMeta);
    EXPECT_LT(FindAtom(now, "hdlr"), FindAtom(now, "ilst"));
    EXPECT_EQ(At32(now, FindAtom(now, "free")), 4096u);   // only the new padding

    // A new file becomes an 8-byte ftyp and the new moov.
    tags::TMP4Tag fresh;
    fresh.AddAtom(u"\u00A9nam"_s)->SetAsText(u"New"_s);
    const QString made = dir.QFile(u"new.m4a"_s);
    ASSERT_EQ(fresh.SaveToFile(made, true), 0);
    const Bytes bytes = FileBytes(made);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), Cat({BE32(8), S("ftyp")}));
    tags::TMP4Tag back;
    ASSERT_EQ(back.LoadFromFile(made), 0);
    EXPECT_EQ(back.GetText(tags::AtomNameFromText(u"\u00A9nam"_s)), u"New"_s);

    // Not MP4: nothing written.
    const Bytes foreign = S("RIFF....WAVEfmt ");
    const QString wav = WriteFile(dir, u"x.wav"_s, foreign);
    EXPECT_EQ(fresh.SaveToFile(wav, true), tags::MP4TAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT);
    EXPECT_EQ(FileBytes(wav), foreign);
}

TEST(MP4Write, OffsetsThatWouldOverflowAndFailedWritesLeaveTheFile)
{
    testing_support::TempDir dir;
    // A chunk offset near 2^32 behind a growing moov cannot be moved in a 32-bit table.
    const Bytes udta = Udta({});
    const Bytes moov = Atom("moov", Cat({Trak(Tkhd(0, 0), Mp4a(2, 16, 44100), Cat({Stco({0xFFFFFFF0u}), Stco({100})})), udta}));
    const Bytes overflow = Cat({Ftyp, moov, Atom("mdat", MediaData)});
    const QString file = WriteFile(dir, u"o.m4a"_s, overflow);
    tags::TMP4Tag tag;
    tag.LoadFromFile(file);
    tag.SetText(tags::AtomNameFromText(u"\u00A9nam"_s), u"grow"_s);
    EXPECT_EQ(tag.SaveToFile(file, true), tags::MP4TAGLIBRARY_ERROR_UPDATE_STCO);
    EXPECT_EQ(FileBytes(file), overflow);

    // A table that claims more entries than it holds.
    const Bytes shortTable = Cat({Ftyp, Atom("moov", Cat({Trak(Tkhd(0, 0), Mp4a(2, 16, 44100),
        Atom("co64", Cat({BE32(0), BE32(3), BE64(500)}))), udta})), Atom("mdat", MediaData)});
    const QString second = WriteFile(dir, u"s.m4a"_s, shortTable);
    EXPECT_EQ(tag.SaveToFile(second, true), tags::MP4TAGLIBRARY_ERROR_UPDATE_CO64);
    EXPECT_EQ(FileBytes(second), shortTable);

    for (tags::TFileStep step : {tags::TFileStep::Create, tags::TFileStep::Write, tags::TFileStep::Rename}) {
        const Bytes original = File(true, Udta({}));
        const QString f = WriteFile(dir, u"f.m4a"_s, original);
        TFaultGuard fault(step);
        EXPECT_EQ(tag.SaveToFile(f, true), tags::MP4TAGLIBRARY_ERROR_OPENING_FILE);
        EXPECT_EQ(FileBytes(f), original);
    }
    EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST(MP4Write, SaveToStreamMovesTheRest)
{
    rtl::TMemoryStream stream;
    Fill(stream, File(true, Udta({})));
    tags::TMP4Tag tag;
    tag.SetText(tags::AtomNameFromText(u"\u00A9alb"_s), QString(500, u'a'));
    ASSERT_EQ(tag.SaveToStream(stream, true, true, QString()), 0);
    const Bytes now = Contents(stream);
    EXPECT_TRUE(ChunkPointsAtMedia(now));
    stream.SetPosition(0);
    tags::TMP4Tag back;
    ASSERT_EQ(back.LoadFromStream(stream), 0);
    EXPECT_EQ(back.GetText(tags::AtomNameFromText(u"\u00A9alb"_s)).size(), 500);
}

// ---------------------------------------------------------------------------------------------
// The front's converters

TEST(MP4Front, LoadAndSaveThroughTheEntries)
{
    testing_support::TempDir dir;
    const Bytes items = Cat({Item("\xA9" "ART", Data(1, S("Band"))), Item("trkn", Data(0, B({0, 0, 0, 3, 0, 12, 0, 0}))),
                             Item("disk", Data(0, B({0, 0, 0, 1, 0, 0}))),
                             Item("----", Cat({Atom("mean", Cat({BE32(0), S("com.apple.iTunes")})), Atom("name", Cat({BE32(0), S("MOOD")})),
                                               Data(1, S("calm"))})),
                             Item("covr", Data(13, Cat({S("\x89PNG\r\n\x1A\n"), Bytes(8, 0)})))});
    const QString file = WriteFile(dir, u"a.m4a"_s, File(true, Udta(items)));
    tags::TTags tags;
    tags.Add(u"ARTIST"_s)->Value = u"from ID3"_s;
    tags.Add(u"MOOD"_s)->Value = u"other"_s;
    tags.MP4Tag->LoadFromFile(file);
    tags.LoadMP4Tags();
    std::map<QString, QStringList> got;
    for (const auto& t : tags.Tags) got[t->Name].append(t->Value);
    EXPECT_EQ(got[u"ARTIST"_s], QStringList{u"Band"_s});
    EXPECT_EQ(got[u"TRACKNUMBER"_s], QStringList{u"3"_s});
    EXPECT_EQ(got[u"TOTALTRACKS"_s], QStringList{u"12"_s});
    EXPECT_EQ(got[u"DISCNUMBER"_s], QStringList{u"1"_s});
    EXPECT_FALSE(got.count(u"TOTALDISCS"_s));
    EXPECT_EQ(got[u"MOOD"_s], (QStringList{u"other"_s, u"calm"_s}));
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->MIMEType, u"image/png"_s);
    EXPECT_EQ(tags.CoverArts[0]->CoverType, 3u);

    tags.DeleteAllTags();
    tags.Add(u"TRACKNUMBER"_s)->Value = u"5"_s;
    tags.Add(u"TRACKTOTAL"_s)->Value = u"10"_s;
    tags.Add(u"PARTOFCOMPILATION"_s)->Value = u"0"_s;
    tags.Add(u"CATALOGNUMBER"_s)->Value = u"CAT-1"_s;
    ASSERT_EQ(tags.SaveMP4Tag(file), 0);
    tags::TMP4Tag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.GetTrack(), 5);
    EXPECT_EQ(back.GetTotalTracks(), 10);
    const tags::TMP4Atom* cpil = back.FindAtom(u"cpil"_s);
    ASSERT_NE(cpil, nullptr);
    EXPECT_EQ(Contents(cpil->Datas[0]->Data), B({0}));
    const tags::TMP4Atom* catalog = back.FindAtomCommon(tags::AtomNameFromText(u"----"_s), u"CATALOGNUMBER"_s, u"com.apple.iTunes"_s);
    ASSERT_NE(catalog, nullptr);
    EXPECT_EQ(catalog->GetAsText(), u"CAT-1"_s);
    ASSERT_NE(back.FindAtom(u"covr"_s), nullptr);
    EXPECT_EQ(back.FindAtom(u"covr"_s)->Datas[0]->DataType, tags::MP4DataPNG);
}

// ---------------------------------------------------------------------------------------------
// Peers

TEST(MP4Peer, FfmpegFilesKeepTheirAudioAndPeersReadOurItems)
{
    if (!testing_support::RequireTool(u"ffmpeg"_s)) return;
    testing_support::TempDir dir;
    const Bytes png = Cat({S("\x89PNG\r\n\x1A\n"), Bytes(30, 3)});
    struct TCase {
        const char* Name;
        QStringList Flags;
        bool Co64;
    } cases[] = {{"moov last", {}, false}, {"moov first", {u"-movflags"_s, u"+faststart"_s}, false},
                 {"moov first, 64-bit chunk offsets", {}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString file = dir.QFile(u"a.m4a"_s);
        auto run = testing_support::RunProgram(u"ffmpeg"_s, QStringList{u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
            u"sine=frequency=440:duration=2"_s, u"-c:a"_s, u"aac"_s, u"-metadata"_s, u"title=Peer"_s} + c.Flags +
            QStringList{u"-y"_s, file});
        ASSERT_TRUE(run.Ok()) << run.Describe();
        const QByteArray md5 = DecodedAudioMd5(file);
        if (c.Co64) {
            WriteFile(dir, u"a.m4a"_s, WithCo64MoovFirst(FileBytes(file)));
            ASSERT_EQ(DecodedAudioMd5(file), md5);   // ffmpeg takes the made-over file as it took its own
        }
        tags::TTags tags;
        ASSERT_EQ(tags.LoadFromFile(file), 0);
        EXPECT_EQ(tags.GetTag(u"TITLE"_s), u"Peer"_s);
        EXPECT_NEAR(tags.MP4Tag->FPlaytime, 2.0, 0.1);
        EXPECT_EQ(tags.MP4Tag->FAudioSampleRate, 44100u);
        tags.Add(u"ARTIST"_s)->Value = u"Ärtist"_s;
        tags.Add(u"TRACKNUMBER"_s)->Value = u"4/9"_s;
        tags.Add(u"MOOD"_s)->Value = QString(6000, u'm');   // grows past any padding
        tags::TCoverArt* cover = tags.AddCoverArt(u"c"_s);
        cover->Stream->WriteBuffer(png.data(), int64_t(png.size()));
        ASSERT_EQ(tags.SaveMP4Tag(file), 0);
        EXPECT_EQ(DecodedAudioMd5(file), md5);
        const Bytes saved = FileBytes(file);
        EXPECT_EQ(FindAtom(saved, "co64") != SIZE_MAX, c.Co64);
        EXPECT_EQ(FindAtom(saved, "moov") < FindAtom(saved, "mdat"), c.Flags.size() > 0 || c.Co64);

        if (testing_support::RequireTool(u"/usr/bin/python3"_s, u"import mutagen.mp4"_s)) {
            run = testing_support::RunProgram(u"/usr/bin/python3"_s, {u"-c"_s,
                u"import sys, mutagen.mp4 as m; x = m.MP4(sys.argv[1]); "
                "print(x['\\xa9ART'][0], x['trkn'][0], x['covr'][0].imageformat == m.MP4Cover.FORMAT_PNG, "
                "len(x['----:com.apple.iTunes:MOOD'][0]))"_s, file});
            ASSERT_TRUE(run.Ok()) << run.Describe();
            EXPECT_EQ(QString::fromUtf8(run.Out.trimmed()), u"Ärtist (4, 9) True 6000"_s);
        }
        if (testing_support::RequireTool(u"AtomicParsley"_s)) {
            // Its dump of our tree: the items where they belong, and every byte of the file accounted for.
            run = testing_support::RunProgram(u"AtomicParsley"_s, {file, u"-T"_s});
            ASSERT_TRUE(run.Ok()) << run.Describe();
            for (const char* item : {"Atom \xC2\xA9" "ART", "Atom trkn", "Atom covr", "Atom ----"})
                EXPECT_TRUE(run.Out.contains(item)) << item << "\n" << run.Out.toStdString();
            EXPECT_TRUE(run.Out.contains(QByteArray("Total size: ") + QByteArray::number(qint64(saved.size())) + " bytes"))
                << run.Out.toStdString();
            EXPECT_FALSE(run.Out.contains("rror")) << run.Out.toStdString();
        }
    }
}

TEST(MP4Peer, WeReadWhatAtomicParsleyWrites)
{
    if (!testing_support::RequireTool(u"ffmpeg"_s) || !testing_support::RequireTool(u"AtomicParsley"_s)) return;
    testing_support::TempDir dir;
    const QString file = dir.QFile(u"b.m4a"_s);
    auto run = testing_support::RunProgram(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
        u"sine=duration=1"_s, u"-c:a"_s, u"aac"_s, u"-y"_s, file});
    ASSERT_TRUE(run.Ok()) << run.Describe();
    const QByteArray md5 = DecodedAudioMd5(file);
    const Bytes png = Cat({S("\x89PNG\r\n\x1A\n"), Atom("IHDR", Bytes(13, 1)), Bytes(40, 7)});
    const QString cover = WriteFile(dir, u"c.png"_s, png);
    run = testing_support::RunProgram(u"AtomicParsley"_s, {file, u"--artist"_s, u"AP Artist"_s, u"--tracknum"_s, u"2/7"_s,
        u"--genre"_s, u"Rock"_s, u"--rDNSatom"_s, u"free text"_s, u"name=NOTE"_s, u"domain=com.apple.iTunes"_s,
        u"--artwork"_s, cover, u"--overWrite"_s});
    ASSERT_TRUE(run.Ok()) << run.Describe();
    tags::TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), 0);
    EXPECT_EQ(tags.GetTag(u"ARTIST"_s), u"AP Artist"_s);
    EXPECT_EQ(tags.GetTag(u"TRACKNUMBER"_s), u"2"_s);
    EXPECT_EQ(tags.GetTag(u"TOTALTRACKS"_s), u"7"_s);
    EXPECT_EQ(tags.GetTag(u"GENRE"_s), u"Rock"_s);
    EXPECT_EQ(tags.GetTag(u"NOTE"_s), u"free text"_s);
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->MIMEType, u"image/png"_s);
    EXPECT_EQ(Contents(*tags.CoverArts[0]->Stream), png);
    // Its free-form item, written again through the part writers, is the bytes AtomicParsley stored.
    const tags::TMP4Atom* note = tags.MP4Tag->FindAtomCommon(u"----"_s, u"NOTE"_s, u"com.apple.iTunes"_s);
    ASSERT_TRUE(note);
    rtl::TMemoryStream written;
    ASSERT_TRUE(note->Write(written));
    const Bytes whole = FileBytes(file), item = Contents(written);
    EXPECT_NE(std::search(whole.begin(), whole.end(), item.begin(), item.end()), whole.end());
    rtl::TMemoryStream parts;
    ASSERT_TRUE(note->mean.Write(parts) && note->name.Write(parts) && note->Datas[0]->Write(parts));
    EXPECT_EQ(Contents(parts), Bytes(item.begin() + 8, item.end()));
    // Unchanged items saved back in place into AtomicParsley's padding.
    const qint64 size = QFileInfo(file).size();
    ASSERT_EQ(tags.MP4Tag->SaveToFile(file, true), 0);
    EXPECT_EQ(QFileInfo(file).size(), size);
    EXPECT_EQ(DecodedAudioMd5(file), md5);
}
