#pragma once
// TTabCtrlBase<T>: the owner-drawn tab strip that every look shares. It keeps its own list of
// CTabItem records (not the common-control tab class), the selection, the layout into an items
// area with optional scroll and close buttons, hit testing, hot tracking, tooltips, keyboard
// selection, drag-to-reorder with edge scrolling, double-buffered painting with custom-draw
// stages, and every notification to the parent (TabNotify.h).
//
// The look T supplies, as members it may hide:
//   void SetupLook();                                     fonts, colours and metrics
//   int NaturalWidth(HDC dc, const CTabItem&, bool selected);
//   int MinItemWidth() const;
//   void DrawBackground(CTabCustomDraw& cd);               cd.nmcd.rc = client rectangle
//   void DrawItem(CTabCustomDraw& cd);                     cd.nmcd.rc = item rectangle
//
// Lifetime: the owner holds the object (usually as a member) and the window lives inside it; the
// window ends with the owner's window, with Create again or with the object. The strip owns its
// items; its window's end deletes them (the parent hears of each deletion).
#include "controls/TabDraw.h"
#include "controls/TabItem.h"
#include "controls/TabLayout.h"
#include "controls/TabNotify.h"
#include "core/library/StdStr.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <commctrl.h>

#include <memory>
#include <vector>

// The texts of the strips' button tooltips pass through the current ITabTextTranslator: the
// interface language (the language manager's TranslateText) unless a CScopedTabTextTranslator
// puts another in place for its scope, as tests do to see which texts are translated.
class ITabTextTranslator {
public:
    virtual ~ITabTextTranslator() = default;
    virtual TStdStr<char> Translate(const char* text) = 0;
};
ITabTextTranslator& GetTabTextTranslator();
TStdStr<char> TranslateTabText(const char* text);

// Puts `replacement` (not owned) in place for the object's scope and restores the previous one.
class CScopedTabTextTranslator {
public:
    explicit CScopedTabTextTranslator(ITabTextTranslator& replacement);
    ~CScopedTabTextTranslator();
    CScopedTabTextTranslator(const CScopedTabTextTranslator&) = delete;
    CScopedTabTextTranslator& operator=(const CScopedTabTextTranslator&) = delete;

private:
    ITabTextTranslator* m_previous = nullptr;  // not owned: the translator before this scope
};

