#include "navigation/SearchEngineManager.h"

#include "core/app/ProgramFolders.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/library/IniFile.h"
#include "core/library/LifetimeTracker.h"
#include "core/system/OpenUrl.h"
#include "navigation/AddressText.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kSettingsSection = "Settings";

void AppendBuiltInCategory(std::vector<CSearchCategory>& categories)
{
    CSearchCategory category;
    category.name = "Search the Web";
    category.engines.push_back(CSearchEngine{"Google", "https://www.google.com/search?q=%us"});
    categories.push_back(std::move(category));
}

bool ReadInts(CSettingsStore& store, const char* key, std::vector<int>& values)
{
    std::vector<BYTE> blob;
    return store.GetBinary(kSettingsSection, key, blob) && DecodeIntList(blob, values);
}

}  // namespace

bool DecodeIntList(const std::vector<BYTE>& blob, std::vector<int>& values)
{
    values.clear();
    if (blob.size() < 4)
        return false;
    uint32_t count = 0;
    std::memcpy(&count, blob.data(), 4);
    if (count > kMaxStoredInts || count > (blob.size() - 4) / 4)
        return false;
    values.resize(count);
    if (count)
        std::memcpy(values.data(), blob.data() + 4, count * 4);
    return true;
}

std::vector<BYTE> EncodeIntList(const std::vector<int>& values)
{
    std::vector<BYTE> blob(4 + values.size() * 4);
    const auto count = static_cast<uint32_t>(values.size());
    std::memcpy(blob.data(), &count, 4);
    if (!values.empty())
        std::memcpy(blob.data() + 4, values.data(), values.size() * 4);
    return blob;
}

CSearchEngineManager::CSearchEngineManager() : m_store(GetSettingsStore()), m_saveAtExit(true)
{
    CIniFile file;
    const bool opened = OpenConfigIniFile(file, kSearchEngineFileName);
    Load(opened ? &file : nullptr, *m_store, true);
}

CSearchEngineManager::CSearchEngineManager(CIniFile* file, CSettingsStore& store) : m_store(&store)
{
    Load(file, store, false);
}

CSearchEngineManager::~CSearchEngineManager()
{
    if (m_saveAtExit && m_store)
        SaveSettings(*m_store);
}

void CSearchEngineManager::Load(CIniFile* file, CSettingsStore& store, bool loadIcons)
{
    m_normalImages.Reset(CreateSearchImageList());
    m_hotImages.Reset(CreateSearchImageList());
    m_categories.clear();
    std::vector<TStdStr<char>> names;
    if (file && file->IsOpen())
        file->GetSectionNames(names);
    for (const auto& name : names) {
        CSearchCategory category;
        category.name = name.c_str();
        // Two sections equal but for case are one section to the reader.
        if (std::any_of(m_categories.begin(), m_categories.end(),
                        [&](const CSearchCategory& c) { return EqualNoCase(c.name, category.name); }))
            continue;
        std::string icon;
        std::string hotIcon;
        for (const auto& [key, value] : file->GetSectionKeyValues(name.c_str())) {
            const std::string k(key.c_str());
            if (EqualNoCase(k, "icon"))
                icon = value.c_str();
            else if (EqualNoCase(k, "hoticon"))
                hotIcon = value.c_str();
            else
                category.engines.push_back(CSearchEngine{k, std::string(value.c_str())});
        }
        if (loadIcons && !icon.empty())
            LoadIcons(category, icon, hotIcon);
        m_categories.push_back(std::move(category));
    }
    if (m_categories.empty()) {
        AppendBuiltInCategory(m_categories);
        return;
    }
    std::vector<int> values;
    if (ReadInts(store, kDisabledCategoriesKey, values)) {
        for (int index : values) {
            if (index >= 0 && index < static_cast<int>(m_categories.size()))
                m_categories[index].enabled = false;
        }
    }
    if (ReadInts(store, kDefaultSearchEngineKey, values)) {
        for (size_t i = 0; i < values.size() && i < m_categories.size(); ++i) {
            const int engine = values[i];
            const bool valid = engine >= 0 && engine < static_cast<int>(m_categories[i].engines.size()) &&
                               !m_categories[i].engines[engine].IsSeparator();
            m_categories[i].defaultEngine = valid ? engine : 0;
        }
    }
}

