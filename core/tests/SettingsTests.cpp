#include "core/app/Settings.h"
#include "core/tests/RegistryRestore.h"
#include "core/tests/SettingsTestSupport.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <cstring>
#include <map>

namespace {

// Every stored value as text, "section/key=value", read straight from the registry.
std::map<std::string, std::string> ReadAllValues(const CTestRegistryKey& key)
{
    std::map<std::string, std::string> values;
    for (const char* section : {"Settings", "Config"}) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, CStdString(key.Path() + "\\" + section), 0, KEY_READ, &handle) !=
            ERROR_SUCCESS)
            continue;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD nameSize = sizeof(name);
            BYTE data[2048];
            DWORD dataSize = sizeof(data);
            DWORD type = 0;
            if (RegEnumValueA(handle, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
                break;
            std::string text;
            if (type == REG_DWORD)
                text = "dword:" + std::to_string(*reinterpret_cast<DWORD*>(data));
            else if (type == REG_SZ)
                text = "sz:" + std::string(reinterpret_cast<char*>(data), dataSize ? dataSize - 1 : 0);
            else
                text = "type" + std::to_string(type);
            values[std::string(section) + "/" + name] = text;
        }
        RegCloseKey(handle);
    }
    return values;
}

struct CSettingsFixture : testing::Test {
    CTestRegistryKey key{"Settings"};
    CScratchFolder folder{"settings"};
    CStdString appData = folder.Path() + "appdata\\";
    CStdString program = folder.Path();
};

}  // namespace

TEST_F(CSettingsFixture, FreshProfileHasEveryDefault)
{
    CSettings settings(appData, program);
    EXPECT_EQ(settings.RunCount.value, 0);
    EXPECT_EQ(settings.BaseViewFlags.value, 0x1000);
    EXPECT_EQ(settings.SysFlags, 0x101Cu);
    EXPECT_EQ(settings.BlockedPopup, 0u);
    EXPECT_EQ(settings.BlockedContent, 0u);
    EXPECT_EQ(settings.MaxPopupLogItems, 200);
    EXPECT_EQ(settings.MaxContentLogItems, 200);
    EXPECT_EQ(settings.PopupLog.GetMaxItems(), 200);
    EXPECT_EQ(settings.AdLog.GetMaxItems(), 200);
    EXPECT_EQ(settings.PopupLog.GetCount(), 0);
    EXPECT_EQ(settings.PopupLogPath, appData + "PopupsBlockedHistory");
    EXPECT_EQ(settings.AdLogPath, appData + "AdBlockedHistory");
    EXPECT_EQ(settings.SessionFilePath, appData + "lastopensites");
    EXPECT_EQ(settings.ViewFlags, 0x10383000u);
    EXPECT_EQ(settings.PopBlockedSound, program + "sounds\\popblocked.wav");
    EXPECT_EQ(settings.AdBlockedSound, program + "sounds\\adblocked.wav");
    EXPECT_FALSE(settings.Closing);
    EXPECT_TRUE(settings.LastOpenSites.empty());
    EXPECT_EQ(settings.PreviousRunState, -1);
    EXPECT_FALSE(settings.StartPagesOpened);
    EXPECT_EQ(settings.BlockerFlags, 0x5002u);
    EXPECT_EQ(settings.Hotkey, 0x11u);
    EXPECT_EQ(settings.PrivacyClearFlags, 0u);
    EXPECT_EQ(settings.LastOptionID.value, -1);
    EXPECT_EQ(settings.DLCtrlFlags.value, 0x70);
    EXPECT_STREQ(settings.DefaultGroup.value, "");
    EXPECT_EQ(settings.StartupFlags.value, 2);
    EXPECT_EQ(settings.GetStartupMode(), 1);
    EXPECT_EQ(settings.AutoRefresh.value, 0);
    EXPECT_EQ(settings.ProxyIndex.value, -2);
    EXPECT_STREQ(settings.LinksBarDefaultFolder.value, GetLinksFolderName());
    EXPECT_EQ(settings.FavMenuBreakCount.value, 25);
    EXPECT_EQ(settings.MaxFavMenuWidth.value, 35);
    EXPECT_EQ(settings.TabOpenFlags.value, 0x22);
    EXPECT_STREQ(settings.TabStyle.value, "DotNet2005");
    EXPECT_STREQ(settings.BlockedAdsReplacedText.value, "{Blocked Ads}");
    EXPECT_STREQ(settings.DomainCompletionCtrl.value, "http://www.%DOMAIN%.com");
    EXPECT_STREQ(settings.DomainCompletionShift.value, "http://www.%DOMAIN%.net");
    EXPECT_STREQ(settings.DomainCompletionCtrlShift.value, "http://www.%DOMAIN%.org");
    EXPECT_STREQ(settings.DisabledPlugins.value, "");
    EXPECT_FALSE(settings.DownloadManagerPresent);
    // The settings object makes its application data folder.
    EXPECT_TRUE(FileExists(appData));
}

