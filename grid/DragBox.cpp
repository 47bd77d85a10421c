// grid/DragBox.cpp
#include "grid/DragBox.h"

#include <vector>

namespace grid {

using namespace vcl;

namespace {

HRGN PolygonRegion(const std::vector<POINT>& Points) {
    return CreatePolygonRgn(Points.data(), int(Points.size()), WINDING);
}

} // namespace

// ---- TRgFlyoutControl -------------------------------------------------------------------------------------

TRgFlyoutControl::TRgFlyoutControl(rtl::TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csNoDesignVisible});
    SetVisible(false);
    BringToFront();
}

void TRgFlyoutControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = (Params.Style & ~DWORD(WS_CHILD | WS_GROUP | WS_TABSTOP)) | WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    Params.WindowClass.style |= CS_SAVEBITS;
}

void TRgFlyoutControl::ApplyRegion(HRGN Region) {
    SetWindowRgn(Handle(), Region, TRUE);
}

// ---- TRollShadow ------------------------------------------------------------------------------------------

TRollShadow::TRollShadow(rtl::TComponent* AOwner) : TRgFlyoutControl(AOwner) {
    UpdateRegion();
}

void TRollShadow::SetPosition(const TPoint& Value) {
    UpdateRegion();
    FPosition = Value;
    SetBounds(Value.X - 7, Value.Y - 11, 32, 32);
}

void TRollShadow::UpdateRegion() {
    HRGN Region = CreateRectRgn(0, 0, 0, 0);
    HRGN Up = PolygonRegion({{-1, 7}, {7, -1}, {8, 0}, {14, 7}, {0, 6}});
    HRGN Down = PolygonRegion({{-1, 15}, {14, 15}, {6, 22}, {6, 22}, {-1, 14}});
    HRGN Dot = CreateEllipticRgn(5, 9, 10, 14);
    for (HRGN Part : {Up, Down, Dot}) {
        CombineRgn(Region, Region, Part, RGN_OR);
        DeleteObject(Part);
    }
    ApplyRegion(Region);
}

void TRollShadow::Paint() {
    Canvas()->Brush()->SetColor(clGrayText);
    Canvas()->FillRect(ClientRect());
}

// ---- TColumnDragBox ---------------------------------------------------------------------------------------

TColumnDragBox::TColumnDragBox(TControl* AOwner)
    : TRgFlyoutControl(AOwner), FOwner(AOwner),
      FColumnDisplay(std::make_unique<TDefaultStyleDisplay>(AOwner)) {}

TColumnDragBox::~TColumnDragBox() = default;

void TColumnDragBox::Dispatch(TMessage& Message) {
    TRgFlyoutControl::Dispatch(Message);
    if (Message.Msg != WM_ACTIVATEAPP) return;
    if (auto* Grid = dynamic_cast<TWinControl*>(FOwner); Grid && Grid->HandleAllocated())
        SendMessageW(Grid->WindowHandle(), WM_ACTIVATEAPP, Message.WParam, Message.LParam);
}

void TColumnDragBox::Show(int, int, TRgCustomColumn* AColumn, bool Hide) {
    FColumnDisplay->SetDefaultDrawing(false);
    FColumnDisplay->SetCanvas(Canvas());
    if (FOwner) Canvas()->Font()->Assign(FOwner->Font());
    SetVisible(!Hide);
    FColumn = AColumn;
    // The drag began in the grid: the box takes the capture and sees the rest of it.
    Perform(WM_LBUTTONDOWN, WPARAM(MK_LBUTTON), LPARAM(0));
}

void TColumnDragBox::Paint() {
    const TRect R = ClientRect();
    if (FColumn) {
        FColumnDisplay->SetCanvas(Canvas());
        FColumnDisplay->DrawHeader(FColumn, R);
    }
    Canvas()->Pen()->SetColor(clBlack);
    Canvas()->MoveTo(0, R.Height() - 1);
    Canvas()->LineTo(R.Width() - 1, R.Height() - 1);
    Canvas()->LineTo(R.Width() - 1, -1);
}

void TColumnDragBox::MouseMove(TShiftState Shift, int X, int Y) {
    TRgFlyoutControl::MouseMove(Shift, X, Y);
    const TPoint P = ClientToScreen(TPoint(X, Y));
    DoDragBoxMove(P.X, P.Y);
    SetBounds(P.X - ClientWidth() / 2, P.Y - ClientHeight() + 4, Width(), Height());
}

void TColumnDragBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TRgFlyoutControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const TPoint P = ClientToScreen(TPoint(X, Y));
    SetVisible(false);
    DoDragBoxDrop(P.X, P.Y);
}

void TColumnDragBox::DoDragBoxMove(int X, int Y) {
    if (OnDragBoxMove) OnDragBoxMove(this, X, Y);
}

void TColumnDragBox::DoDragBoxDrop(int X, int Y) {
    if (OnDragBoxDrop) OnDragBoxDrop(this, X, Y);
}

// ---- TDragArrow -------------------------------------------------------------------------------------------

TDragArrow::TDragArrow(rtl::TComponent* AOwner) : TRgFlyoutControl(AOwner) {
    SetBounds(Left(), Top(), 9, 9);
}

void TDragArrow::SetArrowKind(TArrowKind Value) {
    FArrowKind = Value;
    UpdateRegion();
}

void TDragArrow::UpdateRegion() {
    switch (FArrowKind) {
    case akUp:
        ApplyRegion(PolygonRegion({{-1, 5}, {4, -1}, {9, 5}, {6, 5}, {6, 9}, {3, 9}, {3, 4}, {0, 5}}));
        break;
    case akDown:
        ApplyRegion(PolygonRegion({{5, 0}, {3, 0}, {3, 4}, {0, 4}, {4, 9}, {9, 4}, {6, 4}, {6, 0}}));
        break;
    // The grid sets a direction before it shows an arrow: without one there is nothing to show.
    case akNone:
        ApplyRegion(CreateRectRgn(0, 0, 0, 0));
        break;
    }
}

void TDragArrow::Paint() {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(ClientRect());
}

} // namespace grid
