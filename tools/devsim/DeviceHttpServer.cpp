#include "DeviceHttpServer.h"

#include "CBase64Coder.h"
#include "DevicePage.h"
#include "PortDocument.h"

#include <chrono>
#include <cstdarg>
#include <httplib.h>
#include <thread>
#include <vector>

// One device's listeners: HTTP on each of its addresses, and its data port.
struct DeviceHttpServer::Endpoint
{
    // What the listeners were opened for.
    std::string ip, ip2;
    int httpPort = 0, dataPort = 0, httpType = 0;
    std::vector<std::unique_ptr<httplib::Server>> servers;
    std::vector<std::thread> threads;

    ~Endpoint()
    {
        // A server stopped before its thread began listening ignores the stop and would
        // listen for ever: give each a bounded moment to start first.
        for (auto& s : servers) {
            for (int waited = 0; !s->is_running() && waited < 2000; ++waited) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            s->stop();
        }
        for (auto& t : threads) {
            t.join();
        }
    }

    bool Listen(std::unique_ptr<httplib::Server> server, const std::string& address, int port)
    {
        if (address.empty() || port <= 0 || !server->bind_to_port(address.c_str(), port)) {
            return false;
        }
        httplib::Server* raw = server.get();
        servers.push_back(std::move(server));
        threads.emplace_back([raw] { raw->listen_after_bind(); });
        return true;
    }
};

namespace {

constexpr std::size_t kAnnouncedHugeLength = 100000000;

std::string ExpectedAuthorization(const std::string& password)
{
    const std::string plain = "admin:" + password;
    CBase64Coder coder;
    std::vector<char> encoded(static_cast<std::size_t>(coder.EncodedSize(static_cast<int>(plain.size()))));
    coder.Encode(reinterpret_cast<const unsigned char*>(plain.data()), static_cast<int>(plain.size()), encoded.data());
    return std::string("Basic ") + encoded.data();
}

bool ValidPort(int port)
{
    return port > 0 && port <= 65535;
}

} // namespace

DeviceHttpServer::DeviceHttpServer(Fleet& fleet,
                                   const HttpFaultOptions& faults,
                                   PortsChanged onPortsChanged,
                                   std::FILE* log)
    : m_fleet(fleet)
    , m_faults(faults)
    , m_onPortsChanged(std::move(onPortsChanged))
    , m_log(log)
{}

DeviceHttpServer::~DeviceHttpServer()
{
    Stop();
}

int DeviceHttpServer::Start()
{
    std::vector<std::string> macs;
    bool https = false;
    {
        std::lock_guard<std::mutex> lock(m_fleet.Lock());
        for (const SimDevice& d : m_fleet.Devices()) {
            macs.push_back(d.mac);
            https = https || d.httpType == 1;
        }
    }
    // One certificate for the whole fleet: browsers are told to accept it anyway.
    if (https && !m_cert.Generate("scanix-devsim")) {
        Log("http: cannot make a certificate; HTTPS devices serve plain HTTP");
    } else if (https) {
        // The devices vouch for this key in their authenticated answers.
        std::lock_guard<std::mutex> lock(m_fleet.Lock());
        m_fleet.tlsKey = m_cert.PublicKeyPin();
    }
    int served = 0;
    for (const std::string& mac : macs) {
        std::unique_ptr<Endpoint> endpoint = Serve(mac);
        if (endpoint) {
            ++served;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_endpoints[mac] = std::move(endpoint);
        }
    }
    m_restarter = std::thread([this] { RestartLoop(); });
    return served;
}

void DeviceHttpServer::Stop()
{
    std::map<std::string, std::unique_ptr<Endpoint>> endpoints;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        endpoints.swap(m_endpoints);
    }
    m_wake.notify_all();
    if (m_restarter.joinable()) {
        m_restarter.join();
    }
    endpoints.clear();
}

