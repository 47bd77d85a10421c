#include "app/shell/FormCheckUpdate.h"

#include "app/engine/Procs.h"
#include "app/engine/ProcsControls.h"
#include "app/shell/AppStrings.h"
#include "app/shell/ButtonStyles.h"
#include "rtl/Encoding.h"
#include "rtl/IniFiles.h"
#include "win/shell32/shellapi.h"
#include "win/wininet/wininet.h"

#include <array>

namespace shell {

String WebSite = QStringLiteral("https://www.tunewright.example");

String VersionFileAddress() {
    // A test or a mirror names its own version file.
    const String own = qEnvironmentVariable("TUNEWRIGHT_UPDATE_URL");
    return own.isEmpty() ? WebSite + String::fromUtf16(VersionFilePath) : own;
}

namespace {

constexpr int DesignClientWidth = 420, DesignClientHeight = 236, StripHeight = 44;

// A WinInet handle closed when it goes.
struct InternetHandle {
    HINTERNET H;
    ~InternetHandle() {
        if (H) InternetCloseHandle(H);
    }
};

} // namespace

String DownloadSmallTextFile(const String& Url) {
    InternetHandle session{InternetOpenW(u"Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)",
                                         INTERNET_OPEN_TYPE_PRECONFIG, u"", u"", 0)};
    if (!session.H) return String();
    const std::u16string url = Url.toStdU16String();
    static const char16_t headers[] = u"Accept: */*";
    InternetHandle file{InternetOpenUrlW(session.H, url.c_str(), headers, DWORD(std::size(headers) - 1),
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_HYPERLINK, 0)};
    if (!file.H) return String();
    std::array<uint8_t, 1024> buffer{};
    DWORD read = 0;
    if (!InternetReadFile(file.H, buffer.data(), DWORD(buffer.size()), &read)) return String();
    size_t length = 0;
    while (length < buffer.size() && buffer[length]) ++length;
    return rtl::TEncoding::ANSI()->GetString(buffer.data(), length);
}

String VersionKey(const String& Version) {
    String key = Version;
    key.remove(u'.');
    if (key.size() < 6) key += String(6 - key.size(), u'0');
    if (key.size() < 10) key.prepend(String(10 - key.size(), u'0'));
    return key;
}

TFormCheckUpdate::TFormCheckUpdate(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetBorderStyle(vcl::bsDialog);
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poOwnerFormCenter);
    SetClientWidth(DesignClientWidth);
    SetClientHeight(DesignClientHeight);
    SetCaption(QStringLiteral("Check for updates"));

    auto label = [&](int Left, int Top, int Width) {
        auto* l = new vcl::TLabel(this);
        l->SetParent(this);
        l->SetBounds(Left, Top, Width, 15);
        return l;
    };
    lblUserVersionDesc = label(12, 12, 150);
    lblUserVersion = label(170, 12, 120);
    lblLatestVersionDesc = label(12, 32, 150);
    lblLatestVersion = label(170, 32, 120);
    lblUserVersion->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
    lblLatestVersion->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});

    me = new vcl::TMemo(this);
    me->SetParent(this);
    me->SetBounds(12, 56, DesignClientWidth - 24, DesignClientHeight - 56 - StripHeight - 10);
    me->SetReadOnly(true);
    me->SetScrollBars(vcl::ssVertical);

    pnBottom = new components::TKwpPanel(this);
    pnBottom->SetParent(this);
    pnBottom->SetAlign(vcl::alBottom);
    pnBottom->SetHeight(StripHeight);

    Actions = new vcl::TActionList(this);
    auto action = [&](const char16_t* Caption, void (TFormCheckUpdate::*Handler)(rtl::TObject*)) {
        auto* a = new vcl::TAction(this);
        a->SetActionList(Actions);
        a->SetCaption(String::fromUtf16(Caption));
        a->SetOnExecute(rtl::TNotifyEvent(this, Handler));
        return a;
    };
    actCheckNow = action(u"Check now", &TFormCheckUpdate::actCheckNowExecute);
    actGoToDownloadPage = action(u"Download", &TFormCheckUpdate::actGoToDownloadPageExecute);
    actClose = action(u"Close", &TFormCheckUpdate::actCloseExecute);
    actEsc = action(u"", &TFormCheckUpdate::actCloseExecute);
    actEsc->SetShortCut(VK_ESCAPE);

    auto button = [&](vcl::TAction* Action, int Left) {
        auto* b = new components::TKwpPngButton(this);
        b->SetParent(pnBottom);
        b->SetBounds(Left, 9, 120, 26);
        b->SetAction(Action);
        return b;
    };
    btnCheckNow = button(actCheckNow, 12);
    btnGoToDownloadPage = button(actGoToDownloadPage, 144);
    btnClose = button(actClose, DesignClientWidth - 12 - 120);

    tmCheckUpdate = new vcl::TTimer(this);
    tmCheckUpdate->SetEnabled(false);
    tmCheckUpdate->SetInterval(1000);
    tmCheckUpdate->SetOnTimer(rtl::TNotifyEvent(this, &TFormCheckUpdate::tmCheckUpdateTimer));

    OnCreate = rtl::TNotifyEvent(this, &TFormCheckUpdate::FormCreate);
}

const TAppStrings& TFormCheckUpdate::Texts() const {
    if (Strings) return *Strings;
    if (AppStrings) return *AppStrings;
    static const TAppStrings english;
    return english;
}

