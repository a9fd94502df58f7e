#include "platform/AtlAxHost.h"

#include "platform/Diagnostics.h"

#include <cwchar>
#include <string>

namespace {

// The window property that holds a host window's site object (one reference).
constexpr char kHostProperty[] = "KivoAxHost";

CAxHostWindow* HostOf(HWND window) noexcept
{
    return reinterpret_cast<CAxHostWindow*>(::GetPropA(window, kHostProperty));
}

// Creating the control inside WM_CREATE: the window text names it.
LRESULT OnHostCreate(HWND window, const CREATESTRUCTA* create) noexcept
{
    CAxHostWindow* host = create ? reinterpret_cast<CAxHostWindow*>(create->lpCreateParams) : nullptr;
    if (!host)
        host = new (std::nothrow) CAxHostWindow();
    if (!host)
        return -1;
    host->AddRef();
    host->AttachWindow(window);
    ::SetPropA(window, kHostProperty, host);
    const int length = ::GetWindowTextLengthW(window);
    if (length > 0) {
        std::wstring name(static_cast<size_t>(length) + 1, L'\0');
        ::GetWindowTextW(window, name.data(), length + 1);
        name.resize(std::wcslen(name.c_str()));
        // A control that cannot be made leaves an empty host window, as the system's host does:
        // the owner finds no control and decides.
        const HRESULT hr = host->CreateControl(name.c_str(), window, nullptr);
        if (FAILED(hr))
            ::OutputDebugStringA("AtlAxWin71: the control could not be created\n");
    }
    return 0;
}

LRESULT CALLBACK AxHostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_CREATE:
            if (::DefWindowProcA(window, message, wParam, lParam) == -1)
                return -1;
            return OnHostCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        case WM_SIZE:
            if (CAxHostWindow* host = HostOf(window))
                host->ResizeControl();
            break;
        case WM_SETFOCUS:
            // The control's own window takes the keyboard.
            if (HWND inner = ::GetWindow(window, GW_CHILD))
                ::SetFocus(inner);
            return 0;
        case WM_ERASEBKGND:
            // A control that fills the window paints it; an empty host is plain window colour.
            if (::GetWindow(window, GW_CHILD))
                return 1;
            break;
        case WM_FORWARDMSG:
            if (CAxHostWindow* host = HostOf(window))
                return host->TranslateForControl(reinterpret_cast<MSG*>(lParam)) ? TRUE : FALSE;
            return FALSE;
        case WM_DESTROY:
            if (CAxHostWindow* host = HostOf(window)) {
                ::RemovePropA(window, kHostProperty);
                host->ReleaseControl();
                host->AttachWindow(nullptr);
                host->Release();
            }
            break;
        default:
            break;
        }
    } catch (...) {
        ReportCaughtException("AtlAxWin71 window procedure");
        if (message == WM_CREATE)
            return -1;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A class id in braces, else the WebBrowser control for any other text (an address).
bool ControlClassOf(LPCOLESTR name, CLSID& clsid, bool& navigate) noexcept
{
    navigate = false;
    if (name[0] == L'{')
        return SUCCEEDED(::CLSIDFromString(name, &clsid));
    clsid = CLSID_WebBrowser;
    navigate = true;
    return true;
}

} // namespace

bool AtlAxWinInit() noexcept
{
    static const bool registered = [] {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = AxHostWindowProc;
        windowClass.hInstance = AtlGetModuleInstance();
        windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kAxHostWindowClass;
        return ::RegisterClassExA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

CAxHostWindow::CAxHostWindow()
{
    AtlModuleLock();
}

CAxHostWindow::~CAxHostWindow()
{
    ReleaseControl();
    AtlModuleUnlock();
}

void CAxHostWindow::ReleaseControl() noexcept
{
    m_activeObject.Release();
    if (!m_control)
        return;
    CComPtr<IUnknown> control;
    control.Attach(m_control.Detach());
    CComQIPtr<IOleObject> object(control);
    if (object) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
}

void CAxHostWindow::ResizeControl() noexcept
{
    if (!m_window || !m_control)
        return;
    RECT client = {};
    ::GetClientRect(m_window, &client);
    CComQIPtr<IOleInPlaceObject> inPlace(m_control);
    if (inPlace)
        inPlace->SetObjectRects(&client, &client);
}

bool CAxHostWindow::TranslateForControl(MSG* message) noexcept
{
    if (!message)
        return false;
    CComPtr<IOleInPlaceActiveObject> active = m_activeObject;
    if (!active && m_control)
        active = CComQIPtr<IOleInPlaceActiveObject>(m_control);
    return active && active->TranslateAccelerator(message) == S_OK;
}

STDMETHODIMP CAxHostWindow::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IDocHostUIHandler)
        *object = static_cast<IDocHostUIHandler*>(this);
    else if (iid == IID_IOleCommandTarget)
        *object = static_cast<IOleCommandTarget*>(this);
    else if (iid == __uuidof(IAxWinHostWindow))
        *object = static_cast<IAxWinHostWindow*>(this);
    else if (iid == IID_IDispatch || iid == __uuidof(IAxWinAmbientDispatchEx))
        *object = static_cast<IAxWinAmbientDispatchEx*>(this);
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CAxHostWindow::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_references));
}

