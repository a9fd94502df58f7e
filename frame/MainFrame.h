#pragma once
// CMainFrame: the one main window of the program, of class "Kivo Browser": a tabbed MDI frame whose
// children are the browser tabs. It owns the menu bar, the rebar with the system toolbar and the
// bars of the navigation library, the status bar with its panes and progress control, the MDI
// client with its tab owner, the side panels, the recently closed pages and the map of open tabs.
// It implements IBrowserTabHost (installed with SetBrowserTabHost while the window lives) and
// makes tabs only through GetBrowserTabFactory(). It is the message filter and idle handler of the
// UI thread's message loop.
//
// Lifetime: rule (b). The window owns the object: CreateMainFrame allocates it and the window's
// last message deletes it. GetMainFrame() gives the frame while it lives, null before and after.
#include "frame/BrowserTab.h"
#include "frame/FrameBaseCommands.h"
#include "frame/FrameDropTarget.h"
#include "frame/FramePanes.h"
#include "frame/FrameResources.h"
#include "frame/MainFrameBase.h"
#include "frame/MainToolBarStyle.h"
#include "frame/RecentClosedList.h"

#include "controls/CommandBarXP.h"
#include "controls/docking/PackageWindowFrame.h"
#include "controls/MultiPaneStatusBar.h"
#include "controls/TabbedMDI.h"
#include "core/app/MainFrameMessages.h"
#include "core/system/MenuFunctions.h"
#include "platform/AtlCom.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class CMainFrame;

// When the frame's bars, menus, status bar, client and first tab are built: during the window's
// creation, or from its after-create message, so that the window can be shown first (the program's
// start). That message is the first the loop takes, ahead of any paint, and everything that needs
// the built frame earlier (opening a URL, closing) builds it first.
enum class CFrameBuild { Complete, AfterShow };
// Creates the window with no parent and the given rectangle; 0 on failure.
HWND CreateMainFrame(const RECT& rect, CFrameBuild build = CFrameBuild::Complete);
// The main frame while its window lives, else null. UI thread only.
CMainFrame* GetMainFrame();

// The deployment's addresses: the product's home page, the maker's search start page, the forum
// and the product site's base for its download pages.
constexpr const char* kProductHomePage = "http://www.kivobrowser.example/";
constexpr const char* kSearchStartPage = "http://search.kivobrowser.example/";
constexpr const char* kForumPage = "http://forum.kivobrowser.example/";
constexpr const char* kProductSite = "http://www.kivobrowser.example/";
constexpr const char* kWindowsUpdatePage = "http://windowsupdate.microsoft.com/";
constexpr const char* kBlankPageUrl = "about:blank";
// The registry key (under the application's key) of the recently closed pages.
constexpr const char* kRecentClosedKey = "Recent Document List";
// The settings section of the bands, the placement and the docking layout.
constexpr const char* kFrameSettingsSection = "Settings";
// Bits of the settings' words that only the frame reads.
constexpr DWORD kSysFlagFullScreen = 0x2000;
constexpr DWORD kViewFlagLogWindowOpen = 0x1000000;
constexpr DWORD kStartupFlagSearchPage = 0x20;
constexpr DWORD kStartupFlagHomePage = 0x2;
constexpr DWORD kStartupFlagGroup = 0x8;
constexpr DWORD kStartupFlagStartSites = 0x10;
constexpr DWORD kStartupFlagLastSession = 0x4;
constexpr DWORD kTabOpenFlagOtherPages = 0x20;
// The donation reminder comes every this many runs.
constexpr int kDonationReminderPeriod = 50;

// One row of the frame's command table: the ids first to last reach the handler, which answers
// false to pass the command on to the active tab.
struct CFrameCommand {
    UINT first;
    UINT last;
    bool (CMainFrame::*handler)(UINT id);
};

