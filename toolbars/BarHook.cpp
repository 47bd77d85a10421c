// toolbars/BarHook.cpp: the per-thread hook table and the three relays.
#include "toolbars/BarHook.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace bars {

namespace {

constexpr THookType AllHookTypes[] = {htCallWndProc, htCBT, htGetMessage};
constexpr int HookIds[] = {WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE};

struct THookUserData {
    std::unique_ptr<THookUserData> Prev;  // the next older registration of the same procedure
    rtl::TObject* User = nullptr;
    THookTypes InstalledHookTypes;
};

struct THookProcData {
    THookProc Proc = nullptr;
    THookProcCodes Codes;
    std::unique_ptr<THookUserData> LastUserData;  // newest registration
    bool Removed = false;                         // left the list while a relay may still hold it
};

struct THookInfo {
    HHOOK Handles[3] = {};
    int Counts[3] = {};
};

// A relay walks a copy of the list that shares the entries, so a procedure that unregisters itself
// or another one cannot free what the walk is about to read; removed entries are skipped.
using TRegistrations = std::vector<std::shared_ptr<THookProcData>>;

struct TThreadHooks {
    std::unique_ptr<THookInfo> ThreadHookInfo;
    std::unique_ptr<TRegistrations> HookRegistrations;
    // The thread that ends the program takes its hooks down with it.
    ~TThreadHooks() {
        if (ThreadHookInfo) ReleaseHookTypes(THookTypes{htCallWndProc, htCBT, htGetMessage}, true);
    }
};

TThreadHooks& Hooks() {
    thread_local TThreadHooks hooks;
    return hooks;
}

void Relay(THookProcCode Code, HWND Wnd, WPARAM WParam, LPARAM LParam) {
    const TRegistrations snapshot = *Hooks().HookRegistrations;
    for (const auto& data : snapshot) {
        if (data->Removed || !data->Codes.Contains(Code)) continue;
        try {
            data->Proc(Code, Wnd, WParam, LParam);
        } catch (...) {
            // A watcher's failure must not reach the message it watched, nor stop the other watchers.
        }
    }
}

HHOOK OwnHandle(THookType Type) {
    const auto& info = Hooks().ThreadHookInfo;
    return info ? info->Handles[Type] : nullptr;
}

LRESULT CALLBACK CallWndProcRelay(int Code, WPARAM WParam, LPARAM LParam) {
    const HHOOK own = OwnHandle(htCallWndProc);
    if (Hooks().HookRegistrations && Code == HC_ACTION) {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(LParam);
        if (msg->message == WM_ACTIVATE)
            Relay(hpSendActivate, msg->hwnd, msg->wParam, msg->lParam);
        else if (msg->message == WM_ACTIVATEAPP)
            Relay(hpSendActivateApp, msg->hwnd, msg->wParam, msg->lParam);
        else if (msg->message == WM_WINDOWPOSCHANGED)
            Relay(hpSendWindowPosChanged, msg->hwnd, msg->wParam, msg->lParam);
    }
    return CallNextHookEx(own, Code, WParam, LParam);
}

LRESULT CALLBACK CBTRelay(int Code, WPARAM WParam, LPARAM LParam) {
    const HHOOK own = OwnHandle(htCBT);
    if (Hooks().HookRegistrations && Code == HCBT_DESTROYWND)
        Relay(hpPreDestroy, reinterpret_cast<HWND>(WParam), 0, 0);
    return CallNextHookEx(own, Code, WParam, LParam);
}

LRESULT CALLBACK GetMessageRelay(int Code, WPARAM WParam, LPARAM LParam) {
    const HHOOK own = OwnHandle(htGetMessage);
    if (Hooks().HookRegistrations && Code == HC_ACTION) Relay(hpGetMessage, nullptr, WParam, LParam);
    return CallNextHookEx(own, Code, WParam, LParam);
}

constexpr HOOKPROC HookProcs[] = {CallWndProcRelay, CBTRelay, GetMessageRelay};

THookProcData* FindProc(THookProc Proc) {
    auto& list = Hooks().HookRegistrations;
    if (!list) return nullptr;
    for (const auto& data : *list)
        if (data->Proc == Proc) return data.get();
    return nullptr;
}

THookUserData* FindUser(THookProcData* Data, rtl::TObject* User) {
    for (THookUserData* u = Data->LastUserData.get(); u; u = u->Prev.get())
        if (u->User == User) return u;
    return nullptr;
}

} // namespace

