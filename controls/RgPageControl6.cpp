#include "controls/RgPageControl6.h"

#include "rtl/SysUtils.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

#include <cmath>

namespace controls {

using vcl::TColor;
using vcl::TPoint;
using vcl::TRect;
using vcl::TSize;

// ---- style painters ----

vcl::TCanvas* TRgPageControlStylePainter::Canvas() const { return FPageControl->Canvas(); }

void TRgPageControlStylePainter::FillWithBrush(const TRect& R) {
    if (Canvas()->Brush()->Color() != vcl::clNone) Canvas()->FillRect(R);
}

TColor TRgPageControlStylePainter::GetTabsBackgroundColor() { return FPageControl->TabsBackgroundColor(); }

TColor TRgPageControlStylePainter::GetTabTextColor() { return Canvas()->Font()->Color(); }

void TRgPageControlStylePainter::PaintTabsBackground(const TRect& BackgroundRect) {
    Canvas()->Brush()->SetColor(GetTabsBackgroundColor());
    Canvas()->FillRect(BackgroundRect);
}

TColor TRgModernPageControlStylePainter::GetTabsBackgroundColor() { return GetSchemeColor6(0); }

TColor TRgModernPageControlStylePainter::GetTabTextColor() { return GetSchemeColor6(11); }

void TRgModernPageControlStylePainter::PaintButton(const TRect& ButtonRect, TRgButtonState State) {
    vcl::TCanvas* c = Canvas();
    if (State.Contains(bsHover)) {
        c->Brush()->SetColor(GetSchemeColor6(State.Contains(bsPressed) ? 1 : 12));
        c->Pen()->SetColor(GetSchemeColor6(4));
        c->Rectangle(ButtonRect);
    }
    const bool lit = State.Contains(bsSelected) || State.Contains(bsHover);
    c->Pen()->SetColor(lit ? vcl::clBlack : GetSchemeColor6(11));
    c->Brush()->SetColor(c->Pen()->Color());
}

void TRgModernPageControlStylePainter::PaintTab(const TRect& TabRect, TRgButtonState State) {
    vcl::TCanvas* c = Canvas();
    if (FPageControl->StyleColors()) {
        int index = 9;
        if (State.Contains(bsHover)) index = 10;
        if (State.Contains(bsPressed)) index = 3;
        if (State.Contains(bsSelected)) index = 2;
        c->Brush()->SetColor(GetSchemeColor6(index));
    }
    FillWithBrush(TabRect);
}

void TRgModernPageControlStylePainter::PaintTabsSeparator(const TRect& SeparatorRect) {
    Canvas()->Brush()->SetColor(GetSchemeColor6(2));
    Canvas()->FillRect(SeparatorRect);
}

TColor TRgNativePageControlStylePainter::GetTabsBackgroundColor() { return FPageControl->Color(); }

void TRgNativePageControlStylePainter::PaintButton(const TRect& ButtonRect, TRgButtonState State) {
    TRgPageControlStyle6::PaintButton(Canvas(), FPageControl->Handle(), ButtonRect, State,
                                      FPageControl->StyleOptions());
    Canvas()->Pen()->SetColor(vcl::clBlack);
    Canvas()->Brush()->SetColor(vcl::clBlack);
}

void TRgNativePageControlStylePainter::PaintTab(const TRect& TabRect, TRgButtonState State) {
    TRgPageControlStyle6::PaintTab(Canvas(), FPageControl->Handle(), TabRect, State, FPageControl->StyleOptions(),
                                   FPageControl->TabsLocation());
}

void TRgNativePageControlStylePainter::PaintTabsBackground(const TRect& BackgroundRect) {
    TRgPageControlStyle6::PaintBackground(Canvas(), FPageControl->Handle(), BackgroundRect,
                                          FPageControl->StyleOptions());
}

void TRgNativePageControlStylePainter::PaintTabsSeparator(const TRect& SeparatorRect) {
    TRect r = SeparatorRect;
    vcl::Frame3D(Canvas(), r, vcl::clBtnHighlight, vcl::clBtnShadow, 1);
    Canvas()->Brush()->SetColor(GetTabsBackgroundColor());
}

void TRgUserDefinedPageControlStylePainter::PaintButton(const TRect& ButtonRect, TRgButtonState State) {
    if (State.Contains(bsHover)) {
        Canvas()->Brush()->SetColor(FPageControl->ActiveTabColor());
        Canvas()->FillRect(ButtonRect);
    }
    Canvas()->Pen()->SetColor(vcl::clBlack);
    Canvas()->Brush()->SetColor(vcl::clBlack);
}

void TRgUserDefinedPageControlStylePainter::PaintTab(const TRect& TabRect, TRgButtonState State) {
    if (State.Contains(bsSelected)) Canvas()->Brush()->SetColor(FPageControl->ActiveTabColor());
    FillWithBrush(TabRect);
}

void TRgUserDefinedPageControlStylePainter::PaintTabsSeparator(const TRect& SeparatorRect) {
    Canvas()->Brush()->SetColor(FPageControl->ActiveTabColor());
    Canvas()->FillRect(SeparatorRect);
}

// ---- TRgPageControl6 ----

TRgPageControl6::TRgPageControl6(rtl::TComponent* AOwner)
    : TRgCustomNotebook6(AOwner), FTabFont(std::make_unique<vcl::TFont>()),
      FTabPadding(std::make_unique<vcl::TPadding>(this)), FTabsPadding(std::make_unique<vcl::TPadding>(this)),
      FTabsPopup(std::make_unique<vcl::TPopupMenu>(nullptr)) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csCaptureMouse});
    SetBounds(Left(), Top(), 320, 240);
    FTabPadding->SetBounds(4, 2, 4, 2);
    FTabsPadding->SetBounds(8, 4, 8, 0);
    FStylePainter = CreateStylePainter(FStyle);
    SetParentTabFont(true);
    AttachChangeHandlers();
}

