#pragma once
// The engine double: a WebBrowser object of the tests' own, registered for the test process under
// CLSID_WebBrowser, so that the production host creates it unchanged where Wine has no HTML engine.
// It hosts like the real control (client site handshake, in-place windows of the engine's classes),
// fires DWebBrowserEvents2 in the engine's order with the engine's argument layouts (BeforeNavigate2
// at once, the rest when the page "loads", which is a posted message), keeps back and forward
// history, records what the host and the tab ask of it, and offers a small document model read by
// name (document -> parentWindow -> event / focus) and a way to raise a script error at the site.
//
// Lifetime: CScopedFakeEngine registers the class object for its scope and keeps every browser it
// made (one reference each) until it goes, so that a test can look at a tab's engine after the tab.
// UI thread only.
#include "tests/engine/WebBrowserStub.h"

#include "platform/AtlBase.h"

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// An automation object with named properties and methods, read and called by name.
class CFakeDispatch : public IDispatch {
public:
    CFakeDispatch() = default;
    CFakeDispatch(const CFakeDispatch&) = delete;
    CFakeDispatch& operator=(const CFakeDispatch&) = delete;
    static CComPtr<CFakeDispatch> Make();
    void Set(const wchar_t* name, const VARIANT& value);
    void SetMethod(const wchar_t* name, std::function<void()> method);
    // A method with arguments (in DISPPARAMS order) and a result.
    void SetFunction(const wchar_t* name, std::function<CComVariant(const DISPPARAMS&)> function);
    // How often each method was called.
    int CallCount(const wchar_t* name) const;
    // The bytes the object saves through IPersistStreamInit (a document's source); without them
    // the object has no such interface.
    void SetPersistBytes(std::string bytes) { m_persistBytes = std::move(bytes); }

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override;
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

private:
    virtual ~CFakeDispatch() = default;
    DISPID IdOf(const std::wstring& name);
    LONG m_references = 0;
    std::vector<std::wstring> m_names;  // DISPID = index + 1
    std::map<DISPID, CComVariant> m_properties;
    std::map<DISPID, std::function<void()>> m_methods;
    std::map<DISPID, std::function<CComVariant(const DISPPARAMS&)>> m_functions;
    std::map<DISPID, int> m_calls;
    std::string m_persistBytes;
};

class CFakeTextDocument;        // tests/engine/FakeDocument.h
struct FakeDocumentTree;        // tests/engine/FakeDocument.h

// What a page does when it loads.
// A link of a page: where it is in the page window and where it leads.
struct FakeLink {
    RECT rect;
    std::wstring href;
    std::wstring text;
};

struct FakePage {
    std::wstring title;
    std::wstring statusText;
    long secureLevel = 0;
    // Windows the page opens from its load handler (without a click).
    std::vector<std::wstring> popups;
    // The document's links (document.links, and elementFromPoint over their rectangles).
    std::vector<FakeLink> links;
    // The selected text (document.selection.createRange().text).
    std::wstring selection;
    // The document's source as the engine saves it (bytes, any encoding), and document.charset.
    std::string source;
    std::wstring charset;
    // A body of text with ranges, elements and frames (FakeDocument.h), or none.
    std::shared_ptr<CFakeTextDocument> textDocument;
    // Frames, images, scripts and links as the page analyzer reads them, or none.
    std::shared_ptr<FakeDocumentTree> tree;
};

struct FakeExecRecord {
    OLECMDID command;
    OLECMDEXECOPT option;
    long input;  // the VT_I4 input, or -1 without one
};

// A command of a command group sent to the browser object (IOleCommandTarget::Exec).
struct FakeCommandRecord {
    GUID group;
    DWORD id;
};

struct FakeScriptErrorAnswer {
    HRESULT result = E_FAIL;
    bool goOn = false;  // the VT_BOOL the host put into `out`
    bool answered = false;
};

class CFakeEngine;

