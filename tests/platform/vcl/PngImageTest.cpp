// tests/platform/vcl/PngImageTest.cpp
#include "vcl/PngImage.h"

#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

#include <QFile>

#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

using namespace vcl;

namespace {

// Decodes a non-interlaced PNG independently of libpng: chunk names, header, unfiltered rows in hex.
const char* PythonReader = R"PY(
import sys, zlib, struct
d = open(sys.argv[1], 'rb').read()
assert d[:8] == b'\x89PNG\r\n\x1a\n'
pos = 8; idat = b''; names = []
while pos < len(d):
    n, = struct.unpack('>I', d[pos:pos+4]); t = d[pos+4:pos+8]; body = d[pos+8:pos+8+n]
    assert zlib.crc32(t + body) & 0xffffffff == struct.unpack('>I', d[pos+8+n:pos+12+n])[0]
    names.append(t.decode())
    if t == b'IHDR': w, h, bd, ct, _, _, il = struct.unpack('>IIBBBBB', body)
    if t == b'IDAT': idat += body
    pos += 12 + n
raw = zlib.decompress(idat)
ch = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ct]
bpp = max(1, ch * bd // 8); stride = (w * ch * bd + 7) // 8
out = bytearray(); prev = bytearray(stride); p = 0
for y in range(h):
    f = raw[p]; line = bytearray(raw[p+1:p+1+stride]); p += 1 + stride
    for i in range(stride):
        a = line[i-bpp] if i >= bpp else 0; b = prev[i]; c = prev[i-bpp] if i >= bpp else 0
        if f == 1: line[i] = (line[i] + a) & 255
        elif f == 2: line[i] = (line[i] + b) & 255
        elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif f == 4:
            pa = abs(b - c); pb = abs(a - c); pc = abs(a + b - 2 * c)
            pr = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
            line[i] = (line[i] + pr) & 255
    out += line; prev = line
print(' '.join(names)); print(w, h, bd, ct, il); print(out.hex())
)PY";

int Channels(int ColorType) {
    switch (ColorType) {
    case COLOR_RGB: return 3;
    case COLOR_GRAYSCALEALPHA: return 2;
    case COLOR_RGBALPHA: return 4;
    default: return 1;
    }
}

// The sample of channel C (in PNG order: R G B A or gray, alpha) at (X, Y).
unsigned PatternSample(int X, int Y, int C, int Depth) {
    const unsigned v = unsigned(X * 37 + Y * 101 + C * 59 + X * Y * 7 + (X ^ Y) * 1031);
    return Depth == 16 ? v * 2654435761u >> 16 : v % (1u << Depth);
}

// Fills the image through its public row accessors from the pattern.
void FillPattern(TPngImage& Png) {
    const int depth = Png.Header().BitDepth, type = Png.Header().ColorType;
    for (int y = 0; y < Png.Height(); ++y) {
        uint8_t* row = Png.Scanline(y);
        uint8_t* extra = Png.ExtraScanline(y);
        uint8_t* alpha = Png.AlphaScanline(y);
        uint8_t* extraAlpha = Png.ExtraAlphaScanline(y);
        for (int x = 0; x < Png.Width(); ++x) {
            if (type == COLOR_RGB || type == COLOR_RGBALPHA) {
                for (int c = 0; c < 3; ++c) {
                    const unsigned s = PatternSample(x, y, c, depth);
                    row[x * 3 + 2 - c] = uint8_t(depth == 16 ? s >> 8 : s);
                    if (depth == 16) extra[x * 3 + 2 - c] = uint8_t(s);
                }
            } else {
                const unsigned s = PatternSample(x, y, 0, depth);
                if (depth >= 8) {
                    row[x] = uint8_t(depth == 16 ? s >> 8 : s);
                    if (depth == 16) extra[x] = uint8_t(s);
                } else {
                    const int perByte = 8 / depth, shift = (perByte - 1 - x % perByte) * depth;
                    row[x / perByte] = uint8_t((row[x / perByte] & ~(((1 << depth) - 1) << shift)) | s << shift);
                }
            }
            if (alpha) {
                const unsigned a = PatternSample(x, y, Channels(type) - 1, depth);
                alpha[x] = uint8_t(depth == 16 ? a >> 8 : a);
                if (depth == 16) extraAlpha[x] = uint8_t(a);
            }
        }
    }
}

