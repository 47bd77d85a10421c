#include "vcl/Themes.h"

#include "vcl/Controls.h"
#include "vcl/Messages.h"
#include "vcl/StyleFile.h"

#include <QDir>

#include <algorithm>
#include <memory>
#include <string_view>

namespace vcl {

namespace {

// ---- element details: the first enumerator of each part ----

struct TPartRange {
    int First; // ordinal of the part's first state
    int Part;
};

template <size_t N>
TThemedElementDetails DetailsOf(TThemedElement Element, int Ordinal, const TPartRange (&Parts)[N]) {
    for (size_t i = N; i-- > 0;)
        if (Ordinal >= Parts[i].First) return {Element, Parts[i].Part, Ordinal - Parts[i].First + 1};
    return {Element, 0, 0}; // the "don't care" and root entries
}

constexpr TPartRange ButtonParts[] = {{tbPushButtonNormal, 1}, {tbRadioButtonUncheckedNormal, 2},
                                      {tbCheckBoxUncheckedNormal, 3}, {tbGroupBoxNormal, 4}, {tbUserButton, 5},
                                      {tbCommandLinkNormal, 6}, {tbCommandLinkGlyphNormal, 7}};
constexpr TPartRange ComboBoxParts[] = {{tcDropDownButtonNormal, 1}, {tcBorderNormal, 4}, {tcReadOnlyNormal, 5},
                                        {tcDropDownButtonRightNormal, 6}, {tcDropDownButtonLeftNormal, 7}};
constexpr TPartRange EditParts[] = {{teEditTextNormal, 1},          {teEditCaret, 2},
                                    {teBackgroundNormal, 3},        {tePasswordNormal, 4},
                                    {teBackgroundWithBorderNormal, 5}, {teEditBorderNoScrollNormal, 6},
                                    {teEditBorderHScrollNormal, 7}, {teEditBorderVScrollNormal, 8},
                                    {teEditBorderHVScrollNormal, 9}};
constexpr TPartRange ExplorerBarParts[] = {
    {tebHeaderBackgroundNormal, 1},     {tebHeaderCloseNormal, 2},       {tebHeaderPinNormal, 3},
    {tebIEBarMenuNormal, 4},            {tebNormalGroupBackground, 5},   {tebNormalGroupCollapseNormal, 6},
    {tebNormalGroupExpandNormal, 7},    {tebNormalGroupHead, 8},         {tebSpecialGroupBackground, 9},
    {tebSpecialGroupCollapseNormal, 10}, {tebSpecialGroupExpandNormal, 11}, {tebSpecialGroupHead, 12}};
constexpr TPartRange HeaderParts[] = {{thHeaderItemNormal, 1},         {thHeaderItemLeftNormal, 2},
                                      {thHeaderItemRightNormal, 3},    {thHeaderSortArrowSortedUp, 4},
                                      {thHeaderDropDownNormal, 5},     {thHeaderDropDownFilterNormal, 6},
                                      {thHeaderOverflowNormal, 7}};
constexpr TPartRange ListViewParts[] = {
    {tlListItemNormal, 1}, {tlListGroup, 2}, {tlListDetail, 3}, {tlListSortDetail, 4}, {tlEmptyText, 5}};
constexpr TPartRange MenuParts[] = {
    {tmMenuItemNormal, 1},        {tmMenuDropDown, 2},         {tmMenuBarItem, 3},
    {tmMenuBarDropDown, 4},       {tmChevron, 5},              {tmSeparator, 6},
    {tmMenuBarBackgroundActive, 7}, {tmMenuBarItemNormal, 8},  {tmPopupBackground, 9},
    {tmPopupBorders, 10},         {tmPopupCheckMarkNormal, 11}, {tmPopupCheckBackgroundDisabled, 12},
    {tmPopupGutter, 13},          {tmPopupItemNormal, 14},     {tmPopupSeparator, 15},
    {tmPopupSubMenuNormal, 16},   {tmSystemCloseNormal, 17},   {tmSystemMaximizeNormal, 18},
    {tmSystemMinimizeNormal, 19}, {tmSystemRestoreNormal, 20}};
constexpr TPartRange ProgressParts[] = {
    {tpBar, 1},          {tpBarVert, 2},          {tpChunk, 3},          {tpChunkVert, 4},
    {tpFilledNormal, 5}, {tpFilledVertNormal, 6}, {tpPulseOverlay, 7},   {tpMoveOverlay, 8},
    {tpPulseOverlayVert, 9}, {tpMoveOverlayVert, 10}, {tpTransparentBarNormal, 11}, {tpTransparentBarVertNormal, 12}};
constexpr TPartRange RebarParts[] = {{trGripper, 1},       {trGripperVert, 2},  {trBand, 3},
                                     {trChevronNormal, 4}, {trChevronVertNormal, 5}, {trBackground, 6},
                                     {trSplitterNormal, 7}, {trSplitterVertNormal, 8}};
constexpr TPartRange ScrollBarParts[] = {
    {tsArrowBtnUpNormal, 1},     {tsThumbBtnHorzNormal, 2},   {tsThumbBtnVertNormal, 3},
    {tsLowerTrackHorzNormal, 4}, {tsUpperTrackHorzNormal, 5}, {tsLowerTrackVertNormal, 6},
    {tsUpperTrackVertNormal, 7}, {tsGripperHorzNormal, 8},    {tsGripperVertNormal, 9},
    {tsSizeBoxRightAlign, 10}};
constexpr TPartRange SpinParts[] = {{tsUpNormal, 1}, {tsDownNormal, 2}, {tsUpHorzNormal, 3}, {tsDownHorzNormal, 4}};
constexpr TPartRange StatusParts[] = {{tsPane, 1}, {tsGripperPane, 2}, {tsGripper, 3}};
constexpr TPartRange TabParts[] = {
    {ttTabItemNormal, 1},          {ttTabItemLeftEdgeNormal, 2},    {ttTabItemRightEdgeNormal, 3},
    {ttTabItemBothEdgeNormal, 4},  {ttTopTabItemNormal, 5},         {ttTopTabItemLeftEdgeNormal, 6},
    {ttTopTabItemRightEdgeNormal, 7}, {ttTopTabItemBothEdgeNormal, 8}, {ttPane, 9}, {ttBody, 10}};
constexpr TPartRange ToolBarParts[] = {{ttbButtonNormal, 1},         {ttbDropDownButtonNormal, 2},
                                       {ttbSplitButtonNormal, 3},    {ttbSplitButtonDropDownNormal, 4},
                                       {ttbSeparatorNormal, 5},      {ttbSeparatorVertNormal, 6},
                                       {ttbDropDownButtonGlyphNormal, 7}};
constexpr TPartRange ToolTipParts[] = {{tttStandardNormal, 1}, {tttStandardTitleNormal, 2}, {tttBaloonNormal, 3},
                                       {tttBaloonTitleNormal, 4}, {tttCloseNormal, 5}};
constexpr TPartRange TrackBarParts[] = {
    {ttbTrack, 1},           {ttbTrackVert, 2},       {ttbThumbNormal, 3},      {ttbThumbBottomNormal, 4},
    {ttbThumbTopNormal, 5},  {ttbThumbVertNormal, 6}, {ttbThumbLeftNormal, 7},  {ttbThumbRightNormal, 8},
    {ttbThumbTics, 9},       {ttbThumbTicsVert, 10}};
constexpr TPartRange TreeviewParts[] = {
    {ttItemNormal, 1}, {ttGlyphClosed, 2}, {ttBranch, 3}, {ttHotGlyphClosed, 4}};
constexpr TPartRange WindowParts[] = {
    {twCaptionActive, 1},          {twSmallCaptionActive, 2},      {twMinCaptionActive, 3},
    {twSmallMinCaptionActive, 4},  {twMaxCaptionActive, 5},        {twSmallMaxCaptionActive, 6},
    {twFrameLeftActive, 7},        {twFrameRightActive, 8},        {twFrameBottomActive, 9},
    {twSmallFrameLeftActive, 10},  {twSmallFrameRightActive, 11},  {twSmallFrameBottomActive, 12},
    {twSysButtonNormal, 13},       {twMDISysButtonNormal, 14},     {twMinButtonNormal, 15},
    {twMDIMinButtonNormal, 16},    {twMaxButtonNormal, 17},        {twCloseButtonNormal, 18},
    {twSmallCloseButtonNormal, 19}, {twMDICloseButtonNormal, 20},  {twRestoreButtonNormal, 21},
    {twMDIRestoreButtonNormal, 22}, {twHelpButtonNormal, 23},      {twMDIHelpButtonNormal, 24}};
// Parts of the window element that have a size or a place of their own.
constexpr int WindowCaptionPart = 1, WindowFrameLeftPart = 7, WindowFrameRightPart = 8, WindowFrameBottomPart = 9,
              WindowSysButtonPart = 13, WindowMinButtonPart = 15, WindowMaxButtonPart = 17,
              WindowCloseButtonPart = 18, WindowRestoreButtonPart = 21, WindowHelpButtonPart = 23;
constexpr TPartRange CategoryPanelGroupParts[] = {{tcpBackground, 1}, {tcpSegmentHeader, 2}, {tcpThemedHeader, 3},
                                                  {tcpThemedChevronOpenedNormal, 4},
                                                  {tcpThemedChevronClosedNormal, 5}};
constexpr TPartRange GridParts[] = {{tgCellNormal, 1}, {tgFixedCellNormal, 2}};
constexpr TPartRange HintParts[] = {{thHintNormal, 1}, {thHintBalloon, 2}};
constexpr TPartRange PanelParts[] = {
    {tpPanelBackground, 1}, {tpPanelBevel, 2}, {tpDockPanelHorzNormal, 3}, {tpDockPanelVertNormal, 4}};
constexpr TPartRange TextLabelParts[] = {{ttlTextLabelNormal, 1}};

// The visual-styles class of each element; none for those the style draws itself.
const char16_t* ClassOf(TThemedElement Element) {
    switch (Element) {
    case teButton: return u"BUTTON";
    case teClock: return u"CLOCK";
    case teComboBox: return u"COMBOBOX";
    case teEdit: return u"EDIT";
    case teExplorerBar: return u"EXPLORERBAR";
    case teHeader: return u"HEADER";
    case teListView: return u"LISTVIEW";
    case teMenu: return u"MENU";
    case tePage: return u"PAGE";
    case teProgress: return u"PROGRESS";
    case teRebar: return u"REBAR";
    case teScrollBar: return u"SCROLLBAR";
    case teSpin: return u"SPIN";
    case teStartPanel: return u"STARTPANEL";
    case teStatus: return u"STATUS";
    case teTab: return u"TAB";
    case teTaskBand: return u"TASKBAND";
    case teTaskBar: return u"TASKBAR";
    case teToolBar: return u"TOOLBAR";
    case teToolTip: return u"TOOLTIP";
    case teTrackBar: return u"TRACKBAR";
    case teTrayNotify: return u"TRAYNOTIFY";
    case teTreeview: return u"TREEVIEW";
    case teWindow: return u"WINDOW";
    case teDatePicker: return u"DATEPICKER";
    case teMonthCal: return u"MONTHCAL";
    case teTextStyle: return u"TEXTSTYLE";
    case teNavigation: return u"NAVIGATION";
    case teTaskDialog: return u"TASKDIALOG";
    default: return nullptr;
    }
}

// ---- classic drawing ----
// Through the platform's unpatched classic drawing: a patched DrawFrameControl or DrawEdge may draw
// with a style whose fallback is this very code, and must not come back into itself.

void Fill(HDC DC, const RECT& R, int SysColor) { TwClassicFillRect(DC, &R, TwClassicSysColorBrush(SysColor)); }

void Frame(HDC DC, RECT R, UINT Type, UINT State) { TwClassicDrawFrameControl(DC, &R, Type, State); }

void Edge(HDC DC, RECT R, UINT EdgeKind, UINT Flags = BF_RECT) { TwClassicDrawEdge(DC, &R, EdgeKind, Flags); }

// The common states of four-state parts: 1 normal, 2 hot, 3 pressed, 4 disabled.
UINT PushState(int State) {
    return State == 3 ? DFCS_PUSHED : State == 4 ? DFCS_INACTIVE : State == 2 ? DFCS_HOT : 0;
}

// A state number of a "states in groups of four" part (arrow buttons, check boxes), 0-based.
int GroupOf(int State) { return (State - 1) / 4; }
int InGroup(int State) { return (State - 1) % 4 + 1; }

bool ClassicDrawElement(HDC DC, const TThemedElementDetails& D, const RECT& R) {
    const int s = D.State;
    switch (D.Element) {
    case teButton:
        switch (D.Part) {
        case 1: Frame(DC, R, DFC_BUTTON, DFCS_BUTTONPUSH | PushState(s)); return true;
        case 2: Frame(DC, R, DFC_BUTTON, DFCS_BUTTONRADIO | PushState(InGroup(s)) | (GroupOf(s) ? DFCS_CHECKED : 0)); return true;
        case 3: {
            const int group = GroupOf(s); // unchecked, checked, mixed, implicit, excluded
            UINT state = DFCS_BUTTONCHECK | PushState(InGroup(s));
            if (group == 1 || group == 3) state |= DFCS_CHECKED;
            if (group == 2) state = DFCS_BUTTON3STATE | DFCS_CHECKED | PushState(InGroup(s));
            Frame(DC, R, DFC_BUTTON, state);
            return true;
        }
        case 4: Edge(DC, R, EDGE_ETCHED); return true;
        default: return false;
        }
    case teComboBox:
        if (D.Part == 1 || D.Part == 6 || D.Part == 7) {
            Frame(DC, R, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | PushState(s));
            return true;
        }
        if (D.Part == 4 || D.Part == 5) {
            Edge(DC, R, EDGE_SUNKEN);
            return true;
        }
        return false;
    case teEdit:
        if (D.Part >= 6) {
            Edge(DC, R, EDGE_SUNKEN);
            return true;
        }
        if (D.Part == 3 || D.Part == 5) {
            Fill(DC, R, s == 3 || s == 5 ? COLOR_BTNFACE : COLOR_WINDOW); // disabled or read-only
            if (D.Part == 5) Edge(DC, R, EDGE_SUNKEN);
            return true;
        }
        return false;
    case teHeader:
        if (D.Part >= 1 && D.Part <= 3) {
            Fill(DC, R, COLOR_BTNFACE);
            Edge(DC, R, s == 3 ? BDR_SUNKENOUTER : EDGE_RAISED, s == 3 ? BF_RECT | BF_FLAT : BF_RECT);
            return true;
        }
        return false;
    case teScrollBar:
        if (D.Part == 1) {
            static const UINT arrows[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
            const int arrow = s > 16 ? s - 17 : GroupOf(s); // the hover states come last
            Frame(DC, R, DFC_SCROLL, arrows[std::clamp(arrow, 0, 3)] | (s > 16 ? 0 : PushState(InGroup(s))));
            return true;
        }
        if (D.Part == 2 || D.Part == 3) {
            Frame(DC, R, DFC_BUTTON, DFCS_BUTTONPUSH);
            return true;
        }
        if (D.Part >= 4 && D.Part <= 7) {
            Fill(DC, R, s == 3 ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR);
            return true;
        }
        if (D.Part == 10) {
            Frame(DC, R, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
            return true;
        }
        return false;
    case teSpin: {
        static const UINT arrows[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLRIGHT, DFCS_SCROLLLEFT};
        if (D.Part < 1 || D.Part > 4) return false;
        Frame(DC, R, DFC_SCROLL, arrows[D.Part - 1] | PushState(s));
        return true;
    }
    case teToolBar:
        if (D.Part >= 1 && D.Part <= 4) {
            if (s == 3 || s == 5 || s == 6) Edge(DC, R, BDR_SUNKENOUTER);
            else if (s == 2) Edge(DC, R, BDR_RAISEDINNER);
            return true;
        }
        if (D.Part == 5 || D.Part == 6) {
            RECT line = R;
            if (D.Part == 5) {
                line.left = (R.left + R.right) / 2 - 1;
                line.right = line.left + 2;
                Edge(DC, line, EDGE_ETCHED, BF_LEFT);
            } else {
                line.top = (R.top + R.bottom) / 2 - 1;
                line.bottom = line.top + 2;
                Edge(DC, line, EDGE_ETCHED, BF_TOP);
            }
            return true;
        }
        return false;
    case teRebar:
        if (D.Part == 1 || D.Part == 2) {
            Edge(DC, R, BDR_RAISEDINNER);
            return true;
        }
        if (D.Part == 3 || D.Part == 6) {
            Fill(DC, R, COLOR_BTNFACE);
            return true;
        }
        return false;
    case teMenu:
        switch (D.Part) {
        case 7: case 9: Fill(DC, R, COLOR_MENU); return true;
        case 10: Edge(DC, R, EDGE_RAISED); return true;
        case 1: case 14: Fill(DC, R, (D.Part == 1 ? s == 2 : s == 2) ? COLOR_HIGHLIGHT : COLOR_MENU); return true;
        case 8: Fill(DC, R, s == 2 || s == 3 ? COLOR_HIGHLIGHT : COLOR_MENU); return true;
        case 6: case 15: {
            RECT line = R;
            line.top = (R.top + R.bottom) / 2 - 1;
            line.bottom = line.top + 2;
            Edge(DC, line, EDGE_ETCHED, BF_TOP);
            return true;
        }
        case 11: Frame(DC, R, DFC_MENU, s <= 2 ? DFCS_MENUCHECK : DFCS_MENUBULLET); return true;
        case 16: Frame(DC, R, DFC_MENU, DFCS_MENUARROW); return true;
        case 12: case 13: return true; // nothing behind the check or in the gutter
        default: return false;
        }
    case teTab:
        if (D.Part >= 1 && D.Part <= 8) {
            Fill(DC, R, COLOR_BTNFACE);
            Edge(DC, R, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
            return true;
        }
        if (D.Part == 9 || D.Part == 10) {
            Fill(DC, R, COLOR_BTNFACE);
            if (D.Part == 9) Edge(DC, R, EDGE_RAISED);
            return true;
        }
        return false;
    case teTrackBar:
        if (D.Part == 1 || D.Part == 2) {
            Edge(DC, R, EDGE_SUNKEN);
            return true;
        }
        if (D.Part >= 3 && D.Part <= 8) {
            Frame(DC, R, DFC_BUTTON, DFCS_BUTTONPUSH | (s == 5 ? DFCS_INACTIVE : s == 3 ? DFCS_PUSHED : 0));
            return true;
        }
        return false;
    case teProgress:
        if (D.Part == 1 || D.Part == 2) {
            Fill(DC, R, COLOR_BTNFACE);
            Edge(DC, R, BDR_SUNKENOUTER);
            return true;
        }
        if (D.Part == 3 || D.Part == 4 || D.Part == 5 || D.Part == 6) {
            Fill(DC, R, COLOR_HIGHLIGHT);
            return true;
        }
        return false;
    case teStatus:
        if (D.Part == 1 || D.Part == 2) {
            Edge(DC, R, BDR_SUNKENOUTER);
            return true;
        }
        if (D.Part == 3) {
            Frame(DC, R, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
            return true;
        }
        return false;
    case teTreeview:
        if (D.Part == 2 || D.Part == 4) { // a box with a minus (opened) or a plus (closed)
            Fill(DC, R, COLOR_WINDOW);
            HBRUSH frame = TwClassicSysColorBrush(COLOR_BTNSHADOW);
            FrameRect(DC, &R, frame);
            const int cx = (R.left + R.right) / 2, cy = (R.top + R.bottom) / 2;
            const RECT horz{R.left + 2, cy, R.right - 2, cy + 1};
            TwClassicFillRect(DC, &horz, TwClassicSysColorBrush(COLOR_WINDOWTEXT));
            if (s == 1) {
                const RECT vert{cx, R.top + 2, cx + 1, R.bottom - 2};
                TwClassicFillRect(DC, &vert, TwClassicSysColorBrush(COLOR_WINDOWTEXT));
            }
            return true;
        }
        if (D.Part == 1) {
            if (s == 3 || s == 6) Fill(DC, R, COLOR_HIGHLIGHT);
            return true;
        }
        return false;
    case teListView:
        if (D.Part == 1) {
            if (s == 3 || s == 5 || s == 6) Fill(DC, R, COLOR_HIGHLIGHT);
            return true;
        }
        return false;
    case teWindow:
        if (D.Part >= 1 && D.Part <= 6) {
            Fill(DC, R, s == 1 ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
            return true;
        }
        if (D.Part >= 7 && D.Part <= 12) {
            Fill(DC, R, s == 1 ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
            return true;
        }
        if (D.Part >= 13) {
            static const UINT kinds[] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONCLOSE, DFCS_CAPTIONMIN, DFCS_CAPTIONMIN,
                                         DFCS_CAPTIONMAX,   DFCS_CAPTIONCLOSE, DFCS_CAPTIONCLOSE, DFCS_CAPTIONCLOSE,
                                         DFCS_CAPTIONRESTORE, DFCS_CAPTIONRESTORE, DFCS_CAPTIONHELP, DFCS_CAPTIONHELP};
            Frame(DC, R, DFC_CAPTION, kinds[std::min(D.Part - 13, 11)] | PushState(s));
            return true;
        }
        return false;
    case teToolTip:
    case teHint:
        Fill(DC, R, COLOR_INFOBK);
        FrameRect(DC, &R, TwClassicSysColorBrush(COLOR_INFOTEXT));
        return true;
    case tePanel:
        if (D.Part == 1) {
            Fill(DC, R, COLOR_BTNFACE);
            return true;
        }
        if (D.Part == 2) {
            Edge(DC, R, BDR_RAISEDINNER);
            return true;
        }
        return false;
    case teCategoryPanelGroup:
        if (D.Part == 1) {
            Fill(DC, R, COLOR_BTNFACE);
            return true;
        }
        if (D.Part == 2 || D.Part == 3) {
            Fill(DC, R, COLOR_BTNFACE);
            Edge(DC, R, BDR_RAISEDINNER);
            return true;
        }
        if (D.Part == 4 || D.Part == 5) {
            Frame(DC, R, DFC_SCROLL, (D.Part == 4 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | DFCS_FLAT);
            return true;
        }
        return false;
    case teGrid:
        if (D.Part == 1) {
            Fill(DC, R, s == 1 ? COLOR_WINDOW : COLOR_HIGHLIGHT);
            return true;
        }
        if (D.Part == 2) {
            Fill(DC, R, COLOR_BTNFACE);
            Edge(DC, R, s == 3 ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
            return true;
        }
        return false;
    case teTextLabel:
        return true; // a label has no background of its own
    default:
        return false;
    }
}

// The classic colours of elements: what the classic controls paint with.
bool ClassicElementColor(const TThemedElementDetails& D, TElementColor Which, TColor& Color) {
    const bool disabled = (D.Element == teButton && D.Part == 1 && D.State == 4) ||
                          (D.Element == teEdit && D.State == 4) ||
                          (D.Element == teMenu && (D.Part == 14 ? D.State >= 3 : D.Part == 8 && D.State >= 4)) ||
                          (D.Element == teTextLabel && D.State == 2);
    switch (Which) {
    case ecTextColor:
        if (disabled) Color = clGrayText;
        else if (D.Element == teEdit || D.Element == teListView || D.Element == teTreeview || D.Element == teGrid)
            Color = (D.Element == teGrid && D.Part == 1 && D.State > 1) ? clHighlightText : clWindowText;
        else if (D.Element == teMenu) Color = D.State == 2 ? clHighlightText : clMenuText;
        else if (D.Element == teToolTip || D.Element == teHint) Color = clInfoText;
        else if (D.Element == teWindow) Color = D.State == 1 ? clCaptionText : clInactiveCaptionText;
        else Color = clBtnText;
        return true;
    case ecFillColor:
        if (D.Element == teEdit || D.Element == teListView || D.Element == teTreeview || D.Element == teGrid)
            Color = disabled ? clBtnFace : clWindow;
        else if (D.Element == teToolTip || D.Element == teHint) Color = clInfoBk;
        else if (D.Element == teMenu) Color = clMenu;
        else Color = clBtnFace;
        return true;
    case ecGradientColor1:
    case ecGradientColor2:
        Color = (D.Element == teToolTip || D.Element == teHint) ? clInfoBk : clBtnFace;
        return true;
    case ecBorderColor: Color = clWindowFrame; return true;
    case ecEdgeLightColor: Color = cl3DLight; return true;
    case ecEdgeHighlightColor: Color = clBtnHighlight; return true;
    case ecEdgeShadowColor: Color = clBtnShadow; return true;
    case ecEdgeDkShadowColor: Color = cl3DDkShadow; return true;
    case ecEdgeFillColor: Color = clBtnFace; return true;
    default: return false;
    }
}

// The property of each element colour in the visual-styles API.
int PropertyOf(TElementColor Which) {
    switch (Which) {
    case ecBorderColor: return TMT_BORDERCOLOR;
    case ecFillColor: return TMT_FILLCOLOR;
    case ecTextColor: return TMT_TEXTCOLOR;
    case ecEdgeLightColor: return TMT_EDGELIGHTCOLOR;
    case ecEdgeHighlightColor: return TMT_EDGEHIGHLIGHTCOLOR;
    case ecEdgeShadowColor: return TMT_EDGESHADOWCOLOR;
    case ecEdgeDkShadowColor: return TMT_EDGEDKSHADOWCOLOR;
    case ecEdgeFillColor: return TMT_EDGEFILLCOLOR;
    case ecGradientColor1: return TMT_GRADIENTCOLOR1;
    case ecGradientColor2: return TMT_GRADIENTCOLOR2;
    case ecGlowColor: return TMT_GLOWCOLOR;
    case ecFillColorHint: return TMT_FILLCOLORHINT;
    case ecBorderColorHint: return TMT_BORDERCOLORHINT;
    default: return 0;
    }
}

// Selects a clip rectangle for the duration of a draw.
class ClipTo {
public:
    ClipTo(HDC DC, const TRect* Clip) : FDC(Clip ? DC : nullptr) {
        if (!FDC) return;
        FSaved = SaveDC(DC);
        IntersectClipRect(DC, Clip->Left, Clip->Top, Clip->Right, Clip->Bottom);
    }
    ~ClipTo() {
        if (FDC) RestoreDC(FDC, FSaved);
    }

private:
    HDC FDC;
    int FSaved = 0;
};

constexpr UINT EdgeBits[] = {BDR_RAISEDOUTER, BDR_SUNKENOUTER, BDR_RAISEDINNER, BDR_SUNKENINNER,
                             EDGE_BUMP,       EDGE_ETCHED,     EDGE_RAISED,     EDGE_SUNKEN};
constexpr UINT EdgeFlagBits[] = {BF_LEFT,   BF_TOP,    BF_RIGHT, BF_BOTTOM, BF_TOPLEFT,
                                 BF_BOTTOMLEFT, BF_TOPRIGHT, BF_BOTTOMRIGHT, BF_RECT, BF_DIAGONAL,
                                 BF_DIAGONAL | BF_TOP | BF_RIGHT, BF_DIAGONAL | BF_TOP | BF_LEFT,
                                 BF_DIAGONAL | BF_BOTTOM | BF_LEFT, BF_DIAGONAL | BF_BOTTOM | BF_RIGHT, BF_MIDDLE, BF_SOFT, BF_ADJUST, BF_FLAT, BF_MONO};

// Classic check boxes, radio buttons and arrows have the system's fixed sizes.
bool ClassicElementSize(const TThemedElementDetails& Details, TSize& Size) {
    // Pop-up check marks, bullets and sub-menu arrows: the system's menu check size.
    if (Details.Element == teMenu && (Details.Part == 11 || Details.Part == 16)) {
        Size = SIZE{GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)};
        return true;
    }
    if (Details.Element == teButton && (Details.Part == 2 || Details.Part == 3)) {
        Size = SIZE{13, 13};
        return true;
    }
    if ((Details.Element == teScrollBar && Details.Part == 1) || Details.Element == teSpin) {
        Size = SIZE{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL)};
        return true;
    }
    // A window's caption and frame: the caption height, the frame widths and the caption buttons.
    if (Details.Element == teWindow) {
        switch (Details.Part) {
        case WindowCaptionPart: Size = SIZE{0, GetSystemMetrics(SM_CYCAPTION)}; return true;
        case WindowFrameLeftPart:
        case WindowFrameRightPart: Size = SIZE{GetSystemMetrics(SM_CXSIZEFRAME), 0}; return true;
        case WindowFrameBottomPart: Size = SIZE{0, GetSystemMetrics(SM_CYSIZEFRAME)}; return true;
        case WindowSysButtonPart: Size = SIZE{GetSystemMetrics(SM_CYSIZE) - 4, GetSystemMetrics(SM_CYSIZE) - 4}; return true;
        case WindowMinButtonPart:
        case WindowMaxButtonPart:
        case WindowCloseButtonPart:
        case WindowRestoreButtonPart:
        case WindowHelpButtonPart: Size = SIZE{GetSystemMetrics(SM_CXSIZE) - 2, GetSystemMetrics(SM_CYSIZE) - 4}; return true;
        default: break;
        }
    }
    return false;
}

// Where a caption button sits inside a caption of the window's width, as Windows places it beside
// the frame; false for elements that are not caption buttons.
bool WindowButtonContentRect(const TThemedElementDetails& Details, const TRect& Caption, TRect& Content) {
    if (Details.Element != teWindow) return false;
    int hit = 0;
    switch (Details.Part) {
    case WindowSysButtonPart: hit = HTSYSMENU; break;
    case WindowMinButtonPart: hit = HTMINBUTTON; break;
    case WindowMaxButtonPart:
    case WindowRestoreButtonPart: hit = HTMAXBUTTON; break;
    case WindowCloseButtonPart: hit = HTCLOSE; break;
    case WindowHelpButtonPart: hit = HTHELP; break;
    default: return false;
    }
    RECT inside = Caption;
    inside.left += GetSystemMetrics(SM_CXSIZEFRAME);
    inside.right -= GetSystemMetrics(SM_CXSIZEFRAME);
    RECT r{};
    if (!TwCaptionButtonRect(&inside, hit, &r)) return false;
    Content = r;
    return true;
}

// Inside the classic frame: two pixels for raised and sunken borders, one for flat ones.
TRect ClassicContentRect(const TThemedElementDetails& Details, const TRect& BoundingRect) {
    TRect content = BoundingRect;
    const bool framed = (Details.Element == teButton && (Details.Part == 1 || Details.Part == 4)) ||
                        (Details.Element == teEdit && Details.Part >= 5) || Details.Element == teHeader ||
                        (Details.Element == teComboBox && (Details.Part == 4 || Details.Part == 5)) ||
                        Details.Element == teTab;
    const bool thin = Details.Element == teStatus || Details.Element == teToolBar || Details.Element == teProgress ||
                      (Details.Element == tePanel && Details.Part == 2);
    if (framed) content.Inflate(-2, -2);
    else if (thin) content.Inflate(-1, -1);
    return content;
}

// Classic check boxes and radio buttons leave the corners of their box to the parent.
bool ClassicTransparent(const TThemedElementDetails& Details) {
    return Details.Element == teButton && (Details.Part == 2 || Details.Part == 3 || Details.Part == 4);
}

bool PaintParentBehind(HWND Window, HDC Target, const TRect* Bounds);

// Text drawn transparently in Color, or else in the element's text colour of the style.
bool PlainText(TCustomStyleServices& Style, HDC DC, const TThemedElementDetails& Details, const rtl::String& S,
               TRect& R, TTextFormat Flags, TColor Color) {
    RECT r = R;
    if (Color == clNone && !Style.GetElementColor(Details, ecTextColor, Color)) Color = clWindowText;
    const COLORREF oldColor = SetTextColor(DC, COLORREF(Style.ColorToRGB(Color)));
    const int oldMode = SetBkMode(DC, TRANSPARENT);
    ::DrawTextW(DC, reinterpret_cast<LPCWSTR>(S.utf16()), int(S.size()), &r, TTextFormatFlags(Flags));
    SetBkMode(DC, oldMode);
    SetTextColor(DC, oldColor);
    if (Flags.Contains(tfCalcRect)) R = r;
    return true;
}
TColor SystemStyleColor(TStyleColor Color);
TColor SystemFontColor(TStyleFont Font);

} // namespace

// ---- edges and flags ----

UINT ElementEdgesToEdge(TElementEdges Edges) {
    UINT result = 0;
    for (int i = 0; i < 8; ++i)
        if (Edges.Contains(TElementEdge(i))) result |= EdgeBits[i];
    return result;
}

UINT ElementEdgeFlagsToFlags(TElementEdgeFlags Flags) {
    UINT result = 0;
    for (int i = 0; i < int(std::size(EdgeFlagBits)); ++i)
        if (Flags.Contains(TElementEdgeFlag(i))) result |= EdgeFlagBits[i];
    return result;
}

// Back into the single bits (the combined members come back as their bits).
TElementEdges EdgeToElementEdges(UINT Edge) {
    TElementEdges result;
    for (int i = 0; i < 4; ++i)
        if (Edge & EdgeBits[i]) result.Include(TElementEdge(i));
    return result;
}

TElementEdgeFlags FlagsToElementEdgeFlags(UINT Flags) {
    TElementEdgeFlags result;
    for (const int i : {int(efLeft), int(efTop), int(efRight), int(efBottom), int(efDiagonal), int(efMiddle),
                        int(efSoft), int(efAdjust), int(efFlat), int(efMono)})
        if (Flags & EdgeFlagBits[i]) result.Include(TElementEdgeFlag(i));
    return result;
}

// ---- TCustomStyleServices ----

#define TW_DETAILS(Type, Element, Parts)                                                                      \
    TThemedElementDetails TCustomStyleServices::GetElementDetails(Type Detail) const {                         \
        return DetailsOf(Element, int(Detail), Parts);                                                         \
    }
TW_DETAILS(TThemedButton, teButton, ButtonParts)
TW_DETAILS(TThemedComboBox, teComboBox, ComboBoxParts)
TW_DETAILS(TThemedEdit, teEdit, EditParts)
TW_DETAILS(TThemedExplorerBar, teExplorerBar, ExplorerBarParts)
TW_DETAILS(TThemedHeader, teHeader, HeaderParts)
TW_DETAILS(TThemedListView, teListView, ListViewParts)
TW_DETAILS(TThemedMenu, teMenu, MenuParts)
TW_DETAILS(TThemedProgress, teProgress, ProgressParts)
TW_DETAILS(TThemedRebar, teRebar, RebarParts)
TW_DETAILS(TThemedScrollBar, teScrollBar, ScrollBarParts)
TW_DETAILS(TThemedSpin, teSpin, SpinParts)
TW_DETAILS(TThemedStatus, teStatus, StatusParts)
TW_DETAILS(TThemedTab, teTab, TabParts)
TW_DETAILS(TThemedToolBar, teToolBar, ToolBarParts)
TW_DETAILS(TThemedToolTip, teToolTip, ToolTipParts)
TW_DETAILS(TThemedTrackBar, teTrackBar, TrackBarParts)
TW_DETAILS(TThemedTreeview, teTreeview, TreeviewParts)
TW_DETAILS(TThemedWindow, teWindow, WindowParts)
TW_DETAILS(TThemedCategoryPanelGroup, teCategoryPanelGroup, CategoryPanelGroupParts)
TW_DETAILS(TThemedGrid, teGrid, GridParts)
TW_DETAILS(TThemedHint, teHint, HintParts)
TW_DETAILS(TThemedPanel, tePanel, PanelParts)
TW_DETAILS(TThemedTextLabel, teTextLabel, TextLabelParts)
#undef TW_DETAILS

bool TCustomStyleServices::GetElementMargins(HDC DC, const TThemedElementDetails& Details, TElementMargin ElementMargin,
                                             TElementMargins& Margins, int DPI) {
    if (ElementMargin != emContent) return false;
    const TRect bounds = Rect(0, 0, 100, 100);
    TRect content;
    if (!GetElementContentRect(DC, Details, bounds, content, DPI)) return false;
    Margins = {content.Left - bounds.Left, bounds.Right - content.Right, content.Top - bounds.Top,
               bounds.Bottom - content.Bottom};
    return true;
}

TColor TCustomStyleServices::ColorToRGB(TColor Color) {
    if (Color < 0) Color = GetSystemColor(Color);
    return vcl::ColorToRGB(Color);
}

// ---- TUxThemeStyle ----

TUxThemeStyle::~TUxThemeStyle() { UpdateThemes(); }

bool TUxThemeStyle::Enabled() const { return IsAppThemed() && IsThemeActive(); }

void TUxThemeStyle::UpdateThemes() {
    for (auto& [element, theme] : FThemes)
        if (theme) CloseThemeData(theme);
    FThemes.clear();
}

HTHEME TUxThemeStyle::Theme(TThemedElement Element) {
    if (!Enabled()) return 0;
    const char16_t* cls = ClassOf(Element);
    if (!cls) return 0;
    auto it = FThemes.find(Element);
    if (it != FThemes.end()) return it->second;
    const HTHEME theme = OpenThemeData(nullptr, reinterpret_cast<LPCWSTR>(cls));
    FThemes[Element] = theme;
    return theme;
}

bool TUxThemeStyle::DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R, const TRect* ClipRect,
                                int) {
    const RECT r = R;
    if (HTHEME theme = Theme(Details.Element)) {
        RECT clip = ClipRect ? RECT(*ClipRect) : r;
        return DrawThemeBackground(theme, DC, Details.Part, Details.State, &r, ClipRect ? &clip : nullptr) == S_OK;
    }
    const ClipTo clip(DC, ClipRect);
    return ClassicDrawElement(DC, Details, r);
}

bool TUxThemeStyle::DrawText(HDC DC, const TThemedElementDetails& Details, const rtl::String& S, TRect& R,
                             TTextFormat Flags, TColor Color, int) {
    RECT r = R;
    const UINT flags = TTextFormatFlags(Flags);
    if (HTHEME theme = Theme(Details.Element)) {
        DTTOPTS options{};
        options.dwSize = sizeof(options);
        if (Color != clNone) {
            options.dwFlags |= DTT_TEXTCOLOR;
            options.crText = COLORREF(ColorToRGB(Color));
        }
        if (Flags.Contains(tfCalcRect)) options.dwFlags |= DTT_CALCRECT;
        const HRESULT hr = DrawThemeTextEx(theme, DC, Details.Part, Details.State, reinterpret_cast<LPCWSTR>(S.utf16()),
                                           int(S.size()), flags & ~UINT(DT_CALCRECT), &r, &options);
        if (Flags.Contains(tfCalcRect)) R = r;
        return hr == S_OK;
    }
    return PlainText(*this, DC, Details, S, R, Flags, Color);
}

bool TUxThemeStyle::DrawEdge(HDC DC, const TThemedElementDetails& Details, const TRect& R, TElementEdges Edges,
                             TElementEdgeFlags Flags, TRect* ContentRect, int) {
    RECT r = R;
    const UINT edge = ElementEdgesToEdge(Edges), flags = ElementEdgeFlagsToFlags(Flags);
    if (HTHEME theme = Theme(Details.Element)) {
        RECT content = r;
        const bool ok = DrawThemeEdge(theme, DC, Details.Part, Details.State, &r, edge, flags, &content) == S_OK;
        if (ContentRect) *ContentRect = content;
        return ok;
    }
    const bool ok = ::DrawEdge(DC, &r, edge, flags | (ContentRect ? BF_ADJUST : 0)) != FALSE;
    if (ContentRect) *ContentRect = r;
    return ok;
}

bool TUxThemeStyle::DrawParentBackground(HWND Window, HDC Target, const TThemedElementDetails* Details,
                                         bool OnlyIfTransparent, const TRect* Bounds) {
    if (OnlyIfTransparent && Details && !HasTransparentParts(*Details)) return false;
    return PaintParentBehind(Window, Target, Bounds);
}

namespace {

bool PaintParentBehind(HWND Window, HDC Target, const TRect* Bounds) {
    const RECT bounds = Bounds ? RECT(*Bounds) : RECT{};
    return DrawThemeParentBackground(Window, Target, Bounds ? &bounds : nullptr) == S_OK;
}

} // namespace

bool TUxThemeStyle::GetElementSize(HDC DC, const TThemedElementDetails& Details, TElementSize ElementSize,
                                   TSize& Size, int DPI) {
    return GetElementSize(DC, Details, TRect(), ElementSize, Size, DPI);
}

bool TUxThemeStyle::GetElementSize(HDC DC, const TThemedElementDetails& Details, const TRect& R,
                                   TElementSize ElementSize, TSize& Size, int) {
    if (HTHEME theme = Theme(Details.Element)) {
        static const THEMESIZE kinds[] = {TS_MIN, TS_TRUE, TS_DRAW};
        const RECT r = R;
        SIZE s{};
        if (GetThemePartSize(theme, DC, Details.Part, Details.State, R.IsEmpty() ? nullptr : &r, kinds[ElementSize],
                             &s) != S_OK)
            return false;
        Size = s;
        return true;
    }
    return ClassicElementSize(Details, Size);
}

bool TUxThemeStyle::GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor,
                                    TColor& Color) {
    if (HTHEME theme = Theme(Details.Element)) {
        const int property = PropertyOf(ElementColor);
        COLORREF c = 0;
        if (!property || GetThemeColor(theme, Details.Part, Details.State, property, &c) != S_OK) return false;
        Color = TColor(c);
        return true;
    }
    return ClassicElementColor(Details, ElementColor, Color);
}

bool TUxThemeStyle::GetElementContentRect(HDC DC, const TThemedElementDetails& Details, const TRect& BoundingRect,
                                          TRect& ContentRect, int) {
    const RECT bounds = BoundingRect;
    if (HTHEME theme = Theme(Details.Element)) {
        RECT content{};
        if (GetThemeBackgroundContentRect(theme, DC, Details.Part, Details.State, &bounds, &content) != S_OK)
            return false;
        ContentRect = content;
        return true;
    }
    ContentRect = ClassicContentRect(Details, BoundingRect);
    return true;
}

bool TUxThemeStyle::GetElementRegion(const TThemedElementDetails& Details, const TRect& R, HRGN& Region, int) {
    const RECT r = R;
    if (HTHEME theme = Theme(Details.Element)) {
        HRGN region = nullptr;
        if (GetThemeBackgroundRegion(theme, nullptr, Details.Part, Details.State, &r, &region) != S_OK || !region)
            return false;
        Region = region;
        return true;
    }
    Region = CreateRectRgnIndirect(&r);
    return Region != nullptr;
}

bool TUxThemeStyle::HasTransparentParts(const TThemedElementDetails& Details) {
    if (HTHEME theme = Theme(Details.Element))
        return IsThemeBackgroundPartiallyTransparent(theme, Details.Part, Details.State) != FALSE;
    return ClassicTransparent(Details);
}

TColor TUxThemeStyle::GetStyleColor(TStyleColor Color) { return SystemStyleColor(Color); }

TColor TUxThemeStyle::GetStyleFontColor(TStyleFont Font) { return SystemFontColor(Font); }

namespace {

TColor SystemStyleColor(TStyleColor Color) {
    switch (Color) {
    case scBorder: return clWindowFrame;
    case scComboBox:
    case scEdit:
    case scGrid:
    case scListBox:
    case scListView:
    case scTreeView: return clWindow;
    case scComboBoxDisabled:
    case scEditDisabled:
    case scListBoxDisabled: return clBtnFace;
    case scHintGradientBase:
    case scHintGradientEnd: return clInfoBk;
    default: return clBtnFace;
    }
}

TColor SystemFontColor(TStyleFont Font) {
    switch (Font) {
    case sfButtonTextDisabled:
    case sfCheckBoxTextDisabled:
    case sfComboBoxItemDisabled:
    case sfEditBoxTextDisabled:
    case sfGroupBoxTextDisabled:
    case sfHeaderSectionTextDisabled:
    case sfListItemTextDisabled:
    case sfMenuItemTextDisabled:
    case sfPanelTextDisabled:
    case sfPopupMenuItemTextDisabled:
    case sfRadioButtonTextDisabled:
    case sfStatusPanelTextDisabled:
    case sfTabTextActiveDisabled:
    case sfTabTextInactiveDisabled:
    case sfTextLabelDisabled:
    case sfToolItemTextDisabled:
    case sfTreeItemTextDisabled:
    case sfWindowTextDisabled: return clGrayText;
    case sfComboBoxItemSelected:
    case sfEditBoxTextSelected:
    case sfGridItemSelected:
    case sfListItemTextSelected:
    case sfMenuItemTextSelected:
    case sfMenuItemTextHot:
    case sfPopupMenuItemTextHot:
    case sfPopupMenuItemTextSelected:
    case sfTreeItemTextSelected: return clHighlightText;
    case sfCaptionTextNormal:
    case sfSmCaptionTextNormal: return clCaptionText;
    case sfCaptionTextInactive:
    case sfSmCaptionTextInactive: return clInactiveCaptionText;
    case sfMenuItemTextNormal:
    case sfPopupMenuItemTextNormal: return clMenuText;
    case sfComboBoxItemNormal:
    case sfComboBoxItemFocused:
    case sfComboBoxItemHot:
    case sfEditBoxTextNormal:
    case sfEditBoxTextFocused:
    case sfEditBoxTextHot:
    case sfGridItemNormal:
    case sfListItemTextNormal:
    case sfListItemTextFocused:
    case sfListItemTextHot:
    case sfTreeItemTextNormal:
    case sfTreeItemTextFocused:
    case sfTreeItemTextHot:
    case sfWindowTextNormal:
    case sfTextLabelNormal:
    case sfTextLabelFocused:
    case sfTextLabelHot: return clWindowText;
    default: return clBtnText;
    }
}

} // namespace

// ---- style hooks ----

// Controls looked up before a registration change look again.
void TCustomStyleEngine::ForgetEmptyHooks() {
    std::erase_if(Hooks(), [](const auto& entry) { return !entry.second; });
}

std::map<std::type_index, std::vector<TCustomStyleEngine::THookClass>>& TCustomStyleEngine::Registry() {
    static auto* registry = new std::map<std::type_index, std::vector<THookClass>>;
    return *registry;
}

void TCustomStyleEngine::RegisterStyleHook(std::type_index ControlClass, std::type_index HookClass,
                                           TStyleHookFactory Create) {
    auto& hooks = Registry()[ControlClass];
    for (const THookClass& h : hooks)
        if (h.HookClass == HookClass)
            throw EStyleEngineException(QStringLiteral("Style hook class '%1' already registered for '%2'")
                                            .arg(QString::fromLatin1(HookClass.name()),
                                                 QString::fromLatin1(ControlClass.name())));
    hooks.push_back({HookClass, std::move(Create)});
    ForgetEmptyHooks();
}

void TCustomStyleEngine::UnRegisterStyleHook(std::type_index ControlClass, std::type_index HookClass) {
    auto it = Registry().find(ControlClass);
    if (it == Registry().end()) return;
    auto& hooks = it->second;
    hooks.erase(std::remove_if(hooks.begin(), hooks.end(), [&](const THookClass& h) { return h.HookClass == HookClass; }),
                hooks.end());
    if (hooks.empty()) Registry().erase(it);
    ForgetEmptyHooks();
}

std::vector<TCustomStyleEngine::THookClass> TCustomStyleEngine::StyleHooksOf(std::type_index ControlClass) {
    auto it = Registry().find(ControlClass);
    return it == Registry().end() ? std::vector<THookClass>{} : it->second;
}

std::map<TWinControl*, std::unique_ptr<TStyleHook>>& TCustomStyleEngine::Hooks() {
    static auto* hooks = new std::map<TWinControl*, std::unique_ptr<TStyleHook>>;
    return *hooks;
}

TStyleHook* TCustomStyleEngine::HookOf(TWinControl* Control) {
    if (!TStyleManager::IsCustomStyleActive()) return nullptr;
    auto& hooks = Hooks();
    auto it = hooks.find(Control);
    if (it == hooks.end()) {
        // Made once; a control without a registered class keeps an empty entry.
        const auto classes = StyleHooksOf(typeid(*Control));
        it = hooks.emplace(Control, classes.empty() ? nullptr : classes.back().Create(Control)).first;
    }
    return it->second.get();
}

void TCustomStyleEngine::ControlGone(TWinControl* Control) {
    auto& hooks = Hooks();
    auto it = hooks.find(Control);
    if (it == hooks.end()) return;
    std::unique_ptr<TStyleHook> hook = std::move(it->second);
    hooks.erase(it);
}

HWND TStyleHook::Handle() const { return FControl->HandleAllocated() ? FControl->Handle() : nullptr; }

void TStyleHook::Invalidate() {
    if (HWND h = Handle()) InvalidateRect(h, nullptr, TRUE);
}

bool TButtonStyleHook::HandleMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = Message.WParam ? HDC(Message.WParam) : BeginPaint(Handle(), &ps);
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.Font()->Assign(Control()->Font());
        DrawButton(&canvas, FMouseInControl);
        canvas.SetHandle(nullptr);
        if (!Message.WParam) EndPaint(Handle(), &ps);
        Message.Result = 0;
        return true;
    }
    case WM_ERASEBKGND: // the face covers it
        Message.Result = 1;
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: FPressed = Message.Msg != WM_LBUTTONUP; break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: FFocused = Message.Msg == WM_SETFOCUS; break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (Message.LParam) return false; // about a child
        FMouseInControl = Message.Msg == CM_MOUSEENTER;
        break;
    case WM_ENABLE: break;
    default: return false;
    }
    Invalidate();
    return false; // the control still handles the message
}

void TButtonStyleHook::DrawButton(TCanvas* Canvas, bool AMouseInControl) {
    TCustomStyleServices* style = StyleServices();
    TWinControl* control = Control();
    const TThemedElementDetails details =
        style->GetElementDetails(!control->Enabled() ? tbPushButtonDisabled
                                 : FPressed          ? tbPushButtonPressed
                                 : AMouseInControl   ? tbPushButtonHot
                                 : FFocused          ? tbPushButtonDefaulted
                                                     : tbPushButtonNormal);
    const TRect bounds = control->ClientRect();
    style->DrawParentBackground(Handle(), Canvas->Handle(), &details, true);
    style->DrawElement(Canvas->Handle(), details, bounds);
    TRect text = bounds;
    style->GetElementContentRect(Canvas->Handle(), details, bounds, text);
    style->DrawText(Canvas->Handle(), details, control->Caption(), text, TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine});
}

