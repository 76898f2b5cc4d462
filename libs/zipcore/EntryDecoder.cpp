#include "EntryDecoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

#include <libdeflate.h>
#include <zlib.h>

#include "AesDecryptor.h"
#include "Crc32.h"
#include "MappedFile.h"
#include "ZipCrypto.h"
#include "zipformat/Methods.h"

namespace zipcore {

namespace {

constexpr std::size_t kChunk = std::size_t(256) << 10;
// Buffers up to this size are kept from one member to the next; a larger
// one (a big member inflated whole) goes before the next member starts, so
// it never adds to what that member needs.
constexpr std::size_t kKeptBuffer = std::size_t(8) << 20;

}  // namespace

bool CanDecodeMethod(std::uint16_t method, const DecoderOptions& options)
{
    return method == zip::MethodStored || method == zip::MethodDeflated || (options.methods && options.methods->Find(method));
}

bool CanDecode(const ZipEntry& entry, const DecoderOptions& options, std::string* reason)
{
    if (entry.flags & zip::FlagStrongEncryption) {
        *reason = "strong (certificate) encryption is not supported";
        return false;
    }
    if (entry.method == zip::MethodAes) {
        if (!entry.aes.present) {
            *reason = "AES entry without its AES description";
            return false;
        }
        if (AesSaltSize(entry.aes.strength) == 0) {
            *reason = "unknown AES key strength " + std::to_string(entry.aes.strength);
            return false;
        }
        if (!options.crypto) {
            *reason = "AES encryption is not available";
            return false;
        }
    }
    if (!CanDecodeMethod(entry.DataMethod(), options)) {
        *reason = zip::UnsupportedMethodText(entry.DataMethod());
        return false;
    }
    return true;
}

// The entry's data after decryption, read whole or piece by piece.
class EntryDecoder::Payload {
public:
    Payload(const std::uint8_t* data, std::uint64_t size, bool fileMapped)
        : data_(data), size_(size), fileMapped_(fileMapped)
    {
    }

    // A large entry's pages go once it is decoded (a small one's go with
    // the pages around it, which its caller drops every few megabytes).
    ~Payload()
    {
        if (fileMapped_ && read_ - released_ >= kReleaseAlone)
            ReleaseMappedPages(data_ + released_, data_ + read_);
    }
    Payload(const Payload&) = delete;
    Payload& operator=(const Payload&) = delete;

    void UseZipCrypto(const ZipCryptoDecryptor& keys) { zipCrypto_.emplace(keys); }
    void UseAes(std::unique_ptr<AesDecryptor> aes) { aes_ = std::move(aes); }
    AesDecryptor* Aes() { return aes_.get(); }
    bool Encrypted() const { return zipCrypto_ || aes_; }
    std::uint64_t Size() const { return size_; }
    std::uint64_t Remaining() const { return size_ - read_; }

