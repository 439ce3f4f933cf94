#include "WebLauncher.h"

#include "DeviceAddress.h"
#include "ProbeTcp.h"
#include "SpawnDetached.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

const char kLauncherTemplate[] = "OpenURLWithAdminSrc.txt";
const char kLauncherFilled[] = "OpenURLWithAdmin.txt";
const char kLauncherScript[] = "OpenURLWithAdmin.bat";

namespace {

// How long a started launcher is watched for failing: xdg-open ends within this when it
// finds no browser, or when the browser it starts refuses; a browser still running then
// has taken the page.
constexpr int kLaunchWatchMs = 1500;

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

// 0 for a text that is not a dotted address or names no other host than this one.
std::uint32_t ParseAddress(const char* text)
{
    in_addr addr{};
    if (text == nullptr || inet_pton(AF_INET, text, &addr) != 1 || !IsOffHostAddress(addr.s_addr)) {
        return 0;
    }
    return addr.s_addr;
}

std::string InDirectory(const std::string& directory, const char* name)
{
    return directory.empty() ? std::string(name) : directory + "/" + name;
}

std::string AbsoluteEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

// Creates folder (mode 0700) if missing; true when it is a real directory of this user's
// that nobody else may write.
bool IsPrivateDirectory(const std::string& folder)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info = {};
    return lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string ProgramDirectory()
{
    char path[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return std::string();
    }
    const std::string program(path, static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/'));
}

std::string LauncherWorkDirectory()
{
    std::string base = AbsoluteEnv("XDG_RUNTIME_DIR");
    if (base.empty()) {
        base = AbsoluteEnv("XDG_CACHE_HOME");
        const std::string home = AbsoluteEnv("HOME");
        if (base.empty() && !home.empty()) {
            base = home + "/.cache";
            mkdir(base.c_str(), 0700);
        }
    }
    if (base.empty()) {
        return std::string();
    }
    const std::string folder = base + "/scanix";
    return IsPrivateDirectory(folder) ? folder : std::string();
}

std::string FormatDeviceUrl(std::uint32_t address, int httpPort, int httpType)
{
    in_addr addr{};
    addr.s_addr = address;
    char dotted[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr, dotted, sizeof dotted);
    char url[64] = {};
    // Without a usable port the scheme's own port is the best guess, and the address no port.
    if (httpPort < 1 || httpPort > 65535) {
        std::snprintf(url, sizeof url, "%s://%s", httpType == 1 ? "https" : "http", dotted);
    } else if (httpType == 1) {
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
    if (first != 0 && (second == 0 || dataPort <= 0 || ProbeTcp(first, dataPort, timeoutMs))) {
        // Without a usable second address the first is the only candidate, answering or not;
        // without a reported data port there is nothing to probe, and the first comes first.
        return first;
    }
    return second;
}

bool LaunchWebPage(const std::string& url, const std::string& templateDirectory)
{
    if (!IsShellSafeUrl(url)) {
        return false;
    }
    // Without a known folder of its own the program reads no template at all: a relative name
    // would fall back to the current directory.
    std::ifstream source;
    if (!templateDirectory.empty()) {
        source.open(InDirectory(templateDirectory, kLauncherTemplate), std::ios::binary);
    }
    std::string text;
    if (source.is_open()) {
        text.assign(std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>());
        // The template is read as raw bytes; it counts only up to its first zero byte.
        text.resize(std::strlen(text.c_str()));
    }
    const size_t at = text.find("http");
    if (at == std::string::npos) {
        return SpawnWatched({"xdg-open", url}, kLaunchWatchMs);
    }
    text.replace(at, std::string::npos, url);

    const std::string work = LauncherWorkDirectory();
    if (work.empty()) {
        return false;
    }
    const std::string filled = InDirectory(work, kLauncherFilled);
    const std::string script = InDirectory(work, kLauncherScript);
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
    return SpawnWatched({"/bin/sh", script}, kLaunchWatchMs);
}
