#include "frame/options/OptionsDlg.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "platform/Diagnostics.h"

namespace {

constexpr int kTreeIconSize = 16;
constexpr int kTreeImagesInitial = 3;
constexpr int kTreeImagesGrowth = 1;
constexpr int kDialogIconIndex = 22;
constexpr int kDarkerPercent = 6;

// The dialog ids of the tree's pages that the frame's own resources do not name.
constexpr int kMouseActionsPageId = 271;
constexpr int kMouseTrailsPageId = 273;
constexpr int kPopupBlockerPageId = 233;
constexpr int kPopupAdvancedPageId = 163;
constexpr int kAdFilterPageId = 234;
constexpr int kAdFilterAdvancedPageId = 165;
constexpr int kProxyPageId = 220;
constexpr int kPlugInPageId = 246;

const char* Translated(const char* text)
{
    const CLanguageManager* language = GetLanguageManager();
    return language ? language->Translate(text) : text;
}

CStdString WindowText(HWND window)
{
    char text[256] = {};
    ::GetWindowTextA(window, text, static_cast<int>(sizeof(text)));
    return text;
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const char* text, int image, int selectedImage, LPARAM data)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void SetItemImage(HWND tree, HTREEITEM item, int image)
{
    TVITEMA change = {};
    change.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    change.hItem = item;
    change.iImage = image;
    change.iSelectedImage = image;
    ::SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

}  // namespace

COptionsDlg::COptionsDlg(int startPage) : m_startPage(startPage)
{
    if (m_startPage == kLastPage) {
        const CSettings* settings = GetSettings();
        m_startPage = settings ? settings->LastOptionID.value : kLastPage;
    }
}

COLORREF COptionsDlg::DarkenedTreeColor(COLORREF window)
{
    auto darker = [](BYTE part) { return static_cast<BYTE>(part - (part * kDarkerPercent) / 100); };
    return RGB(darker(GetRValue(window)), darker(GetGValue(window)), darker(GetBValue(window)));
}

HICON COptionsDlg::GetIcon()
{
    const CImageListManager* images = GetImageListManager();
    HIMAGELIST generalSmall = images ? images->GetList(kSlotGeneralSmall) : nullptr;
    return generalSmall && ImageList_GetImageCount(generalSmall) > kDialogIconIndex ? ImageList_GetIcon(generalSmall, kDialogIconIndex, ILD_NORMAL)
                                                                      : nullptr;
}

void COptionsDlg::InitButtons() {}

void COptionsDlg::SaveLastPage(int dialogId)
{
    if (CSettings* settings = GetSettings()) {
        settings->LastOptionID = dialogId;
        settings->LastOptionID.Save();
    }
}

// The tree in its order: pages at the top level and groups of pages; the pages of frame/options/
// are embedded, every other id is asked of the page factory.
bool COptionsDlg::AddPages()
{
    AddPageOf(IDD_START_PAGES_PAGE);
    AddPageOf(IDD_STARTUP_PAGE);
    AddGroup("Mouse Gestures");
    AddPageOf(kMouseActionsPageId);
    AddPageOf(kMouseTrailsPageId);
    BackToRoot();
    AddPageOf(IDD_FAVORITES_PAGE);
    AddGroup("Address Bar");
    AddPageOf(IDD_ADDRESS_BAR_PAGE);
    AddPageOf(IDD_URL_ALIAS_OPTIONS_PAGE);
    BackToRoot();
    AddPageOf(IDD_SEARCH_BAR_OPTIONS_PAGE);
    AddPageOf(IDD_TAB_PAGE);
    AddGroup("Popup Blocker");
    AddPageOf(kPopupBlockerPageId);
    AddPageOf(kPopupAdvancedPageId);
    BackToRoot();
    AddGroup("Ad-Filter");
    AddPageOf(kAdFilterPageId);
    AddPageOf(kAdFilterAdvancedPageId);
    BackToRoot();
    AddPageOf(IDD_DOWNLOAD_PAGE);
    AddPageOf(kProxyPageId);
    AddPageOf(IDD_CLEAR_RECORDS_PAGE);
    AddPageOf(kPlugInPageId);
    AddPageOf(IDD_MISCELLANEOUS_PAGE);
    AddPageOf(IDD_SELECT_LANGUAGE_PAGE);
    return true;
}

COptionsPage* COptionsDlg::OwnPage(int dialogId)
{
    switch (dialogId) {
    case IDD_ADDRESS_BAR_PAGE:
        return &m_addressBarPage;
    case IDD_DOWNLOAD_PAGE:
        return &m_downloadPage;
    case IDD_MISCELLANEOUS_PAGE:
        return &m_miscellaneousPage;
    case IDD_STARTUP_PAGE:
        return &m_startupPage;
    case IDD_TAB_PAGE:
        return &m_tabPage;
    case IDD_CLEAR_RECORDS_PAGE:
        return &m_clearRecordsPage;
    case IDD_SELECT_LANGUAGE_PAGE:
        return &m_selectLanguagePage;
    default:
        return nullptr;
    }
}

void COptionsDlg::SetPageActions(IOptionsPageActions* actions)
{
    m_startupPage.SetActions(actions);
    m_clearRecordsPage.SetActions(actions);
    m_selectLanguagePage.SetActions(actions);
}

bool COptionsDlg::AddPageOf(int dialogId)
{
    IOptionsPageFactory* factory = GetOptionsPageFactory();
    if (COptionsPage* own = OwnPage(dialogId)) {
        if (own == &m_addressBarPage && factory && !m_addressBarPage.GetTarget())
            m_addressBarPage.SetTarget(factory->GetAddressBarTarget());
        return AddPage(*own);
    }
    if (!factory)
        return false;
    std::unique_ptr<COptionsPage> page;
    try {
        page = factory->CreatePage(dialogId);
    } catch (...) {
        // A page that cannot be made is left out, as one whose window cannot be created.
        ReportCaughtException("COptionsDlg::AddPageOf");
        return false;
    }
    // A page of another id would stand in the tree at the wrong place and be found under the
    // wrong id by the commands that open the dialog.
    if (!page || !KIVO_CHECK(page->GetDialogID() == dialogId))
        return false;
    m_factoryPages.push_back(std::move(page));
    if (AddPage(*m_factoryPages.back()))
        return true;
    m_factoryPages.pop_back();
    return false;
}

void COptionsDlg::AddGroup(const char* title)
{
    m_parent = InsertItem(m_tree, m_root, Translated(title), kClosedGroupImage, kClosedGroupImage, -1);
}

void COptionsDlg::BackToRoot()
{
    if (m_parent && m_parent != m_root && !TreeView_GetChild(m_tree, m_parent))
        TreeView_DeleteItem(m_tree, m_parent);
    m_parent = m_root;
}

bool COptionsDlg::AddPage(COptionsPage& page)
{
    HWND window = page.Create(m_pageHost);
    if (!window)
        return false;
    int image = -1;
    if (HICON icon = page.GetIcon()) {
        image = ImageList_AddIcon(m_treeImages, icon);
        ::DestroyIcon(icon);
    }
    HTREEITEM item = InsertItem(m_tree, m_parent, Translated(WindowText(window).c_str()), image, kSelectedPageImage,
                                static_cast<LPARAM>(m_pages.size()));
    m_items.push_back(item);
    m_pages.push_back(&page);
    m_pageHost.AddPage(window);
    return true;
}

void COptionsDlg::SetUpTree()
{
    m_tree = GetDlgItem(IDC_OPTIONS_TREE);
    TreeView_SetBkColor(m_tree, DarkenedTreeColor(::GetSysColor(COLOR_WINDOW)));
    if (m_treeImages.Create(kTreeIconSize, kTreeIconSize, ILC_COLOR24 | ILC_MASK, kTreeImagesInitial, kTreeImagesGrowth)) {
        const CImageListManager* images = GetImageListManager();
        HIMAGELIST options = images ? static_cast<HIMAGELIST>(images->m_optionIcons) : nullptr;
        for (int i = 0; i < kTreeImagesInitial; ++i) {
            HICON icon = options ? ImageList_GetIcon(options, i, ILD_NORMAL) : nullptr;
            if (icon) {
                ImageList_AddIcon(m_treeImages, icon);
                ::DestroyIcon(icon);
            }
        }
        TreeView_SetImageList(m_tree, m_treeImages.Get(), TVSIL_NORMAL);
    }
}

LRESULT COptionsDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_icon.Attach(GetIcon());
    if (!m_icon.IsNull()) {
        SendMessageA(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(static_cast<HICON>(m_icon)));
        SendMessageA(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(static_cast<HICON>(m_icon)));
    }
    CenterWindow(GetParent());
    SetUpTree();
    m_pageHost.SubclassWindow(GetDlgItem(IDC_OPTIONS_PAGE_HOST));
    m_caption.SubclassWindow(GetDlgItem(IDC_OPTIONS_CAPTION));
    InitButtons();
    // The factory's pages of an earlier opening of this object go; their windows went with it.
    m_factoryPages.clear();
    m_root = InsertItem(m_tree, nullptr, Translated(WindowText(m_hWnd).c_str()), kClosedGroupImage, kClosedGroupImage, -1);
    m_parent = m_root;
    if (AddPages()) {
        TreeView_Expand(m_tree, m_root, TVE_EXPAND);
        SelectStartPage();
    }
    if (const CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    return TRUE;
}

// A remembered id that no page has (a page of an older version, or a page that could not be
// created) starts from the root, whose first page is then shown.
void COptionsDlg::SelectStartPage()
{
    HTREEITEM item = m_root;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i]->GetDialogID() == m_startPage) {
            item = m_items[i];
            break;
        }
    }
    while (HTREEITEM child = TreeView_GetChild(m_tree, item))
        item = child;
    TreeView_SelectItem(m_tree, item);
}