TEST_F(CSettingsFixture, EveryValueSurvivesSaveAndReload)
{
    {
        CSettings settings(appData, program);
        settings.RunCount = 7;
        settings.BaseViewFlags = 0x11000;
        settings.SysFlags = 0x8001;
        settings.BlockedPopup = 11;
        settings.BlockedContent = 12;
        settings.MaxPopupLogItems = 50;
        settings.MaxContentLogItems = 60;
        settings.ViewFlags = 0x40;
        settings.PopBlockedSound = "C:\\a.wav";
        settings.AdBlockedSound = "C:\\b.wav";
        settings.BlockerFlags = 0x6;
        settings.Hotkey = 0x241;
        settings.PrivacyClearFlags = 0x9;
        settings.LastOptionID = 244;
        settings.DLCtrlFlags = 0x390;
        settings.DefaultGroup = "Morning";
        settings.SetStartupMode(3);
        settings.AutoRefresh = 30;
        settings.ProxyIndex = 1;
        settings.LinksBarDefaultFolder = "Bar";
        settings.FavMenuBreakCount = 10;
        settings.MaxFavMenuWidth = 40;
        settings.TabOpenFlags = 0x1F;
        settings.TabStyle = "Classic";
        settings.BlockedAdsReplacedText = "[ad]";
        settings.DomainCompletionCtrl = "http://%DOMAIN%.de";
        settings.DomainCompletionShift = "http://%DOMAIN%.at";
        settings.DomainCompletionCtrlShift = "http://%DOMAIN%.ch";
        settings.DisabledPlugins = "a;b;";
        settings.Save();
    }
    const auto stored = ReadAllValues(key);
    CSettings settings(appData, program);
    EXPECT_EQ(settings.RunCount.value, 7);
    EXPECT_EQ(settings.BaseViewFlags.value, 0x11000);
    EXPECT_EQ(settings.SysFlags, 0x8001u);
    EXPECT_EQ(settings.BlockedPopup, 11u);
    EXPECT_EQ(settings.BlockedContent, 12u);
    EXPECT_EQ(settings.MaxPopupLogItems, 50);
    EXPECT_EQ(settings.PopupLog.GetMaxItems(), 50);
    EXPECT_EQ(settings.MaxContentLogItems, 60);
    EXPECT_EQ(settings.ViewFlags, 0x40u);
    EXPECT_STREQ(settings.PopBlockedSound, "C:\\a.wav");
    EXPECT_STREQ(settings.AdBlockedSound, "C:\\b.wav");
    EXPECT_EQ(settings.BlockerFlags, 0x6u);
    EXPECT_EQ(settings.Hotkey, 0x241u);
    EXPECT_EQ(settings.PrivacyClearFlags, 0x9u);
    EXPECT_EQ(settings.LastOptionID.value, 244);
    EXPECT_EQ(settings.DLCtrlFlags.value, 0x390);
    EXPECT_STREQ(settings.DefaultGroup.value, "Morning");
    // Saved without the running marker.
    EXPECT_EQ(settings.StartupFlags.value, 0x8);
    EXPECT_EQ(settings.GetStartupMode(), 3);
    EXPECT_EQ(settings.AutoRefresh.value, 30);
    EXPECT_EQ(settings.ProxyIndex.value, 1);
    EXPECT_STREQ(settings.LinksBarDefaultFolder.value, "Bar");
    EXPECT_EQ(settings.FavMenuBreakCount.value, 10);
    EXPECT_EQ(settings.MaxFavMenuWidth.value, 40);
    EXPECT_EQ(settings.TabOpenFlags.value, 0x1F);
    EXPECT_STREQ(settings.TabStyle.value, "Classic");
    EXPECT_STREQ(settings.BlockedAdsReplacedText.value, "[ad]");
    EXPECT_STREQ(settings.DomainCompletionCtrl.value, "http://%DOMAIN%.de");
    EXPECT_STREQ(settings.DomainCompletionShift.value, "http://%DOMAIN%.at");
    EXPECT_STREQ(settings.DomainCompletionCtrlShift.value, "http://%DOMAIN%.ch");
    EXPECT_STREQ(settings.DisabledPlugins.value, "a;b;");

    // Where and how each one is kept.
    const std::map<std::string, std::string> expected = {
        {"Config/RunCount", "dword:7"},
        {"Settings/BaseViewFlags", "dword:69632"},
        {"Config/SysFlags", "dword:32769"},
        {"Config/BlockedPopup", "dword:11"},
        {"Config/BlockedContent", "dword:12"},
        {"Config/MaxPopupLogItems", "dword:50"},
        {"Config/MaxContentLogItems", "dword:60"},
        {"Settings/ViewFlags", "dword:64"},
        {"Config/PopBlockedSound", "sz:C:\\a.wav"},
        {"Config/AdBlockedSound", "sz:C:\\b.wav"},
        {"Settings/BlockerFlags", "dword:6"},
        {"Settings/Hotkey", "dword:577"},
        {"Settings/PrivacyClearFlags", "dword:9"},
        {"Settings/LastOptionID", "dword:244"},
        {"Settings/DLCtrlFlags", "dword:912"},
        {"Settings/DefaultGroup", "sz:Morning"},
        {"Settings/StartupFlags", "dword:8"},
        {"Settings/AutoRefresh", "dword:30"},
        {"Settings/ProxyIndex", "dword:1"},
        {"Settings/LinksBarDefaultFolder", "sz:Bar"},
        {"Settings/FavMenuBreakCount", "dword:10"},
        {"Settings/MaxFavMenuWidth", "dword:40"},
        {"Settings/TabOpenFlags", "dword:31"},
        {"Settings/TabStyle", "sz:Classic"},
        {"Settings/BlockedAdsReplacedText", "sz:[ad]"},
        {"Settings/DomainCompletionCtrl", "sz:http://%DOMAIN%.de"},
        {"Settings/DomainCompletionShift", "sz:http://%DOMAIN%.at"},
        {"Settings/DomainCompletionCtrlShift", "sz:http://%DOMAIN%.ch"},
        {"Settings/DisabledPlugins", "sz:a;b;"},
    };
    EXPECT_EQ(stored, expected);
}

