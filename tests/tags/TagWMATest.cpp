// WMA attributes: the value forms by type, pictures, load and save through the metadata editor, and the
// front's entries from and into them.
#include "tags/TagWMA.h"
#include "tags/Tags.h"

#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "win/kernel32/modules.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <functional>
#include <sys/resource.h>

using namespace tags;
using namespace Qt::Literals::StringLiterals;

namespace {

std::vector<uint8_t> B(std::initializer_list<int> Values) { return {Values.begin(), Values.end()}; }

TEST(WMAFrame, TextAndIntegerByType)
{
    struct Case {
        WMT_ATTR_DATATYPE Type;
        std::vector<uint8_t> Value;
        const char* Text;
        int64_t Integer;
    };
    const Case cases[] = {
        {WMT_TYPE_DWORD, B({0x78, 0x56, 0x34, 0x12}), "305419896", 0x12345678},
        {WMT_TYPE_DWORD, B({0xFF, 0xFF, 0xFF, 0xFF}), "4294967295", 0xFFFFFFFF}, // zero-extended
        {WMT_TYPE_STRING, B({'A', 0, 0, 0, 'B', 0, 0, 0}), "AB", 0},             // every 0 unit skipped
        {WMT_TYPE_BINARY, B({1, 2, 3}), "0", 0},
        {WMT_TYPE_BOOL, B({1, 0, 0, 0}), "1", 1},
        {WMT_TYPE_QWORD, B({0, 0, 0, 0, 1, 0, 0, 0}), "4294967296", 0x100000000},
        {WMT_TYPE_WORD, B({0x34, 0x12}), "4660", 0x1234},
        {WMT_TYPE_GUID, B({0xE3, 0x68, 0xCC, 0x15, 0xCC, 0x27, 0xCD, 0x4E, 0xB2, 0x22, 0x3F, 0x5D, 0x02, 0xD8, 0x0B, 0xD5}),
         "{15CC68E3-27CC-4ECD-B222-3F5D02D80BD5}", 0},
    };
    TWMATag tag;
    for (const Case& c : cases) {
        TWMATagFrame* f = tag.AddFrame(u"X"_s);
        f->Format = c.Type;
        f->Stream = c.Value;
        EXPECT_EQ(f->GetAsText(), QString::fromLatin1(c.Text)) << c.Text;
        EXPECT_EQ(f->GetAsInteger(), c.Integer) << c.Text;
    }
    TWMATagFrame* f = tag.AddFrame(u"Y"_s);
    ASSERT_TRUE(f->SetAsInteger(0x1122334455667788, WMT_TYPE_WORD));
    EXPECT_EQ(f->Stream, B({0x88, 0x77}));
    EXPECT_FALSE(f->SetAsInteger(5, WMT_TYPE_GUID));
    EXPECT_TRUE(f->Stream.empty());
    EXPECT_EQ(f->Format, WMT_TYPE_WORD);
    ASSERT_TRUE(f->SetAsText(QString()));
    EXPECT_EQ(f->Stream, B({0, 0}));
}

TEST(WMAFrame, ListFormRoundTripsAndSkipsEmptyPairs)
{
    TWMATag tag;
    TWMATagFrame* f = tag.AddFrame(u"WM/TIPL"_s);
    rtl::TStringList in;
    in.Add(u"producer=Someone"_s);
    in.Add(u"mixer= "_s);
    in.Add(u"engineer=Other"_s);
    ASSERT_TRUE(f->SetAsList(in));
    EXPECT_EQ(f->Stream.size(), 2u * (8 + 1 + 7 + 1 + 5 + 1 + 1 + 1 + 8 + 1 + 5 + 1));
    EXPECT_EQ(f->Stream[16], 0x0D);
    EXPECT_EQ(f->Stream[17], 0x0A);
    rtl::TStringList out;
    ASSERT_TRUE(f->GetAsList(out));
    ASSERT_EQ(out.Count(), 2);
    EXPECT_EQ(out[0], u"producer=Someone"_s);
    EXPECT_EQ(out[1], u"engineer=Other"_s);
}

TEST(WMATag, BitRateIsInKbitOf1000RoundedHalfToEvenAndDurationInMilliseconds)
{
    const std::pair<uint32_t, int> rates[] = {{128000, 128}, {1500, 2}, {2500, 2}, {3500, 4}, {131072, 131}, {0, 0}};
    for (auto [bits, kbit] : rates) {
        TWMATag tag;
        tag.AddFrame(u"Bitrate"_s)->SetAsInteger(bits, WMT_TYPE_DWORD);
        EXPECT_EQ(tag.GetBitRate(), kbit) << bits;
    }
    TWMATag tag;
    tag.AddFrame(u"Duration"_s)->SetAsInteger(2'345'670'000, WMT_TYPE_QWORD); // 234.567 s in 100 ns
    EXPECT_EQ(tag.GetDuration(), 234567);
    tag.AddFrame(u"WM/ContainerFormat"_s)->SetAsInteger(0, WMT_TYPE_DWORD);
    EXPECT_FALSE(tag.GetContainerFormat());
}

// Each property reads its own attribute: set alone, only that property answers.
TEST(WMATag, EveryPropertyReadsItsAttribute)
{
    struct Case {
        const char16_t* Name;
        std::function<int64_t(const TWMATag&)> Property;
    };
    const Case cases[] = {
        {u"Seekable", [](const TWMATag& T) { return int64_t(T.GetSeekable()); }},
        {u"Stridable", [](const TWMATag& T) { return int64_t(T.GetStridable()); }},
        {u"Broadcast", [](const TWMATag& T) { return int64_t(T.GetBroadcast()); }},
        {u"Is_Protected", [](const TWMATag& T) { return int64_t(T.GetIsProtected()); }},
        {u"Is_Trusted", [](const TWMATag& T) { return int64_t(T.GetIsTrusted()); }},
        {u"HasAudio", [](const TWMATag& T) { return int64_t(T.GetHasAudio()); }},
        {u"HasImage", [](const TWMATag& T) { return int64_t(T.GetHasImage()); }},
        {u"HasScript", [](const TWMATag& T) { return int64_t(T.GetHasScript()); }},
        {u"HasVideo", [](const TWMATag& T) { return int64_t(T.GetHasVideo()); }},
        {u"CurrentBitrate", [](const TWMATag& T) { return T.GetCurrentBitrate(); }},
        {u"OptimalBitrate", [](const TWMATag& T) { return T.GetOptimalBitrate(); }},
        {u"HasAttachedImages", [](const TWMATag& T) { return int64_t(T.GetHasAttachedImages()); }},
        {u"Can_Skip_Backward", [](const TWMATag& T) { return int64_t(T.GetCanSkipBackward()); }},
        {u"Can_Skip_Forward", [](const TWMATag& T) { return int64_t(T.GetCanSkipForward()); }},
        {u"NumberOfFrames", [](const TWMATag& T) { return T.GetNumberOfFrames(); }},
        {u"HasArbitraryDataStream", [](const TWMATag& T) { return int64_t(T.GetHasArbitraryDataStream()); }},
        {u"HasFileTransferStream", [](const TWMATag& T) { return int64_t(T.GetHasFileTransferStream()); }},
        {u"WM/ContainerFormat", [](const TWMATag& T) { return int64_t(T.GetContainerFormat()); }},
    };
    for (const Case& owner : cases) {
        TWMATag tag;
        // Booleans are true above 0; the two bit rates give their value.
        tag.AddFrame(String::fromUtf16(owner.Name))->SetAsInteger(777, WMT_TYPE_DWORD);
        for (const Case& c : cases) {
            const bool bitrate = QStringView(c.Name).endsWith(u"Bitrate") || QStringView(c.Name) == u"NumberOfFrames";
            EXPECT_EQ(c.Property(tag), &c == &owner ? (bitrate ? 777 : 1) : 0)
                << QString::fromUtf16(owner.Name).toStdString() << " set, " << QString::fromUtf16(c.Name).toStdString() << " read";
        }
    }
    TWMATag tag;
    EXPECT_EQ(tag.GetSignatureName(), u""_s);
    tag.AddFrame(u"Signature_Name"_s)->SetAsText(u"Signer"_s);
    EXPECT_EQ(tag.GetSignatureName(), u"Signer"_s);
}

TEST(WMATag, TheNinetyAttributeNamesAndTheNameMaps)
{
    EXPECT_EQ(QString::fromUtf16(WMAttributeNames[0]), u"Duration"_s);
    EXPECT_EQ(QString::fromUtf16(WMAttributeNames[20]), u"WM/ContainerFormat"_s);
    EXPECT_EQ(QString::fromUtf16(WMAttributeNames[40]), u"WM/Picture"_s);
    EXPECT_EQ(QString::fromUtf16(WMAttributeNames[89]), u"WM/TMCL"_s);
    QStringList names;
    for (const char16_t* n : WMAttributeNames) names << QString::fromUtf16(n);
    EXPECT_EQ(names.size(), 90);
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 90);
    const QStringList mapped = tags::WMAAttributesOfNameMaps();
    EXPECT_GT(mapped.size(), 50);
    for (const QString& n : mapped) EXPECT_TRUE(names.contains(n)) << n.toStdString();
}

TEST(WMATag, PictureLayoutAndReadBack)
{
    TWMATag tag;
    rtl::TMemoryStream data;
    const char bytes[] = "PNGDATA";
    data.WriteBuffer(bytes, 7);
    const int index = tag.AddCoverArtFrame(data, u"a/bc"_s, 3, QString());
    ASSERT_EQ(index, 0);
    const auto& v = tag.Frames[0]->Stream;
    ASSERT_EQ(v.size(), 29u + 10 + 2 + 7);
    uint64_t mime, desc, pic;
    std::memcpy(&mime, &v[0], 8);
    std::memcpy(&desc, &v[9], 8);
    std::memcpy(&pic, &v[21], 8);
    EXPECT_EQ(mime, uint64_t(uintptr_t(v.data() + 29)));
    EXPECT_EQ(desc - mime, 10u);
    EXPECT_EQ(pic - desc, 2u);
    EXPECT_EQ(v[8], 3);

    rtl::TMemoryStream out;
    QString type, description;
    uint8_t kind = 0;
    ASSERT_TRUE(tag.GetCoverArtFromFrame(0, out, type, kind, description));
    EXPECT_EQ(type, u"a/bc"_s);
    EXPECT_EQ(kind, 3);
    ASSERT_EQ(out.Size(), 7);
    char back[7];
    out.ReadBuffer(back, 7);
    EXPECT_EQ(std::memcmp(back, bytes, 7), 0);

    // A data length beyond the value is refused, not read past the buffer.
    tag.Frames[0]->Stream[17] = 0xFF;
    rtl::TMemoryStream none;
    EXPECT_FALSE(tag.GetCoverArtFromFrame(0, none, type, kind, description));
    EXPECT_FALSE(tag.GetCoverArtFromFrame(1, none, type, kind, description));
}

class WMAFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        TW_REQUIRE_TOOL("ffmpeg");
        File = Dir.QFile(u"a.wma"_s);
        auto r = testing_support::RunProgram(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
            u"sine=duration=1"_s, u"-metadata"_s, u"title=Old"_s, u"-metadata"_s, u"WM/SharedUserRating=x"_s, File});
        ASSERT_TRUE(r.Ok()) << r.Describe();
    }
    testing_support::TempDir Dir;
    QString File;
};

