// tests/styling/windows/ScreenShots.h: pictures of styled windows compared with the expected ones under
// tests/styling/windows/expected (TW_UPDATE_EXPECTED=1 writes them), and real input by xdotool.
#pragma once
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include "win/windows.h"

namespace styletest {

// The source tree: from CTest's environment, else the one the tests were built from.
QString SourceDir();

// Pixels whose channels differ by more than 48, of all: text edges may move a little between hosts.
double Differing(const QImage& A, const QImage& B);

// What the X server shows of the window's rectangle, once two grabs in a row agree.
QImage ScreenOf(HWND Window);

// Compares Got with expected/<Name>.png; a miss leaves the picture beside the test's output.
void ExpectPicture(const QImage& Got, const QString& Name);

// Runs xdotool with the arguments without waiting for it; false when xdotool is missing.
bool Xdotool(const QStringList& Arguments);

} // namespace styletest
