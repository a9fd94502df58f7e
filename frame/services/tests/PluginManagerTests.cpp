// Plug-ins from a scratch "Plugins\" folder: kinds, names, icons, the disabled list, the script
// run in the page, and content paths that try to leave their folder.
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "core/tests/ScratchFolder.h"
#include "frame/services/PluginsPage.h"
#include "frame/services/PluginManager.h"
#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <fstream>

namespace {

void WriteFile(const CStdString& path, const std::string& text)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    out << text;
}

// A 16 x 16 icon file of 32-bit colour.
void WriteIconFile(const CStdString& path)
{
    std::string ico;
    auto put16 = [&](unsigned v) { ico += char(v & 0xFF); ico += char((v >> 8) & 0xFF); };
    auto put32 = [&](unsigned v) { put16(v & 0xFFFF); put16(v >> 16); };
    const unsigned imageSize = 40 + 16 * 16 * 4 + 16 * 4;
    put16(0); put16(1); put16(1);
    ico += char(16); ico += char(16); ico += char(0); ico += char(0);
    put16(1); put16(32); put32(imageSize); put32(22);
    put32(40); put32(16); put32(32); put16(1); put16(32); put32(0); put32(16 * 16 * 4 + 16 * 4);
    put32(0); put32(0); put32(0); put32(0);
    for (int i = 0; i < 16 * 16; ++i)
        put32(0xFF2080C0);
    ico += std::string(16 * 4, '\0');
    WriteFile(path, ico);
}

void MakePlugin(const CScratchFolder& root, const char* name, const std::string& ini, bool icon = true)
{
    CreateDirectoryA((root / name).c_str(), nullptr);
    WriteFile(root / (std::string(name) + "\\plugin.ini").c_str(), ini);
    if (icon)
        WriteIconFile(root / (std::string(name) + "\\icon.ico").c_str());
}

struct CRecordingPage : IPageScript {
    void Exec(const std::string& code_, const std::string& language_) override
    {
        code = code_;
        language = language_;
        ++runs;
    }
    std::string code, language;
    int runs = 0;
};

} // namespace

TEST(PluginManager, FoldersWithPluginIniBecomeButtonsAndPanes)
{
    CScratchFolder root("Plugins");
    MakePlugin(root, "Highlighter", "[General]\r\ntype=button\r\nname=Highlight\r\nname_Deutsch=Hervorheben\r\n"
                                    "filename=run.js\r\nicon=icon.ico\r\nStartAfterPageDone=Yes\r\n");
    WriteFile(root / "Highlighter\\run.js", "<script language=\"JavaScript\">document.title='done';</script>");
    MakePlugin(root, "Notes", "[General]\r\ntype=PANE\r\nname=Notes\r\nfilename=notes.html\r\nicon=icon.ico\r\n");
    MakePlugin(root, "NoIcon", "[General]\r\ntype=Button\r\nname=Without icon\r\nicon=missing.ico\r\n", false);
    MakePlugin(root, "Odd", "[General]\r\ntype=Gadget\r\nname=Odd\r\nicon=icon.ico\r\n");
    MakePlugin(root, "Escape", "[General]\r\ntype=Button\r\nname=Escape\r\nfilename=..\\..\\evil.js\r\nicon=icon.ico\r\n");
    CreateDirectoryA((root / "Empty").c_str(), nullptr);  // no plugin.ini: no plug-in
    WriteFile(root / "stray.txt", "not a folder");

    CPluginManager manager(root.Path().c_str(), "escape;other", "Deutsch");
    ASSERT_EQ(5u, manager.GetAll().size());
    ASSERT_EQ(2u, manager.GetButtons().size());
    ASSERT_EQ(1u, manager.GetPanes().size());
    EXPECT_EQ(3, ImageList_GetImageCount(manager.GetImages()));
    EXPECT_EQ(3, ImageList_GetImageCount(manager.GetHotImages()));  // no hot icon: the normal one serves
    const CPlugin* highlighter = nullptr;
    const CPlugin* odd = nullptr;
    for (const CPlugin& plugin : manager.GetAll()) {
        if (plugin.folderName == "Highlighter")
            highlighter = &plugin;
        if (plugin.folderName == "Odd")
            odd = &plugin;
        EXPECT_EQ(plugin.folderName != "Escape", plugin.enabled) << plugin.folderName;
    }
    ASSERT_TRUE(highlighter && odd);
    EXPECT_EQ("Hervorheben", highlighter->name);
    EXPECT_TRUE(highlighter->startAfterPageDone);
    EXPECT_EQ(kPluginUnknown, odd->type);

    // The button's script runs in the page with its language; the escaping one never runs.
    CRecordingPage page;
    size_t highlighterButton = 0;
    for (size_t i = 0; i < manager.GetButtons().size(); ++i) {
        if (manager.GetAll()[manager.GetButtons()[i]].folderName == "Highlighter")
            highlighterButton = i;
    }
    ASSERT_TRUE(manager.RunButton(highlighterButton, page));
    EXPECT_EQ("document.title='done';", page.code);
    EXPECT_EQ("JavaScript", page.language);
    EXPECT_FALSE(manager.RunButton(1 - highlighterButton, page));
    EXPECT_FALSE(manager.RunButton(7, page));
    EXPECT_EQ(1, page.runs);

    HMENU menu = CreatePopupMenu();
    manager.BuildButtonMenu(menu);
    EXPECT_EQ(1, GetMenuItemCount(menu));  // the disabled button has no item
    DestroyMenu(menu);
}

