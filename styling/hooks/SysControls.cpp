// styling/hooks/SysControls.cpp
#include "styling/hooks/SysControls.h"

#include <algorithm>

#include "styling/hooks/StyleMisc.h"
#include "vcl/Controls.h"
#include "vcl/Themes.h"

namespace styling {

using namespace vcl;

bool StylingActive() {
    TCustomStyleServices* style = TStyleManager::ActiveStyle();
    return TSysStyleManager::StylingEnabled && style && !style->IsSystemStyle();
}

void TSysStyleManager::Initialize() {
    if (FStarted) return;
    FStarted = true;
    FHook = nullptr;
    BeforeHookFilter = &DefaultBeforeHookFilter;
    HookNotifyCallback = nullptr;
    ColorAllChildControls = true;
    StylingEnabled = true;
    ReplaceDialogIcons = false;
    IncludeVclControls = false;
    FHook = SetWindowsHookExW(WH_CBT, &TSysStyleManager::CbtHookProc, nullptr, GetCurrentThreadId());
}

void TSysStyleManager::Finalize() {
    if (!FStarted) return;
    FStarted = false;
    if (FHook) UnhookWindowsHookEx(FHook);
    FHook = nullptr;
    FHookClasses.clear();
    FRegisteredAtoms.clear();
    // Freeing each hook gives its window its own procedure back.
    auto hooks = std::move(FHookedWindows);
    FHookedWindows.clear();
    hooks.clear();
    FDeferredChildren.clear();
    FChildrenByParent.clear();
}

void TSysStyleManager::RegisterSysStyleHook(const rtl::String& SysControlClass, TSysStyleHookClass SysStyleHookClass) {
    FHookClasses[SysControlClass.toLower()] = SysStyleHookClass;
    FRegisteredAtoms.clear();
}

void TSysStyleManager::UnRegisterSysStyleHook(const rtl::String& SysControlClass, TSysStyleHookClass) {
    FHookClasses.erase(SysControlClass.toLower());
    FRegisteredAtoms.clear();
}

bool TSysStyleManager::IsRegistered(const rtl::String& SysControlClass) {
    return FHookClasses.count(SysControlClass.toLower()) != 0;
}

LRESULT CALLBACK TSysStyleManager::CbtHookProc(int Code, WPARAM wParam, LPARAM lParam) {
    // The answer of the chain stands: this hook never refuses a creation or a destruction.
    const LRESULT result = CallNextHookEx(FHook, Code, wParam, lParam);
    if (!StylingEnabled) return result;
    if (Code == HCBT_CREATEWND) {
        if (!StylingActive()) return result;
        const HWND w = reinterpret_cast<HWND>(wParam);
        const auto* cbt = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        if (!cbt || !cbt->lpcs) return result;
        const ATOM atom = ATOM(GetClassLongPtrW(w, GCW_ATOM));
        auto known = FRegisteredAtoms.find(atom);
        if (known == FRegisteredAtoms.end() || !atom)
            known = FRegisteredAtoms.insert_or_assign(atom, FHookClasses.count(GetWindowClassName(w).toLower()) != 0).first;
        if (!known->second) return result;
        const rtl::String name = GetWindowClassName(w).toLower();
        auto cls = FHookClasses.find(name);
        if (cls == FHookClasses.end()) return result;
        const CREATESTRUCTW& cs = *cbt->lpcs;
        const HWND p = cs.hwndParent;
        const rtl::String parentName = p ? GetWindowClassName(p).toLower() : rtl::String();
        TSysWindowInfo info;
        info.Handle = w;
        info.Parent = p;
        info.Style = LONG_PTR(int32_t(cs.style));
        info.ParentStyle = p ? GetWindowLongPtrW(p, GWL_STYLE) : 0;
        info.ExStyle = LONG_PTR(uint32_t(cs.dwExStyle));
        info.ParentExStyle = p ? GetWindowLongPtrW(p, GWL_EXSTYLE) : 0;
        info.ClassName = &name;
        info.ParentClassName = &parentName;
        if (!IncludeVclControls && IsVclControlHandle(w)) return result;
        if (BeforeHookFilter && !BeforeHookFilter(info)) return result;
        const uint32_t style = uint32_t(cs.style);
        if (style & DS_CONTROL) {
            HookWindow(w, info, name);
            PostMessageW(w, CM_HOOK_DEFERRED, 0, 0);
        } else if (style & WS_POPUP) {
            HookWindow(w, info, name);
        } else if (style & WS_CHILD) {
            if (FHookedWindows.count(p) && !IsVclControlHandle(p)) DeferChildWindow(w, info, name);
            else HookWindow(w, info, name);
        } else {
            HookWindow(w, info, name);
        }
    } else if (Code == HCBT_DESTROYWND) {
        const HWND w = reinterpret_cast<HWND>(wParam);
        if (FHookedWindows.count(w) && HookNotifyCallback) {
            TSysWindowInfo info;
            info.Handle = w;
            HookNotifyCallback(1, info);
        }
    }
    return result;
}

void TSysStyleManager::HookWindow(HWND W, const TSysWindowInfo& Info, const rtl::String& Name) {
    PurgeRemovedHooks();
    // A handle value met again: the dead window's hook goes first.
    FHookedWindows.erase(W);
    std::unique_ptr<TSysStyleHook> hook;
    try {
        hook.reset(FHookClasses[Name](W));
    } catch (const std::exception&) {
        return;  // the window stays unhooked and its creation goes on
    }
    FHookedWindows[W] = std::move(hook);
    SendMessageW(W, CM_HOOKED_DIRECTLY, 0, 0);
    if (HookNotifyCallback) HookNotifyCallback(0, Info);
}

void TSysStyleManager::DeferChildWindow(HWND W, const TSysWindowInfo& Info, const rtl::String& Name) {
    TChildControlInfo child;
    child.Parent = Info.Parent;
    child.ParentStyle = Info.ParentStyle;
    child.StyleHookClass = FHookClasses[Name];
    FDeferredChildren[W] = child;
    FChildrenByParent[Info.Parent].Children.push_back(W);
    if (HookNotifyCallback) HookNotifyCallback(0, Info);
}

std::vector<HWND> TSysStyleManager::TakeDeferredChildren(HWND Parent) {
    auto it = FChildrenByParent.find(Parent);
    if (it == FChildrenByParent.end()) return {};
    TParentChildren& p = it->second;
    std::vector<HWND> taken(p.Children.begin() + ptrdiff_t(p.Taken), p.Children.end());
    p.Taken = p.Children.size();
    return taken;
}

void TSysStyleManager::ForgetDeferred(HWND W) {
    if (!FHookedWindows.count(W)) {
        auto own = FDeferredChildren.find(W);
        if (own != FDeferredChildren.end()) {
            auto siblings = FChildrenByParent.find(own->second.Parent);
            if (siblings != FChildrenByParent.end()) {
                auto& list = siblings->second.Children;
                const auto at = std::find(list.begin(), list.end(), W);
                if (at != list.end()) {
                    if (size_t(at - list.begin()) < siblings->second.Taken) --siblings->second.Taken;
                    list.erase(at);
                }
            }
            FDeferredChildren.erase(own);
        }
    }
    auto children = FChildrenByParent.find(W);
    if (children == FChildrenByParent.end()) return;
    for (HWND child : children->second.Children) {
        auto entry = FDeferredChildren.find(child);
        if (entry != FDeferredChildren.end() && entry->second.Parent == W) FDeferredChildren.erase(entry);
    }
    FChildrenByParent.erase(children);
}

void TSysStyleManager::PurgeRemovedHooks() {
    for (auto it = FHookedWindows.begin(); it != FHookedWindows.end();)
        it = it->second->MustRemove() ? FHookedWindows.erase(it) : std::next(it);
}

HWND FindWindowByClass(HWND Parent, const rtl::String& ClassName) {
    for (HWND w = GetWindow(Parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetWindowClassName(w) == ClassName) return w;
        // Every child's own descendants are searched, the first child's too.
        if (GetWindow(w, GW_CHILD))
            if (HWND found = FindWindowByClass(w, ClassName)) return found;
    }
    return nullptr;
}

bool DefaultBeforeHookFilter(const TSysWindowInfo& Info) {
    const HWND root = GetAncestor(Info.Parent, GA_ROOT);
    // No window of a class that is not registered: the search over the root's every descendant (a
    // walk per window made, so a long dialog's children would cost the square of their number) runs
    // only once a shell view's class exists. The class table here is the process's.
    WNDCLASSEXW shellView{};
    shellView.cbSize = sizeof shellView;
    if (root && GetClassInfoExW(nullptr, u"DirectUIHWND", &shellView) &&
        FindWindowByClass(root, QStringLiteral("DirectUIHWND")))
        return false;
    const rtl::String& cls = *Info.ClassName;
    const rtl::String parent = Info.ParentClassName ? *Info.ParentClassName : rtl::String();
    auto same = [](const rtl::String& A, const char* B) { return A.compare(QLatin1String(B), Qt::CaseInsensitive) == 0; };
    if (same(cls, "SysListView32")) return !same(parent, "listviewpopup");
    if (same(cls, "msctls_trackbar32")) return !same(parent, "ViewControlClass");
    if (same(cls, "ToolbarWindow32"))
        return !same(parent, "ViewControlClass") && !(root && FindWindowByClass(root, QStringLiteral("ReBarWindow32")));
    return true;
}

} // namespace styling
