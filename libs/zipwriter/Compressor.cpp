#include "Compressor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

namespace zipwriter {

SourceHandle::~SourceHandle()
{
    if (fd >= 0)
        close(fd);
}

namespace {

bool ReadExactly(int fd, std::uint64_t offset, std::uint8_t* out, std::size_t len, std::string* error)
{
    while (len > 0) {
        ssize_t n = pread(fd, out, len, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = std::strerror(errno);
            return false;
        }
        if (n == 0) {
            *error = "the file became shorter while it was read";
            return false;
        }
        out += n;
        len -= std::size_t(n);
        offset += std::uint64_t(n);
    }
    return true;
}

// One compressor per level per thread, kept for the thread's life.
libdeflate_compressor* DeflaterFor(int level)
{
    struct Cache {
        libdeflate_compressor* byLevel[13] = {};
        ~Cache()
        {
            for (auto* c : byLevel)
                if (c)
                    libdeflate_free_compressor(c);
        }
    };
    thread_local Cache cache;
    if (!cache.byLevel[level])
        cache.byLevel[level] = libdeflate_alloc_compressor(level);
    return cache.byLevel[level];
}

// A whole file. `owned`, when given, holds the input and may become the
// output of a file stored as it is.
void RunWhole(CompressJob& job, const std::uint8_t* input, std::size_t size, std::vector<std::uint8_t>* owned,
              JobScratch& scratch)
{
    job.crc = std::uint32_t(libdeflate_crc32(0, input, size));
    if (job.level > 0 && size > 0) {
        libdeflate_compressor* deflater = DeflaterFor(job.level);
        if (!deflater) {
            job.error = "out of memory for the compressor";
            return;
        }
        const std::size_t bound = libdeflate_deflate_compress_bound(deflater, size);
        std::uint8_t* out = scratch.Get(bound);
        std::size_t n = libdeflate_deflate_compress(deflater, input, size, out, bound);
        // Data that does not shrink is stored as it is.
        if (n > 0 && n < size) {
            job.output.assign(out, out + n);
            job.ok = true;
            return;
        }
    }
    if (owned)
        job.output = std::move(*owned);
    else
        job.output.assign(input, input + size);
    job.stored = true;
    job.ok = true;
}

// Turns a complete raw deflate stream of `length` bytes into one that the
// next piece can follow: the last block's final bit is cleared and an empty
// stored block (what a sync flush writes) takes the stream to a byte
// boundary. zlib's block-by-block inflate finds where the last block starts
// and where the stream ends, to the bit. `data` has room for 8 bytes more;
// returns the new length, 0 when the stream is not sound.
std::size_t MakeJoinable(std::uint8_t* data, std::size_t length)
{
    z_stream zs{};
    if (inflateInit2(&zs, -15) != Z_OK)
        return 0;
    std::uint8_t sink[std::size_t(1) << 16];
    zs.next_in = data;
    zs.avail_in = uInt(length);
    // Inflate stops at each block boundary; there data_type holds the
    // bits it has read ahead (low six bits), 64 when the block just ended
    // was the final one, and 128.
    std::uint64_t lastHeader = 0, end = 0;
    for (;;) {
        zs.next_out = sink;
        zs.avail_out = uInt(sizeof sink);
        int rc = inflate(&zs, Z_BLOCK);
        if (rc != Z_OK && !(rc == Z_BUF_ERROR && zs.avail_out == 0)) {
            inflateEnd(&zs);
            return 0;
        }
        std::uint64_t bit = std::uint64_t(zs.total_in) * 8 - std::uint64_t(zs.data_type & 63);
        if (zs.data_type & 128) {
            if (zs.data_type & 64) {
                end = bit;
                break;
            }
            lastHeader = bit;
        }
    }
    inflateEnd(&zs);
    data[lastHeader / 8] &= std::uint8_t(~(1u << (lastHeader % 8)));
    // Three zero bits (not final, stored), zero padding, LEN 0, NLEN FFFF.
    std::uint64_t stored = end + 3;
    std::size_t bytes = std::size_t((stored + 7) / 8);
    if (end % 8)
        data[end / 8] &= std::uint8_t((1u << (end % 8)) - 1);
    for (std::size_t i = std::size_t((end + 7) / 8); i < bytes; ++i)
        data[i] = 0;
    data[bytes] = 0x00;
    data[bytes + 1] = 0x00;
    data[bytes + 2] = 0xFF;
    data[bytes + 3] = 0xFF;
    return bytes + 4;
}

// A piece of a large file: deflated on its own by libdeflate (no matches
// reach back into the piece before), and made joinable unless it is the
// file's last.
void RunPiece(CompressJob& job, const std::uint8_t* input, std::size_t size, JobScratch& scratch)
{
    job.crc = std::uint32_t(libdeflate_crc32(0, input, size));
    libdeflate_compressor* deflater = DeflaterFor(job.level);
    if (!deflater) {
        job.error = "out of memory for the compressor";
        return;
    }
    const std::size_t bound = libdeflate_deflate_compress_bound(deflater, size);
    std::uint8_t* out = scratch.Get(bound + 8);
    std::size_t n = libdeflate_deflate_compress(deflater, input, size, out, bound);
    if (n > 0 && !job.last)
        n = MakeJoinable(out, n);
    if (n == 0) {
        job.error = "compression failed";
        return;
    }
    job.output.assign(out, out + n);
    job.ok = true;
}

void Run(CompressJob& job, const std::uint8_t* input, std::size_t size, std::vector<std::uint8_t>* owned,
         JobScratch& output)
{
    job.length = size;
    if (job.whole)
        RunWhole(job, input, size, owned, output);
    else
        RunPiece(job, input, size, output);
}

}  // namespace

std::uint8_t* JobScratch::Get(std::size_t size)
{
    if (size > size_ || !data_) {
        // Grown with room to spare, so that a run of slightly larger jobs
        // does not reallocate at each.
        const std::size_t grown = std::max(size, size_ + size_ / 2);
        data_.reset(new std::uint8_t[std::max<std::size_t>(grown, 1)]);
        size_ = grown;
    }
    return data_.get();
}

void RunJob(CompressJob& job, WorkerScratch& scratch)
{
    if (!job.source) {
        job.error = "no source";
        return;
    }
    const std::size_t size = std::size_t(job.length);
    std::uint8_t* input = scratch.input.Get(size);
    if (!ReadExactly(job.source->fd, job.offset, input, size, &job.error))
        return;
    Run(job, input, size, nullptr, scratch.output);
}

void RunJob(CompressJob& job)
{
    WorkerScratch scratch;
    RunJob(job, scratch);
}

void RunJobOn(CompressJob& job, std::vector<std::uint8_t> input)
{
    JobScratch output;
    Run(job, input.data(), input.size(), &input, output);
}

std::uint32_t CombineCrc(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength)
{
    return std::uint32_t(crc32_combine64(first, second, z_off64_t(secondLength)));
}

Compressor::Compressor(unsigned workers)
{
    if (workers == 0)
        workers = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < workers; ++i)
        threads_.emplace_back([this] { Work(); });
}

Compressor::~Compressor()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    workReady_.notify_all();
    for (auto& t : threads_)
        t.join();
}

void Compressor::Submit(std::shared_ptr<CompressJob> job)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(job));
    }
    workReady_.notify_one();
}

void Compressor::Wait(const CompressJob& job)
{
    std::unique_lock<std::mutex> lock(mutex_);
    jobDone_.wait(lock, [&] { return job.done; });
}

void Compressor::Work()
{
    WorkerScratch scratch;
    for (;;) {
        std::shared_ptr<CompressJob> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            workReady_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        try {
            RunJob(*job, scratch);
        } catch (const std::exception& e) {
            job->ok = false;
            job->error = e.what();
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job->done = true;
        }
        jobDone_.notify_all();
    }
}

}  // namespace zipwriter
