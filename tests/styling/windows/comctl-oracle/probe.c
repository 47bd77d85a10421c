/* tests/styling/windows/comctl-oracle/probe.c: records what real common controls answer to the
 * queries of the style hooks, for the doubles of tests/support/windows/ComCtlDoubles to replay. Built
 * with mingw-w64 and run under Wine by scripts/make-comctl-oracle.sh; writes one table per case into
 * the current folder. Lines: "<message hex> <wparam> <kind> <values>" (see LoadDoubleTable). */
#define _WIN32_IE 0x0600
#define _WIN32_WINNT 0x0601
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <stdio.h>
#include <string.h>

static HWND host;
static FILE* out;

static void Open(const char* name) {
    char path[128];
    snprintf(path, sizeof path, "%s.txt", name);
    out = fopen(path, "w");
}

static void Close(void) {
    fclose(out);
    out = 0;
}

static void Result(UINT msg, WPARAM w, LRESULT r) { fprintf(out, "%x %u result %lld\n", msg, (unsigned)w, (long long)r); }

static void Rect(UINT msg, WPARAM w, const RECT* r) {
    fprintf(out, "%x %u rect %ld %ld %ld %ld\n", msg, (unsigned)w, r->left, r->top, r->right, r->bottom);
}

/* Texts are ASCII in every case. */
static void Text(UINT msg, WPARAM w, const WCHAR* t) {
    int i;
    fprintf(out, "%x %u text ", msg, (unsigned)w);
    for (i = 0; t[i]; ++i) fputc((char)t[i], out);
    fputc('\n', out);
}

static void RectQuery(HWND h, UINT msg, WPARAM w) {
    RECT r = {0, 0, 0, 0};
    if (msg == LVM_GETITEMRECT) r.left = LVIR_BOUNDS;
    if (SendMessageW(h, msg, w, (LPARAM)&r)) Rect(msg, w, &r);
}

static HWND Make(const WCHAR* cls, DWORD style, int w, int h) {
    HWND c = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, w, h, host, 0, 0, 0);
    return c;
}

/* ---- headers: reordered columns, formats, an image list, a split button ---- */
static void Headers(void) {
    static const WCHAR* texts[] = {L"Name", L"Size", L"Type", L"Date"};
    static const int formats[] = {HDF_STRING | HDF_SPLITBUTTON, HDF_STRING | HDF_RIGHT, HDF_STRING | HDF_CENTER | HDF_BITMAP | HDF_IMAGE,
                                  HDF_STRING | HDF_IMAGE};
    int order[4] = {2, 0, 3, 1}, i, n;
    HWND h = Make(WC_HEADERW, HDS_BUTTONS | HDS_DRAGDROP, 400, 24);
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 2, 0);
    HDITEMW item;
    ImageList_SetImageCount(list, 2);
    SendMessageW(h, HDM_SETIMAGELIST, 0, (LPARAM)list);
    for (i = 0; i < 4; ++i) {
        memset(&item, 0, sizeof item);
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH | HDI_IMAGE;
        item.pszText = (LPWSTR)texts[i];
        item.cxy = 80 + 10 * i;
        item.fmt = formats[i];
        item.iImage = i == 1 ? -1 : i % 2;
        SendMessageW(h, HDM_INSERTITEMW, i, (LPARAM)&item);
    }
    SendMessageW(h, HDM_SETORDERARRAY, 4, (LPARAM)order);
    Open("header");
    n = (int)SendMessageW(h, HDM_GETITEMCOUNT, 0, 0);
    Result(HDM_GETITEMCOUNT, 0, n);
    memset(order, 0, sizeof order);
    if (SendMessageW(h, HDM_GETORDERARRAY, 4, (LPARAM)order))
        fprintf(out, "%x 0 ints %d %d %d %d\n", HDM_GETORDERARRAY, order[0], order[1], order[2], order[3]);
    fprintf(out, "%x 0 result %d\n", HDM_GETIMAGELIST, SendMessageW(h, HDM_GETIMAGELIST, 0, 0) ? 1 : 0);
    for (i = 0; i < n; ++i) {
        WCHAR buffer[256];
        RectQuery(h, HDM_GETITEMRECT, i);
        RectQuery(h, HDM_GETITEMDROPDOWNRECT, i);
        memset(&item, 0, sizeof item);
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
        item.pszText = buffer;
        item.cchTextMax = 256;
        if (SendMessageW(h, HDM_GETITEMW, i, (LPARAM)&item)) {
            Result(HDM_GETITEMW, i, 1);
            Text(HDM_GETITEMW, i, buffer);
            fprintf(out, "%x %d format %x\n%x %d image %d\n", HDM_GETITEMW, i, item.fmt, HDM_GETITEMW, i, item.iImage);
        }
    }
    Close();
    DestroyWindow(h);
    ImageList_Destroy(list);
}

