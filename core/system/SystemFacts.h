#pragma once
// Single facts about the running system and program that features ask for in passing.
#include "core/library/StdStr.h"

bool IsWin9x();
bool IsDropShadowEnabled();
// The program file's title without its extension.
TStdStr<char> GetProgramTitle();
