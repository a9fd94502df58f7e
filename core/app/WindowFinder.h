#pragma once
// CWindowFinder finds a top-level window by its class name and a registered question message that
// the window answers with the message's own number. CSingleInstanceFinder builds the program's
// single-instance protocol on it: a second process detects the first through a named mutex, hands
// it its command-line URL by WM_COPYDATA, brings it to the front and ends. The running instance's
// main window answers through the same object's message handler.
#include "core/library/StdStr.h"
#include "platform/AtlWin.h"

class CWindowFinder {
public:
    CWindowFinder(const char* className, const char* questionMessageName);
    virtual ~CWindowFinder() = default;
    CWindowFinder(const CWindowFinder&) = delete;
    CWindowFinder& operator=(const CWindowFinder&) = delete;

    // The first top-level window that passes TestWindow, or 0; kept as the found window.
    HWND Find();
    // The enumeration predicate: false (stop) once this window is the one sought.
    bool TestWindow(HWND window);

    HWND GetFoundWindow() const { return m_foundWindow; }
    UINT GetQuestionMessage() const { return m_questionMessage; }

    // How long a window may take to answer the question.
    static constexpr UINT kAnswerTimeoutMs = 200;

protected:
    TStdStr<char> m_className;
    HWND m_foundWindow = nullptr;
    UINT m_questionMessage = 0;
};

class CSingleInstanceFinder : public CWindowFinder {
public:
    static constexpr ULONG_PTR kCopyDataId = 100;
    static constexpr const char* kMutexName = "{CBC28A19-427D-442b-925C-6C539D06565A}";
    // The longest URL the receiver takes, its terminating zero included (the system's URL limit).
    static constexpr DWORD kMaxUrlBytes = 2084;
    // How long a second process keeps looking for the window of an instance that holds the mutex
    // but does not answer yet (still starting, or busy).
    static constexpr DWORD kHandOverPatienceMs = 10000;

    CSingleInstanceFinder();
    ~CSingleInstanceFinder() override;

    // True when another instance runs (this process must end): the URL was handed to it, or it
    // never answered. False when this process is the first; it then holds the mutex until exit.
    // The window that took the URL is given back, 0 when none did.
    bool HandOverToRunningInstance(const char* url, HWND& window, bool bringToFront);

    // The message handler that the main window chains before its own map: answers the question
    // message with its own id and takes WM_COPYDATA (reply 1 when taken, else the message is left
    // to the window).
    BEGIN_MSG_MAP(CSingleInstanceFinder)
        MESSAGE_HANDLER(m_questionMessage, OnQuestion)
        MESSAGE_HANDLER(WM_COPYDATA, OnCopyDataMessage)
    END_MSG_MAP()

    // Opens the handed-over URL through the application object. False for data that is not a
    // URL-sized text of this protocol; the text is never read beyond cbData.
    bool OnCopyData(HWND sender, const COPYDATASTRUCT* data);

private:
    LRESULT OnQuestion(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCopyDataMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    bool CreateInstanceMutex();
    bool SendUrl(HWND window, const char* url, bool bringToFront);

    CHandle m_mutex;
};

// The single-instance finder of the program, created on first use and destroyed in the ordered
// teardown (priority 201, before the application object), which closes the mutex; null after that.
CSingleInstanceFinder* GetSingleInstanceFinder();

// Starts a process; the holder of its handle, empty when the process could not be started.
CHandle StartProcess(const char* applicationPath, const char* commandLine);
