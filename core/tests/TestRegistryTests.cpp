// The start-up redirect of the test registry: which values of KIVO_TEST_REGISTRY name a scratch key
// (anything else, from a stray environment or a hostile one, is ignored).
#include "core/app/TestRegistry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

TEST(TestRegistry, OnlyOneScratchKeyBelowTheTestsParentIsAccepted)
{
    const std::string longest(kTestRegistryMaxName, 'a');
    const struct {
        const char* value;
        const char* subKey;  // empty: ignored
    } cases[] = {
        {"HKEY_CURRENT_USER\\Software\\KivoBrowserTests\\1234-5678", "Software\\KivoBrowserTests\\1234-5678"},
        {"hkey_current_user\\SOFTWARE\\kivobrowsertests\\a_b", "SOFTWARE\\kivobrowsertests\\a_b"},
        {"HKEY_CURRENT_USER\\Software\\KivoBrowserTests\\", ""},
        {"HKEY_CURRENT_USER\\Software\\KivoBrowserTests", ""},
        {"HKEY_CURRENT_USER\\Software\\KivoBrowserTests\\a\\b", ""},
        {"HKEY_CURRENT_USER\\Software\\KivoBrowserTests\\..", ""},
        {"HKEY_CURRENT_USER\\Software\\KivoBrowserTests\\a b", ""},
        {"HKEY_CURRENT_USER\\Software\\KivoBrowserTestsX\\a", ""},
        {"HKEY_CURRENT_USER\\Software\\KivoBrowser\\Kivo Browser", ""},
        {"HKEY_LOCAL_MACHINE\\Software\\KivoBrowserTests\\a", ""},
        {"Software\\KivoBrowserTests\\a", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(TestRegistrySubKey(c.value), c.subKey);
    }
    EXPECT_EQ(TestRegistrySubKey(nullptr), "");
    const std::string prefix = "HKEY_CURRENT_USER\\Software\\KivoBrowserTests\\";
    EXPECT_EQ(TestRegistrySubKey((prefix + longest).c_str()), "Software\\KivoBrowserTests\\" + longest);
    EXPECT_EQ(TestRegistrySubKey((prefix + longest + "a").c_str()), "");
}

// The test process's own variable is put back after each case.
class TestRegistryVariable : public testing::Test {
protected:
    void SetUp() override
    {
        const DWORD length = GetEnvironmentVariableA(kTestRegistryVariable, m_saved, sizeof(m_saved));
        m_had = length > 0 && length < sizeof(m_saved);
    }
    void TearDown() override { SetEnvironmentVariableA(kTestRegistryVariable, m_had ? m_saved : nullptr); }

private:
    char m_saved[MAX_PATH] = "";
    bool m_had = false;
};

TEST_F(TestRegistryVariable, RedirectIgnoresMissingBadAndAbsentKeys)
{
    SetEnvironmentVariableA(kTestRegistryVariable, nullptr);
    EXPECT_FALSE(ApplyTestRegistryRedirect());
    SetEnvironmentVariableA(kTestRegistryVariable, "HKEY_CURRENT_USER\\Software\\KivoBrowser\\Kivo Browser");
    EXPECT_FALSE(ApplyTestRegistryRedirect());
    SetEnvironmentVariableA(kTestRegistryVariable, std::string(MAX_PATH + 10, 'x').c_str());
    EXPECT_FALSE(ApplyTestRegistryRedirect());
    // Well formed, but no such key (the redirect never makes one).
    SetEnvironmentVariableA(kTestRegistryVariable, "HKEY_CURRENT_USER\\Software\\KivoBrowserTests\\no-such-key");
    EXPECT_FALSE(ApplyTestRegistryRedirect());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KivoBrowserTests\\no-such-key", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

} // namespace
