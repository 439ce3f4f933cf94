#include "SecureMessage.h"

#include "CMarkupSTL.h"
#include "Crypto.h"
#include "ProtocolConstants.h"

#include <algorithm>

namespace scanix::proto {

namespace {

constexpr std::size_t kMaxFields = 32;
constexpr std::size_t kMaxValueBytes = 512;
constexpr const char* kProof = "proof";

std::string ProofInput(const SecureMessage& message)
{
    std::string input = "scanix-proof-2\n" + message.root + "\n";
    for (const auto& [name, value] : message.fields) {
        if (name == kProof) {
            continue;
        }
        input += name + "\n" + std::to_string(value.size()) + "\n" + value + "\n";
    }
    return input;
}

} // namespace

SecureMessage& SecureMessage::Set(const std::string& name, const std::string& value)
{
    for (auto& field : fields) {
        if (field.first == name) {
            field.second = value;
            return *this;
        }
    }
    fields.emplace_back(name, value);
    return *this;
}

std::string SecureMessage::Get(const std::string& name) const
{
    for (const auto& field : fields) {
        if (field.first == name) {
            return field.second;
        }
    }
    return {};
}

bool SecureMessage::Has(const std::string& name) const
{
    return std::any_of(fields.begin(), fields.end(), [&](const auto& field) { return field.first == name; });
}

bool IsSecureRoot(const std::string& root)
{
    for (const char* known : {kChallengeRoot,
                              kChallengeResultRoot,
                              kSecureSetIpRoot,
                              kSecureSetIpResultRoot,
                              kActivateRoot,
                              kActivateResultRoot,
                              kResetRoot,
                              kResetResultRoot}) {
        if (root == known) {
            return true;
        }
    }
    return false;
}

std::string BuildSecure(const SecureMessage& message)
{
    CMarkupSTL doc;
    doc.AddElement(message.root.c_str());
    doc.EnterElement();
    for (const auto& [name, value] : message.fields) {
        doc.AddElement(name.c_str(), value.c_str());
    }
    doc.LeaveElement();
    return doc.GetDocument();
}

std::optional<SecureMessage> ReadSecure(const std::string& text)
{
    if (text.empty() || text.size() > kMaxDatagram || text.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    CMarkupSTL doc;
    if (!doc.SetDocument(text.data(), text.size()) || !doc.FindElement()) {
        return std::nullopt;
    }
    SecureMessage message;
    message.root = doc.GetTagName();
    if (!IsSecureRoot(message.root)) {
        return std::nullopt;
    }
    doc.EnterElement();
    while (doc.FindElement()) {
        const std::string name = doc.GetTagName();
        const std::string value = doc.GetElementData();
        // A repeated name would let a reader and the proof see different values.
        if (message.fields.size() >= kMaxFields || value.size() > kMaxValueBytes || message.Has(name)) {
            return std::nullopt;
        }
        message.fields.emplace_back(name, value);
    }
    return message;
}

void Sign(SecureMessage& message, const std::string& key)
{
    message.fields.erase(std::remove_if(message.fields.begin(),
                                        message.fields.end(),
                                        [](const auto& field) { return field.first == kProof; }),
                         message.fields.end());
    message.fields.emplace_back(kProof, crypto::Hex(crypto::HmacSha256(key, ProofInput(message))));
}

bool Verify(const SecureMessage& message, const std::string& key)
{
    if (key.empty()) {
        return false;
    }
    const std::optional<std::string> proof = crypto::FromHex(message.Get(kProof), 32);
    return proof && crypto::Equal(*proof, crypto::HmacSha256(key, ProofInput(message)));
}

SessionKeys DeriveSessionKeys(const std::string& sharedSecret,
                              const std::string& purpose,
                              const std::string& mac,
                              const std::string& clientNonce)
{
    const std::string keys = crypto::Hkdf(sharedSecret, "scanix " + purpose + "\n" + mac + "\n" + clientNonce, 64);
    if (keys.size() != 64) {
        return {};
    }
    return {keys.substr(0, 32), keys.substr(32)};
}

namespace {

constexpr const char* kTagOpen = "<tag>";
constexpr const char* kTagClose = "</tag>";

// The report with its tag emptied, and the tag; nothing when there is not exactly one tag.
std::optional<std::pair<std::string, std::string>> SplitTag(const std::string& report)
{
    const std::size_t open = report.find(kTagOpen);
    if (open == std::string::npos || report.find(kTagOpen, open + 1) != std::string::npos) {
        return std::nullopt;
    }
    const std::size_t start = open + std::char_traits<char>::length(kTagOpen);
    const std::size_t close = report.find(kTagClose, start);
    if (close == std::string::npos) {
        return std::nullopt;
    }
    return std::make_pair(report.substr(0, start) + report.substr(close), report.substr(start, close - start));
}

} // namespace

std::string ReportKey(const std::string& privateKey, const std::string& peerPublicKey)
{
    const std::optional<std::string> shared = crypto::X25519Shared(privateKey, peerPublicKey);
    return shared ? crypto::Hkdf(*shared, "scanix report", crypto::kKeyBytes) : std::string();
}

std::string TagReport(const std::string& text, const std::string& key)
{
    // The builder writes an empty element in its short form.
    std::string report = text;
    if (const std::size_t empty = report.find("<tag/>"); empty != std::string::npos) {
        report.replace(empty, 6, std::string(kTagOpen) + kTagClose);
    }
    const auto parts = SplitTag(report);
    if (!parts || !parts->second.empty() || key.empty()) {
        return report;
    }
    const std::size_t at = report.find(kTagOpen) + std::char_traits<char>::length(kTagOpen);
    return report.substr(0, at) + crypto::Hex(crypto::HmacSha256(key, parts->first)) + report.substr(at);
}

bool CheckReportTag(const std::string& report, const std::string& key)
{
    const auto parts = SplitTag(report);
    if (!parts || key.empty()) {
        return false;
    }
    const std::optional<std::string> tag = crypto::FromHex(parts->second, 32);
    return tag && crypto::Equal(*tag, crypto::HmacSha256(key, parts->first));
}

std::string SealNonce(const std::string& clientNonceHex)
{
    const std::optional<std::string> nonce = crypto::FromHex(clientNonceHex, crypto::kNonceBytes);
    return nonce ? nonce->substr(0, 12) : std::string();
}

} // namespace scanix::proto
