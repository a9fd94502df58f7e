#include "navigation/favorites/FavoritesPane.h"
#include "navigation/favorites/FavoritesResources.h"
#include "navigation/favorites/LinkDataObject.h"
#include "navigation/favorites/tests/FavoritesTestSupport.h"

#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "navigation/FavIconCache.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

using favorites_test::CFakeFrame;
using favorites_test::CFavoritesTree;

namespace {

class CNoIconSource : public IFavIconSource {
public:
    HICON FetchSiteIcon(const std::string&, HANDLE) override { return nullptr; }
    int GetShellIconIndex(const std::string&) override { return -1; }
    HICON GetShellIcon(int) override { return nullptr; }
    std::string ReadShortcutUrl(const std::string& path) override { return ReadInternetShortcutUrl(path); }
};

std::string ItemText(HWND tree, HTREEITEM item)
{
    char buffer[260] = {};
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = buffer;
    data.cchTextMax = sizeof(buffer);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return buffer;
}

std::vector<std::string> ChildTexts(CShellFolderTree& tree, HTREEITEM parent)
{
    std::vector<std::string> texts;
    for (HTREEITEM item = parent ? tree.GetChildItem(parent) : tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item))
        texts.push_back(ItemText(tree, item));
    return texts;
}

std::vector<std::string> MenuTexts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

POINT ItemPoint(CShellFolderTree& tree, HTREEITEM item)
{
    RECT rect = {};
    std::memcpy(&rect, &item, sizeof(item));  // TVM_GETITEMRECT takes the item in the rectangle
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(tree, &point);
    return point;
}

// A data object of one CF_HDROP file.
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
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + m_file.size() + 2);
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

class FavoritesPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_sysFlags = GetSettings()->SysFlags;
        m_tabFlags = GetSettings()->TabOpenFlags.value;
        GetSettings()->SysFlags |= 0x20000;
    }
    void TearDown() override
    {
        GetSettings()->SysFlags = m_sysFlags;
        GetSettings()->TabOpenFlags = m_tabFlags;
    }

    CFavoritesTree tree{"FavoritesPaneTree"};
    CFavIconCache icons{std::make_unique<CNoIconSource>(), {}};
    CFakeFrame frame;

private:
    DWORD m_sysFlags = 0;
    int m_tabFlags = 0;
};

}  // namespace

