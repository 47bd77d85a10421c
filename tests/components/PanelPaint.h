// tests/components/PanelPaint.h: a control painted on paper of its own size, and its pixels read back.
#pragma once
#include "Paper.h"
#include "vcl/Controls.h"
#include "vcl/Themes.h"

#include <memory>
#include <string>

namespace components_test {

inline std::unique_ptr<vcl::TBitmap> Painted(vcl::TWinControl* Control) {
    auto bmp = Paper(Control->Width(), Control->Height());
    Control->PaintTo(bmp->Canvas()->Handle(), 0, 0);
    return bmp;
}

inline vcl::TColor Px(vcl::TBitmap& Bmp, int X, int Y) {
    return Bmp.Canvas()->Pixels(X, Y);
}

// One character per pixel: '#' in Color, '.' anything else.
inline std::string Row(vcl::TBitmap& Bmp, int Y, vcl::TColor Color) {
    std::string s;
    for (int x = 0; x < Bmp.Width(); ++x) s += Px(Bmp, x, Y) == Color ? '#' : '.';
    return s;
}
inline std::string Column(vcl::TBitmap& Bmp, int X, vcl::TColor Color) {
    std::string s;
    for (int y = 0; y < Bmp.Height(); ++y) s += Px(Bmp, X, y) == Color ? '#' : '.';
    return s;
}

// A shipped visual style, loaded once; nullptr when TW_SOURCE_DIR (set by CTest) is not known.
inline vcl::TCustomStyleServices* ShippedStyle(const QString& Name) {
    if (vcl::TCustomStyleServices* style = vcl::TStyleManager::Style(Name)) return style;
    const QString source = qEnvironmentVariable("TW_SOURCE_DIR");
    if (source.isEmpty()) return nullptr;
    return vcl::TStyleManager::LoadFromFile(source + QStringLiteral("/data/styles/") + Name + QStringLiteral(".vsf"));
}

} // namespace components_test
