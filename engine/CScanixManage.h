#pragma once

// The one object through which the program drives discovery: it starts and stops the search
// library, keeps the store of known devices, switches between manual and periodic search and
// tells its observers about every change of the store.

#include "DeviceInfo.h"
#include "DeviceRequests.h"
#include "LinkLocalRoute.h"
#include "Lock.h"
#include "Observer.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CScanixManage : public CObservable<SEARCH_INFO>
{
public:
    CScanixManage();
    // Quits the library first if Quit was not called, so no callback can reach a dead object.
    ~CScanixManage() override;
    CScanixManage(const CScanixManage&) = delete;
    CScanixManage& operator=(const CScanixManage&) = delete;

    // Starts the sockets layer, empties the store and starts the library with our callback.
    // Returns false when the library did not start; the manager then counts as not running.
    bool Init();
    // Manual: empties the store and asks for one search now. Automatic: restarts periodic
    // search with the stored interval (even 0) after emptying the store.
    void Refresh(bool bManual);
    // 0 switches periodic search off and keeps the store; a non-zero value (re)starts it,
    // emptying the store only when coming from manual mode.
    void SetAutoInterval(int nSeconds);
    // Stops the library (no callback comes after it returns), then the sockets layer. Does
    // nothing unless Init ran since the last Quit.
    void Quit();
    // The stored interval in seconds; 0 is manual mode.
    int GetAutoInterval() const;
    // Device reports the library dropped for want of room since the store was last emptied:
    // non-zero means the store does not hold every device that reported. Any thread.
    long long GetDroppedReports() const;

    // A copy of the store, in store order, taken under the store lock.
    std::vector<DEVICE_INFO> Devices() const;
    // Copies the stored device whose MAC text equals mac (either case) into out.
    bool FindDevice(const char* mac, DEVICE_INFO& out) const;

    // One report of the library, on its thread: kind 1 found, 2 gone, 3 changed, 10000 the
    // answer to a configuration request. Upper-cases mac in place. Observers are notified
    // after the store lock is released, so they may call back into this object.
    void OnSearchCallback(char* mac, int kind, const char* xml);

    // Records the configuration request about to be sent and sets its result to -1. Its
    // answer (kind 10000 from that MAC, or a kind-3 report showing exactly these values)
    // sets the result.
    void SetPendingRequest(const char* mac, const char* ip, const char* mask, const char* gateway);
    // -1 while no answer has come, 0 success, otherwise the device's answer.
    int GetPendingResult() const;
    // The rest of the last answer: refusal reason, and what an authenticated answer confirmed.
    ConfigAnswerInfo GetPendingAnswer() const;

    // The addressing rule check; values in network byte order. Sets *code (when given) to 0
    // or the first failing rule's code and returns whether every rule passed.
    static bool CheckNetParam(std::uint32_t ip, std::uint32_t mask, std::uint32_t gateway, int* code);

    // Requests to one device and the host side, one file per job (CScanixManageAddress.cpp,
    // CScanixManageRestore.cpp, CScanixManageWeb.cpp, CScanixManageHost.cpp); all block the caller.
    // Changes the device's IPv4 parameters, and for a camera its ports over HTTP when
    // httpPort and dataPort give new ones. Returns 0 or a SetNetworkParamCode / rule code.
    int SetNetworkParam(const char* mac,
                        const char* ip,
                        const char* mask,
                        const char* gateway,
                        const char* password,
                        const char* httpPort,
                        const char* dataPort,
                        bool bDHCP);
    // SetNetworkParam, and for the device types it returns 11 for, the same bounded wait for
    // the device's answer: 0 when the device took the change, 9 when no answer came, 10 when it
    // refused (or answered anything but 0), else the rule code.
    int ChangeNetworkParam(const char* mac,
                           const char* ip,
                           const char* mask,
                           const char* gateway,
                           const char* password,
                           const char* httpPort,
                           const char* dataPort,
                           bool bDHCP);
    // Asks the device to restore its factory password; a non-zero low byte is success.
    int RestoreDefault(const char* mac);
    // Gives a device that is not activated its first password (sealed to the device's key by
    // the library). Returns SETIP_OK, SETIP_NO_ANSWER or SETIP_FAILED (GetPendingAnswer's
    // reason says why).
    int ActivateDevice(const char* mac, const char* password);
    // Opens the device's web page on the address that answers; false when nothing opened.
    // url (when given) gets the page's address once one was chosen, also when opening failed.
    bool OpenDeviceWeb(const char* mac, std::string* url = nullptr);
    // The host's IPv4 address, mask, gateway and DNS server; texts not found stay as given.
    void GetHostNetwork(std::string& ip, std::string& mask, std::string& gateway, std::string& dns);
    // Makes 169.254.0.0/16 reachable through the interface holding ip when the table lacks
    // it and the process may add it; a route added here goes again with the manager.
    void AddLinkLocalRoute(std::string ip);
    // What AddLinkLocalRoute found or did, for telling a user without the right what to run.
    const LinkLocalRoute& GetLinkLocalRoute() const;
    // Waits and time-outs of the requests above; tests shorten them.
    void SetRequestTimings(const RequestTimings& timings);
    // Where the web-page launcher's template is read from (default: the program's folder; an
    // empty text restores it). The filled-in files always go to a private per-user folder.
    void SetLauncherDirectory(const std::string& directory);

private:
    static int SearchCallback(char* mac, int kind, const char* xml, void* user);

    void ClearStore();
    // The following run with the store lock held; they return whether to notify.
    bool OnDeviceFound(const char* mac, const char* xml, SEARCH_INFO& info);
    bool OnDeviceChanged(const char* mac, const char* xml, SEARCH_INFO& info);
    bool OnDeviceGone(const char* mac, SEARCH_INFO& info);
    void OnSetIPAnswer(const char* mac, const char* xml);
    std::vector<DEVICE_INFO>::iterator FindStored(const char* mac);
    int WaitForPendingResult() const;
    // The SetNetworkParamCode for a device's answer (-1: none came).
    static int AnswerCode(int answer);
    int ChangePorts(const DEVICE_INFO& device,
                    const ConfigAnswerInfo& confirmed,
                    const std::string& newIp,
                    const std::string& password,
                    int newHttpPort,
                    int newDataPort);
    bool ReadRtspPort(
        const std::string& host, int httpPort, const std::string& password, const DeviceTls& tls, int& rtspPort);

    mutable CCriticalSection m_storeLock;
    std::vector<DEVICE_INFO> m_devices;
    int m_autoInterval = 0;
    // Written on the library's thread, polled on the caller's.
    std::atomic<int> m_pendingResult{-1};
    char m_pendingMac[64] = {};
    char m_pendingIp[20] = {};
    char m_pendingMask[20] = {};
    char m_pendingGateway[20] = {};
    ConfigAnswerInfo m_pendingAnswer;
    bool m_running = false;
    // The library counts from its start; the store's count starts where it was emptied.
    std::atomic<long long> m_droppedBaseline{0};
    RequestTimings m_timings;
    std::string m_launcherDirectory;
    LinkLocalRoute m_linkLocalRoute;
};
