// components/KwpLabel.h: the pack's label: one line of text, aligned left or right, cut with an
// ellipsis at its end when it does not fit.
#pragma once
#include "vcl/Controls.h"

namespace components {

enum TEllipsisPosition { epNone, epEndEllipsis };

class TKwpLabel : public vcl::TGraphicControl {
public:
    explicit TKwpLabel(rtl::TComponent* AOwner);
    bool RightAligned = false;
    TEllipsisPosition EllipsisPosition = epEndEllipsis;
    // The control kept to the right of this label, Spacing pixels away.
    vcl::TControl* AnchoredControl = nullptr;
    int Spacing = 12;

protected:
    void Paint() override;
    void CMTextChanged(vcl::TMessage&) override { Invalidate(); }
};

} // namespace components
