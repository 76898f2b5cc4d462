#include "app/Program.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "app/Addunit.h"
#include "app/ErrorBox.h"
#include "app/WindowPlacement.h"
#include "app/extrunit.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "app/sfxunit.h"
#include "platform/FileSystem.h"

namespace app {

StartOptions ParseCommandLine(const std::vector<std::string>& arguments)
{
    StartOptions options;
    if (!arguments.empty() && arguments[0] == "--add")
        options.AddPaths.assign(arguments.begin() + 1, arguments.end());
    else
        options.Arguments = arguments;
    return options;
}

TProgram::TProgram(const StartOptions& options) : addPaths_(options.AddPaths)
{
    mainform_ = std::make_unique<TMainform>();
    if (!options.LibraryFolder.empty())
        mainform_->RezEdidiv1.SetDLLDirectory(options.LibraryFolder);
    try {
        mainform_->FormCreate(options.Arguments);
    } catch (...) {
        TopLevelErrors::Instance().ReportCurrentException();
    }
    msgform_ = std::make_unique<TMsgform>(mainform_->RezEdidiv1);
    mainform_->SetMessagesWindow(msgform_.get());
    // The dialogs belong to the main window, so they stand in front of it;
    // they are destroyed before it.
    extract_ = std::make_unique<TExtract>(mainform_->Outcome, mainform_.get());
    addForm_ = std::make_unique<TAddForm>(mainform_->Outcome, mainform_.get());
    makeSfx_ = std::make_unique<TMakeSFX>(mainform_->RezEdidiv1, mainform_->Outcome, mainform_.get());
    mainform_->SetCommandDialogs(extract_.get(), addForm_.get(), makeSfx_.get());
    // The main window's close ends the program, whatever else is shown.
    QObject::connect(mainform_.get(), &TMainform::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

TProgram::~TProgram()
{
    mainform_->SetCommandDialogs(nullptr, nullptr, nullptr);
    makeSfx_.reset();
    addForm_.reset();
    extract_.reset();
    mainform_->SetMessagesWindow(nullptr);
    msgform_.reset();
    mainform_.reset();
}

void TProgram::ShowMainWindow()
{
    CentreOnScreen(*mainform_);
    mainform_->show();
    mainform_->ZipOpenBut->setFocus();
}

int TProgram::Run()
{
    ShowMainWindow();
    QTimer::singleShot(0, mainform_.get(), [this] { StartAdd(); });
    return QApplication::exec();
}

void TProgram::StartAdd()
{
    if (addPaths_.empty())
        return;
    // Made absolute: an extract changes the current folder.
    std::vector<std::string> paths;
    for (const std::string& path : addPaths_)
        if (!path.empty())
            paths.push_back(platform::AbsolutePath(path));
    addPaths_.clear();
    try {
        mainform_->AddPaths(paths);
    } catch (...) {
        TopLevelErrors::Instance().ReportCurrentException();
    }
}

}  // namespace app
