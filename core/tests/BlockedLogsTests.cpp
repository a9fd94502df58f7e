#include "core/app/BlockedLogs.h"
#include "core/library/IniFile.h"
#include "core/app/ProgramFolders.h"
#include "core/app/Settings.h"
#include "core/library/Z4KArchive.h"
#include "core/library/Z4KException.h"
#include "core/library/Z4KTime.h"
#include "core/system/MessageBoxes.h"
#include "core/tests/SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Collects what would have been shown in message boxes.
struct CErrorCapture : IMessageBoxes {
    int Show(HWND, const char* text, const char*, UINT) override
    {
        messages.push_back(text);
        return IDOK;
    }
    std::vector<std::string> messages;

private:
    CScopedMessageBoxes m_scope{*this};
};

BlockedLogEntry MakeEntry(uint64_t time, const char* a, const char* b, const char* c)
{
    BlockedLogEntry entry;
    entry.time = time;
    entry.text1 = a;
    entry.text2 = b;
    entry.text3 = c;
    return entry;
}

// Bytes of a stored string of up to 254 characters.
void AppendString(std::vector<BYTE>& bytes, const char* text)
{
    const size_t length = std::strlen(text);
    bytes.push_back(static_cast<BYTE>(length));
    bytes.insert(bytes.end(), text, text + length);
}

void AppendUint32(std::vector<BYTE>& bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

}  // namespace

TEST(BlockedLog, KeepsTheNewestEntriesWithinItsMaximum)
{
    CBlockedLog log;
    for (int i = 0; i < 200; ++i)
        log.Add(MakeEntry(i, "Popup", "", ""));
    EXPECT_EQ(log.GetCount(), 200);
    log.m_modified = false;
    log.Add(MakeEntry(200, "Popup", "", ""));
    EXPECT_EQ(log.GetCount(), 200);
    EXPECT_EQ(log.GetAt(0).time, 1u);
    EXPECT_EQ(log.GetAt(199).time, 200u);
    EXPECT_TRUE(log.m_modified);

    log.SetMaxItems(10);
    EXPECT_EQ(log.GetCount(), 10);
    EXPECT_EQ(log.GetAt(0).time, 191u);

    log.Erase(0);
    log.Erase(50);  // outside: nothing
    EXPECT_EQ(log.GetCount(), 9);
    EXPECT_EQ(log.GetAt(0).time, 192u);
    log.Clear();
    EXPECT_EQ(log.GetCount(), 0);
}

TEST(BlockedLog, FileRoundTripsByteExactly)
{
    CScratchFolder folder("logs");
    const CStdString path = folder.Path() + "PopupsBlockedHistory";
    CBlockedLog log;
    log.Add(MakeEntry(0x01D9A1B2C3D4E5F6ull, "Popup", "http://opener/", "http://popup/"));
    log.Add(MakeEntry(0x0102030405060708ull, "Web Page Dialog", "", "http://dialog/"));
    ASSERT_TRUE(SaveBlockedLog(path, log));

    std::vector<BYTE> expected;
    AppendUint32(expected, 2);
    for (BYTE b : {0xF6, 0xE5, 0xD4, 0xC3, 0xB2, 0xA1, 0xD9, 0x01})
        expected.push_back(b);
    AppendString(expected, "Popup");
    AppendString(expected, "http://opener/");
    AppendString(expected, "http://popup/");
    for (BYTE b : {8, 7, 6, 5, 4, 3, 2, 1})
        expected.push_back(b);
    AppendString(expected, "Web Page Dialog");
    AppendString(expected, "");
    AppendString(expected, "http://dialog/");
    const std::vector<BYTE> stored = ReadWholeFile(path);
    EXPECT_EQ(stored, expected);

    CBlockedLog loaded;
    ASSERT_TRUE(LoadBlockedLog(path, loaded));
    ASSERT_EQ(loaded.GetCount(), 2);
    EXPECT_EQ(loaded.GetAt(0), log.GetAt(0));
    EXPECT_EQ(loaded.GetAt(1), log.GetAt(1));
    ASSERT_TRUE(SaveBlockedLog(path, loaded));
    EXPECT_EQ(ReadWholeFile(path), expected);

    // A file longer than the maximum keeps its newest entries.
    CBlockedLog small;
    small.SetMaxItems(1);
    ASSERT_TRUE(LoadBlockedLog(path, small));
    ASSERT_EQ(small.GetCount(), 1);
    EXPECT_EQ(small.GetAt(0).text1, "Web Page Dialog");

    // No file is no error.
    CBlockedLog none;
    EXPECT_TRUE(LoadBlockedLog(CStdString(folder.Path() + "missing"), none));
    EXPECT_EQ(none.GetCount(), 0);
}

