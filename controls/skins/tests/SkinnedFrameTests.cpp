// Skinned frames on real windows: the subclassing registry's dispatch order, the frame's look
// (pixels of each border), its region, its caption buttons clicked with real mouse input, the
// standard frame given back when the skin is switched off, and screenshots of a top-level window
// and a dialog in each shipped skin and without one.
#include "controls/skins/FrameSkinManager.h"
#include "controls/skins/SkinnedWindow.h"
#include "controls/skins/SubclassRegistry.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "controls/tests/Screenshot.h"
#include "core/tests/SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skin_test;

namespace {

class CRecordingHook : public CWindowHook {
public:
    CRecordingHook(std::vector<std::string>& log, std::string name, UINT handles)
        : m_log(log), m_name(std::move(name)), m_handles(handles)
    {
    }
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message != m_handles && message != WM_USER + 7)
            return false;
        m_log.push_back(m_name);
        if (message == WM_USER + 7) {
            result = CallNext(message, wParam, lParam) + 1;  // counts the hooks on the way down
            return true;
        }
        result = 42;
        return true;
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
    UINT m_handles;
};

UINT g_lastUserMessage = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 7)
        return 100;
    if (message >= WM_USER)
        g_lastUserMessage = message;
    return DefWindowProcA(window, message, wParam, lParam);
}

POINT ScreenPointOf(HWND window, const RECT& windowRelative)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.left + (windowRelative.left + windowRelative.right) / 2,
            rect.top + (windowRelative.top + windowRelative.bottom) / 2};
}

void ClickAt(POINT point)
{
    ClickAtScreen(point);
}

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

}  // namespace

TEST(SubclassRegistry, TheNewestHookSeesMessagesFirstAndAllLetGoAtTheEnd)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KivoSubclassTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "KivoSubclassTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    std::vector<std::string> log;
    CRecordingHook older(log, "older", WM_USER + 1);
    CRecordingHook newer(log, "newer", WM_USER + 2);
    CSubclassRegistry& registry = *GetSubclassRegistry();
    ASSERT_TRUE(registry.Attach(&older, window));
    ASSERT_TRUE(registry.Attach(&newer, window));
    EXPECT_FALSE(registry.Attach(&newer, window));  // once only
    EXPECT_EQ(registry.GetHookCount(window), 2u);

    // Both hooks pass WM_USER + 7 down: newest first, then the older, then the window's own procedure.
    EXPECT_EQ(SendMessageA(window, WM_USER + 7, 0, 0), 102);
    EXPECT_EQ(log, (std::vector<std::string>{"newer", "older"}));
    log.clear();
    EXPECT_EQ(SendMessageA(window, WM_USER + 1, 0, 0), 42);  // the older one's, after the newer passed
    EXPECT_EQ(log, (std::vector<std::string>{"older"}));
    g_lastUserMessage = 0;
    SendMessageA(window, WM_USER + 3, 0, 0);
    EXPECT_EQ(g_lastUserMessage, WM_USER + 3u);  // unhandled: the previous procedure

    // Detaching the newer one leaves the older; destruction lets go of both and restores the procedure.
    ASSERT_TRUE(registry.Detach(&newer));
    EXPECT_EQ(newer.GetHookedWindow(), nullptr);
    ASSERT_TRUE(registry.Attach(&newer, window));
    DestroyWindow(window);
    EXPECT_EQ(older.GetHookedWindow(), nullptr);
    EXPECT_EQ(newer.GetHookedWindow(), nullptr);
    EXPECT_FALSE(registry.IsHooked(window));
}

class SkinnedFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeTwelvePartSkin(m_skins, "Test", "systemicon=1\r\nsyspos=8,4\r\n"));
        ASSERT_TRUE(MakeTwelvePartSkin(m_skins, "Round", "framerect=5,22,5,5\r\nframecorner=20\r\n"));
        m_manager = std::make_unique<CFrameSkinManager>(m_folder.Path(), "Test");
        ASSERT_TRUE(m_manager->IsSkinActive());
    }
    void TearDown() override { m_manager.reset(); }

    CScratchFolder m_folder{"skinned-frames"};
    std::string m_skins = m_folder.Path().c_str();
    std::unique_ptr<CFrameSkinManager> m_manager;
};