TEST(PluginManager, ScriptsSplitIntoLanguageAndBody)
{
    const struct {
        const char* content;
        bool ok;
        const char* language;
        const char* body;
    } cases[] = {
        {"<script language='VBScript'>MsgBox 1</script>", true, "VBScript", "MsgBox 1"},
        {"<SCRIPT>alert(1)</SCRIPT>", true, "", "alert(1)"},
        {">alert(1)</script>", false, "", ""},
        {"<script language=\"JavaScript\">no closing tag", false, "", ""},
        {"<div>not a script</div>", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        CPluginScript script;
        EXPECT_EQ(c.ok, SplitPluginScript(c.content, script));
        if (c.ok) {
            EXPECT_EQ(c.language, script.language);
            EXPECT_EQ(c.body, script.body);
        }
    }
}

TEST(PluginManager, ContentPathsStayInTheirFolder)
{
    for (const char* good : {"run.js", "sub\\page.html", "a..b.js"})
        EXPECT_TRUE(IsPluginRelativePath(good)) << good;
    for (const char* bad : {"", "..\\x.js", "sub\\..\\..\\x.js", "C:\\x.js", "\\\\host\\share\\x.js", "/x.js", "sub/../../x"})
        EXPECT_FALSE(IsPluginRelativePath(bad)) << bad;
}

// The script of a button plug-in runs in the page's window through the engine double.

TEST(PluginManager, AButtonScriptRunsInThePageThroughItsWindow)
{
    CScratchFolder root("PluginsInPage");
    MakePlugin(root, "Hello", "[General]\r\ntype=button\r\nname=Hello\r\nfilename=hello.htm\r\nicon=icon.ico\r\n");
    WriteFile(root / "Hello\\hello.htm", "<script language=\"JavaScript\">alert('hi');</script>");
    CPluginManager manager(root.Path().c_str(), "", "English");
    ASSERT_EQ(1u, manager.GetButtons().size());
    CFakeEngine engine;
    CFakeBrowser* browser = engine.MakeBrowser();
    ASSERT_NE(nullptr, browser);
    CComPtr<IDispatch> document;
    ASSERT_HRESULT_SUCCEEDED(browser->get_Document(&document));
    CDocumentPageScript page(document);
    ASSERT_TRUE(manager.RunButton(0, page));
    ASSERT_EQ(1u, browser->scripts.size());
    EXPECT_EQ(L"alert('hi');", browser->scripts[0].first);
    EXPECT_EQ(L"JavaScript", browser->scripts[0].second);
    // A page without a window runs nothing and breaks nothing.
    CDocumentPageScript nothing(nullptr);
    EXPECT_TRUE(manager.RunButton(0, nothing));
    EXPECT_EQ(1u, browser->scripts.size());
}

TEST(PluginManager, ThePluginsPageSwitchesPluginsAndShowsTheirDetails)
{
    CScratchFolder root("PluginsPage");
    MakePlugin(root, "Greeter",
               "[General]\r\ntype=Button\r\nname=Greeter\r\nfilename=g.htm\r\nicon=icon.ico\r\nauthor=Ann\r\n"
               "email=ann@example.org\r\nwebsite=http://greeter.example/\r\nversion=1.2\r\ncomments=Says hello\r\n"
               "StartAfterPageDone=yes\r\n");
    MakePlugin(root, "NotesPane", "[General]\r\ntype=Pane\r\nname=Notes\r\nfilename=n.htm\r\nicon=icon.ico\r\n");
    CPluginManager manager(root.Path().c_str(), "notespane", "English");
    ASSERT_EQ(2u, manager.GetAll().size());
    int applied = 0;
    HWND host = CreateWindowExA(0, "#32770", "Options", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 20, 20, 460, 400,
                                nullptr, nullptr, nullptr, nullptr);
    CPluginsPage page(&manager, [&] { ++applied; });
    ASSERT_NE(nullptr, page.Create(host));
    page.ShowWindow(SW_SHOW);
    HWND view = page.GetDlgItem(kIdPluginList);
    ASSERT_EQ(2, SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    size_t greeter = manager.GetAll()[0].folderName == "Greeter" ? 0 : 1;
    const size_t notes = 1 - greeter;
    EXPECT_TRUE(ListView_GetCheckState(view, int(greeter)));
    EXPECT_FALSE(ListView_GetCheckState(view, int(notes)));  // disabled by its name in small letters
    EXPECT_FALSE(IsWindowEnabled(page.GetDlgItem(kIdPluginAutoRun)));

    // Selecting a row shows its details, read from its file.
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(view, LVM_SETITEMSTATE, greeter, reinterpret_cast<LPARAM>(&state));
    char text[128] = "";
    page.GetDlgItemTextA(kIdPluginAuthor, text, sizeof(text));
    EXPECT_STREQ("Ann", text);
    page.GetDlgItemTextA(kIdPluginWebsite, text, sizeof(text));
    EXPECT_STREQ("http://greeter.example/", text);
    page.GetDlgItemTextA(kIdPluginComments, text, sizeof(text));
    EXPECT_STREQ("Says hello", text);
    EXPECT_EQ(BST_CHECKED, page.IsDlgButtonChecked(kIdPluginAutoRun));
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(page, "services_plugins_page.bmp", path));

    // Apply: the unchecked ones become the disabled list, and the frame is told.
    ListView_SetCheckState(view, int(greeter), FALSE);
    ListView_SetCheckState(view, int(notes), TRUE);
    EXPECT_EQ(0, page.OnApply());
    EXPECT_EQ(1, applied);
    EXPECT_FALSE(manager.GetAll()[greeter].enabled);
    EXPECT_TRUE(manager.GetAll()[notes].enabled);
    EXPECT_STREQ("greeter", GetSettings()->DisabledPlugins.value.c_str());
    GetSettings()->DisabledPlugins.value = "";
    page.DestroyWindow();
    DestroyWindow(host);
}