// The rows PNG stores for the pattern, in hex.
std::string ExpectedRows(int W, int H, int Depth, int ColorType) {
    std::string out;
    const int ch = Channels(ColorType);
    char hex[3];
    for (int y = 0; y < H; ++y) {
        std::vector<uint8_t> row;
        if (Depth < 8) {
            row.assign(size_t((W * Depth + 7) / 8), 0);
            const int perByte = 8 / Depth;
            for (int x = 0; x < W; ++x)
                row[size_t(x / perByte)] |= uint8_t(PatternSample(x, y, 0, Depth) << ((perByte - 1 - x % perByte) * Depth));
        } else
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < ch; ++c) {
                    const unsigned s = PatternSample(x, y, c, Depth);
                    if (Depth == 16) row.push_back(uint8_t(s >> 8));
                    row.push_back(uint8_t(s));
                }
        for (uint8_t b : row) {
            std::snprintf(hex, sizeof hex, "%02x", b);
            out += hex;
        }
    }
    return out;
}

// Inserts a chunk into PNG bytes just before the first chunk named Before.
rtl::TBytes InsertChunk(const rtl::TBytes& Png, const char* Name, const rtl::TBytes& Data, const char* Before) {
    size_t pos = 8;
    while (pos + 8 <= Png.size()) {
        const uint32_t n = uint32_t(Png[pos]) << 24 | uint32_t(Png[pos + 1]) << 16 | uint32_t(Png[pos + 2]) << 8 | Png[pos + 3];
        if (std::memcmp(Png.data() + pos + 4, Before, 4) == 0) break;
        pos += 12 + n;
    }
    rtl::TBytes chunk(8);
    const uint32_t n = uint32_t(Data.size());
    chunk[0] = uint8_t(n >> 24);
    chunk[1] = uint8_t(n >> 16);
    chunk[2] = uint8_t(n >> 8);
    chunk[3] = uint8_t(n);
    std::memcpy(chunk.data() + 4, Name, 4);
    chunk.insert(chunk.end(), Data.begin(), Data.end());
    const uint32_t crc = uint32_t(crc32(0, chunk.data() + 4, uInt(4 + Data.size())));
    for (int i = 3; i >= 0; --i) chunk.push_back(uint8_t(crc >> (i * 8)));
    rtl::TBytes out(Png.begin(), Png.begin() + long(pos));
    out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), Png.begin() + long(pos), Png.end());
    return out;
}

std::vector<std::string> ChunkNames(TPngImage& Png) {
    std::vector<std::string> names;
    for (int i = 0; i < Png.Chunks().Count(); ++i) names.push_back(Png.Chunks().Item(i)->Name());
    return names;
}

} // namespace

struct FormatCase {
    int ColorType;
    int BitDepth;
    bool Interlaced;
};

class PngFormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PngFormatTable, RoundTripsThroughLibpngAndMatchesAnIndependentReader) {
    const auto c = GetParam();
    testing_support::TempDir dir;
    TPngImage png;
    png.CreateBlank(unsigned(c.ColorType), unsigned(c.BitDepth), 13, 7);
    png.Header().InterlaceMethod = c.Interlaced ? 1 : 0;
    FillPattern(png);
    const QString file = dir.QFile(QStringLiteral("pattern.png"));
    png.SaveToFile(file);

    if (testing_support::RequireTool(QStringLiteral("pngcheck"))) {
        const auto check = testing_support::RunProgram(QStringLiteral("pngcheck"), {file});
        EXPECT_TRUE(check.Ok()) << check.Describe() << check.Out.toStdString();
    }
    if (!c.Interlaced && testing_support::RequireTool(QStringLiteral("/usr/bin/python3"))) {
        const auto run = testing_support::RunProgram(QStringLiteral("/usr/bin/python3"),
                                                     {QStringLiteral("-c"), QString::fromUtf8(PythonReader), file});
        ASSERT_TRUE(run.Ok()) << run.Describe();
        const QList<QByteArray> lines = run.Out.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[1].toStdString(), QStringLiteral("13 7 %1 %2 0").arg(c.BitDepth).arg(c.ColorType).toStdString());
        EXPECT_EQ(lines[2].toStdString(), ExpectedRows(13, 7, c.BitDepth, c.ColorType));
    }

    TPngImage back;
    back.LoadFromFile(file);
    ASSERT_EQ(back.Width(), 13);
    ASSERT_EQ(back.Height(), 7);
    EXPECT_EQ(back.Header().BitDepth, c.BitDepth);
    EXPECT_EQ(back.Header().ColorType, c.ColorType);
    EXPECT_EQ(back.Header().InterlaceMethod, c.Interlaced ? 1 : 0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) ASSERT_EQ(back.Pixels(x, y), png.Pixels(x, y)) << x << "," << y;
    // Every stored byte, the 16-bit low bytes and alpha included, comes back.
    EXPECT_EQ(back.SaveToBytes(), png.SaveToBytes());
}

