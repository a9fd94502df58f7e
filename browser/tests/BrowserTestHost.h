#pragma once
// The host double of the browser tests: a plain top-level window with an MDI client (subclassed by
// the tabbed MDI client, so tab texts and tooltips land in a real tab strip) that records what the
// tabs report through IBrowserTabHost and the WM_COMMANDs they post to the frame; and a popup-menu
// tracker double that answers a chosen command and keeps the menu's items.
#include "browser/BrowserView.h"
#include "controls/TabbedMDI.h"
#include "core/app/MainFrameMessages.h"
#include "core/system/MenuFunctions.h"
#include "frame/BrowserTab.h"

#include "tests/engine/FakeEngine.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

struct RecordedPopup {
    std::string title, opener, url;
};

class CTestBrowserHost final : public IBrowserTabHost {
public:
    CTestBrowserHost();
    ~CTestBrowserHost() override;
    CTestBrowserHost(const CTestBrowserHost&) = delete;
    CTestBrowserHost& operator=(const CTestBrowserHost&) = delete;

    HWND GetFrameWindow() const override { return m_frame; }
    HWND GetMdiClientWindow() const override { return m_client; }
    void AddTab(HWND tabWindow, IBrowserTab* tab) override { tabs[tabWindow] = tab; }
    void RemoveTab(HWND tabWindow) override { tabs.erase(tabWindow); }
    void OnPopupBlocked(const char* title, const char* openerUrl, const char* url) override
    {
        popups.push_back({title, openerUrl, url});
    }
    void OnAdBlocked(const char*, const char*) override {}
    void SetAddressBarText(const char* text) override { addressBar = text ? text : ""; }
    void SetTabImage(HWND tabWindow, int image) override { tabImages[tabWindow].push_back(image); }
    void SetStatusPane(int paneId, HICON icon, const char* text) override
    {
        paneTexts[paneId] = text ? text : "";
        paneIcons[paneId] = icon;
    }
    void ShowProgress(bool shown, int position, int maximum) override
    {
        progress.push_back(shown ? std::to_string(position) + "/" + std::to_string(maximum) : "hidden");
    }

    HWND Active() const { return reinterpret_cast<HWND>(::SendMessageA(m_client, WM_MDIGETACTIVE, 0, 0)); }
    CMdiTabOwner& Owner() { return m_tabbed->Owner(); }
    // The main strip's text and tooltip of a tab window.
    std::string TabText(HWND tab);
    std::string TabToolTip(HWND tab);
    // Commands the tabs posted to the frame, and the frame messages they posted.
    std::vector<UINT> FrameCommands() const;
    int CountFrameMessages(UINT message) const;
    void ClearFrameRecord();
    // The open-URL requests the tabs sent the frame: the address and the open flags.
    std::vector<std::pair<std::string, LPARAM>> OpenedUrls() const;

    std::map<HWND, IBrowserTab*> tabs;
    std::vector<RecordedPopup> popups;
    std::string addressBar;
    std::map<HWND, std::vector<int>> tabImages;
    std::map<int, std::string> paneTexts;
    std::map<int, HICON> paneIcons;
    std::vector<std::string> progress;

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_frame = nullptr;
    HWND m_client = nullptr;
    std::unique_ptr<CTabbedMDIClient> m_tabbed;
    IBrowserTabHost* m_previousHost = nullptr;
};

class CTestMenuTracker final : public IFramePopupMenuTracker {
public:
    CTestMenuTracker() : m_previous(SetFramePopupMenuTracker(this)) {}
    ~CTestMenuTracker() override { SetFramePopupMenuTracker(m_previous); }
    CTestMenuTracker(const CTestMenuTracker&) = delete;
    CTestMenuTracker& operator=(const CTestMenuTracker&) = delete;
    UINT Track(HMENU menu, UINT flags, int, int, HWND) override
    {
        ++tracked;
        itemIds.clear();
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
            itemIds.push_back(::GetMenuItemID(menu, i));
        return (flags & TPM_RETURNCMD) ? answer : 0;
    }
    UINT answer = 0;
    int tracked = 0;
    std::vector<UINT> itemIds;  // by position; submenus and separators as their ids (-1, 0)

private:
    IFramePopupMenuTracker* m_previous;  // not owned
};