TEST(BlockedLog, DamagedFilesLoadTheWholeEntriesAndReportTheError)
{
    CScratchFolder folder("logs-damaged");
    const CStdString path = folder.Path() + "AdBlockedHistory";
    CBlockedLog log;
    for (int i = 0; i < 5; ++i)
        log.Add(MakeEntry(1000 + i, "*ads*", FormatString("http://ads/%d", i), ""));
    ASSERT_TRUE(SaveBlockedLog(path, log));
    const std::vector<BYTE> whole = ReadWholeFile(path);
    const size_t entrySize = (whole.size() - 4) / 5;

    for (size_t length = 0; length < whole.size(); ++length) {
        const std::vector<BYTE> cut(whole.begin(), whole.begin() + length);
        ASSERT_TRUE(WriteWholeFile(path, cut));
        CErrorCapture errors;
        CBlockedLog loaded;
        EXPECT_FALSE(LoadBlockedLog(path, loaded)) << length;
        EXPECT_EQ(errors.messages.size(), 1u) << length;
        // Every entry that is whole in the file, no more.
        const size_t whole_entries = length < 4 ? 0 : (length - 4) / entrySize;
        ASSERT_EQ(loaded.GetCount(), static_cast<int>(whole_entries)) << length;
        for (int i = 0; i < loaded.GetCount(); ++i)
            EXPECT_EQ(loaded.GetAt(i), log.GetAt(i));
        // Reading never changes the file.
        EXPECT_EQ(ReadWholeFile(path), cut);
    }

    // A count larger than the file holds is an error (not an allocation); the entries are kept.
    std::vector<BYTE> huge;
    AppendUint32(huge, 0xFFFFFFFF);
    huge.insert(huge.end(), whole.begin() + 4, whole.end());
    ASSERT_TRUE(WriteWholeFile(path, huge));
    CErrorCapture errors;
    CBlockedLog loaded;
    EXPECT_FALSE(LoadBlockedLog(path, loaded));
    EXPECT_EQ(loaded.GetCount(), 5);
    EXPECT_EQ(errors.messages.size(), 1u);
}

TEST(BlockedLog, RandomBytesNeverCrashTheLoader)
{
    CScratchFolder folder("logs-random");
    const CStdString path = folder.Path() + "PopupsBlockedHistory";
    std::mt19937 random(20261209);
    CErrorCapture errors;
    for (int round = 0; round < 300; ++round) {
        std::vector<BYTE> bytes(random() % 200);
        for (BYTE& b : bytes)
            b = static_cast<BYTE>(random());
        // Small counts now and then, so entries are really parsed.
        if (bytes.size() >= 4 && round % 2) {
            bytes[0] = static_cast<BYTE>(random() % 8);
            bytes[1] = bytes[2] = bytes[3] = 0;
        }
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        CBlockedLog loaded;
        LoadBlockedLog(path, loaded);
        EXPECT_LE(loaded.GetCount(), 200);
        EXPECT_EQ(ReadWholeFile(path), bytes);
    }
}

namespace {

int CountFiles(const CStdString& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(CStdString(folder + "*"), &data);
    int files = 0;
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++files;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return files;
}

}  // namespace