TEST_F(CSettingsFixture, StartupModes)
{
    CSettings settings(appData, program);
    settings.StartupFlags = 0x10000 | 0x10 | 0x4;
    EXPECT_EQ(settings.GetStartupMode(), 2);
    settings.SetStartupMode(4);
    EXPECT_EQ(settings.StartupFlags.value, 0x10010);
    settings.SetStartupMode(6);
    EXPECT_EQ(settings.StartupFlags.value, 0x10000);
    EXPECT_EQ(settings.GetStartupMode(), -1);
    settings.SetStartupMode(-1);
    EXPECT_EQ(settings.StartupFlags.value, 0x10000);
}

TEST_F(CSettingsFixture, FlagOptionsBindTheirBitsIncludingTheInvertedOnes)
{
    CSettings settings(appData, program);
    auto find = [](EFlagWord word, DWORD mask) {
        for (const CFlagOption& option : GetFlagOptions()) {
            if (option.word == word && option.mask == mask)
                return option;
        }
        ADD_FAILURE() << "no option for mask " << mask;
        return CFlagOption{};
    };
    struct Expectation {
        EFlagWord word;
        DWORD mask;
        bool checkedByDefault;
    };
    // A fresh profile: exit confirmation and version check on, close and minimise normal, not
    // started with Windows, tray icon and splash shown, script errors suppressed, the site
    // selection dialog shown; images, videos and sounds load, scripts, Java and ActiveX allowed.
    const Expectation expectations[] = {
        {EFlagWord::SysFlags, SysFlag::NoExitConfirmation, true},
        {EFlagWord::SysFlags, SysFlag::NoUpdateCheck, true},
        {EFlagWord::SysFlags, SysFlag::CloseButtonCloses, true},
        {EFlagWord::SysFlags, SysFlag::MinimizeNormally, true},
        {EFlagWord::SysFlags, SysFlag::NoStartWithWindows, false},
        {EFlagWord::SysFlags, SysFlag::NoTrayIcon, true},
        {EFlagWord::SysFlags, SysFlag::NoSuppressScriptErrors, true},
        {EFlagWord::SysFlags, SysFlag::CheckDefaultBrowser, true},
        {EFlagWord::SysFlags, SysFlag::NoSiteSelectionDialog, true},
        {EFlagWord::SysFlags, SysFlag::NoSplash, true},
        {EFlagWord::DLCtrlFlags, DLCtrlFlag::LoadImages, true},
        {EFlagWord::DLCtrlFlags, DLCtrlFlag::LoadVideos, true},
        {EFlagWord::DLCtrlFlags, DLCtrlFlag::LoadSounds, true},
        {EFlagWord::DLCtrlFlags, DLCtrlFlag::NoScripts, true},
        {EFlagWord::DLCtrlFlags, DLCtrlFlag::NoJava, true},
        {EFlagWord::DLCtrlFlags, DLCtrlFlag::NoActiveX, true},
        {EFlagWord::TabOpenFlags, TabOpenFlag::AddressBar, false},
        {EFlagWord::TabOpenFlags, TabOpenFlag::SearchBar, true},
        {EFlagWord::BlockerFlags, BlockerFlag::PopupBlocker, true},
        {EFlagWord::BlockerFlags, BlockerFlag::AdFilter, false},
        {EFlagWord::BlockerFlags, BlockerFlag::PopupNotice, true},
        {EFlagWord::ViewFlags, ViewFlag::HideTabScrollButtons, true},
        {EFlagWord::ViewFlags, ViewFlag::HideTabCloseButton, false},
        {EFlagWord::ViewFlags, ViewFlag::DoubleClickClosesTab, true},
        {EFlagWord::ViewFlags, ViewFlag::HideAddressButtonIcon, false},
    };
    for (const Expectation& e : expectations) {
        const CFlagOption option = find(e.word, e.mask);
        EXPECT_EQ(settings.IsOptionChecked(option), e.checkedByDefault) << "mask " << e.mask;
        // Toggling the check box flips exactly its bit, in the right direction.
        const DWORD before = settings.GetFlagWord(e.word);
        settings.SetOptionChecked(option, !e.checkedByDefault);
        EXPECT_EQ(settings.GetFlagWord(e.word), before ^ e.mask) << "mask " << e.mask;
        EXPECT_EQ(settings.IsOptionChecked(option), !e.checkedByDefault);
        settings.SetOptionChecked(option, e.checkedByDefault);
        EXPECT_EQ(settings.GetFlagWord(e.word), before);
    }
    // The download page's check boxes write the word handed to the browser control.
    settings.SetOptionChecked(find(EFlagWord::DLCtrlFlags, DLCtrlFlag::NoScripts), false);
    EXPECT_EQ(settings.DLCtrlFlags.value, 0xF0);
}

