// vcl/Themes.h: the style services. The active style answers how controls look: element details
// (an element class with a part and a state), drawing of elements, edges and text, element sizes,
// colours and regions, and the style's colours and font colours. The system style "Windows" draws
// through the visual-styles API when theming is on and in the classic way (frame controls, edges,
// system colours) when it is off. The style manager holds the active style and the style hooks.
#pragma once
#include "rtl/Classes.h"
#include "rtl/System.h"
#include "vcl/Graphics.h"
#include "vcl/Messages.h"
#include "win/uxtheme/uxtheme.h"
#include "win/windows.h"

#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <vector>

namespace vcl {

class TWinControl;

// The element classes; those from teCategoryButtons on have no visual-styles class and are drawn by
// the style itself.
enum TThemedElement {
    teButton, teClock, teComboBox, teEdit, teExplorerBar, teHeader, teListView, teMenu, tePage, teProgress,
    teRebar, teScrollBar, teSpin, teStartPanel, teStatus, teTab, teTaskBand, teTaskBar, teToolBar, teToolTip,
    teTrackBar, teTrayNotify, teTreeview, teWindow, teDatePicker, teMonthCal, teTextStyle, teNavigation,
    teTaskDialog, teCategoryButtons, teCategoryPanelGroup, teCheckListBox, teControlBar, teDataNavButtons,
    teGrid, teHint, tePanel, teTextLabel
};

// Each enumeration below lists the parts of one element class in part order and, within a part, its
// states in state order: part and state follow from the position.
enum TThemedButton {
    tbButtonDontCare, tbButtonRoot,
    tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDisabled, tbPushButtonDefaulted,
    tbPushButtonDefaultedAnimating,
    tbRadioButtonUncheckedNormal, tbRadioButtonUncheckedHot, tbRadioButtonUncheckedPressed,
    tbRadioButtonUncheckedDisabled, tbRadioButtonCheckedNormal, tbRadioButtonCheckedHot,
    tbRadioButtonCheckedPressed, tbRadioButtonCheckedDisabled,
    tbCheckBoxUncheckedNormal, tbCheckBoxUncheckedHot, tbCheckBoxUncheckedPressed, tbCheckBoxUncheckedDisabled,
    tbCheckBoxCheckedNormal, tbCheckBoxCheckedHot, tbCheckBoxCheckedPressed, tbCheckBoxCheckedDisabled,
    tbCheckBoxMixedNormal, tbCheckBoxMixedHot, tbCheckBoxMixedPressed, tbCheckBoxMixedDisabled,
    tbCheckBoxImplicitNormal, tbCheckBoxImplicitHot, tbCheckBoxImplicitPressed, tbCheckBoxImplicitDisabled,
    tbCheckBoxExcludedNormal, tbCheckBoxExcludedHot, tbCheckBoxExcludedPressed, tbCheckBoxExcludedDisabled,
    tbGroupBoxNormal, tbGroupBoxDisabled,
    tbUserButton,
    tbCommandLinkNormal, tbCommandLinkHot, tbCommandLinkPressed, tbCommandLinkDisabled, tbCommandLinkDefaulted,
    tbCommandLinkDefaultedAnimating,
    tbCommandLinkGlyphNormal, tbCommandLinkGlyphHot, tbCommandLinkGlyphPressed, tbCommandLinkGlyphDisabled,
    tbCommandLinkGlyphDefaulted
};

enum TThemedComboBox {
    tcComboBoxDontCare, tcComboBoxRoot,
    tcDropDownButtonNormal, tcDropDownButtonHot, tcDropDownButtonPressed, tcDropDownButtonDisabled,
    tcBorderNormal, tcBorderHot, tcBorderFocused, tcBorderDisabled,
    tcReadOnlyNormal, tcReadOnlyHot, tcReadOnlyPressed, tcReadOnlyDisabled,
    tcDropDownButtonRightNormal, tcDropDownButtonRightHot, tcDropDownButtonRightPressed,
    tcDropDownButtonRightDisabled,
    tcDropDownButtonLeftNormal, tcDropDownButtonLeftHot, tcDropDownButtonLeftPressed, tcDropDownButtonLeftDisabled
};

enum TThemedEdit {
    teEditDontCare, teEditRoot,
    teEditTextNormal, teEditTextHot, teEditTextSelected, teEditTextDisabled, teEditTextFocused,
    teEditTextReadOnly, teEditTextAssist,
    teEditCaret,
    teBackgroundNormal, teBackgroundHot, teBackgroundDisabled, teBackgroundFocused, teBackgroundReadOnly,
    teBackgroundAssist,
    tePasswordNormal,
    teBackgroundWithBorderNormal, teBackgroundWithBorderHot, teBackgroundWithBorderDisabled,
    teBackgroundWithBorderFocused,
    teEditBorderNoScrollNormal, teEditBorderNoScrollHot, teEditBorderNoScrollFocused, teEditBorderNoScrollDisabled,
    teEditBorderHScrollNormal, teEditBorderHScrollHot, teEditBorderHScrollFocused, teEditBorderHScrollDisabled,
    teEditBorderVScrollNormal, teEditBorderVScrollHot, teEditBorderVScrollFocused, teEditBorderVScrollDisabled,
    teEditBorderHVScrollNormal, teEditBorderHVScrollHot, teEditBorderHVScrollFocused,
    teEditBorderHVScrollDisabled
};

enum TThemedExplorerBar {
    tebExplorerBarDontCare, tebExplorerBarRoot,
    tebHeaderBackgroundNormal, tebHeaderBackgroundHot, tebHeaderBackgroundPressed,
    tebHeaderCloseNormal, tebHeaderCloseHot, tebHeaderClosePressed,
    tebHeaderPinNormal, tebHeaderPinHot, tebHeaderPinPressed, tebHeaderPinSelectedNormal, tebHeaderPinSelectedHot,
    tebHeaderPinSelectedPressed,
    tebIEBarMenuNormal, tebIEBarMenuHot, tebIEBarMenuPressed,
    tebNormalGroupBackground,
    tebNormalGroupCollapseNormal, tebNormalGroupCollapseHot, tebNormalGroupCollapsePressed,
    tebNormalGroupExpandNormal, tebNormalGroupExpandHot, tebNormalGroupExpandPressed,
    tebNormalGroupHead,
    tebSpecialGroupBackground,
    tebSpecialGroupCollapseNormal, tebSpecialGroupCollapseHot, tebSpecialGroupCollapsePressed,
    tebSpecialGroupExpandNormal, tebSpecialGroupExpandHot, tebSpecialGroupExpandPressed,
    tebSpecialGroupHead
};

enum TThemedHeader {
    thHeaderDontCare, thHeaderRoot,
    thHeaderItemNormal, thHeaderItemHot, thHeaderItemPressed,
    thHeaderItemLeftNormal, thHeaderItemLeftHot, thHeaderItemLeftPressed,
    thHeaderItemRightNormal, thHeaderItemRightHot, thHeaderItemRightPressed,
    thHeaderSortArrowSortedUp, thHeaderSortArrowSortedDown,
    thHeaderDropDownNormal, thHeaderDropDownSoftHot, thHeaderDropDownHot,
    thHeaderDropDownFilterNormal, thHeaderDropDownFilterSoftHot, thHeaderDropDownFilterHot,
    thHeaderOverflowNormal, thHeaderOverflowHot
};

enum TThemedListView {
    tlListviewDontCare, tlListviewRoot,
    tlListItemNormal, tlListItemHot, tlListItemSelected, tlListItemDisabled, tlListItemSelectedNotFocus,
    tlListItemHotSelected,
    tlListGroup, tlListDetail, tlListSortDetail, tlEmptyText
};

enum TThemedMenu {
    tmMenuDontCare, tmMenuRoot,
    tmMenuItemNormal, tmMenuItemSelected, tmMenuItemDemoted,
    tmMenuDropDown,
    tmMenuBarItem,
    tmMenuBarDropDown,
    tmChevron,
    tmSeparator,
    tmMenuBarBackgroundActive, tmMenuBarBackgroundInactive,
    tmMenuBarItemNormal, tmMenuBarItemHot, tmMenuBarItemPushed, tmMenuBarItemDisabled, tmMenuBarItemDisabledHot,
    tmMenuBarItemDisabledPushed,
    tmPopupBackground,
    tmPopupBorders,
    tmPopupCheckMarkNormal, tmPopupCheckMarkDisabled, tmPopupBulletNormal, tmPopupBulletDisabled,
    tmPopupCheckBackgroundDisabled, tmPopupCheckBackgroundNormal, tmPopupCheckBackgroundBitmap,
    tmPopupGutter,
    tmPopupItemNormal, tmPopupItemHot, tmPopupItemDisabled, tmPopupItemDisabledHot,
    tmPopupSeparator,
    tmPopupSubMenuNormal, tmPopupSubMenuDisabled,
    tmSystemCloseNormal, tmSystemCloseDisabled,
    tmSystemMaximizeNormal, tmSystemMaximizeDisabled,
    tmSystemMinimizeNormal, tmSystemMinimizeDisabled,
    tmSystemRestoreNormal, tmSystemRestoreDisabled
};
// The names some callers use for the check-mark states.
constexpr TThemedMenu tmPopupCheckNormal = tmPopupCheckMarkNormal;
constexpr TThemedMenu tmPopupCheckDisabled = tmPopupCheckMarkDisabled;

enum TThemedProgress {
    tpProgressDontCare, tpProgressRoot,
    tpBar, tpBarVert, tpChunk, tpChunkVert,
    tpFilledNormal, tpFilledError, tpFilledPaused, tpFilledPartial,
    tpFilledVertNormal, tpFilledVertError, tpFilledVertPaused, tpFilledVertPartial,
    tpPulseOverlay, tpMoveOverlay, tpPulseOverlayVert, tpMoveOverlayVert,
    tpTransparentBarNormal, tpTransparentBarPartial,
    tpTransparentBarVertNormal, tpTransparentBarVertPartial
};

enum TThemedRebar {
    trRebarDontCare, trRebarRoot,
    trGripper, trGripperVert, trBand,
    trChevronNormal, trChevronHot, trChevronPressed,
    trChevronVertNormal, trChevronVertHot, trChevronVertPressed,
    trBackground,
    trSplitterNormal, trSplitterHot, trSplitterPressed,
    trSplitterVertNormal, trSplitterVertHot, trSplitterVertPressed
};

enum TThemedScrollBar {
    tsScrollBarDontCare, tsScrollBarRoot,
    tsArrowBtnUpNormal, tsArrowBtnUpHot, tsArrowBtnUpPressed, tsArrowBtnUpDisabled,
    tsArrowBtnDownNormal, tsArrowBtnDownHot, tsArrowBtnDownPressed, tsArrowBtnDownDisabled,
    tsArrowBtnLeftNormal, tsArrowBtnLeftHot, tsArrowBtnLeftPressed, tsArrowBtnLeftDisabled,
    tsArrowBtnRightNormal, tsArrowBtnRightHot, tsArrowBtnRightPressed, tsArrowBtnRightDisabled,
    tsArrowBtnUpHover, tsArrowBtnDownHover, tsArrowBtnLeftHover, tsArrowBtnRightHover,
    tsThumbBtnHorzNormal, tsThumbBtnHorzHot, tsThumbBtnHorzPressed, tsThumbBtnHorzDisabled, tsThumbBtnHorzHover,
    tsThumbBtnVertNormal, tsThumbBtnVertHot, tsThumbBtnVertPressed, tsThumbBtnVertDisabled, tsThumbBtnVertHover,
    tsLowerTrackHorzNormal, tsLowerTrackHorzHot, tsLowerTrackHorzPressed, tsLowerTrackHorzDisabled,
    tsLowerTrackHorzHover,
    tsUpperTrackHorzNormal, tsUpperTrackHorzHot, tsUpperTrackHorzPressed, tsUpperTrackHorzDisabled,
    tsUpperTrackHorzHover,
    tsLowerTrackVertNormal, tsLowerTrackVertHot, tsLowerTrackVertPressed, tsLowerTrackVertDisabled,
    tsLowerTrackVertHover,
    tsUpperTrackVertNormal, tsUpperTrackVertHot, tsUpperTrackVertPressed, tsUpperTrackVertDisabled,
    tsUpperTrackVertHover,
    tsGripperHorzNormal, tsGripperHorzHot, tsGripperHorzPressed, tsGripperHorzDisabled, tsGripperHorzHover,
    tsGripperVertNormal, tsGripperVertHot, tsGripperVertPressed, tsGripperVertDisabled, tsGripperVertHover,
    tsSizeBoxRightAlign, tsSizeBoxLeftAlign, tsSizeBoxTopRightAlign, tsSizeBoxTopLeftAlign,
    tsSizeBoxHalfBottomRightAlign, tsSizeBoxHalfBottomLeftAlign, tsSizeBoxHalfTopRightAlign,
    tsSizeBoxHalfTopLeftAlign
};

enum TThemedSpin {
    tsSpinDontCare, tsSpinRoot,
    tsUpNormal, tsUpHot, tsUpPressed, tsUpDisabled,
    tsDownNormal, tsDownHot, tsDownPressed, tsDownDisabled,
    tsUpHorzNormal, tsUpHorzHot, tsUpHorzPressed, tsUpHorzDisabled,
    tsDownHorzNormal, tsDownHorzHot, tsDownHorzPressed, tsDownHorzDisabled
};

enum TThemedStatus { tsStatusDontCare, tsStatusRoot, tsPane, tsGripperPane, tsGripper };

enum TThemedTab {
    ttTabDontCare, ttTabRoot,
    ttTabItemNormal, ttTabItemHot, ttTabItemSelected, ttTabItemDisabled, ttTabItemFocused,
    ttTabItemLeftEdgeNormal, ttTabItemLeftEdgeHot, ttTabItemLeftEdgeSelected, ttTabItemLeftEdgeDisabled,
    ttTabItemLeftEdgeFocused,
    ttTabItemRightEdgeNormal, ttTabItemRightEdgeHot, ttTabItemRightEdgeSelected, ttTabItemRightEdgeDisabled,
    ttTabItemRightEdgeFocused,
    ttTabItemBothEdgeNormal, ttTabItemBothEdgeHot, ttTabItemBothEdgeSelected, ttTabItemBothEdgeDisabled,
    ttTabItemBothEdgeFocused,
    ttTopTabItemNormal, ttTopTabItemHot, ttTopTabItemSelected, ttTopTabItemDisabled, ttTopTabItemFocused,
    ttTopTabItemLeftEdgeNormal, ttTopTabItemLeftEdgeHot, ttTopTabItemLeftEdgeSelected,
    ttTopTabItemLeftEdgeDisabled, ttTopTabItemLeftEdgeFocused,
    ttTopTabItemRightEdgeNormal, ttTopTabItemRightEdgeHot, ttTopTabItemRightEdgeSelected,
    ttTopTabItemRightEdgeDisabled, ttTopTabItemRightEdgeFocused,
    ttTopTabItemBothEdgeNormal, ttTopTabItemBothEdgeHot, ttTopTabItemBothEdgeSelected,
    ttTopTabItemBothEdgeDisabled, ttTopTabItemBothEdgeFocused,
    ttPane, ttBody
};

enum TThemedToolBar {
    ttbToolBarDontCare, ttbToolBarRoot,
    ttbButtonNormal, ttbButtonHot, ttbButtonPressed, ttbButtonDisabled, ttbButtonChecked, ttbButtonCheckedHot,
    ttbButtonNearHot, ttbButtonOtherSideHot,
    ttbDropDownButtonNormal, ttbDropDownButtonHot, ttbDropDownButtonPressed, ttbDropDownButtonDisabled,
    ttbDropDownButtonChecked, ttbDropDownButtonCheckedHot, ttbDropDownButtonNearHot,
    ttbDropDownButtonOtherSideHot,
    ttbSplitButtonNormal, ttbSplitButtonHot, ttbSplitButtonPressed, ttbSplitButtonDisabled,
    ttbSplitButtonChecked, ttbSplitButtonCheckedHot, ttbSplitButtonNearHot, ttbSplitButtonOtherSideHot,
    ttbSplitButtonDropDownNormal, ttbSplitButtonDropDownHot, ttbSplitButtonDropDownPressed,
    ttbSplitButtonDropDownDisabled, ttbSplitButtonDropDownChecked, ttbSplitButtonDropDownCheckedHot,
    ttbSplitButtonDropDownNearHot, ttbSplitButtonDropDownOtherSideHot,
    ttbSeparatorNormal, ttbSeparatorHot, ttbSeparatorPressed, ttbSeparatorDisabled, ttbSeparatorChecked,
    ttbSeparatorCheckedHot, ttbSeparatorNearHot, ttbSeparatorOtherSideHot,
    ttbSeparatorVertNormal, ttbSeparatorVertHot, ttbSeparatorVertPressed, ttbSeparatorVertDisabled,
    ttbSeparatorVertChecked, ttbSeparatorVertCheckedHot, ttbSeparatorVertNearHot, ttbSeparatorVertOtherSideHot,
    ttbDropDownButtonGlyphNormal, ttbDropDownButtonGlyphHot, ttbDropDownButtonGlyphPressed,
    ttbDropDownButtonGlyphDisabled, ttbDropDownButtonGlyphChecked, ttbDropDownButtonGlyphCheckedHot,
    ttbDropDownButtonGlyphNearHot, ttbDropDownButtonGlyphOtherSideHot
};

enum TThemedToolTip {
    tttToolTipDontCare, tttToolTipRoot,
    tttStandardNormal, tttStandardLink,
    tttStandardTitleNormal, tttStandardTitleLink,
    tttBaloonNormal, tttBaloonLink,
    tttBaloonTitleNormal, tttBaloonTitleLink,
    tttCloseNormal, tttCloseHot, tttClosePressed
};

enum TThemedTrackBar {
    ttbTrackBarDontCare, ttbTrackBarRoot,
    ttbTrack, ttbTrackVert,
    ttbThumbNormal, ttbThumbHot, ttbThumbPressed, ttbThumbFocused, ttbThumbDisabled,
    ttbThumbBottomNormal, ttbThumbBottomHot, ttbThumbBottomPressed, ttbThumbBottomFocused, ttbThumbBottomDisabled,
    ttbThumbTopNormal, ttbThumbTopHot, ttbThumbTopPressed, ttbThumbTopFocused, ttbThumbTopDisabled,
    ttbThumbVertNormal, ttbThumbVertHot, ttbThumbVertPressed, ttbThumbVertFocused, ttbThumbVertDisabled,
    ttbThumbLeftNormal, ttbThumbLeftHot, ttbThumbLeftPressed, ttbThumbLeftFocused, ttbThumbLeftDisabled,
    ttbThumbRightNormal, ttbThumbRightHot, ttbThumbRightPressed, ttbThumbRightFocused, ttbThumbRightDisabled,
    ttbThumbTics, ttbThumbTicsVert
};

enum TThemedTreeview {
    ttTreeviewDontCare, ttTreeviewRoot,
    ttItemNormal, ttItemHot, ttItemSelected, ttItemDisabled, ttItemSelectedNotFocus, ttItemHotSelected,
    ttGlyphClosed, ttGlyphOpened,
    ttBranch,
    ttHotGlyphClosed, ttHotGlyphOpened
};

enum TThemedWindow {
    twWindowDontCare, twWindowRoot,
    twCaptionActive, twCaptionInactive, twCaptionDisabled,
    twSmallCaptionActive, twSmallCaptionInactive, twSmallCaptionDisabled,
    twMinCaptionActive, twMinCaptionInactive, twMinCaptionDisabled,
    twSmallMinCaptionActive, twSmallMinCaptionInactive, twSmallMinCaptionDisabled,
    twMaxCaptionActive, twMaxCaptionInactive, twMaxCaptionDisabled,
    twSmallMaxCaptionActive, twSmallMaxCaptionInactive, twSmallMaxCaptionDisabled,
    twFrameLeftActive, twFrameLeftInactive,
    twFrameRightActive, twFrameRightInactive,
    twFrameBottomActive, twFrameBottomInactive,
    twSmallFrameLeftActive, twSmallFrameLeftInactive,
    twSmallFrameRightActive, twSmallFrameRightInactive,
    twSmallFrameBottomActive, twSmallFrameBottomInactive,
    twSysButtonNormal, twSysButtonHot, twSysButtonPushed, twSysButtonDisabled,
    twMDISysButtonNormal, twMDISysButtonHot, twMDISysButtonPushed, twMDISysButtonDisabled,
    twMinButtonNormal, twMinButtonHot, twMinButtonPushed, twMinButtonDisabled,
    twMDIMinButtonNormal, twMDIMinButtonHot, twMDIMinButtonPushed, twMDIMinButtonDisabled,
    twMaxButtonNormal, twMaxButtonHot, twMaxButtonPushed, twMaxButtonDisabled,
    twCloseButtonNormal, twCloseButtonHot, twCloseButtonPushed, twCloseButtonDisabled,
    twSmallCloseButtonNormal, twSmallCloseButtonHot, twSmallCloseButtonPushed, twSmallCloseButtonDisabled,
    twMDICloseButtonNormal, twMDICloseButtonHot, twMDICloseButtonPushed, twMDICloseButtonDisabled,
    twRestoreButtonNormal, twRestoreButtonHot, twRestoreButtonPushed, twRestoreButtonDisabled,
    twMDIRestoreButtonNormal, twMDIRestoreButtonHot, twMDIRestoreButtonPushed, twMDIRestoreButtonDisabled,
    twHelpButtonNormal, twHelpButtonHot, twHelpButtonPushed, twHelpButtonDisabled,
    twMDIHelpButtonNormal, twMDIHelpButtonHot, twMDIHelpButtonPushed, twMDIHelpButtonDisabled
};

// The elements the style draws itself.
enum TThemedCategoryPanelGroup {
    tcpCategoryPanelGroupDontCare, tcpCategoryPanelGroupRoot,
    tcpBackground,
    tcpSegmentHeader,
    tcpThemedHeader,
    tcpThemedChevronOpenedNormal, tcpThemedChevronOpenedHot, tcpThemedChevronOpenedPressed,
    tcpThemedChevronClosedNormal, tcpThemedChevronClosedHot, tcpThemedChevronClosedPressed
};
enum TThemedGrid {
    tgGridDontCare, tgGridRoot,
    tgCellNormal, tgCellSelected, tgCellRowSelectedLeft, tgCellRowSelectedCenter, tgCellRowSelectedRight,
    tgFixedCellNormal, tgFixedCellHot, tgFixedCellPressed
};
enum TThemedHint { thHintDontCare, thHintRoot, thHintNormal, thHintBalloon };
enum TThemedPanel { tpPanelDontCare, tpPanelBackground, tpPanelBevel, tpDockPanelHorzNormal, tpDockPanelVertNormal };
enum TThemedTextLabel { ttlTextLabelDontCare, ttlTextLabelRoot, ttlTextLabelNormal, ttlTextLabelDisabled };

struct TThemedElementDetails {
    TThemedElement Element = teButton;
    int Part = 0;
    int State = 0;
    friend bool operator==(const TThemedElementDetails&, const TThemedElementDetails&) = default;
};

enum TElementColor {
    ecBorderColor, ecFillColor, ecTextColor, ecEdgeLightColor, ecEdgeHighlightColor, ecEdgeShadowColor,
    ecEdgeDkShadowColor, ecEdgeFillColor, ecTransparentColor, ecGradientColor1, ecGradientColor2,
    ecGradientColor3, ecGradientColor4, ecGradientColor5, ecShadowColor, ecGlowColor, ecTextBorderColor,
    ecTextShadowColor, ecGlyphTextColor, ecGlyphTransparentColor, ecFillColorHint, ecBorderColorHint,
    ecAccentColorHint
};

enum TElementSize { esMinimum, esActual, esStretch };

enum TElementMargin { emContent, emCaption, emSizing };
using TElementMargins = MARGINS;

enum TElementEdge { eeRaisedOuter, eeSunkenOuter, eeRaisedInner, eeSunkenInner, eeBump, eeEtched, eeRaised, eeSunken };
using TElementEdges = rtl::TSet<TElementEdge>;
enum TElementEdgeFlag {
    efLeft, efTop, efRight, efBottom, efTopLeft, efBottomLeft, efTopRight, efBottomRight, efRect, efDiagonal,
    efDiagonalEndTopRight, efDiagonalEndTopLeft, efDiagonalEndBottomLeft, efDiagonalEndBottomRight, efMiddle,
    efSoft, efAdjust, efFlat, efMono
};
using TElementEdgeFlags = rtl::TSet<TElementEdgeFlag>;
// The BDR_/EDGE_ and BF_ values of edges and flags, and back.
UINT ElementEdgesToEdge(TElementEdges Edges);
UINT ElementEdgeFlagsToFlags(TElementEdgeFlags Flags);
TElementEdges EdgeToElementEdges(UINT Edge);
TElementEdgeFlags FlagsToElementEdgeFlags(UINT Flags);

enum TStyleColor {
    scBorder, scButtonDisabled, scButtonFocused, scButtonHot, scButtonNormal, scButtonPressed, scCategoryButtons,
    scCategoryButtonsGradientBase, scCategoryButtonsGradientEnd, scCategoryPanelGroup, scComboBox,
    scComboBoxDisabled, scEdit, scEditDisabled, scGrid, scGenericBackground, scGenericGradientBase,
    scGenericGradientEnd, scHintGradientBase, scHintGradientEnd, scListBox, scListBoxDisabled, scListView,
    scPanel, scPanelDisabled, scSplitter, scToolBarGradientBase, scToolBarGradientEnd, scTreeView, scWindow
};

enum TStyleFont {
    sfButtonTextDisabled, sfButtonTextFocused, sfButtonTextHot, sfButtonTextNormal, sfButtonTextPressed,
    sfCaptionTextInactive, sfCaptionTextNormal, sfCategoryPanelGroupHeaderHot, sfCategoryPanelGroupHeaderNormal,
    sfCatgeoryButtonsCategoryNormal, sfCatgeoryButtonsCategorySelected, sfCatgeoryButtonsHot,
    sfCatgeoryButtonsNormal, sfCatgeoryButtonsSelected, sfCheckBoxTextDisabled, sfCheckBoxTextFocused,
    sfCheckBoxTextHot, sfCheckBoxTextNormal, sfCheckBoxTextPressed, sfComboBoxItemDisabled,
    sfComboBoxItemFocused, sfComboBoxItemHot, sfComboBoxItemNormal, sfComboBoxItemSelected, sfEditBoxTextDisabled,
    sfEditBoxTextFocused, sfEditBoxTextHot, sfEditBoxTextNormal, sfEditBoxTextSelected, sfGridItemFixedHot,
    sfGridItemFixedNormal, sfGridItemFixedPressed, sfGridItemNormal, sfGridItemSelected, sfGroupBoxTextDisabled,
    sfGroupBoxTextNormal, sfHeaderSectionTextDisabled, sfHeaderSectionTextHot, sfHeaderSectionTextNormal,
    sfHeaderSectionTextPressed, sfListItemTextDisabled, sfListItemTextFocused, sfListItemTextHot,
    sfListItemTextNormal, sfListItemTextSelected, sfMenuItemTextDisabled, sfMenuItemTextHot,
    sfMenuItemTextNormal, sfMenuItemTextSelected, sfPanelTextDisabled, sfPanelTextNormal,
    sfPopupMenuItemTextDisabled, sfPopupMenuItemTextHot, sfPopupMenuItemTextNormal,
    sfPopupMenuItemTextSelected, sfRadioButtonTextDisabled, sfRadioButtonTextFocused, sfRadioButtonTextHot,
    sfRadioButtonTextNormal, sfRadioButtonTextPressed, sfSmCaptionTextInactive, sfSmCaptionTextNormal,
    sfStatusPanelTextDisabled, sfStatusPanelTextNormal, sfTabTextActiveDisabled, sfTabTextActiveHot,
    sfTabTextActiveNormal, sfTabTextInactiveDisabled, sfTabTextInactiveHot, sfTabTextInactiveNormal,
    sfTextLabelDisabled, sfTextLabelFocused, sfTextLabelHot, sfTextLabelNormal, sfToolItemTextDisabled,
    sfToolItemTextHot, sfToolItemTextNormal, sfToolItemTextSelected, sfTreeItemTextDisabled,
    sfTreeItemTextFocused, sfTreeItemTextHot, sfTreeItemTextNormal, sfTreeItemTextSelected,
    sfWindowTextDisabled, sfWindowTextNormal
};

// Style files, names and hooks that the style manager refuses.
class EStyleEngineException : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    rtl::String ClassName() const override { return QStringLiteral("EStyleEngineException"); }
};

