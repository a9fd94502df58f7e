// The Proxy page and the proxy dialog with real windows: the page lists the proxy list, adds,
// edits and deletes records through the dialog (answered for the user) and stores the exception
// text on apply; the dialog enables OK only with a name and an address and shows the name in its
// caption. Screenshots of both.
#include "browser/privacy/FramePrivacyMenus.h"
#include "browser/privacy/ProxyPage.h"
#include "controls/tests/Screenshot.h"
#include "core/system/MessageBoxes.h"
#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

struct CAnsweringEditor : IProxyRecordEditor {
    bool Edit(HWND, CProxyRecord& record) override
    {
        seen.push_back(record);
        if (!answer)
            return false;
        record = *answer;
        return true;
    }
    std::optional<CProxyRecord> answer;
    std::vector<CProxyRecord> seen;
};

struct CAnsweringBoxes : IMessageBoxes {
    int Show(HWND, const char* text, const char*, UINT) override
    {
        texts.push_back(text ? text : "");
        return reply;
    }
    int reply = IDYES;
    std::vector<std::string> texts;
};

void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string ListText(HWND view, int row, int column)
{
    char text[256] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(view, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

void Click(HWND page, int id)
{
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void Select(HWND view, int row)
{
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

} // namespace

TEST(ProxyPage, ThePageEditsTheListAndAppliesTheExceptions)
{
    CScratchFolder folder("ProxyPage");
    CProxyList list((folder / kProxiesFileName).c_str());
    list.m_proxies = {{"Office", "10.0.0.1:8080"}, {"", "cache.example:3128"}};
    list.m_exceptions = "*.local";
    CAnsweringEditor editor;
    CAnsweringBoxes boxes;
    CScopedMessageBoxes boxesScope(boxes);
    HWND host = CreateWindowExA(0, "#32770", "Options", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 20, 20, 460, 380,
                                nullptr, nullptr, nullptr, nullptr);
    CProxyPage page(&list, editor);
    ASSERT_NE(nullptr, page.Create(host));
    page.ShowWindow(SW_SHOW);
    HWND view = page.GetDlgItem(IDC_PROXY_LIST);
    EXPECT_EQ(2, SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("Office", ListText(view, 0, 0));
    EXPECT_EQ("10.0.0.1:8080", ListText(view, 0, 1));
    EXPECT_EQ("cache.example:3128", ListText(view, 1, 1));
    // Nothing selected: Edit and Delete are greyed.
    EXPECT_FALSE(IsWindowEnabled(page.GetDlgItem(IDC_PROXY_EDIT)));
    EXPECT_FALSE(IsWindowEnabled(page.GetDlgItem(IDC_PROXY_DELETE)));

    // New: the dialog starts empty; its record goes to the end and is selected.
    editor.answer = CProxyRecord{"Home", "127.0.0.1:3128"};
    Click(page, IDC_PROXY_NEW);
    ASSERT_EQ(1u, editor.seen.size());
    EXPECT_EQ(CProxyRecord{}, editor.seen[0]);
    ASSERT_EQ(3u, list.m_proxies.size());
    EXPECT_EQ((CProxyRecord{"Home", "127.0.0.1:3128"}), list.m_proxies[2]);
    EXPECT_EQ(3, SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(2, page.GetSelection());
    EXPECT_TRUE(IsWindowEnabled(page.GetDlgItem(IDC_PROXY_EDIT)));

    // Edit: the dialog starts with the selected record, which its answer replaces; a cancelled
    // dialog changes nothing.
    Select(view, 0);
    editor.answer = CProxyRecord{"Office 2", "10.0.0.2:8080"};
    Click(page, IDC_PROXY_EDIT);
    EXPECT_EQ((CProxyRecord{"Office", "10.0.0.1:8080"}), editor.seen.back());
    EXPECT_EQ((CProxyRecord{"Office 2", "10.0.0.2:8080"}), list.m_proxies[0]);
    EXPECT_EQ("Office 2", ListText(view, 0, 0));
    editor.answer.reset();
    Click(page, IDC_PROXY_EDIT);
    EXPECT_EQ((CProxyRecord{"Office 2", "10.0.0.2:8080"}), list.m_proxies[0]);

    // Delete asks first: No keeps the record, Yes erases it.
    Select(view, 1);
    boxes.reply = IDNO;
    Click(page, IDC_PROXY_DELETE);
    EXPECT_EQ(3u, list.m_proxies.size());
    boxes.reply = IDYES;
    Click(page, IDC_PROXY_DELETE);
    ASSERT_EQ(2u, list.m_proxies.size());
    EXPECT_EQ("Home", list.m_proxies[1].name);
    EXPECT_EQ(2, SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(2u, boxes.texts.size());

    // The exception text is stored only when the page is applied.
    char exceptions[64] = "";
    page.GetDlgItemTextA(IDC_PROXY_EXCEPTIONS, exceptions, sizeof(exceptions));
    EXPECT_STREQ("*.local", exceptions);
    page.SetDlgItemTextA(IDC_PROXY_EXCEPTIONS, "*.local;intranet");
    EXPECT_EQ("*.local", list.m_exceptions);
    EXPECT_EQ(0, page.OnApply());
    EXPECT_EQ("*.local;intranet", list.m_exceptions);

    UpdateWindow(host);
    Pump();
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(page, "services_proxy_page_filled.bmp", path));
    page.DestroyWindow();
    DestroyWindow(host);
}

TEST(ProxyPage, TheDialogNeedsANameAndAnAddress)
{
    EXPECT_EQ("Proxy - Office", CProxyDlg::MakeCaption("Office"));
    CProxyDlg dialog(CProxyRecord{"Office", ""});
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    dialog.ShowWindow(SW_SHOW);
    char caption[128] = "";
    dialog.GetWindowTextA(caption, sizeof(caption));
    EXPECT_STREQ("Proxy - Office", caption);
    EXPECT_FALSE(IsWindowEnabled(dialog.GetDlgItem(IDOK)));
    dialog.SetDlgItemTextA(IDC_PROXY_ADDRESS, "10.0.0.1:8080");
    EXPECT_TRUE(IsWindowEnabled(dialog.GetDlgItem(IDOK)));
    dialog.SetDlgItemTextA(IDC_PROXY_NAME, "Lab");
    dialog.GetWindowTextA(caption, sizeof(caption));
    EXPECT_STREQ("Proxy - Lab", caption);
    Pump();
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(dialog, "services_proxy_dialog.bmp", path));
    dialog.SetDlgItemTextA(IDC_PROXY_NAME, "");
    EXPECT_FALSE(IsWindowEnabled(dialog.GetDlgItem(IDOK)));
    // A keyboard OK with an empty field does nothing.
    dialog.SendMessageA(WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(dialog.IsWindow());
    dialog.SetDlgItemTextA(IDC_PROXY_NAME, "Lab");
    HWND window = dialog.m_hWnd;
    dialog.SendMessageA(WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ((CProxyRecord{"Lab", "10.0.0.1:8080"}), dialog.GetRecord());
}

namespace {

struct CRecordingSession : IProxySession {
    bool SetProxy(DWORD accessType, const std::string& server, const std::string& bypass) override
    {
        calls.push_back({accessType, server, bypass});
        return accept;
    }
    struct CCall {
        DWORD accessType;
        std::string server, bypass;
    };
    bool accept = false;
    std::vector<CCall> calls;
};

struct CLevelPrivacy : IPrivacyApi {
    std::optional<DWORD> GetZoneTemplate(DWORD party) override { return party == kPrivacyFirstParty ? first : third; }
    bool SetZoneTemplate(DWORD party, DWORD value) override
    {
        (party == kPrivacyFirstParty ? first : third) = value;
        return true;
    }
    std::optional<DWORD> GetActionPolicy(DWORD) override { return kUrlPolicyAllow; }
    bool SetActionPolicy(DWORD, DWORD) override { return true; }
    bool HasPrivacyLevels() override { return true; }
    DWORD first = 1;
    DWORD third = 3;
};

} // namespace

TEST(FramePrivacyMenus, TheMenusOfTheFrameUseTheListTheSessionAndThePrivacySeam)
{
    CScratchFolder folder("FramePrivacy");
    CProxyList list((folder / kProxiesFileName).c_str());
    list.m_proxies = {{"Office", "10.0.0.1:8080"}, {"", "cache.example:3128"}};
    CRecordingSession session;
    CLevelPrivacy privacy;
    CFramePrivacyMenus menus(&list, session, privacy);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kIdUseSystemProxy, "Use &IE Proxy");
    AppendMenuA(menu, MF_STRING, kIdNoProxy, "&No Proxy");
    menus.BuildProxyMenu(menu, 1);
    char text[64] = "";
    GetMenuStringA(menu, kIdFirstProxy + 1, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ("cache.example:3128", text);
    EXPECT_TRUE(GetMenuState(menu, kIdFirstProxy + 1, MF_BYCOMMAND) & MF_CHECKED);
    menus.UpdateProxyMenuCheck(menu, 1, -1);
    EXPECT_FALSE(GetMenuState(menu, kIdFirstProxy + 1, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(menu, kIdNoProxy, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(menu);

    // Wine's URL layer refuses the proxy: the refusal is the answer, nothing breaks.
    EXPECT_EQ(EFrameProxyResult::kRefused, menus.ApplyProxy(-1, 0, false));
    ASSERT_EQ(1u, session.calls.size());
    EXPECT_EQ("10.0.0.1:8080", session.calls[0].server);
    session.accept = true;
    EXPECT_EQ(EFrameProxyResult::kApplied, menus.ApplyProxy(0, -1, false));
    EXPECT_EQ(EFrameProxyResult::kUnchanged, menus.ApplyProxy(-1, -1, false));
    EXPECT_EQ(EFrameProxyResult::kRestartRequired, menus.ApplyProxy(-1, -2, false));
    EXPECT_EQ(EFrameProxyResult::kNoSuchProxy, menus.ApplyProxy(-1, 7, false));

    // The cookie menu: the start-up templates are remembered, a level is set for both parties and
    // Custom puts the remembered ones back.
    menus.RememberCookiePreferences();
    EXPECT_TRUE(menus.OnCookieCommand(kIdCookiesBlockAll));
    EXPECT_EQ(0u, privacy.first);
    EXPECT_EQ(0u, privacy.third);
    EXPECT_TRUE(menus.OnCookieCommand(kIdCookiesCustom));
    EXPECT_EQ(1u, privacy.first);
    EXPECT_EQ(3u, privacy.third);
    EXPECT_FALSE(menus.OnCookieCommand(kIdFirstProxy));
}
