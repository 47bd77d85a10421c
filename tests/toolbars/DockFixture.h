// tests/toolbars/DockFixture.h: dockable windows of a fixed base size for dock tests, and a form with
// docks on it.
#pragma once
#include "tests/support/windows/FormHarness.h"
#include "toolbars/BarDock.h"

#include <string>
#include <vector>

namespace bars_test {

using namespace bars;

inline TRect WindowRectOf(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return TRect(r);
}
// Input queued for a loop that pumps itself, at screen coordinates.
inline void QueueMove(TPoint p) { TwInputMouseMove(p.X, p.Y); }
inline void QueueButton(TPoint p, bool down) {
    TwInputMouseMove(p.X, p.Y);
    TwInputMouseButton(p.X, p.Y, TW_BUTTON_LEFT, down);
}
inline void QueueKey(UINT vk, bool down) { TwInputKey(vk, down, FALSE, nullptr, FALSE); }

// A bar whose contents measure a fixed client size, whatever its placement; counts its SetBounds.
class TFixedBar : public TBarCustomDockableWindow {
public:
    TFixedBar(rtl::TComponent* AOwner, int W, int H) : TBarCustomDockableWindow(AOwner), BaseW(W), BaseH(H) {}
    TPoint ArrangeContents(bool, TBarDockKind, bool, TBarDock*) override { return TPoint(BaseW, BaseH); }
    void GetBaseSize(TPoint& ASize) override { ASize = TPoint(BaseW, BaseH); }
    TBarShrinkMode GetShrinkMode() override { return Mode; }
    void GetMinimumLength(int& AMinimumSize) override { AMinimumSize = MinLength; }
    void GetSizeLimits(int& MinW, int& MinH, int&, int&) override {
        MinW = MinClientW;
        MinH = MinClientH;
    }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override {
        ++SetBoundsCalls;
        TBarCustomDockableWindow::SetBounds(ALeft, ATop, AWidth, AHeight);
    }
    void SizingEnded() override { ++SizingEndedCalls; }

    int BaseW, BaseH;
    int MinLength = 0;
    int MinClientW = 0, MinClientH = 0;
    TBarShrinkMode Mode = tbsmNone;
    int SetBoundsCalls = 0;
    int SizingEndedCalls = 0;
};

// A shown form, 400 by 300 client pixels, for docks and bars.
struct DockForm {
    testing_support::FormHarness h;
    vcl::TForm* form;
    explicit DockForm(bool show = true) {
        form = h.Create<vcl::TForm>();
        form->SetBounds(100, 100, 400, 300);
        form->SetClientWidth(400);
        form->SetClientHeight(300);
        if (show) {
            form->Show();
            h.Pump();
        }
    }
    TBarDock* Dock(TBarDockPosition pos = dpTop, bool allowDrag = true) {
        auto* d = new TBarDock(form);
        d->SetPosition(pos);
        d->SetAllowDrag(allowDrag);
        d->SetParent(form);
        return d;
    }
    TFixedBar* Bar(TBarDock* dock, int w = 50, int h = 20, int row = 0, int pos = -1) {
        auto* b = new TFixedBar(form, w, h);
        b->SetName(QStringLiteral("Bar%1").arg(++count));
        b->SetDockRow(row);
        b->SetDockPos(pos);
        if (dock) b->SetParent(dock);
        return b;
    }
    int count = 0;
};

} // namespace bars_test
