// grid/CellPainters.h: how a column's cells are painted (displays) and how they answer the mouse and
// keys (plays). The grid fills a display or play with one cell's value, rectangle and state before
// each use; the concrete classes paint text, numbers, check boxes, images and tree rows.
#pragma once
#include "grid/ColumnClasses.h"
#include "grid/shared/DrawHelpers.h"
#include "vcl/Controls.h"

#include <memory>

namespace grid {

// Steps ARow to its parent and answers the next sibling (-1: none, no line at that level).
using TParentRowProc = rtl::TEvent<void(int& ARow, int& NextSibling)>;

// One cell's value and place, shared by displays and plays.
class TVirtualColElement : public rtl::TPersistent {
public:
    explicit TVirtualColElement(TRgCustomColumn* AColumn) : FColumn(AColumn) {}

    bool AsBoolean() const { return FAsBoolean; }
    void SetAsBoolean(bool Value) { FAsBoolean = Value; }
    rtl::TDateTime AsDateTime() const { return FAsDateTime; }
    void SetAsDateTime(rtl::TDateTime Value) { FAsDateTime = Value; }
    double AsFloat() const { return FAsFloat; }
    void SetAsFloat(double Value) { FAsFloat = Value; }
    int AsInteger() const { return FAsInteger; }
    void SetAsInteger(int Value) { FAsInteger = Value; }
    const rtl::String& AsString() const { return FAsString; }
    void SetAsString(const rtl::String& Value) { FAsString = Value; }
    TCanvas* Canvas() const { return FCanvas; }
    void SetCanvas(TCanvas* Value) { FCanvas = Value; }
    const TRect& ClientRect() const { return FClientRect; }
    void SetClientRect(const TRect& Value) { FClientRect = Value; }
    TRgCustomColumn* Column() const { return FColumn; }
    rtl::TObject* ObjectReference() const { return FObjectReference; }
    void SetObjectReference(rtl::TObject* Value) { FObjectReference = Value; }
    HWND Handle() const { return FHandle; }
    void SetHandle(HWND Value) { FHandle = Value; }

protected:
    bool FAsBoolean = false;
    rtl::TDateTime FAsDateTime = 0;
    double FAsFloat = 0;
    int FAsInteger = 0;
    rtl::String FAsString;
    TCanvas* FCanvas = nullptr;
    TRect FClientRect;
    TRgCustomColumn* FColumn;
    rtl::TObject* FObjectReference = nullptr;
    HWND FHandle = nullptr;
};

class TColumnDisplay : public TVirtualColElement {
public:
    using TVirtualColElement::TVirtualColElement;

    int ChildCount() const { return FChildCount; }
    void SetChildCount(int Value) { FChildCount = Value; }
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value) { FExpanded = Value; }
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value) { FHighlighted = Value; }
    TColor HighlightedTextColor() const { return FHighlightedTextColor; }
    void SetHighlightedTextColor(TColor Value) { FHighlightedTextColor = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    bool IsFirst() const { return FIsFirst; }
    void SetIsFirst(bool Value) { FIsFirst = Value; }
    bool IsLast() const { return FIsLast; }
    void SetIsLast(bool Value) { FIsLast = Value; }
    bool IsParentLast() const { return FIsParentLast; }
    void SetIsParentLast(bool Value) { FIsParentLast = Value; }
    int Level() const { return FLevel; }
    void SetLevel(int Value) { FLevel = Value; }
    int RowIndex() const { return FRowIndex; }
    void SetRowIndex(int Value) { FRowIndex = Value; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool Value) { FSelected = Value; }
    TParentRowProc OnParentRow;

    // The cell rectangle narrowed by 2 pixels on the left and on the right.
    virtual TRect GetTextRect();
    virtual void DrawCellText(const rtl::String& Text, TRect Rect);
    // A small red triangle in the cell's top-right corner.
    virtual void DrawHintMark();
    virtual int GetContentHeight() { return 0; }
    virtual int GetContentWidth() { return GetTextSize().cx; }
    // AsString measured in the text rectangle, without ellipsis.
    virtual TSize GetTextSize();
    virtual void Paint() = 0;
    void PaintBackground(TColor CellColor, bool ClientCell);

    // The DT_ flags of the column's text rules; ellipses only when drawing.
    UINT TextFlags(bool Drawing) const;

protected:
    int FChildCount = 0;
    bool FExpanded = false;
    bool FHighlighted = false;
    TColor FHighlightedTextColor = vcl::clHighlightText;
    int FImageIndex = -1;
    bool FIsLast = false;
    bool FIsParentLast = false;
    int FLevel = 0;
    int FRowIndex = -1;
    bool FSelected = false;
    bool FIsFirst = false;
};

