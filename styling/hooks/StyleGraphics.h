// styling/hooks/StyleGraphics.h: the drawing tools of the style hooks and interceptions: colour
// splitting, operations on 32-bit bitmaps, and DC shortcuts that leave the DC as they found it.
#pragma once
#include <cstdint>

#include "vcl/Graphics.h"
#include "vcl/Themes.h"
#include "win/windows.h"

namespace styling {

using vcl::TBitmap;
using vcl::TColor;
using vcl::TPoint;
using vcl::TRect;

enum class TStyleArrowDirection { Left, Right, Up, Down };

// A per-pixel colour filter: Colour is red | green << 8 | blue << 16, the result the same.
using TBitmapFilter = uint32_t (*)(uint32_t Colour, uint32_t Value);

// Saves a DC's state and puts it back when it goes out of scope.
class TSavedDC {
public:
    explicit TSavedDC(HDC DC) : FDC(DC), FSaved(SaveDC(DC)) {}
    ~TSavedDC() { RestoreDC(FDC, FSaved); }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC FDC;
    int FSaved;
};

void SplitRGB(TColor Color, uint8_t& R, uint8_t& G, uint8_t& B);
bool IsLightColor(TColor Color);
int ClampByte(int Value);

// Every pixel of a 32-bit bitmap becomes Color with alpha Alpha; other formats are left alone.
void FillBitmapColor(TBitmap* Bitmap, uint8_t Alpha, TColor Color);
// Pixels whose colour differs from KeyColor take alpha Alpha; the key colour's pixels keep theirs.
void SetBitmapAlpha(TBitmap* Bitmap, uint8_t Alpha, TColor KeyColor);
void GrayscaleBitmap(TBitmap* Bitmap);
// Filter on every pixel's colour; alpha stays. Needs a 32-bit bitmap (others are left alone).
void ApplyBitmapFilter(TBitmap* Bitmap, uint32_t Value, TBitmapFilter Filter);
uint32_t DarkenFilter(uint32_t Colour, uint32_t Amount);
uint32_t ColorBurnFilter(uint32_t Colour, uint32_t Top);
void DarkenBitmap(TBitmap* Bitmap, uint8_t Amount);
// Turns the picture by Angle radians about its centre; AdjustSize grows the bitmap to hold all of it.
void RotateBitmap(TBitmap* Bitmap, float Angle, bool AdjustSize, TColor BackColor);

void FillRectColor(HDC DC, const TRect& R, TColor Color);
void FrameRectColor(HDC DC, const TRect& R, TColor Color);
void AlphaFillRect(HDC DC, TColor Color, const TRect& R, uint8_t Alpha);
void AlphaFillRect(vcl::TCanvas* Canvas, TColor Color, const TRect& R, uint8_t Alpha);
void AlphaFrameRect(HDC DC, TColor Color, const TRect& R, uint8_t Alpha);
void DrawStyleArrow(HDC DC, TStyleArrowDirection Direction, const TPoint& Location, int Size, TColor Color);
void DrawDropDownArrow(HDC DC, const TRect& R, TColor Color);
// The element drawn by Style or, without one, by the active style.
void DrawStyleElement(HDC DC, const vcl::TThemedElementDetails& Details, const TRect& R, bool SaveState,
                      vcl::TCustomStyleServices* Style = nullptr);
// Lets Window's parent erase its background into a bitmap of R's size and copies that onto DC at R.
void EraseParentBackground(HWND Window, HDC DC, const TRect& R);

} // namespace styling
