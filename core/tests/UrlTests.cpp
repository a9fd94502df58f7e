#include "core/library/Url.h"
#include "core/library/UrlFunctions.h"
#include "core/tests/GuardedBuffer.h"

#include "core/tests/PrintStdStr.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

TEST(Url, CracksTheParts)
{
    const struct {
        const char* text;
        int scheme;
        const char* user;
        const char* password;
        const char* host;
        int port;
        const char* path;
        const char* extra;
    } cases[] = {
        {"http://user:pw@Example.com:8080/a/b?q=1#f", kSchemeHttp, "user", "pw", "Example.com", 8080, "/a/b", "?q=1#f"},
        {"HTTPS://a.com", kSchemeHttps, "", "", "a.com", 443, "", ""},
        {"ftp://ftp.x.org/pub/", kSchemeFtp, "", "", "ftp.x.org", 21, "/pub/", ""},
        {"gopher://g.org/1", kSchemeGopher, "", "", "g.org", 70, "/1", ""},
        {"socks://proxy", kSchemeSocks, "", "", "proxy", 1080, "", ""},
        {"http://[::1]:81/x", kSchemeHttp, "", "", "[::1]", 81, "/x", ""},
        {"http://a.com#top", kSchemeHttp, "", "", "a.com", 80, "", "#top"},
        {"http://", kSchemeHttp, "", "", "", 80, "", ""},
        // File paths keep "?" and "#"; a drive after "//" is not a host.
        {"file:///c:/dir/a#b.htm", kSchemeFile, "", "", "", 0, "/c:/dir/a#b.htm", ""},
        {"file://c:\\dir\\x.txt", kSchemeFile, "", "", "", 0, "c:\\dir\\x.txt", ""},
        {"file://server/share/x", kSchemeFile, "", "", "server", 0, "/share/x", ""},
        {"mailto:a@b.com?subject=x", kSchemeMailto, "", "", "", 0, "a@b.com?subject=x", ""},
        {"news:comp.lang.c", kSchemeNews, "", "", "", 0, "comp.lang.c", ""},
        {"about:blank", kSchemeUnknown, "", "", "", 0, "blank", ""},
        {"view-source:http://a.com/", kSchemeUnknown, "", "", "", 0, "http://a.com/", ""},
    };
    for (const auto& c : cases) {
        CUrl url;
        ASSERT_TRUE(url.CrackUrl(c.text)) << c.text;
        EXPECT_EQ(url.GetScheme(), c.scheme) << c.text;
        EXPECT_EQ(url.GetUserName(), c.user) << c.text;
        EXPECT_EQ(url.GetPassword(), c.password) << c.text;
        EXPECT_EQ(url.GetHostName(), c.host) << c.text;
        EXPECT_EQ(url.GetPortNumber(), c.port) << c.text;
        EXPECT_EQ(url.GetUrlPath(), c.path) << c.text;
        EXPECT_EQ(url.GetExtraInfo(), c.extra) << c.text;
    }
}

TEST(Url, RefusesWhatIsNotAUrl)
{
    const std::string tooLong = "http://a.com/" + std::string(kMaxUrlLength - 13, 'x');
    const std::string longHost = "http://" + std::string(kMaxHostNameLength + 1, 'h') + "/";
    const char* const cases[] = {
        "", "www.x.com/a", "localhost:8080", "x.com:81/p", "c:\\dir\\x", "http:x.com", "1http://a",
        "http://a b.com/", "http://a.com:99999/", "http://a.com:8o/", "http://[::1/", "http://[::1]x/",
        "http://a:b:80/", "ftp://a\tb/", tooLong.c_str(), longHost.c_str(),
    };
    for (const char* text : cases) {
        CUrl url;
        url.SetHostName("kept");
        EXPECT_FALSE(url.CrackUrl(text)) << text;
        EXPECT_EQ(url.GetHostName(), "kept") << "a failed parse changed the object";
    }
    CUrl url;
    EXPECT_FALSE(url.CrackUrl(nullptr));
    EXPECT_TRUE(url.CrackUrl(tooLong.substr(0, tooLong.size() - 1).c_str())) << "one character less fits";
}

TEST(Url, DecodesEscapesOnRequest)
{
    CUrl url;
    ASSERT_TRUE(url.CrackUrl("http://a.com/a%20b%2Fc%zz%00%4?q=%41", kUrlDecode));
    EXPECT_EQ(url.GetUrlPath(), "/a b/c%zz%00%4");
    EXPECT_EQ(url.GetExtraInfo(), "?q=A");
    ASSERT_TRUE(url.CrackUrl("http://a.com/a%20b"));
    EXPECT_EQ(url.GetUrlPath(), "/a%20b");
}

