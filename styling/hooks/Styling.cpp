// styling/hooks/Styling.cpp
#include "styling/hooks/Styling.h"

#include "styling/hooking/CPUID.h"
#include "styling/hooks/ComCtrlHooks.h"
#include "styling/hooks/Hooks.h"
#include "styling/hooks/PopupMenuHook.h"
#include "styling/hooks/ScreenTips.h"
#include "styling/hooks/ScrollingHooks.h"
#include "styling/hooks/StdCtrlHooks.h"
#include "styling/hooks/SysControls.h"
#include "styling/hooks/UxTheme.h"

namespace styling {

namespace {

int Starts = 0;

struct TUnit {
    void (*Init)();
    void (*Final)();
};

// The start-up order; the end runs it backwards. Menus, dialogs with scroll bars, standard and
// common controls join with their hooks.
const TUnit Units[] = {
    {&InitCpuFeatures, nullptr},                                           // processor features
    {nullptr, nullptr},                                                    // instruction decoder
    {nullptr, nullptr},                                                    // hooking engine (made on first use)
    {nullptr, nullptr},                                                    // drawing helpers
    {nullptr, nullptr},                                                    // glyph font: made on first use (it needs the GUI)
    {nullptr, nullptr},                                                    // window helpers
    {nullptr, nullptr},                                                    // base hooks
    {&TSysStyleManager::Initialize, &TSysStyleManager::Finalize},          // manager and creation hook
    {nullptr, nullptr},                                                    // registrations
    {&InstallUxThemeDetours, &RemoveUxThemeDetours},                       // theme-function interception
    {&InstallApiDetours, &RemoveApiDetours},                               // colour and drawing interception
    {&InitPopupMenus, &FinalPopupMenus},                                   // popup menus
    {&RegisterFormStyleHooks, &UnRegisterFormStyleHooks},                  // dialogs and scroll bars
    {&RegisterStdCtrlStyleHooks, &UnRegisterStdCtrlStyleHooks},            // standard controls
    {&InitScreenTips, &FinalScreenTips},                                   // tooltips
    {&RegisterComCtrlStyleHooks, &UnRegisterComCtrlStyleHooks},            // common controls
};

} // namespace

void Initialize() {
    if (Starts++ > 0) return;
    for (const TUnit& unit : Units)
        if (unit.Init) unit.Init();
}

void Finalize() {
    if (Starts == 0 || --Starts > 0) return;
    for (auto it = std::rbegin(Units); it != std::rend(Units); ++it)
        if (it->Final) it->Final();
}

bool Initialized() { return Starts > 0; }

} // namespace styling
