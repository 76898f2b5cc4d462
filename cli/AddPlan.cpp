#include "cli/AddPlan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unordered_map>

#include "zipformat/FolderNames.h"
#include "zipformat/StoredName.h"
#include "zipformat/Wildcards.h"

namespace cli {

namespace {

std::string Join(const std::string& dir, const std::string& name) { return dir == "/" ? "/" + name : dir + "/" + name; }

std::string LastPart(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

bool Hidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

// The folder's names in byte order, as the component's walk takes them.
bool List(const std::string& dir, std::vector<std::string>* names)
{
    fernpack::zip::FolderNames listed;
    if (!fernpack::zip::ListFolder(dir, &listed))
        return false;
    *names = std::move(listed.names);
    return true;
}

struct File {
    std::string Path;
    std::string Name;  // stored name
    std::uint64_t Size = 0;
    bool Ambiguous = false;  // its name, as a mask, takes other names too
};

struct Folder {
    std::string Path;
    bool Clean = true;  // the component's walk would take exactly Files and Subs
    std::vector<File> Files;
    std::vector<Folder> Subs;
};

// A path named on the command line, after wildcards.
struct Named {
    std::string Path;
    bool Exists = false;
    int Error = ENOENT;  // why it does not
    struct stat Stat {};
};

class Planner {
public:
    explicit Planner(const AddRequest& request) : r_(request), keepDirs_(!request.JunkPaths)
    {
        struct stat st;
        haveArchive_ = ::stat(request.ArchivePath.c_str(), &st) == 0;
        archiveDevice_ = st.st_dev;
        archiveInode_ = st.st_ino;
    }

    AddPlan Plan()
    {
        std::vector<std::vector<Named>> expanded;
        for (const auto& path : r_.Paths) {
            expanded.push_back(path == "-" ? std::vector<Named>{} : Expand(path));
            for (const Named& n : expanded.back())
                if (n.Exists && S_ISREG(n.Stat.st_mode) && Hidden(LastPart(n.Path)))
                    hiddenFiles_ = true;
        }
        hiddenFiles_ = hiddenFiles_ || r_.Hidden;
        plan_.HiddenFiles = hiddenFiles_;
        for (std::size_t i = 0; i < r_.Paths.size(); ++i) {
            const std::string& path = r_.Paths[i];
            if (path == "-") {
                plan_.StdinStoredName = fernpack::zip::StoredName(r_.StdinName, keepDirs_);
                plan_.Stdin = Take(plan_.StdinStoredName, "standard input");
                NoteDropped(r_.StdinName);
                continue;
            }
            NoteDropped(path);
            if (expanded[i].empty())
                plan_.Errors.push_back({path, "nothing matches it"});
            for (const Named& n : expanded[i])
                Handle(n);
        }
        return std::move(plan_);
    }

private:
    std::vector<Named> Expand(const std::string& typed)
    {
        std::string path = typed;
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        Named n;
        n.Path = path;
        n.Exists = ::stat(path.c_str(), &n.Stat) == 0;
        n.Error = n.Exists ? 0 : errno;
        const std::string mask = LastPart(path);
        if (n.Exists || !HasWildcard(mask))
            return {n};
        const std::size_t slash = path.rfind('/');
        const std::string dir = slash == std::string::npos ? "" : slash == 0 ? "/" : path.substr(0, slash);
        std::vector<std::string> names;
        std::vector<Named> found;
        if (!List(dir.empty() ? "." : dir, &names)) {
            n.Error = errno;
            return {n};
        }
        for (const auto& name : names) {
            if (!fernpack::MatchesMask(name, mask) || (Hidden(name) && !r_.Hidden && !Hidden(mask)))
                continue;
            Named match;
            match.Path = dir.empty() ? name : Join(dir, name);
            match.Exists = ::stat(match.Path.c_str(), &match.Stat) == 0;
            match.Error = match.Exists ? 0 : errno;
            found.push_back(match);
        }
        return found;
    }

    void NoteDropped(const std::string& path)
    {
        if (!keepDirs_)
            return;
        bool dropped = !path.empty() && path[0] == '/';
        for (std::size_t pos = 0; pos <= path.size() && !dropped;) {
            std::size_t slash = path.find('/', pos);
            if (slash == std::string::npos)
                slash = path.size();
            dropped = path.compare(pos, slash - pos, "..") == 0 && slash - pos == 2;
            pos = slash + 1;
        }
        plan_.DroppedPrefix = plan_.DroppedPrefix || dropped;
    }

    bool IsArchive(const struct stat& st) const
    {
        return haveArchive_ && st.st_dev == archiveDevice_ && st.st_ino == archiveInode_;
    }

    // Reserves `name` for the file at `path`; false when an earlier file
    // has it (noted as a collision unless it is this very file again).
    bool Take(const std::string& name, const std::string& path, const struct stat* st = nullptr)
    {
        Owner owner{path, st ? st->st_dev : 0, st ? st->st_ino : 0, st != nullptr};
        auto [it, inserted] = taken_.emplace(name, owner);
        const Owner& first = it->second;
        if (!inserted && !(st && first.Known && first.Device == st->st_dev && first.Inode == st->st_ino))
            plan_.Collisions.push_back({path, "not added: " + first.Path + " is stored as " + name + " already"});
        return inserted;
    }

    void Handle(const Named& n)
    {
        if (!n.Exists) {
            plan_.Errors.push_back({n.Path, std::strerror(n.Error)});
            return;
        }
        if (S_ISDIR(n.Stat.st_mode)) {
            bool readable = true;
            Folder folder = Walk(n.Path, &readable);
            if (readable)
                Emit(folder, true);
            return;
        }
        if (!S_ISREG(n.Stat.st_mode)) {
            plan_.Errors.push_back({n.Path, "not a file or folder"});
            return;
        }
        if (IsArchive(n.Stat)) {
            plan_.Errors.push_back({n.Path, "the archive cannot hold itself"});
            return;
        }
        File file{n.Path, fernpack::zip::StoredName(n.Path, keepDirs_), static_cast<std::uint64_t>(n.Stat.st_size), false};
        if (HasWildcard(LastPart(n.Path))) {
            const std::size_t slash = n.Path.rfind('/');
            std::vector<std::string> names;
            List(slash == std::string::npos ? "." : slash == 0 ? "/" : n.Path.substr(0, slash), &names);
            file.Ambiguous = Ambiguous(LastPart(n.Path), names);
        }
        if (Take(file.Name, file.Path, &n.Stat))
            EmitFile(file);
    }

    static bool Ambiguous(const std::string& name, const std::vector<std::string>& names)
    {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& other) { return other != name && fernpack::MatchesMask(other, name); });
    }

