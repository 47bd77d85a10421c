// Message boxes: answered by the installed handler, or shown as a real dialog and answered by input.
#include "ControlsFixture.h"

using namespace user32_test;

namespace {

class MessageBoxTest : public WindowTest {
protected:
    ~MessageBoxTest() override { TwSetMessageBoxHandler(nullptr); }
    // Runs MessageBoxW; `answer` acts on the box once it is shown (it gets the box's handle).
    int Show(const char16_t* text, UINT type, std::function<void(HWND)> answer, HWND owner = nullptr) {
        bool done = false;
        app.OnIdle([&] {
            if (done) return;
            HWND box = FindWindowW(u"#32770", u"Box");
            if (!box || !IsWindowVisible(box)) return;
            done = true;
            shown = box;
            Inspect(box);
            answer(box);
        });
        const int r = MessageBoxW(owner, text, u"Box", type);
        app.OnIdle(nullptr);
        return r;
    }
    void Inspect(HWND box) {
        buttons.clear();
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            WCHAR cls[16];
            GetClassNameW(c, cls, 16);
            if (QString::fromUtf16(cls).compare("Button", Qt::CaseInsensitive) == 0) buttons.push_back(GetDlgCtrlID(c));
        }
        focused = GetDlgCtrlID(GetFocus());
        GetWindowRect(box, &boxRect);
        if (HWND t = GetDlgItem(box, 0xFFFF)) {
            GetWindowRect(t, &textRect);
            text = Text(t);
        }
        userData = GetWindowLongPtrW(box, GWLP_USERDATA);
    }
    static void Key(UINT vk) {
        TwInputKey(vk, TRUE, FALSE, nullptr, FALSE);
        TwInputKey(vk, FALSE, FALSE, nullptr, FALSE);
    }
    static void ClickButton(HWND box, int id) {
        const POINT p = testing_support::HeadlessApp::ToScreen(GetDlgItem(box, id), {10, 10});
        TwInputMouseMove(p.x, p.y);
        TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, TRUE);
        TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, FALSE);
    }
    HWND shown = nullptr;
    std::vector<int> buttons;
    int focused = 0;
    RECT boxRect{}, textRect{};
    std::u16string text;
    LONG_PTR userData = 0;
};

struct Handled {
    static inline std::u16string text, caption;
    static inline UINT type = 0;
    static int CALLBACK Proc(HWND, LPCWSTR t, LPCWSTR c, UINT ty) {
        text = t, caption = c, type = ty;
        return IDNO;
    }
};

struct BoxCase {
    UINT type;
    std::vector<int> buttons;
    int focused;  // the default button
};

class MessageBoxKinds : public MessageBoxTest, public ::testing::WithParamInterface<BoxCase> {};

} // namespace

TEST_F(MessageBoxTest, TheHandlerAnswersWithoutAWindow) {
    TwSetMessageBoxHandler(Handled::Proc);
    EXPECT_EQ(MessageBoxW(nullptr, u"Delete?", u"Question", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(Handled::text, u"Delete?");
    EXPECT_EQ(Handled::caption, u"Question");
    EXPECT_EQ(Handled::type, UINT(MB_YESNO | MB_ICONQUESTION));
    MSGBOXPARAMSW p{};
    p.cbSize = sizeof p;
    p.lpszText = u"Again";
    p.dwStyle = MB_OK;
    EXPECT_EQ(MessageBoxIndirectW(&p), IDNO);
    EXPECT_EQ(Handled::caption, u"Error");  // no caption: the system's
}

TEST_P(MessageBoxKinds, ShowsTheButtonsOfItsTypeWithTheDefaultFocused) {
    const int r = Show(u"Continue?", GetParam().type, [](HWND) { Key(VK_RETURN); });
    EXPECT_EQ(buttons, GetParam().buttons);
    EXPECT_EQ(focused, GetParam().focused);
    EXPECT_EQ(r, GetParam().focused);  // Enter presses the default button
    EXPECT_EQ(text, u"Continue?");
    EXPECT_NE(userData, 0);
}

INSTANTIATE_TEST_SUITE_P(Types, MessageBoxKinds, ::testing::Values(
    BoxCase{MB_OK, {IDOK}, IDOK},
    BoxCase{MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL},
    BoxCase{MB_YESNOCANCEL | MB_ICONQUESTION, {IDYES, IDNO, IDCANCEL}, IDYES},
    BoxCase{MB_YESNO | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO},
    BoxCase{MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE},
    BoxCase{MB_RETRYCANCEL | MB_ICONHAND, {IDRETRY, IDCANCEL}, IDRETRY}));

TEST_F(MessageBoxTest, AScriptedClickAnswersAndTheOwnerComesBack) {
    HWND owner = TopLevel();
    bool ownerDisabled = false;
    const int r = Show(u"Overwrite?", MB_YESNO, [&](HWND box) {
        ownerDisabled = !IsWindowEnabled(owner);
        ClickButton(box, IDNO);
    }, owner);
    EXPECT_EQ(r, IDNO);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindow(shown));
}

TEST_F(MessageBoxTest, EscapeGivesOkOnAnOkBoxAndIsIgnoredWithoutCancel) {
    EXPECT_EQ(Show(u"Done", MB_OK, [](HWND) { Key(VK_ESCAPE); }), IDOK);
    EXPECT_EQ(Show(u"Sure?", MB_YESNO, [](HWND box) {
                  Key(VK_ESCAPE);  // nothing happens: the next input decides
                  ClickButton(box, IDYES);
              }),
              IDYES);
}

TEST_F(MessageBoxTest, LongTextWrapsAndWidensTheBoxWithinLimits) {
    Show(u"Short", MB_OK, [](HWND) { Key(VK_RETURN); });
    const RECT shortBox = boxRect, shortText = textRect;
    std::u16string longText;
    for (int i = 0; i < 60; ++i) longText += u"word" + QString::number(i).toStdU16String() + u" ";
    Show(longText.c_str(), MB_OK | MB_ICONINFORMATION, [](HWND) { Key(VK_RETURN); });
    EXPECT_GT(boxRect.right - boxRect.left, shortBox.right - shortBox.left);
    EXPECT_LE(textRect.right - textRect.left, testing_support::HeadlessApp::ScreenWidth / 2);
    EXPECT_GT(textRect.bottom - textRect.top, 2 * (shortText.bottom - shortText.top));  // several lines
    EXPECT_GT(textRect.left - boxRect.left, 32);  // the icon stands left of the text
    // Centred on the screen's work area.
    EXPECT_NEAR((boxRect.left + boxRect.right) / 2, testing_support::HeadlessApp::ScreenWidth / 2, 2);
}
