#include "app/shell/LangIniList.h"

#include "app/shell/AppStrings.h"
#include "base/FileSearch.h"
#include "rtl/Files.h"
#include "rtl/IniFiles.h"
#include "rtl/SysUtils.h"

#include <QFileInfo>

namespace shell {

std::unique_ptr<TLangIniList> LangIniList;

namespace {

String Key(const String& Text) { return rtl::Trim(rtl::AnsiUpperCase(Text)); }

struct TLangFileOfId {
    int Id;
    const char16_t* File;
};
constexpr TLangFileOfId LangFiles[] = {
    {1, u"Arabic.ini"},     {2, u"Bulgarian.ini"},  {4, u"Chinese.ini"},        {5, u"Czech.ini"},
    {6, u"Danish.ini"},     {7, u"German.ini"},     {8, u"Greek.ini"},          {10, u"Spanish.ini"},
    {11, u"Finnish.ini"},   {12, u"French.ini"},    {13, u"Hebrew.ini"},        {14, u"Hungarian.ini"},
    {15, u"Icelandic.ini"}, {16, u"Italian.ini"},   {17, u"Japanese.ini"},      {18, u"Korean.ini"},
    {19, u"Dutch.ini"},     {20, u"Norwegian.ini"}, {21, u"Polish.ini"},        {22, u"Portuguese_BR.ini"},
    {24, u"Romanian.ini"},  {25, u"Russian.ini"},   {26, u"Croatian.ini"},      {27, u"Slovak.ini"},
    {28, u"Albanian.ini"},  {29, u"Swedish.ini"},   {30, u"Thai.ini"},          {31, u"Turkish.ini"},
    {34, u"Ukrainian.ini"}, {35, u"Belarusian.ini"}, {36, u"Slovenian.ini"},    {37, u"Estonian.ini"},
    {38, u"Latvian.ini"},   {39, u"Lithuanian.ini"}, {42, u"Vietnamese.ini"},
};

} // namespace

void TLangIniList::AddIniFilesFromDir(const String& Dir, const String& Ext) {
    if (!QFileInfo(Dir).isDir()) return;
    const String ext = Ext.startsWith(u'.') ? Ext.mid(1) : Ext;
    rtl::TStringList files;
    base::SearchFiles(QStringLiteral("*.") + ext, Dir, &files, 0, true, true);
    for (int i = 0; i < files.Count(); ++i) {
        const String file = files.Strings(i);
        const String display = ReadLanguageFileValue(file, SectionWithDisplayName, DisplayNameID);
        if (display.isEmpty()) continue;
        TLangIniListItem* item = Add();
        item->FileName = file;
        item->DisplayName = display;
        item->LangName_InEnglish = ReadLanguageFileValue(file, SectionWithDisplayName, QStringLiteral("LangName_InEnglish"));
        item->LangName_Native = ReadLanguageFileValue(file, SectionWithDisplayName, QStringLiteral("LangName_Native"));
    }
}

TLangIniListItem* TLangIniList::GetItemByNativeName(const String& NativeName) const {
    const String key = Key(NativeName);
    for (int i = 0; i < Count(); ++i)
        if (Key(GetItem(i)->LangName_Native) == key) return GetItem(i);
    return nullptr;
}

TLangIniListItem* TLangIniList::GetItemByShortFileName(const String& ShortFileName) const {
    const String key = Key(ShortFileName);
    for (int i = 0; i < Count(); ++i)
        if (Key(rtl::ExtractFileName(GetItem(i)->FileName)) == key) return GetItem(i);
    return nullptr;
}

void PrepareLangIniList(const engine::TAppParams& Params) {
    LangIniList = std::make_unique<TLangIniList>();
    LangIniList->SectionWithDisplayName = QStringLiteral("INFO");
    LangIniList->DisplayNameID = QStringLiteral("LangName_InEnglish");
    LangIniList->AddIniFilesFromDir(Params.LangDir, QStringLiteral("ini"));
}

String LanguageFileOfLangId(int PrimaryLangId) {
    for (const auto& l : LangFiles)
        if (l.Id == PrimaryLangId) return String::fromUtf16(l.File);
    return QStringLiteral("English.ini");
}

int PrimaryLangIdOf(uint32_t LocaleId) {
    return (LocaleId & 0xFFFF) == 0 ? 9 : int(LocaleId & 0x3FF);
}

void InitLang(engine::TAppParams& Params, TAppStrings& Strings, bool ChooseLangBySystem, uint32_t LocaleId) {
    PrepareLangIniList(Params);
    if (!ChooseLangBySystem) {
        String name;
        if (QFileInfo(Params.IniName).isFile()) {
            rtl::TIniFile ini(Params.IniName);
            name = ini.ReadString(QStringLiteral("MAIN"), QStringLiteral("LanguageIni"), String());
        }
        Params.LanguageIni = name;
        // An empty name leaves the folder itself, which is not a file: nothing is loaded.
        Strings.LoadFromFile(rtl::IncludeTrailingPathDelimiter(Params.LangDir) + name);
        return;
    }
    const String path = rtl::IncludeTrailingPathDelimiter(Params.LangDir) + LanguageFileOfLangId(PrimaryLangIdOf(LocaleId));
    if (QFileInfo(path).isFile()) Params.LanguageIni = rtl::ExtractFileName(path);
    Strings.LoadFromFile(path);
}

} // namespace shell
