#include "core/system/DynamicLibrary.h"

bool CDynamicLibrary::Load(const char* name, DWORD flags)
{
    Free();
    const UINT previous = ::SetErrorMode(SEM_NOOPENFILEERRORBOX);
    ::SetErrorMode(previous | SEM_NOOPENFILEERRORBOX);
    m_module = ::LoadLibraryExA(name, nullptr, flags);
    ::SetErrorMode(previous);
    return m_module != nullptr;
}

void CDynamicLibrary::Free()
{
    if (m_module) {
        ::FreeLibrary(m_module);
        m_module = nullptr;
    }
}
