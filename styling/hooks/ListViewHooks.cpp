// styling/hooks/ListViewHooks.cpp: list views with their column headers, and trees.
#include "styling/hooks/ComCtrlHooks.h"

#include "styling/hooks/StyleGraphics.h"

namespace styling {

using namespace vcl;

namespace {

COLORREF Rgb(TColor C) { return COLORREF(ColorToRGB(C)) & 0xFFFFFF; }

// The header's display order: item indexes from left to right.
std::vector<int> HeaderOrder(HWND Header) {
    const int count = int(SendMessageW(Header, HDM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return {};
    std::vector<int> order(size_t(count), -1);
    if (!SendMessageW(Header, HDM_GETORDERARRAY, WPARAM(count), reinterpret_cast<LPARAM>(order.data())))
        for (int i = 0; i < count; ++i) order[size_t(i)] = i;
    return order;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// header sections

using TSysHeaderStyleHook = TSysListViewStyleHook::TSysHeaderStyleHook;
using TSysSection = TSysHeaderStyleHook::TSysSection;

TSysSection::TSysSection(TSysControl* SysParent, int Index)
    : TSysSection(SysParent, Index, HeaderOrder(SysParent->Handle())) {}

TSysSection::TSysSection(TSysControl* SysParent, int Index, const std::vector<int>& Order)
    : FIndex(Index), FSectionRect(0, 0, 0, 0), FHeaderHandle(SysParent->Handle()), FDropDownRect(0, 0, 0, 0) {
    UpdateSectionInfo(Order);
}

void TSysSection::UpdateSectionInfo(const std::vector<int>& Order) {
    if (FIndex < 0 || FIndex >= int(Order.size())) return;
    FColumnIndex = Order[size_t(FIndex)];
    RECT r{};
    if (SendMessageW(FHeaderHandle, HDM_GETITEMRECT, WPARAM(FColumnIndex), reinterpret_cast<LPARAM>(&r)))
        FSectionRect = TRect(r);
    WCHAR text[256] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = 256;
    if (SendMessageW(FHeaderHandle, HDM_GETITEMW, WPARAM(FColumnIndex), reinterpret_cast<LPARAM>(&item))) {
        text[255] = 0;  // a control that fills the buffer leaves no end of its own
        FImageIndex = item.iImage;
        FText = QString::fromUtf16(text);
        FHasSplitButton = item.fmt & HDF_SPLITBUTTON;
        if (item.fmt & HDF_RIGHT) FTextFormat.Include(tfRight);
        else if (item.fmt & HDF_CENTER) FTextFormat.Include(tfCenter);
        else FTextFormat.Include(tfLeft);
        if (item.fmt & HDF_RTLREADING) FTextFormat.Include(tfRtlReading);
        FBitmapOnRight = item.fmt & HDF_BITMAP_ON_RIGHT;
        FShowImage = item.iImage >= 0 && (item.fmt & HDF_BITMAP);
    }
    RECT d{};
    if (SendMessageW(FHeaderHandle, HDM_GETITEMDROPDOWNRECT, WPARAM(FColumnIndex), reinterpret_cast<LPARAM>(&d)))
        FDropDownRect = TRect(d);
    FImageListHandle = reinterpret_cast<HIMAGELIST>(SendMessageW(FHeaderHandle, HDM_GETIMAGELIST, 0, 0));
}

// ---------------------------------------------------------------------------------------------------
// header hook

TSysHeaderStyleHook::TSysHeaderStyleHook(HWND AHandle) : TMouseTrackSysControlStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seClient});
}

int TSysHeaderStyleHook::SectionCount() const { return int(SendMessageW(FHandle, HDM_GETITEMCOUNT, 0, 0)); }

TSysSection* TSysHeaderStyleHook::GetItem(int Index) {
    if (Index < 0 || Index >= SectionCount()) return nullptr;
    FSysSection.reset();
    FSysSection = std::make_unique<TSysSection>(FSysControl.get(), Index);
    return FSysSection.get();
}

void TSysHeaderStyleHook::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        FHeaderMouseDown = true;
        HDHITTESTINFO hit{};
        hit.pt = POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        SendMessageW(FHandle, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        FPressedSection = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : hit.iItem;
        break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        FHeaderMouseDown = false;
        FPressedSection = -1;
        break;
    default: break;
    }
    TMouseTrackSysControlStyleHook::WndProc(Message);
}

void TSysHeaderStyleHook::Paint(TCanvas* Canvas) {
    TCustomStyleServices* style = StyleServices();
    const int w = FSysControl->Width(), h = FSysControl->Height();
    auto bitmap = std::make_unique<TBitmap>(w, h);
    TCanvas* c = bitmap->Canvas();
    const HDC dc = c->Handle();
    UpdateColors();
    c->Brush()->SetColor(FColor);
    c->FillRect(TRect(0, 0, w, h));
    style->DrawElement(dc, style->GetElementDetails(thHeaderItemNormal), TRect(0, 0, w, h));

    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(FHandle, &cursor);
    std::unique_ptr<TImageList> images;
    // The order is read once for the whole pass; every section reads from it.
    const std::vector<int> order = HeaderOrder(FHandle);
    for (int i = 0; i < int(order.size()); ++i) {
        FSysSection.reset();
        FSysSection = std::make_unique<TSysSection>(FSysControl.get(), i, order);
        const TSysSection& s = *FSysSection;
        const TRect r = s.SectionRect();
        const bool hot = FMouseInControl && !FHeaderMouseDown && r.Contains(TPoint(cursor.x, cursor.y));
        TThemedHeader element = hot ? thHeaderItemHot : thHeaderItemNormal;
        if (FPressedSection == s.ColumnIndex()) element = thHeaderItemPressed;
        DrawStyleElement(dc, style->GetElementDetails(element), r, true);

        TRect t = r;
        t.Left = r.Left + 4;
        const TRect d = s.DropDownRect();
        if (hot) {
            style->DrawElement(dc, style->GetElementDetails(ttbDropDownButtonGlyphHot), d);
            // Two one-pixel lines down the split button's left edge.
            FillRectColor(dc, TRect(d.Left, 3, d.Left + 1, d.Height() - 3), style->GetSystemColor(clBtnShadow));
            FillRectColor(dc, TRect(d.Left - 1, 3, d.Left, d.Height() - 3), style->GetSystemColor(clBtnHighlight));
        }
        t.Right -= d.Width();

        if (s.ShowImage() && s.ImageListHandle()) {
            if (!images || images->Handle() != s.ImageListHandle()) {
                // The header keeps its list: the wrapper shares it and never destroys it.
                images = std::make_unique<TImageList>(nullptr);
                images->SetShareImages(true);
                images->SetHandle(s.ImageListHandle());
                images->SetBkColor(clNone);
            }
            TRect img(0, 0, images->Width(), images->Height());
            img.Offset(r.Left + (r.Width() - img.Width()) / 2, r.Top + (r.Height() - img.Height()) / 2);
            if (s.BitmapOnRight()) {
                img.Left = r.Right - images->Width() - 2;
                img.Right = r.Right;
                t.Right -= img.Width() + 2;
            } else {
                img.Left = r.Left + 2;
                img.Right = r.Left + images->Width() + 4;
                t.Left += img.Width() + 2;
            }
            images->Draw(c, img.Left, img.Top, s.ImageIndex(), true);
        }
        TTextFormat format = s.TextFormat();
        format.Include(tfSingleLine).Include(tfVerticalCenter);
        style->DrawText(dc, style->GetElementDetails(element), s.Text(), t, format, clNone);
    }
    Canvas->Draw(0, 0, bitmap.get());
}

// ---------------------------------------------------------------------------------------------------
// list views

TSysListViewStyleHook::TSysListViewStyleHook(HWND AHandle) : TSysScrollingStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seFont, seBorder});
    FOverrideEraseBkgnd = true;
    // The hook's own probe: makes the header hook at once when there is a header.
    SendMessageW(FHandle, WM_NOTIFY, 0, 0);
}

