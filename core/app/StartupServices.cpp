#include "core/app/StartupServices.h"

namespace {

void NoDefaultBrowserCheck() {}
void NoActiveXHost() {}

bool NoEditControlStart(HINSTANCE)
{
    return true;
}
void NoEditControlStop(HINSTANCE) {}
void NoParserConfiguration(HGLOBAL) {}
HWND NoMainFrame(const RECT&)
{
    return nullptr;
}

int SystemMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return MessageBoxA(owner, text, caption, type);
}

} // namespace

CStartupServices& GetStartupServices()
{
    static CStartupServices services = {
        &NoDefaultBrowserCheck, &NoActiveXHost,         &NoEditControlStart,         &NoEditControlStop,
        &NoParserConfiguration, &NoMainFrame, &SystemMessageBox,
    };
    return services;
}
