#pragma once
// Bytes placed directly in front of an inaccessible page, so that a reader that runs past their end
// faults at once instead of reading neighbouring memory unnoticed.
#include <windows.h>

#include <cstring>
#include <string>

class GuardedBytes {
public:
    explicit GuardedBytes(const std::string& bytes)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t page = info.dwPageSize;
        const size_t dataPages = (bytes.size() + page - 1) / page + 1;
        m_size = (dataPages + 1) * page;
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, m_size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + dataPages * page, page, PAGE_NOACCESS, &old);
        m_data = m_base + dataPages * page - bytes.size();
        std::memcpy(m_data, bytes.data(), bytes.size());
        m_length = bytes.size();
    }
    ~GuardedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    BYTE* Data() const { return m_data; }
    UINT Size() const { return static_cast<UINT>(m_length); }

private:
    BYTE* m_base = nullptr;
    BYTE* m_data = nullptr;
    size_t m_size = 0;
    size_t m_length = 0;
};
