// components/Gradient.h: two-colour gradients painted as solid bands of the canvas's brush.
#pragma once
#include "vcl/Graphics.h"

#include <cstdint>

namespace components {

using vcl::TBitmap;
using vcl::TCanvas;
using vcl::TColor;
using vcl::TRect;

enum TDgradOrientation : uint8_t { dgdVertical, dgdHorizontal, dgdAngle, dgdRadial, dgdRectangle };
enum TDgradBalanceMode : uint8_t {
    bmNormal,
    bmMirror,
    bmReverse,
    bmReverseFromColor,
    bmInvertReverse,
    bmInvertReverseFromColor
};

void DrawGradientEx(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, TDgradOrientation Orientation,
                    uint16_t Balance, uint16_t AngleDegree, TDgradBalanceMode BalanceMode, uint8_t MaxDegrade,
                    int32_t SpeedPercent, bool ClipRect, TBitmap* Bitmap);

void DrawGradientByKind(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, uint8_t Kind,
                        uint8_t MaxDegrade);

void DrawStepGradientV(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, uint8_t Bands);
void DrawStepGradientH(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, uint8_t Bands);
void DrawRotatedGradient(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, uint8_t Bands,
                         uint16_t AngleDegree, bool ClipRect, TBitmap* Bitmap);
// Shape 0 ellipses, 1 rectangles; anything else paints nothing.
void DrawConcentricGradient(TCanvas* Canvas, TRect Outer, TColor ColorFrom, TColor ColorTo, uint8_t Bands,
                            TRect Inner, int Shape);
// Turns the bitmap's picture about its centre, clockwise on the screen for a positive angle.
void RotateBitmapPlg(TBitmap* Bitmap, double AngleDegree);
// Draws the (rotated) work bitmap with its centre on the rectangle's, optionally clipped to it.
void DrawCentred(TCanvas* Canvas, const TRect& ARect, TBitmap* Bitmap, bool ClipRect);

TRect ScaleRectAboutCentre(const TRect& R, double Factor);
TRect GrowRectAroundRect(const TRect& Inner, const TRect& Outer);
TRect InterpolateRect(const TRect& Outer, const TRect& Inner, double Fraction);
double DegToRad(double Degrees);

} // namespace components
