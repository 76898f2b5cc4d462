// Folders below an extraction's target folder, opened one component at a
// time relative to the target and never through a symbolic link, so no
// entry can be steered out of the target by a link already on disk (or by a
// folder renamed into a link while we work). Opened folders are cached, since
// archives list many files per folder; the cache is bounded, and when it is
// full one folder makes room for the next.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace zipcore {

class TargetTree {
public:
    // `baseFd` is the target folder; it stays owned by the caller.
    explicit TargetTree(int baseFd) : baseFd_(baseFd) {}
    ~TargetTree();
    TargetTree(const TargetTree&) = delete;
    TargetTree& operator=(const TargetTree&) = delete;

    int BaseFd() const { return baseFd_; }
    // The folder made of the first `count` components of `parts`, created
    // when missing and `create` is set. -1 with a reason on failure.
    int OpenFolder(const std::vector<std::string>& parts, std::size_t count, bool create, std::string* reason);

private:
    void Forget();
    void ForgetOne();
    int baseFd_;
    std::unordered_map<std::string, int> open_;
};

}  // namespace zipcore
