#pragma once
// The frame's commands that open the Options dialog, and the page each asks for.
#include "frame/options/TrayIconOwner.h"

#include <windows.h>

// The dialog id of the page a command opens, COptionsDlg::kLastPage for the Options command
// itself, or 0 for a command that does not open the dialog.
int OptionsPageOfCommand(UINT commandId);

// Runs the Options dialog modally over `parent` on `page`; the result is IDOK or IDCANCEL.
// `tray` (not owned, may be null) hears the tray icon choice when the dialog is applied.
INT_PTR ShowOptionsDialog(HWND parent, int page, ITrayIconOwner* tray);
