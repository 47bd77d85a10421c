// styling/hooks/SysStyleHook.cpp
#include "styling/hooks/SysStyleHook.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "styling/hooks/StyleMisc.h"
#include "styling/hooks/SysControls.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

namespace styling {

using namespace vcl;

// ---------------------------------------------------------------------------------------------------
// Window-procedure thunks: a few bytes of code per hook that load the hook's record into the fifth
// argument register and jump to one entry, so that a method can stand as a window procedure.

struct TWindowThunk {
    uint8_t Code[32];
    TSysStyleHook* Hook;  // null once the hook is gone: the thunk then only passes messages on
    WNDPROC OrgProc;
};

namespace {

LRESULT ThunkEntry(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, TWindowThunk* Thunk);

constexpr size_t ThunkPage = 4096;
std::vector<TWindowThunk*> FreeThunks;

TWindowThunk* AllocThunk() {
    if (FreeThunks.empty()) {
        auto* page = static_cast<uint8_t*>(VirtualAlloc(nullptr, ThunkPage, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
        if (!page) throw rtl::Exception(QStringLiteral("No memory for a window-procedure thunk"));
        // Slots leave the page's first bytes free, so nothing ever looks in front of a mapping.
        for (size_t at = ThunkPage - sizeof(TWindowThunk); at >= 64; at -= sizeof(TWindowThunk))
            FreeThunks.push_back(reinterpret_cast<TWindowThunk*>(page + at));
    }
    TWindowThunk* t = FreeThunks.back();
    FreeThunks.pop_back();
    std::memset(t->Code, 0xCC, sizeof(t->Code));
    const uint64_t record = reinterpret_cast<uint64_t>(t);
    const uint64_t entry = reinterpret_cast<uint64_t>(&ThunkEntry);
    uint8_t* c = t->Code;
    *c++ = 0x49, *c++ = 0xB8;  // mov r8, record
    std::memcpy(c, &record, 8), c += 8;
    *c++ = 0x48, *c++ = 0xB8;  // mov rax, entry
    std::memcpy(c, &entry, 8), c += 8;
    *c++ = 0xFF, *c++ = 0xE0;  // jmp rax
    t->Hook = nullptr;
    t->OrgProc = nullptr;
    return t;
}

void FreeThunk(TWindowThunk* Thunk) {
    std::memset(Thunk->Code, 0xCC, sizeof(Thunk->Code));
    FreeThunks.push_back(Thunk);
}

WNDPROC ProcOf(TWindowThunk* Thunk) { return reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(Thunk->Code)); }

LRESULT ThunkEntry(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, TWindowThunk* Thunk) {
    if (TSysStyleHook* hook = Thunk->Hook) {
        TMessage message;
        message.Msg = Msg;
        message.WParam = WParam;
        message.LParam = LParam;
        hook->WndProc(message);
        return message.Result;
    }
    const LRESULT result = CallWindowProcW(Thunk->OrgProc, Wnd, Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY) FreeThunk(Thunk);
    return result;
}

} // namespace

UINT BackgroundProbeMessage() {
    static const UINT message = RegisterWindowMessageW(u"TwStyleHookBackgroundProbe");
    return message;
}

bool IsControlHooked(HWND Handle) { return Handle && SendMessageW(Handle, CM_IS_HOOKED, 0, 0) == HookedAnswer; }

// ---------------------------------------------------------------------------------------------------
// TSysControl

void TSysControl::SetWndProc(LONG_PTR Value) {
    if (Value != WndProc()) SetWindowLongPtrW(FHandle, GWLP_WNDPROC, Value);
}

TSysControl* TSysControl::Parent() {
    FParent.reset();
    if (HWND p = ParentHandle()) FParent = std::make_unique<TSysControl>(p);
    return FParent.get();
}

TRect TSysControl::WindowRect() const {
    RECT r{};
    if (!GetWindowRect(FHandle, &r)) r = RECT{};
    return TRect(r);
}

TRect TSysControl::ClientRect() const {
    RECT r{};
    if (!GetClientRect(FHandle, &r)) r = RECT{};
    return TRect(r);
}

rtl::String TSysControl::Text() const {
    WCHAR buffer[1024];
    const int n = GetWindowTextW(FHandle, buffer, 1024);
    return n > 0 ? QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), n) : rtl::String();
}