TEST(Url, ComposesAndCanonicalises)
{
    const struct {
        const char* text;
        const char* composed;
        const char* canonical;
    } cases[] = {
        {"http://a.com:80/x", "http://a.com/x", "http://a.com/x"},
        {"http://u:p@a.com:8080/x?y#z", "http://u:p@a.com:8080/x?y#z", "http://u:p@a.com:8080/x?y#z"},
        {"http://a.com/a/./b/../c\\d e", "http://a.com/a/./b/../c\\d e", "http://a.com/a/c/d%20e"},
        {"http://a.com/../../x", "http://a.com/../../x", "http://a.com/x"},
        {"file://c:\\dir\\x.txt", "file:///c:\\dir\\x.txt", "file:///c:\\dir\\x.txt"},
        {"mailto:a@b.com", "mailto:a@b.com", "mailto:a@b.com"},
    };
    for (const auto& c : cases) {
        CUrl url;
        ASSERT_TRUE(url.CrackUrl(c.text)) << c.text;
        EXPECT_EQ(ComposeUrl(url), c.composed);
        ASSERT_TRUE(url.Canonicalize());
        EXPECT_EQ(ComposeUrl(url), c.canonical);
    }
    CUrl url;
    ASSERT_TRUE(url.CrackUrl("http://a.com/\xE9 x"));
    EXPECT_EQ(ComposeUrl(url, kUrlEscape), "http://a.com/%e9%20x");
    url.SetUrlPath(("/" + std::string(kMaxUrlLength - 10, 'p')).c_str());
    EXPECT_EQ(ComposeUrl(url), "") << "a composed URL over the limit";
    url.SetScheme(kSchemeHttps);
    url.SetHostName("b.org");
    url.SetPortNumber(443);
    url.SetUrlPath("/");
    EXPECT_EQ(ComposeUrl(url), "https://b.org/");
}

TEST(UrlFunctions, EscapesExactlyTheReservedAndUnsafeBytes)
{
    EXPECT_EQ(EscapeUrl("a b\"`#$&+,;<=>?@[\\]^{|}%/:~!*'()-_.\x7F\x1F\xE9"),
              "a%20b%22%60%23%24%26%2b%2c%3b%3c%3d%3e%3f%40%5b%5c%5d%5e%7b%7c%7d%/:~!*'()-_.%7f%1f%e9");
    EXPECT_EQ(EscapeUrl(std::string(2083, 'a').c_str()).size(), 2083u);
    EXPECT_EQ(EscapeUrl(std::string(2084, 'a').c_str()), "");
    EXPECT_EQ(EscapeUrl(std::string(694, ' ').c_str()).size(), 2082u);
    EXPECT_EQ(EscapeUrl(std::string(695, ' ').c_str()), "");
    EXPECT_EQ(EscapeUrl(""), "");
}

