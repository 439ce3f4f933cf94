#include "TestFiles.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

TempDir::TempDir()
{
    char name[] = "/tmp/scanix-test-XXXXXX";
    if (mkdtemp(name) != nullptr) {
        m_path = name;
    }
}

TempDir::~TempDir()
{
    if (!m_path.empty()) {
        std::system(("rm -rf '" + m_path + "'").c_str());
    }
}

void WriteFile(const std::string& path, const std::string& text, bool executable)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    if (executable) {
        chmod(path.c_str(), 0755);
    }
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0;
}

bool WaitForFile(const std::string& path, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        struct stat st
        {
        };
        if (stat(path.c_str(), &st) == 0 && st.st_size > 0) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
