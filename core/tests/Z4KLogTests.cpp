#include "core/library/AppWindowInfo.h"
#include "core/library/Z4KLog.h"
#include "core/library/Z4KTime.h"
#include "core/tests/PrintStdStr.h"
#include "tests/support/TestScratch.h"
#include "core/tests/TestFiles.h"
#include "platform/Diagnostics.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_debugLines;

struct CCaptureDebugOutput : ILogDebugOutput {
    void Send(const char* text) override { g_debugLines.emplace_back(text); }
} g_captureDebugOutput;

class Z4KLogFile : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = KivoTestScratchFolder() + "log";
        m_path = m_folder + "\\Z4KLog.htm";
        DeleteFileA(m_path.c_str());
        RemoveDirectoryA(m_folder.c_str());
        g_debugLines.clear();
    }
    void TearDown() override
    {
        DeleteFileA(m_path.c_str());
        RemoveDirectoryA(m_folder.c_str());
    }
    std::unique_ptr<CZ4KLog> MakeLog()
    {
        auto log = std::make_unique<CZ4KLog>();
        log->SetFilePath(m_path.c_str());
        log->SetDebugOutput(&g_captureDebugOutput);
        return log;
    }

    std::string m_folder;
    std::string m_path;
};

int64_t FileTimeOf(int year, int month, int day, int hour)
{
    SYSTEMTIME system = {};
    system.wYear = static_cast<WORD>(year);
    system.wMonth = static_cast<WORD>(month);
    system.wDay = static_cast<WORD>(day);
    system.wHour = static_cast<WORD>(hour);
    FILETIME file;
    SystemTimeToFileTime(&system, &file);
    return static_cast<int64_t>((static_cast<uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime);
}

bool InBerlinZone()
{
    char name[64];
    return GetEnvironmentVariableA("TZ", name, sizeof(name)) && std::string(name) == "Europe/Berlin";
}

} // namespace

TEST(Z4KLog, EscapeHtmlReplacesAmpersandsFirst)
{
    EXPECT_EQ(EscapeHtml("&lt;"), "&amp;lt;");
    EXPECT_EQ(EscapeHtml("a<b>\"c\"\n&"), "a&lt;b&gt;&quot;c&quot;<br>\n&amp;");
    EXPECT_EQ(EscapeHtml(nullptr), "");
}

TEST_F(Z4KLogFile, WritesTheHeadBeforeTheFirstMessageAndClosesTheDocument)
{
    {
        auto log = MakeLog();
        log->SetTitle("Kivo <log>");
        log->SetMeta("generator", "Kivo");
        log->SetMeta("description", "two words");
        log->SetStyleSheet("s{}");
        log->Write(kLogInfo, "\n<Body>"); // the body's own tag before the head is dropped
        log->Write(kLogInfo, "x<y");
        {
            CZ4KLogElement bold(*log, "b");
            bold.SetAttribute("class", "hits");
            bold.SetAttribute("", "ignored");
            bold.SetAttribute("id", "");
            log->Write(kLogWarning, "second");
        }
        log->Write(kLogInfo, "raw <i>", true);
    }
    EXPECT_EQ(ReadWholeFile(m_path), "\n<HTML>\n<Head>\n<meta description=\"two words\" generator=Kivo>"
                                "\n<Title>Kivo <log></Title>\n"
                                "\n<Style>s{}</Style>\n"
                                "</Head>\n"
                                "\n<Body>x&lt;y"
                                "\n<b class=hits>second</b>\n"
                                "raw <i>"
                                "</Body>\n</HTML>\n");
    EXPECT_EQ(g_debugLines, (std::vector<std::string>{"Z4K:(INFO) :", "x<y", "Z4K:(WARN) :", "second"}));
}

TEST_F(Z4KLogFile, LevelsMaskAndPrefixes)
{
    auto log = MakeLog();
    log->SetStyleSheet("");
    log->SetLevelMask(0x7fffffff & ~kLogError);
    log->SetOptions(kLogToDebugger | kLogToFile | kLogTimestamp | kLogThreadId);
    log->Write(kLogError, "filtered");
    log->Write(1, "odd level");
    log->WriteFormat(kLogCritical, "%s=%d", "n", 5);
    // A critical message is flushed at once: the file shows it while the log is still open.
    const std::string text = ReadWholeFile(m_path);
    const std::regex expected("\n<HTML>\n<Head></Head>\n\n<Body>"
                              "\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\(\\d+\\): odd level"
                              "\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\(\\d+\\): n=5");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
    EXPECT_EQ(g_debugLines, (std::vector<std::string>{"Z4K:() :", "odd level", "Z4K:(CRIT) :", "n=5"}));
}

