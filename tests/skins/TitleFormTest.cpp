// tests/skins/TitleFormTest.cpp: a form framed by a skinned title bar that holds a status bar, as a
// person sees and uses it. Its pictures in the default look and two built-in skins (caption text and the
// status bar's grip probed first, so a wrong picture cannot become the expected one); on a real X server
// (Xvfb) a real pointer (xdotool) drags the empty caption, double-clicks it and drags the grip.
#include "skins/SkDefaultSkins.h"
#include "skins/SkStatusBar.h"
#include "skins/SkTitleBar.h"

#include "tests/skins/SkinPicture.h"
#include "tests/support/windows/FormHarness.h"
#include "tests/support/windows/ScreenPicture.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace skins;

namespace {

class TLoadableTitleBar : public TSkTitleBar {
public:
    using TSkTitleBar::Loaded;
    using TSkTitleBar::TSkTitleBar;
};

class TTitleForm : public vcl::TForm {
public:
    explicit TTitleForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetPosition(vcl::poDesigned);
        SetBounds(40, 40, 340, 190);
        SetColor(vcl::clBtnFace);
        Title = new TLoadableTitleBar(this);
        Title->SetCaption(QStringLiteral("Sound converter"));
        Title->SetParent(this);
        // Inside the title bar: its frame is the one the grip sizes.
        Status = new TSkStatusBar(this);
        for (const char16_t* caption : {u"Ready", u"12 files"}) {
            auto* item = new TSkItem(this);
            item->SetCaption(rtl::String::fromUtf16(caption));
            Status->Items()->Add(item);
        }
        Status->SetParent(Title);
    }
    // Takes the frame over, as loading the form from its description would.
    void Frame() { Title->Loaded(); }
    TLoadableTitleBar* Title;
    TSkStatusBar* Status;
};

struct TitleShot {
    testing_support::FormHarness h;
    TTitleForm* form = nullptr;
    TitleShot() {
        form = h.Show<TTitleForm>();
        form->Frame();
        h.Pump();
        TwInputActivate(form->Handle());
        h.Pump();
    }
    // The caption spacer's rectangle in the form's coordinates.
    vcl::TRect Caption() {
        TSkToolbar* bar = form->Title->Toolbar();
        vcl::TRect r = bar->View()->Find(form->Title->Options()->RightAlignSpacer())->BoundsRect();
        POINT p{r.Left, r.Top};
        ClientToScreen(bar->Handle(), &p);
        ScreenToClient(form->Handle(), &p);
        r.Offset(p.x - r.Left, p.y - r.Top);
        return r;
    }
    QImage Take() { return h.App().Grab(form->Handle()).convertToFormat(QImage::Format_RGB32); }
};

int PixelsOf(const QImage& Image, const vcl::TRect& R, QRgb Colour) {
    int n = 0;
    for (int y = std::max(R.Top, 0); y < std::min(R.Bottom, Image.height()); ++y)
        for (int x = std::max(R.Left, 0); x < std::min(R.Right, Image.width()); ++x) n += Image.pixel(x, y) == Colour;
    return n;
}

struct SkinScreenshotTitleForm : ::testing::Test {
    void TearDown() override {
        GetSkinManager()->SetToDefaultSkin();
        SeedBrushedMetal(0);
    }
};

} // namespace

TEST_F(SkinScreenshotTitleForm, ActiveTitleBarAndStatusBarInTheDefaultLookAndTwoSkins) {
    SeedBrushedMetal(20261211);
    for (const QString& name : {QStringLiteral("Default"), QStringLiteral("Office 2007 Blue"), QStringLiteral("Aluminum")}) {
        SCOPED_TRACE(name.toStdString());
        GetSkinManager()->SetSkin(name);
        TitleShot s;
        ASSERT_EQ(s.form->BorderStyle(), vcl::bsNone);
        EXPECT_FALSE(s.form->Status->StatusToolbar()->GetGripRect().IsEmpty()) << "the title bar's frame sizes the form";
        const QImage shot = s.Take();
        // The caption is written in the title bar's text colour.
        const vcl::TColor text = s.form->Title->Toolbar()->GetItemsTextColor(sknsNormal);
        ASSERT_NE(text, vcl::clNone);
        EXPECT_GT(PixelsOf(shot, s.Caption(), skins_test::SheetRgb(text)), 20) << "no caption text";
        skins_test::CompareSheet(shot, QStringLiteral("title-form"), name.toLower().replace(u' ', u'-'));
    }
}

