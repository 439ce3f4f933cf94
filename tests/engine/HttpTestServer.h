#pragma once

#include <string>
#include <sys/types.h>

// The python test server (device_http_server.py) in a child process, listening on
// 127.0.0.1. The destructor stops it.
class HttpTestServer
{
public:
    explicit HttpTestServer(const std::string& password);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    // 0 when the server did not come up within its deadline.
    int Port() const
    {
        return m_port;
    }

private:
    pid_t m_pid = -1;
    int m_port = 0;
};
