// The colour picker: the keyboard order of its pop-up as a table, and the real pop-up loop driven
// by input posted while it runs: a colour chosen from the palette with the mouse, "Default" by
// the keyboard, a right click that cancels, and "More Colors..." through the system colour
// dialog; the parent hears each step in order.
#include "controls/widgets/ColorPicker.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace skin_test;

TEST(ColorPicker, KeyboardOrderWrapsThroughTheTextButtons)
{
    const int more = CColorPicker::kItemMore;
    const int def = CColorPicker::kItemDefault;
    const int none = CColorPicker::kItemNone;
    const struct {
        int from, step;
        bool hasDefault, hasMore;
        int expected;
    } cases[] = {
        {35, 8, true, true, more},  {more, 1, true, true, def},  {def, -1, true, true, more},
        {none, 1, true, true, def}, {none, -1, true, true, more}, {0, 1, true, true, 1},
        {7, 1, true, true, 8},      {3, -8, true, true, def},     {def, 8, true, true, 7},
        {def, 1, true, true, 0},    {39, 1, true, true, more},    {none, 1, false, true, 0},
        {0, -1, false, true, more}, {more, 1, false, true, 0},    {39, 1, false, false, 0},
        {2, -8, false, true, more},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CColorPicker::NextItem(c.from, c.step, c.hasDefault, c.hasMore), c.expected)
            << c.from << " " << c.step << " " << c.hasDefault;
}

namespace {

std::vector<UINT> g_codes;
COLORREF g_lastColor = 0;

class CPickerParent : public CWindowImpl<CPickerParent, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
public:
    DECLARE_WND_CLASS_EX("KivoColorPickerParent", 0, COLOR_BTNFACE)
    BEGIN_MSG_MAP(CPickerParent)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
    LRESULT OnNotify(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
    {
        const auto* notify = reinterpret_cast<const CColorPickerNotify*>(lParam);
        if (notify->header.code >= kColorPickerChanged && notify->header.code <= kColorPickerCancelled) {
            g_codes.push_back(notify->header.code);
            g_lastColor = notify->color;
            return 0;
        }
        return ReflectNotifications(message, wParam, lParam, handled);
    }
};

std::vector<std::function<void()>> g_steps;
size_t g_step = 0;
void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_step < g_steps.size())
        g_steps[g_step++]();
}

LPARAM PopupPoint(CColorPicker& picker, int item)
{
    RECT rect = picker.GetItemScreenRect(item);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ScreenToClient(picker.GetPopup(), &centre);
    return MAKELPARAM(centre.x, centre.y);
}

// Runs the pop-up with the steps posted one a tick; Escape after them all ends a stuck loop.
void RunWith(CColorPicker& picker, std::vector<std::function<void()>> steps)
{
    g_steps = std::move(steps);
    for (int i = 0; i < 100; ++i)
        g_steps.push_back([&picker] {
            if (HWND dialog = FindWindowA("#32770", nullptr))
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            if (picker.GetPopup())
                PostMessageA(picker.GetPopup(), WM_KEYDOWN, VK_ESCAPE, 0);
        });
    g_step = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, StepTimer);
    picker.OpenPopup();
    KillTimer(nullptr, timer);
}

}  // namespace

TEST(ColorPicker, ColoursComeFromThePaletteDefaultAndTheColourDialog)
{
    CPickerParent parent;
    ASSERT_TRUE(parent.Create(nullptr, RECT{kTestOriginX + 20, kTestOriginY + 20, kTestOriginX + 320, kTestOriginY + 220}));
    HWND item = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, parent,
                                reinterpret_cast<HMENU>(701), GetModuleHandleA(nullptr), nullptr);
    CColorPicker picker;
    ASSERT_TRUE(picker.SubclassWindow(item));
    picker.SetColor(RGB(1, 2, 3));
    PumpPending();

    // The mouse: a move over cell 13 (blue) and a release there.
    g_codes.clear();
    std::string shot;
    RunWith(picker, {[&] { PostMessageA(picker.GetPopup(), WM_MOUSEMOVE, 0, PopupPoint(picker, 13)); },
                     [&] {
                         RECT popup = {};
                         GetWindowRect(picker.GetPopup(), &popup);
                         kivo_test::WriteScreenRect(popup, "color-picker-popup.bmp", shot);
                     },
                     [&] { PostMessageA(picker.GetPopup(), WM_LBUTTONUP, 0, PopupPoint(picker, 13)); }});
    EXPECT_EQ(picker.GetColor(), CColorPicker::kPalette[13].color);
    EXPECT_EQ(g_codes, (std::vector<UINT>{kColorPickerOpening, kColorPickerChanged, kColorPickerClosed, kColorPickerChosen}));
    EXPECT_EQ(g_lastColor, RGB(0, 0, 255));

    // The keyboard: Up from cell 13 climbs to cell 5, then to "Default"; Enter takes it.
    g_codes.clear();
    RunWith(picker, {[&] { PostMessageA(picker.GetPopup(), WM_KEYDOWN, VK_UP, 0); },
                     [&] { PostMessageA(picker.GetPopup(), WM_KEYDOWN, VK_UP, 0); },
                     [&] { PostMessageA(picker.GetPopup(), WM_KEYDOWN, VK_RETURN, 0); }});
    EXPECT_EQ(picker.GetColor(), CLR_DEFAULT);
    EXPECT_EQ(g_codes.back(), kColorPickerChosen);

    // A right click cancels: no change.
    g_codes.clear();
    picker.SetColor(RGB(9, 9, 9));
    RunWith(picker, {[&] { PostMessageA(picker.GetPopup(), WM_MOUSEMOVE, 0, PopupPoint(picker, 2)); },
                     [&] { PostMessageA(picker.GetPopup(), WM_RBUTTONDOWN, 0, PopupPoint(picker, 2)); }});
    EXPECT_EQ(picker.GetColor(), RGB(9, 9, 9));
    EXPECT_EQ(g_codes, (std::vector<UINT>{kColorPickerOpening, kColorPickerClosed, kColorPickerCancelled}));

    // "More Colors...": the system colour dialog opens; its red, green and blue fields are set and OK pressed.
    g_codes.clear();
    bool dialogSeen = false;
    const auto setField = [](HWND dialog, int id, const char* value) { SetDlgItemTextA(dialog, id, value); };
    RunWith(picker, {[&] { PostMessageA(picker.GetPopup(), WM_MOUSEMOVE, 0, PopupPoint(picker, CColorPicker::kItemMore)); },
                     [&] { PostMessageA(picker.GetPopup(), WM_LBUTTONUP, 0, PopupPoint(picker, CColorPicker::kItemMore)); },
                     [] {}, [] {}, [] {},
                     [&] {
                         HWND dialog = FindWindowA("#32770", nullptr);
                         if (!dialog)
                             return;
                         dialogSeen = true;
                         setField(dialog, 706, "12");   // red
                         setField(dialog, 707, "34");   // green
                         setField(dialog, 708, "200");  // blue
                     },
                     [&] {
                         if (HWND dialog = FindWindowA("#32770", nullptr))
                             PostMessageA(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
                     }});
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(picker.GetColor(), RGB(12, 34, 200));
    EXPECT_EQ(g_codes.back(), kColorPickerChosen);

    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(parent, "color-picker-button.bmp", shot));
}
