#include "WebLauncher.h"

#include "HostNamespace.h"
#include "TestFiles.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A directory for the launcher files and a bin directory first on PATH holding fake
// "browser" and "xdg-open" programs that record their arguments, one a line.
class WebLauncherTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.Path().empty());
        const std::string bin = m_dir.File("bin");
        ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
        for (const char* name : {"browser", "xdg-open"}) {
            WriteFile(bin + "/" + name,
                      "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + m_dir.File(name) + ".tmp\"\nmv \"" + m_dir.File(name) +
                          ".tmp\" \"" + m_dir.File(name) + "\"\n",
                      true);
        }
        const char* path = std::getenv("PATH");
        m_oldPath = path != nullptr ? path : "";
        setenv("PATH", (bin + ":" + m_oldPath).c_str(), 1);
        ASSERT_EQ(mkdir(m_dir.File("run").c_str(), 0700), 0);
        setenv("XDG_RUNTIME_DIR", m_dir.File("run").c_str(), 1);
    }
    void TearDown() override
    {
        setenv("PATH", m_oldPath.c_str(), 1);
        unsetenv("XDG_RUNTIME_DIR");
    }

    // Where the filled-in launcher files go.
    std::string Work(const char* name)
    {
        return m_dir.File("run") + "/scanix/" + name;
    }

    std::string Recorded(const char* program)
    {
        return WaitForFile(m_dir.File(program)) ? ReadFile(m_dir.File(program)) : std::string("(nothing ran)");
    }

    TempDir m_dir;
    std::string m_oldPath;
};

TEST(WebLauncher, UrlForms)
{
    const std::uint32_t address = inet_addr("192.168.1.64");
    EXPECT_EQ(FormatDeviceUrl(address, 443, 1), "https://192.168.1.64:443");
    EXPECT_EQ(FormatDeviceUrl(address, 80, 1), "https://192.168.1.64:80");
    EXPECT_EQ(FormatDeviceUrl(address, 80, 0), "http://192.168.1.64");
    EXPECT_EQ(FormatDeviceUrl(address, 8080, 0), "http://192.168.1.64:8080");
    EXPECT_EQ(FormatDeviceUrl(address, 443, 2), "http://192.168.1.64:443");
    // No port reported, or one no device can listen on: never written into the address.
    for (const int port : {0, -5, 65536, 2147483647}) {
        EXPECT_EQ(FormatDeviceUrl(address, port, 0), "http://192.168.1.64") << port;
        EXPECT_EQ(FormatDeviceUrl(address, port, 1), "https://192.168.1.64") << port;
    }
}

TEST(WebLauncher, ChoosesTheSecondAddressAndNeverThisHost)
{
    SKIP_WITHOUT_PRIVATE_NETWORK();
    // 10.66.0.5 is this host's own; 10.9.0.0/16 has no route, so a probe there never answers.
    ASSERT_TRUE(RunCommand("ip link add wl0 type veth peer name wl0p && ip link set wl0p up && ip addr add "
                           "10.66.0.5/24 dev wl0 && ip link set wl0 up"));
    const struct
    {
        const char* first;
        const char* second;
        const char* chosen;
    } cases[] = {
        {"10.9.0.1", "10.9.0.2", "10.9.0.2"},
        {"10.9.0.1", "", "10.9.0.1"},
        {"10.9.0.1;reboot", "10.9.0.2", "10.9.0.2"},
        {"10.9.0.1", "x$(reboot)", "10.9.0.1"},
        {"`reboot`", "", nullptr},
        // Loopback, 0.0.0.0 and this host's addresses are nobody's device.
        {"127.0.0.1", "10.9.0.2", "10.9.0.2"},
        {"10.66.0.5", "10.9.0.2", "10.9.0.2"},
        {"10.9.0.1", "127.0.0.1", "10.9.0.1"},
        {"10.9.0.1", "10.66.0.5", "10.9.0.1"},
        {"10.9.0.1", "0.0.0.0", "10.9.0.1"},
        {"127.0.0.1", "10.66.0.5", nullptr},
        {"0.0.0.0", "127.1.2.3", nullptr},
    };
    for (const auto& c : cases) {
        const std::uint32_t expected = c.chosen != nullptr ? inet_addr(c.chosen) : 0u;
        EXPECT_EQ(ChooseDeviceAddress(c.first, c.second, 9008, 200), expected) << c.first << " / " << c.second;
    }
    // No data port reported: nothing to probe, the first address is taken.
    EXPECT_EQ(ChooseDeviceAddress("10.9.0.1", "10.9.0.2", 0, 200), inet_addr("10.9.0.1"));
    RunCommand("ip link del wl0");
}

TEST_F(WebLauncherTest, TemplateCommandGetsTheNewUrlInPlaceOfTheOldOne)
{
    WriteFile(m_dir.File(kLauncherTemplate), "browser --new-window http://old.example/page trailing text\n");
    ASSERT_TRUE(LaunchWebPage("http://10.1.2.3:8080", m_dir.Path()));
    EXPECT_EQ(ReadFile(Work(kLauncherScript)), "browser --new-window http://10.1.2.3:8080");
    EXPECT_FALSE(FileExists(Work(kLauncherFilled)));
    EXPECT_EQ(Recorded("browser"), "--new-window\nhttp://10.1.2.3:8080\n");
    EXPECT_EQ(ReadFile(m_dir.File(kLauncherTemplate)), "browser --new-window http://old.example/page trailing text\n");
}