TEST_F(SkinnedFrame, BordersRegionAndHitTestsFollowTheSkin)
{
    HWND frame = CreateTestFrame("Skinned frame", 60, 60, 320, 220);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(m_manager->AttachWindow(frame));
    EXPECT_TRUE(m_manager->AttachWindow(frame));  // a second call changes nothing
    EXPECT_FALSE(GetWindowLongPtrA(frame, GWL_STYLE) & WS_BORDER);
    SetForegroundWindow(frame);
    RedrawWindow(frame, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpPending();

    RECT window = {};
    GetWindowRect(frame, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    // The region: the magenta cut of the top-left corner is outside the window, the rest inside.
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(frame, region), ERROR);
    EXPECT_FALSE(region.PtInRegion(0, 0));
    EXPECT_FALSE(region.PtInRegion(kCornerCut - 2, 0));
    EXPECT_TRUE(region.PtInRegion(kCornerCut + 1, 0));
    EXPECT_TRUE(region.PtInRegion(width - 1, height - 1));

    // Pixels of every border as the screen shows them.
    EXPECT_EQ(ScreenPixel(window.left + width / 2, window.top + kTopHeight / 2), kTopColour);
    EXPECT_EQ(ScreenPixel(window.left + 2, window.top + height / 2), kLeftColour);
    EXPECT_EQ(ScreenPixel(window.right - 3, window.top + height / 2), kRightColour);
    EXPECT_EQ(ScreenPixel(window.left + width / 2, window.bottom - 2), kBottomColour);
    // The client area starts below the caption band.
    POINT origin = {0, 0};
    ClientToScreen(frame, &origin);
    EXPECT_GE(origin.y - window.top, kTopHeight - CSkinnedWindow::kFrameAllowance);

    // The caption band answers HTCAPTION, the buttons have their rectangles.
    const LPARAM inCaption = MAKELPARAM(window.left + width / 2, window.top + 10);
    EXPECT_EQ(SendMessageA(frame, WM_NCHITTEST, 0, inCaption), HTCAPTION);
    CSkinnedWindow* record = m_manager->FindWindowRecord(frame);
    ASSERT_NE(record, nullptr);
    const struct {
        int code;
        int x;
    } buttons[] = {{HTCLOSE, width - 20}, {HTMAXBUTTON, width - 38}, {HTMINBUTTON, width - 56}, {HTSYSMENU, 8}};
    for (const auto& button : buttons) {
        const RECT rect = record->ButtonRect(button.code);
        EXPECT_EQ(rect.left, button.x) << button.code;
        EXPECT_EQ(rect.top, 4) << button.code;
        EXPECT_EQ(record->ButtonHitTest({window.left + button.x + 3, window.top + 8}), button.code);
    }
    EXPECT_EQ(record->ButtonHitTest({window.left + width / 2, window.top + 8}), 0);

    // The fill mode: a round region of the corner's diameter.
    ASSERT_TRUE(m_manager->LoadSkin("Round", nullptr, false));
    ASSERT_NE(GetWindowRgn(frame, region), ERROR);
    EXPECT_FALSE(region.PtInRegion(1, 1));
    EXPECT_TRUE(region.PtInRegion(width / 2, 1));

    // No skin: no region, the frame's own border back.
    ASSERT_TRUE(m_manager->LoadSkin("", nullptr, false));
    EXPECT_EQ(GetWindowRgn(frame, region), ERROR);
    EXPECT_TRUE(GetWindowLongPtrA(frame, GWL_STYLE) & WS_BORDER);
    DestroyWindow(frame);
    EXPECT_FALSE(m_manager->IsAttached(frame));
}

TEST_F(SkinnedFrame, CaptionButtonsMinimiseMaximiseAndCloseTheWindow)
{
    HWND frame = CreateTestFrame("Buttons", 80, 80, 320, 220);
    ASSERT_TRUE(m_manager->AttachWindow(frame));
    SetForegroundWindow(frame);
    PumpPending();
    CSkinnedWindow* record = m_manager->FindWindowRecord(frame);
    ASSERT_NE(record, nullptr);

    const POINT minPoint = ScreenPointOf(frame, record->ButtonRect(HTMINBUTTON));
    ClickAt(minPoint);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(frame) != FALSE; }));
    ShowWindow(frame, SW_RESTORE);
    SetForegroundWindow(frame);
    PumpPending();
    ClickAt(ScreenPointOf(frame, record->ButtonRect(HTMAXBUTTON)));
    EXPECT_TRUE(PumpUntil([&] { return IsZoomed(frame) != FALSE; }));
    ClickAt(ScreenPointOf(frame, record->ButtonRect(HTMAXBUTTON)));  // now restores
    EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(frame); }));
    EXPECT_EQ(record->GetPressedCode(), 0);
    DestroyWindow(frame);

    // A second window for the close button: Wine lets the first click after a restore from the
    // maximised size go astray while the display still moves the window back.
    HWND second = CreateTestFrame("Close me", 120, 120, 300, 200);
    ASSERT_TRUE(m_manager->AttachWindow(second));
    SetForegroundWindow(second);
    PumpPending();
    CSkinnedWindow* secondRecord = m_manager->FindWindowRecord(second);
    ASSERT_NE(secondRecord, nullptr);
    ClickAt(ScreenPointOf(second, secondRecord->ButtonRect(HTCLOSE)));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(second); }));
    EXPECT_FALSE(m_manager->IsAttached(second));
}