TEST(UrlFunctions, ResolvesRelativeAddresses)
{
    CUrl base;
    ASSERT_TRUE(base.CrackUrl("http://www.site.com/dir/page.html?x=1#old"));
    const struct {
        const char* address;
        const char* resolved;
    } cases[] = {
        {"other.html", "http://www.site.com/dir/other.html"},
        {"/root.html", "http://www.site.com/root.html"},
        {"\\back.html", "http://www.site.com/back.html"},
        {"../up.html?a=b#c", "http://www.site.com/up.html?a=b#c"},
        {"sub/./x/../y.html", "http://www.site.com/dir/sub/y.html"},
        {"#top", "http://www.site.com/dir/page.html?x=1#top"},
        {"?q=2", "http://www.site.com/dir/page.html?q=2"},
        {"//cdn.net/lib.js?v=1", "http://cdn.net/lib.js?v=1"},
        {"https://other.org/x", "https://other.org/x"},
        {"/", "http://www.site.com/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveRelativeUrl(base, c.address), c.resolved) << c.address;

    CUrl file;
    ASSERT_TRUE(file.CrackUrl("file:///c:/docs/a.htm"));
    EXPECT_EQ(ResolveRelativeUrl(file, "b.htm#x"), "file:///c:/docs/b.htm#x");
    EXPECT_EQ(ResolveRelativeUrl(base, ("/" + std::string(kMaxUrlLength, 'x')).c_str()), "");
}

TEST(UrlFunctions, CompleteUrlGivesTheSiteRoot)
{
    const struct {
        const char* typed;
        const char* root;
    } cases[] = {
        {"  www.Example.com/Page.html ", "http://www.example.com/"},
        {"HTTPS://Secure.Example.com:8443/a?b", "https://secure.example.com:8443/"},
        {"localhost:8080/x", "http://localhost:8080/"},
        {"example.com", "http://example.com/"},
        {"ftp://ftp.x.org/pub/a", "ftp://ftp.x.org/"},
        {"about:blank", "about:blank"},
        {"mailto:A@b.com", "mailto:A@b.com"},
        {"hello world", "hello world"},
        {" ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompleteUrl(c.typed), c.root) << c.typed;
}

TEST(UrlFunctions, ParentUrlGoesOneLevelUp)
{
    const struct {
        const char* url;
        const char* parent;
    } cases[] = {
        {"http://a.com/x/y/", "http://a.com/x/"},
        {"http://a.com/x/y.html?q=1#f", "http://a.com/x/"},
        {"http://a.com/x", "http://a.com/"},
        {" http://a.com/x/ ", "http://a.com/"},
        {"http://a.com\\x\\y", "http://a.com\\x\\"},
        {"http://mail.example.com/", "http://www.example.com/"},
        {"http://mail.example.com", "http://www.example.com"},
        {"http://mail.example.com:8080/", "http://www.example.com:8080/"},
        {"http://a.b.example.com/", "http://www.b.example.com/"},
        // A bare two-label host, a numeric address or a single name is already the top.
        {"http://example.com/", "http://example.com/"},
        {"http://example.com.", "http://example.com."},
        {"http://www.example.com/", "http://www.example.com/"},
        {"http://WWW.example.com/", "http://WWW.example.com/"},
        {"http://10.0.0.1/", "http://10.0.0.1/"},
        {"http://[::1]/", "http://[::1]/"},
        {"http://localhost/", "http://localhost/"},
        {"about:blank", "about:blank"},
        {"not a url", "not a url"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetParentUrl(c.url), c.parent) << c.url;
}

TEST(UrlFunctions, WebUrlsAndSmallHelpers)
{
    EXPECT_TRUE(IsWebUrl("http://a.com"));
    EXPECT_TRUE(IsWebUrl("HTTPS://a.com/x"));
    EXPECT_TRUE(IsWebUrl("ftp://ftp.a.com/"));
    for (const char* text : {"http://", "gopher://g.org/", "file:///c:/x", "mailto:a@b.com", "www.a.com", "", "about:blank"})
        EXPECT_FALSE(IsWebUrl(text)) << text;
    EXPECT_FALSE(IsWebUrl(nullptr));

    EXPECT_EQ(FormatDottedQuad(0x0100007F), "127.0.0.1");
    EXPECT_EQ(FormatDottedQuad(0xFFFFFFFF), "255.255.255.255");

    unsigned char source[11] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    for (size_t count = 0; count <= sizeof(source); ++count) {
        unsigned char target[12] = {};
        CopyMemoryBlock(target, source, count);
        EXPECT_EQ(std::memcmp(target, source, count), 0);
        EXPECT_EQ(target[count], 0) << "copied past the count";
    }

    char destination[kMaxHostNameLength + 1];
    int length = -1;
    const std::string fits(kMaxHostNameLength, 'h');
    ASSERT_TRUE(CopyBoundedText(destination, fits.c_str(), &length));
    EXPECT_EQ(length, kMaxHostNameLength);
    EXPECT_EQ(destination, fits);
    length = -1;
    EXPECT_FALSE(CopyBoundedText(destination, (fits + "h").c_str(), &length));
    EXPECT_EQ(length, -1);
}

// Random, truncated and oversized texts, each ending right before a no-access page: every URL
// operation answers without reading past the text, and what parses composes to a stable text.
TEST(UrlFunctions, RandomInputIsRefusedOrParsedSafely)
{
    static const char alphabet[] = "httpsfile:mailto//\\\\??##@@[]%%.:0123456789aAzZ -~\x7F\xE9\x80\t";
    const std::string prefixes[] = {"", "http://", "https://a.com", "file://", "ftp://u:p@", "x:", "http://[", "mailto:"};
    std::mt19937 random(1234);
    CUrl base;
    ASSERT_TRUE(base.CrackUrl("http://www.base.com/a/b.html?q"));
    for (int round = 0; round < 4000; ++round) {
        std::string text = prefixes[random() % std::size(prefixes)];
        const size_t length = round % 100 == 99 ? 2000 + random() % 3000 : random() % 40;
        for (size_t i = 0; i < length; ++i)
            text += random() % 8 == 0 ? static_cast<char>(1 + random() % 255) : alphabet[random() % (sizeof(alphabet) - 1)];
        TGuardedBuffer<char> input(text.size() + 1);
        TGuardedBuffer<char>::Fill(input, text.data(), text.size());

        CUrl url;
        if (url.CrackUrl(input.Data())) {
            const TStdStr<char> composed = ComposeUrl(url);
            CUrl again;
            ASSERT_TRUE(again.CrackUrl(composed.c_str())) << text << " -> " << composed;
            ASSERT_EQ(ComposeUrl(again), composed) << text;
            url.Canonicalize();
        }
        CUrl decoded;
        decoded.CrackUrl(input.Data(), kUrlDecode);
        IsWebUrl(input.Data());
        CompleteUrl(input.Data());
        GetParentUrl(input.Data());
        ASSERT_LE(EscapeUrl(input.Data()).size(), 2083u);
        ResolveRelativeUrl(base, input.Data());
    }
}
