#include "Lock.h"

#include <windows.h>

struct CCriticalSection::Impl
{
    CRITICAL_SECTION section;
};

CCriticalSection::CCriticalSection()
    : m_impl(std::make_unique<Impl>())
{
    InitializeCriticalSection(&m_impl->section);
}

CCriticalSection::~CCriticalSection()
{
    DeleteCriticalSection(&m_impl->section);
}

void CCriticalSection::Enter()
{
    EnterCriticalSection(&m_impl->section);
}

void CCriticalSection::Leave()
{
    LeaveCriticalSection(&m_impl->section);
}
