#pragma once
// The most-recent-first text lists kept in the registry: the typed addresses, which the program
// shares with the system browser ("Software\Microsoft\Internet Explorer\TypedURLs", values url1
// to url25, url1 the newest), and the search bar's history (the program's "Search\History", values
// 1 to 30). Each entry is a numbered value holding the text, so the order never depends on the
// order in which the registry enumerates values (Wine enumerates them sorted by name).
//
// Reading is bounded: values are read in number order from 1 to the capacity, and a missing
// number, a value that is not REG_SZ, an empty one or one longer than kMaxHistoryText characters
// is passed over. Writing replaces only the numbered values; other values in the key stay.
#include <windows.h>

#include <string>
#include <vector>

constexpr size_t kMaxHistoryText = 2083;
constexpr size_t kTypedUrlCapacity = 25;
constexpr size_t kSearchHistoryCapacity = 30;

// "Software\Microsoft\Internet Explorer\" followed by "MenuExt", "Extensions", "Main", "Toolbar",
// "Settings" or "TypedURLs" (index 0 to 5); empty for another index.
std::string GetIeRegistryKeyPath(int index);
constexpr int kTypedUrlsKeyIndex = 5;

class CRegistryHistory {
public:
    CRegistryHistory(HKEY root, std::string keyPath, std::string valuePrefix, size_t capacity);

    std::vector<std::string> Load() const;
    // Writes the first `capacity` entries as values 1..n and removes the numbered values beyond.
    bool Save(const std::vector<std::string>& entries) const;
    // Removes every numbered value.
    bool Clear() const { return Save({}); }

    size_t GetCapacity() const { return m_capacity; }
    std::string ValueName(size_t position) const { return m_valuePrefix + std::to_string(position); }

private:
    HKEY m_root;  // a predefined key, not owned
    std::string m_keyPath;
    std::string m_valuePrefix;
    size_t m_capacity;
};

// The typed-address list and the search history of the current user.
CRegistryHistory TypedUrlHistory();
CRegistryHistory SearchHistory();
