#pragma once
// A settings store in memory for the controls' tests: values by section and name, binary values
// kept as given, so a test can put damaged values where the program expects its own.
#include "core/app/SettingsStore.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class CFakeSettingsStore : public CSettingsStore {
public:
    CStdString GetString(const char* section, const char* key, const char* defaultText) override
    {
        const auto found = m_strings.find(Key(section, key));
        return found == m_strings.end() ? CStdString(defaultText ? defaultText : "") : CStdString(found->second.c_str());
    }
    bool WriteString(const char* section, const char* key, const char* value) override
    {
        if (!value)
            m_strings.erase(Key(section, key));
        else
            m_strings[Key(section, key)] = value;
        return true;
    }
    DWORD GetInt(const char* section, const char* key, DWORD defaultValue) override
    {
        const auto found = m_ints.find(Key(section, key));
        return found == m_ints.end() ? defaultValue : found->second;
    }
    bool WriteInt(const char* section, const char* key, DWORD value) override
    {
        m_ints[Key(section, key)] = value;
        return true;
    }
    bool GetBinary(const char* section, const char* key, std::vector<BYTE>& data) override
    {
        const auto found = m_binaries.find(Key(section, key));
        if (found == m_binaries.end())
            return false;
        if (!found->second.empty())
            data = found->second;
        return true;
    }
    bool WriteBinary(const char* section, const char* key, const void* data, size_t size) override
    {
        const BYTE* bytes = static_cast<const BYTE*>(data);
        m_binaries[Key(section, key)] = std::vector<BYTE>(bytes, bytes + (bytes ? size : 0));
        return true;
    }
    using CSettingsStore::WriteBinary;

    // The stored binary value, or null.
    std::vector<BYTE>* Binary(const char* section, const char* key)
    {
        const auto found = m_binaries.find(Key(section, key));
        return found == m_binaries.end() ? nullptr : &found->second;
    }
    size_t BinaryCount() const { return m_binaries.size(); }

private:
    using KeyType = std::pair<std::string, std::string>;
    static KeyType Key(const char* section, const char* key) { return {section ? section : "", key ? key : ""}; }

    std::map<KeyType, std::string> m_strings;
    std::map<KeyType, DWORD> m_ints;
    std::map<KeyType, std::vector<BYTE>> m_binaries;
};
