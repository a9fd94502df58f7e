#include "navigation/AddressBar.h"

#include "controls/CommandImageManager.h"
#include "controls/ImageResources.h"
#include "core/app/Settings.h"
#include "core/system/DragDrop.h"
#include "core/system/MenuFunctions.h"
#include "core/system/OpenUrl.h"
#include "core/system/Clipboard.h"
#include "core/system/WindowFunctions.h"
#include "navigation/AddressText.h"
#include "navigation/FavIconCache.h"
#include "navigation/GroupStore.h"
#include "navigation/SearchEngineManager.h"
#include "navigation/UrlAliasList.h"
#include "navigation/WebServiceList.h"
#include "navigation/favorites/LinkDrag.h"
#include "platform/Diagnostics.h"

#include <shlwapi.h>

#include <algorithm>

namespace {

constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST |
                                TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE |
                                CCS_NOPARENTALIGN;
constexpr DWORD kBarButtonBits = ViewFlag::HideAddressButton | ViewFlag::HideGoButton | ViewFlag::HideAddressButtonIcon;
constexpr int kMaxEditText = 4096;

HWND CreateButtonToolbar(HWND parent, UINT command, BYTE style, const char* text, HIMAGELIST images, int image)
{
    HWND toolbar = CreateBarToolbar(parent, images);
    if (toolbar) {
        AddBarButton(toolbar, command, static_cast<BYTE>(style | BTNS_SHOWTEXT), text, images ? image : I_IMAGENONE);
        SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    }
    return toolbar;
}

HIMAGELIST LoadGoImages()
{
    // The go arrow of the shared images when the module carries them; the page picture otherwise.
    HIMAGELIST list = ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_GO_BUTTON), 16, 0,
                                           RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (list)
        return list;
    list = CreateNavigationImageList(kFavIconBaseImages);
    if (list)
        ImageList_Remove(list, 0);  // leaves the page picture near the front; index 0 is then a file
    return list;
}

}  // namespace

HWND CreateBarToolbar(HWND parent, HIMAGELIST images)
{
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", kToolbarStyle, 0, 0, 0, 0, parent, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    if (!toolbar)
        return nullptr;
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    if (images)
        SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    else
        SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(0, 0));
    return toolbar;
}

bool AddBarButton(HWND toolbar, UINT command, BYTE style, const char* text, int image, bool hidden)
{
    TBBUTTON button = {};
    button.iBitmap = image;
    button.idCommand = static_cast<int>(command);
    button.fsState = static_cast<BYTE>(TBSTATE_ENABLED | (hidden ? TBSTATE_HIDDEN : 0));
    button.fsStyle = static_cast<BYTE>(style | BTNS_AUTOSIZE);
    button.iString = reinterpret_cast<INT_PTR>(text);
    return SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)) != 0;
}

int BarToolbarWidth(HWND toolbar)
{
    if (!toolbar)
        return 0;
    SIZE size = {};
    SendMessageA(toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    return size.cx;
}

POINT BarMenuPoint(HWND toolbar, UINT command, HWND fallback)
{
    RECT rect = {};
    POINT point = {};
    if (toolbar && SendMessageA(toolbar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&rect))) {
        point = {rect.left, rect.bottom};
        ClientToScreen(toolbar, &point);
    } else {
        RECT window = {};
        GetWindowRect(fallback, &window);
        point = {window.left, window.bottom};
    }
    RECT work = {};
    GetWorkAreaFromPoint(point, &work);
    point.x = std::clamp(point.x, work.left, std::max(work.left, work.right - 1));
    point.y = std::clamp(point.y, work.top, std::max(work.top, work.bottom - 1));
    return point;
}

void DrawBarDropFrame(HWND combo)
{
    // Drawing the XOR frame twice erases it.
    HDC dc = GetDC(combo);
    RECT rect = {};
    GetClientRect(combo, &rect);
    for (int i = 0; i < 2; ++i) {
        DrawFocusRect(dc, &rect);
        InflateRect(&rect, -1, -1);
    }
    ReleaseDC(combo, dc);
}

