// The favicon cache: its keys, the loader thread that never blocks the asking thread, a real
// download of "favicon.ico" through urlmon from a server on 127.0.0.1, and the stop at exit.
#include "navigation/tests/LocalHttpServer.h"

#include "navigation/FavIconCache.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <atomic>

namespace {

TEST(FavIconKeys, SitesShareOneKeyAndBuiltInPagesNeedNoFetch)
{
    struct {
        const char* address;
        const char* key;
        EFavIconKind kind;
    } const cases[] = {
        {"www.x.org/a", "http://www.x.org/", EFavIconKind::Site},
        {"HTTP://WWW.X.ORG/b?c=d", "http://www.x.org/", EFavIconKind::Site},
        {"https://Mail.Example.com:8443/inbox", "https://mail.example.com:8443/", EFavIconKind::Site},
        {"about:config", "about:blank", EFavIconKind::BuiltIn},
        {"res://shdoclc.dll/x.htm", "about:blank", EFavIconKind::BuiltIn},
        {"C:\\Files\\a.txt", "C:\\Files\\a.txt", EFavIconKind::File},
        {"WWW.x.com", "WWW.x.com", EFavIconKind::File},
        {"", "", EFavIconKind::File},
    };
    for (const auto& c : cases) {
        EFavIconKind kind = EFavIconKind::BuiltIn;
        EXPECT_EQ(c.key, GetFavIconKey(c.address, &kind)) << c.address;
        EXPECT_EQ(c.kind, kind) << c.address;
    }
}

// A source whose site fetch waits until the test lets it go (or the cache stops), so the test
// holds the loader busy on purpose.
class CHeldSource : public IFavIconSource {
public:
    CHandle started{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    CHandle release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int> siteFetches{0};
    std::atomic<int> shellLookups{0};
    std::atomic<bool> sawStop{false};
    HICON icon = nullptr;  // not owned: handed out as a copy

    HICON FetchSiteIcon(const std::string& url, HANDLE stopEvent) override
    {
        ++siteFetches;
        lastUrl = url;
        SetEvent(started);
        const HANDLE events[2] = {release, stopEvent};
        if (WaitForMultipleObjects(2, events, FALSE, 60000) == WAIT_OBJECT_0 + 1) {
            sawStop = true;
            return nullptr;
        }
        return icon ? CopyIcon(icon) : nullptr;
    }
    int GetShellIconIndex(const std::string& path) override
    {
        ++shellLookups;
        return path.find(".txt") != std::string::npos ? 11 : -1;  // every text file has one shell icon
    }
    HICON GetShellIcon(int) override { return icon ? CopyIcon(icon) : nullptr; }
    std::string ReadShortcutUrl(const std::string&) override { return "http://shortcut.example/"; }
    std::string lastUrl;
};

template <typename Predicate>
bool WaitFor(Predicate done, DWORD deadline = 30000)
{
    const DWORD start = GetTickCount();
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool ok = true;
    while (!done()) {
        if (GetTickCount() - start > deadline) {
            ok = false;
            break;
        }
        WaitForSingleObject(never, 20);
    }
    CHandle holder(never);
    return ok;
}

TEST(FavIconCache, LookupsAnswerAtOnceWhileTheLoaderIsBusyAndEachSiteIsFetchedOnce)
{
    auto source = std::make_unique<CHeldSource>();
    CHeldSource* held = source.get();
    held->icon = LoadIcon(nullptr, IDI_APPLICATION);
    CFavIconCache cache(std::move(source), {});
    ASSERT_TRUE(cache.GetImageList());
    EXPECT_EQ(kFavIconBaseImages, ImageList_GetImageCount(cache.GetImageList()));

    EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex("http://a.example/one"));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held->started, 30000));
    EXPECT_EQ("http://a.example/favicon.ico", held->lastUrl);
    // The loader is inside the fetch: every lookup still answers at once.
    EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex("http://a.example/two"));
    EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex("http://b.example/"));
    EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex("about:blank"));
    EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex(""));
    SetEvent(held->release);

    ASSERT_TRUE(WaitFor([&] { return cache.GetIconIndex("http://a.example/three") != kDefaultPageIcon; }));
    const int site = cache.GetIconIndex("HTTP://A.EXAMPLE/four");
    EXPECT_GE(site, kFavIconBaseImages);
    ASSERT_TRUE(WaitFor([&] { return cache.GetIconIndex("http://b.example/x") != kDefaultPageIcon; }));
    EXPECT_EQ(2, held->siteFetches.load()) << "one fetch per site, however often it was asked";

    // Two files with the same shell icon share one image; a file without one keeps 4.
    ASSERT_TRUE(WaitFor([&] { return cache.GetIconIndex("C:\\a.txt") != kDefaultPageIcon; }));
    ASSERT_TRUE(WaitFor([&] { return cache.GetIconIndex("C:\\b.txt") != kDefaultPageIcon; }));
    EXPECT_EQ(cache.GetIconIndex("C:\\a.txt"), cache.GetIconIndex("C:\\b.txt"));
    cache.QueueRequest("C:\\Favorites\\Some.URL");  // a shortcut stands for its URL
    ASSERT_TRUE(WaitFor([&] { return held->siteFetches == 3; }));
    EXPECT_EQ("http://shortcut.example/favicon.ico", held->lastUrl);
}

