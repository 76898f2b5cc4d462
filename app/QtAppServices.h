// The window questions answered by Qt: file dialogs, confirmation and error
// boxes, and a password prompt.
#pragma once

#include "app/AppServices.h"

namespace app {

class QtAppServices : public AppServices {
public:
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    bool Confirm(const std::string& question) override;
    void ErrorBox(const std::string& text) override;
    std::optional<std::string> AskPassword(const std::string& title, const std::string& prompt) override;
};

}  // namespace app
