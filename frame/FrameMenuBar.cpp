#include "frame/FrameMenuBar.h"

#include "controls/CommandBarXP.h"

HWND CreateFrameMenuBar(CCommandBarXP& bar, HWND frame, HWND reBar, HMENU menu)
{
    if (menu && reBar && bar.Create(reBar) && bar.AttachMenu(menu)) {
        ::SetMenu(frame, nullptr);
        return bar.m_hWnd;
    }
    if (bar.m_hWnd)
        bar.DestroyWindow();
    ::SetMenu(frame, menu);
    ::DrawMenuBar(frame);
    return nullptr;
}
