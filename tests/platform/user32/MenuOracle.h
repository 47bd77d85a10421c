// tests/platform/user32/MenuOracle.h: the menu loops of oracle/menus.h run on the stand-in, with the
// probe's input (sleeps on the manual clock, clicks, moves and keys through the input queue), and the
// traces the real platform recorded for them.
#pragma once
#include "win/windows.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <string>

#define T(s) u##s
static void OracleSleep(DWORD ms) { TwAdvanceClock(ms); }
static void OracleClick(int x, int y) {
    TwInputMouseMove(x, y);
    TwInputMouseButton(x, y, TW_BUTTON_LEFT, TRUE);
    TwInputMouseButton(x, y, TW_BUTTON_LEFT, FALSE);
}
static void OracleMove(int x, int y) { TwInputMouseMove(x, y); }
static void OracleDrag(int x0, int y0, int x1, int y1) {
    OracleClick(x0, y0);
    OracleClick(x1, y1);
}
static void OracleKey(UINT vk, BOOL down) { TwInputKey(vk, down, FALSE, nullptr, FALSE); }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"  // the window scenarios' runner is OracleTraceTest's
#include "tests/platform/user32/oracle/scenarios.h"
#include "tests/platform/user32/oracle/menus.h"
#pragma GCC diagnostic pop
#undef T

// The trace the real platform gave for a scenario, from the folder of traces; empty when there is none.
inline std::string ReadMenuTrace(const std::string& Traces, const std::string& Name) {
    std::ifstream f(Traces + "/" + Name + ".txt", std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}
