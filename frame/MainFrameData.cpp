#include "frame/MainFrameData.h"

CMainFrameData& GetMainFrameData()
{
    static CMainFrameData data;
    return data;
}
