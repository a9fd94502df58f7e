#include "core/system/SystemFacts.h"

#include "core/library/AppWindowInfo.h"
#include "core/system/OsInfo.h"

bool IsWin9x()
{
    const COsInfo* info = GetOsInfo();
    return info && info->GetPlatform() == VER_PLATFORM_WIN32_WINDOWS;
}

bool IsDropShadowEnabled()
{
    BOOL enabled = FALSE;
    return ::SystemParametersInfoA(0x1024 /* SPI_GETDROPSHADOW */, 0, &enabled, 0) && enabled;
}

TStdStr<char> GetProgramTitle()
{
    const CAppWindowInfo* info = GetAppWindowInfo();
    return info ? info->GetProgramTitle() : TStdStr<char>();
}
