// tests/platform/vcl/GraphicsTest.cpp
#include "vcl/Graphics.h"

#include "vcl/Jpeg.h"
#include "vcl/PngImage.h"

#include "tests/support/TempDir.h"

#include <QFile>

#include <cstring>
#include <utility>
#include <vector>
#include <gtest/gtest.h>

using namespace vcl;

namespace {

// A white 32-bit bitmap to draw on.
std::unique_ptr<TBitmap> WhiteBitmap(int W, int H) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetPixelFormat(pf32bit);
    bmp->SetSize(W, H);
    return bmp;
}

struct ChangeCounter {
    int Count = 0;
    void Changed(rtl::TObject*) { ++Count; }
};

} // namespace

// ---- colours ----

TEST(Colors, SystemColoursResolveThroughGetSysColor) {
    TwSetSysColor(COLOR_BTNFACE, RGB(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clBtnFace), TColor(RGB(1, 2, 3)));
    TwResetSystemSettings();
    EXPECT_EQ(ColorToRGB(clBtnFace), TColor(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(clBtnFace, TColor(0xFF00000F));
}

TEST(Colors, NamesConvertBothWays) {
    EXPECT_EQ(ColorToString(clBtnFace), QStringLiteral("clBtnFace"));
    EXPECT_EQ(ColorToString(TColor(0x123456)), QStringLiteral("$00123456"));
    EXPECT_EQ(StringToColor(QStringLiteral("clfuchsia")), clFuchsia);
    EXPECT_EQ(StringToColor(QStringLiteral("$00FF00")), clLime);
    EXPECT_THROW(StringToColor(QStringLiteral("clNoSuchColour")), rtl::EConvertError);
}

// ---- font, pen, brush ----

TEST(Font, ChangesFireOneEventEachAndNoneWhenUnchanged) {
    TFont font;
    ChangeCounter counter;
    font.OnChange = rtl::TNotifyEvent(&counter, &ChangeCounter::Changed);
    font.SetName(QStringLiteral("Verdana"));
    font.SetSize(10);
    font.SetStyle({fsBold, fsUnderline});
    font.SetColor(clRed);
    EXPECT_EQ(counter.Count, 4);
    font.SetName(QStringLiteral("Verdana"));
    font.SetSize(10);
    font.SetStyle({fsUnderline, fsBold});
    font.SetColor(clRed);
    EXPECT_EQ(counter.Count, 4);

    TFont other;
    other.SetName(QStringLiteral("Arial"));
    other.SetHeight(-20);
    other.SetStyle({fsItalic});
    other.SetColor(clBlue);
    other.SetPitch(fpFixed);
    font.Assign(&other);
    EXPECT_EQ(counter.Count, 5);
    EXPECT_EQ(font.Name(), QStringLiteral("Arial"));
    EXPECT_EQ(font.Height(), -20);
    EXPECT_EQ(font.Style(), TFontStyles({fsItalic}));
    EXPECT_EQ(font.Color(), clBlue);
    EXPECT_EQ(font.Pitch(), fpFixed);
}

TEST(Font, SizeAndHeightFollowThePixelsPerInch) {
    TFont font;
    font.SetPixelsPerInch(96);
    font.SetSize(8);
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Size(), 8);
    font.SetHeight(-16);
    EXPECT_EQ(font.Size(), 12);
    font.SetPixelsPerInch(144);
    font.SetSize(9);
    EXPECT_EQ(font.Height(), -18);
}

TEST(Font, HandleCarriesThePropertiesAndAdoptedHandlesSetThem) {
    TFont font;
    font.SetName(QStringLiteral("Verdana"));
    font.SetHeight(-13);
    font.SetStyle({fsBold, fsStrikeOut});
    font.SetOrientation(900);
    LOGFONTW lf{};
    ASSERT_GT(GetObjectW(font.Handle(), sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(QString::fromUtf16(lf.lfFaceName), QStringLiteral("Verdana"));

    LOGFONTW mine{};
    mine.lfHeight = -21;
    mine.lfWeight = FW_NORMAL;
    mine.lfItalic = 1;
    std::memcpy(mine.lfFaceName, u"Courier New", sizeof(u"Courier New"));
    HFONT handle = CreateFontIndirectW(&mine);
    TFont adopted;
    ChangeCounter counter;
    adopted.OnChange = rtl::TNotifyEvent(&counter, &ChangeCounter::Changed);
    adopted.SetHandle(handle);
    EXPECT_EQ(adopted.Handle(), handle);
    EXPECT_EQ(adopted.Height(), -21);
    EXPECT_EQ(adopted.Style(), TFontStyles({fsItalic}));
    EXPECT_EQ(adopted.Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(counter.Count, 1);
}

TEST(Brush, ColourMakesAClearBrushSolid) {
    TBrush brush;
    brush.SetStyle(bsClear);
    brush.SetColor(brush.Color());
    EXPECT_EQ(brush.Style(), bsSolid);
    TPen pen;
    EXPECT_EQ(pen.Color(), clBlack);
    EXPECT_EQ(pen.Width(), 1);
    EXPECT_EQ(pen.Style(), psSolid);
    EXPECT_EQ(pen.Mode(), pmCopy);
}

// ---- canvas: drawing reaches the pixels ----

TEST(Canvas, FillRectAndRectangleFollowGdiEdges) {
    auto bmp = WhiteBitmap(10, 10);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clBlue);
    c->FillRect(TRect(1, 1, 4, 4));
    EXPECT_EQ(c->Pixels(1, 1), clBlue);
    EXPECT_EQ(c->Pixels(3, 3), clBlue);
    EXPECT_EQ(c->Pixels(4, 4), clWhite);            // right and bottom excluded

    c->Pen()->SetColor(clRed);
    c->Brush()->SetColor(clLime);
    c->Rectangle(5, 5, 9, 9);
    EXPECT_EQ(c->Pixels(5, 5), clRed);
    EXPECT_EQ(c->Pixels(8, 8), clRed);
    EXPECT_EQ(c->Pixels(6, 6), clLime);
    EXPECT_EQ(c->Pixels(9, 9), clWhite);

    // The pixels are in the bitmap's own memory.
    const auto* row = static_cast<const uint8_t*>(bmp->ScanLine(2));
    EXPECT_EQ(row[2 * 4], 0xFF);                    // blue byte
    EXPECT_EQ(row[2 * 4 + 2], 0x00);                // red byte
}

TEST(Canvas, LinesSkipTheirEndPointAndPenModesApply) {
    auto bmp = WhiteBitmap(8, 3);
    TCanvas* c = bmp->Canvas();
    c->Pen()->SetColor(clBlack);
    c->MoveTo(0, 1);
    c->LineTo(5, 1);
    EXPECT_EQ(c->Pixels(4, 1), clBlack);
    EXPECT_EQ(c->Pixels(5, 1), clWhite);
    EXPECT_EQ(c->PenPos(), TPoint(5, 1));

    c->Pen()->SetMode(pmNot);
    c->MoveTo(0, 1);
    c->LineTo(2, 1);
    EXPECT_EQ(c->Pixels(0, 1), clWhite);            // black inverted
    c->Pen()->SetMode(pmCopy);
}

TEST(Canvas, TextOutWithASolidBrushPaintsItsBox) {
    auto bmp = WhiteBitmap(80, 30);
    TCanvas* c = bmp->Canvas();
    c->Font()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    const TSize extent = c->TextExtent(QStringLiteral("Wq"));
    EXPECT_GT(extent.cx, 0);
    EXPECT_GT(extent.cy, 0);
    EXPECT_EQ(c->TextWidth(QStringLiteral("Wq")), extent.cx);
    c->TextOut(2, 2, QStringLiteral("Wq"));
    EXPECT_EQ(c->Pixels(2, 2), clYellow);            // the cell background
    EXPECT_EQ(c->PenPos(), TPoint(2 + extent.cx, 2));
    EXPECT_EQ(c->Pixels(2 + extent.cx + 1, 2), clWhite);

    c->Brush()->SetStyle(bsClear);
    c->TextOut(2, 15, QStringLiteral(" "));
    EXPECT_EQ(c->Pixels(2, 16), clWhite);            // transparent text leaves the background
}

TEST(Canvas, TextRectCalcRectMeasuresWithoutDrawing) {
    auto bmp = WhiteBitmap(60, 40);
    TCanvas* c = bmp->Canvas();
    TRect r(0, 0, 200, 0);
    rtl::String text = QStringLiteral("Hello");
    c->TextRect(r, text, {tfCalcRect, tfSingleLine});
    EXPECT_EQ(r.Width(), c->TextWidth(text));
    EXPECT_EQ(r.Height(), c->TextHeight(text));
    for (int x = 0; x < 60; ++x) ASSERT_EQ(c->Pixels(x, 5), clWhite);
    EXPECT_EQ(TTextFormatFlags({tfCenter, tfVerticalCenter, tfSingleLine}), UINT(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
    EXPECT_EQ(TextFormatFromFlags(DT_RIGHT | DT_WORDBREAK), TTextFormat({tfRight, tfWordBreak}));
}

TEST(Canvas, CopyRectUsesTheCopyMode) {
    auto src = WhiteBitmap(4, 4);
    src->Canvas()->Brush()->SetColor(clRed);
    src->Canvas()->FillRect(TRect(0, 0, 2, 2));
    auto dst = WhiteBitmap(4, 4);
    dst->Canvas()->CopyRect(TRect(0, 0, 4, 4), src->Canvas(), TRect(0, 0, 4, 4));
    EXPECT_EQ(dst->Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(dst->Canvas()->Pixels(3, 3), clWhite);
    dst->Canvas()->SetCopyMode(cmDstInvert);
    dst->Canvas()->CopyRect(TRect(0, 0, 4, 4), src->Canvas(), TRect(0, 0, 4, 4));
    EXPECT_EQ(dst->Canvas()->Pixels(1, 1), TColor(0xFFFF00));   // red inverted: cyan
    EXPECT_EQ(dst->Canvas()->Pixels(3, 3), clBlack);
}

TEST(Canvas, StretchDrawScalesIntoTheRectangleWithinTheClip) {
    auto dot = WhiteBitmap(1, 1);
    dot->Canvas()->SetPixels(0, 0, clRed);
    auto target = WhiteBitmap(6, 5);
    EXPECT_EQ(target->Canvas()->ClipRect(), TRect(0, 0, 6, 5));
    target->Canvas()->StretchDraw(TRect(1, 1, 4, 4), dot.get());
    EXPECT_EQ(target->Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(target->Canvas()->Pixels(3, 3), clRed);
    EXPECT_EQ(target->Canvas()->Pixels(4, 4), clWhite);
    EXPECT_EQ(target->Canvas()->Pixels(0, 0), clWhite);
}

TEST(Canvas, ForeignHandleIsBoundAndReleased) {
    auto bmp = WhiteBitmap(4, 4);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp->Handle());
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.Brush()->SetColor(clGreen);
        canvas.FillRect(TRect(0, 0, 1, 1));
        EXPECT_EQ(canvas.Handle(), dc);
        canvas.SetHandle(nullptr);
        EXPECT_FALSE(canvas.HandleAllocated());
        EXPECT_THROW(canvas.FillRect(TRect(0, 0, 1, 1)), rtl::EInvalidOperation);
    }
    EXPECT_EQ(GetPixel(dc, 0, 0), COLORREF(clGreen));
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(Canvas, DrawingOnABitmapCanvasFiresTheBitmapsOnChange) {
    auto bmp = WhiteBitmap(4, 4);
    ChangeCounter counter;
    bmp->OnChange = rtl::TNotifyEvent(&counter, &ChangeCounter::Changed);
    bmp->Canvas()->FillRect(TRect(0, 0, 2, 2));
    bmp->Canvas()->SetPixels(3, 3, clRed);
    EXPECT_EQ(counter.Count, 2);
}

TEST(Canvas, PatternBrushPaintsTheBitmap) {
    auto bmp = WhiteBitmap(4, 2);
    bmp->Canvas()->Brush()->SetBitmap(AllocPatternBitmap(clWhite, clBlack));
    bmp->Canvas()->FillRect(TRect(0, 0, 4, 2));
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 0), clWhite);
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), clBlack);
    bmp->Canvas()->Brush()->SetBitmap(nullptr);
    bmp->Canvas()->Brush()->SetColor(clRed);
    bmp->Canvas()->FillRect(TRect(0, 0, 1, 1));
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), clRed);
}

