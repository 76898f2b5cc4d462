// LZMA and XZ members through liblzma.
//
// An LZMA member starts with a 4-byte header (the writer's LZMA version,
// then the size of the properties, 5) and the properties (lc/lp/pb and the
// dictionary size); raw LZMA1 data follows, which ends with an end marker
// when general flag bit 1 is set and at the stated size otherwise. The
// dictionary is never made larger than the member's stated size, since no
// distance can reach further back than that, and one of more than
// kMethodMemoryLimit is refused before it is allocated.
//
// An XZ member is a whole .xz stream (or several); its decoder may use at
// most kMethodMemoryLimit, so that a stream asking for more is refused
// rather than taking the machine's memory.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

#include <lzma.h>

#include "AllMethods.h"
#include "zipformat/LittleEndian.h"

namespace zipcore {

namespace {

constexpr std::size_t kOutput = std::size_t(256) << 10;

// The liblzma stream behind both methods: set up by the caller, then fed
// from `in` until the stream ends.
class LzmaPump {
public:
    ~LzmaPump() { lzma_end(&stream_); }
    lzma_stream& Stream() { return stream_; }

    // Hands `pending` (bytes the caller already took from `in`) first.
    // `stated` is the size the decoder was told, if it was.
    MethodResult Run(const char* method, CompressedInput& in, DecodedOutput& out, std::uint8_t* buffer,
                     const std::uint8_t* pending, std::size_t pendingLen, std::uint64_t stated, std::string* detail)
    {
        stream_.next_in = pending;
        stream_.avail_in = pendingLen;
        bool inputEnded = false;
        for (;;) {
            if (stream_.avail_in == 0 && !inputEnded) {
                std::size_t len = 0;
                if (!in.Next(&stream_.next_in, &len))
                    return MethodResult::Stopped;
                stream_.avail_in = len;
                inputEnded = len == 0;
            }
            stream_.next_out = buffer;
            stream_.avail_out = kOutput;
            const lzma_ret rc = lzma_code(&stream_, inputEnded ? LZMA_FINISH : LZMA_RUN);
            const std::size_t produced = kOutput - stream_.avail_out;
            if (produced && !out.Put(buffer, produced))
                return MethodResult::Stopped;
            switch (rc) {
            case LZMA_OK: break;
            case LZMA_STREAM_END: return MethodResult::Done;
            case LZMA_MEM_ERROR: return MethodResult::NoMemory;
            case LZMA_MEMLIMIT_ERROR: *detail = kMethodMemoryText; return MethodResult::TooLarge;
            default:
                // A decoder told the size stops there and finds no end.
                *detail = rc == LZMA_DATA_ERROR && stream_.total_out == stated ? "data longer than the stated size"
                                                                              : Reason(method, rc);
                return MethodResult::Damaged;
            }
        }
    }

    static std::string Reason(const std::string& method, lzma_ret rc)
    {
        switch (rc) {
        case LZMA_BUF_ERROR: return method + " data ends early";
        case LZMA_FORMAT_ERROR: return "not " + method + " data (no " + method + " signature)";
        case LZMA_OPTIONS_ERROR: return method + " data with settings this reader does not know";
        case LZMA_DATA_ERROR: return "damaged " + method + " data";
        default: return method + " decoder failed (code " + std::to_string(int(rc)) + ")";
        }
    }

private:
    lzma_stream stream_ = LZMA_STREAM_INIT;
};

class BufferedDecoder : public MethodDecoder {
protected:
    std::uint8_t* Buffer()
    {
        if (!buffer_)
            buffer_.reset(new (std::nothrow) std::uint8_t[kOutput]);
        return buffer_.get();
    }

private:
    std::unique_ptr<std::uint8_t[]> buffer_;
};

class LzmaDecoder final : public BufferedDecoder {
public:
    MethodResult Decode(const MethodMember& member, CompressedInput& in, DecodedOutput& out,
                        std::string* detail) override
    {
        std::uint8_t* buffer = Buffer();
        if (!buffer)
            return MethodResult::NoMemory;
        // The header, gathered even when it straddles two pieces of input.
        std::uint8_t header[4 + 5];
        std::size_t have = 0, need = 4;
        const std::uint8_t* data = nullptr;
        std::size_t len = 0;
        while (have < need) {
            if (len == 0) {
                if (!in.Next(&data, &len))
                    return MethodResult::Stopped;
                if (len == 0) {
                    *detail = "LZMA data ends early (in its header)";
                    return MethodResult::Damaged;
                }
            }
            const std::size_t n = std::min(len, need - have);
            std::copy(data, data + n, header + have);
            have += n;
            data += n;
            len -= n;
            if (have == 4) {
                need = 4 + std::size_t(fernpack::Le16(header + 2));
                if (need != 4 + 5) {
                    *detail = "LZMA header with " + std::to_string(need - 4) + " bytes of properties (5 expected)";
                    return MethodResult::Damaged;
                }
            }
        }

        lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
        if (lzma_properties_decode(&filters[0], nullptr, header + 4, 5) != LZMA_OK) {
            *detail = "LZMA data with invalid properties";
            return MethodResult::Damaged;
        }
        auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
        struct Freer {
            void* p;
            ~Freer() { std::free(p); }
        } freer{options};
        options->dict_size = std::clamp<std::uint64_t>(member.uncompressedSize, LZMA_DICT_SIZE_MIN, options->dict_size);
        if (options->dict_size > kMethodMemoryLimit) {
            *detail = kMethodMemoryText;
            return MethodResult::TooLarge;
        }
        filters[0].id = LZMA_FILTER_LZMA1EXT;
        options->ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
        options->ext_size_low = std::uint32_t(member.uncompressedSize);
        options->ext_size_high = std::uint32_t(member.uncompressedSize >> 32);

        LzmaPump pump;
        switch (lzma_raw_decoder(&pump.Stream(), filters)) {
        case LZMA_OK: break;
        case LZMA_MEM_ERROR: return MethodResult::NoMemory;
        default: *detail = "LZMA data with settings this reader does not know"; return MethodResult::Damaged;
        }
        return pump.Run("LZMA", in, out, buffer, data, len, member.uncompressedSize, detail);
    }
};

class XzDecoder final : public BufferedDecoder {
public:
    MethodResult Decode(const MethodMember&, CompressedInput& in, DecodedOutput& out, std::string* detail) override
    {
        std::uint8_t* buffer = Buffer();
        if (!buffer)
            return MethodResult::NoMemory;
        LzmaPump pump;
        switch (lzma_stream_decoder(&pump.Stream(), kMethodMemoryLimit, LZMA_CONCATENATED)) {
        case LZMA_OK: break;
        case LZMA_MEM_ERROR: return MethodResult::NoMemory;
        default: *detail = "XZ decoder failed to start"; return MethodResult::Damaged;
        }
        return pump.Run("XZ", in, out, buffer, nullptr, 0, UINT64_MAX, detail);
    }
};

}  // namespace

std::unique_ptr<MethodDecoder> MakeLzmaDecoder() { return std::make_unique<LzmaDecoder>(); }
std::unique_ptr<MethodDecoder> MakeXzDecoder() { return std::make_unique<XzDecoder>(); }

}  // namespace zipcore
