#include "navigation/favorites/ShellFolderTree.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/system/DragDrop.h"
#include "core/system/OpenUrl.h"
#include "navigation/FavIconCache.h"
#include "navigation/favorites/FavoritesFolder.h"
#include "navigation/favorites/LinkDataObject.h"
#include "navigation/favorites/LinksBar.h"
#include "platform/Diagnostics.h"

#include <shellapi.h>
#include <windowsx.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kSysFlagFavoritesByName = 0x20000;
// The favicon list's images for the tree: folders closed and open, other files, Internet shortcuts.
constexpr int kClosedFolderImage = 0;
constexpr int kOpenFolderImage = 1;
constexpr int kFileImage = 2;
constexpr int kShortcutImage = 3;
constexpr size_t kMaxFolderEntries = 4096;
constexpr int kMaxNewNameCounter = 1000;
// Folders open no deeper than this when an item is looked up by its path.
constexpr int kMaxFolderDepth = 32;
constexpr int kMaxLabel = 260;

bool EndsWithNoCase(const std::string& text, const char* end)
{
    const size_t length = std::strlen(end);
    return text.size() >= length && _stricmp(text.c_str() + text.size() - length, end) == 0;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string WithoutTrailingBackslash(std::string path)
{
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

}  // namespace

std::string GetHistoryFolder()
{
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_HISTORY, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0])
        return {};
    return WithTrailingBackslash(path);
}

std::string CreateDroppedShortcut(const std::string& folder, const std::string& url)
{
    if (url.empty() || folder.empty())
        return {};
    const std::string base = WithTrailingBackslash(folder) + TranslateText("New Item").c_str();
    std::string path = base + ".url";
    for (int counter = 2; PathExists(path) && counter < kMaxNewNameCounter; ++counter)
        path = base + " (" + std::to_string(counter) + ").url";
    if (PathExists(path) || !CreateInternetShortcut(path, url))
        return {};
    return path;
}

// ---------------------------------------------------------------------------------------------

class CShellFolderTree::CDropTarget : public IDropTarget {
public:
    explicit CDropTarget(CShellFolderTree* tree) : m_tree(tree) {}
    CShellFolderTree* m_tree = nullptr;  // not owned; cleared when the tree revokes the target

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDropTarget)
            return E_NOINTERFACE;
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override
    {
        m_droppable = data && IsDataObjectDroppable(data);
        m_allowed = effect ? *effect : 0;
        return DragOver(keys, point, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override
    {
        if (!effect)
            return E_POINTER;
        *effect = DROPEFFECT_NONE;
        if (!m_tree || !m_droppable)
            return S_OK;
        std::string folder;
        HTREEITEM item = m_tree->GetDropItem(POINT{point.x, point.y}, folder);
        m_tree->SelectDropTarget(item);
        DWORD chosen = DropEffectFromKeyState(keys) & ~DROPEFFECT_SCROLL;
        if (chosen == DROPEFFECT_MOVE && !(m_allowed & DROPEFFECT_MOVE))
            chosen = DROPEFFECT_COPY;
        *effect = (chosen & m_allowed) ? chosen : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        if (m_tree)
            m_tree->SelectDropTarget(nullptr);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override
    {
        try {
            const DWORD allowed = effect ? *effect : 0;
            DWORD done = DROPEFFECT_NONE;
            if (m_tree) {
                m_tree->SelectDropTarget(nullptr);
                done = m_tree->DropData(data, keys, POINT{point.x, point.y}, allowed);
            }
            if (effect)
                *effect = done;
            return S_OK;
        } catch (...) {
            return ReportCaughtExceptionAsHresult("CShellFolderTree::CDropTarget::Drop");
        }
    }

private:
    virtual ~CDropTarget() = default;
    LONG m_references = 1;
    bool m_droppable = false;
    DWORD m_allowed = 0;
};

CShellFolderTree::CShellFolderTree(EShellTreeKind kind, CFavIconCache* icons) : m_kind(kind), m_icons(icons)
{
    m_root = kind == EShellTreeKind::History ? GetHistoryFolder() : GetFavoritesFolder();
}

CShellFolderTree::~CShellFolderTree()
{
    if (m_dropTarget) {
        m_dropTarget->m_tree = nullptr;
        m_dropTarget->Release();
    }
}

HWND CShellFolderTree::Create(HWND parent, UINT id)
{
    constexpr DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_EDITLABELS | TVS_SHOWSELALWAYS | TVS_TRACKSELECT |
                            TVS_SINGLEEXPAND | TVS_INFOTIP | TVS_FULLROWSELECT | TVS_HASBUTTONS;
    return CWindowImpl<CShellFolderTree, CTreeViewCtrl>::Create(parent, CRect(0, 0, 200, 300), nullptr, style,
                                                                WS_EX_CLIENTEDGE, id);
}

void CShellFolderTree::SetRootFolder(const std::string& folder)
{
    m_root = WithTrailingBackslash(folder);
    if (IsWindow())
        Refresh();
}

LRESULT CShellFolderTree::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result == -1)
        return result;
    if (CFavIconCache* cache = m_icons ? m_icons : GetFavIconCache()) {
        CFavIconImageListLock lock(*cache);
        SendMessage(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(cache->GetImageList()));
    }
    Refresh();
    m_dropTarget = new CDropTarget(this);
    if (FAILED(RegisterDragDrop(m_hWnd, m_dropTarget))) {  // without OLE the tree takes no drops
        m_dropTarget->m_tree = nullptr;
        m_dropTarget->Release();
        m_dropTarget = nullptr;
    }
    return result;
}

