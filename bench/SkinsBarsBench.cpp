// bench/SkinsBarsBench.cpp: skinned docks, toolbars and popup menus on a shown form, in one run.
// - Repainting a 40-item skinned toolbar in a skinned dock against the same captions and images in the
//   toolbar library's own toolbar in its own dock: at most 1.5 times under the classic look, 3 times
//   under Office 2007 Blue and under Aluminum (textures warmed by a first paint).
// - A skinned dock holding four 40-item toolbars resized 100 times: every item painted exactly once a
//   step, and under 2 ms a step.
// - A 30-item skinned popup menu from Popup to its first paint: within one 60 Hz frame and at most 1.5
//   times the library's popup menu with the same items.
// - The right-align and anchoring passes of one resize at 10, 100 and 1,000 items: ten times the items
//   within 15 times the time.
// Prints the numbers; exits non-zero when a bound is missed.
// bench-libs: skins toolbars vcl win rtl Qt6::Gui
#include "bench/BenchSupport.h"
#include "skins/SkBars.h"
#include "skins/SkPopup.h"
#include "vcl/Forms.h"
#include "win/windows.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

using namespace skins;
using bench_support::Check;
using bench_support::BestOf;

vcl::TImageList* MakeImages(rtl::TComponent* Owner) {
    auto* images = new vcl::TImageList(Owner);
    images->SetSize(16, 16);
    vcl::TBitmap picture;
    picture.SetPixelFormat(vcl::pf24bit);
    picture.SetSize(16, 16);
    picture.Canvas()->Brush()->SetColor(0x00336699);
    picture.Canvas()->FillRect(vcl::TRect(0, 0, 16, 16));
    images->Add(&picture, nullptr);
    return images;
}

template <class TItem> void FillBar(bars::TBarCustomToolbar* Bar, rtl::TComponent* Owner, int Items,
                                    vcl::TImageList* Images) {
    Bar->SetImages(Images);
    Bar->View()->BeginUpdate();
    for (int i = 0; i < Items; ++i) {
        auto* item = new TItem(Owner);
        item->SetCaption(QStringLiteral("Tool %1").arg(i));
        item->SetImageIndex(0);
        Bar->Items()->Add(item);
    }
    Bar->View()->EndUpdate();
}

// A shown form with one dock along its top.
struct Form {
    vcl::TForm* form = new vcl::TForm(nullptr);
    vcl::TImageList* images = MakeImages(form);
    Form() { form->SetBounds(0, 0, 1400, 300); }
    ~Form() { delete form; }
    void Show() {
        form->Show();
        TwFlushPainting();
    }
};

// One full repaint of a toolbar's window, frame and items.
double ToolbarRepaint(bars::TBarCustomToolbar* Bar) {
    const HWND wnd = Bar->Handle();
    auto once = [wnd] {
        RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
        TwFlushPainting();
    };
    once();   // textures and caches warm
    return BestOf(once, 15);
}

double SkinnedToolbarRepaint() {
    Form f;
    auto* dock = new TSkDock(f.form);
    dock->SetParent(f.form);
    auto* bar = new TSkToolbar(f.form);
    FillBar<TSkItem>(bar, f.form, 40, f.images);
    bar->SetParent(dock);
    f.Show();
    return ToolbarRepaint(bar);
}

double BaseToolbarRepaint() {
    Form f;
    auto* dock = new bars::TBarDock(f.form);
    dock->SetParent(f.form);
    auto* bar = new bars::TBarCustomToolbar(f.form);
    FillBar<bars::TBarCustomItem>(bar, f.form, 40, f.images);
    bar->SetParent(dock);
    f.Show();
    return ToolbarRepaint(bar);
}

// Four 40-item toolbars resized 100 times: the fewest and most paints an item got in one step (every
// item must get exactly one), and the time a step.
void DockResizes(int& FewestPaints, int& MostPaints, double& StepSeconds) {
    Form f;
    auto* dock = new TSkDock(f.form);
    dock->SetAllowDrag(false);
    dock->SetParent(f.form);
    std::map<TSkItem*, int> paints;
    for (int row = 0; row < 4; ++row) {
        auto* bar = new TSkToolbar(f.form);
        bar->SetDockRow(row);
        FillBar<TSkItem>(bar, f.form, 40, f.images);
        for (int i = 0; i < bar->Items()->Count(); ++i) {
            auto* item = static_cast<TSkItem*>(bar->Items()->GetItem(i));
            paints[item] = 0;
            item->OnDrawItem = [&paints, item](rtl::TObject*, vcl::TCanvas*, vcl::TRect, TSkMenuItemInfo,
                                               TSkPaintStage Stage, bool&) {
                if (Stage == pstPrePaint) ++paints[item];
            };
        }
        bar->SetParent(dock);
    }
    f.Show();
    FewestPaints = 1 << 30;
    MostPaints = 0;
    StepSeconds = 1e9;
    // The best of five rounds of 100 steps: a round that other processes slowed down does not count.
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        qint64 spent = 0;
        for (int step = 0; step < 100; ++step) {
            for (auto& p : paints) p.second = 0;
            t.start();
            f.form->SetClientWidth(step % 2 ? 1300 : 1380);
            TwFlushPainting();
            spent += t.nsecsElapsed();
            for (auto& p : paints) {
                FewestPaints = std::min(FewestPaints, p.second);
                MostPaints = std::max(MostPaints, p.second);
            }
        }
        StepSeconds = std::min(StepSeconds, double(spent) / 1e9 / 100);
    }
}