INSTANTIATE_TEST_SUITE_P(
    EveryColourTypeAndDepth, PngFormatTable,
    ::testing::Values(FormatCase{0, 1, false}, FormatCase{0, 2, false}, FormatCase{0, 4, false},
                      FormatCase{0, 8, false}, FormatCase{0, 16, false}, FormatCase{2, 8, false},
                      FormatCase{2, 16, false}, FormatCase{3, 1, false}, FormatCase{3, 2, false},
                      FormatCase{3, 4, false}, FormatCase{3, 8, false}, FormatCase{4, 8, false},
                      FormatCase{4, 16, false}, FormatCase{6, 8, false}, FormatCase{6, 16, false},
                      FormatCase{0, 2, true}, FormatCase{3, 4, true}, FormatCase{6, 16, true}));

TEST(PngImage, ScanlineHoldsBlueGreenRedAndPixelsReadAsColours) {
    TPngImage png;
    png.CreateBlank(COLOR_RGB, 8, 2, 1);
    png.SetPixels(1, 0, TColor(0x123456));      // red 0x56, green 0x34, blue 0x12
    const uint8_t* row = png.Scanline(0);
    EXPECT_EQ(row[3], 0x12);
    EXPECT_EQ(row[4], 0x34);
    EXPECT_EQ(row[5], 0x56);
    EXPECT_EQ(png.Pixels(1, 0), TColor(0x123456));
    EXPECT_EQ(png.Pixels(5, 0), clNone);
    EXPECT_EQ(png.Scanline(1), nullptr);
    EXPECT_EQ(png.AlphaScanline(0), nullptr);
}

