#include "core/StartupServices.h"
#include "core/PlaceholderMainFrame.h"
#include "core/Z4KApp.h"

namespace {

// The namespace handler's class object until the browser view brings the handler: it lives for the
// whole process and creates no objects.
class CPlaceholderClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override
    {
        if (object)
            *object = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

void NoDefaultBrowserCheck() {}
void NoActiveXHost() {}

IClassFactory* PlaceholderNamespaceHandlerClassObject()
{
    static CPlaceholderClassFactory factory;
    return &factory;
}

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
        &NoDefaultBrowserCheck,       &ReadSystemFlagsFromRegistry, &NoActiveXHost,
        &PlaceholderNamespaceHandlerClassObject, &NoEditControlStart, &NoEditControlStop,
        &NoParserConfiguration,       &CreatePlaceholderMainFrame,  &SystemMessageBox,
    };
    return services;
}
