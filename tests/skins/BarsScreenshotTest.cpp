// tests/skins/BarsScreenshotTest.cpp: a skinned dock as the main window carries it, on a real X server:
// the menu bar with its right-align spacer (Help at the right edge) and a toolbar with hot, checked,
// disabled and split items, in the default look and each built-in skin, compared with the expected
// pictures. Pixel probes from each skin's entries keep a wrong picture from becoming the expected one.
// Run with TW_UPDATE_EXPECTED=1 to write the pictures again.
#include "skins/SkBars.h"
#include "skins/SkDefaultSkins.h"

#include "tests/skins/RecordingSkin.h"
#include "tests/skins/SkinPicture.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <vector>

using namespace skins;

namespace {

class TBarsShotForm : public vcl::TForm {
public:
    explicit TBarsShotForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBorderStyle(vcl::bsNone);
        SetPosition(vcl::poDesigned);
        SetBounds(0, 0, 360, 80);
        SetColor(vcl::clBtnFace);
        Dock = new TSkDock(this);
        Dock->SetAllowDrag(false);
        Dock->SetParent(this);
        MenuBar = new TSkToolbar(this);
        MenuBar->SetName(QStringLiteral("MenuBar"));
        MenuBar->SetMenuBar(true);
        MenuBar->SetStretch(true);
        MenuBar->SetShrinkMode(bars::tbsmNone);
        for (const char16_t* caption : {u"&File", u"&Edit", u"", u"&Help"}) {
            TSkCustomItem* item = *caption ? static_cast<TSkCustomItem*>(new TSkSubmenuItem(this))
                                           : new TSkRightAlignSpacerItem(this);
            item->SetCaption(rtl::String::fromUtf16(caption));
            MenuBar->Items()->Add(item);
            if (!*caption) Spacer = item;
            Help = item;
        }
        MenuBar->SetParent(Dock);
        Tools = new TSkToolbar(this);
        Tools->SetName(QStringLiteral("Tools"));
        Hot = Add(u"Hot");
        Checked = Add(u"Checked");
        Checked->SetChecked(true);
        Disabled = Add(u"Disabled");
        Disabled->SetEnabled(false);
        auto* split = new TSkSubmenuItem(this);
        split->SetCaption(QStringLiteral("Split"));
        split->SetDropdownCombo(true);
        Add(u"Inside", split);
        Tools->Items()->Add(split);
        Tools->SetParent(Dock);
        Tools->SetDockRow(1);
    }
    TSkItem* Add(const char16_t* Caption, bars::TBarCustomItem* Parent = nullptr) {
        auto* item = new TSkItem(this);
        item->SetCaption(rtl::String::fromUtf16(Caption));
        (Parent ? Parent : Tools->Items())->Add(item);
        return item;
    }
    TSkDock* Dock;
    TSkToolbar *MenuBar, *Tools;
    TSkCustomItem *Spacer = nullptr, *Help = nullptr;
    TSkItem *Hot, *Checked, *Disabled;
};

struct BarsShot {
    testing_support::FormHarness h;
    TBarsShotForm* form = h.Show<TBarsShotForm>();
    QImage Take() {
        const vcl::TRect hot = form->Tools->View()->Find(form->Hot)->BoundsRect();
        h.MoveTo(form->Tools, hot.CenterPoint());
        h.Pump();
        return h.App().Grab(form->Handle()).convertToFormat(QImage::Format_RGB32);
    }
    // The rectangle of an item in the form's coordinates.
    vcl::TRect InForm(TSkToolbar* Bar, bars::TBarCustomItem* Item) {
        vcl::TRect r = Bar->View()->Find(Item)->BoundsRect();
        POINT p{r.Left, r.Top};
        ClientToScreen(Bar->Handle(), &p);
        ScreenToClient(form->Handle(), &p);
        r.Offset(p.x - r.Left, p.y - r.Top);
        return r;
    }
};

struct SkinScreenshotBars : ::testing::Test {
    void TearDown() override {
        GetSkinManager()->SetToDefaultSkin();
        SeedBrushedMetal(0);
    }
};

} // namespace

TEST_F(SkinScreenshotBars, MenuBarAndToolbarInTheDefaultLookAndEachBuiltInSkin) {
    SeedBrushedMetal(20261211);
    std::vector<QString> names{QStringLiteral("Default")};
    const auto* list = GetSkinManager()->SkinsList();
    for (int i = 0; i < list->Count(); ++i)
        if (list->GetSkinOption(i)->SkinClass && list->Strings(i) != QString::fromUtf16(skins_test::TRecordingSkin::Name))
            names.push_back(list->Strings(i));
    ASSERT_EQ(names.size(), 13u);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        GetSkinManager()->SetSkin(name);
        BarsShot s;
        const QImage shot = s.Take();
        // Help ends at the menu bar's right edge less its border.
        const vcl::TRect help = s.InForm(s.form->MenuBar, s.form->Help);
        EXPECT_EQ(help.Right, s.form->Dock->Width() - s.form->MenuBar->NonClientWidth() / 2);
        if (GetSkinManager()->GetSkinType() == sknSkin) {
            TSkSkinOptions* skin = GetCurrentSkin();
            auto probe = [&](bars::TBarCustomItem* Item, TSkSkinStatesType State, const char* what) {
                const vcl::TColor border = skin->Options(skncToolbarItem, State)->Borders()->Color1();
                if (border == vcl::clNone) return;
                const vcl::TRect r = s.InForm(s.form->Tools, Item);
                EXPECT_EQ(shot.pixel(r.Left, (r.Top + r.Bottom) / 2), skins_test::SheetRgb(border)) << what;
            };
            probe(s.form->Hot, sknsHotTrack, "hot");
            probe(s.form->Checked, sknsChecked, "checked");
        }
        skins_test::CompareSheet(shot, QStringLiteral("bars"), name.toLower().replace(u' ', u'-'));
    }
}
