#pragma once
// CZ4KFile: the library's byte-stream file over a Win32 file handle. Failures of reads, writes,
// seeks, locks, flushes and closes throw CZ4KFileException; only Open reports failure by its result.
// The memory file derives from it, and the archive and the INI reader reach files only through its
// virtual operations. Positions and lengths are 32-bit, as in every stored file of the program.
#include "core/library/StdStr.h"
#include "core/library/Z4KException.h"
#include "platform/AtlBase.h"

#include <windows.h>

#include <memory>

// Status of an open file (or, through GetFileStatusByName, of a named one).
struct CZ4KFileStatus {
    FILETIME creationTime;
    FILETIME lastWriteTime;
    FILETIME lastAccessTime;
    DWORD size;
    BYTE attribute;    // the low bits of the file attributes, 0 when they cannot be read
    BYTE reserved;
    char fullName[MAX_PATH];
};

class CZ4KFile {
public:
    // Open flag words; the values are stored in callers as numbers.
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
    };
    // The flag words in use: INI files, written files, data files that are read.
    static constexpr UINT kOpenIni = modeRead | shareDenyWrite | modeNoInherit;   // 0xA0
    static constexpr UINT kOpenWrite = modeCreate | shareExclusive | modeWrite;    // 0x1011
    static constexpr UINT kOpenRead = modeRead | shareDenyWrite;                  // 0x20

    enum SeekOrigin : UINT { begin = 0, current = 1, end = 2 };
    // Commands of the direct-buffer protocol of GetBufferPtr.
    enum BufferCommand : UINT { bufferRead = 0, bufferWrite = 1, bufferCommit = 2, bufferCheck = 3 };

    CZ4KFile() = default;
    // Works on a handle the caller owns: the destructor does not close it.
    explicit CZ4KFile(HANDLE file) : m_file(file) {}
    CZ4KFile(const CZ4KFile&) = delete;
    CZ4KFile& operator=(const CZ4KFile&) = delete;
    virtual ~CZ4KFile();

    virtual DWORD GetPosition() const;
    virtual TStdStr<char> GetFileName() const;
    virtual TStdStr<char> GetFileTitle() const;
    // The full path of the open file; empty when it is not open.
    virtual TStdStr<char> GetFilePath() const;
    virtual void SetFilePath(const char* path);
    // On failure returns false and, when given, fills the record with the cause and the name.
    // An invalid name throws CZ4KSimpleTextException "Bad filename!".
    virtual bool Open(const char* name, UINT flags, CZ4KFileException* error = nullptr);
    virtual std::unique_ptr<CZ4KFile> Duplicate() const;
    virtual DWORD Seek(LONG offset, UINT origin);
    virtual void SetLength(DWORD length);
    virtual DWORD GetLength() const;
    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual void LockRange(DWORD position, DWORD count);
    virtual void UnlockRange(DWORD position, DWORD count);
    virtual void Abort();
    virtual void Flush();
    virtual void Close();
    // A disk file offers no direct buffer: always 0.
    virtual UINT GetBufferPtr(UINT command, UINT count = 0, void** start = nullptr, void** end = nullptr);

    bool GetStatus(CZ4KFileStatus& status) const;
    // INVALID_HANDLE_VALUE when no file is open.
    HANDLE GetHandle() const { return m_file ? m_file.Get() : INVALID_HANDLE_VALUE; }
    bool IsOpen() const { return m_file.IsValid(); }
    DWORD SeekToBegin() { return Seek(0, begin); }
    DWORD SeekToEnd() { return Seek(0, end); }

protected:
    // Holds the handle worked on; a caller's handle (m_closeOnDelete false) is given up, not closed,
    // when the object goes or opens another file.
    CHandle m_file;
    bool m_closeOnDelete = false;
    TStdStr<char> m_path;
};

// A view of a file or of a named mapping of the paging file. Unmap is safe to call twice.
class CFileMapping {
public:
    CFileMapping() = default;
    ~CFileMapping() { Unmap(); }
    CFileMapping(const CFileMapping&) = delete;
    CFileMapping& operator=(const CFileMapping&) = delete;

    bool MapFile(HANDLE file, DWORD minimumSize = 0, DWORD offset = 0, DWORD offsetHigh = 0,
                 DWORD protection = PAGE_READONLY, DWORD access = FILE_MAP_READ);
    bool CreateShared(DWORD size, const char* name, bool* alreadyExisted = nullptr, SECURITY_ATTRIBUTES* security = nullptr,
                      DWORD protection = PAGE_READWRITE, DWORD access = FILE_MAP_ALL_ACCESS);
    bool Unmap();

    void* GetData() const { return m_view; }
    SIZE_T GetSize() const { return m_viewSize; }
    HANDLE GetHandle() const { return m_mapping.Get(); }

private:
    bool MapView(SIZE_T size);

    void* m_view = nullptr;    // owned view
    SIZE_T m_viewSize = 0;
    CHandle m_mapping;
    DWORD m_offset = 0;
    DWORD m_offsetHigh = 0;
    DWORD m_access = 0;
};

// A uniquely named temporary file ("TFR" prefix), written as a CZ4KFile and then committed onto a
// target or thrown away.
class CTempFile : public CZ4KFile {
public:
    CTempFile() = default;
    ~CTempFile() override;

    // Creates the file in the folder (or the system temporary folder) with the given access.
    bool Create(const char* folder = nullptr, DWORD access = GENERIC_WRITE);
    // Closes the file; with a target the file replaces it, otherwise it is deleted.
    bool Commit(const char* target = nullptr);
    const TStdStr<char>& GetTempName() const { return m_tempName; }

private:
    TStdStr<char> m_tempName;
};

// A new unique file name (created empty by the system) in the folder of the given path, so that a
// rewrite of that path can be moved over it on the same volume. Empty on failure.
TStdStr<char> MakeTempFileNameBeside(const char* path);

TStdStr<char> GetProgramFilesDir();
TStdStr<char> GetSystemFolder();
TStdStr<char> GetWindowsFolder();
