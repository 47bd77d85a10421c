// tests/components/HTMLText2Test.cpp
#include "components/HTMLText2.h"

#include "Paper.h"

#include <gtest/gtest.h>

#include <random>

using namespace components;
using vcl::TColor;

namespace {

// The tokens in a compact form: words as they are, a blank as "_", "<?>" for rejected pieces, and
// tags as [kind/ text value].
std::string Dump(const String& Text) {
    TListToken l;
    Tokenize(Text, l);
    std::string out;
    for (int i = 0; i < l.Count(); ++i) {
        const TToken& t = *l.Item(i);
        if (!out.empty()) out += ' ';
        switch (t.Kind) {
        case ttText: out += t.Text.toStdString(); break;
        case ttSpace: out += '_'; break;
        case ttInvalid: out += "<?>"; break;
        default:
            out += '[' + std::to_string(t.Kind) + (t.TagClose ? "/" : "");
            if (!t.Text.isEmpty()) out += ' ' + t.Text.toStdString();
            if (t.Value) out += ' ' + std::to_string(t.Value);
            out += ']';
        }
    }
    return out;
}

struct TokenCase {
    const char* Text;
    const char* Tokens;
};

} // namespace

class Tokenizer : public ::testing::TestWithParam<TokenCase> {};

TEST_P(Tokenizer, CutsTheTextIntoTokens) {
    EXPECT_EQ(Dump(QString::fromUtf8(GetParam().Text)), GetParam().Tokens) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Tokenizer,
    ::testing::Values(
        TokenCase{"", ""}, TokenCase{"<b>x</B>", "[1] x [1/]"},
        // closing forms: a parameter is refused; some tags have no closing form at all
        TokenCase{"</b:1>", "<?>"}, TokenCase{"</fs:12></a:x></hr:5></li:*>", "<?> <?> <?> <?>"}, TokenCase{"<fs:0><fs:abc><fs:12></fs>", "<?> <?> [6 12] [6/]"},
        TokenCase{"<t:40></t><br></br>", "[9 40] <?> [12] <?>"}, TokenCase{"<b >", "<?>"},
        TokenCase{"<b:x><u:><i>", "<?> <?> [2]"},
        // stray brackets and unknown tags
        TokenCase{"a > b", "a _ <?> _ b"}, TokenCase{"a < b", "a _ <?> _ b"}, TokenCase{"x <y z> w", "x _ <?> _ w"},
        TokenCase{"<<b>", "<?>"}, TokenCase{"<zz>", "<?>"},
        // only the first colon separates name and parameter
        TokenCase{"<a:C:\\notes.txt>", "[14 C:\\notes.txt]"}, TokenCase{"<a><a:></a>", "[14] <?> [14/]"},
        TokenCase{"C:\\dir/file", "C: \\ dir / file"},
        TokenCase{"<ln></ln><ln:><ln:nope>", "[29] [29/] [29] <?>"}, TokenCase{"</lc></bbc><lc:#00F>", "<?> <?> [22 16711680]"},
        TokenCase{"<hr><hr:-10></hr><hr:x>", "[18] [18 -10] [18/] [18]"},
        TokenCase{"<li><li:*></li><li2:->", "[23] [23 *] [23/] [24 -]"},
        TokenCase{"<img><img:></img><img:3>", "[25] <?> [25/] [25 3]"},
        TokenCase{"<h1:x></h2><sub:1></sup>", "[19] [20/] [27] [28/]"},
        TokenCase{"<fn:Arial></fn><fn:>", "[5 Arial] [5/] <?>"},
        TokenCase{"<fc:clRed><fc:bad></fc><bc:#0F0>", "[7 255] <?> [7/] [8 65280]"},
        TokenCase{"<l></L><c><r:1>", "[15] [15/] [16] <?>"}, TokenCase{"<tf:20><tf:-3>", "[10 20] <?>"},
        // CR LF is a break, also inside a tag's parameter; a lone CR or LF stays in the word
        TokenCase{"a\r\nb", "a [12] b"}, TokenCase{"<fn:a\r\nb>", "[5 a<BR] b <?>"},
        // entities are words' business: after cutting, never tags
        TokenCase{"&lt;b&gt;", "<b>"}, TokenCase{"&amp;lt; &amp;copy; &COPY;", "&lt; _ \u00A9 _ &COPY;"}),
    [](const auto& Info) { return std::to_string(Info.index); });

TEST(Tokenizer, LoneLineEndsStayInsideWords) {
    TListToken l;
    Tokenize(QStringLiteral("a\nb\rc"), l);
    ASSERT_EQ(l.Count(), 1);
    EXPECT_EQ(l.Item(0)->Text, QStringLiteral("a\nb\rc"));
}

