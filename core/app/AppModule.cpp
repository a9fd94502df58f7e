#include "core/app/AppModule.h"

// Built on first use: finders and other static objects reach the module's lock while static
// initialisation is still under way.
CAppModule& GetAppModule()
{
    static CAppModule module;
    return module;
}
