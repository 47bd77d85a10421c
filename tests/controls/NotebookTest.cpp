// Collection control and notebook: the order of the activation rules and their events, the positions
// ActivePageIndex counts, the see-through mode's window rule, freeing the active page, what each paints.
#include "controls/RgNotebook6.h"
#include "tests/controls/PanelForm.h"
#include "vcl/ExtCtrls.h"

#include <gtest/gtest.h>

#include <string>

using namespace controls;
using controls_test::PixelAt;
using controls_test::Rgb;
using controls_test::ShowForm;
using controls_test::TPanelForm;
using testing_support::FormHarness;

namespace {

// Counts its windows, to see when a property recreates one.
class TCountingNotebook : public TRgCustomNotebook6 {
public:
    using TRgCustomNotebook6::TRgCustomNotebook6;
    int Created = 0;
    LONG ExStyle() { return GetWindowLongW(Handle(), GWL_EXSTYLE); }

protected:
    void CreateWnd() override {
        ++Created;
        TRgCustomNotebook6::CreateWnd();
    }
};

struct Notebook {
    TCountingNotebook* nb = nullptr;
    std::vector<TRgNotebookSheet6*> sheets;
    std::string log;  // "q<n>" for a query, "c<n>" for a change; n is the sheet's number or -
    bool accept = true;

    std::string Name(TRgNotebookSheet6* s) const {
        for (size_t i = 0; i < sheets.size(); ++i)
            if (sheets[i] == s) return std::to_string(i);
        return s ? "?" : "-";
    }
    void Listen() {
        nb->OnActiveChangeQuery = TRgActiveChangeQueryEvent([this](rtl::TObject*, TRgNotebookSheet6* s, bool& a) {
            log += "q" + Name(s) + " ";
            a = accept;
        });
        nb->OnActiveChange = TRgActiveChangeEvent([this](rtl::TObject*, TRgNotebookSheet6* s) { log += "c" + Name(s) + " "; });
    }
    int VisibleSheets() const {
        int n = 0;
        for (auto* s : sheets) n += s->Visible() ? 1 : 0;
        return n;
    }
};

// A notebook of Count sheets coloured red, green, blue..., optionally after a plain panel.
Notebook ShowNotebook(FormHarness& h, int Count, bool PanelFirst = false) {
    Notebook n;
    ShowForm(h, [&](TPanelForm* f) {
        n.nb = new TCountingNotebook(f);
        n.nb->SetParent(f);
        n.nb->SetBounds(10, 10, 200, 150);
        n.nb->SetColor(vcl::clYellow);
        if (PanelFirst) {
            auto* p = new vcl::TPanel(f);
            p->SetParent(n.nb);
            p->SetAlign(vcl::alNone);
            p->SetBounds(0, 0, 5, 5);
        }
        static const vcl::TColor colours[] = {vcl::clRed, vcl::clLime, vcl::clBlue, vcl::clFuchsia};
        for (int i = 0; i < Count; ++i) {
            auto* s = new TRgNotebookSheet6(f);
            s->SetParent(n.nb);
            s->SetColor(colours[i % 4]);
            n.sheets.push_back(s);
        }
    });
    h.Pump();
    n.Listen();
    return n;
}

} // namespace

TEST(Notebook, ActivationRunsTheQueryFirstAndShowsExactlyTheActiveSheet) {
    FormHarness h;
    Notebook n = ShowNotebook(h, 3);
    EXPECT_EQ(n.nb->ActivePage(), nullptr);

    n.nb->SetActivePage(n.sheets[1]);
    EXPECT_EQ(n.log, "q1 c1 ");
    EXPECT_EQ(n.VisibleSheets(), 1);
    EXPECT_TRUE(n.sheets[1]->Visible());

    n.log.clear();
    n.nb->SetActivePage(n.sheets[1]);  // already active: the query only
    EXPECT_EQ(n.log, "q1 ");

    n.log.clear();
    n.accept = false;
    n.nb->SetActivePage(n.sheets[2]);
    EXPECT_EQ(n.log, "q2 ");
    EXPECT_EQ(n.nb->ActivePage(), n.sheets[1]);
    EXPECT_TRUE(n.sheets[1]->Visible());
    EXPECT_FALSE(n.sheets[2]->Visible());

    n.log.clear();
    n.accept = true;
    n.nb->SetActivePage(nullptr);
    EXPECT_EQ(n.log, "q- c- ");
    EXPECT_EQ(n.VisibleSheets(), 0);
}

TEST(Notebook, ASheetOfAnotherNotebookIsIgnoredAfterTheQuery) {
    FormHarness h;
    Notebook n = ShowNotebook(h, 2);
    Notebook other = ShowNotebook(h, 1);
    n.nb->SetActivePage(n.sheets[0]);
    n.log.clear();
    n.nb->SetActivePage(other.sheets[0]);
    EXPECT_EQ(n.log, "q? ");
    EXPECT_EQ(n.nb->ActivePage(), n.sheets[0]);
    EXPECT_TRUE(other.sheets[0]->Visible());
}

