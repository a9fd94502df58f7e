#include "frame/MainFrame.h"
#include "core/system/DispatchByName.h"
#include "frame/services/DefaultBrowserCheck.h"
#include "frame/services/FramePrivacy.h"
#include "frame/services/PluginManager.h"
#include "frame/services/ServicesResources.h"
#include "frame/BlockedContent.h"

#include "frame/FrameMenuBar.h"
#include "frame/FrameShell.h"
#include "frame/FrameSubsystems.h"
#include "frame/HistoryMenu.h"
#include "frame/WindowListPopup.h"
#include "frame/dialogs/FrameQuestions.h"
#include "frame/MainFrameData.h"
#include "frame/OpenUrlRules.h"
#include "frame/options/OptionsCommands.h"

#include "controls/DynamicUpdateUI.h"
#include "controls/ImageListManager.h"
#include "controls/ImageResources.h"
#include "controls/ToolBarFlatLook.h"
#include "controls/ToolBarHelpers.h"
#include "core/app/AppModule.h"
#include "core/app/BrowserApp.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/library/AppWindowInfo.h"
#include "core/library/RegistryKey.h"
#include "core/system/MenuFunctions.h"
#include "core/system/MessageBoxes.h"
#include "core/system/RunAtStartup.h"
#include "core/system/StartupTrace.h"
#include "platform/Diagnostics.h"

#include <shellapi.h>
#include <mshtml.h>
#include <shlguid.h>
#include <windowsx.h>
#include <urlmon.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// True when a window of the class is one that `owner` owns (the "Log" window while it is open).
bool OwnsWindowOfClass(HWND owner, const char* className)
{
    for (HWND window = ::FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = ::FindWindowExA(nullptr, window, className, nullptr))
        if (::GetWindow(window, GW_OWNER) == owner)
            return true;
    return false;
}

CMainFrame* g_mainFrame = nullptr;  // UI thread only: the frame while its window lives

// The innermost dialog the frame's thread shows on top of the frame: the uppermost enabled dialog
// of the thread whose chain of owners leads to the frame (a dialog that opened another is disabled
// under it). Ownership, not activation, tells: a dialog that has not been activated yet (a busy
// machine, a display without a window manager) is not the frame's last active popup.
constexpr char kDialogClass[] = "#32770";