TEST_F(FavoritesPaneTest, TheTreeShowsRenamesOpensAndOffersItsMenu)
{
    tree.Folder("News");
    tree.Folder("Work");
    tree.Link("News\\Daily", "http://daily.test/");
    tree.Link("Kivo Home", "http://kivo.test/");
    tree.Link("Archive", "http://archive.test/");
    CFavoritesPane pane(&icons);
    ASSERT_TRUE(pane.Create(frame.window));
    pane.MoveWindow(0, 0, 240, 260);
    CShellFolderTree& view = pane.GetTree();
    EXPECT_EQ(ChildTexts(view, nullptr), (std::vector<std::string>{"News", "Work", "Archive", "Kivo Home"}));

    HTREEITEM news = view.FindChild(nullptr, "News");
    ASSERT_TRUE(news);
    view.Expand(news, TVE_EXPAND);
    EXPECT_EQ(ChildTexts(view, news), (std::vector<std::string>{"Daily"}));

    // Renamed in place: the label editor's text becomes the file's new name, ".url" kept.
    HTREEITEM home = view.FindChild(nullptr, "Kivo Home");
    ASSERT_TRUE(home);
    view.SetFocus();
    HWND editor = reinterpret_cast<HWND>(SendMessageA(view, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(home)));
    ASSERT_TRUE(editor);
    SetWindowTextA(editor, "Start Page");
    SendMessageA(view, TVM_ENDEDITLABELNOW, FALSE, 0);
    EXPECT_EQ(ReadInternetShortcutUrl(tree.Root() + "Start Page.url"), "http://kivo.test/");
    EXPECT_EQ(GetFileAttributesA((tree.Root() + "Kivo Home.url").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(view.FindChild(nullptr, "Start Page"));
    // The item knows its new file at once; the folder is refilled (and sorted) once the edit has
    // ended, never inside the control's own notification.
    EXPECT_EQ(view.GetInfoTip(view.FindChild(nullptr, "Start Page")), "Start Page\nhttp://kivo.test/");
    const std::vector<std::string> sorted = {"News", "Work", "Archive", "Start Page"};
    EXPECT_TRUE(favorites_test::PumpUntil([&] { return ChildTexts(view, nullptr) == sorted; }));

    // Opening: the frame gets the address, in a new tab when the favorites ask for one.
    GetSettings()->TabOpenFlags = 0x4;
    view.OpenItem(view.FindChild(nullptr, "Archive"));
    EXPECT_EQ(frame.opened, (std::vector<std::pair<std::string, DWORD>>{{"http://archive.test/", kOpenNewTab}}));
    EXPECT_EQ(view.GetInfoTip(view.FindChild(nullptr, "Archive")), "Archive\nhttp://archive.test/");

    // The context menu of a folder and of a file (the rename refilled the tree).
    news = view.FindChild(nullptr, "News");
    ASSERT_TRUE(news);
    view.Expand(news, TVE_EXPAND);
    HMENU menu = view.BuildContextMenu(news);
    EXPECT_EQ(MenuTexts(menu), (std::vector<std::string>{"Collapse(&B)", "Open All(&I)", "Make Ne&w Folder", "", "Rena&me", "&Delete"}));
    DestroyMenu(menu);
    menu = view.BuildContextMenu(view.FindChild(nullptr, "Archive"));
    EXPECT_EQ(MenuTexts(menu).front(), "&Open");
    DestroyMenu(menu);
    view.RunCommand(news, kTreeOpenAll);
    EXPECT_EQ(frame.opened.back().first, "http://daily.test/");
    view.RunCommand(news, kTreeNewFolder);
    SendMessageA(view, TVM_ENDEDITLABELNOW, TRUE, 0);
    EXPECT_NE(GetFileAttributesA((tree.Root() + "News\\New Folder").c_str()), INVALID_FILE_ATTRIBUTES);

    // The context menu opens over the item.
    {
        SetForegroundWindow(frame.window);
        favorites_test::CMenuShot shot(view, "favorites-tree-context-menu.bmp");
        view.ShowContextMenu(view.FindChild(nullptr, "Archive"), ItemPoint(view, view.FindChild(nullptr, "Archive")));
        EXPECT_TRUE(shot.Written()) << shot.Path();
    }

    // The panel's buttons go to the frame; 221 refreshes the tree.
    SendMessageA(pane, WM_COMMAND, kAddToFavoritesCommand, 0);
    SendMessageA(pane, WM_COMMAND, kOrganizeFavoritesCommand, 0);
    EXPECT_EQ(frame.commands, (std::vector<UINT>{kAddToFavoritesCommand, kOrganizeFavoritesCommand}));
    tree.Link("Zebra", "http://zebra.test/");
    SendMessageA(pane, WM_COMMAND, kRefreshFavoritesCommand, 0);
    EXPECT_EQ(ChildTexts(view, nullptr).back(), "Zebra");

    UpdateWindow(pane);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(pane, "favorites-panel.bmp", path)) << path;
}

TEST_F(FavoritesPaneTest, DropsOnTheTreeBecomeFavoritesOrMoveFiles)
{
    tree.Folder("Inbox");
    tree.Folder("Done");
    const std::string task = tree.Link("Inbox\\Task", "http://task.test/");
    const std::string outside = KivoTestScratchFolder() + "Outside note.txt";
    ASSERT_TRUE(CreateInternetShortcut(outside, "http://note.test/"));
    CFavoritesPane pane(&icons);
    ASSERT_TRUE(pane.Create(frame.window));
    pane.MoveWindow(0, 0, 240, 260);
    CShellFolderTree& view = pane.GetTree();
    HTREEITEM inbox = view.FindChild(nullptr, "Inbox");
    HTREEITEM done = view.FindChild(nullptr, "Done");
    ASSERT_TRUE(inbox && done);

    // A link (text without a file) dropped twice on a folder: "New Item" and "New Item (2)".
    CLinkDataObject* link = CLinkDataObject::Create({{"http://linked.test/", ""}});
    ASSERT_TRUE(link);
    EXPECT_NE(view.DropData(link, 0, ItemPoint(view, done), DROPEFFECT_COPY | DROPEFFECT_LINK), DWORD{DROPEFFECT_NONE});
    done = view.FindChild(nullptr, "Done");
    EXPECT_NE(view.DropData(link, 0, ItemPoint(view, done), DROPEFFECT_COPY | DROPEFFECT_LINK), DWORD{DROPEFFECT_NONE});
    link->Release();
    EXPECT_EQ(ReadInternetShortcutUrl(tree.Root() + "Done\\New Item.url"), "http://linked.test/");
    EXPECT_EQ(ReadInternetShortcutUrl(tree.Root() + "Done\\New Item (2).url"), "http://linked.test/");

    // A file from outside dropped with Ctrl is copied in; a favorite dragged between folders moves.
    CFileData note(outside);
    done = view.FindChild(nullptr, "Done");
    EXPECT_EQ(view.DropData(&note, MK_CONTROL, ItemPoint(view, done), DROPEFFECT_COPY | DROPEFFECT_MOVE), DWORD{DROPEFFECT_COPY});
    EXPECT_NE(GetFileAttributesA((tree.Root() + "Done\\Outside note.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(outside.c_str()), INVALID_FILE_ATTRIBUTES);
    CFileData moved(task);
    done = view.FindChild(nullptr, "Done");
    EXPECT_EQ(view.DropData(&moved, 0, ItemPoint(view, done), DROPEFFECT_COPY | DROPEFFECT_MOVE), DWORD{DROPEFFECT_MOVE});
    EXPECT_EQ(GetFileAttributesA(task.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadInternetShortcutUrl(tree.Root() + "Done\\Task.url"), "http://task.test/");
    DeleteFileA(outside.c_str());
}

TEST_F(FavoritesPaneTest, TheHistoryPanelOpensItsItems)
{
    const std::string history = tree.Folder("History");
    tree.Link("History\\Visited", "http://visited.test/");
    CHistoryPane pane(&icons);
    ASSERT_TRUE(pane.Create(frame.window));
    pane.GetTree().SetRootFolder(history);
    EXPECT_FALSE(pane.GetToolBar());
    EXPECT_EQ(ChildTexts(pane.GetTree(), nullptr), (std::vector<std::string>{"Visited"}));
    GetSettings()->TabOpenFlags = 0x10;
    pane.GetTree().OpenItem(pane.GetTree().FindChild(nullptr, "Visited"));
    EXPECT_EQ(frame.opened, (std::vector<std::pair<std::string, DWORD>>{{"http://visited.test/", kOpenNewTab}}));
}

namespace {

// Answers the shell's confirmation with Yes (or closes any other box the command shows), so an
// unattended run cannot stop at a question.
void CALLBACK AnswerShellQuestion(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            char name[16] = {};
            GetClassNameA(window, name, sizeof(name));
            if (strcmp(name, "#32770") == 0 && IsWindowVisible(window)) {
                PostMessageA(window, WM_COMMAND, GetDlgItem(window, IDYES) ? IDYES : IDOK, 0);
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            }
            return TRUE;
        },
        0);
}

}  // namespace

// A file's menu is the tree's opening and new folder, then the shell's own items found by their
// verbs and run through the tree. (The shell's delete is found but not run here: under Wine it
// moves the file into the trash of the system's user, outside the test's folders; and Wine's
// "Create Link" makes no shortcut.)
TEST_F(FavoritesPaneTest, AFilesMenuCarriesTheShellsItemsFoundByTheirVerbs)
{
    tree.Link("Keep", "http://keep.test/");
    tree.Link("Linked", "http://linked.test/");
    CFavoritesPane pane(&icons);
    ASSERT_TRUE(pane.Create(frame.window));
    pane.MoveWindow(0, 0, 240, 260);
    CShellFolderTree& view = pane.GetTree();
    HTREEITEM linked = view.FindChild(nullptr, "Linked");
    ASSERT_TRUE(linked);
    const std::vector<std::string> before = ChildTexts(view, nullptr);

    HMENU menu = view.BuildContextMenu(linked);
    const std::vector<std::string> texts = MenuTexts(menu);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], "&Open");
    EXPECT_EQ(texts[1], "Make Ne&w Folder");
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "&Open"), 1) << "the shell's own open is left out";
    const UINT del = view.FindShellCommand(menu, "delete");
    EXPECT_GE(del, static_cast<UINT>(kTreeShellFirst)) << "the shell's delete is found by its verb";
    EXPECT_EQ(view.FindShellCommand(menu, "DELETE"), del);
    EXPECT_EQ(view.FindShellCommand(menu, "open"), 0u);
    EXPECT_EQ(GetMenuState(menu, kTreeDelete, MF_BYCOMMAND), static_cast<UINT>(-1)) << "the shell's delete replaces the tree's";
    // Where the shell has no rename, the tree's own stands in.
    const bool shellRenames = view.FindShellCommand(menu, "rename") != 0;
    EXPECT_EQ(GetMenuState(menu, kTreeRename, MF_BYCOMMAND) != static_cast<UINT>(-1), !shellRenames);

    // The shell's copy, run through the tree, puts the file on the clipboard (the test display's own).
    const UINT copy = view.FindShellCommand(menu, "copy");
    ASSERT_GE(copy, static_cast<UINT>(kTreeShellFirst));
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, AnswerShellQuestion);
    view.RunCommand(linked, copy);
    KillTimer(nullptr, timer);
    DestroyMenu(menu);
    std::string copied;
    ASSERT_TRUE(OpenClipboard(frame.window));
    if (HANDLE drop = GetClipboardData(CF_HDROP)) {
        char path[MAX_PATH] = {};
        if (DragQueryFileA(static_cast<HDROP>(drop), 0, path, MAX_PATH))
            copied = path;
    }
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(_stricmp(copied.c_str(), (tree.Root() + "Linked.url").c_str()), 0) << copied;
    EXPECT_EQ(ChildTexts(view, nullptr), before) << "a copy changes nothing in the tree";

    // The menu as the user sees it over the item.
    {
        SetForegroundWindow(frame.window);
        favorites_test::CMenuShot shot(view, "favorites-tree-shell-menu.bmp");
        view.ShowContextMenu(view.FindChild(nullptr, "Keep"), ItemPoint(view, view.FindChild(nullptr, "Keep")));
        EXPECT_TRUE(shot.Written()) << shot.Path();
    }
}
