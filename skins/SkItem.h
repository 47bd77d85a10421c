// skins/SkItem.h: the skinned items of menus and toolbars and their viewers, which measure and paint
// them through the current skin; filling items from a system menu; the customizing drag objects; and
// what the skinned bars share for the whole process: the small caption font, the stock hint bitmap the
// item viewers draw their hints into, the marker image list that stands for the built-in title-button
// glyphs, the customizing cursors, and the hint window that shows a bitmap.
#pragma once
#include "skins/SkControls.h"
#include "skins/SkItemPaint.h"
#include "skins/SkSkins.h"
#include "toolbars/BarDock.h"
#include "toolbars/BarItem.h"

#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"

namespace skins {

constexpr vcl::TCursor crSkinHandPoint = 100;
constexpr vcl::TCursor crCustomizeMove = 101;
constexpr vcl::TCursor crCustomizeCancel = 102;

// The shared objects are made together on the first call of any of these (and the cursors
// registered with the screen); FinalizeSkItemResources frees them, as does the end of the process.
vcl::TFont* SmallCaptionFont();
vcl::TBitmap* StockHintBitmap();
// Empty: an item using it with image index 0..3 is painted as the close, maximize, minimize or
// restore glyph.
vcl::TCustomImageList* TitleButtonImages();
void InitSkItemResources();
void FinalizeSkItemResources();

// A hint window showing a prepared bitmap instead of text; its size comes from the bitmap.
class TBitmapHint : public vcl::THintWindow {
public:
    explicit TBitmapHint(rtl::TComponent* AOwner);

    vcl::TBitmap* HintBitmap() const { return FHintBitmap; }
    // AData is the bitmap (not owned). The window is 2 pixels narrower and lower than the bitmap, from
    // Rect's top-left corner; without a bitmap Rect is used as it is.
    void ActivateHintData(const vcl::TRect& Rect, const rtl::String& AHint, void* AData) override;

protected:
    void Paint() override;
    void Dispatch(vcl::TMessage& Message) override;

private:
    vcl::TBitmap* FHintBitmap = nullptr;
};

// ---------------------------------------------------------------------------------------------------
// Skinned items

class TSkItemViewer;

// Every owner-draw point is offered twice: before the default painting, with PaintDefault true (the
// handler clears it to suppress the default), and after it.
using TSkDrawItemEvent = rtl::TEvent<void(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TRect ARect,
                                          TSkMenuItemInfo ItemInfo, TSkPaintStage PaintStage, bool& PaintDefault)>;
using TSkDrawTextEvent = rtl::TEvent<void(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TRect ClientAreaRect,
                                          TSkSkinStatesType State, String& ACaption, TRect& CaptionRect,
                                          uint32_t& CaptionFormat, bool IsTextRotated, TSkPaintStage PaintStage,
                                          bool& PaintDefault)>;
using TSkDrawImageEvent = rtl::TEvent<void(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TSkSkinStatesType State,
                                           TSkPaintStage PaintStage, vcl::TCustomImageList*& AImageList,
                                           int& AImageIndex, TRect& ARect, bool& PaintDefault)>;
using TSkDrawHintEvent =
    rtl::TEvent<void(rtl::TObject* Sender, vcl::TBitmap* AHintBitmap, String& AHint, bool& PaintDefault)>;
using TSkPopupEvent = rtl::TEvent<void(rtl::TObject* Sender, bars::TBarView* PopupView)>;
using TSkGetImageIndexEvent =
    rtl::TEvent<void(rtl::TObject* Sender, vcl::TCustomImageList*& AImageList, int& AItemIndex)>;

class TSkCustomItemActionLink : public bars::TBarCustomItemActionLink {
public:
    using bars::TBarCustomItemActionLink::TBarCustomItemActionLink;
};

class TSkCustomItem : public bars::TBarCustomItem {
public:
    explicit TSkCustomItem(rtl::TComponent* AOwner);
    ~TSkCustomItem() override;

