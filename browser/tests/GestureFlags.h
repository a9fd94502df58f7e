#pragma once
// The gesture settings' "Flags" for a test's scope, put back at its end.
#include <windows.h>

constexpr DWORD kGesturesOn = 0x1;

class CScopedGestureFlags {
public:
    CScopedGestureFlags();
    ~CScopedGestureFlags();
    CScopedGestureFlags(const CScopedGestureFlags&) = delete;
    CScopedGestureFlags& operator=(const CScopedGestureFlags&) = delete;
    void Set(DWORD flags);

private:
    DWORD m_saved = 0;
};
