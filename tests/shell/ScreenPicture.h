// tests/shell/ScreenPicture.h: the shared screen-picture comparison, with the expected pictures under
// tests/shell/expected.
#pragma once
#include "tests/support/windows/ScreenPicture.h"

namespace shell_test {

using testing_support::OnXServer;

inline void ComparePicture(testing_support::FormHarness& Harness, vcl::TForm* Form, const char* Name) {
    testing_support::ComparePicture(Harness, Form, "tests/shell/expected", Name);
}

} // namespace shell_test
