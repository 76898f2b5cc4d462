// Turning an archive into a self-extracting program (stub, settings header,
// archive) and back. The archive's bytes are copied unchanged either way.
//
// Output goes to a temporary file in the target's folder and takes the
// final name only once its size has been checked, so a failed conversion
// never destroys a file that already had the output's name.
#include <vector>

#include "engine/Messages.h"
#include "engine/PathText.h"
#include "engine/SfxHeader.h"
#include "engine/ZipMstr.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

namespace engine {

namespace {

constexpr std::int64_t CopyBlock = 8192;
constexpr const char* StubName = "ZIPSFX.BIN";

// Copies the rest of `in` into `out` block by block, letting the user
// interface breathe after each block. Returns false when a write fails.
bool CopyInto(platform::FileStream& in, platform::FileStream& out, std::int64_t& written)
{
    std::vector<char> buffer(CopyBlock);
    for (;;) {
        const std::int64_t n = std::max<std::int64_t>(in.Read(buffer.data(), CopyBlock), 0);
        if (n > 0 && out.Write(buffer.data(), n) != n)
            return false;
        written += n;
        platform::Ui().ProcessMessages();
        if (n < CopyBlock)
            return true;
    }
}

// Output under construction: a temporary file that becomes `finalName`.
class PendingOutput {
public:
    explicit PendingOutput(std::string finalName) : final_(std::move(finalName)) {}
    ~PendingOutput() { Discard(); }

