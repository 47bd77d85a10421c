// tests/components/BasicSpeedButtonTest.cpp: the speed button's states under the pointer and the
// left button, its painted looks, its automatic width and the disabled glyph.
#include "components/BasicSpeedButton.h"
#include "components/PngLegacy.h"

#include "base/Colors.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

using namespace components;
using testing_support::FormHarness;
using vcl::TColor;

namespace {

struct Clicks : rtl::TObject {
    int count = 0;
    void Click(rtl::TObject*) { ++count; }
};

class SpeedForm : public vcl::TForm {
public:
    explicit SpeedForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBounds(0, 0, 300, 120);
        button = new TKwpBasicSpeedButton(this);
        button->SetParent(this);
        button->SetBounds(200, 20, 37, 18);
        button->SetCaption(QStringLiteral("Info"));
        TKwpBasicSpeedButtonAppearance* a = button->Appearance();
        a->Normal()->SetColor(0x101010);
        a->Hot()->SetColor(0x202020);
        a->Down()->SetColor(0x303030);
        a->Disabled()->SetColor(0x404040);
        a->Normal()->SetBorderColor(0x0000FF);
        button->OnClick = rtl::TNotifyEvent(&clicks, &Clicks::Click);
    }
    TKwpBasicSpeedButton* button;
    Clicks clicks;
};

class SpeedButton : public ::testing::Test {
protected:
    void SetUp() override {
        form = H.Show<SpeedForm>();
        button = form->button;
    }
    TColor At(int X, int Y) {
        const QRgb rgb = H.App().Pixel(form->Handle(), button->Left() + X, button->Top() + Y);
        return TColor(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
    }
    FormHarness H;
    SpeedForm* form = nullptr;
    TKwpBasicSpeedButton* button = nullptr;
};

TEST_F(SpeedButton, StatesFollowPointerAndButtonAndPaintTheirLook) {
    EXPECT_EQ(button->ButtonState(), bssNormal);
    EXPECT_EQ(At(2, 2), 0x101010);
    EXPECT_EQ(At(5, 0), 0x0000FF);
    H.MoveTo(button);
    EXPECT_EQ(button->ButtonState(), bssOver);
    EXPECT_EQ(At(2, 2), 0x202020);
    const auto target = FormHarness::TargetOf(button);
    H.App().Press(target.hwnd, target.point);
    EXPECT_EQ(button->ButtonState(), bssDown);
    EXPECT_EQ(At(2, 2), 0x303030);
    H.App().Release(target.hwnd, target.point);
    EXPECT_EQ(button->ButtonState(), bssOver);
    EXPECT_EQ(form->clicks.count, 1);
    button->SetEnabled(false);
    EXPECT_EQ(button->ButtonState(), bssDisabled);
    EXPECT_EQ(At(2, 2), 0x404040);
    button->SetEnabled(true);
    EXPECT_EQ(button->ButtonState(), bssNormal);
}

TEST_F(SpeedButton, ReleasedOutsideGivesNoClickAndStaysHotUntilTheLeave) {
    const auto target = FormHarness::TargetOf(button);
    H.MoveTo(button);
    H.App().Press(target.hwnd, target.point);
    const POINT outside{target.point.x - 100, target.point.y};
    H.App().MoveTo(target.hwnd, outside);
    H.App().Release(target.hwnd, outside);
    EXPECT_EQ(form->clicks.count, 0);
    EXPECT_EQ(button->ButtonState(), bssOver);
    H.MoveTo(button);
    H.App().MoveTo(target.hwnd, outside);
    EXPECT_EQ(button->ButtonState(), bssNormal);
}

TEST_F(SpeedButton, AutoWidthFitsTheCaptionButNeverBelowSixteen) {
    vcl::TBitmap probe;
    probe.Canvas()->Font()->Assign(button->Font());
    EXPECT_EQ(button->Width(), probe.Canvas()->TextWidth(QStringLiteral("Info")) + 12);
    button->SetAutoWidthRightJustify(true);
    const int right = button->Left() + button->Width();
    button->SetCaption(QStringLiteral("Information"));
    H.Pump();
    EXPECT_EQ(button->Width(), probe.Canvas()->TextWidth(QStringLiteral("Information")) + 12);
    EXPECT_EQ(button->Left() + button->Width(), right);
    button->SetAutoWidthMargin(0);
    button->SetCaption(QStringLiteral("i"));
    H.Pump();
    EXPECT_EQ(button->Width(), 16);
    button->SetAlign(vcl::alClient);
    const int width = button->Width();
    button->SetCaption(QStringLiteral("Information"));
    H.Pump();
    EXPECT_EQ(button->Width(), width);
}

TEST(SpeedButtonAppearance, DerivedDefaultsAndTheChangeChain) {
    TKwpBasicSpeedButtonAppearance a;
    EXPECT_EQ(a.Down()->Color(), base::ChangeColorByPercent(vcl::clHighlight, 30, false));
    EXPECT_EQ(a.Down()->BorderColor(), a.Down()->Color());
    EXPECT_EQ(a.Down()->FontColor(), vcl::clHighlightText);
    EXPECT_EQ(a.Disabled()->BorderColor(), vcl::clBtnShadow);
    EXPECT_EQ(a.Normal()->BorderWidth(), 1);
    int changes = 0;
    rtl::TObject* sender = nullptr;
    a.OnChange = rtl::TNotifyEvent([&](rtl::TObject* s) {
        ++changes;
        sender = s;
    });
    a.Hot()->SetColor(a.Hot()->Color());
    a.SetGlyphDisabledBlendIntensity(a.GlyphDisabledBlendIntensity());  // unchanged: silent
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sender, &a);
}