TSysListViewStyleHook::~TSysListViewStyleHook() { FHeaderStyleHook.reset(); }

void TSysListViewStyleHook::SetSelectedColumn(int iCol) {
    SendMessageW(FHandle, LVM_SETSELECTEDCOLUMN, WPARAM(iCol), 0);
}

void TSysListViewStyleHook::UpdateColors() {
    TSysScrollingStyleHook::UpdateColors();
    TCustomStyleServices* style = StyleServices();
    SetColor(FOverrideEraseBkgnd ? style->GetStyleColor(scListView) : clWindow);
    FFontColor = FOverrideFont ? style->GetSystemColor(clWindowText) : clWindowText;
    SendMessageW(FHandle, LVM_SETBKCOLOR, 0, LPARAM(Rgb(FColor)));
    SendMessageW(FHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(Rgb(FColor)));
    SendMessageW(FHandle, LVM_SETTEXTCOLOR, 0, LPARAM(Rgb(FFontColor)));
}

void TSysListViewStyleHook::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CREATE:
    case LVM_UPDATE:
        Message.Result = CallDefaultProc(Message);
        UpdateColors();
        SetSelectedColumn(-1);
        return;
    case WM_ERASEBKGND:
        UpdateColors();
        SetSelectedColumn(-1);
        Message.Result = CallDefaultProc(Message);
        return;
    case WM_NOTIFY:
        if (!FHeaderStyleHook) {
            FHeaderHandle = reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETHEADER, 0, 0));
            if (FHeaderHandle && IsWindow(FHeaderHandle)) {
                FHeaderStyleHook = std::make_unique<TSysHeaderStyleHook>(FHeaderHandle);
                FHeaderStyleHook->FListViewStyleHook = this;
            }
        }
        if (Message.WParam != 0 || Message.LParam != 0) Message.Result = CallDefaultProc(Message);
        return;
    default: TSysScrollingStyleHook::WndProc(Message); return;
    }
}

