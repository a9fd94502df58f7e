// The production host against Wine's own WebBrowser object (no engine double registered): the
// control is created in a host window, found as IWebBrowser2, advised, navigated and let go. Wine
// renders nothing here (no HTML engine behind it), so only the hosting calls are checked.
#include "browser/WebBrowserEventSink.h"
#include "platform/AtlAxHost.h"

#include "tests/engine/FakeEngine.h"

#include <exdispid.h>
#include <gtest/gtest.h>

namespace {

class CCountingSink : public TWebBrowserEventSink<CCountingSink> {
public:
    static const TWebBrowserSinkEntry<CCountingSink>* GetSinkTable()
    {
        static const TWebBrowserSinkEntry<CCountingSink> table[] = {
            {L"_OnTitleChange", DISPID_TITLECHANGE, 1, {VT_BSTR}, [](CCountingSink& sink, VARIANTARG* const*) {
                 ++sink.titles;
             }},
            {nullptr, 0, 0, {}, nullptr},
        };
        return table;
    }
    int titles = 0;
};

TEST(RealEngine, HostsWinesWebBrowserObject)
{
    ASSERT_TRUE(AtlAxWinInit());
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    CAxWindow host;
    const RECT rect = {0, 0, 320, 240};
    ASSERT_NE(host.CreateWithHost(parent, rect, "about:blank", WS_CHILD | WS_VISIBLE, 0, 1, nullptr), nullptr);
    CComPtr<IWebBrowser2> browser;
    ASSERT_EQ(host.QueryControl(&browser.p), S_OK);
    ASSERT_NE(browser, nullptr);
    CCountingSink sink;
    EXPECT_TRUE(sink.Advise(browser));
    EXPECT_EQ(browser->put_RegisterAsBrowser(VARIANT_TRUE), S_OK);
    EXPECT_EQ(browser->put_Visible(VARIANT_TRUE), S_OK);
    CComBSTR url(L"about:blank");
    CComVariant empty;
    EXPECT_EQ(browser->Navigate(url, &empty, &empty, &empty, &empty), S_OK);
    PumpPendingMessages();
    sink.Unadvise();
    EXPECT_FALSE(sink.IsAdvised());
    browser.Release();
    ::DestroyWindow(host.m_hWnd);
    ::DestroyWindow(parent);
    PumpPendingMessages();
}

} // namespace