CMenuSiteIcons::CMenuSiteIcons(CFavIconCache* icons) : m_icons(icons)
{
    CCommandImageManager* manager = GetCommandImageManager();
    if (manager && m_icons && !manager->GetImageSetList(kImageSetFavIcons, false))
        manager->SetCommandIcons(kImageSetFavIcons, m_icons->GetImageList(), m_icons->GetImageList());
}

CMenuSiteIcons::~CMenuSiteIcons()
{
    if (m_any && GetCommandImageManager())
        GetCommandImageManager()->ClearTemporaryCommandImages();
}

void CMenuSiteIcons::Add(UINT command, const std::string& address)
{
    CCommandImageManager* manager = GetCommandImageManager();
    if (!manager || !m_icons)
        return;
    manager->SetTemporaryCommandImageRef(
        command, MakeCommandImageRef(kImageSetFavIcons, static_cast<unsigned>(m_icons->GetIconIndex(address))));
    m_any = true;
}

CNavigationServices GetProgramNavigationServices()
{
    CNavigationServices services;
    services.aliases = GetUrlAliases();
    services.engines = GetSearchEngineManager();
    services.services = GetWebServices();
    services.icons = GetFavIconCache();
    services.groups = GetGroupStore();
    return services;
}

// ---- drop target -----------------------------------------------------------------------------

STDMETHODIMP CBarDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL, DWORD* effect)
{
    try {
        if (!effect)
            return E_POINTER;
        m_droppable = m_handler && m_handler->CanTakeDrop() && IsDataObjectDroppable(data);
        if (m_droppable)
            m_handler->ShowDropFrame(true);
        *effect = m_droppable ? (DROPEFFECT_COPY | (DropEffectFromKeyState(keys) & *effect)) : DROPEFFECT_NONE;
        return S_OK;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CBarDropTarget::DragEnter");
    }
}

STDMETHODIMP CBarDropTarget::DragOver(DWORD keys, POINTL, DWORD* effect)
{
    try {
        if (!effect)
            return E_POINTER;
        *effect = m_droppable ? (DROPEFFECT_COPY | (DropEffectFromKeyState(keys) & *effect)) : DROPEFFECT_NONE;
        return S_OK;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CBarDropTarget::DragOver");
    }
}

STDMETHODIMP CBarDropTarget::DragLeave()
{
    try {
        if (m_handler)
            m_handler->ShowDropFrame(false);
        m_droppable = false;
        return S_OK;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CBarDropTarget::DragLeave");
    }
}

STDMETHODIMP CBarDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    try {
        if (!effect)
            return E_POINTER;
        if (m_handler)
            m_handler->ShowDropFrame(false);
        const bool taken = m_handler && m_handler->CanTakeDrop() && data && m_handler->TakeDrop(data);
        *effect = taken ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        m_droppable = false;
        return S_OK;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CBarDropTarget::Drop");
    }
}

// ---- the bar ---------------------------------------------------------------------------------

CAddressBar::CAddressBar(const CNavigationServices& services, CRegistryHistory history)
    : m_services(services), m_history(std::move(history))
{
}

CAddressBar::~CAddressBar()
{
    if (m_dropTarget) {
        m_dropTarget->m_handler = nullptr;
        m_dropTarget->Release();
    }
}

HWND CAddressBar::Create(HWND parent, UINT id)
{
    // The creation rectangle's height is the drop-down list's height.
    return CWindowImpl<CAddressBar, CComboBoxEx>::Create(
        parent, CRect(0, 0, 400, 250), nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, id);
}

LRESULT CAddressBar::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // ComboBoxEx32 builds its combo box and edit in its own WM_CREATE.
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result == -1)
        return -1;
    SetExtendedStyle(CBES_EX_NOSIZELIMIT, CBES_EX_NOSIZELIMIT);
    m_combo.SubclassWindow(GetComboCtrl());
    m_edit.SubclassWindow(GetEditCtrl());
    if (m_edit.m_hWnd) {
        ::SendMessageA(m_edit.m_hWnd, EM_LIMITTEXT, kMaxEditText, 0);
        // File system, URL history, URL MRU and the Tab key. Wine's is a stub that shows nothing;
        // a failure leaves the edit without it.
        SHAutoComplete(m_edit.m_hWnd, SHACF_FILESYSTEM | SHACF_URLHISTORY | SHACF_URLMRU | SHACF_USETAB);
    }
    CreateToolbars();
    if (m_services.icons) {
        CFavIconImageListLock lock(*m_services.icons);
        SetImageList(m_services.icons->GetImageList());
    }
    m_typedUrls = m_history.Load();
    FillList();
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_OVERLAY;
    item.iItem = -1;
    item.iImage = item.iSelectedImage = item.iOverlay = I_IMAGECALLBACK;
    SendMessage(CBEM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    CComObject<CBarDropTarget>* target = nullptr;
    if (SUCCEEDED(CComObject<CBarDropTarget>::CreateInstance(&target))) {
        target->AddRef();
        target->m_handler = this;
        m_dropTarget = target;
        // Fails without OLE on the thread; the bar then takes no drops.
        RegisterDragDrop(m_hWnd, target);
    }
    return result;
}

