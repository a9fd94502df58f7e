#pragma once
// The hand-off of file downloads to the outside download manager. What the browser writes, sends
// and expects is the manager's protocol and must not change:
//  - the manager's main window has the class "DM_MAIN" and answers the registered question
//    "UWM_QuickFetch_IsMe" with the question's own number; when none runs, the program named by
//    "ProgLocation" of the manager's registry key is started;
//  - the slot table is a paging-file mapping named kDownloadSlotTableName of five slots of four
//    32-bit words; word 0 is the slot's state (DownloadSlotState), which both sides change only
//    with interlocked operations, so two browsers never claim the same slot;
//  - the request block of slot n is a mapping named after the table followed by n in decimal: a
//    32-bit length, then a storing archive of a 32-bit count and three strings per request;
//  - kDownloadManagerRequestMessage (wParam 1) is sent to the manager once the block is written.
// The manager is another program: every wait for it is bounded, and whatever it does (refuse,
// never answer, end) leaves the slot free and the navigation to the engine.
// UI thread.
#include "core/library/StdStr.h"

#include <windows.h>

#include <vector>

struct DownloadRequest {
    TStdStr<char> url;
    TStdStr<char> referrer;  // the page that led to the download
    TStdStr<char> extra;     // left empty by the browser
};

enum DownloadSlotState : LONG {
    kDownloadSlotFree = 0,
    kDownloadSlotWaiting = 1,  // a request whose sender waits for the answer
    kDownloadSlotNoWait = 3,   // a request whose sender does not wait
    kDownloadSlotTaken = 5,
    kDownloadSlotRefused = 6,
};

constexpr char kDownloadManagerClass[] = "DM_MAIN";
constexpr char kDownloadManagerQuestion[] = "UWM_QuickFetch_IsMe";
constexpr char kDownloadSlotTableName[] = "{F4EA62C4-CFFF-46c2-9B24-ACC34720EBD7}";
constexpr UINT kDownloadManagerRequestMessage = WM_APP + 0x25;
constexpr int kDownloadSlotCount = 5;
constexpr DWORD kDownloadSlotBytes = 16;
constexpr DWORD kDownloadSlotTableBytes = kDownloadSlotCount * kDownloadSlotBytes;
// The manager's registry names (read with the settings store switched to them).
constexpr char kDownloadManagerCompany[] = "QuickFetch";
constexpr char kDownloadManagerApplication[] = "QuickFetch";
// "MonitorFlags" bits.
constexpr DWORD kMonitorFlagHandOff = 0x2;
constexpr DWORD kMonitorFlagNewEngines = 0x10;

// The monitored extensions: lower case, each with its dot, in the order of the manager's list.
class CMonitoredExtensions {
public:
    CMonitoredExtensions() = default;
    CMonitoredExtensions(const CMonitoredExtensions&) = delete;
    CMonitoredExtensions& operator=(const CMonitoredExtensions&) = delete;

    // Replaces the list with the blank-separated tokens of text (runs of blanks give no entry).
    void SetFromText(const char* text);
    // extension with its dot, in any case.
    bool Contains(const char* extension) const;
    const std::vector<TStdStr<char>>& Items() const { return m_items; }

private:
    std::vector<TStdStr<char>> m_items;
};

// The program's list, created on first use (empty until loaded) and destroyed in the ordered
// teardown (priority kPriorityDownloadManagerHandOff).
CMonitoredExtensions& GetMonitoredExtensions();
// Reads "Config" / "MonitorFileExtList" of the manager's key (with its default) into the list.
void LoadMonitorFileExtList();
// "Config" / "MonitorFlags" of the manager's key, read anew each time (default 2).
DWORD ReadMonitorFlags();
// "Settings" / "ProgLocation" of the manager's key, empty when not installed.
TStdStr<char> ReadDownloadManagerLocation();

// Mode 0 accepts any address; mode 1 an http or ftp address; mode 2 an http or ftp address whose
// file (the one named by its query and fragment when it has them, else by its path) has a
// monitored extension. An empty address passes mode 0 only; other modes are false.
bool IsMonitoredDownload(const char* url, int mode);

// The request block's archive data: a 32-bit count, then the three strings of each request.
std::vector<BYTE> SerializeDownloadRequests(const std::vector<DownloadRequest>& requests);

class CDownloadHandOff {
public:
    enum class Result {
        taken,      // the manager took the requests (or, without wait, was told of them)
        refused,    // the manager refused them
        noManager,  // none running and none could be started in time
        noSlot,     // all five slots busy
        failed,     // the shared memory could not be set up
        noAnswer,   // the manager ended or did not answer within the bound
    };

    CDownloadHandOff() = default;
    CDownloadHandOff(const CDownloadHandOff&) = delete;
    CDownloadHandOff& operator=(const CDownloadHandOff&) = delete;

    Result HandOff(const std::vector<DownloadRequest>& requests, bool wait);
    // The manager's window, started from its location when none runs; null when there is none.
    HWND FindOrStartManager();

    // How long a starting manager is given (polls of the interval), how often the answer is read,
    // and how long a manager that does not answer is waited for.
    int startPolls = 10;
    DWORD startPollIntervalMs = 1000;
    DWORD answerPollIntervalMs = 500;
    DWORD answerTimeoutMs = 30000;
};

// True when the requests were handed over (with wait: taken by the manager).
bool HandOffDownloads(const std::vector<DownloadRequest>& requests, bool wait);

// The tab's test before a navigation is offered to the manager: the manager is installed, Ctrl is
// not held, "MonitorFlags" asks for hand-offs from this engine, and the address passes mode 2.
bool WantsDownloadHandOff(const char* url);
// The tab's BeforeNavigate2 step: true when the manager took the address (the navigation is then
// cancelled); false leaves the navigation to the engine.
bool HandOffNavigation(const char* url, const char* referrer);
