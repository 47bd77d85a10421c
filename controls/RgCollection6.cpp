#include "controls/RgCollection6.h"

namespace controls {

void TRgCollectionControl6::SetAlpha(uint8_t Value) {
    if (Value == FAlpha) return;
    const bool wasOpaque = FAlpha == 255;
    FAlpha = Value;
    // The transparent window style only takes effect on a new window; going back keeps the window.
    if (wasOpaque) RecreateWnd();
    Invalidate();
}

void TRgCollectionControl6::Assign(rtl::TPersistent* Source) {
    // A control's inherited assignment accepts no source at all, so a collection control takes the one
    // property it can copy and only other sources go on to the error.
    if (auto* source = dynamic_cast<TRgCollectionControl6*>(Source)) {
        SetAlpha(source->Alpha());
        return;
    }
    TRgStyledControl6::Assign(Source);
}

void TRgCollectionControl6::CreateParams(vcl::TCreateParams& Params) {
    TRgStyledControl6::CreateParams(Params);
    if (SeeThrough()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TRgCollectionControl6::Paint() {
    TRgStyledControl6::Paint();
    if (SeeThrough()) PaintParentBackground6(this, Canvas());
}

// The background under a see-through control changes when it moves.
void TRgCollectionControl6::WMWindowPosChanged(vcl::TWMWindowPosMsg& Message) {
    TRgStyledControl6::WMWindowPosChanged(Message);
    if (SeeThrough()) Invalidate();
}

void TRgCollectionControl6::WMWindowPosChanging(vcl::TWMWindowPosMsg& Message) {
    TRgStyledControl6::WMWindowPosChanging(Message);
    if (SeeThrough()) Invalidate();
}

} // namespace controls
