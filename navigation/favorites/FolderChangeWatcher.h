#pragma once
// CFolderChangeWatcher: a thread that waits for file-name and folder-name changes in one folder
// and posts the registered "_FileNotification" message (both parameters 0) to a window for each.
// The thread touches only its own handles; the window rebuilds on the user-interface thread.
//
// Lifetime: the owner holds the watcher; Stop (also run by the destructor) ends the thread and
// waits for it, so no message is posted after Stop returns.
#include "platform/AtlBase.h"

#include <windows.h>

#include <string>

class CFolderChangeWatcher {
public:
    CFolderChangeWatcher() = default;
    ~CFolderChangeWatcher() { Stop(); }
    CFolderChangeWatcher(const CFolderChangeWatcher&) = delete;
    CFolderChangeWatcher& operator=(const CFolderChangeWatcher&) = delete;

    // Starts watching (a running watch is stopped first); false when the folder cannot be watched
    // or the thread cannot start; no thread runs then.
    bool Start(HWND target, const std::string& folder, bool subtree);
    void Stop();
    bool IsRunning() const { return m_thread.IsValid(); }

private:
    static DWORD WINAPI ThreadMain(void* parameter);
    DWORD Run();

    CHandle m_thread;
    CHandle m_stop;
    HANDLE m_change = INVALID_HANDLE_VALUE;  // owned; closed with FindCloseChangeNotification
    HWND m_target = nullptr;                 // not owned
};
