#pragma once
// COptionsContainer: an owner-drawn, vertically scrolling window that stacks page groups. Each
// group is a header band (icon, caption, expand/collapse glyph) above a child dialog (its page);
// clicking a header selects the group and expands or collapses its page with a short animation
// (timer 22). The parent hears WM_COMMAND code 1 before a group changes state and code 2 when its
// animation ends; a header click also sends the group's command to the top-level window.
//
// Lifetime: a member of its owner (rule (a)); the pages become its children and are destroyed
// with it; the image lists stay with whoever supplied them. UI thread only.
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <memory>
#include <string>
#include <vector>

// Style flags.
inline constexpr DWORD kOptionsNoAnimation = 0x01;
inline constexpr DWORD kOptionsPlainHeaders = 0x02;
inline constexpr DWORD kOptionsParentDrawsHeaders = 0x10;
inline constexpr DWORD kOptionsNoGlyph = 0x20;
inline constexpr DWORD kOptionsToggleAtGlyphOnly = 0x40;
inline constexpr DWORD kOptionsNoScrollBar = 0x80;
inline constexpr DWORD kOptionsSelectionColours = 0x100;
// Notification codes (WM_COMMAND with the container's id) and the timer.
inline constexpr WORD kOptionsGroupChanging = 1;
inline constexpr WORD kOptionsGroupAnimated = 2;
inline constexpr UINT_PTR kOptionsAnimationTimer = 22;
inline constexpr UINT kOptionsAnimationPeriod = 50;
inline constexpr DWORD kOptionsAnimationTime = 200;

class COptionsContainer : public CWindowImpl<COptionsContainer, CWindow, CWinTraits<WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN>> {
public:
    DECLARE_WND_CLASS_EX("_OptionsContainer", CS_DBLCLKS, COLOR_WINDOW)

    COptionsContainer() = default;
    ~COptionsContainer() override;

    // The group index, -1 for a page that is no window.
    int AddPage(WORD command, HWND page, const char* caption, int image, COLORREF captionColor = CLR_INVALID);
    DWORD SetStyle(DWORD style);
    DWORD GetStyle() const { return m_style; }
    void SetImageLists(HIMAGELIST normal, HIMAGELIST disabled);
    void EnableGroup(int index, bool enable);
    // A group's caption (a page's counter title changes with every block); false for a bad index.
    bool SetGroupCaption(int index, const char* caption);
    std::string GetGroupCaption(int index) const;
    bool IsEnabled(int index) const;
    bool IsExpanded(int index) const;
    int GetGroupCount() const { return static_cast<int>(m_groups.size()); }
    int GetSelectedGroup() const { return m_selected; }
    int GetVisibleHeight(int index) const;
    // The height the groups take as they stand now, margins included (the scroll range).
    int GetContentHeight() const;
    DWORD GetAnimationEnd(int index) const;
    bool Expand(int index, bool expand, bool animate);
    RECT GetItemRect(int index, bool headerOnly) const;
    // One step of the animation at the given time (the timer runs it with the tick count).
    void AnimationTick(DWORD now);
    void RecalcItemHeight();

    BEGIN_MSG_MAP(COptionsContainer)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnClick)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnClick)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    END_MSG_MAP()

protected:
    // A container built on this one runs these first in its own WM_CREATE and WM_DESTROY.
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

private:
    struct CGroup {
        HWND page = nullptr;
        WORD command = 0;
        int image = -1;
        bool enabled = true;
        bool expanded = true;
        std::string caption;
        COLORREF captionColor = CLR_INVALID;
        CBitmap header;  // the cached header picture
        SIZE pageSize = {};
        DWORD animationEnd = 0;
        int visible = 0;
    };
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnVScroll(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClick(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    void ApplySettings();
    void MovePages();
    void UpdateScrollRange();
    void Paint(HDC dc);
    void DrawHeader(HDC dc, int index, const RECT& rect);
    void NotifyParent(WORD code);

    std::vector<std::unique_ptr<CGroup>> m_groups;
    int m_selected = -1;
    DWORD m_style = 0;
    int m_marginX = 10;
    int m_marginY = 12;
    int m_gap = 8;
    int m_headerHeight = 12;
    int m_bandHeight = 12;
    int m_scroll = 0;
    CFont m_captionFont;
    HIMAGELIST m_images = nullptr;          // not owned
    HIMAGELIST m_disabledImages = nullptr;  // not owned
    COLORREF m_background = RGB(195, 199, 211);
    COLORREF m_caption = RGB(0, 0, 128);
    COLORREF m_disabledCaption = RGB(120, 120, 120);
    COLORREF m_selectedCaption = RGB(255, 255, 255);
    COLORREF m_fill = RGB(255, 255, 255);
    COLORREF m_border = RGB(214, 215, 224);
    COLORREF m_disabledFill = RGB(245, 245, 245);
    COLORREF m_disabledBorder = RGB(184, 184, 184);
    COLORREF m_selectedFill = RGB(45, 120, 245);
    COLORREF m_selectedBorder = RGB(128, 128, 128);
};
