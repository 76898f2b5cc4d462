// Choosing the files one add pattern takes, by the same rules as the
// engine's file count before an add, so the progress it predicts is the
// progress the add makes:
// - the pattern's directory part (up to its last '/', the current
//   directory when empty) is where the walk starts; its last part is a mask
//   ('*', '?'; "*" and "*.*" match every name);
// - files are regular files or symbolic links to regular files (judged by
//   the target); names starting with '.' are hidden and taken only when
//   asked; anything else (devices, sockets, dangling links) is never taken;
// - with recursion, subfolders whose names match the mask are entered, depth
//   first, a folder's own files after those of its subfolders; symbolic
//   links to folders are not followed;
// - the archive being written (by its path text, and by its identity on
//   disk) and the writer's own temporary files are never taken.
// Names are visited in byte order, so archives come out the same each time.
// A mask without wildcards names one entry, which is looked up directly;
// a folder is listed at most once for all the patterns of one add (pass
// the same FolderListings), so naming many files in one folder stays linear.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <sys/types.h>
#include <unordered_map>
#include <vector>

#include "zipformat/FolderNames.h"

namespace zipwriter {

struct SourceFile {
    std::string path;      // where to read it
    std::string namePath;  // the path the stored name is made from
    std::uint64_t size = 0;
    std::time_t mtime = 0;
    mode_t mode = 0;
    dev_t device = 0;
    ino_t inode = 0;
    bool isDirectory = false;  // an empty folder reached by the recursion
    bool standardInput = false;  // the add's standard input, read to its end (no walk finds it)
};

struct WalkOptions {
    bool hidden = false;
    bool recurse = false;
    bool emptyFolders = false;  // record empty subfolders (recursion with folder names)
    std::string archivePath;
};

struct WalkResult {
    std::vector<SourceFile> files;
    std::vector<std::string> problems;  // folders that could not be read
};

// What one folder holds, as the walk takes it (zipformat/FolderNames.h).
using FolderListing = fernpack::zip::FolderNames;

// The listings of the folders one add has read so far.
class FolderListings {
public:
    // The listing of `dir`, or nullptr with errno set when it cannot be
    // read.
    const FolderListing* Get(const std::string& dir);

private:
    struct Listing {
        int error = 0;
        FolderListing folder;
    };
    std::unordered_map<std::string, Listing> listings_;
};

// `listings` may be shared by the patterns of one add; without it the
// pattern's folders are listed for this call alone.
WalkResult SelectFiles(const std::string& fileSpec, const WalkOptions& options, FolderListings* listings = nullptr);

// The directory part and the mask of a pattern.
void SplitSpec(const std::string& fileSpec, std::string* dir, std::string* mask);

}  // namespace zipwriter
