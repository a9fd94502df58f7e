// Version texts: the table of FileVersion forms, and the test program's own version resource
// (core/tests/CoreTestsVersion.rc: "1, 5, 0, 123").
#include "core/system/VersionInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionInfo, FormsOfTheFileVersionText)
{
    const struct {
        const char* fileVersion;
        const char* mode0;
        const char* mode1;
        const char* mode2;
    } cases[] = {
        {"1, 5, 0, 123", "v1.50", "Version: 1.50 build 123", "1.50.123"},
        {"2, 0", "v2.0", "Version: 2.0 build 001", "2.0.001"},
        {"3,1,4,7", "v3.14", "Version: 3.14 build 007", "3.14.007"},
        {"1, 2, 3, 4, 5", "v1.23", "Version: 1.23 build 004", "1.23.004"}, // the build stops at the next comma
        {"1.0.0.0", "v1.0.0.0", "Version: 1.0.0.0 build 001", "1.0.0.0.001"},
        {"1, 0, 0, beta", "v1.00", "Version: 1.00 build 000", "1.00.000"},
        {"", "v", "Version:  build 001", ".001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileVersion);
        EXPECT_EQ(c.mode0, FormatVersionText(c.fileVersion, 0));
        EXPECT_EQ(c.mode1, FormatVersionText(c.fileVersion, 1));
        EXPECT_EQ(c.mode2, FormatVersionText(c.fileVersion, 2));
        EXPECT_EQ(c.mode2, FormatVersionText(c.fileVersion, 7));
    }
}

TEST(VersionInfo, TheProgramsOwnVersionResource)
{
    CFileVersionInfo info;
    EXPECT_EQ("040904b0", info.GetTranslation());
    EXPECT_EQ("1, 5, 0, 123", info.GetFileVersion());
    EXPECT_EQ("Kivo Browser", info.GetString("ProductName"));
    EXPECT_EQ("", info.GetString("NoSuchValue"));

    EXPECT_EQ("v1.50", FormatVersionText(0));
    EXPECT_EQ("Version: 1.50 build 123", FormatVersionText(1));
    EXPECT_EQ("1.50.123", FormatVersionText(2));
}

TEST(VersionInfo, AModuleWithoutVersionResourceGivesEmptyTexts)
{
    // The mail stand-in beside the test program has no version resource.
    HMODULE module = LoadLibraryA("mapinosend.dll");
    ASSERT_NE(nullptr, module);
    CFileVersionInfo info(module);
    EXPECT_EQ("", info.GetTranslation());
    EXPECT_EQ("", info.GetFileVersion());
    EXPECT_EQ("v", FormatVersionText(info.GetFileVersion().c_str(), 0));
    FreeLibrary(module);
}

} // namespace
