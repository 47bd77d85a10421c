// styling/hooks/PopupMenuHook.h: the system's pop-up menu windows ("#32768": context menus, sub-menus,
// window menus) painted in the active style. The menu window keeps its logic (selection, keys,
// commands); the hook paints background, border and every item, keeps its own scroll position for
// menus taller than their window, and turns clicks and Up/Down into the menu's own selection.
#pragma once
#include <memory>
#include <vector>

#include "styling/hooks/SysStyleHook.h"
#include "vcl/Menus.h"

namespace styling {

// Item painting: its state flags and its kind.
enum TSysPopupItemState { isHot = 1, isDisabled = 2, isChecked = 4, isDefault = 8 };
enum TSysPopupItemStyle { isNormal = 0, isSeparator = 1, isDropDown = 2 };

// The timers on a menu window: the Down key works once 147 has fired after the window was placed;
// 513 and 514 scroll down and up while the primary button stays on an arrow.
constexpr UINT_PTR KeyReadyTimer = 147;
constexpr UINT_PTR ScrollDownTimer = 513;
constexpr UINT_PTR ScrollUpTimer = 514;

class TSysPopupStyleHook : public TSysStyleHook {
public:
    // One item of the shown menu, read through the menu handle by position; failed queries read as
    // false, 0 or empty.
    class TSysPopupItem {
    public:
        TSysPopupItem(TSysPopupStyleHook* Hook, int Index, HMENU Menu)
            : FIndex(Index), FMenu(Menu), FHandle(Hook->Handle()), FSysParent(Hook->SysControl()), FSysPopupStyleHook(Hook) {}
        bool Disabled() const { return State() & (MFS_GRAYED | MF_DISABLED); }
        bool Checked() const { return State() & MFS_CHECKED; }
        bool DefaultItem() const { return State() & MFS_DEFAULT; }
        bool OwnerDraw() const { return Type() & MFT_OWNERDRAW; }
        bool RadioCheck() const { return Type() & MFT_RADIOCHECK; }
        bool Separator() const;
        bool HasSubMenu() const { return GetSubMenu(FMenu, FIndex) != nullptr; }
        HBITMAP Bitmap() const;
        UINT ID() const;
        vcl::TRect ItemRect() const;
        vcl::TMenuItem* VCLMenuItems() const { return FSysPopupStyleHook->VCLMenuItems(); }
        vcl::TMenuItem* VCLItem() const;
        rtl::String Text() const;
        int Index() const { return FIndex; }

    private:
        UINT State() const;
        UINT Type() const;
        int FIndex;
        HMENU FMenu;
        HWND FHandle;
        TSysControl* FSysParent;
        TSysPopupStyleHook* FSysPopupStyleHook;
    };

    explicit TSysPopupStyleHook(HWND AHandle);
    ~TSysPopupStyleHook() override;

    void WndProc(TMessage& Message) override;
    void UpdateColors() override;
    void PaintBackground(vcl::TCanvas* Canvas) override;

    // The item object for Index, valid until the next call; null outside the menu.
    TSysPopupItem* GetSysPopupItem(int Index);
    bool RightToLeft() const;
    int ItemCount() const { return GetMenuItemCount(FMenu); }
    static HMENU GetMenuFromHandle(HWND Window);
    // Paints item Index where it shows on the window; NoHot paints it normal whatever the selection.
    void PaintItem(vcl::TCanvas* Canvas, int Index, bool NoHot);
    // The application's menu item whose sub-items this menu shows, looked up once; null when none.
    vcl::TMenuItem* VCLMenuItems();

    // Scrolling (the first shown item, its pixel offset, the areas) and hit testing.
    int GetItemHeight(int Index) const;
    int GetItemBottom(int Index) const;
    bool MenuScrolls() const;
    int GetScrollOffset(bool UseCache);
    int GetVisibleArea(vcl::TRect& R);
    bool IsItemVisible(int Index);
    // The item under Pos (screen; (0, 0): the cursor), or -1; ScrollPart 1 and 2 name the arrows.
    int ItemFromPoint(uint8_t& ScrollPart, vcl::TPoint Pos);
    vcl::TPoint GetCursorClientPos() const;
    void ScrollToLastItem();
    void PaintScrolledItems();

