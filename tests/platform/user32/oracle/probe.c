/* The message-trace probe: runs one scenario of scenarios.h against the real platform and writes its
 * trace. Built with mingw-w64 and run under Wine by scripts/make-message-oracle.sh:
 *   probe.exe <scenario> <out.txt>     (or probe.exe --list) */
#include <windows.h>
#include <string.h>

#define T(s) L##s
static void OracleSleep(DWORD ms) {
    Sleep(ms);
}

static void OracleClick(int x, int y) {
    INPUT in[2];
    SetCursorPos(x, y);
    memset(in, 0, sizeof in);
    in[0].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].type = INPUT_MOUSE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Sleep(50);
}

/* The pointer moved to a screen point, with no button. */
static void OracleMove(int x, int y) {
    INPUT in;
    SetCursorPos(x, y);
    memset(&in, 0, sizeof in);
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof(INPUT));
    Sleep(50);
}

static void OracleDrag(int x0, int y0, int x1, int y1) {
    INPUT in;
    memset(&in, 0, sizeof in);
    in.type = INPUT_MOUSE;
    SetCursorPos(x0, y0);
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof(INPUT));
    Sleep(50);
    SetCursorPos(x1, y1);
    Sleep(50);
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(INPUT));
    Sleep(50);
}

static void OracleKey(UINT vk, BOOL down) {
    INPUT in;
    memset(&in, 0, sizeof in);
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = (WORD)vk;
    in.ki.wScan = (WORD)MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    if (!down) in.ki.dwFlags = KEYEVENTF_KEYUP;
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME || vk == VK_END ||
        vk == VK_DELETE)
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &in, sizeof(INPUT));
    Sleep(10);
}

#include "scenarios.h"
#include "menus.h"
#include "menubar.h"
#include "menuframe.h"

int main(int argc, char** argv) {
    FILE* out;
    size_t i;
    if (argc == 2 && strcmp(argv[1], "--list") == 0) {
        for (i = 0; i < sizeof oracleScenarios / sizeof oracleScenarios[0]; ++i) printf("%s\n", oracleScenarios[i].name);
        for (i = 0; i < sizeof oracleControlScenarios / sizeof oracleControlScenarios[0]; ++i)
            printf("%s\n", oracleControlScenarios[i].name);
        for (i = 0; i < sizeof oracleMouseScenarios / sizeof oracleMouseScenarios[0]; ++i)
            printf("%s\n", oracleMouseScenarios[i].name);
        for (i = 0; i < sizeof oracleLoopScenarios / sizeof oracleLoopScenarios[0]; ++i)
            printf("%s\n", oracleLoopScenarios[i].name);
        for (i = 0; i < sizeof oracleDockScenarios / sizeof oracleDockScenarios[0]; ++i)
            printf("%s\n", oracleDockScenarios[i].name);
        for (i = 0; i < sizeof oracleEditorScenarios / sizeof oracleEditorScenarios[0]; ++i)
            printf("%s\n", oracleEditorScenarios[i].name);
        for (i = 0; i < sizeof oracleMenuScenarios / sizeof oracleMenuScenarios[0]; ++i)
            printf("%s\n", oracleMenuScenarios[i].name);
        for (i = 0; i < sizeof oracleMenuBarScenarios / sizeof oracleMenuBarScenarios[0]; ++i)
            printf("%s\n", oracleMenuBarScenarios[i].name);
        for (i = 0; i < sizeof oracleMenuFrameScenarios / sizeof oracleMenuFrameScenarios[0]; ++i)
            printf("%s\n", oracleMenuFrameScenarios[i].name);
        return 0;
    }
    if (argc != 3) {
        fprintf(stderr, "usage: probe.exe <scenario> <out.txt> | --list\n");
        return 2;
    }
    if (!OracleRun(argv[1]) && !OracleRunMenu(argv[1]) && !OracleRunMenuBar(argv[1]) && !OracleRunMenuFrame(argv[1])) {
        fprintf(stderr, "probe: no scenario %s\n", argv[1]);
        return 2;
    }
    out = fopen(argv[2], "wb");
    if (!out) return 1;
    fwrite(oracleLog, 1, oracleLogLen, out);
    fclose(out);
    return 0;
}