HWND FindFrameDialog(HWND frame)
{
    struct Search {
        HWND frame;
        HWND found;
    } search{frame, nullptr};
    ::EnumThreadWindows(
        ::GetWindowThreadProcessId(frame, nullptr),
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            char className[16] = {};
            ::GetClassNameA(window, className, sizeof(className));
            if (window == s.frame || !::IsWindowEnabled(window) || std::strcmp(className, kDialogClass) != 0)
                return TRUE;
            for (HWND owner = ::GetWindow(window, GW_OWNER); owner; owner = ::GetWindow(owner, GW_OWNER)) {
                if (owner == s.frame) {
                    s.found = window;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

constexpr const char* kAppName = "Kivo Browser";
// The frame's own toolbars.
constexpr DWORD kSystemToolBarStyle = 0x5000894C;
constexpr DWORD kListToolBarStyle = 0x5600994C;
// The MDI client: child, visible, clipping siblings and children, MDIS_ALLCHILDSTYLES.
constexpr DWORD kMdiClientStyle = 0x56000001;
constexpr DWORD kProgressStyle = 0x44000001;
// Child, visible, clipping its siblings and its progress control, with tooltips and a size grip.
constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_TOOLTIPS | SBARS_SIZEGRIP;
constexpr int kPaneWidthPrivacy = 100;
constexpr int kPaneWidthIcon = 20;
constexpr UINT kImportExportCommand = 374;
constexpr int kExplorerBarPaneCount = 4;
// The plug-in commands the frame takes (43001 on) and the panes the Explorer Bar holds (52700 on).
constexpr size_t kMaxPluginButtons = 100;
constexpr int kMaxPanes = 100;
// Room of a band's gripper and edges beside its child.
constexpr int kBandGripperRoom = 16;
constexpr int kMaxWindowListItems = 256;
// The longest search-bar text the find and highlight commands take from the bar.
constexpr int kSearchPageTextLimit = 2048;
// The shell document view's command that shows the page's security report.
constexpr DWORD kShellDocViewSecurityReport = 33;
// Keys 1 to 47 (VK_LBUTTON .. VK_HELP) without the extended bit stay with the focused control.
constexpr WPARAM kLastControlKey = 47;
constexpr LPARAM kExtendedKeyBit = 0x01000000;

// The encodings of "Enco&ding": menu text and charset; an empty text is a separator.
struct CEncoding {
    const char* text;
    const char* charset;
};
constexpr CEncoding kEncodings[] = {
    {"Auto-Select", "_autodetect_all"},
    {"Unicode", "unicode"},
    {"Unicode (UTF-8)", "utf-8"},
    {"", ""},
    {"Central European (ISO)", "iso-8859-2"},
    {"Central European (Windows)", "windows-1250"},
    {"Western European (ISO)", "iso-8859-1"},
    {"Western European (Windows)", "Windows-1252"},
    {"", ""},
    {"Arabic (Windows)", "windows-1256"},
    {"Baltic (Windows)", "windows-1257"},
    {"Chinese Simplified (GB2312)", "gb2312"},
    {"Chinese Traditional (BIG5)", "big5"},
    {"Cyrillic (KOI8-R)", "koi8-r"},
    {"Cyrillic (KOI8-U)", "koi8-u"},
    {"Cyrillic (Windows)", "windows-1251"},
    {"Greek (Windows)", "windows-1253"},
    {"Hebrew (Windows)", "windows-1255"},
    {"Japanese (Auto-Select)", "_autodetect"},
    {"Korean", "ks_c_5601-1987"},
    {"Thai (Windows)", "windows-874"},
    {"Turkish (Windows)", "windows-1254"},
    {"Vietnamese (Windows)", "windows-1258"},
};
static_assert(ID_FRAME_ENCODING_FIRST + std::size(kEncodings) - 1 == ID_FRAME_ENCODING_LAST);

// The system toolbar's buttons (images of the shared toolbar strips).
constexpr ToolBarButtonInfo kSystemButtons[] = {
    {0, ID_FRAME_BACK, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {1, ID_FRAME_FORWARD, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {2, ID_FRAME_STOP, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {3, ID_FRAME_REFRESH, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {4, ID_FRAME_GO_HOME, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {0, 0, 0, BTNS_SEP, 1, 0},
    {6, ID_FRAME_NEW_BLANK, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {21, ID_FRAME_CLOSE_ALL, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {0, 0, 0, BTNS_SEP, 1, 0},
    {8, ID_FRAME_PANE_FIRST, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {9, ID_FRAME_PANE_FIRST + 1, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {10, ID_FRAME_MAIL_BUTTON, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {7, ID_FRAME_PRINT, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {0, 0, 0, BTNS_SEP, 1, 0},
    {11, ID_FRAME_ENABLE_POPUP_BLOCKER, TBSTATE_ENABLED, BTNS_CHECK, 1, 0},
    {12, ID_FRAME_ENABLE_AD_FILTER, TBSTATE_ENABLED, BTNS_CHECK, 1, 0},
    {17, ID_FRAME_FULL_SCREEN, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {22, ID_FRAME_OPTIONS, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
};

// The bands that full screen hides and gives back.
constexpr UINT kFullScreenBands[] = {ID_BAND_COMMAND_BAR, ID_BAND_ADDRESS_BAR, ID_BAND_LINKS_BAR, ID_BAND_SEARCH_BAR,
                                     ID_BAND_FORM_FILLER, ID_BAND_PLUGINS_BAR, ID_BAND_SYSTEM_TOOLBAR};

bool StartsWithNoCase(const TStdStr<char>& text, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    return text.size() >= length && _strnicmp(text.c_str(), prefix, length) == 0;
}

bool IsWebUrl(const TStdStr<char>& url)
{
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

TStdStr<char> WindowText(HWND window)
{
    char text[512] = {};
    if (window)
        ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

bool IsKeyDown(int key)
{
    return (::GetKeyState(key) & 0x8000) != 0;
}

bool IsDescendantOrSelf(HWND ancestor, HWND window)
{
    return ancestor && window && (ancestor == window || ::IsChild(ancestor, window));
}

// The URL stored in an Internet shortcut file, at most the open-URL limit; empty when none.
TStdStr<char> ReadInternetShortcutUrl(const TStdStr<char>& path)
{
    std::vector<char> buffer(static_cast<size_t>(kMaxOpenUrlLength) + 2, '\0');
    const DWORD length = ::GetPrivateProfileStringA("InternetShortcut", "URL", "", buffer.data(),
                                                    static_cast<DWORD>(buffer.size()), path.c_str());
    if (length == 0 || length > static_cast<DWORD>(kMaxOpenUrlLength))
        return {};
    return TStdStr<char>(buffer.data(), length);
}

bool EndsWithNoCase(const TStdStr<char>& text, const char* suffix)
{
    const size_t length = std::strlen(suffix);
    return text.size() >= length && lstrcmpiA(text.c_str() + text.size() - length, suffix) == 0;
}

HWND FindDescendantOfClass(HWND parent, const char* className)
{
    struct CSearch {
        const char* name;
        HWND found;
    } search = {className, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto* state = reinterpret_cast<CSearch*>(data);
            char name[128] = {};
            ::GetClassNameA(window, name, sizeof(name));
            if (lstrcmpA(name, state->name) == 0) {
                state->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of the clipboard, at most the open-URL limit (longer texts are not opened anyway).
TStdStr<char> ClipboardText(HWND owner)
{
    TStdStr<char> text;
    if (!::OpenClipboard(owner))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(::GlobalLock(data))) {
            const size_t size = ::GlobalSize(data);
            const size_t limit = std::min(size, static_cast<size_t>(kMaxOpenUrlLength) + 1);
            text.assign(chars, strnlen(chars, limit));
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

} // namespace

CMainFrame* GetMainFrame()
{
    return g_mainFrame;
}

// ---------------------------------------------------------------------------------------------
// Construction

// Back and Favorites show their texts on the right in the selective text mode.
CMainFrame::CMainFrame()
    : m_mainToolBarStyle(kSystemButtons, std::size(kSystemButtons), {ID_FRAME_BACK, ID_FRAME_PANE_FIRST},
                         kFrameSettingsSection, "SystemToolBar")
{
    StartupTraceMark("frame: members");
    g_mainFrame = this;
    m_recentClosed.SetMaxEntries(CRecentClosedList::kMaxEntriesLimit);
    ReadRecentClosedList();
    StartupTraceMark("frame: recent list");
    m_tabbedClient = std::make_unique<CTabbedMDIClient>(TabLookFromSettings());
}

CMainFrame::~CMainFrame()
{
    if (g_mainFrame == this)
        g_mainFrame = nullptr;
    // The command bar shows the menu without owning it; the bar's window has gone by now. A menu
    // that stayed the window's own menu bar went with the window.
    if (m_menu && !m_menuOnWindow)
        ::DestroyMenu(m_menu);
    m_menu = nullptr;
}

// The frame's popups go through the command bar for its look. The bar sends a chosen command to
// the frame unless asked to return it, so the command is taken back here and given to the owner
// that tracked the menu (a bar's or a pane's own menu), as the system's tracking would.
UINT CMainFrame::Track(HMENU menu, UINT flags, int x, int y, HWND owner)
{
    HWND target = owner && ::IsWindow(owner) ? owner : m_hWnd;
    UINT command = 0;
    if (m_commandBar.IsWindow())
        command = m_commandBar.DoTrackPopupMenu(menu, flags | TPM_RETURNCMD, x, y);
    else
        command = static_cast<UINT>(::TrackPopupMenu(menu, flags | TPM_RETURNCMD, x, y, 0, target, nullptr));
    if (flags & TPM_RETURNCMD)
        return command;
    if (command)
        ::PostMessageA(target, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return 0;
}

void CMainFrame::OnFinalMessage(HWND)
{
    if (m_deletedWhileCreating)
        *m_deletedWhileCreating = true;
    delete this;
}

// A creation that fails after the window got its first message (WM_CREATE answering -1, or Wine
// with no display driver, which refuses every top-level window right after WM_CREATE) still sends
// WM_NCDESTROY, and the last message has deleted the object by the time CreateWindowEx returns null.
// Only a window that never reached the object (an unregistered class) leaves the object to this
// function.
HWND CreateMainFrame(const RECT& rect, CFrameBuild build)
{
    bool deleted = false;
    StartupTraceMark("frame: new");
    auto* frame = new CMainFrame;
    StartupTraceMark("frame: constructed");
    frame->SetDeletedFlag(&deleted);
    frame->SetBuildAfterShow(build == CFrameBuild::AfterShow);
    RECT area = rect;
    const HWND window = frame->Create(nullptr, area, kAppName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    if (!window) {
        if (!deleted)
            delete frame;
        return nullptr;
    }
    frame->SetDeletedFlag(nullptr);
    return window;
}

LRESULT CMainFrame::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The docking layer comes first: every later step lays the frame out through it.
    StartupTraceMark("frame: creating the window");
    BOOL dockingHandled = TRUE;
    CPackageWindowFrame<CMainFrame>::OnCreate(message, wParam, lParam, dockingHandled);
    StartupTraceMark("frame: docking layer");
    m_previousHost = SetBrowserTabHost(this);
    if (IFrameSubsystems* subsystems = GetFrameSubsystems())
        subsystems->StartFrame(m_hWnd);
    StartupTraceMark("frame: subsystems started");
    SetWindowText(kAppName);
    CSettings* settings = GetSettings();
    if (settings && !(settings->SysFlags & SysFlag::NoStartWithWindows))
        SetRunAtStartup(kAppName);
    StartupTraceMark("frame: run key");
    RegisterCommandStates();
    StartupTraceMark("frame: command states");
    // The rest comes from the after-create message when the window is to be shown first: that
    // message is the first the loop takes, before any paint, so the first picture is the same.
    if (!m_buildAfterShow)
        BuildFrameContents();
    PostMessage(kAfterCreateMessage, 0);
    return 0;
}

// The bars, menus, status bar, client and first tab, in the order of the window's creation; once.
void CMainFrame::BuildFrameContents()
{
    if (m_contentsBuilt || m_destroyStepsDone || !IsWindow())
        return;
    m_contentsBuilt = true;
    const CStartupTraceScope trace("frame contents");
    ApplyInternetSettings();
    CSettings* settings = GetSettings();
    CollectProgramLists();
    StartupTraceMark("frame: program lists");
    CreateSimpleReBar(ATL_SIMPLE_REBAR_NOBORDER_STYLE);
    StartupTraceMark("frame: rebar");
    SetUpMenu();
    StartupTraceMark("frame: menu bar");
    CreateBars();
    StartupTraceMark("frame: bars and bands");
    CreateStatusBar();
    StartupTraceMark("frame: status bar");
    CreateClient();
    StartupTraceMark("frame: client");
    if (m_commandBar.IsWindow()) {
        m_commandBar.SetMDIClient(m_hWndMDIClient);
        for (HWND bar : {m_systemToolBar, m_linksBar, m_pluginsBar, m_formFillerBar})
            if (bar)
                m_commandBar.AddToolBar(bar);
    }
    if (m_tabs.empty())
        OnNewBlankPage(ID_FRAME_NEW_BLANK);
    StartupTraceMark("frame: blank tab");
    // The side panels and their saved layout follow once the window is shown (the after-create
    // message): making and docking them is the slowest part of the creation.
    if (settings) {
        ++settings->RunCount.value;
        // The icon is shown unless the user switched it off.
        if (settings->SysFlags & SysFlag::NoTrayIcon)
            RemoveTrayIcon();
        else
            AddTrayIcon();
        StartupTraceMark("frame: tray");
    }
    // Without OLE (a process that never initialised it) nothing can be dropped on the frame.
    m_dropTargetRegistered = SUCCEEDED(::RegisterDragDrop(m_hWnd, &m_dropTarget));
    StartupTraceMark("frame: drop target");
    if (CMessageLoop* loop = GetAppModule().GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    UpdateLayout();
    StartupTraceMark("frame: layout");
    m_baseCommands.OnFrameCreated();
}

// The proxy, the cookie preferences and the ad filter's namespace handler, before the first tab
// can make a request. They are the first work that needs the Internet libraries, which are loaded
// at their first call: here, once the window is shown, rather than on the way to it.
void CMainFrame::ApplyInternetSettings()
{
    ApplyProxyMode();
    StartupTraceMark("frame: proxy mode");
    if (IFramePrivacy* privacy = GetFramePrivacy())
        privacy->RememberCookiePreferences();
    m_startingUp = false;
    RegisterNameSpace();
    StartupTraceMark("frame: namespace registered");
}

void CMainFrame::RegisterCommandStates()
{
    CDynamicUpdateUI* map = GetCommandStateMap();
    if (!map)
        return;
    static constexpr WORD kIds[] = {ID_FRAME_ENABLE_POPUP_BLOCKER, ID_FRAME_ENABLE_AD_FILTER, ID_FRAME_ENABLE_DIALOG_BLOCKER,
                                    ID_FRAME_ADDRESS_NEW_TAB,      ID_FRAME_SEARCH_NEW_TAB,   ID_FRAME_FAVPANE_NEW_TAB,
                                    ID_FRAME_FAVMENU_NEW_TAB,      ID_FRAME_VIEW_LOGS,        ID_FRAME_REOPEN_LAST_CLOSED,
                                    ID_FRAME_FULL_SCREEN,          ID_FRAME_WORK_OFFLINE,     ID_FRAME_BACK,
                                    ID_FRAME_FORWARD};
    for (WORD id : kIds)
        map->UIAddItem(id, kUpdateUIPopupMenu | kUpdateUIToolBar);
    map->UIAddItem(ID_CHECK_FOR_UPDATE, kUpdateUIPopupMenu);
    for (UINT id = ID_FRAME_PANE_FIRST; id < ID_FRAME_PANE_FIRST + kExplorerBarPaneCount; ++id)
        map->UIAddItem(static_cast<WORD>(id), kUpdateUIPopupMenu | kUpdateUIToolBar);
}

// -2 the system's proxy, -1 none, n >= 0 entry n of the proxy list.
void CMainFrame::ApplyProxyMode()
{
    const CSettings* settings = GetSettings();
    if (!settings)
        return;
    const int index = settings->ProxyIndex.value;
    if (index == -2)
        OnProxyCommand(ID_FRAME_PROXY_SYSTEM);
    else if (index == -1)
        OnProxyCommand(ID_FRAME_PROXY_NONE);
    else if (index >= 0 && index <= static_cast<int>(ID_FRAME_PROXY_LAST - ID_FRAME_PROXY_FIRST))
        OnProxyCommand(ID_FRAME_PROXY_FIRST + static_cast<UINT>(index));
}

// The ad filter's namespace handler sees every http and https request of the program's engines.
// The class object is the module's all-zero entry that the application registered; without it
// nothing is registered.
void CMainFrame::RegisterNameSpace()
{
    CComPtr<IClassFactory> factory;
    if (FAILED(::CoGetClassObject(CLSID_NULL, CLSCTX_SERVER, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory))) ||
        !factory)
        return;
    m_nameSpaceFactory = factory;
    CComPtr<IInternetSession> session;
    if (FAILED(::CoInternetGetSession(0, &session, 0)) || !session)
        return;
    session->RegisterNameSpace(m_nameSpaceFactory, CLSID_NULL, L"http", 0, nullptr, 0);
    session->RegisterNameSpace(m_nameSpaceFactory, CLSID_NULL, L"https", 0, nullptr, 0);
}

void CMainFrame::UnregisterNameSpace()
{
    if (!m_nameSpaceFactory)
        return;
    CComPtr<IInternetSession> session;
    if (SUCCEEDED(::CoInternetGetSession(0, &session, 0)) && session) {
        session->UnregisterNameSpace(m_nameSpaceFactory, L"http");
        session->UnregisterNameSpace(m_nameSpaceFactory, L"https");
    }
    m_nameSpaceFactory.Release();
}

// The installed mail programs and HTML editors, for "&Mail and News" and "Edit with". Registry
// texts are bounded by the key holder; entries without a command are skipped.
void CMainFrame::CollectProgramLists()
{
    m_mailPrograms.clear();
    CRegistryKey clients;
    if (clients.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail", KEY_READ)) {
        TStdStr<char> name;
        for (DWORD i = 0; clients.EnumKey(i, name) && i <= ID_FRAME_MAIL_PROGRAM_LAST - ID_FRAME_MAIL_PROGRAM_FIRST; ++i) {
            CRegistryKey command;
            TStdStr<char> line;
            if (command.Open(clients, (name + "\\Shell\\open\\command").c_str(), KEY_READ) &&
                command.QueryStringValue(nullptr, line) && !line.empty())
                m_mailPrograms.push_back({name, line});
        }
    }
    m_htmlEditors.clear();
    CRegistryKey editors;
    if (editors.Open(HKEY_CLASSES_ROOT, ".htm\\OpenWithList", KEY_READ)) {
        TStdStr<char> program;
        for (DWORD i = 0; editors.EnumKey(i, program) && i < 64; ++i) {
            const TStdStr<char> shell = "Applications\\" + program + "\\shell";
            CRegistryKey edit;
            TStdStr<char> line;
            if (!edit.Open(HKEY_CLASSES_ROOT, (shell + "\\edit\\command").c_str(), KEY_READ) ||
                !edit.QueryStringValue(nullptr, line) || line.empty())
                continue;
            TStdStr<char> friendly = program;
            CRegistryKey shellKey;
            if (shellKey.Open(HKEY_CLASSES_ROOT, shell.c_str(), KEY_READ))
                shellKey.QueryStringValue("FriendlyCache", friendly);
            m_htmlEditors.push_back({friendly, line});
        }
    }
}

// Popups are found by their texts, one level after the other ("&File\nOpen Recen&t").
HMENU CMainFrame::FindMenuPopup(const char* path) const
{
    HMENU menu = m_menu;
    TStdStr<char> rest = path;
    while (menu && !rest.empty()) {
        const size_t cut = rest.find('\n');
        const TStdStr<char> name = rest.substr(0, cut);
        rest = cut == TStdStr<char>::npos ? TStdStr<char>() : rest.substr(cut + 1);
        HMENU found = nullptr;
        const int count = ::GetMenuItemCount(menu);
        for (int i = 0; i < count && !found; ++i) {
            if (HMENU popup = ::GetSubMenu(menu, i); popup && GetMenuItemText(menu, i, MF_BYPOSITION) == name)
                found = popup;
        }
        menu = found;
    }
    return menu;
}

void CMainFrame::SetUpMenu()
{
    m_menu = ::LoadMenuA(AtlGetResourceInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    if (!m_menu)
        return;
    if (!m_hAccel)
        m_hAccel = ::LoadAcceleratorsA(AtlGetResourceInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    if (HMENU help = FindMenuPopup("&Help"))
        ::SetMenuDefaultItem(help, ID_FRAME_DONATE, FALSE);
    if (HMENU options = FindMenuPopup("&Options"))
        ::SetMenuDefaultItem(options, ID_FRAME_OPTIONS, FALSE);
    m_baseCommands.FillMenus(m_menu);
    if (FillMenu(m_menu)) {
        if (HMENU encoding = FindMenuPopup("&View\nEnco&ding")) {
            while (::GetMenuItemCount(encoding) > 0)
                ::DeleteMenu(encoding, 0, MF_BYPOSITION);
            for (size_t i = 0; i < std::size(kEncodings); ++i) {
                if (!*kEncodings[i].text)
                    AppendMenuSeparator(encoding);
                else
                    ::AppendMenuA(encoding, MF_STRING, ID_FRAME_ENCODING_FIRST + i, kEncodings[i].text);
            }
        }
        if (HMENU mail = FindMenuPopup("&Tools\n&Mail and News")) {
            if (!m_mailPrograms.empty())
                AppendMenuSeparator(mail);
            for (size_t i = 0; i < m_mailPrograms.size(); ++i)
                ::AppendMenuA(mail, MF_STRING, ID_FRAME_MAIL_PROGRAM_FIRST + i, m_mailPrograms[i].name.c_str());
        }
        if (HMENU tools = FindMenuPopup("&Tools\n&External Tools"))
            GetServices().FillMainToolsMenu(tools);
        if (HMENU proxy = FindMenuPopup("&Options\nPro&xy")) {
            const CSettings* settings = GetSettings();
            if (IFramePrivacy* privacy = GetFramePrivacy(); privacy && settings)
                privacy->BuildProxyMenu(proxy, settings->ProxyIndex.value);
        }
        m_recentClosed.SetMenuHandle(FindMenuPopup("&File\nOpen Recen&t"));
        m_recentClosed.UpdateMenu();
        if (CLanguageManager* language = GetLanguageManager())
            language->TranslateMenu(m_menu);
    }
    if (HWND band = CreateFrameMenuBar(m_commandBar, m_hWnd, m_hWndToolBar, m_menu)) {
        // Not full width: a band that cannot shrink never shows its chevron.
        AddReBarBand(m_hWndToolBar, band, ID_BAND_COMMAND_BAR, nullptr, nullptr, false, 0, false);
        m_commandBar.UpdateBandWidth();
        m_previousTracker = SetFramePopupMenuTracker(this);
        m_trackerInstalled = true;
    } else {
        m_menuOnWindow = true;
    }
}

void CMainFrame::CreateBars()
{
    m_addressBar = CreateAddressBar();
    StartupTraceMark("bars: address");
    m_linksBar = CreateLinksBar();
    StartupTraceMark("bars: links");
    m_searchBar = CreateSearchBar();
    StartupTraceMark("bars: search");
    m_systemToolBar = CreateSystemToolBar();
    StartupTraceMark("bars: system toolbar");
    m_pluginsBar = CreatePluginsBar();
    StartupTraceMark("bars: plugins");
    m_formFillerBar = CreateFormFillerBar();
    StartupTraceMark("bars: form filler");
    const HWND rebar = m_hWndToolBar;
    if (!rebar)
        return;
    AddReBarBand(rebar, m_systemToolBar, ID_BAND_SYSTEM_TOOLBAR, nullptr, nullptr, false, 80, false);
    // The address and search bars carry their own "Address" and "Search" buttons: a band title
    // would say it twice.
    AddReBarBand(rebar, m_addressBar, ID_BAND_ADDRESS_BAR, nullptr, nullptr, true, 450, false);
    AddReBarBand(rebar, m_linksBar, ID_BAND_LINKS_BAR, TranslateText("Links").c_str(), nullptr, true, 450, false);
    AddReBarBand(rebar, m_pluginsBar, ID_BAND_PLUGINS_BAR, nullptr, nullptr, false, 40, false);
    AddReBarBand(rebar, m_searchBar, ID_BAND_SEARCH_BAR, nullptr, nullptr, true, 500, false);
    // Added last: the band helper puts a band before the one numbered after it, and the search bar
    // is numbered just before the form filler.
    if (m_formFillerBar)
        AddReBarBand(rebar, m_formFillerBar, ID_BAND_FORM_FILLER, nullptr, nullptr, true, 100, false);
    StartupTraceMark("bars: bands added");
    // The form filler's own band, when it is installed, takes the place of its download button.
    {
        CRegistryKey toolbarKey;
        CRegistryKey clsidKey;
        if (toolbarKey.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer\\Toolbar", KEY_READ) &&
            clsidKey.Open(HKEY_CLASSES_ROOT, "CLSID", KEY_READ) &&
            GetServices().CreateHostedBands(rebar, toolbarKey, clsidKey) > 0 && m_formFillerBar)
            ShowReBarBand(rebar, ID_BAND_FORM_FILLER, false);
    }
    StartupTraceMark("bars: hosted bands");
    LoadReBarBandLayout(rebar, kFrameSettingsSection);
    StartupTraceMark("bars: saved layout");
    // The menu bar heads the bars on a row of its own, whatever layout was stored: a row it shared
    // with the system toolbar gave the toolbar room for all its buttons and squeezed the menu out.
    PlaceReBarBandOnTopRow(rebar, ID_BAND_COMMAND_BAR);
    // Nothing shows it again once hidden: a stored layout never hides it.
    ShowReBarBand(rebar, ID_BAND_COMMAND_BAR, true);
    RecolourBands();
    StartupTraceMark("bars: recoloured");
    // A stored ideal width may be that of another language's menu or of a maximised tab's buttons.
    if (m_commandBar.IsWindow())
        m_commandBar.UpdateBandWidth();
    for (HWND bar : {m_systemToolBar, m_linksBar, m_pluginsBar}) {
        if (bar)
            SizeBandToToolBar(bar);
    }
    // The bars with fixed buttons are as wide as all of them beside the bands that stretch; in a
    // window too narrow for them they shrink to their first button and the chevron offers the rest.
    for (HWND bar : {m_systemToolBar, m_formFillerBar}) {
        const int index = bar ? FindReBarBandOfChild(rebar, bar) : -1;
        const int width = bar ? GetToolBarButtonsWidth(bar) : 0;
        if (index < 0 || width <= 0)
            continue;
        SIZE size = {};
        ::SendMessageA(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
        RECT button = {};
        ::SendMessageA(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
        size.cy = std::max<LONG>(size.cy, button.bottom);
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE;
        band.cxMinChild = static_cast<UINT>(std::max<LONG>(button.right, 0));
        band.cyMinChild = static_cast<UINT>(size.cy);
        band.cx = static_cast<UINT>(width + kBandGripperRoom);
        ::SendMessageA(rebar, RB_SETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
    }
}

// The address bar of the navigation library takes this band; without it (a frame shown without the
// program's subsystems) a plain combo box with an edit field keeps the frame's address text.
HWND CMainFrame::CreateAddressBar()
{
    if (IFrameSubsystems* subsystems = GetFrameSubsystems())
        if (HWND bar = subsystems->CreateAddressBar(m_hWndToolBar))
            return bar;
    return ::CreateWindowExA(0, WC_COMBOBOXEXA, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
                             0, 400, 200, m_hWndToolBar,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_BAND_ADDRESS_BAR)), AtlGetModuleInstance(),
                             nullptr);
}

// The search bar of the navigation library takes this band; without it a plain edit field.
HWND CMainFrame::CreateSearchBar()
{
    if (IFrameSubsystems* subsystems = GetFrameSubsystems())
        if (HWND bar = subsystems->CreateSearchBar(m_hWndToolBar))
            return bar;
    return ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", nullptr, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 200, 22,
                             m_hWndToolBar, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_BAND_SEARCH_BAR)),
                             AtlGetModuleInstance(), nullptr);
}

// The Links bar of the navigation library takes this band; without it an empty toolbar.
HWND CMainFrame::CreateLinksBar()
{
    if (IFrameSubsystems* subsystems = GetFrameSubsystems())
        if (HWND bar = subsystems->CreateLinksBar(m_hWndToolBar, ID_BAND_LINKS_BAR))
            return bar;
    HWND bar = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, kListToolBarStyle, 0, 0, 200, 22, m_hWndToolBar,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_BAND_LINKS_BAR)),
                                 AtlGetModuleInstance(), nullptr);
    if (bar)
        ::SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return bar;
}

// Filled from the plug-in list by the plug-in manager; empty until it lands.
HWND CMainFrame::CreatePluginsBar()
{
    HWND bar = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, kSystemToolBarStyle, 0, 0, 40, 22, m_hWndToolBar,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_BAND_PLUGINS_BAR)),
                                 AtlGetModuleInstance(), nullptr);
    if (!bar)
        return nullptr;
    ::SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    FillPluginsBar(bar);
    return bar;
}

// One button per enabled button plug-in, its icon from the manager's lists; the command of the
// button at index i among the button plug-ins is 43001 + i, whether or not the ones before it are
// enabled, so a command always names the plug-in its button shows.
void CMainFrame::FillPluginsBar(HWND bar)
{
    if (!bar)
        return;
    while (::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0) > 0)
        ::SendMessageA(bar, TB_DELETEBUTTON, 0, 0);
    const CPluginManager* plugins = GetPluginManager();
    if (!plugins)
        return;
    ::SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(plugins->GetImages()));
    ::SendMessageA(bar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(plugins->GetHotImages()));
    const std::vector<size_t>& buttons = plugins->GetButtons();
    for (size_t i = 0; i < buttons.size() && i < kMaxPluginButtons; ++i) {
        const CPlugin& plugin = plugins->GetAll()[buttons[i]];
        if (!plugin.enabled)
            continue;
        TBBUTTON button{};
        button.iBitmap = plugin.image;
        button.idCommand = static_cast<int>(ID_FRAME_PLUGIN_FIRST + i);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        ::SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
}

// The pane plug-ins after the Explorer Bar's own panes: a pane for each enabled one that has
// none yet; a disabled one's pane is hidden.
void CMainFrame::UpdatePluginPanes()
{
    const CPluginManager* plugins = GetPluginManager();
    if (!plugins)
        return;
    for (size_t index : plugins->GetPanes()) {
        const CPlugin& plugin = plugins->GetAll()[index];
        const auto found = m_pluginPanes.find(index);
        if (found != m_pluginPanes.end()) {
            if (!plugin.enabled)
                m_panes.Show(found->second, false);
            continue;
        }
        const std::string path = plugins->GetContentPath(plugin);
        if (!plugin.enabled || path.empty() || m_panes.GetCount() >= kMaxPanes)
            continue;
        const TStdStr<char> caption = TranslateText(plugin.name.c_str());
        HICON icon = ImageList_GetIcon(plugins->GetImages(), plugin.image, ILD_NORMAL);
        m_pluginPanePages.push_back("file://" + path);
        m_pluginPanes[index] = m_panes.AddDockingPane(CreatePaneContent(-1, caption.c_str()), caption.c_str(), icon);
    }
}

void CMainFrame::RebuildPlugins()
{
    FillPluginsBar(m_pluginsBar);
    if (m_pluginsBar)
        SizeBandToToolBar(m_pluginsBar);
    UpdatePluginPanes();
}

// Without the form filler installed, its band holds one button that downloads it.
HWND CMainFrame::CreateFormFillerBar()
{
    HWND bar = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, kListToolBarStyle, 0, 0, 100, 22, m_hWndToolBar,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_FRAME_FORM_FILLER_TOOLBAR)),
                                 AtlGetModuleInstance(), nullptr);
    if (!bar)
        return nullptr;
    ::SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    // Wine's toolbar draws no text either while the bitmap size is its default: a one-pixel-wide
    // image slot keeps the button as high as the system toolbar's.
    ::SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(1, 16));
    const TStdStr<char> text = TranslateText("Download &RoboForm Form Filler/Password Manager");
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = ID_FRAME_DOWNLOAD_FORM_FILLER;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    ::SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    TBBUTTONINFOA info = {sizeof(info)};
    info.dwMask = TBIF_TEXT;
    info.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(bar, TB_SETBUTTONINFOA, ID_FRAME_DOWNLOAD_FORM_FILLER, reinterpret_cast<LPARAM>(&info));
    ::SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    return bar;
}

HWND CMainFrame::CreateSystemToolBar()
{
    HWND bar = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, kSystemToolBarStyle, 0, 0, 300, 30, m_hWndToolBar,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_FRAME_SYSTEM_TOOLBAR)),
                                 AtlGetModuleInstance(), nullptr);
    if (!bar)
        return nullptr;
    ::SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    // Wine's toolbar draws nothing at all, not even separators or drop-down arrows, when the image
    // list's images differ from its bitmap size (16 x 15 by default): the size goes first.
    if (CImageListManager* images = GetImageListManager()) {
        int cx = 16;
        int cy = 16;
        ImageList_GetIconSize(images->GetList(kSlotToolBarSmall), &cx, &cy);
        ::SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(cx, cy));
        ::SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images->GetList(kSlotToolBarSmall)));
        ::SendMessageA(bar, TB_SETDISABLEDIMAGELIST, 0,
                       reinterpret_cast<LPARAM>(images->GetList(kSlotToolBarSmallDisabled)));
    }
    std::vector<int> ids;
    LoadToolBarLayout(ids, kFrameSettingsSection, "SystemToolBar");
    std::vector<TBBUTTON> buttons;
    BuildToolBarButtons(buttons, ids, static_cast<int>(std::size(kSystemButtons)), kSystemButtons);
    ::SendMessageA(bar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ::SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    m_mainToolBarStyle.Load();
    m_mainToolBarStyle.SetUp(bar, nullptr);
    if (CDynamicUpdateUI* map = GetCommandStateMap())
        map->UIAddToolBar(bar);
    return bar;
}

// Each blend goes p percent of the way from a to b, per channel, with integer division.
// Every band but the command bar's takes the flat scheme's face colour (its bitmap stays).
void CMainFrame::RecolourBands()
{
    const HWND rebar = m_hWndToolBar;
    const CFlatColorScheme scheme = GetFlatColorScheme();
    const int count = static_cast<int>(::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_STYLE | RBBIM_COLORS | RBBIM_CHILD;
        if (!::SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)))
            continue;
        if (band.hwndChild && band.hwndChild == m_commandBar.m_hWnd)
            continue;
        band.fMask = RBBIM_STYLE | RBBIM_COLORS;
        band.clrBack = scheme[kFlatFace];
        band.clrFore = ::GetSysColor(COLOR_BTNTEXT);
        ::SendMessageA(rebar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
    }
    // Hiding and showing the first band makes the rebar repaint its bands in the new colours.
    if (count > 0) {
        ::SendMessageA(rebar, RB_SHOWBAND, 0, FALSE);
        ::SendMessageA(rebar, RB_SHOWBAND, 0, TRUE);
    }
}

void CMainFrame::CreateStatusBar()
{
    if (!m_statusBar.Create(m_hWnd, kStatusBarStyle, ATL_IDW_STATUS_BAR))
        return;
    m_hWndStatusBar = m_statusBar.m_hWnd;
    int panes[] = {0, ID_PANE_PRIVACY, ID_PANE_AD_FILTER, ID_PANE_SECURE};
    m_statusBar.SetPanes(panes, static_cast<int>(std::size(panes)), false);
    m_statusBar.SetPaneCommand(ID_PANE_AD_FILTER, ID_FRAME_PRIVACY_REPORT);
    m_statusBar.SetPaneCommand(ID_PANE_SECURE, ID_FRAME_PRIVACY_PANE);
    m_statusBar.SetPaneCommand(0, ID_FRAME_PRIVACY_STATUS);
    int widths[] = {0, kPaneWidthPrivacy, kPaneWidthIcon, kPaneWidthIcon};
    m_statusBar.SetPaneWidths(widths, static_cast<int>(std::size(widths)));
    m_statusBar.SetPaneText(0, TranslateText("Ready").c_str());
    m_progress = ::CreateWindowExA(0, PROGRESS_CLASSA, nullptr, kProgressStyle, 0, 0, 0, 0, m_statusBar.m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_FRAME_PROGRESS)),
                                   AtlGetModuleInstance(), nullptr);
    if (m_progress)
        ::SetWindowLongPtrA(m_progress, GWL_EXSTYLE, ::GetWindowLongPtrA(m_progress, GWL_EXSTYLE) & ~WS_EX_STATICEDGE);
    if (CDynamicUpdateUI* map = GetCommandStateMap())
        map->UIAddStatusBar(m_statusBar.m_hWnd);
}

// The client takes the frame's scroll bars; without a client the frame goes on without tabs.
void CMainFrame::CreateClient()
{
    const DWORD scrollBits = static_cast<DWORD>(GetStyle()) & (WS_HSCROLL | WS_VSCROLL);
    CLIENTCREATESTRUCT create = {nullptr, ID_FRAME_WINDOW_LIST_FIRST};
    m_hWndClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDIClient", nullptr, kMdiClientStyle | scrollBits, 0, 0, 1, 1,
                                     m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_FRAME_MDI_CLIENT)),
                                     AtlGetModuleInstance(), &create);
    m_hWndMDIClient = m_hWndClient;
    if (!m_hWndClient)
        return;
    if (scrollBits)
        ModifyStyle(scrollBits, 0, SWP_FRAMECHANGED);
    m_tabbedClient->SetFrameWindow(m_hWnd);
    m_tabbedClient->SubclassMDIClient(m_hWndClient);
    // The tabs' images are the site-icon cache's indices (its loading frames 0 to 3, then the page
    // icon and the sites' icons): the strip draws them from the cache's list, or none without it.
    IFrameSubsystems* subsystems = GetFrameSubsystems();
    m_tabbedClient->Owner().SetTabImageList(subsystems ? subsystems->GetSiteIconImages() : nullptr);
    ::BringWindowToTop(m_hWndClient);
    UpdateLayout();
}

// The content windows of the side panels belong to the navigation and browser libraries; a panel
// they do not make holds an empty static window with its caption.
HWND CMainFrame::CreatePaneContent(int index, const char* caption)
{
    if (IFrameSubsystems* subsystems = GetFrameSubsystems())
        if (HWND panel = subsystems->CreateSidePanel(m_hWnd, index))
            return panel;
    return ::CreateWindowExA(WS_EX_STATICEDGE, "STATIC", caption, WS_CHILD | SS_CENTER, 0, 0, 250, 200, m_hWnd, nullptr,
                             AtlGetModuleInstance(), nullptr);
}

void CMainFrame::CreateExplorerBarPanes()
{
    static constexpr const char* kCaptions[kExplorerBarPaneCount] = {"Favorites", "History", "Popup Blocker", "Ad-Filter"};
    static constexpr int kIcons[kExplorerBarPaneCount] = {8, 9, 11, 12};
    m_panes.Attach(m_hWnd);
    CImageListManager* images = GetImageListManager();
    for (int i = 0; i < kExplorerBarPaneCount; ++i) {
        const TStdStr<char> caption = TranslateText(kCaptions[i]);
        HICON icon = images ? ImageList_GetIcon(images->GetList(kSlotToolBarSmall), kIcons[i], ILD_NORMAL) : nullptr;
        m_panes.AddDockingPane(CreatePaneContent(i, caption.c_str()), caption.c_str(), icon);
    }
    // Then the panes of the pane plug-ins, with their names and icons.
    UpdatePluginPanes();
}

// ---------------------------------------------------------------------------------------------
// The tabs

IBrowserTab* CMainFrame::FindTab(HWND tabWindow) const
{
    const auto found = m_tabs.find(tabWindow);
    return found == m_tabs.end() ? nullptr : found->second;
}

IBrowserTab* CMainFrame::GetActiveTab() const
{
    return m_hWndMDIClient ? FindTab(MDIGetActive()) : nullptr;
}

IMdiTabOwner* CMainFrame::GetTabOwner() const
{
    return m_tabbedClient ? m_tabbedClient->GetTabOwner() : nullptr;
}

std::vector<HWND> CMainFrame::GetTabWindowsInOrder() const
{
    std::vector<HWND> windows;
    IMdiTabOwner* owner = GetTabOwner();
    ITabCtrlInterface* strip = owner ? owner->GetTabCtrl() : nullptr;
    const int count = strip ? strip->GetItemCount() : 0;
    for (int i = 0; i < count; ++i) {
        if (CTabItem* item = strip->GetItem(i)) {
            if (HWND window = item->GetViewWindow(); window && m_tabs.count(window))
                windows.push_back(window);
        }
    }
    // Tabs that the strip does not list (no client) follow in the map's order.
    for (const auto& [window, tab] : m_tabs) {
        if (std::find(windows.begin(), windows.end(), window) == windows.end())
            windows.push_back(window);
    }
    return windows;
}

void CMainFrame::AddTab(HWND tabWindow, IBrowserTab* tab)
{
    if (tabWindow && tab)
        m_tabs[tabWindow] = tab;
}

// A closing tab's web page becomes the newest recently closed page; the tabs that the frame's own
// closing takes down are not added.
void CMainFrame::RemoveTab(HWND tabWindow)
{
    const auto found = m_tabs.find(tabWindow);
    if (found == m_tabs.end())
        return;
    const CSettings* settings = GetSettings();
    if (found->second && !(settings && settings->Closing) && !m_closeStepsDone) {
        const TStdStr<char> url = found->second->GetUrl();
        if (IsWebUrl(url))
            m_recentClosed.AddToList(WindowText(tabWindow).c_str(), url.c_str());
    }
    m_tabs.erase(found);
}

HWND CMainFrame::OpenUrlInTab(const char* text, DWORD flags)
{
    // A URL handed over before the after-create message came needs the client and the bars.
    BuildFrameContents();
    TStdStr<char> url = TrimUrlText(text);
    SetAddressBarText(url.c_str());
    if (!url.empty() && EndsWithNoCase(url, ".url") && !IsProgramText(url)) {
        const TStdStr<char> stored = ReadInternetShortcutUrl(url);
        if (!stored.empty())
            url = stored;
    }
    const HWND active = m_hWndMDIClient ? MDIGetActive() : nullptr;
    IBrowserTab* activeTab = FindTab(active);
    const TStdStr<char> activeUrl = activeTab ? activeTab->GetUrl() : TStdStr<char>();
    switch (DecideOpenUrl(url, flags, activeTab != nullptr, activeUrl)) {
    case EOpenUrlAction::Ignore:
        return nullptr;
    case EOpenUrlAction::NavigateActive:
        activeTab->Navigate(url.c_str());
        return active;
    case EOpenUrlAction::NewTab:
        break;
    }
    IBrowserTabFactory* factory = GetBrowserTabFactory();
    const CSettings* settings = GetSettings();
    if (!factory) {
        // A program without the browser library's tabs shows the page it was asked for in its
        // title, as the least frame did.
        if (url.empty())
            return nullptr;
        m_titleWithoutTabs = url;
        SetWindowText(ComposeTitle().c_str());
        return m_hWnd;
    }
    if (!m_hWndMDIClient)
        return nullptr;
    IBrowserTab* tab = factory->CreateBrowserTab(m_hWndMDIClient, nullptr, url.c_str(),
                                                 settings ? static_cast<DWORD>(settings->DLCtrlFlags.value) : 0);
    HWND window = tab ? tab->GetTabWindow() : nullptr;
    if (!window)
        return nullptr;
    AddTab(window, tab);
    if ((flags & kOpenInBackground) && active && ::IsWindow(active))
        MDIActivate(active);
    if (MDIGetActive() == window) {
        ::SetFocus(nullptr);
        ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(kFocusPageCommand, 0), 0);
    }
    return window;
}

