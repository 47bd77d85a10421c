// tests/support/windows/ComCtlDoubles.h: stand-ins for the common-control window classes the
// platform does not have ("ToolbarWindow32", "SysListView32", "SysHeader32", "SysTreeView32",
// "SysTabControl32", the rich-edit classes, "ReBarWindow32", "msctls_statusbar32",
// "msctls_trackbar32"). Each is a window of that class that paints nothing, records every message it
// is sent and answers the queries of style hooks from a table: filled by a test, or read from the
// tables the Wine probe recorded (tests/styling/windows/comctl-oracle/tables).
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "win/comctl32/richedit.h"
#include "win/windows.h"

namespace testing_support {

// One answer of the table: the result and what the message writes into the caller's structure.
struct DoubleAnswer {
    LRESULT Result = 0;
    RECT Rect{};             // rectangle queries
    std::u16string Text;     // text queries
    int Format = 0;          // header item format (HDF_*)
    int Image = -1;          // item image index
    int Command = 0;         // toolbar button command identifier
    int State = 0;           // toolbar button state (TBSTATE_*)
    int Style = 0;           // toolbar button style (BTNS_*)
    std::vector<int> Ints;   // header order array, status-bar borders
};

struct SentMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

class ComCtlDouble {
public:
    // The answer to Msg for WParam (an item index, or a command identifier for toolbar buttons).
    DoubleAnswer& At(UINT Msg, WPARAM W = 0) { return Table[{Msg, W}]; }
    bool Has(UINT Msg, WPARAM W = 0) const { return Table.count({Msg, W}) != 0; }
    void Answer(UINT Msg, LRESULT Result, WPARAM W = 0) { At(Msg, W).Result = Result; }
    void SetRect(UINT Msg, WPARAM W, RECT R) {
        At(Msg, W).Rect = R;
        At(Msg, W).Result = 1;
    }

    int Count(UINT Msg) const;
    std::vector<SentMessage> Of(UINT Msg) const;
    void Forget() { Sent.clear(), CharFormats.clear(); }

    std::map<std::pair<UINT, WPARAM>, DoubleAnswer> Table;
    std::vector<SentMessage> Sent;
    // What EM_GETCHARFORMAT gives, and each structure EM_SETCHARFORMAT brought (cbSize bytes of it).
    CHARFORMAT2W DefaultFormat{};
    std::vector<CHARFORMAT2W> CharFormats;
    // The band-information sizes RB_GETBANDINFOW was asked with.
    std::vector<UINT> BandInfoSizes;
};

// Registers the class of that name (once per window model) and makes a window of it whose double
// starts with a copy of Table (so that hooks made at creation find their answers).
HWND CreateComCtlDouble(const char16_t* Class, DWORD Style, HWND Parent, RECT Bounds, DWORD ExStyle = 0,
                        const ComCtlDouble* Table = nullptr);
// The double behind a window made above; null for any other window.
ComCtlDouble* DoubleOf(HWND Window);

// Reads one recorded table into the double. Lines: "<message number> <wparam> <kind> <values>", kinds
// "result R", "rect L T R B", "text <characters to the end of the line>", "format F", "image I",
// "command C", "state S", "style S", "ints A B ...". False when the file cannot be read.
bool LoadDoubleTable(ComCtlDouble& Double, const std::string& Path);

} // namespace testing_support
