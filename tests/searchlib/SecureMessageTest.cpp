// Building and checking the authenticated protocol's messages, and what the library admits.
#include "SecureMessage.h"

#include "Crypto.h"
#include "DeviceKeys.h"
#include "Messages.h"
#include "ProtocolConstants.h"

#include <functional>

#include <gtest/gtest.h>

using namespace scanix::proto;

namespace {

SecureMessage SignedRequest(const std::string& key)
{
    SecureMessage m;
    m.root = kSecureSetIpRoot;
    m.Set("mac", "02:5C:01:00:00:00").Set("cnonce", "aa").Set("dnonce", "bb").Set("ip", "10.0.0.7").Set("mask", "");
    Sign(m, key);
    return m;
}

} // namespace

TEST(SecureMessage, ProofCoversEveryValueItsPlaceAndTheKey)
{
    const std::string key = crypto::DerivePasswordKey("Admin123", std::string(16, 's'));
    ASSERT_EQ(32u, key.size());
    const struct
    {
        const char* what;
        std::function<void(SecureMessage&)> change;
        bool holds;
    } cases[] = {
        {"untouched", [](SecureMessage&) {}, true},
        {"a value", [](SecureMessage& m) { m.Set("ip", "10.0.0.8"); }, false},
        {"an empty value filled", [](SecureMessage& m) { m.Set("mask", "255.0.0.0"); }, false},
        {"a value moved", [](SecureMessage& m) { std::swap(m.fields[2].second, m.fields[1].second); }, false},
        {"a field added", [](SecureMessage& m) { m.Set("httpPort", "81"); }, false},
        {"a field dropped", [](SecureMessage& m) { m.fields.erase(m.fields.begin() + 3); }, false},
        {"the root", [](SecureMessage& m) { m.root = kActivateRoot; }, false},
        {"value into name",
         [](SecureMessage& m) {
             m.fields[3] = {"ip10.0.0.7", ""};
         },
         false},
        {"no proof", [](SecureMessage& m) { m.fields.pop_back(); }, false},
        {"another key", [&](SecureMessage& m) { Sign(m, crypto::DerivePasswordKey("admin123", "x")); }, false},
    };
    for (const auto& c : cases) {
        SecureMessage m = SignedRequest(key);
        c.change(m);
        EXPECT_EQ(c.holds, Verify(m, key)) << c.what;
        // What goes on the wire reads back as the same message.
        const auto read = ReadSecure(BuildSecure(m));
        ASSERT_TRUE(read) << c.what;
        EXPECT_EQ(c.holds, Verify(*read, key)) << c.what;
    }
    // A repeated child would let reader and proof see different values: not read at all.
    EXPECT_FALSE(ReadSecure("<scanixSetIp><ip>1</ip><ip>2</ip></scanixSetIp>"));
    EXPECT_FALSE(ReadSecure("<searchSetIP password=\"x\"/>"));
    const Incoming in = ReadMessage(BuildSecure(SignedRequest(key)));
    EXPECT_EQ(Incoming::Type::Secure, in.type);
    EXPECT_EQ("02:5C:01:00:00:00", in.mac);
}