// ---- TCustomStyle ----

namespace {

void FillWith(HDC DC, const RECT& R, TColor Color) {
    HBRUSH brush = CreateSolidBrush(COLORREF(Color & 0xFFFFFF));
    FillRect(DC, &R, brush);
    DeleteObject(brush);
}

// An ellipse filling R, either colour clNone for none.
void Disc(HDC DC, const RECT& R, TColor Fill, TColor Border) {
    if (Fill == clNone && Border == clNone) return;
    HBRUSH brush = Fill == clNone ? HBRUSH(GetStockObject(NULL_BRUSH)) : CreateSolidBrush(COLORREF(Fill & 0xFFFFFF));
    const TColor edge = Border == clNone ? Fill : Border;
    HPEN pen = CreatePen(PS_SOLID, 1, COLORREF(edge & 0xFFFFFF));
    HGDIOBJ oldBrush = SelectObject(DC, brush), oldPen = SelectObject(DC, pen);
    Ellipse(DC, R.left, R.top, R.right, R.bottom);
    SelectObject(DC, oldBrush);
    SelectObject(DC, oldPen);
    DeleteObject(pen);
    if (Fill != clNone) DeleteObject(brush);
}

// A triangle pointing in Direction (0 up, 1 down, 2 left, 3 right), centred in R.
void Arrow(HDC DC, const RECT& R, int Direction, TColor Color) {
    const int size = std::max(2, std::min(R.right - R.left, R.bottom - R.top) / 4);
    const int cx = (R.left + R.right) / 2, cy = (R.top + R.bottom) / 2;
    for (int i = 0; i < size; ++i) {
        const int w = Direction == 0 || Direction == 2 ? i : size - 1 - i; // half width of this row
        RECT row = Direction < 2 ? RECT{cx - w, cy - size / 2 + i, cx + w + 1, cy - size / 2 + i + 1}
                                 : RECT{cx - size / 2 + i, cy - w, cx - size / 2 + i + 1, cy + w + 1};
        FillWith(DC, row, Color);
    }
}

// A caption button's mark, as the system draws it: the button's character of the "Marlett" face, as tall
// as the largest square centred in the button less a pixel all round, at that square's top-left. Without
// the face nothing is drawn.
void CaptionGlyph(HDC DC, const RECT& R, char16_t Char, TColor Color) {
    const int side = std::min(R.right - R.left, R.bottom - R.top);
    RECT square{R.left + (R.right - R.left - side) / 2, R.top + (R.bottom - R.top - side) / 2, 0, 0};
    square = RECT{square.left + 1, square.top + 1, square.left + side - 1, square.top + side - 1};
    if (square.bottom <= square.top) return;
    LOGFONTW lf{};
    lf.lfHeight = square.bottom - square.top;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    const char16_t face[] = u"Marlett";
    std::copy(std::begin(face), std::end(face), lf.lfFaceName);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return;
    HGDIOBJ old = SelectObject(DC, font);
    const COLORREF oldColour = SetTextColor(DC, COLORREF(Color & 0xFFFFFF));
    const int oldMode = SetBkMode(DC, TRANSPARENT);
    DrawTextW(DC, reinterpret_cast<LPCWSTR>(&Char), 1, &square, DT_SINGLELINE | DT_NOCLIP);
    SetBkMode(DC, oldMode);
    SetTextColor(DC, oldColour);
    SelectObject(DC, old);
    DeleteObject(font);
}

// The mark of the element's state drawn in the glyph colour: check marks, dots, arrows, plus and minus,
// and the caption buttons' marks.
void DrawGlyph(HDC DC, const TThemedElementDetails& D, const RECT& R, TColor Color) {
    const int cx = (R.left + R.right) / 2, cy = (R.top + R.bottom) / 2;
    const int half = std::max(1, std::min(R.right - R.left, R.bottom - R.top) / 4);
    const int group = (D.State - 1) / 4;
    const RECT centre{cx - half, cy - half, cx + half + 1, cy + half + 1};
    switch (D.Element) {
    case teButton:
        if (D.Part == 2 && group == 1) Disc(DC, centre, Color, Color);
        if (D.Part == 3 && (group == 1 || group == 3)) { // a check mark: a short and a long stroke
            for (int i = 0; i <= half; ++i) FillWith(DC, RECT{cx - half + i, cy + i - 1, cx - half + i + 1, cy + i + 1}, Color);
            for (int i = 0; i <= 2 * half; ++i)
                FillWith(DC, RECT{cx + i, cy + half - i - 1, cx + i + 1, cy + half - i + 1}, Color);
        }
        if (D.Part == 3 && group == 2) FillWith(DC, RECT{cx - half, cy - 1, cx + half + 1, cy + 1}, Color);
        if (D.Part == 3 && group == 4) { // excluded: a cross
            for (int i = -half; i <= half; ++i) {
                FillWith(DC, RECT{cx + i, cy + i, cx + i + 1, cy + i + 1}, Color);
                FillWith(DC, RECT{cx + i, cy - i, cx + i + 1, cy - i + 1}, Color);
            }
        }
        return;
    case teScrollBar:
        if (D.Part == 1) Arrow(DC, R, D.State > 16 ? D.State - 17 : group, Color);
        return;
    case teSpin: {
        static const int directions[] = {0, 1, 3, 2};
        if (D.Part >= 1 && D.Part <= 4) Arrow(DC, R, directions[D.Part - 1], Color);
        return;
    }
    case teComboBox:
        if (D.Part == 1 || D.Part == 6 || D.Part == 7) Arrow(DC, R, 1, Color);
        return;
    case teTreeview:
        if (D.Part == 2 || D.Part == 4) {
            FillWith(DC, RECT{cx - half, cy, cx + half + 1, cy + 1}, Color);
            if (D.State == 1) FillWith(DC, RECT{cx, cy - half, cx + 1, cy + half + 1}, Color);
        }
        return;
    case teMenu:
        if (D.Part == 11) FillWith(DC, centre, Color);
        if (D.Part == 16) Arrow(DC, R, 3, Color);
        return;
    case teWindow:
        // Minimise, maximise, close (also small and MDI), restore and help.
        switch (D.Part) {
        case 15: case 16: CaptionGlyph(DC, R, u'0', Color); break;
        case 17: CaptionGlyph(DC, R, u'1', Color); break;
        case 18: case 19: case 20: CaptionGlyph(DC, R, u'r', Color); break;
        case 21: case 22: CaptionGlyph(DC, R, u'2', Color); break;
        case 23: case 24: CaptionGlyph(DC, R, u's', Color); break;
        default: break;
        }
        return;
    default:
        return;
    }
}

} // namespace

