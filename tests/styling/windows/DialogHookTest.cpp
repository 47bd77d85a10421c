// tests/styling/windows/DialogHookTest.cpp: dialogs ("#32770") with caption, caption buttons and frame
// drawn by the style: which buttons exist, hit testing, the caption-button press inside the window's
// own loop, the region, the text, the client painting, and the first show.
#include "tests/styling/windows/StyleHookFixture.h"

#include "styling/hooks/DialogHook.h"
#include "styling/hooks/ScrollingHooks.h"
#include "styling/hooks/StdCtrlHooks.h"
#include "tests/styling/windows/ScreenShots.h"
#include "win/comdlg32/commdlg.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <array>
#include <cstring>

using namespace styling;
using namespace styletest;
using namespace vcl;

namespace {

class DialogHook : public TSysDialogStyleHook {
public:
    explicit DialogHook(HWND AHandle) : TSysDialogStyleHook(AHandle) {}
    void Paint(TCanvas* Canvas) override {
        ++Paints;
        TSysDialogStyleHook::Paint(Canvas);
    }
    void PaintNC(TCanvas* Canvas) override {
        ++NCPaints;
        TSysDialogStyleHook::PaintNC(Canvas);
    }
    int Paints = 0;
    int NCPaints = 0;
};

struct DialogLog {
    std::vector<WPARAM> Commands;  // WM_SYSCOMMAND the dialog's own procedure got
    int Destroys = 0;
};
DialogLog& Log() {
    static DialogLog log;
    return log;
}

INT_PTR CALLBACK DialogProc(HWND, UINT Msg, WPARAM WParam, LPARAM) {
    if (Msg == WM_SYSCOMMAND) Log().Commands.push_back(WParam & 0xFFF0);
    if (Msg == WM_DESTROY) ++Log().Destroys;
    return FALSE;
}

// An in-memory dialog template: the header, then items of predefined classes (0x81 Edit, 0x82 Static).
struct Item {
    WORD Class;
    WORD Id;
    DWORD Style;
};
std::vector<WORD> Template(DWORD Style, DWORD ExStyle, const char16_t* Title, const std::vector<Item>& Items) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / 2, 0);
    DLGTEMPLATE head{};
    head.style = Style;
    head.dwExtendedStyle = ExStyle;
    head.cdit = WORD(Items.size());
    head.cx = 200;
    head.cy = 100;
    std::memcpy(t.data(), &head, sizeof head);
    t.push_back(0);
    t.push_back(0);
    for (const char16_t* c = Title; *c; ++c) t.push_back(WORD(*c));
    t.push_back(0);
    for (const Item& i : Items) {
        if (t.size() % 2) t.push_back(0);
        DLGITEMTEMPLATE it{};
        it.style = WS_CHILD | WS_VISIBLE | i.Style;
        it.x = 10;
        it.y = 10;
        it.cx = 60;
        it.cy = 12;
        it.id = i.Id;
        const size_t at = t.size();
        t.resize(at + sizeof(it) / 2);
        std::memcpy(t.data() + at, &it, sizeof it);
        t.push_back(0xFFFF);
        t.push_back(i.Class);
        t.push_back(0);
        t.push_back(0);
    }
    return t;
}

