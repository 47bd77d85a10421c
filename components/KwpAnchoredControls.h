// components/KwpAnchoredControls.h: up to four companion controls that a pack control keeps at fixed
// places around itself (above, below, left and right), moved, never resized, whenever the host moves
// or an anchor's setting changes.
#pragma once
#include "components/Common.h"
#include "vcl/Controls.h"

#include <memory>

namespace components {

enum TKwpTopControlPos : uint8_t { tcpTopLeftCorner, tcpTopLeft, tcpTopCenter, tcpTopRight, tcpTopRightCorner };
enum TKwpBottomControlPos : uint8_t {
    bcpBottomLeftCorner,
    bcpBottomLeft,
    bcpBottomCenter,
    bcpBottomRight,
    bcpBottomRightCorner
};
enum TKwpLeftControlPos : uint8_t { lcpLeftTopCorner, lcpLeftTop, lcpLeftCenter, lcpLeftBottom, lcpLeftBottomCorner };
enum TKwpRightControlPos : uint8_t {
    rcpRightTopCorner,
    rcpRightTop,
    rcpRightCenter,
    rcpRightBottom,
    rcpRightBottomCorner
};
// The four sides' positions in the order of the four types above, five per side.
enum TKwpControlPos : uint8_t {
    cpTopLeftCorner,
    cpTopLeft,
    cpTopCenter,
    cpTopRight,
    cpTopRightCorner,
    cpBottomLeftCorner,
    cpBottomLeft,
    cpBottomCenter,
    cpBottomRight,
    cpBottomRightCorner,
    cpLeftTopCorner,
    cpLeftTop,
    cpLeftCenter,
    cpLeftBottom,
    cpLeftBottomCorner,
    cpRightTopCorner,
    cpRightTop,
    cpRightCenter,
    cpRightBottom,
    cpRightBottomCorner
};
enum TKwpControlPositionMode : uint8_t { cpmDefault, cpmCustom };

class TKwpAnchoredControl : public TKwpPersistent {
public:
    explicit TKwpAnchoredControl(rtl::TComponent* AOwner);

    void Assign(rtl::TPersistent* Source) override;

    rtl::TComponent* Owner() const { return FOwner; }
    vcl::TControl* Control() const { return FControl; }
    // The host itself is refused; a companion is moved to the host's parent, whose coordinates it uses.
    void SetControl(vcl::TControl* Value);
    int32_t Spacing() const { return FSpacing; }
    void SetSpacing(int32_t Value) { Change(FSpacing, Value); }
    int32_t DeltaPosX() const { return FDeltaPosX; }
    void SetDeltaPosX(int32_t Value) { Change(FDeltaPosX, Value); }
    int32_t DeltaPosY() const { return FDeltaPosY; }
    void SetDeltaPosY(int32_t Value) { Change(FDeltaPosY, Value); }
    TKwpControlPositionMode ControlPositionMode() const { return FControlPositionMode; }
    void SetControlPositionMode(TKwpControlPositionMode Value) { Change(FControlPositionMode, Value); }
    TKwpControlPos CustomPosition() const { return FCustomPosition; }
    void SetCustomPosition(TKwpControlPos Value) { Change(FCustomPosition, Value); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { Change(FEnabled, Value); }

    // Where the companion goes: the custom position, or the side's own one.
    virtual TKwpControlPos EffectivePosition() const = 0;

protected:
    template <class T> void Change(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        NotifyChanged(this);
    }

private:
    rtl::TComponent* FOwner;
    vcl::TControl* FControl = nullptr;
    int32_t FSpacing = 3;
    int32_t FDeltaPosX = 0;
    int32_t FDeltaPosY = 0;
    TKwpControlPositionMode FControlPositionMode = cpmDefault;
    TKwpControlPos FCustomPosition = cpTopLeft;
    bool FEnabled = true;
};

// One side's anchor: a position of that side, turned into the position of the same name.
template <class TSidePos, TSidePos DefaultPos, TKwpControlPos FirstPos>
class TKwpSideAnchoredControl : public TKwpAnchoredControl {
public:
    using TKwpAnchoredControl::TKwpAnchoredControl;