// Private messages through which the strips exchange their item records (in-process only).
enum : UINT {
    kTabMsgGetItemCount = 0x1304,
    kTabMsgGetItem = 0x1305,  // wParam index, lParam CTabItem* to fill
    kTabMsgSetItem = 0x1306,  // wParam index, lParam const CTabItem* to copy from
};

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class TTabCtrlBase : public CWindowImpl<T, TBase, TWinTraits> {
    using Base = CWindowImpl<T, TBase, TWinTraits>;

public:
    // Elements named by the state word's hot, pressed and under-the-pointer fields.
    enum Element : DWORD { kNone = 0, kClose = 1, kScrollRight = 2, kScrollLeft = 3, kItem = 4 };
    enum : DWORD {
        kStateInside = 0x00000001,
        kStateCanScrollLeft = 0x00000002,
        kStateCanScrollRight = 0x00000004,
        kStateRedraw = 0x00000008,
        kStateDragging = 0x00000010,
        kStateStepMask = 0x00003F00,
        kStateRepeatMask = 0x0000C000,
        kStateRepeat100 = 0x00004000,
        kStateRepeat25 = 0x00008000,
        kStateRepeat10 = 0x0000C000,
        kStateInitial = 0x0000A808,  // redraw on, 40-pixel scroll step, repeat every 25 ms
    };
    enum : UINT_PTR { kTimerScrollLeft = 16, kTimerScrollRight = 32 };
    enum : int { kToolScrollLeft = -14, kToolScrollRight = -15, kToolClose = -16 };

    static constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

    // Every look starts with no vertical text offset and a 12-pixel minimum text width.
    TTabCtrlBase()
    {
        m_metrics.textOffset = 0;
        m_metrics.minTextWidth = 12;
    }
    TTabCtrlBase(const TTabCtrlBase&) = delete;
    TTabCtrlBase& operator=(const TTabCtrlBase&) = delete;
    ~TTabCtrlBase()
    {
        if (this->m_hWnd && ::IsWindow(this->m_hWnd))
            ::DestroyWindow(this->m_hWnd);
    }

    // Creates the strip as a visible child; a window this object already has is destroyed
    // first. Style 0 means the default: child, visible, clipping and tooltips.
    HWND Create(HWND parent, const RECT& rect, DWORD style = 0, UINT id = 0, DWORD exStyle = 0)
    {
        if (this->m_hWnd && ::IsWindow(this->m_hWnd))
            ::DestroyWindow(this->m_hWnd);
        style = style ? (style | kChildStyle) : (kChildStyle | kTabStyleToolTips);
        RECT area = rect;
        return Base::Create(parent, area, nullptr, style, exStyle, id);
    }

    // ---- Items ----------------------------------------------------------------------------

    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    CTabItem* GetItem(int index) const { return InRange(index) ? m_items[index].get() : nullptr; }
    // The item's rectangle with the scroll offset applied; empty and false outside the list.
    bool GetItemRect(int index, RECT& rect) const
    {
        if (!InRange(index)) {
            ::SetRectEmpty(&rect);
            return false;
        }
        rect = m_items[index]->GetRect();
        ::OffsetRect(&rect, m_offset, 0);
        return true;
    }
    // The tabbed owners' records: a CViewTabItem with the view window empty.
    std::unique_ptr<CTabItem> CreateNewItem() const { return std::make_unique<CViewTabItem>(); }

    // Inserts and takes the item; an index below 0 or beyond the count appends. The selected
    // item stays selected when the new one goes before it. Returns the index or -1.
    int InsertItem(int index, std::unique_ptr<CTabItem> item, bool select = false)
    {
        if (!this->m_hWnd || !item)
            return -1;
        const int count = GetItemCount();
        if (index < 0 || index > count)
            index = count;
        m_items.insert(m_items.begin() + index, std::move(item));
        if (m_selected >= index)
            ++m_selected;
        if (m_hot >= index)
            ++m_hot;
        NotifyItem(kTabNotifyInserted, index, NoPoint());
        if (GetItemCount() == 1 || select)
            SetCurSel(index, true);
        AddTool(GetItemCount(), LPSTR_TEXTCALLBACKA, RECT{});
        UpdateLayout();
        Repaint();
        return index;
    }

    // Deletes one item; with selectNext the selection moves as a user expects, with notify the
    // parent may keep the item by answering 1 to the deletion notice. Returns 1 or 0.
    int DeleteItem(int index, bool selectNext = true, bool notify = true)
    {
        if (!InRange(index))
            return 0;
        // While the strip empties itself a refusal cannot be honoured: the items must go, and
        // a refusal would make the emptying loop run forever.
        if (notify && NotifyItem(kTabNotifyDeleting, index, NoPoint()) == 1 && !m_emptying)
            return 0;
        const int count = GetItemCount();
        int reselect = -1;
        if (count <= 1) {
            m_selected = -1;
        } else if (index < m_selected) {
            // The selected item keeps its selection; only its index moves.
            --m_selected;
            if (selectNext)
                EnsureVisible(m_selected, false, false);
        } else if (index == m_selected) {
            if (!selectNext)
                m_selected = -1;
            else if (index == count - 1)
                SetCurSel(index - 1, true);
            else
                reselect = index;
        }
        RemoveTool(count);
        m_items.erase(m_items.begin() + index);
        m_hot = -1;
        if (m_selected >= GetItemCount())
            m_selected = GetItemCount() - 1;
        if (reselect >= 0)
            SetCurSel(reselect, true);
        UpdateLayout();
        Repaint();
        return 1;
    }

    void DeleteAllItems(bool repaint = true)
    {
        m_selected = -1;
        m_state &= ~kStateRedraw;
        m_emptying = true;
        while (!m_items.empty())
            DeleteItem(0, false, true);
        m_emptying = false;
        m_state |= kStateRedraw;
        UpdateLayout();
        if (repaint)
            Repaint();
    }

    // Moves an item; when following and the moved item is the selected one it stays selected
    // (with notifications); with notify the parent hears of the move. Returns 1 or 0.
    int MoveItem(int from, int to, bool followSelection = true, bool notify = false)
    {
        if (!this->m_hWnd || !InRange(from) || !InRange(to))
            return 0;
        const int oldSelected = m_selected;
        std::unique_ptr<CTabItem> item = std::move(m_items[from]);
        m_items.erase(m_items.begin() + from);
        m_items.insert(m_items.begin() + to, std::move(item));
        if (oldSelected == from) {
            if (!followSelection || SetCurSel(to, true) < 0)
                m_selected = to;
        } else if (oldSelected >= 0) {
            // Another item passed over the selected one: the selection keeps naming its item.
            if (from < oldSelected && to >= oldSelected)
                --m_selected;
            else if (from > oldSelected && to <= oldSelected)
                ++m_selected;
        }
        if (notify)
            NotifyMove(kTabNotifyMoved, from, to, NoPoint());
        UpdateLayout();
        Repaint();
        return 1;
    }

    int GetCurSel() const { return m_selected; }

    // Selects an item (an index at or beyond the count re-selects the current one). Returns the
    // previous selection, or -1 when the parent refused.
    int SetCurSel(int index, bool notify = true)
    {
        if (index >= GetItemCount() || index < -1)
            index = m_selected;
        if (notify && NotifyMove(TCN_SELCHANGING, m_selected, index, NoPoint()) == 1)
            return -1;
        const int previous = m_selected;
        m_selected = index;
        EnsureVisible(index, false, false);
        UpdateLayout();
        Repaint();
        if (notify)
            NotifyMove(TCN_SELCHANGE, previous, index, NoPoint());
        return previous;
    }

    // Scrolls so that the item shows, leaving 20 pixels of its neighbour in view.
    bool EnsureVisible(int index, bool partialAllowed = false, bool redraw = true)
    {
        if (!InRange(index))
            return false;
        if (m_state & (kStateCanScrollLeft | kStateCanScrollRight)) {
            RECT rect;
            GetItemRect(index, rect);
            m_offset = CTabLayout::EnsureVisibleOffset(rect, m_areas.items, partialAllowed, m_offset);
            if (redraw) {
                UpdateLayout();
                Repaint();
            }
        }
        return true;
    }

    // First index after start (-1 = from the beginning) whose masked fields equal the pattern's;
    // the found item's fields are copied into the pattern.
    int FindItem(CTabItem& pattern, UINT mask, int start = -1) const
    {
        for (int i = start < 0 ? 0 : start + 1; i < GetItemCount(); ++i) {
            if (m_items[i]->Matches(pattern, mask)) {
                pattern.CopyFrom(*m_items[i]);
                return i;
            }
        }
        return -1;
    }

    int HitTest(POINT point, UINT* where = nullptr) const
    {
        UINT code = kTabHitNowhere;
        const int index = CTabLayout::HitTest(point, ItemRects(), m_offset, m_areas, code);
        if (where)
            *where = code;
        return index;
    }

    void ScrollLeft(bool repaint = true) { ScrollBy(+ScrollStep(), repaint); }
    void ScrollRight(bool repaint = true) { ScrollBy(-ScrollStep(), repaint); }

    HIMAGELIST GetImageList() const { return m_imageList; }
    // The image list is shared, not owned.
    HIMAGELIST SetImageList(HIMAGELIST images)
    {
        HIMAGELIST old = m_imageList;
        m_imageList = images;
        UpdateLayout();
        Repaint();
        return old;
    }

    // ---- State, for owners and tests ---------------------------------------------------------

    int GetHotItem() const { return m_hot; }
    int GetScrollOffset() const { return m_offset; }
    DWORD GetState() const { return m_state; }
    void SetScrollRepeat(DWORD repeatBits) { m_state = (m_state & ~kStateRepeatMask) | (repeatBits & kStateRepeatMask); }
    const CTabLayout::Areas& GetAreas() const { return m_areas; }
    const CTabMetrics& GetMetrics() const { return m_metrics; }
    HWND GetToolTips() const { return m_toolTip.m_hWnd; }
    HFONT GetNormalFont() const { return m_font; }
    HFONT GetSelectedFont() const { return m_selectedFont; }
    bool IsDragging() const { return (m_state & kStateDragging) != 0; }
    int GetDragIndex() const { return m_dragIndex; }

    // Lays out the items and buttons; nothing happens without a window or while redraw is off.
    void UpdateLayout()
    {
        if (!this->m_hWnd || !(m_state & kStateRedraw) || m_destroying)
            return;
        RECT client;
        ::GetClientRect(this->m_hWnd, &client);
        const DWORD style = Style();
        const CTabItem* selected = GetItem(m_selected);
        m_areas = CTabLayout::PlaceButtons(client, style, (style & kTabStyleCloseButton) && selected &&
                                                              selected->CanClose());
        SetToolRect(kToolClose, m_areas.close);
        std::vector<RECT> rects;
        if (style & kTabStyleScroll) {
            SetToolRect(kToolScrollRight, m_areas.scrollRight);
            SetToolRect(kToolScrollLeft, m_areas.scrollLeft);
            rects = CTabLayout::ScrollLayout(MeasureItems(), m_metrics.stripMargin, client, m_areas.items, m_offset);
        } else {
            m_offset = 0;
            rects = CTabLayout::FitLayout(MeasureItems(), m_selected, m_metrics.stripMargin,
                                          static_cast<T*>(this)->MinItemWidth(), client, m_areas.items);
        }
        for (size_t i = 0; i < rects.size(); ++i)
            m_items[i]->SetRect(rects[i]);
        UpdateScrollState();
        for (int i = 0; i < GetItemCount(); ++i) {
            RECT rect;
            GetItemRect(i, rect);
            ::IntersectRect(&rect, &rect, &m_areas.items);
            SetToolRect(i + 1, rect);
        }
    }

    // ---- Defaults of the look ------------------------------------------------------------

    // Inset, image, text with its margins, inset.
    int NaturalWidth(HDC dc, const CTabItem& item, bool selected)
    {
        int width = 2 * m_metrics.itemInset + ImageWidth(item);
        const int text = TextWidth(dc, item, selected);
        if (text > 0)
            width += text + 2 * m_metrics.textMargin;
        return width;
    }
    int MinItemWidth() const { return m_metrics.minTextWidth + 2 * m_metrics.itemInset + m_metrics.textMargin; }

    BEGIN_MSG_MAP(TTabCtrlBase)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouseRelay)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
        MESSAGE_HANDLER(WM_GETFONT, OnGetFont)
        MESSAGE_HANDLER(WM_SETREDRAW, OnSetRedraw)
        MESSAGE_HANDLER(WM_STYLECHANGED, OnStyleChanged)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnButtonNotify)
        MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRButtonDown)
        MESSAGE_HANDLER(WM_RBUTTONDBLCLK, OnButtonNotify)
        MESSAGE_HANDLER(WM_MBUTTONDOWN, OnButtonNotify)
        MESSAGE_HANDLER(WM_MBUTTONDBLCLK, OnButtonNotify)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        NOTIFY_CODE_HANDLER(TTN_GETDISPINFOA, OnToolTipText)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(kTabMsgGetItemCount, OnGetItemCount)
        MESSAGE_HANDLER(kTabMsgGetItem, OnGetItemRecord)
        MESSAGE_HANDLER(kTabMsgSetItem, OnSetItemRecord)
    END_MSG_MAP()