TEST(SecureMessage, ReportTagAndSealedPasswordHoldOnlyForTheirKeysAndContext)
{
    const crypto::KeyPair device = crypto::GenerateX25519();
    const crypto::KeyPair searcher = crypto::GenerateX25519();
    const crypto::KeyPair other = crypto::GenerateX25519();
    DeviceFields fields;
    fields.mac = "02:5C:01:00:00:00";
    fields.event = kEventReply;
    fields.ip = "10.0.0.64";
    fields.publicKeyHex = crypto::Hex(device.publicKey);
    fields.saltHex = crypto::Hex(std::string(16, 's'));
    fields.probeNonce = "0011223344556677";
    const std::string report = TagReport(BuildResult(fields), ReportKey(device.privateKey, searcher.publicKey));
    const std::string key = ReportKey(searcher.privateKey, device.publicKey);
    EXPECT_TRUE(CheckReportTag(report, key));
    std::string moved = report;
    moved.replace(moved.find("10.0.0.64"), 9, "10.0.0.99");
    EXPECT_FALSE(CheckReportTag(moved, key)) << "an altered copy";
    EXPECT_FALSE(CheckReportTag(report, ReportKey(other.privateKey, device.publicKey))) << "another searcher";
    fields.probeNonce.clear();
    EXPECT_FALSE(CheckReportTag(BuildResult(fields), key)) << "untagged";
    const Incoming in = ReadMessage(report);
    EXPECT_TRUE(in.hasAuth);
    EXPECT_EQ(device.publicKey, in.publicKey);
    EXPECT_EQ("0011223344556677", in.probeNonce);

    const auto shared = crypto::X25519Shared(searcher.privateKey, device.publicKey);
    ASSERT_TRUE(shared);
    const SessionKeys keys = DeriveSessionKeys(*shared, "activate", fields.mac, std::string(32, 'c'));
    const std::string nonce = SealNonce(std::string(32, 'c'));
    const auto sealed = crypto::Seal(keys.sealKey, nonce, "context", "N3w-Secret!x");
    ASSERT_TRUE(sealed);
    EXPECT_EQ(std::string::npos, sealed->find("N3w-Secret!x"));
    const auto deviceShared = crypto::X25519Shared(device.privateKey, searcher.publicKey);
    const SessionKeys deviceKeys = DeriveSessionKeys(*deviceShared, "activate", fields.mac, std::string(32, 'c'));
    EXPECT_EQ("N3w-Secret!x", crypto::Open(deviceKeys.sealKey, nonce, "context", *sealed).value_or(""));
    EXPECT_FALSE(crypto::Open(deviceKeys.sealKey, nonce, "other context", *sealed));
    EXPECT_FALSE(crypto::Open(deviceKeys.proofKey, nonce, "context", *sealed));
}

TEST(DeviceKeys, AdmitsOnlyReportsThatAgreeWithWhatWasProven)
{
    scanix::search::DeviceKeys keys(2);
    const std::string a(32, 'a');
    const std::string b(32, 'b');
    const struct
    {
        const char* what;
        const char* mac;
        bool hasAuth;
        bool verified;
        std::string key;
        std::uint32_t source;
        bool admitted;
    } steps[] = {
        {"an untagged hello of a new device", "M1", true, false, a, 1, false},
        {"its tagged reply", "M1", true, true, a, 1, true},
        {"a hello from where it proved itself", "M1", true, false, a, 1, true},
        {"a hello from elsewhere", "M1", true, false, a, 2, false},
        {"a copy with another key", "M1", true, true, b, 2, false},
        {"the old protocol's report", "M1", false, false, "", 1, false},
        {"a tagged reply from a new address (moved)", "M1", true, true, a, 3, true},
        {"an old-protocol device", "M2", false, false, "", 5, true},
        {"its report from elsewhere", "M2", false, false, "", 6, false},
        {"the table is full", "M3", false, false, "", 7, false},
        {"the old device now proves a key", "M2", true, true, b, 5, true},
        {"and is never old again", "M2", false, false, "", 5, false},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.admitted, keys.Admit(s.mac, s.hasAuth, s.verified, s.key, "", s.source)) << s.what;
    }
    EXPECT_EQ(3u, keys.Find("M1")->source);

    // The table gave both up: released pins still hold, and a device admitted again is held again.
    keys.Release("M1");
    keys.Release("M2");
    EXPECT_FALSE(keys.Admit("M2", false, false, "", "", 5)) << "a released pin still refuses a forgery";
    EXPECT_TRUE(keys.Admit("M1", true, true, a, "", 3));
    // A new device takes the room of the pin released longest ago that is not held again.
    EXPECT_TRUE(keys.Admit("M3", false, false, "", "", 7)) << "a full set refused a device the table holds";
    EXPECT_FALSE(keys.Find("M2"));
    EXPECT_TRUE(keys.Find("M1"));
    EXPECT_FALSE(keys.Admit("M4", false, false, "", "", 8)) << "held pins are never given up";
}
