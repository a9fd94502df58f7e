#pragma once
// ToolBarButtonInfo: one entry of a static toolbar button table (12 bytes). Toolbars are built
// from such tables, and the command-icon store learns each command's toolbar image from them.
#include <windows.h>

struct ToolBarButtonInfo {
    INT32 image;         // image index in the toolbar's image lists
    INT32 command;       // command id, 0 = separator
    BYTE state;          // initial TBSTATE_ bits
    BYTE style;          // BTNS_ bits
    BYTE shownByDefault; // non-zero: on the toolbar while the user has no stored order
    BYTE padding;
};
static_assert(sizeof(ToolBarButtonInfo) == 12, "the button tables are 12-byte records");
