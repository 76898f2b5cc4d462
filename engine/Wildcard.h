// File-name masks as users type them: '*' stands for any run of characters,
// '?' for exactly one, and "*.*" for every name, with or without a dot.
// Matching is case-sensitive, like the file system's names.
#pragma once

#include <string>

bool MatchesMask(const std::string& name, const std::string& mask);
