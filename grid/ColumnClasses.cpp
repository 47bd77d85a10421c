// grid/ColumnClasses.cpp
#include "grid/ColumnClasses.h"
#include "grid/CellPainters.h"
#include "grid/NumberEdit.h"

namespace grid {

// ---- text column ---------------------------------------------------------------------------------------

TRgTextColumn::TRgTextColumn(rtl::TComponent* AOwner) : TRgCustomColumn(AOwner) {
    SetColumnType(ctString);
    FSortType = stAlphabetic;
    FOptions.Include(coShowTextFitHint);
}

rtl::String TRgTextColumn::GetDrawText(const TCellInfo& Cell) {
    const rtl::String Text = FTextBefore + TRgCustomColumn::GetDrawText(Cell) + FTextAfter;
    // The framing counts: the mask hides how long the value itself is.
    if (FPasswordChar != 0) return rtl::String(Text.size(), QChar(FPasswordChar));
    return Text;
}

TDisplayOptions TRgTextColumn::GetDisplayOptions() const {
    return FMultiLine ? TDisplayOptions{doMultiLine} : TDisplayOptions{};
}

int TRgTextColumn::GetCellBestFit(const rtl::String& Value) {
    return MeasureText(Value) + 5;
}

void TRgTextColumn::SetMaxLength(int Value) {
    FMaxLength = Value;
    Refresh(gaBody);
}

void TRgTextColumn::SetMultiLine(bool Value) {
    FMultiLine = Value;
    Refresh(gaBody);
}

void TRgTextColumn::SetTextAfter(const rtl::String& Value) {
    FTextAfter = Value;
    Refresh(gaBody);
}

void TRgTextColumn::SetTextBefore(const rtl::String& Value) {
    FTextBefore = Value;
    Refresh(gaBody);
}

void TRgTextColumn::SetPasswordChar(rtl::Char Value) {
    FPasswordChar = Value;
    Refresh(gaBody);
}

void TRgTextColumn::Assign(rtl::TPersistent* Source) {
    TRgCustomColumn::Assign(Source);
    if (auto* C = dynamic_cast<TRgTextColumn*>(Source)) {
        FMaxLength = C->FMaxLength;
        FMultiLine = C->FMultiLine;
        FPasswordChar = C->FPasswordChar;
        FTextAfter = C->FTextAfter;
        FTextBefore = C->FTextBefore;
    }
}

std::unique_ptr<TRgCustomEdit> TRgTextColumn::GetCellEditorClass() { return std::make_unique<TRgEdit>(nullptr); }

void TRgTextColumn::BeginEditing() {
    TRgCustomColumn::BeginEditing();
    TRgCustomEdit* E = Editor();
    E->SetInplaceEditor(true);
    E->SetMaxLength(FMaxLength);
    E->SetPasswordChar(FPasswordChar);
}

// ---- number columns ------------------------------------------------------------------------------------

TRgCustomNumberColumn::TRgCustomNumberColumn(rtl::TComponent* AOwner) : TRgCustomColumn(AOwner) {
    SetColumnType(ctFloat);
    FSortType = stNumeric;
    SetDefaultValue(QStringLiteral("0"));
}

rtl::String TRgCustomNumberColumn::GetDrawText(const TCellInfo& Cell) {
    const double V = Cell.AsFloat;
    rtl::String Text;
    if (FHideWhenEmpty && V == FEmptyValue)
        Text = FEmptyCaption;
    else if (!FFormatMask.isEmpty())
        Text = FTextBefore + rtl::FormatFloat(FFormatMask, V) + FTextAfter;
    else
        Text = FTextBefore + rtl::FloatToStr(V) + FTextAfter;
    if (OnGetDrawText) OnGetDrawText(this, Text);
    return Text;
}

bool TRgCustomNumberColumn::IsKeyValid(rtl::Char Key) const {
    if (Key >= u'0' && Key <= u'9') return true;
    if ((Key == u'+' || Key == u'-') && FEditOptions.Contains(eoAllowSigns)) return true;
    return Key == TLocalSettings::DecimalSeparator() && FEditOptions.Contains(eoAllowFloat);
}

void TRgCustomNumberColumn::SetHideWhenEmpty(bool Value) {
    FHideWhenEmpty = Value;
    Refresh(gaBody);
}

void TRgCustomNumberColumn::SetFormatMask(const rtl::String& Value) {
    FFormatMask = Value;
    Refresh(gaBody);
}

void TRgCustomNumberColumn::SetEmptyCaption(const rtl::String& Value) {
    FEmptyCaption = Value;
    Refresh(gaBody);
}

void TRgCustomNumberColumn::SetTextAfter(const rtl::String& Value) {
    FTextAfter = Value;
    Refresh(gaBody);
}

void TRgCustomNumberColumn::SetTextBefore(const rtl::String& Value) {
    FTextBefore = Value;
    Refresh(gaBody);
}

void TRgCustomNumberColumn::SetEmptyValue(double Value) {
    FEmptyValue = Value;
    Refresh(gaBody);
}

void TRgCustomNumberColumn::Assign(rtl::TPersistent* Source) {
    TRgCustomColumn::Assign(Source);
    if (auto* C = dynamic_cast<TRgCustomNumberColumn*>(Source)) {
        SetEmptyCaption(C->EmptyCaption());
        SetEmptyValue(C->EmptyValue());
        SetFormatMask(C->FormatMask());
        SetHideWhenEmpty(C->HideWhenEmpty());
        SetMax(C->Max());
        SetMin(C->Min());
        SetTextAfter(C->TextAfter());
        SetTextBefore(C->TextBefore());
    }
}

TRgNumberColumn::TRgNumberColumn(rtl::TComponent* AOwner) : TRgCustomNumberColumn(AOwner) {
    FAlignment = taRightJustify;
}

void TRgNumberColumn::Assign(rtl::TPersistent* Source) {
    TRgCustomNumberColumn::Assign(Source);
    if (auto* C = dynamic_cast<TRgNumberColumn*>(Source)) {
        SetIncrement(C->Increment());
        SetSpinButtons(C->SpinButtons());
    }
}

std::unique_ptr<TRgCustomEdit> TRgNumberColumn::GetCellEditorClass() { return std::make_unique<TRgSpinEdit>(nullptr); }

void TRgNumberColumn::BeginEditing() {
    TRgCustomColumn::BeginEditing();
    auto* E = static_cast<TRgSpinEdit*>(Editor());
    E->SetButtonCaption(FButtonCaption);
    E->SetOptions(EditOptions());
    E->SetIncrement(FIncrement);
    E->SetMax(Max());
    E->SetMin(Min());
    E->SetShowButton(FShowButton);
    E->SetSpinButtons(FSpinButtons);
    E->OnButtonClick = [this](rtl::TObject*) {
        if (OnButtonClick) OnButtonClick(this);
    };
}

void TRgNumberColumn::UpdateEdit() { static_cast<TRgSpinEdit*>(Editor())->SetPrecision(FPrecision); }

// ---- check box and image columns -----------------------------------------------------------------------

TRgCheckBoxColumn::TRgCheckBoxColumn(rtl::TComponent* AOwner) : TRgCustomColumn(AOwner) {
    SetColumnType(ctBoolean);
    FSortType = stBoolean;
}

TRgImageColumn::TRgImageColumn(rtl::TComponent* AOwner) : TRgCustomColumn(AOwner) {
    SetColumnType(ctInteger);
    FSortType = stNumeric;
    SetDefaultValue(QStringLiteral("0"));
}

void TRgImageColumn::Assign(rtl::TPersistent* Source) {
    TRgCustomColumn::Assign(Source);
    if (auto* C = dynamic_cast<TRgImageColumn*>(Source)) SetImages(C->Images());
}

// ---- tree column ---------------------------------------------------------------------------------------

TRgTreeColumn::TRgTreeColumn(rtl::TComponent* AOwner)
    : TRgCustomColumn(AOwner), FImageExpand(std::make_unique<vcl::TPngImage>()),
      FImageCollapse(std::make_unique<vcl::TPngImage>()) {
    SetColumnType(ctString);
    FSortType = stAlphabetic;
}

TRgTreeColumn::~TRgTreeColumn() = default;

std::unique_ptr<TRgCustomEdit> TRgTreeColumn::GetCellEditorClass() { return std::make_unique<TRgEdit>(nullptr); }

void TRgTreeColumn::SetShowButtons(bool Value) {
    FShowButtons = Value;
    Refresh(gaNone);
}

void TRgTreeColumn::SetShowLines(bool Value) {
    FShowLines = Value;
    Refresh(gaNone);
}

void TRgTreeColumn::SetHighlightButton(bool Value) {
    FHighlightButton = Value;
    Refresh(gaNone);
}

void TRgTreeColumn::SetImages(vcl::TCustomImageList* Value) {
    FImages = Value;
    Refresh(gaNone);
}

// The buttons are drawn as they are, without the file's gamma correction.
void TRgTreeColumn::CopyImage(vcl::TPngImage& Dest, vcl::TPngImage* Source) {
    if (!Source) {
        Dest.Assign(nullptr);
        return;
    }
    Dest.Assign(Source);
    if (Dest.Empty()) return;
    const unsigned ColorType = Dest.Header().ColorType;
    if (ColorType == 2 || ColorType == 3 || ColorType == 6)
        if (vcl::TChunk* Gamma = Dest.Chunks().FindChunk("gAMA")) Dest.Chunks().RemoveChunk(Gamma);
}

void TRgTreeColumn::SetImageExpand(vcl::TPngImage* Value) {
    if (!Value)
        FImageExpand = std::make_unique<vcl::TPngImage>();
    else
        CopyImage(*FImageExpand, Value);
}

void TRgTreeColumn::SetImageCollapse(vcl::TPngImage* Value) {
    if (!Value)
        FImageCollapse = std::make_unique<vcl::TPngImage>();
    else
        CopyImage(*FImageCollapse, Value);
}

// The editor starts after the tree lines, the button and the row image.
void TRgTreeColumn::AdjustEditRect(int Level, TRect& EditRect) const {
    int Shift = Level * 19 + Padding() + 16;
    if (FImages && GridComponent()) Shift += GridComponent()->ImageListWidth(FImages);
    EditRect.Left += Shift;
}

// ---- virtual column ------------------------------------------------------------------------------------

TRgVirtualColumn::TRgVirtualColumn(rtl::TComponent* AOwner) : TRgCustomColumn(AOwner) {
    SetColumnType(ctVirtual);
    FSortType = stAlphabetic;
    FOptions.Include(coShowTextFitHint);
}

void TRgVirtualColumn::GetText(int ACol, int ARow, rtl::String& Value) {
    if (OnGetText) OnGetText(this, ACol, ARow, Value);
}

void TRgVirtualColumn::SetText(int ACol, int ARow, const rtl::String& Value) {
    if (OnSetText) OnSetText(this, ACol, ARow, Value);
}

rtl::String TRgVirtualColumn::GetDrawText(const TCellInfo& Cell) {
    return FTextBefore + Cell.AsString + FTextAfter;
}

std::unique_ptr<TRgCustomEdit> TRgVirtualColumn::GetCellEditorClass() { return std::make_unique<TRgEdit>(nullptr); }

void TRgVirtualColumn::Assign(rtl::TPersistent* Source) {
    TRgCustomColumn::Assign(Source);
    if (auto* C = dynamic_cast<TRgVirtualColumn*>(Source)) {
        FAutoExecute = C->FAutoExecute;
        FTextAfter = C->FTextAfter;
        FTextBefore = C->FTextBefore;
    }
}

// ---- the displays and plays each class paints and plays with -----------------------------------------

std::unique_ptr<TColumnDisplay> TRgCustomNumberColumn::GetColumnDisplayClass() {
    return std::make_unique<TNumberColumnDisplay>(this);
}
std::unique_ptr<TColumnDisplay> TRgCheckBoxColumn::GetColumnDisplayClass() {
    return std::make_unique<TCheckBoxColumnDisplay>(this);
}
std::unique_ptr<TColumnPlay> TRgCheckBoxColumn::GetColumnPlayClass() { return std::make_unique<TCheckBoxColumnPlay>(this); }
std::unique_ptr<TColumnDisplay> TRgImageColumn::GetColumnDisplayClass() {
    return std::make_unique<TImageColumnDisplay>(this);
}
std::unique_ptr<TColumnDisplay> TRgTreeColumn::GetColumnDisplayClass() {
    return std::make_unique<TTreeColumnDisplay>(this);
}
std::unique_ptr<TColumnPlay> TRgTreeColumn::GetColumnPlayClass() { return std::make_unique<TTreeColumnPlay>(this); }

} // namespace grid
