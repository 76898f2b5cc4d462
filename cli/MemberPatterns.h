// Choosing archive members by the names and patterns on the command line,
// by the rules the extraction library applies (so `list x.zip PATTERN`
// shows what `extract x.zip PATTERN` takes): '*' and '?' as wildcards, a
// pattern ending in ".*" also taking names without an extension, and a
// pattern that equals a stored name taking only that member.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace cli {

class MemberPatterns {
public:
    // No patterns takes every member.
    MemberPatterns(std::vector<std::string> patterns, const std::vector<std::string>& storedNames);

    bool Takes(const std::string& name);
    // The patterns that took nothing so far.
    std::vector<std::string> Unused() const;

private:
    struct Pattern {
        std::string Text;
        bool Exact;
        bool Used = false;
    };
    std::vector<Pattern> patterns_;
    // Exact names by text (a long list of names costs one look-up a member).
    std::unordered_multimap<std::string, std::size_t> exact_;
    std::vector<std::size_t> wildcards_;
};

}  // namespace cli
