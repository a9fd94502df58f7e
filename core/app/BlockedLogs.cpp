#include "core/app/BlockedLogs.h"

#include "core/library/AppWindowInfo.h"
#include "core/app/Settings.h"
#include "core/library/Z4KArchive.h"
#include "core/library/Z4KException.h"
#include "core/library/Z4KFile.h"
#include "core/library/Z4KLog.h"
#include "core/library/Z4KTime.h"
#include "core/app/LanguageManager.h"
#include "core/system/MessageBoxes.h"

#include <algorithm>
#include <cstring>

namespace {


// A session file declaring this many entries or more is not a session file of this program.
constexpr uint32_t kMaxSessionEntries = 200;

// The time of a log entry: a FILETIME as 8 bytes, little-endian.
void WriteFileTime(CZ4KArchive& archive, uint64_t time)
{
    BYTE bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<BYTE>(time >> (8 * i));
    archive.Write(bytes, sizeof(bytes));
}

uint64_t ReadFileTime(CZ4KArchive& archive)
{
    BYTE bytes[8];
    if (archive.Read(bytes, sizeof(bytes)) != sizeof(bytes))
        throw CZ4KArchiveException(CZ4KArchiveException::endOfFile);
    uint64_t time = 0;
    for (int i = 0; i < 8; ++i)
        time |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    return time;
}

}  // namespace

// CBlockedLog

void CBlockedLog::Add(const BlockedLogEntry& entry)
{
    m_entries.push_back(entry);
    while (m_entries.size() > static_cast<size_t>(std::max(m_maxItems, 0)))
        m_entries.pop_front();
    m_modified = true;
}

void CBlockedLog::SetMaxItems(int maxItems)
{
    m_maxItems = maxItems;
    while (m_entries.size() > static_cast<size_t>(std::max(m_maxItems, 0)))
        m_entries.pop_front();
    m_modified = true;
}

void CBlockedLog::Clear()
{
    m_entries.clear();
    m_modified = true;
}

void CBlockedLog::Erase(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size())
        return;
    m_entries.erase(m_entries.begin() + index);
    m_modified = true;
}

uint64_t GetCurrentFileTime()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Archive files

void ReportArchiveError(const char* text)
{
    const CStdString message = FormatString("%s\n", text ? text : "");
    if (CZ4KLog* log = GetLog())
        log->Write(kLogCritical, message);
    const CAppWindowInfo* info = GetAppWindowInfo();
    GetMessageBoxes().Show(info ? info->GetMainWindow() : nullptr, message, "Kivo Browser", MB_OK | MB_ICONSTOP);
}

bool ReadArchiveFile(const char* path, const std::function<void(CZ4KArchive&)>& reader)
{
    CZ4KFile file;
    if (!file.Open(path, CZ4KFile::kOpenRead))
        return false;
    CZ4KArchive archive(&file, CZ4KArchive::kLoad, CZ4KArchive::kBufferSize);
    reader(archive);
    archive.Close();
    file.Close();
    return true;
}

bool WriteArchiveFile(const char* path, const std::function<void(CZ4KArchive&)>& writer)
{
    if (StoreArchiveFile(path, writer))
        return true;
    ReportArchiveError(CZ4KFileException(CZ4KFileException::genericError, path).GetErrorMessage());
    return false;
}

// Blocked logs

bool LoadBlockedLog(const char* path, CBlockedLog& log)
{
    try {
        ReadArchiveFile(path, [&log](CZ4KArchive& archive) {
            uint32_t count = 0;
            archive >> count;
            for (uint32_t i = 0; i < count; ++i) {
                BlockedLogEntry entry;
                entry.time = ReadFileTime(archive);
                archive.ReadString(entry.text1);
                archive.ReadString(entry.text2);
                archive.ReadString(entry.text3);
                log.Add(entry);
            }
        });
        return true;
    } catch (const CZ4KException& error) {
        ReportArchiveError(error.GetErrorMessage());
        return false;
    }
}

bool SaveBlockedLog(const char* path, const CBlockedLog& log)
{
    return WriteArchiveFile(path, [&log](CZ4KArchive& archive) {
            archive << static_cast<uint32_t>(log.GetCount());
            for (const BlockedLogEntry& entry : log.GetEntries()) {
                WriteFileTime(archive, entry.time);
                archive.WriteString(entry.text1);
                archive.WriteString(entry.text2);
                archive.WriteString(entry.text3);
            }
        });
}

// The settings object's logs and session file

bool CSettings::LoadBlockedLogs()
{
    const bool popups = LoadBlockedLog(PopupLogPath, PopupLog);
    const bool ads = LoadBlockedLog(AdLogPath, AdLog);
    PopupLog.m_modified = false;
    AdLog.m_modified = false;
    return popups && ads;
}

bool CSettings::SaveBlockedLogs()
{
    const bool popups = SaveBlockedLog(PopupLogPath, PopupLog);
    const bool ads = SaveBlockedLog(AdLogPath, AdLog);
    return popups && ads;
}

bool CSettings::LoadLastOpenSites()
{
    if (PreviousRunState != -1)
        return true;
    if (StartupFlags.value & StartupFlag::RunningMarker) {
        // Still marked as running: the previous run did not end normally, or another instance runs.
        PreviousRunState = 0;
    } else {
        StartupFlags.value |= StartupFlag::RunningMarker;
        StartupFlags.Save();
        PreviousRunState = 1;
    }
    LastOpenSites.clear();
    bool whole = true;
    try {
        ReadArchiveFile(SessionFilePath, [this, &whole](CZ4KArchive& archive) {
            uint32_t count = 0;
            archive >> count;
            if (count >= kMaxSessionEntries) {
                whole = false;
                return;
            }
            // Entries are added only once they are read whole, so a damaged file opens no blank
            // pages.
            for (uint32_t i = 0; i < count; ++i) {
                CSessionEntry entry;
                archive.ReadString(entry.title);
                archive.ReadString(entry.url);
                LastOpenSites.push_back(std::move(entry));
            }
        });
    } catch (const CZ4KException&) {
        // What was read before the damage stays in the list.
        whole = false;
    }
    m_sessionLoadFailed = !whole;
    m_sessionAsLoaded = LastOpenSites;
    return whole;
}

bool CSettings::SaveLastOpenSites()
{
    // Failures of the session file end the operation silently.
    return StoreArchiveFile(SessionFilePath, [this](CZ4KArchive& archive) {
            // A file of 200 entries or more is not read back, so only the first 199 are kept.
            const size_t count = std::min<size_t>(LastOpenSites.size(), kMaxSessionEntries - 1);
            archive << static_cast<uint32_t>(count);
            for (size_t i = 0; i < count; ++i) {
                archive.WriteString(LastOpenSites[i].title);
                archive.WriteString(LastOpenSites[i].url);
            }
        });
}

TStdStr<char> FormatAdBlockedHistoryText(const CBlockedLog& log)
{
    TStdStr<char> text = TranslateText("Ad Blocked History") + "\r\n\r\n";
    for (const BlockedLogEntry& entry : log.GetEntries()) {
        text += CZ4KTime::Format(static_cast<int64_t>(entry.time), "%m/%d/%Y %H:%M:%S.%s");
        text += "\t" + entry.text1 + "\t" + entry.text2 + "\r\n";
    }
    return text + "\r\n";
}
