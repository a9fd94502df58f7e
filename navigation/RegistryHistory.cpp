#include "navigation/RegistryHistory.h"

#include "core/app/SettingsStore.h"
#include "core/library/RegistryKey.h"

#include <algorithm>

namespace {

// Values that hold more than a history text are not read at all.
constexpr DWORD kMaxValueBytes = static_cast<DWORD>(kMaxHistoryText + 1);
// The old form of the search history kept each entry as a value name; it is read once when no
// numbered value exists, and replaced at the next save.
constexpr DWORD kMaxLegacyValues = 1000;

bool ReadText(HKEY key, const std::string& name, std::string& text)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        size == 0 || size > kMaxValueBytes)
        return false;
    std::string buffer(size, '\0');
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS || type != REG_SZ)
        return false;
    buffer.resize(std::min<size_t>(size, buffer.size()));
    // The stored text ends at its first zero (a value without one is cut at its size).
    const size_t zero = buffer.find('\0');
    if (zero != std::string::npos)
        buffer.resize(zero);
    text = buffer;
    return !text.empty();
}

}  // namespace

std::string GetIeRegistryKeyPath(int index)
{
    static const char* const kNames[] = {"MenuExt", "Extensions", "Main", "Toolbar", "Settings", "TypedURLs"};
    if (index < 0 || index >= static_cast<int>(std::size(kNames)))
        return std::string();
    return std::string("Software\\Microsoft\\Internet Explorer\\") + kNames[index];
}

CRegistryHistory::CRegistryHistory(HKEY root, std::string keyPath, std::string valuePrefix, size_t capacity)
    : m_root(root), m_keyPath(std::move(keyPath)), m_valuePrefix(std::move(valuePrefix)), m_capacity(capacity)
{
}

std::vector<std::string> CRegistryHistory::Load() const
{
    std::vector<std::string> entries;
    CRegistryKey key;
    if (!key.Open(m_root, m_keyPath.c_str(), KEY_READ))
        return entries;
    for (size_t i = 1; i <= m_capacity; ++i) {
        std::string text;
        if (ReadText(key, ValueName(i), text))
            entries.push_back(std::move(text));
    }
    if (entries.empty() && m_valuePrefix.empty()) {
        char name[kMaxHistoryText + 2];
        for (DWORD i = 0; i < kMaxLegacyValues && entries.size() < m_capacity; ++i) {
            DWORD length = sizeof(name);
            const LONG result = RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            if (result == ERROR_SUCCESS && length > 0)
                entries.emplace_back(name, length);
        }
    }
    return entries;
}

bool CRegistryHistory::Save(const std::vector<std::string>& entries) const
{
    CRegistryKey key;
    if (!key.Create(m_root, m_keyPath.c_str()))
        return false;
    bool ok = true;
    size_t written = 0;
    for (const std::string& entry : entries) {
        if (written == m_capacity)
            break;
        if (entry.empty() || entry.size() > kMaxHistoryText)
            continue;
        ok = key.SetStringValue(ValueName(++written).c_str(), entry.c_str()) && ok;
    }
    for (size_t i = written + 1; i <= m_capacity; ++i)
        key.DeleteValue(ValueName(i).c_str());
    if (m_valuePrefix.empty()) {
        // The old value-name entries are part of what was loaded; they go once the numbered form is
        // written, so they do not come back beside it.
        std::vector<std::string> legacy;
        for (DWORD i = 0; i < kMaxLegacyValues; ++i) {
            TStdStr<char> name;
            if (!key.EnumValue(i, name))
                break;
            const std::string n(name.c_str());
            if (n.find_first_not_of("0123456789") != std::string::npos || n.empty())
                legacy.push_back(n);
        }
        for (const std::string& name : legacy)
            key.DeleteValue(name.c_str());
    }
    return ok;
}

CRegistryHistory TypedUrlHistory()
{
    return CRegistryHistory(HKEY_CURRENT_USER, GetIeRegistryKeyPath(kTypedUrlsKeyIndex), "url", kTypedUrlCapacity);
}

CRegistryHistory SearchHistory()
{
    const std::string path = std::string(GetRegistrySettingsStore()->GetRegistryPath().c_str()) + "\\Search\\History";
    return CRegistryHistory(HKEY_CURRENT_USER, path, "", kSearchHistoryCapacity);
}
