#include "zipformat/MemberSelector.h"

#include "zipformat/Wildcards.h"

namespace fernpack::zip {

MemberSelector::MemberSelector(std::vector<std::string> specs)
{
    for (auto& text : specs) {
        FileSpec fileSpec;
        fileSpec.hasWildcard = HasWildcards(text);
        fileSpec.text = std::move(text);
        specs_.push_back(std::move(fileSpec));
    }
}

void MemberSelector::NoteStoredName(const std::string& name)
{
    if (!prepared_ && !specs_.empty())
        storedNames_.insert(name);
}

void MemberSelector::Prepare()
{
    for (std::size_t i = 0; i < specs_.size(); ++i) {
        const FileSpec& fileSpec = specs_[i];
        if (!fileSpec.hasWildcard || storedNames_.count(fileSpec.text) != 0)
            exact_.emplace(fileSpec.text, i);
        else
            patterns_.push_back(i);
    }
    storedNames_.clear();
    prepared_ = true;
}

bool MemberSelector::Selects(const std::string& name)
{
    if (specs_.empty())
        return true;
    if (!prepared_)
        Prepare();
    bool selected = false;
    const auto range = exact_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        specs_[it->second].used = true;
        selected = true;
    }
    for (std::size_t i : patterns_) {
        if (MatchesMemberPattern(specs_[i].text, name)) {
            specs_[i].used = true;
            selected = true;
        }
    }
    return selected;
}

std::vector<std::string> MemberSelector::Unmatched() const
{
    std::vector<std::string> out;
    for (const auto& fileSpec : specs_)
        if (!fileSpec.used)
            out.push_back(fileSpec.text);
    return out;
}

}  // namespace fernpack::zip
