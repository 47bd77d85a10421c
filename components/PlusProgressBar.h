// components/PlusProgressBar.h: the pack's stacked progress bar: a bar in steps whose colour changes
// above two level thresholds, with the percentage written over it.
#pragma once
#include "vcl/Controls.h"

namespace components {

class TPlusProgressBar : public vcl::TGraphicControl {
public:
    explicit TPlusProgressBar(rtl::TComponent* AOwner);

    int Min = 0;
    int Max = 100;
    int Steps = 4;
    int Level1Perc = 70;
    int Level2Perc = 90;
    vcl::TColor BackgroundColor = vcl::clWhite, BorderColor = vcl::clGray;
    vcl::TColor Level0Color = 0x0000B000, Level0ColorTo = 0x0080FF80;
    vcl::TColor Level1Color = 0x0000D0D0, Level1ColorTo = 0x0080FFFF;
    vcl::TColor Level2Color = 0x000000D0, Level2ColorTo = 0x008080FF;

    int Position() const { return FPosition; }
    // Outside Min..Max the value is ignored.
    void SetPosition(int Value);
    int Percentage() const { return FPercentage; }

protected:
    void Paint() override;

private:
    int FPosition = 0;
    int FPercentage = 0;
};

} // namespace components
