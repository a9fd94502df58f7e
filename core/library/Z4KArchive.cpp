#include "core/library/Z4KArchive.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kMinimumBufferSize = 128;

// A direct buffer starts out as null pointers; a copy of nothing must not hand them to memcpy.
void CopyBytes(void* target, const void* source, size_t count)
{
    if (count)
        std::memcpy(target, source, count);
}

} // namespace

CZ4KArchive::CZ4KArchive(CZ4KFile* file, UINT mode, UINT bufferSize, void* buffer)
    : m_mode(mode), m_bufferSize(bufferSize), m_file(file)
{
    m_path = file->GetFilePath();
    if (m_bufferSize < kMinimumBufferSize) {
        m_bufferSize = kMinimumBufferSize;
        buffer = nullptr;
    }
    if (buffer) {
        m_userBuffer = true;
        m_bufferStart = static_cast<BYTE*>(buffer);
    } else {
        m_directBuffer = file->GetBufferPtr(CZ4KFile::bufferCheck) != 0;
        if (!m_directBuffer) {
            m_ownBuffer = std::make_unique<BYTE[]>(m_bufferSize);
            m_bufferStart = m_ownBuffer.get();
        }
    }
    // Loading starts with nothing read; storing with the whole buffer free. A direct buffer gets its
    // first span on the first item.
    m_cursor = m_bufferStart;
    m_bufferEnd = (IsStoring() && !m_directBuffer) ? m_bufferStart + m_bufferSize : m_bufferStart;
}

CZ4KArchive::~CZ4KArchive()
{
    if (m_file && !(m_mode & noFlushOnDelete)) {
        try {
            Close();
        } catch (const CZ4KException&) {
            // A destructor cannot report the failure; callers that care call Close themselves.
        }
    }
}

void CZ4KArchive::CheckStoring() const
{
    if (IsLoading())
        throw CZ4KArchiveException(CZ4KArchiveException::readOnly, m_path.c_str());
}

void CZ4KArchive::CheckLoading() const
{
    if (IsStoring())
        throw CZ4KArchiveException(CZ4KArchiveException::writeOnly, m_path.c_str());
}

CZ4KArchive& CZ4KArchive::operator<<(double value)
{
    uint64_t bits = 0;
    static_assert(sizeof(bits) == sizeof(value));
    std::memcpy(&bits, &value, sizeof(bits));
    uint8_t bytes[8];
    for (size_t i = 0; i < 8; ++i)
        bytes[i] = static_cast<uint8_t>(bits >> (8 * ((m_mode & nativeOrder) ? i : 7 - i)));
    StoreBytes(bytes, 8);
    return *this;
}

CZ4KArchive& CZ4KArchive::operator>>(double& value)
{
    uint8_t bytes[8];
    LoadBytes(bytes, 8);
    uint64_t bits = 0;
    for (size_t i = 0; i < 8; ++i)
        bits |= static_cast<uint64_t>(bytes[i]) << (8 * ((m_mode & nativeOrder) ? i : 7 - i));
    std::memcpy(&value, &bits, sizeof(value));
    return *this;
}

void CZ4KArchive::StoreBytes(const void* bytes, UINT count)
{
    CheckStoring();
    if (static_cast<size_t>(m_bufferEnd - m_cursor) < count) {
        Flush();
        // Only a memory file that cannot grow hands out less than one item's room.
        if (static_cast<size_t>(m_bufferEnd - m_cursor) < count)
            throw CZ4KMemoryException();
    }
    std::memcpy(m_cursor, bytes, count);
    m_cursor += count;
}

void CZ4KArchive::LoadBytes(void* bytes, UINT count)
{
    CheckLoading();
    if (static_cast<size_t>(m_bufferEnd - m_cursor) < count)
        FillBuffer(count);
    std::memcpy(bytes, m_cursor, count);
    m_cursor += count;
}

// Makes at least `needed` unread bytes available at the cursor (needed is at most the buffer size).
void CZ4KArchive::FillBuffer(UINT needed)
{
    const UINT unread = static_cast<UINT>(m_bufferEnd - m_cursor);
    if (m_directBuffer) {
        if (unread)
            m_file->Seek(-static_cast<LONG>(unread), CZ4KFile::current);
        TakeSpan(CZ4KFile::bufferRead);
    } else {
        if (unread && m_cursor != m_bufferStart)
            std::memmove(m_bufferStart, m_cursor, unread);
        m_cursor = m_bufferStart;
        m_bufferEnd = m_bufferStart + unread;
        while (static_cast<UINT>(m_bufferEnd - m_bufferStart) < needed) {
            const UINT room = m_bufferSize - static_cast<UINT>(m_bufferEnd - m_bufferStart);
            const UINT read = m_file->Read(m_bufferEnd, room);
            if (read == 0)
                break;
            m_bufferEnd += read;
        }
    }
    if (static_cast<UINT>(m_bufferEnd - m_cursor) < needed)
        throw CZ4KArchiveException(CZ4KArchiveException::endOfFile);
}

