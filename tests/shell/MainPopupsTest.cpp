// The main window's popups driven by input, headless: the grid popup's Columns submenu opened and
// used by keys, and a right press in the grid's header showing the columns menu instead of the grid
// popup.
#include "tests/shell/ShellWindows.h"
#include "tests/toolbars/MenuFixture.h"

namespace {

using namespace shell;
using MainPopups = shell_test::ShellWindows;
using bars_test::Key;
using bars_test::PopupOf;

TEST_F(MainPopups, TheGridPopupsColumnsSubmenuOpensAndRunsByKeys) {
    Main->Show();
    H->Pump();
    Main->ng->Columns()->Item(colNo)->SetVisible(true);
    Main->ng->Columns()->Item(colSize)->SetVisible(false);
    bool opened = false, marksMatch = false;
    H->WhenIdle([&] {
        Key(VK_UP); // from no selection to the last item, Columns
        Key(VK_RIGHT);
    });
    H->WhenIdle([&] {
        opened = PopupOf(Main->popColumnsSubmenu) != nullptr;
        marksMatch = Main->actColVisible[0]->Checked() && !Main->actColVisible[5]->Checked();
        if (opened) {
            Key(VK_RETURN); // the submenu opened on its first item, No
        } else {
            Key(VK_ESCAPE);
            Key(VK_ESCAPE);
        }
    });
    Main->popNg->Popup(300, 300);
    H->Pump();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(marksMatch);
    EXPECT_FALSE(Main->ng->Columns()->Item(colNo)->Visible()) << "Return ran the first column's action";
}

TEST_F(MainPopups, ARightPressInTheHeaderShowsTheColumnsMenuAndInTheRowsTheGridPopup) {
    Main->Show();
    H->Pump();
    const vcl::TRect header = Main->ng->GetHeaderRect();
    struct Case {
        POINT at; // in the grid's client area
        bool columns;
    } cases[] = {{{header.Left + 30, (header.Top + header.Bottom) / 2}, true},
                 {{header.Left + 30, header.Bottom + 40}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.columns ? "header" : "rows");
        bool columnsShown = false, gridShown = false;
        int levels = 0;
        H->WhenIdle([&] {
            columnsShown = PopupOf(Main->popColumns->Items()) != nullptr;
            gridShown = PopupOf(Main->popNg->Items()) != nullptr;
            for (bars::TBarPopupWindow* w : bars::PopupWindows()) levels += IsWindowVisible(w->Handle()) ? 1 : 0;
            Key(VK_ESCAPE);
        });
        POINT p = c.at;
        ClientToScreen(Main->ng->Handle(), &p);
        bars_test::ClickAt(p, TW_BUTTON_RIGHT);
        H->Pump();
        EXPECT_EQ(columnsShown, c.columns);
        EXPECT_EQ(gridShown, !c.columns);
        EXPECT_EQ(levels, 1);
    }
}

// The button let go only after the columns menu has gone (here its capture is taken away while the
// button is held, since keys do nothing then): the release's context request must not open the grid
// popup over the header as well.
TEST_F(MainPopups, AHeaderPressReleasedAfterTheColumnsMenuClosedOpensNoGridPopup) {
    Main->Show();
    H->Pump();
    const vcl::TRect header = Main->ng->GetHeaderRect();
    POINT p{header.Left + 30, (header.Top + header.Bottom) / 2};
    ClientToScreen(Main->ng->Handle(), &p);
    bool columnsShown = false;
    int gridPopups = 0;
    Main->popNg->OnPopup = [&, opened = Main->popNg->OnPopup](rtl::TObject* Sender) {
        ++gridPopups;
        opened(Sender);
    };
    H->WhenIdle([&] {
        columnsShown = PopupOf(Main->popColumns->Items()) != nullptr;
        ReleaseCapture(); // the menu closes; the right button is still down
    });
    bars_test::MoveTo(p);
    bars_test::Press(p, TW_BUTTON_RIGHT);
    H->Pump();
    bars_test::Release(p, TW_BUTTON_RIGHT);
    H->Pump();
    EXPECT_TRUE(columnsShown);
    EXPECT_EQ(gridPopups, 0);
}

} // namespace
