// tests/engine/PumpedProgress.h: the progress window with a hook into its message pump, so a test acts
// while the run waits for the encoder.
#pragma once
#include "app/engine/FormProgress.h"

#include <functional>

namespace engine_test {

class PumpedProgress : public engine::TFormProgress {
public:
    using engine::TFormProgress::TFormProgress;
    std::function<void()> OnPump;
    void ProcessMessages() override {
        engine::TFormProgress::ProcessMessages();
        if (OnPump) OnPump();
    }
};

} // namespace engine_test
