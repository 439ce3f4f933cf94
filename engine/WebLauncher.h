#pragma once

#include <cstdint>
#include <string>

// Launcher files. The template is read from the program's own folder (or the folder given to
// LaunchWebPage), never from the current directory: a template planted in a download folder
// would have its commands run. The filled-in files go to LauncherWorkDirectory().
extern const char kLauncherTemplate[]; // "OpenURLWithAdminSrc.txt": read, never changed
extern const char kLauncherFilled[];   // "OpenURLWithAdmin.txt": the filled-in command
extern const char kLauncherScript[];   // "OpenURLWithAdmin.bat": the same file, run

// The folder of the running executable; empty when it cannot be read.
std::string ProgramDirectory();
// A folder only this user can write: "$XDG_RUNTIME_DIR/scanix", else "scanix" in the user's
// cache folder, created with mode 0700. Empty when no such folder can be had (one that
// exists but is not a directory of this user's, or that others may write, is refused).
std::string LauncherWorkDirectory();

// The web page of a device at address (network byte order): "https://a.b.c.d:port" when
// httpType is 1, "http://a.b.c.d" for port 80, else "http://a.b.c.d:port"; a port outside
// 1..65535 (none reported) gives the scheme's address without a port. The address is
// always written from the number, so no text of the device's reaches the launcher.
std::string FormatDeviceUrl(std::uint32_t address, int httpPort, int httpType);

// The address to open a device's page on: ipAddr when it accepts a connection on dataPort
// within timeoutMs, else ipAddr2. A text that is not a dotted address, 0.0.0.0, a loopback
// address or one of this host's own is never chosen; returns 0 when neither is usable.
std::uint32_t ChooseDeviceAddress(const char* ipAddr, const char* ipAddr2, int dataPort, int timeoutMs);

// Opens url in the browser: the template's text (from templateDirectory, by default the
// program's folder) from its first "http" on is replaced by url, the result is saved as the
// launcher script in LauncherWorkDirectory() and run by /bin/sh, detached. Without a template,
// or with one holding no "http", the URL is opened with xdg-open directly. Returns false,
// running nothing, for a URL with characters a URL of ours never holds, or when there is no
// private folder for the script; and false when the command ends with a failure within a
// short watch (no browser, a browser that refuses to start).
bool LaunchWebPage(const std::string& url, const std::string& templateDirectory = ProgramDirectory());