TEST_F(WMAFile, LoadSaveAndReloadThroughTheEditor)
{
    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
    EXPECT_TRUE(tag.Loaded);
    EXPECT_EQ(tag.ReadFrameByNameAsText(u"title"_s), u"Old"_s);
    EXPECT_NEAR(double(tag.GetDuration()), 1000, 150);
    EXPECT_TRUE(tag.GetHasAudio());
    EXPECT_TRUE(tag.CodecInfo().startsWith(u"Windows Media Audio"_s)) << tag.CodecInfo().toStdString();

    // A picture over 64 KB held before the title: the title is written, the picture after it.
    std::vector<char> big(100000, 'p');
    rtl::TMemoryStream picture;
    picture.WriteBuffer(big.data(), int64_t(big.size()));
    tag.DeleteAllFrames();
    ASSERT_EQ(tag.AddCoverArtFrame(picture, u"image/jpeg"_s, 3, u"cover"_s), 0);
    tag.SetTextFrameText(u"Title"_s, u"New"_s);
    tag.AddFrame(u"WM/TrackNumber"_s)->SetAsInteger(4, WMT_TYPE_DWORD);
    tag.AddFrame(u"WM/SharedUserRating"_s)->SetAsInteger(255, WMT_TYPE_DWORD);
    tag.NormalizeRatingTo255 = true;
    ASSERT_EQ(tag.SaveToFile(File), WMATAGLIBRARY_SUCCESS);
    EXPECT_EQ(tag.ReadAsInteger(u"WM/SharedUserRating"_s), 255); // the held value stays

    TWMATag plain;
    ASSERT_EQ(plain.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
    EXPECT_EQ(plain.ReadFrameByNameAsText(u"Title"_s), u"New"_s);
    EXPECT_EQ(plain.ReadAsInteger(u"WM/TrackNumber"_s), 4);
    EXPECT_EQ(plain.ReadAsInteger(u"WM/SharedUserRating"_s), 99);
    int at = -1;
    for (int i = 0; i < plain.Count(); ++i)
        if (plain.Frames[size_t(i)]->Name == u"WM/Picture"_s) at = i;
    ASSERT_GE(at, 0);
    rtl::TMemoryStream out;
    QString mime, description;
    uint8_t type = 0;
    ASSERT_TRUE(plain.GetCoverArtFromFrame(at, out, mime, type, description));
    EXPECT_EQ(mime, u"image/jpeg"_s);
    EXPECT_EQ(description, u"cover"_s);
    EXPECT_EQ(out.Size(), int64_t(big.size()));

    TWMATag scaled;
    scaled.NormalizeRatingTo255 = true;
    ASSERT_EQ(scaled.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
    EXPECT_EQ(scaled.ReadAsInteger(u"WM/SharedUserRating"_s), 255);

    // Stripping: a cleared tag saved leaves only what the file itself gives.
    scaled.DeleteAllFrames();
    ASSERT_EQ(scaled.SaveToFile(File), WMATAGLIBRARY_SUCCESS);
    ASSERT_EQ(scaled.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
    EXPECT_TRUE(scaled.ReadFrameByNameAsText(u"Title"_s).isEmpty());
    EXPECT_EQ(scaled.ReadAsInteger(u"WM/TrackNumber"_s), 0);
}

TEST_F(WMAFile, ResultCodes)
{
    TWMATag tag;
    EXPECT_EQ(tag.LoadFromFile(Dir.QFile(u"missing.wma"_s)), WMATAGLIBRARY_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(tag.FileSize(), -1);
    EXPECT_EQ(tag.SaveToFile(Dir.QFile(u"missing.wma"_s)), WMATAGLIBRARY_ERROR_FILE_NOT_FOUND);
    // Not an ASF file: the editor opens nothing, the count fails and the save cannot flush.
    const QString text = Dir.QFile(u"text.wma"_s);
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(200, 'x'));
    f.close();
    EXPECT_EQ(tag.LoadFromFile(text), WMATAGLIBRARY_ERROR_ATTRIBUTE_COUNT_FAILED);
    EXPECT_EQ(tag.SaveToFile(text), WMATAGLIBRARY_ERROR);   // the editor's Flush fails
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(200, 'x'));
    f.close();
    EXPECT_EQ(QDir(Dir.QPath()).entryList(QDir::Files | QDir::Hidden), (QStringList{u"a.wma"_s, u"text.wma"_s}));
}

// The editor's Flush fails after a good Open (writes past 4 KB fail as on a full disk; the new title
// makes the header longer than that, so its room is made before the write fails): the file stays byte
// for byte, and nothing is left beside it.
TEST_F(WMAFile, AFailedFlushLeavesTheFileAsItWas)
{
    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
    tag.SetTextFrameText(u"Title"_s, QString(3000, u'n'));
    QFile f(File);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    ASSERT_GT(before.size(), 4096);
    rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int saved = tag.SaveToFile(File);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_EQ(saved, WMATAGLIBRARY_ERROR);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    f.close();
    EXPECT_EQ(QDir(Dir.QPath()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.wma"_s});
    TWMATag back;
    ASSERT_EQ(back.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
    EXPECT_EQ(back.ReadFrameByNameAsText(u"Title"_s), u"Old"_s);
}

// The codes of a missing library, a failed editor, no header interface and a failed count, with the
// calls the unit made: a library is loaded once per process, so this runs in a fresh one.
std::string EditorCodes()
{
    std::string wrong;
    auto check = [&](const std::string& What, const std::string& Got, const std::string& Want) {
        if (Got != Want) wrong += What + ": " + Got + " instead of " + Want + "\n";
    };
    testing_support::TempDir dir;
    const QString file = dir.QFile(u"a.wma"_s);
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) return "no file";
    f.close();

    TWMATag tag;
    TwWithholdModule(u"wmvcore.dll", TRUE);
    check("load without a library", std::to_string(tag.LoadFromFile(file)), "2");
    check("save without a library", std::to_string(tag.SaveToFile(file)), "2");
    TwWithholdModule(u"wmvcore.dll", FALSE);

    void* fake = dlopen(TW_FAKE_WMVCORE, RTLD_NOW);
    if (!fake) return dlerror();
    auto failAt = reinterpret_cast<void (*)(const char*)>(dlsym(fake, "FakeEditorFailAt"));
    auto calls = reinterpret_cast<const char* (*)()>(dlsym(fake, "FakeEditorCalls"));
    TwRegisterModule(u"wmvcore.dll", dlsym(fake, "WMCreateEditor"));
    struct Case {
        const char* Failing;
        int Load;
        const char* LoadCalls;
        int Save;
        const char* SaveCalls;
    } cases[] = {
        {"create", 3, "create", 3, "create"},
        {"query", 4, "create open query close release", 4, "create query close release"},
        {"count", 5, "create open query count info-release close release", 0,
         "create query open count add flush info-release close release"},
        {"flush", 0, "create open query count codec info-release close release", 0xFFFF,
         "create query open count delete add flush info-release close release"},
    };
    for (const Case& c : cases) {
        failAt(c.Failing);
        // Each case saves the one attribute the fake served.
        tag.DeleteAllFrames();
        tag.AddFrame(u"Title"_s)->SetAsText(u"Fake"_s);
        check(std::string(c.Failing) + " load", std::to_string(tag.LoadFromFile(file)), std::to_string(c.Load));
        check(std::string(c.Failing) + " load calls", calls(), c.LoadCalls);
        tag.DeleteAllFrames();
        tag.AddFrame(u"Title"_s)->SetAsText(u"Fake"_s);
        check(std::string(c.Failing) + " save", std::to_string(tag.SaveToFile(file)), std::to_string(c.Save));
        check(std::string(c.Failing) + " save calls", calls(), c.SaveCalls);
    }
    failAt("");
    check("good load", std::to_string(tag.LoadFromFile(file)), "0");
    check("good load title", tag.ReadFrameByNameAsText(u"Title"_s).toStdString(), "Fake");
    calls();
    // A library without the entry point: a load finds no editor to make (1), a save cannot make one (3).
    TwHideExport(static_cast<HMODULE>(fake), "WMCreateEditor", TRUE);
    check("load without an entry point", std::to_string(tag.LoadFromFile(file)), "1");
    check("save without an entry point", std::to_string(tag.SaveToFile(file)), "3");
    check("calls without an entry point", calls(), "");
    return wrong;
}

TEST(WMAEditorLibraryDeathTest, CodesOfAMissingOrFailingEditor)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const std::string wrong = EditorCodes();
            std::fputs(wrong.c_str(), stderr);
            std::fflush(stderr);
            std::_Exit(wrong.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

const char Png[] = "\x89PNG\r\n\x1a\n0000IHDR";

int FindFrame(const TWMATag& Tag, const QString& Name, int From = 0)
{
    for (int i = From; i < Tag.Count(); ++i)
        if (Tag.Frames[size_t(i)]->Name == Name) return i;
    return -1;
}


TEST_F(WMAFile, FrontEntriesFromAttributes)
{
    {
        TWMATag tag;
        ASSERT_EQ(tag.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
        tag.DeleteAllFrames();
        tag.AddFrame(u"WM/Track"_s)->SetAsInteger(0, WMT_TYPE_DWORD);
        tag.AddFrame(u"WM/TrackNumber"_s)->SetAsText(u"9"_s);   // no common name: ignored
        tag.AddFrame(u"WM/PartOfSet"_s)->SetAsText(u"2/3"_s);
        tag.AddFrame(u"WM/Composer"_s)->SetAsText(u"C1"_s);
        tag.AddFrame(u"WM/Composer"_s)->SetAsText(u"C2"_s);
        rtl::TStringList list;
        list.Add(u"producer=Ann"_s);
        list.Add(u"mixer=Bob"_s);
        tag.AddFrame(u"WM/TIPL"_s)->SetAsList(list);
        rtl::TMemoryStream png;
        png.WriteBuffer(Png, sizeof Png - 1);
        tag.AddCoverArtFrame(png, u"image/png"_s, 4, u"back"_s);
        ASSERT_EQ(tag.SaveToFile(File), WMATAGLIBRARY_SUCCESS);
    }
    tags::TTags front;
    front.Add(u"TOTALDISCS"_s)->Value = u"7"_s;   // an older total gives way
    front.AddCoverArt(u"old"_s);
    front.LoadWMATags();   // nothing loaded yet: nothing changes but the flag
    EXPECT_EQ(front.CoverArtCount(), 1);
    ASSERT_EQ(front.LoadFromFile(File), 0);
    EXPECT_EQ(front.GetTag(u"TRACKNUMBER"_s), u"1"_s);   // counted from 0 in the file
    EXPECT_EQ(front.GetTag(u"DISCNUMBER"_s), u"2"_s);
    EXPECT_EQ(front.GetTag(u"TOTALDISCS"_s), u"3"_s);
    EXPECT_EQ(front.TypeCount(u"TOTALDISCS"_s), 1);
    EXPECT_EQ(front.TypeCount(u"COMPOSER"_s), 2);
    EXPECT_EQ(front.GetTag(u"TIPL"_s).remove(u'\r').trimmed(), u"producer=Ann\nmixer=Bob"_s);
    EXPECT_EQ(front.GetTag(u"TITLE"_s), QString());
    ASSERT_EQ(front.CoverArtCount(), 1);
    const tags::TCoverArt& cover = *front.CoverArts[0];
    EXPECT_EQ(cover.Name, u"Cover art 1"_s);
    EXPECT_EQ(cover.MIMEType, u"image/png"_s);
    EXPECT_EQ(cover.CoverType, 4u);
    EXPECT_EQ(cover.Description, u"back"_s);
    EXPECT_EQ(cover.PictureFormat, tags::tpfPNG);
    EXPECT_EQ(cover.Stream->Size(), int64_t(sizeof Png - 1));
}

TEST_F(WMAFile, FrontSavesTypedNumbersListsAndPictures)
{
    struct Case {
        const char16_t* Track;
        const char16_t* Total;
        const char16_t* Track0;        // WM/Track, counted from 0
        const char16_t* TrackNumber;   // WM/TrackNumber
    };
    const Case cases[] = {{u"5", u"9", u"4", u"5/9"}, {u"x", u"", u"0", u"x"}};
    for (const Case& c : cases) {
        for (int round = 0; round < 2; ++round) {   // a reload and save keeps one list
            tags::TTags front;
            ASSERT_EQ(front.LoadFromFile(File), 0);
            front.DeleteAllTags();
            front.DeleteAllCoverArts();
            front.Add(u"TRACKNUMBER"_s)->Value = String::fromUtf16(c.Track);
            if (*c.Total) front.Add(u"TOTALTRACKS"_s)->Value = String::fromUtf16(c.Total);
            front.Add(u"DISC"_s)->Value = u"1"_s;
            front.Add(u"TOTALDISCS"_s)->Value = u"2"_s;
            front.Add(u"composer"_s)->Value = u"A"_s;
            front.Add(u"COMPOSER"_s)->Value = u"B"_s;
            front.Add(u"TIPL"_s)->Value = u"producer=Ann"_s;
            front.Add(u"NOSUCHFIELD"_s)->Value = u"dropped"_s;
            tags::TCoverArt* cover = front.AddCoverArt(u"Cover art 1"_s);
            cover->Stream->WriteBuffer(Png, sizeof Png - 1);
            cover->MIMEType = u"image/png"_s;
            cover->CoverType = 3;
            cover->Description = u"front"_s;
            ASSERT_EQ(front.SaveWMATag(File), WMATAGLIBRARY_SUCCESS);
        }
        TWMATag tag;
        ASSERT_EQ(tag.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
        EXPECT_EQ(tag.ReadFrameByNameAsText(u"WM/Track"_s), String::fromUtf16(c.Track0));
        EXPECT_EQ(tag.ReadFrameByNameAsText(u"WM/TrackNumber"_s), String::fromUtf16(c.TrackNumber));
        EXPECT_EQ(tag.ReadFrameByNameAsText(u"WM/PartOfSet"_s), u"1/2"_s);
        const int first = FindFrame(tag, u"WM/Composer"_s);
        ASSERT_GE(first, 0);
        const int second = FindFrame(tag, u"WM/Composer"_s, first + 1);
        ASSERT_GE(second, 0);
        EXPECT_EQ(tag.Frames[size_t(first)]->GetAsText() + tag.Frames[size_t(second)]->GetAsText(), u"AB"_s);
        const int list = FindFrame(tag, u"WM/TIPL"_s);
        ASSERT_GE(list, 0);
        EXPECT_EQ(FindFrame(tag, u"WM/TIPL"_s, list + 1), -1);
        rtl::TStringList pairs;
        ASSERT_TRUE(tag.Frames[size_t(list)]->GetAsList(pairs));
        EXPECT_EQ(pairs.Text().trimmed(), u"producer=Ann"_s);
        EXPECT_EQ(FindFrame(tag, u"NOSUCHFIELD"_s), -1);
        const int picture = FindFrame(tag, u"WM/Picture"_s);
        ASSERT_GE(picture, 0);
        EXPECT_EQ(FindFrame(tag, u"WM/Picture"_s, picture + 1), -1);
        rtl::TMemoryStream out;
        QString mime, description;
        uint8_t type = 0;
        ASSERT_TRUE(tag.GetCoverArtFromFrame(picture, out, mime, type, description));
        EXPECT_EQ(type, 3);
        EXPECT_EQ(description, u"front"_s);
    }
    // The front reads back what it wrote, and ffprobe still decodes the file and shows the tags.
    tags::TTags front;
    ASSERT_EQ(front.LoadFromFile(File), 0);
    EXPECT_EQ(front.GetTag(u"TRACKNUMBER"_s), u"1"_s);
    auto r = testing_support::RunProgram(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-i"_s, File, u"-map"_s, u"0:a"_s, u"-f"_s, u"null"_s, u"-"_s});
    EXPECT_TRUE(r.Ok()) << r.Describe() << r.Err.toStdString();
    const QJsonObject probed = testing_support::FfprobeJson(File).object()[u"format"_s].toObject()[u"tags"_s].toObject();
    EXPECT_EQ(probed[u"disc"_s].toString(), u"1/2"_s);
    EXPECT_EQ(probed[u"WM/Track"_s].toString(), u"0"_s);
}

// ffmpeg writes the author into both description objects: one attribute, and the edit is what peers read.
TEST_F(WMAFile, AnAuthorWrittenTwiceIsOneArtistAndItsEditSticks)
{
    ASSERT_TRUE(testing_support::RunProgram(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-y"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
        u"sine=duration=0.3"_s, u"-metadata"_s, u"artist=Old Artist"_s, File}).Ok());
    tags::TTags front;
    ASSERT_EQ(front.LoadFromFile(File), 0);
    EXPECT_EQ(front.TypeCount(u"ARTIST"_s), 1);
    front.SetTag(u"ARTIST"_s, u"New Artist"_s);
    ASSERT_EQ(front.SaveToFile(File, tags::ttAutomatic), tags::trcSuccess);
    const QJsonObject probed = testing_support::FfprobeJson(File).object()[u"format"_s].toObject()[u"tags"_s].toObject();
    EXPECT_EQ(probed[u"artist"_s].toString(), u"New Artist"_s);
    if (testing_support::MissingTool(u"/usr/bin/python3"_s, u"import mutagen"_s).isEmpty()) {
        const auto run = testing_support::RunProgram(u"/usr/bin/python3"_s, {u"-c"_s,
            u"import sys, mutagen\nprint('|'.join(str(v) for v in mutagen.File(sys.argv[1]).tags.get('Author', [])))"_s, File});
        ASSERT_TRUE(run.Ok()) << run.Describe();
        EXPECT_EQ(QString::fromUtf8(run.Out).trimmed(), u"New Artist"_s);
    }
}

TEST_F(WMAFile, RepeatedNamesAreAllKept)
{
    {
        TWMATag tag;
        ASSERT_EQ(tag.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
        tag.DeleteAllFrames();
        tag.AddFrame(u"Author"_s)->SetAsText(u"First"_s);
        tag.AddFrame(u"Author"_s)->SetAsText(u"Second"_s);
        tag.AddFrame(u"Author"_s)->SetAsText(u"Second"_s);   // the same value again is the same attribute
        ASSERT_EQ(tag.SaveToFile(File), WMATAGLIBRARY_SUCCESS);
    }
    tags::TTags front;
    ASSERT_EQ(front.LoadFromFile(File), 0);
    ASSERT_EQ(front.TypeCount(u"ARTIST"_s), 2);
    EXPECT_EQ(front.Tags[size_t(front.Exists(u"ARTIST"_s))]->Value, u"First"_s);
    front.Add(u"COMPOSER"_s)->Value = u"C1"_s;
    front.Add(u"COMPOSER"_s)->Value = u"C2"_s;
    ASSERT_EQ(front.SaveWMATag(File), WMATAGLIBRARY_SUCCESS);

    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(File), WMATAGLIBRARY_SUCCESS);
    QStringList authors, composers;
    for (const auto& f : tag.Frames) {
        if (f->Name == u"Author"_s) authors << f->GetAsText();
        if (f->Name == u"WM/Composer"_s) composers << f->GetAsText();
    }
    EXPECT_EQ(authors, (QStringList{u"First"_s, u"Second"_s}));
    EXPECT_EQ(composers, (QStringList{u"C1"_s, u"C2"_s}));
    if (testing_support::MissingTool(u"/usr/bin/python3"_s, u"import mutagen"_s).isEmpty()) {
        const auto run = testing_support::RunProgram(u"/usr/bin/python3"_s, {u"-c"_s,
            u"import sys, mutagen\nt = mutagen.File(sys.argv[1]).tags\nprint('|'.join(str(v) for v in t.get('Author', []) + t.get('WM/Composer', [])))"_s, File});
        ASSERT_TRUE(run.Ok()) << run.Describe();
        EXPECT_EQ(QString::fromUtf8(run.Out).trimmed(), u"First|Second|C1|C2"_s);
    }
}

} // namespace
