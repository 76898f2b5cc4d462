// What the command dialogs leave for the commands that opened them: the
// application-wide outcome, written while a dialog is open and read once it
// has closed. One instance lives with the main window for the life of the
// program, so the choices of one use are there at the next.
#pragma once

#include <string>

namespace app {

struct TDialogOutcome {
    // The Add or Extract dialog closed without its confirming button: the
    // command must not run.
    bool DialogCanceled = false;
    // The extract dialog's last "&Ok": the target folder as its tree gives
    // it (emptied by "&Cancel"), and its three choices.
    std::string ExtractTargetDir;
    bool ExtractWithDirs = false;
    bool ExtractOverwrite = false;
    bool ExtractAllFiles = false;
    // The self-extractor dialog closed with "Do It Now".
    bool SfxConfirmed = false;
};

}  // namespace app