    // The next piece of plain data, up to `max` bytes (its length in
    // *count, 0 at the end): a pointer into the archive, or into `scratch`
    // (room for `max` bytes) once decrypted; nullptr when decryption fails.
    const std::uint8_t* Next(std::uint8_t* scratch, std::size_t max, std::size_t* count)
    {
        // Every piece handed out before has been consumed by now: a mapped
        // archive's pages behind this one may go.
        if (fileMapped_ && read_ - released_ >= kReleaseWindow) {
            ReleaseMappedPages(data_ + released_, data_ + read_);
            released_ = read_;
        }
        std::size_t n = std::size_t(std::min<std::uint64_t>(max, size_ - read_));
        const std::uint8_t* in = data_ + read_;
        read_ += n;
        *count = n;
        if (zipCrypto_) {
            zipCrypto_->Decrypt(in, scratch, n);
            return scratch;
        }
        if (aes_)
            return aes_->Decrypt(in, scratch, n) ? scratch : nullptr;
        return in;
    }

private:
    static constexpr std::uint64_t kReleaseWindow = std::uint64_t(8) << 20;
    static constexpr std::uint64_t kReleaseAlone = std::uint64_t(1) << 20;
    const std::uint8_t* data_;
    std::uint64_t size_;
    std::uint64_t read_ = 0;
    bool fileMapped_;
    std::uint64_t released_ = 0;
    std::optional<ZipCryptoDecryptor> zipCrypto_;
    std::unique_ptr<AesDecryptor> aes_;
};

EntryDecoder::EntryDecoder(DecoderOptions options) : options_(options) {}

EntryDecoder::~EntryDecoder()
{
    if (inflater_)
        libdeflate_free_decompressor(inflater_);
}

std::uint8_t* EntryDecoder::Buffer(std::unique_ptr<std::uint8_t[]>& buffer, std::size_t& capacity, std::size_t size)
{
    if (capacity < size || !buffer) {
        buffer.reset();
        capacity = 0;
        buffer.reset(new (std::nothrow) std::uint8_t[std::max<std::size_t>(size, 1)]);
        if (!buffer)
            return nullptr;
        capacity = std::max<std::size_t>(size, 1);
    }
    return buffer.get();
}

DecodeStatus EntryDecoder::Decode(const ZipEntry& entry, const EntryData& data, std::string_view password,
                                  OutputSink& sink, std::string* detail)
{
    if (outputCapacity_ > kKeptBuffer) {
        output_.reset();
        outputCapacity_ = 0;
    }
    if (inputCapacity_ > kKeptBuffer) {
        input_.reset();
        inputCapacity_ = 0;
    }
    if (!CanDecode(entry, options_, detail))
        return DecodeStatus::Unsupported;

    std::uint64_t start = 0, end = data.size;
    std::optional<ZipCryptoDecryptor> zipCrypto;
    std::unique_ptr<AesDecryptor> aes;
    bool checkCrc = true;
    if (entry.NeedsPassword()) {
        if (password.empty()) {
            *detail = "password required";
            return DecodeStatus::NeedPassword;
        }
    }
    if (entry.method == zip::MethodAes) {
        std::size_t saltLen = AesSaltSize(entry.aes.strength);
        if (data.size < saltLen + kAesPasswordCheckSize + kAesMacSize) {
            *detail = "encrypted data too short";
            return DecodeStatus::BadData;
        }
        aes = std::make_unique<AesDecryptor>();
        switch (aes->Init(*options_.crypto, password, entry.aes.strength, data.data, data.data + saltLen)) {
        case AesDecryptor::InitResult::Ok:
            break;
        case AesDecryptor::InitResult::WrongPassword:
            *detail = "wrong password";
            return DecodeStatus::WrongPassword;
        case AesDecryptor::InitResult::Failed:
            *detail = "AES decryption failed";
            return DecodeStatus::Failed;
        }
        start = saltLen + kAesPasswordCheckSize;
        end = data.size - kAesMacSize;
        // AE-2 leaves the CRC out (0); the authentication code replaces it.
        checkCrc = entry.aes.vendorVersion != 2;
    } else if (entry.IsEncrypted()) {
        if (data.size < kZipCryptoHeaderSize) {
            *detail = "encrypted data too short";
            return DecodeStatus::BadData;
        }
        zipCrypto.emplace(password);
        // With a data descriptor the writer did not know the CRC yet, so
        // the check byte comes from the modification time instead.
        std::uint8_t check = (entry.flags & zip::FlagDataDescriptor) ? std::uint8_t(entry.dosTime >> 8)
                                                                 : std::uint8_t(entry.crc >> 24);
        if (!zipCrypto->CheckHeader(data.data, check)) {
            *detail = "wrong password";
            return DecodeStatus::WrongPassword;
        }
        start = kZipCryptoHeaderSize;
    }

    Payload payload(data.data + start, end - start, data.fileMapped);
    if (zipCrypto)
        payload.UseZipCrypto(*zipCrypto);
    if (aes)
        payload.UseAes(std::move(aes));

    std::uint32_t crc = 0;
    DecodeStatus status;
    if (entry.DataMethod() == zip::MethodStored)
        status = DecodeStored(entry, payload, sink, &crc, detail);
    else if (entry.DataMethod() != zip::MethodDeflated)
        status = DecodeOtherMethod(entry, payload, sink, &crc, detail);
    else if (entry.uncompressedSize <= options_.memoryBound &&
             (!payload.Encrypted() || payload.Size() <= options_.memoryBound))
        status = InflateWhole(entry, payload, sink, &crc, detail);
    else
        status = InflateStreaming(entry, payload, sink, &crc, detail);
    if (status != DecodeStatus::Ok)
        return status;

    if (AesDecryptor* cipher = payload.Aes()) {
        // Whatever the decoder left unread still counts for the code.
        std::uint8_t scratch[4096];
        while (payload.Remaining() > 0) {
            std::size_t n = 0;
            if (!payload.Next(scratch, sizeof(scratch), &n)) {
                *detail = "AES decryption failed";
                return DecodeStatus::Failed;
            }
        }
        if (!cipher->CheckMac(data.data + data.size - kAesMacSize)) {
            *detail = "authentication code mismatch (wrong password or damaged data)";
            return DecodeStatus::BadCrc;
        }
    }
    if (checkCrc && crc != entry.crc) {
        char text[80];
        std::snprintf(text, sizeof(text), "bad CRC %08x (should be %08x)", unsigned(crc), unsigned(entry.crc));
        *detail = payload.Encrypted() && !payload.Aes() ? std::string(text) + " (wrong password?)" : text;
        return DecodeStatus::BadCrc;
    }
    return DecodeStatus::Ok;
}

DecodeStatus EntryDecoder::DecodeStored(const ZipEntry& entry, Payload& payload, OutputSink& sink,
                                        std::uint32_t* crc, std::string* detail)
{
    if (payload.Size() != entry.uncompressedSize) {
        *detail = "stored data size " + std::to_string(payload.Size()) + " differs from the stated size " +
                  std::to_string(entry.uncompressedSize);
        return DecodeStatus::BadData;
    }
    std::uint8_t* scratch = nullptr;
    if (payload.Encrypted() && !(scratch = Buffer(input_, inputCapacity_, kChunk))) {
        *detail = "out of memory";
        return DecodeStatus::Failed;
    }
    constexpr std::size_t kPiece = std::size_t(1) << 20;
    while (payload.Remaining() > 0) {
        std::size_t n = 0;
        const std::uint8_t* piece = payload.Next(scratch, scratch ? kChunk : kPiece, &n);
        if (!piece) {
            *detail = "decryption failed";
            return DecodeStatus::Failed;
        }
        *crc = Crc32(*crc, piece, n);
        if (!sink.Write(piece, n))
            return DecodeStatus::SinkStopped;
    }
    return DecodeStatus::Ok;
}

DecodeStatus EntryDecoder::InflateWhole(const ZipEntry& entry, Payload& payload, OutputSink& sink,
                                        std::uint32_t* crc, std::string* detail)
{
    if (!inflater_ && !(inflater_ = libdeflate_alloc_decompressor())) {
        *detail = "out of memory";
        return DecodeStatus::Failed;
    }
    std::size_t inSize = std::size_t(payload.Size());
    const std::uint8_t* in;
    if (payload.Encrypted()) {
        std::uint8_t* buffer = Buffer(input_, inputCapacity_, inSize);
        std::size_t n = 0;
        if (!buffer || !(in = payload.Next(buffer, inSize, &n))) {
            *detail = buffer ? "decryption failed" : "out of memory";
            return DecodeStatus::Failed;
        }
    } else {
        std::size_t n = 0;
        in = payload.Next(nullptr, inSize, &n);
    }
    std::size_t outSize = std::size_t(entry.uncompressedSize);
    std::uint8_t* out = Buffer(output_, outputCapacity_, outSize);
    if (!out) {
        *detail = "out of memory";
        return DecodeStatus::Failed;
    }
    std::size_t produced = 0;
    libdeflate_result result = libdeflate_deflate_decompress(inflater_, in, inSize, out, outSize, &produced);
    if (result != LIBDEFLATE_SUCCESS || produced != outSize) {
        *detail = result == LIBDEFLATE_INSUFFICIENT_SPACE ? "data longer than the stated size"
                  : result == LIBDEFLATE_SUCCESS          ? "data shorter than the stated size"
                                                          : "damaged compressed data";
        return DecodeStatus::BadData;
    }
    // Checksum and hand over piece by piece, so the bytes are still in the
    // cache when the sink copies them.
    constexpr std::size_t kPiece = std::size_t(1) << 20;
    for (std::size_t at = 0; at < outSize; at += kPiece) {
        std::size_t n = std::min(kPiece, outSize - at);
        *crc = Crc32(*crc, out + at, n);
        if (!sink.Write(out + at, n))
            return DecodeStatus::SinkStopped;
    }
    return DecodeStatus::Ok;
}

DecodeStatus EntryDecoder::InflateStreaming(const ZipEntry& entry, Payload& payload, OutputSink& sink,
                                            std::uint32_t* crc, std::string* detail)
{
    std::uint8_t* scratch = Buffer(input_, inputCapacity_, kChunk);
    std::uint8_t* out = Buffer(output_, outputCapacity_, kChunk);
    if (!scratch || !out) {
        *detail = "out of memory";
        return DecodeStatus::Failed;
    }
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) {
        *detail = "inflater failed to start";
        return DecodeStatus::Failed;
    }
    struct Ender {
        z_stream* zs;
        ~Ender() { inflateEnd(zs); }
    } ender{&zs};

