#include "core/library/Z4KApp.h"
#include "core/library/LifetimeTracker.h"

namespace {

CZ4KApp* g_currentApp = nullptr;

// Read and write access to the keys of the settings.
constexpr REGSAM kKeyAccess = KEY_READ | KEY_WRITE;

HKEY CreateSubKey(HKEY parent, const char* name)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

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

HKEY CZ4KApp::GetAppRegistryKey() const
{
    HKEY software = nullptr;
    if (RegOpenKeyExA(m_perUser > 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, "software", 0, kKeyAccess,
                      &software) != ERROR_SUCCESS)
        return nullptr;
    HKEY application = nullptr;
    if (HKEY company = CreateSubKey(software, m_companyName.c_str())) {
        application = CreateSubKey(company, m_applicationName.c_str());
        RegCloseKey(company);
    }
    RegCloseKey(software);
    return application;
}

HKEY CZ4KApp::GetSectionKey(const char* section) const
{
    HKEY application = GetAppRegistryKey();
    if (!application)
        return nullptr;
    HKEY key = CreateSubKey(application, section ? section : "");
    RegCloseKey(application);
    return key;
}

void CZ4KApp::GetRegistryPath(HKEY& root, TStdStr<char>& path) const
{
    root = m_perUser > 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    path = "software\\" + m_companyName + "\\" + m_applicationName;
}