class TColumnPlay : public TVirtualColElement {
public:
    using TVirtualColElement::TVirtualColElement;

    int Col() const { return FCol; }
    void SetCol(int Value) { FCol = Value; }
    int Level() const { return FLevel; }
    void SetLevel(int Value) { FLevel = Value; }
    int Row() const { return FRow; }
    void SetRow(int Value) { FRow = Value; }
    // The column's display, which Show paints (not owned).
    TColumnDisplay* Display() const { return FDisplay; }
    void SetDisplay(TColumnDisplay* Value) { FDisplay = Value; }
    rtl::TNotifyEvent OnChange;
    rtl::TNotifyEvent OnExpand;

    virtual void KeyPress(rtl::Char& Key) { (void)Key; }
    virtual void MouseDown(vcl::TMouseButton, vcl::TShiftState, int, int) {}
    virtual void MouseLeave() {}
    virtual void MouseMove(vcl::TShiftState, int, int) {}
    virtual void MouseUp(vcl::TMouseButton, vcl::TShiftState, int, int) {}
    // Takes the display's value and paints the display.
    virtual void Show();

protected:
    virtual void DoChange();
    void DoExpand();

    int FCol = -1;
    int FLevel = 0;
    int FRow = -1;
    TColumnDisplay* FDisplay = nullptr;
};

// ---- the concrete displays -------------------------------------------------------------------------------

class TTextColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

class TNumberColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

class TCheckBoxColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
    int GetContentWidth() override;
    virtual void DrawCheckBox(const TRect& R, bool Checked, bool Hot, bool Pressed);
};

class TImageColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
    int GetContentWidth() override;
};

class TTreeColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    static constexpr int LevelIndent = 19;
    static constexpr int ButtonSize = 9;

    TRect GetTextRect() override;
    int GetContentWidth() override;
    void Paint() override;

private:
    TRgTreeColumn* Tree() const;
    void DrawTreeLines();
    void DrawButton();
};

// ---- the concrete plays ----------------------------------------------------------------------------------

class TCheckBoxColumnPlay : public TColumnPlay {
public:
    using TColumnPlay::TColumnPlay;
    // The check box in cell coordinates.
    TRect CheckBoxRect() const;
    void KeyPress(rtl::Char& Key) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void Show() override;

protected:
    void DoChange() override;

private:
    void Toggle();
};

class TTreeColumnPlay : public TColumnPlay {
public:
    using TColumnPlay::TColumnPlay;
    // The expand button in cell coordinates (unlike the drawn box, moved by the column's Padding).
    TRect ButtonRect() const;
    void KeyPress(rtl::Char& Key) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;

private:
    bool Locked() const;
};

// The display a column's class paints with, and its play (none for columns without one).
std::unique_ptr<TColumnDisplay> CreateColumnDisplay(TRgCustomColumn* AColumn);
std::unique_ptr<TColumnPlay> CreateColumnPlay(TRgCustomColumn* AColumn);

// The side of the check box in the current look: 16 with a visual style, 13 themed, 11 classic.
int CheckBoxSize();

} // namespace grid