    void Assign(rtl::TPersistent* Source) override {
        TKwpAnchoredControl::Assign(Source);
        if (auto* side = dynamic_cast<TKwpSideAnchoredControl*>(Source)) FPosition = side->FPosition;
    }

    TSidePos Position() const { return FPosition; }
    void SetPosition(TSidePos Value) { Change(FPosition, Value); }

    static TKwpControlPos ToControlPos(TSidePos Value) { return TKwpControlPos(int(FirstPos) + int(Value)); }
    TKwpControlPos EffectivePosition() const override {
        return ControlPositionMode() == cpmCustom ? CustomPosition() : ToControlPos(FPosition);
    }

private:
    TSidePos FPosition = DefaultPos;
};

using TKwpTopAnchoredControl = TKwpSideAnchoredControl<TKwpTopControlPos, tcpTopLeft, cpTopLeftCorner>;
using TKwpBottomAnchoredControl = TKwpSideAnchoredControl<TKwpBottomControlPos, bcpBottomLeft, cpBottomLeftCorner>;
using TKwpLeftAnchoredControl = TKwpSideAnchoredControl<TKwpLeftControlPos, lcpLeftTop, cpLeftTopCorner>;
using TKwpRightAnchoredControl = TKwpSideAnchoredControl<TKwpRightControlPos, rcpRightTop, cpRightTopCorner>;

class TKwpAnchoredControls : public TKwpPersistent {
public:
    explicit TKwpAnchoredControls(rtl::TComponent* AOwner);
    ~TKwpAnchoredControls() override;

    TKwpTopAnchoredControl* Top() const { return FTop.get(); }
    TKwpBottomAnchoredControl* Bottom() const { return FBottom.get(); }
    TKwpLeftAnchoredControl* Left() const { return FLeft.get(); }
    TKwpRightAnchoredControl* Right() const { return FRight.get(); }
    // The own anchor copies the given one (nil is ignored), that side is placed, then OnChange.
    void SetTop(TKwpTopAnchoredControl* Value) { SetSide(FTop.get(), Value); }
    void SetBottom(TKwpBottomAnchoredControl* Value) { SetSide(FBottom.get(), Value); }
    void SetLeft(TKwpLeftAnchoredControl* Value) { SetSide(FLeft.get(), Value); }
    void SetRight(TKwpRightAnchoredControl* Value) { SetSide(FRight.get(), Value); }

    void UpdateTopControlPos() { UpdateControlPos(FTop.get()); }
    void UpdateBottomControlPos() { UpdateControlPos(FBottom.get()); }
    void UpdateLeftControlPos() { UpdateControlPos(FLeft.get()); }
    void UpdateRightControlPos() { UpdateControlPos(FRight.get()); }
    void UpdateAllControlsPos();

    // The host's removal notification: the first anchor (top, bottom, left, right) holding the
    // component lets go of it.
    void ControlRemoved(rtl::TComponent* AComponent);

private:
    void AnchorChanged(rtl::TObject* Sender);
    void SetSide(TKwpAnchoredControl* Own, TKwpAnchoredControl* Value);
    void UpdateControlPos(TKwpAnchoredControl* Anchor);

    rtl::TComponent* FOwner;
    std::unique_ptr<TKwpTopAnchoredControl> FTop;
    std::unique_ptr<TKwpBottomAnchoredControl> FBottom;
    std::unique_ptr<TKwpLeftAnchoredControl> FLeft;
    std::unique_ptr<TKwpRightAnchoredControl> FRight;
    // Two controls anchored to each other would move each other without end.
    bool FPlacing = false;
};

void PlaceAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpControlPos Position, int32_t Spacing,
                          int32_t DeltaX, int32_t DeltaY);
void PlaceTopAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpTopControlPos Position,
                             int32_t Spacing, int32_t DeltaX, int32_t DeltaY);
void PlaceBottomAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpBottomControlPos Position,
                                int32_t Spacing, int32_t DeltaX, int32_t DeltaY);
void PlaceLeftAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpLeftControlPos Position,
                              int32_t Spacing, int32_t DeltaX, int32_t DeltaY);
void PlaceRightAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpRightControlPos Position,
                               int32_t Spacing, int32_t DeltaX, int32_t DeltaY);

} // namespace components
