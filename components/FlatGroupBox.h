// components/FlatGroupBox.h: a flat group box: a one-pixel frame whose top line leaves room for the
// caption, drawn off-screen, optionally over the parent's background.
#pragma once
#include "components/FlatUtils.h"

namespace components {

class TFlatGroupBox : public vcl::TCustomControl {
public:
    explicit TFlatGroupBox(rtl::TComponent* AOwner);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    vcl::TColor ColorBorder() const { return FBorderColor; }
    void SetColorBorder(vcl::TColor Value);
    TGroupBoxBorder Border() const { return FBorder; }
    void SetBorder(TGroupBoxBorder Value);
    TAdvColors AdvColorBorder() const { return FAdvColorBorder; }
    void SetAdvColorBorder(TAdvColors Value);  // kept within 0..100
    bool UseAdvColors() const { return FUseAdvColors; }
    void SetUseAdvColors(bool Value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Paint() override;
    void CMDialogChar(vcl::TCMDialogChar& Message) override;
    void CMTextChanged(vcl::TMessage& Message) override;
    void CMEnabledChanged(vcl::TMessage& Message) override;
    void CMParentColorChanged(vcl::TMessage& Message) override;
    void CMSysColorChange(vcl::TMessage& Message) override;

private:
    void CalcAdvColors();
    void FollowParentColors();

    bool FTransparent = false;
    bool FUseAdvColors = false;
    TAdvColors FAdvColorBorder = 50;
    vcl::TColor FBorderColor = 0x8396A0;
    TGroupBoxBorder FBorder = brFull;
};

} // namespace components
