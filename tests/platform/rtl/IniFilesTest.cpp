#include "rtl/IniFiles.h"

#include "rtl/Files.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace rtl;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

QStringList Lines(TStrings& list) {
    QStringList out;
    for (int i = 0; i < list.Count(); ++i) out << list.Strings(i);
    return out;
}

// A file that exercises every loading rule: BOM, mixed line ends, blanks around everything, comments,
// text before the first section, a continued section, duplicate keys, a key without '='.
const QByteArray kMessy =
    "\xEF\xBB\xBF"
    "orphan=dropped\r\n"
    "  [ Main ]  \r\n"
    "; a comment\n"
    "Width = 640\r"
    "\r\n"
    "Title=  caf\xC3\xA9  \r\n"
    "flag\n"
    "[Other]\n"
    "k=1\n"
    "[main]\n"
    "Width=800\n"
    "Empty=\n";

} // namespace

TEST(MemIniFile, LoadsByTheClassLibrarysRules) {
    TempDir dir;
    TMemIniFile ini(dir.Write(QStringLiteral("s.ini"), kMessy));
    EXPECT_EQ(ini.Encoding(), TEncoding::UTF8());
    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(Lines(list), (QStringList{"Main", "Other"}));
    ini.ReadSection(QStringLiteral("MAIN"), &list);
    EXPECT_EQ(Lines(list), (QStringList{"Width", "Title", "flag", "Width", "Empty"}));
    ini.ReadSectionValues(QStringLiteral("main"), &list);
    EXPECT_EQ(Lines(list), (QStringList{"Width=640", QString::fromUtf8("Title=caf\xC3\xA9"), "flag=", "Width=800", "Empty="}));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("width"), 0), 640);   // the first duplicate
    EXPECT_EQ(ini.ReadString(QStringLiteral("Main"), QStringLiteral("Empty"), QStringLiteral("d")), QString());
    EXPECT_EQ(ini.ReadString(QStringLiteral("Main"), QStringLiteral("orphan"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("main"), QStringLiteral("FLAG")));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Nowhere")));
}

TEST(MemIniFile, WritesByteExactlyWithChangesInPlaceAndAppended) {
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("s.ini"), kMessy);
    TMemIniFile ini(name);
    ini.WriteString(QStringLiteral("MAIN"), QStringLiteral("WIDTH"), QStringLiteral("1024"));   // first duplicate, in place
    ini.WriteInteger(QStringLiteral("Other"), QStringLiteral("new"), -5);
    ini.WriteBool(QStringLiteral("Added"), QStringLiteral("On"), true);
    ini.DeleteKey(QStringLiteral("main"), QStringLiteral("flag"));
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(name), QByteArray("\xEF\xBB\xBF"
                                              "[Main]\r\nWidth=1024\r\nTitle=caf\xC3\xA9\r\nWidth=800\r\nEmpty=\r\n\r\n"
                                              "[Other]\r\nk=1\r\nnew=-5\r\n\r\n"
                                              "[Added]\r\nOn=1\r\n\r\n"));
}

struct SaveCase {
    const char* name;
    TEncoding* (*encoding)();        // nullptr: none given
    QByteArray expected;
};

class SaveEncoding : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveEncoding, WritesThePreambleAndTheText) {
    const auto& c = GetParam();
    TempDir dir;
    const QString name = dir.QFile(QStringLiteral("new.ini"));
    TMemIniFile ini(name, c.encoding ? c.encoding() : nullptr);
    ini.WriteString(QStringLiteral("S"), QStringLiteral("k"), QString::fromUtf8("\xC3\xA9"));
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(name), c.expected);
    TMemIniFile back(name);                                   // read back by detection
    EXPECT_EQ(back.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()), QString::fromUtf8("\xC3\xA9"));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, SaveEncoding,
    ::testing::Values(
        SaveCase{"None", nullptr, QByteArray("[S]\r\nk=\xE9\r\n\r\n")},
        SaveCase{"Utf8", &TEncoding::UTF8, QByteArray("\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\r\n\r\n")},
        SaveCase{"Utf8NoBom", &TEncoding::UTF8NoBOM, QByteArray("[S]\r\nk=\xC3\xA9\r\n\r\n")},
        SaveCase{"Unicode", &TEncoding::Unicode,
                 QByteArray("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0\r\0\n\0", 26)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MemIniFile, KeepsTheEncodingItFoundWithoutABom) {
    TempDir dir;
    const QString utf8 = dir.Write(QStringLiteral("u.ini"), "[S]\nk=caf\xC3\xA9\n");
    const QString ansi = dir.Write(QStringLiteral("a.ini"), "[S]\nk=caf\xE9\n");
    TMemIniFile u(utf8), a(ansi);
    EXPECT_EQ(u.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()), QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_EQ(a.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()), QString::fromUtf8("caf\xC3\xA9"));
    u.UpdateFile();
    a.UpdateFile();
    EXPECT_EQ(ReadFileBytes(utf8), QByteArray("[S]\r\nk=caf\xC3\xA9\r\n\r\n"));   // no BOM added
    EXPECT_EQ(ReadFileBytes(ansi), QByteArray("[S]\r\nk=caf\xE9\r\n\r\n"));
}