TRgPageControl6::~TRgPageControl6() {
    // The painter, font, paddings and tab list go before the notebook does.
    FStylePainter.reset();
    FTabFont.reset();
    FTabPadding.reset();
    FTabsPadding.reset();
    FTabsPopup.reset();
}

std::unique_ptr<TRgPageControlStylePainter> TRgPageControl6::CreateStylePainter(TRgAppearanceStyle AStyle) {
    switch (AStyle) {
    case stNative: return std::make_unique<TRgNativePageControlStylePainter>(this);
    case stModern: return std::make_unique<TRgModernPageControlStylePainter>(this);
    default: return std::make_unique<TRgUserDefinedPageControlStylePainter>(this);
    }
}

TRgSheetClass TRgPageControl6::GetTabSheetClass() {
    return [](rtl::TComponent* AOwner) -> TRgNotebookSheet6* { return new TRgPageSheet6(AOwner); };
}

TRgPageSheet6* TRgPageControl6::GetPage(int Index) const {
    if (Index < 0 || Index >= ControlCount()) return nullptr;
    return dynamic_cast<TRgPageSheet6*>(Controls(Index));
}

rtl::String TRgPageControl6::GetPageCaption(int Index) const {
    TRgPageSheet6* sheet = GetPage(Index);
    return sheet && !sheet->Caption().isEmpty() ? sheet->Caption() : FDefaultCaption;
}

// ---- property setters ----

void TRgPageControl6::AttachChangeHandlers() {
    const rtl::TNotifyEvent handler(this, &TRgPageControl6::FontOrPaddingChanged);
    FTabFont->OnChange = handler;
    FTabPadding->OnChange = handler;
    FTabsPadding->OnChange = handler;
}

// The page area depends on the strip's size.
void TRgPageControl6::FontOrPaddingChanged(rtl::TObject*) {
    Invalidate();
    Realign();
}

void TRgPageControl6::AssignPadding(vcl::TPadding* Target, vcl::TPadding* Value) {
    if (!Value || Value == Target) return;
    Target->Assign(Value);
    AttachChangeHandlers();
    Invalidate();
}

void TRgPageControl6::SetImages(vcl::TCustomImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    Invalidate();
}

void TRgPageControl6::SetParentTabFont(bool Value) {
    FParentTabFont = Value;
    if (!Value) return;
    FTabFont->Assign(Font());
    AttachChangeHandlers();
    Invalidate();
}

void TRgPageControl6::SetTabFont(vcl::TFont* Value) {
    FTabFont->Assign(Value);
    AttachChangeHandlers();
    FParentTabFont = false;
    Invalidate();
}

void TRgPageControl6::SetPreciseScrolling(bool Value) {
    if (Value == FPreciseScrolling) return;
    FPreciseScrolling = Value;
    FPosition = 0;
    Invalidate();
}

void TRgPageControl6::SetStyle(TRgAppearanceStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    FStylePainter = CreateStylePainter(Value);
    Invalidate();
}

void TRgPageControl6::SetTabsBackgroundColor(TColor Value) {
    if (Value == FTabsBackgroundColor) return;
    FTabsBackgroundColor = Value;
    InvalidateClientRect(GetTabsRect());
}

void TRgPageControl6::SetTabsHeight(int Value) {
    if (Value == FTabsHeight) return;
    FTabsHeight = Value;
    Realign();
    Invalidate();
}

