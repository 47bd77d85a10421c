#include "app/shell/VisualStyles.h"

#include "app/engine/Procs.h"
#include "base/Colors.h"
#include "base/FileSearch.h"
#include "base/Strings.h"
#include "components/KwpLinkLabel.h"
#include "components/KwpPngButton.h"
#include "controls/FlipPanel.h"
#include "controls/RgCollection.h"
#include "controls/TrackBar.h"
#include "grid/Columns.h"
#include "grid/GridControl.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"
#include "vcl/Themes.h"

#include <algorithm>

namespace shell {

std::unique_ptr<TVisualStyles> VisualStyles;

namespace {

String Token(const String& StyleName) { return engine::GetStyleNameToken(base::UpperTrim(StyleName)); }

bool TokenIsOneOf(const String& StyleName, std::initializer_list<const char16_t*> Tokens) {
    const String token = Token(StyleName);
    return std::any_of(Tokens.begin(), Tokens.end(), [&](const char16_t* t) { return token == String::fromUtf16(t); });
}

} // namespace

bool IsWindowsStyle(const String& StyleName) { return TokenIsOneOf(StyleName, {u"", u"WINDOWS"}); }

bool IsDarkStyle(const String& StyleName) {
    return TokenIsOneOf(StyleName,
                        {u"AURIC", u"CARBON", u"CHARCOAL", u"TABLETDARK", u"COBALT", u"GLOSSY", u"GLOW", u"ONYX", u"JET"});
}

bool IsAuricStyle(const String& StyleName) { return TokenIsOneOf(StyleName, {u"AURIC"}); }
bool IsCarbonStyle(const String& StyleName) { return TokenIsOneOf(StyleName, {u"CARBON"}); }

void SetButtonStyle(components::TKwpPngButton* Button, const String& StyleName) {
    Button->SetStyleElements(vcl::TStyleElements{vcl::seFont, vcl::seClient, vcl::seBorder});
    if (IsWindowsStyle(StyleName)) {
        components::ApplyColorMapForStyle(Button, QStringLiteral("WINDOWS"));
        return;
    }
    static const char16_t* const Mapped[] = {u"AURIC MOD", u"CHARCOAL DARK SLATE MOD", u"ICEBERG CLASSICO",
                                             u"LUNA MOD",  u"SLATE CLASSICO MOD",      u"COBALT XEMEDIA",
                                             u"GLOSSY",    u"JET"};
    const String name = base::UpperTrim(StyleName);
    if (std::none_of(std::begin(Mapped), std::end(Mapped), [&](const char16_t* m) { return name == String::fromUtf16(m); }))
        return;
    components::ApplyColorMapForStyle(Button, name);
    components::SetButtonFonts(Button, QStringLiteral("Segoe UI"), 8);
}

TVisualStyles::TVisualStyles(const String& Directory) : FDirectory(Directory) {
    GetStyles();
}

void TVisualStyles::ClearAll() {
    FVSList.clear();
    FActiveStyleIndex = 0;
}

void TVisualStyles::GetStyles() {
    ClearAll();
    rtl::TStringList files;
    base::SearchFiles(QStringLiteral("*.vsf"), FDirectory, &files, 0, true, true);
    QStringList sorted;
    for (int i = 0; i < files.Count(); ++i) sorted << files.Strings(i);
    std::sort(sorted.begin(), sorted.end(), [](const String& a, const String& b) { return rtl::CompareText(a, b) < 0; });
    for (const String& file : sorted) {
        // Loading checks the file as a validity test would, so each file is read once: a file that
        // is no style, or a style of a name registered already, is skipped.
        try {
            vcl::TStyleManager::LoadFromFile(file);
        } catch (const rtl::Exception&) {
        }
    }
    const std::vector<String> names = vcl::TStyleManager::StyleNames();
    for (size_t i = 0; i < names.size(); ++i) FVSList.push_back({names[i], String(), int(i)});
    if (!FVSList.empty()) FActiveStyle = FVSList.front();
    FActiveStyleIndex = 0;
}

int TVisualStyles::GetStyleIndex(const String& Name) const {
    const std::vector<String> names = vcl::TStyleManager::StyleNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (rtl::UpperCase(names[i]) == rtl::UpperCase(Name)) return int(i);
    return -1;
}

void TVisualStyles::SetStyle(const String& Name) {
    const int index = GetStyleIndex(Name);
    if (index < 0) return;
    const String engineName = vcl::TStyleManager::StyleNames()[size_t(index)];
    vcl::TCustomForm* main = vcl::Application ? vcl::Application->MainForm() : nullptr;
    const int left = main ? main->Left() : 0, top = main ? main->Top() : 0;
    try {
        vcl::TStyleManager::TrySetStyle(engineName, false);
    } catch (const rtl::Exception&) {
    }
    FActiveStyle.Name = engineName;
    FActiveStyle.Index = index;
    if (!FChangingStyle) StyleChanged();
    if (main) {
        main->SetLeft(left);
        main->SetTop(top);
    }
}

void TVisualStyles::SetNextStyle() {
    if (Count() == 0 || FActiveStyleIndex > Count() - 1) return;
    FActiveStyleIndex = FActiveStyleIndex == Count() - 1 ? 0 : FActiveStyleIndex + 1;
    vcl::TStyleManager::TrySetStyle(FVSList[size_t(FActiveStyleIndex)].Name, false);
    FActiveStyle = FVSList[size_t(FActiveStyleIndex)];
    StyleChanged();
}

void TVisualStyles::SetWindowsStyle() {
    FActiveStyleIndex = -1;
    SetNextStyle();
}

void TVisualStyles::StyleChanged() {
    FChangingStyle = true;
    struct Reset {
        bool& Flag;
        ~Reset() { Flag = false; }
    } reset{FChangingStyle};
}

String TVisualStyles::AsText() const {
    String s;
    for (const String& name : vcl::TStyleManager::StyleNames()) s += name + QStringLiteral("\r\n");
    s += QStringLiteral("\r\n\r\n");
    for (const TVisualStyle& v : FVSList)
        s += QStringLiteral("Index: %1 / Name: %2\r\n").arg(v.Index).arg(v.Name);
    s += QStringLiteral("\r\n\r\n");
    s += QStringLiteral("Active style index: %1").arg(FActiveStyleIndex);
    return s;
}

void SetGridStyleColors(grid::TRgCustomGrid* Grid, engine::TStyleColorScheme Scheme) {
    grid::TRgColumns* columns = Grid->Columns();
    if (!columns || columns->Count() == 0) return;
    Grid->BeginUpdate();
    try {
        Grid->SetColor(Scheme.GridColor);
        Grid->SetKW_HeaderGrid(Scheme.GridHeaderBorderColor);
        Grid->SetGridLinesColor(Scheme.GridLinesColor);
        Grid->SetSelectionColor(Scheme.GridSelectionColor);
        Grid->SetInactiveSelectionColor(Scheme.GridInactiveSelectionColor);
        Grid->SetHighlightedTextColor(Scheme.GridHighlightedTextColor);
        Grid->SetKW_FooterAreaSplitter(Scheme.GridFooterSplitterColor);
        Grid->SetKW_FooterBorder(Scheme.GridFooterBorderColor);
        Grid->SetKW_IndicatorColumnBackground(Scheme.GridIndicatorColor);
        Grid->SetKW_IndicatorColumnGridSelected(Scheme.GridIndicatorSelectedLineColor);
        Grid->SetKW_IndicatorHotBackground(Scheme.GridIndicatorHotColor);
        Grid->SetKW_IndicatorHotTriangle(Scheme.GridIndicatorHotTriangleColor);
        Grid->SetKW_IndicatorColumnGrid(Scheme.GridIndicatorLineColor);
        Grid->SetKW_SortDarker(Scheme.GridSortColor);
        Grid->SetKW_CornerBoxBottom(Scheme.GridHeaderColor);
        Grid->SetKW_CornerBoxBottomBorder(Scheme.GridFooterBorderColor);
        Grid->SetKW_CornerBoxTop(Scheme.GridHeaderColor);
        Grid->SetKW_CornerBoxTopBorder(Scheme.GridHeaderBorderColor);
        for (int i = 0; i < columns->Count(); ++i) {
            grid::TRgCustomColumn* column = columns->Column(i);
            column->SetColor(Scheme.GridCellColor);
            column->Font()->SetColor(Scheme.GridFontColor);
            column->Header()->SetParentFont(false);
            column->SetParentFont(false);
            column->Header()->Font()->SetColor(Scheme.GridHeaderFontColor);
            column->Header()->SetColor(Scheme.GridHeaderColor);
            column->Footer()->SetColor(Scheme.GridFooterColor);
        }
    } catch (...) {
        Grid->EndUpdate();
        throw;
    }
    Grid->EndUpdate();
    Grid->Invalidate();
}

void SetFlipPanelStyleColors(controls::TKWRgFlipPanel* Panel, engine::TStyleColorScheme Scheme, bool StyledLook) {
    Panel->SetColor(Scheme.FlipPanelColor);
    Panel->SetHeaderColor(Scheme.FlipPanelHeaderColor);
    Panel->SetHeaderColorTo(Scheme.FlipPanelHeaderColorTo);
    Panel->HeaderFont()->SetColor(Scheme.FlipPanelHeaderFontColor);
    Panel->SetHeaderHotColor(Scheme.FlipPanelHeaderHotColor);
    Panel->SetHeaderHotColorTo(Scheme.FlipPanelHeaderHotColor);
    Panel->SetHeaderHotBorderColor(Scheme.FlipPanelHeaderHotColor);
    Panel->SetToggleTriangleColor(Scheme.FlipPanelTriangleColor);
    Panel->SetToggleTriangleHotColor(Scheme.FlipPanelTriangleHotColor);
    if (StyledLook) {
        Panel->SetHeaderStyle(controls::hsGradient);
        Panel->SetBorderColor(Scheme.FlipPanelBorderColor);
        Panel->SetBorderWidth(1);
        Panel->SetHeaderHotColorTo(base::BrightenColorPercent(Scheme.FlipPanelHeaderHotColor, Scheme.FlipPanelHeaderHotPercent));
        Panel->SetHeaderHotBorderColor(Scheme.FlipPanelHeaderHotBorderColor);
    } else {
        Panel->SetHeaderStyle(controls::hsTopGradient);
        Panel->SetBorderWidth(0);
    }
}

void SetHeaderPanelStyleColors(controls::TRgHeaderPanel* Panel, engine::TStyleColorScheme Scheme) {
    Panel->SetColor(Scheme.HeaderPanelColor);
    Panel->SetHeaderColor(Scheme.HeaderPanelHeaderColor);
    Panel->SetBorderColor(Scheme.HeaderPanelBorderColor);
    Panel->SetHeaderLineColor(Panel->BorderColor());
}

void SetLinkLabelStyleColors(components::TKwpCustomLinkLabel* Label, engine::TStyleColorScheme Scheme) {
    components::SetLinkLabelFontColors(Label, Scheme.LinkNormalColor, Scheme.LinkHotColor, Scheme.LinkDisabledColor,
                                       Scheme.LinkVisitedColor, Scheme.LinkVisitedHotColor);
}

void SetTrackBarStyleColors(controls::TKWRgTrackBar6* TrackBar, engine::TStyleColorScheme Scheme) {
    TrackBar->SetProgressColor(Scheme.TrackProgressColor);
    TrackBar->SetTrackColor(Scheme.TrackColor);
    TrackBar->SetTrackBorderColor(Scheme.TrackBorderColor);
    TrackBar->SetThumbColor(Scheme.TrackThumbColor);
    TrackBar->SetThumbBorderColor(Scheme.TrackThumbBorderColor);
    TrackBar->SetThumbHotColor(Scheme.TrackThumbHotColor);
    TrackBar->SetThumbHotBorderColor(Scheme.TrackThumbHotBorderColor);
    TrackBar->SetTickMarkColor(Scheme.TrackTickMarkColor);
    TrackBar->SetSignsColor(Scheme.TrackSignsColor);
}

} // namespace shell
