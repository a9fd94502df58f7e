// The update check: the decision read from "kvbver.ini" and the worker against a server of the
// test's own on 127.0.0.1.
#include "frame/services/tests/TinyHttpServer.h"  // first: winsock2.h goes before windows.h

#include "core/tests/ScratchFolder.h"
#include "frame/services/UpdateCheck.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

void WriteFile(const CStdString& path, const std::string& text)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    out << text;
}

// Waits for the worker's result message with a generous deadline; false when none came.
bool WaitForResult(HWND window, MSG& result)
{
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (GetTickCount64() < deadline) {
        if (PeekMessageA(&result, window, kMsgUpdateCheckDone, kMsgUpdateCheckDone, PM_REMOVE))
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
    }
    return false;
}

struct CMessageWindow {
    CMessageWindow() : handle(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~CMessageWindow() { DestroyWindow(handle); }
    CMessageWindow(const CMessageWindow&) = delete;
    CMessageWindow& operator=(const CMessageWindow&) = delete;
    HWND handle;
};

} // namespace

TEST(UpdateCheck, VersionsCompareAsDottedNumbers)
{
    const struct {
        const char* left;
        const char* right;
        std::optional<int> order;
    } cases[] = {
        {"1.9", "1.10", -1}, {"1.10", "1.9", 1}, {"1.0", "1.0.0", 0}, {"2.0.1", "2.0", 1},
        {"1.0", "1.0b", std::nullopt}, {"", "1.0", std::nullopt}, {"1..2", "1.2", std::nullopt},
        {"1.0", "99999999999.0", std::nullopt}, {"1.0", "1.2.3.4.5.6.7.8.9", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.left) + " vs " + c.right);
        EXPECT_EQ(c.order, CompareVersions(c.left, c.right));
    }
}

TEST(UpdateCheck, OnlyWebAddressesReplaceTheBuiltInOne)
{
    const std::string builtIn = "http://update.example/kvbver.ini";
    EXPECT_EQ("https://mirror.example/v.ini", ChooseUpdateUrl("https://mirror.example/v.ini", builtIn));
    for (const char* bad : {"", "gopher://old.example/kvbver.ini", "C:\\kvbver.ini", "\\\\host\\share\\kvbver.ini"})
        EXPECT_EQ(builtIn, ChooseUpdateUrl(bad, builtIn)) << bad;
}