const rtl::String& TSysControl::ControlClassName() {
    if (FWindowClassName.isEmpty()) FWindowClassName = GetWindowClassName(FHandle);
    return FWindowClassName;
}

TBidiModeDirection TSysControl::BidiMode() const {
    if (Style() != 0 && (ExStyle() & (WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LAYOUTRTL))) return bmRightToLeft;
    return bmLeftToRight;
}

bool TSysControl::UseRightToLeftAlignment() const { return rtl::SysLocale.MiddleEast && BidiMode() == bmRightToLeft; }

UINT TSysControl::DrawTextBiDiModeFlags(UINT Flags) const {
    if (UseRightToLeftAlignment()) {
        if (Flags & DT_RIGHT) Flags &= ~UINT(DT_RIGHT);
        else if (!(Flags & DT_CENTER)) Flags |= DT_RIGHT;
    }
    return Flags | DrawTextBiDiModeFlagsReadingOnly();
}

TFont* TSysControl::Font() {
    if (FFont) return FFont.get();
    FFont = std::make_unique<TFont>();
    const HFONT h = reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (h && GetObjectW(h, sizeof(lf), &lf)) {
        FFont->SetName(QString::fromUtf16(reinterpret_cast<const char16_t*>(lf.lfFaceName)));
        FFont->SetHeight(lf.lfHeight);
        TFontStyles styles;
        if (lf.lfWeight >= 500) styles.Include(fsBold);
        if (lf.lfItalic) styles.Include(fsItalic);
        if (lf.lfUnderline) styles.Include(fsUnderline);
        if (lf.lfStrikeOut) styles.Include(fsStrikeOut);
        FFont->SetStyle(styles);
        if ((lf.lfPitchAndFamily & 3) == 1) FFont->SetPitch(fpFixed);
        else if ((lf.lfPitchAndFamily & 3) == 2) FFont->SetPitch(fpVariable);
    }
    return FFont.get();
}

// ---------------------------------------------------------------------------------------------------
// TSysStyleHook

TSysStyleHook::TSysStyleHook(HWND AHandle) : FHandle(AHandle), FFont(std::make_unique<TFont>()) {
    if (!AHandle) return;
    FSysControl = std::make_unique<TSysControl>(AHandle);
    FBrush = std::make_unique<TBrush>();
    FProcInstance = AllocThunk();
    FProcInstance->Hook = this;
    FOrgWndProc = reinterpret_cast<WNDPROC>(FSysControl->WndProc());
    FProcInstance->OrgProc = FOrgWndProc;
    FSysControl->SetWndProc(reinterpret_cast<LONG_PTR>(ProcOf(FProcInstance)));
    UpdateColors();
}

TSysStyleHook::~TSysStyleHook() {
    if (FProcInstance) {
        FProcInstance->Hook = nullptr;
        if (!IsWindow(FHandle)) {
            FreeThunk(FProcInstance);
        } else if (FSysControl->WndProc() == reinterpret_cast<LONG_PTR>(ProcOf(FProcInstance))) {
            FSysControl->SetWndProc(reinterpret_cast<LONG_PTR>(FOrgWndProc));
            FreeThunk(FProcInstance);
        }
        // Otherwise another subclass chains to the thunk: it passes messages on until the window dies.
    }
}

WNDPROC TSysStyleHook::ProcInstance() const { return FProcInstance ? ProcOf(FProcInstance) : nullptr; }

void TSysStyleHook::SetStyleElements(TStyleElements Value) {
    if (Value == FStyleElements) return;
    FStyleElements = Value;
    SetOverridePaint(Value.Contains(seClient));
    FOverridePaintNC = Value.Contains(seBorder);
    FOverrideFont = Value.Contains(seFont);
}

void TSysStyleHook::SetOverridePaint(bool Value) {
    FOverridePaint = Value;
    if (Value) FOverrideEraseBkgnd = true;
}

void TSysStyleHook::SetColor(TColor Value) {
    if (!FBrush) return;
    if (Value != FColor || FBrush->Color() != Value) {
        FColor = Value;
        FBrush->SetColor(Value);
    }
}

void TSysStyleHook::SetFont(TFont* Value) { FFont->Assign(Value); }