void TRgPageControl6::SetTabsLocation(TRgTabsLocation Value) {
    if (Value == FTabsLocation) return;
    FTabsLocation = Value;
    FPosition = 0;
    Realign();
    Invalidate();
}

void TRgPageControl6::CMFontChanged(vcl::TMessage& Message) {
    TRgCustomNotebook6::CMFontChanged(Message);
    SetParentTabFont(FParentTabFont);
}

void TRgPageControl6::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    TRgCustomNotebook6::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove || !AComponent) return;
    if (AComponent == FImages) FImages = nullptr;
    // A freed sheet must not stay hot or pressed.
    if (AComponent == FHotPageTab) FHotPageTab = nullptr;
    if (AComponent == FPressedPageTab) FPressedPageTab = nullptr;
}

// A sheet that leaves the control (or is freed by another owner) must not stay hot or pressed.
void TRgPageControl6::CMControlListChange(vcl::TCMControlListChange& Message) {
    TRgCustomNotebook6::CMControlListChange(Message);
    if (Message.Inserting()) return;
    if (Message.Control() == FHotPageTab) FHotPageTab = nullptr;
    if (Message.Control() == FPressedPageTab) FPressedPageTab = nullptr;
}

void TRgPageControl6::InvalidateClientRect(const TRect& R) { InvalidateRectNoErase(R); }

// ---- geometry ----

TSize TRgPageControl6::ButtonSize() const {
    const TPoint p = ScalePoint6(TPoint(16, 16));
    return TSize{p.X, p.Y};
}

int TRgPageControl6::TabHeight() const { return FTabsHeight + FTabPadding->Top() + FTabPadding->Bottom(); }

int TRgPageControl6::VerticalTabWidth() const { return FTabsWidth + FTabPadding->Left() + FTabPadding->Right(); }

TSize TRgPageControl6::StripSize() {
    const int across = FTabsPadding->Top() + FTabsPadding->Bottom();
    if (Horizontal()) return TSize{ClientWidth(), TabHeight() + across};
    return TSize{VerticalTabWidth() + across, ClientHeight()};
}

TRect TRgPageControl6::GetTabsRect() {
    const TSize s = StripSize();
    int x = 0, y = 0;
    if (FTabsLocation == tbRight) x = ClientWidth() - s.cx;
    if (FTabsLocation == tbBottom) y = ClientHeight() - s.cy;
    return TRect(x, y, x + s.cx, y + s.cy);
}

TRect TRgPageControl6::GetTabsClientRect() {
    const TRect strip = GetTabsRect();
    const int bx = ButtonSize().cx;
    int length = (Horizontal() ? ClientWidth() : ClientHeight()) - FTabsPadding->Left() - FTabsPadding->Right();
    if (FButtons.Contains(pbTabsPopup)) length -= bx;
    if (CloseBeside()) length -= bx;
    TPoint p;
    switch (FTabsLocation) {
    case tbTop: p = TPoint(FTabsPadding->Left(), strip.Top + FTabsPadding->Top()); break;
    case tbBottom: p = TPoint(FTabsPadding->Left(), strip.Top + FTabsPadding->Bottom()); break;
    case tbLeft: p = TPoint(FTabsPadding->Top(), strip.Top + FTabsPadding->Left()); break;
    case tbRight: p = TPoint(strip.Left + FTabsPadding->Bottom(), strip.Top + FTabsPadding->Left()); break;
    }
    if (Horizontal()) return TRect(p.X, p.Y, p.X + length, p.Y + TabHeight());
    return TRect(p.X, p.Y, p.X + VerticalTabWidth(), p.Y + length);
}

TRect TRgPageControl6::CenteredButtonRect(int X, int Y, int RowTop, int RowHeight) {
    (void)RowTop;
    const TSize b = ButtonSize();
    // Rounded to the nearest, halves to the even neighbour.
    const int down = static_cast<int>(std::nearbyint(RowHeight / 2.0 - b.cy / 2.0));
    return TRect(X, Y + down, X + b.cx, Y + down + b.cy);
}

TRect TRgPageControl6::GetTabsPopupButtonRect() {
    const TRect tc = GetTabsClientRect();
    const TSize b = ButtonSize();
    if (Horizontal()) return CenteredButtonRect(tc.Right, tc.Top, tc.Top, tc.Height());
    return TRect(tc.Left, tc.Bottom, tc.Left + b.cx, tc.Bottom + b.cy);
}

TRect TRgPageControl6::GetCloseButtonRect() {
    const TRect tc = GetTabsClientRect();
    const TSize b = ButtonSize();
    const int shift = FButtons.Contains(pbTabsPopup) ? b.cx : 0;
    if (Horizontal()) return CenteredButtonRect(tc.Right + shift, tc.Top, tc.Top, tc.Height());
    return TRect(tc.Left + shift, tc.Bottom, tc.Left + shift + b.cx, tc.Bottom + b.cy);
}

