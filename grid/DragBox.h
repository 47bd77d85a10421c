// grid/DragBox.h: the small top-level windows that float over the grid while the user drags: the
// marker of a middle-button roll, the image of a column header that follows the mouse while a column
// is moved, and the red arrows that mark where the column will land. Their shapes are window regions.
#pragma once
#include "grid/Painters.h"
#include "vcl/Controls.h"

#include <memory>

namespace grid {

enum TRollShadowKind { rkBoth, rkVertical, rkHorizontal };
enum TArrowKind { akNone, akUp, akDown };
// X and Y in screen coordinates.
using TDragBoxEvent = rtl::TEvent<void(rtl::TObject* Sender, int X, int Y)>;

// A popup tool window that never takes the focus and erases no background.
class TRgFlyoutControl : public vcl::TCustomControl {
public:
    explicit TRgFlyoutControl(rtl::TComponent* AOwner);
    // A top-level window of its own: it shows without a parent, as hint windows do.
    bool IsFormLike() const override { return true; }

protected:
    void CreateParams(vcl::TCreateParams& Params) override;
    void WMEraseBkgnd(vcl::TWMEraseBkgnd& Message) override { Message.Result = 1; }
    // Makes Region (owned by the window from now on) the window's shape.
    void ApplyRegion(HRGN Region);
};

class TRollShadow : public TRgFlyoutControl {
public:
    explicit TRollShadow(rtl::TComponent* AOwner);

    TPoint Position() const { return FPosition; }
    // Puts the marker's centre dot on the roll's start point (screen coordinates).
    void SetPosition(const TPoint& Value);
    TRollShadowKind Kind() const { return FKind; }
    void SetKind(TRollShadowKind Value) { FKind = Value; }

    virtual void UpdateRegion();

protected:
    void Paint() override;

private:
    TPoint FPosition;
    TRollShadowKind FKind = rkVertical;
};

class TColumnDragBox : public TRgFlyoutControl {
public:
    // AOwner is the grid, whose font the header is drawn with.
    explicit TColumnDragBox(vcl::TControl* AOwner);
    ~TColumnDragBox() override;

    TRgCustomColumn* Column() const { return FColumn; }
    TStyleDisplay* ColumnDisplay() const { return FColumnDisplay.get(); }
    // Starts following the mouse with AColumn's header; with Hide the box captures the mouse unseen.
    void Show(int X, int Y, TRgCustomColumn* AColumn, bool Hide);

    TDragBoxEvent OnDragBoxDrop;
    TDragBoxEvent OnDragBoxMove;

protected:
    virtual void DoDragBoxMove(int X, int Y);
    virtual void DoDragBoxDrop(int X, int Y);
    void Paint() override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    // The application's activation changes are told to top-level windows only: the box, one of them,
    // passes them on to its grid, a child window, so that a drag ends when the application is left.
    void Dispatch(vcl::TMessage& Message) override;

private:
    vcl::TControl* FOwner;
    TRgCustomColumn* FColumn = nullptr;
    std::unique_ptr<TDefaultStyleDisplay> FColumnDisplay;
};

class TDragArrow : public TRgFlyoutControl {
public:
    explicit TDragArrow(rtl::TComponent* AOwner);

    TArrowKind ArrowKind() const { return FArrowKind; }
    void SetArrowKind(TArrowKind Value);
    virtual void UpdateRegion();

protected:
    void Paint() override;

private:
    TArrowKind FArrowKind = akNone;
};

} // namespace grid