// The URL of a later start arrives as WM_COPYDATA (the single-instance finder checks and copies
// it), and the application opens it with the open-URL message while the copy-data message is
// still being handled.
LRESULT CMainFrame::OnCopyData(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    CSingleInstanceFinder* finder = GetSingleInstanceFinder();
    LRESULT result = 0;
    ++m_handOverDepth;
    const BOOL taken = finder && finder->ProcessWindowMessage(m_hWnd, message, wParam, lParam, result);
    --m_handOverDepth;
    if (!taken)
        handled = FALSE;
    return result;
}

// The wParam of the message is a pointer into the sender's memory: only a message of this thread
// (the program's own callers, the single-instance hand-off among them) is taken. A message sent
// from another thread or process could name any address.
LRESULT CMainFrame::OnOpenUrlMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (::InSendMessageEx(nullptr) != ISMEX_NOSEND && m_handOverDepth == 0)
        return 0;
    return reinterpret_cast<LRESULT>(OpenUrlInTab(reinterpret_cast<const char*>(wParam), static_cast<DWORD>(lParam)));
}

void CMainFrame::SaveSession()
{
    CSettings* settings = GetSettings();
    if (!settings || !settings->StartPagesOpened || settings->Closing)
        return;
    settings->LastOpenSites.clear();
    for (HWND window : GetTabWindowsInOrder()) {
        IBrowserTab* tab = FindTab(window);
        const TStdStr<char> url = tab ? tab->GetUrl() : TStdStr<char>();
        if (url.empty() || url == kBlankPageUrl)
            continue;
        settings->LastOpenSites.push_back({WindowText(window), url});
    }
    settings->SaveLastOpenSites();
}