TEST(UpdateCheck, TheFileDecidesWhatIsOffered)
{
    CScratchFolder folder("UpdateDecision");
    const CStdString path = folder / kUpdateInfoFileName;
    const struct {
        const char* text;
        const char* language;
        EUpdateDecision decision;
    } cases[] = {
        {"[main]\r\nversion=1.10\r\ndownloadurl=http://kivo.example/get\r\n", "English", EUpdateDecision::kOfferNewVersion},
        {"[main]\r\nversion=1.9\r\ndownloadurl=http://kivo.example/get\r\n", "English", EUpdateDecision::kUpToDate},
        {"[main]\r\nreleasedate=today\r\n", "English", EUpdateDecision::kUpToDate},
        {"[main]\r\nversion=latest!\r\n", "English", EUpdateDecision::kBadVersion},
        {"[main]\r\nversion=2.0\r\ndownloadurl=\\\\evil\\share\\setup.exe\r\n", "English", EUpdateDecision::kBadVersion},
        {"garbage \x01\x02 no sections", "English", EUpdateDecision::kUpToDate},
        {"[main]\r\nversion=1.9\r\n[language]\r\nDeutsch=1.5\r\ndownloadurl=http://kivo.example/lng/\r\n", "Deutsch",
         EUpdateDecision::kUpdateLanguage},
        {"[main]\r\nversion=1.9\r\n[language]\r\nEnglish=9.0\r\ndownloadurl=http://kivo.example/lng/\r\n", "English",
         EUpdateDecision::kUpToDate},
        {"[main]\r\nversion=1.9\r\n[language]\r\nDeutsch=1.0\r\ndownloadurl=http://kivo.example/lng/\r\n", "Deutsch",
         EUpdateDecision::kUpToDate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        WriteFile(path, c.text);
        const CUpdateResult result = ReadUpdateInfo(path.c_str(), "1.9", c.language, false, "1.0");
        EXPECT_EQ(c.decision, result.decision);
        if (c.decision == EUpdateDecision::kUpdateLanguage) {
            EXPECT_EQ("http://kivo.example/lng/Deutsch.lng", result.info.languageFileUrl);
        }
    }
    EXPECT_EQ(EUpdateDecision::kUnreadable,
              ReadUpdateInfo((folder / "missing.ini").c_str(), "1.9", "English", false, "").decision);
}

TEST(UpdateCheck, TheWorkerFetchesFromTheServerAndPostsItsResult)
{
    CScratchFolder folder("UpdateWorker");
    const CStdString local = folder / kUpdateInfoFileName;
    CTinyHttpServer server({{"/new/kvbver.ini", "[main]\r\nversion=2.0\r\ndownloadurl=http://kivo.example/get\r\n"},
                            {"/same/kvbver.ini", "[main]\r\nversion=1.9\r\n"},
                            {"/bad/kvbver.ini", "[main]\r\nversion=\x7f\x7f\r\n"}});
    CMessageWindow window;
    CUpdateCheck check;
    const struct {
        std::string url;
        bool downloaded;
        EUpdateDecision decision;
    } cases[] = {
        {server.Url("/new/kvbver.ini"), true, EUpdateDecision::kOfferNewVersion},
        {server.Url("/same/kvbver.ini"), true, EUpdateDecision::kUpToDate},
        {server.Url("/bad/kvbver.ini"), true, EUpdateDecision::kBadVersion},
        {server.Url("/missing/kvbver.ini"), false, EUpdateDecision::kUnreadable},
        {"http://127.0.0.1:1/kvbver.ini", false, EUpdateDecision::kUnreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        ASSERT_TRUE(check.Start(window.handle, c.url, local.c_str(), true));
        MSG result{};
        ASSERT_TRUE(WaitForResult(window.handle, result));
        EXPECT_EQ(1u, result.wParam);
        EXPECT_EQ(c.downloaded ? 1 : 0, result.lParam);
        check.Stop();
        const CUpdateResult read = ReadUpdateInfo(local.c_str(), "1.9", "English", false, "");
        EXPECT_EQ(c.decision, read.decision);
        DeleteFileA(local.c_str());
    }
}

TEST(UpdateCheck, StoppingAStartedCheckEndsTheWorkerWithinItsTimeOut)
{
    CScratchFolder folder("UpdateStop");
    CMessageWindow window;
    CUpdateCheck check;
    // Nothing listens there: the worker is in its download when it is stopped.
    ASSERT_TRUE(check.Start(window.handle, "http://127.0.0.1:1/kvbver.ini", (folder / kUpdateInfoFileName).c_str(), false));
    EXPECT_FALSE(check.Start(window.handle, "http://127.0.0.1:1/kvbver.ini", (folder / kUpdateInfoFileName).c_str(), false));
    check.Stop();
    EXPECT_FALSE(check.IsRunning());
    MSG stray{};
    EXPECT_FALSE(PeekMessageA(&stray, window.handle, kMsgUpdateCheckDone, kMsgUpdateCheckDone, PM_REMOVE));
}

TEST(UpdateCheck, AFinishedCheckIsNotRunningAndANewOneStarts)
{
    CScratchFolder folder("UpdateAgain");
    CMessageWindow window;
    CUpdateCheck check;
    const std::string local = (folder / kUpdateInfoFileName).c_str();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        // Without a Stop between them: the user's check after the start-up one must not be refused.
        ASSERT_TRUE(check.Start(window.handle, "http://127.0.0.1:1/kvbver.ini", local, round == 1));
        MSG result{};
        ASSERT_TRUE(WaitForResult(window.handle, result));
        const ULONGLONG deadline = GetTickCount64() + 60000;
        while (check.IsRunning() && GetTickCount64() < deadline)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        EXPECT_FALSE(check.IsRunning());
    }
}

TEST(UpdateCheck, ANewerLanguageFileReplacesTheInstalledOneOnlyWhenItIsOne)
{
    CScratchFolder folder("UpdateLanguage");
    const std::string installed = (folder / "Deutsch.lng").c_str();
    const std::string oldText = "[Info]\r\nVersion=1.0\r\n[String]\r\nOpen=Alt\r\n";
    const std::string newText = "[Info]\r\nVersion=2.0\r\n[String]\r\nOpen=Neu\r\n";
    CTinyHttpServer server({{"/lng/Deutsch.lng", newText},
                            {"/lng/page.lng", "<html><body>Not found, but with a page</body></html>"}});
    auto read = [&] {
        std::ifstream in(installed, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    auto leftovers = [&] {
        int count = 0;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder / "KIV*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do
                ++count;
            while (FindNextFileA(find, &data));
            FindClose(find);
        }
        return count;
    };
    const struct {
        std::string url;
        bool replaced;
    } cases[] = {
        {server.Url("/lng/page.lng"), false},       // an answer that is no language file
        {server.Url("/lng/missing.lng"), false},    // the server's error answer
        {"http://127.0.0.1:1/Deutsch.lng", false},  // no server
        {"file:///C:/Deutsch.lng", false},          // not a web address
        {server.Url("/lng/Deutsch.lng"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        WriteFile(installed.c_str(), oldText);
        EXPECT_EQ(c.replaced, UpdateLanguageFile(c.url, installed));
        EXPECT_EQ(c.replaced ? newText : oldText, read());
        EXPECT_EQ(0, leftovers());
    }
}
