// The "Mouse Actions" and "Mouse Trails" option pages and the "Mouse Gestures" dialog as real
// windows: binding a gesture through the dialog and applying the page stores the binding so a
// fresh gesture settings object (a restart) reads it back; Cancel stores nothing; the enabling
// rules, the rows' colours and the trail page's values and tool tips; screenshots of each.
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "frame/gestures/GestureDlg.h"
#include "frame/gestures/GestureRecognizer.h"
#include "frame/gestures/GestureSettings.h"
#include "frame/gestures/MouseActionsPage.h"
#include "frame/gestures/MouseTrailsPage.h"
#include "frame/gestures/TrailSettings.h"
#include "frame/gestures/UserActions.h"
#include "frame/gestures/tests/GestureTestWindows.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using gesture_test::PumpUntil;

// A top-level window that stands in for the Options dialog's page host.
class CPageHost {
public:
    CPageHost()
    {
        m_window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40, 460, 380, nullptr,
                                     nullptr, ::GetModuleHandleA(nullptr), nullptr);
    }
    ~CPageHost()
    {
        if (m_window)
            ::DestroyWindow(m_window);
    }
    CPageHost(const CPageHost&) = delete;
    CPageHost& operator=(const CPageHost&) = delete;
    operator HWND() const { return m_window; }

    HWND Show(COptionsPage& page)
    {
        HWND window = page.Create(m_window);
        if (window) {
            ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
            RECT rect = {};
            ::GetWindowRect(window, &rect);
            ::SetWindowPos(m_window, nullptr, 0, 0, rect.right - rect.left + 2, rect.bottom - rect.top + 2,
                           SWP_NOMOVE | SWP_NOZORDER);
            PumpUntil([] { return true; });
        }
        return window;
    }

private:
    HWND m_window = nullptr;
};

// Steps run one per timer tick while a modal loop runs (the dialog's own).
std::vector<std::function<void()>> g_steps;
size_t g_step = 0;
void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_step < g_steps.size())
        g_steps[g_step++]();
}

class CModalSteps {
public:
    explicit CModalSteps(std::vector<std::function<void()>> steps)
    {
        g_steps = std::move(steps);
        // Whatever the steps left open is closed, so a failing test cannot hang.
        for (int i = 0; i < 40; ++i)
            g_steps.push_back([] {
                if (HWND dialog = ::FindWindowA("#32770", "Mouse Gestures"))
                    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            });
        g_step = 0;
        m_timer = ::SetTimer(nullptr, 0, 60, StepTimer);
    }
    ~CModalSteps() { ::KillTimer(nullptr, m_timer); }
    CModalSteps(const CModalSteps&) = delete;
    CModalSteps& operator=(const CModalSteps&) = delete;

private:
    UINT_PTR m_timer = 0;
};

HWND GestureDialog()
{
    return ::FindWindowA("#32770", "Mouse Gestures");
}

// Selects the action combo's item whose data is `action`, as a user's choice (the dialog hears
// CBN_SELCHANGE).
void ChooseAction(HWND dialog, int action)
{
    HWND combo = ::GetDlgItem(dialog, IDC_GESTURE_ACTION);
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        if (static_cast<int>(::SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(row), 0)) == action) {
            ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
            ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_GESTURE_ACTION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
            return;
        }
    }
    ADD_FAILURE() << "no item for action " << action;
}

int RowOf(const CGestureSettings& gestures, int gestureId)
{
    for (size_t n = 0; n < gestures.GetGestureCount(); ++n) {
        int id = 0;
        CGestureSettings::Entry entry;
        if (gestures.GetGestureEntryAt(n, id, entry) && id == gestureId)
            return static_cast<int>(n);
    }
    return -1;
}

void SelectRow(HWND list, int row)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string Screenshot(HWND window, const char* name)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpUntil([] { return true; });
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(rect, name, path)) << path;
    return path;
}

class GesturePages : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = GetSettings();
        ASSERT_NE(settings, nullptr);
        settings->SkipSaveAtExit();
        store = GetSettingsStore();
        ASSERT_NE(store, nullptr);
        // Every test starts from the defaults: no stored binding, no stored keys.
        CGestureSettings reset(*store);
        for (size_t n = 0; n < reset.GetGestureCount(); ++n) {
            int id = 0;
            CGestureSettings::Entry entry;
            if (reset.GetGestureEntryAt(n, id, entry))
                reset.SetAction(id, GetDefaultGestureAction(id));
        }
        reset.SetFlags(kGestureFlagsDefault);
        CUserActions keys(*store);
        for (int i = 0; i < kUserActionCount; ++i)
            keys.SetAt(i, 0);
        settings->SetFlagWord(EFlagWord::SysFlags, 0);
    }

    CSettings* settings = nullptr;
    CSettingsStore* store = nullptr;
};