class CMainFrame : public TMainFrameBase<CMainFrame>,
                   public CPackageWindowFrame<CMainFrame>,
                   public IBrowserTabHost,
                   public IFramePopupMenuTracker,
                   public CMessageFilter,
                   public CIdleHandler,
                   public IFrameBaseHost {
public:
    DECLARE_FRAME_WND_CLASS(kMainFrameClassName, IDR_MAINFRAME)
    // The docking layer lays out the bars, the side panels and the MDI client.
    using CPackageWindowFrame<CMainFrame>::UpdateLayout;

    CMainFrame();
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // The frame's command table, in the order it is searched.
    static const std::vector<CFrameCommand>& GetCommandTable();
    static bool IsFrameCommand(UINT id);

    // Opens the text in the active tab or a new one (flags of the open-URL message); the window of
    // the tab that shows it, or 0 when nothing was opened.
    HWND OpenUrlInTab(const char* text, DWORD flags);
    // The session list of the open tabs, in tab order, without blank pages; written to the session
    // file once the start pages were opened, and never while the frame closes.
    void SaveSession();
    // The start pages of Part "after create": the command-line URL, the last session, the mode.
    void OpenStartPages(const std::vector<CSessionEntry>& session, bool previousRunEndedCleanly);

    void FocusClientWindow();
    void FocusSearchBar();

    // IBrowserTabHost
    HWND GetFrameWindow() const override { return m_hWnd; }
    HWND GetMdiClientWindow() const override { return m_hWndMDIClient; }
    void AddTab(HWND tabWindow, IBrowserTab* tab) override;
    void RemoveTab(HWND tabWindow) override;
    void OnPopupBlocked(const char* title, const char* openerUrl, const char* url) override;
    void OnAdBlocked(const char* rule, const char* url) override;
    void SetAddressBarText(const char* text) override;
    void SetTabImage(HWND tabWindow, int image) override;
    void SetStatusPane(int paneId, HICON icon, const char* text) override;
    IBrowserTab* FindTab(HWND tabWindow) const override;
    void ShowProgress(bool shown, int position, int maximum) override;

    // IFramePopupMenuTracker: installed while the command bar exists.
    UINT Track(HMENU menu, UINT flags, int x, int y, HWND owner) override;

    // CMessageFilter, CIdleHandler
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnIdle() override;

    // What the tests and the other subsystems look at.
    IBrowserTab* GetActiveTab() const;
    // Checks the encoding item of the active page's character set, and no other.
    void CheckActiveEncoding(HMENU popup) const;
    const std::map<HWND, IBrowserTab*>& GetTabs() const { return m_tabs; }
    CRecentClosedList& GetRecentClosedList() { return m_recentClosed; }
    CFramePanes& GetPanes() { return m_panes; }
    CMultiPaneStatusBar& GetStatusBar() { return m_statusBar; }
    CMainToolBarStyle& GetMainToolBarStyle() { return m_mainToolBarStyle; }
    HWND GetReBar() const { return m_hWndToolBar; }
    HWND GetAddressBarEdit() const;
    HWND GetSearchBarEdit() const;
    HWND GetProgressBar() const { return m_progress; }
    HMENU GetMenuBarMenu() const { return m_menu; }
    CCommandBarXP& GetCommandBar() { return m_commandBar; }
    IDropTarget* GetDropTarget() { return &m_dropTarget; }
    IMdiTabOwner* GetTabOwner() const;
    bool IsFullScreen() const;
    // The tab windows in the order of the tab strip.
    std::vector<HWND> GetTabWindowsInOrder() const;
    // Writes the recently closed pages to the registry (also done by the window's destruction).
    void WriteRecentClosedList();
    void ReadRecentClosedList();

    BEGIN_MSG_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_COPYDATA, OnCopyData)
        CHAIN_MSG_MAP(TMainFrameBase<CMainFrame>)
        MESSAGE_HANDLER(WM_NOTIFY, OnMainToolBarNotify)
        CHAIN_MSG_MAP_MEMBER(m_baseCommands)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
        MESSAGE_HANDLER(WM_APPCOMMAND, OnAppCommand)
        MESSAGE_HANDLER(kAfterCreateMessage, OnAfterCreate)
        MESSAGE_HANDLER(GetTabbedMdiMessages().showTabContextMenu, OnTabStripContextMenu)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        NOTIFY_CODE_HANDLER(TBN_DROPDOWN, OnToolBarDropDown)
        MESSAGE_HANDLER(kOpenUrlMessage, OnOpenUrlMessage)
        MESSAGE_HANDLER(WM_GETTEXT, OnGetText)
        MESSAGE_HANDLER(WM_GETTEXTLENGTH, OnGetTextLength)
        MESSAGE_HANDLER(WM_COMMAND, OnCommandToActiveTab)
        CHAIN_MSG_MAP(CPackageWindowFrame<CMainFrame>)
        CHAIN_MSG_MAP(CMDIFrameWindowImpl<CMainFrame>)
    END_MSG_MAP()

    void OnFinalMessage(HWND) override;

    // IFrameBaseHost: what the frame base's commands ask of the main window.
    HWND GetBaseFrameWindow() const override { return m_hWnd; }
    HWND GetBaseReBar() const override { return m_hWndToolBar; }
    HWND GetBaseStatusBar() const override { return m_hWndStatusBar; }
    HMENU GetBaseMenu() const override { return m_menu; }
    void LayOutFrame() override { UpdateLayout(); }
    void RetranslateFrame(const CLanguageManager& languages) override;
    void OpenUrlInNewTab(const char* url) override;
    void ShowOptionsPage(int pageId) override;
    void SetModalFlag(bool inModalLoop) override { SetInModalLoop(inModalLoop); }
    CFrameBaseCommands& GetBaseCommands() { return m_baseCommands; }
    // Set by CreateMainFrame while CreateWindow runs: the last message deletes the object before
    // creation returns when the window is refused.
    void SetDeletedFlag(bool* deleted) { m_deletedWhileCreating = deleted; }
    // Set by CreateMainFrame before the window is created (CFrameBuild).
    void SetBuildAfterShow(bool afterShow) { m_buildAfterShow = afterShow; }
    // Builds what the window's creation left to the after-create message; does nothing once built.
    void BuildFrameContents();
    bool AreContentsBuilt() const { return m_contentsBuilt; }
    // True once the ad filter's namespace handler is registered for http and https.
    bool IsNameSpaceRegistered() const { return m_nameSpaceFactory != nullptr; }

    // Command handlers (the table's rows).
    bool OnExit(UINT id);
    bool OnReopenRecent(UINT id);
    bool OnReopenLastClosed(UINT id);
    bool OnWorkOffline(UINT id);
    bool OnImportExport(UINT id);
    bool OnNewBlankPage(UINT id);
    bool OnOpen(UINT id);
    bool OnProxyCommand(UINT id);
    bool OnAbout(UINT id);
    bool OnGroupCommand(UINT id);
    bool OnTogglePane(UINT id);
    bool OnShowAllPanes(UINT id);
    bool OnHideAllPanes(UINT id);
    bool OnFullScreen(UINT id);
    bool OnToggleBand(UINT id);
    bool OnEditWith(UINT id);
    bool OnDonate(UINT id);
    bool OnOpenSitePage(UINT id);
    bool OnCloseAllBlank(UINT id);
    bool OnCloseAll(UINT id);
    bool OnClearRecords(UINT id);
    bool OnOptionsCommand(UINT id);
    bool OnToggleTabOpenFlag(UINT id);
    bool OnMailCommand(UINT id);
    bool OnMailProgram(UINT id);
    bool OnTabStateChanged(UINT id);
    bool OnNewFromClipboard(UINT id);
    bool OnNewHomePage(UINT id);
    bool OnNewCurrentPage(UINT id);
    bool OnNewInstance(UINT id);
    bool OnViewLogs(UINT id);
    bool OnEditCommand(UINT id);
    bool OnOrganizeFavorites(UINT id);
    bool OnBlockerToggle(UINT id);
    bool OnFocusCommand(UINT id);
    bool OnRebuildWindowList(UINT id);
    bool OnPrivacyCommand(UINT id);
    bool OnInternetOptions(UINT id);
    bool OnSetDefaultBrowser(UINT id);
    bool OnGoHome(UINT id);
    bool OnRefreshAll(UINT id);
    bool OnStopAll(UINT id);
    bool OnEncoding(UINT id);
    bool OnWindowArrange(UINT id);
    bool OnWindowListItem(UINT id);
    bool OnPluginCommand(UINT id);
    bool OnSearchPageCommand(UINT id);
    // The plug-ins bar and panes as the plug-ins' enabled flags now say (after the options page).
    void RebuildPlugins();
    // The page address of each plug-in pane, in the order of the panes after the Explorer Bar's own.
    const std::vector<std::string>& GetPluginPanePages() const { return m_pluginPanePages; }