LRESULT CAddressBar::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_history.Save(m_typedUrls);
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

void CAddressBar::CreateToolbars()
{
    m_toolbarFlags = GetSettings() ? (GetSettings()->ViewFlags & kBarButtonBits) : 0;
    if (!(m_toolbarFlags & ViewFlag::HideAddressButton)) {
        const bool textOnly = (m_toolbarFlags & ViewFlag::HideAddressButtonIcon) != 0;
        if (!textOnly)
            m_labelImages.Reset(CreateNavigationImageList(kFavIconBaseImages));
        m_labelToolbar = CreateButtonToolbar(m_hWnd, ID_ADDRESS_LABEL_BUTTON,
                                             textOnly ? BTNS_BUTTON : BTNS_WHOLEDROPDOWN, "A&ddress",
                                             textOnly ? nullptr : m_labelImages.Get(), kDefaultPageIcon);
    }
    if (!(m_toolbarFlags & ViewFlag::HideGoButton)) {
        m_goImages.Reset(LoadGoImages());
        m_goToolbar = CreateButtonToolbar(m_hWnd, ID_GO_BUTTON, BTNS_DROPDOWN, "Go", m_goImages.Get(), 0);
    }
}

void CAddressBar::DestroyToolbars()
{
    if (m_labelToolbar)
        ::DestroyWindow(m_labelToolbar);
    if (m_goToolbar)
        ::DestroyWindow(m_goToolbar);
    m_labelToolbar = m_goToolbar = nullptr;
}

void CAddressBar::UpdateGoButton()
{
    const DWORD flags = GetSettings() ? (GetSettings()->ViewFlags & kBarButtonBits) : 0;
    if (flags == m_toolbarFlags && IsWindow())
        return;
    DestroyToolbars();
    CreateToolbars();
    Layout();
}

