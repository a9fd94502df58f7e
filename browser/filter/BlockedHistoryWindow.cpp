#include "browser/filter/BlockedHistoryWindow.h"

#include "frame/BlockedContent.h"
#include "browser/filter/PopupAllowList.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/library/Z4KTime.h"
#include "core/system/Clipboard.h"
#include "core/system/MessageBoxes.h"
#include "core/system/OpenUrl.h"
#include "platform/AtlBase.h"

namespace {

constexpr char kPopupsTitle[] = "Popups Blocked History";
constexpr char kAdsTitle[] = "Ad Blocked History";
constexpr DWORD kPopupSortFlag = 0x100;
constexpr DWORD kAdSortFlag = 0x200;
constexpr DWORD kOpenInNewTab = 1;

CBlockedHistoryWindow* g_window = nullptr;  // not owned: the window owns itself
bool g_finalMessageSeen = false;            // a window got its last message (and deleted itself)

CBlockedLog& LogOf(bool popups)
{
    CSettings& settings = *GetSettings();
    return popups ? settings.PopupLog : settings.AdLog;
}

std::string Cut(const std::string& text, size_t length)
{
    return text.size() <= length ? text : text.substr(0, length) + "...";
}

}  // namespace

std::string FormatBlockedTime(uint64_t fileTime)
{
    FILETIME utc;
    utc.dwLowDateTime = static_cast<DWORD>(fileTime);
    utc.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    FILETIME local = utc;
    FileTimeToLocalFileTime(&utc, &local);
    const int64_t value = (static_cast<int64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    return CZ4KTime::Format(value, "%m/%d/%Y %H:%M:%S.%s");
}

std::string FormatBlockedLogText(const CBlockedLog& log, bool popups)
{
    std::string text = TranslateText(popups ? kPopupsTitle : kAdsTitle) + "\r\n\r\n";
    for (const BlockedLogEntry& entry : log.GetEntries()) {
        text += FormatBlockedTime(entry.time) + "\t" + entry.text1 + "\t" + entry.text2;
        if (popups && !entry.text3.empty())
            text += "\t" + entry.text3;
        text += "\r\n";
    }
    return text + "\r\n";
}

CBlockedHistoryWindow* GetBlockedHistoryWindow()
{
    return g_window && ::IsWindow(g_window->m_hWnd) ? g_window : nullptr;
}

void DestroyBlockedHistoryWindow()
{
    if (CBlockedHistoryWindow* window = GetBlockedHistoryWindow())
        ::DestroyWindow(window->m_hWnd);
}

CBlockedHistoryWindow* ShowBlockedHistoryWindow(HWND parent, int tab)
{
    if (!GetBlockedHistoryWindow()) {
        RECT rect = {40, 40, 840, 340};
        if (parent) {
            RECT client;
            ::GetClientRect(parent, &client);
            rect = {client.left + 5, client.bottom - 250, client.right - 5, client.bottom - 5};
            ::MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        }
        auto* window = new CBlockedHistoryWindow;
        g_finalMessageSeen = false;
        if (!window->Create(parent, rect, TranslateText("Log").c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            WS_EX_TOOLWINDOW)) {
            // A window that was made and failed in WM_CREATE has deleted itself already.
            if (!g_finalMessageSeen)
                delete window;
            return nullptr;
        }
        g_window = window;
    }
    g_window->SelectTab(tab);
    g_window->ShowWindow(SW_SHOW);
    ::SetWindowPos(g_window->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return g_window;
}

void CBlockedHistoryWindow::OnFinalMessage(HWND)
{
    g_finalMessageSeen = true;
    delete this;
}

LRESULT CBlockedHistoryWindow::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    m_placement.m_hWnd = m_hWnd;
    m_tabs = ::CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BOTTOM, 0, 0, 0, 0,
                               m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LOG_TABS)), nullptr, nullptr);
    ::SendMessageA(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    for (const char* title : {kPopupsTitle, kAdsTitle}) {
        const std::string text = TranslateText(title);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(text.c_str());
        ::SendMessageA(m_tabs, TCM_INSERTITEMA, ::SendMessageA(m_tabs, TCM_GETITEMCOUNT, 0, 0),
                       reinterpret_cast<LPARAM>(&item));
    }
    m_popupList = CreateList(IDC_POPUP_LOG_LIST, true);
    m_adList = CreateList(IDC_AD_LOG_LIST, false);
    // The first child made is the top of its siblings: the tab strip goes below the lists it frames.
    ::SetWindowPos(m_tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ApplyGrid();
    m_listener = AddBlockedContentListener([this](bool popups) { Refresh(popups); });
    SelectTab(0);
    return 0;
}

HWND CBlockedHistoryWindow::CreateList(int id, bool popups)
{
    HWND list = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                  WS_CHILD | WS_CLIPSIBLINGS | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                  0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    struct Column {
        const char* title;
        int width;
    };
    static const Column popupColumns[] = {{"Time", 160}, {"Rules", 80}, {"From URL", 300}, {"Blocked URL", 300}};
    static const Column adColumns[] = {{"Time", 160}, {"Rules", 80}, {"Blocked URL", 400}};
    const Column* columns = popups ? popupColumns : adColumns;
    const int count = popups ? 4 : 3;
    for (int i = 0; i < count; ++i) {
        const std::string title = TranslateText(columns[i].title);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(title.c_str());
        column.cx = columns[i].width;
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    LogOf(popups).m_reverseOrder = (GetSettings()->ViewFlags & (popups ? kPopupSortFlag : kAdSortFlag)) != 0;
    ListView_SetItemCountEx(list, LogOf(popups).GetCount(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    return list;
}

void CBlockedHistoryWindow::ApplyGrid()
{
    const DWORD flags = GetSettings()->ViewFlags;
    ListView_SetExtendedListViewStyleEx(m_popupList, LVS_EX_GRIDLINES, (flags & ViewFlag::PopupLogGrid) ? LVS_EX_GRIDLINES : 0);
    ListView_SetExtendedListViewStyleEx(m_adList, LVS_EX_GRIDLINES, (flags & ViewFlag::AdLogGrid) ? LVS_EX_GRIDLINES : 0);
}

LRESULT CBlockedHistoryWindow::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    RemoveBlockedContentListener(m_listener);
    if (g_window == this)
        g_window = nullptr;
    handled = FALSE;
    return 0;
}

void CBlockedHistoryWindow::Layout()
{
    RECT client;
    GetClientRect(&client);
    ::MoveWindow(m_tabs, 0, 0, client.right, client.bottom, TRUE);
    RECT inner = client;
    ::SendMessageA(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&inner));
    for (HWND list : {m_popupList, m_adList})
        ::MoveWindow(list, inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top, TRUE);
}

LRESULT CBlockedHistoryWindow::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    Layout();
    return 0;
}

LRESULT CBlockedHistoryWindow::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if ((wParam & 0xFFF0) != SC_CLOSE) {
        handled = FALSE;
        return 0;
    }
    if (HWND parent = GetParent())
        ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(ID_FRAME_BLOCKED_LOG, 0), 0);
    else
        ShowWindow(SW_HIDE);
    return 0;
}