    bars::TBarItemViewerClass GetItemViewerClass(bars::TBarView* AView) override;
    // Skinned popup windows.
    bars::TBarPopupWindowClass GetPopupWindowClass() override;
    void Click() override;
    void InitiateAction() override;

    // The text after the caption's first tab when one stands before its end, else the ShortCut's.
    String GetShortCutText() const;

    virtual bool DialogChar(WORD CharCode);
    virtual void DoAdjustFont(vcl::TFont* AFont, TSkSkinStatesType State);
    virtual void DoDrawHint(vcl::TBitmap* AHintBitmap, String& AHint, bool& PaintDefault);
    virtual void DoDrawItem(vcl::TCanvas* ACanvas, const TRect& ARect, const TSkMenuItemInfo& ItemInfo,
                            TSkPaintStage PaintStage, bool& PaintDefault);
    virtual void DoDrawCaption(vcl::TCanvas* ACanvas, const TRect& ClientAreaRect, TSkSkinStatesType State,
                               String& ACaption, TRect& CaptionRect, uint32_t& CaptionFormat, bool IsTextRotated,
                               TSkPaintStage PaintStage, bool& PaintDefault);
    virtual void DoDrawImage(vcl::TCanvas* ACanvas, TSkSkinStatesType State, TSkPaintStage PaintStage,
                             vcl::TCustomImageList*& AImageList, int& AImageIndex, TRect& ARect, bool& PaintDefault);
    // Called by the popup window when it shows (OnInitPopup with its view) or hides (OnClosePopup).
    virtual void DoPopupShowingChanged(bars::TBarPopupWindow* APopupWindow, bool IsVisible);
    virtual void ToggleControl();
    virtual void UpdateCheckedFromControl();

