// styling/hooks/PopupMenuHook.cpp
#include "styling/hooks/PopupMenuHook.h"

#include <algorithm>
#include <cmath>

#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/StyleMisc.h"
#include "styling/hooks/SysControls.h"
#include "styling/hooks/ThemeHandlers.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/StdCtrls.h"

namespace styling {

using namespace vcl;

namespace {

constexpr UINT MN_GETHMENU_ = 0x1E1;
constexpr UINT MN_SELECTITEM_ = 0x1E5;
constexpr UINT MN_BUTTONDOWN_ = 0x1F1;
const char16_t PopupClass[] = u"#32768";
// Marks the selections the first painting pass posts: a selection the menu makes itself meanwhile (the
// first item of a sub-menu opened by a key) still goes to the menu.
constexpr LPARAM FirstPassMark = 0x7057;

TCustomStyleServices* Active() { return TStyleManager::ActiveStyle(); }

MENUITEMINFOW Query(HMENU Menu, int Index, UINT Mask, bool& Ok) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof(MENUITEMINFOW);
    mi.fMask = Mask;
    Ok = Menu && Index >= 0 && GetMenuItemInfoW(Menu, UINT(Index), TRUE, &mi);
    return mi;
}

// A canvas over a DC that it does not own.
class TDCCanvas {
public:
    explicit TDCCanvas(HDC DC, TFont* Font = nullptr) {
        FCanvas.SetHandle(DC);
        if (Font) FCanvas.Font()->Assign(Font);
    }
    ~TDCCanvas() { FCanvas.SetHandle(nullptr); }
    TDCCanvas(const TDCCanvas&) = delete;
    TDCCanvas& operator=(const TDCCanvas&) = delete;
    TCanvas* operator->() { return &FCanvas; }
    TCanvas* Get() { return &FCanvas; }

private:
    TCanvas FCanvas;
};

// The application's item among a tree (depth first, each item before its sub-items) whose handle is Menu.
TMenuItem* FindInTree(TMenuItem* Item, HMENU Menu) {
    if (!Item) return nullptr;
    if (Item->HandleAllocated() && Item->Handle() == Menu) return Item;
    for (int i = 0; i < Item->Count(); ++i)
        if (TMenuItem* hit = FindInTree(Item->Items(i), Menu)) return hit;
    return nullptr;
}

TMenuItem* FindInComponent(rtl::TComponent* C, HMENU Menu) {
    if (auto* popup = dynamic_cast<TPopupMenu*>(C)) {
        if (popup->Items()->HandleAllocated() && popup->Handle() == Menu) return popup->Items();
        return FindInTree(popup->Items(), Menu);
    }
    if (auto* item = dynamic_cast<TMenuItem*>(C)) return FindInTree(item, Menu);
    if (auto* menu = dynamic_cast<TMenu*>(C)) return FindInTree(menu->Items(), Menu);
    for (int i = 0; i < C->ComponentCount(); ++i)
        if (TMenuItem* hit = FindInComponent(C->Components(i), Menu)) return hit;
    return nullptr;
}

} // namespace

std::vector<TSubMenuEntry>& SubMenuChain() {
    static std::vector<TSubMenuEntry> chain;
    return chain;
}

bool IsSeparatorItem(HMENU Menu, int Index) {
    bool ok = false;
    const MENUITEMINFOW mi = Query(Menu, Index, MIIM_FTYPE, ok);
    return ok && (mi.fType & MFT_SEPARATOR);
}

int GetBitmapWidth(HBITMAP Bitmap) {
    BITMAP bm{};
    return Bitmap && GetObjectW(Bitmap, sizeof bm, &bm) ? bm.bmWidth : 0;
}

int GetBitmapHeight(HBITMAP Bitmap) {
    BITMAP bm{};
    return Bitmap && GetObjectW(Bitmap, sizeof bm, &bm) ? bm.bmHeight : 0;
}

HICON BitmapToIcon(HBITMAP Bitmap) {
    const int w = GetBitmapWidth(Bitmap), h = GetBitmapHeight(Bitmap);
    HDC screen = GetDC(nullptr);
    HBITMAP mask = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = Bitmap;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    return icon;
}

// ---- the item ----------------------------------------------------------------------------------------

UINT TSysPopupStyleHook::TSysPopupItem::State() const {
    bool ok = false;
    const MENUITEMINFOW mi = Query(FMenu, FIndex, MIIM_STATE, ok);
    return ok ? mi.fState : 0;
}

UINT TSysPopupStyleHook::TSysPopupItem::Type() const {
    bool ok = false;
    const MENUITEMINFOW mi = Query(FMenu, FIndex, MIIM_FTYPE, ok);
    return ok ? mi.fType : 0;
}

bool TSysPopupStyleHook::TSysPopupItem::Separator() const {
    return FIndex >= 0 && FIndex < GetMenuItemCount(FMenu) && (Type() & MFT_SEPARATOR);
}

HBITMAP TSysPopupStyleHook::TSysPopupItem::Bitmap() const {
    bool ok = false;
    const MENUITEMINFOW mi = Query(FMenu, FIndex, MIIM_BITMAP | MIIM_CHECKMARKS, ok);
    if (!ok) return nullptr;
    return mi.hbmpItem ? mi.hbmpItem : mi.hbmpUnchecked;
}

