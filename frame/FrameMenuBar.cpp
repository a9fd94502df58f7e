#include "frame/FrameMenuBar.h"

HWND CreateFrameMenuBar(HWND frame, HWND, HMENU menu)
{
    ::SetMenu(frame, menu);
    ::DrawMenuBar(frame);
    return nullptr;
}

HMENU GetFrameMenuBarMenu(HWND frame)
{
    return ::GetMenu(frame);
}
