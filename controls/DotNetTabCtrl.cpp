#include "controls/DotNetTabCtrl.h"

#include "platform/AtlGdi.h"

CDotNetColours CDotNetColours::For(int bitsPerPixel, COLORREF btnFace, COLORREF grayText)
{
    CDotNetColours colours;
    if (bitsPerPixel < 9) {
        colours.useWindowBrush = true;
        colours.background = ::GetSysColor(COLOR_WINDOW);
        colours.inactiveText = grayText;
    } else {
        colours.background = CTabLayout::Lighten(btnFace);
        colours.inactiveText = CTabLayout::Darken(grayText);
    }
    return colours;
}

int CDotNetColours::ScreenBitsPerPixel()
{
    CClientDC screen(nullptr);
    return ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
}
