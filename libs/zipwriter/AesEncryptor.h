// WinZip AES-256 encryption of one member's data: a fresh random salt from
// the operating system, keys and the 2-byte password check derived with
// PBKDF2-HMAC-SHA1 (1,000 rounds), AES in the format's counter mode (little-
// endian counter from 1) and the 10-byte HMAC-SHA1 code over the encrypted
// bytes. The member's data is Header(), the encrypted bytes, then the code.
// Any failure of the crypto library is reported, never papered over: data
// that is meant to be encrypted is never written in clear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "libs/zipcore/CryptoProvider.h"

namespace zipwriter {

constexpr std::size_t kAesSaltSize = 16;  // AES-256
constexpr std::size_t kAesHeaderSize = kAesSaltSize + 2;
constexpr std::size_t kAesCodeSize = 10;
constexpr std::size_t kAesOverhead = kAesHeaderSize + kAesCodeSize;
constexpr std::uint8_t kAesStrength256 = 3;

class AesEncryptor {
public:
    bool Init(zipcore::CryptoProvider& crypto, std::string_view password, std::string* error);
    const std::uint8_t* Header() const { return header_; }
    // Encrypts in place.
    bool Encrypt(std::uint8_t* data, std::size_t len);
    bool Finish(std::uint8_t* code10);

private:
    bool Refill();
    std::uint8_t header_[kAesHeaderSize] = {};
    std::unique_ptr<zipcore::BlockEncryptor> cipher_;
    std::unique_ptr<zipcore::MessageAuthenticator> mac_;
    std::uint64_t counter_ = 0;
    static constexpr std::size_t kBatchBlocks = 256;
    std::uint8_t counters_[kBatchBlocks * 16] = {};
    std::uint8_t keystream_[kBatchBlocks * 16] = {};
    std::size_t used_ = sizeof(keystream_);
};

}  // namespace zipwriter
