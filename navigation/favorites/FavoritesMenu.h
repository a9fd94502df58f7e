#pragma once
// CFavoritesMenu: a folder of the file system as a cascade of popup menus, rebuilt from the disk
// each time its root opens (no cache of the tree): every subfolder a submenu, every file an item
// with its site's favicon (the favicon cache's index, registered with the command-image manager,
// list 5) and its address as the command's text, which the menu owner shows as tooltip.
//
// Lifetime: the owner holds the object as long as it holds the root menu; the owner destroys the
// root menu, the object destroys the submenus it made. The owner chains its window messages to
// ProcessWindowMessage and forwards every WM_INITMENUPOPUP to OnInitMenuPopup.
#include "navigation/favorites/FavoritesMenuOrder.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class CFavIconCache;

// What the menus read from the settings ("Config" SysFlags bit 0x20000, FavMenuBreakCount,
// MaxFavMenuWidth), taken at each rebuild.
struct CFavoritesMenuOptions {
    bool nameSort = false;
    int breakCount = 25;
    int maxWidth = 35;
};
CFavoritesMenuOptions ReadFavoritesMenuOptions();

// The display text of a path: its file title cut to `maxWidth` characters ("..." at the end; a
// width of 3 or less gives that many dots), with every "&" doubled when `escapeAmpersands`.
std::string MakeFavoritesDisplayText(const std::string& path, int maxWidth, bool escapeAmpersands = true);

class CFavoritesMenu {
public:
    enum EFlags : unsigned { kOpenAllItem = 1, kNoOpenAllSeparator = 2 };

    struct CItem {
        std::string text;  // the display text
        std::string path;  // full path; a folder's ends in "\"
        bool folder = false;
    };

    CFavoritesMenu(UINT insertPoint, std::string emptyText, UINT firstCommand, UINT lastCommand, std::string openAllText);
    virtual ~CFavoritesMenu();
    CFavoritesMenu(const CFavoritesMenu&) = delete;
    CFavoritesMenu& operator=(const CFavoritesMenu&) = delete;

    // Remembers the root menu, its fixed items (its count less the placeholder) and the placeholder's position.
    void Attach(HMENU menu);
    HMENU GetRootMenu() const { return m_root; }
    // Restores the root to its fixed items and the placeholder "Insert Point".
    void RemoveItems();
    // Rebuilds the root or a submenu the object made; every other menu is left alone.
    void OnInitMenuPopup(HMENU menu);
    // Answers WM_COMMAND of the range (not from controls), WM_MENUCHAR and WM_MENURBUTTONUP of its menus.
    bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void SetRootFolder(const std::string& folder) { m_rootFolder = folder; }
    const std::string& GetRootFolder() const { return m_rootFolder; }
    void SetFlags(unsigned flags) { m_flags = flags; }
    void SetRestartIds(bool restart) { m_restartIds = restart; }
    // Full paths that are not listed (the folder toolbar's visible buttons).
    std::vector<std::string>& GetExclusions() { return m_exclusions; }
    // Where the icons come from; the program's cache unless set (not owned).
    void SetFavIconCache(CFavIconCache* cache) { m_favIcons = cache; }
    // Item commands whose icon is still the placeholder 4 of a favicon being fetched; the owner
    // repaints them when the favicon cache delivers.
    const std::vector<UINT>& GetCommandsWaitingForIcon() const { return m_waitingForIcon; }
    // The path of an item command; empty when the id is not one of this menu's.
    std::string GetCommandPath(UINT command) const;

protected:
    struct CPendingItem {
        std::string path;
        bool folder = false;
        UINT command = 0;       // a file's command id
        HMENU submenu = nullptr;  // a folder's submenu (owned by the menu being built)
    };
    // The order of one folder's entries; the base sorts by name (folders first, upper-cased paths).
    virtual void SortItems(const std::string& folder, std::vector<CPendingItem>& items);
    // Opens an item; the base opens nothing.
    virtual void OpenItem(const std::string& path);
    virtual std::string MakeDisplayText(const std::string& path);
    // The menu-order sort the flavours share: by name when the options ask for it.
    void SortByMenuOrder(const std::string& folder, std::vector<CPendingItem>& items);

    CFavoritesMenuOptions m_options;

private:
    void BuildFolder(HMENU menu, const std::string& folder, int position);
    void RebuildSubmenu(HMENU menu);
    void EmptyMenu(HMENU menu);
    void SetItemIcon(const CPendingItem& item);
    LRESULT OnMenuChar(UINT character, UINT menuFlags, HMENU menu);
    const CItem* FindItem(HMENU menu, int position) const;

    unsigned m_flags = 0;
    HMENU m_root = nullptr;  // owned by the menu owner
    int m_fixedCount = 0;
    int m_insertPosition = 0;
    std::string m_rootFolder;
    std::string m_emptyText;
    std::string m_openAllText;
    UINT m_insertPoint = 0;
    UINT m_firstCommand = 0;
    UINT m_lastCommand = 0;
    UINT m_nextCommand = 0;
    bool m_restartIds = false;
    int m_depth = 0;  // folders being built below the one that opened
    std::map<UINT, std::string> m_commandPaths;
    std::map<HMENU, std::string> m_submenuFolders;
    std::vector<HMENU> m_createdMenus;  // the root and the submenus made here (destroyed with their parents)
    std::vector<std::string> m_exclusions;
    std::vector<std::unique_ptr<CItem>> m_items;
    std::map<UINT, const CItem*> m_commandItems;   // points into m_items
    std::map<HMENU, const CItem*> m_submenuItems;  // points into m_items
    std::vector<UINT> m_waitingForIcon;
    CFavIconCache* m_favIcons = nullptr;  // not owned
};

// The main frame's Favorites menu: the Favorites folder in menu order; an item opens the URL of its
// ".url" file in the frame of the owner window (the active window when none is set), in a new tab
// when TabOpenFlags has the favorites bit.
class CFrameFavoritesMenu : public CFavoritesMenu {
public:
    CFrameFavoritesMenu();
    void SetOwnerWindow(HWND window) { m_owner = window; }

protected:
    void SortItems(const std::string& folder, std::vector<CPendingItem>& items) override;
    void OpenItem(const std::string& path) override;

private:
    HWND m_owner = nullptr;  // not owned
};
