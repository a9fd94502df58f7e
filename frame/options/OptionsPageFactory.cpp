#include "frame/options/OptionsPageFactory.h"

namespace {

IOptionsPageFactory* g_factory = nullptr;  // not owned; UI thread only

}  // namespace

IOptionsPageFactory* GetOptionsPageFactory()
{
    return g_factory;
}

IOptionsPageFactory* SetOptionsPageFactory(IOptionsPageFactory* factory)
{
    IOptionsPageFactory* previous = g_factory;
    g_factory = factory;
    return previous;
}
