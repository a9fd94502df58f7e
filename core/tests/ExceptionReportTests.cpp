#include "core/app/ExceptionReport.h"
#include "core/tests/TestProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

namespace {

// A private folder holding the crashing program and the stand-in crash reporter.
class ExceptionReportRun : public testing::Test {
protected:
    void Prepare()
    {
        ASSERT_TRUE(testproc::CopyProgram("exception_report_crasher.exe", folder, "Crasher.exe"));
        ASSERT_TRUE(testproc::CopyProgram("crash_reporter_standin.exe", folder, "XCrashReport.exe"));
    }
    DWORD RunCrasher(const char* mode) { return testproc::Run(folder + "Crasher.exe", mode); }
    std::string Report() const { return CScratchFolder::ReadBytes((folder + "ERRORLOG.TXT").c_str()); }
    std::string ReporterLog() const
    {
        return testproc::WaitForFileText(folder + "XCrashReport.log", "argument: ", 10000);
    }

    // The crash reporter runs on its own after a crash: its folder goes once it has ended.
    void TearDown() override
    {
        if (!testproc::FileExists(folder + "ERRORLOG.TXT"))
            return;
        ReporterLog();
        for (int i = 0; i < 100 && !DeleteFileA((folder + "XCrashReport.exe").c_str()); ++i)
            Sleep(50);
    }

