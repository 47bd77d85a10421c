// vcl/PngImage.h: the class library's PNG image on libpng: every colour type and bit depth, the palette,
// tRNS transparency, a separate alpha plane, and the chunk list (ancillary chunks are kept in their
// places and written back, and can be removed, as the gamma chunk of glyphs is).
#pragma once
#include "vcl/Graphics.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vcl {

// Colour types of the PNG header.
constexpr uint8_t COLOR_GRAYSCALE = 0;
constexpr uint8_t COLOR_RGB = 2;
constexpr uint8_t COLOR_PALETTE = 3;
constexpr uint8_t COLOR_GRAYSCALEALPHA = 4;
constexpr uint8_t COLOR_RGBALPHA = 6;

// Raised for a file that is not a PNG, is cut short or is corrupt, and for impossible requests.
class EPNGError : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
    rtl::String ClassName() const override { return QStringLiteral("EPNGError"); }
};

enum TPngTransparencyMode { ptmNone, ptmBit, ptmPartial };

class TPngImage;

// One chunk of the file. Ancillary chunks keep their bytes as read; the critical ones (and tRNS)
// are represented by the image itself and rebuilt when it is saved.
class TChunk {
public:
    virtual ~TChunk() = default;
    std::string Name() const { return std::string(FName.data(), 4); }
    const rtl::TBytes& Data() const { return FData; }
    rtl::TBytes& Data() { return FData; }
    TPngImage* Owner() const { return FOwner; }

protected:
    friend class TPngImage;
    friend class TPngList;
    TChunk(TPngImage* AOwner, const char* AName);
    std::array<char, 4> FName{};
    rtl::TBytes FData;
    TPngImage* FOwner;
    int FLocation = 0;          // ancillary chunks: 0 before PLTE, 1 before IDAT, 2 after IDAT
};

// The header: the size, bit depth and colour type of the image.
class TChunkIHDR : public TChunk {
public:
    explicit TChunkIHDR(TPngImage* AOwner) : TChunk(AOwner, "IHDR") {}
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint8_t BitDepth = 0;
    uint8_t ColorType = 0;
    uint8_t CompressionMethod = 0;
    uint8_t FilterMethod = 0;
    uint8_t InterlaceMethod = 0;
};

class TChunkPLTE : public TChunk {
public:
    explicit TChunkPLTE(TPngImage* AOwner) : TChunk(AOwner, "PLTE") {}
    int Count() const;
};

class TChunktRNS : public TChunk {
public:
    explicit TChunktRNS(TPngImage* AOwner) : TChunk(AOwner, "tRNS") {}
};

class TChunkIDAT : public TChunk {
public:
    explicit TChunkIDAT(TPngImage* AOwner) : TChunk(AOwner, "IDAT") {}
};

class TChunkIEND : public TChunk {
public:
    explicit TChunkIEND(TPngImage* AOwner) : TChunk(AOwner, "IEND") {}
};

// The gamma chunk: the gamma value times 100000, big-endian in the data.
class TChunkgAMA : public TChunk {
public:
    explicit TChunkgAMA(TPngImage* AOwner) : TChunk(AOwner, "gAMA") {}
    uint32_t Gamma() const;
    void SetGamma(uint32_t Value);
};

// The chunks of an image in file order: IHDR first, IEND last.
class TPngList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TChunk* Item(int Index) const;                  // nullptr out of range
    TChunk* FindChunk(const std::string& Name) const;
    template <typename T> T* ItemFromClass() const {
        for (const auto& c : FItems)
            if (auto* t = dynamic_cast<T*>(c.get())) return t;
        return nullptr;
    }
    // Removes and frees an ancillary chunk, or tRNS (the image loses its tRNS transparency), or the
    // suggested palette of a true-colour image. The chunks the image cannot exist without raise EPNGError.
    void RemoveChunk(TChunk* Chunk);

private:
    friend class TPngImage;
    explicit TPngList(TPngImage* AOwner) : FOwner(AOwner) {}
    TPngImage* FOwner;
    std::vector<std::unique_ptr<TChunk>> FItems;
};

struct TPngPaletteEntry {
    uint8_t Red = 0, Green = 0, Blue = 0;
};

class TPngImage : public TGraphic {
public:
    TPngImage();
    ~TPngImage() override;

    // A blank (black, opaque) image; raises EPNGError for a colour type and depth PNG does not allow.
    void CreateBlank(unsigned ColorType, unsigned BitDepth, int AWidth, int AHeight);

