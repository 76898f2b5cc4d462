// Decoding one entry's data: decryption (traditional PKWARE or WinZip AES),
// then stored or deflated data, or any method of the MethodTable the caller
// hands in (decoders/MethodDecoder.h), checked against the stored CRC-32
// (and the AES authentication code), handed to an OutputSink in pieces.
//
// Deflated entries whose data fits the memory bound are inflated in one call
// by libdeflate straight from the mapped archive; larger ones stream through
// zlib in fixed-size pieces, so memory stays bounded whatever the archive
// says; the other methods always stream. Output never exceeds the stated
// uncompressed size: longer data is an error before it reaches the sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ArchiveReader.h"
#include "CryptoProvider.h"
#include "decoders/MethodDecoder.h"

struct libdeflate_decompressor;

namespace zipcore {

class OutputSink {
public:
    virtual ~OutputSink() = default;
    // False stops decoding (a write error or a request to stop).
    virtual bool Write(const std::uint8_t* data, std::size_t len) = 0;
};

enum class DecodeStatus {
    Ok,
    Unsupported,    // method, encryption or flags this core cannot read
    NeedPassword,   // encrypted and no password given
    WrongPassword,  // the password check failed
    BadData,        // damaged compressed data, sizes that do not agree
    BadCrc,         // data decoded but its CRC-32 or AES code is wrong
    SinkStopped,    // the sink refused more data
    Failed,         // a library or memory failure
};

struct DecoderOptions {
    // Entries up to this uncompressed size are inflated in one piece.
    std::size_t memoryBound = std::size_t(64) << 20;
    // Needed for AES entries; without it they are Unsupported.
    CryptoProvider* crypto = nullptr;
    // Methods beyond stored and deflate; without a table, or for a method
    // not in it, entries are Unsupported with the method named.
    const MethodTable* methods = nullptr;
};

// True when this core, with these options, decodes data packed by `method`.
bool CanDecodeMethod(std::uint16_t method, const DecoderOptions& options);

// True when this core can decode the entry's method and encryption; a reason
// otherwise. Says nothing about the data itself.
bool CanDecode(const ZipEntry& entry, const DecoderOptions& options, std::string* reason);

// Whether decoding an entry may take working memory up to the 1 GiB every
// method is capped at (LZMA's dictionary, XZ's, Zstandard's window), rather
// than the few megabytes Deflate, Deflate64 and BZip2 keep.
inline bool MayNeedMuchMemory(const ZipEntry& entry)
{
    const std::uint16_t method = entry.DataMethod();
    return method != zip::MethodStored && method != zip::MethodDeflated && method != zip::MethodDeflate64 &&
           method != zip::MethodBzip2;
}

class EntryDecoder {
public:
    explicit EntryDecoder(DecoderOptions options = {});
    ~EntryDecoder();
    EntryDecoder(const EntryDecoder&) = delete;
    EntryDecoder& operator=(const EntryDecoder&) = delete;

    DecodeStatus Decode(const ZipEntry& entry, const EntryData& data, std::string_view password, OutputSink& sink,
                        std::string* detail);

private:
    class Payload;
    DecodeStatus DecodeStored(const ZipEntry& entry, Payload& payload, OutputSink& sink, std::uint32_t* crc,
                              std::string* detail);
    DecodeStatus InflateWhole(const ZipEntry& entry, Payload& payload, OutputSink& sink, std::uint32_t* crc,
                              std::string* detail);
    DecodeStatus InflateStreaming(const ZipEntry& entry, Payload& payload, OutputSink& sink, std::uint32_t* crc,
                                  std::string* detail);
    DecodeStatus DecodeOtherMethod(const ZipEntry& entry, Payload& payload, OutputSink& sink, std::uint32_t* crc,
                                   std::string* detail);
    std::uint8_t* Buffer(std::unique_ptr<std::uint8_t[]>& buffer, std::size_t& capacity, std::size_t size);

    DecoderOptions options_;
    libdeflate_decompressor* inflater_ = nullptr;
    std::unique_ptr<std::uint8_t[]> output_;
    std::size_t outputCapacity_ = 0;
    std::unique_ptr<std::uint8_t[]> input_;
    std::size_t inputCapacity_ = 0;
};

}  // namespace zipcore
