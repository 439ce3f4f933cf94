// Requests end to end: "searchSetIP" and restore-default against simulated devices.

#include "SearchFixture.h"
#include "WireMac.h"

#include <gtest/gtest.h>

using namespace scanix::test;
using namespace std::chrono_literals;

namespace {

class ScanixSearchRequest : public SearchFixture
{
protected:
    // Index 0 of lan1 is an IP camera, index 3 a mobile recorder (no restore).
    const std::string m_camera = SimMac(1, 0);
    const std::string m_mobile = SimMac(1, 3);

    static scanix::proto::MacBytes Bytes(const std::string& mac)
    {
        scanix::proto::MacBytes bytes{};
        scanix::proto::ParseMac(mac, bytes);
        return bytes;
    }

    static std::string SetIp(const std::string& mac, const std::string& password, const std::string& ip)
    {
        return "<searchSetIP password=\"" + password + "\" serialNo=\"" + mac + "\" dhcpSwitch=\"false\" ipAddr=\"" +
               ip +
               "\" maskAddr=\"255.255.255.0\" route=\"192.168.1.1\" dns1=\"192.168.1.1\" dns2=\"8.8.4.4\" "
               "encryptType=\"md5\"/>\r\n";
    }

    std::vector<CallbackLog::Event> Answers()
    {
        std::vector<CallbackLog::Event> answers;
        for (const auto& e : m_log.Events()) {
            if (e.kind == SCANIX_KIND_SETIP_ANSWER) {
                answers.push_back(e);
            }
        }
        return answers;
    }
};

} // namespace

TEST_F(ScanixSearchRequest, SetIpWithRightPasswordIsAnsweredZeroThenAnnounced)
{
    StartLan1();
    InitLibrary();
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFound(7));
    ASSERT_EQ(0, SCANIX_SET_CONFIG(Bytes(m_camera).data(), SetIp(m_camera, "Admin123", "192.168.1.200").c_str()));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_SETIP_ANSWER, m_camera, 2));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_CHANGED, m_camera, 2));
    std::this_thread::sleep_for(700ms); // the request's repeats must not bring a second answer
    const auto answers = Answers();
    ASSERT_EQ(1u, answers.size());
    EXPECT_EQ("0", ElementText(answers[0].xml, "setIPResult"));
    for (const auto& e : m_log.Events()) {
        if (e.kind == SCANIX_KIND_CHANGED) {
            EXPECT_EQ("192.168.1.200", ElementText(e.xml, "ip"));
        }
    }
}

TEST_F(ScanixSearchRequest, SetIpWithWrongPasswordIsAnsweredOneAndChangesNothing)
{
    StartLan1();
    InitLibrary();
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFound(7));
    ASSERT_EQ(0, SCANIX_SET_CONFIG(Bytes(m_camera).data(), SetIp(m_camera, "guess", "192.168.1.201").c_str()));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_SETIP_ANSWER, m_camera, 2));
    std::this_thread::sleep_for(500ms);
    const auto answers = Answers();
    ASSERT_EQ(1u, answers.size());
    EXPECT_EQ("1", ElementText(answers[0].xml, "setIPResult"));
    EXPECT_EQ(0u, m_log.Count(SCANIX_KIND_CHANGED));
}

TEST_F(ScanixSearchRequest, SetIpToADeviceNotHeardIsRefusedAtOnce)
{
    StartLan1();
    InitLibrary();
    // Without a report, the library knows neither the device's protocol nor its key.
    const std::string absent = SimMac(9, 9);
    ASSERT_EQ(0, SCANIX_SET_CONFIG(Bytes(absent).data(), SetIp(absent, "Admin123", "192.168.1.202").c_str()));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_SETIP_ANSWER, absent, 1));
    EXPECT_EQ("1", ElementText(Answers()[0].xml, "setIPResult"));
    EXPECT_EQ("unknown-device", ElementText(Answers()[0].xml, "reason"));
}

