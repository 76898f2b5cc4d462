// Program start, in its fixed order: the main window first (its creation
// handler loads both libraries and lists the archive named on the command
// line before any other window exists), then, hidden and once for the life
// of the program, the messages window, the extract, add and self-extractor
// dialogs; then the event loop until the main window closes. The windows go
// in the reverse order, the main window last, whose destruction releases
// the libraries.
//
// The application object (TFernpackApplication) and the UI services must
// exist first; the program's own start installs the Qt ones, tests their
// recording doubles.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace app {

class TMainform;
class TMsgform;
class TExtract;
class TAddForm;
class TMakeSFX;

struct StartOptions {
    // The command line after the program's name, as raw bytes.
    std::vector<std::string> Arguments;
    // Files to add once the window shows ("fernpack --add FILE...", what a
    // file manager's "Compress with Fernpack" runs).
    std::vector<std::string> AddPaths;
    // Where to look for the libraries first; empty: beside the program.
    std::string LibraryFolder;
};

// The command line, after the program's name: an archive to open, or
// "--add" and the files to add.
StartOptions ParseCommandLine(const std::vector<std::string>& arguments);

class TProgram {
public:
    // Creates every window. An exception from the main window's creation
    // handler (an archive that cannot be read) goes to the top-level error
    // box, which shows once the event loop runs.
    explicit TProgram(const StartOptions& options);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    TMainform& Mainform() { return *mainform_; }
    TMsgform& Msgform() { return *msgform_; }
    TExtract& Extract() { return *extract_; }
    TAddForm& AddForm() { return *addForm_; }
    TMakeSFX& MakeSFX() { return *makeSfx_; }

    // Shows the main window, centred, with the focus on Open Zip.
    void ShowMainWindow();
    // Shows the main window and runs the event loop until it closes.
    int Run();
    // Once the main window shows: the files the command line named to add.
    void StartAdd();

private:
    std::vector<std::string> addPaths_;
    std::unique_ptr<TMainform> mainform_;
    std::unique_ptr<TMsgform> msgform_;
    std::unique_ptr<TExtract> extract_;
    std::unique_ptr<TAddForm> addForm_;
    std::unique_ptr<TMakeSFX> makeSfx_;
};

}  // namespace app
