// tests/components/Paper.h: a 24-bit bitmap filled with a colour no painter uses, to draw on.
#pragma once
#include "vcl/Graphics.h"

#include <memory>

namespace components_test {

constexpr vcl::TColor kPaper = 0x123456;

inline std::unique_ptr<vcl::TBitmap> Paper(int W, int H) {
    auto bmp = std::make_unique<vcl::TBitmap>();
    bmp->SetPixelFormat(vcl::pf24bit);
    bmp->SetSize(W, H);
    bmp->Canvas()->Brush()->SetColor(kPaper);
    bmp->Canvas()->FillRect(vcl::TRect(0, 0, W, H));
    return bmp;
}

} // namespace components_test
