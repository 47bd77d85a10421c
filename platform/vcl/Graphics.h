// vcl/Graphics.h: the class library's graphics: colours, the drawing tools (font, pen, brush), the
// canvas over a device context of the GDI stand-in, and the graphics (bitmap, icon, picture). The canvas
// calls the GDI functions as the class library does, so code that patches or watches them sees the calls.
#pragma once
#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/Streams.h"
#include "rtl/System.h"
#include "win/windows.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vcl {

// The run-time library's point, size and rectangle (right and bottom exclusive), layout-compatible
// with POINT, SIZE and RECT.
struct TPoint {
    LONG X = 0;
    LONG Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(LONG AX, LONG AY) : X(AX), Y(AY) {}
    constexpr TPoint(const POINT& P) : X(P.x), Y(P.y) {}
    constexpr operator POINT() const { return POINT{X, Y}; }
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};
using TSize = SIZE;
struct TRect {
    LONG Left = 0;
    LONG Top = 0;
    LONG Right = 0;
    LONG Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(LONG ALeft, LONG ATop, LONG ARight, LONG ABottom)
        : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
    TRect(const RECT& R) : Left(R.left), Top(R.top), Right(R.right), Bottom(R.bottom) {}
    operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
    constexpr LONG Width() const { return Right - Left; }
    constexpr LONG Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(const TPoint& P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
    constexpr TPoint TopLeft() const { return TPoint(Left, Top); }
    constexpr TPoint BottomRight() const { return TPoint(Right, Bottom); }
    constexpr TPoint CenterPoint() const { return TPoint((Left + Right) / 2, (Top + Bottom) / 2); }
    constexpr void Offset(LONG DX, LONG DY) { Left += DX; Right += DX; Top += DY; Bottom += DY; }
    constexpr void Inflate(LONG DX, LONG DY) { Left -= DX; Right += DX; Top -= DY; Bottom += DY; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};
constexpr TRect Rect(LONG Left, LONG Top, LONG Right, LONG Bottom) { return TRect(Left, Top, Right, Bottom); }
constexpr TRect Bounds(LONG Left, LONG Top, LONG Width, LONG Height) { return TRect(Left, Top, Left + Width, Top + Height); }
constexpr TPoint Point(LONG X, LONG Y) { return TPoint(X, Y); }

// ---- colours: 0x00BBGGRR; 0xFF0000nn is system colour nn, resolved through GetSysColor ----
using TColor = int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// A system colour through GetSysColor (so a style can change it); other values unchanged.
TColor ColorToRGB(TColor Color);
// The colour names of the class library ("clBtnFace"); other values as "$00BBGGRR".
rtl::String ColorToString(TColor Color);
TColor StringToColor(const rtl::String& S);          // raises rtl::EConvertError
bool ColorToIdent(TColor Color, rtl::String& Ident);
bool IdentToColor(const rtl::String& Ident, TColor& Color);

// ---- errors ----
class EInvalidGraphic : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    rtl::String ClassName() const override { return QStringLiteral("EInvalidGraphic"); }
};
class EInvalidGraphicOperation : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    rtl::String ClassName() const override { return QStringLiteral("EInvalidGraphicOperation"); }
};
class EOutOfResources : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    rtl::String ClassName() const override { return QStringLiteral("EOutOfResources"); }
};

class TCanvas;
class TGraphic;
class TBitmap;

// ---- the drawing tools ----

// Common ground of font, pen and brush: OnChange fires after each change, so canvases re-select.
class TGraphicsObject : public rtl::TPersistent {
public:
    rtl::TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = rtl::TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural };
using TFontCharset = uint8_t;
using TFontName = rtl::String;

