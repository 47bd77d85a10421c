#include "app/shell/FormAbout.h"

#include "app/shell/AppStrings.h"
#include "app/shell/FormCheckUpdate.h"

namespace shell {

namespace {

constexpr int DesignClientWidth = 460, DesignClientHeight = 520;

// Four centred blocks, each on its own background: the product, the encoder, the analysis library, and
// the other open-source projects the program is built on.
const char16_t* const AboutTemplate =
    u"<bbc:#FDF4B7><c><fn:Verdana><fc:#000000><br>"
    u"<fn:Tahoma><fs:14><b>%APP_NAME%</b></fs></fn><br>"
    u"<fs:11>Version %APP_VERSION%</fs><br>"
    u"<fs:10>%APP_DATE%<br>Free software<br>%APP_AUTHOR%</fs><br><br>"
    u"<a:%APP_URL%>%APP_URL%</a><br>"
    u"<b><a:%APP_URL%donation/>%DONATION%</a></b><br><br>"
    u"<bbc:#C8E9FD><ln:#9ED9FC><br><fn:Tahoma><fs:13><b>FFmpeg</b></fs></fn><br>"
    u"<fn:Consolas><fs:11>%FFMPEG_VERSION%</fs></fn><br>"
    u"<a:https://ffmpeg.org>ffmpeg.org</a><br><br>"
    u"<bbc:#EEDBEE><ln:#DDB9DD><br><fn:Tahoma><fs:13><b>MediaInfo</b></fs></fn><br>"
    u"<fn:Consolas><fs:11>%MEDIAINFO_VERSION%</fs></fn><br>"
    u"<a:https://mediaarea.net>mediaarea.net</a><br><br>"
    u"<bbc:#D2E8DA><ln:#A9D3BA><br><fs:10><b>Other open source projects used in the program</b></fs><br><br>"
    u"<l><li>Qt - <a:https://www.qt.io>www.qt.io</a><br>"
    u"<li>libcurl - <a:https://curl.se>curl.se</a><br>"
    u"<li>zlib - <a:https://zlib.net>zlib.net</a><br>"
    u"<li>libpng - <a:http://www.libpng.org>www.libpng.org</a><br>"
    u"<li>ICU - <a:https://icu.unicode.org>icu.unicode.org</a><br>";

// Replaces the first occurrence of Name (or all), ignoring letter case.
void Fill(String& Text, const char* Name, const String& Value, bool All = false) {
    const String name = QString::fromLatin1(Name);
    for (qsizetype from = 0;;) {
        const qsizetype at = Text.indexOf(name, from, Qt::CaseInsensitive);
        if (at < 0) return;
        Text.replace(at, name.size(), Value);
        if (!All) return;
        from = at + Value.size();
    }
}

} // namespace

String FillAboutText(const String& Template, const String& Donation) {
    String text = Template;
    Fill(text, "%APP_NAME%", QStringLiteral("Tunewright"));
    Fill(text, "%APP_VERSION%", QStringLiteral("1.5  64-bit"));
    Fill(text, "%APP_DATE%", QStringLiteral("2021.02.11"));
    Fill(text, "%APP_AUTHOR%", QStringLiteral("The Tunewright developers"));
    Fill(text, "%FFMPEG_VERSION%", QStringLiteral("N-100739-gda607832b5"));
    Fill(text, "%MEDIAINFO_VERSION%", QStringLiteral("20.09.0.0"));
    Fill(text, "%APP_URL%", WebSite + String::fromUtf16(ProductPagePath), true);
    Fill(text, "%DONATION%", Donation);
    return text;
}

TFormAbout::TFormAbout(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetBorderStyle(vcl::bsDialog);
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poOwnerFormCenter);
    SetClientWidth(DesignClientWidth);
    SetClientHeight(DesignClientHeight);
    SetCaption(QStringLiteral("About"));

    htt = new components::THqHTMLText2(this);
    htt->SetParent(this);
    htt->SetAutoOpenLink(true);
    htt->SetText(String::fromUtf16(AboutTemplate));

    Actions = new vcl::TActionList(this);
    for (vcl::TAction** a : {&actEsc, &actClose}) {
        *a = new vcl::TAction(this);
        (*a)->SetActionList(Actions);
        (*a)->SetOnExecute(rtl::TNotifyEvent(this, &TFormAbout::actCloseExecute));
    }
    actEsc->SetShortCut(VK_ESCAPE);

    OnCreate = rtl::TNotifyEvent(this, &TFormAbout::FormCreate);
}

void TFormAbout::FormCreate(rtl::TObject*) {
    htt->SetAlign(vcl::alClient);
    httText = htt->Text();
    if (AppStrings) SetLang(*AppStrings);
    else SetLang(TAppStrings());
    Constraints()->SetMaxWidth(Width());
    Constraints()->SetMaxHeight(Height());
}

void TFormAbout::TakeShortCutOf(vcl::TAction* AboutAction) {
    if (AboutAction) actClose->SetShortCut(AboutAction->ShortCut());
}

void TFormAbout::SetLang(const TAppStrings& Strings) {
    SetCaption(Strings.About.Caption);
    htt->SetText(FillAboutText(httText, Strings.About.Donation));
}

void TFormAbout::actCloseExecute(rtl::TObject*) {
    Close();
}

} // namespace shell
