// The main window's file commands: Open Zip, New Zip and Destroy Zip. Each
// forgets the password asked for the archive that was open.
#include <QApplication>
#include <QLabel>

#include "app/AppServices.h"
#include "app/Texts.h"
#include "app/mainunit.h"
#include "engine/PathText.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

namespace app {

namespace {

// The hourglass for the length of a scope.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void TMainform::ZipOpenButClick()
{
    FileRequest request;
    request.Mode = FileRequest::Kind::Existing;
    request.Title = text::OpenTitle;
    request.Filter = text::OpenFilter;
    request.Preset = openDialogFileName_;
    const std::optional<std::string> chosen = Dialogs().ChooseFile(request);
    if (!chosen)
        return;
    openDialogFileName_ = *chosen;
    // Cursor and name come back also when the listing fails; its error then
    // goes on to the top-level error box.
    struct Restore {
        TMainform* form;
        ~Restore() { form->ShowZipFileName(form->RezEdidiv1.ZipFilename()); }
    } restore{this};
    WaitCursor cursor;
    // A password asked for belongs to the archive it was asked for.
    RezEdidiv1.SetPassword("");
    OpenArchive(*chosen);
}

void TMainform::NewZipButClick()
{
    FileRequest request;
    request.Mode = FileRequest::Kind::New;
    request.Title = text::NewTitle;
    request.Filter = text::NewFilter;
    request.Preset.clear();
    const std::optional<std::string> chosen = Dialogs().ChooseFile(request);
    if (!chosen)
        return;
    std::string F = *chosen;
    const std::string extension = engine::UpperCase(engine::ExtractFileExt(F));
    if (extension == ".EXE") {
        platform::Ui().ShowMessage(text::NewIsExe);
        return;
    }
    if (F.find('.') != std::string::npos) {
        if (extension != ".ZIP") {
            platform::Ui().ShowMessage(text::NewNotZip);
            return;
        }
    } else {
        F += ".zip";
    }
    if (platform::FileExists(F)) {
        if (!Dialogs().Confirm(std::string(text::OverwriteQuestion) + F + "?"))
            return;
        // Still there after a Yes, the old members would end up in the "new"
        // archive: say so and change nothing.
        if (!platform::DeleteFile(F)) {
            platform::Ui().ShowMessage(text::CannotDelete + F);
            return;
        }
    }
    ShowZipFileName(F);
    RezEdidiv1.SetPassword("");
    OpenArchive(F);
}

void TMainform::DeleteZipButClick()
{
    const std::string N = ZipFNameText();
    // "<none>" stands for no archive, never for a file of that name in
    // whatever the current folder is.
    if (N == text::NoArchive || !platform::FileExists(N)) {
        platform::Ui().ShowMessage(text::ZipNotFound + N);
        return;
    }
    if (!Dialogs().Confirm(std::string(text::DestroyQuestion) + N + "?"))
        return;
    if (!platform::DeleteFile(N)) {
        platform::Ui().ShowMessage(text::CannotDelete + N);
        return;
    }
    StringGrid1->SetRowCount(2);
    StringGrid1->ClearRow(1);
    RezEdidiv1.SetPassword("");
    OpenArchive("");
    FilesLabel->setText(QStringLiteral("0"));
    ShowZipFileName(text::NoArchive);
    Refit();
}

}  // namespace app
