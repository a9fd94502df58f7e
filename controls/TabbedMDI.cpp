#include "controls/TabbedMDI.h"

#include "controls/ButtonTabCtrl.h"
#include "controls/DotNet2005TabCtrl.h"
#include "controls/DotNetTabCtrl.h"
#include "core/app/Settings.h"
#include "platform/AtlGdi.h"

#include <cstring>
#include <vector>

// ---- Registered messages -------------------------------------------------------------------

const CTabbedMdiMessages& GetTabbedMdiMessages()
{
    static const CTabbedMdiMessages messages = {
        ::RegisterWindowMessageA("UWM_MDICHILDTABTEXTCHANGE_MSG-5DAD28E1-C961-11d5-8BDA-00500477589F"),
        ::RegisterWindowMessageA("UWM_MDICHILDTABTOOLTIPCHANGE_MSG-5DAD28E3-C961-11d5-8BDA-00500477589F"),
        ::RegisterWindowMessageA("UWM_MDICHILDACTIVATIONCHANGE_MSG-5DAD28E5-C961-11d5-8BDA-00500477589F"),
        ::RegisterWindowMessageA("UWM_MDICHILDMAXIMIZED_MSG-5DAD28E7-C961-11d5-8BDA-00500477589F"),
        ::RegisterWindowMessageA("UWM_MDICHILDUNMAXIMIZED_MSG-5DAD28E9-C961-11d5-8BDA-00500477589F"),
        ::RegisterWindowMessageA("UWM_MDICHILDSHOWTABCONTEXTMENU_MSG-5DAD28EB-C961-11d5-8BDA-00500477589F"),
        ::RegisterWindowMessageA("UWM_MDICHILDSAVEMODIFIED_MSG-5DAD28EC-C961-11d5-8BDA-00500477589F"),
        ::RegisterWindowMessageA("UWM_MDICHILDCLOSEWITHNOPROMPT_MSG-5DAD28EC-C961-11d5-8BDA-00500477589F"),
    };
    return messages;
}

namespace {
// The messages exist from start-up on, before any window asks for them.
const CTabbedMdiMessages& g_registeredAtStartUp = GetTabbedMdiMessages();
}  // namespace

// ---- Looks ---------------------------------------------------------------------------------

ETabLook TabLookFromStyleName(const char* tabStyle)
{
    if (!tabStyle)
        return ETabLook::DotNet;
    if (std::strcmp(tabStyle, "Button") == 0)
        return ETabLook::Button;
    if (std::strcmp(tabStyle, "DotNetButton") == 0)
        return ETabLook::DotNetButton;
    if (std::strcmp(tabStyle, "DotNet2005") == 0)
        return ETabLook::DotNet2005;
    return ETabLook::DotNet;
}

const char* TabLookWindowClass(ETabLook look)
{
    switch (look) {
    case ETabLook::Button: return "_ButtonTab";
    case ETabLook::DotNetButton: return "_DotNetButtonTabCtrl";
    case ETabLook::DotNet2005: return "_DotNet2005TabCtrl";
    default: return "_DotNetTabCtrl";
    }
}

ETabLook TabLookFromSettings()
{
    const CSettings* settings = GetSettings();
    return settings ? TabLookFromStyleName(settings->TabStyle) : ETabLook::DotNet2005;
}

// The strip operations the owner needs, over whichever look was chosen.
class CMdiTabStrip {
public:
    virtual ~CMdiTabStrip() = default;
    virtual HWND Create(HWND parent, DWORD style) = 0;
    virtual HWND Window() const = 0;
    virtual int GetItemCount() const = 0;
    virtual CTabItem* GetItem(int index) const = 0;
    virtual int GetCurSel() const = 0;
    virtual int SetCurSel(int index, bool notify) = 0;
    virtual int InsertItem(std::unique_ptr<CTabItem> item) = 0;
    virtual int DeleteItem(int index, bool selectNext, bool notify) = 0;
    virtual int FindItem(CTabItem& pattern, UINT mask) const = 0;
    virtual int HitTest(POINT point, UINT* where) const = 0;
    virtual bool GetItemRect(int index, RECT& rect) const = 0;
    virtual void UpdateLayout() = 0;
    virtual void SetImageList(HIMAGELIST images) = 0;
};

