// controls/RgPopupCtrls6.h: the drop-down windows of the second control family: a top-most popup that
// opens next to its owner inside the work area and closes on a click outside or a pick inside, one owned
// by an edit, a scrolling owner-drawn list, and the list of a strings owner (the combo box).
#pragma once
#include "controls/RgControls6.h"
#include "vcl/StdCtrls.h"

namespace controls {

enum TRgPopupStateItem { psOpening, psClosing };
using TRgPopupState = rtl::TSet<TRgPopupStateItem>;

// What a popup asks of its owner to close it.
class IRgDropDown {
public:
    virtual ~IRgDropDown() = default;
    virtual bool GetAutoClose() = 0;
    virtual bool GetDroppedDown() = 0;
    virtual void SetDroppedDown(bool Value) = 0;
    virtual void DoCloseUp() = 0;
    virtual void DoSelect() = 0;
};

// The list a strings popup shows, all of it held by the owner.
class IRgStringsControl {
public:
    virtual ~IRgStringsControl() = default;
    virtual bool GetAutoComplete() = 0;
    virtual int GetDropDownCount() = 0;
    virtual int GetItemHeight() = 0;
    virtual int GetItemIndex() = 0;
    virtual rtl::TStrings* GetItems() = 0;
    virtual vcl::TAlignment GetItemsAlignment() = 0;
    virtual int GetListWidth() = 0;
    virtual void SetAutoComplete(bool Value) = 0;
    virtual void SetDropDownCount(int Value) = 0;
    virtual void SetItemHeight(int Value) = 0;
    virtual void SetItemIndex(int Value) = 0;
    virtual void SetItems(rtl::TStrings* Value) = 0;
    virtual void SetItemsAlignment(vcl::TAlignment Value) = 0;
    virtual bool DrawItem(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State) = 0;
    virtual void ChangeItemIndex(int Index, bool Notify) = 0;
};

class IRgPopupControl {
public:
    virtual ~IRgPopupControl() = default;
    virtual vcl::TCanvas* GetCanvas() = 0;
    virtual vcl::TFont* GetFont() = 0;
    virtual void PopupKeyDown(WORD& Key, vcl::TShiftState Shift) = 0;
    virtual void Popup(int X, int Y, TRgPopupAnchor Anchor) = 0;
    virtual void Popup(const vcl::TPoint& Location, TRgPopupAnchor Anchor) = 0;
    virtual void SetDropDown(IRgDropDown* Value) = 0;
    virtual void UpdatePopup() = 0;
};

class IRgListPopup {
public:
    virtual ~IRgListPopup() = default;
    virtual void ScrollPrior() = 0;
    virtual void ScrollNext() = 0;
};

class TRgPopupControl6 : public TRgScrollControl6, public IRgPopupControl {
public:
    explicit TRgPopupControl6(rtl::TComponent* AOwner);

    bool ShowShadow() const { return FShowShadow; }
    void SetShowShadow(bool Value);
    TRgPopupState PopupState() const { return FPopupState; }

    // IRgPopupControl
    vcl::TCanvas* GetCanvas() override { return Canvas(); }
    vcl::TFont* GetFont() override { return Font(); }
    void PopupKeyDown(WORD& Key, vcl::TShiftState Shift) override { KeyDown(Key, Shift); }
    void Popup(int X, int Y, TRgPopupAnchor Anchor) override;
    void Popup(const vcl::TPoint& Location, TRgPopupAnchor Anchor) override { Popup(Location.X, Location.Y, Anchor); }
    void SetDropDown(IRgDropDown* Value) override { FDropDown = Value; }
    void UpdatePopup() override {}

    virtual void Close(const rtl::String& Value);
    // Frees the popup; while one of its own messages is being handled the window is hidden and the object
    // goes once that message is done (the owner closes the list from the popup's own mouse handling).
    void Release();

protected:
    virtual void AfterPopup() {}
    virtual void BeforePopup() {}

    void CreateParams(vcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(vcl::TMessage& Message) override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;

    bool InClient(int X, int Y) { return ClientRect().Contains(vcl::TPoint(X, Y)); }

    IRgDropDown* FDropDown = nullptr;
    bool FMouseDown = false;
    TRgPopupState FPopupState;

private:
    bool CursorOutside();
    void TakeCapture();
    // X, Y (client coordinates) within the window's rectangle, frame and scroll bar included.
    bool InWindow(int X, int Y);
    void PaintFrame();
    void RequestClose();

    bool FShowShadow = false;
    int FHandling = 0;
    bool FReleasePending = false;
};

class TRgEditPopupControl6 : public TRgPopupControl6 {
public:
    explicit TRgEditPopupControl6(rtl::TComponent* AOwner);
    void Close(const rtl::String& Value) override;

protected:
    vcl::TCustomEdit* FEdit = nullptr;
};

class TRgListPopupControl6 : public TRgEditPopupControl6, public IRgListPopup {
public:
    using TRgEditPopupControl6::TRgEditPopupControl6;

    // IRgListPopup
    void ScrollPrior() override { VertScrollBar()->Prior(); }
    void ScrollNext() override { VertScrollBar()->Next(); }

    int GetPageItemCount();
    void ScrollToItem(int Index);

protected:
    virtual int GetCount() = 0;
    virtual int GetDropDownCount() = 0;
    virtual int GetItemIndex() = 0;
    virtual void SetItemIndex(int Value) = 0;
    virtual bool DrawItem(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State);
    virtual void UpdateScrollBar() {}

    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    void Paint() override;
    int TopIndex() { return VertScrollBar()->GetPosition(); }
    IRgStringsControl* Strings() { return dynamic_cast<IRgStringsControl*>(Owner()); }
};

class TRgStringsPopupControl6 : public TRgListPopupControl6 {
public:
    explicit TRgStringsPopupControl6(rtl::TComponent* AOwner);

    int HotIndex() const { return FHotIndex; }
    void UpdatePopup() override;
    void DoContentScroll(int DeltaX, int DeltaY) override;

protected:
    int GetCount() override;
    int GetDropDownCount() override;
    int GetItemIndex() override;
    void SetItemIndex(int Value) override;
    void UpdateScrollBar() override;
    void AfterPopup() override { UpdateScrollBar(); }
    void BeforePopup() override;
    void Paint() override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;

private:
    int ItemHeight();
    int RowAt(int Y) { return TopIndex() + Y / ItemHeight(); }
    void InvalidateItem(int Index);
    void SetHotIndex(int Value);

    int FHotIndex = -1;
};

} // namespace controls
