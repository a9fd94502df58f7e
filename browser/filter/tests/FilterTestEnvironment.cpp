// Before any test: the program's folders (config\, appdata\) point into the process's scratch
// folder, so the settings object, the logs and the feature files of these tests never touch the
// build folder or a real installation.
#include "core/app/ProgramFolders.h"
#include "core/app/Settings.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>

namespace {

class CFilterTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        const std::string root = KivoTestScratchFolder() + "program\\";
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA((root + "config").c_str(), nullptr);
        CreateDirectoryA((root + "appdata").c_str(), nullptr);
        GetAppFolders()->m_configFolder = root + "config\\";
        GetAppFolders()->m_appDataFolder = root + "appdata\\";
        // The scratch folder is gone when the teardown at exit runs: the settings must not try to
        // write their logs there (a failed write is reported in a message box).
        GetSettings()->SkipSaveAtExit();
    }
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new CFilterTestEnvironment);

}  // namespace
