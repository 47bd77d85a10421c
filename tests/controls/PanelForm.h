// tests/controls/PanelForm.h: a form for the panel tests, built in code like the program's forms, and
// pixel reading in the class library's colour order.
#pragma once
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <functional>

namespace controls_test {

// A form that runs Build inside its loading bracket.
class TPanelForm : public vcl::TForm {
public:
    explicit TPanelForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetPosition(vcl::poDesigned);
        SetBounds(50, 50, 640, 480);
        if (Build) Build(this);
        EndLoading();
    }
    static inline std::function<void(TPanelForm*)> Build;
};

// Shows a TPanelForm built by Build (cleared afterwards, so no test leaks into the next).
inline TPanelForm* ShowForm(testing_support::FormHarness& h, std::function<void(TPanelForm*)> build) {
    TPanelForm::Build = std::move(build);
    auto* form = h.Show<TPanelForm>();
    TPanelForm::Build = nullptr;
    return form;
}

// A pixel of a window at client coordinates (negative ones reach its frame), as a TColor.
inline vcl::TColor PixelAt(testing_support::FormHarness& h, vcl::TWinControl* c, int x, int y) {
    const QRgb rgb = h.App().Pixel(c->Handle(), x, y);
    return static_cast<vcl::TColor>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

inline vcl::TColor Rgb(vcl::TColor c) { return vcl::ColorToRGB(c); }

} // namespace controls_test
