// The window questions answered by Qt: file dialogs, confirmation, choice
// and error boxes, a password prompt; files opened through QDesktopServices
// (xdg-open on a desktop without a portal).
#pragma once

#include "app/AppServices.h"

namespace app {

class QtAppServices : public AppServices {
public:
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    bool Confirm(const std::string& question) override;
    void ErrorBox(const std::string& text) override;
    std::optional<std::string> AskPassword(const std::string& title, const std::string& prompt) override;
    int Choose(const std::string& question, const std::vector<std::string>& buttons) override;
    bool OpenDocument(const std::string& path) override;
};

}  // namespace app
