#include "controls/RgNotebook6.h"

#include "rtl/SysUtils.h"

namespace controls {

namespace {

// Sheets and notebooks repaint what changed; a full repaint on every resize only flickers.
void NoFullRedraw(vcl::TCreateParams& Params) {
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

} // namespace

// ---- TRgNotebookSheet6 ----

TRgNotebookSheet6::TRgNotebookSheet6(rtl::TComponent* AOwner) : TRgCollectionControl6(AOwner) {
    SetControlStyle(vcl::TControlStyle{vcl::csAcceptsControls, vcl::csCaptureMouse, vcl::csClickEvents,
                                       vcl::csDoubleClicks, vcl::csReplicatable});
    SetAlign(vcl::alClient);
}

int TRgNotebookSheet6::Index() const {
    vcl::TWinControl* parent = Parent();
    if (!parent) return -1;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (parent->Controls(i) == this) return i;
    return -1;
}

void TRgNotebookSheet6::SetIndex(int Value) {
    auto* notebook = dynamic_cast<TRgCustomNotebook6*>(Parent());
    if (notebook && Value != Index()) notebook->MoveSheet(this, Value);
}

void TRgNotebookSheet6::CreateParams(vcl::TCreateParams& Params) {
    TRgCollectionControl6::CreateParams(Params);
    NoFullRedraw(Params);
}

void TRgNotebookSheet6::Paint() {
    TRgCollectionControl6::Paint();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

// ---- TRgCustomNotebook6 ----

TRgCustomNotebook6::TRgCustomNotebook6(rtl::TComponent* AOwner) : TRgCollectionControl6(AOwner) {
    SetControlStyle(vcl::TControlStyle{vcl::csAcceptsControls, vcl::csClickEvents, vcl::csSetCaption,
                                       vcl::csDoubleClicks, vcl::csReplicatable});
}

TRgSheetClass TRgCustomNotebook6::GetTabSheetClass() {
    return [](rtl::TComponent* AOwner) { return new TRgNotebookSheet6(AOwner); };
}

int TRgCustomNotebook6::Count() const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TRgNotebookSheet6*>(Controls(i))) ++n;
    return n;
}

void TRgCustomNotebook6::MoveSheet(TRgNotebookSheet6* Sheet, int Index) {
    SetChildOrder(Sheet, Index);
    Invalidate();
}

int TRgCustomNotebook6::ActivePageIndex() const { return FActivePage ? FActivePage->Index() : -1; }

void TRgCustomNotebook6::SetActivePageIndex(int Value) {
    // The positions are those of the whole child list, so the range is too (a range of the sheet count
    // alone would leave the last sheets out of reach when other children stand before them).
    if (Value < 0 || Value >= ControlCount()) return;
    auto* sheet = dynamic_cast<TRgNotebookSheet6*>(Controls(Value));
    if (!sheet) throw rtl::EInvalidCast(QStringLiteral("Invalid class typecast"));
    SetActivePage(sheet);
}

void TRgCustomNotebook6::SetActivePage(TRgNotebookSheet6* Value) {
    bool accept = true;
    DoActiveChangeQuery(this, Value, accept);
    if (!accept) return;
    if (Value == FActivePage || (Value && Value->Parent() != this)) return;
    if (FActivePage) {
        FActivePage->RemoveFreeNotification(this);
        UpdateSheetTab(FActivePage);
    }
    FActivePage = Value;
    for (int i = 0; i < ControlCount(); ++i) {
        auto* sheet = dynamic_cast<TRgNotebookSheet6*>(Controls(i));
        if (!sheet || sheet == FActivePage) continue;
        sheet->SetVisible(false);
        // In the designer hidden sheets would otherwise pile up.
        if (Designing()) {
            sheet->SetAlign(vcl::alNone);
            sheet->SetHeight(0);
        }
    }
    if (FActivePage) {
        FActivePage->FreeNotification(this);
        UpdateSheetTab(FActivePage);
        FActivePage->SetVisible(true);
        if (Designing()) FActivePage->SetAlign(vcl::alClient);
    }
    if (Designing() || !FActivePage) Invalidate();
    DoActiveChange(FActivePage);
}

void TRgCustomNotebook6::CreateParams(vcl::TCreateParams& Params) {
    TRgCollectionControl6::CreateParams(Params);
    NoFullRedraw(Params);
}

void TRgCustomNotebook6::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    TRgCollectionControl6::Notification(AComponent, Operation);
    // The active page is being freed: no other page takes its place.
    if (Operation == rtl::opRemove && AComponent && AComponent == FActivePage) {
        FActivePage = nullptr;
        Invalidate();
    }
}

void TRgCustomNotebook6::Paint() {
    TRgCollectionControl6::Paint();
    if (FActivePage) return;
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

} // namespace controls
