#include "vcl/StyleFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vcl;

namespace {

const QByteArray Header = "tunewright-style 1\nname Test Dark\ndark yes\n";

TStyleFileData Parse(const QByteArray& Text, const QString& Folder = QString()) {
    return ParseStyleText(Text, QStringLiteral("t.style"), Folder);
}

TEST(StyleFile, ReadsEveryStatement) {
    const TStyleFileData d = Parse("\xEF\xBB\xBF# a comment\r\n"
                                   "tunewright-style 1\r\n"
                                   "name   Charcoal Dark Slate  \n"
                                   "author Someone\n"
                                   "dark no\n"
                                   "\n"
                                   "system clBtnFace #102030\n"
                                   "color scWindow #A0B0C0\n"
                                   "font sfButtonTextHot #010203\n"
                                   "element teButton 1 2 fill #FF0000 border #00FF00 glyph #0000FF text #123456\n"
                                   "element teEdit * * fill #000001\n");
    EXPECT_EQ(d.Name, QStringLiteral("Charcoal Dark Slate"));
    EXPECT_EQ(d.Author, QStringLiteral("Someone"));
    EXPECT_FALSE(d.Dark);
    // #RRGGBB reads into the class library's BGR order.
    EXPECT_EQ(d.SystemColors.at(COLOR_BTNFACE), TColor(0x302010));
    EXPECT_EQ(d.StyleColors.at(scWindow), TColor(0xC0B0A0));
    EXPECT_EQ(d.FontColors.at(sfButtonTextHot), TColor(0x030201));
    ASSERT_EQ(d.Elements.size(), 2u);
    const TStyleElementLook* look = d.Find(teButton, 1, 2);
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(look->Fill, TColor(0x0000FF));
    EXPECT_EQ(look->Border, TColor(0x00FF00));
    EXPECT_EQ(look->Glyph, TColor(0xFF0000));
    EXPECT_EQ(look->Text, TColor(0x563412));
    EXPECT_EQ(d.Find(teEdit, 3, 5)->Fill, TColor(0x010000));
    EXPECT_EQ(d.Find(teButton, 1, 3), nullptr);
}

TEST(StyleFile, StateWinsOverPartWinsOverElement) {
    // The order of the lines does not matter.
    for (const QByteArray& lines : {QByteArray("element teButton * * fill #000001\n"
                                              "element teButton 1 2 fill #000003\n"
                                              "element teButton 1 * fill #000002\n"),
                                   QByteArray("element teButton 1 * fill #000002\n"
                                              "element teButton 1 2 fill #000003\n"
                                              "element teButton * * fill #000001\n")}) {
        const TStyleFileData d = Parse(Header + lines);
        EXPECT_EQ(d.Find(teButton, 1, 2)->Fill, TColor(0x030000));
        EXPECT_EQ(d.Find(teButton, 1, 4)->Fill, TColor(0x020000));
        EXPECT_EQ(d.Find(teButton, 3, 1)->Fill, TColor(0x010000));
        EXPECT_EQ(d.Find(teComboBox, 1, 1), nullptr);
    }
}

struct BadCase {
    const char* text;
    int line;
    const char* says;
};

TEST(StyleFile, RefusesEveryBadValueNamingItsLine) {
    const BadCase cases[] = {
        {"", 0, "not a style file"},
        {"# only a comment\n", 0, "not a style file"},
        {"tunewright-style 2\nname A\ndark no\n", 1, "version"},
        {"some other text\n", 1, "not a style file"},
        {"tunewright-style 1\ndark no\n", 0, "no name"},
        {"tunewright-style 1\nname A\n", 0, "dark"},
        {"tunewright-style 1\nname\ndark no\n", 2, "empty"},
        {"tunewright-style 1\nname A\nname B\ndark no\n", 3, "twice"},
        {"tunewright-style 1\nname A\ndark maybe\n", 3, "yes or no"},
        {"tunewright-style 1\nname A\ndark no\ndark no\n", 4, "twice"},
        {"tunewright-style 1\nname A\ndark no\nsystem clBtnFace #12345\n", 4, "not a colour"},
        {"tunewright-style 1\nname A\ndark no\nsystem clBtnFace #GG0000\n", 4, "not a colour"},
        {"tunewright-style 1\nname A\ndark no\nsystem clBtnFace 123456\n", 4, "not a colour"},
        {"tunewright-style 1\nname A\ndark no\nsystem clRed #123456\n", 4, "unknown system colour"},
        {"tunewright-style 1\nname A\ndark no\nsystem clBtnFace #000000\nsystem clBtnFace #000000\n", 5, "twice"},
        {"tunewright-style 1\nname A\ndark no\nsystem clBtnFace\n", 4, "needs"},
        {"tunewright-style 1\nname A\ndark no\ncolor scNothing #000000\n", 4, "unknown style colour"},
        {"tunewright-style 1\nname A\ndark no\nfont sfNothing #000000\n", 4, "unknown font colour"},
        {"tunewright-style 1\nname A\ndark no\ncolour scWindow #000000\n", 4, "unknown statement"},
        {"tunewright-style 1\nname A\ndark no\nelement teNothing 1 1 fill #000000\n", 4, "unknown element"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 0 1 fill #000000\n", 4, "part"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 65 fill #000000\n", 4, "state"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton * 2 fill #000000\n", 4, "needs a part"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 1\n", 4, "at least one"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 1 fill\n", 4, "at least one"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 1 fill #000000 text\n", 4, "no value"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 1 shade #000000\n", 4, "unknown element key"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 1 fill #000000 fill #000000\n", 4, "twice"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 1 fill #000000\nelement teButton 1 1 text #000000\n",
         5, "twice"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 1 image ../x.png\n", 4, "beside the style"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 1 image /etc/passwd\n", 4, "beside the style"},
        {"tunewright-style 1\nname A\ndark no\nelement teButton 1 1 image missing.png\n", 4, "does not exist"},
        {"tunewright-style 1\nname A\ndark no\nelement teMenu 11 * size 16\n", 4, "WxH"},
        {"tunewright-style 1\nname A\ndark no\nelement teMenu 11 * size 0x16\n", 4, "WxH"},
        {"tunewright-style 1\nname A\ndark no\nelement teMenu 11 * size 16x999\n", 4, "WxH"},
        {"tunewright-style 1\nname A\xff\ndark no\n", 2, "UTF-8"},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            Parse(c.text, QStringLiteral("/nonexistent"));
            ADD_FAILURE() << "accepted";
        } catch (const EStyleFileError& e) {
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.says))) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("t.style"))) << e.Message().toStdString();
            if (c.line) {
                EXPECT_TRUE(e.Message().contains(QStringLiteral("line %1:").arg(c.line)));
            }
        }
    }
}