/* A list view with one column and Count items "Item 0", "Item 1", ... */
static HWND MakeList(DWORD style, int count) {
    HWND h = Make(WC_LISTVIEWW, style, 300, 200);
    LVCOLUMNW col;
    LVITEMW item;
    int i;
    memset(&col, 0, sizeof col);
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 120;
    col.pszText = L"Name";
    SendMessageW(h, LVM_INSERTCOLUMNW, 0, (LPARAM)&col);
    for (i = 0; i < count; ++i) {
        WCHAR text[32];
        swprintf(text, 32, L"Item %d", i);
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = text;
        SendMessageW(h, LVM_INSERTITEMW, 0, (LPARAM)&item);
    }
    return h;
}

/* ---- list views: how far LVM_SCROLL moves a report and a list view ---- */
static void ListScrollUnits(void) {
    static const struct {
        const char* name;
        DWORD style;
    } views[] = {{"report", LVS_REPORT}, {"list", LVS_LIST}};
    int v;
    FILE* units = fopen("listview-scroll.txt", "w");
    for (v = 0; v < 2; ++v) {
        HWND h = MakeList(views[v].style, 200);
        RECT r;
        SCROLLINFO si;
        int before, after;
        memset(&r, 0, sizeof r);
        r.left = LVIR_BOUNDS;
        SendMessageW(h, LVM_GETITEMRECT, 0, (LPARAM)&r);
        memset(&si, 0, sizeof si);
        si.cbSize = sizeof si;
        si.fMask = SIF_POS;
        GetScrollInfo(h, v == 0 ? SB_VERT : SB_HORZ, &si);
        before = si.nPos;
        /* Three items' worth in the unit the hook sends: pixels. */
        if (v == 0) SendMessageW(h, LVM_SCROLL, 0, 3 * (r.bottom - r.top));
        else SendMessageW(h, LVM_SCROLL, 3 * (r.right - r.left), 0);
        GetScrollInfo(h, v == 0 ? SB_VERT : SB_HORZ, &si);
        after = si.nPos;
        fprintf(units, "%s view=%ld item=%ldx%ld sent=%ld bar-moved=%d top=%ld\n", views[v].name,
                (long)SendMessageW(h, LVM_GETVIEW, 0, 0), r.right - r.left, r.bottom - r.top,
                v == 0 ? 3L * (r.bottom - r.top) : 3L * (r.right - r.left), after - before,
                (long)SendMessageW(h, LVM_GETTOPINDEX, 0, 0));
        /* Back to the start, then one unit of the scroll bar sent as it is. */
        SendMessageW(h, LVM_ENSUREVISIBLE, 0, FALSE);
        GetScrollInfo(h, v == 0 ? SB_VERT : SB_HORZ, &si);
        before = si.nPos;
        if (v == 0) SendMessageW(h, LVM_SCROLL, 0, 1);
        else SendMessageW(h, LVM_SCROLL, 1, 0);
        GetScrollInfo(h, v == 0 ? SB_VERT : SB_HORZ, &si);
        fprintf(units, "%s sent=1 bar-moved=%d top=%ld\n", views[v].name, si.nPos - before,
                (long)SendMessageW(h, LVM_GETTOPINDEX, 0, 0));
        DestroyWindow(h);
    }
    fclose(units);
}

/* ---- list views in each view: the view, the header and item 0's bounds ---- */
static void ListViews(void) {
    static const struct {
        const char* name;
        DWORD style;
    } views[] = {{"listview-icon", LVS_ICON}, {"listview-report", LVS_REPORT}, {"listview-smallicon", LVS_SMALLICON},
                 {"listview-list", LVS_LIST}};
    size_t v;
    for (v = 0; v < sizeof views / sizeof views[0]; ++v) {
        HWND h = MakeList(views[v].style, 1);
        Open(views[v].name);
        Result(LVM_GETVIEW, 0, SendMessageW(h, LVM_GETVIEW, 0, 0));
        /* The header window exists in every view; it shows in report view only. */
        {
            HWND header = (HWND)SendMessageW(h, LVM_GETHEADER, 0, 0);
            fprintf(out, "# header %s, %s\n", header ? "exists" : "none", header && IsWindowVisible(header) ? "visible" : "hidden");
        }
        RectQuery(h, LVM_GETITEMRECT, 0);
        Close();
        DestroyWindow(h);
    }
}

