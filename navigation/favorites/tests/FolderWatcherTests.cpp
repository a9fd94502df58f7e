#include "navigation/favorites/FolderChangeWatcher.h"
#include "navigation/favorites/tests/FavoritesTestSupport.h"

#include "core/system/ShellItems.h"

#include <gtest/gtest.h>

using favorites_test::CFavoritesTree;
using favorites_test::WaitForMessage;

TEST(FolderChangeWatcher, PostsOneNotificationPerChangeUntilStopped)
{
    CFavoritesTree tree("WatchedLinks");
    const std::string links = tree.Folder("Links");
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    const UINT message = GetFileNotificationMessage();
    {
        CFolderChangeWatcher watcher;
        EXPECT_FALSE(watcher.Start(window, tree.Root() + "Missing\\", false));
        EXPECT_FALSE(watcher.IsRunning());
        ASSERT_TRUE(watcher.Start(window, links, false));
        tree.Link("Links\\New", "http://new.test/");
        EXPECT_TRUE(WaitForMessage(window, message));
        MoveFileA((links + "New.url").c_str(), (links + "Renamed.url").c_str());
        EXPECT_TRUE(WaitForMessage(window, message));
        DeleteFileA((links + "Renamed.url").c_str());
        EXPECT_TRUE(WaitForMessage(window, message));
        watcher.Stop();
        EXPECT_FALSE(watcher.IsRunning());
    }
    DestroyWindow(window);
}
