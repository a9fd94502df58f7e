#include "core/app/Settings.h"

#include "core/app/LanguageManager.h"
#include "core/library/LifetimeTracker.h"
#include "core/library/RegistryKey.h"
#include "core/app/ProgramFolders.h"

#include <wininet.h>

#include <memory>

namespace {

// What the download manager's registry key and value are called.
constexpr const char* kDownloadManagerKey = "SoftWare\\QuickFetch\\QuickFetch";

}  // namespace

const std::vector<CFlagOption>& GetFlagOptions()
{
    using W = EFlagWord;
    static const std::vector<CFlagOption> options = {
        {W::SysFlags, SysFlag::NoExitConfirmation, true, "Confirmation on &exit browser"},
        {W::SysFlags, SysFlag::NoUpdateCheck, true, nullptr},
        {W::SysFlags, SysFlag::CloseButtonCloses, false, "Close Immediately"},
        {W::SysFlags, SysFlag::MinimizeNormally, false, "Normal"},
        {W::SysFlags, SysFlag::NoStartWithWindows, true, "&Start at Windows startup"},
        {W::SysFlags, SysFlag::NoTrayIcon, true, "Show &Tray Icon"},
        {W::SysFlags, SysFlag::NoSuppressScriptErrors, true, "&Suppress script errors"},
        {W::SysFlags, SysFlag::ClearPrivacyOnExit, false, nullptr},
        {W::SysFlags, SysFlag::NoSupportReminder, false, nullptr},
        {W::SysFlags, SysFlag::CheckDefaultBrowser, false, nullptr},
        {W::SysFlags, SysFlag::NoSiteSelectionDialog, true, "&Show site selection dialog box"},
        {W::SysFlags, SysFlag::NoSplash, true, "S&how splash screen"},
        {W::SysFlags, SysFlag::NewTabsInBackground, false, nullptr},
        {W::DLCtrlFlags, DLCtrlFlag::LoadImages, false, "Load &Images"},
        {W::DLCtrlFlags, DLCtrlFlag::LoadVideos, false, "Load &Videos"},
        {W::DLCtrlFlags, DLCtrlFlag::LoadSounds, false, "Load &Sounds"},
        {W::DLCtrlFlags, DLCtrlFlag::NoScripts, true, "Allow S&cripts"},
        {W::DLCtrlFlags, DLCtrlFlag::NoJava, true, "Allow &Java Applet"},
        {W::DLCtrlFlags, DLCtrlFlag::NoActiveX, true, "Allow &ActiveX"},
        {W::TabOpenFlags, TabOpenFlag::AddressBar, false, nullptr},
        {W::TabOpenFlags, TabOpenFlag::SearchBar, false, nullptr},
        {W::TabOpenFlags, TabOpenFlag::Favorites, false, nullptr},
        {W::TabOpenFlags, TabOpenFlag::LinksBar, false, nullptr},
        {W::TabOpenFlags, TabOpenFlag::History, false, nullptr},
        {W::BlockerFlags, BlockerFlag::PopupBlocker, false, nullptr},
        {W::BlockerFlags, BlockerFlag::AdFilter, false, nullptr},
        {W::BlockerFlags, BlockerFlag::WebPageDialogBlocker, false, nullptr},
        {W::BlockerFlags, BlockerFlag::PopupNotice, false, nullptr},
        {W::ViewFlags, ViewFlag::PopupLogGrid, false, nullptr},
        {W::ViewFlags, ViewFlag::AdLogGrid, false, nullptr},
        {W::ViewFlags, ViewFlag::HideTabScrollButtons, true, nullptr},
        {W::ViewFlags, ViewFlag::HideTabCloseButton, true, nullptr},
        {W::ViewFlags, ViewFlag::DoubleClickClosesTab, false, nullptr},
        {W::ViewFlags, ViewFlag::HideAddressButton, true, nullptr},
        {W::ViewFlags, ViewFlag::HideGoButton, true, nullptr},
        {W::ViewFlags, ViewFlag::HideAddressButtonIcon, true, nullptr},
        {W::PrivacyClearFlags, PrivacyClearFlag::Cache, false, nullptr},
        {W::PrivacyClearFlags, PrivacyClearFlag::History, false, nullptr},
        {W::PrivacyClearFlags, PrivacyClearFlag::TypedAddresses, false, nullptr},
        {W::PrivacyClearFlags, PrivacyClearFlag::Cookies, false, nullptr},
    };
    return options;
}

CSettingsServices& GetSettingsServices()
{
    static CSettingsServices services;
    return services;
}

