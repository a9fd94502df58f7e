#include "core/LifetimeTracker.h"
#include "core/tests/PrintStdStr.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

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

// The probe program creates stand-ins of the table's singletons in a shuffled order (two of
// them through a static initializer of another translation unit), returns from main and lets
// the exit processing destroy them. Its record shows the order, that the settings could still
// save through the store, that an object first used during the teardown is destroyed in its
// turn, and that a singleton never used is never created.
TEST(LifetimeTracker, ProcessExitDestroysSingletonsByDescendingPriority)
{
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string probe = module;
    probe = probe.substr(0, probe.find_last_of("\\/") + 1) + "core_teardown_probe.exe";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string record = std::string(temp) + "kivo-teardown-" + std::to_string(GetCurrentProcessId()) + ".txt";
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

    EXPECT_EQ(ReadFile(record), "create os-info\n"
                                "create user-actions\n"
                                "create log\n"
                                "create main-frame\n"
                                "create instance-finder\n"
                                "create group-store\n"
                                "create favicon-cache\n"
                                "create command-images\n"
                                "ole initialized\n"
                                "shell-allocator yes\n"
                                "main returns\n"
                                "destroy command-images 30001\n"
                                "destroy main-frame 30000\n"
                                "destroy favicon-cache 6043\n"
                                "destroy group-store 5019\n"
                                "destroy settings 5000 saved-to-store=yes of=probe-app\n"
                                "destroy user-actions 1301\n"
                                "destroy instance-finder 201\n"
                                "destroy favorites-panel 183\n"
                                "create language\n"
                                "destroy language 95\n"
                                "destroy store 80\n"
                                "destroy application 50\n"
                                "destroy log 6\n"
                                "destroy os-info 5\n");
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
