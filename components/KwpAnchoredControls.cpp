// components/KwpAnchoredControls.cpp
#include "components/KwpAnchoredControls.h"

namespace components {

TKwpAnchoredControl::TKwpAnchoredControl(rtl::TComponent* AOwner) : FOwner(AOwner) {}

void TKwpAnchoredControl::SetControl(vcl::TControl* Value) {
    if (Value && Value == FOwner) return;
    FControl = Value;
    if (Value) {
        if (FOwner) Value->FreeNotification(FOwner);
        auto* host = dynamic_cast<vcl::TWinControl*>(FOwner);
        if (host && host->Parent() && Value->Parent() != host->Parent()) Value->SetParent(host->Parent());
    }
    NotifyChanged(this);
}

void TKwpAnchoredControl::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TKwpAnchoredControl*>(Source);
    if (!source) {
        TKwpPersistent::Assign(Source);
        return;
    }
    // Straight into the fields: no notification, no parent change.
    FControl = source->FControl;
    FSpacing = source->FSpacing;
    FDeltaPosX = source->FDeltaPosX;
    FDeltaPosY = source->FDeltaPosY;
    FControlPositionMode = source->FControlPositionMode;
    FCustomPosition = source->FCustomPosition;
    FEnabled = source->FEnabled;
}

TKwpAnchoredControls::TKwpAnchoredControls(rtl::TComponent* AOwner)
    : FOwner(AOwner), FTop(std::make_unique<TKwpTopAnchoredControl>(AOwner)),
      FBottom(std::make_unique<TKwpBottomAnchoredControl>(AOwner)),
      FLeft(std::make_unique<TKwpLeftAnchoredControl>(AOwner)),
      FRight(std::make_unique<TKwpRightAnchoredControl>(AOwner)) {
    for (TKwpAnchoredControl* anchor : {static_cast<TKwpAnchoredControl*>(FTop.get()),
                                        static_cast<TKwpAnchoredControl*>(FBottom.get()),
                                        static_cast<TKwpAnchoredControl*>(FLeft.get()),
                                        static_cast<TKwpAnchoredControl*>(FRight.get())})
        anchor->OnChange = rtl::MakeEvent(this, &TKwpAnchoredControls::AnchorChanged);
}

TKwpAnchoredControls::~TKwpAnchoredControls() = default;

void TKwpAnchoredControls::AnchorChanged(rtl::TObject* Sender) {
    UpdateControlPos(dynamic_cast<TKwpAnchoredControl*>(Sender));
}

void TKwpAnchoredControls::SetSide(TKwpAnchoredControl* Own, TKwpAnchoredControl* Value) {
    if (!Value) return;
    Own->Assign(Value);
    UpdateControlPos(Own);
    NotifyChanged(this);
}

void TKwpAnchoredControls::UpdateAllControlsPos() {
    UpdateTopControlPos();
    UpdateBottomControlPos();
    UpdateLeftControlPos();
    UpdateRightControlPos();
}

void TKwpAnchoredControls::UpdateControlPos(TKwpAnchoredControl* Anchor) {
    auto* host = dynamic_cast<vcl::TControl*>(FOwner);
    if (!Anchor || !Anchor->Control() || !Anchor->Enabled() || !host || FPlacing) return;
    FPlacing = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FPlacing};
    PlaceAnchoredControl(host, Anchor->Control(), Anchor->EffectivePosition(), Anchor->Spacing(),
                         Anchor->DeltaPosX(), Anchor->DeltaPosY());
}

void TKwpAnchoredControls::ControlRemoved(rtl::TComponent* AComponent) {
    for (TKwpAnchoredControl* anchor : {static_cast<TKwpAnchoredControl*>(FTop.get()),
                                        static_cast<TKwpAnchoredControl*>(FBottom.get()),
                                        static_cast<TKwpAnchoredControl*>(FLeft.get()),
                                        static_cast<TKwpAnchoredControl*>(FRight.get())}) {
        if (anchor->Control() && anchor->Control() == AComponent) {
            anchor->SetControl(nullptr);
            return;
        }
    }
}

void PlaceAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpControlPos Position, int32_t Spacing,
                          int32_t DeltaX, int32_t DeltaY) {
    const int L = Host->Left(), T = Host->Top(), W = Host->Width(), H = Host->Height();
    const int w = Control->Width(), h = Control->Height(), s = Spacing;
    // Along the side: the five positions of the top and bottom sides run left to right, those of the
    // left and right sides top to bottom.
    const int along = Position % 5;
    const int acrossX[5] = {L - w, L, L + W / 2 - w / 2, L + W - w, L + W};
    const int acrossY[5] = {T - h, T, T + H / 2 - h / 2, T + H - h, T + H};
    int x = 0, y = 0;
    switch (Position / 5) {
    case 0: x = acrossX[along]; y = T - h - s; break;
    case 1: x = acrossX[along]; y = T + H + s; break;
    case 2: x = L - w - s; y = acrossY[along]; break;
    default: x = L + W + s; y = acrossY[along]; break;
    }
    x += DeltaX;
    y += DeltaY;
    if (x != Control->Left() || y != Control->Top()) Control->SetBounds(x, y, w, h);
}

void PlaceTopAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpTopControlPos Position,
                             int32_t Spacing, int32_t DeltaX, int32_t DeltaY) {
    PlaceAnchoredControl(Host, Control, TKwpTopAnchoredControl::ToControlPos(Position), Spacing, DeltaX, DeltaY);
}
void PlaceBottomAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpBottomControlPos Position,
                                int32_t Spacing, int32_t DeltaX, int32_t DeltaY) {
    PlaceAnchoredControl(Host, Control, TKwpBottomAnchoredControl::ToControlPos(Position), Spacing, DeltaX, DeltaY);
}
void PlaceLeftAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpLeftControlPos Position,
                              int32_t Spacing, int32_t DeltaX, int32_t DeltaY) {
    PlaceAnchoredControl(Host, Control, TKwpLeftAnchoredControl::ToControlPos(Position), Spacing, DeltaX, DeltaY);
}
void PlaceRightAnchoredControl(vcl::TControl* Host, vcl::TControl* Control, TKwpRightControlPos Position,
                               int32_t Spacing, int32_t DeltaX, int32_t DeltaY) {
    PlaceAnchoredControl(Host, Control, TKwpRightAnchoredControl::ToControlPos(Position), Spacing, DeltaX, DeltaY);
}

} // namespace components
