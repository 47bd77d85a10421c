// controls/RgControls6.h: the base classes of the second control family: a custom-drawn window control,
// one with its own non-client border and paint event, and one that chooses its drawing way through
// style options.
#pragma once
#include "controls/RgClasses6.h"
#include "controls/RgStyles6.h"
#include "vcl/Controls.h"

namespace vcl {
class THintWindow;
class TTimer;
} // namespace vcl

namespace controls {

enum TRgPaintStateItem { ptPainting };
using TRgPaintState = rtl::TSet<TRgPaintStateItem>;

class TRgUserControl6 : public vcl::TCustomControl {
public:
    explicit TRgUserControl6(rtl::TComponent* AOwner);

    // The form holding the control exists and is showing.
    bool IsParentFormShowing();
    // Invalidates R without erasing, unless there is no window or the control is painting.
    void InvalidateRectNoErase(const vcl::TRect& R);
    bool Painting() const { return FPaintingState.Contains(ptPainting); }

protected:
    virtual void PaddingChanged(rtl::TObject* Sender);
    void PaintWindow(HDC DC) override;
    void WMEraseBkgnd(vcl::TWMEraseBkgnd& Message) override { Message.Result = 1; }

private:
    TRgPaintState FPaintingState;
};

class TRgControl6 : public TRgUserControl6 {
public:
    explicit TRgControl6(rtl::TComponent* AOwner);
    ~TRgControl6() override;

    vcl::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(vcl::TColor Value);
    int BorderSize() const { return FBorderSize; }
    void SetBorderSize(int Value);
    TRgBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TRgBorderStyle Value);
    rtl::String TagString() const { return FTagString; }
    void SetTagString(const rtl::String& Value) { FTagString = Value; }

    rtl::TNotifyEvent OnPaint;

protected:
    // Fills R with C, or with Color when C is clNone.
    void FillBackground(const vcl::TRect& R, vcl::TColor C);
    void FreeHintWindow();
    virtual void DoPaint() { OnPaint(this); }
    void PaintWindow(HDC DC) override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;

    vcl::TPoint FHintLocation;
    vcl::TTimer* FHintPauseTimer = nullptr;  // made by descendants, owned here
    rtl::String FHintText;
    vcl::THintWindow* FHintWindow = nullptr;

private:
    void PaintBorder();
    vcl::TColor FBorderColor = vcl::clBtnShadow;
    int FBorderSize = 0;
    TRgBorderStyle FBorderStyle = btSolid;
    rtl::String FTagString;
};

class TRgStyledControl6 : public TRgControl6 {
public:
    explicit TRgStyledControl6(rtl::TComponent* AOwner) : TRgControl6(AOwner) {}

    TRgStyleOptions StyleOptions() const { return FStyleOptions; }
    void SetStyleOptions(TRgStyleOptions Value);
    bool CanStyle(TRgStyleOption Option) const;
    // The colour scheme changed: repaint.
    void ColorSchemeChanged() { Invalidate(); }

protected:
    virtual void StyleOptionsChanged() { Invalidate(); }

private:
    TRgStyleOptions FStyleOptions{soNativeStyles};
};

} // namespace controls