TEST(Notebook, ActivePageIndexCountsEveryChildAndReachesTheLastSheet) {
    FormHarness h;
    Notebook n = ShowNotebook(h, 3, /*PanelFirst=*/true);
    EXPECT_EQ(n.nb->Count(), 3);
    EXPECT_EQ(n.nb->ActivePageIndex(), -1);
    n.nb->SetActivePageIndex(1);
    EXPECT_EQ(n.nb->ActivePage(), n.sheets[0]);
    EXPECT_EQ(n.nb->ActivePageIndex(), 1);
    n.nb->SetActivePageIndex(3);  // the last sheet, past the sheet count
    EXPECT_EQ(n.nb->ActivePage(), n.sheets[2]);
    EXPECT_EQ(n.sheets[2]->Index(), 3);

    n.log.clear();
    for (int outside : {-1, 4, 100}) n.nb->SetActivePageIndex(outside);
    EXPECT_EQ(n.log, "");
    EXPECT_THROW(n.nb->SetActivePageIndex(0), rtl::EInvalidCast);  // the panel
    EXPECT_EQ(n.nb->ActivePage(), n.sheets[2]);
}

TEST(Notebook, SheetIndexMovesTheSheetInTheChildList) {
    FormHarness h;
    Notebook n = ShowNotebook(h, 3);
    n.sheets[2]->SetIndex(0);
    EXPECT_EQ(n.nb->Controls(0), n.sheets[2]);
    EXPECT_EQ(n.sheets[0]->Index(), 1);
    TRgNotebookSheet6 loose(nullptr);
    EXPECT_EQ(loose.Index(), -1);
    loose.SetIndex(3);  // no parent: nothing to move
}

TEST(Notebook, FreeingTheActiveSheetLeavesNoActivePageAndNoEvent) {
    FormHarness h;
    Notebook n = ShowNotebook(h, 2);
    n.nb->SetActivePage(n.sheets[0]);
    n.log.clear();
    delete n.sheets[0];
    n.sheets[0] = nullptr;
    EXPECT_EQ(n.nb->ActivePage(), nullptr);
    EXPECT_EQ(n.log, "");
    EXPECT_FALSE(n.sheets[1]->Visible());
    h.Pump();
    EXPECT_EQ(PixelAt(h, n.nb, 100, 70), Rgb(vcl::clYellow));
}

TEST(Notebook, PaintsItsColourOnlyWithoutAnActivePageAndTheSheetPaintsItsOwn) {
    FormHarness h;
    Notebook n = ShowNotebook(h, 2);
    n.nb->SetActivePage(n.sheets[1]);
    h.Pump();
    EXPECT_EQ(n.sheets[1]->BoundsRect(), n.nb->ClientRect());
    EXPECT_EQ(PixelAt(h, n.nb, 100, 70), Rgb(vcl::clLime));
    n.nb->SetActivePage(nullptr);
    h.Pump();
    EXPECT_EQ(PixelAt(h, n.nb, 100, 70), Rgb(vcl::clYellow));
}

TEST(CollectionControl, AlphaRecreatesTheWindowOnlyWhenLeavingOpaque) {
    FormHarness h;
    Notebook n = ShowNotebook(h, 1);
    const int created = n.nb->Created;
    EXPECT_EQ(n.nb->ExStyle() & WS_EX_TRANSPARENT, 0);
    n.nb->SetAlpha(200);
    h.Pump();
    EXPECT_EQ(n.nb->Created, created + 1);
    EXPECT_NE(n.nb->ExStyle() & WS_EX_TRANSPARENT, 0);
    n.nb->SetAlpha(100);
    n.nb->SetAlpha(255);
    h.Pump();
    EXPECT_EQ(n.nb->Created, created + 1);
}

TEST(CollectionControl, TellsItsVersionAndClassAndAssignsAlpha) {
    FormHarness h;
    Notebook n = ShowNotebook(h, 1);
    EXPECT_EQ(n.nb->Version(), QStringLiteral("6.3.2"));
    EXPECT_EQ(n.nb->ControlName(), QStringLiteral("TCountingNotebook"));
    EXPECT_EQ(n.sheets[0]->ControlName(), QStringLiteral("TRgNotebookSheet6"));

    n.sheets[0]->SetAlpha(40);
    n.nb->Assign(n.sheets[0]);
    EXPECT_EQ(n.nb->Alpha(), 40);
    vcl::TFont font;
    EXPECT_THROW(n.nb->Assign(&font), rtl::EConvertError);
}

TEST(CollectionControl, SeeThroughPaintsTheParentsBackground) {
    FormHarness h;
    TRgCollectionControl6* c = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        f->SetColor(vcl::clAqua);
        c = new TRgCollectionControl6(f);
        c->SetParent(f);
        c->SetBounds(20, 20, 100, 60);
        c->SetColor(vcl::clRed);
        c->SetAlpha(128);
    });
    h.Pump();
    EXPECT_EQ(PixelAt(h, c, 50, 30), Rgb(vcl::clAqua));
}
