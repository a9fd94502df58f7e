#pragma once
// IFrameShell: what the main frame's commands ask of the system outside its own windows: starting
// programs and documents, sounds, the offline state, the system's records of browsing and its
// Internet Options. The production implementation calls the system; tests put a recording double
// in place with CScopedFrameShell, so that no command of a test starts a program, clears a real
// cache or plays a sound. UI thread only.
#include <windows.h>

struct IEnumPrivacyRecords;

class IFrameShell {
public:
    virtual ~IFrameShell() = default;
    // ShellExecute with the verb, file and parameters; true when the system took it.
    virtual bool Execute(const char* verb, const char* file, const char* parameters, int show) = 0;
    virtual void Beep(DWORD frequency, DWORD milliseconds) = 0;
    virtual void PlaySoundFile(const char* path) = 0;
    virtual void MessageBeep(UINT type) = 0;
    virtual bool IsWorkingOffline() = 0;
    virtual void SetWorkingOffline(bool offline) = 0;
    // The Internet cache without cookies, the cookies, the URL history, the typed addresses.
    virtual void ClearCache() = 0;
    virtual void ClearCookies() = 0;
    virtual void ClearHistory() = 0;
    virtual void ClearTypedAddresses() = 0;
    virtual void ShowInternetOptions(HWND parent) = 0;
    // The system's privacy report over `parent` for the page at `url`, with the cookie records the
    // page's engine keeps (null: none offered). False when the system has no such report or it
    // could not be shown.
    virtual bool ShowPrivacyReport(HWND parent, const wchar_t* url, IEnumPrivacyRecords* records) = 0;
};

// The current implementation: the one set last, else the production one.
IFrameShell& GetFrameShell();
// Puts `shell` (not owned; null: the production one) in place and returns the previous one.
IFrameShell* SetFrameShell(IFrameShell* shell);

class CScopedFrameShell {
public:
    explicit CScopedFrameShell(IFrameShell& replacement) : m_previous(SetFrameShell(&replacement)) {}
    ~CScopedFrameShell() { SetFrameShell(m_previous); }
    CScopedFrameShell(const CScopedFrameShell&) = delete;
    CScopedFrameShell& operator=(const CScopedFrameShell&) = delete;

private:
    IFrameShell* m_previous = nullptr;  // not owned: the implementation before this scope
};
