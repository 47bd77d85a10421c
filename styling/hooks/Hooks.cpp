// styling/hooks/Hooks.cpp
#include "styling/hooks/Hooks.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

#include "styling/hooking/CodeHooks.h"
#include "styling/hooks/GlyphFont.h"
#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/StyleMisc.h"
#include "styling/hooks/SysControls.h"
#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"

namespace styling {

using namespace vcl;

namespace {

using TGetSysColor = DWORD (*)(int);
using TGetSysColorBrush = HBRUSH (*)(int);
using TFillRect = int (*)(HDC, const RECT*, HBRUSH);
using TDrawEdge = BOOL (*)(HDC, LPRECT, UINT, UINT);
using TDrawFrameControl = BOOL (*)(HDC, LPRECT, UINT, UINT);
using TLoadIconW = HICON (*)(HINSTANCE, LPCWSTR);
using TLoadImageW = HANDLE (*)(HINSTANCE, LPCWSTR, UINT, int, int, UINT);
using TSetStyle = void (*)(TCustomStyleServices*);
using TSetWindowTheme = HRESULT (*)(HWND, LPCWSTR, LPCWSTR);

TGetSysColor TrampolineGetSysColor = nullptr;
TGetSysColorBrush TrampolineGetSysColorBrush = nullptr;
TFillRect TrampolineFillRect = nullptr;
TDrawEdge TrampolineDrawEdge = nullptr;
TDrawFrameControl TrampolineDrawFrameControl = nullptr;
TLoadIconW TrampolineLoadIconW = nullptr;
TLoadImageW TrampolineLoadImageW = nullptr;
TSetStyle TrampolineSetStyle = nullptr;
TSetWindowTheme TrampolineSetWindowTheme = nullptr;
bool Installed = false;
bool LoadImageIntercepted = false;

// The brushes of each style by name, made on first request and kept until the end.
std::recursive_mutex BrushCacheLock;
struct TListStyleBrush {
    std::map<int, HBRUSH> Brushes;
    ~TListStyleBrush() {
        for (auto& [index, brush] : Brushes)
            if (brush) DeleteObject(brush);
    }
};
std::unique_ptr<std::map<rtl::String, std::unique_ptr<TListStyleBrush>>> StyleBrushes;

TCustomStyleServices* Active() { return TStyleManager::ActiveStyle(); }

TColor StyleOf(TColor SystemColor) { return Active()->GetSystemColor(SystemColor); }

COLORREF Rgb(TColor Color) { return COLORREF(ColorToRGB(Color)) & 0xFFFFFF; }

void OSVersion(DWORD& Major, DWORD& Minor) {
    DWORD build = 0;
    GetOSVersion(Major, Minor, build);
}

bool AtLeast(DWORD Major, DWORD Minor) {
    DWORD major = 0, minor = 0;
    OSVersion(major, minor);
    return major > Major || (major == Major && minor >= Minor);
}

bool IsIntResource(LPCWSTR Name) { return reinterpret_cast<uintptr_t>(Name) <= 0xFFFF; }

// ---- detours ----------------------------------------------------------------------------------------

DWORD DetourGetSysColor(int nIndex) {
    if (!StylingActive()) return TrampolineGetSysColor(nIndex);
    if (auto c = StyleSysColor(nIndex)) return DWORD(*c);
    return TrampolineGetSysColor(nIndex);
}

HBRUSH DetourGetSysColorBrush(int nIndex) {
    std::lock_guard<std::recursive_mutex> lock(BrushCacheLock);
    if (!StylingActive() || !StyleBrushes) return TrampolineGetSysColorBrush(nIndex);
    auto& list = (*StyleBrushes)[Active()->Name()];
    if (!list) list = std::make_unique<TListStyleBrush>();
    auto it = list->Brushes.find(nIndex);
    if (it != list->Brushes.end()) return it->second;
    const auto c = StyleSysColor(nIndex);
    if (!c) return TrampolineGetSysColorBrush(nIndex);
    HBRUSH brush = CreateSolidBrush(Rgb(*c));
    list->Brushes[nIndex] = brush;
    return brush;
}

int DetourFillRect(HDC hdc, const RECT* lprc, HBRUSH hbr) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(hbr);
    // A system colour index plus one, as window classes give their background.
    if (StylingActive() && value >= 1 && value <= 30) return TrampolineFillRect(hdc, lprc, GetSysColorBrush(int(value) - 1));
    return TrampolineFillRect(hdc, lprc, hbr);
}

BOOL DetourDrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
    if (!StylingActive() || edge == 3 || edge == 12 || !qrc) return TrampolineDrawEdge(hdc, qrc, edge, grfFlags);
    const int saved = SaveDC(hdc);
    TRect content;
    const bool adjust = grfFlags & BF_ADJUST;
    try {
        Active()->DrawEdge(hdc, Active()->GetElementDetails(tbPushButtonNormal), TRect(*qrc), EdgeToElementEdges(edge),
                           FlagsToElementEdgeFlags(grfFlags & ~UINT(BF_ADJUST)), adjust ? &content : nullptr);
    } catch (...) {
        RestoreDC(hdc, saved);
        throw;
    }
    RestoreDC(hdc, saved);
    if (adjust) *qrc = content;
    return BOOL(-1);
}

