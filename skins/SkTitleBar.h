// skins/SkTitleBar.h: what the skinned title bar stands on: the subclassing of its form's and the
// application's window procedures, which a bar can leave safely whatever subclassed the window after
// it, and the sizing hit table of its frame.
#pragma once
#include "vcl/Controls.h"

#include <functional>

namespace skins {

// A window procedure put in front of a window's own. The handler sees each message first and answers
// true when it handled it; everything else goes to the procedure that was there before. Remove puts the
// saved procedure back only while the window still runs this one; when another subclass came after
// it, this one stays in the chain as a plain forwarder to the saved procedure (whoever restores it later
// reaches a live forwarder, never the freed owner), and it goes with the window.
class TSkWindowSubclass {
public:
    using THandler = std::function<bool(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result)>;

    TSkWindowSubclass() = default;
    ~TSkWindowSubclass() { Remove(); }
    TSkWindowSubclass(const TSkWindowSubclass&) = delete;
    TSkWindowSubclass& operator=(const TSkWindowSubclass&) = delete;

    // False when the window does not exist or this subclass is installed already.
    bool Install(HWND Wnd, THandler Handler);
    void Remove();
    bool Installed() const { return FLink != nullptr; }
    HWND Window() const { return FWnd; }
    // The saved procedure with the message (for a handler that runs it before or after its own work).
    LRESULT CallSaved(UINT Msg, WPARAM WParam, LPARAM LParam);

    struct TLink;

private:
    HWND FWnd = nullptr;
    TLink* FLink = nullptr;
};

// The frame sizing a press at (X, Y) of a W x H title bar would start: the WMSZ_ code (0 for none)
// and the cursor. Nothing within the client area inset by Frame.
struct TSkSizingHit {
    int Edge = 0;
    vcl::TCursor Cursor = vcl::crDefault;
};
TSkSizingHit GetSizingHitInfo(int X, int Y, int W, int H, const vcl::TPoint& Frame);

} // namespace skins