TEST_F(ScanixSearchRequest, SetConfigRefusesWhatIsNotASetIpDocument)
{
    InitLibrary();
    const auto mac = Bytes(m_camera);
    EXPECT_EQ(-1, SCANIX_SET_CONFIG(mac.data(), "<other/>"));
    EXPECT_EQ(-1, SCANIX_SET_CONFIG(mac.data(), "not xml"));
    EXPECT_EQ(-1, SCANIX_SET_CONFIG(mac.data(), nullptr));
    EXPECT_EQ(-1, SCANIX_SET_CONFIG(nullptr, SetIp(m_camera, "x", "1.2.3.4").c_str()));
    EXPECT_EQ(-1, SCANIX_SET_CONFIG(mac.data(), ("<searchSetIP a=\"" + std::string(9000, 'x') + "\"/>").c_str()));
}

TEST_F(ScanixSearchRequest, RestoreNeedsTheButtonAndLeavesTheDeviceToBeActivated)
{
    Simulator& sim = StartLan1();
    InitLibrary();
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFound(7));
    EXPECT_EQ(1 << 8, SCANIX_SET_DevRestoreDefault(Bytes(m_camera).data())) << "refused: press the reset button";
    ASSERT_TRUE(sim.Command("button " + m_camera));
    EXPECT_EQ(1, SCANIX_SET_DevRestoreDefault(Bytes(m_camera).data()));

    // No password now, the factory one included: first a new one, sealed to the device's key.
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFor(SCANIX_KIND_CHANGED, m_camera, 3)) << "now reported as not activated";
    ASSERT_EQ(0, SCANIX_SET_CONFIG(Bytes(m_camera).data(), SetIp(m_camera, "12345", "192.168.1.203").c_str()));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_SETIP_ANSWER, m_camera, 2));
    EXPECT_EQ("not-activated", ElementText(Answers().back().xml, "reason"));
    const std::string activate = "<scanixSetPassword password=\"Fresh-Pass1\"/>";
    ASSERT_EQ(0, SCANIX_SET_CONFIG(Bytes(m_camera).data(), activate.c_str()));
    ASSERT_TRUE(m_log.WaitForCount(SCANIX_KIND_SETIP_ANSWER, 2, 2s));
    EXPECT_EQ("0", ElementText(Answers().back().xml, "setIPResult"));
    EXPECT_EQ("1", ElementText(Answers().back().xml, "authenticated"));
    ASSERT_EQ(0, SCANIX_SET_CONFIG(Bytes(m_camera).data(), SetIp(m_camera, "Fresh-Pass1", "192.168.1.203").c_str()));
    ASSERT_TRUE(m_log.WaitForCount(SCANIX_KIND_SETIP_ANSWER, 3, 2s));
    EXPECT_EQ("0", ElementText(Answers().back().xml, "setIPResult"));
}

TEST_F(ScanixSearchRequest, RestoreIsRefusedByATypeWithoutIt)
{
    StartLan1();
    InitLibrary();
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFound(7));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(2 << 8, SCANIX_SET_DevRestoreDefault(Bytes(m_mobile).data()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms) << "a refusal is an answer, not a time-out";
}

TEST_F(ScanixSearchRequest, RestoreWithoutAnswerEndsWithinItsBound)
{
    Simulator& sim = StartLan1();
    InitLibrary();
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFound(7));
    ASSERT_TRUE(sim.Command("mute " + m_camera));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, SCANIX_SET_DevRestoreDefault(Bytes(m_camera).data()));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 2500ms);
    EXPECT_LT(waited, 5s);
    // A device never heard is not asked at all.
    EXPECT_EQ(0, SCANIX_SET_DevRestoreDefault(Bytes(SimMac(9, 9)).data()));
}

TEST_F(ScanixSearchRequest, RequestsAreRepeatedAcrossLoss)
{
    Simulator& sim = StartLan1({"--drop", "0.3"});
    InitLibrary();
    // A device answers a round once, whatever its copies: a lost reply is made up by the next
    // search. Eight searches miss a device's every reply about once in 15000 (0.3^8); beyond a
    // burst of five, the searches' three seconds apart stay within the device's rate.
    bool found = false;
    for (int search = 0; search < 8 && !found; ++search) {
        SCANIX_SEARCH_Manual();
        found = WaitFound(7, 3);
    }
    ASSERT_TRUE(found);
    ASSERT_TRUE(sim.Command("button " + m_camera));
    EXPECT_EQ(1, SCANIX_SET_DevRestoreDefault(Bytes(m_camera).data()));
}
