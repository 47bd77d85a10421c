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

#include "scenarios.h"

int main(int argc, char** argv) {
    FILE* out;
    size_t i;
    if (argc == 2 && strcmp(argv[1], "--list") == 0) {
        for (i = 0; i < sizeof oracleScenarios / sizeof oracleScenarios[0]; ++i) printf("%s\n", oracleScenarios[i].name);
        return 0;
    }
    if (argc != 3) {
        fprintf(stderr, "usage: probe.exe <scenario> <out.txt> | --list\n");
        return 2;
    }
    if (!OracleRun(argv[1])) {
        fprintf(stderr, "probe: no scenario %s\n", argv[1]);
        return 2;
    }
    out = fopen(argv[2], "wb");
    if (!out) return 1;
    fwrite(oracleLog, 1, oracleLogLen, out);
    fclose(out);
    return 0;
}
