#pragma once
// TestWindow: a hidden window of a private class for the window tests, destroyed with the object.
// Its procedure records the open-URL messages it receives (the URL and the flags) in `received`
// and answers them with 77.
#include "core/app/MainFrameMessages.h"

#include <windows.h>

#include <string>
#include <vector>

class TestWindow {
public:
    TestWindow(const char* className, HWND parent = nullptr, RECT rect = {0, 0, 100, 100})
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, className, "", parent ? WS_CHILD : WS_POPUP, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(m_window); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    operator HWND() const { return m_window; }

    inline static std::vector<std::string> received;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kOpenUrlMessage) {
            received.push_back(std::string(reinterpret_cast<const char*>(wParam)) + " " + std::to_string(lParam));
            return 77;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
};
