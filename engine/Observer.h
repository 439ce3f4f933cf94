#pragma once

// Subject and observer of the engine. The subject does not own its observers; Update may
// come on a thread other than the one that attached the observer.

#include <algorithm>
#include <mutex>
#include <vector>

template <typename T> class CObservable;

template <typename T> class CObserver
{
public:
    virtual ~CObserver() = default;

    // Receives a copy of the record; subject is the object that notifies. Does nothing here.
    virtual void Update(T /*info*/, CObservable<T>* /*subject*/)
    {}
};

template <typename T> class CObservable
{
public:
    virtual ~CObservable() = default;

    // Appends observer; one already attached moves to the end, so it is never held twice.
    // A null pointer is ignored.
    void Attach(CObserver<T>* observer);
    // Removes observer if it is attached.
    void Detach(CObserver<T>* observer);
    // Calls Update(info, this) on every observer in the order they were attached.
    void Notify(const T& info);

private:
    // Notify runs on the search library's thread while the window attaches and detaches on its
    // own, so the list is guarded; once Detach returns, no Update of that observer is running
    // or can start. Recursive, so an observer may detach itself from inside Update.
    std::recursive_mutex m_observersLock;
    std::vector<CObserver<T>*> m_observers;
};

template <typename T> void CObservable<T>::Attach(CObserver<T>* observer)
{
    if (observer == nullptr) {
        return;
    }
    std::lock_guard<std::recursive_mutex> guard(m_observersLock);
    Detach(observer);
    m_observers.push_back(observer);
}

template <typename T> void CObservable<T>::Detach(CObserver<T>* observer)
{
    std::lock_guard<std::recursive_mutex> guard(m_observersLock);
    const auto it = std::find(m_observers.begin(), m_observers.end(), observer);
    if (it != m_observers.end()) {
        m_observers.erase(it);
    }
}

template <typename T> void CObservable<T>::Notify(const T& info)
{
    // Walks a copy: an observer that detaches (or re-attaches) from Update changes the list
    // under the loop. Each one in the copy is told once, and only while it is still attached,
    // so no observer is skipped and none that left is called.
    std::lock_guard<std::recursive_mutex> guard(m_observersLock);
    const std::vector<CObserver<T>*> observers = m_observers;
    for (CObserver<T>* observer : observers) {
        if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end()) {
            observer->Update(info, this);
        }
    }
}
