// skins/SkSkinsPaint.cpp: the skin painting primitives and colour helpers.
#include "skins/SkSkinsPaint.h"

#include "vcl/Forms.h"
#include "win/windows.h"

#include <algorithm>
#include <vector>

namespace skins {

using namespace vcl;

namespace {

COLOR16 Channel16(int Channel) { return COLOR16(Channel << 8); }

// Title-button glyphs, one byte per row, most significant bit leftmost.
constexpr uint8_t GlyphClose[] = {0xC6, 0xEE, 0x7C, 0x38, 0x7C, 0xEE, 0xC6, 0x00};
constexpr uint8_t GlyphMaximize[] = {0xFF, 0xFF, 0x81, 0x81, 0x81, 0x81, 0x81, 0xFF};
constexpr uint8_t GlyphMinimize[] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x7E, 0x7E, 0x00};
constexpr uint8_t GlyphRestore[] = {0x3F, 0x3F, 0x21, 0xFD, 0xFD, 0x87, 0x84, 0x84, 0xFC};

} // namespace

// ---------------------------------------------------------------------------------------------------
// Platform and theme

TCustomStyleServices* ActiveStyleServices() { return StyleServices(); }

TSkLunaScheme DetectLunaScheme() {
    if (!GetSkinManager()->IsXPThemesEnabled()) return lusUnknown;
    WCHAR file[1024] = {};
    WCHAR color[1024] = {};
    if (GetCurrentThemeName(file, 1024, color, 1024, nullptr, 0) != S_OK) return lusUnknown;
    String name = QString::fromUtf16(file);
    name = name.mid(std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/')) + 1).toUpper();
    if (name != QStringLiteral("LUNA.MSSTYLES")) return lusUnknown;
    const String scheme = QString::fromUtf16(color).toUpper();
    if (scheme == QStringLiteral("NORMALCOLOR")) return lusBlue;
    if (scheme == QStringLiteral("METALLIC")) return lusMetallic;
    if (scheme == QStringLiteral("HOMESTEAD")) return lusGreen;
    return lusUnknown;
}

bool IsWindowsVistaOrLater() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 5;
}

bool IsGlassPainting(TControl* AControl) {
    if (!AControl || !AControl->ControlState().Contains(csGlassPaint)) return false;
    for (TWinControl* p = AControl->Parent(); p; p = p->Parent())
        if (p->DoubleBuffered()) return dynamic_cast<TCustomForm*>(p) != nullptr;
    return true;
}

void FillParentBackground(TWinControl* AControl, HDC DC, const TRect& R) {
    TWinControl* parent = AControl ? AControl->Parent() : nullptr;
    if (!parent) {
        HBRUSH brush = CreateSolidBrush(COLORREF(ColorToRGB(clBtnFace)));
        RECT rc = R;
        FillRect(DC, &rc, brush);
        DeleteObject(brush);
        return;
    }
    if (!parent->HandleAllocated()) return;
    if (!parent->DoubleBuffered() && GetSkinManager()->IsXPThemesEnabled()) {
        RECT rc = R;
        DrawThemeParentBackground(AControl->Handle(), DC, &rc);
        return;
    }
    POINT old{};
    OffsetWindowOrgEx(DC, AControl->Left(), AControl->Top(), &old);
    SendMessageW(parent->Handle(), WM_ERASEBKGND, WPARAM(DC), 0);
    SetWindowOrgEx(DC, old.x, old.y, nullptr);
}

// ---------------------------------------------------------------------------------------------------
// Colours

void SplitColorRGB(TColor Color, int& Red, int& Green, int& Blue) {
    const uint32_t c = uint32_t(ColorToRGB(Color));
    Red = int(c & 0xFF);
    Green = int((c >> 8) & 0xFF);
    Blue = int((c >> 16) & 0xFF);
}

TColor MakeClampedColor(int Red, int Green, int Blue) {
    return TColor(std::clamp(Red, 0, 255) | (std::clamp(Green, 0, 255) << 8) | (std::clamp(Blue, 0, 255) << 16));
}

TColor LightenColor(TColor Color, int Amount) {
    int r, g, b;
    SplitColorRGB(Color, r, g, b);
    return MakeClampedColor(r + Amount, g + Amount, b + Amount);
}

