#include "WebLauncher.h"

#include "ProbeTcp.h"
#include "SpawnDetached.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

const char kLauncherTemplate[] = "OpenURLWithAdminSrc.txt";
const char kLauncherFilled[] = "OpenURLWithAdmin.txt";
const char kLauncherScript[] = "OpenURLWithAdmin.bat";

namespace {

// The launcher script is shell text: accept only what FormatDeviceUrl can produce.
bool IsShellSafeUrl(const std::string& url)
{
    if (url.compare(0, 7, "http://") != 0 && url.compare(0, 8, "https://") != 0) {
        return false;
    }
    for (const char c : url) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' ||
                           c == '/' || c == '.' || c == '-' || c == '_';
        if (!plain) {
            return false;
        }
    }
    return true;
}

std::uint32_t ParseAddress(const char* text)
{
    in_addr addr{};
    if (text == nullptr || inet_pton(AF_INET, text, &addr) != 1) {
        return 0;
    }
    return addr.s_addr;
}

std::string InDirectory(const std::string& directory, const char* name)
{
    return directory.empty() ? std::string(name) : directory + "/" + name;
}

} // namespace

std::string FormatDeviceUrl(std::uint32_t address, int httpPort, int httpType)
{
    in_addr addr{};
    addr.s_addr = address;
    char dotted[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr, dotted, sizeof dotted);
    char url[64] = {};
    if (httpType == 1) {
        std::snprintf(url, sizeof url, "https://%s:%d", dotted, httpPort);
    } else if (httpPort == 80) {
        std::snprintf(url, sizeof url, "http://%s", dotted);
    } else {
        std::snprintf(url, sizeof url, "http://%s:%d", dotted, httpPort);
    }
    return url;
}

std::uint32_t ChooseDeviceAddress(const char* ipAddr, const char* ipAddr2, int dataPort, int timeoutMs)
{
    const std::uint32_t first = ParseAddress(ipAddr);
    const std::uint32_t second = ParseAddress(ipAddr2);
    if (first != 0 && (second == 0 || ProbeTcp(first, dataPort, timeoutMs))) {
        // Without a usable second address the first is the only candidate, answering or not.
        return first;
    }
    return second;
}

bool LaunchWebPage(const std::string& url, const std::string& directory)
{
    if (!IsShellSafeUrl(url)) {
        return false;
    }
    std::ifstream source(InDirectory(directory, kLauncherTemplate), std::ios::binary);
    std::string text;
    if (source.is_open()) {
        text.assign(std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>());
        // The template is read as raw bytes; it counts only up to its first zero byte.
        text.resize(std::strlen(text.c_str()));
    }
    const size_t at = text.find("http");
    if (at == std::string::npos) {
        return SpawnDetached({"xdg-open", url});
    }
    text.replace(at, std::string::npos, url);

    const std::string filled = InDirectory(directory, kLauncherFilled);
    const std::string script = InDirectory(directory, kLauncherScript);
    {
        std::ofstream out(filled, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            return false;
        }
    }
    std::remove(script.c_str());
    if (std::rename(filled.c_str(), script.c_str()) != 0) {
        return false;
    }
    return SpawnDetached({"/bin/sh", script});
}
