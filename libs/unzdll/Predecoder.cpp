#include "Predecoder.h"

#include <algorithm>
#include <exception>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

#include "libs/zipcore/SafePath.h"

namespace unzdll {

using namespace zipcore;

namespace {

// Takes a member's data whole, never more than it said it holds.
class BufferSink final : public OutputSink {
public:
    BufferSink(std::vector<std::uint8_t>& out, std::uint64_t size) : out_(out), size_(size)
    {
        out_.reserve(std::size_t(size));
    }
    bool Write(const std::uint8_t* data, std::size_t len) override
    {
        if (len > size_ - out_.size())
            return false;
        out_.insert(out_.end(), data, data + len);
        return true;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t size_;
};

}  // namespace

Predecoder::Predecoder(const std::vector<const ZipEntry*>& entries, const ArchiveReader& reader,
                       const DecoderOptions& decoding, std::string password, int targetFd, ExtractOptions options,
                       unsigned workers)
    : entries_(entries),
      reader_(reader),
      decoding_(decoding),
      password_(std::move(password)),
      targetFd_(targetFd),
      options_(options),
      slots_(entries.size())
{
    try {
        for (unsigned w = 0; w < workers; ++w)
            threads_.emplace_back([this] { Work(); });
    } catch (...) {
        // Fewer workers, or none: the caller decodes what they do not.
        std::lock_guard lock(mutex_);
        if (threads_.empty())
            next_ = entries_.size();
    }
}

Predecoder::~Predecoder()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    room_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

bool Predecoder::Take(std::size_t index, std::vector<std::uint8_t>* data)
{
    std::unique_lock lock(mutex_);
    Slot& slot = slots_[index];
    if (slot.state == State::Open) {
        // No worker has come this far: they go on after it.
        slot.state = State::Declined;
        next_ = std::max(next_, index + 1);
    }
    if (slot.state == State::Working) {
        callerWaits_ = true;
        decoded_.wait(lock, [&] { return slot.state != State::Working; });
        callerWaits_ = false;
    }
    const bool decoded = slot.state == State::Decoded;
    if (decoded) {
        waitingBytes_ -= slot.data.size();
        *data = std::move(slot.data);
        slot.data = {};
    }
    taken_ = index + 1;
    // Workers are woken only when one can go on: a take a member is not
    // worth a wake-up each.
    const bool wake = held_ > 0 && Claimable();
    lock.unlock();
    if (wake)
        room_.notify_all();
    return decoded;
}

void Predecoder::Work()
{
    EntryDecoder decoder(decoding_);
    for (;;) {
        std::size_t index;
        {
            std::unique_lock lock(mutex_);
            for (;;) {
                // Past what the caller took or decodes itself.
                while (next_ < entries_.size() &&
                       (slots_[next_].state != State::Open || !Sized(*entries_[next_])))
                    ++next_;
                if (quit_ || next_ >= entries_.size())
                    return;
                if (Claimable())
                    break;
                ++held_;
                room_.wait(lock);
                --held_;
            }
            index = next_++;
            slots_[index].state = State::Working;
            // Counted from the claim, so that the workers together stay
            // within the bound.
            waitingBytes_ += entries_[index]->uncompressedSize;
        }
        const ZipEntry& entry = *entries_[index];
        std::vector<std::uint8_t> data;
        bool decoded = false;
        try {
            decoded = Worth(entry) && Decode(entry, decoder, &data);
        } catch (const std::exception&) {
            // Out of memory, say: the caller decodes it, or says why not.
        }
        bool wake, room;
        {
            std::lock_guard lock(mutex_);
            Slot& slot = slots_[index];
            waitingBytes_ -= entry.uncompressedSize;
            if (decoded) {
                waitingBytes_ += data.size();
                slot.data = std::move(data);
            }
            slot.state = decoded ? State::Decoded : State::Declined;
            wake = callerWaits_;
            room = held_ > 0 && Claimable();
        }
        if (wake)
            decoded_.notify_one();
        if (room)
            room_.notify_all();
    }
}

bool Predecoder::Claimable() const
{
    if (quit_ || next_ >= entries_.size() || slots_[next_].state != State::Open || !Sized(*entries_[next_]))
        return true;  // the end, or members to pass over first
    // Near enough to the caller, and its data fits beside what already
    // waits.
    const std::uint64_t size = entries_[next_]->uncompressedSize;
    return next_ < taken_ + kAhead && (waitingBytes_ == 0 || waitingBytes_ + size <= kWaitingBytes);
}

bool Predecoder::Sized(const ZipEntry& entry)
{
    return entry.uncompressedSize >= kSmallest && entry.uncompressedSize <= kLargest;
}

bool Predecoder::Worth(const ZipEntry& entry) const
{
    if (entry.IsDirectory() || entry.IsSymlink() || MayNeedMuchMemory(entry) || entry.diskStart != 0 ||
        entry.overlapsAnother)
        return false;
    // Without overwriting, an existing file is skipped; freshening skips a
    // missing one. The hint looks where the extract will put the file.
    const bool skipsExisting = !options_.overwrite && !options_.freshen && !options_.update;
    const bool skipsMissing = options_.freshen && !options_.update;
    if (!skipsExisting && !skipsMissing)
        return true;
    const std::string path = TargetPath(entry.name, options_.dirNames);
    if (path.empty())
        return false;
    struct stat st;
    const bool exists = fstatat(targetFd_, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    return skipsExisting ? !exists : exists;
}

bool Predecoder::Decode(const ZipEntry& entry, EntryDecoder& decoder, std::vector<std::uint8_t>* data) const
{
    std::string detail;
    if (!CanDecode(entry, decoding_, &detail) || !reader_.CheckLocalName(entry, &detail))
        return false;
    EntryData located;
    if (!reader_.LocateData(entry, &located, &detail))
        return false;
    located.fileMapped = true;
    BufferSink sink(*data, entry.uncompressedSize);
    // Anything but a whole, checked member is the caller's to decode and
    // to report.
    return decoder.Decode(entry, located, password_, sink, &detail) == DecodeStatus::Ok &&
           data->size() == entry.uncompressedSize;
}

}  // namespace unzdll
