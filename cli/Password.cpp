#include "Password.h"

#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace {

std::optional<std::string> PromptWithoutEcho(std::string& error)
{
    // The controlling terminal, not stdin: batch-ip may read its list from a pipe and still ask.
    const int tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) {
        error = "no password: give it with --password-stdin, or run on a terminal to be asked for it";
        return std::nullopt;
    }
    termios saved{};
    tcgetattr(tty, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(tty, TCSAFLUSH, &quiet);
    const char prompt[] = "Device password: ";
    // A prompt that cannot be shown does not stop the reading.
    (void)!write(tty, prompt, sizeof prompt - 1);
    std::string password;
    char c = 0;
    while (read(tty, &c, 1) == 1 && c != '\n') {
        password += c;
    }
    tcsetattr(tty, TCSAFLUSH, &saved);
    (void)!write(tty, "\n", 1);
    close(tty);
    return password;
}

} // namespace

std::optional<std::string> ReadPassword(bool fromStdin, std::string& error)
{
    if (!fromStdin) {
        return PromptWithoutEcho(error);
    }
    std::string password;
    if (!std::getline(std::cin, password)) {
        error = "--password-stdin: standard input ended before a password line";
        return std::nullopt;
    }
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    return password;
}
