// Turning an archive into a self-extracting program (stub, settings header,
// archive) and back. The archive's bytes are copied unchanged either way.
//
// Output goes to a temporary file in the target's folder and takes the
// final name only once its size has been checked against the inputs' real
// sizes, so a failed conversion (a read or write error, an input that
// changed under the copy) never destroys the input or a file that already
// had the output's name.
#include <cstring>
#include <vector>

#include "engine/Messages.h"
#include "engine/PathText.h"
#include "engine/SfxHeader.h"
#include "engine/SfxStub.h"
#include "engine/ZipMstr.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementFile.h"
#include "platform/UiServices.h"

namespace engine {

namespace {

constexpr std::int64_t CopyBlock = 8192;
constexpr const char* StubName = "ZIPSFX.BIN";

enum class Copy { Done, ReadFailed, WriteFailed };

// Copies the rest of `in` into `out` block by block, letting the user
// interface breathe after each block. A read error is a failure, never the
// end of the input. Whole blocks of zeros are skipped over rather than
// written, so a sparse archive (a disk image stored as it is, say) stays
// sparse and costs no disk writes for its holes.
Copy CopyInto(platform::FileStream& in, platform::FileStream& out, std::int64_t& written)
{
    std::vector<char> buffer(CopyBlock);
    std::int64_t hole = 0;
    for (;;) {
        const std::int64_t n = in.Read(buffer.data(), CopyBlock);
        if (n < 0)
            return Copy::ReadFailed;
        if (n == CopyBlock && buffer[0] == 0 && std::memcmp(buffer.data(), buffer.data() + 1, CopyBlock - 1) == 0) {
            hole += n;
        } else if (n > 0) {
            if (hole > 0 && out.Seek(hole, platform::SeekOrigin::Current) < 0)
                return Copy::WriteFailed;
            hole = 0;
            if (out.Write(buffer.data(), n) != n)
                return Copy::WriteFailed;
        }
        written += n;
        platform::Ui().ProcessMessages();
        if (n < CopyBlock)
            break;
    }
    if (hole == 0)
        return Copy::Done;
    // The file ends in a hole: it still counts for its size.
    const std::int64_t end = out.Seek(hole, platform::SeekOrigin::Current);
    return end >= 0 && out.SetSize(end) ? Copy::Done : Copy::WriteFailed;
}

// The result code of a copy: an input that cannot be read counts like one
// that cannot be opened.
std::int32_t CopyResult(Copy copy) { return copy == Copy::Done ? 0 : copy == Copy::ReadFailed ? -3 : -2; }

// Where the stub is looked for after SFXPath: beside the program, in the
// library folder of an installation the program belongs to, then in the
// two fixed install folders. Never the current folder, which an
// extraction may have left in a folder of an archive's choosing.
std::vector<std::string> StubCandidates()
{
    std::vector<std::string> candidates;
    for (const std::string& folder : platform::ProgramFileFolders())
        candidates.push_back(folder + "/" + StubName);
    return candidates;
}

}  // namespace

std::int32_t TRezEdidiv::ConvertSFX()
{
    std::int32_t result = 0;
    if (!platform::FileExists(ZipFilename_) && !CreatingEmptySfx) {
        ReportMessage(msg::NoZipFile, msg::NoZipFileSpecified);
        return -3;
    }
    if (!CreatingEmptySfx && !platform::MayWrite(ZipFilename_)) {
        ReportMessage(msg::ReadOnlyFile, msg::ReadOnlyFileText + ZipFilename_);
        return -3;
    }
    const std::size_t total = SFXCaption.size() + SFXDefaultDir.size() + SFXCommandLine.size();
    if (total > SFXH_TEXTS_CAPACITY) {
        ReportMessage(msg::SfxTextsTooLong,
                      std::string(msg::SfxTextsTooLongText) + "\r\n" + msg::SfxTextsTotalText + std::to_string(total));
        return -3;
    }

    // The stub: each candidate is kept in SFXPath before it is tried.
    bool found = platform::FileExists(SFXPath);
    if (!found) {
        for (const auto& candidate : StubCandidates()) {
            SFXPath = candidate;
            if (platform::FileExists(SFXPath)) {
                found = true;
                break;
            }
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
    if (const StubProblem problem = CheckStub(SFXPath); problem != StubProblem::None) {
        ReportMessage(msg::UnusableStub, msg::UnusableStubText + SFXPath + ": " + StubProblemText(problem));
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

    platform::ReplacementFile output(outputName);
    std::int64_t stubSize = -1, stubBytes = 0;
    {
        platform::FileStream stub;
        if (!stub.Open(SFXPath, platform::OpenMode::ReadDenyWrite) || stub.Seek(0, platform::SeekOrigin::Begin) != 0)
            result = -3;
        else if (!output.Open())
            result = -1;
        if (result == 0) {
            stubSize = stub.Size();
            result = CopyResult(CopyInto(stub, output.File(), stubBytes));
        }
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
        if (stubBytes != stubSize)
            result = -9;  // the stub changed under the copy
        else if (output.File().Write(end.data(), end.size()) != static_cast<std::int64_t>(end.size()) ||
                 !output.Commit(true))
            result = -2;
        if (result != 0) {
            output.Discard();
            ReportMessage(msg::ConvertSfxFailed, msg::ConvertSfxFailedText);
        }
        return result;
    }

    std::int64_t archiveSize = -1, archiveBytes = 0;
    {
        platform::FileStream archive;
        if (!archive.Open(ZipFilename_, platform::OpenMode::ReadDenyWrite) ||
            archive.Seek(0, platform::SeekOrigin::Begin) != 0)
            result = -3;
        if (result == 0) {
            archiveSize = archive.Size();
            result = CopyResult(CopyInto(archive, output.File(), archiveBytes));
        }
    }

    // The output must hold every byte of both inputs as they were on disk
    // when the copy began, not merely every byte the copy happened to get.
    const std::int64_t size = output.Size();
    if (result == 0 &&
        (size < 0 || stubBytes != stubSize || archiveBytes != archiveSize || stubSize + archiveSize + SFXH_SIZE != size))
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
    if (!platform::MayWrite(ZipFilename_)) {
        ReportMessage(msg::ReadOnlyFile, msg::ReadOnlyFileText + ZipFilename_);
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

    platform::ReplacementFile output(outputName);
    std::int64_t programSize = 0, written = 0;
    {
        platform::FileStream program;
        if (!program.Open(ZipFilename_, platform::OpenMode::ReadDenyWrite)) {
            result = -3;
        } else {
            programSize = program.Seek(0, platform::SeekOrigin::End);
            const std::int64_t at = programSize > 0 ? program.Seek(FirstHeaderOffset, platform::SeekOrigin::Begin) : 0;
            if (programSize <= 0 || at <= 0) {
                result = -3;
            } else if (!output.Open()) {
                result = -1;
            } else {
                const Copy copy = CopyInto(program, output.File(), written);
                if (copy == Copy::WriteFailed)
                    ReportMessage(msg::ConvertZipFailed, msg::ConvertZipFailedText);
                result = CopyResult(copy);
            }
        }
    }

    const std::int64_t size = output.Size();
    if (result == 0 && (size < 0 || written != size || programSize - FirstHeaderOffset != size))
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