class CFakeBrowser : public CWebBrowser2Stub,
                     public IOleObject,
                     public IOleInPlaceObject,
                     public IOleInPlaceActiveObject,
                     public IOleControl,
                     public IConnectionPointContainer,
                     public IConnectionPoint,
                     public IServiceProvider,
                     public IOleCommandTarget {
public:
    explicit CFakeBrowser(CFakeEngine& engine);
    CFakeBrowser(const CFakeBrowser&) = delete;
    CFakeBrowser& operator=(const CFakeBrowser&) = delete;

    // Scripting the engine.
    // Navigates as a page link would: BeforeNavigate2 at once, the load when the queue is pumped.
    HRESULT NavigateTo(const std::wstring& url);
    // Runs the posted load now (the engine's hidden window does it when messages are pumped).
    void CompleteLoad();
    bool IsLoading() const { return !m_pendingUrl.empty(); }
    // window.open from the page: NewWindow2, then the returned browser navigates. The new browser
    // or null when the host cancelled or handed back nothing.
    CFakeBrowser* OpenPopup(const std::wstring& url);
    // window.close() from the page: the engine posts WM_CLOSE to its top window.
    void SimulateWindowClose();
    FakeScriptErrorAnswer RaiseScriptError(long line, long character, long code, const wchar_t* message,
                                           const wchar_t* url);
    // Fires one event with arguments in natural order; the first sink's result.
    HRESULT Fire(DISPID id, std::vector<VARIANT> arguments);
    // Invoke on every sink exactly as given, for the malformed-call tests.
    HRESULT FireRaw(DISPID id, WORD flags, DISPPARAMS* params);
    void FireTitleChange(const wchar_t* title);
    void FireStatusText(const wchar_t* text);
    void FireProgress(long progress, long maximum);
    void FireCommandState(long command, bool enable);
    void FireSecureLock(long level);
    // What the engine does when a drag enters a page: asks its host for a drop target to use in
    // place of its own; null when the host keeps the engine's.
    CComPtr<IDropTarget> AskHostDropTarget();

    // What the host and the tab did.
    std::wstring LocationUrl() const { return m_location; }
    IDispatch* AsDispatch() { return static_cast<IWebBrowser2*>(this); }
    HWND TopWindow() const { return m_embedding; }
    HWND SiteWindow() const { return m_siteWindow; }
    size_t SinkCount() const { return m_sinks.size(); }
    bool HasSite() const { return m_site != nullptr; }
    bool registeredAsBrowser = false;
    bool visible = false;
    bool closed = false;
    long ambientDownloadControl = -1;  // the DLCTL word the site last answered, -1 none
    int ambientReads = 0;
    DWORD hostFlags = 0;               // from IDocHostUIHandler::GetHostInfo
    bool hostInfoAnswered = false;
    int refreshCount = 0;
    int refresh2Count = 0;
    long lastRefreshLevel = -1;
    int stopCount = 0;
    int goHomeCount = 0;
    int focusCount = 0;
    std::vector<FakeExecRecord> execs;
    std::vector<FakeCommandRecord> groupCommands;  // answered S_OK
    std::vector<std::wstring> navigations;  // every BeforeNavigate2 URL, cancelled or not
    // Every window.execScript of the page: the code and the language.
    std::vector<std::pair<std::wstring, std::wstring>> scripts;
    long zoom = 2;
    // The engine's Save As dialogs shown, and the path and 1-based file type of the last save.
    // What a page wrote into its body (body.innerHTML), and how often.
    std::wstring bodyHtml;
    int bodyWrites = 0;
    int saveDialogs = 0;
    std::string savedPath;
    DWORD savedFileType = 0;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    // IDispatch of the browser object
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override;
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override;
    STDMETHOD(Invoke)(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
    // IWebBrowser2 (what the program uses)
    STDMETHOD(GoBack)() override;
    STDMETHOD(GoForward)() override;
    STDMETHOD(GoHome)() override;
    STDMETHOD(Navigate)(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
    STDMETHOD(Refresh)() override;
    STDMETHOD(Refresh2)(VARIANT* level) override;
    STDMETHOD(Stop)() override;
    STDMETHOD(get_Document)(IDispatch** document) override;
    STDMETHOD(get_LocationName)(BSTR* name) override;
    STDMETHOD(get_Type)(BSTR* type) override;
    STDMETHOD(get_LocationURL)(BSTR* url) override;
    STDMETHOD(get_Busy)(VARIANT_BOOL* busy) override;
    STDMETHOD(get_Visible)(VARIANT_BOOL* value) override;
    STDMETHOD(put_Visible)(VARIANT_BOOL value) override;
    STDMETHOD(get_RegisterAsBrowser)(VARIANT_BOOL* value) override;
    STDMETHOD(put_RegisterAsBrowser)(VARIANT_BOOL value) override;
    STDMETHOD(get_ReadyState)(READYSTATE* state) override;
    STDMETHOD(ExecWB)(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override;
    STDMETHOD(QueryStatusWB)(OLECMDID command, OLECMDF* status) override;
    // IOleObject
    STDMETHOD(SetClientSite)(IOleClientSite* site) override;
    STDMETHOD(GetClientSite)(IOleClientSite** site) override;
    STDMETHOD(SetHostNames)(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHOD(Close)(DWORD) override;
    STDMETHOD(SetMoniker)(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHOD(InitFromData)(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetClipboardData)(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHOD(DoVerb)(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT rect) override;
    STDMETHOD(EnumVerbs)(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHOD(Update)() override { return S_OK; }
    STDMETHOD(IsUpToDate)() override { return S_OK; }
    STDMETHOD(GetUserClassID)(CLSID* clsid) override;
    STDMETHOD(GetUserType)(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHOD(SetExtent)(DWORD, SIZEL*) override { return S_OK; }
    STDMETHOD(GetExtent)(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHOD(Advise)(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }  // IOleObject's
    STDMETHOD(Unadvise)(DWORD) override;                                    // both interfaces'
    STDMETHOD(EnumAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHOD(GetMiscStatus)(DWORD, DWORD* status) override;
    STDMETHOD(SetColorScheme)(LOGPALETTE*) override { return E_NOTIMPL; }
    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHOD(GetWindow)(HWND* window) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    STDMETHOD(InPlaceDeactivate)() override { return S_OK; }
    STDMETHOD(UIDeactivate)() override { return S_OK; }
    STDMETHOD(SetObjectRects)(LPCRECT position, LPCRECT) override;
    STDMETHOD(ReactivateAndUndo)() override { return E_NOTIMPL; }
    STDMETHOD(TranslateAccelerator)(LPMSG message) override;
    STDMETHOD(OnFrameWindowActivate)(BOOL) override { return S_OK; }
    STDMETHOD(OnDocWindowActivate)(BOOL) override { return S_OK; }
    STDMETHOD(ResizeBorder)(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHOD(EnableModeless)(BOOL) override { return S_OK; }
    // IOleControl
    STDMETHOD(GetControlInfo)(CONTROLINFO*) override { return E_NOTIMPL; }
    STDMETHOD(OnMnemonic)(MSG*) override { return E_NOTIMPL; }
    STDMETHOD(OnAmbientPropertyChange)(DISPID id) override;
    STDMETHOD(FreezeEvents)(BOOL) override { return S_OK; }
    // IConnectionPointContainer and its one IConnectionPoint (DWebBrowserEvents2)
    STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHOD(FindConnectionPoint)(REFIID iid, IConnectionPoint** point) override;
    STDMETHOD(GetConnectionInterface)(IID* iid) override;
    STDMETHOD(GetConnectionPointContainer)(IConnectionPointContainer** container) override;
    STDMETHOD(Advise)(IUnknown* sink, DWORD* cookie) override;  // IConnectionPoint's
    STDMETHOD(EnumConnections)(IEnumConnections**) override { return E_NOTIMPL; }
    // IServiceProvider: the travel log (tests/engine/FakeTravelLog.h) over the back and forward
    // history, nearest page first.
    STDMETHOD(QueryService)(REFGUID service, REFIID iid, void** object) override;
    // IOleCommandTarget: commands of a group are recorded; nothing is done for them.
    STDMETHOD(QueryStatus)(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override { return E_NOTIMPL; }
    STDMETHOD(Exec)(const GUID* group, DWORD id, DWORD, VARIANT*, VARIANT*) override;

    // The history, oldest first, and a page's title as the engine shows it (its address without one).
    const std::vector<std::wstring>& BackHistory() const { return m_back; }
    const std::vector<std::wstring>& ForwardHistory() const { return m_forward; }
    std::wstring TitleOf(const std::wstring& url) const;
    // Answered while set: the browser offers no travel log.
    bool refuseTravelLog = false;

    int acceleratorsOffered = 0;

private:
    virtual ~CFakeBrowser();
    HRESULT NavigateInternal(const std::wstring& url, bool keepHistory);
    bool FireBeforeNavigate2(const std::wstring& url);
    void ReadAmbient();
    void ReadHostInfo();
    void CreateWindows(HWND parent, const RECT& rect);
    void DestroyWindows();
    void BuildDocument(const FakePage* page);

    CFakeEngine& m_engine;
    LONG m_references = 0;
    CComPtr<IOleClientSite> m_site;
    std::map<DWORD, CComPtr<IDispatch>> m_sinks;
    DWORD m_nextCookie = 1;
    std::wstring m_location;
    std::wstring m_title;
    std::wstring m_pendingUrl;
    bool m_pendingKeepsHistory = false;
    std::vector<std::wstring> m_back;
    std::vector<std::wstring> m_forward;
    CComPtr<CFakeDispatch> m_document;
    CComPtr<CFakeDispatch> m_window;
    HWND m_siteWindow = nullptr;  // the host window; not owned
    HWND m_embedding = nullptr;   // "Shell Embedding", owned: destroyed by Close
};

// The registration of the double for the test process, the pages it serves and the loads it runs.
class CFakeEngine {
public:
    CFakeEngine();
    CFakeEngine(const CFakeEngine&) = delete;
    CFakeEngine& operator=(const CFakeEngine&) = delete;
    ~CFakeEngine();

    bool IsRegistered() const { return m_cookie != 0; }
    // Browsers refuse every event sink while set (a host that cannot advise).
    bool refuseAdvise = false;
    void AddPage(const std::wstring& url, FakePage page) { m_pages[url] = std::move(page); }
    const FakePage* FindPage(const std::wstring& url) const;
    // Every browser made, oldest first.
    const std::vector<CComPtr<CFakeBrowser>>& Browsers() const { return m_browsers; }
    CFakeBrowser* Newest() const { return m_browsers.empty() ? nullptr : m_browsers.back().p; }
    // Runs the posted loads (and any other messages) until none is pending or the deadline passes.
    bool PumpUntilIdle(DWORD deadlineMs = 10000);

    // Internal: the class factory makes browsers here; browsers post their loads here.
    CFakeBrowser* MakeBrowser();
    void PostLoad(CFakeBrowser* browser);
    CFakeBrowser* FindBrowser(IUnknown* object) const;

private:
    static LRESULT CALLBACK LoaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    DWORD m_cookie = 0;
    CComPtr<IClassFactory> m_factory;
    std::map<std::wstring, FakePage> m_pages;
    std::vector<CComPtr<CFakeBrowser>> m_browsers;
    HWND m_loader = nullptr;  // owned: destroyed with the engine
};

// Dispatches the messages already queued for the thread.
void PumpPendingMessages();
// Pumps messages until `done` holds or the deadline passes; the final value of `done`.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD deadlineMs = 10000);
