#include "core/app/StartupServices.h"

namespace {

CDefaultStartupServices g_defaultStartupServices;
// Set once by the program's entry before other threads exist, and by tests on their own thread.
IStartupServices* g_startupServices = &g_defaultStartupServices;

} // namespace

IStartupServices& GetStartupServices() { return *g_startupServices; }

IStartupServices* SetStartupServices(IStartupServices* services)
{
    IStartupServices* previous = g_startupServices;
    g_startupServices = services ? services : &g_defaultStartupServices;
    return previous;
}
