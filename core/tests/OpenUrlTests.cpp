// Open-URL requests: the message to the top-level window, Internet shortcuts, and URL schemes.
#include "core/app/Settings.h"
#include "core/system/OpenUrl.h"
#include "core/tests/ScratchFolder.h"
#include "core/tests/TestWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(OpenUrl, OpenUrlGoesToTheTopLevelWindow)
{
    TestWindow frame("KivoTestFrame");
    TestWindow child("KivoTestChild", frame);
    TestWindow grandchild("KivoTestChild", child);
    TestWindow::received.clear();
    EXPECT_EQ(77, OpenUrlInFrame(grandchild, "http://example.org/", kOpenNewTab | kOpenReuseTab));
    EXPECT_EQ(77, OpenUrlInFrame(frame, "about:blank", kOpenInBackground));
    EXPECT_EQ((std::vector<std::string>{"http://example.org/ 65537", "about:blank 2"}), TestWindow::received);
    EXPECT_EQ(0, OpenUrlInFrame(nullptr, "x", 0));
}

TEST(OpenUrl, InternetShortcutOpensInTheActiveFrameWithTheFavoritesTabFlag)
{
    CScratchFolder folder("openurl");
    CScratchFolder::WriteBytes(folder / "Site.url", "[InternetShortcut]\r\nURL=http://site.example/\r\n");
    CScratchFolder::WriteBytes(folder / "Empty.url", "[InternetShortcut]\r\n");
    TestWindow frame("KivoTestFrame");
    ShowWindow(frame, SW_SHOW);
    SetActiveWindow(frame);
    ASSERT_EQ(static_cast<HWND>(frame), GetActiveWindow());

    CSettings* settings = GetSettings();
    const int saved = settings->TabOpenFlags;
    TestWindow::received.clear();
    settings->TabOpenFlags = 0x22;
    EXPECT_TRUE(OpenInternetShortcut((folder / "Site.url").c_str()));
    settings->TabOpenFlags = 0x26;
    EXPECT_TRUE(OpenInternetShortcut((folder / "Site.url").c_str()));
    EXPECT_FALSE(OpenInternetShortcut((folder / "Empty.url").c_str()));
    settings->TabOpenFlags = saved;
    EXPECT_EQ((std::vector<std::string>{"http://site.example/ 0", "http://site.example/ 1"}), TestWindow::received);
}

TEST(OpenUrl, UrlSchemes)
{
    const struct {
        const char* url;
        int scheme;
        bool has;
    } cases[] = {
        {"HTTP://EXAMPLE.ORG/", 0, true}, {"http://x", 0, true},     {"https://x", 0, false},
        {"ftp://x", 1, true},             {"https://x", 2, true},    {"File://c:/x", 3, true},
        {"mailto:a@b", 4, true},          {"news:group", 5, true},   {"http:/x", 0, false},
        {"", 0, false},                   {"http://x", 6, false},    {"http://x", -1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.has, UrlHasScheme(c.url, c.scheme)) << c.url << " " << c.scheme;
    EXPECT_FALSE(UrlHasScheme(nullptr, 0));
}

} // namespace