void CZ4KArchive::TakeSpan(UINT command)
{
    void* start = nullptr;
    void* end = nullptr;
    m_file->GetBufferPtr(command, m_bufferSize, &start, &end);
    m_bufferStart = m_cursor = static_cast<BYTE*>(start);
    m_bufferEnd = static_cast<BYTE*>(end);
}

void CZ4KArchive::CommitSpan()
{
    if (m_cursor != m_bufferStart)
        m_file->GetBufferPtr(CZ4KFile::bufferCommit, static_cast<UINT>(m_cursor - m_bufferStart));
    m_cursor = m_bufferStart;
}

void CZ4KArchive::Write(const void* buffer, UINT count)
{
    CheckStoring();
    if (count == 0)
        return;
    const BYTE* source = static_cast<const BYTE*>(buffer);
    const UINT fits = std::min<UINT>(count, static_cast<UINT>(m_bufferEnd - m_cursor));
    CopyBytes(m_cursor, source, fits);
    m_cursor += fits;
    source += fits;
    count -= fits;
    if (count == 0)
        return;
    Flush();
    // Whole buffers go straight to the file; the rest is buffered.
    const UINT direct = count - count % m_bufferSize;
    if (direct) {
        m_file->Write(source, direct);
        source += direct;
        count -= direct;
        if (m_directBuffer) {
            // The file moved on (and its memory may have moved): take a new span at its position.
            TakeSpan(CZ4KFile::bufferWrite);
        }
    }
    if (count > static_cast<UINT>(m_bufferEnd - m_cursor))
        throw CZ4KMemoryException();
    CopyBytes(m_cursor, source, count);
    m_cursor += count;
}

UINT CZ4KArchive::Read(void* buffer, UINT count)
{
    CheckLoading();
    if (count == 0)
        return 0;
    BYTE* target = static_cast<BYTE*>(buffer);
    const UINT requested = count;
    const UINT buffered = std::min<UINT>(count, static_cast<UINT>(m_bufferEnd - m_cursor));
    CopyBytes(target, m_cursor, buffered);
    m_cursor += buffered;
    target += buffered;
    count -= buffered;
    if (count == 0)
        return requested;
    // The buffer is used up: whole buffers come straight from the file, then it is refilled once.
    const UINT direct = count - count % m_bufferSize;
    if (direct) {
        const UINT read = m_file->Read(target, direct);
        target += read;
        count -= read;
        if (read < direct)
            return requested - count;
    }
    if (count) {
        if (m_directBuffer) {
            TakeSpan(CZ4KFile::bufferRead);
        } else {
            m_cursor = m_bufferStart;
            m_bufferEnd = m_bufferStart + m_file->Read(m_bufferStart, m_bufferSize);
        }
        const UINT rest = std::min<UINT>(count, static_cast<UINT>(m_bufferEnd - m_cursor));
        CopyBytes(target, m_cursor, rest);
        m_cursor += rest;
        count -= rest;
    }
    return requested - count;
}

void CZ4KArchive::WriteLengthPrefix(uint32_t length)
{
    if (length < 0xFF) {
        *this << static_cast<BYTE>(length);
    } else if (length < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(length);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(length);
    }
}

void CZ4KArchive::WriteString(const char* text, size_t length)
{
    if (length > 0xFFFFFFFFu)
        throw CZ4KArchiveException(CZ4KArchiveException::badIndex, m_path.c_str());
    WriteLengthPrefix(static_cast<uint32_t>(length));
    Write(text, static_cast<UINT>(length));
}

void CZ4KArchive::WriteString(const char* text)
{
    if (!text)
        text = "";
    WriteString(text, std::strlen(text));
}

void CZ4KArchive::WriteIntList(const std::vector<int>& values)
{
    if (values.size() > 0xFFFFFFFFu)
        throw CZ4KArchiveException(CZ4KArchiveException::badIndex, m_path.c_str());
    *this << static_cast<DWORD>(values.size());
    for (int value : values)
        *this << value;
}