STDMETHODIMP_(ULONG) CAxHostWindow::Release()
{
    const LONG count = ::InterlockedDecrement(&m_references);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CAxHostWindow::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxHostWindow::GetContainer(IOleContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CAxHostWindow::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_window;
    return m_window ? S_OK : E_FAIL;
}

STDMETHODIMP CAxHostWindow::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (!frame || !document || !position || !clip)
        return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    ::GetClientRect(m_window, position);
    *clip = *position;
    if (frameInfo) {
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = m_window ? ::GetAncestor(m_window, GA_ROOT) : nullptr;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP CAxHostWindow::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    m_activeObject = object;
    return S_OK;
}

STDMETHODIMP CAxHostWindow::ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object)
{
    // S_OK tells the engine the menu was shown: with menus switched off nothing is.
    if (!m_allowContextMenu)
        return S_OK;
    if (m_uiHandler) {
        HRESULT answer = S_FALSE;
        const HRESULT hr = m_uiHandler->ShowContextMenu(id, point ? point->x : 0, point ? point->y : 0,
                                                        commandTarget, object, &answer);
        if (SUCCEEDED(hr))
            return answer;
    }
    return S_FALSE;
}

STDMETHODIMP CAxHostWindow::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    if (info->cbSize < sizeof(DOCHOSTUIINFO))
        return E_INVALIDARG;
    info->dwFlags = m_docHostFlags;
    info->dwDoubleClick = m_doubleClickFlags;
    if (m_uiHandler) {
        DWORD flags = info->dwFlags;
        DWORD doubleClick = info->dwDoubleClick;
        if (SUCCEEDED(m_uiHandler->GetHostInfo(&flags, &doubleClick))) {
            info->dwFlags = flags;
            info->dwDoubleClick = doubleClick;
        }
    }
    return S_OK;
}

STDMETHODIMP CAxHostWindow::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key)
        *key = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxHostWindow::GetDropTarget(IDropTarget* engineTarget, IDropTarget** hostTarget)
{
    if (!hostTarget)
        return E_POINTER;
    *hostTarget = nullptr;
    if (!m_uiHandler)
        return E_NOTIMPL;
    CComPtr<IUnknown> answer;
    const HRESULT hr = m_uiHandler->GetDropTarget(engineTarget, &answer);
    if (FAILED(hr))
        return hr;
    if (!answer)
        return S_FALSE;
    return answer->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(hostTarget));
}

STDMETHODIMP CAxHostWindow::GetExternal(IDispatch** external)
{
    if (!external)
        return E_POINTER;
    *external = nullptr;
    if (m_uiHandler) {
        const HRESULT hr = m_uiHandler->GetExternal(external);
        if (hr != E_NOTIMPL)
            return hr;
    }
    if (m_externalDispatch) {
        *external = m_externalDispatch;
        (*external)->AddRef();
        return S_OK;
    }
    return S_FALSE;
}

STDMETHODIMP CAxHostWindow::TranslateUrl(DWORD, LPWSTR, LPWSTR* urlOut)
{
    if (urlOut)
        *urlOut = nullptr;
    return S_FALSE;
}

STDMETHODIMP CAxHostWindow::FilterDataObject(IDataObject*, IDataObject** replacement)
{
    if (replacement)
        *replacement = nullptr;
    return S_FALSE;
}

STDMETHODIMP CAxHostWindow::QueryStatus(const GUID* group, ULONG, OLECMD*, OLECMDTEXT*)
{
    return group ? OLECMDERR_E_UNKNOWNGROUP : OLECMDERR_E_NOTSUPPORTED;
}

STDMETHODIMP CAxHostWindow::Exec(const GUID* group, DWORD, DWORD, VARIANT*, VARIANT*)
{
    return group ? OLECMDERR_E_UNKNOWNGROUP : OLECMDERR_E_NOTSUPPORTED;
}

