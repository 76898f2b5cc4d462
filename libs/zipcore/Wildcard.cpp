#include "Wildcard.h"

#include "abi/Wildcards.h"

namespace zipcore {

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    return fernpack::MatchWildcard(pattern, name, fernpack::DotStar::ExtensionMayBeMissing);
}

EntrySelector::EntrySelector(std::vector<std::string> specs)
{
    for (auto& text : specs) {
        FileSpec fileSpec;
        fileSpec.hasWildcard = text.find_first_of("*?") != std::string::npos;
        fileSpec.text = std::move(text);
        specs_.push_back(std::move(fileSpec));
    }
}

void EntrySelector::NoteStoredName(const std::string& name)
{
    if (!exactBuilt_ && !specs_.empty())
        storedNames_.insert(name);
}

void EntrySelector::Prepare()
{
    for (std::size_t i = 0; i < specs_.size(); ++i) {
        FileSpec& fileSpec = specs_[i];
        fileSpec.isStoredName = fileSpec.hasWildcard && storedNames_.count(fileSpec.text) != 0;
        if (!fileSpec.hasWildcard || fileSpec.isStoredName)
            exact_.emplace(fileSpec.text, i);
        else
            patterns_.push_back(i);
    }
    storedNames_.clear();
    exactBuilt_ = true;
}

bool EntrySelector::Selects(const std::string& name)
{
    if (specs_.empty())
        return true;
    if (!exactBuilt_)
        Prepare();
    bool selected = false;
    auto range = exact_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        specs_[it->second].used = true;
        selected = true;
    }
    for (std::size_t i : patterns_) {
        if (WildcardMatch(specs_[i].text, name)) {
            specs_[i].used = true;
            selected = true;
        }
    }
    return selected;
}

std::vector<std::string> EntrySelector::Unmatched() const
{
    std::vector<std::string> out;
    for (const auto& fileSpec : specs_)
        if (!fileSpec.used)
            out.push_back(fileSpec.text);
    return out;
}

}  // namespace zipcore
