#include "navigation/favorites/FavoritesMenu.h"

#include "controls/CommandImageManager.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/system/OpenUrl.h"
#include "navigation/FavIconCache.h"
#include "navigation/favorites/FavoritesFolder.h"
#include "navigation/favorites/FavoritesResources.h"
#include "platform/AtlBase.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cctype>

namespace {

// SysFlags: sort the favorites by name instead of the system's menu order.
constexpr DWORD kSysFlagFavoritesByName = 0x20000;
// The favicon cache's image list in the command-image manager.
constexpr unsigned kFavIconImageSet = 5;
constexpr unsigned kFolderIcon = 5;
constexpr char kInsertPointText[] = "Insert Point";
// WM_MENUCHAR answers (high word): execute the item, select it.
constexpr LRESULT kMenuCharExecute = 2;
constexpr LRESULT kMenuCharSelect = 3;
// The answer for Enter without a match: close the menu quietly rather than beep.
constexpr LRESULT kMenuCharEnterAnswer = 0x10001;
// The most entries listed from one folder; a folder with more is cut there (the command range
// bounds the files, this bounds the folders too).
constexpr size_t kMaxFolderEntries = 4096;
// The deepest folder built: a folder link that leads back into the tree would otherwise be built
// without end, and the system refuses a popup whose nesting is too deep (Wine's limit is 30
// levels: a deeper submenu is not inserted, which empties every level above it).
constexpr int kMaxFolderDepth = 16;

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

CFavoritesMenuOptions ReadFavoritesMenuOptions()
{
    CFavoritesMenuOptions options;
    if (const CSettings* settings = GetSettings()) {
        options.nameSort = (settings->SysFlags & kSysFlagFavoritesByName) != 0;
        options.breakCount = settings->FavMenuBreakCount.value;
        options.maxWidth = settings->MaxFavMenuWidth.value;
    }
    return options;
}

std::string MakeFavoritesDisplayText(const std::string& path, int maxWidth, bool escapeAmpersands)
{
    std::string text = GetPathFileTitle(path);
    if (static_cast<int>(text.size()) > maxWidth) {
        if (maxWidth <= 3) {
            text.assign(static_cast<size_t>(std::max(maxWidth, 0)), '.');
        } else {
            size_t keep = static_cast<size_t>(maxWidth - 3);
            // Do not leave the lead byte of a double-byte character without its trail byte.
            size_t at = 0;
            while (at < keep)
                at += IsDBCSLeadByte(static_cast<BYTE>(text[at])) ? 2 : 1;
            if (at > keep)
                --keep;
            text = text.substr(0, keep) + "...";
        }
    }
    if (escapeAmpersands) {
        std::string escaped;
        for (char c : text) {
            escaped += c;
            if (c == '&')
                escaped += '&';
        }
        text = escaped;
    }
    return text;
}

CFavoritesMenu::CFavoritesMenu(UINT insertPoint, std::string emptyText, UINT firstCommand, UINT lastCommand,
                               std::string openAllText)
    : m_emptyText(std::move(emptyText)), m_openAllText(std::move(openAllText)), m_insertPoint(insertPoint),
      m_firstCommand(firstCommand), m_lastCommand(lastCommand), m_nextCommand(firstCommand)
{
}

CFavoritesMenu::~CFavoritesMenu()
{
    // The submenus hang in the root, which the owner destroys with them; a root that is gone
    // already took them along.
}

void CFavoritesMenu::Attach(HMENU menu)
{
    m_root = menu;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    m_fixedCount = std::max(count - 1, 0);
    m_insertPosition = m_fixedCount;
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(menu, i) == m_insertPoint) {
            m_insertPosition = i;
            break;
        }
}

std::string CFavoritesMenu::GetCommandPath(UINT command) const
{
    const auto found = m_commandPaths.find(command);
    return found == m_commandPaths.end() ? std::string() : found->second;
}

