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

    // The flag is set when the window's last message deletes the object before its creation ends.
    explicit CMainFrame(bool* deletedWhileCreating) : m_deletedWhileCreating(deletedWhileCreating) {}
    // Called once the window exists: from then on nobody waits on the flag.
    void CreationEnded() { m_deletedWhileCreating = nullptr; }

    BEGIN_MSG_MAP(CMainFrame)
        // The single-instance finder sees every message first, as the frame base chains it.
        if (CSingleInstanceFinder* finder = GetSingleInstanceFinder())
            CHAIN_MSG_MAP_MEMBER(*finder)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(kAfterCreateMessage, OnAfterCreate)
        MESSAGE_HANDLER(kOpenUrlMessage, OnOpenUrlMessage)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    void OnFinalMessage(HWND) override
    {
        if (m_deletedWhileCreating)
            *m_deletedWhileCreating = true;
        delete this;
    }

private:
    bool* m_deletedWhileCreating = nullptr; // not owned: the creator's flag, only during creation

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

// A creation that fails after the window got its first message (WM_CREATE answering -1, or Wine
// with no display driver, which refuses every top-level window right after WM_CREATE) still sends
// WM_NCDESTROY, and the last message has deleted the object by the time CreateWindowEx returns null.
// A second delete would run the destructor on the freed block, whose vtable-pointer stores overwrite
// the heap's free-list link; the heap then faults inside malloc at exit. Only a window that never
// reached the object (an unregistered class) leaves the object to this function.
HWND CreateMainFrame(const RECT& rect)
{
    bool deleted = false;
    auto* frame = new CMainFrame(&deleted);
    RECT area = rect;
    const HWND window = frame->Create(nullptr, area, "Kivo Browser");
    if (!window) {
        if (!deleted)
            delete frame;
        return nullptr;
    }
    frame->CreationEnded();
    return window;
}