    bool Open()
    {
        temp_ = file_.CreateTemporaryBeside(final_);
        return !temp_.empty();
    }
    platform::FileStream& File() { return file_; }
    void Close() { file_.Close(); }
    std::int64_t Size() const { return temp_.empty() ? -1 : platform::FileSize(temp_); }
    bool Commit(bool executable)
    {
        file_.Close();
        if (executable)
            platform::MakeExecutable(temp_);
        if (!platform::RenameFile(temp_, final_))
            return false;
        temp_.clear();
        return true;
    }
    void Discard()
    {
        file_.Close();
        if (!temp_.empty())
            platform::DeleteFile(temp_);
        temp_.clear();
    }

private:
    std::string final_;
    std::string temp_;
    platform::FileStream file_;
};

}  // namespace

std::int32_t TRezEdidiv::ConvertSFX()
{
    std::int32_t result = 0;
    if (!platform::FileExists(ZipFilename_) && !CreatingEmptySfx) {
        ReportMessage(msg::NoZipFile, msg::NoZipFileSpecified);
        return -3;
    }
    const std::size_t total = SFXCaption.size() + SFXDefaultDir.size() + SFXCommandLine.size();
    if (total > SFXH_TEXTS_CAPACITY) {
        ReportMessage(msg::SfxTextsTooLong,
                      std::string(msg::SfxTextsTooLongText) + "\r\n" + msg::SfxTextsTotalText + std::to_string(total));
        return -3;
    }

    // The stub: each candidate is kept in SFXPath before it is tried.
    bool found = false;
    const std::string candidates[] = {
        SFXPath,
        StubName,
        ExtractFileDir(platform::ProgramPath()) + "/" + StubName,
        platform::SystemFolder() + "/" + StubName,
        platform::WindowsFolder() + "/" + StubName,
    };
    for (const auto& candidate : candidates) {
        SFXPath = candidate;
        if (platform::FileExists(SFXPath)) {
            found = true;
            break;
        }
    }
    if (!found && !DLLDirectory_.empty()) {
        SFXPath = DLLDirectory_ + "/" + StubName;
        found = platform::FileExists(SFXPath);
    }
    if (!found) {
        ReportMessage(msg::SfxStubNotFound, msg::SfxStubNotFoundText);
        return -3;
    }

    std::string outputName = ZipFilename_;
    if (!CreatingEmptySfx) {
        if (UpperCase(ExtractFileExt(ZipFilename_)) != ".ZIP") {
            ReportMessage(msg::NotAZipFile, msg::NotAZipFileText);
            return -3;
        }
        outputName = ChangeFileExt(ZipFilename_, ".exe");
    }

    PendingOutput output(outputName);
    std::int64_t stubBytes = 0;
    {
        platform::FileStream stub;
        if (!stub.Open(SFXPath, platform::OpenMode::ReadDenyWrite) || stub.Seek(0, platform::SeekOrigin::Begin) != 0)
            result = -3;
        else if (!output.Open())
            result = -1;
        else if (!CopyInto(stub, output.File(), stubBytes))
            result = -2;
    }
    if (result != 0) {
        output.Discard();
        ReportMessage(msg::ConvertSfxFailed, msg::ConvertSfxFailedText);
        return result;
    }

    const auto header = BuildSfxHeader(SFXOptions, SFXOverWriteMode, SFXCaption, SFXDefaultDir, SFXCommandLine);
    if (output.File().Write(header.data(), header.size()) != static_cast<std::int64_t>(header.size())) {
        output.Discard();
        ReportMessage(msg::ConvertSfxFailed, msg::ConvertSfxFailedText);
        return -2;
    }

    if (CreatingEmptySfx) {
        const auto end = EmptyEndRecord();
        if (output.File().Write(end.data(), end.size()) != static_cast<std::int64_t>(end.size()) ||
            !output.Commit(true)) {
            output.Discard();
            ReportMessage(msg::ConvertSfxFailed, msg::ConvertSfxFailedText);
            return -2;
        }
        return 0;
    }

    std::int64_t archiveBytes = 0;
    {
        platform::FileStream archive;
        if (!archive.Open(ZipFilename_, platform::OpenMode::ReadDenyWrite) ||
            archive.Seek(0, platform::SeekOrigin::Begin) != 0)
            result = -3;
        else if (!CopyInto(archive, output.File(), archiveBytes))
            result = -2;
        output.Close();
    }

    const std::int64_t size = output.Size();
    if (result == 0 && (size < 0 || stubBytes + archiveBytes + SFXH_SIZE != size))
        result = -9;
    if (result == 0 && !output.Commit(true))
        result = -9;
    if (result != 0) {
        output.Discard();
        ReportMessage(msg::ConvertSfxFailed, msg::ConvertSfxFailedText);
        return result;
    }

    platform::DeleteFile(ZipFilename_);
    ZipFilename_ = outputName;
    ReadEntries();
    return 0;
}

std::int32_t TRezEdidiv::ConvertZip()
{
    std::int32_t result = 0;
    if (!platform::FileExists(ZipFilename_)) {
        ReportMessage(msg::NoExeFile, msg::NoExeFileText);
        return -3;
    }
    if (UpperCase(ExtractFileExt(ZipFilename_)) != ".EXE") {
        ReportMessage(msg::NotAnExeFile, msg::NotAnExeFileText);
        return -3;
    }
    if (FirstHeaderOffset == 0) {
        ReportMessage(msg::SfxTypeUnknown, msg::SfxTypeUnknownText);
        return -3;
    }
    const std::string outputName = ChangeFileExt(ZipFilename_, ".zip");

    PendingOutput output(outputName);
    std::int64_t programSize = 0;
    {
        platform::FileStream program;
        if (!program.Open(ZipFilename_, platform::OpenMode::ReadDenyWrite)) {
            result = -3;
        } else {
            programSize = program.Seek(0, platform::SeekOrigin::End);
            const std::int64_t at = programSize > 0 ? program.Seek(FirstHeaderOffset, platform::SeekOrigin::Begin) : 0;
            std::int64_t written = 0;
            if (programSize <= 0 || at <= 0) {
                result = -3;
            } else if (!output.Open()) {
                result = -1;
            } else if (!CopyInto(program, output.File(), written)) {
                ReportMessage(msg::ConvertZipFailed, msg::ConvertZipFailedText);
                result = -2;
            }
            output.Close();
        }
    }

    const std::int64_t size = output.Size();
    if (result == 0 && (size < 0 || programSize - FirstHeaderOffset != size))
        result = -9;
    if (result == 0 && !output.Commit(false))
        result = -9;
    if (result != 0) {
        output.Discard();
        ReportMessage(msg::ConvertZipFailed, msg::ConvertZipFailedText);
        return result;
    }

    platform::DeleteFile(ZipFilename_);
    ZipFilename_ = outputName;
    ReadEntries();
    return 0;
}

}  // namespace engine
