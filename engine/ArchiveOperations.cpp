// Add, delete, extract and test: each checks its preconditions in a fixed
// order, guards against re-entry with its library's busy flag, loads its
// library for its own duration when needed, and makes the call.
#include <optional>

#include "engine/LibraryState.h"
#include "engine/Messages.h"
#include "engine/PathText.h"
#include "engine/ZipMstr.h"
#include "platform/FileSystem.h"

namespace engine {

namespace {

// Clears a busy flag and the cancel request however the operation ends.
class BusyScope {
public:
    BusyScope(bool& busy, bool& cancel) : busy_(busy), cancel_(cancel)
    {
        busy_ = true;
        cancel_ = false;
    }
    ~BusyScope()
    {
        cancel_ = false;
        busy_ = false;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
    bool& cancel_;
};

// A library in use for one operation: loaded for the operation's own
// duration when it was not loaded, and released again at the end.
class LibraryUse {
public:
    LibraryUse(TRezEdidiv& component, LibraryState& state, void (TRezEdidiv::*load)(),
               void (TRezEdidiv::*unload)())
        : component_(component), unload_(unload)
    {
        if (state.Handle == nullptr) {
            (component.*load)();
            loadedHere_ = true;
        }
        loaded_ = state.Handle != nullptr;
    }
    ~LibraryUse()
    {
        if (loadedHere_ && loaded_)
            (component_.*unload_)();
    }
    LibraryUse(const LibraryUse&) = delete;
    LibraryUse& operator=(const LibraryUse&) = delete;

    bool Loaded() const { return loaded_; }

private:
    TRezEdidiv& component_;
    void (TRezEdidiv::*unload_)();
    bool loadedHere_ = false;
    bool loaded_ = false;
};

// A program made with an empty archive for an add to a new program name.
// If the add adds nothing, the program holds nothing and did not exist
// before: it goes again, as long as it is still the very file that was made.
class NewEmptyProgram {
public:
    NewEmptyProgram(const std::string& path, const std::int32_t& processed) : path_(path), processed_(processed) {}
    ~NewEmptyProgram()
    {
        if (made_ && processed_ <= 0 && platform::StampOf(path_) == made_)
            platform::DeleteFile(path_);
    }
    NewEmptyProgram(const NewEmptyProgram&) = delete;
    NewEmptyProgram& operator=(const NewEmptyProgram&) = delete;

    void Made() { made_ = platform::StampOf(path_); }

private:
    std::string path_;
    const std::int32_t& processed_;
    std::optional<platform::FileStamp> made_;
};

}  // namespace

void TRezEdidiv::AddFiles()
{
    ProcessedCount = 0;
    StoppedOnRequest = false;
    if (FSpecArgs_.empty()) {
        ReportMessage(msg::NoFilesToZip, msg::NoFilesToZipText);
        return;
    }
    if (ZipFilename_.empty()) {
        ReportMessage(msg::NoZipFile, msg::NoZipFilenameSpecified);
        return;
    }
    if (ZipLibBusy)
        return;
    {
        BusyScope busy(ZipLibBusy, CancelRequested);
        // Adding to a new program name: a stub with an empty archive first.
        NewEmptyProgram program(ZipFilename_, ProcessedCount);
        if (UpperCase(ExtractFileExt(ZipFilename_)) == ".EXE" && FirstHeaderOffset == 0 &&
            !platform::FileExists(ZipFilename_)) {
            CreatingEmptySfx = true;
            std::int32_t made = -1;
            try {
                made = ConvertSFX();
            } catch (...) {
                CreatingEmptySfx = false;
                throw;
            }
            CreatingEmptySfx = false;
            if (made == 0)
                program.Made();
        }
        LibraryUse library(*this, ZipDllState, &TRezEdidiv::LoadZipLibrary, &TRezEdidiv::UnloadZipLibrary);
        if (!library.Loaded())
            return;
        PrepareZipCommand();
        CallLibrary(ZipCommandRecord, reinterpret_cast<ZipDllExecFunction>(ZipDllState.ExecEntry), ZipDllState,
                    msg::FatalZipDll, msg::ZipDllUnusableText);
    }
    if (ProcessedCount > 0)
        ReadEntries();
}

void TRezEdidiv::DeleteFiles()
{
    ProcessedCount = 0;
    StoppedOnRequest = false;
    if (FSpecArgs_.empty()) {
        ReportMessage(msg::NoFilesToDelete, msg::NoFilesToDeleteText);
        return;
    }
    if (!platform::FileExists(ZipFilename_)) {
        ReportMessage(msg::NoZipFile, msg::NoZipFileSpecified);
        return;
    }
    if (ZipLibBusy)
        return;
    {
        BusyScope busy(ZipLibBusy, CancelRequested);
        LibraryUse library(*this, ZipDllState, &TRezEdidiv::LoadZipLibrary, &TRezEdidiv::UnloadZipLibrary);
        if (!library.Loaded())
            return;
        PrepareZipCommand();
        ::ZipCommandRecord& r = ZipCommandRecord;
        r.DeleteOn = ZREC_TRUE;
        r.AddOn = 0;
        r.NoDirNames = ZREC_FALSE;
        r.MoveOn = ZREC_FALSE;
        r.FreshenOn = ZREC_FALSE;
        r.UpdateOn = ZREC_FALSE;
        r.RecurseOn = ZREC_FALSE;
        r.EncryptOn = ZREC_FALSE;
        r.StdinOn = ZREC_FALSE;
        CallLibrary(ZipCommandRecord, reinterpret_cast<ZipDllExecFunction>(ZipDllState.ExecEntry), ZipDllState,
                    msg::FatalZipDll, msg::ZipDllUnusableText);
    }
    if (ProcessedCount > 0)
        ReadEntries();
}

void TRezEdidiv::ExtractFiles()
{
    ProcessedCount = 0;
    StoppedOnRequest = false;
    if (!platform::FileExists(ZipFilename_)) {
        ReportMessage(msg::NoZipFile, msg::NoZipFileSpecified);
        return;
    }
    if (UnzLibBusy)
        return;
    BusyScope busy(UnzLibBusy, CancelRequested);
    LibraryUse library(*this, UnzDllState, &TRezEdidiv::LoadUnzLibrary, &TRezEdidiv::UnloadUnzLibrary);
    if (!library.Loaded())
        return;
    // The record has no target folder: the library extracts relative to the
    // current folder, which is not restored afterwards.
    if (platform::DirectoryExists(ExtrBaseDir))
        platform::SetCurrentDir(ExtrBaseDir);
    PrepareUnzCommand();
    CallLibrary(UnzCommandRecord, reinterpret_cast<UnzDllExecFunction>(UnzDllState.ExecEntry), UnzDllState,
                msg::FatalUnzDll, msg::UnzDllUnusableText);
}

}  // namespace engine
