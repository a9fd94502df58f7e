#pragma once
// CPercentProgressBar: a progress bar that paints itself: the filled part, the empty part and a
// centred "%d%%" text whose colour flips where it crosses the fill edge (the text over the fill is
// drawn in the empty part's colour, the text over the empty part in the fill's colour).
//
// Lifetime: rule (a). The owner (the frame's status bar host) holds the object; the object's
// destruction lets go of the window, which its parent destroys. UI thread only.
#include "platform/AtlWin.h"

#include <string>

// The filled width in pixels for SetPos; a range without room (minimum not below maximum) fills
// nothing, where the plain formula would divide by zero.
int ProgressFilledWidth(int position, int minimum, int maximum, int clientWidth);
// The percentage the bar shows, truncated; positions outside the range are clamped to 0..100.
int ProgressPercent(int position, int minimum, int maximum);

class CPercentProgressBar : public CWindowImpl<CPercentProgressBar> {
public:
    DECLARE_WND_CLASS_EX("_PercentProgress", 0, COLOR_BTNFACE)

    CPercentProgressBar() = default;
    CPercentProgressBar(const CPercentProgressBar&) = delete;
    CPercentProgressBar& operator=(const CPercentProgressBar&) = delete;

    // The old position, or -1 when there is no window.
    int SetPos(int position);
    int GetPos() const { return m_position; }
    // A range is accepted as given; painting is left to the default procedure until min < max.
    void SetRange(int minimum, int maximum);
    void SetShowText(bool show) { m_showText = show; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void SetBarColor(COLORREF color) { m_barColor = color; }
    void SetBackgroundColor(COLORREF color) { m_backgroundColor = color; }
    // The text the bar shows for its position ("50%").
    std::string GetPercentText() const;
    // Paints the bar into any DC (WM_PAINT, WM_PRINTCLIENT); false when the range has no room.
    bool Paint(HDC dc);

    static void DrawString(HDC dc, const std::string& text, RECT rect, UINT format);

    BEGIN_MSG_MAP(CPercentProgressBar)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
    END_MSG_MAP()

private:
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPrintClient(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    COLORREF m_textColor = CLR_DEFAULT;
    int m_position = 0;
    int m_maximum = 100;
    int m_minimum = 0;
    bool m_showText = true;
    int m_filledWidth = -1;  // -1: not yet computed, so the next SetPos repaints
    COLORREF m_barColor = CLR_DEFAULT;
    COLORREF m_backgroundColor = ::GetSysColor(COLOR_BTNFACE);
};
