// A simulated device's web page as a user sees it: a real browser (headless Chromium) in the
// pc node of a private network loads it over HTTP and, for a device that reports HTTPS, over
// TLS with the simulator's self-signed certificate.

#include "PrivateNetwork.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace scanix::test;

namespace {

// Chromium as the Debian package installs it; the test is skipped where it is missing.
const char* const kChromium = "/usr/bin/chromium";

// The DOM after load, as --dump-dom prints it; empty on failure. Bounded by timeout(1).
std::string DumpDom(const std::string& url)
{
    char profile[] = "/tmp/scanix-chromium.XXXXXX";
    if (mkdtemp(profile) == nullptr) {
        return {};
    }
    const std::string command = std::string("timeout -k 5 60 ") + kChromium +
                                " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                                " --disable-background-networking --disable-component-update --disable-sync"
                                " --ignore-certificate-errors --user-data-dir=" +
                                profile + " --dump-dom '" + url + "' 2>/dev/null";
    std::string dom;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        std::size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
            dom.append(chunk, n);
        }
        pclose(pipe);
    }
    std::system((std::string("rm -rf ") + profile).c_str());
    return dom;
}

class DevicePageBrowser : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateNamespaceProblem().empty()) {
            GTEST_SKIP() << "end-to-end test skipped: " << PrivateNamespaceProblem();
        }
        if (access(kChromium, X_OK) != 0) {
            GTEST_SKIP() << "no " << kChromium << " (tools/setup installs it)";
        }
        m_net = std::make_unique<TestNetwork>();
        ASSERT_TRUE(m_net->Ok());
        // The devices live in the pc node's own subnet, where the browser reaches them directly.
        const std::string lan1 = m_net->Namespace("lan1");
        for (int i = 0; i < 5; ++i) {
            const std::string add = "ip -n " + lan1 + " addr add 10.0.0." + std::to_string(64 + i) + "/24 dev eth0";
            ASSERT_EQ(std::system(add.c_str()), 0);
        }
        ASSERT_TRUE(m_net->EnterPc());
        // Device 0 is a camera on HTTP port 80; device 4 reports HTTPS on 8080.
        m_sim = std::make_unique<Simulator>(
            m_net->Namespace("lan1"),
            std::vector<std::string>{
                "--no-hello", "--count", "5", "--seed", "1", "--first-ip", "10.0.0.64", "--http", "--log", "-"});
        ASSERT_TRUE(m_sim->Ready());
    }

    std::unique_ptr<TestNetwork> m_net;
    std::unique_ptr<Simulator> m_sim;
};

} // namespace

TEST_F(DevicePageBrowser, ShowsTheDevicesMacOverHttpAndHttps)
{
    struct Case
    {
        const char* url;
        int index;
        const char* name;
    };
    for (const Case& c : {Case{"http://10.0.0.64/", 0, "IPC-1"}, Case{"https://10.0.0.68:8080/", 4, "DECODER-5"}}) {
        SCOPED_TRACE(c.url);
        const std::string dom = DumpDom(c.url);
        EXPECT_NE(dom.find("<td id=\"mac\">" + SimMac(1, c.index) + "</td>"), std::string::npos) << dom;
        EXPECT_NE(dom.find(c.name), std::string::npos) << dom;
    }
}