void CMainFrame::CreateSidePanels()
{
    if (m_sidePanelsCreated)
        return;
    m_sidePanelsCreated = true;
    CreateExplorerBarPanes();
    m_panes.LoadState();
    UpdateLayout();
}

LRESULT CMainFrame::OnAfterCreate(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    StartupTraceMark("after-create");
    BuildFrameContents();
    CreateSidePanels();
    StartupTraceMark("side panels");
    if (wParam == 1) {
        OpenUrlInTab("", kOpenNewTab);
        FocusClientWindow();
        return 0;
    }
    RestorePlacement();
    CSettings* settings = GetSettings();
    if (!settings) {
        StartAutoUpdateCheck();
        return 0;
    }
    if (settings->RunCount.value == 1) {
        m_panes.HideAll();
        // The home page takes the first, blank tab; a page a later start handed over before this
        // message came is kept, and the home page gets a tab of its own.
        IBrowserTab* first = GetActiveTab();
        const TStdStr<char> shown = first ? first->GetUrl() : TStdStr<char>();
        OpenUrlInTab(kProductHomePage, shown.empty() || shown == kBlankPageUrl ? 0u : static_cast<DWORD>(kOpenNewTab));
        OpenUrlInTab(kSearchStartPage, kOpenNewTab);
        // The page the program was started with is not dropped on the first run either.
        if (auto* app = dynamic_cast<CBrowserApp*>(GetCurrentApp())) {
            const TStdStr<char> pending = app->TakePendingUrl();
            if (!pending.empty())
                OpenUrlInTab(pending.c_str(), kOpenNewTab);
        }
        settings->StartPagesOpened = true;
        StartAutoUpdateCheck();
        return 0;
    }
    if (settings->SysFlags & kSysFlagFullScreen) {
        EnterFullScreen();
        ShowWindow(SW_MAXIMIZE);
    }
    settings->LoadLastOpenSites();
    OpenStartPages(settings->LastOpenSites, settings->PreviousRunState == 1);
    if (settings->RunCount.value % kDonationReminderPeriod == 0 && !(settings->SysFlags & SysFlag::NoSupportReminder)) {
        RunFrameQuestion([this] {
            HWND active = ::GetActiveWindow();
            GetFrameQuestions().RemindDonation(active ? active : m_hWnd);
        });
    }
    StartAutoUpdateCheck();
    return 0;
}

// "Open Selected Sites" decides from the settings whether it asks; every site starts marked.
void CMainFrame::OpenStartPages(const std::vector<CSessionEntry>& session, bool previousRunEndedCleanly)
{
    CSettings* settings = GetSettings();
    bool opened = false;
    if (auto* app = dynamic_cast<CBrowserApp*>(GetCurrentApp())) {
        const TStdStr<char> url = app->TakePendingUrl();
        if (!url.empty()) {
            OpenUrlInTab(url.c_str(), kOpenNewTab);
            opened = true;
        }
    }
    const DWORD startupFlags = settings ? static_cast<DWORD>(settings->StartupFlags.value) : 0;
    const std::vector<CSessionEntry> sites = session;  // opening tabs rewrites the settings' list
    std::vector<bool> chosen(sites.size(), true);
    int answer = kSessionRestoreOpenNone;
    RunFrameQuestion([&] { answer = GetFrameQuestions().ChooseSessionSites(m_hWnd, sites, chosen, previousRunEndedCleanly); });
    if (answer == kSessionRestoreOpen) {
        for (size_t i = 0; i < sites.size(); ++i)
            if (i < chosen.size() && chosen[i])
                OpenUrlInTab(sites[i].url.c_str(), kOpenNewTab);
        opened = true;
    }
    if (settings)
        settings->StartPagesOpened = true;
    if (opened)
        return;
    if (startupFlags & kStartupFlagHomePage) {
        if (IBrowserTab* tab = GetActiveTab())
            tab->GoHome();
    } else if (startupFlags & kStartupFlagSearchPage) {
        OpenUrlInTab(kSearchStartPage, kOpenNewTab);
    }
    // The group (0x8) and start-site (0x10) modes open through the group store and the start-site
    // list of the navigation library once they land.
}

// ---------------------------------------------------------------------------------------------
// Close, destroy, end of session

bool CMainFrame::ConfirmExit()
{
    if (m_closeStepsDone)
        return true;
    int answer = IDCANCEL;
    m_askingExit = true;
    RunFrameQuestion([&] {
        answer = GetFrameQuestions().AskExit(m_hWnd, [this](const char* group) { return SaveOpenPagesToGroup(group); });
    });
    m_askingExit = false;
    return answer == IDOK;
}

bool CMainFrame::SaveOpenPagesToGroup(const char* group)
{
    std::vector<CStdString> urls;
    for (HWND window : GetTabWindowsInOrder()) {
        const IBrowserTab* tab = FindTab(window);
        const TStdStr<char> url = tab ? tab->GetUrl() : TStdStr<char>();
        if (!url.empty() && url != kBlankPageUrl)
            urls.push_back(url);
    }
    IFrameSubsystems* subsystems = GetFrameSubsystems();
    return subsystems && subsystems->SaveGroup(group, urls);
}

// The session is saved before any tab goes, and from then on tab changes no longer rewrite it:
// the tabs that closing takes down would otherwise leave an empty list for the next start.
void CMainFrame::RunCloseSteps()
{
    if (m_closeStepsDone)
        return;
    SaveSession();
    m_closeStepsDone = true;
    CSettings* settings = GetSettings();
    if (settings) {
        settings->Closing = true;
        if (settings->SysFlags & kSysFlagFullScreen) {
            LeaveFullScreen();
            settings->SysFlags |= kSysFlagFullScreen;
        }
        settings->ViewFlags &= ~kViewFlagLogWindowOpen;
    }
    m_panes.SaveState();
    m_panes.CloseAll();
}

void CMainFrame::RunDestroySteps()
{
    if (m_destroyStepsDone)
        return;
    m_destroyStepsDone = true;
    UnregisterNameSpace();
    m_panes.DestroyIcons();
    SavePlacement();
    SaveBandLayout(kFrameSettingsSection);
    if (m_systemToolBar)
        m_mainToolBarStyle.Save();
    WriteRecentClosedList();
    OnStopAll(ID_FRAME_STOP_ALL);
    if (IFrameSubsystems* subsystems = GetFrameSubsystems()) {
        subsystems->DestroyBars();
        m_addressBar = nullptr;
        m_searchBar = nullptr;
    }
    if (m_dropTargetRegistered)
        ::RevokeDragDrop(m_hWnd);
    m_dropTargetRegistered = false;
    if (CMessageLoop* loop = GetAppModule().GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    if (GetBrowserTabHost() == this)
        SetBrowserTabHost(m_previousHost);
    if (m_trackerInstalled)
        SetFramePopupMenuTracker(m_previousTracker);
    m_trackerInstalled = false;
}

// A close that comes while one of the frame's own dialogs is up (from the taskbar, another
// program) ends that dialog as Cancel and closes once it is gone: closing under it would destroy
// the frame inside the handler that runs the dialog.
void CMainFrame::RunFrameQuestion(const std::function<void()>& question)
{
    const bool wasModal = IsInModalLoop();
    SetInModalLoop(true);
    ++m_questionDepth;
    question();
    --m_questionDepth;
    SetInModalLoop(wasModal);
    if (m_questionDepth == 0 && m_closeAfterQuestion && ::IsWindow(m_hWnd)) {
        m_closeAfterQuestion = false;
        PostMessage(WM_CLOSE);
    }
}

LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_questionDepth > 0) {
        if (!m_askingExit) {
            // Without a dialog to cancel (the question shows none yet), the close waits for the
            // question to end; posting it again here would only spin the modal loop.
            m_closeAfterQuestion = true;
            if (HWND dialog = FindFrameDialog(m_hWnd))
                ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        return 0;
    }
    if (!ConfirmExit())
        return 0;
    RunCloseSteps();
    handled = FALSE;
    return 0;
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    RunCloseSteps();
    RunDestroySteps();
    if (m_tabbedClient && m_tabbedClient->IsSubclassed())
        m_tabbedClient->UnsubclassMDIClient();
    if (CAppWindowInfo* info = GetAppWindowInfo(); info && info->GetMainWindow() == m_hWnd)
        info->SetMainWindow(nullptr);
    ::PostQuitMessage(1);
    handled = FALSE;
    return 0;
}

// The query shows nothing and tears nothing down, because another program may still veto the end
// of the session: it saves what the user would lose and agrees. The teardown waits for
// WM_ENDSESSION that confirms the end.
LRESULT CMainFrame::OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&)
{
    SaveSession();
    if (CSettings* settings = GetSettings())
        settings->Save();
    return TRUE;
}

LRESULT CMainFrame::OnEndSession(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam) {
        RunCloseSteps();
        RunDestroySteps();
        if (CSettings* settings = GetSettings())
            settings->Save();
    }
    return 0;
}

void CMainFrame::RestorePlacement()
{
    CWindowPlacementSetting placement(kFrameSettingsSection, "Placement", true);
    placement.m_hWnd = m_hWnd;
    placement.Restore();
}

void CMainFrame::SavePlacement()
{
    CWindowPlacementSetting placement(kFrameSettingsSection, "Placement", true);
    placement.m_hWnd = m_hWnd;
    placement.Save();
}

void CMainFrame::ReadRecentClosedList()
{
    CZ4KApp* app = GetCurrentApp();
    CRegistryKey key;
    if (app && app->GetSectionKey(kRecentClosedKey, key))
        m_recentClosed.ReadFromRegistry(key, true);
}

void CMainFrame::WriteRecentClosedList()
{
    CZ4KApp* app = GetCurrentApp();
    CRegistryKey key;
    if (app && app->GetSectionKey(kRecentClosedKey, key))
        m_recentClosed.WriteToRegistry(key);
}

// ---------------------------------------------------------------------------------------------
// Messages

