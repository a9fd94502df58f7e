// Dialog data: flag bits through check boxes and file-dialog filters.
#include "core/system/DialogFunctions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DialogFunctions, FlagBitsThroughCheckBoxes)
{
    HWND dialog = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 50, 20, dialog,
                    reinterpret_cast<HMENU>(24410), nullptr, nullptr);
    DWORD flags = 0x30;
    DdxCheckFlag(dialog, 24410, flags, 0x10, false);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog, 24410));
    CheckDlgButton(dialog, 24410, BST_UNCHECKED);
    DdxCheckFlag(dialog, 24410, flags, 0x10, true);
    EXPECT_EQ(0x20u, flags);
    CheckDlgButton(dialog, 24410, BST_CHECKED);
    DdxCheckFlag(dialog, 24410, flags, 0x200, true);
    EXPECT_EQ(0x220u, flags);
    DestroyWindow(dialog);

    EXPECT_TRUE(IsZeroOrOne(0));
    EXPECT_TRUE(IsZeroOrOne(1));
    EXPECT_FALSE(IsZeroOrOne(2));
    EXPECT_FALSE(IsZeroOrOne(-1));
}

TEST(DialogFunctions, FileDialogFilter)
{
    const TStdStr<char> filter = MakeFileDialogFilter({{"Text files", "*.txt"}, {"All files", "*.*"}});
    EXPECT_EQ(std::string("Text files\0*.txt\0All files\0*.*\0\0", 32), std::string(filter));
}

} // namespace
