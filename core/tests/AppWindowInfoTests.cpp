#include "core/library/AppWindowInfo.h"
#include "core/tests/PrintStdStr.h"

#include <gtest/gtest.h>

TEST(AppWindowInfo, KnowsTheProgramFolderAndTitle)
{
    CAppWindowInfo* info = GetAppWindowInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(GetAppWindowInfo(), info);
    const TStdStr<char>& folder = info->GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(info->GetModulePath().substr(0, folder.size()), folder);
    EXPECT_EQ(info->GetProgramTitle(), "core_tests");
    EXPECT_EQ(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_DIRECTORY));

    EXPECT_EQ(info->GetMainWindow(), nullptr);
    const HWND window = GetDesktopWindow();
    info->SetMainWindow(window);
    EXPECT_EQ(GetAppWindowInfo()->GetMainWindow(), window);
    info->SetMainWindow(nullptr);
}
