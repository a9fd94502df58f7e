#include "core/library/RegistryKey.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kTestRoot = "Software\\KivoBrowserTests\\RegistryKey";

// A scratch key under the current user of the tests' own Wine prefix, removed again afterwards.
class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot);
        ASSERT_TRUE(m_root.Create(HKEY_CURRENT_USER, kTestRoot));
    }
    void TearDown() override
    {
        m_root.Close();
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot);
    }
    CRegistryKey m_root;
};

} // namespace

TEST_F(RegistryKeyTest, ValuesRoundTrip)
{
    DWORD disposition = 0;
    CRegistryKey key;
    ASSERT_TRUE(key.Create(m_root, "Settings", nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_TRUE(key.SetDWordValue("SysFlags", 0x101c));
    EXPECT_TRUE(key.SetStringValue("TabStyle", "DotNet2005"));
    EXPECT_TRUE(key.SetStringValue("Empty", ""));
    key.Close();

    CRegistryKey again;
    ASSERT_TRUE(again.Open(m_root, "Settings", KEY_READ));
    DWORD flags = 0;
    EXPECT_TRUE(again.QueryDWordValue("SysFlags", flags));
    EXPECT_EQ(flags, 0x101cu);
    TStdStr<char> text = "stale";
    EXPECT_TRUE(again.QueryStringValue("TabStyle", text));
    EXPECT_EQ(text, "DotNet2005");
    text = "stale";
    EXPECT_TRUE(again.QueryStringValue("Empty", text));
    EXPECT_EQ(text, "");
    char raw[16] = {};
    DWORD size = sizeof(raw);
    EXPECT_TRUE(again.QueryValue("TabStyle", raw, &size));
    EXPECT_EQ(size, 11u); // the terminating zero is stored

    // The value names come back through the enumeration.
    TStdStr<char> name;
    DWORD type = 0;
    int count = 0;
    for (DWORD i = 0; again.EnumValue(i, name, &type); ++i)
        ++count;
    EXPECT_EQ(count, 3);
    EXPECT_EQ(again.GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(again.Close()); // the close itself succeeded
    // On a closed key a failed operation is reported by the next Close, once.
    EXPECT_FALSE(again.QueryDWordValue("SysFlags", flags));
    EXPECT_FALSE(again.Close());
    EXPECT_TRUE(again.Close());
}

TEST_F(RegistryKeyTest, StringWithoutTerminatorAndDeleteValue)
{
    const char bytes[] = {'a', 'b', 'c'};
    ASSERT_EQ(RegSetValueExA(m_root, "Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes), 3), ERROR_SUCCESS);
    TStdStr<char> text;
    EXPECT_TRUE(m_root.QueryStringValue("Raw", text));
    EXPECT_EQ(text, "abc");
    // A value of no bytes at all reads as the empty string, not as whatever the string held.
    ASSERT_EQ(RegSetValueExA(m_root, "Zero", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 0), ERROR_SUCCESS);
    text = "stale";
    EXPECT_TRUE(m_root.QueryStringValue("Zero", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(m_root.DeleteValue("Raw"));
    EXPECT_FALSE(m_root.QueryStringValue("Raw", text));
    EXPECT_EQ(m_root.GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(m_root.DeleteValue("Raw"));
}

TEST_F(RegistryKeyTest, FailedOpenKeepsTheHeldKey)
{
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kTestRoot));
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, "Software\\KivoBrowserTests\\Missing\\Key"));
    EXPECT_EQ(key.GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(key.SetDWordValue("StillOpen", 1));
    EXPECT_TRUE(key.Close());
    EXPECT_TRUE(key.Close());
}

TEST_F(RegistryKeyTest, EnumAndDeleteTree)
{
    CRegistryKey level;
    ASSERT_TRUE(level.Create(m_root, "Tree\\A\\B\\C"));
    ASSERT_TRUE(level.Create(m_root, "Tree\\A\\B2"));
    ASSERT_TRUE(level.SetStringValue("v", "x"));
    ASSERT_TRUE(level.Create(m_root, "Tree\\D"));
    level.Close();

    CRegistryKey tree;
    ASSERT_TRUE(tree.Open(m_root, "Tree"));
    TStdStr<char> name, className;
    EXPECT_TRUE(tree.EnumKey(0, name, &className));
    EXPECT_EQ(name, "A");
    EXPECT_TRUE(tree.EnumKey(1, name));
    EXPECT_EQ(name, "D");
    EXPECT_FALSE(tree.EnumKey(2, name));
    EXPECT_EQ(tree.GetLastError(), ERROR_NO_MORE_ITEMS);
    tree.Close();

    EXPECT_FALSE(m_root.DeleteSubKey("Tree")); // it has subkeys
    EXPECT_TRUE(m_root.DeleteSubKeyTree("Tree"));
    EXPECT_FALSE(tree.Open(m_root, "Tree"));
    EXPECT_FALSE(m_root.DeleteSubKeyTree("Tree"));
}

TEST_F(RegistryKeyTest, OnlyAFourByteDWordIsANumber)
{
    const DWORD number = 42;
    const char text[] = "abc"; // four bytes with its terminator, as long as a number
    const WORD shortNumber = 7;
    ASSERT_EQ(RegSetValueExA(m_root, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(m_root, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(m_root, "Binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(m_root, "Short", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&shortNumber), 2),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(m_root, "Long", 0, REG_SZ, reinterpret_cast<const BYTE*>("longer text"), 12), ERROR_SUCCESS);
    const struct {
        const char* name;
        bool read;
        LONG error;
    } cases[] = {
        {"Number", true, ERROR_SUCCESS},        {"Text", false, ERROR_INVALID_DATA},
        {"Binary", false, ERROR_INVALID_DATA},  {"Short", false, ERROR_INVALID_DATA},
        {"Long", false, ERROR_MORE_DATA},       {"Missing", false, ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD value = 0xdeadbeef;
        EXPECT_EQ(m_root.QueryDWordValue(c.name, value), c.read);
        EXPECT_EQ(m_root.GetLastError(), c.error);
        EXPECT_EQ(value, c.read ? number : 0xdeadbeefu);
    }
}
