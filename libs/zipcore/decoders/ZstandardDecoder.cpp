// Zstandard members through libzstd's streaming decoder. A frame may ask
// for a window of at most kMethodMemoryLimit (1 GiB, 2^30 bytes); one
// asking for more is refused rather than taking the machine's memory.
// Several frames one after the other decode as one stream.
#include <new>

#include <zstd.h>
#include <zstd_errors.h>

#include "AllMethods.h"

namespace zipcore {

namespace {

constexpr int kWindowLogMax = 30;
static_assert(std::uint64_t(1) << kWindowLogMax == kMethodMemoryLimit);

class ZstandardDecoder final : public MethodDecoder {
public:
    ~ZstandardDecoder() override { ZSTD_freeDCtx(context_); }

    MethodResult Decode(const MethodMember&, CompressedInput& in, DecodedOutput& out, std::string* detail) override
    {
        if (!context_)
            context_ = ZSTD_createDCtx();
        if (!buffer_)
            buffer_.reset(new (std::nothrow) std::uint8_t[kOutput]);
        if (!context_ || !buffer_)
            return MethodResult::NoMemory;
        ZSTD_DCtx_reset(context_, ZSTD_reset_session_and_parameters);
        ZSTD_DCtx_setParameter(context_, ZSTD_d_windowLogMax, kWindowLogMax);

        ZSTD_inBuffer input{nullptr, 0, 0};
        bool inputEnded = false;
        std::size_t hint = 1;  // 0 once a frame has ended and nothing is pending
        for (;;) {
            if (input.pos == input.size && !inputEnded) {
                const std::uint8_t* data = nullptr;
                std::size_t len = 0;
                if (!in.Next(&data, &len))
                    return MethodResult::Stopped;
                input = ZSTD_inBuffer{data, len, 0};
                inputEnded = len == 0;
            }
            if (inputEnded && hint == 0)
                return MethodResult::Done;
            ZSTD_outBuffer output{buffer_.get(), kOutput, 0};
            const std::size_t before = input.pos;
            hint = ZSTD_decompressStream(context_, &output, &input);
            if (ZSTD_getErrorCode(hint) == ZSTD_error_frameParameter_windowTooLarge) {
                *detail = kMethodMemoryText;
                return MethodResult::TooLarge;
            }
            if (ZSTD_isError(hint)) {
                *detail = std::string("damaged Zstandard data: ") + ZSTD_getErrorName(hint);
                return MethodResult::Damaged;
            }
            if (output.pos && !out.Put(buffer_.get(), output.pos))
                return MethodResult::Stopped;
            if (inputEnded && hint != 0 && output.pos == 0 && input.pos == before) {
                *detail = "Zstandard data ends early";
                return MethodResult::Damaged;
            }
        }
    }

private:
    static constexpr std::size_t kOutput = std::size_t(256) << 10;
    ZSTD_DCtx* context_ = nullptr;
    std::unique_ptr<std::uint8_t[]> buffer_;
};

}  // namespace

std::unique_ptr<MethodDecoder> MakeZstandardDecoder() { return std::make_unique<ZstandardDecoder>(); }

}  // namespace zipcore
