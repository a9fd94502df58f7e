#pragma once
// The program's persistent options and counters. One CSettings object, created by the first call
// of GetSettings, reads every value from the settings store when it is built, loads the two
// blocked-content logs, and writes everything back in Save (which its destruction at exit runs).
// Callers read and change the fields in place on the user-interface thread.
#include "core/app/BlockedLogs.h"
#include "core/app/SettingsStore.h"
#include "core/library/StdStr.h"

#include <cstdint>
#include <functional>
#include <vector>

// Bits of the flag words. A name starting with "No" or "Hide" marks a bit whose check box is shown
// checked while the bit is clear.
namespace SysFlag {
constexpr DWORD NoExitConfirmation = 0x1;
constexpr DWORD NoUpdateCheck = 0x2;
constexpr DWORD CloseButtonCloses = 0x4;    // clear: the close button minimises to the tray
constexpr DWORD MinimizeNormally = 0x8;     // clear: minimising goes to the tray
constexpr DWORD NoStartWithWindows = 0x10;
constexpr DWORD NoTrayIcon = 0x20;
constexpr DWORD NoSuppressScriptErrors = 0x100;
constexpr DWORD ClearPrivacyOnExit = 0x400;
constexpr DWORD NoSupportReminder = 0x800;
constexpr DWORD CheckDefaultBrowser = 0x1000;
constexpr DWORD NoSiteSelectionDialog = 0x4000;
constexpr DWORD NoSplash = 0x8000;
constexpr DWORD SortFavoritesByName = 0x20000;
constexpr DWORD MiddleClickLeftToPage = 0x40000;
constexpr DWORD MiddleClickForeground = 0x80000;
constexpr DWORD NewTabsInBackground = 0x200000;
}  // namespace SysFlag

namespace DLCtrlFlag {
constexpr DWORD LoadImages = 0x10;
constexpr DWORD LoadVideos = 0x20;
constexpr DWORD LoadSounds = 0x40;
constexpr DWORD NoScripts = 0x80;
constexpr DWORD NoJava = 0x100;
constexpr DWORD NoActiveX = 0x200;
}  // namespace DLCtrlFlag

namespace TabOpenFlag {
constexpr DWORD AddressBar = 0x1;
constexpr DWORD SearchBar = 0x2;
constexpr DWORD Favorites = 0x4;
constexpr DWORD LinksBar = 0x8;
constexpr DWORD History = 0x10;
}  // namespace TabOpenFlag

namespace StartupFlag {
constexpr DWORD RunningMarker = 0x10000;
constexpr int ModeCount = 6;  // bits 0x1 to 0x20: nothing, home page, last session, group, start sites, search page
}  // namespace StartupFlag

namespace BlockerFlag {
constexpr DWORD PopupBlocker = 0x2;
constexpr DWORD AdFilter = 0x4;
constexpr DWORD WebPageDialogBlocker = 0x8;
constexpr DWORD PopupNotice = 0x1000;
}  // namespace BlockerFlag

namespace ViewFlag {
constexpr DWORD PopupLogGrid = 0x40;
constexpr DWORD AdLogGrid = 0x80;
constexpr DWORD HideTabScrollButtons = 0x40000;
constexpr DWORD HideTabCloseButton = 0x80000;
constexpr DWORD TabsAtBottom = 0x100000;
constexpr DWORD DoubleClickClosesTab = 0x200000;
constexpr DWORD HideAddressButton = 0x4000000;
constexpr DWORD HideGoButton = 0x8000000;
constexpr DWORD HideAddressButtonIcon = 0x10000000;
// The view flags of a new profile.
constexpr DWORD Defaults = 0x10383000;
}  // namespace ViewFlag

namespace PrivacyClearFlag {
constexpr DWORD Cache = 0x1;
constexpr DWORD History = 0x2;
constexpr DWORD TypedAddresses = 0x4;
constexpr DWORD Cookies = 0x8;
}  // namespace PrivacyClearFlag

enum class EFlagWord { SysFlags, DLCtrlFlags, TabOpenFlags, BlockerFlags, ViewFlags, PrivacyClearFlags };

// One check box bound to one bit of a flag word.
struct CFlagOption {
    EFlagWord word;
    DWORD mask;
    bool inverse;       // checked while the bit is clear
    const char* label;  // the check box's text, or null where no dialog shows one
};

// Every option that the dialogs and commands show as a check box.
const std::vector<CFlagOption>& GetFlagOptions();

// A page the main frame recorded at exit, to be reopened.
struct CSessionEntry {
    CStdString title;
    CStdString url;

    bool operator==(const CSessionEntry&) const = default;
};

// What the settings object needs from other parts of the program. Each has a harmless default
// until its owner installs the real one.
struct CSettingsServices {
    std::function<int()> getToolBarBandValue;       // the Internet Explorer toolbar host's value
    std::function<void()> loadMonitorFileExtList;   // the download manager hand-off's extensions
    std::function<bool()> clearUrlHistory;          // privacy clean-up: the URL history
    std::function<bool()> deleteTypedUrlHistory;    // privacy clean-up: the typed addresses
};
CSettingsServices& GetSettingsServices();

class CSettingsBase {
public:
    CSettingsBase();
    CSettingsBase(const CSettingsBase&) = delete;
    CSettingsBase& operator=(const CSettingsBase&) = delete;
    virtual ~CSettingsBase();
    virtual void Save();

