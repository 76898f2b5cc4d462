#include "SourceWalk.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "zipformat/Wildcards.h"
#include "libs/zipcore/TempFile.h"

namespace zipwriter {

namespace {

using fernpack::MatchesMask;

std::string CurrentDir()
{
    std::string buffer(4096, '\0');
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return ".";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.c_str();
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    return dir == "/" ? "/" + name : dir + "/" + name;
}

// The walk's start folder for a directory part as written.
std::string StartDir(const std::string& dirPart)
{
    return dirPart.empty() ? CurrentDir() : dirPart;
}

class Walker {
public:
    Walker(const WalkOptions& options, const std::string& mask, FolderListings& listings)
        : options_(options), mask_(mask), listings_(listings)
    {
        std::string archiveDir, archiveName;
        SplitSpec(options.archivePath, &archiveDir, &archiveName);
        archiveText_ = JoinPath(StartDir(archiveDir), archiveName);
        struct stat st;
        if (!options.archivePath.empty() && stat(options.archivePath.c_str(), &st) == 0) {
            haveArchiveId_ = true;
            archiveDevice_ = st.st_dev;
            archiveInode_ = st.st_ino;
        }
    }

    // Returns the number of members this folder and its subfolders gave.
    std::size_t Walk(const std::string& dir, const std::string& namePrefix, WalkResult& out)
    {
        FolderListing single;
        const FolderListing* listed = &single;
        if (!fernpack::HasWildcards(mask_)) {
            if (!LookUp(dir, &single)) {
                out.problems.push_back(dir + ": " + std::strerror(errno));
                return 0;
            }
        } else if ((listed = listings_.Get(dir)) == nullptr) {
            out.problems.push_back(dir + ": " + std::strerror(errno));
            return 0;
        }
        const std::vector<std::string>& names = listed->names;
        std::size_t produced = 0;
        if (options_.recurse) {
            for (std::size_t i = 0; i < names.size(); ++i) {
                const std::string& name = names[i];
                const unsigned char type = listed->types[i];
                if ((type != DT_DIR && type != DT_UNKNOWN) || !MatchesMask(name, mask_))
                    continue;
                std::string path = JoinPath(dir, name);
                struct stat st;
                if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                    continue;  // links to folders are not followed
                std::string prefix = namePrefix.empty() ? name : JoinPath(namePrefix, name);
                std::size_t below = Walk(path, prefix, out);
                if (below == 0 && options_.emptyFolders) {
                    SourceFile folder;
                    folder.path = path;
                    folder.namePath = prefix + "/";
                    folder.mtime = st.st_mtime;
                    folder.mode = st.st_mode;
                    folder.device = st.st_dev;
                    folder.inode = st.st_ino;
                    folder.isDirectory = true;
                    out.files.push_back(std::move(folder));
                    below = 1;
                }
                produced += below;
            }
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string& name = names[i];
            if (listed->types[i] == DT_DIR || !MatchesMask(name, mask_))
                continue;
            if (name[0] == '.' && !options_.hidden)
                continue;
            if (zipcore::IsTemporaryName(name))
                continue;
            std::string path = JoinPath(dir, name);
            struct stat st;
            // A link to a file counts as that file; anything that is not a
            // plain file in the end (folders, devices, dangling links) is not.
            if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
            if (path == archiveText_ ||
                (haveArchiveId_ && st.st_dev == archiveDevice_ && st.st_ino == archiveInode_))
                continue;
            SourceFile file;
            file.path = path;
            file.namePath = namePrefix.empty() ? name : JoinPath(namePrefix, name);
            file.size = std::uint64_t(st.st_size);
            file.mtime = st.st_mtime;
            file.mode = st.st_mode;
            file.device = st.st_dev;
            file.inode = st.st_ino;
            out.files.push_back(std::move(file));
            ++produced;
        }
        return produced;
    }

private:
    // The one entry the mask names, if it is there. False with errno when
    // the folder itself cannot be reached, as a listing of it would fail.
    bool LookUp(const std::string& dir, FolderListing* found) const
    {
        struct stat st;
        if (mask_ != "." && mask_ != ".." && lstat(JoinPath(dir, mask_).c_str(), &st) == 0) {
            found->names.push_back(mask_);
            found->types.push_back(DT_UNKNOWN);
            return true;
        }
        const int error = errno;
        if (stat(dir.c_str(), &st) != 0)
            return false;
        if (!S_ISDIR(st.st_mode)) {
            errno = ENOTDIR;
            return false;
        }
        errno = error;
        return true;
    }

    const WalkOptions& options_;
    std::string mask_;
    FolderListings& listings_;
    std::string archiveText_;
    bool haveArchiveId_ = false;
    dev_t archiveDevice_ = 0;
    ino_t archiveInode_ = 0;
};

}  // namespace

const FolderListing* FolderListings::Get(const std::string& dir)
{
    auto found = listings_.find(dir);
    if (found == listings_.end()) {
        Listing listing;
        if (!fernpack::zip::ListFolder(dir, &listing.folder))
            listing.error = errno;
        found = listings_.emplace(dir, std::move(listing)).first;
    }
    if (found->second.error != 0) {
        errno = found->second.error;
        return nullptr;
    }
    return &found->second.folder;
}

void SplitSpec(const std::string& fileSpec, std::string* dir, std::string* mask)
{
    std::size_t slash = fileSpec.rfind('/');
    if (slash == std::string::npos) {
        dir->clear();
        *mask = fileSpec;
        return;
    }
    *dir = slash == 0 ? "/" : fileSpec.substr(0, slash);
    *mask = fileSpec.substr(slash + 1);
}

WalkResult SelectFiles(const std::string& fileSpec, const WalkOptions& options, FolderListings* listings)
{
    WalkResult result;
    std::string dirPart, mask;
    SplitSpec(fileSpec, &dirPart, &mask);
    // An empty pattern (or one that ends in '/') names no file at all.
    if (mask.empty())
        return result;
    FolderListings own;
    Walker walker(options, mask, listings != nullptr ? *listings : own);
    // Stored names keep the directory part as written ("docs/a.txt" for
    // "docs/*.txt"); the listing itself starts in the current folder when
    // the part is empty.
    walker.Walk(StartDir(dirPart), dirPart, result);
    return result;
}

}  // namespace zipwriter