TColor BlendColors(TColor Color1, TColor Color2, int Amount) {
    const int d = Amount < 100 ? 100 : 1000;
    int r1, g1, b1, r2, g2, b2;
    SplitColorRGB(Color1, r1, g1, b1);
    SplitColorRGB(Color2, r2, g2, b2);
    auto mix = [&](int c1, int c2) { return (Amount * c1 + (d - Amount) * c2 + d / 2) / d; };
    return MakeClampedColor(mix(r1, r2), mix(g1, g2), mix(b1, b2));
}

String ColorToHtmlText(TColor Color) {
    int r, g, b;
    SplitColorRGB(Color, r, g, b);
    return QStringLiteral("#%1%2%3")
        .arg(r, 2, 16, QLatin1Char('0'))
        .arg(g, 2, 16, QLatin1Char('0'))
        .arg(b, 2, 16, QLatin1Char('0'))
        .toUpper();
}

String ColorToSkinText(TColor Color, int Mode) {
    if (Mode == 1) return ColorToHtmlText(Color);
    const String text = ColorToString(Color);
    if (Mode == 2 && text.startsWith(u'$')) return ColorToHtmlText(Color);
    return text;
}

// ---------------------------------------------------------------------------------------------------
// Rectangles

TRect CenteredRect(const TRect& R, int Width, int Height) {
    const int left = R.Left + (R.Width() - Width) / 2;
    const int top = R.Top + (R.Height() - Height) / 2;
    return TRect(left, top, left + Width, top + Height);
}

TRect CenteredRectHorz(const TRect& R, int Width) {
    const int left = R.Left + (R.Width() - Width) / 2;
    return TRect(left, R.Top, left + Width, R.Bottom);
}

TRect CenteredRectVert(const TRect& R, int Height) {
    const int top = R.Top + (R.Height() - Height) / 2;
    return TRect(R.Left, top, R.Right, top + Height);
}

// ---------------------------------------------------------------------------------------------------
// Lines, frames, fills

void FillRectFramed(TCanvas* ACanvas, const TRect& R, TColor FillColor, TColor FrameColor) {
    TCanvasColorsSaver saver(ACanvas);
    if (FillColor != clNone) {
        ACanvas->Brush()->SetColor(FillColor);
        ACanvas->FillRect(R);
    }
    if (FrameColor != clNone) {
        ACanvas->Brush()->SetColor(FrameColor);
        ACanvas->FrameRect(R);
    }
}

void DrawColoredLine(TCanvas* ACanvas, int X1, int Y1, int X2, int Y2, TColor Color) {
    TCanvasColorsSaver saver(ACanvas);
    ACanvas->Pen()->SetColor(Color);
    ACanvas->MoveTo(X1, Y1);
    ACanvas->LineTo(X2, Y2);
}

