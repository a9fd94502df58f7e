#include "core/library/LifetimeTracker.h"
#include "core/tests/PrintStdStr.h"
#include "tests/support/TestScratch.h"
#include "core/tests/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

namespace {

int g_attempts = 0;

struct CFlakyObject {
    CFlakyObject()
    {
        if (++g_attempts == 1)
            throw std::runtime_error("first construction fails");
    }
    int value = 42;
};

} // namespace

// The probe program creates a stand-in for every row of the priority table in a shuffled order
// (two of them through a static initializer of another translation unit), returns from main and
// lets the exit processing destroy them. Its record shows the order, that the settings could still
// save through the store, that an object first used during the teardown is destroyed in its
// turn, and that a singleton never used is never created.
TEST(LifetimeTracker, ProcessExitDestroysSingletonsByDescendingPriority)
{
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string probe = module;
    probe = probe.substr(0, probe.find_last_of("\\/") + 1) + "core_teardown_probe.exe";
    const std::string record = KivoTestScratchFolder() + "teardown.txt";
    DeleteFileA(record.c_str());

    std::string command = "\"" + probe + "\" \"" + record + "\"";
    STARTUPINFOA startup = {sizeof(startup)};
    PROCESS_INFORMATION process;
    ASSERT_TRUE(CreateProcessA(probe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << probe;
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u);

    // Every row of the table in its order; the OLE and shell allocator holders record nothing.
    std::string expected = "ole initialized\nshell-allocator yes\nmain returns\n";
    for (unsigned priority : kLifetimePriorities) {
        switch (priority) {
        case kPrioritySettings:
            expected += "destroy settings 5000 saved-to-store=yes of=probe-app\n";
            break;
        case kPriorityFavoritesPanel:
            expected += "destroy favorites-panel 183\ncreate language\n";
            break;
        case kPriorityLanguageManager:
            expected += "destroy language 95\n";
            break;
        case kPrioritySettingsStore:
            expected += "destroy store 80\n";
            break;
        case kPriorityApplication:
            expected += "destroy application 50\n";
            break;
        case kPrioritySkinManager:
        case kPriorityOle:
        case kPriorityShellAllocator:
            break;
        default:
            expected += "destroy " + std::to_string(priority) + "\n";
        }
    }
    EXPECT_EQ(ReadWholeFile(record), expected);
    DeleteFileA(record.c_str());
}

TEST(LifetimeTracker, AccessorRetriesAfterAThrowingConstructor)
{
    using Accessor = CFlakyObject* (*)();
    const Accessor get = &GetSingleton<CFlakyObject, 7>;
    EXPECT_THROW(get(), std::runtime_error);
    CFlakyObject* object = get();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->value, 42);
    EXPECT_EQ(get(), object);
    EXPECT_EQ(g_attempts, 2);
}
