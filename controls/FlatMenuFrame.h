#pragma once
// CFlatMenuFrame: the subclass that gives a system menu window (class "#32768") a flat one-pixel
// frame with a side strip in the icon-column colour and a 3-pixel drop shadow. A thread CBT hook
// attaches it while a popup is tracked (CIconMenu2, the command bar).
//
// Lifetime: the window owns the object (rule (b)): it is created with new when its menu window is
// created and deletes itself in OnFinalMessage after WM_NCDESTROY.
#include "controls/DropShadow.h"
#include "platform/AtlWin.h"

// The class name of the system's menu windows.
inline constexpr char kMenuWindowClass[] = "#32768";
// Whether a window is a menu window (its class name read into a bounded buffer).
bool IsMenuWindow(HWND window);

class CFlatMenuFrame : public CWindowImpl<CFlatMenuFrame>,
                       public CDropShadow<CFlatMenuFrame, kMenuDropShadowThickness> {
public:
    // joinedEdge: the width of the bar button the popup hangs from, 0 for none.
    CFlatMenuFrame(COLORREF border, COLORREF fill, COLORREF side, int joinedEdge);
    CFlatMenuFrame(const CFlatMenuFrame&) = delete;
    CFlatMenuFrame& operator=(const CFlatMenuFrame&) = delete;

    // Creates a frame for a menu window that is being created and subclasses it; the window
    // then owns the frame. False (and nothing left behind) when the subclassing failed.
    static bool Attach(HWND menuWindow, COLORREF border, COLORREF fill, COLORREF side, int joinedEdge);

    using CShadow = CDropShadow<CFlatMenuFrame, kMenuDropShadowThickness>;

    BEGIN_MSG_MAP(CFlatMenuFrame)
        CHAIN_MSG_MAP(CShadow)
        MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
    END_MSG_MAP()

    void OnFinalMessage(HWND) override { delete this; }

private:
    LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPrintClient(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    // Paints the frame into a DC whose origin is the given rectangle's top-left corner.
    void PaintNonClientFrame(HDC dc, const RECT& outer) const;
    // Wine's menu windows have no non-client frame and draw a raised edge of this width inside
    // their client area; the flat frame is painted over it after the menu painted itself.
    void PaintClientFrame(HDC dc) const;
    bool HasNonClientFrame() const;

    COLORREF m_border;
    COLORREF m_fill;
    COLORREF m_side;
    int m_joinedEdge;
    int m_frameWidth = ::GetSystemMetrics(SM_CXDLGFRAME);
    int m_frameHeight = ::GetSystemMetrics(SM_CYDLGFRAME);
};
