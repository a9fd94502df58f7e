// CProxyList with its file, its menu and the switching of the mode, with a recording session in
// place of the URL layer's option.
#include "browser/privacy/ProxyList.h"
#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

void WriteFile(const CStdString& path, const std::string& text)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    out << text;
}

std::string MenuText(HMENU menu, UINT id)
{
    char text[256] = "";
    GetMenuStringA(menu, id, text, sizeof(text), MF_BYCOMMAND);
    return text;
}

bool IsChecked(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

struct CRecordingSession : IProxySession {
    struct CCall {
        DWORD accessType;
        std::string server;
        std::string bypass;
    };
    bool SetProxy(DWORD accessType, const std::string& server, const std::string& bypass) override
    {
        calls.push_back({accessType, server, bypass});
        return answer;
    }
    std::vector<CCall> calls;
    bool answer = true;
};

HMENU MakeProxyMenu()
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kIdUseSystemProxy, "Use &IE Proxy");
    AppendMenuA(menu, MF_STRING, kIdNoProxy, "&No Proxy");
    return menu;
}

} // namespace

TEST(ProxyList, LoadsInFileOrderAndSavesWhatWasEdited)
{
    CScratchFolder folder("ProxyListFile");
    const CStdString path = folder / kProxiesFileName;
    WriteFile(path, "[proxy]\r\nwork=10.0.0.1:8080\r\nhome=192.168.1.2:3128\r\n=bare.example:80\r\n"
                    "[bypass]\r\nbypass=*.local;intranet\r\n");
    {
        CProxyList list(path.c_str());
        ASSERT_EQ(3u, list.m_proxies.size());
        EXPECT_EQ((CProxyRecord{"work", "10.0.0.1:8080"}), list.m_proxies[0]);
        EXPECT_EQ((CProxyRecord{"home", "192.168.1.2:3128"}), list.m_proxies[1]);
        EXPECT_EQ("*.local;intranet", list.m_exceptions);
        EXPECT_TRUE(list.Erase(0));
        EXPECT_FALSE(list.Erase(7));
        list.Append({"new", "proxy.example:9000"});
        list.m_exceptions = "localhost";
    }  // saved here
    CProxyList again(path.c_str());
    ASSERT_EQ(3u, again.m_proxies.size());
    EXPECT_EQ("home", again.m_proxies[0].name);
    EXPECT_EQ((CProxyRecord{"new", "proxy.example:9000"}), again.m_proxies[2]);
    EXPECT_EQ("localhost", again.m_exceptions);
}

TEST(ProxyList, MissingOrHostileFilesGiveBoundedLists)
{
    CScratchFolder folder("ProxyListHostile");
    {
        CProxyList missing((folder / "none.ini").c_str());
        EXPECT_TRUE(missing.m_proxies.empty());
        EXPECT_TRUE(missing.m_exceptions.empty());
    }
    std::string text = "[proxy]\r\nhuge=" + std::string(100000, 'x') + "\r\n";
    for (int i = 0; i < 2000; ++i)
        text += "p" + std::to_string(i) + "=h:" + std::to_string(i) + "\r\n";
    text += "[bypass]\r\nbypass=" + std::string(50000, 'b') + "\r\n";
    const CStdString path = folder / kProxiesFileName;
    WriteFile(path, text);
    CProxyList list(path.c_str());
    EXPECT_EQ(CProxyList::kMaxProxies, list.m_proxies.size());
    EXPECT_LE(list.m_proxies[0].server.size(), CProxyList::kMaxTextLength);
    EXPECT_LE(list.m_exceptions.size(), CProxyList::kMaxExceptionsLength);
    // A name with "=" or a line break does not turn into two proxies when saved and read back.
    list.m_proxies.assign({{"a=b\r\nc", "s1"}, {"d", "s2\r\nx=y"}});
    ASSERT_TRUE(list.Save());
    CProxyList back(path.c_str());
    EXPECT_EQ(2u, back.m_proxies.size());
    list.m_proxies.clear();  // leave the file small for the destructor's save
}

