#include "Password.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace {

std::optional<std::string> PromptWithoutEcho(const char* prompt, std::string& error)
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
    // A prompt that cannot be shown does not stop the reading.
    (void)!write(tty, prompt, std::strlen(prompt));
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
        return PromptWithoutEcho("Device password: ", error);
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

std::optional<std::string> ReadNewPassword(bool fromStdin, std::string& error)
{
    if (fromStdin) {
        return ReadPassword(true, error);
    }
    const std::optional<std::string> first = PromptWithoutEcho("New device password: ", error);
    if (!first) {
        return first;
    }
    const std::optional<std::string> second = PromptWithoutEcho("Repeat the new password: ", error);
    if (!second) {
        return second;
    }
    if (*first != *second) {
        error = "the two passwords differ; nothing was sent";
        return std::nullopt;
    }
    return first;
}
