// styling/hooks/UxTheme.cpp
#include "styling/hooks/UxTheme.h"

#include <memory>
#include <mutex>

#include "styling/hooking/CodeHooks.h"
#include "styling/hooks/Hooks.h"
#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/StyleMisc.h"
#include "styling/hooks/SysControls.h"
#include "styling/hooks/ThemeHandlers.h"
#include "vcl/Graphics.h"
#include "vcl/Themes.h"

namespace styling {

using namespace vcl;

namespace {

using TOpenThemeData = HTHEME (*)(HWND, LPCWSTR);
using TOpenThemeDataForDpi = HTHEME (*)(HWND, LPCWSTR, UINT);
using TOpenThemeDataEx = HTHEME (*)(HWND, LPCWSTR, DWORD);
using TDrawThemeBackground = HRESULT (*)(HTHEME, HDC, int, int, LPCRECT, LPCRECT);
using TDrawThemeBackgroundEx = HRESULT (*)(HTHEME, HDC, int, int, LPCRECT, const DTBGOPTS*);
using TDrawThemeEdge = HRESULT (*)(HTHEME, HDC, int, int, LPCRECT, UINT, UINT, LPRECT);
using TDrawThemeText = HRESULT (*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, LPCRECT);
using TDrawThemeTextEx = HRESULT (*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, LPRECT, const DTTOPTS*);
using TGetThemeColor = HRESULT (*)(HTHEME, int, int, int, COLORREF*);
using TGetThemeSysColor = COLORREF (*)(HTHEME, int);
using TGetThemeSysColorBrush = HBRUSH (*)(HTHEME, int);

TOpenThemeData TrampolineOpenThemeData = nullptr;
TOpenThemeDataForDpi TrampolineOpenThemeDataForDpi = nullptr;
TOpenThemeDataEx TrampolineOpenThemeDataEx = nullptr;
TDrawThemeBackground TrampolineDrawThemeBackground = nullptr;
TDrawThemeBackgroundEx TrampolineDrawThemeBackgroundEx = nullptr;
TDrawThemeEdge TrampolineDrawThemeEdge = nullptr;
TDrawThemeText TrampolineDrawThemeText = nullptr;
TDrawThemeTextEx TrampolineDrawThemeTextEx = nullptr;
TGetThemeColor TrampolineGetThemeColor = nullptr;
TGetThemeSysColor TrampolineGetThemeSysColor = nullptr;
TGetThemeSysColorBrush TrampolineGetThemeSysColorBrush = nullptr;
bool Installed = false;

struct TThemeState {
    std::recursive_mutex ThemeLock;
    std::map<HTHEME, rtl::String> ThemeClassNames;
    std::map<HTHEME, HWND> ThemeWindows;
    std::map<rtl::String, TFuncDrawThemeBackground> ThemeClassHandlers;  // lower-case keys
};
std::unique_ptr<TThemeState> State;

TThemeState& S() {
    if (!State) State = std::make_unique<TThemeState>();
    return *State;
}

TCustomStyleServices* Active() { return TStyleManager::ActiveStyle(); }
TColor StyleOf(TColor C) { return Active()->GetSystemColor(C); }
COLORREF Converted(TColor C) { return COLORREF(Active()->ColorToRGB(C)) & 0xFFFFFF; }
bool Same(const rtl::String& A, const char* B) { return A.compare(QLatin1String(B), Qt::CaseInsensitive) == 0; }

rtl::String TextOf(LPCWSTR Text) {
    return Text ? QString::fromUtf16(reinterpret_cast<const char16_t*>(Text)) : rtl::String();
}

template <class Open> HTHEME Record(HWND hwnd, LPCWSTR pszClassList, Open OpenCall) {
    std::lock_guard<std::recursive_mutex> lock(S().ThemeLock);
    const HTHEME h = OpenCall();
    S().ThemeClassNames[h] = TextOf(pszClassList);
    S().ThemeWindows[h] = hwnd;
    return h;
}

HTHEME DetourOpenThemeData(HWND hwnd, LPCWSTR pszClassList) {
    return Record(hwnd, pszClassList, [&] { return TrampolineOpenThemeData(hwnd, pszClassList); });
}
HTHEME DetourOpenThemeDataForDpi(HWND hwnd, LPCWSTR pszClassList, UINT dpi) {
    return Record(hwnd, pszClassList, [&] { return TrampolineOpenThemeDataForDpi(hwnd, pszClassList, dpi); });
}
HTHEME DetourOpenThemeDataEx(HWND hwnd, LPCWSTR pszClassList, DWORD dwFlags) {
    return Record(hwnd, pszClassList, [&] { return TrampolineOpenThemeDataEx(hwnd, pszClassList, dwFlags); });
}

HRESULT ForwardBackground(HTHEME h, HDC dc, int part, int state, LPCRECT r, const void* clip) {
    return TrampolineDrawThemeBackground(h, dc, part, state, r, static_cast<LPCRECT>(clip));
}
HRESULT ForwardBackgroundEx(HTHEME h, HDC dc, int part, int state, LPCRECT r, const void* options) {
    return TrampolineDrawThemeBackgroundEx(h, dc, part, state, r, static_cast<const DTBGOPTS*>(options));
}

HRESULT DispatchDrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect,
                                    const void* Clip, TDrawThemeBackgroundTrampoline Trampoline) {
    if (!StylingActive()) return Trampoline(hTheme, hdc, iPartId, iStateId, pRect, Clip);
    std::lock_guard<std::recursive_mutex> lock(S().ThemeLock);
    if (!StylingActive()) return Trampoline(hTheme, hdc, iPartId, iStateId, pRect, Clip);
    auto& names = S().ThemeClassNames;
    auto it = names.find(hTheme);
    if (it == names.end()) {
        const rtl::String found = FindThemeClassName(hTheme);
        if (found.isEmpty()) return Trampoline(hTheme, hdc, iPartId, iStateId, pRect, Clip);
        it = names.insert_or_assign(hTheme, found).first;
        S().ThemeWindows[hTheme] = nullptr;
    }
    const rtl::String className = it->second;
    const HWND window = S().ThemeWindows[hTheme];
    auto handler = S().ThemeClassHandlers.find(className.toLower());
    if (handler == S().ThemeClassHandlers.end()) return Trampoline(hTheme, hdc, iPartId, iStateId, pRect, Clip);
    return handler->second(hTheme, hdc, iPartId, iStateId, pRect, Clip, Trampoline, className, window);
}

HRESULT DetourDrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect, LPCRECT pClipRect) {
    return DispatchDrawThemeBackground(hTheme, hdc, iPartId, iStateId, pRect, pClipRect, &ForwardBackground);
}
HRESULT DetourDrawThemeBackgroundEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect,
                                    const DTBGOPTS* pOptions) {
    return DispatchDrawThemeBackground(hTheme, hdc, iPartId, iStateId, pRect, pOptions, &ForwardBackgroundEx);
}

