// tests/skins/SkItemFixture.h: skinned items in plain bar views (toolbar, menu bar, popup) whose
// selection, open item, mouse and capture a test sets directly, a canvas to paint them on, an image list
// with one picture, and switching between the skin types.
#pragma once
#include "skins/SkItem.h"
#include "skins/SkSkinsPaint.h"

#include "tests/skins/RecordingSkin.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Themes.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Sizes compare by their sides in expectations.
inline bool operator==(const SIZE& A, const SIZE& B) { return A.cx == B.cx && A.cy == B.cy; }
inline std::ostream& operator<<(std::ostream& os, const SIZE& S) { return os << S.cx << 'x' << S.cy; }

namespace skins_test {

using namespace skins;
using bars::TBarCustomItem;
using bars::TBarItemViewer;
using bars::TBarView;

class TTestView : public TBarView {
public:
    TTestView(TBarCustomItem* ARoot, bool AIsToolbar)
        : TBarView(nullptr, nullptr, ARoot, nullptr, AIsToolbar, false, false) {}
    ~TTestView() override { Set(nullptr, nullptr, false, false); }
    void Set(TBarItemViewer* Selected, TBarItemViewer* Open, bool MouseOver, bool Capture) {
        FSelected = Selected;
        FOpenViewer = Open;
        FMouseOverSelected = MouseOver;
        FCapture = Capture;
    }
};

struct ItemFixture : ::testing::Test {
    testing_support::FormHarness harness;   // the application and its windows
    std::unique_ptr<rtl::TComponent> owner = std::make_unique<rtl::TComponent>(nullptr);
    TSkRootItem* root = new TSkRootItem(owner.get());
    std::vector<std::unique_ptr<TTestView>> views;
    std::unique_ptr<vcl::TBitmap> bitmap;
    vcl::TImageList* images = nullptr;

    void SetUp() override {
        bitmap = std::make_unique<vcl::TBitmap>();
        bitmap->SetPixelFormat(vcl::pf32bit);
        bitmap->SetSize(300, 120);
        Clear();
        images = new vcl::TImageList(owner.get());
        images->SetSize(16, 16);
        vcl::TBitmap picture;
        picture.SetPixelFormat(vcl::pf24bit);
        picture.SetSize(16, 16);
        picture.Canvas()->Brush()->SetColor(0x00336699);
        picture.Canvas()->FillRect(vcl::TRect(0, 0, 16, 16));
        images->Add(&picture, nullptr);
    }
    void TearDown() override {
        views.clear();
        owner.reset();
        Use(sknNone);
    }
    void Clear(TColor Color = vcl::clWhite) {
        Canvas()->Brush()->SetStyle(vcl::bsSolid);
        Canvas()->Brush()->SetColor(Color);
        Canvas()->FillRect(vcl::TRect(0, 0, bitmap->Width(), bitmap->Height()));
    }
    vcl::TCanvas* Canvas() { return bitmap->Canvas(); }
    TColor At(int X, int Y) { return vcl::ColorToRGB(Canvas()->Pixels(X, Y)); }

    template <class T = TSkItem> T* Add(const char16_t* Caption, TBarCustomItem* Parent = nullptr) {
        auto* item = new T(owner.get());
        item->SetCaption(rtl::String::fromUtf16(Caption));
        (Parent ? Parent : static_cast<TBarCustomItem*>(root))->Add(item);
        return item;
    }
    TTestView* View(bool Toolbar, bool MenuBar = false) {
        views.push_back(std::make_unique<TTestView>(root, Toolbar));
        if (MenuBar) views.back()->Style.Include(bars::vsMenuBar);
        return views.back().get();
    }
    static TSkItemViewer* Viewer(TBarView* V, TBarCustomItem* Item) { return static_cast<TSkItemViewer*>(V->Find(Item)); }

    static void Use(TSkSkinType Type) {
        auto* manager = GetSkinManager();
        manager->SetToDefaultSkin();
        TwSetThemeActive(Type == sknWindows);
        if (Type == sknSkin) TRecordingSkin::Use();
        ASSERT_EQ(manager->GetSkinType(), Type);
        TRecordingSkin::Log().clear();
    }
};

} // namespace skins_test