    TSkGlowDirection CaptionGlow() const { return FCaptionGlow; }
    void SetCaptionGlow(TSkGlowDirection Value);
    TColor CaptionGlowColor() const { return FCaptionGlowColor; }
    void SetCaptionGlowColor(TColor Value);
    vcl::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(vcl::TAlignment Value);
    bool Anchored() const { return FAnchored; }
    void SetAnchored(bool Value);
    vcl::TControl* Control() const { return FControl; }
    void SetControl(vcl::TControl* Value);
    int CustomWidth() const { return FCustomWidth; }
    void SetCustomWidth(int Value);   // below -1 is stored as -1 (not set)
    int CustomHeight() const { return FCustomHeight; }
    void SetCustomHeight(int Value);
    TSkFontSettings* FontSettings() const { return FFontSettings.get(); }
    void SetFontSettings(TSkFontSettings* Value);   // assigns into the item's own settings
    int Margins() const { return FMargins; }
    void SetMargins(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool ToolbarStylePopup() const { return FToolbarStylePopup; }
    void SetToolbarStylePopup(bool Value) { FToolbarStylePopup = Value; }
    bool ToolBoxPopup() const { return FToolBoxPopup; }
    void SetToolBoxPopup(bool Value);
    TTextWrapping Wrapping() const { return FWrapping; }
    void SetWrapping(TTextWrapping Value);

    rtl::TNotifyEvent OnClosePopup;
    TSkPopupEvent OnInitPopup;
    TSkDrawTextEvent OnDrawCaption;
    TSkDrawHintEvent OnDrawHint;
    TSkDrawItemEvent OnDrawItem;
    TSkDrawImageEvent OnDrawImage;

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void ApplyActionProperties(vcl::TBasicAction* Sender, bool CheckDefaults) override;
    std::unique_ptr<bars::TBarCustomItemActionLink> CreateActionLink() override;

private:
    void FontSettingsChanged(rtl::TObject* Sender);

    TSkGlowDirection FCaptionGlow = gldNone;
    TColor FCaptionGlowColor = vcl::clYellow;
    vcl::TAlignment FAlignment = vcl::taCenter;
    bool FAnchored = false;
    vcl::TControl* FControl = nullptr;
    int FCustomWidth = -1;
    int FCustomHeight = -1;
    std::unique_ptr<TSkFontSettings> FFontSettings;
    int FMargins = 0;
    int FMinHeight = 0;
    int FMinWidth = 0;
    bool FStretch = true;
    bool FToolbarStylePopup = false;
    bool FToolBoxPopup = false;
    TTextWrapping FWrapping = twWrap;
};

class TSkItem : public TSkCustomItem {
public:
    using TSkCustomItem::TSkCustomItem;
};

class TSkSubmenuItem : public TSkItem {
public:
    explicit TSkSubmenuItem(rtl::TComponent* AOwner);
    // The split button: tbisCombo of the item style.
    bool DropdownCombo() const { return ItemStyle().Contains(bars::tbisCombo); }
    void SetDropdownCombo(bool Value);
    bool HideEmptyPopup() const { return FHideEmptyPopup; }
    void SetHideEmptyPopup(bool Value) { FHideEmptyPopup = Value; }

private:
    bool FHideEmptyPopup = false;
};

// A caption that cannot be selected; a click on it leaves the menu open.
class TSkCustomLabelItem : public TSkCustomItem {
public:
    explicit TSkCustomLabelItem(rtl::TComponent* AOwner);
    bars::TBarItemViewerClass GetItemViewerClass(bars::TBarView* AView) override;
    // Focuses the linked windowed control for the caption's accelerator.
    bool DialogChar(WORD CharCode) override;
    // A label never gets the item background, whatever the handler says.
    void DoDrawItem(vcl::TCanvas* ACanvas, const TRect& ARect, const TSkMenuItemInfo& ItemInfo,
                    TSkPaintStage PaintStage, bool& PaintDefault) override;
    void ToggleControl() override {}
    void UpdateCheckedFromControl() override {}
};

// Pushes the rest of its bar to the right edge; the toolbar sets its CustomWidth.
class TSkRightAlignSpacerItem : public TSkCustomLabelItem {
public:
    using TSkCustomLabelItem::TSkCustomLabelItem;
};

class TSkSeparatorItem : public bars::TBarSeparatorItem {
public:
    using bars::TBarSeparatorItem::TBarSeparatorItem;
    bars::TBarItemViewerClass GetItemViewerClass(bars::TBarView* AView) override;
};

// The form's system menu as a submenu, shown as the form's icon; its subitems are made on each click.
class TSkSystemMenuItem : public TSkCustomItem {
public:
    explicit TSkSystemMenuItem(rtl::TComponent* AOwner);
    bars::TBarItemViewerClass GetItemViewerClass(bars::TBarView* AView) override;
    void Click() override;

    bool MDISystemMenu() const { return FMDISystemMenu; }
    void SetMDISystemMenu(bool Value) { FMDISystemMenu = Value; }
    // Stored only: the Size entry shows regardless.
    bool ShowSize() const { return FShowSize; }
    void SetShowSize(bool Value) { FShowSize = Value; }

    // The form the entries act on: the parent component's form, else the main form (or its active
    // MDI child with MDISystemMenu).
    vcl::TCustomForm* TargetForm() const;

private:
    void CommandClick(rtl::TObject* Sender);

    bool FMDISystemMenu = false;
    bool FShowSize = true;
};

class TSkRootItem : public bars::TBarRootItem {
public:
    using bars::TBarRootItem::TBarRootItem;
    bars::TBarPopupWindowClass GetPopupWindowClass() override;
    bool ToolBoxPopup() const { return FToolBoxPopup; }
    void SetToolBoxPopup(bool Value);
    virtual void DoPopupShowingChanged(bars::TBarPopupWindow* APopupWindow, bool IsVisible);

    TSkPopupEvent OnInitPopup;
    rtl::TNotifyEvent OnClosePopup;

private:
    bool FToolBoxPopup = false;
};

// ---------------------------------------------------------------------------------------------------
// Viewers

class TSkItemViewer : public bars::TBarItemViewer {
public:
    using bars::TBarItemViewer::TBarItemViewer;

