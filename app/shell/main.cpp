// The tunewright executable.
#include <QLocale>

#include <cstdio>

#include "app/engine/ConRun.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

int main(int argc, char** argv) {
    rtl::InitParams(argc, argv);
    rtl::SetDefaultFormatLocale(QLocale::system());
    engine::KeepHeapForOutputLists();
    std::printf("Tunewright %s\n", TW_VERSION);
    return 0;
}