TRect TRgPageControl6::GetSeparatorRect() {
    const TRect tc = GetTabsClientRect();
    switch (FTabsLocation) {
    case tbTop: return TRect(0, tc.Bottom, ClientWidth(), tc.Bottom + 2);
    case tbLeft: return TRect(tc.Right, 0, tc.Right + 2, ClientHeight());
    case tbRight: return TRect(tc.Left - 2, 0, tc.Left, ClientHeight());
    case tbBottom: break;
    }
    return TRect(0, tc.Top - 2, ClientWidth(), tc.Top);
}

bool TRgPageControl6::HasButtons() const {
    return FButtons.Contains(pbScrolling) || FButtons.Contains(pbTabsPopup) || CloseBeside();
}

void TRgPageControl6::AdjustTabFont(vcl::TCanvas* ACanvas, int Index) {
    if (!FOptions.Contains(poBoldActiveCaption)) return;
    TRgPageSheet6* sheet = GetPage(Index);
    if ((sheet && sheet == ActivePage()) || Index == ActivePageIndex())
        ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + vcl::TFontStyles{vcl::fsBold});
}

vcl::TCanvas* TRgPageControl6::MeasureCanvas() {
    // The control's canvas would make the window; before there is one (while a form loads and sets the
    // active page) a memory canvas measures the same.
    if (HandleAllocated()) return Canvas();
    if (!FMeasureBitmap) {
        FMeasureBitmap = std::make_unique<vcl::TBitmap>();
        FMeasureBitmap->SetSize(1, 1);
    }
    return FMeasureBitmap->Canvas();
}

TSize TRgPageControl6::GetPageTabSize(int Index) {
    const int h = TabHeight();
    if (!Horizontal()) return TSize{VerticalTabWidth(), h};
    vcl::TCanvas* c = MeasureCanvas();
    c->Font()->Assign(FTabFont.get());
    AdjustTabFont(c, Index);
    // Measured as the platform measures a label: a single "&" is an accelerator prefix.
    const int textWidth = GetTextSize6(c, GetPageCaption(Index), false).cx;
    int w = FTabPadding->Left() + FTabPadding->Right() + textWidth;
    TRgPageSheet6* sheet = GetPage(Index);
    if (FImages && FShowImages && sheet && sheet->ImageIndex() >= 0 && sheet->ImageIndex() < FImages->Count()) {
        w += FImages->Width();
        if (textWidth > 0) w += 4;
    }
    if (FCloseButtonLocation == cbTab) w += ButtonSize().cx + 4;
    return TSize{w, h};
}

void TRgPageControl6::WalkTabs(const std::function<bool(TRgPageSheet6*, int, const TRect&)>& Visit) {
    const TRect tc = GetTabsClientRect();
    int x = tc.Left, y = tc.Top, first = 0;
    if (FPreciseScrolling)
        x -= FPosition;
    else
        first = FPosition;
    for (int i = std::max(first, 0); i < ControlCount(); ++i) {
        TRgPageSheet6* sheet = GetPage(i);
        if (!sheet || !sheet->TabVisible()) continue;
        const TSize s = GetPageTabSize(i);
        if (!Visit(sheet, i, TRect(x, y, x + s.cx, y + s.cy))) return;
        if (Horizontal())
            x += s.cx + FTabsSpacing;
        else
            y += s.cy + FTabsSpacing;
    }
}

TRect TRgPageControl6::GetTabRect(TRgPageSheet6* PageSheet) {
    // A sheet not laid out gives the last tab of the walk; without any tab, an empty rectangle.
    TRect result;
    WalkTabs([&](TRgPageSheet6* sheet, int, const TRect& r) {
        result = r;
        return sheet != PageSheet;
    });
    return result;
}

TRgPageSheet6* TRgPageControl6::GetTabAtPos(const TPoint& Location) {
    if (!GetTabsClientRect().Contains(Location)) return nullptr;
    // The later of overlapping tabs wins: it is painted on top.
    TRgPageSheet6* result = nullptr;
    WalkTabs([&](TRgPageSheet6* sheet, int, const TRect& r) {
        if (r.Contains(Location)) result = sheet;
        return true;
    });
    return result;
}

TRect TRgPageControl6::GetTabCloseButtonRect(TRgPageSheet6* PageSheet) {
    TRect r = GetTabRect(PageSheet);
    DeflateRectByPadding(r, TRect(FTabPadding->Left(), FTabPadding->Top(), FTabPadding->Right(),
                                  FTabPadding->Bottom()));
    const TSize b = ButtonSize();
    r.Left = r.Right - b.cx;
    r.Top = r.Top + r.Height() / 2 - b.cy / 2;
    r.Bottom = r.Top + b.cy;
    return r;
}

