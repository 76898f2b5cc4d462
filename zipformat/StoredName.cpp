#include "zipformat/StoredName.h"

#include <cstring>
#include <vector>

#include "zipformat/NameText.h"

namespace fernpack::zip {

namespace {

std::vector<std::string> Components(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        std::string part = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        for (char& c : part)
            if (c == '\\')
                c = '_';
        parts.push_back(std::move(part));
    }
    return parts;
}

std::string Join(const std::vector<std::string>& parts)
{
    std::string out;
    for (const auto& part : parts) {
        if (!out.empty())
            out += '/';
        out += part;
    }
    return out;
}

bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char DosChar(unsigned char c)
{
    if (c < 0x20 || c >= 0x7F || std::strchr("\"*+,/:;<=>?[\\]| ", c))
        return '_';
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

}  // namespace

std::string StoredName(const std::string& path, bool keepDirs)
{
    std::vector<std::string> parts = Components(path);
    if (parts.empty())
        return {};
    if (!keepDirs)
        return parts.back();
    std::string name = Join(parts);
    // A drive-like first component ("c:") would read as a drive prefix.
    if (name.size() >= 2 && name[1] == ':' && IsAsciiLetter(static_cast<unsigned char>(name[0])))
        name[1] = '_';
    return name;
}

std::string DosComponent(const std::string& component)
{
    std::size_t dot = component.rfind('.');
    std::string stemText = dot == std::string::npos ? component : component.substr(0, dot);
    std::string extText = dot == std::string::npos ? std::string() : component.substr(dot + 1);
    std::string stem, ext;
    for (unsigned char c : stemText)
        if (c != '.' && c != ' ' && stem.size() < 8)
            stem += DosChar(c);
    for (unsigned char c : extText)
        if (c != '.' && c != ' ' && ext.size() < 3)
            ext += DosChar(c);
    if (stem.empty())
        stem.push_back('_');
    if (!ext.empty()) {
        stem += '.';
        stem += ext;
    }
    return stem;
}

std::string ForceDosName(const std::string& storedName)
{
    std::string out;
    std::size_t pos = 0;
    while (pos <= storedName.size()) {
        std::size_t slash = storedName.find('/', pos);
        if (slash == std::string::npos)
            slash = storedName.size();
        std::string part = storedName.substr(pos, slash - pos);
        if (!part.empty()) {
            if (!out.empty())
                out += '/';
            out += DosComponent(part);
        }
        pos = slash + 1;
    }
    return out;
}

bool NeedsUtf8Flag(const std::string& name)
{
    for (unsigned char c : name)
        if (c >= 0x80)
            return IsUtf8(name);
    return false;
}

}  // namespace fernpack::zip
