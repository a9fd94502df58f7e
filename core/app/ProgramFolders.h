#pragma once
// The program's folders: everything lives beside the executable. Configuration files it mostly
// reads are in "config\" (with a subfolder per interface language and a "defaults\" subfolder),
// the files it writes in "appdata\". Beside them: the look-up of configuration files, bitmaps and
// icons in that order, and the start-sites list.
//
// "StartSites" file (archive items): a 32-bit header written as 10 and ignored when read, the URL
// count (32-bit), then each URL as a string.
#include "core/library/StdStr.h"

#include <windows.h>

#include <vector>

class CIniFile;

// The folder of the program's own module file, ending in a backslash.
CStdString GetProgramFolder();

class CAppFolders {
public:
    CAppFolders();  // the program's own folders
    explicit CAppFolders(const CStdString& programFolder);

    enum EConfigFolder { configFolder = 0, languageFolder = 1, defaultsFolder = 2 };
    // The configuration folder itself, its subfolder of the current interface language, or its
    // "defaults\" subfolder; an empty path for any other kind.
    CStdString GetConfigFolder(int kind) const;
    CStdString GetConfigFolder(int kind, const CStdString& languageName) const;
    const CStdString& GetAppDataFolder() const { return m_appDataFolder; }

    CStdString m_configFolder;   // program folder + "config\"
    CStdString m_appDataFolder;  // program folder + "appdata\"
};

CAppFolders* GetAppFolders();

// Opens the first of config\name, config\<language>\name and config\defaults\name that opens.
bool OpenConfigIniFile(CIniFile& file, const char* fileName);

// Loads a bitmap file: LoadImage from the file at its natural size; null on failure.
HBITMAP LoadBitmapFromFile(const char* path);
// Loads the bitmap from the per-language folder, else from the defaults folder. The out handle is
// written only on success.
bool LoadConfigBitmap(const char* fileName, HBITMAP& bitmap);
// Loads the first icon from the per-language folder and the second from the same folder, else both
// from the defaults folder, at the small icon size. The out handles are written only when the first
// icon was found; the second gets the first when the second file is missing.
bool LoadConfigIconPair(const char* firstName, const char* secondName, HICON& first, HICON& second);
// Destroys a big icon and the small one when it is a different handle.
void DestroyIconPair(HICON big, HICON small);

// The start pages that start mode 4 opens, kept in "StartSites" of the application data folder.
class CStartSites {
public:
    CStartSites();  // "StartSites" of the application data folder
    explicit CStartSites(const CStdString& path);
    CStartSites(const CStartSites&) = delete;
    CStartSites& operator=(const CStartSites&) = delete;
    // Saves the list, unless the file could not be read whole and the list was not changed since:
    // a damaged file is not replaced by the part of it that was read.
    ~CStartSites();

    bool Load();
    bool Save() const;
    bool LoadedCleanly() const { return m_loadedCleanly; }

    CStdString m_path;
    std::vector<CStdString> m_sites;

private:
    bool m_loadedCleanly = true;
    std::vector<CStdString> m_loadedSites;  // what the last load read, to tell whether the list changed
};

CStartSites* GetStartSites();