void TFormCheckUpdate::FormCreate(rtl::TObject*) {
    lblUserVersion->SetCaption(String::fromUtf16(RunningVersion));
    lblLatestVersion->SetCaption(String());
    me->Lines()->Clear();
    if (!Params->MonospaceFont.Name.isEmpty()) me->Font()->SetName(Params->MonospaceFont.Name);
    if (Params->MonospaceFont.Size > 0) me->Font()->SetSize(Params->MonospaceFont.Size);
    actGoToDownloadPage->SetVisible(false);
    SetLang(Texts());
    StatusNone = {vcl::clBtnFace, vcl::clWindowText};
    StatusFailed = {vcl::TColor(RGB(250, 218, 218)), vcl::TColor(RGB(79, 11, 11))};
    StatusNoUpdates = {vcl::clBtnFace, vcl::clWindowText};
    StatusUpdateAvailable = {vcl::TColor(RGB(230, 240, 227)), vcl::TColor(RGB(29, 47, 26))};
    SetStatusColors(StatusNone);
    SetStyleColors(Params->StyleName);
}

void TFormCheckUpdate::SetStatusColors(const TStatusColors& Colors) {
    me->SetColor(Colors.Background);
    me->Font()->SetColor(Colors.Font);
}

void TFormCheckUpdate::ClearStatus() {
    SetStatusColors(StatusNone);
    me->Lines()->Clear();
    actGoToDownloadPage->SetVisible(false);
}

void TFormCheckUpdate::SetLang(const TAppStrings& S) {
    SetCaption(S.CheckUpdate.Caption);
    engine::SetControlCaption(actClose, S.ToolsInfo.actClose, true);
    engine::SetControlCaption(lblUserVersionDesc, S.CheckUpdate.lblUserVersion);
    engine::SetControlCaption(lblLatestVersionDesc, S.CheckUpdate.lblLatestVersion);
    engine::SetControlCaption(actCheckNow, S.CheckUpdate.CheckNow);
    actGoToDownloadPage->SetHint(S.CheckUpdate.GoToDownloadPage);
    actGoToDownloadPage->SetCaption(S.CheckUpdate.btnDownload);
}

void TFormCheckUpdate::SetStyleColors(const String& StyleName) {
    SetButtonsStyle({btnCheckNow, btnGoToDownloadPage, btnClose}, StyleName, TemplateButton);
    if (engine::IsSystemStyleName(StyleName)) {
        me->SetBevelKind(vcl::bkFlat);
        me->SetBorderStyle(vcl::bsNone);
        pnBottom->Appearance()->SetDrawBorder(true);
        pnBottom->Appearance()->Borders()->Top()->SetVisible(true);
    } else {
        me->SetBevelKind(vcl::bkNone);
        me->SetBorderStyle(vcl::bsSingle);
        pnBottom->Appearance()->Borders()->Top()->SetVisible(false);
    }
    pnBottom->Invalidate();
}

void TFormCheckUpdate::ShowText(const String& Text) {
    me->Lines()->SetText(FormatLangStr(Text));
}

void TFormCheckUpdate::tmCheckUpdateTimer(rtl::TObject*) {
    tmCheckUpdate->SetEnabled(false);
    actCheckNow->Execute();
}

void TFormCheckUpdate::actCheckNowExecute(rtl::TObject*) {
    const auto& texts = Texts().CheckUpdate;
    me->Lines()->Clear();
    SetStatusColors(StatusNone);
    actCheckNow->SetEnabled(false);
    actGoToDownloadPage->SetVisible(false);
    lblLatestVersion->SetCaption(String());
    // However the check ends, it can be run again.
    struct Reenable {
        vcl::TAction* Action;
        ~Reenable() { Action->SetEnabled(true); }
    } reenable{actCheckNow};
    ShowText(texts.CheckingUpdates);
    me->Update(); // painted now: the download blocks the thread

    const String answer = DownloadSmallTextFile(VersionFileAddress());
    if (answer.isEmpty()) {
        SetStatusColors(StatusFailed);
        ShowText(texts.ConnectionFailed);
        return;
    }
    rtl::TMemIniFile ini{String()};
    rtl::TStringList lines;
    lines.SetText(answer.trimmed());
    ini.SetStrings(&lines);
    const String section = QStringLiteral("VersionInfo");
    const String latest = ini.ReadString(section, QStringLiteral("LastVersion"), String());
    if (!ini.SectionExists(section) || latest.isEmpty()) {
        SetStatusColors(StatusFailed);
        ShowText(texts.CannotCheck);
        return;
    }
    lblLatestVersion->SetCaption(latest);
    const String remote = VersionKey(latest), local = VersionKey(String::fromUtf16(RunningVersion));
    if (remote == local) {
        SetStatusColors(StatusNoUpdates);
        ShowText(texts.NoUpdates);
    } else if (remote > local) {
        SetStatusColors(StatusUpdateAvailable);
        ShowText(texts.UpdatesAvailable);
        me->Lines()->Add(String());
        me->Lines()->Add(QStringLiteral("Latest version: ") + latest);
        me->Lines()->Add(QStringLiteral("Release date: ") + ini.ReadString(section, QStringLiteral("ReleaseDate"), String()));
        actGoToDownloadPage->SetVisible(true);
    } else {
        me->Lines()->Clear(); // a published version older than this one: nothing to say
    }
}

void TFormCheckUpdate::actGoToDownloadPageExecute(rtl::TObject*) {
    const std::u16string page = (WebSite + String::fromUtf16(ProductPagePath)).toStdU16String();
    ShellExecuteW(Handle(), u"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TFormCheckUpdate::actCloseExecute(rtl::TObject*) {
    Close();
}

} // namespace shell
