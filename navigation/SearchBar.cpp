#include "navigation/SearchBar.h"

#include "core/app/Settings.h"
#include "core/system/Clipboard.h"
#include "core/system/DragDrop.h"
#include "core/system/MenuFunctions.h"
#include "core/system/OpenUrl.h"
#include "core/system/WindowFunctions.h"
#include "navigation/AddressText.h"
#include "navigation/SearchEngineManager.h"

#include <algorithm>

namespace {
constexpr int kMaxCategoryButtons = ID_SEARCH_CATEGORY_LAST - ID_SEARCH_CATEGORY_FIRST + 1;
constexpr int kMaxQueryText = 2048;
}  // namespace

CSearchBar::CSearchBar(CSearchEngineManager* engines, CRegistryHistory history, CFavIconCache* icons)
    : m_engines(engines ? engines : GetSearchEngineManager()), m_icons(icons), m_history(std::move(history))
{
}

CSearchBar::~CSearchBar()
{
    if (m_dropTarget) {
        m_dropTarget->m_handler = nullptr;
        m_dropTarget->Release();
    }
}

HWND CSearchBar::Create(HWND parent, UINT id)
{
    // The creation rectangle's height is the drop-down list's height.
    return CWindowImpl<CSearchBar, CComboBoxEx>::Create(
        parent, CRect(0, 0, 0, 250), nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CBS_DROPDOWN | CBS_AUTOHSCROLL,
        0, id);
}

LRESULT CSearchBar::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result == -1)
        return -1;
    SetExtendedStyle(CBES_EX_NOSIZELIMIT, CBES_EX_NOSIZELIMIT);
    m_combo.SubclassWindow(GetComboCtrl());
    m_edit.SubclassWindow(GetEditCtrl());
    if (m_edit.m_hWnd)
        ::SendMessageA(m_edit.m_hWnd, EM_LIMITTEXT, kMaxQueryText, 0);
    m_menuToolbar = CreateBarToolbar(m_hWnd, nullptr);
    if (m_menuToolbar) {
        AddBarButton(m_menuToolbar, ID_SEARCH_MENU_BUTTON, BTNS_WHOLEDROPDOWN | BTNS_SHOWTEXT, "&Search", I_IMAGENONE);
        ::SendMessageA(m_menuToolbar, TB_AUTOSIZE, 0, 0);
    }
    RebuildCategoryButtons();
    m_entries = m_history.Load();
    FillList();
    CComObject<CBarDropTarget>* target = nullptr;
    if (SUCCEEDED(CComObject<CBarDropTarget>::CreateInstance(&target))) {
        target->AddRef();
        target->m_handler = this;
        m_dropTarget = target;
        RegisterDragDrop(m_hWnd, target);
    }
    return result;
}

LRESULT CSearchBar::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_history.Save(m_entries);
    RevokeDragDrop(m_hWnd);
    if (m_dropTarget) {
        m_dropTarget->m_handler = nullptr;
        m_dropTarget->Release();
        m_dropTarget = nullptr;
    }
    if (m_edit.m_hWnd)
        m_edit.UnsubclassWindow(TRUE);
    if (m_combo.m_hWnd)
        m_combo.UnsubclassWindow(TRUE);
    handled = FALSE;
    return 0;
}

void CSearchBar::RebuildCategoryButtons()
{
    if (m_categoryToolbar)
        ::DestroyWindow(m_categoryToolbar);
    m_categoryToolbar = CreateBarToolbar(m_hWnd, m_engines ? m_engines->GetImageList() : nullptr);
    if (!m_categoryToolbar)
        return;
    if (m_engines) {
        ::SendMessageA(m_categoryToolbar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(m_engines->GetHotImageList()));
        // Only the ids the bar acts on get a button: a category past them would show a dead one.
        const auto& categories = m_engines->Categories();
        const int count = std::min(static_cast<int>(categories.size()), kMaxCategoryButtons);
        for (int i = 0; i < count; ++i)
            AddBarButton(m_categoryToolbar, ID_SEARCH_CATEGORY_FIRST + i, BTNS_DROPDOWN, categories[i].name.c_str(),
                         categories[i].iconIndex, !categories[i].enabled);
    }
    AddBarButton(m_categoryToolbar, 0, BTNS_SEP, nullptr, 0);
    AddBarButton(m_categoryToolbar, ID_SEARCH_FIND_NEXT, BTNS_BUTTON,
                 "Find the next occurrence of the keyword in the current page", 0);
    AddBarButton(m_categoryToolbar, ID_SEARCH_HIGHLIGHT, BTNS_BUTTON,
                 "Toggle highlighting of search items on the current page", 1);
    ::SendMessageA(m_categoryToolbar, TB_AUTOSIZE, 0, 0);
    Layout();
}