class DialogHookTest : public StyleHookTest {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        Log() = DialogLog{};
        TStyleFileData data = Style->Data();
        TStyleElementEntry caption;
        caption.Element = teWindow;
        caption.Part = 1;
        caption.Look.Fill = TColor(0x603020);
        caption.Look.Text = TColor(0x00FF00);  // green text
        data.Elements.push_back(caption);
        Style = std::make_unique<TCustomStyle>(data);
        TStyleManager::SetStyle(Style.get());
        TSysStyleManager::RegisterSysStyleHook(QStringLiteral("#32770"), &CreateHook<DialogHook>);
    }
    void TearDown() override {
        TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("#32770"));
        StyleHookTest::TearDown();
    }
    HWND Dialog(DWORD Style, DWORD ExStyle = 0, const std::vector<Item>& Items = {}, HWND Parent = nullptr) {
        const std::vector<WORD> t = Template(Style, ExStyle, u"Styled", Items);
        const HWND d = CreateDialogIndirectParamW(nullptr, reinterpret_cast<const DLGTEMPLATE*>(t.data()), Parent,
                                                  &DialogProc, 0);
        return d;
    }
    DialogHook* Hook(HWND W) {
        auto& hooked = TSysStyleManager::HookedWindows();
        auto it = hooked.find(W);
        return it == hooked.end() ? nullptr : dynamic_cast<DialogHook*>(it->second.get());
    }
    POINT Screen(HWND W, const TRect& WindowRelative) {
        RECT r{};
        GetWindowRect(W, &r);
        return POINT{r.left + (WindowRelative.Left + WindowRelative.Right) / 2,
                     r.top + (WindowRelative.Top + WindowRelative.Bottom) / 2};
    }
    // A press on the screen point, a move to Release and the release, run inside the window's own loop.
    void PressAndRelease(POINT Press, POINT Release) {
        int step = 0;
        App.OnIdle([&] {
            if (step == 0) TwInputMouseMove(Release.x, Release.y);
            else if (step == 1) TwInputMouseButton(Release.x, Release.y, TW_BUTTON_LEFT, FALSE);
            else TwAdvanceClock(100);
            ++step;
        });
        TwInputMouseMove(Press.x, Press.y);
        TwInputMouseButton(Press.x, Press.y, TW_BUTTON_LEFT, TRUE);
        App.PumpUntilIdle();
        App.OnIdle(nullptr);
    }
};

constexpr DWORD Captioned = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

