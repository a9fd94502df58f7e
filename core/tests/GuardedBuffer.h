#pragma once
// A buffer whose last byte sits right before a no-access page: reading or writing one byte past
// its end faults at once, so bad-input tests catch out-of-bounds access without a sanitizer.
#include <windows.h>

#include <cstddef>
#include <cstring>

template <typename T>
class TGuardedBuffer {
public:
    explicit TGuardedBuffer(size_t count) : m_count(count)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t page = info.dwPageSize;
        const size_t bytes = count * sizeof(T);
        const size_t dataPages = (bytes + page - 1) / page;
        m_size = (dataPages + 1) * page;
        m_base = static_cast<char*>(VirtualAlloc(nullptr, m_size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + dataPages * page, page, PAGE_NOACCESS, &old);
        m_data = reinterpret_cast<T*>(m_base + dataPages * page - bytes);
    }
    ~TGuardedBuffer() { VirtualFree(m_base, 0, MEM_RELEASE); }
    TGuardedBuffer(const TGuardedBuffer&) = delete;
    TGuardedBuffer& operator=(const TGuardedBuffer&) = delete;

    T* Data() { return m_data; }
    size_t Count() const { return m_count; }
    // Copies count units and a terminating zero into a buffer of exactly count + 1 units.
    static void Fill(TGuardedBuffer& buffer, const T* units, size_t count)
    {
        std::memcpy(buffer.Data(), units, count * sizeof(T));
        buffer.Data()[count] = T();
    }

private:
    size_t m_count = 0;
    size_t m_size = 0;
    char* m_base = nullptr;
    T* m_data = nullptr;
};
