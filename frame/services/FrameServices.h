#pragma once
// CFrameServices: the main window's tray icon, update check and external tools, joined to the
// window. The frame base routes its messages through HandleMessage before its other maps see them:
// the tray's size, system-command, callback and "TaskbarCreated" messages, the update check's
// result, and the commands of the tools, the tray's "Show Kivo Browser" and "&Check for Update...".
//
// Lifetime: the frame base holds it (a member) from the window's creation (OnCreate) to its
// destruction (OnDestroy), which stops the update worker within its time-out, deletes the icon and
// lets the tray menu go.
#include "frame/services/ExternalTools.h"
#include "frame/services/ToolBarBandHost.h"
#include "frame/services/TrayIcon.h"
#include "frame/services/UpdateCheck.h"

#include <windows.h>

#include <string>

// The built-in address of the update information, used when "UpdateURL" names no web address.
inline constexpr char kBuiltInUpdateUrl[] = "http://www.kivobrowser.example/kvbver.ini";
// The settings value that names another address.
inline constexpr char kUpdateUrlSection[] = "Settings";
inline constexpr char kUpdateUrlKey[] = "UpdateURL";

// What the result of a check shows: the offer of a newer version, and the messages of the user's
// check. The production one shows message boxes owned by the frame.
class IUpdateCheckUi {
public:
    virtual ~IUpdateCheckUi() = default;
    // A newer version: true when the user wants its download page opened.
    virtual bool OfferNewVersion(HWND owner, const CUpdateInfo& info, bool userCheck) = 0;
    // A message of the user's check (connection failure, up to date, unreadable answer).
    virtual void ShowMessage(HWND owner, const std::string& text, UINT icon) = 0;
};
IUpdateCheckUi& GetMessageBoxUpdateCheckUi();

class CFrameServices {
public:
    explicit CFrameServices(INotifyIconApi& trayApi = GetShellNotifyIconApi(),
                            IUpdateCheckUi& updateUi = GetMessageBoxUpdateCheckUi(),
                            IToolStarter& toolStarter = GetShellToolStarter());
    CFrameServices(const CFrameServices&) = delete;
    CFrameServices& operator=(const CFrameServices&) = delete;

    // The window exists: the tray icon is set up (not yet added) with the program's icon, the tray
    // menu and its external tools.
    void OnCreate(HWND frame, HINSTANCE instance);
    // The window goes: the worker is stopped (within its time-out), the icon deleted.
    void OnDestroy();
    // True when the message was the services'; `result` then holds the answer.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The start-up check (after the window was created): none while "SysFlags" bit 0x02 is set.
    bool StartAutomaticUpdateCheck();
    // The user's check: refused while a check runs. `progressWindow` hears the download's progress.
    bool StartUserUpdateCheck(HWND progressWindow = nullptr);
    // "&Check for Update...": the progress dialog, modal, which starts the check once it is up.
    void RunUserUpdateCheck();
    // The address fetched: the "UpdateURL" setting when it is a web address, else the built-in one.
    std::string GetUpdateUrl() const;
    // The local copy of the update information: "kvbver.ini" in the program folder, unless
    // another path was set (tests keep theirs in a scratch folder).
    std::string GetUpdateInfoPath() const;
    void SetUpdateInfoPath(std::string path) { m_updateInfoPath = std::move(path); }

    // Fills a tool submenu: "Tools &Manager...", a separator and the tools.
    void FillToolsMenu(HMENU menu) const;
    // The same for the main menu's submenu, which the tools manager refills after a change (the
    // menu is not owned and lives with the frame).
    void FillMainToolsMenu(HMENU menu);
    HMENU TrayToolsMenu() const;

    // The outside toolbar bands: discovered from the browser's "Toolbar" key and the classes'
    // "CLSID" key, the visible ones created into the rebar; the number shown. Their ids toggle them,
    // and the window's going stores their visible flags ("IEToolBar" section) and closes them.
    size_t CreateHostedBands(HWND reBar, HKEY toolbarKey, HKEY clsidKey);
    CToolBarBandHost& GetBandHost() { return m_bands; }

    // The classes root the default-browser command registers in: HKEY_CLASSES_ROOT unless a test
    // gives a scratch key (not owned).
    HKEY GetClassesRoot() const { return m_classesRoot; }
    void SetClassesRoot(HKEY root) { m_classesRoot = root; }

    CTrayIcon& GetTrayIcon() { return m_tray; }
    const CTrayIcon& GetTrayIcon() const { return m_tray; }
    CUpdateCheck& GetUpdateCheck() { return m_updateCheck; }

private:
    void OnUpdateCheckDone(bool userCheck, bool downloaded);
    bool RunTool(UINT command);

    HWND m_frame = nullptr;  // not owned: the main window
    HMENU m_mainToolsMenu = nullptr;  // not owned: the frame's "&Tools" > "&External Tools"
    CTrayIcon m_tray;
    CUpdateCheck m_updateCheck;
    CToolBarBandHost m_bands;
    IUpdateCheckUi& m_updateUi;
    IToolStarter& m_toolStarter;
    std::string m_updateInfoPath;
    HWND m_progressDialog = nullptr;  // not owned: the open progress dialog, set once it has started
    bool m_progressShowing = false;
    HKEY m_classesRoot = HKEY_CLASSES_ROOT;  // not owned
};
