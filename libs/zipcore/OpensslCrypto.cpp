#include "OpensslCrypto.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

namespace zipcore {

namespace {

class OpensslAes final : public BlockEncryptor {
public:
    explicit OpensslAes(EVP_CIPHER_CTX* ctx) : ctx_(ctx) {}
    ~OpensslAes() override { EVP_CIPHER_CTX_free(ctx_); }
    bool EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) override
    {
        int outLen = 0;
        return EVP_EncryptUpdate(ctx_, out, &outLen, in, int(blocks * 16)) == 1 && outLen == int(blocks * 16);
    }

private:
    EVP_CIPHER_CTX* ctx_;
};

class OpensslHmac final : public MessageAuthenticator {
public:
    explicit OpensslHmac(EVP_MAC_CTX* ctx) : ctx_(ctx) {}
    ~OpensslHmac() override { EVP_MAC_CTX_free(ctx_); }
    bool Update(const std::uint8_t* data, std::size_t len) override { return EVP_MAC_update(ctx_, data, len) == 1; }
    bool Final(std::uint8_t* out20) override
    {
        std::size_t len = 0;
        return EVP_MAC_final(ctx_, out20, &len, 20) == 1 && len == 20;
    }

private:
    EVP_MAC_CTX* ctx_;
};

class OpensslProvider final : public CryptoProvider {
public:
    bool Pbkdf2HmacSha1(const std::uint8_t* password, std::size_t passwordLen, const std::uint8_t* salt,
                        std::size_t saltLen, unsigned iterations, std::uint8_t* out, std::size_t outLen) override
    {
        return PKCS5_PBKDF2_HMAC_SHA1(reinterpret_cast<const char*>(password), int(passwordLen), salt, int(saltLen),
                                      int(iterations), int(outLen), out) == 1;
    }

    std::unique_ptr<BlockEncryptor> NewAesEncryptor(const std::uint8_t* key, std::size_t keyLen) override
    {
        const EVP_CIPHER* cipher = keyLen == 16   ? EVP_aes_128_ecb()
                                   : keyLen == 24 ? EVP_aes_192_ecb()
                                   : keyLen == 32 ? EVP_aes_256_ecb()
                                                  : nullptr;
        if (!cipher)
            return nullptr;
        EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
        if (!ctx)
            return nullptr;
        if (EVP_EncryptInit_ex(ctx, cipher, nullptr, key, nullptr) != 1 || EVP_CIPHER_CTX_set_padding(ctx, 0) != 1) {
            EVP_CIPHER_CTX_free(ctx);
            return nullptr;
        }
        return std::make_unique<OpensslAes>(ctx);
    }

    std::unique_ptr<MessageAuthenticator> NewHmacSha1(const std::uint8_t* key, std::size_t keyLen) override
    {
        EVP_MAC* mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
        if (!mac)
            return nullptr;
        EVP_MAC_CTX* ctx = EVP_MAC_CTX_new(mac);
        EVP_MAC_free(mac);  // the context keeps its own reference
        if (!ctx)
            return nullptr;
        char digest[] = "SHA1";
        OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                               OSSL_PARAM_construct_end()};
        if (EVP_MAC_init(ctx, key, keyLen, params) != 1) {
            EVP_MAC_CTX_free(ctx);
            return nullptr;
        }
        return std::make_unique<OpensslHmac>(ctx);
    }
};

}  // namespace

CryptoProvider& OpensslCrypto()
{
    static OpensslProvider provider;
    return provider;
}

}  // namespace zipcore
