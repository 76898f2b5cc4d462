#include "FileSystem.h"

#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

bool FileExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool MayWrite(const std::string& path)
{
    return !path.empty() && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

bool DirectoryExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string GetCurrentDir()
{
    std::vector<char> buffer(PATH_MAX + 1);
    if (::getcwd(buffer.data(), buffer.size()) == nullptr)
        return std::string();
    return std::string(buffer.data());
}

bool SetCurrentDir(const std::string& path) { return ::chdir(path.c_str()) == 0; }

bool DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

namespace {
std::string systemFolder = "/usr/local/lib/fernpack";
std::string windowsFolder = "/usr/lib/fernpack";
}  // namespace

std::string SystemFolder() { return systemFolder; }
std::string WindowsFolder() { return windowsFolder; }

void SetInstallFoldersForTesting(const std::string& system, const std::string& windows)
{
    systemFolder = system;
    windowsFolder = windows;
}

std::optional<FileStamp> StampOf(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     static_cast<std::int64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::vector<std::string> ProgramFileFolders()
{
    std::vector<std::string> folders;
    const std::string program = ProgramPath();
    const std::size_t slash = program.rfind('/');
    if (slash != std::string::npos) {
        // "/usr/bin/fernpack": "/usr/bin", then "/usr" + "/lib/fernpack".
        const std::string own = program.substr(0, slash);
        const std::size_t up = own.rfind('/');
        folders.push_back(own.empty() ? "/" : own);
        folders.push_back((up == std::string::npos ? std::string() : own.substr(0, up)) + "/lib/fernpack");
    }
    folders.push_back(systemFolder);
    folders.push_back(windowsFolder);
    return folders;
}

std::int64_t FileSize(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::string ProgramPath()
{
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return std::string();
    return std::string(buffer.data(), static_cast<size_t>(n));
}

std::string AbsolutePath(const std::string& path)
{
    std::string full = (!path.empty() && path[0] == '/') ? path : GetCurrentDir() + "/" + path;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t slash = full.find('/', start);
        if (slash == std::string::npos)
            slash = full.size();
        std::string part = full.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string result;
    for (const auto& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

}  // namespace platform
