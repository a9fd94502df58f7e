#pragma once
// The geometry of an owner-drawn menu item, apart from any window: the measured size of an item
// and where its icon cell, text and accelerator go in each look. CIconMenu2 feeds it the text
// sizes it measured and draws into the rectangles it gets back.
#include <windows.h>

#include <string>

enum class EMenuLook { kOffice, kClassicFlat, kClassic3D };

struct CMenuItemMetrics {
    static constexpr int kIconCell = 22;        // the square cell of the icon column
    static constexpr int kIconSize = 16;        // icons are drawn at this size in the cell
    static constexpr int kOfficeSeparator = 5;  // separator height in the office look
    static constexpr int kArrowRoom = 22;       // room kept at the right for the submenu arrow
};

// The size reported in WM_MEASUREITEM. fontHeight is the absolute lfHeight of the menu font;
// checkWidth SM_CXMENUCHECK, which the system adds back to the width; menuHeight SM_CYMENU.
SIZE MeasureMenuItem(EMenuLook look, bool separator, int textWidth, int fontHeight, int extraWidth, int checkWidth,
                     int menuHeight);

struct CMenuItemRects {
    RECT cell = {};         // the icon cell, 22 by 22, vertically centred at the item's left
    RECT text = {};         // where the text and the right-aligned accelerator are drawn
    RECT textArea = {};     // office look: the background right of the icon column
};
CMenuItemRects LayoutMenuItem(EMenuLook look, const RECT& item);

// The 16-pixel icon's top-left corner centred in the cell.
POINT IconPosition(const RECT& cell);

// An item text split at its first TAB: the caption and the accelerator (empty without a TAB).
struct CMenuItemText {
    std::string caption;
    std::string accelerator;
};
CMenuItemText SplitMenuItemText(const std::string& text);

// The text as drawn without keyboard cues: each prefix "&" dropped, "&&" kept as one "&". Drawn
// with DT_NOPREFIX, because Wine underlines the mnemonic even with DT_HIDEPREFIX.
std::string StripMenuPrefixes(const std::string& text);