TEST(ArchiveFile, FailedRewriteLeavesThePreviousFileIntact)
{
    CScratchFolder folder("atomic");
    const CStdString path = folder.Path() + "AdBlockedHistory";
    CBlockedLog log;
    log.Add(MakeEntry(1, "rule", "http://ads/", ""));
    ASSERT_TRUE(SaveBlockedLog(path, log));
    const std::vector<BYTE> previous = ReadWholeFile(path);
    CErrorCapture errors;

    // The writer fails half-way, as a full disk would leave it.
    EXPECT_FALSE(WriteArchiveFile(path, [](CZ4KArchive& archive) {
        archive << static_cast<uint32_t>(1000);
        std::vector<char> block(10000, 'x');
        archive.Write(block.data(), static_cast<UINT>(block.size()));
        throw CZ4KFileException(CZ4KFileException::diskFull, "AdBlockedHistory");
    }));
    EXPECT_EQ(ReadWholeFile(path), previous);
    EXPECT_EQ(CountFiles(folder.Path()), 1);  // no temporary file stays behind
    EXPECT_EQ(errors.messages.size(), 1u);

    // The old file cannot be replaced (another program holds it open): it stays as it was.
    HANDLE holder = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    log.Add(MakeEntry(2, "rule2", "http://ads2/", ""));
    EXPECT_FALSE(SaveBlockedLog(path, log));
    CloseHandle(holder);
    EXPECT_EQ(ReadWholeFile(path), previous);
    EXPECT_EQ(CountFiles(folder.Path()), 1);
    EXPECT_EQ(errors.messages.size(), 2u);

    // Once free, the rewrite goes through.
    EXPECT_TRUE(SaveBlockedLog(path, log));
    CBlockedLog loaded;
    ASSERT_TRUE(LoadBlockedLog(path, loaded));
    EXPECT_EQ(loaded.GetCount(), 2);
}

namespace {

struct CSessionFixture : testing::Test {
    CTestRegistryKey key{"Session"};
    CScratchFolder folder{"session"};
    CStdString appData = folder.Path() + "appdata\\";
    CStdString sessionPath = appData + "lastopensites";
};

std::vector<BYTE> SessionBytes(uint32_t count, int entries)
{
    std::vector<BYTE> bytes;
    AppendUint32(bytes, count);
    for (int i = 0; i < entries; ++i) {
        AppendString(bytes, FormatString("Title %d", i));
        AppendString(bytes, FormatString("http://site%d/", i));
    }
    return bytes;
}

}  // namespace

TEST_F(CSessionFixture, SessionFileRoundTripsByteExactly)
{
    {
        CSettings settings(appData, folder.Path());
        settings.LastOpenSites = {{"Title 0", "http://site0/"}, {"Title 1", "http://site1/"}};
        ASSERT_TRUE(settings.SaveLastOpenSites());
        EXPECT_EQ(ReadWholeFile(sessionPath), SessionBytes(2, 2));
    }
    {
        CSettings settings(appData, folder.Path());
        ASSERT_TRUE(settings.LoadLastOpenSites());
        ASSERT_EQ(settings.LastOpenSites.size(), 2u);
        EXPECT_STREQ(settings.LastOpenSites[1].title, "Title 1");
        EXPECT_STREQ(settings.LastOpenSites[1].url, "http://site1/");
    }
    // Written back at exit, unchanged.
    EXPECT_EQ(ReadWholeFile(sessionPath), SessionBytes(2, 2));
}

TEST_F(CSessionFixture, SessionFilesOfTwoHundredEntriesAreIgnored)
{
    CreateDirectoryA(appData, nullptr);
    {
        ASSERT_TRUE(WriteWholeFile(sessionPath, SessionBytes(199, 199)));
        CSettings settings(appData, folder.Path());
        EXPECT_TRUE(settings.LoadLastOpenSites());
        EXPECT_EQ(settings.LastOpenSites.size(), 199u);
    }
    {
        ASSERT_TRUE(WriteWholeFile(sessionPath, SessionBytes(200, 200)));
        CSettings settings(appData, folder.Path());
        EXPECT_FALSE(settings.LoadLastOpenSites());
        EXPECT_TRUE(settings.LastOpenSites.empty());
        // More pages than a session file may hold: the first 199 are kept rather than none.
        for (int i = 0; i < 250; ++i)
            settings.LastOpenSites.push_back({FormatString("Title %d", i), FormatString("http://site%d/", i)});
    }
    EXPECT_EQ(ReadWholeFile(sessionPath), SessionBytes(199, 199));
}