namespace {

template <class TLook>
class TMdiTabStrip : public CMdiTabStrip {
public:
    HWND Create(HWND parent, DWORD style) override
    {
        RECT rect = {};
        return m_ctrl.Create(parent, rect, style);
    }
    HWND Window() const override { return m_ctrl.m_hWnd; }
    int GetItemCount() const override { return m_ctrl.GetItemCount(); }
    CTabItem* GetItem(int index) const override { return m_ctrl.GetItem(index); }
    int GetCurSel() const override { return m_ctrl.GetCurSel(); }
    int SetCurSel(int index, bool notify) override { return m_ctrl.SetCurSel(index, notify); }
    int InsertItem(std::unique_ptr<CTabItem> item) override { return m_ctrl.InsertItem(-1, std::move(item), false); }
    int DeleteItem(int index, bool selectNext, bool notify) override
    {
        return m_ctrl.DeleteItem(index, selectNext, notify);
    }
    int FindItem(CTabItem& pattern, UINT mask) const override { return m_ctrl.FindItem(pattern, mask); }
    int HitTest(POINT point, UINT* where) const override { return m_ctrl.HitTest(point, where); }
    bool GetItemRect(int index, RECT& rect) const override { return m_ctrl.GetItemRect(index, rect); }
    void UpdateLayout() override
    {
        m_ctrl.UpdateLayout();
        if (m_ctrl.m_hWnd)
            ::InvalidateRect(m_ctrl.m_hWnd, nullptr, TRUE);
    }
    void SetImageList(HIMAGELIST images) override { m_ctrl.SetImageList(images); }

private:
    TLook m_ctrl;
};

std::unique_ptr<CMdiTabStrip> CreateStrip(ETabLook look)
{
    switch (look) {
    case ETabLook::Button: return std::make_unique<TMdiTabStrip<CButtonTabCtrl>>();
    case ETabLook::DotNetButton: return std::make_unique<TMdiTabStrip<CDotNetButtonTabCtrl>>();
    case ETabLook::DotNet2005: return std::make_unique<TMdiTabStrip<CDotNet2005TabCtrl>>();
    default: return std::make_unique<TMdiTabStrip<CDotNetTabCtrl>>();
    }
}

TStdStr<char> WindowText(HWND window)
{
    const int length = ::GetWindowTextLengthA(window);
    std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
    ::GetWindowTextA(window, text.data(), length + 1);
    return TStdStr<char>(text.data());
}

}  // namespace

// ---- CMdiTabOwner --------------------------------------------------------------------------

CMdiTabOwner::CMdiTabOwner(ETabLook look) : m_strip(CreateStrip(look)) {}

CMdiTabOwner::~CMdiTabOwner()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
}

bool CMdiTabOwner::CreateOwner(HWND frame, HWND mdiClient)
{
    m_mdiClient = mdiClient;
    if (m_hWnd)
        return true;
    RECT rect = {};
    return Create(frame, rect) != nullptr;
}

void CMdiTabOwner::ModifyTabStyle(DWORD remove, DWORD add)
{
    const DWORD style = (m_tabStyle & ~remove) | add;
    if (style != m_tabStyle)
        m_tabStyle = style;
}

void CMdiTabOwner::SetStripHidden(bool hidden)
{
    if ((m_stripHidden != 0) == hidden)
        return;
    m_stripHidden = hidden ? 1 : 0;
    m_height = ComputeStripHeight();
    if (hidden)
        HideStrip();
    else
        ShowStrip();
}