TEST(PngImage, ResizeKeepsTheTopLeftOfEveryPlane) {
    for (const auto& [type, depth] : {std::pair{COLOR_RGBALPHA, 16}, std::pair{COLOR_GRAYSCALE, 2},
                                      std::pair{COLOR_GRAYSCALEALPHA, 8}}) {
        TPngImage png;
        png.CreateBlank(type, unsigned(depth), 5, 4);
        FillPattern(png);
        TPngImage resized;
        resized.Assign(&png);
        resized.Resize(7, 2);
        ASSERT_EQ(resized.Width(), 7);
        ASSERT_EQ(resized.Height(), 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(resized.Pixels(x, y), png.Pixels(x, y)) << int(type) << " " << x;
        EXPECT_EQ(resized.Pixels(6, 1), clBlack);
        if (resized.AlphaScanline(0)) {
            EXPECT_EQ(resized.AlphaScanline(1)[4], png.AlphaScanline(1)[4]);
            EXPECT_EQ(resized.AlphaScanline(1)[6], 0);
        }
        resized.SetWidth(3);
        EXPECT_EQ(resized.Pixels(2, 1), png.Pixels(2, 1));
        EXPECT_NO_THROW(resized.SaveToBytes());
    }
}

TEST(PngImage, PaletteTransparencyGivesBitOrPartialMode) {
    TPngImage png;
    png.CreateBlank(COLOR_PALETTE, 8, 2, 2);
    png.SetPaletteEntries({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
    EXPECT_EQ(png.TransparencyMode(), ptmNone);
    png.SetTransparentColor(TColor(0x00FF00));
    EXPECT_EQ(png.TransparencyMode(), ptmBit);
    EXPECT_EQ(png.TransparentColor(), TColor(0x00FF00));

    // A tRNS from a file with an alpha between 0 and 255 makes the mode partial.
    TPngImage plain;
    plain.CreateBlank(COLOR_PALETTE, 8, 2, 2);
    plain.SetPaletteEntries({{255, 0, 0}, {0, 0, 255}});
    plain.Scanline(0)[0] = 1;
    TPngImage back;
    back.LoadFromBytes(InsertChunk(plain.SaveToBytes(), "tRNS", {255, 128}, "IDAT"));
    EXPECT_EQ(back.TransparencyMode(), ptmPartial);
    EXPECT_EQ(back.TransparentColor(), clNone);
    EXPECT_EQ(back.Pixels(0, 0), clBlue);
    EXPECT_EQ(back.Pixels(1, 0), clRed);
}

TEST(PngImage, PaletteHandleIsOwnedAndCanBeEditedInPlace) {
    TPngImage png;
    png.CreateBlank(COLOR_PALETTE, 2, 2, 1);
    HPALETTE pal = png.Palette();
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(png.Palette(), pal);
    PALETTEENTRY entries[256];
    const UINT n = GetPaletteEntries(pal, 0, 256, entries);
    ASSERT_EQ(n, 4u);
    entries[0] = {10, 20, 30, 0};
    SetPaletteEntries(pal, 0, n, entries);
    png.SetPalette(pal);
    EXPECT_EQ(png.Pixels(0, 0), TColor(0x1E140A));
    EXPECT_EQ(png.Palette(), pal);
    PALETTEENTRY check{};
    EXPECT_EQ(GetPaletteEntries(pal, 0, 1, &check), 1u);
}

TEST(PngImage, CreateAlphaTurnsTrnsColourIntoAlpha) {
    for (unsigned type : {unsigned(COLOR_GRAYSCALE), unsigned(COLOR_RGB)}) {
        for (unsigned depth : {8u, 16u}) {
            TPngImage png;
            png.CreateBlank(type, depth, 3, 1);
            png.SetPixels(0, 0, clWhite);
            png.SetPixels(1, 0, clBlack);
            png.SetPixels(2, 0, clWhite);
            png.SetTransparentColor(clWhite);
            ASSERT_EQ(png.TransparencyMode(), ptmBit);
            png.CreateAlpha();
            EXPECT_EQ(png.Header().ColorType, type == COLOR_RGB ? COLOR_RGBALPHA : COLOR_GRAYSCALEALPHA);
            EXPECT_EQ(png.TransparencyMode(), ptmPartial);
            const uint8_t* alpha = png.AlphaScanline(0);
            ASSERT_NE(alpha, nullptr);
            EXPECT_EQ(alpha[0], 0);
            EXPECT_EQ(alpha[1], 255);
            EXPECT_EQ(alpha[2], 0);
            EXPECT_EQ(png.Chunks().FindChunk("tRNS"), nullptr);
            if (depth == 16) {
                EXPECT_EQ(png.ExtraAlphaScanline(0)[0], 0);
            }
        }
    }
}

TEST(PngImage, CreateAlphaWidensLowDepthGray) {
    TPngImage png;
    png.CreateBlank(COLOR_GRAYSCALE, 2, 4, 1);
    png.Scanline(0)[0] = 0b00011011;            // samples 0, 1, 2, 3
    png.CreateAlpha();
    EXPECT_EQ(png.Header().BitDepth, 8);
    const uint8_t* row = png.Scanline(0);
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[1], 85);
    EXPECT_EQ(row[2], 170);
    EXPECT_EQ(row[3], 255);
    EXPECT_NO_THROW(png.SaveToBytes());
}

TEST(PngImage, RemovingTheGammaChunkKeepsTheOtherChunksInPlace) {
    testing_support::TempDir dir;
    TPngImage source;
    source.CreateBlank(COLOR_PALETTE, 4, 4, 4);
    rtl::TBytes bytes = source.SaveToBytes();
    bytes = InsertChunk(bytes, "gAMA", {0, 0, 0xB1, 0x8F}, "PLTE");     // 45455: 1/2.2
    bytes = InsertChunk(bytes, "tEXt", {'K', 0, 'v'}, "IDAT");
    bytes = InsertChunk(bytes, "tIME", {0x07, 0xE9, 1, 2, 3, 4, 5}, "IEND");

    TPngImage png;
    png.LoadFromBytes(bytes);
    EXPECT_EQ(ChunkNames(png), (std::vector<std::string>{"IHDR", "gAMA", "PLTE", "tEXt", "IDAT", "tIME", "IEND"}));
    auto* gamma = png.Chunks().ItemFromClass<TChunkgAMA>();
    ASSERT_NE(gamma, nullptr);
    EXPECT_EQ(gamma->Gamma(), 45455u);
    png.Chunks().RemoveChunk(gamma);
    EXPECT_EQ(png.Chunks().FindChunk("gAMA"), nullptr);

    const QString file = dir.QFile(QStringLiteral("nogamma.png"));
    png.SaveToFile(file);
    TPngImage back;
    back.LoadFromFile(file);
    EXPECT_EQ(ChunkNames(back), (std::vector<std::string>{"IHDR", "PLTE", "tEXt", "IDAT", "tIME", "IEND"}));
    EXPECT_EQ(back.Chunks().FindChunk("tEXt")->Data(), (rtl::TBytes{'K', 0, 'v'}));
    if (testing_support::RequireTool(QStringLiteral("pngcheck"))) {
        const auto check = testing_support::RunProgram(QStringLiteral("pngcheck"), {QStringLiteral("-v"), file});
        EXPECT_TRUE(check.Ok()) << check.Describe();
        EXPECT_FALSE(check.Out.contains("gAMA"));
        EXPECT_TRUE(check.Out.contains("tEXt"));
    }
}

TEST(PngImage, CriticalChunksCannotBeRemoved) {
    TPngImage png;
    png.CreateBlank(COLOR_PALETTE, 8, 1, 1);
    for (const char* name : {"IHDR", "PLTE", "IDAT", "IEND"}) {
        TChunk* chunk = png.Chunks().FindChunk(name);
        ASSERT_NE(chunk, nullptr) << name;
        EXPECT_THROW(png.Chunks().RemoveChunk(chunk), EPNGError) << name;
    }
    EXPECT_NO_THROW(png.SaveToBytes());
}

TEST(PngImage, AssignCopiesPixelsAndChunks) {
    TPngImage source;
    source.CreateBlank(COLOR_RGBALPHA, 8, 3, 2);
    FillPattern(source);
    const rtl::TBytes withText = InsertChunk(source.SaveToBytes(), "tEXt", {'x', 0, 'y'}, "IDAT");
    source.LoadFromBytes(withText);
    TPngImage copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.SaveToBytes(), source.SaveToBytes());
    ASSERT_NE(copy.Chunks().FindChunk("tEXt"), nullptr);
    EXPECT_EQ(copy.Chunks().FindChunk("tEXt")->Owner(), &copy);
    EXPECT_EQ(copy.Header().Owner(), &copy);
}

TEST(PngImage, BitmapAssignmentGoesBothWays) {
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(3, 2);
    auto* row = static_cast<uint8_t*>(bmp.ScanLine(1));
    row[0] = 0x10;                              // blue
    row[1] = 0x20;
    row[2] = 0x30;
    TPngImage png;
    png.Assign(&bmp);
    EXPECT_EQ(png.Header().ColorType, COLOR_RGB);
    EXPECT_EQ(png.Header().BitDepth, 8);
    EXPECT_EQ(png.Pixels(0, 1), TColor(0x102030));
    EXPECT_EQ(png.Pixels(2, 0), clWhite);

    // Partial alpha comes back as a 32-bit bitmap with straight alpha.
    png.CreateAlpha();
    png.AlphaScanline(1)[0] = 0x80;
    TBitmap out;
    out.Assign(&png);
    EXPECT_EQ(out.PixelFormat(), pf32bit);
    EXPECT_EQ(out.AlphaFormat(), afDefined);
    const auto* px = static_cast<const uint8_t*>(out.ScanLine(1));
    EXPECT_EQ(px[0], 0x10);
    EXPECT_EQ(px[1], 0x20);
    EXPECT_EQ(px[2], 0x30);
    EXPECT_EQ(px[3], 0x80);
}

TEST(PngImage, DrawBlendsWithAlphaOverTheCanvas) {
    TPngImage png;
    png.CreateBlank(COLOR_RGBALPHA, 8, 2, 1);
    png.SetPixels(0, 0, clRed);
    png.SetPixels(1, 0, clRed);
    png.AlphaScanline(0)[0] = 255;
    png.AlphaScanline(0)[1] = 0;
    TBitmap target;
    target.SetPixelFormat(pf32bit);
    target.SetSize(4, 1);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 4, 1));
    target.Canvas()->Draw(1, 0, &png);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(target.Canvas()->Pixels(1, 0), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(2, 0), clWhite);     // fully transparent pixel leaves the canvas alone
}

