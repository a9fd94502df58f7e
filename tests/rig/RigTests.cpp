// The rig's own checks: a window and its message loop, the registry, and a message that crosses
// from a second process. They prove the tests run real Win32 under Wine, not features, and that a
// test process leaves the real HKEY_CURRENT_USER as it found it.
#include "tests/rig/RigProgram.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include <shlwapi.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr UINT kPing = WM_APP + 7;

struct Received {
    bool pinged = false;
    std::string copied;
    ULONG_PTR copyCode = 0;
};

LRESULT CALLBACK RigWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* received = reinterpret_cast<Received*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtr(hwnd, GWLP_USERDATA,
                         reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCT*>(lParam)->lpCreateParams));
        break;
    case kPing:
        received->pinged = (wParam == 42 && lParam == 43);
        PostQuitMessage(0);
        return 0;
    case WM_COPYDATA: {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        received->copyCode = cds->dwData;
        received->copied.assign(static_cast<const char*>(cds->lpData), cds->cbData ? cds->cbData - 1 : 0);
        return TRUE;
    }
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

class RigWindow : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RigWindowProc;
        wc.hInstance = GetModuleHandle(nullptr);
        wc.lpszClassName = "KivoRigWindow";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "KivoRigWindow", "rig", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               wc.hInstance, &received);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override
    {
        if (hwnd)
            DestroyWindow(hwnd);
    }
    HWND hwnd = nullptr;
    Received received;
};

TEST_F(RigWindow, PostedMessageArrivesThroughTheLoop)
{
    ASSERT_TRUE(PostMessage(hwnd, kPing, 42, 43));
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0)
        DispatchMessage(&msg);
    EXPECT_TRUE(received.pinged);
}

TEST_F(RigWindow, CopyDataCrossesFromASecondProcess)
{
    const std::string sender = rig::ProgramFolder() + "rig_copydata_sender.exe";
    std::string commandLine = "\"" + sender + "\" " + std::to_string(reinterpret_cast<INT_PTR>(hwnd)) +
                              " http://example.org/";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(sender.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi))
        << GetLastError();
    // The sender blocks in SendMessage until this thread dispatches it, so keep pumping.
    DWORD wait;
    while ((wait = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 20000, QS_ALLINPUT)) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }
    EXPECT_EQ(wait, WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(received.copyCode, 100u);
    EXPECT_EQ(received.copied, "http://example.org/");
}

TEST(RigRegistry, ValueWrittenToCurrentUserReadsBack)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\KivoRigTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const DWORD written = 0x12345678;
    ASSERT_EQ(RegSetValueExA(key, "Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&written), sizeof(written)),
              ERROR_SUCCESS);
    DWORD read = 0, size = sizeof(read), type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Value", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(read, written);
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KivoRigTest");
}

std::string SystemProgram(const char* name)
{
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), static_cast<int>(prefix.size()),
                          prefix.c_str(), static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

// A key of the real registry with everything below it as "[key]" and "[key] value=data" lines. reg.exe runs as a process of
// its own that knows nothing of the redirect, so it sees the real registry, not this process's
// scratch key. The scratch keys of all test processes (this one's and those of tests running beside
// it) are left out: they come and go while the tests run.
std::set<std::string> ExportKey(const std::string& key, const std::string& file, bool skipScratchKeys)
{
    std::set<std::string> lines;
    DeleteFileA(file.c_str());
    if (rig::RunProgram(SystemProgram("reg.exe"), "export " + key + " \"" + file + "\" /y") != 0)
        return lines;
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lines;
    std::wstring wide(GetFileSize(handle, nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    ReadFile(handle, wide.data(), static_cast<DWORD>(wide.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(handle);
    wide.resize(read / sizeof(wchar_t));
    std::string text(wide.size() * 4, '\0');
    text.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                    static_cast<int>(text.size()), nullptr, nullptr));
    const std::string scratchKeys = "[HKEY_CURRENT_USER\\Software\\KivoBrowserTests";
    std::string section;
    std::string pending;  // a value whose data goes on in the next line (ends in a backslash)
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = pending + line;
        pending.clear();
        if (!line.empty() && line.back() == '\\') {
            line.pop_back();
            pending = line;
            continue;
        }
        if (line.empty())
            continue;
        if (line.front() == '[')
            section = skipScratchKeys && StartsWithNoCase(line, scratchKeys) ? std::string() : line;
        if (!section.empty())
            lines.insert(line.front() == '[' ? line : section + " " + line);
    }
    return lines;
}

std::vector<std::string> Missing(const std::set<std::string>& from, const std::set<std::string>& in)
{
    std::vector<std::string> missing;
    std::set_difference(from.begin(), from.end(), in.begin(), in.end(), std::back_inserter(missing));
    return missing;
}

// The real HKEY_CURRENT_USER as this process can still reach it: HKEY_USERS\<user's SID>, which the
// redirect of HKEY_CURRENT_USER does not cover.
std::string RealCurrentUserPath()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    BYTE buffer[256] = {};
    DWORD size = 0;
    const bool ok = GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size) != FALSE;
    CloseHandle(token);
    char* sid = nullptr;
    if (!ok || !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid))
        return {};
    const std::string path = sid;
    LocalFree(sid);
    return path;
}

