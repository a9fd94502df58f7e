#pragma once
// CRecentClosedList: the pages of recently closed tabs, newest last, that the main frame shows as
// the numbered items of "Open Recen&t" and reopens by command id (57616 names the newest entry,
// each older one the next id, up to 57631). The list keeps between runs in the registry key
// "Recent Document List": "DocumentCount" (the maximum), and for i = 1 (newest) up to the count
// "Document%i" (the title) and "OpenName%i" (the URL). Registry values are the user's to change:
// the count is clamped, over-long texts are cut and entries with a URL no tab could open are
// skipped. The menu is the frame's; the list only fills the items from 57616 on. UI thread only.
#include "core/library/RegistryKey.h"
#include "core/library/StdStr.h"

#include <windows.h>

#include <vector>

struct CRecentClosedEntry {
    TStdStr<char> title;
    TStdStr<char> url;
};

class CRecentClosedList {
public:
    static constexpr UINT kFirstCommand = 57616;
    static constexpr int kMinEntries = 2;
    static constexpr int kMaxEntriesLimit = 16;
    static constexpr int kMaxItemLength = 260;
    // Longer stored titles are cut; longer stored URLs are not opened by the frame and are skipped.
    static constexpr size_t kMaxStoredTitle = 1024;
    static constexpr size_t kMaxStoredUrl = 2048;

    CRecentClosedList() = default;
    CRecentClosedList(const CRecentClosedList&) = delete;
    CRecentClosedList& operator=(const CRecentClosedList&) = delete;

    // Clamped to 2 ... 16; the oldest entries beyond the new maximum go.
    void SetMaxEntries(int maxEntries);
    int GetMaxEntries() const { return m_maxEntries; }
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }
    // Oldest first.
    const std::vector<CRecentClosedEntry>& GetEntries() const { return m_entries; }

    // A closed page becomes the newest entry; an entry of the same URL (in any letter case) goes,
    // and the oldest goes when the list is full. The menu is rebuilt.
    void AddToList(const char* title, const char* url);
    // The entry that the command names, or null.
    const CRecentClosedEntry* EntryForCommand(UINT command) const;
    // False when the command names no entry. The menu is rebuilt.
    bool RemoveCommand(UINT command);
    void Clear();

    // The popup that holds the items; its item 57616 gives the text shown while the list is empty
    // ("(empty)" without one). Not owned.
    void SetMenuHandle(HMENU menu);
    HMENU GetMenuHandle() const { return m_menu; }
    // Rebuilds the numbered items; false without a menu.
    bool UpdateMenu();

    // Reads the list from the open key; false (the list unchanged) when "DocumentCount" is missing.
    bool ReadFromRegistry(CRegistryKey& key, bool updateMenu);
    // Writes the list and deletes the values of positions above the count; false when a value
    // could not be written.
    bool WriteToRegistry(CRegistryKey& key) const;

private:
    std::vector<CRecentClosedEntry> m_entries;  // oldest first
    int m_maxEntries = 4;
    HMENU m_menu = nullptr;  // not owned: a popup of the frame's menu
    TStdStr<char> m_emptyText = "(empty)";
};

// The menu text of a title: cut to maxLength characters with "..." (a path keeps its head, "..."
// and its last part), prefixed "&<number> " and with its ampersands doubled.
TStdStr<char> FormatRecentMenuText(int number, const TStdStr<char>& title, int maxLength);
