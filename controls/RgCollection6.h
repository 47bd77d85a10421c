// controls/RgCollection6.h: the base of the second family's container panels, which may let the
// parent's background show through.
#pragma once
#include "controls/RgControls6.h"

#include <cstdint>

namespace controls {

// What every control of the family tells about itself.
class IRgVersionControl {
public:
    virtual ~IRgVersionControl() = default;
    virtual rtl::String GetControlName() const = 0;
    virtual rtl::String GetVersion() const = 0;
};

class TRgCollectionControl6 : public TRgStyledControl6, public IRgVersionControl {
public:
    explicit TRgCollectionControl6(rtl::TComponent* AOwner) : TRgStyledControl6(AOwner) {}

    // Below 255 the parent's background is painted under the control; only "below 255" matters.
    uint8_t Alpha() const { return FAlpha; }
    void SetAlpha(uint8_t Value);
    rtl::String ControlName() const { return GetControlName(); }
    rtl::String Version() const { return GetVersion(); }

    void Assign(rtl::TPersistent* Source) override;

    rtl::String GetControlName() const override { return ClassName(); }
    rtl::String GetVersion() const override { return QStringLiteral("6.3.2"); }

protected:
    bool SeeThrough() const { return FAlpha < 255; }
    void CreateParams(vcl::TCreateParams& Params) override;
    void Paint() override;
    void WMWindowPosChanged(vcl::TWMWindowPosMsg& Message) override;
    void WMWindowPosChanging(vcl::TWMWindowPosMsg& Message) override;

private:
    uint8_t FAlpha = 255;
};

} // namespace controls
