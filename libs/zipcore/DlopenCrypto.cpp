#include "DlopenCrypto.h"

#include <dlfcn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

namespace zipcore {

namespace {

// The libcrypto calls the provider makes, looked up by name.
struct CryptoCalls {
    decltype(&PKCS5_PBKDF2_HMAC_SHA1) pbkdf2;
    decltype(&EVP_CIPHER_CTX_new) cipherNew;
    decltype(&EVP_CIPHER_CTX_free) cipherFree;
    decltype(&EVP_aes_128_ecb) aes128;
    decltype(&EVP_aes_192_ecb) aes192;
    decltype(&EVP_aes_256_ecb) aes256;
    decltype(&EVP_EncryptInit_ex) encryptInit;
    decltype(&EVP_CIPHER_CTX_set_padding) setPadding;
    decltype(&EVP_EncryptUpdate) encryptUpdate;
    decltype(&EVP_MAC_fetch) macFetch;
    decltype(&EVP_MAC_free) macFree;
    decltype(&EVP_MAC_CTX_new) macNew;
    decltype(&EVP_MAC_CTX_free) macCtxFree;
    decltype(&EVP_MAC_init) macInit;
    decltype(&EVP_MAC_update) macUpdate;
    decltype(&EVP_MAC_final) macFinal;
    decltype(&OSSL_PARAM_construct_utf8_string) paramString;
    decltype(&OSSL_PARAM_construct_end) paramEnd;

    bool Load()
    {
        void* lib = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return false;
        bool ok = true;
        auto get = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
            ok = ok && fn;
        };
        get(pbkdf2, "PKCS5_PBKDF2_HMAC_SHA1");
        get(cipherNew, "EVP_CIPHER_CTX_new");
        get(cipherFree, "EVP_CIPHER_CTX_free");
        get(aes128, "EVP_aes_128_ecb");
        get(aes192, "EVP_aes_192_ecb");
        get(aes256, "EVP_aes_256_ecb");
        get(encryptInit, "EVP_EncryptInit_ex");
        get(setPadding, "EVP_CIPHER_CTX_set_padding");
        get(encryptUpdate, "EVP_EncryptUpdate");
        get(macFetch, "EVP_MAC_fetch");
        get(macFree, "EVP_MAC_free");
        get(macNew, "EVP_MAC_CTX_new");
        get(macCtxFree, "EVP_MAC_CTX_free");
        get(macInit, "EVP_MAC_init");
        get(macUpdate, "EVP_MAC_update");
        get(macFinal, "EVP_MAC_final");
        get(paramString, "OSSL_PARAM_construct_utf8_string");
        get(paramEnd, "OSSL_PARAM_construct_end");
        return ok;  // the library stays loaded for the process's life
    }
};

class DlAes final : public BlockEncryptor {
public:
    DlAes(const CryptoCalls& c, EVP_CIPHER_CTX* ctx) : c_(c), ctx_(ctx) {}
    ~DlAes() override { c_.cipherFree(ctx_); }
    bool EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) override
    {
        int outLen = 0;
        return c_.encryptUpdate(ctx_, out, &outLen, in, int(blocks * 16)) == 1 && outLen == int(blocks * 16);
    }

private:
    const CryptoCalls& c_;
    EVP_CIPHER_CTX* ctx_;
};

class DlHmac final : public MessageAuthenticator {
public:
    DlHmac(const CryptoCalls& c, EVP_MAC_CTX* ctx) : c_(c), ctx_(ctx) {}
    ~DlHmac() override { c_.macCtxFree(ctx_); }
    bool Update(const std::uint8_t* data, std::size_t len) override { return c_.macUpdate(ctx_, data, len) == 1; }
    bool Final(std::uint8_t* out20) override
    {
        std::size_t len = 0;
        return c_.macFinal(ctx_, out20, &len, 20) == 1 && len == 20;
    }

private:
    const CryptoCalls& c_;
    EVP_MAC_CTX* ctx_;
};

class DlProvider final : public CryptoProvider {
public:
    explicit DlProvider(const CryptoCalls& c) : c_(c) {}

    bool Pbkdf2HmacSha1(const std::uint8_t* password, std::size_t passwordLen, const std::uint8_t* salt,
                        std::size_t saltLen, unsigned iterations, std::uint8_t* out, std::size_t outLen) override
    {
        return c_.pbkdf2(reinterpret_cast<const char*>(password), int(passwordLen), salt, int(saltLen),
                         int(iterations), int(outLen), out) == 1;
    }

    std::unique_ptr<BlockEncryptor> NewAesEncryptor(const std::uint8_t* key, std::size_t keyLen) override
    {
        const EVP_CIPHER* cipher = keyLen == 16 ? c_.aes128() : keyLen == 24 ? c_.aes192() : keyLen == 32 ? c_.aes256() : nullptr;
        EVP_CIPHER_CTX* ctx = cipher ? c_.cipherNew() : nullptr;
        if (!ctx)
            return nullptr;
        if (c_.encryptInit(ctx, cipher, nullptr, key, nullptr) != 1 || c_.setPadding(ctx, 0) != 1) {
            c_.cipherFree(ctx);
            return nullptr;
        }
        return std::make_unique<DlAes>(c_, ctx);
    }

    std::unique_ptr<MessageAuthenticator> NewHmacSha1(const std::uint8_t* key, std::size_t keyLen) override
    {
        EVP_MAC* mac = c_.macFetch(nullptr, "HMAC", nullptr);
        EVP_MAC_CTX* ctx = mac ? c_.macNew(mac) : nullptr;
        if (mac)
            c_.macFree(mac);
        if (!ctx)
            return nullptr;
        char digest[] = "SHA1";
        OSSL_PARAM params[] = {c_.paramString(OSSL_MAC_PARAM_DIGEST, digest, 0), c_.paramEnd()};
        if (c_.macInit(ctx, key, keyLen, params) != 1) {
            c_.macCtxFree(ctx);
            return nullptr;
        }
        return std::make_unique<DlHmac>(c_, ctx);
    }

private:
    const CryptoCalls& c_;
};

}  // namespace

CryptoProvider* DlopenCrypto()
{
    static CryptoCalls calls{};
    static const bool loaded = calls.Load();
    static DlProvider provider(calls);
    return loaded ? &provider : nullptr;
}

}  // namespace zipcore