TEST(PngImage, KeepsTheStreamPositionAfterTheImage) {
    TPngImage png;
    png.CreateBlank(COLOR_GRAYSCALE, 8, 2, 2);
    rtl::TMemoryStream stream;
    png.SaveToStream(&stream);
    const int64_t end = stream.Position();
    const char tail[] = "TAIL";
    stream.WriteBuffer(tail, 4);
    stream.SetPosition(0);
    TPngImage back;
    back.LoadFromStream(&stream);
    EXPECT_EQ(stream.Position(), end);
}

struct CorruptCase {
    const char* Name;
    std::function<rtl::TBytes(rtl::TBytes)> Damage;
};

class PngCorruptTable : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(PngCorruptTable, RaisesEPNGErrorAndKeepsTheImage) {
    TPngImage source;
    source.CreateBlank(COLOR_RGBALPHA, 8, 16, 16);
    FillPattern(source);
    const rtl::TBytes damaged = GetParam().Damage(source.SaveToBytes());
    TPngImage png;
    png.CreateBlank(COLOR_GRAYSCALE, 8, 1, 1);
    EXPECT_THROW(png.LoadFromBytes(damaged), EPNGError);
    EXPECT_EQ(png.Width(), 1);
    EXPECT_EQ(png.Header().ColorType, COLOR_GRAYSCALE);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PngCorruptTable,
    ::testing::Values(
        CorruptCase{"Empty", [](rtl::TBytes) { return rtl::TBytes{}; }},
        CorruptCase{"SignatureOnly", [](rtl::TBytes b) { b.resize(8); return b; }},
        CorruptCase{"BadSignature", [](rtl::TBytes b) { b[1] = 'X'; return b; }},
        CorruptCase{"CutInHeader", [](rtl::TBytes b) { b.resize(20); return b; }},
        CorruptCase{"CutInImageData", [](rtl::TBytes b) { b.resize(b.size() / 2); return b; }},
        CorruptCase{"NoEnd", [](rtl::TBytes b) { b.resize(b.size() - 12); return b; }},
        CorruptCase{"HeaderCrc", [](rtl::TBytes b) { b[29] ^= 1; return b; }},
        CorruptCase{"ImageDataBytes", [](rtl::TBytes b) {
            // Flip bytes inside the compressed stream and fix the CRC: zlib must notice.
            size_t pos = 8;
            while (std::memcmp(b.data() + pos + 4, "IDAT", 4) != 0)
                pos += 12 + (size_t(b[pos + 2]) << 8 | b[pos + 3]);
            const size_t n = size_t(b[pos + 2]) << 8 | b[pos + 3];
            for (size_t i = 4; i < n; i += 3) b[pos + 8 + i] ^= 0x5A;
            const uint32_t crc = uint32_t(crc32(0, b.data() + pos + 4, uInt(4 + n)));
            for (int i = 0; i < 4; ++i) b[pos + 8 + n + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
            return b;
        }},
        CorruptCase{"HugeLength", [](rtl::TBytes b) { b[33] = 0x7F; return b; }},
        CorruptCase{"HugeDimensions", [](rtl::TBytes b) {
            // 65535 x 65535 claimed over a few hundred compressed bytes.
            b[16] = 0; b[17] = 0; b[18] = 0xFF; b[19] = 0xFF;
            b[20] = 0; b[21] = 0; b[22] = 0xFF; b[23] = 0xFF;
            const uint32_t crc = uint32_t(crc32(0, b.data() + 12, 17));
            for (int i = 0; i < 4; ++i) b[29 + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
            return b;
        }}),
    [](const ::testing::TestParamInfo<CorruptCase>& Info) { return std::string(Info.param.Name); });

TEST(PngImage, FileErrorsAreStreamErrors) {
    testing_support::TempDir dir;
    TPngImage png;
    EXPECT_THROW(png.LoadFromFile(dir.QFile(QStringLiteral("missing.png"))), rtl::EFOpenError);
    png.CreateBlank(COLOR_RGB, 8, 1, 1);
    EXPECT_THROW(png.SaveToFile(dir.QFile(QStringLiteral("no/such/folder/x.png"))), rtl::EFCreateError);
}

TEST(PngImage, SavingReplacesTheFileAndLeavesNothingElse) {
    testing_support::TempDir dir;
    const QString file = dir.QFile(QStringLiteral("x.png"));
    TPngImage png;
    png.CreateBlank(COLOR_RGB, 8, 1, 1);
    png.SaveToFile(file);
    png.CreateBlank(COLOR_GRAYSCALE, 8, 2, 3);
    png.SaveToFile(file);
    TPngImage back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);
}