LRESULT CShellFolderTree::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_dropTarget) {
        RevokeDragDrop(m_hWnd);
        m_dropTarget->m_tree = nullptr;
        m_dropTarget->Release();
        m_dropTarget = nullptr;
    }
    handled = FALSE;
    return 0;
}

void CShellFolderTree::Refresh()
{
    if (!IsWindow())
        return;
    SetRedraw(FALSE);
    m_busy = true;
    DeleteAllItems();
    if (!m_root.empty())
        FillFolder(TVI_ROOT, m_root);
    m_busy = false;
    SetRedraw(TRUE);
    Invalidate();
}

void CShellFolderTree::RefreshFolder(HTREEITEM item)
{
    if (!item) {
        Refresh();
        return;
    }
    m_busy = true;
    FillFolder(item, GetItemPath(item));
    Expand(item, TVE_EXPAND);
    m_busy = false;
}

std::string CShellFolderTree::GetItemPath(HTREEITEM item) const
{
    if (!item || item == TVI_ROOT)
        return m_root;
    const size_t index = static_cast<size_t>(GetItemData(item));
    return index >= 1 && index <= m_paths.size() ? m_paths[index - 1] : std::string();
}

HTREEITEM CShellFolderTree::FindChild(HTREEITEM parent, const std::string& text) const
{
    HTREEITEM child = parent && parent != TVI_ROOT ? GetChildItem(parent) : GetRootItem();
    for (; child; child = GetNextSiblingItem(child)) {
        char buffer[kMaxLabel] = {};
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = child;
        item.pszText = buffer;
        item.cchTextMax = sizeof(buffer);
        ::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (text == buffer)
            return child;
    }
    return nullptr;
}

void CShellFolderTree::DeleteChildren(HTREEITEM item)
{
    HTREEITEM child = item == TVI_ROOT ? GetRootItem() : GetChildItem(item);
    while (child) {
        HTREEITEM next = GetNextSiblingItem(child);
        DeleteItem(child);
        child = next;
    }
}

void CShellFolderTree::SortEntries(const std::string& folder, std::vector<CEntry>& entries)
{
    const CSettings* settings = GetSettings();
    const bool byName = m_kind != EShellTreeKind::Favorites || (settings && (settings->SysFlags & kSysFlagFavoritesByName));
    if (m_kind == EShellTreeKind::History)
        return;  // the shell's own order
    if (byName) {
        std::stable_sort(entries.begin(), entries.end(), [](const CEntry& a, const CEntry& b) {
            if (a.folder != b.folder)
                return a.folder;
            return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.text.c_str(), -1, b.text.c_str(), -1) == CSTR_LESS_THAN;
        });
        return;
    }
    CFavoritesOrderMap order;
    ReadFavoritesMenuOrder(order, folder);
    std::stable_sort(entries.begin(), entries.end(), [&order](const CEntry& a, const CEntry& b) {
        return MenuOrderLess(order, GetPathFileName(a.path), a.folder, GetPathFileName(b.path), b.folder);
    });
}

