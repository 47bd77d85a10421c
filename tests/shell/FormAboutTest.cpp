// The About window: placeholders filled by the language (the donation text follows it, the rest stay),
// the page address in every place, the window no larger than designed, and its close keys.
#include "app/shell/FormAbout.h"

#include <gtest/gtest.h>

#include "app/shell/AppStrings.h"
#include "app/shell/FormCheckUpdate.h"
#include "tests/support/QtPrint.h"
#include "tests/support/windows/FormHarness.h"

namespace {

using shell::String;
using testing_support::FormHarness;

TEST(AboutText, PlaceholdersAreFilledIgnoringCaseTheAddressEverywhere) {
    const String text = shell::FillAboutText(
        QStringLiteral("%app_name% %APP_NAME% v%App_Version% %APP_URL%|%app_url% %DONATION% %FFMPEG_VERSION%"),
        QStringLiteral("SPENDE"));
    const String url = shell::WebSite + QStringLiteral("/products/tunewright/");
    EXPECT_EQ(text, QStringLiteral("Tunewright %APP_NAME% v1.5  64-bit ") + url + u'|' + url +
                        QStringLiteral(" SPENDE N-100739-gda607832b5"));
}

TEST(AboutWindow, TheLanguageRefillsTheTemplateAndTheKeysClose) {
    FormHarness h;
    h.Create<vcl::TForm>(); // the main window
    auto* about = h.Create<shell::TFormAbout>();
    EXPECT_TRUE(about->httText.contains(QStringLiteral("%DONATION%")));
    EXPECT_TRUE(about->htt->Text().contains(QStringLiteral("<b><a:")));
    EXPECT_TRUE(about->htt->Text().contains(QStringLiteral(">DONATION</a>")));
    EXPECT_FALSE(about->htt->Text().contains(u'%'));
    EXPECT_EQ(about->Constraints()->MaxWidth(), about->Width());

    shell::TAppStrings german;
    german.About.Caption = QStringLiteral("Über");
    german.About.Donation = QStringLiteral("SPENDE");
    about->SetLang(german);
    EXPECT_EQ(about->Caption(), QStringLiteral("Über"));
    EXPECT_TRUE(about->htt->Text().contains(QStringLiteral(">SPENDE</a>")));
    EXPECT_FALSE(about->htt->Text().contains(QStringLiteral("DONATION")));

    vcl::TAction mainAbout(nullptr);
    mainAbout.SetShortCut(VK_F1);
    about->TakeShortCutOf(&mainAbout);
    for (UINT key : {UINT(VK_ESCAPE), UINT(VK_F1)}) {
        about->Show();
        h.Pump();
        h.Keys(key);
        EXPECT_FALSE(about->Visible()) << key;
    }
}

} // namespace
