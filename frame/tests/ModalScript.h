#pragma once
// Drives the frame's modal dialogs from inside their own message loops: a thread timer runs the
// steps in order, each on the thread's one enabled dialog (the innermost modal one). A script that
// has not ended within its deadline cancels every dialog, so a failing test never hangs.
#include <windows.h>

#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace frame_test {

class CModalScript {
public:
    using Step = std::function<void(HWND dialog)>;

    explicit CModalScript(std::vector<Step> steps, DWORD deadlineMs = 30000)
        : m_steps(std::move(steps)), m_deadline(GetTickCount() + deadlineMs)
    {
        Current() = this;
        m_timer = SetTimer(nullptr, 0, 30, Tick);
    }
    ~CModalScript()
    {
        KillTimer(nullptr, m_timer);
        Current() = nullptr;
    }
    CModalScript(const CModalScript&) = delete;
    CModalScript& operator=(const CModalScript&) = delete;

    bool Finished() const { return m_next == m_steps.size() && !m_timedOut; }
    bool TimedOut() const { return m_timedOut; }

    static HWND ActiveDialog()
    {
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM result) -> BOOL {
                char name[16] = {};
                GetClassNameA(window, name, sizeof(name));
                if (strcmp(name, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window))
                    *reinterpret_cast<HWND*>(result) = window;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

private:
    static CModalScript*& Current()
    {
        static CModalScript* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        CModalScript* self = Current();
        if (!self)
            return;
        HWND dialog = ActiveDialog();
        if (static_cast<long>(GetTickCount() - self->m_deadline) > 0) {
            self->m_timedOut = true;
            if (dialog)
                EndDialog(dialog, IDCANCEL);
            return;
        }
        if (!dialog || self->m_next >= self->m_steps.size())
            return;
        for (HWND busy : self->m_busy) {
            if (busy == dialog)
                return;
        }
        const size_t step = self->m_next++;
        self->m_busy.push_back(dialog);
        self->m_steps[step](dialog);
        self->m_busy.pop_back();
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    std::vector<HWND> m_busy;
    DWORD m_deadline;
    bool m_timedOut = false;
    UINT_PTR m_timer = 0;
};

inline void Click(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace frame_test
