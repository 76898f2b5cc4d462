// The commands that run the libraries: Add, Extract, Delete and Test. Each
// checks its preconditions (one box each, nothing else happens), opens its
// dialog or asks its question, runs the messages window's opening sequence,
// sets the component from the dialog, and runs the operation under the busy
// rules; then the elapsed time and one result box.
#include <QCheckBox>

#include "app/Addunit.h"
#include "app/AppServices.h"
#include "app/MemberCells.h"
#include "app/OperationReport.h"
#include "app/Texts.h"
#include "app/extrunit.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "platform/FileSystem.h"
#include "platform/Tick.h"
#include "platform/UiServices.h"

namespace app {

namespace {

// Holds a password in the component for one operation and puts the previous
// one back however it ends.
class PasswordForOneOperation {
public:
    PasswordForOneOperation(engine::TRezEdidiv& component, const std::optional<std::string>& password)
        : component_(component), previous_(component.Password())
    {
        if (password)
            component_.SetPassword(*password);
    }
    ~PasswordForOneOperation() { component_.SetPassword(previous_); }
    PasswordForOneOperation(const PasswordForOneOperation&) = delete;
    PasswordForOneOperation& operator=(const PasswordForOneOperation&) = delete;

private:
    engine::TRezEdidiv& component_;
    std::string previous_;
};

}  // namespace

const engine::ZipDirEntry* TMainform::MemberAt(int row) const
{
    const std::ptrdiff_t index = MemberIndex(StringGrid1->Objects(MemberTagColumn, row));
    if (index < 0 || static_cast<std::size_t>(index) >= RezEdidiv1.Entries.size())
        return nullptr;
    return RezEdidiv1.Entries[static_cast<std::size_t>(index)].get();
}

engine::TStrings TMainform::SelectedNames() const
{
    // Each row names its member by the member's whole name: the cell's text
    // may be only the start of it.
    engine::TStrings names;
    const grid::TGridRect selection = StringGrid1->Selection();
    for (int row = selection.Top; row <= selection.Bottom; ++row) {
        const std::ptrdiff_t index = MemberIndex(StringGrid1->Objects(MemberTagColumn, row));
        if (index >= 0 && static_cast<std::size_t>(index) < RezEdidiv1.Entries.size())
            names.push_back(RezEdidiv1.Entries[static_cast<std::size_t>(index)]->FullName());
        else
            names.push_back(StringGrid1->Cells(0, row));
    }
    return names;
}

void TMainform::AddButClick() { AddWithEntries({}); }

void TMainform::AddWithEntries(const std::vector<std::string>& entries)
{
    if (busy_ || AddForm == nullptr)
        return;
    if (RezEdidiv1.ZipFilename().empty()) {
        platform::Ui().ShowMessage(Translate(text::OpenZipFirst));
        return;
    }
    for (const std::string& entry : entries)
        if (!AddForm->SelectedList->Contains(entry))
            AddForm->SelectedList->Append(entry);
    // The dialog takes this window's place and size: centred the first
    // time, covering this window after that.
    AddForm->resize(size());
    if (AddForm->Placed())
        AddForm->move(pos());
    Outcome.DialogCanceled = false;
    ShowModal(*AddForm);
    if (Outcome.DialogCanceled)
        return;
    if (AddForm->SelectedList->count() == 0) {
        platform::Ui().ShowMessage(Translate(text::NoFilesSelected));
        return;
    }

    using engine::AddOptsEnum;
    engine::AddOpts options;
    options.Set(AddOptsEnum::AddRecurseDirs, AddForm->RecurseCB->isChecked());
    options.Set(AddOptsEnum::AddDirNames, AddForm->DirNameCB->isChecked());
    options.Set(AddOptsEnum::AddEncrypt, AddForm->EncryptCB->isChecked());
    // Once the library has it, the list is spent.
    if (RunAdd(options, AddForm->SelectedList->Entries()) && AddForm != nullptr)
        AddForm->SelectedList->clear();
}

bool TMainform::RunAdd(const engine::AddOpts& options, const engine::TStrings& specs)
{
    RezEdidiv1.AddOptions = options;
    RezEdidiv1.SetFSpecArgs(specs);
    // Counted before anything shows: a list that selects no file on disk
    // (a folder emptied or gone since it was chosen) stops here, with the
    // list kept for another try.
    std::int32_t steps = 0;
    RezEdidiv1.CountAddFiles(steps);
    if (steps <= 0) {
        RezEdidiv1.FSpecArgs().clear();
        platform::Ui().ShowMessage(Translate(text::NoFilesToAdd));
        return false;
    }
    std::optional<std::string> password;
    if (options.Contains(engine::AddOptsEnum::AddEncrypt)) {
        password = AskNewPassword();
        if (!password) {
            RezEdidiv1.FSpecArgs().clear();
            return false;
        }
    }

    if (Msgform != nullptr)
        Msgform->Open(Translate(text::BeginAdd, {RezEdidiv1.ZipFilename()}));
    const std::uint32_t start = platform::GetTickCount();
    if (Msgform != nullptr) {
        Msgform->AllFilesBar = {1, steps, 1, 1};
        Msgform->ShowBars();
    }
    bool finished = true;
    tally_.Clear();
    {
        PasswordForOneOperation hold(RezEdidiv1, password);
        finished = RunGuardedOperation([this] { RezEdidiv1.AddFiles(); }, Translate(text::AddFatal));
    }
    if (!finished)
        return true;
    ShowElapsed(start, platform::GetTickCount());
    if (RezEdidiv1.ProcessedCount == 0 && EndIfCancelled(TStoppedOperation::Add))
        return true;
    platform::Ui().ShowMessage(Translate(text::Added, RezEdidiv1.ProcessedCount));
    return true;
}

void TMainform::ExtractButClick()
{
    if (busy_ || Extract == nullptr)
        return;
    const std::string shown = ZipFNameText();
    if (shown == Translate(text::NoArchive) || !platform::FileExists(shown)) {
        platform::Ui().ShowMessage(Translate(text::FileNotFound, {shown}));
        return;
    }
    ShowModal(*Extract);
    if (Outcome.ExtractTargetDir.empty() || Outcome.DialogCanceled)
        return;
    if (RezEdidiv1.EntryCount() < 1) {
        platform::Ui().ShowMessage(Translate(text::NoFilesToExtract));
        return;
    }
    RezEdidiv1.FSpecArgs().clear();
    if (!Outcome.ExtractAllFiles) {
        RezEdidiv1.SetFSpecArgs(SelectedNames());
        if (RezEdidiv1.FSpecArgs().empty()) {
            platform::Ui().ShowMessage(Translate(text::NoRowsSelected));
            return;
        }
    }
    std::optional<std::string> password;
    if (!ArchivePasswordFor(RezEdidiv1.FSpecArgs(), password)) {
        RezEdidiv1.FSpecArgs().clear();
        return;
    }
    if (!RunExtract(Outcome.ExtractTargetDir, Outcome.ExtractWithDirs, Outcome.ExtractOverwrite, password))
        return;
    if (EndIfCancelled(TStoppedOperation::Extract))
        return;
    platform::Ui().ShowMessage(ExtractResult(RezEdidiv1.ProcessedCount, tally_, Outcome.ExtractWithDirs));
}

bool TMainform::RunExtract(const std::string& target, bool withDirs, bool overwrite,
                           const std::optional<std::string>& password)
{
    if (Msgform != nullptr)
        Msgform->Open(Translate(text::BeginExtract, {RezEdidiv1.ZipFilename()}));
    RezEdidiv1.ExtrBaseDir = target;
    using engine::ExtrOptsEnum;
    engine::ExtrOpts options;
    options.Set(ExtrOptsEnum::ExtrDirNames, withDirs);
    options.Set(ExtrOptsEnum::ExtrOverWrite, overwrite);
    RezEdidiv1.ExtrOptions = options;
    const std::uint32_t start = platform::GetTickCount();
    tally_.Clear();
    bool finished = true;
    const std::int32_t extracted = RunWithPasswords(password, &text::ExtractFatal, finished);
    if (!finished)
        return false;
    ShowElapsed(start, platform::GetTickCount());
    RezEdidiv1.ProcessedCount = extracted;
    return true;
}

std::string TMainform::ExtractPrivately(const engine::TStrings& names, const std::optional<std::string>& password)
{
    if (busy_)
        return {};
    const std::string folder = opened_.NewFolder(RezEdidiv1.ZipFilename());
    if (folder.empty()) {
        platform::Ui().ShowMessage(Translate(text::CannotOpen, {names.front()}));
        return {};
    }
    RezEdidiv1.SetFSpecArgs(names);
    // The library extracts into the current folder; the user's stays.
    const std::string here = platform::GetCurrentDir();
    const bool finished = RunExtract(folder, true, true, password);
    platform::SetCurrentDir(here);
    if (!finished)
        return {};
    if (EndIfCancelled(TStoppedOperation::Extract) || RezEdidiv1.ProcessedCount < 1) {
        if (!RezEdidiv1.StoppedOnRequest)
            platform::Ui().ShowMessage(ExtractResult(RezEdidiv1.ProcessedCount, tally_, true));
        opened_.RemoveFolder(folder);
        return {};
    }
    return folder;
}

void TMainform::DeleteButClick()
{
    if (busy_)
        return;
    if (RezEdidiv1.EntryCount() < 1) {
        platform::Ui().ShowMessage(Translate(text::NoFilesToDelete));
        return;
    }
    if (!Dialogs().Confirm(Translate(text::DeleteQuestion, {RezEdidiv1.ZipFilename()})))
        return;
    RezEdidiv1.SetFSpecArgs(SelectedNames());
    if (RezEdidiv1.FSpecArgs().empty()) {
        platform::Ui().ShowMessage(Translate(text::NoRowsSelected));
        return;
    }

    if (Msgform != nullptr)
        Msgform->Open(Translate(text::BeginDelete, {RezEdidiv1.ZipFilename()}));
    const std::uint32_t start = platform::GetTickCount();
    tally_.Clear();
    const bool finished = RunGuardedOperation([this] { RezEdidiv1.DeleteFiles(); }, Translate(text::DeleteFatal));
    if (!finished)
        return;
    ShowElapsed(start, platform::GetTickCount());
    if (RezEdidiv1.ProcessedCount == 0 && EndIfCancelled(TStoppedOperation::Delete))
        return;
    platform::Ui().ShowMessage(Translate(text::Deleted, RezEdidiv1.ProcessedCount));
}

void TMainform::TestButClick()
{
    if (busy_)
        return;
    if (RezEdidiv1.EntryCount() < 1) {
        platform::Ui().ShowMessage(Translate(text::NothingToTest));
        return;
    }
    std::optional<std::string> password;
    if (!ArchivePasswordFor({}, password))
        return;

    if (Msgform != nullptr)
        Msgform->Open(Translate(text::BeginTest, {RezEdidiv1.ZipFilename()}));
    RezEdidiv1.FSpecArgs().clear();
    RezEdidiv1.ExtrOptions.Include(engine::ExtrOptsEnum::ExtrTest);
    RezEdidiv1.FSpecArgs().push_back("*.*");
    const std::uint32_t start = platform::GetTickCount();
    tally_.Clear();
    // No guard of its own: the component guards the library call, and
    // anything else goes to the top-level error box.
    bool finished = true;
    const std::int32_t good = RunWithPasswords(password, nullptr, finished);
    if (!finished)
        return;
    ShowElapsed(start, platform::GetTickCount());
    RezEdidiv1.ProcessedCount = good;
    if (EndIfCancelled(TStoppedOperation::Test))
        return;
    const std::int32_t all = RezEdidiv1.EntryCount();
    platform::Ui().ShowMessage(all == good ? Translate(text::AllTestedOk, all)
                                           : Translate(text::TestedBad, all - good));
}

std::int32_t TMainform::RunWithPasswords(std::optional<std::string> password, const TText* fatal, bool& finished)
{
    const auto run = [&] {
        PasswordForOneOperation hold(RezEdidiv1, password);
        const auto call = [this] { RezEdidiv1.ExtractFiles(); };
        finished = fatal != nullptr ? RunGuardedOperation(call, Translate(*fatal)) : RunOperation(call);
        return RezEdidiv1.ProcessedCount;
    };
    std::int32_t done = run();
    while (finished) {
        const bool opened = done > 0 && tally_.PasswordFailed.empty() && !RezEdidiv1.StoppedOnRequest;
        if (opened && password && !password->empty()) {
            RezEdidiv1.SetPassword(*password);  // it opened members: kept for the archive
            break;
        }
        if (tally_.PasswordFailed.empty() || RezEdidiv1.StoppedOnRequest)
            break;
        // A password that fails is not kept, nor one kept before.
        if (!password || *password == RezEdidiv1.Password())
            RezEdidiv1.SetPassword("");
        password = AskPasswordAgain(tally_.PasswordFailed.front());
        if (!password)
            break;
        RezEdidiv1.SetFSpecArgs(FailedMemberNames(tally_.PasswordFailed));
        tally_.PasswordFailed.clear();
        const std::int32_t more = run();
        done += more;
        if (more == 0 && tally_.PasswordFailed.empty())
            break;
    }
    return done;
}

bool TMainform::EndIfCancelled(TStoppedOperation operation)
{
    if (!RezEdidiv1.StoppedOnRequest)
        return false;
    const std::string said = CancelledResult(operation, RezEdidiv1.ProcessedCount);
    if (Msgform != nullptr) {
        Msgform->AppendLine(said);
        Msgform->ClearProgress();
    }
    platform::Ui().ShowMessage(said);
    return true;
}

}  // namespace app
