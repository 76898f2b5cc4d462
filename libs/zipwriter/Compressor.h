// Compression on worker threads (one per core). A job is one source file
// read and deflated whole with libdeflate, or one piece of a large file
// deflated by libdeflate on its own and then ended like a sync flush (its
// last block made non-final, an empty stored block after it), so that the
// pieces of a file joined in order form one deflate stream (the last piece
// ends it). The caller decides how many jobs are in
// flight, which bounds memory; results are taken in any order the caller
// likes, normally the order the members are written in. Workers never call
// back into the caller.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zipwriter {

// An open source file shared by the jobs of its pieces.
struct SourceHandle {
    explicit SourceHandle(int fd) : fd(fd) {}
    ~SourceHandle();
    SourceHandle(const SourceHandle&) = delete;
    SourceHandle& operator=(const SourceHandle&) = delete;
    int fd;
};

struct CompressJob {
    // What to do.
    std::shared_ptr<SourceHandle> source;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    bool whole = true;  // false: a piece of a larger file
    bool last = true;   // the last piece of its file
    int level = 6;      // 0 stores; 1 to 12
    // What came of it.
    std::vector<std::uint8_t> output;
    std::uint32_t crc = 0;  // of the input range
    bool stored = false;    // whole jobs: output is the input as it is
    bool ok = false;
    std::string error;
    bool done = false;
};

class Compressor {
public:
    explicit Compressor(unsigned workers = 0);
    ~Compressor();
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    void Submit(std::shared_ptr<CompressJob> job);
    void Wait(const CompressJob& job);

private:
    void Work();
    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable jobDone_;
    std::deque<std::shared_ptr<CompressJob>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// Storage a worker keeps from job to job for what it reads and what it
// compresses. Reused, it is already mapped and mostly in cache, and it is
// never zero-filled; a job's output is copied out of it at its final size.
class JobScratch {
public:
    std::uint8_t* Get(std::size_t size);

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_ = 0;
};

struct WorkerScratch {
    JobScratch input;
    JobScratch output;
};

// Runs one job on the calling thread (what the workers do).
void RunJob(CompressJob& job, WorkerScratch& scratch);
void RunJob(CompressJob& job);
// The same for a job whose input is in memory already (a piece of standard
// input): `input` is all of it, and its source is not read.
void RunJobOn(CompressJob& job, std::vector<std::uint8_t> input);

// zlib's combination of the CRCs of two adjacent ranges.
std::uint32_t CombineCrc(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength);

}  // namespace zipwriter
