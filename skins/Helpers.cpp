// skins/Helpers.cpp: whole-number access to a skinned spin edit.
#include "skins/Helpers.h"

namespace skins {

int64_t GetSpinEditInt(TSkSpinEdit* Edit) { return RoundToInt64Saturated(Edit->Value()); }

void SetSpinEditInt(TSkSpinEdit* Edit, int AValue) {
    const int64_t min = RoundToInt64Saturated(Edit->SpinOptions()->MinValue());
    const int64_t max = RoundToInt64Saturated(Edit->SpinOptions()->MaxValue());
    int64_t value = AValue;
    if (value < min)
        value = min;
    else if (value > max)
        value = max;
    Edit->SetValue(double(value));
}

} // namespace skins