void CSearchEngineManager::LoadIcons(CSearchCategory& category, const std::string& icon, const std::string& hotIcon)
{
    HICON normal = nullptr;
    HICON hot = nullptr;
    if (!LoadConfigIconPair(icon.c_str(), (hotIcon.empty() ? icon : hotIcon).c_str(), normal, hot))
        return;
    const int index = ImageList_AddIcon(m_normalImages.Get(), normal);
    ImageList_AddIcon(m_hotImages.Get(), hot ? hot : normal);
    if (index >= 0)
        category.iconIndex = index;
    if (hot && hot != normal)
        DestroyIcon(hot);
    DestroyIcon(normal);
}

void CSearchEngineManager::SaveSettings(CSettingsStore& store) const
{
    std::vector<int> disabled;
    std::vector<int> defaults;
    for (size_t i = 0; i < m_categories.size(); ++i) {
        if (!m_categories[i].enabled)
            disabled.push_back(static_cast<int>(i));
        defaults.push_back(m_categories[i].defaultEngine);
    }
    store.WriteBinary(kSettingsSection, kDisabledCategoriesKey, EncodeIntList(disabled));
    store.WriteBinary(kSettingsSection, kDefaultSearchEngineKey, EncodeIntList(defaults));
}

std::string CSearchEngineManager::BuildSearchUrl(int category, const std::string& query, int engine)
{
    if (category < 0 || category >= static_cast<int>(m_categories.size()))
        return std::string();
    CSearchCategory& c = m_categories[category];
    const int engineCount = static_cast<int>(c.engines.size());
    if (c.defaultEngine < 0 || c.defaultEngine >= engineCount)
        c.defaultEngine = 0;
    if (engine < 0)
        engine = c.defaultEngine;
    if (engine >= engineCount || c.engines[engine].IsSeparator())
        return std::string();
    return ExpandAddressTemplate(c.engines[engine].urlTemplate, query);
}

bool CSearchEngineManager::Search(HWND window, int category, const std::string& query, int engine, DWORD openFlags)
{
    if (TrimBlanks(query).empty())
        return false;
    const std::string url = BuildSearchUrl(category, query, engine);
    if (url.empty())
        return false;
    OpenUrlInFrame(window, url.c_str(), openFlags);
    return true;
}

void CSearchEngineManager::BuildEngineMenu(HMENU menu, int category) const
{
    if (!menu || category < 0 || category >= static_cast<int>(m_categories.size()))
        return;
    const CSearchCategory& c = m_categories[category];
    const int count = std::min(static_cast<int>(c.engines.size()), kMaxMenuEngines);
    for (int i = 0; i < count; ++i) {
        if (c.engines[i].IsSeparator()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuA(menu, MF_STRING, kEngineMenuFirstCommand + i, c.engines[i].name.c_str());
        if (i == c.defaultEngine)
            SetMenuDefaultItem(menu, kEngineMenuFirstCommand + i, FALSE);
    }
}

CSearchEngineManager* GetSearchEngineManager()
{
    return GetSingleton<CSearchEngineManager, kPrioritySearchEngineManager>();
}

bool SearchWeb(HWND window, int category, const std::string& query, int engine)
{
    CSearchEngineManager* manager = GetSearchEngineManager();
    if (!manager)
        return false;
    const DWORD flags = (GetSettings()->TabOpenFlags.value & TabOpenFlag::SearchBar) ? DWORD{kOpenNewTab} : DWORD{0};
    return manager->Search(window, category, query, engine, flags);
}

bool SearchWebFromPage(HWND window, const std::string& query)
{
    CSearchEngineManager* manager = GetSearchEngineManager();
    return manager && manager->Search(window, 0, query, -1, kOpenNewTab | kOpenInBackground);
}
