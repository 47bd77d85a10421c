// tests/base/MemIniFileTest.cpp: the settings-file class, byte for byte.
#include <gtest/gtest.h>

#include "base/Container.h"

#include "tests/support/QtPrint.h"

#include <QFile>
#include <zlib.h>

#include "base/MemIniFile.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

using base::TKwpMemIniFile;

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

QStringList Items(const rtl::TStrings& L) {
    QStringList Out;
    for (int i = 0; i < L.Count(); ++i) Out << L[i];
    return Out;
}

void Fill(rtl::TStrings& L, const QStringList& Lines) {
    L.Clear();
    for (const QString& S : Lines) L.Add(S);
}

class IniFile : public ::testing::Test {
protected:
    testing_support::TempDir Dir;
    QString Name = Dir.QFile("test.ini");
};

TEST_F(IniFile, NewFileInUtf8HasBomCrLfAndAnEmptyLineAfterEachSection) {
    {
        TKwpMemIniFile Ini(Name, rtl::TEncoding::UTF8());
        Ini.WriteString("MAIN", "Name", QString::fromUtf16(u"Grüße"));
        Ini.WriteInteger("MAIN", "Count", -5);
        Ini.WriteBool("Other", "On", true);
        Ini.UpdateFile();
    }
    EXPECT_EQ(ReadFileBytes(Name), QByteArray("\xEF\xBB\xBF[MAIN]\r\nName=Gr\xC3\xBC\xC3\x9F"
                                        "e\r\nCount=-5\r\n\r\n[Other]\r\nOn=1\r\n\r\n"));
}

TEST_F(IniFile, LoadsLooseTextAndWritesItBackInTheStoreFormat) {
    WriteFileBytes(Name, QByteArray("stray=before\n  [ One ]  \r\n; comment\r\n b = 2 \rnovalue\n\n"
                              "[two]\na=1\nA=dup\n[ONE]\nc=3=x\n"));
    TKwpMemIniFile Ini(Name);
    EXPECT_EQ(Ini.ReadString("one", "B", "?"), "2");
    EXPECT_EQ(Ini.ReadString("TWO", "a", "?"), "1"); // the first of duplicate keys
    EXPECT_EQ(Ini.ReadString("One", "c", "?"), "3=x");
    EXPECT_TRUE(Ini.ValueExists("One", "novalue"));
    EXPECT_FALSE(Ini.ValueExists("One", "stray"));

    Ini.WriteString("One", "b", "changed"); // in place
    Ini.WriteString("two", "A", "first");   // the first duplicate
    Ini.WriteString("two", "new", "");      // appended to its section
    Ini.WriteString("Three", "k", "v");     // a new section goes last
    Ini.UpdateFile();
    // No BOM was found and the text is ASCII, so it stays without one.
    EXPECT_EQ(ReadFileBytes(Name), QByteArray("[One]\r\nb=changed\r\nnovalue=\r\nc=3=x\r\n\r\n"
                                        "[two]\r\na=first\r\nA=dup\r\nnew=\r\n\r\n[Three]\r\nk=v\r\n\r\n"));
}

TEST_F(IniFile, KeepsTheEncodingItFound) {
    WriteFileBytes(Name, QByteArray("[S]\r\nk=caf\xE9\r\n")); // Windows-1252
    {
        TKwpMemIniFile Ini(Name);
        EXPECT_EQ(Ini.ReadString("S", "k", ""), QString::fromUtf16(u"café"));
        Ini.WriteString("S", "k2", QString::fromUtf16(u"é"));
        Ini.UpdateFile();
    }
    EXPECT_EQ(ReadFileBytes(Name), QByteArray("[S]\r\nk=caf\xE9\r\nk2=\xE9\r\n\r\n"));

    WriteFileBytes(Name, QByteArray("\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\r\n"));
    {
        TKwpMemIniFile Ini(Name);
        EXPECT_EQ(Ini.ReadString("S", "k", ""), QString::fromUtf16(u"é"));
        Ini.UpdateFile();
    }
    EXPECT_EQ(ReadFileBytes(Name), QByteArray("\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\r\n\r\n"));
}

