// vcl/ComCtrls.h: the common controls the program uses: the up-down control beside a number edit and
// the progress bar.
#pragma once
#include "vcl/StdCtrls.h"

namespace vcl {

enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
enum TUpDownDirection { updNone, updUp, updDown };

using TUDClickEvent = rtl::TEvent<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = rtl::TEvent<void(TObject* Sender, bool& AllowChange)>;
using TUDChangingEventEx =
    rtl::TEvent<void(TObject* Sender, bool& AllowChange, int NewValue, TUpDownDirection Direction)>;

// Arrows over the platform's "msctls_updown32" that step Position between Min and Max by Increment
// (round the ends with Wrap). With an Associate the arrows sit beside it and an edit shows the number.
// OnChanging and OnChangingEx may refuse a step before it happens; OnClick follows each step made.
class TCustomUpDown : public TWinControl {
public:
    explicit TCustomUpDown(TComponent* AOwner);

    TWinControl* Associate() const { return FAssociate; }
    // Raises when another up-down of the parent has this associate already.
    void SetAssociate(TWinControl* Value);
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton Value) { SetWindowField(FAlignButton, Value); }
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool Value) { SetWindowField(FArrowKeys, Value); }
    bool Thousands() const { return FThousands; }
    void SetThousands(bool Value) { SetWindowField(FThousands, Value); }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value) { SetWindowField(FWrap, Value); }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    // Read from the window (and so from the associate's text) while it exists.
    int Position();
    void SetPosition(int Value);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;
    TUDChangingEventEx OnChangingEx;

protected:
    virtual bool CanChange();
    virtual void Click(TUDBtnType Button);
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, rtl::TOperation Operation) override;

private:
    using TWinControl::Click;
    template <class T> void SetWindowField(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        RecreateWnd();
    }
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) { return SendMessageW(WindowHandle(), Msg, WParam, LParam); }
    void ShowPosition();
    void Scrolled(TWMScroll& Message);

    TWinControl* FAssociate = nullptr;
    TUDAlignButton FAlignButton = udRight;
    TUDOrientation FOrientation = udVertical;
    bool FArrowKeys = true;
    bool FThousands = true;
    bool FWrap = false;
    int FMin = 0;
    int FMax = 100;
    int FIncrement = 1;
    int FPosition = 0;
    int FNewValue = 0;
    int FNewValueDelta = 0;
};

class TUpDown : public TCustomUpDown {
public:
    using TCustomUpDown::TCustomUpDown;
};

enum TProgressBarOrientation { pbHorizontal, pbVertical };

// A bar filled in proportion to Position between Min and Max, drawn by the control in the classic look
// (blocks of the highlight colour, or one smooth run).
class TProgressBar : public TCustomControl {
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value) { SetRange(Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetRange(FMin, Value); }
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    void StepIt() { StepBy(FStep); }
    void StepBy(int Delta) { SetPosition(FPosition + Delta); }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation Value);
    // The part of the client area the filled bar covers.
    TRect BarRect();

protected:
    void Paint() override;

private:
    void SetRange(int AMin, int AMax);

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = pbHorizontal;
};

} // namespace vcl
