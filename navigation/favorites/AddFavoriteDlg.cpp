#include "navigation/favorites/AddFavoriteDlg.h"

#include "core/app/LanguageManager.h"
#include "core/system/MessageBoxes.h"
#include "navigation/favorites/FavoritesFolder.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace {

constexpr int kMaxFolderDepth = 8;
constexpr size_t kMaxFolders = 500;
constexpr int kMaxNameLength = 200;  // leaves room for the folder in a MAX_PATH path

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::vector<std::string> ListFavoriteFolders(const std::string& favoritesFolder)
{
    std::vector<std::string> folders;
    const std::string root = WithTrailingBackslash(favoritesFolder);
    if (root.empty())
        return folders;
    std::function<void(const std::string&, int)> add = [&](const std::string& folder, int depth) {
        folders.push_back(folder);
        if (depth >= kMaxFolderDepth)
            return;
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do {
            const std::string name = data.cFileName;
            // Links through reparse points could lead back up the tree.
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                name != "." && name != "..")
                names.push_back(name);
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
        for (const std::string& name : names) {
            if (folders.size() >= kMaxFolders)
                return;
            add(folder + name + "\\", depth + 1);
        }
    };
    add(root, 0);
    return folders;
}

std::string FavoriteNameForPage(const std::string& title, const std::string& url)
{
    std::string name = MakeFileNameSafe(Trimmed(title));
    if (Trimmed(name).empty())
        name = MakeFileNameSafe(Trimmed(url));
    if (name.size() > static_cast<size_t>(kMaxNameLength))
        name.resize(kMaxNameLength);
    return Trimmed(name);
}

CAddFavoriteResult AddFavorite(HWND owner, const std::string& favoritesFolder, const std::string& folder,
                               const std::string& name, const std::string& url, std::string* path)
{
    const std::string root = WithTrailingBackslash(favoritesFolder);
    const std::string target = WithTrailingBackslash(folder);
    // The folder is one the dialog listed: inside the favorites, without steps back up.
    if (root.empty() || target.size() < root.size() || !FolderPathsEqual(target.substr(0, root.size()), root) ||
        target.find("\\..\\") != std::string::npos || target.find("/") != std::string::npos)
        return CAddFavoriteResult::Failed;
    std::string safe = MakeFileNameSafe(Trimmed(name));
    if (safe.size() > static_cast<size_t>(kMaxNameLength))
        safe.resize(kMaxNameLength);
    safe = Trimmed(safe);
    if (safe.empty() || safe == "." || safe == "..")
        return CAddFavoriteResult::Failed;
    const std::string file = target + safe + ".url";
    if (::GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const std::string question =
            std::string(TranslateText("A favorite with this name already exists. Replace it?").c_str()) + "\n\n" + safe;
        if (GetMessageBoxes().Show(owner, question.c_str(), TranslateText("Add Favorite").c_str(),
                                   MB_YESNO | MB_ICONQUESTION) != IDYES)
            return CAddFavoriteResult::Cancelled;
    }
    if (!CreateInternetShortcut(file, url))
        return CAddFavoriteResult::Failed;
    if (path)
        *path = file;
    return CAddFavoriteResult::Added;
}

CAddFavoriteDlg::CAddFavoriteDlg(std::string favoritesFolder, std::string name)
    : m_favoritesFolder(WithTrailingBackslash(std::move(favoritesFolder))), m_name(std::move(name))
{
}

std::string CAddFavoriteDlg::ReadName() const
{
    char text[kMaxNameLength + 1] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_FAVORITE_NAME, text, sizeof(text));
    return Trimmed(text);
}

LRESULT CAddFavoriteDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (const CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    ::SendDlgItemMessageA(m_hWnd, IDC_FAVORITE_NAME, EM_LIMITTEXT, kMaxNameLength, 0);
    ::SetDlgItemTextA(m_hWnd, IDC_FAVORITE_NAME, m_name.c_str());
    m_folders = ListFavoriteFolders(m_favoritesFolder);
    const HWND folders = GetDlgItem(IDC_FAVORITE_FOLDER);
    for (const std::string& folder : m_folders) {
        // The favorites folder itself is "Favorites"; a subfolder shows its path below it.
        const std::string shown = folder.size() <= m_favoritesFolder.size()
                                      ? std::string(TranslateText("Favorites").c_str())
                                      : folder.substr(m_favoritesFolder.size(), folder.size() - m_favoritesFolder.size() - 1);
        ::SendMessageA(folders, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    }
    ::SendMessageA(folders, CB_SETCURSEL, 0, 0);
    ::EnableWindow(GetDlgItem(IDOK), !ReadName().empty() && !m_folders.empty());
    return TRUE;
}

LRESULT CAddFavoriteDlg::OnNameChange(WORD, WORD, HWND, BOOL&)
{
    ::EnableWindow(GetDlgItem(IDOK), !ReadName().empty() && !m_folders.empty());
    return 0;
}

LRESULT CAddFavoriteDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    const std::string name = ReadName();
    const LRESULT chosen = ::SendDlgItemMessageA(m_hWnd, IDC_FAVORITE_FOLDER, CB_GETCURSEL, 0, 0);
    if (name.empty() || chosen < 0 || static_cast<size_t>(chosen) >= m_folders.size())
        return 0;
    m_name = name;
    m_folder = m_folders[static_cast<size_t>(chosen)];
    EndDialog(IDOK);
    return 0;
}

LRESULT CAddFavoriteDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}