HBRUSH TSysStyleHook::BrushHandle() const { return FBrush ? FBrush->Handle() : nullptr; }

bool TSysStyleHook::IsStyled() const {
    TCustomStyleServices* style = TStyleManager::ActiveStyle();
    if (!style || !style->Available() || style->IsSystemStyle()) return false;
    return TSysStyleManager::IncludeVclControls || !IsVclControlHandle(FHandle);
}

bool TSysStyleHook::UseLeftScrollBar() const {
    return FSysControl && (FSysControl->ExStyle() & WS_EX_LEFTSCROLLBAR);
}

void TSysStyleHook::UpdateColors() {
    TCustomStyleServices* style = TStyleManager::ActiveStyle();
    if (FOverrideEraseBkgnd || FOverridePaint) SetColor(style->GetStyleColor(scWindow));
    else SetColor(clBtnFace);
    FFontColor = FOverrideFont ? style->GetSystemColor(clWindowText) : TColor(0);
}

LRESULT TSysStyleHook::CallDefaultProc(TMessage& Message) {
    if (!FOrgWndProc) return 0;
    try {
        return CallWindowProcW(FOrgWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
    } catch (const rtl::Exception& e) {
        const rtl::String text = QStringLiteral("CallDefaultProc error : ") + e.Message();
        OutputDebugStringW(reinterpret_cast<LPCWSTR>(text.utf16()));
        return 0;
    }
}

void TSysStyleHook::WndProc(TMessage& Message) {
    const UINT msg = Message.Msg;
    if (msg == BackgroundProbeMessage()) {
        // The probe points at an integer holding the question; a hook that paints its background answers.
        if (Message.LParam && (FOverrideEraseBkgnd || FOverridePaint || FPaintOnEraseBkgnd)) {
            int* value = reinterpret_cast<int*>(Message.LParam);
            if (*value == ProbeQuestion) *value = ProbeAnswer;
        }
        Message.Result = 0;
        return;
    }
    switch (msg) {
    case WM_DESTROY:
    case WM_SETREDRAW:
        Message.Result = CallDefaultProc(Message);
        Dispatch(Message);
        FHandled = false;
        return;
    case WM_NCDESTROY: {
        Message.Result = CallDefaultProc(Message);
        if (TSysStyleManager::HookedWindows().count(FHandle)) FMustRemove = true;
        TSysStyleManager::ForgetDeferred(FHandle);
        return;
    }
    case WM_CHANGEUISTATE:
    case WM_QUERYUISTATE:
    case WM_PARENTNOTIFY:
        Message.Result = CallDefaultProc(Message);
        PostMessageW(FHandle, CM_HOOK_DEFERRED, 0, 0);
        return;
    case CM_HOOKED_TEST:
    case CM_IS_HOOKED:
        Message.Result = HookedAnswer;
        return;
    case CM_HOOK_DEFERRED:
        HookDeferredChildren(Message);
        return;
    case CM_HOOKED_DIRECTLY:
        FHookedDirectly = true;
        return;
    default:
        break;
    }
    if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) {
        ReflectColor(Message);
        return;
    }
    if (msg >= WM_CTLCOLORMSGBOX + CM_CTLCOLOR_REFLECT && msg <= WM_CTLCOLORSTATIC + CM_CTLCOLOR_REFLECT) {
        const HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, COLORREF(ColorToRGB(FFontColor)) & 0xFFFFFF);
        SetBkColor(dc, COLORREF(ColorToRGB(FColor)) & 0xFFFFFF);
        Message.Result = reinterpret_cast<LRESULT>(BrushHandle());
        return;
    }
    Dispatch(Message);
    if (!FHandled) Message.Result = CallDefaultProc(Message);
    FHandled = false;
}

void TSysStyleHook::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); break;
    case WM_NCPAINT: WMNCPaint(Message); break;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    default: break;
    }
}

void TSysStyleHook::ReflectColor(TMessage& Message) {
    const HWND child = reinterpret_cast<HWND>(Message.LParam);
    if (!IsStyled() ||
        (!TSysStyleManager::ColorAllChildControls && !TSysStyleManager::HookedWindows().count(child))) {
        Message.Result = CallDefaultProc(Message);
        return;
    }
    const UINT reflected = Message.Msg + CM_CTLCOLOR_REFLECT;
    const LRESULT a = SendMessageW(FHandle, reflected, Message.WParam, Message.LParam);
    const LRESULT b = child ? SendMessageW(child, reflected, Message.WParam, Message.LParam) : 0;
    Message.Result = b ? b : a;
}

