#include "vcl/Jpeg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <csetjmp>

#include <jpeglib.h>
#include <jerror.h>

namespace vcl {

namespace {

// Deflate-like bounds do not exist for JPEG, but every 8x8 block costs at least a few bits; a header
// that claims far more pixels than its bytes can carry is refused before anything is allocated.
constexpr uint64_t MaxPixelsPerByte = 4096;
constexpr uint64_t MaxPixels = uint64_t(1) << 28;

// libjpeg reports errors through longjmp; the functions below keep no C++ objects in the frames
// that a longjmp skips.
struct ErrorManager {
    jpeg_error_mgr Base;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr Info) {
    auto* err = reinterpret_cast<ErrorManager*>(Info->err);
    (*Info->err->format_message)(Info, err->Message);
    longjmp(err->Jump, 1);
}

void OnMessage(j_common_ptr Info, int Level) {
    // Data that ends early is an error, not a picture padded with gray.
    if (Level < 0 && Info->err->msg_code == JWRN_JPEG_EOF) OnError(Info);
}

struct DecodeResult {
    int Width = 0;
    int Height = 0;
    int Components = 0;
    bool InvertedCmyk = false;          // Adobe's convention: 255 means no ink
};

bool DecodeJpeg(const rtl::TBytes& Data, bool Grayscale, int ScaleDenom, DecodeResult& Result,
                std::vector<uint8_t>& Pixels, ErrorManager& Err) {
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&Err.Base);
    Err.Base.error_exit = OnError;
    Err.Base.emit_message = OnMessage;
    if (setjmp(Err.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, Data.data(), static_cast<unsigned long>(Data.size()));
    jpeg_read_header(&info, TRUE);
    const uint64_t pixels = uint64_t(info.image_width) * info.image_height;
    if (pixels > MaxPixels || pixels > std::max<uint64_t>(Data.size(), 1024) * MaxPixelsPerByte) {
        std::snprintf(Err.Message, sizeof Err.Message, "The JPEG image is larger than its data can hold");
        jpeg_destroy_decompress(&info);
        return false;
    }
    // CMYK (print) pictures come out as CMYK and are converted to RGB by the caller.
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        info.out_color_space = JCS_CMYK;
        Result.InvertedCmyk = info.saw_Adobe_marker;
    } else
        info.out_color_space = Grayscale ? JCS_GRAYSCALE : JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = unsigned(ScaleDenom);
    jpeg_start_decompress(&info);
    Result.Width = int(info.output_width);
    Result.Height = int(info.output_height);
    Result.Components = info.output_components;
    const size_t stride = size_t(info.output_width) * size_t(info.output_components);
    Pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = Pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool EncodeJpeg(const std::vector<uint8_t>& Rgb, int Width, int Height, int Quality, bool Progressive,
                unsigned char*& Out, unsigned long& OutSize, ErrorManager& Err) {
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&Err.Base);
    Err.Base.error_exit = OnError;
    if (setjmp(Err.Jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &Out, &OutSize);
    info.image_width = JDIMENSION(Width);
    info.image_height = JDIMENSION(Height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, Quality, TRUE);
    if (Progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const size_t stride = size_t(Width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(Rgb.data()) + stride * info.next_scanline;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

TGraphic* TJPEGImage::CreateCopy() const {
    auto* copy = new TJPEGImage;
    copy->Assign(const_cast<TJPEGImage*>(this));
    return copy;
}

bool TJPEGImage::Empty() const { return FData.empty() && (!FBitmap || FBitmap->Empty()); }
int TJPEGImage::Width() const { return FBitmap ? FBitmap->Width() : 0; }
int TJPEGImage::Height() const { return FBitmap ? FBitmap->Height() : 0; }

void TJPEGImage::SetWidth(int) { throw EJPEG(QStringLiteral("Cannot change the size of a JPEG image")); }
void TJPEGImage::SetHeight(int) { throw EJPEG(QStringLiteral("Cannot change the size of a JPEG image")); }

void TJPEGImage::SetCompressionQuality(int Value) { FQuality = std::clamp(Value, 1, 100); }

void TJPEGImage::SetGrayscale(bool Value) {
    if (Value == FGrayscale) return;
    FGrayscale = Value;
    if (!FData.empty()) Decode();
    Changed(this);
}

void TJPEGImage::SetScale(TJPEGScale Value) {
    if (Value == FScale) return;
    FScale = Value;
    if (!FData.empty()) Decode();
    Changed(this);
}

void TJPEGImage::Decode() {
    ErrorManager err{};
    DecodeResult result;
    std::vector<uint8_t> pixels;
    if (!DecodeJpeg(FData, FGrayscale, 1 << int(FScale), result, pixels, err))
        throw EJPEG(QStringLiteral("JPEG error: %1").arg(QString::fromLocal8Bit(err.Message)));
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(result.Width, result.Height);
    for (int y = 0; y < result.Height; ++y) {
        auto* dst = static_cast<uint8_t*>(bitmap->ScanLine(y));
        const uint8_t* src = pixels.data() + size_t(y) * size_t(result.Width) * size_t(result.Components);
        for (int x = 0; x < result.Width; ++x) {
            if (result.Components == 1) dst[x * 3] = dst[x * 3 + 1] = dst[x * 3 + 2] = src[x];
            else if (result.Components == 4) {
                const uint8_t* p = src + x * 4;
                auto plain = [&](int i) { return result.InvertedCmyk ? p[i] : 255 - p[i]; };
                const int k = plain(3);
                const uint8_t r = uint8_t(plain(0) * k / 255), g = uint8_t(plain(1) * k / 255),
                              b = uint8_t(plain(2) * k / 255);
                if (FGrayscale) dst[x * 3] = dst[x * 3 + 1] = dst[x * 3 + 2] = uint8_t((r * 77 + g * 150 + b * 29) >> 8);
                else {
                    dst[x * 3] = b;
                    dst[x * 3 + 1] = g;
                    dst[x * 3 + 2] = r;
                }
            } else {
                dst[x * 3] = src[x * 3 + 2];
                dst[x * 3 + 1] = src[x * 3 + 1];
                dst[x * 3 + 2] = src[x * 3];
            }
        }
    }
    FBitmap = std::move(bitmap);
}

void TJPEGImage::Compress() {
    if (!FBitmap || FBitmap->Empty()) return;
    const int w = FBitmap->Width(), h = FBitmap->Height();
    TBitmap work;
    work.Assign(FBitmap.get());
    work.SetPixelFormat(pf24bit);
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y) {
        const auto* src = static_cast<const uint8_t*>(work.ScanLine(y));
        uint8_t* dst = rgb.data() + size_t(y) * size_t(w) * 3;
        for (int x = 0; x < w; ++x) {
            dst[x * 3] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3];
        }
    }
    ErrorManager err{};
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const bool ok = EncodeJpeg(rgb, w, h, FQuality, FProgressive, out, outSize, err);
    if (ok && out) FData.assign(out, out + outSize);
    std::free(out);
    if (!ok) throw EJPEG(QStringLiteral("JPEG error: %1").arg(QString::fromLocal8Bit(err.Message)));
}

void TJPEGImage::JPEGNeeded() {
    if (FData.empty()) Compress();
}

void TJPEGImage::DIBNeeded() {
    if (!FBitmap && !FData.empty()) Decode();
}

void TJPEGImage::Assign(rtl::TPersistent* Source) {
    if (!Source) {
        FData.clear();
        FBitmap.reset();
        Changed(this);
        return;
    }
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(Source)) {
        if (jpeg == this) return;
        FData = jpeg->FData;
        FBitmap.reset();
        if (jpeg->FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(jpeg->FBitmap.get());
        }
        FQuality = jpeg->FQuality;
        FGrayscale = jpeg->FGrayscale;
        FProgressive = jpeg->FProgressive;
        FPixelFormat = jpeg->FPixelFormat;
        FScale = jpeg->FScale;
        FPerformance = jpeg->FPerformance;
        Changed(this);
        return;
    }
    if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(bmp);
        copy->SetPixelFormat(pf24bit);
        FBitmap = std::move(copy);
        FData.clear();
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(rtl::TPersistent* Dest) {
    if (auto* bmp = dynamic_cast<TBitmap*>(Dest)) {
        DIBNeeded();
        if (FBitmap) bmp->Assign(FBitmap.get());
        else bmp->Assign(nullptr);
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TJPEGImage::LoadFromStream(rtl::TStream* Stream) {
    const int64_t remaining = Stream->Size() - Stream->Position();
    if (remaining <= 0 || remaining > (int64_t(1) << 31)) throw EJPEG(QStringLiteral("JPEG error: no image data"));
    rtl::TBytes data(static_cast<size_t>(remaining));
    if (Stream->Read(data.data(), remaining) != remaining) throw EJPEG(QStringLiteral("JPEG error: data cut short"));
    // Decode into a fresh image so that a failure leaves this one as it was.
    TJPEGImage loaded;
    loaded.FGrayscale = FGrayscale;
    loaded.FScale = FScale;
    loaded.FData = std::move(data);
    loaded.Decode();
    FData = std::move(loaded.FData);
    FBitmap = std::move(loaded.FBitmap);
    Changed(this);
}

void TJPEGImage::SaveToStream(rtl::TStream* Stream) {
    JPEGNeeded();
    if (!FData.empty()) Stream->WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
    DIBNeeded();
    if (FBitmap) ACanvas->StretchDraw(Rect, FBitmap.get());
}

} // namespace vcl
