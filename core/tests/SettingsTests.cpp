#include "core/app/Settings.h"
#include "core/tests/RegistryRestore.h"
#include "core/tests/SettingsTestSupport.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

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

// Every stored setting: its default on a fresh profile, a value a test writes, the value as read
// back after a save and a reload, and how the registry keeps it ("section/name" = type:data). A log
// size reads as "setting/size of the log".
struct SettingCase {
    const char* stored;
    std::string defaultValue;
    void (*write)(CSettings&);
    std::string readBack;
    std::string storedValue;
    std::string (*read)(const CSettings&);
};

std::string Text(long long number)
{
    return std::to_string(number);
}
std::string Text(const char* text)
{
    return text;
}

std::vector<SettingCase> SettingCases(const CStdString& program)
{
    const std::string sounds = std::string(program.c_str()) + "sounds\\";
    return {
        {"Config/RunCount", "0", [](CSettings& s) { s.RunCount = 7; }, "7", "dword:7",
         [](const CSettings& s) { return Text(s.RunCount.value); }},
        {"Settings/BaseViewFlags", Text(0x1000), [](CSettings& s) { s.BaseViewFlags = 0x11000; }, Text(0x11000),
         "dword:69632", [](const CSettings& s) { return Text(s.BaseViewFlags.value); }},
        {"Config/SysFlags", Text(0x101C), [](CSettings& s) { s.SysFlags = 0x8001; }, Text(0x8001), "dword:32769",
         [](const CSettings& s) { return Text(s.SysFlags); }},
        {"Config/BlockedPopup", "0", [](CSettings& s) { s.BlockedPopup = 11; }, "11", "dword:11",
         [](const CSettings& s) { return Text(s.BlockedPopup); }},
        {"Config/BlockedContent", "0", [](CSettings& s) { s.BlockedContent = 12; }, "12", "dword:12",
         [](const CSettings& s) { return Text(s.BlockedContent); }},
        {"Config/MaxPopupLogItems", "200/200", [](CSettings& s) { s.MaxPopupLogItems = 50; }, "50/50", "dword:50",
         [](const CSettings& s) { return Text(s.MaxPopupLogItems) + "/" + Text(s.PopupLog.GetMaxItems()); }},
        {"Config/MaxContentLogItems", "200/200", [](CSettings& s) { s.MaxContentLogItems = 60; }, "60/60", "dword:60",
         [](const CSettings& s) { return Text(s.MaxContentLogItems) + "/" + Text(s.AdLog.GetMaxItems()); }},
        {"Settings/ViewFlags", Text(0x10383000), [](CSettings& s) { s.ViewFlags = 0x40; }, Text(0x40), "dword:64",
         [](const CSettings& s) { return Text(s.ViewFlags); }},
        {"Config/PopBlockedSound", sounds + "popblocked.wav", [](CSettings& s) { s.PopBlockedSound = "C:\\a.wav"; },
         "C:\\a.wav", "sz:C:\\a.wav", [](const CSettings& s) { return Text(s.PopBlockedSound.c_str()); }},
        {"Config/AdBlockedSound", sounds + "adblocked.wav", [](CSettings& s) { s.AdBlockedSound = "C:\\b.wav"; },
         "C:\\b.wav", "sz:C:\\b.wav", [](const CSettings& s) { return Text(s.AdBlockedSound.c_str()); }},
        {"Settings/BlockerFlags", Text(0x5002), [](CSettings& s) { s.BlockerFlags = 0x6; }, Text(0x6), "dword:6",
         [](const CSettings& s) { return Text(s.BlockerFlags); }},
        {"Settings/Hotkey", Text(0x11), [](CSettings& s) { s.Hotkey = 0x241; }, Text(0x241), "dword:577",
         [](const CSettings& s) { return Text(s.Hotkey); }},
        {"Settings/PrivacyClearFlags", "0", [](CSettings& s) { s.PrivacyClearFlags = 0x9; }, "9", "dword:9",
         [](const CSettings& s) { return Text(s.PrivacyClearFlags); }},
        {"Settings/LastOptionID", "-1", [](CSettings& s) { s.LastOptionID = 244; }, "244", "dword:244",
         [](const CSettings& s) { return Text(s.LastOptionID.value); }},
        {"Settings/DLCtrlFlags", Text(0x70), [](CSettings& s) { s.DLCtrlFlags = 0x390; }, Text(0x390), "dword:912",
         [](const CSettings& s) { return Text(s.DLCtrlFlags.value); }},
        {"Settings/DefaultGroup", "", [](CSettings& s) { s.DefaultGroup = "Morning"; }, "Morning", "sz:Morning",
         [](const CSettings& s) { return Text(s.DefaultGroup.value); }},
        // Saved without the running marker.
        {"Settings/StartupFlags", "2 mode 1", [](CSettings& s) { s.SetStartupMode(3); }, "8 mode 3", "dword:8",
         [](const CSettings& s) { return Text(s.StartupFlags.value) + " mode " + Text(s.GetStartupMode()); }},
        {"Settings/AutoRefresh", "0", [](CSettings& s) { s.AutoRefresh = 30; }, "30", "dword:30",
         [](const CSettings& s) { return Text(s.AutoRefresh.value); }},
        {"Settings/ProxyIndex", "-2", [](CSettings& s) { s.ProxyIndex = 1; }, "1", "dword:1",
         [](const CSettings& s) { return Text(s.ProxyIndex.value); }},
        {"Settings/LinksBarDefaultFolder", GetLinksFolderName(), [](CSettings& s) { s.LinksBarDefaultFolder = "Bar"; },
         "Bar", "sz:Bar", [](const CSettings& s) { return Text(s.LinksBarDefaultFolder.value); }},
        {"Settings/FavMenuBreakCount", "25", [](CSettings& s) { s.FavMenuBreakCount = 10; }, "10", "dword:10",
         [](const CSettings& s) { return Text(s.FavMenuBreakCount.value); }},
        {"Settings/MaxFavMenuWidth", "35", [](CSettings& s) { s.MaxFavMenuWidth = 40; }, "40", "dword:40",
         [](const CSettings& s) { return Text(s.MaxFavMenuWidth.value); }},
        {"Settings/TabOpenFlags", Text(0x22), [](CSettings& s) { s.TabOpenFlags = 0x1F; }, Text(0x1F), "dword:31",
         [](const CSettings& s) { return Text(s.TabOpenFlags.value); }},
        {"Settings/TabStyle", "DotNet2005", [](CSettings& s) { s.TabStyle = "Classic"; }, "Classic", "sz:Classic",
         [](const CSettings& s) { return Text(s.TabStyle.value); }},
        {"Settings/BlockedAdsReplacedText", "{Blocked Ads}", [](CSettings& s) { s.BlockedAdsReplacedText = "[ad]"; },
         "[ad]", "sz:[ad]", [](const CSettings& s) { return Text(s.BlockedAdsReplacedText.value); }},
        {"Settings/DomainCompletionCtrl", "http://www.%DOMAIN%.com",
         [](CSettings& s) { s.DomainCompletionCtrl = "http://%DOMAIN%.de"; }, "http://%DOMAIN%.de",
         "sz:http://%DOMAIN%.de", [](const CSettings& s) { return Text(s.DomainCompletionCtrl.value); }},
        {"Settings/DomainCompletionShift", "http://www.%DOMAIN%.net",
         [](CSettings& s) { s.DomainCompletionShift = "http://%DOMAIN%.at"; }, "http://%DOMAIN%.at",
         "sz:http://%DOMAIN%.at", [](const CSettings& s) { return Text(s.DomainCompletionShift.value); }},
        {"Settings/DomainCompletionCtrlShift", "http://www.%DOMAIN%.org",
         [](CSettings& s) { s.DomainCompletionCtrlShift = "http://%DOMAIN%.ch"; }, "http://%DOMAIN%.ch",
         "sz:http://%DOMAIN%.ch", [](const CSettings& s) { return Text(s.DomainCompletionCtrlShift.value); }},
        {"Settings/DisabledPlugins", "", [](CSettings& s) { s.DisabledPlugins = "a;b;"; }, "a;b;", "sz:a;b;",
         [](const CSettings& s) { return Text(s.DisabledPlugins.value); }},
    };
}

