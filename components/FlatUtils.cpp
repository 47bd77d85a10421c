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

} // namespace components
