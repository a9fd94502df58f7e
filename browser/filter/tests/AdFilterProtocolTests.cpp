// The namespace handler: its decisions called directly with a fake sink and bind information, and
// for real through Wine's URL layer against the tests' HTTP server on 127.0.0.1.
#include "browser/filter/AdFilter.h"
#include "browser/filter/AdFilterProtocol.h"
#include "browser/filter/FilterNotices.h"
#include "browser/filter/PopupAllowList.h"
#include "browser/filter/tests/FakeTabHost.h"
#include "browser/filter/tests/FilterTestSupport.h"
#include "core/app/Settings.h"
#include "frame/MainFrameData.h"
#include "tests/http/AsyncUrlFetch.h"
#include "tests/http/TestHttpServer.h"

#include <gtest/gtest.h>
#include <urlmon.h>

#include <atomic>
#include <thread>

namespace {

using filter_test::CFakeTabHost;
using filter_test::PumpUntil;
using kivo_test::CHttpResponse;

const std::string kGif(reinterpret_cast<const char*>(kBlockedImage), sizeof(kBlockedImage));

// The rule store, the allow list, the blocker flags and the frame data as one test sets them, put
// back afterwards.
class CFilterState {
public:
    CFilterState(DWORD blockerFlags, std::vector<std::string> filters, std::vector<std::string> exceptions = {})
        : m_oldFlags(GetSettings()->BlockerFlags),
          m_oldFilters(GetAdFilter().GetPatterns(CAdFilter::kFilterList)),
          m_oldExceptions(GetAdFilter().GetPatterns(CAdFilter::kExceptionList))
    {
        GetSettings()->BlockerFlags = blockerFlags;
        Set(std::move(filters), std::move(exceptions));
        GetMainFrameData().m_latestNavigationUrl = "http://page.example/index.html";
        GetMainFrameData().m_pendingBlockedDialogs = 0;
    }
    ~CFilterState()
    {
        GetSettings()->BlockerFlags = m_oldFlags;
        Set(m_oldFilters, m_oldExceptions);
        GetPopupAllowList().Clear();
    }
    CFilterState(const CFilterState&) = delete;
    CFilterState& operator=(const CFilterState&) = delete;

private:
    static void Set(std::vector<std::string> filters, std::vector<std::string> exceptions)
    {
        CAdFilter& filter = GetAdFilter();
        filter.ClearList(CAdFilter::kFilterList);
        filter.ClearList(CAdFilter::kExceptionList);
        for (const std::string& rule : filters)
            filter.AddRule(CAdFilter::kFilterList, rule.c_str());
        for (const std::string& rule : exceptions)
            filter.AddRule(CAdFilter::kExceptionList, rule.c_str());
    }

    DWORD m_oldFlags;
    std::vector<std::string> m_oldFilters;
    std::vector<std::string> m_oldExceptions;
};

// A sink that records what the handler reports.
class CRecordingSink : public IInternetProtocolSink {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IInternetProtocolSink) {
            *object = static_cast<IInternetProtocolSink*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++m_references; }
    STDMETHOD_(ULONG, Release)() override { return --m_references; }
    STDMETHOD(Switch)(PROTOCOLDATA*) override { return S_OK; }
    STDMETHOD(ReportProgress)(ULONG status, LPCWSTR) override
    {
        m_progress.push_back(status);
        return S_OK;
    }
    STDMETHOD(ReportData)(DWORD flags, ULONG progress, ULONG maximum) override
    {
        m_dataFlags = flags;
        m_dataProgress = progress;
        m_dataMaximum = maximum;
        ++m_dataReports;
        return S_OK;
    }
    STDMETHOD(ReportResult)(HRESULT result, DWORD, LPCWSTR) override
    {
        m_result = result;
        ++m_results;
        return S_OK;
    }

    ULONG m_references = 1;
    std::vector<ULONG> m_progress;
    DWORD m_dataFlags = 0;
    ULONG m_dataProgress = 0;
    ULONG m_dataMaximum = 0;
    int m_dataReports = 0;
    HRESULT m_result = E_PENDING;
    int m_results = 0;
};

