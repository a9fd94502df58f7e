#include "core/app/SplashWindow.h"
#include "core/app/AppModule.h"
#include "core/system/MessageBoxes.h"
#include "platform/Diagnostics.h"

#include <process.h>

namespace {

// How often the user-interface thread looks at the splash thread while it waits for it.
constexpr DWORD kPollMs = 500;
// AnimateWindow's flags for the splash: shown, sliding and blending in.
constexpr DWORD kAnimation = AW_ACTIVATE | AW_SLIDE | AW_BLEND;

// AnimateWindow, looked up at run time: the system may not have it.
BOOL AnimateSplash(HWND window, DWORD timeMs, DWORD flags)
{
    using AnimateWindowFunction = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    static const auto animate = reinterpret_cast<AnimateWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "AnimateWindow")));
    return animate ? animate(window, timeMs, flags) : FALSE;
}

bool IsNt5OrLater()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
}

} // namespace

void CenterOnWorkArea(HWND window)
{
    RECT rect;
    RECT work;
    GetWindowRect(window, &rect);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - (rect.right - rect.left)) / 2,
                 work.top + (work.bottom - work.top - (rect.bottom - rect.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CSplashWindow::CSplashWindow()
{
    m_bitmap.LoadBitmap(AtlGetResourceInstance(), kBitmapId);
}

CSplashWindow::~CSplashWindow()
{
    // Normally closed already; this only makes sure a started splash does not stay.
    CloseAfter(0);
    while (::IsWindow(m_window.load()))
        Sleep(kPollMs);
}

void CSplashWindow::StartThread()
{
    const uintptr_t thread = _beginthreadex(nullptr, 0, &CSplashWindow::SplashThreadProc, this, 0, nullptr);
    if (!thread) {
        GetMessageBoxes().Show(nullptr, "ERROR: Cannot creating thread!!!", nullptr, MB_ICONINFORMATION);
        return;
    }
    m_thread.Attach(reinterpret_cast<HANDLE>(thread));
    WaitForInputIdle(GetCurrentProcess(), 300);
}

void CSplashWindow::CloseAfter(UINT delayMs)
{
    if (!m_thread)
        return;
    DWORD exitCode = 0;
    if (GetExitCodeThread(m_thread, &exitCode) && exitCode == STILL_ACTIVE) {
        // Wait for the window to appear; a splash thread that ends first (its window could not be
        // created) ends the wait too.
        while (!m_ready && WaitForSingleObject(m_thread, kPollMs) == WAIT_TIMEOUT) {
        }
        if (m_ready)
            ::PostMessageA(m_window, kCloseAfterMessage, 0, static_cast<LPARAM>(delayMs));
    }
    m_thread.Close();
}

unsigned __stdcall CSplashWindow::SplashThreadProc(void* splash)
{
    try {
        auto* self = static_cast<CSplashWindow*>(splash);
        CMessageLoop loop;
        GetAppModule().AddMessageLoop(&loop);
        int result = 0;
        if (HWND window = self->CreateSplashWindow()) {
            ::SetForegroundWindow(window);
            result = loop.Run();
        }
        GetAppModule().RemoveMessageLoop();
        return static_cast<unsigned>(result);
    } catch (...) {
        ReportCaughtException("splash thread");
        return kExceptionExitCode;
    }
}

HWND CSplashWindow::CreateSplashWindow()
{
    return Create(GetDesktopWindow(), rcDefault, nullptr, WS_POPUP, WS_EX_TOOLWINDOW);
}

LRESULT CSplashWindow::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    m_window = m_hWnd;
    SIZE size = {};
    if (!m_bitmap.IsNull() && m_bitmap.GetSize(size))
        SetWindowPos(HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE);
    else
        SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CenterOnWorkArea(m_hWnd);
    ::SetForegroundWindow(m_hWnd);
    if (!IsNt5OrLater() || !AnimateSplash(m_hWnd, 200, kAnimation))
        ShowWindow(SW_SHOW);
    m_ready = true;
    return 0;
}

LRESULT CSplashWindow::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    if (message == WM_PRINTCLIENT) {
        DrawPicture(reinterpret_cast<HDC>(wParam));
    } else {
        CPaintDC dc(m_hWnd);
        DrawPicture(dc.m_hDC);
    }
    return 0;
}

LRESULT CSplashWindow::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_APPSTARTING)));
    return TRUE;
}

LRESULT CSplashWindow::OnCloseAfter(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    SetTimer(kCloseTimerId, static_cast<UINT>(lParam));
    return 0;
}

LRESULT CSplashWindow::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kCloseTimerId) {
        handled = FALSE;
        return 0;
    }
    KillTimer(kCloseTimerId);
    ::PostQuitMessage(0);
    DestroyWindow();
    return 0;
}

void CSplashWindow::DrawPicture(HDC target)
{
    if (m_bitmap.IsNull() || !target)
        return;
    CDC memory;
    if (!memory.CreateCompatibleDC(target))
        return;
    const HBITMAP previous = memory.SelectBitmap(m_bitmap);
    RECT client;
    GetClientRect(&client);
    ::BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    memory.SelectBitmap(previous);
}