TEST_F(CSessionFixture, DamagedSessionFileOpensNoBlankPagesAndIsKept)
{
    CreateDirectoryA(appData, nullptr);
    const std::vector<BYTE> whole = SessionBytes(3, 3);
    const size_t entrySize = (whole.size() - 4) / 3;
    for (size_t length = 0; length < whole.size(); ++length) {
        const std::vector<BYTE> cut(whole.begin(), whole.begin() + length);
        ASSERT_TRUE(WriteWholeFile(sessionPath, cut));
        {
            CSettings settings(appData, folder.Path());
            EXPECT_FALSE(settings.LoadLastOpenSites()) << length;
            const size_t wholeEntries = length < 4 ? 0 : (length - 4) / entrySize;
            ASSERT_EQ(settings.LastOpenSites.size(), wholeEntries) << length;
            for (const CSessionEntry& entry : settings.LastOpenSites)
                EXPECT_FALSE(entry.url.empty());
        }
        // The exit-time save does not replace the damaged file with the part that was read.
        EXPECT_EQ(ReadWholeFile(sessionPath), cut) << length;
    }
    // A count the file cannot hold: an error, and the whole entries.
    ASSERT_TRUE(WriteWholeFile(sessionPath, SessionBytes(150, 2)));
    {
        CSettings settings(appData, folder.Path());
        EXPECT_FALSE(settings.LoadLastOpenSites());
        EXPECT_EQ(settings.LastOpenSites.size(), 2u);
        EXPECT_EQ(ReadWholeFile(sessionPath), SessionBytes(150, 2));
        // Pages recorded at this exit are written.
        settings.LastOpenSites = {{"Title 0", "http://site0/"}};
    }
    EXPECT_EQ(ReadWholeFile(sessionPath), SessionBytes(1, 1));
}