TEST_F(CSettingsFixture, FreshProfileHasEveryDefault)
{
    CSettings settings(appData, program);
    for (const SettingCase& c : SettingCases(program)) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(c.read(settings), c.defaultValue);
    }
    EXPECT_EQ(settings.PopupLog.GetCount(), 0);
    EXPECT_EQ(settings.PopupLogPath, appData + "PopupsBlockedHistory");
    EXPECT_EQ(settings.AdLogPath, appData + "AdBlockedHistory");
    EXPECT_EQ(settings.SessionFilePath, appData + "lastopensites");
    EXPECT_FALSE(settings.Closing);
    EXPECT_TRUE(settings.LastOpenSites.empty());
    EXPECT_EQ(settings.PreviousRunState, -1);
    EXPECT_FALSE(settings.StartPagesOpened);
    EXPECT_FALSE(settings.DownloadManagerPresent);
    // The settings object makes its application data folder.
    EXPECT_TRUE(FileExists(appData));
}

TEST_F(CSettingsFixture, EveryValueSurvivesSaveAndReload)
{
    const std::vector<SettingCase> cases = SettingCases(program);
    {
        CSettings settings(appData, program);
        for (const SettingCase& c : cases)
            c.write(settings);
        settings.Save();
    }
    const auto stored = ReadAllValues(key);
    CSettings settings(appData, program);
    std::map<std::string, std::string> expected;
    for (const SettingCase& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(c.read(settings), c.readBack);
        expected[c.stored] = c.storedValue;
    }
    // Where and how each one is kept, and nothing else.
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
