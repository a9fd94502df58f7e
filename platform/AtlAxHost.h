#pragma once
// ActiveX control hosting: the host window class "AtlAxWin71", whose window text names the control
// to create (a class id in braces, or any other text: the WebBrowser control navigated to it), the
// site object behind each such window (CAxHostWindow: client site, in-place site and frame,
// document-host handler, ambient properties, command target) and CAxWindow to reach both.
//
// Lifetime: a host window holds one reference on its site object from WM_CREATE to WM_DESTROY,
// where the site closes the control and lets go of it. The object that created the window owns the
// window (rule (a)): it destroys it, or the parent's destruction does.
//
// The hosting interfaces are declared here, because the cross compiler ships no header for them;
// their identifiers are this program's own (nothing outside the program calls them).
#include "platform/AtlBase.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <olectl.h>

// The command group of the engine's requests to its host (a script error to show, among others)
// and the group of the engine's own commands (its find dialog, its source view).
inline constexpr GUID kCommandGroupDocHost = {0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};
inline constexpr GUID kCommandGroupWebBrowser = {0xed016940, 0xbd5b, 0x11cf, {0xba, 0x4e, 0x00, 0xc0, 0x4f, 0xd7, 0x08, 0x16}};

// The window class of the host windows; AtlAxWinInit registers it once per process.
constexpr char kAxHostWindowClass[] = "AtlAxWin71";
bool AtlAxWinInit() noexcept;

// The document-host questions in automation form: what a host window asks an external handler
// before it answers the engine itself. E_NOTIMPL from a method keeps the host's own answer.
MIDL_INTERFACE("f7fb56d0-b3b8-44b7-a020-7483c645161c")
IDocHostUIHandlerDispatch : public IDispatch
{
    STDMETHOD(ShowContextMenu)(DWORD id, DWORD x, DWORD y, IUnknown* commandTarget, IDispatch* object,
                               HRESULT* result) = 0;
    STDMETHOD(GetHostInfo)(DWORD* flags, DWORD* doubleClick) = 0;
    STDMETHOD(ShowUI)(DWORD id, IUnknown* activeObject, IUnknown* commandTarget, IUnknown* frame, IUnknown* document,
                      HRESULT* result) = 0;
    STDMETHOD(HideUI)() = 0;
    STDMETHOD(UpdateUI)() = 0;
    STDMETHOD(EnableModeless)(VARIANT_BOOL enable) = 0;
    STDMETHOD(OnDocWindowActivate)(VARIANT_BOOL activate) = 0;
    STDMETHOD(OnFrameWindowActivate)(VARIANT_BOOL activate) = 0;
    STDMETHOD(ResizeBorder)(long left, long top, long right, long bottom, IUnknown* window,
                            VARIANT_BOOL frameWindow) = 0;
    STDMETHOD(TranslateAccelerator)(DWORD_PTR window, DWORD message, DWORD_PTR wParam, DWORD_PTR lParam,
                                    BSTR commandGroup, DWORD commandId, HRESULT* result) = 0;
    STDMETHOD(GetOptionKeyPath)(BSTR* key, DWORD reserved) = 0;
    STDMETHOD(GetDropTarget)(IUnknown* engineTarget, IUnknown** hostTarget) = 0;
    STDMETHOD(GetExternal)(IDispatch** external) = 0;
    STDMETHOD(TranslateUrl)(DWORD translate, BSTR urlIn, BSTR* urlOut) = 0;
    STDMETHOD(FilterDataObject)(IUnknown* dataObject, IUnknown** replacement) = 0;
};
__CRT_UUID_DECL(IDocHostUIHandlerDispatch, 0xf7fb56d0, 0xb3b8, 0x44b7, 0xa0, 0x20, 0x74, 0x83, 0xc6, 0x45, 0x16, 0x1c)

// What a host window's site offers the program.
MIDL_INTERFACE("0118b2b5-aeb7-4f95-9631-58c47c61520c")
IAxWinHostWindow : public IUnknown
{
    // Creates the control that `name` names inside `window` (see the class comment).
    STDMETHOD(CreateControl)(LPCOLESTR name, HWND window, IStream* initialState) = 0;
    STDMETHOD(QueryControl)(REFIID iid, void** object) = 0;
    STDMETHOD(SetExternalDispatch)(IDispatch* external) = 0;
    STDMETHOD(SetExternalUIHandler)(IDocHostUIHandlerDispatch* handler) = 0;
};
__CRT_UUID_DECL(IAxWinHostWindow, 0x0118b2b5, 0xaeb7, 0x4f95, 0x96, 0x31, 0x58, 0xc4, 0x7c, 0x61, 0x52, 0x0c)

