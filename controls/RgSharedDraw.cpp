#include "controls/RgSharedDraw.h"

#include "win/uxtheme/uxtheme.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace controls {

namespace {

constexpr int kSchemeColors = 24;
using TSchemeRow = std::array<TColor, kSchemeColors>;

// Rows in TColorScheme order; csDefault is never read. Unset entries are black.
constexpr std::array<TSchemeRow, 7> kSchemes = {{
    {},
    {0, 0x0A0A0A, 0x5C534C, 0xF2F1F0, 0xE1D6D2, 0x3C8CFB, 0xFFFFFF, 0xC9C2BD, 0xEBEBEB, 0x000000, 0xA49991, 0xC9C2BD,
     0xF2F1F0, 0xB6ADA7, 0xC9B0A7, 0, 0, 0, 0xA0A09E, 0xA2E7FF, 0x69BDFF, 0x3C8CFB, 0xF2F1F0, 0xCEC8C4},
    {0, 0xCE9266, 0xCF9365, 0xFFEFE3, 0xF0D9C2, 0, 0xFFFFFF, 0xFFD2AF, 0xEEE7DD, 0x8B4215, 0xFFC69A, 0xFFD2AF,
     0xFFEFE3, 0xCF9365, 0xC9B0A7, 0, 0, 0, 0xE9CFB8, 0xA2E7FF, 0x69BDFF, 0x3C8CFB, 0xFFEFE3, 0xFFD6B6},
    {0, 0xA69F9B, 0x74706F, 0xF2F1F0, 0xE1D6D2, 0, 0xFFFFFF, 0xE7DFDA, 0xEBEBEB, 0x8B4215, 0x8F6D6E, 0xE7DFDA,
     0xF8F7F6, 0x74706F, 0xC9B0A7, 0, 0, 0, 0xC2B7B2, 0xC2EEFF, 0x6FC0FF, 0x3E80FE, 0xBFA7A8, 0x977778},
    {0, 0xCE9266, 0xBD9D84, 0xE5D0BF, 0xF0D9C2, 0, 0xFBF5EF, 0xFAECE1, 0xF5F2F0, 0x8B4215, 0xBD9D84, 0xE7DFDA,
     0xF8F7F6, 0xBD9D84, 0xF0CDA7, 0, 0, 0, 0xC2B7B2, 0xC2EEFF, 0x6FC0FF, 0x3E80FE, 0xBFA7A8, 0x977778},
    {0, 0xA69F9B, 0xB5ACA5, 0xE0DBD6, 0xE1D6D2, 0, 0xF9F7F5, 0xF6F2EF, 0xEBEBEB, 0x8B4215, 0xB5ACA5, 0xE7DFDA,
     0xF8F7F6, 0xB5ACA5, 0xF0CDA7, 0, 0, 0, 0xC2B7B2, 0xC2EEFF, 0x6FC0FF, 0x3E80FE, 0xBFA7A8, 0x977778},
    {0, 0xA69F9B, 0x3B3B3B, 0x858585, 0xE1D6D2, 0, 0xF9F7F5, 0xF6F2EF, 0xF5F2F0, 0x8B4215, 0xB5ACA5, 0xE7DFDA,
     0xF8F7F6, 0x3B3B3B, 0xF0CDA7, 0, 0, 0, 0xC2B7B2, 0xC2EEFF, 0x6FC0FF, 0x3E80FE, 0xBFA7A8, 0x977778},
}};
constexpr TColorScheme kCurrentScheme = csBlue;

std::vector<vcl::TControl*>& Registry() {
    static std::vector<vcl::TControl*> list;
    return list;
}

int R(TColor C) { return C & 0xFF; }
int G(TColor C) { return (C >> 8) & 0xFF; }
int B(TColor C) { return (C >> 16) & 0xFF; }

// Work bitmaps hold 24-bit pixels; rows are addressed top-down through ScanLine.
uint8_t* Row(vcl::TBitmap* Bmp, int Y) { return static_cast<uint8_t*>(Bmp->ScanLine(Y)); }
void Put(uint8_t* P, TColor C) {
    P[0] = static_cast<uint8_t>(B(C));
    P[1] = static_cast<uint8_t>(G(C));
    P[2] = static_cast<uint8_t>(R(C));
}
TColor Get(const uint8_t* P) { return P[2] | (P[1] << 8) | (P[0] << 16); }

// One work bitmap, grown when needed and kept: making a bitmap for every header (4K wide at most)
// cost more than drawing into it. Only the top-left W x H of it is used.
vcl::TBitmap* WorkBitmap(int W, int H) {
    static vcl::TBitmap* bmp = [] {
        auto* b = new vcl::TBitmap();
        b->SetPixelFormat(vcl::pf24bit);
        return b;
    }();
    if (bmp->Width() < W || bmp->Height() < H) bmp->SetSize(std::max(W, bmp->Width()), std::max(H, bmp->Height()));
    return bmp;
}

// The top-left W x H of the work bitmap drawn at (X, Y).
void DrawWork(TCanvas* Canvas, vcl::TBitmap* Work, int X, int Y, int W, int H) {
    BitBlt(Canvas->Handle(), X, Y, W, H, Work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The canvas's pixels at (X, Y) copied into a work bitmap.
void CopyFromCanvas(vcl::TBitmap* Bmp, TCanvas* Canvas, int X, int Y, int W, int H) {
    BitBlt(Bmp->Canvas()->Handle(), 0, 0, W, H, Canvas->Handle(), X, Y, SRCCOPY);
}

// The integer blend of two RGB values (no system colours), for the per-pixel loops.
inline uint32_t BlendRGB(uint32_t C1, uint32_t C2, uint32_t W) {
    const uint32_t v = 255 - W;
    const uint32_t rb = (W * (C1 & 0xFF00FF) + v * (C2 & 0xFF00FF)) & 0xFF00FF00;
    const uint32_t g = ((C1 & 0xFF00) * W + (C2 & 0xFF00) * v) & 0xFF0000;
    return (rb + g) >> 8;
}

void CheckWeight(int W) {
    if (W < 0 || W > 255) throw rtl::EAssertionFailed(QStringLiteral("Assertion failure (RgSharedDraw)"));
}

// The rows of the glass and glow gradients: ToColor over FromColor by the row's share of the height,
// whitened over the first GlossRows rows.
TColor GlassRowColor(int Row, int H, TColor FromColor, TColor ToColor, int GlossRows) {
    TColor c = AlphaBlendColor(ToColor, FromColor, static_cast<int>(std::nearbyint(double(Row) / H * 255)));
    if (Row < GlossRows)
        c = AlphaBlendColor(c, vcl::clWhite, static_cast<int>(std::nearbyint(double(Row) / (2.0 * GlossRows) * 255)));
    return c;
}

// The 32-bit bitmap's pixels over the canvas at (X, Y): Rounded per channel, or the integer blend.
void BlendBitmap(TCanvas* Canvas, int X, int Y, vcl::TBitmap* Bitmap, bool Rounded) {
    if (Bitmap == nullptr || Bitmap->Empty()) return;
    if (Bitmap->PixelFormat() != vcl::pf32bit) {
        Canvas->Draw(X, Y, Bitmap);
        return;
    }
    const int w = Bitmap->Width(), h = Bitmap->Height();
    vcl::TBitmap* work = WorkBitmap(w, h);
    CopyFromCanvas(work, Canvas, X, Y, w, h);
    for (int y = 0; y < h; ++y) {
        const auto* src = static_cast<const uint8_t*>(Bitmap->ScanLine(y));
        uint8_t* dst = Row(work, y);
        for (int x = 0; x < w; ++x) {
            const uint8_t* s = src + x * 4;
            uint8_t* d = dst + x * 3;
            const int a = s[3];
            if (Rounded) {
                for (int i = 0; i < 3; ++i) {
                    const double v = std::nearbyint(s[i] * a / 255.0) + std::nearbyint(d[i] * (1 - a / 255.0));
                    d[i] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
                }
            } else {
                Put(d, static_cast<TColor>(BlendRGB(s[2] | (s[1] << 8) | (s[0] << 16), static_cast<uint32_t>(Get(d)), a)));
            }
        }
    }
    DrawWork(Canvas, work, X, Y, w, h);
}

} // namespace

TColor GetSchemeColor(uint8_t Index, TColorScheme Scheme) {
    if (Scheme == csDefault) Scheme = kCurrentScheme;
    if (Index >= kSchemeColors || Scheme < csDefault || Scheme > csBlack2010) return vcl::clBlack;
    return kSchemes[Scheme][Index];
}

bool IsThemingActive() { return IsAppThemed() && IsThemeActive(); }

void DrawThemedPart(HWND Wnd, HDC DC, const TRect& Rect, const rtl::String& ClassName, int PartId, int StateId) {
    HTHEME theme = OpenThemeData(Wnd, reinterpret_cast<LPCWSTR>(ClassName.utf16()));
    if (!theme) return;
    const RECT r = Rect;
    struct Closer {
        HTHEME t;
        ~Closer() { CloseThemeData(t); }
    } closer{theme};
    DrawThemeBackground(theme, DC, PartId, StateId, &r, &r);
}

void RegisterCollectionControl(vcl::TControl* Control) { Registry().push_back(Control); }

void UnregisterCollectionControl(vcl::TControl* Control) {
    auto& list = Registry();
    auto it = std::find(list.begin(), list.end(), Control);
    if (it != list.end()) list.erase(it);
}

const std::vector<vcl::TControl*>& CollectionControls() { return Registry(); }

TColor AlphaBlendColor(TColor C1, TColor C2, int Alpha) {
    CheckWeight(Alpha);
    return static_cast<TColor>(BlendRGB(static_cast<uint32_t>(vcl::ColorToRGB(C1)), static_cast<uint32_t>(vcl::ColorToRGB(C2)),
                                        static_cast<uint32_t>(Alpha)));
}

TColor BlendColorRatio(TColor C1, TColor C2, double Ratio) {
    const TColor a = vcl::ColorToRGB(C1), b = vcl::ColorToRGB(C2);
    auto ch = [&](int x, int y) { return static_cast<int>(static_cast<int64_t>(std::nearbyint(Ratio * y + (1 - Ratio) * x)) & 0xFF); };
    return ch(R(a), R(b)) | (ch(G(a), G(b)) << 8) | (ch(B(a), B(b)) << 16);
}

void DrawTopBottomGradient(TCanvas* Canvas, const TRect& R, TColor FromColor, TColor ToColor) {
    const int h = R.Bottom - R.Top;
    if (h <= 0) return;
    for (int y = R.Top; y < R.Bottom; ++y) {
        Canvas->Pen()->SetColor(BlendColorRatio(FromColor, ToColor, double(y - R.Top) / h));
        Canvas->MoveTo(R.Left, y);
        Canvas->LineTo(R.Right, y);
    }
}

void TGraphicsProvider::DrawVertGradient(TCanvas* Canvas, const TRect& R, TColor FromColor, TColor ToColor) {
    const int w = R.Right - R.Left;
    if (w <= 0) return;
    for (int x = R.Left; x < R.Right; ++x) {
        Canvas->Pen()->SetColor(BlendColorRatio(FromColor, ToColor, double(x - R.Left) / w));
        Canvas->MoveTo(x, R.Top);
        Canvas->LineTo(x, R.Bottom);
    }
}

void TGraphicsProvider::DrawFocused(TCanvas* Canvas, const TRect& R, bool XPStyle) {
    if (XPStyle) {
        Canvas->Brush()->SetStyle(vcl::bsSolid);
        Canvas->Brush()->SetColor(vcl::clHighlight);
        Canvas->FrameRect(R);
        return;
    }
    HDC dc = Canvas->Handle();
    const COLORREF bk = SetBkColor(dc, 0x000000);
    const COLORREF text = SetTextColor(dc, 0xFFFFFF);
    const RECT r = R;
    DrawFocusRect(dc, &r);
    SetBkColor(dc, bk);
    SetTextColor(dc, text);
}

void TDrawProvider::ApplyBitmap(TCanvas* Canvas, int X, int Y, vcl::TBitmap* Bitmap) { BlendBitmap(Canvas, X, Y, Bitmap, true); }

void DrawAlphaBitmap(TCanvas* Canvas, int X, int Y, vcl::TBitmap* Bitmap) { BlendBitmap(Canvas, X, Y, Bitmap, false); }

namespace {
void DrawTextFlags(TCanvas* Canvas, TRect R, const rtl::String& Text, UINT Flags) {
    Canvas->Brush()->SetStyle(vcl::bsClear);
    RECT r = R;
    DrawTextW(Canvas->Handle(), reinterpret_cast<LPCWSTR>(Text.utf16()), static_cast<int>(Text.size()), &r, Flags);
    Canvas->Brush()->SetStyle(vcl::bsSolid);
}
UINT AlignmentFlags(vcl::TAlignment Alignment) {
    return Alignment == vcl::taRightJustify ? DT_RIGHT : Alignment == vcl::taCenter ? DT_CENTER : 0;
}
} // namespace

void DrawTextAligned(TCanvas* Canvas, TRect R, vcl::TAlignment Alignment, const rtl::String& Text, bool NoPrefix) {
    UINT flags = DT_VCENTER | DT_SINGLELINE | DT_EXTERNALLEADING | DT_END_ELLIPSIS | AlignmentFlags(Alignment);
    if (NoPrefix) flags |= DT_NOPREFIX;
    DrawTextFlags(Canvas, R, Text, flags);
}

void DrawTextBiDi(TCanvas* Canvas, TRect R, const rtl::String& Text, vcl::TBiDiMode BiDiMode) {
    UINT flags = DT_VCENTER | DT_SINGLELINE | DT_EXTERNALLEADING | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (BiDiMode == vcl::bdRightToLeft) flags |= DT_RTLREADING;
    DrawTextFlags(Canvas, R, Text, flags);
}

void DrawGlassGradient(TCanvas* Canvas, const TRect& R, TColor FromColor, TColor ToColor, int GlossRows) {
    const int w = R.Width(), h = R.Height();
    if (w <= 0 || h <= 0) return;
    vcl::TBitmap* work = WorkBitmap(w, h);
    for (int y = 0; y < h; ++y) {
        const TColor c = GlassRowColor(y, h, FromColor, ToColor, GlossRows);
        uint8_t* row = Row(work, y);
        for (int x = 0; x < w; ++x) Put(row + x * 3, c);
    }
    DrawWork(Canvas, work, R.Left, R.Top, w, h);
}

void DrawGlowGradient(TCanvas* Canvas, const TRect& R, TColor FromColor, TColor ToColor, int GlossRows) {
    const int w = R.Width(), h = R.Height();
    if (w <= 0 || h <= 0) return;
    vcl::TBitmap* work = WorkBitmap(w, h);
    for (int y = 0; y < h; ++y) {
        const uint32_t c = static_cast<uint32_t>(GlassRowColor(y, h, FromColor, ToColor, GlossRows));
        uint8_t* row = Row(work, y);
        for (int x = 0; x < w; ++x)
            Put(row + x * 3, static_cast<TColor>(BlendRGB(c, 0xFFFFFF, std::clamp(2 * std::abs(w / 2 - x) + 100, 0, 255))));
    }
    DrawWork(Canvas, work, R.Left, R.Top, w, h);
}

void DrawGlassShine(TCanvas* Canvas, const TRect& R) {
    const int w = R.Width(), h = R.Bottom / 2;
    if (w <= 0 || h <= 0) return;
    vcl::TBitmap* work = WorkBitmap(w, h);
    CopyFromCanvas(work, Canvas, R.Left, R.Top, w, h);
    for (int y = 0; y < h && 150 - 7 * y >= 0; ++y) {
        uint8_t* row = Row(work, y);
        for (int x = 0; x < w; ++x)
            Put(row + x * 3, static_cast<TColor>(BlendRGB(0xFFFFFF, static_cast<uint32_t>(Get(row + x * 3)), 150 - 7 * y)));
    }
    DrawWork(Canvas, work, R.Left, R.Top, w, h);
}

void PaintParentBackground(vcl::TControl* Control, TCanvas* Canvas) {
    vcl::TWinControl* parent = Control->Parent();
    if (parent == nullptr || !parent->HandleAllocated()) return;
    const TPoint origin = parent->ScreenToClient(Control->ClientToScreen(TPoint(0, 0)));
    HDC dc = Canvas->Handle();
    const int saved = SaveDC(dc);
    struct Restore {
        HDC dc;
        int saved;
        ~Restore() { RestoreDC(dc, saved); }
    } restore{dc, saved};
    OffsetWindowOrgEx(dc, origin.X, origin.Y, nullptr);
    POINT brush{};
    GetBrushOrgEx(dc, &brush);
    SetBrushOrgEx(dc, brush.x + origin.X, brush.y + origin.Y, nullptr);
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), LPARAM(0));
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), LPARAM(0));
}

bool PointInRectEx(const TPoint& P, const TRect& R, bool Inclusive) {
    if (Inclusive) return P.X >= R.Left && P.X <= R.Right && P.Y >= R.Top && P.Y <= R.Bottom;
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

} // namespace controls
