// grid/shared/DrawHelpers.cpp
#include "grid/shared/DrawHelpers.h"

#include "rtl/Math.h"
#include "rtl/System.h"
#include "vcl/Themes.h"

#include <algorithm>
#include <cmath>

namespace grid {

using namespace vcl;

// ---- text measuring, hints and small helpers ------------------------------------------------------------

void ShowHintText(THintWindow* HintWindow, const TRect& Rect, const rtl::String& Text) {
    if (HintWindow) HintWindow->ActivateHint(Rect, Text);
}

TRect CalcHintTextRect(THintWindow* HintWindow, int MaxWidth, const rtl::String& Text) {
    // Without a window there is nothing to measure with.
    if (!HintWindow) return TRect();
    return HintWindow->CalcHintRect(MaxWidth, Text, nullptr);
}

void ReleaseHintWindow(THintWindow* HintWindow) {
    if (HintWindow) HintWindow->ReleaseHandle();
}

void SwapIntegers(int& A, int& B) {
    std::swap(A, B);
}

TSize GetTextSize(TCanvas* Canvas, const rtl::String& Text) {
    SIZE Size{0, 0};
    GetTextExtentPoint32W(Canvas->Handle(), reinterpret_cast<LPCWSTR>(Text.utf16()), int(Text.size()), &Size);
    return Size;
}

int GetTextWidthW(TCanvas* Canvas, const rtl::String& Text) {
    return GetTextSize(Canvas, Text).cx;
}
int GetTextHeightW(TCanvas* Canvas, const rtl::String& Text) {
    return GetTextSize(Canvas, Text).cy;
}

int GetMultiLineTextWidth(TCanvas* Canvas, const rtl::String& Text) {
    RECT R{0, 0, 0, 0};
    DrawTextExW(Canvas->Handle(), const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(Text.utf16())),
                int(Text.size()), &R, DT_CALCRECT, nullptr);
    return R.right - R.left;
}

bool IsParentFormActive(TControl* Control) {
    TCustomForm* Form = GetParentForm(Control);
    return Form && Form->Active();
}

void ClampValue(int& Value, int Min, int Max) {
    if (Value < Min) Value = Min;
    if (Value > Max) Value = Max;
}

bool IsNoPoint(const TPoint& P) {
    return P.X == -1 || P.Y == -1;
}

// ---- theme access, colour schemes, panel registry ---------------------------------------------------------

namespace {

TThemeLibrary& Table() {
    static TThemeLibrary Library;
    return Library;
}

template <class F> void Bind(HMODULE Module, F& Entry, const char* Name) {
    Entry = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Module, Name)));
}

