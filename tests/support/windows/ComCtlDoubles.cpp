#include "tests/support/windows/ComCtlDoubles.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include <QString>

namespace testing_support {

namespace {

std::map<HWND, std::unique_ptr<ComCtlDouble>>& Doubles() {
    static std::map<HWND, std::unique_ptr<ComCtlDouble>> doubles;
    return doubles;
}

const ComCtlDouble*& NextTable() {
    static const ComCtlDouble* next = nullptr;
    return next;
}

bool& Creating() {
    static bool creating = false;
    return creating;
}

// Copies Text into a buffer of Size characters, cut and ended as the controls do.
void CopyText(const std::u16string& Text, WCHAR* Buffer, int Size) {
    if (!Buffer || Size <= 0) return;
    const size_t n = std::min(Text.size(), size_t(Size - 1));
    std::copy_n(Text.data(), n, Buffer);
    Buffer[n] = 0;
}

template <class T> T* Out(LPARAM LParam) { return reinterpret_cast<T*>(LParam); }

// The rectangle queries: the answer's rectangle goes to the structure at lParam.
bool IsRectQuery(UINT Msg) {
    switch (Msg) {
    case HDM_GETITEMRECT:
    case HDM_GETITEMDROPDOWNRECT:
    case LVM_GETITEMRECT:
    case TCM_GETITEMRECT:
    case RB_GETRECT:
    case RB_GETBANDBORDERS:
    case SB_GETRECT:
    case TBM_GETTHUMBRECT:
    case TBM_GETCHANNELRECT:
    case TB_GETITEMRECT:
    case TB_GETITEMDROPDOWNRECT: return true;
    default: return false;
    }
}

// The header's hit test from its item rectangles: within 3 pixels of an item's right edge is that
// item's divider.
LRESULT HitTest(ComCtlDouble& D, HDHITTESTINFO* Hit) {
    Hit->flags = HHT_NOWHERE;
    Hit->iItem = -1;
    for (const auto& [key, answer] : D.Table) {
        if (key.first != HDM_GETITEMRECT) continue;
        const RECT& r = answer.Rect;
        if (Hit->pt.y < r.top || Hit->pt.y >= r.bottom) continue;
        if (Hit->pt.x >= r.right - 3 && Hit->pt.x <= r.right + 3) {
            Hit->flags = HHT_ONDIVIDER;
            Hit->iItem = int(key.second);
            return Hit->iItem;
        }
        if (Hit->pt.x >= r.left && Hit->pt.x < r.right) {
            Hit->flags = HHT_ONHEADER;
            Hit->iItem = int(key.second);
        }
    }
    return Hit->iItem;
}

LRESULT Answer(HWND Wnd, ComCtlDouble& D, UINT Msg, WPARAM W, LPARAM L) {
    if (IsRectQuery(Msg)) {
        if (!D.Has(Msg, W) || !L) return 0;
        *Out<RECT>(L) = D.At(Msg, W).Rect;
        return D.At(Msg, W).Result;
    }
    switch (Msg) {
    case HDM_GETORDERARRAY: {
        if (!D.Has(Msg) || !L) return 0;
        const std::vector<int>& order = D.At(Msg).Ints;
        if (W != order.size()) return 0;
        std::copy(order.begin(), order.end(), Out<int>(L));
        return 1;
    }
    case HDM_HITTEST: return L ? HitTest(D, Out<HDHITTESTINFO>(L)) : -1;
    case HDM_GETITEMW: {
        if (!D.Has(Msg, W) || !L) return 0;
        const DoubleAnswer& a = D.At(Msg, W);
        HDITEMW* item = Out<HDITEMW>(L);
        if (item->mask & HDI_FORMAT) item->fmt = a.Format;
        if (item->mask & HDI_IMAGE) item->iImage = a.Image;
        if (item->mask & HDI_TEXT) CopyText(a.Text, item->pszText, item->cchTextMax);
        return 1;
    }
    case TCM_GETITEMW: {
        if (!D.Has(Msg, W) || !L) return 0;
        TCITEMW* item = Out<TCITEMW>(L);
        if (item->mask & TCIF_TEXT) CopyText(D.At(Msg, W).Text, item->pszText, item->cchTextMax);
        return 1;
    }
    case RB_GETBANDINFOW: {
        if (!L) return 0;
        REBARBANDINFOW* info = Out<REBARBANDINFOW>(L);
        D.BandInfoSizes.push_back(info->cbSize);
        if (!D.Has(Msg, W)) return 0;
        if (info->fMask & RBBIM_TEXT) CopyText(D.At(Msg, W).Text, info->lpText, int(info->cch));
        return 1;
    }
    case SB_GETBORDERS: {
        if (!L || !D.Has(Msg)) return 0;
        const std::vector<int>& b = D.At(Msg).Ints;
        std::copy_n(b.begin(), std::min<size_t>(3, b.size()), Out<int>(L));
        return 1;
    }
    case SB_GETTEXTW: {
        // The status bar takes no buffer length: the whole text goes out.
        if (!D.Has(Msg, W)) return 0;
        const DoubleAnswer& a = D.At(Msg, W);
        if (L) std::copy_n(a.Text.c_str(), a.Text.size() + 1, Out<WCHAR>(L));
        return a.Result;
    }
    case TB_GETBUTTON: {
        if (!D.Has(Msg, W) || !L) return 0;
        const DoubleAnswer& a = D.At(Msg, W);
        TBBUTTON* b = Out<TBBUTTON>(L);
        b->idCommand = a.Command;
        b->fsStyle = BYTE(a.Style);
        b->fsState = BYTE(a.State);
        b->iBitmap = a.Image;
        return 1;
    }
    case TB_GETBUTTONINFOW: {
        if (!D.Has(Msg, W) || !L) return -1;
        const DoubleAnswer& a = D.At(Msg, W);
        TBBUTTONINFOW* info = Out<TBBUTTONINFOW>(L);
        if (info->cbSize != sizeof(TBBUTTONINFOW)) return -1;
        if (info->dwMask & TBIF_IMAGE) info->iImage = a.Image;
        if (info->dwMask & TBIF_STATE) info->fsState = BYTE(a.State);
        if (info->dwMask & TBIF_STYLE) info->fsStyle = BYTE(a.Style);
        if (info->dwMask & TBIF_TEXT) CopyText(a.Text, info->pszText, info->cchText);
        return a.Result;
    }
    case TB_GETBUTTONTEXTW: {
        // No buffer length either: a null buffer asks for the length.
        if (!D.Has(Msg, W)) return -1;
        const std::u16string& text = D.At(Msg, W).Text;
        if (L) std::copy_n(text.c_str(), text.size() + 1, Out<WCHAR>(L));
        return LRESULT(text.size());
    }
    case EM_GETCHARFORMAT: {
        if (!L) return 0;
        auto* f = Out<CHARFORMATW>(L);
        const UINT size = std::min<UINT>(f->cbSize, sizeof(CHARFORMAT2W));
        std::memcpy(reinterpret_cast<char*>(f) + sizeof(UINT), reinterpret_cast<const char*>(&D.DefaultFormat) + sizeof(UINT),
                    size - sizeof(UINT));
        return f->dwMask;
    }
    case EM_SETCHARFORMAT: {
        if (!L) return 0;
        CHARFORMAT2W copy{};
        std::memcpy(&copy, Out<CHARFORMATW>(L), std::min<UINT>(Out<CHARFORMATW>(L)->cbSize, sizeof copy));
        D.CharFormats.push_back(copy);
        return 1;
    }
    case TVM_SETBKCOLOR:
    case TVM_SETTEXTCOLOR: {
        // The getters answer what was set.
        const UINT get = Msg == TVM_SETBKCOLOR ? TVM_GETBKCOLOR : TVM_GETTEXTCOLOR;
        const LRESULT previous = D.At(get).Result;
        D.At(get).Result = L;
        return previous;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(Wnd, &ps);
        EndPaint(Wnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    default: break;
    }
    if (D.Has(Msg, W)) return D.At(Msg, W).Result;
    return DefWindowProcW(Wnd, Msg, W, L);
}

LRESULT CALLBACK DoubleProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
    // A new window's double is made at its first message, from the table given for it.
    // A reset of the window model forgets windows without destroying them: a handle made again gets a
    // fresh double.
    std::unique_ptr<ComCtlDouble>& slot = Doubles()[Wnd];
    if (!slot || Creating()) {
        slot = NextTable() ? std::make_unique<ComCtlDouble>(*NextTable()) : std::make_unique<ComCtlDouble>();
        NextTable() = nullptr;
        Creating() = false;
    }
    ComCtlDouble& d = *slot;
    d.Sent.push_back({Msg, W, L});
    const LRESULT result = Answer(Wnd, d, Msg, W, L);
    if (Msg == WM_NCDESTROY) Doubles().erase(Wnd);
    return result;
}

bool RegisterDouble(const char16_t* Class) {
    WNDCLASSW probe{};
    if (GetClassInfoW(nullptr, Class, &probe)) return probe.lpfnWndProc == &DoubleProc;
    WNDCLASSW cls{};
    cls.lpfnWndProc = &DoubleProc;
    cls.lpszClassName = Class;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    return RegisterClassW(&cls) != 0;
}

} // namespace

int ComCtlDouble::Count(UINT Msg) const {
    return int(std::count_if(Sent.begin(), Sent.end(), [Msg](const SentMessage& m) { return m.Msg == Msg; }));
}

std::vector<SentMessage> ComCtlDouble::Of(UINT Msg) const {
    std::vector<SentMessage> r;
    std::copy_if(Sent.begin(), Sent.end(), std::back_inserter(r), [Msg](const SentMessage& m) { return m.Msg == Msg; });
    return r;
}

HWND CreateComCtlDouble(const char16_t* Class, DWORD Style, HWND Parent, RECT Bounds, DWORD ExStyle,
                        const ComCtlDouble* Table) {
    if (!RegisterDouble(Class)) return nullptr;
    NextTable() = Table;
    Creating() = true;
    const HWND w = CreateWindowExW(ExStyle, Class, u"", Style, Bounds.left, Bounds.top, Bounds.right - Bounds.left,
                                   Bounds.bottom - Bounds.top, Parent, nullptr, nullptr, nullptr);
    NextTable() = nullptr;
    Creating() = false;
    return w;
}

ComCtlDouble* DoubleOf(HWND Window) {
    auto it = Doubles().find(Window);
    return it == Doubles().end() ? nullptr : it->second.get();
}

bool LoadDoubleTable(ComCtlDouble& Double, const std::string& Path) {
    std::ifstream in(Path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // written on the other system
        if (line.empty() || line[0] == '#') continue;
        std::istringstream s(line);
        unsigned long msg = 0;
        unsigned long long w = 0;
        std::string kind;
        s >> std::hex >> msg >> std::dec >> w >> kind;
        if (!s) continue;
        DoubleAnswer& a = Double.At(UINT(msg), WPARAM(w));
        if (kind == "result") s >> a.Result;
        else if (kind == "rect") {
            s >> a.Rect.left >> a.Rect.top >> a.Rect.right >> a.Rect.bottom;
            if (!a.Result) a.Result = 1;
        } else if (kind == "text") {
            std::string rest;
            std::getline(s, rest);
            if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
            const QString text = QString::fromUtf8(rest.c_str());
            a.Text.assign(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
        } else if (kind == "format") s >> std::hex >> a.Format;
        else if (kind == "image") s >> a.Image;
        else if (kind == "command") s >> a.Command;
        else if (kind == "state") s >> std::hex >> a.State;
        else if (kind == "style") s >> std::hex >> a.Style;
        else if (kind == "charformat") {
            // The control's default character format, as EM_GETCHARFORMAT gives it.
            CHARFORMAT2W& f = Double.DefaultFormat;
            unsigned long mask = 0, effects = 0, text = 0, back = 0;
            s >> std::hex >> mask >> effects >> text >> back;
            f.dwMask = DWORD(mask);
            f.dwEffects = DWORD(effects);
            f.crTextColor = COLORREF(text);
            f.crBackColor = COLORREF(back);
        } else if (kind == "ints") {
            a.Ints.clear();
            for (int v; s >> v;) a.Ints.push_back(v);
        }
    }
    return true;
}

} // namespace testing_support
