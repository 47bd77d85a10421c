// The language files of the language folder and the language chosen at start-up: which files are
// listed, lookups by native and file name, the identifier table, and the settings file or the
// system's language deciding what is loaded.
#include "app/shell/LangIniList.h"

#include <gtest/gtest.h>

#include <QDir>

#include "app/shell/AppStrings.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"

namespace {

using shell::String;
using testing_support::TempDir;

QByteArray LangFile(const char* English, const char* Native, const char* Convert) {
    return QByteArray("[INFO]\r\nLangName_InEnglish=") + English + "\r\nLangName_Native=" + Native + "\r\n[MAIN]\r\nactConvert=" +
           Convert + "\r\n";
}

TEST(LangIniList, ListsTheFilesThatNameTheirLanguage) {
    TempDir dir;
    dir.Write(QStringLiteral("German.ini"), LangFile("German", "Deutsch", "Konvertieren"));
    dir.Write(QStringLiteral("Polish.ini"), LangFile("Polish", "Polski", "Konwertuj"));
    dir.Write(QStringLiteral("Empty.ini"), "[INFO]\r\nLangName_InEnglish=\r\n");
    dir.Write(QStringLiteral("NoInfo.ini"), "[MAIN]\r\nactConvert=x\r\n");
    dir.Write(QStringLiteral("Notes.txt"), LangFile("Notes", "Notes", "x"));
    QDir().mkpath(dir.QFile(QStringLiteral("sub")));
    dir.Write(QStringLiteral("sub/Czech.ini"), LangFile("Czech", "Čeština", "Převést"));

    shell::TLangIniList list;
    list.SectionWithDisplayName = QStringLiteral("INFO");
    list.DisplayNameID = QStringLiteral("LangName_InEnglish");
    list.AddIniFilesFromDir(dir.QPath(), QStringLiteral(".ini"));
    QStringList names;
    for (int i = 0; i < list.Count(); ++i) names << list.GetItem(i)->DisplayName;
    names.sort();
    EXPECT_EQ(names, QStringList({"German", "Polish"}));

    shell::TLangIniListItem* german = list.GetItemByNativeName(QStringLiteral("  DEUTSCH "));
    ASSERT_NE(german, nullptr);
    EXPECT_EQ(german->FileName, dir.QFile(QStringLiteral("German.ini")));
    EXPECT_EQ(german->LangName_InEnglish, QStringLiteral("German"));
    EXPECT_EQ(list.GetItemByShortFileName(QStringLiteral("polish.INI"))->LangName_Native, QStringLiteral("Polski"));
    EXPECT_EQ(list.GetItemByNativeName(QStringLiteral("Čeština")), nullptr) << "subfolders are not searched";
    EXPECT_EQ(list.GetItemByShortFileName(QStringLiteral("Notes.txt")), nullptr);

    list.AddIniFilesFromDir(dir.QFile(QStringLiteral("missing")), QStringLiteral("ini"));
    EXPECT_EQ(list.Count(), 2);
}

TEST(LangIniList, LanguageIdentifiersNameTheirFiles) {
    const std::pair<uint32_t, const char*> cases[] = {
        {0x0407, "German.ini"},        {0x0816, "Portuguese_BR.ini"}, {0x0416, "Portuguese_BR.ini"},
        {0x0409, "English.ini"},       {0x0423, "Belarusian.ini"},    {0x042A, "Vietnamese.ini"},
        {0x0417, "English.ini"},       {0x10000, "English.ini"},      {0x0000, "English.ini"},
        {0x0804, "Chinese.ini"},
    };
    for (auto [lcid, file] : cases)
        EXPECT_EQ(shell::LanguageFileOfLangId(shell::PrimaryLangIdOf(lcid)), QString::fromLatin1(file)) << std::hex << lcid;
    EXPECT_EQ(shell::PrimaryLangIdOf(0x10000), 9);
}

class InitLang : public ::testing::Test {
protected:
    void SetUp() override {
        Params.LangDir = Dir.QFile(QStringLiteral("lang"));
        QDir().mkpath(Params.LangDir);
        Dir.Write(QStringLiteral("lang/German.ini"), LangFile("German", "Deutsch", "Konvertieren"));
        Params.IniName = Dir.QFile(QStringLiteral("settings.ini"));
        Params.LanguageIni = QStringLiteral("kept.ini");
    }
    TempDir Dir;
    engine::TAppParams Params;
    shell::TAppStrings Strings;
    const String English = shell::TAppStrings().Main.actConvert;
};

TEST_F(InitLang, TheSystemsLanguageIsTakenWhenItsFileExists) {
    shell::InitLang(Params, Strings, true, 0x0407);
    EXPECT_EQ(Params.LanguageIni, QStringLiteral("German.ini"));
    EXPECT_EQ(Strings.Main.actConvert, QStringLiteral("Konvertieren"));
    ASSERT_NE(shell::LangIniList, nullptr);
    EXPECT_EQ(shell::LangIniList->Count(), 1);

    shell::TAppStrings french;
    Params.LanguageIni = QStringLiteral("kept.ini");
    shell::InitLang(Params, french, true, 0x040C);
    EXPECT_EQ(Params.LanguageIni, QStringLiteral("kept.ini")) << "no French file: the name stays";
    EXPECT_EQ(french.Main.actConvert, English);
}

TEST_F(InitLang, OtherwiseTheSettingsFileNamesIt) {
    Dir.Write(QStringLiteral("settings.ini"), "[MAIN]\r\nLanguageIni=German.ini\r\n");
    shell::InitLang(Params, Strings, false, 0x0415);
    EXPECT_EQ(Params.LanguageIni, QStringLiteral("German.ini"));
    EXPECT_EQ(Strings.Main.actConvert, QStringLiteral("Konvertieren"));

    shell::TAppStrings none;
    Dir.Write(QStringLiteral("settings.ini"), "[MAIN]\r\nWidth=800\r\n");
    shell::InitLang(Params, none, false, 0x0407);
    EXPECT_EQ(Params.LanguageIni, String()) << "the settings file names none";
    EXPECT_EQ(none.Main.actConvert, English);
}

} // namespace
