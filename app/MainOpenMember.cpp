// Opening a member with the desktop's program (a double click or Enter on
// its row): it is extracted the way Extract extracts (the password asked
// as Extract asks it, the messages window, the busy rules) into a private
// folder of its own, handed to the desktop, and watched. When it changes on
// disk, "<name> was changed. Update it in <archive>?" is asked; Yes adds it
// back under its stored name, with the same encryption choice, through the
// normal add.
#include <QApplication>

#include "app/AppServices.h"
#include "app/Texts.h"
#include "app/mainunit.h"
#include "engine/PathText.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"
#include "zipformat/Flags.h"

namespace app {

namespace {

// The current folder for a scope, and the old one back after it.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) : previous_(platform::GetCurrentDir())
    {
        platform::SetCurrentDir(folder);
    }
    ~CurrentFolder() { platform::SetCurrentDir(previous_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::string previous_;
};

}  // namespace

void TMainform::OpenMember()
{
    if (busy_ || RezEdidiv1.EntryCount() < 1)
        return;
    // The member's whole stored name: the cell may show only its start.
    const engine::ZipDirEntry* entry = MemberAt(StringGrid1->Row());
    if (entry == nullptr)
        return;
    const std::string name = entry->FullName();
    // A folder holds nothing to open.
    if (name.empty() || name.back() == '/')
        return;
    std::optional<std::string> password;
    if (!ArchivePasswordFor({name}, password))
        return;
    const std::string folder = ExtractPrivately({name}, password);
    if (folder.empty())
        return;
    const std::string path = folder + "/" + name;
    if (!platform::FileExists(path)) {
        // A name the library would not write as it stands ("../x", "/x").
        platform::Ui().ShowMessage(Translate(text::CannotOpen, {name}));
        return;
    }
    const bool encrypted = fernpack::zip::IsEncrypted(entry->GeneralFlags);
    // Watched before the program starts, which may write at once.
    opened_.Watch(name, folder, encrypted);
    if (!Dialogs().OpenDocument(path))
        platform::Ui().ShowMessage(Translate(text::CannotOpen, {name}));
}

bool TMainform::MemberChanged(const TOpenedMembers::Member& member)
{
    // Not in the middle of an operation or of another question.
    if (busy_ || QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr)
        return false;
    const std::string question =
        Translate(text::ChangedUpdate, {member.Name, engine::ExtractFileName(RezEdidiv1.ZipFilename())});
    if (!Dialogs().Confirm(question))
        return true;
    // The same archive still? (A question can be answered late.)
    if (opened_.Archive() != RezEdidiv1.ZipFilename())
        return true;
    using engine::AddOptsEnum;
    engine::AddOpts options;
    options.Include(AddOptsEnum::AddDirNames);
    options.Set(AddOptsEnum::AddEncrypt, member.Encrypted);
    // Stored names are made from the paths as given: from the member's own
    // folder, its path there is its stored name.
    CurrentFolder here(member.Root);
    RunAdd(options, {member.Name});
    return true;
}

}  // namespace app
