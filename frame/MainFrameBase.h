#pragma once
// TMainFrameBase<T>: the frame base of the main frame, an MDI frame window that the main frame's
// message map chains first. It answers the single-instance protocol (the finder's question message
// and WM_COPYDATA), keeps the modal-dialog flag that frame commands set around their dialogs, and
// holds the frame's services: the tray icon, the update check and the external tools, whose
// messages it routes before any other map sees them (frame/services/FrameServices.h).
#include "core/app/Settings.h"
#include "core/app/WindowFinder.h"
#include "core/system/StartupTrace.h"
#include "controls/ToolBarHelpers.h"

#include "frame/options/TrayIconOwner.h"
#include "frame/services/FrameServices.h"
#include "platform/AtlFrame.h"

template <class T>
class TMainFrameBase : public CMDIFrameWindowImpl<T>, public ITrayIconOwner {
public:
    BEGIN_MSG_MAP(TMainFrameBase)
        MESSAGE_HANDLER(WM_CREATE, OnServicesCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnServicesDestroy)
        if (m_services.HandleMessage(uMsg, wParam, lParam, lResult))
            return TRUE;
        if (CSingleInstanceFinder* finder = GetSingleInstanceFinder())
            CHAIN_MSG_MAP_MEMBER(*finder)
    END_MSG_MAP()

    void SetInModalLoop(bool inModalLoop) { m_inModalLoop = inModalLoop; }
    bool IsInModalLoop() const { return m_inModalLoop; }

    // The notification icon: deleted when shown, added again when hidden.
    void RemoveTrayIcon() override { m_services.GetTrayIcon().Remove(); }
    void AddTrayIcon() override { m_services.GetTrayIcon().Add(); }
    bool IsTrayIconShown() const { return !m_services.GetTrayIcon().IsHidden(); }
    CFrameServices& GetServices() { return m_services; }

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
        if (m_services.StartAutomaticUpdateCheck())
            m_updateCheckStarted = true;
    }
    bool WasUpdateCheckStarted() const { return m_updateCheckStarted; }

private:
    // The tray is set up before the frame's own creation adds or removes the icon; the worker is
    // stopped and the icon deleted when the window goes. Neither consumes the message.
    LRESULT OnServicesCreate(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        StartupTraceMark("frame: window made");
        m_services.OnCreate(this->m_hWnd, ::GetModuleHandleA(nullptr));
        StartupTraceMark("frame: tray set up");
        handled = FALSE;
        return 0;
    }
    LRESULT OnServicesDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        m_services.OnDestroy();
        handled = FALSE;
        return 0;
    }

    CFrameServices m_services;
    bool m_inModalLoop = false;
    bool m_updateCheckStarted = false;
};
