// tests/fuzz/ImageFuzz.cpp: the image loaders on arbitrary bytes from a memory stream. The first byte
// picks the reader (PNG, JPEG, BMP, ICO, or the picture's choice by signature); the rest is the file.
// A loaded image is converted to a bitmap and saved, and what was saved must load again at its size.
// fuzz-libs: vcl
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "rtl/Streams.h"
#include "vcl/Graphics.h"
#include "vcl/Jpeg.h"
#include "vcl/PngImage.h"

namespace {

std::unique_ptr<vcl::TGraphic> Make(uint8_t Choice) {
    switch (Choice % 4) {
    case 0:
        return std::make_unique<vcl::TPngImage>();
    case 1:
        return std::make_unique<vcl::TJPEGImage>();
    case 2:
        return std::make_unique<vcl::TBitmap>();
    default:
        return std::make_unique<vcl::TIcon>();
    }
}

void RoundTrip(vcl::TGraphic& Image, uint8_t Choice) {
    const int w = Image.Width(), h = Image.Height();
    if (!Image.Empty()) {
        vcl::TBitmap bmp;
        bmp.Assign(&Image);
        if (bmp.Width() != w || bmp.Height() != h) std::abort();
    }
    rtl::TMemoryStream saved;
    Image.SaveToStream(&saved);
    if (saved.Size() == 0) return;
    saved.SetPosition(0);
    auto again = Make(Choice);
    again->LoadFromStream(&saved);
    if (again->Width() != w || again->Height() != h) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The graphics reach Qt's painting, which wants an application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication App(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    rtl::TMemoryStream stream;
    if (Size > 1) stream.WriteBuffer(Data + 1, int64_t(Size - 1));
    stream.SetPosition(0);
    const uint8_t choice = Data[0];
    if (choice >= 0xF0) {
        vcl::TPicture picture;
        try {
            picture.LoadFromStream(&stream);
        } catch (const rtl::Exception&) {
        }
        return 0;
    }
    auto image = Make(choice);
    try {
        image->LoadFromStream(&stream);
    } catch (const rtl::Exception&) {
        return 0; // not an image of this kind: reported, never a crash
    }
    RoundTrip(*image, choice);
    return 0;
}
