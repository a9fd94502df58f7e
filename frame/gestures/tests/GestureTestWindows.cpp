#include "frame/gestures/tests/GestureTestWindows.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace gesture_test {

namespace {

const char* MessageName(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE: return "move";
    case WM_LBUTTONDOWN: return "ldown";
    case WM_LBUTTONUP: return "lup";
    case WM_RBUTTONDOWN: return "rdown";
    case WM_RBUTTONUP: return "rup";
    case WM_MBUTTONDOWN: return "mdown";
    case WM_MOUSEWHEEL: return "wheel";
    case WM_CONTEXTMENU: return "contextmenu";
    case WM_SETFOCUS: return "setfocus";
    case WM_KILLFOCUS: return "killfocus";
    case WM_DESTROY: return "destroy";
    default: return nullptr;
    }
}

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

}  // namespace

CPageWindow::CPageWindow(const char* className, const RECT& rect, HWND parent, bool visible)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&windowClass);
    const DWORD style = (parent ? WS_CHILD | WS_CLIPCHILDREN : WS_POPUP) | (visible ? WS_VISIBLE : 0);
    m_window = CreateWindowExA(parent ? 0 : WS_EX_TOPMOST, className, "page", style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, GetModuleHandleA(nullptr),
                               this);
    UpdateWindow(m_window);
}

CPageWindow::~CPageWindow()
{
    if (IsWindow(m_window))
        DestroyWindow(m_window);
}

POINT CPageWindow::ToScreen(POINT client) const
{
    ClientToScreen(m_window, &client);
    return client;
}

LRESULT CALLBACK CPageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* page = reinterpret_cast<CPageWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (const char* name = MessageName(message); name && page) {
        char text[64];
        if (message == WM_SETFOCUS || message == WM_KILLFOCUS || message == WM_DESTROY)
            std::snprintf(text, sizeof text, "%s", name);
        else
            std::snprintf(text, sizeof text, "%s %d,%d", name, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        page->m_record.messages.push_back(text);
    }
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return DefWindowProcA(window, message, wParam, lParam);
}

void MoveMouseTo(POINT screen)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // The absolute scale maps 0 to 65535 onto the screen; the half pixel lands in the pixel's middle.
    const LONG dx = static_cast<LONG>((screen.x * 65536LL + 32768) / width);
    const LONG dy = static_cast<LONG>((screen.y * 65536LL + 32768) / height);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy);
}

void PressButton(DWORD eventFlag)
{
    SendMouse(eventFlag);
}

void TurnWheel(int delta)
{
    SendMouse(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(delta));
}

void DragTo(POINT from, POINT to, int step)
{
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const int distance = std::max(std::abs(dx), std::abs(dy));
    const int steps = std::max(1, distance / std::max(1, step));
    for (int i = 1; i <= steps; ++i) {
        const POINT at = {from.x + dx * i / steps, from.y + dy * i / steps};
        MoveMouseTo(at);
        PumpUntil([&] {
            POINT cursor = {};
            GetCursorPos(&cursor);
            return std::abs(cursor.x - at.x) <= 1 && std::abs(cursor.y - at.y) <= 1;
        }, 3000);
    }
}

bool MakeForeground(HWND window)
{
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
    return PumpUntil([&] { return GetFocus() == window; }, 5000);
}

bool WriteTrailScreenshot(HWND trail, const RECT& screenRect, const char* name, kivo_test::CPixels* trailPixels)
{
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    kivo_test::CPixels screen;
    HDC screenDC = GetDC(nullptr);
    const bool screenRead = kivo_test::CapturePixels(screenDC, screenRect.left, screenRect.top, width, height, screen);
    ReleaseDC(nullptr, screenDC);
    POINT origin = {screenRect.left, screenRect.top};
    ScreenToClient(trail, &origin);
    kivo_test::CPixels own;
    HDC trailDC = GetDC(trail);
    const bool trailRead = kivo_test::CapturePixels(trailDC, origin.x, origin.y, width, height, own);
    ReleaseDC(trail, trailDC);
    if (!screenRead || !trailRead)
        return false;
    COLORREF key = 0;
    BYTE alpha = 255;
    DWORD flags = 0;
    GetLayeredWindowAttributes(trail, &key, &alpha, &flags);
    kivo_test::CPixels composed = screen;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF pixel = own.At(x, y);
            if ((flags & LWA_COLORKEY) && pixel == key)
                continue;
            const COLORREF under = screen.At(x, y);
            const auto blend = [&](int top, int bottom) { return static_cast<char>((top * alpha + bottom * (255 - alpha)) / 255); };
            const size_t at = static_cast<size_t>(height - 1 - y) * composed.stride + x * 3;
            composed.bytes[at] = blend(GetBValue(pixel), GetBValue(under));
            composed.bytes[at + 1] = blend(GetGValue(pixel), GetGValue(under));
            composed.bytes[at + 2] = blend(GetRValue(pixel), GetRValue(under));
        }
    }
    if (trailPixels)
        *trailPixels = own;
    return kivo_test::WriteBitmap(kivo_test::ScreenshotPath(name), composed);
}

}  // namespace gesture_test
