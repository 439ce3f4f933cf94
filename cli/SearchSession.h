#pragma once

// One run of the search library for a command: starts it (restricted to the interfaces the
// user named), collects the engine's notifications on the library's thread and lets the
// command wait for them with deadlines. Quits the library when it goes out of scope.

#include "CScanixManage.h"
#include "DeviceInfo.h"
#include "Observer.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class SearchSession : public CObserver<SEARCH_INFO>
{
public:
    // interfaces: names separated by commas or spaces; empty searches every interface.
    explicit SearchSession(const std::string& interfaces);
    ~SearchSession() override;
    SearchSession(const SearchSession&) = delete;
    SearchSession& operator=(const SearchSession&) = delete;

    void Update(SEARCH_INFO info, CObservable<SEARCH_INFO>* subject) override;

    CScanixManage& Manager()
    {
        return m_manager;
    }
    // One search now (the store is emptied first).
    void SearchOnce();
    // Waits until the store holds a device with this MAC (any case), at most until deadline.
    bool WaitForDevice(const std::string& mac, std::chrono::steady_clock::time_point deadline, DEVICE_INFO& out);
    // Waits until every MAC of the list is in the store or the deadline passes.
    void WaitForDevices(const std::vector<std::string>& macs, std::chrono::steady_clock::time_point deadline);
    // Takes the notifications that came since the last call, waiting up to `wait` for one.
    std::vector<SEARCH_INFO> TakeEvents(std::chrono::milliseconds wait);
    // Wakes a TakeEvents that is waiting (from a signal-handling thread).
    void Wake();
    // Stops the library; no notification comes after it.
    void Stop();

private:
    bool StoreHolds(const std::string& mac, DEVICE_INFO* out) const;

    CScanixManage m_manager;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<SEARCH_INFO> m_events;
    bool m_woken = false;
    bool m_running = false;
};

// Seconds as a deadline from now.
std::chrono::steady_clock::time_point DeadlineIn(double seconds);