// ---------------------------------------------------------------------------------------------------

class TCustomStyleServices : public rtl::TObject {
public:
    ~TCustomStyleServices() override = default;

    // Available: the style can draw at all. Enabled: controls are to draw with it (the system style
    // only while the desktop's visual styles are on).
    virtual bool Available() const = 0;
    virtual bool Enabled() const = 0;
    virtual bool IsSystemStyle() const = 0;
    virtual rtl::String Name() const = 0;

    TThemedElementDetails GetElementDetails(TThemedButton Detail) const;
    TThemedElementDetails GetElementDetails(TThemedComboBox Detail) const;
    TThemedElementDetails GetElementDetails(TThemedEdit Detail) const;
    TThemedElementDetails GetElementDetails(TThemedExplorerBar Detail) const;
    TThemedElementDetails GetElementDetails(TThemedHeader Detail) const;
    TThemedElementDetails GetElementDetails(TThemedListView Detail) const;
    TThemedElementDetails GetElementDetails(TThemedMenu Detail) const;
    TThemedElementDetails GetElementDetails(TThemedProgress Detail) const;
    TThemedElementDetails GetElementDetails(TThemedRebar Detail) const;
    TThemedElementDetails GetElementDetails(TThemedScrollBar Detail) const;
    TThemedElementDetails GetElementDetails(TThemedSpin Detail) const;
    TThemedElementDetails GetElementDetails(TThemedStatus Detail) const;
    TThemedElementDetails GetElementDetails(TThemedTab Detail) const;
    TThemedElementDetails GetElementDetails(TThemedToolBar Detail) const;
    TThemedElementDetails GetElementDetails(TThemedToolTip Detail) const;
    TThemedElementDetails GetElementDetails(TThemedTrackBar Detail) const;
    TThemedElementDetails GetElementDetails(TThemedTreeview Detail) const;
    TThemedElementDetails GetElementDetails(TThemedWindow Detail) const;
    TThemedElementDetails GetElementDetails(TThemedCategoryPanelGroup Detail) const;
    TThemedElementDetails GetElementDetails(TThemedGrid Detail) const;
    TThemedElementDetails GetElementDetails(TThemedHint Detail) const;
    TThemedElementDetails GetElementDetails(TThemedPanel Detail) const;
    TThemedElementDetails GetElementDetails(TThemedTextLabel Detail) const;
    TThemedElementDetails GetElementDetails(TThemedElement Element, int Part, int State) const {
        return {Element, Part, State};
    }

