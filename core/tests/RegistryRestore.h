#pragma once
// Fixture members for tests that change registry values or keys another program (or the browser of
// the user) may own. The test process runs against a private HKEY_CURRENT_USER already
// (tests/support/TestMain.cpp); these put back what a test changed even when an assertion ends it
// early, so tests do not depend on the order they run in.
#include "core/library/RegistryKey.h"

#include <windows.h>

#include <string>
#include <vector>

// Remembers one value (its type and bytes, or that it was missing) and restores it on destruction.
class CSavedRegistryValue {
public:
    CSavedRegistryValue(HKEY root, const char* subKey, const char* name) : m_root(root), m_subKey(subKey), m_name(name)
    {
        CRegistryKey key;
        if (!key.Open(m_root, m_subKey.c_str(), KEY_READ))
            return;
        DWORD size = 0;
        if (RegQueryValueExA(key, m_name.c_str(), nullptr, &m_type, nullptr, &size) != ERROR_SUCCESS)
            return;
        m_data.resize(size);
        m_existed = RegQueryValueExA(key, m_name.c_str(), nullptr, &m_type, m_data.data(), &size) == ERROR_SUCCESS;
        m_data.resize(size);
    }
    ~CSavedRegistryValue()
    {
        if (m_existed)
            RegSetKeyValueA(m_root, m_subKey.c_str(), m_name.c_str(), m_type, m_data.data(),
                            static_cast<DWORD>(m_data.size()));
        else
            RegDeleteKeyValueA(m_root, m_subKey.c_str(), m_name.c_str());
    }
    CSavedRegistryValue(const CSavedRegistryValue&) = delete;
    CSavedRegistryValue& operator=(const CSavedRegistryValue&) = delete;

private:
    HKEY m_root;
    std::string m_subKey;
    std::string m_name;
    bool m_existed = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
};

// A key a test makes for itself: Existed() tells whether something else had it first (the test then
// leaves it alone); otherwise the key and everything under it is deleted on destruction.
class CTestOwnedRegistryKey {
public:
    CTestOwnedRegistryKey(HKEY root, const char* subKey) : m_root(root), m_subKey(subKey)
    {
        CRegistryKey key;
        m_existed = key.Open(m_root, m_subKey.c_str(), KEY_READ);
    }
    ~CTestOwnedRegistryKey() { Delete(); }
    CTestOwnedRegistryKey(const CTestOwnedRegistryKey&) = delete;
    CTestOwnedRegistryKey& operator=(const CTestOwnedRegistryKey&) = delete;

    bool Existed() const { return m_existed; }
    // Deletes the key now (the destructor then finds nothing left to delete).
    void Delete() const
    {
        if (m_existed)
            return;
        RegDeleteTreeA(m_root, m_subKey.c_str());
        RegDeleteKeyA(m_root, m_subKey.c_str());
    }

private:
    HKEY m_root;
    std::string m_subKey;
    bool m_existed = false;
};