void TSysStyleHook::HookDeferredChildren(TMessage& Message) {
    Message.Result = 0;
    auto& hooked = TSysStyleManager::HookedWindows();
    // Only this window's children not taken before; hooking may create windows and change the maps.
    for (HWND child : TSysStyleManager::TakeDeferredChildren(FHandle)) {
        const auto entry = TSysStyleManager::DeferredChildren().find(child);
        if (entry == TSysStyleManager::DeferredChildren().end()) continue;
        const TChildControlInfo info = entry->second;
        if (info.Parent != FHandle || hooked.count(child) || !IsWindow(child)) continue;
        if (SendMessageW(child, CM_IS_HOOKED, 0, 0) == HookedAnswer) continue;
        if (!info.StyleHookClass) continue;
        std::unique_ptr<TSysStyleHook> hook;
        try {
            hook.reset(info.StyleHookClass(child));
        } catch (const std::exception&) {
            continue;  // a hook that cannot be made leaves its window as it is
        }
        hooked[child] = std::move(hook);
        RedrawWindow(child, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INTERNALPAINT | RDW_INVALIDATE);
        SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        Message.Result = 1;
    }
}

void TSysStyleHook::ClipChildren(HDC DC) {
    if (!(FSysControl->Style() & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN))) return;
    HWND w = GetTopWindow(FHandle);
    if (!w || GetParent(w) != FHandle) return;
    for (; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!IsWindowVisible(w) || !(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) continue;
        RECT r{};
        GetWindowRect(w, &r);
        POINT p{r.left, r.top};
        ScreenToClient(FHandle, &p);
        const RECT local{p.x, p.y, p.x + (r.right - r.left), p.y + (r.bottom - r.top)};
        if (RectVisible(DC, &local)) ExcludeClipRect(DC, local.left, local.top, local.right, local.bottom);
    }
}

void TSysStyleHook::WMPaint(TMessage& Message) {
    FHandled = false;
    if (!IsStyled() || !FOverridePaint) return;
    auto canvas = std::make_unique<TCanvas>();
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps{};
    const bool own = dc == nullptr;
    if (own) {
        dc = GetDC(FHandle);
        BeginPaint(FHandle, &ps);
    }
    canvas->SetHandle(dc);
    canvas->Font()->Assign(FFont.get());
    if (!CustomPaint(dc)) {
        if (FDoubleBuffered && own) {
            auto buffer = std::make_unique<TBitmap>(FSysControl->Width(), FSysControl->Height());
            ClipChildren(dc);
            buffer->Canvas()->Font()->Assign(FFont.get());
            PaintBackground(buffer->Canvas());
            Paint(buffer->Canvas());
            canvas->Draw(0, 0, buffer.get());
        } else {
            ClipChildren(dc);
            Paint(canvas.get());
        }
    }
    canvas->SetHandle(nullptr);
    if (own) {
        ReleaseDC(FHandle, dc);
        EndPaint(FHandle, &ps);
    }
    FHandled = true;
}

void TSysStyleHook::WMEraseBkgnd(TMessage& Message) {
    FHandled = false;
    if (!IsStyled()) return;
    UpdateColors();
    if (!FOverrideEraseBkgnd) return;
    if (!FDoubleBuffered) {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        const bool own = dc == nullptr;
        int saved = 0;
        if (own) dc = GetDC(FHandle);
        else saved = SaveDC(dc);
        auto canvas = std::make_unique<TCanvas>();
        canvas->SetHandle(dc);
        canvas->Font()->Assign(FFont.get());
        if (FParentColor && FSysControl->ParentHandle()) DrawParentBackground(dc);
        else PaintBackground(canvas.get());
        if (FPaintOnEraseBkgnd && Message.LParam != EraseOnlyMarker) Paint(canvas.get());
        canvas->SetHandle(nullptr);
        if (own) ReleaseDC(FHandle, dc);
        else RestoreDC(dc, saved);
    }
    FHandled = true;
    Message.Result = 1;
}

