// components/PlusProgressBar.h: a windowless progress bar whose fill colour follows how far it got (four
// levels, each a two-way gradient, stacked or one level at a time, in blocks or smooth), with an
// optional text, a rounded frame, a vertical orientation and an endless mode with a running window.
#pragma once
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"

#include <memory>

namespace components {

enum TGaugeOrientation { goHorizontal, goVertical };

// The painter's copy of the bar's state, taken at each paint.
struct TGaugeSettings {
    vcl::TColor Level0Color, Level0ColorTo, Level1Color, Level1ColorTo, Level2Color, Level2ColorTo, Level3Color,
        Level3ColorTo;
    int Level1Perc, Level2Perc;
    vcl::TColor BorderColor, Level0BkColor, Level1BkColor, Level2BkColor;
    bool ShowBorder, Stacked, ShowPercentage, ShowPosition;
    vcl::TFont* Font;
    bool CompletionSmooth, ShowGradient;
    int Steps;
    int Position;  // the percentage, 0..100
    int Value;     // the raw position
    int Max;       // the raw maximum
    vcl::TColor BackgroundColor;
    TGaugeOrientation Orientation;
    bool Rounded;
    rtl::String Format;
    bool Infinite;
    int InfinitePos;
};

// Paints a whole bar into R.
void DrawGauge(vcl::TCanvas* Canvas, vcl::TRect R, TGaugeSettings S);
// Steps bands from From to To across Rect: along x when AlongX, else along y.
void DrawBandGradient(vcl::TCanvas* Canvas, vcl::TColor FromColor, vcl::TColor ToColor, int Steps,
                      const vcl::TRect& Rect, bool AlongX);

class TPlusProgressBar : public vcl::TGraphicControl {
public:
    explicit TPlusProgressBar(rtl::TComponent* AOwner);
    ~TPlusProgressBar() override;

    vcl::TColor Level0Color() const { return FLevel0Color; }
    void SetLevel0Color(vcl::TColor Value);
    vcl::TColor Level0ColorTo() const { return FLevel0ColorTo; }
    void SetLevel0ColorTo(vcl::TColor Value);
    vcl::TColor Level1Color() const { return FLevel1Color; }
    void SetLevel1Color(vcl::TColor Value);
    vcl::TColor Level1ColorTo() const { return FLevel1ColorTo; }
    void SetLevel1ColorTo(vcl::TColor Value);
    vcl::TColor Level2Color() const { return FLevel2Color; }
    void SetLevel2Color(vcl::TColor Value);
    vcl::TColor Level2ColorTo() const { return FLevel2ColorTo; }
    void SetLevel2ColorTo(vcl::TColor Value);
    vcl::TColor Level3Color() const { return FLevel3Color; }
    void SetLevel3Color(vcl::TColor Value);
    vcl::TColor Level3ColorTo() const { return FLevel3ColorTo; }
    void SetLevel3ColorTo(vcl::TColor Value);
    int Level1Perc() const { return FLevel1Perc; }
    void SetLevel1Perc(int Value);
    int Level2Perc() const { return FLevel2Perc; }
    void SetLevel2Perc(int Value);
    vcl::TColor Level0BkColor() const { return FLevel0BkColor; }
    void SetLevel0BkColor(vcl::TColor Value);
    vcl::TColor Level1BkColor() const { return FLevel1BkColor; }
    void SetLevel1BkColor(vcl::TColor Value);
    vcl::TColor Level2BkColor() const { return FLevel2BkColor; }
    void SetLevel2BkColor(vcl::TColor Value);
    vcl::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(vcl::TColor Value);
    vcl::TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(vcl::TColor Value);
    bool ShowBorder() const { return FShowBorder; }
    void SetShowBorder(bool Value);
    bool Stacked() const { return FStacked; }
    void SetStacked(bool Value);
    bool ShowPercentage() const { return FShowPercentage; }
    void SetShowPercentage(bool Value);
    bool ShowPosition() const { return FShowPosition; }
    void SetShowPosition(bool Value);
    // The text's font (the control's own Font is not used).
    vcl::TFont* Font() const { return FFontPercentage.get(); }
    void SetFont(vcl::TFont* Value);
    bool CompletionSmooth() const { return FCompletionSmooth; }
    void SetCompletionSmooth(bool Value);
    bool ShowGradient() const { return FShowGradient; }
    void SetShowGradient(bool Value);
    int Steps() const { return FSteps; }
    void SetSteps(int Value);
    TGaugeOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TGaugeOrientation Value);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool Value);
    rtl::String Format() const { return FFormat; }
    void SetFormat(const rtl::String& Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    // Inside Min..Max: stored and painted at once (unless neither the percentage nor the block moved);
    // outside: clamped and left for the next paint.
    void SetPosition(int Value);
    bool Infinite() const { return FInfinite; }
    void SetInfinite(bool Value);
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool Value);
    int InfiniteInterval() const { return FInfiniteInterval; }
    void SetInfiniteInterval(int Value);
    rtl::String Version() const;
    void SetVersion(const rtl::String&) {}

    // The percentage shown for the position.
    int Percentage() const { return PercentOf(FPosition); }
    int InfinitePos() const { return FInfinitePos; }
    vcl::TTimer* Timer() const { return FTimer; }

protected:
    void Paint() override;
    void Dispatch(vcl::TMessage& Message) override;

private:
    template <class T> void Store(T& Field, T Value) {
        Field = Value;
        Invalidate();
    }
    int PercentOf(int Value) const;
    void FontChanged(rtl::TObject* Sender);
    void InfiniteTimerTick(rtl::TObject* Sender);
    void UpdateTimer();

    vcl::TColor FLevel0Color = 0x00FF00, FLevel0ColorTo = 0xE1FFE1;
    vcl::TColor FLevel1Color = 0x00FFFF, FLevel1ColorTo = 0xCAFFFF;
    vcl::TColor FLevel2Color = 0x53A9FF, FLevel2ColorTo = 0xA8D3FF;
    vcl::TColor FLevel3Color = 0x0000FF, FLevel3ColorTo = 0xCACAFF;
    int FLevel1Perc = 70, FLevel2Perc = 90;
    vcl::TColor FBorderColor = 0x808080;
    bool FShowBorder = true, FStacked = false, FShowPercentage = true;
    std::unique_ptr<vcl::TFont> FFontPercentage;
    bool FCompletionSmooth = false, FShowGradient = true;
    int FSteps = 8;
    int FPosition = 50;
    vcl::TColor FBackgroundColor = 0xFFFFFF;
    TGaugeOrientation FOrientation = goHorizontal;
    bool FShowPosition = true;
    int FMin = 0, FMax = 100;
    int FMaxIncrement = 1;
    bool FRounded = true;
    rtl::String FFormat;
    bool FAnimated = false, FInfinite = false;
    int FInfinitePos = 0;
    bool FInfiniteInc = false;
    int FInfiniteInterval = 50;
    int FOldBlockPos = 0;
    int FOldPos = 0;
    vcl::TTimer* FTimer;
    vcl::TColor FLevel0BkColor = vcl::clNone, FLevel1BkColor = vcl::clNone, FLevel2BkColor = vcl::clNone;
};

} // namespace components
