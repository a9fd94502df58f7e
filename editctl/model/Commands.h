#pragma once
// The numbers of the control's built-in commands. They are what a configuration's "Hardcoded=" line
// names, what message 0x507 takes and what the key map binds. No window code here.

namespace quill {

enum Command : int {
    kCaretRight = 1, kCaretRightExtend, kCaretLeft, kCaretLeftExtend, kCaretUp, kCaretUpExtend,
    kCaretDown, kCaretDownExtend, kCaretEndOfLine, kCaretEndOfLineExtend, kCaretStartOfLine,
    kCaretStartOfLineExtend, kCaretNextWord, kCaretNextWordExtend, kCaretPreviousWord,
    kCaretPreviousWordExtend, kCaretHome, kCaretHomeExtend, kCaretEnd, kCaretEndExtend, kCaretTabBack,
    kCaretTabBackExtend, kCaretViewUp, kCaretViewUpExtend, kCaretViewDown, kCaretViewDownExtend,
    kMiscClearUndoBuffers = 50,
    kScrollViewUp = 80, kScrollViewDown, kScrollViewLeft, kScrollViewRight,
    kEditUndo = 100, kEditRedo, kEditPull, kEditDeleteEndOfLine, kEditBackSpace, kEditDeleteChar,
    kEditDeleteLine, kEditSplitLine, kEditWordToUpper, kEditWordToLower, kEditWordSwapCase, kEditCopyLine,
    kEditDeleteWord, kEditDeleteEndOfWord, kEditDeleteStartOfWord, kEditDoTab, kEditDoBackTab,
    kEditSwapLines, kEditUpperCaseSelection, kEditLowerCaseSelection, kEditSwapCaseSelection,
    kEditInsertDate, kEditInsertTime, kEditToggleOverwrite, kEditUndoAll, kEditRedoAll,
    kMarkWord = 200, kMarkAll, kMarkClear, kMarkLine,
    kClipPaste = 225, kClipCopy, kClipCut, kClipDelete, kClipCopyClipLine, kClipCutLine,
    kClipClearClipboard, kClipCopyAppend, kClipCutAppend,
    kBookmarkSet = 250, kBookmarkClear, kBookmarkToggle, kBookmarkClearAll, kBookmarkGotoNext,
    kBookmarkGotoPrevious, kBookmarkGotoFirst, kBookmarkGotoLast,
    kFindNextWord = 275, kFindPrevWord, kFindNext, kFindPrevious, kFindMatchingBracket,
    kFindMatchingBracketSelect,
    kDialogGoto = 300, kDialogFind, kDialogReplace, kDialogProperties, kDialogAbout, kDialogPageSetup,
    kFileSave = 401, kFileClear, kFilePrint,
};

// The name of a command number, or nullptr when the number is no command.
const char* CommandName(int number);
inline bool IsKnownCommand(int number) { return CommandName(number) != nullptr; }
// Every command number in table order (93 of them), for callers that walk the table.
int CommandCount();
int CommandAt(int index);

} // namespace quill