COptionsPage* COptionsDlg::PageOfItem(HTREEITEM item) const
{
    if (!item || TreeView_GetChild(m_tree, item))
        return nullptr;
    TVITEMA query = {};
    query.mask = TVIF_HANDLE | TVIF_PARAM;
    query.hItem = item;
    if (!::SendMessageA(m_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)))
        return nullptr;
    return GetPage(static_cast<int>(query.lParam));
}

COptionsPage* COptionsDlg::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

HTREEITEM COptionsDlg::GetPageItem(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_items[static_cast<size_t>(index)] : nullptr;
}

COptionsPage* COptionsDlg::GetShownPage() const
{
    return GetPage(m_pageHost.GetActivePage());
}

bool COptionsDlg::SelectPage(int dialogId)
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i]->GetDialogID() == dialogId)
            return TreeView_SelectItem(m_tree, m_items[i]) && GetShownPage() == m_pages[i];
    }
    return false;
}

LRESULT COptionsDlg::OnSelectionChanging(int, NMHDR* header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
    COptionsPage* page = PageOfItem(change->itemNew.hItem);
    if (!page)
        return FALSE;
    try {
        return page->OnSetActive() == -1 ? TRUE : FALSE;
    } catch (...) {
        // A page that cannot say whether it may be shown is shown: refusing would strand the user
        // on the previous page with no way to reach this one.
        ReportCaughtException("COptionsDlg::OnSelectionChanging");
        return FALSE;
    }
}

