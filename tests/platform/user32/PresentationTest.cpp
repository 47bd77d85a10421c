// What the desktop does to a window reaches the window model: moves, sizes, minimise and maximise,
// the window's size limits, and activation going to another program.
#include "Recorder.h"
#include "qt/QtBackend.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QWindow>

using namespace user32_test;

namespace {

// A click as the desktop delivers it, at a point of the Qt window.
void ClickAt(QWindow* qw, QPoint local) {
    const QPointF global = qw->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(qw, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(qw, &release);
}

// A decorated window shown on the desktop, and the Qt window that shows it.
class DesktopTest : public WindowTest {
protected:
    void SetUp() override {
        w = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 400, 300});
        app.PumpUntilIdle();
        qw = twqt::WindowOf(w);
        ASSERT_NE(qw, nullptr);
    }
    HWND w = nullptr;
    QWindow* qw = nullptr;
};

} // namespace

TEST_F(DesktopTest, ADesktopMoveReachesTheModelSoClicksLandWhereTheyWere) {
    rec.Clear();
    qw->setPosition(qw->position() + QPoint(50, 20));
    app.PumpUntilIdle();
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 120);
    ASSERT_EQ(rec.Of(WM_MOVE).size(), 1u);
    EXPECT_TRUE(rec.Of(WM_SIZE).empty());
    ASSERT_EQ(rec.Of(WM_WINDOWPOSCHANGED).size(), 1u);

    rec.Clear();
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    ClickAt(qw, QPoint(origin.x - r.left + 10, origin.y - r.top + 10));
    app.PumpUntilIdle();
    ASSERT_EQ(rec.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN)[0].lp, MAKELPARAM(10, 10));
}

TEST_F(DesktopTest, ADesktopResizeSendsWmSizeAndResizesTheBackingImage) {
    rec.Clear();
    qw->resize(420, 330);
    app.PumpUntilIdle();
    RECT c{};
    GetClientRect(w, &c);
    ASSERT_EQ(rec.Of(WM_SIZE).size(), 1u);
    EXPECT_EQ(rec.Of(WM_SIZE)[0].lp, MAKELPARAM(c.right, c.bottom));
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 420);
    EXPECT_EQ(r.bottom - r.top, 330);
    TwSurface s{};
    ASSERT_TRUE(TwGetWindowSurface(w, &s, nullptr));
    EXPECT_EQ(s.width, 420);
    EXPECT_EQ(s.height, 330);
    EXPECT_TRUE(rec.Of(WM_MOVE).empty());
}

TEST_F(DesktopTest, TheDesktopGetsTheSizeTheWindowKeepsWithinItsLimits) {
    rec.handlers[w] = [](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (m != WM_GETMINMAXINFO) return std::nullopt;
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
        mmi->ptMinTrackSize = POINT{250, 150};
        mmi->ptMaxTrackSize = POINT{500, 400};
        return 0;
    };
    SIZE lo{}, hi{};
    ASSERT_TRUE(TwGetTrackLimits(w, &lo, &hi));
    EXPECT_EQ(lo.cx, 250);
    EXPECT_EQ(hi.cy, 400);
    for (const QSize asked : {QSize(100, 80), QSize(900, 700)}) {
        qw->resize(asked);
        app.PumpUntilIdle();
        RECT r{};
        GetWindowRect(w, &r);
        const QSize kept = asked.width() < 250 ? QSize(250, 150) : QSize(500, 400);
        EXPECT_EQ(QSize(r.right - r.left, r.bottom - r.top), kept);
        EXPECT_EQ(qw->size(), kept);
    }
}

TEST_F(DesktopTest, DesktopMinimiseMaximiseAndRestoreReachTheModel) {
    rec.Clear();
    qw->setWindowStates(Qt::WindowMinimized);
    app.PumpUntilIdle();
    EXPECT_TRUE(IsIconic(w));
    ASSERT_FALSE(rec.Of(WM_SIZE).empty());
    EXPECT_EQ(rec.Of(WM_SIZE).back().wp, WPARAM(SIZE_MINIMIZED));
    EXPECT_TRUE(qw->isVisible());  // the desktop keeps it, minimised

    qw->setWindowStates(Qt::WindowMaximized);
    app.PumpUntilIdle();
    EXPECT_FALSE(IsIconic(w));
    EXPECT_TRUE(IsZoomed(w));
    EXPECT_EQ(rec.Of(WM_SIZE).back().wp, WPARAM(SIZE_MAXIMIZED));

    qw->setWindowStates(Qt::WindowNoState);
    app.PumpUntilIdle();
    EXPECT_FALSE(IsZoomed(w));
    EXPECT_EQ(rec.Of(WM_SIZE).back().wp, WPARAM(SIZE_RESTORED));
}

TEST_F(DesktopTest, ActivationGoingToAnotherProgramSendsActivateAppFalse) {
    qw->requestActivate();
    app.PumpUntilIdle();
    ASSERT_EQ(GetActiveWindow(), w);
    rec.Clear();
    QWindow other;  // another program's window, as far as ours can tell
    other.setGeometry(600, 100, 100, 100);
    other.show();
    other.requestActivate();
    app.PumpUntilIdle();
    ASSERT_EQ(rec.Of(WM_ACTIVATEAPP).size(), 1u);
    EXPECT_EQ(rec.Of(WM_ACTIVATEAPP)[0].wp, WPARAM(FALSE));
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(DesktopTest, AnInputMethodsTextReachesTheFocusedEditAndItsWindowGoesBesideTheCaret) {
    HWND edit = CreateWindowExW(0, u"Edit", u"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 200, 24, w, nullptr,
                                nullptr, nullptr);
    SetFocus(edit);
    app.Type("a");
    QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImCursorRectangle);
    QCoreApplication::sendEvent(qw, &query);
    EXPECT_TRUE(query.value(Qt::ImEnabled).toBool());
    POINT caret{};
    GetCaretPos(&caret);
    ClientToScreen(edit, &caret);
    EXPECT_EQ(query.value(Qt::ImCursorRectangle).toRect().topLeft(), qw->mapFromGlobal(QPoint(caret.x, caret.y)));

    QInputMethodEvent preedit(QStringLiteral("nih"), {});  // still composing: nothing typed yet
    QCoreApplication::sendEvent(qw, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf16(u"\u65E5\u672C\U0001F600"));
    QCoreApplication::sendEvent(qw, &commit);
    app.PumpUntilIdle();
    char16_t text[16] = {};
    GetWindowTextW(edit, text, 16);
    EXPECT_EQ(std::u16string(text), u"a\u65E5\u672C\U0001F600");
}
