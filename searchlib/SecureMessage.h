#pragma once

// The messages of the authenticated configuration protocol (docs/protocol.md): a root element
// whose children are plain name/value texts, in a fixed order. A keyed proof (HMAC-SHA256)
// covers the root's name and every child except "proof" itself, each with its length, so no
// value can be moved, cut or added without breaking the proof.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace scanix::proto {

struct SecureMessage
{
    std::string root;
    std::vector<std::pair<std::string, std::string>> fields;

    // Replaces the value of `name`, or appends it.
    SecureMessage& Set(const std::string& name, const std::string& value);
    // Empty when missing.
    std::string Get(const std::string& name) const;
    bool Has(const std::string& name) const;
};

// Whether `root` names one of the protocol's secure messages.
bool IsSecureRoot(const std::string& root);

std::string BuildSecure(const SecureMessage& message);
// Nothing for a document that is not one of the secure messages or is not flat name/value text.
std::optional<SecureMessage> ReadSecure(const std::string& text);

// Sets "proof" to the HMAC of the message under `key` (removing an earlier proof first).
void Sign(SecureMessage& message, const std::string& key);
// True only when the message carries a proof that matches under `key`.
bool Verify(const SecureMessage& message, const std::string& key);

// Two keys derived from an X25519 shared secret for one purpose ("activate", "reset") and one
// request (device MAC and client nonce): an AEAD key and a proof key.
struct SessionKeys
{
    std::string sealKey;
    std::string proofKey;
};
SessionKeys DeriveSessionKeys(const std::string& sharedSecret,
                              const std::string& purpose,
                              const std::string& mac,
                              const std::string& clientNonce);

// Reports of the authenticated protocol carry a tag: an HMAC of the whole report (its tag
// element left empty) under a key that only the device and the searcher whose probe it answers
// can compute, from the device's key and the key that searcher put in its probe.
std::string ReportKey(const std::string& privateKey, const std::string& peerPublicKey);
// Fills the report's empty "<tag></tag>" with its HMAC under `key`; unchanged without one.
std::string TagReport(const std::string& report, const std::string& key);
// True when the report's tag is its HMAC under `key`.
bool CheckReportTag(const std::string& report, const std::string& key);

// The 12-byte AEAD nonce of a sealed password: the first bytes of the client nonce (unique per
// request, and the seal key is unique per request too).
std::string SealNonce(const std::string& clientNonceHex);

} // namespace scanix::proto
