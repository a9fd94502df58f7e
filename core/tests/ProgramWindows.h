#pragma once
// Helpers of the tests that start the real program and look at it from outside, as a user would:
// its main window found by process and class, window texts read with a bounded wait, and the tabs
// read as the MDI children of its client.
#include "core/app/MainFrameMessages.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace testproc {

// Generous: a Wine start on a loaded machine (tests run in parallel) can take many seconds.
inline constexpr DWORD kStartTimeoutMs = 60000;
// What a running program is given to show a change (a handed-over page, a title): its frame may
// still be building its bars and tabs on a loaded machine.
inline constexpr DWORD kChangeTimeoutMs = 20000;

struct WindowSearch {
    DWORD processId;
    bool toolWindow; // the splash: a popup tool window; else the main window of the main frame's class
    HWND found;
};

inline BOOL CALLBACK MatchWindow(HWND window, LPARAM searchPointer)
{
    auto* search = reinterpret_cast<WindowSearch*>(searchPointer);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window))
        return TRUE;
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    const bool isTool = (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    const bool matches = search->toolWindow ? isTool : std::string(className) == kMainFrameClassName && !isTool;
    if (!matches)
        return TRUE;
    search->found = window;
    return FALSE;
}

inline HWND FindVisibleWindow(DWORD processId, bool toolWindow)
{
    WindowSearch search = {processId, toolWindow, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string WindowTitle(HWND window)
{
    char title[512] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(title), reinterpret_cast<LPARAM>(title), SMTO_ABORTIFHUNG, 5000,
                        &length);
    return title;
}

// Polls until the condition holds or the time is up; the condition's last value.
template <typename Condition>
bool Eventually(Condition condition, DWORD timeoutMs = kStartTimeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return condition();
        Sleep(20);
    }
    return true;
}

// The texts of the frame's tabs as the user reads them: the MDI children of its client, whose
// window text is the page's title, or its address while the page has none. Sorted.
inline std::vector<std::string> TabTexts(HWND frame)
{
    std::vector<std::string> texts;
    HWND client = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    for (HWND tab = client ? GetWindow(client, GW_CHILD) : nullptr; tab; tab = GetWindow(tab, GW_HWNDNEXT))
        texts.push_back(WindowTitle(tab));
    std::sort(texts.begin(), texts.end());
    return texts;
}

// The same texts in the order the tabs were opened: the MDI client numbers its children as they
// come (as long as none has been closed, which renumbers them).
inline std::vector<std::string> TabTextsInOpeningOrder(HWND frame)
{
    std::vector<std::pair<LONG_PTR, std::string>> tabs;
    HWND client = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    for (HWND tab = client ? GetWindow(client, GW_CHILD) : nullptr; tab; tab = GetWindow(tab, GW_HWNDNEXT))
        tabs.emplace_back(GetWindowLongPtrA(tab, GWLP_ID), WindowTitle(tab));
    std::sort(tabs.begin(), tabs.end());
    std::vector<std::string> texts;
    for (const auto& tab : tabs)
        texts.push_back(tab.second);
    return texts;
}

// The text of the tab the user looks at: the MDI client's active child.
inline std::string ActiveTabText(HWND frame)
{
    HWND client = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    DWORD_PTR active = 0;
    if (!client || !SendMessageTimeoutA(client, WM_MDIGETACTIVE, 0, 0, SMTO_ABORTIFHUNG, 5000, &active) || !active)
        return std::string();
    return WindowTitle(reinterpret_cast<HWND>(active));
}

inline bool ActiveTabIs(HWND frame, const std::string& text)
{
    return Eventually([&] { return ActiveTabText(frame) == text; }, kChangeTimeoutMs);
}

inline std::string Joined(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& text : texts)
        joined += "[" + text + "]";
    return joined;
}

// Waits until the frame shows exactly one tab for each address of `shown` and none for an address
// of `absent`. Other tabs may be there: the pages a first run or a restored session opens itself.
inline bool TabsShow(HWND frame, const std::vector<std::string>& shown, const std::vector<std::string>& absent = {})
{
    return Eventually(
        [&] {
            const std::vector<std::string> texts = TabTexts(frame);
            for (const std::string& url : shown)
                if (std::count(texts.begin(), texts.end(), url) != 1)
                    return false;
            for (const std::string& url : absent)
                if (std::count(texts.begin(), texts.end(), url) != 0)
                    return false;
            return true;
        },
        kChangeTimeoutMs);
}

// Waits until the frame, shown before it builds what it holds, has its tabbed client with a first
// tab and its status bar: the program as the user first gets to use it.
inline bool FrameContentsBuilt(HWND frame)
{
    return Eventually([&] {
        const HWND client = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
        return client && GetWindow(client, GW_CHILD) && FindWindowExA(frame, nullptr, "msctls_statusbar32", nullptr);
    });
}

} // namespace testproc