UINT TSysPopupStyleHook::TSysPopupItem::ID() const {
    if (!FMenu || FIndex < 0) return 0;
    return GetMenuItemID(FMenu, FIndex);
}

TRect TSysPopupStyleHook::TSysPopupItem::ItemRect() const {
    RECT r{};
    if (!FMenu || FIndex < 0 || !GetMenuItemRect(nullptr, FMenu, UINT(FIndex), &r)) return TRect(0, 0, 0, 0);
    return TRect(r);
}

TMenuItem* TSysPopupStyleHook::TSysPopupItem::VCLItem() const {
    TMenuItem* items = VCLMenuItems();
    if (!items || FIndex < 0) return nullptr;
    int visible = 0;
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (!item->Visible()) continue;
        if (visible++ == FIndex) return item;
    }
    return nullptr;
}

rtl::String TSysPopupStyleHook::TSysPopupItem::Text() const {
    if (TMenuItem* item = VCLItem()) return item->Caption();
    bool ok = false;
    MENUITEMINFOW mi = Query(FMenu, FIndex, MIIM_STRING | MIIM_FTYPE, ok);
    if (!ok) return {};
    // An owner-drawn item's data belongs to its owner: only the application's own items (found
    // above) have a caption to show, so such an item gets no text.
    if (mi.fType & MFT_OWNERDRAW) return {};
    std::u16string buffer(size_t(mi.cch) + 1, u'\0');
    mi.fMask = MIIM_STRING;
    mi.dwTypeData = reinterpret_cast<LPWSTR>(buffer.data());
    mi.cch = UINT(buffer.size());
    if (!GetMenuItemInfoW(FMenu, UINT(FIndex), TRUE, &mi)) return {};
    return QString::fromUtf16(buffer.c_str());
}

// ---- the hook --------------------------------------------------------------------------------------------

TSysPopupStyleHook::TSysPopupStyleHook(HWND AHandle) : TSysStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seFont, seClient, seBorder});
    UpdateColors();
}

TSysPopupStyleHook::~TSysPopupStyleHook() = default;

void TSysPopupStyleHook::UpdateColors() {
    TSysStyleHook::UpdateColors();
    if (FFont && Screen) FFont->Assign(Screen->MenuFont());
}

TSysPopupStyleHook::TSysPopupItem* TSysPopupStyleHook::GetSysPopupItem(int Index) {
    if (Index < 0 || Index >= FCount) return nullptr;
    FSysPopupItem = std::make_unique<TSysPopupItem>(this, Index, FMenu);
    return FSysPopupItem.get();
}

bool TSysPopupStyleHook::RightToLeft() const {
    bool ok = false;
    const MENUITEMINFOW mi = Query(FMenu, 0, MIIM_TYPE, ok);
    return ok && (mi.fType & (MFT_RIGHTORDER | MFT_RIGHTJUSTIFY));
}

HMENU TSysPopupStyleHook::GetMenuFromHandle(HWND Window) {
    return reinterpret_cast<HMENU>(SendMessageW(Window, MN_GETHMENU_, 0, 0));
}

TMenuItem* TSysPopupStyleHook::VCLMenuItems() {
    if (FVCLMenuItemsLooked) return FVCLMenuItems;
    FVCLMenuItemsLooked = true;
    if (!FMenu) return nullptr;
    if (TPopupList* list = PopupList())
        for (int i = 0; i < list->Count(); ++i) {
            TPopupMenu* popup = list->Items(i);
            if (popup->Items()->HandleAllocated() && popup->Handle() == FMenu) return FVCLMenuItems = popup->Items();
        }
    if (Screen)
        for (int f = 0; f < Screen->FormCount(); ++f) {
            TCustomForm* form = Screen->Forms(f);
            for (int c = 0; c < form->ComponentCount(); ++c)
                if (TMenuItem* hit = FindInComponent(form->Components(c), FMenu)) return FVCLMenuItems = hit;
        }
    return nullptr;
}

void TSysPopupStyleHook::PaintBackground(TCanvas* Canvas) {
    DrawStyleElement(Canvas->Handle(), Active()->GetElementDetails(tmPopupBorders), FSysControl->ClientRect(), true);
}

void TSysPopupStyleHook::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case MN_SELECTITEM_: MNSelectItem(Message); break;
    case WM_PRINT: WMPrint(Message); break;
    default: TSysStyleHook::Dispatch(Message); break;
    }
}

