#pragma once
// The bounded logs of blocked popups and blocked ads, and the archive files that keep them and the
// other small lists of the application data folder.
//
// Blocked-log file ("PopupsBlockedHistory", "AdBlockedHistory"), archive items in order: the entry
// count (32-bit); per entry, oldest first, the time (8 bytes: a FILETIME in UTC, little-endian)
// and three strings.
#include "core/library/StdStr.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>

class CZ4KArchive;

struct BlockedLogEntry {
    uint64_t time = 0;  // FILETIME, UTC
    // Popups: title, opener URL, URL. Ads: the rule, the URL and an empty text.
    CStdString text1;
    CStdString text2;
    CStdString text3;

    bool operator==(const BlockedLogEntry&) const = default;
};

class CBlockedLog {
public:
    // Appends, then drops the oldest entries beyond the maximum.
    void Add(const BlockedLogEntry& entry);
    // Drops the oldest entries until the log fits the new maximum.
    void SetMaxItems(int maxItems);
    int GetMaxItems() const { return m_maxItems; }
    void Clear();
    // Removes one entry (0 = oldest); an index out of range does nothing.
    void Erase(int index);
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const BlockedLogEntry& GetAt(int index) const { return m_entries[index]; }
    const std::deque<BlockedLogEntry>& GetEntries() const { return m_entries; }

    bool m_modified = false;
    bool m_reverseOrder = false;  // display direction, set by the log's list view

private:
    std::deque<BlockedLogEntry> m_entries;  // oldest first
    int m_maxItems = 200;
};

// The current time as a FILETIME in UTC.
uint64_t GetCurrentFileTime();

// Reads a blocked log from its file; the entries go through Add, so only the newest that fit stay.
// A missing file is no error. On a damaged file the whole entries are kept, the error is logged and
// reported, and the result is false.
bool LoadBlockedLog(const char* path, CBlockedLog& log);
// Writes the log; the previous file stays intact until the new one is complete.
bool SaveBlockedLog(const char* path, const CBlockedLog& log);

// Archive files of the application data folder.
//
// Reads the file through an archive of the library's format; a missing file gives false.
// Exceptions of the reader reach the caller. Readers never size a list by a stored count: they add
// each item once it was read whole, so a damaged count ends in the end-of-data error instead of a
// huge allocation, and everything before the damage is kept.
bool ReadArchiveFile(const char* path, const std::function<void(CZ4KArchive&)>& reader);
// Writes the file through an archive (StoreArchiveFile: a temporary file beside it moved over the
// old one once complete, so a crash or a full disk mid-write leaves the previous file). A failure
// is reported and gives false.
bool WriteArchiveFile(const char* path, const std::function<void(CZ4KArchive&)>& writer);

// How archive errors reach the user: the text is written to the program log and shown in the
// program's message box with the stop icon (through GetMessageBoxes(), which tests replace).
void ReportArchiveError(const char* text);

// The title "Ad Blocked History" (translated), an empty line, one line per entry of the time,
// the rule and the URL, tab-separated, and a final line break.
TStdStr<char> FormatAdBlockedHistoryText(const CBlockedLog& log);
