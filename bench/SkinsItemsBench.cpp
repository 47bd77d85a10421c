// bench/SkinsItemsBench.cpp: skinned items measured and painted in plain bar views. A menu bar like the
// main window's (five menus and the spacer) and a 40-item toolbar take at most 2 ms a pass; 400 toolbar
// items take at most 12 times 40. A 30-item menu is measured and painted in a popup view within one 60 Hz
// frame. Skinned items cost at most 1.5 times the class library's base items (same captions, images and
// view) under the classic look, and at most 3 times under a skin with gradient bodies. Prints the numbers;
// exits non-zero when a bound is missed.
// bench-libs: skins toolbars vcl win rtl Qt6::Gui
#include "bench/BenchSupport.h"
#include "skins/SkItem.h"
#include "skins/SkSkins.h"
#include "vcl/Forms.h"
#include "win/windows.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

using namespace skins;
using bench_support::Check;
using bench_support::BestOf;

struct Bar {
    std::unique_ptr<rtl::TComponent> owner = std::make_unique<rtl::TComponent>(nullptr);
    bars::TBarRootItem* root = new TSkRootItem(owner.get());
    vcl::TImageList* images = new vcl::TImageList(owner.get());
    std::unique_ptr<bars::TBarView> view;
    vcl::TBitmap bitmap;

    Bar() {
        images->SetSize(16, 16);
        vcl::TBitmap picture;
        picture.SetPixelFormat(vcl::pf24bit);
        picture.SetSize(16, 16);
        picture.Canvas()->Brush()->SetColor(0x00336699);
        picture.Canvas()->FillRect(vcl::TRect(0, 0, 16, 16));
        images->Add(&picture, nullptr);
        bitmap.SetPixelFormat(vcl::pf32bit);
        bitmap.SetSize(1600, 800);
    }
    template <class T> T* Add(const QString& Caption, bool Image) {
        auto* item = new T(owner.get());
        item->SetCaption(Caption);
        if (Image) {
            item->SetImages(images);
            item->SetImageIndex(0);
        }
        root->Add(item);
        return item;
    }
    void Make(bool Toolbar, bool MenuBar = false) {
        view = std::make_unique<bars::TBarView>(nullptr, nullptr, root, nullptr, Toolbar, false, false);
        if (MenuBar) view->Style.Include(bars::vsMenuBar);
    }
    // One pass: every viewer measured, then painted at its place along the bar (or down the menu).
    void Pass(bool Down) {
        vcl::TCanvas* canvas = bitmap.Canvas();
        HDC dc = canvas->Handle();
        int at = 0;
        for (int i = 0; i < view->ViewerCount(); ++i) {
            bars::TBarItemViewer* v = view->GetViewer(i);
            int w, h;
            v->MeasureSize(canvas, w, h);
            const int x = Down ? 0 : at, y = Down ? at : 0;
            SetWindowOrgEx(dc, -x, -y, nullptr);
            v->Paint(canvas, vcl::TRect(0, 0, w, h), i == 3, false, false);
            SetWindowOrgEx(dc, 0, 0, nullptr);
            at += Down ? h : w;
        }
    }
};

template <class TItem, class TSub> double MainBars(int ToolbarItems) {
    Bar menu, tools;
    for (const char* c : {"&File", "&Edit", "&Convert", "&Options", "&Help"}) menu.Add<TSub>(QString::fromLatin1(c), false);
    menu.Add<TSkRightAlignSpacerItem>(QString(), false);
    menu.Make(true, true);
    for (int i = 0; i < ToolbarItems; ++i) tools.Add<TItem>(QStringLiteral("Tool %1").arg(i), true);
    tools.Make(true);
    return BestOf([&] {
        menu.Pass(false);
        tools.Pass(false);
    }, 20);
}

template <class TItem> double Toolbar(int Items) {
    Bar tools;
    for (int i = 0; i < Items; ++i) tools.Add<TItem>(QStringLiteral("Tool %1").arg(i), true);
    tools.Make(true);
    return BestOf([&] { tools.Pass(false); }, 20);
}

template <class TItem> double Menu(int Items) {
    Bar menu;
    for (int i = 0; i < Items; ++i) {
        auto* item = menu.Add<TItem>(QStringLiteral("Menu entry %1").arg(i), i % 3 == 0);
        if (i % 5 == 0) item->SetShortCut(vcl::ShortCut('A' + i % 26, vcl::TShiftState{vcl::ssCtrl}));
    }
    menu.Make(false);
    return BestOf([&] { menu.Pass(true); }, 20);
}

} // namespace

int main(int argc, char** argv) {
    TwStartGui(&argc, argv, TRUE);
    bool ok = true;
    GetSkinManager()->SetToDefaultSkin();

    const double mainBars = MainBars<TSkItem, TSkSubmenuItem>(40);
    std::printf("menu bar and 40-item toolbar: %.3f ms a pass\n", mainBars * 1000);
    ok &= Check("main bars pass (ms)", mainBars * 1000, "<=", 2);
    const double t40 = Toolbar<TSkItem>(40), t400 = Toolbar<TSkItem>(400);
    ok &= Check("400 toolbar items / 40", t400 / t40, "<=", 12);
    const double menu = Menu<TSkItem>(30);
    ok &= Check("30-item menu (ms)", menu * 1000, "<=", 16.7);

    const double skinnedNone = Toolbar<TSkItem>(40) + Menu<TSkItem>(30);
    const double baseNone = Toolbar<bars::TBarCustomItem>(40) + Menu<bars::TBarCustomItem>(30);
    ok &= Check("skinned / base items, classic look", skinnedNone / baseNone, "<=", 1.5);
    GetSkinManager()->SetSkin(QStringLiteral("Office 2007 Blue"));
    const double skinnedSkin = Toolbar<TSkItem>(40) + Menu<TSkItem>(30);
    ok &= Check("skinned under a gradient skin / base items", skinnedSkin / baseNone, "<=", 3);
    GetSkinManager()->SetToDefaultSkin();
    return ok ? 0 : 1;
}
