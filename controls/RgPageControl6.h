// controls/RgPageControl6.h: a tabbed container of the second family: a strip of tabs along one edge,
// an optional tab-list button and close button, and one page per tab. The strip is drawn by a painter
// object chosen by Style: the family's modern colours, the system theme, or colours the form sets.
#pragma once
#include "controls/RgNotebook6.h"

#include "vcl/ImgList.h"
#include "vcl/Menus.h"

#include <memory>

namespace controls {

class TRgPageSheet6;
using TRgPageSheetEvent = rtl::TEvent<void(TRgPageSheet6* Sender)>;

class TRgPageSheet6 : public TRgNotebookSheet6 {
public:
    explicit TRgPageSheet6(rtl::TComponent* AOwner) : TRgNotebookSheet6(AOwner) {}

    // Empty shows as the page control's DefaultCaption.
    rtl::String Caption() const { return FCaption; }
    void SetCaption(const rtl::String& Value) { Store(FCaption, Value); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { Store(FImageIndex, Value); }
    // A hidden tab takes no room and is not listed; its page can still be active.
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value) { Store(FTabVisible, Value); }
    // The tab's fill when the control does not use its style's colours.
    vcl::TColor TabColor() const { return FTabColor; }
    void SetTabColor(vcl::TColor Value) { Store(FTabColor, Value); }
    bool TabEnabled() const { return FTabEnabled; }
    void SetTabEnabled(bool Value) { Store(FTabEnabled, Value); }

    TRgPageSheetEvent OnTabChange;

protected:
    virtual void DoTabChange() { OnTabChange(this); }

private:
    template <class T> void Store(T& Field, const T& Value) {
        if (Field == Value) return;
        Field = Value;
        DoTabChange();
    }
    rtl::String FCaption;
    int FImageIndex = 0;
    bool FTabVisible = true;
    vcl::TColor FTabColor = vcl::clBtnFace;
    bool FTabEnabled = true;
};

enum TRgCloseButtonLocation { cbBeside, cbTab };
enum TRgCloseButtonAction { caHide, caDestroy };
enum TRgPageControlButton { pbClose, pbScrolling, pbTabsPopup };
using TRgPageControlButtons = rtl::TSet<TRgPageControlButton>;
enum TRgPageControlOption { poBoldActiveCaption };
using TRgPageControlOptions = rtl::TSet<TRgPageControlOption>;
using TRgPageCloseQueryEvent = rtl::TEvent<void(rtl::TObject* Sender, TRgPageSheet6* Page, bool& CanClose)>;
using TRgTabMouseEvent = rtl::TEvent<void(rtl::TObject* Sender, TRgPageSheet6* Page, vcl::TMouseButton Button,
                                          vcl::TShiftState Shift, int X, int Y)>;

class TRgPageControl6;

// Paints the strip of a page control on the control's canvas.
class TRgPageControlStylePainter : public rtl::TObject {
public:
    explicit TRgPageControlStylePainter(TRgPageControl6* PageControl) : FPageControl(PageControl) {}