TEST(StyleFile, WrittenFileReadsBackTheSame) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        QFile png(dir.filePath(QStringLiteral("face.png")));
        ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    }
    TStyleFileData d;
    d.Name = QStringLiteral("Auric Mod");
    d.Author = QStringLiteral("Ünïcode Author");
    d.Dark = true;
    d.Folder = dir.path();
    d.SystemColors = {{COLOR_WINDOW, TColor(0x010203)}, {COLOR_MENUBAR, TColor(0xABCDEF)}};
    d.StyleColors = {{scBorder, TColor(0x000001)}, {scWindow, TColor(0xFFFFFF)}};
    d.FontColors = {{sfButtonTextDisabled, TColor(0x808080)}, {sfWindowTextNormal, TColor(0x000000)}};
    d.Elements = {{teButton, 1, 2, {TColor(0x0000FF), clNone, TColor(0x00FF00), clNone, QStringLiteral("face.png")}},
                  {teTextLabel, 0, 0, {clNone, clNone, clNone, TColor(0x123456), {}}},
                  {teScrollBar, 4, 0, {TColor(0x111111), TColor(0x222222), clNone, clNone, {}}},
                  {teMenu, 16, 0, {clNone, clNone, clNone, clNone, {}, 9, 12}}};
    const QString file = dir.filePath(QStringLiteral("auric.style"));
    ASSERT_TRUE(WriteStyleFile(file, d));
    EXPECT_EQ(ReadStyleFile(file), d);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left behind
}

TEST(StyleFile, UnreadableOrHugeFileIsRefused) {
    QTemporaryDir dir;
    EXPECT_THROW(ReadStyleFile(dir.filePath(QStringLiteral("none.style"))), EStyleFileError);
    QFile big(dir.filePath(QStringLiteral("big.style")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(Header);
    big.resize(5 << 20);
    big.close();
    EXPECT_THROW(ReadStyleFile(big.fileName()), EStyleFileError);
}

TEST(StyleFile, ShippedStyleWithAnErrorOnAnyStatementLineIsRefusedNamingThatLine) {
    QFile f(qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_VCL_TEST_DIR "/../../..")) +
            QStringLiteral("/data/styles/Carbon.vsf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_GT(lines.size(), 600);
    EXPECT_NO_THROW(Parse(lines.join('\n')));
    int tried = 0;
    // Every tenth line: its last character made a letter no value takes (names and authors take any).
    for (qsizetype i = 0; i < lines.size(); i += 10) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#') || line.startsWith("name ") || line.startsWith("author ")) continue;
        QList<QByteArray> broken = lines;
        broken[i] = line.chopped(1) + 'G';
        try {
            Parse(broken.join('\n'));
            ADD_FAILURE() << "accepted with line " << i + 1 << " broken: " << broken[i].toStdString();
        } catch (const EStyleFileError& e) {
            EXPECT_EQ(e.Line(), i + 1) << e.Message().toStdString();
        }
        ++tried;
    }
    EXPECT_GT(tried, 50);
}

TEST(StyleFile, MenuGlyphsHaveTheGivenSizeOrTheMenuCheckSize) {
    TCustomStyle style(Parse(Header + "element teMenu 11 1 fill #000000 size 16x14\n"));
    struct Case {
        TThemedMenu Element;
        int Width, Height;
    };
    const int cx = GetSystemMetrics(SM_CXMENUCHECK), cy = GetSystemMetrics(SM_CYMENUCHECK);
    ASSERT_GT(cx, 0);
    for (const Case& c : {Case{tmPopupCheckNormal, 16, 14}, Case{tmPopupCheckDisabled, cx, cy}, Case{tmPopupBulletNormal, cx, cy},
                          Case{tmPopupBulletDisabled, cx, cy}, Case{tmPopupSubMenuNormal, cx, cy}, Case{tmPopupSubMenuDisabled, cx, cy}}) {
        TSize size{0, 0};
        EXPECT_TRUE(style.GetElementSize(nullptr, style.GetElementDetails(c.Element), esActual, size)) << c.Element;
        EXPECT_EQ(size.cx, c.Width) << c.Element;
        EXPECT_EQ(size.cy, c.Height) << c.Element;
    }
}

} // namespace
