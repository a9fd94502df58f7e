#include "navigation/favorites/LinksBar.h"
#include "navigation/favorites/FavoritesResources.h"
#include "navigation/favorites/LinkDataObject.h"
#include "navigation/favorites/LinkDrag.h"
#include "core/system/DragDrop.h"
#include "navigation/favorites/tests/FavoritesTestSupport.h"

#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "navigation/FavIconCache.h"

#include <gtest/gtest.h>

using favorites_test::CFakeFrame;
using favorites_test::CFavoritesTree;
using favorites_test::PumpUntil;

namespace {

class CNoIconSource : public IFavIconSource {
public:
    HICON FetchSiteIcon(const std::string&, HANDLE) override { return nullptr; }
    int GetShellIconIndex(const std::string&) override { return -1; }
    HICON GetShellIcon(int) override { return nullptr; }
    std::string ReadShortcutUrl(const std::string& path) override { return ReadInternetShortcutUrl(path); }
};

std::vector<std::string> ButtonTexts(HWND bar)
{
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        char text[256] = {};
        SendMessageA(bar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

int CommandOf(HWND bar, const std::string& text)
{
    const int count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        char buffer[256] = {};
        SendMessageA(bar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(buffer));
        if (text == buffer)
            return button.idCommand;
    }
    return 0;
}

POINT ButtonCenter(HWND bar, int command)
{
    RECT rect = {};
    SendMessageA(bar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&rect));
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(bar, &point);
    return point;
}

class LinksBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedFolder = GetSettings()->LinksBarDefaultFolder.value;
        m_savedSysFlags = GetSettings()->SysFlags;
        GetSettings()->LinksBarDefaultFolder = "Links";
        GetSettings()->SysFlags |= 0x20000;  // by name, so the order is known without a stored one
        links = tree.Folder("Links");
    }
    void TearDown() override
    {
        bar.reset();
        GetSettings()->LinksBarDefaultFolder = m_savedFolder;
        GetSettings()->SysFlags = m_savedSysFlags;
    }
    void CreateBar(int width = 380)
    {
        bar = std::make_unique<CLinksBar>(&icons);
        ASSERT_TRUE(bar->Create(frame.window, 1234));
        bar->MoveWindow(0, 0, width, 26);
    }

    CFavoritesTree tree{"LinksBarTree"};
    std::string links;
    CFavIconCache icons{std::make_unique<CNoIconSource>(), {}};
    CFakeFrame frame;
    std::unique_ptr<CLinksBar> bar;

private:
    CStdString m_savedFolder;
    DWORD m_savedSysFlags = 0;
};

}  // namespace

TEST_F(LinksBarTest, ShowsTheFolderAndFollowsItsChanges)
{
    tree.Link("Links\\Weather", "http://weather.test/");
    tree.Link("Links\\Mail", "http://mail.test/inbox");
    tree.Folder("Links\\Tools");
    tree.Link("Links\\Tools\\Deep", "http://deep.test/");
    CreateBar();
    EXPECT_FALSE(bar->IsRoot());
    EXPECT_EQ(ButtonTexts(*bar), (std::vector<std::string>{"", "Tools", "Mail", "Weather"}));

    // The folder changes while the bar runs: the watcher's notification rebuilds it.
    tree.Link("Links\\News", "http://news.test/");
    EXPECT_TRUE(PumpUntil([&] { return ButtonTexts(*bar) == std::vector<std::string>{"", "Tools", "Mail", "News", "Weather"}; }));
    MoveFileA((links + "News.url").c_str(), (links + "Agenda.url").c_str());
    EXPECT_TRUE(PumpUntil([&] { return ButtonTexts(*bar) == std::vector<std::string>{"", "Tools", "Agenda", "Mail", "Weather"}; }));
    DeleteFileA((links + "Weather.url").c_str());
    EXPECT_TRUE(PumpUntil([&] { return ButtonTexts(*bar) == std::vector<std::string>{"", "Tools", "Agenda", "Mail"}; }));

    // A file button opens its address from the bar, in a new tab when the Links bar asks for one.
    const int saved = GetSettings()->TabOpenFlags.value;
    GetSettings()->TabOpenFlags = 0x8;
    const int mail = CommandOf(*bar, "Mail");
    ASSERT_GE(mail, static_cast<int>(kLinksBarFirstCommand));
    SendMessageA(*bar, WM_COMMAND, mail, reinterpret_cast<LPARAM>(bar->m_hWnd));
    GetSettings()->TabOpenFlags = saved;
    EXPECT_EQ(frame.opened, (std::vector<std::pair<std::string, DWORD>>{{"http://mail.test/inbox", kOpenNewTab}}));
    EXPECT_EQ(bar->GetTooltipText(static_cast<UINT>(mail)), "Mail\nhttp://mail.test/inbox");

    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(*bar, "links-bar.bmp", path)) << path;
}

