#pragma once
// The records of the tab strips: one CTabItem per tab, and CViewTabItem for tabs that stand for a
// window (an MDI child or a view). The strip owns its items and deletes them through the virtual
// destructor. The same records travel in-process through the item messages (see TabCtrlBase.h).
#include "core/library/StdStr.h"

#include <windows.h>

// Fields compared by CTabItem::Matches and CTabCtrl's FindItem.
enum : UINT {
    kTabItemRect = 0x0001,
    kTabItemImage = 0x0002,
    kTabItemText = 0x0004,
    kTabItemToolTip = 0x0008,
    kTabItemViewWindow = 0x0010,
    kTabItemHighlighted = 0x0020,
    kTabItemCanClose = 0x0040,
};

class CTabItem {
public:
    CTabItem() = default;
    CTabItem(const CTabItem&) = default;
    CTabItem& operator=(const CTabItem&) = default;
    virtual ~CTabItem() = default;

    // Copies every field of source that this record can hold: a view record copied into a plain
    // record loses its view window; a plain record copied into a view record keeps the view.
    virtual void CopyFrom(const CTabItem& source);
    // True when every field named in the mask equals the pattern's.
    virtual bool Matches(const CTabItem& pattern, UINT mask) const;
    virtual HWND GetViewWindow() const { return nullptr; }

    const RECT& GetRect() const { return m_rect; }
    void SetRect(const RECT& rect) { m_rect = rect; }
    int GetImageIndex() const { return m_image; }
    void SetImageIndex(int image) { m_image = image; }
    const TStdStr<char>& GetText() const { return m_text; }
    void SetText(const char* text) { m_text = text; }
    const TStdStr<char>& GetToolTip() const { return m_toolTip; }
    void SetToolTip(const char* text) { m_toolTip = text; }
    bool IsHighlighted() const { return m_highlighted != 0; }
    void SetHighlighted(bool highlighted) { m_highlighted = highlighted ? 1 : 0; }
    bool CanClose() const { return m_canClose != 0; }
    void SetCanClose(bool canClose) { m_canClose = canClose ? 1 : 0; }

private:
    RECT m_rect = {};  // strip coordinates, without the scroll offset
    int m_image = -1;  // index into the strip's image list, -1 = none
    TStdStr<char> m_text;
    TStdStr<char> m_toolTip;
    BYTE m_highlighted = 0;
    BYTE m_canClose = 1;
};

class CViewTabItem : public CTabItem {
public:
    void CopyFrom(const CTabItem& source) override;
    HWND GetViewWindow() const override { return m_viewWindow; }
    void SetViewWindow(HWND window) { m_viewWindow = window; }

private:
    HWND m_viewWindow = nullptr;  // not owned
};
