#pragma once
// Saving a page as a web archive through the engine's own Save As: the engine's dialog is caught
// by a CBT hook on the UI thread when it is created and activated, and a name filler thread waits
// until it is visible, picks the web-archive file type, types the chosen path into the file-name
// field and presses Save. One save at a time: a save while another runs does nothing.
//
// Lifetime: the request belongs to its caller for the save; a filler is owned by its own thread,
// which deletes it when it has filled its dialog, when the dialog went before it was ever shown,
// or after kFillerPatienceMs.
#include "core/library/StdStr.h"
#include "platform/AtlCom.h"

#include <windows.h>
#include <exdisp.h>

// The engine dialog's controls the filler uses.
constexpr int kSaveDialogFileTypeCombo = 1136;
constexpr int kSaveDialogFileNameField = 1148;
// The web-archive entry of the engine's file types.
constexpr int kWebArchiveFileType = 1;
constexpr DWORD kFillerPollMs = 250;
constexpr DWORD kFillerPatienceMs = 60000;

struct CSavePageRequest {
    CComPtr<IWebBrowser2> browser;
    TStdStr<char> path;  // "untitled" when empty at the start
    int fileType = kWebArchiveFileType;
    bool fill = false;   // set when a save starts, cleared once its dialog has been caught
};

// Runs the engine's Save As for the request with the name filled in. True when the engine's dialog
// was caught and its file-name field filled; false without a browser, while another save runs, or
// when the dialog had no file-name field (it is then left to the user).
bool SavePageAs(CSavePageRequest& request);

// The proposed file name of a page: its title with \ / : , ; * ? < > | and " replaced by '-'.
TStdStr<char> WebArchiveNameFromTitle(const char* title);

// The tab's Save As web archive: the user picks the archive's file in the program's own dialog
// (the title as proposed name, owner the tab); the engine's Save As then writes it. False when
// there is no browser, the user cancels, or the engine's dialog was not filled.
bool SaveAsWebArchiveFile(HWND owner, IWebBrowser2* browser, const char* title);
