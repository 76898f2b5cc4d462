// Decoding the members of an extract ahead of the calling thread, on worker
// threads, so that decoding on one core overlaps the writing of files on
// another: creating, filling and naming thousands of files keeps the
// calling thread in the kernel for most of an extract.
//
// What it promises:
// - the caller takes the members in the order it gave them, one by one; a
//   member comes back either decoded whole and checked (its decoder said
//   Ok), or declined, and then the caller decodes it itself as it would
//   without this: every failure, message and step stays the caller's, in
//   its order;
// - bounded memory: only members of a few megabytes whose methods need
//   little memory are taken, and decoded data waiting for the caller stays
//   under a fixed total;
// - no callbacks: the workers only read the archive's mapping and, as a
//   hint, ask whether a target file exists.
// What it does not: decide anything. Whether a member is extracted, skipped
// or refused is the caller's (the hint only saves decoding what will
// likely be skipped; a wrong hint costs time, not correctness).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "libs/zipcore/ArchiveReader.h"
#include "libs/zipcore/EntryDecoder.h"
#include "libs/zipcore/Extractor.h"

namespace unzdll {

class Predecoder {
public:
    // `entries` in the order they will be taken; `targetFd` is the folder
    // they are extracted below, for the hint; `options` says which files
    // an extract replaces. Starts `workers` threads.
    Predecoder(const std::vector<const zipcore::ZipEntry*>& entries, const zipcore::ArchiveReader& reader,
               const zipcore::DecoderOptions& decoding, std::string password, int targetFd,
               zipcore::ExtractOptions options, unsigned workers);
    // Stops the workers after the member each is decoding.
    ~Predecoder();
    Predecoder(const Predecoder&) = delete;
    Predecoder& operator=(const Predecoder&) = delete;

    // The data of entries[index], decoded and checked, into `data`; false
    // when it was declined. Called for increasing indexes, each at most
    // once; waits while a worker is decoding that member.
    bool Take(std::size_t index, std::vector<std::uint8_t>* data);

    // Members smaller or larger than these are left to the caller: a small
    // one takes less to decode than to hand over, a large one is decoded
    // as it is written, in bounded memory.
    static constexpr std::uint64_t kSmallest = std::uint64_t(16) << 10;
    static constexpr std::uint64_t kLargest = std::uint64_t(4) << 20;
    // The most decoded bytes waiting for the caller (one member may pass
    // it when nothing else waits), and the most members ahead of it.
    static constexpr std::uint64_t kWaitingBytes = std::uint64_t(16) << 20;
    static constexpr std::size_t kAhead = 1024;

private:
    enum class State : std::uint8_t { Open, Working, Decoded, Declined };
    struct Slot {
        State state = State::Open;
        std::vector<std::uint8_t> data;
    };

    void Work();
    static bool Sized(const zipcore::ZipEntry& entry);
    // Whether a worker can claim the member at next_ now, or must pass
    // over it, or end (under the lock).
    bool Claimable() const;
    // Whether the member is worth decoding ahead: small, of a light method,
    // a file, and by the hint one the extract will write.
    bool Worth(const zipcore::ZipEntry& entry) const;
    bool Decode(const zipcore::ZipEntry& entry, zipcore::EntryDecoder& decoder, std::vector<std::uint8_t>* data) const;

    const std::vector<const zipcore::ZipEntry*>& entries_;
    const zipcore::ArchiveReader& reader_;
    const zipcore::DecoderOptions decoding_;
    const std::string password_;
    const int targetFd_;
    const zipcore::ExtractOptions options_;

    std::mutex mutex_;
    std::condition_variable decoded_, room_;
    std::vector<Slot> slots_;
    std::size_t next_ = 0;   // the next member a worker looks at
    std::size_t taken_ = 0;  // the members the caller has taken
    std::uint64_t waitingBytes_ = 0;
    bool callerWaits_ = false;
    unsigned held_ = 0;  // workers waiting for room
    bool quit_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace unzdll
