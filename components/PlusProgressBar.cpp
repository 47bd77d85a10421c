// components/PlusProgressBar.cpp
#include "components/PlusProgressBar.h"

#include "rtl/SysUtils.h"
#include "vcl/Messages.h"

#include <algorithm>
#include <cmath>

namespace components {

using vcl::TCanvas;
using vcl::TColor;
using vcl::TRect;

namespace {

int Round(double Value) { return int(std::nearbyint(Value)); }

// A rectangle drawn with pen and brush of one colour covers what a fill of the brush covers; the fill
// spares making a pen for every band.
void FillBarRect(TCanvas* Canvas, const TRect& Rect, TColor Color) {
    if (Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return;
    Canvas->Brush()->SetStyle(vcl::bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->FillRect(Rect);
}

// The main colour runs along the middle line of the bar, its partner along both long edges.
void PaintPair(TCanvas* Canvas, const TRect& R, TColor C, TColor CTo, const TGaugeSettings& S) {
    if (!S.ShowGradient) {
        FillBarRect(Canvas, R, C);
        return;
    }
    const bool vertical = S.Orientation == goVertical;
    if (vertical) {
        const int mid = R.Left + (R.Right - R.Left) / 2;
        DrawBandGradient(Canvas, CTo, C, S.Steps, TRect(R.Left, R.Top, mid, R.Bottom), true);
        DrawBandGradient(Canvas, C, CTo, S.Steps, TRect(mid, R.Top, R.Right, R.Bottom), true);
    } else {
        const int mid = R.Top + (R.Bottom - R.Top) / 2;
        DrawBandGradient(Canvas, CTo, C, S.Steps, TRect(R.Left, R.Top, R.Right, mid), false);
        DrawBandGradient(Canvas, C, CTo, S.Steps, TRect(R.Left, mid, R.Right, R.Bottom), false);
    }
}

void DrawLevelBackgrounds(TCanvas* Canvas, const TRect& R, int W, const TGaugeSettings& S) {
    if (S.Level0BkColor == vcl::clNone && S.Level1BkColor == vcl::clNone && S.Level2BkColor == vcl::clNone) return;
    const int z0 = Round(S.Level1Perc / 100.0 * W);
    const int z1 = Round(W * (S.Level2Perc - S.Level1Perc) / 100.0);
    const int z2 = Round(double(W - z0 - z1));
    TRect zone[3];
    if (S.Orientation == goHorizontal) {
        zone[0] = TRect(R.Left + 2, R.Top + 1, R.Left + z0, R.Bottom - 1);
        zone[1] = TRect(zone[0].Right, R.Top + 1, zone[0].Right + z1, R.Bottom - 1);
        zone[2] = TRect(zone[1].Right, R.Top + 1, zone[1].Right + z2, R.Bottom - 1);
    } else {
        zone[0] = TRect(R.Left + 1, R.Bottom - z0 + 1, R.Right - 1, R.Bottom - 2);
        zone[1] = TRect(R.Left + 1, zone[0].Top - z1, R.Right - 1, zone[0].Top);
        zone[2] = TRect(R.Left + 1, zone[1].Top - 1 - z2, R.Right - 1, zone[1].Top - 1);
    }
    const TColor colors[3] = {S.Level0BkColor, S.Level1BkColor, S.Level2BkColor};
    for (int i = 0; i < 3; ++i)
        if (colors[i] != vcl::clNone) FillBarRect(Canvas, zone[i], colors[i]);
}

void DrawStacked(TCanvas* Canvas, const TRect& R, int W, const TGaugeSettings& S) {
    const int P = S.Position;
    const bool horizontal = S.Orientation == goHorizontal;
    const int s0 = P < S.Level1Perc ? Round(P / 100.0 * W) : Round(S.Level1Perc / 100.0 * W);
    const TRect seg0 = horizontal ? TRect(R.Left + 1, R.Top + 1, R.Left + 1 + s0, R.Bottom - 1)
                                  : TRect(R.Left + 1, R.Bottom - s0 + 1, R.Right - 1, R.Bottom - 2);
    PaintPair(Canvas, seg0, S.Level0Color, S.Level0ColorTo, S);
    if (P < S.Level1Perc) return;
    const int s1 = P < S.Level2Perc ? Round(W * (P - S.Level1Perc) / 100.0)
                                    : Round(W * (S.Level2Perc - S.Level1Perc) / 100.0);
    const TRect seg1 = horizontal ? TRect(seg0.Right, R.Top + 1, seg0.Right + s1, R.Bottom - 1)
                                  : TRect(R.Left + 1, seg0.Top - s1, R.Right - 1, seg0.Top);
    PaintPair(Canvas, seg1, S.Level1Color, S.Level1ColorTo, S);
    if (P < S.Level2Perc) return;
    // At 100 the last segment takes up what the rounding of the first two left over.
    const int s2 = P == 100 ? Round(double(W - s0 - s1)) : Round(W * (P - S.Level2Perc) / 100.0);
    const TRect seg2 = horizontal ? TRect(seg1.Right, R.Top + 1, seg1.Right + s2, R.Bottom - 1)
                                  : TRect(R.Left + 1, seg1.Top - 1 - s2, R.Right - 1, seg1.Top - 1);
    PaintPair(Canvas, seg2, S.Level2Color, S.Level2ColorTo, S);
}

void DrawSingleLevel(TCanvas* Canvas, const TRect& R, int W, const TGaugeSettings& S) {
    const int P = S.Position;
    TColor c, cTo;
    if (P < S.Level1Perc) {
        c = S.Level0Color;
        cTo = S.Level0ColorTo;
    } else if (P < S.Level2Perc) {
        c = S.Level1Color;
        cTo = S.Level1ColorTo;
    } else if (P < 100) {
        c = S.Level2Color;
        cTo = S.Level2ColorTo;
    } else {
        c = S.Level3Color;
        cTo = S.Level3ColorTo;
    }
    const bool horizontal = S.Orientation == goHorizontal;
    if (S.CompletionSmooth) {
        const int len = Round(P / 100.0 * W);
        PaintPair(Canvas,
                  horizontal ? TRect(R.Left + 2, R.Top + 2, R.Left + len, R.Bottom - 2)
                             : TRect(R.Left + 2, R.Bottom - len, R.Right - 2, R.Bottom - 2),
                  c, cTo, S);
        return;
    }
    Canvas->Brush()->SetColor(S.BackgroundColor);
    const int n = Round((P * W) / 100.0);
    if (n <= 9) {
        if (n >= 2)
            PaintPair(Canvas,
                      horizontal ? TRect(R.Left + 2, R.Top + 2, R.Left + n + 1, R.Bottom - 2)
                                 : TRect(R.Left + 2, R.Bottom - n - 1, R.Right - 2, R.Bottom - 2),
                      c, cTo, S);
    } else {
        // Blocks of 7 pixels with gaps of 2.
        TRect block = horizontal ? TRect(R.Left + 2, R.Top + 2, R.Left + 9, R.Bottom - 2)
                                 : TRect(R.Left + 2, R.Bottom - 9, R.Right - 2, R.Bottom - 2);
        PaintPair(Canvas, block, c, cTo, S);
        for (int i = 1; i < n / 9; ++i) {
            if (horizontal) {
                block.Left = block.Right + 2;
                block.Right = block.Left + 7;
            } else {
                block.Bottom = block.Top - 2;
                block.Top = block.Bottom - 7;
            }
            PaintPair(Canvas, block, c, cTo, S);
        }
        const int r = n % 9;
        if (r >= 2)
            PaintPair(Canvas,
                      horizontal ? TRect(block.Right + 2, R.Top + 2, block.Right + r, R.Bottom - 2)
                                 : TRect(R.Left + 2, std::max(R.Top + 2, block.Top - r), R.Right - 2, block.Top - 2),
                      c, cTo, S);
    }
    Canvas->Brush()->SetStyle(vcl::bsClear);
}

void DrawInfiniteMask(TCanvas* Canvas, const TRect& R, const TGaugeSettings& S) {
    Canvas->Pen()->SetColor(S.BackgroundColor);
    Canvas->Brush()->SetStyle(vcl::bsSolid);
    Canvas->Brush()->SetColor(S.BackgroundColor);
    if (S.Orientation == goHorizontal) {
        const int k = R.Right - R.Left > 4 ? Round(S.InfinitePos / 100.0 * (R.Right - R.Left - 4)) : 0;
        Canvas->Rectangle(R.Left + 2, R.Top + 1, std::max(R.Left + 2, R.Left + k - 10), R.Bottom - 1);
        Canvas->Rectangle(std::min(R.Right - 2, R.Left + k + 12), R.Top + 2, R.Right - 2, R.Bottom - 2);
    } else {
        const int k = R.Bottom - R.Top > 4 ? Round(S.InfinitePos / 100.0 * (R.Bottom - R.Top - 4)) : 0;
        Canvas->Rectangle(R.Left + 2, R.Top + 2, R.Right - 2, std::max(R.Top + 2, R.Top + k - 10));
        Canvas->Rectangle(R.Left + 2, std::min(R.Bottom - 2, R.Top + k + 12), R.Right - 2, R.Bottom - 2);
    }
}

rtl::String GaugeText(const TGaugeSettings& S) {
    if (!S.Format.isEmpty()) {
        // A format that does not fit two integers shows the plain text instead of failing every paint.
        try {
            return rtl::Format(S.Format, {S.Value, S.Max});
        } catch (const rtl::Exception&) {
        }
    }
    return S.ShowPercentage ? rtl::IntToStr(S.Position) + QLatin1Char('%') : rtl::IntToStr(S.Value);
}

void DrawText(TCanvas* Canvas, const TRect& R, const TGaugeSettings& S) {
    Canvas->Brush()->SetStyle(vcl::bsClear);
    Canvas->Font()->Assign(S.Font);
    const rtl::String text = GaugeText(S);
    const int tw = Canvas->TextWidth(text), th = Canvas->TextHeight(text);
    if (S.Orientation == goHorizontal) {
        Canvas->TextOut(R.Left + (R.Right - R.Left) / 2 - tw / 2, R.Top + (R.Bottom - R.Top) / 2 - th / 2, text);
        return;
    }
    // Turned 90 degrees counter-clockwise, read from bottom to top.
    LOGFONTW lf{};
    GetObjectW(Canvas->Font()->Handle(), sizeof(lf), &lf);
    lf.lfEscapement = 900;
    lf.lfOrientation = 900;
    HFONT rotated = CreateFontIndirectW(&lf);
    HDC dc = Canvas->Handle();
    HGDIOBJ old = SelectObject(dc, rotated);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, COLORREF(vcl::ColorToRGB(S.Font->Color())));
    const std::u16string wide = text.toStdU16String();
    TextOutW(dc, R.Left + (R.Right - R.Left) / 2 - th / 2, R.Top + (R.Bottom - R.Top) / 2 + tw / 2,
             reinterpret_cast<LPCWSTR>(wide.c_str()), int(wide.size()));
    SelectObject(dc, old);
    DeleteObject(rotated);
}

} // namespace

void DrawBandGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& Rect, bool AlongX) {
    if (Steps == 0) Steps = 1;
    const TColor from = vcl::ColorToRGB(FromColor), to = vcl::ColorToRGB(ToColor);
    const int r0 = from & 0xFF, g0 = (from >> 8) & 0xFF, b0 = (from >> 16) & 0xFF;
    const double dR = double((to & 0xFF) - r0) / Steps, dG = double(((to >> 8) & 0xFF) - g0) / Steps,
                 dB = double(((to >> 16) & 0xFF) - b0) / Steps;
    const double extent = AlongX ? Rect.Width() : Rect.Height();
    const double band = extent / Steps;
    for (int i = 0; i < Steps; ++i) {
        const TColor c = TColor((r0 + Round(dR * i)) + (g0 + Round(dG * i)) * 256 + (b0 + Round(dB * i)) * 65536);
        const int o = Round(i * band);
        if (AlongX)
            FillBarRect(Canvas,
                        TRect(Rect.Left + o, Rect.Top, std::min(Rect.Left + o + int(band) + 1, int(Rect.Right)),
                              Rect.Bottom),
                        c);
        else
            FillBarRect(Canvas,
                        TRect(Rect.Left, Rect.Top + o, Rect.Right,
                              std::min(Rect.Top + o + int(band) + 1, int(Rect.Bottom))),
                        c);
    }
}

void DrawGauge(TCanvas* Canvas, TRect R, TGaugeSettings S) {
    const int L = S.Orientation == goHorizontal ? R.Right - R.Left : R.Bottom - R.Top;
    if (S.Rounded) FillBarRect(Canvas, R, 0xFF00FF);
    if (S.Infinite) {
        S.Position = 100;
        S.Level1Perc = 101;
        S.Level2Perc = 101;
    }
    Canvas->Brush()->SetStyle(vcl::bsSolid);
    Canvas->Brush()->SetColor(S.BackgroundColor);
    Canvas->Pen()->SetColor(S.ShowBorder ? S.BorderColor : S.BackgroundColor);
    if (S.Rounded)
        Canvas->RoundRect(R, 6, 6);
    else
        Canvas->Rectangle(R);
    // Without a border the fill reaches the edges.
    if (!S.ShowBorder) R.Inflate(1, 1);
    const int W = L - 2;
    DrawLevelBackgrounds(Canvas, R, W, S);
    if (S.Position > 0) {
        if (S.Stacked)
            DrawStacked(Canvas, R, W, S);
        else
            DrawSingleLevel(Canvas, R, W, S);
    }
    if (S.Infinite) DrawInfiniteMask(Canvas, R, S);
    if (S.ShowPosition) DrawText(Canvas, R, S);
}

// ---- TPlusProgressBar ----

TPlusProgressBar::TPlusProgressBar(rtl::TComponent* AOwner)
    : vcl::TGraphicControl(AOwner), FFontPercentage(std::make_unique<vcl::TFont>()), FTimer(new vcl::TTimer(this)) {
    FFontPercentage->SetName(QStringLiteral("Verdana"));
    FFontPercentage->SetSize(10);
    FFontPercentage->OnChange = rtl::TNotifyEvent(this, &TPlusProgressBar::FontChanged);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(UINT(FInfiniteInterval));
    FTimer->SetOnTimer(rtl::TNotifyEvent(this, &TPlusProgressBar::InfiniteTimerTick));
    SetBounds(Left(), Top(), 128, 18);
}

TPlusProgressBar::~TPlusProgressBar() = default;

void TPlusProgressBar::FontChanged(rtl::TObject*) { Invalidate(); }

void TPlusProgressBar::SetLevel0Color(TColor Value) { Store(FLevel0Color, Value); }
void TPlusProgressBar::SetLevel0ColorTo(TColor Value) { Store(FLevel0ColorTo, Value); }
void TPlusProgressBar::SetLevel1Color(TColor Value) { Store(FLevel1Color, Value); }
void TPlusProgressBar::SetLevel1ColorTo(TColor Value) { Store(FLevel1ColorTo, Value); }
void TPlusProgressBar::SetLevel2Color(TColor Value) { Store(FLevel2Color, Value); }
void TPlusProgressBar::SetLevel2ColorTo(TColor Value) { Store(FLevel2ColorTo, Value); }
void TPlusProgressBar::SetLevel3Color(TColor Value) { Store(FLevel3Color, Value); }
void TPlusProgressBar::SetLevel3ColorTo(TColor Value) { Store(FLevel3ColorTo, Value); }
void TPlusProgressBar::SetLevel1Perc(int Value) { Store(FLevel1Perc, Value); }
void TPlusProgressBar::SetLevel2Perc(int Value) { Store(FLevel2Perc, Value); }
void TPlusProgressBar::SetBorderColor(TColor Value) { Store(FBorderColor, Value); }
void TPlusProgressBar::SetBackgroundColor(TColor Value) { Store(FBackgroundColor, Value); }
void TPlusProgressBar::SetShowBorder(bool Value) { Store(FShowBorder, Value); }
void TPlusProgressBar::SetStacked(bool Value) { Store(FStacked, Value); }
void TPlusProgressBar::SetShowPercentage(bool Value) { Store(FShowPercentage, Value); }
void TPlusProgressBar::SetShowPosition(bool Value) { Store(FShowPosition, Value); }
void TPlusProgressBar::SetCompletionSmooth(bool Value) { Store(FCompletionSmooth, Value); }
void TPlusProgressBar::SetShowGradient(bool Value) { Store(FShowGradient, Value); }
void TPlusProgressBar::SetSteps(int Value) { Store(FSteps, Value); }
void TPlusProgressBar::SetOrientation(TGaugeOrientation Value) { Store(FOrientation, Value); }
void TPlusProgressBar::SetRounded(bool Value) { Store(FRounded, Value); }
void TPlusProgressBar::SetFormat(const rtl::String& Value) { Store(FFormat, Value); }

void TPlusProgressBar::SetFont(vcl::TFont* Value) {
    FFontPercentage->Assign(Value);
    Invalidate();
}

void TPlusProgressBar::SetLevel0BkColor(TColor Value) {
    if (Value != FLevel0BkColor) Store(FLevel0BkColor, Value);
}
void TPlusProgressBar::SetLevel1BkColor(TColor Value) {
    if (Value != FLevel1BkColor) Store(FLevel1BkColor, Value);
}
void TPlusProgressBar::SetLevel2BkColor(TColor Value) {
    if (Value != FLevel2BkColor) Store(FLevel2BkColor, Value);
}

void TPlusProgressBar::SetMin(int Value) {
    FMin = Value;
    FMaxIncrement = (FMax - FMin) / 100;
    Invalidate();
}

void TPlusProgressBar::SetMax(int Value) {
    FMax = Value;
    FMaxIncrement = (FMax - FMin) / 100;
    Invalidate();
}

int TPlusProgressBar::PercentOf(int Value) const {
    if (FMax == FMin) return 0;
    return Round(double(Value - FMin) / double(FMax - FMin) * 100);
}

void TPlusProgressBar::SetPosition(int Value) {
    if (Value < FMin || Value > FMax) {
        FPosition = Value < FMin ? FMin : FMax;
        return;
    }
    FPosition = Value;
    const int P = PercentOf(Value);
    // Repaints are thinned out to about one per percent of the range.
    if (FMaxIncrement == 0 || Value % FMaxIncrement == 0 || Value / FMaxIncrement != FOldBlockPos || P != FOldPos)
        Repaint();
    FOldPos = P;
    if (FMaxIncrement != 0) FOldBlockPos = Value / FMaxIncrement;
}

void TPlusProgressBar::UpdateTimer() { FTimer->SetEnabled(FInfinite && FAnimated); }

void TPlusProgressBar::SetInfinite(bool Value) {
    FInfinite = Value;
    UpdateTimer();
    if (Value) FInfinitePos = 0;
    Invalidate();
}

void TPlusProgressBar::SetAnimated(bool Value) {
    FAnimated = Value;
    UpdateTimer();
    Invalidate();
}

void TPlusProgressBar::SetInfiniteInterval(int Value) {
    FInfiniteInterval = Value;
    FTimer->SetInterval(UINT(std::max(Value, 0)));
}

rtl::String TPlusProgressBar::Version() const {
    const uint32_t nr = 0x01030001;
    return QStringLiteral("%1.%2.%3.%4").arg(nr >> 24).arg((nr >> 16) & 0xFF).arg((nr >> 8) & 0xFF).arg(nr & 0xFF);
}

void TPlusProgressBar::InfiniteTimerTick(rtl::TObject*) {
    if (FInfiniteInc) {
        FInfinitePos += 4;
        if (FInfinitePos >= 100) {
            FInfinitePos = 100;
            FInfiniteInc = false;
        }
    } else {
        FInfinitePos -= 4;
        if (FInfinitePos <= 0) {
            FInfinitePos = 0;
            FInfiniteInc = true;
        }
    }
    Repaint();
}

void TPlusProgressBar::Dispatch(vcl::TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 0;
        return;
    }
    vcl::TGraphicControl::Dispatch(Message);
}