void CFavoritesMenu::EmptyMenu(HMENU menu)
{
    while (GetMenuItemCount(menu) > 0) {
        if (HMENU sub = GetSubMenu(menu, 0)) {
            EmptyMenu(sub);
            m_createdMenus.erase(std::remove(m_createdMenus.begin(), m_createdMenus.end(), sub), m_createdMenus.end());
            m_submenuFolders.erase(sub);
            m_submenuItems.erase(sub);
        }
        // DeleteMenu destroys the submenu of the item with it.
        if (!DeleteMenu(menu, 0, MF_BYPOSITION))
            break;
    }
}

void CFavoritesMenu::RemoveItems()
{
    if (!m_root || !IsMenu(m_root))
        return;
    while (GetMenuItemCount(m_root) > m_fixedCount) {
        if (HMENU sub = GetSubMenu(m_root, m_insertPosition)) {
            EmptyMenu(sub);
            m_createdMenus.erase(std::remove(m_createdMenus.begin(), m_createdMenus.end(), sub), m_createdMenus.end());
            m_submenuFolders.erase(sub);
            m_submenuItems.erase(sub);
        }
        if (!DeleteMenu(m_root, m_insertPosition, MF_BYPOSITION))
            break;
    }
    InsertMenuA(m_root, m_insertPosition, MF_BYPOSITION | MF_STRING, m_insertPoint, kInsertPointText);
}

void CFavoritesMenu::OnInitMenuPopup(HMENU menu)
{
    if (m_rootFolder.empty() || !menu)
        return;
    m_options = ReadFavoritesMenuOptions();
    if (menu == m_root) {
        if (std::find(m_createdMenus.begin(), m_createdMenus.end(), m_root) == m_createdMenus.end())
            m_createdMenus.push_back(m_root);
        RemoveItems();
        DeleteMenu(m_root, m_insertPoint, MF_BYCOMMAND);
        if (m_restartIds) {
            // Every item of the last build is gone with its menu, so its records go too.
            m_nextCommand = m_firstCommand;
            m_commandPaths.clear();
            m_commandItems.clear();
            m_submenuItems.clear();
            m_items.clear();
        }
        m_waitingForIcon.clear();
        BuildFolder(m_root, WithTrailingBackslash(m_rootFolder), m_insertPosition);
        return;
    }
    if (std::find(m_createdMenus.begin(), m_createdMenus.end(), menu) != m_createdMenus.end())
        RebuildSubmenu(menu);
}

void CFavoritesMenu::RebuildSubmenu(HMENU menu)
{
    EmptyMenu(menu);
    const auto found = m_submenuFolders.find(menu);
    if (found != m_submenuFolders.end())
        BuildFolder(menu, found->second, 0);
}

