// controls/RgTypes6.h: the enumerations and sets of the second control family, and its small geometry
// helpers.
#pragma once
#include "rtl/Classes.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/StdCtrls.h"

namespace controls {

enum TRgOrientation { orHorizontal, orVertical };
enum TRgAppearanceStyle { stNative, stModern, stUserDefined };
enum TRgBorderStyle { btSolid, btLowered, btRaised };
enum TRgDropDownStyle { dsDropDown, dsDropDownList };
enum TRgPopupAnchor { paLeft, paRight };
enum TRgTabsLocation { tbTop, tbLeft, tbRight, tbBottom };
enum TRgStringsDisplayMode { dmDefault, dmNameList, dmValueList, dmIndentList };
enum TRgButtonStateItem { bsHover, bsChecked, bsFocused, bsPressed, bsSelected, bsDisabled };
using TRgButtonState = rtl::TSet<TRgButtonStateItem>;
enum TRgDrawingOption { doBackground, doContent, doCustom };
using TRgDrawingOptions = rtl::TSet<TRgDrawingOption>;
using TRgScrollBars = rtl::TSet<vcl::TScrollBarKind>;
enum TRgValidationResult { vrUnchecked, vrValid, vrInvalid };
// Vertical placement of text (the run-time library's own enumeration).
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };

// A rectangle of Inner's size centred in Outer (each half truncated on its own).
inline vcl::TRect CenterRect(const vcl::TRect& Outer, const vcl::TRect& Inner) {
    const int w = Inner.Width(), h = Inner.Height();
    const int left = Outer.Left + (Outer.Right - Outer.Left) / 2 - w / 2;
    const int top = Outer.Top + (Outer.Bottom - Outer.Top) / 2 - h / 2;
    return vcl::TRect(left, top, left + w, top + h);
}

inline void DeflateRectByPadding(vcl::TRect& R, const vcl::TRect& Padding) {
    R.Left += Padding.Left;
    R.Top += Padding.Top;
    R.Right -= Padding.Right;
    R.Bottom -= Padding.Bottom;
}

inline vcl::TPoint MakePoint6(int X, int Y) { return vcl::TPoint(X, Y); }

} // namespace controls
