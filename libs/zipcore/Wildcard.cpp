#include "Wildcard.h"

namespace zipcore {

namespace {

bool MatchCore(std::string_view p, std::string_view n)
{
    // Iterative matcher with single backtrack point: linear in practice and
    // never recursive, so hostile patterns cannot exhaust the stack.
    std::size_t pi = 0, ni = 0, starP = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string_view::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    if (MatchCore(pattern, name))
        return true;
    // "name.*" also matches "name": the extension may be missing.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
        std::string_view stem = pattern.substr(0, pattern.size() - 2);
        std::size_t slash = name.rfind('/');
        std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
        if (last.find('.') == std::string_view::npos && MatchCore(stem, name))
            return true;
    }
    return false;
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
