#include "frame/options/OptionsCommands.h"

#include "frame/FrameResources.h"
#include "frame/options/OptionsDlg.h"

int OptionsPageOfCommand(UINT commandId)
{
    switch (commandId) {
    case ID_FRAME_OPTIONS:
        return COptionsDlg::kLastPage;
    case ID_FRAME_TAB_OPTIONS:
        return IDD_TAB_PAGE;
    case ID_FRAME_FAVORITES_OPTIONS:
        return IDD_FAVORITES_PAGE;
    case ID_FRAME_SEARCH_OPTIONS:
        return IDD_SEARCH_BAR_OPTIONS_PAGE;
    case ID_FRAME_ADDRESS_OPTIONS:
        return IDD_ADDRESS_BAR_PAGE;
    case ID_FRAME_URL_ALIAS:
        return IDD_URL_ALIAS_OPTIONS_PAGE;
    default:
        return 0;
    }
}

INT_PTR ShowOptionsDialog(HWND parent, int page, ITrayIconOwner* tray)
{
    COptionsDlg dialog(page);
    dialog.MiscellaneousPage().SetTrayIconOwner(tray);
    return dialog.DoModal(parent);
}
