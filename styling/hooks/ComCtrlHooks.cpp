// styling/hooks/ComCtrlHooks.cpp: tabs, rich edits, rebars, status bars, track bars and up-downs, and
// the registration of the common-control classes.
#include "styling/hooks/ComCtrlHooks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "rtlos/OSUtils.h"
#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/SysControls.h"
#include "win/comctl32/richedit.h"

namespace styling {

using namespace vcl;

namespace {

COLORREF Rgb(TColor C) { return COLORREF(ColorToRGB(C)) & 0xFFFFFF; }

TPoint PointOf(LPARAM LParam) { return TPoint(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)); }

// A 255-character text read by a message that fills a structure naming the buffer.
rtl::String BufferText(const WCHAR* Buffer, size_t Size) {
    return QString::fromUtf16(Buffer, qsizetype(std::find(Buffer, Buffer + Size, u'\0') - Buffer));
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// tabs

TSysTabControlStyleHook::TSysTabControlStyleHook(HWND AHandle) : TMouseTrackSysControlStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seFont, seClient});
}

TRect TSysTabControlStyleHook::GetTabRect(int Index) const {
    RECT r{};
    SendMessageW(FHandle, TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
    return TRect(r);
}

rtl::String TSysTabControlStyleHook::GetTabs(int Index) const {
    WCHAR buffer[255] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 255;
    if (!SendMessageW(FHandle, TCM_GETITEMW, WPARAM(Index), reinterpret_cast<LPARAM>(&item))) return {};
    // The control may answer with a text of its own instead of the buffer.
    return item.pszText == buffer ? BufferText(buffer, 255) : BufferText(item.pszText, 255);
}

int TSysTabControlStyleHook::TabCount() const { return int(SendMessageW(FHandle, TCM_GETITEMCOUNT, 0, 0)); }

int TSysTabControlStyleHook::SelectedTab() const { return int(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0)); }

TRect TSysTabControlStyleHook::TabsDisplayRect() const {
    RECT r = FSysControl->ClientRect();
    SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    r.top += 2;
    return TRect(r);
}

void TSysTabControlStyleHook::Paint(TCanvas* Canvas) {
    const HDC dc = Canvas->Handle();
    {
        TSavedDC saved(dc);
        const TRect d = TabsDisplayRect();
        ExcludeClipRect(dc, d.Left, d.Top, d.Right, d.Bottom);
        PaintBackground(Canvas);
    }
    const int count = TabCount();
    for (int i = 0; i < count; ++i) DrawTab(Canvas, i);
    TRect p = TabsDisplayRect();
    p.Inflate(FSysControl->Width() - p.Right, FSysControl->Height() - p.Bottom);
    TCustomStyleServices* style = StyleServices();
    if (style->Available()) DrawStyleElement(dc, style->GetElementDetails(ttPane), p, true);
    const int selected = SelectedTab();
    if (selected >= 0) DrawTab(Canvas, selected);
}

void TSysTabControlStyleHook::DrawTab(TCanvas* Canvas, int Index) {
    // A tab scrolled out of view has a negative left edge, or no rectangle at all on some systems
    // (its text would otherwise land unclipped in the corner).
    RECT known{};
    if (!SendMessageW(FHandle, TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&known))) return;
    TRect r(known);
    if (r.Left < 0) return;
    const bool selected = Index == SelectedTab();
    if (selected) r.Inflate(0, 2);
    TRect t = r;
    const TThemedTab element = selected                                      ? ttTabItemSelected
                               : Index == FHotTabIndex && FMouseInControl ? ttTabItemHot
                                                                           : ttTabItemNormal;
    TCustomStyleServices* style = StyleServices();
    if (!style->Available()) return;
    const TThemedElementDetails details = style->GetElementDetails(element);
    style->DrawElement(Canvas->Handle(), details, r);
    if (selected) t.Offset(0, -1);
    style->DrawText(Canvas->Handle(), details, GetTabs(Index), t,
                    TTextFormat{tfCenter, tfNoClip, tfSingleLine, tfVerticalCenter}, clNone);
}

// ---------------------------------------------------------------------------------------------------
// rich edits

