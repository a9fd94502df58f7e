#include "frame/FrameShell.h"

#include "core/app/Settings.h"
#include "core/system/DynamicLibrary.h"

#include <mmsystem.h>
#include <shlobj.h>
#include <shellapi.h>
#include <wininet.h>

namespace {

bool RunsUnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class CSystemFrameShell final : public IFrameShell {
public:
    bool Execute(const char* verb, const char* file, const char* parameters, int show) override
    {
        const HINSTANCE result = ::ShellExecuteA(nullptr, verb, file, parameters, nullptr, show);
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
    void Beep(DWORD frequency, DWORD milliseconds) override { ::Beep(frequency, milliseconds); }
    void PlaySoundFile(const char* path) override
    {
        if (path && *path)
            ::PlaySoundA(path, nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
    }
    void MessageBeep(UINT type) override { ::MessageBeep(type); }
    bool IsWorkingOffline() override
    {
        DWORD state = 0;
        DWORD size = sizeof(state);
        if (!::InternetQueryOptionA(nullptr, INTERNET_OPTION_CONNECTED_STATE, &state, &size))
            return false;
        return (state & INTERNET_STATE_DISCONNECTED_BY_USER) != 0;
    }
    void SetWorkingOffline(bool offline) override
    {
        INTERNET_CONNECTED_INFO info = {};
        info.dwConnectedState = offline ? INTERNET_STATE_DISCONNECTED_BY_USER : INTERNET_STATE_CONNECTED;
        info.dwFlags = offline ? ISO_FORCE_DISCONNECTED : 0;
        ::InternetSetOptionA(nullptr, INTERNET_OPTION_CONNECTED_STATE, &info, sizeof(info));
    }
    void ClearCache() override { ClearUrlCacheEntries(true, false); }
    void ClearCookies() override { ClearUrlCacheEntries(false, true); }
    void ClearHistory() override
    {
        if (GetSettingsServices().clearUrlHistory)
            GetSettingsServices().clearUrlHistory();
    }
    void ClearTypedAddresses() override
    {
        if (GetSettingsServices().deleteTypedUrlHistory)
            GetSettingsServices().deleteTypedUrlHistory();
    }
    void ShowInternetOptions(HWND) override { Execute("open", "control.exe", "inetcpl.cpl", SW_SHOWNORMAL); }
    // The report lives in the shell's document view library, loaded for the call and freed after.
    // Wine's library names the function but only as an unimplemented stub, whose call ends the
    // program: under Wine there is no report.
    bool ShowPrivacyReport(HWND parent, const wchar_t* url, IEnumPrivacyRecords* records) override
    {
        using DoPrivacyDlgProc = HRESULT(WINAPI*)(HWND, PCWSTR, IEnumPrivacyRecords*, BOOL);
        if (RunsUnderWine())
            return false;
        CDynamicLibrary library;
        if (!library.Load("shdocvw.dll"))
            return false;
        const auto show = reinterpret_cast<DoPrivacyDlgProc>(reinterpret_cast<void*>(library.GetProc("DoPrivacyDlg")));
        return show && SUCCEEDED(show(parent, url ? url : L"", records, FALSE));
    }
};

IFrameShell* g_shell = nullptr;  // not owned; UI thread only

} // namespace

IFrameShell& GetFrameShell()
{
    static CSystemFrameShell system;
    return g_shell ? *g_shell : system;
}

IFrameShell* SetFrameShell(IFrameShell* shell)
{
    IFrameShell* previous = g_shell;
    g_shell = shell;
    return previous;
}
