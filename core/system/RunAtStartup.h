#pragma once
// The run-at-startup entry: the program's path under a value of the current user's Run key.
#include "core/library/StdStr.h"

#include <windows.h>

// The current user's Run key.
inline constexpr const char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// Stores the program's path, in quotes, under `valueName` in the current user's Run key; false
// when the key cannot be opened or the value cannot be written.
bool SetRunAtStartup(const char* valueName);
// Removes the value; true when it is gone (also when it was never there).
bool RemoveRunAtStartup(const char* valueName);
// The command line stored for a program path: the path in double quotes.
TStdStr<char> MakeRunCommand(const char* programPath);
// The two steps on an open key, so that a refused write can be seen: false when it fails.
bool WriteRunValue(HKEY key, const char* valueName, const char* programPath);
bool DeleteRunValue(HKEY key, const char* valueName);
// The value name under which the program starts with Windows.
inline constexpr char kRunValueName[] = "Kivo Browser";