void TSysStyleHook::WMNCPaint(TMessage&) {
    FHandled = false;
    if (!IsStyled() || !FOverridePaintNC) return;
    HDC dc = GetWindowDC(FHandle);
    auto canvas = std::make_unique<TCanvas>();
    canvas->SetHandle(dc);
    canvas->Font()->Assign(FFont.get());
    PaintNCBorder(canvas.get());
    PaintNC(canvas.get());
    canvas->SetHandle(nullptr);
    ReleaseDC(FHandle, dc);
    FHandled = true;
}

void TSysStyleHook::PaintBackground(TCanvas* Canvas) {
    Canvas->Brush()->SetColor(FColor);
    Canvas->FillRect(FSysControl->ClientRect());
}

void TSysStyleHook::PaintNCBorder(TCanvas*) {
    const TRect b = GetBorderWidths();
    if (b.Left > 0 && b.Top > 0 && b.Right > 0 && b.Bottom > 0) PaintBorder(FSysControl.get(), true);
}

void TSysStyleHook::Invalidate() {
    if (FOverridePaintNC) InvalidateNC();
    InvalidateRect(FHandle, nullptr, FALSE);
}

bool TSysStyleHook::ParentPaintsBackground() {
    const HWND parent = GetParent(FHandle);
    if (!parent || !IsControlHooked(parent)) return false;
    int value = ProbeQuestion;
    SendMessageW(parent, BackgroundProbeMessage(), 0, reinterpret_cast<LPARAM>(&value));
    return value == ProbeAnswer;
}

void TSysStyleHook::DrawParentBackground(HDC DC, const TRect* R) {
    TSysControl* parent = FSysControl->Parent();
    if (!parent) return;
    auto bitmap = std::make_unique<TBitmap>(parent->Width(), parent->Height());
    SendMessageW(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(bitmap->Canvas()->Handle()),
                 EraseOnlyMarker);
    POINT p = R ? POINT{R->Left, R->Top} : POINT{0, 0};
    ClientToScreen(FHandle, &p);
    ScreenToClient(parent->Handle(), &p);
    if (R)
        BitBlt(DC, R->Left, R->Top, R->Width(), R->Height(), bitmap->Canvas()->Handle(), p.x, p.y, SRCCOPY);
    else
        BitBlt(DC, 0, 0, FSysControl->Width(), FSysControl->Height(), bitmap->Canvas()->Handle(), p.x, p.y, SRCCOPY);
}

void TSysStyleHook::PaintBorder(TSysControl* Control, bool EraseLRCorner) {
    const TRect b = GetBorderWidths();
    Control->SetExStyle(GetWindowLongPtrW(FHandle, GWL_EXSTYLE));
    if (!(Control->ExStyle() & WS_EX_CLIENTEDGE)) return;
    TRect r = Control->WindowRect();
    r.Offset(-r.Left, -r.Top);
    HDC dc = GetWindowDC(Control->Handle());
    if (EraseLRCorner && (Control->Style() & WS_HSCROLL) && (Control->Style() & WS_VSCROLL)) {
        TRect c = r;
        c.Inflate(-2, -2);
        const int w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
        const RECT corner = UseLeftScrollBar() ? RECT{c.Left, c.Bottom - h, c.Left + w, c.Bottom}
                                               : RECT{c.Right - w, c.Bottom - h, c.Right, c.Bottom};
        FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
    ExcludeClipRect(dc, r.Left + b.Left, r.Top + b.Top, r.Right - b.Right, r.Bottom - b.Bottom);
    StyleServices()->DrawElement(dc, StyleServices()->GetElementDetails(teEditTextNormal), r);
    ReleaseDC(Control->Handle(), dc);
}

namespace {

// The element's text colour when the style has one and the font follows the style, else Fallback.
TColor TextColorFor(const TThemedElementDetails& Details, bool OverrideFont, TColor Fallback) {
    TColor c = clNone;
    if (OverrideFont && StyleServices()->GetElementColor(Details, ecTextColor, c) && c != clNone) return c;
    return Fallback;
}

} // namespace

int TSysStyleHook::DrawText(HDC DC, const TThemedElementDetails& Details, const rtl::String& S, TRect& R, UINT Flags) {
    const int saved = SaveDC(DC);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, COLORREF(ColorToRGB(TextColorFor(Details, FOverrideFont, FFontColor))) & 0xFFFFFF);
    RECT r = R;
    const int height = DrawTextW(DC, reinterpret_cast<LPCWSTR>(S.utf16()), int(S.size()), &r, Flags);
    R = TRect(r);
    RestoreDC(DC, saved);
    return height;
}