class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;

    // The font handle, created from the properties on demand and owned by the font.
    HFONT Handle();
    // Takes over a font handle: the properties are read from it (GetObjectW) and the font owns it.
    void SetHandle(HFONT Value);

    TFontName Name() const { return FName; }
    void SetName(const TFontName& Value);
    int Size() const;                                   // points: -Height * 72 / PixelsPerInch
    void SetSize(int Value);
    int Height() const { return FHeight; }              // pixels; negative = character height
    void SetHeight(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);                        // no new handle: the canvas sets the text colour
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    int Orientation() const { return FOrientation; }    // tenths of a degree
    void SetOrientation(int Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    TFontQuality Quality() const { return FQuality; }
    void SetQuality(TFontQuality Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);                   // changes the scale of Size only

    void Assign(rtl::TPersistent* Source) override;

protected:
    void Changed() override;

private:
    void FreeHandle();
    HFONT FHandle = nullptr;
    TFontName FName;
    int FHeight;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    int FOrientation = 0;
    TFontPitch FPitch = fpDefault;
    TFontQuality FQuality = fqDefault;
    int FPixelsPerInch;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
    pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    ~TPen() override;
    HPEN Handle();
    void SetHandle(HPEN Value);                         // takes ownership; properties read from it
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);                           // negative values become 0 (GDI draws 0 as 1 pixel)
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);                       // the canvas applies it with SetROP2
    void Assign(rtl::TPersistent* Source) override;

private:
    void FreeHandle();
    HPEN FHandle = nullptr;
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    ~TBrush() override;
    HBRUSH Handle();
    void SetHandle(HBRUSH Value);                       // takes ownership; properties read from it
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);                        // a clear brush becomes solid
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern bitmap (not owned): the brush paints with it while it is set.
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);
    void Assign(rtl::TPersistent* Source) override;

private:
    void FreeHandle();
    HBRUSH FHandle = nullptr;
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
};

// ---- the canvas ----

enum TCanvasStates { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
using TCanvasState = unsigned;                          // a set of TCanvasStates bits

using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// Text layout for TextRect and the style services: each member maps to one DT_ flag.
enum TTextFormats {
    tfBottom, tfCalcRect, tfCenter, tfEditControl, tfEndEllipsis, tfPathEllipsis, tfExpandTabs,
    tfExternalLeading, tfLeft, tfModifyString, tfNoClip, tfNoPrefix, tfRight, tfRtlReading, tfSingleLine,
    tfTop, tfVerticalCenter, tfWordBreak, tfHidePrefix, tfNoFullWidthCharBreak, tfPrefixOnly,
    tfTabStop, tfWordEllipsis, tfComposited
};
using TTextFormat = rtl::TSet<TTextFormats>;
// The DT_ flags of a text format and back (tfLeft and tfTop are 0 and come back only when asked).
UINT TTextFormatFlags(TTextFormat Format);
TTextFormat TextFormatFromFlags(UINT Flags);

class TCanvas : public rtl::TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    // The device context: set to bind the canvas to a foreign DC (not owned), nullptr to unbind.
    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value);
    TPoint PenPos();
    void SetPenPos(const TPoint& Value) { MoveTo(Value.X, Value.Y); }
    int TextFlags() const { return FTextFlags; }
    void SetTextFlags(int Value) { FTextFlags = Value; }
    TRect ClipRect();

    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void FillRect(const TRect& Rect);
    void FrameRect(const TRect& Rect);
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void RoundRect(const TRect& Rect, int CX, int CY) { RoundRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, CX, CY); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void Polygon(const std::vector<TPoint>& Points);
    void Polyline(const std::vector<TPoint>& Points);
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void DrawFocusRect(const TRect& Rect);

    void Draw(int X, int Y, TGraphic* Graphic);
    void Draw(int X, int Y, TGraphic* Graphic, uint8_t Opacity);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

    void TextOut(int X, int Y, const rtl::String& Text);
    void TextRect(const TRect& Rect, int X, int Y, const rtl::String& Text);
    void TextRect(TRect& Rect, rtl::String& Text, TTextFormat TextFormat = {});
    TSize TextExtent(const rtl::String& Text);
    int TextWidth(const rtl::String& Text) { return TextExtent(Text).cx; }
    int TextHeight(const rtl::String& Text) { return TextExtent(Text).cy; }

    // Deselects the canvas's font, pen and brush, so the next drawing selects them afresh.
    void Refresh();
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    rtl::TNotifyEvent OnChange;
    rtl::TNotifyEvent OnChanging;