    Folder Walk(const std::string& path, bool* readable)
    {
        Folder folder;
        folder.Path = path;
        fernpack::zip::FolderNames listed;
        if (!fernpack::zip::ListFolder(path, &listed)) {
            plan_.Errors.push_back({path, std::strerror(errno)});
            *readable = false;
            return folder;
        }
        const std::vector<std::string>& names = listed.names;
        const std::vector<unsigned char>& types = listed.types;
        if (r_.Recurse) {
            for (std::size_t i = 0; i < names.size(); ++i) {
                const std::string& name = names[i];
                if (types[i] != DT_DIR && types[i] != DT_UNKNOWN)
                    continue;
                const std::string sub = Join(path, name);
                struct stat st;
                if (::lstat(sub.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                    continue;  // links to folders are not followed
                if (Hidden(name) && !r_.Hidden) {
                    folder.Clean = false;
                    continue;
                }
                bool subReadable = true;
                Folder child = Walk(sub, &subReadable);
                if (!subReadable) {
                    folder.Clean = false;
                    continue;
                }
                folder.Clean = folder.Clean && child.Clean;
                folder.Subs.push_back(std::move(child));
            }
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string& name = names[i];
            if (types[i] == DT_DIR)
                continue;
            const std::string filePath = Join(path, name);
            struct stat st;
            if (::stat(filePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || IsArchive(st))
                continue;
            if (Hidden(name) && !r_.Hidden) {
                // Left out here; the component takes such files only when
                // a dot-file named by itself asks for them.
                folder.Clean = folder.Clean && !hiddenFiles_;
                continue;
            }
            File file{filePath, fernpack::zip::StoredName(filePath, keepDirs_), static_cast<std::uint64_t>(st.st_size), false};
            if (!Take(file.Name, file.Path, &st)) {
                folder.Clean = false;
                continue;
            }
            file.Ambiguous = HasWildcard(name) && Ambiguous(name, names);
            folder.Files.push_back(std::move(file));
        }
        return folder;
    }

    static std::uint64_t FilesBelow(const Folder& folder)
    {
        std::uint64_t n = folder.Files.size();
        for (const auto& sub : folder.Subs)
            n += FilesBelow(sub);
        return n;
    }

    void CountBelow(const Folder& folder)
    {
        for (const auto& sub : folder.Subs)
            CountBelow(sub);
        for (const auto& file : folder.Files) {
            ++plan_.Files;
            plan_.Bytes += file.Size;
            plan_.StoredNames.push_back(file.Name);
        }
    }

    void EmitFile(const File& file)
    {
        if (file.Ambiguous) {
            plan_.Errors.push_back({file.Path, "a name with '*' or '?' can only be added with its folder"});
            return;
        }
        plan_.Specs.push_back(file.Path);
        ++plan_.Files;
        plan_.Bytes += file.Size;
        plan_.StoredNames.push_back(file.Name);
    }

    void Emit(const Folder& folder, bool named)
    {
        if (!folder.Clean) {
            for (const auto& sub : folder.Subs)
                Emit(sub, false);
            for (const auto& file : folder.Files)
                EmitFile(file);
            return;
        }
        // "folder/*" takes everything inside (the component applies a mask
        // at every level, so only "*" reaches every file below).
        const bool recordsFolders = r_.Recurse && keepDirs_;
        const std::string last = LastPart(folder.Path);
        if (recordsFolders && folder.Files.empty() && folder.Subs.empty() && last != "." && last != ".." &&
            folder.Path != "/" && !HasWildcard(last)) {
            // An empty folder, by its own name as the mask: the component
            // records it as a folder.
            plan_.Specs.push_back(folder.Path);
            return;
        }
        if (FilesBelow(folder) == 0 && !(recordsFolders && !folder.Subs.empty())) {
            if (named)
                plan_.Errors.push_back({folder.Path, r_.Recurse ? "the folder holds no files"
                                                                : "the folder holds no files of its own"});
            return;
        }
        plan_.Specs.push_back(Join(folder.Path, "*"));
        CountBelow(folder);
    }

    const AddRequest& r_;
    bool keepDirs_;
    bool hiddenFiles_ = false;
    bool haveArchive_ = false;
    dev_t archiveDevice_ = 0;
    ino_t archiveInode_ = 0;
    struct Owner {
        std::string Path;
        dev_t Device;
        ino_t Inode;
        bool Known;
    };
    std::unordered_map<std::string, Owner> taken_;
    AddPlan plan_;
};

}  // namespace

AddPlan PlanAdd(const AddRequest& request) { return Planner(request).Plan(); }

}  // namespace cli