TEST(Entities, AreReplacedInTableOrder) {
    struct Case {
        const char16_t* In;
        const char16_t* Out;
    };
    for (const Case c : {Case{u"&euro;&cent;&pound;&yen;", u"\u20AC\u00A2\u00A3\u00A5"},
                         Case{u"&Gamma;&gamma;&Delta;&delta;", u"\u0393\u03B3\u0394\u03B4"},
                         Case{u"&Integral;&SmallCircle;&trade;&ndash;&bull;", u"\u222B\u2218\u2122\u2013\u2022"},
                         Case{u"&amp;gt;", u"&gt;"}, Case{u"&amp;amp;", u"&amp;"}, Case{u"&amp;reg;", u"\u00AE"},
                         Case{u"&#65;&nbsp;", u"&#65;&nbsp;"}})
        EXPECT_EQ(ReplaceEntities(QString::fromUtf16(c.In)), QString::fromUtf16(c.Out));
}

TEST(MarkupColor, ReadsHexRgbNamesAndNumbers) {
    struct Case {
        const char* Text;
        TColor Expected;
    };
    for (const Case c : {Case{"#F00", 0x0000FF}, Case{"#FF0000", 0x0000FF}, Case{"#ff0000", 0x0000FF},
                         Case{"# 12 34 56", 0x563412}, Case{"$0000FF", 0x0000FF}, Case{"rgb(0,0,255)", 0xFF0000},
                         Case{"0 0 255", 0xFF0000}, Case{"rgb(128)", 0x808080}, Case{"RGB(1,2,3)", 0x030201},
                         Case{"128", 128}, Case{"clRed", vcl::clRed}, Case{"clBtnFace", vcl::clBtnFace},
                         Case{"rgb(0, 0, 255)", vcl::clNone}, Case{"rgb(300,0,0)", vcl::clNone},
                         Case{"rgb(1,2)", vcl::clNone}, Case{"#FF00", vcl::clNone}, Case{"#GG0000", vcl::clNone},
                         Case{"", vcl::clNone}, Case{"red", vcl::clNone}, Case{"rgb(-1,0,0)", vcl::clNone}})
        EXPECT_EQ(ParseMarkupColor(QString::fromUtf8(c.Text)), c.Expected) << c.Text;
}

TEST(LinkText, CollectsWordsAndBlanksBackToTheLinkStart) {
    TListToken l;
    Tokenize(QStringLiteral("x <a:t>Read <b>more</b><img:1> </a>"), l);
    const int end = l.Count() - 1;
    ASSERT_EQ(l.Item(end)->Kind, ttLink);
    EXPECT_EQ(l.GetLinkText(end), QStringLiteral("Read more "));
}

TEST(Tokenizer, RandomTextIsFullyAccountedFor) {
    // Any text tokenizes without trouble, and every character ends up in at most one token.
    std::mt19937 rng(7);
    const char16_t alphabet[] = u"<>/\\:ab &;#\r\nBIR1-";
    for (int round = 0; round < 200; ++round) {
        String text;
        const int n = int(rng() % 300);
        for (int i = 0; i < n; ++i) text += QChar(alphabet[rng() % (std::size(alphabet) - 1)]);
        TListToken l;
        Tokenize(text, l);
        ASSERT_LE(l.Count(), text.size() + text.count(QStringLiteral("\r\n")) * 3);
    }
}

// ---- layout ----

namespace {

class Layout : public ::testing::Test {
protected:
    void SetUp() override {
        Bmp = components_test::Paper(10, 10);
        Lb.Font->SetName(QStringLiteral("DejaVu Sans"));
        Lb.Font->SetSize(10);
        Lb.Width = 100;
    }
    void Run(const char* Text) {
        Lb.Text = QString::fromUtf8(Text);
        RebuildLayout(Lb, Bmp->Canvas(), Out);
    }
    // Width and height of a text in the label's font.
    vcl::TSize Measure(const char* Text, int Size = 10) {
        vcl::TFont f;
        f.Assign(Lb.Font.get());
        f.SetSize(Size);
        Bmp->Canvas()->Font()->Assign(&f);
        return Bmp->Canvas()->TextExtent(QString::fromUtf8(Text));
    }
    const THqHWord* Word(const char* Text) const {
        for (const auto& w : Out.LWords)
            if (w->Text == QString::fromUtf8(Text)) return w.get();
        return nullptr;
    }

    std::unique_ptr<vcl::TBitmap> Bmp;
    THqHLayoutSettings Lb;
    THqHLayout Out;
};

} // namespace