// Filled once, as the suite's start-up does; indices 0, 15, 16 and 17 (and 5 but for csBlack) stay black.
struct TSchemeTable {
    TColor Colors[7][24]{};
    TSchemeTable() {
        // Index, then csBlack, csBlue, csSilver, csBlue2010, csSilver2010, csBlack2010.
        static const uint32_t Rows[][7] = {
            {1, 0x0A0A0A, 0xCE9266, 0xA69F9B, 0xCE9266, 0xA69F9B, 0xA69F9B},
            {2, 0x5C534C, 0xCF9365, 0x74706F, 0xBD9D84, 0xB5ACA5, 0x3B3B3B},
            {3, 0xF2F1F0, 0xFFEFE3, 0xF2F1F0, 0xE5D0BF, 0xE0DBD6, 0x858585},
            {4, 0xE1D6D2, 0xF0D9C2, 0xE1D6D2, 0xF0D9C2, 0xE1D6D2, 0xE1D6D2},
            {5, 0x3C8CFB, 0, 0, 0, 0, 0},
            {6, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFBF5EF, 0xF9F7F5, 0xF9F7F5},
            {7, 0xC9C2BD, 0xFFD2AF, 0xE7DFDA, 0xFAECE1, 0xF6F2EF, 0xF6F2EF},
            {8, 0xEBEBEB, 0xEEE7DD, 0xEBEBEB, 0xF5F2F0, 0xEBEBEB, 0xF5F2F0},
            {9, 0x000000, 0x8B4215, 0x8B4215, 0x8B4215, 0x8B4215, 0x8B4215},
            {10, 0xA49991, 0xFFC69A, 0x8F6D6E, 0xBD9D84, 0xB5ACA5, 0xB5ACA5},
            {11, 0xC9C2BD, 0xFFD2AF, 0xE7DFDA, 0xE7DFDA, 0xE7DFDA, 0xE7DFDA},
            {12, 0xF2F1F0, 0xFFEFE3, 0xF8F7F6, 0xF8F7F6, 0xF8F7F6, 0xF8F7F6},
            {13, 0xB6ADA7, 0xCF9365, 0x74706F, 0xBD9D84, 0xB5ACA5, 0x3B3B3B},
            {14, 0xC9B0A7, 0xC9B0A7, 0xC9B0A7, 0xF0CDA7, 0xF0CDA7, 0xF0CDA7},
            {18, 0xA0A09E, 0xE9CFB8, 0xC2B7B2, 0xC2B7B2, 0xC2B7B2, 0xC2B7B2},
            {19, 0xA2E7FF, 0xA2E7FF, 0xC2EEFF, 0xC2EEFF, 0xC2EEFF, 0xC2EEFF},
            {20, 0x69BDFF, 0x69BDFF, 0x6FC0FF, 0x6FC0FF, 0x6FC0FF, 0x6FC0FF},
            {21, 0x3C8CFB, 0x3C8CFB, 0x3E80FE, 0x3E80FE, 0x3E80FE, 0x3E80FE},
            {22, 0xF2F1F0, 0xFFEFE3, 0xBFA7A8, 0xBFA7A8, 0xBFA7A8, 0xBFA7A8},
            {23, 0xCEC8C4, 0xFFD6B6, 0x977778, 0x977778, 0x977778, 0x977778},
        };
        for (const auto& Row : Rows)
            for (int s = 1; s <= 6; ++s) Colors[s][Row[0]] = TColor(Row[s]);
    }
};

std::vector<TControl*>& Registry() {
    static std::vector<TControl*> Panels;
    return Panels;
}

} // namespace

TThemeLibrary& ThemeLibrary() {
    static const bool Loaded = (LoadThemeLibrary(), true);
    (void)Loaded;
    return Table();
}

void LoadThemeLibrary(const char16_t* LibraryName) {
    TThemeLibrary& T = Table();
    if (T.Module) return;
    T.Module = LoadLibraryW(reinterpret_cast<LPCWSTR>(LibraryName));
    if (!T.Module) return;
    Bind(T.Module, T.CloseThemeData, "CloseThemeData");
    Bind(T.Module, T.DrawThemeBackground, "DrawThemeBackground");
    Bind(T.Module, T.DrawThemeEdge, "DrawThemeEdge");
    Bind(T.Module, T.GetThemeSysSize, "GetThemeSysSize");
    Bind(T.Module, T.IsThemeActive, "IsThemeActive");
    Bind(T.Module, T.IsAppThemed, "IsAppThemed");
    Bind(T.Module, T.OpenThemeData, "OpenThemeData");
}

bool IsThemingActive() {
    const TThemeLibrary& T = ThemeLibrary();
    if (!T.Module || !T.IsAppThemed || !T.IsThemeActive) return false;
    try {
        return T.IsAppThemed() && T.IsThemeActive();
    } catch (...) {
        throw rtl::Exception(QStringLiteral("Error in Themes"));
    }
}

bool IsActiveStyleEnabled() {
    return StyleServices()->Enabled();
}

void DrawThemedPart(HWND Wnd, HDC DC, const TRect& Rect, const rtl::String& ClassName, int PartId, int StateId) {
    const TThemeLibrary& T = ThemeLibrary();
    // A library without these entries has no themes to draw with.
    if (!T.OpenThemeData || !T.DrawThemeBackground || !T.CloseThemeData) return;
    HTHEME Theme = T.OpenThemeData(Wnd, reinterpret_cast<LPCWSTR>(ClassName.utf16()));
    if (!Theme) return;
    const RECT R = Rect;
    try {
        T.DrawThemeBackground(Theme, DC, PartId, StateId, &R, &R);
    } catch (...) {
        T.CloseThemeData(Theme);
        throw;
    }
    T.CloseThemeData(Theme);
}