namespace {

// The centre of a rectangle of Control's client area, on the screen.
QStringList At(vcl::TWinControl* Control, const vcl::TRect& R, int Dx = 0, int Dy = 0) {
    POINT p{(R.Left + R.Right) / 2 + Dx, (R.Top + R.Bottom) / 2 + Dy};
    ClientToScreen(Control->Handle(), &p);
    return {QString::number(p.x), QString::number(p.y)};
}

// Pumps until Done holds, at most five seconds (the X server's events may trail xdotool's exit).
void Until(testing_support::FormHarness& H, const std::function<bool()>& Done) {
    for (QElapsedTimer t; !t.isValid() || (!Done() && t.elapsed() < 5000);) {
        if (!t.isValid()) t.start();
        H.Pump();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// Counts the form's maximizings, in the plain Windows manner (the title bar holds the form's own hook).
int gMaximized = 0;
WNDPROC gFormSaved = nullptr;
LRESULT CALLBACK CountMaximized(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_SIZE && WParam == SIZE_MAXIMIZED) ++gMaximized;
    return CallWindowProcW(gFormSaved, Wnd, Msg, WParam, LParam);
}

QStringList Drag(const QStringList& From, const QStringList& To) {
    const QString pause = QStringLiteral("0.15");
    return QStringList{QStringLiteral("mousemove")} + From +
           QStringList{QStringLiteral("sleep"), pause, QStringLiteral("mousedown"), QStringLiteral("1"),
                       QStringLiteral("sleep"), pause, QStringLiteral("mousemove")} +
           To + QStringList{QStringLiteral("sleep"), pause, QStringLiteral("mouseup"), QStringLiteral("1")};
}

} // namespace

TEST(TitleBarXdotool, CaptionDragMovesTheFormDoubleClickMaximizesOnlyWithMaximizeOnAndTheGripSizesIt) {
    if (!testing_support::OnXServer()) GTEST_SKIP() << "needs a real X server (the Xvfb run)";
    TitleShot s;
    TwUseRealClock();   // the move and size loops wait for the real pointer
    TTitleForm* form = s.form;
    TSkToolbar* caption = form->Title->Toolbar();
    const vcl::TRect spacer = caption->View()->Find(form->Title->Options()->RightAlignSpacer())->BoundsRect();

    const int left = form->Left(), top = form->Top(), width = form->Width(), height = form->Height();
    if (!testing_support::Xdotool(s.h, Drag(At(caption, spacer), At(caption, spacer, 60, 45))))
        GTEST_SKIP() << "xdotool is missing";
    Until(s.h, [&] { return form->Left() == left + 60 && form->Top() == top + 45; });
    EXPECT_EQ(form->Left(), left + 60);
    EXPECT_EQ(form->Top(), top + 45);
    EXPECT_EQ(form->Width(), width);

    TSkStatusToolbar* status = form->Status->StatusToolbar();
    const vcl::TRect grip = status->GetGripRect();
    ASSERT_FALSE(grip.IsEmpty());
    testing_support::Xdotool(s.h, Drag(At(form->Status->Dock(), grip), At(form->Status->Dock(), grip, 50, 30)));
    Until(s.h, [&] { return form->Width() == width + 50 && form->Height() == height + 30; });
    EXPECT_EQ(form->Width(), width + 50);
    EXPECT_EQ(form->Height(), height + 30);
    EXPECT_EQ(form->Left(), left + 60);
    testing_support::ComparePicture(s.h, form, "tests/skins/expected", "title-form-moved-and-sized");

    const QStringList twice = QStringList{QStringLiteral("mousemove")} + At(caption, spacer) +
                              QStringList{QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                                          QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")};
    // The form is maximized as the double click arrives; the window-manager-less X server then puts its
    // window back, so the maximizing is read from the size messages.
    gMaximized = 0;
    gFormSaved = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(form->Handle(), GWLP_WNDPROC, LONG_PTR(&CountMaximized)));
    form->Title->Options()->SetMaximize(false);
    testing_support::Xdotool(s.h, twice);
    EXPECT_EQ(gMaximized, 0);
    EXPECT_EQ(form->Left(), left + 60) << "a click without a drag leaves the form where it is";
    form->Title->Options()->SetMaximize(true);
    testing_support::Xdotool(s.h, twice);
    Until(s.h, [] { return gMaximized > 0; });
    EXPECT_EQ(gMaximized, 1);
    SetWindowLongPtrW(form->Handle(), GWLP_WNDPROC, LONG_PTR(gFormSaved));
}
