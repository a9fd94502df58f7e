#pragma once
// The dialogs' buttons and links. CBmpButtonBase subclasses a push button into an owner-drawn
// icon button with hover, pressed and disabled images, a tooltip and optional auto-repeat;
// CBmpButton and CTwoStateBmpButton are its two image layouts. CHyperLinkBase subclasses a
// "Static" into an underlined link with a hand cursor and a tooltip showing its address;
// CHyperLink opens the address in a new tab of the main window, CCommandLink reports a click to
// its parent. CEtchedLine draws an etched separator. All answer the language translator's item
// messages (0x1304 count, 0x1305 get text, 0x1306 set text).
//
// Lifetime: members of the dialog whose items they subclass (rule (a)). UI thread only.
#include "platform/AtlCtrls.h"
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <string>

// The translator's item messages (the numbers of TCM_GETITEMCOUNT, TCM_GETITEMA, TCM_SETITEMA).
inline constexpr UINT kTranslatorItemCount = 0x1304;
inline constexpr UINT kTranslatorGetItem = 0x1305;
inline constexpr UINT kTranslatorSetItem = 0x1306;

// Extended styles of the bitmap buttons.
inline constexpr DWORD kBmpHoverTracking = 0x01;
inline constexpr DWORD kBmpFlatLook = 0x02;
inline constexpr DWORD kBmpBorderedLook = 0x04;
inline constexpr DWORD kBmpSizeToImage = 0x08;
inline constexpr DWORD kBmpSharedImages = 0x10;
inline constexpr DWORD kBmpAutoRepeat = 0x20;

// Auto-repeat timers and their periods from the keyboard settings (-1: the setting could not be read).
inline constexpr UINT_PTR kRepeatDelayTimer = 1000;
inline constexpr UINT_PTR kRepeatTimer = 1001;
UINT AutoRepeatDelay(int keyboardDelay);
UINT AutoRepeatPeriod(int keyboardSpeed);

class CBmpButtonBase : public CWindowImpl<CBmpButtonBase> {
public:
    enum EState : DWORD { kHover = 1, kFocused = 2, kPressed = 4, kDefault = 8, kPushButton = 16, kDrawPressed = 32 };

    explicit CBmpButtonBase(DWORD extendedStyle = 0) : m_extendedStyle(extendedStyle) {}
    ~CBmpButtonBase() override;

    BOOL SubclassWindow(HWND button);
    bool AddIcon(HICON icon);
    bool AddIconFromImageList(HIMAGELIST list, int index);
    bool AddIconPair(HIMAGELIST normal, HIMAGELIST disabled, int index);
    void SetImages(int normal, int pressed, int hover, int disabled);
    void SetToolTipText(const char* text);
    const std::string& GetToolTipText() const { return m_toolTipText; }
    void SetBackgroundColor(COLORREF color) { m_background = color; }
    DWORD GetState() const { return m_state; }
    HIMAGELIST GetImageList() const { return m_images.m_hImageList; }

    BEGIN_MSG_MAP(CBmpButtonBase)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnRelayMouse)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDown)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKey)
        MESSAGE_HANDLER(WM_KEYUP, OnKey)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        MESSAGE_HANDLER(BM_SETSTYLE, OnSetStyle)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(kTranslatorItemCount, OnItemCount)
        MESSAGE_HANDLER(kTranslatorGetItem, OnGetItem)
        MESSAGE_HANDLER(kTranslatorSetItem, OnSetItem)
    END_MSG_MAP()

    void Paint(HDC dc);

protected:
    int m_normal = -1;
    int m_pressedImage = -1;
    int m_hoverImage = -1;
    int m_disabledImage = -1;

