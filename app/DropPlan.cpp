#include "app/DropPlan.h"

#include "app/Addunit.h"
#include "app/NameText.h"
#include "engine/PathText.h"
#include "platform/FileSystem.h"

namespace app {

bool IsArchiveName(const std::string& path)
{
    const std::string extension = engine::UpperCase(engine::ExtractFileExt(path));
    return extension == ".ZIP" || extension == ".EXE";
}

bool IsArchiveDrop(const std::vector<std::string>& paths)
{
    return paths.size() == 1 && IsArchiveName(paths[0]) && platform::FileExists(paths[0]);
}

std::vector<std::string> AddListEntries(const std::vector<std::string>& paths)
{
    std::vector<std::string> entries;
    for (const std::string& path : paths) {
        if (platform::DirectoryExists(path))
            entries.push_back(TAddForm::AppendSlash(path) + "*.*");
        else if (platform::FileExists(path))
            entries.push_back(path);
    }
    return entries;
}

std::vector<std::string> LocalPaths(const QList<QUrl>& urls)
{
    std::vector<std::string> paths;
    for (const QUrl& url : urls)
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.push_back(PathBytes(url.toLocalFile()));
    return paths;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace app
