// styling/hooks/Styling.h: start and end of the system-window styling, called first and last by the
// program (and by the window test harness).
#pragma once

namespace styling {

// Starts the units in their order: processor features and hooking engine, glyph font, style-hook
// manager with its creation hook, the interceptions, then the hook units that register window
// classes. Calls nest: only the first starts and only the matching last Finalize ends, in reverse
// order; after that a new Initialize starts everything again.
void Initialize();
void Finalize();
bool Initialized();

} // namespace styling