BOOL DetourDrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState) {
    if (!StylingActive() || !lprc) return TrampolineDrawFrameControl(hdc, lprc, uType, uState);
    const auto details = FrameControlElement(uType, uState);
    if (!details) return TrampolineDrawFrameControl(hdc, lprc, uType, uState);
    DrawStyleElement(hdc, *details, TRect(*lprc), true);
    return BOOL(-1);
}

SIZE IconSize(HICON Icon) {
    ICONINFO info{};
    SIZE size{0, 0};
    if (!GetIconInfo(Icon, &info)) return size;
    BITMAP bm{};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof(bm), &bm)) size = SIZE{bm.bmWidth, bm.bmHeight};
    else if (info.hbmMask && GetObjectW(info.hbmMask, sizeof(bm), &bm)) size = SIZE{bm.bmWidth, bm.bmHeight / (info.hbmColor ? 1 : 2)};
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return size;
}

HICON DetourLoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    if (!StylingActive() || !TSysStyleManager::ReplaceDialogIcons || !IsIntResource(lpIconName))
        return TrampolineLoadIconW(hInstance, lpIconName);
    // The standard icons are shared: the loaded one is measured, never destroyed, and a failed load
    // is answered as it came.
    const HICON loaded = TrampolineLoadIconW(hInstance, lpIconName);
    if (!loaded) return loaded;
    const uint16_t code = DialogIconGlyph(hInstance == nullptr, reinterpret_cast<uintptr_t>(lpIconName));
    TGlyphFont* font = GlyphFont();
    if (!code || !font) return loaded;
    const SIZE size = IconSize(loaded);
    if (size.cx <= 0 || size.cy <= 0) return loaded;
    return font->GetIcon(code, size.cx, size.cy, GetAccentTextColor(), StyleOf(clBtnFace));
}

