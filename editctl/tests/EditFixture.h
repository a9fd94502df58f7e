#pragma once
// A started control with one edit window on "page.htm" (the built-in HTML configuration) in a
// shown parent, and helpers that press keys and click as a user would: the keyboard state is set
// for the qualifiers, so that the control sees them as the system reports them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "editctl/Quillpoint.h"
#include "editctl/tests/ControlStart.h"
#include "editctl/win/EditCommands.h"
#include "editctl/win/EditData.h"

namespace quill::testing {

// Message boxes answer IDOK; what the system was asked to do is in s_system (ControlStart.h).
class EditFixture : public ControlSuite {
protected:
    static void SetUpTestSuite() { StartSuite("EditFixtureParent", DefWindowProcA); }
    static void TearDownTestSuite() { StopSuite(); }
    void SetUp() override
    {
        s_system.Reset();
        m_parent = CreateWindowExA(0, "EditFixtureParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                   400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(m_parent);
        m_edit = Create("page.htm", 0, 0, 600, 360);
        ASSERT_TRUE(m_edit);
        ed = win::GetEditData(m_edit);
        SetFocus(m_edit);
    }
    void TearDown() override
    {
        SetQualifiers(0);
        DestroyWindow(m_parent);
        s_system.Reset();  // no answer or callback of this test reaches the next
    }

    HWND Create(const char* name, int x, int y, int w, int h)
    {
        return CreateWindowExA(0, QUILLPOINT_CLASS, name, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, x, y, w,
                               h, m_parent, reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageA(m_edit, message, wParam, lParam); }
    // Fills the window and forgets the filling's undo step: undo goes back to this text.
    void SetText(const char* text)
    {
        SendMessageA(m_edit, QPM_SETTEXT, 1, reinterpret_cast<LPARAM>(text));
        SendMessageA(m_edit, QPM_RUNCOMMAND, kMiscClearUndoBuffers, 0);
    }
    std::string Text(HWND window = nullptr)
    {
        window = window ? window : m_edit;
        const LRESULT n = SendMessageA(window, QPM_GETTEXTLENGTH, 0, 0);
        std::vector<char> buffer(static_cast<size_t>(n) + 1);
        return SendMessageA(window, QPM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer.data())) ? std::string(buffer.data())
                                                                                          : std::string();
    }
    void Caret(int column, int line)
    {
        const QPPosition p{column, line};
        Send(QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&p));
    }
    void Select(int c1, int l1, int c2, int l2)
    {
        const QPRange r{c1, l1, c2, l2};
        Send(QPM_SETSELECTION, 0, reinterpret_cast<LPARAM>(&r));
    }
    // "c,l" of the caret and "c,l-c,l" of the selection ("" without one), for table rows.
    std::string Where()
    {
        std::string s = std::to_string(ed->caret.column) + "," + std::to_string(ed->caret.line);
        if (ed->HasSelection())
            s += " " + std::to_string(ed->selStart.column) + "," + std::to_string(ed->selStart.line) + "-" +
                 std::to_string(ed->selEnd.column) + "," + std::to_string(ed->selEnd.line);
        return s;
    }

    static void SetQualifiers(int q)
    {
        BYTE state[256] = {};
        GetKeyboardState(state);
        auto set = [&](int vk, bool down) { state[vk] = down ? 0x80 : 0; };
        set(VK_SHIFT, q & kShift);
        set(VK_LSHIFT, q & kShift);
        set(VK_CONTROL, q & kCtrl);
        set(VK_LCONTROL, q & kCtrl);
        set(VK_MENU, q & kAlt);
        set(VK_LMENU, q & kAlt);
        SetKeyboardState(state);
    }
    // One key press with its qualifiers, followed by the WM_CHAR that TranslateMessage would post.
    void Press(int vk, int q = 0, HWND window = nullptr)
    {
        window = window ? window : m_edit;
        SetQualifiers(q);
        const UINT down = (q & kAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN;
        const LPARAM lParam = 1 | (static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(vk), 0)) << 16);
        SendMessageA(window, down, static_cast<WPARAM>(vk), lParam);
        BYTE state[256] = {};
        GetKeyboardState(state);
        WORD chars = 0;
        if (ToAscii(static_cast<UINT>(vk), MapVirtualKeyA(static_cast<UINT>(vk), 0), state, &chars, 0) == 1)
            SendMessageA(window, (q & kAlt) ? WM_SYSCHAR : WM_CHAR, chars & 0xFF, lParam);
        SendMessageA(window, (q & kAlt) ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(vk), lParam);
        SetQualifiers(0);
    }
    void Type(const std::string& text)
    {
        for (char c : text) {
            const SHORT scan = VkKeyScanA(c);
            if (scan == -1)  // no key of the test display's layout makes it: the character alone
                SendMessageA(m_edit, WM_CHAR, static_cast<unsigned char>(c), 1);
            else
                Press(scan & 0xFF, (scan >> 8) & 1 ? kShift : 0);
        }
    }
    POINT PointAt(int column, int line)
    {
        const int left = win::MarginWidth(*ed) + win::LineNumberWidth(*ed);
        return {left + (column - ed->firstColumn) * ed->config->charWidth + 1,
                (line - ed->firstLine) * ed->config->lineHeight + 1};
    }
    void Click(POINT p, WPARAM keys = 0)
    {
        Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(p.x, p.y));
        Send(WM_LBUTTONUP, keys, MAKELPARAM(p.x, p.y));
    }

    HWND m_parent = nullptr;
    HWND m_edit = nullptr;
    win::EditData* ed = nullptr;
};

} // namespace quill::testing
