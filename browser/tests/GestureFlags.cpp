#include "browser/tests/GestureFlags.h"

#include "frame/gestures/GestureSettings.h"

static_assert(kGesturesOn == kGestureFlagEnabled);

CScopedGestureFlags::CScopedGestureFlags()
{
    if (CGestureSettings* settings = GetGestureSettings())
        m_saved = settings->GetFlags();
}

CScopedGestureFlags::~CScopedGestureFlags()
{
    Set(m_saved);
}

void CScopedGestureFlags::Set(DWORD flags)
{
    if (CGestureSettings* settings = GetGestureSettings())
        settings->SetFlags(flags);
}