protected:
    // ---- Message handlers --------------------------------------------------------------

    LRESULT OnMouseRelay(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
    {
        if (m_toolTip.m_hWnd) {
            MSG msg = {this->m_hWnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
            m_toolTip.RelayEvent(&msg);
        }
        handled = FALSE;
        return 0;
    }

    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        const LRESULT result = this->DefWindowProc(message, wParam, lParam);
        if (result == -1)
            return result;
        ::SendMessageA(this->m_hWnd, WM_SETTINGCHANGE, 0, 0);
        const DWORD style = Style();
        if (style & kTabStyleToolTips) {
            CreateToolTips();
            if (m_toolTip.m_hWnd)
                m_toolTip.Activate(TRUE);
            if (style & kTabStyleScroll)
                AddScrollTools();
            if (style & kTabStyleCloseButton)
                AddCloseTool();
        }
        return result;
    }

    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        RemoveTool(kToolScrollLeft);
        RemoveTool(kToolScrollRight);
        RemoveTool(kToolClose);
        // No layout while the window ends: the object may be half destroyed already.
        m_destroying = true;
        DeleteAllItems(false);
        m_destroying = false;
        if (m_toolTip.m_hWnd)
            m_toolTip.DestroyWindow();
        EndDragCursors();
        handled = FALSE;
        return 0;
    }

    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&)
    {
        UpdateLayout();
        Repaint();
        return 0;
    }

    LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL&)
    {
        static_cast<T*>(this)->SetupLook();
        UpdateLayout();
        Repaint();
        return 0;
    }

    LRESULT OnSetFont(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        LOGFONTA font = {};
        if (wParam && ::GetObjectA(reinterpret_cast<HGDIOBJ>(wParam), sizeof(font), &font))
            m_font.CreateFontIndirect(&font);
        UpdateLayout();
        if (lParam)
            Repaint();
        return 0;
    }

    LRESULT OnGetFont(UINT, WPARAM, LPARAM, BOOL&) { return reinterpret_cast<LRESULT>(static_cast<HFONT>(m_font)); }

    LRESULT OnSetRedraw(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        if (wParam) {
            m_state |= kStateRedraw;
            UpdateLayout();
        } else {
            m_state &= ~kStateRedraw;
        }
        return this->DefWindowProc(message, wParam, lParam);
    }

    LRESULT OnStyleChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
    {
        handled = FALSE;
        if (static_cast<int>(wParam) != GWL_STYLE)
            return 0;
        const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
        const DWORD added = change->styleNew & ~change->styleOld;
        const DWORD removed = change->styleOld & ~change->styleNew;
        if (m_toolTip.m_hWnd && (added & kTabStyleToolTips))
            m_toolTip.Activate(TRUE);
        if (m_toolTip.m_hWnd && (removed & kTabStyleToolTips))
            m_toolTip.Activate(FALSE);
        if (added & kTabStyleScroll)
            AddScrollTools();
        if (removed & kTabStyleScroll) {
            RemoveTool(kToolScrollRight);
            RemoveTool(kToolScrollLeft);
            m_offset = 0;
        }
        if (added & kTabStyleCloseButton)
            AddCloseTool();
        if (removed & kTabStyleCloseButton)
            RemoveTool(kToolClose);
        UpdateLayout();
        Repaint();
        return 0;
    }

    LRESULT OnGetDlgCode(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        return this->DefWindowProc(message, wParam, lParam) | DLGC_WANTARROWS;
    }

    LRESULT OnKeyDown(UINT, WPARAM key, LPARAM, BOOL& handled)
    {
        if (key == VK_ESCAPE && IsDragging())
            CancelDrag(true);
        else if (key == VK_LEFT && m_selected >= 1)
            SetCurSel(m_selected - 1, true);
        else if (key == VK_RIGHT && m_selected >= 0 && m_selected < GetItemCount() - 1)
            SetCurSel(m_selected + 1, true);
        else
            handled = FALSE;
        return 0;
    }

    LRESULT OnTimer(UINT, WPARAM id, LPARAM, BOOL& handled)
    {
        if (id != kTimerScrollLeft && id != kTimerScrollRight) {
            handled = FALSE;
            return 0;
        }
        const bool left = id == kTimerScrollLeft;
        if (!(m_state & (left ? kStateCanScrollLeft : kStateCanScrollRight))) {
            ::KillTimer(this->m_hWnd, id);
            return 0;
        }
        if (IsDragging()) {
            ::KillTimer(this->m_hWnd, id);
            POINT point;
            ::GetCursorPos(&point);
            ::ScreenToClient(this->m_hWnd, &point);
            DragMove(point);
            return 0;
        }
        const Element button = left ? kScrollLeft : kScrollRight;
        if (Pressed() == button && Under() == button) {
            left ? ScrollLeft() : ScrollRight();
            if (!(m_state & kStateRepeatMask))
                ::KillTimer(this->m_hWnd, id);
        }
        return 0;
    }

    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        const POINT point = PointOf(lParam);
        if (!(m_state & kStateInside)) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, this->m_hWnd, 0};
            ::TrackMouseEvent(&track);
            m_state |= kStateInside;
            UpdateLayout();
            Repaint();
        }
        // A press on an item becomes a drag at the first horizontal motion.
        if (Pressed() == kItem && m_dragIndex >= 0 && !IsDragging() && point.x != m_dragPoint.x &&
            (Style() & kTabStyleDragReorder))
            BeginDrag();
        if (IsDragging()) {
            DragMove(point);
            return 0;
        }
        TrackButton(kClose, m_areas.close, point);
        TrackButton(kScrollRight, m_areas.scrollRight, point);
        TrackButton(kScrollLeft, m_areas.scrollLeft, point);
        TrackItems(point);
        return 0;
    }

    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        const POINT point = PointOf(lParam);
        UINT where = kTabHitNowhere;
        const int index = HitTest(point, &where);
        if (where == kTabHitCloseButton) {
            SetPressed(kClose);
            SetUnder(kClose);
            RepaintRect(m_areas.close);
            ::SetCapture(this->m_hWnd);
        } else if (where == kTabHitScrollRight || where == kTabHitScrollLeft) {
            const bool left = where == kTabHitScrollLeft;
            const Element button = left ? kScrollLeft : kScrollRight;
            SetPressed(button);
            SetUnder(button);
            if (m_state & (left ? kStateCanScrollLeft : kStateCanScrollRight)) {
                left ? ScrollLeft() : ScrollRight();
                ::SetTimer(this->m_hWnd, left ? kTimerScrollLeft : kTimerScrollRight, RepeatPeriod(), nullptr);
            }
            RepaintRect(left ? m_areas.scrollLeft : m_areas.scrollRight);
            ::SetCapture(this->m_hWnd);
        } else if (NotifyItem(NM_CLICK, index, point) == 0 && index >= 0) {
            SetCurSel(index, true);
            SetPressed(kItem);
            m_dragIndex = index;
            m_dragPoint = point;
            ::SetCapture(this->m_hWnd);
        }
        return 0;
    }

    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        if (::GetCapture() != this->m_hWnd)
            return 0;
        if (IsDragging())
            AcceptDrag();
        // Releasing the capture clears the pressed element, so look at it first.
        const bool closeReleased = Pressed() == kClose && Under() == kClose;
        ::KillTimer(this->m_hWnd, kTimerScrollLeft);
        ::KillTimer(this->m_hWnd, kTimerScrollRight);
        ::ReleaseCapture();
        SetPressed(kNone);
        m_dragIndex = -1;
        if (closeReleased)
            NotifyItem(kTabNotifyClose, m_selected, PointOf(lParam));
        UpdateLayout();
        Repaint();
        return 0;
    }

    LRESULT OnRButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        const POINT point = PointOf(lParam);
        const int index = HitTest(point);
        if (NotifyItem(NM_RCLICK, index, point) == 0 && index >= 0)
            SetCurSel(index, true);
        return 0;
    }

    LRESULT OnButtonNotify(UINT message, WPARAM, LPARAM lParam, BOOL&)
    {
        const POINT point = PointOf(lParam);
        int code = NM_DBLCLK;
        if (message == WM_RBUTTONDBLCLK)
            code = NM_RDBLCLK;
        else if (message == WM_MBUTTONDOWN)
            code = kTabNotifyMiddleDown;
        else if (message == WM_MBUTTONDBLCLK)
            code = kTabNotifyMiddleDblClk;
        NotifyItem(code, HitTest(point), point);
        return 0;
    }

    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
    {
        m_state &= ~kStateInside;
        SetUnder(kNone);
        SetHot(kNone);
        m_hot = -1;
        UpdateLayout();
        Repaint();
        return 0;
    }

    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        const Element pressed = Pressed();
        if (pressed != kNone) {
            SetPressed(kNone);
            if (pressed == kItem)
                Repaint();
            else
                RepaintRect(ButtonRect(pressed));
        }
        ::KillTimer(this->m_hWnd, kTimerScrollLeft);
        ::KillTimer(this->m_hWnd, kTimerScrollRight);
        if (IsDragging())
            CancelDrag(true);
        handled = FALSE;
        return 0;
    }

    LRESULT OnToolTipText(int, LPNMHDR header, BOOL& handled)
    {
        if (!m_toolTip.m_hWnd || header->hwndFrom != m_toolTip.m_hWnd) {
            handled = FALSE;
            return 0;
        }
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        const int index = static_cast<int>(header->idFrom) - 1;
        info->szText[0] = '\0';
        info->lpszText = info->szText;
        if (const CTabItem* item = GetItem(index)) {
            if (!item->GetToolTip().empty())
                info->lpszText = const_cast<char*>(item->GetToolTip().c_str());
            else if (!item->GetText().empty())
                info->lpszText = const_cast<char*>(item->GetText().c_str());
        }
        return 0;
    }

    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&)
    {
        CPaintDC screen(this->m_hWnd);
        const CRect paint(screen.m_ps.rcPaint);
        if (!paint.IsRectEmpty()) {
            // Off-screen drawing in client coordinates, copied to the screen at the end.
            CMemoryDC memory(screen, paint);
            DoPaint(memory, paint);
        }
        return 0;
    }

    LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        RECT client;
        ::GetClientRect(this->m_hWnd, &client);
        DoPaint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }

    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

    LRESULT OnGetItemCount(UINT, WPARAM, LPARAM, BOOL&) { return GetItemCount(); }

    // The records are this process's own objects: a request from another thread (and so
    // possibly another process) carries a pointer that is not ours and is answered with 0.
    LRESULT OnGetItemRecord(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        const CTabItem* item = GetItem(static_cast<int>(wParam));
        if (!item || !lParam || ::InSendMessage())
            return 0;
        reinterpret_cast<CTabItem*>(lParam)->CopyFrom(*item);
        return 1;
    }

    LRESULT OnSetItemRecord(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        CTabItem* item = GetItem(static_cast<int>(wParam));
        if (!item || !lParam || ::InSendMessage())
            return 0;
        item->CopyFrom(*reinterpret_cast<const CTabItem*>(lParam));
        UpdateLayout();
        Repaint();
        return 1;
    }

    // ---- Painting ------------------------------------------------------------------------

    CTabCustomDraw MakeCustomDraw(HDC dc, DWORD stage, const RECT& rect) const
    {
        CTabCustomDraw cd = {};
        cd.nmcd.hdr = Header(NM_CUSTOMDRAW);
        cd.nmcd.dwDrawStage = stage;
        cd.nmcd.hdc = dc;
        cd.nmcd.rc = rect;
        cd.fontNormal = GetNormalFont();
        cd.fontSelected = GetSelectedFont() ? GetSelectedFont() : GetNormalFont();
        cd.background = m_background;
        cd.inactiveText = m_inactiveText;
        cd.selectedText = ::GetSysColor(COLOR_BTNTEXT);
        cd.selectedTab = m_selectedTab;
        cd.btnFace = ::GetSysColor(COLOR_BTNFACE);
        cd.btnShadow = ::GetSysColor(COLOR_BTNSHADOW);
        cd.btnHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        cd.btnText = ::GetSysColor(COLOR_BTNTEXT);
        cd.highlight = ::GetSysColor(COLOR_HIGHLIGHT);
        cd.hot = ::GetSysColor(COLOR_HOTLIGHT);
        cd.highlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        return cd;
    }

    LRESULT SendCustomDraw(CTabCustomDraw& cd) const
    {
        return ::SendMessageA(::GetParent(this->m_hWnd), WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
    }

    void DoPaint(HDC dc, const RECT& paint)
    {
        T* look = static_cast<T*>(this);
        CSaveDC saved(dc);
        RECT client;
        ::GetClientRect(this->m_hWnd, &client);
        ::IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(this->m_hWnd, WM_GETFONT, 0, 0)));
        CTabCustomDraw cd = MakeCustomDraw(dc, CDDS_PREPAINT, client);
        const LRESULT answer = SendCustomDraw(cd);
        if (!(answer & CDRF_SKIPDEFAULT)) {
            cd.nmcd.rc = client;
            look->DrawBackground(cd);
        }
        if (answer == 0 || (answer & CDRF_NOTIFYITEMDRAW))
            DrawItems(dc, paint, answer);
        if (answer != CDRF_SKIPDEFAULT)
            DrawButtons(dc);
        if (answer & CDRF_NOTIFYPOSTPAINT) {
            CTabCustomDraw post = MakeCustomDraw(dc, CDDS_POSTPAINT, client);
            SendCustomDraw(post);
        }
    }

    void DrawItems(HDC dc, const RECT& paint, LRESULT answer)
    {
        CSaveDC saved(dc);
        if (Style() & kTabStyleScroll) {
            const RECT& area = m_areas.items;
            ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
            ::OffsetViewportOrgEx(dc, m_offset, 0, nullptr);
        }
        for (int i = 0; i < GetItemCount(); ++i) {
            if (i != m_selected)
                DrawOneItem(dc, i, paint, answer);
        }
        if (InRange(m_selected))
            DrawOneItem(dc, m_selected, paint, answer);
    }

    void DrawOneItem(HDC dc, int index, const RECT& paint, LRESULT answer)
    {
        RECT shown;
        GetItemRect(index, shown);
        RECT common;
        if (!::IntersectRect(&common, &shown, &paint))
            return;
        const CTabItem& item = *m_items[index];
        CTabCustomDraw cd = MakeCustomDraw(dc, CDDS_ITEMPREPAINT, item.GetRect());
        cd.nmcd.dwItemSpec = index;
        cd.nmcd.lItemlParam = reinterpret_cast<LPARAM>(&item);
        if (index == m_selected)
            cd.nmcd.uItemState |= CDIS_SELECTED;
        if (index == m_hot && (Style() & kTabStyleHotTrack))
            cd.nmcd.uItemState |= CDIS_HOT;
        if (item.IsHighlighted())
            cd.nmcd.uItemState |= CDIS_MARKED;
        const bool perItem = (answer & CDRF_NOTIFYITEMDRAW) != 0;
        const LRESULT itemAnswer = perItem ? SendCustomDraw(cd) : 0;
        if (!(answer & CDRF_SKIPDEFAULT)) {
            cd.nmcd.rc = item.GetRect();
            static_cast<T*>(this)->DrawItem(cd);
        }
        if (perItem && (itemAnswer & CDRF_NOTIFYPOSTPAINT)) {
            cd.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
            SendCustomDraw(cd);
        }
    }

    void DrawButtons(HDC dc)
    {
        const DWORD style = Style();
        CTabCustomDraw cd = MakeCustomDraw(dc, CDDS_PREPAINT, m_areas.close);
        const CTabItem* selected = GetItem(m_selected);
        if ((style & kTabStyleCloseButton) && selected && selected->CanClose() && !::IsRectEmpty(&m_areas.close))
            CTabDraw::CloseButton(cd, m_areas.close, ButtonStateOf(kClose));
        if ((style & kTabStyleScroll) && !::IsRectEmpty(&m_areas.scrollRight)) {
            CTabDraw::ScrollButton(cd, m_areas.scrollRight, true, (m_state & kStateCanScrollRight) != 0,
                                   ButtonStateOf(kScrollRight));
            CTabDraw::ScrollButton(cd, m_areas.scrollLeft, false, (m_state & kStateCanScrollLeft) != 0,
                                   ButtonStateOf(kScrollLeft));
        }
    }

    // The text and image of an item inside its rectangle less the item inset (the standard
    // looks) or less the left and right extras (imageAtRight, the 2005 look).
    void DrawItemContent(const CTabCustomDraw& cd, RECT area, bool imageAtRight)
    {
        const CTabItem& item = *reinterpret_cast<const CTabItem*>(cd.nmcd.lItemlParam);
        if (imageAtRight) {
            area.left += m_metrics.leftExtra;
            area.right -= m_metrics.rightExtra;
        } else {
            area.left += m_metrics.itemInset;
            area.right -= m_metrics.itemInset;
        }
        CTabDraw::ItemContent(cd, item, area, m_metrics, m_imageList, imageAtRight);
    }

    // ---- Look set-up helpers ---------------------------------------------------------------

    void SetLookColours(COLORREF inactiveText, COLORREF selectedTab)
    {
        m_inactiveText = inactiveText;
        m_selectedTab = selectedTab;
    }

    // Recreates the fonts from the icon-title font when the face or the height changed.
    void SetupFonts()
    {
        LOGFONTA iconFont = {};
        if (!::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(iconFont), &iconFont, 0))
            ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(iconFont), &iconFont);
        LOGFONTA current = {};
        const bool have = !m_font.IsNull() && m_font.GetLogFont(&current);
        if (!have || lstrcmpiA(current.lfFaceName, iconFont.lfFaceName) != 0 || current.lfHeight != iconFont.lfHeight) {
            m_font.Attach(CreateFontOrDefault(iconFont));
            if (Style() & kTabStyleBoldSelected)
                iconFont.lfWeight = FW_BOLD;
            m_selectedFont.Attach(CreateFontOrDefault(iconFont));
        }
        m_iconFontHeight = iconFont.lfHeight;
    }

    // The metrics every look shares; the vertical text offset is the DotNet looks' own.
    void SetStandardMetrics(bool withTextOffset)
    {
        m_metrics.stripMargin = 5;
        m_metrics.textMargin = 4;
        m_metrics.itemInset = 3;
        m_metrics.spareInset = 3;
        m_metrics.minTextWidth = 12;
        m_metrics.textOffset = static_cast<signed char>(withTextOffset ? CTabLayout::TextOffset(m_iconFontHeight) : 0);
    }

    int ImageWidth(const CTabItem& item) const
    {
        int width = 0, height = 0;
        if (item.GetImageIndex() >= 0 && m_imageList && ImageList_GetIconSize(m_imageList, &width, &height))
            return width;
        return 0;
    }

    int TextWidth(HDC dc, const CTabItem& item, bool selected) const
    {
        if (item.GetText().empty())
            return 0;
        CGdiObjectSelector font(dc, selected && GetSelectedFont() ? GetSelectedFont() : GetNormalFont());
        RECT rect = {0, 0, 0, 0};
        ::DrawTextA(dc, item.GetText().c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
        return rect.right - rect.left;
    }

    bool IsBottom() const { return (Style() & kTabStyleBottom) != 0; }
    DWORD Style() const { return this->m_hWnd ? static_cast<DWORD>(::GetWindowLongPtrA(this->m_hWnd, GWL_STYLE)) : 0; }

    int m_selected = -1;
    int m_hot = -1;
    std::vector<std::unique_ptr<CTabItem>> m_items;
    HIMAGELIST m_imageList = nullptr;  // shared, not owned
    CToolTipCtrl m_toolTip;            // owned
    CTabLayout::Areas m_areas;
    int m_dragIndex = -1;
    int m_dragStartIndex = -1;
    POINT m_dragPoint = {};
    CCursor m_cursorInside;   // held while a drag runs
    CCursor m_cursorOutside;  // held while a drag runs
    int m_offset = 0;                   // 0 or negative
    DWORD m_state = kStateInitial;
    CFont m_font;
    CFont m_selectedFont;
    CBrush m_ownBrush;
    HBRUSH m_background = nullptr;  // m_ownBrush or a system colour brush
    COLORREF m_inactiveText = 0;
    COLORREF m_selectedTab = 0;
    CTabMetrics m_metrics;
    LONG m_iconFontHeight = -11;
    bool m_emptying = false;
    bool m_destroying = false;

private:
    static HFONT CreateFontOrDefault(const LOGFONTA& font)
    {
        if (HFONT created = ::CreateFontIndirectA(&font))
            return created;
        LOGFONTA fallback = {};
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(fallback), &fallback);
        return ::CreateFontIndirectA(&fallback);
    }

    static POINT NoPoint() { return POINT{-1, -1}; }
    static POINT PointOf(LPARAM lParam) { return CPoint(lParam); }

    bool InRange(int index) const { return index >= 0 && index < GetItemCount(); }

    std::vector<RECT> ItemRects() const
    {
        std::vector<RECT> rects;
        rects.reserve(m_items.size());
        for (const auto& item : m_items)
            rects.push_back(item->GetRect());
        return rects;
    }

    std::vector<int> MeasureItems()
    {
        std::vector<int> widths;
        widths.reserve(m_items.size());
        CClientDC dc(this->m_hWnd);
        for (int i = 0; i < GetItemCount(); ++i)
            widths.push_back(static_cast<T*>(this)->NaturalWidth(dc, *m_items[i], i == m_selected));
        return widths;
    }

    void UpdateScrollState()
    {
        if (m_offset >= 0) {
            m_offset = 0;
            m_state &= ~kStateCanScrollLeft;
        } else {
            m_state |= kStateCanScrollLeft;
        }
        m_state &= ~kStateCanScrollRight;
        if ((Style() & kTabStyleScroll) && !m_items.empty() && m_items.back()->GetRect().right + m_offset > m_areas.items.right)
            m_state |= kStateCanScrollRight;
    }

    int ScrollStep() const { return static_cast<int>((m_state & kStateStepMask) >> 8); }
    UINT RepeatPeriod() const
    {
        switch (m_state & kStateRepeatMask) {
        case kStateRepeat100: return 100;
        case kStateRepeat25: return 25;
        case kStateRepeat10: return 10;
        default: return 0;
        }
    }

    void ScrollBy(int delta, bool repaint)
    {
        m_offset += delta;
        UpdateLayout();
        if (repaint)
            Repaint();
    }

    // ---- State word fields ---------------------------------------------------------------

    Element Field(int shift) const { return static_cast<Element>((m_state >> shift) & 0xF); }
    void SetField(int shift, Element element) { m_state = (m_state & ~(0xFu << shift)) | (DWORD(element) << shift); }
    Element Hot() const { return Field(16); }
    Element Pressed() const { return Field(20); }
    Element Under() const { return Field(24); }
    void SetHot(Element element) { SetField(16, element); }
    void SetPressed(Element element) { SetField(20, element); }
    void SetUnder(Element element) { SetField(24, element); }

    const RECT& ButtonRect(Element element) const
    {
        return element == kClose ? m_areas.close : element == kScrollRight ? m_areas.scrollRight : m_areas.scrollLeft;
    }

    CTabDraw::ButtonState ButtonStateOf(Element element) const
    {
        CTabDraw::ButtonState state;
        state.pressedUnder = Pressed() == element && Under() == element;
        state.hot = Hot() == element;
        return state;
    }

    // Mouse feedback of one button: entering, moving inside and leaving it.
    void TrackButton(Element button, const RECT& rect, POINT point)
    {
        const bool inside = ::PtInRect(&rect, point) != FALSE;
        if (!inside) {
            if (Under() == button || Hot() == button) {
                if (Under() == button)
                    SetUnder(kNone);
                if (Hot() == button)
                    SetHot(kNone);
                RepaintRect(rect);
            }
            return;
        }
        if (Under() != button) {
            SetUnder(button);
            if (Pressed() == button)
                RepaintRect(rect);
        } else if (Pressed() == kNone && Hot() != button) {
            SetHot(button);
            RepaintRect(rect);
        }
    }

    void TrackItems(POINT point)
    {
        const bool hotTrack = (Style() & kTabStyleHotTrack) != 0;
        if (!::PtInRect(&m_areas.items, point)) {
            if (Under() == kItem) {
                SetUnder(kNone);
                if (hotTrack)
                    SetHotItem(-1);
            }
            return;
        }
        SetUnder(kItem);
        if (hotTrack)
            SetHotItem(HitTest(point));
    }

    void SetHotItem(int index)
    {
        if (index == m_hot)
            return;
        RECT rect;
        if (GetItemRect(m_hot, rect))
            RepaintRect(rect);
        m_hot = index;
        SetHot(index >= 0 ? kItem : kNone);
        if (GetItemRect(m_hot, rect))
            RepaintRect(rect);
    }

    // ---- Drag ------------------------------------------------------------------------------

    void BeginDrag()
    {
        if (NotifyItem(kTabNotifyBeginDrag, m_dragIndex, m_dragPoint) != 0) {
            m_dragIndex = -1;
            return;
        }
        ::SetCapture(this->m_hWnd);
        ::SetFocus(this->m_hWnd);
        m_state |= kStateDragging;
        m_dragStartIndex = m_dragIndex;
        // The system's OLE drag cursors: resource 2 for a move inside the strip, 1 outside.
        HMODULE ole = ::GetModuleHandleA("ole32.dll");
        if (!ole)
            ole = ::LoadLibraryA("ole32.dll");
        m_cursorInside.Attach(LoadOwnedCursor(ole, 2, IDC_ARROW));
        m_cursorOutside.Attach(LoadOwnedCursor(ole, 1, IDC_NO));
    }

    static HCURSOR LoadOwnedCursor(HMODULE module, int id, LPCSTR fallback)
    {
        HANDLE cursor = module ? ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE) : nullptr;
        if (!cursor)
            cursor = ::CopyImage(::LoadCursorA(nullptr, fallback), IMAGE_CURSOR, 0, 0, 0);
        return static_cast<HCURSOR>(cursor);
    }

    void DragMove(POINT point)
    {
        RECT client;
        ::GetClientRect(this->m_hWnd, &client);
        const bool inside = ::PtInRect(&client, point) != FALSE;
        if (HCURSOR cursor = inside ? m_cursorInside : m_cursorOutside)
            ::SetCursor(cursor);
        const int target = HitTest(point);
        if (target >= 0 && target != m_dragIndex) {
            RECT rect;
            GetItemRect(target, rect);
            const int middle = rect.left + (rect.right - rect.left) / 2;
            if ((m_dragIndex < target && point.x > middle) || (m_dragIndex > target && point.x < middle)) {
                MoveItem(m_dragIndex, target, true, false);
                m_dragIndex = target;
            }
        }
        if (!(Style() & kTabStyleScroll))
            return;
        const RECT leftZone{client.left, client.top, m_areas.items.left + 20, client.bottom};
        const RECT rightZone{m_areas.items.right - 20, client.top, client.right, client.bottom};
        if (::PtInRect(&leftZone, point) && (m_state & kStateCanScrollLeft)) {
            ScrollLeft();
            ::SetTimer(this->m_hWnd, kTimerScrollLeft, 100, nullptr);
        } else if (::PtInRect(&rightZone, point) && (m_state & kStateCanScrollRight)) {
            ScrollRight();
            ::SetTimer(this->m_hWnd, kTimerScrollRight, 100, nullptr);
        }
    }

    void AcceptDrag()
    {
        NotifyMove(kTabNotifyAcceptDrag, m_dragStartIndex, m_dragIndex, NoPoint());
        EndDrag(true);
    }

    void CancelDrag(bool repaint)
    {
        const int start = m_dragStartIndex;
        if (m_dragIndex != start && InRange(m_dragIndex) && InRange(start)) {
            MoveItem(m_dragIndex, start, true, false);
            EnsureVisible(start, false, true);
        }
        NotifyItem(kTabNotifyCancelDrag, start, NoPoint());
        EndDrag(repaint);
    }

    void EndDrag(bool repaint)
    {
        m_state &= ~kStateDragging;
        ::SetCursor(reinterpret_cast<HCURSOR>(::GetClassLongPtrA(this->m_hWnd, GCLP_HCURSOR)));
        EndDragCursors();
        m_dragIndex = -1;
        m_dragStartIndex = -1;
        m_dragPoint = POINT{};
        if (repaint)
            Repaint();
    }

    void EndDragCursors()
    {
        m_cursorInside.DestroyCursor();
        m_cursorOutside.DestroyCursor();
    }

    // ---- Notifications ---------------------------------------------------------------------

    NMHDR Header(int code) const
    {
        NMHDR header = {};
        header.hwndFrom = this->m_hWnd;
        header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(this->m_hWnd));
        header.code = static_cast<UINT>(code);
        return header;
    }

    LRESULT NotifyItem(int code, int item, POINT point) const
    {
        CTabNotifyItem record = {Header(code), item, point};
        return ::SendMessageA(::GetParent(this->m_hWnd), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
    }

    LRESULT NotifyMove(int code, int first, int second, POINT point) const
    {
        CTabNotifyMove record = {Header(code), first, second, point};
        return ::SendMessageA(::GetParent(this->m_hWnd), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
    }

    // ---- Tooltips ----------------------------------------------------------------------------

    void CreateToolTips()
    {
        if (!m_toolTip.Create(this->m_hWnd, nullptr, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, WS_EX_TOOLWINDOW))
            return;
        m_toolTip.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        const int delay = static_cast<int>(::GetDoubleClickTime());
        m_toolTip.SetDelayTime(TTDT_INITIAL, delay);
        m_toolTip.SetDelayTime(TTDT_AUTOPOP, delay * 20);
        m_toolTip.SetDelayTime(TTDT_RESHOW, delay / 5);
    }

    // Button tools carry translated texts however they come to be added.
    void AddScrollTools()
    {
        AddTool(kToolScrollRight, TranslateTabText("Scroll Right"), m_areas.scrollRight);
        AddTool(kToolScrollLeft, TranslateTabText("Scroll Left"), m_areas.scrollLeft);
    }
    void AddCloseTool() { AddTool(kToolClose, TranslateTabText("Close"), m_areas.close); }

    // Tools are named by id (never by window handle) and get their mouse messages relayed.
    CToolInfo ToolInfo(int id, const RECT* rect = nullptr, const char* text = nullptr) const
    {
        return CToolInfo(0, this->m_hWnd, static_cast<UINT_PTR>(static_cast<INT_PTR>(id)), const_cast<RECT*>(rect),
                         const_cast<char*>(text));
    }

    void AddTool(int id, const char* text, const RECT& rect)
    {
        if (!m_toolTip.m_hWnd)
            return;
        CToolInfo info = ToolInfo(id, &rect, text);
        m_toolTip.AddTool(&info);
    }

    void RemoveTool(int id)
    {
        if (!m_toolTip.m_hWnd)
            return;
        CToolInfo info = ToolInfo(id);
        m_toolTip.DelTool(&info);
    }

    void SetToolRect(int id, const RECT& rect)
    {
        if (!m_toolTip.m_hWnd)
            return;
        CToolInfo info = ToolInfo(id, &rect);
        m_toolTip.SetToolRect(&info);
    }

    void Repaint()
    {
        if (this->m_hWnd && (m_state & kStateRedraw))
            ::InvalidateRect(this->m_hWnd, nullptr, FALSE);
    }
    void RepaintRect(const RECT& rect)
    {
        if (this->m_hWnd && (m_state & kStateRedraw) && !::IsRectEmpty(&rect))
            ::InvalidateRect(this->m_hWnd, &rect, FALSE);
    }
};