    virtual bool DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R,
                             const TRect* ClipRect = nullptr, int DPI = 0) = 0;
    // Draws S in R with the element's text colour, or Color unless it is clNone.
    virtual bool DrawText(HDC DC, const TThemedElementDetails& Details, const rtl::String& S, TRect& R,
                          TTextFormat Flags, TColor Color = clNone, int DPI = 0) = 0;
    virtual bool DrawEdge(HDC DC, const TThemedElementDetails& Details, const TRect& R, TElementEdges Edges,
                          TElementEdgeFlags Flags, TRect* ContentRect = nullptr, int DPI = 0) = 0;
    // Paints the part of Window's parent that lies behind Window (or behind Bounds in it), for
    // controls that show their parent through; with OnlyIfTransparent only when Details has
    // transparent parts.
    virtual bool DrawParentBackground(HWND Window, HDC Target, const TThemedElementDetails* Details,
                                      bool OnlyIfTransparent, const TRect* Bounds = nullptr) = 0;
    // False when the style has no such size, colour, rectangle or region for the element; Size,
    // Color, ContentRect and Region are then left as they were.
    virtual bool GetElementSize(HDC DC, const TThemedElementDetails& Details, TElementSize ElementSize,
                                TSize& Size, int DPI = 0) = 0;
    virtual bool GetElementSize(HDC DC, const TThemedElementDetails& Details, const TRect& R,
                                TElementSize ElementSize, TSize& Size, int DPI = 0) = 0;
    virtual bool GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor,
                                 TColor& Color) = 0;
    virtual bool GetElementContentRect(HDC DC, const TThemedElementDetails& Details, const TRect& BoundingRect,
                                       TRect& ContentRect, int DPI = 0) = 0;
    // The widths around an element's content (emContent), from its content rectangle; false for the
    // caption and sizing margins, which no style here gives.
    virtual bool GetElementMargins(HDC DC, const TThemedElementDetails& Details, TElementMargin ElementMargin,
                                   TElementMargins& Margins, int DPI = 0);
    // The caller owns Region.
    virtual bool GetElementRegion(const TThemedElementDetails& Details, const TRect& R, HRGN& Region,
                                  int DPI = 0) = 0;
    virtual bool HasTransparentParts(const TThemedElementDetails& Details) = 0;

    // The style's replacement for a system colour (the system style keeps it).
    virtual TColor GetSystemColor(TColor Color) = 0;
    virtual TColor GetStyleColor(TStyleColor Color) = 0;
    virtual TColor GetStyleFontColor(TStyleFont Font) = 0;
    // An RGB value: system colours resolved through GetSystemColor first.
    TColor ColorToRGB(TColor Color);

    // The desktop's visual styles changed: handles the style keeps are opened again when next used.
    virtual void UpdateThemes() {}
};

