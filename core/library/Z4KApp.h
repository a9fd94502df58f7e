#pragma once
// CZ4KApp: the library's application base. Exactly one application object exists, built on the heap
// before the entry function runs and destroyed in the ordered teardown (priority 50); the base keeps
// the process-wide pointer to it and the registry location under which the settings live:
// "software", then the company name, then the application name, under HKEY_CURRENT_USER (or under
// HKEY_LOCAL_MACHINE when the per-user flag is cleared).
#include "core/library/RegistryKey.h"
#include "core/library/StdStr.h"

#include <windows.h>

class CZ4KApp {
public:
    CZ4KApp();
    virtual ~CZ4KApp();
    CZ4KApp(const CZ4KApp&) = delete;
    CZ4KApp& operator=(const CZ4KApp&) = delete;

    // The operations the entry function calls, in this order: InitInstance, then Run when it
    // answered true, then ExitInstance in either case.
    virtual bool InitInstance() { return true; }
    virtual void ExitInstance() {}
    // Opens a URL; the single-instance receiver hands the URLs of later starts to it.
    virtual bool OpenUrl(const char* url);
    virtual int Run(const char* commandLine, int showCommand);

    // Replaces either name when the argument is not null.
    void SetRegistryKey(const char* companyName, const char* applicationName);
    // Opens the application key, created when missing, into the holder; false on failure.
    bool GetAppRegistryKey(CRegistryKey& application) const;
    // Opens the subkey of that name under the application key, created when missing; false on failure.
    bool GetSectionKey(const char* section, CRegistryKey& key) const;
    // The root key and "software\<company>\<application>".
    void GetRegistryPath(HKEY& root, TStdStr<char>& path) const;

protected:
    TStdStr<char> m_companyName;
    TStdStr<char> m_applicationName;
    int m_perUser = 1; // greater than 0: HKEY_CURRENT_USER, else HKEY_LOCAL_MACHINE
};

// The application object, or null before it is built and after it is destroyed.
CZ4KApp* GetCurrentApp();
