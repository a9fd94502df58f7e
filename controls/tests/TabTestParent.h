#pragma once
// A hidden parent window for the tab strip tests: it records every notification the strip sends
// (custom draw aside) and answers chosen codes with chosen results.
#include "controls/TabNotify.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct CTabNotice {
    int code;
    int first;   // item index, or the first index of a move record
    int second;  // the second index of a move record, else 0
    POINT pt;
};

class CTabTestParent {
public:
    CTabTestParent(int width = 400, int height = 200, bool visible = false);
    ~CTabTestParent();
    CTabTestParent(const CTabTestParent&) = delete;
    CTabTestParent& operator=(const CTabTestParent&) = delete;

    HWND Window() const { return m_window; }
    void Answer(int code, LRESULT result) { m_answers[code] = result; }
    void Clear() { m_notices.clear(); }
    const std::vector<CTabNotice>& Notices() const { return m_notices; }
    // The codes received since the last Clear, for comparing sequences.
    std::vector<int> Codes() const;
    // A readable form of the notices: "-561(0) -552(-1,0) ...".
    std::string Describe() const;

    // Custom draw: the answers to the paint and item pre-paint stages, and the stages seen
    // (stage, item index) since the last ClearDrawStages.
    void AnswerCustomDraw(LRESULT paint, LRESULT item)
    {
        m_paintAnswer = paint;
        m_itemAnswer = item;
    }
    const std::vector<std::pair<DWORD, int>>& DrawStages() const { return m_drawStages; }
    void ClearDrawStages() { m_drawStages.clear(); }

    // Runs the message loop for the given time.
    static void Pump(DWORD milliseconds);
    // Dispatches messages until the condition holds or the deadline passes; gives the condition.
    template <class Condition>
    static bool PumpUntil(Condition condition, DWORD deadlineMs = kPumpDeadlineMs)
    {
        const DWORD start = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - start > deadlineMs)
                return condition();
            Pump(10);
        }
        return true;
    }
    // Generous: a loaded machine runs timers late, and a test waits no longer than it must.
    static constexpr DWORD kPumpDeadlineMs = 20000;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    std::vector<CTabNotice> m_notices;
    std::map<int, LRESULT> m_answers;
    std::vector<std::pair<DWORD, int>> m_drawStages;
    LRESULT m_paintAnswer = 0;
    LRESULT m_itemAnswer = 0;
};

// Packs a point the way mouse messages carry it.
inline LPARAM MousePoint(int x, int y) { return MAKELPARAM(x, y); }
