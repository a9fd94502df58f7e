#pragma once
// The stored forms of the toolbar helpers, apart from any window, and the button tables:
//   toolbar order: the command ids from left to right, 0 for each separator, as an archive integer
//     list (a 32-bit count, then each id as a 32-bit item, little-endian) and nothing after it;
//   band record: the 80-byte image of the 32-bit REBARBANDINFOA as the rebar gives it for the mask
//     RBBIM_STYLE | RBBIM_COLORS | RBBIM_SIZE | RBBIM_ID | RBBIM_IDEALSIZE (0x343): cbSize 80 at 0,
//     fMask 0x343 at 4, fStyle at 8, clrFore at 12, clrBack at 16, cx at 44, wID at 52, cxIdeal at
//     68, every other field 0. The native record of this build is larger, so it is translated
//     field by field and never copied whole.
// Stored values come from the registry, which the user can write: the decoders accept only what the
// encoders make and report false for anything else, so that the caller keeps its default layout.
#include "controls/ToolBarButtonInfo.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <vector>

// The separator that an id list makes: 8 pixels wide.
constexpr int kToolBarSeparatorWidth = 8;
// No toolbar of the program has this many buttons; a stored order that claims more is not ours.
constexpr size_t kMaxStoredToolBarButtons = 512;

constexpr UINT kBandRecordSize = 80;
constexpr UINT kBandRecordMask = RBBIM_STYLE | RBBIM_COLORS | RBBIM_SIZE | RBBIM_ID | RBBIM_IDEALSIZE;
static_assert(kBandRecordMask == 0x343, "the stored band records carry this mask");
// The band styles a stored record may carry; a record with other bits is not ours.
constexpr UINT kStoredBandStyles = RBBS_BREAK | RBBS_FIXEDSIZE | RBBS_CHILDEDGE | RBBS_HIDDEN | RBBS_NOVERT |
                                   RBBS_FIXEDBMP | RBBS_VARIABLEHEIGHT | RBBS_GRIPPERALWAYS | RBBS_NOGRIPPER |
                                   RBBS_USECHEVRON | RBBS_HIDETITLE | RBBS_TOPALIGN;
// Band widths beyond this are no width a screen shows.
constexpr UINT kMaxStoredBandWidth = 0x7FFF;

using CBandRecord = std::array<BYTE, kBandRecordSize>;

// Index of the first entry with the command id, or -1 (also for a count below 1 or no table).
int FindButtonInfo(int command, int count, const ToolBarButtonInfo* table);

// The toolbar buttons for an id list: at most count command buttons and count separators (see the
// definition for the rules); an empty list, or one that names no command of the table, gives the
// buttons shown by default, in table order.
void BuildToolBarButtons(std::vector<TBBUTTON>& buttons, const std::vector<int>& ids, int count,
                         const ToolBarButtonInfo* table);

std::vector<BYTE> EncodeToolBarOrder(const std::vector<int>& ids);
// False, with ids empty, for a value that is not exactly an encoded order of at most
// kMaxStoredToolBarButtons ids.
bool DecodeToolBarOrder(const std::vector<BYTE>& data, std::vector<int>& ids);

// The record of a band as asked with kBandRecordMask.
CBandRecord EncodeBandRecord(const REBARBANDINFOA& band);
// Fills the native record (cbSize sizeof, fMask kBandRecordMask) from a stored value; false for a
// value of another size, another cbSize or mask, unknown style bits or widths out of bounds.
bool DecodeBandRecord(const std::vector<BYTE>& data, REBARBANDINFOA& band);
