// The network-parameter request of CScanixManage: the rule check, the "searchSetIP" document
// through the library, the wait for a camera's answer, and a camera's new ports over HTTP.
#include "CScanixManage.h"
#include "DebugTrace.h"
#include "DeviceAddress.h"
#include "DeviceHttpClient.h"
#include "MacText.h"
#include "PortDocument.h"
#include "ProbeTcp.h"
#include "Scanix_Search.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

std::string Text(const char* text)
{
    return text != nullptr ? text : "";
}

// A port text as the device would take it: atoi cut to 16 bits.
int PortValue(const char* text)
{
    return static_cast<std::uint16_t>(std::atoi(Text(text).c_str()));
}

void Trace(const std::string& text)
{
    DebugTrace((text + "\n").c_str());
}

} // namespace

void CScanixManage::SetRequestTimings(const RequestTimings& timings)
{
    m_timings = timings;
}

int CScanixManage::SetNetworkParam(const char* mac,
                                   const char* ip,
                                   const char* mask,
                                   const char* gateway,
                                   const char* password,
                                   const char* httpPort,
                                   const char* dataPort,
                                   bool bDHCP)
{
    Trace(Text(ip));
    DEVICE_INFO device{};
    // An unknown device is a failure, not a success: nothing is sent.
    if (mac == nullptr || !FindDevice(mac, device)) {
        return SETIP_FAILED;
    }
    unsigned char macBytes[6] = {};
    // The store holds only MAC texts, but a request must never go out to zero bytes.
    if (!ParseMac(device.mac, macBytes)) {
        return SETIP_FAILED;
    }
    Trace(Text(mac));

    SetIpRequest request;
    request.password = Text(password);
    // The stored text (upper case) is what the device's reports carry and are compared with.
    request.mac = device.mac;
    request.dhcp = bDHCP;
    request.ip = Text(ip);
    request.mask = Text(mask);
    request.gateway = Text(gateway);
    request.dns1 = device.dns1;
    request.dns2 = device.dns2;
    request.encryptType = device.encryptType;
    request.httpPort = Text(httpPort);
    request.dataPort = Text(dataPort);
    const std::string document = BuildSetIpDocument(request);

    int code = 0;
    if (!CheckNetParam(inet_addr(request.ip.c_str()),
                       inet_addr(request.mask.c_str()),
                       inet_addr(request.gateway.c_str()),
                       &code)) {
        return code;
    }
    SetPendingRequest(device.mac, request.ip.c_str(), request.mask.c_str(), request.gateway.c_str());
    DebugTrace("send.....\n");
    SCANIX_SET_CONFIG(macBytes, document.c_str());
    if (std::strcmp(device.productSeries, "QMX_IPC") != 0) {
        return SETIP_NOT_AWAITED;
    }

    const int answer = WaitForPendingResult();
    if (answer != 0) {
        return AnswerCode(answer);
    }
    return ChangePorts(
        device, GetPendingAnswer(), request.ip, request.password, PortValue(httpPort), PortValue(dataPort));
}

int CScanixManage::ChangeNetworkParam(const char* mac,
                                      const char* ip,
                                      const char* mask,
                                      const char* gateway,
                                      const char* password,
                                      const char* httpPort,
                                      const char* dataPort,
                                      bool bDHCP)
{
    const int code = SetNetworkParam(mac, ip, mask, gateway, password, httpPort, dataPort, bDHCP);
    if (code != SETIP_NOT_AWAITED) {
        return code;
    }
    // Recorders, decoders and the other types answer the request just as a camera does; the
    // user must learn whether they took it.
    return AnswerCode(WaitForPendingResult());
}

int CScanixManage::AnswerCode(int answer)
{
    if (answer == -1) {
        return SETIP_NO_ANSWER;
    }
    // Only 0 says the device took the change; 1 is its refusal, and anything else is no
    // answer the protocol knows, so it cannot be taken for success either.
    return answer == 0 ? SETIP_OK : SETIP_FAILED;
}

int CScanixManage::WaitForPendingResult() const
{
    // The answer comes on the library's thread; a short poll keeps the round trip quick.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timings.answerWaitMs);
    int result = GetPendingResult();
    while (result == -1 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        result = GetPendingResult();
    }
    return result;
}

int CScanixManage::ChangePorts(const DEVICE_INFO& device,
                               const ConfigAnswerInfo& confirmed,
                               const std::string& newIp,
                               const std::string& password,
                               int newHttpPort,
                               int newDataPort)
{
    // Nothing to write: settled before probing so a plain address change returns at once.
    if (newHttpPort == 0 || newDataPort == 0 || (newHttpPort == device.httpPort && newDataPort == device.dataPort)) {
        return SETIP_OK;
    }
    std::string host;
    DeviceTls tls;
    if (confirmed.authenticated) {
        // The ports rode in the authenticated request; a device that took them says so.
        if (confirmed.httpPort == newHttpPort && confirmed.dataPort == newDataPort) {
            return SETIP_OK;
        }
        // Otherwise only its web interface takes them, and the password goes there only over
        // TLS to the key the device vouched for, at the address it confirmed: never in clear,
        // never to an address taken from a report anyone could have sent.
        if (confirmed.httpType != 1 || confirmed.tlsKey.empty()) {
            return SETIP_FAILED;
        }
        host = confirmed.confirmedIp;
        tls.https = true;
        tls.pinnedKey = confirmed.tlsKey;
    } else {
        // A device of the old protocol, configured because the user opted in to the clear text.
        const bool movedThere = ProbeTcp(inet_addr(newIp.c_str()), device.dataPort, m_timings.probeMs);
        host = movedThere ? newIp : std::string(device.ipAddr2);
    }
    // The device's credentials go only to another host: a second address of 127.0.0.1 or one
    // of ours would post them to a local service.
    in_addr target{};
    if (inet_pton(AF_INET, host.c_str(), &target) != 1 || !IsOffHostAddress(target.s_addr)) {
        return SETIP_FAILED;
    }

    DevicePorts ports;
    ports.httpPort = newHttpPort;
    ports.dataPort = newDataPort;
    ports.rtspPort = device.rtspPort;
    if (ports.rtspPort <= 0 && !ReadRtspPort(host, device.httpPort, password, tls, ports.rtspPort)) {
        return SETIP_FAILED;
    }
    const std::string document = BuildPortDocument(ports);
    const int sent = PostDeviceConfig(host.c_str(),
                                      device.httpPort,
                                      "admin",
                                      password.c_str(),
                                      "/SetPortConfig",
                                      document.c_str(),
                                      static_cast<int>(document.size()),
                                      m_timings.http,
                                      tls);
    return sent == DEVICE_CONFIG_OK ? SETIP_OK : SETIP_FAILED;
}

bool CScanixManage::ReadRtspPort(
    const std::string& host, int httpPort, const std::string& password, const DeviceTls& tls, int& rtspPort)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(m_timings.retryPauseMs));
        }
        char* answer = nullptr;
        int size = 0;
        if (PostDeviceRequest(host.c_str(),
                              httpPort,
                              "admin",
                              password.c_str(),
                              "/GetPortConfig",
                              &answer,
                              &size,
                              nullptr,
                              0,
                              m_timings.http,
                              tls) == DEVICE_REQUEST_OK) {
            const std::unique_ptr<char[]> owned(answer);
            return ReadPortConfigValue(owned.get(), "rtspPort", rtspPort);
        }
    }
    return false;
}
