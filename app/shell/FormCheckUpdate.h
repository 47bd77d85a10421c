// app/shell/FormCheckUpdate.h: compares the running version with the latest one published on the
// program's web site, from a small version file fetched over HTTP.
#pragma once
#include "app/engine/Types.h"
#include "components/KwpPanel.h"
#include "components/KwpPngButton.h"
#include "vcl/ActnList.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace shell {

using rtl::String;
class TAppStrings;

constexpr const char16_t* RunningVersion = u"1.5";
// The program's web site; the version file and the product page lie below it.
extern String WebSite;
// The version file's address: TUNEWRIGHT_UPDATE_URL when it is set, else the one under WebSite.
String VersionFileAddress();
constexpr const char16_t* VersionFilePath = u"/products/tunewright/ver.ini";
constexpr const char16_t* ProductPagePath = u"/products/tunewright/";

// The downloaded text (its first 1,024 bytes, up to the first zero byte, in the system code page), or
// an empty text when the address cannot be opened or read.
String DownloadSmallTextFile(const String& Url);
// "1.5" gives "0000150000": the dots removed, padded with "0" to 6 on the right, then to 10 on the left.
String VersionKey(const String& Version);

struct TStatusColors {
    vcl::TColor Background, Font;
};

class TFormCheckUpdate : public vcl::TForm {
public:
    explicit TFormCheckUpdate(rtl::TComponent* AOwner);

    void SetStatusColors(const TStatusColors& Colors);
    // No colours, no text, no download button.
    void ClearStatus();
    void SetLang(const TAppStrings& Strings);
    void SetStyleColors(const String& StyleName);

    TStatusColors StatusNone{}, StatusFailed{}, StatusNoUpdates{}, StatusUpdateAvailable{};

    vcl::TLabel *lblUserVersionDesc, *lblUserVersion, *lblLatestVersionDesc, *lblLatestVersion;
    vcl::TMemo* me;
    components::TKwpPanel* pnBottom;
    components::TKwpPngButton *btnCheckNow, *btnGoToDownloadPage, *btnClose;
    vcl::TActionList* Actions;
    vcl::TAction *actCheckNow, *actGoToDownloadPage, *actClose, *actEsc;
    vcl::TTimer* tmCheckUpdate;

    engine::TAppParams* Params = &engine::AppParams;
    // The main window's template button, whose look the buttons copy under the system style.
    components::TKwpPngButton* TemplateButton = nullptr;
    const TAppStrings* Strings = nullptr; // the texts the check shows; the built-in English ones when null

    void actCheckNowExecute(rtl::TObject* Sender);
    void actGoToDownloadPageExecute(rtl::TObject* Sender);

private:
    void FormCreate(rtl::TObject* Sender);
    void tmCheckUpdateTimer(rtl::TObject* Sender);
    void actCloseExecute(rtl::TObject* Sender);
    void ShowText(const String& Text);
    const TAppStrings& Texts() const;
};

} // namespace shell
