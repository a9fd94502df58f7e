#pragma once
// CBrowserView: one open page, an MDI child of the frame's client with an inner tab strip whose
// first page ("HTML") is the engine's host window. It sinks the engine's events and reports to its
// frame only through IBrowserTabHost and the posted WM_COMMAND 35000 / 2025: title (window text,
// tab text cut to 16 and tooltip cut to 255 characters), address, status text (per-tab store),
// progress, tab image, the secure-lock and privacy panes and the Back/Forward states. A tab made
// for a page's new window keeps its opener (by window handle, looked up each time, so a closed
// opener is simply absent) until its first navigation passes the popup test.
//
// Lifetime: rule (b). CreateBrowserTab allocates the object; the window owns it and deletes it in
// OnFinalMessage. The host window is a member and goes in WM_DESTROY.
#include "browser/BrowserActions.h"
#include "browser/BrowserHostWnd.h"
#include "browser/WebBrowserEventSink.h"
#include "browser/tools/FindHighlight.h"
#include "browser/tools/PageAnalyzer.h"
#include "browser/tools/SourceView.h"
#include "controls/TabbedMDIChild.h"
#include "frame/BrowserTab.h"
#include "frame/gestures/GestureListener.h"

#include <windows.h>

#include <memory>

class CBrowserView : public TTabbedMDIChildWindowImpl<CBrowserView>,
                     public TWebBrowserEventSink<CBrowserView>,
                     public CTabActions,
                     public IGestureHandler,
                     public IBrowserTab {
    using Base = TTabbedMDIChildWindowImpl<CBrowserView>;

public:
    CBrowserView(HWND openerWindow, DWORD downloadControlFlags);
    CBrowserView(const CBrowserView&) = delete;
    CBrowserView& operator=(const CBrowserView&) = delete;
    ~CBrowserView() override;

    // The tab behind a window, or null for any other window (reached through the window itself).
    static CBrowserView* FromWindow(HWND window);
    static const TWebBrowserSinkEntry<CBrowserView>* GetSinkTable();

    // IBrowserTab
    HWND GetTabWindow() const override { return m_hWnd; }
    TStdStr<char> GetUrl() const override { return m_url; }
    void Navigate(const char* url) override;
    HRESULT Stop() override;
    HRESULT GoHome() override;
    void OnEditCopy() override;
    void OnEditSelectAll() override;
    void OnTextSize(UINT commandId) override;
    IWebBrowser2* GetWebBrowser() const override { return m_host.Browser(); }
    bool QueryCommandState(UINT commandId, bool& enabled, bool& checked) const override;
    bool ToggleSearchHighlight(const char* text) override;
    bool FindNextSearchWord(const char* text) override;
    IGestureHandler* GetGestureHandler() override { return this; }

    // IGestureHandler: the bound action runs on this tab, its notice in the tab's status text.
    bool OnGesture(HWND window, int gestureId, const CGestureStroke& stroke) override;

    // A mouse button went down in the page (the gesture filter's notification): the next popup
    // of this page is the user's own.
    void NotifyPageMouseButton() { m_userActivity = true; }
    // The middle button in the page opens the link under it in a new tab; false leaves the click
    // to the page (no link, or the setting that keeps middle clicks for pages).
    bool OnPageMiddleButtonDown(HWND window, POINT point);

    // CTabActions
    void GoPreviousDocument(HWND window, POINT point) override;
    void GoNextDocument(HWND window, POINT point) override;
    void GoTopOfDocument(HWND window, POINT point) override;
    void GoBottomOfDocument(HWND window, POINT point) override;
    void CloseDocumentWindow(HWND window, POINT point) override;
    void OpenNewForegroundWindow(HWND window, POINT point) override;
    void RefreshDocument(HWND window, POINT point) override;
    void ReloadDocument(HWND window, POINT point) override;
    void DuplicateWindow(HWND window, POINT point) override;
    void ScrollThroughOpenWindows(HWND window, POINT point) override;
    void GoNextWindow(HWND window, POINT point) override;
    void GoPreviousWindow(HWND window, POINT point) override;
    void CloseAllExceptActive(HWND window, POINT point) override;
    void RunUserAction(int userAction, HWND window, POINT point) override;
    void FocusPage();

    // What the tab shows, for the frame's refresh and for tests.
    const TStdStr<char>& GetTitle() const { return m_title; }
    bool IsClosing() const { return m_closing; }
    bool HasOpener() const { return m_opener != nullptr; }
    bool HasUserActivity() const { return m_userActivity; }
    int GetTabImage() const { return m_tabImage; }
    long GetSecureLockLevel() const { return m_secureLockLevel; }
    bool IsPrivacyIconHidden() const { return m_privacyIconHidden; }
    CBrowserHostWnd& Host() { return m_host; }
    // The source view while it is open, else null.
    CSourceView* GetSourceView() const { return m_sourceView.get(); }
    // The page analyzer while it is open, else null.
    CPageAnalyzer* GetPageAnalyzer() const { return m_analyzer.get(); }

    BEGIN_MSG_MAP(CBrowserView)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_FORWARDMSG, OnForwardMsg)
        MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
        MESSAGE_HANDLER(ObjectMessage(), OnObjectMessage)
        MESSAGE_HANDLER(GetTabbedMdiMessages().showTabContextMenu, OnTabContextMenu)
        MESSAGE_HANDLER(GetTabbedMdiMessages().saveModified, OnSaveModified)
        MESSAGE_HANDLER(GetTabbedMdiMessages().closeWithNoPrompt, OnCloseWithNoPrompt)
        MESSAGE_HANDLER(WM_MDIACTIVATE, OnMdiActivate)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
        CHAIN_MSG_MAP_MEMBER(m_host)
        CHAIN_MSG_MAP(Base)
    ALT_MSG_MAP(5)
        MESSAGE_HANDLER(WM_CLOSE, OnEngineClose)
    END_MSG_MAP()

    void OnFinalMessage(HWND) override;

