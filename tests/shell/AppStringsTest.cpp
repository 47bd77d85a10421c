// Language strings: the built-in English texts, language files in their encodings, FormatLangStr.
#include "app/shell/AppStrings.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include "tests/support/TempDir.h"

namespace {

using shell::FormatLangStr;
using shell::TAppStrings;
using testing_support::TempDir;

TEST(BuiltInTexts, EveryTextIsThereOnceWithItsKey) {
    TAppStrings s;
    QSet<QString> keys;
    QStringList empty;
    int count = 0;
    s.ForEachText([&](const QString& Section, const QString& Key, QString& Value) {
        ++count;
        EXPECT_FALSE(keys.contains(Section + u'/' + Key)) << Key.toStdString();
        keys.insert(Section + u'/' + Key);
        if (Value.isEmpty()) empty << Section + u'/' + Key;
    });
    EXPECT_EQ(count, 301); // 300 texts and the language name
    EXPECT_EQ(empty, (QStringList{"MAIN/btnStayOnTop", "MAIN/gbOutputDir", "MAIN/rbOutDirIsInDir",
                                  "DirectoryList/colActive"}));
    EXPECT_EQ(s.LanguageName, "English");
    EXPECT_EQ(s.Main.Ready, "Ready");
    EXPECT_EQ(s.Main.actExploreDirectory, "Open directory \"%s\"");
    EXPECT_EQ(s.Progress.Conversion_Complete, "Complete:");
    EXPECT_EQ(s.CheckUpdate.NoUpdates, "No updates available.\\nYou have the latest version.");
}

TEST(BuiltInTexts, SetENLeavesTheThreeUnsetTextsAlone) {
    TAppStrings s;
    s.Main.gbOutputDir = "kept";
    s.DirectoryList.colActive = "kept too";
    s.Main.btnStayOnTop = "cleared";
    s.Main.Ready = "Bereit";
    s.SetEN();
    EXPECT_EQ(s.Main.gbOutputDir, "kept");
    EXPECT_EQ(s.DirectoryList.colActive, "kept too");
    EXPECT_EQ(s.Main.btnStayOnTop, "");
    EXPECT_EQ(s.Main.Ready, "Ready");
}

const char* const German = "; a comment line\r\n"
                           "Ready=before any section\r\n"
                           "[INFO]\r\nLangName_InEnglish = German \r\n"
                           "[main]\r\n"
                           "  READY =   Bereit  \r\n"
                           "Done=\r\n"
                           "Abort\r\n"                                          // no "=": supplies nothing
                           "Converting=Konvertiere\r\nConverting=Wandle um\r\n" // the last line wins
                           "chKeepDates=ignored\r\nchKeepFileDates=Dateidaten behalten\r\n"
                           "UAuto=never\r\ngbOutputDir=never\r\n"
                           "AudioBitrateMustBeInteger=Bitrate: %s\\nGanzzahl!\r\n"
                           "[Errors]\r\nactClose=Schlie\xC3\x9F"
                           "en\r\n"
                           "[ToolsInfo]\r\nactClose=ignored\r\nCaption=Werkzeuge\r\n"
                           "[CheckUpdate]\r\nactClose=ignored\r\n"
                           "[MAIN]\r\nError=Fehler\r\n"; // a section named twice continues the first

class LanguageFile : public ::testing::TestWithParam<const char*> {};

QByteArray Encode(const QByteArray& Utf8, const QString& How) {
    const QString text = QString::fromUtf8(Utf8);
    if (How == "utf8") return Utf8;
    if (How == "utf8bom") return "\xEF\xBB\xBF" + Utf8;
    QStringEncoder enc(How == "utf16le" ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    const QByteArray bom = How == "utf16le" ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    return bom + QByteArray(enc(text));
}

TEST_P(LanguageFile, ReplacesTextsKeyByKey) {
    TempDir dir;
    TAppStrings s;
    s.LoadFromFile(dir.Write("german.ini", Encode(German, GetParam())));
    EXPECT_EQ(s.LanguageName, "German");
    EXPECT_EQ(s.Main.Ready, "Bereit");
    EXPECT_EQ(s.Main.Done, "");           // present but empty
    EXPECT_EQ(s.Main.Abort, "Abort");     // no value given
    EXPECT_EQ(s.Main.Skipped, "Skipped"); // absent
    EXPECT_EQ(s.Main.Converting, "Wandle um");
    EXPECT_EQ(s.Main.chKeepDates, "Dateidaten behalten");
    EXPECT_EQ(s.Main.UAuto, "AUTO");
    EXPECT_EQ(s.Main.gbOutputDir, "");
    EXPECT_EQ(s.Main.Error, "Fehler");
    EXPECT_EQ(s.Errors.actClose, QString::fromUtf8("Schlie\xC3\x9F"
                                                   "en"));
    EXPECT_EQ(s.ToolsInfo.actClose, s.Errors.actClose);
    EXPECT_EQ(s.CheckUpdate.actClose, s.Errors.actClose);
    EXPECT_EQ(s.ToolsInfo.Caption, "Werkzeuge");
    EXPECT_EQ(FormatLangStr(s.Main.AudioBitrateMustBeInteger, "abc"), "Bitrate: abc\r\nGanzzahl!");
}

INSTANTIATE_TEST_SUITE_P(Encodings, LanguageFile, ::testing::Values("utf8", "utf8bom", "utf16le", "utf16be"));

TEST(LanguageFileLoading, LaterFilesOverlayAndMissingFilesChangeNothing) {
    TempDir dir;
    TAppStrings s;
    s.LoadFromFile(dir.Write("a.ini", "[INFO]\nLangName_InEnglish=A\n[MAIN]\nReady=A-ready\nDone=A-done\n"));
    s.LoadFromFile(dir.Write("b.ini", "[MAIN]\nDone=B-done\n"));
    EXPECT_EQ(s.Main.Ready, "A-ready");
    EXPECT_EQ(s.Main.Done, "B-done");
    EXPECT_EQ(s.LanguageName, ""); // B has no INFO name
    s.LoadFromFile(dir.QFile("missing.ini"));
    EXPECT_EQ(s.Main.Done, "B-done");
    // The language folder plus an empty file name: a folder loads nothing and raises nothing.
    EXPECT_NO_THROW(s.LoadFromFile(dir.QPath() + u'/'));
    EXPECT_NO_THROW(s.LoadFromFile(dir.QPath()));
    EXPECT_EQ(s.Main.Done, "B-done");
}

TEST(LanguageFileLoading, AFileWithoutBomInTheAnsiCodePage) {
    TempDir dir;
    TAppStrings s;
    s.LoadFromFile(dir.Write("fr.ini", "[MAIN]\nReady=Pr\xEAt\n")); // Windows-1252
    EXPECT_EQ(s.Main.Ready, QString::fromUtf8("Pr\xC3\xAAt"));
}

TEST(FormatLangStrTest, LineBreaksTabsAndArguments) {
    EXPECT_EQ(FormatLangStr(TAppStrings().Main.AudioBitrateMustBeInteger, "12x"),
              "Audio bitrate: 12x\r\nBitrate must be an integer value!");
    EXPECT_EQ(FormatLangStr("a\\tb %s and %s", "1", "2"), "a\tb 1 and 2");
    EXPECT_EQ(FormatLangStr("%s then %s", "x%sy", "2"), "x2y then %s"); // the second goes into the first
    EXPECT_EQ(FormatLangStr("100% \\N \\T %d"), "100% \\N \\T %d");
    EXPECT_EQ(FormatLangStr("only %s"), "only ");
    EXPECT_EQ(FormatLangStr(TAppStrings().Main.FFmpegNotExists, "Tunewright_PORTABLE.zip", "Tunewright")
                  .count(QStringLiteral("%s")),
              0);
}

} // namespace
