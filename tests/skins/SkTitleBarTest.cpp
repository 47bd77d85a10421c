// tests/skins/SkTitleBarTest.cpp: the title bar's subclassing of its form's window procedure, with and
// without a later subclass in the chain, and the sizing hit table of its frame.
#include "skins/SkTitleBar.h"

#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace skins_test {
namespace {

using skins::TSkWindowSubclass;

constexpr UINT WM_PROBE = WM_USER + 77;

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

class TProbeForm : public vcl::TForm {
public:
    using vcl::TForm::TForm;

protected:
    void Dispatch(vcl::TMessage& Message) override {
        if (Message.Msg == WM_PROBE) Log().push_back("form");
        vcl::TForm::Dispatch(Message);
    }
};

// Stands for the title bar: a heap object whose handler reads its own state.
struct TBarStandIn {
    std::string name = "bar";
    TSkWindowSubclass subclass;
    void Hook(HWND Wnd) {
        subclass.Install(Wnd, [this](HWND, UINT Msg, WPARAM, LPARAM, LRESULT&) {
            if (Msg == WM_PROBE) Log().push_back(name);
            return false;
        });
    }
};

// Another subclass in the plain Windows manner, which puts back what it saved.
WNDPROC gSecondSaved = nullptr;
LRESULT CALLBACK SecondProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_PROBE) Log().push_back("second");
    return CallWindowProcW(gSecondSaved, Wnd, Msg, WParam, LParam);
}

struct Subclassing : ::testing::Test {
    testing_support::FormHarness h;
    TProbeForm* form = nullptr;
    HWND wnd = nullptr;
    LONG_PTR own = 0;
    void SetUp() override {
        Log().clear();
        form = h.Create<TProbeForm>();
        wnd = form->Handle();
        own = GetWindowLongPtrW(wnd, GWLP_WNDPROC);
    }
    std::vector<std::string> Probe() {
        Log().clear();
        SendMessageW(wnd, WM_PROBE, 0, 0);
        return Log();
    }
    using Seq = std::vector<std::string>;
};

TEST_F(Subclassing, BarAloneRestoresTheFormsProcedure) {
    auto bar = std::make_unique<TBarStandIn>();
    bar->Hook(wnd);
    EXPECT_EQ(Probe(), (Seq{"bar", "form"}));
    bar.reset();
    EXPECT_EQ(GetWindowLongPtrW(wnd, GWLP_WNDPROC), own);
    EXPECT_EQ(Probe(), Seq{"form"});
}

TEST_F(Subclassing, FreedBarLeavesAForwarderSoALaterSubclassKeepsWorkingAndTheBarHearsNothing) {
    auto bar = std::make_unique<TBarStandIn>();
    bar->Hook(wnd);
    gSecondSaved = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(wnd, GWLP_WNDPROC, LONG_PTR(&SecondProc)));
    EXPECT_EQ(Probe(), (Seq{"second", "bar", "form"}));

    bar.reset();   // the second subclass is not cut out
    EXPECT_EQ(GetWindowLongPtrW(wnd, GWLP_WNDPROC), LONG_PTR(&SecondProc));
    EXPECT_EQ(Probe(), (Seq{"second", "form"}));

    // The second one puts back what it saved: the forwarder, which reaches the form.
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, LONG_PTR(gSecondSaved));
    EXPECT_EQ(Probe(), Seq{"form"});

    // A new bar takes the forwarder over and leaves the form's own procedure when it goes.
    auto again = std::make_unique<TBarStandIn>();
    again->name = "again";
    again->Hook(wnd);
    EXPECT_EQ(Probe(), (Seq{"again", "form"}));
    again.reset();
    EXPECT_EQ(GetWindowLongPtrW(wnd, GWLP_WNDPROC), own);
}

TEST(TitleBarSizing, HitTableOfAFourPixelFrame) {
    struct Case {
        int x, y, edge;
        vcl::TCursor cursor;
    };
    const int W = 300, H = 200;
    for (const Case& c : {Case{3, 3, WMSZ_TOPLEFT, vcl::crSizeNWSE}, Case{3, 10, 0, vcl::crDefault},
                          Case{3, 11, WMSZ_LEFT, vcl::crSizeWE}, Case{W - 3, 3, WMSZ_TOPRIGHT, vcl::crSizeNESW},
                          Case{3, H - 3, WMSZ_BOTTOMLEFT, vcl::crSizeNESW},
                          Case{W - 3, H - 3, WMSZ_BOTTOMRIGHT, vcl::crSizeNWSE}, Case{150, 2, WMSZ_TOP, vcl::crSizeNS},
                          Case{150, H - 2, WMSZ_BOTTOM, vcl::crSizeNS}, Case{W - 2, 100, WMSZ_RIGHT, vcl::crSizeWE},
                          Case{150, 100, 0, vcl::crDefault}, Case{5, 100, 0, vcl::crDefault}}) {
        const skins::TSkSizingHit hit = skins::GetSizingHitInfo(c.x, c.y, W, H, vcl::TPoint(4, 4));
        EXPECT_EQ(hit.Edge, c.edge) << c.x << ',' << c.y;
        EXPECT_EQ(hit.Cursor, c.cursor) << c.x << ',' << c.y;
    }
}

} // namespace
} // namespace skins_test