// ---- bitmap ----

struct LayoutCase {
    TPixelFormat Format;
    int BytesPerRow;                                // for a 5-pixel row, padded to 4 bytes
};

class BitmapLayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(BitmapLayoutTable, RowsAreBottomUpAndPaddedToFourBytes) {
    TBitmap bmp;
    bmp.SetPixelFormat(GetParam().Format);
    bmp.SetSize(5, 3);
    auto* r0 = static_cast<uint8_t*>(bmp.ScanLine(0));
    auto* r1 = static_cast<uint8_t*>(bmp.ScanLine(1));
    auto* r2 = static_cast<uint8_t*>(bmp.ScanLine(2));
    EXPECT_EQ(r0 - r1, GetParam().BytesPerRow);
    EXPECT_EQ(r1 - r2, GetParam().BytesPerRow);
    EXPECT_THROW(bmp.ScanLine(3), EInvalidGraphicOperation);
    EXPECT_THROW(bmp.ScanLine(-1), EInvalidGraphicOperation);
}

INSTANTIATE_TEST_SUITE_P(Formats, BitmapLayoutTable,
                         ::testing::Values(LayoutCase{pf1bit, 4}, LayoutCase{pf4bit, 4}, LayoutCase{pf8bit, 8},
                                           LayoutCase{pf24bit, 16}, LayoutCase{pf32bit, 20},
                                           LayoutCase{pfDevice, 20}));

