// The few cryptographic primitives WinZip AES needs (PBKDF2-HMAC-SHA1,
// AES block encryption, HMAC-SHA1), behind an interface so the core does
// not tie its users to one crypto library: UNZDLL.DLL links OpenSSL's
// libcrypto (OpensslCrypto.h); a program that must stay small can supply a
// provider that loads libcrypto with dlopen only when an AES entry appears.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zipcore {

class BlockEncryptor {
public:
    virtual ~BlockEncryptor() = default;
    // Encrypts `blocks` 16-byte blocks (ECB); false on a library failure.
    virtual bool EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) = 0;
};

class MessageAuthenticator {
public:
    virtual ~MessageAuthenticator() = default;
    virtual bool Update(const std::uint8_t* data, std::size_t len) = 0;
    // Writes the 20-byte HMAC-SHA1 value.
    virtual bool Final(std::uint8_t* out20) = 0;
};

class CryptoProvider {
public:
    virtual ~CryptoProvider() = default;
    virtual bool Pbkdf2HmacSha1(const std::uint8_t* password, std::size_t passwordLen, const std::uint8_t* salt,
                                std::size_t saltLen, unsigned iterations, std::uint8_t* out,
                                std::size_t outLen) = 0;
    // nullptr when the key length is not 16, 24 or 32 or the library fails.
    virtual std::unique_ptr<BlockEncryptor> NewAesEncryptor(const std::uint8_t* key, std::size_t keyLen) = 0;
    virtual std::unique_ptr<MessageAuthenticator> NewHmacSha1(const std::uint8_t* key, std::size_t keyLen) = 0;
};

}  // namespace zipcore