class CFixedBindInfo : public IInternetBindInfo {
public:
    explicit CFixedBindInfo(DWORD flags) : m_flags(flags) {}
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IInternetBindInfo) {
            *object = static_cast<IInternetBindInfo*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetBindInfo)(DWORD* flags, BINDINFO* info) override
    {
        *flags = m_flags;
        info->dwBindVerb = BINDVERB_GET;
        return S_OK;
    }
    STDMETHOD(GetBindString)(ULONG, LPOLESTR*, ULONG, ULONG*) override { return E_NOTIMPL; }

private:
    DWORD m_flags;
};

CComPtr<IInternetProtocol> MakeHandler()
{
    CComPtr<IClassFactory> factory;
    EXPECT_EQ(CreateAdFilterClassFactory(&factory), S_OK);
    CComPtr<IInternetProtocol> handler;
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory.p);  // any non-null outer: aggregation is refused
    void* refused = nullptr;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &refused), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IInternetProtocol, reinterpret_cast<void**>(&handler)), S_OK);
    return handler;
}

// Holds Ctrl down in this thread's keyboard state (which GetKeyState reads) for its scope.
class CScopedCtrlDown {
public:
    CScopedCtrlDown()
    {
        GetKeyboardState(m_old);
        BYTE state[256];
        std::memcpy(state, m_old, sizeof(state));
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
    }
    ~CScopedCtrlDown() { SetKeyboardState(m_old); }
    CScopedCtrlDown(const CScopedCtrlDown&) = delete;
    CScopedCtrlDown& operator=(const CScopedCtrlDown&) = delete;

private:
    BYTE m_old[256] = {};
};

enum class EOutcome { kPassed, kImage, kEmptyDialog };

struct DecisionCase {
    const char* name;
    DWORD blockerFlags;
    DWORD bindFlags;
    const char* url;
    bool ctrl;
    EOutcome outcome;
};

constexpr DWORD kAdsAndDialogs = 0x5002 | BlockerFlag::AdFilter;

const DecisionCase kDecisionCases[] = {
    {"default flags: dialogs blocked", 0x5002, kWebPageDialogBindFlags, "http://x.example/dialog.html", false, EOutcome::kEmptyDialog},
    {"default flags: no ads blocked", 0x5002, BINDF_FROMURLMON, "http://ads.example/banner.gif", false, EOutcome::kPassed},
    {"ad filter on: ad blocked", kAdsAndDialogs, BINDF_FROMURLMON, "http://ads.example/banner.gif", false, EOutcome::kImage},
    {"ctrl held: nothing blocked", kAdsAndDialogs, kWebPageDialogBindFlags, "http://ads.example/dialog.html", true, EOutcome::kPassed},
    {"ctrl held: no ad", kAdsAndDialogs, BINDF_FROMURLMON, "http://ads.example/banner.gif", true, EOutcome::kPassed},
    {"one more bind flag is no dialog", 0x5002, kWebPageDialogBindFlags | BINDF_NOWRITECACHE, "http://x.example/d.html", false, EOutcome::kPassed},
    {"dialog blocker off", 0x5002 | BlockerFlag::WebPageDialogBlocker, kWebPageDialogBindFlags, "http://x.example/d.html", false, EOutcome::kPassed},
    {"popup blocker off", 0x5000, kWebPageDialogBindFlags, "http://x.example/d.html", false, EOutcome::kPassed},
    {"style sheet in capitals", 0x5002, kWebPageDialogBindFlags, "http://x.example/STYLE.XSL", false, EOutcome::kPassed},
    {"behaviour in mixed case", 0x5002, kWebPageDialogBindFlags, "http://x.example/b.Htc", false, EOutcome::kPassed},
    {"the page itself", 0x5002, kWebPageDialogBindFlags, "http://page.example/index", false, EOutcome::kPassed},
    {"the page itself, then an ad", kAdsAndDialogs, kWebPageDialogBindFlags, "http://page.example/index", false, EOutcome::kPassed},
    {"dialog url matching a rule is blocked as a dialog first", kAdsAndDialogs, kWebPageDialogBindFlags, "http://ads.example/d.html", false, EOutcome::kEmptyDialog},
    {"exception lets through both tests", kAdsAndDialogs, kWebPageDialogBindFlags, "http://ads.example/good/d.html", false, EOutcome::kPassed},
    {"exception lets an ad through", kAdsAndDialogs, BINDF_FROMURLMON, "http://ads.example/good/a.gif", false, EOutcome::kPassed},
};