TEST_F(CSettingsFixture, RunningMarkerTellsWhetherThePreviousRunEndedNormally)
{
    {
        CSettings first(appData, program);
        EXPECT_TRUE(first.LoadLastOpenSites());
        EXPECT_EQ(first.PreviousRunState, 1);
        // The marker is in the registry at once.
        EXPECT_EQ(GetSettingsStore()->GetInt("Settings", "StartupFlags", 0), 0x10002u);
        // A second instance (or a start after a crash) sees it.
        CSettings second(appData, program);
        second.LoadLastOpenSites();
        EXPECT_EQ(second.PreviousRunState, 0);
        // Only the first call of a process looks.
        first.StartupFlags = 2;
        first.LoadLastOpenSites();
        EXPECT_EQ(first.PreviousRunState, 1);
        // Both save at exit; saving clears the marker.
    }
    EXPECT_EQ(GetSettingsStore()->GetInt("Settings", "StartupFlags", 0), 2u);
    CSettings third(appData, program);
    third.LoadLastOpenSites();
    EXPECT_EQ(third.PreviousRunState, 1);
}

// The download manager's key is another program's: the test makes it only where nothing has it and
// the fixture member deletes it again however the test ends.
struct CSettingsDownloadManagerFixture : CSettingsFixture {
    CTestOwnedRegistryKey managerKey{HKEY_CURRENT_USER, "software\\QuickFetch"};
};