TColor GetSchemeColor(uint8_t Index, TColorScheme Scheme) {
    static const TSchemeTable Schemes;
    if (Scheme == csDefault) Scheme = csBlue;
    return Index < 24 ? Schemes.Colors[Scheme][Index] : clBlack;
}

void RegisterCollectionControl(TControl* Panel) {
    Registry().push_back(Panel);
}

void UnregisterCollectionControl(TControl* Panel) {
    auto& R = Registry();
    auto It = std::find(R.begin(), R.end(), Panel);
    if (It != R.end()) R.erase(It);
}

const std::vector<TControl*>& CollectionControls() {
    return Registry();
}

// ---- blends -----------------------------------------------------------------------------------------------

namespace {

uint32_t RGBOf(TColor Color) {
    return uint32_t(ColorToRGB(Color)) & 0xFFFFFF;
}

TColor IntegerBlend(TColor Color1, TColor Color2, int Weight, const char* UnitName) {
    if (Weight < 0 || Weight > 255)
        throw rtl::EAssertionFailed(QStringLiteral("Assertion failure (%1)").arg(QLatin1String(UnitName)));
    const uint32_t C1 = RGBOf(Color1), C2 = RGBOf(Color2);
    const uint32_t W = uint32_t(Weight), V = 255 - W;
    const uint32_t RB = (W * (C1 & 0xFF00FF) + V * (C2 & 0xFF00FF)) & 0xFF00FF00;
    const uint32_t G = ((C1 & 0xFF00) * W + (C2 & 0xFF00) * V) & 0xFF0000;
    return TColor((RB + G) >> 8);
}

// Round to nearest, halves to even, keeping the low 8 bits as the processor's conversion does.
uint32_t RatioChannel(uint32_t First, uint32_t Second, double Ratio) {
    const double V = std::nearbyint(Ratio * Second + (1 - Ratio) * First);
    if (!(std::fabs(V) < 9.0e18)) return 0; // the conversion's "indefinite" value keeps no low bits
    return uint32_t(int64_t(V)) & 0xFF;
}

TColor RatioBlend(TColor Color1, TColor Color2, double Ratio) {
    const uint32_t C1 = RGBOf(Color1), C2 = RGBOf(Color2);
    uint32_t Result = 0;
    for (int Shift : {0, 8, 16})
        Result |= RatioChannel((C1 >> Shift) & 0xFF, (C2 >> Shift) & 0xFF, Ratio) << Shift;
    return TColor(Result);
}

} // namespace

TColor TGraphicsProvider::BlendColor(TColor Color1, TColor Color2, int Amount) {
    return IntegerBlend(Color1, Color2, Amount, "RgSharedCommon");
}
TColor TGraphicsProvider::BlendColor(TColor Color1, TColor Color2, double Ratio) {
    return RatioBlend(Color1, Color2, Ratio);
}
TColor TMaskProvider::MixColors(TColor C1, TColor C2, int W1) {
    return IntegerBlend(C1, C2, W1, "RgSharedCommon");
}
TColor AlphaBlendColor(TColor Color1, TColor Color2, int Alpha) {
    return IntegerBlend(Color1, Color2, Alpha, "RgSharedDraw");
}
TColor BlendColorRatio(TColor Color1, TColor Color2, double Ratio) {
    return RatioBlend(Color1, Color2, Ratio);
}

// ---- geometry ---------------------------------------------------------------------------------------------

bool TCalcProvider::IsRectInRect(const TRect& GuestRect, const TRect& HostRect) {
    return GuestRect.Right >= HostRect.Left && GuestRect.Left <= HostRect.Right &&
           GuestRect.Bottom >= HostRect.Top && GuestRect.Top <= HostRect.Bottom;
}

