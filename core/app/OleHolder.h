#pragma once
// Process-wide holders of OLE and of the shell's allocator, kept until the ordered teardown:
// OLE (priority 11) is uninitialised only after every object that uses COM has gone, and the
// shell allocator (13) outlives every item-id list the other objects free.
#include <windows.h>
#include <objidl.h>

class COleHolder {
public:
    COleHolder() : m_initialized(SUCCEEDED(OleInitialize(nullptr))) {}
    ~COleHolder()
    {
        if (m_initialized)
            OleUninitialize();
    }
    COleHolder(const COleHolder&) = delete;
    COleHolder& operator=(const COleHolder&) = delete;

    bool IsInitialized() const { return m_initialized; }

private:
    bool m_initialized;
};

class CShellAllocatorHolder {
public:
    CShellAllocatorHolder();
    ~CShellAllocatorHolder();
    CShellAllocatorHolder(const CShellAllocatorHolder&) = delete;
    CShellAllocatorHolder& operator=(const CShellAllocatorHolder&) = delete;

    IMalloc* GetMalloc() const { return m_malloc; }

private:
    IMalloc* m_malloc = nullptr; // owned reference
};

// Created on the first call, which initialises OLE on the calling (user-interface) thread.
COleHolder* GetOleHolder();
// The shell's allocator (SHGetMalloc); null when the shell does not give one.
IMalloc* GetShellAllocator();