LRESULT CMainFrame::OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (CDynamicUpdateUI* map = GetCommandStateMap()) {
        BOOL mapHandled = TRUE;
        map->OnInitMenuPopup(message, wParam, lParam, mapHandled);
    }
    // The cookie submenu shows the system's levels and permissions as they are now.
    if (IFramePrivacy* privacy = GetFramePrivacy()) {
        HMENU popup = reinterpret_cast<HMENU>(wParam);
        HMENU tools = FindMenuPopup("&Tools");
        if (popup && tools && popup == FindMenuPopup("&Tools\nCookies IE&6")) {
            for (int i = 0; i < ::GetMenuItemCount(tools); ++i) {
                if (::GetSubMenu(tools, i) == popup)
                    privacy->UpdateCookieMenu(popup, tools, static_cast<UINT>(i));
            }
        }
    }
    if (HMENU popup = reinterpret_cast<HMENU>(wParam); popup && popup == FindMenuPopup("&View\nEnco&ding"))
        CheckActiveEncoding(popup);
    if (IFrameSubsystems* subsystems = GetFrameSubsystems())
        subsystems->InitFrameMenuPopup(m_hWnd, m_menu, reinterpret_cast<HMENU>(wParam));
    handled = FALSE;
    return 0;
}

// Deactivation remembers the focus and closes a blocked web-page dialog that takes the activation.
LRESULT CMainFrame::OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (LOWORD(wParam) != WA_INACTIVE) {
        if (m_focusOnDeactivate && ::IsWindow(m_focusOnDeactivate) && ::IsChild(m_hWnd, m_focusOnDeactivate)) {
            ::SetFocus(m_focusOnDeactivate);
            handled = TRUE;
        }
        return 0;
    }
    m_focusOnDeactivate = ::GetFocus();
    const CSettings* settings = GetSettings();
    CMainFrameData& data = GetMainFrameData();
    if (!settings || !(settings->BlockerFlags & BlockerFlag::PopupBlocker) ||
        (settings->BlockerFlags & BlockerFlag::WebPageDialogBlocker) || data.m_pendingBlockedDialogs < 1)
        return 0;
    --data.m_pendingBlockedDialogs;
    HWND other = reinterpret_cast<HWND>(lParam);
    char className[64] = {};
    if (other && ::GetWindow(other, GW_OWNER) == m_hWnd && ::GetClassNameA(other, className, sizeof(className)) &&
        lstrcmpA(className, "Internet Explorer_TridentDlgFrame") == 0 && WindowText(other).find("--") != TStdStr<char>::npos) {
        ::ShowWindow(other, SW_HIDE);
        ::PostMessageA(other, WM_CLOSE, 0, 0);
    }
    return 0;
}

void CMainFrame::ShowPopupMenuAt(HMENU popup, int x, int y, bool postSystemCommands)
{
    if (!popup)
        return;
    const UINT command = TrackFramePopupMenu(popup, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, m_hWnd);
    if (!command)
        return;
    if (postSystemCommands && command >= 0xF000 && command < ID_FRAME_WINDOW_LIST_FIRST)
        PostMessage(WM_SYSCOMMAND, command, 0);
    else
        PostMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

LRESULT CMainFrame::OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (reinterpret_cast<HWND>(wParam) != m_hWndToolBar || !m_hWndToolBar) {
        handled = FALSE;
        return 0;
    }
    ShowPopupMenuAt(FindMenuPopup("&View\n&Toolbars"), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), false);
    return 0;
}

LRESULT CMainFrame::OnTabStripContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    HMENU menu = ::LoadMenuA(AtlGetResourceInstance(), MAKEINTRESOURCEA(IDR_TAB_STRIP_MENU));
    if (!menu)
        return 0;
    HMENU popup = ::GetSubMenu(menu, 0);
    for (int i = 0, count = ::GetMenuItemCount(popup); i < count; ++i) {
        if (HMENU window = ::GetSubMenu(popup, i); window && GetMenuItemText(popup, i, MF_BYPOSITION) == "&Window") {
            while (::GetMenuItemCount(window) > 0)
                ::DeleteMenu(window, 0, MF_BYPOSITION);
            const std::vector<HWND> tabs = GetTabWindowsInOrder();
            for (size_t t = 0; t < tabs.size() && t < kMaxWindowListItems; ++t) {
                const TStdStr<char> text = FormatString("&%d ", static_cast<int>(t) + 1) + WindowText(tabs[t]);
                ::AppendMenuA(window, MF_STRING, ID_FRAME_WINDOW_LIST_FIRST + t, text.c_str());
            }
        }
    }
    ShowPopupMenuAt(popup, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), true);
    ::DestroyMenu(menu);
    return 0;
}

LRESULT CMainFrame::OnAppCommand(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    UINT command = 0;
    switch (GET_APPCOMMAND_LPARAM(lParam)) {
    case APPCOMMAND_BROWSER_BACKWARD:
        command = ID_FRAME_BACK_FIRST;
        break;
    case APPCOMMAND_BROWSER_FORWARD:
        command = ID_FRAME_FORWARD_FIRST;
        break;
    case APPCOMMAND_BROWSER_REFRESH:
        command = ID_FRAME_REFRESH;
        break;
    case APPCOMMAND_BROWSER_STOP:
        command = ID_FRAME_STOP;
        break;
    case APPCOMMAND_BROWSER_FAVORITES:
        command = ID_FRAME_PANE_FIRST;
        break;
    case APPCOMMAND_BROWSER_HOME:
        command = ID_FRAME_GO_HOME;
        break;
    case APPCOMMAND_FIND:
        command = ID_FRAME_FIND;
        break;
    default:
        handled = FALSE;
        return 0;
    }
    PostMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return TRUE;
}

LRESULT CMainFrame::OnToolBarDropDown(int, LPNMHDR header, BOOL& handled)
{
    const auto* notify = reinterpret_cast<const NMTOOLBARA*>(header);
    if (!GetActiveTab()) {
        return TBDDRET_DEFAULT;
    }
    RECT rect = {};
    ::SendMessageA(notify->hdr.hwndFrom, TB_GETRECT, notify->iItem, reinterpret_cast<LPARAM>(&rect));
    ::MapWindowPoints(notify->hdr.hwndFrom, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    UINT menuId = 0;
    HMENU popup = nullptr;
    switch (notify->iItem) {
    case ID_FRAME_STOP:
        menuId = IDR_STOP_ALL_MENU;
        break;
    case ID_FRAME_REFRESH:
        menuId = IDR_REFRESH_ALL_MENU;
        break;
    case ID_FRAME_FAVORITES_BUTTON:
        menuId = IDR_FAVORITES_BUTTON_MENU;
        break;
    case ID_FRAME_CLOSE_ALL:
        menuId = IDR_CLOSE_ALL_MENU;
        break;
    case ID_FRAME_TEXT_SIZE_BUTTON:
        menuId = IDR_TEXT_SIZE_MENU;
        break;
    case ID_FRAME_MAIL_BUTTON:
        popup = FindMenuPopup("&Tools\n&Mail and News");
        break;
    case ID_FRAME_ENCODING_BUTTON:
        popup = FindMenuPopup("&View\nEnco&ding");
        break;
    case ID_FRAME_REOPEN_LAST_CLOSED:
        popup = FindMenuPopup("&File\nOpen Recen&t");
        break;
    case ID_FRAME_TOOLS_BUTTON:
        popup = FindMenuPopup("&Tools\n&External Tools");
        break;
    case ID_FRAME_ZOOM_BUTTON:
        popup = FindMenuPopup("&View\n&Zoom");
        break;
    case ID_FRAME_CLEAR_ALL:
        popup = FindMenuPopup("&Tools\n&Clear Records");
        break;
    case ID_FRAME_PANE_LAST:
        popup = FindMenuPopup("&View\n&Explorer Bar");
        break;
    case ID_FRAME_NEW_BLANK:
        popup = FindMenuPopup("&File\n&New");
        break;
    case ID_FRAME_BACK:
    case ID_FRAME_FORWARD:
        ShowHistoryMenu(notify->iItem == ID_FRAME_BACK, rect.left, rect.bottom);
        return TBDDRET_DEFAULT;
    default:
        handled = FALSE;
        return TBDDRET_DEFAULT;
    }
    HMENU loaded = menuId ? ::LoadMenuA(AtlGetResourceInstance(), MAKEINTRESOURCEA(menuId)) : nullptr;
    if (loaded)
        popup = ::GetSubMenu(loaded, 0);
    ShowPopupMenuAt(popup, rect.left, rect.bottom, false);
    if (loaded)
        ::DestroyMenu(loaded);
    return TBDDRET_DEFAULT;
}

// The tab's earlier or later pages; a chosen page's command goes to the tab, which travels there.
void CMainFrame::ShowHistoryMenu(bool back, int x, int y)
{
    IBrowserTab* tab = GetActiveTab();
    IWebBrowser2* browser = tab ? tab->GetWebBrowser() : nullptr;
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return;
    const int added = back ? FillBackMenu(browser, menu, ID_FRAME_BACK_FIRST)
                           : FillForwardMenu(browser, menu, ID_FRAME_FORWARD_FIRST);
    if (added > 0)
        ShowPopupMenuAt(menu, x, y, false);
    ::DestroyMenu(menu);
}

LRESULT CMainFrame::OnMainToolBarNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    LRESULT result = 0;
    if (!header || !m_mainToolBarStyle.HandleNotify(*header, result)) {
        handled = FALSE;
        return 0;
    }
    if (header->code == TBN_ENDADJUST || header->code == TBN_RESET)
        UpdateLayout();
    return result;
}

LRESULT CMainFrame::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const UINT id = LOWORD(wParam);
    // The navigation aids' own commands (typed addresses, search history, groups, aliases) are
    // carried out by their library, which the frame's rows for the same ids only stand in for.
    if (IFrameSubsystems* subsystems = GetFrameSubsystems()) {
        const IBrowserTab* active = GetActiveTab();
        if (subsystems->HandleNavigationCommand(m_hWnd, id, active ? active->GetUrl().c_str() : ""))
            return 0;
    }
    for (const CFrameCommand& command : GetCommandTable()) {
        if (id >= command.first && id <= command.last) {
            if ((this->*command.handler)(id))
                return 0;
            break;
        }
    }
    handled = FALSE;
    return 0;
}

// A command that the frame does not handle goes to the active tab; the search goes on to the MDI
// frame's default processing.
LRESULT CMainFrame::OnCommandToActiveTab(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (m_hWndMDIClient) {
        if (HWND active = MDIGetActive())
            ::SendMessageA(active, message, wParam, lParam);
    }
    handled = FALSE;
    return 0;
}

// With a maximised active child the title shows its text; offline mode adds a notice.
TStdStr<char> CMainFrame::ComposeTitle() const
{
    TStdStr<char> title = kAppName;
    BOOL maximized = FALSE;
    HWND active = m_hWndMDIClient ? MDIGetActive(&maximized) : nullptr;
    if (!active && !m_titleWithoutTabs.empty())
        title = m_titleWithoutTabs + " - " + kAppName;
    // A tab without text yet (a blank one) leaves the program's name alone, not " - Kivo Browser".
    const TStdStr<char> activeText = active && maximized ? WindowText(active) : TStdStr<char>();
    if (!activeText.empty()) {
        const bool statusVisible = m_hWndStatusBar && ::IsWindowVisible(m_hWndStatusBar);
        title = activeText;
        if (statusVisible)
            title += TStdStr<char>(" - ") + kAppName;
    }
    if (GetFrameShell().IsWorkingOffline())
        title += " - [" + TranslateText("Working Offline") + "]";
    return title;
}

LRESULT CMainFrame::OnGetText(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (!m_hWndMDIClient) {
        handled = FALSE;
        return 0;
    }
    const TStdStr<char> title = ComposeTitle();
    char* buffer = reinterpret_cast<char*>(lParam);
    const int size = static_cast<int>(wParam);
    if (!buffer || size <= 0)
        return 0;
    lstrcpynA(buffer, title.c_str(), size);
    return lstrlenA(buffer);
}

LRESULT CMainFrame::OnGetTextLength(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_hWndMDIClient) {
        handled = FALSE;
        return 0;
    }
    return static_cast<LRESULT>(ComposeTitle().size());
}

// The frame's own keys first: keys meant for the focused control stop the translation; then the
// accelerators and the MDI keys; then the active tab's own pre-translation.
BOOL CMainFrame::PreTranslateMessage(MSG* message)
{
    if (!message || !m_hWnd)
        return FALSE;
    // A key that a bar keeps (Enter to go, Escape, the editing keys) reaches its edit untranslated.
    if (IFrameSubsystems* subsystems = GetFrameSubsystems(); subsystems && subsystems->KeepsKeyForBar(message))
        return FALSE;
    const UINT type = message->message;
    if ((type == WM_KEYDOWN || type == WM_SYSKEYDOWN || type == WM_KEYUP) && IsWindowVisible() &&
        ::IsChild(m_hWnd, message->hwnd)) {
        const WPARAM key = message->wParam;
        const bool shiftOrCtrl = IsKeyDown(VK_SHIFT) || IsKeyDown(VK_CONTROL);
        if (key == VK_F4 || key == VK_RETURN)
            return FALSE;
        if (shiftOrCtrl && (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_HOME ||
                            key == VK_END))
            return FALSE;
        if (!shiftOrCtrl && key >= 1 && key <= kLastControlKey && !(message->lParam & kExtendedKeyBit))
            return FALSE;
    }
    if (m_hAccel && ::TranslateAcceleratorA(m_hWnd, m_hAccel, message))
        return TRUE;
    if (m_hWndMDIClient && ::TranslateMDISysAccel(m_hWndMDIClient, message))
        return TRUE;
    HWND active = m_hWndMDIClient ? MDIGetActive() : nullptr;
    if (active && IsDescendantOrSelf(active, ::GetFocus()))
        return static_cast<BOOL>(::SendMessageA(active, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(message)));
    return FALSE;
}

