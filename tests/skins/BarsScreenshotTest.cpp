// tests/skins/BarsScreenshotTest.cpp: a skinned dock as the main window carries it, on a real X server:
// the menu bar with its right-align spacer (Help at the right edge) and a toolbar with hot, checked,
// disabled and split items, in the default look and each built-in skin, compared with the expected
// pictures. Pixel probes from each skin's entries keep a wrong picture from becoming the expected one.
// Run with TW_UPDATE_EXPECTED=1 to write the pictures again.
#include "skins/SkBars.h"
#include "skins/SkDefaultSkins.h"
#include "skins/SkPopup.h"

#include "tests/skins/RecordingSkin.h"
#include "tests/skins/SkinPicture.h"
#include "tests/support/windows/FormHarness.h"
#include "tests/support/windows/ScreenPicture.h"
#include "toolbars/BarPopup.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <algorithm>
#include <functional>
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
        Tools->SetChevronPriorityForNewItems(bars::tbcpLowest);   // the items added last go first
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
        // More than the dock holds: the last ones go behind the chevron.
        for (const char16_t* caption : {u"Convert", u"Play", u"Pause", u"Stop", u"Record"}) Last = Add(caption);
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
    TSkItem *Hot, *Checked, *Disabled, *Last = nullptr;
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
        // The toolbar keeps to the dock and its last item waits behind the chevron.
        EXPECT_LE(s.form->Tools->Left() + s.form->Tools->Width(), s.form->Dock->Width());
        EXPECT_FALSE(s.form->Tools->View()->Find(s.form->Last)->Show());
        EXPECT_TRUE(s.form->Tools->View()->Find(s.form->Hot)->Show());
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

namespace {

// Fills a menu: an item with a shortcut, a checked and a radio item, a separator and a disabled item.
void FillMenu(rtl::TComponent* Owner, bars::TBarCustomItem* Menu) {
    auto add = [&](const char16_t* Caption) {
        auto* item = new TSkItem(Owner);
        item->SetCaption(rtl::String::fromUtf16(Caption));
        Menu->Add(item);
        return item;
    };
    add(u"&Open")->SetShortCut(vcl::ShortCut('O', vcl::TShiftState{vcl::ssCtrl}));
    add(u"&Checked")->SetChecked(true);
    TSkItem* radio = add(u"&Radio");
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    Menu->Add(new TSkSeparatorItem(Owner));
    add(u"&Disabled")->SetEnabled(false);
}

bars::TBarPopupWindow* OpenPopup() {
    for (bars::TBarPopupWindow* w : bars::PopupWindows())
        if (IsWindowVisible(w->Handle())) return w;
    return nullptr;
}

// A menu opened by a real click (xdotool with Args), taken from the screen inside its loop from the
// form's top left corner to past the menu, then closed. It looks every 50 ms and takes the picture once
// the menu has painted itself and the screen shows it so (its loop then reads the keys too); it closes the
// loop also when that does not happen within five seconds. Popup is the menu's rectangle in the form's
// coordinates; the picture is null when no menu came.
struct TRealMenu {
    QImage Shot;
    vcl::TRect Popup;

