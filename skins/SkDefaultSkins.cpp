// skins/SkDefaultSkins.cpp: the built-in skins and the brushed-metal texture.
#include "skins/SkDefaultSkins.h"

#include "win/windows.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace skins {

using namespace vcl;

namespace {

struct TEntry {
    int Kind = 0;
    TColor C1 = clNone, C2 = clNone, C3 = clNone, C4 = clNone;
};

void Set(TSkSkinOptions* S, TSkSkinComponentsType Component, TSkSkinStatesType State, TEntry Body,
         TEntry Borders = {}, TColor Text = clNone) {
    TSkSkinOptionCategory* cat = S->Options(Component, State);
    cat->Body()->Fill(Body.Kind, Body.C1, Body.C2, Body.C3, Body.C4);
    cat->Borders()->Fill(Borders.Kind, Borders.C1, Borders.C2, Borders.C3, Borders.C4);
    cat->SetTextColor(Text);
}

// The common rows of a built-in skin, from a handful of colours and kinds.
struct TLook {
    int BarKind;
    TColor Bar1, Bar2;           // docks, toolbars, status bar; Bar2 also the panels' face
    TColor ToolbarBorder;        // clNone: toolbars without a frame
    TColor Popup, PopupBorder, Gutter, Separator;
    int ItemKind;
    TColor Hot1, Hot2, Pushed1, Pushed2, Checked1, Checked2, ItemFrame;
    int ButtonKind;
    TColor Button1, Button2, ButtonFrame;
    TColor EditBorder, Text, GrayText;
};

void FillLook(TSkSkinOptions* S, const TLook& L) {
    const TEntry bar{L.BarKind, L.Bar1, L.Bar2, L.Bar2, L.Bar1};
    const TEntry face{0, L.Bar2};
    const TEntry noFrame{};
    for (auto c : {skncDock, skncMenuBar, skncStatusBar}) Set(S, c, sknsNormal, bar, noFrame, L.Text);
    const TEntry toolbarFrame = L.ToolbarBorder == clNone ? noFrame : TEntry{1, L.ToolbarBorder, L.ToolbarBorder};
    Set(S, skncToolbar, sknsNormal, bar, toolbarFrame, L.Text);
    Set(S, skncTabToolbar, sknsNormal, bar, toolbarFrame, L.Text);
    for (auto c : {skncPanel, skncDockablePanel, skncTabBackground, skncSplitter}) Set(S, c, sknsNormal, face);
    Set(S, skncPopup, sknsNormal, {0, L.Popup}, {0, L.PopupBorder, L.PopupBorder}, L.Text);
    Set(S, skncGutter, sknsNormal, {0, L.Gutter});
    Set(S, skncSeparator, sknsNormal, {0, L.Separator});
    Set(S, skncToolbarGrip, sknsNormal, {0, L.GrayText});
    Set(S, skncStatusBarGrip, sknsNormal, {0, L.GrayText});
    Set(S, skncWindow, sknsNormal, face, {0, L.ToolbarBorder == clNone ? L.Separator : L.ToolbarBorder, L.Separator, L.Bar2, L.Bar2});
    for (auto c : {skncWindowTitleBar, skncDockablePanelTitleBar})
        Set(S, c, sknsNormal, {1, L.Pushed1, L.Pushed2}, noFrame, L.Text);

    const TEntry frame{1, L.ItemFrame, L.ItemFrame};
    const TEntry hot{L.ItemKind, L.Hot1, L.Hot2, L.Hot2, L.Hot1};
    const TEntry pushed{L.ItemKind, L.Pushed1, L.Pushed2, L.Pushed2, L.Pushed1};
    const TEntry checked{L.ItemKind, L.Checked1, L.Checked2, L.Checked2, L.Checked1};
    const TEntry checkedHot{L.ItemKind, L.Hot2, L.Checked2, L.Checked2, L.Hot2};
    Set(S, skncToolbarItem, sknsNormal, {}, noFrame, L.Text);
    Set(S, skncToolbarItem, sknsDisabled, {}, noFrame, L.GrayText);
    Set(S, skncToolbarItem, sknsHotTrack, hot, frame, L.Text);
    Set(S, skncToolbarItem, sknsPushed, pushed, frame, L.Text);
    Set(S, skncToolbarItem, sknsChecked, checked, frame, L.Text);
    Set(S, skncToolbarItem, sknsCheckedAndHotTrack, checkedHot, frame, L.Text);

    const TEntry button{L.ButtonKind, L.Button1, L.Button2, L.Button2, L.Button1};
    const TEntry buttonFrame{1, L.ButtonFrame, L.ButtonFrame};
    Set(S, skncButton, sknsNormal, button, buttonFrame, L.Text);
    Set(S, skncButton, sknsDisabled, face, {1, L.GrayText, L.GrayText}, L.GrayText);
    Set(S, skncButton, sknsHotTrack, {L.ButtonKind, L.Hot1, L.Hot2, L.Hot2, L.Hot1}, frame, L.Text);
    Set(S, skncButton, sknsPushed, {L.ButtonKind, L.Pushed1, L.Pushed2, L.Pushed2, L.Pushed1}, frame, L.Text);
    Set(S, skncButton, sknsChecked, {L.ButtonKind, L.Checked1, L.Checked2, L.Checked2, L.Checked1}, frame, L.Text);
    Set(S, skncButton, sknsCheckedAndHotTrack, {L.ButtonKind, L.Hot2, L.Checked2, L.Checked2, L.Hot2}, frame, L.Text);
    S->CopyOptions(skncButton, skncEditButton);

    Set(S, skncEditFrame, sknsNormal, {}, {0, L.EditBorder, L.EditBorder});
    Set(S, skncEditFrame, sknsDisabled, {}, {0, L.GrayText, L.GrayText});
    Set(S, skncEditFrame, sknsHotTrack, {}, {0, L.ItemFrame, L.ItemFrame});
    Set(S, skncHeader, sknsNormal, button, {0, clNone, L.ButtonFrame}, L.Text);
    Set(S, skncHeader, sknsDisabled, button, {0, clNone, L.ButtonFrame}, L.GrayText);
    Set(S, skncHeader, sknsHotTrack, hot, {0, clNone, L.ButtonFrame}, L.Text);
    Set(S, skncHeader, sknsPushed, pushed, {0, clNone, L.ButtonFrame}, L.Text);
    Set(S, skncLabel, sknsNormal, {}, noFrame, L.Text);
    Set(S, skncLabel, sknsDisabled, {}, noFrame, L.GrayText);

    Set(S, skncTab, sknsNormal, button, buttonFrame, L.Text);
    Set(S, skncTab, sknsDisabled, button, buttonFrame, L.GrayText);
    Set(S, skncTab, sknsHotTrack, hot, buttonFrame, L.Text);
    for (auto s : {sknsPushed, sknsChecked, sknsCheckedAndHotTrack}) Set(S, skncTab, s, {0, L.Popup}, buttonFrame, L.Text);

    Set(S, skncProgressBar, sknsNormal, {0, L.Popup}, {0, L.EditBorder, L.EditBorder});
    Set(S, skncProgressBar, sknsHotTrack, {1, L.Checked1, L.ItemFrame}, {});
    S->Options(skncTrackBarButton, sknsNormal)->Assign(S->Options(skncButton, sknsNormal));
    S->Options(skncTrackBarButton, sknsPushed)->Assign(S->Options(skncButton, sknsPushed));
}

// The copies most skins make: menu items like toolbar items, radio buttons like check boxes, track bars
// like progress bars; check boxes like CheckSource.
void CopyCommon(TSkSkinOptions* S, TSkSkinComponentsType CheckSource) {
    S->CopyOptions(skncToolbarItem, skncMenuBarItem);
    S->CopyOptions(skncToolbarItem, skncMenuItem);
    S->CopyOptions(CheckSource, skncCheckBox);
    S->CopyOptions(skncCheckBox, skncRadioButton);
    S->CopyOptions(skncProgressBar, skncTrackBar);
}

// List items from a hot item: lighter when hot, darker when checked and hot.
void DeriveListItems(TSkSkinOptions* S, TSkSkinComponentsType From, int Lighter, int Darker) {
    for (auto s : {sknsChecked, sknsHotTrack, sknsCheckedAndHotTrack})
        S->Options(skncListItem, s)->Assign(S->Options(From, sknsHotTrack));
    S->Options(skncListItem, sknsHotTrack)->Body()->Lighten(Lighter);
    S->Options(skncListItem, sknsHotTrack)->Borders()->Lighten(Lighter);
    S->Options(skncListItem, sknsCheckedAndHotTrack)->Body()->Lighten(-Darker);
    S->Options(skncListItem, sknsCheckedAndHotTrack)->Borders()->Lighten(-Darker);
}

void SetText(TSkSkinOptions* S, std::initializer_list<TSkSkinComponentsType> Components,
             std::initializer_list<TSkSkinStatesType> States, TColor Color) {
    for (auto c : Components)
        for (auto s : States) S->Options(c, s)->SetTextColor(Color);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Registration

void RegisterDefaultSkins() {
    TSkSkinsList* list = GetSkinManager()->SkinsList();
    list->AddSkin(QStringLiteral("Aluminum"), TSkSkinOptions::ClassOf<TSkAluminumSkin>());
    list->AddSkin(QStringLiteral("Athen"), TSkSkinOptions::ClassOf<TSkAthenSkin>());
    list->AddSkin(QStringLiteral("Dream"), TSkSkinOptions::ClassOf<TSkDreamSkin>());
    list->AddSkin(QStringLiteral("Eos"), TSkSkinOptions::ClassOf<TSkEosSkin>());
    list->AddSkin(QStringLiteral("Human"), TSkSkinOptions::ClassOf<TSkHumanSkin>());
    list->AddSkin(QStringLiteral("Leopard"), TSkSkinOptions::ClassOf<TSkLeopardSkin>());
    list->AddSkin(QStringLiteral("Xito"), TSkSkinOptions::ClassOf<TSkXitoSkin>());
    list->AddSkin(QStringLiteral("Office XP"), TSkSkinOptions::ClassOf<TSkOfficeXPSkin>());
    list->AddSkin(QStringLiteral("Office 2003"), TSkSkinOptions::ClassOf<TSkOffice2003Skin>());
    list->AddSkin(QStringLiteral("Office 2007 Blue"), TSkSkinOptions::ClassOf<TSkOffice2007BlueSkin>());
    list->AddSkin(QStringLiteral("Office 2007 Black"), TSkSkinOptions::ClassOf<TSkOffice2007BlackSkin>());
    list->AddSkin(QStringLiteral("Office 2007 Silver"), TSkSkinOptions::ClassOf<TSkOffice2007SilverSkin>());
}

// ---------------------------------------------------------------------------------------------------
// Aluminum

TSkAluminumSkin::~TSkAluminumSkin() { FreeBrushedMetal(); }

void TSkAluminumSkin::FillColors() {
    TSkLunaScheme scheme = FDefaultColorScheme == lusUnknown ? DetectLunaScheme() : FDefaultColorScheme;
    switch (scheme) {
    case lusBlue: FColors = {0xC56A31, 0xE0D7D1, 0xE2B598, 0xEED2C1}; break;
    case lusGreen: FColors = {0x70A093, 0xD8DCDB, 0xB8D0C9, 0xD4E3DF}; break;
    default: FColors = {0xBFB4B2, 0xDDDCDC, 0xDFDAD9, 0xECE9E8}; break;   // metallic, also when unknown
    }
    FRoughness = 12;
    FLightMetalColor = 0xC7C7C7;
    FDarkMetalColor = 0xDFDFDF;
}

void TSkAluminumSkin::FillOptions() {
    SetSkinName(QStringLiteral("Aluminum"));
    FillColors();
    const TColor f0 = FColors[0], f1 = FColors[1], f2 = FColors[2], f3 = FColors[3];
    FillLook(this, {0, clWhite, clWhite, f0, 0xF7F7F7, 0x9F9F9F, 0xE7E7E7, 0xB0B0B0, 0, f3, f3, f2, f2, f1, f1, f0, 1,
                    0xEFEFEF, 0xD1D1D1, 0x9F9F9F, 0x9F9F9F, clBlack, clGray});
    Set(this, skncDock, sknsNormal, {0, clWhite});
    Set(this, skncButton, sknsNormal, {1, 0xEFEFEF, 0xD1D1D1}, {1, 0x9F9F9F, 0x9F9F9F, 0xF7F7F7, 0xC7C7C7}, clBlack);
    Set(this, skncButton, sknsPushed, {1, 0xD1D1D1, 0xEFEFEF}, {1, 0x9F9F9F, 0x9F9F9F, 0xC7C7C7, 0xF7F7F7}, clBlack);
    Set(this, skncToolbarItem, sknsHotTrack, {0, f3}, {1, f0, f0}, clBlack);
    Set(this, skncEditFrame, sknsNormal, {}, {1, clNone, clNone, 0x9F9F9F, 0x9F9F9F});
    for (auto c : {skncPanel, skncTab}) Options(c)->Borders()->Fill(1, f0, f0, clNone, clNone);

    CopyOptions(skncToolbar, skncMenuBar);
    CopyCommon(this, skncButton);
    CopyOptions(skncButton, skncEditButton);
    Options(skncEditButton, sknsNormal)->Reset();
    DeriveListItems(this, skncToolbarItem, 20, 20);
}

void TSkAluminumSkin::SetDefaultColorScheme(TSkLunaScheme Value) {
    if (Value == FDefaultColorScheme) return;
    FDefaultColorScheme = Value;
    Reset(false);
    FillOptions();
}

TColor TSkAluminumSkin::GetTextureColor(TSkSkinComponentsType Component) const {
    switch (Component) {
    case skncDock:
    case skncPanel:
    case skncSplitter:
    case skncStatusBar:
    case skncTabToolbar: return FLightMetalColor;
    case skncMenuBar:
    case skncToolbar: return FDarkMetalColor;
    default: return clNone;
    }
}

void TSkAluminumSkin::PaintBackground(TCanvas* ACanvas, const TRect& ARect, TSkSkinComponentsType Component,
                                      TSkSkinStatesType State, bool Background, bool Borders, bool Vertical,
                                      TAnchors ForceRectBorders) {
    const TColor texture = GetTextureColor(Component);
    if (texture == clNone) {
        TSkSkinOptions::PaintBackground(ACanvas, ARect, Component, State, Background, Borders, Vertical, ForceRectBorders);
        return;
    }
    TSkSkinOptionCategory* category = Options(Component, State);
    const bool drawBorders = Borders && !category->Borders()->IsEmpty();
    if (Background && !category->Body()->IsEmpty()) {
        TRect r = ARect;
        if (drawBorders) r.Inflate(-1, -1);
        PaintBrushedMetal(ACanvas->Handle(), TPoint(0, 0), r, texture, FRoughness);
    }
    if (drawBorders) PaintSkinBorders(ACanvas, ARect, category, ForceRectBorders);
}

// ---------------------------------------------------------------------------------------------------
// Athen, Dream, Eos, Human, Leopard, Xito

void TSkAthenSkin::FillOptions() {
    SetSkinName(QStringLiteral("Athen"));
    FillLook(this, {1, 0xF6EEE9, 0xE2D3C8, 0xBFA58F, 0xFCFAF8, 0x9C8472, 0xEFE4DC, 0xD0BBAA, 1, 0xFCEBDD, 0xF2CDAE,
                    0xE8B991, 0xDB9E6B, 0xF5DCC6, 0xEBC7A6, 0xB27C4F, 1, 0xFBF7F4, 0xE3D6CC, 0xA88F7A, 0xA88F7A,
                    0x40302A, 0x9A8D84});
    CopyOptions(skncToolbar, skncMenuBar);
    CopyCommon(this, skncButton);
    DeriveListItems(this, skncToolbarItem, 30, 30);
}

void TSkDreamSkin::FillOptions() {
    SetSkinName(QStringLiteral("Dream"));
    FillLook(this, {5, 0xF7EEF3, 0xE5CFDA, 0xB98FA6, 0xFDF9FB, 0x9E7189, 0xF1E3EA, 0xD6B4C6, 5, 0xF9E4F0, 0xEDBFD8,
                    0xE0A2C3, 0xD184AD, 0xF3D3E4, 0xE8B7D1, 0xA9517F, 5, 0xFBF5F8, 0xE8D6DF, 0xAC8598, 0xAC8598,
                    0x3C2233, 0x9C8792});
    CopyOptions(skncToolbar, skncMenuBar);
    CopyCommon(this, skncButton);
    DeriveListItems(this, skncToolbarItem, 20, 20);
}

void TSkEosSkin::FillOptions() {
    SetSkinName(QStringLiteral("Eos"));
    FillLook(this, {1, 0x4A4A4A, 0x2E2E2E, 0x1C1C1C, 0x353535, 0x5A5A5A, 0x2A2A2A, 0x505050, 1, 0x5C5C5C, 0x444444,
                    0x2A2A2A, 0x3C3C3C, 0x4F4F4F, 0x3D3D3D, 0x68CAE6, 1, 0x565656, 0x3A3A3A, 0x1C1C1C, 0x5A5A5A,
                    0xEEEEEE, 0x8C8C8C});
    CopyOptions(skncToolbar, skncMenuBar);
    CopyCommon(this, skncButton);
    DeriveListItems(this, skncToolbarItem, 30, 30);
    const auto items = {skncMenuBarItem, skncMenuItem, skncToolbarItem, skncButton, skncCheckBox,
                        skncRadioButton, skncEditButton, skncTab, skncHeader};
    SetText(this, items, {sknsNormal, sknsPushed, sknsChecked}, 0xEEEEEE);
    SetText(this, items, {sknsHotTrack, sknsCheckedAndHotTrack}, 0x68CAE6);
}

void TSkHumanSkin::FillOptions() {
    SetSkinName(QStringLiteral("Human"));
    FillLook(this, {1, 0xE3EEF2, 0xC8DDE5, 0x8CA7B3, 0xF5FAFC, 0x7393A3, 0xDDEAEF, 0xA9C2CC, 1, 0x74B7F5, 0x2E8AE8,
                    0x1C6CC4, 0x2E8AE8, 0x8CC6F7, 0x5AA8EE, 0x1E4B8F, 1, 0xF1F7F9, 0xD3E3EA, 0x7E9AA7, 0x7E9AA7,
                    0x1E2A30, 0x8A9A9F});
    Options(skncWindowTitleBar)->SetTextColor(clWhite);
    CopyOptions(skncToolbar, skncMenuBar);
    CopyCommon(this, skncButton);
    DeriveListItems(this, skncMenuBarItem, 20, 20);
}

void TSkHumanSkin::PaintBackground(TCanvas* ACanvas, const TRect& ARect, TSkSkinComponentsType Component,
                                   TSkSkinStatesType State, bool Background, bool Borders, bool Vertical,
                                   TAnchors ForceRectBorders) {
    TSkSkinOptions::PaintBackground(ACanvas, ARect, Component, State, Background, Borders, Vertical, ForceRectBorders);
    if (Component != skncTab || State == sknsNormal || State == sknsDisabled) return;
    const TRect& r = ARect;
    DrawColoredLine(ACanvas, r.Left + 2, r.Top, r.Right - 2, r.Top, 0x1E4B8F);
    DrawColoredLine(ACanvas, r.Left + 1, r.Top + 1, r.Right - 1, r.Top + 1, 0x1975FF);
    DrawColoredLine(ACanvas, r.Left, r.Top + 2, r.Right, r.Top + 2, 0x1975FF);
}

void TSkLeopardSkin::FillOptions() {
    SetSkinName(QStringLiteral("Leopard"));
    FillLook(this, {1, 0xE8E8E8, 0xC4C4C4, 0x8A8A8A, 0xF5F5F5, 0x8E8E8E, 0xEDEDED, 0xBDBDBD, 1, 0xF3C98C, 0xE8A24F,
                    0xD97F2C, 0xC4661A, 0xE8A24F, 0xD97F2C, 0xA85A1A, 5, 0xFFFFFF, 0xF0F0F0, 0x8E8E8E, 0x8E8E8E,
                    clBlack, 0x8C8C8C});
    CopyCommon(this, skncButton);
    DeriveListItems(this, skncButton, 30, 20);
    SetText(this, {skncMenuBarItem, skncMenuItem, skncToolbarItem}, {sknsPushed, sknsChecked}, clWhite);
}

void TSkLeopardSkin::PaintBackground(TCanvas* ACanvas, const TRect& ARect, TSkSkinComponentsType Component,
                                     TSkSkinStatesType State, bool Background, bool Borders, bool Vertical,
                                     TAnchors ForceRectBorders) {
    TSkSkinOptions::PaintBackground(ACanvas, ARect, Component, State, Background, Borders, Vertical, ForceRectBorders);
    if (Component != skncTabBackground) return;
    DrawColoredLine(ACanvas, ARect.Left, ARect.Top, ARect.Right, ARect.Top, 0xDB9D79);
    DrawColoredLine(ACanvas, ARect.Left, ARect.Top + 1, ARect.Right, ARect.Top + 1, 0xFAEEAF);
}

void TSkXitoSkin::FillOptions() {
    SetSkinName(QStringLiteral("Xito"));
    FillLook(this, {5, 0xF4F4F4, 0xE2E2E2, 0xA8A8A8, 0xFBFBFB, 0x9A9A9A, 0xEEEEEE, 0xC8C8C8, 5, 0xFFFFFF, 0xF0F0F0,
                    0xD0D0D0, 0xE0E0E0, 0xF2F2F2, 0xDADADA, 0x7A7A7A, 5, 0xFFFFFF, 0xE6E6E6, 0x9A9A9A, 0x9A9A9A,
                    clBlack, 0x8C8C8C});
    CopyOptions(skncToolbar, skncMenuBar);
    CopyCommon(this, skncButton);
    Set(this, skncCheckBox, sknsChecked, {5, 0xFFFFFF, 0xDADADA, 0xD0D0D0, 0xE0E0E0}, {1, 0x7A7A7A, 0x7A7A7A});
    CopyOptions(skncButton, skncEditButton);
    Options(skncEditButton, sknsNormal)->Reset();
    for (auto s : {sknsDisabled, sknsHotTrack, sknsPushed, sknsChecked, sknsCheckedAndHotTrack})
        Options(skncEditButton, s)->Borders()->SetSkinType(0);
    DeriveListItems(this, skncButton, 20, 20);
}

// ---------------------------------------------------------------------------------------------------
// Office XP: every colour from the system colours

void TSkOfficeXPSkin::FillOptions() {
    SetSkinName(QStringLiteral("Office XP"));
    SetOfficeIcons(true);
    SetOfficeMenu(true);
    SetOfficeStatusBar(true);
    const TColor bar = BlendColors(clWindow, clBtnFace, 165);
    const TColor hot = LightenColor(BlendColors(clHighlight, clWindow, 30), -15);
    const TColor pushed = BlendColors(clHighlight, clWindow, 50);
    const TColor checked = BlendColors(clHighlight, clWindow, 20);
    const TColor frame = ColorToRGB(clHighlight);
    const TColor face = ColorToRGB(clBtnFace), shadow = ColorToRGB(clBtnShadow);
    FillLook(this, {0, face, face, clNone, BlendColors(clWindow, clBtnFace, 143), shadow, bar, shadow, 0, hot, hot,
                    pushed, pushed, checked, checked, frame, 0, face, face, shadow, shadow, ColorToRGB(clBtnText),
                    ColorToRGB(clGrayText)});
    Set(this, skncToolbar, sknsNormal, {0, bar});
    Options(skncEditButton, sknsPushed)->SetTextColor(clHighlightText);
    CopyOptions(skncToolbar, skncMenuBar);
    CopyCommon(this, skncToolbarItem);
    DeriveListItems(this, skncToolbarItem, 20, 20);
}

// ---------------------------------------------------------------------------------------------------
// Office 2003

void TSkOffice2003Skin::FillColors() {
    const TSkLunaScheme scheme = FDefaultColorScheme == lusUnknown ? DetectLunaScheme() : FDefaultColorScheme;
    // The hot, pushed and checked item oranges (F10..F15) are the same in every scheme.
    const TColor o[6] = {0x8CD5FF, 0x55ADFF, 0x4E91FE, 0x8ED3FF, 0xCCF4FF, 0x91D0FF};
    FSystemColors = false;
    switch (scheme) {
    case lusBlue:
        FColors = {0xF5BE9E, 0xF9D9C3, 0xFEECDD, 0xE2A981, 0xCB8C6A, 0x9C613B, 0xFCFCF9, 0xC5C2B8, 0x800000, 0x000000,
                   o[0], o[1], o[2], o[3], o[4], o[5], 0xFEECDD, 0xE2A981, 0xCB8C6A, 0x9C613B, 0x9F5F5F, 0xFFFFFF, 0xB99D7F};
        break;
    case lusMetallic:
        FColors = {0xD4C8C4, 0xF1E9E8, 0xFAF4F3, 0xCDB9B7, 0xA18C8A, 0x76605E, 0xFFFAFA, 0xBDB5B0, 0x6F4B4B, 0x000000,
                   o[0], o[1], o[2], o[3], o[4], o[5], 0xFAF4F3, 0xCDB9B7, 0xA18C8A, 0x76605E, 0x7C7C7C, 0xFFFFFF, 0xA7A4A3};
        break;
    case lusGreen:
        FColors = {0xA7D9D9, 0xDEF7F4, 0xDCFFF7, 0x91C6B7, 0x588C73, 0x3F7060, 0xF6FCFC, 0xB3C9C2, 0x385D3F, 0x000000,
                   o[0], o[1], o[2], o[3], o[4], o[5], 0xDCFFF7, 0x91C6B7, 0x588C73, 0x3F7060, 0x5E8674, 0xFFFFFF, 0x99B4A4};
        break;
    default: {
        FSystemColors = true;
        auto b = [](TColor a, TColor c, int n) { return BlendColors(a, c, n); };
        const TColor hotChecked = b(clHighlight, b(clBtnFace, clWindow, 50), 10);
        FColors = {ColorToRGB(clBtnFace), b(clBtnFace, clWindow, 35), b(clBtnFace, clWindow, 20),
                   b(clBtnFace, clWindow, 95), b(clBtnShadow, clWindow, 70), b(clBtnFace, clWindow, 62),
                   b(clBtnFace, clWindow, 15), b(clBtnFace, clBtnShadow, 20), ColorToRGB(clHighlight),
                   b(clBtnText, clBtnShadow, 15), hotChecked, hotChecked, b(clHighlight, clWindow, 50),
                   b(clHighlight, clWindow, 50), b(clHighlight, clWindow, 30), b(clHighlight, clWindow, 30),
                   b(clBtnFace, clWindow, 16), b(clBtnFace, clWindow, 42), b(clBtnShadow, clWindow, 70),
                   b(clBtnFace, clWindow, 62), b(clBtnShadow, clWindow, 40), clWhite, b(clBtnShadow, clWindow, 70)};
        break;
    }
    }
}

void TSkOffice2003Skin::FillOptions() {
    SetSkinName(QStringLiteral("Office 2003"));
    FillColors();
    SetOfficeMenu(true);
    const auto& F = FColors;
    FillLook(this, {1, F[2], F[3], F[4], F[6], F[20], F[16], F[7], 1, F[14], F[15], F[10], F[11], F[12], F[13], F[8], 1,
                    F[2], F[3], F[4], F[22], ColorToRGB(clBtnText), ColorToRGB(clGrayText)});
    Set(this, skncDock, sknsNormal, {2, F[0], F[1]});
    Set(this, skncToolbar, sknsNormal, {1, F[2], F[3]}, {2, F[5], F[4]});
    Set(this, skncToolbarItem, sknsHotTrack, {1, F[14], F[15]}, {0, F[8], F[8]}, ColorToRGB(clBtnText));
    Set(this, skncButton, sknsCheckedAndHotTrack, {1, LightenColor(F[12], 15), F[13]}, {0, F[8], F[8]}, ColorToRGB(clBtnText));
    Set(this, skncGutter, sknsNormal, {2, F[16], F[17]});
    if (FSystemColors) Options(skncWindowTitleBar)->SetTextColor(clBtnHighlight);
    CopyCommon(this, skncToolbarItem);
    DeriveListItems(this, skncToolbarItem, 20, 20);
}

void TSkOffice2003Skin::SetDefaultColorScheme(TSkLunaScheme Value) {
    if (Value == FDefaultColorScheme) return;
    FDefaultColorScheme = Value;
    Reset(false);
    FillOptions();
}

// ---------------------------------------------------------------------------------------------------
// Office 2007

void TSkOffice2007Skin::FillOptions() {
    SetSkinName(QStringLiteral("Office 2007"));
    FillColors();
    SetOfficeMenu(true);
    const auto& F = FColors;
    FillLook(this, {1, F[0], F[1], F[4], F[5], F[4], F[3], F[4], 3, F[7], F[8], F[9], F[10], F[11], F[12], F[13], 3,
                    F[14], F[15], F[4], F[16], F[17], clGray});
    Set(this, skncDock, sknsNormal, {1, F[0], F[2]});
    Set(this, skncToolbar, sknsNormal, {1, F[3], F[1]}, {2, F[4], F[4]});
    CopyCommon(this, skncToolbarItem);
    DeriveListItems(this, skncToolbarItem, 10, 10);
    Options(skncStatusBar)->SetTextColor(F[6]);
}

// F7..F17: the hot (F7, F8), pushed (F9, F10) and checked (F11, F12) item bodies, their frame (F13), the
// button body (F14, F15), the edit frame (F16) and the text (F17).
void TSkOffice2007BlueSkin::FillColors() {
    FColors = {0xF4E6DB, 0xF0DECF, 0xEDD9C9, 0xFFF2E7, 0xD6AE90, 0xFFFFFF, clNone, 0xC8F4FF, 0x6ED8FF,
               0x4FA2FB, 0x7EC4FD, 0x9ED8FE, 0x5AC0FE, 0x3C9DC2, 0xFFF7F1, 0xF4E1D1, 0xDCC0AB, 0x8B4215};
    SetSkinName(QStringLiteral("Office 2007 Blue"));
}

void TSkOffice2007BlackSkin::FillColors() {
    FColors = {0xDDD8D5, 0xCFC6C1, 0xC5BBB4, 0xEAEAEA, 0x989898, 0xCCCCCC, 0xFFFFFF, 0xC8F4FF, 0x6ED8FF,
               0x4FA2FB, 0x7EC4FD, 0x9ED8FE, 0x5AC0FE, 0x3C9DC2, 0xF5F5F5, 0xDCDCDC, 0xA0A0A0, 0x000000};
    SetSkinName(QStringLiteral("Office 2007 Black"));
}

void TSkOffice2007SilverSkin::FillColors() {
    FColors = {0xDDD8D5, 0xCFC6C1, 0xC5BBB4, 0xEAEAEA, 0xAAA6A2, 0xFFFFFF, clNone, 0xC8F4FF, 0x6ED8FF,
               0x4FA2FB, 0x7EC4FD, 0x9ED8FE, 0x5AC0FE, 0x3C9DC2, 0xFAF8F7, 0xE6E1DE, 0xB1ABA7, 0x5C534C};
    SetSkinName(QStringLiteral("Office 2007 Silver"));
}

// ---------------------------------------------------------------------------------------------------
// Brushed metal

namespace {

constexpr int MetalLines = 8;
constexpr int MetalRows = 1024;
constexpr int MetalCacheSize = 16;

struct TMetalRow {
    int Line = 0;
    int Offset = 0;
};

struct TMetalSet {
    TColor Key = clNone;
    int Roughness = 0;
    std::array<HBITMAP, MetalLines> Bitmaps{};
    bool Used = false;
};

// 0: a new random texture each time one is made; otherwise that seed (pictures that must not change).
uint32_t gMetalSeed = 0;

struct TBrushedMetal {
    std::array<std::vector<int>, MetalLines> Lines;
    std::array<TMetalRow, MetalRows> Rows;
    std::array<TMetalSet, MetalCacheSize> Cache;
    int NextSlot = 0;
    int LastUsed = -1;   // searches start from the newest set

    TBrushedMetal() {
        std::mt19937 random{gMetalSeed ? gMetalSeed : std::random_device{}()};
        std::uniform_real_distribution<double> fraction(0.0, 1.0);
        constexpr double pi2 = 2 * std::numbers::pi;
        for (auto& line : Lines) {
            const int a = (int(random() % 101) + 100) / 2;
            double f[7];
            for (double& v : f) v = fraction(random);
            const double b = f[0], c = f[1], d = f[2], e = f[3], ff = f[4], g = f[5], h = f[6];
            for (int j = 0; j < a; ++j) {
                const double theta = j * pi2 / a;
                auto W = [&](double x, double p, double q, double r) {
                    const double v = 150 * std::sin(x) + 100 * std::sin(2 * theta + pi2 * p) +
                                     50 * std::sin(3 * theta + pi2 * q) + 20 * std::sin(4 * theta + pi2 * r);
                    return std::clamp(int(std::lround(v)), -255, 255);
                };
                int m = W(theta, b, c, d), t = W(theta + pi2 * e, ff, g, h);
                if (std::abs(t - m) > 300) {
                    const int middle = (m + t) / 2;
                    m = middle - 150;
                    t = middle + 150;
                }
                line.push_back(std::min(m, t));
                line.push_back(std::max(m, t));
            }
        }
        for (int y = 0; y < MetalRows; ++y) {
            TMetalRow& row = Rows[size_t(y)];
            row.Line = int(random() % MetalLines);
            const int length = int(Lines[size_t(row.Line)].size());
            int offset = int(random() % uint32_t(length));
            if ((offset & 1) != (y & 1)) offset = (offset + 1) % length;   // lengths are even
            row.Offset = offset;
        }
    }

    ~TBrushedMetal() {
        for (auto& set : Cache)
            for (HBITMAP b : set.Bitmaps)
                if (b) DeleteObject(b);
    }

    TMetalSet* Find(TColor Key, int Roughness) {
        for (int i = 0; i < MetalCacheSize; ++i) {
            TMetalSet& set = Cache[size_t((NextSlot - 1 - i + 2 * MetalCacheSize) % MetalCacheSize)];
            if (set.Used && set.Key == Key && set.Roughness == Roughness) return &set;
        }
        return nullptr;
    }

    TMetalSet* Get(TColor Color, int Roughness) {
        const TColor key = TColor(uint32_t(ColorToRGB(Color)) | 0xFF000000u);
        if (TMetalSet* found = Find(key, Roughness)) return found;
        TMetalSet& set = Cache[size_t(NextSlot)];
        NextSlot = (NextSlot + 1) % MetalCacheSize;
        set.Key = key;
        set.Roughness = Roughness;
        set.Used = true;
        int r, g, b;
        SplitColorRGB(Color, r, g, b);
        auto channel = [&](int c, int v) { return std::clamp(c * 256 + Roughness * v, 0, 0xEF00) / 256; };
        for (int i = 0; i < MetalLines; ++i) {
            const std::vector<int>& line = Lines[size_t(i)];
            const int w = int(line.size());
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = w;
            info.bmiHeader.biHeight = 1;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            if (set.Bitmaps[size_t(i)]) DeleteObject(set.Bitmaps[size_t(i)]);
            set.Bitmaps[size_t(i)] = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            if (!bits) continue;
            auto* px = static_cast<uint8_t*>(bits);
            for (int x = 0; x < w; ++x) {
                const int v = line[size_t(x)];
                px[4 * x + 0] = uint8_t(channel(b, v));
                px[4 * x + 1] = uint8_t(channel(g, v));
                px[4 * x + 2] = uint8_t(channel(r, v));
                px[4 * x + 3] = 0xFF;
            }
        }
        return &set;
    }
};

// The holder outlives static destruction: an Aluminum skin freed with the skin manager at exit frees
// the texture through it.
std::unique_ptr<TBrushedMetal>& Metal() {
    static auto* metal = new std::unique_ptr<TBrushedMetal>;
    return *metal;
}

} // namespace

void FreeBrushedMetal() { Metal().reset(); }

void SeedBrushedMetal(uint32_t Seed) {
    gMetalSeed = Seed;
    FreeBrushedMetal();
}

bool BrushedMetalCached(TColor Color, int Roughness) {
    return Metal() && Metal()->Find(TColor(uint32_t(ColorToRGB(Color)) | 0xFF000000u), Roughness) != nullptr;
}

void PaintBrushedMetal(HDC DC, const TPoint& Origin, const TRect& R, TColor Color, int Roughness) {
    if (Color == clNone || R.IsEmpty()) return;
    RECT rc = R;
    if (!RectVisible(DC, &rc)) return;
    RECT clip{};
    if (GetClipBox(DC, &clip) != NULLREGION && clip.right > clip.left) {
        rc.left = std::max(rc.left, clip.left);
        rc.top = std::max(rc.top, clip.top);
        rc.right = std::min(rc.right, clip.right);
        rc.bottom = std::min(rc.bottom, clip.bottom);
    }
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    if (!Metal()) Metal() = std::make_unique<TBrushedMetal>();
    TBrushedMetal& metal = *Metal();
    TMetalSet* set = metal.Get(Color, Roughness);
    HDC mem = CreateCompatibleDC(DC);
    for (int y = rc.top; y < rc.bottom; ++y) {
        const TMetalRow& row = metal.Rows[size_t((y - Origin.Y + 65536) % MetalRows)];
        HBITMAP bitmap = set->Bitmaps[size_t(row.Line)];
        const int w = int(metal.Lines[size_t(row.Line)].size());
        if (!bitmap || w <= 0) continue;
        HGDIOBJ old = SelectObject(mem, bitmap);
        int x = Origin.X - row.Offset;
        if (x < rc.left) x += (rc.left - x) / w * w;   // skip the copies that end left of R
        for (; x < rc.right; x += w) {
            const int from = std::max<int>(x, rc.left), to = std::min<int>(x + w, rc.right);
            if (to > from) BitBlt(DC, from, y, to - from, 1, mem, from - x, 0, SRCCOPY);
        }
        SelectObject(mem, old);
    }
    DeleteDC(mem);
}

} // namespace skins
