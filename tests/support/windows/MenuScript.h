// tests/support/windows/MenuScript.h: drives a modal menu loop from a test. Each time the loop waits
// for input, the next step runs (typing, clicking, checking what shows), as the user's input would
// arrive inside the loop; a step that feeds nothing lets the manual clock run to the next timer.
#pragma once

#include "tests/support/windows/HeadlessApp.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testing_support {

class MenuScript {
public:
    explicit MenuScript(HeadlessApp& app) {
        app.OnIdle([this] {
            if (steps_.empty()) {
                // The test forgot a step: end the loop rather than hang.
                ADD_FAILURE() << "the menu loop waited after the last step";
                EndMenu();
                return;
            }
            auto step = std::move(steps_.front());
            steps_.pop_front();
            step();
        });
    }

    void Then(std::function<void()> step) { steps_.push_back(std::move(step)); }
    void Wait(int n = 1) {
        for (int i = 0; i < n; ++i) Then([] {});
    }
    bool Done() const { return steps_.empty(); }

    // The pop-up menu windows on the screen.
    static std::vector<HWND> MenuWindows() {
        std::vector<HWND> out;
        EnumWindows(
            [](HWND h, LPARAM lp) -> BOOL {
                WCHAR cls[16] = {};
                GetClassNameW(h, cls, 16);
                if (std::u16string(cls) == u"#32768" && IsWindowVisible(h))
                    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&out));
        return out;
    }

    // A key pressed and released (queued, not pumped: the menu loop reads it).
    static void Key(UINT vk, const char16_t* text = nullptr) {
        TwInputKey(vk, TRUE, FALSE, text, FALSE);
        TwInputKey(vk, FALSE, FALSE, nullptr, FALSE);
    }
    static void ClickAt(POINT p, int button = TW_BUTTON_LEFT) {
        TwInputMouseMove(p.x, p.y);
        TwInputMouseButton(p.x, p.y, button, TRUE);
        TwInputMouseButton(p.x, p.y, button, FALSE);
    }

private:
    std::deque<std::function<void()>> steps_;
};

} // namespace testing_support