bool TCustomStyle::DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R, const TRect* ClipRect,
                               int) {
    const RECT r = R;
    const ClipTo clip(DC, ClipRect);
    const TStyleElementLook* look = Look(Details);
    if (!look) return ClassicDrawElement(DC, Details, r);
    if (Details.Element == teButton && Details.Part == 2) { // radio buttons are round
        Disc(DC, r, look->Fill, look->Border);
    } else {
        if (look->Fill != clNone) FillWith(DC, r, look->Fill);
        if (look->Border != clNone) {
            HBRUSH brush = CreateSolidBrush(COLORREF(look->Border & 0xFFFFFF));
            FrameRect(DC, &r, brush);
            DeleteObject(brush);
        }
    }
    if (look->Glyph != clNone) DrawGlyph(DC, Details, r, look->Glyph);
    if (!look->Image.isEmpty())
        if (TPngImage* image = Image(look->Image)) {
            TCanvas canvas;
            canvas.SetHandle(DC);
            canvas.StretchDraw(R, image);
            canvas.SetHandle(nullptr);
        }
    return true;
}

TPngImage* TCustomStyle::Image(const rtl::String& Name) {
    auto it = FImages.find(Name);
    if (it == FImages.end()) {
        auto image = std::make_unique<TPngImage>();
        try {
            image->LoadFromFile(QDir(FData.Folder).filePath(Name));
        } catch (const rtl::Exception&) {
            image.reset(); // removed or spoilt since the style was loaded: drawn without it
        }
        it = FImages.emplace(Name, std::move(image)).first;
    }
    return it->second.get();
}

