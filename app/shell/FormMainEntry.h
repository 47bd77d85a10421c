// app/shell/FormMainEntry.h: the program's start after the windowing is up: the ten windows in their
// order, an unattended Convert once all exist, the message loop, and the close that follows.
#pragma once
#include <functional>

namespace shell {

class TFormMain;

struct TEntryHooks {
    // Each step as it happens: "window <name>" after each window is made, "convert" before an unattended
    // Convert, "loop" before the message loop.
    std::function<void(const char* Step)> OnStep;
    // The main window just made (its creation, with the command line, has run).
    std::function<void(TFormMain*)> OnMainCreated;
    // Replaces the message loop (tests; the start-up benchmark's "shown" signal).
    std::function<void()> RunLoop;
};

// Returns the process's exit status. Display: whether a desktop shows the window.
int RunEntry(bool Display, const TEntryHooks& Hooks = {});

} // namespace shell
