// Helper process of the rig tests: sends its command-line text to a window by WM_COPYDATA, or writes
// one value to HKEY_CURRENT_USER the way any program a test starts would (through the redirect of
// KIVO_TEST_REGISTRY).
// Usage: rig_copydata_sender WINDOW-HANDLE TEXT
//        rig_copydata_sender --write-registry
#include "core/app/TestRegistry.h"

#include <windows.h>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    ApplyTestRegistryRedirect();
    if (argc == 2 && std::strcmp(argv[1], "--write-registry") == 0) {
        static const char kText[] = "written by the helper";
        return RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\KivoBrowser\\Kivo Browser", "RigHelper", REG_SZ, kText,
                               sizeof(kText)) == ERROR_SUCCESS
                   ? 0
                   : 6;
    }
    if (argc != 3)
        return 2;
    HWND target = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(argv[1], nullptr, 0)));
    if (!IsWindow(target))
        return 3;
    COPYDATASTRUCT cds = {};
    cds.dwData = 100;
    cds.cbData = static_cast<DWORD>(std::strlen(argv[2]) + 1);
    cds.lpData = argv[2];
    DWORD_PTR answer = 0;
    if (!SendMessageTimeout(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 5000, &answer))
        return 4;
    return answer == TRUE ? 0 : 5;
}
