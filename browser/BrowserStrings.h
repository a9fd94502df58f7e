#pragma once
// The browser tab's texts: string resources with their English text as the fallback, and the
// cutting of titles for the tab strip.
#include "core/library/StdStr.h"

#include <windows.h>

// The string resource `id` of the program (or the test program), else `fallback`.
TStdStr<char> BrowserString(UINT id, const char* fallback);
// The text cut to at most `limit` characters, the last three of them "..." when it was cut.
TStdStr<char> CutWithEllipsis(const TStdStr<char>& text, size_t limit);
// UTF-16 text from the engine in the program's narrow character set; null gives "".
TStdStr<char> NarrowText(const wchar_t* text);
