#include "AesEncryptor.h"

#include <algorithm>
#include <cstring>

#include <openssl/crypto.h>
#include <sys/random.h>

namespace zipwriter {

namespace {

bool RandomBytes(std::uint8_t* out, std::size_t len)
{
    while (len > 0) {
        ssize_t n = getrandom(out, len, 0);
        if (n <= 0)
            return false;
        out += n;
        len -= std::size_t(n);
    }
    return true;
}

}  // namespace

bool AesEncryptor::Init(zipcore::CryptoProvider& crypto, std::string_view password, std::string* error)
{
    if (!RandomBytes(header_, kAesSaltSize)) {
        *error = "no random salt from the operating system";
        return false;
    }
    constexpr std::size_t kKey = 32;
    std::uint8_t derived[2 * kKey + 2];
    if (!crypto.Pbkdf2HmacSha1(reinterpret_cast<const std::uint8_t*>(password.data()), password.size(), header_,
                               kAesSaltSize, 1000, derived, sizeof(derived))) {
        *error = "key derivation failed";
        return false;
    }
    cipher_ = crypto.NewAesEncryptor(derived, kKey);
    mac_ = crypto.NewHmacSha1(derived + kKey, kKey);
    std::memcpy(header_ + kAesSaltSize, derived + 2 * kKey, 2);
    OPENSSL_cleanse(derived, sizeof(derived));
    if (!cipher_ || !mac_) {
        *error = "AES or HMAC set-up failed";
        return false;
    }
    counter_ = 0;
    used_ = sizeof(keystream_);
    return true;
}

bool AesEncryptor::Refill()
{
    for (std::size_t b = 0; b < kBatchBlocks; ++b) {
        std::uint64_t value = ++counter_;
        std::uint8_t* block = counters_ + b * 16;
        std::memset(block, 0, 16);
        for (int i = 0; i < 8; ++i)
            block[i] = std::uint8_t(value >> (8 * i));
    }
    used_ = 0;
    return cipher_->EncryptBlocks(counters_, keystream_, kBatchBlocks);
}

bool AesEncryptor::Encrypt(std::uint8_t* data, std::size_t len)
{
    std::uint8_t* start = data;
    std::size_t total = len;
    while (len > 0) {
        if (used_ == sizeof(keystream_) && !Refill())
            return false;
        std::size_t n = std::min(len, sizeof(keystream_) - used_);
        for (std::size_t i = 0; i < n; ++i)
            data[i] ^= keystream_[used_ + i];
        used_ += n;
        data += n;
        len -= n;
    }
    return mac_->Update(start, total);
}

bool AesEncryptor::Finish(std::uint8_t* code10)
{
    std::uint8_t full[20];
    if (!mac_->Final(full))
        return false;
    std::memcpy(code10, full, kAesCodeSize);
    return true;
}

}  // namespace zipwriter
