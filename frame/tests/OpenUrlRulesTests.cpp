// The decisions of the open-URL operation: which tab a text lands in, and which texts are refused.
#include "frame/OpenUrlRules.h"

#include "core/app/MainFrameMessages.h"

#include <gtest/gtest.h>

#include <string>

TEST(OpenUrlRules, FlagsAndActiveTabDecideWhereTheTextGoes)
{
    using A = EOpenUrlAction;
    struct Case {
        const char* text;
        DWORD flags;
        bool hasActive;
        const char* activeUrl;
        A expected;
    };
    const Case cases[] = {
        {"http://b.example/", 0, true, "http://a.example/", A::NavigateActive},
        {"http://b.example/", kOpenNewTab, true, "http://a.example/", A::NewTab},
        {"http://b.example/", kOpenNewTab | kOpenInBackground, true, "http://a.example/", A::NewTab},
        {"http://b.example/", kOpenNewTab, true, "about:blank", A::NavigateActive},
        {"http://b.example/", kOpenNewTab | kOpenInBackground, true, "about:blank", A::NavigateActive},
        {"http://a.example/", kOpenNewTab | kOpenReuseTab, true, "http://a.example/", A::NavigateActive},
        {"http://b.example/", kOpenNewTab | kOpenReuseTab, true, "http://a.example/", A::NewTab},
        {"http://A.example/", kOpenNewTab | kOpenReuseTab, true, "http://a.example/", A::NewTab},
        {"http://b.example/", 0, false, "", A::NewTab},
        {"", 0, true, "http://a.example/", A::NewTab},
        {"", kOpenNewTab, true, "about:blank", A::NewTab},
        {"javascript:location.reload()", kOpenNewTab, true, "http://a.example/", A::Ignore},
        {"C:\\Program Files\\tool.exe", kOpenNewTab, true, "http://a.example/", A::Ignore},
        {"C:\\Users\\me\\Desktop\\tool.LNK", 0, false, "", A::Ignore},
        {"\\\\host\\share\\page.htm", 0, false, "", A::Ignore},
        {"http://host.example/download.exe", kOpenNewTab, true, "http://a.example/", A::NewTab},
        {"C:\\pages\\page.htm", kOpenNewTab, false, "", A::NewTab},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " flags " + std::to_string(c.flags) + " active " + c.activeUrl);
        EXPECT_EQ(DecideOpenUrl(c.text, c.flags, c.hasActive, c.activeUrl), c.expected);
    }
}

TEST(OpenUrlRules, TextsUpToTheLimitOpenAndLongerOnesAreIgnored)
{
    const std::string prefix = "http://e.example/";
    const std::string atLimit = prefix + std::string(kMaxOpenUrlLength - prefix.size(), 'a');
    EXPECT_EQ(DecideOpenUrl(atLimit.c_str(), kOpenNewTab, false, ""), EOpenUrlAction::NewTab);
    EXPECT_EQ(DecideOpenUrl((atLimit + "a").c_str(), kOpenNewTab, false, ""), EOpenUrlAction::Ignore);
}

TEST(OpenUrlRules, TrimCutsWhiteSpaceAtBothEnds)
{
    EXPECT_STREQ(TrimUrlText(" \t http://a.example/ x \r\n").c_str(), "http://a.example/ x");
    EXPECT_STREQ(TrimUrlText(" \t\r\n ").c_str(), "");
    EXPECT_STREQ(TrimUrlText(nullptr).c_str(), "");
}