void TSysPopupStyleHook::WndProc(TMessage& Message) {
    const bool overrides = FOverridePaint && FOverridePaintNC;
    switch (Message.Msg) {
    case WM_DESTROY: {
        const HWND foreground = GetForegroundWindow();
        if (TWinControl* control = FindControl(foreground)) control->Refresh();
        else if (foreground && IsControlHooked(foreground)) {
            InvalidateRect(foreground, nullptr, FALSE);
            UpdateWindow(foreground);
        }
        FVCLMenuItems = nullptr;
        FVCLMenuItemsLooked = false;
        SubMenuChain().clear();
        FHandled = false;
        TSysStyleHook::WndProc(Message);
        return;
    }
    case WM_PAINT:
        if (!FOverridePaint) break;
        SetRedraw(false);
        Message.Result = CallDefaultProc(Message);
        SetRedraw(true);
        return;
    case WM_ERASEBKGND:
        if (!overrides) break;
        SendMessageW(FHandle, WM_PRINT, Message.WParam, Message.LParam);
        Message.Result = 1;
        return;
    case WM_WINDOWPOSCHANGED:
        if (!overrides) break;
        SetTimer(FHandle, KeyReadyTimer, 100, nullptr);
        TSysStyleHook::WndProc(Message);
        return;
    case WM_NCCALCSIZE:
        if (Message.WParam) FNCRect = TRect(reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]);
        [[fallthrough]];
    case WM_NCPAINT:
        if (!overrides) break;
        Message.Result = 0;
        return;
    case WM_KEYDOWN:
        if (!overrides) break;
        KeyDown(Message);
        return;
    case WM_TIMER:
        Timer(Message);
        TSysStyleHook::WndProc(Message);
        return;
    case MN_BUTTONDOWN_:
        ButtonDown(Message);
        return;
    case WM_PRINTCLIENT:
        if (!overrides) break;
        SendMessageW(FHandle, WM_PRINT, Message.WParam, Message.LParam);
        return;
    case MN_SELECTITEM_:
    case WM_PRINT:
        if (!overrides) {
            Message.Result = CallDefaultProc(Message);
            return;
        }
        TSysStyleHook::WndProc(Message);
        return;
    default:
        TSysStyleHook::WndProc(Message);
        return;
    }
    Message.Result = CallDefaultProc(Message);
}

void TSysPopupStyleHook::WMPrint(TMessage& Message) {
    FMenu = GetMenuFromHandle(FHandle);
    FCount = ItemCount();
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const bool own = !dc;
    if (own) dc = GetDC(FHandle);
    {
        TDCCanvas canvas(dc);
        PaintBackground(canvas.Get());
    }
    if (own) ReleaseDC(FHandle, dc);
    FEnterWithKeyboard = GetKeyState(VK_MENU) < 0;
    if (FItemsPainted) {
        // A later print (the window's own paint erasing, a print asked by another) repaints what shows:
        // posted selections would now move the menu's selection through every item.
        RepaintShown();
    } else {
        for (int i = FOffset; i < FCount; ++i) PostMessageW(FHandle, MN_SELECTITEM_, WPARAM(i), FirstPassMark);
    }
    FHandled = true;
}

void TSysPopupStyleHook::RepaintShown() {
    HDC dc = GetDC(FHandle);
    {
        TDCCanvas canvas(dc, FFont.get());
        if (MenuScrolls()) PaintArrows(canvas.Get());
        const int hot = FPreviousHotItemIndex;
        for (int i = FOffset, n = 0; i < FCount && n < FCount && IsItemVisible(i); ++i, ++n) {
            // PaintItem paints hot whatever is not the hot index.
            FPreviousHotItemIndex = i == hot ? -1 : hot;
            PaintItem(canvas.Get(), i, i != hot);
        }
        FPreviousHotItemIndex = hot;
    }
    ReleaseDC(FHandle, dc);
}

void TSysPopupStyleHook::MNSelectItem(TMessage& Message) {
    FHandled = false;
    int index = int(Message.WParam);
    HDC dc = GetDC(FHandle);
    TDCCanvas canvas(dc, FFont.get());
    if (index < 0 || index >= FCount) {
        SetRedraw(true);
        // Painted while it is still the hot index: it comes out normal.
        if (FPreviousHotItemIndex >= 0 && FPreviousHotItemIndex < FCount) PaintItem(canvas.Get(), FPreviousHotItemIndex, false);
        FPreviousHotItemIndex = -1;
        FHandled = true;
    } else if (!FItemsPainted && Message.LParam == FirstPassMark) {
        if (index == 0 && MenuScrolls()) PaintArrows(canvas.Get());
        FPreviousHotItemIndex = index;
        PaintItem(canvas.Get(), index, false);
        if (index == FCount - 1) {
            FItemsPainted = true;
            // The item the menu holds selected (the first of a sub-menu opened by a key) stays the hot
            // one, so the next arrow key moves on from it.
            FPreviousHotItemIndex = -1;
            const HMENU menu = GetMenuFromHandle(FHandle);
            for (int i = 0; i < FCount && FPreviousHotItemIndex < 0; ++i) {
                MENUITEMINFOW info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_STATE;
                if (GetMenuItemInfoW(menu, UINT(i), TRUE, &info) && (info.fState & MFS_HILITE)) FPreviousHotItemIndex = i;
            }
        }
        FHandled = true;
    } else {
        auto& chain = SubMenuChain();
        auto entry = std::find_if(chain.begin(), chain.end(), [&](const TSubMenuEntry& e) { return e.Menu == FMenu; });
        if (entry != chain.end()) {
            if (entry->Owner == FHandle) SetRedraw(true);
            else if (entry->Owner && IsWindow(entry->Owner) && !FParentSubItemPainted && entry->Index >= 0) {
                SendMessageW(entry->Owner, MN_SELECTITEM_, WPARAM(entry->Index), 0);
                FParentSubItemPainted = true;
            }
        }
        if (GetSubMenu(FMenu, index)) {
            if (chain.empty()) chain.push_back(TSubMenuEntry{nullptr, nullptr, -1});
            const HMENU own = GetMenuFromHandle(FHandle);
            for (const TSubMenuEntry& e : chain)
                if (e.Menu != own) {
                    chain.push_back(TSubMenuEntry{GetSubMenu(FMenu, index), FHandle, index});
                    break;
                }
        }
        uint8_t part = 0;
        const int hit = ItemFromPoint(part, TPoint(0, 0));
        if (hit >= 0) index = hit;
        SetRedraw(false);
        TMessage selected = Message;
        selected.WParam = WPARAM(index);
        Message.Result = CallDefaultProc(selected);
        SetRedraw(true);
        if (index != FPreviousHotItemIndex) {
            PaintItem(canvas.Get(), FPreviousHotItemIndex, false);  // the hot index: normal now
            PaintItem(canvas.Get(), index, false);                  // any other: hot
            FPreviousHotItemIndex = index;
        }
        FHandled = true;
    }
    ReleaseDC(FHandle, dc);
}