TEST(HotKeyComposition, AKeyTakesItsModifiersModifiersAloneKeepThePreviousAndNothingClears)
{
    const struct {
        int previous;
        WORD hotKey;
        int expected;
    } cases[] = {
        {0, MAKEWORD('A', HOTKEYF_CONTROL), (HOTKEYF_CONTROL << 16) | 'A'},
        {0x30041, MAKEWORD(VK_F5, 0), VK_F5},
        {0x30041, MAKEWORD(0, HOTKEYF_CONTROL), 0x30041},  // Ctrl alone keeps the combination
        {0x30041, MAKEWORD(0, 0), 0},
        {0, MAKEWORD(VK_LEFT, HOTKEYF_ALT | HOTKEYF_EXT), ((HOTKEYF_ALT | HOTKEYF_EXT) << 16) | VK_LEFT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComposeHotKeyCombination(c.previous, c.hotKey), c.expected) << std::hex << c.hotKey;
    EXPECT_EQ(HotKeyControlValue((HOTKEYF_SHIFT << 16) | 'Z'), MAKEWORD('Z', HOTKEYF_SHIFT));
}

TEST(MouseActionsRows, GreyWhileOffLightGreyWhenUnboundWindowColourOtherwise)
{
    EXPECT_EQ(CMouseActionsPage::RowBackground(false, 0), CMouseActionsPage::kDisabledRowColor);
    EXPECT_EQ(CMouseActionsPage::RowBackground(true, kNoGestureAction), CMouseActionsPage::kUnboundRowColor);
    EXPECT_EQ(CMouseActionsPage::RowBackground(true, kGestureActionCount), CMouseActionsPage::kUnboundRowColor);
    EXPECT_EQ(CMouseActionsPage::RowBackground(true, 22), ::GetSysColor(COLOR_WINDOW));
}

// The whole path of a binding: the dialog picks "User Action 3" with Ctrl+Shift+K for "Up", the
// page applies, and settings read afresh from the store have both.
TEST_F(GesturePages, ABindingMadeInTheDialogSurvivesARestartOnceApplied)
{
    CGestureSettings gestures(*store);
    CUserActions userActions(*store);
    CPageHost host;
    CMouseActionsPage page(settings, &gestures, &userActions);
    ASSERT_TRUE(host.Show(page));
    HWND list = page.GetDlgItem(IDC_GESTURE_LIST);
    const int up = RowOf(gestures, kGestureUp);
    ASSERT_GE(up, 0);
    EXPECT_EQ(page.GetActionText(static_cast<size_t>(up)), "Go to top of document");
    EXPECT_FALSE(::IsWindowEnabled(page.GetDlgItem(IDC_GESTURE_EDIT))) << "no row selected";
    SelectRow(list, up);
    EXPECT_TRUE(::IsWindowEnabled(page.GetDlgItem(IDC_GESTURE_EDIT)));

    const int combination = ((HOTKEYF_CONTROL | HOTKEYF_SHIFT) << 16) | 'K';
    std::string dialogShot;
    bool keyEnabledForUserAction = false;
    bool keyDisabledForRefresh = false;
    {
        CModalSteps steps({[&] {
                               HWND dialog = GestureDialog();
                               ASSERT_TRUE(dialog);
                               ChooseAction(dialog, 6);  // "Refresh document": no keys
                               keyDisabledForRefresh = !::IsWindowEnabled(::GetDlgItem(dialog, IDC_GESTURE_HOT_KEY));
                               ChooseAction(dialog, kFirstUserAction + 3);
                               HWND hotKey = ::GetDlgItem(dialog, IDC_GESTURE_HOT_KEY);
                               keyEnabledForUserAction = ::IsWindowEnabled(hotKey) != FALSE;
                               ::SendMessageA(hotKey, HKM_SETHOTKEY, HotKeyControlValue(combination), 0);
                               ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_GESTURE_HOT_KEY, EN_CHANGE),
                                              reinterpret_cast<LPARAM>(hotKey));
                           },
                           [&] { dialogShot = Screenshot(GestureDialog(), "gesture-dialog.bmp"); },
                           [&] { ::PostMessageA(GestureDialog(), WM_COMMAND, IDOK, 0); }});
        page.EditSelected();
    }
    EXPECT_TRUE(keyDisabledForRefresh);
    EXPECT_TRUE(keyEnabledForUserAction);
    EXPECT_EQ(page.GetEditedAction(static_cast<size_t>(up)), kFirstUserAction + 3);
    EXPECT_EQ(page.GetActionText(static_cast<size_t>(up)), "User Action 3 [Ctrl + Shift + K]");
    EXPECT_EQ(gestures.GetActionIndex(kGestureUp), 2) << "nothing changes before Apply";
    EXPECT_EQ(userActions.GetAt(3), 0);
    Screenshot(host, "mouse-actions-page.bmp");

    EXPECT_EQ(page.OnApply(), 0);
    userActions.Save();
    CGestureSettings restarted(*store);
    EXPECT_EQ(restarted.GetActionIndex(kGestureUp), kFirstUserAction + 3);
    CUserActions restartedKeys(*store);
    EXPECT_EQ(restartedKeys.GetAt(3), combination);
    page.DestroyWindow();
}

