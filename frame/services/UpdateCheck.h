#pragma once
// The update check: "kvbver.ini" fetched from the configured address on a worker thread, then read
// on the UI thread to offer a newer version or a newer interface-language file.
//
// The worker only downloads: it never touches a window other than posting its one result message
// to the window it was given, and the download is cancelled through an atomic flag that Stop (or
// the window's going) sets. Everything the user sees happens on the UI thread after that message.
//
// "kvbver.ini" comes from a server: section "main" keys "version", "releasedate", "downloadurl";
// section "language" one key per language name (its latest file version) and "downloadurl" (base
// address of the language files). Texts are bounded; versions are dotted numbers compared field
// by field; a download address that is not a web URL is never offered.
#include "core/library/BackgroundThread.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

inline constexpr char kUpdateInfoFileName[] = "kvbver.ini";
// The build's own release date, shown beside the running version.
inline constexpr char kBuildReleaseDate[] = "Nov 28 2005";
// The worker's result, posted to the window it was given: wParam 1 for the user's check and 0 for
// the automatic one; lParam 1 when the file was downloaded, 0 when the download failed.
inline constexpr UINT kMsgUpdateCheckDone = WM_APP + 0x29;
// Addresses of this length or longer are not opened.
inline constexpr size_t kMaxDownloadUrlLength = 2084;
// How long Stop waits for the worker before it is terminated.
inline constexpr DWORD kUpdateCheckStopTimeout = 5000;

// Compares two dotted version texts ("1.9", "1.10.2") as numbers, field by field, missing fields
// counting as 0: -1, 0 or 1; empty when either is not such a text (letters, empty fields, more
// than 8 fields or 9 digits a field).
std::optional<int> CompareVersions(const std::string& left, const std::string& right);

// The address to fetch: the "UpdateURL" setting when it is an http, https or ftp URL, else the
// built-in address.
std::string ChooseUpdateUrl(const std::string& setting, const std::string& builtIn);

struct CUpdateInfo {
    std::string version;
    std::string releaseDate;
    std::string downloadUrl;
    std::string languageVersion;  // the latest version of the current language's file; empty: none
    std::string languageFileUrl;  // base + "<language>.lng"; empty: none
};

enum class EUpdateDecision {
    kUnreadable,       // the file does not open: nothing is shown
    kBadVersion,       // a version text that is not a dotted number: refused, nothing offered
    kOfferNewVersion,  // the server names a newer version with a usable download address
    kUpdateLanguage,   // no newer program, but a newer file of the current language
    kUpToDate,
};

struct CUpdateResult {
    EUpdateDecision decision = EUpdateDecision::kUnreadable;
    CUpdateInfo info;
};

// Reads a downloaded "kvbver.ini" and decides. `languageName` is the current interface language,
// `installedLanguageVersion` its file's version; English and the first language of the list
// (`isFirstLanguage`) never update.
CUpdateResult ReadUpdateInfo(const std::string& path, const std::string& runningVersion,
                             const std::string& languageName, bool isFirstLanguage,
                             const std::string& installedLanguageVersion);

// Downloads `url` into `path` (deleted first): false, and no file, for a failure, an error answer
// of the server, an empty answer or a cancel. COM must be initialised on the calling thread.
// `progressWindow` (may be null) is posted kMsgUpdateProgress with the amounts as they come.
bool DownloadUpdateFile(const std::string& url, const std::string& path, const std::atomic<bool>& cancel,
                        HWND progressWindow = nullptr);

// The progress of a download: wParam the bytes so far, lParam the total (0: not known).
inline constexpr UINT kMsgUpdateProgress = WM_APP + 0x11D;
// "2.00 KB", "512 bytes"; "Downloaded 512 bytes of 2.00 KB" or "... of (total size unknown)"; the
// share done in percent (0 without a total, at most 100).
std::string FormatDownloadSize(ULONG bytes);
std::string FormatDownloadProgress(ULONG progress, ULONG total);
int DownloadPercent(ULONG progress, ULONG total);

// The newest file of a language: downloaded to a temporary file beside the installed one, which
// it replaces only when it is a language file (an INI text with its [Info] "Version", at most
// kMaxLanguageFileBytes); the installed file stays as it was otherwise. True when replaced.
inline constexpr DWORD kMaxLanguageFileBytes = 4 * 1024 * 1024;
bool UpdateLanguageFile(const std::string& url, const std::string& installedPath);

// The worker: downloads `url` into `localPath` (deleted first) and posts kMsgUpdateCheckDone to
// `notifyWindow`. One check at a time; the owner stops it with the time-out when it closes.
//
// Lifetime: the owner holds it (a member); its destruction stops the worker.
class CUpdateCheck {
public:
    CUpdateCheck() = default;
    ~CUpdateCheck();
    CUpdateCheck(const CUpdateCheck&) = delete;
    CUpdateCheck& operator=(const CUpdateCheck&) = delete;

    // False when a check already runs or the thread cannot start.
    // `progressWindow` (the user's progress dialog, may be null) hears the download's progress.
    bool Start(HWND notifyWindow, const std::string& url, const std::string& localPath, bool userCheck,
               HWND progressWindow = nullptr);
    // Cancels the download and waits for the worker up to kUpdateCheckStopTimeout.
    void Stop();
    // False once the worker has ended its job, also before Stop released its thread.
    bool IsRunning() const { return m_thread && m_thread->IsRunning() && !m_finished; }
    // Asks the running download to give up (the user's Cancel); the result is still posted.
    void Cancel() { m_cancel = true; }

private:
    unsigned Run(HWND notifyWindow, std::string url, std::string localPath, bool userCheck, HWND progressWindow);

    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    std::unique_ptr<CBackgroundThread> m_thread;
};
