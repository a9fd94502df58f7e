#pragma once
// What dialogs fill in and read back: the filter of a file dialog, flag bits through check boxes,
// the test of a two-state value, and removing a file the user chose.
#include "core/library/StdStr.h"

#include <windows.h>

#include <utility>
#include <vector>

// The double-zero-terminated filter of a file dialog; each description translated.
TStdStr<char> MakeFileDialogFilter(const std::vector<std::pair<const char*, const char*>>& pairs);
// Loads (saving false) or saves one bit of a flags word through a check box of a dialog.
void DdxCheckFlag(HWND dialog, int controlId, DWORD& flags, DWORD mask, bool saving);
inline bool IsZeroOrOne(int value) { return value == 0 || value == 1; }
bool RemoveFile(const char* path);
