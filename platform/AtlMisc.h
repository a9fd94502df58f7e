// Small helpers: a registry key holder and the wait cursor.
#pragma once
#include <windows.h>

// An open registry key, closed with the holder. (The program's own settings go through the core
// library's registry class; this one serves the window and COM code.)
class CRegKey
{
public:
    CRegKey() noexcept = default;
    explicit CRegKey(HKEY hKey) noexcept : m_hKey(hKey) {}
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    CRegKey(CRegKey&& other) noexcept : m_hKey(other.Detach()) {}
    CRegKey& operator=(CRegKey&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }

    operator HKEY() const noexcept { return m_hKey; }
    void Attach(HKEY hKey) noexcept
    {
        Close();
        m_hKey = hKey;
    }
    HKEY Detach() noexcept
    {
        HKEY hKey = m_hKey;
        m_hKey = nullptr;
        return hKey;
    }
    LONG Close() noexcept
    {
        LONG result = ERROR_SUCCESS;
        if (m_hKey) {
            result = ::RegCloseKey(m_hKey);
            m_hKey = nullptr;
        }
        return result;
    }

    LONG Create(HKEY hKeyParent, LPCSTR lpszKeyName, LPSTR lpszClass = nullptr, DWORD dwOptions = REG_OPTION_NON_VOLATILE,
                REGSAM samDesired = KEY_READ | KEY_WRITE, LPSECURITY_ATTRIBUTES lpSecAttr = nullptr,
                LPDWORD lpdwDisposition = nullptr) noexcept
    {
        HKEY hKey = nullptr;
        const LONG result = ::RegCreateKeyExA(hKeyParent, lpszKeyName, 0, lpszClass, dwOptions, samDesired, lpSecAttr,
                                              &hKey, lpdwDisposition);
        if (result == ERROR_SUCCESS)
            Attach(hKey);
        return result;
    }
    LONG Open(HKEY hKeyParent, LPCSTR lpszKeyName, REGSAM samDesired = KEY_READ | KEY_WRITE) noexcept
    {
        HKEY hKey = nullptr;
        const LONG result = ::RegOpenKeyExA(hKeyParent, lpszKeyName, 0, samDesired, &hKey);
        if (result == ERROR_SUCCESS)
            Attach(hKey);
        return result;
    }

    LONG QueryDWORDValue(LPCSTR name, DWORD& value) const noexcept
    {
        DWORD type = 0, size = 0, read = 0;
        LONG result = ::RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size);
        if (result != ERROR_SUCCESS)
            return result;
        if (type != REG_DWORD || size != sizeof(DWORD))
            return ERROR_INVALID_DATA;
        result = ::RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<LPBYTE>(&read), &size);
        if (result == ERROR_SUCCESS)
            value = read;
        return result;
    }
    LONG SetDWORDValue(LPCSTR name, DWORD value) noexcept
    {
        return ::RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    // `chars` is the buffer size in, the length with the terminator out. The text is always terminated.
    LONG QueryStringValue(LPCSTR name, LPSTR value, ULONG* chars) const noexcept
    {
        if (!chars || (*chars && !value))
            return ERROR_INVALID_PARAMETER;
        DWORD type = 0;
        DWORD size = *chars;
        const LONG result = ::RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
        if (result == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
            return ERROR_INVALID_DATA;
        if (result == ERROR_SUCCESS && value) {
            // Stored text need not end with a terminator; add one, or report the buffer too small.
            if (size == 0 || value[size - 1] != 0) {
                if (size >= *chars) {
                    *chars = size + 1;
                    return ERROR_MORE_DATA;
                }
                value[size++] = 0;
            }
        }
        *chars = size;
        return result;
    }
    LONG SetStringValue(LPCSTR name, LPCSTR value, DWORD type = REG_SZ) noexcept
    {
        return ::RegSetValueExA(m_hKey, name, 0, type, reinterpret_cast<const BYTE*>(value), ::lstrlenA(value) + 1);
    }
    LONG QueryBinaryValue(LPCSTR name, void* value, ULONG* bytes) const noexcept
    {
        DWORD type = 0;
        DWORD size = *bytes;
        const LONG result = ::RegQueryValueExA(m_hKey, name, nullptr, &type, static_cast<LPBYTE>(value), &size);
        *bytes = size;
        if (result == ERROR_SUCCESS && type != REG_BINARY)
            return ERROR_INVALID_DATA;
        return result;
    }
    LONG SetBinaryValue(LPCSTR name, const void* value, ULONG bytes) noexcept
    {
        return ::RegSetValueExA(m_hKey, name, 0, REG_BINARY, static_cast<const BYTE*>(value), bytes);
    }
    LONG DeleteValue(LPCSTR name) noexcept { return ::RegDeleteValueA(m_hKey, name); }
    LONG DeleteSubKey(LPCSTR name) noexcept { return ::RegDeleteKeyA(m_hKey, name); }
    // Deletes a subkey with everything under it.
    LONG RecurseDeleteKey(LPCSTR name) noexcept
    {
        CRegKey key;
        LONG result = key.Open(m_hKey, name, KEY_READ | KEY_WRITE);
        if (result != ERROR_SUCCESS)
            return result;
        char child[256];
        for (;;) {
            DWORD length = sizeof(child);
            if (::RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            result = key.RecurseDeleteKey(child);
            if (result != ERROR_SUCCESS)
                return result;
        }
        key.Close();
        return DeleteSubKey(name);
    }
    LONG EnumKey(DWORD index, LPSTR name, LPDWORD length) const noexcept
    {
        return ::RegEnumKeyExA(m_hKey, index, name, length, nullptr, nullptr, nullptr, nullptr);
    }

    HKEY m_hKey = nullptr;
};

// Shows the wait cursor for a scope.
class CWaitCursor
{
public:
    explicit CWaitCursor(bool set = true, LPCSTR cursor = IDC_WAIT, bool sysCursor = true) noexcept
        : m_hWaitCursor(::LoadCursorA(sysCursor ? nullptr : ::GetModuleHandleA(nullptr), cursor))
    {
        if (set)
            Set();
    }
    ~CWaitCursor() { Restore(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    bool Set() noexcept
    {
        if (m_active)
            return false;
        m_hOldCursor = ::SetCursor(m_hWaitCursor);
        m_active = true;
        return true;
    }
    bool Restore() noexcept
    {
        if (!m_active)
            return false;
        ::SetCursor(m_hOldCursor);
        m_active = false;
        return true;
    }

private:
    HCURSOR m_hWaitCursor;
    HCURSOR m_hOldCursor = nullptr;
    bool m_active = false;
};