void TPlusProgressBar::Paint() {
    if (!(Visible() || ComponentState().Contains(rtl::csDesigning)) || !Parent()) return;
    const TRect r = ClientRect();
    vcl::TFont font;
    font.Assign(FFontPercentage.get());
    const TGaugeSettings s{FLevel0Color,   FLevel0ColorTo, FLevel1Color,     FLevel1ColorTo, FLevel2Color,
                           FLevel2ColorTo, FLevel3Color,   FLevel3ColorTo,   FLevel1Perc,    FLevel2Perc,
                           FBorderColor,   FLevel0BkColor, FLevel1BkColor,   FLevel2BkColor, FShowBorder,
                           FStacked,       FShowPercentage, FShowPosition,   &font,          FCompletionSmooth,
                           FShowGradient,  FSteps,         PercentOf(FPosition), FPosition,  FMax,
                           FBackgroundColor, FOrientation, FRounded,         FFormat,        FInfinite,
                           FInfinitePos};
    vcl::TBitmap bitmap;
    bitmap.SetPixelFormat(vcl::pf24bit);
    bitmap.SetSize(r.Width(), r.Height());
    DrawGauge(bitmap.Canvas(), r, s);
    if (FRounded) {
        // The corners outside the rounded frame let the parent show through.
        bitmap.SetTransparentColor(0xFF00FF);
        bitmap.SetTransparentMode(vcl::tmAuto);
        bitmap.SetTransparent(true);
    }
    Canvas()->Draw(0, 0, &bitmap);
}

} // namespace components
