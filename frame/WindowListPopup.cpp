#include "frame/WindowListPopup.h"

#include "frame/FrameResources.h"
#include "frame/FrameSubsystems.h"
#include "frame/MainFrame.h"

#include <commctrl.h>

namespace {

constexpr int kColumnWidth = 350;
constexpr int kFontGrowth = 2;
constexpr int kDarkerPercent = 6;
constexpr int kMaxRows = 256;

CWindowListPopup& Popup()
{
    static CWindowListPopup popup;
    return popup;
}

BYTE Darker(BYTE channel)
{
    return static_cast<BYTE>(channel - channel * kDarkerPercent / 100);
}

}  // namespace

int NextWindowListRow(int current, int count, int wheelDelta)
{
    if (count <= 0)
        return -1;
    if (current < 0 || current >= count)
        current = 0;
    if (wheelDelta >= 0)
        return current == 0 ? count - 1 : current - 1;
    return current == count - 1 ? 0 : current + 1;
}

bool ShowWindowListPopup(HWND parent)
{
    return Popup().Show(parent);
}

HWND GetWindowListPopup()
{
    return Popup().m_hWnd;
}

bool CWindowListPopup::Show(HWND parent)
{
    if (m_hWnd)
        return true;
    m_owner = parent;
    m_closing = false;
    if (!Create(parent))
        return false;
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Fill();
    CenterWindow(parent);
    ShowWindow(SW_SHOW);
    m_list.SetFocus();
    ::SetCapture(m_hWnd);
    return true;
}

LRESULT CWindowListPopup::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_list.m_popup = this;
    m_list.SubclassWindow(GetDlgItem(IDC_WINDOW_LIST));
    SetUpLook();
    return FALSE;
}

void CWindowListPopup::SetUpLook()
{
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = kColumnWidth;
    column.pszText = const_cast<char*>("");
    m_list.SendMessage(LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    if (IFrameSubsystems* subsystems = GetFrameSubsystems())
        if (HIMAGELIST icons = subsystems->GetSiteIconImages())
            m_list.SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
    if (m_font.IsNull()) {
        LOGFONTA font = {};
        HFONT current = reinterpret_cast<HFONT>(m_list.SendMessage(WM_GETFONT, 0, 0));
        ::GetObjectA(current ? static_cast<HGDIOBJ>(current) : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
        font.lfHeight = font.lfHeight < 1 ? font.lfHeight - kFontGrowth : font.lfHeight + kFontGrowth;
        lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
        m_font.CreateFontIndirect(&font);
    }
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const COLORREF background = RGB(Darker(GetRValue(window)), Darker(GetGValue(window)), Darker(GetBValue(window)));
    m_list.SendMessage(LVM_SETBKCOLOR, 0, background);
    m_list.SendMessage(LVM_SETTEXTBKCOLOR, 0, background);
    if (!m_font.IsNull())
        m_list.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.m_hGdiObj), TRUE);
    m_list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    m_list.SendMessage(LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

// One row per page in tab order with the page's title and its tab's icon.
void CWindowListPopup::Fill()
{
    CMainFrame* frame = GetMainFrame();
    if (!frame)
        return;
    const std::vector<HWND> tabs = frame->GetTabWindowsInOrder();
    IMdiTabOwner* owner = frame->GetTabOwner();
    ITabCtrlInterface* strip = owner ? owner->GetTabCtrl() : nullptr;
    const HWND active = frame->GetActiveTab() ? frame->GetActiveTab()->GetTabWindow() : nullptr;
    int activeRow = 0;
    for (size_t i = 0; i < tabs.size() && i < kMaxRows; ++i) {
        char title[512] = {};
        ::GetWindowTextA(tabs[i], title, sizeof(title));
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.pszText = title;
        item.iImage = -1;
        if (strip)
            for (int t = 0; t < strip->GetItemCount(); ++t)
                if (CTabItem* tab = strip->GetItem(t); tab && tab->GetViewWindow() == tabs[i])
                    item.iImage = tab->GetImageIndex();
        m_list.SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (tabs[i] == active)
            activeRow = static_cast<int>(i);
    }
    LVITEMA select = {};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    m_list.SendMessage(LVM_SETITEMSTATE, activeRow, reinterpret_cast<LPARAM>(&select));
    m_list.SendMessage(LVM_ENSUREVISIBLE, activeRow, FALSE);
}

void CWindowListPopup::OnWheel(int delta)
{
    if (!m_hWnd)
        return;
    const int count = static_cast<int>(m_list.SendMessage(LVM_GETITEMCOUNT, 0, 0));
    const int current = static_cast<int>(m_list.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const int next = NextWindowListRow(current, count, delta);
    if (next < 0)
        return;
    LVITEMA select = {};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    m_list.SendMessage(LVM_SETITEMSTATE, next, reinterpret_cast<LPARAM>(&select));
    m_list.SendMessage(LVM_ENSUREVISIBLE, next, FALSE);
}

LRESULT CWindowListPopup::CListView::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (m_popup)
        m_popup->OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
    return 0;
}

LRESULT CWindowListPopup::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
    return 0;
}

LRESULT CWindowListPopup::OnRButtonUp(UINT, WPARAM, LPARAM, BOOL&)
{
    Close(true);
    return 0;
}

LRESULT CWindowListPopup::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    Close(false);
    return 0;
}

// Hiding and releasing the capture come first: the capture's release sends WM_CAPTURECHANGED
// back to this window, which then finds the popup closing already.
void CWindowListPopup::Close(bool activate)
{
    if (m_closing || !m_hWnd)
        return;
    m_closing = true;
    ShowWindow(SW_HIDE);
    const int row = static_cast<int>(m_list.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    HWND frame = GetMainFrame() ? GetMainFrame()->m_hWnd : nullptr;
    DestroyWindow();
    if (activate && row >= 0 && frame && ::IsWindow(frame))
        ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_FRAME_WINDOW_LIST_FIRST + row, 0), 0);
}
