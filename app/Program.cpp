#include "app/Program.h"

#include <QApplication>
#include <QPushButton>

#include "app/Addunit.h"
#include "app/ErrorBox.h"
#include "app/WindowPlacement.h"
#include "app/extrunit.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "app/sfxunit.h"

namespace app {

TProgram::TProgram(const StartOptions& options)
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
    extract_ = std::make_unique<TExtract>();
    addForm_ = std::make_unique<TAddForm>();
    makeSfx_ = std::make_unique<TMakeSFX>();
    // The main window's close ends the program, whatever else is shown.
    QObject::connect(mainform_.get(), &TMainform::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

TProgram::~TProgram()
{
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
    return QApplication::exec();
}

}  // namespace app