TEST_F(IniFile, NumbersBooleansCaseAndTheCurrentSection) {
    TKwpMemIniFile Ini(Name);
    Ini.WriteString("N", "hex", "0x1F");
    Ini.WriteString("N", "dollar", "$10");
    Ini.WriteString("N", "short", "0x");
    Ini.WriteString("N", "bad", "12a");
    EXPECT_EQ(Ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(Ini.ReadInteger("N", "dollar", 0), 16);
    EXPECT_EQ(Ini.ReadInteger("N", "short", 7), 7);
    EXPECT_EQ(Ini.ReadInteger("N", "bad", 7), 7);
    EXPECT_TRUE(Ini.ReadBool("N", "hex", false));
    EXPECT_TRUE(Ini.ReadBool("N", "missing", true));

    EXPECT_FALSE(Ini.CaseSensitive());
    Ini.SetCaseSensitive(true);
    EXPECT_EQ(Ini.ReadString("n", "HEX", "none"), "none");
    EXPECT_EQ(Ini.ReadString("N", "hex", "none"), "0x1F");
    Ini.SetCaseSensitive(false);
    EXPECT_EQ(Ini.ReadString("n", "HEX", "none"), "0x1F");

    Ini.SetCurrentSection("   ");
    EXPECT_EQ(Ini.CurrentSection(), "MAIN");
    Ini.WriteInteger("Width", 640);
    EXPECT_EQ(Ini.ReadString("MAIN", "Width", ""), "640");
    Ini.SetCurrentSection(" Other ");
    EXPECT_EQ(Ini.CurrentSection(), " Other ");
    Ini.WriteBool("Flag", false);
    EXPECT_FALSE(Ini.ReadBool("Flag", true));

    rtl::TStringList Keys;
    Keys.Add("stale");
    Ini.ReadSectionKeyNames("N", &Keys);
    EXPECT_EQ(Items(Keys), (QStringList{"hex", "dollar", "short", "bad"}));
}

TEST_F(IniFile, UpdateOnExitWritesAndOtherwiseChangesAreLost) {
    { TKwpMemIniFile(Name, nullptr, false).WriteString("S", "k", "v"); }
    EXPECT_FALSE(QFile::exists(Name));
    {
        TKwpMemIniFile Ini(Name, nullptr, true);
        Ini.WriteString("S", "k", "v");
    }
    EXPECT_EQ(ReadFileBytes(Name), QByteArray("[S]\r\nk=v\r\n\r\n"));
    // A write that fails in the destructor must not take the program down.
    { TKwpMemIniFile(Dir.QFile("no/such/folder.ini"), nullptr, true).WriteString("S", "k", "v"); }
}

TEST_F(IniFile, BoundStringsKeepTheirOuterSpaces) {
    {
        TKwpMemIniFile Ini(Name);
        Ini.WriteString("S", "plain", "  x  ");
        Ini.WriteBoundString("S", "bound", "  x  ");
        rtl::TStringList L;
        Fill(L, {"a", " b ", ""});
        Ini.WriteStrings("X", &L, 200, false);
        Ini.UpdateFile();
    }
    EXPECT_EQ(ReadFileBytes(Name), QByteArray("[S]\r\nplain=  x  \r\nbound=[  x  ]\r\n\r\n"
                                        "[X]\r\nLine_001=[a]\r\nLine_002=[ b ]\r\nLine_003=[]\r\n\r\n"));
    TKwpMemIniFile Ini(Name);
    EXPECT_EQ(Ini.ReadString("S", "plain", ""), "x"); // the loader trims the whole line
    rtl::TStringList L;
    Ini.ReadStrings("X", &L, false);
    EXPECT_EQ(Items(L), (QStringList{"a", " b ", ""}));
    Ini.ReadStrings("S", &L, false); // every key, whatever its name
    EXPECT_EQ(Items(L), (QStringList{"x", "  x  "}));
    Fill(L, {"kept"});
    Ini.ReadStrings("Missing", &L, false);
    EXPECT_EQ(Items(L), QStringList{"kept"});
}

TEST_F(IniFile, LineListsStopAtTheLimitAndNumberPast999) {
    TKwpMemIniFile Ini(Name);
    rtl::TStringList L;
    for (int i = 1; i <= 1000; ++i) L.Add(QString::number(i));
    Ini.WriteStrings("X", &L, 2, false);
    rtl::TStringList Keys;
    Ini.ReadSection("X", &Keys);
    EXPECT_EQ(Items(Keys), (QStringList{"Line_001", "Line_002"}));
    Ini.WriteStrings("X", &L, 0, false);
    Ini.ReadSection("X", &Keys);
    ASSERT_EQ(Keys.Count(), 1000);
    EXPECT_EQ(Keys[998], "Line_999");
    EXPECT_EQ(Keys[999], "Line_1000");
    Fill(L, {});
    Ini.WriteStrings("X", &L, 200, false); // the old lines go, nothing is written
    EXPECT_FALSE(Ini.ValueExists("X", "Line_001"));
}

// Text whose zlib stream (default level) is exactly Size bytes.
QStringList TextCompressingTo(uLong Size) {
    QStringList Lines;
    uint32_t Seed = 7;
    for (;;) {
        Seed = Seed * 1103515245u + 12345u;
        Lines << QString::number(Seed % 100000, 36);
        QByteArray Text;
        for (const QString& L : Lines) Text += L.toLatin1() + "\r\n";
        uLongf Out = compressBound(uLong(Text.size()));
        QByteArray Buf(qsizetype(Out), 0);
        compress2(reinterpret_cast<Bytef*>(Buf.data()), &Out, reinterpret_cast<const Bytef*>(Text.data()),
                  uLong(Text.size()), Z_DEFAULT_COMPRESSION);
        if (Out == Size) return Lines;
        if (Out > Size) Lines.clear();
    }
}

TEST_F(IniFile, A128ByteStreamFillsExactlyTwoKeys) {
    TKwpMemIniFile Ini(Name);
    rtl::TStringList L;
    const QStringList Text = TextCompressingTo(128);
    Fill(L, Text);
    Ini.WriteStrings("C", &L, 0, true);
    rtl::TStringList Lines;
    Ini.ReadSection("C", &Lines);
    EXPECT_EQ(Items(Lines), (QStringList{"CBUF_001", "CBUF_002"}));
    EXPECT_EQ(Ini.ReadString("C", "CBUF_001", "").size(), 128);
    EXPECT_EQ(Ini.ReadString("C", "CBUF_002", "").size(), 128);
    EXPECT_EQ(Ini.ReadString("C", "CBUF_002", ""), Ini.ReadString("C", "CBUF_002", "").toUpper());

    rtl::TStringList Back;
    Ini.ReadStrings("C", &Back, true);
    EXPECT_EQ(Items(Back), Text);
    // Lower-case digits read the same.
    Ini.WriteString("C", "CBUF_001", Ini.ReadString("C", "CBUF_001", "").toLower());
    Ini.ReadStrings("C", &Back, true);
    EXPECT_EQ(Items(Back), Text);
    // The key prefix is matched with its case: "cbuf_" keys are not the compressed list.
    Ini.WriteString("D", "cbuf_001", Ini.ReadString("C", "CBUF_001", ""));
    Ini.WriteString("D", "cbuf_002", Ini.ReadString("C", "CBUF_002", ""));
    Fill(Back, {"old"});
    Ini.ReadStrings("D", &Back, true);
    EXPECT_EQ(Back.Count(), 0);
}

TEST_F(IniFile, CompressedListsInflateWithPythonAndTheOtherWayRound) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import zlib");
    const QStringList Text{QString::fromUtf16(u"Café ünd €"), "", "  spaced  ", "last"};
    rtl::TStringList L;
    Fill(L, Text);
    QString Ours;
    {
        TKwpMemIniFile Ini(Name);
        Ini.WriteStrings("C", &L, 0, true);
        rtl::TStringList Keys;
        Ini.ReadSection("C", &Keys);
        for (int i = 0; i < Keys.Count(); ++i) Ours += Ini.ReadString("C", Keys[i], "");
    }
    const char* Script = R"(
import sys, zlib
data = zlib.decompress(bytes.fromhex(sys.argv[1]))
sys.stdout.write(data.decode('cp1252').replace('\r\n', '|') + '\n')
packed = zlib.compress('Ünï\r\ncode\r\n\r\n'.encode('cp1252'), 9).hex()
sys.stdout.write(' '.join(packed[i:i + 128] for i in range(0, len(packed), 128)) + '\n')
)";
    const auto Run = testing_support::RunProgram("/usr/bin/python3", {"-c", Script, Ours});
    ASSERT_TRUE(Run.Ok()) << Run.Describe();
    const QStringList Out = QString::fromUtf8(Run.Out).split(u'\n');
    EXPECT_EQ(Out[0], Text.join(u'|') + u'|');

    TKwpMemIniFile Ini(Name);
    const QStringList Chunks = Out[1].split(u' ');
    for (int i = 0; i < Chunks.size(); ++i)
        Ini.WriteString("P", QStringLiteral("CBUF_%1").arg(i + 1, 3, 10, QChar(u'0')), Chunks[i]);
    Ini.WriteString("P", "other", "ignored");
    rtl::TStringList Back;
    Ini.ReadStrings("P", &Back, true);
    EXPECT_EQ(Items(Back), (QStringList{QString::fromUtf16(u"Ünï"), "code", ""}));
}