THookTypes HookTypesForCodes(THookProcCodes Codes) {
    THookTypes types;
    if (Codes.Contains(hpSendActivate) || Codes.Contains(hpSendActivateApp) || Codes.Contains(hpSendWindowPosChanged))
        types.Include(htCallWndProc);
    if (Codes.Contains(hpPreDestroy)) types.Include(htCBT);
    if (Codes.Contains(hpGetMessage)) types.Include(htGetMessage);
    return types;
}

void AcquireHookTypes(THookTypes Types, THookTypes& UserTypes) {
    auto& info = Hooks().ThreadHookInfo;
    if (!info) info = std::make_unique<THookInfo>();
    for (THookType t : AllHookTypes)
        if (Types.Contains(t) && !UserTypes.Contains(t)) {
            ++info->Counts[t];
            UserTypes.Include(t);
        }
    // A hook that could not be installed before is tried again by the next user that needs it.
    for (THookType t : AllHookTypes)
        if (UserTypes.Contains(t) && !info->Handles[t])
            info->Handles[t] = SetWindowsHookExW(HookIds[t], HookProcs[t], nullptr, GetCurrentThreadId());
}

void ReleaseHookTypes(THookTypes Types, bool Force) {
    auto& info = Hooks().ThreadHookInfo;
    if (!info) return;
    for (THookType t : AllHookTypes) {
        if (!Types.Contains(t)) continue;
        if (!Force) --info->Counts[t];
        if (info->Handles[t] && (Force || info->Counts[t] <= 0)) {
            UnhookWindowsHookEx(info->Handles[t]);
            info->Handles[t] = nullptr;
        }
    }
    for (THookType t : AllHookTypes)
        if (info->Counts[t] != 0 || info->Handles[t]) return;
    info.reset();
}

void InstallHookProcedure(rtl::TObject* User, THookProc Proc, THookProcCodes Codes) {
    auto& list = Hooks().HookRegistrations;
    if (!list) list = std::make_unique<TRegistrations>();
    THookUserData* user = nullptr;
    if (THookProcData* data = FindProc(Proc)) {
        user = FindUser(data, User);
        if (!user) {
            auto fresh = std::make_unique<THookUserData>();
            fresh->User = User;
            fresh->Prev = std::move(data->LastUserData);
            data->LastUserData = std::move(fresh);
            user = data->LastUserData.get();
        }
    } else {
        auto fresh = std::make_shared<THookProcData>();
        fresh->Proc = Proc;
        fresh->Codes = Codes;
        fresh->LastUserData = std::make_unique<THookUserData>();
        fresh->LastUserData->User = User;
        user = fresh->LastUserData.get();
        list->push_back(std::move(fresh));
    }
    AcquireHookTypes(HookTypesForCodes(Codes), user->InstalledHookTypes);
}

void UninstallHookProcedure(rtl::TObject* User, THookProc Proc) {
    auto& list = Hooks().HookRegistrations;
    THookProcData* data = FindProc(Proc);
    if (!data || !FindUser(data, User)) return;
    std::unique_ptr<THookUserData> gone;
    if (data->LastUserData->User == User) {
        gone = std::move(data->LastUserData);
        data->LastUserData = std::move(gone->Prev);
    } else {
        for (THookUserData* u = data->LastUserData.get(); u->Prev; u = u->Prev.get())
            if (u->Prev->User == User) {
                gone = std::move(u->Prev);
                u->Prev = std::move(gone->Prev);
                break;
            }
    }
    const THookTypes types = gone->InstalledHookTypes;
    gone.reset();
    if (!data->LastUserData) {
        data->Removed = true;
        list->erase(std::find_if(list->begin(), list->end(), [data](const auto& d) { return d.get() == data; }));
    }
    ReleaseHookTypes(types, false);
    if (list->empty()) list.reset();
}

THookState CurrentHookState() {
    THookState state;
    const auto& hooks = Hooks();
    state.RegistrationsExist = hooks.HookRegistrations != nullptr;
    if (hooks.ThreadHookInfo) {
        state.InfoExists = true;
        for (THookType t : AllHookTypes) {
            state.Handles[t] = hooks.ThreadHookInfo->Handles[t];
            state.Counts[t] = hooks.ThreadHookInfo->Counts[t];
        }
    }
    return state;
}

} // namespace bars
