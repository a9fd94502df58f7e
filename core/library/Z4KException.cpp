#include "core/library/Z4KException.h"

#include <initializer_list>
#include <iterator>

namespace {

const char* const kFileCauseTexts[] = {
    "No error occurred.",
    "An unknown error occurred while accessing %s.",
    "%s was not found.",
    "%s contains an invalid path.",
    "%s could not be opened because there are too many open files.",
    "Access to %s was denied.",
    "An invalid file handle was associated with %s.",
    "%s could not be removed because it is the current directory.",
    "%s could not be created because the directory is full.",
    "Seek failed on %s",
    "A hardware I/O error was reported while accessing %s.",
    "A sharing violation occurred while accessing %s.",
    "A locking violation occurred while accessing %s.",
    "Disk full while accessing %s.",
    "An attempt was made to access %s past its end.",
    "Invalid Parameter.",
};

const char* const kArchiveCauseTexts[] = {
    "No error occurred.",
    "An unknown error occurred while accessing %s.",
    "An attempt was made to write to the reading %s.",
    "An attempt was made to access %s past its end.",
    "An attempt was made to read from the writing %s.",
    "%s has a bad format.",
    "%s contained an unexpected object.",
    "%s contains an incorrect schema.",
};

// Win32 error codes grouped by the file exception cause they map to.
struct OsErrorGroup {
    int cause;
    std::initializer_list<DWORD> errors;
};

const OsErrorGroup kOsErrorGroups[] = {
    {0, {0}},
    {2, {2, 6, 18, 107}},
    {3, {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}},
    {4, {4, 36, 68, 113}},
    {5, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
    {6, {11, 26, 60, 66, 114, 182, 191, 193}},
    {7, {16, 145}},
    {8, {62}},
    {9, {24, 25, 27, 30, 131, 132}},
    {10, {20, 21, 22, 23, 57, 59, 88, 117, 995, 996, 997}},
    {11, {32}},
    {12, {33, 108, 167}},
    {13, {39, 112}},
    {14, {38}},
    {15, {87}},
};

} // namespace

CZ4KFileException::CZ4KFileException(int cause, const char* fileName)
    : CZ4KCauseException(cause, fileName, kFileCauseTexts, std::size(kFileCauseTexts))
{
}

CZ4KArchiveException::CZ4KArchiveException(int cause, const char* fileName)
    : CZ4KCauseException(cause, fileName, kArchiveCauseTexts, std::size(kArchiveCauseTexts))
{
}

// A cause outside the table gives the "unknown error" text.
const char* CZ4KCauseException::GetErrorMessage() const
{
    const char* text = (m_cause >= 0 && static_cast<size_t>(m_cause) < m_textCount) ? m_texts[m_cause] : m_texts[1];
    m_message.Format(text, m_fileName.c_str());
    return m_message.c_str();
}

const char* CComException::GetErrorMessage() const
{
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                                        static_cast<DWORD>(m_result), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        reinterpret_cast<char*>(&buffer), 0, nullptr);
    if (length && buffer)
        m_message.assign(buffer, length);
    else
        m_message.clear();
    if (buffer)
        LocalFree(buffer);
    return m_message.c_str();
}

int MapOsErrorToCause(DWORD error)
{
    for (const auto& group : kOsErrorGroups) {
        for (DWORD code : group.errors) {
            if (code == error)
                return group.cause;
        }
    }
    return CZ4KFileException::genericError;
}

void ThrowFileException(DWORD error, const char* fileName)
{
    if (error == 0)
        return;
    throw CZ4KFileException(MapOsErrorToCause(error), fileName);
}

void ThrowZ4KMemoryException()
{
    throw CZ4KMemoryException();
}

void ThrowComError(HRESULT result)
{
    if (result == E_OUTOFMEMORY)
        throw CZ4KMemoryException();
    throw CComException(result);
}
