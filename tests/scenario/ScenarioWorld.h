#pragma once
// CScenarioWorld: the whole shell in the test process, as a user meets it. One object that a
// scenario makes stands up what the program's entry stands up (the module with the namespace
// handler's class object, the start-up services, the production tab factory, the navigation bars
// and panels, the privacy menus), and makes the real CMainFrame through the start-up services as a
// start of the program does. Around it:
//  - the engine double behind CLSID_WebBrowser (tests/engine/FakeEngine.h): it hosts like the real
//    control and fires the real events, but renders nothing and fetches nothing;
//  - a local HTTP server on 127.0.0.1 (tests/http/TestHttpServer.h) serving the scenario's
//    made-up pages, images, ads, favicons and the update file; a page served with ServePage is
//    known to the engine double under the same address, with its title;
//  - a new profile in the test's scratch place: the settings go to the scratch registry key that
//    the test main made, the session file and the blocked-content logs to the scratch folder, the
//    favorites to a folder of the world's own; the update check asks the world's server;
//  - the frame's shell, message boxes and questions as answering doubles (frame/tests): nothing
//    starts another program, and the exit and session questions are answered as "go on" and
//    "open them all"; a scenario that needs a real dialog drives it with frame_test::CModalScript.
//
// The world pumps the thread's messages as the program's message loop does: through the loop's
// message filters (the frame's accelerators and bar keys) and with the idle pass when the queue is
// empty. Restart closes the frame as the user does (WM_CLOSE; the frame saves its session, the
// settings are written as at exit) and starts anew in the same profile as a new process would
// (the session file read again, the start pages not yet opened).
//
// UI thread only; one world at a time.
#include "frame/MainFrame.h"
#include "frame/tests/FrameTestSupport.h"
#include "frame/tests/ModalScript.h"
#include "frame/tests/RecordingFrameShell.h"

#include "tests/engine/FakeEngine.h"
#include "tests/http/TestHttpServer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CScopedFavoritesFolder;
class CSettings;

namespace scenario {

class CScenarioLoop;

// A page of the scenario: what the server answers for its path and what the engine double shows
// when a tab navigates there.
struct ScenarioPage {
    std::string path;   // "/news/index.html"
    std::string title;  // the document's title
    std::string html;   // the body the server answers (a small page when empty)
    // Windows the page opens from its load handler, without a click (absolute addresses).
    std::vector<std::string> popups;
    std::string statusText;  // the status text the page leaves ("Done" when empty)
};

class CScenarioWorld {
public:
    CScenarioWorld();
    ~CScenarioWorld();
    CScenarioWorld(const CScenarioWorld&) = delete;
    CScenarioWorld& operator=(const CScenarioWorld&) = delete;

    // ---- The made-up web
    // The server's address of a path: "http://127.0.0.1:<port>/path".
    std::string Url(const std::string& path) const;
    // Served by the server and known to the engine double; the page's address.
    std::string ServePage(const ScenarioPage& page);
    // A page of another site, known to the engine double only (the address as given).
    void AddEnginePage(const std::string& url, const std::string& title, std::vector<std::string> popups = {});
    // Any other answer of the server (an image, an ad, a favicon, a file).
    void ServeFile(const std::string& path, const std::string& contentType, std::string body);
    kivo_test::CTestHttpServer& Server() { return m_server; }
    CFakeEngine& Engine() { return m_engine; }

    // ---- Start, exit, restart
    // Starts the program in the world's profile: the main frame made, shown and its after-create
    // step run, the start pages loaded. False when no main window came up.
    bool Start();
    // Closes the main window as the user does (WM_CLOSE) and waits until it is gone; the settings
    // are then written as the program writes them at exit. The message loop's exit code (-1 when
    // the frame posted none).
    int Exit();
    // Exit, then a new start in the same profile as a new process makes it.
    bool Restart();
    // How many times the program was started in this world.
    int Starts() const { return m_starts; }
    // The settings as a next start of the program reads them from the profile (a new object
    // built from the store; it writes nothing back).
    std::unique_ptr<CSettings> StoredSettings() const;