TPoint TCalcProvider::PosInRect(int Width, int Height, int Margin, const TRect& ARect, TAlignment Alignment,
                                TVerticalAlignment VerticalAlignment) {
    TPoint P;
    switch (Alignment) {
    case taLeftJustify:
        P.X = ARect.Left + Margin;
        break;
    case taRightJustify:
        P.X = ARect.Right - (Width + Margin);
        break;
    case taCenter:
        P.X = ARect.Left + (ARect.Right - ARect.Left) / 2 - Width / 2;
        break;
    }
    switch (VerticalAlignment) {
    case taAlignTop:
        P.Y = ARect.Top + Margin;
        break;
    case taAlignBottom:
        P.Y = ARect.Bottom - (Height + Margin);
        break;
    case taVerticalCenter:
        P.Y = ARect.Top + (ARect.Bottom - ARect.Top) / 2 - Height / 2;
        break;
    }
    return P;
}

TRect TCalcProvider::ResizeRect(const TRect& ARect, int DeltaLeft, int DeltaTop, int DeltaRight,
                                int DeltaBottom) {
    return TRect(ARect.Left + DeltaLeft, ARect.Top + DeltaTop, ARect.Right + DeltaRight,
                 ARect.Bottom + DeltaBottom);
}

bool IsOutsideTolerance(const TPoint& P, const TPoint& Origin, int Tolerance) {
    const bool InX = P.X >= Origin.X - Tolerance && P.X <= Origin.X + Tolerance;
    const bool InY = P.Y >= Origin.Y - Tolerance && P.Y <= Origin.Y + Tolerance;
    return !(InX && InY);
}

// ---- frames and gradients ---------------------------------------------------------------------------------

void TGraphicsProvider::DrawButton(TCanvas* Canvas, const TRect& ARect, bool OldStyle) {
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(TCalcProvider::ResizeRect(ARect, 1, 1, -1, -1));
    Canvas->Pen()->SetColor(clBtnHighlight);
    Canvas->MoveTo(ARect.Left, ARect.Bottom - 1);
    Canvas->LineTo(ARect.Left, ARect.Top);
    Canvas->LineTo(ARect.Right - 1, ARect.Top);
    Canvas->Pen()->SetColor(OldStyle ? clWindowFrame : clBtnShadow);
    Canvas->MoveTo(ARect.Right - 1, ARect.Top);
    Canvas->LineTo(ARect.Right - 1, ARect.Bottom - 1);
    Canvas->LineTo(ARect.Left - 1, ARect.Bottom - 1);
}

void TGraphicsProvider::DrawFocused(TCanvas* Canvas, const TRect& R, bool XPStyle) {
    if (XPStyle) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(clHighlight);
        Canvas->FrameRect(R);
        return;
    }
    HDC DC = Canvas->Handle();
    const COLORREF OldBk = SetBkColor(DC, 0x000000);
    const COLORREF OldText = SetTextColor(DC, 0xFFFFFF);
    const RECT Rc = R;
    ::DrawFocusRect(DC, &Rc);
    SetBkColor(DC, OldBk);
    SetTextColor(DC, OldText);
}

void TGraphicsProvider::DrawGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor) {
    const int H = ARect.Bottom - ARect.Top;
    if (H <= 0) return;
    for (int y = ARect.Top; y < ARect.Bottom; ++y) {
        Canvas->Pen()->SetColor(RatioBlend(FromColor, ToColor, double(y - ARect.Top) / H));
        Canvas->MoveTo(ARect.Left, y);
        Canvas->LineTo(ARect.Right, y);
    }
}

void TGraphicsProvider::DrawVertGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor,
                                         TColor ToColor) {
    const int W = ARect.Right - ARect.Left;
    if (W <= 0) return;
    for (int x = ARect.Left; x < ARect.Right; ++x) {
        Canvas->Pen()->SetColor(RatioBlend(FromColor, ToColor, double(x - ARect.Left) / W));
        Canvas->MoveTo(x, ARect.Top);
        Canvas->LineTo(x, ARect.Bottom);
    }
}

void DrawTopBottomGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor) {
    TGraphicsProvider::DrawGradient(Canvas, ARect, FromColor, ToColor);
}

// ---- text output ------------------------------------------------------------------------------------------

