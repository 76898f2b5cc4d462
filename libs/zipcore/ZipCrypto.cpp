#include "ZipCrypto.h"

#include "Crc32.h"

namespace zipcore {

ZipCryptoDecryptor::ZipCryptoDecryptor(std::string_view password)
{
    for (char c : password)
        UpdateKeys(std::uint8_t(c));
}

void ZipCryptoDecryptor::UpdateKeys(std::uint8_t plain)
{
    k0_ = Crc32Byte(k0_, plain);
    k1_ = (k1_ + (k0_ & 0xFF)) * 134775813u + 1;
    k2_ = Crc32Byte(k2_, std::uint8_t(k1_ >> 24));
}

std::uint8_t ZipCryptoDecryptor::StreamByte() const
{
    std::uint32_t t = (k2_ | 2) & 0xFFFF;
    return std::uint8_t((t * (t ^ 1)) >> 8);
}

bool ZipCryptoDecryptor::CheckHeader(const std::uint8_t* header, std::uint8_t check)
{
    std::uint8_t plain[kZipCryptoHeaderSize];
    Decrypt(header, plain, kZipCryptoHeaderSize);
    return plain[kZipCryptoHeaderSize - 1] == check;
}

void ZipCryptoDecryptor::Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t len)
{
    for (std::size_t i = 0; i < len; ++i) {
        std::uint8_t plain = in[i] ^ StreamByte();
        UpdateKeys(plain);
        out[i] = plain;
    }
}

}  // namespace zipcore
