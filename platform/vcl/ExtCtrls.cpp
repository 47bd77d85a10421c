// vcl/ExtCtrls.cpp: TTimer, panels, shapes, images.
#include "vcl/ExtCtrls.h"

namespace vcl {

namespace {
constexpr UINT_PTR TimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
    if (FWindowHandle) DeallocateHWnd(FWindowHandle);
}

void TTimer::UpdateTimer() {
    if (FRunning && FWindowHandle && IsWindow(FWindowHandle)) KillTimer(FWindowHandle, TimerId);
    FRunning = false;
    if (FInterval == 0 || !FEnabled || !FOnTimer) return;
    // The window model may have been reset under us (tests do): make the window again then.
    if (!FWindowHandle || !IsWindow(FWindowHandle)) FWindowHandle = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
    if (!SetTimer(FWindowHandle, TimerId, FInterval, nullptr))
        throw EOutOfResources(QStringLiteral("Not enough timers available"));
    FRunning = true;
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
    FOnTimer = Value;
    UpdateTimer();
}

void TTimer::Timer() {
    if (FEnabled) FOnTimer(this);
}

void TTimer::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        // The handler may free the timer: nothing of it is touched afterwards.
        try {
            Timer();
        } catch (...) {
            HandleControlException(this);
        }
        return;
    }
    Message.Result = DefWindowProcW(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---- Frame3D ----

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetStyle(psSolid);
    --Rect.Right;
    --Rect.Bottom;
    for (int i = 0; i < Width; ++i) {
        Canvas->Pen()->SetColor(TopColor);
        Canvas->Polyline({TPoint(Rect.Left, Rect.Bottom), TPoint(Rect.Left, Rect.Top), TPoint(Rect.Right, Rect.Top)});
        Canvas->Pen()->SetColor(BottomColor);
        Canvas->Polyline({TPoint(Rect.Right, Rect.Top), TPoint(Rect.Right, Rect.Bottom), TPoint(Rect.Left - 1, Rect.Bottom)});
        Rect.Inflate(-1, -1);
    }
    ++Rect.Right;
    ++Rect.Bottom;
}

// ---- TCustomPanel ----

namespace {
void BevelFrame(TCanvas* Canvas, TRect& Rect, TBevelCut Cut, int Width) {
    if (Cut == bvNone) return;
    const TColor top = Cut == bvLowered ? clBtnShadow : clBtnHighlight;
    const TColor bottom = Cut == bvLowered ? clBtnHighlight : clBtnShadow;
    if (Cut == bvSpace) Rect.Inflate(-Width, -Width);
    else Frame3D(Canvas, Rect, top, bottom, Width);
}
} // namespace

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks, csReplicatable, csParentBackground});
    SetBounds(Left(), Top(), 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomPanel::SetShowCaption(bool Value) {
    if (FShowCaption != Value) { FShowCaption = Value; Invalidate(); }
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    if (FAlignment != Value) { FAlignment = Value; Invalidate(); }
}

int TCustomPanel::BevelsWidth() const {
    return (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    const int bevels = BevelsWidth();
    Rect.Inflate(-bevels, -bevels);
}

void TCustomPanel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    BevelFrame(canvas, r, FBevelOuter, FBevelWidth);
    Frame3D(canvas, r, Color(), Color(), BorderWidth());
    BevelFrame(canvas, r, FBevelInner, FBevelWidth);
    if (!FShowCaption || Caption().isEmpty()) return;
    static constexpr UINT Align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    HDC dc = canvas->Handle();
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    const std::u16string text = Caption().toStdU16String();
    DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.c_str()), int(text.size()), &rc,
              DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | Align[FAlignment]);
    SelectObject(dc, old);
}

void TCustomPanel::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED) Invalidate();
    TCustomControl::Dispatch(Message);
}

// ---- TShape ----

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetBounds(Left(), Top(), 65, 65);
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
}

void TShape::SetShape(TShapeType Value) {
    if (FShape != Value) { FShape = Value; Invalidate(); }
}

void TShape::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Pen()->Assign(FPen.get());
    canvas->Brush()->Assign(FBrush.get());
    // The pen's width stays inside the bounds.
    const int pw = FPen->Width();
    int x = pw / 2, y = pw / 2, w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) { --w; --h; }
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        const int side = std::min(w, h);
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare: canvas->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: {
        const int s = std::min(w, h) / 4;
        canvas->RoundRect(x, y, x + w, y + h, s, s);
        break;
    }
    case stEllipse:
    case stCircle: canvas->Ellipse(x, y, x + w, y + h); break;
    }
}

// ---- TImage ----

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetBounds(Left(), Top(), 105, 105);
    FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
}

void TImage::PictureChanged(TObject* Sender) {
    (void)Sender;
    if (AutoSize()) AdjustSize();
    Invalidate();
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
    if (FPicture->Width() <= 0 || FPicture->Height() <= 0) return false;
    NewWidth = FPicture->Width();
    NewHeight = FPicture->Height();
    return true;
}

TRect TImage::DestRect() {
    int w = FPicture->Width(), h = FPicture->Height();
    const int cw = ClientWidth(), ch = ClientHeight();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            // Scale to fit, keeping the proportions; the integer product avoids rounding twice.
            if (int64_t(cw) * h > int64_t(ch) * w) {
                w = int(int64_t(w) * ch / h);
                h = ch;
            } else {
                h = int(int64_t(h) * cw / w);
                w = cw;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r(0, 0, w, h);
    if (FCenter) r = TRect((cw - w) / 2, (ch - h) / 2, (cw - w) / 2 + w, (ch - h) / 2 + h);
    return r;
}

void TImage::Paint() {
    TGraphic* graphic = FPicture->Graphic();
    if (!graphic || graphic->Empty()) return;
    graphic->SetTransparent(FTransparent);
    Canvas()->StretchDraw(DestRect(), graphic);
}

} // namespace vcl
