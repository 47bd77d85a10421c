// tests/tags/TagID3v2FramesTest.cpp: reading and writing the contents of single frames.
#include "tags/TagID3v1.h"
#include "tags/TagID3v2.h"

#include "rtl/Classes.h"
#include "tests/tags/TagTestSupport.h"

#include <gtest/gtest.h>

using namespace tagtest;

namespace {

// A tag holding one frame with the given data.
struct TOneFrame {
    explicit TOneFrame(const Bytes& Data, const char* Id = "TIT2")
    {
        Index = Tag.AddFrame(QString::fromLatin1(Id));
        Fill(*Tag.Frames[Index]->Stream, Data);
    }
    Bytes Data() const { return Contents(*Tag.Frames[Index]->Stream); }
    tags::TID3v2Tag Tag;
    int Index;
};

} // namespace

struct TextCase { Bytes Data; const char16_t* Expected; bool Native; };

class TextEncodings : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextEncodings, ReadAsTheEncodingByteSays)
{
    TOneFrame f(GetParam().Data);
    f.Tag.TrimText = false;
    EXPECT_EQ(f.Tag.GetUnicodeText(f.Index, GetParam().Native), QString::fromUtf16(GetParam().Expected));
    EXPECT_EQ(f.Tag.Frames[f.Index]->Stream->Position(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, TextEncodings, ::testing::Values(
    TextCase{B({0x00, 0x41, 0x62, 0x63, 0x00}), u"Abc", false},
    TextCase{B({0x00, 0xE9}), u"\u00E9", false},
    TextCase{B({0x00, 0x80}), u"\u0080", false},
    TextCase{B({0x03, 0xC3, 0x84, 0x62}), u"\u00C4b", false},
    TextCase{B({0x03, 0xC3, 0x84, 0x62}), u"\u00C3\u201Eb", true},
    TextCase{B({0x01, 0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0x00, 0x42, 0x00, 0x00}), u"A\r\nB", false},
    TextCase{B({0x01, 0xFE, 0xFF, 0x00, 0x41, 0x00, 0x00, 0x00, 0x42, 0x00, 0x00}), u"A\r\nB", false},
    TextCase{B({0x01, 0x41, 0x00}), u"A", false},
    TextCase{B({0x02, 0x00, 0x41, 0x00, 0x00}), u"A", false},
    TextCase{B({0x00, 0x41, 0x00, 0x42}), u"A\r\nB", false},
    TextCase{B({0x00, 0x41, 0x00, 0x00}), u"A\r\n", false},
    TextCase{B({0x01, 0xFF, 0xFE, 0x41}), u"", false},
    TextCase{S("Whttp://x.org/"), u"Whttp://x.org/", false},
    TextCase{B({0x00}), u"", false}));

TEST(FrameText, TrimmingAndTheAnsiSwitch)
{
    TOneFrame f(B({0x00, 0x41, 0x00, 0x00}));
    EXPECT_EQ(f.Tag.GetUnicodeText(f.Index), u"A");
    TOneFrame g(B({0x00, 0x80}));
    tags::ID3v2ISO88591AsANSI = true;
    const QString ansi = g.Tag.GetUnicodeText(g.Index);
    tags::ID3v2ISO88591AsANSI = false;
    EXPECT_EQ(ansi, u"\u20AC");
    EXPECT_EQ(f.Tag.GetUnicodeText(QStringLiteral("TALB")), u"");
    EXPECT_EQ(f.Tag.GetUnicodeText(5), u"");
}

TEST(FrameText, SettersWriteUtf16WithAMark)
{
    TOneFrame f(B({0x00, 'x'}));
    ASSERT_TRUE(f.Tag.SetUnicodeText(f.Index, QString()));
    EXPECT_EQ(f.Data(), B({0x01, 0xFF, 0xFE, 0x00, 0x00}));
    rtl::TStringList list;
    list.Add(QStringLiteral("A"));
    list.Add(QStringLiteral("B"));
    ASSERT_TRUE(f.Tag.SetUnicodeTextMultiple(f.Index, list));
    EXPECT_EQ(f.Data(), B({0x01, 0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00, 0x42, 0x00, 0x00, 0x00}));
    rtl::TStringList back;
    ASSERT_TRUE(f.Tag.GetUnicodeTextMultiple(f.Index, back));
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Strings(1), u"B");
    EXPECT_FALSE(f.Tag.SetUnicodeText(7, QStringLiteral("x")));
    ASSERT_TRUE(f.Tag.SetUnicodeText(QStringLiteral("TPE1"), QStringLiteral("new")));
    EXPECT_EQ(f.Tag.GetUnicodeText(QStringLiteral("TPE1")), u"new");
}

TEST(FrameContent, CommentLanguageDescriptionAndText)
{
    TOneFrame f(Cat({B({0}), S("eng"), S("desc"), B({0}), S("text")}), "COMM");
    tags::TLanguageID lang;
    QString description;
    EXPECT_EQ(f.Tag.GetUnicodeContent(f.Index, lang, description), u"text");
    EXPECT_EQ(tags::LanguageIDToString(lang), u"eng");
    EXPECT_EQ(description, u"desc");
    ASSERT_TRUE(f.Tag.SetUnicodeContent(f.Index, QStringLiteral("T"), tags::StringToLanguageID(QStringLiteral("de")), QStringLiteral("D")));
    EXPECT_EQ(f.Data(), B({1, 'd', 'e', ' ', 0xFF, 0xFE, 'D', 0, 0, 0, 0xFF, 0xFE, 'T', 0, 0, 0}));
    EXPECT_EQ(f.Tag.GetUnicodeContent(f.Index, lang, description), u"T");
    EXPECT_EQ(description, u"D");
}

TEST(FrameContent, AnEmptyFrameGivesThreeSpacesAsItsLanguage)
{
    TOneFrame f(Bytes{}, "COMM");
    tags::TLanguageID lang = tags::StringToLanguageID(QStringLiteral("eng"));
    QString description = QStringLiteral("old");
    EXPECT_EQ(f.Tag.GetUnicodeContent(f.Index, lang, description), u"");
    EXPECT_EQ(tags::LanguageIDToString(lang), u"   ");
    EXPECT_EQ(description, u"");
}

TEST(FramePicture, ReadsMimeTypeDescriptionAndBytes)
{
    const Bytes png = B({0x89, 'P', 'N', 'G', 1, 2, 3});
    TOneFrame f(Cat({B({0}), S("image/png"), B({0, 3, 0}), png}), "APIC");
    rtl::TMemoryStream picture;
    QString mime, description;
    int type = -1;
    ASSERT_TRUE(f.Tag.GetUnicodeCoverPictureStream(f.Index, picture, mime, description, type));
    EXPECT_EQ(Contents(picture), png);
    EXPECT_EQ(mime, u"image/png");
    EXPECT_EQ(type, 3);
    EXPECT_TRUE(description.isEmpty());

    TOneFrame empty(Cat({B({0}), S("image/png"), B({0, 3}), S("d"), B({0})}), "APIC");
    rtl::TMemoryStream none;
    ASSERT_TRUE(empty.Tag.GetUnicodeCoverPictureStream(empty.Index, none, mime, description, type));
    EXPECT_EQ(none.Size(), 0);
    EXPECT_EQ(description, u"d");

    ASSERT_TRUE(f.Tag.SetUnicodeCoverPictureFromStream(f.Index, QStringLiteral("x"), picture, QStringLiteral("image/png"), 4));
    EXPECT_EQ(f.Data(), Cat({B({1}), S("image/png"), B({0, 4, 0xFF, 0xFE, 'x', 0, 0, 0}), png}));
}

TEST(FrameURL, UserDefinedAndPlainLinks)
{
    TOneFrame f(Cat({B({0}), S("home"), B({0}), S("http://a.b/")}), "WXXX");
    QString description;
    EXPECT_EQ(f.Tag.GetUnicodeUserDefinedURLLink(f.Index, description), u"http://a.b/");
    EXPECT_EQ(description, u"home");
    ASSERT_TRUE(f.Tag.SetUnicodeUserDefinedURLLinkByDescription(QStringLiteral("HOME"), QStringLiteral("http://c/")));
    EXPECT_EQ(f.Tag.FrameTypeCount(QStringLiteral("WXXX")), 2);   // the description differs in case
    ASSERT_TRUE(f.Tag.SetUnicodeUserDefinedURLLinkByDescription(QStringLiteral("home"), QStringLiteral("http://d/")));
    EXPECT_EQ(f.Tag.GetUnicodeUserDefinedURLLink(f.Index, description), u"http://d/");
    ASSERT_TRUE(f.Tag.SetURL(QStringLiteral("WCOM"), QStringLiteral("http://e/")));
    EXPECT_EQ(f.Tag.GetURL(f.Tag.FrameExists(QStringLiteral("WCOM"))), u"http://e/");
}

TEST(FramePlayCounter, LastFourBytesCount)
{
    TOneFrame f(B({1, 0, 0, 0, 0}), "PCNT");
    EXPECT_EQ(f.Tag.GetPlayCount(f.Index), 0u);
    ASSERT_TRUE(f.Tag.SetPlayCount(f.Index, 258));
    EXPECT_EQ(f.Data(), B({0, 0, 1, 2}));
    EXPECT_EQ(f.Tag.GetPlayCount(f.Index), 258u);
    EXPECT_EQ(f.Tag.GetPlayCount(3), 0u);
}

TEST(FramePopularimeter, CountersOfEveryWidth)
{
    const std::pair<Bytes, uint32_t> cases[] = {
        {{}, 0}, {B({7}), 7}, {B({0, 0, 1, 0}), 256}, {B({1, 0, 0, 0, 5}), 5}, {B({0x12, 0x34, 0x56}), 0x123456},
        {B({0xFF, 0xFF, 0xFF, 0xFF}), 0xFFFFFFFF}};
    for (const auto& [counter, expected] : cases) {
        TOneFrame f(Cat({S("a@b"), B({0, 196}), counter}), "POPM");
        QString email;
        uint8_t rating = 0;
        uint32_t count = 1;
        ASSERT_TRUE(f.Tag.GetPopularimeter(f.Index, email, rating, count));
        EXPECT_EQ(email, u"a@b");
        EXPECT_EQ(rating, 196);
        EXPECT_EQ(count, expected);
    }
}

TEST(FrameUserText, DescriptionAndValues)
{
    tags::TID3v2Tag tag;
    rtl::TStringList values;
    values.Add(QStringLiteral("happy"));
    values.Add(QStringLiteral("calm"));
    ASSERT_TRUE(tag.SetUnicodeTXXXByDescriptionMultiple(QStringLiteral("MOOD"), values));
    QString description;
    EXPECT_EQ(tag.GetUnicodeUserDefinedTextInformation(0, description), u"happy\r\ncalm");
    EXPECT_EQ(description, u"MOOD");
    rtl::TStringList list;
    ASSERT_TRUE(tag.GetUnicodeUserDefinedTextInformationMultiple(0, description, list));
    EXPECT_EQ(list.Count(), 2);

    ASSERT_TRUE(tag.SetUnicodeTXXXByDescriptionMultiple(QStringLiteral("mood"), rtl::TStringList()));
    EXPECT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.GetUnicodeUserDefinedTextInformation(0, description), u"");
    EXPECT_EQ(description, u"mood");
    EXPECT_FALSE(tag.GetUnicodeUserDefinedTextInformationMultiple(0, description, list));
    ASSERT_TRUE(tag.SetUnicodeUserDefinedTextInformationMultiple(QStringLiteral("TXXX"), QStringLiteral("OTHER"), values));
    EXPECT_EQ(tag.FrameCount(), 1);
}

