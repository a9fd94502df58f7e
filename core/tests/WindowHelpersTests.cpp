// Window and system helpers: the open-URL request, string resources, menu texts, the tray
// rectangle on made-up task bars, class names, and the run-at-startup entry.
#include "core/library/AppWindowInfo.h"
#include "core/library/RegistryKey.h"
#include "core/app/Settings.h"
#include "core/system/WindowHelpers.h"
#include "core/tests/RegistryRestore.h"
#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A window of a private class, hidden; destroyed with the object.
class TestWindow {
public:
    TestWindow(const char* className, HWND parent = nullptr, RECT rect = {0, 0, 100, 100})
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, className, "", parent ? WS_CHILD : WS_POPUP, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(m_window); }
    operator HWND() const { return m_window; }

    static std::vector<std::string> received;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kOpenUrlMessage) {
            received.push_back(std::string(reinterpret_cast<const char*>(wParam)) + " " + std::to_string(lParam));
            return 77;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND m_window;
};
std::vector<std::string> TestWindow::received;

TEST(WindowHelpers, OpenUrlGoesToTheTopLevelWindow)
{
    TestWindow frame("KivoTestFrame");
    TestWindow child("KivoTestChild", frame);
    TestWindow grandchild("KivoTestChild", child);
    TestWindow::received.clear();
    EXPECT_EQ(77, OpenUrlInFrame(grandchild, "http://example.org/", kOpenNewTab | kOpenReuseTab));
    EXPECT_EQ(77, OpenUrlInFrame(frame, "about:blank", kOpenInBackground));
    EXPECT_EQ((std::vector<std::string>{"http://example.org/ 65537", "about:blank 2"}), TestWindow::received);
    EXPECT_EQ(0, OpenUrlInFrame(nullptr, "x", 0));
}

TEST(WindowHelpers, InternetShortcutOpensInTheActiveFrameWithTheFavoritesTabFlag)
{
    CScratchFolder folder("openurl");
    CScratchFolder::WriteBytes(folder / "Site.url", "[InternetShortcut]\r\nURL=http://site.example/\r\n");
    CScratchFolder::WriteBytes(folder / "Empty.url", "[InternetShortcut]\r\n");
    TestWindow frame("KivoTestFrame");
    ShowWindow(frame, SW_SHOW);
    SetActiveWindow(frame);
    ASSERT_EQ(static_cast<HWND>(frame), GetActiveWindow());

    CSettings* settings = GetSettings();
    const int saved = settings->TabOpenFlags;
    TestWindow::received.clear();
    settings->TabOpenFlags = 0x22;
    EXPECT_TRUE(OpenInternetShortcut((folder / "Site.url").c_str()));
    settings->TabOpenFlags = 0x26;
    EXPECT_TRUE(OpenInternetShortcut((folder / "Site.url").c_str()));
    EXPECT_FALSE(OpenInternetShortcut((folder / "Empty.url").c_str()));
    settings->TabOpenFlags = saved;
    EXPECT_EQ((std::vector<std::string>{"http://site.example/ 0", "http://site.example/ 1"}), TestWindow::received);
}

TEST(WindowHelpers, StringResourcesOfTheModule)
{
    // core/tests/CoreTestsVersion.rc holds 17, 18 and 40.
    HINSTANCE module = GetModuleHandleA(nullptr);
    const struct {
        UINT id;
        const char* text;
    } cases[] = {{17, "Seventeen"}, {18, "Eighteen"}, {40, "Forty"}, {16, ""}, {19, ""}, {41, ""}, {4000, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.text, LoadStringResource(module, c.id));
        int length = -1;
        const WCHAR* text = FindStringResource(module, c.id, &length);
        EXPECT_EQ(*c.text == 0, text == nullptr);
        EXPECT_EQ(static_cast<int>(strlen(c.text)), length);
        // The same as the system's own reader.
        WCHAR system[64] = {};
        LoadStringW(module, c.id, system, 64);
        EXPECT_EQ(TStdStr<char>(system), LoadStringResource(module, c.id));
    }
}

TEST(WindowHelpers, MenuTexts)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 100, "&Open\tCtrl+O");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    EXPECT_EQ("&Open\tCtrl+O", GetMenuItemText(menu, 100, MF_BYCOMMAND));
    EXPECT_EQ("&Open\tCtrl+O", GetMenuItemText(menu, 0, MF_BYPOSITION));
    EXPECT_EQ(12, GetMenuItemTextLength(menu, 0, MF_BYPOSITION));
    EXPECT_EQ("", GetMenuItemText(menu, 1, MF_BYPOSITION));
    EXPECT_EQ("", GetMenuItemText(menu, 999, MF_BYCOMMAND));
    DestroyMenu(menu);
}

UINT RecordingTracker(HMENU, UINT flags, int x, int y, HWND owner)
{
    TestWindow::received.push_back("tracked " + std::to_string(flags) + " " + std::to_string(x) + "," +
                                   std::to_string(y) + (owner ? " owned" : ""));
    return 4242;
}

TEST(WindowHelpers, PopupMenusGoThroughTheFramesTracker)
{
    TestWindow owner("KivoTestFrame");
    HMENU menu = CreatePopupMenu();
    TestWindow::received.clear();
    const FramePopupMenuTracker previous = SetFramePopupMenuTracker(RecordingTracker);
    EXPECT_EQ(4242u, TrackFramePopupMenu(menu, TPM_RETURNCMD, 5, 6, owner));
    SetFramePopupMenuTracker(previous);
    EXPECT_EQ((std::vector<std::string>{"tracked 256 5,6 owned"}), TestWindow::received);
    DestroyMenu(menu);
}