private:
    friend struct CBrowserViewEvents;
    friend CBrowserView* CreateBrowserTab(HWND, CBrowserView*, const char*, DWORD);
    static UINT ObjectMessage();

    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnForwardMsg(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnSettingChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnObjectMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTabContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnSaveModified(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    // Closing without the tab's own close handling: straight to the MDI child's default.
    LRESULT OnCloseWithNoPrompt(UINT, WPARAM, LPARAM, BOOL&) { return DefWindowProc(WM_CLOSE, 0, 0); }
    LRESULT OnMdiActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEngineClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled);

    // The source view: opened as the inner page "Source", or closed again.
    void ToggleSourceView();
    // Find, Copy and Select All of the source view when it is the current inner page.
    bool RunSourceViewCommand(UINT id);
    // The page analyzer: opened as the inner page "Page Analyzer", or closed again.
    void TogglePageAnalyzer();
    void ClosePageAnalyzer();
    // Find, Copy and Select All of the analyzer when it is the current inner page.
    bool RunAnalyzerCommand(UINT id);
    // The page as a web archive, in a file the user picks.
    void SaveAsWebArchive();

    // Event handlers (through the sink table).
    void OnBeforeNavigate2(IDispatch* source, const TStdStr<char>& url, VARIANT_BOOL* cancel);
    void OnNewWindow2(IDispatch** created, VARIANT_BOOL* cancel);
    void OnNavigateComplete2() { m_userActivity = false; }
    void OnDocumentComplete(IDispatch* source);
    void OnTitleChange(const TStdStr<char>& title);
    void OnStatusTextChange(const TStdStr<char>& text);
    void OnProgressChange(long progress, long maximum);
    void OnCommandStateChange(long command, bool enable);
    void OnSecureLockIcon(long level);
    void OnPrivacyImpacted(bool impacted);
    void OnDownloadBegin();
    void OnDownloadComplete();
    void OnQuit() { Unadvise(); }

    bool RunTabCommand(UINT id);
    // The link at the point of the page (else the selected text); empty when there is none.
    TStdStr<char> LinkAt(POINT point) const;
    void OpenInNewTab(const TStdStr<char>& url, bool foreground) const;
    void SendKeyToWindow(HWND window, UINT key) const;
    bool RunEngineCommand(UINT id);
    void TrackTabMenu(POINT point);
    void FillWindowList(HMENU menu) const;
    void SetCurrentUrl(const TStdStr<char>& url);
    void ShowLabel(const TStdStr<char>& text);
    void FocusPageWindow();
    bool IsActive() const;
    void UpdateStatusPanes() const;
    void SetTabImage(int image);
    TStdStr<char> LocationUrl() const;
    HWND FrameWindow() const;
    HWND MdiClient() const;
    int OtherOpenTabCount() const;
    void PostToFrame(UINT command) const;

    HWND m_opener = nullptr;  // the opener tab's window; not owned, looked up on each use
    bool m_closing = false;
    bool m_created = false;  // WM_CREATE went through
    CBrowserHostWnd m_host;
    long m_progress = -1;
    long m_progressMax = 0;
    TStdStr<char> m_url{"about:blank"};
    TStdStr<char> m_title;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    CContainedWindow m_engineWindow{this, 5};
    long m_secureLockLevel = 0;
    bool m_privacyIconHidden = true;
    bool m_pageFocused = false;
    bool m_userActivity = false;
    HWND m_savedFocus = nullptr;  // a child of the tab at the last deactivation; not owned
    int m_tabImage = -1;
    FILETIME m_urlTime = {};
    bool* m_deletedWhileCreating = nullptr;  // the creator's flag, only while the window is made
    std::unique_ptr<CSourceView> m_sourceView;
    std::unique_ptr<CPageAnalyzer> m_analyzer;
    bool m_searchHighlighted = false;  // the search words are marked in the page
    CFindNextState m_findNext;
};

// Creates a tab under the MDI client and navigates it (empty url: none). opener is the tab whose
// page asked for the new window, or null. Null when the tab cannot be made.
CBrowserView* CreateBrowserTab(HWND mdiClient, CBrowserView* opener, const char* url, DWORD downloadControlFlags);

// Installs the browser library's tab factory for the program, and the sink that keeps the pages of
// closing tabs for reopening (start-up calls it once).
void InstallBrowserTabFactory();