TEST(Bitmap, NewDeepBitmapsAreWhiteInEveryRowWithZeroPadding) {
    // 24 bits: five white pixels and one byte of padding; 32 bits: white with a zero alpha byte.
    const std::pair<TPixelFormat, std::vector<uint8_t>> cases[] = {
        {pf24bit, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0}},
        {pf32bit, {0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0}}};
    for (const auto& [format, row] : cases) {
        TBitmap bmp;
        bmp.SetPixelFormat(format);
        bmp.SetSize(5, 3);
        for (int y = 0; y < 3; ++y) {
            const auto* line = static_cast<const uint8_t*>(bmp.ScanLine(y));
            EXPECT_EQ(std::vector<uint8_t>(line, line + row.size()), row) << "format " << int(format) << ", row " << y;
        }
    }
}

TEST(Bitmap, SixteenBitFormatsAreRefused) {
    TBitmap bmp;
    bmp.SetSize(2, 2);
    EXPECT_THROW(bmp.SetPixelFormat(pf16bit), EInvalidGraphic);
    EXPECT_THROW(bmp.SetPixelFormat(pf15bit), EInvalidGraphic);
    EXPECT_EQ(bmp.PixelFormat(), pfDevice);
}

TEST(Bitmap, ResizingKeepsTheTopLeftAndFillsWhite) {
    auto bmp = WhiteBitmap(2, 2);
    bmp->Canvas()->SetPixels(1, 1, clRed);
    bmp->SetSize(4, 3);
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(bmp->Canvas()->Pixels(3, 2), clWhite);
    bmp->SetSize(1, 1);
    bmp->SetSize(2, 2);
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), clWhite);
}