TEST(FrameList, RolesAndNames)
{
    TOneFrame f(Cat({B({0}), S("producer"), B({0}), S("A"), B({0}), S("engineer"), B({0}), S("B")}), "TIPL");
    EXPECT_EQ(f.Tag.GetUnicodeListFrameText(f.Index), u"producer=A\r\nengineer=B");
    rtl::TStringList list;
    ASSERT_TRUE(f.Tag.GetUnicodeListFrame(f.Index, list));
    ASSERT_TRUE(f.Tag.SetUnicodeListFrame(QStringLiteral("TMCL"), list));
    EXPECT_EQ(f.Tag.GetUnicodeListFrameText(f.Tag.FrameExists(QStringLiteral("TMCL"))), u"producer=A\r\nengineer=B");
}

struct GenreCase { const char16_t* Text; const char16_t* Expected; };

class GenreDecoding : public ::testing::TestWithParam<GenreCase> {};

TEST_P(GenreDecoding, ReferencesBecomeNames)
{
    EXPECT_EQ(tags::DecodeID3v2Genre(QString::fromUtf16(GetParam().Text)), QString::fromUtf16(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(Table, GenreDecoding, ::testing::Values(
    GenreCase{u"(13)", u"Pop"}, GenreCase{u"(13)Pop", u"Pop"}, GenreCase{u"Pop", u"Pop"},
    GenreCase{u"((escaped)", u"(escaped)"}, GenreCase{u"(17)(18)", u"Rock Techno"},
    GenreCase{u"(RX)(CR)", u"Remix Cover"}, GenreCase{u"(255)", u""}, GenreCase{u"(17)Classic", u"Rock Classic"},
    GenreCase{u"(", u"("}, GenreCase{u"(200)", u"200"}, GenreCase{u"(300)", u"(300)"},
    GenreCase{u"(17", u"(17"}, GenreCase{u"()Jazz", u"Jazz"}, GenreCase{u"(RY)", u"(RY)"}, GenreCase{u"", u""}));

TEST(PlayTime, FromTlenWithoutLookingAtTheAudio)
{
    TOneFrame f(B({0, '7', '5', '0'}), "TLEN");
    EXPECT_DOUBLE_EQ(f.Tag.PlayTime(), 0.75);
    TOneFrame g(B({0, 'x'}), "TLEN");
    EXPECT_DOUBLE_EQ(g.Tag.PlayTime(), 0.0);
}