// Every way the program and Wine's own libraries read HKEY_CURRENT_USER lands in the scratch key,
// which lives in the real HKEY_CURRENT_USER under Software\KivoBrowserTests.
TEST(RigRedirect, EveryCallPathSeesTheScratchKey)
{
    constexpr char kSubKey[] = "Software\\KivoRigPaths";
    constexpr char kText[] = "redirected";
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kSubKey, "Value", REG_SZ, kText, sizeof(kText)), ERROR_SUCCESS);

    char text[64] = "";
    DWORD size = sizeof(text);
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, kSubKey, "Value", RRF_RT_REG_SZ, nullptr, text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, kText);
    size = sizeof(text);
    text[0] = 0;
    EXPECT_EQ(SHGetValueA(HKEY_CURRENT_USER, kSubKey, "Value", nullptr, text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, kText);
    size = sizeof(text);
    text[0] = 0;
    EXPECT_EQ(SHRegGetUSValueA(kSubKey, "Value", nullptr, text, &size, FALSE, nullptr, 0), ERROR_SUCCESS);
    EXPECT_STREQ(text, kText);

    // Seen from the real user's key, the value is inside this process's scratch key only.
    const std::string realUser = RealCurrentUserPath();
    ASSERT_FALSE(realUser.empty());
    const std::string inScratch = realUser + "\\" + KivoTestRegistryKey() + "\\" + kSubKey;
    size = sizeof(text);
    text[0] = 0;
    EXPECT_EQ(RegGetValueA(HKEY_USERS, inScratch.c_str(), "Value", RRF_RT_REG_SZ, nullptr, text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, kText);
    size = sizeof(text);
    EXPECT_EQ(RegGetValueA(HKEY_USERS, (realUser + "\\" + kSubKey).c_str(), "Value", RRF_RT_REG_SZ, nullptr, text,
                           &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(SHDeleteKeyA(HKEY_CURRENT_USER, kSubKey), ERROR_SUCCESS);
    EXPECT_EQ(RegGetValueA(HKEY_USERS, inScratch.c_str(), "Value", RRF_RT_REG_SZ, nullptr, text, &size),
              ERROR_FILE_NOT_FOUND);
}

// A key planted in the real HKEY_CURRENT_USER for the writer to delete, removed again by the fixture.
class RigPrivateRegistry : public testing::Test {
protected:
    static constexpr char kPlanted[] = "HKEY_CURRENT_USER\\Software\\KivoRigPlanted";

    void SetUp() override
    {
        ASSERT_EQ(rig::RunProgram(SystemProgram("reg.exe"), std::string("add ") + kPlanted + " /v Planted /d kept /f"), 0u);
    }
    void TearDown() override { rig::RunProgram(SystemProgram("reg.exe"), std::string("delete ") + kPlanted + " /f"); }
};

TEST_F(RigPrivateRegistry, TestProcessLeavesCurrentUserAsItFound)
{
    const std::string exportFile = KivoTestScratchFolder() + "current-user.reg";
    const std::set<std::string> before = ExportKey("HKEY_CURRENT_USER", exportFile, true);
    ASSERT_TRUE(before.count("[" + std::string(kPlanted) + "]")) << "reg.exe export gave no usable file";

    DWORD writerId = 0;
    EXPECT_EQ(rig::RunProgram(rig::ProgramFolder() + "rig_registry_writer.exe", "--gtest_color=no", &writerId), 0u);
    const std::set<std::string> after = ExportKey("HKEY_CURRENT_USER", exportFile, true);

    EXPECT_EQ(Missing(before, after), std::vector<std::string>()) << "lost from HKEY_CURRENT_USER";
    EXPECT_EQ(Missing(after, before), std::vector<std::string>()) << "added to HKEY_CURRENT_USER";

    // The writer's own scratch key and scratch folder are gone too.
    const std::string writerKey = "[HKEY_CURRENT_USER\\Software\\KivoBrowserTests\\" + std::to_string(writerId) + "-";
    for (const std::string& line : ExportKey("HKEY_CURRENT_USER\\Software\\KivoBrowserTests", exportFile, false))
        EXPECT_FALSE(StartsWithNoCase(line, writerKey)) << "the writer's scratch key was left: " << line;
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((std::string(temp) + "KivoBrowserTests-" + std::to_string(writerId) + "-*").c_str(), &data);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "the writer's scratch folder was left: " << data.cFileName;
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

} // namespace
