#include "core/library/RegistryKey.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Name and class buffers of the enumerations, in characters.
constexpr DWORD kEnumBufferLength = 2047;

} // namespace

CRegistryKey::~CRegistryKey()
{
    if (m_key)
        RegCloseKey(m_key);
}

void CRegistryKey::Replace(HKEY key)
{
    if (m_key)
        RegCloseKey(m_key);
    m_key = key;
}

bool CRegistryKey::Open(HKEY parent, const char* subKey, REGSAM access)
{
    HKEY key = nullptr;
    if (!Keep(RegOpenKeyExA(parent, subKey, 0, access, &key)))
        return false;
    Replace(key);
    return true;
}

bool CRegistryKey::Create(HKEY parent, const char* subKey, const char* className, DWORD options, REGSAM access,
                          SECURITY_ATTRIBUTES* security, DWORD* disposition)
{
    HKEY key = nullptr;
    DWORD created = 0;
    if (!Keep(RegCreateKeyExA(parent, subKey, 0, const_cast<char*>(className), options, access, security, &key, &created)))
        return false;
    if (disposition)
        *disposition = created;
    Replace(key);
    return true;
}

bool CRegistryKey::Close()
{
    if (m_key) {
        m_lastError = RegCloseKey(m_key);
        m_key = nullptr;
    }
    const bool ok = m_lastError == ERROR_SUCCESS;
    m_lastError = ERROR_SUCCESS;
    return ok;
}

bool CRegistryKey::QueryDWordValue(const char* name, DWORD& value)
{
    DWORD type = REG_NONE;
    DWORD read = 0;
    DWORD size = sizeof(read);
    if (!Keep(RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&read), &size)))
        return false;
    // A hand-edited value may be shorter or of another type; only a four-byte REG_DWORD is a number.
    if (type != REG_DWORD || size != sizeof(read))
        return Keep(ERROR_INVALID_DATA);
    value = read;
    return true;
}

bool CRegistryKey::SetDWordValue(const char* name, DWORD value)
{
    return Keep(RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)));
}

bool CRegistryKey::QueryValue(const char* name, void* buffer, DWORD* size)
{
    return Keep(RegQueryValueExA(m_key, name, nullptr, nullptr, static_cast<BYTE*>(buffer), size));
}

bool CRegistryKey::SetStringValue(const char* name, const char* text)
{
    if (!text)
        text = "";
    return Keep(RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                               static_cast<DWORD>(std::strlen(text) + 1)));
}

// The stored text need not end in a zero: one spare byte is read behind it and the result is cut at
// the first zero.
bool CRegistryKey::QueryStringValue(const char* name, TStdStr<char>& value)
{
    DWORD size = 0;
    if (!Keep(RegQueryValueExA(m_key, name, nullptr, nullptr, nullptr, &size)))
        return false;
    if (size == 0) {
        value.clear();
        return true;
    }
    std::vector<char> buffer(size + 1, '\0');
    if (!Keep(RegQueryValueExA(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size)))
        return false;
    buffer[std::min<size_t>(size, buffer.size() - 1)] = '\0';
    value = buffer.data();
    return true;
}

bool CRegistryKey::EnumKey(DWORD index, TStdStr<char>& name, TStdStr<char>* className)
{
    char nameBuffer[kEnumBufferLength + 1] = {};
    char classBuffer[kEnumBufferLength + 1] = {};
    DWORD nameLength = kEnumBufferLength;
    DWORD classLength = kEnumBufferLength;
    const LONG result = RegEnumKeyExA(m_key, index, nameBuffer, &nameLength, nullptr, className ? classBuffer : nullptr,
                                      className ? &classLength : nullptr, nullptr);
    m_lastError = result;
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
        return false;
    name = nameBuffer;
    if (className)
        *className = classBuffer;
    return true;
}

bool CRegistryKey::EnumValue(DWORD index, TStdStr<char>& name, DWORD* type)
{
    char nameBuffer[kEnumBufferLength + 1] = {};
    DWORD nameLength = kEnumBufferLength;
    const LONG result = RegEnumValueA(m_key, index, nameBuffer, &nameLength, nullptr, type, nullptr, nullptr);
    m_lastError = result;
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
        return false;
    name = nameBuffer;
    return true;
}

bool CRegistryKey::DeleteValue(const char* name)
{
    return Keep(RegDeleteValueA(m_key, name));
}

bool CRegistryKey::DeleteSubKey(const char* name)
{
    return Keep(RegDeleteKeyA(m_key, name));
}

bool CRegistryKey::DeleteSubKeyTree(const char* name)
{
    CRegistryKey child;
    if (!child.Open(m_key, name, KEY_ALL_ACCESS)) {
        m_lastError = child.GetLastError();
        return false;
    }
    for (;;) {
        char subName[256] = {};
        DWORD subLength = sizeof(subName);
        const LONG result = RegEnumKeyExA(child.m_key, 0, subName, &subLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) {
            m_lastError = result;
            return false;
        }
        if (!child.DeleteSubKeyTree(subName)) {
            m_lastError = child.GetLastError();
            return false;
        }
    }
    child.Close();
    return DeleteSubKey(name);
}
