// TRezEdidiv, the archive component: one archive file, its member list as
// last read from the file, every option of the operations on it, and the
// three events through which it tells its owner what happens.
//
// It promises: `Entries` always reflects the last listing of `ZipFilename`
// (rebuilt, never patched); every condition it detects itself is reported
// through `ReportMessage` with a numeric code, and the only exceptions that
// leave it are file errors of the listing (EFileStreamError) and those its
// owner's own event handlers raise.
// It does not compress, extract or test anything itself: that is the work of
// the two libraries, reached through the records of the bridge.
//
// Like everything in engine/, it lives in namespace engine, so its names
// (TObject, TNotifyEvent, the option sets) stand beside the grid's own.
#pragma once

#include <csignal>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Component.h"
#include "abi/UNZDLL.h"
#include "abi/ZIPDLL.h"
#include "engine/OptionSet.h"
#include "engine/ZipDirEntry.h"
#include "platform/LockWait.h"
#include "zipformat/MemberSelector.h"

namespace engine {

struct LibraryState;

enum class AddOptsEnum : unsigned {
    AddDirNames,
    AddRecurseDirs,
    AddMove,
    AddFreshen,
    AddUpdate,
    AddZipTime,
    AddForceDOS,
    AddHiddenFiles,
    AddEncrypt,
};
using AddOpts = TSet<AddOptsEnum, std::uint16_t>;

enum class ExtrOptsEnum : unsigned { ExtrDirNames, ExtrOverWrite, ExtrFreshen, ExtrUpdate, ExtrTest };
using ExtrOpts = TSet<ExtrOptsEnum, std::uint8_t>;

enum class SFXOptsEnum : unsigned { SFXAskCmdLine, SFXAskFiles, SFXHideOverWriteBox };
using SFXOpts = TSet<SFXOptsEnum, std::uint8_t>;

enum class OvrOpts : std::uint8_t { OvrConfirm = 0, OvrAlways = 1, OvrNever = 2 };

enum class ProgressType : std::uint8_t { FileBegin = 0, FileStep = 1, BatchEnd = 2 };

using TStrings = std::vector<std::string>;
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TProgressEvent =
    std::function<void(TObject* Sender, ProgressType ProgrType, const std::string& Filename, std::int32_t FileSize)>;
using TMessageEvent = std::function<void(TObject* Sender, std::int32_t ErrCode, const std::string& Message)>;

class TRezEdidiv : public TComponent {
public:
    explicit TRezEdidiv(TComponent* owner = nullptr);
    ~TRezEdidiv() override;
    TRezEdidiv(const TRezEdidiv&) = delete;
    TRezEdidiv& operator=(const TRezEdidiv&) = delete;

    // ---- Fields, in their declared order ----
    std::uintptr_t OwnerWindow = 0;  // the application's own window, taken at creation
    bool Verbose = false;
    bool Trace = false;
    std::int32_t ErrCode = 0;  // code and text of the last message reported
    std::string Message;
    std::vector<std::unique_ptr<ZipDirEntry>> Entries;  // members in file order; owned
    std::string ExtrBaseDir;
    bool CancelRequested = false;
    bool ZipLibBusy = false;
    bool UnzLibBusy = false;
    AddOpts AddOptions;
    ExtrOpts ExtrOptions;
    SFXOpts SFXOptions;

private:
    TStrings FSpecArgs_;
    std::string ZipFilename_;

public:
    std::int32_t ProcessedCount = 0;
    std::int32_t AddCompLevel = 9;

private:
    std::string Password_;

public:
    std::string SFXPath;
    std::int32_t FirstHeaderOffset = 0;

private:
    std::string DLLDirectory_;

public:
    bool CreatingEmptySfx = false;
    bool Unattended = false;
    OvrOpts SFXOverWriteMode = OvrOpts::OvrConfirm;
    std::string SFXCaption = "Self-extracting Archive";
    std::string SFXDefaultDir;
    std::string SFXCommandLine;
    // fernpack-cli's streams (the window leaves them off): an extract that
    // writes the members' data to standard output instead of files, and an
    // add whose one FSpecArgs line is the name standard input is stored
    // under (UNZDLL.h ToStdoutOn, ZIPDLL.h StdinOn).
    bool ExtrToStdout = false;
    bool AddFromStdin = false;
    // A request to stop raised outside the event loop (fernpack-cli points
    // it at the flag its signal handlers set): while it points at a value
    // other than 0, every library callback answers "stop", as it does for
    // CancelRequested, also while the library only waits (a lock, input).
    const volatile std::sig_atomic_t* ExternalCancel = nullptr;
    // The last add, delete or extract was told to stop on such a request
    // (not because a handler failed): it ended there, and a rewrite of the
    // archive was given up, leaving the archive as it was.
    bool StoppedOnRequest = false;
    // The command records, embedded so the component's address (handed to
    // the libraries as Caller) identifies the record being executed.
    ::ZipCommandRecord ZipCommandRecord{};
    ::UnzCommandRecord UnzCommandRecord{};
    TNotifyEvent OnDirUpdate;
    TProgressEvent OnProgress;
    TMessageEvent OnMessage;

