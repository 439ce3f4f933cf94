// The authenticated configuration protocol on the library's side (docs/protocol.md): requests
// are prepared on the caller's thread (the slow key derivation happens there), then the
// library's thread fetches a device nonce, sends the request with its proof, and delivers only
// answers that prove themselves under the request's key; anything else is at most a refusal.

#include "CMarkupSTL.h"
#include "Crypto.h"
#include "ProtocolConstants.h"
#include "SearchEngine.h"

namespace scanix::search {

namespace {

constexpr auto kSetConfigLifetime = std::chrono::seconds(10);
constexpr auto kSetConfigResend = std::chrono::milliseconds(300);
constexpr int kSetConfigSends = 3;

using proto::SecureMessage;
namespace crypto = proto::crypto;

// What the library hands the program as the answer (kind 10000): the "multicastSearchResult"
// with "setIPResult" the program reads, plus why and what the device confirmed.
struct ConfigAnswer
{
    int result = 1;
    std::string reason;
    bool authenticated = false;
    std::string ip;
    std::string httpType;
    std::string httpPort;
    std::string dataPort;
    std::string tlsKey;
};

std::string BuildConfigAnswer(const std::string& mac, const ConfigAnswer& answer)
{
    CMarkupSTL doc;
    doc.AddElement(proto::kResultRoot);
    doc.EnterElement();
    doc.AddElement("mac", mac.c_str());
    doc.AddElement("event", proto::kEventSetIpResult);
    doc.AddElementNumber(proto::kEventSetIpResult, answer.result);
    doc.AddElement("reason", answer.reason.c_str());
    doc.AddElementNumber("authenticated", answer.authenticated ? 1 : 0);
    if (answer.authenticated) {
        doc.AddElement("confirmedIp", answer.ip.c_str());
        doc.AddElement("httpType", answer.httpType.c_str());
        doc.AddElement("httpPort", answer.httpPort.c_str());
        doc.AddElement("dataPort", answer.dataPort.c_str());
        doc.AddElement("tlsKey", answer.tlsKey.c_str());
    }
    doc.LeaveElement();
    return doc.GetDocument();
}

// A device's refusal reason, when it is one we know; anything else reads as a failed proof.
std::string KnownReason(const std::string& reason)
{
    for (const char* known : {proto::kReasonBadProof,
                              proto::kReasonLocked,
                              proto::kReasonNotActivated,
                              proto::kReasonActivated,
                              proto::kReasonBadValues,
                              proto::kReasonStale,
                              proto::kReasonWeakPassword}) {
        if (reason == known) {
            return reason;
        }
    }
    return proto::kReasonBadProof;
}

std::string FreshNonce()
{
    return crypto::Hex(crypto::RandomBytes(crypto::kNonceBytes));
}

// The old request as a device of the old protocol reads it, without the values the user did not
// enter: the device keeps its own DNS servers and encryption type.
std::string LegacyRequest(CMarkupSTL& doc)
{
    CMarkupSTL out;
    out.AddElement(proto::kSetIpRoot);
    for (const char* name :
         {"password", "serialNo", "dhcpSwitch", "ipAddr", "maskAddr", "route", "httpPort", "dataPort"}) {
        const std::string value = doc.GetAttrib(name);
        if (!value.empty()) {
            out.SetAttribute(name, value.c_str());
        }
    }
    return out.GetDocument();
}

} // namespace

SearchEngine::Command SearchEngine::PrepareSetConfig(const std::string& mac, const std::string& xml) const
{
    CMarkupSTL doc;
    if (!doc.SetDocument(xml.data(), xml.size()) || !doc.FindElement()) {
        return Command(Command::Type::Stop);
    }
    const std::string root = doc.GetTagName();
    const bool activate = root == proto::kActivateRequestRoot;
    if (!activate && proto::ReadMessage(xml).type != proto::Incoming::Type::SetIp) {
        return Command(Command::Type::Stop);
    }
    Command command(Command::Type::SetConfig);
    command.mac = mac;
    command.mode = kRefuse;
    const std::optional<DeviceKeys::Device> device = m_keys.Find(mac);
    if (!device) {
        command.reason = proto::kReasonUnknownDevice;
    } else if (!device->secure) {
        // The old protocol carries the password in clear: only when the user said so.
        command.reason = proto::kReasonLegacy;
        if (!activate && m_legacyAllowed) {
            command.mode = kLegacy;
            command.text = LegacyRequest(doc);
        }
    } else if (activate) {
        command.reason = proto::kReasonActivated;
        if (device->salt.empty()) {
            command.mode = kActivate;
            command.password = doc.GetAttrib("password");
            command.devicePublicKey = device->publicKey;
        }
    } else if (device->salt.empty()) {
        command.reason = proto::kReasonNotActivated;
    } else {
        command.key = m_keys.PasswordKey(mac, device->salt, doc.GetAttrib("password"));
        command.mode = command.key.empty() ? kRefuse : kSetIp;
        command.reason = proto::kReasonBadProof;
        // Only what the user entered travels; the device keeps its DNS and encryption type.
        command.request.Set("dhcp", doc.GetAttrib("dhcpSwitch") == "true" ? "1" : "0")
            .Set("ip", doc.GetAttrib("ipAddr"))
            .Set("mask", doc.GetAttrib("maskAddr"))
            .Set("route", doc.GetAttrib("route"))
            .Set("httpPort", doc.GetAttrib("httpPort"))
            .Set("dataPort", doc.GetAttrib("dataPort"));
    }
    return command;
}

SearchEngine::Command SearchEngine::PrepareRestore(const std::string& mac) const
{
    Command refused(Command::Type::Stop);
    const std::optional<DeviceKeys::Device> device = m_keys.Find(mac);
    if (!device) {
        return refused;
    }
    Command command(Command::Type::Restore);
    command.mac = mac;
    if (!device->secure) {
        if (!m_legacyAllowed) {
            refused.id = proto::kRestoreRefusedLegacy;
            return refused;
        }
        return command;
    }
    const crypto::KeyPair own = crypto::GenerateX25519();
    const std::optional<std::string> shared = crypto::X25519Shared(own.privateKey, device->publicKey);
    if (!shared) {
        return refused;
    }
    const std::string nonce = FreshNonce();
    command.key = proto::DeriveSessionKeys(*shared, "reset", mac, nonce).proofKey;
    command.request.root = proto::kResetRoot;
    command.request.Set("mac", mac).Set("cnonce", nonce).Set("ephKey", crypto::Hex(own.publicKey));
    return command;
}

void SearchEngine::StartSetConfig(Command& command, Clock::time_point now)
{
    PendingSetConfig& pending = m_setConfigs[command.mac];
    pending = PendingSetConfig{};
    pending.mode = command.mode;
    pending.expires = now + kSetConfigLifetime;
    pending.nextSend = now;
    pending.sendsLeft = kSetConfigSends;
    if (command.mode == kRefuse) {
        pending.answered = true;
        ConfigAnswer refusal;
        refusal.reason = command.reason;
        Deliver(command.mac, SCANIX_KIND_SETIP_ANSWER, BuildConfigAnswer(command.mac, refusal));
        return;
    }
    if (command.mode == kLegacy) {
        pending.text = command.text;
        pending.challenged = true;
        return;
    }
    pending.clientNonce = FreshNonce();
    pending.request = std::move(command.request);
    pending.key = std::move(command.key);
    if (command.mode == kActivate) {
        const crypto::KeyPair own = crypto::GenerateX25519();
        const auto shared = crypto::X25519Shared(own.privateKey, command.devicePublicKey);
        if (!shared) {
            m_setConfigs.erase(command.mac);
            return;
        }
        const proto::SessionKeys keys = proto::DeriveSessionKeys(*shared, "activate", command.mac, pending.clientNonce);
        pending.sealKey = keys.sealKey;
        pending.key = keys.proofKey;
        pending.password = std::move(command.password);
        pending.request.Set("ephKey", crypto::Hex(own.publicKey));
    }
    SecureMessage challenge;
    challenge.root = proto::kChallengeRoot;
    challenge.Set("mac", command.mac).Set("cnonce", pending.clientNonce);
    pending.text = proto::BuildSecure(challenge);
}

void SearchEngine::SendSetConfig(PendingSetConfig& pending, Clock::time_point now)
{
    SendToDevices(pending.text);
    --pending.sendsLeft;
    pending.nextSend = now + kSetConfigResend;
}

void SearchEngine::HandleSecure(const proto::Incoming& message, std::uint32_t source)
{
    const SecureMessage& answer = message.secure;
    if (answer.root == proto::kResetResultRoot) {
        HandleResetAnswer(answer);
        return;
    }
    auto pending = m_setConfigs.find(message.mac);
    if (pending == m_setConfigs.end() || pending->second.answered || pending->second.mode == kLegacy ||
        answer.Get("cnonce") != pending->second.clientNonce) {
        return;
    }
    if (answer.root == proto::kChallengeResultRoot) {
        HandleChallenge(answer, pending->second);
    } else if (answer.root == proto::kSecureSetIpResultRoot || answer.root == proto::kActivateResultRoot) {
        HandleConfigAnswer(answer, pending->second, source);
    }
}

void SearchEngine::HandleChallenge(const SecureMessage& answer, PendingSetConfig& pending)
{
    const std::string deviceNonce = answer.Get("dnonce");
    if (pending.challenged || !crypto::FromHex(deviceNonce, crypto::kNonceBytes)) {
        return;
    }
    const std::string mac = answer.Get("mac");
    pending.deviceNonce = deviceNonce;
    SecureMessage request;
    request.Set("mac", proto::NormalizeMac(mac)).Set("cnonce", pending.clientNonce).Set("dnonce", deviceNonce);
    for (const auto& [name, value] : pending.request.fields) {
        request.Set(name, value);
    }
    if (pending.mode == kActivate) {
        request.root = proto::kActivateRoot;
        const std::string aad = request.Get("mac") + "\n" + pending.clientNonce + "\n" + deviceNonce;
        const auto sealed = crypto::Seal(pending.sealKey, proto::SealNonce(pending.clientNonce), aad, pending.password);
        pending.password.clear();
        if (!sealed) {
            pending.sendsLeft = 0;
            return;
        }
        request.Set("sealed", crypto::Hex(*sealed));
    } else {
        request.root = proto::kSecureSetIpRoot;
    }
    proto::Sign(request, pending.key);
    pending.text = proto::BuildSecure(request);
    pending.challenged = true;
    pending.sendsLeft = kSetConfigSends;
    SendSetConfig(pending, Clock::now());
}

void SearchEngine::HandleConfigAnswer(const SecureMessage& answer, PendingSetConfig& pending, std::uint32_t source)
{
    const bool matches = (pending.mode == kActivate) == (answer.root == proto::kActivateResultRoot);
    if (!pending.challenged || !matches || answer.Get("dnonce") != pending.deviceNonce) {
        return;
    }
    const std::string mac = proto::NormalizeMac(answer.Get("mac"));
    ConfigAnswer out;
    out.result = answer.Get("result") == "0" ? 0 : 1;
    out.authenticated = proto::Verify(answer, pending.key);
    if (!out.authenticated && out.result == 0) {
        return; // a success nobody can prove is no answer at all
    }
    pending.answered = true;
    out.reason = out.result == 0 ? std::string() : KnownReason(answer.Get("reason"));
    if (out.authenticated) {
        m_keys.Moved(mac, source);
        out.ip = answer.Get("ip");
        out.httpType = answer.Get("httpType");
        out.httpPort = answer.Get("httpPort");
        out.dataPort = answer.Get("dataPort");
        out.tlsKey = answer.Get("tlsKey");
        if (pending.mode == kActivate && out.result == 0) {
            if (const auto salt = crypto::FromHex(answer.Get("salt"), crypto::kSaltBytes)) {
                m_keys.SetSalt(mac, *salt);
            }
        }
    }
    Deliver(mac, SCANIX_KIND_SETIP_ANSWER, BuildConfigAnswer(mac, out));
}

void SearchEngine::HandleResetAnswer(const SecureMessage& answer)
{
    const std::string mac = proto::NormalizeMac(answer.Get("mac"));
    for (auto it = m_restores.begin(); it != m_restores.end(); ++it) {
        PendingRestore& pending = it->second;
        if (pending.clientNonce.empty() || pending.mac != mac || answer.Get("cnonce") != pending.clientNonce) {
            continue;
        }
        // Every answer to a reset, a refusal too, proves itself with the device's key.
        if (!proto::Verify(answer, pending.proofKey)) {
            return;
        }
        int result = 0;
        if (answer.Get("result") == "1") {
            result = 1;
        } else if (answer.Get("reason") == proto::kReasonButton) {
            result = proto::kRestoreRefusedButton;
        } else if (answer.Get("reason") == proto::kReasonUnsupported) {
            result = proto::kRestoreRefusedUnsupported;
        }
        pending.answer->set_value(result);
        m_restores.erase(it);
        return;
    }
}

} // namespace scanix::search