    virtual vcl::TColor GetTabsBackgroundColor();
    virtual vcl::TColor GetTabTextColor();
    // Button painters leave pen and brush in the colour of the glyph drawn on top.
    virtual void PaintButton(const vcl::TRect& ButtonRect, TRgButtonState State) = 0;
    virtual void PaintTab(const vcl::TRect& TabRect, TRgButtonState State) = 0;
    virtual void PaintTabsBackground(const vcl::TRect& BackgroundRect);
    virtual void PaintTabsSeparator(const vcl::TRect& SeparatorRect) = 0;

protected:
    vcl::TCanvas* Canvas() const;
    // Fills R with the canvas brush; a brush of clNone fills nothing.
    void FillWithBrush(const vcl::TRect& R);
    TRgPageControl6* FPageControl;
};

class TRgModernPageControlStylePainter : public TRgPageControlStylePainter {
public:
    using TRgPageControlStylePainter::TRgPageControlStylePainter;
    vcl::TColor GetTabsBackgroundColor() override;
    vcl::TColor GetTabTextColor() override;
    void PaintButton(const vcl::TRect& ButtonRect, TRgButtonState State) override;
    void PaintTab(const vcl::TRect& TabRect, TRgButtonState State) override;
    void PaintTabsSeparator(const vcl::TRect& SeparatorRect) override;
};

class TRgNativePageControlStylePainter : public TRgPageControlStylePainter {
public:
    using TRgPageControlStylePainter::TRgPageControlStylePainter;
    vcl::TColor GetTabsBackgroundColor() override;
    void PaintButton(const vcl::TRect& ButtonRect, TRgButtonState State) override;
    void PaintTab(const vcl::TRect& TabRect, TRgButtonState State) override;
    void PaintTabsBackground(const vcl::TRect& BackgroundRect) override;
    void PaintTabsSeparator(const vcl::TRect& SeparatorRect) override;
};

class TRgUserDefinedPageControlStylePainter : public TRgPageControlStylePainter {
public:
    using TRgPageControlStylePainter::TRgPageControlStylePainter;
    void PaintButton(const vcl::TRect& ButtonRect, TRgButtonState State) override;
    void PaintTab(const vcl::TRect& TabRect, TRgButtonState State) override;
    void PaintTabsSeparator(const vcl::TRect& SeparatorRect) override;
};

class TRgPageControl6 : public TRgCustomNotebook6 {
public:
    explicit TRgPageControl6(rtl::TComponent* AOwner);
    ~TRgPageControl6() override;

    // Closes one page as CloseButtonAction says; false when OnPageCloseQuery refused.
    bool ClosePage(TRgPageSheet6* PageSheet);
    // A new painter for the control, owned by the caller.
    std::unique_ptr<TRgPageControlStylePainter> CreateStylePainter(TRgAppearanceStyle AStyle);
    // The child at Index when it is a page sheet, else nil.
    TRgPageSheet6* GetPage(int Index) const;
    rtl::String GetPageCaption(int Index) const;
    vcl::TSize GetPageTabSize(int Index);
    TRgPageSheet6* GetTabAtPos(const vcl::TPoint& Location);
    vcl::TRect GetTabRect(TRgPageSheet6* PageSheet);
    vcl::TRect GetTabCloseButtonRect(TRgPageSheet6* PageSheet);
    void RefreshPageTab(TRgPageSheet6* PageSheet);
    void ScrollToTab(TRgPageSheet6* PageSheet);
    void ShowTabsPopup();
    TRgSheetClass GetTabSheetClass() override;

    // Geometry, in client coordinates.
    vcl::TSize ButtonSize() const;
    vcl::TRect GetTabsRect();        // the whole strip
    vcl::TRect GetTabsClientRect();  // the room for the tabs
    vcl::TRect GetTabsPopupButtonRect();
    vcl::TRect GetCloseButtonRect();  // the one beside the tabs
    vcl::TRect GetSeparatorRect();

