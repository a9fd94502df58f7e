#include "tests/engine/FakeEngine.h"
#include "tests/engine/FakeTravelLog.h"
#include "tests/engine/FakeDocument.h"

#include "platform/AtlAxHost.h"

#include <commdlg.h>
#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtmhst.h>

#include <algorithm>
#include <cwctype>

namespace {

constexpr UINT kLoadMessage = WM_APP + 0x51;
constexpr char kLoaderClass[] = "KivoFakeEngineLoader";
// The engine's own window classes, registered for the double with the default procedure.
constexpr const char* kEngineWindowClasses[] = {"Shell Embedding", "Shell DocObject View", "Internet Explorer_Server"};

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

// The page window shows the page's title and address, so that pictures of a tab show its page.
LRESULT CALLBACK PageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT client = {};
        ::GetClientRect(window, &client);
        ::FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        wchar_t text[512] = {};
        ::GetWindowTextW(window, text, 512);
        ::InflateRect(&client, -12, -12);
        ::SetBkMode(dc, TRANSPARENT);
        ::DrawTextW(dc, text, -1, &client, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
        ::EndPaint(window, &paint);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClasses()
{
    static const bool done = [] {
        for (const char* name : kEngineWindowClasses) {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = name == kEngineWindowClasses[2] ? PageWindowProc : ::DefWindowProcA;
            windowClass.hInstance = ::GetModuleHandleA(nullptr);
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            windowClass.lpszClassName = name;
            ::RegisterClassA(&windowClass);
        }
        WNDCLASSA loader = {};
        loader.lpfnWndProc = ::DefWindowProcA;
        loader.hInstance = ::GetModuleHandleA(nullptr);
        loader.lpszClassName = kLoaderClass;
        ::RegisterClassA(&loader);
        return true;
    }();
    (void)done;
}

VARIANT ByRefVariant(VARIANT* target)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = target;
    return v;
}

VARIANT DispatchArg(IDispatch* object)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

class CFakeEngineFactory : public IClassFactory {
public:
    explicit CFakeEngineFactory(CFakeEngine& engine) : m_engine(engine) {}
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(++m_references); }
    STDMETHOD_(ULONG, Release)() override
    {
        const LONG count = --m_references;
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        CFakeBrowser* browser = m_engine.MakeBrowser();
        return browser->QueryInterface(iid, object);
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }

private:
    virtual ~CFakeEngineFactory() = default;
    CFakeEngine& m_engine;
    LONG m_references = 0;
};

} // namespace

