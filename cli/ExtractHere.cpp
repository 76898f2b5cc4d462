#include "cli/ExtractHere.h"

#include <exception>

#include "engine/PathText.h"
#include "engine/ZipMstr.h"
#include "platform/FileSystem.h"

namespace cli {

namespace {

bool Taken(const std::string& path) { return platform::FileExists(path) || platform::DirectoryExists(path); }

// The archive's member names, as a quiet listing finds them (its troubles
// are told by the extract that follows).
std::vector<std::string> MemberNames(const std::string& archive)
{
    engine::TRezEdidiv z;
    z.Unattended = true;
    std::vector<std::string> names;
    try {
        z.SetZipFilename(archive);
    } catch (const std::exception&) {
    }
    for (const auto& e : z.Entries)
        names.push_back(e->FileName);
    return names;
}

}  // namespace

std::set<std::string> TopLevelNames(const std::vector<std::string>& names)
{
    std::set<std::string> top;
    for (const std::string& name : names) {
        if (name.empty() || name[0] == '/' || name.find('\\') != std::string::npos)
            continue;
        std::string first;
        bool refused = false;
        for (std::size_t pos = 0; pos <= name.size();) {
            std::size_t slash = name.find('/', pos);
            if (slash == std::string::npos)
                slash = name.size();
            const std::string part = name.substr(pos, slash - pos);
            pos = slash + 1;
            if (part == "..")
                refused = true;
            else if (first.empty() && !part.empty() && part != ".")
                first = part;
        }
        if (!refused && !first.empty())
            top.insert(first);
    }
    return top;
}

std::string HereFolder(const std::string& archivePath, const std::vector<std::string>& names)
{
    const std::size_t slash = archivePath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : archivePath.substr(0, slash);
    if (TopLevelNames(names).size() <= 1)
        return folder;
    std::string base = engine::ExtractFileName(archivePath);
    const std::string extension = engine::UpperCase(engine::ExtractFileExt(base));
    if ((extension == ".ZIP" || extension == ".EXE") && base.size() > extension.size())
        base.resize(base.size() - extension.size());
    const std::string start = (folder == "/" ? "" : folder) + "/" + base;
    std::string candidate = start;
    for (int n = 2; Taken(candidate); ++n)
        candidate = start + " (" + std::to_string(n) + ")";
    return candidate;
}

int RunExtractHere(ExtractOptions options)
{
    const std::string archive = platform::AbsolutePath(options.Archive);
    options.Dir = HereFolder(archive, MemberNames(archive));
    return RunExtract(options);
}

}  // namespace cli