BOOL CMainFrame::OnIdle()
{
    const CSettings* settings = GetSettings();
    CDynamicUpdateUI* map = GetCommandStateMap();
    if (!settings || settings->Closing || !map)
        return FALSE;
    const DWORD blocker = settings->BlockerFlags;
    const DWORD tabOpen = static_cast<DWORD>(settings->TabOpenFlags.value);
    map->UISetCheck(ID_FRAME_ENABLE_POPUP_BLOCKER, (blocker & BlockerFlag::PopupBlocker) ? 1 : 0);
    map->UISetCheck(ID_FRAME_ENABLE_AD_FILTER, (blocker & BlockerFlag::AdFilter) ? 1 : 0);
    map->UISetCheck(ID_FRAME_ENABLE_DIALOG_BLOCKER, (blocker & BlockerFlag::WebPageDialogBlocker) ? 0 : 1);
    map->UIEnable(ID_FRAME_ENABLE_DIALOG_BLOCKER, (blocker & BlockerFlag::PopupBlocker) != 0);
    map->UISetCheck(ID_FRAME_ADDRESS_NEW_TAB, (tabOpen & TabOpenFlag::AddressBar) ? 1 : 0);
    map->UISetCheck(ID_FRAME_SEARCH_NEW_TAB, (tabOpen & TabOpenFlag::SearchBar) ? 1 : 0);
    map->UISetCheck(ID_FRAME_FAVPANE_NEW_TAB, (tabOpen & TabOpenFlag::LinksBar) ? 1 : 0);
    map->UISetCheck(ID_FRAME_FAVMENU_NEW_TAB, (tabOpen & TabOpenFlag::Favorites) ? 1 : 0);
    map->UISetCheck(ID_FRAME_VIEW_LOGS, OwnsWindowOfClass(m_hWnd, kBlockedLogWindowClass) ? 1 : 0);
    map->UIEnable(ID_FRAME_REOPEN_LAST_CLOSED, !m_recentClosed.IsEmpty());
    map->UISetCheck(ID_FRAME_FULL_SCREEN, IsFullScreen() ? 1 : 0);
    // One update check at a time: the command waits while one runs.
    map->UIEnable(ID_CHECK_FOR_UPDATE, !GetServices().GetUpdateCheck().IsRunning());
    for (int i = 0; i < m_panes.GetCount() && i < kExplorerBarPaneCount; ++i)
        map->UISetCheck(static_cast<WORD>(ID_FRAME_PANE_FIRST + i), m_panes.IsVisible(i) ? 1 : 0);
    // Back and Forward are the active tab's: without a tab, or a tab that has no history, neither
    // can be pressed.
    IBrowserTab* active = GetActiveTab();
    for (const WORD id : {static_cast<WORD>(ID_FRAME_BACK), static_cast<WORD>(ID_FRAME_FORWARD)}) {
        bool enabled = false;
        bool checked = false;
        if (!active || !active->QueryCommandState(id, enabled, checked))
            enabled = false;
        map->UIEnable(id, enabled);
    }
    map->UIUpdateToolBar();
    map->UIUpdateStatusBar();
    return FALSE;
}

// ---------------------------------------------------------------------------------------------
// IBrowserTabHost

void CMainFrame::OnPopupBlocked(const char* title, const char* openerUrl, const char* url)
{
    if (GetSettings())
        RecordPopupBlocked(this, title, openerUrl, url);
}

void CMainFrame::OnAdBlocked(const char* rule, const char* url)
{
    if (GetSettings())
        RecordAdBlocked(rule, url);
}