    std::uint64_t total = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (zs.avail_in == 0) {
            if (payload.Remaining() == 0) {
                *detail = "compressed data ends early";
                return DecodeStatus::BadData;
            }
            std::size_t n = 0;
            const std::uint8_t* in = payload.Next(scratch, kChunk, &n);
            if (!in) {
                *detail = "decryption failed";
                return DecodeStatus::Failed;
            }
            zs.next_in = const_cast<Bytef*>(in);
            zs.avail_in = uInt(n);
        }
        zs.next_out = out;
        zs.avail_out = uInt(kChunk);
        rc = inflate(&zs, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            *detail = "damaged compressed data";
            return DecodeStatus::BadData;
        }
        std::size_t n = kChunk - zs.avail_out;
        if (rc == Z_BUF_ERROR && n == 0 && zs.avail_in != 0) {
            *detail = "damaged compressed data";
            return DecodeStatus::BadData;
        }
        if (n > entry.uncompressedSize - total) {
            *detail = "data longer than the stated size";
            return DecodeStatus::BadData;
        }
        total += n;
        *crc = Crc32(*crc, out, n);
        if (n && !sink.Write(out, n))
            return DecodeStatus::SinkStopped;
    }
    if (total != entry.uncompressedSize) {
        *detail = "data shorter than the stated size";
        return DecodeStatus::BadData;
    }
    return DecodeStatus::Ok;
}