void CAddressBar::Layout()
{
    CRect client;
    GetClientRect(&client);
    const int labelWidth = BarToolbarWidth(m_labelToolbar);
    const int goWidth = BarToolbarWidth(m_goToolbar);
    if (m_labelToolbar) {
        SIZE size = {};
        ::SendMessageA(m_labelToolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
        ::SetWindowPos(m_labelToolbar, nullptr, 0, std::max(0, static_cast<int>((client.Height() - size.cy) / 2)), labelWidth, size.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_combo.m_hWnd) {
        CRect combo;
        ::GetWindowRect(m_combo.m_hWnd, &combo);
        // The combo's own WM_WINDOWPOSCHANGING puts it between the two toolbars.
        ::SetWindowPos(m_combo.m_hWnd, nullptr, 0, std::max(0, (client.Height() - combo.Height()) / 2 + 1), 0,
                       combo.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_goToolbar) {
        ::SetWindowPos(m_goToolbar, nullptr, client.Width() - goWidth, 0, goWidth, client.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CAddressBar::OnComboPosChanging(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = m_combo.DefWindowProc(message, wParam, lParam);
    auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
    CRect client;
    GetClientRect(&client);
    const int labelWidth = BarToolbarWidth(m_labelToolbar);
    const int goWidth = BarToolbarWidth(m_goToolbar);
    position->x = labelWidth + 1;
    position->cx = std::max(0, client.Width() - goWidth - labelWidth - 3);
    position->flags &= ~static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE);
    return result;
}

bool CAddressBar::IsOnSiteIcon(POINT comboPoint) const
{
    if (!m_combo.m_hWnd || !m_edit.m_hWnd)
        return false;
    CRect edit;
    ::GetWindowRect(m_edit.m_hWnd, &edit);
    ::MapWindowPoints(nullptr, m_combo.m_hWnd, reinterpret_cast<POINT*>(&edit), 2);
    CRect client;
    ::GetClientRect(m_combo.m_hWnd, &client);
    return comboPoint.x >= client.left && comboPoint.x < edit.left && comboPoint.y >= client.top &&
           comboPoint.y < client.bottom;
}

// A press on the site icon without Ctrl waits for the system's drag distance; a press that
// becomes a drag carries the page's link out, a plain click is the combo's as before.
LRESULT CAddressBar::OnComboButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if ((wParam & MK_CONTROL) || !IsOnSiteIcon(point) || !m_activePage) {
        handled = FALSE;
        return 0;
    }
    POINT screen = point;
    ::ClientToScreen(m_combo.m_hWnd, &screen);
    if (!::DragDetect(m_combo.m_hWnd, screen)) {
        handled = FALSE;
        return 0;
    }
    DragPageLink(message == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON);
    return 0;
}

DWORD CAddressBar::DragPageLink(DWORD button)
{
    std::string url;
    std::string title;
    if (m_dragging || !m_activePage || !m_activePage->GetActivePage(url, title) || url.empty())
        return DROPEFFECT_NONE;
    m_dragging = true;
    const DWORD effect = DragLinksOut({{url, title}}, button, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    m_dragging = false;
    return effect;
}

LRESULT CAddressBar::OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    Layout();
    return result;
}

LRESULT CAddressBar::OnSetText(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
    if (GetEditText() != text) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = -1;
        item.pszText = const_cast<char*>(text);
        SendMessage(CBEM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (m_edit.m_hWnd)
            m_edit.InvalidateRect(nullptr);
    }
    return 1;
}

std::string CAddressBar::GetEditText() const
{
    if (!m_edit.m_hWnd)
        return std::string();
    const int length = ::GetWindowTextLengthA(m_edit.m_hWnd);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(m_edit.m_hWnd, text.data(), length + 1)));
    return text;
}

bool CAddressBar::GoToTypedAddress(const std::string& text)
{
    const CTypedDecision decision = ClassifyTypedText(text, [this](const std::string& typed) {
        return m_services.aliases ? m_services.aliases->Lookup(typed) : typed;
    });
    const int tabFlags = GetSettings() ? GetSettings()->TabOpenFlags.value : 0;
    switch (decision.kind) {
    case CTypedDecision::kNothing:
        return false;
    case CTypedDecision::kSearch:
        return m_services.engines &&
               m_services.engines->Search(m_hWnd, 0, decision.text, -1,
                                          (tabFlags & TabOpenFlag::SearchBar) ? DWORD{kOpenNewTab} : DWORD{0});
    case CTypedDecision::kAddress:
        OpenUrlInFrame(m_hWnd, decision.text.c_str(),
                       ((tabFlags & TabOpenFlag::AddressBar) ? DWORD{kOpenNewTab} : DWORD{0}) | kOpenReuseTab);
        AddTypedUrl(decision.text);
        return true;
    }
    return false;
}

bool CAddressBar::GoWithCompletion(int templateIndex)
{
    const std::string text = TrimBlanks(GetEditText());
    if (text.empty())
        return false;
    CSettings* settings = GetSettings();
    std::string domainTemplate;
    if (settings) {
        const CSettingString* templates[] = {&settings->DomainCompletionCtrl, &settings->DomainCompletionShift,
                                             &settings->DomainCompletionCtrlShift};
        if (templateIndex >= 0 && templateIndex < 3)
            domainTemplate = templates[templateIndex]->value.c_str();
    }
    return GoToTypedAddress(CompleteDomain(text, domainTemplate));
}

void CAddressBar::AddTypedUrl(const std::string& text)
{
    MruInsert(m_typedUrls, text, m_history.GetCapacity());
    FillList();
    SendMessage(CB_SETCURSEL, 0);
}

void CAddressBar::FillList()
{
    SendMessage(CB_RESETCONTENT);
    for (size_t i = 0; i < m_typedUrls.size(); ++i) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_OVERLAY;
        item.iItem = static_cast<INT_PTR>(i);
        item.pszText = const_cast<char*>(m_typedUrls[i].c_str());
        item.iImage = item.iSelectedImage = item.iOverlay = I_IMAGECALLBACK;
        InsertItem(&item);
    }
}

void CAddressBar::ClearTypedUrls()
{
    m_typedUrls.clear();
    SendMessage(CB_RESETCONTENT);
    m_history.Clear();
}

int CAddressBar::PreTranslateMessage(const MSG* message) const
{
    if (!message || !IsWindow() || !IsWindowVisible())
        return 0;
    if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN && message->message != WM_SYSKEYUP)
        return 0;
    if (!::IsChild(m_hWnd, message->hwnd))
        return 0;
    return BarKeyDecision(static_cast<unsigned>(message->wParam), GetKeyState(VK_SHIFT) < 0,
                          GetKeyState(VK_CONTROL) < 0, static_cast<unsigned long>(message->lParam), true);
}

