#include "Crypto.h"

#include <memory>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/kdf.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

namespace scanix::proto::crypto {

namespace {

// scrypt cost: about 50 ms on a small PC for each derivation; the library caches the result
// per device and password, the device stores only the result.
constexpr std::uint64_t kScryptN = 1U << 14;
constexpr std::uint64_t kScryptR = 8;
constexpr std::uint64_t kScryptP = 1;
constexpr std::uint64_t kScryptMaxMemory = 64U * 1024 * 1024;
constexpr std::size_t kTagBytes = 16;

const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

struct PkeyFree
{
    void operator()(EVP_PKEY* key) const
    {
        EVP_PKEY_free(key);
    }
};
struct PkeyCtxFree
{
    void operator()(EVP_PKEY_CTX* ctx) const
    {
        EVP_PKEY_CTX_free(ctx);
    }
};
struct CipherCtxFree
{
    void operator()(EVP_CIPHER_CTX* ctx) const
    {
        EVP_CIPHER_CTX_free(ctx);
    }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
using PkeyCtx = std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree>;
using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree>;

std::string RawPublicKey(EVP_PKEY* key)
{
    std::string out(kPublicKeyBytes, '\0');
    std::size_t length = out.size();
    if (EVP_PKEY_get_raw_public_key(key, reinterpret_cast<unsigned char*>(out.data()), &length) != 1 ||
        length != kPublicKeyBytes) {
        return {};
    }
    return out;
}

} // namespace

std::string RandomBytes(std::size_t count)
{
    std::string out(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(out.data()), static_cast<int>(count)) != 1) {
        return {};
    }
    return out;
}

std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::optional<std::string> FromHex(const std::string& text, std::size_t bytes)
{
    if (text.size() != bytes * 2) {
        return std::nullopt;
    }
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    std::string out(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i) {
        const int high = digit(text[2 * i]);
        const int low = digit(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out[i] = static_cast<char>(high * 16 + low);
    }
    return out;
}

std::string DerivePasswordKey(const std::string& password, const std::string& salt)
{
    std::string key(kKeyBytes, '\0');
    if (EVP_PBE_scrypt(password.data(),
                       password.size(),
                       Bytes(salt),
                       salt.size(),
                       kScryptN,
                       kScryptR,
                       kScryptP,
                       kScryptMaxMemory,
                       reinterpret_cast<unsigned char*>(key.data()),
                       key.size()) != 1) {
        return {};
    }
    return key;
}

std::string HmacSha256(const std::string& key, const std::string& data)
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), Bytes(data), data.size(), out, &length) ==
        nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(out), length);
}

std::string Sha256(const std::string& data)
{
    unsigned char out[SHA256_DIGEST_LENGTH];
    SHA256(Bytes(data), data.size(), out);
    return std::string(reinterpret_cast<const char*>(out), sizeof out);
}