HRESULT DetourDrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pDestRect, UINT uEdge,
                            UINT uFlags, LPRECT pContentRect) {
    return TrampolineDrawThemeEdge(hTheme, hdc, iPartId, iStateId, pDestRect, uEdge, uFlags, pContentRect);
}

// ---- colours ----------------------------------------------------------------------------------------

TColor ButtonTextColor() {
    TColor c = clNone;
    if (Active()->GetElementColor(Active()->GetElementDetails(tbPushButtonNormal), ecTextColor, c) && c != clNone) return c;
    return StyleOf(clBtnText);
}

HRESULT DetourGetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor) {
    rtl::String className;
    {
        std::unique_lock<std::recursive_mutex> lock(S().ThemeLock);
        auto it = S().ThemeClassNames.find(hTheme);
        if (!StylingActive() || it == S().ThemeClassNames.end())
            return TrampolineGetThemeColor(hTheme, iPartId, iStateId, iPropId, pColor);
        className = it->second;
    }
    if (iPropId == 3803 && !Same(className, "TASKDIALOGSTYLE")) {
        const HRESULT forwarded = TrampolineGetThemeColor(hTheme, iPartId, iStateId, iPropId, pColor);
        if (forwarded == S_OK && SysColorIntercepted()) {
            if (pColor) *pColor = Converted(StyleOf(clWindowText));
            return S_OK;
        }
    }
    const TThemeColorAnswer answer = ThemeClassColor(className, iPartId, iStateId);
    if (!answer.Matched || !answer.Found || !pColor)
        return TrampolineGetThemeColor(hTheme, iPartId, iStateId, iPropId, pColor);
    *pColor = answer.Color;
    return S_OK;
}

