#include "core/app/ProgramFolders.h"

#include "core/library/AppWindowInfo.h"
#include "core/app/BlockedLogs.h"
#include "core/library/IniFile.h"
#include "core/app/LanguageManager.h"
#include "core/library/LifetimeTracker.h"
#include "core/library/Z4KArchive.h"
#include "core/library/Z4KException.h"

namespace {

constexpr uint32_t kStartSitesHeader = 10;

HANDLE LoadImageFromFile(const char* path, UINT type, int size)
{
    if (!path || !*path)
        return nullptr;
    return LoadImageA(nullptr, path, type, size, size, LR_LOADFROMFILE);
}

HICON LoadSmallIcon(const CStdString& path)
{
    return static_cast<HICON>(LoadImageFromFile(path, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON)));
}

}  // namespace

CStdString GetProgramFolder()
{
    const CAppWindowInfo* info = GetAppWindowInfo();
    return info ? CStdString(info->GetProgramFolder()) : CStdString();
}

CAppFolders::CAppFolders(const CStdString& programFolder)
    : m_configFolder(programFolder + "config\\"), m_appDataFolder(programFolder + "appdata\\")
{
}

CStdString CAppFolders::GetConfigFolder(int kind) const
{
    const CLanguageManager* languages = kind == languageFolder ? GetLanguageManager() : nullptr;
    return GetConfigFolder(kind, languages ? languages->GetLanguageName() : CStdString("English"));
}

CStdString CAppFolders::GetConfigFolder(int kind, const CStdString& languageName) const
{
    switch (kind) {
    case configFolder:
        return m_configFolder;
    case languageFolder:
        return m_configFolder + languageName + "\\";
    case defaultsFolder:
        return m_configFolder + "defaults\\";
    default:
        return CStdString();
    }
}

CAppFolders::CAppFolders() : CAppFolders(GetProgramFolder()) {}

CAppFolders* GetAppFolders()
{
    return GetSingleton<CAppFolders, kPriorityAppFolders>();
}

bool OpenConfigIniFile(CIniFile& file, const char* fileName)
{
    const CAppFolders& folders = *GetAppFolders();
    for (int kind : {CAppFolders::configFolder, CAppFolders::languageFolder, CAppFolders::defaultsFolder}) {
        if (file.Open(CStdString(folders.GetConfigFolder(kind) + fileName)))
            return true;
    }
    return false;
}

HBITMAP LoadBitmapFromFile(const char* path)
{
    return static_cast<HBITMAP>(LoadImageFromFile(path, IMAGE_BITMAP, 0));
}

bool LoadConfigBitmap(const char* fileName, HBITMAP& bitmap)
{
    const CAppFolders& folders = *GetAppFolders();
    for (int kind : {CAppFolders::languageFolder, CAppFolders::defaultsFolder}) {
        if (HBITMAP loaded = LoadBitmapFromFile(CStdString(folders.GetConfigFolder(kind) + fileName))) {
            bitmap = loaded;
            return true;
        }
    }
    return false;
}

bool LoadConfigIconPair(const char* firstName, const char* secondName, HICON& first, HICON& second)
{
    const CAppFolders& folders = *GetAppFolders();
    for (int kind : {CAppFolders::languageFolder, CAppFolders::defaultsFolder}) {
        const CStdString folder = folders.GetConfigFolder(kind);
        HICON firstIcon = LoadSmallIcon(folder + firstName);
        if (!firstIcon)
            continue;
        HICON secondIcon = secondName ? LoadSmallIcon(folder + secondName) : nullptr;
        first = firstIcon;
        second = secondIcon ? secondIcon : firstIcon;
        return true;
    }
    return false;
}

void DestroyIconPair(HICON big, HICON small)
{
    if (big)
        DestroyIcon(big);
    if (small && small != big)
        DestroyIcon(small);
}

// Start sites

CStartSites::CStartSites(const CStdString& path) : m_path(path)
{
    Load();
}

CStartSites::~CStartSites()
{
    if (m_loadedCleanly || m_sites != m_loadedSites)
        Save();
}

bool CStartSites::Load()
{
    m_sites.clear();
    try {
        ReadArchiveFile(m_path, [this](CZ4KArchive& archive) {
            uint32_t header = 0;
            archive >> header;
            uint32_t count = 0;
            archive >> count;
            for (uint32_t i = 0; i < count; ++i) {
                CStdString url;
                archive.ReadString(url);
                m_sites.push_back(url);
            }
        });
        m_loadedCleanly = true;
    } catch (const CZ4KException& error) {
        m_loadedCleanly = false;
        ReportArchiveError(error.GetErrorMessage());
    }
    m_loadedSites = m_sites;
    return m_loadedCleanly;
}

bool CStartSites::Save() const
{
    return WriteArchiveFile(m_path, [this](CZ4KArchive& archive) {
        archive << kStartSitesHeader;
        archive << static_cast<uint32_t>(m_sites.size());
        for (const CStdString& url : m_sites)
            archive.WriteString(url);
    });
}

CStartSites::CStartSites() : CStartSites(GetAppFolders()->GetAppDataFolder() + "StartSites") {}

CStartSites* GetStartSites()
{
    return GetSingleton<CStartSites, kPriorityStartSites>();
}