TEST(ProxyList, MenuListsTheProxiesAndChecksTheChosenMode)
{
    CScratchFolder folder("ProxyListMenu");
    CProxyList list((folder / kProxiesFileName).c_str());
    list.m_proxies = {{"work", "w:1"}, {"", "unnamed.example:8080"}, {"home", "h:2"}};
    HMENU menu = MakeProxyMenu();
    BuildProxyMenu(menu, list, 1);
    EXPECT_EQ(5, GetMenuItemCount(menu));
    EXPECT_EQ("work", MenuText(menu, kIdFirstProxy));
    EXPECT_EQ("unnamed.example:8080", MenuText(menu, kIdFirstProxy + 1));
    EXPECT_TRUE(IsChecked(menu, kIdFirstProxy + 1));
    EXPECT_FALSE(IsChecked(menu, kIdNoProxy));
    UpdateProxyMenuCheck(menu, 1, kProxyIndexDirect);
    EXPECT_FALSE(IsChecked(menu, kIdFirstProxy + 1));
    EXPECT_TRUE(IsChecked(menu, kIdNoProxy));

    // A rebuild replaces the items; more than 21 proxies get 21 items.
    list.m_proxies.clear();
    for (int i = 0; i < 30; ++i)
        list.m_proxies.push_back({"p" + std::to_string(i), "s"});
    BuildProxyMenu(menu, list, kProxyIndexSystem);
    EXPECT_EQ(2 + 21, GetMenuItemCount(menu));
    EXPECT_EQ("p20", MenuText(menu, kIdLastProxy));
    EXPECT_TRUE(IsChecked(menu, kIdUseSystemProxy));
    list.m_proxies.clear();
    BuildProxyMenu(menu, list, kProxyIndexSystem);
    EXPECT_EQ(2, GetMenuItemCount(menu));
    DestroyMenu(menu);
}

TEST(ProxyList, CommandsAndIndicesMapBothWays)
{
    const struct {
        int index;
        UINT command;
    } cases[] = {{-2, 2061}, {-1, 2062}, {0, 53300}, {20, 53320}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.command, ProxyCommandOfIndex(c.index));
        int index = 99;
        EXPECT_TRUE(ProxyIndexOfCommand(c.command, index));
        EXPECT_EQ(c.index, index);
    }
    EXPECT_EQ(0u, ProxyCommandOfIndex(21));
    EXPECT_EQ(0u, ProxyCommandOfIndex(-3));
    int index = 0;
    EXPECT_FALSE(ProxyIndexOfCommand(53321, index));
}

TEST(ProxyList, SwitchingSetsTheSessionOptionOnlyWhenTheModeChanges)
{
    CScratchFolder folder("ProxyListSwitch");
    CProxyList list((folder / kProxiesFileName).c_str());
    list.m_proxies = {{"work", "10.0.0.1:8080"}};
    list.m_exceptions = "*.corp";
    CRecordingSession session;

    EXPECT_EQ(EProxyApplyResult::kApplied, ApplyProxyIndex(session, list, -1, 0, false, "<local>"));
    ASSERT_EQ(1u, session.calls.size());
    EXPECT_EQ(DWORD(INTERNET_OPEN_TYPE_PROXY), session.calls[0].accessType);
    EXPECT_EQ("10.0.0.1:8080", session.calls[0].server);
    EXPECT_EQ("<local>;*.corp", session.calls[0].bypass);

    // The same proxy again does nothing; at start-up it is applied.
    EXPECT_EQ(EProxyApplyResult::kUnchanged, ApplyProxyIndex(session, list, 0, 0, false, ""));
    EXPECT_EQ(EProxyApplyResult::kApplied, ApplyProxyIndex(session, list, 0, 0, true, ""));
    EXPECT_EQ("*.corp", session.calls.back().bypass);
    EXPECT_EQ(2u, session.calls.size());

    EXPECT_EQ(EProxyApplyResult::kApplied, ApplyProxyIndex(session, list, 0, -1, false, ""));
    EXPECT_EQ(DWORD(INTERNET_OPEN_TYPE_DIRECT), session.calls.back().accessType);
    EXPECT_TRUE(session.calls.back().server.empty());

    // The system's settings: a restart, also when chosen again; nothing is set.
    const size_t before = session.calls.size();
    EXPECT_EQ(EProxyApplyResult::kRestartRequired, ApplyProxyIndex(session, list, -1, -2, false, ""));
    EXPECT_EQ(EProxyApplyResult::kRestartRequired, ApplyProxyIndex(session, list, -2, -2, false, ""));
    EXPECT_EQ(EProxyApplyResult::kUnchanged, ApplyProxyIndex(session, list, -2, -2, true, ""));
    EXPECT_EQ(before, session.calls.size());

    EXPECT_EQ(EProxyApplyResult::kNoSuchProxy, ApplyProxyIndex(session, list, -1, 5, false, ""));
    session.answer = false;
    EXPECT_EQ(EProxyApplyResult::kRefused, ApplyProxyIndex(session, list, -1, 0, false, ""));
}

TEST(ProxyList, BypassJoinsTheSystemAndTheListExceptions)
{
    EXPECT_EQ("<local>;*.corp", MakeProxyBypass("<local>", "*.corp"));
    EXPECT_EQ("<local>", MakeProxyBypass("<local>", ""));
    EXPECT_EQ("*.corp", MakeProxyBypass("", "*.corp"));
}

// Wine's urlmon takes no proxy through its session options: the refusal comes back as a result.
TEST(ProxyList, TheUrlLayerAnswersTheSessionOption)
{
    const bool applied = GetUrlMonProxySession().SetProxy(INTERNET_OPEN_TYPE_DIRECT, {}, {});
    RecordProperty("urlmon_accepts_proxy", applied ? "yes" : "no");
    SUCCEED();
}