    // ---- Properties with effects ----
    const std::string& ZipFilename() const { return ZipFilename_; }
    // Stores the name and lists the archive at once (also for an empty or an
    // unchanged name); while designing, only stores it.
    void SetZipFilename(const std::string& name);

    const std::string& DLLDirectory() const { return DLLDirectory_; }
    // Stores the folder without one trailing '/'.
    void SetDLLDirectory(const std::string& directory);

    const TStrings& FSpecArgs() const { return FSpecArgs_; }
    TStrings& FSpecArgs() { return FSpecArgs_; }
    void SetFSpecArgs(const TStrings& specs) { FSpecArgs_ = specs; }

    // A length-prefixed string: at most 255 characters are kept.
    const std::string& Password() const { return Password_; }
    void SetPassword(const std::string& password);
    static constexpr std::size_t MaxPasswordLength = 255;

    // ---- Operations ----
    // 0 while no archive is named, else the number of listed members.
    std::int32_t EntryCount() const;
    void ClearEntries();
    // Re-reads the archive and rebuilds Entries; may throw EFileStreamError.
    void ReadEntries();
    // How long a listing waits for a writer's lock on the archive before it
    // fails (milliseconds).
    static inline int WriterWaitMs = platform::LockWaitMs;
    // How many candidate first bytes a listing scans for the first local
    // header (past a self-extractor's stub) before it gives up.
    static constexpr std::int32_t MaxScannedBytes = 60000;
    // What the last listing found at the end of the archive (read while it
    // had the file open, so nobody needs to open it again): whether the file
    // is a valid archive without members (zipformat/EndOfArchive.h; known
    // before the listing reports that it found none), and the archive's
    // comment.
    bool IsEmptyArchive() const { return emptyArchive_; }
    const std::string& ArchiveComment() const { return archiveComment_; }
    // The listed members that `specs` choose, by the libraries' rule
    // (zipformat/MemberSelector.h; none chooses every member): a selector
    // already told every stored name (whole, FullName). Ask it with FullName.
    fernpack::zip::MemberSelector ChooseMembers(const TStrings& specs) const;
    // Whether any listed member that `specs` choose needs a password: the
    // one answer the window and fernpack-cli ask before an extract or a
    // test.
    bool NeedsPassword(const TStrings& specs) const;
    // Stores code and text, raises OnMessage, then (unless Unattended) shows
    // the text in a message box. Always returns normally.
    void ReportMessage(std::int32_t code, const std::string& text);

    void LoadZipLibrary();
    void LoadUnzLibrary();
    void UnloadZipLibrary();
    void UnloadUnzLibrary();

    // Fill the fixed part of a command record from the properties.
    void PrepareZipCommand();
    void PrepareUnzCommand();

    // The archive operations through the libraries; results in ProcessedCount.
    void AddFiles();
    void DeleteFiles();
    void ExtractFiles();  // tests instead with ExtrTest in ExtrOptions
    // Bytes an add of FSpecArgs would take; `steps` gets its progress steps.
    // Both saturate at 2,147,483,647; CountAddFiles64 gives the full counts.
    std::int32_t CountAddFiles(std::int32_t& steps);
    std::int64_t CountAddFiles64(std::int64_t& steps);
    std::int32_t CountSpecFiles(const std::string& fileSpec, int attributes, std::int32_t& steps,
                                const std::string& archiveName, bool recurse);
    // Attribute sets of the file count: normal files, and hidden ones too.
    static constexpr int FileAttributes = 33;
    static constexpr int FileAttributesWithHidden = 35;

    // Self-extracting conversions; result 0, -1, -2, -3 or -9.
    std::int32_t ConvertSFX();
    std::int32_t ConvertZip();

    // Called by the libraries with the address of a CallbackRecord.
    static std::int32_t ZREC_CALL LibraryCallback(CallbackRecord* record);

private:
    void RaiseDirUpdate();
    // The call sequence around one execute call of the library `state`.
    // Refused before the call (with the refusal reported) when the texts do
    // not fit the record or the library is unusable; an exception raised by
    // an event handler inside the call passes on once the call is over.
    template <typename Record, typename Exec>
    void CallLibrary(Record& record, Exec exec, LibraryState& state, const char* fatalText,
                     const char* unusableText);
    bool TextsFitTheRecord();
    // An exception raised by an event handler inside a library callback,
    // kept until the library has returned.
    std::exception_ptr callbackFailure_;
    bool emptyArchive_ = false;
    std::string archiveComment_;
};

}  // namespace engine