COLORREF DetourGetThemeSysColor(HTHEME hTheme, int iColorId) {
    if (!StylingActive()) return TrampolineGetThemeSysColor(hTheme, iColorId);
    const TColor c = StyleOf(TColor(clSystemColor | (iColorId & 0xFF)));
    // An index the style keeps as a system colour is the library's to answer.
    if ((c & clSystemColor) == clSystemColor) return TrampolineGetThemeSysColor(hTheme, iColorId);
    return COLORREF(c);
}

HBRUSH DetourGetThemeSysColorBrush(HTHEME hTheme, int iColorId) { return TrampolineGetThemeSysColorBrush(hTheme, iColorId); }

// ---- text ---------------------------------------------------------------------------------------------

rtl::String TextToDraw(LPCWSTR pszText, int cchText) {
    if (!pszText) return {};
    if (cchText < 0) return TextOf(pszText);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(pszText), cchText);
}

TColor ElementColor(const TThemedElementDetails& Details) {
    TColor c = clNone;
    if (Active()->GetElementColor(Details, ecTextColor, c) && c != clNone) return c;
    return StyleOf(clBtnText);
}

// The recorded class text of a drawing call that the style may answer; empty when it is forwarded.
bool TextGate(HTHEME hTheme, DWORD dwTextFlags, rtl::String& ClassName) {
    std::lock_guard<std::recursive_mutex> lock(S().ThemeLock);
    if (!StylingActive() || (dwTextFlags & DT_CALCRECT)) return false;
    auto it = S().ThemeClassNames.find(hTheme);
    if (it == S().ThemeClassNames.end()) return false;
    ClassName = it->second;
    return true;
}

// Tahoma at a height, selected into the DC for the drawing and removed with its state afterwards.
class TTahomaScope {
public:
    TTahomaScope(HDC DC, int Height) : FDC(DC), FSaved(SaveDC(DC)) {
        LOGFONTW lf{};
        lf.lfHeight = Height;
        lf.lfCharSet = 1;
        const char16_t face[] = u"Tahoma";
        std::copy(std::begin(face), std::end(face), lf.lfFaceName);
        FFont = CreateFontIndirectW(&lf);
        SelectObject(DC, FFont);
    }
    ~TTahomaScope() {
        RestoreDC(FDC, FSaved);
        DeleteObject(FFont);
    }
    TTahomaScope(const TTahomaScope&) = delete;
    TTahomaScope& operator=(const TTahomaScope&) = delete;

private:
    HDC FDC;
    int FSaved;
    HFONT FFont = nullptr;
};

HRESULT StyledText(HDC DC, const TThemedElementDetails& Details, const rtl::String& Text, RECT& R, DWORD Flags, TColor Color) {
    TRect r(R);
    Active()->DrawText(DC, Details, Text, r, TextFormatFromFlags(Flags), Color, 0);
    R = r;
    return S_OK;
}

struct TTextRow {
    TThemedElementDetails Details;
    TColor Color;
    int TahomaHeight = 0;   // 0: the DC's own font
    bool SaveState = false;
    bool FirstLine = false;
};

bool IsButtonClass(const rtl::String& ClassName) {
    if (Same(ClassName, "BUTTON")) return true;
    for (const rtl::String& name : ClassName.split(u';'))
        if (Same(name, "BUTTON")) return true;
    return false;
}