// ---- popup menus: from Popup to the first paint, closed at the loop's first wait ----

QElapsedTimer popupClock;
double firstPaintSeconds = -1;

void CALLBACK AtFirstWait(void*) {
    if (firstPaintSeconds >= 0) return;
    TwFlushPainting();
    firstPaintSeconds = popupClock.nsecsElapsed() / 1e9;
    TwInputKey(VK_ESCAPE, TRUE, FALSE, nullptr, FALSE);
    TwInputKey(VK_ESCAPE, FALSE, FALSE, nullptr, FALSE);
}

template <class TMenu, class TItem> double PopupOnce() {
    auto* menu = new TMenu(nullptr);
    for (int i = 0; i < 30; ++i) {
        auto* item = new TItem(menu);
        item->SetCaption(QStringLiteral("Menu entry %1").arg(i));
        item->SetShortCut(vcl::scCtrl | WORD(u'A' + i % 26));
        item->SetChecked(i % 7 == 0);
        menu->Items()->Add(item);
    }
    firstPaintSeconds = -1;
    popupClock.start();
    menu->Popup(10, 10);
    delete menu;
    return firstPaintSeconds;
}

template <class TMenu, class TItem> double PopupBest() {
    double best = 1e9;
    for (int i = 0; i < 9; ++i) {
        const double s = PopupOnce<TMenu, TItem>();
        if (s >= 0) best = std::min(best, s);
    }
    return best;
}

// ---- the right-align and anchoring passes ----

double AlignPasses(int Items) {
    Form f;
    f.form->SetBounds(0, 0, 400, 300);
    auto* dock = new TSkDock(f.form);
    dock->SetAllowDrag(false);
    dock->SetParent(f.form);
    auto* bar = new TSkToolbar(f.form);
    bar->SetStretch(true);
    bar->SetShrinkMode(bars::tbsmNone);
    bar->View()->BeginUpdate();
    for (int i = 0; i < Items; ++i) {
        auto* item = new TSkItem(f.form);
        item->SetCaption(QStringLiteral("%1").arg(i));
        item->SetAnchored(i % 10 == 9);
        bar->Items()->Add(item);
    }
    bar->Items()->Insert(Items / 2, new TSkRightAlignSpacerItem(f.form));
    bar->View()->EndUpdate();
    bar->SetParent(dock);
    f.Show();
    return BestOf([&] {
        bar->RightAlignItems();
        bar->AnchorItems(true);
    }, 15);
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TwStartGui(&argc, argv, TRUE);
    // The hook runs where a menu loop would wait, which it does only on the manual clock.
    TwUseManualClock(1000);
    TwSetIdleHook(&AtFirstWait, nullptr);
    vcl::Application = new vcl::TApplication(nullptr);
    // The menu loop reads its keys from the focused window: an active form takes the closing Escape.
    auto* host = new vcl::TForm(vcl::Application);
    host->SetBounds(0, 400, 300, 200);
    host->Show();
    TwInputActivate(host->Handle());
    TwFlushPainting();
    bool ok = true;

    GetSkinManager()->SetToDefaultSkin();
    const double base = BaseToolbarRepaint();
    struct Look {
        const char* name;
        double bound;
    };
    for (const Look& look : {Look{nullptr, 1.5}, Look{"Office 2007 Blue", 3}, Look{"Aluminum", 3}}) {
        if (look.name)
            GetSkinManager()->SetSkin(QString::fromLatin1(look.name));
        else
            GetSkinManager()->SetToDefaultSkin();
        const double skinned = SkinnedToolbarRepaint();
        std::printf("40-item toolbar repaint, %s: %.3f ms skinned, %.3f ms base\n", look.name ? look.name : "classic",
                    skinned * 1e3, base * 1e3);
        ok &= Check(look.name ? look.name : "classic look: skinned / base toolbar", skinned / base, "<=", look.bound);
    }
    GetSkinManager()->SetToDefaultSkin();

    int fewest = 0, most = 0;
    double step = 0;
    DockResizes(fewest, most, step);
    std::printf("four 40-item toolbars, 100 resizes: %d to %d paints an item a step, %.3f ms a step\n", fewest, most,
                step * 1e3);
    ok &= Check("fewest paints of an item a step", fewest, ">=", 1);
    ok &= Check("most paints of an item a step", most, "<=", 1);
    ok &= Check("dock resize step (ms)", step * 1e3, "<=", 2);

    const double skinnedPopup = PopupBest<TSkPopupMenu, TSkItem>();
    const double basePopup = PopupBest<bars::TBarPopupMenu, bars::TBarCustomItem>();
    std::printf("30-item popup menu to first paint: %.3f ms skinned, %.3f ms base\n", skinnedPopup * 1e3,
                basePopup * 1e3);
    ok &= Check("skinned popup to first paint (ms)", skinnedPopup * 1e3, "<=", 16.7);
    ok &= Check("skinned / base popup", skinnedPopup / basePopup, "<=", 1.5);

    const double a10 = AlignPasses(10), a100 = AlignPasses(100), a1000 = AlignPasses(1000);
    std::printf("right-align and anchor passes: %.4f / %.4f / %.4f ms at 10 / 100 / 1,000 items\n", a10 * 1e3,
                a100 * 1e3, a1000 * 1e3);
    ok &= Check("align passes 100 / 10 items", a100 / a10, "<=", 15);
    ok &= Check("align passes 1,000 / 100 items", a1000 / a100, "<=", 15);
    return ok ? 0 : 1;
}