// The decisions, called directly. A request passed on reaches the system handler, which cannot
// connect to these names; what counts is that the handler neither blocked nor answered itself.
TEST(AdFilterProtocol, DecisionsTable)
{
    for (const DecisionCase& c : kDecisionCases) {
        CFilterState state(c.blockerFlags, {"*ads.example*"}, {"*/good/*"});
        CFakeTabHost host;
        CComPtr<IInternetProtocol> handler = MakeHandler();
        CRecordingSink sink;
        CFixedBindInfo bindInfo(c.bindFlags);
        const std::wstring url(c.url, c.url + std::strlen(c.url));
        HRESULT hr;
        {
            std::unique_ptr<CScopedCtrlDown> ctrl(c.ctrl ? new CScopedCtrlDown : nullptr);
            hr = handler->Start(url.c_str(), &sink, &bindInfo, 0, 0);
        }
        switch (c.outcome) {
        case EOutcome::kImage:
            EXPECT_EQ(hr, S_OK) << c.name;
            EXPECT_EQ(sink.m_dataReports, 1) << c.name;
            EXPECT_EQ(sink.m_dataFlags, 0x0Du) << c.name;
            EXPECT_EQ(sink.m_dataProgress, 42u) << c.name;
            ASSERT_EQ(host.m_ads.size(), 1u) << c.name;
            EXPECT_EQ(host.m_ads[0].first, "*ads.example*") << c.name;
            EXPECT_EQ(host.m_ads[0].second, c.url) << c.name;
            EXPECT_TRUE(host.m_popups.empty()) << c.name;
            break;
        case EOutcome::kEmptyDialog:
            EXPECT_EQ(hr, S_OK) << c.name;
            EXPECT_EQ(sink.m_dataReports, 0) << c.name;
            EXPECT_EQ(sink.m_results, 1) << c.name;
            EXPECT_EQ(sink.m_result, S_OK) << c.name;
            ASSERT_EQ(host.m_popups.size(), 1u) << c.name;
            EXPECT_EQ(host.m_popups[0].first, "Web Page Dialog") << c.name;
            EXPECT_EQ(host.m_popups[0].second, "") << c.name;
            EXPECT_EQ(GetMainFrameData().m_pendingBlockedDialogs, 1) << c.name;
            EXPECT_TRUE(host.m_ads.empty()) << c.name;
            break;
        case EOutcome::kPassed:
            EXPECT_TRUE(host.m_ads.empty()) << c.name;
            EXPECT_TRUE(host.m_popups.empty()) << c.name;
            EXPECT_EQ(sink.m_dataReports, 0) << c.name;
            EXPECT_EQ(GetMainFrameData().m_pendingBlockedDialogs, 0) << c.name;
            break;
        }
        handler->Terminate(0);
    }
}

TEST(AdFilterProtocol, ImageIsReadOnceInAnySizeOfPieces)
{
    CFilterState state(kAdsAndDialogs, {"*ads.example*"});
    CFakeTabHost host;
    CComPtr<IInternetProtocol> handler = MakeHandler();
    // A null sink: the block is still reported.
    ASSERT_EQ(handler->Start(L"http://ads.example/a.gif", nullptr, nullptr, 0, 0), S_OK);
    EXPECT_EQ(host.m_ads.size(), 1u);
    std::string got;
    char buffer[64];
    ULONG read = 0;
    EXPECT_EQ(handler->Read(buffer, 10, &read), S_OK);  // a small buffer gets a part, not nothing
    got.append(buffer, read);
    EXPECT_EQ(handler->Read(buffer, sizeof(buffer), &read), S_FALSE);
    got.append(buffer, read);
    EXPECT_EQ(got, kGif);
    EXPECT_EQ(handler->Read(buffer, sizeof(buffer), &read), S_FALSE);  // the sniffing's second read
    EXPECT_EQ(read, 0u);
    CComQIPtr<IInternetProtocolInfo> info(handler);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->CompareUrl(L"http://a/X", L"http://a/X", 0), S_OK);
    EXPECT_EQ(info->CompareUrl(L"http://a/X", L"http://a/x", 0), S_FALSE);
}