    vcl::TColor ActiveTabColor() const { return FActiveTabColor; }
    void SetActiveTabColor(vcl::TColor Value) { Repaint(FActiveTabColor, Value); }
    vcl::TColor ActiveTabTextColor() const { return FActiveTabTextColor; }
    void SetActiveTabTextColor(vcl::TColor Value) { Repaint(FActiveTabTextColor, Value); }
    TRgPageControlButtons VisibleButtons() const { return FButtons; }
    void SetVisibleButtons(TRgPageControlButtons Value) { Repaint(FButtons, Value); }
    TRgCloseButtonAction CloseButtonAction() const { return FCloseButtonAction; }
    void SetCloseButtonAction(TRgCloseButtonAction Value) { FCloseButtonAction = Value; }
    TRgCloseButtonLocation CloseButtonLocation() const { return FCloseButtonLocation; }
    void SetCloseButtonLocation(TRgCloseButtonLocation Value) { Repaint(FCloseButtonLocation, Value); }
    rtl::String DefaultCaption() const { return FDefaultCaption; }
    void SetDefaultCaption(const rtl::String& Value) { Repaint(FDefaultCaption, Value); }
    vcl::TCustomImageList* Images() const { return FImages; }
    void SetImages(vcl::TCustomImageList* Value);
    TRgPageControlOptions Options() const { return FOptions; }
    void SetOptions(TRgPageControlOptions Value) { Repaint(FOptions, Value); }
    bool ParentTabFont() const { return FParentTabFont; }
    void SetParentTabFont(bool Value);
    bool PreciseScrolling() const { return FPreciseScrolling; }
    void SetPreciseScrolling(bool Value);
    bool ShowImages() const { return FShowImages; }
    void SetShowImages(bool Value) { Repaint(FShowImages, Value); }
    bool ShowTabs() const { return FShowTabs; }
    void SetShowTabs(bool Value) { Repaint(FShowTabs, Value); }
    TRgAppearanceStyle Style() const { return FStyle; }
    void SetStyle(TRgAppearanceStyle Value);
    bool StyleColors() const { return FStyleColors; }
    void SetStyleColors(bool Value) { Repaint(FStyleColors, Value); }
    vcl::TFont* TabFont() const { return FTabFont.get(); }
    void SetTabFont(vcl::TFont* Value);
    bool TabMoving() const { return FTabMoving; }
    void SetTabMoving(bool Value) { FTabMoving = Value; }
    vcl::TPadding* TabPadding() const { return FTabPadding.get(); }
    void SetTabPadding(vcl::TPadding* Value) { AssignPadding(FTabPadding.get(), Value); }
    vcl::TPadding* TabsPadding() const { return FTabsPadding.get(); }
    void SetTabsPadding(vcl::TPadding* Value) { AssignPadding(FTabsPadding.get(), Value); }
    vcl::TColor TabsBackgroundColor() const { return FTabsBackgroundColor; }
    void SetTabsBackgroundColor(vcl::TColor Value);
    int TabsHeight() const { return FTabsHeight; }
    void SetTabsHeight(int Value);
    TRgTabsLocation TabsLocation() const { return FTabsLocation; }
    void SetTabsLocation(TRgTabsLocation Value);
    int TabsSpacing() const { return FTabsSpacing; }
    void SetTabsSpacing(int Value) { Repaint(FTabsSpacing, Value); }
    int TabsWidth() const { return FTabsWidth; }
    void SetTabsWidth(int Value) { Repaint(FTabsWidth, Value); }

    // State the strip is drawn from.
    TRgPageSheet6* HotPageTab() const { return FHotPageTab; }
    TRgPageSheet6* PressedPageTab() const { return FPressedPageTab; }
    TRgButtonState CloseButtonState() const { return FCloseButtonState; }
    TRgButtonState TabsPopupBtnState() const { return FTabsPopupBtnState; }
    bool Moving() const { return FMoving; }
    int ScrollPosition() const { return FPosition; }
    vcl::TPopupMenu* TabsPopup() const { return FTabsPopup.get(); }
    TRgPageControlStylePainter* StylePainter() const { return FStylePainter.get(); }