// The system style: "Windows".
class TUxThemeStyle : public TCustomStyleServices {
public:
    TUxThemeStyle() = default;
    ~TUxThemeStyle() override;

    bool Available() const override { return true; }
    bool Enabled() const override;
    bool IsSystemStyle() const override { return true; }
    rtl::String Name() const override { return QStringLiteral("Windows"); }

    bool DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R, const TRect* ClipRect = nullptr,
                     int DPI = 0) override;
    bool DrawText(HDC DC, const TThemedElementDetails& Details, const rtl::String& S, TRect& R, TTextFormat Flags,
                  TColor Color = clNone, int DPI = 0) override;
    bool DrawEdge(HDC DC, const TThemedElementDetails& Details, const TRect& R, TElementEdges Edges,
                  TElementEdgeFlags Flags, TRect* ContentRect = nullptr, int DPI = 0) override;
    bool DrawParentBackground(HWND Window, HDC Target, const TThemedElementDetails* Details, bool OnlyIfTransparent,
                              const TRect* Bounds = nullptr) override;
    bool GetElementSize(HDC DC, const TThemedElementDetails& Details, TElementSize ElementSize, TSize& Size,
                        int DPI = 0) override;
    bool GetElementSize(HDC DC, const TThemedElementDetails& Details, const TRect& R, TElementSize ElementSize,
                        TSize& Size, int DPI = 0) override;
    bool GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor, TColor& Color) override;
    bool GetElementContentRect(HDC DC, const TThemedElementDetails& Details, const TRect& BoundingRect,
                               TRect& ContentRect, int DPI = 0) override;
    bool GetElementRegion(const TThemedElementDetails& Details, const TRect& R, HRGN& Region, int DPI = 0) override;
    bool HasTransparentParts(const TThemedElementDetails& Details) override;

    TColor GetSystemColor(TColor Color) override { return Color; }
    TColor GetStyleColor(TStyleColor Color) override;
    TColor GetStyleFontColor(TStyleFont Font) override;

    void UpdateThemes() override;

    // The visual-styles handle of an element class (0 for the elements the style draws itself or
    // while theming is off).
    HTHEME Theme(TThemedElement Element);