void TRgPageControl6::AdjustClientRect(TRect& Rect) {
    TRgCustomNotebook6::AdjustClientRect(Rect);
    if (!FShowTabs) return;
    const TSize s = StripSize();
    switch (FTabsLocation) {
    case tbTop: Rect.Top += s.cy + 2; break;
    case tbBottom: Rect.Bottom -= s.cy + 2; break;
    case tbLeft: Rect.Left += s.cx + 2; break;
    case tbRight: Rect.Right -= s.cx + 2; break;
    }
}

// ---- painting ----

void TRgPageControl6::DoPaintTab(const TRect& TabRect, TRgButtonState State) { FStylePainter->PaintTab(TabRect, State); }

void TRgPageControl6::DoPaintTabsBackground(const TRect& Rect) { FStylePainter->PaintTabsBackground(Rect); }

void TRgPageControl6::Paint() {
    TRgCustomNotebook6::Paint();
    vcl::TCanvas* c = Canvas();
    c->Brush()->SetColor(FStylePainter->GetTabsBackgroundColor());
    DoPaintTabsBackground(GetTabsRect());
    ClipCanvasToRect6(c, GetTabsClientRect());
    struct Unclip {
        TRgPageControl6* self;
        ~Unclip() { ClipCanvasToRect6(self->Canvas(), self->ClientRect()); }
    };
    {
        Unclip unclip{this};
        PaintTabs();
    }
    FStylePainter->PaintTabsSeparator(GetSeparatorRect());
    if (FButtons.Contains(pbTabsPopup)) PaintTabsPopupButton(GetTabsPopupButtonRect(), FTabsPopupBtnState);
    if (CloseBeside()) PaintCloseButton(GetCloseButtonRect(), FCloseButtonState);
}

void TRgPageControl6::PaintTabs() {
    WalkTabs([&](TRgPageSheet6* sheet, int, const TRect& r) {
        TRgButtonState state;
        if (!sheet->TabEnabled()) state.Include(bsDisabled);
        if (sheet == ActivePage()) state.Include(bsSelected);
        if (sheet == FHotPageTab) state.Include(bsHover);
        if (sheet == FPressedPageTab) state.Include(bsPressed);
        PaintPageTab(r, sheet, state);
        return true;
    });
}

void TRgPageControl6::PaintPageTab(const TRect& TabRect, TRgPageSheet6* Sheet, TRgButtonState State) {
    vcl::TCanvas* c = Canvas();
    TRect text(TabRect.Left + FTabPadding->Left(), TabRect.Top, TabRect.Right - FTabPadding->Right(),
               TabRect.Bottom);
    c->Brush()->SetColor(vcl::clNone);
    if (!FStyleColors) c->Brush()->SetColor(Sheet->TabColor());
    if (State.Contains(bsSelected)) c->Brush()->SetColor(FActiveTabColor);
    DoPaintTab(TabRect, State);

    if (FImages && FShowImages && Sheet->ImageIndex() >= 0 && Sheet->ImageIndex() < FImages->Count()) {
        FImages->Draw(c, text.Left, TabRect.Top + text.Height() / 2 - FImages->Height() / 2, Sheet->ImageIndex(), true);
        text.Left += FImages->Width() + 4;
    }

    if (FButtons.Contains(pbClose) && FCloseButtonLocation == cbTab) {
        const TRect button = CenteredButtonRect(text.Right - ButtonSize().cx, TabRect.Top, TabRect.Top, TabRect.Height());
        if (State.Contains(bsSelected) || State.Contains(bsHover)) {
            if (State.Contains(bsSelected)) FCloseButtonState.Include(bsSelected);
            PaintCloseButton(button, FCloseButtonState);
        }
        text.Right -= ButtonSize().cx;
    }

    c->Font()->Assign(FTabFont.get());
    AdjustTabFont(c, Sheet->Index());
    if (State.Contains(bsSelected)) {
        if (!FStyleColors) c->Font()->SetColor(FActiveTabTextColor);
    } else if (FStyleColors) {
        c->Font()->SetColor(FStylePainter->GetTabTextColor());
    }
    if (State.Contains(bsDisabled)) c->Font()->SetColor(vcl::clGrayText);
    DrawText6(c, text, vcl::taLeftJustify, taVerticalCenter, GetPageCaption(Sheet->Index()), 1, false);

    if (Focused() && Sheet == ActivePage()) c->DrawFocusRect(TabRect);
}

