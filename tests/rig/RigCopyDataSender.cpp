// Helper process of the rig tests: sends its command-line text to a window by WM_COPYDATA.
// Usage: rig_copydata_sender WINDOW-HANDLE TEXT
#include <windows.h>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
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