TEST_F(WebLauncherTest, TemplateIsReadOnlyUpToItsFirstZeroByte)
{
    WriteFile(m_dir.File(kLauncherTemplate), std::string("browser http://x\0browser http://y", 33));
    ASSERT_TRUE(LaunchWebPage("https://10.1.2.3:443", m_dir.Path()));
    EXPECT_EQ(Recorded("browser"), "https://10.1.2.3:443\n");
}

TEST_F(WebLauncherTest, UrlWithShellCharactersRunsNothing)
{
    WriteFile(m_dir.File(kLauncherTemplate), "browser http://old\n");
    for (const char* url : {"http://1.2.3.4;touch pwned", "http://$(touch pwned)", "http://1.2.3.4 `x`", "file:///"}) {
        EXPECT_FALSE(LaunchWebPage(url, m_dir.Path())) << url;
    }
    EXPECT_FALSE(FileExists(Work(kLauncherScript)));
}

TEST_F(WebLauncherTest, DeviceAddressWithShellCharactersNeverReachesTheLauncher)
{
    WriteFile(m_dir.File(kLauncherTemplate), "browser http://old\n");
    const std::uint32_t chosen = ChooseDeviceAddress("10.0.0.1;touch pwned", "10.0.0.9", 80, 200);
    ASSERT_TRUE(LaunchWebPage(FormatDeviceUrl(chosen, 80, 0), m_dir.Path()));
    EXPECT_EQ(Recorded("browser"), "http://10.0.0.9\n");
}

TEST_F(WebLauncherTest, MissingTemplateOpensTheUrlWithXdgOpen)
{
    ASSERT_TRUE(LaunchWebPage("http://10.1.2.3", m_dir.Path()));
    EXPECT_EQ(Recorded("xdg-open"), "http://10.1.2.3\n");
    EXPECT_FALSE(FileExists(Work(kLauncherScript)));
}

TEST_F(WebLauncherTest, TemplateWithoutHttpOpensTheUrlWithXdgOpen)
{
    WriteFile(m_dir.File(kLauncherTemplate), "browser --no-url\n");
    ASSERT_TRUE(LaunchWebPage("http://10.1.2.3:81", m_dir.Path()));
    EXPECT_EQ(Recorded("xdg-open"), "http://10.1.2.3:81\n");
}

TEST_F(WebLauncherTest, ShippedTemplateOpensTheUrlWithXdgOpen)
{
    WriteFile(m_dir.File(kLauncherTemplate), ReadFile(SCANIX_LAUNCHER_TEMPLATE));
    ASSERT_TRUE(LaunchWebPage("https://10.1.2.3:443", m_dir.Path()));
    EXPECT_EQ(Recorded("xdg-open"), "https://10.1.2.3:443\n");
}

TEST_F(WebLauncherTest, ALauncherThatFailsIsReported)
{
    // xdg-open without a browser ends with 3; a browser that refuses to start, with its own
    // failure; one still running after the watch has the page.
    const struct
    {
        const char* templateText; // empty: no template, xdg-open
        const char* xdgOpen;
        bool launched;
    } cases[] = {
        {"", "exit 3", false},
        {"browser-missing http://old\n", "exit 0", false},
        {"sh -c 'kill -9 $$' http://old\n", "exit 0", false},
        {"", "sleep 3", true},
        {"", "exit 0", true},
    };
    for (const auto& c : cases) {
        WriteFile(m_dir.File("bin") + "/xdg-open", std::string("#!/bin/sh\n") + c.xdgOpen + "\n", true);
        if (c.templateText[0] != '\0') {
            WriteFile(m_dir.File(kLauncherTemplate), c.templateText);
        } else {
            std::remove(m_dir.File(kLauncherTemplate).c_str());
        }
        EXPECT_EQ(LaunchWebPage("http://10.1.2.3", m_dir.Path()), c.launched) << c.templateText << c.xdgOpen;
    }
}

TEST_F(WebLauncherTest, TemplatePlantedInTheCurrentDirectoryIsNeverRun)
{
    char old[4096] = {};
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(m_dir.Path().c_str()), 0);
    WriteFile(kLauncherTemplate, "browser http://old\n");
    // The test program's folder holds no template: the URL goes to xdg-open.
    const bool launched = LaunchWebPage("http://10.9.8.7");
    EXPECT_EQ(chdir(old), 0);
    ASSERT_TRUE(launched);
    EXPECT_EQ(Recorded("xdg-open"), "http://10.9.8.7\n");
    EXPECT_FALSE(FileExists(m_dir.File("browser"))) << "the planted template ran";
    EXPECT_FALSE(FileExists(m_dir.File(kLauncherScript)));
}

TEST_F(WebLauncherTest, ScriptGoesOnlyToAFolderNobodyElseMayWrite)
{
    WriteFile(m_dir.File(kLauncherTemplate), "browser http://old\n");
    ASSERT_TRUE(LaunchWebPage("http://10.1.2.3", m_dir.Path()));
    struct stat info = {};
    ASSERT_EQ(stat(Work("").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(FileExists(Work(kLauncherScript)));
    // A folder of that name that others may write is not used: nothing runs.
    ASSERT_EQ(chmod(Work("").c_str(), 0777), 0);
    ASSERT_EQ(std::remove(Work(kLauncherScript).c_str()), 0);
    EXPECT_FALSE(LaunchWebPage("http://10.1.2.4", m_dir.Path()));
    EXPECT_FALSE(FileExists(Work(kLauncherScript)));
}

} // namespace