TEST_F(SkinnedFrame, APressReleasedElsewhereOrOnAnUnavailableButtonPostsNothing)
{
    HWND frame = CreateTestFrame("No maximise", 100, 100, 300, 200, WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX);
    ASSERT_TRUE(m_manager->AttachWindow(frame));
    CSkinnedWindow* record = m_manager->FindWindowRecord(frame);
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->GetButtonState(HTMAXBUTTON) & STATE_SYSTEM_UNAVAILABLE);
    PumpPending();

    // Pressed on close, released over the caption: no command, the normal image again.
    const POINT close = ScreenPointOf(frame, record->ButtonRect(HTCLOSE));
    SendMessageA(frame, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(close.x, close.y));
    EXPECT_EQ(record->GetPressedCode(), HTCLOSE);
    POINT elsewhere = {close.x - 120, close.y};
    ScreenToClient(frame, &elsewhere);
    SendMessageA(frame, WM_LBUTTONUP, 0, MAKELPARAM(elsewhere.x, elsewhere.y));
    EXPECT_EQ(record->GetPressedCode(), 0);
    // The unavailable maximise button: pressed and released on it, nothing.
    ClickAt(ScreenPointOf(frame, record->ButtonRect(HTMAXBUTTON)));
    // A double click on the system icon closes the window, once.
    const POINT sys = ScreenPointOf(frame, record->ButtonRect(HTSYSMENU));
    SendMessageA(frame, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(sys.x, sys.y));
    int closes = 0;
    MSG message;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 300 || PeekMessageA(&message, frame, 0, 0, PM_NOREMOVE)) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_SYSCOMMAND && message.hwnd == frame) {
            EXPECT_EQ(message.wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));  // never SC_MAXIMIZE
            ++closes;
            continue;  // not dispatched: the window stays for the checks below
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(IsZoomed(frame));

    // A window without both boxes has no minimise or maximise area at all.
    HWND tool = CreateTestFrame("No boxes", 120, 120, 200, 120, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    ASSERT_TRUE(m_manager->AttachWindow(tool));
    CSkinnedWindow* toolRecord = m_manager->FindWindowRecord(tool);
    RECT maxRect = toolRecord->ButtonRect(HTMAXBUTTON);
    EXPECT_TRUE(IsRectEmpty(&maxRect));
    RECT closeRect = toolRecord->ButtonRect(HTCLOSE);
    EXPECT_FALSE(IsRectEmpty(&closeRect));
    DestroyWindow(tool);
    DestroyWindow(frame);
}

