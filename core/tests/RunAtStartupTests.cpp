// The run-at-startup entry in the (redirected) current user's Run key.
#include "core/library/AppWindowInfo.h"
#include "core/library/RegistryKey.h"
#include "core/system/RunAtStartup.h"
#include "core/tests/RegistryRestore.h"

#include <gtest/gtest.h>

namespace {

// The Run key is the user's: whatever the test writes there (and the value it writes beside the
// keys of HKEY_CURRENT_USER) is put back however the test ends.
class RunAtStartupKey : public testing::Test {
protected:
    static constexpr const char* name = "Kivo Browser Test Entry";
    CSavedRegistryValue m_runEntry{HKEY_CURRENT_USER, kRunKeyPath, name};
    CSavedRegistryValue m_rootEntry{HKEY_CURRENT_USER, "", name};
};

TEST_F(RunAtStartupKey, RunAtStartupStoresTheQuotedProgramPathAndReportsRefusals)
{
    ASSERT_TRUE(SetRunAtStartup(name));
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kRunKeyPath, KEY_READ));
    TStdStr<char> stored;
    ASSERT_TRUE(key.QueryStringValue(name, stored));
    EXPECT_EQ("\"" + GetAppWindowInfo()->GetModulePath() + "\"", stored);
    key.Close();

    EXPECT_EQ("\"C:\\Program Files\\Kivo Browser\\KivoBrowser.exe\"",
              MakeRunCommand("C:\\Program Files\\Kivo Browser\\KivoBrowser.exe"));

    ASSERT_TRUE(RemoveRunAtStartup(name));
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kRunKeyPath, KEY_READ));
    EXPECT_FALSE(key.QueryStringValue(name, stored));
    EXPECT_TRUE(RemoveRunAtStartup(name)) << "a value that is not there is removed already";

    // A key that refuses the write: the failure is reported, not hidden behind the opened key.
    EXPECT_FALSE(WriteRunValue(key, name, "C:\\x.exe"));
    ASSERT_TRUE(WriteRunValue(HKEY_CURRENT_USER, name, "C:\\x.exe")); // the key itself is writable
    EXPECT_TRUE(DeleteRunValue(HKEY_CURRENT_USER, name));
    EXPECT_FALSE(DeleteRunValue(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7777)), name));
}

} // namespace
