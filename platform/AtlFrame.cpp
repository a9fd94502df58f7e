// Frame helpers: prompt strings, rebar bands and the chevron menu of clipped tool bar buttons.
#include "platform/AtlFrame.h"
#include <cstring>

int AtlLoadPromptString(UINT id, LPSTR text, int size, bool tooltipPart) noexcept
{
    if (size <= 0)
        return 0;
    text[0] = 0;
    char buffer[512] = {};
    if (::LoadStringA(AtlGetResourceInstance(), id, buffer, sizeof(buffer)) <= 0)
        return 0;
    char* newline = std::strchr(buffer, '\n');
    const char* part = buffer;
    if (tooltipPart) {
        if (!newline)
            return 0; // no tooltip part
        part = newline + 1;
    } else if (newline) {
        *newline = 0;
    }
    ::lstrcpynA(text, part, size);
    return ::lstrlenA(text);
}

BOOL AtlAddReBarBand(HWND hWndReBar, HWND hWndBand, int nID, LPCSTR lpstrTitle, BOOL bNewRow, int cxWidth,
                     BOOL bFullWidthAlways) noexcept
{
    if (!::IsWindow(hWndReBar) || !::IsWindow(hWndBand))
        return FALSE;
    const int count = static_cast<int>(::SendMessageA(hWndReBar, RB_GETBANDCOUNT, 0, 0));
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE | RBBIM_IDEALSIZE;
    if (lpstrTitle)
        band.fMask |= RBBIM_TEXT;
    band.fStyle = RBBS_CHILDEDGE;
    if (count > 0 && bNewRow)
        band.fStyle |= RBBS_BREAK;
    band.lpText = const_cast<LPSTR>(lpstrTitle);
    band.hwndChild = hWndBand;
    band.wID = nID ? static_cast<UINT>(nID) : ATL_IDW_BAND_FIRST + count;

    // A tool bar's band is as high as its buttons and as wide as all of them (its ideal size).
    char className[32] = {};
    ::GetClassNameA(hWndBand, className, sizeof(className));
    RECT rc = {};
    if (::lstrcmpiA(className, TOOLBARCLASSNAMEA) == 0) {
        const int buttons = static_cast<int>(::SendMessageA(hWndBand, TB_BUTTONCOUNT, 0, 0));
        if (buttons > 0)
            ::SendMessageA(hWndBand, TB_GETITEMRECT, buttons - 1, reinterpret_cast<LPARAM>(&rc));
        band.cyMinChild = HIWORD(static_cast<DWORD>(::SendMessageA(hWndBand, TB_GETBUTTONSIZE, 0, 0)));
        band.cxIdeal = rc.right;
        if (!bFullWidthAlways)
            band.fStyle |= RBBS_USECHEVRON;
    } else {
        ::GetWindowRect(hWndBand, &rc);
        band.cyMinChild = rc.bottom - rc.top;
        band.cxIdeal = rc.right - rc.left;
    }
    band.cxMinChild = bFullWidthAlways ? 0 : static_cast<UINT>(band.cxIdeal);
    band.cx = cxWidth ? static_cast<UINT>(cxWidth) : band.cxIdeal;
    if (bFullWidthAlways)
        band.fStyle |= RBBS_NOGRIPPER;
    return static_cast<BOOL>(::SendMessageA(hWndReBar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)));
}

void AtlSizeReBarBands(HWND hWndReBar) noexcept
{
    const int count = static_cast<int>(::SendMessageA(hWndReBar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_IDEALSIZE | RBBIM_SIZE;
        ::SendMessageA(hWndReBar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        band.cx = band.cxIdeal;
        band.fMask = RBBIM_SIZE;
        ::SendMessageA(hWndReBar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
    }
}

void AtlShowChevronMenu(HWND commandTarget, const NMREBARCHEVRON* chevron) noexcept
{
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD;
    if (!::SendMessageA(chevron->hdr.hwndFrom, RB_GETBANDINFOA, chevron->uBand, reinterpret_cast<LPARAM>(&band)))
        return;
    HWND toolBar = band.hwndChild;
    char className[32] = {};
    ::GetClassNameA(toolBar, className, sizeof(className));
    if (::lstrcmpiA(className, TOOLBARCLASSNAMEA) != 0)
        return;

    // The buttons whose right edge lies beyond the visible part of the band.
    RECT visible;
    ::GetClientRect(toolBar, &visible);
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return;
    const int count = static_cast<int>(::SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0));
    bool lastWasSeparator = true;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        ::SendMessageA(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (button.fsState & TBSTATE_HIDDEN)
            continue;
        RECT rc = {};
        ::SendMessageA(toolBar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc));
        if (rc.right <= visible.right)
            continue;
        if (button.fsStyle & BTNS_SEP) {
            if (!lastWasSeparator)
                ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            lastWasSeparator = true;
            continue;
        }
        char text[256] = {};
        if (::SendMessageA(toolBar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(text)) <= 0)
            AtlLoadPromptString(button.idCommand, text, sizeof(text), true);
        if (!text[0])
            AtlLoadPromptString(button.idCommand, text, sizeof(text), false);
        UINT flags = MF_STRING;
        if (!(button.fsState & TBSTATE_ENABLED))
            flags |= MF_GRAYED;
        if (button.fsState & TBSTATE_CHECKED)
            flags |= MF_CHECKED;
        ::AppendMenuA(menu, flags, button.idCommand, text);
        lastWasSeparator = false;
    }
    if (::GetMenuItemCount(menu) > 0) {
        RECT rc = chevron->rc;
        ::MapWindowPoints(chevron->hdr.hwndFrom, nullptr, reinterpret_cast<POINT*>(&rc), 2);
        TPMPARAMS params = {sizeof(params), rc};
        const UINT command = ::TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_RETURNCMD,
                                                rc.left, rc.bottom, commandTarget, &params);
        if (command)
            ::PostMessageA(commandTarget, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    ::DestroyMenu(menu);
}
