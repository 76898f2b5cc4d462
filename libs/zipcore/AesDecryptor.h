// WinZip AES decryption (AE-1 and AE-2, 128/192/256-bit keys): key and
// password-check derivation from the salt, AES in the format's counter mode
// (little-endian counter from 1) and the 10-byte HMAC-SHA1 check over the
// encrypted data. Uses a CryptoProvider for the primitives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "CryptoProvider.h"

namespace zipcore {

constexpr std::size_t kAesPasswordCheckSize = 2;
constexpr std::size_t kAesMacSize = 10;

// Salt length for strength 1, 2, 3; 0 for anything else.
std::size_t AesSaltSize(unsigned strength);

class AesDecryptor {
public:
    enum class InitResult { Ok, WrongPassword, Failed };
    // `salt` holds AesSaltSize(strength) bytes, `check` the 2 stored bytes.
    InitResult Init(CryptoProvider& crypto, std::string_view password, unsigned strength,
                    const std::uint8_t* salt, const std::uint8_t* check);
    bool Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t len);
    // True when the stored 10-byte code matches the data seen so far.
    bool CheckMac(const std::uint8_t* stored);

private:
    bool RefillKeystream();
    std::unique_ptr<BlockEncryptor> cipher_;
    std::unique_ptr<MessageAuthenticator> mac_;
    std::uint64_t counter_ = 0;
    static constexpr std::size_t kBatchBlocks = 256;
    std::uint8_t keystream_[kBatchBlocks * 16];
    std::size_t used_ = sizeof(keystream_);
};

}  // namespace zipcore