protected:
    virtual void CreateHandle() {}
    virtual void Changing();
    virtual void Changed();
    void RequiredState(TCanvasState ReqState);
    TCanvasState State() const { return FState; }
    void DeselectHandles();
    HDC FHandle = nullptr;

private:
    void CreateFont();
    void CreatePen();
    void CreateBrush();
    void FontChanged(rtl::TObject* Sender);
    void PenChanged(rtl::TObject* Sender);
    void BrushChanged(rtl::TObject* Sender);

    TCanvasState FState = 0;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TCopyMode FCopyMode = cmSrcCopy;
    int FTextFlags = 0;
    int FLockCount = 0;
};

// ---- graphics ----

// The common ground of bitmaps, icons and compressed images.
class TGraphic : public rtl::TPersistent {
public:
    ~TGraphic() override = default;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual void SetSize(int AWidth, int AHeight);
    bool Transparent() const { return GetTransparent(); }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);
    virtual HPALETTE Palette() const { return nullptr; }
    virtual void SetPalette(HPALETTE) {}

    virtual void LoadFromStream(rtl::TStream* Stream) = 0;
    virtual void SaveToStream(rtl::TStream* Stream) = 0;
    virtual void LoadFromFile(const rtl::String& FileName);    // raises rtl::EFOpenError
    virtual void SaveToFile(const rtl::String& FileName);      // raises rtl::EFCreateError

    // A new graphic of the same class holding a copy of this one (the class library's class reference
    // plus Assign, as TPicture uses it).
    virtual TGraphic* CreateCopy() const = 0;

    rtl::TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    friend class TPicture;
    TGraphic() = default;
    virtual void Changed(rtl::TObject* Sender);
    virtual bool GetTransparent() const { return FTransparent; }
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
    virtual void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, uint8_t Opacity);
    bool FTransparent = false;

private:
    bool FModified = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };
enum TBitmapHandleType { bmDIB, bmDDB };

class TBitmapCanvas;

// A device-independent bitmap (a DIB section of the GDI stand-in), stored bottom-up as Windows does:
// ScanLine(1) - ScanLine(0) is minus the row stride; rows are padded to 4 bytes.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;

    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }
    // Keeps the overlapping top-left part of the picture; new pixels are white.
    void SetSize(int AWidth, int AHeight) override;

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Converts the pixels. pf15bit, pf16bit and pfCustom raise EInvalidGraphic; pfDevice is 32-bit.
    void SetPixelFormat(TPixelFormat Value);
    TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
    void SetAlphaFormat(TAlphaFormat Value);            // to/from afPremultiplied converts the pixels
    bool Monochrome() const;
    void SetMonochrome(bool Value);
    TBitmapHandleType HandleType() const { return bmDIB; }

    // Row Row of the pixels; raises EInvalidGraphicOperation out of range.
    void* ScanLine(int Row);
    TCanvas* Canvas();

    // The DIB section, created on demand (nullptr for an empty bitmap). Setting one takes it over.
    HBITMAP Handle();
    void SetHandle(HBITMAP Value);
    HBITMAP ReleaseHandle();                            // the caller owns the result; the pixels go
    HPALETTE Palette() const override;                  // owned by the bitmap; nullptr above 8 bits

    TColor TransparentColor() const;                    // tmAuto: the bottom-left pixel
    void SetTransparentColor(TColor Value);             // fixes the mode (clDefault: back to tmAuto)
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    void Assign(rtl::TPersistent* Source) override;
    void LoadFromStream(rtl::TStream* Stream) override;  // a BMP file; raises EInvalidGraphic
    // An RT_BITMAP resource of the module; raise EResNotFound when it lacks one.
    void LoadFromResourceName(HINSTANCE Instance, const rtl::String& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);
    void SaveToStream(rtl::TStream* Stream) override;
    TGraphic* CreateCopy() const override;

    void Dormant() {}
    void FreeImage() {}

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, uint8_t Opacity) override;
    void Changed(rtl::TObject* Sender) override;