bool CMdiTabOwner::SetTabImage(HWND child, int image)
{
    CTabItem* item = GetItem(FindTab(child));
    if (!item || item->GetImageIndex() == image)
        return false;
    item->SetImageIndex(image);
    m_strip->UpdateLayout();
    return true;
}

int CMdiTabOwner::GetItemCount() const
{
    HWND strip = m_strip->Window();
    return strip ? static_cast<int>(::SendMessageA(strip, 0x1304, 0, 0)) : 0;
}

CTabItem* CMdiTabOwner::GetItem(int index) const
{
    return m_strip->GetItem(index);
}

int CMdiTabOwner::GetCurSel() const
{
    return m_strip->GetCurSel();
}

int CMdiTabOwner::SetCurSel(int index)
{
    return m_strip->SetCurSel(index, true);
}

HWND CMdiTabOwner::GetStripWindow() const
{
    return m_strip->Window();
}

int CMdiTabOwner::HitTestStrip(POINT point, UINT* where) const
{
    return m_strip->HitTest(point, where);
}

void CMdiTabOwner::SetTabImageList(HIMAGELIST images)
{
    m_images = images;
    if (m_strip->Window())
        m_strip->SetImageList(images);
}

int CMdiTabOwner::FindTab(HWND child) const
{
    if (!child || !m_strip->Window())
        return -1;
    CViewTabItem pattern;
    pattern.SetViewWindow(child);
    return m_strip->FindItem(pattern, kTabItemViewWindow);
}

HWND CMdiTabOwner::ChildOfTab(int index) const
{
    const CTabItem* item = m_strip->GetItem(index);
    return item ? item->GetViewWindow() : nullptr;
}

void CMdiTabOwner::FocusChildOfTab(int index) const
{
    if (HWND child = ChildOfTab(index))
        ::SetFocus(child);
}

HWND CMdiTabOwner::MainWindow() const
{
    return m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
}

bool CMdiTabOwner::ActiveChildMaximized() const
{
    BOOL maximized = FALSE;
    HWND active = m_mdiClient ? reinterpret_cast<HWND>(::SendMessageA(m_mdiClient, WM_MDIGETACTIVE, 0,
                                                                      reinterpret_cast<LPARAM>(&maximized)))
                              : nullptr;
    return active && (maximized || ::IsZoomed(active));
}

int CMdiTabOwner::AddTab(HWND child)
{
    auto item = std::make_unique<CViewTabItem>();
    TStdStr<char> text = WindowText(child);
    item->SetText(text.empty() ? "Untitled" : text.c_str());
    item->SetViewWindow(child);
    item->SetImageIndex(-1);
    const int before = GetItemCount();
    const int index = m_strip->InsertItem(std::move(item));
    const int count = GetItemCount();
    if (count == before + 1 && count == m_minTabCount && !(m_onlyWhileMaximized && !ActiveChildMaximized()))
        SetStripHidden(false);
    return index;
}

void CMdiTabOwner::RemoveTab(HWND child)
{
    const int index = FindTab(child);
    if (index < 0)
        return;
    const int before = GetItemCount();
    m_strip->DeleteItem(index, true, true);
    const int count = GetItemCount();
    if (count != before - 1)
        return;
    if (count + 1 == m_minTabCount)
        SetStripHidden(true);
    else if (count == 0)
        Invalidate();
}

bool CMdiTabOwner::SetTabText(HWND child, const char* text)
{
    CTabItem* item = GetItem(FindTab(child));
    if (!item)
        return false;
    const TStdStr<char> label = text ? TStdStr<char>(text) : WindowText(child);
    if (item->GetText() == label)
        return false;
    item->SetText(label.c_str());
    m_strip->UpdateLayout();
    return true;
}

bool CMdiTabOwner::SetTabToolTip(HWND child, const char* text)
{
    CTabItem* item = GetItem(FindTab(child));
    const char* tip = text ? text : "";
    if (!item || item->GetToolTip() == tip)
        return false;
    item->SetToolTip(tip);
    return true;
}