TEST(Bitmap, PixelFormatChangesConvertThePixels) {
    auto bmp = WhiteBitmap(3, 1);
    bmp->Canvas()->SetPixels(0, 0, clBlack);
    bmp->Canvas()->SetPixels(1, 0, TColor(0x102030));
    bmp->SetPixelFormat(pf24bit);
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 0), TColor(0x102030));
    bmp->SetMonochrome(true);
    EXPECT_TRUE(bmp->Monochrome());
    EXPECT_EQ(bmp->PixelFormat(), pf1bit);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(bmp->Canvas()->Pixels(2, 0), clWhite);
}

TEST(Bitmap, TransparentColourIsTheBottomLeftPixelUntilFixed) {
    auto bmp = WhiteBitmap(3, 3);
    bmp->Canvas()->SetPixels(0, 2, clFuchsia);
    EXPECT_EQ(bmp->TransparentMode(), tmAuto);
    EXPECT_EQ(bmp->TransparentColor(), clFuchsia);
    bmp->SetTransparentColor(clLime);
    EXPECT_EQ(bmp->TransparentMode(), tmFixed);
    EXPECT_EQ(bmp->TransparentColor(), clLime);
    bmp->SetTransparentMode(tmAuto);
    EXPECT_EQ(bmp->TransparentColor(), clFuchsia);
}