// The explorer frame's bitmaps, repainted in place with glyphs (32-bit bitmaps only).
void RepaintFrameBitmap(TBitmap* Bitmap, uintptr_t Name) {
    TGlyphFont* font = GlyphFont();
    const TColor back = StyleOf(clWindow);
    const TRect full(0, 0, Bitmap->Width(), Bitmap->Height());
    auto fill = [&] { FillBitmapColor(Bitmap, 1, back); };
    auto finish = [&] { SetBitmapAlpha(Bitmap, 255, back); };
    auto glyph = [&](uint16_t Code, TRect R, TColor Color) {
        if (font) font->DrawChar(Bitmap->Canvas()->Handle(), Code, R, Color);
    };
    auto shrunk = [](TRect R, int By) {
        R.Inflate(-By, -By);
        return R;
    };
    auto moved = [](TRect R, int DX) {
        R.Offset(DX, 0);
        return R;
    };
    if (AtLeast(6, 2)) {
        if (Name == 288) {
            const TColor c = StyleOf(clBtnText);
            fill();
            TRect r(0, 0, 16, 16);
            glyph(0xF061, r, c);
            r = moved(r, 16);
            glyph(0xF00D, r, c);
            r = moved(r, 16);
            glyph(0xF021, shrunk(r, 2), c);
            r = moved(r, 18);
            glyph(0xF0D7, shrunk(r, 2), c);
            finish();
        } else {
            GrayscaleBitmap(Bitmap);
            ApplyBitmapFilter(Bitmap, uint32_t(Rgb(StyleOf(clHighlight))), &ColorBurnFilter);
        }
        return;
    }
    DWORD major = 0, minor = 0;
    OSVersion(major, minor);
    if (major != 6 || minor > 1) return;
    auto arrows = [&](TColor C, int Size, int Step) {
        fill();
        TRect r(0, 0, Size, Size);
        glyph(0xF061, r, C);
        glyph(0xF00D, moved(r, Step), C);
        glyph(0xF021, moved(r, 2 * Step), C);
        glyph(0xF0D7, moved(r, 3 * Step), C);
        finish();
    };
    auto backForward = [&](TColor C, int Size, int Step, bool Drop) {
        fill();
        const TRect r = shrunk(TRect(0, 0, Size, Size), 4);
        glyph(0xF060, r, C);
        glyph(0xF061, moved(r, Step), C);
        if (Drop) glyph(0xF0D7, TRect(60, 8, 72, 20), C);
        finish();
    };
    switch (Name) {
    case 280: {
        fill();
        TRect r = moved(TRect(0, 8, 12, 20), 58);
        glyph(0xF0D7, r, StyleOf(clGrayText));
        glyph(0xF0D7, r = moved(r, 70), StyleOf(clBtnText));
        glyph(0xF0D7, r = moved(r, 70), StyleOf(clHighlight));
        glyph(0xF0D7, moved(r, 70), StyleOf(clHighlight));
        finish();
        break;
    }
    case 281: fill(); break;
    case 288: arrows(StyleOf(clBtnText), 16, 16); break;
    case 289:
    case 290: arrows(StyleOf(clBtnText), 21, 21); break;
    case 577:
    case 581: backForward(StyleOf(clBtnText), 27, 31, false); break;
    case 578: backForward(StyleOf(clHighlight), 27, 31, false); break;
    case 579: backForward(StyleOf(clGrayText), 27, 31, false); break;
    case 582: backForward(StyleOf(clBtnText), 25, 29, true); break;
    case 583: backForward(StyleOf(clHighlight), 25, 29, true); break;
    case 584: backForward(StyleOf(clGrayText), 25, 29, true); break;
    default:
        if (Name >= 34560 && Name <= 34583) {
            fill();
            if (Name <= 34568) glyph(0xF002, full, StyleOf(clHighlight));
            else glyph(0xF00D, full, StyleOf(Name <= 34574 ? clWindowText : clHighlight));
            finish();
        }
        break;
    }
}

HANDLE DetourLoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    if (!StylingActive()) return TrampolineLoadImageW(hInst, name, type, cx, cy, fuLoad);
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    const bool intName = IsIntResource(name);
    // Case A: the shell's small icons, on 6.2 and later.
    if (hInst && hInst != GetModuleHandleW(nullptr) && type == IMAGE_ICON && cx == 16 && cy == 16 && intName &&
        AtLeast(6, 2)) {
        TGlyphFont* font = GlyphFont();
        if (font && id == 5100)
            return font->GetIcon(0xF08D, 16, 16, 12, 12, StyleOf(clGrayText), StyleOf(clWindow),
                                 TGlyphOrientation::Horizontal, TGlyphAlignment::Right);
        if (font && (id == 16817 || id == 16818))
            return font->GetIcon(0xF062, cx, cy, StyleOf(id == 16817 ? clBtnText : clGrayText), StyleOf(clBtnFace),
                                 TGlyphOrientation::Horizontal, TGlyphAlignment::Left);
        return TrampolineLoadImageW(hInst, name, type, cx, cy, fuLoad);
    }
    // Case B: the explorer frame's bitmaps at their own size.
    const HMODULE frame = GetModuleHandleW(u"explorerframe.dll");
    if (hInst && frame && hInst == frame && type == IMAGE_BITMAP && cx == 0 && cy == 0 && intName) {
        const HANDLE loaded = TrampolineLoadImageW(hInst, name, type, cx, cy, fuLoad);
        BITMAP info{};
        if (!loaded || !GetObjectW(loaded, sizeof info, &info) || info.bmBitsPixel != 32) return loaded;
        // The pixels are changed under the handle the library gave: a bitmap object taking the handle
        // would copy a top-down or device bitmap into one of its own (and another depth into 32 bits).
        const int w = info.bmWidth, h = std::abs(info.bmHeight);
        auto bitmap = std::make_unique<TBitmap>(w, h);
        bitmap->SetPixelFormat(pf32bit);
        BITMAPINFO bmi{};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // bottom-up, as the object's
        void* bits = bitmap->ScanLine(h - 1);
        const HDC dc = CreateCompatibleDC(nullptr);
        if (GetDIBits(dc, static_cast<HBITMAP>(loaded), 0, UINT(h), bits, &bmi, DIB_RGB_COLORS) == h) {
            RepaintFrameBitmap(bitmap.get(), id);
            SetDIBits(dc, static_cast<HBITMAP>(loaded), 0, UINT(h), bitmap->ScanLine(h - 1), &bmi, DIB_RGB_COLORS);
        }
        DeleteDC(dc);
        return loaded;
    }
    return TrampolineLoadImageW(hInst, name, type, cx, cy, fuLoad);
}

