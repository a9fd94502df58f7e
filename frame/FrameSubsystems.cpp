#include "frame/FrameSubsystems.h"

namespace {
IFrameSubsystems* g_subsystems = nullptr;  // not owned: the installer's
}  // namespace

IFrameSubsystems* GetFrameSubsystems()
{
    return g_subsystems;
}

IFrameSubsystems* SetFrameSubsystems(IFrameSubsystems* subsystems)
{
    IFrameSubsystems* previous = g_subsystems;
    g_subsystems = subsystems;
    return previous;
}
