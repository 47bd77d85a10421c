// styling/hooks/StyleMisc.cpp
#include "styling/hooks/StyleMisc.h"

#include "vcl/Forms.h"

namespace styling {

using namespace vcl;

int GetSysMetricsForDpi(int Index) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info) || info.dwMajorVersion < 10 || info.dwBuildNumber < 14393)
        return GetSystemMetrics(Index);
    int dpi = 96;
    TMonitor* monitor = Application && Application->MainForm() ? Application->MainForm()->Monitor() : nullptr;
    if (monitor)
        dpi = monitor->PixelsPerInch();
    else if (Screen)
        dpi = Screen->PixelsPerInch();
    return GetSystemMetricsForDpi(Index, UINT(dpi));
}

void GetOSVersion(DWORD& Major, DWORD& Minor, DWORD& Build) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExW(&info);
    Major = info.dwMajorVersion, Minor = info.dwMinorVersion, Build = info.dwBuildNumber;
}

rtl::String GetWindowClassName(HWND Window) {
    WCHAR buffer[256];
    const int n = GetClassNameW(Window, buffer, 256);
    if (n <= 0) return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), n);
}

TRect CenterRectVertically(const TRect& R, const TRect& Bounds) {
    const LONG top = Bounds.Top + (Bounds.Height() - R.Height()) / 2;
    return TRect(Bounds.Left, top, Bounds.Left + R.Width(), top + R.Height());
}

void MoveWindowOrg(HDC DC, int DX, int DY) {
    POINT origin{};
    GetWindowOrgEx(DC, &origin);
    SetWindowOrgEx(DC, origin.x - DX, origin.y - DY, nullptr);
}

} // namespace styling
