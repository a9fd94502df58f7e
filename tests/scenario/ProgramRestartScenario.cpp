// One user and the real program across a restart: two pages opened from the command line, a
// setting changed from the View menu, the program closed, then started again in the mode that
// reopens the last session. What only separate processes show: the session file and the settings
// written at the end of one process are what the next one starts from.
#include "core/tests/ProgramWindows.h"
#include "core/tests/ScratchFolder.h"
#include "core/tests/TestProcess.h"

#include "controls/tests/Screenshot.h"
#include "frame/FrameResources.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using testproc::Eventually;
using testproc::FindVisibleWindow;
using testproc::Joined;
using testproc::kStartTimeoutMs;

constexpr const char* kProgramKey = "software\\KivoBrowser";
constexpr const char* kConfigKey = "software\\KivoBrowser\\Kivo Browser\\Config";
constexpr const char* kSettingsKey = "software\\KivoBrowser\\Kivo Browser\\Settings";

// The profile's own values (the "Config" and "Settings" keys of the program).
constexpr DWORD kSysFlagNoExitConfirmation = 0x1;
constexpr DWORD kSysFlagNoUpdateCheck = 0x2;
constexpr DWORD kSysFlagNoSupportReminder = 0x800;
constexpr DWORD kSysFlagNoSiteSelectionDialog = 0x4000;
constexpr DWORD kSysFlagNoSplash = 0x8000;
constexpr DWORD kStartupModeLastSession = 0x4;
constexpr DWORD kBaseViewStatusBar = 0x1000;
// Not the first run, which opens the product's own pages, nor a run that reminds of donations.
constexpr DWORD kEarlierRuns = 3;

// The addresses in an order that is not their alphabetical one, so that order is really checked.
const std::string kFirstPage = "http://zebra.example/first";
const std::string kSecondPage = "http://antelope.example/second";

void WriteDword(const char* key, const char* name, DWORD value)
{
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof(value)), ERROR_SUCCESS);
}

DWORD ReadDword(const char* key, const char* name, DWORD missing)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return missing;
    return value;
}

// The program's whole profile goes: every run of the scenario starts as a user who had it before.
void RemoveProfile()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
}

HWND StatusBar(HWND frame)
{
    return FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr);
}

bool StatusBarShown(HWND frame)
{
    HWND status = StatusBar(frame);
    return status && IsWindowVisible(status);
}

// The tabs that show one of the addresses, in the order they were opened; the blank tab the
// program starts with is not one of them.
std::vector<std::string> PagesInOpeningOrder(HWND frame, const std::vector<std::string>& addresses)
{
    std::vector<std::string> pages;
    for (const std::string& text : testproc::TabTextsInOpeningOrder(frame))
        for (const std::string& address : addresses)
            if (text == address)
                pages.push_back(text);
    return pages;
}

class ProgramRestartScenario : public testing::Test {
protected:
    void SetUp() override { RemoveProfile(); }
    void TearDown() override
    {
        for (auto& instance : instances) {
            if (instance->Wait(0) == STILL_ACTIVE) {
                if (HWND window = FindVisibleWindow(instance->Id(), false))
                    PostMessageA(window, WM_CLOSE, 0, 0);
                instance->Wait(5000);
            }
        }
        instances.clear();
        RemoveProfile();
    }

    // Starts the copy of the program; its main window once visible with its tabs and bars.
    HWND Start(const std::string& arguments)
    {
        instances.push_back(std::make_unique<testproc::Process>());
        testproc::Process& process = *instances.back();
        if (!process.Start(m_program, arguments))
            return nullptr;
        HWND window = nullptr;
        if (!Eventually([&] { return (window = FindVisibleWindow(process.Id(), false)) != nullptr; }) ||
            !testproc::FrameContentsBuilt(window))
            return nullptr;
        return window;
    }

    DWORD HandOver(const std::string& arguments) { return testproc::Run(m_program, arguments, kStartTimeoutMs); }

    // Closes the main window as the user does and gives the exit code of the instance.
    DWORD Close(HWND window)
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return instances.back()->Wait(kStartTimeoutMs);
    }

    // A program folder of its own: the session file is written below it ("appdata\").
    CScratchFolder m_folder{"restart"};
    std::string m_program = std::string(m_folder.Path().c_str()) + "KivoBrowser.exe";
    std::vector<std::unique_ptr<testproc::Process>> instances;
};

} // namespace

TEST_F(ProgramRestartScenario, TabsComeBackInOrderAndTheViewSettingIsKept)
{
    ASSERT_TRUE(testproc::CopyProgram("KivoBrowser.exe", m_folder.Path().c_str(), "KivoBrowser.exe"));
    WriteDword(kConfigKey, "SysFlags",
               kSysFlagNoExitConfirmation | kSysFlagNoUpdateCheck | kSysFlagNoSupportReminder |
                   kSysFlagNoSiteSelectionDialog | kSysFlagNoSplash);
    WriteDword(kConfigKey, "RunCount", kEarlierRuns);

    // The user opens two pages from the command line: the second start hands its page over.
    HWND frame = Start(kFirstPage);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(testproc::TabsShow(frame, {kFirstPage})) << Joined(testproc::TabTexts(frame));
    ASSERT_EQ(HandOver(kSecondPage), 0u);
    ASSERT_TRUE(testproc::TabsShow(frame, {kFirstPage, kSecondPage})) << Joined(testproc::TabTexts(frame));
    EXPECT_EQ(PagesInOpeningOrder(frame, {kFirstPage, kSecondPage}), (std::vector<std::string>{kFirstPage, kSecondPage}));

    // View > Status Bar hides the status bar.
    ASSERT_TRUE(Eventually([&] { return StatusBarShown(frame); }, 5000));
    PostMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_FRAME_VIEW_STATUS_BAR, 0), 0);
    EXPECT_TRUE(Eventually([&] { return !StatusBarShown(frame); }, 5000));

    EXPECT_EQ(Close(frame), 1u);
    EXPECT_EQ(ReadDword(kSettingsKey, "BaseViewFlags", kBaseViewStatusBar) & kBaseViewStatusBar, 0u);
    EXPECT_TRUE(testproc::FileExists(std::string(m_folder.Path().c_str()) + "appdata\\lastopensites"));

    // The user chooses to start with the last session and starts the program again, without a page.
    WriteDword(kSettingsKey, "StartupFlags", kStartupModeLastSession);
    frame = Start("");
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(testproc::TabsShow(frame, {kFirstPage, kSecondPage})) << Joined(testproc::TabTexts(frame));
    EXPECT_EQ(PagesInOpeningOrder(frame, {kFirstPage, kSecondPage}), (std::vector<std::string>{kFirstPage, kSecondPage}))
        << Joined(testproc::TabTextsInOpeningOrder(frame));
    EXPECT_FALSE(StatusBarShown(frame));
    EXPECT_NE(StatusBar(frame), nullptr);

    // Wide enough for every tab to show its label; the picture is taken once the program answers again.
    SetWindowPos(frame, nullptr, 0, 0, 1000, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testproc::WindowTitle(frame);
    RECT window = {};
    GetWindowRect(frame, &window);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(window, "scenario-restart.bmp", path)) << path;
    EXPECT_EQ(Close(frame), 1u);
    EXPECT_EQ(ReadDword(kConfigKey, "RunCount", 0), kEarlierRuns + 2);
}
