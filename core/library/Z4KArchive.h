#pragma once
// CZ4KArchive: a buffered serializer bound to one file in one direction, load or store. Every binary
// data file of the program is a sequence of its items, and the encoding is fixed whatever the build:
//   byte: 1 byte; 16- and 32-bit values: that many bytes, little-endian; double: IEEE-754 binary64,
//   little-endian; raw block: the bytes alone;
//   string: a length prefix, then the ANSI bytes without a terminator. The prefix is one byte for
//   lengths below 255; 0xFF and a 16-bit length up to 65533; 0xFF, 0xFFFF and a 32-bit length beyond.
//   On load 0xFF 0xFFFE marks UTF-16 text: a second prefix counts its code units.
//   integer list: a 32-bit count, then each value as a 32-bit item.
// Failures: end of data throws CZ4KArchiveException cause 3; a count or length larger than what is
// left of the input throws it too, before anything is allocated; file failures pass through.
#include "core/library/StdStr.h"
#include "core/library/Z4KException.h"
#include "core/library/Z4KFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CZ4KArchive {
public:
    enum Mode : UINT {
        store = 0,
        load = 1,
        noFlushOnDelete = 2,
        nativeOrder = 4,
    };
    // The modes every data file of the program is written and read with.
    static constexpr UINT kStore = store | nativeOrder;
    static constexpr UINT kLoad = load | nativeOrder;
    static constexpr UINT kBufferSize = 4096;

    // The file is not owned and never closed by the archive. A buffer size below 128 becomes 128 and a
    // given buffer is then ignored; without a buffer the file's own memory is used when it offers it.
    CZ4KArchive(CZ4KFile* file, UINT mode, UINT bufferSize = kBufferSize, void* buffer = nullptr);
    ~CZ4KArchive();
    CZ4KArchive(const CZ4KArchive&) = delete;
    CZ4KArchive& operator=(const CZ4KArchive&) = delete;

    bool IsLoading() const { return (m_mode & load) != 0; }
    bool IsStoring() const { return !IsLoading(); }
    CZ4KFile* GetFile() const { return m_file; }

    CZ4KArchive& operator<<(BYTE value) { return StoreValue<uint8_t>(value); }
    CZ4KArchive& operator<<(char value) { return StoreValue<uint8_t>(static_cast<uint8_t>(value)); }
    CZ4KArchive& operator<<(WORD value) { return StoreValue<uint16_t>(value); }
    CZ4KArchive& operator<<(short value) { return StoreValue<uint16_t>(static_cast<uint16_t>(value)); }
    CZ4KArchive& operator<<(int value) { return StoreValue<uint32_t>(static_cast<uint32_t>(value)); }
    CZ4KArchive& operator<<(UINT value) { return StoreValue<uint32_t>(value); }
    CZ4KArchive& operator<<(LONG value) { return StoreValue<uint32_t>(static_cast<uint32_t>(value)); }
    CZ4KArchive& operator<<(DWORD value) { return StoreValue<uint32_t>(value); }
    // No 64-bit integer items: a size_t would be 8 bytes here and 4 in a 32-bit build, so such a
    // value does not compile and must be cast to a 32-bit type.
    CZ4KArchive& operator<<(double value);
    CZ4KArchive& operator<<(const TStdStr<char>& text)
    {
        WriteString(text);
        return *this;
    }

    CZ4KArchive& operator>>(BYTE& value) { return LoadValue<uint8_t>(value); }
    CZ4KArchive& operator>>(char& value) { return LoadValue<uint8_t>(value); }
    CZ4KArchive& operator>>(WORD& value) { return LoadValue<uint16_t>(value); }
    CZ4KArchive& operator>>(short& value) { return LoadValue<uint16_t>(value); }
    CZ4KArchive& operator>>(int& value) { return LoadValue<uint32_t>(value); }
    CZ4KArchive& operator>>(UINT& value) { return LoadValue<uint32_t>(value); }
    CZ4KArchive& operator>>(LONG& value) { return LoadValue<uint32_t>(value); }
    CZ4KArchive& operator>>(DWORD& value) { return LoadValue<uint32_t>(value); }
    CZ4KArchive& operator>>(double& value);
    CZ4KArchive& operator>>(TStdStr<char>& text)
    {
        ReadString(text);
        return *this;
    }

    void Write(const void* buffer, UINT count);
    void WriteString(const char* text);
    void WriteString(const TStdStr<char>& text) { WriteString(text.c_str(), text.size()); }
    void WriteIntList(const std::vector<int>& values);

    // The bytes delivered; fewer than asked only at the end of the input.
    UINT Read(void* buffer, UINT count);
    // The byte length of the next string, or -1 for the wide-text marker.
    int ReadStringLength();
    // An empty stored string gives the empty string.
    void ReadString(TStdStr<char>& text);
    void ReadIntList(std::vector<int>& values);
    // A 32-bit count of items that take at least minimumItemBytes each; a count that the rest of the
    // input cannot hold throws the end-of-data exception, so callers may size containers by it.
    DWORD ReadCount(UINT minimumItemBytes = 1);

    // Store: writes the buffer out. Load: moves the file back over unread bytes.
    void Flush();
    // Flushes and lets go of the file.
    void Close();

