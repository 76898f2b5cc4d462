// The questions only windows ask: which file, yes or no, one of several
// answers, the top-level error box, a password; and the desktop's program
// for a file. The program answers them with Qt dialogs; the tests with
// a recording double that hands back prepared answers, so every path of a
// command runs without a person at the screen.
//
// Texts (titles, filters, prompts, names) are 8-bit bytes, as everywhere in
// the program; the Qt answers decode them for display only.
#pragma once

#include <optional>
#include <string>
#include <vector>

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
    std::string Folder;  // where it starts without a preset name; "" for the usual place
    // Archives to offer besides browsing (Open Zip: the last ones opened),
    // newest first.
    std::vector<std::string> Recent;
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
    // A "Confirm" box with the question icon and buttons of its own (the
    // first is the default): the index of the one pressed, or -1 when the
    // box was closed or left with Esc.
    virtual int Choose(const std::string& question, const std::vector<std::string>& buttons) = 0;
    // Opens a file with the desktop's program for its type; false when none
    // could be started.
    virtual bool OpenDocument(const std::string& path) = 0;
};

// The services in force; the Qt ones unless another set was installed.
AppServices& Dialogs();
// Installs `services` (nullptr restores the Qt ones); returns the previous.
AppServices* SetDialogs(AppServices* services);

}  // namespace app