TEST_F(GesturePages, CancelStoresNothingThatTheDialogOrRestoreChanged)
{
    CGestureSettings gestures(*store);
    gestures.SetAction(kGestureRightLeft, 7);
    CUserActions userActions(*store);
    CPageHost host;
    CMouseActionsPage page(settings, &gestures, &userActions);
    ASSERT_TRUE(host.Show(page));
    const int rightLeft = RowOf(gestures, kGestureRightLeft);
    page.RestoreDefaults();
    EXPECT_EQ(page.GetEditedAction(static_cast<size_t>(rightLeft)), kNoGestureAction);
    EXPECT_EQ(page.GetActionText(static_cast<size_t>(rightLeft)), "* Unmapped *");
    ::SendMessageA(page.GetDlgItem(IDC_ENABLE_GESTURES), BM_CLICK, 0, 0);
    page.OnCancel();
    page.DestroyWindow();
    CGestureSettings restarted(*store);
    EXPECT_EQ(restarted.GetActionIndex(kGestureRightLeft), 7);
    EXPECT_TRUE(restarted.GesturesEnabled());
}

TEST_F(GesturePages, TheBoxesFollowTheirBitsAndGreyTheirControls)
{
    settings->SetFlagWord(EFlagWord::SysFlags, SysFlag::MiddleClickLeftToPage);
    CGestureSettings gestures(*store);
    CUserActions userActions(*store);
    CPageHost host;
    CMouseActionsPage page(settings, &gestures, &userActions);
    ASSERT_TRUE(host.Show(page));
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_MIDDLE_CLICK_NEW_TAB), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(::IsWindowEnabled(page.GetDlgItem(IDC_MIDDLE_CLICK_PLACE)));
    EXPECT_EQ(::SendDlgItemMessageA(page, IDC_MIDDLE_CLICK_PLACE, CB_GETCURSEL, 0, 0), 1) << "in Background";

    ::SendMessageA(page.GetDlgItem(IDC_MIDDLE_CLICK_NEW_TAB), BM_CLICK, 0, 0);
    EXPECT_TRUE(::IsWindowEnabled(page.GetDlgItem(IDC_MIDDLE_CLICK_PLACE)));
    ::SendDlgItemMessageA(page, IDC_MIDDLE_CLICK_PLACE, CB_SETCURSEL, 0, 0);  // in Foreground

    SelectRow(page.GetDlgItem(IDC_GESTURE_LIST), 0);
    ::SendMessageA(page.GetDlgItem(IDC_ENABLE_GESTURES), BM_CLICK, 0, 0);
    for (int id : {IDC_GESTURE_LIST, IDC_GESTURE_RESTORE_DEFAULTS, IDC_GESTURE_EDIT})
        EXPECT_FALSE(::IsWindowEnabled(page.GetDlgItem(id))) << id;
    Screenshot(host, "mouse-actions-page-off.bmp");

    // The edit button's tool tip.
    HWND tip = page.GetEditToolTip();
    ASSERT_TRUE(tip);
    char tipText[32] = {};
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = page.m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(page.GetDlgItem(IDC_GESTURE_EDIT));
    tool.lpszText = tipText;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof(tipText), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(tipText, "Edit");

    EXPECT_EQ(page.OnApply(), 0);
    const DWORD sysFlags = settings->GetFlagWord(EFlagWord::SysFlags);
    EXPECT_EQ(sysFlags & SysFlag::MiddleClickLeftToPage, 0u);
    EXPECT_EQ(sysFlags & SysFlag::MiddleClickForeground, SysFlag::MiddleClickForeground);
    EXPECT_FALSE(CGestureSettings(*store).GesturesEnabled());
    page.DestroyWindow();
    EXPECT_FALSE(::IsWindow(tip)) << "the tool tip goes with the page";
}