int CShellFolderTree::GetImage(const CEntry& entry, bool open)
{
    if (entry.folder)
        return open ? kOpenFolderImage : kClosedFolderImage;
    if (!EndsWithNoCase(entry.path, ".url"))
        return kFileImage;
    CFavIconCache* cache = m_icons ? m_icons : GetFavIconCache();
    const int icon = cache ? cache->GetIconIndex(GetFavIconKey(ReadInternetShortcutUrl(entry.path))) : kDefaultPageIcon;
    return icon == kDefaultPageIcon ? kShortcutImage : icon;
}

HTREEITEM CShellFolderTree::InsertEntry(HTREEITEM parent, const CEntry& entry, HTREEITEM after)
{
    m_paths.push_back(entry.path);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(entry.text.c_str());
    insert.item.lParam = static_cast<LPARAM>(m_paths.size());
    insert.item.iImage = GetImage(entry, false);
    insert.item.iSelectedImage = GetImage(entry, entry.folder);
    insert.item.cChildren = entry.folder ? 1 : 0;
    return reinterpret_cast<HTREEITEM>(::SendMessageA(m_hWnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void CShellFolderTree::FillFolder(HTREEITEM parent, const std::string& folder)
{
    DeleteChildren(parent);
    std::vector<CEntry> entries;
    WIN32_FIND_DATAA data = {};
    CFindHandle find(FindFirstFileA((WithTrailingBackslash(folder) + "*.*").c_str(), &data));
    if (find.IsValid()) {
        do {
            const std::string name = data.cFileName;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) || name == "." || name == ".." || name.empty())
                continue;
            CEntry entry;
            entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entry.path = WithTrailingBackslash(folder) + name + (entry.folder ? "\\" : "");
            // The shell's normal display name: a shortcut's title without ".url".
            entry.text = entry.folder || !EndsWithNoCase(name, ".url") ? name : GetPathFileTitle(entry.path);
            entries.push_back(std::move(entry));
        } while (entries.size() < kMaxFolderEntries && FindNextFileA(find.Get(), &data));
    }
    SortEntries(folder, entries);
    for (const CEntry& entry : entries)
        InsertEntry(parent, entry);
}

void CShellFolderTree::OpenItem(HTREEITEM item)
{
    const std::string path = GetItemPath(item);
    if (path.empty() || path.back() == '\\')
        return;
    const std::string url = ReadInternetShortcutUrl(path);
    if (url.empty())
        return;
    const CSettings* settings = GetSettings();
    const DWORD newTabBit = m_kind == EShellTreeKind::History ? TabOpenFlag::History : TabOpenFlag::Favorites;
    const DWORD flags = settings && (settings->TabOpenFlags.value & newTabBit) ? DWORD{kOpenNewTab} : DWORD{0};
    OpenUrlInFrame(m_hWnd, url.c_str(), flags);
}

HTREEITEM CShellFolderTree::CreateNewFolder(HTREEITEM item)
{
    std::string parent = GetItemPath(item);
    if (parent.empty())
        return nullptr;
    if (parent.back() != '\\') {  // a file item: its folder
        item = item ? GetParentItem(item) : nullptr;
        parent = GetItemPath(item);
    }
    const std::string base = parent + TranslateText("New Folder").c_str();
    std::string path = base;
    for (int counter = 2; PathExists(path) && counter < kMaxNewNameCounter; ++counter)
        path = base + " (" + std::to_string(counter) + ")";
    if (PathExists(path) || !CreateDirectoryA(path.c_str(), nullptr))
        return nullptr;
    CEntry entry;
    entry.folder = true;
    entry.path = path + "\\";
    entry.text = GetPathFileName(entry.path);
    if (item)
        Expand(item, TVE_EXPAND);
    HTREEITEM made = InsertEntry(item ? item : TVI_ROOT, entry);
    if (made)
        ::SendMessageA(m_hWnd, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(made));
    return made;
}

bool CShellFolderTree::RenameOnDisk(HTREEITEM item, const std::string& text, std::string& renamed) const
{
    const std::string path = GetItemPath(item);
    const std::string name = MakeFileNameSafe(text);
    if (!item || path.empty() || name.empty() || path == m_root)
        return false;
    const bool folder = path.back() == '\\';
    const std::string old = WithoutTrailingBackslash(path);
    const std::string parent = old.substr(0, old.find_last_of('\\') + 1);
    const std::string extension = !folder && EndsWithNoCase(old, ".url") ? ".url" : "";
    renamed = parent + name + extension;
    if (_stricmp(renamed.c_str(), old.c_str()) != 0 && PathExists(renamed))
        return false;
    if (!MoveFileA(old.c_str(), renamed.c_str()))
        return false;
    if (folder)
        renamed.push_back('\\');
    return true;
}

bool CShellFolderTree::RenameItem(HTREEITEM item, const std::string& text)
{
    std::string renamed;
    if (!RenameOnDisk(item, text, renamed))
        return false;
    HTREEITEM parentItem = GetParentItem(item);
    if (parentItem)
        RefreshFolder(parentItem);
    else
        Refresh();
    return true;
}

// The end of a label edit renames the file at once and shows the new name on the item, but the
// folder is refilled only after the notification: refilling deletes the very item the control is
// still ending the edit of.
void CShellFolderTree::RenameEditedItem(HTREEITEM item, const std::string& text)
{
    std::string renamed;
    if (!RenameOnDisk(item, text, renamed))
        return;
    const size_t index = static_cast<size_t>(GetItemData(item));
    if (index >= 1 && index <= m_paths.size())
        m_paths[index - 1] = renamed;
    const bool folder = renamed.back() == '\\';
    const std::string shown = folder || !EndsWithNoCase(renamed, ".url") ? GetPathFileName(WithoutTrailingBackslash(renamed))
                                                                          : GetPathFileTitle(renamed);
    TVITEMA label = {};
    label.mask = TVIF_TEXT;
    label.hItem = item;
    label.pszText = const_cast<char*>(shown.c_str());
    ::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&label));
    HTREEITEM parentItem = GetParentItem(item);
    m_refillAfterRename = parentItem ? GetItemPath(parentItem) : m_root;
    PostMessage(kRefillAfterRenameMessage);
}