/* ---- trees: the colours a fresh tree answers, and after they are set ---- */
static void Tree(void) {
    HWND h = Make(WC_TREEVIEWW, 0, 200, 200);
    Open("treeview");
    Result(TVM_GETBKCOLOR, 0, SendMessageW(h, TVM_GETBKCOLOR, 0, 0));
    Result(TVM_GETTEXTCOLOR, 0, SendMessageW(h, TVM_GETTEXTCOLOR, 0, 0));
    Result(TVM_SETBKCOLOR, 0, SendMessageW(h, TVM_SETBKCOLOR, 0, 0x304050));
    fprintf(out, "# after TVM_SETBKCOLOR 0x304050 the getter answers %lld\n", (long long)SendMessageW(h, TVM_GETBKCOLOR, 0, 0));
    Close();
    DestroyWindow(h);
}

/* ---- tabs: bottom tabs, one scrolled out of view ---- */
static void Tabs(void) {
    int i, n;
    HWND h = Make(WC_TABCONTROLW, TCS_BOTTOM, 160, 100);
    TCITEMW item;
    for (i = 0; i < 6; ++i) {
        WCHAR text[32];
        swprintf(text, 32, L"Page number %d", i);
        memset(&item, 0, sizeof item);
        item.mask = TCIF_TEXT;
        item.pszText = text;
        SendMessageW(h, TCM_INSERTITEMW, i, (LPARAM)&item);
    }
    SendMessageW(h, TCM_SETCURSEL, 4, 0); /* scrolls the first tabs out of view */
    Open("tabs");
    n = (int)SendMessageW(h, TCM_GETITEMCOUNT, 0, 0);
    Result(TCM_GETITEMCOUNT, 0, n);
    Result(TCM_GETCURSEL, 0, SendMessageW(h, TCM_GETCURSEL, 0, 0));
    for (i = 0; i < n; ++i) {
        WCHAR buffer[255];
        RectQuery(h, TCM_GETITEMRECT, i);
        memset(&item, 0, sizeof item);
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 255;
        if (SendMessageW(h, TCM_GETITEMW, i, (LPARAM)&item)) {
            Result(TCM_GETITEMW, i, 1);
            Text(TCM_GETITEMW, i, item.pszText);
        }
    }
    Close();
    DestroyWindow(h);
}

/* ---- rebars: bands with and without text ---- */
static void Rebar(void) {
    int i, n;
    HWND h = Make(REBARCLASSNAMEW, RBS_VARHEIGHT, 400, 30);
    REBARBANDINFOW band;
    for (i = 0; i < 2; ++i) {
        HWND child = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, h, 0, 0, 0);
        memset(&band, 0, sizeof band);
        band.cbSize = REBARBANDINFOW_V6_SIZE;
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE | (i == 0 ? RBBIM_TEXT : 0);
        band.fStyle = RBBS_GRIPPERALWAYS;
        band.lpText = L"Address";
        band.hwndChild = child;
        band.cyMinChild = 20;
        band.cx = 200;
        SendMessageW(h, RB_INSERTBANDW, i, (LPARAM)&band);
    }
    Open("rebar");
    n = (int)SendMessageW(h, RB_GETBANDCOUNT, 0, 0);
    Result(RB_GETBANDCOUNT, 0, n);
    for (i = 0; i < n; ++i) {
        WCHAR buffer[255] = {0};
        RectQuery(h, RB_GETRECT, i);
        { /* the borders come back in the rectangle; the message itself answers nothing */
            RECT b = {0, 0, 0, 0};
            SendMessageW(h, RB_GETBANDBORDERS, i, (LPARAM)&b);
            Rect(RB_GETBANDBORDERS, i, &b);
        }
        memset(&band, 0, sizeof band);
        band.cbSize = REBARBANDINFOW_V6_SIZE;
        band.fMask = RBBIM_TEXT;
        band.lpText = buffer;
        band.cch = 255;
        if (SendMessageW(h, RB_GETBANDINFOW, i, (LPARAM)&band)) {
            Result(RB_GETBANDINFOW, i, 1);
            Text(RB_GETBANDINFOW, i, buffer);
        }
    }
    Close();
    DestroyWindow(h);
}

