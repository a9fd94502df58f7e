#pragma once
// The editing half of an edit window: editing commands, clipboard, marks, bookmarks and bracket
// matching (EditCommands.cpp), caret and view movement (CaretMovement.cpp), keyboard input and key
// macros (KeyboardInput.cpp), mouse input and scrolling (MouseInput.cpp), drag and drop
// (DragDrop.cpp), find and replace (FindReplace.cpp) and printing (Printing.cpp).
#include <windows.h>

#include <string>

#include "editctl/model/KeyMap.h"
#include "editctl/model/TextUtil.h"
#include "editctl/win/EditData.h"

namespace quill::win {

// ---- commands (EditCommands.cpp) --------------------------------------------------------------
// Runs a command of the editing half by number; *known is false for numbers it does not run.
LRESULT RunEditingCommand(EditData& ed, int number, bool* known);
// Types one character at the caret (overwrite, selection replacement, bracket check).
void InsertTypedChar(EditData& ed, char c);
// Inserts text at the caret, replacing the selection, as one undo group.
bool InsertTextAtCaret(EditData& ed, const std::string& text);
// The selection in text order; false when there is none.
bool SelectionRange(const EditData& ed, TextPos* start, TextPos* end);
void DropSelection(EditData& ed);
// The word under a position: [*from, *to) on its line; false on white space or past the end.
bool WordRange(const EditData& ed, TextPos at, int* from, int* to);
// Everything that follows a change of lines first..last: parsing, repaint, caret, parent.
void AfterEdit(EditData& ed, int first, int last);
// The bracket matching the one at `at`; false when `at` is no bracket (*matchable false) or has
// no partner.
bool FindBracketMatch(const EditData& ed, TextPos at, TextPos* match, bool* matchable);
// Repaints the old and new highlighted bracket pair and caret line after a caret move.
void UpdateCaretHighlights(EditData& ed);
bool CopySelectionToClipboard(EditData& ed, bool append);
// Sets or clears a line's bookmark, keeping the count and telling the parent.
void SetLineBookmark(EditData& ed, int line, bool on);

// ---- caret and view (CaretMovement.cpp) -------------------------------------------------------
LRESULT RunCaretCommand(EditData& ed, int number, bool* known);
int DesiredColumnNow(const EditData& ed);
void EnsureCaretVisible(EditData& ed, bool redraw);
bool IsCaretInView(const EditData& ed);
void CreateEditCaret(EditData& ed);
void ShowEditCaret(EditData& ed, bool on);
void UpdateCaret(EditData& ed);
// Scrolls the view so that the given line is the top one (kept within the text).
void ScrollToLine(EditData& ed, int top);
void ScrollToColumn(EditData& ed, int left);
void OnFocusChange(EditData& ed, bool gained, HWND other);
// Orders the selection from the anchor to the caret and repaints what changed.
void ExtendSelectionToCaret(EditData& ed, TextPos oldStart, TextPos oldEnd);

// ---- keyboard (KeyboardInput.cpp) -------------------------------------------------------------
void RunKeyMacro(EditData& ed, const KeyMacro& macro);
LRESULT OnKeyMessage(EditData& ed, UINT message, WPARAM wParam, LPARAM lParam);

// ---- message dispatch of the editing half (InputMessages.cpp) --------------------------------
// Runs any command of the editing half (caret, editing, find, dialogs, printing); 0 when unknown.
LRESULT RunEditingHalfCommand(EditData& ed, int number);
// Sets up what the editing half needs of a new window (the drop target of a visible window).
void StartInput(EditData& ed);
// Handles the keyboard, mouse, scrolling and clipboard messages; false when not one of them.
bool DispatchInputMessage(EditData& ed, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
// The auto-scroll timer (900) while the mouse selects.
void OnAutoScrollTimer(EditData& ed);
// Releases what the editing half holds before the window record goes.
void ReleaseInput(EditData& ed);

// ---- mouse (MouseInput.cpp) -------------------------------------------------------------------
// The text position under a client point; *onText false when it was pulled back to a line end.
TextPos PositionFromPoint(const EditData& ed, POINT p, bool* onText);
LRESULT OnMouseMessage(EditData& ed, UINT message, WPARAM wParam, LPARAM lParam);
// The hyperlink around a text position (quoted or blank-delimited), empty when none.
std::string HyperlinkAt(const EditData& ed, TextPos at);
// Whether a link may go to the shell: web and mail addresses only, never files or programs.
bool IsSafeHyperlink(const std::string& link);
bool FollowHyperlink(EditData& ed, const std::string& link);
void HideHyperlinkTip(EditData& ed);
// Sets the cursor for where the mouse is now (Ctrl changes it over links).
void RefreshCursor(EditData& ed);

// ---- find, replace, goto and properties (FindReplace.cpp, EditDialogs.cpp) --------------------
LRESULT RunFindCommand(EditData& ed, int number, bool* known);
// The find text becomes the pattern and goes to the front of the find history.
void SetSearchPattern(EditData& ed, const std::string& text);
// Searches from the caret (beyond a selection that is one occurrence); selects a match.
bool FindText(EditData& ed, bool forward, bool quiet);
// Replaces every occurrence in the range (the whole text when start == end); the count.
int ReplaceAll(EditData& ed, const std::string& replacement, TextPos start, TextPos end);
void OpenFindDialog(EditData& ed, bool replace);
void CloseFindDialogs(EditData& ed);
// The registry histories (HKEY_CURRENT_USER); true when any entry was read or written.
bool LoadFindHistory(EditData& ed, bool replace);
bool SaveFindHistory(EditData& ed, bool replace);
INT_PTR RunGotoDialog(EditData& ed);
INT_PTR RunPropertiesDialog(EditData& ed);
int RunSettingsApplet(EditData& ed);
// The dialog messages (0x564 to 0x568); false for other messages.
bool DispatchDialogMessage(EditData& ed, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// ---- printing (Printing.cpp) ------------------------------------------------------------------
LRESULT RunPrintCommand(EditData& ed, int number, bool* known);

// ---- drag and drop (DragDrop.cpp) -------------------------------------------------------------
void StartDragOut(EditData& ed);
void RegisterDropTarget(EditData& ed, bool on);
// Drops text at a position as the drop target does (move or copy; from this window or not).
bool DropTextAt(EditData& ed, const std::string& text, TextPos at, bool move, bool fromSelf);

} // namespace quill::win
