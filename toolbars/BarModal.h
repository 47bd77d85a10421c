// toolbars/BarModal.h: the modal menu loop. While a popup menu is open, or a toolbar or the menu bar
// is driven by mouse or keys, a handler holds the mouse capture and pumps messages itself, routing
// mouse, keys and timers to the chain of open views. What the loop ended with (run an item, open the
// system menu, show help) is carried out only after it has ended and the popups are closed.
#pragma once
#include "toolbars/BarItem.h"

namespace bars {

// The last mouse position (screen) the loop acted on; X = NoPosition means unset, so the loop reads
// the position again after the next message and treats it as a move.
extern TPoint LastPos;

class TBarModalHandler : public rtl::TObject {
public:
    // Takes the capture for AExistingWnd, or for a hidden window of its own when that is 0.
    explicit TBarModalHandler(HWND AExistingWnd);
    ~TBarModalHandler() override;

    // Runs until the root view records a done action, or the capture or the active window is lost.
    void Loop(TBarView* RootView, bool AMouseDown, bool AExecuteSelected, bool AFromMSAA, bool TrackRightButton);

    HWND Wnd() const { return FWnd; }
    TBarPopupWindow* RootPopup() const { return FRootPopup; }
    void SetRootPopup(TBarPopupWindow* Value) { FRootPopup = Value; }

private:
    void Release();
    void WndProc(vcl::TMessage& Message);

    bool FCreatedWnd = false;
    bool FInited = false;
    HWND FWnd = nullptr;
    TBarPopupWindow* FRootPopup = nullptr;
    HWND FSaveFocusWnd = nullptr;
};

// Carries out what a loop ended with; the clicked item (run unless ReturnClickedItemOnly), or nil.
TBarCustomItem* ExecuteDoneAction(const TBarDoneActionData& Data, bool ReturnClickedItemOnly);

} // namespace bars
