#include "frame/MainFrame.h"
#include "core/app/BrowserApp.h"
#include "core/app/MainFrameMessages.h"
#include "core/app/WindowFinder.h"

#include "platform/AtlWin.h"

namespace {

// The window owns the object: it is deleted with the window's last message.
class CMainFrame : public CWindowImpl<CMainFrame, CWindow, CFrameWinTraits> {
public:
    DECLARE_WND_CLASS_EX(kMainFrameClassName, CS_DBLCLKS, COLOR_APPWORKSPACE)

    BEGIN_MSG_MAP(CMainFrame)
        // The single-instance finder sees every message first, as the frame base chains it.
        if (CSingleInstanceFinder* finder = GetSingleInstanceFinder())
            CHAIN_MSG_MAP_MEMBER(*finder)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(kAfterCreateMessage, OnAfterCreate)
        MESSAGE_HANDLER(kOpenUrlMessage, OnOpenUrlMessage)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    void OnFinalMessage(HWND) override { delete this; }

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&)
    {
        PostMessage(kAfterCreateMessage);
        return 0;
    }

    // The URL that arrived before the window existed.
    LRESULT OnAfterCreate(UINT, WPARAM, LPARAM, BOOL&)
    {
        if (auto* app = dynamic_cast<CBrowserApp*>(GetCurrentApp())) {
            const TStdStr<char> url = app->TakePendingUrl();
            OpenUrl(url.c_str());
        }
        return 0;
    }

    LRESULT OnOpenUrlMessage(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        return OpenUrl(reinterpret_cast<const char*>(wParam));
    }

    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
    {
        ::PostQuitMessage(1);
        return 0;
    }

    // Without tabs, the window's title shows the page that was opened last.
    LRESULT OpenUrl(const char* url)
    {
        if (!url || !*url || lstrlenA(url) > kMaxOpenUrlLength)
            return 0;
        SetWindowText((TStdStr<char>(url) + " - Kivo Browser").c_str());
        return reinterpret_cast<LRESULT>(m_hWnd);
    }
};

} // namespace

HWND CreateMainFrame(const RECT& rect)
{
    auto* frame = new CMainFrame;
    RECT area = rect;
    if (!frame->Create(nullptr, area, "Kivo Browser")) {
        delete frame;
        return nullptr;
    }
    return frame->m_hWnd;
}
