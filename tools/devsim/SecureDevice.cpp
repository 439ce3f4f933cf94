#include "SecureDevice.h"

#include "Crypto.h"
#include "ProtocolConstants.h"
#include "WireMac.h"

#include <algorithm>
#include <cctype>

namespace crypto = scanix::proto::crypto;
using scanix::proto::SecureMessage;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kMaxNonces = 16;
constexpr auto kNonceLifetime = std::chrono::seconds(30);
constexpr std::size_t kMaxAnswered = 16;
constexpr std::size_t kBadProofLimit = 5;
constexpr auto kBadProofWindow = std::chrono::seconds(60);
constexpr auto kLockTime = std::chrono::seconds(60);

SecureMessage Answer(const char* root, const SimDevice& device, const SecureMessage& request)
{
    SecureMessage answer;
    answer.root = root;
    answer.Set("mac", device.mac).Set("cnonce", request.Get("cnonce"));
    if (request.Has("dnonce")) {
        answer.Set("dnonce", request.Get("dnonce"));
    }
    if (request.Has("id")) {
        answer.Set("id", request.Get("id"));
    }
    return answer;
}

std::string Refusal(const char* root, const SimDevice& device, const SecureMessage& request, const char* reason)
{
    SecureMessage answer = Answer(root, device, request);
    answer.Set("result", "1").Set("reason", reason);
    return scanix::proto::BuildSecure(answer);
}

// A nonce the device handed out and has not seen used: true once, then it is gone.
bool TakeNonce(SimDevice& device, const std::string& value, Clock::time_point now)
{
    const auto found = std::find_if(
        device.nonces.begin(), device.nonces.end(), [&](const SimDevice::Nonce& n) { return n.value == value; });
    if (found == device.nonces.end()) {
        return false;
    }
    const bool fresh = now < found->expires;
    device.nonces.erase(found);
    return fresh;
}

void Remember(SimDevice& device, const std::string& key, const std::string& request, const std::string& answer)
{
    if (device.answeredOrder.size() >= kMaxAnswered) {
        device.answered.erase(device.answeredOrder.front());
        device.answeredOrder.pop_front();
    }
    device.answered[key] = {request, answer};
    device.answeredOrder.push_back(key);
}

bool Locked(SimDevice& device, Clock::time_point now)
{
    return now < device.lockedUntil;
}

void CountBadProof(SimDevice& device, Clock::time_point now)
{
    while (!device.badProofs.empty() && now - device.badProofs.front() > kBadProofWindow) {
        device.badProofs.pop_front();
    }
    device.badProofs.push_back(now);
    if (device.badProofs.size() >= kBadProofLimit) {
        device.lockedUntil = now + kLockTime;
        device.badProofs.clear();
    }
}

std::string Challenge(SimDevice& device, const SecureMessage& request, Clock::time_point now)
{
    if (!crypto::FromHex(request.Get("cnonce"), crypto::kNonceBytes)) {
        return {};
    }
    if (device.nonces.size() >= kMaxNonces) {
        device.nonces.pop_front();
    }
    const std::string nonce = crypto::Hex(crypto::RandomBytes(crypto::kNonceBytes));
    device.nonces.push_back({nonce, now + kNonceLifetime});
    SecureMessage answer = Answer(scanix::proto::kChallengeResultRoot, device, request);
    answer.Set("dnonce", nonce);
    return scanix::proto::BuildSecure(answer);
}

SecureOutcome SetIp(SimDevice& device, const SecureMessage& request, const std::string& tlsKey, Clock::time_point now)
{
    const char* root = scanix::proto::kSecureSetIpResultRoot;
    if (Locked(device, now)) {
        return {Refusal(root, device, request, scanix::proto::kReasonLocked)};
    }
    if (!device.Activated()) {
        return {Refusal(root, device, request, scanix::proto::kReasonNotActivated)};
    }
    const std::string key = device.Verifier();
    if (!scanix::proto::Verify(request, key)) {
        CountBadProof(device, now);
        return {Refusal(root,
                        device,
                        request,
                        Locked(device, now) ? scanix::proto::kReasonLocked : scanix::proto::kReasonBadProof)};
    }
    std::map<std::string, std::string> values = {{"password", device.password},
                                                 {"dhcpSwitch", request.Get("dhcp") == "1" ? "true" : "false"},
                                                 {"ipAddr", request.Get("ip")},
                                                 {"maskAddr", request.Get("mask")},
                                                 {"route", request.Get("route")},
                                                 {"httpPort", request.Get("httpPort")},
                                                 {"dataPort", request.Get("dataPort")}};
    // Ports ride in this request, proven like the rest, unless the device serves HTTPS: then its
    // web interface takes them, over TLS.
    const bool portsOverHttpOnly = device.portsOverHttpOnly;
    device.portsOverHttpOnly = portsOverHttpOnly && device.httpType == 1;
    const int result = device.ApplySetIp(values);
    device.portsOverHttpOnly = portsOverHttpOnly;
    SecureMessage answer = Answer(root, device, request);
    answer.Set("result", std::to_string(result))
        .Set("reason", result == 0 ? "" : scanix::proto::kReasonBadValues)
        .Set("ip", device.ip)
        .Set("httpType", std::to_string(device.httpType))
        .Set("httpPort", std::to_string(device.httpPort))
        .Set("dataPort", std::to_string(device.dataPort))
        .Set("tlsKey", device.httpType == 1 ? tlsKey : "");
    scanix::proto::Sign(answer, key);
    return {scanix::proto::BuildSecure(answer), result == 0};
}

