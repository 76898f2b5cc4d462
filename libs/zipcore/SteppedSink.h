// Progress steps spread over one file's data: a file of `size` bytes gets
// exactly ProgressSteps(size) steps (one per 32,768 bytes, at least one), the k-th once k/steps of its bytes
// have passed (the last one by Finish), so a caller's progress bar moves with
// the data and the count of steps is known in advance. Writes are cut at
// step boundaries so that the steps interleave with the data.
#pragma once

#include <cstdint>
#include <functional>

#include "EntryDecoder.h"
#include "abi/ProgressSteps.h"

namespace zipcore {

// The core counts sizes unsigned, 64 bits wide.
inline std::uint64_t ProgressSteps(std::uint64_t size) { return fernpack::ProgressSteps(size); }

class SteppedSink final : public OutputSink {
public:
    // `step` returns false to stop; `inner` may be null (data is dropped).
    SteppedSink(OutputSink* inner, std::uint64_t size, std::function<bool()> step);
    bool Write(const std::uint8_t* data, std::size_t len) override;
    // Takes the steps not taken yet; false when a step asked to stop.
    bool Finish();
    bool Stopped() const { return stopped_; }

private:
    bool TakeStepsUpTo(std::uint64_t written);
    std::uint64_t Boundary(std::uint64_t k) const;

    OutputSink* inner_;
    std::uint64_t size_;
    std::uint64_t steps_;
    std::uint64_t taken_ = 0;
    std::uint64_t written_ = 0;
    std::function<bool()> step_;
    bool stopped_ = false;
};

}  // namespace zipcore