    void MeasureSize(vcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    void Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
    bool ShowsCaption() override;

    virtual void AdjustFont(vcl::TFont* AFont, TSkSkinStatesType State);
    virtual void DoDrawItem(vcl::TCanvas* ACanvas, const TRect& ARect, const TSkMenuItemInfo& ItemInfo,
                            TSkPaintStage PaintStage, bool& PaintDefault);
    virtual void DoDrawCaption(vcl::TCanvas* ACanvas, const TRect& ClientAreaRect, TSkSkinStatesType State,
                               String& ACaption, TRect& CaptionRect, uint32_t& CaptionFormat, bool IsTextRotated,
                               TSkPaintStage PaintStage, bool& PaintDefault);
    virtual void DoDrawImage(vcl::TCanvas* ACanvas, TSkSkinStatesType State, TSkPaintStage PaintStage,
                             vcl::TCustomImageList*& AImageList, int& AImageIndex, TRect& ARect, bool& PaintDefault);
    virtual void DoDrawHint(vcl::TBitmap* AHintBitmap, String& AHint, bool& PaintDefault);
    virtual bool GetImageShown();
    virtual vcl::TSize GetImageSize();
    virtual vcl::TSize GetRightImageSize() { return vcl::TSize{0, 0}; }
    virtual TColor GetTextColor(TSkSkinStatesType State);
    virtual void DrawItemImage(vcl::TCanvas* ACanvas, TRect ARect, const TSkMenuItemInfo& ItemInfo, int ImageIndex);
    virtual void DrawItemRightImage(vcl::TCanvas* ACanvas, const TRect& ARect, const TSkMenuItemInfo& ItemInfo) {
        (void)ACanvas;
        (void)ARect;
        (void)ItemInfo;
    }
    virtual void InternalMouseMove(vcl::TShiftState Shift, int X, int Y) {
        (void)Shift;
        (void)X;
        (void)Y;
    }
    virtual String GetCaptionText();
    virtual String GetHintText();

    // The skinned answer: a ToolBoxPopup item in a popup under a parent without tboToolbarStyle is
    // drawn in menu style. The base library's own code keeps the base answer.
    bool IsToolbarStyle();
    bool IsOnToolBox();
    TSkTextInfo GetItemTextInfo(vcl::TCanvas* ACanvas, TSkSkinStatesType State);
    void CalcItemViewerSize(vcl::TCanvas* ACanvas, bool AStretch, int& AWidth, int& AHeight);
    TSkSkinStatesType PaintState();
    TSkCustomItem* SkItem() const { return dynamic_cast<TSkCustomItem*>(Item()); }

    // The hint-show message (the toolbar and popup window forward it): a bitmap hint.
    virtual void Dispatch(vcl::TMessage& Message);

    vcl::TPoint FAnchorSize;   // the dock size seen when an anchored item was first laid out
    int FAnchorDelta = 0;      // the length added to an anchored item

protected:
    void CMHintShow(vcl::TCMHintShow& Message);
};

class TSkLabelItemViewer : public TSkItemViewer {
public:
    using TSkItemViewer::TSkItemViewer;
    void MeasureSize(vcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    bool PerformExecute() override { return false; }
};

class TSkSeparatorItemViewer : public bars::TBarSeparatorItemViewer {
public:
    using bars::TBarSeparatorItemViewer::TBarSeparatorItemViewer;
    void MeasureSize(vcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    void Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
};

class TSkSystemMenuItemViewer : public TSkItemViewer {
public:
    using TSkItemViewer::TSkItemViewer;
    void MeasureSize(vcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    void Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
};

// ---------------------------------------------------------------------------------------------------
// The item cache of a toolbar's right-anchored controls

class TSkItemCache : public rtl::TCollectionItem {
public:
    using rtl::TCollectionItem::TCollectionItem;
    // Copies everything but the name from another entry.
    void Assign(rtl::TPersistent* Source) override;