private:
    friend class TBitmapCanvas;
    friend class TIcon;
    int BitsPerPixel() const;
    int Stride() const;
    void CreateImage(int AWidth, int AHeight, TPixelFormat AFormat, bool FillWhite);
    void FreeImage(bool KeepSize);
    void FreeContext();                                 // the canvas lets go of the bitmap
    void HandleNeeded();
    void CopyPixelsFrom(const TBitmap& Source, int W, int H);  // converts between formats
    uint32_t GetPixelRGB(int X, int Y) const;           // COLORREF of a pixel (format aware)
    void SetPixelRGB(int X, int Y, uint32_t RGB, uint8_t Alpha);

    HBITMAP FHandle = nullptr;
    uint8_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    TAlphaFormat FAlphaFormat = afIgnored;
    std::vector<RGBQUAD> FColors;                       // colour table of 1, 4 and 8 bit bitmaps
    mutable HPALETTE FPaletteHandle = nullptr;          // made from FColors on demand, owned
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

// A canvas on a memory DC with its bitmap selected; made on demand by TBitmap::Canvas.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
    ~TBitmapCanvas() override;
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    TBitmap* FBitmap;
    HBITMAP FOldBitmap = nullptr;
};

// An 8x8 checker of two colours (Fg where x and y are both even or both odd), for pattern brushes.
// The bitmap is cached per colour pair and owned by the cache: callers must not free it.
TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor);

// An icon read from an .ico file (the entry nearest the system icon size, deepest colours first) or
// taken over from an HICON, which the icon then destroys.
class TIcon : public TGraphic {
public:
    TIcon() { FTransparent = true; }
    ~TIcon() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;                  // the entry size wanted before loading
    void SetHeight(int Value) override;

    HICON Handle();
    void SetHandle(HICON Value);
    HICON ReleaseHandle();

    void Assign(rtl::TPersistent* Source) override;
    void LoadFromStream(rtl::TStream* Stream) override;  // raises EInvalidGraphic
    void SaveToStream(rtl::TStream* Stream) override;    // the file as read, or one 32-bit entry
    // An icon group resource of the module, at the size set before (or the system icon size);
    // raise EResNotFound when it lacks one.
    void LoadFromResourceName(HINSTANCE Instance, const rtl::String& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);
    TGraphic* CreateCopy() const override;

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    void AssignTo(rtl::TPersistent* Dest) override;

private:
    void Clear();
    void HandleNeeded();
    HICON FHandle = nullptr;
    rtl::TBytes FData;                                  // the .ico file, when loaded from one
    int FWidth = 0;
    int FHeight = 0;
    int FRequestedWidth = 0;
    int FRequestedHeight = 0;
};

// Holds one graphic of any registered class and chooses the class from a file's extension.
class TPicture : public rtl::TPersistent {
public:
    using TGraphicFactory = std::function<TGraphic*()>;

    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(TGraphic* Value);                   // a copy is stored; nullptr clears
    // The graphic as a bitmap / icon; another kind of graphic is replaced by an empty one first.
    TBitmap* Bitmap();
    TIcon* Icon();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    void LoadFromFile(const rtl::String& FileName);     // raises EInvalidGraphic for unknown extensions
    void SaveToFile(const rtl::String& FileName);
    void LoadFromStream(rtl::TStream* Stream);          // the format is recognised by its signature
    void SaveToStream(rtl::TStream* Stream);
    void Assign(rtl::TPersistent* Source) override;

    // The registry of graphic classes: extension (without the dot) to class. A later registration of
    // an extension wins; the class name lets stored data name its class ("TPngImage").
    static void RegisterFileFormat(const rtl::String& Extension, const rtl::String& Description,
                                   const rtl::String& ClassName, TGraphicFactory Factory);
    static void UnregisterGraphicClass(const rtl::String& ClassName);
    static TGraphic* CreateGraphicByClassName(const rtl::String& ClassName);  // nullptr when unknown

    rtl::TNotifyEvent OnChange;

protected:
    void AssignTo(rtl::TPersistent* Dest) override;

private:
    void Changed(rtl::TObject* Sender);
    void Adopt(TGraphic* NewGraphic);
    std::unique_ptr<TGraphic> FGraphic;
};

} // namespace vcl