private:
    std::map<TThemedElement, HTHEME> FThemes;
};

// ---------------------------------------------------------------------------------------------------

// The style hooks of the control classes. A hook class is registered for a control class with a
// factory; while a custom style is active, a control of exactly that class gets one hook, made when
// it first handles a message and freed with the control, which sees the control's messages first.
class TStyleHook : public rtl::TObject {
public:
    explicit TStyleHook(TWinControl* AControl) : FControl(AControl) {}
    TWinControl* Control() const { return FControl; }
    HWND Handle() const;
    // True when the hook handled the message; the control then does not see it.
    virtual bool HandleMessage(TMessage& Message) {
        (void)Message;
        return false;
    }
    void Invalidate();

private:
    TWinControl* FControl;
};

// The hook of push buttons drawn by the style: it paints the whole button and follows the pointer,
// the left button and the focus for the look of the state.
class TButtonStyleHook : public TStyleHook {
public:
    using TStyleHook::TStyleHook;
    bool Pressed() const { return FPressed; }
    bool Focused() const { return FFocused; }
    bool MouseInControl() const { return FMouseInControl; }
    bool HandleMessage(TMessage& Message) override;

protected:
    // The style's push button in the hook's state, and the caption in the element's text colour.
    virtual void DrawButton(TCanvas* Canvas, bool AMouseInControl);

private:
    bool FPressed = false;
    bool FFocused = false;
    bool FMouseInControl = false;
};

