// The text rules of the bars: query escaping, the address templates, typed-text classification,
// domain completion, the most-recent-first rule and the bars' key filter.
#include "navigation/AddressText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

struct CTemplateCase {
    const char* name;
    std::string addressTemplate;
    std::string query;  // ANSI bytes (code page 1252 under the test prefix)
    std::string expected;
};

TEST(AddressTemplates, UsGivesEscapedUtf8AndSGivesEscapedAnsi)
{
    ASSERT_EQ(1252u, GetACP()) << "the table's non-ASCII bytes are written for code page 1252";
    const std::string longQuery(700, '&');  // 2100 escaped characters
    const CTemplateCase cases[] = {
        {"blanks", "q=%us", "a b  c", "q=a%20b%20%20c"},
        {"reserved characters", "q=%s", "& # + ? = @", "q=%26%20%23%20%2b%20%3f%20%3d%20%40"},
        {"non-ASCII letter in both forms", "q=%us&a=%s", "\xE9 & +", "q=%c3%a9%20%26%20%2b&a=%e9%20%26%20%2b"},
        {"percent is escaped, not passed on", "q=%us", "%41 100%", "q=%2541%20100%25"},
        {"a query holding %s is not substituted into itself", "q=%s&r=%us", "%s", "q=%25s&r=%25s"},
        {"template without placeholder", "https://example.com/", "anything", "https://example.com/"},
        {"several placeholders", "%us/%us/%s", "x", "x/x/x"},
        {"euro sign of the code page becomes three UTF-8 bytes", "%us", "\x80", "%e2%82%ac"},
        {"over-long query gives no address", "q=%us", longQuery, ""},
        {"over-long result gives no address", std::string(2080, 'a') + "%s", "abcd", ""},
    };
    for (const CTemplateCase& c : cases)
        EXPECT_EQ(c.expected, ExpandAddressTemplate(c.addressTemplate, c.query)) << c.name;
}

TEST(AddressTemplates, EscapingBoundsAtTheAddressLimit)
{
    EXPECT_EQ(std::string(kMaxAddressLength, 'a'), EscapeQueryBytes(std::string(kMaxAddressLength, 'a')));
    EXPECT_EQ("", EscapeQueryBytes(std::string(kMaxAddressLength + 1, 'a')));
    EXPECT_EQ("%00%1f%7f%ff~", EscapeQueryBytes(std::string("\0\x1f\x7f\xff~", 5)));
}

TEST(AddressTemplates, ServiceTemplatesTakeTheValueForEveryCode)
{
    EXPECT_EQ("http://s.example/?u=%us&c=abc&d=abc", ComposeServiceTemplate("http://s.example/?u=%us&c=%code&d=%code", "abc"));
    EXPECT_EQ("http://raw.example/%s", ComposeServiceTemplate("", "http://raw.example/%s"));
}

TEST(TypedText, ClassificationTable)
{
    const auto lookup = [](const std::string& text) { return text == "mail" || text == "MAIL" ? std::string("http://mail.example/") : text; };
    struct {
        const char* typed;
        CTypedDecision::EKind kind;
        const char* text;
    } const cases[] = {
        {"localhost", CTypedDecision::kAddress, "localhost"},
        {"foo bar", CTypedDecision::kSearch, "foo bar"},
        {"foo", CTypedDecision::kSearch, "foo"},
        {"a.b", CTypedDecision::kAddress, "a.b"},
        {"a:b", CTypedDecision::kAddress, "a:b"},
        {"http://x y", CTypedDecision::kAddress, "http://x y"},
        {"HTTPS://Example.com", CTypedDecision::kAddress, "HTTPS://Example.com"},
        {"  example.com  ", CTypedDecision::kAddress, "example.com"},
        {" mail ", CTypedDecision::kSearch, "mail"},
        {"mail", CTypedDecision::kAddress, "http://mail.example/"},
        {"C:\\My Files\\a.htm", CTypedDecision::kAddress, "C:\\My Files\\a.htm"},
        {"\\\\server\\share\\a b.htm", CTypedDecision::kAddress, "\\\\server\\share\\a b.htm"},
        {"file:///c:/a b.htm", CTypedDecision::kAddress, "file:///c:/a b.htm"},
        {"   ", CTypedDecision::kNothing, ""},
        {"", CTypedDecision::kNothing, ""},
        {"LOCALHOST", CTypedDecision::kSearch, "LOCALHOST"},
    };
    for (const auto& c : cases) {
        const CTypedDecision decision = ClassifyTypedText(c.typed, lookup);
        EXPECT_EQ(c.kind, decision.kind) << c.typed;
        EXPECT_EQ(c.text, decision.text) << c.typed;
    }
}

TEST(TypedText, DomainCompletion)
{
    EXPECT_EQ("http://www.kivo.com", CompleteDomain("kivo", "http://www.%DOMAIN%.com"));
    EXPECT_EQ("kivo-kivo", CompleteDomain("kivo", "%DOMAIN%-%DOMAIN%"));
    EXPECT_EQ("kivo", CompleteDomain("kivo", ""));
    EXPECT_EQ("https://kivo", CompleteDomain("https://kivo", "http://www.%DOMAIN%.com"));
    // Text that already names a host is not wrapped a second time.
    EXPECT_EQ("www.kivo.com", CompleteDomain("www.kivo.com", "http://www.%DOMAIN%.com"));
    EXPECT_EQ("http://www.a b.org", CompleteDomain("a b", "http://www.%DOMAIN%.org"));
}

TEST(TypedText, MostRecentFirstWithoutRegardToCase)
{
    std::vector<std::string> list;
    for (int i = 1; i <= 26; ++i)
        MruInsert(list, "site" + std::to_string(i) + ".com", 25);
    ASSERT_EQ(25u, list.size());
    EXPECT_EQ("site26.com", list.front());
    EXPECT_EQ("site2.com", list.back());  // the oldest, site1, is gone

    MruInsert(list, "SITE10.com", 25);
    EXPECT_EQ(25u, list.size());
    EXPECT_EQ("SITE10.com", list.front());
    EXPECT_EQ(1, std::count_if(list.begin(), list.end(), [](const std::string& s) { return EqualNoCase(s, "site10.com"); }));
    EXPECT_EQ("site2.com", list.back());  // moving an entry evicts nothing

    MruInsert(list, "", 25);
    EXPECT_EQ("SITE10.com", list.front());
}

TEST(BarKeys, WhichKeysStayWithTheEdit)
{
    constexpr unsigned long kAlt = 1UL << 29;
    struct {
        unsigned key;
        bool shift, control;
        unsigned long data;
        bool f4;
        int expected;
    } const cases[] = {
        {VK_F4, false, false, 0, true, 2},  {VK_F4, true, false, 0, true, 0},   {VK_F4, false, false, 0, false, 0},
        {VK_LEFT, false, true, 0, true, 2}, {VK_HOME, true, false, 0, true, 2}, {'L', false, true, 0, true, 0},
        {VK_SPACE, false, false, kAlt, true, 0}, {VK_SPACE, false, false, 0, true, 2}, {VK_RETURN, true, true, 0, true, 2},
        {VK_DELETE, false, false, 0, true, 2},  {VK_BACK, false, true, 0, true, 0},   {VK_F5, false, false, 0, true, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, BarKeyDecision(c.key, c.shift, c.control, c.data, c.f4)) << c.key;
}

}  // namespace