namespace {

constexpr UINT SingleLineBase = DT_VCENTER | DT_SINGLELINE | DT_EXTERNALLEADING | DT_END_ELLIPSIS;

UINT AlignmentFlags(TAlignment Alignment) {
    switch (Alignment) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    default:
        return 0;
    }
}

bool IsRightToLeft(TBiDiMode Mode) {
    return Mode != bdLeftToRight;
}

// All of Text through DrawTextW with a clear brush; the brush is solid again afterwards.
void DrawTextClear(TCanvas* Canvas, TRect ARect, const rtl::String& Text, UINT Flags) {
    Canvas->Brush()->SetStyle(bsClear);
    RECT R = ARect;
    DrawTextW(Canvas->Handle(), reinterpret_cast<LPCWSTR>(Text.utf16()), int(Text.size()), &R, Flags);
    Canvas->Brush()->SetStyle(bsSolid);
}

} // namespace

UINT TextRectFlags(TAlignment Alignment, bool RightToLeft) {
    return SingleLineBase | DT_NOPREFIX | AlignmentFlags(Alignment) | (RightToLeft ? DT_RTLREADING : 0);
}

UINT TextAlignedFlags(TAlignment Alignment, bool NoPrefix) {
    return SingleLineBase | AlignmentFlags(Alignment) | (NoPrefix ? DT_NOPREFIX : 0);
}

UINT TextBiDiFlags(TBiDiMode BiDiMode) {
    return SingleLineBase | DT_NOPREFIX | (BiDiMode == bdRightToLeft ? DT_RTLREADING : 0);
}

void TGraphicsProvider::DrawTextRect(TCanvas* Canvas, const TRect& ARect, TAlignment Alignment,
                                     const rtl::String& Text, TBiDiMode BiDiMode) {
    DrawTextClear(Canvas, ARect, Text, TextRectFlags(Alignment, IsRightToLeft(BiDiMode)));
}

void DrawTextInRect(TCanvas* Canvas, const TRect& ARect, TAlignment Alignment, const rtl::String& Text,
                    bool RightToLeft) {
    DrawTextClear(Canvas, ARect, Text, TextRectFlags(Alignment, RightToLeft));
}

void DrawTextAligned(TCanvas* Canvas, const TRect& ARect, TAlignment Alignment, const rtl::String& Text,
                     bool NoPrefix) {
    DrawTextClear(Canvas, ARect, Text, TextAlignedFlags(Alignment, NoPrefix));
}

void DrawTextBiDi(TCanvas* Canvas, const TRect& ARect, const rtl::String& Text, TBiDiMode BiDiMode) {
    DrawTextClear(Canvas, ARect, Text, TextBiDiFlags(BiDiMode));
}

void DrawVerticalText(TCanvas* Canvas, TRect ARect, const rtl::String& Text, bool MultiLine) {
    LOGFONTW Font{};
    GetObjectW(Canvas->Font()->Handle(), sizeof(Font), &Font);
    Font.lfEscapement = 900;
    Font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    const int LineStep = Canvas->TextHeight(Text);
    Canvas->Brush()->SetStyle(bsClear);
    HDC DC = Canvas->Handle();
    HFONT Rotated = CreateFontIndirectW(&Font);
    HGDIOBJ Old = SelectObject(DC, Rotated);
    auto Draw = [&](const rtl::String& Line) {
        RECT R = ARect;
        DrawTextW(DC, reinterpret_cast<LPCWSTR>(Line.utf16()), int(Line.size()), &R, VerticalTextFlags);
    };
    if (MultiLine && Text.contains(u'\r')) {
        rtl::String Normal = Text;
        Normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        for (const rtl::String& Line : Normal.split(u'\n')) {
            Draw(Line);
            ARect.Left += LineStep;
        }
    } else {
        Draw(Text);
    }
    SelectObject(DC, Old);
    DeleteObject(Rotated);
}

// ---- clipping ---------------------------------------------------------------------------------------------