void TSysPopupStyleHook::PaintItem(TCanvas* Canvas, int Index, bool NoHot) {
    if (Index < 0 || Index > FCount - 1) return;
    TSysPopupItem* item = GetSysPopupItem(Index);
    if (!IsItemVisible(Index)) return;
    const TRect r = item->ItemRect();
    POINT topLeft{r.Left, r.Top};
    ScreenToClient(FHandle, &topLeft);
    topLeft.y -= GetScrollOffset(true);
    TRect at(topLeft.x, topLeft.y, topLeft.x + r.Width(), topLeft.y + r.Height());
    if (at.Left < 2) at.Left = 2;
    at.Right += 4;
    if (at.Top < 2) at.Top += 2;
    int state = 0;
    if (!NoHot && Index != FPreviousHotItemIndex) state |= isHot;
    item = GetSysPopupItem(Index);
    if (item->Disabled()) state |= isDisabled;
    if (item->Checked()) state |= isChecked;
    if (item->DefaultItem()) state |= isDefault;
    int style = isNormal;
    if (item->Separator()) style = isSeparator;
    if (item->HasSubMenu()) style = isDropDown;
    const rtl::String text = style == isSeparator ? rtl::String() : item->Text();
    if (PaintLog) PaintLog->push_back(TPainted{Index, at, state, style});
    int saved = SaveDC(Canvas->Handle());
    DrawItemBackground(Canvas, Index, at);
    RestoreDC(Canvas->Handle(), saved);
    saved = SaveDC(Canvas->Handle());
    DrawItem(Canvas, Index, at, text, state, style);
    RestoreDC(Canvas->Handle(), saved);
}

void TSysPopupStyleHook::DrawItemBackground(TCanvas* Canvas, int, const TRect& ItemRect) {
    // The window's background, painted once for its size and style and kept for every item.
    const TRect client = FSysControl->ClientRect();
    if (!FBackground || FBackground->Width() != client.Width() || FBackground->Height() != client.Height() ||
        FBackgroundStyle != Active()) {
        FBackground = std::make_unique<TBitmap>();
        FBackground->SetPixelFormat(pf32bit);
        FBackground->SetSize(client.Width(), client.Height());
        PaintBackground(FBackground->Canvas());
        FBackgroundStyle = Active();
    }
    BitBlt(Canvas->Handle(), ItemRect.Left, ItemRect.Top, ItemRect.Width(), ItemRect.Height(), FBackground->Canvas()->Handle(),
           ItemRect.Left, ItemRect.Top, SRCCOPY);
}

void TSysPopupStyleHook::DrawSubMenuArrow(TCanvas* Canvas, const TRect& R, bool Disabled, bool RTL, TRect& TextRect) {
    const TThemedElementDetails details = Active()->GetElementDetails(Disabled ? tmPopupSubMenuDisabled : tmPopupSubMenuNormal);
    TSize size{0, 0};
    Active()->GetElementSize(Canvas->Handle(), details, esActual, size);
    const int w = size.cx, h = size.cy;
    if (w <= 0 || h <= 0) return;
    TRect arrow = RTL ? TRect(R.Left + 4, R.Top, R.Left + w + 4, R.Bottom) : TRect(R.Right - w, R.Top, R.Right, R.Top + h);
    if (!RTL) arrow.Left -= 4;
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(w, h);
    FillRectColor(b.Canvas()->Handle(), TRect(0, 0, w, h), TColor(0xFF00FF));
    DrawStyleElement(b.Canvas()->Handle(), details, TRect(0, 0, w, h), true);
    if (RTL) {
        RotateBitmap(&b, float(M_PI), false, TColor(0xFF00FF));
        arrow.Top += h / 2 - 2;
    }
    TransparentBlt(Canvas->Handle(), arrow.Left, arrow.Top, w, h, b.Canvas()->Handle(), 0, 0, w, h, 0xFF00FF);
    TextRect.Right -= arrow.Width();
}

void TSysPopupStyleHook::DrawSystemGlyph(HDC DC, uintptr_t Bitmap, const TRect& R, bool Disabled, bool Hot, bool RTL) {
    char16_t glyph = 0;
    switch (Bitmap) {
    case 6:
    case 8: glyph = u'r'; break;
    case 7:
    case 11: glyph = u'0'; break;
    case 9: glyph = u'2'; break;
    case 10: glyph = u'1'; break;
    default: return;
    }
    TRect box(R.Left, R.Top, R.Left + 30, R.Bottom);
    TRect g = CenterRectVertically(TRect(0, 0, 10, 10), box);
    if (RTL) {
        g.Left = R.Right - 14;
        g.Right = R.Right;
    } else {
        g.Offset(R.Left + 6 - g.Left, 0);
    }
    // The hot item's glyph takes the hot text colour.
    if (Hot && !Disabled) {
        DrawMarlettChar(DC, glyph, g, false, Active()->GetStyleFontColor(sfPopupMenuItemTextHot));
        return;
    }
    DrawMarlettGlyph(DC, glyph, g, false, Disabled);
}