namespace {

// A method decoder's output, checked against the stated size and summed
// into the CRC-32 on its way to the sink.
class CheckedOutput final : public DecodedOutput {
public:
    CheckedOutput(std::uint64_t size, OutputSink& sink, std::uint32_t* crc) : left_(size), sink_(sink), crc_(crc) {}
    bool Put(const std::uint8_t* data, std::size_t len) override
    {
        if (len > left_) {
            tooLong_ = true;
            return false;
        }
        left_ -= len;
        *crc_ = Crc32(*crc_, data, len);
        sinkStopped_ = !sink_.Write(data, len);
        return !sinkStopped_;
    }
    std::uint64_t Left() const { return left_; }
    bool TooLong() const { return tooLong_; }
    bool SinkStopped() const { return sinkStopped_; }

private:
    std::uint64_t left_;
    OutputSink& sink_;
    std::uint32_t* crc_;
    bool tooLong_ = false, sinkStopped_ = false;
};

}  // namespace

DecodeStatus EntryDecoder::DecodeOtherMethod(const ZipEntry& entry, Payload& payload, OutputSink& sink,
                                             std::uint32_t* crc, std::string* detail)
{
    // One decoder for this member alone: its memory goes when the member ends.
    MethodFactory make = options_.methods ? options_.methods->Find(entry.DataMethod()) : nullptr;
    std::unique_ptr<MethodDecoder> decoder = make ? make() : nullptr;
    if (!decoder) {
        *detail = zip::UnsupportedMethodText(entry.DataMethod());
        return DecodeStatus::Unsupported;
    }
    std::uint8_t* scratch = nullptr;
    if (payload.Encrypted() && !(scratch = Buffer(input_, inputCapacity_, kChunk))) {
        *detail = "out of memory";
        return DecodeStatus::Failed;
    }
    // The payload, piece by piece, decrypted where it must be.
    class PayloadInput final : public CompressedInput {
    public:
        PayloadInput(Payload& payload, std::uint8_t* scratch) : payload_(payload), scratch_(scratch) {}
        bool Next(const std::uint8_t** data, std::size_t* len) override
        {
            *data = nullptr;
            *len = 0;
            if (payload_.Remaining() == 0)
                return true;
            *data = payload_.Next(scratch_, kChunk, len);
            failed_ = *data == nullptr;
            return !failed_;
        }
        bool Failed() const { return failed_; }

    private:
        Payload& payload_;
        std::uint8_t* scratch_;
        bool failed_ = false;
    } input(payload, scratch);
    CheckedOutput output(entry.uncompressedSize, sink, crc);
    MethodMember member;
    member.uncompressedSize = entry.uncompressedSize;
    switch (decoder->Decode(member, input, output, detail)) {
    case MethodResult::Done:
        if (output.Left() != 0) {
            *detail = "data shorter than the stated size";
            return DecodeStatus::BadData;
        }
        return DecodeStatus::Ok;
    case MethodResult::Damaged:
        return DecodeStatus::BadData;
    case MethodResult::NoMemory:
        *detail = "out of memory";
        return DecodeStatus::Failed;
    case MethodResult::TooLarge:
        return DecodeStatus::Unsupported;
    case MethodResult::Stopped:
        break;
    }
    if (output.SinkStopped())
        return DecodeStatus::SinkStopped;
    if (output.TooLong()) {
        *detail = "data longer than the stated size";
        return DecodeStatus::BadData;
    }
    *detail = input.Failed() ? "decryption failed" : "the decoder stopped";
    return DecodeStatus::Failed;
}

}  // namespace zipcore