private:
    template <typename Wire, typename T>
    CZ4KArchive& StoreValue(T value)
    {
        Wire wire = static_cast<Wire>(value);
        uint8_t bytes[sizeof(Wire)];
        for (size_t i = 0; i < sizeof(Wire); ++i) {
            const size_t shift = (m_mode & nativeOrder) ? i : sizeof(Wire) - 1 - i;
            bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(wire) >> (8 * shift));
        }
        StoreBytes(bytes, sizeof(Wire));
        return *this;
    }
    template <typename Wire, typename T>
    CZ4KArchive& LoadValue(T& value)
    {
        uint8_t bytes[sizeof(Wire)];
        LoadBytes(bytes, sizeof(Wire));
        uint64_t wire = 0;
        for (size_t i = 0; i < sizeof(Wire); ++i) {
            const size_t shift = (m_mode & nativeOrder) ? i : sizeof(Wire) - 1 - i;
            wire |= static_cast<uint64_t>(bytes[i]) << (8 * shift);
        }
        value = static_cast<T>(static_cast<Wire>(wire));
        return *this;
    }

    void WriteString(const char* text, size_t length);
    void WriteLengthPrefix(uint32_t length);
    uint32_t ReadLengthPrefix(bool allowWide, bool& wide);
    void StoreBytes(const void* bytes, UINT count);
    void LoadBytes(void* bytes, UINT count);
    void FillBuffer(UINT needed);
    // Takes the file's next span of memory to read (bufferRead) or to write (bufferWrite).
    void TakeSpan(UINT command);
    // Hands the bytes stored into the current span to the file.
    void CommitSpan();
    // Throws the end-of-data exception unless that many bytes are left of the input.
    void RequireRemaining(ULONGLONG bytes);
    void CheckStoring() const;
    void CheckLoading() const;

    bool m_directBuffer = false;
    TStdStr<char> m_path;
    UINT m_mode;
    bool m_userBuffer = false;
    UINT m_bufferSize;
    CZ4KFile* m_file;    // not owned; null once closed
    BYTE* m_cursor = nullptr;
    BYTE* m_bufferEnd = nullptr;    // store: end of the space; load: end of the bytes read
    BYTE* m_bufferStart = nullptr;
    std::unique_ptr<BYTE[]> m_ownBuffer;
};

// Writes an archive file through a temporary file beside it and moves that over the path only when
// every item was written, so that a failed store leaves the old file as it was. False on failure.
bool StoreArchiveFile(const char* path, const std::function<void(CZ4KArchive&)>& storeItems);
