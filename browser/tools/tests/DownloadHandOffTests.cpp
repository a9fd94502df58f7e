// The download hand-off under Wine against the stand-in manager (a program of the tests' own that
// decodes what the browser wrote): which addresses are offered, the bytes of a request, starting
// the manager from its registry location, taken, refused, unanswered and dying managers, busy
// slots, and a tab whose download is taken or refused.
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/DownloadHandOff.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/app/WindowFinder.h"
#include "core/library/Z4KFile.h"
#include "frame/MainFrameData.h"

#include "tests/engine/FakeEngine.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ProgramFolder()
{
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1);
}

void WriteManagerValue(const char* section, const char* key, const char* value)
{
    CRegistryNamesScope names(kDownloadManagerCompany, kDownloadManagerApplication);
    GetSettingsStore()->WriteString(section, key, value);
}

void WriteManagerInt(const char* section, const char* key, DWORD value)
{
    CRegistryNamesScope names(kDownloadManagerCompany, kDownloadManagerApplication);
    GetSettingsStore()->WriteInt(section, key, value);
}

// The stand-in's folder, its answer and what it read; the manager is ended after each test.
class DownloadManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = KivoTestScratchFolder() + "download-manager";
        ::CreateDirectoryA(m_folder.c_str(), nullptr);
        ::SetEnvironmentVariableA("KIVO_TEST_DM_DIR", m_folder.c_str());
        ::DeleteFileA((m_folder + "\\requests.txt").c_str());
        WriteManagerValue("Settings", "ProgLocation", (ProgramFolder() + "pagetools_download_manager.exe").c_str());
        ASSERT_EQ(CWindowFinder(kDownloadManagerClass, kDownloadManagerQuestion).Find(), nullptr);
        // The table stays open for the test, as a running manager keeps it: the states can be
        // read between hand-offs.
        ASSERT_TRUE(m_table.CreateShared(kDownloadSlotTableBytes, kDownloadSlotTableName));
    }
    void TearDown() override { StopManager(); }

    void SetAnswer(const char* mode)
    {
        std::ofstream(m_folder + "\\mode.txt") << mode << "\n";
    }
    std::string ReadRequests() const { return ReadFile("requests.txt"); }
    std::string ReadFile(const char* name) const
    {
        std::ifstream file(m_folder + "\\" + name, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    void ClearRequests() const { ::DeleteFileA((m_folder + "\\requests.txt").c_str()); }
    static HWND Manager() { return CWindowFinder(kDownloadManagerClass, kDownloadManagerQuestion).Find(); }
    static void StopManager()
    {
        while (HWND window = Manager()) {
            DWORD processId = 0;
            ::GetWindowThreadProcessId(window, &processId);
            CHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
            ::PostMessageA(window, WM_CLOSE, 0, 0);
            if (!process || ::WaitForSingleObject(process, 30000) != WAIT_OBJECT_0)
                break;
        }
    }
    // The states of the five slots.
    std::vector<LONG> SlotStates() const
    {
        const auto* words = static_cast<const LONG*>(m_table.GetData());
        std::vector<LONG> states;
        for (int slot = 0; slot < kDownloadSlotCount; ++slot)
            states.push_back(words[slot * kDownloadSlotBytes / sizeof(LONG)]);
        return states;
    }
    void SetSlotStates(const std::vector<LONG>& states)
    {
        auto* words = static_cast<LONG*>(m_table.GetData());
        for (int slot = 0; slot < kDownloadSlotCount; ++slot)
            words[slot * kDownloadSlotBytes / sizeof(LONG)] = states[static_cast<size_t>(slot)];
    }

    CFileMapping m_table;
    std::string m_folder;
};

const std::vector<DownloadRequest> kZipRequest = {
    {"http://files.example.com/setup.zip", "http://www.example.com/downloads.html", ""}};

} // namespace

TEST(DownloadHandOffRules, AddressesAreOfferedByModeSchemeAndTheirFilesExtension)
{
    GetMonitoredExtensions().SetFromText(".EXE  .ZIP   .Gz .MP3");
    const struct {
        const char* url;
        int mode;
        bool expected;
    } cases[] = {
        {"", 0, true},
        {"", 1, false},
        {"", 2, false},
        {"anything at all", 0, true},
        {"http://www.example.com/", 1, true},
        {"ftp://ftp.example.com/pub/", 1, true},
        {"https://www.example.com/", 1, false},
        {"not an address", 1, false},
        {"http://www.example.com/setup.zip", 2, true},
        {"http://www.example.com/SETUP.ZIP", 2, true},
        {"ftp://ftp.example.com/pub/archive.gz", 2, true},
        {"https://www.example.com/setup.zip", 2, false},
        {"http://www.example.com/page.html", 2, false},
        {"http://www.example.com/noextension", 2, false},
        {"http://www.example.com/dir.zip/file", 2, false},
        // The query names the file: it decides, and the path is not looked at.
        {"http://www.example.com/get.php?file=song.mp3", 2, true},
        {"http://www.example.com/a.zip?f=b.txt", 2, false},
        {"http://www.example.com/setup.zip", 3, false},
        {"http://www.example.com/setup.zip", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.url) + " mode " + std::to_string(c.mode));
        EXPECT_EQ(IsMonitoredDownload(c.url, c.mode), c.expected);
    }
    GetMonitoredExtensions().SetFromText("");
}

