// Entry point of every test executable. Each test program runs on one STA thread with OLE and the
// common controls ready, the way the browser's own UI thread runs, and in a private world of its
// own: HKEY_CURRENT_USER is redirected to a scratch key and files go to a scratch folder, both
// removed at the end, so that no test can touch a real user's registry or files, on Wine or on
// Windows. Programs a test starts get the scratch key through KIVO_TEST_REGISTRY and redirect
// their own HKEY_CURRENT_USER to it (core/app/TestRegistry.h).
#include "tests/support/TestScratch.h"

#include "core/app/TestRegistry.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string g_scratchFolder;
std::string g_registryKey;

// The test main links nothing of the program, so it keeps its one registry key in a holder of its own.
class CScratchKeyHolder {
public:
    CScratchKeyHolder() = default;
    ~CScratchKeyHolder()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    CScratchKeyHolder(const CScratchKeyHolder&) = delete;
    CScratchKeyHolder& operator=(const CScratchKeyHolder&) = delete;

    HKEY* Receive() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;  // owned
};

void RemoveScratchKey();

// HKEY_CURRENT_USER\Software as a key handle of its own, opened before the redirect: through it the
// scratch key is removed at the end. (HKEY_CURRENT_USER itself cannot be held this way: opening ""
// below a predefined key gives back the predefined handle, which the redirect then covers.)
CScratchKeyHolder g_realSoftware;
constexpr char kSoftware[] = "Software";
constexpr char kParentName[] = "KivoBrowserTests";  // below kSoftware: kTestRegistryParent
std::string g_relativeKey;                         // the scratch key below kSoftware

// Makes HKEY_CURRENT_USER\Software\KivoBrowserTests\<pid>-<tick> and points the process's
// HKEY_CURRENT_USER at it. Wine 8 implements RegOverridePredefKey in kernelbase for every
// advapi32 path (RegOpenKeyEx, RegCreateKeyEx, RegGetValue, RegDeleteTree, the shlwapi SH*
// functions: tests/rig/RigTests.cpp checks them); it duplicates the handle it is given, so ours is
// closed at once.
bool RedirectCurrentUser()
{
    if (std::string(kSoftware) + "\\" + kParentName != kTestRegistryParent)
        return false;
    const std::string name = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64());
    g_relativeKey = std::string(kParentName) + "\\" + name;
    g_registryKey = std::string(kSoftware) + "\\" + g_relativeKey;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, kSoftware, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, g_realSoftware.Receive(), nullptr);
    if (result != ERROR_SUCCESS) {
        std::fprintf(stderr, "test main: cannot open HKEY_CURRENT_USER\\%s (%ld)\n", kSoftware, result);
        return false;
    }
    CScratchKeyHolder key;
    // A test process beside this one may just be deleting the common parent; try again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        result = RegCreateKeyExA(g_realSoftware.Get(), g_relativeKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
        if (result == ERROR_SUCCESS)
            break;
    }
    if (result != ERROR_SUCCESS) {
        std::fprintf(stderr, "test main: cannot create the scratch key %s (%ld)\n", g_registryKey.c_str(), result);
        return false;
    }
    // Every real profile has a "Software" key, and code that opens it without creating it expects one.
    CScratchKeyHolder software;
    RegCreateKeyExA(key.Get(), kSoftware, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    software.Receive(), nullptr);
    // The update check of the frames that tests and their programs make asks a port of this
    // machine where nothing answers, never the product's site.
    CScratchKeyHolder settings;
    if (RegCreateKeyExA(software.Get(), "KivoBrowser\\Kivo Browser\\Settings", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, settings.Receive(), nullptr) == ERROR_SUCCESS) {
        static const char kUpdateUrl[] = "http://127.0.0.1:1/kvbver.ini";
        RegSetValueExA(settings.Get(), "UpdateURL", 0, REG_SZ, reinterpret_cast<const BYTE*>(kUpdateUrl),
                       sizeof(kUpdateUrl));
    }
    result = RegOverridePredefKey(HKEY_CURRENT_USER, key.Get());
    if (result != ERROR_SUCCESS) {
        std::fprintf(stderr, "test main: cannot redirect HKEY_CURRENT_USER (%ld)\n", result);
        RemoveScratchKey();
        return false;
    }
    const std::string variable = std::string(kTestRegistryRoot) + "\\" + g_registryKey;
    SetEnvironmentVariableA(kTestRegistryVariable, variable.c_str());
    return true;
}

// Deletes the scratch key with everything in it, and the common parent once no other test process
// has a key in it (RegDeleteKey fails otherwise). The redirect stays: the singletons' ordered
// teardown runs after main returns and saves the settings then; with the scratch key gone those
// writes fail (ERROR_KEY_DELETED), where undoing the redirect would let them reach the real
// HKEY_CURRENT_USER.
void RemoveScratchKey()
{
    RegDeleteTreeA(g_realSoftware.Get(), g_relativeKey.c_str());
    RegDeleteKeyA(g_realSoftware.Get(), g_relativeKey.c_str());
    RegDeleteKeyA(g_realSoftware.Get(), kParentName);
}

bool MakeScratchFolder()
{
    char temp[MAX_PATH] = "";
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH)
        return false;
    g_scratchFolder = std::string(temp) + "KivoBrowserTests-" + std::to_string(GetCurrentProcessId()) + "-" +
                      std::to_string(GetTickCount64()) + "\\";
    return CreateDirectoryA(g_scratchFolder.c_str(), nullptr) != FALSE;
}

void RemoveScratchFolder()
{
    std::string from = g_scratchFolder.substr(0, g_scratchFolder.size() - 1);
    from.push_back('\0'); // the operation takes a list ending in two zeros
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

} // namespace

const std::string& KivoTestScratchFolder()
{
    return g_scratchFolder;
}

const std::string& KivoTestRegistryKey()
{
    return g_registryKey;
}

int main(int argc, char** argv)
{
    // A crash in a test must end the process, not open a Wine debugger dialog on a hidden display.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    if (!RedirectCurrentUser())
        return 4;
    if (!MakeScratchFolder()) {
        std::fprintf(stderr, "test main: cannot create the scratch folder %s\n", g_scratchFolder.c_str());
        RemoveScratchKey();
        return 5;
    }
    int result = 3;
    if (SUCCEEDED(OleInitialize(nullptr))) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_USEREX_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        result = RUN_ALL_TESTS();
        OleUninitialize();
    }
    RemoveScratchFolder();
    RemoveScratchKey();
    return result;
}
