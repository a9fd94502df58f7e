#pragma once
// CColorPicker: an owner-drawn push button showing a colour swatch and a drop-down arrow. A click
// opens a palette of 40 named colours with "Default" above and "More Colors..." below (the
// system colour dialog); the pop-up runs its own loop with the mouse captured, follows the mouse
// and the arrow keys, and the choice is reported to the parent as WM_NOTIFY. The button's
// parent reflects notifications to it (WM_DRAWITEM, WM_COMMAND).
//
// Lifetime: a member of the dialog whose button it subclasses (rule (a)); the pop-up lives only
// while it is open. UI thread only.
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <string>

// Notification codes, sent as WM_NOTIFY with a CColorPickerNotify to the parent.
inline constexpr UINT kColorPickerChanged = 0x8000;
inline constexpr UINT kColorPickerOpening = 0x8001;
inline constexpr UINT kColorPickerClosed = 0x8002;
inline constexpr UINT kColorPickerChosen = 0x8003;
inline constexpr UINT kColorPickerCancelled = 0x8004;

struct CColorPickerNotify {
    NMHDR header;
    COLORREF color;
    BOOL valid;
};

struct CNamedColor {
    COLORREF color;
    const char* name;
};

class CColorPicker : public CWindowImpl<CColorPicker> {
public:
    static constexpr int kColorCount = 40;
    static constexpr int kColumns = 8;
    static constexpr int kItemNone = -1;
    static constexpr int kItemMore = -2;
    static constexpr int kItemDefault = -3;
    static constexpr int kCellPitch = 18;
    static const CNamedColor kPalette[kColorCount];

    CColorPicker();
    ~CColorPicker() override;

    BOOL SubclassWindow(HWND button);
    COLORREF GetColor() const { return m_color; }
    void SetColor(COLORREF color);
    COLORREF GetDefaultColor() const { return m_defaultColor; }
    void SetDefaultColor(COLORREF color) { m_defaultColor = color; }
    void SetTrackSelection(bool track) { m_trackSelection = track; }
    void SetDefaultText(const char* text) { m_defaultText = text ? text : ""; }
    void SetMoreText(const char* text) { m_moreText = text ? text : ""; }
    HWND GetPopup() const { return m_popup; }
    // The screen rectangle of an item of the open pop-up (empty for a missing one).
    RECT GetItemScreenRect(int item) const;

    // Opens the pop-up and runs it until it closes (what a click of the button does).
    void OpenPopup();

    // The keyboard order: Default, cells 0..39, More Colors..., wrapping around; a button
    // without text is skipped; from nothing a forward step goes to Default, a backward to More.
    static int NextItem(int current, int step, bool hasDefault, bool hasMore);

    BEGIN_MSG_MAP(CColorPicker)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(OCM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(OCM_COMMAND, OnReflectedCommand)
    END_MSG_MAP()

private:
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDrawItem(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnReflectedCommand(UINT, WPARAM, LPARAM, BOOL&);
    void Notify(UINT code, COLORREF color, bool valid);
    bool RunPopup();
    void Layout();
    void PlacePopup();
    void RunLoop();
    void SetHot(int item);
    int HitTest(POINT client) const;
    RECT ItemRect(int item) const;
    void PaintPopup(HDC dc);
    void DrawItem(HDC dc, int item);
    COLORREF ItemColor(int item) const;
    bool ChooseMoreColor();
    static LRESULT CALLBACK PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    COLORREF m_color = CLR_DEFAULT;
    COLORREF m_defaultColor;
    std::string m_defaultText;
    std::string m_moreText;
    bool m_trackSelection = false;
    bool m_hot = false;
    bool m_popupOpen = false;
    HWND m_popup = nullptr;     // owned while open
    HWND m_toolTip = nullptr;   // owned while open
    CFont m_font;
    int m_hotItem = kItemNone;
    int m_chosenItem = kItemNone;
    COLORREF m_chosen = CLR_DEFAULT;
    bool m_popupResult = false;
    RECT m_defaultRect = {};
    RECT m_moreRect = {};
    RECT m_gridRect = {};
    SIZE m_popupSize = {};
    COLORREF m_background = 0;
    COLORREF m_hotFill = 0;
    COLORREF m_selectedFill = 0;
    COLORREF m_hotText = 0;
    COLORREF m_text = 0;
};