bool TCustomStyle::DrawText(HDC DC, const TThemedElementDetails& Details, const rtl::String& S, TRect& R,
                            TTextFormat Flags, TColor Color, int) {
    return PlainText(*this, DC, Details, S, R, Flags, Color);
}

bool TCustomStyle::DrawEdge(HDC DC, const TThemedElementDetails&, const TRect& R, TElementEdges Edges,
                            TElementEdgeFlags Flags, TRect* ContentRect, int) {
    // The classic edge, in the style's system colours, never through a patched DrawEdge.
    RECT r = R;
    const bool ok = TwClassicDrawEdge(DC, &r, ElementEdgesToEdge(Edges),
                               ElementEdgeFlagsToFlags(Flags) | (ContentRect ? BF_ADJUST : 0)) != FALSE;
    if (ContentRect) *ContentRect = r;
    return ok;
}

bool TCustomStyle::DrawParentBackground(HWND Window, HDC Target, const TThemedElementDetails* Details,
                                        bool OnlyIfTransparent, const TRect* Bounds) {
    if (OnlyIfTransparent && Details && !HasTransparentParts(*Details)) return false;
    return PaintParentBehind(Window, Target, Bounds);
}

bool TCustomStyle::GetElementSize(HDC DC, const TThemedElementDetails& Details, TElementSize ElementSize, TSize& Size,
                                  int DPI) {
    return GetElementSize(DC, Details, TRect(), ElementSize, Size, DPI);
}

