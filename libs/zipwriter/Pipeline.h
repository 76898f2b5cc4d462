// Feeds the compression workers ahead of the writer. New members are
// prepared in the order they will be written: each source file is opened
// (and its size fixed by fstat), cut into jobs (one whole-file job, or
// pieces of a large file) and its jobs submitted, as long as the data held
// by jobs not yet written stays within the memory budget. The writer takes
// the jobs in order and releases each once written, which lets more in.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

#include "Compressor.h"

namespace zipwriter {

enum class MemberKind { Whole, Pieces, Streamed };

struct PreparedMember {
    std::string path;
    bool opened = false;
    std::string openError;
    std::shared_ptr<SourceHandle> source;
    std::uint64_t size = 0;
    std::time_t mtime = 0;
    mode_t mode = 0;
    // The file as it was opened, to tell later whether it changed since.
    struct timespec modified {};
    dev_t device = 0;
    ino_t inode = 0;
    MemberKind kind = MemberKind::Whole;
    std::vector<std::shared_ptr<CompressJob>> jobs;
    std::size_t submitted = 0;
};

struct PipelineSettings {
    int level = 6;  // libdeflate level, 0 stores
    unsigned workers = 0;
    std::uint64_t memoryBudget = 0;
    std::uint64_t wholeFileLimit = 0;
    std::uint64_t pieceSize = 0;
};

class Pipeline {
public:
    Pipeline(const PipelineSettings& settings, std::vector<std::string> paths);

    // The k-th member, opened and with its first job submitted.
    PreparedMember& Prepare(std::size_t k);
    // Waits for job j of member k (submitting it first if needed).
    CompressJob& Job(std::size_t k, std::size_t j);
    // The writer is done with job j of member k.
    void Release(std::size_t k, std::size_t j);
    // The writer is done with member k: its file is closed.
    void Finish(std::size_t k);

private:
    bool Step(bool force);
    void Open(PreparedMember& member);
    std::uint64_t Cost(const CompressJob& job) const;

    PipelineSettings settings_;
    std::vector<PreparedMember> members_;
    std::size_t next_ = 0;  // member whose jobs are being submitted
    std::uint64_t inflightBytes_ = 0;
    std::size_t inflightJobs_ = 0;
    std::size_t openMembers_ = 0;
    std::unique_ptr<Compressor> compressor_;
    static constexpr std::size_t kMaxJobs = 64;
    static constexpr std::size_t kMaxOpen = 64;
};

}  // namespace zipwriter
