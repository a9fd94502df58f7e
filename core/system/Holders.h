#pragma once
// Holders that release what they took with their scope: a critical section entered for a scope, a
// Windows hook, and a registry key with the two strings that go with it.
#include "core/library/RegistryKey.h"
#include "core/library/StdStr.h"

#include <windows.h>

class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CRITICAL_SECTION& section) : m_section(section) { ::EnterCriticalSection(&m_section); }
    ~CCriticalSectionLock() { ::LeaveCriticalSection(&m_section); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

class CWindowsHookHolder {
public:
    CWindowsHookHolder() = default;
    ~CWindowsHookHolder() { Unhook(); }
    CWindowsHookHolder(const CWindowsHookHolder&) = delete;
    CWindowsHookHolder& operator=(const CWindowsHookHolder&) = delete;
    bool Set(int type, HOOKPROC procedure, HINSTANCE module, DWORD threadId);
    void Unhook();
    HHOOK Get() const { return m_hook; }

private:
    HHOOK m_hook = nullptr;
};

// A registry key with two strings that go with it.
struct CKeyedRegValue {
    CRegistryKey key;
    TStdStr<char> first;
    TStdStr<char> second;
};