// A 2 x 1 opaque red glyph with alpha.
std::unique_ptr<vcl::TPngImage> RedGlyph() {
    auto png = std::make_unique<vcl::TPngImage>();
    png->CreateBlank(vcl::COLOR_RGBALPHA, 8, 2, 1);
    for (int x = 0; x < 2; ++x) {
        png->Scanline(0)[3 * x + 2] = 255;
        png->AlphaScanline(0)[x] = 255;
    }
    return png;
}

TEST(DisabledGlyph, GreyFirstThenOpacityAndEachOnlyWhenAsked) {
    struct Case {
        TKwpBlendIntensity blend;
        TKwpGrayscaleIntensity gray;
        bool doBlend, doGray;
        bool grey;    // the red is greyed
        int alpha;    // the resulting alpha
    };
    const Case cases[] = {
        {biNormal, gi90Percent, false, false, false, 255},
        {biNormal, gi90Percent, true, true, true, 127},
        {biNormal, giNone, true, true, false, 127},
        {biMax, gi100Percent, false, true, true, 255},
        {biLow, gi10Percent, true, false, false, 200},
    };
    for (const Case& c : cases) {
        auto png = RedGlyph();
        MakeDisabledPng(png.get(), c.blend, c.gray, c.doBlend, c.doGray);
        const uint8_t* px = png->Scanline(0);
        EXPECT_EQ(px[2] != 255 || px[1] != 0, c.grey) << int(c.blend) << "/" << int(c.gray);
        EXPECT_NEAR(png->AlphaScanline(0)[0], c.alpha, 1) << int(c.blend) << "/" << int(c.gray);
    }
}

TEST(SpeedButtonGlyph, TakesAPngWithoutItsGammaAndNilEmptiesIt) {
    TKwpBasicSpeedButton button(nullptr);
    auto png = RedGlyph();
    button.SetPngImage(png.get());
    EXPECT_EQ(button.PngImage()->Width(), 2);
    EXPECT_FALSE(button.ImageFromAction());
    button.SetPngImage(nullptr);
    EXPECT_TRUE(button.PngImage()->Empty());
}

} // namespace

namespace {

TEST(PngLegacy, PicturesStoredUnderTheFormerClassNameLoadAsPng) {
    std::unique_ptr<vcl::TGraphic> graphic(vcl::TPicture::CreateGraphicByClassName(QStringLiteral("TPNGObject")));
    EXPECT_NE(dynamic_cast<vcl::TPngImage*>(graphic.get()), nullptr);
}

} // namespace