// The sequence the system's host follows: make, site, initialise, activate in place, navigate.
STDMETHODIMP CAxHostWindow::CreateControl(LPCOLESTR name, HWND window, IStream*)
{
    try {
        if (!name || !*name)
            return E_INVALIDARG;
        if (m_control)
            return E_UNEXPECTED;
        if (window)
            m_window = window;
        CLSID clsid = {};
        bool navigate = false;
        if (!ControlClassOf(name, clsid, navigate))
            return CO_E_CLASSSTRING;
        CComPtr<IUnknown> control;
        HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                        reinterpret_cast<void**>(&control));
        if (FAILED(hr))
            return hr;
        m_control = control;
        CComQIPtr<IOleObject> object(control);
        if (object)
            object->SetClientSite(static_cast<IOleClientSite*>(this));
        CComQIPtr<IPersistStreamInit> persist(control);
        if (persist)
            persist->InitNew();
        if (object && m_window) {
            RECT client = {};
            ::GetClientRect(m_window, &client);
            hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, m_window,
                                &client);
            if (FAILED(hr))
                ::OutputDebugStringA("AtlAxWin71: the control refused in-place activation\n");
        }
        if (navigate) {
            CComQIPtr<IWebBrowser2> browser(control);
            if (browser) {
                CComBSTR url(name);
                CComVariant empty;
                browser->Navigate(url, &empty, &empty, &empty, &empty);
            }
        }
        return S_OK;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CAxHostWindow::CreateControl");
    }
}

STDMETHODIMP CAxHostWindow::QueryControl(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!m_control)
        return E_NOINTERFACE;
    return m_control->QueryInterface(iid, object);
}

STDMETHODIMP CAxHostWindow::SetExternalDispatch(IDispatch* external)
{
    m_externalDispatch = external;
    return S_OK;
}

STDMETHODIMP CAxHostWindow::SetExternalUIHandler(IDocHostUIHandlerDispatch* handler)
{
    m_uiHandler = handler;
    return S_OK;
}

STDMETHODIMP CAxHostWindow::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CAxHostWindow::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxHostWindow::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids)
{
    for (UINT i = 0; ids && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

// The ambient dispatch the program installed answers first; what it does not know the site answers.
STDMETHODIMP CAxHostWindow::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError)
{
    if (m_ambientDispatch) {
        const HRESULT hr = m_ambientDispatch->Invoke(id, iid, locale, flags, params, result, exception, argumentError);
        if (SUCCEEDED(hr))
            return hr;
    }
    if (!(flags & DISPATCH_PROPERTYGET) || !result)
        return DISP_E_MEMBERNOTFOUND;
    ::VariantInit(result);
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_FALSE;
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

STDMETHODIMP CAxHostWindow::put_AllowContextMenu(VARIANT_BOOL allow)
{
    m_allowContextMenu = allow != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CAxHostWindow::get_AllowContextMenu(VARIANT_BOOL* allow)
{
    if (!allow)
        return E_POINTER;
    *allow = m_allowContextMenu ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CAxHostWindow::put_DocHostFlags(DWORD flags)
{
    m_docHostFlags = flags;
    return S_OK;
}

STDMETHODIMP CAxHostWindow::get_DocHostFlags(DWORD* flags)
{
    if (!flags)
        return E_POINTER;
    *flags = m_docHostFlags;
    return S_OK;
}

STDMETHODIMP CAxHostWindow::SetAmbientDispatch(IDispatch* ambient)
{
    m_ambientDispatch = ambient;
    return S_OK;
}

HWND CAxWindow::CreateWithHost(HWND parent, const RECT& rect, const char* controlName, DWORD style, DWORD exStyle,
                               UINT id, CAxHostWindow* host)
{
    if (!AtlAxWinInit())
        return nullptr;
    RECT area = rect;
    return Create(kAxHostWindowClass, parent, area, controlName, style, exStyle, id, host);
}

HRESULT CAxWindow::QueryHost(REFIID iid, void** object) const
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CAxHostWindow* host = m_hWnd ? HostOf(m_hWnd) : nullptr;
    return host ? host->QueryInterface(iid, object) : E_FAIL;
}

HRESULT CAxWindow::QueryControl(REFIID iid, void** object) const
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CAxHostWindow* host = m_hWnd ? HostOf(m_hWnd) : nullptr;
    return host ? host->QueryControl(iid, object) : E_FAIL;
}
