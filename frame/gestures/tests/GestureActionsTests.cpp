#include "frame/gestures/GestureActions.h"
#include "frame/gestures/GestureRecognizer.h"
#include "frame/gestures/GestureSettings.h"
#include "frame/gestures/UserActions.h"

#include "controls/tests/FakeSettingsStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records which action ran, with its place.
class CRecordingActions : public CBrowserActions {
public:
    std::vector<std::string> runs;

    void RunGoBack(HWND, int x, int y) override { Record("back", x, y); }
    void RunGoForward(HWND, int x, int y) override { Record("forward", x, y); }
    void RunGoToTop(HWND, int x, int y) override { Record("top", x, y); }
    void RunGoToBottom(HWND, int x, int y) override { Record("bottom", x, y); }
    void RunCloseTab(HWND, int x, int y) override { Record("close", x, y); }
    void RunOpenNewForegroundWindow(HWND, int x, int y) override { Record("new", x, y); }
    void RunRefreshDocument(HWND, int x, int y) override { Record("refresh", x, y); }
    void RunReloadDocument(HWND, int x, int y) override { Record("reload", x, y); }
    void RunDuplicateWindow(HWND, int x, int y) override { Record("duplicate", x, y); }
    void RunScrollThroughWindows(HWND, int x, int y) override { Record("scroll", x, y); }
    void RunGoToNextWindow(HWND, int x, int y) override { Record("next", x, y); }
    void RunGoToPreviousWindow(HWND, int x, int y) override { Record("previous", x, y); }
    void RunCloseAllButActive(HWND, int x, int y) override { Record("close others", x, y); }
    void RunUserAction(int userAction, HWND, int x, int y) override
    {
        Record("user " + std::to_string(userAction), x, y);
    }

private:
    void Record(const std::string& what, int x, int y)
    {
        runs.push_back(what + " " + std::to_string(x) + "," + std::to_string(y));
    }
};

}  // namespace

TEST(GestureActions, TheTableNamesAndRunsTheActionsInIndexOrder)
{
    EXPECT_STREQ(GetActionName(0), "Go to previous document in history");
    EXPECT_STREQ(GetActionName(12), "Close all opened windows except the active one");
    EXPECT_STREQ(GetActionName(13), "User Action 0");
    EXPECT_STREQ(GetActionName(22), "User Action 9");
    EXPECT_STREQ(GetActionName(-1), "* Unmapped *");
    EXPECT_STREQ(GetActionName(23), "* Unmapped *");
    EXPECT_FALSE(IsUserActionIndex(12));
    EXPECT_TRUE(IsUserActionIndex(13));
    EXPECT_TRUE(IsUserActionIndex(22));
    EXPECT_FALSE(IsUserActionIndex(23));
    EXPECT_EQ(GetGestureAction(23), nullptr);

    CRecordingActions actions;
    const CGestureAction* table = GetUserActionTable();
    for (int i = 0; i < kGestureActionCount; ++i) {
        EXPECT_EQ(table[i].index, i);
        table[i].Run(actions, nullptr, i, -i);
    }
    const std::vector<std::string> expected = {
        "back 0,0",       "forward 1,-1",  "top 2,-2",       "bottom 3,-3",   "close 4,-4",        "new 5,-5",
        "refresh 6,-6",   "reload 7,-7",   "duplicate 8,-8", "scroll 9,-9",   "next 10,-10",       "previous 11,-11",
        "close others 12,-12", "user 0 13,-13", "user 1 14,-14", "user 2 15,-15", "user 3 16,-16", "user 4 17,-17",
        "user 5 18,-18",  "user 6 19,-19", "user 7 20,-20",  "user 8 21,-21", "user 9 22,-22",
    };
    EXPECT_EQ(actions.runs, expected);
}