TEST_F(SkinnedFrame, ADialogKeepsItsClientSizeUnderEverySkinAndWithout)
{
    ASSERT_TRUE(m_manager->LoadSkin("", nullptr, false));
    HWND dialog = CreateTestDialog("Dialog", 150, 150);
    ASSERT_NE(dialog, nullptr);
    RECT before = {};
    GetClientRect(dialog, &before);
    const auto clientSize = [&] {
        RECT client = {};
        GetClientRect(dialog, &client);
        return client;
    };
    EXPECT_FALSE(m_manager->AttachWindow(dialog));  // no skin yet: attached, but plain
    for (const char* skin : {"Test", "Round", "", "Test"}) {
        m_manager->LoadSkin(skin, nullptr, false);
        const RECT now = clientSize();
        EXPECT_EQ(now.right, before.right) << skin;
        EXPECT_EQ(now.bottom, before.bottom) << skin;
        EXPECT_EQ((GetWindowLongPtrA(dialog, GWL_STYLE) & WS_BORDER) != 0, !*skin) << skin;
    }
    DestroyWindow(dialog);
}

// Every shipped skin, and none, on a top-level window and a dialog.
TEST(ShippedSkins, FramesAndDialogsInEachSkinAndWithout)
{
    CScratchFolder folder("shipped-skins");
    const CStdString source = SourceFolder(KIVO_SKINS_DIR);
    for (const char* skin : {"Slate", "Ember"}) {
        const CStdString target = folder.Path() + skin + "\\";
        CreateDirectoryA(target.c_str(), nullptr);
        WIN32_FIND_DATAA found = {};
        HANDLE search = FindFirstFileA((source + skin + "\\*.*").c_str(), &found);
        ASSERT_NE(search, INVALID_HANDLE_VALUE) << skin;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                CopyFileA((source + skin + "\\" + found.cFileName).c_str(), (target + found.cFileName).c_str(), FALSE);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    CFrameSkinManager manager(folder.Path(), "");
    ASSERT_EQ(manager.GetSkinCount(), 2u);

    HWND frame = CreateTestFrame("Kivo Browser - skinned window", 20, 20, 420, 260);
    HWND dialog = CreateTestDialog("Kivo Browser dialog", 20, 300);
    ASSERT_TRUE(frame && dialog);
    manager.AttachWindow(frame);
    manager.AttachWindow(dialog);
    for (const char* skin : {"Slate", "Ember", ""}) {
        ASSERT_TRUE(manager.LoadSkin(skin, nullptr, false));
        EXPECT_EQ(manager.IsSkinActive(), *skin != 0);
        for (HWND window : {frame, dialog}) {
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        // Wine copies a window's pixels to the display a moment after they are painted: wait
        // until the caption band (skinned) or the client area (plain) shows something else than
        // the black of an unpainted window. Without a window manager on the test display nobody
        // draws a plain window's own frame, so it stays black in the plain pictures.
        for (HWND window : {frame, dialog}) {
            RECT shown = {};
            GetWindowRect(window, &shown);
            POINT probe = {(shown.left + shown.right) / 2, shown.top + 8};
            if (!*skin) {
                probe = {20, 20};
                ClientToScreen(window, &probe);
            }
            EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(probe.x, probe.y) != RGB(0, 0, 0); })) << skin;
        }
        const std::string name = *skin ? skin : "NoSkin";
        RECT rect = {};
        std::string path;
        GetWindowRect(frame, &rect);
        EXPECT_TRUE(kivo_test::WriteScreenRect(rect, ("skin-" + name + "-frame.bmp").c_str(), path)) << path;
        GetWindowRect(dialog, &rect);
        EXPECT_TRUE(kivo_test::WriteScreenRect(rect, ("skin-" + name + "-dialog.bmp").c_str(), path)) << path;
        if (*skin) {
            // The skin's caption colour shows in the caption band, not the system's.
            GetWindowRect(frame, &rect);
            EXPECT_NE(ScreenPixel((rect.left + rect.right) / 2 - 40, rect.top + 3), GetSysColor(COLOR_ACTIVECAPTION));
        }
    }
    DestroyWindow(dialog);
    DestroyWindow(frame);
}
