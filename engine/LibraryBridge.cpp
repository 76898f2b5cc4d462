// The seam between the archive component and the two libraries: loading
// and looking up entry points, filling the command records, and the guarded
// call sequence with its text buffers.
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "engine/LibraryState.h"
#include "engine/Messages.h"
#include "engine/ZipMstr.h"
#include "platform/FaultGuard.h"
#include "platform/FileSystem.h"

namespace engine {

namespace {

// The capacity the libraries read to: a path of any length Linux accepts.
constexpr std::size_t TextBufferSize = ZREC_TEXT_CAPACITY;
constexpr std::size_t PasswordBufferSize = ZREC_PASSWORD_CAPACITY;

constexpr std::int32_t Flag(bool on) { return on ? ZREC_TRUE : ZREC_FALSE; }

struct LibraryNames {
    const char* File;
    const char* Exec;
    const char* Version;
    const char* LoadedText;
    std::int32_t ExecMissing;
    const char* ExecMissingText;
    std::int32_t VersionMissing;
    const char* VersionMissingText;
    std::int32_t NotFound;
    const char* NotFoundText;
};

constexpr LibraryNames ZipNames{"ZIPDLL.DLL",          "ZipDllExec",         "GetZipDllVersion",
                                msg::ZipDllLoaded,     msg::ZipExecMissing,  msg::ZipExecMissingText,
                                msg::ZipVersionMissing, msg::ZipVersionMissingText, msg::ZipDllNotFound,
                                msg::ZipDllNotFoundText};
constexpr LibraryNames UnzNames{"UNZDLL.DLL",          "UnzDllExec",         "GetUnzDllVersion",
                                msg::UnzDllLoaded,     msg::UnzExecMissing,  msg::UnzExecMissingText,
                                msg::UnzVersionMissing, msg::UnzVersionMissingText, msg::UnzDllNotFound,
                                msg::UnzDllNotFoundText};

void LoadLibrary(TRezEdidiv& component, LibraryState& state, const LibraryNames& names)
{
    std::string path = names.File;
    const std::string inFolder = component.DLLDirectory() + "/" + names.File;
    if (!component.DLLDirectory().empty() && platform::FileExists(inFolder))
        path = inFolder;
    platform::SetErrorMode(3);
    state.Handle = platform::LoadLibrary(path);
    if (state.Handle == nullptr) {
        component.ReportMessage(names.NotFound, names.NotFoundText);
    } else {
        if (component.Trace)
            component.ReportMessage(msg::Info, names.LoadedText);
        state.ExecEntry = platform::GetProcAddress(state.Handle, names.Exec);
        state.VersionEntry = platform::GetProcAddress(state.Handle, names.Version);
        if (state.ExecEntry == nullptr)
            component.ReportMessage(names.ExecMissing, names.ExecMissingText);
        if (state.VersionEntry == nullptr)
            component.ReportMessage(names.VersionMissing, names.VersionMissingText);
    }
    platform::SetErrorMode(0);
}

std::unique_ptr<char[]> TextBuffer(const std::string& text, std::size_t size)
{
    auto buffer = std::make_unique<char[]>(size);
    std::memset(buffer.get(), 0, size);
    std::memcpy(buffer.get(), text.data(), std::min(text.size(), size - 1));
    return buffer;
}

}  // namespace

void TRezEdidiv::LoadZipLibrary() { LoadLibrary(*this, ZipDllState, ZipNames); }
void TRezEdidiv::LoadUnzLibrary() { LoadLibrary(*this, UnzDllState, UnzNames); }

void TRezEdidiv::PrepareZipCommand()
{
    ::ZipCommandRecord& r = ZipCommandRecord;
    r.WindowHandle = Unattended ? nullptr : reinterpret_cast<void*>(OwnerWindow);
    r.Caller = this;
    r.RecordVersion = ZREC_RECORD_VERSION;
    r.CallbackAddress = &TRezEdidiv::LibraryCallback;
    r.TraceOn = Flag(Trace);
    r.EncryptOn = Flag(AddOptions.Contains(AddOptsEnum::AddEncrypt));
    r.HiddenFilesOn = Flag(AddOptions.Contains(AddOptsEnum::AddHiddenFiles));
    r.StdinOn = Flag(AddFromStdin);
    r.Reserved40 = 0;
    r.Reserved44 = -1;
    r.Reserved48 = 0;
    r.VerboseOn = Flag(Verbose || Trace);
    r.Reserved56 = -1;
    r.CompressionLevel = AddCompLevel;
    r.Reserved64 = 0;
    r.Reserved68 = 0;
    r.NoDirNames = Flag(!AddOptions.Contains(AddOptsEnum::AddDirNames));
    r.RecurseOn = Flag(AddOptions.Contains(AddOptsEnum::AddRecurseDirs));
    r.AddOn = -1;
    r.ForceDosOn = Flag(AddOptions.Contains(AddOptsEnum::AddForceDOS));
    r.MoveOn = Flag(AddOptions.Contains(AddOptsEnum::AddMove));
    r.DeleteOn = Flag(false);
    r.UpdateOn = Flag(AddOptions.Contains(AddOptsEnum::AddUpdate));
    r.FreshenOn = Flag(AddOptions.Contains(AddOptsEnum::AddFreshen) && !AddOptions.Contains(AddOptsEnum::AddUpdate));
    r.Reserved104 = 0;
    r.ZipTimeOn = Flag(AddOptions.Contains(AddOptsEnum::AddZipTime));
    r.TrailerMark = ZREC_TRAILER_MARK;
}

void TRezEdidiv::PrepareUnzCommand()
{
    ::UnzCommandRecord& r = UnzCommandRecord;
    r.WindowHandle = Unattended ? nullptr : reinterpret_cast<void*>(OwnerWindow);
    r.Caller = this;
    r.RecordVersion = ZREC_RECORD_VERSION;
    r.CallbackAddress = &TRezEdidiv::LibraryCallback;
    r.TraceOn = Flag(Trace);
    r.TestOn = Flag(ExtrOptions.Contains(ExtrOptsEnum::ExtrTest));
    r.Reserved32 = 0;
    r.ToStdoutOn = Flag(ExtrToStdout);
    r.Reserved40 = -1;
    r.VerboseOn = Flag(Verbose || Trace);
    r.UpdateOn = Flag(ExtrOptions.Contains(ExtrOptsEnum::ExtrUpdate));
    r.FreshenOn =
        Flag(ExtrOptions.Contains(ExtrOptsEnum::ExtrFreshen) && !ExtrOptions.Contains(ExtrOptsEnum::ExtrUpdate));
    r.DirNamesOn = Flag(ExtrOptions.Contains(ExtrOptsEnum::ExtrDirNames));
    r.OverwriteOn = Flag(ExtrOptions.Contains(ExtrOptsEnum::ExtrOverWrite));
    r.TrailerMark = ZREC_TRAILER_MARK;
}

bool TRezEdidiv::TextsFitTheRecord()
{
    if (FSpecArgs_.size() > ZREC_MAX_SPECS) {
        ReportMessage(msg::TooLongForLibrary, msg::TooManySpecsText);
        return false;
    }
    if (Password_.size() > PasswordBufferSize - 1) {
        ReportMessage(msg::TooLongForLibrary, msg::PasswordTooLongText);
        return false;
    }
    if (ZipFilename_.size() > TextBufferSize - 1) {
        ReportMessage(msg::TooLongForLibrary, msg::TextTooLongText + ZipFilename_);
        return false;
    }
    for (const auto& fileSpec : FSpecArgs_) {
        if (fileSpec.size() > TextBufferSize - 1) {
            ReportMessage(msg::TooLongForLibrary, msg::TextTooLongText + fileSpec);
            return false;
        }
    }
    return true;
}

template <typename Record, typename Exec>
void TRezEdidiv::CallLibrary(Record& record, Exec exec, LibraryState& state, const char* fatalText,
                             const char* unusableText)
{
    if (state.Unusable) {
        ReportMessage(msg::LibraryUnusable, unusableText);
        return;
    }
    if (!TextsFitTheRecord())
        return;

    auto archiveName = TextBuffer(ZipFilename_, TextBufferSize);
    record.ArchiveName = archiveName.get();
    auto password = TextBuffer(Password_, PasswordBufferSize);
    record.PasswordText = password.get();
    std::vector<std::unique_ptr<char[]>> specs;
    record.SpecCount = 0;
    for (const auto& line : FSpecArgs_) {
        specs.push_back(TextBuffer(line, TextBufferSize));
        record.SpecTexts[record.SpecCount++] = specs.back().get();
    }

    callbackFailure_ = nullptr;
    std::int32_t result = 0;
    platform::GuardOutcome outcome = platform::GuardOutcome::Exception;
    if (exec != nullptr)
        outcome = platform::RunGuarded([&] { result = exec(&record); });
    const std::exception_ptr handlerFailure = std::exchange(callbackFailure_, nullptr);
    if (outcome == platform::GuardOutcome::Fault)
        state.Unusable = true;
    if (outcome != platform::GuardOutcome::Completed)
        ReportMessage(msg::FatalDll, fatalText);
    else
        ProcessedCount = result;

    FSpecArgs_.clear();
    // The buffers go last to first; the record must not keep their addresses.
    archiveName.reset();
    record.ArchiveName = nullptr;
    password.reset();
    record.PasswordText = nullptr;
    while (!specs.empty()) {
        specs.pop_back();
        record.SpecTexts[specs.size()] = nullptr;
    }
    if (handlerFailure)
        std::rethrow_exception(handlerFailure);
}

template void TRezEdidiv::CallLibrary(::ZipCommandRecord&, ZipDllExecFunction, LibraryState&, const char*,
                                      const char*);
template void TRezEdidiv::CallLibrary(::UnzCommandRecord&, UnzDllExecFunction, LibraryState&, const char*,
                                      const char*);

}  // namespace engine
