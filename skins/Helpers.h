// skins/Helpers.h: whole-number access to a skinned spin edit, as the windows read and write the
// time fields, the low-pass cut-off and the profile values.
#pragma once
#include "skins/SkEditors.h"

#include <cstdint>

namespace skins {

// The edit's value rounded half to even, saturated at the 64-bit bounds.
int64_t GetSpinEditInt(TSkSpinEdit* Edit);
// Sets the value clamped to the rounded bounds, the lower bound tested first. An unbounded edit
// (both bounds 0) is therefore always set to 0, which the windows' defaults rely on.
void SetSpinEditInt(TSkSpinEdit* Edit, int AValue);

} // namespace skins
