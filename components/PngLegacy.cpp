// components/PngLegacy.cpp
#include "components/PngLegacy.h"

#include "components/PngUtils.h"

namespace components {

void MakeDisabledPng(vcl::TPngImage* Png, TKwpBlendIntensity BlendIntensity, TKwpGrayscaleIntensity GrayscaleIntensity,
                     bool Blend, bool Grayscale) {
    if (!Blend && !Grayscale) return;
    vcl::TPngImage work;
    if (!CopyPngImage(Png, &work)) return;
    static const uint8_t GrayAmount[] = {0, 25, 51, 77, 102, 128, 153, 179, 204, 230, 255};
    static const uint8_t BlendAmount[] = {0, 200, 160, 127, 100, 80};
    if (Grayscale && GrayscaleIntensity != giNone) BlendPngToGray(&work, GrayAmount[GrayscaleIntensity]);
    if (Blend && BlendIntensity != biNone) ScalePngOpacity(&work, BlendAmount[BlendIntensity]);
    Png->Assign(&work);
}

namespace {

// Pictures stored under the former class name load as PNG images; no extension is claimed.
struct TPngObjectRegistration {
    TPngObjectRegistration() {
        vcl::TPicture::RegisterFileFormat(QString(), QString(), QStringLiteral("TPNGObject"),
                                          [] { return new TPNGObject(); });
    }
    ~TPngObjectRegistration() { vcl::TPicture::UnregisterGraphicClass(QStringLiteral("TPNGObject")); }
} Registration;

} // namespace

} // namespace components
