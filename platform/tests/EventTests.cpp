// Event sinks receiving Invoke from a connection point, and interface ids the SDK lacks.
#include <gtest/gtest.h>
#include <exdisp.h>
#include <exdispid.h>
#include <string>
#include "platform/AtlDisp.h"
#include "platform/AtlInterfaces.h"
#include "platform/tests/RecordingReporter.h"
#include <new>
#include <stdexcept>

namespace {

// An event source with one connection point for DWebBrowserEvents2 and one sink at a time.
class CFakeSource : public CComObjectRootEx<CComSingleThreadModel>, public IConnectionPointContainer, public IConnectionPoint
{
public:
    BEGIN_COM_MAP(CFakeSource)
        COM_INTERFACE_ENTRY(IConnectionPointContainer)
        COM_INTERFACE_ENTRY(IConnectionPoint)
    END_COM_MAP()

    STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHOD(FindConnectionPoint)(REFIID riid, IConnectionPoint** ppCP) override
    {
        *ppCP = nullptr;
        if (!::IsEqualIID(riid, DIID_DWebBrowserEvents2))
            return CONNECT_E_NOCONNECTION;
        *ppCP = this;
        AddRef();
        return S_OK;
    }
    STDMETHOD(GetConnectionInterface)(IID* piid) override
    {
        *piid = DIID_DWebBrowserEvents2;
        return S_OK;
    }
    STDMETHOD(GetConnectionPointContainer)(IConnectionPointContainer** ppCPC) override
    {
        *ppCPC = this;
        AddRef();
        return S_OK;
    }
    // Like the engine, it asks the sink for the event interface and falls back to IDispatch.
    STDMETHOD(Advise)(IUnknown* pUnkSink, DWORD* pdwCookie) override
    {
        if (m_sink)
            return CONNECT_E_ADVISELIMIT;
        if (FAILED(pUnkSink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&m_sink))) &&
            FAILED(pUnkSink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_sink))))
            return CONNECT_E_CANNOTCONNECT;
        *pdwCookie = 7;
        return S_OK;
    }
    STDMETHOD(Unadvise)(DWORD dwCookie) override
    {
        if (dwCookie != 7 || !m_sink)
            return CONNECT_E_NOCONNECTION;
        m_sink.Release();
        return S_OK;
    }
    STDMETHOD(EnumConnections)(IEnumConnections**) override { return E_NOTIMPL; }

    HRESULT Fire(DISPID dispid, VARIANT* args, UINT count)
    {
        if (!m_sink)
            return E_FAIL;
        DISPPARAMS params = {args, nullptr, count, 0};
        return m_sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }

    CComPtr<IDispatch> m_sink;
};

_ATL_FUNC_INFO g_beforeNavigateInfo = {CC_STDCALL, VT_EMPTY, 3, {VT_DISPATCH, VT_VARIANT | VT_BYREF, VT_BOOL | VT_BYREF}};
_ATL_FUNC_INFO g_statusInfo = {CC_STDCALL, VT_EMPTY, 1, {VT_BSTR}};

class CBrowserEvents : public IDispEventSimpleImpl<1, CBrowserEvents, &DIID_DWebBrowserEvents2>
{
public:
    BEGIN_SINK_MAP(CBrowserEvents)
        SINK_ENTRY_INFO(1, DIID_DWebBrowserEvents2, DISPID_BEFORENAVIGATE2, OnBeforeNavigate, &g_beforeNavigateInfo)
        SINK_ENTRY_INFO(1, DIID_DWebBrowserEvents2, DISPID_STATUSTEXTCHANGE, OnStatusText, &g_statusInfo)
        SINK_ENTRY_EX(1, DIID_DWebBrowserEvents2, DISPID_PROGRESSCHANGE, OnProgress)
    END_SINK_MAP()

    void __stdcall OnBeforeNavigate(IDispatch* browser, VARIANT* url, VARIANT_BOOL* cancel)
    {
        m_browser = browser;
        m_url = url->vt == (VT_BYREF | VT_VARIANT) && url->pvarVal->vt == VT_BSTR ? url->pvarVal->bstrVal : L"?";
        *cancel = VARIANT_TRUE;
    }
    void __stdcall OnStatusText(BSTR text) { m_status = text ? text : L""; }
    void __stdcall OnProgress(long progress, long maximum) { m_progress = progress * 100 / (maximum ? maximum : 1); }

    IDispatch* m_browser = reinterpret_cast<IDispatch*>(1);
    std::wstring m_url, m_status;
    long m_progress = -1;
};

