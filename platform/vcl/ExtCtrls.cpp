// vcl/ExtCtrls.cpp: TTimer, panels, shapes, images, labelled edits, splitters.
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

// ---- TBoundLabel and TCustomLabeledEdit ----

TBoundLabel::TBoundLabel(TComponent* AOwner) : TCustomLabel(AOwner) {
    SetName(u"SubLabel"_qs);
    SetSubComponent(true);
}

void TBoundLabel::Resize() {
    TCustomLabel::Resize();
    // A caption of another size moves the label so that it keeps its place beside the edit.
    if (auto* edit = dynamic_cast<TCustomLabeledEdit*>(Owner())) edit->PlaceLabel();
}

TCustomLabeledEdit::TCustomLabeledEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    FEditLabel = new TBoundLabel(this);
    FEditLabel->FreeNotification(this);
    FEditLabel->SetFocusControl(this);
}

void TCustomLabeledEdit::PlaceLabel() {
    if (!FEditLabel || FPlacing) return;
    FPlacing = true;
    TPoint p;
    const int w = FEditLabel->Width(), h = FEditLabel->Height();
    switch (FLabelPosition) {
    case lpAbove: p = TPoint(Left(), Top() - h - FLabelSpacing); break;
    case lpBelow: p = TPoint(Left(), Top() + Height() + FLabelSpacing); break;
    case lpLeft: p = TPoint(Left() - w - FLabelSpacing, Top() + (Height() - h) / 2); break;
    case lpRight: p = TPoint(Left() + Width() + FLabelSpacing, Top() + (Height() - h) / 2); break;
    }
    FEditLabel->SetBounds(p.X, p.Y, w, h);
    FPlacing = false;
}

void TCustomLabeledEdit::SetLabelPosition(TLabelPosition Value) {
    FLabelPosition = Value;
    PlaceLabel();
}

void TCustomLabeledEdit::SetLabelSpacing(int Value) {
    FLabelSpacing = Value;
    PlaceLabel();
}

void TCustomLabeledEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    PlaceLabel();
}

void TCustomLabeledEdit::SetParent(TWinControl* AParent) {
    TCustomEdit::SetParent(AParent);
    if (!FEditLabel) return;
    FEditLabel->SetParent(AParent);
    FEditLabel->SetVisible(Visible());
    PlaceLabel();
}

void TCustomLabeledEdit::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    if (AComponent == FEditLabel && Operation == rtl::opRemove) FEditLabel = nullptr;
}

void TCustomLabeledEdit::CMVisibleChanged(TMessage& Message) {
    TCustomEdit::CMVisibleChanged(Message);
    if (FEditLabel) FEditLabel->SetVisible(Visible());
}

void TCustomLabeledEdit::CMEnabledChanged(TMessage& Message) {
    TCustomEdit::CMEnabledChanged(Message);
    if (FEditLabel) FEditLabel->SetEnabled(Enabled());
}

// ---- TSplitter ----

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetAlign(alLeft);
    SetWidth(3);
    SetCursor(crHSplit);
}

TSplitter::~TSplitter() {
    ReleaseLineDC();
    if (FBrush) DeleteObject(FBrush);
}

void TSplitter::SetBeveled(bool Value) {
    if (FBeveled == Value) return;
    FBeveled = Value;
    Invalidate();
}

void TSplitter::SetMinSize(int Value) {
    if (Value < 1) Value = 1;
    FMinSize = Value;
}

void TSplitter::RequestAlign() {
    TGraphicControl::RequestAlign();
    // The cursor follows the direction, unless someone chose another one.
    if (Cursor() != crVSplit && Cursor() != crHSplit) return;
    SetCursor(Align() == alTop || Align() == alBottom ? crVSplit : crHSplit);
}

void TSplitter::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    if (FBeveled) {
        if (Align() == alLeft || Align() == alRight) {
            r.Left += 1;
            r.Right = r.Left + 2;
        } else {
            r.Top += 1;
            r.Bottom = r.Top + 2;
        }
        Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
    }
    OnPaint(this);
}

TControl* TSplitter::FindControl() {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    // The point just outside the splitter on the side of the control it resizes.
    TPoint p(Left(), Top());
    switch (Align()) {
    case alLeft: p.X -= AlignWithMargins() ? Margins()->Left() + 1 : 1; break;
    case alRight: p.X += Width() + (AlignWithMargins() ? Margins()->Right() : 0); break;
    case alTop: p.Y -= AlignWithMargins() ? Margins()->Top() + 1 : 1; break;
    case alBottom: p.Y += Height() + (AlignWithMargins() ? Margins()->Bottom() : 0); break;
    default: return nullptr;
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->Visible() || !c->Enabled()) continue;
        TRect r = c->BoundsRect();
        if (c->AlignWithMargins()) {
            r.Left -= c->Margins()->Left();
            r.Top -= c->Margins()->Top();
            r.Right += c->Margins()->Right();
            r.Bottom += c->Margins()->Bottom();
        }
        // A control collapsed to nothing still counts: give it a pixel on the splitter's side.
        if (r.Width() == 0) {
            if (Align() == alTop || Align() == alLeft) r.Left -= 1;
            else r.Right += 1;
        }
        if (r.Height() == 0) {
            if (Align() == alTop || Align() == alLeft) r.Top -= 1;
            else r.Bottom += 1;
        }
        if (r.Contains(p)) return c;
    }
    return nullptr;
}

