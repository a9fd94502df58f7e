#pragma once
// State shared by the main frame, the browser tabs and the content filter, created on first use by
// GetMainFrameData and destroyed at exit. UI thread only: nothing here is locked.
//
// Menu items that show a web site are queued with their URL until the favicon cache has the
// site's icon: every 2500 ms at most six queued items are tried and, when the icon is there, the
// command's icon becomes it. The period is a thread timer (SetTimer with no window). Its
// procedure finds the object through a map from timer id to object rather than through a code
// thunk written into the object: on x86_64 the heap is not executable and ten bytes cannot load
// a 64-bit address and jump. The timer stops when a tick ends with an empty queue and starts
// again when an item is queued.
#include "core/library/StdStr.h"

#include <windows.h>

#include <map>
#include <random>
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

// Where the menu icons come from: the favicon cache's index for a URL (kNoSiteIcon while it has
// none) and the command-icon store that shows it. The navigation library installs the cache's.
class IMenuIconSource {
public:
    virtual ~IMenuIconSource() = default;
    virtual int GetIconIndex(const char* url) = 0;
    virtual void SetCommandIcon(UINT command, int iconIndex) = 0;
};

// A queued menu item: the low 16 bits the command id, the high 16 bits the tries so far.
struct CMenuIconRequest {
    DWORD commandWord = 0;
    TStdStr<char> url;
};

class CMainFrameData {
public:
    static constexpr UINT kTimerPeriod = 2500;
    static constexpr size_t kPicksPerTick = 6;
    static constexpr unsigned kMaxTries = 12;
    static constexpr int kNoSiteIcon = 4;

    CMainFrameData();
    ~CMainFrameData();
    CMainFrameData(const CMainFrameData&) = delete;
    CMainFrameData& operator=(const CMainFrameData&) = delete;

    // The address of the latest navigation: set by a tab before each navigation it lets through,
    // read by the content filter.
    TStdStr<char> m_latestNavigationUrl;
    // Blocked web-page dialogs still to be closed: raised when one is blocked, lowered by the frame
    // when it is deactivated.
    long m_pendingBlockedDialogs = 0;
    // The script errors of each tab's page, by the tab's window; a tab's entry goes with the tab.
    std::map<HWND, std::vector<ScriptErrorRecord>> m_scriptErrors;

    // Queues the command's item for its site's icon (0 tries) and starts the timer when it stopped.
    void QueueMenuIcon(UINT command, const char* url);
    const std::vector<CMenuIconRequest>& GetPendingMenuIcons() const { return m_pending; }
    // Not owned; null: no icons are found (every try counts as "no icon yet").
    IMenuIconSource* SetMenuIconSource(IMenuIconSource* source);
    // One tick; true while the queue still holds entries.
    bool OnTimer(DWORD time);
    // Reseeds the picks (tests make them repeatable).
    void SeedPicks(unsigned seed) { m_random.seed(seed); }
    bool IsTimerRunning() const { return m_timerId != 0; }

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD time);
    void StartTimer();
    void StopTimer();

    std::vector<CMenuIconRequest> m_pending;
    std::mt19937 m_random{5489u};
    UINT_PTR m_timerId = 0;
    IMenuIconSource* m_iconSource = nullptr;  // not owned
};

CMainFrameData& GetMainFrameData();
