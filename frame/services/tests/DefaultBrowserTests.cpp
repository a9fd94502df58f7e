// The default-browser registration against a classes root of the test's own registry, and the
// start-with-Windows value under the (redirected) current user's Run key.
#include "core/library/RegistryKey.h"
#include "core/system/RunAtStartup.h"
#include "frame/services/DefaultBrowser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kClassesRoot[] = "Software\\ServicesTestClasses";
constexpr char kProgram[] = "C:\\Program Files\\Kivo Browser\\KivoBrowser.exe";

class CScratchClassesRoot {
public:
    CScratchClassesRoot()
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kClassesRoot);
        m_root.Create(HKEY_CURRENT_USER, kClassesRoot);
    }
    ~CScratchClassesRoot()
    {
        m_root.Close();
        RegDeleteTreeA(HKEY_CURRENT_USER, kClassesRoot);
    }
    HKEY Get() const { return m_root; }
    void Set(const char* key, const char* name, const char* data)
    {
        CRegistryKey opened;
        ASSERT_TRUE(opened.Create(m_root, key));
        ASSERT_TRUE(opened.SetStringValue(name, data));
    }
    std::string Read(const char* key, const char* name = nullptr) const
    {
        CRegistryKey opened;
        if (!opened.Open(m_root, key, KEY_READ))
            return "<no key>";
        TStdStr<char> value;
        if (!opened.QueryStringValue(name, value))
            return "<no value>";
        return value.c_str();
    }

private:
    CRegistryKey m_root;
};

// Another browser's registration, as a machine has it before ours.
void PlantOtherBrowser(CScratchClassesRoot& root)
{
    root.Set(".htm", nullptr, "OtherHtml");
    root.Set(".html", nullptr, "htmlfile");
    root.Set(".url", nullptr, "InternetShortcut");
    root.Set(".mht", nullptr, "OtherMht");
    root.Set(".shtml", nullptr, "OtherHtml");
    for (const std::string& key : DefaultBrowserShellKeys()) {
        root.Set(key.c_str(), nullptr, "open");
        root.Set((key + "\\open\\command").c_str(), nullptr, "\"C:\\other.exe\" %1");
    }
}

} // namespace

TEST(DefaultBrowser, RegistrationWritesTheVerbsAndAssociationsAndUndoRestoresThem)
{
    CScratchClassesRoot root;
    PlantOtherBrowser(root);
    EXPECT_FALSE(IsDefaultBrowser(root.Get()));

    const auto backup = MakeDefaultBrowser(root.Get(), kProgram);
    const std::string command = "\"" + std::string(kProgram) + "\" \"%1\"";
    for (const std::string& key : DefaultBrowserShellKeys()) {
        SCOPED_TRACE(key);
        EXPECT_EQ(kProductDisplayName, root.Read(key.c_str()));
        EXPECT_EQ(command, root.Read((key + "\\open\\command").c_str()));
        EXPECT_EQ(command, root.Read((key + "\\Kivo Browser\\command").c_str()));
    }
    EXPECT_EQ("htmlfile", root.Read(".htm"));
    EXPECT_EQ("mhtmlfile", root.Read(".mht"));
    EXPECT_EQ("htmlfile", root.Read(".shtml"));
    EXPECT_EQ("text/html", root.Read(".shtml", "Content Type"));
    EXPECT_EQ("<no key>", root.Read(".shtm"));  // keys of types are opened, never created
    EXPECT_TRUE(IsDefaultBrowser(root.Get()));

    // The backup survives its text form, and the undo puts back the other browser.
    const auto restored = ParseRegistryBackup(FormatRegistryBackup(backup));
    ASSERT_EQ(backup.size(), restored.size());
    UndoDefaultBrowser(root.Get(), restored);
    EXPECT_FALSE(IsDefaultBrowser(root.Get()));
    EXPECT_EQ("OtherHtml", root.Read(".htm"));
    EXPECT_EQ("OtherMht", root.Read(".mht"));
    EXPECT_EQ("<no value>", root.Read(".shtml", "Content Type"));
    EXPECT_EQ("open", root.Read("http\\shell"));
    EXPECT_EQ("\"C:\\other.exe\" %1", root.Read("http\\shell\\open\\command"));
    EXPECT_EQ("<no key>", root.Read("http\\shell\\Kivo Browser"));
}

TEST(DefaultBrowser, TheStartupTestLooksAtFiveClassesExactly)
{
    CScratchClassesRoot root;
    for (const std::string& key : DefaultBrowserShellKeys())
        root.Set(key.c_str(), nullptr, kProductDisplayName);
    root.Set("file\\shell", nullptr, "open");
    root.Set("ftp\\shell", nullptr, "open");
    EXPECT_TRUE(IsDefaultBrowser(root.Get()));
    root.Set("https\\shell", nullptr, "kivo browser");  // letter case counts
    EXPECT_FALSE(IsDefaultBrowser(root.Get()));
    // A class whose shell key is missing is skipped by the registration, not created.
    EXPECT_FALSE(RegisterShellCommand(root.Get(), "nosuchclass\\shell", kProgram));
    EXPECT_EQ("<no key>", root.Read("nosuchclass\\shell"));
}

TEST(DefaultBrowser, DamagedBackupLinesAreSkipped)
{
    const std::string text = "no tabs here\n.htm\t\t2\tx\n\t\t1\tx\n.htm\t\t1\t" + std::string(10000, 'a') +
                             "\n.htm\t\t1\tOtherHtml\n";
    const auto backup = ParseRegistryBackup(text);
    ASSERT_EQ(1u, backup.size());
    EXPECT_EQ("OtherHtml", backup[0].data);
}

TEST(DefaultBrowser, StartWithWindowsWritesAndRemovesTheQuotedValue)
{
    ASSERT_TRUE(SetRunAtStartup("Kivo Browser Services Test"));
    CRegistryKey run;
    ASSERT_TRUE(run.Open(HKEY_CURRENT_USER, kRunKeyPath, KEY_READ));
    TStdStr<char> value;
    ASSERT_TRUE(run.QueryStringValue("Kivo Browser Services Test", value));
    ASSERT_GE(value.size(), 2u);
    EXPECT_EQ('"', value.c_str()[0]);
    EXPECT_EQ('"', value.c_str()[value.size() - 1]);
    EXPECT_TRUE(RemoveRunAtStartup("Kivo Browser Services Test"));
    EXPECT_FALSE(run.QueryStringValue("Kivo Browser Services Test", value));
}
