// Traditional PKWARE ("ZipCrypto") decryption: the three-key stream cipher
// and the 12-byte encryption header whose last byte checks the password.
// The check is only one byte, so about one wrong password in 256 passes it;
// the entry's CRC catches those.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zipcore {

constexpr std::size_t kZipCryptoHeaderSize = 12;

class ZipCryptoDecryptor {
public:
    explicit ZipCryptoDecryptor(std::string_view password);
    // Decrypts the 12-byte header; true when its check byte equals `check`.
    bool CheckHeader(const std::uint8_t* header, std::uint8_t check);
    void Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t len);

private:
    void UpdateKeys(std::uint8_t plain);
    std::uint8_t StreamByte() const;
    std::uint32_t k0_ = 0x12345678, k1_ = 0x23456789, k2_ = 0x34567890;
};

}  // namespace zipcore
