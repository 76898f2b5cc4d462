// BZip2 members through libbz2's streaming decompressor: about 3.6 MB of
// working memory at the largest block size, whatever the member's size.
#include <new>

#include <bzlib.h>

#include "AllMethods.h"

namespace zipcore {

namespace {

constexpr std::size_t kOutput = std::size_t(256) << 10;

class Bzip2Decoder final : public MethodDecoder {
public:
    MethodResult Decode(const MethodMember&, CompressedInput& in, DecodedOutput& out, std::string* detail) override
    {
        if (!buffer_)
            buffer_.reset(new (std::nothrow) std::uint8_t[kOutput]);
        if (!buffer_)
            return MethodResult::NoMemory;
        bz_stream stream{};
        switch (BZ2_bzDecompressInit(&stream, 0, 0)) {
        case BZ_OK: break;
        case BZ_MEM_ERROR: return MethodResult::NoMemory;
        default: *detail = "BZip2 decoder failed to start"; return MethodResult::Damaged;
        }
        struct Ender {
            bz_stream* stream;
            ~Ender() { BZ2_bzDecompressEnd(stream); }
        } ender{&stream};

        bool inputEnded = false;
        for (;;) {
            if (stream.avail_in == 0 && !inputEnded) {
                const std::uint8_t* data = nullptr;
                std::size_t len = 0;
                if (!in.Next(&data, &len))
                    return MethodResult::Stopped;
                inputEnded = len == 0;
                // The input comes in pieces far below 4 GiB.
                stream.next_in = const_cast<char*>(reinterpret_cast<const char*>(data));
                stream.avail_in = unsigned(len);
            }
            stream.next_out = reinterpret_cast<char*>(buffer_.get());
            stream.avail_out = unsigned(kOutput);
            const int rc = BZ2_bzDecompress(&stream);
            const std::size_t produced = kOutput - stream.avail_out;
            if (produced && !out.Put(buffer_.get(), produced))
                return MethodResult::Stopped;
            if (rc == BZ_STREAM_END)
                return MethodResult::Done;
            if (rc == BZ_MEM_ERROR)
                return MethodResult::NoMemory;
            if (rc != BZ_OK) {
                *detail = rc == BZ_DATA_ERROR_MAGIC ? "not BZip2 data (no BZip2 signature)"
                          : rc == BZ_DATA_ERROR     ? "damaged BZip2 data (a block check failed)"
                                                    : "damaged BZip2 data";
                return MethodResult::Damaged;
            }
            if (inputEnded && stream.avail_in == 0 && produced == 0) {
                *detail = "BZip2 data ends early";
                return MethodResult::Damaged;
            }
        }
    }

private:
    std::unique_ptr<std::uint8_t[]> buffer_;
};

}  // namespace

std::unique_ptr<MethodDecoder> MakeBzip2Decoder() { return std::make_unique<Bzip2Decoder>(); }

}  // namespace zipcore
