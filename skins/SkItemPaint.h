// skins/SkItemPaint.h: the bar painters that need no bar (toolbar item backgrounds, separators, popup
// background and gutter, dock, toolbar, window frame, title bar, status bar, hint), each painting for
// the current skin type; the font settings of skinned items; the common base of the skinned controls;
// and a few window utilities.
#pragma once
#include "skins/SkSkins.h"

#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"

#include <cstdint>

namespace skins {

// The base of the skinned compound bars, text objects and buttons; it adds nothing of its own.
class TSkCustomControl : public vcl::TCustomControl {
public:
    using vcl::TCustomControl::TCustomControl;
};

// A percentage of the font size, 25..1000 (100 keeps the size).
using TSkFontSize = uint16_t;

// How a skinned item changes its font: colour (clNone: the state colour), name (empty keeps it),
// size in percent and style (empty keeps it).
class TSkFontSettings : public rtl::TPersistent {
public:
    static constexpr TSkFontSize MinSize = 25;
    static constexpr TSkFontSize MaxSize = 1000;

    TSkFontSettings() = default;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    vcl::TFontName Name() const { return FName; }
    void SetName(const vcl::TFontName& Value);
    TSkFontSize Size() const { return FSize; }
    // Clamped to 25..1000: a stream can carry anything, 0 included.
    void SetSize(int Value);
    vcl::TFontStyles Style() const { return FStyle; }
    void SetStyle(vcl::TFontStyles Value);

    void Apply(vcl::TFont* AFont) const;
    void Assign(rtl::TPersistent* Src) override;

    rtl::TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    TColor FColor = vcl::clNone;
    vcl::TFontName FName;
    TSkFontSize FSize = 100;
    vcl::TFontStyles FStyle;
};

// ---- the painters ----

void DrawToolbarItemBackground(vcl::TCanvas* ACanvas, const TRect& R, TSkSkinStatesType State,
                               TSkComboPart ComboPart);
// Vertical: the line runs from top to bottom.
void DrawSeparator(vcl::TCanvas* ACanvas, const TRect& R, bool IsPopup, bool Vertical);
void DrawMenuGutter(vcl::TCanvas* ACanvas, const TRect& R);
// OpenItemRect is in the popup's coordinates: a top above 0 means the popup opened from a toolbar
// item above it.
void DrawPopupBackground(vcl::TCanvas* ACanvas, const TRect& R, const TRect& OpenItemRect, bool DrawGutter,
                         int ImageSize);
void DrawDockBackground(vcl::TCanvas* ACanvas, const TRect& R, bool Vertical);
void DrawToolbarBackground(vcl::TCanvas* ACanvas, const TRect& R, bool Docked, bool Floating, bool Vertical,
                           bool DrawBody, bool DrawBorders, TSkSkinComponentsType Component);
void DrawWindowFrame(vcl::TCanvas* ACanvas, const TRect& R, bool Active, const vcl::TPoint& Border,
                     bool FillBackground);
void DrawTitleBarBackground(vcl::TCanvas* ACanvas, const TRect& R, bool Active, bool DrawBorders);
void DrawStatusBarBackground(vcl::TCanvas* ACanvas, const TRect& R, const TRect& Grip);
void DrawHintBackground(vcl::TCanvas* ACanvas, const TRect& R);

// ---- window utilities ----

// False for nil or a focused control; else the control's form exists, is enabled and visible, and
// the control can take the focus.
bool CanFocusControl(vcl::TWinControl* Control);
int IndexOfChildControl(vcl::TWinControl* Parent, vcl::TControl* Child);
// The nearest parent of class T up the parent chain, or nullptr.
template <class T> T* FindParentOfClass(vcl::TControl* Control) {
    for (vcl::TWinControl* p = Control ? Control->Parent() : nullptr; p; p = p->Parent())
        if (auto* found = dynamic_cast<T*>(p)) return found;
    return nullptr;
}
void RecalcWindowFrame(vcl::TWinControl* Control);
// The restored bounds as left, top, width, height; wsNormal and empty bounds without a window.
vcl::TWindowState GetWindowNormalBounds(vcl::TCustomForm* Form, TRect& Bounds);
void SetWindowNormalBounds(vcl::TCustomForm* Form, vcl::TWindowState State, const TRect& Bounds);
// False without a taskbar window, or when the shell cannot say where it is.
bool GetTaskbarInfo(UINT& Edge, TRect& Rect, UINT& State);
// Only while desktop composition is on; without the composition library nothing happens.
void SetDwmNCRendering(vcl::TCustomForm* Form, bool Enabled);

} // namespace skins
