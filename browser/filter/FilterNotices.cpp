#include "browser/filter/FilterNotices.h"

#include "browser/filter/AdFilter.h"
#include "browser/filter/PopupAllowList.h"
#include "core/app/Settings.h"
#include "frame/BrowserTab.h"
#include "frame/MainFrameData.h"
#include "platform/Diagnostics.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <utility>

namespace {

constexpr char kRelayWindowClass[] = "_KivoFilterNotices";
constexpr UINT kAdBlockedMessage = WM_APP + 1;

std::atomic<DWORD> g_uiThread{0};
std::atomic<HWND> g_relayWindow{nullptr};

struct CAdBlockedNotice {
    std::string rule;
    std::string url;
};

void DeliverAdBlocked(const CAdBlockedNotice& notice)
{
    if (IBrowserTabHost* host = GetBrowserTabHost())
        host->OnAdBlocked(notice.rule.c_str(), notice.url.c_str());
}

LRESULT CALLBACK RelayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kAdBlockedMessage) {
        // The notice is owned by this message from here on, whatever happens below.
        std::unique_ptr<CAdBlockedNotice> notice(reinterpret_cast<CAdBlockedNotice*>(lParam));
        try {
            DeliverAdBlocked(*notice);
        } catch (...) {
            ReportCaughtException("FilterNotices - RelayWindowProc");
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void InstallFilterUiThread()
{
    const DWORD thread = GetCurrentThreadId();
    if (g_uiThread.load() == thread && g_relayWindow.load())
        return;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = RelayWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRelayWindowClass;
    RegisterClassExA(&windowClass);  // fails harmlessly when registered already
    HWND window = CreateWindowExA(0, kRelayWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    g_uiThread = thread;
    g_relayWindow = window;
    GetAdFilter();
    GetPopupAllowList();
    GetSettings();
    GetMainFrameData();
}

bool IsFilterUiThread()
{
    return GetCurrentThreadId() == g_uiThread.load();
}

void ReportAdBlockedToHost(const std::string& rule, const std::string& url)
{
    if (IsFilterUiThread()) {
        DeliverAdBlocked(CAdBlockedNotice{rule, url});
        return;
    }
    HWND window = g_relayWindow.load();
    if (!window)
        return;
    auto notice = std::make_unique<CAdBlockedNotice>(CAdBlockedNotice{rule, url});
    if (PostMessageA(window, kAdBlockedMessage, 0, reinterpret_cast<LPARAM>(notice.get())))
        notice.release();  // the relay window owns it now
}
