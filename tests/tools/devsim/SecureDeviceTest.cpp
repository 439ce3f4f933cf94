// What a simulated device of the authenticated protocol accepts, refuses and remembers.
#include "SecureDevice.h"

#include "Crypto.h"
#include "ProtocolConstants.h"

#include <gtest/gtest.h>

using namespace scanix::proto;
using Clock = std::chrono::steady_clock;

namespace {

SimDevice Camera()
{
    SimDevice d;
    d.mac = "02:5C:01:00:00:00";
    d.series = "QMX_IPC";
    d.ip = "10.0.0.64";
    d.mask = "255.255.255.0";
    d.gateway = "10.0.0.1";
    d.password = "Admin123";
    d.Provision();
    return d;
}

SecureMessage Read(const std::string& text)
{
    return ReadSecure(text).value_or(SecureMessage{});
}

// A challenge, then a request for `ip` proven with `password`; the device's answer.
SecureMessage Change(SimDevice& d, const std::string& password, const std::string& ip, Clock::time_point now)
{
    SecureMessage challenge;
    challenge.root = kChallengeRoot;
    challenge.Set("mac", d.mac).Set("cnonce", crypto::Hex(crypto::RandomBytes(16)));
    const SecureMessage nonce = Read(HandleSecureRequest(d, challenge, BuildSecure(challenge), "", now).answer);
    SecureMessage request;
    request.root = kSecureSetIpRoot;
    request.Set("mac", d.mac).Set("cnonce", challenge.Get("cnonce")).Set("dnonce", nonce.Get("dnonce"));
    request.Set("ip", ip).Set("mask", "255.255.255.0").Set("route", "10.0.0.1");
    Sign(request, crypto::DerivePasswordKey(password, d.salt));
    return Read(HandleSecureRequest(d, request, BuildSecure(request), "", now).answer);
}

} // namespace

TEST(SecureDevice, NoncesRepeatsLockAndActivation)
{
    SimDevice d = Camera();
    const Clock::time_point now = Clock::now();
    const struct
    {
        const char* password;
        const char* reason;
    } attempts[] = {{"Admin123", ""},
                    {"wrong1", kReasonBadProof},
                    {"wrong2", kReasonBadProof},
                    {"wrong3", kReasonBadProof},
                    {"wrong4", kReasonBadProof},
                    {"wrong5", kReasonLocked},
                    {"Admin123", kReasonLocked}};
    for (const auto& a : attempts) {
        EXPECT_EQ(a.reason, Change(d, a.password, "10.0.0.70", now).Get("reason")) << a.password;
    }
    const Clock::time_point later = now + std::chrono::seconds(61);
    EXPECT_EQ("", Change(d, "Admin123", "10.0.0.71", later).Get("reason")) << "unlocked";
    EXPECT_EQ("10.0.0.71", d.ip);

    // A request is answered once: its repeat gets the same datagram, a nonce is used once.
    SecureMessage challenge;
    challenge.root = kChallengeRoot;
    challenge.Set("mac", d.mac).Set("cnonce", std::string(32, '1'));
    const SecureMessage nonce = Read(HandleSecureRequest(d, challenge, BuildSecure(challenge), "", later).answer);
    SecureMessage request;
    request.root = kSecureSetIpRoot;
    request.Set("mac", d.mac).Set("cnonce", std::string(32, '1')).Set("dnonce", nonce.Get("dnonce"));
    request.Set("ip", "10.0.0.72").Set("mask", "255.255.255.0").Set("route", "10.0.0.1");
    Sign(request, d.Verifier());
    const std::string text = BuildSecure(request);
    const SecureOutcome first = HandleSecureRequest(d, request, text, "", later);
    EXPECT_TRUE(first.applied);
    d.ip = "10.0.0.71";
    const SecureOutcome repeat = HandleSecureRequest(d, request, text, "", later);
    EXPECT_EQ(first.answer, repeat.answer);
    EXPECT_FALSE(repeat.applied);
    EXPECT_EQ("10.0.0.71", d.ip);
    request.Set("cnonce", std::string(32, '2'));
    Sign(request, d.Verifier());
    EXPECT_EQ(kReasonStale,
              Read(HandleSecureRequest(d, request, BuildSecure(request), "", later).answer).Get("reason"));

    // Activation: the first password, sealed; only a device without one takes it.
    const crypto::KeyPair own = crypto::GenerateX25519();
    const auto activate = [&](const std::string& password) {
        SecureMessage c;
        c.root = kChallengeRoot;
        c.Set("mac", d.mac).Set("cnonce", std::string(32, '3'));
        const std::string dnonce = Read(HandleSecureRequest(d, c, BuildSecure(c), "", later).answer).Get("dnonce");
        const SessionKeys keys =
            DeriveSessionKeys(*crypto::X25519Shared(own.privateKey, d.publicKey), "activate", d.mac, c.Get("cnonce"));
        const auto sealed = crypto::Seal(
            keys.sealKey, SealNonce(c.Get("cnonce")), d.mac + "\n" + c.Get("cnonce") + "\n" + dnonce, password);
        SecureMessage m;
        m.root = kActivateRoot;
        m.Set("mac", d.mac).Set("cnonce", c.Get("cnonce")).Set("dnonce", dnonce);
        m.Set("ephKey", crypto::Hex(own.publicKey)).Set("sealed", crypto::Hex(*sealed));
        const SecureMessage answer = Read(HandleSecureRequest(d, m, BuildSecure(m), "", later).answer);
        EXPECT_TRUE(Verify(answer, keys.proofKey));
        return answer.Get("reason");
    };
    EXPECT_EQ(kReasonActivated, activate("Another-Pass1"));
    d.restoreWindowUntil = later + std::chrono::minutes(5);
    ASSERT_TRUE(d.RestoreDefault());
    EXPECT_EQ(kReasonNotActivated, Change(d, "Admin123", "10.0.0.73", later).Get("reason"));
    EXPECT_EQ(kReasonWeakPassword, activate("password"));
    EXPECT_EQ("", activate("Another-Pass1"));
    EXPECT_TRUE(d.Activated());
    EXPECT_EQ("", Change(d, "Another-Pass1", "10.0.0.73", later).Get("reason"));
}