TEST_F(Layout, EmptyTextHasNoPiecesAndNoSize) {
    Lb.InternalMargins.Enabled = true;
    Run("");
    EXPECT_TRUE(Out.LWords.empty());
    EXPECT_EQ(Out.TextWidth, 16);
    EXPECT_EQ(Out.TextHeight, 0);
    EXPECT_EQ(Out.Lines, 0);
}

TEST_F(Layout, BreaksMakeLinesAsHighAsTheirTallestPiece) {
    Run("a<fs:20>B</fs><br><br>b");
    const int blank = Measure(" ").cy, tall = Measure("B", 20).cy, small = Measure("b").cy;
    ASSERT_NE(Word("b"), nullptr);
    EXPECT_EQ(Word("b")->Rect.Top, tall + blank);
    EXPECT_EQ(Out.TextHeight, tall + blank + small);
    EXPECT_EQ(Out.Lines, 3);
}

TEST_F(Layout, AnExtraClosingTagKeepsTheStartingStyle) {
    Run("<b>x</b></b>y");
    EXPECT_TRUE(Word("x")->Font->Style().Contains(vcl::fsBold));
    EXPECT_FALSE(Word("y")->Font->Style().Contains(vcl::fsBold));
}

TEST_F(Layout, WrapsBeforeTheFirstWordThatPassesTheRightEdgeAndDropsTheBlank) {
    Run("aaaa bbbb cccc dddd eeee ffff gggg hhhh");
    int lines = 0;
    for (const auto& w : Out.LWords) {
        EXPECT_LE(w->Rect.Right, 100) << w->Text.toStdString();
        if (w->Rect.Left == 0) {
            ++lines;
            EXPECT_FALSE(w->Space) << "a line starts with a blank";
        }
    }
    EXPECT_GT(lines, 1);
    for (size_t i = 1; i < Out.LWords.size(); ++i)
        if (Out.LWords[i]->Rect.Left == 0) {
            EXPECT_FALSE(Out.LWords[i - 1]->Space) << "a line ends with a blank";
        }
}

TEST_F(Layout, ListItemsHangTheirWrappedLines) {
    Run("<li>one two three four five six seven eight<br>next");
    int wrappedAtMargin = 0;
    for (const auto& w : Out.LWords)
        if (w->TagID == tagText && w->Text != QStringLiteral("next")) {
            EXPECT_GE(w->Rect.Left, 20) << w->Text.toStdString();
            if (w->Rect.Left == 20) ++wrappedAtMargin;
        }
    EXPECT_GE(wrappedAtMargin, 2); // the first line and at least one wrapped line
    EXPECT_EQ(Word("next")->Rect.Left, 0);
    EXPECT_EQ(Out.LWords.front()->TagID, tagListItem);
}

TEST_F(Layout, RightAlignedTextEndsAtTheTabStop) {
    Lb.Width = 300;
    Run("<r>Total:</r><t:150>9");
    EXPECT_EQ(Word("Total:")->Rect.Right, 150);
    EXPECT_EQ(Word("9")->Rect.Left, 150);
}

TEST_F(Layout, CentredTextMovesByHalfTheFreeSpace) {
    Run("<c>Title</c>");
    const int w = Measure("Title").cx;
    EXPECT_EQ(Word("Title")->Rect.Left, (100 - w) / 2);
}

TEST_F(Layout, RulesSpanTheAreaOrEndBeforeItsEdge) {
    Run("<hr>x<br><hr:-10><br><hr:40>");
    std::vector<const THqHWord*> rules;
    for (const auto& w : Out.LWords)
        if (w->TagID == tagHorizontalLine) rules.push_back(w.get());
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules[0]->Rect.Left, 0);
    EXPECT_EQ(rules[0]->Rect.Right, 100);
    EXPECT_EQ(rules[1]->Rect.Right, 90);
    EXPECT_EQ(rules[2]->Rect.Right, 40);
    EXPECT_EQ(Word("x")->Rect.Left, 0); // a rule takes no room on its line
    Lb.InternalMargins.Enabled = true;
    Lb.InternalMargins.Right = 5;
    Run("<hr:-10>");
    EXPECT_EQ(Out.LWords.front()->Rect.Right, 87 - 10 + 8 - 5); // the area is 87 wide
}

