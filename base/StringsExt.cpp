// base/StringsExt.cpp
#include "base/StringsExt.h"

#include "rtl/SysUtils.h"

namespace base {

void SplitToStrings(const rtl::String& Text, rtl::TStrings* List, const rtl::String& Separator) {
    if (!List) return;
    rtl::String Rest = Text;
    if (!Separator.isEmpty()) {
        for (qsizetype At = Rest.indexOf(Separator); At >= 0; At = Rest.indexOf(Separator)) {
            List->Add(rtl::Trim(Rest.left(At)));
            Rest = rtl::Trim(Rest.mid(At + Separator.size()));
        }
    }
    Rest = rtl::Trim(Rest);
    if (!Rest.isEmpty()) List->Add(Rest);
}

} // namespace base