using TStyleHookFactory = std::function<TStyleHook*(TWinControl* AControl)>;

class TCustomStyleEngine {
public:
    struct THookClass {
        std::type_index HookClass;
        TStyleHookFactory Create;
    };

    // Raises EStyleEngineException when the hook class is already registered for the control class.
    static void RegisterStyleHook(std::type_index ControlClass, std::type_index HookClass, TStyleHookFactory Create);
    static void UnRegisterStyleHook(std::type_index ControlClass, std::type_index HookClass);
    template <class TControlClass, class THookClass> static void RegisterStyleHook() {
        RegisterStyleHook(typeid(TControlClass), typeid(THookClass),
                          [](TWinControl* AControl) -> TStyleHook* { return new THookClass(AControl); });
    }
    template <class TControlClass, class THookClass> static void UnRegisterStyleHook() {
        UnRegisterStyleHook(typeid(TControlClass), typeid(THookClass));
    }
    // The hook classes registered for exactly this control class, in registration order.
    static std::vector<THookClass> StyleHooksOf(std::type_index ControlClass);
    // The control's hook while a custom style is active (from the class registered last); nullptr
    // under the system style or without a registration.
    static TStyleHook* HookOf(TWinControl* Control);
    // Frees the control's hook.
    static void ControlGone(TWinControl* Control);

private:
    static std::map<std::type_index, std::vector<THookClass>>& Registry();
    static std::map<TWinControl*, std::unique_ptr<TStyleHook>>& Hooks();
    static void ForgetEmptyHooks();
};

