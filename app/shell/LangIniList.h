// app/shell/LangIniList.h: the language files found in the language folder, and the language chosen at
// start-up.
#pragma once
#include <memory>

#include "app/engine/Types.h"
#include "rtl/Classes.h"

namespace shell {

using rtl::String;
class TAppStrings;

class TLangIniListItem : public rtl::TCollectionItem {
public:
    using rtl::TCollectionItem::TCollectionItem;
    String FileName, LangName_InEnglish, LangName_Native, DisplayName;
};

class TLangIniList : public rtl::TCollection {
public:
    TLangIniList() : rtl::TCollection(ItemClassOf<TLangIniListItem>()) {}

    String SectionWithDisplayName, DisplayNameID;

    TLangIniListItem* Add() { return static_cast<TLangIniListItem*>(rtl::TCollection::Add()); }
    TLangIniListItem* GetItem(int Index) const { return static_cast<TLangIniListItem*>(Items(Index)); }
    // One item per file of Dir with extension Ext (a leading "." is dropped) whose DisplayNameID key in
    // SectionWithDisplayName is not empty, in the order the folder lists them; the items there stay.
    void AddIniFilesFromDir(const String& Dir, const String& Ext);
    // The first item whose native name, or whose file name without folder, equals the text (letter case
    // and blanks at the ends aside); null when none does.
    TLangIniListItem* GetItemByNativeName(const String& NativeName) const;
    TLangIniListItem* GetItemByShortFileName(const String& ShortFileName) const;
};

// The one list, made by PrepareLangIniList and read by the options window.
extern std::unique_ptr<TLangIniList> LangIniList;
// A new list of the "*.ini" files of Params.LangDir, named by their INFO/LangName_InEnglish.
void PrepareLangIniList(const engine::TAppParams& Params);

// The language file of a primary language identifier ("German.ini" for 7); "English.ini" for any
// language without a file of its own.
String LanguageFileOfLangId(int PrimaryLangId);
// The primary language identifier of a locale identifier: its low 10 bits; English (9) when the low
// 16 bits are 0.
int PrimaryLangIdOf(uint32_t LocaleId);

// The start-up language: the list made, then the settings file's MAIN/LanguageIni, or (choosing by the
// system) the file of LocaleId's language when it exists; the texts of that file are loaded into
// Strings. Params.LanguageIni names the file chosen.
void InitLang(engine::TAppParams& Params, TAppStrings& Strings, bool ChooseLangBySystem, uint32_t LocaleId);

} // namespace shell