// A log without a file still reports to the debugger; its messages are not lost entirely.
TEST_F(Z4KLogFile, WithoutAFileTheDebuggerCopyStillGoesOut)
{
    auto log = MakeLog();
    log->SetFilePath("");
    log->Write(kLogCritical, "disk gone");
    EXPECT_EQ(g_debugLines, (std::vector<std::string>{"Z4K:(CRIT) :", "disk gone"}));
    log->SetFilePath((m_folder + "\\no\\such\\folder\\x.htm").c_str());
    log->Write(kLogWarning, "still");
    EXPECT_EQ(g_debugLines.size(), 4u);
}

TEST_F(Z4KLogFile, AnElementDestroyedWhileItsTagIsFilteredLeavesTheQueue)
{
    {
        auto log = MakeLog();
        log->SetLevelMask(kLogWarning); // markup (level 16) is filtered out
        {
            CZ4KLogElement element(*log, "p");
        }
        log->Write(kLogWarning, "w");
        log->Write(kLogInfo, "filtered");
    }
    // The tags still queued go out with the message, at its level; the closed ones are gone.
    EXPECT_EQ(ReadWholeFile(m_path), "\n<HTML>\n<Body>w");
}

TEST(Z4KLog, ProcessLogUsesTheDefaultsRecord)
{
    CZ4KLog* log = GetLog();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(GetLog(), log);
    const std::string path = log->GetFilePath();
    EXPECT_EQ(path, GetAppWindowInfo()->GetProgramFolder() + "Logs\\Z4KLog.htm");
    EXPECT_EQ(std::string(Z4KLogDefaults::kStyleSheet).substr(0, 14), "img{border:0}\n");
}

// The process log takes the failure reports (KIVO_CHECK, caught exceptions) as errors. Only its
// debugger copy is looked at, so that the test writes no file into the program folder.
TEST(Z4KLog, ProcessLogTakesFailureReportsAsErrors)
{
    CZ4KLog* log = GetLog();
    ASSERT_NE(log, nullptr);
    const unsigned options = log->GetOptions();
    log->SetOptions(kLogToDebugger);
    log->SetDebugOutput(&g_captureDebugOutput);
    g_debugLines.clear();
    ReportFailure("Z4KLogTests: a failure report");
    log->SetDebugOutput(nullptr);
    log->SetOptions(options);
    EXPECT_EQ((std::vector<std::string>{"Z4K:(ERR) :", "Z4KLogTests: a failure report"}), g_debugLines);
}

TEST(Z4KTime, FormatAddsSubSecondTokens)
{
    const int64_t noon = FileTimeOf(2024, 1, 15, 12);
    // 7 ms, 8 us and 900 ns past the second.
    EXPECT_EQ(CZ4KTime(noon + 70000 + 80 + 9).Format("%S.%s|%#s|%u|%#u|%n|%#n"), "00.007|7|008|8|900|900");
    // Milliseconds are cut, not rounded.
    EXPECT_EQ(CZ4KTime::Format(noon + 457000, "%s"), "045");
    EXPECT_EQ(CZ4KTime(noon + 457000).GetMillisecond(), 45);
    EXPECT_EQ(CZ4KTime(noon).Format("%Y %q %"), "2024 %q %");
    EXPECT_EQ(CZ4KTime(noon).Format(""), "");
    EXPECT_EQ(CZ4KTime(noon).Format(std::string(300, 'x').c_str()).size(), 300u);
    EXPECT_EQ(CZ4KTime(-1).Format("%Y"), "Invalid datetime");
    EXPECT_EQ(CZ4KTime(-1).GetMillisecond(), -1);
    EXPECT_TRUE(std::regex_match(std::string(GetTimestampText()),
                                 std::regex("\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\\.\\d{3}")));
}

TEST(Z4KTime, LocalTimeFollowsTheRuleOfTheValuesDate)
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    for (int month : {1, 7}) {
        CZ4KTimeParts parts;
        ASSERT_TRUE(CZ4KTime(FileTimeOf(2023, month, 15, 12)).GetLocalParts(parts));
        const int offsetMinutes = (parts.day - 15) * 24 * 60 + (parts.hour - 12) * 60 + parts.minute;
        // The offset from UTC is the standard bias, or the daylight bias where the zone has one
        // and the date falls into it: never anything else.
        const int standard = -static_cast<int>(zone.Bias + zone.StandardBias);
        const int summer = -static_cast<int>(zone.Bias + zone.DaylightBias);
        EXPECT_TRUE(offsetMinutes == standard || (zone.DaylightDate.wMonth != 0 && offsetMinutes == summer))
            << month << ": " << offsetMinutes;
        EXPECT_EQ(parts.dayOfYear, month == 1 ? 15 : 196);
        // The build runs these tests a second time in this zone: one hour ahead in winter, two
        // in summer.
        if (InBerlinZone()) {
            EXPECT_EQ(offsetMinutes, month == 1 ? 60 : 120);
        }
    }
    if (InBerlinZone()) {
        EXPECT_EQ(CZ4KTime(FileTimeOf(2023, 7, 15, 12)).Format("%d.%m. %H:%M"), "15.07. 14:00");
    }
}
