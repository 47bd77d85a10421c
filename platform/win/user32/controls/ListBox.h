// win/user32/controls/ListBox.h: how a combo box and its drop-down list talk (class-private messages).
#pragma once

#include "win/user32/winctrl.h"

namespace twuser::controls {

// To the combo box from its list: a list notification (wParam = LBN_* code).
constexpr UINT TW_CBLM_LISTNOTIFY = 0x7F00;
// To the combo box from its dropped list: a mouse message (wParam) at a point of the list (lParam).
constexpr UINT TW_CBLM_LISTMOUSE = 0x7F01;
// To the list: highlight item wParam (the item under the mouse in a dropped list).
constexpr UINT TW_LBM_HOTITEM = 0x7F10;
// To the list: the item at the client point lParam, or -1.
constexpr UINT TW_LBM_ITEMAT = 0x7F11;
// To the list: the height of all its items together.
constexpr UINT TW_LBM_TOTALHEIGHT = 0x7F12;

LRESULT ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool comboList);

} // namespace twuser::controls