TEST(Bitmap, TransparentDrawSkipsTheKeyColour) {
    auto glyph = WhiteBitmap(2, 1);
    glyph->Canvas()->SetPixels(0, 0, clFuchsia);
    glyph->Canvas()->SetPixels(1, 0, clBlue);
    glyph->SetTransparentColor(clFuchsia);
    glyph->SetTransparent(true);
    auto target = WhiteBitmap(2, 1);
    target->Canvas()->Brush()->SetColor(clGray);
    target->Canvas()->FillRect(TRect(0, 0, 2, 1));
    target->Canvas()->Draw(0, 0, glyph.get());
    EXPECT_EQ(target->Canvas()->Pixels(0, 0), clGray);
    EXPECT_EQ(target->Canvas()->Pixels(1, 0), clBlue);
}

TEST(Bitmap, AlphaFormatPremultipliesAndBack) {
    TBitmap bmp;
    bmp.SetPixelFormat(pf32bit);
    bmp.SetSize(1, 1);
    auto* p = static_cast<uint8_t*>(bmp.ScanLine(0));
    p[0] = 200;
    p[1] = 100;
    p[2] = 0;
    p[3] = 128;
    bmp.SetAlphaFormat(afDefined);
    EXPECT_EQ(p[0], 200);
    bmp.SetAlphaFormat(afPremultiplied);
    EXPECT_EQ(p[0], 100);
    EXPECT_EQ(p[1], 50);
    bmp.SetAlphaFormat(afDefined);
    EXPECT_NEAR(p[0], 200, 2);
    EXPECT_EQ(p[3], 128);
}

TEST(Bitmap, HandleIsADibSectionAndCanBeAdopted) {
    auto bmp = WhiteBitmap(3, 2);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectW(bmp->Handle(), sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidth, 3);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(ds.dsBm.bmBits, static_cast<void*>(bmp->ScanLine(1)));

    HBITMAP released = bmp->ReleaseHandle();
    TBitmap adopted;
    adopted.SetHandle(released);
    EXPECT_EQ(adopted.Width(), 3);
    EXPECT_EQ(adopted.Height(), 2);
    EXPECT_EQ(adopted.Handle(), released);
    EXPECT_EQ(adopted.Canvas()->Pixels(2, 1), clWhite);

    // A device-dependent bitmap is taken over as a DIB of its own.
    HBITMAP ddb = CreateCompatibleBitmap(adopted.Canvas()->Handle(), 4, 4);
    TBitmap fromDdb;
    fromDdb.SetHandle(ddb);
    EXPECT_EQ(fromDdb.Width(), 4);
    EXPECT_NO_THROW(fromDdb.ScanLine(3));
}

