#pragma once

// The store lock: a critical section (a mutex that the owning thread may not re-enter
// recursively on POSIX) and a scope guard that holds it for one block.

#include <memory>

class CCriticalSection
{
public:
    CCriticalSection();
    ~CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter();
    void Leave();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Enters on construction, leaves on destruction, so every return path releases the lock.
class CLockGuard
{
public:
    explicit CLockGuard(CCriticalSection& section)
        : m_section(section)
    {
        m_section.Enter();
    }
    ~CLockGuard()
    {
        m_section.Leave();
    }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;

private:
    CCriticalSection& m_section;
};
