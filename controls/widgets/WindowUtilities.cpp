#include "controls/widgets/WindowUtilities.h"

#include "core/library/AppWindowInfo.h"
#include "core/system/DynamicLibrary.h"
#include "platform/AtlGdi.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

void BringWindowToFront(HWND window)
{
    ::ShowWindow(window, SW_SHOWNA);
    ::SetForegroundWindow(window);
    if (::IsIconic(window))
        ::ShowWindow(window, SW_RESTORE);
    ::BringWindowToTop(window);
}

void ForceForegroundWindow(HWND window)
{
    const DWORD foregroundThread = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const DWORD thisThread = ::GetCurrentThreadId();
    const bool attach = foregroundThread && foregroundThread != thisThread;
    if (attach)
        ::AttachThreadInput(thisThread, foregroundThread, TRUE);
    ::SetForegroundWindow(window);
    ::BringWindowToTop(window);
    ::SetFocus(window);
    if (attach)
        ::AttachThreadInput(thisThread, foregroundThread, FALSE);
}

namespace {

HWND TopLevelOf(HWND window)
{
    for (HWND parent = ::GetParent(window); parent; parent = ::GetParent(window))
        window = parent;
    return window;
}

struct CMdiChildSearch {
    HWND client;
    std::vector<HWND> children;
};

BOOL CALLBACK CollectMdiChild(HWND child, LPARAM context)
{
    auto* search = reinterpret_cast<CMdiChildSearch*>(context);
    if (::GetParent(child) == search->client && !::GetWindow(child, GW_OWNER))
        search->children.push_back(child);
    return TRUE;
}

void CloseChildrenExcept(HWND client, HWND keep)
{
    const auto active = reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
    if (!active)
        return;
    CMdiChildSearch search{client, {}};
    ::EnumChildWindows(client, CollectMdiChild, reinterpret_cast<LPARAM>(&search));
    for (HWND child : search.children) {
        if (child != active && child != keep && ::IsWindow(child))
            ::SendMessageA(child, WM_CLOSE, 0, 0);
    }
    if (active != keep && ::IsWindow(active))
        ::SendMessageA(active, WM_CLOSE, 0, 0);
}

}  // namespace

bool HaveSameTopLevelParent(HWND a, HWND b)
{
    if (!a || !b)
        return false;
    return a == b || TopLevelOf(a) == TopLevelOf(b);
}

void CloseMdiChildren(HWND mdiClient)
{
    CloseChildrenExcept(mdiClient, nullptr);
}

void CloseOtherMdiChildren(HWND mdiClient, HWND keep)
{
    CloseChildrenExcept(mdiClient, keep);
}

bool EnableShellAutoComplete(HWND edit)
{
    CDynamicLibrary shlwapi;
    if (!shlwapi.Load("shlwapi.dll"))
        return false;
    using AutoCompleteFunction = HRESULT(WINAPI*)(HWND, DWORD);
    const auto function = reinterpret_cast<AutoCompleteFunction>(reinterpret_cast<void*>(shlwapi.GetProc("SHAutoComplete")));
    if (!function)
        return false;
    return SUCCEEDED(function(edit, SHACF_FILESYSTEM | SHACF_URLHISTORY | SHACF_URLMRU | SHACF_USETAB));
}

HWND GetMessageBoxOwner()
{
    if (CAppWindowInfo* info = GetAppWindowInfo()) {
        if (::IsWindow(info->GetMainWindow()))
            return info->GetMainWindow();
    }
    HWND active = ::GetActiveWindow();
    return active ? ::GetLastActivePopup(active) : nullptr;
}

int ShowMessageBox(UINT type, const char* format, ...)
{
    char text[4096] = {};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof(text), format ? format : "", arguments);
    va_end(arguments);
    CAppWindowInfo* info = GetAppWindowInfo();
    const std::string caption = info ? std::string(info->GetProgramTitle()) : std::string();
    return ::MessageBoxA(GetMessageBoxOwner(), text, caption.c_str(), type);
}

CPenBrushSelector::CPenBrushSelector(HDC dc, HPEN pen, HBRUSH brush)
    : m_dc(dc), m_oldPen(::SelectObject(dc, pen)), m_oldBrush(::SelectObject(dc, brush))
{
}

CPenBrushSelector::~CPenBrushSelector()
{
    ::SelectObject(m_dc, m_oldBrush);
    ::SelectObject(m_dc, m_oldPen);
}