void CSearchBar::Layout()
{
    if (!IsWindow())
        return;
    CRect client;
    GetClientRect(&client);
    if (m_menuToolbar) {
        SIZE size = {};
        ::SendMessageA(m_menuToolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
        ::SetWindowPos(m_menuToolbar, nullptr, 0, std::max(0, static_cast<int>((client.Height() - size.cy) / 2)),
                       size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_combo.m_hWnd) {
        CRect combo;
        ::GetWindowRect(m_combo.m_hWnd, &combo);
        ::SetWindowPos(m_combo.m_hWnd, nullptr, 0, std::max(0, (client.Height() - combo.Height()) / 2 + 1), 0,
                       combo.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_categoryToolbar) {
        const int width = BarToolbarWidth(m_categoryToolbar);
        ::SetWindowPos(m_categoryToolbar, nullptr, client.Width() - width, 0, width, client.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CSearchBar::OnComboPosChanging(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = m_combo.DefWindowProc(message, wParam, lParam);
    auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
    CRect client;
    GetClientRect(&client);
    const int menuWidth = BarToolbarWidth(m_menuToolbar);
    const int categoryWidth = BarToolbarWidth(m_categoryToolbar);
    position->x = menuWidth + 1;
    position->cx = std::max(0, client.Width() - menuWidth - categoryWidth - 3);
    position->flags &= ~static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE);
    return result;
}

LRESULT CSearchBar::OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    Layout();
    return result;
}

std::string CSearchBar::GetQueryText() const
{
    if (!m_edit.m_hWnd)
        return std::string();
    const int length = ::GetWindowTextLengthA(m_edit.m_hWnd);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(m_edit.m_hWnd, text.data(), length + 1)));
    return TrimBlanks(text);
}

void CSearchBar::FillList()
{
    SendMessage(CB_RESETCONTENT);
    for (size_t i = 0; i < m_entries.size(); ++i)
        InsertItem(static_cast<int>(i), m_entries[i].c_str(), 0, 0, 0);
}

bool CSearchBar::SearchFor(int category, const std::string& query, int engine)
{
    const std::string text = TrimBlanks(query);
    if (text.empty() || !m_engines)
        return false;
    MruInsert(m_entries, text, m_history.GetCapacity());
    FillList();
    SendMessage(CB_SETCURSEL, 0);
    const int tabFlags = GetSettings() ? GetSettings()->TabOpenFlags.value : 0;
    return m_engines->Search(m_hWnd, category, text, engine,
                             (tabFlags & TabOpenFlag::SearchBar) ? DWORD{kOpenNewTab} : DWORD{0});
}

void CSearchBar::ClearHistory()
{
    m_entries.clear();
    SendMessage(CB_RESETCONTENT);
    if (m_edit.m_hWnd)
        ::SetWindowTextA(m_edit.m_hWnd, "");
    m_history.Clear();
}

int CSearchBar::PreTranslateMessage(const MSG* message) const
{
    if (!message || !IsWindow() || !IsWindowVisible())
        return 0;
    if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN && message->message != WM_SYSKEYUP)
        return 0;
    if (!::IsChild(m_hWnd, message->hwnd))
        return 0;
    return BarKeyDecision(static_cast<unsigned>(message->wParam), GetKeyState(VK_SHIFT) < 0,
                          GetKeyState(VK_CONTROL) < 0, static_cast<unsigned long>(message->lParam), false);
}

LRESULT CSearchBar::OnCategoryButton(WORD, WORD id, HWND, BOOL&)
{
    SearchFor(id - ID_SEARCH_CATEGORY_FIRST, GetQueryText(), -1);
    return 0;
}

LRESULT CSearchBar::OnPageCommand(WORD, WORD id, HWND, BOOL&)
{
    if (!GetQueryText().empty())
        ::PostMessageA(GetTopLevelParent(), WM_COMMAND, id, 0);
    return 0;
}

LRESULT CSearchBar::OnMenuButton(WORD, WORD, HWND, BOOL&)
{
    ShowBarMenu();
    return 0;
}

LRESULT CSearchBar::OnToolbarDropDown(int, NMHDR* header, BOOL& handled)
{
    const auto* info = reinterpret_cast<const NMTOOLBARA*>(header);
    const int id = info->iItem;
    if (id == static_cast<int>(ID_SEARCH_MENU_BUTTON))
        ShowBarMenu();
    else if (id >= ID_SEARCH_CATEGORY_FIRST && id <= ID_SEARCH_CATEGORY_LAST)
        ShowEngineMenu(id - ID_SEARCH_CATEGORY_FIRST);
    else
        handled = FALSE;
    return TBDDRET_DEFAULT;
}

void CSearchBar::ShowBarMenu()
{
    HMENU resource = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_SEARCH_BAR_MENU));
    if (!resource)
        return;
    const POINT point = BarMenuPoint(m_menuToolbar, ID_SEARCH_MENU_BUTTON, m_hWnd);
    const UINT result =
        TrackFramePopupMenu(GetSubMenu(resource, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, m_hWnd);
    DestroyMenu(resource);
    if (result)
        ::PostMessageA(GetTopLevelParent(), WM_COMMAND, result, 0);
}

