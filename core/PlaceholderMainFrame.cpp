#include "core/PlaceholderMainFrame.h"
#include "core/BrowserApp.h"
#include "core/WindowFinder.h"

namespace {

class CPlaceholderMainFrame {
public:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    explicit CPlaceholderMainFrame(HWND window) : m_window(window) {}
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnOpenUrl(const char* url);
    void OnAfterCreate();

    HWND m_window;
};

LRESULT CALLBACK CPlaceholderMainFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* frame = reinterpret_cast<CPlaceholderMainFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        frame = new CPlaceholderMainFrame(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    }
    if (!frame)
        return DefWindowProcA(window, message, wParam, lParam);
    const LRESULT result = frame->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete frame;
    }
    return result;
}

LRESULT CPlaceholderMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The single-instance finder sees every message first, as the frame base chains it.
    LRESULT result = 0;
    if (GetSingleInstanceFinder().ProcessWindowMessage(m_window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_CREATE:
        PostMessageA(m_window, kAfterCreateMessage, 0, 0);
        return 0;
    case kAfterCreateMessage:
        OnAfterCreate();
        return 0;
    case kOpenUrlMessage:
        return OnOpenUrl(reinterpret_cast<const char*>(wParam));
    case WM_DESTROY:
        PostQuitMessage(1);
        return 0;
    }
    return DefWindowProcA(m_window, message, wParam, lParam);
}

// The URL that arrived before the window existed.
void CPlaceholderMainFrame::OnAfterCreate()
{
    if (auto* app = dynamic_cast<CBrowserApp*>(GetCurrentApp())) {
        const TStdStr<char> url = app->TakePendingUrl();
        if (!url.empty())
            OnOpenUrl(url.c_str());
    }
}

LRESULT CPlaceholderMainFrame::OnOpenUrl(const char* url)
{
    if (!url || !*url || lstrlenA(url) > kMaxOpenUrlLength)
        return 0;
    const TStdStr<char> title = TStdStr<char>(url) + " - Kivo Browser";
    SetWindowTextA(m_window, title.c_str());
    return reinterpret_cast<LRESULT>(m_window);
}

} // namespace

HWND CreatePlaceholderMainFrame(const RECT& rect)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExA(instance, kMainFrameClassName, &windowClass)) {
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &CPlaceholderMainFrame::WindowProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        windowClass.lpszClassName = kMainFrameClassName;
        if (!RegisterClassExA(&windowClass))
            return nullptr;
    }
    return CreateWindowExA(0, kMainFrameClassName, "Kivo Browser", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, rect.left,
                           rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance,
                           nullptr);
}