    CScratchFolder scratch{testing::UnitTest::GetInstance()->current_test_info()->name()};
    const std::string folder = scratch.Path();
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

bool Matches(const std::string& text, const char* pattern)
{
    return std::regex_search(text, std::regex(pattern));
}

} // namespace

TEST_F(ExceptionReportRun, AccessViolationWritesTheReportAndStartsTheCrashReporter)
{
    Prepare();
    EXPECT_EQ(RunCrasher("read"), static_cast<DWORD>(-1));
    const std::string report = Report();
    SCOPED_TRACE(report.substr(0, 3000));
    // The parts of the report that stand as they are, and those that vary by machine and run.
    const char* const parts[] = {
        "\r\nException handler called in DivUzodOze - _tWinMain.\r\n",
        "Crasher.exe, run by ",
        "MBytes user address space free.\r\n",
        "Read from location 0000000000000000 caused an access violation.\r\n",
    };
    for (const char* part : parts)
        EXPECT_TRUE(Contains(report, part)) << part;
    const char* const patterns[] = {
        "^Crasher caused an Access Violation \\(0xc0000005\\) \r\n"
        "in module Crasher\\.exe at [0-9a-f]{4}:[0-9a-f]{16}\\.\r\n\r\n",
        "Error occurred at \\d+/\\d+/\\d{4} \\d\\d:\\d\\d:\\d\\d\\.\r\n",
        "Operating system:  [^\r\n]+ \\(\\d+\\.\\d+\\.\\d+\\)\\.\r\n",
        "\\d+ processor\\(s\\), type \\d+\\.\r\n\\d+% memory in use\\.\r\n"
        "\\d+ MBytes physical memory\\.\r\n",
        "\r\nContext:\r\nRDI:    0x[0-9a-f]{16}  RSI: 0x[0-9a-f]{16}  RAX:   0x[0-9a-f]{16}\r\n",
        "EFlags: 0x[0-9a-f]{8}  RSP: 0x[0-9a-f]{16}  SegSs: 0x[0-9a-f]{8}\r\n",
        "\r\nBytes at CS:RIP:\r\n([0-9a-f]{2} ){16}\r\n\r\nStack:\r\n",
        "\r\n0x[0-9a-f]{16}: ([0-9a-f]{8} ){4}[ -~]{16}\r\n",
        "Module \\d+\r\n[^\r\n]*Crasher\\.exe\r\nImage Base: 0x[0-9a-f]{16}  Image Size: 0x",
        "Module \\d+\r\n[^\r\n]*ntdll\\.dll\r\n",
        "File Size:  \\d+ *  File Time:  \\d+/\\d+/\\d+ [0-9:]+\r\nVersion Information:\r\n"
        "   Company:    [^\r\n]*\r\n   Product:    [^\r\n]*\r\n   FileDesc:   [^\r\n]*\r\n"
        "   FileVer:    \\d+\\.\\d+\\.\\d+\\.\\d+\r\n   ProdVer:    ",
    };
    for (const char* pattern : patterns)
        EXPECT_TRUE(Matches(report, pattern)) << pattern;
    EXPECT_TRUE(report.ends_with("\r\n\r\n===== [end of ERRORLOG.TXT] =====\r\n"));

    // The crash reporter is given the report's path.
    const std::string log = ReporterLog();
    EXPECT_TRUE(Contains(log, "command line: " + folder + "XCrashReport.exe \"" + folder + "ERRORLOG.TXT\"\r\n"))
        << log;
    EXPECT_TRUE(Contains(log, "argument: " + folder + "ERRORLOG.TXT\r\n")) << log;
}

TEST_F(ExceptionReportRun, EachReportReplacesThePreviousOne)
{
    Prepare();
    EXPECT_EQ(RunCrasher("read"), static_cast<DWORD>(-1));
    const size_t firstSize = Report().size();
    EXPECT_GT(firstSize, 1000u);
    EXPECT_EQ(RunCrasher("write"), static_cast<DWORD>(-1));
    const std::string report = Report();
    EXPECT_TRUE(Contains(report, "Write to location 0000000000000010 caused an access violation.\r\n"));
    EXPECT_FALSE(Contains(report, "Read from location"));
    EXPECT_EQ(report.find("===== [end of ERRORLOG.TXT] ====="), report.rfind("===== [end of ERRORLOG.TXT] ====="));
}

TEST_F(ExceptionReportRun, OnlyTheFirstExceptionIsReported)
{
    Prepare();
    EXPECT_EQ(RunCrasher("twice"), 10u);
    const std::string report = Report();
    EXPECT_TRUE(Contains(report, "Crasher caused an Integer Divide by Zero (0xc0000094) \r\n"));
    EXPECT_TRUE(Contains(report, "Exception handler called in first.\r\n"));
    EXPECT_FALSE(Contains(report, "Stack Overflow"));
    EXPECT_FALSE(Contains(report, "called in second"));
}

TEST_F(ExceptionReportRun, UncaughtCppExceptionIsLeftToTheRuntime)
{
    Prepare();
    // The C++ runtime ends the program through std::terminate (abort: exit code 3); no report.
    EXPECT_EQ(RunCrasher("throw"), 3u);
    EXPECT_FALSE(testproc::FileExists(folder + "ERRORLOG.TXT"));
    EXPECT_FALSE(testproc::FileExists(folder + "XCrashReport.log"));
}

TEST_F(ExceptionReportRun, ProgramFolderTooLongForTheReportsPathWritesNoReport)
{
    // The report's path is the program folder and "ERRORLOG.TXT" within MAX_PATH (with its zero); a
    // folder one character longer must neither write past the buffer nor create a file under a cut
    // name. The program's own path stays within MAX_PATH in both cases.
    const size_t reportName = std::string("ERRORLOG.TXT").size();
    struct FolderCase {
        size_t folderLength; // with the trailing backslash
        bool reported;
    };
    const FolderCase cases[] = {
        {MAX_PATH - 1 - reportName, true},
        {MAX_PATH - reportName, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folderLength);
        // Nested folders of up to 100 characters each (a name and its backslash); none is left
        // with only a backslash to add.
        std::string longFolder = folder;
        while (longFolder.size() < c.folderLength) {
            const size_t left = c.folderLength - longFolder.size();
            size_t part = std::min<size_t>(100, left);
            if (left - part == 1)
                --part;
            longFolder += std::string(part - 1, 'f') + "\\";
            ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
                << longFolder;
        }
        ASSERT_EQ(longFolder.size(), c.folderLength);
        ASSERT_TRUE(testproc::CopyProgram("exception_report_crasher.exe", longFolder, "C.exe"));
        // No crash reporter beside it: both verdicts are 0, and only the file tells the cases apart.
        EXPECT_EQ(testproc::Run(longFolder + "C.exe", "twice"), 0u);
        const std::string report = CScratchFolder::ReadBytes((longFolder + "ERRORLOG.TXT").c_str());
        if (c.reported) {
            EXPECT_EQ(report.rfind("C caused an Integer Divide by Zero (0xc0000094) \r\n", 0), 0u)
                << report.substr(0, 200);
        } else {
            EXPECT_EQ(report, "<missing>") << report.substr(0, 200);
            WIN32_FIND_DATAA data;
            HANDLE find = FindFirstFileA((longFolder + "ERRORLOG*").c_str(), &data);
            EXPECT_EQ(find, INVALID_HANDLE_VALUE) << data.cFileName;
            if (find != INVALID_HANDLE_VALUE)
                FindClose(find);
        }
    }
}

TEST(ExceptionReport, Descriptions)
{
    EXPECT_STREQ(GetExceptionDescription(0xC0000005), "an Access Violation");
    EXPECT_STREQ(GetExceptionDescription(0xC000008C), "a Array Bounds Exceeded");
    EXPECT_STREQ(GetExceptionDescription(0xE06D7363), "a Microsoft C++ Exception");
    EXPECT_STREQ(GetExceptionDescription(kGccCppExceptionCode), "a GNU C++ Exception");
    EXPECT_STREQ(GetExceptionDescription(0x12345678), "an Unknown exception type");
}

TEST(ExceptionReport, WindowsVersionNames)
{
    struct Case {
        DWORD platform, major, minor, build;
        const char* name;
        int code;
    };
    const Case cases[] = {
        {1, 4, 0, 950, "Windows 95", 1},
        {1, 4, 0, 951, "Windows 95 SP1", 2},
        {1, 4, 0, 1080, "Windows 95 SP1", 2},
        {1, 4, 0, 1081, "Windows 95 OSR2", 3},
        {1, 4, 0, 900, "unknown Windows version", 0},
        {1, 4, 10, 1998, "Windows 98", 4},
        {1, 4, 10, 0x04000000 + 2182, "Windows 98 SP1", 5},
        {1, 4, 10, 2183, "Windows 98 SE", 6},
        {1, 4, 90, 3000, "Windows ME", 7},
        {2, 3, 51, 1057, "Windows NT 3.51", 101},
        {2, 4, 0, 1381, "Windows NT 4", 102},
        {2, 5, 0, 2195, "Windows 2000", 103},
        {2, 5, 1, 2600, "Windows XP", 104},
        {2, 5, 2, 3790, "Windows 2003 Server", 105},
        {2, 10, 0, 19045, "unknown Windows version", 0},
        {3, 4, 2, 0, "Windows CE", 201},
    };
    for (const Case& c : cases) {
        OSVERSIONINFOA version = {};
        version.dwPlatformId = c.platform;
        version.dwMajorVersion = c.major;
        version.dwMinorVersion = c.minor;
        version.dwBuildNumber = c.build;
        int code = -1;
        EXPECT_STREQ(GetWindowsVersionName(version, code), c.name) << c.platform << " " << c.major << "." << c.minor;
        EXPECT_EQ(code, c.code) << c.name;
    }
}
