#include "core/system/Keyboard.h"

bool IsKeyDown(int virtualKey) { return (::GetKeyState(virtualKey) & 0x8000) != 0; }

int IsEditNavigationKeyState(const MSG& message, bool shift, bool ctrl)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN && message.message != WM_SYSKEYUP)
        return 0;
    const WPARAM key = message.wParam;
    const bool alt = (message.lParam & (1 << 29)) != 0;
    if (key == VK_F4)
        return !shift && !ctrl ? 2 : 0;
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END)
        return shift || ctrl ? 2 : 0;
    if (key == VK_RETURN)
        return 2;
    if (key >= 1 && key <= 47 && !alt && !shift && !ctrl)
        return 2;
    return 0;
}

int IsEditNavigationKey(HWND window, const MSG& message)
{
    if (!window || !::IsWindowVisible(window))
        return 0;
    return IsEditNavigationKeyState(message, IsKeyDown(VK_SHIFT), IsKeyDown(VK_CONTROL));
}