    // What tests read.
    int Offset() const { return FOffset; }
    void SetOffset(int Value) {
        FOffset = Value;
        FOffsetCache = 0;
    }
    int KeyIndex() const { return FKeyIndex; }
    int PreviousHotItemIndex() const { return FPreviousHotItemIndex; }
    bool ItemsPainted() const { return FItemsPainted; }
    bool KeyReady() const { return FPaintFirstItemFromMenu; }
    int ItemHeightCache() const { return FItemHeightCache; }
    int SeparatorHeightCache() const { return FSeparatorHeightCache; }
    // Every item painting: index, rectangle, state flags and style (tests count repaints).
    struct TPainted {
        int Index;
        vcl::TRect R;
        int State;
        int Style;
    };
    static inline std::vector<TPainted>* PaintLog = nullptr;

protected:
    void Dispatch(TMessage& Message) override;
    virtual void DrawItemBackground(vcl::TCanvas* Canvas, int Index, const vcl::TRect& ItemRect);
    virtual void DrawItem(vcl::TCanvas* Canvas, int Index, const vcl::TRect& ItemRect, const rtl::String& ItemText,
                          int State, int Style);
    void MNSelectItem(TMessage& Message);
    void WMPrint(TMessage& Message);

private:
    void UpdateItemHeight();
    void UpdateSeparatorHeight();
    int CountSeparators(int N);
    void PaintArrows(vcl::TCanvas* Canvas);
    void RepaintShown();
    void KeyDown(TMessage& Message);
    void ButtonDown(TMessage& Message);
    void Timer(TMessage& Message);
    bool PrimaryButtonDown() const;
    void MoveOffsetToward(int Index);
    void SelectCleared();
    void DrawSubMenuArrow(vcl::TCanvas* Canvas, const vcl::TRect& R, bool Disabled, bool RTL, vcl::TRect& TextRect);
    void DrawSystemGlyph(HDC DC, uintptr_t Bitmap, const vcl::TRect& R, bool Disabled, bool Hot, bool RTL);

    int FOffset = 0;
    int FOffsetCache = 0;
    int FSeparatorHeightCache = 1;
    int FItemHeightCache = 1;
    bool FItemsPainted = false;
    bool FParentSubItemPainted = false;
    int FPreviousHotItemIndex = -1;
    bool FPaintFirstItemFromMenu = false;
    int FKeyIndex = -1;
    std::unique_ptr<TSysPopupItem> FSysPopupItem;
    int FCount = 0;
    HMENU FMenu = nullptr;
    vcl::TMenuItem* FVCLMenuItems = nullptr;
    bool FVCLMenuItemsLooked = false;
    vcl::TRect FNCRect;
    bool FEnterWithKeyboard = false;
    std::unique_ptr<vcl::TBitmap> FBackground;  // the background under every item
    vcl::TCustomStyleServices* FBackgroundStyle = nullptr;
};

// Unit routines.
bool IsSeparatorItem(HMENU Menu, int Index);
int GetBitmapWidth(HBITMAP Bitmap);
int GetBitmapHeight(HBITMAP Bitmap);
// An icon with Bitmap as its colours and a blank mask; the caller frees it.
HICON BitmapToIcon(HBITMAP Bitmap);

// The chain of open sub-menus: the menu, the window of the menu that opened it, the opening item.
struct TSubMenuEntry {
    HMENU Menu;
    HWND Owner;
    int Index;
};
std::vector<TSubMenuEntry>& SubMenuChain();

// Start and end of the unit: the class library's own menu styling is switched off; the hook is
// registered for "#32768" when the active style is available, and the chain is emptied.
void InitPopupMenus();
void FinalPopupMenus();

} // namespace styling
