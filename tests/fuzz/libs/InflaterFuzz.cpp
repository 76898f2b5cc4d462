// Our streaming inflater against arbitrary bytes, cut into pieces of a size
// the first byte picks. As Deflate64 it must end cleanly, handing on no
// more than the output bound. As plain deflate it must agree with zlib:
// the same streams accepted, the same bytes out.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <zlib.h>

#include "libs/zipcore/decoders/Inflater.h"

namespace {

using namespace zipcore;

constexpr std::size_t kOutputBound = std::size_t(1) << 20;

class Pieces final : public CompressedInput {
public:
    Pieces(const std::uint8_t* data, std::size_t size, std::size_t piece) : data_(data), size_(size), piece_(piece) {}
    bool Next(const std::uint8_t** data, std::size_t* len) override
    {
        *data = data_ + at_;
        *len = std::min(piece_, size_ - at_);
        at_ += *len;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_, piece_, at_ = 0;
};

// Keeps what it is handed, up to the bound, in a buffer made once.
class Collect final : public DecodedOutput {
public:
    explicit Collect(std::string& bytes) : bytes(bytes) { bytes.clear(); }
    bool Put(const std::uint8_t* data, std::size_t len) override
    {
        if (len > kOutputBound - bytes.size()) {
            full = true;
            return false;
        }
        bytes.append(reinterpret_cast<const char*>(data), len);
        return true;
    }
    std::string& bytes;
    bool full = false;
};

// zlib's verdict: true with the output when the stream ends within the bound;
// *full when the bound stopped it first.
bool Zlib(const std::uint8_t* data, std::size_t size, std::string* out, bool* full)
{
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
        abort();
    out->resize(kOutputBound + 1);
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = uInt(size);
    zs.next_out = reinterpret_cast<Bytef*>(out->data());
    zs.avail_out = uInt(out->size());
    int rc = inflate(&zs, Z_FINISH);
    out->resize(zs.total_out);
    inflateEnd(&zs);
    *full = out->size() > kOutputBound;
    return rc == Z_STREAM_END && !*full;
}

Inflater deflate64Inflater(true);
Inflater deflateInflater(false);
std::string ours, theirs;  // kept from run to run: no allocation per input

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t piece = 1 + (data[0] % 64 == 0 ? size : data[0] % 64);
    ++data;
    --size;

    const char* reason = nullptr;
    {
        Pieces in(data, size, piece);
        Collect out(ours);
        MethodResult r = deflate64Inflater.Run(in, out, &reason);
        if (out.bytes.size() > kOutputBound || (r == MethodResult::Stopped) != out.full)
            abort();
    }

    Pieces in(data, size, piece);
    Collect out(ours);
    MethodResult r = deflateInflater.Run(in, out, &reason);
    bool theirsFull = false;
    bool theirsOk = Zlib(data, size, &theirs, &theirsFull);
    if (out.full || theirsFull)
        return 0;  // stopped by the bound: where each notices damage may differ
    if ((r == MethodResult::Done) != theirsOk)
        abort();
    if (theirsOk && ours != theirs)
        abort();
    return 0;
}
