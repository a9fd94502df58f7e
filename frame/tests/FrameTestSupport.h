#pragma once
// The frame's test doubles: a browser tab that is a real MDI child window with a fake IBrowserTab
// (it reports its title and activation to the tabbed MDI as the real tab does, and records the
// commands it receives), the factory that makes it, a recording IFrameShell and message boxes
// that answer by themselves, and the frame set up as the program does it.
#include "frame/BrowserTab.h"
#include "frame/FrameShell.h"
#include "frame/tests/RecordingFrameShell.h"
#include "frame/MainFrame.h"
#include "frame/dialogs/FrameQuestions.h"

#include "core/app/BrowserApp.h"
#include "core/system/MessageBoxes.h"

#include <functional>
#include <string>
#include <vector>

namespace frame_test {

// The application object the frame finds its registry key and pending URL through (made once).
CBrowserApp& TestApplication();

// Dispatches every queued message of the thread (WM_QUIT included: it is counted, not obeyed).
void Pump();
// Pumps until the condition holds or 20 seconds pass; the condition's last answer.
bool PumpUntil(const std::function<bool()>& condition);
// Removes a WM_QUIT that the thread received; its exit code, or -1 when there was none.
int TakeQuitCode();
// Every WM_COMMAND id that any fake tab received, in order.
std::vector<UINT>& ReceivedTabCommands();

class CFakeTab final : public IBrowserTab {
public:
    explicit CFakeTab(std::string url) : m_url(std::move(url)) {}
    HWND GetTabWindow() const override { return m_window; }
    TStdStr<char> GetUrl() const override { return m_url.c_str(); }
    void Navigate(const char* url) override;
    HRESULT Stop() override
    {
        ++m_stops;
        return S_OK;
    }
    HRESULT GoHome() override
    {
        ++m_goHomes;
        return S_OK;
    }
    void OnEditCopy() override { ++m_copies; }
    void OnEditSelectAll() override { ++m_selectAlls; }
    void OnTextSize(UINT) override {}
    IWebBrowser2* GetWebBrowser() const override { return m_browser; }
    // Back (37000) and Forward (37050) as the tab's history allows.
    bool QueryCommandState(UINT commandId, bool& enabled, bool& checked) const override
    {
        checked = false;
        if (commandId != 37000 && commandId != 37050)
            return false;
        enabled = commandId == 37000 ? m_canGoBack : m_canGoForward;
        return true;
    }

    IWebBrowser2* m_browser = nullptr;  // not owned: an engine double's browser, or none
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    HWND m_window = nullptr;
    std::string m_url;
    int m_navigations = 0;
    int m_stops = 0;
    int m_goHomes = 0;
    int m_copies = 0;
    int m_selectAlls = 0;
    std::vector<UINT> m_commands;  // WM_COMMAND ids received
};

// Makes CFakeTab windows; installed for its scope.
class CFakeTabFactory final : public IBrowserTabFactory {
public:
    CFakeTabFactory();
    ~CFakeTabFactory() override;
    CFakeTabFactory(const CFakeTabFactory&) = delete;
    CFakeTabFactory& operator=(const CFakeTabFactory&) = delete;

    IBrowserTab* CreateBrowserTab(HWND mdiClient, IBrowserTab* opener, const char* url, DWORD flags) override;
    // The tab of a window, null when it is no fake tab (or is gone).
    static CFakeTab* TabOf(HWND window);

    bool m_fail = false;
    std::vector<std::string> m_createdUrls;

private:
    IBrowserTabFactory* m_previous = nullptr;  // not owned
};

class CAnsweringMessageBoxes final : public IMessageBoxes {
public:
    int Show(HWND, const char* text, const char*, UINT) override
    {
        m_texts.push_back(text ? text : "");
        return IDCANCEL;
    }
    std::vector<std::string> m_texts;
};

// The frame's questions answered without a dialog: the exit goes on, the donation reminder is
// counted, the last session's sites are all reopened where the dialog would ask, Open is
// cancelled, About and the donation dialog are counted.
class CAnsweringQuestions final : public IFrameQuestions {
public:
    int AskExit(HWND, const std::function<bool(const char*)>&) override
    {
        ++m_exitQuestions;
        return m_exitAnswer;
    }
    void RemindDonation(HWND) override { ++m_donationReminders; }
    int ChooseSessionSites(HWND, const std::vector<CSessionEntry>& sites, std::vector<bool>&, bool normalRestore) override;
    bool AskOpenAddress(HWND, CStdString&) override
    {
        ++m_openQuestions;
        return false;
    }
    void ShowAbout(HWND) override { ++m_aboutBoxes; }
    void ShowDonation(HWND) override { ++m_donationDialogs; }
    int m_aboutBoxes = 0;
    int m_donationDialogs = 0;
    int m_exitAnswer = IDOK;
    int m_exitQuestions = 0;
    int m_donationReminders = 0;
    int m_sessionQuestions = 0;
    int m_openQuestions = 0;
};

// A frame made as the program makes it, with the doubles in place; destroyed with the object
// when it still exists.
class CTestFrame {
public:
    // `build`: the program's own start shows the window before its contents are built.
    explicit CTestFrame(CFrameBuild build = CFrameBuild::Complete);
    ~CTestFrame();
    CTestFrame(const CTestFrame&) = delete;
    CTestFrame& operator=(const CTestFrame&) = delete;

    // Runs the after-create message that creation posted.
    void RunAfterCreate();
    // Closes the frame as WM_CLOSE does and pumps until the window is gone.
    void Close();

    CMainFrame& Frame() const { return *m_frame; }
    HWND Window() const { return m_window; }
    CFakeTab* ActiveTab() const;
    std::vector<CFakeTab*> TabsInOrder() const;
    HWND Open(const char* url, DWORD flags) const
    {
        return reinterpret_cast<HWND>(::SendMessageA(m_window, kOpenUrlMessage, reinterpret_cast<WPARAM>(url), flags));
    }

    CFakeTabFactory m_factory;
    CRecordingShell m_shell;
    CAnsweringMessageBoxes m_boxes;
    CAnsweringQuestions m_questions;

private:
    CScopedFrameQuestions m_questionsScope{m_questions};
    CScopedFrameShell m_shellScope{m_shell};
    CScopedMessageBoxes m_boxesScope{m_boxes};
    HWND m_window = nullptr;
    CMainFrame* m_frame = nullptr;  // not owned: the window's object
};

// Puts the settings the frame tests change back to a new profile's values.
void ResetFrameSettings();
// Removes the stored band layout, toolbar order and side-panel state: the next frame has the
// default layout.
void ResetFrameLayout();

// The text of the rebar band with this id ("" when it has none), as the band shows it.
std::string BandText(HWND rebar, UINT bandId);

} // namespace frame_test
