// The engine's UI services answered by Qt: its plain message box, and the
// processing of pending input from inside a long call.
#pragma once

#include "platform/UiServices.h"

namespace app {

class QtUiServices : public platform::UiServices {
public:
    void ShowMessage(const std::string& text) override;
    void ProcessMessages() override;
};

}  // namespace app
