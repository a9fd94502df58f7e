#pragma once
// CFolderToolBar: a toolbar ("ToolbarWindow32" underneath) that shows the entries of one folder as
// buttons: a subfolder button drops down a favorites menu of that subfolder, a file button opens the
// entry, buttons that do not fit are reached through the band's chevron (the owner forwards
// RBN_CHEVRONPUSHED to OnChevronPushed). A CFolderChangeWatcher rebuilds the buttons whenever a
// name changes in the folder. The toolbar is its own notification window (TB_SETPARENT), so its
// button commands and tooltip requests reach it whatever window hosts it.
//
// CLinksBar: the Links bar band of the main frame over the Links folder of the Favorites (or the
// folder the options choose), with site icons on its buttons, a fixed first button (19700) and
// its own drop target: files dropped on it are copied, moved or linked into its folder or into the
// folder button under the cursor; a link dragged out of the program (CLinkDataObject) arrives as
// the file list of its Internet shortcut and becomes a favorite.
//
// Lifetime: the owner holds the object and destroys the window before it; the watcher runs from
// WM_CREATE to WM_DESTROY and the drop target is revoked at WM_DESTROY.
#include "core/system/ShellItems.h"
#include "navigation/favorites/FavoritesMenu.h"
#include "navigation/favorites/FolderChangeWatcher.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

#include <oleidl.h>

#include <map>
#include <string>
#include <vector>

class CFavIconCache;

class CFolderToolBar : public CWindowImpl<CFolderToolBar, CToolBarCtrl> {
public:
    DECLARE_WND_SUPERCLASS("_FolderToolBar", TOOLBARCLASSNAMEA)

    struct CEntry {
        std::string path;  // full path; a folder's ends in "\"
        std::string name;  // the file name
        bool folder = false;
    };
    struct CButton {
        TBBUTTON button = {};
        CEntry entry;
        std::string text;
    };

    CFolderToolBar(UINT insertPoint, UINT firstCommand, UINT lastCommand, bool fixedFirstButton, const bool* rootFlag);
    ~CFolderToolBar() override;
    CFolderToolBar(const CFolderToolBar&) = delete;
    CFolderToolBar& operator=(const CFolderToolBar&) = delete;

    HWND Create(HWND parent, UINT id);
    void SetFolderPath(const std::string& folder);
    const std::string& GetFolderPath() const { return m_folder; }
    // Rebuilds every button from the folder.
    void Populate();
    // The entry of a button command; null when the id is not one of the entries.
    const CEntry* GetEntry(UINT command) const;
    // The paths of the buttons that show in the client area (the fixed first button aside).
    std::vector<std::string> GetVisiblePaths() const;
    // The chevron's menu: the folder's entries that the bar has no room for (the root is the
    // folder toolbar's own popup; the caller tracks it).
    HMENU BuildChevronMenu();
    void OnChevronPushed(const RECT& chevronScreen);
    // The tooltip of a button: the display name, a line feed and the shortened URL.
    std::string GetTooltipText(UINT command);
    // Opens a folder button's menu or a file button's entry.
    void OnButton(UINT command);

    BEGIN_MSG_MAP(CFolderToolBar)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(GetFileNotificationMessage(), OnFileNotification)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnButtonDown)
        MESSAGE_HANDLER(WM_RBUTTONDOWN, OnButtonDown)
        if (m_menu.ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))
            return TRUE;
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    END_MSG_MAP()

protected:
    // The hooks of the flavours.
    virtual void AfterCreate() {}
    virtual void BeforeDestroy() {}
    virtual void OpenEntry(const std::string& /*path*/) {}
    // Icons and order of the buttons after the fixed first one; the base sorts by name.
    virtual void PrepareButtons(std::vector<CButton>& buttons);
    // Watches the current folder (after SetFolderPath changed it).
    void RestartWatcher();
    // Gives the bar's rebar band the bar's size.
    void UpdateBandSize();

    std::string m_toolTip;
    CFavoritesMenuOptions m_options;
    bool m_fixedFirstButton = false;
    const bool* m_rootFlag = nullptr;  // not owned: the owner's flag that the folder is the Favorites

private:
    class CToolbarMenu : public CFavoritesMenu {
    public:
        CToolbarMenu(CFolderToolBar& bar, UINT insertPoint);

    protected:
        void SortItems(const std::string& folder, std::vector<CPendingItem>& items) override { SortByMenuOrder(folder, items); }
        void OpenItem(const std::string& path) override { m_bar.OpenEntry(path); }

    private:
        CFolderToolBar& m_bar;
    };

    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnFileNotification(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCommand(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNotify(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void TrackMenu(HMENU menu, POINT at);

    std::string m_folder;  // with a trailing "\"
    std::map<UINT, CEntry> m_entries;
    UINT m_firstCommand = 0;
    UINT m_lastCommand = 0;
    UINT m_nextCommand = 0;
    UINT m_insertPoint = 0;
    CMenu m_popup;
    CToolbarMenu m_menu;
    CFolderChangeWatcher m_watcher;
};

class CLinksBar : public CFolderToolBar {
public:
    // The folder is the LinksBarDefaultFolder setting below the Favorites; icons from the program's
    // favicon cache unless given (not owned).
    explicit CLinksBar(CFavIconCache* icons = nullptr);
    ~CLinksBar() override;

    // Recomputes the root flag, repopulates and resizes the band.
    void Rebuild();
    bool IsRoot() const { return m_root; }

    // A drop at the screen point: the files of the data object are copied, moved or linked into
    // the folder button under the point, else into the bar's folder. Answers the effect carried
    // out (DROPEFFECT_NONE when nothing was done); data without a file list adds nothing.
    DWORD DropData(IDataObject* data, DWORD keys, POINT screen, DWORD allowed);
    // The folder a drop at the screen point goes to.
    std::string GetDropFolder(POINT screen);

protected:
    void AfterCreate() override;
    void BeforeDestroy() override;
    void OpenEntry(const std::string& path) override;
    void PrepareButtons(std::vector<CButton>& buttons) override;

private:
    class CDropTarget;
    bool m_root = false;
    CFavIconCache* m_icons = nullptr;     // not owned
    CDropTarget* m_dropTarget = nullptr;  // one reference held while registered
};

// The Links bar's folder: the LinksBarDefaultFolder setting taken below the Favorites folder when
// it is a relative name, as it is when it is a full path.
std::string GetLinksBarFolder();
// Copies or moves files into a folder with one shell operation (the sources as a double-zero
// list, undo allowed, no confirmation for the made folder); true when the shell reports success.
bool ShellCopyFiles(const std::vector<std::string>& files, const std::string& folder, bool move);