/* ---- status bars: parts with an empty and an owner-drawn one; simple mode ---- */
static void StatusPart(HWND h, int i) {
    WCHAR buffer[512] = {0};
    LRESULT length = SendMessageW(h, SB_GETTEXTLENGTHW, i, 0);
    RectQuery(h, SB_GETRECT, i);
    Result(SB_GETTEXTLENGTHW, i, length);
    if (LOWORD(length) < 511) {
        LRESULT r = SendMessageW(h, SB_GETTEXTW, i, (LPARAM)buffer);
        Result(SB_GETTEXTW, i, r);
        if (!(HIWORD(length) & SBT_OWNERDRAW)) Text(SB_GETTEXTW, i, buffer);
    }
}

static void StatusBars(void) {
    int parts[4] = {100, 160, 160, -1}, borders[3], i, n;
    HWND h = Make(STATUSCLASSNAMEW, 0, 400, 22);
    SendMessageW(h, SB_SETPARTS, 4, (LPARAM)parts);
    SendMessageW(h, SB_SETTEXTW, 0, (LPARAM)L"Ready");
    SendMessageW(h, SB_SETTEXTW, 1 | SBT_OWNERDRAW, (LPARAM)0x1234);
    SendMessageW(h, SB_SETTEXTW, 3 | SBT_POPOUT, (LPARAM)L"Done");
    Open("statusbar");
    n = (int)SendMessageW(h, SB_GETPARTS, 0, 0);
    Result(SB_GETPARTS, 0, n);
    Result(SB_ISSIMPLE, 0, SendMessageW(h, SB_ISSIMPLE, 0, 0));
    for (i = 0; i < n; ++i) StatusPart(h, i);
    Close();
    SendMessageW(h, SB_SIMPLE, TRUE, 0);
    SendMessageW(h, SB_SETTEXTW, 255, (LPARAM)L"Simple text");
    Open("statusbar-simple");
    Result(SB_ISSIMPLE, 0, SendMessageW(h, SB_ISSIMPLE, 0, 0));
    if (SendMessageW(h, SB_GETBORDERS, 0, (LPARAM)borders)) {
        Result(SB_GETBORDERS, 0, 1);
        fprintf(out, "%x 0 ints %d %d %d\n", SB_GETBORDERS, borders[0], borders[1], borders[2]);
    }
    StatusPart(h, 0);
    Close();
    DestroyWindow(h);
}

/* ---- track bars in each style and tick count ---- */
static void TrackBars(void) {
    static const struct {
        const char* name;
        DWORD style;
        int range;
    } cases[] = {{"trackbar-bottom", TBS_AUTOTICKS, 1},          {"trackbar-bottom-10", TBS_AUTOTICKS, 10},
                 {"trackbar-top", TBS_AUTOTICKS | TBS_TOP, 10},  {"trackbar-both", TBS_AUTOTICKS | TBS_BOTH, 4},
                 {"trackbar-noticks", TBS_NOTICKS, 10},          {"trackbar-vert-left", TBS_AUTOTICKS | TBS_VERT | TBS_LEFT, 5},
                 {"trackbar-vert-both", TBS_AUTOTICKS | TBS_VERT | TBS_BOTH, 5}, {"trackbar-nothumb", TBS_NOTHUMB, 10}};
    size_t c;
    for (c = 0; c < sizeof cases / sizeof cases[0]; ++c) {
        HWND h = Make(TRACKBAR_CLASSW, cases[c].style, cases[c].style & TBS_VERT ? 44 : 200,
                      cases[c].style & TBS_VERT ? 200 : 44);
        SendMessageW(h, TBM_SETRANGE, TRUE, MAKELPARAM(0, cases[c].range));
        SendMessageW(h, TBM_SETPOS, TRUE, 0);
        Open(cases[c].name);
        Result(TBM_GETNUMTICS, 0, SendMessageW(h, TBM_GETNUMTICS, 0, 0));
        {
            RECT r;
            SendMessageW(h, TBM_GETCHANNELRECT, 0, (LPARAM)&r);
            Rect(TBM_GETCHANNELRECT, 0, &r);
            SendMessageW(h, TBM_GETTHUMBRECT, 0, (LPARAM)&r);
            Rect(TBM_GETTHUMBRECT, 0, &r);
        }
        Close();
        DestroyWindow(h);
    }
}

