// The registered skins and the skin manager: selecting skins, the change broadcast, the skin type.
#include "skins/SkSkins.h"

#include "tests/support/windows/HeadlessApp.h"
#include "vcl/Themes.h"

#include <gtest/gtest.h>

#include <QDir>

#include <memory>
#include <vector>

using namespace skins;

namespace {

// Counts the skin-changed messages it is handed; may run an action on each.
class Recorder : public rtl::TObject, public ISkSkinNotifiable {
public:
    void Dispatch(vcl::TMessage& Message) override {
        if (Message.Msg == WM_SKINCHANGED) ++Count;
        if (OnMessage) OnMessage();
    }
    int Count = 0;
    std::function<void()> OnMessage;
};

// A control takes the message through its own dispatch.
class SkinnedControl : public vcl::TControl {
public:
    using vcl::TControl::TControl;
    void Dispatch(vcl::TMessage& Message) override {
        if (Message.Msg == WM_SKINCHANGED) ++Count;
        vcl::TControl::Dispatch(Message);
    }
    int Count = 0;
};

class Tinted : public TSkSkinOptions {
public:
    void FillOptions() override {
        SetSkinName(QStringLiteral("Tinted"));
        Options(skncDock)->Body()->Fill(0, vcl::clRed, vcl::clNone, vcl::clNone, vcl::clNone);
    }
};

std::unique_ptr<rtl::TStringList> SkinText(const QString& Name, const QString& More = QString()) {
    auto l = std::make_unique<rtl::TStringList>();
    l->SetText(QStringLiteral("[Skin]\nName = %1\n[Toolbar]\nNormal.Body=1, clWhite, clGray\n").arg(Name) + More);
    return l;
}

class SkinManager : public ::testing::Test {
protected:
    void SetUp() override {
        manager.SkinsList()->AddSkin(QStringLiteral("Tinted"), TSkSkinOptions::ClassOf<Tinted>());
        manager.SkinsList()->AddSkin(SkinText(QStringLiteral("main")).get());
        manager.AddSkinNotification(&a);
        manager.AddSkinNotification(&b);
        manager.OnSkinChange = [this](rtl::TObject* Sender) {
            EXPECT_EQ(Sender, &manager);
            ++changes;
        };
    }
    void TearDown() override {
        TwSetThemeActive(FALSE);
        vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    }

    testing_support::HeadlessApp app;
    TSkSkinManager manager;
    Recorder a, b;
    int changes = 0;
};

} // namespace

TEST_F(SkinManager, TextSkinNotifiesTwiceAndClassSkinOnce) {
    manager.SetSkin(QStringLiteral("MAIN"));
    EXPECT_EQ(manager.CurrentSkinName(), QStringLiteral("main"));
    EXPECT_EQ(manager.CurrentSkin()->Options(skncToolbar)->Body()->Color2(), vcl::clGray);
    EXPECT_EQ(a.Count, 2);
    EXPECT_EQ(b.Count, 2);
    EXPECT_EQ(changes, 2);

    manager.SetSkin(QStringLiteral("tinted"));
    EXPECT_EQ(manager.CurrentSkinName(), QStringLiteral("Tinted"));
    EXPECT_EQ(manager.CurrentSkin()->Options(skncDock)->Body()->Color1(), vcl::clRed);   // FillOptions ran
    EXPECT_EQ(a.Count, 3);
    EXPECT_EQ(changes, 3);
}

TEST_F(SkinManager, SameNameUnknownNameAndDefaultAgainDoNothing) {
    manager.SetToDefaultSkin();
    manager.SetSkin(QStringLiteral("default"));
    manager.SetSkin(QStringLiteral("nowhere"));
    EXPECT_EQ(a.Count, 0);
    EXPECT_EQ(changes, 0);

    manager.SetSkin(QStringLiteral("Tinted"));
    TSkSkinOptions* tinted = manager.CurrentSkin();
    manager.SetSkin(QStringLiteral("TINTED"));
    manager.SetSkin(QStringLiteral("nowhere"));
    EXPECT_EQ(manager.CurrentSkin(), tinted);
    EXPECT_EQ(a.Count, 1);
}

TEST_F(SkinManager, DefaultInCapitalsReturnsToThePlainSkinAndTheSystemStyle) {
    const QString styles = qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/data/styles");
    auto* style = vcl::TStyleManager::LoadFromFile(QDir(styles).filePath(QStringLiteral("Carbon.vsf")));
    if (!style) style = vcl::TStyleManager::Style(QStringLiteral("Carbon"));
    ASSERT_NE(style, nullptr) << "the shipped style Carbon is missing under " << styles.toStdString();
    manager.SetSkin(QStringLiteral("Tinted"));
    vcl::TStyleManager::SetStyle(style);
    ASSERT_TRUE(vcl::TStyleManager::IsCustomStyleActive());
    a.Count = 0;

    manager.SetSkin(QStringLiteral("DEFAULT"));
    EXPECT_TRUE(manager.IsDefaultSkin());
    EXPECT_TRUE(manager.CurrentSkin()->Options(skncDock)->IsEmpty());
    EXPECT_FALSE(vcl::TStyleManager::IsCustomStyleActive());
    EXPECT_EQ(a.Count, 1);
    manager.SetSkin(QString());
    EXPECT_EQ(a.Count, 1);
}