private:
    LRESULT OnRelayMouse(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKey(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetStyle(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnItemCount(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnGetItem(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetItem(UINT, WPARAM, LPARAM, BOOL&);
    void SetPressed(bool pressed);
    void SendCommand();
    void AddTool();
    bool OwnsMouse() const { return (m_extendedStyle & kBmpHoverTracking) != 0; }

    DWORD m_extendedStyle;
    CImageList m_images;        // owned unless kBmpSharedImages
    HWND m_toolTip = nullptr;   // owned: destroyed with the button
    std::string m_toolTipText;
    DWORD m_state = 0;
    COLORREF m_background = CLR_INVALID;
    bool m_capturing = false;   // the control holds the capture itself
};

// Image 0 is the normal one; with `ownDisabled` the disabled image is added separately.
class CBmpButton : public CBmpButtonBase {
public:
    explicit CBmpButton(bool ownDisabled = false, DWORD extendedStyle = 0) : CBmpButtonBase(extendedStyle)
    {
        m_normal = 0;
        m_disabledImage = ownDisabled ? -1 : 0;
    }
};

// Image 0 normal, image 1 disabled (filled by AddIconPair): the OK and Cancel buttons of the dialogs.
class CTwoStateBmpButton : public CBmpButtonBase {
public:
    explicit CTwoStateBmpButton(DWORD extendedStyle = 0) : CBmpButtonBase(extendedStyle)
    {
        m_normal = 0;
        m_disabledImage = 1;
    }
};

// Which context-menu commands a link with this address offers: Open and Copy Shortcut with an
// address, Add to Favorites for a web address (http or https).
struct CHyperLinkMenuState {
    bool open;
    bool copy;
    bool addToFavorites;
};
CHyperLinkMenuState HyperLinkMenuState(const std::string& address);

class CHyperLinkBase : public CWindowImpl<CHyperLinkBase> {
public:
    static constexpr COLORREF kLinkColor = RGB(0, 0, 255);
    static constexpr COLORREF kVisitedColor = RGB(128, 0, 128);

    CHyperLinkBase() = default;
    ~CHyperLinkBase() override;

    // Refuses a window that is not a "Static".
    BOOL SubclassWindow(HWND window);
    void SetLabel(const char* label);
    void SetHyperLink(const char* address);
    const std::string& GetLabel() const { return m_label; }
    const std::string& GetHyperLink() const { return m_address; }
    bool IsVisited() const { return m_visited; }
    RECT GetLabelRect() const { return m_labelRect; }
    COLORREF GetLinkColor() const { return m_linkColor; }
    HWND GetToolTip() const { return m_toolTip; }

    BEGIN_MSG_MAP(CHyperLinkBase)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnRelayMouse)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_CHAR, OnChar)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(kTranslatorItemCount, OnItemCount)
        MESSAGE_HANDLER(kTranslatorGetItem, OnGetItem)
        MESSAGE_HANDLER(kTranslatorSetItem, OnSetItem)
    END_MSG_MAP()

protected:
    // The click action of the variant.
    virtual void OnClick() = 0;
    void MarkVisited();

private:
    LRESULT OnRelayMouse(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnChar(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTCHARS; }
    LRESULT OnFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnItemCount(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnGetItem(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetItem(UINT, WPARAM, LPARAM, BOOL&);
    void CalcLabelRect();
    void UpdateToolTip();

    std::string m_label;
    std::string m_address;
    bool m_ownLabel = false;     // a label was set apart from the address
    CFont m_font;
    HCURSOR m_hand = nullptr;    // shared system cursor
    HWND m_toolTip = nullptr;    // owned
    bool m_visited = false;
    COLORREF m_linkColor = kLinkColor;
    COLORREF m_visitedColor = kVisitedColor;
    RECT m_labelRect = {};
};

// What "Add to Favorites..." of a link's menu calls: the favorites of the navigation aids, which
// the program's start-up installs (SetFavoriteAdder; null: none, and the item is greyed).
class IFavoriteAdder {
public:
    virtual bool AddFavorite(const char* url, const char* title) = 0;

protected:
    ~IFavoriteAdder() = default;
};
IFavoriteAdder* GetFavoriteAdder();
// Installs the adder (not owned) and returns the previous one.
IFavoriteAdder* SetFavoriteAdder(IFavoriteAdder* adder);

// The commands of a link's context menu.
inline constexpr UINT kLinkCommandOpen = 12288;
inline constexpr UINT kLinkCommandCopyShortcut = 12289;
inline constexpr UINT kLinkCommandAddToFavorites = 12290;

// A click opens the address in a new tab of the main window; it becomes visited when that works.
// The context menu offers Open, Copy Shortcut and Add to Favorites.
class CHyperLink : public CHyperLinkBase {
public:
    // Carries out a command of the context menu; false for a command that is not offered now.
    bool ExecuteMenuCommand(UINT command);

    BEGIN_MSG_MAP(CHyperLink)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        CHAIN_MSG_MAP(CHyperLinkBase)
    END_MSG_MAP()

protected:
    void OnClick() override;

private:
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
};

// A click sends WM_COMMAND (control id, BN_CLICKED) to the parent.
class CCommandLink : public CHyperLinkBase {
protected:
    void OnClick() override;
};

class CEtchedLine : public CWindowImpl<CEtchedLine> {
public:
    explicit CEtchedLine(bool raised = false, int halfThickness = 1) : m_raised(raised), m_half(halfThickness) {}

    BEGIN_MSG_MAP(CEtchedLine)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
    END_MSG_MAP()

    void Paint(HDC dc);

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    bool m_raised;
    int m_half;
};
