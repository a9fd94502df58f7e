#pragma once
// CSearchEngineManager: the catalogue of search categories and their engines, loaded once from
// "searchengine.ini" (one section per category in file order; keys "icon" and "hoticon" name the
// category's icon files, every other line name=template is an engine, "-" a separator), and
// SearchWeb, the one entry for a web search. Without the file, or with none of its sections, the
// catalogue holds the built-in category "Search the Web".
//
// Settings (section "Settings", binary): "DefaultSearchEngine" (every category's default engine,
// in category order) and "DisabledSearchCategoryIndex" (the disabled categories, ascending), each
// a 32-bit count followed by that many 32-bit values, little-endian. A damaged value (shorter than
// its count says, or a count beyond kMaxStoredInts) is ignored as a whole.
#include "navigation/NavigationImages.h"

#include <windows.h>

#include <string>
#include <vector>

class CIniFile;
class CSettingsStore;

constexpr const char* kSearchEngineFileName = "searchengine.ini";
constexpr const char* kDefaultSearchEngineKey = "DefaultSearchEngine";
constexpr const char* kDisabledCategoriesKey = "DisabledSearchCategoryIndex";
constexpr size_t kMaxStoredInts = 4096;
// The engine menu of a category gives engine i the command kEngineMenuFirstCommand + i.
constexpr UINT kEngineMenuFirstCommand = 55500;
constexpr int kMaxMenuEngines = 400;

struct CSearchEngine {
    std::string name;
    std::string urlTemplate;
    bool IsSeparator() const { return name == "-"; }
};

struct CSearchCategory {
    std::string name;
    int iconIndex = 2;
    bool enabled = true;
    int defaultEngine = 0;
    std::vector<CSearchEngine> engines;
};

// The settings list codec: false (and no values) for a damaged blob.
bool DecodeIntList(const std::vector<BYTE>& blob, std::vector<int>& values);
std::vector<BYTE> EncodeIntList(const std::vector<int>& values);

class CSearchEngineManager {
public:
    // The program's catalogue: the configuration folders' file, the settings store, the icons.
    CSearchEngineManager();
    // Loads from the given file (null: none) and settings; no icons are loaded.
    CSearchEngineManager(CIniFile* file, CSettingsStore& store);
    // Saves the settings to the store it loaded them from.
    ~CSearchEngineManager();
    CSearchEngineManager(const CSearchEngineManager&) = delete;
    CSearchEngineManager& operator=(const CSearchEngineManager&) = delete;

    void SaveSettings(CSettingsStore& store) const;

    std::vector<CSearchCategory>& Categories() { return m_categories; }
    const std::vector<CSearchCategory>& Categories() const { return m_categories; }

    // The address of the query with the engine (-1: the category's default, which is first made
    // valid); empty for a bad category or engine, a separator, or an address too long.
    std::string BuildSearchUrl(int category, const std::string& query, int engine);
    // Opens that address through the frame of `window` with `openFlags` (kOpenNewTab,
    // kOpenInBackground). An empty query, or one that gives no address, opens nothing: false.
    bool Search(HWND window, int category, const std::string& query, int engine, DWORD openFlags);

    // One item per engine (kEngineMenuFirstCommand + index), separators for "-", the default engine
    // the menu's default item.
    void BuildEngineMenu(HMENU menu, int category) const;

    HIMAGELIST GetImageList() const { return m_normalImages.Get(); }
    HIMAGELIST GetHotImageList() const { return m_hotImages.Get(); }

private:
    void Load(CIniFile* file, CSettingsStore& store, bool loadIcons);
    void LoadIcons(CSearchCategory& category, const std::string& icon, const std::string& hotIcon);

    std::vector<CSearchCategory> m_categories;
    CImageListHolder m_normalImages;
    CImageListHolder m_hotImages;
    CSettingsStore* m_store = nullptr;  // not owned: the program's store, or the one a test gave
    bool m_saveAtExit = false;
};

CSearchEngineManager* GetSearchEngineManager();

// A web search from the bars: Search with a new tab when the setting TabOpenFlags asks it for
// searches (bit 1).
bool SearchWeb(HWND window, int category, const std::string& query, int engine = -1);
// Text dropped on a page: category 0 with its default engine, in a new tab in the background.
bool SearchWebFromPage(HWND window, const std::string& query);