    // ---- The user's actions
    // Lets the engines load what they were asked for and the frame take the tabs' reports.
    void Load();
    // Types the text into the address bar and presses Enter (Ctrl and Shift as given), then loads.
    void TypeAddress(const std::string& text, bool control = false, bool shift = false);
    // Types the text into the search bar and presses Enter, then loads.
    void TypeSearch(const std::string& text);
    // A menu or accelerator command of the main window (WM_COMMAND as the menu sends it), then loads.
    void Command(UINT id);
    // Clicks the toolbar button of the command on whichever bar of the rebar has it (mouse button
    // down and up over its middle), then loads. False when no bar has it or it is disabled.
    bool ClickToolBarButton(UINT id);
    // Makes the tab the active one, as a click on its label does.
    void ActivateTab(HWND tab);
    // Closes a tab as its close button does.
    void CloseTab(HWND tab);
    // The opened menu: the frame prepares the top-level menu's submenu whose text (without the
    // '&') is given, as when the user opens it; null when there is none.
    HMENU OpenMenuBarMenu(const std::string& name);
    // The texts of a menu's items, '&' removed, separators as "-"; submenus' items follow their
    // item indented by two spaces when `deep`.
    static std::vector<std::string> MenuTexts(HMENU menu, bool deep = false);
    // The command of the menu item with that text (without '&', searched in submenus), 0 when none.
    static UINT FindMenuCommand(HMENU menu, const std::string& text);

    // ---- Dispatching the thread's messages
    // Dispatches every queued message through the loop's filters, then runs the idle pass.
    void Pump();
    // Pumps until the condition holds or `deadlineMs` passes; the condition's last answer.
    bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs = 20000);

    // ---- What the user sees
    CMainFrame& Frame() const { return *m_frame; }
    HWND Window() const { return m_window; }
    // The tab windows in the strip's order, and their labels.
    std::vector<HWND> Tabs() const;
    std::vector<std::string> TabTexts() const;
    std::string TabText(HWND tab) const;
    std::string TabToolTip(HWND tab) const;
    HWND ActiveTab() const;
    // The address of a tab's page as its engine shows it (empty without an engine).
    std::string TabUrl(HWND tab) const;
    CFakeBrowser* EngineOf(HWND tab) const;
    std::string AddressText() const;
    std::string SearchText() const;
    std::string WindowTitle() const;
    // A status bar pane's text (0: the first pane), and an icon pane's tooltip.
    std::string PaneText(int paneId) const;
    std::string PaneToolTip(int paneId) const;
    // The main window as it shows on the screen, as build\screenshots\<name>; the path written.
    bool Screenshot(const char* name, std::string& path);
    static std::string WindowText(HWND window);

    // ---- The profile
    // The world's favorites folder (with a trailing backslash); its "Links" folder is the Links bar's.
    const std::string& FavoritesFolder() const { return m_favorites; }
    // Puts an Internet shortcut into the favorites: relative path without ".url" ("Links\News").
    std::string AddFavoriteFile(const std::string& relative, const std::string& url) const;

    // The doubles the world puts in place of what leaves the process.
    frame_test::CRecordingShell m_shell;
    frame_test::CAnsweringMessageBoxes m_boxes;
    frame_test::CAnsweringQuestions m_questions;

private:
    void NewProfile();
    void BeginStart();

    CFakeEngine m_engine;
    kivo_test::CTestHttpServer m_server;
    std::unique_ptr<CScenarioLoop> m_loop;
    std::unique_ptr<CScopedFavoritesFolder> m_favoritesScope;
    std::unique_ptr<CScopedFrameShell> m_shellScope;
    std::unique_ptr<CScopedMessageBoxes> m_boxesScope;
    std::unique_ptr<CScopedFrameQuestions> m_questionsScope;
    std::string m_profile;    // the scratch folder of the world's files, with a trailing backslash
    std::string m_favorites;  // the favorites folder, with a trailing backslash
    std::vector<std::string> m_savedPaths;  // the session file and the logs before the world
    HWND m_window = nullptr;
    CMainFrame* m_frame = nullptr;  // not owned: the window's object
    int m_starts = 0;
    int m_quitCode = -1;
};

}  // namespace scenario