void CFavoritesMenu::BuildFolder(HMENU menu, const std::string& folder, int position)
{
    int column = position;
    const bool exists = (GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                        GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES;
    if ((m_flags & kOpenAllItem) && exists) {
        const UINT command = ++m_nextCommand;
        if (command < m_lastCommand)
            m_commandPaths[command] = folder;
        InsertMenuA(menu, position++, MF_BYPOSITION | MF_STRING, command, m_openAllText.c_str());
        ++column;
        if (!(m_flags & kNoOpenAllSeparator))
            InsertMenuA(menu, position++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    }

    std::vector<CPendingItem> pending;
    WIN32_FIND_DATAA data = {};
    CFindHandle find(FindFirstFileA((folder + "*.*").c_str(), &data));
    if (find.IsValid()) {
        do {
            const std::string name = data.cFileName;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) || name == "." || name == ".." || name.empty())
                continue;
            const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            CPendingItem item;
            item.folder = isFolder;
            item.path = folder + name + (isFolder ? "\\" : "");
            if (std::find(m_exclusions.begin(), m_exclusions.end(), item.path) != m_exclusions.end())
                continue;
            if (isFolder) {
                if (m_depth >= kMaxFolderDepth)
                    continue;
                item.submenu = CreatePopupMenu();
                if (!item.submenu)
                    continue;
                m_submenuFolders[item.submenu] = item.path;
                m_createdMenus.push_back(item.submenu);
                ++m_depth;
                RebuildSubmenu(item.submenu);
                --m_depth;
            } else {
                item.command = ++m_nextCommand;
                if (item.command >= m_lastCommand)
                    continue;  // beyond the range: dropped without a message
            }
            pending.push_back(std::move(item));
        } while (pending.size() < kMaxFolderEntries && FindNextFileA(find.Get(), &data));
    }

    SortItems(folder, pending);

    if (pending.empty()) {
        InsertMenuA(menu, position, MF_BYPOSITION | MF_STRING | MF_GRAYED | MF_DISABLED, 0, m_emptyText.c_str());
        return;
    }
    const int breakCount = std::max(m_options.breakCount, 1);
    for (CPendingItem& item : pending) {
        auto record = std::make_unique<CItem>();
        record->path = item.path;
        record->folder = item.folder;
        record->text = MakeDisplayText(item.path);
        UINT flags = MF_BYPOSITION | MF_STRING;
        if (++column > breakCount) {
            column = 0;
            flags |= MF_MENUBARBREAK;
            ++column;
        }
        bool inserted = false;
        if (item.folder) {
            inserted = InsertMenuA(menu, position, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(item.submenu),
                                   record->text.c_str()) != FALSE;
            if (inserted)
                m_submenuItems[item.submenu] = record.get();
            else
                DestroyMenu(item.submenu);  // not in a menu, so nothing else would
        } else {
            inserted = InsertMenuA(menu, position, flags, item.command, record->text.c_str()) != FALSE;
            if (inserted) {
                m_commandPaths[item.command] = item.path;
                m_commandItems[item.command] = record.get();
            }
        }
        if (!inserted)
            continue;
        ++position;
        SetItemIcon(item);
        m_items.push_back(std::move(record));
    }
}

void CFavoritesMenu::SetItemIcon(const CPendingItem& item)
{
    CCommandImageManager* images = GetCommandImageManager();
    if (item.folder) {
        // The submenu handle stands for the item's id, as the owner-drawn menu looks it up.
        if (images)
            images->SetCommandIcon(kFolderIcon, static_cast<UINT>(reinterpret_cast<UINT_PTR>(item.submenu)), kFavIconImageSet);
        return;
    }
    const std::string url = ReadInternetShortcutUrl(item.path);
    CFavIconCache* cache = m_favIcons ? m_favIcons : GetFavIconCache();
    const int icon = cache ? cache->GetIconIndex(GetFavIconKey(url)) : kDefaultPageIcon;
    if (images) {
        images->SetCommandIcon(static_cast<unsigned>(icon), item.command, kFavIconImageSet);
        images->SetCommandText(item.command, url.c_str());
    }
    if (icon == kDefaultPageIcon)
        m_waitingForIcon.push_back(item.command);
}

void CFavoritesMenu::SortItems(const std::string& /*folder*/, std::vector<CPendingItem>& items)
{
    std::stable_sort(items.begin(), items.end(), [](const CPendingItem& a, const CPendingItem& b) {
        if (a.folder != b.folder)
            return a.folder;
        return Upper(a.path) < Upper(b.path);
    });
}

void CFavoritesMenu::SortByMenuOrder(const std::string& folder, std::vector<CPendingItem>& items)
{
    if (m_options.nameSort) {
        CFavoritesMenu::SortItems(folder, items);
        return;
    }
    CFavoritesOrderMap order;
    ReadFavoritesMenuOrder(order, folder);
    std::stable_sort(items.begin(), items.end(), [&order](const CPendingItem& a, const CPendingItem& b) {
        return MenuOrderLess(order, GetPathFileName(a.path), a.folder, GetPathFileName(b.path), b.folder);
    });
}

void CFavoritesMenu::OpenItem(const std::string& /*path*/) {}