LRESULT CAddressBar::OnGoButton(WORD, WORD, HWND, BOOL&)
{
    const std::string text = GetEditText();
    if (!text.empty())
        GoToTypedAddress(text);
    return 0;
}

LRESULT CAddressBar::OnLabelButton(WORD, WORD, HWND, BOOL&)
{
    ShowBarMenu();
    return 0;
}

LRESULT CAddressBar::OnToolbarDropDown(int, NMHDR* header, BOOL& handled)
{
    const auto* info = reinterpret_cast<const NMTOOLBARA*>(header);
    if (info->iItem == static_cast<int>(ID_ADDRESS_LABEL_BUTTON))
        ShowBarMenu();
    else if (info->iItem == static_cast<int>(ID_GO_BUTTON))
        ShowGoMenu();
    else
        handled = FALSE;
    return TBDDRET_DEFAULT;
}

void CAddressBar::FillAliasMenu(HMENU menu, CMenuSiteIcons& icons) const
{
    if (!menu || !m_services.aliases)
        return;
    const auto& records = m_services.aliases->Records();
    const int count = std::min(static_cast<int>(records.size()), ID_LAST_ALIAS_COMMAND - ID_FIRST_ALIAS_COMMAND + 1);
    for (int i = 0; i < count; ++i) {
        AppendMenuA(menu, MF_STRING, ID_FIRST_ALIAS_COMMAND + i, records[i].alias.c_str());
        icons.Add(ID_FIRST_ALIAS_COMMAND + i, records[i].url);
    }
}

void CAddressBar::OpenAlias(int index)
{
    if (!m_services.aliases || index < 0 || index >= m_services.aliases->GetCount())
        return;
    OpenUrlInFrame(m_hWnd, m_services.aliases->Records()[index].url.c_str(), kOpenNewTab);
}

void CAddressBar::ShowBarMenu()
{
    HMENU resource = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ADDRESS_BAR_MENU));
    if (!resource)
        return;
    HMENU menu = GetSubMenu(resource, 0);
    CMenuSiteIcons icons(m_services.icons);
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU sub = GetSubMenu(menu, i);
        if (!sub)
            continue;
        const std::string text = GetMenuItemText(menu, static_cast<UINT>(i), MF_BYPOSITION).c_str();
        if (text == "URL Alias")
            FillAliasMenu(sub, icons);
        else if (text == "&Groups" && m_services.groups)
            BuildGroupsMenu(sub, *m_services.groups);
    }
    const POINT point = BarMenuPoint(m_labelToolbar, ID_ADDRESS_LABEL_BUTTON, m_hWnd);
    const UINT result = TrackFramePopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, m_hWnd);
    DestroyMenu(resource);
    // Alias commands never reach the frame: its own command ranges start low too.
    if (result >= ID_FIRST_ALIAS_COMMAND && result <= ID_LAST_ALIAS_COMMAND)
        OpenAlias(static_cast<int>(result - ID_FIRST_ALIAS_COMMAND));
    else if (result)
        ::PostMessageA(GetTopLevelParent(), WM_COMMAND, result, 0);
}

