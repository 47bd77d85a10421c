/* tests/base/oracle/probe.c: the system's names of the languages and code pages the version-resource
 * tests use, from VerLanguageNameW and GetCPInfoExW, written as "version-texts.txt": one line per
 * name, "language <hex id>\t<name>" or "codepage <number>\t<name>", the name as UTF-8, "-" when the
 * call fails. */
#include <windows.h>
#include <stdio.h>

static void put(FILE *f, const char *kind, const char *id, const WCHAR *name, BOOL ok) {
    char utf8[1024];
    if (!ok) {
        fprintf(f, "%s %s\t-\n", kind, id);
        return;
    }
    WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, NULL, NULL);
    fprintf(f, "%s %s\t%s\n", kind, id, utf8);
}

int main(void) {
    static const DWORD languages[] = {0x0409, 0x0407, 0x0411, 0x0000};
    static const UINT pages[] = {1200, 1252, 437, 932, 12345};
    FILE *f = fopen("version-texts.txt", "wb");
    size_t i;
    char id[16];
    if (!f) return 1;
    for (i = 0; i < sizeof languages / sizeof *languages; ++i) {
        WCHAR name[256];
        const DWORD n = VerLanguageNameW(languages[i], name, 256);
        sprintf(id, "%04lx", (unsigned long)languages[i]);
        put(f, "language", id, name, n != 0);
    }
    for (i = 0; i < sizeof pages / sizeof *pages; ++i) {
        CPINFOEXW info;
        const BOOL ok = GetCPInfoExW(pages[i], 0, &info);
        sprintf(id, "%u", pages[i]);
        put(f, "codepage", id, info.CodePageName, ok);
    }
    fclose(f);
    printf("probe: version-texts\n");
    return 0;
}