// The ambient properties a site answers, and the dispatch that answers before them.
MIDL_INTERFACE("abda7068-4e81-41e7-8980-6e1ef1f57c0e")
IAxWinAmbientDispatchEx : public IDispatch
{
    STDMETHOD(put_AllowContextMenu)(VARIANT_BOOL allow) = 0;
    STDMETHOD(get_AllowContextMenu)(VARIANT_BOOL* allow) = 0;
    STDMETHOD(put_DocHostFlags)(DWORD flags) = 0;
    STDMETHOD(get_DocHostFlags)(DWORD* flags) = 0;
    // Ambient requests go to `ambient` first; what it does not answer the site answers.
    STDMETHOD(SetAmbientDispatch)(IDispatch* ambient) = 0;
};
__CRT_UUID_DECL(IAxWinAmbientDispatchEx, 0xabda7068, 0x4e81, 0x41e7, 0x89, 0x80, 0x6e, 0x1e, 0xf1, 0xf5, 0x7c, 0x0e)

// The site object of one host window. A program that needs more of the site (a command target
// that answers the engine) derives from it and hands its object to CAxWindow::CreateWithHost.
class CAxHostWindow : public IOleClientSite,
                      public IOleInPlaceSite,
                      public IOleInPlaceFrame,
                      public IDocHostUIHandler,
                      public IOleCommandTarget,
                      public IAxWinHostWindow,
                      public IAxWinAmbientDispatchEx {
public:
    CAxHostWindow();
    CAxHostWindow(const CAxHostWindow&) = delete;
    CAxHostWindow& operator=(const CAxHostWindow&) = delete;

    // Binds the site to its window (WM_CREATE) and lets go of the control (WM_DESTROY).
    void AttachWindow(HWND window) noexcept { m_window = window; }
    void ReleaseControl() noexcept;
    HWND GetHostWindow() const noexcept { return m_window; }
    IUnknown* GetControl() const noexcept { return m_control; }
    void ResizeControl() noexcept;
    // Offers a keyboard or mouse message to the control's accelerators; true when it took it.
    bool TranslateForControl(MSG* message) noexcept;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    // IOleClientSite
    STDMETHOD(SaveObject)() override { return E_NOTIMPL; }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker** moniker) override;
    STDMETHOD(GetContainer)(IOleContainer** container) override;
    STDMETHOD(ShowObject)() override { return S_OK; }
    STDMETHOD(OnShowWindow)(BOOL) override { return S_OK; }
    STDMETHOD(RequestNewObjectLayout)() override { return E_NOTIMPL; }

    // IOleWindow (of the in-place site and of the frame)
    STDMETHOD(GetWindow)(HWND* window) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    STDMETHOD(CanInPlaceActivate)() override { return S_OK; }
    STDMETHOD(OnInPlaceActivate)() override { return S_OK; }
    STDMETHOD(OnUIActivate)() override { return S_OK; }
    STDMETHOD(GetWindowContext)(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHOD(Scroll)(SIZE) override { return E_NOTIMPL; }
    STDMETHOD(OnUIDeactivate)(BOOL) override { return S_OK; }
    STDMETHOD(OnInPlaceDeactivate)() override { return S_OK; }
    STDMETHOD(DiscardUndoState)() override { return S_OK; }
    STDMETHOD(DeactivateAndUndo)() override { return S_OK; }
    STDMETHOD(OnPosRectChange)(LPCRECT) override { return S_OK; }
    // IOleInPlaceUIWindow and IOleInPlaceFrame
    STDMETHOD(GetBorder)(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    STDMETHOD(InsertMenus)(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHOD(SetMenu)(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHOD(RemoveMenus)(HMENU) override { return S_OK; }
    STDMETHOD(SetStatusText)(LPCOLESTR) override { return S_OK; }
    STDMETHOD(EnableModeless)(BOOL) override { return S_OK; }  // also IDocHostUIHandler's
    STDMETHOD(TranslateAccelerator)(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler: the external handler first, then the site's own answers.
    STDMETHOD(ShowContextMenu)(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object) override;
    STDMETHOD(GetHostInfo)(DOCHOSTUIINFO* info) override;
    STDMETHOD(ShowUI)(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                      IOleInPlaceUIWindow*) override
    {
        return S_FALSE;
    }
    STDMETHOD(HideUI)() override { return S_OK; }
    STDMETHOD(UpdateUI)() override { return S_OK; }
    STDMETHOD(OnDocWindowActivate)(BOOL) override { return S_OK; }
    STDMETHOD(OnFrameWindowActivate)(BOOL) override { return S_OK; }
    STDMETHOD(ResizeBorder)(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHOD(TranslateAccelerator)(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHOD(GetOptionKeyPath)(LPOLESTR* key, DWORD) override;
    STDMETHOD(GetDropTarget)(IDropTarget* engineTarget, IDropTarget** hostTarget) override;
    STDMETHOD(GetExternal)(IDispatch** external) override;
    STDMETHOD(TranslateUrl)(DWORD, LPWSTR, LPWSTR* urlOut) override;
    STDMETHOD(FilterDataObject)(IDataObject*, IDataObject** replacement) override;

    // IOleCommandTarget: the engine's requests to its host; a derived site answers the ones it knows.
    STDMETHOD(QueryStatus)(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
    STDMETHOD(Exec)(const GUID* group, DWORD commandId, DWORD options, VARIANT* in, VARIANT* out) override;

    // IAxWinHostWindow
    STDMETHOD(CreateControl)(LPCOLESTR name, HWND window, IStream* initialState) override;
    STDMETHOD(QueryControl)(REFIID iid, void** object) override;
    STDMETHOD(SetExternalDispatch)(IDispatch* external) override;
    STDMETHOD(SetExternalUIHandler)(IDocHostUIHandlerDispatch* handler) override;

    // IDispatch: the ambient properties.
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override;
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override;
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;
    // IAxWinAmbientDispatchEx
    STDMETHOD(put_AllowContextMenu)(VARIANT_BOOL allow) override;
    STDMETHOD(get_AllowContextMenu)(VARIANT_BOOL* allow) override;
    STDMETHOD(put_DocHostFlags)(DWORD flags) override;
    STDMETHOD(get_DocHostFlags)(DWORD* flags) override;
    STDMETHOD(SetAmbientDispatch)(IDispatch* ambient) override;

protected:
    virtual ~CAxHostWindow();

private:
    LONG m_references = 0;
    HWND m_window = nullptr;  // the host window; not owned
    CComPtr<IUnknown> m_control;
    CComPtr<IOleInPlaceActiveObject> m_activeObject;
    CComPtr<IDocHostUIHandlerDispatch> m_uiHandler;
    CComPtr<IDispatch> m_externalDispatch;
    CComPtr<IDispatch> m_ambientDispatch;
    bool m_allowContextMenu = true;
    DWORD m_docHostFlags = DOCHOSTUIFLAG_NO3DBORDER;
    DWORD m_doubleClickFlags = DOCHOSTUIDBLCLK_DEFAULT;
};

// A host window seen from outside: its site and its control.
class CAxWindow : public CWindow {
public:
    CAxWindow(HWND window = nullptr) : CWindow(window) {}
    static LPCSTR GetWndClassName() { return kAxHostWindowClass; }

    // Creates a host window whose text names the control; with `host` the window uses that site
    // object (it takes its own reference), else a plain CAxHostWindow.
    HWND CreateWithHost(HWND parent, const RECT& rect, const char* controlName, DWORD style, DWORD exStyle,
                        UINT id, CAxHostWindow* host);

    HRESULT QueryHost(REFIID iid, void** object) const;
    HRESULT QueryControl(REFIID iid, void** object) const;
    template <class Q>
    HRESULT QueryHost(Q** object) const
    {
        return QueryHost(__uuidof(Q), reinterpret_cast<void**>(object));
    }
    template <class Q>
    HRESULT QueryControl(Q** object) const
    {
        return QueryControl(__uuidof(Q), reinterpret_cast<void**>(object));
    }
};