TEST_F(IniFile, DamagedCompressedListsFailCleanly) {
    TKwpMemIniFile Ini(Name);
    rtl::TStringList L;
    Fill(L, {"one", "two", "three"});
    Ini.WriteStrings("C", &L, 0, true);
    const QString Good = Ini.ReadString("C", "CBUF_001", "");

    rtl::TStringList Back;
    Fill(Back, {"old"});
    Ini.WriteString("C", "CBUF_001", Good.left(Good.size() - 6)); // cut short
    // Either spelling of the error catches it, with zlib's code.
    try {
        Ini.ReadStrings("C", &Back, true);
        ADD_FAILURE() << "no error";
    } catch (const base::EZDecompressionError& E) {
        EXPECT_EQ(E.ErrorCode(), Z_BUF_ERROR);
    }
    EXPECT_THROW(Ini.ReadStrings("C", &Back, true), rtl::EZDecompressionError);
    EXPECT_EQ(Back.Count(), 0);

    QString Flipped = Good;
    Flipped[10] = Flipped[10] == u'0' ? u'1' : u'0'; // corrupt deflate data
    Ini.WriteString("C", "CBUF_001", Flipped);
    Fill(Back, {"old"});
    try {
        Ini.ReadStrings("C", &Back, true);
    } catch (const rtl::EZDecompressionError&) {
    }
    EXPECT_TRUE(Back.Count() == 0 || Back.Count() == 3); // a damaged check word is still caught

    Ini.WriteString("C", "CBUF_001", "78ZZ"); // not hexadecimal: empty, no error
    Fill(Back, {"old"});
    EXPECT_NO_THROW(Ini.ReadStrings("C", &Back, true));
    EXPECT_EQ(Back.Count(), 0);

    Ini.WriteString("C", "CBUF_001", "");
    Fill(Back, {"old"});
    Ini.ReadStrings("C", &Back, true);
    EXPECT_EQ(Back.Count(), 0);
}

} // namespace
