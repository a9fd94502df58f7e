#pragma once
// The gesture settings' "Flags" for a test's scope, put back at its end. Kept in a file of its own:
// the gesture library's headers and the browser tab's cannot meet in one translation unit (both
// name an action interface CBrowserActions).
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
