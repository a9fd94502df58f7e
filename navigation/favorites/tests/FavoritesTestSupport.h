#pragma once
// A favorites tree of the test's own below the process's scratch folder, with the Favorites
// folder pointed at it for the test's scope, and waiting for a window message with a deadline.
#include "navigation/favorites/FavoritesFolder.h"
#include "tests/support/TestScratch.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

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

}  // namespace favorites_test