struct BmpCase {
    TPixelFormat Format;
};

class BmpRoundTripTable : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpRoundTripTable, SavesAndLoadsTheSamePixels) {
    testing_support::TempDir dir;
    auto bmp = WhiteBitmap(7, 5);
    bmp->Canvas()->Brush()->SetColor(clBlack);
    bmp->Canvas()->FillRect(TRect(0, 0, 3, 2));
    bmp->Canvas()->SetPixels(6, 4, clRed);
    bmp->SetPixelFormat(GetParam().Format);
    const QString file = dir.QFile(QStringLiteral("x.bmp"));
    bmp->SaveToFile(file);
    TBitmap back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.PixelFormat(), GetParam().Format);
    ASSERT_EQ(back.Width(), 7);
    ASSERT_EQ(back.Height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(back.Canvas()->Pixels(x, y), bmp->Canvas()->Pixels(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Formats, BmpRoundTripTable,
                         ::testing::Values(BmpCase{pf1bit}, BmpCase{pf4bit}, BmpCase{pf8bit}, BmpCase{pf24bit},
                                           BmpCase{pf32bit}));

TEST(Bitmap, ReadsTopDownBmpFiles) {
    // 2x2, 24-bit, negative height: the first stored row is the top one.
    rtl::TBytes file = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF,
                        1, 0, 24, 0};
    file.resize(54, 0);
    const uint8_t rows[] = {0, 0, 255, 0, 0, 255, 0, 0,          // top: red red
                            255, 0, 0, 255, 0, 0, 0, 0};         // bottom: blue blue
    file.insert(file.end(), rows, rows + sizeof rows);
    rtl::TBytesStream in(file);
    TBitmap bmp;
    bmp.LoadFromStream(&in);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 1), clBlue);
}

TEST(Bitmap, SixteenBitBmpFilesLoadAsTwentyFourBit) {
    rtl::TBytes file = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 16, 0};
    file.resize(54, 0);
    file.insert(file.end(), {0x00, 0x7C, 0x1F, 0x00});          // 5-5-5: red, blue
    rtl::TBytesStream in(file);
    TBitmap bmp;
    bmp.LoadFromStream(&in);
    EXPECT_EQ(bmp.PixelFormat(), pf24bit);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clBlue);
}

TEST(Bitmap, DamagedBmpRaisesEInvalidGraphicAndKeepsThePicture) {
    auto good = WhiteBitmap(4, 4);
    good->SetPixelFormat(pf8bit);
    rtl::TMemoryStream saved;
    good->SaveToStream(&saved);
    const auto* p = static_cast<const uint8_t*>(saved.Memory());
    const rtl::TBytes bytes(p, p + saved.Size());
    std::vector<rtl::TBytes> cases;
    cases.push_back({});
    cases.push_back({'B', 'M'});
    cases.push_back(rtl::TBytes(bytes.begin(), bytes.end() - 3));           // rows cut short
    rtl::TBytes bad = bytes;
    bad[14] = 99;                                                            // unknown header size
    cases.push_back(bad);
    bad = bytes;
    bad[18] = 0xFF; bad[19] = 0xFF; bad[20] = 0xFF; bad[21] = 0x7F;         // width 2^31 - 1
    cases.push_back(bad);
    bad[22] = 0xFF; bad[23] = 0xFF; bad[24] = 0xFF; bad[25] = 0x7F;         // and height 2^31 - 1,
    bad[28] = 32;                                                            // rows of 2^33 bytes
    cases.push_back(bad);
    bad = bytes;
    bad[10] = 0xFF; bad[11] = 0xFF;                                          // pixels past the end
    cases.push_back(bad);
    TBitmap bmp;
    bmp.SetSize(2, 2);
    for (size_t i = 0; i < cases.size(); ++i) {
        rtl::TBytesStream in(cases[i]);
        EXPECT_THROW(bmp.LoadFromStream(&in), EInvalidGraphic) << "case " << i;
        EXPECT_EQ(bmp.Width(), 2) << "case " << i;
    }
}