void PumpPendingMessages()
{
    MSG message;
    // Bounded: a window that posts to itself on every message must not keep the test here.
    for (int i = 0; i < 10000 && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD deadlineMs)
{
    const ULONGLONG end = ::GetTickCount64() + deadlineMs;
    while (!done()) {
        if (::GetTickCount64() > end)
            return done();
        MSG message;
        if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        } else {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------

CComPtr<CFakeDispatch> CFakeDispatch::Make()
{
    return CComPtr<CFakeDispatch>(new CFakeDispatch());
}

DISPID CFakeDispatch::IdOf(const std::wstring& name)
{
    const std::wstring key = Lower(name);
    for (size_t i = 0; i < m_names.size(); ++i)
        if (m_names[i] == key)
            return static_cast<DISPID>(i + 1);
    m_names.push_back(key);
    return static_cast<DISPID>(m_names.size());
}

void CFakeDispatch::Set(const wchar_t* name, const VARIANT& value)
{
    m_properties[IdOf(name)] = value;
}

void CFakeDispatch::SetMethod(const wchar_t* name, std::function<void()> method)
{
    m_methods[IdOf(name)] = std::move(method);
}

void CFakeDispatch::SetFunction(const wchar_t* name, std::function<CComVariant(const DISPPARAMS&)> function)
{
    m_functions[IdOf(name)] = std::move(function);
}

int CFakeDispatch::CallCount(const wchar_t* name) const
{
    const std::wstring key = Lower(name);
    for (size_t i = 0; i < m_names.size(); ++i)
        if (m_names[i] == key) {
            const auto found = m_calls.find(static_cast<DISPID>(i + 1));
            return found == m_calls.end() ? 0 : found->second;
        }
    return 0;
}

namespace {

// The saving side of a document: Save writes the bytes it holds. A separate small object (the
// document's other interfaces are by name), enough for the program, which only saves through it.
class CFakePersistStream final : public IPersistStreamInit {
public:
    explicit CFakePersistStream(std::string bytes) : m_bytes(std::move(bytes)) {}
    CFakePersistStream(const CFakePersistStream&) = delete;
    CFakePersistStream& operator=(const CFakePersistStream&) = delete;
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IPersist && iid != IID_IPersistStreamInit)
            return E_NOINTERFACE;
        *object = static_cast<IPersistStreamInit*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(++m_references); }
    STDMETHOD_(ULONG, Release)() override
    {
        const LONG left = --m_references;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHOD(GetClassID)(CLSID*) override { return E_NOTIMPL; }
    STDMETHOD(IsDirty)() override { return S_FALSE; }
    STDMETHOD(Load)(LPSTREAM) override { return E_NOTIMPL; }
    STDMETHOD(Save)(LPSTREAM stream, BOOL) override
    {
        if (!stream)
            return E_POINTER;
        ULONG written = 0;
        return stream->Write(m_bytes.data(), static_cast<ULONG>(m_bytes.size()), &written);
    }
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHOD(InitNew)() override { return S_OK; }

private:
    ~CFakePersistStream() = default;
    LONG m_references = 0;
    std::string m_bytes;
};

} // namespace

STDMETHODIMP CFakeDispatch::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IPersistStreamInit && !m_persistBytes.empty()) {
        auto* persist = new CFakePersistStream(m_persistBytes);
        return persist->QueryInterface(iid, object);
    }
    if (iid != IID_IUnknown && iid != IID_IDispatch)
        return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CFakeDispatch::AddRef()
{
    return static_cast<ULONG>(++m_references);
}

STDMETHODIMP_(ULONG) CFakeDispatch::Release()
{
    const LONG count = --m_references;
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CFakeDispatch::GetTypeInfoCount(UINT* count)
{
    if (count)
        *count = 0;
    return S_OK;
}

STDMETHODIMP CFakeDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CFakeDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        const std::wstring key = Lower(names[i] ? names[i] : L"");
        ids[i] = DISPID_UNKNOWN;
        for (size_t n = 0; n < m_names.size(); ++n)
            if (m_names[n] == key)
                ids[i] = static_cast<DISPID>(n + 1);
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

STDMETHODIMP CFakeDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*)
{
    if (result)
        ::VariantInit(result);
    if (const auto function = m_functions.find(id); function != m_functions.end()) {
        ++m_calls[id];
        static const DISPPARAMS none = {nullptr, nullptr, 0, 0};
        CComVariant answer = function->second(params ? *params : none);
        return result ? ::VariantCopy(result, &answer) : S_OK;
    }
    if (const auto method = m_methods.find(id); method != m_methods.end() && (flags & DISPATCH_METHOD)) {
        ++m_calls[id];
        if (method->second)
            method->second();
        return S_OK;
    }
    // A plain property takes a new value as the engine's own properties do (document.charset).
    if (const auto property = m_properties.find(id); property != m_properties.end() && (flags & DISPATCH_PROPERTYPUT) &&
                                                     params && params->cArgs == 1) {
        ++m_calls[id];
        return property->second.Copy(&params->rgvarg[0]);
    }
    if (const auto property = m_properties.find(id); property != m_properties.end() && (flags & DISPATCH_PROPERTYGET)) {
        ++m_calls[id];
        return result ? ::VariantCopy(result, &property->second) : S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

// ---------------------------------------------------------------------------------------------

CFakeBrowser::CFakeBrowser(CFakeEngine& engine) : m_engine(engine)
{
    m_document = CFakeDispatch::Make();
    m_window = CFakeDispatch::Make();
    m_window->SetMethod(L"focus", [this] { ++focusCount; });
    m_window->SetFunction(L"execScript", [this](const DISPPARAMS& params) {
        // In DISPPARAMS order the last argument comes first: the code is the last element.
        auto text = [&params](UINT fromEnd) {
            if (params.cArgs <= fromEnd || params.rgvarg[params.cArgs - 1 - fromEnd].vt != VT_BSTR)
                return std::wstring();
            const BSTR value = params.rgvarg[params.cArgs - 1 - fromEnd].bstrVal;
            return std::wstring(value ? value : L"");
        };
        scripts.emplace_back(text(0), text(1));
        return CComVariant();
    });
    CComVariant window(static_cast<IDispatch*>(m_window.p));
    m_document->Set(L"parentWindow", window);
}

CFakeBrowser::~CFakeBrowser()
{
    DestroyWindows();
}

STDMETHODIMP CFakeBrowser::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser || iid == IID_IWebBrowserApp ||
        iid == IID_IWebBrowser2)
        *object = static_cast<IWebBrowser2*>(this);
    else if (iid == IID_IOleObject)
        *object = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *object = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        *object = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IOleControl)
        *object = static_cast<IOleControl*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IServiceProvider)
        *object = static_cast<IServiceProvider*>(this);
    else if (iid == IID_IOleCommandTarget)
        *object = static_cast<IOleCommandTarget*>(this);
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CFakeBrowser::AddRef()
{
    return static_cast<ULONG>(++m_references);
}

