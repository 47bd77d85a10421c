// The skinned bars' shared resources and the bitmap hint window.
#include "skins/SkItem.h"

#include "tests/support/windows/HeadlessApp.h"
#include "vcl/ResourceStream.h"

#include <gtest/gtest.h>

using namespace skins;

TEST(BitmapHint, TakesItsSizeFromTheBitmapAndKeepsItWhenTheTextChanges) {
    testing_support::HeadlessApp app;
    vcl::TBitmap bitmap;
    bitmap.SetPixelFormat(vcl::pf24bit);
    bitmap.SetSize(100, 20);
    bitmap.Canvas()->Brush()->SetColor(0x0000FF);
    bitmap.Canvas()->FillRect(vcl::TRect(0, 0, 100, 20));
    bitmap.Canvas()->Brush()->SetColor(0x00FF00);
    bitmap.Canvas()->FillRect(vcl::TRect(0, 0, 1, 1));

    TBitmapHint hint(nullptr);
    hint.ActivateHintData(vcl::TRect(40, 30, 400, 300), QStringLiteral("Convert"), &bitmap);
    EXPECT_EQ(hint.HintBitmap(), &bitmap);
    EXPECT_EQ(hint.BoundsRect(), vcl::TRect(40, 30, 138, 48));
    RECT window{};
    GetWindowRect(hint.Handle(), &window);
    EXPECT_EQ(vcl::TRect(window), vcl::TRect(40, 30, 138, 48));

    hint.SetText(QStringLiteral("A much longer hint text than the bitmap is wide"));
    EXPECT_EQ(hint.BoundsRect(), vcl::TRect(40, 30, 138, 48));

    // The bitmap is painted from the client's top-left corner.
    hint.Repaint();
    app.PumpUntilIdle();
    EXPECT_EQ(app.Pixel(hint.Handle(), 0, 0), 0x00FF00u);
    EXPECT_EQ(app.Pixel(hint.Handle(), 5, 5), 0xFF0000u);

    // Without a bitmap the requested rectangle stands.
    TBitmapHint plain(nullptr);
    plain.ActivateHintData(vcl::TRect(10, 10, 60, 30), QStringLiteral("x"), nullptr);
    EXPECT_EQ(plain.BoundsRect(), vcl::TRect(10, 10, 60, 30));
}

TEST(SkItemResources, AreMadeOnceWithTheCursorsRegistered) {
    testing_support::HeadlessApp app;
    vcl::TFont* font = SmallCaptionFont();
    EXPECT_EQ(SmallCaptionFont(), font);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    EXPECT_EQ(font->Height(), metrics.lfSmCaptionFont.lfHeight);
    EXPECT_EQ(font->Name(), QString::fromUtf16(metrics.lfSmCaptionFont.lfFaceName));
    EXPECT_NE(StockHintBitmap(), nullptr);
    EXPECT_EQ(TitleButtonImages()->Count(), 0);
    ASSERT_NE(vcl::Screen, nullptr);
    EXPECT_EQ(vcl::Screen->Cursors(crSkinHandPoint), LoadCursorW(nullptr, IDC_HAND));
    // The customizing pointers are the program's own, not the system shapes that stand in without them.
    EXPECT_NE(LoadCursorW(vcl::HInstance, reinterpret_cast<LPCWSTR>(u"CZMOVE")), nullptr);
    EXPECT_NE(LoadCursorW(vcl::HInstance, reinterpret_cast<LPCWSTR>(u"CZCANCEL")), nullptr);
    EXPECT_NE(vcl::Screen->Cursors(crCustomizeMove), nullptr);
    EXPECT_NE(vcl::Screen->Cursors(crCustomizeMove), LoadCursorW(nullptr, IDC_SIZEALL));
    EXPECT_NE(vcl::Screen->Cursors(crCustomizeCancel), LoadCursorW(nullptr, IDC_NO));
    FinalizeSkItemResources();
}
