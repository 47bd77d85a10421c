#include "vcl/PngImage.h"
#include "vcl/ResourceStream.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace vcl {

namespace {

constexpr uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Deflate cannot expand data more than about 1032 times: a claimed image larger than that relative to
// its compressed bytes is corrupt, and is refused before anything is allocated for it.
constexpr uint64_t MaxDeflateRatio = 1032;
constexpr uint64_t MaxImageBytes = uint64_t(1) << 31;

[[noreturn]] void PngError(const char* Text) { throw EPNGError(QString::fromUtf8(Text)); }

uint32_t ReadBE32(const uint8_t* P) { return uint32_t(P[0]) << 24 | uint32_t(P[1]) << 16 | uint32_t(P[2]) << 8 | P[3]; }
void WriteBE32(uint8_t* P, uint32_t V) {
    P[0] = uint8_t(V >> 24); P[1] = uint8_t(V >> 16); P[2] = uint8_t(V >> 8); P[3] = uint8_t(V);
}

bool ValidCombination(unsigned ColorType, unsigned BitDepth) {
    switch (ColorType) {
    case COLOR_GRAYSCALE: return BitDepth == 1 || BitDepth == 2 || BitDepth == 4 || BitDepth == 8 || BitDepth == 16;
    case COLOR_PALETTE: return BitDepth == 1 || BitDepth == 2 || BitDepth == 4 || BitDepth == 8;
    case COLOR_RGB:
    case COLOR_GRAYSCALEALPHA:
    case COLOR_RGBALPHA: return BitDepth == 8 || BitDepth == 16;
    default: return false;
    }
}

// An ancillary chunk as found in the file, with where it stood relative to PLTE and IDAT.
struct RawChunk {
    char Name[5] = {};
    rtl::TBytes Data;
    int Location = 0;
};

// What libpng decoded: PNG rows without filter bytes (samples as in the file, 16-bit big-endian).
struct RawImage {
    uint32_t Width = 0, Height = 0;
    int BitDepth = 0, ColorType = 0, Interlace = 0;
    size_t RowBytes = 0;
    std::vector<uint8_t> Rows;
    std::vector<png_color> Palette;
    std::vector<uint8_t> TrnsAlpha;
    bool HasTrnsColor = false;
    png_color_16 TrnsColor{};
    std::vector<RawChunk> Chunks;
    size_t End = 0;                     // offset just after IEND
};

// ---- libpng glue. setjmp/longjmp does not run C++ destructors, so the functions that call libpng
// keep no C++ objects of their own: everything lives in the caller's frame. ----

struct ReadContext {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
    char Error[200];
};

void OnPngError(png_structp Png, png_const_charp Message) {
    auto* errorText = static_cast<char*>(png_get_error_ptr(Png));
    std::snprintf(errorText, 200, "%s", Message ? Message : "PNG error");
    png_longjmp(Png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

void OnPngRead(png_structp Png, png_bytep Out, png_size_t Count) {
    auto* ctx = static_cast<ReadContext*>(png_get_io_ptr(Png));
    if (Count > ctx->Size - ctx->Pos) png_error(Png, "The PNG data is cut short");
    std::memcpy(Out, ctx->Data + ctx->Pos, Count);
    ctx->Pos += Count;
}

// Decodes the pixels, the palette and tRNS with libpng; returns false with ctx.Error set on failure.
bool DecodeWithLibpng(ReadContext& Ctx, RawImage& Img, std::vector<png_bytep>& RowPointers, uint64_t MaxRaw) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, Ctx.Error, OnPngError, OnPngWarning);
    if (!png) {
        std::snprintf(Ctx.Error, sizeof Ctx.Error, "Out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_set_read_fn(png, &Ctx, OnPngRead);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_read_info(png, info);

    png_uint_32 w = 0, h = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &colorType, &interlace, nullptr, nullptr);
    Img.Width = w;
    Img.Height = h;
    Img.BitDepth = depth;
    Img.ColorType = colorType;
    Img.Interlace = interlace;
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    Img.RowBytes = png_get_rowbytes(png, info);
    if (uint64_t(Img.RowBytes + 1) * h > MaxRaw) png_error(png, "The PNG image is larger than its data can hold");

    png_colorp palette = nullptr;
    int paletteCount = 0;
    if (png_get_PLTE(png, info, &palette, &paletteCount) && palette)
        Img.Palette.assign(palette, palette + paletteCount);
    png_bytep trnsAlpha = nullptr;
    int trnsCount = 0;
    png_color_16p trnsColor = nullptr;
    if (png_get_tRNS(png, info, &trnsAlpha, &trnsCount, &trnsColor)) {
        if (colorType == PNG_COLOR_TYPE_PALETTE && trnsAlpha) Img.TrnsAlpha.assign(trnsAlpha, trnsAlpha + trnsCount);
        else if (trnsColor) {
            Img.HasTrnsColor = true;
            Img.TrnsColor = *trnsColor;
        }
    }

    Img.Rows.assign(Img.RowBytes * h, 0);
    RowPointers.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) RowPointers[y] = Img.Rows.data() + y * Img.RowBytes;
    png_read_image(png, RowPointers.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

struct WriteContext {
    std::vector<uint8_t>* Out;
    char Error[200];
};

void OnPngWrite(png_structp Png, png_bytep Data, png_size_t Count) {
    auto* ctx = static_cast<WriteContext*>(png_get_io_ptr(Png));
    ctx->Out->insert(ctx->Out->end(), Data, Data + Count);
}
void OnPngFlush(png_structp) {}

bool EncodeWithLibpng(WriteContext& Ctx, const RawImage& Img, std::vector<png_bytep>& RowPointers,
                      std::vector<png_unknown_chunk>& Unknown, int Level) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, Ctx.Error, OnPngError, OnPngWarning);
    if (!png) {
        std::snprintf(Ctx.Error, sizeof Ctx.Error, "Out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, &Ctx, OnPngWrite, OnPngFlush);
    png_set_compression_level(png, Level);
    png_set_IHDR(png, info, Img.Width, Img.Height, Img.BitDepth, Img.ColorType, Img.Interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!Img.Palette.empty())
        png_set_PLTE(png, info, Img.Palette.data(), int(Img.Palette.size()));
    if (!Img.TrnsAlpha.empty())
        png_set_tRNS(png, info, Img.TrnsAlpha.data(), int(Img.TrnsAlpha.size()), nullptr);
    else if (Img.HasTrnsColor) {
        png_color_16 c = Img.TrnsColor;
        png_set_tRNS(png, info, nullptr, 0, &c);
    }
    // Every kept chunk is written back as it came, whatever libpng knows about its name.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, nullptr, 0);
    if (!Unknown.empty()) png_set_unknown_chunks(png, info, Unknown.data(), int(Unknown.size()));
    png_write_info(png, info);
    if (Img.Interlace != PNG_INTERLACE_NONE) png_set_interlace_handling(png);
    png_write_image(png, RowPointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Walks the chunks: checks lengths against the bytes that remain and the CRCs, collects the
// ancillary chunks in order, and finds the end of the image.
void WalkChunks(const uint8_t* Data, size_t Size, RawImage& Img, uint64_t& IdatBytes) {
    if (Size < 8 || std::memcmp(Data, PngSignature, 8) != 0) PngError("This is not a valid PNG image");
    size_t pos = 8;
    int location = 0;
    bool first = true;
    IdatBytes = 0;
    for (;;) {
        if (Size - pos < 12) PngError("The PNG data is cut short");
        const uint32_t length = ReadBE32(Data + pos);
        if (length > 0x7FFFFFFF || length > Size - pos - 12) PngError("The PNG data is cut short");
        const uint8_t* type = Data + pos + 4;
        for (int i = 0; i < 4; ++i)
            if (!((type[i] >= 'A' && type[i] <= 'Z') || (type[i] >= 'a' && type[i] <= 'z')))
                PngError("The PNG data holds an invalid chunk");
        const uint32_t crc = ReadBE32(Data + pos + 8 + length);
        const bool crcOk = uint32_t(crc32(0, type, 4 + length)) == crc;
        const std::string name(reinterpret_cast<const char*>(type), 4);
        const bool critical = !(type[0] & 0x20);
        if (critical && !crcOk) PngError("The PNG data holds a chunk with a wrong CRC");
        if (first && name != "IHDR") PngError("The PNG data does not start with its header");
        first = false;
        if (name == "IEND") {
            Img.End = pos + 12 + length;
            break;
        }
        if (name == "PLTE") location = std::max(location, 1);
        else if (name == "IDAT") {
            location = 2;
            IdatBytes += length;
        } else if (!critical && name != "tRNS" && crcOk) {
            RawChunk c;
            std::memcpy(c.Name, type, 4);
            c.Data.assign(type + 4, type + 4 + length);
            c.Location = location;
            Img.Chunks.push_back(std::move(c));
        }
        pos += 12 + length;
    }
    if (IdatBytes == 0) PngError("The PNG data holds no image data");
}

// Packed samples: value of sample X in a row of Depth-bit samples (MSB first).
unsigned GetPacked(const uint8_t* Row, int X, int Depth) {
    if (Depth == 8) return Row[X];
    const int perByte = 8 / Depth;
    const int shift = (perByte - 1 - X % perByte) * Depth;
    return (Row[X / perByte] >> shift) & ((1u << Depth) - 1);
}
void SetPacked(uint8_t* Row, int X, int Depth, unsigned Value) {
    if (Depth == 8) {
        Row[X] = uint8_t(Value);
        return;
    }
    const int perByte = 8 / Depth;
    const int shift = (perByte - 1 - X % perByte) * Depth;
    const unsigned mask = ((1u << Depth) - 1) << shift;
    Row[X / perByte] = uint8_t((Row[X / perByte] & ~mask) | ((Value << shift) & mask));
}

uint8_t ScaleTo8(unsigned Value, int Depth) {
    if (Depth >= 8) return uint8_t(Depth == 16 ? Value >> 8 : Value);
    return uint8_t(Value * 255 / ((1u << Depth) - 1));
}
unsigned ScaleFrom8(uint8_t Value, int Depth) {
    if (Depth >= 8) return Depth == 16 ? unsigned(Value) * 257 : Value;
    const unsigned maxv = (1u << Depth) - 1;
    return (unsigned(Value) * maxv + 127) / 255;
}

uint8_t GrayOf(uint8_t R, uint8_t G, uint8_t B) { return uint8_t((R * 77 + G * 150 + B * 29) >> 8); }

constexpr TColor MakeColor(uint8_t R, uint8_t G, uint8_t B) { return TColor(R | G << 8 | B << 16); }

} // namespace

// ---- chunks ----

TChunk::TChunk(TPngImage* AOwner, const char* AName) : FOwner(AOwner) { std::memcpy(FName.data(), AName, 4); }

int TChunkPLTE::Count() const { return FOwner ? int(FOwner->PaletteEntries().size()) : 0; }

uint32_t TChunkgAMA::Gamma() const { return FData.size() >= 4 ? ReadBE32(FData.data()) : 0; }
void TChunkgAMA::SetGamma(uint32_t Value) {
    FData.resize(4);
    WriteBE32(FData.data(), Value);
}

TChunk* TPngList::Item(int Index) const {
    return Index >= 0 && Index < Count() ? FItems[size_t(Index)].get() : nullptr;
}

TChunk* TPngList::FindChunk(const std::string& Name) const {
    for (const auto& c : FItems)
        if (c->Name() == Name) return c.get();
    return nullptr;
}

void TPngList::RemoveChunk(TChunk* Chunk) {
    auto it = std::find_if(FItems.begin(), FItems.end(), [&](const auto& c) { return c.get() == Chunk; });
    if (it == FItems.end()) return;
    const std::string name = Chunk->Name();
    if (name == "IHDR" || name == "IDAT" || name == "IEND" ||
        (name == "PLTE" && FOwner->Header().ColorType == COLOR_PALETTE))
        PngError("This chunk cannot be removed from a PNG image");
    if (name == "tRNS") {
        FOwner->FHasTrns = false;
        FOwner->FTrnsAlpha.clear();
    } else if (name == "PLTE") {
        FOwner->FreePaletteHandle();
        FOwner->FPalette.clear();
    }
    FItems.erase(it);
    FOwner->Changed(FOwner);
}

// ---- the image ----

TPngImage::TPngImage() : FChunks(this) {
    FHeader = new TChunkIHDR(this);
    FChunks.FItems.emplace_back(FHeader);
}

TPngImage::~TPngImage() { FreePaletteHandle(); }

TGraphic* TPngImage::CreateCopy() const {
    auto* copy = new TPngImage;
    copy->Assign(const_cast<TPngImage*>(this));
    return copy;
}

TGraphic* TPNGObject::CreateCopy() const {
    auto* copy = new TPNGObject;
    copy->Assign(const_cast<TPNGObject*>(this));
    return copy;
}

bool TPngImage::Empty() const { return FHeader->Width == 0 || FHeader->Height == 0; }
int TPngImage::Width() const { return int(FHeader->Width); }
int TPngImage::Height() const { return int(FHeader->Height); }

void TPngImage::Resize(int CX, int CY) {
    if (Empty()) PngError("An empty PNG image cannot be resized");
    if (CX <= 0 || CY <= 0) PngError("A PNG image must be at least one pixel wide and high");
    if (uint32_t(CX) == FHeader->Width && uint32_t(CY) == FHeader->Height) return;
    const int oldW = Width(), oldH = Height();
    const size_t oldRow = RowBytes(), oldExtraRow = ExtraRowBytes();
    std::vector<uint8_t> data = std::move(FData), extra = std::move(FExtra), alpha = std::move(FAlpha),
                         extraAlpha = std::move(FExtraAlpha);
    FHeader->Width = uint32_t(CX);
    FHeader->Height = uint32_t(CY);
    AllocateData();
    const int w = std::min(oldW, CX), h = std::min(oldH, CY);
    const int depth = FHeader->BitDepth;
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = data.data() + size_t(y) * oldRow;
        uint8_t* dst = Scanline(y);
        if (depth < 8)
            for (int x = 0; x < w; ++x) SetPacked(dst, x, depth, GetPacked(src, x, depth));
        else
            std::memcpy(dst, src, RowBytes() / size_t(CX) * size_t(w));     // whole pixels of 1 or 3 bytes
        if (!extra.empty())
            std::memcpy(ExtraScanline(y), extra.data() + size_t(y) * oldExtraRow, ExtraRowBytes() / size_t(CX) * size_t(w));
        if (!alpha.empty()) std::memcpy(AlphaScanline(y), alpha.data() + size_t(y) * size_t(oldW), size_t(w));
        if (!extraAlpha.empty())
            std::memcpy(ExtraAlphaScanline(y), extraAlpha.data() + size_t(y) * size_t(oldW), size_t(w));
    }
    Changed(this);
}

void TPngImage::Clear() {
    FChunks.FItems.erase(FChunks.FItems.begin() + 1, FChunks.FItems.end());
    *FHeader = TChunkIHDR(this);
    FData.clear();
    FExtra.clear();
    FAlpha.clear();
    FExtraAlpha.clear();
    FreePaletteHandle();
    FPalette.clear();
    FHasTrns = false;
    FTrnsAlpha.clear();
    FTrnsGray = FTrnsRed = FTrnsGreen = FTrnsBlue = 0;
}

size_t TPngImage::RowBytes() const {
    const size_t w = FHeader->Width;
    switch (FHeader->ColorType) {
    case COLOR_RGB:
    case COLOR_RGBALPHA: return w * 3;
    case COLOR_GRAYSCALEALPHA: return w;
    default: return FHeader->BitDepth >= 8 ? w : (w * FHeader->BitDepth + 7) / 8;
    }
}

size_t TPngImage::ExtraRowBytes() const {
    if (FHeader->BitDepth != 16) return 0;
    return (FHeader->ColorType == COLOR_RGB || FHeader->ColorType == COLOR_RGBALPHA) ? size_t(FHeader->Width) * 3
                                                                                      : FHeader->Width;
}

void TPngImage::AllocateData() {
    const size_t h = FHeader->Height;
    if (uint64_t(RowBytes()) * h * 2 > MaxImageBytes) PngError("The PNG image is too large");
    FData.assign(RowBytes() * h, 0);
    FExtra.assign(ExtraRowBytes() * h, 0);
    const bool alpha = FHeader->ColorType == COLOR_GRAYSCALEALPHA || FHeader->ColorType == COLOR_RGBALPHA;
    FAlpha.assign(alpha ? size_t(FHeader->Width) * h : 0, 0);
    FExtraAlpha.assign(alpha && FHeader->BitDepth == 16 ? size_t(FHeader->Width) * h : 0, 0);
}

void TPngImage::RebuildChunkList() {
    // Keeps the ancillary chunks and puts the critical ones (and tRNS) where the image needs them.
    std::vector<std::unique_ptr<TChunk>> kept;
    std::unique_ptr<TChunk> header;
    for (auto& c : FChunks.FItems) {
        const std::string n = c->Name();
        if (c.get() == FHeader) header = std::move(c);
        else if (n != "IHDR" && n != "PLTE" && n != "tRNS" && n != "IDAT" && n != "IEND") kept.push_back(std::move(c));
    }
    FChunks.FItems.clear();
    FChunks.FItems.push_back(std::move(header));
    for (auto& c : kept)
        if (c->FLocation == 0) FChunks.FItems.push_back(std::move(c));
    if (!FPalette.empty()) FChunks.FItems.push_back(std::make_unique<TChunkPLTE>(this));
    if (FHasTrns) FChunks.FItems.push_back(std::make_unique<TChunktRNS>(this));
    for (auto& c : kept)
        if (c && c->FLocation == 1) FChunks.FItems.push_back(std::move(c));
    FChunks.FItems.push_back(std::make_unique<TChunkIDAT>(this));
    for (auto& c : kept)
        if (c && c->FLocation == 2) FChunks.FItems.push_back(std::move(c));
    FChunks.FItems.push_back(std::make_unique<TChunkIEND>(this));
}

void TPngImage::CreateBlank(unsigned ColorType, unsigned BitDepth, int AWidth, int AHeight) {
    if (!ValidCombination(ColorType, BitDepth)) PngError("This colour type and bit depth do not make a PNG image");
    if (AWidth <= 0 || AHeight <= 0) PngError("A PNG image must be at least one pixel wide and high");
    Clear();
    FHeader->Width = uint32_t(AWidth);
    FHeader->Height = uint32_t(AHeight);
    FHeader->BitDepth = uint8_t(BitDepth);
    FHeader->ColorType = uint8_t(ColorType);
    AllocateData();
    if (ColorType == COLOR_PALETTE) {
        // A gray ramp over the index range, as a neutral starting palette.
        const int n = 1 << BitDepth;
        FPalette.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            const uint8_t v = uint8_t(n > 1 ? i * 255 / (n - 1) : 0);
            FPalette[size_t(i)] = {v, v, v};
        }
    }
    std::fill(FAlpha.begin(), FAlpha.end(), 0xFF);
    std::fill(FExtraAlpha.begin(), FExtraAlpha.end(), 0xFF);
    RebuildChunkList();
    Changed(this);
}

uint8_t* TPngImage::Scanline(int Row) {
    if (Row < 0 || uint32_t(Row) >= FHeader->Height || FData.empty()) return nullptr;
    return FData.data() + size_t(Row) * RowBytes();
}

uint8_t* TPngImage::ExtraScanline(int Row) {
    if (Row < 0 || uint32_t(Row) >= FHeader->Height || FExtra.empty()) return nullptr;
    return FExtra.data() + size_t(Row) * ExtraRowBytes();
}

uint8_t* TPngImage::AlphaScanline(int Row) {
    if (Row < 0 || uint32_t(Row) >= FHeader->Height || FAlpha.empty()) return nullptr;
    return FAlpha.data() + size_t(Row) * FHeader->Width;
}

unsigned TPngImage::SampleAt(int X, int Y) const {
    const uint8_t* row = FData.data() + size_t(Y) * RowBytes();
    return GetPacked(row, X, FHeader->BitDepth == 16 ? 8 : FHeader->BitDepth);
}

void TPngImage::SetSampleAt(int X, int Y, unsigned Value) {
    uint8_t* row = FData.data() + size_t(Y) * RowBytes();
    SetPacked(row, X, FHeader->BitDepth == 16 ? 8 : FHeader->BitDepth, Value);
}

void TPngImage::PixelRGBA(int X, int Y, uint8_t& R, uint8_t& G, uint8_t& B, uint8_t& A) const {
    const size_t w = FHeader->Width;
    const int depth = FHeader->BitDepth;
    A = 255;
    switch (FHeader->ColorType) {
    case COLOR_RGB:
    case COLOR_RGBALPHA: {
        const uint8_t* p = FData.data() + (size_t(Y) * w + size_t(X)) * 3;
        B = p[0];
        G = p[1];
        R = p[2];
        if (FHeader->ColorType == COLOR_RGBALPHA) A = FAlpha[size_t(Y) * w + size_t(X)];
        else if (FHasTrns) {
            bool same = false;
            if (depth == 16) {
                const uint8_t* e = FExtra.data() + (size_t(Y) * w + size_t(X)) * 3;
                same = (unsigned(R) << 8 | e[2]) == FTrnsRed && (unsigned(G) << 8 | e[1]) == FTrnsGreen &&
                       (unsigned(B) << 8 | e[0]) == FTrnsBlue;
            } else
                same = R == FTrnsRed && G == FTrnsGreen && B == FTrnsBlue;
            if (same) A = 0;
        }
        break;
    }
    case COLOR_GRAYSCALE:
    case COLOR_GRAYSCALEALPHA: {
        const unsigned s = SampleAt(X, Y);
        R = G = B = ScaleTo8(depth == 16 ? s << 8 : s, depth);
        if (FHeader->ColorType == COLOR_GRAYSCALEALPHA) A = FAlpha[size_t(Y) * w + size_t(X)];
        else if (FHasTrns) {
            const unsigned full = depth == 16 ? (s << 8 | FExtra[size_t(Y) * w + size_t(X)]) : s;
            if (full == FTrnsGray) A = 0;
        }
        break;
    }
    case COLOR_PALETTE: {
        const unsigned i = SampleAt(X, Y);
        if (i < FPalette.size()) {
            R = FPalette[i].Red;
            G = FPalette[i].Green;
            B = FPalette[i].Blue;
        } else
            R = G = B = 0;
        if (FHasTrns && i < FTrnsAlpha.size()) A = FTrnsAlpha[i];
        break;
    }
    default: R = G = B = 0;
    }
}

uint8_t* TPngImage::ExtraAlphaScanline(int Row) {
    if (Row < 0 || uint32_t(Row) >= FHeader->Height || FExtraAlpha.empty()) return nullptr;
    return FExtraAlpha.data() + size_t(Row) * FHeader->Width;
}

TColor TPngImage::Pixels(int X, int Y) const {
    if (X < 0 || Y < 0 || uint32_t(X) >= FHeader->Width || uint32_t(Y) >= FHeader->Height) return clNone;
    uint8_t r, g, b, a;
    PixelRGBA(X, Y, r, g, b, a);
    return MakeColor(r, g, b);
}

void TPngImage::SetPixels(int X, int Y, TColor Value) {
    if (X < 0 || Y < 0 || uint32_t(X) >= FHeader->Width || uint32_t(Y) >= FHeader->Height) return;
    const uint32_t rgb = uint32_t(ColorToRGB(Value));
    const uint8_t r = uint8_t(rgb), g = uint8_t(rgb >> 8), b = uint8_t(rgb >> 16);
    const size_t w = FHeader->Width;
    const int depth = FHeader->BitDepth;
    switch (FHeader->ColorType) {
    case COLOR_RGB:
    case COLOR_RGBALPHA: {
        uint8_t* p = FData.data() + (size_t(Y) * w + size_t(X)) * 3;
        p[0] = b;
        p[1] = g;
        p[2] = r;
        if (depth == 16) {
            uint8_t* e = FExtra.data() + (size_t(Y) * w + size_t(X)) * 3;
            e[0] = b;
            e[1] = g;
            e[2] = r;
        }
        break;
    }
    case COLOR_GRAYSCALE:
    case COLOR_GRAYSCALEALPHA: {
        const uint8_t gray = GrayOf(r, g, b);
        if (depth == 16) {
            SetSampleAt(X, Y, gray);
            FExtra[size_t(Y) * w + size_t(X)] = gray;
        } else
            SetSampleAt(X, Y, ScaleFrom8(gray, depth));
        break;
    }
    case COLOR_PALETTE: {
        // The nearest palette entry.
        unsigned best = 0;
        long bestDist = -1;
        for (size_t i = 0; i < FPalette.size() && i < (1u << depth); ++i) {
            const long dr = long(FPalette[i].Red) - r, dg = long(FPalette[i].Green) - g, db = long(FPalette[i].Blue) - b;
            const long d = dr * dr + dg * dg + db * db;
            if (bestDist < 0 || d < bestDist) {
                bestDist = d;
                best = unsigned(i);
            }
        }
        SetSampleAt(X, Y, best);
        break;
    }
    }
    Changed(this);
}

TPngTransparencyMode TPngImage::TransparencyMode() const {
    switch (FHeader->ColorType) {
    case COLOR_RGBALPHA:
    case COLOR_GRAYSCALEALPHA: return ptmPartial;
    case COLOR_PALETTE:
        if (!FHasTrns) return ptmNone;
        for (uint8_t a : FTrnsAlpha)
            if (a != 0 && a != 255) return ptmPartial;
        return ptmBit;
    default: return FHasTrns ? ptmBit : ptmNone;
    }
}

TColor TPngImage::TransparentColor() const {
    if (TransparencyMode() != ptmBit) return clNone;
    const int depth = FHeader->BitDepth;
    switch (FHeader->ColorType) {
    case COLOR_GRAYSCALE: {
        const uint8_t v = ScaleTo8(FTrnsGray, depth);
        return MakeColor(v, v, v);
    }
    case COLOR_RGB:
        if (depth == 16) return MakeColor(uint8_t(FTrnsRed >> 8), uint8_t(FTrnsGreen >> 8), uint8_t(FTrnsBlue >> 8));
        return MakeColor(uint8_t(FTrnsRed), uint8_t(FTrnsGreen), uint8_t(FTrnsBlue));
    case COLOR_PALETTE:
        for (size_t i = 0; i < FTrnsAlpha.size() && i < FPalette.size(); ++i)
            if (FTrnsAlpha[i] == 0) return MakeColor(FPalette[i].Red, FPalette[i].Green, FPalette[i].Blue);
        return clNone;
    default: return clNone;
    }
}

void TPngImage::SetTransparentColor(TColor Value) {
    if (Empty()) return;
    const uint32_t rgb = uint32_t(ColorToRGB(Value));
    const uint8_t r = uint8_t(rgb), g = uint8_t(rgb >> 8), b = uint8_t(rgb >> 16);
    const int depth = FHeader->BitDepth;
    switch (FHeader->ColorType) {
    case COLOR_GRAYSCALE: FTrnsGray = uint16_t(ScaleFrom8(GrayOf(r, g, b), depth)); break;
    case COLOR_RGB:
        FTrnsRed = uint16_t(ScaleFrom8(r, depth));
        FTrnsGreen = uint16_t(ScaleFrom8(g, depth));
        FTrnsBlue = uint16_t(ScaleFrom8(b, depth));
        break;
    case COLOR_PALETTE:
        FTrnsAlpha.assign(FPalette.size(), 255);
        for (size_t i = 0; i < FPalette.size(); ++i)
            if (FPalette[i].Red == r && FPalette[i].Green == g && FPalette[i].Blue == b) FTrnsAlpha[i] = 0;
        break;
    default: PngError("An image with an alpha channel has no transparent colour");
    }
    FHasTrns = true;
    RebuildChunkList();
    Changed(this);
}

void TPngImage::RemoveTransparency() {
    if (FHeader->ColorType == COLOR_RGBALPHA || FHeader->ColorType == COLOR_GRAYSCALEALPHA) {
        FHeader->ColorType = FHeader->ColorType == COLOR_RGBALPHA ? COLOR_RGB : COLOR_GRAYSCALE;
        FAlpha.clear();
        FExtraAlpha.clear();
    }
    FHasTrns = false;
    FTrnsAlpha.clear();
    RebuildChunkList();
    Changed(this);
}

void TPngImage::CreateAlpha() {
    if (Empty()) return;
    const size_t w = FHeader->Width, h = FHeader->Height;
    switch (FHeader->ColorType) {
    case COLOR_RGBALPHA:
    case COLOR_GRAYSCALEALPHA: return;
    case COLOR_PALETTE:
        // A palette image keeps its indexes: the alpha lives in tRNS, one value per entry.
        if (!FHasTrns) {
            FTrnsAlpha.assign(FPalette.size(), 255);
            FHasTrns = true;
        } else
            FTrnsAlpha.resize(FPalette.size(), 255);
        break;
    case COLOR_RGB: {
        std::vector<uint8_t> alpha(w * h, 255);
        if (FHasTrns)
            for (size_t y = 0; y < h; ++y)
                for (size_t x = 0; x < w; ++x) {
                    uint8_t r, g, b, a;
                    PixelRGBA(int(x), int(y), r, g, b, a);
                    alpha[y * w + x] = a;
                }
        FAlpha = std::move(alpha);
        if (FHeader->BitDepth == 16) {
            FExtraAlpha.resize(w * h);
            for (size_t i = 0; i < FAlpha.size(); ++i) FExtraAlpha[i] = FAlpha[i];
        }
        FHeader->ColorType = COLOR_RGBALPHA;
        FHasTrns = false;
        break;
    }
    case COLOR_GRAYSCALE: {
        // Type 4 has 8 or 16 bits per sample: lower depths are widened to 8.
        const int depth = FHeader->BitDepth;
        std::vector<uint8_t> gray(w * h), alpha(w * h, 255);
        for (size_t y = 0; y < h; ++y)
            for (size_t x = 0; x < w; ++x) {
                uint8_t r, g, b, a;
                PixelRGBA(int(x), int(y), r, g, b, a);
                gray[y * w + x] = depth == 16 ? uint8_t(SampleAt(int(x), int(y))) : r;
                alpha[y * w + x] = a;
            }
        if (depth < 8) FHeader->BitDepth = 8;
        FData = std::move(gray);
        FAlpha = std::move(alpha);
        if (depth == 16) {
            FExtraAlpha.resize(w * h);
            for (size_t i = 0; i < FAlpha.size(); ++i) FExtraAlpha[i] = FAlpha[i];
        }
        FHeader->ColorType = COLOR_GRAYSCALEALPHA;
        FHasTrns = false;
        break;
    }
    }
    RebuildChunkList();
    Changed(this);
}

void TPngImage::SetPaletteEntries(const std::vector<TPngPaletteEntry>& Entries) {
    if (Entries.size() > 256) PngError("A PNG palette holds at most 256 entries");
    FreePaletteHandle();
    FPalette = Entries;
    if (FHasTrns && FHeader->ColorType == COLOR_PALETTE && FTrnsAlpha.size() > FPalette.size())
        FTrnsAlpha.resize(FPalette.size());
    RebuildChunkList();
    Changed(this);
}

void TPngImage::FreePaletteHandle() {
    if (FPaletteHandle) DeleteObject(FPaletteHandle);
    FPaletteHandle = nullptr;
}

HPALETTE TPngImage::Palette() const {
    if (FPalette.empty()) return nullptr;
    if (FPaletteHandle) return FPaletteHandle;
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + FPalette.size() * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(FPalette.size());
    for (size_t i = 0; i < FPalette.size(); ++i)
        lp->palPalEntry[i] = {FPalette[i].Red, FPalette[i].Green, FPalette[i].Blue, 0};
    FPaletteHandle = CreatePalette(lp);
    return FPaletteHandle;
}

void TPngImage::SetPalette(HPALETTE Value) {
    if (!Value) return;
    PALETTEENTRY entries[256];
    const UINT n = GetPaletteEntries(Value, 0, 256, entries);
    std::vector<TPngPaletteEntry> list(n);
    for (UINT i = 0; i < n; ++i) list[i] = {entries[i].peRed, entries[i].peGreen, entries[i].peBlue};
    // The image's own handle already holds these entries: keep it valid for the caller.
    HPALETTE own = Value == FPaletteHandle ? FPaletteHandle : nullptr;
    FPaletteHandle = nullptr;
    SetPaletteEntries(list);
    FPaletteHandle = own;
}

void TPngImage::SetCompressionLevel(int Value) { FCompressionLevel = std::clamp(Value, 0, 9); }

bool TPngImage::GetTransparent() const { return TransparencyMode() != ptmNone; }

// ---- reading and writing ----

void TPngImage::LoadFromBytes(const rtl::TBytes& Bytes) {
    RawImage raw;
    uint64_t idatBytes = 0;
    WalkChunks(Bytes.data(), Bytes.size(), raw, idatBytes);

    ReadContext ctx{Bytes.data(), raw.End, 0, {}};
    std::vector<png_bytep> rowPointers;
    if (!DecodeWithLibpng(ctx, raw, rowPointers, idatBytes * MaxDeflateRatio + 1024))
        throw EPNGError(QString::fromUtf8(ctx.Error));

    Clear();
    FHeader->Width = raw.Width;
    FHeader->Height = raw.Height;
    FHeader->BitDepth = uint8_t(raw.BitDepth);
    FHeader->ColorType = uint8_t(raw.ColorType);
    FHeader->InterlaceMethod = uint8_t(raw.Interlace);
    AllocateData();

    const size_t w = raw.Width;
    const bool wide = raw.BitDepth == 16;
    for (uint32_t y = 0; y < raw.Height; ++y) {
        const uint8_t* src = raw.Rows.data() + y * raw.RowBytes;
        uint8_t* dst = Scanline(int(y));
        uint8_t* extra = ExtraScanline(int(y));
        uint8_t* alpha = AlphaScanline(int(y));
        uint8_t* extraAlpha = FExtraAlpha.empty() ? nullptr : FExtraAlpha.data() + y * w;
        switch (raw.ColorType) {
        case COLOR_RGB:
        case COLOR_RGBALPHA: {
            const size_t channels = raw.ColorType == COLOR_RGB ? 3 : 4;
            const size_t step = channels * (wide ? 2 : 1);
            for (size_t x = 0; x < w; ++x) {
                const uint8_t* p = src + x * step;
                for (int c = 0; c < 3; ++c) {
                    // PNG stores red, green, blue; the scanline holds blue, green, red.
                    dst[x * 3 + size_t(2 - c)] = wide ? p[c * 2] : p[c];
                    if (wide) extra[x * 3 + size_t(2 - c)] = p[c * 2 + 1];
                }
                if (channels == 4) {
                    alpha[x] = wide ? p[6] : p[3];
                    if (wide) extraAlpha[x] = p[7];
                }
            }
            break;
        }
        case COLOR_GRAYSCALEALPHA:
            for (size_t x = 0; x < w; ++x) {
                const uint8_t* p = src + x * (wide ? 4 : 2);
                dst[x] = p[0];
                alpha[x] = wide ? p[2] : p[1];
                if (wide) {
                    extra[x] = p[1];
                    extraAlpha[x] = p[3];
                }
            }
            break;
        default:                            // gray and palette: packed rows as in the file
            if (wide)
                for (size_t x = 0; x < w; ++x) {
                    dst[x] = src[x * 2];
                    extra[x] = src[x * 2 + 1];
                }
            else
                std::memcpy(dst, src, RowBytes());
        }
    }

    FPalette.clear();
    for (const auto& c : raw.Palette) FPalette.push_back({c.red, c.green, c.blue});
    if (raw.ColorType == COLOR_PALETTE && !raw.TrnsAlpha.empty()) {
        FHasTrns = true;
        FTrnsAlpha = raw.TrnsAlpha;
    } else if (raw.HasTrnsColor && (raw.ColorType == COLOR_GRAYSCALE || raw.ColorType == COLOR_RGB)) {
        FHasTrns = true;
        FTrnsGray = raw.TrnsColor.gray;
        FTrnsRed = raw.TrnsColor.red;
        FTrnsGreen = raw.TrnsColor.green;
        FTrnsBlue = raw.TrnsColor.blue;
    }

    for (auto& c : raw.Chunks) {
        std::unique_ptr<TChunk> chunk;
        if (std::memcmp(c.Name, "gAMA", 4) == 0) chunk = std::make_unique<TChunkgAMA>(this);
        else chunk.reset(new TChunk(this, c.Name));
        chunk->FData = std::move(c.Data);
        chunk->FLocation = c.Location;
        FChunks.FItems.push_back(std::move(chunk));
    }
    RebuildChunkList();
    Changed(this);
}

rtl::TBytes TPngImage::SaveToBytes() const {
    if (Empty()) PngError("An empty PNG image cannot be saved");
    RawImage raw;
    raw.Width = FHeader->Width;
    raw.Height = FHeader->Height;
    raw.BitDepth = FHeader->BitDepth;
    raw.ColorType = FHeader->ColorType;
    raw.Interlace = FHeader->InterlaceMethod ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
    const bool wide = raw.BitDepth == 16;
    const size_t w = raw.Width;
    size_t channels = 1;
    if (raw.ColorType == COLOR_RGB) channels = 3;
    else if (raw.ColorType == COLOR_RGBALPHA) channels = 4;
    else if (raw.ColorType == COLOR_GRAYSCALEALPHA) channels = 2;
    raw.RowBytes = raw.BitDepth >= 8 ? w * channels * (wide ? 2 : 1) : (w * size_t(raw.BitDepth) + 7) / 8;
    raw.Rows.assign(raw.RowBytes * raw.Height, 0);
    auto* self = const_cast<TPngImage*>(this);
    for (uint32_t y = 0; y < raw.Height; ++y) {
        uint8_t* dst = raw.Rows.data() + y * raw.RowBytes;
        const uint8_t* src = self->Scanline(int(y));
        const uint8_t* extra = self->ExtraScanline(int(y));
        const uint8_t* alpha = self->AlphaScanline(int(y));
        const uint8_t* extraAlpha = FExtraAlpha.empty() ? nullptr : FExtraAlpha.data() + y * w;
        switch (raw.ColorType) {
        case COLOR_RGB:
        case COLOR_RGBALPHA: {
            const size_t step = channels * (wide ? 2 : 1);
            for (size_t x = 0; x < w; ++x) {
                uint8_t* p = dst + x * step;
                for (int c = 0; c < 3; ++c) {
                    if (wide) {
                        p[c * 2] = src[x * 3 + size_t(2 - c)];
                        p[c * 2 + 1] = extra[x * 3 + size_t(2 - c)];
                    } else
                        p[c] = src[x * 3 + size_t(2 - c)];
                }
                if (channels == 4) {
                    if (wide) {
                        p[6] = alpha[x];
                        p[7] = extraAlpha[x];
                    } else
                        p[3] = alpha[x];
                }
            }
            break;
        }
        case COLOR_GRAYSCALEALPHA:
            for (size_t x = 0; x < w; ++x) {
                uint8_t* p = dst + x * (wide ? 4 : 2);
                if (wide) {
                    p[0] = src[x];
                    p[1] = extra[x];
                    p[2] = alpha[x];
                    p[3] = extraAlpha[x];
                } else {
                    p[0] = src[x];
                    p[1] = alpha[x];
                }
            }
            break;
        default:
            if (wide)
                for (size_t x = 0; x < w; ++x) {
                    dst[x * 2] = src[x];
                    dst[x * 2 + 1] = extra[x];
                }
            else
                std::memcpy(dst, src, raw.RowBytes);
        }
    }
    if (raw.ColorType == COLOR_PALETTE && FPalette.empty()) PngError("A palette image needs a palette");
    if (raw.ColorType != COLOR_GRAYSCALE && raw.ColorType != COLOR_GRAYSCALEALPHA)
        for (const auto& e : FPalette) raw.Palette.push_back({e.Red, e.Green, e.Blue});
    if (FHasTrns) {
        if (raw.ColorType == COLOR_PALETTE) {
            raw.TrnsAlpha = FTrnsAlpha;
            // Trailing opaque entries need not be written; an all-opaque tRNS still keeps one entry.
            while (raw.TrnsAlpha.size() > 1 && raw.TrnsAlpha.back() == 255) raw.TrnsAlpha.pop_back();
        } else if (raw.ColorType == COLOR_GRAYSCALE || raw.ColorType == COLOR_RGB) {
            raw.HasTrnsColor = true;
            raw.TrnsColor.gray = FTrnsGray;
            raw.TrnsColor.red = FTrnsRed;
            raw.TrnsColor.green = FTrnsGreen;
            raw.TrnsColor.blue = FTrnsBlue;
        }
    }

    std::vector<png_unknown_chunk> unknown;
    for (const auto& c : FChunks.FItems) {
        const std::string n = c->Name();
        if (n == "IHDR" || n == "PLTE" || n == "tRNS" || n == "IDAT" || n == "IEND") continue;
        png_unknown_chunk u{};
        std::memcpy(u.name, n.data(), 4);
        u.data = const_cast<png_bytep>(c->FData.data());
        u.size = c->FData.size();
        u.location = png_byte(c->FLocation == 0 ? PNG_HAVE_IHDR : c->FLocation == 1 ? PNG_HAVE_PLTE : PNG_AFTER_IDAT);
        unknown.push_back(u);
    }

    std::vector<uint8_t> out;
    WriteContext ctx{&out, {}};
    std::vector<png_bytep> rowPointers(raw.Height);
    for (uint32_t y = 0; y < raw.Height; ++y) rowPointers[y] = raw.Rows.data() + y * raw.RowBytes;
    if (!EncodeWithLibpng(ctx, raw, rowPointers, unknown, FCompressionLevel))
        throw EPNGError(QString::fromUtf8(ctx.Error));
    return rtl::TBytes(out.begin(), out.end());
}

void TPngImage::LoadFromStream(rtl::TStream* Stream) {
    // Reads from the position; the stream is left just after IEND, as chunk-wise reading would.
    const int64_t start = Stream->Position();
    const int64_t size = Stream->Size();
    const int64_t remaining = std::max<int64_t>(0, size - start);
    if (uint64_t(remaining) > MaxImageBytes) PngError("The PNG data is too large");
    rtl::TBytes bytes(static_cast<size_t>(remaining));
    if (remaining > 0 && Stream->Read(bytes.data(), remaining) != remaining) PngError("The PNG data is cut short");
    LoadFromBytes(bytes);
    // LoadFromBytes succeeded: find the end once more to place the stream after the image.
    RawImage raw;
    uint64_t idat = 0;
    WalkChunks(bytes.data(), bytes.size(), raw, idat);
    Stream->SetPosition(start + int64_t(raw.End));
}

void TPngImage::SaveToStream(rtl::TStream* Stream) {
    const rtl::TBytes bytes = SaveToBytes();
    Stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

// ---- conversions ----

void TPngImage::Assign(rtl::TPersistent* Source) {
    if (auto* png = dynamic_cast<TPngImage*>(Source)) {
        if (png == this) return;
        Clear();
        *FHeader = *png->FHeader;
        FHeader->FOwner = this;
        FData = png->FData;
        FExtra = png->FExtra;
        FAlpha = png->FAlpha;
        FExtraAlpha = png->FExtraAlpha;
        FPalette = png->FPalette;
        FHasTrns = png->FHasTrns;
        FTrnsAlpha = png->FTrnsAlpha;
        FTrnsGray = png->FTrnsGray;
        FTrnsRed = png->FTrnsRed;
        FTrnsGreen = png->FTrnsGreen;
        FTrnsBlue = png->FTrnsBlue;
        FCompressionLevel = png->FCompressionLevel;
        for (const auto& c : png->FChunks.FItems) {
            const std::string n = c->Name();
            if (n == "IHDR" || n == "PLTE" || n == "tRNS" || n == "IDAT" || n == "IEND") continue;
            std::unique_ptr<TChunk> copy;
            if (n == "gAMA") copy = std::make_unique<TChunkgAMA>(this);
            else copy.reset(new TChunk(this, n.c_str()));
            copy->FData = c->FData;
            copy->FLocation = c->FLocation;
            FChunks.FItems.push_back(std::move(copy));
        }
        RebuildChunkList();
        Changed(this);
        return;
    }
    if (!Source) {
        Clear();
        Changed(this);
        return;
    }
    if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
        AssignFromBitmap(bmp);
        return;
    }
    TGraphic::Assign(Source);
}

void TPngImage::AssignTo(rtl::TPersistent* Dest) {
    if (auto* bmp = dynamic_cast<TBitmap*>(Dest)) {
        AssignToBitmap(bmp);
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TPngImage::AssignFromBitmap(TBitmap* Source) {
    // A bitmap becomes an 8-bit true-colour image; a transparent bitmap's colour goes into tRNS.
    Clear();
    if (Source->Empty()) {
        Changed(this);
        return;
    }
    const int w = Source->Width(), h = Source->Height();
    FHeader->Width = uint32_t(w);
    FHeader->Height = uint32_t(h);
    FHeader->BitDepth = 8;
    FHeader->ColorType = COLOR_RGB;
    AllocateData();
    TBitmap work;
    work.Assign(Source);
    work.SetPixelFormat(pf24bit);
    for (int y = 0; y < h; ++y) std::memcpy(Scanline(y), work.ScanLine(y), size_t(w) * 3);
    if (Source->Transparent()) {
        const uint32_t rgb = uint32_t(ColorToRGB(Source->TransparentColor()));
        FHasTrns = true;
        FTrnsRed = uint8_t(rgb);
        FTrnsGreen = uint8_t(rgb >> 8);
        FTrnsBlue = uint8_t(rgb >> 16);
    }
    RebuildChunkList();
    Changed(this);
}

void TPngImage::AssignToBitmap(TBitmap* Dest) const {
    // Partial transparency gives a 32-bit bitmap with straight alpha; bit transparency a transparent
    // 24-bit bitmap keyed on the transparent colour.
    const TPngTransparencyMode mode = TransparencyMode();
    const int w = Width(), h = Height();
    TBitmap result;
    result.SetPixelFormat(mode == ptmPartial ? pf32bit : pf24bit);
    result.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<uint8_t*>(result.ScanLine(y));
        for (int x = 0; x < w; ++x) {
            uint8_t r, g, b, a;
            PixelRGBA(x, y, r, g, b, a);
            if (mode == ptmPartial) {
                row[x * 4] = b;
                row[x * 4 + 1] = g;
                row[x * 4 + 2] = r;
                row[x * 4 + 3] = a;
            } else {
                row[x * 3] = b;
                row[x * 3 + 1] = g;
                row[x * 3 + 2] = r;
            }
        }
    }
    if (mode == ptmPartial) result.SetAlphaFormat(afDefined);
    Dest->Assign(&result);
    if (mode == ptmBit) {
        Dest->SetTransparentColor(TransparentColor());
        Dest->SetTransparent(true);
    }
}

void TPngImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (Empty() || !ACanvas) return;
    const int w = Width(), h = Height();
    // The picture goes through a 32-bit premultiplied DIB: AlphaBlend when any pixel can be
    // transparent, a plain stretch otherwise.
    TBitmap work;
    work.SetPixelFormat(pf32bit);
    work.SetSize(w, h);
    const bool transparent = TransparencyMode() != ptmNone;
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<uint8_t*>(work.ScanLine(y));
        for (int x = 0; x < w; ++x) {
            uint8_t r, g, b, a;
            PixelRGBA(x, y, r, g, b, a);
            row[x * 4] = uint8_t((b * a + 127) / 255);
            row[x * 4 + 1] = uint8_t((g * a + 127) / 255);
            row[x * 4 + 2] = uint8_t((r * a + 127) / 255);
            row[x * 4 + 3] = a;
        }
    }
    HDC dest = ACanvas->Handle();
    HDC src = work.Canvas()->Handle();
    if (transparent) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, w, h, blend);
    } else
        StretchBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, w, h, SRCCOPY);
}

// ---- resources ----

void TPngImage::LoadFromResourceName(HINSTANCE Instance, const rtl::String& Name) {
    TResourceStream stream(Instance, Name, RT_RCDATA);
    LoadFromStream(&stream);
}

void TPngImage::LoadFromResourceID(HINSTANCE Instance, int ResID) {
    std::unique_ptr<TResourceStream> stream(TResourceStream::CreateFromID(Instance, ResID, RT_RCDATA));
    LoadFromStream(stream.get());
}

} // namespace vcl
