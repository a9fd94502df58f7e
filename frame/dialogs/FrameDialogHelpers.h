#pragma once
// Small helpers the frame's dialogs share: their texts in the interface language, check boxes and
// item texts read and written by id.
#include "core/library/StdStr.h"

#include <windows.h>

// The caption of the dialogs' message boxes.
constexpr const char* kFrameDialogsCaption = "Kivo Browser";

// Translates the dialog's caption and the texts of its items (the combo boxes' lists excepted).
void TranslateDialogTexts(HWND dialog);
bool IsItemChecked(HWND dialog, int id);
void SetItemChecked(HWND dialog, int id, bool checked);
// The item's text, at most 2048 characters.
TStdStr<char> GetItemText(HWND dialog, int id);
// The text with blanks and tabs removed at both ends.
TStdStr<char> TrimmedText(const TStdStr<char>& text);
