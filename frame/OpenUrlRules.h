#pragma once
// The decisions of the main frame's open-URL operation, apart from any window: how a text is
// cleaned, which texts are ignored, and whether the active tab is navigated or a new tab is made.
// Flags are those of the open-URL message (core/app/MainFrameMessages.h); other bits are ignored.
#include "core/library/StdStr.h"

#include <windows.h>

enum class EOpenUrlAction {
    Ignore,          // nothing is opened: the answer is 0
    NavigateActive,  // the active tab is navigated to the text
    NewTab,          // a new tab is made for the text
};

// White space (blank, tab, line breaks) cut at both ends.
TStdStr<char> TrimUrlText(const char* text);

// True for a text that names a program on this machine or a share (".exe", ".com", ".bat",
// ".cmd", ".scr", ".pif", ".lnk" at its end, or a UNC path "\\host\..."): the open-URL operation
// never starts programs, because every source of URLs, other processes and downloaded lists
// among them, ends in it.
bool IsProgramText(const TStdStr<char>& text);

// hasActiveTab: the MDI client has an active child that is a browser tab; activeUrl: its address.
EOpenUrlAction DecideOpenUrl(const TStdStr<char>& text, DWORD flags, bool hasActiveTab, const TStdStr<char>& activeUrl);