void TRgPageControl6::PaintCloseButton(const TRect& Rect, TRgButtonState State) {
    FStylePainter->PaintButton(Rect, State);
    const TRect glyph = CenterRect(Rect, TRect(0, 0, 10, 10));
    const int x = glyph.Left, y = glyph.Top;
    // Two diagonals two pixels wide.
    Canvas()->Polygon({TPoint(x, y), TPoint(x + 8, y + 8), TPoint(x + 9, y + 8), TPoint(x + 1, y), TPoint(x, y)});
    Canvas()->Polygon(
        {TPoint(x, y + 8), TPoint(x + 8, y), TPoint(x + 9, y), TPoint(x + 1, y + 8), TPoint(x, y + 8)});
}

void TRgPageControl6::PaintTabsPopupButton(const TRect& Rect, TRgButtonState State) {
    FStylePainter->PaintButton(Rect, State);
    const int cx = Rect.Left + Rect.Width() / 2, cy = Rect.Top + Rect.Height() / 2;
    Canvas()->Polygon({TPoint(cx - 4, cy - 3), TPoint(cx, cy + 1), TPoint(cx + 4, cy - 3)});
}

void TRgPageControl6::RefreshPageTab(TRgPageSheet6* PageSheet) { InvalidateClientRect(GetTabRect(PageSheet)); }

// ---- activation and scrolling ----

void TRgPageControl6::UpdateSheetTab(TRgNotebookSheet6* Sheet) {
    // A bold active caption changes the tabs' widths.
    if (FOptions.Contains(poBoldActiveCaption))
        InvalidateClientRect(GetTabsClientRect());
    else
        RefreshPageTab(dynamic_cast<TRgPageSheet6*>(Sheet));
}

void TRgPageControl6::DoActiveChange(TRgNotebookSheet6* Sheet) {
    TRgCustomNotebook6::DoActiveChange(Sheet);
    if (auto* page = dynamic_cast<TRgPageSheet6*>(ActivePage())) ScrollToTab(page);
}

void TRgPageControl6::ScrollToTab(TRgPageSheet6* PageSheet) {
    const TRect r = GetTabRect(PageSheet);
    const TRect c = GetTabsClientRect();
    if (r.IsEmpty() || (r.Left >= c.Left && r.Right <= c.Right)) return;
    if (FPreciseScrolling) {
        if (r.Left < c.Left)
            FPosition -= c.Left - r.Left;
        else
            FPosition += r.Right - c.Right;
    }
    Invalidate();
}

// ---- sheets ----

void TRgPageControl6::AttachSheet(TRgNotebookSheet6* Sheet) {
    if (auto* page = dynamic_cast<TRgPageSheet6*>(Sheet))
        page->OnTabChange = TRgPageSheetEvent(this, &TRgPageControl6::SheetTabChanged);
}

void TRgPageControl6::ValidateInsert(rtl::TComponent* AComponent) {
    TRgCustomNotebook6::ValidateInsert(AComponent);
    if (auto* page = dynamic_cast<TRgPageSheet6*>(AComponent))
        page->OnTabChange = TRgPageSheetEvent(this, &TRgPageControl6::SheetTabChanged);
}

bool TRgPageControl6::ClosePage(TRgPageSheet6* PageSheet) {
    if (!PageSheet) throw rtl::EAccessViolation(QStringLiteral("PageSheet can not be nil"));
    if (PageSheet->Parent() != this) throw rtl::EAccessViolation(QStringLiteral("PageSheet can not be found"));
    bool canClose = true;
    DoPageCloseQuery(PageSheet, canClose);
    if (!canClose) return false;
    // A closed active page gives way to its neighbour, so that no closed page stays on show.
    TRgPageSheet6* next = nullptr;
    if (PageSheet == ActivePage()) {
        const int index = PageSheet->Index();
        for (int i = index + 1; i < ControlCount() && !next; ++i)
            if (TRgPageSheet6* p = GetPage(i); p && p->TabVisible()) next = p;
        for (int i = index - 1; i >= 0 && !next; --i)
            if (TRgPageSheet6* p = GetPage(i); p && p->TabVisible()) next = p;
    }
    if (PageSheet == FHotPageTab) FHotPageTab = nullptr;
    if (PageSheet == FPressedPageTab) FPressedPageTab = nullptr;
    if (FCloseButtonAction == caHide)
        PageSheet->SetTabVisible(false);
    else
        delete PageSheet;
    if (next) SetActivePage(next);
    Invalidate();
    return true;
}

// ---- tab list ----

