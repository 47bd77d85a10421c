// vcl/ExtCtrls.h: the timer component, panels, shapes, images, edits with a caption label and splitters.
#pragma once
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace vcl {

// A WM_TIMER of its own hidden window, on the one clock of the window model (the manual clock in tests).
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    UINT Interval() const { return FInterval; }
    void SetInterval(UINT Value);
    // Setting the handler starts the timer when it is enabled; no handler, no timer.
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(const TNotifyEvent& Value);

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);

    bool FEnabled = true;
    UINT FInterval = 1000;
    TNotifyEvent FOnTimer;
    HWND FWindowHandle = nullptr;
    bool FRunning = false;
};

// Draws Width nested one-pixel frames inside Rect, top and left in TopColor, bottom and right in
// BottomColor, and leaves Rect the area inside them.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);


// A container with a caption, framed by an outer bevel, a border of its colour and an inner bevel.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value) { SetFrame(FBevelOuter, Value); }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value) { SetFrame(FBevelInner, Value); }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { SetFrame(FBevelWidth, Value < 1 ? 1 : Value); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value) { FLocked = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;

private:
    template <class T> void SetFrame(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        Realign();
        Invalidate();
    }
    int BevelsWidth() const;

    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    TBorderStyle FBorderStyle = bsNone;
    bool FShowCaption = true;
    bool FFullRepaint = true;
    bool FLocked = false;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

// A windowless figure drawn with its pen and brush; changing either repaints it.
class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType Value);
    TPen* Pen() const { return FPen.get(); }
    TBrush* Brush() const { return FBrush.get(); }

protected:
    void Paint() override;

private:
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TShapeType FShape = stRectangle;
};

// A windowless picture: drawn at the top left, centred, stretched or scaled keeping its proportions.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    TPicture* Picture() const { return FPicture.get(); }
    bool Center() const { return FCenter; }
    void SetCenter(bool Value) { Set(FCenter, Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { Set(FStretch, Value); }
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value) { Set(FProportional, Value); }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { Set(FTransparent, Value); }
    // Where the picture lands in the client area.
    TRect DestRect();

protected:
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

private:
    void Set(bool& Field, bool Value) {
        if (Field != Value) { Field = Value; Invalidate(); }
    }
    void PictureChanged(TObject* Sender);

    std::unique_ptr<TPicture> FPicture;
    bool FCenter = false;
    bool FStretch = false;
    bool FProportional = false;
    bool FTransparent = false;
};

enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };

class TCustomLabeledEdit;

// The caption label an edit owns: it stands beside the edit and moves with it.
class TBoundLabel : public TCustomLabel {
public:
    explicit TBoundLabel(TComponent* AOwner);

protected:
    void Resize() override;
};

// An edit with its own label ("SubLabel"): the label follows the edit's parent, place, visibility and
// enabled state, and its accelerator focuses the edit.
class TCustomLabeledEdit : public TCustomEdit {
public:
    explicit TCustomLabeledEdit(TComponent* AOwner);

    TBoundLabel* EditLabel() const { return FEditLabel; }
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int LabelSpacing() const { return FLabelSpacing; }
    void SetLabelSpacing(int Value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;

protected:
    void Notification(TComponent* AComponent, rtl::TOperation Operation) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;

private:
    friend class TBoundLabel;
    void PlaceLabel();

    TBoundLabel* FEditLabel = nullptr;
    TLabelPosition FLabelPosition = lpAbove;
    int FLabelSpacing = 3;
    bool FPlacing = false;
};

class TLabeledEdit : public TCustomLabeledEdit {
public:
    using TCustomLabeledEdit::TCustomLabeledEdit;
};

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TCanResizeSizeEvent = rtl::TEvent<void(TObject* Sender, int& NewSize, bool& Accept)>;

// A bar aligned to a side of its parent that the user drags to resize the control aligned just before
// it on that side, no smaller than MinSize (snapping shut below it with AutoSnap) and leaving MinSize
// to the rest. rsUpdate resizes while dragging; rsLine and rsPattern show where it will go until the
// button is released; Escape cancels.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);
    ~TSplitter() override;

    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool Value) { FAutoSnap = Value; }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool Value);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value);
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
    // The control the splitter resizes while a drag is on.
    TControl* ResizeControl() const { return FControl; }

    TCanResizeSizeEvent OnCanResize;
    TNotifyEvent OnMoved;
    TNotifyEvent OnPaint;

protected:
    using TControl::CanResize; // the control's own width-and-height form stays reachable
    virtual bool CanResize(int& NewSize);
    virtual bool DoCanResize(int& NewSize);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;
    void RequestAlign() override;
    virtual void StopSizing();

private:
    TControl* FindControl();
    void CalcSplitSize(int X, int Y, int& NewSize, int& Split);
    void UpdateSize(int X, int Y);
    void UpdateControlSize();
    void DrawLine();
    void AllocateLineDC();
    void ReleaseLineDC();
    void FocusKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);

    TControl* FControl = nullptr;
    TPoint FDownPos;
    int FMaxSize = 0;
    int FMinSize = 30;
    int FNewSize = 0;
    int FOldSize = -1;
    int FSplit = 0;
    bool FAutoSnap = true;
    bool FBeveled = false;
    TResizeStyle FResizeStyle = rsPattern;
    HDC FLineDC = nullptr;
    HBRUSH FBrush = nullptr;
    HGDIOBJ FPrevBrush = nullptr;
    bool FLineVisible = false;
    TWinControl* FActiveControl = nullptr;
    TKeyEvent FOldKeyDown;
};

} // namespace vcl

// The tray icon is part of this unit.
#include "vcl/TrayIcon.h"
