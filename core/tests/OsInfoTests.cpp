// System facts, DLL versions, colour texts and the browser's link colours.
#include "core/system/OsInfo.h"
#include "core/library/RegistryKey.h"

#include <gtest/gtest.h>

namespace {

TEST(OsInfo, ColourTexts)
{
    const struct {
        const char* text;
        COLORREF colour;
    } cases[] = {
        {"0,0,255", 0xFF0000},
        {"255,0,0", 0x0000FF},
        {"0,128,0", 0x008000},
        {"12, 34, 56", RGB(12, 34, 56)},
        {"300,0,0", RGB(44, 0, 0)},     // each part modulo 256
        {"0,0", CLR_INVALID},           // two numbers
        {"0,0,", CLR_INVALID},          // an empty blue part
        {"0", CLR_INVALID},
        {"", CLR_INVALID},
        {",,7", RGB(0, 0, 7)},          // empty red and green read as 0
        {"1,2,3,4", RGB(1, 2, 3)},
        {"0000000000000000000000001,2,3", CLR_INVALID}, // only 28 characters are read: the blue part is cut away
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.colour, ParseColorString(c.text));
    }
    EXPECT_EQ(CLR_INVALID, ParseColorString(nullptr));
}

TEST(OsInfo, SystemFacts)
{
    const COsInfo* info = GetOsInfo();
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(info, GetOsInfo());
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), info->GetPlatform());
    EXPECT_TRUE(info->IsWinXPOrLater());
    EXPECT_GE(info->GetComCtlMajor(), 4u);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), info->GetSmallIconWidth());
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), info->GetLargeIconHeight());
    EXPECT_NE(0u, GetCodePageOfThreadLocale());
    // Text converted with the chosen code page round-trips plain ASCII.
    WCHAR wide[8] = {};
    EXPECT_EQ(4, MultiByteToWideChar(info->GetCodePage(), 0, "abc", -1, wide, 8));
}

TEST(OsInfo, DllVersions)
{
    DLLVERSIONINFO version = {};
    EXPECT_TRUE(GetDllVersion("comctl32.dll", &version));
    EXPECT_GE(version.dwMajorVersion, 4u);
    // A library without DllGetVersion, and one that does not exist.
    EXPECT_FALSE(GetDllVersion("mapinosend.dll", &version));
    EXPECT_FALSE(GetDllVersion("kivo-no-such-library.dll", &version));
    DWORD major = 99, minor = 99, build = 99;
    if (!GetShdocvwVersion(&major, &minor, &build)) {
        EXPECT_EQ(0u, major);
        EXPECT_EQ(0u, minor);
        EXPECT_EQ(0u, build);
    }
}

TEST(OsInfo, LinkColoursFromTheUsersBrowserSettings)
{
    const char* const path = "Software\\Microsoft\\Internet Explorer\\Settings";
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path));
    ASSERT_TRUE(key.SetStringValue("Anchor Color", "0,0,255"));
    ASSERT_TRUE(key.SetStringValue("Anchor Color Visited", "bad"));
    COLORREF link = 1, visited = 2;
    EXPECT_TRUE(GetIeLinkColors(&link, &visited));
    EXPECT_EQ(0xFF0000u, link);
    EXPECT_EQ(2u, visited) << "a value that does not parse leaves its output alone";

    ASSERT_TRUE(key.SetStringValue("Anchor Color Visited", "128,0,128"));
    EXPECT_TRUE(GetIeLinkColors(&link, &visited));
    EXPECT_EQ(RGB(128, 0, 128), visited);
    key.DeleteValue("Anchor Color");
    key.DeleteValue("Anchor Color Visited");
}

} // namespace