void TRgPageControl6::FillTabsPopup() {
    vcl::TMenuItem* items = FTabsPopup->Items();
    items->Clear();
    FTabsPopup->SetImages(FImages);
    for (int i = 0; i < ControlCount(); ++i) {
        TRgPageSheet6* sheet = GetPage(i);
        if (!sheet || !sheet->TabVisible()) continue;
        auto* item = new vcl::TMenuItem(FTabsPopup.get());
        item->SetCaption(GetPageCaption(i));
        item->SetImageIndex(sheet->ImageIndex());
        item->SetTag(i);
        item->OnClick = rtl::TNotifyEvent(
            [this](rtl::TObject* Sender) { SetActivePageIndex(int(static_cast<vcl::TMenuItem*>(Sender)->Tag())); });
        items->Add(item);
    }
}

void TRgPageControl6::ShowTabsPopup() {
    const TRect button = GetTabsPopupButtonRect();
    const TPoint at = ClientToScreen(TPoint(button.Left, button.Bottom));
    FillTabsPopup();
    FTabsPopup->Popup(at.X, at.Y);
}

// ---- mouse ----

bool TRgPageControl6::TabEnabledOrDesigning(TRgPageSheet6* Sheet) const {
    return Sheet && (Sheet->TabEnabled() || Designing());
}

void TRgPageControl6::SetPressedPageTab(TRgPageSheet6* Value) {
    if (Value && !Value->TabEnabled()) Value = nullptr;
    if (Value == FPressedPageTab) return;
    TRgPageSheet6* old = FPressedPageTab;
    FPressedPageTab = Value;
    if (old) RefreshPageTab(old);
    if (Value) RefreshPageTab(Value);
}

void TRgPageControl6::SetHotPageTab(TRgPageSheet6* Value) {
    if (Value == FHotPageTab) return;
    SetCloseButtonState(TRgButtonState{});
    if (FHotPageTab) RefreshPageTab(FHotPageTab);
    FHotPageTab = Value && Value->TabEnabled() ? Value : nullptr;
    if (FHotPageTab) RefreshPageTab(FHotPageTab);
}

void TRgPageControl6::SetCloseButtonState(TRgButtonState Value) {
    if (Value == FCloseButtonState) return;
    FCloseButtonState = Value;
    if (FCloseButtonLocation == cbBeside)
        InvalidateClientRect(GetCloseButtonRect());
    else if (FHotPageTab)
        InvalidateClientRect(GetTabCloseButtonRect(FHotPageTab));
}

void TRgPageControl6::SetTabsPopupBtnState(TRgButtonState Value) {
    if (Value == FTabsPopupBtnState) return;
    FTabsPopupBtnState = Value;
    InvalidateClientRect(GetTabsPopupButtonRect());
}

void TRgPageControl6::SetMoving(bool Value) {
    if (Value == FMoving) return;
    FMoving = Value;
    if (vcl::Screen) vcl::Screen->SetCursor(Value ? vcl::crDrag : vcl::crDefault);
}

void TRgPageControl6::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TRgCustomNotebook6::MouseDown(Button, Shift, X, Y);
    const TPoint p(X, Y);
    TRgPageSheet6* tab = GetTabAtPos(p);
    SetPressedPageTab(tab);
    if (Button != vcl::mbLeft) return;
    if (TabEnabledOrDesigning(tab)) {
        SetActivePage(tab);
        FMouseLocation = p;
    }
    if (FButtons.Contains(pbTabsPopup) && GetTabsPopupButtonRect().Contains(p))
        SetTabsPopupBtnState(FTabsPopupBtnState + TRgButtonState{bsPressed});
    if (FButtons.Contains(pbClose)) {
        bool in = false;
        if (FCloseButtonLocation == cbBeside)
            in = GetCloseButtonRect().Contains(p);
        else if (tab)
            in = GetTabCloseButtonRect(tab).Contains(p);
        if (in) SetCloseButtonState(FCloseButtonState + TRgButtonState{bsPressed});
    }
}

void TRgPageControl6::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    TRgCustomNotebook6::MouseMove(Shift, X, Y);
    const TPoint p(X, Y);
    if (!Designing()) {
        if (FPressedPageTab && FTabMoving) {
            if (FMoving) {
                TRgPageSheet6* over = GetTabAtPos(p);
                if (over && ActivePage()) ActivePage()->SetIndex(over->Index());
                return;
            }
            if (std::abs(X - FMouseLocation.X) > 5 || std::abs(Y - FMouseLocation.Y) > 5) {
                SetMoving(true);
                return;
            }
        } else {
            auto hover = [&](TRgButtonState s, bool in) {
                return in ? s + TRgButtonState{bsHover} : s - TRgButtonState{bsHover};
            };
            if (FButtons.Contains(pbTabsPopup))
                SetTabsPopupBtnState(hover(FTabsPopupBtnState, GetTabsPopupButtonRect().Contains(p)));
            if (FButtons.Contains(pbClose)) {
                if (FCloseButtonLocation == cbBeside)
                    SetCloseButtonState(hover(FCloseButtonState, GetCloseButtonRect().Contains(p)));
                else if (FHotPageTab)
                    SetCloseButtonState(hover(FCloseButtonState, GetTabCloseButtonRect(FHotPageTab).Contains(p)));
            }
        }
    }
    SetHotPageTab(GetTabAtPos(p));
}

