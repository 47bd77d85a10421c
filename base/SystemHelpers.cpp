#include "base/SystemHelpers.h"

#include <QFile>
#include <climits>
#include <unistd.h>
#include <vector>

#include "base/Strings.h"
#include "win/advapi32/winreg.h"
#include "win/kernel32/synchapi.h"
#include "win/kernel32/winbase.h"
#include "rtl/Files.h"

namespace base {

namespace {

LPCWSTR W(const String& S) { return reinterpret_cast<LPCWSTR>(S.utf16()); }

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

bool PowerOffWindows() {
    OSVERSIONINFOW Version{};
    Version.dwOSVersionInfoSize = sizeof Version;
    if (!GetVersionExW(&Version)) return false;
    HANDLE Token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &Token)) return false;
    TOKEN_PRIVILEGES Privileges{};
    Privileges.PrivilegeCount = 1;
    Privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool Enabled = LookupPrivilegeValueW(nullptr, reinterpret_cast<LPCWSTR>(SE_SHUTDOWN_NAME),
                                               &Privileges.Privileges[0].Luid) &&
                         AdjustTokenPrivileges(Token, FALSE, &Privileges, 0, nullptr, nullptr);
    CloseHandle(Token);
    // The platform asks the login manager and never forces, whatever the flags say.
    return Enabled && ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0);
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
