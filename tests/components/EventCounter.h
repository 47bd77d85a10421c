// tests/components/EventCounter.h: counts the notify events it is hooked to.
#pragma once
#include "rtl/Classes.h"

namespace components_test {

struct Counter : rtl::TObject {
    int count = 0;
    void Hit(rtl::TObject*) { ++count; }
};

} // namespace components_test