void CBlockedHistoryWindow::SelectTab(int tab)
{
    tab = tab == 1 ? 1 : 0;
    ::SendMessageA(m_tabs, TCM_SETCURSEL, tab, 0);
    ::ShowWindow(m_popupList, tab == 0 ? SW_SHOW : SW_HIDE);
    ::ShowWindow(m_adList, tab == 1 ? SW_SHOW : SW_HIDE);
    Layout();
}

int CBlockedHistoryWindow::GetSelectedTab() const
{
    return static_cast<int>(::SendMessageA(m_tabs, TCM_GETCURSEL, 0, 0));
}

LRESULT CBlockedHistoryWindow::OnTabChange(int, LPNMHDR, BOOL&)
{
    SelectTab(GetSelectedTab());
    return 0;
}

void CBlockedHistoryWindow::Refresh(bool popups)
{
    HWND list = GetList(popups);
    ListView_SetItemCountEx(list, LogOf(popups).GetCount(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    ::InvalidateRect(list, nullptr, TRUE);
}

int CBlockedHistoryWindow::EntryOfRow(bool popups, int row) const
{
    const CBlockedLog& log = LogOf(popups);
    if (row < 0 || row >= log.GetCount())
        return -1;
    return log.m_reverseOrder ? row : log.GetCount() - 1 - row;
}

LRESULT CBlockedHistoryWindow::OnGetDispInfo(int, LPNMHDR header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const bool popups = header->hwndFrom == m_popupList;
    if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0)
        return 0;
    info->item.pszText[0] = '\0';
    const int entryIndex = EntryOfRow(popups, info->item.iItem);
    if (entryIndex < 0)
        return 0;  // the log shrank since the count was set
    const BlockedLogEntry& entry = LogOf(popups).GetAt(entryIndex);
    switch (info->item.iSubItem) {
    case 0: m_dispText = FormatBlockedTime(entry.time); break;
    case 1: m_dispText = entry.text1; break;
    case 2: m_dispText = entry.text2; break;
    case 3: m_dispText = popups ? std::string(entry.text3) : std::string(); break;
    default: m_dispText.clear(); break;
    }
    lstrcpynA(info->item.pszText, m_dispText.c_str(), info->item.cchTextMax);
    return 0;
}

LRESULT CBlockedHistoryWindow::OnColumnClick(int, LPNMHDR header, BOOL&)
{
    const bool popups = header->hwndFrom == m_popupList;
    CBlockedLog& log = LogOf(popups);
    log.m_reverseOrder = !log.m_reverseOrder;
    Refresh(popups);
    return 0;
}

int CBlockedHistoryWindow::SelectedEntry(bool popups) const
{
    const int row = ListView_GetNextItem(GetList(popups), -1, LVNI_SELECTED);
    return EntryOfRow(popups, row);
}

bool CBlockedHistoryWindow::SaveLogText(bool popups, const char* path)
{
    const std::string text = FormatBlockedLogText(LogOf(popups), popups);
    CHandle file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !file.Close()) {
        GetMessageBoxes().Show(m_hWnd, "Open Log File Error!", "Kivo Browser", MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

bool CBlockedHistoryWindow::RunCommand(UINT command)
{
    const bool popups = command < ID_AD_LOG_DELETE || command == ID_POPUP_LOG_OPEN_BLOCKED;
    CBlockedLog& log = LogOf(popups);
    const int entry = SelectedEntry(popups);
    switch (command) {
    case ID_POPUP_LOG_OPEN_OPENER:
    case ID_POPUP_LOG_OPEN_BLOCKED:
    case ID_AD_LOG_OPEN: {
        if (entry < 0)
            return true;
        const BlockedLogEntry& item = log.GetAt(entry);
        const std::string& url = command == ID_POPUP_LOG_OPEN_OPENER ? item.text2 : popups ? item.text3 : item.text2;
        if (!url.empty())
            OpenUrlInFrame(GetParent(), url.c_str(), kOpenInNewTab);
        return true;
    }
    case ID_POPUP_LOG_ALLOW:
        if (entry >= 0 && GetPopupAllowList().AddSite(log.GetAt(entry).text2.c_str())) {
            GetPopupAllowList().m_modified = true;
            GetPopupAllowList().Save();
        }
        return true;
    case ID_POPUP_LOG_DELETE:
    case ID_AD_LOG_DELETE:
        if (entry >= 0) {
            log.Erase(entry);
            log.m_modified = true;
            Refresh(popups);
        }
        return true;
    case ID_POPUP_LOG_CLEAR:
    case ID_AD_LOG_CLEAR:
        log.Clear();
        log.m_modified = true;
        Refresh(popups);
        return true;
    case ID_POPUP_LOG_COPY:
    case ID_AD_LOG_COPY: {
        const std::string text = FormatBlockedLogText(log, popups);
        CopyTextToClipboard(text.c_str(), text.size());
        return true;
    }
    case ID_POPUP_LOG_SAVE:
    case ID_AD_LOG_SAVE: {
        char path[MAX_PATH] = {};
        OPENFILENAMEA open = {};
        open.lStructSize = sizeof(open);
        open.hwndOwner = GetList(popups);
        open.lpstrFile = path;
        open.nMaxFile = MAX_PATH;
        open.lpstrDefExt = "log";
        open.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
        if (::GetSaveFileNameA(&open))
            SaveLogText(popups, path);
        return true;
    }
    case ID_POPUP_LOG_GRID:
    case ID_AD_LOG_GRID:
        GetSettings()->ViewFlags ^= popups ? ViewFlag::PopupLogGrid : ViewFlag::AdLogGrid;
        ApplyGrid();
        ::InvalidateRect(GetList(popups), nullptr, TRUE);
        return true;
    default:
        return false;
    }
}

LRESULT CBlockedHistoryWindow::OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const HWND source = reinterpret_cast<HWND>(wParam);
    if (source != m_popupList && source != m_adList) {
        handled = FALSE;
        return 0;
    }
    const bool popups = source == m_popupList;
    const int entry = SelectedEntry(popups);
    HMENU menu = ::CreatePopupMenu();
    auto add = [menu](UINT id, const char* text) { ::AppendMenuA(menu, MF_STRING, id, TranslateText(text).c_str()); };
    if (popups) {
        HMENU open = ::CreatePopupMenu();
        const BlockedLogEntry* item = entry >= 0 ? &LogOf(true).GetAt(entry) : nullptr;
        ::AppendMenuA(open, MF_STRING, ID_POPUP_LOG_OPEN_OPENER, item ? Cut(item->text2, 40).c_str() : "");
        ::AppendMenuA(open, MF_STRING, ID_POPUP_LOG_OPEN_BLOCKED, item ? Cut(item->text3, 40).c_str() : "");
        ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(open), TranslateText("&Open").c_str());
        add(ID_POPUP_LOG_ALLOW, "Add to Popup Allowed Sites");
    } else {
        add(ID_AD_LOG_OPEN, "&Open");
    }
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    add(popups ? ID_POPUP_LOG_DELETE : ID_AD_LOG_DELETE, "&Delete");
    add(popups ? ID_POPUP_LOG_CLEAR : ID_AD_LOG_CLEAR, "&Clear All");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    add(popups ? ID_POPUP_LOG_COPY : ID_AD_LOG_COPY, "C&opy");
    add(popups ? ID_POPUP_LOG_SAVE : ID_AD_LOG_SAVE, "Save &to...");
    add(popups ? ID_POPUP_LOG_GRID : ID_AD_LOG_GRID, "Show &Grid");
    POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    if (command)
        RunCommand(command);
    return 0;
}