TEST(MemIniFile, AGivenEncodingSkipsOnlyItsOwnBom) {
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("s.ini"), "\xEF\xBB\xBF[S]\nk=v\n");
    TMemIniFile ansi(name, TEncoding::ANSI());               // the BOM is text here, on the first line
    TStringList sections;
    ansi.ReadSections(&sections);
    EXPECT_EQ(sections.Count(), 0);
    TMemIniFile utf8(name, TEncoding::UTF8());
    EXPECT_EQ(utf8.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()), QStringLiteral("v"));
}

struct IntegerCase {
    const char* text;
    int expected;
};

class ReadInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ReadInteger, ReadsHexAfter0xOrDollarAndFallsBackToTheDefault) {
    TMemIniFile ini{QString()};
    ini.WriteString(QStringLiteral("S"), QStringLiteral("k"), QString::fromUtf8(GetParam().text));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("k"), 99), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ReadInteger,
                         ::testing::Values(IntegerCase{"42", 42}, IntegerCase{"-7", -7}, IntegerCase{"0x1F", 31},
                                           IntegerCase{"0X10", 16}, IntegerCase{"0x", 99}, IntegerCase{"$1f", 31},
                                           IntegerCase{"12a", 99}, IntegerCase{"", 99},
                                           IntegerCase{"99999999999", 99}));

TEST(MemIniFile, ReadBoolIsAnyNonZeroInteger) {
    TMemIniFile ini{QString()};
    ini.WriteString(QStringLiteral("S"), QStringLiteral("two"), QStringLiteral("2"));
    ini.WriteString(QStringLiteral("S"), QStringLiteral("zero"), QStringLiteral("0"));
    ini.WriteString(QStringLiteral("S"), QStringLiteral("text"), QStringLiteral("yes"));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("two"), false));
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("zero"), true));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("text"), true));
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("missing"), false));
    ini.WriteBool(QStringLiteral("S"), QStringLiteral("b"), false);
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("b"), QString()), QStringLiteral("0"));
}

TEST(MemIniFile, FloatsAndDatesRoundTripAndBadTextGivesTheDefault) {
    TMemIniFile ini{QString()};
    ini.WriteFloat(QStringLiteral("S"), QStringLiteral("f"), 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(QStringLiteral("S"), QStringLiteral("f"), 0), 2.5);
    ini.WriteDate(QStringLiteral("S"), QStringLiteral("d"), 44362.0);
    EXPECT_DOUBLE_EQ(ini.ReadDate(QStringLiteral("S"), QStringLiteral("d"), 0), 44362.0);
    ini.WriteString(QStringLiteral("S"), QStringLiteral("bad"), QStringLiteral("x1"));
    EXPECT_DOUBLE_EQ(ini.ReadFloat(QStringLiteral("S"), QStringLiteral("bad"), 7.5), 7.5);
    EXPECT_DOUBLE_EQ(ini.ReadDateTime(QStringLiteral("S"), QStringLiteral("bad"), 3.0), 3.0);
}

TEST(MemIniFile, IgnoresCaseByLocaleUnlessCaseSensitive) {
    TMemIniFile ini{QString()};
    ini.WriteString(QString::fromUtf8("\xC3\x9C" "ber"), QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e"), QStringLiteral("1"));
    EXPECT_EQ(ini.ReadString(QString::fromUtf8("\xC3\xBC" "BER"), QString::fromUtf8("GR\xC3\x96\xC3\x9F" "E"), QString()),
              QStringLiteral("1"));
    ini.SetCaseSensitive(true);
    EXPECT_EQ(ini.ReadString(QString::fromUtf8("\xC3\xBC" "ber"), QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e"), QStringLiteral("d")),
              QStringLiteral("d"));
    ini.WriteString(QString::fromUtf8("\xC3\xBC" "ber"), QStringLiteral("k"), QStringLiteral("2"));
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.Count(), 2);
}

TEST(MemIniFile, EraseSectionAndEmptySections) {
    TempDir dir;
    TMemIniFile ini(dir.Write(QStringLiteral("s.ini"), "[A]\nk=1\n[Empty]\n[B]\nk=2\n"));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Empty")));   // no keys: the class library says it is absent
    ini.EraseSection(QStringLiteral("a"));
    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(Lines(list), (QStringList{"Empty", "B"}));
    ini.GetStrings(&list);
    EXPECT_EQ(Lines(list), (QStringList{"[Empty]", "", "[B]", "k=2", ""}));
}

TEST(MemIniFile, SetStringsParsesAndRenameReloads) {
    TempDir dir;
    TMemIniFile ini{QString()};
    TStringList text;
    text.SetText(QStringLiteral("[X]\r\n a = b \r\n;c=d\r\n"));
    ini.SetStrings(&text);
    EXPECT_EQ(ini.ReadString(QStringLiteral("x"), QStringLiteral("A"), QString()), QStringLiteral("b"));
    const QString other = dir.Write(QStringLiteral("o.ini"), "[Y]\nz=9\n");
    ini.Rename(other, false);
    EXPECT_EQ(ini.FileName(), other);
    EXPECT_TRUE(ini.SectionExists(QStringLiteral("X")));
    ini.Rename(other, true);
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("X")));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Y"), QStringLiteral("z"), 0), 9);
    ini.Clear();
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Y")));
}