std::string CFavoritesMenu::MakeDisplayText(const std::string& path)
{
    return MakeFavoritesDisplayText(path, m_options.maxWidth);
}

const CFavoritesMenu::CItem* CFavoritesMenu::FindItem(HMENU menu, int position) const
{
    if (HMENU sub = GetSubMenu(menu, position)) {
        const auto found = m_submenuItems.find(sub);
        return found == m_submenuItems.end() ? nullptr : found->second;
    }
    const UINT id = GetMenuItemID(menu, position);
    const auto found = m_commandItems.find(id);
    return found == m_commandItems.end() ? nullptr : found->second;
}

LRESULT CFavoritesMenu::OnMenuChar(UINT character, UINT menuFlags, HMENU menu)
{
    const LRESULT none = character == VK_RETURN ? kMenuCharEnterAnswer : 0;
    if (!(menuFlags & MF_POPUP) || !menu)
        return none;
    const int count = GetMenuItemCount(menu);
    int highlighted = -1;
    for (int i = 0; i < count; ++i)
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_HILITE) {
            highlighted = i;
            break;
        }
    const char typed = Lower(static_cast<char>(character));
    int first = -1;
    int matches = 0;
    for (int step = 1; step <= count; ++step) {
        const int position = (highlighted + step) % count;
        if (GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR)
            continue;
        const CItem* item = FindItem(menu, position);
        if (!item || item->text.empty())
            continue;
        const size_t amp = item->text.find('&');
        const char mnemonic = amp != std::string::npos && amp + 1 < item->text.size() ? item->text[amp + 1] : item->text[0];
        if (Lower(mnemonic) != typed)
            continue;
        if (++matches == 1)
            first = position;
        else
            break;
    }
    if (matches == 0)
        return none;
    return MAKELRESULT(first, matches == 1 ? kMenuCharExecute : kMenuCharSelect);
}

bool CFavoritesMenu::ProcessWindowMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        if (lParam != 0 || id < m_firstCommand || id > m_lastCommand)
            return false;
        const std::string path = GetCommandPath(id);
        if (!path.empty())
            OpenItem(path);
        result = 0;
        return true;
    }
    case WM_MENUCHAR: {
        HMENU menu = reinterpret_cast<HMENU>(lParam);
        if (std::find(m_createdMenus.begin(), m_createdMenus.end(), menu) == m_createdMenus.end())
            return false;
        result = OnMenuChar(LOWORD(wParam), HIWORD(wParam), menu);
        return true;
    }
    case WM_MENURBUTTONUP: {
        HMENU menu = reinterpret_cast<HMENU>(lParam);
        if (std::find(m_createdMenus.begin(), m_createdMenus.end(), menu) == m_createdMenus.end())
            return false;
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

CFrameFavoritesMenu::CFrameFavoritesMenu()
    : CFavoritesMenu(kFavoritesMenuInsertPoint, TranslateText("(empty)").c_str(), kFavoritesMenuFirstCommand,
                     kFavoritesMenuLastCommand, TranslateText("Open All of these").c_str())
{
    SetRootFolder(GetFavoritesFolder());
    // Without restarting, each opening takes new ids, and after some openings of a large tree
    // the range is used up and the items beyond it silently vanish from the menu.
    SetRestartIds(true);
}

void CFrameFavoritesMenu::SortItems(const std::string& folder, std::vector<CPendingItem>& items)
{
    SortByMenuOrder(folder, items);
}

void CFrameFavoritesMenu::OpenItem(const std::string& path)
{
    const std::string url = ReadInternetShortcutUrl(path);
    HWND window = m_owner && IsWindow(m_owner) ? m_owner : GetActiveWindow();
    if (url.empty() || !window)
        return;
    const CSettings* settings = GetSettings();
    const DWORD flags = settings && (settings->TabOpenFlags.value & TabOpenFlag::Favorites) ? DWORD{kOpenNewTab} : DWORD{0};
    OpenUrlInFrame(window, url.c_str(), flags);
}
