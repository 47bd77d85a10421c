// components/FlatUtils.h: shared types of the flat controls, their colour shifting and the parent's
// background behind a transparent control.
#pragma once
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

#include <cstdint>

namespace components {

enum TArrowPos { NE, NW, SE, SW };
using TAdvColors = uint8_t; // a percentage, 0..100
enum TGroupBoxBorder { brFull, brOnlyTopLine };

// The parent colour with its lightness moved by Percent on the 240 scale (after a lift of 10);
// Percent 0 gives Fallback.
vcl::TColor ShiftColorLuminance(vcl::TColor ParentColor, vcl::TColor Fallback, int Percent, bool Darken);

// Paints what the control's parent shows behind the control into Canvas (nothing without a parent).
void DrawParentBackground(vcl::TControl* Control, vcl::TCanvas* Canvas);

} // namespace components
