#pragma once
// TMainFrameBase<T>: the frame base of the main frame, an MDI frame window that the main frame's
// message map chains first. It answers the single-instance protocol (the finder's question message
// and WM_COPYDATA), keeps the modal-dialog flag that frame commands set around their dialogs, and
// holds the least of the tray icon, the update check and the toolbar style that runs until their
// own subsystem fills them in: the tray icon is only a shown flag, the update check only records
// that it was started.
#include "core/app/Settings.h"
#include "core/app/WindowFinder.h"
#include "controls/ToolBarHelpers.h"

#include "frame/options/TrayIconOwner.h"
#include "platform/AtlFrame.h"

template <class T>
class TMainFrameBase : public CMDIFrameWindowImpl<T>, public ITrayIconOwner {
public:
    BEGIN_MSG_MAP(TMainFrameBase)
        if (CSingleInstanceFinder* finder = GetSingleInstanceFinder())
            CHAIN_MSG_MAP_MEMBER(*finder)
    END_MSG_MAP()

    void SetInModalLoop(bool inModalLoop) { m_inModalLoop = inModalLoop; }
    bool IsInModalLoop() const { return m_inModalLoop; }

    // The notification icon: deleted when shown, added again when hidden.
    void RemoveTrayIcon() override { m_trayIconShown = false; }
    void AddTrayIcon() override { m_trayIconShown = true; }
    bool IsTrayIconShown() const { return m_trayIconShown; }

    // Writes the rebar band layout to the settings.
    void SaveBandLayout(const char* section)
    {
        if (this->m_hWndToolBar)
            SaveReBarBandLayout(this->m_hWndToolBar, section);
    }

    // The frame base's own popups (skins, interface languages); false stops the menu setup.
    bool FillMenu(HMENU) { return true; }

    // Starts the update check unless "SysFlags" bit 0x2 is set; returns at once.
    void StartAutoUpdateCheck()
    {
        const CSettings* settings = GetSettings();
        if (settings && !(settings->SysFlags & SysFlag::NoUpdateCheck))
            m_updateCheckStarted = true;
    }
    bool WasUpdateCheckStarted() const { return m_updateCheckStarted; }

private:
    bool m_inModalLoop = false;
    bool m_trayIconShown = true;
    bool m_updateCheckStarted = false;
};
