#include "SearchSession.h"

#include <cstdlib>
#include <strings.h>

SearchSession::SearchSession(const std::string& interfaces)
{
    // The library reads its interface restriction once, when it starts.
    if (interfaces.empty()) {
        unsetenv("SCANIX_SEARCH_IFACES");
    } else {
        setenv("SCANIX_SEARCH_IFACES", interfaces.c_str(), 1);
    }
    m_manager.Attach(this);
    m_manager.Init();
    // Periodic search stays off until a command asks for it: only what the command wants is sent.
    m_manager.SetAutoInterval(0);
    m_running = true;
}

SearchSession::~SearchSession()
{
    Stop();
}

void SearchSession::Stop()
{
    if (m_running) {
        m_manager.Quit();
        m_manager.Detach(this);
        m_running = false;
    }
}

void SearchSession::Update(SEARCH_INFO info, CObservable<SEARCH_INFO>*)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(info);
    }
    m_changed.notify_all();
}

void SearchSession::SearchOnce()
{
    m_manager.Refresh(true);
}

bool SearchSession::StoreHolds(const std::string& mac, DEVICE_INFO* out) const
{
    DEVICE_INFO device{};
    if (!m_manager.FindDevice(mac.c_str(), device)) {
        return false;
    }
    if (out != nullptr) {
        *out = device;
    }
    return true;
}

bool SearchSession::WaitForDevice(const std::string& mac,
                                  std::chrono::steady_clock::time_point deadline,
                                  DEVICE_INFO& out)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (StoreHolds(mac, &out)) {
            return true;
        }
        if (m_changed.wait_until(lock, deadline) == std::cv_status::timeout) {
            return StoreHolds(mac, &out);
        }
    }
}

void SearchSession::WaitForDevices(const std::vector<std::string>& macs, std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        bool all = true;
        for (const std::string& mac : macs) {
            if (!StoreHolds(mac, nullptr)) {
                all = false;
                break;
            }
        }
        if (all || m_changed.wait_until(lock, deadline) == std::cv_status::timeout) {
            return;
        }
    }
}

std::vector<SEARCH_INFO> SearchSession::TakeEvents(std::chrono::milliseconds wait)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, wait, [this] { return !m_events.empty() || m_woken; });
    m_woken = false;
    std::vector<SEARCH_INFO> taken(m_events.begin(), m_events.end());
    m_events.clear();
    return taken;
}

void SearchSession::Wake()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_woken = true;
    }
    m_changed.notify_all();
}

std::chrono::steady_clock::time_point DeadlineIn(double seconds)
{
    return std::chrono::steady_clock::now() +
           std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
}
