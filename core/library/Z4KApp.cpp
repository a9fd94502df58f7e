#include "core/library/Z4KApp.h"
#include "core/library/LifetimeTracker.h"

namespace {

CZ4KApp* g_currentApp = nullptr;

// Read and write access to the keys of the settings.
constexpr REGSAM kKeyAccess = KEY_READ | KEY_WRITE;

} // namespace

CZ4KApp* GetCurrentApp()
{
    return g_currentApp;
}

CZ4KApp::CZ4KApp()
{
    g_currentApp = this;
    // The teardown deletes the application through the current-application pointer; an object
    // destroyed before then has cleared the pointer, and the tracker finds nothing to delete.
    new TLifetimeTracker<CZ4KApp>(kPriorityApplication, &g_currentApp);
}

CZ4KApp::~CZ4KApp()
{
    if (g_currentApp == this)
        g_currentApp = nullptr;
}

bool CZ4KApp::OpenUrl(const char*)
{
    return true;
}

int CZ4KApp::Run(const char*, int)
{
    return 0;
}

void CZ4KApp::SetRegistryKey(const char* companyName, const char* applicationName)
{
    if (companyName)
        m_companyName = companyName;
    if (applicationName)
        m_applicationName = applicationName;
}

bool CZ4KApp::GetAppRegistryKey(CRegistryKey& application) const
{
    CRegistryKey software;
    CRegistryKey company;
    return software.Open(m_perUser > 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, "software", kKeyAccess) &&
           company.Create(software, m_companyName.c_str(), nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess) &&
           application.Create(company, m_applicationName.c_str(), nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess);
}

bool CZ4KApp::GetSectionKey(const char* section, CRegistryKey& key) const
{
    CRegistryKey application;
    return GetAppRegistryKey(application) &&
           key.Create(application, section ? section : "", nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess);
}

void CZ4KApp::GetRegistryPath(HKEY& root, TStdStr<char>& path) const
{
    root = m_perUser > 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    path = "software\\" + m_companyName + "\\" + m_applicationName;
}
