// components/KwpComboBox.h: the class library's combo box with a caption label it owns and keeps beside
// itself, an optional move to the next control on Enter, a colour flash and one colour for enabled and
// one for disabled. The label, Enter and flash handling are shared with the pack's memo.
#pragma once
#include "components/Common.h"
#include "components/KwpAnchorHost.h"
#include "components/KwpTimer.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"

#include <memory>

namespace components {

using vcl::TLabelPosition;

// Places Label beside Control at Position, Spacing pixels away, keeping the label's size.
void PlaceBoundLabel(vcl::TControl* Control, TKwpControlBoundLabel* Label, TLabelPosition Position, int Spacing);
// Enter moves the focus to the next control of the owner (Shift+Enter to the previous one) and is
// consumed; other keys pass.
void TabOnEnterKey(rtl::TComponent* Owner, rtl::Char& Key);

// What the combo box and the memo share: the bound label, the anchored spacing and the Enter key.
template <class TControlBase> class TKwpBoundLabelControl : public TKwpAnchorHost<TControlBase> {
    using TBase = TKwpAnchorHost<TControlBase>;

public:
    explicit TKwpBoundLabelControl(rtl::TComponent* AOwner) : TBase(AOwner), FTagExt(std::make_unique<TKwpTagExt>(this)) {
        SetupInternalLabel();
    }

    TKwpControlBoundLabel* BoundLabel() const { return FBoundLabel; }
    TLabelPosition BoundLabelPosition() const { return FBoundLabelPosition; }
    void SetBoundLabelPosition(TLabelPosition Value) {
        if (!FBoundLabel) return;
        FBoundLabelPosition = Value;
        PlaceBoundLabel(this, FBoundLabel, Value, FBoundLabelSpacing);
        FBoundLabel->SetVisible(FShowLabel && this->Visible());
    }
    int BoundLabelSpacing() const { return FBoundLabelSpacing; }
    void SetBoundLabelSpacing(int Value) {
        FBoundLabelSpacing = Value;
        SetBoundLabelPosition(FBoundLabelPosition);
    }
    bool ShowLabel() const { return FShowLabel; }
    void SetShowLabel(bool Value) {
        if (!FBoundLabel || Value == FBoundLabel->Visible()) return;
        FShowLabel = Value;
        FBoundLabel->SetVisible(Value);
    }
    bool TabOnEnter() const { return FTabOnEnter; }
    void SetTabOnEnter(bool Value) { FTabOnEnter = Value; }
    TKwpTagExt* TagExt() const { return FTagExt.get(); }
    bool MouseOverControl() const { return FMouseOverControl; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override {
        TBase::SetBounds(ALeft, ATop, AWidth, AHeight);
        SetBoundLabelPosition(FBoundLabelPosition);
    }
    void SetParent(vcl::TWinControl* Value) override {
        TBase::SetParent(Value);
        if (FBoundLabel) {
            FBoundLabel->SetParent(Value);
            FBoundLabel->SetVisible(true);
        }
    }

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override {
        TBase::Notification(AComponent, Operation);
        if (Operation == rtl::opRemove && AComponent == FBoundLabel &&
            !this->ComponentState().Contains(rtl::csDestroying))
            FBoundLabel = nullptr;  // freed from outside: the control goes on without a label
    }
    void KeyPress(rtl::Char& Key) override {
        TBase::KeyPress(Key);
        if (FTabOnEnter) TabOnEnterKey(this->Owner(), Key);
    }
    // A combo box fixes its own height after it was placed: the label is centred on the height it took.
    void WMWindowPosChanged(vcl::TWMWindowPosMsg& Message) override {
        TBase::WMWindowPosChanged(Message);
        SetBoundLabelPosition(FBoundLabelPosition);
    }
    void CMVisibleChanged(vcl::TMessage& Message) override {
        TBase::CMVisibleChanged(Message);
        if (FBoundLabel) FBoundLabel->SetVisible(this->Visible());
    }
    void CMEnabledChanged(vcl::TMessage& Message) override {
        TBase::CMEnabledChanged(Message);
        if (FBoundLabel) FBoundLabel->SetEnabled(this->Enabled());
        EnabledChanged();
    }
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override {
        TBase::CMMouseEnter(Message);
        if (Message.Child()) return;
        if (GetActiveWindow()) {
            FMouseOverControl = true;
            HoverChanged();
        }
    }
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override {
        TBase::CMMouseLeave(Message);
        if (Message.Child()) return;
        FMouseOverControl = false;
        HoverChanged();
    }
    void Dispatch(vcl::TMessage& Message) override {
        TBase::Dispatch(Message);
        if (Message.Msg == vcl::CM_BIDIMODECHANGED && FBoundLabel) FBoundLabel->SetBiDiMode(this->BiDiMode());
    }
    // The colours of the control's new state.
    virtual void EnabledChanged() {}
    virtual void HoverChanged() {}

private:
    void SetupInternalLabel() {
        if (FBoundLabel) return;
        FBoundLabel = new TKwpControlBoundLabel(this);
        FBoundLabel->FreeNotification(this);
        FBoundLabel->OnAdjustBounds = rtl::TNotifyEvent(this, &TKwpBoundLabelControl::BoundLabelAdjustBounds);
        FBoundLabel->SetFocusControl(this);
    }
    void BoundLabelAdjustBounds(rtl::TObject*) { SetBoundLabelPosition(FBoundLabelPosition); }

    TKwpControlBoundLabel* FBoundLabel = nullptr;
    bool FMouseOverControl = false;
    bool FTabOnEnter = false;
    std::unique_ptr<TKwpTagExt> FTagExt;
    bool FShowLabel = true;
    int FBoundLabelSpacing = 4;
    TLabelPosition FBoundLabelPosition = vcl::lpLeft;
};

class TKwpCustomComboBox;
using TKwpFlashKwpComboBox = TKwpFlashControl<TKwpCustomComboBox>;

class TKwpCustomComboBox : public TKwpBoundLabelControl<vcl::TCustomComboBox> {
public:
    explicit TKwpCustomComboBox(rtl::TComponent* AOwner);
    ~TKwpCustomComboBox() override;

    vcl::TColor ColorEnabled() const { return FColorEnabled; }
    void SetColorEnabled(vcl::TColor Value);
    vcl::TColor ColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(vcl::TColor Value);
    TKwpFlashKwpComboBox* Flash() const { return FFlash.get(); }
    // Blinks the control's colour and gives it back.
    void FlashBackground();

protected:
    void EnabledChanged() override;

private:
    std::unique_ptr<TKwpFlashKwpComboBox> FFlash;
    vcl::TColor FColorEnabled = vcl::clWindow;
    vcl::TColor FColorDisabled = 0xF0F0F0;
};

class TKwpComboBox : public TKwpCustomComboBox {
public:
    using TKwpCustomComboBox::TKwpCustomComboBox;
};

} // namespace components
