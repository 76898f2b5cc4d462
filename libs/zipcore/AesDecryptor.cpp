#include "AesDecryptor.h"

#include <cstring>

namespace zipcore {

std::size_t AesSaltSize(unsigned strength)
{
    return strength >= 1 && strength <= 3 ? 4 + 4 * strength : 0;
}

AesDecryptor::InitResult AesDecryptor::Init(CryptoProvider& crypto, std::string_view password, unsigned strength,
                                            const std::uint8_t* salt, const std::uint8_t* check)
{
    std::size_t saltLen = AesSaltSize(strength);
    if (saltLen == 0)
        return InitResult::Failed;
    std::size_t keyLen = 8 + 8 * strength;
    std::uint8_t derived[2 * 32 + kAesPasswordCheckSize];
    if (!crypto.Pbkdf2HmacSha1(reinterpret_cast<const std::uint8_t*>(password.data()), password.size(), salt, saltLen,
                               1000, derived, 2 * keyLen + kAesPasswordCheckSize))
        return InitResult::Failed;
    if (std::memcmp(derived + 2 * keyLen, check, kAesPasswordCheckSize) != 0)
        return InitResult::WrongPassword;
    cipher_ = crypto.NewAesEncryptor(derived, keyLen);
    mac_ = crypto.NewHmacSha1(derived + keyLen, keyLen);
    counter_ = 0;
    used_ = sizeof(keystream_);
    return cipher_ && mac_ ? InitResult::Ok : InitResult::Failed;
}

bool AesDecryptor::RefillKeystream()
{
    std::uint8_t counters[sizeof(keystream_)] = {};
    for (std::size_t b = 0; b < kBatchBlocks; ++b) {
        std::uint64_t value = ++counter_;
        for (int i = 0; i < 8; ++i)
            counters[b * 16 + i] = std::uint8_t(value >> (8 * i));
    }
    used_ = 0;
    return cipher_->EncryptBlocks(counters, keystream_, kBatchBlocks);
}

bool AesDecryptor::Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t len)
{
    if (!mac_->Update(in, len))
        return false;
    for (std::size_t i = 0; i < len; ++i) {
        if (used_ == sizeof(keystream_) && !RefillKeystream())
            return false;
        out[i] = in[i] ^ keystream_[used_++];
    }
    return true;
}

bool AesDecryptor::CheckMac(const std::uint8_t* stored)
{
    std::uint8_t full[20];
    return mac_->Final(full) && std::memcmp(full, stored, kAesMacSize) == 0;
}

}  // namespace zipcore
