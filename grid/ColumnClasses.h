// grid/ColumnClasses.h: the concrete columns forms place on a grid (text, number, check box, image,
// tree, virtual): their cell type, sort type, defaults and how a cell's value becomes drawn text.
#pragma once
#include "grid/Columns.h"
#include "grid/NumberEdit.h" // the editors, and the number options number columns share with theirs
#include "vcl/PngImage.h"

namespace grid {

class TRgTextColumn : public TRgCustomColumn {
public:
    explicit TRgTextColumn(rtl::TComponent* AOwner);

    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    const rtl::String& TextAfter() const { return FTextAfter; }
    void SetTextAfter(const rtl::String& Value);
    const rtl::String& TextBefore() const { return FTextBefore; }
    void SetTextBefore(const rtl::String& Value);
    rtl::Char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(rtl::Char Value);

    rtl::String GetDrawText(const TCellInfo& Cell) override;
    TDisplayOptions GetDisplayOptions() const override;
    int GetCellBestFit(const rtl::String& Value) override;
    bool IsKeyValid(rtl::Char Key) const override { return Key > 32; }
    void Assign(rtl::TPersistent* Source) override;
    std::unique_ptr<TRgCustomEdit> GetCellEditorClass() override;
    void BeginEditing() override;

protected:
    TColumnStyle GetColumnStyle() const override { return {csCanEdit, csFitToLargest, csTextFitHint}; }

private:
    int FMaxLength = 0;
    bool FMultiLine = false;
    rtl::String FTextAfter;
    rtl::String FTextBefore;
    rtl::Char FPasswordChar = 0;
};

class TRgCustomNumberColumn : public TRgCustomColumn {
public:
    explicit TRgCustomNumberColumn(rtl::TComponent* AOwner);

    TRgNumberEditOptions EditOptions() const { return FEditOptions; }
    void SetEditOptions(TRgNumberEditOptions Value) { FEditOptions = Value; }
    bool HideWhenEmpty() const { return FHideWhenEmpty; }
    void SetHideWhenEmpty(bool Value);
    double Min() const { return FMin; }
    void SetMin(double Value) { FMin = Value; }
    double Max() const { return FMax; }
    void SetMax(double Value) { FMax = Value; }
    const rtl::String& FormatMask() const { return FFormatMask; }
    void SetFormatMask(const rtl::String& Value);
    const rtl::String& EmptyCaption() const { return FEmptyCaption; }
    void SetEmptyCaption(const rtl::String& Value);
    const rtl::String& TextAfter() const { return FTextAfter; }
    void SetTextAfter(const rtl::String& Value);
    const rtl::String& TextBefore() const { return FTextBefore; }
    void SetTextBefore(const rtl::String& Value);
    double EmptyValue() const { return FEmptyValue; }
    void SetEmptyValue(double Value);

    rtl::String GetDrawText(const TCellInfo& Cell) override;
    bool IsKeyValid(rtl::Char Key) const override;
    void Assign(rtl::TPersistent* Source) override;

protected:
    TColumnStyle GetColumnStyle() const override { return {csCanEdit, csFitToLargest, csTextFitHint}; }

public:
    std::unique_ptr<TColumnDisplay> GetColumnDisplayClass() override;

private:
    TRgNumberEditOptions FEditOptions{eoAllowFloat};
    bool FHideWhenEmpty = false;
    double FMin = 0;
    double FMax = 0;
    rtl::String FFormatMask;
    rtl::String FEmptyCaption;
    rtl::String FTextAfter;
    rtl::String FTextBefore;
    double FEmptyValue = 0;
};

class TRgNumberColumn : public TRgCustomNumberColumn {
public:
    explicit TRgNumberColumn(rtl::TComponent* AOwner);

    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    bool SpinButtons() const { return FSpinButtons; }
    void SetSpinButtons(bool Value) { FSpinButtons = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value) { FShowButton = Value; }
    const rtl::String& ButtonCaption() const { return FButtonCaption; }
    void SetButtonCaption(const rtl::String& Value) { FButtonCaption = Value; }
    rtl::TNotifyEvent OnButtonClick;