HTREEITEM CShellFolderTree::FindItemByPath(HTREEITEM parent, const std::string& path, int depth) const
{
    for (HTREEITEM child = parent ? GetChildItem(parent) : GetRootItem(); child; child = GetNextSiblingItem(child)) {
        const std::string childPath = GetItemPath(child);
        if (_stricmp(childPath.c_str(), path.c_str()) == 0)
            return child;
        if (depth < kMaxFolderDepth && !childPath.empty() && childPath.back() == '\\' &&
            _strnicmp(path.c_str(), childPath.c_str(), childPath.size()) == 0)
            return FindItemByPath(child, path, depth + 1);
    }
    return nullptr;
}

LRESULT CShellFolderTree::OnRefillAfterRename(UINT, WPARAM, LPARAM, BOOL&)
{
    const std::string folder = std::move(m_refillAfterRename);
    m_refillAfterRename.clear();
    if (folder.empty())
        return 0;
    HTREEITEM item = _stricmp(folder.c_str(), m_root.c_str()) == 0 ? nullptr : FindItemByPath(nullptr, folder, 0);
    RefreshFolder(item);
    return 0;
}

HMENU CShellFolderTree::BuildContextMenu(HTREEITEM item)
{
    m_shellMenu.Close();
    const std::string path = GetItemPath(item);
    HMENU menu = CreatePopupMenu();
    if (!menu || path.empty())
        return menu;
    const bool folder = path.back() == '\\';
    if (folder) {
        const bool expanded = item && (GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED);
        AppendMenuA(menu, MF_STRING, expanded ? kTreeCollapse : kTreeExpand,
                    expanded ? TranslateText("Collapse(&B)").c_str() : TranslateText("Expand(&B)").c_str());
        AppendMenuA(menu, MF_STRING, kTreeOpenAll, TranslateText("Open All(&I)").c_str());
    } else {
        AppendMenuA(menu, MF_STRING | MF_DEFAULT, kTreeOpen, TranslateText("&Open").c_str());
    }
    AppendMenuA(menu, MF_STRING, kTreeNewFolder, TranslateText("Make Ne&w Folder").c_str());
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    if (folder) {
        AppendMenuA(menu, MF_STRING, kTreeRename, TranslateText("Rena&me").c_str());
        AppendMenuA(menu, MF_STRING, kTreeDelete, TranslateText("&Delete").c_str());
    } else {
        AddShellItems(menu, path);
    }
    return menu;
}