TEST_F(SkinManager, SkinTypeFollowsSkinStyleAndTheme) {
    EXPECT_EQ(manager.GetSkinType(), sknNone);
    EXPECT_TRUE(manager.CurrentSkin()->OfficeStatusBar());   // the classic look has the office status bar
    TwSetThemeActive(TRUE);
    EXPECT_EQ(manager.GetSkinType(), sknWindows);
    EXPECT_FALSE(manager.CurrentSkin()->OfficeStatusBar());
    manager.SetSkin(QStringLiteral("main"));
    EXPECT_EQ(manager.GetSkinType(), sknSkin);
}

TEST_F(SkinManager, RegisteringTwiceNotifiesOnceAndRemovingTwiceIsHarmless) {
    manager.AddSkinNotification(&a);
    EXPECT_EQ(manager.NotificationCount(), 2);
    manager.BroadcastSkinNotification();
    EXPECT_EQ(a.Count, 1);
    manager.RemoveSkinNotification(&a);
    manager.RemoveSkinNotification(&a);
    manager.BroadcastSkinNotification();
    EXPECT_EQ(a.Count, 1);
    EXPECT_EQ(b.Count, 2);
    EXPECT_EQ(changes, 2);
}

TEST_F(SkinManager, ControlsTakeTheMessageThroughTheirDispatch) {
    SkinnedControl control(nullptr);
    manager.AddSkinNotification(&control);
    manager.SetSkin(QStringLiteral("Tinted"));
    EXPECT_EQ(control.Count, 1);
    manager.RemoveSkinNotification(&control);
}

TEST_F(SkinManager, HandlerThatUnregistersOthersEndsTheBroadcastSafely) {
    Recorder c;
    manager.AddSkinNotification(&c);
    a.OnMessage = [&] {
        manager.RemoveSkinNotification(&b);
        manager.RemoveSkinNotification(&c);
    };
    manager.BroadcastSkinNotification();
    EXPECT_EQ(a.Count, 1);
    EXPECT_EQ(b.Count + c.Count, 0);
    EXPECT_EQ(changes, 1);
}

TEST_F(SkinManager, BadTextSkinLeavesTheCurrentSkinWholeAndUnannounced) {
    manager.SkinsList()->AddSkin(SkinText(QStringLiteral("broken"), QStringLiteral("[Dock]\nNormal.TextColor=nope\n")).get());
    manager.SetSkin(QStringLiteral("Tinted"));
    TSkSkinOptions* before = manager.CurrentSkin();
    a.Count = 0;
    EXPECT_THROW(manager.SetSkin(QStringLiteral("broken")), rtl::EConvertError);
    EXPECT_EQ(manager.CurrentSkin(), before);
    EXPECT_EQ(manager.CurrentSkinName(), QStringLiteral("Tinted"));
    EXPECT_EQ(a.Count, 0);
}

TEST(SkinsList, TakesTheNameFromEitherNameLineAndRefusesDuplicatesAndNameless) {
    TSkSkinsList list;
    auto spaced = std::make_unique<rtl::TStringList>();
    spaced->SetText(QStringLiteral("[Skin]\nName = Auric  \n"));
    auto tight = std::make_unique<rtl::TStringList>();
    tight->SetText(QStringLiteral("[Skin]\nName=Carbon\n"));
    auto nameless = std::make_unique<rtl::TStringList>();
    nameless->SetText(QStringLiteral("[Skin]\nAuthor=me\n"));
    auto again = std::make_unique<rtl::TStringList>();
    again->SetText(QStringLiteral("[Skin]\nName=auric\n"));

    EXPECT_EQ(list.AddSkin(spaced.get()), 0);
    EXPECT_EQ(list.AddSkin(tight.get()), 1);
    EXPECT_EQ(list.AddSkin(nameless.get()), -1);
    EXPECT_EQ(list.AddSkin(again.get()), -1);
    EXPECT_EQ(list.AddSkin(QStringLiteral("CARBON"), TSkSkinOptions::ClassOf<Tinted>()), -1);
    EXPECT_EQ(list.AddSkin(QString(), TSkSkinOptions::ClassOf<Tinted>()), -1);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], QStringLiteral("Auric"));
    // The entry holds its own copy of the lines.
    spaced->Clear();
    EXPECT_EQ(list.GetSkinOption(0)->SkinStrings->Count(), 2);
    EXPECT_EQ(list.GetSkinOption(0)->SkinClass, nullptr);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
}

TEST(SkinManagerGlobal, LoadingIntoTheCurrentSkinBroadcastsAndIntoAnotherDoesNot) {
    testing_support::HeadlessApp app;
    Recorder r;
    GetSkinManager()->AddSkinNotification(&r);
    auto text = SkinText(QStringLiteral("Default"));
    TSkSkinOptions other;
    other.LoadFromStrings(text.get());
    EXPECT_EQ(r.Count, 0);
    GetCurrentSkin()->LoadFromStrings(text.get());
    EXPECT_EQ(r.Count, 1);
    GetSkinManager()->RemoveSkinNotification(&r);
    EXPECT_EQ(GetSkinManager(), GetSkinManager());
}