bool TCustomStyle::GetElementSize(HDC, const TThemedElementDetails& Details, const TRect&, TElementSize, TSize& Size,
                                  int) {
    if (const TStyleElementLook* look = Look(Details); look && look->Width > 0) {
        Size = SIZE{look->Width, look->Height};
        return true;
    }
    return ClassicElementSize(Details, Size);
}

bool TCustomStyle::GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor, TColor& Color) {
    if (const TStyleElementLook* look = Look(Details)) {
        const TColor given = ElementColor == ecFillColor       ? look->Fill
                             : ElementColor == ecBorderColor    ? look->Border
                             : ElementColor == ecTextColor      ? look->Text
                             : ElementColor == ecGlyphTextColor ? look->Glyph
                                                                : clNone;
        if (given != clNone) {
            Color = given;
            return true;
        }
    }
    TColor classic = clNone;
    if (!ClassicElementColor(Details, ElementColor, classic)) return false;
    Color = GetSystemColor(classic);
    return true;
}

bool TCustomStyle::GetElementContentRect(HDC, const TThemedElementDetails& Details, const TRect& BoundingRect,
                                         TRect& ContentRect, int) {
    if (WindowButtonContentRect(Details, BoundingRect, ContentRect)) return true;
    // A style's element has a one-pixel border where it draws one, and nothing else around its content.
    if (const TStyleElementLook* look = Look(Details)) {
        ContentRect = BoundingRect;
        if (look->Border != clNone) ContentRect.Inflate(-1, -1);
        return true;
    }
    ContentRect = ClassicContentRect(Details, BoundingRect);
    return true;
}