TEST(DownloadHandOffRules, ExtensionListIsLoweredWithoutEmptyEntriesAndDefaultsToTheManagersList)
{
    WriteManagerValue("Config", "MonitorFileExtList", "  .EXE  .Zip .rar  ");
    LoadMonitorFileExtList();
    EXPECT_EQ(GetMonitoredExtensions().Items(), (std::vector<TStdStr<char>>{".exe", ".zip", ".rar"}));
    EXPECT_TRUE(GetMonitoredExtensions().Contains(".ZIP"));
    EXPECT_FALSE(GetMonitoredExtensions().Contains(""));

    WriteManagerValue("Config", "MonitorFileExtList", nullptr);
    LoadMonitorFileExtList();
    ASSERT_EQ(GetMonitoredExtensions().Items().size(), 14u);
    EXPECT_EQ(GetMonitoredExtensions().Items().front(), ".exe");
    EXPECT_EQ(GetMonitoredExtensions().Items().back(), ".mpeg");
    EXPECT_EQ(ReadMonitorFlags(), kMonitorFlagHandOff);
    GetMonitoredExtensions().SetFromText("");
}

TEST(DownloadHandOffRules, RequestArchiveHoldsTheCountAndThreeStringsWithTheirLengthEscapes)
{
    for (const size_t length : {size_t{0}, size_t{254}, size_t{255}, size_t{65533}, size_t{65534}, size_t{70000}}) {
        SCOPED_TRACE(length);
        const std::string url(length, 'u');
        const std::vector<BYTE> data = SerializeDownloadRequests({{url.c_str(), "ref", ""}});
        std::vector<BYTE> expected = {1, 0, 0, 0};
        if (length < 255) {
            expected.push_back(static_cast<BYTE>(length));
        } else if (length < 65534) {
            expected.insert(expected.end(), {0xFF, static_cast<BYTE>(length & 0xFF), static_cast<BYTE>(length >> 8)});
        } else {
            expected.insert(expected.end(), {0xFF, 0xFF, 0xFF, static_cast<BYTE>(length & 0xFF),
                                             static_cast<BYTE>((length >> 8) & 0xFF),
                                             static_cast<BYTE>((length >> 16) & 0xFF), 0});
        }
        expected.insert(expected.end(), url.begin(), url.end());
        expected.insert(expected.end(), {3, 'r', 'e', 'f', 0});
        EXPECT_EQ(data, expected);
    }
}

TEST_F(DownloadManagerTest, ManagerIsStartedFromItsLocationAndTakesOrRefusesTheRequest)
{
    SetAnswer("take");
    CDownloadHandOff handOff;
    EXPECT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::taken);
    EXPECT_NE(Manager(), nullptr);
    EXPECT_EQ(ReadRequests(), "count 1\nurl http://files.example.com/setup.zip\n"
                              "referrer http://www.example.com/downloads.html\nextra \n");
    EXPECT_EQ(SlotStates(), std::vector<LONG>(5, kDownloadSlotFree));
    // Its path is quoted on its command line, so that a folder with blanks stays one argument.
    const std::string location = ProgramFolder() + "pagetools_download_manager.exe";
    EXPECT_EQ(ReadFile("started.txt"), "\"" + location + "\" \n");

    // The running manager is found, not started a second time.
    ClearRequests();
    SetAnswer("refuse");
    EXPECT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::refused);
    EXPECT_FALSE(HandOffDownloads(kZipRequest, true));
    EXPECT_EQ(ReadRequests().find("count 1\n"), 0u);
    EXPECT_EQ(SlotStates(), std::vector<LONG>(5, kDownloadSlotFree));

    // Without waiting the request is handed over once the manager has been told.
    SetAnswer("take");
    EXPECT_TRUE(HandOffDownloads(kZipRequest, false));
}

TEST_F(DownloadManagerTest, ManagerThatNeverAnswersOrEndsGivesTheSlotBack)
{
    SetAnswer("silent");
    CDownloadHandOff handOff;
    handOff.answerTimeoutMs = 1500;
    EXPECT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::noAnswer);
    EXPECT_EQ(SlotStates(), std::vector<LONG>(5, kDownloadSlotFree));

    // A manager that ends while the browser waits: the wait ends with its window.
    SetAnswer("quit");
    handOff.answerTimeoutMs = 120000;
    EXPECT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::noAnswer);
    EXPECT_EQ(Manager(), nullptr);
}

