#include "core/app/WindowFinder.h"
#include "core/app/AppModule.h"
#include "core/app/MainFrameMessages.h"
#include "core/library/LifetimeTracker.h"
#include "core/library/Z4KApp.h"

#include <vector>

namespace {

BOOL CALLBACK TestWindowThunk(HWND window, LPARAM finder)
{
    return reinterpret_cast<CWindowFinder*>(finder)->TestWindow(window) ? TRUE : FALSE;
}

// The handed-over text: at most cbData bytes, up to the first zero. Empty when the data is no text
// of a URL's size: too long, or holding control characters.
bool ReadHandedOverUrl(const COPYDATASTRUCT& data, TStdStr<char>& url)
{
    if (!data.lpData || data.cbData == 0 || data.cbData > CSingleInstanceFinder::kMaxUrlBytes)
        return false;
    const auto* bytes = static_cast<const unsigned char*>(data.lpData);
    DWORD length = 0;
    while (length < data.cbData && bytes[length] != 0) {
        if (bytes[length] < 0x20)
            return false;
        ++length;
    }
    url.assign(reinterpret_cast<const char*>(bytes), length);
    return true;
}

} // namespace

CWindowFinder::CWindowFinder(const char* className, const char* questionMessageName)
    : m_className(className ? className : "")
{
    // Finders can be built while other static initializers run: registration holds the module's lock.
    CComCritSecLock<CComAutoCriticalSection> lock(GetAppModule().m_csStaticDataInitAndTypeInfo);
    m_questionMessage = RegisterWindowMessageA(questionMessageName ? questionMessageName : "");
}

HWND CWindowFinder::Find()
{
    m_foundWindow = nullptr;
    EnumWindows(&TestWindowThunk, reinterpret_cast<LPARAM>(this));
    return m_foundWindow;
}

bool CWindowFinder::TestWindow(HWND window)
{
    char className[257] = "";
    if (!GetClassNameA(window, className, sizeof(className)))
        className[0] = '\0';
    if (m_className != className)
        return true;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, m_questionMessage, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                            &answer) &&
        answer == m_questionMessage) {
        m_foundWindow = window;
        return false;
    }
    return true;
}

CSingleInstanceFinder::CSingleInstanceFinder() : CWindowFinder(kMainFrameClassName, "UWM_KivoBrowser_IsMe")
{
}

CSingleInstanceFinder::~CSingleInstanceFinder() = default;

// True when another instance already holds the mutex. The handle is kept either way, so that a
// first instance holds the mutex until it ends.
bool CSingleInstanceFinder::CreateInstanceMutex()
{
    // The handle held before must be closed first: while this process still holds it, the mutex
    // would always exist already.
    m_mutex.Close();
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    const bool exists = GetLastError() == ERROR_ALREADY_EXISTS;
    m_mutex.Attach(mutex);
    return exists;
}

bool CSingleInstanceFinder::HandOverToRunningInstance(const char* url, HWND& window, bool bringToFront)
{
    window = nullptr;
    if (!CreateInstanceMutex())
        return false;
    // The instance that holds the mutex may not answer yet: its window may not exist, or it may be
    // busy. Keep asking for a while rather than drop the URL; when that instance ends meanwhile,
    // this process becomes the instance.
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = Find()) {
            if (SendUrl(found, url, bringToFront))
                window = found;
            return true;
        }
        if (GetTickCount() - start >= kHandOverPatienceMs)
            return true;
        Sleep(250);
        if (!CreateInstanceMutex())
            return false;
    }
}

bool CSingleInstanceFinder::SendUrl(HWND window, const char* url, bool bringToFront)
{
    COPYDATASTRUCT data = {};
    data.dwData = kCopyDataId;
    data.cbData = url ? static_cast<DWORD>(lstrlenA(url) + 1) : 0;
    data.lpData = const_cast<char*>(url);
    if (!SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)))
        return false;
    if (bringToFront) {
        ShowWindow(window, SW_SHOWNA);
        SetForegroundWindow(window);
        if (IsIconic(window))
            ShowWindow(window, SW_RESTORE);
        BringWindowToTop(window);
    }
    return true;
}

LRESULT CSingleInstanceFinder::OnQuestion(UINT, WPARAM, LPARAM, BOOL&)
{
    return m_questionMessage;
}

LRESULT CSingleInstanceFinder::OnCopyDataMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    return handled ? 1 : 0;
}

bool CSingleInstanceFinder::OnCopyData(HWND, const COPYDATASTRUCT* data)
{
    TStdStr<char> url;
    if (!data || data->dwData != kCopyDataId || !ReadHandedOverUrl(*data, url))
        return false;
    if (CZ4KApp* app = GetCurrentApp())
        app->OpenUrl(url.c_str());
    return true;
}

CSingleInstanceFinder* GetSingleInstanceFinder()
{
    return GetSingleton<CSingleInstanceFinder, kPriorityInstanceFinder>();
}

CHandle StartProcess(const char* applicationPath, const char* commandLine)
{
    // CreateProcess may write to the command line, so it gets a copy of its own.
    std::vector<char> line;
    if (commandLine)
        line.assign(commandLine, commandLine + lstrlenA(commandLine) + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(applicationPath, line.empty() ? nullptr : line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return CHandle();
    CHandle thread(process.hThread); // not needed: closed here
    return CHandle(process.hProcess);
}