void DetourSetStyle(TCustomStyleServices* Style) {
    TCustomStyleServices* before = TStyleManager::ActiveStyle();
    TrampolineSetStyle(Style);
    if (Style == before || !Screen) return;
    // The class library tells its top-level windows; parented forms it leaves out hear it here.
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (!form->HandleAllocated()) continue;
        const HWND h = form->Handle();
        if (GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) SendMessageW(h, WM_SYSCOLORCHANGE, 0, 0);
    }
}

HRESULT DetourSetWindowTheme(HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList) {
    // The month calendar it guards does not exist in the class library here: always the library's.
    return TrampolineSetWindowTheme(hwnd, pszSubAppName, pszSubIdList);
}

template <class T> void Hook(T& Trampoline, const char* Module, const char* Name, T Detour) {
    Trampoline = reinterpret_cast<T>(HookModuleFunction(QString::fromLatin1(Module), Name, reinterpret_cast<void*>(Detour)));
}

template <class T> void Unhook(T& Trampoline) {
    UnhookFunctionIfSet(reinterpret_cast<void*>(Trampoline));
    Trampoline = nullptr;
}

} // namespace

std::optional<TColor> StyleSysColor(int Index) {
    const TColor c = Index == COLOR_HOTLIGHT ? StyleOf(clHighlight) : StyleOf(TColor(clSystemColor | (Index & 0xFF)));
    // A system colour the style keeps as one is the platform's to answer.
    if ((c & clSystemColor) == clSystemColor) return std::nullopt;
    return c;
}

std::optional<TThemedElementDetails> FrameControlElement(UINT uType, UINT uState) {
    const UINT kind = uState & 0xFF;
    // Offsets in each element group: normal, hot, pressed, disabled.
    int offset = 0;
    if (uState & DFCS_INACTIVE) offset = 3;
    else if (uState & DFCS_PUSHED) offset = 2;
    else if (uState & DFCS_HOT) offset = 1;
    TCustomStyleServices* s = Active();
    if (uType == DFC_SCROLL) {
        if (kind <= DFCS_SCROLLRIGHT) {
            if (uState & DFCS_TRANSPARENT) return std::nullopt;
            return s->GetElementDetails(TThemedScrollBar(tsArrowBtnUpNormal + int(kind) * 4 + offset));
        }
        if (kind == DFCS_SCROLLCOMBOBOX) return s->GetElementDetails(TThemedComboBox(tcDropDownButtonNormal + offset));
        return std::nullopt;
    }
    if (uType != DFC_BUTTON) return std::nullopt;
    switch (kind) {
    case DFCS_BUTTONCHECK:
        // 0x8000 selects "mixed" when the box is not checked.
        if (uState & DFCS_CHECKED) return s->GetElementDetails(TThemedButton(tbCheckBoxCheckedNormal + offset));
        if (uState & DFCS_MONO) return s->GetElementDetails(TThemedButton(tbCheckBoxMixedNormal + offset));
        return s->GetElementDetails(TThemedButton(tbCheckBoxUncheckedNormal + offset));
    case DFCS_BUTTONRADIO:
        if (uState & DFCS_CHECKED) return s->GetElementDetails(TThemedButton(tbRadioButtonCheckedNormal + offset));
        return s->GetElementDetails(TThemedButton(tbRadioButtonUncheckedNormal + offset));
    case DFCS_BUTTONPUSH:
        if (uState & (DFCS_TRANSPARENT | DFCS_FLAT)) return std::nullopt;
        // ... and "defaulted" for a push button in its normal state.
        if (offset == 0 && (uState & DFCS_MONO)) return s->GetElementDetails(tbPushButtonDefaulted);
        return s->GetElementDetails(TThemedButton(tbPushButtonNormal + offset));
    default: return std::nullopt;
    }
}

