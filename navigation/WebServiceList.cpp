#include "navigation/WebServiceList.h"

#include "core/app/ProgramFolders.h"
#include "core/app/Settings.h"
#include "core/library/IniFile.h"
#include "core/library/LifetimeTracker.h"
#include "core/system/OpenUrl.h"
#include "navigation/AddressText.h"

#include <algorithm>

CWebServiceList::CWebServiceList()
{
    CIniFile file;
    if (OpenConfigIniFile(file, kWebServicesFileName))
        Load(file);
}

CWebServiceList::CWebServiceList(CIniFile& file)
{
    Load(file);
}

void CWebServiceList::Load(CIniFile& file)
{
    m_categories.clear();
    m_menuTemplates.clear();
    std::vector<TStdStr<char>> names;
    file.GetSectionNames(names);
    for (const auto& name : names) {
        CWebServiceCategory category;
        category.name = name.c_str();
        if (std::any_of(m_categories.begin(), m_categories.end(),
                        [&](const CWebServiceCategory& c) { return EqualNoCase(c.name, category.name); }))
            continue;
        // The lookup keeps the blanks around the value; a template never starts with one.
        category.urlTemplate = TrimBlanks(std::string(file.GetString(name.c_str(), "url", "").c_str()));
        for (const auto& [key, value] : file.GetSectionKeyValues(name.c_str())) {
            if (EqualNoCase(std::string(key.c_str()), "url"))
                continue;
            category.services.push_back(CWebService{std::string(key.c_str()), std::string(value.c_str())});
        }
        m_categories.push_back(std::move(category));
    }
}

void CWebServiceList::AppendToMenu(HMENU menu, UINT firstId)
{
    m_menuTemplates.clear();
    int number = 0;
    for (const CWebServiceCategory& category : m_categories) {
        if (number >= kMaxWebServiceLines)
            break;
        if (menu)
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        for (const CWebService& service : category.services) {
            if (number >= kMaxWebServiceLines)
                break;
            const UINT id = firstId + number++;
            if (service.name == "-") {
                if (menu)
                    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            m_menuTemplates[id] = ComposeServiceTemplate(category.urlTemplate, service.value);
            if (menu)
                AppendMenuA(menu, MF_STRING, id, (category.name + " : " + service.name).c_str());
        }
    }
}

std::string CWebServiceList::GetTemplate(UINT id) const
{
    const auto it = m_menuTemplates.find(id);
    return it == m_menuTemplates.end() ? std::string() : it->second;
}

std::string CWebServiceList::BuildUrl(const std::string& text, UINT id) const
{
    const std::string addressTemplate = GetTemplate(id);
    if (addressTemplate.empty())
        return std::string();
    return ExpandAddressTemplate(addressTemplate, text);
}

bool CWebServiceList::Run(HWND window, const std::string& text, UINT id) const
{
    const std::string url = BuildUrl(text, id);
    if (url.empty())
        return false;
    const DWORD flags = (GetSettings()->TabOpenFlags.value & TabOpenFlag::AddressBar) ? DWORD{kOpenNewTab} : DWORD{0};
    OpenUrlInFrame(window, url.c_str(), flags);
    return true;
}

CWebServiceList* GetWebServices()
{
    return GetSingleton<CWebServiceList, kPriorityWebServiceList>();
}
