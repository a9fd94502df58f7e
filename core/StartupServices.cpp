#include "core/StartupServices.h"
#include "core/PlaceholderMainFrame.h"
#include "core/Z4KApp.h"

namespace {

void NoDefaultBrowserCheck() {}
void NoActiveXHost() {}

bool NoEditControlStart(HINSTANCE)
{
    return true;
}
void NoEditControlStop(HINSTANCE) {}
void NoParserConfiguration(HGLOBAL) {}

int SystemMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return MessageBoxA(owner, text, caption, type);
}

} // namespace

DWORD ReadSystemFlagsFromRegistry()
{
    DWORD flags = kDefaultSystemFlags;
    CZ4KApp* app = GetCurrentApp();
    if (HKEY key = app ? app->GetSectionKey("Config") : nullptr) {
        DWORD value = 0;
        DWORD size = sizeof(value);
        DWORD type = 0;
        if (RegQueryValueExA(key, "SysFlags", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof(value))
            flags = value;
        RegCloseKey(key);
    }
    return flags;
}

CStartupServices& GetStartupServices()
{
    static CStartupServices services = {
        &NoDefaultBrowserCheck,  &ReadSystemFlagsFromRegistry, &NoActiveXHost,
        &NoEditControlStart,     &NoEditControlStop,           &NoParserConfiguration,
        &CreatePlaceholderMainFrame, &SystemMessageBox,
    };
    return services;
}
