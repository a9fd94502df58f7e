// One user and the page tools on one page: the source view shows the page's HTML in the
// syntax-colouring edit control, the page analyzer lists what the page is made of, the search
// bar's highlight button marks the searched words in the page, and a link to a file is handed to
// the download manager (the tests' stand-in program) instead of being loaded.
#include "controls/tests/TreeViewText.h"
#include "tests/scenario/ScenarioWorld.h"

#include "browser/BrowserResources.h"
#include "browser/BrowserView.h"
#include "browser/tools/DownloadHandOff.h"
#include "browser/tools/FindHighlight.h"
#include "browser/tools/PageAnalyzer.h"
#include "browser/tools/SourceView.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/app/WindowFinder.h"
#include "core/system/Holders.h"
#include "core/tests/ScratchFolder.h"
#include "core/tests/TestProcess.h"
#include "editctl/Quillpoint.h"
#include "frame/FrameResources.h"
#include "platform/AtlBase.h"

#include "tests/engine/FakeDocument.h"
#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

using scenario::CScenarioWorld;

namespace {

constexpr UINT kEditIsReadOnly = 0x53B;
constexpr const char* kManagerFolderVariable = "KIVO_TEST_DM_DIR";

const char kPageHtml[] =
    "<html>\r\n<head><title>Kivo downloads</title><script src=\"menu.js\"></script></head>\r\n"
    "<body>\r\n<h1>Kivo opens tabs</h1>\r\n<img src=\"logo.gif\" alt=\"logo\">\r\n"
    "<a href=\"files/setup.zip\">Get the tabs setup</a>\r\n</body>\r\n</html>\r\n";

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The toolbar button of a command anywhere in the main window (the search bar's own toolbar too),
// clicked as the user does: mouse button down and up over its middle.
struct ButtonSearch {
    UINT command;
    HWND toolBar;
};

BOOL CALLBACK FindToolBarWithButton(HWND window, LPARAM searchPointer)
{
    auto* search = reinterpret_cast<ButtonSearch*>(searchPointer);
    char name[64] = "";
    ::GetClassNameA(window, name, sizeof(name));
    if (std::string(name) != TOOLBARCLASSNAMEA || !::IsWindowVisible(window))
        return TRUE;
    if (::SendMessageA(window, TB_COMMANDTOINDEX, search->command, 0) < 0)
        return TRUE;
    search->toolBar = window;
    return FALSE;
}

bool ClickButtonOf(CScenarioWorld& world, UINT command)
{
    ButtonSearch search = {command, nullptr};
    ::EnumChildWindows(world.Window(), &FindToolBarWithButton, reinterpret_cast<LPARAM>(&search));
    RECT rect = {};
    if (!search.toolBar || !::SendMessageA(search.toolBar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&rect)))
        return false;
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::SendMessageA(search.toolBar, WM_MOUSEMOVE, 0, point);
    ::SendMessageA(search.toolBar, WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::SendMessageA(search.toolBar, WM_LBUTTONUP, 0, point);
    world.Load();
    return true;
}

// A command of the tab's own menu (its context menu on the tab strip), as the menu sends it.
void TabCommand(CScenarioWorld& world, HWND tab, UINT id)
{
    ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    world.Load();
}

using kivo_test::DumpTree;
using kivo_test::TreeItemText;

std::string ReadFileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

HWND DownloadManager()
{
    return CWindowFinder(kDownloadManagerClass, kDownloadManagerQuestion).Find();
}

// The stand-in download manager, installed where the real one keeps its location; it answers
// "take" and writes what it was handed into the scenario's folder. Closed again at the end.
class CInstalledDownloadManager {
public:
    CInstalledDownloadManager() : m_folder("scenario-download-manager")
    {
        ::SetEnvironmentVariableA(kManagerFolderVariable, m_folder.Path().c_str());
        std::ofstream(std::string(m_folder.Path().c_str()) + "mode.txt") << "take\n";
        CRegistryNamesScope names(kDownloadManagerCompany, kDownloadManagerApplication);
        GetSettingsStore()->WriteString("Settings", "ProgLocation",
                                        (testproc::ProgramFolder() + "pagetools_download_manager.exe").c_str());
        GetSettingsStore()->WriteInt("Config", "MonitorFlags", kMonitorFlagHandOff | kMonitorFlagNewEngines);
        GetSettingsStore()->WriteString("Config", "MonitorFileExtList", ".zip .exe");
        LoadMonitorFileExtList();
        m_present = GetSettings()->DownloadManagerPresent;
        GetSettings()->DownloadManagerPresent = true;
    }
    ~CInstalledDownloadManager()
    {
        while (HWND window = DownloadManager()) {
            DWORD processId = 0;
            ::GetWindowThreadProcessId(window, &processId);
            CHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
            ::PostMessageA(window, WM_CLOSE, 0, 0);
            if (!process || ::WaitForSingleObject(process, 30000) != WAIT_OBJECT_0)
                break;
        }
        GetSettings()->DownloadManagerPresent = m_present;
        GetMonitoredExtensions().SetFromText("");
        CRegistryNamesScope names(kDownloadManagerCompany, kDownloadManagerApplication);
        GetSettingsStore()->WriteString("Settings", "ProgLocation", nullptr);
        GetSettingsStore()->WriteString("Config", "MonitorFlags", nullptr);
        GetSettingsStore()->WriteString("Config", "MonitorFileExtList", nullptr);
        ::SetEnvironmentVariableA(kManagerFolderVariable, nullptr);
    }
    CInstalledDownloadManager(const CInstalledDownloadManager&) = delete;
    CInstalledDownloadManager& operator=(const CInstalledDownloadManager&) = delete;

    std::string Requests() const { return ReadFileText(std::string(m_folder.Path().c_str()) + "requests.txt"); }

private:
    CScratchFolder m_folder;
    bool m_present = false;
};

// The program's start hands the edit control its built-in parser configurations (HTML, CSS and
// script, resources of the program); the world starts the control only, so they are handed here,
// once for the process.
void LoadBuiltInParserConfigurations()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    for (int id : {QP_IDR_CONFIG_HTML, QP_IDR_CONFIG_CSS, QP_IDR_CONFIG_JAVASCRIPT}) {
        HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(id), RT_RCDATA);
        const DWORD size = resource ? ::SizeofResource(instance, resource) : 0;
        const void* bytes = size ? ::LockResource(::LoadResource(instance, resource)) : nullptr;
        if (!bytes)
            continue;
        HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        if (!copy)
            continue;
        if (void* target = ::GlobalLock(copy)) {
            ::CopyMemory(target, bytes, size);
            ::GlobalUnlock(copy);
            AddParserConfigFromMemory(copy);
        }
        ::GlobalFree(copy);
    }
}

} // namespace