uint16_t DialogIconGlyph(bool SystemModule, uintptr_t Identifier) {
    switch (Identifier) {
    case 78: return 0xF132;
    case 81: return 0xF05A;
    case 84: return 0xF071;
    case 98: return 0xF056;
    case 99: return 0xF059;
    default: break;
    }
    if (!SystemModule) return 0;
    switch (Identifier) {
    case 32513: return 0xF056;
    case 32514: return 0xF059;
    case 32515: return 0xF071;
    case 32516: return 0xF05A;
    case 32517: return 0xF17A;
    case 32518: return 0xF132;
    default: return 0;
    }
}

TColor GetAccentTextColor() {
    if (IsLightColor(StyleOf(clBtnFace))) return StyleOf(clBtnText);
    const TColor highlight = StyleOf(clHighlight);
    if (IsLightColor(highlight)) return highlight;
    return StyleOf(clBtnText);
}

bool ApiDetoursInstalled() { return Installed; }
bool SysColorIntercepted() { return TrampolineGetSysColor != nullptr; }

void InstallApiDetours() {
    if (Installed) return;
    StyleBrushes = std::make_unique<std::map<rtl::String, std::unique_ptr<TListStyleBrush>>>();
    if (!TStyleManager::ActiveStyle()->Available()) return;
    // The registration stays when the interceptions end: made once per process.
    static const bool registered = (TCustomStyleEngine::RegisterStyleHook<TProgressBar, TStyleHook>(), true);
    (void)registered;
    THookTransaction* transaction = BeginHookTransaction(toSuspendThreads);
    Hook(TrampolineGetSysColor, "user32.dll", "GetSysColor", &DetourGetSysColor);
    Hook(TrampolineGetSysColorBrush, "user32.dll", "GetSysColorBrush", &DetourGetSysColorBrush);
    Hook(TrampolineFillRect, "user32.dll", "FillRect", &DetourFillRect);
    Hook(TrampolineDrawEdge, "user32.dll", "DrawEdge", &DetourDrawEdge);
    Hook(TrampolineDrawFrameControl, "user32.dll", "DrawFrameControl", &DetourDrawFrameControl);
    Hook(TrampolineLoadIconW, "user32.dll", "LoadIconW", &DetourLoadIconW);
    DWORD major = 0, minor = 0;
    OSVersion(major, minor);
    LoadImageIntercepted = major >= 6;
    if (LoadImageIntercepted) Hook(TrampolineLoadImageW, "user32.dll", "LoadImageW", &DetourLoadImageW);
    TrampolineSetStyle = reinterpret_cast<TSetStyle>(
        HookFunction(reinterpret_cast<void*>(static_cast<TSetStyle>(&TStyleManager::SetStyle)),
                     reinterpret_cast<void*>(&DetourSetStyle)));
    Hook(TrampolineSetWindowTheme, "uxtheme.dll", "SetWindowTheme", &DetourSetWindowTheme);
    EndHookTransaction(transaction);
    Installed = true;
}

void RemoveApiDetours() {
    if (Installed) {
        THookTransaction* transaction = BeginHookTransaction(toSuspendThreads);
        Unhook(TrampolineGetSysColor);
        Unhook(TrampolineGetSysColorBrush);
        Unhook(TrampolineFillRect);
        Unhook(TrampolineDrawEdge);
        Unhook(TrampolineDrawFrameControl);
        Unhook(TrampolineLoadIconW);
        if (LoadImageIntercepted) Unhook(TrampolineLoadImageW);
        Unhook(TrampolineSetStyle);
        Unhook(TrampolineSetWindowTheme);
        EndHookTransaction(transaction);
        Installed = false;
    }
    std::lock_guard<std::recursive_mutex> lock(BrushCacheLock);
    StyleBrushes.reset();
}

} // namespace styling