bool TCustomStyle::GetElementRegion(const TThemedElementDetails& Details, const TRect& R, HRGN& Region, int) {
    const RECT r = R;
    Region = CreateRectRgnIndirect(&r);
    if (Region && Details.Element == teWindow && Details.Part == WindowCaptionPart && R.Width() > 4 && R.Height() > 2) {
        // A caption rounds the window's top corners: two pixels off the first row, one off the second.
        for (const RECT& cut : {RECT{r.left, r.top, r.left + 2, r.top + 1}, RECT{r.right - 2, r.top, r.right, r.top + 1},
                                RECT{r.left, r.top + 1, r.left + 1, r.top + 2}, RECT{r.right - 1, r.top + 1, r.right, r.top + 2}}) {
            HRGN c = CreateRectRgnIndirect(&cut);
            CombineRgn(Region, Region, c, RGN_DIFF);
            DeleteObject(c);
        }
    }
    return Region != nullptr;
}

bool TCustomStyle::HasTransparentParts(const TThemedElementDetails& Details) {
    const TStyleElementLook* look = Look(Details);
    return look ? look->Fill == clNone : ClassicTransparent(Details);
}

TColor TCustomStyle::GetSystemColor(TColor Color) {
    if ((Color & clSystemColor) != clSystemColor) return Color;
    const auto it = FData.SystemColors.find(int(Color & 0xFF));
    return it == FData.SystemColors.end() ? Color : it->second;
}