bool Equal(const std::string& a, const std::string& b)
{
    return !a.empty() && a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

KeyPair GenerateX25519()
{
    PkeyCtx ctx(EVP_PKEY_CTX_new_id(EVP_PKEY_X25519, nullptr));
    EVP_PKEY* raw = nullptr;
    if (!ctx || EVP_PKEY_keygen_init(ctx.get()) != 1 || EVP_PKEY_keygen(ctx.get(), &raw) != 1) {
        return {};
    }
    const Pkey key(raw);
    KeyPair pair;
    pair.privateKey.assign(kKeyBytes, '\0');
    std::size_t length = pair.privateKey.size();
    if (EVP_PKEY_get_raw_private_key(key.get(), reinterpret_cast<unsigned char*>(pair.privateKey.data()), &length) !=
            1 ||
        length != kKeyBytes) {
        return {};
    }
    pair.publicKey = RawPublicKey(key.get());
    return pair.publicKey.empty() ? KeyPair{} : pair;
}

std::optional<std::string> X25519Shared(const std::string& privateKey, const std::string& peerPublicKey)
{
    if (privateKey.size() != kKeyBytes || peerPublicKey.size() != kPublicKeyBytes) {
        return std::nullopt;
    }
    const Pkey own(EVP_PKEY_new_raw_private_key(EVP_PKEY_X25519, nullptr, Bytes(privateKey), privateKey.size()));
    const Pkey peer(EVP_PKEY_new_raw_public_key(EVP_PKEY_X25519, nullptr, Bytes(peerPublicKey), peerPublicKey.size()));
    if (!own || !peer) {
        return std::nullopt;
    }
    PkeyCtx ctx(EVP_PKEY_CTX_new(own.get(), nullptr));
    std::string secret(kKeyBytes, '\0');
    std::size_t length = secret.size();
    // OpenSSL refuses a peer key that gives the all-zero secret (a small-order point).
    if (!ctx || EVP_PKEY_derive_init(ctx.get()) != 1 || EVP_PKEY_derive_set_peer(ctx.get(), peer.get()) != 1 ||
        EVP_PKEY_derive(ctx.get(), reinterpret_cast<unsigned char*>(secret.data()), &length) != 1 ||
        length != kKeyBytes) {
        return std::nullopt;
    }
    return secret;
}

std::string Hkdf(const std::string& secret, const std::string& info, std::size_t length)
{
    PkeyCtx ctx(EVP_PKEY_CTX_new_id(EVP_PKEY_HKDF, nullptr));
    std::string out(length, '\0');
    std::size_t outLength = length;
    if (!ctx || EVP_PKEY_derive_init(ctx.get()) != 1 || EVP_PKEY_CTX_set_hkdf_md(ctx.get(), EVP_sha256()) != 1 ||
        EVP_PKEY_CTX_set1_hkdf_key(ctx.get(), Bytes(secret), static_cast<int>(secret.size())) != 1 ||
        EVP_PKEY_CTX_add1_hkdf_info(ctx.get(), Bytes(info), static_cast<int>(info.size())) != 1 ||
        EVP_PKEY_derive(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &outLength) != 1 ||
        outLength != length) {
        return {};
    }
    return out;
}

std::optional<std::string>
Seal(const std::string& key, const std::string& nonce, const std::string& aad, const std::string& plain)
{
    CipherCtx ctx(EVP_CIPHER_CTX_new());
    int length = 0;
    std::string out(plain.size() + kTagBytes, '\0');
    auto* data = reinterpret_cast<unsigned char*>(out.data());
    if (!ctx || key.size() != kKeyBytes || nonce.size() != 12 ||
        EVP_EncryptInit_ex(ctx.get(), EVP_chacha20_poly1305(), nullptr, Bytes(key), Bytes(nonce)) != 1 ||
        EVP_EncryptUpdate(ctx.get(), nullptr, &length, Bytes(aad), static_cast<int>(aad.size())) != 1 ||
        EVP_EncryptUpdate(ctx.get(), data, &length, Bytes(plain), static_cast<int>(plain.size())) != 1 ||
        EVP_EncryptFinal_ex(ctx.get(), data + length, &length) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_AEAD_GET_TAG, kTagBytes, data + plain.size()) != 1) {
        return std::nullopt;
    }
    return out;
}

std::optional<std::string>
Open(const std::string& key, const std::string& nonce, const std::string& aad, const std::string& sealed)
{
    if (key.size() != kKeyBytes || nonce.size() != 12 || sealed.size() < kTagBytes) {
        return std::nullopt;
    }
    CipherCtx ctx(EVP_CIPHER_CTX_new());
    const std::size_t plainBytes = sealed.size() - kTagBytes;
    std::string tag = sealed.substr(plainBytes);
    std::string out(plainBytes, '\0');
    auto* data = reinterpret_cast<unsigned char*>(out.data());
    int length = 0;
    if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_chacha20_poly1305(), nullptr, Bytes(key), Bytes(nonce)) != 1 ||
        EVP_DecryptUpdate(ctx.get(), nullptr, &length, Bytes(aad), static_cast<int>(aad.size())) != 1 ||
        EVP_DecryptUpdate(ctx.get(), data, &length, Bytes(sealed), static_cast<int>(plainBytes)) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_AEAD_SET_TAG, kTagBytes, tag.data()) != 1 ||
        EVP_DecryptFinal_ex(ctx.get(), data + length, &length) != 1) {
        return std::nullopt;
    }
    return out;
}

} // namespace scanix::proto::crypto