// The bar lies over the first status pane while a page loads, the pane's text hidden beneath it.
void CMainFrame::ShowProgress(bool shown, int position, int maximum)
{
    if (!m_progress || !::IsWindow(m_progress))
        return;
    if (!shown || maximum <= 0) {
        ::ShowWindow(m_progress, SW_HIDE);
        return;
    }
    RECT pane = {};
    if (m_statusBar.m_hWnd && m_statusBar.GetRect(1, &pane))
        ::SetWindowPos(m_progress, nullptr, pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageA(m_progress, PBM_SETRANGE32, 0, maximum);
    ::SendMessageA(m_progress, PBM_SETPOS, static_cast<WPARAM>(std::clamp(position, 0, maximum)), 0);
    ::ShowWindow(m_progress, SW_SHOWNA);
}

// The search bar of the navigation library is a ComboBoxEx with an edit inside; the stand-in is the
// edit itself (an edit answers CBEM_GETEDITCONTROL with 0).
HWND CMainFrame::GetSearchBarEdit() const
{
    if (!m_searchBar)
        return nullptr;
    HWND edit = reinterpret_cast<HWND>(::SendMessageA(m_searchBar, CBEM_GETEDITCONTROL, 0, 0));
    return edit ? edit : m_searchBar;
}

HWND CMainFrame::GetAddressBarEdit() const
{
    return m_addressBar ? reinterpret_cast<HWND>(::SendMessageA(m_addressBar, CBEM_GETEDITCONTROL, 0, 0)) : nullptr;
}

void CMainFrame::SetAddressBarText(const char* text)
{
    if (HWND edit = GetAddressBarEdit())
        ::SetWindowTextA(edit, text ? text : "");
}

void CMainFrame::SetTabImage(HWND tabWindow, int image)
{
    if (IMdiTabOwner* owner = GetTabOwner())
        owner->SetTabImage(tabWindow, image);
}

// The lock and privacy panes are an icon wide: their text is the icon's tooltip, where a pane
// text would show only its first letters beside the icon.
void CMainFrame::SetStatusPane(int paneId, HICON icon, const char* text)
{
    if (!m_statusBar.m_hWnd)
        return;
    const int index = m_statusBar.GetPaneIndexFromId(paneId);
    if (paneId == ID_PANE_SECURE || paneId == ID_PANE_AD_FILTER) {
        m_statusBar.SetPaneText(paneId, "");
        if (index >= 0)
            ::SendMessageA(m_statusBar.m_hWnd, SB_SETTIPTEXTA, index, reinterpret_cast<LPARAM>(text ? text : ""));
    } else {
        m_statusBar.SetPaneText(paneId, text ? text : "");
    }
    if (index >= 0)
        ::SendMessageA(m_statusBar.m_hWnd, SB_SETICON, index, reinterpret_cast<LPARAM>(icon));
}

void CMainFrame::FocusClientWindow()
{
    if (HWND edit = GetAddressBarEdit())
        ::SetFocus(edit);
    else if (m_addressBar)
        ::SetFocus(m_addressBar);
}

void CMainFrame::FocusSearchBar()
{
    if (HWND edit = GetSearchBarEdit())
        ::SetFocus(edit);
}

// ---------------------------------------------------------------------------------------------
// Full screen: the mode is on while the frame has no caption.

bool CMainFrame::IsFullScreen() const
{
    return m_hWnd && !(GetStyle() & WS_CAPTION);
}

void CMainFrame::EnterFullScreen()
{
    if (IsFullScreen())
        return;
    m_bandsHiddenByFullScreen.clear();
    for (UINT band : kFullScreenBands) {
        if (IsReBarBandVisible(m_hWndToolBar, band)) {
            m_bandsHiddenByFullScreen.push_back(band);
            ShowReBarBand(m_hWndToolBar, band, false);
        }
    }
    if (m_hWndStatusBar)
        ::ShowWindow(m_hWndStatusBar, SW_HIDE);
    WINDOWPLACEMENT placement = {sizeof(placement)};
    GetWindowPlacement(&placement);
    m_wasMaximizedBeforeFullScreen = placement.showCmd == SW_SHOWMAXIMIZED;
    ModifyStyle(WS_CAPTION, 0);
    if (m_wasMaximizedBeforeFullScreen)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
        ShowWindow(SW_MAXIMIZE);
    if (CSettings* settings = GetSettings())
        settings->SysFlags |= kSysFlagFullScreen;
    UpdateLayout();
}

void CMainFrame::LeaveFullScreen()
{
    if (!IsFullScreen())
        return;
    for (UINT band : m_bandsHiddenByFullScreen)
        ShowReBarBand(m_hWndToolBar, band, true);
    m_bandsHiddenByFullScreen.clear();
    if (m_hWndStatusBar)
        ::ShowWindow(m_hWndStatusBar, SW_SHOWNOACTIVATE);
    ModifyStyle(0, WS_CAPTION);
    if (m_wasMaximizedBeforeFullScreen)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
        ShowWindow(SW_RESTORE);
    if (CSettings* settings = GetSettings())
        settings->SysFlags &= ~kSysFlagFullScreen;
    UpdateLayout();
}

// ---------------------------------------------------------------------------------------------
// The command table

const std::vector<CFrameCommand>& CMainFrame::GetCommandTable()
{
    static const std::vector<CFrameCommand> table = {
        {ID_FRAME_EXIT, ID_FRAME_EXIT, &CMainFrame::OnExit},
        {ID_FRAME_RECENT_FIRST, ID_FRAME_RECENT_LAST, &CMainFrame::OnReopenRecent},
        {ID_FRAME_REOPEN_LAST_CLOSED, ID_FRAME_REOPEN_LAST_CLOSED, &CMainFrame::OnReopenLastClosed},
        {ID_FRAME_WORK_OFFLINE, ID_FRAME_WORK_OFFLINE, &CMainFrame::OnWorkOffline},
        {ID_FRAME_IMPORT_EXPORT, ID_FRAME_IMPORT_EXPORT, &CMainFrame::OnImportExport},
        {ID_FRAME_NEW_BLANK, ID_FRAME_NEW_BLANK, &CMainFrame::OnNewBlankPage},
        {ID_FRAME_OPEN, ID_FRAME_OPEN, &CMainFrame::OnOpen},
        {ID_FRAME_PROXY_CUSTOMIZE, ID_FRAME_PROXY_NONE, &CMainFrame::OnProxyCommand},
        {ID_FRAME_PROXY_FIRST, ID_FRAME_PROXY_LAST, &CMainFrame::OnProxyCommand},
        {ID_FRAME_ABOUT, ID_FRAME_ABOUT, &CMainFrame::OnAbout},
        {ID_FRAME_ORGANIZE_GROUPS, ID_FRAME_SAVE_GROUP, &CMainFrame::OnGroupCommand},
        {ID_FRAME_ADD_TO_GROUP_FIRST, ID_FRAME_ADD_TO_GROUP_LAST, &CMainFrame::OnGroupCommand},
        {ID_FRAME_GROUP_FIRST, ID_FRAME_GROUP_LAST, &CMainFrame::OnGroupCommand},
        {ID_FRAME_PANE_FIRST, ID_FRAME_PANE_LAST, &CMainFrame::OnTogglePane},
        {ID_FRAME_SHOW_ALL_PANES, ID_FRAME_SHOW_ALL_PANES, &CMainFrame::OnShowAllPanes},
        {ID_FRAME_HIDE_ALL_PANES, ID_FRAME_HIDE_ALL_PANES, &CMainFrame::OnHideAllPanes},
        {ID_FRAME_FULL_SCREEN, ID_FRAME_FULL_SCREEN, &CMainFrame::OnFullScreen},
        {ID_FRAME_TOGGLE_ADDRESS_BAR, ID_FRAME_TOGGLE_SEARCH_BAR, &CMainFrame::OnToggleBand},
        {ID_FRAME_TOGGLE_FORM_FILLER_BAR, ID_FRAME_TOGGLE_PLUGINS_BAR, &CMainFrame::OnToggleBand},
        {ID_FRAME_EDIT_BUTTON, ID_FRAME_EDIT_BUTTON, &CMainFrame::OnEditWith},
        {ID_FRAME_DONATE, ID_FRAME_DONATE, &CMainFrame::OnDonate},
        {ID_FRAME_FORUM, ID_FRAME_FORUM, &CMainFrame::OnOpenSitePage},
        {ID_FRAME_CLOSE_ALL_BLANK, ID_FRAME_CLOSE_ALL_BLANK, &CMainFrame::OnCloseAllBlank},
        {ID_FRAME_CLOSE_ALL, ID_FRAME_CLOSE_ALL_EXCEPT_CURRENT, &CMainFrame::OnCloseAll},
        {ID_FRAME_CLEAR_ALL, ID_FRAME_CLEAR_COOKIES, &CMainFrame::OnClearRecords},
        {ID_FRAME_CLEAR_UNDO, ID_FRAME_CLEAR_SEARCH, &CMainFrame::OnClearRecords},
        {ID_FRAME_URL_ALIAS, ID_FRAME_URL_ALIAS, &CMainFrame::OnOptionsCommand},
        {ID_FRAME_ADDRESS_OPTIONS, ID_FRAME_ADDRESS_OPTIONS, &CMainFrame::OnOptionsCommand},
        {ID_FRAME_SEARCH_OPTIONS, ID_FRAME_SEARCH_OPTIONS, &CMainFrame::OnOptionsCommand},
        {ID_FRAME_TAB_OPTIONS, ID_FRAME_TAB_OPTIONS, &CMainFrame::OnOptionsCommand},
        {ID_FRAME_FAVORITES_OPTIONS, ID_FRAME_FAVORITES_OPTIONS, &CMainFrame::OnOptionsCommand},
        {ID_FRAME_OPTIONS, ID_FRAME_OPTIONS, &CMainFrame::OnOptionsCommand},
        {ID_FRAME_ADDRESS_NEW_TAB, ID_FRAME_FAVMENU_NEW_TAB, &CMainFrame::OnToggleTabOpenFlag},
        {ID_FRAME_SEARCH_NEW_TAB, ID_FRAME_SEARCH_NEW_TAB, &CMainFrame::OnToggleTabOpenFlag},
        {ID_FRAME_MAIL_BUTTON, ID_FRAME_MAIL_BUTTON, &CMainFrame::OnMailCommand},
        {ID_FRAME_READ_MAIL, ID_FRAME_READ_MAIL, &CMainFrame::OnMailCommand},
        {ID_FRAME_NEW_MESSAGE, ID_FRAME_NEW_MESSAGE, &CMainFrame::OnMailCommand},
        {ID_FRAME_READ_NEWS, ID_FRAME_READ_NEWS, &CMainFrame::OnMailCommand},
        {ID_FRAME_SYNCHRONIZE, ID_FRAME_SYNCHRONIZE, &CMainFrame::OnMailCommand},
        {ID_FRAME_MAIL_PROGRAM_FIRST, ID_FRAME_MAIL_PROGRAM_LAST, &CMainFrame::OnMailProgram},
        {ID_FRAME_WINDOWS_UPDATE, ID_FRAME_WINDOWS_UPDATE, &CMainFrame::OnOpenSitePage},
        {ID_FRAME_TRANSLATE_FIRST, ID_FRAME_TRANSLATE_SECOND, &CMainFrame::OnOpenSitePage},
        {ID_FRAME_DOWNLOAD_FORM_FILLER, ID_FRAME_DOWNLOAD_PLUGINS, &CMainFrame::OnOpenSitePage},
        {kTabStateChangedCommand, kTabStateChangedCommand, &CMainFrame::OnTabStateChanged},
        {ID_FRAME_NEW_FROM_CLIPBOARD, ID_FRAME_NEW_FROM_CLIPBOARD, &CMainFrame::OnNewFromClipboard},
        {ID_FRAME_NEW_HOME_PAGE, ID_FRAME_NEW_HOME_PAGE, &CMainFrame::OnNewHomePage},
        {ID_FRAME_NEW_CURRENT_PAGE, ID_FRAME_NEW_CURRENT_PAGE, &CMainFrame::OnNewCurrentPage},
        {ID_FRAME_NEW_INSTANCE, ID_FRAME_NEW_INSTANCE, &CMainFrame::OnNewInstance},
        {ID_FRAME_VIEW_LOGS, ID_FRAME_VIEW_LOGS, &CMainFrame::OnViewLogs},
        {ID_FRAME_COPY, ID_FRAME_CUT, &CMainFrame::OnEditCommand},
        {ID_FRAME_PASTE, ID_FRAME_PASTE, &CMainFrame::OnEditCommand},
        {ID_FRAME_SELECT_ALL, ID_FRAME_SELECT_ALL, &CMainFrame::OnEditCommand},
        {ID_FRAME_ORGANIZE_FAVORITES, ID_FRAME_ORGANIZE_FAVORITES, &CMainFrame::OnOrganizeFavorites},
        {ID_FRAME_ENABLE_POPUP_BLOCKER, ID_FRAME_ENABLE_DIALOG_BLOCKER, &CMainFrame::OnBlockerToggle},
        {ID_FRAME_ENABLE_AD_FILTER, ID_FRAME_ENABLE_AD_FILTER, &CMainFrame::OnBlockerToggle},
        {ID_FRAME_FOCUS_ADDRESS_BAR, ID_FRAME_FOCUS_SEARCH_BAR, &CMainFrame::OnFocusCommand},
        {kRebuildWindowListCommand, kRebuildWindowListCommand, &CMainFrame::OnRebuildWindowList},
        {ID_FRAME_PRIVACY_REPORT, ID_FRAME_PRIVACY_PANE, &CMainFrame::OnPrivacyCommand},
        {ID_FRAME_INTERNET_OPTIONS, ID_FRAME_INTERNET_OPTIONS, &CMainFrame::OnInternetOptions},
        {ID_FRAME_SET_DEFAULT_BROWSER, ID_FRAME_SET_DEFAULT_BROWSER, &CMainFrame::OnSetDefaultBrowser},
        {ID_FRAME_PLUGIN_FIRST, ID_FRAME_PLUGIN_FIRST + kMaxPluginButtons - 1, &CMainFrame::OnPluginCommand},
        {ID_FRAME_GO_HOME, ID_FRAME_GO_HOME, &CMainFrame::OnGoHome},
        {ID_FRAME_REFRESH_ALL, ID_FRAME_REFRESH_ALL, &CMainFrame::OnRefreshAll},
        {ID_FRAME_STOP_ALL, ID_FRAME_STOP_ALL, &CMainFrame::OnStopAll},
        {ID_FRAME_ENCODING_FIRST, ID_FRAME_ENCODING_LAST, &CMainFrame::OnEncoding},
        {ID_FRAME_CASCADE, ID_FRAME_TILE_HORIZONTAL, &CMainFrame::OnWindowArrange},
        {ID_FRAME_WINDOW_LIST_FIRST, ID_FRAME_WINDOW_LIST_FIRST + kMaxWindowListItems - 1, &CMainFrame::OnWindowListItem},
        {ID_FRAME_SEARCH_FIND_NEXT, ID_FRAME_SEARCH_HIGHLIGHT, &CMainFrame::OnSearchPageCommand},
    };
    return table;
}

bool CMainFrame::IsFrameCommand(UINT id)
{
    for (const CFrameCommand& command : GetCommandTable()) {
        if (id >= command.first && id <= command.last)
            return true;
    }
    return false;
}

bool CMainFrame::OnExit(UINT)
{
    PostMessage(WM_CLOSE);
    return true;
}

bool CMainFrame::ReopenRecentEntry(UINT command)
{
    const CRecentClosedEntry* entry = m_recentClosed.EntryForCommand(command);
    if (!entry) {
        GetFrameShell().MessageBeep(MB_ICONHAND);
        return true;
    }
    if (entry->url.empty())
        return true;
    const TStdStr<char> url = entry->url;
    if (OpenUrlInTab(url.c_str(), kOpenNewTab))
        m_recentClosed.RemoveCommand(command);
    return true;
}

bool CMainFrame::OnReopenRecent(UINT id)
{
    return ReopenRecentEntry(id);
}

bool CMainFrame::OnReopenLastClosed(UINT)
{
    return ReopenRecentEntry(CRecentClosedList::kFirstCommand);
}

bool CMainFrame::OnWorkOffline(UINT)
{
    IFrameShell& shell = GetFrameShell();
    shell.SetWorkingOffline(!shell.IsWorkingOffline());
    SetWindowText(kAppName);
    return true;
}

// The engine's import and export wizard is a command of its document view.
bool CMainFrame::OnImportExport(UINT)
{
    if (IBrowserTab* tab = GetActiveTab()) {
        if (HWND view = FindDescendantOfClass(tab->GetTabWindow(), "Shell DocObject View"))
            ::SendMessageA(view, WM_COMMAND, kImportExportCommand, 0);
    }
    return true;
}

bool CMainFrame::OnNewBlankPage(UINT)
{
    OpenUrlInTab("", kOpenNewTab);
    FocusClientWindow();
    return true;
}

bool CMainFrame::OnOpen(UINT)
{
    CStdString address;
    bool chosen = false;
    RunFrameQuestion([&] {
        HWND active = ::GetActiveWindow();
        chosen = GetFrameQuestions().AskOpenAddress(active ? active : m_hWnd, address);
    });
    if (!chosen || address.empty())
        return true;
    if (!IsWindowVisible() || IsIconic())
        ShowWindow(SW_RESTORE);
    ::SetForegroundWindow(m_hWnd);
    const CSettings* settings = GetSettings();
    const bool newTab = settings && (settings->TabOpenFlags.value & TabOpenFlag::AddressBar);
    OpenUrlInTab(address.c_str(), newTab ? DWORD{kOpenNewTab} : DWORD{0});
    return true;
}

// The proxy list and the switching of this process's proxy belong to the browser library; the
// frame keeps the choice.
bool CMainFrame::OnProxyCommand(UINT id)
{
    CSettings* settings = GetSettings();
    if (!settings)
        return true;
    if (id == ID_FRAME_PROXY_CUSTOMIZE) {
        // The page edits the list; the menu shows it as it is afterwards.
        OnOptionsCommand(id);
        if (HMENU proxy = FindMenuPopup("&Options\nPro&xy")) {
            if (IFramePrivacy* privacy = GetFramePrivacy())
                privacy->BuildProxyMenu(proxy, settings->ProxyIndex.value);
        }
        return true;
    }
    const int oldIndex = settings->ProxyIndex.value;
    int newIndex = oldIndex;
    if (id == ID_FRAME_PROXY_SYSTEM)
        newIndex = -2;
    else if (id == ID_FRAME_PROXY_NONE)
        newIndex = -1;
    else if (id >= ID_FRAME_PROXY_FIRST && id <= ID_FRAME_PROXY_LAST)
        newIndex = static_cast<int>(id - ID_FRAME_PROXY_FIRST);
    else
        return true;
    settings->ProxyIndex.value = newIndex;
    IFramePrivacy* privacy = GetFramePrivacy();
    if (privacy)
        privacy->ApplyProxy(oldIndex, newIndex, m_startingUp);
    if (id == ID_FRAME_PROXY_SYSTEM && !m_startingUp)
        GetMessageBoxes().Show(m_hWnd, TranslateText("Please restart Kivo Browser to activate IE proxy settings.").c_str(),
                               kAppName, MB_OK | MB_ICONINFORMATION);
    if (privacy) {
        if (HMENU proxy = FindMenuPopup("&Options\nPro&xy"))
            privacy->UpdateProxyMenuCheck(proxy, oldIndex, newIndex);
    }
    return true;
}

// The About, donation, options, groups and logs dialogs are later additions of their own
// subsystems; their commands stay with the frame so that they never reach a tab.
bool CMainFrame::OnAbout(UINT)
{
    RunFrameQuestion([this] {
        HWND active = ::GetActiveWindow();
        GetFrameQuestions().ShowAbout(active ? active : m_hWnd);
    });
    return true;
}

bool CMainFrame::OnGroupCommand(UINT)
{
    return true;
}

bool CMainFrame::OnTogglePane(UINT id)
{
    const int index = static_cast<int>(id - ID_FRAME_PANE_FIRST);
    m_panes.Toggle(index);
    return true;
}

bool CMainFrame::OnShowAllPanes(UINT)
{
    m_panes.ShowAll();
    return true;
}

bool CMainFrame::OnHideAllPanes(UINT)
{
    m_panes.HideAll();
    return true;
}

bool CMainFrame::OnFullScreen(UINT)
{
    if (IsFullScreen())
        LeaveFullScreen();
    else
        EnterFullScreen();
    return true;
}

bool CMainFrame::OnToggleBand(UINT id)
{
    UINT band = 0;
    switch (id) {
    case ID_FRAME_TOGGLE_ADDRESS_BAR:
        band = ID_BAND_ADDRESS_BAR;
        break;
    case ID_FRAME_TOGGLE_SYSTEM_BAR:
        band = ID_BAND_SYSTEM_TOOLBAR;
        break;
    case ID_FRAME_TOGGLE_LINKS_BAR:
        band = ID_BAND_LINKS_BAR;
        break;
    case ID_FRAME_TOGGLE_SEARCH_BAR:
        band = ID_BAND_SEARCH_BAR;
        break;
    case ID_FRAME_TOGGLE_PLUGINS_BAR:
        band = ID_BAND_PLUGINS_BAR;
        break;
    case ID_FRAME_TOGGLE_FORM_FILLER_BAR:
        band = ID_BAND_FORM_FILLER;
        break;
    default:
        return true;
    }
    ToggleReBarBand(m_hWndToolBar, band);
    UpdateLayout();
    return true;
}

// The editors' menu needs the favicons and the download to the cache; the first editor of the
// list opens the page's address.
bool CMainFrame::OnEditWith(UINT)
{
    IBrowserTab* tab = GetActiveTab();
    if (!tab || m_htmlEditors.empty())
        return true;
    const TStdStr<char> url = tab->GetUrl();
    GetFrameShell().Execute("open", m_htmlEditors.front().command.c_str(), ("\"" + url + "\"").c_str(), SW_SHOW);
    return true;
}

bool CMainFrame::OnDonate(UINT)
{
    RunFrameQuestion([this] {
        HWND active = ::GetActiveWindow();
        GetFrameQuestions().ShowDonation(active ? active : m_hWnd);
    });
    return true;
}

void CMainFrame::OpenInNewTabOrActive(const char* url)
{
    const CSettings* settings = GetSettings();
    const bool newTab = settings && (settings->TabOpenFlags.value & kTabOpenFlagOtherPages);
    OpenUrlInTab(url, newTab ? DWORD{kOpenNewTab} : DWORD{0});
}

bool CMainFrame::OnOpenSitePage(UINT id)
{
    switch (id) {
    case ID_FRAME_FORUM:
        OpenUrlInTab(kForumPage, kOpenNewTab);
        break;
    case ID_FRAME_WINDOWS_UPDATE:
        OpenInNewTabOrActive(kWindowsUpdatePage);
        break;
    case ID_FRAME_TRANSLATE_FIRST:
        OpenInNewTabOrActive("http://translate.kivobrowser.example/");
        break;
    case ID_FRAME_TRANSLATE_SECOND:
        OpenInNewTabOrActive("http://translate2.kivobrowser.example/");
        break;
    case ID_FRAME_DOWNLOAD_FORM_FILLER:
        OpenUrlInTab((TStdStr<char>(kProductSite) + "dlroboform.php").c_str(), kOpenNewTab);
        break;
    case ID_FRAME_DOWNLOAD_PLUGINS:
        OpenUrlInTab((TStdStr<char>(kProductSite) + "plugins.php").c_str(), kOpenNewTab);
        break;
    default:
        break;
    }
    return true;
}

bool CMainFrame::OnCloseAllBlank(UINT)
{
    const std::vector<HWND> windows = GetTabWindowsInOrder();
    for (HWND window : windows) {
        IBrowserTab* tab = FindTab(window);
        if (tab && tab->GetUrl() == kBlankPageUrl)
            ::SendMessageA(window, WM_CLOSE, 0, 0);
    }
    return true;
}

bool CMainFrame::OnCloseAll(UINT id)
{
    const HWND active = m_hWndMDIClient ? MDIGetActive() : nullptr;
    const std::vector<HWND> windows = GetTabWindowsInOrder();
    for (HWND window : windows) {
        if (id == ID_FRAME_CLOSE_ALL_EXCEPT_CURRENT && window == active)
            continue;
        if (::IsWindow(window))
            ::SendMessageA(window, WM_CLOSE, 0, 0);
    }
    return true;
}

// Clear Undo List empties the whole list: removing the newest entry fifteen times would keep one
// of sixteen.
bool CMainFrame::OnClearRecords(UINT id)
{
    IFrameShell& shell = GetFrameShell();
    HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    auto clearTyped = [&] {
        if (m_addressBar)
            ::SendMessageA(m_addressBar, CB_RESETCONTENT, 0, 0);
        shell.ClearTypedAddresses();
    };
    switch (id) {
    case ID_FRAME_CLEAR_CACHE:
        shell.ClearCache();
        break;
    case ID_FRAME_CLEAR_HISTORY:
        shell.ClearHistory();
        break;
    case ID_FRAME_CLEAR_TYPED:
        clearTyped();
        break;
    case ID_FRAME_CLEAR_COOKIES:
        shell.ClearCookies();
        break;
    case ID_FRAME_CLEAR_UNDO:
        m_recentClosed.Clear();
        break;
    case ID_FRAME_CLEAR_SEARCH:
        if (HWND edit = GetSearchBarEdit())
            ::SetWindowTextA(edit, "");
        break;
    case ID_FRAME_CLEAR_ALL:
        m_recentClosed.Clear();
        clearTyped();
        if (HWND edit = GetSearchBarEdit())
            ::SetWindowTextA(edit, "");
        shell.ClearCookies();
        shell.ClearCache();
        shell.ClearHistory();
        break;
    default:
        break;
    }
    ::SetCursor(previous);
    return true;
}

bool CMainFrame::OnOptionsCommand(UINT id)
{
    SetInModalLoop(true);
    ShowOptionsDialog(m_hWnd, OptionsPageOfCommand(id), this);
    SetInModalLoop(false);
    return true;
}

bool CMainFrame::OnToggleTabOpenFlag(UINT id)
{
    CSettings* settings = GetSettings();
    if (!settings)
        return true;
    DWORD bit = 0;
    switch (id) {
    case ID_FRAME_ADDRESS_NEW_TAB:
        bit = TabOpenFlag::AddressBar;
        break;
    case ID_FRAME_SEARCH_NEW_TAB:
        bit = TabOpenFlag::SearchBar;
        break;
    case ID_FRAME_FAVPANE_NEW_TAB:
        bit = TabOpenFlag::LinksBar;
        break;
    case ID_FRAME_FAVMENU_NEW_TAB:
        bit = TabOpenFlag::Favorites;
        break;
    default:
        return true;
    }
    settings->TabOpenFlags.value ^= static_cast<int>(bit);
    return true;
}

bool CMainFrame::OnMailCommand(UINT id)
{
    IFrameShell& shell = GetFrameShell();
    switch (id) {
    case ID_FRAME_MAIL_BUTTON:
    case ID_FRAME_READ_MAIL:
        shell.Execute("open", "msimn.exe", "/mail", SW_SHOWNORMAL);
        break;
    case ID_FRAME_NEW_MESSAGE:
        shell.Execute("open", "mailto:", nullptr, SW_SHOWNORMAL);
        break;
    case ID_FRAME_READ_NEWS:
        shell.Execute("open", "msimn.exe", "/news", SW_SHOWNORMAL);
        break;
    case ID_FRAME_SYNCHRONIZE:
        shell.Execute("open", "mobsync.exe", nullptr, SW_SHOWNORMAL);
        break;
    default:
        break;
    }
    return true;
}

// The stored command line: a quoted or plain program, then its arguments.
bool CMainFrame::OnMailProgram(UINT id)
{
    const size_t index = id - ID_FRAME_MAIL_PROGRAM_FIRST;
    if (index >= m_mailPrograms.size())
        return true;
    const TStdStr<char>& line = m_mailPrograms[index].command;
    TStdStr<char> program;
    TStdStr<char> arguments;
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        program = line.substr(1, close == TStdStr<char>::npos ? TStdStr<char>::npos : close - 1);
        if (close != TStdStr<char>::npos && close + 1 < line.size())
            arguments = TrimUrlText(line.substr(close + 1).c_str());
    } else {
        const size_t blank = line.find(' ');
        program = line.substr(0, blank);
        if (blank != TStdStr<char>::npos)
            arguments = TrimUrlText(line.substr(blank + 1).c_str());
    }
    GetFrameShell().Execute("open", program.c_str(), arguments.empty() ? nullptr : arguments.c_str(), SW_SHOW);
    return true;
}

