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

struct PageLoad
{
    std::string dom; // as --dump-dom prints it; empty when the load failed
    std::string why; // Chromium's own account of a failed load, for the failure message
};

// One headless Chromium run on a fresh profile, bounded by timeout(1).
PageLoad LoadOnce(const std::string& url)
{
    PageLoad load;
    char profile[] = "/tmp/scanix-chromium.XXXXXX";
    if (mkdtemp(profile) == nullptr) {
        load.why = "no temporary profile";
        return load;
    }
    const std::string errors = std::string(profile) + ".log";
    const std::string command = std::string("timeout -k 5 60 ") + kChromium +
                                " --headless --no-sandbox --disable-gpu --disable-dev-shm-usage --disable-quic"
                                " --no-first-run --disable-background-networking --disable-component-update"
                                " --disable-sync --ignore-certificate-errors --user-data-dir=" +
                                profile + " --dump-dom '" + url + "' 2>" + errors;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        std::size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
            load.dom.append(chunk, n);
        }
        const int status = pclose(pipe);
        load.why = "exit status " + std::to_string(status);
    }
    if (FILE* log = std::fopen(errors.c_str(), "r")) {
        char line[1024];
        while (std::fgets(line, sizeof line, log) != nullptr) {
            const std::string text(line);
            if (text.find("Page load failed") != std::string::npos || text.find("FATAL") != std::string::npos) {
                load.why += "; " + text.substr(0, text.find_last_not_of('\n') + 1);
            }
        }
        std::fclose(log);
    }
    std::system((std::string("rm -rf ") + profile + " " + errors).c_str());
    return load;
}

// A browser's first runs on a fresh machine are not what is tested here, so a load that fails
// is tried again, a bounded number of times; every failure is kept for the message.
PageLoad Load(const std::string& url)
{
    PageLoad last;
    std::string failures;
    constexpr int kAttempts = 3;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        last = LoadOnce(url);
        if (!last.dom.empty()) {
            break;
        }
        failures += "attempt " + std::to_string(attempt) + ": " + last.why + "\n";
        if (attempt < kAttempts) {
            std::printf("%s: load failed (%s), trying again\n", url.c_str(), last.why.c_str());
        }
    }
    last.why = failures;
    return last;
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
        const PageLoad load = Load(c.url);
        EXPECT_NE(load.dom.find("<td id=\"mac\">" + SimMac(1, c.index) + "</td>"), std::string::npos)
            << load.why << load.dom;
        EXPECT_NE(load.dom.find(c.name), std::string::npos) << load.dom;
    }
}