HFONT CreateBoldFont(HFONT font)
{
    LOGFONTA logFont = {};
    if (::GetObjectA(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont) != sizeof(logFont))
        return nullptr;
    logFont.lfWeight = FW_BOLD;
    return ::CreateFontIndirectA(&logFont);
}

namespace {

bool IsSystemLeadByte(unsigned char byte)
{
    return ::IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace

std::string TruncateWithEllipsis(const std::string& text, size_t maximum)
{
    return TruncateWithEllipsis(text, maximum, IsSystemLeadByte);
}

std::string TruncateWithEllipsis(const std::string& text, size_t maximum, bool (*isLeadByte)(unsigned char))
{
    if (text.size() <= maximum)
        return text;
    if (maximum <= 3)
        return std::string(maximum, '.');
    size_t keep = maximum - 3;
    // Walk the characters: a lead byte whose trail would fall past the cut is left out.
    size_t at = 0;
    while (at < keep) {
        const bool lead = isLeadByte && isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size();
        if (lead && at + 1 >= keep)
            break;
        at += lead ? 2 : 1;
    }
    return text.substr(0, std::min(at, keep)) + "...";
}

void PaintParentBackground(HWND child, HDC dc)
{
    HWND parent = ::GetParent(child);
    if (!parent)
        return;
    POINT origin = {0, 0};
    ::MapWindowPoints(child, parent, &origin, 1);
    POINT old = {};
    ::OffsetWindowOrgEx(dc, origin.x, origin.y, &old);
    ::SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SetWindowOrgEx(dc, old.x, old.y, nullptr);
}

int TaskbarEdgeOf(const RECT& workArea, int screenWidth, int screenHeight)
{
    if (workArea.right - workArea.left < screenWidth)
        return workArea.left == 0 ? kTaskbarRight : kTaskbarLeft;
    if (workArea.bottom - workArea.top < screenHeight && workArea.top > 0)
        return kTaskbarTop;
    (void)screenHeight;
    return kTaskbarBottom;
}

int GetTaskbarEdge()
{
    RECT work = {};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return kTaskbarBottom;
    return TaskbarEdgeOf(work, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

int FilterEmbeddedEditKey(UINT message, WPARAM key, bool shift, bool ctrl, bool alt)
{
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
        return 0;
    const bool movement = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_HOME ||
                          key == VK_END;
    if (movement && (shift || ctrl))
        return 2;
    if (key == VK_RETURN)
        return 2;
    if (key >= 1 && key <= VK_HELP && !alt && !shift && !ctrl)
        return 2;
    return 0;
}

// ---- CHistoryComboBox -------------------------------------------------------------------------

CHistoryComboBox::CHistoryComboBox(HKEY root, const char* keyPath, const char* prefix, int maxEntries, int imageIndex)
    : m_root(root), m_keyPath(keyPath ? keyPath : ""), m_prefix(prefix ? prefix : ""),
      m_maxEntries(std::max(1, maxEntries)), m_imageIndex(imageIndex)
{
}

HWND CHistoryComboBox::Combo() const
{
    return m_combo;
}

void CHistoryComboBox::AddItem(const char* text, int index)
{
    if (IsEx()) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_OVERLAY;
        item.iItem = index;
        item.pszText = const_cast<char*>(text);
        item.iImage = item.iSelectedImage = item.iOverlay = m_imageIndex;
        ::SendMessageA(Combo(), CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    } else {
        ::SendMessageA(Combo(), CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    }
}

int CHistoryComboBox::GetCount() const
{
    return static_cast<int>(::SendMessageA(Combo(), CB_GETCOUNT, 0, 0));
}

std::string CHistoryComboBox::GetItemText(int index) const
{
    const LRESULT length = ::SendMessageA(Combo(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length < 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(Combo(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

void CHistoryComboBox::LoadHistory()
{
    ::SendMessageA(Combo(), CB_RESETCONTENT, 0, 0);
    CRegistryKey key;
    if (!key.Open(m_root, m_keyPath.c_str(), KEY_READ))
        return;
    int count = 0;
    if (!m_prefix.empty()) {
        TStdStr<char> value;
        while (count < m_maxEntries && key.QueryStringValue((m_prefix + std::to_string(count + 1)).c_str(), value)) {
            AddItem(value.c_str(), count);
            ++count;
        }
    } else {
        TStdStr<char> name;
        for (DWORD index = 0; count < m_maxEntries && key.EnumValue(index, name); ++index)
            AddItem(name.c_str(), count++);
    }
}

bool CHistoryComboBox::SaveHistory()
{
    CRegistryKey key;
    if (!key.Create(m_root, m_keyPath.c_str()))
        return false;
    const int count = GetCount();
    bool ok = true;
    if (!m_prefix.empty()) {
        for (int i = 0; i < count; ++i)
            ok = key.SetStringValue((m_prefix + std::to_string(i + 1)).c_str(), GetItemText(i).c_str()) && ok;
        // Entries past the list's end go only after the list is written.
        for (int i = count + 1; key.DeleteValue((m_prefix + std::to_string(i)).c_str()); ++i) {
        }
        return ok;
    }
    // Named by their texts, the entries keep the order they are written in: the old values go
    // first, then the list is written in order.
    std::vector<TStdStr<char>> old;
    TStdStr<char> name;
    for (DWORD index = 0; key.EnumValue(index, name); ++index)
        old.push_back(name);
    for (const auto& value : old)
        key.DeleteValue(value.c_str());
    for (int i = 0; i < count; ++i)
        ok = key.SetStringValue(GetItemText(i).c_str(), "") && ok;
    return ok;
}

void CHistoryComboBox::ClearHistory()
{
    ::SendMessageA(Combo(), CB_RESETCONTENT, 0, 0);
    ::RegDeleteKeyA(m_root, m_keyPath.c_str());
}

void CHistoryComboBox::AddToHistory(const char* text, bool save)
{
    if (!text)
        return;
    const LRESULT found = ::SendMessageA(Combo(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    if (found != CB_ERR)
        ::SendMessageA(Combo(), IsEx() ? CBEM_DELETEITEM : CB_DELETESTRING, static_cast<WPARAM>(found), 0);
    else if (GetCount() >= m_maxEntries)
        ::SendMessageA(Combo(), IsEx() ? CBEM_DELETEITEM : CB_DELETESTRING, static_cast<WPARAM>(GetCount() - 1), 0);
    AddItem(text, 0);
    if (save)
        SaveHistory();
    ::SendMessageA(Combo(), CB_SETCURSEL, 0, 0);
}

// ---- CPageHostWnd -----------------------------------------------------------------------------

namespace {

constexpr DWORD kPageStylesRemoved = 0x80C80080;  // WS_POPUP, WS_CAPTION, WS_SYSMENU, DS_MODALFRAME
constexpr int kSelChanging = -552;                // TCN_SELCHANGING
constexpr int kSelChange = -551;                  // TCN_SELCHANGE

}  // namespace

BOOL CPageHostWnd::SubclassWindow(HWND window)
{
    if (!CWindowImpl<CPageHostWnd>::SubclassWindow(window))
        return FALSE;
    ModifyStyleEx(0, WS_EX_CONTROLPARENT);
    Notify(kPageHostAttached);
    return TRUE;
}

LRESULT CPageHostWnd::Notify(int code)
{
    NMHDR header = {};
    header.hwndFrom = m_hWnd;
    header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
    header.code = static_cast<UINT>(code);
    return ::SendMessageA(GetParent(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

int CPageHostWnd::AddPage(HWND page)
{
    if (!::IsWindow(page))
        return -1;
    ::ShowWindow(page, SW_HIDE);
    CWindow(page).ModifyStyle(kPageStylesRemoved, WS_CHILD);
    CWindow(page).ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, WS_EX_CONTROLPARENT);
    ::SetParent(page, m_hWnd);
    m_pages.push_back(page);
    Notify(kPageHostPageAdded);
    return static_cast<int>(m_pages.size()) - 1;
}

HWND CPageHostWnd::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

bool CPageHostWnd::SetActivePage(int index)
{
    if (index < 0 || index >= GetPageCount())
        return false;
    if (index == m_active)
        return true;
    if (Notify(kSelChanging))
        return false;
    const HWND focus = ::GetFocus();
    const bool focusInside = focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
    const HWND old = GetPage(m_active);
    if (old)
        ::SetWindowPos(old, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_active = index;
    RECT client = {};
    GetClientRect(&client);
    const HWND page = m_pages[static_cast<size_t>(index)];
    ::SetWindowPos(page, nullptr, 0, 0, client.right, client.bottom, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
    if (focusInside) {
        HWND first = ::GetNextDlgTabItem(page, nullptr, FALSE);
        ::SetFocus(old && first ? first : m_hWnd);
    }
    Notify(kSelChange);
    return true;
}

LRESULT CPageHostWnd::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (HWND page = GetPage(m_active))
        ::SetWindowPos(page, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER | SWP_NOACTIVATE);
    handled = FALSE;
    return 0;
}
