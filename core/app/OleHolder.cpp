#include "core/app/OleHolder.h"

#include "core/library/LifetimeTracker.h"

#include <shlobj.h>

CShellAllocatorHolder::CShellAllocatorHolder()
{
    if (FAILED(SHGetMalloc(&m_malloc)))
        m_malloc = nullptr;
}

CShellAllocatorHolder::~CShellAllocatorHolder()
{
    if (m_malloc)
        m_malloc->Release();
}

COleHolder* GetOleHolder() { return GetSingleton<COleHolder, kPriorityOle>(); }

IMalloc* GetShellAllocator()
{
    CShellAllocatorHolder* holder = GetSingleton<CShellAllocatorHolder, kPriorityShellAllocator>();
    return holder ? holder->GetMalloc() : nullptr;
}
