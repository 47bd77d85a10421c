// tests/base/SystemHelpersTest.cpp: message-box flags and answers, keep-above, power-off requests,
// folders and process image paths.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QDir>
#include <QFileInfo>
#include <unistd.h>

#include "base/SystemHelpers.h"
#include "rtl/Files.h"

namespace {

struct TBoxCall {
    HWND Owner;
    std::u16string Text, Caption;
    UINT Type;
};
std::vector<TBoxCall> Calls;
int Answer = IDOK;

int CALLBACK RecordBox(HWND Owner, LPCWSTR Text, LPCWSTR Caption, UINT Type) {
    Calls.push_back({Owner, reinterpret_cast<const char16_t*>(Text), reinterpret_cast<const char16_t*>(Caption), Type});
    return Answer;
}

TEST(SystemHelpers, MessageBoxFlagsAndAnswers) {
    const TwMessageBoxProc Old = TwSetMessageBoxHandler(RecordBox);
    Calls.clear();
    const HWND Owner = reinterpret_cast<HWND>(0x1234);
    base::ShowMessageBox("text", "cap", Owner, MB_OKCANCEL | MB_ICONERROR);
    base::ShowWarningBox("warn", "cap", nullptr);
    Answer = IDNO;
    EXPECT_EQ(base::ShowQuestionBox("q", "cap", Owner, MB_YESNO), IDNO);
    Answer = IDYES;
    EXPECT_EQ(base::ShowQuestionBox("q", "cap", Owner, MB_YESNOCANCEL), IDYES);
    TwSetMessageBoxHandler(Old);

    ASSERT_EQ(Calls.size(), 4u);
    EXPECT_EQ(Calls[0].Owner, Owner);
    EXPECT_EQ(Calls[0].Text, u"text");
    EXPECT_EQ(Calls[0].Caption, u"cap");
    const UINT Types[] = {MB_OKCANCEL | MB_ICONERROR, 0x30, MB_YESNO | 0x20, MB_YESNOCANCEL | 0x20};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(Calls[i].Type, Types[i]) << i;
}

TEST(SystemHelpers, TopmostSwitch) {
    HWND W = CreateWindowExW(0, u"Static", u"top", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(W);
    EXPECT_TRUE(base::SetWindowTopmost(W, true));
    EXPECT_TRUE(GetWindowLongW(W, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(base::SetWindowTopmost(W, false));
    EXPECT_FALSE(GetWindowLongW(W, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DestroyWindow(W);
    EXPECT_FALSE(base::SetWindowTopmost(W, true)); // gone
}

TEST(SystemHelpers, PowerOffGoesToThePlatformAndItsAnswerCounts) {
    static std::vector<UINT> Requests;
    static BOOL Answer;
    Requests.clear();
    const TwExitWindowsProc Before = TwSetExitWindowsHandler([](UINT Flags) -> BOOL {
        Requests.push_back(Flags);
        return Answer;
    });
    Answer = FALSE; // refused, as without the right to shut down
    EXPECT_FALSE(base::PowerOffWindows());
    Answer = TRUE;
    EXPECT_TRUE(base::PowerOffWindows());
    TwSetExitWindowsHandler(Before);
    EXPECT_EQ(Requests, (std::vector<UINT>{EWX_POWEROFF | EWX_FORCE, EWX_POWEROFF | EWX_FORCE}));
}

TEST(SystemHelpers, FoldersAndProcessPaths) {
    const QString Exe = QFileInfo("/proc/self/exe").symLinkTarget();
    EXPECT_EQ(base::GetAppDir(), QFileInfo(Exe).absolutePath());
    EXPECT_FALSE(base::GetAppDir().endsWith(u'/'));
    EXPECT_EQ(base::GetProcessFileName(int(::getpid())), Exe);
    EXPECT_EQ(base::GetProcessFileName(0), "");
    EXPECT_EQ(base::GetProcessFileName(INT_MAX), "");

    const QByteArray Saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/var/tmp/x");
    EXPECT_EQ(base::GetTempDirDef("/d/"), "/var/tmp/x/");
    qputenv("TMPDIR", "/var/tmp/y/");
    EXPECT_EQ(base::GetTempDirDef("/d/"), "/var/tmp/y/");
    qunsetenv("TMPDIR");
    EXPECT_EQ(base::GetTempDirDef("/d/"), "/tmp/");
    if (!Saved.isNull()) qputenv("TMPDIR", Saved);
}

} // namespace
