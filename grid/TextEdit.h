// grid/TextEdit.h: the editors the grid places over a cell while the user edits it, which can also
// stand on a form as ordinary edit boxes: the common base with its margins and its left-side info
// strip (a glyph and a preview box), and the text editor of text columns.
#pragma once
#include "grid/shared/Classes.h"
#include "vcl/Graphics.h"
#include "vcl/StdCtrls.h"

#include <memory>

namespace grid {

class TRgCustomEdit;

// Extra room left and right of the text, in pixels.
class TRgEditMargins : public rtl::TPersistent {
public:
    explicit TRgEditMargins(TRgCustomEdit* AOwner) : FOwner(AOwner) {}
    void Assign(rtl::TPersistent* Source) override;

    int Left() const { return FLeft; }
    void SetLeft(int Value);   // the editor's window is made anew so the margins apply
    int Right() const { return FRight; }
    void SetRight(int Value);

private:
    TRgCustomEdit* FOwner;
    int FLeft = 0;
    int FRight = 0;
};

// The strip at the editor's left edge: the editor's glyph and the optional 20-pixel preview box.
class TRgEditInfo : public vcl::TCustomControl {
public:
    explicit TRgEditInfo(TRgCustomEdit* AOwner);

protected:
    void Paint() override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;

private:
    TRgCustomEdit* FOwner;
};

using TPreviewDrawEvent = rtl::TEvent<void(rtl::TObject* Sender, vcl::TRect PreviewRect)>;

class TRgCustomEdit : public vcl::TCustomEdit {
public:
    explicit TRgCustomEdit(rtl::TComponent* AOwner);
    ~TRgCustomEdit() override;

    // Values of the text; a text that does not convert raises EConvertError, an empty one reads as 0
    // for numbers and dates.
    bool AsBoolean() { return GetAsBoolean(); }
    rtl::TDateTime AsDateTime() { return GetAsDateTime(); }
    double AsFloat() { return GetAsFloat(); }
    int AsInteger() { return GetAsInteger(); }
    rtl::String AsString() { return GetAsString(); }
    virtual void SetAsBoolean(bool Value);
    virtual void SetAsDateTime(rtl::TDateTime Value);
    virtual void SetAsFloat(double Value);
    virtual void SetAsInteger(int Value);
    virtual void SetAsString(const rtl::String& Value);

    // The grid's editing bracket; keys it wants for itself are offered to CanDispatchKey first.
    virtual void ApplyEditing() {}
    virtual void BeginEditing() {}
    virtual bool CanDispatchKey(WORD Key) { (void)Key; return true; }
    virtual void EndEditing() {}
    virtual bool IsOpaque() { return true; }
    virtual vcl::TRect GetPreviewRect();
    void RefreshPreview();

    vcl::TCanvas* Canvas() const { return FCanvas.get(); }
    TRgEditInfo* EditInfo() const { return FEditInfo; }
    bool Editing() const { return FEditing; }
    void SetEditing(bool Value) { FEditing = Value; }
    bool EditorUpdating() const { return FEditorUpdating; }
    void SetEditorUpdating(bool Value) { FEditorUpdating = Value; }
    bool InplaceEditor() const { return FInplaceEditor; }
    void SetInplaceEditor(bool Value) { FInplaceEditor = Value; }

    TRgEditMargins* EditMargins() const { return FEditMargins.get(); }
    void SetEditMargins(TRgEditMargins* Value) { FEditMargins->Assign(Value); }
    vcl::TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(vcl::TBitmap* Value);
    bool PreviewBorder() const { return FPreviewBorder; }
    void SetPreviewBorder(bool Value);
    bool ShowPreview() const { return FShowPreview; }
    void SetShowPreview(bool Value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }

    TPreviewDrawEvent OnCustomPreviewDraw;
    rtl::TNotifyEvent OnGlyphClick;

protected:
    friend class TRgEditMargins;
    friend class TRgEditInfo;

    virtual bool GetAsBoolean();
    virtual rtl::TDateTime GetAsDateTime();
    virtual double GetAsFloat();
    virtual int GetAsInteger();
    virtual rtl::String GetAsString();
    virtual void EditInfoMouseDown(rtl::TObject* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, int X,
                                   int Y) {
        (void)Sender, (void)Button, (void)Shift, (void)X, (void)Y;
    }
    virtual void PaintPreview() {}
    virtual void DrawPreview(vcl::TCanvas* Canvas, const vcl::TRect& R);
    virtual void AdjustMargins(int& Left, int& Right);
    virtual void DoCustomPreviewDraw(const vcl::TRect& R);
    virtual void DoGlyphClick();

    void CreateParams(vcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMEnabledChanged(vcl::TMessage& Message) override;
    void WMWindowPosChanged(vcl::TWMWindowPosMsg& Message) override;

    // Width of the glyph's part of the info strip (0 without a glyph).
    int GlyphSpace() const;
    void UpdateMargins();
    void UpdateEditInfo();

private:
    std::unique_ptr<vcl::TControlCanvas> FCanvas;
    TRgEditInfo* FEditInfo;  // a component of the editor, freed with it
    bool FEditing = false;
    std::unique_ptr<TRgEditMargins> FEditMargins;
    bool FEditorUpdating = false;
    std::unique_ptr<vcl::TBitmap> FGlyph;
    bool FInplaceEditor = false;
    bool FPreviewBorder = true;
    bool FShowPreview = false;
    bool FWantTabs = false;
};

// The text editor of text columns.
class TRgEdit : public TRgCustomEdit {
public:
    explicit TRgEdit(rtl::TComponent* AOwner) : TRgCustomEdit(AOwner) {}

    void BeginEditing() override;

protected:
    virtual void DoChange() {}
    // A left press on the strip is a press left of the text: the whole text is selected.
    void EditInfoMouseDown(rtl::TObject* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, int X,
                           int Y) override;
    void Change() override;
    void Resize() override;
    void Dispatch(vcl::TMessage& Message) override;

private:
    // Right edge of the info strip, 0 while it is hidden: left of it and two pixels more, the pointer
    // is the reversed arrow and a click selects the whole text.
    int StripEdge() const;
    void PaintBorderFrames();
    void PaintThemedBorder();
};

// The cursor the editors show left of their text.
constexpr vcl::TCursor crReversedArrow = 1000;

} // namespace grid
