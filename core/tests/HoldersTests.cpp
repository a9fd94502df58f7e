// Holders release what they hold: hooks, icons, critical sections, the shell's autocomplete, files.
#include "core/system/DialogFunctions.h"
#include "core/system/Holders.h"
#include "core/system/Icons.h"
#include "core/system/ShellAutoComplete.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

TEST(Holders, HoldersReleaseWhatTheyHold)
{
    CWindowsHookHolder hook;
    ASSERT_TRUE(hook.Set(WH_CBT, [](int code, WPARAM w, LPARAM l) { return CallNextHookEx(nullptr, code, w, l); },
                         nullptr, GetCurrentThreadId()));
    hook.Unhook();
    EXPECT_EQ(nullptr, hook.Get());
    hook.Unhook();

    CSizedIcon icon;
    icon.Attach(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
    HICON first = icon.Get();
    icon.Attach(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
    EXPECT_NE(first, icon.Get());
    // From an .ico file at the small icon size; a missing or empty path holds none.
    const CSizedIcon site(KIVO_SOURCE_DIR "/resources/icons/site.ico", true);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(site.Get(), &info));
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof(mask), &mask);
    EXPECT_EQ(mask.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_EQ(CSizedIcon("C:\\no\\such.ico", false).Get(), nullptr);
    EXPECT_EQ(CSizedIcon("", false).Get(), nullptr);

    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    {
        CCriticalSectionLock lock(section);
        EXPECT_TRUE(TryEnterCriticalSection(&section)); // the owner may enter again
        LeaveCriticalSection(&section);
    }
    DeleteCriticalSection(&section);

    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    CShellAutoComplete autoComplete(edit, CLSID_ACLHistory);
    (void)autoComplete.IsBound(); // either bound or refused cleanly where the shell lacks the class
    DestroyWindow(edit);

    EXPECT_FALSE(RemoveFile(nullptr));
    EXPECT_FALSE(RemoveFile("Q:\\kivo\\absent.txt"));
}

} // namespace
