// Entry point of every test executable. Each test program runs on one STA thread with OLE and the
// common controls ready, the way the browser's own UI thread runs.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

int main(int argc, char** argv)
{
    // A crash in a test must end the process, not open a Wine debugger dialog on a hidden display.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    if (FAILED(OleInitialize(nullptr)))
        return 3;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                 ICC_USEREX_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
