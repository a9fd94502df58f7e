#include "frame/services/HostedBands.h"

#include "frame/MainFrame.h"

void SetHostedBandsBrowser(IUnknown* browser)
{
    if (CMainFrame* frame = GetMainFrame())
        frame->GetServices().GetBandHost().SetActiveBrowser(browser);
}
