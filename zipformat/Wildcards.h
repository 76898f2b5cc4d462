// Wildcards as users type them: '*' stands for any run of characters ('/'
// included), '?' for exactly one; matching is case-sensitive, byte for byte,
// like the file system's names and the archive's stored names.
//
// One matcher for both sides, so they can never disagree: the engine counts
// an add's files with MatchesMask and ZIPDLL.DLL selects them with it, and
// archive members are chosen (extract, test, delete, the stub's file
// choice, fernpack-cli's patterns; see MemberSelector.h) with the same loop.
// The two uses differ in one rule only, named by DotStar below.
// Header-only and dependency-free.
#pragma once

#include <cstddef>
#include <string_view>

namespace fernpack {

// What a pattern ending in ".*" does with a name whose last part has no
// extension (no '.').
enum class DotStar {
    // Only "*.*" takes such names, meaning every name with or without a dot:
    // the file masks on disk, where "*.*" has always meant "all files" and
    // "readme.*" must not pick up a file named "readme".
    EveryNameOnly,
    // Any "stem.*" also takes a name that matches "stem": member patterns,
    // where "readme.*" names the readme whatever its extension, none included.
    ExtensionMayBeMissing,
};

namespace detail {

// Iterative matching with one backtrack point: linear in practice, never
// recursive, never exponential on hostile patterns full of stars.
inline bool MatchPlain(std::string_view pattern, std::string_view name)
{
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace detail

inline bool MatchWildcard(std::string_view pattern, std::string_view name, DotStar rule)
{
    if (detail::MatchPlain(pattern, name))
        return true;
    if (pattern.size() < 2 || pattern.substr(pattern.size() - 2) != ".*")
        return false;
    const std::string_view stem = pattern.substr(0, pattern.size() - 2);
    if (rule == DotStar::EveryNameOnly && stem != "*")
        return false;
    const std::size_t slash = name.rfind('/');
    const std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
    return last.find('.') == std::string_view::npos && detail::MatchPlain(stem, name);
}

// True when `pattern` holds a wildcard. A pattern without one names a single
// file or member: it is looked up directly, never matched against a listing.
inline bool HasWildcards(std::string_view pattern)
{
    return pattern.find_first_of("*?") != std::string_view::npos;
}

// A member pattern against a stored name.
inline bool MatchesMemberPattern(std::string_view pattern, std::string_view name)
{
    return MatchWildcard(pattern, name, DotStar::ExtensionMayBeMissing);
}

// A file mask on disk against one file name (no folder part).
inline bool MatchesMask(std::string_view name, std::string_view mask)
{
    return MatchWildcard(mask, name, DotStar::EveryNameOnly);
}

}  // namespace fernpack
