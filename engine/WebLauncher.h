#pragma once

#include <cstdint>
#include <string>

// Launcher files, named relative to the directory given to LaunchWebPage.
extern const char kLauncherTemplate[]; // "OpenURLWithAdminSrc.txt": read, never changed
extern const char kLauncherFilled[];   // "OpenURLWithAdmin.txt": the filled-in command
extern const char kLauncherScript[];   // "OpenURLWithAdmin.bat": the same file, run

// The web page of a device at address (network byte order): "https://a.b.c.d:port" when
// httpType is 1, "http://a.b.c.d" for port 80, else "http://a.b.c.d:port". The address is
// always written from the number, so no text of the device's reaches the launcher.
std::string FormatDeviceUrl(std::uint32_t address, int httpPort, int httpType);

// The address to open a device's page on: ipAddr when it accepts a connection on dataPort
// within timeoutMs, else ipAddr2. A text that is not a dotted address is never chosen;
// returns 0 when neither is one.
std::uint32_t ChooseDeviceAddress(const char* ipAddr, const char* ipAddr2, int dataPort, int timeoutMs);

// Opens url in the browser: the template's text from its first "http" on is replaced by
// url, the result is saved as the launcher script and run by /bin/sh, detached. Without a
// template, or with one holding no "http", the URL is opened with xdg-open directly.
// Returns false, running nothing, for a URL with characters a URL of ours never holds.
bool LaunchWebPage(const std::string& url, const std::string& directory = ".");