TEST(WindowHelpers, SystemMenuCommandsToPost)
{
    EXPECT_FALSE(IsSystemMenuCommand(0));
    EXPECT_FALSE(IsSystemMenuCommand(0xEFFF));
    EXPECT_TRUE(IsSystemMenuCommand(SC_SIZE));
    EXPECT_TRUE(IsSystemMenuCommand(SC_CLOSE));
}

TEST(WindowHelpers, TrayRectangleOfMadeUpTaskBars)
{
    const RECT kNone = {0, 0, 0, 0};
    const struct {
        const char* what;
        RECT bar;
        RECT notify;  // kNone: the bar has no notification area
        RECT clock;   // in the notification area
        RECT tray;
    } cases[] = {
        {"a bar along the bottom: the clock at the bottom is cut away on the right", {0, 700, 1000, 740},
         {800, 0, 1000, 40}, {150, 0, 200, 40}, {800, 700, 950, 740}},
        {"a clock high up in a tall notification area cuts the top away", {900, 0, 1000, 700}, {0, 500, 100, 700},
         {0, 0, 100, 30}, {900, 530, 1000, 700}},
        {"without a notification area: the whole bar", {0, 700, 1000, 740}, kNone, kNone, {0, 700, 1000, 740}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow bar("KivoTestTaskBar", nullptr, c.bar);
        std::unique_ptr<TestWindow> notify;
        std::unique_ptr<TestWindow> clock;
        if (!EqualRect(&c.notify, &kNone)) {
            notify = std::make_unique<TestWindow>("TrayNotifyWnd", bar, c.notify);
            clock = std::make_unique<TestWindow>("TrayClockWClass", *notify, c.clock);
        }
        RECT rect = {};
        ASSERT_TRUE(GetTrayAreaRectOf(bar, &rect));
        EXPECT_EQ(c.tray.left, rect.left);
        EXPECT_EQ(c.tray.top, rect.top);
        EXPECT_EQ(c.tray.right, rect.right);
        EXPECT_EQ(c.tray.bottom, rect.bottom);
    }
    RECT rect = {};
    EXPECT_FALSE(GetTrayAreaRectOf(nullptr, &rect));
    GetTrayAreaRect(&rect);
    EXPECT_LT(rect.left, rect.right);
    EXPECT_LT(rect.top, rect.bottom);
}

TEST(WindowHelpers, ClassNamesIconsAndCursors)
{
    TestWindow window("KivoTestNamed");
    EXPECT_EQ("KivoTestNamed", GetWindowClassName(window));
    EXPECT_EQ("", GetWindowClassName(nullptr));
    EXPECT_FALSE(IsDialogWindow(window));
    HWND dialog = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(IsDialogWindow(dialog));
    DestroyWindow(dialog);

    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    EXPECT_EQ(icon, GetWindowIcon(window)) << "the big icon when no small one is set";
    EXPECT_NE(nullptr, LoadHandCursor());
    EXPECT_FALSE(IsWin9x());
}

TEST(WindowHelpers, LibrariesLoadWithoutErrorBoxes)
{
    CDynamicLibrary library;
    EXPECT_FALSE(library.Load("kivo-no-such-library.dll"));
    EXPECT_EQ(nullptr, library.GetProc("x"));
    ASSERT_TRUE(library.Load("shlwapi.dll"));
    EXPECT_NE(nullptr, library.GetProc("DllGetVersion"));
    library.Free();
    EXPECT_FALSE(library.IsLoaded());
}

// The Run key is the user's: whatever the test writes there (and the value it writes beside the
// keys of HKEY_CURRENT_USER) is put back however the test ends.
class WindowHelpersRunKey : public testing::Test {
protected:
    static constexpr const char* name = "Kivo Browser Test Entry";
    CSavedRegistryValue m_runEntry{HKEY_CURRENT_USER, kRunKeyPath, name};
    CSavedRegistryValue m_rootEntry{HKEY_CURRENT_USER, "", name};
};

TEST_F(WindowHelpersRunKey, RunAtStartupStoresTheQuotedProgramPathAndReportsRefusals)
{
    ASSERT_TRUE(SetRunAtStartup(name));
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kRunKeyPath, KEY_READ));
    TStdStr<char> stored;
    ASSERT_TRUE(key.QueryStringValue(name, stored));
    EXPECT_EQ("\"" + GetAppWindowInfo()->GetModulePath() + "\"", stored);
    key.Close();

    EXPECT_EQ("\"C:\\Program Files\\Kivo Browser\\KivoBrowser.exe\"",
              MakeRunCommand("C:\\Program Files\\Kivo Browser\\KivoBrowser.exe"));

    ASSERT_TRUE(RemoveRunAtStartup(name));
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kRunKeyPath, KEY_READ));
    EXPECT_FALSE(key.QueryStringValue(name, stored));
    EXPECT_TRUE(RemoveRunAtStartup(name)) << "a value that is not there is removed already";

    // A key that refuses the write: the failure is reported, not hidden behind the opened key.
    EXPECT_FALSE(WriteRunValue(key, name, "C:\\x.exe"));
    ASSERT_TRUE(WriteRunValue(HKEY_CURRENT_USER, name, "C:\\x.exe")); // the key itself is writable
    EXPECT_TRUE(DeleteRunValue(HKEY_CURRENT_USER, name));
    EXPECT_FALSE(DeleteRunValue(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7777)), name));
}

} // namespace
