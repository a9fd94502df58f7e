#pragma once
// Free functions that build toolbars from static button tables, keep the user's button order and
// the rebar band layout in the settings store, and add, show, hide and size rebar bands. They keep
// no state: each works on the windows and records it is given, checks the counts it is given and
// answers 0, -1 or false rather than touching a band or button that is not there.
// Stored forms: see ToolBarLayout.h. The band layout is one binary value per band position, named
// "band" followed by the position in decimal, in the section the caller gives.
#include "controls/ToolBarLayout.h"
#include "core/app/SettingsStore.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

// Band ids given to bands added without one: this plus the number of bands already there.
constexpr UINT kFirstDefaultBandId = 0xEB00;
// The prefix of the band layout's value names.
constexpr char kBandValuePrefix[] = "band";

// The store argument of the functions below: null means the program's store (GetSettingsStore).

// Writes the toolbar's command ids (0 for separators) as one binary value. False when the toolbar
// is not a window or the store refused the value.
bool SaveToolBarLayout(HWND toolBar, const char* section, const char* valueName, CSettingsStore* store = nullptr);
// The stored id list for BuildToolBarButtons. False, with ids empty, when the value is missing or
// is not a valid stored order (the caller then builds the default buttons).
bool LoadToolBarLayout(std::vector<int>& ids, const char* section, const char* valueName,
                       CSettingsStore* store = nullptr);

// The right edge of the last button; 0 without buttons.
int GetToolBarButtonsWidth(HWND toolBar);

// Adds a band for the child (a toolbar, the command bar or any window) at the end of the rebar, or
// before the band with id + 1 for ids above kFirstDefaultBandId, whose left neighbour then takes
// the rest of the rebar's width. Id 0 gives kFirstDefaultBandId + the band count. False when the
// rebar refused the band.
bool AddReBarBand(HWND reBar, HWND child, UINT id, const char* title, HBITMAP background, bool newRow, int width,
                  bool fullWidth);
// Shows a hidden band and hides a shown one; true when the band is now shown (false for an
// unknown id).
bool ToggleReBarBand(HWND reBar, UINT id);
void ShowReBarBand(HWND reBar, UINT id, bool show);
bool IsReBarBandVisible(HWND reBar, UINT id);
HWND GetReBarBandChild(HWND reBar, UINT id);
// The band of the parent rebar that holds the window, or -1.
int FindReBarBandOfChild(HWND reBar, HWND child);
// Sets the ideal width of the toolbar's band to the width of its buttons.
void SizeBandToToolBar(HWND toolBar);
// Sizes the toolbar and gives its band the toolbar's minimum child size; false when no band of the
// parent rebar holds the toolbar.
bool UpdateBandMinSize(HWND toolBar);
// Gives every band the background bitmap (null removes it) and repaints each band's child at once.
void SetReBarBandsBackground(HWND reBar, HBITMAP bitmap);

// Writes one value per band position (see ToolBarLayout.h for the record).
bool SaveReBarBandLayout(HWND reBar, const char* section, CSettingsStore* store = nullptr);
// Moves each stored band to its stored position and gives it its stored style, colours and widths.
// A missing value or an id the rebar does not have leaves that position as it is; when any stored
// value is damaged, nothing is applied and the rebar keeps the layout it has. Returns true.
bool LoadReBarBandLayout(HWND reBar, const char* section, CSettingsStore* store = nullptr);
// Puts the band first, alone on the top row: the band after it starts a new row, and so does the
// first shown band after it when the bands between are hidden. False for an unknown id.
bool PlaceReBarBandOnTopRow(HWND reBar, UINT id);

// Drops the window's next queued message when it is a left click or double click inside the
// rectangle (client coordinates): the click that closed a drop-down menu over its own button must
// not open it again.
void RemoveClickInRect(HWND window, const RECT& rect);

// Command strings and tooltips. A command's string resource holds its status text, then a line
// feed and its tooltip. The texts are translated into the interface language.
// The part of a command string that is shown: with tooltipPart the text after the first line
// feed ("" when there is none), else the whole string.
CStdString CommandStringPart(const CStdString& text, bool tooltipPart);
// Loads the string resource (at most 256 characters) of the program's module and copies the part,
// translated, into text (capacity characters with the terminator). True when the resource exists.
bool LoadCommandStringA(int capacity, char* text, UINT stringId, bool tooltipPart);
bool LoadCommandStringW(int capacity, wchar_t* text, UINT stringId, bool tooltipPart);
// Answers a toolbar's tooltip request: the command's text from the command-icon store, or else its
// string resource; TTF_DI_SETITEM when there was one. Nothing for id 0 or a window tool.
void GetToolTipTextA(UINT command, NMTTDISPINFOA& info, bool tooltipPart);
void GetToolTipTextW(UINT command, NMTTDISPINFOW& info, bool tooltipPart);