void TSysListViewStyleHook::Scroll(TScrollBarKind Kind, TSysScrollingType ScrollType, int Pos, int Delta) {
    if (ScrollType != skTracking) {
        TSysScrollingStyleHook::Scroll(Kind, ScrollType, Pos, Delta);
        return;
    }
    const LRESULT view = SendMessageW(FHandle, LVM_GETVIEW, 0, 0);
    auto item0 = [this] {
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessageW(FHandle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        return TRect(r);
    };
    if (Kind == sbVertical) {
        // Report views scroll in pixels, the scroll bar counts items.
        if (view == LV_VIEW_DETAILS) Delta *= item0().Height();
        SendMessageW(FHandle, LVM_SCROLL, 0, Delta);
    } else {
        // A list view takes its horizontal amount in columns, as its scroll bar counts them.
        SendMessageW(FHandle, LVM_SCROLL, WPARAM(Delta), 0);
    }
}

// ---------------------------------------------------------------------------------------------------
// trees

TSysTreeViewStyleHook::TSysTreeViewStyleHook(HWND AHandle) : TSysScrollingStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seFont});
    FOverrideEraseBkgnd = true;
}

void TSysTreeViewStyleHook::UpdateColors() {
    TSysScrollingStyleHook::UpdateColors();
    TCustomStyleServices* style = StyleServices();
    SetColor(FOverrideEraseBkgnd ? style->GetStyleColor(scTreeView) : TColor(0xFFFFFF));
    FFontColor = FOverrideFont ? style->GetSystemColor(clWindowText) : clWindowText;
}

void TSysTreeViewStyleHook::WndProc(TMessage& Message) {
    if (Message.Msg != WM_ERASEBKGND) {
        TSysScrollingStyleHook::WndProc(Message);
        return;
    }
    UpdateColors();
    // Setting a colour repaints the whole tree: only when it differs.
    if (COLORREF(SendMessageW(FHandle, TVM_GETBKCOLOR, 0, 0)) != Rgb(FColor))
        SendMessageW(FHandle, TVM_SETBKCOLOR, 0, LPARAM(Rgb(FColor)));
    if (COLORREF(SendMessageW(FHandle, TVM_GETTEXTCOLOR, 0, 0)) != Rgb(FFontColor))
        SendMessageW(FHandle, TVM_SETTEXTCOLOR, 0, LPARAM(Rgb(FFontColor)));
    Message.Result = CallDefaultProc(Message);
}

} // namespace styling
