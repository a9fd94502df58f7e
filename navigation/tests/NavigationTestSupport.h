#pragma once
// What the navigation tests share: INI files written into a scratch folder, an in-memory settings
// store, and a plain top-level window that records the open-URL messages it receives (the frame
// double: every navigation of the bars and lists reaches the frame as that message).
#include "core/app/MainFrameMessages.h"
#include "core/app/SettingsStore.h"
#include "core/library/IniFile.h"
#include "core/system/MenuFunctions.h"
#include "core/system/MessageBoxes.h"
#include "core/tests/ScratchFolder.h"
#include "navigation/IniText.h"
#include "frame/tests/ModalScript.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>
#include <commctrl.h>
#include <cstring>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace nav_test {

inline std::string WriteText(const CScratchFolder& folder, const char* name, const std::string& text)
{
    const std::string path = std::string((folder / name).c_str());
    EXPECT_TRUE(WriteFileAtomically(path, text));
    return path;
}

inline std::string ReadText(const std::string& path)
{
    std::string text;
    ReadSmallFile(path, text);
    return text;
}

class CMemorySettingsStore : public CSettingsStore {
public:
    CStdString GetString(const char* section, const char* key, const char* defaultText) override
    {
        const auto it = m_values.find(Name(section, key));
        return it == m_values.end() ? CStdString(defaultText ? defaultText : "")
                                    : CStdString(std::string(it->second.begin(), it->second.end()).c_str());
    }
    bool WriteString(const char* section, const char* key, const char* value) override
    {
        m_values[Name(section, key)] = std::vector<BYTE>(value, value + strlen(value));
        return true;
    }
    DWORD GetInt(const char* section, const char* key, DWORD defaultValue) override
    {
        const auto it = m_values.find(Name(section, key));
        if (it == m_values.end() || it->second.size() != 4)
            return defaultValue;
        DWORD value = 0;
        memcpy(&value, it->second.data(), 4);
        return value;
    }
    bool WriteInt(const char* section, const char* key, DWORD value) override
    {
        return WriteBinary(section, key, &value, 4);
    }
    bool GetBinary(const char* section, const char* key, std::vector<BYTE>& data) override
    {
        const auto it = m_values.find(Name(section, key));
        if (it == m_values.end())
            return false;
        if (!it->second.empty())
            data = it->second;
        return true;
    }
    bool WriteBinary(const char* section, const char* key, const void* data, size_t size) override
    {
        const auto* bytes = static_cast<const BYTE*>(data);
        m_values[Name(section, key)] = std::vector<BYTE>(bytes, bytes + size);
        return true;
    }
    using CSettingsStore::WriteBinary;

    std::map<std::string, std::vector<BYTE>> m_values;

private:
    static std::string Name(const char* section, const char* key) { return std::string(section) + "\\" + key; }
};

// A top-level window standing in for the main frame: it records each open-URL message (the URL
// and its flags) and each WM_COMMAND, and reflects its children's notifications back to them as
// the frame's rebar host does.
class CFrameDouble {
public:
    struct COpen {
        std::string url;
        DWORD flags;
    };

    CFrameDouble()
    {
        static const char* const kClass = "KivoNavigationFrameDouble";
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClass;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, kClass, "Frame double", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_VISIBLE, 10,
                                   10, 640, 200, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    }
    ~CFrameDouble()
    {
        if (IsWindow(m_window))
            DestroyWindow(m_window);
    }
    CFrameDouble(const CFrameDouble&) = delete;
    CFrameDouble& operator=(const CFrameDouble&) = delete;

    HWND Window() const { return m_window; }

    std::vector<COpen> opens;
    std::vector<UINT> commands;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<CFrameDouble*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == kOpenUrlMessage) {
            self->opens.push_back(COpen{wParam ? reinterpret_cast<const char*>(wParam) : "", static_cast<DWORD>(lParam)});
            return 1;
        }
        if (self && message == WM_COMMAND && lParam == 0) {
            self->commands.push_back(LOWORD(wParam));
            return 0;
        }
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && IsWindow(header->hwndFrom) && GetParent(header->hwndFrom) == window)
                return SendMessageA(header->hwndFrom, OCM__BASE + WM_NOTIFY, wParam, lParam);
        }
        if (message == WM_COMMAND && lParam != 0 && GetParent(reinterpret_cast<HWND>(lParam)) == window)
            return SendMessageA(reinterpret_cast<HWND>(lParam), OCM__BASE + WM_COMMAND, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
};

// Answers a tracked menu with a command the test picks from the menu's items.
class CMenuChooser : public IFramePopupMenuTracker {
public:
    CMenuChooser() : m_previous(SetFramePopupMenuTracker(this)) {}
    ~CMenuChooser() override { SetFramePopupMenuTracker(m_previous); }
    CMenuChooser(const CMenuChooser&) = delete;
    CMenuChooser& operator=(const CMenuChooser&) = delete;

    std::function<UINT(HMENU)> choose;
    std::vector<std::string> lastItems;  // "text=id" of the top level, submenus as "text>"

    UINT Track(HMENU menu, UINT, int, int, HWND) override
    {
        lastItems.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            const std::string text = GetMenuItemText(menu, static_cast<UINT>(i), MF_BYPOSITION).c_str();
            lastItems.push_back(GetSubMenu(menu, i) ? text + ">" : text + "=" + std::to_string(GetMenuItemID(menu, i)));
        }
        return choose ? choose(menu) : 0;
    }

private:
    IFramePopupMenuTracker* m_previous;
};

// The frame tests' driver of modal dialogs and their button click.
using frame_test::CModalScript;
using frame_test::Click;

// Makes row `index` the one selected row of the list.
inline void SelectListItem(HWND dialog, int listId, int index)
{
    HWND list = GetDlgItem(dialog, listId);
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

// Answers every message box with one button and keeps the texts.
class CAnsweringMessageBoxes : public IMessageBoxes {
public:
    explicit CAnsweringMessageBoxes(int answer) : m_answer(answer), m_scope(*this) {}
    int Show(HWND, const char* text, const char*, UINT) override
    {
        texts.emplace_back(text ? text : "");
        return m_answer;
    }
    std::vector<std::string> texts;

private:
    int m_answer;
    CScopedMessageBoxes m_scope;
};

// Runs the thread's messages until the predicate holds or the deadline passes.
template <typename Predicate>
bool PumpUntil(Predicate done, DWORD deadlineMs = 20000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > deadlineMs)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

}  // namespace nav_test