TEST_F(LinksBarTest, EmptyFolderRootFolderAndTheChevron)
{
    CreateBar();
    EXPECT_EQ(ButtonTexts(*bar), (std::vector<std::string>{"", "(empty)"}));
    bar.reset();

    GetSettings()->LinksBarDefaultFolder = tree.Root().c_str();
    CreateBar();
    EXPECT_TRUE(bar->IsRoot());
    EXPECT_EQ(ButtonTexts(*bar).front(), "Links");
    bar.reset();

    GetSettings()->LinksBarDefaultFolder = "Links";
    for (const char* name : {"Alpha site", "Beta site", "Gamma site", "Delta site", "Epsilon site", "Zeta site"})
        tree.Link(std::string("Links\\") + name, "http://x.test/");
    CreateBar(150);
    const std::vector<std::string> visible = bar->GetVisiblePaths();
    ASSERT_LT(visible.size(), 6u);
    HMENU chevron = bar->BuildChevronMenu();
    const int hidden = GetMenuItemCount(chevron);
    EXPECT_EQ(static_cast<size_t>(hidden) + visible.size(), 6u);
    char last[64] = {};
    GetMenuStringA(chevron, hidden - 1, last, sizeof(last), MF_BYPOSITION);
    EXPECT_STREQ(last, "Zeta site");
}

TEST_F(LinksBarTest, DroppedLinksAndFilesBecomeFavorites)
{
    tree.Folder("Links\\Work");
    tree.Folder("Links\\Home");
    CreateBar();
    ASSERT_TRUE(PumpUntil([&] { return CommandOf(*bar, "Home") != 0; }));

    // A link dragged out of the address bar's icon arrives as its Internet shortcut's file.
    CShortcutTempFolder temp(tree.Root() + "ShortcutTmp");
    CLinkDataObject* link = CLinkDataObject::Create({{"http://dropped.test/page", "Dropped Page"}}, &temp);
    ASSERT_TRUE(link);
    const POINT outside = ButtonCenter(*bar, kLinksBarFavoritesButton);
    EXPECT_EQ(bar->DropData(link, 0, outside, DROPEFFECT_COPY | DROPEFFECT_LINK), DWORD{DROPEFFECT_COPY});
    link->Release();
    EXPECT_EQ(ReadInternetShortcutUrl(links + "Dropped Page.url"), "http://dropped.test/page");
    EXPECT_TRUE(PumpUntil([&] { return CommandOf(*bar, "Dropped Page") != 0; }));

    // Dropped on a folder button without keys, a file moves there; with Ctrl it is copied.
    const std::string inWork = tree.Link("Links\\Work\\Report", "http://report.test/");
    CLinkDataObject* text = CLinkDataObject::Create({{"http://plain.test/", ""}}, &temp);  // no file to take
    EXPECT_EQ(bar->DropData(text, 0, ButtonCenter(*bar, CommandOf(*bar, "Home")), DROPEFFECT_MOVE), DWORD{DROPEFFECT_NONE});
    text->Release();

    class CFileData : public IDataObject {
    public:
        explicit CFileData(std::string file) : m_file(std::move(file)) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
        {
            if (format->cfFormat != CF_HDROP)
                return DV_E_FORMATETC;
            const size_t size = sizeof(DROPFILES) + m_file.size() + 2;
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
            auto* bytes = static_cast<BYTE*>(GlobalLock(block));
            reinterpret_cast<DROPFILES*>(bytes)->pFiles = sizeof(DROPFILES);
            memcpy(bytes + sizeof(DROPFILES), m_file.c_str(), m_file.size());
            GlobalUnlock(block);
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = block;
            medium->pUnkForRelease = nullptr;
            return S_OK;
        }
        HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override { return format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC; }
        HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    private:
        std::string m_file;
    };
    CFileData report(inWork);
    EXPECT_EQ(bar->DropData(&report, 0, ButtonCenter(*bar, CommandOf(*bar, "Home")), DROPEFFECT_COPY | DROPEFFECT_MOVE),
              DWORD{DROPEFFECT_MOVE});
    EXPECT_EQ(GetFileAttributesA(inWork.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string inHome = links + "Home\\Report.url";
    EXPECT_EQ(ReadInternetShortcutUrl(inHome), "http://report.test/");
    // A source that allows only copy turns the move into a copy.
    CFileData again(inHome);
    EXPECT_EQ(bar->DropData(&again, 0, ButtonCenter(*bar, CommandOf(*bar, "Work")), DROPEFFECT_COPY), DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(ReadInternetShortcutUrl(inHome), "http://report.test/");
    EXPECT_EQ(ReadInternetShortcutUrl(inWork), "http://report.test/");
}

// What a button dragged out of the bar carries: the shell's data object of its file, which a drop
// on another folder button moves there.
TEST_F(LinksBarTest, AButtonDraggedOntoAnotherFolderMovesItsFile)
{
    tree.Folder("Links\\Old");
    tree.Folder("Links\\New");
    const std::string moved = tree.Link("Links\\Old\\Moved", "http://moved.test/");
    CreateBar();
    IDataObject* data = CreateShellDataObject(moved);
    ASSERT_TRUE(data);
    std::vector<TStdStr<char>> files;
    ASSERT_TRUE(GetDataObjectFiles(data, files));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(_stricmp(files[0].c_str(), moved.c_str()), 0) << files[0].c_str();
    EXPECT_EQ(bar->DropData(data, 0, ButtonCenter(*bar, CommandOf(*bar, "New")), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK),
              DWORD{DROPEFFECT_MOVE});
    data->Release();
    EXPECT_EQ(GetFileAttributesA(moved.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadInternetShortcutUrl(links + "New\\Moved.url"), "http://moved.test/");
}