// ---- icon and picture ----

namespace {

// An .ico with one 32-bit 4x4 entry: opaque red, with a transparent top-left pixel.
rtl::TBytes MakeIcon() {
    rtl::TBytes ico = {0, 0, 1, 0, 1, 0, 4, 4, 0, 0, 1, 0, 32, 0};
    const uint32_t size = 40 + 4 * 4 * 4 + 4 * 4, offset = 22;
    for (int i = 0; i < 4; ++i) ico.push_back(uint8_t(size >> (8 * i)));
    for (int i = 0; i < 4; ++i) ico.push_back(uint8_t(offset >> (8 * i)));
    BITMAPINFOHEADER bih{};
    bih.biSize = 40;
    bih.biWidth = 4;
    bih.biHeight = 8;
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    const auto* b = reinterpret_cast<const uint8_t*>(&bih);
    ico.insert(ico.end(), b, b + 40);
    for (int y = 3; y >= 0; --y)
        for (int x = 0; x < 4; ++x) {
            const bool clear = x == 0 && y == 0;
            ico.insert(ico.end(), {0, 0, uint8_t(clear ? 0 : 255), uint8_t(clear ? 0 : 255)});
        }
    for (int y = 3; y >= 0; --y) ico.insert(ico.end(), {uint8_t(y == 0 ? 0x80 : 0), 0, 0, 0});
    return ico;
}

} // namespace

