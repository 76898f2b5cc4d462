#include "DlopenCrypto.h"

#include <dlfcn.h>

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

namespace zipcore {

namespace {

// The libcrypto functions used, looked up by name; the declarations of
// OpenSSL's headers give their types, nothing is linked.
struct Functions {
    decltype(&PKCS5_PBKDF2_HMAC_SHA1) pbkdf2;
    decltype(&EVP_aes_128_ecb) aes128;
    decltype(&EVP_aes_192_ecb) aes192;
    decltype(&EVP_aes_256_ecb) aes256;
    decltype(&EVP_CIPHER_CTX_new) cipherNew;
    decltype(&EVP_CIPHER_CTX_free) cipherFree;
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
};

class Aes final : public BlockEncryptor {
public:
    Aes(const Functions& f, EVP_CIPHER_CTX* ctx) : f_(f), ctx_(ctx) {}
    ~Aes() override { f_.cipherFree(ctx_); }
    bool EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) override
    {
        int outLen = 0;
        return f_.encryptUpdate(ctx_, out, &outLen, in, int(blocks * 16)) == 1 && outLen == int(blocks * 16);
    }

private:
    const Functions& f_;
    EVP_CIPHER_CTX* ctx_;
};

class Hmac final : public MessageAuthenticator {
public:
    Hmac(const Functions& f, EVP_MAC_CTX* ctx) : f_(f), ctx_(ctx) {}
    ~Hmac() override { f_.macCtxFree(ctx_); }
    bool Update(const std::uint8_t* data, std::size_t len) override { return f_.macUpdate(ctx_, data, len) == 1; }
    bool Final(std::uint8_t* out20) override
    {
        std::size_t len = 0;
        return f_.macFinal(ctx_, out20, &len, 20) == 1 && len == 20;
    }

private:
    const Functions& f_;
    EVP_MAC_CTX* ctx_;
};

class Provider final : public CryptoProvider {
public:
    explicit Provider(const Functions& f) : f_(f) {}

    bool Pbkdf2HmacSha1(const std::uint8_t* password, std::size_t passwordLen, const std::uint8_t* salt,
                        std::size_t saltLen, unsigned iterations, std::uint8_t* out, std::size_t outLen) override
    {
        return f_.pbkdf2(reinterpret_cast<const char*>(password), int(passwordLen), salt, int(saltLen),
                         int(iterations), int(outLen), out) == 1;
    }

    std::unique_ptr<BlockEncryptor> NewAesEncryptor(const std::uint8_t* key, std::size_t keyLen) override
    {
        const EVP_CIPHER* cipher = keyLen == 16   ? f_.aes128()
                                   : keyLen == 24 ? f_.aes192()
                                   : keyLen == 32 ? f_.aes256()
                                                  : nullptr;
        EVP_CIPHER_CTX* ctx = cipher ? f_.cipherNew() : nullptr;
        if (!ctx)
            return nullptr;
        if (f_.encryptInit(ctx, cipher, nullptr, key, nullptr) != 1 || f_.setPadding(ctx, 0) != 1) {
            f_.cipherFree(ctx);
            return nullptr;
        }
        return std::make_unique<Aes>(f_, ctx);
    }

    std::unique_ptr<MessageAuthenticator> NewHmacSha1(const std::uint8_t* key, std::size_t keyLen) override
    {
        EVP_MAC* mac = f_.macFetch(nullptr, "HMAC", nullptr);
        if (!mac)
            return nullptr;
        EVP_MAC_CTX* ctx = f_.macNew(mac);
        f_.macFree(mac);  // the context keeps its own reference
        if (!ctx)
            return nullptr;
        char digest[] = "SHA1";
        OSSL_PARAM params[] = {f_.paramString(OSSL_MAC_PARAM_DIGEST, digest, 0), f_.paramEnd()};
        if (f_.macInit(ctx, key, keyLen, params) != 1) {
            f_.macCtxFree(ctx);
            return nullptr;
        }
        return std::make_unique<Hmac>(f_, ctx);
    }

private:
    const Functions& f_;
};

template <typename T>
bool Find(void* library, const char* name, T* out, std::string* missing)
{
    *out = reinterpret_cast<T>(dlsym(library, name));
    if (!*out && missing->empty())
        *missing = name;
    return *out != nullptr;
}

bool Load(Functions* f, std::string* error)
{
    void* library = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        library = dlopen("libcrypto.so", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        *error = "AES encryption needs OpenSSL's libcrypto (version 3), which is not installed";
        return false;
    }
    std::string missing;
    Find(library, "PKCS5_PBKDF2_HMAC_SHA1", &f->pbkdf2, &missing);
    Find(library, "EVP_aes_128_ecb", &f->aes128, &missing);
    Find(library, "EVP_aes_192_ecb", &f->aes192, &missing);
    Find(library, "EVP_aes_256_ecb", &f->aes256, &missing);
    Find(library, "EVP_CIPHER_CTX_new", &f->cipherNew, &missing);
    Find(library, "EVP_CIPHER_CTX_free", &f->cipherFree, &missing);
    Find(library, "EVP_EncryptInit_ex", &f->encryptInit, &missing);
    Find(library, "EVP_CIPHER_CTX_set_padding", &f->setPadding, &missing);
    Find(library, "EVP_EncryptUpdate", &f->encryptUpdate, &missing);
    Find(library, "EVP_MAC_fetch", &f->macFetch, &missing);
    Find(library, "EVP_MAC_free", &f->macFree, &missing);
    Find(library, "EVP_MAC_CTX_new", &f->macNew, &missing);
    Find(library, "EVP_MAC_CTX_free", &f->macCtxFree, &missing);
    Find(library, "EVP_MAC_init", &f->macInit, &missing);
    Find(library, "EVP_MAC_update", &f->macUpdate, &missing);
    Find(library, "EVP_MAC_final", &f->macFinal, &missing);
    Find(library, "OSSL_PARAM_construct_utf8_string", &f->paramString, &missing);
    Find(library, "OSSL_PARAM_construct_end", &f->paramEnd, &missing);
    if (!missing.empty()) {
        *error = "the installed libcrypto lacks " + missing + " (OpenSSL 3 is needed for AES encryption)";
        return false;
    }
    // The library stays loaded for the life of the process.
    return true;
}

}  // namespace

CryptoProvider* DlopenCrypto(std::string* error)
{
    static Functions functions{};
    static std::string failure;
    static int state = 0;  // 0 untried, 1 loaded, 2 failed
    if (state == 0)
        state = Load(&functions, &failure) ? 1 : 2;
    if (state == 2) {
        if (error)
            *error = failure;
        return nullptr;
    }
    static Provider provider(functions);
    return &provider;
}

}  // namespace zipcore
