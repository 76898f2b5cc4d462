// UI services for tests: remembers every call, so a test can check what a
// user would have seen, in order, without a window or a terminal.
// Header-only, so the fuzz tree (which builds no test support library) can
// use it too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/UiServices.h"

namespace fixture {

class RecordingUiServices : public platform::UiServices {
public:
    std::vector<std::string> Messages;
    int ProcessMessagesCalls = 0;
    std::uintptr_t WindowHandle = 0;

    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    void ProcessMessages() override { ++ProcessMessagesCalls; }
    std::uintptr_t ApplicationWindow() override { return WindowHandle; }
};

}  // namespace fixture
