#include "Compressor.h"

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

void RunWhole(CompressJob& job)
{
    std::vector<std::uint8_t> input(std::size_t(job.length));
    if (!ReadExactly(job.source->fd, job.offset, input.data(), input.size(), &job.error))
        return;
    job.crc = std::uint32_t(libdeflate_crc32(0, input.data(), input.size()));
    if (job.level > 0 && !input.empty()) {
        libdeflate_compressor* deflater = DeflaterFor(job.level);
        if (!deflater) {
            job.error = "out of memory for the compressor";
            return;
        }
        std::vector<std::uint8_t> out(libdeflate_deflate_compress_bound(deflater, input.size()));
        std::size_t n = libdeflate_deflate_compress(deflater, input.data(), input.size(), out.data(), out.size());
        // Data that does not shrink is stored as it is.
        if (n > 0 && n < input.size()) {
            out.resize(n);
            out.shrink_to_fit();
            job.output = std::move(out);
            job.ok = true;
            return;
        }
    }
    job.output = std::move(input);
    job.stored = true;
    job.ok = true;
}

void RunPiece(CompressJob& job)
{
    std::uint64_t dictionary = std::min<std::uint64_t>(job.offset, kDictionarySize);
    std::vector<std::uint8_t> input(std::size_t(dictionary + job.length));
    if (!ReadExactly(job.source->fd, job.offset - dictionary, input.data(), input.size(), &job.error))
        return;
    const std::uint8_t* data = input.data() + dictionary;
    job.crc = std::uint32_t(crc32_z(0, data, std::size_t(job.length)));
    z_stream zs{};
    int level = job.level > 9 ? 9 : job.level;
    if (deflateInit2(&zs, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
        job.error = "out of memory for the compressor";
        return;
    }
    if (dictionary > 0)
        deflateSetDictionary(&zs, input.data(), uInt(dictionary));
    job.output.resize(deflateBound(&zs, uLong(job.length)) + 64);
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = uInt(job.length);
    zs.next_out = job.output.data();
    zs.avail_out = uInt(job.output.size());
    int flush = job.last ? Z_FINISH : Z_SYNC_FLUSH;
    int rc = deflate(&zs, flush);
    bool good = job.last ? rc == Z_STREAM_END : (rc == Z_OK && zs.avail_in == 0 && zs.avail_out > 0);
    job.output.resize(zs.total_out);
    deflateEnd(&zs);
    if (!good) {
        job.error = "compression failed";
        return;
    }
    job.output.shrink_to_fit();
    job.ok = true;
}

}  // namespace

void RunJob(CompressJob& job)
{
    if (!job.source) {
        job.error = "no source";
        return;
    }
    if (job.whole)
        RunWhole(job);
    else
        RunPiece(job);
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
            RunJob(*job);
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
