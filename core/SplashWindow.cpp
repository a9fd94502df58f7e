#include "core/SplashWindow.h"
#include "core/StartupServices.h"

#include <process.h>
#include <cstdio>

namespace {

// How often the user-interface thread looks at the splash thread while it waits for it.
constexpr DWORD kPollMs = 500;

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
    : m_bitmap(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kBitmapId), IMAGE_BITMAP,
                                               0, 0, LR_DEFAULTCOLOR)))
{
}

CSplashWindow::~CSplashWindow()
{
    CloseAfter(0);
    while (IsWindow(m_window.load()))
        Sleep(kPollMs);
    if (m_bitmap)
        DeleteObject(m_bitmap);
}

void CSplashWindow::StartThread()
{
    const uintptr_t thread = _beginthreadex(nullptr, 0, &CSplashWindow::SplashThreadProc, this, 0, nullptr);
    if (!thread) {
        GetStartupServices().showMessageBox(nullptr, "ERROR: Cannot creating thread!!!", nullptr, MB_ICONINFORMATION);
        return;
    }
    m_thread = reinterpret_cast<HANDLE>(thread);
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
            PostMessageA(m_window, kCloseAfterMessage, 0, static_cast<LPARAM>(delayMs));
    }
    CloseHandle(m_thread);
    m_thread = nullptr;
}

unsigned __stdcall CSplashWindow::SplashThreadProc(void* splash)
{
    auto* self = static_cast<CSplashWindow*>(splash);
    HWND window = self->CreateSplashWindow();
    if (!window)
        return 0;
    SetForegroundWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<unsigned>(msg.wParam);
}

HWND CSplashWindow::CreateSplashWindow()
{
    // A class name of its own, made from the procedure's address like any private generated name.
    static char className[48];
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!className[0]) {
        std::snprintf(className, sizeof(className), "KivoSplash:%p",
                      reinterpret_cast<void*>(&CSplashWindow::WindowProc));
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        windowClass.lpfnWndProc = &CSplashWindow::WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = className;
        RegisterClassExA(&windowClass);
    }
    return CreateWindowExA(WS_EX_TOOLWINDOW, className, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, GetDesktopWindow(), nullptr, instance, this);
}

LRESULT CALLBACK CSplashWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<CSplashWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_window = window;
    }
    auto* self = reinterpret_cast<CSplashWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return self->OnMessage(window, message, wParam, lParam);
}

LRESULT CSplashWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        Paint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_APPSTARTING)));
        return TRUE;
    case kCloseAfterMessage:
        SetTimer(window, kCloseTimerId, static_cast<UINT>(lParam), nullptr);
        return 0;
    case WM_TIMER:
        if (wParam != kCloseTimerId)
            break;
        KillTimer(window, kCloseTimerId);
        PostQuitMessage(0);
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void CSplashWindow::OnCreate(HWND window)
{
    BITMAP bitmap = {};
    if (m_bitmap && GetObjectA(m_bitmap, sizeof(bitmap), &bitmap))
        SetWindowPos(window, HWND_TOPMOST, 0, 0, bitmap.bmWidth, bitmap.bmHeight, SWP_NOMOVE);
    else
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CenterOnWorkArea(window);
    SetForegroundWindow(window);
    if (!IsNt5OrLater() || !AnimateSplash(window, 200, AW_ACTIVATE | AW_SLIDE | AW_BLEND))
        ShowWindow(window, SW_SHOW);
    m_ready = true;
}

void CSplashWindow::Paint(HDC dc)
{
    if (!m_bitmap || !dc)
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ previous = SelectObject(memory, m_bitmap);
    RECT client;
    GetClientRect(m_window, &client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}
