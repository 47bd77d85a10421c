// tests/components/KwpPngButtonTest.cpp: the PNG button's layout, its appearance and change chain, its
// painted states read from the window, the colour maps and the choice of a map by style name.
#include "components/KwpPngButton.h"

#include "tests/support/windows/FormHarness.h"
#include "vcl/ActnList.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace components;
using testing_support::FormHarness;
using vcl::TColor;
using vcl::TPoint;

namespace {

std::unique_ptr<vcl::TPngImage> Glyph(int W, int H, unsigned Type = vcl::COLOR_RGBALPHA) {
    auto png = std::make_unique<vcl::TPngImage>();
    png->CreateBlank(Type, 8, W, H);
    return png;
}

// ---- layout ----

struct LayoutCase {
    const char* name;
    vcl::TButtonLayout layout;
    int margin, spacing;
    bool glyph;
    UINT flags;
    // Expected positions from the caption's measured width tw and height th (client 100 x 30).
    std::function<TPoint(int tw, int th)> glyphAt, textAt;
};

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, PlacesGlyphAndCaption) {
    const LayoutCase& c = GetParam();
    vcl::TBitmap bmp;
    bmp.SetSize(100, 30);
    const rtl::String caption = QStringLiteral("Convert");
    const int tw = bmp.Canvas()->TextWidth(caption), th = bmp.Canvas()->TextHeight(caption);
    auto png = Glyph(16, 16);
    TPoint g, t;
    CalcPngButtonLayout(bmp.Canvas(), c.glyph ? png.get() : nullptr, vcl::TRect(0, 0, 100, 30), false, false, caption,
                        c.layout, c.margin, c.spacing, g, t, c.flags);
    EXPECT_EQ(g, c.glyphAt(tw, th)) << c.name;
    EXPECT_EQ(t, c.textAt(tw, th)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Layout,
    ::testing::Values(
        // Margin and spacing both automatic: three equal gaps.
        LayoutCase{"auto", vcl::blGlyphLeft, -1, -1, true, 0,
                   [](int tw, int) { return TPoint((100 - 16 - tw) / 3, 7); },
                   [](int tw, int th) { return TPoint(2 * ((100 - 16 - tw) / 3) + 16, (30 - th) / 2); }},
        // The forms' defaults centre glyph and caption together, 4 pixels apart.
        LayoutCase{"centred", vcl::blGlyphLeft, -1, 4, true, 0,
                   [](int tw, int) { return TPoint((100 - 20 - tw) / 2, 7); },
                   [](int tw, int th) { return TPoint((100 - 20 - tw) / 2 + 20, (30 - th) / 2); }},
        // No glyph: no spacing either.
        LayoutCase{"caption only", vcl::blGlyphLeft, -1, 4, false, 0,
                   [](int tw, int) { return TPoint((100 - tw) / 2, 15); },
                   [](int tw, int th) { return TPoint((100 - tw) / 2, (30 - th) / 2); }},
        // Right-to-left flags turn a left glyph into a right one.
        LayoutCase{"right to left", vcl::blGlyphLeft, 5, 4, true, DT_RIGHT,
                   [](int, int) { return TPoint(100 - 5 - 16, 7); },
                   [](int tw, int th) { return TPoint(100 - 5 - 16 - 4 - tw, (30 - th) / 2); }},
        LayoutCase{"margin given, spacing automatic", vcl::blGlyphRight, 3, -1, true, 0,
                   [](int, int) { return TPoint(100 - 3 - 16, 7); },
                   [](int tw, int th) { return TPoint(100 - 3 - 16 - (100 - 3 - 16 - tw) / 2 - tw, (30 - th) / 2); }},
        LayoutCase{"glyph on top", vcl::blGlyphTop, 1, 2, true, 0, [](int, int) { return TPoint(42, 1); },
                   [](int tw, int) { return TPoint((100 - tw) / 2, 1 + 16 + 2); }},
        LayoutCase{"glyph below", vcl::blGlyphBottom, 1, 2, true, 0, [](int, int) { return TPoint(42, 30 - 1 - 16); },
                   [](int tw, int th) { return TPoint((100 - tw) / 2, 30 - 1 - 16 - 2 - th); }}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(LayoutShift, PressedMovesBothOnePixelAndTheClientOriginCounts) {
    vcl::TBitmap bmp;
    bmp.SetSize(100, 30);
    auto png = Glyph(16, 16);
    TPoint g0, t0, g1, t1;
    CalcPngButtonLayout(bmp.Canvas(), png.get(), vcl::TRect(0, 0, 100, 30), false, false, QStringLiteral("A"),
                        vcl::blGlyphLeft, -1, 4, g0, t0, 0);
    CalcPngButtonLayout(bmp.Canvas(), png.get(), vcl::TRect(10, 20, 110, 50), true, false, QStringLiteral("A"),
                        vcl::blGlyphLeft, -1, 4, g1, t1, 0);
    EXPECT_EQ(g1, TPoint(g0.X + 11, g0.Y + 21));
    EXPECT_EQ(t1, TPoint(t0.X + 11, t0.Y + 21));
}

TEST(LayoutShift, OddRoomRoundsTheGlyphDownAndTheCaptionUp) {
    vcl::TBitmap bmp;
    bmp.SetSize(100, 40);
    const rtl::String caption = QStringLiteral("A");
    const int th = bmp.Canvas()->TextHeight(caption);
    auto png = Glyph(16, 16);
    TPoint g, t;
    // One pixel to spare: the glyph takes it above itself, the caption below itself.
    CalcPngButtonLayout(bmp.Canvas(), png.get(), vcl::TRect(0, 0, 100, 17), false, false, QString(), vcl::blGlyphLeft,
                        -1, 4, g, t, 0);
    EXPECT_EQ(g.Y, 1);
    CalcPngButtonLayout(bmp.Canvas(), nullptr, vcl::TRect(0, 0, 100, th + 1), false, false, caption, vcl::blGlyphLeft,
                        -1, 4, g, t, 0);
    EXPECT_EQ(t.Y, 0);
}

// ---- appearance ----

struct ChangeCounter : rtl::TObject {
    int count = 0;
    rtl::TObject* sender = nullptr;
    void Changed(rtl::TObject* Sender) {
        ++count;
        sender = Sender;
    }
    rtl::TNotifyEvent Event() { return rtl::TNotifyEvent(this, &ChangeCounter::Changed); }
};

TEST(ButtonAppearance, StartsWithTheAeroLook) {
    TKwpButtonAppearance a;
    EXPECT_EQ(a.Down()->Border()->Color(), 0x59401E);  // Hot's border made 50 % darker
    EXPECT_EQ(a.Disabled()->Font()->Color(), 0xA0A0A0);
    EXPECT_EQ(a.Focused()->Color(), a.Normal()->Color());
    EXPECT_EQ(a.Focused()->Border()->Color(), 0xD0AA24);
    EXPECT_EQ(a.Focused()->BottomGradient()->ColorTo(), 0xCFCFCF);
    EXPECT_EQ(a.Hot()->UpperGradientPercent(), 46);
    EXPECT_EQ(a.Down()->UpperGradientPercent(), 52);
    EXPECT_EQ(a.Normal()->BorderToGradientMargin(), 2);
    EXPECT_EQ(a.FocusRect()->Pen()->Color(), 0xD0AA24);
    EXPECT_FALSE(a.DefaultDrawing());
    EXPECT_TRUE(a.ShowCaption());
    EXPECT_EQ(a.GlyphHotGammaFactor(), 130);
}

TEST(ButtonAppearance, EveryChangeInsideReachesOnChangeWithTheAppearanceAsSender) {
    TKwpButtonAppearance a;
    ChangeCounter counter;
    a.SetOnChange(counter.Event());
    EXPECT_EQ(counter.count, 1);  // a new handler is called at once
    const std::vector<std::function<void()>> changes = {
        [&] { a.Hot()->Border()->SetColor(0x123456); },
        [&] { a.Normal()->Font()->SetColor(0x00FF00); },
        [&] { a.Down()->UpperGradient()->SetColorFrom(0x0000FF); },
        [&] { a.FocusRect()->SetSpacing(3); },
        [&] { a.SetShowCaption(a.ShowCaption()); },  // the same value notifies too
        [&] { a.Disabled()->SetColor(a.Disabled()->Color()); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        counter.count = 0;
        counter.sender = nullptr;
        changes[i]();
        EXPECT_EQ(counter.count, 1) << i;
        EXPECT_EQ(counter.sender, &a) << i;
    }
}

TEST(ButtonAppearance, AssignCopiesValuesAndKeepsTheHandler) {
    TKwpButtonAppearance source, target;
    source.SetDefaultDrawing(true);
    source.SetMoveWhenDown(true);
    source.SetGlyphDisabledBlendFactor(40);
    source.FocusRect()->SetFocusType(frtCustom);
    source.FocusRect()->Pen()->SetWidth(2);
    source.BorderWhenDefault()->SetColor(0x010203);
    source.Focused()->SetTransparentFrame(true);
    source.Disabled()->BottomGradient()->SetColorTo(0x0A0B0C);
    source.Hot()->Font()->SetSize(14);
    source.Down()->SetBorderToGradientMargin(-3);
    ChangeCounter counter;
    target.SetOnChange(counter.Event());
    target.Assign(&source);
    EXPECT_GT(counter.count, 1);
    EXPECT_TRUE(target.DefaultDrawing());
    EXPECT_TRUE(target.MoveWhenDown());
    EXPECT_EQ(target.GlyphDisabledBlendFactor(), 40);
    EXPECT_EQ(target.FocusRect()->FocusType(), frtCustom);
    EXPECT_EQ(target.FocusRect()->Pen()->Width(), 2);
    EXPECT_EQ(target.BorderWhenDefault()->Color(), 0x010203);
    EXPECT_TRUE(target.Focused()->TransparentFrame());
    EXPECT_EQ(target.Disabled()->BottomGradient()->ColorTo(), 0x0A0B0C);
    EXPECT_EQ(target.Hot()->Font()->Size(), 14);
    EXPECT_EQ(target.Down()->BorderToGradientMargin(), -3);
    counter.count = 0;
    target.SetShowCaption(false);
    EXPECT_EQ(counter.count, 1);
}

// ---- the button on a form ----

class ButtonForm : public vcl::TForm {
public:
    explicit ButtonForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBounds(0, 0, 300, 200);
        button = new TKwpPngButton(this);
        button->SetParent(this);
        button->SetBounds(20, 20, 120, 40);
        other = new vcl::TButton(this);
        other->SetParent(this);
        other->SetBounds(20, 100, 80, 30);
    }
    TKwpPngButton* button;
    vcl::TButton* other;
};

class PngButton : public ::testing::Test {
protected:
    void SetUp() override {
        form = H.Show<ButtonForm>();
        button = form->button;
        other = form->other;
        other->SetFocus();
        H.Pump();
    }
    // A pixel of the button, read from its own window.
    TColor At(int X, int Y) {
        const QRgb rgb = H.App().Pixel(button->Handle(), X, Y);
        return TColor(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
    }
    FormHarness H;
    ButtonForm* form = nullptr;
    TKwpPngButton* button = nullptr;
    vcl::TButton* other = nullptr;
};

TEST(PngButtonSize, ANewButtonHasTheButtonDefaultSize) {
    TKwpPngButton button(nullptr);
    EXPECT_EQ(button.Width(), 75);
    EXPECT_EQ(button.Height(), 25);
}

TEST_F(PngButton, PaintsTheStateLookItIsIn) {
    // (1,1) lies inside the frame and outside the gradients; (10,0) on the frame.
    EXPECT_EQ(At(1, 1), 0xF3F3F3);
    EXPECT_EQ(At(10, 0), 0x707070);
    H.MoveTo(button);
    EXPECT_TRUE(button->MouseOver());
    EXPECT_EQ(At(1, 1), 0xFCF5E8);
    EXPECT_EQ(At(10, 0), 0xB17F3C);
    // Hovering a disabled button: the disabled look, never the hot one.
    button->SetEnabled(false);
    H.Pump();
    EXPECT_EQ(At(1, 1), 0xF4F4F4);
    EXPECT_EQ(At(10, 0), 0xB5B2AD);
    button->SetEnabled(true);
    H.MouseOut();
    H.Pump();
    EXPECT_FALSE(button->MouseOver());
    button->SetFocus();
    H.Pump();
    EXPECT_EQ(At(10, 0), 0xD0AA24);
}

TEST_F(PngButton, GradientPercentAndMarginAreKeptInRange) {
    TKwpItemStateParams* n = button->Appearance()->Normal();
    n->UpperGradient()->SetColorFrom(0x0000FF);
    n->UpperGradient()->SetColorTo(0x0000FF);
    n->BottomGradient()->SetColorFrom(0xFF0000);
    n->BottomGradient()->SetColorTo(0xFF0000);
    H.Pump();
    EXPECT_EQ(At(60, 5), 0x0000FF);
    EXPECT_EQ(At(60, 35), 0xFF0000);
    // Above 100 percent the upper gradient reaches the bottom and the lower one is empty.
    n->SetUpperGradientPercent(150);
    H.Pump();
    EXPECT_EQ(At(60, 35), 0x0000FF);
    EXPECT_EQ(At(1, 1), 0xF3F3F3);
    // A negative margin paints the gradients up to the client's edges (the frame covers the outer ring).
    n->SetBorderToGradientMargin(-5);
    H.Pump();
    EXPECT_EQ(At(1, 1), 0x0000FF);
    EXPECT_EQ(At(10, 0), 0x707070);
}

TEST_F(PngButton, GlyphIsBrightenedWhenHotAndGreyedWhenDisabled) {
    auto glyph = Glyph(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* px = glyph->Scanline(y) + 3 * x;
            px[0] = 50, px[1] = 100, px[2] = 200;  // blue, green, red
            glyph->AlphaScanline(y)[x] = 255;
        }
    button->SetPngImage(glyph.get());
    button->SetCaption(QString());
    H.Pump();
    EXPECT_EQ(At(60, 20), 0x3264C8);  // centred, as it is
    H.MoveTo(button);
    const TColor hot = At(60, 20);
    EXPECT_GT(hot & 0xFF00, 0x6400u);    // brighter
    EXPECT_NE(hot, 0x3264C8);
    button->SetEnabled(false);
    H.Pump();
    const TColor off = At(60, 20);
    const int r = off & 0xFF, g = (off >> 8) & 0xFF, b = (off >> 16) & 0xFF;
    EXPECT_NEAR(r, g, 2);                // grey
    EXPECT_NEAR(g, b, 2);
    EXPECT_GT(r, 0x90);                  // and faded into the light face
}

TEST_F(PngButton, CustomFocusRectangleInsideTheFrame) {
    TKwpFocusRectParams* fr = button->Appearance()->FocusRect();
    fr->SetFocusType(frtCustom);
    fr->Pen()->SetColor(0x00FF00);
    fr->SetSpacing(2);
    button->Appearance()->Focused()->SetGradientEnabled(false);
    EXPECT_NE(At(3, 20), 0x00FF00);
    button->SetFocus();
    H.Pump();
    EXPECT_EQ(At(3, 20), 0x00FF00);   // frame 1 + spacing 2
    EXPECT_EQ(At(2, 20), 0xF3F3F3);
    fr->SetFocusType(frtNone);
    H.Pump();
    EXPECT_EQ(At(3, 20), 0xF3F3F3);
}

TEST_F(PngButton, MouseEventsFireOutsideStylesOnly) {
    ChangeCounter enter, leave;
    button->OnMouseEnter = enter.Event();
    button->OnMouseLeave = leave.Event();
    H.MoveTo(button);
    H.MouseOut();
    H.Pump();
    EXPECT_EQ(enter.count, 1);
    EXPECT_EQ(leave.count, 1);
    EXPECT_EQ(enter.sender, button);
}

TEST_F(PngButton, DefaultDrawingShowsTheSystemFace) {
    button->Appearance()->SetDefaultDrawing(true);
    H.Pump();
    EXPECT_EQ(At(60, 5), vcl::ColorToRGB(vcl::clBtnFace));
    H.Click(button);  // a click still works
}

// A palette PNG with a gAMA chunk after its header.
std::unique_ptr<vcl::TPngImage> PaletteGlyphWithGamma() {
    auto png = Glyph(4, 4, vcl::COLOR_PALETTE);
    png->SetPaletteEntries({{10, 20, 30}});
    rtl::TMemoryStream stream;
    png->SaveToStream(&stream);
    const auto* bytes = static_cast<const uint8_t*>(stream.Memory());
    std::vector<uint8_t> data(bytes, bytes + stream.Size());
    const uint8_t chunk[] = {0, 0, 0, 4, 'g', 'A', 'M', 'A', 0, 0, 0xB1, 0x8F};
    std::vector<uint8_t> gama(chunk, chunk + sizeof chunk);
    const uLong crc = crc32(crc32(0, nullptr, 0), chunk + 4, 8);
    for (int shift : {24, 16, 8, 0}) gama.push_back(uint8_t(crc >> shift));
    data.insert(data.begin() + 33, gama.begin(), gama.end());  // signature and IHDR come first
    rtl::TMemoryStream with;
    with.Write(data.data(), int64_t(data.size()));
    with.Seek(0, rtl::soBeginning);
    auto result = std::make_unique<vcl::TPngImage>();
    result->LoadFromStream(&with);
    return result;
}

TEST_F(PngButton, TakesAGlyphWithoutItsGammaAndNilEmptiesIt) {
    auto png = PaletteGlyphWithGamma();
    ASSERT_NE(png->Chunks().FindChunk("gAMA"), nullptr);
    button->SetPngImage(png.get());
    EXPECT_EQ(button->PngImage()->Chunks().FindChunk("gAMA"), nullptr);
    EXPECT_NE(png->Chunks().FindChunk("gAMA"), nullptr);  // the caller's image is left alone
    EXPECT_EQ(button->PngImage()->Width(), 4);
    button->SetPngImage(nullptr);
    ASSERT_NE(button->PngImage(), nullptr);
    EXPECT_TRUE(button->PngImage()->Empty());
    H.Pump();
}

// ---- colour maps ----

TEST(ColorMaps, TheAeroMapIsTheNewAppearance) {
    TKwpPngButton button(nullptr);
    TKwpPngButtonColorMap current, aero;
    GetButtonColorMap(&button, current);
    GetPredefinedColorMap(cmtAero, aero);
    EXPECT_EQ(std::memcmp(&current, &aero, sizeof current), 0);
    button.SetColorMapType(cmtAero);
    TKwpPngButtonColorMap after;
    GetButtonColorMap(&button, after);
    EXPECT_EQ(std::memcmp(&current, &after, sizeof current), 0);
    EXPECT_EQ(button.ColorMapType(), cmtAero);
}

TEST(ColorMaps, SpotValuesOfTheStyleMaps) {
    struct Spot {
        TKwpPngButtonColorMapType map;
        TColor TKwpPngButtonColorMap::*top = nullptr;
        TKwpPngButtonStateColors TKwpPngButtonColorMap::*state = nullptr;
        TColor TKwpPngButtonStateColors::*field = nullptr;
        TColor expected;
    };
    using M = TKwpPngButtonColorMap;
    using S = TKwpPngButtonStateColors;
    const Spot spots[] = {
        {cmtVclJet, nullptr, &M::Down, &S::BorderColor, 0x161616},
        {cmtVclCobaltXEMedia, nullptr, &M::Hot, &S::BottomGradientColorTo, 0x95451A},
        {cmtVclAuric, &M::BorderWhenDefaultColor, nullptr, nullptr, 0x000000},
        {cmtVclAquaLightSlate, &M::FocusRectColor, nullptr, nullptr, 0xB59E7A},
        {cmtVclSlateClassico, nullptr, &M::Disabled, &S::UpperGradientColorTo, 0xD4D4D4},
        {cmtVclLuna, nullptr, &M::Focused, &S::UpperGradientColorFrom, 0xD5F7FE},
        {cmtVclIcebergClassico, nullptr, &M::Normal, &S::UpperGradientColorFrom, 0xFDFDFD},
        {cmtVclCharcoalDarkSlate, nullptr, &M::Hot, &S::FontColor, 0xFFFFFF},
        {cmtVclGlossy, nullptr, &M::Down, &S::Color, 0x8D786B},
        {cmtVclCarbon, nullptr, &M::Focused, &S::Color, 0x7A6124},
        {cmtVclCoral, nullptr, &M::Normal, &S::Color, 0x006DD8},
        {cmtBlueVeryDark, nullptr, &M::Normal, &S::FontColor, 0xD7CDB9},
        {cmtVclRubyGraphite, nullptr, &M::Normal, &S::BorderColor, 0x04045C},
    };
    for (const Spot& s : spots) {
        M map{};
        GetPredefinedColorMap(s.map, map);
        const TColor got = s.top ? map.*(s.top) : (map.*(s.state)).*(s.field);
        EXPECT_EQ(got, s.expected) << int(s.map);
    }
}

int Luma(TColor C) { return (C & 0xFF) * 299 + ((C >> 8) & 0xFF) * 587 + ((C >> 16) & 0xFF) * 114; }

int Contrast(const TKwpPngButtonStateColors& S) { return std::abs(Luma(S.FontColor) - Luma(S.Color)); }

TEST(ColorMaps, EveryStateOfEveryMapKeepsItsCaptionReadable) {
    for (int m = 1; m <= PredefinedColorMapCount; ++m) {
        TKwpPngButtonColorMap map{};
        GetPredefinedColorMap(TKwpPngButtonColorMapType(m), map);
        const int least = std::min(30000, Contrast(map.Normal) * 6 / 10);
        for (const TKwpPngButtonStateColors* s : {&map.Normal, &map.Hot, &map.Down, &map.Focused, &map.Disabled})
            EXPECT_GE(Contrast(*s), least) << "map " << m;
        EXPECT_NE(map.Hot.Color | map.Hot.BorderColor | map.FocusRectColor, 0) << "map " << m;  // every map is filled
    }
}

TEST(ColorMaps, CustomAndUnknownTypesLeaveTheRecord) {
    TKwpPngButtonColorMap map{};
    map.Hot.Color = 0x424242;
    GetPredefinedColorMap(cmtCustom, map);
    GetPredefinedColorMap(TKwpPngButtonColorMapType(37), map);
    EXPECT_EQ(map.Hot.Color, 0x424242);
}

TEST(ColorMaps, ReadsSystemColoursAsRgbAndWritesThroughTheSetters) {
    TKwpPngButton button(nullptr);
    button.Appearance()->Normal()->Font()->SetColor(vcl::clWindowText);
    TKwpPngButtonColorMap map;
    GetButtonColorMap(&button, map);
    EXPECT_EQ(map.Normal.FontColor, vcl::ColorToRGB(vcl::clWindowText));
    ChangeCounter counter;
    button.Appearance()->SetOnChange(counter.Event());
    counter.count = 0;
    map.Disabled.UpperGradientColorTo = 0x010101;
    map.BorderWhenDefaultColor = 0x020202;
    button.ApplyColorMap(map);
    EXPECT_EQ(button.Appearance()->Disabled()->UpperGradient()->ColorTo(), 0x010101);
    EXPECT_EQ(button.Appearance()->BorderWhenDefault()->Color(), 0x020202);
    EXPECT_GE(counter.count, 2);
    // A single colour changed afterwards keeps the recorded map.
    button.SetColorMapType(cmtVclJet);
    button.Appearance()->Hot()->SetColor(0);
    EXPECT_EQ(button.ColorMapType(), cmtVclJet);
}

struct StyleCase {
    const char* name;
    bool defaultDrawing;
    TKwpPngButtonColorMapType map;  // cmtCustom: the colours stay
};

class StyleChoice : public ::testing::TestWithParam<StyleCase> {};

TEST_P(StyleChoice, PicksTheLookByTheStyleName) {
    const StyleCase& c = GetParam();
    TKwpPngButton button(nullptr);
    button.Appearance()->Hot()->SetColor(0x111111);  // a colour no map has
    ApplyColorMapForStyle(&button, QString::fromUtf8(c.name));
    EXPECT_EQ(button.Appearance()->DefaultDrawing(), c.defaultDrawing);
    EXPECT_EQ(button.StyleElements().Empty(), !c.defaultDrawing);
    EXPECT_EQ(button.ColorMapType(), c.map);
    if (c.map == cmtCustom) {
        EXPECT_EQ(button.Appearance()->Hot()->Color(), 0x111111);
    } else {
        TKwpPngButtonColorMap expected;
        GetPredefinedColorMap(c.map, expected);
        EXPECT_EQ(button.Appearance()->Hot()->Color(), expected.Hot.Color);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, StyleChoice,
                         ::testing::Values(StyleCase{"  charcoal Dark slate ", false, cmtVclCharcoalDarkSlate},
                                           StyleCase{"Windows", true, cmtCustom},
                                           StyleCase{" w I n d o w s ", true, cmtCustom},
                                           StyleCase{"", true, cmtCustom},
                                           StyleCase{"Jet Black", false, cmtVclJet},
                                           StyleCase{"Aqua Light Slate", false, cmtVclAquaLightSlate},
                                           StyleCase{"Cobalt XEMedia", false, cmtVclCobaltXEMedia},
                                           StyleCase{"Iceberg Classico", false, cmtVclIcebergClassico},
                                           StyleCase{"Sapphire Kamri", false, cmtCustom},
                                           StyleCase{"Windows10", false, cmtCustom}));

TEST(ButtonFonts, NameAndSizeGoToTheButtonAndItsFiveStates) {
    TKwpPngButton button(nullptr);
    SetButtonFonts(&button, QStringLiteral("DejaVu Serif"), 13);
    TKwpButtonAppearance* a = button.Appearance();
    for (vcl::TFont* f : {button.Font(), a->Normal()->Font(), a->Hot()->Font(), a->Down()->Font(), a->Focused()->Font(),
                          a->Disabled()->Font()}) {
        EXPECT_EQ(f->Name(), "DejaVu Serif");
        EXPECT_EQ(f->Size(), 13);
    }
}

} // namespace

namespace {

TEST_F(PngButton, CompanionFollowsTheButtonAndIsLetGoWhenFreed) {
    auto* companion = new vcl::TButton(form);
    companion->SetParent(form);
    companion->SetBounds(0, 0, 30, 20);
    button->AnchoredControls()->Right()->SetControl(companion);
    button->SetBounds(30, 60, 120, 40);
    EXPECT_EQ(companion->Left(), 30 + 120 + button->AnchoredControls()->Right()->Spacing());
    delete companion;
    EXPECT_EQ(button->AnchoredControls()->Right()->Control(), nullptr);
    button->SetBounds(40, 60, 120, 40);  // nothing left to move
}

TEST_F(PngButton, TakesTheActionsImageUnlessTheFormGaveOne) {
    auto* images = new vcl::TImageList(form);
    images->SetSize(8, 8);
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf24bit);
    bmp.SetSize(8, 8);
    bmp.Canvas()->Brush()->SetColor(0x0000FF);
    bmp.Canvas()->FillRect(vcl::TRect(0, 0, 8, 8));
    images->Add(&bmp, nullptr);
    auto* actions = new vcl::TActionList(form);
    actions->SetImages(images);
    auto* action = new vcl::TAction(form);
    action->SetActionList(actions);
    action->SetImageIndex(0);
    button->SetAction(action);
    EXPECT_TRUE(button->ImageFromAction());
    EXPECT_EQ(button->PngImage()->Width(), 8);
    // A glyph set by the form stays when the action changes.
    auto own = Glyph(4, 4);
    button->SetPngImage(own.get());
    action->SetCaption(QStringLiteral("Other"));
    EXPECT_FALSE(button->ImageFromAction());
    EXPECT_EQ(button->PngImage()->Width(), 4);
}

} // namespace

#include "PanelPaint.h"

namespace {

TEST_F(PngButton, UnderACustomStyleTheHookDrawsTheGlyph) {
    vcl::TCustomStyleServices* jet = components_test::ShippedStyle(QStringLiteral("Jet"));
    if (!jet) GTEST_SKIP() << "TW_SOURCE_DIR (set by CTest) names the shipped styles' folder";
    auto glyph = Glyph(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            glyph->Scanline(y)[3 * x + 2] = 255;
            glyph->AlphaScanline(y)[x] = 255;
        }
    button->SetPngImage(glyph.get());
    button->Appearance()->SetDefaultDrawing(true);
    vcl::TStyleManager::SetStyle(jet);
    button->Invalidate();
    H.Pump();
    const TColor centre = At(60, 20), face = At(4, 20);
    vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    EXPECT_EQ(centre, 0x0000FF);  // the glyph, centred: no caption
    EXPECT_NE(face, vcl::ColorToRGB(vcl::clBtnFace));
}

} // namespace
