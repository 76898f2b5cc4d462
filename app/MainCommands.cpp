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
    if (busy_)
        return;
    FileRequest request;
    request.Mode = FileRequest::Kind::Existing;
    request.Title = Translate(text::OpenTitle);
    request.Filter = Translate(text::OpenFilter);
    request.Preset = openDialogFileName_;
    // Where the last archive was opened, this run or an earlier one, and
    // the last ones that are still there.
    request.Folder = recent_.LastFolder();
    for (const std::string& path : recent_.Paths())
        if (platform::FileExists(path))
            request.Recent.push_back(path);
    const std::optional<std::string> chosen = Dialogs().ChooseFile(request);
    if (!chosen)
        return;
    OpenZipNamed(*chosen);
}

void TMainform::OpenZipNamed(const std::string& path)
{
    if (busy_)
        return;
    openDialogFileName_ = path;
    // Cursor and name come back also when the listing fails; its error then
    // goes on to the top-level error box.
    struct Restore {
        TMainform* form;
        ~Restore() { form->ShowZipFileName(form->RezEdidiv1.ZipFilename()); }
    } restore{this};
    WaitCursor cursor;
    // A password asked for belongs to the archive it was asked for.
    RezEdidiv1.SetPassword("");
    OpenArchive(path);
}

void TMainform::NewZipButClick() { NewZipIn(""); }

bool TMainform::NewZipIn(const std::string& folder)
{
    if (busy_)
        return false;
    FileRequest request;
    request.Mode = FileRequest::Kind::New;
    request.Title = Translate(text::NewTitle);
    request.Filter = Translate(text::NewFilter);
    request.Preset.clear();
    request.Folder = folder;
    const std::optional<std::string> chosen = Dialogs().ChooseFile(request);
    if (!chosen)
        return false;
    std::string F = *chosen;
    const std::string extension = engine::UpperCase(engine::ExtractFileExt(F));
    if (extension == ".EXE") {
        platform::Ui().ShowMessage(Translate(text::NewIsExe));
        return false;
    }
    if (F.find('.') != std::string::npos) {
        if (extension != ".ZIP") {
            platform::Ui().ShowMessage(Translate(text::NewNotZip));
            return false;
        }
    } else {
        F += ".zip";
    }
    if (platform::FileExists(F)) {
        if (!Dialogs().Confirm(Translate(text::OverwriteQuestion, {F})))
            return false;
        // Still there after a Yes, the old members would end up in the "new"
        // archive: say so and change nothing.
        if (!platform::DeleteFile(F)) {
            platform::Ui().ShowMessage(Translate(text::CannotDelete, {F}));
            return false;
        }
    }
    ShowZipFileName(F);
    RezEdidiv1.SetPassword("");
    OpenArchive(F);
    return true;
}

void TMainform::DeleteZipButClick()
{
    const std::string N = ZipFNameText();
    // "<none>" stands for no archive, never for a file of that name in
    // whatever the current folder is.
    if (N == Translate(text::NoArchive) || !platform::FileExists(N)) {
        platform::Ui().ShowMessage(Translate(text::ZipNotFound, {N}));
        return;
    }
    if (!Dialogs().Confirm(Translate(text::DestroyQuestion, {N})))
        return;
    if (!platform::DeleteFile(N)) {
        platform::Ui().ShowMessage(Translate(text::CannotDelete, {N}));
        return;
    }
    StringGrid1->SetRowCount(2);
    StringGrid1->ClearRow(1);
    RezEdidiv1.SetPassword("");
    OpenArchive("");
    FilesLabel->setText(QStringLiteral("0"));
    ShowZipFileName(Translate(text::NoArchive));
    Refit();
}

}  // namespace app
