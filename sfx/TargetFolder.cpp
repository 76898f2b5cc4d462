#include "TargetFolder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace sfx {

namespace {

bool MakeFolders(const std::string& path, std::string* error)
{
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/')
            continue;
        std::string prefix = path.substr(0, at);
        if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
            *error = "cannot create folder " + prefix + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

}  // namespace

std::string DefaultFolderAnswer(const std::string& stored)
{
    std::string text = stored;
    for (char& c : text)
        if (c == '\\')
            c = '/';
    if (text.size() >= 2 && text[1] == ':' &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        text.erase(0, 2);
        while (!text.empty() && text[0] == '/')
            text.erase(0, 1);
    }
    return text.empty() ? "." : text;
}

std::string TemporaryDirectory()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp";
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

bool PrepareFolder(const std::string& answer, std::string* path, std::string* error)
{
    std::string text = answer.empty() ? "." : answer;
    if (text.compare(0, 2, "~/") == 0 || text == "~") {
        const char* home = std::getenv("HOME");
        if (home && *home)
            text = std::string(home) + text.substr(1);
    }
    std::size_t arrows = text.find("><");
    if (arrows != std::string::npos) {
        std::string pattern = TemporaryDirectory() + "/fernpack-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            *error = "cannot create a folder under " + TemporaryDirectory() + ": " + std::strerror(errno);
            return false;
        }
        std::string replaced;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 2, "><") == 0) {
                replaced += pattern + "/";
                ++i;
            } else {
                replaced += text[i];
            }
        }
        text = replaced;
    }
    if (text[0] != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof(cwd))) {
            *error = std::string("cannot read the current folder: ") + std::strerror(errno);
            return false;
        }
        text = std::string(cwd) + "/" + text;
    }
    if (!MakeFolders(text, error))
        return false;
    char* real = realpath(text.c_str(), nullptr);
    if (!real) {
        *error = "cannot open folder " + text + ": " + std::strerror(errno);
        return false;
    }
    *path = real;
    std::free(real);
    struct stat st;
    if (stat(path->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = *path + " is not a folder";
        return false;
    }
    return true;
}

}  // namespace sfx