void CMdiTabOwner::OnChildMaximized(bool maximized)
{
    if (!m_onlyWhileMaximized)
        return;
    if (!maximized)
        SetStripHidden(true);
    else if (GetItemCount() >= m_minTabCount && ActiveChildMaximized())
        SetStripHidden(false);
}

void CMdiTabOwner::OnSettingChange(WPARAM wParam, LPARAM lParam)
{
    if (HWND strip = m_strip->Window())
        ::SendMessageA(strip, WM_SETTINGCHANGE, wParam, lParam);
    UpdateStripHeight();
}

int TabStripHeight(HWND strip)
{
    LOGFONTA iconTitle = {};
    ::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(iconTitle), &iconTitle, 0);
    int h = iconTitle.lfHeight < 0 ? -iconTitle.lfHeight : iconTitle.lfHeight;
    HFONT font = strip ? reinterpret_cast<HFONT>(::SendMessageA(strip, WM_GETFONT, 0, 0)) : nullptr;
    if (font) {
        CClientDC dc(strip);
        CGdiObjectSelector selectFont(dc, font);
        TEXTMETRICA metrics = {};
        if (::GetTextMetricsA(dc, &metrics))
            h = metrics.tmHeight;
    }
    return 24 + (::MulDiv(24, h, 11) - 24) / 2;
}

int CMdiTabOwner::ComputeStripHeight() const
{
    return m_stripHidden ? 0 : TabStripHeight(m_strip->Window());
}

void CMdiTabOwner::UpdateStripHeight()
{
    const int height = ComputeStripHeight();
    if (height == m_height)
        return;
    m_height = height;
    if (m_hWnd && IsWindowVisible())
        RelayoutClient();
}

void CMdiTabOwner::RelayoutClient()
{
    if (!m_mdiClient || !::IsWindow(m_mdiClient))
        return;
    RECT rect = {};
    ::GetWindowRect(m_mdiClient, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(m_mdiClient), reinterpret_cast<POINT*>(&rect), 2);
    if (TabsAtBottom())
        rect.bottom += m_appliedHeight;
    else
        rect.top -= m_appliedHeight;
    ::SetWindowPos(m_mdiClient, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMdiTabOwner::ShowStrip()
{
    if (!m_hWnd || IsWindowVisible())
        return;
    ShowWindow(SW_SHOW);
    RelayoutClient();
}

void CMdiTabOwner::HideStrip()
{
    if (!m_hWnd || !IsWindowVisible())
        return;
    ShowWindow(SW_HIDE);
    RelayoutClient();
}

LRESULT CMdiTabOwner::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result == -1)
        return result;
    if (m_strip->Create(m_hWnd, m_tabStyle | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN))
        m_strip->SetImageList(m_images);
    m_height = ComputeStripHeight();
    return result;
}

LRESULT CMdiTabOwner::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (HWND strip = m_strip->Window()) {
        RECT client = {};
        GetClientRect(&client);
        ::SetWindowPos(strip, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
        m_strip->UpdateLayout();
    }
    return 0;
}

LRESULT CMdiTabOwner::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_strip->Window())
        return 1;
    handled = FALSE;
    return 0;
}

LRESULT CMdiTabOwner::OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    HWND strip = m_strip->Window();
    if (!strip)
        return 0;
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    int index = -1;
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: the selected tab's lower left corner.
        index = m_strip->GetCurSel();
        RECT rect = {};
        if (!m_strip->GetItemRect(index, rect))
            index = -1;
        ::MapWindowPoints(strip, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        point = {rect.left, rect.bottom};
    } else {
        POINT inStrip = point;
        ::ScreenToClient(strip, &inStrip);
        index = m_strip->HitTest(inStrip, nullptr);
    }
    HWND target = ChildOfTab(index);
    if (!target)
        target = MainWindow();
    if (target)
        ::SendMessageA(target, GetTabbedMdiMessages().showTabContextMenu, wParam, MAKELPARAM(point.x, point.y));
    return 0;
}