    TRgPageCloseQueryEvent OnPageCloseQuery;
    TRgTabMouseEvent OnTabClick;

protected:
    void UpdateSheetTab(TRgNotebookSheet6* Sheet) override;
    void AttachSheet(TRgNotebookSheet6* Sheet) override;
    void DoActiveChange(TRgNotebookSheet6* Sheet) override;
    virtual void DoPaintTab(const vcl::TRect& TabRect, TRgButtonState State);
    virtual void DoPaintTabsBackground(const vcl::TRect& Rect);
    virtual void DoPageCloseQuery(TRgPageSheet6* Page, bool& CanClose) { OnPageCloseQuery(this, Page, CanClose); }
    virtual void DoTabClick(TRgPageSheet6* Page, vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
        OnTabClick(this, Page, Button, Shift, X, Y);
    }

    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void AdjustClientRect(vcl::TRect& Rect) override;
    void Paint() override;
    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void ValidateInsert(rtl::TComponent* AComponent) override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMFontChanged(vcl::TMessage& Message) override;
    void CMControlListChange(vcl::TCMControlListChange& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void WMSetFocus(vcl::TWMSetFocus& Message) override;
    void WMKillFocus(vcl::TWMKillFocus& Message) override;
    void WMSize(vcl::TWMSize& Message) override;

    // Drawing of the strip's parts.
    void PaintTabs();
    void PaintPageTab(const vcl::TRect& TabRect, TRgPageSheet6* Sheet, TRgButtonState State);
    void PaintCloseButton(const vcl::TRect& Rect, TRgButtonState State);
    void PaintTabsPopupButton(const vcl::TRect& Rect, TRgButtonState State);
    void AdjustTabFont(vcl::TCanvas* ACanvas, int Index);
    vcl::TCanvas* MeasureCanvas();

private:
    template <class T> void Repaint(T& Field, const T& Value) {
        if (Field == Value) return;
        Field = Value;
        Invalidate();
    }
    bool Horizontal() const { return FTabsLocation == tbTop || FTabsLocation == tbBottom; }
    bool HasButtons() const;
    bool CloseBeside() const { return FButtons.Contains(pbClose) && FCloseButtonLocation == cbBeside; }
    int TabHeight() const;
    int VerticalTabWidth() const;
    vcl::TSize StripSize();
    // Walks the laid-out tabs in order; Visit returns false to stop the walk.
    void WalkTabs(const std::function<bool(TRgPageSheet6* Sheet, int Index, const vcl::TRect& R)>& Visit);
    vcl::TRect CenteredButtonRect(int X, int Y, int RowTop, int RowHeight);
    void AssignPadding(vcl::TPadding* Target, vcl::TPadding* Value);
    void AttachChangeHandlers();
    void FontOrPaddingChanged(rtl::TObject* Sender);
    void SheetTabChanged(TRgPageSheet6* Sender) { (void)Sender; Invalidate(); }
    void SetHotPageTab(TRgPageSheet6* Value);
    void SetPressedPageTab(TRgPageSheet6* Value);
    void SetCloseButtonState(TRgButtonState Value);
    void SetTabsPopupBtnState(TRgButtonState Value);
    void SetMoving(bool Value);
    void FillTabsPopup();
    bool TabEnabledOrDesigning(TRgPageSheet6* Sheet) const;
    void InvalidateClientRect(const vcl::TRect& R);

    vcl::TColor FActiveTabColor = vcl::clHighlight;
    vcl::TColor FActiveTabTextColor = vcl::clHighlightText;
    TRgPageControlButtons FButtons{pbClose, pbTabsPopup};
    TRgCloseButtonAction FCloseButtonAction = caHide;
    TRgCloseButtonLocation FCloseButtonLocation = cbBeside;
    TRgButtonState FCloseButtonState;
    rtl::String FDefaultCaption = QStringLiteral("<default>");
    TRgPageSheet6* FHotPageTab = nullptr;
    vcl::TCustomImageList* FImages = nullptr;
    vcl::TPoint FMouseLocation;
    bool FMoving = false;
    int FOldHeight = 0, FOldWidth = 0;
    TRgPageControlOptions FOptions;
    bool FParentTabFont = true;
    int FPosition = 0;
    bool FPreciseScrolling = true;
    TRgPageSheet6* FPressedPageTab = nullptr;
    bool FShowImages = true;
    bool FShowTabs = true;
    TRgAppearanceStyle FStyle = stModern;
    bool FStyleColors = true;
    std::unique_ptr<TRgPageControlStylePainter> FStylePainter;
    std::unique_ptr<vcl::TFont> FTabFont;
    bool FTabMoving = true;
    std::unique_ptr<vcl::TPadding> FTabPadding;
    vcl::TColor FTabsBackgroundColor = vcl::clBtnFace;
    int FTabsHeight = 20;
    TRgTabsLocation FTabsLocation = tbTop;
    std::unique_ptr<vcl::TPadding> FTabsPadding;
    std::unique_ptr<vcl::TPopupMenu> FTabsPopup;
    TRgButtonState FTabsPopupBtnState;
    int FTabsSpacing = 0;
    int FTabsWidth = 80;
    std::unique_ptr<vcl::TBitmap> FMeasureBitmap;
};

} // namespace controls
