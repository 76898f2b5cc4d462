// The few libdeflate calls the ZIP core makes (one-shot raw inflate and
// CRC-32), answered by zlib. The stub links the core's decoder unchanged but
// must start with zlib alone, so these stand in for libdeflate here; the
// results follow libdeflate's contract, which the decoder relies on.
#include <cstdint>
#include <cstdlib>
#include <limits>

#include <libdeflate.h>
#include <zlib.h>

struct libdeflate_decompressor {
    z_stream stream;
    bool ready;
};

extern "C" {

libdeflate_decompressor* libdeflate_alloc_decompressor(void)
{
    auto* d = static_cast<libdeflate_decompressor*>(std::calloc(1, sizeof(libdeflate_decompressor)));
    if (d && inflateInit2(&d->stream, -MAX_WBITS) == Z_OK)
        d->ready = true;
    else if (d) {
        std::free(d);
        d = nullptr;
    }
    return d;
}

void libdeflate_free_decompressor(libdeflate_decompressor* d)
{
    if (!d)
        return;
    if (d->ready)
        inflateEnd(&d->stream);
    std::free(d);
}

libdeflate_result libdeflate_deflate_decompress(libdeflate_decompressor* d, const void* in, size_t inBytes, void* out,
                                                size_t outAvail, size_t* actualOut)
{
    constexpr size_t kMax = std::numeric_limits<uInt>::max();
    if (!d || !d->ready || inBytes > kMax || outAvail > kMax)
        return LIBDEFLATE_BAD_DATA;
    z_stream& zs = d->stream;
    if (inflateReset(&zs) != Z_OK)
        return LIBDEFLATE_BAD_DATA;
    zs.next_in = static_cast<Bytef*>(const_cast<void*>(in));
    zs.avail_in = uInt(inBytes);
    zs.next_out = static_cast<Bytef*>(out);
    zs.avail_out = uInt(outAvail);
    int rc = inflate(&zs, Z_FINISH);
    if (rc == Z_BUF_ERROR && zs.avail_out == 0) {
        // The buffer is full; the stream may still end without more output.
        Bytef probe;
        zs.next_out = &probe;
        zs.avail_out = 1;
        rc = inflate(&zs, Z_FINISH);
        if (zs.avail_out == 0)
            return LIBDEFLATE_INSUFFICIENT_SPACE;
    }
    if (rc != Z_STREAM_END)
        return LIBDEFLATE_BAD_DATA;
    size_t produced = size_t(zs.total_out);
    if (actualOut)
        *actualOut = produced;
    else if (produced != outAvail)
        return LIBDEFLATE_SHORT_OUTPUT;
    return LIBDEFLATE_SUCCESS;
}

uint32_t libdeflate_crc32(uint32_t crc, const void* buffer, size_t len)
{
    if (!buffer)
        return 0;
    return uint32_t(crc32_z(crc, static_cast<const Bytef*>(buffer), len));
}

}  // extern "C"