// The shell's items follow the tree's. Its "open" would hand the file to the system's own
// program, so it goes: opening a favorite is the tree's "&Open". Where the shell has no rename or
// delete (the menus differ between systems), the tree's own stand in before its items.
void CShellFolderTree::AddShellItems(HMENU menu, const std::string& path)
{
    const int tail = GetMenuItemCount(menu);
    const bool filled = m_shellMenu.Open(m_hWnd, path) && m_shellMenu.Fill(menu, kTreeShellFirst, kTreeShellLast);
    if (filled) {
        // A file type's handler can add its own "open" beside the shell's.
        for (UINT open = m_shellMenu.FindVerb(menu, "open"); open && DeleteMenu(menu, open, MF_BYCOMMAND);
             open = m_shellMenu.FindVerb(menu, "open")) {
        }
        // A separator the shell put first is not needed after ours.
        MENUITEMINFOA first = {};
        first.cbSize = sizeof(first);
        first.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoA(menu, static_cast<UINT>(tail), TRUE, &first) && (first.fType & MFT_SEPARATOR))
            DeleteMenu(menu, static_cast<UINT>(tail), MF_BYPOSITION);
    }
    UINT at = static_cast<UINT>(tail);
    if (!filled || !m_shellMenu.FindVerb(menu, "rename"))
        InsertMenuA(menu, at++, MF_BYPOSITION | MF_STRING, kTreeRename, TranslateText("Rena&me").c_str());
    if (!filled || !m_shellMenu.FindVerb(menu, "delete"))
        InsertMenuA(menu, at++, MF_BYPOSITION | MF_STRING, kTreeDelete, TranslateText("&Delete").c_str());
    if (filled && at > static_cast<UINT>(tail))
        InsertMenuA(menu, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

void CShellFolderTree::RunShellCommand(HTREEITEM item, UINT command)
{
    const std::string verb = m_shellMenu.GetVerb(command);
    if (verb == "rename") {
        ::SendMessageA(m_hWnd, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item));
        return;
    }
    const std::string path = GetItemPath(item);
    POINT screen = {};
    GetCursorPos(&screen);
    if (FAILED(m_shellMenu.Invoke(m_hWnd, command, screen)) || !IsWindow())
        return;
    if (verb == "delete") {
        if (!path.empty() && !PathExists(WithoutTrailingBackslash(path)))
            DeleteItem(item);
    } else if (verb == "link") {
        RefreshFolder(GetParentItem(item));
    }
}

LRESULT CShellFolderTree::OnShellMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    LRESULT result = 0;
    if (!m_menuUp || !m_shellMenu.IsOpen() || !m_shellMenu.HandleMenuMessage(message, wParam, lParam, result)) {
        handled = FALSE;
        return 0;
    }
    return result;
}

