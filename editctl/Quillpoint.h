#pragma once
// The syntax-colouring edit control: the one header the rest of the program includes.
//
// Start the control once with QuillpointDllMain(instance, 1, nullptr), hand it the built-in parser
// configurations with AddParserConfigFromMemory, then create windows of the class
// "QuillpointEditControl32" and drive them with the QPM_ messages below. The control notifies its
// parent with WM_NOTIFY (codes QPN_...). Stop it with QuillpointDllMain(instance, 0, nullptr).
#include <windows.h>

#include "editctl/model/Commands.h"

#define QUILLPOINT_CLASS "QuillpointEditControl32"
#define QUILLPOINT_IPC_CLASS "QPCIPCClass"
// The registered message that makes every edit window reload its configurations.
#define QUILLPOINT_RELOAD_MESSAGE "QuillpointEditControl32"

// Resource ids of the control, in the program's resources (see editctl/EditCtl.rc).
enum : int {
    QP_IDC_MARGIN = 101,       // cursor over the selection margin and line numbers
    QP_IDB_PATTERN = 116,      // grey pattern of the margin brushes
    QP_IDC_LINK = 117,         // cursor over a hyperlink while Ctrl is held
    QP_IDR_CONFIG_HTML = 150,  // the built-in parser configurations (RCDATA)
    QP_IDR_CONFIG_CSS = 151,
    QP_IDR_CONFIG_JAVASCRIPT = 152,
};

enum : UINT {
    QPM_GETEXTENSIONS = 0x4FB,     // -> const char*, the configuration's Extentions text
    QPM_TAKESHAREDLIMITS = 0x4FD,  // undo limit, syntax switch and history limit from the default
    QPM_RECHOOSECONFIG = 0x4FE,    // choose the configuration again from the file name
    QPM_USEBUILTINDEFAULT = 0x4FF, // point the window at the built-in default configuration
    QPM_LOADFILE = 0x501,          // wParam 1: do not ask to save; lParam path -> 1 done, 2 failed, 3 cancelled
    QPM_SAVEFILE = 0x502,          // lParam path or 0 -> 1 done, 2 failed, 4 stopped
    QPM_SETSCREENFONT = 0x503,     // lParam LOGFONTA* -> 1 taken (fixed pitch), else 0
    QPM_GOTOLINE = 0x504,          // wParam line (1-based)
    QPM_SETFILENAME = 0x505,       // lParam name -> 1, 0 for a missing or empty name
    QPM_RUNKEYMACRO = 0x506,
    QPM_RUNCOMMAND = 0x507,        // wParam command number -> its result, 0 when unknown
    QPM_GETTEXT = 0x508,           // lParam buffer or 0 (new HGLOBAL) -> buffer or handle, 0 when empty
    QPM_GETTEXTLENGTH = 0x509,     // -> length with CR LF breaks + 1, 0 when there is no text
    QPM_GETWORD = 0x50A,
    QPM_GETWORDLENGTH = 0x50B,
    QPM_GETLINE = 0x50C,           // wParam line or -1 (caret line); lParam buffer or 0
    QPM_GETLINELENGTH = 0x50D,     // -> length + 1
    QPM_ASKTOSAVE = 0x50E,         // -> 1 go on, 0 stop
    QPM_SETTEXT = 0x50F,           // wParam 1: do not ask to save; lParam text or 0
    QPM_SETSYNTAXCOLORING = 0x510, // wParam on/off; lParam non-zero: the window's own switch
    QPM_GETSELTEXT = 0x511,
    QPM_GETSELTEXTLENGTH = 0x512,
    QPM_GETFILEINFO = 0x513,       // lParam QPFileInfo* with its size set -> 1, 0 when too small
    QPM_SETREADONLY = 0x514,       // wParam bit 0
    QPM_SETCOLOR = 0x515,          // wParam index 0-16, lParam COLORREF -> old colour, -1 bad index
    QPM_GETCOLOR = 0x516,          // wParam index -> colour, -1 bad index
    QPM_INSERTLINE = 0x517,        // wParam index (bad = append), lParam text
    QPM_ADDPARSERCONFIG = 0x518,   // wParam non-zero: lParam HGLOBAL, else a path -> 1/0
    QPM_SETUNICODE = 0x519,        // -> old value
    QPM_GETUNICODE = 0x51A,
    QPM_REPLACESEL = 0x51B,        // lParam text
    QPM_SETCARET = 0x51C,          // lParam QPPosition* -> 1/0
    QPM_SETSELECTION = 0x51D,      // lParam QPRange* -> 1/0
    QPM_GETSELECTION = 0x51E,      // lParam int[4] out -> 1 with a selection, else 0
    QPM_INSERTTEXT = 0x51F,        // lParam text, at the caret, replacing the selection
    QPM_CANUNDO = 0x533,
    QPM_CANREDO = 0x534,
    QPM_CANCUT = 0x535,
    QPM_HASSELECTION = 0x536,
    QPM_CANPASTE = 0x537,
    QPM_CANDELETE = 0x538,
    QPM_ISMODIFIED = 0x539,
    QPM_ISOVERWRITE = 0x53A,
    QPM_ISREADONLY = 0x53B,
    QPM_GETLINECOUNT = 0x53C,
    QPM_HASTEXT = 0x53D,
    QPM_GOTODIALOG = 0x564,
    QPM_FINDDIALOG = 0x565,
    QPM_REPLACEDIALOG = 0x566,
    QPM_PROPERTIESDIALOG = 0x567,
    QPM_RUNSETTINGSAPPLET = 0x568,
    QPM_PRINT = 0x569,
};

// Notification codes (WM_NOTIFY, wParam = the control's id). The EditNotify records below begin
// with the standard header; their fields are laid out as real structs on 32 and 64 bits alike.
enum : UINT { QPN_CARETMOVED = 1, QPN_STATECHANGED = 2, QPN_FILENAMECHANGED = 3 };

struct EditNotifyCaret {
    NMHDR hdr;
    int column;  // display column + 1
    int line;    // line + 1
};

struct EditNotifyState {
    NMHDR hdr;
    int hasText, canUndo, canRedo, canCut, hasSelection, canPaste, canDelete, modified, overwrite,
        readOnly, bookmarks, fileMode;
};

struct EditNotifyFileName {
    NMHDR hdr;
    const char* fileName;
    const char* configName;
    HICON smallIcon;
    HICON largeIcon;
};

// Message 0x513: the caller sets size to sizeof(QPFileInfo); the control fills the rest. The
// caller neither frees nor keeps the texts and icons.
struct QPFileInfo {
    int size;
    const char* fileName;
    const char* configName;
    HICON smallIcon;
    HICON largeIcon;
};

struct QPPosition {
    int column;
    int line;
};

struct QPRange {
    int startColumn, startLine, endColumn, endLine;
};

// reason 1 starts the control (1 on success, 0 on failure); reason 0 stops it (1).
BOOL WINAPI QuillpointDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
// Loads one parser configuration from a global memory block (the block stays the caller's): 1/0.
BOOL WINAPI AddParserConfigFromMemory(HGLOBAL block);
// The window of the control's modeless Find dialog, or nullptr when it is not open.
HWND WINAPI QuillpointGetFindDialog(HWND edit);
