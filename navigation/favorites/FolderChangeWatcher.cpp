#include "navigation/favorites/FolderChangeWatcher.h"

#include "core/system/ShellItems.h"
#include "platform/Diagnostics.h"

namespace {
constexpr DWORD kWatchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
}

bool CFolderChangeWatcher::Start(HWND target, const std::string& folder, bool subtree)
{
    Stop();
    std::string path = folder;
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    if (path.empty() || !target)
        return false;
    m_stop.Attach(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!m_stop.IsValid())
        return false;
    m_change = FindFirstChangeNotificationA(path.c_str(), subtree ? TRUE : FALSE, kWatchedChanges);
    if (m_change == INVALID_HANDLE_VALUE) {
        m_stop.Close();
        return false;
    }
    m_target = target;
    GetFileNotificationMessage();  // registered here, on the owner's thread, before the first post
    DWORD id = 0;
    m_thread.Attach(CreateThread(nullptr, 0, &CFolderChangeWatcher::ThreadMain, this, 0, &id));
    if (!m_thread.IsValid()) {
        FindCloseChangeNotification(m_change);
        m_change = INVALID_HANDLE_VALUE;
        m_stop.Close();
        return false;
    }
    return true;
}

void CFolderChangeWatcher::Stop()
{
    if (m_thread.IsValid()) {
        SetEvent(m_stop);
        WaitForSingleObject(m_thread, INFINITE);
        m_thread.Close();
    }
    if (m_change != INVALID_HANDLE_VALUE) {
        FindCloseChangeNotification(m_change);
        m_change = INVALID_HANDLE_VALUE;
    }
    m_stop.Close();
}

DWORD WINAPI CFolderChangeWatcher::ThreadMain(void* parameter)
{
    try {
        return static_cast<CFolderChangeWatcher*>(parameter)->Run();
    } catch (...) {
        ReportCaughtException("CFolderChangeWatcher thread");
        return kExceptionExitCode;
    }
}

DWORD CFolderChangeWatcher::Run()
{
    const UINT message = GetFileNotificationMessage();
    HANDLE handles[2] = {m_stop, m_change};
    for (;;) {
        // The stop event comes first, so a stop wins over changes that arrive at the same time.
        const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (result != WAIT_OBJECT_0 + 1)
            return 0;
        // Watch again before telling the owner: whatever changes after the owner reads the folder
        // is then seen. Wine keeps no changes that come while nobody is watching, so the other
        // order could lose a change made between the post and the next watch.
        const bool watching = FindNextChangeNotification(m_change) != FALSE;
        PostMessageA(m_target, message, 0, 0);
        if (!watching)
            return 0;
    }
}