void CSearchBar::ShowEngineMenu(int category)
{
    if (!m_engines)
        return;
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    m_engines->BuildEngineMenu(menu, category);
    CMenuSiteIcons icons(m_icons);
    if (category >= 0 && category < static_cast<int>(m_engines->Categories().size())) {
        const auto& engines = m_engines->Categories()[category].engines;
        for (size_t i = 0; i < engines.size() && i < static_cast<size_t>(kMaxMenuEngines); ++i)
            icons.Add(kEngineMenuFirstCommand + static_cast<UINT>(i), engines[i].urlTemplate);
    }
    const POINT point = BarMenuPoint(m_categoryToolbar, ID_SEARCH_CATEGORY_FIRST + category, m_hWnd);
    const UINT result = TrackFramePopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, m_hWnd);
    DestroyMenu(menu);
    if (result >= kEngineMenuFirstCommand && result < kEngineMenuFirstCommand + kMaxMenuEngines)
        SearchFor(category, GetQueryText(), static_cast<int>(result - kEngineMenuFirstCommand));
}

LRESULT CSearchBar::OnSelEndOk(WORD, WORD, HWND, BOOL&)
{
    const int index = static_cast<int>(SendMessage(CB_GETCURSEL));
    if (index >= 0 && index < static_cast<int>(m_entries.size())) {
        const std::string chosen = m_entries[index];
        if (chosen != GetQueryText())
            SearchFor(0, chosen, -1);
    }
    return 0;
}

void CSearchBar::MoveSelection(int step)
{
    const int count = static_cast<int>(SendMessage(CB_GETCOUNT));
    if (count <= 0)
        return;
    const int current = static_cast<int>(SendMessage(CB_GETCURSEL));
    int next = 0;
    if (current < 0)
        next = step < 0 ? count - 1 : 0;
    else
        next = (current + step + count) % count;
    SendMessage(CB_SETCURSEL, next);
}

LRESULT CSearchBar::OnEditKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    switch (wParam) {
    case VK_UP:
    case VK_DOWN:
        if (!SendMessage(CB_GETDROPPEDSTATE) && !IsWindowCovered(m_edit.m_hWnd)) {
            MoveSelection(wParam == VK_UP ? -1 : 1);
            return 0;
        }
        break;
    case VK_RETURN: {
        const std::string text = GetQueryText();
        if (IsWindowCovered(m_edit.m_hWnd))
            m_edit.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        SearchFor(0, text, -1);
        return 0;
    }
    default:
        break;
    }
    handled = FALSE;
    return 0;
}

LRESULT CSearchBar::OnEditChar(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == '\r' || wParam == '\n')
        return 0;
    handled = FALSE;
    return 0;
}

bool CSearchBar::TakeDrop(IDataObject* data)
{
    std::string text = GetDataObjectText(data, CF_TEXT).c_str();
    if (text.empty())
        text = GetDataObjectText(data, GetClipboardFormats().url).c_str();
    text = TrimBlanks(text);
    if (text.empty() || !m_edit.m_hWnd)
        return false;
    if (text.size() > static_cast<size_t>(kMaxQueryText))
        text.resize(kMaxQueryText);
    ::SetWindowTextA(m_edit.m_hWnd, text.c_str());
    return true;
}

void CSearchBar::ShowDropFrame(bool show)
{
    if (show == m_dropFrameShown || !m_combo.m_hWnd)
        return;
    m_dropFrameShown = show;
    DrawBarDropFrame(m_combo.m_hWnd);
}
