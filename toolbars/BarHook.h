// toolbars/BarHook.h: lets objects of the bar framework watch the thread's messages without each
// installing hooks of its own. Every registered procedure hears the events it asked for; each of the
// three platform hooks is installed at most once per thread, counted per user, and removed with its
// last user.
#pragma once
#include "rtl/Classes.h"
#include "rtl/System.h"
#include "win/windows.h"

namespace bars {

enum THookProcCode { hpSendActivate, hpSendActivateApp, hpSendWindowPosChanged, hpPreDestroy, hpGetMessage };
using THookProcCodes = rtl::TSet<THookProcCode>;

enum THookType { htCallWndProc, htCBT, htGetMessage };
using THookTypes = rtl::TSet<THookType>;

using THookProc = void (*)(THookProcCode Code, HWND Wnd, WPARAM WParam, LPARAM LParam);

// Registers Proc for User; the codes a procedure hears are those of its first registration, later
// users of the same procedure only add hook types for themselves.
void InstallHookProcedure(rtl::TObject* User, THookProc Proc, THookProcCodes Codes);
// Drops User's registration of Proc; an unknown user or procedure changes nothing.
void UninstallHookProcedure(rtl::TObject* User, THookProc Proc);

THookTypes HookTypesForCodes(THookProcCodes Codes);
// Counts Types for a user that has UserTypes so far (each type once per user) and installs every
// hook of UserTypes that is not installed yet.
void AcquireHookTypes(THookTypes Types, THookTypes& UserTypes);
// Counts Types down (unless Force) and unhooks those no user needs any more (all of them with Force).
void ReleaseHookTypes(THookTypes Types, bool Force);

// What the thread has installed, for tests and diagnostics.
struct THookState {
    bool InfoExists = false;           // ThreadHookInfo
    bool RegistrationsExist = false;   // HookRegistrations
    HHOOK Handles[3] = {};
    int Counts[3] = {};
};
THookState CurrentHookState();

} // namespace bars
