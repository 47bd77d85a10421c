// skins/SkSkinsPaint.h: the drawing and colour routines all skin painting rests on: colour arithmetic
// and colour text, rectangle helpers, the gradient body kinds, the four-colour frame, arrows, grips,
// marks, title-button glyphs, image shadows and blending, the parent background and the theme scheme.
// Every routine restores the pen, brush and font colours, clip and selected objects it changes.
#pragma once
#include "skins/SkSkins.h"

#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"
#include "vcl/Themes.h"

namespace skins {

// Puts the canvas's pen, brush and font colours (and the brush style) back as they were.
class TCanvasColorsSaver {
public:
    explicit TCanvasColorsSaver(vcl::TCanvas* ACanvas)
        : FCanvas(ACanvas), FPen(ACanvas->Pen()->Color()), FBrush(ACanvas->Brush()->Color()),
          FFont(ACanvas->Font()->Color()), FBrushStyle(ACanvas->Brush()->Style()) {}
    ~TCanvasColorsSaver() {
        FCanvas->Pen()->SetColor(FPen);
        FCanvas->Brush()->SetColor(FBrush);
        FCanvas->Brush()->SetStyle(FBrushStyle);
        FCanvas->Font()->SetColor(FFont);
    }
    TCanvasColorsSaver(const TCanvasColorsSaver&) = delete;
    TCanvasColorsSaver& operator=(const TCanvasColorsSaver&) = delete;

private:
    vcl::TCanvas* FCanvas;
    TColor FPen, FBrush, FFont;
    vcl::TBrushStyle FBrushStyle;
};

enum TSkLunaScheme { lusUnknown, lusBlue, lusMetallic, lusGreen };

vcl::TCustomStyleServices* ActiveStyleServices();
TSkLunaScheme DetectLunaScheme();
bool IsWindowsVistaOrLater();
bool IsGlassPainting(vcl::TControl* AControl);
void FillParentBackground(vcl::TWinControl* AControl, HDC DC, const TRect& R);

// ---- colours (system colours are resolved to RGB first) ----
void SplitColorRGB(TColor Color, int& Red, int& Green, int& Blue);
TColor MakeClampedColor(int Red, int Green, int Blue);
TColor LightenColor(TColor Color, int Amount);
// Amounts below 100 are percent of Color1, from 100 on per mille.
TColor BlendColors(TColor Color1, TColor Color2, int Amount);
String ColorToHtmlText(TColor Color);                  // "#RRGGBB"
// Mode 0: colour name or "$" and 8 hex digits; 1: HTML text; 2: the name, else HTML text.
String ColorToSkinText(TColor Color, int Mode);

// ---- rectangles ----
TRect CenteredRect(const TRect& R, int Width, int Height);
TRect CenteredRectHorz(const TRect& R, int Width);
TRect CenteredRectVert(const TRect& R, int Height);

// ---- lines, frames, fills ----
void FillRectFramed(vcl::TCanvas* ACanvas, const TRect& R, TColor FillColor, TColor FrameColor);
void DrawColoredLine(vcl::TCanvas* ACanvas, int X1, int Y1, int X2, int Y2, TColor Color);
// Outer top-left C1, outer bottom-right C2, inner top-left C3, inner bottom-right C4 (clNone leaves
// a line out); corners cut by Rounding (0..2) except beside the sides in ForceRectBorders.
void DrawSkinFrame(vcl::TCanvas* ACanvas, TRect R, int Rounding, TColor C1, TColor C2, TColor C3, TColor C4,
                   vcl::TAnchors ForceRectBorders = {});

// ---- gradients: a range First..Last covers those rows (or columns) inclusive ----
void GradientFillRange(vcl::TCanvas* ACanvas, const TRect& R, int First, int Last, TColor Color1, TColor Color2,
                       bool Vertical);
void DrawGradient(vcl::TCanvas* ACanvas, const TRect& R, TColor Color1, TColor Color2, bool Vertical);
void DrawGradientHalves(vcl::TCanvas* ACanvas, const TRect& R, TColor C1, TColor C2, TColor C3, TColor C4, bool Vertical);
void DrawGradientThirds(vcl::TCanvas* ACanvas, const TRect& R, TColor C1, TColor C2, TColor C3, TColor C4, bool Vertical);
void DrawGradientThreeStep(vcl::TCanvas* ACanvas, const TRect& R, TColor C1, TColor C2, TColor C3, TColor C4,
                           bool Vertical);
void DrawGradientCapped(vcl::TCanvas* ACanvas, const TRect& R, TColor C1, TColor C2, TColor C3, TColor C4, bool Vertical);

// The Body instruction (Vertical turns the gradient kinds round) and the Borders instruction.
void PaintSkinBody(vcl::TCanvas* ACanvas, const TRect& R, TSkSkinOptionCategory* Category, bool Vertical);
void PaintSkinBorders(vcl::TCanvas* ACanvas, const TRect& R, TSkSkinOptionCategory* Category,
                      vcl::TAnchors ForceRectBorders = {});

// ---- marks and glyphs ----
void DrawArrowTriangle(vcl::TCanvas* ACanvas, int X, int Y, TColor Color, bool Vertical, bool Backward, int Size);
void DrawGripDots(vcl::TCanvas* ACanvas, const TRect& R, TColor Color, TColor ShadowColor);
void DrawDropMark(vcl::TCanvas* ACanvas, const TRect& R);
void DrawFocusRectangle(vcl::TCanvas* ACanvas, const TRect& R);
// Bits: rows of W (at least 8) pixels, each row a 16-bit word, most significant bit leftmost.
void DrawMonoPattern(HDC DC, const TRect& R, int W, int H, const uint8_t* Bits, TColor Color);
// Kind 0 close, 1 maximize, 2 minimize, 3 restore; other kinds draw nothing.
void DrawTitleButtonGlyph(vcl::TCanvas* ACanvas, const TRect& R, int Kind, TColor Color);

// ---- images ----
void AlphaBlendRect(HDC SrcDC, HDC DstDC, const TRect& SrcRect, const TRect& DstRect, uint8_t ConstantAlpha,
                    bool PerPixelAlpha);
void DrawImageShadow(vcl::TCanvas* ACanvas, const TRect& R, vcl::TCustomImageList* ImageList, int ImageIndex);
void DrawImageListImage(vcl::TCanvas* ACanvas, const TRect& R, vcl::TCustomImageList* ImageList, int ImageIndex,
                        bool Enabled, bool DisabledIconCorrection);

} // namespace skins
