// Choosing archive members by name or pattern, the one rule for every
// side: what UNZDLL.DLL extracts or tests, what ZIPDLL.DLL deletes, what
// fernpack-cli lists and asks a password for, and what the engine says
// needs one. Each one given is a stored name or a pattern with `*` (any
// run of characters, `/` included) and `?` (any one character), matched
// case-sensitively; one ending in ".*" also matches names without an
// extension (see Wildcards.h). One equal to a stored name
// selects only that member, even when it contains `*` or `?`.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace fernpack::zip {

class MemberSelector {
public:
    // An empty list selects every member.
    explicit MemberSelector(std::vector<std::string> specs);
    // Must be told every stored name first, so exact names win over patterns.
    void NoteStoredName(const std::string& name);
    bool Selects(const std::string& name);
    // Names and patterns that selected nothing, after all Selects calls.
    std::vector<std::string> Unmatched() const;

private:
    struct FileSpec {
        std::string text;
        bool hasWildcard = false;
        bool used = false;
    };
    void Prepare();
    std::vector<FileSpec> specs_;
    // Plain names (and patterns that equal a stored name) by text, so a long
    // list of names costs one lookup per member.
    std::unordered_multimap<std::string, std::size_t> exact_;
    std::unordered_set<std::string> storedNames_;
    std::vector<std::size_t> patterns_;  // entries matched as patterns
    bool prepared_ = false;
};

}  // namespace fernpack::zip