LRESULT CMdiTabOwner::OnTabClick(int, LPNMHDR header, BOOL&)
{
    const auto* notify = reinterpret_cast<const CTabNotifyItem*>(header);
    if (notify->item >= 0 && notify->item == m_strip->GetCurSel())
        FocusChildOfTab(notify->item);
    return 0;
}

LRESULT CMdiTabOwner::OnTabDoubleClick(int, LPNMHDR header, BOOL&)
{
    // The double-click permission is one of the settings' view flags.
    const CSettings* settings = GetSettings();
    const DWORD viewFlags = settings ? settings->ViewFlags : kDefaultViewFlags;
    if (!(viewFlags & kViewFlagTabDoubleClick))
        return 0;
    const auto* notify = reinterpret_cast<const CTabNotifyItem*>(header);
    if (notify->item >= 0) {
        if (notify->item == m_strip->GetCurSel())
            if (HWND child = ChildOfTab(notify->item))
                ::PostMessageA(child, WM_CLOSE, 0, 0);
        return 0;
    }
    UINT where = 0;
    m_strip->HitTest(notify->pt, &where);
    if (where & (kTabHitCloseButton | kTabHitScrollLeft | kTabHitScrollRight))
        return 0;
    if (HWND frame = MainWindow()) {
        ::SendMessageA(frame, kOpenUrlMessage, reinterpret_cast<WPARAM>(""), kOpenNewTab);
        if (m_mdiClient)
            ::SetFocus(m_mdiClient);
    }
    return 0;
}

LRESULT CMdiTabOwner::OnDragAccepted(int, LPNMHDR header, BOOL&)
{
    FocusChildOfTab(reinterpret_cast<const CTabNotifyMove*>(header)->second);
    return 0;
}

LRESULT CMdiTabOwner::OnDragCancelled(int, LPNMHDR header, BOOL&)
{
    FocusChildOfTab(reinterpret_cast<const CTabNotifyItem*>(header)->item);
    return 0;
}