SecureOutcome Activate(SimDevice& device, const SecureMessage& request)
{
    const char* root = scanix::proto::kActivateResultRoot;
    const auto peer = crypto::FromHex(request.Get("ephKey"), crypto::kPublicKeyBytes);
    const auto shared = peer ? crypto::X25519Shared(device.privateKey, *peer) : std::nullopt;
    if (!shared) {
        return {};
    }
    const std::string cnonce = request.Get("cnonce");
    const scanix::proto::SessionKeys keys = scanix::proto::DeriveSessionKeys(*shared, "activate", device.mac, cnonce);
    SecureMessage answer = Answer(root, device, request);
    const auto sealed = crypto::FromHex(request.Get("sealed"), request.Get("sealed").size() / 2);
    const std::string aad = device.mac + "\n" + cnonce + "\n" + request.Get("dnonce");
    const auto password =
        sealed ? crypto::Open(keys.sealKey, scanix::proto::SealNonce(cnonce), aad, *sealed) : std::nullopt;
    const char* reason = "";
    if (device.Activated()) {
        reason = scanix::proto::kReasonActivated;
    } else if (!password) {
        reason = scanix::proto::kReasonBadProof;
    } else if (!StrongEnough(*password)) {
        reason = scanix::proto::kReasonWeakPassword;
    }
    const bool applied = reason[0] == '\0';
    if (applied) {
        device.activated = 0;
        device.password = *password;
        device.Provision();
        device.Verifier();
        answer.Set("salt", crypto::Hex(device.salt));
    }
    answer.Set("result", applied ? "0" : "1").Set("reason", reason);
    scanix::proto::Sign(answer, keys.proofKey);
    return {scanix::proto::BuildSecure(answer), applied};
}

SecureOutcome Reset(SimDevice& device, const SecureMessage& request, Clock::time_point now)
{
    const auto peer = crypto::FromHex(request.Get("ephKey"), crypto::kPublicKeyBytes);
    const auto shared = peer ? crypto::X25519Shared(device.privateKey, *peer) : std::nullopt;
    if (!shared || !crypto::FromHex(request.Get("cnonce"), crypto::kNonceBytes)) {
        return {};
    }
    const scanix::proto::SessionKeys keys =
        scanix::proto::DeriveSessionKeys(*shared, "reset", device.mac, request.Get("cnonce"));
    SecureMessage answer = Answer(scanix::proto::kResetResultRoot, device, request);
    const char* reason = "";
    if (!device.canRestore) {
        reason = scanix::proto::kReasonUnsupported;
    } else if (now >= device.restoreWindowUntil) {
        reason = scanix::proto::kReasonButton;
    }
    const bool restored = reason[0] == '\0' && device.RestoreDefault();
    if (restored) {
        device.restoreWindowUntil = {};
    }
    answer.Set("result", restored ? "1" : "0").Set("reason", reason);
    scanix::proto::Sign(answer, keys.proofKey);
    return {scanix::proto::BuildSecure(answer), restored};
}

} // namespace

bool StrongEnough(const std::string& password)
{
    if (password.size() < 8 || password.size() > 39) {
        return false;
    }
    bool lower = false, upper = false, digit = false, other = false;
    for (const unsigned char c : password) {
        lower = lower || std::islower(c);
        upper = upper || std::isupper(c);
        digit = digit || std::isdigit(c);
        other = other || !std::isalnum(c);
    }
    return int(lower) + int(upper) + int(digit) + int(other) >= 3;
}

SecureOutcome HandleSecureRequest(SimDevice& device,
                                  const SecureMessage& request,
                                  const std::string& text,
                                  const std::string& tlsKey,
                                  Clock::time_point now)
{
    if (device.legacy) {
        return {};
    }
    if (request.root == scanix::proto::kChallengeRoot) {
        return {Challenge(device, request, now)};
    }
    const bool setIp = request.root == scanix::proto::kSecureSetIpRoot;
    const bool activate = request.root == scanix::proto::kActivateRoot;
    const bool reset = request.root == scanix::proto::kResetRoot;
    if (!setIp && !activate && !reset) {
        return {};
    }
    // Each request is answered once; its repeats (the searcher resends) get the same answer,
    // and a copy sent later changes nothing either.
    const std::string key = request.root + "\n" + request.Get("cnonce") + "\n" + request.Get("dnonce");
    if (const auto seen = device.answered.find(key); seen != device.answered.end()) {
        return {seen->second.request == text ? seen->second.answer : std::string()};
    }
    SecureOutcome outcome;
    if (reset) {
        outcome = Reset(device, request, now);
    } else if (!TakeNonce(device, request.Get("dnonce"), now)) {
        outcome.answer = Refusal(setIp ? scanix::proto::kSecureSetIpResultRoot : scanix::proto::kActivateResultRoot,
                                 device,
                                 request,
                                 scanix::proto::kReasonStale);
        return outcome;
    } else {
        outcome = setIp ? SetIp(device, request, tlsKey, now) : Activate(device, request);
    }
    if (!outcome.answer.empty()) {
        Remember(device, key, text, outcome.answer);
    }
    return outcome;
}