enum TSystemHook { shMenus, shDialogs, shToolTips };
using TSystemHooks = rtl::TSet<TSystemHook>;

class TStyleManager {
public:
    static TCustomStyleServices* ActiveStyle();
    static TCustomStyleServices* SystemStyle();
    static bool IsCustomStyleActive() { return !ActiveStyle()->IsSystemStyle(); }
    // "Windows" first, then the loaded styles in loading order.
    static std::vector<rtl::String> StyleNames();
    // Whether the file is a style file without errors.
    static bool IsValidStyle(const rtl::String& FileName);
    // Reads a style file and registers its style; raises EStyleFileError (with the line) for a file
    // with errors and EStyleEngineException for a name that is already registered. Either way the
    // registered styles and the active style stay as they were.
    static TCustomStyleServices* LoadFromFile(const rtl::String& FileName);
    // The registered style of that name (any case); nullptr when there is none.
    static TCustomStyleServices* Style(const rtl::String& Name);
    // Raises EStyleEngineException "Style '<Name>' not found" for a name that is not registered.
    static void SetStyle(const rtl::String& Name);
    // Makes Style active: the system colours follow it, and every window of the program gets
    // CM_STYLECHANGED and is repainted, frame and children included. Every switch passes here, never
    // inlined, so that code patching this entry sees them all.
    TW_PATCHABLE static void SetStyle(TCustomStyleServices* Style);
    static bool TrySetStyle(const rtl::String& Name, bool ShowErrorDialog = true);
    static TSystemHooks SystemHooks() { return FSystemHooks; }
    static void SetSystemHooks(TSystemHooks Value) { FSystemHooks = Value; }
    static TCustomStyleEngine* Engine();

private:
    static inline TCustomStyleServices* FActiveStyle = nullptr;
    static inline TSystemHooks FSystemHooks{shMenus, shDialogs, shToolTips};
};

// The active style.
TCustomStyleServices* StyleServices();

} // namespace vcl
