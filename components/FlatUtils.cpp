// components/FlatUtils.cpp
#include "components/FlatUtils.h"

#include "components/HSLUtils.h"

namespace components {

vcl::TColor ShiftColorLuminance(vcl::TColor ParentColor, vcl::TColor Fallback, int Percent, bool Darken) {
    if (Percent == 0) return Fallback;
    int h = 0, s = 0, l = 0;
    RGBToHSLRange(vcl::ColorToRGB(ParentColor), h, s, l);
    l += 10;
    if (Darken) {
        l -= Percent;
        if (l < 0) l = 0;
    } else {
        l += Percent;
        if (l > 100) l = 100;
    }
    return HSLRangeToRGB(h, s, l);
}

void DrawParentBackground(vcl::TControl* Control, vcl::TCanvas* Canvas) {
    vcl::TWinControl* parent = Control->Parent();
    if (!parent) return;
    HDC dc = Canvas->Handle();
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, -Control->Left(), -Control->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    parent->Perform(WM_ERASEBKGND, WPARAM(dc), LPARAM(0));
    parent->Perform(WM_PAINT, WPARAM(dc), LPARAM(0));
    RestoreDC(dc, saved);
}

} // namespace components
