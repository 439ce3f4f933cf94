#include "HttpTestServer.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

HttpTestServer::HttpTestServer(const std::string& password)
{
    int out[2];
    if (pipe(out) != 0) {
        return;
    }
    m_pid = fork();
    if (m_pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        execlp("python3", "python3", SCANIX_HTTP_SERVER_SCRIPT, password.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_pid > 0 && line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd pfd{out[0], POLLIN, 0};
        if (poll(&pfd, 1, 100) <= 0) {
            continue;
        }
        char buf[64];
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        line.append(buf, static_cast<size_t>(n));
    }
    close(out[0]);
    if (line.compare(0, 5, "PORT ") == 0) {
        m_port = std::atoi(line.c_str() + 5);
    }
}

HttpTestServer::~HttpTestServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}