    CSettingInt RunCount{"Config", "RunCount", 0};
    CSettingInt BaseViewFlags{"Settings", "BaseViewFlags", 0x1000};
};

class CSettings : public CSettingsBase {
public:
    // Reads everything from the global store; the logs and the session file live in the
    // application data folder, the sounds under the program folder.
    CSettings();
    CSettings(const CStdString& appDataFolder, const CStdString& programFolder);
    ~CSettings() override;

    // Writes every stored value and both logs back, and runs the exit-time privacy clean-up when
    // it is enabled.
    void Save() override;
    // The destruction at exit then writes nothing: a start that never opened its main window
    // leaves the store, the logs and the session file as they were.
    void SkipSaveAtExit() { m_saveAtExit = false; }

    // The lowest set bit among the six start-up mode bits (0 to 5), or -1 when none is set.
    int GetStartupMode() const;
    // Keeps only the running marker and the mode's bit (no bit for a mode outside 0 to 5).
    void SetStartupMode(int mode);

    // The session file. Load runs once per process: it also decides whether the previous run
    // ended normally. False when the file was damaged or ignored (what was whole is kept).
    bool LoadLastOpenSites();
    bool SaveLastOpenSites();

    // Reads the blocked logs from their files (popups first); false when a file was damaged.
    bool LoadBlockedLogs();
    bool SaveBlockedLogs();

    // The word that a flag option binds.
    DWORD GetFlagWord(EFlagWord word) const;
    void SetFlagWord(EFlagWord word, DWORD value);
    bool IsOptionChecked(const CFlagOption& option) const;
    void SetOptionChecked(const CFlagOption& option, bool checked);

    DWORD SysFlags = 0x101C;
    DWORD BlockedPopup = 0;
    DWORD BlockedContent = 0;
    int MaxPopupLogItems = 200;
    int MaxContentLogItems = 200;
    CBlockedLog PopupLog;
    CBlockedLog AdLog;
    CStdString PopupLogPath;
    CStdString AdLogPath;
    DWORD ViewFlags = ViewFlag::Defaults;
    CStdString PopBlockedSound;
    CStdString AdBlockedSound;
    bool Closing = false;  // set by the main frame when it starts closing
    std::vector<CSessionEntry> LastOpenSites;
    // 1 the previous run ended normally, 0 it did not (or another instance runs), -1 not known yet.
    int PreviousRunState = -1;
    bool StartPagesOpened = false;
    CStdString SessionFilePath;
    DWORD BlockerFlags = 0x5002;
    DWORD Hotkey = 0x11;
    DWORD PrivacyClearFlags = 0;
    CSettingInt LastOptionID{"Settings", "LastOptionID", -1};
    CSettingInt DLCtrlFlags{"Settings", "DLCtrlFlags", 0x70};
    CSettingString DefaultGroup{"Settings", "DefaultGroup", ""};
    CSettingInt StartupFlags{"Settings", "StartupFlags", 2};
    CSettingInt AutoRefresh{"Settings", "AutoRefresh", 0};
    CSettingInt ProxyIndex{"Settings", "ProxyIndex", -2};
    CSettingString LinksBarDefaultFolder{"Settings", "LinksBarDefaultFolder", "Links"};
    CSettingInt FavMenuBreakCount{"Settings", "FavMenuBreakCount", 25};
    CSettingInt MaxFavMenuWidth{"Settings", "MaxFavMenuWidth", 35};
    CSettingInt TabOpenFlags{"Settings", "TabOpenFlags", 0x22};
    CSettingString TabStyle{"Settings", "TabStyle", "DotNet2005"};
    CSettingString BlockedAdsReplacedText{"Settings", "BlockedAdsReplacedText", "{Blocked Ads}"};
    CSettingString DomainCompletionCtrl{"Settings", "DomainCompletionCtrl", "http://www.%DOMAIN%.com"};
    CSettingString DomainCompletionShift{"Settings", "DomainCompletionShift", "http://www.%DOMAIN%.net"};
    CSettingString DomainCompletionCtrlShift{"Settings", "DomainCompletionCtrlShift", "http://www.%DOMAIN%.org"};
    CSettingString DisabledPlugins{"Settings", "DisabledPlugins", ""};
    bool DownloadManagerPresent = false;
    int ToolBarBandValue = 0;

private:
    void Construct(const CStdString& appDataFolder, const CStdString& programFolder);
    template <typename IntAction, typename StringAction>
    void ForEachRecord(IntAction onInt, StringAction onString);
    void LoadRecords();
    void SaveRecords();
    void DetectDownloadManager();
    void ClearPrivacyRecords();

    // A session file that could not be read whole is not replaced at exit by the part that was
    // read, unless the list changed since.
    bool m_sessionLoadFailed = false;
    std::vector<CSessionEntry> m_sessionAsLoaded;
    bool m_saveAtExit = true;
};

// The one settings object (created on the first call, on the user-interface thread).
CSettings* GetSettings();

// The "LinksFolderName" of the system browser's toolbar key, else "Links".
CStdString GetLinksFolderName();

// Deletes the entries of the Internet cache: the cookies, the rest, or both. True when the whole
// cache was walked.
bool ClearUrlCacheEntries(bool cache, bool cookies);
