#pragma once
// CEtchedLabel: a "Static" the program draws as a section heading of a dialog: its text on one
// line, vertically centred and cut with an ellipsis, followed (from 15 pixels after the text to
// the right edge) by an etched line through the middle, shadow above and highlight below (the
// other way round when raised). Bound to a static control, it adds SS_NOTIFY and draws with the
// control's font.
//
// Lifetime: a member of the dialog whose control it subclasses (rule (a)). UI thread only.
#include "platform/AtlWin.h"

#include <windows.h>

// The gap between the text and the line.
inline constexpr int kEtchedLabelGap = 15;

// The line's rectangle for a client rectangle and a text width: from the gap after the text to
// the right edge, `halfThickness` above and below the middle; false when the control is not wide
// enough for a line.
bool ComputeEtchedLabelLine(const RECT& client, int textWidth, int halfThickness, RECT& line);

class CEtchedLabel : public CWindowImpl<CEtchedLabel> {
public:
    explicit CEtchedLabel(bool etched = true, int halfThickness = 1) : m_etched(etched), m_half(halfThickness) {}
    CEtchedLabel(const CEtchedLabel&) = delete;
    CEtchedLabel& operator=(const CEtchedLabel&) = delete;

    BOOL SubclassWindow(HWND label);
    // Draws the label into the device context (client coordinates).
    void Paint(HDC dc);

    BEGIN_MSG_MAP(CEtchedLabel)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
    END_MSG_MAP()

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnSetText(UINT, WPARAM, LPARAM, BOOL&);

    bool m_etched;
    int m_half;
};
