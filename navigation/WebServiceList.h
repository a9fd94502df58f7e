#pragma once
// CWebServiceList: web pages that act on the address bar's text, listed in the go button's menu.
// Read once from "webbasedservices.ini": one section per category in file order; its key "url"
// (any letter case, trimmed) is the category's template, in which "%code" stands for a service's
// value; every other line name=value is a service ("-" a separator). The service's full template
// may hold "%us" and "%s" for the text (AddressText.h).
#include <windows.h>

#include <map>
#include <string>
#include <vector>

class CIniFile;

constexpr const char* kWebServicesFileName = "webbasedservices.ini";
// The menu gives at most this many service lines ids, so that the ids stay inside the range the
// caller reserves.
constexpr int kMaxWebServiceLines = 1000;

struct CWebService {
    std::string name;
    std::string value;
};

struct CWebServiceCategory {
    std::string name;
    std::string urlTemplate;
    std::vector<CWebService> services;
};

class CWebServiceList {
public:
    CWebServiceList();  // the program's list (configuration folders)
    explicit CWebServiceList(CIniFile& file);
    CWebServiceList(const CWebServiceList&) = delete;
    CWebServiceList& operator=(const CWebServiceList&) = delete;

    void Load(CIniFile& file);
    const std::vector<CWebServiceCategory>& Categories() const { return m_categories; }

    // For each category a separator, then per service a separator ("-") or the item "category :
    // service" with the id firstId + running number (separators counted). Records the ids.
    void AppendToMenu(HMENU menu, UINT firstId);
    // The ids and full templates of the last menu.
    const std::map<UINT, std::string>& MenuTemplates() const { return m_menuTemplates; }
    // The full template the last menu gave `id`; empty for an unknown id.
    std::string GetTemplate(UINT id) const;
    // The address of service `id` for the text; empty for an unknown id or an address too long.
    std::string BuildUrl(const std::string& text, UINT id) const;
    // Opens that address through the frame of `window`, in a new tab when typed addresses do
    // (TabOpenFlags bit 0). False when nothing was opened.
    bool Run(HWND window, const std::string& text, UINT id) const;

private:
    std::vector<CWebServiceCategory> m_categories;
    std::map<UINT, std::string> m_menuTemplates;
};

CWebServiceList* GetWebServices();