void TRgPageControl6::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TRgCustomNotebook6::MouseUp(Button, Shift, X, Y);
    const TPoint p(X, Y);
    SetMoving(false);
    if (FPressedPageTab && FPressedPageTab == FHotPageTab) DoTabClick(FPressedPageTab, Button, Shift, X, Y);
    if (Button == vcl::mbLeft) {
        if (FButtons.Contains(pbTabsPopup) && FTabsPopupBtnState.Contains(bsPressed)) ShowTabsPopup();
        if (FButtons.Contains(pbClose) && FCloseButtonState.Contains(bsPressed)) {
            if (FCloseButtonLocation == cbBeside) {
                // Without an active page there is nothing to close.
                if (GetCloseButtonRect().Contains(p) && ActivePage())
                    ClosePage(dynamic_cast<TRgPageSheet6*>(ActivePage()));
            } else if (FHotPageTab && FHotPageTab == FPressedPageTab &&
                       GetTabCloseButtonRect(FPressedPageTab).Contains(p)) {
                ClosePage(FPressedPageTab);
            }
        }
    }
    SetTabsPopupBtnState(FTabsPopupBtnState - TRgButtonState{bsPressed});
    SetCloseButtonState(FCloseButtonState - TRgButtonState{bsPressed});
    FPressedPageTab = nullptr;
}

void TRgPageControl6::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    TRgCustomNotebook6::CMMouseLeave(Message);
    SetHotPageTab(nullptr);
    SetTabsPopupBtnState(FTabsPopupBtnState - TRgButtonState{bsHover});
    SetCloseButtonState(FCloseButtonState - TRgButtonState{bsHover});
}

// ---- keyboard, focus, size ----

void TRgPageControl6::KeyDown(WORD& Key, vcl::TShiftState Shift) {
    TRgCustomNotebook6::KeyDown(Key, Shift);
    if (Key == VK_LEFT) SetActivePageIndex(ActivePageIndex() - 1);
    if (Key == VK_RIGHT) SetActivePageIndex(ActivePageIndex() + 1);
}

void TRgPageControl6::WMSetFocus(vcl::TWMSetFocus& Message) {
    TRgCustomNotebook6::WMSetFocus(Message);
    RefreshPageTab(dynamic_cast<TRgPageSheet6*>(ActivePage()));
}

void TRgPageControl6::WMKillFocus(vcl::TWMKillFocus& Message) {
    TRgCustomNotebook6::WMKillFocus(Message);
    RefreshPageTab(dynamic_cast<TRgPageSheet6*>(ActivePage()));
}

void TRgPageControl6::WMSize(vcl::TWMSize& Message) {
    const int dx = ClientWidth() - FOldWidth, dy = ClientHeight() - FOldHeight;
    const TRect strip = GetTabsRect();
    TRect towardPages = strip;
    if (FTabsLocation == tbRight) towardPages.Left -= 2;
    if (FTabsLocation == tbLeft) towardPages.Right += 2;
    if (FTabsLocation == tbBottom) towardPages.Top -= 2;
    if (dx != 0) {
        if (Horizontal()) {
            const TRect tc = GetTabsClientRect();
            InvalidateClientRect(TRect(tc.Right - dx, tc.Top, tc.Right, tc.Bottom));
            if (HasButtons()) InvalidateClientRect(TRect(tc.Right, tc.Top, ClientWidth(), tc.Bottom));
        } else if (FTabsLocation == tbRight) {
            InvalidateClientRect(towardPages);
        }
    }
    if (dy != 0 && FTabsLocation != tbTop) InvalidateClientRect(towardPages);
    FOldWidth = ClientWidth();
    FOldHeight = ClientHeight();
    TRgCustomNotebook6::WMSize(Message);
}

void TRgPageControl6::Dispatch(vcl::TMessage& Message) {
    TRgCustomNotebook6::Dispatch(Message);
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
    } else if (Message.Msg == vcl::CM_DESIGNHITTEST) {
        auto& m = static_cast<vcl::TCMDesignHitTest&>(Message);
        TRgPageSheet6* tab = GetTabAtPos(TPoint(m.XPos(), m.YPos()));
        Message.Result = tab && tab != ActivePage() ? 1 : 0;
    }
}

} // namespace controls