TEST(FavIconCache, StoppingCancelsAFetchInProgress)
{
    auto source = std::make_unique<CHeldSource>();
    CHeldSource* held = source.get();
    {
        CFavIconCache cache(std::move(source), {"http://slow.example/"});
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held->started, 30000));
    }  // the fetch is never released: the stop event ends it
    EXPECT_TRUE(held->sawStop);
}

class FavIconDownload : public ::testing::Test {
protected:
    static void Forget(const std::string& root)
    {
        // The Internet cache of the test prefix outlives the run; an entry left by an earlier run
        // on the same port would answer without the server.
        DeleteUrlCacheEntryA((root + "favicon.ico").c_str());
    }
};

TEST_F(FavIconDownload, FetchesFaviconFromTheLocalServerOnItsOwnThread)
{
    nav_test::CLocalHttpServer server("/favicon.ico", nav_test::MakeIconFile(RGB(200, 30, 30)), true);
    ASSERT_NE(0, server.Port());
    Forget(server.Root());
    CFavIconCache cache(CreateSystemFavIconSource(), {});

    const std::string page = server.Root() + "index.html";
    EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex(page));
    // The server holds its answer: the loader waits in the download, the asking thread does not.
    ASSERT_TRUE(server.WaitForRequests(1));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex(page));
    server.Release();
    ASSERT_TRUE(WaitFor([&] { return cache.GetIconIndex(page) != kDefaultPageIcon; }));
    EXPECT_GE(cache.GetIconIndex(server.Root()), kFavIconBaseImages);
    EXPECT_EQ(1, server.Requests());
}

TEST_F(FavIconDownload, MissingDamagedOrUnreachableIconsLeaveTheDefault)
{
    nav_test::CLocalHttpServer damaged("/favicon.ico", "this is not an icon at all");
    nav_test::CLocalHttpServer missing("/other.ico", "");
    // Made before the closed port is chosen, so the two can never be the same port.
    nav_test::CLocalHttpServer good("/favicon.ico", nav_test::MakeIconFile(RGB(30, 30, 200)));
    Forget(damaged.Root());
    Forget(missing.Root());
    // A port nothing listens on: the server below is gone before the cache asks.
    std::string refused;
    {
        nav_test::CLocalHttpServer gone("/favicon.ico", "");
        refused = gone.Root();
    }
    Forget(refused);
    CFavIconCache cache(CreateSystemFavIconSource(), {});
    const std::string sites[] = {damaged.Root(), missing.Root(), refused};
    for (const std::string& site : sites)
        EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex(site + "page"));
    // The loader takes its queue in order: once a good site queued after them has its icon, the
    // three failures are recorded.
    Forget(good.Root());
    EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex(good.Root()));
    ASSERT_TRUE(WaitFor([&] { return cache.GetIconIndex(good.Root()) != kDefaultPageIcon; }));
    EXPECT_EQ(4, cache.GetFetchCount());
    for (const std::string& site : sites)
        EXPECT_EQ(kDefaultPageIcon, cache.GetIconIndex(site));
    EXPECT_EQ(kFavIconBaseImages + 1, ImageList_GetImageCount(cache.GetImageList()));
    EXPECT_EQ(1, damaged.Requests()) << "a failed site is not fetched again";
}

}  // namespace

namespace {

TEST_F(FavIconDownload, ExitWhileADownloadWaitsDoesNotHang)
{
    nav_test::CLocalHttpServer server("/favicon.ico", nav_test::MakeIconFile(RGB(0, 128, 0)), true);
    Forget(server.Root());
    {
        CFavIconCache cache(CreateSystemFavIconSource(), {server.Root()});
        ASSERT_TRUE(server.WaitForRequests(1));
    }  // the answer is still held: the binding is cancelled or the loader is let go, never killed
    server.Release();
}

}  // namespace