TEST(GestureActions, KeyCombinationsReadAsText)
{
    struct Case {
        uint32_t keys;
        const char* text;
    };
    const Case cases[] = {
        {0, ""},
        {kHotKeyControl | kHotKeyAlt | VK_F12, "Ctrl + Alt + F12"},
        {kHotKeyShift | VK_NUMPAD5, "Shift + Num 5"},
        {kHotKeyControl | kHotKeyShift | 'T', "Ctrl + Shift + T"},
        {VK_F1, "F1"},
        {VK_F24, "F24"},
        {'7', "7"},
        {219, "'['"},
        {220, "\\"},
        {189, "'-'"},
        {VK_NEXT, "Page Down"},
        {VK_NUMLOCK, "Num Lock"},
        {VK_DECIMAL, "Num Del"},
        {222, "'"},
        // Keys without a printable character of their own read as words, not as the character of
        // their code ("." for Delete, "," for Print Screen, control characters for the rest).
        {VK_DELETE, "Delete"},
        {VK_SNAPSHOT, "Print Screen"},
        {VK_RETURN, "Enter"},
        {kHotKeyAlt | VK_SPACE, "Alt + Space"},
        {VK_ESCAPE, "Esc"},
        {VK_BACK, "Backspace"},
        {VK_TAB, "Tab"},
        {0xE2, "Key 226"},
        {kHotKeyControl, "Ctrl + "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(FormatHotKeyName(c.keys).c_str()), c.text) << c.keys;
}

TEST(UserActions, AreReadFromTheStoreAndWrittenBackWhenTheyGo)
{
    CFakeSettingsStore store;
    {
        CUserActions actions(store);
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(actions.GetAt(i), 0) << i;
        EXPECT_EQ(actions.GetAt(-1), 0);
        EXPECT_EQ(actions.GetAt(10), 0);
        actions.SetAt(3, static_cast<int>(kHotKeyControl | kHotKeyShift | 0x54));
        actions.SetAt(10, 0x41);  // no such entry: ignored
        EXPECT_EQ(actions.GetAt(3), 0x30054);
        EXPECT_EQ(store.GetInt(kUserActionsSection, "UA3", 7), 7u);  // memory only until the end
    }
    EXPECT_EQ(store.GetInt(kUserActionsSection, "UA3", 7), 0x30054u);
    EXPECT_EQ(store.GetInt(kUserActionsSection, "UA0", 7), 0u);
    EXPECT_EQ(store.GetInt(kUserActionsSection, "UA9", 7), 0u);

    // Stored values that are no key combination read as none.
    store.WriteInt(kUserActionsSection, "UA1", 0xFFFFFFFFu);
    store.WriteInt(kUserActionsSection, "UA2", 0x00100041u);  // an unknown modifier bit
    store.WriteInt(kUserActionsSection, "UA4", 0x000001FFu);  // no virtual key
    store.WriteInt(kUserActionsSection, "UA5", 0x00040070u);  // Alt + F1
    CUserActions reread(store);
    EXPECT_EQ(reread.GetAt(1), 0);
    EXPECT_EQ(reread.GetAt(2), 0);
    EXPECT_EQ(reread.GetAt(3), 0x30054);
    EXPECT_EQ(reread.GetAt(4), 0);
    EXPECT_EQ(reread.GetAt(5), 0x40070);
}

// The display text of an action: its translated name, and for a user action its keys when it has
// any. This runs against the program's own user actions, in the test's private registry.
TEST(GestureActions, AUserActionShowsItsKeysInBrackets)
{
    CUserActions* userActions = GetUserActions();
    ASSERT_NE(userActions, nullptr);
    const int saved = userActions->GetAt(2);
    userActions->SetAt(2, 0);
    EXPECT_EQ(std::string(FormatActionWithHotKey(15).c_str()), "User Action 2");
    userActions->SetAt(2, static_cast<int>(kHotKeyControl | 'K'));
    EXPECT_EQ(std::string(FormatActionWithHotKey(15).c_str()), "User Action 2 [Ctrl + K]");
    userActions->SetAt(2, saved);
    EXPECT_EQ(std::string(FormatActionWithHotKey(6).c_str()), "Refresh document");
    EXPECT_EQ(std::string(FormatActionWithHotKey(40).c_str()), "* Unmapped *");
}

TEST(GestureSettings, NamedGesturesStartWithTheirDefaultActions)
{
    struct Case {
        int id;
        const char* name;
        int action;
    };
    const Case cases[] = {
        {kGestureUp, "Up", 2},          {kGestureDown, "Down", 5},        {kGestureUpDown, "Up-Down", 6},
        {kGestureDownUp, "Down-Up", 8}, {kGestureRight, "Right", 1},      {kGestureLeft, "Left", 0},
        {kGestureRightLeft, "Right-Left", -1}, {kGestureLeftRight, "Left-Right", -1},
        {kGestureDownRight, "Down-Right", 4},  {kGestureUpLeft, "Up-Left", 11},
        {kGestureDownLeft, "Down-Left", 12},   {kGestureUpRight, "Up-Right", 10},
        {kGestureLeftArrow, "Left Arrow", -1}, {kGestureRightArrow, "Right Arrow", -1},
        {kGestureDownArrow, "Down Arrow", -1}, {kGestureUpArrow, "Up Arrow", -1},
        {kGestureClickLeftRight, "Click Left Right", 1}, {kGestureClickRightLeft, "Click Right Left", 0},
        {kGestureMouseWheel, "Mouse Wheel", 9},
    };
    CFakeSettingsStore store;
    const CGestureSettings settings(store);
    EXPECT_EQ(settings.GetFlags(), 1u);
    ASSERT_EQ(settings.GetGestureCount(), std::size(cases));
    int previousId = -1;
    for (size_t n = 0; n < settings.GetGestureCount(); ++n) {
        int id = 0;
        CGestureSettings::Entry entry;
        ASSERT_TRUE(settings.GetGestureEntryAt(n, id, entry));
        EXPECT_GT(id, previousId);  // in id order
        previousId = id;
    }
    for (const Case& c : cases) {
        EXPECT_EQ(GetDefaultGestureAction(c.id), c.action) << c.name;
        EXPECT_STREQ(settings.GetGestureName(c.id), c.name);
        EXPECT_EQ(settings.GetActionIndex(c.id), c.action) << c.name;
        const CGestureAction* action = settings.GetAction(c.id);
        EXPECT_EQ(action ? action->index : -1, c.action) << c.name;
    }
    // The network's shapes without a name carry no action.
    for (int id : std::initializer_list<int>{kGestureRectangle, kGestureZigzag, kGestureCircle, kGestureW, 29, -1}) {
        EXPECT_EQ(GetDefaultGestureAction(id), -1) << id;
        EXPECT_EQ(settings.GetAction(id), nullptr) << id;
        EXPECT_EQ(settings.GetGestureName(id), nullptr) << id;
    }
    int id = 0;
    CGestureSettings::Entry entry;
    EXPECT_FALSE(settings.GetGestureEntryAt(19, id, entry));
    EXPECT_TRUE(settings.IsGestureUnbound(19));
}

TEST(GestureSettings, BindingsAreWrittenAtOnceUnderTheGesturesName)
{
    CFakeSettingsStore store;
    {
        CGestureSettings settings(store);
        EXPECT_TRUE(settings.SetAction(kGestureLeftArrow, 7));
        EXPECT_TRUE(settings.SetAction(kGestureUp, -1));
        EXPECT_FALSE(settings.SetAction(kGestureCircle, 3));
        EXPECT_EQ(store.GetInt(kMouseGesturesSection, "Left Arrow", 99), 7u);
        EXPECT_EQ(static_cast<int>(store.GetInt(kMouseGesturesSection, "Up", 99)), -1);
        EXPECT_EQ(settings.GetAction(kGestureLeftArrow)->index, 7);
        EXPECT_EQ(settings.GetAction(kGestureUp), nullptr);
    }
    // A restart reads them back; damaged values count as no action.
    store.WriteInt(kMouseGesturesSection, "Down", 23);
    store.WriteInt(kMouseGesturesSection, "Right", 0xFFFFFF00u);
    CGestureSettings reread(store);
    EXPECT_EQ(reread.GetActionIndex(kGestureLeftArrow), 7);
    EXPECT_EQ(reread.GetActionIndex(kGestureUp), -1);
    EXPECT_EQ(reread.GetActionIndex(kGestureDown), -1);
    EXPECT_EQ(reread.GetActionIndex(kGestureRight), -1);
    size_t unbound = 0;
    for (size_t n = 0; n < reread.GetGestureCount(); ++n)
        unbound += reread.IsGestureUnbound(n);
    EXPECT_EQ(unbound, 8u);  // Up, Down and Right, and the five others without a default
}

TEST(GestureSettings, WhileGesturesAreOffNoGestureHasAnAction)
{
    CFakeSettingsStore store;
    CGestureSettings settings(store);
    settings.SetFlags(kGestureFlagTrails);
    EXPECT_EQ(store.GetInt(kMouseGesturesSection, "Flags", 99), 2u);
    EXPECT_FALSE(settings.GesturesEnabled());
    EXPECT_TRUE(settings.TrailsEnabled());
    EXPECT_EQ(settings.GetAction(kGestureUp), nullptr);
    EXPECT_EQ(settings.GetActionIndex(kGestureUp), 2);
    settings.SetFlags(kGestureFlagEnabled);
    EXPECT_EQ(settings.GetAction(kGestureUp)->index, 2);
}