TEST(Icon, LoadsAnIcoFileAndDrawsWithItsMask) {
    rtl::TBytesStream in(MakeIcon());
    TIcon icon;
    icon.LoadFromStream(&in);
    EXPECT_EQ(icon.Width(), 4);
    EXPECT_EQ(icon.Height(), 4);
    EXPECT_TRUE(icon.Transparent());
    ASSERT_NE(icon.Handle(), nullptr);
    auto target = WhiteBitmap(4, 4);
    target->Canvas()->Draw(0, 0, &icon);
    EXPECT_EQ(target->Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(target->Canvas()->Pixels(1, 0), clRed);

    rtl::TMemoryStream out;
    icon.SaveToStream(&out);
    EXPECT_EQ(out.Size(), int64_t(MakeIcon().size()));

    std::vector<rtl::TBytes> damaged(6, MakeIcon());
    damaged[0].resize(60);                          // the image runs past the end
    damaged[1][14] = 20;                            // an entry too small for its header
    damaged[2][4] = 0;                              // no entries
    damaged[3][2] = 2;                              // a cursor file
    damaged[4][21] = 0x7F;                          // offset far past the end
    damaged[5][22 + 8] = 0x10;                      // 16-pixel-high header over 4-pixel data
    for (size_t i = 0; i < damaged.size(); ++i) {
        rtl::TBytesStream bad(damaged[i]);
        EXPECT_THROW(icon.LoadFromStream(&bad), EInvalidGraphic) << "case " << i;
        EXPECT_EQ(icon.Width(), 4) << "case " << i;
    }
}

TEST(Icon, ConvertsToABitmapWithAlphaAndSavesAnAdoptedHandle) {
    rtl::TBytesStream in(MakeIcon());
    TIcon loaded;
    loaded.LoadFromStream(&in);
    TIcon icon;
    icon.SetHandle(CopyIcon(loaded.Handle()));
    EXPECT_EQ(icon.Width(), 4);
    EXPECT_EQ(icon.Height(), 4);

    TBitmap bmp;
    bmp.Assign(&icon);
    EXPECT_EQ(bmp.PixelFormat(), pf32bit);
    EXPECT_EQ(bmp.AlphaFormat(), afDefined);
    const auto* top = static_cast<const uint8_t*>(bmp.ScanLine(0));
    EXPECT_EQ(top[3], 0);                           // the transparent corner
    EXPECT_EQ(top[4 + 2], 255);                     // red
    EXPECT_EQ(top[4 + 3], 255);

    // Known only by its handle, the icon is written as one 32-bit entry that reads back the same.
    rtl::TMemoryStream out;
    icon.SaveToStream(&out);
    out.SetPosition(0);
    TIcon back;
    back.LoadFromStream(&out);
    auto target = WhiteBitmap(4, 4);
    target->Canvas()->Draw(0, 0, &back);
    EXPECT_EQ(target->Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(target->Canvas()->Pixels(3, 3), clRed);
}

TEST(Picture, ChoosesTheGraphicClassByExtension) {
    testing_support::TempDir dir;
    TPngImage png;
    png.CreateBlank(COLOR_RGB, 8, 3, 2);
    png.SaveToFile(dir.QFile(QStringLiteral("a.PNG")));
    auto bmp = WhiteBitmap(5, 4);
    bmp->SaveToFile(dir.QFile(QStringLiteral("b.bmp")));
    TJPEGImage jpeg;
    jpeg.Assign(bmp.get());
    jpeg.SaveToFile(dir.QFile(QStringLiteral("c.jpeg")));
    {
        QFile f(dir.QFile(QStringLiteral("d.ico")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const rtl::TBytes ico = MakeIcon();
        f.write(reinterpret_cast<const char*>(ico.data()), qint64(ico.size()));
    }

    TPicture picture;
    ChangeCounter counter;
    picture.OnChange = rtl::TNotifyEvent(&counter, &ChangeCounter::Changed);
    picture.LoadFromFile(dir.QFile(QStringLiteral("a.PNG")));
    EXPECT_NE(dynamic_cast<TPngImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 3);
    picture.LoadFromFile(dir.QFile(QStringLiteral("b.bmp")));
    EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    picture.LoadFromFile(dir.QFile(QStringLiteral("c.jpeg")));
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Height(), 4);
    picture.LoadFromFile(dir.QFile(QStringLiteral("d.ico")));
    EXPECT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
    EXPECT_EQ(counter.Count, 4);

    EXPECT_THROW(picture.LoadFromFile(dir.QFile(QStringLiteral("e.xyz"))), EInvalidGraphic);
    EXPECT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);      // the old graphic stays

    TPicture copy;
    copy.Assign(&picture);
    ASSERT_NE(copy.Graphic(), nullptr);
    EXPECT_NE(copy.Graphic(), picture.Graphic());
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_TRUE(copy.Bitmap()->Empty());                              // another class: replaced
}

TEST(Picture, StoredClassNamesFindTheirClasses) {
    std::unique_ptr<TGraphic> g(TPicture::CreateGraphicByClassName(QStringLiteral("TPNGObject")));
    EXPECT_NE(dynamic_cast<TPNGObject*>(g.get()), nullptr);
    TPicture::RegisterFileFormat(QString(), QString(), QStringLiteral("TMyGlyph"), [] { return new TPngImage; });
    g.reset(TPicture::CreateGraphicByClassName(QStringLiteral("TMyGlyph")));
    EXPECT_NE(g, nullptr);
    TPicture::UnregisterGraphicClass(QStringLiteral("TMyGlyph"));
    EXPECT_EQ(TPicture::CreateGraphicByClassName(QStringLiteral("TMyGlyph")), nullptr);
}

TEST(PatternBitmap, IsACachedTwoColourChecker) {
    TBitmap* pattern = AllocPatternBitmap(clWhite, clBlack);
    ASSERT_EQ(pattern->Width(), 8);
    EXPECT_EQ(pattern->Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(pattern->Canvas()->Pixels(1, 0), clWhite);
    EXPECT_EQ(pattern->Canvas()->Pixels(1, 1), clBlack);
    EXPECT_EQ(AllocPatternBitmap(clWhite, clBlack), pattern);
    EXPECT_NE(AllocPatternBitmap(clBlack, clWhite), pattern);
}