TEST(PlatformEvents, SinkReceivesInvokeFromAConnectionPoint)
{
    CComObject<CFakeSource>* source = nullptr;
    ASSERT_EQ(S_OK, CComObject<CFakeSource>::CreateInstance(&source));
    CComPtr<IUnknown> holder(source->GetUnknown());
    CBrowserEvents events;
    ASSERT_EQ(S_OK, events.DispEventAdvise(holder));
    EXPECT_EQ(E_UNEXPECTED, events.DispEventAdvise(holder));

    // BeforeNavigate2's layout as the engine sends it, last argument first.
    CComVariant url(L"http://example.org/");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[3];
    args[2].vt = VT_DISPATCH;
    args[2].pdispVal = nullptr;
    args[1].vt = VT_BYREF | VT_VARIANT;
    args[1].pvarVal = &url;
    args[0].vt = VT_BYREF | VT_BOOL;
    args[0].pboolVal = &cancel;
    EXPECT_EQ(S_OK, source->Fire(DISPID_BEFORENAVIGATE2, args, 3));
    EXPECT_EQ(nullptr, events.m_browser);
    EXPECT_EQ(L"http://example.org/", events.m_url);
    EXPECT_EQ(VARIANT_TRUE, cancel);

    // A wrong type or count is refused before the handler runs.
    CComVariant number(5);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, source->Fire(DISPID_STATUSTEXTCHANGE, &number, 1));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, source->Fire(DISPID_BEFORENAVIGATE2, args, 2));
    EXPECT_TRUE(events.m_status.empty());
    CComVariant text(L"Done");
    EXPECT_EQ(S_OK, source->Fire(DISPID_STATUSTEXTCHANGE, &text, 1));
    EXPECT_EQ(L"Done", events.m_status);

    // Without a description the handler's own parameter types convert the arguments.
    VARIANT progress[2];
    progress[1].vt = VT_I4;
    progress[1].lVal = 30;
    progress[0].vt = VT_I4;
    progress[0].lVal = 60;
    EXPECT_EQ(S_OK, source->Fire(DISPID_PROGRESSCHANGE, progress, 2));
    EXPECT_EQ(50, events.m_progress);
    // Events without a handler are accepted.
    EXPECT_EQ(S_OK, source->Fire(DISPID_TITLECHANGE, &text, 1));

    EXPECT_EQ(S_OK, events.DispEventUnadvise(holder));
    EXPECT_EQ(nullptr, source->m_sink.p);
    EXPECT_EQ(S_FALSE, events.DispEventUnadvise(holder));
}

class CThrowingEvents : public IDispEventSimpleImpl<2, CThrowingEvents, &DIID_DWebBrowserEvents2>
{
public:
    BEGIN_SINK_MAP(CThrowingEvents)
        SINK_ENTRY_EX(2, DIID_DWebBrowserEvents2, DISPID_TITLECHANGE, OnTitle)
        SINK_ENTRY_EX(2, DIID_DWebBrowserEvents2, DISPID_STATUSTEXTCHANGE, OnStatusText)
    END_SINK_MAP()

    void __stdcall OnTitle(BSTR) { throw std::bad_alloc(); }
    void __stdcall OnStatusText(BSTR) { throw std::runtime_error("status handler failed"); }
};

// The event source is COM code, often another module's: it gets a failure, never the exception.
TEST(PlatformEvents, HandlerExceptionBecomesAFailureForTheSource)
{
    const struct
    {
        DISPID dispid;
        HRESULT expected;
        const char* reported;
    } cases[] = {
        {DISPID_TITLECHANGE, E_OUTOFMEMORY, "bad_alloc"},
        {DISPID_STATUSTEXTCHANGE, E_UNEXPECTED, "status handler failed"},
    };
    CThrowingEvents events;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reported);
        CRecordingReporter reporter;
        CComVariant text(L"x");
        DISPPARAMS params = {&text, nullptr, 1, 0};
        EXPECT_EQ(c.expected, events.Invoke(c.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                            nullptr, nullptr, nullptr));
        const std::vector<std::string> texts = reporter.Texts();
        ASSERT_EQ(1u, texts.size());
        EXPECT_NE(std::string::npos, texts[0].find(c.reported)) << texts[0];
    }
}

TEST(PlatformEvents, XmlInterfacesHaveTheirIds)
{
    EXPECT_TRUE(::IsEqualIID(__uuidof(IXMLDOMDocument), IID_IXMLDOMDocument));
    EXPECT_TRUE(::IsEqualIID(__uuidof(IXMLDOMNode), IID_IXMLDOMNode));
    EXPECT_TRUE(::IsEqualIID(__uuidof(IXMLDOMNodeList), IID_IXMLDOMNodeList));
    EXPECT_TRUE(::IsEqualIID(__uuidof(IXMLDOMNamedNodeMap), IID_IXMLDOMNamedNodeMap));
    EXPECT_TRUE(::IsEqualIID(__uuidof(IXMLDOMCharacterData), IID_IXMLDOMCharacterData));
    EXPECT_TRUE(::IsEqualIID(__uuidof(IXMLDOMAttribute), IID_IXMLDOMAttribute));
    EXPECT_TRUE(::IsEqualIID(__uuidof(IXMLDOMElement), IID_IXMLDOMElement));
    EXPECT_TRUE(::IsEqualIID(__uuidof(IXMLDOMText), IID_IXMLDOMText));
    EXPECT_TRUE(::IsEqualIID(__uuidof(IXMLDOMParseError), IID_IXMLDOMParseError));
}

} // namespace