std::unique_ptr<DeviceHttpServer::Endpoint> DeviceHttpServer::Serve(const std::string& mac)
{
    std::string ip, ip2;
    int httpPort = 0, dataPort = 0, httpType = 0;
    {
        std::lock_guard<std::mutex> lock(m_fleet.Lock());
        const SimDevice* d = m_fleet.Find(mac);
        if (d == nullptr) {
            return nullptr;
        }
        ip = d->ip;
        ip2 = d->ip2;
        httpPort = d->httpPort;
        dataPort = d->dataPort;
        httpType = d->httpType;
    }

    auto endpoint = std::make_unique<Endpoint>();
    endpoint->ip = ip;
    endpoint->ip2 = ip2;
    endpoint->httpPort = httpPort;
    endpoint->dataPort = dataPort;
    endpoint->httpType = httpType;
    // A device that reports HTTPS serves everything on its HTTP port over TLS, as such a device does.
    const bool tls = httpType == 1 && m_cert.Certificate() != nullptr;
    for (const std::string& address : {ip, ip2}) {
        std::unique_ptr<httplib::Server> server =
            tls ? std::make_unique<httplib::SSLServer>(m_cert.Certificate(), m_cert.Key())
                : std::make_unique<httplib::Server>();
        server->Get("/", [this, mac](const httplib::Request&, httplib::Response& res) {
            std::string page;
            {
                std::lock_guard<std::mutex> lock(m_fleet.Lock());
                const SimDevice* d = m_fleet.Find(mac);
                if (d == nullptr) {
                    res.status = 404;
                    return;
                }
                page = DevicePage(*d);
            }
            if (HoldBack()) {
                res.set_content(page, "text/html; charset=utf-8");
            }
        });
        server->Post("/GetPortConfig", [this, mac](const httplib::Request& req, httplib::Response& res) {
            if (!Authorized(mac, req.get_header_value("Authorization"))) {
                res.status = 401;
                res.set_header("WWW-Authenticate", "Basic realm=\"device\"");
                return;
            }
            DevicePorts ports;
            {
                std::lock_guard<std::mutex> lock(m_fleet.Lock());
                const SimDevice* d = m_fleet.Find(mac);
                ports.httpPort = d != nullptr ? d->httpPort : 0;
                ports.dataPort = d != nullptr ? d->dataPort : 0;
                ports.rtspPort = d != nullptr && d->rtspPort > 0 ? d->rtspPort : 554;
            }
            if (!HoldBack()) {
                return;
            }
            const std::string document = BuildPortDocument(ports);
            if (m_faults.hugeLength) {
                res.set_content_provider(
                    kAnnouncedHugeLength, "application/xml", [this, document](size_t, size_t, httplib::DataSink& sink) {
                        sink.write(document.data(), document.size());
                        std::unique_lock<std::mutex> lock(m_mutex);
                        m_wake.wait_for(lock, std::chrono::seconds(30), [this] { return m_stopping; });
                        return false;
                    });
            } else if (m_faults.noLength) {
                res.set_content_provider("application/xml", [document](size_t, httplib::DataSink& sink) {
                    sink.write(document.data(), document.size());
                    sink.done();
                    return true;
                });
            } else {
                res.set_content(document, "application/xml");
            }
        });
        server->Post("/SetPortConfig", [this, mac](const httplib::Request& req, httplib::Response& res) {
            if (!Authorized(mac, req.get_header_value("Authorization"))) {
                res.status = 401;
                res.set_header("WWW-Authenticate", "Basic realm=\"device\"");
                return;
            }
            int http = 0, data = 0, rtsp = 0;
            if (!ReadPortConfigValue(req.body.c_str(), "httpPort", http) ||
                !ReadPortConfigValue(req.body.c_str(), "netPort", data) ||
                !ReadPortConfigValue(req.body.c_str(), "rtspPort", rtsp) || !ValidPort(http) || !ValidPort(data) ||
                !ValidPort(rtsp)) {
                res.status = 400;
                return;
            }
            {
                std::lock_guard<std::mutex> lock(m_fleet.Lock());
                SimDevice* d = m_fleet.Find(mac);
                if (d == nullptr) {
                    res.status = 404;
                    return;
                }
                d->httpPort = http;
                d->dataPort = data;
                d->rtspPort = rtsp;
            }
            Log("http: %s ports now http %d data %d rtsp %d", mac.c_str(), http, data, rtsp);
            if (!HoldBack()) {
                return;
            }
            res.set_content("", "application/xml");
            // The listeners move to the new ports once this answer is out.
            std::lock_guard<std::mutex> lock(m_mutex);
            m_restart.emplace_back(mac, true);
            m_wake.notify_all();
        });
        if (!endpoint->Listen(std::move(server), address, httpPort) && address == ip) {
            Log("http: %s cannot serve on %s:%d", mac.c_str(), address.c_str(), httpPort);
            return nullptr;
        }
    }
    // The data port only has to accept connections: the program probes it.
    if (!m_faults.closedDataPort) {
        endpoint->Listen(std::make_unique<httplib::Server>(), ip, dataPort);
    }
    return endpoint;
}