    TChunkIHDR& Header() const { return *FHeader; }
    TPngList& Chunks() { return FChunks; }

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override { Resize(Value, Height()); }
    void SetHeight(int Value) override { Resize(Width(), Value); }
    // Keeps the overlapping top-left part; new pixels are zero (black, and transparent where there is
    // an alpha channel). Raises EPNGError for an empty image or a size below 1.
    void Resize(int CX, int CY);

    // Row y of the image data: 3 bytes blue, green, red per pixel for true colour (the high bytes of
    // 16-bit samples); one byte per pixel (high byte at 16 bits) for grayscale with alpha; packed PNG
    // samples for grayscale and palette images below 8 bits. nullptr out of range.
    uint8_t* Scanline(int Row);
    // The low bytes of 16-bit samples, laid out like Scanline (nullptr unless the depth is 16).
    uint8_t* ExtraScanline(int Row);
    // One byte per pixel for colour types 4 and 6; nullptr for the others.
    uint8_t* AlphaScanline(int Row);
    // The low bytes of 16-bit alpha samples (nullptr unless the depth is 16 and there is alpha).
    uint8_t* ExtraAlphaScanline(int Row);

    TColor Pixels(int X, int Y) const;                  // clNone out of range
    void SetPixels(int X, int Y, TColor Value);

    TPngTransparencyMode TransparencyMode() const;
    TColor TransparentColor() const;                    // of a bit-transparent image; clNone otherwise
    void SetTransparentColor(TColor Value);             // makes a colour type 0, 2 or 3 image bit-transparent
    void RemoveTransparency();                          // drops tRNS and the alpha plane
    // Adds an alpha channel: type 0 becomes 4, type 2 becomes 6, a palette image gets a full tRNS;
    // tRNS transparency turns into alpha 0.
    void CreateAlpha();

    // The palette of a palette image (or the suggested palette of another), at most 256 entries.
    const std::vector<TPngPaletteEntry>& PaletteEntries() const { return FPalette; }
    void SetPaletteEntries(const std::vector<TPngPaletteEntry>& Entries);
    // A logical palette of the entries, owned by the image (made again after the entries change).
    // Setting a palette copies its entries; the image's own handle, changed in place, may be set back.
    HPALETTE Palette() const override;
    void SetPalette(HPALETTE Value) override;

    int CompressionLevel() const { return FCompressionLevel; }
    void SetCompressionLevel(int Value);                // 0..9

    void Assign(rtl::TPersistent* Source) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

    void LoadFromStream(rtl::TStream* Stream) override;
    void SaveToStream(rtl::TStream* Stream) override;
    void LoadFromBytes(const rtl::TBytes& Bytes);        // raises EPNGError
    // An RT_RCDATA resource holding a PNG file; raise EResNotFound when the module lacks it.
    void LoadFromResourceName(HINSTANCE Instance, const rtl::String& Name);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);
    rtl::TBytes SaveToBytes() const;

    TGraphic* CreateCopy() const override;

protected:
    void AssignTo(rtl::TPersistent* Dest) override;
    bool GetTransparent() const override;

private:
    friend class TPngList;
    void Clear();
    void AssignFromBitmap(TBitmap* Source);
    void AssignToBitmap(TBitmap* Dest) const;
    void RebuildChunkList();
    void AllocateData();
    size_t RowBytes() const;
    size_t ExtraRowBytes() const;
    unsigned SampleAt(int X, int Y) const;              // gray value or palette index (packed rows)
    void SetSampleAt(int X, int Y, unsigned Value);
    // Colour and alpha of a pixel, 8 bits each (alpha from the plane or from tRNS).
    void PixelRGBA(int X, int Y, uint8_t& R, uint8_t& G, uint8_t& B, uint8_t& A) const;
    bool HasTrns() const { return FHasTrns; }

    TChunkIHDR* FHeader;
    TPngList FChunks;
    std::vector<uint8_t> FData;                         // Scanline rows, top-down
    std::vector<uint8_t> FExtra;                        // 16-bit low bytes
    std::vector<uint8_t> FAlpha;                        // alpha plane
    std::vector<uint8_t> FExtraAlpha;                   // 16-bit alpha low bytes
    std::vector<TPngPaletteEntry> FPalette;
    mutable HPALETTE FPaletteHandle = nullptr;
    void FreePaletteHandle();
    // tRNS: alpha per palette entry, or the one transparent gray / RGB value (16-bit samples).
    bool FHasTrns = false;
    std::vector<uint8_t> FTrnsAlpha;
    uint16_t FTrnsGray = 0, FTrnsRed = 0, FTrnsGreen = 0, FTrnsBlue = 0;
    int FCompressionLevel = 7;
};

// The name the older PNG component used; form data stored under it loads as a PNG image.
class TPNGObject : public TPngImage {
public:
    TGraphic* CreateCopy() const override;
};

} // namespace vcl
