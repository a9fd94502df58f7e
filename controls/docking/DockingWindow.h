#pragma once
// CDockingWindow ("_DockingWindow"): a docking pane. It holds one content window (a side panel of
// the browser: favorites, history, a plug-in's pane) and is docked in a bar of the docking frame,
// floats as a small tool window, is a tab of a tab docking box, or is hidden. Docked, it draws its
// own small caption with a close button; it is dragged by its caption with a ghost outline, and
// talks to the frame, bars and boxes through the docking protocol (DockingRecord.h).
//
// A side panel of the frame:
//     CDockingWindow* pane = CDockingWindow::CreatePane(frame, panelWindow, "Favorites", icon);
//     pane->DockAtSide(kDockFlagLeftRight | kDockFlagStartSide, 0, 200);  // left, outermost bar
// Hide, Show and Toggle then hide it and bring it back where it was; CDockingState keeps its place
// across runs.
//
// Lifetime: the window owns the object. The frame creates panes with CreatePane (new) and keeps
// their window handles; a pane deletes itself in OnFinalMessage when its window is destroyed (with
// the frame, whose window owns the floating panes and parents the docked ones).
#include "controls/docking/DockingRecord.h"
#include "platform/AtlWin.h"

class CTabDockingBox;

using CDockingWindowTraits = CWinTraits<WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPSIBLINGS |
                                            WS_CLIPCHILDREN,
                                        WS_EX_TOOLWINDOW>;

// A private request of the panes and boxes: hide as the close button does, remembering the place.
constexpr uint32_t kDockHide = 11;

class CDockingWindow : public CWindowImpl<CDockingWindow, CWindow, CDockingWindowTraits> {
public:
    DECLARE_WND_CLASS_EX("_DockingWindow", CS_DBLCLKS, COLOR_BTNFACE)

    // A new pane of the frame, floating and hidden, with the content window as its child, the
    // caption text and icon (may be null; the pane does not own it). Null when it cannot be made.
    static CDockingWindow* CreatePane(HWND frame, HWND content, const char* caption, HICON icon,
                                      bool verticalCaption = false, bool bordered = false);

    HWND Target() const { return m_target; }
    HWND Host() const { return m_host; }
    HWND Content() const { return m_content; }
    void SetContent(HWND content);
    bool IsDocked() const { return m_host != nullptr; }
    // The pane window or its host is visible.
    bool IsVisible() const;
    // Hides a visible pane, shows a hidden one; the old visibility.
    bool Toggle();
    const RECT& FloatingRect() const { return m_floatRect; }
    void SetFloatingRect(const RECT& rect) { m_floatRect = rect; }
    // Where the pane was docked before it was hidden (host 0: nowhere).
    const CDockPositionRecord& RememberedDocking() const { return m_remembered; }
    void SetRememberedDocking(const CDockPositionRecord& record);
    int CaptionThickness() const { return m_captionThickness; }
    bool VerticalCaption() const { return m_vertical; }

    // Docks the pane in the frame: side flags (kDockFlagLeftRight, kDockFlagStartSide), the bar
    // counted from the frame's edge (a new bar when there is none with that index), the bar's
    // thickness and the pane's place along an existing bar (0 to 1). False when refused.
    bool DockAtSide(uint32_t sideFlags, uint32_t barIndex, int thickness, float position = 0.0f);
    // Joins the docking box (or the pane that is to become one) at the order.
    void DockTo(HWND host, int order);
    // The dock request of a stored or remembered place: to a live box named as host, floating at
    // the record's rectangle, or to the frame (code 5).
    bool DockRequest(CDockPositionRecord record);
    // The pane's position record (code 4 to itself).
    CDockPositionRecord GetPosition();

    virtual void Undock();
    // Docks at the host named in a drag record (code 2).
    virtual bool Dock(CDockDragRecord& record);
    virtual void Hide();
    virtual void Show();

    // Drags the pane by its caption from the screen point (WM_NCLBUTTONDOWN on the caption).
    void DragByCaption(POINT screen);
    // The caption strip and the close button in window coordinates; empty without a caption.
    RECT CaptionRect() const;
    RECT CloseButtonRect() const;
    // Whether the close glyph is drawn as two lines (a small caption below 16 pixels) instead of
    // the Marlett glyph.
    static bool CloseGlyphIsLines(int smallCaptionHeight) { return smallCaptionHeight < 16; }

    BEGIN_MSG_MAP(CDockingWindow)
        MESSAGE_HANDLER(kDockMsgRequest, OnDockRequest)
        MESSAGE_HANDLER(GetDockingBoxMessage(), OnDockRequest)
        MESSAGE_HANDLER(kDockMsgHostChanged, OnHostChanged)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
        MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
        MESSAGE_HANDLER(WM_NCACTIVATE, OnNcActivate)
        MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetTextOrIcon)
        MESSAGE_HANDLER(WM_SETICON, OnSetTextOrIcon)
        MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDown)
        MESSAGE_HANDLER(WM_NCLBUTTONUP, OnNcLButtonUp)
        MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_MENUCHAR, OnMenuChar)
    END_MSG_MAP()

protected:
    CDockingWindow() = default;
    void OnFinalMessage(HWND) override { delete this; }
    // Creates the window of this object (panes and boxes register their own classes).
    bool CreateFor(HWND frame, ATOM atom, const char* caption, DWORD style, DWORD exStyle);

    // The answers to the docking requests; boxes replace some of them.
    virtual LRESULT HandleDockRequest(CDockHeader& header);
    LRESULT AcceptOnCaption(CDockDragRecord& record);
    LRESULT JoinThisPane(CDockHeader& header);
    virtual LRESULT PositionOf(CDockPositionRecord& record);
    // Shows the pane floating at its floating rectangle.
    void FloatAt(const RECT& rect, bool activate);
    void RestoreFocus(HWND previous);
    // Whether the focus is in the pane.
    bool HasFocusInside() const;
    void PaintCaption(HDC dc);

    HWND m_target = nullptr;   // the docking frame that undirected requests go to (not owned)
    HWND m_host = nullptr;     // the bar or box the pane is docked in; null when floating
    RECT m_floatRect = {};     // screen; empty until first computed
    int m_captionThickness = 0;
    CDockPositionRecord m_remembered;  // the first 36 bytes count; host 0 when not docked before
    HWND m_content = nullptr;  // the content window (a child; the pane's window owns it)
    bool m_bordered = false;
    bool m_vertical = false;
    bool m_closePressed = false;

private:
    LRESULT OnDockRequest(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnHostChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnNcCalcSize(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnNcPaint(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnNcActivate(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnSetTextOrIcon(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNcLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNcLButtonUp(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnNcLButtonDblClk(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnMenuChar(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    void TrackCloseButton();
    void DrawCloseButton(HDC dc, const RECT& button, bool focused, bool pressed, bool hot);
    void UpdateCaptionThickness();
};
