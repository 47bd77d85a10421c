// Graphics and streams from the program's resources (compiled in by tw_resources in CMakeLists.txt).
#include "vcl/Graphics.h"
#include "vcl/PngImage.h"
#include "vcl/ResourceStream.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace vcl;

const std::string kSkin("[main]\r\nColor=$00FF8000\r\n\0\xff" "binary tail", 38);

TEST(ResourceStream, ReadsTheResourceBytesInPlace) {
    TResourceStream stream(HInstance, QStringLiteral("GlyphFont"), RT_RCDATA);
    EXPECT_EQ(stream.Size(), int64_t(kSkin.size()));
    std::string read(kSkin.size(), '\0');
    stream.ReadBuffer(read.data(), int64_t(read.size()));
    EXPECT_EQ(read, kSkin);
    EXPECT_EQ(stream.Read(read.data(), 1), 0); // at the end
    // The memory is the table's own: what LockResource gives.
    HRSRC info = FindResourceW(HInstance, u"glyphfont", RT_RCDATA);
    EXPECT_EQ(stream.Memory(), LockResource(LoadResource(HInstance, info)));

    // Into a memory stream and back, as the skins are read.
    rtl::TMemoryStream copy;
    copy.CopyFrom(&stream, 0);
    EXPECT_EQ(std::string(static_cast<const char*>(copy.Memory()), size_t(copy.Size())), kSkin);
    stream.SetPosition(0);
    EXPECT_THROW(stream.WriteBuffer("x", 1), rtl::EStreamError);
    EXPECT_EQ(std::string(static_cast<const char*>(stream.Memory()), 1), "[");
}

TEST(ResourceStream, MissingResourcesRaiseResNotFound) {
    try {
        TResourceStream stream(HInstance, QStringLiteral("SKTD"), RT_RCDATA);
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Resource SKTD not found"));
    }
    EXPECT_THROW(std::unique_ptr<TResourceStream>(TResourceStream::CreateFromID(HInstance, 77, RT_RCDATA)),
                 EResNotFound);
    // Present, but under another type.
    EXPECT_THROW(TResourceStream(HInstance, QStringLiteral("DOT"), RT_BITMAP), EResNotFound);
}

// The tree glyph: 8 x 7, 24-bit, lime with a black minus in row 3 and a red top-left pixel.
void ExpectGlyph(TBitmap& bm) {
    EXPECT_EQ(bm.Width(), 8);
    EXPECT_EQ(bm.Height(), 7);
    EXPECT_EQ(bm.PixelFormat(), pf24bit);
    const auto* top = static_cast<const uint8_t*>(bm.ScanLine(0));
    EXPECT_EQ(top[0], 0);   // blue
    EXPECT_EQ(top[2], 255); // red
    const auto* minus = static_cast<const uint8_t*>(bm.ScanLine(3));
    for (int x = 0; x < 8; ++x) {
        const bool black = x >= 1 && x <= 5;
        EXPECT_EQ(minus[x * 3 + 1], black ? 0 : 255) << x;
    }
    EXPECT_EQ(bm.TransparentColor(), TColor(0x00FF00)); // bottom-left: the lime key
}

TEST(ResourceBitmap, LoadsByNameAndById) {
    TBitmap byName;
    byName.LoadFromResourceName(HInstance, QStringLiteral("KwFlipPlus"));
    ExpectGlyph(byName);
    TBitmap byId;
    byId.LoadFromResourceID(HInstance, 281);
    ExpectGlyph(byId);
}

TEST(ResourceBitmap, MissingOrDamagedKeepsThePicture) {
    TBitmap bm(3, 2);
    EXPECT_THROW(bm.LoadFromResourceName(HInstance, QStringLiteral("HEADEREXPAND")), EResNotFound);
    // A bitmap resource whose header promises more pixels than it holds.
    const uint8_t damaged[] = {40, 0, 0, 0, 64, 0, 0, 0, 64, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                               0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0};
    static char module;
    const HINSTANCE fake = reinterpret_cast<HINSTANCE>(&module);
    ASSERT_TRUE(TwAddResource(fake, RT_BITMAP, u"DAMAGED", damaged, sizeof damaged, TRUE));
    EXPECT_THROW(bm.LoadFromResourceName(fake, QStringLiteral("DAMAGED")), EInvalidGraphic);
    EXPECT_EQ(bm.Width(), 3);
    EXPECT_EQ(bm.Height(), 2);
}

TEST(ResourcePng, LoadsAnRcdataPng) {
    TPngImage png;
    png.LoadFromResourceName(HInstance, QStringLiteral("dot"));
    ASSERT_EQ(png.Width(), 3);
    ASSERT_EQ(png.Height(), 2);
    EXPECT_EQ(png.Header().ColorType, 6u);
    EXPECT_EQ(png.Pixels(0, 0), TColor(0x0000FF));
    EXPECT_EQ(png.Pixels(2, 0), TColor(0xFF0000));
    EXPECT_EQ(png.AlphaScanline(1)[0], 128);
    EXPECT_THROW(png.LoadFromResourceName(HInstance, QStringLiteral("KWFLIPPLUS")), EResNotFound);
    EXPECT_EQ(png.Width(), 3);
}

TEST(ResourceIcon, TakesTheGroupPictureNearestTheSizeAsked) {
    TIcon big;
    big.LoadFromResourceName(HInstance, QStringLiteral("MAINICON"));
    EXPECT_EQ(big.Width(), GetSystemMetrics(SM_CXICON));
    TIcon small;
    small.SetWidth(16);
    small.SetHeight(16);
    small.LoadFromResourceName(HInstance, QStringLiteral("MainIcon"));
    EXPECT_EQ(small.Width(), 16);
    EXPECT_EQ(small.Height(), 16);
    EXPECT_NE(small.Handle(), big.Handle());
    TIcon none;
    EXPECT_THROW(none.LoadFromResourceID(HInstance, 1), EResNotFound);
    EXPECT_TRUE(none.Empty());
}

} // namespace
