// vcl/Jpeg.h: the class library's JPEG image on libjpeg. It keeps the compressed data it was loaded
// from (saved back unchanged) and a decoded bitmap; a bitmap assigned to it is compressed on saving
// with CompressionQuality.
#pragma once
#include "vcl/Graphics.h"

#include <memory>

namespace vcl {

// Raised for data that is not a JPEG image, is cut short or is corrupt.
class EJPEG : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
    rtl::String ClassName() const override { return QStringLiteral("EJPEG"); }
};

enum TJPEGPixelFormat { jf24Bit, jf8Bit };
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;          // raises EJPEG: a JPEG image has the size of its data
    void SetHeight(int Value) override;

    int CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int Value);      // 1..100; takes effect at the next compression
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value);              // decodes as gray
    bool ProgressiveEncoding() const { return FProgressive; }
    void SetProgressiveEncoding(bool Value) { FProgressive = Value; }
    TJPEGPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TJPEGPixelFormat Value) { FPixelFormat = Value; }
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale Value);            // decodes at 1/1, 1/2, 1/4 or 1/8 of the size
    TJPEGPerformance Performance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance Value) { FPerformance = Value; }

    // Compresses the bitmap now (saving does it when needed); decodes the data now.
    void Compress();
    void JPEGNeeded();
    void DIBNeeded();

    void Assign(rtl::TPersistent* Source) override;
    void LoadFromStream(rtl::TStream* Stream) override;     // raises EJPEG
    void SaveToStream(rtl::TStream* Stream) override;
    TGraphic* CreateCopy() const override;

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    void AssignTo(rtl::TPersistent* Dest) override;

private:
    void Decode();
    rtl::TBytes FData;                          // compressed bytes; empty when only a bitmap is held
    std::unique_ptr<TBitmap> FBitmap;           // decoded picture (24-bit)
    int FQuality = 90;
    bool FGrayscale = false;
    bool FProgressive = false;
    TJPEGPixelFormat FPixelFormat = jf24Bit;
    TJPEGScale FScale = jsFullSize;
    TJPEGPerformance FPerformance = jpBestQuality;
};

} // namespace vcl
