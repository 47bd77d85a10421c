// The class library draws through Qt, which needs the GUI started (offscreen in tests).
#include "win/windows.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE)) return 1;
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    TwStopGui();
    return failed;
}