CStdString GetLinksFolderName()
{
    CRegistryKey key;
    CStdString name;
    if (key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Toolbar", KEY_READ)) {
        char buffer[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        DWORD type = 0;
        if (RegQueryValueExA(key, "LinksFolderName", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ)
            name = buffer;
    }
    return name.empty() ? CStdString("Links") : name;
}

// CSettingsBase

CSettingsBase::CSettingsBase()
{
    RunCount.Load();
    BaseViewFlags.Load();
}

CSettingsBase::~CSettingsBase() = default;

void CSettingsBase::Save()
{
    RunCount.Save();
    BaseViewFlags.Save();
}

// CSettings

CSettings::CSettings()
{
    Construct(GetAppFolders()->GetAppDataFolder(), GetProgramFolder());
}

CSettings::CSettings(const CStdString& appDataFolder, const CStdString& programFolder)
{
    Construct(appDataFolder, programFolder);
}

CSettings::~CSettings()
{
    if (m_saveAtExit)
        Save();
}

void CSettings::Construct(const CStdString& appDataFolder, const CStdString& programFolder)
{
    PopupLogPath = appDataFolder + "PopupsBlockedHistory";
    AdLogPath = appDataFolder + "AdBlockedHistory";
    SessionFilePath = appDataFolder + "lastopensites";
    PopBlockedSound = programFolder + "sounds\\popblocked.wav";
    AdBlockedSound = programFolder + "sounds\\adblocked.wav";
    LinksBarDefaultFolder = GetLinksFolderName();
    BlockedAdsReplacedText = TranslateText("{Blocked Ads}");

    CreateDirectoryA(appDataFolder, nullptr);
    LoadRecords();

    CSettingsStore& store = *GetSettingsStore();
    BlockerFlags = store.GetInt("Settings", "BlockerFlags", BlockerFlags);
    Hotkey = store.GetInt("Settings", "Hotkey", Hotkey);
    ViewFlags = store.GetInt("Settings", "ViewFlags", ViewFlags);
    SysFlags = store.GetInt("Config", "SysFlags", SysFlags);
    BlockedPopup = store.GetInt("Config", "BlockedPopup", BlockedPopup);
    BlockedContent = store.GetInt("Config", "BlockedContent", BlockedContent);
    PopBlockedSound = store.GetString("Config", "PopBlockedSound", PopBlockedSound);
    AdBlockedSound = store.GetString("Config", "AdBlockedSound", AdBlockedSound);
    MaxPopupLogItems = static_cast<int>(store.GetInt("Config", "MaxPopupLogItems", MaxPopupLogItems));
    MaxContentLogItems = static_cast<int>(store.GetInt("Config", "MaxContentLogItems", MaxContentLogItems));
    PrivacyClearFlags = store.GetInt("Settings", "PrivacyClearFlags", PrivacyClearFlags);

    PopupLog.SetMaxItems(MaxPopupLogItems);
    AdLog.SetMaxItems(MaxContentLogItems);
    LoadBlockedLogs();

    DetectDownloadManager();
    if (GetSettingsServices().getToolBarBandValue)
        ToolBarBandValue = GetSettingsServices().getToolBarBandValue();
}

// The records in the order they are loaded and saved.
template <typename IntAction, typename StringAction>
void CSettings::ForEachRecord(IntAction onInt, StringAction onString)
{
    onInt(DLCtrlFlags);
    onInt(FavMenuBreakCount);
    onInt(MaxFavMenuWidth);
    onInt(LastOptionID);
    onInt(StartupFlags);
    onInt(TabOpenFlags);
    onInt(ProxyIndex);
    onString(DefaultGroup);
    onString(LinksBarDefaultFolder);
    onInt(AutoRefresh);
    onString(DomainCompletionCtrl);
    onString(DomainCompletionShift);
    onString(DomainCompletionCtrlShift);
    onString(DisabledPlugins);
    onString(TabStyle);
    onString(BlockedAdsReplacedText);
}

void CSettings::LoadRecords()
{
    ForEachRecord([](CSettingInt& record) { record.Load(); }, [](CSettingString& record) { record.Load(); });
}

void CSettings::SaveRecords()
{
    ForEachRecord([](CSettingInt& record) { record.Save(); }, [](CSettingString& record) { record.Save(); });
}

void CSettings::Save()
{
    CSettingsBase::Save();
    StartupFlags.value &= ~static_cast<int>(StartupFlag::RunningMarker);
    SaveRecords();
    CSettingsStore& store = *GetSettingsStore();
    store.WriteInt("Settings", "BlockerFlags", BlockerFlags);
    store.WriteInt("Settings", "Hotkey", Hotkey);
    // A run that never loaded the session file (its main window never opened the start pages)
    // has no list of its own: writing its empty list would lose the user's last session.
    if (PreviousRunState != -1 && (!m_sessionLoadFailed || LastOpenSites != m_sessionAsLoaded))
        SaveLastOpenSites();
    store.WriteInt("Settings", "ViewFlags", ViewFlags);
    store.WriteInt("Config", "SysFlags", SysFlags);
    store.WriteInt("Config", "BlockedPopup", BlockedPopup);
    store.WriteInt("Config", "BlockedContent", BlockedContent);
    store.WriteString("Config", "PopBlockedSound", PopBlockedSound);
    store.WriteString("Config", "AdBlockedSound", AdBlockedSound);
    store.WriteInt("Config", "MaxPopupLogItems", static_cast<DWORD>(MaxPopupLogItems));
    store.WriteInt("Config", "MaxContentLogItems", static_cast<DWORD>(MaxContentLogItems));
    store.WriteInt("Settings", "PrivacyClearFlags", PrivacyClearFlags);
    SaveBlockedLogs();
    if (SysFlags & SysFlag::ClearPrivacyOnExit)
        ClearPrivacyRecords();
}

int CSettings::GetStartupMode() const
{
    for (int mode = 0; mode < StartupFlag::ModeCount; ++mode) {
        if (StartupFlags.value & (1 << mode))
            return mode;
    }
    return -1;
}

void CSettings::SetStartupMode(int mode)
{
    StartupFlags.value = static_cast<int>(StartupFlag::RunningMarker);
    if (mode >= 0 && mode < StartupFlag::ModeCount)
        StartupFlags.value |= 1 << mode;
}

DWORD CSettings::GetFlagWord(EFlagWord word) const
{
    switch (word) {
    case EFlagWord::SysFlags:
        return SysFlags;
    case EFlagWord::DLCtrlFlags:
        return static_cast<DWORD>(DLCtrlFlags.value);
    case EFlagWord::TabOpenFlags:
        return static_cast<DWORD>(TabOpenFlags.value);
    case EFlagWord::BlockerFlags:
        return BlockerFlags;
    case EFlagWord::ViewFlags:
        return ViewFlags;
    case EFlagWord::PrivacyClearFlags:
        break;
    }
    return PrivacyClearFlags;
}

void CSettings::SetFlagWord(EFlagWord word, DWORD value)
{
    switch (word) {
    case EFlagWord::SysFlags:
        SysFlags = value;
        break;
    case EFlagWord::DLCtrlFlags:
        DLCtrlFlags.value = static_cast<int>(value);
        break;
    case EFlagWord::TabOpenFlags:
        TabOpenFlags.value = static_cast<int>(value);
        break;
    case EFlagWord::BlockerFlags:
        BlockerFlags = value;
        break;
    case EFlagWord::ViewFlags:
        ViewFlags = value;
        break;
    case EFlagWord::PrivacyClearFlags:
        PrivacyClearFlags = value;
        break;
    }
}

bool CSettings::IsOptionChecked(const CFlagOption& option) const
{
    const bool set = (GetFlagWord(option.word) & option.mask) != 0;
    return set != option.inverse;
}

void CSettings::SetOptionChecked(const CFlagOption& option, bool checked)
{
    const DWORD word = GetFlagWord(option.word);
    SetFlagWord(option.word, checked != option.inverse ? word | option.mask : word & ~option.mask);
}

void CSettings::DetectDownloadManager()
{
    // Only whether the download manager's key exists matters here.
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kDownloadManagerKey, KEY_ALL_ACCESS))
        return;
    key.Close();
    CStdString location;
    {
        // The names switch back when the scope ends, whatever happens inside it.
        CRegistryNamesScope names("QuickFetch", "QuickFetch");
        location = GetSettingsStore()->GetString("Settings", "ProgLocation", "");
    }
    DownloadManagerPresent = !location.empty();
    if (DownloadManagerPresent && GetSettingsServices().loadMonitorFileExtList)
        GetSettingsServices().loadMonitorFileExtList();
}

