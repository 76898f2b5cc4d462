#include "cli/MemberPatterns.h"

#include <unordered_set>

#include "abi/Wildcards.h"

namespace cli {

MemberPatterns::MemberPatterns(std::vector<std::string> patterns, const std::vector<std::string>& storedNames)
{
    const std::unordered_set<std::string> names(storedNames.begin(), storedNames.end());
    for (auto& text : patterns) {
        const bool exact = text.find_first_of("*?") == std::string::npos || names.count(text) != 0;
        if (exact)
            exact_.emplace(text, patterns_.size());
        else
            wildcards_.push_back(patterns_.size());
        patterns_.push_back({std::move(text), exact});
    }
}

bool MemberPatterns::Takes(const std::string& name)
{
    if (patterns_.empty())
        return true;
    bool taken = false;
    const auto range = exact_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it)
        taken = patterns_[it->second].Used = true;
    for (std::size_t i : wildcards_) {
        if (fernpack::MatchWildcard(patterns_[i].Text, name, fernpack::DotStar::ExtensionMayBeMissing))
            taken = patterns_[i].Used = true;
    }
    return taken;
}

std::vector<std::string> MemberPatterns::Unused() const
{
    std::vector<std::string> out;
    for (const auto& p : patterns_)
        if (!p.Used)
            out.push_back(p.Text);
    return out;
}

}  // namespace cli
