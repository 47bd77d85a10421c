// app/shell/FormMainLang.h: the language switch while the program runs.
#pragma once
#include <functional>
#include <initializer_list>
#include <vector>

#include "rtl/Classes.h"

namespace skins {
class TSkToolbar;
class TSkToolbarView;
} // namespace skins

namespace shell {

using rtl::String;

// The switch the options window's language list starts: the language file whose native name is
// NativeName (the first of the language list) becomes the program's language. False, and nothing
// changes, when no file has that name. Otherwise AppParams.LanguageIni names the file, the texts are
// reset to English and the file's texts read over them, and the windows take them in this order:
// OptionsSetLang (the options window's own; may be empty), the main window (and its footer), then
// each of the progress, About, error-log, file-information, command-line, tools-information,
// update-check windows and the output-folder list editor that exists.
bool SwitchLanguage(const String& NativeName, const std::function<void()>& OptionsSetLang = {});

// Holds the layout of the given toolbars (any may be nil) while captions change: each caption would lay
// its bar out, right-align its items and repaint it. The bars do that once, when this ends.
class TToolbarsCaptionUpdate {
public:
    explicit TToolbarsCaptionUpdate(std::initializer_list<skins::TSkToolbar*> Toolbars);
    ~TToolbarsCaptionUpdate();
    TToolbarsCaptionUpdate(const TToolbarsCaptionUpdate&) = delete;
    TToolbarsCaptionUpdate& operator=(const TToolbarsCaptionUpdate&) = delete;

private:
    std::vector<skins::TSkToolbarView*> FViews;
};

// The output-folder list editor's SetLang: the editor sets it while it exists (empty otherwise).
extern std::function<void()> OutputDirListSetLang;

} // namespace shell