TEST(StartSites, FileLoadsWhateverItsHeaderAndIsSavedAtExit)
{
    CScratchFolder folder("startsites");
    const CStdString path = folder.Path() + "StartSites";
    std::vector<BYTE> bytes;
    AppendUint32(bytes, 0x12345678);  // any header
    AppendUint32(bytes, 2);
    AppendString(bytes, "http://one/");
    AppendString(bytes, "http://two/");
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    {
        CStartSites sites(path);
        EXPECT_TRUE(sites.LoadedCleanly());
        ASSERT_EQ(sites.m_sites.size(), 2u);
        EXPECT_STREQ(sites.m_sites[1], "http://two/");
    }
    // Written at exit even though nothing changed, with the header 10.
    bytes[0] = 10;
    bytes[1] = bytes[2] = bytes[3] = 0;
    EXPECT_EQ(ReadWholeFile(path), bytes);

    // No file: an empty list, written at exit.
    DeleteFileA(path);
    {
        CStartSites sites(path);
        EXPECT_TRUE(sites.m_sites.empty());
    }
    EXPECT_EQ(ReadWholeFile(path), (std::vector<BYTE>{10, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(StartSites, DamagedFileIsNotOverwrittenAtExit)
{
    CScratchFolder folder("startsites-damaged");
    const CStdString path = folder.Path() + "StartSites";
    std::vector<BYTE> bytes;
    AppendUint32(bytes, 10);
    AppendUint32(bytes, 3);
    AppendString(bytes, "http://one/");
    AppendString(bytes, "http://two/");
    bytes.push_back(40);  // the third URL is cut off
    bytes.push_back('h');
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    CErrorCapture errors;
    {
        CStartSites sites(path);
        EXPECT_FALSE(sites.LoadedCleanly());
        EXPECT_EQ(sites.m_sites.size(), 2u);
        EXPECT_EQ(errors.messages.size(), 1u);
    }
    EXPECT_EQ(ReadWholeFile(path), bytes);

    // A count the file cannot hold fails without a huge allocation.
    std::vector<BYTE> huge = bytes;
    huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;
    ASSERT_TRUE(WriteWholeFile(path, huge));
    {
        CStartSites sites(path);
        EXPECT_FALSE(sites.LoadedCleanly());
        EXPECT_EQ(sites.m_sites.size(), 2u);
    }
    EXPECT_EQ(ReadWholeFile(path), huge);

    // Once the user edits the list, it is saved.
    {
        CStartSites sites(path);
        sites.m_sites = {"http://new/"};
    }
    std::vector<BYTE> expected;
    AppendUint32(expected, 10);
    AppendUint32(expected, 1);
    AppendString(expected, "http://new/");
    EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST(ProgramFolders, FoldersAndConfigurationLookUp)
{
    CAppFolders folders("C:\\Kivo\\");
    EXPECT_STREQ(folders.m_configFolder, "C:\\Kivo\\config\\");
    EXPECT_STREQ(folders.GetAppDataFolder(), "C:\\Kivo\\appdata\\");
    EXPECT_STREQ(folders.GetConfigFolder(CAppFolders::configFolder, "German"), "C:\\Kivo\\config\\");
    EXPECT_STREQ(folders.GetConfigFolder(CAppFolders::languageFolder, "German"), "C:\\Kivo\\config\\German\\");
    EXPECT_STREQ(folders.GetConfigFolder(CAppFolders::defaultsFolder, "German"), "C:\\Kivo\\config\\defaults\\");
    EXPECT_STREQ(folders.GetConfigFolder(3, "German"), "");

    const CStdString program = GetProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), '\\');
    EXPECT_TRUE(FileExists(CStdString(program + "core_tests.exe")));
    EXPECT_EQ(GetAppFolders()->GetAppDataFolder(), program + "appdata\\");
}

TEST(ProgramFolders, ConfigurationFilesComeFromTheConfigFolderFirst)
{
    const CAppFolders& folders = *GetAppFolders();
    // The program's own configuration folder (with the lists the build puts there) is set aside
    // for the test and put back afterwards.
    const CStdString configFolder = folders.m_configFolder.Left(folders.m_configFolder.GetLength() - 1);
    const CStdString keptFolder = configFolder + ".kept";
    CScratchFolder::Remove(keptFolder + "\\");
    const bool kept = MoveFileA(configFolder, keptFolder) != FALSE;
    struct CPutBack {
        const CStdString& config;
        const CStdString& keptCopy;
        bool active;
        ~CPutBack()
        {
            CScratchFolder::Remove(config + "\\");
            if (active)
                MoveFileA(keptCopy, config);
        }
    } putBack{configFolder, keptFolder, kept};
    const CStdString defaults = folders.GetConfigFolder(CAppFolders::defaultsFolder);
    const CStdString language = folders.GetConfigFolder(CAppFolders::languageFolder);
    CreateDirectoryA(folders.m_configFolder, nullptr);
    CreateDirectoryA(defaults, nullptr);
    CreateDirectoryA(language, nullptr);
    auto write = [](const CStdString& path, const char* text) {
        WriteWholeFile(path, std::vector<BYTE>(text, text + std::strlen(text)));
    };
    write(CStdString(defaults + "Alias.ini"), "[Alias]\r\nwhere=defaults\r\n");
    write(CStdString(language + "Groups.ini"), "[Groups]\r\nwhere=language\r\n");
    write(CStdString(defaults + "Groups.ini"), "[Groups]\r\nwhere=defaults\r\n");

    CIniFile file;
    ASSERT_TRUE(OpenConfigIniFile(file, "Alias.ini"));
    EXPECT_EQ(file.GetString("Alias", "where", ""), "defaults");
    file.Close();
    ASSERT_TRUE(OpenConfigIniFile(file, "Groups.ini"));
    EXPECT_EQ(file.GetString("Groups", "where", ""), "language");
    file.Close();
    write(CStdString(folders.m_configFolder + "Alias.ini"), "[Alias]\r\nwhere=config\r\n");
    ASSERT_TRUE(OpenConfigIniFile(file, "Alias.ini"));
    EXPECT_EQ(file.GetString("Alias", "where", ""), "config");
    file.Close();
    EXPECT_FALSE(OpenConfigIniFile(file, "Missing.ini"));

    // Pictures: the language folder, else the defaults folder.
    HBITMAP bitmap = nullptr;
    EXPECT_FALSE(LoadConfigBitmap("missing.bmp", bitmap));
    EXPECT_EQ(bitmap, nullptr);
    HICON first = nullptr;
    HICON second = nullptr;
    EXPECT_FALSE(LoadConfigIconPair("missing.ico", "missing2.ico", first, second));
    EXPECT_EQ(first, nullptr);
}

TEST(BlockedLogs, AdHistoryText)
{
    CBlockedLog log;
    log.SetMaxItems(10);
    // 2024-03-05 06:07:08.009 UTC, shown in the local time the time formatting uses.
    const int64_t time = 133540120280090000LL;
    log.Add({static_cast<uint64_t>(time), "*/ads/*", "http://x/ads/1.gif", ""});
    log.Add({static_cast<uint64_t>(time), "banner", "http://y/banner", ""});
    const TStdStr<char> stamp = CZ4KTime::Format(time, "%m/%d/%Y %H:%M:%S.%s");
    EXPECT_EQ("Ad Blocked History\r\n\r\n" + stamp + "\t*/ads/*\thttp://x/ads/1.gif\r\n" + stamp +
                  "\tbanner\thttp://y/banner\r\n\r\n",
              FormatAdBlockedHistoryText(log));
    EXPECT_EQ("Ad Blocked History\r\n\r\n\r\n", FormatAdBlockedHistoryText(CBlockedLog()));
}