void CSettings::ClearPrivacyRecords()
{
    const bool cache = (PrivacyClearFlags & PrivacyClearFlag::Cache) != 0;
    const bool cookies = (PrivacyClearFlags & PrivacyClearFlag::Cookies) != 0;
    CSettingsServices& services = GetSettingsServices();
    if (cache)
        ClearUrlCacheEntries(true, false);
    if ((PrivacyClearFlags & PrivacyClearFlag::History) && services.clearUrlHistory)
        services.clearUrlHistory();
    if ((PrivacyClearFlags & PrivacyClearFlag::TypedAddresses) && services.deleteTypedUrlHistory)
        services.deleteTypedUrlHistory();
    if (cookies)
        ClearUrlCacheEntries(false, true);
}

bool ClearUrlCacheEntries(bool cache, bool cookies)
{
    std::vector<BYTE> buffer(4096);
    DWORD size = static_cast<DWORD>(buffer.size());
    auto entry = [&buffer] { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()); };
    HANDLE find = FindFirstUrlCacheEntryA(nullptr, entry(), &size);
    while (!find && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        buffer.resize(size);
        find = FindFirstUrlCacheEntryA(nullptr, entry(), &size);
    }
    if (!find)
        return GetLastError() == ERROR_NO_MORE_ITEMS;
    bool complete = false;
    for (;;) {
        const bool isCookie = (entry()->CacheEntryType & COOKIE_CACHE_ENTRY) != 0;
        if (isCookie ? cookies : cache)
            DeleteUrlCacheEntryA(entry()->lpszSourceUrlName);
        size = static_cast<DWORD>(buffer.size());
        if (FindNextUrlCacheEntryA(find, entry(), &size))
            continue;
        if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            buffer.resize(size);
            size = static_cast<DWORD>(buffer.size());
            if (FindNextUrlCacheEntryA(find, entry(), &size))
                continue;
        }
        complete = GetLastError() == ERROR_NO_MORE_ITEMS;
        break;
    }
    FindCloseUrlCache(find);
    return complete;
}

CSettings* GetSettings()
{
    return GetSingleton<CSettings, kPrioritySettings>();
}