std::optional<TTextRow> ThemeTextRow(const rtl::String& ClassName, int Part, int State) {
    TCustomStyleServices* s = Active();
    auto el = [](const TThemedElementDetails& D) { return ElementColor(D); };
    if (Same(ClassName, "TOOLBAR")) {
        if (Part != 0) return std::nullopt;
        switch (State) {
        case 1: return TTextRow{s->GetElementDetails(ttbButtonNormal), StyleOf(clWindowText)};
        case 2:
        case 7:
        case 8: return TTextRow{s->GetElementDetails(ttbButtonHot), StyleOf(clWindowText)};
        case 3: return TTextRow{s->GetElementDetails(ttbButtonPressed), StyleOf(clWindowText)};
        case 4: return TTextRow{s->GetElementDetails(ttbButtonDisabled), StyleOf(clGrayText)};
        default: return std::nullopt;
        }
    }
    if (Same(ClassName, "MENU")) {
        static const TThemedMenu bar[] = {tmPopupItemNormal, tmMenuBarItemHot, tmMenuBarItemPushed,
                                          tmMenuBarItemDisabled, tmMenuBarItemDisabledHot, tmMenuBarItemDisabledPushed};
        static const TThemedMenu popup[] = {tmPopupItemNormal, tmPopupItemHot, tmPopupItemDisabled, tmPopupItemDisabledHot};
        TThemedElementDetails d;
        if (Part == 8 && State >= 1 && State <= 6) d = s->GetElementDetails(bar[State - 1]);
        else if (Part == 14) d = s->GetElementDetails(State >= 1 && State <= 4 ? popup[State - 1] : tmPopupItemNormal);
        else return std::nullopt;
        return TTextRow{d, el(d), 0, true};
    }
    if (Same(ClassName, "DATEPICKER")) {
        if (Part != 1) return std::nullopt;
        switch (State) {
        case 1: return TTextRow{s->GetElementDetails(teEditTextNormal), StyleOf(clWindowText)};
        case 2: return TTextRow{s->GetElementDetails(teEditTextDisabled), StyleOf(clGrayText)};
        case 3: return TTextRow{s->GetElementDetails(tgCellSelected), StyleOf(clHighlightText)};
        default: return std::nullopt;
        }
    }
    if (Same(ClassName, "MONTHCAL")) {
        TThemedElementDetails d;
        if (Part == 6 || Part == 7 || Part == 9) d = s->GetElementDetails(tgCellNormal);
        else if (Part == 8 && (State == 1 || State == 4)) d = s->GetElementDetails(tgFixedCellHot);
        else if (Part == 8 && (State == 2 || State == 3)) d = s->GetElementDetails(tgCellSelected);
        else if (Part == 8) d = s->GetElementDetails(teEditTextDisabled);
        else return std::nullopt;
        return TTextRow{d, el(d), 13, false, true};
    }
    if (IsButtonClass(ClassName)) {
        static const TThemedButton push[] = {tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed,
                                             tbPushButtonDisabled, tbPushButtonDefaulted, tbPushButtonDefaultedAnimating};
        if ((Part == 1 || Part == 6) && State >= 1 && State <= 6) {
            const TThemedElementDetails d = s->GetElementDetails(push[State - 1]);
            return TTextRow{d, el(d), Part == 6 ? 14 : 0};
        }
        if (Part == 2 && State >= 1 && State <= 8) {
            const TThemedElementDetails d = s->GetElementDetails(TThemedButton(tbRadioButtonUncheckedNormal + State - 1));
            return TTextRow{d, el(d)};
        }
        return std::nullopt;
    }
    return std::nullopt;
}

HRESULT DetourDrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int cchText,
                            DWORD dwTextFlags, DWORD dwTextFlags2, LPCRECT pRect) {
    auto forward = [&] {
        return TrampolineDrawThemeText(hTheme, hdc, iPartId, iStateId, pszText, cchText, dwTextFlags, dwTextFlags2, pRect);
    };
    rtl::String className;
    if (!pRect || !TextGate(hTheme, dwTextFlags, className)) return forward();
    const auto row = ThemeTextRow(className, iPartId, iStateId);
    if (!row) return forward();
    rtl::String text = TextToDraw(pszText, cchText);
    if (row->FirstLine) {
        const int lf = int(text.indexOf(u'\n'));
        if (lf > 0) text = text.left(lf);
    }
    RECT r = *pRect;
    if (row->TahomaHeight) {
        TTahomaScope tahoma(hdc, row->TahomaHeight);
        return StyledText(hdc, row->Details, text, r, dwTextFlags, row->Color);
    }
    if (row->SaveState) {
        TSavedDC saved(hdc);
        return StyledText(hdc, row->Details, text, r, dwTextFlags, row->Color);
    }
    return StyledText(hdc, row->Details, text, r, dwTextFlags, row->Color);
}

