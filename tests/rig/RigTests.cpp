// The rig's own checks: a window and its message loop, the registry, and a message that crosses
// from a second process. They prove the tests run real Win32 under Wine, not features.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

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
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string sender = self;
    sender = sender.substr(0, sender.find_last_of('\\') + 1) + "rig_copydata_sender.exe";
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

} // namespace