TSysRichEditStyleHook::TSysRichEditStyleHook(HWND AHandle) : TSysScrollingStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seBorder});
    UpdateColors();
}

TRect TSysRichEditStyleHook::GetBorderWidths() {
    return FSysControl->HasBorder() ? TRect(2, 2, 2, 2) : TRect(0, 0, 0, 0);
}

void TSysRichEditStyleHook::UpdateColors() {
    TCustomStyleServices* style = StyleServices();
    const bool enabled = FSysControl && FSysControl->Enabled();
    SetColor(TColor(Rgb(style->GetStyleColor(scEdit))));
    FFontColor = TColor(Rgb(style->GetStyleFontColor(enabled ? sfEditBoxTextNormal : sfEditBoxTextDisabled)));
    FBackColor = TColor(Rgb(style->GetStyleColor(enabled ? scEdit : scEditDisabled)));
    if (!FSysControl) return;
    SendMessageW(FHandle, EM_SETBKGNDCOLOR, 0, 0);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(CHARFORMAT2W);
    format.dwMask = CFM_ALL;
    SendMessageW(FHandle, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(FHandle, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

void TSysRichEditStyleHook::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case EM_SETBKGNDCOLOR:
        Message.LParam = LPARAM(Rgb(FColor));
        Message.Result = CallDefaultProc(Message);
        return;
    case EM_SETCHARFORMAT: {
        // The caller's structure is not ours to write: the control gets a changed copy. A missing
        // structure, or one too small to hold a text colour, goes on as it came.
        const auto* given = reinterpret_cast<const CHARFORMATW*>(Message.LParam);
        constexpr UINT largest = 1024;  // no format structure comes near this
        if (!given || given->cbSize < sizeof(CHARFORMATW) || given->cbSize > largest) {
            Message.Result = CallDefaultProc(Message);
            return;
        }
        alignas(CHARFORMAT2W) unsigned char copy[largest];
        std::memcpy(copy, given, given->cbSize);
        auto* format = reinterpret_cast<CHARFORMATW*>(copy);
        format->crTextColor = Rgb(FFontColor);
        format->dwEffects &= ~DWORD(CFE_AUTOCOLOR);
        if (format->cbSize >= sizeof(CHARFORMAT2W)) reinterpret_cast<CHARFORMAT2W*>(copy)->crBackColor = Rgb(FBackColor);
        const LPARAM original = Message.LParam;
        Message.LParam = reinterpret_cast<LPARAM>(copy);
        Message.Result = CallDefaultProc(Message);
        Message.LParam = original;
        return;
    }
    default: TSysScrollingStyleHook::WndProc(Message); return;
    }
}

// ---------------------------------------------------------------------------------------------------
// rebars

TSysReBarStyleHook::TSysReBarStyleHook(HWND AHandle) : TSysStyleHook(AHandle) {
    FOverrideEraseBkgnd = true;
    SetOverridePaint(true);
    FOverridePaintNC = true;
}

int TSysReBarStyleHook::BandCount() const { return int(SendMessageW(FHandle, RB_GETBANDCOUNT, 0, 0)); }

TRect TSysReBarStyleHook::BandRect(int Index) const {
    RECT r{};
    SendMessageW(FHandle, RB_GETRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
    return TRect(r);
}

TRect TSysReBarStyleHook::BandBorders(int Index) const {
    RECT r{};
    SendMessageW(FHandle, RB_GETBANDBORDERS, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
    return TRect(r);
}

UINT TSysReBarStyleHook::BandInfoSize() {
    return rtl::GetComCtlVersion() < 0x60001 ? UINT(REBARBANDINFOW_V6_SIZE) : UINT(sizeof(REBARBANDINFOW));
}

rtl::String TSysReBarStyleHook::BandText(int Index) const {
    WCHAR buffer[255] = {};
    REBARBANDINFOW info{};
    info.cbSize = BandInfoSize();
    info.fMask = RBBIM_TEXT;
    info.lpText = buffer;
    info.cch = 255;
    if (!SendMessageW(FHandle, RB_GETBANDINFOW, WPARAM(Index), reinterpret_cast<LPARAM>(&info))) return {};
    return BufferText(buffer, 255);
}

void TSysReBarStyleHook::PaintBackground(TCanvas* Canvas) {
    TRect r(0, 0, FSysControl->ClientWidth(), FSysControl->ClientHeight());
    r.Inflate(2, 2);
    TCustomStyleServices* style = StyleServices();
    const TThemedElementDetails details = style->GetElementDetails(teToolBar, 0, 0);
    if (style->HasTransparentParts(details)) style->DrawParentBackground(FHandle, Canvas->Handle(), nullptr, false);
    style->DrawElement(Canvas->Handle(), details, r);
}

void TSysReBarStyleHook::PaintNC(TCanvas* Canvas) {
    const int w = FSysControl->Width(), h = FSysControl->Height();
    ExcludeClipRect(Canvas->Handle(), 2, 2, w - 2, h - 2);
    TCustomStyleServices* style = StyleServices();
    FillRectColor(Canvas->Handle(), TRect(0, 0, w, h), TColor(Rgb(style->GetSystemColor(clBtnFace))));
    style->DrawElement(Canvas->Handle(), style->GetElementDetails(teToolBar, 0, 0), TRect(0, 0, w, h));
}

void TSysReBarStyleHook::Paint(TCanvas* Canvas) {
    TCustomStyleServices* style = StyleServices();
    const TRect client = FSysControl->ClientRect();
    const int count = BandCount();
    for (int i = 0; i < count; ++i) {
        TRect r = BandRect(i);
        const TRect b = BandBorders(i);
        r.Inflate(1, 1);
        r.Left = std::max(r.Left, 0);
        r.Top = std::max(r.Top, 0);
        r.Right = std::min(r.Right, client.Right);
        r.Bottom = std::min(r.Bottom, client.Bottom);
        const TThemedElementDetails band = style->GetElementDetails(trBand);
        style->DrawElement(Canvas->Handle(), band, r);
        const rtl::String text = BandText(i);
        if (!text.isEmpty()) {
            TRect t(r.Left + 10, r.Top, r.Left + b.Left, r.Bottom);
            DrawControlText(Canvas, band, text, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        style->DrawElement(Canvas->Handle(), style->GetElementDetails(trGripper),
                           TRect(r.Left + 2, r.Top + 2, r.Left + 6, r.Bottom - 2));
    }
}

void TSysReBarStyleHook::WndProc(TMessage& Message) {
    if (Message.Msg == WM_SIZE) {
        Message.Result = CallDefaultProc(Message);
        Invalidate();
        return;
    }
    TSysStyleHook::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------------
// status bars

TSysStatusBarStyleHook::TSysStatusBarStyleHook(HWND AHandle) : TSysStyleHook(AHandle) { SetOverridePaint(true); }

rtl::String TSysStatusBarStyleHook::PartText(int Index) const {
    // The low word is the text's length, the high word the part's drawing type: an owner-drawn part
    // holds the owner's data, which is no text.
    const LRESULT answer = SendMessageW(FHandle, SB_GETTEXTLENGTHW, WPARAM(Index), 0);
    const int length = LOWORD(answer);
    if (length <= 0 || (HIWORD(answer) & SBT_OWNERDRAW)) return {};
    std::vector<WCHAR> buffer(size_t(length) + 1, 0);
    SendMessageW(FHandle, SB_GETTEXTW, WPARAM(Index), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = 0;
    return BufferText(buffer.data(), buffer.size());
}

void TSysStatusBarStyleHook::DrawPartText(TCanvas* Canvas, int Index, TRect R) {
    const rtl::String text = PartText(Index);
    if (text.isEmpty()) return;
    DrawControlText(Canvas, StyleServices()->GetElementDetails(tsPane), text, R,
                    FSysControl->DrawTextBiDiModeFlags(0));
}

void TSysStatusBarStyleHook::Paint(TCanvas* Canvas) {
    TCustomStyleServices* style = StyleServices();
    const HDC dc = Canvas->Handle();
    style->DrawElement(dc, style->GetElementDetails(tsStatusRoot),
                       TRect(0, 0, FSysControl->Width(), FSysControl->Height()));
    const TRect client = FSysControl->ClientRect();
    auto gripper = [&](int Height) {
        TRect g = client;
        g.Left = g.Right - Height;
        style->DrawElement(dc, style->GetElementDetails(tsGripper), g);
    };
    if (SendMessageW(FHandle, SB_ISSIMPLE, 0, 0)) {
        int borders[3] = {};
        SendMessageW(FHandle, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        TRect r = client;
        r.Left = borders[0] + borders[2];
        r.Top = borders[1];
        r.Bottom -= borders[1];
        r.Right -= borders[2];
        style->DrawElement(dc, style->GetElementDetails(tsPane), r);
        gripper(r.Height());
        DrawPartText(Canvas, 0, r);
        return;
    }
    const int parts = int(SendMessageW(FHandle, SB_GETPARTS, 0, 0));
    for (int i = 0; i < parts; ++i) {
        RECT rr{};
        SendMessageW(FHandle, SB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&rr));
        TRect r(rr);
        if (r.IsEmpty()) break;
        style->DrawElement(dc, style->GetElementDetails(tsPane), r);
        if (i == parts - 1) gripper(r.Height());
        r.Inflate(-1, -1);
        DrawPartText(Canvas, i, r);
    }
}

// ---------------------------------------------------------------------------------------------------
// track bars

TSysTrackBarStyleHook::TSysTrackBarStyleHook(HWND AHandle) : TSysStyleHook(AHandle) {
    SetOverridePaint(true);
    FDoubleBuffered = true;
}

TRect TSysTrackBarStyleHook::ThumbRect() const {
    RECT r{};
    SendMessageW(FHandle, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    return TRect(r);
}

void TSysTrackBarStyleHook::PaintBackground(TCanvas* Canvas) {
    TCustomStyleServices* style = StyleServices();
    const TThemedElementDetails details = style->GetElementDetails(teTrackBar, 0, 0);
    style->DrawParentBackground(FHandle, Canvas->Handle(), &details, false);
}

TThemedTrackBar TSysTrackBarStyleHook::ThumbElement() const {
    const LONG_PTR s = FSysControl->Style();
    const bool vertical = s & TBS_VERT, both = s & TBS_BOTH, before = s & TBS_TOP;
    // The four states of each row follow in the order normal, hot, pressed, focused, disabled.
    TThemedTrackBar normal;
    if (!vertical) normal = both ? ttbThumbNormal : before ? ttbThumbTopNormal : ttbThumbBottomNormal;
    else normal = before ? ttbThumbLeftNormal : both ? ttbThumbVertNormal : ttbThumbRightNormal;
    int offset = 0;
    if (!FSysControl->Enabled()) offset = 4;
    else if (FThumbPressed) offset = 2;
    else if (FMouseOnThumb) offset = 1;
    return TThemedTrackBar(normal + offset);
}

void TSysTrackBarStyleHook::Paint(TCanvas* Canvas) {
    TCustomStyleServices* style = StyleServices();
    if (!style->Available()) return;
    const HDC dc = Canvas->Handle();
    const LONG_PTR s = FSysControl->Style();
    const bool vertical = s & TBS_VERT;
    RECT cr{};
    SendMessageW(FHandle, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&cr));
    TRect c(cr);
    // A vertical bar reports its channel as if it lay horizontally.
    if (!vertical) style->DrawElement(dc, style->GetElementDetails(ttbTrack), c);
    else style->DrawElement(dc, style->GetElementDetails(ttbTrackVert), TRect(c.Top, c.Left, c.Bottom, c.Right));
    SendMessageW(FHandle, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&cr));
    c = TRect(cr);
    const TRect t = ThumbRect();
    if (!(s & TBS_NOTICKS)) {
        const int n = int(SendMessageW(FHandle, TBM_GETNUMTICS, 0, 0));
        const TColor pen = TColor(Rgb(style->GetSystemColor(clBtnText)));
        const bool before = (s & TBS_TOP) || (s & TBS_BOTH);
        const bool after = !(s & TBS_TOP) || (s & TBS_BOTH);
        const int half = vertical ? t.Height() / 2 : t.Width() / 2;
        const int first = c.Left + half, last = c.Right - half;
        // A tick is a one-pixel line across the bar, L pixels long, 3 pixels off the channel.
        auto tick = [&](int At, int L) {
            if (vertical) {
                if (before) FillRectColor(dc, TRect(c.Top - L, At, c.Top - 3, At + 1), pen);
                if (after) FillRectColor(dc, TRect(c.Bottom + 3, At, c.Bottom + L, At + 1), pen);
            } else {
                if (before) FillRectColor(dc, TRect(At, c.Top - L, At + 1, c.Top - 3), pen);
                if (after) FillRectColor(dc, TRect(At, c.Bottom + 3, At + 1, c.Bottom + L), pen);
            }
        };
        tick(first, 7);
        tick(last, 7);
        for (int k = 1; k <= n - 1; ++k)
            tick(first + int(std::lround(double(last - first) * k / (n - 1))), 6);
    }
    if (!(s & TBS_NOTHUMB)) style->DrawElement(dc, style->GetElementDetails(ThumbElement()), ThumbRect());
    if (FSysControl->Focused()) {
        const RECT all{0, 0, FSysControl->Width(), FSysControl->Height()};
        DrawFocusRect(dc, &all);
    }
}

void TSysTrackBarStyleHook::WndProc(TMessage& Message) {
    const bool thumb = !(FSysControl->Style() & TBS_NOTHUMB);
    switch (Message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        Invalidate();
        return;
    case WM_MOUSEMOVE:
        if (thumb) {
            const bool on = ThumbRect().Contains(PointOf(Message.LParam));
            if (on != FMouseOnThumb) {
                FMouseOnThumb = on;
                Invalidate();
            }
        }
        Message.Result = CallDefaultProc(Message);
        return;
    case WM_LBUTTONDOWN:
        if (thumb) {
            if (ThumbRect().Contains(PointOf(Message.LParam))) FThumbPressed = true;
            Invalidate();
        }
        Message.Result = CallDefaultProc(Message);
        return;
    case WM_LBUTTONUP:
        if (thumb) {
            FThumbPressed = false;
            Invalidate();
        }
        Message.Result = CallDefaultProc(Message);
        return;
    default: TSysStyleHook::WndProc(Message); return;
    }
}

// ---------------------------------------------------------------------------------------------------
// up-downs

TSysUpDownStyleHook::TSysUpDownStyleHook(HWND AHandle) : TMouseTrackSysControlStyleHook(AHandle) {
    SetOverridePaint(true);
    FDoubleBuffered = true;
}

bool TSysUpDownStyleHook::IsVertical() const { return !(FSysControl->Style() & UDS_HORZ); }

TRect TSysUpDownStyleHook::FirstHalf() const {
    const TRect r = FSysControl->ClientRect();
    return IsVertical() ? TRect(r.Left, r.Top, r.Right, r.Top + r.Height() / 2)
                        : TRect(r.Left, r.Top, r.Left + r.Width() / 2, r.Bottom);
}

TRect TSysUpDownStyleHook::SecondHalf() const {
    const TRect r = FSysControl->ClientRect();
    return IsVertical() ? TRect(r.Left, r.Bottom - r.Height() / 2, r.Right, r.Bottom)
                        : TRect(r.Right - r.Width() / 2, r.Top, r.Right, r.Bottom);
}

void TSysUpDownStyleHook::Paint(TCanvas* Canvas) {
    TCustomStyleServices* style = StyleServices();
    if (!style->Available()) return;
    const HDC dc = Canvas->Handle();
    style->DrawParentBackground(FHandle, dc, nullptr, false);
    const bool vertical = IsVertical();
    // Normal, hot and pressed follow each other in every arrow's row.
    auto state = [this](TThemedScrollBar Normal, bool Pressed, bool On) {
        return TThemedScrollBar(Normal + (Pressed ? 2 : On && FMouseInControl ? 1 : 0));
    };
    const TThemedScrollBar first = state(vertical ? tsArrowBtnUpNormal : tsArrowBtnLeftNormal, FLeftPressed, FMouseOnLeft);
    const TThemedScrollBar second =
        state(vertical ? tsArrowBtnDownNormal : tsArrowBtnRightNormal, FRightPressed, FMouseOnRight);
    style->DrawElement(dc, style->GetElementDetails(first), FirstHalf());
    style->DrawElement(dc, style->GetElementDetails(second), SecondHalf());
}

void TSysUpDownStyleHook::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        TMouseTrackSysControlStyleHook::Dispatch(Message);
        SetRedraw(false);
        Message.Result = CallDefaultProc(Message);
        SetRedraw(true);
        const TPoint p = PointOf(Message.LParam);
        FLeftPressed = FirstHalf().Contains(p);
        FRightPressed = SecondHalf().Contains(p);
        Invalidate();
        FHandled = true;
        return;
    }
    case WM_LBUTTONUP:
        TMouseTrackSysControlStyleHook::Dispatch(Message);
        SetRedraw(false);
        Message.Result = CallDefaultProc(Message);
        SetRedraw(true);
        FLeftPressed = FRightPressed = false;
        Invalidate();
        FHandled = true;
        return;
    case WM_MOUSEMOVE: {
        TMouseTrackSysControlStyleHook::Dispatch(Message);
        Message.Result = CallDefaultProc(Message);
        const TPoint p = PointOf(Message.LParam);
        const bool left = FirstHalf().Contains(p), right = SecondHalf().Contains(p);
        if (left != FMouseOnLeft || right != FMouseOnRight) {
            FMouseOnLeft = left;
            FMouseOnRight = right;
            Invalidate();
        }
        FHandled = true;
        return;
    }
    default: TMouseTrackSysControlStyleHook::Dispatch(Message); return;
    }
}

void TSysUpDownStyleHook::MouseLeave() {
    FMouseOnLeft = FMouseOnRight = false;
    Invalidate();
}

// ---------------------------------------------------------------------------------------------------
// registration

namespace {

int Registrations = 0;

struct TComCtlClass {
    const char16_t* Name;
    TSysStyleHookClass Hook;
};
const TComCtlClass ComCtlClasses[] = {
    {u"ToolbarWindow32", &CreateHook<TSysToolbarStyleHook>},
    {u"SysListView32", &CreateHook<TSysListViewStyleHook>},
    {u"SysTabControl32", &CreateHook<TSysTabControlStyleHook>},
    {u"SysTreeView32", &CreateHook<TSysTreeViewStyleHook>},
    {u"RichEdit20A", &CreateHook<TSysRichEditStyleHook>},
    {u"RichEdit20W", &CreateHook<TSysRichEditStyleHook>},
    {u"RichEdit30A", &CreateHook<TSysRichEditStyleHook>},
    {u"RichEdit30W", &CreateHook<TSysRichEditStyleHook>},
    {u"RichEdit41A", &CreateHook<TSysRichEditStyleHook>},
    {u"RichEdit41W", &CreateHook<TSysRichEditStyleHook>},
    {u"RichEdit50A", &CreateHook<TSysRichEditStyleHook>},
    {u"RichEdit50W", &CreateHook<TSysRichEditStyleHook>},
    {u"ReBarWindow32", &CreateHook<TSysReBarStyleHook>},
    {u"msctls_statusbar32", &CreateHook<TSysStatusBarStyleHook>},
    {u"msctls_trackbar32", &CreateHook<TSysTrackBarStyleHook>},
    {u"msctls_updown32", &CreateHook<TSysUpDownStyleHook>},
};

} // namespace

void RegisterComCtrlStyleHooks() {
    if (Registrations++ > 0) return;
    TCustomStyleServices* style = TStyleManager::ActiveStyle();
    if (!style || !style->Available()) return;
    for (const TComCtlClass& c : ComCtlClasses)
        TSysStyleManager::RegisterSysStyleHook(QString::fromUtf16(c.Name), c.Hook);
}

void UnRegisterComCtrlStyleHooks() {
    if (Registrations == 0 || --Registrations > 0) return;
    for (const TComCtlClass& c : ComCtlClasses)
        TSysStyleManager::UnRegisterSysStyleHook(QString::fromUtf16(c.Name), c.Hook);
}

} // namespace styling
