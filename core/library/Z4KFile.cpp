#include "core/library/Z4KFile.h"

#include "core/library/FileFunctions.h"
#include "core/library/RegistryKey.h"

#include <cstring>

namespace {

// Throws the file exception of the thread's last error; a failure without an error code still throws.
[[noreturn]] void ThrowLastFileError(const char* fileName)
{
    const DWORD error = ::GetLastError();
    ThrowFileException(error, fileName);
    throw CZ4KFileException(CZ4KFileException::genericError, fileName);
}

DWORD AccessFromFlags(UINT flags)
{
    switch (flags & 3) {
    case CZ4KFile::modeWrite:
        return GENERIC_WRITE;
    case CZ4KFile::modeReadWrite:
        return GENERIC_READ | GENERIC_WRITE;
    default:
        return GENERIC_READ;
    }
}

DWORD ShareFromFlags(UINT flags)
{
    switch (flags & 0x70) {
    case CZ4KFile::shareDenyWrite:
        return FILE_SHARE_READ;
    case CZ4KFile::shareDenyRead:
        return FILE_SHARE_WRITE;
    case CZ4KFile::shareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:
        return 0;
    }
}

DWORD CreationFromFlags(UINT flags)
{
    if (!(flags & CZ4KFile::modeCreate))
        return OPEN_EXISTING;
    return (flags & CZ4KFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

bool IsZero(const FILETIME& time)
{
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

TStdStr<char> FolderFromSystem(UINT (WINAPI* query)(LPSTR, UINT))
{
    char buffer[MAX_PATH] = {};
    const UINT length = query(buffer, MAX_PATH);
    return (length && length < MAX_PATH) ? TStdStr<char>(buffer) : TStdStr<char>();
}

} // namespace

CZ4KFile::~CZ4KFile()
{
    if (!m_closeOnDelete)
        m_file.Detach();
}

DWORD CZ4KFile::GetPosition() const
{
    const DWORD position = ::SetFilePointer(m_file, 0, nullptr, FILE_CURRENT);
    if (position == INVALID_SET_FILE_POINTER)
        ThrowLastFileError(nullptr);
    return position;
}

TStdStr<char> CZ4KFile::GetFileName() const
{
    if (!IsOpen() || m_path.empty())
        return {};
    return CFilePath(m_path.c_str()).GetFileName();
}

TStdStr<char> CZ4KFile::GetFileTitle() const
{
    if (!IsOpen() || m_path.empty())
        return {};
    return CFilePath(m_path.c_str()).GetTitle();
}

TStdStr<char> CZ4KFile::GetFilePath() const
{
    CZ4KFileStatus status;
    if (!GetStatus(status))
        return {};
    return status.fullName;
}

void CZ4KFile::SetFilePath(const char* path)
{
    m_path = path ? path : "";
}

bool CZ4KFile::Open(const char* name, UINT flags, CZ4KFileException* error)
{
    // Reopening an object must not leak the handle it held.
    if (m_closeOnDelete)
        m_file.Close();
    else
        m_file.Detach();
    m_closeOnDelete = false;
    m_path.clear();

    m_path = CFilePath(name).GetFullPath();
    SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, (flags & modeNoInherit) ? FALSE : TRUE};
    const HANDLE file = ::CreateFileA(m_path.c_str(), AccessFromFlags(flags), ShareFromFlags(flags), &security,
                                      CreationFromFlags(flags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (error) {
            error->m_cause = MapOsErrorToCause(::GetLastError());
            error->m_fileName = name ? name : "";
        }
        m_path.clear();
        return false;
    }
    m_file.Attach(file);
    m_closeOnDelete = true;
    return true;
}

std::unique_ptr<CZ4KFile> CZ4KFile::Duplicate() const
{
    HANDLE duplicated = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), m_file, ::GetCurrentProcess(), &duplicated, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
        ThrowLastFileError(nullptr);
    // The duplicate is a new handle that nobody else knows of, so the copy owns it even when this
    // object works on a caller's handle.
    CHandle copy(duplicated);
    auto file = std::make_unique<CZ4KFile>();
    file->m_file.Attach(copy.Detach());
    file->m_closeOnDelete = true;
    file->m_path = m_path;
    return file;
}

DWORD CZ4KFile::Seek(LONG offset, UINT origin)
{
    const DWORD position = ::SetFilePointer(m_file, offset, nullptr, origin);
    if (position == INVALID_SET_FILE_POINTER)
        ThrowLastFileError(nullptr);
    return position;
}

void CZ4KFile::SetLength(DWORD length)
{
    Seek(static_cast<LONG>(length), begin);
    if (!::SetEndOfFile(m_file))
        ThrowLastFileError(nullptr);
}

DWORD CZ4KFile::GetLength() const
{
    const DWORD position = GetPosition();
    const DWORD length = ::SetFilePointer(m_file, 0, nullptr, FILE_END);
    if (length == INVALID_SET_FILE_POINTER)
        ThrowLastFileError(nullptr);
    if (::SetFilePointer(m_file, static_cast<LONG>(position), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        ThrowLastFileError(nullptr);
    return length;
}

UINT CZ4KFile::Read(void* buffer, UINT count)
{
    if (count == 0)
        return 0;
    DWORD read = 0;
    if (!::ReadFile(m_file, buffer, count, &read, nullptr))
        ThrowLastFileError(nullptr);
    return read;
}

void CZ4KFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    DWORD written = 0;
    if (!::WriteFile(m_file, buffer, count, &written, nullptr))
        ThrowLastFileError(m_path.c_str());
    if (written < count)
        throw CZ4KFileException(CZ4KFileException::diskFull, m_path.c_str());
}

void CZ4KFile::LockRange(DWORD position, DWORD count)
{
    if (!::LockFile(m_file, position, 0, count, 0))
        ThrowLastFileError(nullptr);
}

void CZ4KFile::UnlockRange(DWORD position, DWORD count)
{
    if (!::UnlockFile(m_file, position, 0, count, 0))
        ThrowLastFileError(nullptr);
}

void CZ4KFile::Abort()
{
    m_file.Close();
    m_closeOnDelete = false;
    m_path.clear();
}

void CZ4KFile::Flush()
{
    if (m_file && !::FlushFileBuffers(m_file))
        ThrowLastFileError(m_path.c_str());
}

void CZ4KFile::Close()
{
    bool failed = false;
    DWORD error = 0;
    if (m_file) {
        failed = !m_file.Close();
        error = ::GetLastError();
    }
    m_closeOnDelete = false;
    m_path.clear();
    if (failed) {
        ThrowFileException(error, nullptr);
        throw CZ4KFileException(CZ4KFileException::genericError);
    }
}

UINT CZ4KFile::GetBufferPtr(UINT, UINT, void**, void**)
{
    return 0;
}

bool CZ4KFile::GetStatus(CZ4KFileStatus& status) const
{
    std::memset(&status, 0, sizeof(status));
    lstrcpynA(status.fullName, m_path.c_str(), MAX_PATH);
    if (!m_file)
        return false;
    if (!::GetFileTime(m_file, &status.creationTime, &status.lastAccessTime, &status.lastWriteTime))
        return false;
    status.size = ::GetFileSize(m_file, nullptr);
    if (status.size == INVALID_FILE_SIZE)
        return false;
    if (!m_path.empty()) {
        const DWORD attributes = ::GetFileAttributesA(m_path.c_str());
        status.attribute = attributes == INVALID_FILE_ATTRIBUTES ? 0 : static_cast<BYTE>(attributes);
    }
    if (IsZero(status.creationTime))
        status.creationTime = status.lastWriteTime;
    if (IsZero(status.lastAccessTime))
        status.lastAccessTime = status.lastWriteTime;
    return true;
}

bool CFileMapping::MapView(SIZE_T size)
{
    m_view = ::MapViewOfFile(m_mapping, m_access, m_offsetHigh, m_offset, size);
    if (!m_view) {
        m_mapping.Close();
        m_viewSize = 0;
        return false;
    }
    m_viewSize = size;
    return true;
}

bool CFileMapping::MapFile(HANDLE file, DWORD minimumSize, DWORD offset, DWORD offsetHigh, DWORD protection, DWORD access)
{
    Unmap();
    DWORD sizeHigh = 0;
    DWORD size = ::GetFileSize(file, &sizeHigh);
    if (size == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR)
        return false;
    if (minimumSize && sizeHigh == 0 && size < minimumSize)
        size = minimumSize;
    m_mapping.Attach(::CreateFileMappingA(file, nullptr, protection, sizeHigh, size, nullptr));
    if (!m_mapping)
        return false;
    m_offset = offset;
    m_offsetHigh = offsetHigh;
    m_access = access;
    if (!minimumSize && offsetHigh == 0 && offset > size) {
        Unmap();
        return false;
    }
    return MapView(minimumSize ? minimumSize : size - offset);
}

bool CFileMapping::CreateShared(DWORD size, const char* name, bool* alreadyExisted, SECURITY_ATTRIBUTES* security,
                                DWORD protection, DWORD access)
{
    Unmap();
    HANDLE mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, security, protection, 0, size, name);
    if (alreadyExisted)
        *alreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
    m_mapping.Attach(mapping);
    if (!m_mapping)
        return false;
    m_offset = 0;
    m_offsetHigh = 0;
    m_access = access;
    return MapView(size);
}

bool CFileMapping::Unmap()
{
    bool ok = true;
    if (m_view) {
        ok = ::UnmapViewOfFile(m_view) != FALSE;
        m_view = nullptr;
    }
    ok = m_mapping.Close() && ok;
    m_viewSize = 0;
    return ok;
}

CTempFile::~CTempFile()
{
    if (!m_tempName.empty()) {
        Abort();
        ::DeleteFileA(m_tempName.c_str());
    }
}

bool CTempFile::Create(const char* folder, DWORD access)
{
    char directory[MAX_PATH] = {};
    if (folder) {
        lstrcpynA(directory, folder, 257);
    } else {
        const DWORD length = ::GetTempPathA(MAX_PATH, directory);
        if (length == 0 || length > 256)
            return false;
    }
    char name[MAX_PATH] = {};
    if (!::GetTempFileNameA(directory, "TFR", 0, name))
        return false;
    SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, TRUE};
    const HANDLE file = ::CreateFileA(name, access, 0, &security, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ::DeleteFileA(name);
        return false;
    }
    m_file.Attach(file);
    m_closeOnDelete = true;
    m_path = name;
    m_tempName = name;
    return true;
}

// The temporary file replaces the target in one move, so a failure never leaves the target deleted
// without its replacement.
bool CTempFile::Commit(const char* target)
{
    try {
        Close();
    } catch (const CZ4KFileException&) {
        return false;
    }
    const TStdStr<char> name = m_tempName;
    m_tempName.clear();
    if (!target) {
        ::DeleteFileA(name.c_str());
        return true;
    }
    if (::MoveFileExA(name.c_str(), target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return true;
    ::DeleteFileA(name.c_str());
    return false;
}

TStdStr<char> MakeTempFileNameBeside(const char* path)
{
    TStdStr<char> folder = path ? path : "";
    const size_t slash = folder.find_last_of("\\/");
    folder = slash == TStdStr<char>::npos ? TStdStr<char>(".") : TStdStr<char>(folder.substr(0, slash + 1));
    char name[MAX_PATH] = {};
    if (!::GetTempFileNameA(folder.c_str(), "TFR", 0, name))
        return {};
    return name;
}

TStdStr<char> GetProgramFilesDir()
{
    TStdStr<char> folder;
    CRegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", KEY_READ))
        key.QueryStringValue("ProgramFilesDir", folder);
    return folder;
}

TStdStr<char> GetSystemFolder()
{
    return FolderFromSystem(::GetSystemDirectoryA);
}

TStdStr<char> GetWindowsFolder()
{
    return FolderFromSystem(::GetWindowsDirectoryA);
}