void CShellFolderTree::RunCommand(HTREEITEM item, UINT command)
{
    const std::string path = GetItemPath(item);
    switch (command) {
    case kTreeExpand:
        Expand(item, TVE_EXPAND);
        break;
    case kTreeCollapse:
        Expand(item, TVE_COLLAPSE);
        break;
    case kTreeNewFolder:
        CreateNewFolder(item);
        break;
    case kTreeOpen:
        OpenItem(item);
        break;
    case kTreeOpenAll: {
        // Every file of the folder, in the order of the folder's listing.
        if (path.empty() || path.back() != '\\')
            break;
        WIN32_FIND_DATAA data = {};
        CFindHandle find(FindFirstFileA((path + "*.*").c_str(), &data));
        if (!find.IsValid())
            break;
        const CSettings* settings = GetSettings();
        const DWORD flags = settings && (settings->TabOpenFlags.value & TabOpenFlag::Favorites) ? DWORD{kOpenNewTab} : DWORD{0};
        size_t opened = 0;
        do {
            if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN))
                continue;
            const std::string url = ReadInternetShortcutUrl(path + data.cFileName);
            if (!url.empty())
                OpenUrlInFrame(m_hWnd, url.c_str(), flags);
        } while (++opened < kMaxFolderEntries && FindNextFileA(find.Get(), &data));
        break;
    }
    case kTreeRename:
        ::SendMessageA(m_hWnd, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item));
        break;
    case kTreeDelete: {
        if (path.empty() || path == m_root)
            break;
        std::string from = WithoutTrailingBackslash(path);
        from.push_back('\0');
        SHFILEOPSTRUCTA operation = {};
        operation.hwnd = m_hWnd;
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_ALLOWUNDO;
        SHFileOperationA(&operation);
        if (!PathExists(WithoutTrailingBackslash(path)))
            DeleteItem(item);
        break;
    }
    default:
        if (command >= kTreeShellFirst && command <= kTreeShellLast)
            RunShellCommand(item, command);
        break;
    }
}

void CShellFolderTree::ShowContextMenu(HTREEITEM item, POINT screen)
{
    HMENU menu = BuildContextMenu(item);
    if (!menu)
        return;
    m_menuUp = true;
    const UINT command = static_cast<UINT>(
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x, screen.y, m_hWnd, nullptr));
    m_menuUp = false;
    if (command && IsWindow())
        RunCommand(item, command);
    DestroyMenu(menu);
    m_shellMenu.Close();
}

std::string CShellFolderTree::GetInfoTip(HTREEITEM item)
{
    const std::string path = GetItemPath(item);
    if (path.empty() || path.back() == '\\')
        return {};
    const std::string url = ReadInternetShortcutUrl(path);
    return GetPathFileTitle(path) + "\n" + (url.empty() ? path : url);
}

LRESULT CShellFolderTree::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    HTREEITEM selected = GetSelectedItem();
    if ((wParam == VK_RETURN || wParam == VK_SPACE) && selected) {
        const std::string path = GetItemPath(selected);
        if (!path.empty() && path.back() == '\\')
            Expand(selected, TVE_TOGGLE);
        else
            OpenItem(selected);
        return 0;
    }
    if (wParam == VK_F5) {
        Refresh();
        return 0;
    }
    handled = FALSE;
    return 0;
}

LRESULT CShellFolderTree::OnRightButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    TVHITTESTINFO hit = {};
    hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HTREEITEM item = HitTest(&hit);
    if (!item)
        return 0;
    SelectItem(item);
    POINT screen = hit.pt;
    ClientToScreen(&screen);
    ShowContextMenu(item, screen);
    return 0;
}

