#pragma once

// The few cryptographic operations of the configuration protocol (docs/protocol.md), each a
// thin wrapper over OpenSSL's libcrypto: nothing here is cryptography of our own. Keys, nonces
// and digests are raw byte strings; Hex/FromHex turn them into wire text.

#include <cstddef>
#include <optional>
#include <string>

namespace scanix::proto::crypto {

inline constexpr std::size_t kKeyBytes = 32;
inline constexpr std::size_t kNonceBytes = 16;
inline constexpr std::size_t kSaltBytes = 16;
inline constexpr std::size_t kPublicKeyBytes = 32;

// Cryptographically random bytes (never empty on success; aborts the request on failure).
std::string RandomBytes(std::size_t count);

std::string Hex(const std::string& bytes);
// The bytes of a lower- or upper-case hexadecimal text of exactly `bytes` bytes.
std::optional<std::string> FromHex(const std::string& text, std::size_t bytes);

// The deliberately slow password key: scrypt(password, salt) with fixed parameters, 32 bytes.
// Empty on failure.
std::string DerivePasswordKey(const std::string& password, const std::string& salt);

std::string HmacSha256(const std::string& key, const std::string& data);
std::string Sha256(const std::string& data);
// Constant-time comparison of two byte strings.
bool Equal(const std::string& a, const std::string& b);

struct KeyPair
{
    std::string privateKey; // 32 raw bytes
    std::string publicKey;  // 32 raw bytes
};
// A fresh X25519 key pair; empty texts on failure.
KeyPair GenerateX25519();
// The X25519 shared secret, or nothing for a bad peer key (including all-zero results).
std::optional<std::string> X25519Shared(const std::string& privateKey, const std::string& peerPublicKey);
// HKDF-SHA256 of `secret` with `info`, `length` bytes.
std::string Hkdf(const std::string& secret, const std::string& info, std::size_t length);

// ChaCha20-Poly1305 with a 32-byte key and 12-byte nonce; the tag is appended to the ciphertext.
std::optional<std::string>
Seal(const std::string& key, const std::string& nonce, const std::string& aad, const std::string& plain);
std::optional<std::string>
Open(const std::string& key, const std::string& nonce, const std::string& aad, const std::string& sealed);

} // namespace scanix::proto::crypto