TEST_F(DialogHookTest, DialogsAreFramedByTheStyleAndShownWithoutTheDesktopsDecorations) {
    const HWND d = Dialog(Captioned | WS_VISIBLE);
    DialogHook* hook = Hook(d);
    ASSERT_NE(hook, nullptr);
    EXPECT_TRUE(TwHasOwnFrame(d));
    const TRect b = hook->GetBorderWidths();
    EXPECT_EQ(b.Top, GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(b.Left, GetSystemMetrics(SM_CXSIZEFRAME));
    RECT wr{}, cr{};
    GetWindowRect(d, &wr);
    GetClientRect(d, &cr);
    EXPECT_EQ(cr.right, wr.right - wr.left - b.Left - b.Right);
    EXPECT_EQ(cr.bottom, wr.bottom - wr.top - b.Top - b.Bottom);
    // The close button sits in the caption at the right, inside the frame.
    const TRect close = hook->CloseButtonRect();
    EXPECT_FALSE(close.IsEmpty());
    EXPECT_LE(close.Bottom, b.Top);
    EXPECT_LT(close.Right, wr.right - wr.left - b.Right + 1);
    EXPECT_GT(close.Left, (wr.right - wr.left) / 2);
    DestroyWindow(d);
    EXPECT_FALSE(TwHasOwnFrame(d));
}

TEST_F(DialogHookTest, StyleFileGivesTheCaptionHeightAndFrameWidths) {
    const QByteArray text = "tunewright-style 1\nname Frames\ndark no\n"
                            "element teWindow 1 * fill #603020 size 1x30\n"
                            "element teWindow 7 * fill #404040 size 6x1\n"
                            "element teWindow 8 * fill #404040 size 5x1\n"
                            "element teWindow 9 * fill #404040 size 1x7\n";
    TCustomStyle framed(ParseStyleText(text, QStringLiteral("frames"), QString()));
    TStyleManager::SetStyle(&framed);
    const HWND d = Dialog(Captioned | WS_VISIBLE);
    DialogHook* hook = Hook(d);
    ASSERT_NE(hook, nullptr);
    const TRect b = hook->GetBorderWidths();
    EXPECT_EQ((std::array<int, 4>{b.Left, b.Top, b.Right, b.Bottom}), (std::array<int, 4>{6, 30, 5, 7}));
    RECT wr{}, cr{};
    GetWindowRect(d, &wr);
    GetClientRect(d, &cr);
    EXPECT_EQ(cr.right, wr.right - wr.left - 11);
    EXPECT_EQ(cr.bottom, wr.bottom - wr.top - 37);
    EXPECT_LE(hook->CloseButtonRect().Bottom, 30);
    DestroyWindow(d);
    TStyleManager::SetStyle(Style.get());
}

TEST_F(DialogHookTest, ButtonsFollowTheBoxesAndTheHelpButtonOnlyStandsAlone) {
    struct Case {
        const char* Name;
        DWORD Style, ExStyle;
        bool Help, Max, Min;
    } cases[] = {
        {"context help alone", Captioned, WS_EX_CONTEXTHELP, true, false, false},
        {"context help with a minimise box", Captioned | WS_MINIMIZEBOX, WS_EX_CONTEXTHELP, false, false, true},
        {"both boxes, sizeable", Captioned | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME, 0, false, true, true},
        {"maximise box on a plain dialog", Captioned | WS_MAXIMIZEBOX, 0, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const HWND d = Dialog(c.Style, c.ExStyle);
        DialogHook* hook = Hook(d);
        EXPECT_EQ(!hook->HelpButtonRect().IsEmpty(), c.Help);
        EXPECT_EQ(!hook->MaxButtonRect().IsEmpty(), c.Max);
        EXPECT_EQ(!hook->MinButtonRect().IsEmpty(), c.Min);
        if (c.Max && c.Min) {
            // Windows' order from the right: close, a gap, maximise, minimise touching it.
            EXPECT_EQ(hook->MinButtonRect().Right, hook->MaxButtonRect().Left);
            EXPECT_LT(hook->MaxButtonRect().Right, hook->CloseButtonRect().Left);
        }
        DestroyWindow(d);
    }
}

TEST_F(DialogHookTest, PlainDialogHasNoIconAndItsCaptionTextStartsEightPixelsIn) {
    const HWND d = Dialog(Captioned | WS_VISIBLE);
    DialogHook* hook = Hook(d);
    EXPECT_EQ(hook->BorderStyle(), bsDialog);
    EXPECT_TRUE(hook->SysMenuButtonRect().IsEmpty());
    RedrawWindow(d, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    App.PumpUntilIdle();
    EXPECT_EQ(hook->LastCaptionTextRect().Left, 8);
    // The caption text is in the caption element's own colour, nowhere blue.
    const QImage image = App.Grab(d);
    int green = 0, blue = 0;
    for (int y = 0; y < hook->GetBorderWidths().Top; ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFF;
            green += p == 0x00FF00;
            blue += p == 0x0000FF;
        }
    EXPECT_GT(green, 0);
    EXPECT_EQ(blue, 0);
    DestroyWindow(d);
}

TEST_F(DialogHookTest, SystemCaptionButtonCodesBecomeClientOutsideTheStyledButtons) {
    const HWND w = Make(PlainClass, Captioned);
    auto hook = std::make_unique<DialogHook>(w);
    const TRect caption = hook->CaptionRect();
    RECT wr{};
    GetWindowRect(w, &wr);
    // On the caption's left part: no styled button there, whatever the window's own procedure says.
    const LPARAM at = MAKELPARAM(wr.left + 30, wr.top + caption.Height() / 2);
    for (const LRESULT own : {LRESULT(HTMINBUTTON), LRESULT(HTMAXBUTTON), LRESULT(HTCLOSE), LRESULT(HTHELP),
                              LRESULT(HTCAPTION), LRESULT(HTBORDER)}) {
        SCOPED_TRACE(own);
        OwnLog().Answer = [own](HWND W, UINT M, WPARAM P, LPARAM L) {
            return M == WM_NCHITTEST ? own : DefWindowProcW(W, M, P, L);
        };
        const LRESULT hit = SendMessageW(w, WM_NCHITTEST, 0, at);
        EXPECT_EQ(hit, own == HTCAPTION || own == HTBORDER ? own : LRESULT(HTCLIENT));
    }
    OwnLog().Answer = nullptr;
    // On the styled close button the hook answers itself.
    EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(Screen(w, hook->CloseButtonRect()).x,
                                                        Screen(w, hook->CloseButtonRect()).y)),
              HTCLOSE);
    hook.reset();
}

TEST_F(DialogHookTest, RightToLeftLayoutHitsTheCaptionButtonsMirrored) {
    const HWND d = Dialog(Captioned, WS_EX_LAYOUTRTL);
    DialogHook* hook = Hook(d);
    const TRect close = hook->CloseButtonRect();
    RECT wr{};
    GetWindowRect(d, &wr);
    const int width = wr.right - wr.left;
    // The close button is drawn at the left: its mirror image of the logical rectangle.
    const POINT mirrored{wr.left + width - 1 - (close.Left + close.Right) / 2, wr.top + (close.Top + close.Bottom) / 2};
    EXPECT_EQ(SendMessageW(d, WM_NCHITTEST, 0, MAKELPARAM(mirrored.x, mirrored.y)), HTCLOSE);
    const POINT logical = Screen(d, close);
    EXPECT_NE(SendMessageW(d, WM_NCHITTEST, 0, MAKELPARAM(logical.x, logical.y)), HTCLOSE);
    DestroyWindow(d);
}

TEST_F(DialogHookTest, CaptionButtonRunsItsCommandOnceAndOnlyWhenReleasedOverIt) {
    const DWORD sizeable = Captioned | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_VISIBLE;
    const HWND d = Dialog(sizeable);
    DialogHook* hook = Hook(d);
    App.PumpUntilIdle();
    const POINT max = Screen(d, hook->MaxButtonRect());
    const POINT away{max.x - 150, max.y + 60};

    PressAndRelease(max, away);
    EXPECT_TRUE(Log().Commands.empty()) << "released off the button";
    EXPECT_FALSE(IsZoomed(d));

    App.Advance(std::chrono::milliseconds(1000));  // not a double click
    PressAndRelease(max, max);
    // A second command, from the hook after the window's own loop, would restore it again.
    EXPECT_EQ(Log().Commands, std::vector<WPARAM>{SC_MAXIMIZE});
    EXPECT_EQ(hook->PressedButton(), 0);
    DestroyWindow(d);

    // A button that stays under the pointer after its command: the hook must not send it again.
    const HWND help = Dialog(Captioned | WS_VISIBLE, WS_EX_CONTEXTHELP);
    App.PumpUntilIdle();
    const POINT at = Screen(help, Hook(help)->HelpButtonRect());
    Log().Commands.clear();
    App.Advance(std::chrono::milliseconds(1000));
    PressAndRelease(at, at);
    EXPECT_EQ(Log().Commands, std::vector<WPARAM>{SC_CONTEXTHELP});
    DestroyWindow(help);
}

TEST_F(DialogHookTest, CloseButtonClosesTheDialog) {
    const HWND d = Dialog(Captioned | WS_VISIBLE);
    DialogHook* hook = Hook(d);
    App.PumpUntilIdle();
    const POINT close = Screen(d, hook->CloseButtonRect());
    PressAndRelease(close, close);
    EXPECT_EQ(Log().Commands, std::vector<WPARAM>{SC_CLOSE});
    DestroyWindow(d);
}

TEST_F(DialogHookTest, SizingGivesTheRegionToTheWindowAndTextRepaintsTheFrameOnce) {
    const HWND d = Dialog(Captioned | WS_VISIBLE);
    DialogHook* hook = Hook(d);
    App.PumpUntilIdle();
    SetWindowPos(d, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(hook->Region(), nullptr) << "the window owns the region now";
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(d, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the caption rounds the top corners";
    EXPECT_TRUE(PtInRegion(region, 150, 100));
    DeleteObject(region);

    App.PumpUntilIdle();
    hook->NCPaints = 0;
    EXPECT_EQ(SetWindowTextW(d, u"Renamed"), TRUE);
    App.PumpUntilIdle();
    EXPECT_EQ(hook->NCPaints, 1);
    DestroyWindow(d);
}

TEST_F(DialogHookTest, MessageBoxLikeDialogsArePaintedByTheHookOthersByThemselves) {
    const HWND box = Dialog(Captioned | WS_VISIBLE, 0, {{0x82, 0xFFFF, SS_LEFT}});
    SetWindowLongPtrW(box, GWLP_USERDATA, 1);
    const HWND withEdit = Dialog(Captioned | WS_VISIBLE, 0, {{0x82, 0xFFFF, SS_LEFT}, {0x81, 10, WS_BORDER}});
    SetWindowLongPtrW(withEdit, GWLP_USERDATA, 1);
    App.PumpUntilIdle();
    for (HWND d : {box, withEdit}) {
        Hook(d)->Paints = 0;
        InvalidateRect(d, nullptr, TRUE);
    }
    App.PumpUntilIdle();
    EXPECT_GE(Hook(box)->Paints, 1);
    EXPECT_EQ(Hook(withEdit)->Paints, 0);
    DestroyWindow(box);
    DestroyWindow(withEdit);
}

TEST_F(DialogHookTest, StyledDialogKeepsTheClientAreaItWasLaidOutFor) {
    TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("#32770"));
    const HWND plain = Dialog(Captioned);
    RECT want{};
    GetClientRect(plain, &want);
    DestroyWindow(plain);
    TSysStyleManager::RegisterSysStyleHook(QStringLiteral("#32770"), &CreateHook<DialogHook>);
    const HWND d = Dialog(Captioned);
    ASSERT_TRUE(TwHasOwnFrame(d));
    RECT got{};
    GetClientRect(d, &got);
    EXPECT_TRUE(EqualRect(&got, &want)) << got.right << "x" << got.bottom << " for " << want.right << "x" << want.bottom;
    TSysStyleManager::HookedWindows().erase(d);  // unhooked, the desktop decorates it again
    GetClientRect(d, &got);
    EXPECT_TRUE(EqualRect(&got, &want)) << got.right << "x" << got.bottom << " for " << want.right << "x" << want.bottom;
    DestroyWindow(d);
}

TEST_F(DialogHookTest, TheFrameIsTakenOnceAtTheFirstShowAndNotOnHiding) {
    const HWND d = Dialog(Captioned);
    RECT before{}, after{};
    GetWindowRect(d, &before);
    ShowWindow(d, SW_SHOW);
    GetWindowRect(d, &after);
    const int grown = (after.right - after.left) - (before.right - before.left);
    const int border = GetSystemMetrics(SM_CXBORDER) + 1;
    EXPECT_EQ(grown, 2 * GetSystemMetrics(SM_CXSIZEFRAME) - 2 * border);
    for (int i = 0; i < 2; ++i) {
        ShowWindow(d, SW_HIDE);
        ShowWindow(d, SW_SHOW);
    }
    RECT later{};
    GetWindowRect(d, &later);
    EXPECT_TRUE(EqualRect(&later, &after));
    DestroyWindow(d);
}

TEST_F(DialogHookTest, DialogsOwnCleanUpRunsEvenWhenItsParentsHookIsGoing) {
    const HWND parent = Dialog(Captioned | WS_VISIBLE);
    const HWND child = Dialog(WS_CHILD | WS_VISIBLE | DS_CONTROL, 0, {}, parent);
    ASSERT_NE(Hook(child), nullptr);
    Hook(parent)->SysControl()->FDestroyed = true;
    Log().Destroys = 0;
    DestroyWindow(child);
    EXPECT_EQ(Log().Destroys, 1);
    Hook(parent)->SysControl()->FDestroyed = false;
    DestroyWindow(parent);
}

// ---------------------------------------------------------------------------------------------------
// On a real X server (the Xvfb run): message boxes and the file dialog in two shipped styles, as a
// person sees them and with real input from xdotool.

class DialogXvfb : public DialogHookTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        if (qEnvironmentVariable("QT_QPA_PLATFORM") != QStringLiteral("xcb")) GTEST_SKIP() << "needs a real X server (the Xvfb run)";
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) GTEST_SKIP() << "xdotool is missing";
        DialogHookTest::SetUp();
        Name = QString::fromLatin1(GetParam());
        Shipped = std::make_unique<TCustomStyle>(ReadStyleFile(SourceDir() + QStringLiteral("/data/styles/%1.vsf").arg(Name)));
        TStyleManager::SetStyle(Shipped.get());
        // The program registers the controls' hooks at start when its style is a custom one; the
        // harness started under the system style, so they are registered again under this one.
        UnRegisterStdCtrlStyleHooks();
        RegisterStdCtrlStyleHooks();
        TSysStyleManager::RegisterSysStyleHook(QStringLiteral("ScrollBar"), &CreateHook<TSysScrollBarStyleHook>);
        TwUseRealClock();
    }
    void TearDown() override {
        if (!Shipped) return;
        TwUseManualClock(GetTickCount64());
        TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("ScrollBar"));
        UnRegisterStdCtrlStyleHooks();
        TStyleManager::SetStyle(Style.get());
        RegisterStdCtrlStyleHooks();
        DialogHookTest::TearDown();
    }
    // Runs Step on a timer inside the modal loop that Open runs, until Step says it is done; a guard
    // ends the loop's dialog after ten seconds should the input never come.
    template <class Open>
    INT_PTR WhileOpen(Open OpenIt, std::function<bool()> Step) {
        Ticking() = std::move(Step);
        const UINT_PTR tick = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
            if (Ticking() && Ticking()()) Ticking() = nullptr;
        });
        const UINT_PTR guard = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) {
            if (const HWND d = FindWindowW(u"#32770", nullptr)) EndDialog(d, -2);
        });
        const INT_PTR result = OpenIt();
        KillTimer(nullptr, tick);
        KillTimer(nullptr, guard);
        Ticking() = nullptr;
        return result;
    }
    static std::function<bool()>& Ticking() {
        static std::function<bool()> step;
        return step;
    }
    // The shown top-level dialog with its hook, or null while it is not yet on the screen.
    TSysDialogStyleHook* Shown(HWND& Window) {
        Window = FindWindowW(u"#32770", nullptr);
        if (!Window || !IsWindowVisible(Window)) return nullptr;
        auto& hooked = TSysStyleManager::HookedWindows();
        auto it = hooked.find(Window);
        return it == hooked.end() ? nullptr : dynamic_cast<TSysDialogStyleHook*>(it->second.get());
    }
    static QString At(POINT P) { return QString::number(P.x) + u' ' + QString::number(P.y); }
    static POINT CentreOf(HWND Control) {
        RECT r{};
        GetWindowRect(Control, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    static QStringList Args(const QString& Line) { return Line.split(u' ', Qt::SkipEmptyParts); }

    QString Name;
    std::unique_ptr<TCustomStyle> Shipped;
};

TEST_P(DialogXvfb, MessageBoxLooksAsExpectedAndItsCloseAndOkButtonsAnswer) {
    struct Case {
        const char* Press;
        int Result;
    } cases[] = {{"close", IDCANCEL}, {"OK", IDOK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Press);
        const bool close = c.Result == IDCANCEL;
        const INT_PTR result = WhileOpen(
            [] { return INT_PTR(MessageBoxW(nullptr, u"Convert the three files to MP3?", u"Tunewright", MB_OKCANCEL | MB_ICONQUESTION)); },
            [&] {
                HWND box = nullptr;
                TSysDialogStyleHook* hook = Shown(box);
                if (!hook) return false;
                EXPECT_TRUE(TwHasOwnFrame(box));
                if (close) ExpectPicture(ScreenOf(box), QStringLiteral("message_box_%1").arg(Name.toLower()));
                RECT wr{};
                GetWindowRect(box, &wr);
                const TRect button = hook->CloseButtonRect();
                const POINT target = close ? POINT{wr.left + (button.Left + button.Right) / 2, wr.top + (button.Top + button.Bottom) / 2}
                                           : CentreOf(GetDlgItem(box, IDOK));
                EXPECT_TRUE(Xdotool(Args(QStringLiteral("mousemove ") + At(target) + QStringLiteral(" click 1"))));
                return true;
            });
        EXPECT_EQ(result, c.Result);
    }
}

TEST_P(DialogXvfb, FileDialogLooksAsExpectedAndDraggingTheListsThumbScrollsTheList) {
    QTemporaryDir folder;
    for (int i = 1; i <= 40; ++i) {
        QFile f(folder.filePath(QStringLiteral("track%1.mp3").arg(i, 2, 10, QLatin1Char('0'))));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const std::u16string dir = folder.path().toStdU16String();
    WCHAR file[1024] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = u"Audio (*.mp3)\0*.mp3\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = 1024;
    ofn.lpstrInitialDir = dir.c_str();
    ofn.lpstrTitle = u"Add files";
    int stage = 0, topBefore = 0, topAfter = 0;
    WhileOpen([&] { return INT_PTR(GetOpenFileNameW(&ofn)); },
              [&] {
                  HWND dlg = nullptr;
                  TSysDialogStyleHook* hook = Shown(dlg);
                  if (!hook) return false;
                  const HWND list = GetDlgItem(dlg, lst1);
                  auto& hooked = TSysStyleManager::HookedWindows();
                  auto* bar = hooked.count(list) ? dynamic_cast<TSysScrollingStyleHook*>(hooked[list].get()) : nullptr;
                  if (!bar) {
                      ADD_FAILURE() << "the list has no styled scroll bar";
                      EndDialog(dlg, IDCANCEL);
                      return true;
                  }
                  if (stage == 0) {
                      SetDlgItemTextW(dlg, stc1, u"Music");  // not the temporary folder's own name
                      ExpectPicture(ScreenOf(dlg), QStringLiteral("file_dialog_%1").arg(Name.toLower()));
                      topBefore = int(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
                      const TRect thumb = bar->VertSliderRect();  // on the screen
                      const POINT from{(thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2};
                      const POINT to{from.x, from.y + 80};
                      EXPECT_TRUE(Xdotool(Args(QStringLiteral("mousemove ") + At(from) + QStringLiteral(" mousedown 1 mousemove ") +
                                               At(POINT{from.x, from.y + 40}) + QStringLiteral(" mousemove ") + At(to) +
                                               QStringLiteral(" mouseup 1"))));
                      stage = 1;
                      return false;
                  }
                  // Done once the drag has ended and the list has moved.
                  topAfter = int(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
                  if (GetCapture() || topAfter == topBefore) return false;
                  EndDialog(dlg, IDCANCEL);
                  return true;
              });
    EXPECT_GT(topAfter, topBefore);
}

TEST_P(DialogXvfb, MaximiseButtonReleasedOffItDoesNothingAndAClickAsksToMaximise) {
    const HWND d = Dialog(Captioned | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_VISIBLE);
    SetWindowPos(d, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ScreenOf(d);
    const POINT max = Screen(d, Hook(d)->MaxButtonRect());
    const POINT away{max.x - 150, max.y + 60};
    QProcess input;
    input.start(QStandardPaths::findExecutable(QStringLiteral("xdotool")),
                Args(QStringLiteral("mousemove ") + At(max) + QStringLiteral(" mousedown 1 mousemove ") + At(away) +
                     QStringLiteral(" mouseup 1 mousemove ") + At(max) + QStringLiteral(" click 1")));
    ASSERT_TRUE(input.waitForFinished(10000));
    // The events wait on the server; the caption-button loops read them in their order.
    QElapsedTimer waited;
    waited.start();
    while (Log().Commands.empty() && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        App.PumpUntilIdle();
    }
    // One command, from the click; Xvfb has no window manager to carry the maximising out.
    EXPECT_EQ(Log().Commands, std::vector<WPARAM>{SC_MAXIMIZE});
    DestroyWindow(d);
}

INSTANTIATE_TEST_SUITE_P(Styles, DialogXvfb, ::testing::Values("Carbon", "Luna"));

} // namespace