bool CShellFolderTree::HandleNotify(const NMHDR* header, LRESULT& result)
{
    if (!header || header->hwndFrom != m_hWnd)
        return false;
    switch (header->code) {
    case TVN_ITEMEXPANDINGA: {
        const auto* view = reinterpret_cast<const NMTREEVIEWA*>(header);
        result = FALSE;
        if (m_busy)
            return true;
        if (view->action & TVE_EXPAND) {
            m_busy = true;
            FillFolder(view->itemNew.hItem, GetItemPath(view->itemNew.hItem));
            m_busy = false;
        }
        return true;
    }
    case TVN_ITEMEXPANDEDA: {
        const auto* view = reinterpret_cast<const NMTREEVIEWA*>(header);
        if ((view->action & TVE_COLLAPSE) && !m_busy) {
            // Collapsing empties the folder; it refills when it opens again.
            m_busy = true;
            DeleteChildren(view->itemNew.hItem);
            TVITEMA item = {};
            item.mask = TVIF_CHILDREN;
            item.hItem = view->itemNew.hItem;
            item.cChildren = 1;
            ::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            m_busy = false;
        }
        result = 0;
        return true;
    }
    case NM_DBLCLK: {
        HTREEITEM selected = GetSelectedItem();
        const std::string path = GetItemPath(selected);
        if (selected && !path.empty() && path.back() != '\\')
            OpenItem(selected);
        result = 0;
        return true;
    }
    case TVN_BEGINLABELEDITA:
        result = FALSE;
        return true;
    case TVN_ENDLABELEDITA: {
        const auto* edit = reinterpret_cast<const NMTVDISPINFOA*>(header);
        // FALSE: the tree keeps the old text; a successful rename refills the parent anyway.
        if (edit->item.pszText && edit->item.pszText[0])
            RenameEditedItem(edit->item.hItem, edit->item.pszText);
        result = FALSE;
        return true;
    }
    case TVN_GETINFOTIPA: {
        auto* tip = reinterpret_cast<NMTVGETINFOTIPA*>(const_cast<NMHDR*>(header));
        m_tip = GetInfoTip(tip->hItem);
        if (tip->pszText && tip->cchTextMax > 0)
            lstrcpynA(tip->pszText, m_tip.c_str(), tip->cchTextMax);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

HTREEITEM CShellFolderTree::GetDropItem(POINT screen, std::string& folder)
{
    TVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(&hit.pt);
    HTREEITEM item = HitTest(&hit);
    if (item && !(hit.flags & TVHT_ONITEM))
        item = nullptr;
    const std::string path = GetItemPath(item);
    if (item && !path.empty() && path.back() != '\\') {
        item = GetParentItem(item);  // a file stands for its folder
    }
    folder = item ? GetItemPath(item) : m_root;
    return item;
}

DWORD CShellFolderTree::DropData(IDataObject* data, DWORD keys, POINT screen, DWORD allowed)
{
    if (!data)
        return DROPEFFECT_NONE;
    std::string folder;
    HTREEITEM target = GetDropItem(screen, folder);
    if (folder.empty())
        return DROPEFFECT_NONE;
    // The files of the list that are there; a link without a title stands in a file list as its
    // URL text, which is taken as the link it is below.
    std::vector<TStdStr<char>> dropped;
    std::vector<std::string> files;
    bool listed = false;
    if (GetDataObjectFiles(data, dropped))
        for (const TStdStr<char>& file : dropped) {
            const std::string name = file.c_str();
            if (!PathExists(name))
                continue;
            listed = true;
            const std::string trimmed = WithoutTrailingBackslash(name);
            const std::string parent = trimmed.substr(0, trimmed.find_last_of('\\') + 1);
            // A file dropped onto its own folder, or a folder onto itself, does nothing.
            if (!FolderPathsEqual(parent, folder) && !FolderPathsEqual(name, folder))
                files.push_back(name);
        }
    if (listed) {
        DWORD effect = DropEffectFromKeyState(keys) & ~DROPEFFECT_SCROLL;
        if (effect == DROPEFFECT_MOVE && !(allowed & DROPEFFECT_MOVE))
            effect = DROPEFFECT_COPY;
        if (effect == DROPEFFECT_LINK || !(effect & allowed))
            return DROPEFFECT_NONE;
        if (files.empty() || !ShellCopyFiles(files, folder, effect == DROPEFFECT_MOVE))
            return DROPEFFECT_NONE;
        // Moved items leave their old place: the tree shows what is on the disk again.
        if (effect == DROPEFFECT_MOVE)
            Refresh();
        else
            RefreshFolder(target);
        return effect;
    }
    std::string url = GetDataObjectText(data, CF_TEXT).c_str();
    if (url.empty())
        url = GetDataObjectText(data, GetUrlClipboardFormat()).c_str();
    const std::string made = CreateDroppedShortcut(folder, url);
    if (made.empty())
        return DROPEFFECT_NONE;
    RefreshFolder(target);
    return (allowed & DROPEFFECT_LINK) ? DROPEFFECT_LINK : DROPEFFECT_COPY;
}
