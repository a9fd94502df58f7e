#include "core/library/Z4KMemFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

CZ4KMemFile::CZ4KMemFile(UINT growBytes) : m_growBytes(growBytes) {}

CZ4KMemFile::CZ4KMemFile(BYTE* buffer, UINT bufferSize, UINT growBytes)
    : m_growBytes(growBytes), m_capacity(bufferSize), m_size(growBytes == 0 ? bufferSize : 0), m_buffer(buffer),
      m_autoDelete(false)
{
}

CZ4KMemFile::~CZ4KMemFile()
{
    Close();
}

bool CZ4KMemFile::Open(const char*, UINT, CZ4KFileException*)
{
    throw CZ4KNotSupportedException();
}

std::unique_ptr<CZ4KFile> CZ4KMemFile::Duplicate() const
{
    throw CZ4KNotSupportedException();
}

DWORD CZ4KMemFile::Seek(LONG offset, UINT origin)
{
    LONGLONG base = 0;
    switch (origin) {
    case begin:
        base = 0;
        break;
    case current:
        base = m_position;
        break;
    case end:
        base = m_size;
        break;
    default:
        return static_cast<DWORD>(-1);
    }
    const LONGLONG target = base + offset;
    if (target < 0 || target > 0xFFFFFFFFLL)
        throw CZ4KFileException(CZ4KFileException::badSeek);
    m_position = static_cast<DWORD>(target);
    return m_position;
}

void CZ4KMemFile::SetLength(DWORD length)
{
    if (length > m_capacity)
        GrowFile(length);
    FillGap(length);
    if (m_position > length)
        m_position = length;
    m_size = length;
}

UINT CZ4KMemFile::Read(void* buffer, UINT count)
{
    if (count == 0 || m_position >= m_size)
        return 0;
    const UINT bytes = std::min<UINT>(count, m_size - m_position);
    Memcpy(static_cast<BYTE*>(buffer), m_buffer + m_position, bytes);
    m_position += bytes;
    return bytes;
}

void CZ4KMemFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    const DWORD newPosition = MakeRoom(count);
    Memcpy(m_buffer + m_position, static_cast<const BYTE*>(buffer), count);
    m_position = newPosition;
    m_size = std::max(m_size, m_position);
}

void CZ4KMemFile::LockRange(DWORD, DWORD)
{
    throw CZ4KNotSupportedException();
}

void CZ4KMemFile::UnlockRange(DWORD, DWORD)
{
    throw CZ4KNotSupportedException();
}

void CZ4KMemFile::Abort()
{
    Close();
}

void CZ4KMemFile::Close()
{
    if (m_autoDelete && m_buffer)
        Free(m_buffer);
    m_growBytes = 0;
    m_position = 0;
    m_capacity = 0;
    m_size = 0;
    m_buffer = nullptr;
}

// The direct-buffer protocol: 3 asks whether it is offered, 0 hands out content to read and moves
// the position behind it, 1 hands out space to write at the position, 2 commits written bytes.
UINT CZ4KMemFile::GetBufferPtr(UINT command, UINT count, void** bufferStart, void** bufferEnd)
{
    switch (command) {
    case bufferCheck:
        return 1;
    case bufferRead: {
        const DWORD from = std::min(m_position, m_size);
        if (count == static_cast<UINT>(-1))
            count = m_capacity - from;
        const DWORD to = static_cast<DWORD>(std::min<ULONGLONG>(m_size, static_cast<ULONGLONG>(from) + count));
        if (bufferStart)
            *bufferStart = m_buffer + from;
        if (bufferEnd)
            *bufferEnd = m_buffer + to;
        m_position = std::max(m_position, to);
        return to - from;
    }
    case bufferWrite: {
        const DWORD to = MakeRoom(count);
        if (bufferStart)
            *bufferStart = m_buffer + m_position;
        if (bufferEnd)
            *bufferEnd = m_buffer + to;
        return to - m_position;
    }
    case bufferCommit:
        m_position = static_cast<DWORD>(std::min<ULONGLONG>(m_capacity, static_cast<ULONGLONG>(m_position) + count));
        m_size = std::max(m_size, m_position);
        return 0;
    default:
        return 0;
    }
}

BYTE* CZ4KMemFile::Alloc(SIZE_T bytes)
{
    return static_cast<BYTE*>(std::malloc(bytes));
}

BYTE* CZ4KMemFile::Realloc(BYTE* memory, SIZE_T bytes)
{
    return static_cast<BYTE*>(std::realloc(memory, bytes));
}

void CZ4KMemFile::Memcpy(BYTE* target, const BYTE* source, SIZE_T bytes)
{
    std::memcpy(target, source, bytes);
}

void CZ4KMemFile::Free(BYTE* memory)
{
    std::free(memory);
}

void CZ4KMemFile::GrowFile(SIZE_T newLength)
{
    if (newLength <= m_capacity)
        return;
    if (m_growBytes == 0)
        throw CZ4KMemoryException();
    // Whole growth steps up to the new length, and at least half the capacity more, so that a file
    // written in many small pieces is reallocated a logarithmic number of times, not once per step.
    const ULONGLONG wanted = std::max<ULONGLONG>(newLength, m_capacity + m_capacity / 2ULL);
    const ULONGLONG steps = (wanted - m_capacity + m_growBytes - 1) / m_growBytes;
    const ULONGLONG newCapacity = m_capacity + steps * m_growBytes;
    if (newCapacity > 0xFFFFFFFFULL)
        throw CZ4KMemoryException();
    BYTE* memory = nullptr;
    if (!m_buffer) {
        memory = Alloc(static_cast<SIZE_T>(newCapacity));
    } else if (m_autoDelete) {
        memory = Realloc(m_buffer, static_cast<SIZE_T>(newCapacity));
    } else {
        // The caller's buffer cannot be reallocated: its content moves into memory of our own.
        memory = Alloc(static_cast<SIZE_T>(newCapacity));
        if (memory)
            Memcpy(memory, m_buffer, m_size);
    }
    if (!memory)
        throw CZ4KMemoryException();
    m_buffer = memory;
    m_capacity = static_cast<DWORD>(newCapacity);
    m_autoDelete = true;
}

DWORD CZ4KMemFile::MakeRoom(UINT count)
{
    const ULONGLONG newEnd = static_cast<ULONGLONG>(m_position) + count;
    if (newEnd > 0xFFFFFFFFULL)
        throw CZ4KMemoryException();
    if (newEnd > m_capacity)
        GrowFile(static_cast<SIZE_T>(newEnd));
    FillGap(m_position);
    return static_cast<DWORD>(newEnd);
}

void CZ4KMemFile::FillGap(DWORD upTo)
{
    if (upTo > m_size && m_buffer)
        std::memset(m_buffer + m_size, 0, std::min(upTo, m_capacity) - m_size);
}
