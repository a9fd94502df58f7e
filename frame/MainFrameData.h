#pragma once
// State shared by the main frame, the browser tabs and the content filter, created on first use by
// GetMainFrameData and destroyed at exit just after the main frame. UI thread only: nothing here is
// locked.
#include "core/library/StdStr.h"

#include <windows.h>

#include <map>
#include <vector>

// One script error a page reported.
struct ScriptErrorRecord {
    long line = 0;
    long character = 0;
    long code = 0;
    TStdStr<char> message;
    TStdStr<char> url;
    // Whether scripts of the page may go on running after this error: false once the user
    // answered No for it.
    bool goOn = true;

    // Two reports are the same error when everything but the answer is equal.
    bool SameError(const ScriptErrorRecord& other) const
    {
        return line == other.line && character == other.character && code == other.code &&
               message == other.message && url == other.url;
    }
};

class CMainFrameData {
public:
    // The address of the latest navigation: set by a tab before each navigation it lets through,
    // read by the content filter.
    TStdStr<char> m_latestNavigationUrl;
    // Blocked web-page dialogs still to be closed: raised when one is blocked, lowered by the frame
    // when it is deactivated.
    long m_pendingBlockedDialogs = 0;
    // The script errors of each tab's page, by the tab's window; a tab's entry goes with the tab.
    std::map<HWND, std::vector<ScriptErrorRecord>> m_scriptErrors;
};

CMainFrameData& GetMainFrameData();
