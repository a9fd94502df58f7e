#include "frame/services/FramePrivacy.h"

namespace {
IFramePrivacy* g_privacy = nullptr;  // not owned: the installer's
}  // namespace

IFramePrivacy* GetFramePrivacy()
{
    return g_privacy;
}

IFramePrivacy* SetFramePrivacy(IFramePrivacy* privacy)
{
    IFramePrivacy* previous = g_privacy;
    g_privacy = privacy;
    return previous;
}
