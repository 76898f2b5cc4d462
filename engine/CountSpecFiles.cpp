// Counting what an add will take, before it starts: bytes and progress
// steps of every file the patterns select, walking the file system
// the way the compression library will.
#include <vector>

#include "abi/ProgressSteps.h"
#include "abi/Wildcards.h"
#include "engine/PathText.h"
#include "engine/ZipMstr.h"
#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h"

namespace engine {

namespace {

using fernpack::MatchesMask;

// The folder part of a path as the walk uses it: "" stands for the root
// (so D + "/" + name reads "/name"), no '/' at all for the current folder.
std::string StartFolder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return platform::GetCurrentDir();
    return path.substr(0, slash);
}

struct Counter {
    const std::string& Mask;
    bool WithHidden;
    const std::string& ArchivePath;
    std::int64_t Bytes = 0;
    std::int64_t Steps = 0;

    void CountFiles(const std::string& folder)
    {
        for (const auto& e : platform::ListDirectory(folder)) {
            if (e.Kind != platform::EntryKind::File || (e.Hidden && !WithHidden) || !MatchesMask(e.Name, Mask))
                continue;
            if (folder + "/" + e.Name == ArchivePath)
                continue;  // the archive being added to is never counted
            Bytes += e.Size;
            Steps += fernpack::ProgressSteps<std::int64_t>(e.Size);
        }
    }
};

}  // namespace

std::int32_t TRezEdidiv::CountSpecFiles(const std::string& fileSpec, int attributes, std::int32_t& steps,
                                        const std::string& archiveName, bool recurse)
{
    steps = 0;
    const std::string archivePath = StartFolder(archiveName) + "/" + ExtractFileName(archiveName);
    Counter counter{ExtractFileName(fileSpec), (attributes & 2) != 0, archivePath};
    const std::string start = StartFolder(fileSpec);

    if (!recurse) {
        counter.CountFiles(start);
    } else {
        // Depth first; subfolders are entered when their names match the
        // mask (hidden ones too), links to folders are not followed, and the
        // stack grows as deep as the tree goes.
        std::vector<std::string> pending{start};
        while (!pending.empty()) {
            const std::string folder = pending.back();
            pending.pop_back();
            for (const auto& e : platform::ListDirectory(folder)) {
                if (e.Kind == platform::EntryKind::Directory && !e.IsSymlink && MatchesMask(e.Name, counter.Mask))
                    pending.push_back(folder + "/" + e.Name);
            }
            counter.CountFiles(folder);
        }
    }
    steps = static_cast<std::int32_t>(std::min<std::int64_t>(counter.Steps, INT32_MAX));
    return static_cast<std::int32_t>(counter.Bytes);
}

std::int32_t TRezEdidiv::CountAddFiles(std::int32_t& steps)
{
    steps = 0;
    std::int32_t total = 0;
    const int attributes = AddOptions.Contains(AddOptsEnum::AddHiddenFiles) ? FileAttributesWithHidden : FileAttributes;
    const bool recurse = AddOptions.Contains(AddOptsEnum::AddRecurseDirs);
    for (const auto& fileSpec : FSpecArgs_) {
        std::int32_t n = 0;
        total = static_cast<std::int32_t>(static_cast<std::uint32_t>(total) +
                                          static_cast<std::uint32_t>(CountSpecFiles(fileSpec, attributes, n, ZipFilename_, recurse)));
        steps += n;
    }
    return total;
}

}  // namespace engine