// Registers the handler's class object for http and https for the scope, as the main frame does.
class CScopedNameSpace {
public:
    CScopedNameSpace()
    {
        EXPECT_EQ(CreateAdFilterClassFactory(&m_factory), S_OK);
        EXPECT_EQ(CoInternetGetSession(0, &m_session, 0), S_OK);
        if (m_session && m_factory) {
            EXPECT_EQ(m_session->RegisterNameSpace(m_factory, CLSID_NULL, L"http", 0, nullptr, 0), S_OK);
            EXPECT_EQ(m_session->RegisterNameSpace(m_factory, CLSID_NULL, L"https", 0, nullptr, 0), S_OK);
        }
    }
    ~CScopedNameSpace()
    {
        if (m_session && m_factory) {
            m_session->UnregisterNameSpace(m_factory, L"http");
            m_session->UnregisterNameSpace(m_factory, L"https");
        }
    }
    CScopedNameSpace(const CScopedNameSpace&) = delete;
    CScopedNameSpace& operator=(const CScopedNameSpace&) = delete;

private:
    CComPtr<IClassFactory> m_factory;
    CComPtr<IInternetSession> m_session;
};

// A synchronous fetch through the URL layer.
HRESULT FetchBlocking(const std::string& url, std::string& body)
{
    body.clear();
    CComPtr<IStream> stream;
    const HRESULT hr = URLOpenBlockingStreamA(nullptr, url.c_str(), &stream, 0, nullptr);
    if (FAILED(hr))
        return hr;
    char buffer[4096];
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof(buffer), &read)) && read > 0)
        body.append(buffer, read);
    return S_OK;
}

// An asynchronous fetch as the engine makes it, with the bind flags the caller chooses.
class CAsyncClient : public kivo_test::CAsyncUrlFetch {
public:
    explicit CAsyncClient(DWORD bindFlags)
        : CAsyncUrlFetch(bindFlags, [](const std::function<bool()>& done) { return PumpUntil(done); })
    {
    }
};

class AdFilterUrlLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server.Serve("/page.html", {200, "text/html", {}, "<html><body>A page of the test server.</body></html>"});
        std::string image = "GIF89a";
        for (int i = 0; i < 300; ++i)
            image += static_cast<char>(i * 7);
        m_server.Serve("/pixel.gif", {200, "image/gif", {}, image});
        std::string script;
        for (int i = 0; i < 3000; ++i)
            script += "var v" + std::to_string(i) + " = " + std::to_string(i * 3) + ";\n";
        m_server.Serve("/script.js", {200, "application/javascript", {}, script});
        m_server.Serve("/ads/banner.gif", {200, "image/gif", {}, image});
        m_server.Serve("/ads/ok/banner.gif", {200, "image/gif", {}, image});
        m_server.Serve("/dialog.html", {200, "text/html", {}, "<html>dialog</html>"});
        // The asynchronous fetches ask for addresses of their own: the URL layer would answer a second
        // request for an address from its cache.
        for (const char* path : {"/page.html", "/pixel.gif", "/script.js"}) {
            CHttpResponse copy = m_server.Find(path);
            m_server.Serve(std::string(path) + "?async", copy);
        }
        ASSERT_TRUE(m_server.Start());
    }

    kivo_test::CTestHttpServer m_server;
};

