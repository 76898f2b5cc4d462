// One command of the main window on an archive, through the real program on
// the offscreen platform: the archive is opened (not timed), then the
// command's button is clicked and the time until its result box is printed.
// The boxes become lines on standard error, the confirmation is answered Yes
// and the extract dialog is filled in as a user would, so nothing waits.
//   window_ops_bench test ARCHIVE
//   window_ops_bench delete ARCHIVE MEMBER   (the row of that member)
//   window_ops_bench extract ARCHIVE FOLDER  (all files, with folders, no overwrite)
// Prints "seconds S" and the memo's line count on standard output.
// bench/bench_peers.py runs it against the same command of fernpack-cli.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/AppServices.h"
#include "app/DialogParts.h"
#include "app/FernpackApplication.h"
#include "app/MemberCells.h"
#include "app/Program.h"
#include "app/QtUiServices.h"
#include "app/extrunit.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "grid/StringGrid.h"
#include "platform/UiServices.h"

namespace fs = std::filesystem;

namespace {

class BenchUi : public app::QtUiServices {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "box: %s\n", text.c_str()); }
};

class YesDialogs : public app::AppServices {
public:
    std::optional<std::string> ChooseFile(const app::FileRequest&) override { return std::nullopt; }
    bool Confirm(const std::string&) override { return true; }
    void ErrorBox(const std::string& text) override { std::fprintf(stderr, "error box: %s\n", text.c_str()); }
    std::optional<std::string> AskPassword(const std::string&, const std::string&) override { return std::nullopt; }
    int Choose(const std::string&, const std::vector<std::string>&) override { return 0; }
    bool OpenDocument(const std::string&) override { return false; }
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    app::TFernpackApplication application(argc, argv);
    if (argc < 3 || (std::string(argv[1]) != "test" && argc < 4)) {
        std::fprintf(stderr, "usage: window_ops_bench test|delete|extract ARCHIVE [MEMBER|FOLDER]\n");
        return 2;
    }
    const std::string op = argv[1], archive = fs::absolute(argv[2]).string();
    BenchUi ui;
    platform::ScopedUi scope(ui);
    YesDialogs dialogs;
    app::SetDialogs(&dialogs);
    app::StartOptions options;
    options.LibraryFolder = fs::canonical("/proc/self/exe").parent_path().string();
    app::TProgram program(options);
    app::TMainform& form = program.Mainform();
    program.ShowMainWindow();
    QApplication::setActiveWindow(&form);
    form.RezEdidiv1.SetZipFilename(archive);
    QApplication::processEvents();

    QPushButton* button = nullptr;
    if (op == "test") {
        button = form.TestBut;
    } else if (op == "delete") {
        int row = 1;
        for (; row < form.StringGrid1->RowCount(); ++row) {
            const std::ptrdiff_t index = app::MemberIndex(form.StringGrid1->Objects(app::MemberTagColumn, row));
            if (index >= 0 && form.RezEdidiv1.Entries[std::size_t(index)]->FullName() == argv[3])
                break;
        }
        if (row >= form.StringGrid1->RowCount()) {
            std::fprintf(stderr, "no row shows %s\n", argv[3]);
            return 2;
        }
        form.StringGrid1->SetSelection({0, row, 3, row});
        button = form.DeleteBut;
    } else if (op == "extract") {
        const std::string target = fs::absolute(argv[3]).string();
        QTimer::singleShot(0, [target] {
            auto* d = qobject_cast<app::TExtract*>(QApplication::activeModalWidget());
            if (d == nullptr)
                return;
            d->OpenDirectory(target);
            d->RadioGroup1->SetItemIndex(1);  // with folder names
            d->RadioGroup2->SetItemIndex(0);  // no overwrite
            d->RadioGroup3->SetItemIndex(0);  // all files
            d->OKButClick();
        });
        button = form.ExtractBut;
    } else {
        std::fprintf(stderr, "unknown command %s\n", op.c_str());
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    button->click();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("seconds %.4f\nlines %lld\n", seconds, static_cast<long long>(program.Msgform().Lines().size()));
    app::SetDialogs(nullptr);
    return 0;
}