TEST(GestureDialog, RestoreDefaultsSelectsTheGesturesOwnDefaultAndCancelKeepsTheCopies)
{
    const struct {
        int gesture;
        int expected;
    } cases[] = {{kGestureLeft, 0}, {kGestureRightLeft, kNoGestureAction}};
    for (const auto& c : cases) {
        int action = 12;
        CUserActionKeys keys = {};
        keys[3] = 0x20041;
        CGestureDlg dialog(c.gesture, "gesture", action, keys);
        int restored = -2;
        int shownKey = -1;
        {
            CModalSteps steps({[&] {
                                   HWND window = GestureDialog();
                                   ASSERT_TRUE(window);
                                   ChooseAction(window, kFirstUserAction + 3);
                                   shownKey = static_cast<int>(
                                       ::SendDlgItemMessageA(window, IDC_GESTURE_HOT_KEY, HKM_GETHOTKEY, 0, 0));
                                   ::SendMessageA(window, WM_COMMAND, IDC_GESTURE_RESTORE_DEFAULTS, 0);
                                   restored = dialog.GetSelectedAction();
                               },
                               [&] { ::PostMessageA(GestureDialog(), WM_COMMAND, IDCANCEL, 0); }});
            EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        }
        EXPECT_EQ(shownKey, HotKeyControlValue(0x20041)) << "user action 3 shows its stored keys";
        EXPECT_EQ(restored, c.expected);
        EXPECT_EQ(action, 12) << "Cancel keeps the caller's action";
    }
}

TEST(TrailTips, TransparencyAsAPercentageAndFadeSpeedInWords)
{
    EXPECT_EQ(TrailTransparencyTip(0, 0, 255), "0%");
    EXPECT_EQ(TrailTransparencyTip(255, 0, 255), "100%");
    EXPECT_EQ(TrailTransparencyTip(128, 0, 255), "50%");
    const struct {
        int position;
        const char* text;
    } fades[] = {{0, "Slow"}, {63, "Slow"}, {64, "Normal"}, {192, "Normal"}, {193, "Fast"}, {255, "Fast"}};
    for (const auto& c : fades)
        EXPECT_EQ(TrailFadeSpeedTip(c.position), c.text) << c.position;
}

TEST_F(GesturePages, TheTrailsPageStoresItsLookOnApplyOnly)
{
    CGestureSettings gestures(*store);
    CTrailSettings trails(*store, &gestures);
    trails.SetLook(kTrailColorDefault, kTrailTransparencyDefault, kTrailWidthDefault, kTrailFadeSpeedDefault);
    CPageHost host;
    CMouseTrailsPage page(&gestures, &trails);
    ASSERT_TRUE(host.Show(page));
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_ENABLE_TRAILS), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(::IsWindowEnabled(page.GetDlgItem(IDC_TRAIL_THICKNESS)));
    EXPECT_EQ(::SendDlgItemMessageA(page, IDC_TRAIL_TRANSPARENCY, TBM_GETPOS, 0, 0), 255 - kTrailTransparencyDefault);
    EXPECT_TRUE(page.GetPreview().IsHooked());

    ::SendMessageA(page.GetDlgItem(IDC_ENABLE_TRAILS), BM_CLICK, 0, 0);
    EXPECT_TRUE(::IsWindowEnabled(page.GetDlgItem(IDC_TRAIL_THICKNESS)));
    page.GetColorPicker().SetColor(RGB(0, 128, 0));
    ::SendDlgItemMessageA(page, IDC_TRAIL_THICKNESS, TBM_SETPOS, TRUE, 4);
    ::SendDlgItemMessageA(page, IDC_TRAIL_TRANSPARENCY, TBM_SETPOS, TRUE, 255);
    ::SendDlgItemMessageA(page, IDC_TRAIL_FADE_SPEED, TBM_SETPOS, TRUE, 40);
    page.ApplyPreview();
    ASSERT_NE(page.GetPreview().GetTrailWindow(), nullptr);
    Screenshot(host, "mouse-trails-page.bmp");
    EXPECT_EQ(CTrailSettings(*store, &gestures).GetWidth(), kTrailWidthDefault) << "nothing stored yet";

    // A press over the test area starts a stroke; one outside it does not.
    RECT area = {};
    ::GetWindowRect(page.GetDlgItem(IDC_TRAIL_TEST_AREA), &area);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_FALSE(page.OnRButtonDown(page, POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2}, MK_RBUTTON));
    EXPECT_TRUE(page.OnRButtonDown(page, POINT{area.left - 3, area.bottom + 3}, MK_RBUTTON));

    EXPECT_EQ(page.OnApply(), 0);
    CGestureSettings restartedGestures(*store);
    EXPECT_TRUE(restartedGestures.TrailsEnabled());
    CTrailSettings restarted(*store, &restartedGestures);
    EXPECT_EQ(restarted.GetColor(), RGB(0, 128, 0));
    EXPECT_EQ(restarted.GetWidth(), 4);
    EXPECT_EQ(restarted.GetTransparency(), 0) << "a transparency slider at 255 stores 0";
    EXPECT_EQ(restarted.GetFadeSpeed(), 40);
    page.DestroyWindow();
    EXPECT_FALSE(page.GetPreview().IsHooked());
    gestures.SetFlags(kGestureFlagsDefault);
}

}  // namespace