HRESULT DetourDrawThemeTextEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int cchText,
                              DWORD dwTextFlags, LPRECT pRect, const DTTOPTS* pOptions) {
    auto forward = [&] {
        return TrampolineDrawThemeTextEx(hTheme, hdc, iPartId, iStateId, pszText, cchText, dwTextFlags, pRect, pOptions);
    };
    rtl::String className;
    if (!pRect || !TextGate(hTheme, dwTextFlags, className)) return forward();
    TCustomStyleServices* s = Active();
    const bool fontRequest = pOptions && (pOptions->dwFlags & 0x40);
    TThemedElementDetails details;
    TColor colour = clNone;
    if (Same(className, "TREEVIEW") && iPartId == 1 && (iStateId == 1 || iStateId == 2)) {
        details = s->GetElementDetails(tlListItemNormal);
        colour = s->GetStyleFontColor(sfListItemTextNormal);
    } else if ((Same(className, "LISTVIEW") || Same(className, "ItemsView::ListView")) && iPartId == 6 && iStateId == 0) {
        details = s->GetElementDetails(tlListItemNormal);
        colour = s->GetStyleFontColor(sfListItemTextNormal);
    } else if (Same(className, "BUTTON") && iPartId == 6 && iStateId >= 1 && iStateId <= 6) {
        static const TThemedButton push[] = {tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed,
                                             tbPushButtonDisabled, tbPushButtonDefaulted, tbPushButtonDefaultedAnimating};
        details = s->GetElementDetails(push[iStateId - 1]);
        colour = ElementColor(details);
    } else {
        return forward();
    }
    const rtl::String text = TextToDraw(pszText, cchText);
    if (fontRequest) {
        TTahomaScope tahoma(hdc, 13);
        return StyledText(hdc, details, text, *pRect, dwTextFlags, colour);
    }
    TSavedDC saved(hdc);
    return StyledText(hdc, details, text, *pRect, dwTextFlags, colour);
}

template <class T> void Hook(T& Trampoline, const char* Name, T Detour) {
    Trampoline = reinterpret_cast<T>(HookModuleFunction(QStringLiteral("uxtheme.dll"), Name, reinterpret_cast<void*>(Detour)));
}

template <class T> void Unhook(T& Trampoline) {
    UnhookFunctionIfSet(reinterpret_cast<void*>(Trampoline));
    Trampoline = nullptr;
}

} // namespace

bool IsDrawThemeBackgroundEx(TDrawThemeBackgroundTrampoline Trampoline) { return Trampoline == &ForwardBackgroundEx; }

void RegisterThemeClassHandler(const rtl::String& ClassText, TFuncDrawThemeBackground Handler) {
    std::lock_guard<std::recursive_mutex> lock(S().ThemeLock);
    S().ThemeClassHandlers[ClassText.toLower()] = Handler;
}

void UnregisterThemeClassHandler(const rtl::String& ClassText) {
    std::lock_guard<std::recursive_mutex> lock(S().ThemeLock);
    S().ThemeClassHandlers.erase(ClassText.toLower());
}

rtl::String RecordedThemeClass(HTHEME Theme) {
    std::lock_guard<std::recursive_mutex> lock(S().ThemeLock);
    auto it = S().ThemeClassNames.find(Theme);
    return it == S().ThemeClassNames.end() ? rtl::String() : it->second;
}

HWND RecordedThemeWindow(HTHEME Theme) {
    std::lock_guard<std::recursive_mutex> lock(S().ThemeLock);
    auto it = S().ThemeWindows.find(Theme);
    return it == S().ThemeWindows.end() ? nullptr : it->second;
}

