// vcl/Buttons.h: buttons with a glyph beside their caption: the windowless speed button (a tool button
// that can stay down, alone or in a group) and the bitmap button, an owner-drawn push button with
// standard kinds.
#pragma once
#include "vcl/StdCtrls.h"

namespace vcl {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int;  // 1 to 4

// The glyph of a button: one bitmap holding NumGlyphs images side by side (up, disabled, down, stays
// down), its bottom-left pixel the transparent colour, drawn with the caption beside it.
class TButtonGlyph : public rtl::TObject {
public:
    TButtonGlyph();
    ~TButtonGlyph();

    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs Value);

    // Where the glyph and the caption go in Client (moved by Offset). Margin -1 centres the pair;
    // Spacing -1 spreads them evenly.
    void CalcButtonLayout(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const String& Caption,
                          TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds,
                          UINT TextFlags = 0);
    // Draws glyph and caption for State; the caption's rectangle.
    TRect Draw(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const String& Caption,
               TButtonLayout Layout, int Margin, int Spacing, TButtonState State, bool Transparent,
               UINT TextFlags = 0);

    TNotifyEvent OnChange;

private:
    TSize GlyphSize() const;
    void DrawButtonGlyph(TCanvas* Canvas, const TPoint& GlyphPos, TButtonState State);
    void DrawButtonText(TCanvas* Canvas, const String& Caption, TRect TextBounds, TButtonState State, UINT Flags);
    void GlyphChanged(TObject* Sender);

    std::unique_ptr<TBitmap> FGlyph;
    TNumGlyphs FNumGlyphs = 1;
};

// A windowless button. With a GroupIndex it stays down when clicked and lets the one that was down in
// its group up (with AllowAllUp a click lets it up again); Flat shows its edge only under the mouse.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(TBitmap* Value) { FGlyph->SetGlyph(Value); }
    TNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(TNumGlyphs Value) { FGlyph->SetNumGlyphs(Value); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value) { Set(FLayout, Value); }
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { Set(FMargin, Value < -1 ? -1 : Value); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { Set(FSpacing, Value); }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    // Where the caption was drawn last.
    TRect TextBounds() const { return FTextBounds; }

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage& Message) override;

private:
    template <class T> void Set(T& Field, T Value) {
        if (Field != Value) {
            Field = Value;
            Invalidate();
        }
    }
    void UpdateExclusive();
    void GlyphChanged(TObject* Sender) { (void)Sender; Invalidate(); }

    std::unique_ptr<TButtonGlyph> FGlyph;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FDragging = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FMouseInControl = false;
    bool FTransparent = true;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TButtonState FState = bsUp;
    TRect FTextBounds;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// A push button drawn by the control (owner-draw over "Button") with a glyph beside the caption. A Kind
// gives the standard caption, modal result and default or cancel role; changing one of those makes it
// bkCustom again. bkClose closes the form.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    TBitBtnKind Kind();
    void SetKind(TBitBtnKind Value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(TBitmap* Value);
    TNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(TNumGlyphs Value) { FGlyph->SetNumGlyphs(Value); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value) { Set(FLayout, Value); }
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { Set(FMargin, Value < -1 ? -1 : Value); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { Set(FSpacing, Value); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { Set(FWordWrap, Value); }
    // Where the caption was drawn last.
    TRect TextBounds() const { return FTextBounds; }

    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void SetButtonStyle(bool ADefault) override;
    void Dispatch(TMessage& Message) override;
    virtual void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);

private:
    template <class T> void Set(T& Field, T Value) {
        if (Field != Value) {
            Field = Value;
            Invalidate();
        }
    }
    void GlyphChanged(TObject* Sender) { (void)Sender; Invalidate(); }

    std::unique_ptr<TButtonGlyph> FGlyph;
    std::unique_ptr<TControlCanvas> FCanvas;
    TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FWordWrap = false;
    bool FIsFocused = false;
    bool FModifiedGlyph = false;
    TRect FTextBounds;
};

} // namespace vcl
