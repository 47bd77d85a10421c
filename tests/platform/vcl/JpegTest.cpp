// tests/platform/vcl/JpegTest.cpp
#include "vcl/Jpeg.h"

#include "tests/support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <gtest/gtest.h>

using namespace vcl;

namespace {

// A smooth colour gradient: what JPEG compresses well, so the error bound is meaningful.
void FillGradient(TBitmap& Bmp, int W, int H) {
    Bmp.SetPixelFormat(pf24bit);
    Bmp.SetSize(W, H);
    for (int y = 0; y < H; ++y) {
        auto* row = static_cast<uint8_t*>(Bmp.ScanLine(y));
        for (int x = 0; x < W; ++x) {
            row[x * 3] = uint8_t(x * 255 / (W - 1));
            row[x * 3 + 1] = uint8_t(y * 255 / (H - 1));
            row[x * 3 + 2] = uint8_t((x + y) * 255 / (W + H - 2));
        }
    }
}

int MaxError(TBitmap& A, TBitmap& B) {
    int worst = 0;
    for (int y = 0; y < A.Height(); ++y) {
        const auto* a = static_cast<const uint8_t*>(A.ScanLine(y));
        const auto* b = static_cast<const uint8_t*>(B.ScanLine(y));
        for (int i = 0; i < A.Width() * 3; ++i) worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    }
    return worst;
}

rtl::TBytes Encode(TBitmap& Bmp, int Quality) {
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(Quality);
    jpeg.Assign(&Bmp);
    rtl::TMemoryStream stream;
    jpeg.SaveToStream(&stream);
    const auto* p = static_cast<const uint8_t*>(stream.Memory());
    return rtl::TBytes(p, p + stream.Size());
}

} // namespace

TEST(JpegImage, RoundTripStaysCloseToTheBitmap) {
    testing_support::TempDir dir;
    TBitmap source;
    FillGradient(source, 48, 32);
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(95);
    jpeg.Assign(&source);
    const QString file = dir.QFile(QStringLiteral("gradient.jpg"));
    jpeg.SaveToFile(file);

    TJPEGImage loaded;
    loaded.LoadFromFile(file);
    EXPECT_EQ(loaded.Width(), 48);
    EXPECT_EQ(loaded.Height(), 32);
    TBitmap decoded;
    decoded.Assign(&loaded);
    EXPECT_EQ(decoded.PixelFormat(), pf24bit);
    EXPECT_LE(MaxError(source, decoded), 12);
}

TEST(JpegImage, QualitySetsTheSizeAndLoadedDataIsSavedUnchanged) {
    TBitmap source;
    FillGradient(source, 64, 64);
    for (int y = 0; y < 64; y += 3) static_cast<uint8_t*>(source.ScanLine(y))[y] = 255;   // some detail
    const rtl::TBytes high = Encode(source, 95);
    const rtl::TBytes low = Encode(source, 10);
    EXPECT_LT(low.size(), high.size());

    rtl::TBytesStream in(high);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(&in);
    jpeg.SetCompressionQuality(10);                 // applies to a new compression only
    rtl::TMemoryStream out;
    jpeg.SaveToStream(&out);
    const auto* p = static_cast<const uint8_t*>(out.Memory());
    EXPECT_EQ(rtl::TBytes(p, p + out.Size()), high);
}

TEST(JpegImage, GrayscaleAndScaleChangeTheDecodedPicture) {
    TBitmap source;
    FillGradient(source, 64, 32);
    rtl::TBytesStream in(Encode(source, 90));
    TJPEGImage jpeg;
    jpeg.SetScale(jsHalf);
    jpeg.SetGrayscale(true);
    jpeg.LoadFromStream(&in);
    EXPECT_EQ(jpeg.Width(), 32);
    EXPECT_EQ(jpeg.Height(), 16);
    TBitmap decoded;
    decoded.Assign(&jpeg);
    const auto* row = static_cast<const uint8_t*>(decoded.ScanLine(5));
    EXPECT_EQ(row[30], row[31]);
    EXPECT_EQ(row[31], row[32]);
}

TEST(JpegImage, DamagedDataRaisesEJPEGAndKeepsThePicture) {
    TBitmap source;
    FillGradient(source, 40, 40);
    const rtl::TBytes good = Encode(source, 80);
    TJPEGImage jpeg;
    {
        rtl::TBytesStream in(good);
        jpeg.LoadFromStream(&in);
    }
    std::vector<rtl::TBytes> damaged;
    damaged.push_back({});
    damaged.push_back({0xFF, 0xD8, 0xFF});
    damaged.push_back(rtl::TBytes(good.begin(), good.begin() + long(good.size() / 2)));   // cut in the scan
    damaged.push_back(rtl::TBytes(good.begin(), good.begin() + 200));                      // cut in the tables
    rtl::TBytes badMarker = good;
    badMarker[1] = 0x00;                                    // no start-of-image marker
    damaged.push_back(badMarker);
    rtl::TBytes huge = good;
    for (size_t i = 2; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {         // frame header: claim 65000 x 65000
            huge[i + 5] = 0xFD; huge[i + 6] = 0xE8; huge[i + 7] = 0xFD; huge[i + 8] = 0xE8;
            break;
        }
    damaged.push_back(huge);
    for (size_t i = 0; i < damaged.size(); ++i) {
        rtl::TBytesStream in(damaged[i]);
        EXPECT_THROW(jpeg.LoadFromStream(&in), EJPEG) << "case " << i;
        EXPECT_EQ(jpeg.Width(), 40) << "case " << i;
    }
}

namespace {

// A CMYK JPEG as print software writes it (libjpeg adds the Adobe marker: inverted samples).
rtl::TBytes CmykJpeg(uint8_t C, uint8_t M, uint8_t Y, uint8_t K) {
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = 16;
    info.image_height = 16;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row;
    for (int x = 0; x < 16; ++x) row.insert(row.end(), {C, M, Y, K});
    while (info.next_scanline < 16) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    rtl::TBytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

} // namespace

TEST(JpegImage, CmykPicturesAreConvertedToRgb) {
    rtl::TBytesStream in(CmykJpeg(255, 0, 0, 255));         // inverted: no cyan, full magenta and yellow
    TJPEGImage jpeg;
    jpeg.LoadFromStream(&in);
    TBitmap decoded;
    decoded.Assign(&jpeg);
    const auto* px = static_cast<const uint8_t*>(decoded.ScanLine(8)) + 8 * 3;
    EXPECT_LE(px[0], 8);                                      // blue
    EXPECT_LE(px[1], 8);                                      // green
    EXPECT_GE(px[2], 247);                                    // red
}