private:
    LRESULT OnCopyData(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnActivate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnContextMenu(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnQueryEndSession(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEndSession(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnAppCommand(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnAfterCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnTabStripContextMenu(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCommand(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCommandToActiveTab(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnToolBarDropDown(int id, LPNMHDR header, BOOL& handled);
    LRESULT OnMainToolBarNotify(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void ShowHistoryMenu(bool back, int x, int y);
    LRESULT OnOpenUrlMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnGetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnGetTextLength(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    // Creation steps.
    void RegisterCommandStates();
    void ApplyProxyMode();
    void ApplyInternetSettings();
    void RegisterNameSpace();
    void UnregisterNameSpace();
    void CollectProgramLists();
    void SetUpMenu();
    void CreateBars();
    void CreateStatusBar();
    void CreateClient();
    void CreateExplorerBarPanes();
    // The panes and their layout, once (the after-create message, after the window is shown).
    void CreateSidePanels();
    void RecolourBands();
    // The bars of the navigation library, in stand-ins until it lands.
    HWND CreateAddressBar();
    HWND CreateSearchBar();
    HWND CreateLinksBar();
    HWND CreatePluginsBar();
    HWND CreateFormFillerBar();
    HWND CreateSystemToolBar();
    HWND CreatePaneContent(int index, const char* caption);
    void FillPluginsBar(HWND bar);
    void UpdatePluginPanes();

    // Close, destroy and session end.
    bool ConfirmExit();
    // The exit dialog's "save this session to a group": the open pages, blank ones left out.
    bool SaveOpenPagesToGroup(const char* group);
    // Runs one of the frame's modal dialogs with the modal flag set.
    void RunFrameQuestion(const std::function<void()>& question);
    void RunCloseSteps();
    void RunDestroySteps();

    void EnterFullScreen();
    void LeaveFullScreen();
    TStdStr<char> ComposeTitle() const;
    void RestorePlacement();
    void SavePlacement();
    HWND FocusedBarEdit() const;
    void ShowPopupMenuAt(HMENU popup, int x, int y, bool postSystemCommands);
    HMENU FindMenuPopup(const char* path) const;
    void OpenInNewTabOrActive(const char* url);
    bool ReopenRecentEntry(UINT command);

    std::unique_ptr<CTabbedMDIClient> m_tabbedClient;
    CMultiPaneStatusBar m_statusBar;
    HWND m_progress = nullptr;       // child of the status bar
    HWND m_systemToolBar = nullptr;  // the bars are children of the rebar, destroyed with it
    HWND m_addressBar = nullptr;
    HWND m_searchBar = nullptr;
    HWND m_linksBar = nullptr;
    HWND m_pluginsBar = nullptr;
    HWND m_formFillerBar = nullptr;
    HMENU m_menu = nullptr;  // the menu the command bar shows; owned, destroyed by the destructor
    CCommandBarXP m_commandBar;  // a child of the rebar, destroyed with it
    IFramePopupMenuTracker* m_previousTracker = nullptr;  // not owned: the tracker before this frame
    bool m_trackerInstalled = false;
    bool m_menuOnWindow = false;  // the bar could not be made: the window's own menu bar holds m_menu
    CRecentClosedList m_recentClosed;
    std::map<HWND, IBrowserTab*> m_tabs;  // the tabs are owned by their windows
    CFramePanes m_panes;
    bool m_sidePanelsCreated = false;
    bool m_buildAfterShow = false;  // the contents wait for the after-create message
    bool m_contentsBuilt = false;
    CComPtr<IClassFactory> m_nameSpaceFactory;
    CFrameDropTarget m_dropTarget{[this](const char* text) { return OpenUrlInTab(text, kOpenNewTab) != nullptr; }};
    bool m_dropTargetRegistered = false;
    bool m_startingUp = true;
    TStdStr<char> m_titleWithoutTabs;  // the page last asked for while no tab factory is installed
    int m_handOverDepth = 0;  // inside the single-instance hand-off of another process's URL
    bool m_closeStepsDone = false;
    bool m_destroyStepsDone = false;
    HWND m_focusOnDeactivate = nullptr;  // not owned
    std::vector<UINT> m_bandsHiddenByFullScreen;
    bool m_wasMaximizedBeforeFullScreen = false;
    struct CProgramEntry {
        TStdStr<char> name;
        TStdStr<char> command;
    };
    std::vector<CProgramEntry> m_mailPrograms;
    std::vector<CProgramEntry> m_htmlEditors;
    IBrowserTabHost* m_previousHost = nullptr;  // not owned: the host before this frame
    CMainToolBarStyle m_mainToolBarStyle;  // of the system toolbar
    int m_questionDepth = 0;            // inside RunFrameQuestion
    bool m_askingExit = false;          // the exit dialog is up
    bool m_closeAfterQuestion = false;  // a close came while a dialog was up
    bool* m_deletedWhileCreating = nullptr;     // not owned: the creator's flag, only during creation
    CFrameBaseCommands m_baseCommands{*this};
    std::vector<std::string> m_pluginPanePages;
    std::map<size_t, int> m_pluginPanes;  // plug-in (index of the manager's list) -> its pane
};