TEST_F(AdFilterUrlLayer, BlockedAdsGetTheImageAndOthersTheServersBytes)
{
    // The dialog blocker off: these asynchronous fetches use the engine's flags.
    CFilterState state(kAdsAndDialogs | BlockerFlag::WebPageDialogBlocker, {"*/ads/*"}, {"*/ads/ok/*"});
    CFakeTabHost host;
    CScopedNameSpace nameSpace;
    std::string body;
    for (const char* path : {"/page.html", "/pixel.gif", "/script.js"}) {
        ASSERT_EQ(FetchBlocking(m_server.Url(path), body), S_OK) << path;
        CAsyncClient async(kWebPageDialogBindFlags);
        ASSERT_EQ(async.Fetch(m_server.Url(std::string(path) + "?async")), S_OK) << path;
        EXPECT_TRUE(async.m_body == body) << path << ": " << async.m_body.size() << " bytes";
        EXPECT_EQ(m_server.RequestCount(path), 1) << path;
        EXPECT_EQ(m_server.RequestCount(std::string(path) + "?async"), 1) << path;
    }
    EXPECT_EQ(m_server.Find("/pixel.gif").body.size(), 306u);
    EXPECT_GT(m_server.Find("/script.js").body.size(), 40000u);

    // Blocked: the 42 bytes once (the URL layer reads again after sniffing), no request to the server.
    ASSERT_EQ(FetchBlocking(m_server.Url("/ads/banner.gif"), body), S_OK);
    EXPECT_EQ(body, kGif);
    CAsyncClient async(kWebPageDialogBindFlags);
    ASSERT_EQ(async.Fetch(m_server.Url("/ads/banner.gif?async")), S_OK);
    EXPECT_EQ(async.m_body, kGif);
    EXPECT_EQ(m_server.RequestCount("/ads/banner.gif"), 0);
    EXPECT_EQ(m_server.RequestCount("/ads/banner.gif?async"), 0);
    ASSERT_EQ(host.m_ads.size(), 2u);
    EXPECT_EQ(host.m_ads[0].first, "*/ads/*");
    EXPECT_EQ(host.m_ads[0].second, m_server.Url("/ads/banner.gif"));

    // An exception rule lets it through to the server.
    ASSERT_EQ(FetchBlocking(m_server.Url("/ads/ok/banner.gif"), body), S_OK);
    EXPECT_EQ(body.size(), 306u);
    EXPECT_EQ(m_server.RequestCount("/ads/ok/banner.gif"), 1);
}

TEST_F(AdFilterUrlLayer, BlockedDialogAnswersEmpty)
{
    CFilterState state(0x5002, {});
    CFakeTabHost host;
    CScopedNameSpace nameSpace;
    CAsyncClient dialog(kWebPageDialogBindFlags);
    ASSERT_EQ(dialog.Fetch(m_server.Url("/dialog.html")), S_OK);
    EXPECT_EQ(dialog.m_body, "");
    EXPECT_EQ(m_server.RequestCount("/dialog.html"), 0);
    ASSERT_EQ(host.m_popups.size(), 1u);
    EXPECT_EQ(host.m_popups[0].third, m_server.Url("/dialog.html"));
    // With the page's site allowed, the dialog loads.
    GetMainFrameData().m_latestNavigationUrl = m_server.Url("/page.html");
    ASSERT_TRUE(GetPopupAllowList().AddSite(m_server.Url("/").c_str()));
    CAsyncClient allowed(kWebPageDialogBindFlags);
    ASSERT_EQ(allowed.Fetch(m_server.Url("/dialog.html")), S_OK);
    EXPECT_EQ(allowed.m_body, "<html>dialog</html>");
}

TEST_F(AdFilterUrlLayer, RequestsFromSeveralThreadsAtOnceAreAllAnswered)
{
    CFilterState state(kAdsAndDialogs, {"*/ads/*"});
    CFakeTabHost host;
    CScopedNameSpace nameSpace;
    std::string page;
    ASSERT_EQ(FetchBlocking(m_server.Url("/page.html"), page), S_OK);
    constexpr int kThreads = 6;
    constexpr int kRounds = 4;
    std::atomic<int> right{0};
    std::atomic<int> finished{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            CoInitializeEx(nullptr, t % 2 ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED);
            for (int round = 0; round < kRounds; ++round) {
                std::string body;
                const bool ad = (t + round) % 2 == 0;
                if (SUCCEEDED(FetchBlocking(m_server.Url(ad ? "/ads/banner.gif" : "/page.html"), body)) &&
                    body == (ad ? kGif : page))
                    ++right;
            }
            CoUninitialize();
            ++finished;
        });
    }
    // The blocks found on the workers reach the host on this thread, through its messages.
    EXPECT_TRUE(PumpUntil([&] { return finished == kThreads && host.m_ads.size() == kThreads * kRounds / 2; }, 60000));
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(right, kThreads * kRounds);
    EXPECT_EQ(m_server.RequestCount("/ads/banner.gif"), 0);
    EXPECT_EQ(host.m_ads.size(), static_cast<size_t>(kThreads * kRounds / 2));
}

}  // namespace