// Reads a prefix; the wide marker is reported (and its second prefix read) only where allowed.
uint32_t CZ4KArchive::ReadLengthPrefix(bool allowWide, bool& wide)
{
    wide = false;
    BYTE first = 0;
    *this >> first;
    if (first < 0xFF)
        return first;
    WORD second = 0;
    *this >> second;
    if (second == 0xFFFE && allowWide) {
        wide = true;
        bool nested = false;
        return ReadLengthPrefix(false, nested);
    }
    if (second < 0xFFFE)
        return second;
    if (second == 0xFFFE)
        throw CZ4KArchiveException(CZ4KArchiveException::badIndex, m_path.c_str());
    DWORD length = 0;
    *this >> length;
    return length;
}

int CZ4KArchive::ReadStringLength()
{
    bool wide = false;
    const uint32_t length = ReadLengthPrefix(true, wide);
    return wide ? -1 : static_cast<int>(length);
}

void CZ4KArchive::RequireRemaining(ULONGLONG bytes)
{
    const ULONGLONG buffered = static_cast<ULONGLONG>(m_bufferEnd - m_cursor);
    if (bytes <= buffered)
        return;
    const DWORD length = m_file->GetLength();
    const DWORD position = m_file->GetPosition();
    const ULONGLONG remaining = buffered + (length > position ? length - position : 0);
    if (bytes > remaining)
        throw CZ4KArchiveException(CZ4KArchiveException::endOfFile);
}

void CZ4KArchive::ReadString(TStdStr<char>& text)
{
    bool wide = false;
    const uint32_t length = ReadLengthPrefix(true, wide);
    if (length == 0) {
        text.clear();
        return;
    }
    const ULONGLONG bytes = wide ? 2ULL * length : length;
    RequireRemaining(bytes);
    if (!wide) {
        TStdStr<char> value;
        value.resize(length);
        if (Read(value.data(), length) != length)
            throw CZ4KArchiveException(CZ4KArchiveException::endOfFile);
        text = std::move(value);
        return;
    }
    std::vector<wchar_t> units(static_cast<size_t>(length) + 1, L'\0');
    if (Read(units.data(), static_cast<UINT>(bytes)) != bytes)
        throw CZ4KArchiveException(CZ4KArchiveException::endOfFile);
    text = units.data();
}

DWORD CZ4KArchive::ReadCount(UINT minimumItemBytes)
{
    DWORD count = 0;
    *this >> count;
    RequireRemaining(static_cast<ULONGLONG>(minimumItemBytes) * count);
    return count;
}

void CZ4KArchive::ReadIntList(std::vector<int>& values)
{
    const DWORD count = ReadCount(4);
    values.clear();
    values.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        int value = 0;
        *this >> value;
        values.push_back(value);
    }
}

void CZ4KArchive::Flush()
{
    if (IsLoading()) {
        const UINT unread = static_cast<UINT>(m_bufferEnd - m_cursor);
        if (unread)
            m_file->Seek(-static_cast<LONG>(unread), CZ4KFile::current);
        m_cursor = m_bufferEnd;
        return;
    }
    if (m_directBuffer) {
        CommitSpan();
        TakeSpan(CZ4KFile::bufferWrite);
        return;
    }
    if (m_cursor != m_bufferStart)
        m_file->Write(m_bufferStart, static_cast<UINT>(m_cursor - m_bufferStart));
    m_cursor = m_bufferStart;
}

void CZ4KArchive::Close()
{
    if (!m_file)
        return;
    if (IsStoring() && m_directBuffer) {
        // Commit without asking for a new span, so the memory file does not grow for nothing.
        CommitSpan();
    } else {
        Flush();
    }
    m_file = nullptr;
}

bool StoreArchiveFile(const char* path, const std::function<void(CZ4KArchive&)>& storeItems)
{
    const TStdStr<char> tempName = MakeTempFileNameBeside(path);
    if (tempName.empty())
        return false;
    // Removes the temporary file on every way out that did not move it into place.
    struct TempGuard {
        const TStdStr<char>& name;
        bool moved = false;
        ~TempGuard()
        {
            if (!moved)
                DeleteFileA(name.c_str());
        }
    } guard{tempName};
    try {
        CZ4KFile file;
        if (!file.Open(tempName.c_str(), CZ4KFile::kOpenWrite))
            return false;
        {
            CZ4KArchive archive(&file, CZ4KArchive::kStore);
            storeItems(archive);
            archive.Close();
        }
        file.Flush();
        file.Close();
    } catch (const CZ4KException&) {
        return false;
    }
    if (!MoveFileExA(tempName.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return false;
    guard.moved = true;
    return true;
}
