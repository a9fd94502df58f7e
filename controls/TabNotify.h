#pragma once
// What the tab strips tell their parent: the WM_NOTIFY codes and the three records they carry.
// The id of every notification is the strip's dialog id.
#include <windows.h>
#include <commctrl.h>

enum : int {
    kTabNotifyMiddleDown = -574,      // CTabNotifyItem: item or -1, pointer
    kTabNotifyMiddleDblClk = -575,    // CTabNotifyItem
    kTabNotifyInserted = -561,        // CTabNotifyItem: index
    kTabNotifyDeleting = -562,        // CTabNotifyItem: index; answer 1 to keep the item
    kTabNotifyMoved = -563,           // CTabNotifyMove: from, to
    kTabNotifyClose = -565,           // CTabNotifyItem: selected index, release point
    kTabNotifyBeginDrag = -571,       // CTabNotifyItem: item, press point; non-zero refuses
    kTabNotifyAcceptDrag = -572,      // CTabNotifyMove: starting index, final index
    kTabNotifyCancelDrag = -573,      // CTabNotifyItem: starting index
};

// Item notifications; point (-1, -1) when no pointer position belongs to it.
struct CTabNotifyItem {
    NMHDR hdr;
    int item;
    POINT pt;
};

// Selection changes (old, new) and moves (from, to).
struct CTabNotifyMove {
    NMHDR hdr;
    int first;
    int second;
    POINT pt;
};

// NM_CUSTOMDRAW record: the standard header and the drawing inputs of the strip's look. The
// system colours are read fresh for each paint.
struct CTabCustomDraw {
    NMCUSTOMDRAW nmcd;
    HFONT fontNormal;
    HFONT fontSelected;
    HBRUSH background;
    COLORREF inactiveText;
    COLORREF selectedText;
    COLORREF selectedTab;
    COLORREF btnFace;
    COLORREF btnShadow;
    COLORREF btnHighlight;
    COLORREF btnText;
    COLORREF highlight;
    COLORREF hot;
    COLORREF highlightText;
};
