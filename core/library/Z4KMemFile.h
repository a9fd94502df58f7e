#pragma once
// CZ4KMemFile: a growable file in memory with the whole CZ4KFile interface, so that code written
// against a file works in memory. It offers its memory to the archive directly (GetBufferPtr), so an
// archive over it keeps no second copy. Gaps left by seeking past the end read as zeros.
#include "core/library/Z4KFile.h"

class CZ4KMemFile : public CZ4KFile {
public:
    // An empty file in its own memory, growing in steps of growBytes.
    explicit CZ4KMemFile(UINT growBytes = 1024);
    // Works in the caller's buffer, which it never frees. With a growth step of 0 the buffer is content
    // to read (the size starts at bufferSize) and cannot grow; otherwise it is space to write, and
    // growing past it moves the content into memory of the file's own.
    CZ4KMemFile(BYTE* buffer, UINT bufferSize, UINT growBytes = 0);
    ~CZ4KMemFile() override;

    DWORD GetPosition() const override { return m_position; }
    bool Open(const char* name, UINT flags, CZ4KFileException* error = nullptr) override;
    std::unique_ptr<CZ4KFile> Duplicate() const override;
    // Origin 0, 1 or 2; any other origin returns -1 and changes nothing. A negative result throws cause 9.
    DWORD Seek(LONG offset, UINT origin) override;
    void SetLength(DWORD length) override;
    DWORD GetLength() const override { return m_size; }
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    void LockRange(DWORD position, DWORD count) override;
    void UnlockRange(DWORD position, DWORD count) override;
    void Abort() override;
    void Flush() override {}
    void Close() override;
    UINT GetBufferPtr(UINT command, UINT count = 0, void** start = nullptr, void** end = nullptr) override;

    // The content, valid until the next write or close.
    const BYTE* GetData() const { return m_buffer; }
    DWORD GetCapacity() const { return m_capacity; }

protected:
    virtual BYTE* Alloc(SIZE_T bytes);
    virtual BYTE* Realloc(BYTE* memory, SIZE_T bytes);
    virtual void Memcpy(BYTE* target, const BYTE* source, SIZE_T bytes);
    virtual void Free(BYTE* memory);
    // Makes the capacity at least newLength (in whole growth steps, and by at least half the old
    // capacity); throws CZ4KMemoryException when it cannot.
    virtual void GrowFile(SIZE_T newLength);

private:
    // Grows the buffer for count bytes at the position and returns the position behind them.
    DWORD MakeRoom(UINT count);
    // Zeroes the bytes between the end of the content and the position before they become content.
    void FillGap(DWORD upTo);

    UINT m_growBytes;
    DWORD m_position = 0;
    DWORD m_capacity = 0;
    DWORD m_size = 0;
    BYTE* m_buffer = nullptr;    // owned when m_autoDelete
    bool m_autoDelete = true;
};