bool CMainFrame::OnTabStateChanged(UINT)
{
    SaveSession();
    return true;
}

bool CMainFrame::OnNewFromClipboard(UINT)
{
    const TStdStr<char> text = ClipboardText(m_hWnd);
    if (!TrimUrlText(text.c_str()).empty())
        OpenUrlInTab(text.c_str(), kOpenNewTab);
    return true;
}

bool CMainFrame::OnNewHomePage(UINT)
{
    HWND window = OpenUrlInTab("", kOpenNewTab);
    IBrowserTab* tab = FindTab(window);
    if (!tab)
        return true;
    const CSettings* settings = GetSettings();
    if (settings && (settings->StartupFlags.value & kStartupFlagSearchPage))
        tab->Navigate(kSearchStartPage);
    else
        tab->GoHome();
    return true;
}

bool CMainFrame::OnNewCurrentPage(UINT)
{
    if (IBrowserTab* tab = GetActiveTab()) {
        const TStdStr<char> url = tab->GetUrl();
        OpenUrlInTab(url.c_str(), kOpenNewTab);
    }
    return true;
}

bool CMainFrame::OnNewInstance(UINT)
{
    char path[MAX_PATH] = {};
    if (::GetModuleFileNameA(nullptr, path, MAX_PATH))
        GetFrameShell().Execute("open", path, "-s multi", SW_SHOWNORMAL);
    return true;
}

bool CMainFrame::OnViewLogs(UINT)
{
    return true;
}

HWND CMainFrame::FocusedBarEdit() const
{
    HWND focus = ::GetFocus();
    if (!focus)
        return nullptr;
    if (HWND address = GetAddressBarEdit(); address == focus)
        return address;
    if (HWND search = GetSearchBarEdit(); search && search == focus)
        return search;
    return nullptr;
}

bool CMainFrame::OnEditCommand(UINT id)
{
    HWND edit = FocusedBarEdit();
    IBrowserTab* tab = GetActiveTab();
    switch (id) {
    case ID_FRAME_COPY:
        if (edit)
            ::SendMessageA(edit, WM_COPY, 0, 0);
        else if (tab)
            tab->OnEditCopy();
        break;
    case ID_FRAME_CUT:
        if (edit)
            ::SendMessageA(edit, WM_CUT, 0, 0);
        break;
    case ID_FRAME_PASTE:
        if (edit)
            ::SendMessageA(edit, WM_PASTE, 0, 0);
        break;
    case ID_FRAME_SELECT_ALL:
        if (edit)
            ::SendMessageA(edit, EM_SETSEL, 0, -1);
        else if (tab)
            tab->OnEditSelectAll();
        break;
    default:
        break;
    }
    return true;
}

bool CMainFrame::OnOrganizeFavorites(UINT)
{
    return true;
}

bool CMainFrame::OnBlockerToggle(UINT id)
{
    CSettings* settings = GetSettings();
    if (!settings)
        return true;
    if (id == ID_FRAME_ENABLE_POPUP_BLOCKER)
        settings->BlockerFlags ^= BlockerFlag::PopupBlocker;
    else if (id == ID_FRAME_ENABLE_DIALOG_BLOCKER)
        settings->BlockerFlags ^= BlockerFlag::WebPageDialogBlocker;
    else if (id == ID_FRAME_ENABLE_AD_FILTER)
        settings->BlockerFlags ^= BlockerFlag::AdFilter;
    return true;
}

bool CMainFrame::OnFocusCommand(UINT id)
{
    if (id == ID_FRAME_FOCUS_ADDRESS_BAR)
        FocusClientWindow();
    else
        FocusSearchBar();
    return true;
}

// The "&Window" menu lists the tabs after its fixed items; at most 256 ids exist for them.
bool CMainFrame::OnRebuildWindowList(UINT)
{
    HMENU window = FindMenuPopup("&Window");
    if (!window)
        return true;
    for (UINT i = 0; i < kMaxWindowListItems; ++i)
        ::DeleteMenu(window, ID_FRAME_WINDOW_LIST_FIRST + i, MF_BYCOMMAND);
    const std::vector<HWND> tabs = GetTabWindowsInOrder();
    const HWND active = m_hWndMDIClient ? MDIGetActive() : nullptr;
    for (size_t t = 0; t < tabs.size() && t < kMaxWindowListItems; ++t) {
        const UINT id = ID_FRAME_WINDOW_LIST_FIRST + static_cast<UINT>(t);
        const TStdStr<char> text = FormatString("&%d ", static_cast<int>(t) + 1) + WindowText(tabs[t]);
        ::AppendMenuA(window, MF_STRING, id, text.c_str());
        if (tabs[t] == active)
            ::SetMenuDefaultItem(window, id, FALSE);
    }
    return true;
}

// The privacy report (the menu's item and a click on the privacy pane) is the system's own dialog
// over the active page, given the cookie records the page's engine offers; a click on the lock pane
// asks the engine for the page's security report.
bool CMainFrame::OnPrivacyCommand(UINT id)
{
    IBrowserTab* tab = GetActiveTab();
    IWebBrowser2* browser = tab ? tab->GetWebBrowser() : nullptr;
    if (!browser)
        return true;
    if (id == ID_FRAME_PRIVACY_PANE) {
        if (CComQIPtr<IOleCommandTarget> target{browser}; target)
            target->Exec(&CGID_ShellDocView, kShellDocViewSecurityReport, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr);
        return true;
    }
    CComBSTR url;
    if (FAILED(browser->get_LocationURL(&url)))
        url.Empty();
    CComPtr<IEnumPrivacyRecords> records;
    if (CComQIPtr<IServiceProvider> services{browser}; services)
        services->QueryService(__uuidof(IEnumPrivacyRecords), __uuidof(IEnumPrivacyRecords),
                               reinterpret_cast<void**>(&records));
    if (!GetFrameShell().ShowPrivacyReport(m_hWnd, url ? url.m_str : L"", records))
        GetMessageBoxes().Show(m_hWnd, TranslateText("The privacy report is not available on this system.").c_str(),
                               kAppName, MB_OK | MB_ICONINFORMATION);
    return true;
}

bool CMainFrame::OnInternetOptions(UINT)
{
    GetFrameShell().ShowInternetOptions(m_hWnd);
    return true;
}

// The frame asks; the registration keeps what it replaced, for the undo.
bool CMainFrame::OnSetDefaultBrowser(UINT)
{
    if (GetMessageBoxes().Show(m_hWnd, TranslateText("Are you sure to register Kivo Browser as your default Browser?").c_str(),
                               kAppName, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
        RegisterAsDefaultBrowser(GetServices().GetClassesRoot(), GetProgramFilePath());
    return true;
}

bool CMainFrame::OnGoHome(UINT)
{
    if (IsKeyDown(VK_CONTROL) || IsKeyDown(VK_SHIFT) || !GetActiveTab())
        return OnNewHomePage(ID_FRAME_NEW_HOME_PAGE);
    return false;
}

bool CMainFrame::OnRefreshAll(UINT)
{
    const bool completely = IsKeyDown(VK_CONTROL);
    for (const auto& [window, tab] : m_tabs) {
        if (IWebBrowser2* browser = tab ? tab->GetWebBrowser() : nullptr) {
            if (completely) {
                VARIANT level;
                level.vt = VT_I4;
                level.lVal = REFRESH_COMPLETELY;
                browser->Refresh2(&level);
            } else {
                browser->Refresh();
            }
        }
    }
    return true;
}

bool CMainFrame::OnStopAll(UINT)
{
    for (const auto& [window, tab] : m_tabs) {
        if (tab)
            tab->Stop();
    }
    return true;
}

// Setting a page's character set needs its document: the browser tab's engine, once it loads pages.
// The active page's document is told its character set and read again from the cache where it
// has not expired, as the engine's own encoding menu does.
bool CMainFrame::OnEncoding(UINT id)
{
    const size_t index = id - ID_FRAME_ENCODING_FIRST;
    IBrowserTab* tab = GetActiveTab();
    IWebBrowser2* browser = tab ? tab->GetWebBrowser() : nullptr;
    if (index >= std::size(kEncodings) || !*kEncodings[index].charset || !browser)
        return true;
    const CComPtr<IDispatch> document = PageDocument(browser);
    if (!document || FAILED(PutByName(document, L"charset", CComVariant(kEncodings[index].charset))))
        return true;
    CComVariant level(static_cast<long>(REFRESH_IFEXPIRED));
    browser->Refresh2(&level);
    return true;
}

void CMainFrame::CheckActiveEncoding(HMENU popup) const
{
    TStdStr<char> charset;
    IBrowserTab* tab = GetActiveTab();
    if (IWebBrowser2* browser = tab ? tab->GetWebBrowser() : nullptr) {
        const CComVariant value = GetByName(PageDocument(browser), L"charset");
        if (value.vt == VT_BSTR && value.bstrVal)
            charset = TStdStr<char>(value.bstrVal);
    }
    bool found = false;
    for (size_t i = 0; i < std::size(kEncodings); ++i) {
        const bool match = !found && *kEncodings[i].charset && !charset.empty() &&
                           ::lstrcmpiA(kEncodings[i].charset, charset.c_str()) == 0;
        found = found || match;
        if (*kEncodings[i].charset)
            ::CheckMenuItem(popup, ID_FRAME_ENCODING_FIRST + static_cast<UINT>(i),
                            MF_BYCOMMAND | (match ? MF_CHECKED : MF_UNCHECKED));
    }
}

bool CMainFrame::OnWindowArrange(UINT id)
{
    if (id == ID_FRAME_CASCADE)
        MDICascade();
    else
        MDITile(MDITILE_HORIZONTAL);
    return true;
}

bool CMainFrame::OnWindowListItem(UINT id)
{
    const std::vector<HWND> tabs = GetTabWindowsInOrder();
    const size_t index = id - ID_FRAME_WINDOW_LIST_FIRST;
    if (index < tabs.size())
        MDIActivate(tabs[index]);
    return true;
}

// The language changed: the window and its bars, then the menu, which the command bar shows again
// and measures anew.
void CMainFrame::RetranslateFrame(const CLanguageManager& languages)
{
    languages.TranslateWindow(m_hWnd);
    if (m_menu) {
        languages.TranslateMenu(m_menu);
        if (m_commandBar.IsWindow()) {
            m_commandBar.AttachMenu(m_menu);
            m_commandBar.UpdateBandWidth();
        } else if (m_menuOnWindow) {
            ::DrawMenuBar(m_hWnd);
        }
    }
    SetWindowText(ComposeTitle().c_str());
    UpdateLayout();
}

void CMainFrame::OpenUrlInNewTab(const char* url)
{
    OpenUrlInTab(url, kOpenNewTab);
}

void CMainFrame::ShowOptionsPage(int pageId)
{
    SetInModalLoop(true);
    ShowOptionsDialog(m_hWnd, pageId, this);
    SetInModalLoop(false);
}

// A button plug-in's script runs in the page of the active tab.
bool CMainFrame::OnPluginCommand(UINT id)
{
    const CPluginManager* plugins = GetPluginManager();
    IBrowserTab* tab = GetActiveTab();
    IWebBrowser2* browser = tab ? tab->GetWebBrowser() : nullptr;
    if (!plugins || !browser)
        return true;
    CComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(&document)) || !document)
        return true;
    CDocumentPageScript page(document);
    plugins->RunButton(id - ID_FRAME_PLUGIN_FIRST, page);
    return true;
}

// The search bar's find next and highlight act on the active tab's page with the bar's text,
// trimmed; without a text or a tab nothing happens.
bool CMainFrame::OnSearchPageCommand(UINT id)
{
    char text[kSearchPageTextLimit] = "";
    if (HWND edit = GetSearchBarEdit())
        ::GetWindowTextA(edit, text, static_cast<int>(sizeof(text)));
    std::string query = text;
    const size_t first = query.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return true;
    query = query.substr(first, query.find_last_not_of(" \t\r\n") - first + 1);
    IBrowserTab* tab = GetActiveTab();
    if (!tab)
        return true;
    if (id == ID_FRAME_SEARCH_FIND_NEXT)
        tab->FindNextSearchWord(query.c_str());
    else
        tab->ToggleSearchHighlight(query.c_str());
    return true;
}
