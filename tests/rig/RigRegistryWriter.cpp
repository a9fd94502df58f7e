// A test program of the rig that is no test of its own: RigTests start it to show that a test
// process, and a program it starts in turn, change only their private registry. Its tests write,
// change and delete values and keys in HKEY_CURRENT_USER, in the browser's own key, in the user's
// Run key and in a key that the starting test planted in the real HKEY_CURRENT_USER, and once more
// after main has returned.
#include "tests/rig/RigProgram.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

constexpr char kBrowserKey[] = "Software\\KivoBrowser\\Kivo Browser";
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kPlantedKey[] = "Software\\KivoRigPlanted";

std::string ReadText(const char* subKey, const char* name)
{
    char text[256] = "";
    DWORD size = sizeof(text);
    if (RegGetValueA(HKEY_CURRENT_USER, subKey, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

LONG WriteText(const char* subKey, const char* name, const char* text)
{
    return RegSetKeyValueA(HKEY_CURRENT_USER, subKey, name, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
}

// The program's singletons save the settings in their ordered teardown, after main has returned:
// this stands in for them.
struct CWriterAtExit {
    ~CWriterAtExit() { WriteText(kBrowserKey, "AtExit", "written after main"); }
} g_writerAtExit;

TEST(RigRegistryWriter, WritesChangesAndDeletesValuesAndKeys)
{
    for (const char* key : {kBrowserKey, kRunKey, "Software\\KivoRigWritten\\Deeper"}) {
        SCOPED_TRACE(key);
        ASSERT_EQ(WriteText(key, "Written", "first"), ERROR_SUCCESS);
        ASSERT_EQ(WriteText(key, "Written", "changed"), ERROR_SUCCESS);
        EXPECT_EQ(ReadText(key, "Written"), "changed");
        ASSERT_EQ(WriteText(key, "Deleted", "soon gone"), ERROR_SUCCESS);
        EXPECT_EQ(RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "Deleted"), ERROR_SUCCESS);
        EXPECT_EQ(ReadText(key, "Deleted"), "<missing>");
    }
    const DWORD flags = 0x5A;
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kBrowserKey, "SysFlags", REG_DWORD, &flags, sizeof(flags)),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KivoRigWritten"), ERROR_SUCCESS);
}

// The starting test planted this key in the real HKEY_CURRENT_USER; here it is not to be seen, and
// deleting it must leave the real one alone.
TEST(RigRegistryWriter, DeletesWhatTheRealRegistryHolds)
{
    EXPECT_EQ(ReadText(kPlantedKey, "Planted"), "<missing>");
    RegDeleteTreeA(HKEY_CURRENT_USER, kPlantedKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kPlantedKey);
    EXPECT_EQ(ReadText(kPlantedKey, "Planted"), "<missing>");
}

// A program this test starts writes to the same private registry.
TEST(RigRegistryWriter, StartedProgramWritesToTheSameRegistry)
{
    EXPECT_EQ(rig::RunProgram(rig::ProgramFolder() + "rig_copydata_sender.exe", "--write-registry"), 0u);
    EXPECT_EQ(ReadText(kBrowserKey, "RigHelper"), "written by the helper");
}

// Files go to the scratch folder, which exists while the tests run.
TEST(RigRegistryWriter, ScratchFolderIsReady)
{
    const std::string folder = KivoTestScratchFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace
