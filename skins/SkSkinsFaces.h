// skins/SkSkinsFaces.h: the faces every skinned control shares (button, edit frame, list item), each
// painted by the current skin type: the skin's categories, the theme, or classic system colours.
// The skin's own painting operations and its theme-element map are members of TSkSkinOptions.
#pragma once
#include "skins/SkSkins.h"

#include "vcl/Controls.h"
#include "vcl/Graphics.h"

namespace skins {

void DrawButtonFace(vcl::TCanvas* ACanvas, const TRect& R, bool Enabled, bool Pushed, bool HotTrack, bool Checked,
                    bool Focused, bool Defaulted);
void DrawEditFrame(vcl::TCanvas* ACanvas, const TRect& R, bool Enabled, bool HotTrack);
// The 2-pixel ring around an edit, painted on its window device context.
void PaintEditFrameNC(vcl::TWinControl* AEdit, bool HotTrack, bool NoBorder);
// Leaves the canvas's font colour (and, outside sknSkin, its brush colour) set for the item's text.
void DrawListItemBackground(vcl::TCanvas* ACanvas, const TRect& R, bool Selected, bool HotTrack, bool Focused,
                            bool SquareCorners, bool Borders);

} // namespace skins
