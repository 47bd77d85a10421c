// tests/components/ShellRecorder.h: records what the desktop opener would start, for the scope of a test.
#pragma once
#include "win/shell32/shellapi.h"

#include <QStringList>

namespace components_test {

class ShellRecorder {
public:
    ShellRecorder() : old_(TwSetShellLauncher(&Record)) { Launched().clear(); }
    ~ShellRecorder() { TwSetShellLauncher(old_); }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    // The last argument of every start, in order (the opened file or address).
    static QStringList& Launched() {
        static QStringList launched;
        return launched;
    }

private:
    static BOOL CALLBACK Record(const LPCWSTR* argv, int argc, LPCWSTR, BOOL) {
        if (argc > 0) Launched() << QString::fromUtf16(argv[argc - 1]);
        return TRUE;
    }
    TwLaunchProc old_;
};

} // namespace components_test
