// tests/shell/ScreenPicture.h: the shared screen-picture comparison, with the expected pictures under
// tests/shell/expected.
#pragma once
#include "tests/support/windows/ScreenPicture.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QScreen>

namespace shell_test {

using testing_support::OnXServer;

inline void ComparePicture(testing_support::FormHarness& Harness, vcl::TForm* Form, const char* Name) {
    testing_support::ComparePicture(Harness, Form, "tests/shell/expected", Name);
}

using testing_support::Xdotool;

} // namespace shell_test
