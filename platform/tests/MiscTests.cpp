// The registry key holder.
#include <gtest/gtest.h>
#include "platform/AtlMisc.h"

namespace {

TEST(PlatformMisc, RegistryKeyValuesAndRecursiveDelete)
{
    CRegKey root;
    ASSERT_EQ(ERROR_SUCCESS, root.Create(HKEY_CURRENT_USER, "Software\\KivoPlatformTest"));
    CRegKey child;
    ASSERT_EQ(ERROR_SUCCESS, child.Create(root, "a\\b"));
    EXPECT_EQ(ERROR_SUCCESS, child.SetDWORDValue("n", 42));
    EXPECT_EQ(ERROR_SUCCESS, child.SetStringValue("s", "text"));
    // A string stored without its terminator still comes back terminated.
    EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExA(child, "raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcd"), 4));

    DWORD number = 0;
    EXPECT_EQ(ERROR_SUCCESS, child.QueryDWORDValue("n", number));
    EXPECT_EQ(42u, number);
    EXPECT_EQ(ERROR_INVALID_DATA, child.QueryDWORDValue("s", number));
    char text[16];
    ULONG chars = sizeof(text);
    EXPECT_EQ(ERROR_SUCCESS, child.QueryStringValue("s", text, &chars));
    EXPECT_STREQ("text", text);
    EXPECT_EQ(5u, chars);
    ::memset(text, 'x', sizeof(text));
    chars = sizeof(text);
    EXPECT_EQ(ERROR_SUCCESS, child.QueryStringValue("raw", text, &chars));
    EXPECT_STREQ("abcd", text);
    char tight[4];
    chars = sizeof(tight);
    EXPECT_EQ(ERROR_MORE_DATA, child.QueryStringValue("raw", tight, &chars));

    child.Close();
    EXPECT_EQ(ERROR_SUCCESS, root.RecurseDeleteKey("a"));
    CRegKey gone;
    EXPECT_NE(ERROR_SUCCESS, gone.Open(root, "a", KEY_READ));
    root.Close();
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KivoPlatformTest");
}

} // namespace