void TSplitter::CalcSplitSize(int X, int Y, int& NewSize, int& Split) {
    const bool horizontal = Align() == alLeft || Align() == alRight;
    Split = horizontal ? X - FDownPos.X : Y - FDownPos.Y;
    int size = 0;
    switch (Align()) {
    case alLeft: size = FControl->Width() + Split; break;
    case alRight: size = FControl->Width() - Split; break;
    case alTop: size = FControl->Height() + Split; break;
    case alBottom: size = FControl->Height() - Split; break;
    default: break;
    }
    NewSize = size;
    if (size < FMinSize) NewSize = FMinSize;
    else if (size > FMaxSize) NewSize = FMaxSize;
    if (size != NewSize) {
        // The split moves only as far as the size could follow.
        size = (Align() == alRight || Align() == alBottom) ? size - NewSize : NewSize - size;
        Split += size;
    }
}

void TSplitter::UpdateSize(int X, int Y) { CalcSplitSize(X, Y, FNewSize, FSplit); }

bool TSplitter::CanResize(int& NewSize) {
    bool accept = true;
    OnCanResize(this, NewSize, accept);
    return accept;
}

bool TSplitter::DoCanResize(int& NewSize) {
    const bool result = CanResize(NewSize);
    if (result && NewSize <= FMinSize && FAutoSnap) NewSize = 0;
    return result;
}

void TSplitter::UpdateControlSize() {
    if (FNewSize == FOldSize || !FControl) return;
    TWinControl* parent = Parent();
    switch (Align()) {
    case alLeft: FControl->SetWidth(FNewSize); break;
    case alTop: FControl->SetHeight(FNewSize); break;
    case alRight:
        parent->DisableAlign();
        FControl->SetBounds(FControl->Left() + FControl->Width() - FNewSize, FControl->Top(), FNewSize, FControl->Height());
        parent->EnableAlign();
        break;
    case alBottom:
        parent->DisableAlign();
        FControl->SetBounds(FControl->Left(), FControl->Top() + FControl->Height() - FNewSize, FControl->Width(), FNewSize);
        parent->EnableAlign();
        break;
    default: break;
    }
    Update();
    OnMoved(this);
    FOldSize = FNewSize;
}

void TSplitter::AllocateLineDC() {
    if (FLineDC || !Parent()) return;
    FLineDC = GetDCEx(Parent()->Handle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (FResizeStyle == rsPattern) {
        if (!FBrush) {
            // A checkered gray, as a dragged bar is drawn.
            static const WORD Pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
            HBITMAP bits = CreateBitmap(8, 8, 1, 1, Pattern);
            FBrush = CreatePatternBrush(bits);
            DeleteObject(bits);
        }
        FPrevBrush = SelectObject(FLineDC, FBrush);
    }
}

void TSplitter::ReleaseLineDC() {
    if (!FLineDC) return;
    if (FPrevBrush) SelectObject(FLineDC, FPrevBrush);
    FPrevBrush = nullptr;
    if (Parent() && Parent()->HandleAllocated()) ReleaseDC(Parent()->WindowHandle(), FLineDC);
    FLineDC = nullptr;
}

void TSplitter::DrawLine() {
    if (!FLineDC) return;
    FLineVisible = !FLineVisible;
    TPoint p(Left(), Top());
    if (Align() == alLeft || Align() == alRight) p.X = Left() + FSplit;
    else p.Y = Top() + FSplit;
    PatBlt(FLineDC, p.X, p.Y, Width(), Height(), PATINVERT);
}

void TSplitter::FocusKeyDown(TObject* Sender, WORD& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) StopSizing();
    else if (FOldKeyDown) FOldKeyDown(Sender, Key, Shift);
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FControl = FindControl();
    FDownPos = TPoint(X, Y);
    if (!FControl) return;
    TWinControl* parent = Parent();
    // Room the other controls aligned on this axis leave, less MinSize for the client control.
    const bool horizontal = Align() == alLeft || Align() == alRight;
    FMaxSize = (horizontal ? parent->ClientWidth() : parent->ClientHeight()) - FMinSize;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible()) continue;
        if (horizontal && (c->Align() == alLeft || c->Align() == alRight)) FMaxSize -= c->Width();
        if (!horizontal && (c->Align() == alTop || c->Align() == alBottom)) FMaxSize -= c->Height();
    }
    FMaxSize += horizontal ? FControl->Width() : FControl->Height();
    FOldSize = horizontal ? FControl->Width() : FControl->Height();
    UpdateSize(X, Y);
    AllocateLineDC();
    // Escape on the focused control ends the drag.
    if (TCustomForm* form = GetParentForm(this); form && form->ActiveControl()) {
        FActiveControl = form->ActiveControl();
        FOldKeyDown = FActiveControl->OnKeyDown;
        FActiveControl->OnKeyDown = TKeyEvent(this, &TSplitter::FocusKeyDown);
    }
    if (FResizeStyle == rsLine || FResizeStyle == rsPattern) DrawLine();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!Shift.Contains(ssLeft) || !FControl) return;
    int newSize, split;
    CalcSplitSize(X, Y, newSize, split);
    if (!DoCanResize(newSize)) return;
    if (FResizeStyle == rsLine || FResizeStyle == rsPattern) DrawLine();
    FNewSize = newSize;
    FSplit = split;
    switch (FResizeStyle) {
    case rsUpdate: UpdateControlSize(); break;
    case rsLine:
    case rsPattern: DrawLine(); break;
    default: break;
    }
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FControl) return;
    if (FLineVisible) DrawLine();
    UpdateControlSize();
    StopSizing();
}

void TSplitter::StopSizing() {
    if (FControl) {
        if (FLineVisible) DrawLine();
        FControl = nullptr;
        ReleaseLineDC();
        if (FActiveControl) {
            FActiveControl->OnKeyDown = FOldKeyDown;
            FActiveControl = nullptr;
        }
    }
    OnMoved(this);
}

} // namespace vcl