TEST(PageToolsScenario, SourceAnalyzerHighlightAndDownloadHandOffOnOnePage)
{
    ASSERT_EQ(DownloadManager(), nullptr) << "a download manager runs already";
    CInstalledDownloadManager manager;
    CScenarioWorld world;
    LoadBuiltInParserConfigurations();

    // The page as the server answers it and as the engine double shows it: its source, the
    // documents, scripts, images and links the analyzer reads, and the text the search marks.
    const std::string url = world.ServePage({"/tools/downloads.html", "Kivo downloads", kPageHtml, {}, ""});
    const std::string zip = world.Url("/tools/files/setup.zip");
    world.ServeFile("/tools/files/setup.zip", "application/zip", "PK\x05\x06");
    FakePage page;
    page.title = L"Kivo downloads";
    page.statusText = L"Done";
    page.source = kPageHtml;
    page.charset = L"windows-1252";
    page.tree = std::make_shared<FakeDocumentTree>();
    page.tree->title = page.title;
    page.tree->url = Wide(url);
    page.tree->markup = Wide(kPageHtml);
    page.tree->images = {{L"logo", Wide(world.Url("/tools/logo.gif")), L"logo", 88, 31, L"GIF Image", L"1024"}};
    page.tree->scripts = {{L"menu.js", L"", L""}};
    page.tree->links = {{L"A", Wide(zip)}};
    page.textDocument = std::make_shared<CFakeTextDocument>();
    page.textDocument->AddText(L"Kivo opens tabs. Get the tabs setup");
    world.Engine().AddPage(Wide(url), page);
    world.Engine().AddPage(Wide(zip), {L"setup.zip", L"Done", 0, {}});

    ASSERT_TRUE(world.Start());
    world.TypeAddress(url);
    const HWND tab = world.ActiveTab();
    ASSERT_EQ(world.TabUrl(tab), url);
    CBrowserView* view = CBrowserView::FromWindow(tab);
    ASSERT_NE(view, nullptr);

    // View Source: the page's own source, read-only, in the colouring edit control with the
    // configuration for HTML.
    TabCommand(world, tab, ID_BROWSER_VIEW_SOURCE);
    CSourceView* source = view->GetSourceView();
    ASSERT_NE(source, nullptr);
    char className[64] = "";
    ::GetClassNameA(source->Window(), className, sizeof(className));
    EXPECT_STREQ(className, kEditControlClass);
    EXPECT_EQ(view->GetCurrentPage(), source->Window());
    EXPECT_EQ(source->GetText(), kPageHtml);
    EXPECT_NE(::SendMessageA(source->Window(), kEditIsReadOnly, 0, 0), 0);
    QPFileInfo info = {};
    info.size = sizeof(info);
    ASSERT_EQ(::SendMessageA(source->Window(), QPM_GETFILEINFO, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_STREQ(info.configName ? info.configName : "", "HTML");
    TabCommand(world, tab, ID_BROWSER_VIEW_SOURCE);
    EXPECT_EQ(view->GetSourceView(), nullptr);

    // The page analyzer: the page, its script, its picture and its link.
    TabCommand(world, tab, ID_BROWSER_PAGE_ANALYZER);
    CPageAnalyzer* analyzer = view->GetPageAnalyzer();
    ASSERT_NE(analyzer, nullptr);
    EXPECT_EQ(view->GetCurrentPage(), analyzer->m_hWnd);
    HWND tree = analyzer->TreeWindow();
    EXPECT_EQ(DumpTree(tree, TreeView_GetRoot(tree)),
              url + "{Documents{Kivo downloads},Scripts{menu.js},Images{" + world.Url("/tools/logo.gif") + "},Links}");
    EXPECT_NE(analyzer->LastReport().find("<td>Kivo downloads</td>"), std::string::npos) << analyzer->LastReport();
    std::string path;
    EXPECT_TRUE(world.Screenshot("scenario-page-analyzer.bmp", path)) << path;
    TabCommand(world, tab, ID_BROWSER_PAGE_ANALYZER);
    EXPECT_EQ(view->GetPageAnalyzer(), nullptr);

    // The user types two words into the search bar and presses its highlight button: each word is
    // marked in its own style in the page; the button again takes the marks away.
    const std::wstring plain = page.textDocument->Markup();
    ::SetWindowTextA(world.Frame().GetSearchBarEdit(), "  kivo tabs ");
    ASSERT_TRUE(ClickButtonOf(world, ID_FRAME_SEARCH_HIGHLIGHT));
    const std::wstring marked = page.textDocument->Markup();
    auto mark = [](int style, const std::wstring& text) {
        return L"<SPAN id='KBrowID' style='color:" + std::wstring(HighlightStyle(style)) + text + L"</SPAN>";
    };
    EXPECT_NE(marked.find(mark(0, L"Kivo")), std::wstring::npos) << std::string(marked.begin(), marked.end());
    EXPECT_NE(marked.find(mark(1, L"tabs")), std::wstring::npos);
    EXPECT_EQ(page.textDocument->Text(), L"Kivo opens tabs. Get the tabs setup");
    ASSERT_TRUE(ClickButtonOf(world, ID_FRAME_SEARCH_HIGHLIGHT));
    EXPECT_EQ(page.textDocument->Markup(), plain);

    // A click on the link to the file: the download manager is started and takes it; the tab
    // stays on its page.
    CFakeBrowser* engine = world.EngineOf(tab);
    ASSERT_NE(engine, nullptr);
    engine->NavigateTo(Wide(zip));
    world.Load();
    EXPECT_TRUE(world.PumpUntil([&] { return manager.Requests().find("url " + zip) != std::string::npos; }))
        << manager.Requests();
    EXPECT_NE(manager.Requests().find("url " + zip + "\nreferrer " + url + "\n"), std::string::npos) << manager.Requests();
    EXPECT_EQ(world.TabUrl(tab), url);
    EXPECT_EQ(world.Server().RequestCount("/tools/files/setup.zip"), 0);

    EXPECT_TRUE(world.Screenshot("scenario-page-tools.bmp", path)) << path;
    EXPECT_EQ(world.Exit(), 1);
}