void TSysPopupStyleHook::DrawItem(TCanvas* Canvas, int Index, const TRect& ItemRect, const rtl::String& ItemText,
                                  int State, int Style) {
    const TRect R = ItemRect;
    const bool rtl = RightToLeft();
    TRect textRect = R;
    TSysPopupItem* item = GetSysPopupItem(Index);
    if (!item) return;
    TRect backRect = R;
    const bool hot = State & isHot, disabled = State & isDisabled, checked = State & isChecked;
    HDC dc = Canvas->Handle();
    // 1. background
    if (Style == isSeparator) {
        backRect.Left += 25;
        DrawStyleElement(dc, Active()->GetElementDetails(tmPopupSeparator), backRect, true);
    } else if (hot && disabled) {
        TBitmap b;
        b.SetPixelFormat(pf32bit);
        b.SetSize(backRect.Width(), backRect.Height());
        FillBitmapColor(&b, 0, clBlack);
        DrawStyleElement(b.Canvas()->Handle(), Active()->GetElementDetails(tmPopupItemHot),
                         TRect(0, 0, backRect.Width(), backRect.Height()), true);
        DarkenBitmap(&b, 30);
        BitBlt(dc, backRect.Left, backRect.Top, backRect.Width(), backRect.Height(), b.Canvas()->Handle(), 0, 0, SRCCOPY);
    } else if (hot) {
        DrawStyleElement(dc, Active()->GetElementDetails(tmPopupItemHot), backRect, true);
    }
    if (Style == isSeparator) return;
    // 2. sub-menu arrow
    if (Style == isDropDown) DrawSubMenuArrow(Canvas, R, disabled, rtl, textRect);
    // 3. the application's item: owner drawing or its image
    TMenuItem* vi = nullptr;
    TMenu* pm = nullptr;
    if (item->VCLMenuItems()) {
        vi = item->VCLItem();
        if (vi) pm = vi->GetParentMenu();
    }
    int imageWidth = 0;
    bool checkGlyph = true;
    auto imageRect = [&](int W, int H) {
        TRect img = CenterRectVertically(TRect(0, 0, W, H), R);
        if (rtl) img.Offset(R.Right - W - 4 - img.Left, 0);
        else img.Offset(R.Left + 4 - img.Left, 0);
        return img;
    };
    auto checkFrame = [&](const TRect& Img) {
        if (!checked || item->RadioCheck()) return;
        TRect frame = Img;
        frame.Inflate(2, 2);
        const int saved = SaveDC(dc);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        HPEN pen = CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(Active()->GetSystemColor(clHotLight))) & 0xFFFFFF);
        SelectObject(dc, pen);
        ::Rectangle(dc, frame.Left, frame.Top, frame.Right, frame.Bottom);
        RestoreDC(dc, saved);
        DeleteObject(pen);
    };
    const bool ownerDrawn = pm && pm->OwnerDraw() && vi && (vi->OnDrawItem || vi->OnAdvancedDrawItem);
    if (ownerDrawn && vi->OnDrawItem) {
        vi->OnDrawItem(vi, Canvas, R, hot);
    } else if (ownerDrawn) {
        TOwnerDrawState ods;
        if (hot) ods.Include(odSelected);
        if (disabled) ods.Include(odDisabled);
        if (checked) ods.Include(odChecked);
        if (State & isDefault) ods.Include(odDefault);
        vi->OnAdvancedDrawItem(vi, Canvas, R, ods);
    } else if (vi && vi->ImageIndex() < 0) {
        if (vi->HasBitmap()) {
            TBitmap* bmp = vi->Bitmap();
            if (bmp->Width() == 16 && bmp->Height() == 16) {
                const TRect img = imageRect(16, 16);
                checkFrame(img);
                Canvas->Draw(img.Left, img.Top, bmp);
                imageWidth = 16;
            } else if (bmp->Width() > 0 && bmp->Height() > 0) {
                TRect img = imageRect(16, 16);
                if (rtl) img.Offset(R.Right - 20 - img.Left, 0);
                checkFrame(img);
                Canvas->StretchDraw(img, bmp);
                imageWidth = 16;
            }
        }
    } else if (vi) {
        TCustomImageList* images = nullptr;
        bool enabled = true;
        if (vi->Parent() && vi->Parent()->SubMenuImages()) images = vi->Parent()->SubMenuImages();
        else if (pm && pm->Images()) {
            images = pm->Images();
            enabled = !disabled;
        }
        if (images) {
            const TRect img = imageRect(images->Width(), images->Height());
            checkFrame(img);
            images->Draw(Canvas, img.Left, img.Top, vi->ImageIndex(), enabled);
            imageWidth = images->Width();
            checkGlyph = false;
        }
    } else if (const HBITMAP h = item->Bitmap()) {
        const uintptr_t value = reinterpret_cast<uintptr_t>(h);
        if (value > 11) {
            const int w = GetBitmapWidth(h), hgt = GetBitmapHeight(h);
            if (w > 0 && hgt > 0) {
                checkGlyph = false;
                const TRect img = imageRect(w, hgt);
                HICON icon = BitmapToIcon(h);
                checkFrame(img);
                DrawIconEx(dc, img.Left, img.Top, icon, w, hgt, 0, nullptr, DI_NORMAL);
                DestroyIcon(icon);
            }
        } else {
            checkGlyph = false;
            DrawSystemGlyph(dc, value, R, disabled, hot, rtl);
        }
    }
    // 4. check mark
    if (checked && checkGlyph) {
        const TThemedMenu mark = item->RadioCheck() ? (disabled ? tmPopupBulletDisabled : tmPopupBulletNormal)
                                                    : (disabled ? tmPopupCheckDisabled : tmPopupCheckNormal);
        const TThemedElementDetails details = Active()->GetElementDetails(mark);
        TSize size{0, 0};
        Active()->GetElementSize(dc, details, esActual, size);
        TRect box = CenterRectVertically(TRect(0, 0, size.cx, size.cy), R);
        if (rtl) box = TRect(R.Right - size.cx - 4, box.Top, R.Right, box.Bottom);
        else box.Offset(R.Left + 4 - box.Left, 0);
        DrawStyleElement(dc, details, box, true);
    }
    // 5. text
    UINT format = DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
    if (rtl) {
        textRect = TRect(R.Left, textRect.Top, R.Right - 28, textRect.Bottom);
        format |= DT_RIGHT | DT_RTLREADING;
    } else {
        textRect.Left = R.Left + 28;
        format |= DT_LEFT;
    }
    if (imageWidth > 0) {
        if (rtl) textRect.Right = R.Right - imageWidth - 8;
        else textRect.Left = R.Left + imageWidth + 12;
    }
    const TThemedElementDetails textElement =
        Active()->GetElementDetails(disabled ? tmPopupItemDisabled : hot ? tmPopupItemHot : tmPopupItemNormal);
    Canvas->Font()->Assign(FFont.get());
    if (State & isDefault) Canvas->Font()->SetStyle(Canvas->Font()->Style() + TFontStyles{fsBold});
    SelectObject(dc, Canvas->Font()->Handle());
    rtl::String caption = ItemText, shortcut;
    if (vi) {
        if (vi->ShortCut() != scNone) shortcut = ShortCutToText(vi->ShortCut());
    } else {
        const int tab = int(ItemText.indexOf(u'\t')) + 1;  // 1-based, as the caption's first character is 1
        if (tab >= 2) {
            caption = ItemText.left(tab);
            shortcut = ItemText.mid(tab);
        }
    }
    TRect t = textRect;
    DrawText(dc, textElement, caption, t, format);
    if (!shortcut.isEmpty()) {
        RECT measure{0, 0, 0, 0};
        DrawTextW(dc, reinterpret_cast<LPCWSTR>(shortcut.utf16()), int(shortcut.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
        const int w = measure.right - measure.left;
        TRect s = rtl ? TRect(R.Left + 14, R.Top, R.Left + 14 + w, R.Bottom) : TRect(R.Right - w - 14, R.Top, R.Right, R.Bottom);
        DrawText(dc, textElement, shortcut, s, format);
    }
}

// ---- scrolling ------------------------------------------------------------------------------------------

int TSysPopupStyleHook::GetItemHeight(int Index) const {
    RECT r{};
    if (!GetMenuItemRect(nullptr, FMenu, UINT(Index), &r)) return 0;
    return r.bottom - r.top;
}

int TSysPopupStyleHook::GetItemBottom(int Index) const {
    RECT r{};
    if (!GetMenuItemRect(nullptr, FMenu, UINT(Index), &r)) return 0;
    POINT p{r.left, r.bottom};
    ScreenToClient(FHandle, &p);
    return p.y;
}

bool TSysPopupStyleHook::MenuScrolls() const {
    return FCount > 0 && GetItemBottom(FCount - 1) > FSysControl->ClientRect().Bottom;
}

void TSysPopupStyleHook::UpdateItemHeight() {
    if (FItemHeightCache != 1) return;
    for (int i = 0; i < FCount; ++i)
        if (!IsSeparatorItem(FMenu, i)) {
            FItemHeightCache = GetItemHeight(i);
            break;
        }
    if (FItemHeightCache == 1) FItemHeightCache = 22;
}

void TSysPopupStyleHook::UpdateSeparatorHeight() {
    if (FSeparatorHeightCache != 1) return;
    for (int i = 0; i < FCount; ++i)
        if (IsSeparatorItem(FMenu, i)) {
            FSeparatorHeightCache = GetItemHeight(i);
            break;
        }
    if (FSeparatorHeightCache == 1) FSeparatorHeightCache = 8;
}

int TSysPopupStyleHook::CountSeparators(int N) {
    UpdateItemHeight();
    UpdateSeparatorHeight();
    int count = 0;
    for (int i = 0; i < N && i < FCount; ++i) count += IsSeparatorItem(FMenu, i);
    return count;
}

int TSysPopupStyleHook::GetScrollOffset(bool UseCache) {
    if (FOffset == 0 && !MenuScrolls()) return 0;
    if (UseCache && FOffsetCache != 0) return FOffsetCache;
    const int separators = FOffset > 0 ? CountSeparators(FOffset) : (UpdateItemHeight(), UpdateSeparatorHeight(), 0);
    const int offset = FItemHeightCache * (FOffset - separators) + separators * FSeparatorHeightCache - FItemHeightCache / 2;
    if (UseCache) FOffsetCache = offset;
    return offset;
}

int TSysPopupStyleHook::GetVisibleArea(TRect& R) {
    R = FSysControl->ClientRect();
    if (!MenuScrolls()) return R.Height();
    UpdateItemHeight();
    return R.Height() - FItemHeightCache;
}

bool TSysPopupStyleHook::IsItemVisible(int Index) {
    if (Index < 0 || Index >= FCount) return true;
    RECT r{};
    GetMenuItemRect(nullptr, FMenu, UINT(Index), &r);
    const int offset = GetScrollOffset(true);
    POINT p{r.left, r.bottom};
    ScreenToClient(FHandle, &p);
    p.y -= offset;
    TRect v;
    const int area = GetVisibleArea(v);
    v.Bottom = v.Top + area;
    if (!PtInRect(&static_cast<const RECT&>(v), p) && p.y != v.Bottom) return false;
    p = POINT{r.left, r.top};
    ScreenToClient(FHandle, &p);
    p.y -= offset;
    if (r.bottom - r.top < area) v.Bottom = v.Top + area - (r.bottom - r.top);
    return PtInRect(&static_cast<const RECT&>(v), p) || p.y == v.Bottom;
}

TPoint TSysPopupStyleHook::GetCursorClientPos() const {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(FHandle, &p);
    return TPoint(p.x, p.y);
}

int TSysPopupStyleHook::ItemFromPoint(uint8_t& ScrollPart, TPoint Pos) {
    ScrollPart = 0;
    POINT p{Pos.X, Pos.Y};
    if (Pos.X != 0 || Pos.Y != 0) ScreenToClient(FHandle, &p);
    else {
        const TPoint c = GetCursorClientPos();
        p = POINT{c.X, c.Y};
    }
    if (MenuScrolls()) {
        UpdateItemHeight();
        const int half = FItemHeightCache / 2;
        if (p.y <= half) {
            ScrollPart = 1;
            return -1;
        }
        if (p.y >= FSysControl->ClientRect().Bottom - half) {
            ScrollPart = 2;
            return -1;
        }
    }
    p.y += GetScrollOffset(true);
    ClientToScreen(FHandle, &p);
    for (int i = FOffset; i < FCount; ++i) {
        RECT r{};
        if (GetMenuItemRect(nullptr, FMenu, UINT(i), &r) && PtInRect(&r, p)) return i;
    }
    return -1;
}

void TSysPopupStyleHook::ScrollToLastItem() {
    const int over = GetItemBottom(FCount - 1) - FSysControl->ClientRect().Bottom;
    if (over > 0) {
        UpdateItemHeight();
        const int half = int(std::nearbyint(FItemHeightCache / 2.0));
        if (over + half > 0) {
            SetOffset(std::min(FCount - 1, (over + half) / FItemHeightCache));
            // Bounded: an item taller than the shown area never becomes visible.
            for (int n = 0; n < FCount && !IsItemVisible(FCount - 1) && FOffset < FCount - 1; ++n) SetOffset(FOffset + 1);
        }
        return;
    }
    SetOffset(0);
}

void TSysPopupStyleHook::PaintArrows(TCanvas* Canvas) {
    const TRect c = FSysControl->ClientRect();
    UpdateItemHeight();
    const int h = FItemHeightCache / 2;
    DrawStyleElement(Canvas->Handle(), Active()->GetElementDetails(FOffset < 1 ? tsArrowBtnUpDisabled : tsArrowBtnUpNormal),
                     TRect(c.Left, c.Top, c.Right, c.Top + h), true);
    DrawStyleElement(Canvas->Handle(),
                     Active()->GetElementDetails(IsItemVisible(FCount - 1) ? tsArrowBtnDownDisabled : tsArrowBtnDownNormal),
                     TRect(c.Left, c.Bottom - h, c.Right, c.Bottom), true);
}

void TSysPopupStyleHook::PaintScrolledItems() {
    const TRect c = FSysControl->ClientRect();
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetAlphaFormat(afPremultiplied);
    b.SetSize(c.Width(), c.Height());
    b.Canvas()->Font()->Assign(FFont.get());
    PaintBackground(b.Canvas());
    for (int i = FOffset, n = 0; i < FCount && n < FCount && IsItemVisible(i); ++i, ++n) PaintItem(b.Canvas(), i, true);
    PaintArrows(b.Canvas());
    HDC dc = GetDC(FHandle);
    BitBlt(dc, c.Left, c.Top, c.Width(), c.Height(), b.Canvas()->Handle(), 0, 0, SRCCOPY);
    ReleaseDC(FHandle, dc);
}

// ---- keys, clicks, timers -------------------------------------------------------------------------------

void TSysPopupStyleHook::MoveOffsetToward(int Index) {
    // Step toward the item from either side, within 0 .. count - 1, at most one step per item.
    for (int n = 0; n < FCount && !IsItemVisible(Index); ++n) {
        const int next = Index < FOffset ? FOffset - 1 : FOffset + 1;
        if (next < 0 || next > FCount - 1) break;
        SetOffset(next);
    }
}

void TSysPopupStyleHook::KeyDown(TMessage& Message) {
    const UINT key = UINT(Message.WParam);
    if (key != VK_UP && key != VK_DOWN) {
        Message.Result = CallDefaultProc(Message);
        return;
    }
    FEnterWithKeyboard = true;
    FMenu = GetMenuFromHandle(FHandle);
    FCount = ItemCount();
    if (FPreviousHotItemIndex != -1) FKeyIndex = FPreviousHotItemIndex;
    const int count = FCount;
    if (count <= 0) {
        Message.Result = 0;
        return;
    }
    if (key == VK_UP) {
        if (FKeyIndex <= 0 || FKeyIndex > count) FKeyIndex = count;
        --FKeyIndex;
        int i = FKeyIndex;
        while (i >= 0 && IsSeparatorItem(FMenu, i)) --i;
        if (i >= 0) FKeyIndex = i;
    } else {
        if (!FPaintFirstItemFromMenu) {
            Message.Result = 0;
            return;
        }
        if (FKeyIndex >= count - 1) FKeyIndex = -1;
        ++FKeyIndex;
        int i = FKeyIndex;
        while (i < count && IsSeparatorItem(FMenu, i)) ++i;
        if (i < count) FKeyIndex = i;
    }
    if (!IsItemVisible(FKeyIndex)) {
        if (FKeyIndex <= 0) {
            if (FOffset != 0) SetOffset(0);
        } else if (key == VK_UP && FOffset == 0 && FKeyIndex == count - 1) {
            ScrollToLastItem();
        } else {
            MoveOffsetToward(FKeyIndex);
        }
        PaintScrolledItems();
    }
    SendMessageW(FHandle, MN_SELECTITEM_, WPARAM(FKeyIndex), 0);
    Message.Result = 0;
}

void TSysPopupStyleHook::SelectCleared() {
    if (FPreviousHotItemIndex != -1) SendMessageW(FHandle, MN_SELECTITEM_, WPARAM(-1), 0);
}

void TSysPopupStyleHook::ButtonDown(TMessage& Message) {
    Message.Result = 0;
    FMenu = GetMenuFromHandle(FHandle);
    FCount = ItemCount();
    uint8_t part = 0;
    FKeyIndex = ItemFromPoint(part, TPoint(0, 0));
    if (part == 1) {
        if (FOffset > 0) {
            FKeyIndex = -1;
            SetOffset(FOffset - 1);
            PaintScrolledItems();
            SelectCleared();
            SetTimer(FHandle, ScrollUpTimer, 150, nullptr);
        }
        return;
    }
    if (part == 2) {
        if (!IsItemVisible(FCount - 1)) {
            SetOffset(FOffset + 1);
            FKeyIndex = -1;
            PaintScrolledItems();
            SelectCleared();
            SetTimer(FHandle, ScrollDownTimer, 150, nullptr);
        }
        return;
    }
    if (FKeyIndex < 0) return;
    // The item is chosen as if Enter were pressed on it.
    const int index = FKeyIndex;
    CallWindowProcW(FOrgWndProc, FHandle, MN_SELECTITEM_, WPARAM(index), 0);
    if (!IsWindow(FHandle)) return;
    CallWindowProcW(FOrgWndProc, FHandle, WM_KEYDOWN, VK_RETURN, 0);
    if (!IsWindow(FHandle)) return;
    CallWindowProcW(FOrgWndProc, FHandle, WM_KEYUP, VK_RETURN, 0);
}

bool TSysPopupStyleHook::PrimaryButtonDown() const {
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return GetKeyState(button) & 0x80;
}

void TSysPopupStyleHook::Timer(TMessage& Message) {
    switch (Message.WParam) {
    case KeyReadyTimer:
        if (FItemsPainted) {
            FPaintFirstItemFromMenu = true;
            KillTimer(FHandle, KeyReadyTimer);
        }
        break;
    case ScrollDownTimer:
        if (!PrimaryButtonDown() || IsItemVisible(FCount - 1)) KillTimer(FHandle, ScrollDownTimer);
        else {
            SetOffset(FOffset + 1);
            PaintScrolledItems();
        }
        break;
    case ScrollUpTimer:
        if (PrimaryButtonDown() && FOffset > 0) {
            SetOffset(FOffset - 1);
            PaintScrolledItems();
        } else {
            KillTimer(FHandle, ScrollUpTimer);
        }
        break;
    default: break;
    }
}

// ---- the unit -----------------------------------------------------------------------------------------

void InitPopupMenus() {
    SubMenuChain().clear();
    TStyleManager::SetSystemHooks(TStyleManager::SystemHooks() - TSystemHooks{shMenus});
    if (TStyleManager::ActiveStyle()->Available())
        TSysStyleManager::RegisterSysStyleHook(QString::fromUtf16(PopupClass), &CreateHook<TSysPopupStyleHook>);
}

void FinalPopupMenus() {
    TSysStyleManager::UnRegisterSysStyleHook(QString::fromUtf16(PopupClass), &CreateHook<TSysPopupStyleHook>);
    SubMenuChain().clear();
}

} // namespace styling