    bars::TBarDock* Dock() const { return FDock; }
    void SetDock(bars::TBarDock* Value) { FDock = Value; }
    // The item's name when an item is set, else the stored one.
    String Name() const;
    void SetName(const String& Value) { FName = Value; }
    bars::TBarCustomItem* Item() const { return FItem; }
    void SetItem(bars::TBarCustomItem* Value) { FItem = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int ParentWidth() const { return FParentWidth; }
    void SetParentWidth(int Value) { FParentWidth = Value; }
    int ParentHeight() const { return FParentHeight; }
    void SetParentHeight(int Value) { FParentHeight = Value; }

private:
    bars::TBarDock* FDock = nullptr;
    String FName;
    bars::TBarCustomItem* FItem = nullptr;
    int FWidth = 0, FHeight = 0, FParentWidth = 0, FParentHeight = 0;
};

class TSkItemCacheCollection : public rtl::TCollection {
public:
    TSkItemCacheCollection() : rtl::TCollection(ItemClassOf<TSkItemCache>()) {}
    // A new entry for AItem; its index.
    virtual int Add(bars::TBarCustomItem* AItem);
    // -1 for nil or an item without an entry.
    int IndexOf(bars::TBarCustomItem* AItem) const;
    TSkItemCache* Items(int Index) const { return static_cast<TSkItemCache*>(rtl::TCollection::Items(Index)); }
};

// ---------------------------------------------------------------------------------------------------
// Item painting, system menus, customizing drags

// The paint of one item (or chevron) in its view: state, combo part and state, sunken caption, margins.
void FillMenuItemInfo(vcl::TCanvas* ACanvas, bars::TBarItemViewer* Viewer, TSkMenuItemInfo& Info);
// Toolbar style with the split halves, or menu style with the check area, highlight and split line.
void DrawMenuItem(vcl::TCanvas* ACanvas, const TRect& ARect, const TSkMenuItemInfo& Info);
void DrawMenuItemImage(vcl::TCanvas* ACanvas, TRect R, const TSkMenuItemInfo& Info, vcl::TCustomImageList* ImageList,
                       int ImageIndex);

// The text of a menu entry by position, at most 260 characters.
String GetMenuItemText(HMENU Menu, int Position);
// Adds an item per entry of Menu (separators, submenus unfilled, captions, tags = command ids, states).
bool FillItemsFromMenu(HMENU Menu, bars::TBarCustomItem* ParentItem);
// Fills ParentItem from the form's system menu and sets the entries' visibility, enabling and glyphs.
bool FillSystemMenuPopup(vcl::TCustomForm* Form, bars::TBarCustomItem* ParentItem, bool ShowSize,
                         bool ShowMinimize, bool ShowMaximize, bool ShowClose, const rtl::TNotifyEvent& OnClick);

class TSkCustomDragObject : public vcl::TDragObjectEx {
public:
    TSkCustomDragObject(vcl::TControl* ASourceControl, bars::TBarCustomItem* AItem);
    vcl::TCursor GetDragCursor(bool Accepted, int X, int Y) override;
    // A refused drop is told to the source as a cancelled drag; then the source hears where it ended.
    void Finished(rtl::TObject* Target, int X, int Y, bool Accepted) override;

    vcl::TCursor DragCursorAccept() const { return FDragCursorAccept; }
    vcl::TCursor DragCursorCancel() const { return FDragCursorCancel; }
    vcl::TControl* SourceControl() const { return FSourceControl; }
    bars::TBarCustomItem* SourceItem() const { return FSourceItem; }

private:
    vcl::TCursor FDragCursorAccept;
    vcl::TCursor FDragCursorCancel;
    vcl::TControl* FSourceControl;
    bars::TBarCustomItem* FSourceItem;
};

class TSkItemDragObject : public TSkCustomDragObject {
public:
    using TSkCustomDragObject::TSkCustomDragObject;
};

} // namespace skins
