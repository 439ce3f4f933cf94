#pragma once

// The simulated devices' configuration interface: each device serves HTTP on its own
// address(es) and HTTP port with Basic authentication as admin and its password.
// POST /GetPortConfig answers the port document; POST /SetPortConfig applies one, after
// which the device serves on its new ports and announces itself. Each device also accepts
// TCP connections on its data port, as a camera does. Faults for tests: slow answers, no
// answer, no Content-Length, a huge Content-Length. GET / answers a small page naming the
// device; a device that reports HTTPS serves all of this over TLS with a self-signed certificate.

#include "Fleet.h"
#include "SelfSignedCert.h"

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct HttpFaultOptions
{
    int delayMs = 0;             // every answer waits this long
    bool silent = false;         // read requests, never answer
    bool noLength = false;       // answers carry no Content-Length (end by closing)
    bool hugeLength = false;     // answers announce 100000000 bytes, send a few, then go quiet
    bool closedDataPort = false; // refuse connections on the data port (a camera's service down)
};

class DeviceHttpServer
{
public:
    using PortsChanged = std::function<void(const std::string& mac)>;

    DeviceHttpServer(Fleet& fleet, const HttpFaultOptions& faults, PortsChanged onPortsChanged, std::FILE* log);
    ~DeviceHttpServer();
    DeviceHttpServer(const DeviceHttpServer&) = delete;
    DeviceHttpServer& operator=(const DeviceHttpServer&) = delete;

    // Starts serving every device whose address is one of this host's; returns how many
    // devices got a server. Devices elsewhere are skipped (and logged).
    int Start();
    // Stops every server; answers held back by a fault end at once.
    void Stop();
    // Any thread, any lock: moves the device's listeners if its address or ports changed.
    void Refresh(const std::string& mac);

private:
    struct Endpoint;

    std::unique_ptr<Endpoint> Serve(const std::string& mac);
    void RestartLoop();
    // True when the device's address or ports differ from those its listeners serve.
    bool Moved(const std::string& mac);
    bool Authorized(const std::string& mac, const std::string& header);
    // Holds an answer back as the faults ask; false when the server is stopping.
    bool HoldBack();
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

    Fleet& m_fleet;
    HttpFaultOptions m_faults;
    PortsChanged m_onPortsChanged;
    std::FILE* m_log;
    SelfSignedCert m_cert; // made by Start when a device reports HTTPS

    std::mutex m_mutex; // guards everything below
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::map<std::string, std::unique_ptr<Endpoint>> m_endpoints;
    // Devices whose listeners are to move; true: announce the device afterwards.
    std::vector<std::pair<std::string, bool>> m_restart;
    std::thread m_restarter;
};
