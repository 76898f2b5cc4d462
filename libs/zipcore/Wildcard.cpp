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
        Spec spec;
        spec.hasWildcard = text.find_first_of("*?") != std::string::npos;
        spec.text = std::move(text);
        specs_.push_back(std::move(spec));
    }
}

void EntrySelector::NoteStoredName(const std::string& name)
{
    for (auto& spec : specs_)
        if (spec.hasWildcard && !spec.isStoredName && spec.text == name)
            spec.isStoredName = true;
}

bool EntrySelector::Selects(const std::string& name)
{
    if (specs_.empty())
        return true;
    if (!exactBuilt_) {
        for (std::size_t i = 0; i < specs_.size(); ++i)
            if (!specs_[i].hasWildcard || specs_[i].isStoredName)
                exact_.emplace(specs_[i].text, i);
        exactBuilt_ = true;
    }
    bool selected = false;
    auto range = exact_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        specs_[it->second].used = true;
        selected = true;
    }
    for (auto& spec : specs_) {
        if (spec.hasWildcard && !spec.isStoredName && WildcardMatch(spec.text, name)) {
            spec.used = true;
            selected = true;
        }
    }
    return selected;
}

std::vector<std::string> EntrySelector::Unmatched() const
{
    std::vector<std::string> out;
    for (const auto& spec : specs_)
        if (!spec.used)
            out.push_back(spec.text);
    return out;
}

}  // namespace zipcore
