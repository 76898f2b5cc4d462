#include "engine/ZipMstr.h"

#include "engine/LibraryState.h"
#include "platform/UiServices.h"

namespace engine {

LibraryState ZipDllState;
LibraryState UnzDllState;

TRezEdidiv::TRezEdidiv(TComponent* owner) : TComponent(owner)
{
    OwnerWindow = platform::Ui().ApplicationWindow();
}

TRezEdidiv::~TRezEdidiv() { ClearEntries(); }

void TRezEdidiv::SetZipFilename(const std::string& name)
{
    ZipFilename_ = name;
    if (!IsDesigning())
        ReadEntries();
}

void TRezEdidiv::SetDLLDirectory(const std::string& directory)
{
    if (directory == DLLDirectory_)
        return;
    std::string value = directory;
    if (!value.empty() && value.back() == '/')
        value.pop_back();
    DLLDirectory_ = value;
}

void TRezEdidiv::SetPassword(const std::string& password)
{
    Password_ = password.substr(0, MaxPasswordLength);
}

fernpack::zip::MemberSelector TRezEdidiv::ChooseMembers(const TStrings& specs) const
{
    fernpack::zip::MemberSelector selector(specs);
    for (const auto& entry : Entries)
        selector.NoteStoredName(entry->FullName());
    return selector;
}

bool TRezEdidiv::NeedsPassword(const TStrings& specs) const
{
    fernpack::zip::MemberSelector selector = ChooseMembers(specs);
    for (const auto& entry : Entries)
        if (selector.Selects(entry->FullName()) && entry->NeedsPassword())
            return true;
    return false;
}

std::int32_t TRezEdidiv::EntryCount() const
{
    if (ZipFilename_.empty())
        return 0;
    return static_cast<std::int32_t>(Entries.size());
}

void TRezEdidiv::ClearEntries()
{
    while (!Entries.empty())
        Entries.pop_back();  // last to first; each record takes its name with it
}

void TRezEdidiv::ReportMessage(std::int32_t code, const std::string& text)
{
    Message = text;
    ErrCode = code;
    if (OnMessage)
        OnMessage(this, code, text);
    if (!Unattended)
        platform::Ui().ShowMessage(text);
}

void TRezEdidiv::RaiseDirUpdate()
{
    if (OnDirUpdate)
        OnDirUpdate(this);
}

namespace {

void Unload(LibraryState& state)
{
    // A library that faulted stays mapped: its threads may still run its code.
    if (state.Unusable)
        return;
    if (state.Handle != nullptr)
        platform::FreeLibrary(state.Handle);
    state.Handle = nullptr;
}

}  // namespace

void TRezEdidiv::UnloadZipLibrary() { Unload(ZipDllState); }

void TRezEdidiv::UnloadUnzLibrary() { Unload(UnzDllState); }

}  // namespace engine
