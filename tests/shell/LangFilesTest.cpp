// The shipped German.ini against the English.ini made from the built-in texts: an entry for every
// English key, the same arguments and line breaks in every text, the names a translator keeps, and a
// German text wherever German says it otherwise.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/shell/AppStrings.h"
#include "rtl/Encoding.h"
#include "rtl/IniFiles.h"
#include "tests/support/QtPrint.h"

namespace {

using namespace shell;

// Every section/key of a language file with its value, in file order.
std::vector<std::pair<QString, QString>> Entries(const char* File) {
    rtl::TMemIniFile ini(QString::fromUtf8(File), rtl::TEncoding::UTF8());
    rtl::TStringList sections, keys;
    ini.ReadSections(&sections);
    std::vector<std::pair<QString, QString>> out;
    for (int s = 0; s < sections.Count(); ++s) {
        ini.ReadSection(sections.Strings(s), &keys);
        for (int k = 0; k < keys.Count(); ++k)
            out.emplace_back(sections.Strings(s) + u'/' + keys.Strings(k),
                             ini.ReadString(sections.Strings(s), keys.Strings(k), QString()));
    }
    return out;
}

// "%s" and "\n" as a text carries them, in order: FormatLangStr fills and breaks the text by them.
QString Markers(const QString& Text) {
    QString out;
    for (int i = 0; i + 1 < Text.size(); ++i) {
        const QStringView two = QStringView(Text).mid(i, 2);
        if (two == u"%s" || two == u"\\n" || two == u"\\t") out += two;
    }
    return out;
}

TEST(ShippedGerman, EveryEnglishKeyHasAGermanTextWithTheSameArgumentsAndLineBreaks) {
    const auto english = Entries(TW_ENGLISH_INI), german = Entries(TW_GERMAN_INI);
    ASSERT_GT(english.size(), 250u);
    std::map<QString, QString> de(german.begin(), german.end());
    EXPECT_EQ(de.size(), english.size()) << "keys English does not have";
    // Words German writes as English does.
    const std::set<QString> same = {"Album",  "Album:",   "Audio",   "Video",   "Status", "Genre",
                                    "Genre:", "Bitrate:", "Format:", "Encoder", "Links",  "OK",
                                    "h",      "m",        "s",       "ms"};
    for (const auto& [key, text] : english) {
        SCOPED_TRACE(key.toStdString());
        const auto it = de.find(key);
        ASSERT_NE(it, de.end());
        EXPECT_FALSE(it->second.trimmed().isEmpty());
        EXPECT_EQ(Markers(it->second), Markers(text));
        if (key != "INFO/LangName_Native" && !same.count(text))
            EXPECT_NE(it->second, text) << "left in English";
    }
    // The message about a missing encoder keeps the names and the address the user must look for.
    for (const char* name : {"FFmpeg", "ZIP", "EXE", "DLL", "www.tunewright.example"})
        EXPECT_TRUE(de["MAIN/FFmpegNotExists"].contains(QLatin1String(name))) << name;
    // The dialogs' patterns stay as they are.
    std::map<QString, QString> en(english.begin(), english.end());
    for (const char* key : {"MAIN/dlgSaveProfile_Filter", "MAIN/dlgSaveFileList_Filter",
                            "MAIN/dlgSaveBAT_Filter", "MAIN/dlgOpen_Filter1", "FileInfo/dlgSaveFilter"})
        EXPECT_EQ(de[key].section(u'(', 1), en[key].section(u'(', 1)) << key;
}

TEST(ShippedGerman, LoadsWithItsOwnNameAndItsTextsFillAsEnglishDo) {
    TAppStrings s;
    s.LoadFromFile(QString::fromUtf8(TW_GERMAN_INI));
    EXPECT_EQ(s.LanguageName, "German");
    EXPECT_EQ(s.Main.Auto, "Automatisch");
    EXPECT_EQ(s.Main.chKeepDates, "Dateidatum beibehalten"); // read from its own key
    EXPECT_EQ(FormatLangStr(s.Main.AudioBitrateMustBeInteger, "12.5"),
              "Audiobitrate: 12.5\r\nDie Bitrate muss eine ganze Zahl sein!");
    EXPECT_EQ(FormatLangStr(s.Main.FFmpegNotExists, "pkg.zip", "Tunewright").count("pkg.zip"), 1);
}

} // namespace