TEST_F(CSettingsDownloadManagerFixture, DownloadManagerIsFoundByItsRegistryKey)
{
    ASSERT_FALSE(managerKey.Existed()) << "the private registry of the test holds another program's key";
    {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\QuickFetch\\QuickFetch\\Settings", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        const char location[] = "C:\\QuickFetch\\qf.exe";
        RegSetValueExA(handle, "ProgLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(location), sizeof(location));
        RegCloseKey(handle);
    }
    int extensionListLoads = 0;
    GetSettingsServices().loadMonitorFileExtList = [&] { ++extensionListLoads; };
    {
        CSettings settings(appData, program);
        EXPECT_TRUE(settings.DownloadManagerPresent);
        EXPECT_EQ(extensionListLoads, 1);
        // The store works under the program's own names again.
        EXPECT_STREQ(GetRegistrySettingsStore()->GetRegistryPath(), key.Path());
    }
    GetSettingsServices().loadMonitorFileExtList = nullptr;
    managerKey.Delete();
    CSettings settings(appData, program);
    EXPECT_FALSE(settings.DownloadManagerPresent);
}

TEST_F(CSettingsFixture, PrivacyCleanUpRunsOnlyWhenEnabled)
{
    int historyClears = 0;
    int typedClears = 0;
    GetSettingsServices().clearUrlHistory = [&] { return ++historyClears, true; };
    GetSettingsServices().deleteTypedUrlHistory = [&] { return ++typedClears, true; };
    {
        CSettings settings(appData, program);
        settings.PrivacyClearFlags = PrivacyClearFlag::History | PrivacyClearFlag::TypedAddresses;
        settings.Save();
        EXPECT_EQ(historyClears + typedClears, 0);
        settings.SysFlags |= SysFlag::ClearPrivacyOnExit;
        settings.PrivacyClearFlags = PrivacyClearFlag::TypedAddresses;
        settings.Save();
        EXPECT_EQ(historyClears, 0);
        EXPECT_EQ(typedClears, 1);
        settings.SysFlags &= ~SysFlag::ClearPrivacyOnExit;
    }
    GetSettingsServices().clearUrlHistory = nullptr;
    GetSettingsServices().deleteTypedUrlHistory = nullptr;
}

namespace {

// Puts an entry into the Internet cache; cookies are entries of their own type.
bool AddCacheEntry(const char* url, DWORD type)
{
    char file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(url, 0, "txt", file, 0))
        return false;
    WriteWholeFile(file, {'x'});
    FILETIME none = {};
    return CommitUrlCacheEntryA(url, file, none, none, type, nullptr, 0, nullptr, nullptr) != FALSE;
}

bool HasCacheEntry(const char* url)
{
    DWORD size = 0;
    GetUrlCacheEntryInfoA(url, nullptr, &size);
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

}  // namespace

TEST(PrivacyCleanUp, CacheAndCookiesAreClearedSeparately)
{
    const char* page = "http://kivo.test/page.txt";
    const char* cookie = "Cookie:user@kivo.test/";
    if (!AddCacheEntry(page, NORMAL_CACHE_ENTRY) || !AddCacheEntry(cookie, COOKIE_CACHE_ENTRY))
        GTEST_SKIP() << "no Internet cache here";
    ASSERT_TRUE(HasCacheEntry(page));
    ASSERT_TRUE(HasCacheEntry(cookie));
    EXPECT_TRUE(ClearUrlCacheEntries(true, false));
    EXPECT_FALSE(HasCacheEntry(page));
    EXPECT_TRUE(HasCacheEntry(cookie));
    EXPECT_TRUE(ClearUrlCacheEntries(false, true));
    EXPECT_FALSE(HasCacheEntry(cookie));
}
