// File-name masks as users type them: '*' stands for any run of characters,
// '?' for exactly one, and "*.*" (or "*") for every name, with or without a
// dot. Matching is case-sensitive, like the file system's names.
//
// Header-only and dependency-free on purpose: the engine counts an add's
// files with it and ZIPDLL.DLL selects them with it, so the two can never
// disagree about which files a mask takes.
#pragma once

#include <string>

inline bool MatchesMask(const std::string& name, const std::string& mask)
{
    if (mask == "*.*" || mask == "*")
        return true;
    // Iterative matching with one backtrack point: linear in practice and
    // never exponential on masks full of stars.
    std::size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}
