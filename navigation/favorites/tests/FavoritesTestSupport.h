#pragma once
// A favorites tree of the test's own below the process's scratch folder, with the Favorites
// folder pointed at it for the test's scope, and waiting for a window message with a deadline.
#include "navigation/favorites/FavoritesFolder.h"
#include "tests/support/TestScratch.h"

#include <windows.h>
#include <shellapi.h>

#include "controls/tests/Screenshot.h"
#include "core/app/MainFrameMessages.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace favorites_test {

inline void RemoveTree(const std::string& folder)
{
    std::string from = folder;
    if (!from.empty() && from.back() == '\\')
        from.pop_back();
    from.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

class CFavoritesTree {
public:
    explicit CFavoritesTree(const std::string& name)
        : m_root(KivoTestScratchFolder() + name + "\\"), m_scope(std::make_unique<CScopedFavoritesFolder>(m_root))
    {
        RemoveTree(m_root);
        CreateDirectoryA(m_root.c_str(), nullptr);
    }
    ~CFavoritesTree() { RemoveTree(m_root); }
    CFavoritesTree(const CFavoritesTree&) = delete;
    CFavoritesTree& operator=(const CFavoritesTree&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Folder(const std::string& relative) const
    {
        const std::string path = m_root + relative + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }
    std::string Link(const std::string& relative, const std::string& url) const
    {
        const std::string path = m_root + relative + ".url";
        CreateInternetShortcut(path, url);
        return path;
    }

private:
    std::string m_root;
    std::unique_ptr<CScopedFavoritesFolder> m_scope;
};

// Pumps messages until `message` reaches `window` (true) or the generous deadline passes.
inline bool WaitForMessage(HWND window, UINT message, DWORD deadline = 20000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == window && msg.message == message)
                return true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD spent = GetTickCount() - start;
        if (spent >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - spent, QS_ALLINPUT);
    }
}

// A top-level window standing in for the main frame: it records the open-URL requests it gets.
class CFakeFrame {
public:
    CFakeFrame()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &CFakeFrame::Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KivoFavoritesFakeFrame";
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, windowClass.lpszClassName, "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400, 300,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CFakeFrame() { DestroyWindow(window); }
    CFakeFrame(const CFakeFrame&) = delete;
    CFakeFrame& operator=(const CFakeFrame&) = delete;

    HWND window = nullptr;
    std::vector<std::pair<std::string, DWORD>> opened;
    std::vector<UINT> commands;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kOpenUrlMessage) {
            if (auto* self = reinterpret_cast<CFakeFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
                self->opened.emplace_back(wParam ? reinterpret_cast<const char*>(wParam) : "", static_cast<DWORD>(lParam));
            return 1;
        }
        if (message == WM_COMMAND && lParam == 0)
            if (auto* self = reinterpret_cast<CFakeFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
                self->commands.push_back(LOWORD(wParam));
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

// Pumps messages until the condition holds (true) or the generous deadline passes.
template <typename Condition>
bool PumpUntil(Condition done, DWORD deadline = 20000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - spent, QS_ALLINPUT);
    }
}

// Writes a screenshot of the next popup menu that opens while the object lives, then closes the
// menu. Construct it just before the call that tracks the menu; the menu loop dispatches the
// timer, and a timer message comes after the pending paints, so the menu has drawn itself.
class CMenuShot {
public:
    CMenuShot(HWND owner, const char* name) : m_owner(owner), m_name(name)
    {
        Current() = this;
        SetTimer(m_owner, kTimerId, 50, &CMenuShot::Tick);
    }
    ~CMenuShot()
    {
        KillTimer(m_owner, kTimerId);
        Current() = nullptr;
    }
    CMenuShot(const CMenuShot&) = delete;
    CMenuShot& operator=(const CMenuShot&) = delete;
    bool Written() const { return m_written; }
    const std::string& Path() const { return m_path; }

private:
    static constexpr UINT_PTR kTimerId = 0x4D53;
    static CMenuShot*& Current()
    {
        static CMenuShot* current = nullptr;  // the one shot in progress: the timer has no context
        return current;
    }
    static void CALLBACK Tick(HWND window, UINT, UINT_PTR id, DWORD)
    {
        CMenuShot* self = Current();
        if (!self) {
            KillTimer(window, id);
            return;
        }
        HWND popup = FindWindowA("#32768", nullptr);
        if (popup && IsWindowVisible(popup)) {
            RECT rect = {};
            GetWindowRect(popup, &rect);
            self->m_written = kivo_test::WriteScreenRect(rect, self->m_name, self->m_path);
            KillTimer(window, id);
            EndMenu();
        } else if (++self->m_ticks > 400) {  // no menu came: end the wait rather than hang
            KillTimer(window, id);
            EndMenu();
        }
    }

    HWND m_owner;
    const char* m_name;
    std::string m_path;
    bool m_written = false;
    int m_ticks = 0;
};

}  // namespace favorites_test