int TSysStyleHook::DrawTextCentered(HDC DC, const TThemedElementDetails& Details, const TRect& R,
                                    const rtl::String& S, UINT Flags) {
    const int saved = SaveDC(DC);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, COLORREF(ColorToRGB(TextColorFor(Details, FOverrideFont, FFontColor))) & 0xFFFFFF);
    const UINT f = Flags | DT_END_ELLIPSIS | DT_EDITCONTROL | DT_WORDBREAK | DT_CENTER;
    RECT measured = R;
    DrawTextW(DC, reinterpret_cast<LPCWSTR>(S.utf16()), int(S.size()), &measured, f | DT_CALCRECT);
    measured.right = R.Right;
    if (measured.bottom < R.Bottom) OffsetRect(&measured, 0, (R.Bottom - measured.bottom) / 2);
    else measured.bottom = R.Bottom;
    DRAWTEXTPARAMS params{};
    params.cbSize = 20;
    DrawTextExW(DC, const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(S.utf16())), int(S.size()), &measured, f, &params);
    RestoreDC(DC, saved);
    return int(params.uiLengthDrawn);
}

void TSysStyleHook::DrawControlText(TCanvas* Canvas, const TThemedElementDetails& Details, const rtl::String& S,
                                    TRect& R, UINT Flags) {
    Canvas->Font()->Assign(FSysControl->Font());
    TColor c = clNone;
    if (StyleServices()->GetElementColor(Details, ecTextColor, c) && c != clNone) {
        Canvas->Font()->SetColor(c);
    } else {
        Canvas->Refresh();
        c = clNone;
    }
    StyleServices()->DrawText(Canvas->Handle(), Details, S, R, TextFormatFromFlags(Flags), c);
}

// ---------------------------------------------------------------------------------------------------
// TMouseTrackSysControlStyleHook

TMouseTrackSysControlStyleHook::~TMouseTrackSysControlStyleHook() = default;

void TMouseTrackSysControlStyleHook::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: FMouseDown = true; break;
    case WM_LBUTTONUP: FMouseDown = false; break;
    case WM_MOUSEMOVE:
        if (!FMouseInControl && !FMouseInNCArea) {
            FMouseInControl = true;
            StartHotTrackTimer();
            MouseEnter();
        } else if (FMouseInNCArea && FMouseInControl) {
            StopHotTrackTimer();
            FMouseInControl = false;
            MouseLeave();
        }
        break;
    case WM_NCMOUSEMOVE:
        if (!FMouseInControl) {
            FMouseInControl = true;
            StartHotTrackTimer();
            MouseEnter();
        }
        break;
    default: TSysStyleHook::Dispatch(Message); break;
    }
}

void TMouseTrackSysControlStyleHook::StartHotTrackTimer() {
    // One timer per hook, stopped and started again: the tick that stops it runs inside the timer.
    if (!FHotTrackTimer) {
        FHotTrackTimer = std::make_unique<TTimer>(nullptr);
        FHotTrackTimer->SetEnabled(false);
        FHotTrackTimer->SetOnTimer(rtl::TNotifyEvent(this, &TMouseTrackSysControlStyleHook::HotTrackTimerTick));
    }
    FHotTrackTimer->SetEnabled(false);
    FHotTrackTimer->SetInterval(100);
    FHotTrackTimer->SetEnabled(true);
}

void TMouseTrackSysControlStyleHook::StopHotTrackTimer() {
    if (FHotTrackTimer) FHotTrackTimer->SetEnabled(false);
}

void TMouseTrackSysControlStyleHook::HotTrackTimerTick(rtl::TObject*) {
    POINT p{};
    GetCursorPos(&p);
    const HWND w = WindowFromPoint(p);
    if (w == FHandle || IsChildHandle(w)) return;
    StopHotTrackTimer();
    FMouseInControl = false;
    MouseLeave();
}

} // namespace styling