void DrawSkinFrame(TCanvas* ACanvas, TRect R, int Rounding, TColor C1, TColor C2, TColor C3, TColor C4,
                   TAnchors ForceRectBorders) {
    TCanvasColorsSaver saver(ACanvas);
    auto line = [&](TColor Color, std::vector<TPoint> Points) {
        if (Color == clNone) return;
        ACanvas->Pen()->SetColor(Color);
        ACanvas->Polyline(Points);
    };
    --R.Right;
    --R.Bottom;
    const TRect I(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
    line(C3, {TPoint(I.Left, I.Bottom), TPoint(I.Left, I.Top), TPoint(I.Right, I.Top)});
    line(C4, {TPoint(I.Left, I.Bottom), TPoint(I.Right, I.Bottom), TPoint(I.Right, I.Top - 1)});
    const int r = std::clamp(Rounding, 0, 2);
    auto cut = [&](TAnchorKind A, TAnchorKind B) {
        return ForceRectBorders.Contains(A) || ForceRectBorders.Contains(B) ? 0 : r;
    };
    const int tl = cut(akLeft, akTop), tr = cut(akTop, akRight), bl = cut(akLeft, akBottom), br = cut(akRight, akBottom);
    line(C1, {TPoint(R.Left + bl, R.Bottom), TPoint(R.Left, R.Bottom - bl), TPoint(R.Left, R.Top + tl),
              TPoint(R.Left + tl, R.Top), TPoint(R.Right - tr, R.Top), TPoint(R.Right, R.Top + tr)});
    line(C2, {TPoint(R.Right, R.Top + tr), TPoint(R.Right, R.Bottom - br), TPoint(R.Right - br, R.Bottom),
              TPoint(R.Left + bl - 1, R.Bottom)});
}

// ---------------------------------------------------------------------------------------------------
// Gradients

void GradientFillRange(TCanvas* ACanvas, const TRect& R, int First, int Last, TColor Color1, TColor Color2,
                       bool Vertical) {
    if (Last < First) return;
    int r1, g1, b1, r2, g2, b2;
    SplitColorRGB(Color1, r1, g1, b1);
    SplitColorRGB(Color2, r2, g2, b2);
    TRIVERTEX v[2]{};
    v[0].x = Vertical ? R.Left : R.Left + First;
    v[0].y = Vertical ? R.Top + First : R.Top;
    v[1].x = Vertical ? R.Right : R.Left + Last + 1;
    v[1].y = Vertical ? R.Top + Last + 1 : R.Bottom;
    v[0].Red = Channel16(r1), v[0].Green = Channel16(g1), v[0].Blue = Channel16(b1), v[0].Alpha = 0xFF00;
    v[1].Red = Channel16(r2), v[1].Green = Channel16(g2), v[1].Blue = Channel16(b2), v[1].Alpha = 0xFF00;
    GRADIENT_RECT mesh{0, 1};
    HDC dc = ACanvas->Handle();
    // A short rectangle can give a range past its far edge (a part of at least one row): the
    // overhang is clipped, so nothing outside R is painted and the colours inside stay as they are.
    const bool overhang = Vertical ? v[1].y > R.Bottom : v[1].x > R.Right;
    int saved = 0;
    if (overhang) {
        saved = SaveDC(dc);
        IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
    }
    GradientFill(dc, v, 2, &mesh, 1, Vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    if (overhang) RestoreDC(dc, saved);
}

namespace {
int GradientSpan(const TRect& R, bool Vertical) { return (Vertical ? R.Height() : R.Width()) - 1; }
} // namespace

void DrawGradient(TCanvas* ACanvas, const TRect& R, TColor Color1, TColor Color2, bool Vertical) {
    GradientFillRange(ACanvas, R, 0, GradientSpan(R, Vertical), Color1, Color2, Vertical);
}

void DrawGradientHalves(TCanvas* ACanvas, const TRect& R, TColor C1, TColor C2, TColor C3, TColor C4, bool Vertical) {
    const int s = GradientSpan(R, Vertical), g = std::max(s / 2, 1);
    GradientFillRange(ACanvas, R, 0, g, C1, C2, Vertical);
    GradientFillRange(ACanvas, R, g, s, C3, C4, Vertical);
}

void DrawGradientThirds(TCanvas* ACanvas, const TRect& R, TColor C1, TColor C2, TColor C3, TColor C4, bool Vertical) {
    const int s = GradientSpan(R, Vertical), g = s / 3;
    GradientFillRange(ACanvas, R, 0, g, C1, C2, Vertical);
    GradientFillRange(ACanvas, R, g, s, C3, C4, Vertical);
}

void DrawGradientThreeStep(TCanvas* ACanvas, const TRect& R, TColor C1, TColor C2, TColor C3, TColor C4,
                           bool Vertical) {
    const int s = GradientSpan(R, Vertical), g = std::max(s / 3, 1);
    GradientFillRange(ACanvas, R, 0, g, C1, C2, Vertical);
    GradientFillRange(ACanvas, R, g, 2 * g, C2, C3, Vertical);
    GradientFillRange(ACanvas, R, 2 * g, s, C3, C4, Vertical);
}

void DrawGradientCapped(TCanvas* ACanvas, const TRect& R, TColor C1, TColor C2, TColor C3, TColor C4, bool Vertical) {
    const int s = GradientSpan(R, Vertical), g = std::min(s / 3, 9);
    GradientFillRange(ACanvas, R, 0, g, C1, C2, Vertical);
    GradientFillRange(ACanvas, R, g, s, C3, C4, Vertical);
}

void PaintSkinBody(TCanvas* ACanvas, const TRect& R, TSkSkinOptionCategory* Category, bool Vertical) {
    const TSkSkinOptionEntry* body = Category->Body();
    int kind = body->SkinType();
    // Across a vertical bar the gradient runs the other way: 1<->2, 3<->4 ... 9<->10.
    if (Vertical && kind >= 1 && kind <= 10) kind = kind % 2 ? kind + 1 : kind - 1;
    const bool vertical = kind % 2 == 1;
    const TColor c1 = body->Color1(), c2 = body->Color2(), c3 = body->Color3(), c4 = body->Color4();
    switch (kind) {
    case 0: FillRectFramed(ACanvas, R, c1, clNone); break;
    case 1:
    case 2: DrawGradient(ACanvas, R, c1, c2, vertical); break;
    case 3:
    case 4: DrawGradientThreeStep(ACanvas, R, c1, c2, c3, c4, vertical); break;
    case 5:
    case 6: DrawGradientHalves(ACanvas, R, c1, c2, c3, c4, vertical); break;
    case 7:
    case 8: DrawGradientThirds(ACanvas, R, c1, c2, c3, c4, vertical); break;
    case 9:
    case 10: DrawGradientCapped(ACanvas, R, c1, c2, c3, c4, vertical); break;
    default: break;
    }
}

void PaintSkinBorders(TCanvas* ACanvas, const TRect& R, TSkSkinOptionCategory* Category, TAnchors ForceRectBorders) {
    const TSkSkinOptionEntry* borders = Category->Borders();
    const int kind = borders->SkinType();
    if (kind < 0 || kind > 2) return;
    DrawSkinFrame(ACanvas, R, kind, borders->Color1(), borders->Color2(), borders->Color3(), borders->Color4(),
                  ForceRectBorders);
}

// ---------------------------------------------------------------------------------------------------
// Marks and glyphs

void DrawArrowTriangle(TCanvas* ACanvas, int X, int Y, TColor Color, bool Vertical, bool Backward, int Size) {
    TCanvasColorsSaver saver(ACanvas);
    ACanvas->Pen()->SetColor(Color);
    ACanvas->Brush()->SetColor(Color);
    if (Vertical && Backward)
        ACanvas->Polygon({TPoint(X, Y), TPoint(X - Size, Y + Size), TPoint(X + Size, Y + Size)});
    else if (Vertical)
        ACanvas->Polygon({TPoint(X - Size, Y), TPoint(X + Size, Y), TPoint(X, Y + Size)});
    else if (Backward)
        ACanvas->Polygon({TPoint(X, Y), TPoint(X + Size, Y + Size), TPoint(X + Size, Y - Size)});
    else
        ACanvas->Polygon({TPoint(X, Y - Size), TPoint(X, Y + Size), TPoint(X + Size, Y)});
}

void DrawGripDots(TCanvas* ACanvas, const TRect& R, TColor Color, TColor ShadowColor) {
    TCanvasColorsSaver saver(ACanvas);
    const int columns = std::max(R.Width() / 4, 1), rows = std::max(R.Height() / 4, 1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            TRect dot(R.Left + 4 * c + 1, R.Top + 4 * r + 1, R.Left + 4 * c + 3, R.Top + 4 * r + 3);
            ACanvas->Brush()->SetColor(ShadowColor);
            ACanvas->FillRect(dot);
            dot.Offset(-1, -1);
            ACanvas->Brush()->SetColor(Color);
            ACanvas->FillRect(dot);
        }
}

void DrawDropMark(TCanvas* ACanvas, const TRect& R) {
    if (R.IsEmpty()) return;
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    ACanvas->Rectangle(L + 1, T, Rt - 1, T + 2);
    ACanvas->Rectangle(L + 1, B - 2, Rt - 1, B);
    ACanvas->Rectangle(L, T + 1, Rt, T + 3);
    ACanvas->Rectangle(L, B - 3, Rt, B - 1);
    ACanvas->Rectangle(L + 1, T + 4, Rt - 1, B - 4);
}

void DrawFocusRectangle(TCanvas* ACanvas, const TRect& R) {
    if (R.IsEmpty()) return;
    TCanvasColorsSaver saver(ACanvas);
    ACanvas->Font()->SetColor(clBlack);
    ACanvas->Brush()->SetColor(clWhite);
    // The dotted pattern takes the device context's colours, which the canvas sets only for text.
    HDC dc = ACanvas->Handle();
    const COLORREF text = SetTextColor(dc, 0x000000);
    const COLORREF back = SetBkColor(dc, 0xFFFFFF);
    ACanvas->DrawFocusRect(R);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

void DrawMonoPattern(HDC DC, const TRect& R, int W, int H, const uint8_t* Bits, TColor Color) {
    HBITMAP bitmap = CreateBitmap(std::max(W, 8), std::max(H, 8), 1, 1, Bits);
    if (!bitmap) return;
    const bool system = (Color & clSystemColor) == clSystemColor;
    HBRUSH brush = system ? GetSysColorBrush(Color & 0xFF) : CreateSolidBrush(COLORREF(Color));
    HDC mem = CreateCompatibleDC(DC);
    HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
    HGDIOBJ oldBrush = SelectObject(DC, brush);
    const COLORREF oldText = SetTextColor(DC, 0x000000);
    const COLORREF oldBk = SetBkColor(DC, 0xFFFFFF);
    // 0xE20746 (DSPDxax): the brush where the pattern has 1-bits, the destination elsewhere.
    BitBlt(DC, (R.Left + R.Right - W + 1) / 2, (R.Top + R.Bottom - H + 1) / 2, W, H, mem, 0, 0, 0xE20746);
    SetTextColor(DC, oldText);
    SetBkColor(DC, oldBk);
    SelectObject(DC, oldBrush);
    SelectObject(mem, oldBitmap);
    DeleteDC(mem);
    DeleteObject(bitmap);
    if (!system) DeleteObject(brush);
}

void DrawTitleButtonGlyph(TCanvas* ACanvas, const TRect& R, int Kind, TColor Color) {
    const uint8_t* rows = nullptr;
    int height = 8;
    switch (Kind) {
    case 0: rows = GlyphClose; break;
    case 1: rows = GlyphMaximize; break;
    case 2: rows = GlyphMinimize; break;
    case 3: rows = GlyphRestore, height = 9; break;
    default: return;
    }
    // Monochrome bitmap rows are word-aligned.
    uint8_t bits[2 * 9] = {};
    for (int y = 0; y < height; ++y) bits[2 * y] = rows[y];
    DrawMonoPattern(ACanvas->Handle(), R, 8, height, bits, Color);
}

// ---------------------------------------------------------------------------------------------------
// Images

void AlphaBlendRect(HDC SrcDC, HDC DstDC, const TRect& SrcRect, const TRect& DstRect, uint8_t ConstantAlpha,
                    bool PerPixelAlpha) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, ConstantAlpha, BYTE(PerPixelAlpha ? AC_SRC_ALPHA : 0)};
    AlphaBlend(DstDC, DstRect.Left, DstRect.Top, DstRect.Width(), DstRect.Height(), SrcDC, SrcRect.Left, SrcRect.Top,
               SrcRect.Width(), SrcRect.Height(), blend);
}

void DrawImageShadow(TCanvas* ACanvas, const TRect& R, TCustomImageList* ImageList, int ImageIndex) {
    const int w = std::min(ImageList->Width(), int(R.Width())), h = std::min(ImageList->Height(), int(R.Height()));
    if (w <= 0 || h <= 0) return;
    TBitmap background, image;
    for (TBitmap* b : {&background, &image}) {
        b->SetPixelFormat(pf32bit);
        b->SetSize(w, h);
        b->Canvas()->CopyRect(TRect(0, 0, w, h), ACanvas, TRect(R.Left, R.Top, R.Left + w, R.Top + h));
    }
    ImageList->Draw(image.Canvas(), 0, 0, ImageIndex, true);
    for (int y = 0; y < h; ++y) {
        auto* back = static_cast<uint8_t*>(background.ScanLine(y));
        const auto* img = static_cast<const uint8_t*>(image.ScanLine(y));
        for (int x = 0; x < w; ++x) {
            uint8_t* b = back + 4 * x;
            const uint8_t* i = img + 4 * x;
            if (b[0] == i[0] && b[1] == i[1] && b[2] == i[2]) continue;
            // Pixels are stored blue, green, red.
            const int d = (29 * i[2] + 150 * i[1] + 76 * i[0]) / 768 + 170;
            for (int c = 0; c < 3; ++c) b[c] = uint8_t(b[c] * d / 256);
        }
    }
    ACanvas->Draw(R.Left, R.Top, &background);
}

void DrawImageListImage(TCanvas* ACanvas, const TRect& R, TCustomImageList* ImageList, int ImageIndex, bool Enabled,
                        bool DisabledIconCorrection) {
    if (!ImageList || ImageIndex < 0 || ImageIndex >= ImageList->Count()) return;
    if (!Enabled && DisabledIconCorrection)
        DrawImageShadow(ACanvas, R, ImageList, ImageIndex);
    else
        ImageList->Draw(ACanvas, R.Left, R.Top, ImageIndex, Enabled);
}

} // namespace skins
