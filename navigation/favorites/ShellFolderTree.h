#pragma once
// CShellFolderTree: a tree view ("SysTreeView32" underneath) over a folder of the file system and
// everything below it (the Favorites, the History): a folder is filled when it is expanded and
// emptied when it collapses; items are opened, renamed in place, given new folders, deleted, and
// take drops (dropped files are copied or moved, dropped links become Internet shortcuts).
// The kind (EShellTreeKind) chooses the root, the sort and how an item opens, as the pane that
// hosts the tree asks. The host forwards the tree's WM_NOTIFY to HandleNotify.
//
// Lifetime: the hosting pane holds the object and destroys the window with its own; the drop
// target is registered at creation and revoked at WM_DESTROY.
#include "navigation/favorites/FavoritesMenu.h"
#include "navigation/favorites/ShellItemMenu.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

#include <oleidl.h>

#include <string>
#include <vector>

class CFavIconCache;

enum class EShellTreeKind : unsigned {
    Favorites = 0x20000,  // the Favorites folder, menu order, ".url" files open their URL
    History = 0x200000,   // the History folder, the shell's order, new tab by TabOpenFlags 0x10
};

// The commands of the tree's context menu (the pane's own ids, below the shell's range, which
// starts at kTreeShellFirst).
enum EShellTreeCommand : UINT {
    kTreeExpand = 1,
    kTreeCollapse = 2,
    kTreeNewFolder = 3,
    kTreeOpen = 4,
    kTreeOpenAll = 10,
    kTreeRename = 11,
    kTreeDelete = 12,
    kTreeShellFirst = 100,
    kTreeShellLast = 0x7FFF,
};

class CShellFolderTree : public CWindowImpl<CShellFolderTree, CTreeViewCtrl> {
public:
    // Posted to itself after a label edit renamed an item: the item's folder is refilled.
    static constexpr UINT kRefillAfterRenameMessage = WM_APP + 0x41;

    DECLARE_WND_SUPERCLASS("_ShellFolderTree", WC_TREEVIEWA)

    // The root folder is the kind's unless set; icons from the program's cache unless given (not owned).
    explicit CShellFolderTree(EShellTreeKind kind, CFavIconCache* icons = nullptr);
    ~CShellFolderTree() override;
    CShellFolderTree(const CShellFolderTree&) = delete;
    CShellFolderTree& operator=(const CShellFolderTree&) = delete;

    HWND Create(HWND parent, UINT id);
    void SetRootFolder(const std::string& folder);
    const std::string& GetRootFolder() const { return m_root; }

    // Refills the whole tree from the root.
    void Refresh();
    // Refills one folder item (the whole tree for null), keeping it expanded.
    void RefreshFolder(HTREEITEM item);
    // The full path of an item (a folder's ends in "\"); empty for null.
    std::string GetItemPath(HTREEITEM item) const;
    HTREEITEM FindChild(HTREEITEM parent, const std::string& text) const;
    // Opens a file item as the kind says.
    void OpenItem(HTREEITEM item);
    // Makes "New Folder" (then " (2)", " (3)", ...) below the item and starts editing its label.
    HTREEITEM CreateNewFolder(HTREEITEM item);
    // Gives the item a new name (a file keeps its extension); false when the file system refuses.
    bool RenameItem(HTREEITEM item, const std::string& text);
    // The context menu of the item (the caller destroys it) and its commands. A folder has the
    // tree's own menu; a file has the tree's opening and new folder, then the shell's own items
    // for the file, recognised by their verbs: the shell's "rename" edits the label in place, its
    // "delete" also takes the item out once the file is gone, its "link" refills the folder; the
    // tree's own rename and delete stand in when the shell offers none. The shell's part lives
    // until the next menu is built.
    HMENU BuildContextMenu(HTREEITEM item);
    void RunCommand(HTREEITEM item, UINT command);
    // The command of the last built menu that carries the shell's verb; 0 when none.
    UINT FindShellCommand(HMENU menu, const char* verb) const { return m_shellMenu.FindVerb(menu, verb); }
    void ShowContextMenu(HTREEITEM item, POINT screen);
    // The info tip of a file item: its label, a line feed and its URL; none for folders.
    std::string GetInfoTip(HTREEITEM item);

    // A drop at the screen point: files are copied or moved (by the keys and what the source
    // allows) into the folder under the point, a dropped text or URL becomes "New Item.url" there.
    // Answers the effect carried out.
    DWORD DropData(IDataObject* data, DWORD keys, POINT screen, DWORD allowed);
    // The folder a drop at the point goes to: a folder item, a file item's folder, else the root.
    HTREEITEM GetDropItem(POINT screen, std::string& folder);

    // The tree's notifications (the host forwards its WM_NOTIFY); true when handled.
    bool HandleNotify(const NMHDR* header, LRESULT& result);

    BEGIN_MSG_MAP(CShellFolderTree)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_RBUTTONUP, OnRightButtonUp)
        MESSAGE_HANDLER(kRefillAfterRenameMessage, OnRefillAfterRename)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnShellMenuMessage)
        MESSAGE_HANDLER(WM_DRAWITEM, OnShellMenuMessage)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnShellMenuMessage)
        MESSAGE_HANDLER(WM_MENUCHAR, OnShellMenuMessage)
    END_MSG_MAP()

private:
    class CDropTarget;
    struct CEntry {
        std::string path;
        std::string text;
        bool folder = false;
    };

    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnRightButtonUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnShellMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnRefillAfterRename(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    bool RenameOnDisk(HTREEITEM item, const std::string& text, std::string& renamed) const;
    void RenameEditedItem(HTREEITEM item, const std::string& text);
    HTREEITEM FindItemByPath(HTREEITEM parent, const std::string& path, int depth) const;
    void RunShellCommand(HTREEITEM item, UINT command);
    void AddShellItems(HMENU menu, const std::string& path);
    void FillFolder(HTREEITEM parent, const std::string& folder);
    void SortEntries(const std::string& folder, std::vector<CEntry>& entries);
    HTREEITEM InsertEntry(HTREEITEM parent, const CEntry& entry, HTREEITEM after = TVI_LAST);
    void DeleteChildren(HTREEITEM item);
    int GetImage(const CEntry& entry, bool open);

    EShellTreeKind m_kind;
    std::string m_root;
    std::vector<std::string> m_paths;  // item data: index + 1 into this list (paths are never removed)
    bool m_busy = false;
    CFavIconCache* m_icons = nullptr;     // not owned
    CDropTarget* m_dropTarget = nullptr;  // one reference held while registered
    std::string m_tip;
    CShellItemMenu m_shellMenu;  // the shell's part of the last menu built
    bool m_menuUp = false;       // a context menu is being tracked
    std::string m_refillAfterRename;  // the folder a posted refill is for
};

// The History folder: the shell's History folder; empty when there is none.
std::string GetHistoryFolder();
// Text (CF_TEXT, else "UniformResourceLocator") dropped on a folder becomes "New Item.url" there,
// or "New Item (2).url" and so on when the name is taken; the path made, empty on failure.
std::string CreateDroppedShortcut(const std::string& folder, const std::string& url);
