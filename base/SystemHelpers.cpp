#include "base/SystemHelpers.h"

#include <QFile>
#include <QProcess>
#include <climits>
#include <unistd.h>
#include <vector>

#include "base/Strings.h"
#include "rtl/Files.h"

namespace base {

namespace {

LPCWSTR W(const String& S) { return reinterpret_cast<LPCWSTR>(S.utf16()); }

// logind's PowerOff with the interactive flag: allowed to ask for authorisation, never forced.
bool LogindPowerOff(bool Interactive) {
    return QProcess::execute(QStringLiteral("busctl"),
                             {"call", "org.freedesktop.login1", "/org/freedesktop/login1",
                              "org.freedesktop.login1.Manager", "PowerOff", "b", Interactive ? "true" : "false"}) == 0;
}

TPowerOffRequest& PowerOffRequest() {
    static TPowerOffRequest Request;
    return Request;
}

} // namespace

void ShowMessageBox(const String& Text, const String& Caption, HWND OwnerWindow, UINT Flags) {
    MessageBoxW(OwnerWindow, W(Text), W(Caption), Flags);
}

void ShowWarningBox(const String& Text, const String& Caption, HWND OwnerWindow) {
    MessageBoxW(OwnerWindow, W(Text), W(Caption), MB_OK | MB_ICONWARNING);
}

int ShowQuestionBox(const String& Text, const String& Caption, HWND OwnerWindow, UINT Flags) {
    return MessageBoxW(OwnerWindow, W(Text), W(Caption), Flags | MB_ICONQUESTION);
}

bool SetWindowTopmost(HWND Window, bool Topmost) {
    return SetWindowPos(Window, Topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) != 0;
}

void SetPowerOffRequest(TPowerOffRequest Request) { PowerOffRequest() = std::move(Request); }

bool PowerOffWindows() {
    try {
        const TPowerOffRequest& R = PowerOffRequest();
        return R ? R(true) : LogindPowerOff(true);
    } catch (...) {
        return false;
    }
}

String GetAppDir() {
    const String Dir = rtl::ExtractFileDir(rtl::ParamStr(0));
    return Dir == u'/' ? Dir : TrimDirTail(Dir);
}

String GetTempDirDef(const String& Default) {
    String Dir = qEnvironmentVariable("TMPDIR");
    if (Dir.isEmpty()) Dir = QStringLiteral("/tmp");
    if (!Dir.endsWith(u'/')) Dir += u'/';
    return Dir.isEmpty() ? Default : Dir;
}

String GetProcessFileName(int ProcessID) {
    if (ProcessID <= 0) return {};
    const QByteArray Link = "/proc/" + QByteArray::number(ProcessID) + "/exe";
    std::vector<char> Buf(PATH_MAX + 1);
    const ssize_t N = ::readlink(Link.constData(), Buf.data(), Buf.size() - 1);
    if (N <= 0) return {};
    return QFile::decodeName(QByteArray(Buf.data(), int(N)));
}

} // namespace base