STDMETHODIMP_(ULONG) CFakeBrowser::Release()
{
    const LONG count = --m_references;
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CFakeBrowser::GetTypeInfoCount(UINT* count)
{
    if (count)
        *count = 0;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CFakeBrowser::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids)
{
    for (UINT i = 0; ids && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CFakeBrowser::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CFakeBrowser::Fire(DISPID id, std::vector<VARIANT> arguments)
{
    // DISPPARAMS lists the last argument first.
    std::reverse(arguments.begin(), arguments.end());
    DISPPARAMS params = {arguments.empty() ? nullptr : arguments.data(), nullptr,
                         static_cast<UINT>(arguments.size()), 0};
    return FireRaw(id, DISPATCH_METHOD, &params);
}

HRESULT CFakeBrowser::FireRaw(DISPID id, WORD flags, DISPPARAMS* params)
{
    HRESULT first = S_OK;
    bool any = false;
    // A handler may unadvise (or close the tab) while the event runs: walk a copy.
    const auto sinks = m_sinks;
    for (const auto& [cookie, sink] : sinks) {
        VARIANT result;
        ::VariantInit(&result);
        const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params, &result, nullptr, nullptr);
        ::VariantClear(&result);
        if (!any)
            first = hr;
        any = true;
    }
    return first;
}

bool CFakeBrowser::FireBeforeNavigate2(const std::wstring& url)
{
    navigations.push_back(url);
    CComVariant address(url.c_str());
    CComVariant flags(0L);
    CComVariant target(L"");
    CComVariant postData;
    CComVariant headers(L"");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT cancelArg;
    ::VariantInit(&cancelArg);
    cancelArg.vt = VT_BYREF | VT_BOOL;
    cancelArg.pboolVal = &cancel;
    Fire(DISPID_BEFORENAVIGATE2, {DispatchArg(AsDispatch()), ByRefVariant(&address), ByRefVariant(&flags),
                                  ByRefVariant(&target), ByRefVariant(&postData), ByRefVariant(&headers), cancelArg});
    return cancel == VARIANT_FALSE;
}

HRESULT CFakeBrowser::NavigateTo(const std::wstring& url)
{
    return NavigateInternal(url, true);
}

HRESULT CFakeBrowser::NavigateInternal(const std::wstring& url, bool keepHistory)
{
    if (closed)
        return E_FAIL;
    AddRef();  // a handler may close the tab and release the engine while the event runs
    const bool go = FireBeforeNavigate2(url);
    // A script address runs in the page and loads nothing, as with the engine.
    const bool script = url.size() >= 11 && Lower(url.substr(0, 11)) == L"javascript:";
    if (go && !closed && !script) {
        // A new navigation replaces a load still pending, as the engine stops the old one.
        const bool wasPending = !m_pendingUrl.empty();
        m_pendingUrl = url;
        m_pendingKeepsHistory = keepHistory;
        if (!wasPending)
            m_engine.PostLoad(this);
    }
    Release();
    return S_OK;
}

void CFakeBrowser::CompleteLoad()
{
    if (m_pendingUrl.empty() || closed)
        return;
    AddRef();
    const std::wstring url = m_pendingUrl;
    m_pendingUrl.clear();
    if (m_pendingKeepsHistory && !m_location.empty() && m_location != url) {
        m_back.push_back(m_location);
        m_forward.clear();
    }
    m_location = url;
    // The engine asks its host how to show each new document.
    ReadHostInfo();
    const FakePage* page = m_engine.FindPage(url);
    BuildDocument(page);
    m_title = page && !page->title.empty() ? page->title : url;
    if (HWND view = m_embedding ? ::GetWindow(m_embedding, GW_CHILD) : nullptr)
        if (HWND pageWindow = ::GetWindow(view, GW_CHILD)) {
            ::SetWindowTextW(pageWindow, (m_title + L"\r\n\r\n" + url).c_str());
            ::InvalidateRect(pageWindow, nullptr, TRUE);
        }
    CComVariant address(url.c_str());
    Fire(DISPID_DOWNLOADBEGIN, {});
    Fire(DISPID_NAVIGATECOMPLETE2, {DispatchArg(AsDispatch()), ByRefVariant(&address)});
    FireTitleChange(m_title.c_str());
    if (page && !page->statusText.empty())
        FireStatusText(page->statusText.c_str());
    FireProgress(50, 100);
    FireSecureLock(page ? page->secureLevel : 0);
    FireCommandState(CSC_NAVIGATEBACK, !m_back.empty());
    FireCommandState(CSC_NAVIGATEFORWARD, !m_forward.empty());
    Fire(DISPID_DOWNLOADCOMPLETE, {});
    Fire(DISPID_DOCUMENTCOMPLETE, {DispatchArg(AsDispatch()), ByRefVariant(&address)});
    FireProgress(0, 0);
    if (page)
        for (const std::wstring& popup : page->popups)
            if (!closed)
                OpenPopup(popup);
    Release();
}

CFakeBrowser* CFakeBrowser::OpenPopup(const std::wstring& url)
{
    IDispatch* created = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT createdArg;
    ::VariantInit(&createdArg);
    createdArg.vt = VT_BYREF | VT_DISPATCH;
    createdArg.ppdispVal = &created;
    VARIANT cancelArg;
    ::VariantInit(&cancelArg);
    cancelArg.vt = VT_BYREF | VT_BOOL;
    cancelArg.pboolVal = &cancel;
    Fire(DISPID_NEWWINDOW2, {createdArg, cancelArg});
    CComPtr<IDispatch> handedBack;
    handedBack.Attach(created);
    if (cancel != VARIANT_FALSE || !handedBack)
        return nullptr;
    CFakeBrowser* browser = m_engine.FindBrowser(handedBack);
    if (browser)
        browser->NavigateTo(url);
    return browser;
}

namespace {

long ArgumentAsLong(const DISPPARAMS& params, UINT fromEnd)
{
    if (params.cArgs <= fromEnd)
        return -1;
    CComVariant value;
    if (FAILED(::VariantChangeType(&value, &params.rgvarg[params.cArgs - 1 - fromEnd], 0, VT_I4)))
        return -1;
    return value.lVal;
}

CComPtr<CFakeDispatch> MakeLinkElement(const FakeLink& link)
{
    CComPtr<CFakeDispatch> element = CFakeDispatch::Make();
    element->Set(L"tagName", CComVariant(L"A"));
    element->Set(L"href", CComVariant(link.href.c_str()));
    element->Set(L"innerText", CComVariant(link.text.c_str()));
    return element;
}

} // namespace

// The document of a loaded page: its links by index and by point, and its selection.
void CFakeBrowser::BuildDocument(const FakePage* page)
{
    std::vector<CComPtr<CFakeDispatch>> elements;
    std::vector<RECT> rects;
    if (page)
        for (const FakeLink& link : page->links) {
            elements.push_back(MakeLinkElement(link));
            rects.push_back(link.rect);
        }
    CComPtr<CFakeDispatch> links = CFakeDispatch::Make();
    links->Set(L"length", CComVariant(static_cast<long>(elements.size())));
    links->SetFunction(L"item", [elements](const DISPPARAMS& params) {
        const long index = ArgumentAsLong(params, 0);
        if (index < 0 || index >= static_cast<long>(elements.size()))
            return CComVariant();
        return CComVariant(static_cast<IDispatch*>(elements[static_cast<size_t>(index)].p));
    });
    m_document->Set(L"links", CComVariant(static_cast<IDispatch*>(links.p)));
    m_document->SetFunction(L"elementFromPoint", [elements, rects](const DISPPARAMS& params) {
        const POINT point = {ArgumentAsLong(params, 0), ArgumentAsLong(params, 1)};
        for (size_t i = 0; i < rects.size(); ++i)
            if (::PtInRect(&rects[i], point))
                return CComVariant(static_cast<IDispatch*>(elements[i].p));
        return CComVariant();
    });
    CComPtr<CFakeDispatch> range = CFakeDispatch::Make();
    range->Set(L"text", CComVariant(page ? page->selection.c_str() : L""));
    CComPtr<CFakeDispatch> selection = CFakeDispatch::Make();
    selection->SetFunction(L"createRange", [range](const DISPPARAMS&) {
        return CComVariant(static_cast<IDispatch*>(range.p));
    });
    m_document->Set(L"selection", CComVariant(static_cast<IDispatch*>(selection.p)));
    m_document->SetPersistBytes(page ? page->source : std::string());
    m_document->Set(L"charset", CComVariant(page ? page->charset.c_str() : L""));
    // Every document has a body whose markup a host may write (the program's report panes do).
    CComPtr<CFakeDispatch> body = CFakeDispatch::Make();
    body->SetFunction(L"innerHTML", [this](const DISPPARAMS& params) {
        if (params.cNamedArgs == 1 && params.rgdispidNamedArgs && params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT &&
            params.cArgs == 1 && params.rgvarg[0].vt == VT_BSTR) {
            bodyHtml = params.rgvarg[0].bstrVal ? params.rgvarg[0].bstrVal : L"";
            ++bodyWrites;
            // The page window shows what was written, as markup (the double renders no HTML).
            if (HWND view = m_embedding ? ::GetWindow(m_embedding, GW_CHILD) : nullptr)
                if (HWND pageWindow = ::GetWindow(view, GW_CHILD)) {
                    ::SetWindowTextW(pageWindow, bodyHtml.c_str());
                    ::InvalidateRect(pageWindow, nullptr, TRUE);
                }
            return CComVariant();
        }
        return CComVariant(bodyHtml.c_str());
    });
    m_document->Set(L"body", CComVariant(static_cast<IDispatch*>(body.p)));
    if (page && page->tree)
        PublishDocumentTree(*page->tree, *m_document);
    if (page && page->textDocument)
        page->textDocument->Publish(*m_document);
}

void CFakeBrowser::SimulateWindowClose()
{
    if (m_embedding)
        ::PostMessageA(m_embedding, WM_CLOSE, 0, 0);
}

FakeScriptErrorAnswer CFakeBrowser::RaiseScriptError(long line, long character, long code, const wchar_t* message,
                                                     const wchar_t* url)
{
    FakeScriptErrorAnswer answer;
    CComPtr<CFakeDispatch> event = CFakeDispatch::Make();
    event->Set(L"errorLine", CComVariant(line));
    event->Set(L"errorCharacter", CComVariant(character));
    event->Set(L"errorCode", CComVariant(code));
    event->Set(L"errorMessage", CComVariant(message));
    event->Set(L"errorUrl", CComVariant(url));
    m_window->Set(L"event", CComVariant(static_cast<IDispatch*>(event.p)));
    CComQIPtr<IOleCommandTarget> target(m_site);
    if (!target)
        return answer;
    VARIANT in;
    ::VariantInit(&in);
    in.vt = VT_UNKNOWN;
    in.punkVal = static_cast<IDispatch*>(m_document.p);
    VARIANT out;
    ::VariantInit(&out);
    answer.result = target->Exec(&kCommandGroupDocHost, OLECMDID_SHOWSCRIPTERROR, OLECMDEXECOPT_DODEFAULT, &in, &out);
    answer.answered = out.vt == VT_BOOL;
    answer.goOn = answer.answered && out.boolVal != VARIANT_FALSE;
    ::VariantClear(&out);
    return answer;
}

void CFakeBrowser::FireTitleChange(const wchar_t* title)
{
    CComVariant text(title);
    Fire(DISPID_TITLECHANGE, {text});
}

void CFakeBrowser::FireStatusText(const wchar_t* text)
{
    CComVariant value(text);
    Fire(DISPID_STATUSTEXTCHANGE, {value});
}

void CFakeBrowser::FireProgress(long progress, long maximum)
{
    CComVariant p(progress), m(maximum);
    Fire(DISPID_PROGRESSCHANGE, {p, m});
}

void CFakeBrowser::FireCommandState(long command, bool enable)
{
    CComVariant c(command);
    VARIANT e;
    ::VariantInit(&e);
    e.vt = VT_BOOL;
    e.boolVal = enable ? VARIANT_TRUE : VARIANT_FALSE;
    Fire(DISPID_COMMANDSTATECHANGE, {c, e});
}

void CFakeBrowser::FireSecureLock(long level)
{
    CComVariant value(level);
    Fire(DISPID_SETSECURELOCKICON, {value});
}

STDMETHODIMP CFakeBrowser::GoBack()
{
    if (m_back.empty())
        return E_FAIL;
    const std::wstring target = m_back.back();
    m_back.pop_back();
    m_forward.push_back(m_location);
    return NavigateInternal(target, false);
}

STDMETHODIMP CFakeBrowser::GoForward()
{
    if (m_forward.empty())
        return E_FAIL;
    const std::wstring target = m_forward.back();
    m_forward.pop_back();
    m_back.push_back(m_location);
    return NavigateInternal(target, false);
}

STDMETHODIMP CFakeBrowser::GoHome()
{
    ++goHomeCount;
    return NavigateTo(L"http://home.example/");
}

STDMETHODIMP CFakeBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
{
    if (!url)
        return E_INVALIDARG;
    return NavigateTo(url);
}

STDMETHODIMP CFakeBrowser::Refresh()
{
    ++refreshCount;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::Refresh2(VARIANT* level)
{
    ++refresh2Count;
    lastRefreshLevel = level && level->vt == VT_I4 ? level->lVal : -1;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::Stop()
{
    ++stopCount;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::get_Document(IDispatch** document)
{
    if (!document)
        return E_POINTER;
    *document = m_document;
    (*document)->AddRef();
    return S_OK;
}

STDMETHODIMP CFakeBrowser::get_LocationName(BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = ::SysAllocString(m_title.c_str());
    return S_OK;
}

STDMETHODIMP CFakeBrowser::get_Type(BSTR* type)
{
    if (!type)
        return E_POINTER;
    *type = ::SysAllocString(L"HTML Document");
    return S_OK;
}

STDMETHODIMP CFakeBrowser::get_LocationURL(BSTR* url)
{
    if (!url)
        return E_POINTER;
    *url = ::SysAllocString(m_location.c_str());
    return S_OK;
}

STDMETHODIMP CFakeBrowser::get_Busy(VARIANT_BOOL* busy)
{
    if (!busy)
        return E_POINTER;
    *busy = IsLoading() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::get_Visible(VARIANT_BOOL* value)
{
    if (!value)
        return E_POINTER;
    *value = visible ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::put_Visible(VARIANT_BOOL value)
{
    visible = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::get_RegisterAsBrowser(VARIANT_BOOL* value)
{
    if (!value)
        return E_POINTER;
    *value = registeredAsBrowser ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::put_RegisterAsBrowser(VARIANT_BOOL value)
{
    registeredAsBrowser = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::get_ReadyState(READYSTATE* state)
{
    if (!state)
        return E_POINTER;
    *state = IsLoading() ? READYSTATE_LOADING : READYSTATE_COMPLETE;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out)
{
    const long input = in && in->vt == VT_I4 ? in->lVal : -1;
    execs.push_back({command, option, input});
    if (command == OLECMDID_SAVEAS && option == OLECMDEXECOPT_PROMPTUSER) {
        // The engine's own Save As: the system's file dialog with the engine's four file types.
        static const char kTypes[] = "Web Page, complete (*.htm;*.html)\0*.htm;*.html\0"
                                     "Web Archive, single file (*.mht)\0*.mht\0"
                                     "Web Page, HTML only (*.htm;*.html)\0*.htm;*.html\0"
                                     "Text File (*.txt)\0*.txt\0";
        char path[MAX_PATH] = "page";
        OPENFILENAMEA dialog = {};
        dialog.lStructSize = sizeof(dialog);
        dialog.hwndOwner = m_siteWindow;
        dialog.lpstrFilter = kTypes;
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = path;
        dialog.nMaxFile = sizeof(path);
        dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
        ++saveDialogs;
        if (::GetSaveFileNameA(&dialog)) {
            savedPath = path;
            savedFileType = dialog.nFilterIndex;
        }
        return S_OK;
    }
    if (command == OLECMDID_ZOOM) {
        if (input >= 0 && input <= 4)
            zoom = input;
        if (out) {
            ::VariantClear(out);
            out->vt = VT_I4;
            out->lVal = zoom;
        }
    }
    return S_OK;
}

STDMETHODIMP CFakeBrowser::QueryStatusWB(OLECMDID, OLECMDF* status)
{
    if (!status)
        return E_POINTER;
    *status = static_cast<OLECMDF>(OLECMDF_SUPPORTED | OLECMDF_ENABLED);
    return S_OK;
}

// The engine's handshake with a new site: the download-control ambient and the host's flags.
STDMETHODIMP CFakeBrowser::SetClientSite(IOleClientSite* site)
{
    m_site = site;
    if (!site)
        return S_OK;
    ReadAmbient();
    ReadHostInfo();
    return S_OK;
}

void CFakeBrowser::ReadHostInfo()
{
    CComQIPtr<IDocHostUIHandler> handler(m_site);
    if (!handler)
        return;
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof(info);
    if (SUCCEEDED(handler->GetHostInfo(&info))) {
        hostFlags = info.dwFlags;
        hostInfoAnswered = true;
    }
}

CComPtr<IDropTarget> CFakeBrowser::AskHostDropTarget()
{
    CComPtr<IDropTarget> answer;
    CComQIPtr<IDocHostUIHandler> handler(m_site);
    if (!handler)
        return answer;
    // The engine offers its own target and takes the host's in its place when one comes back.
    CComPtr<IDropTarget> replaced;
    if (SUCCEEDED(handler->GetDropTarget(nullptr, &replaced)))
        answer = replaced;
    return answer;
}

void CFakeBrowser::ReadAmbient()
{
    CComQIPtr<IDispatch> ambient(m_site);
    if (!ambient)
        return;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    ::VariantInit(&result);
    ++ambientReads;
    if (SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                  &result, nullptr, nullptr)) &&
        result.vt == VT_I4)
        ambientDownloadControl = result.lVal;
    ::VariantClear(&result);
}

STDMETHODIMP CFakeBrowser::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = m_site;
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP CFakeBrowser::Close(DWORD)
{
    closed = true;
    m_pendingUrl.clear();
    DestroyWindows();
    return S_OK;
}

STDMETHODIMP CFakeBrowser::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT rect)
{
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_UIACTIVATE && verb != OLEIVERB_SHOW)
        return OLEOBJ_S_INVALIDVERB;
    if (!m_embedding && parent) {
        RECT area = rect ? *rect : RECT{0, 0, 100, 100};
        CreateWindows(parent, area);
    }
    return S_OK;
}

void CFakeBrowser::CreateWindows(HWND parent, const RECT& rect)
{
    RegisterWindowClasses();
    m_siteWindow = parent;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    m_embedding = ::CreateWindowExA(0, kEngineWindowClasses[0], "", style, rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    HWND view = ::CreateWindowExA(0, kEngineWindowClasses[1], "", style, 0, 0, rect.right - rect.left,
                                  rect.bottom - rect.top, m_embedding, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::CreateWindowExA(0, kEngineWindowClasses[2], "", style, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                      view, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

void CFakeBrowser::DestroyWindows()
{
    if (m_embedding && ::IsWindow(m_embedding))
        ::DestroyWindow(m_embedding);
    m_embedding = nullptr;
}

STDMETHODIMP CFakeBrowser::GetUserClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = CLSID_WebBrowser;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::Unadvise(DWORD cookie)
{
    return m_sinks.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

STDMETHODIMP CFakeBrowser::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_embedding;
    return m_embedding ? S_OK : E_FAIL;
}

STDMETHODIMP CFakeBrowser::SetObjectRects(LPCRECT position, LPCRECT)
{
    if (position && m_embedding)
        ::MoveWindow(m_embedding, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, TRUE);
    return S_OK;
}

STDMETHODIMP CFakeBrowser::TranslateAccelerator(LPMSG message)
{
    ++acceleratorsOffered;
    return message ? S_FALSE : E_POINTER;
}

STDMETHODIMP CFakeBrowser::OnAmbientPropertyChange(DISPID id)
{
    if (id == DISPID_AMBIENT_DLCONTROL || id == DISPID_UNKNOWN)
        ReadAmbient();
    return S_OK;
}

STDMETHODIMP CFakeBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (iid != DIID_DWebBrowserEvents2)
        return CONNECT_E_NOCONNECTION;
    *point = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CFakeBrowser::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = DIID_DWebBrowserEvents2;
    return S_OK;
}

STDMETHODIMP CFakeBrowser::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
}

// Sinks that answer only IDispatch are accepted, as the engine does.
STDMETHODIMP CFakeBrowser::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    if (m_engine.refuseAdvise)
        return CONNECT_E_ADVISELIMIT;
    CComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = m_nextCookie++;
    m_sinks[*cookie] = dispatch;
    return S_OK;
}

// ---------------------------------------------------------------------------------------------

CFakeEngine::CFakeEngine()
{
    RegisterWindowClasses();
    m_loader = ::CreateWindowExA(0, kLoaderClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    ::SetWindowLongPtrA(m_loader, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrA(m_loader, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CFakeEngine::LoaderProc));
    m_factory = new CFakeEngineFactory(*this);
    if (FAILED(::CoRegisterClassObject(CLSID_WebBrowser, m_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                       &m_cookie)))
        m_cookie = 0;
}

CFakeEngine::~CFakeEngine()
{
    if (m_cookie)
        ::CoRevokeClassObject(m_cookie);
    if (m_loader)
        ::DestroyWindow(m_loader);
    for (auto& browser : m_browsers)
        browser->Close(OLECLOSE_NOSAVE);
    m_browsers.clear();
}

const FakePage* CFakeEngine::FindPage(const std::wstring& url) const
{
    const auto found = m_pages.find(url);
    return found == m_pages.end() ? nullptr : &found->second;
}

CFakeBrowser* CFakeEngine::MakeBrowser()
{
    m_browsers.emplace_back(new CFakeBrowser(*this));
    return m_browsers.back();
}

void CFakeEngine::PostLoad(CFakeBrowser* browser)
{
    for (size_t i = 0; i < m_browsers.size(); ++i)
        if (m_browsers[i].p == browser)
            ::PostMessageA(m_loader, kLoadMessage, i, 0);
}

CFakeBrowser* CFakeEngine::FindBrowser(IUnknown* object) const
{
    CComPtr<IUnknown> identity;
    if (!object || FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))))
        return nullptr;
    for (const auto& browser : m_browsers)
        if (static_cast<IUnknown*>(static_cast<IWebBrowser2*>(browser.p)) == identity.p)
            return browser;
    return nullptr;
}

bool CFakeEngine::PumpUntilIdle(DWORD deadlineMs)
{
    return PumpMessagesUntil(
        [this] {
            MSG message;
            if (::PeekMessageA(&message, m_loader, kLoadMessage, kLoadMessage, PM_NOREMOVE))
                return false;
            return std::none_of(m_browsers.begin(), m_browsers.end(),
                                [](const CComPtr<CFakeBrowser>& b) { return b->IsLoading(); });
        },
        deadlineMs);
}

LRESULT CALLBACK CFakeEngine::LoaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kLoadMessage) {
        auto* engine = reinterpret_cast<CFakeEngine*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (engine && wParam < engine->m_browsers.size()) {
            CComPtr<CFakeBrowser> browser = engine->m_browsers[wParam];
            browser->CompleteLoad();
        }
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

STDMETHODIMP CFakeBrowser::QueryService(REFGUID service, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (refuseTravelLog || service != kFakeTravelLogId)
        return E_NOINTERFACE;
    CComPtr<ITravelLogStg> log = new CFakeTravelLog(*this);  // objects start without a reference
    return log->QueryInterface(iid, object);
}

STDMETHODIMP CFakeBrowser::Exec(const GUID* group, DWORD id, DWORD, VARIANT*, VARIANT*)
{
    groupCommands.push_back({group ? *group : GUID_NULL, id});
    return S_OK;
}

std::wstring CFakeBrowser::TitleOf(const std::wstring& url) const
{
    const FakePage* page = m_engine.FindPage(url);
    return page && !page->title.empty() ? page->title : url;
}
