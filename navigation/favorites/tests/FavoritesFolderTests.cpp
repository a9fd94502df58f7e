#include "navigation/favorites/FavoritesFolder.h"
#include "navigation/favorites/tests/FavoritesTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using favorites_test::CFavoritesTree;

namespace {
void WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}
}  // namespace

// Damaged and foreign shortcut files give no URL rather than a wrong one or a crash.
TEST(InternetShortcutFiles, ForeignAndDamagedFilesHoldNoUrl)
{
    CFavoritesTree tree("ShortcutFiles");
    const struct {
        const char* name;
        std::string bytes;
        const char* url;
    } cases[] = {
        {"plain", "[InternetShortcut]\r\nURL=http://plain.test/\r\n", "http://plain.test/"},
        {"other section", "[Other]\r\nURL=http://other.test/\r\n", ""},
        {"binary", std::string("\x00\x01\xFF\xFE[Intern\x00", 12), ""},
        {"too long", "[InternetShortcut]\r\nURL=http://" + std::string(5000, 'a') + "\r\n", ""},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        const std::string path = tree.Root() + c.name + ".url";
        WriteBytes(path, c.bytes);
        EXPECT_EQ(ReadInternetShortcutUrl(path), c.url) << c.name;
    }
    EXPECT_EQ(ReadInternetShortcutUrl(tree.Root() + "missing.url"), "");

    // Writing: a URL with a line break would add keys of its own to the file.
    EXPECT_FALSE(CreateInternetShortcut(tree.Root() + "Injected.url", "http://x.test/\r\nIconFile=C:\\evil.ico"));
    EXPECT_FALSE(CreateInternetShortcut(tree.Root() + "Empty.url", ""));
    ASSERT_TRUE(CreateInternetShortcut(tree.Root() + "plain.url", "http://replaced.test/"));
    EXPECT_EQ(ReadInternetShortcutUrl(tree.Root() + "plain.url"), "http://replaced.test/");
}

TEST(FavoritesPaths, NamesTitlesAndSafeFileNames)
{
    EXPECT_EQ(GetPathFileName("C:\\F\\News\\"), "News");
    EXPECT_EQ(GetPathFileName("C:\\F\\a.url"), "a.url");
    EXPECT_EQ(GetPathFileTitle("C:\\F\\a.b.url"), "a.b");
    EXPECT_EQ(GetPathFileTitle("C:\\F\\v1.2\\"), "v1.2");
    EXPECT_EQ(MakeFileNameSafe("a/b:c*d?\"e<f>g|h\\i\tj. "), "a_b_c_d__e_f_g_h_i_j");
    EXPECT_TRUE(FolderPathsEqual("C:\\Fav", "c:\\fav\\"));
    EXPECT_FALSE(FolderPathsEqual("C:\\Fav", "C:\\Favorites"));
}