    bool Open(testing_support::FormHarness& H, vcl::TForm* Form, const QStringList& Args) {
        QObject timers;   // they go with the call
        int looks = 0;
        auto close = [] {
            for (int i = 0; i < 2; ++i) {
                TwInputKey(VK_ESCAPE, TRUE, FALSE, nullptr, FALSE);
                TwInputKey(VK_ESCAPE, FALSE, FALSE, nullptr, FALSE);
            }
        };
        auto screen = [](const RECT& R) {
            return QGuiApplication::primaryScreen()
                ->grabWindow(0, R.left, R.top, R.right - R.left, R.bottom - R.top)
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        std::function<void()> look = [&] {
            bars::TBarPopupWindow* w = OpenPopup();
            RECT r{};
            if (w) {
                TwFlushPainting();
                GetWindowRect(w->Handle(), &r);
            }
            // Painted: more than one colour in the menu's own picture, and the same on the screen.
            const QImage painted = w ? H.App().Grab(w->Handle()).convertToFormat(QImage::Format_RGB32) : QImage();
            const bool drawn = !painted.isNull() && painted.pixel(0, 0) != painted.pixel(painted.width() / 2, painted.height() / 2);
            if (!drawn || screen(r) != painted) {
                if (++looks < 100)
                    QTimer::singleShot(50, &timers, look);
                else
                    close();
                return;
            }
            POINT origin{0, 0};
            ClientToScreen(Form->Handle(), &origin);
            Popup = vcl::TRect(r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y);
            Shot = screen(RECT{origin.x, origin.y, origin.x + std::max(Form->Width(), Popup.Right + 4),
                               origin.y + Popup.Bottom + 4});
            close();
        };
        QTimer::singleShot(50, &timers, look);
        if (!testing_support::Xdotool(H, Args)) return false;
        for (QElapsedTimer t; !t.isValid() || (Shot.isNull() && looks < 100 && t.elapsed() < 8000);) {
            if (!t.isValid()) t.start();
            H.Pump();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }
};

QStringList ClickAt(vcl::TWinControl* Control, POINT P, int Button) {
    ClientToScreen(Control->Handle(), &P);
    return {QStringLiteral("mousemove"), QString::number(P.x), QString::number(P.y), QStringLiteral("click"),
            QString::number(Button)};
}

} // namespace

TEST_F(SkinScreenshotBars, MenuBarSubmenuContextMenuAndChevronListOpenedByRealClicks) {
    if (!testing_support::OnXServer()) GTEST_SKIP() << "needs a real X server (the Xvfb run)";
    SeedBrushedMetal(20261211);
    // No skin the program carries fills the open item's entry: Luna's text with one, under its own name.
    const QString open = skins_test::AddSkinText(QStringLiteral("luna.skin"), [](rtl::TStringList& Lines) {
        for (int i = 0; i < Lines.Count(); ++i) {
            if (Lines.Strings(i) == QStringLiteral("Name=Luna")) Lines.SetStrings(i, QStringLiteral("Name=Luna Open"));
            if (Lines.Strings(i) != QStringLiteral("[OpenToolbarItem]")) continue;
            Lines.SetStrings(i + 1, QStringLiteral("Normal.Body=0, $00F5E6D8, clNone, clNone, clNone"));
            Lines.SetStrings(i + 2, QStringLiteral("Normal.Borders=0, $00828C8E, $00828C8E, clNone, clNone"));
        }
    });
    ASSERT_EQ(open, QStringLiteral("Luna Open"));
    for (const QString& name : {QStringLiteral("Default"), QStringLiteral("Office 2007 Blue"), open}) {
        SCOPED_TRACE(name.toStdString());
        GetSkinManager()->SetSkin(name);
        BarsShot s;
        FillMenu(s.form, s.form->MenuBar->Items()->GetItem(0));
        auto* context = new TSkPopupMenu(s.form);
        FillMenu(s.form, context->Items());
        s.form->SetPopupMenu(context);
        TwUseRealClock();   // the menu loops wait for the real pointer
        const QString file = name.toLower().replace(u' ', u'-');

        const vcl::TRect item = s.InForm(s.form->MenuBar, s.form->MenuBar->Items()->GetItem(0));
        TRealMenu sub;
        if (!sub.Open(s.h, s.form, ClickAt(s.form, item.CenterPoint(), 1))) GTEST_SKIP() << "xdotool is missing";
        ASSERT_FALSE(sub.Shot.isNull()) << "the menu did not open";
        ASSERT_EQ(sub.Popup.Top, item.Bottom) << "the menu opens under its item";
        if (GetSkinManager()->GetSkinType() == sknSkin) {
            // With an entry for the open item, the menu's top border leaves a gap under it; else it is closed.
            const vcl::TColor border = GetCurrentSkin()->Options(skncPopup, sknsNormal)->Borders()->Color1();
            const QRgb under = sub.Shot.pixel((item.Left + item.Right) / 2, sub.Popup.Top);
            if (!GetCurrentSkin()->Options(skncOpenToolbarItem)->IsEmpty())
                EXPECT_NE(under, skins_test::SheetRgb(border));
            else
                EXPECT_EQ(under, skins_test::SheetRgb(border));
        }
        skins_test::CompareSheet(sub.Shot, QStringLiteral("bars-submenu"), file);

        // A right click below the bars opens the form's menu at the pointer.
        const POINT below{200, s.form->ClientHeight() - 8};
        TRealMenu menu;
        menu.Open(s.h, s.form, ClickAt(s.form, below, 3));
        ASSERT_FALSE(menu.Shot.isNull()) << "the context menu did not open";
        EXPECT_EQ(menu.Popup.TopLeft(), vcl::TPoint(below.x, below.y));
        skins_test::CompareSheet(menu.Shot, QStringLiteral("bars-context"), file);

        // A click on the chevron lists the items that wait behind it, under the chevron.
        const vcl::TRect chevron = s.InForm(s.form->Tools, s.form->Tools->ChevronItem());
        TRealMenu more;
        more.Open(s.h, s.form, ClickAt(s.form, chevron.CenterPoint(), 1));
        ASSERT_FALSE(more.Shot.isNull()) << "the chevron's list did not open";
        EXPECT_EQ(more.Popup.Top, chevron.Bottom);
        skins_test::CompareSheet(more.Shot, QStringLiteral("bars-chevron"), file);
    }
}
