// The keys an edit receives before the accelerators.
#include "core/system/Keyboard.h"

#include <gtest/gtest.h>

namespace {

TEST(Keyboard, EditNavigationKeys)
{
    const LPARAM alt = 1 << 29;
    const struct {
        UINT message;
        WPARAM key;
        LPARAM lParam;
        bool shift;
        bool ctrl;
        int result;
    } cases[] = {
        {WM_KEYDOWN, VK_F4, 0, false, false, 2},
        {WM_KEYDOWN, VK_F4, 0, false, true, 0},
        {WM_KEYDOWN, VK_LEFT, 0, false, false, 0},
        {WM_KEYDOWN, VK_LEFT, 0, true, false, 2},
        {WM_KEYDOWN, VK_END, 0, false, true, 2},
        {WM_KEYDOWN, VK_RETURN, 0, false, false, 2},
        {WM_KEYDOWN, VK_RETURN, 0, true, true, 2},
        {WM_KEYDOWN, VK_DELETE, 0, false, false, 2},   // 46: within 1 to 47
        {WM_KEYDOWN, VK_DELETE, 0, false, true, 0},
        {WM_SYSKEYDOWN, VK_BACK, alt, false, false, 0}, // an Alt combination
        {WM_SYSKEYUP, VK_TAB, 0, false, false, 2},
        {WM_KEYDOWN, 'A', 0, false, false, 0},
        {WM_KEYUP, VK_RETURN, 0, false, false, 0},
        {WM_CHAR, VK_RETURN, 0, false, false, 0},
    };
    for (const auto& c : cases) {
        MSG message = {};
        message.message = c.message;
        message.wParam = c.key;
        message.lParam = c.lParam;
        EXPECT_EQ(c.result, IsEditNavigationKeyState(message, c.shift, c.ctrl))
            << c.message << " " << c.key << " " << c.shift << c.ctrl;
    }
    MSG message = {};
    message.message = WM_KEYDOWN;
    message.wParam = VK_RETURN;
    EXPECT_EQ(0, IsEditNavigationKey(nullptr, message));
}

} // namespace
