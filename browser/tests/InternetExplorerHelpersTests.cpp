// The system browser's registry values as the program reads and writes them, in the test
// process's own redirected registry, and the open command of web pages.
#include "browser/InternetExplorerHelpers.h"
#include "core/library/RegistryKey.h"

#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>

namespace {

void WriteString(const char* keyPath, const char* name, const char* value)
{
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, keyPath));
    ASSERT_TRUE(key.SetStringValue(name, value));
}

bool KeyExists(const char* keyPath)
{
    CRegistryKey key;
    return key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ);
}

TEST(InternetExplorerSettings, AnEmptyStartPageReadsAndStaysAsBlank)
{
    const TStdStr<char> main = InternetExplorerKey(2);
    EXPECT_EQ(main, "Software\\Microsoft\\Internet Explorer\\Main");
    WriteString(main.c_str(), "Start Page", "");
    EXPECT_EQ(GetIEStartPage(), "about:blank");
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, main.c_str(), KEY_READ));
    TStdStr<char> stored;
    ASSERT_TRUE(key.QueryStringValue("Start Page", stored));
    EXPECT_EQ(stored, "about:blank");
    EXPECT_TRUE(SetIEStartPage("http://www.example.com/"));
    EXPECT_EQ(GetIEStartPage(), "http://www.example.com/");
}

TEST(InternetExplorerSettings, LinksFolderLiesInTheFavoritesFolder)
{
    const char* user = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const char* shell = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    WriteString(user, "Favorites", "");
    WriteString(shell, "Favorites", "C:\\Shell\\Favorites");
    EXPECT_EQ(GetFavoritesFolder(), "C:\\Shell\\Favorites");
    ::SetEnvironmentVariableA("KIVO_TEST_PROFILE", "C:\\Profile");
    WriteString(user, "Favorites", "%KIVO_TEST_PROFILE%\\Favorites");
    EXPECT_EQ(GetFavoritesFolder(), "C:\\Profile\\Favorites");
    CRegistryKey toolbar;
    if (toolbar.Open(HKEY_CURRENT_USER, InternetExplorerKey(3).c_str()))
        toolbar.DeleteValue("LinksFolderName");
    EXPECT_EQ(GetLinksFolder(), "C:\\Profile\\Favorites\\Links\\");
    WriteString(InternetExplorerKey(3).c_str(), "LinksFolderName", "Quick Links");
    EXPECT_EQ(GetLinksFolder(), "C:\\Profile\\Favorites\\Quick Links\\");
}

TEST(InternetExplorerSettings, TypedAddressesAndRunValueAreDeleted)
{
    const TStdStr<char> typed = InternetExplorerKey(5);
    WriteString(typed.c_str(), "url1", "http://www.example.com/");
    WriteString(typed.c_str(), "url2", "http://www.example.org/");
    ASSERT_TRUE(KeyExists(typed.c_str()));
    EXPECT_TRUE(DeleteTypedUrlHistory());
    EXPECT_FALSE(KeyExists(typed.c_str()));

    const char* run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    WriteString(run, "Kivo Browser", "C:\\Kivo\\KivoBrowser.exe");
    EXPECT_TRUE(RemoveRunValue("Kivo Browser"));
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, run, KEY_READ));
    TStdStr<char> value;
    EXPECT_FALSE(key.QueryStringValue("Kivo Browser", value));

    WriteString("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", "ProxyOverride", "<local>;*.corp");
    EXPECT_EQ(GetProxyOverride(), "<local>;*.corp");
}

TEST(InternetExplorerSettings, HtmlOpenCommandTakesTheAddressInPlaceOfItsArgument)
{
    struct Case {
        const char* command;
        const char* expected;
    };
    const Case cases[] = {
        {"program \"%1\"", "program http://a.example/"},
        {"\"C:\\Program Files\\Viewer\\view.exe\" \"%1\" -new", "\"C:\\Program Files\\Viewer\\view.exe\" http://a.example/"},
        {"view.exe %1 -new", "view.exe http://a.example/"},
        {"view.exe -nohome", "view.exe -nohome http://a.example/"},
        {"", " http://a.example/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(HtmlOpenCommandLine(c.command, "http://a.example/"), c.expected);
    }
}

TEST(InternetExplorerSettings, SameDispatchIsTheObjectsOwnDispatch)
{
    CComPtr<CFakeDispatch> one = CFakeDispatch::Make();
    CComPtr<CFakeDispatch> other = CFakeDispatch::Make();
    EXPECT_TRUE(IsSameDispatch(static_cast<IDispatch*>(one.p), one.p));
    EXPECT_FALSE(IsSameDispatch(static_cast<IDispatch*>(one.p), other.p));
    EXPECT_FALSE(IsSameDispatch(nullptr, one.p));
    EXPECT_FALSE(IsSameDispatch(static_cast<IDispatch*>(one.p), nullptr));
}

} // namespace
