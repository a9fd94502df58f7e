#pragma once
// CRegistryKey: the owner of one open registry key. Every operation keeps the Win32 result as the last
// error and reports success as a bool; nothing throws.
#include "core/library/StdStr.h"

#include <windows.h>

class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // On success the key held before is closed; on failure it stays open and usable.
    bool Open(HKEY parent, const char* subKey, REGSAM access = KEY_READ | KEY_WRITE);
    bool Create(HKEY parent, const char* subKey, const char* className = nullptr, DWORD options = REG_OPTION_NON_VOLATILE,
                REGSAM access = KEY_READ | KEY_WRITE, SECURITY_ATTRIBUTES* security = nullptr,
                DWORD* disposition = nullptr);
    // Closes the held key; returns whether the last error was 0 and resets it.
    bool Close();

    // False (ERROR_INVALID_DATA) for a value that is not a four-byte REG_DWORD; the value is then
    // left as it was.
    bool QueryDWordValue(const char* name, DWORD& value);
    bool SetDWordValue(const char* name, DWORD value);
    bool QueryValue(const char* name, void* buffer, DWORD* size);
    // Writes a REG_SZ including its terminating zero.
    bool SetStringValue(const char* name, const char* text);
    // An empty stored value gives the empty string.
    bool QueryStringValue(const char* name, TStdStr<char>& value);
    bool EnumKey(DWORD index, TStdStr<char>& name, TStdStr<char>* className = nullptr);
    bool EnumValue(DWORD index, TStdStr<char>& name, DWORD* type = nullptr);
    bool DeleteValue(const char* name);
    // Deletes one subkey that has no subkeys of its own.
    bool DeleteSubKey(const char* name);
    // Deletes a subkey with everything under it.
    bool DeleteSubKeyTree(const char* name);

    HKEY GetHandle() const { return m_key; }
    operator HKEY() const { return m_key; }
    LONG GetLastError() const { return m_lastError; }

private:
    bool Keep(LONG result)
    {
        m_lastError = result;
        return result == ERROR_SUCCESS;
    }
    void Replace(HKEY key);

    HKEY m_key = nullptr;    // owned
    LONG m_lastError = ERROR_SUCCESS;
};