void SetClipRect(TCanvas* Canvas, const TRect& ARect) {
    HDC DC = Canvas->Handle();
    POINT Org{0, 0};
    GetWindowOrgEx(DC, &Org);
    HRGN Rgn =
        CreateRectRgn(ARect.Left - Org.x, ARect.Top - Org.y, ARect.Right - Org.x, ARect.Bottom - Org.y);
    SelectClipRgn(DC, Rgn);
    DeleteObject(Rgn);
}

void SelectClipRect(TCanvas* Canvas, const TRect& ARect) {
    HDC DC = Canvas->Handle();
    HRGN Rgn = CreateRectRgn(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
    SelectClipRgn(DC, Rgn);
    DeleteObject(Rgn);
}

// ---- alpha bitmaps and glass ------------------------------------------------------------------------------

namespace {

// Pixel access on a bitmap's scan lines (bytes blue, green, red[, alpha]).
struct TPixels {
    TBitmap* Bitmap;
    int Bytes;
    explicit TPixels(TBitmap* B) : Bitmap(B), Bytes(B->PixelFormat() == pf24bit ? 3 : 4) {}
    uint8_t* At(int X, int Y) const { return static_cast<uint8_t*>(Bitmap->ScanLine(Y)) + X * Bytes; }
    static TColor Color(const uint8_t* P) { return TColor(P[2] | (P[1] << 8) | (P[0] << 16)); }
    static void Set(uint8_t* P, TColor C) {
        P[0] = uint8_t(C >> 16);
        P[1] = uint8_t(C >> 8);
        P[2] = uint8_t(C);
    }
};

std::unique_ptr<TBitmap> WorkBitmap(int W, int H, TPixelFormat Format) {
    auto B = std::make_unique<TBitmap>();
    B->SetPixelFormat(Format);
    B->SetSize(W, H);
    return B;
}

void CopyFromCanvas(TBitmap* Work, TCanvas* Canvas, int X, int Y) {
    const int W = Work->Width(), H = Work->Height();
    Work->Canvas()->CopyRect(TRect(0, 0, W, H), Canvas, TRect(X, Y, X + W, Y + H));
}

} // namespace

void TDrawProvider::ApplyBitmap(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty()) return;
    if (Bitmap->PixelFormat() != pf32bit) {
        Canvas->Draw(X, Y, Bitmap);
        return;
    }
    const int W = Bitmap->Width(), H = Bitmap->Height();
    if (W <= 0 || H <= 0) return;
    auto Work = WorkBitmap(W, H, pf24bit);
    CopyFromCanvas(Work.get(), Canvas, X, Y);
    const TPixels Src(Bitmap), Dst(Work.get());
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const uint8_t* S = Src.At(x, y);
            uint8_t* D = Dst.At(x, y);
            const double A = S[3] / 255.0;
            for (int c = 0; c < 3; ++c) {
                const int64_t V = rtl::Round(S[c] * A) + rtl::Round(D[c] * (1 - A));
                D[c] = uint8_t(std::clamp<int64_t>(V, 0, 255));
            }
        }
    Canvas->Draw(X, Y, Work.get());
}

void DrawAlphaBitmap(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty()) return;
    if (Bitmap->PixelFormat() != pf32bit) {
        Canvas->Draw(X, Y, Bitmap);
        return;
    }
    const int W = Bitmap->Width(), H = Bitmap->Height();
    if (W <= 0 || H <= 0) return;
    TBitmap Copy;
    Copy.Assign(Bitmap);
    // The blended copy is drawn as it is: its alpha bytes stay but no longer weigh.
    Copy.SetAlphaFormat(afIgnored);
    auto Background = WorkBitmap(W, H, pfDevice);
    CopyFromCanvas(Background.get(), Canvas, X, Y);
    const TPixels Src(Bitmap), Out(&Copy), Back(Background.get());
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const uint8_t* S = Src.At(x, y);
            TPixels::Set(Out.At(x, y),
                         AlphaBlendColor(TPixels::Color(S), TPixels::Color(Back.At(x, y)), S[3]));
        }
    Canvas->Draw(X, Y, &Copy);
}