/* ---- toolbars: separators, hidden, drop-down, list and flat buttons, a long text ---- */
static void Toolbar(const char* name, DWORD style, int withImages) {
    static WCHAR longText[301];
    TBBUTTON buttons[5];
    int i, n;
    HWND h;
    for (i = 0; i < 300; ++i) longText[i] = (WCHAR)('a' + i % 26);
    longText[300] = 0;
    h = Make(TOOLBARCLASSNAMEW, style | CCS_NORESIZE | CCS_NODIVIDER, 600, 40);
    SendMessageW(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(h, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    memset(buttons, 0, sizeof buttons);
    buttons[0].idCommand = 1; buttons[0].fsState = TBSTATE_ENABLED; buttons[0].fsStyle = BTNS_BUTTON; buttons[0].iString = (INT_PTR)L"Open";
    buttons[0].iBitmap = I_IMAGENONE;
    buttons[1].fsStyle = BTNS_SEP;
    buttons[2].idCommand = 2; buttons[2].fsState = TBSTATE_ENABLED | TBSTATE_HIDDEN; buttons[2].iString = (INT_PTR)L"Hidden";
    buttons[2].iBitmap = I_IMAGENONE;
    buttons[3].idCommand = 3; buttons[3].fsState = TBSTATE_ENABLED; buttons[3].fsStyle = BTNS_DROPDOWN; buttons[3].iString = (INT_PTR)L"Save";
    buttons[3].iBitmap = I_IMAGENONE;
    buttons[4].idCommand = 4; buttons[4].fsState = 0; buttons[4].fsStyle = BTNS_CHECK; buttons[4].iString = (INT_PTR)longText;
    buttons[4].iBitmap = I_IMAGENONE;
    if (withImages) {
        /* Two 16 x 16 images; every button but the separator shows one. */
        HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
        HDC screen = GetDC(0);
        HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 16);
        ReleaseDC(0, screen);
        ImageList_Add(list, bmp, 0);
        DeleteObject(bmp);
        SendMessageW(h, TB_SETIMAGELIST, 0, (LPARAM)list);
        for (i = 0; i < 5; ++i)
            if (i != 1) buttons[i].iBitmap = i % 2;
    }
    SendMessageW(h, TB_ADDBUTTONSW, 5, (LPARAM)buttons);
    SendMessageW(h, TB_AUTOSIZE, 0, 0);
    Open(name);
    n = (int)SendMessageW(h, TB_BUTTONCOUNT, 0, 0);
    Result(TB_BUTTONCOUNT, 0, n);
    for (i = 0; i < n; ++i) {
        TBBUTTON b;
        TBBUTTONINFOW info;
        WCHAR buffer[256] = {0};
        memset(&b, 0, sizeof b);
        if (!SendMessageW(h, TB_GETBUTTON, i, (LPARAM)&b)) continue;
        fprintf(out, "%x %d result 1\n%x %d command %d\n%x %d style %x\n", TB_GETBUTTON, i, TB_GETBUTTON, i, b.idCommand,
                TB_GETBUTTON, i, b.fsStyle);
        RectQuery(h, TB_GETITEMRECT, i);
        RectQuery(h, TB_GETITEMDROPDOWNRECT, i);
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.dwMask = TBIF_IMAGE | TBIF_TEXT | TBIF_STATE | TBIF_STYLE;
        info.pszText = buffer;
        info.cchText = 255;
        Result(TB_GETBUTTONINFOW, b.idCommand, SendMessageW(h, TB_GETBUTTONINFOW, b.idCommand, (LPARAM)&info));
        fprintf(out, "%x %d image %d\n%x %d state %x\n%x %d style %x\n", TB_GETBUTTONINFOW, b.idCommand, info.iImage,
                TB_GETBUTTONINFOW, b.idCommand, info.fsState, TB_GETBUTTONINFOW, b.idCommand, info.fsStyle);
        Text(TB_GETBUTTONINFOW, b.idCommand, buffer);
        {
            LRESULT length = SendMessageW(h, TB_GETBUTTONTEXTW, b.idCommand, 0);
            WCHAR whole[512] = {0};
            fprintf(out, "# text length %d\n", (int)length);
            if (length >= 0 && length < 511) {
                SendMessageW(h, TB_GETBUTTONTEXTW, b.idCommand, (LPARAM)whole);
                Text(TB_GETBUTTONTEXTW, b.idCommand, whole);
            }
        }
    }
    Close();
    DestroyWindow(h);
}

/* ---- rich edits: each class the system has, its default character format ---- */
static void RichEdits(void) {
    static const WCHAR* classes[] = {L"RichEdit20A", L"RichEdit20W", L"RichEdit30A", L"RichEdit30W",
                                     L"RichEdit41A", L"RichEdit41W", L"RichEdit50A", L"RichEdit50W"};
    int i, j;
    LoadLibraryW(L"riched20.dll");
    LoadLibraryW(L"msftedit.dll");
    for (i = 0; i < 8; ++i) {
        char name[64];
        CHARFORMAT2W f;
        CHARFORMATW small;
        HWND h = Make(classes[i], WS_BORDER | ES_MULTILINE, 300, 100);
        if (!h) {
            printf("probe: no class %ls\n", classes[i]);
            continue;
        }
        strcpy(name, "richedit-");
        for (j = 0; classes[i][j]; ++j) name[9 + j] = (char)(classes[i][j] | 0x20);
        name[9 + j] = 0;
        Open(name);
        memset(&f, 0, sizeof f);
        f.cbSize = sizeof f;
        f.dwMask = CFM_ALL2;
        Result(EM_GETCHARFORMAT, SCF_DEFAULT, SendMessageW(h, EM_GETCHARFORMAT, SCF_DEFAULT, (LPARAM)&f));
        fprintf(out, "%x %u charformat %lx %lx %lx %lx\n", EM_GETCHARFORMAT, SCF_DEFAULT, f.dwMask, f.dwEffects,
                f.crTextColor, f.crBackColor);
        /* What the control itself makes of an undersized structure (a missing one brings it down). */
        memset(&small, 0, sizeof small);
        small.cbSize = sizeof small - 4;
        small.dwMask = CFM_COLOR;
        fprintf(out, "# set, undersized structure: %d\n", (int)SendMessageW(h, EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&small));
        Close();
        DestroyWindow(h);
    }
}

/* ---- tooltips: what TTM_ADJUSTRECT makes of a window rectangle and of a text rectangle, plain and
 * as a balloon. Each answer line follows a comment line with the rectangle given. ---- */
static void Tooltips(void) {
    static const RECT given[] = {{0, 0, 120, 40}, {100, 200, 300, 260}};
    static const struct {
        const char* name;
        DWORD style;
    } cases[] = {{"tooltip", 0}, {"tooltip-balloon", TTS_BALLOON}};
    int c, i, larger;
    for (c = 0; c < 2; ++c) {
        TOOLINFOW tool;
        HWND h = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, 0, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | cases[c].style,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, host, 0, 0, 0);
        memset(&tool, 0, sizeof tool);
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = host;
        tool.uId = (UINT_PTR)host;
        tool.lpszText = (LPWSTR)L"Tip text";
        SendMessageW(h, TTM_ADDTOOLW, 0, (LPARAM)&tool);
        Open(cases[c].name);
        for (larger = 0; larger < 2; ++larger)
            for (i = 0; i < 2; ++i) {
                RECT r = given[i];
                LRESULT done;
                fprintf(out, "# given %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
                done = SendMessageW(h, TTM_ADJUSTRECT, larger, (LPARAM)&r);
                Result(TTM_ADJUSTRECT, larger, done);
                Rect(TTM_ADJUSTRECT, larger, &r);
            }
        Close();
        DestroyWindow(h);
    }
}

int main(void) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES |
                                                 ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    host = CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 400, 0, 0, 0, 0);
    Headers();
    ListScrollUnits();
    ListViews();
    Tree();
    Tabs();
    RichEdits();
    Rebar();
    StatusBars();
    TrackBars();
    Toolbar("toolbar", TBSTYLE_LIST, 0);
    Toolbar("toolbar-flat", TBSTYLE_FLAT, 0);
    Toolbar("toolbar-wrapable-images", TBSTYLE_WRAPABLE, 1);
    Toolbar("toolbar-transparent-images", TBSTYLE_TRANSPARENT | TBSTYLE_LIST, 1);
    Tooltips();
    DestroyWindow(host);
    printf("probe: done\n");
    return 0;
}
