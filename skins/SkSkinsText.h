// skins/SkSkinsText.h: drawing and measuring the captions of skinned bars and controls: accelerator
// and caption helpers, glowing and rotated text, glowing text on glass, and the layout of a caption
// with a glyph and a right glyph. Callers measure with these before painting so that both agree.
// Every routine restores the brush, font colour, text alignment, clip and font it changes.
#pragma once
#include "skins/SkSkins.h"

#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/StdCtrls.h"

namespace skins {

// The text's extent on the device context; with StripAccelerators of RemoveAccelMarkers (text).
vcl::TSize GetTextExtent(HDC DC, const String& Text, bool StripAccelerators);
// Measured on a canvas of the control with a copy of the font, ampersands kept.
vcl::TSize GetControlTextSize(vcl::TControl* AControl, vcl::TFont* AFont, const String& Text);
int GetFontTextHeight(vcl::TControl* AControl, vcl::TFont* AFont);

// "&&" gives "&", a single "&" goes.
String RemoveAccelMarkers(const String& S);
String CutAtTab(const String& S);
// Drops a final ":" (texts longer than 1) or else a final "..." (longer than 3).
String TrimCaptionTail(const String& S);

// The device context's font turned by Escapement (tenths of a degree); nullptr without a font.
HFONT CreateRotatedFont(HDC DC, int Escapement);
// Text turned for tra90 (reading upwards) or tra270 (reading downwards), in the DC's text colour;
// returns the text height (0 for an empty text). DT_CALCRECT sets R to the turned text's box.
int DrawRotatedText(HDC DC, const String& Text, TRect& R, UINT Flags, TSkTextRotationAngle Angle);
// Text in the font colour, first in GlowColor around it unless measuring; returns the height drawn.
int DrawSkinText(vcl::TCanvas* ACanvas, const String& Text, TRect& R, UINT Flags, TSkGlowDirection Glow = gldNone,
                 TColor GlowColor = vcl::clNone, TSkTextRotationAngle Angle = tra0);
// Glowing text for glass; returns R's height. DT_CALCRECT sets R to the text's size.
int DrawCompositedText(vcl::TCanvas* ACanvas, const String& Text, TRect& R, UINT Flags, int GlowSize);
int DrawGlassText(vcl::TCanvas* ACanvas, const String& Text, TRect& R, UINT Flags, int GlowSize);

// Places a caption, a glyph (GlyphSize) and a right glyph (RightGlyphSize) in R and returns the
// caption's height. TextFlags gets the alignment's DT_RIGHT and loses DT_CENTER and DT_VCENTER.
// Rotated lays out in R turned round its diagonal and turns the rectangles back.
int CalcCaptionGlyphLayout(vcl::TCanvas* ACanvas, const TRect& R, const String& Caption, vcl::TAlignment Alignment,
                           UINT& TextFlags, vcl::TSize GlyphSize, vcl::TSize RightGlyphSize, TSkGlyphLayout Layout,
                           bool Pushed, TRect& CaptionRect, TRect& GlyphRect, TRect& RightGlyphRect, bool Rotated);

} // namespace skins