TEST_F(Layout, HugeTagValuesGiveOrderedRectanglesAndNoOverflow) {
    Lb.InternalMargins.Enabled = true;
    const char* texts[] = {"<t:2147483647>x y z", "<tf:2147483647>x<br>y", "<hr:2147483647><hr:-2147483647>x",
                           "<fs:2147483647>x<br>y", "<li><t:2147483647>x"};
    for (const char* text : texts) {
        Run(text);
        for (const auto& w : Out.LWords)
            if (w->TagID == tagText) {
                EXPECT_LE(w->Rect.Left, w->Rect.Right) << text;
                EXPECT_LE(w->Rect.Top, w->Rect.Bottom) << text;
            }
        EXPECT_GE(Out.TextHeight, 0) << text;
    }
    Lb.InternalMargins.Enabled = false;
    Lb.AutoWidth = true; // no edge to wrap at
    Run("<t:2147483647>x");
    EXPECT_GT(Word("x")->Rect.Left, 1000000); // far right, still to the right of the start
    EXPECT_GE(Out.TextWidth, Word("x")->Rect.Left);
    Lb.AutoWidth = false;
    Run("<t:40>x<hr:60>");                    // in range: as given
    EXPECT_EQ(Word("x")->Rect.Left, 40);
    EXPECT_EQ(Out.LWords.back()->Rect.Right, 60);
}

TEST_F(Layout, LinksCarryTheirIndexAndCollectTheirText) {
    Run("<a:x>Read <b>more</b></a> after");
    ASSERT_EQ(Out.LLinkData.size(), 1u);
    EXPECT_EQ(Out.LLinkData[0]->Target, QStringLiteral("x"));
    EXPECT_EQ(Out.LLinkData[0]->Text, QStringLiteral("Read more"));
    for (const char* w : {"Read", " ", "more"}) EXPECT_EQ(Word(w)->LinkID, 0) << w;
    EXPECT_EQ(Word("after")->LinkID, -1);
    EXPECT_FALSE(Word("after")->Link);

    Run("<a:1>one <a:2>two</a></a>three");
    ASSERT_EQ(Out.LLinkData.size(), 2u);
    EXPECT_TRUE(Out.LLinkData[0]->Text.isEmpty()); // closed before it was closed: left empty
    EXPECT_EQ(Out.LLinkData[1]->Text, QStringLiteral("two"));
    EXPECT_EQ(Word("three")->LinkID, -1);
}

TEST_F(Layout, ImageMarkersTakeNoRoom) {
    Run("a<img:1>b");
    EXPECT_EQ(Word("b")->Rect.Left, Word("a")->Rect.Right);
    EXPECT_EQ(Out.LWords[1]->TagID, tagImage);
}

TEST_F(Layout, RandomMarkupLaysOutOnePiecePerTokenAtMost) {
    // Tags of every kind thrown together in any order and balance: the pass stays within the text,
    // places at most one piece per token and keeps every piece's group and link index valid.
    std::mt19937 rng(5);
    const char* parts[] = {"<b>", "</b>", "<sub>", "</sup>", "<sup>", "<h1>", "</h1>", "<h3>", "<li>", "<li2:-", "<t:30>",
                           "<tf:60>", "<r>", "<c>", "</c>", "<hr:-5>", "<a:x>", "</a>", "<fs:14>", "</fs>", "<img:1>",
                           "<lc:#F00>", "<ln>", "<bbc:1,2,3>", "<br>", " ", "word", "&amp;", "/", "<", ">", "longerword"};
    for (int round = 0; round < 50; ++round) {
        std::string text;
        const int n = int(rng() % 120);
        for (int i = 0; i < n; ++i) text += parts[rng() % std::size(parts)];
        Run(text.c_str());
        TListToken l;
        Tokenize(Lb.Text, l);
        ASSERT_LE(Out.LWords.size(), size_t(l.Count())) << text;
        for (const auto& w : Out.LWords) {
            ASSERT_GE(w->Group, 0);
            ASSERT_LT(w->LinkID, int(Out.LLinkData.size()));
        }
        ASSERT_GE(Out.TextHeight, 0) << text;
    }
}

TEST_F(Layout, SubscriptShrinksTheRunOnceAndClosingRestoresTheSize) {
    Run("a<sub>b c d</sub>e<sub>f");
    EXPECT_EQ(Word("a")->Font->Size(), 10);
    for (const char* w : {"b", "c", "d", "f"}) EXPECT_EQ(Word(w)->Font->Size(), 8) << w; // size 10: less 2
    EXPECT_EQ(Word("e")->Font->Size(), 10);
    // Size 10 has no table offset; half the height of "1" in the smaller font moves the piece down.
    EXPECT_EQ(Word("b")->Rect.Bottom - Word("b")->Rect.Top, Measure("b", 8).cy + Measure("1", 8).cy / 2);
}