rtl::String FindThemeClassName(HTHEME Theme) {
    static const char16_t* const probes[] = {u"SCROLLBAR", u"LISTVIEW", u"ItemsView::Header", u"Navigation",
                                             u"CommandModule", u"EDIT", u"LISTBOX", u"BUTTON", u"MENU", u"MENUBAND"};
    const TOpenThemeData open = TrampolineOpenThemeData ? TrampolineOpenThemeData : &OpenThemeData;
    for (const char16_t* name : probes) {
        const HTHEME probe = open(nullptr, name);
        if (probe && probe == Theme) return QString::fromUtf16(name);
        if (probe) CloseThemeData(probe);
    }
    return {};
}

TThemeColorAnswer ThemeClassColor(const rtl::String& ClassText, int Part, int State) {
    TThemeColorAnswer a;
    auto in = [&](std::initializer_list<const char*> Names) {
        for (const char* n : Names)
            if (Same(ClassText, n)) return true;
        return false;
    };
    auto style = [](TColor C) { return Converted(StyleOf(C)); };
    auto set = [&](COLORREF C) {
        a.Found = true;
        a.Color = C;
    };
    auto row = [&](int P, int St, COLORREF C) {
        if (!a.Found && Part == P && State == St) set(C);
    };
    if (in({"EDIT"})) {
        a.Matched = true;
        row(1, 8, style(clWindowText));
    } else if (in({"TryHarder"})) {
        a.Matched = true;
        row(0, 0, style(clWindowText));
        row(1, 1, style(clWindowText));
    } else if (in({"SearchEditBox"})) {
        a.Matched = true;
        row(1, 2, style(clWindowText));
    } else if (in({"TOOLTIP"})) {
        a.Matched = true;
        row(1, 0, style(clBtnText));
        row(4, 0, style(clHighlight));
    } else if (in({"CFD::ComboBox"})) {
        a.Matched = true;
        row(9, 1, style(clWindow));
        row(9, 2, style(clHighlight));
    } else if (in({"MenuStyle"})) {
        a.Matched = true;
        row(13, 0, style(clBtnFace));
    } else if (in({"TEXTSTYLE"})) {
        a.Matched = true;
        row(1, 0, style(clHighlightText));
    } else if (in({"HEADER", "ItemsView::Header"})) {
        a.Matched = true;
        row(1, 0, style(clBtnText));
    } else if (in({"ReadingPane"})) {
        a.Matched = true;
        row(1, 0, style(clWindow));
        row(2, 0, style(clWindowText));
    } else if (in({"PreviewPane"})) {
        a.Matched = true;
        row(5, 0, style(clHighlight));
        row(6, 0, style(clBtnText));
        row(7, 1, COLORREF(GetAccentTextColor()));
        row(7, 2, 0x008000);
        row(8, 0, 0x0000FF);
        row(9, 1, 0xFF0000);
        row(9, 2, 0x00FFFF);
    } else if (in({"TASKDIALOGSTYLE"})) {
        // Every part answers: the library is never asked for this class.
        a.Matched = true;
        const bool editIsBorder = Active()->GetStyleColor(scEdit) == Active()->GetStyleColor(scBorder);
        if (Part == 2) set(editIsBorder ? style(clBtnText) : Converted(GetAccentTextColor()));
        else if (Part == 4 || Part == 6 || Part == 12 || Part == 14 || Part == 15 || Part == 18)
            set(editIsBorder ? style(clBtnText) : style(clWindowText));
        else set(COLORREF(ColorToRGB(clBtnText)) & 0xFFFFFF);
    } else if (in({"TREEVIEW", "PROPERTREE", "ExplorerNavPane"})) {
        a.Matched = true;
        if ((Part == 0 || Part == 2) && State == 0) set(style(clWindow));
    } else if (in({"ItemsView", "LISTVIEW", "LISTVIEWSTYLE", "ItemsView::ListView", "Explorer::ListView"})) {
        a.Matched = true;
        row(0, 0, style(clWindow));
        row(1, 0, 0x0000FF);
        if (Part == 4 && (State == 1 || State == 3 || State == 4)) set(style(clWindowText));
        row(4, 2, COLORREF(ColorToRGB(clWindowText)) & 0xFFFFFF);
        row(4, 5, 0xFF0000);
        row(4, 6, 0x00FFFF);
        row(4, 7, 0x008000);
        row(4, 8, 0xFF00FF);
        row(5, 0, style(clHighlight));
        row(6, 0, style(clWindowText));
    } else if (in({"CommandModule", "CPLCommandModule::CommandModule"})) {
        a.Matched = true;
        const COLORREF button = Converted(ButtonTextColor());
        row(3, 1, button);
        row(3, 6, 0x00FFFF);
        row(4, 1, button);
        if (Part == 9 && State >= 1 && State <= 3) set(button);
        row(9, 6, 0x00FF00);
        row(10, 1, Converted(GetAccentTextColor()));
    }
    return a;
}