void DeviceHttpServer::Refresh(const std::string& mac)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_restart.emplace_back(mac, false);
    m_wake.notify_all();
}

bool DeviceHttpServer::Moved(const std::string& mac)
{
    std::string ip, ip2;
    int httpPort = 0, dataPort = 0, httpType = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_endpoints.find(mac);
        if (found != m_endpoints.end() && found->second) {
            ip = found->second->ip;
            ip2 = found->second->ip2;
            httpPort = found->second->httpPort;
            dataPort = found->second->dataPort;
            httpType = found->second->httpType;
        }
    }
    std::lock_guard<std::mutex> lock(m_fleet.Lock());
    const SimDevice* d = m_fleet.Find(mac);
    return d != nullptr && (d->ip != ip || d->ip2 != ip2 || d->httpPort != httpPort || d->dataPort != dataPort ||
                            d->httpType != httpType);
}

void DeviceHttpServer::RestartLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_restart.empty(); });
        if (m_stopping) {
            return;
        }
        const auto [mac, announce] = m_restart.front();
        m_restart.erase(m_restart.begin());
        lock.unlock();
        if (!announce && !Moved(mac)) {
            lock.lock();
            continue;
        }
        lock.lock();
        std::unique_ptr<Endpoint> old = std::move(m_endpoints[mac]);
        lock.unlock();
        // Stopping joins the server threads, including the one that asked for this restart.
        old.reset();
        std::unique_ptr<Endpoint> fresh = Serve(mac);
        if (announce && m_onPortsChanged) {
            m_onPortsChanged(mac);
        }
        lock.lock();
        if (m_stopping) {
            return; // Stop has taken the map; fresh stops here
        }
        m_endpoints[mac] = std::move(fresh);
    }
}

bool DeviceHttpServer::Authorized(const std::string& mac, const std::string& header)
{
    std::lock_guard<std::mutex> lock(m_fleet.Lock());
    const SimDevice* d = m_fleet.Find(mac);
    // A device without a password (not activated) lets nobody in, not even with an empty one.
    return d != nullptr && d->Activated() && !d->password.empty() && header == ExpectedAuthorization(d->password);
}

bool DeviceHttpServer::HoldBack()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_faults.silent) {
        m_wake.wait_for(lock, std::chrono::seconds(60), [this] { return m_stopping; });
        return false;
    }
    if (m_faults.delayMs > 0) {
        m_wake.wait_for(lock, std::chrono::milliseconds(m_faults.delayMs), [this] { return m_stopping; });
    }
    return !m_stopping;
}

void DeviceHttpServer::Log(const char* format, ...)
{
    if (m_log == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(m_log, format, args);
    va_end(args);
    std::fputc('\n', m_log);
    std::fflush(m_log);
}