namespace {

// The row colour of the glass and glow gradients.
TColor GlassRowColor(int Row, int H, TColor FromColor, TColor ToColor, int GlossRows) {
    TColor C = AlphaBlendColor(ToColor, FromColor, int(rtl::Round(double(Row) / H * 255)));
    if (Row < GlossRows)
        C = AlphaBlendColor(C, clWhite, int(rtl::Round(double(Row) / (2 * GlossRows) * 255)));
    return C;
}

} // namespace

namespace {

uint8_t* ScanRow(TBitmap* Bitmap, int Y) { return static_cast<uint8_t*>(Bitmap->ScanLine(Y)); }

void BlitWork(TCanvas* Canvas, TBitmap* Work, int X, int Y, int W, int H) {
    BitBlt(Canvas->Handle(), X, Y, W, H, Work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The glass and glow gradients: each pixel of a row from the row colour and its column.
template <class F>
void DrawGlassRows(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor, int GlossRows,
                   F Pixel) {
    const int W = ARect.Width(), H = ARect.Height();
    if (W <= 0 || H <= 0) return;
    const auto Owned = WorkBitmap(W, H, pf24bit);
    TBitmap* Work = Owned.get();
    for (int r = 0; r < H; ++r) {
        const TColor C = GlassRowColor(r, H, FromColor, ToColor, GlossRows);
        uint8_t* Row = ScanRow(Work, r);
        for (int x = 0; x < W; ++x) TPixels::Set(Row + 3 * x, Pixel(C, x, W));
    }
    BlitWork(Canvas, Work, ARect.Left, ARect.Top, W, H);
}

} // namespace

void DrawGlassGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor, int GlossRows) {
    DrawGlassRows(Canvas, ARect, FromColor, ToColor, GlossRows, [](TColor C, int, int) { return C; });
}

void DrawGlowGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor, int GlossRows) {
    // The middle column is the lightest.
    DrawGlassRows(Canvas, ARect, FromColor, ToColor, GlossRows, [](TColor C, int X, int W) {
        return AlphaBlendColor(C, clWhite, std::clamp(2 * std::abs(W / 2 - X) + 100, 0, 255));
    });
}

void DrawGlassShine(TCanvas* Canvas, const TRect& ARect) {
    // The upper half of the rectangle itself: half its bottom coordinate would reach below a
    // rectangle that does not start at 0.
    const int W = ARect.Right - ARect.Left, H = (ARect.Bottom - ARect.Top) / 2;
    if (W <= 0 || H <= 0) return;
    const int Rows = std::min(H, 150 / 7 + 1); // the blend weight falls below 0 after these
    const auto Owned = WorkBitmap(W, Rows, pf24bit);
    TBitmap* Work = Owned.get();
    BitBlt(Work->Canvas()->Handle(), 0, 0, W, Rows, Canvas->Handle(), ARect.Left, ARect.Top, SRCCOPY);
    for (int i = 0; i < Rows; ++i) {
        uint8_t* Row = ScanRow(Work, i);
        for (int x = 0; x < W; ++x) {
            uint8_t* P = Row + 3 * x;
            TPixels::Set(P, AlphaBlendColor(clWhite, TPixels::Color(P), 150 - 7 * i));
        }
    }
    BlitWork(Canvas, Work, ARect.Left, ARect.Top, W, Rows);
}

// ---- parent background ------------------------------------------------------------------------------------

void PaintParentBackground(TControl* Control, TCanvas* Canvas) {
    TWinControl* Parent = Control->Parent();
    if (!Parent || !Parent->HandleAllocated()) return;
    const TPoint Offset = Parent->ScreenToClient(Control->ClientToScreen(TPoint(0, 0)));
    HDC DC = Canvas->Handle();
    SaveDC(DC);
    struct TRestore {
        HDC DC;
        ~TRestore() { RestoreDC(DC, -1); }
    } Restore{DC};
    OffsetWindowOrgEx(DC, Offset.X, Offset.Y, nullptr);
    POINT BrushOrg{0, 0};
    GetBrushOrgEx(DC, &BrushOrg);
    SetBrushOrgEx(DC, BrushOrg.x + Offset.X, BrushOrg.y + Offset.Y, nullptr);
    Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), LPARAM(0));
    Parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), LPARAM(0));
}

} // namespace grid
