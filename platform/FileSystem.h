// File-system questions the engine asks: existence, the current folder, the
// program's own path, deletion. POSIX forms throughout: '/' separates,
// '/' alone is the root.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// True when `path` names an existing file that is not a folder (the engine's
// "file exists" question; a folder is not an archive).
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);

bool DeleteFile(const std::string& path);

// True when the effective user may write the existing file `path`, as its
// permissions say (a read-only archive is not to be replaced, although its
// folder would allow a rename over it).
bool MayWrite(const std::string& path);

// The folder a stub may be installed in system-wide, and the second such
// place; fixed install folders of ours, changeable for tests.
std::string SystemFolder();
std::string WindowsFolder();
void SetInstallFoldersForTesting(const std::string& system, const std::string& windows);

// What tells one state of a file from another: which file it is, its size
// and when its data last changed. Equal stamps: the same file, untouched.
struct FileStamp {
    std::uint64_t Device = 0, Inode = 0;
    std::int64_t Size = 0, ModifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::string& path);

// Where the program's own files (the two libraries, the stub) are looked
// for, in this order: the program's folder, the lib/fernpack folder of the
// installation it belongs to (<program folder>/../lib/fernpack), then the
// two fixed install folders. So an installed tree works under /usr, under
// /usr/local and wherever a package is unpacked, with no environment
// variable and no run path. The folders need not exist.
std::vector<std::string> ProgramFileFolders();

// Size of a file in bytes, or -1 when it cannot be found.
std::int64_t FileSize(const std::string& path);

// The absolute path of the running program (argument 0 resolved).
std::string ProgramPath();

// `path` made absolute against the current folder; '.' and '..' are resolved
// textually and repeated '/' folded, without touching the file system.
std::string AbsolutePath(const std::string& path);

}  // namespace platform
