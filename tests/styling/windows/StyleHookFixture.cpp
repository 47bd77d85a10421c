// tests/styling/windows/StyleHookFixture.cpp
#include "tests/styling/windows/StyleHookFixture.h"

#include <algorithm>

namespace styletest {

using namespace styling;
using namespace vcl;

OwnProcLog& OwnLog() {
    static OwnProcLog log;
    return log;
}

int OwnProcLog::Count(HWND Wnd, UINT Msg) const {
    return int(std::count(Messages.begin(), Messages.end(), std::make_pair(Wnd, Msg)));
}

LRESULT CALLBACK OwnProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    OwnLog().Messages.emplace_back(Wnd, Msg);
    if (OwnLog().Answer) return OwnLog().Answer(Wnd, Msg, WParam, LParam);
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

RecordingHook::RecordingHook(HWND AHandle) : TMouseTrackSysControlStyleHook(AHandle) {
    if (Throw) throw rtl::Exception(QStringLiteral("no thunk"));
    ++Created[AHandle];
}

RecordingHook::~RecordingHook() { ++Destroyed; }

void RecordingHook::Paint(TCanvas*) { ++Paints; }

void RecordingHook::PaintBackground(TCanvas* Canvas) {
    ++Backgrounds;
    TMouseTrackSysControlStyleHook::PaintBackground(Canvas);
}

std::unique_ptr<TCustomStyle> MakeStyle(const QString& Name, TColor Window) {
    TStyleFileData data;
    data.Name = Name;
    data.SystemColors[COLOR_WINDOW] = Window;
    data.SystemColors[COLOR_HIGHLIGHT] = TColor(0x3050A0);
    data.SystemColors[COLOR_HOTLIGHT] = TColor(0x00FFFF);
    data.SystemColors[COLOR_BTNFACE] = TColor(0x202020);
    data.SystemColors[COLOR_MENUBAR] = TColor(0x112233);
    data.StyleColors[scWindow] = Window;
    return std::make_unique<TCustomStyle>(data);
}

void StyleHookTest::SetUp() {
    for (const char16_t* name : {HookedClass, PlainClass}) {
        WNDCLASSW cls{};
        cls.lpfnWndProc = &OwnProc;
        cls.lpszClassName = name;
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassW(&cls);
    }
    OwnLog() = OwnProcLog{};
    RecordingHook::Created.clear();
    RecordingHook::Destroyed = 0;
    RecordingHook::Throw = false;
    TSysStyleManager::RegisterSysStyleHook(QString::fromUtf16(HookedClass), &CreateHook<RecordingHook>);
    Style = MakeStyle(QStringLiteral("Test Dark"), TColor(0x402010));
    TStyleManager::SetStyle(Style.get());
    static StyleHookTest* current;
    current = this;
    TSysStyleManager::HookNotifyCallback = [](int Action, const TSysWindowInfo& Info) {
        current->Notified.emplace_back(Action, Info.Handle);
    };
}

void StyleHookTest::TearDown() {
    TSysStyleManager::HookNotifyCallback = nullptr;
    TSysStyleManager::StylingEnabled = true;
    TSysStyleManager::IncludeVclControls = false;
    TSysStyleManager::ColorAllChildControls = true;
    TSysStyleManager::BeforeHookFilter = &DefaultBeforeHookFilter;
    TSysStyleManager::UnRegisterSysStyleHook(QString::fromUtf16(HookedClass));
    UseSystemStyle();
}

HWND StyleHookTest::Make(const char16_t* Class, DWORD Style, HWND Parent, DWORD ExStyle, int W, int H) {
    return CreateWindowExW(ExStyle, Class, u"", Style, 10, 10, W, H, Parent, nullptr, nullptr, nullptr);
}

RecordingHook* StyleHookTest::HookOf(HWND Wnd) {
    auto& hooked = TSysStyleManager::HookedWindows();
    auto it = hooked.find(Wnd);
    return it == hooked.end() ? nullptr : dynamic_cast<RecordingHook*>(it->second.get());
}

bool StyleHookTest::Posted(HWND Wnd, UINT Msg) {
    MSG m;
    return PeekMessageW(&m, Wnd, Msg, Msg, PM_NOREMOVE) && m.hwnd == Wnd;
}

} // namespace styletest
