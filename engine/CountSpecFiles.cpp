// Counting what an add will take, before it starts: bytes and progress
// steps of every file the patterns select, walking the file system
// the way the compression library will.
#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

#include "abi/ProgressSteps.h"
#include "zipformat/Wildcards.h"
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

// The entries a mask can match in a folder. A mask without wildcards names
// one entry, which is looked up directly; any other mask reads the folder's
// listing, made once per count however many patterns point into the
// folder. So naming thousands of files in one big folder stays linear.
class Folders {
public:
    template <typename Visit>
    void ForEachMatch(const std::string& folder, const std::string& mask, Visit visit)
    {
        if (!fernpack::HasWildcards(mask)) {
            if (const auto e = platform::LookUpEntry(folder, mask))
                visit(*e);
            return;
        }
        auto listed = listings_.find(folder);
        if (listed == listings_.end())
            listed = listings_.emplace(folder, platform::ListDirectory(folder)).first;
        for (const auto& e : listed->second)
            if (MatchesMask(e.Name, mask))
                visit(e);
    }

private:
    std::unordered_map<std::string, std::vector<platform::DirectoryEntry>> listings_;
};

struct Counter {
    Folders& Seen;
    const std::string& Mask;
    bool WithHidden;
    const std::string& ArchivePath;
    std::int64_t Bytes = 0;
    std::int64_t Steps = 0;

    void CountFiles(const std::string& folder)
    {
        Seen.ForEachMatch(folder, Mask, [&](const platform::DirectoryEntry& e) {
            if (e.Kind != platform::EntryKind::File || (e.Hidden && !WithHidden))
                return;
            if (folder + "/" + e.Name == ArchivePath)
                return;  // the archive being added to is never counted
            Bytes += e.Size;
            Steps += fernpack::ProgressSteps<std::int64_t>(e.Size);
        });
    }
};

// What one pattern selects: bytes and progress steps, 64 bits wide.
struct SpecCount {
    std::int64_t Bytes = 0;
    std::int64_t Steps = 0;
};

// The interface's signed 32-bit counts: a larger total is given as the
// largest such number rather than wrapping to a negative one.
std::int32_t Saturated32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

SpecCount CountOneSpec(Folders& folders, const std::string& fileSpec, bool withHidden, const std::string& archiveName,
                       bool recurse)
{
    const std::string mask = ExtractFileName(fileSpec);
    // An empty pattern (or one that ends in '/') names no file at all.
    if (mask.empty())
        return {};
    const std::string archivePath = StartFolder(archiveName) + "/" + ExtractFileName(archiveName);
    Counter counter{folders, mask, withHidden, archivePath};
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
            folders.ForEachMatch(folder, mask, [&](const platform::DirectoryEntry& e) {
                if (e.Kind == platform::EntryKind::Directory && !e.IsSymlink)
                    pending.push_back(folder + "/" + e.Name);
            });
            counter.CountFiles(folder);
        }
    }
    return SpecCount{counter.Bytes, counter.Steps};
}

}  // namespace

std::int32_t TRezEdidiv::CountSpecFiles(const std::string& fileSpec, int attributes, std::int32_t& steps,
                                        const std::string& archiveName, bool recurse)
{
    Folders folders;
    const SpecCount count = CountOneSpec(folders, fileSpec, (attributes & 2) != 0, archiveName, recurse);
    steps = Saturated32(count.Steps);
    return Saturated32(count.Bytes);
}

std::int32_t TRezEdidiv::CountAddFiles(std::int32_t& steps)
{
    std::int64_t steps64 = 0;
    const std::int64_t total = CountAddFiles64(steps64);
    steps = Saturated32(steps64);
    return Saturated32(total);
}

std::int64_t TRezEdidiv::CountAddFiles64(std::int64_t& steps)
{
    steps = 0;
    std::int64_t total = 0;
    const bool withHidden = AddOptions.Contains(AddOptsEnum::AddHiddenFiles);
    const bool recurse = AddOptions.Contains(AddOptsEnum::AddRecurseDirs);
    Folders folders;  // one listing per folder for the whole count
    for (const auto& fileSpec : FSpecArgs_) {
        const SpecCount count = CountOneSpec(folders, fileSpec, withHidden, ZipFilename_, recurse);
        total += count.Bytes;
        steps += count.Steps;
    }
    return total;
}

}  // namespace engine