void* HookFunctionByOrdinal(const rtl::String& ModuleName, WORD Ordinal, void* InterceptProc, bool LoadModule, uint8_t Options) {
    const std::u16string name = ModuleName.toStdU16String();
    HMODULE module = GetModuleHandleW(name.c_str());
    if (!module && LoadModule) module = LoadLibraryW(name.c_str());
    if (!module) return nullptr;
    FARPROC proc = GetProcAddress(module, reinterpret_cast<LPCSTR>(uintptr_t(Ordinal)));
    if (!proc) return nullptr;
    try {
        return HookFunction(reinterpret_cast<void*>(proc), InterceptProc, 0, Options);
    } catch (const rtl::Exception&) {
        return nullptr;
    }
}

bool UxThemeDetoursInstalled() { return Installed; }
bool OpenThemeDataForDpiIntercepted() { return TrampolineOpenThemeDataForDpi != nullptr; }

void InstallUxThemeDetours() {
    if (Installed) return;
    S();
    if (!TStyleManager::ActiveStyle()->Available()) return;
    RegisterThemeClassHandlers();
    DWORD major = 0, minor = 0, build = 0;
    GetOSVersion(major, minor, build);
    Hook(TrampolineOpenThemeData, "OpenThemeData", &DetourOpenThemeData);
    if (major >= 10) {
        Hook(TrampolineOpenThemeDataForDpi, "OpenThemeDataForDpi", &DetourOpenThemeDataForDpi);
        if (!TrampolineOpenThemeDataForDpi && build < 15063)
            TrampolineOpenThemeDataForDpi = reinterpret_cast<TOpenThemeDataForDpi>(HookFunctionByOrdinal(
                QStringLiteral("uxtheme.dll"), 129, reinterpret_cast<void*>(&DetourOpenThemeDataForDpi), true, 0));
    }
    Hook(TrampolineOpenThemeDataEx, "OpenThemeDataEx", &DetourOpenThemeDataEx);
    Hook(TrampolineDrawThemeBackground, "DrawThemeBackground", &DetourDrawThemeBackground);
    Hook(TrampolineDrawThemeBackgroundEx, "DrawThemeBackgroundEx", &DetourDrawThemeBackgroundEx);
    Hook(TrampolineDrawThemeEdge, "DrawThemeEdge", &DetourDrawThemeEdge);
    Hook(TrampolineDrawThemeText, "DrawThemeText", &DetourDrawThemeText);
    Hook(TrampolineDrawThemeTextEx, "DrawThemeTextEx", &DetourDrawThemeTextEx);
    Hook(TrampolineGetThemeSysColor, "GetThemeSysColor", &DetourGetThemeSysColor);
    Hook(TrampolineGetThemeSysColorBrush, "GetThemeSysColorBrush", &DetourGetThemeSysColorBrush);
    Hook(TrampolineGetThemeColor, "GetThemeColor", &DetourGetThemeColor);
    Installed = true;
}

void RemoveUxThemeDetours() {
    if (Installed) {
        Unhook(TrampolineGetThemeSysColor);
        Unhook(TrampolineGetThemeSysColorBrush);
        Unhook(TrampolineOpenThemeData);
        Unhook(TrampolineOpenThemeDataForDpi);
        Unhook(TrampolineOpenThemeDataEx);
        Unhook(TrampolineGetThemeColor);
        Unhook(TrampolineDrawThemeBackground);
        Unhook(TrampolineDrawThemeText);
        Unhook(TrampolineDrawThemeTextEx);
        Unhook(TrampolineDrawThemeBackgroundEx);
        Unhook(TrampolineDrawThemeEdge);
        Installed = false;
    }
    State.reset();
}

} // namespace styling
