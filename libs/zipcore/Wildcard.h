// Choosing archive entries by the caller's file patterns: an entry
// name or a pattern with `*` (any run of characters, `/` included) and `?`
// (any one character), matched case-sensitively against the stored name. A
// pattern ending in ".*" also matches names without an extension, so "*.*"
// matches every name (unlike a file mask on disk, where only "*.*" does:
// see abi/Wildcards.h). A pattern equal to a stored name selects only
// that member, even when it contains `*` or `?`.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zipcore {

bool WildcardMatch(std::string_view pattern, std::string_view name);

class EntrySelector {
public:
    // No patterns selects every entry.
    explicit EntrySelector(std::vector<std::string> specs);
    // Must be told every stored name first, so exact names win over patterns.
    void NoteStoredName(const std::string& name);
    bool Selects(const std::string& name);
    // Patterns that selected nothing, after all Selects calls.
    std::vector<std::string> Unmatched() const;

private:
    struct FileSpec {
        std::string text;
        bool hasWildcard = false;
        bool isStoredName = false;  // a pattern that is also a stored name
        bool used = false;
    };
    void Prepare();
    std::vector<FileSpec> specs_;
    // Plain names (and patterns that equal a stored name) by text, so a long
    // list of names costs one lookup per entry.
    std::unordered_multimap<std::string, std::size_t> exact_;
    std::unordered_set<std::string> storedNames_;
    std::vector<std::size_t> patterns_;  // specs matched as patterns
    bool exactBuilt_ = false;
};

}  // namespace zipcore