TColor TCustomStyle::GetStyleColor(TStyleColor Color) {
    const auto it = FData.StyleColors.find(Color);
    return it != FData.StyleColors.end() ? it->second : GetSystemColor(SystemStyleColor(Color));
}

TColor TCustomStyle::GetStyleFontColor(TStyleFont Font) {
    const auto it = FData.FontColors.find(Font);
    return it != FData.FontColors.end() ? it->second : GetSystemColor(SystemFontColor(Font));
}

// ---- TStyleManager ----

namespace {

std::vector<std::unique_ptr<TCustomStyle>>& LoadedStyles() {
    static auto* styles = new std::vector<std::unique_ptr<TCustomStyle>>;
    return *styles;
}

BOOL CALLBACK StyleSysColor(int Index, COLORREF* Color) {
    const TColor c = TStyleManager::ActiveStyle()->GetSystemColor(TColor(clSystemColor | Index));
    if ((c & clSystemColor) == clSystemColor) return FALSE;
    *Color = COLORREF(c & 0xFFFFFF);
    return TRUE;
}

BOOL CALLBACK CollectWindow(HWND Window, LPARAM List) {
    reinterpret_cast<std::vector<HWND>*>(List)->push_back(Window);
    return TRUE;
}

// The element class of a visual-styles class name ("Button", "Edit", ...), any case.
bool ElementOfClass(LPCWSTR Class, TThemedElement& Element) {
    if (!Class) return false;
    const std::u16string_view name(reinterpret_cast<const char16_t*>(Class));
    for (int e = teButton; e <= teTaskDialog; ++e) {
        const std::u16string_view known(ClassOf(TThemedElement(e)));
        if (known.size() == name.size() &&
            std::equal(known.begin(), known.end(), name.begin(), [](char16_t a, char16_t b) {
                return a == (b >= u'a' && b <= u'z' ? char16_t(b - u'a' + u'A') : b);
            })) {
            Element = TThemedElement(e);
            return true;
        }
    }
    return false;
}

// While a custom style is active the standard controls of user32 (push buttons, check boxes, radio
// buttons, group boxes, edit frames, the combo box's button) ask the style to draw their parts.
BOOL CALLBACK StylePart(HWND, HDC DC, LPCWSTR Class, int Part, int State, const RECT* R) {
    TCustomStyleServices* style = TStyleManager::ActiveStyle();
    TThemedElement element;
    if (style->IsSystemStyle() || !R || !ElementOfClass(Class, element)) return FALSE;
    return style->DrawElement(DC, {element, Part, State}, TRect(*R));
}

// Every window of this thread hears of the switch and repaints; the list is taken first because a
// window may create or destroy others while it handles the notification.
void AnnounceStyleChange() {
    std::vector<HWND> tops, all;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, LPARAM(&tops));
    for (HWND top : tops) {
        all.push_back(top);
        EnumChildWindows(top, CollectWindow, LPARAM(&all));
    }
    // The system colours changed with the style: controls resolve their colours again.
    for (HWND top : tops)
        if (IsWindow(top)) SendMessageW(top, WM_SYSCOLORCHANGE, 0, 0);
    for (HWND window : all)
        if (IsWindow(window)) SendMessageW(window, CM_STYLECHANGED, 0, 0);
    for (HWND top : tops)
        if (IsWindow(top)) RedrawWindow(top, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

} // namespace

TCustomStyleServices* TStyleManager::SystemStyle() {
    static auto* system = new TUxThemeStyle;
    return system;
}

TCustomStyleServices* TStyleManager::ActiveStyle() { return FActiveStyle ? FActiveStyle : SystemStyle(); }

std::vector<rtl::String> TStyleManager::StyleNames() {
    std::vector<rtl::String> names{SystemStyle()->Name()};
    for (const auto& style : LoadedStyles()) names.push_back(style->Name());
    return names;
}

TCustomStyleServices* TStyleManager::Style(const rtl::String& Name) {
    if (SystemStyle()->Name().compare(Name, Qt::CaseInsensitive) == 0) return SystemStyle();
    for (const auto& style : LoadedStyles())
        if (style->Name().compare(Name, Qt::CaseInsensitive) == 0) return style.get();
    return nullptr;
}

bool TStyleManager::IsValidStyle(const rtl::String& FileName) {
    try {
        ReadStyleFile(FileName);
        return true;
    } catch (const EStyleEngineException&) {
        return false;
    }
}

TCustomStyleServices* TStyleManager::LoadFromFile(const rtl::String& FileName) {
    TStyleFileData data = ReadStyleFile(FileName);
    if (Style(data.Name))
        throw EStyleEngineException(QStringLiteral("Style '%1' already registered").arg(data.Name));
    LoadedStyles().push_back(std::make_unique<TCustomStyle>(std::move(data)));
    return LoadedStyles().back().get();
}

void TStyleManager::SetStyle(const rtl::String& Name) {
    TCustomStyleServices* style = Style(Name);
    if (!style) throw EStyleEngineException(QStringLiteral("Style '%1' not found").arg(Name));
    SetStyle(style);
}

void TStyleManager::SetStyle(TCustomStyleServices* Style) {
    if (!Style || Style == ActiveStyle()) return;
    FActiveStyle = Style;
    TwSetSysColorProvider(Style->IsSystemStyle() ? nullptr : StyleSysColor);
    // Back in the system style the visual styles paint the controls again, or nothing does.
    TwSetStylePartPainter(Style->IsSystemStyle() ? nullptr : StylePart);
    AnnounceStyleChange();
}

bool TStyleManager::TrySetStyle(const rtl::String& Name, bool ShowErrorDialog) {
    try {
        SetStyle(Name);
        return true;
    } catch (const EStyleEngineException& e) {
        if (ShowErrorDialog)
            MessageBoxW(nullptr, reinterpret_cast<LPCWSTR>(e.Message().utf16()), nullptr, MB_OK | MB_ICONERROR);
        return false;
    }
}

TCustomStyleEngine* TStyleManager::Engine() {
    static TCustomStyleEngine engine;
    return &engine;
}

TCustomStyleServices* StyleServices() { return TStyleManager::ActiveStyle(); }

} // namespace vcl