    void Assign(rtl::TPersistent* Source) override;
    std::unique_ptr<TRgCustomEdit> GetCellEditorClass() override;
    void BeginEditing() override;
    void UpdateEdit() override;

private:
    double FIncrement = 1.0;
    bool FSpinButtons = true;
    int FPrecision = 0;
    bool FShowButton = false;
    rtl::String FButtonCaption;
};

class TRgCheckBoxColumn : public TRgCustomColumn {
public:
    explicit TRgCheckBoxColumn(rtl::TComponent* AOwner);
    rtl::TNotifyEvent OnChange;
    void DoChange() {
        if (OnChange) OnChange(this);
    }

protected:
    TColumnStyle GetColumnStyle() const override { return {csClickable, csCanEdit, csFitToLargest}; }

public:
    std::unique_ptr<TColumnDisplay> GetColumnDisplayClass() override;
    std::unique_ptr<TColumnPlay> GetColumnPlayClass() override;
};

class TRgImageColumn : public TRgCustomColumn {
public:
    explicit TRgImageColumn(rtl::TComponent* AOwner);

    vcl::TCustomImageList* Images() const { return FImages; }
    void SetImages(vcl::TCustomImageList* Value) { FImages = Value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }

    void Assign(rtl::TPersistent* Source) override;

protected:
    TColumnStyle GetColumnStyle() const override { return {csFitToLargest}; }

public:
    std::unique_ptr<TColumnDisplay> GetColumnDisplayClass() override;

private:
    vcl::TCustomImageList* FImages = nullptr;
    bool FTransparent = true;
};

class TRgTreeColumn : public TRgCustomColumn {
public:
    explicit TRgTreeColumn(rtl::TComponent* AOwner);
    ~TRgTreeColumn() override;

    bool ExpandLock() const { return FExpandLock; }
    void SetExpandLock(bool Value) { FExpandLock = Value; }
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool HighlightButton() const { return FHighlightButton; }
    void SetHighlightButton(bool Value);
    vcl::TCustomImageList* Images() const { return FImages; }
    void SetImages(vcl::TCustomImageList* Value);
    vcl::TPngImage* ImageExpand() const { return FImageExpand.get(); }
    void SetImageExpand(vcl::TPngImage* Value);
    vcl::TPngImage* ImageCollapse() const { return FImageCollapse.get(); }
    void SetImageCollapse(vcl::TPngImage* Value);

    void AdjustEditRect(int Level, TRect& EditRect) const override;
    bool IsKeyValid(rtl::Char Key) const override { return Key > 32; }
    std::unique_ptr<TRgCustomEdit> GetCellEditorClass() override;

protected:
    TColumnStyle GetColumnStyle() const override {
        return {csClickable, csCanEdit, csDisableSorting, csFitToLargest};
    }

public:
    std::unique_ptr<TColumnDisplay> GetColumnDisplayClass() override;
    std::unique_ptr<TColumnPlay> GetColumnPlayClass() override;

private:
    static void CopyImage(vcl::TPngImage& Dest, vcl::TPngImage* Source);

    bool FExpandLock = false;
    bool FShowButtons = true;
    bool FShowLines = false;
    bool FHighlightButton = false;
    vcl::TCustomImageList* FImages = nullptr;
    std::unique_ptr<vcl::TPngImage> FImageExpand;
    std::unique_ptr<vcl::TPngImage> FImageCollapse;
};

using TGetTextEvent = rtl::TEvent<void(rtl::TObject* Sender, int ACol, int ARow, rtl::String& Value)>;
using TSetTextEvent = rtl::TEvent<void(rtl::TObject* Sender, int ACol, int ARow, const rtl::String& Value)>;

class TRgVirtualColumn : public TRgCustomColumn {
public:
    explicit TRgVirtualColumn(rtl::TComponent* AOwner);

    const rtl::String& TextAfter() const { return FTextAfter; }
    void SetTextAfter(const rtl::String& Value) { FTextAfter = Value; }
    const rtl::String& TextBefore() const { return FTextBefore; }
    void SetTextBefore(const rtl::String& Value) { FTextBefore = Value; }
    bool AutoExecute() const { return FAutoExecute; }
    void SetAutoExecute(bool Value) { FAutoExecute = Value; }
    TGetTextEvent OnGetText;
    TSetTextEvent OnSetText;

    // The text of a cell lives with the handlers.
    void GetText(int ACol, int ARow, rtl::String& Value);
    void SetText(int ACol, int ARow, const rtl::String& Value);

    rtl::String GetDrawText(const TCellInfo& Cell) override;
    bool IsKeyValid(rtl::Char Key) const override { return Key > 32; }
    void Assign(rtl::TPersistent* Source) override;
    std::unique_ptr<TRgCustomEdit> GetCellEditorClass() override;

protected:
    TColumnStyle GetColumnStyle() const override { return {csCanEdit, csFitToLargest, csTextFitHint}; }

private:
    rtl::String FTextAfter;
    rtl::String FTextBefore;
    bool FAutoExecute = false;
};

} // namespace grid