TEST(MemIniFile, UpdateFileReplacesThroughATemporaryFileAndKeepsThePermissions) {
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("s.ini"), "[A]\nk=1\n");
    ASSERT_EQ(::chmod(name.toLocal8Bit().constData(), 0640), 0);
    const QString link = dir.QFile(QStringLiteral("link.ini"));
    ASSERT_EQ(::symlink("s.ini", link.toLocal8Bit().constData()), 0);
    TMemIniFile ini(link);
    ini.WriteString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("2"));
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(name), QByteArray("[A]\r\nk=2\r\n\r\n"));   // the link's target got the text
    struct stat st {};
    ASSERT_EQ(::lstat(link.toLocal8Bit().constData(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(name.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);   // nothing left over
}

TEST(MemIniFile, AFailedWriteRaisesAndLeavesTheOldFile) {
    TempDir dir;
    TMemIniFile missingFolder(dir.QFile(QStringLiteral("no/such/s.ini")));
    missingFolder.WriteString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("1"));
    EXPECT_THROW(missingFolder.UpdateFile(), EFCreateError);

    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    const QString sub = dir.QFile(QStringLiteral("ro"));
    ASSERT_TRUE(ForceDirectories(sub));
    const QString name = dir.Write(QStringLiteral("ro/s.ini"), "old");
    TMemIniFile ini(name);
    ini.WriteString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("1"));
    ASSERT_EQ(::chmod(sub.toLocal8Bit().constData(), 0555), 0);
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    ::chmod(sub.toLocal8Bit().constData(), 0755);
    EXPECT_EQ(ReadFileBytes(name), QByteArray("old"));
}

TEST(MemIniFile, AMissingFileIsAnEmptyStoreAndAFolderCannotBeRead) {
    TempDir dir;
    TMemIniFile ini(dir.QFile(QStringLiteral("none.ini")));
    EXPECT_EQ(ini.Encoding(), nullptr);
    EXPECT_EQ(ini.ReadString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("d"));
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(dir.QFile(QStringLiteral("none.ini"))), QByteArray());
}

TEST(IniFile, ReadsAndWritesTheFileOnEveryCall) {
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("settings.ini"),
                                   "\xEF\xBB\xBF[PROGRESS]\r\nWidth=700\r\nCloseAfterConversion=2\r\n");
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("PROGRESS"), QStringLiteral("Width"), 0), 700);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("PROGRESS"), QStringLiteral("CloseAfterConversion"), false));

    TMemIniFile other(name);                                  // another writer changes the file
    other.WriteInteger(QStringLiteral("PROGRESS"), QStringLiteral("Width"), 720);
    other.UpdateFile();
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("PROGRESS"), QStringLiteral("Width"), 0), 720);

    ini.WriteString(QStringLiteral("PROGRESS"), QStringLiteral("Height"), QStringLiteral("300"));
    EXPECT_EQ(ReadFileBytes(name), QByteArray("\xEF\xBB\xBF[PROGRESS]\r\nWidth=720\r\nCloseAfterConversion=2\r\n"
                                              "Height=300\r\n\r\n"));
    ini.DeleteKey(QStringLiteral("PROGRESS"), QStringLiteral("Width"));
    ini.EraseSection(QStringLiteral("Nothing"));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("PROGRESS"), QStringLiteral("Width")));
    TStringList keys;
    ini.ReadSection(QStringLiteral("progress"), &keys);
    EXPECT_EQ(Lines(keys), (QStringList{"CloseAfterConversion", "Height"}));

    TIniFile fresh(dir.QFile(QStringLiteral("fresh.ini")));
    fresh.EraseSection(QStringLiteral("X"));                  // nothing to erase: no file is made
    EXPECT_FALSE(FileExists(dir.QFile(QStringLiteral("fresh.ini"))));
}