LRESULT CMdiTabOwner::OnSelChange(int, LPNMHDR, BOOL&)
{
    HWND child = ChildOfTab(m_strip->GetCurSel());
    if (!child || !m_mdiClient)
        return 0;
    HWND active = reinterpret_cast<HWND>(::SendMessageA(m_mdiClient, WM_MDIGETACTIVE, 0, 0));
    if (active == child)
        return 0;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    // Switching between maximised children would show the restored ones for a moment.
    const bool suspendRedraw = active && ::GetWindowPlacement(active, &placement) && placement.showCmd == SW_MAXIMIZE;
    if (suspendRedraw)
        ::SendMessageA(m_mdiClient, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(m_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    placement.length = sizeof(placement);
    if (::GetWindowPlacement(child, &placement) && placement.showCmd == SW_SHOWMINIMIZED)
        ::ShowWindow(child, SW_RESTORE);
    if (suspendRedraw) {
        ::SendMessageA(m_mdiClient, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(m_mdiClient, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    return 0;
}

LRESULT CMdiTabOwner::OnCloseButton(int, LPNMHDR header, BOOL&)
{
    if (HWND child = ChildOfTab(reinterpret_cast<const CTabNotifyItem*>(header)->item))
        ::PostMessageA(child, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

// ---- CTabbedMDIClient ----------------------------------------------------------------------

CTabbedMDIClient::CTabbedMDIClient(ETabLook look) : m_owner(look) {}

CTabbedMDIClient::~CTabbedMDIClient()
{
    if (m_subclassed && m_hWnd && ::IsWindow(m_hWnd))
        UnsubclassMDIClient();
}

bool CTabbedMDIClient::SubclassMDIClient(HWND mdiClient)
{
    if (!SubclassWindow(mdiClient))
        return false;
    m_subclassed = 1;
    CreateOwnerWindow();
    return true;
}

void CTabbedMDIClient::UnsubclassMDIClient()
{
    m_subclassed = 0;
    UnsubclassWindow(TRUE);
}

void CTabbedMDIClient::CreateOwnerWindow()
{
    if (!m_owner.m_hWnd) {
        HWND parent = m_frame ? m_frame : ::GetParent(m_hWnd);
        m_owner.CreateOwner(parent, m_hWnd);
    }
    m_owner.m_mdiClient = m_hWnd;
    m_owner.UpdateStripHeight();
}

LRESULT CTabbedMDIClient::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result != -1)
        CreateOwnerWindow();
    return result;
}

LRESULT CTabbedMDIClient::OnSettingChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    m_owner.OnSettingChange(wParam, lParam);
    return result;
}

LRESULT CTabbedMDIClient::OnWindowPosChanging(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    if (m_owner.m_hWnd) {
        const int h = m_owner.IsWindowVisible() ? m_owner.GetStripHeight() : 0;
        const UINT keep = pos->flags & (SWP_NOSIZE | SWP_NOMOVE);
        if (m_owner.TabsAtBottom()) {
            m_owner.SetWindowPos(nullptr, pos->x, pos->y + pos->cy - h, pos->cx, h,
                                 SWP_NOZORDER | SWP_NOACTIVATE | keep);
            if (!(pos->flags & SWP_NOSIZE))
                pos->cy -= h;
        } else {
            m_owner.SetWindowPos(nullptr, pos->x, pos->y, pos->cx, h, SWP_NOZORDER | SWP_NOACTIVATE | keep);
            if (!(pos->flags & SWP_NOMOVE))
                pos->y += h;
            if (!(pos->flags & SWP_NOSIZE))
                pos->cy -= h;
        }
        if (!(pos->flags & SWP_NOSIZE))
            m_owner.m_appliedHeight = h;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CTabbedMDIClient::OnNcPaint(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_clientEdge || !(GetExStyle() & WS_EX_CLIENTEDGE)) {
        handled = FALSE;
        return 0;
    }
    RECT rect = {};
    GetWindowRect(&rect);
    ::OffsetRect(&rect, -rect.left, -rect.top);
    CWindowDC dc(m_hWnd);
    ::DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT | BF_FLAT);
    return 0;
}

LRESULT CTabbedMDIClient::OnMdiDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    HWND child = reinterpret_cast<HWND>(wParam);
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (child)
        m_owner.RemoveTab(child);
    return result;
}

LRESULT CTabbedMDIClient::OnTabTextChange(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return m_owner.SetTabText(reinterpret_cast<HWND>(wParam), reinterpret_cast<const char*>(lParam)) ? 1 : 0;
}

LRESULT CTabbedMDIClient::OnTabToolTipChange(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return m_owner.SetTabToolTip(reinterpret_cast<HWND>(wParam), reinterpret_cast<const char*>(lParam)) ? 1 : 0;
}

LRESULT CTabbedMDIClient::OnActivationChange(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HWND child = reinterpret_cast<HWND>(wParam);
    if (!child || !::IsWindow(child))
        return 0;
    int index = m_owner.FindTab(child);
    if (index < 0)
        index = m_owner.AddTab(child);
    if (index >= 0)
        m_owner.SetCurSel(index);
    return 0;
}

LRESULT CTabbedMDIClient::OnChildMaximized(UINT, WPARAM, LPARAM, BOOL&)
{
    m_owner.OnChildMaximized(true);
    return 0;
}

LRESULT CTabbedMDIClient::OnChildUnmaximized(UINT, WPARAM, LPARAM, BOOL&)
{
    m_owner.OnChildMaximized(false);
    return 0;
}
