#pragma once
// Add to Favorites: the system's Add Favorite dialog is not there on every system (Wine has none),
// so the program asks itself. "Add Favorite" (dialog 19220) takes the name the favorite is kept
// under (the page's title, made safe as a file name) and the folder of the favorites it goes into;
// AddFavorite then writes the Internet shortcut there, never outside the favorites folder, and asks
// before it replaces a favorite of that name.
//
// Lifetime: the dialog is held by its caller for DoModal. UI thread only.
#include "navigation/NavigationResources.h"
#include "platform/AtlWin.h"

#include <string>
#include <vector>

// The folders a new favorite can go into: the favorites folder itself first, then its subfolders,
// each before its own subfolders, by name; every path with a trailing "\". Bounded (depth and
// count), so a huge or looping tree cannot hold the dialog up.
std::vector<std::string> ListFavoriteFolders(const std::string& favoritesFolder);

// The name a page is offered under: its title made safe as a file name, or its address when it
// has no usable title.
std::string FavoriteNameForPage(const std::string& title, const std::string& url);

enum class CAddFavoriteResult { Added, Cancelled, Failed };

// Writes "<folder><name>.url" for the URL. `folder` must lie inside `favoritesFolder`; a name with
// path parts or characters a file name cannot hold is made safe first. An existing favorite of the
// name is replaced only when the user agrees (a message box over `owner`). The path written into
// *path on success.
CAddFavoriteResult AddFavorite(HWND owner, const std::string& favoritesFolder, const std::string& folder,
                               const std::string& name, const std::string& url, std::string* path = nullptr);

class CAddFavoriteDlg : public CDialogImpl<CAddFavoriteDlg> {
public:
    enum { IDD = IDD_ADD_FAVORITE };
    CAddFavoriteDlg(std::string favoritesFolder, std::string name);
    CAddFavoriteDlg(const CAddFavoriteDlg&) = delete;
    CAddFavoriteDlg& operator=(const CAddFavoriteDlg&) = delete;

    // What OK took: the name (trimmed) and the chosen folder (with a trailing "\").
    const std::string& GetName() const { return m_name; }
    const std::string& GetFolder() const { return m_folder; }

    BEGIN_MSG_MAP(CAddFavoriteDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(IDC_FAVORITE_NAME, EN_CHANGE, OnNameChange)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNameChange(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnOk(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnCancel(WORD code, WORD id, HWND control, BOOL& handled);
    std::string ReadName() const;

    std::string m_favoritesFolder;
    std::string m_name;
    std::string m_folder;
    std::vector<std::string> m_folders;
};