LRESULT COptionsDlg::OnSelectionChanged(int, NMHDR* header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
    HTREEITEM item = change->itemNew.hItem;
    if (!item || TreeView_GetChild(m_tree, item))
        return 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i] == item && PageOfItem(item) == m_pages[i]) {
            m_pageHost.SetActivePage(static_cast<int>(i));
            m_caption.SetWindowText(WindowText(m_pages[i]->m_hWnd).c_str());
            break;
        }
    }
    return 0;
}

LRESULT COptionsDlg::OnItemExpanded(int, NMHDR* header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
    HTREEITEM item = change->itemNew.hItem;
    HTREEITEM selected = TreeView_GetSelection(m_tree);
    if (!item || (selected && TreeView_GetParent(m_tree, selected) == item))
        return 0;
    const bool expanded = change->action == TVE_EXPAND;
    SetItemImage(m_tree, item, expanded ? kOpenGroupImage : kClosedGroupImage);
    if (expanded) {
        if (HTREEITEM child = TreeView_GetChild(m_tree, item))
            TreeView_SelectItem(m_tree, child);
    }
    return 0;
}

LRESULT COptionsDlg::OnOK(WORD, WORD, HWND, BOOL&)
{
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    bool refused = false;
    for (COptionsPage* page : m_pages) {
        if (page->OnApply() != 0) {
            refused = true;
            break;
        }
    }
    ::SetCursor(previous);
    if (!refused)
        EndDialog(IDOK);
    return 0;
}

LRESULT COptionsDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    for (COptionsPage* page : m_pages)
        page->OnCancel();
    EndDialog(IDCANCEL);
    return 0;
}

LRESULT COptionsDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    SendMessageA(WM_SETICON, ICON_BIG, 0);
    SendMessageA(WM_SETICON, ICON_SMALL, 0);
    m_icon.DestroyIcon();
    if (const COptionsPage* shown = GetShownPage())
        SaveLastPage(shown->GetDialogID());
    for (COptionsPage* page : m_pages)
        page->OnClose();
    for (COptionsPage* page : m_pages) {
        if (page->m_hWnd && ::IsWindow(page->m_hWnd))
            page->DestroyWindow();
    }
    m_pages.clear();
    m_items.clear();
    handled = FALSE;
    return 0;
}
