// The questions only windows ask: which file, yes or no, the top-level error
// box, a password. The program answers them with Qt dialogs; the tests with
// a recording double that hands back prepared answers, so every path of a
// command runs without a person at the screen.
//
// Texts (titles, filters, prompts, names) are 8-bit bytes, as everywhere in
// the program; the Qt answers decode them for display only.
#pragma once

#include <optional>
#include <string>

namespace app {

struct FileRequest {
    enum class Kind {
        Existing,  // a file that exists: the dialog refuses anything else
        New,       // any name: no overwrite question, no suffix added
    };
    Kind Mode = Kind::Existing;
    std::string Title;
    // Description and patterns, as "ZIP Files (*.ZIP, *.EXE)|*.zip;*.exe";
    // the patterns match any letter case.
    std::string Filter;
    std::string Preset;  // the name the dialog starts with; "" for none
};

class AppServices {
public:
    virtual ~AppServices() = default;
    // The chosen file's path, or nothing when the user cancels.
    virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;
    // A "Confirm" box with the question icon and "&Yes" / "&No"; true for Yes.
    virtual bool Confirm(const std::string& question) = 0;
    // The application's top-level error box: the text, the error icon, OK.
    virtual void ErrorBox(const std::string& text) = 0;
    // A password typed without echo, or nothing when the user cancels.
    virtual std::optional<std::string> AskPassword(const std::string& title, const std::string& prompt) = 0;
};

// The services in force; the Qt ones unless another set was installed.
AppServices& Dialogs();
// Installs `services` (nullptr restores the Qt ones); returns the previous.
AppServices* SetDialogs(AppServices* services);

}  // namespace app
