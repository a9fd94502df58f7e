#pragma once
// The strings of a module's string table, read straight from the resource blocks so that a
// missing or damaged entry is told apart from an empty one.
#include "core/library/StdStr.h"

#include <windows.h>

// The counted UTF-16 string `id` of the module's string table, or null when the entry is empty or
// missing. `length` receives its character count.
const WCHAR* FindStringResource(HINSTANCE module, UINT id, int* length);
// The same string as library text; empty when missing.
TStdStr<char> LoadStringResource(HINSTANCE module, UINT id);
