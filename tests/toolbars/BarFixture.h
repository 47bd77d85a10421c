// tests/toolbars/BarFixture.h: items of a fixed size for layout tests, bare views and a real toolbar's
// view with its chevron, and an owner that frees everything with the test.
#pragma once
#include "toolbars/BarToolbar.h"

#include <memory>

namespace bars_test {

using namespace bars;

// An item whose viewer measures a given size, whatever the font.
class TFixedItem : public TBarCustomItem {
public:
    explicit TFixedItem(rtl::TComponent* AOwner, int W = 30, int H = 20) : TBarCustomItem(AOwner), Width(W), Height(H) {}
    TBarItemViewerClass GetItemViewerClass(TBarView* AView) override;
    void AddStyle(TBarItemStyleFlag Flag) { FItemStyle.Include(Flag); }
    int Width, Height;
};

class TFixedViewer : public TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;
    void MeasureSize(vcl::TCanvas*, int& AWidth, int& AHeight) override {
        auto* item = static_cast<TFixedItem*>(Item());
        AWidth = item->Width;
        AHeight = item->Height;
    }
};

inline TBarItemViewerClass TFixedItem::GetItemViewerClass(TBarView*) { return TBarItemViewerClass::Of<TFixedViewer>(); }

// A separator that can take extra style flags.
class TStyledSeparator : public TBarSeparatorItem {
public:
    using TBarSeparatorItem::TBarSeparatorItem;
    void AddStyle(TBarItemStyleFlag Flag) { FItemStyle.Include(Flag); }
};

struct Bar {
    std::unique_ptr<rtl::TComponent> owner = std::make_unique<rtl::TComponent>(nullptr);
    TBarRootItem* root = new TBarRootItem(owner.get());
    ~Bar() {
        while (!views.empty()) views.pop_back();  // a popup's view goes before the view that opened it
        owner.reset();
    }
    TFixedItem* Item(int W = 30, int H = 20, TBarCustomItem* parent = nullptr) {
        auto* i = new TFixedItem(owner.get(), W, H);
        (parent ? parent : root)->Add(i);
        return i;
    }
    TStyledSeparator* Separator(TBarCustomItem* parent = nullptr) {
        auto* s = new TStyledSeparator(owner.get());
        (parent ? parent : root)->Add(s);
        return s;
    }
    template <class T = TBarCustomItem> T* Plain(const char16_t* caption, TBarCustomItem* parent = nullptr) {
        auto* i = new T(owner.get());
        i->SetCaption(rtl::String::fromUtf16(caption));
        (parent ? parent : root)->Add(i);
        return i;
    }
    TBarView* Toolbar() { return Keep(new TBarView(nullptr, nullptr, root, nullptr, true, false, true)); }
    TBarView* Popup(TBarCustomItem* item = nullptr) {
        return Keep(new TBarView(nullptr, nullptr, item ? item : root, nullptr, false, false, false));
    }
    // A toolbar (without a parent window) whose items become this bar's root, so items added before or
    // after land on it; its view ends with the toolbar's chevron item. New items take the lowest
    // priority, so the chevron hides them from the end.
    TBarCustomToolbar* toolbar = nullptr;
    TBarView* ChevronToolbar() {
        toolbar = new TBarCustomToolbar(owner.get());
        toolbar->SetChevronPriorityForNewItems(tbcpLowest);
        while (root->Count() > 0) {
            TBarCustomItem* item = root->GetItem(0);
            root->Remove(item);
            toolbar->Items()->Add(item);
        }
        root = toolbar->Items();
        return toolbar->View();
    }
    TBarCustomItem* Chevron() const { return toolbar->ChevronItem(); }
    TBarView* Keep(TBarView* v) {
        views.emplace_back(v);
        return v;
    }
    std::vector<std::unique_ptr<TBarView>> views;
};

} // namespace bars_test
