// The program's message box and the window functions around it: the box is captioned with the
// program's title, hangs from the main window, shows a page's text as it is (never as a format)
// and answers with the button pressed; a minimised window brought to the front is restored.
#include "controls/widgets/WindowUtilities.h"

#include "core/library/AppWindowInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kOwnerClass = "KivoMessageBoxOwner";
constexpr int kMessageTextId = 0xFFFF;  // the static control that holds a message box's text

// What the timer found of the message box, and the button it pressed.
struct CSeenBox {
    bool seen = false;
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    int press = IDOK;
};
CSeenBox g_box;

BOOL CALLBACK FindBox(HWND window, LPARAM)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof(className));
    if (std::string(className) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    char caption[128] = {};
    GetWindowTextA(window, caption, sizeof(caption));
    char text[512] = {};
    GetDlgItemTextA(window, kMessageTextId, text, sizeof(text));
    g_box.seen = true;
    g_box.caption = caption;
    g_box.text = text;
    g_box.owner = GetWindow(window, GW_OWNER);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(g_box.press, BN_CLICKED), 0);
    return FALSE;
}

// Runs inside the message box's own loop.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_box.seen)
        EnumThreadWindows(GetCurrentThreadId(), FindBox, 0);
}

HWND MakeWindow(const char* title)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kOwnerClass;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, kOwnerClass, title, WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

} // namespace

TEST(ProgramMessageBox, IsCaptionedWithTheProgramsTitleHangsFromTheMainWindowAndGivesTheButtonPressed)
{
    CAppWindowInfo* info = GetAppWindowInfo();
    ASSERT_NE(info, nullptr);
    HWND main = MakeWindow("main");
    ASSERT_NE(main, nullptr);
    const HWND before = info->GetMainWindow();
    info->SetMainWindow(main);
    EXPECT_EQ(GetMessageBoxOwner(), main);

    const struct {
        int press;
        UINT type;
    } cases[] = {{IDOK, MB_OK}, {IDCANCEL, MB_OKCANCEL | MB_ICONQUESTION}, {IDNO, MB_YESNO}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press);
        g_box = CSeenBox{};
        g_box.press = c.press;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBox);
        // A page's text with printf's marks in it is shown as it is.
        const int answer = ShowMessageBox(c.type, "The page says: %s", "100% sure: %d %s %n");
        KillTimer(nullptr, timer);
        ASSERT_TRUE(g_box.seen);
        EXPECT_EQ(answer, c.press);
        EXPECT_EQ(g_box.caption, std::string(info->GetProgramTitle().c_str()));
        EXPECT_EQ(g_box.text, "The page says: 100% sure: %d %s %n");
        EXPECT_EQ(g_box.owner, main);
    }
    info->SetMainWindow(before);
    DestroyWindow(main);
    // A main window that is gone is no owner.
    EXPECT_NE(GetMessageBoxOwner(), main);
}

TEST(WindowFront, AMinimisedWindowBroughtToTheFrontIsRestoredAndShown)
{
    HWND window = MakeWindow("front");
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(window));
    BringWindowToFront(window);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));

    HWND hidden = MakeWindow("hidden");
    ASSERT_NE(hidden, nullptr);
    ASSERT_FALSE(IsWindowVisible(hidden));
    BringWindowToFront(hidden);
    EXPECT_TRUE(IsWindowVisible(hidden));
    EXPECT_TRUE(HaveSameTopLevelParent(hidden, hidden));
    EXPECT_FALSE(HaveSameTopLevelParent(hidden, window));
    EXPECT_FALSE(HaveSameTopLevelParent(hidden, nullptr));
    DestroyWindow(hidden);
    DestroyWindow(window);
}