TEST_F(DownloadManagerTest, NoManagerWithoutALocationOrAProgramThere)
{
    for (const char* location : {"", "C:\\no such folder\\manager.exe"}) {
        SCOPED_TRACE(location);
        WriteManagerValue("Settings", "ProgLocation", location);
        CDownloadHandOff handOff;
        EXPECT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::noManager);
    }
}

TEST_F(DownloadManagerTest, BusySlotsOfATableTheManagerMadeAreKeptAndASixthRequestFails)
{
    SetAnswer("take");
    CDownloadHandOff handOff;
    ASSERT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::taken);  // starts the manager
    const std::vector<LONG> busy = {kDownloadSlotWaiting, kDownloadSlotNoWait, kDownloadSlotTaken,
                                    kDownloadSlotRefused, kDownloadSlotNoWait};
    SetSlotStates(busy);
    ClearRequests();
    EXPECT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::noSlot);
    EXPECT_EQ(SlotStates(), busy);
    EXPECT_EQ(ReadRequests(), "");  // the manager was not told of anything

    // One slot comes free (the others hold answers their browsers have not read yet): the request
    // goes there, and the others stay as they were.
    const std::vector<LONG> answered = {kDownloadSlotTaken, kDownloadSlotRefused, kDownloadSlotTaken,
                                        kDownloadSlotFree, kDownloadSlotRefused};
    SetSlotStates(answered);
    EXPECT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::taken);
    EXPECT_EQ(SlotStates(), answered);
    SetSlotStates(std::vector<LONG>(5, kDownloadSlotFree));
}

TEST_F(DownloadManagerTest, RequestBlockLeftTooSmallByAnEndedRunFailsAndFreesItsSlot)
{
    SetAnswer("take");
    CDownloadHandOff handOff;
    ASSERT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::taken);  // starts the manager
    // A block of slot 0 that some run left behind, smaller than the request (the system rounds a
    // mapping up to whole pages, so the request is longer than a page).
    CFileMapping stale;
    ASSERT_TRUE(stale.CreateShared(4, (std::string(kDownloadSlotTableName) + "0").c_str()));
    const std::string longUrl = "http://files.example.com/" + std::string(6000, 'a') + ".zip";
    ClearRequests();
    EXPECT_EQ(handOff.HandOff({{longUrl.c_str(), "http://www.example.com/", ""}}, true),
              CDownloadHandOff::Result::failed);
    EXPECT_EQ(SlotStates(), std::vector<LONG>(5, kDownloadSlotFree));
    EXPECT_EQ(ReadRequests(), "");
    // Once it is gone, hand-offs work again.
    stale.Unmap();
    EXPECT_EQ(handOff.HandOff(kZipRequest, true), CDownloadHandOff::Result::taken);
}

// A tab offers its monitored downloads to the manager: taken, the navigation is cancelled;
// refused, the engine loads the address.
class DownloadTab : public DownloadManagerTest {
protected:
    void SetUp() override
    {
        DownloadManagerTest::SetUp();
        InstallBrowserTabFactory();
        m_engine.AddPage(kPage, {L"Downloads", L"", 0, {}});
        m_engine.AddPage(kZip, {L"setup.zip", L"", 0, {}});
        m_present = GetSettings()->DownloadManagerPresent;
        GetSettings()->DownloadManagerPresent = true;
        WriteManagerInt("Config", "MonitorFlags", kMonitorFlagHandOff | kMonitorFlagNewEngines);
        WriteManagerValue("Config", "MonitorFileExtList", ".zip .exe");
        LoadMonitorFileExtList();
    }
    void TearDown() override
    {
        GetSettings()->DownloadManagerPresent = m_present;
        GetMonitoredExtensions().SetFromText("");
        DownloadManagerTest::TearDown();
    }

    static constexpr wchar_t kPage[] = L"http://www.example.com/downloads.html";
    static constexpr wchar_t kZip[] = L"http://www.example.com/setup.zip";
    bool m_present = false;
    CFakeEngine m_engine;
    CTestBrowserHost m_host;
};

TEST_F(DownloadTab, TakenDownloadIsCancelledAndARefusedOneLoads)
{
    IBrowserTab* tab =
        GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr, "http://www.example.com/downloads.html", 0x70);
    ASSERT_NE(tab, nullptr);
    m_engine.PumpUntilIdle();
    CFakeBrowser* engine = m_engine.FindBrowser(tab->GetWebBrowser());
    ASSERT_NE(engine, nullptr);

    SetAnswer("take");
    engine->NavigateTo(kZip);
    m_engine.PumpUntilIdle();
    EXPECT_EQ(engine->LocationUrl(), kPage);
    EXPECT_NE(ReadRequests().find("url http://www.example.com/setup.zip\nreferrer http://www.example.com/downloads.html\n"),
              std::string::npos);

    SetAnswer("refuse");
    engine->NavigateTo(kZip);
    m_engine.PumpUntilIdle();
    EXPECT_EQ(engine->LocationUrl(), kZip);
}
