#include "SteppedSink.h"

namespace zipcore {

SteppedSink::SteppedSink(OutputSink* inner, std::uint64_t size, std::function<bool()> step)
    : inner_(inner), size_(size), steps_(ProgressSteps(size)), step_(std::move(step))
{
}

std::uint64_t SteppedSink::Boundary(std::uint64_t k) const
{
    // k * size / steps without overflow: steps <= size / ProgressStepBytes
    // when above 1.
    return steps_ == 1 ? size_ : (size_ / steps_) * k + (size_ % steps_) * k / steps_;
}

bool SteppedSink::TakeStepsUpTo(std::uint64_t written)
{
    // The last step is kept for Finish, which runs once the data is checked.
    while (taken_ + 1 < steps_ && Boundary(taken_ + 1) <= written) {
        ++taken_;
        if (!step_()) {
            stopped_ = true;
            return false;
        }
    }
    return true;
}

bool SteppedSink::Write(const std::uint8_t* data, std::size_t len)
{
    if (stopped_)
        return false;
    while (len > 0) {
        std::uint64_t piece = len;
        if (taken_ + 1 < steps_) {
            std::uint64_t next = Boundary(taken_ + 1);
            if (next > written_ && next - written_ < piece)
                piece = next - written_;
        }
        if (inner_ && !inner_->Write(data, std::size_t(piece)))
            return false;
        written_ += piece;
        data += piece;
        len -= std::size_t(piece);
        if (!TakeStepsUpTo(written_))
            return false;
    }
    return true;
}

bool SteppedSink::Finish()
{
    while (!stopped_ && taken_ < steps_) {
        ++taken_;
        if (!step_())
            stopped_ = true;
    }
    return !stopped_;
}

}  // namespace zipcore
