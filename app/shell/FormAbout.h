// app/shell/FormAbout.h: the About window: product, version, the tools it was made for and the credits,
// as a mark-up text whose placeholders follow the language.
#pragma once
#include "components/HTMLText2.h"
#include "vcl/ActnList.h"
#include "vcl/Forms.h"

namespace shell {

using rtl::String;
class TAppStrings;

class TFormAbout : public vcl::TForm {
public:
    explicit TFormAbout(rtl::TComponent* AOwner);

    void SetLang(const TAppStrings& Strings);
    void SetStyleColors(const String&) {} // the About text keeps its own colours
    // Close takes the key of the main window's About action, so the same key closes the window.
    void TakeShortCutOf(vcl::TAction* AboutAction);

    components::THqHTMLText2* htt;
    String httText; // the template, with its placeholders
    vcl::TActionList* Actions;
    vcl::TAction *actEsc, *actClose;

private:
    void FormCreate(rtl::TObject* Sender);
    void actCloseExecute(rtl::TObject* Sender);
};

// The template with each placeholder replaced (letter case aside): the first occurrence of each, every
// occurrence of %APP_URL%.
String FillAboutText(const String& Template, const String& Donation);

} // namespace shell
