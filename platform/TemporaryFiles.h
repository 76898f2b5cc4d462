// Our temporary files, the one scheme for every writer (the libraries, the
// stub, the engine's conversions): how such a file is named, how it is
// marked as ours, and the sweep that removes what a crashed writer left.
//
// A writer puts its output into a temporary file in the target's folder and
// gives it the target's name only when complete. Where the file system
// allows, that file is unnamed (O_TMPFILE) and nothing is left behind
// whatever happens. Otherwise, and for the moment between linking a finished
// unnamed file and renaming it over an existing target, it carries a hidden
// name ".fernpack-<16 hex digits>.tmp" and its writer holds an exclusive
// flock on it.
//
// A name proves nothing: users may call a file anything. So a temporary file
// is marked before it ever gets its name, with the extended attribute
// user.fernpack.temporary holding that very name, and the sweep deletes a
// file only when everything agrees: the name has our form, it is a regular
// file, it carries the mark with its own name, and nobody holds its lock.
// (A header in the data cannot be the mark: the temporary file holds the
// target's bytes exactly and becomes the target by a rename. The mark names
// the file so that a copy of a leftover under another name is not ours.)
// Where the file system keeps no extended attributes the mark cannot be set;
// such a leftover is never swept, like every file we cannot prove is ours.
//
// Header-only and dependency-free: the stub compiles it with its own flags.
#pragma once

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform::temporaries {

inline constexpr std::string_view Prefix = ".fernpack-";
inline constexpr std::string_view Suffix = ".tmp";
inline constexpr std::size_t RandomDigits = 16;
inline constexpr const char* MarkAttribute = "user.fernpack.temporary";

// True for names of our form: the prefix, 16 lower-case hex digits, the suffix.
inline bool IsTemporaryName(std::string_view name)
{
    if (name.size() != Prefix.size() + RandomDigits + Suffix.size() || name.substr(0, Prefix.size()) != Prefix ||
        name.substr(name.size() - Suffix.size()) != Suffix)
        return false;
    for (char c : name.substr(Prefix.size(), RandomDigits))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

inline std::string NewTemporaryName()
{
    static unsigned counter = 0;
    unsigned long long random = 0;
    if (getrandom(&random, sizeof random, GRND_NONBLOCK) != sizeof random)
        random = (static_cast<unsigned long long>(getpid()) << 32) ^ static_cast<unsigned long long>(time(nullptr));
    random ^= __atomic_fetch_add(&counter, 1u, __ATOMIC_RELAXED);
    char text[64];
    std::snprintf(text, sizeof text, "%.*s%016llx%.*s", int(Prefix.size()), Prefix.data(), random,
                  int(Suffix.size()), Suffix.data());
    return text;
}

// Marks the open file `fd` as our temporary file named `name`. False where
// the file system (or the file's permissions) refuse extended attributes.
inline bool Mark(int fd, std::string_view name)
{
    return fsetxattr(fd, MarkAttribute, name.data(), name.size(), 0) == 0;
}

// Takes the mark off a file that has become its target.
inline void Unmark(int fd) { fremovexattr(fd, MarkAttribute); }

// True when `fd` carries the mark with exactly `name`.
inline bool CarriesMark(int fd, std::string_view name)
{
    char value[Prefix.size() + RandomDigits + Suffix.size() + 1];
    const ssize_t n = fgetxattr(fd, MarkAttribute, value, sizeof value);
    return n >= 0 && std::string_view(value, std::size_t(n)) == name;
}

// Creates a new, locked and marked temporary file with a name of our form in
// the folder `dirFd`; `name` receives the name. -1 with errno on failure.
inline int CreateNamed(int dirFd, mode_t mode, std::string* name)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string candidate = NewTemporaryName();
        const int fd = openat(dirFd, candidate.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0) {
            // Locked before it is marked: a sweep never sees an unlocked mark.
            flock(fd, LOCK_EX);
            Mark(fd, candidate);
            *name = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// Gives the unnamed file `fd` the name `name` in the folder `dirFd`. False
// with errno (EEXIST when the name is taken).
inline bool LinkUnnamed(int fd, int dirFd, const std::string& name)
{
    // 0 untried, 1 linking by descriptor works, 2 only the /proc route does.
    static int route = 0;
    const int known = __atomic_load_n(&route, __ATOMIC_RELAXED);
    if (known != 2) {
        if (linkat(fd, "", dirFd, name.c_str(), AT_EMPTY_PATH) == 0) {
            __atomic_store_n(&route, 1, __ATOMIC_RELAXED);
            return true;
        }
        // Without the right to link by descriptor the kernel says ENOENT;
        // the route through /proc needs no such right.
        if ((errno != ENOENT && errno != EPERM) || known == 1)
            return false;
        __atomic_store_n(&route, 2, __ATOMIC_RELAXED);
    }
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    return linkat(AT_FDCWD, path, dirFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// Gives the unnamed file `fd` a new temporary name, locked and marked first
// so no sweep takes it for a leftover. False with errno on failure.
inline bool NameUnnamed(int fd, int dirFd, std::string* name)
{
    flock(fd, LOCK_EX);
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string candidate = NewTemporaryName();
        Mark(fd, candidate);
        if (LinkUnnamed(fd, dirFd, candidate)) {
            *name = std::move(candidate);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Removes the temporary files in the folder `dirFd` that are provably ours
// and that no running process holds. Returns the number removed.
inline int RemoveStale(int dirFd)
{
    // A fresh descriptor of its own, so the listing starts at the beginning.
    const int listFd = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return 0;
    DIR* dir = fdopendir(listFd);
    if (!dir) {
        close(listFd);
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        if (!IsTemporaryName(entry->d_name))
            continue;
        const int fd = openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat held, named;
        // The name must still lead to the file we locked when it goes.
        if (fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && CarriesMark(fd, entry->d_name) &&
            flock(fd, LOCK_EX | LOCK_NB) == 0 && fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino && unlinkat(dirFd, entry->d_name, 0) == 0)
            ++removed;
        close(fd);
    }
    closedir(dir);
    return removed;
}

}  // namespace platform::temporaries
