#pragma once
// Small helpers the frame's dialogs share: check boxes and item texts read and written by id.
#include "core/library/StdStr.h"

#include <windows.h>

// The caption of the dialogs' message boxes.
constexpr const char* kFrameDialogsCaption = "Kivo Browser";

bool IsItemChecked(HWND dialog, int id);
void SetItemChecked(HWND dialog, int id, bool checked);
// The item's text, at most 2048 characters.
TStdStr<char> GetItemText(HWND dialog, int id);
// The text with blanks and tabs removed at both ends.
TStdStr<char> TrimmedText(const TStdStr<char>& text);
