// styling/hooks/SysControls.h: the style-hook manager: which foreign windows of the process get a
// style hook, decided by a window-creation hook, and the live and deferred hooks.
#pragma once
#include <map>
#include <memory>
#include <vector>

#include "rtl/System.h"
#include "styling/hooks/SysStyleHook.h"
#include "win/windows.h"

namespace styling {

struct TChildControlInfo {
    HWND Parent = nullptr;
    LONG_PTR ParentStyle = 0;
    TSysStyleHookClass StyleHookClass = nullptr;
};

// What the creation hook knows of a new window of a registered class. The texts live for the call.
struct TSysWindowInfo {
    HWND Handle = nullptr;
    HWND Parent = nullptr;
    LONG_PTR Style = 0;
    LONG_PTR ParentStyle = 0;
    LONG_PTR ExStyle = 0;
    LONG_PTR ParentExStyle = 0;
    const rtl::String* ClassName = nullptr;
    const rtl::String* ParentClassName = nullptr;
};

using TBeforeHookFilter = bool (*)(const TSysWindowInfo& Info);
// Action 0: a hook was made or a child deferred; 1: a hooked window is being destroyed.
using THookNotifyCallback = void (*)(int Action, const TSysWindowInfo& Info);

class TSysStyleManager {
public:
    // Starts and ends the manager: switches, maps and the thread's creation hook. Each runs once per
    // start; the end frees every live hook, which gives each window its own procedure back.
    static void Initialize();
    static void Finalize();
    static bool Active() { return FHook != nullptr || FStarted; }

    // Keys are lower-case class names; the last registration for a name wins.
    static void RegisterSysStyleHook(const rtl::String& SysControlClass, TSysStyleHookClass SysStyleHookClass);
    static void UnRegisterSysStyleHook(const rtl::String& SysControlClass, TSysStyleHookClass SysStyleHookClass = nullptr);
    static bool IsRegistered(const rtl::String& SysControlClass);

    static const std::map<rtl::String, TSysStyleHookClass>& HookClasses() { return FHookClasses; }
    static std::map<HWND, std::unique_ptr<TSysStyleHook>>& HookedWindows() { return FHookedWindows; }
    static std::map<HWND, TChildControlInfo>& DeferredChildren() { return FDeferredChildren; }
    // The deferred children of Parent that no deferred-hook message has taken yet, in the order they
    // were made; they are taken now.
    static std::vector<HWND> TakeDeferredChildren(HWND Parent);
    // A window is gone: its deferred entry, unless it is hooked, and those of its deferred children.
    static void ForgetDeferred(HWND W);

    static inline TBeforeHookFilter BeforeHookFilter = nullptr;
    static inline THookNotifyCallback HookNotifyCallback = nullptr;
    static inline bool StylingEnabled = true;
    static inline bool IncludeVclControls = false;
    static inline bool ColorAllChildControls = true;
    static inline bool ReplaceDialogIcons = false;

    // The thread's creation hook (open for tests that want to see it).
    static LRESULT CALLBACK CbtHookProc(int Code, WPARAM wParam, LPARAM lParam);

private:
    static void HookWindow(HWND W, const TSysWindowInfo& Info, const rtl::String& Name);
    static void DeferChildWindow(HWND W, const TSysWindowInfo& Info, const rtl::String& Name);
    static void PurgeRemovedHooks();

    static inline HHOOK FHook = nullptr;
    static inline bool FStarted = false;
    static inline std::map<rtl::String, TSysStyleHookClass> FHookClasses;
    // Whether a class, by its atom, has a registered hook: most windows made are of classes nobody
    // hooks, told apart without their name. Emptied whenever the registrations change.
    static inline std::map<ATOM, bool> FRegisteredAtoms;
    static inline std::map<HWND, std::unique_ptr<TSysStyleHook>> FHookedWindows;
    static inline std::map<HWND, TChildControlInfo> FDeferredChildren;
    // The same children by parent: a parent's message, and its end, touch only its own children.
    struct TParentChildren {
        std::vector<HWND> Children;
        size_t Taken = 0;
    };
    static inline std::map<HWND, TParentChildren> FChildrenByParent;
};

// Styling applies now: the active style is custom and the master switch is on.
bool StylingActive();
// False for a window under a root that holds a shell view; false for list views, track bars and
// toolbars inside the shell's own frames.
bool DefaultBeforeHookFilter(const TSysWindowInfo& Info);
// The first window of that class (exact case) among Parent's descendants, depth first; 0 for none.
HWND FindWindowByClass(HWND Parent, const rtl::String& ClassName);

} // namespace styling
