#pragma once
// Where the favorites live and how an Internet shortcut is written: the Favorites folder reached
// through one replaceable service (tests point it at a scratch folder with
// CScopedFavoritesFolder, so no test reads or writes a real user's favorites), and the small file
// helpers the favorites menu, the Links bar and the link drag-out share.
#include <string>

class IFavoritesFolder {
public:
    virtual ~IFavoritesFolder() = default;
    // The Favorites folder with a trailing "\"; empty when there is none.
    virtual std::string GetFavoritesFolder() = 0;
};

// The current service (the shell's Favorites folder unless a test replaced it).
IFavoritesFolder& GetFavoritesFolderService();
// The current Favorites folder with a trailing "\"; empty when there is none.
std::string GetFavoritesFolder();

// Replaces the Favorites folder by `folder` for its own scope and restores the previous service.
class CScopedFavoritesFolder : public IFavoritesFolder {
public:
    explicit CScopedFavoritesFolder(std::string folder);
    ~CScopedFavoritesFolder() override;
    CScopedFavoritesFolder(const CScopedFavoritesFolder&) = delete;
    CScopedFavoritesFolder& operator=(const CScopedFavoritesFolder&) = delete;
    std::string GetFavoritesFolder() override { return m_folder; }

private:
    std::string m_folder;
    IFavoritesFolder* m_previous = nullptr;  // not owned; the service that was current before
};

// The path with exactly one trailing "\" (an empty path stays empty).
std::string WithTrailingBackslash(std::string path);
// Both paths name the same folder: compared with a trailing "\" and in lower case.
bool FolderPathsEqual(const std::string& a, const std::string& b);
// The name after the last "\", or the folder's own name for a path that ends in "\".
std::string GetPathFileName(const std::string& path);
// The file title: the file name without its extension; a folder's own name for a path ending in "\".
std::string GetPathFileTitle(const std::string& path);
// The text usable as a file name: characters a file name cannot hold (control characters and
// \ / : * ? " < > |) become "_"; trailing dots and blanks are dropped.
std::string MakeFileNameSafe(const std::string& text);

// Writes an Internet shortcut (".url" file, section "InternetShortcut", value "URL") for the URL;
// false when the URL is empty or holds a line break, or the file cannot be written.
bool CreateInternetShortcut(const std::string& path, const std::string& url);
// The URL of an Internet shortcut; empty when the file holds none (a missing, foreign or damaged
// file included). The value is bounded to the longest URL the program takes.
std::string ReadInternetShortcutUrl(const std::string& path);