void CAddressBar::ShowGoMenu()
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuA(menu, MF_STRING, ID_GO_MENU_GO, "Go");
    SetMenuDefaultItem(menu, ID_GO_MENU_GO, FALSE);
    CMenuSiteIcons icons(m_services.icons);
    icons.Add(ID_GO_MENU_GO, TrimBlanks(GetEditText()));
    if (m_services.services) {
        m_services.services->AppendToMenu(menu, ID_GO_MENU_FIRST_SERVICE);
        for (const auto& [id, addressTemplate] : m_services.services->MenuTemplates())
            icons.Add(id, addressTemplate);
    }
    const POINT point = BarMenuPoint(m_goToolbar, ID_GO_BUTTON, m_hWnd);
    const UINT result = TrackFramePopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, m_hWnd);
    DestroyMenu(menu);
    const std::string text = TrimBlanks(GetEditText());
    if (result == ID_GO_MENU_GO) {
        if (!text.empty())
            GoToTypedAddress(text);
    } else if (result >= ID_GO_MENU_FIRST_SERVICE && m_services.services && !text.empty()) {
        m_services.services->Run(m_hWnd, text, result);
    }
}

LRESULT CAddressBar::OnSelEndOk(WORD, WORD, HWND, BOOL&)
{
    const int index = static_cast<int>(SendMessage(CB_GETCURSEL));
    if (index >= 0 && index < static_cast<int>(m_typedUrls.size())) {
        const std::string chosen = m_typedUrls[index];
        if (chosen != GetEditText())
            GoToTypedAddress(chosen);
    }
    return 0;
}

LRESULT CAddressBar::OnGetDispInfo(int, NMHDR* header, BOOL&)
{
    auto* info = reinterpret_cast<NMCOMBOBOXEXA*>(header);
    if (!(info->ceItem.mask & (CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_OVERLAY)))
        return 0;
    std::string text;
    const INT_PTR item = info->ceItem.iItem;
    if (item >= 0 && item < static_cast<INT_PTR>(m_typedUrls.size()))
        text = m_typedUrls[static_cast<size_t>(item)];
    else
        text = GetEditText();
    const int index = m_services.icons ? m_services.icons->GetIconIndex(text) : kDefaultPageIcon;
    info->ceItem.iImage = info->ceItem.iSelectedImage = info->ceItem.iOverlay = index;
    return 0;
}

LRESULT CAddressBar::OnEditKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (wParam) {
    case VK_UP:
    case VK_DOWN:
        // Without an open list the arrows would step through the typed addresses and navigate.
        if (!SendMessage(CB_GETDROPPEDSTATE) && !IsWindowCovered(m_edit.m_hWnd))
            return 0;
        break;
    case VK_RETURN:
        if (control && shift)
            GoWithCompletion(2);
        else if (control)
            GoWithCompletion(0);
        else if (shift)
            GoWithCompletion(1);
        else {
            const std::string text = GetEditText();
            if (!text.empty()) {
                if (IsWindowCovered(m_edit.m_hWnd))
                    m_edit.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
                GoToTypedAddress(text);
            }
        }
        return 0;
    default:
        break;
    }
    handled = FALSE;
    return 0;
}

LRESULT CAddressBar::OnEditChar(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    // The Enter key was handled at WM_KEYDOWN; its character would only beep.
    if (wParam == '\r' || wParam == '\n')
        return 0;
    handled = FALSE;
    return 0;
}

LRESULT CAddressBar::OnEditDoubleClick(UINT, WPARAM, LPARAM, BOOL&)
{
    m_edit.SendMessage(EM_SETSEL, 0, -1);
    return 0;
}

bool CAddressBar::TakeDrop(IDataObject* data)
{
    std::vector<TStdStr<char>> files;
    if (GetDataObjectFiles(data, files) && !files.empty()) {
        if (files.size() == 1)
            return GoToTypedAddress(files[0].c_str());
        for (const auto& file : files)
            OpenUrlInFrame(m_hWnd, file.c_str(), kOpenNewTab);
        return true;
    }
    std::string text = GetDataObjectText(data, CF_TEXT).c_str();
    if (text.empty())
        text = GetDataObjectText(data, GetClipboardFormats().url).c_str();
    return !text.empty() && GoToTypedAddress(text);
}

void CAddressBar::ShowDropFrame(bool show)
{
    if (show == m_dropFrameShown || !m_combo.m_hWnd)
        return;
    m_dropFrameShown = show;
    DrawBarDropFrame(m_combo.m_hWnd);
}
