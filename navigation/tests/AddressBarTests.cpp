// The address bar as a real window under Wine, inside a frame double that records the open-URL
// messages: typed addresses, aliases, completion keys, searches, the typed-address list in the
// registry, drops, the bar menu and the go menu with its web-based services, and the page's link
// dragged out by the site icon onto a drop target of the test's own with the real mouse.
#include "navigation/AddressBar.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "controls/CommandImageManager.h"
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "core/library/RegistryKey.h"
#include "core/system/MenuFunctions.h"
#include "navigation/FavIconCache.h"
#include "navigation/GroupStore.h"
#include "navigation/SearchEngineManager.h"
#include "navigation/UrlAliasList.h"
#include "navigation/WebServiceList.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

// The shared typed-address key itself: the test main has redirected HKEY_CURRENT_USER to a scratch
// key of this process, so the real path is safe to use.
const std::string kHistoryKey = GetIeRegistryKeyPath(kTypedUrlsKeyIndex);

// A data object offering files, or a text, as the shell and pages offer them.
class CDropData : public CComObjectRootEx<CComSingleThreadModel>, public IDataObject {
public:
    BEGIN_COM_MAP(CDropData)
        COM_INTERFACE_ENTRY(IDataObject)
    END_COM_MAP()

    std::vector<std::string> files;
    std::string text;

    STDMETHOD(GetData)(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        std::string bytes;
        if (format->cfFormat == CF_HDROP) {
            DROPFILES header = {};
            header.pFiles = sizeof(DROPFILES);
            bytes.assign(reinterpret_cast<const char*>(&header), sizeof(header));
            for (const std::string& file : files)
                bytes += file + '\0';
            bytes += '\0';
        } else {
            bytes = text + '\0';
        }
        medium->hGlobal = GlobalAlloc(GHND, bytes.size());
        memcpy(GlobalLock(medium->hGlobal), bytes.data(), bytes.size());
        GlobalUnlock(medium->hGlobal);
        return S_OK;
    }
    STDMETHOD(GetDataHere)(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHOD(QueryGetData)(FORMATETC* format) override
    {
        if (format->cfFormat == CF_HDROP)
            return files.empty() ? DV_E_FORMATETC : S_OK;
        return format->cfFormat == CF_TEXT && !text.empty() ? S_OK : DV_E_FORMATETC;
    }
    STDMETHOD(GetCanonicalFormatEtc)(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHOD(SetData)(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(EnumFormatEtc)(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHOD(DAdvise)(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(DUnadvise)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumDAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

HMENU FindSubMenu(HMENU menu, const char* text)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetSubMenu(menu, i) && GetMenuItemText(menu, static_cast<UINT>(i), MF_BYPOSITION) == text)
            return GetSubMenu(menu, i);
    }
    return nullptr;
}

class NoFetchSource : public IFavIconSource {
public:
    HICON FetchSiteIcon(const std::string&, HANDLE) override { return CopyIcon(LoadIcon(nullptr, IDI_INFORMATION)); }
    int GetShellIconIndex(const std::string&) override { return -1; }
    HICON GetShellIcon(int) override { return nullptr; }
    std::string ReadShortcutUrl(const std::string&) override { return std::string(); }
};

class AddressBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OleInitialize(nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, kHistoryKey.c_str());
        m_savedTabFlags = GetSettings()->TabOpenFlags.value;
        GetSettings()->TabOpenFlags = 0;
        ASSERT_TRUE(m_aliases.Add({"mail", "http://mail.example/"}));
        ASSERT_TRUE(m_aliases.Add({"wiki", "https://wiki.example/"}));
        ASSERT_TRUE(m_groups.AddGroup("Morning", {"http://a.example/", "http://b.example/"}));
        const std::string engines = nav_test::WriteText(m_folder, "searchengine.ini", "[Web]\r\nFind=http://search.example/?q=%us\r\n");
        CIniFile engineFile;
        ASSERT_TRUE(engineFile.Open(engines.c_str()));
        m_engines = std::make_unique<CSearchEngineManager>(&engineFile, m_store);
        const std::string services = nav_test::WriteText(m_folder, "webbasedservices.ini",
                                                         "[Check]\r\nurl=http://check.example/?uri=%us&mode=%code\r\nValidate=full\r\n");
        CIniFile serviceFile;
        ASSERT_TRUE(serviceFile.Open(services.c_str()));
        m_services = std::make_unique<CWebServiceList>(serviceFile);
        m_icons = std::make_unique<CFavIconCache>(std::make_unique<NoFetchSource>(), std::vector<std::string>{});
        CNavigationServices navigation;
        navigation.aliases = &m_aliases;
        navigation.engines = m_engines.get();
        navigation.services = m_services.get();
        navigation.icons = m_icons.get();
        navigation.groups = &m_groups;
        m_bar = std::make_unique<CAddressBar>(navigation, History());
        ASSERT_TRUE(m_bar->Create(m_frame.Window()));
        m_bar->SetWindowPos(nullptr, 4, 8, 600, 26, SWP_NOZORDER);
        ASSERT_TRUE(m_bar->GetEditWindow());
    }
    void TearDown() override
    {
        if (m_bar && m_bar->IsWindow())
            m_bar->DestroyWindow();
        m_bar.reset();
        GetSettings()->TabOpenFlags = m_savedTabFlags;
        RegDeleteTreeA(HKEY_CURRENT_USER, kHistoryKey.c_str());
        OleUninitialize();
    }

    static CRegistryHistory History() { return TypedUrlHistory(); }

    // Types the text and presses Enter with the given modifier keys held.
    void Enter(const std::string& text, bool control = false, bool shift = false)
    {
        ::SetWindowTextA(m_bar->GetEditWindow(), text.c_str());
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        ::SendMessageA(m_bar->GetEditWindow(), WM_KEYDOWN, VK_RETURN, 1);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }

    CScratchFolder m_folder{"address-bar"};
    nav_test::CMemorySettingsStore m_store;
    nav_test::CFrameDouble m_frame;
    CUrlAliasList m_aliases{""};
    CGroupStore m_groups{""};
    std::unique_ptr<CSearchEngineManager> m_engines;
    std::unique_ptr<CWebServiceList> m_services;
    std::unique_ptr<CFavIconCache> m_icons;
    std::unique_ptr<CAddressBar> m_bar;
    int m_savedTabFlags = 0;
};

TEST_F(AddressBarTest, TypedTextOpensAsAddressAliasCompletionOrSearch)
{
    char className[64] = {};
    GetClassNameA(m_bar->m_hWnd, className, sizeof(className));
    EXPECT_STREQ("_AddressBar", className);
    struct {
        const char* typed;
        bool control, shift;
        int tabFlags;
        const char* url;
        DWORD flags;
    } const cases[] = {
        {"example.com", false, false, 0, "example.com", kOpenReuseTab},
        {"  example.org  ", false, false, TabOpenFlag::AddressBar, "example.org", kOpenReuseTab | kOpenNewTab},
        {"MAIL", false, false, 0, "http://mail.example/", kOpenReuseTab},
        {"kivo", true, false, 0, "http://www.kivo.com", kOpenReuseTab},
        {"kivo", false, true, 0, "http://www.kivo.net", kOpenReuseTab},
        {"kivo", true, true, TabOpenFlag::AddressBar, "http://www.kivo.org", kOpenReuseTab | kOpenNewTab},
        {"two words", false, false, 0, "http://search.example/?q=two%20words", 0},
        {"caf\xE9 & co", false, false, TabOpenFlag::SearchBar, "http://search.example/?q=caf%c3%a9%20%26%20co", kOpenNewTab},
        {"C:\\My Files\\page.htm", false, false, 0, "C:\\My Files\\page.htm", kOpenReuseTab},
    };
    for (const auto& c : cases) {
        GetSettings()->TabOpenFlags = c.tabFlags;
        m_frame.opens.clear();
        Enter(c.typed, c.control, c.shift);
        ASSERT_EQ(1u, m_frame.opens.size()) << c.typed;
        EXPECT_EQ(c.url, m_frame.opens[0].url) << c.typed;
        EXPECT_EQ(c.flags, m_frame.opens[0].flags) << c.typed;
    }
    // Blank text opens nothing, with or without a completion key.
    m_frame.opens.clear();
    Enter("   ");
    Enter("   ", true);
    EXPECT_TRUE(m_frame.opens.empty());
    // Searches enter nothing into the typed list; addresses go in trimmed, newest first.
    const std::vector<std::string> expected = {"C:\\My Files\\page.htm", "http://www.kivo.org", "http://www.kivo.net",
                                               "http://www.kivo.com", "http://mail.example/", "example.org", "example.com"};
    EXPECT_EQ(expected, m_bar->TypedUrls());
}

TEST_F(AddressBarTest, TypedListKeepsTwentyFiveInTheRegistryNewestFirst)
{
    for (int i = 1; i <= 27; ++i)
        Enter("site" + std::to_string(i) + ".example");
    Enter("SITE20.example");  // moves to the top, no eviction
    EXPECT_EQ(25, static_cast<int>(m_bar->SendMessage(CB_GETCOUNT)));
    m_bar->DestroyWindow();

    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\TypedURLs", KEY_READ));
    TStdStr<char> value;
    ASSERT_TRUE(key.QueryStringValue("url1", value));
    EXPECT_STREQ("SITE20.example", value.c_str());
    ASSERT_TRUE(key.QueryStringValue("url2", value));
    EXPECT_STREQ("site27.example", value.c_str());
    ASSERT_TRUE(key.QueryStringValue("url25", value));
    EXPECT_STREQ("site3.example", value.c_str());
    EXPECT_FALSE(key.QueryStringValue("url26", value));

    // A new bar starts from the stored list.
    CAddressBar again(CNavigationServices{}, History());
    ASSERT_TRUE(again.Create(m_frame.Window()));
    EXPECT_EQ(25u, again.TypedUrls().size());
    EXPECT_EQ("SITE20.example", again.TypedUrls().front());
    again.DestroyWindow();
}

TEST_F(AddressBarTest, DroppedFilesAndTextOpenThroughTheFrame)
{
    CComObject<CBarDropTarget>* object = nullptr;
    ASSERT_EQ(S_OK, CComObject<CBarDropTarget>::CreateInstance(&object));
    object->AddRef();
    object->m_handler = m_bar.get();
    IDropTarget* target = object;

    CComObjectStackEx<CDropData> twoFiles;
    twoFiles.files = {"C:\\a b\\one.htm", "C:\\two.htm"};
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    const POINTL point = {10, 10};
    ASSERT_EQ(S_OK, target->DragEnter(&twoFiles, 0, point, &effect));
    EXPECT_TRUE(effect & DROPEFFECT_COPY);
    ASSERT_EQ(S_OK, target->Drop(&twoFiles, 0, point, &effect));
    ASSERT_EQ(2u, m_frame.opens.size());
    EXPECT_EQ("C:\\a b\\one.htm", m_frame.opens[0].url);
    EXPECT_EQ(DWORD{kOpenNewTab}, m_frame.opens[0].flags);
    EXPECT_EQ(DWORD{kOpenNewTab}, m_frame.opens[1].flags);

    m_frame.opens.clear();
    CComObjectStackEx<CDropData> oneFile;
    oneFile.files = {"C:\\My Files\\page.htm"};
    ASSERT_EQ(S_OK, target->Drop(&oneFile, 0, point, &effect));
    CComObjectStackEx<CDropData> text;
    text.text = "dropped words";
    ASSERT_EQ(S_OK, target->Drop(&text, 0, point, &effect));
    ASSERT_EQ(2u, m_frame.opens.size());
    EXPECT_EQ("C:\\My Files\\page.htm", m_frame.opens[0].url);
    EXPECT_EQ(DWORD{kOpenReuseTab}, m_frame.opens[0].flags);
    EXPECT_EQ("http://search.example/?q=dropped%20words", m_frame.opens[1].url);

    CComObjectStackEx<CDropData> nothing;
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragEnter(&nothing, 0, point, &effect));
    EXPECT_EQ(DWORD{DROPEFFECT_NONE}, effect);
    object->m_handler = nullptr;
    object->Release();
}

TEST_F(AddressBarTest, BarMenuOpensAliasesAndPostsItsCommands)
{
    nav_test::CMenuChooser chooser;
    std::vector<std::string> aliasItems;
    std::vector<std::string> groupItems;
    chooser.choose = [&](HMENU menu) -> UINT {
        HMENU aliases = FindSubMenu(menu, "URL Alias");
        HMENU groups = FindSubMenu(menu, "&Groups");
        for (int i = 0; aliases && i < GetMenuItemCount(aliases); ++i)
            aliasItems.push_back(GetMenuItemText(aliases, static_cast<UINT>(i), MF_BYPOSITION).c_str());
        for (int i = 0; groups && i < GetMenuItemCount(groups); ++i)
            groupItems.push_back(std::to_string(GetMenuItemID(groups, i)));
        // While the menu is up each alias shows its site's icon from the favicon cache's set.
        CommandImageRef ref = 0;
        EXPECT_TRUE(GetCommandImageManager()->GetCommandImage(ID_FIRST_ALIAS_COMMAND + 1, ref));
        EXPECT_EQ(unsigned{kImageSetFavIcons}, CommandImageSet(ref));
        return 2;  // the second alias
    };
    m_bar->ShowBarMenu();
    EXPECT_EQ((std::vector<std::string>{"&Organize URL Alias...", "", "mail", "wiki"}), aliasItems);
    EXPECT_EQ((std::vector<std::string>{std::to_string(ID_ORGANIZE_GROUPS), "0", std::to_string(kOpenGroupFirstCommand)}), groupItems);
    ASSERT_EQ(1u, m_frame.opens.size());
    EXPECT_EQ("https://wiki.example/", m_frame.opens[0].url);
    EXPECT_EQ(DWORD{kOpenNewTab}, m_frame.opens[0].flags);

    chooser.choose = [](HMENU) -> UINT { return ID_CLEAR_TYPED_ADDRESSES; };
    m_bar->ShowBarMenu();
    ASSERT_TRUE(nav_test::PumpUntil([&] { return !m_frame.commands.empty(); }));
    EXPECT_EQ(UINT{ID_CLEAR_TYPED_ADDRESSES}, m_frame.commands[0]);
    EXPECT_EQ(1u, m_frame.opens.size());
}

TEST_F(AddressBarTest, GoMenuRunsAWebServiceOnTheCurrentAddress)
{
    nav_test::CMenuChooser chooser;
    chooser.choose = [](HMENU) -> UINT { return ID_GO_MENU_FIRST_SERVICE; };
    m_bar->SetWindowText("http://page.example/a b");
    EXPECT_EQ("http://page.example/a b", m_bar->GetEditText());
    m_bar->ShowGoMenu();
    EXPECT_EQ((std::vector<std::string>{"Go=1", "=0", "Check : Validate=2"}), chooser.lastItems);
    ASSERT_EQ(1u, m_frame.opens.size());
    EXPECT_EQ("http://check.example/?uri=http://page.example/a%20b&mode=full", m_frame.opens[0].url);

    chooser.choose = [](HMENU) -> UINT { return ID_GO_MENU_GO; };
    m_bar->ShowGoMenu();
    ASSERT_EQ(2u, m_frame.opens.size());
    EXPECT_EQ("http://page.example/a b", m_frame.opens[1].url);

    // The go button itself.
    m_bar->SendMessage(WM_COMMAND, MAKEWPARAM(ID_GO_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(m_bar->GetGoToolbar()));
    EXPECT_EQ(3u, m_frame.opens.size());
}

TEST_F(AddressBarTest, TheEditAndTheListShowEachAddresssSiteIcon)
{
    Enter("http://icon.example/page");
    const auto askImage = [&](INT_PTR item) {
        NMCOMBOBOXEXA info = {};
        info.hdr.hwndFrom = m_bar->m_hWnd;
        info.hdr.code = CBEN_GETDISPINFOA;
        info.ceItem.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        info.ceItem.iItem = item;
        m_bar->SendMessage(OCM__BASE + WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ceItem.iImage, info.ceItem.iSelectedImage);
        return info.ceItem.iImage;
    };
    // Unknown at first: the default page; the loader then gives the site its own image.
    const DWORD start = GetTickCount();
    while (askImage(-1) == kDefaultPageIcon && GetTickCount() - start < 20000)
        nav_test::PumpUntil([] { return false; }, 20);
    EXPECT_GE(askImage(-1), kFavIconBaseImages);
    EXPECT_EQ(askImage(-1), askImage(0)) << "the list's entry is the same site";
    m_bar->SetWindowText("about:blank");
    EXPECT_EQ(kDefaultPageIcon, askImage(-1));
}

TEST_F(AddressBarTest, ViewFlagsChooseTheButtons)
{
    const DWORD saved = GetSettings()->ViewFlags;
    struct {
        DWORD flags;
        bool label, go;
    } const cases[] = {
        {ViewFlag::HideAddressButton, false, true},
        {ViewFlag::HideGoButton, true, false},
        {ViewFlag::HideAddressButton | ViewFlag::HideGoButton, false, false},
        {ViewFlag::HideAddressButtonIcon, true, true},
        {0, true, true},
    };
    for (const auto& c : cases) {
        GetSettings()->ViewFlags = c.flags;
        m_bar->UpdateGoButton();
        EXPECT_EQ(c.label, m_bar->GetLabelToolbar() != nullptr) << c.flags;
        EXPECT_EQ(c.go, m_bar->GetGoToolbar() != nullptr) << c.flags;
        if (c.label) {
            TBBUTTON button = {};
            ASSERT_TRUE(::SendMessageA(m_bar->GetLabelToolbar(), TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)));
            EXPECT_EQ(c.flags & ViewFlag::HideAddressButtonIcon ? I_IMAGENONE : kDefaultPageIcon, button.iBitmap);
        }
        // The combo box stays between whatever buttons there are.
        RECT bar = {};
        RECT combo = {};
        m_bar->GetWindowRect(&bar);
        ::GetWindowRect(m_bar->GetComboCtrl(), &combo);
        EXPECT_GE(combo.left, bar.left);
        EXPECT_LE(combo.right, bar.right);
    }
    GetSettings()->ViewFlags = saved;
}

TEST_F(AddressBarTest, KeyFilterAndPicture)
{
    MSG message = {};
    message.hwnd = m_bar->GetEditWindow();
    message.message = WM_KEYDOWN;
    message.wParam = VK_RETURN;
    EXPECT_EQ(2, m_bar->PreTranslateMessage(&message));
    message.wParam = VK_F5;
    EXPECT_EQ(0, m_bar->PreTranslateMessage(&message));
    message.hwnd = m_frame.Window();
    message.wParam = VK_RETURN;
    EXPECT_EQ(0, m_bar->PreTranslateMessage(&message));

    Enter("example.com");
    m_bar->SetWindowText("http://www.example.com/index.html");
    ASSERT_TRUE(m_bar->GetLabelToolbar());
    ASSERT_TRUE(m_bar->GetGoToolbar());
    RECT label = {};
    RECT go = {};
    RECT combo = {};
    ::GetWindowRect(m_bar->GetLabelToolbar(), &label);
    ::GetWindowRect(m_bar->GetGoToolbar(), &go);
    ::GetWindowRect(m_bar->GetComboCtrl(), &combo);
    EXPECT_LE(label.right, combo.left);
    EXPECT_LE(combo.right, go.left);
    UpdateWindow(m_frame.Window());
    RedrawWindow(m_frame.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(m_frame.Window(), "address-bar.bmp", path));
}

// The active page the bar drags out.
class CActivePage final : public IActivePageSource {
public:
    bool GetActivePage(std::string& url_, std::string& title_) const override
    {
        url_ = url;
        title_ = title;
        return !url.empty();
    }
    std::string url;
    std::string title;
};

// A window that takes drops and records what it was given: the link's text and URL formats and
// the shortcut file of its file list.
class CRecordingDropTarget : public CComObjectRootEx<CComSingleThreadModel>, public IDropTarget {
public:
    BEGIN_COM_MAP(CRecordingDropTarget)
        COM_INTERFACE_ENTRY(IDropTarget)
    END_COM_MAP()

    STDMETHOD(DragEnter)(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        entered = true;
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHOD(DragOver)(DWORD, POINTL, DWORD* effect) override
    {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHOD(DragLeave)() override { return S_OK; }
    STDMETHOD(Drop)(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        text = ReadText(data, CF_TEXT);
        url = ReadText(data, static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator")));
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        if (SUCCEEDED(data->GetData(&format, &medium))) {
            char path[MAX_PATH] = {};
            if (DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0) == 1 &&
                DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0, path, MAX_PATH))
                file = path;
            ReleaseStgMedium(&medium);
        }
        dropped = true;
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }

    static std::string ReadText(IDataObject* data, CLIPFORMAT clipFormat)
    {
        FORMATETC format = {clipFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        if (FAILED(data->GetData(&format, &medium)))
            return std::string();
        std::string result;
        if (const char* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal))) {
            result.assign(bytes, strnlen(bytes, GlobalSize(medium.hGlobal)));
            GlobalUnlock(medium.hGlobal);
        }
        ReleaseStgMedium(&medium);
        return result;
    }

    bool entered = false;
    bool dropped = false;
    std::string text;
    std::string url;
    std::string file;
};

void MoveMouseTo(POINT screen)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + 32768) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + 32768) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void PressButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// Waits until the cursor stands at the point (each move has been taken by the system).
bool CursorReaches(POINT point)
{
    const DWORD start = GetTickCount();
    for (;;) {
        POINT now = {};
        GetCursorPos(&now);
        if (now.x == point.x && now.y == point.y)
            return true;
        if (GetTickCount() - start > 10000)
            return false;
        Sleep(10);
    }
}

TEST_F(AddressBarTest, TheSiteIconDragsTheActivePagesLinkOntoADropTarget)
{
    CActivePage page;
    m_bar->SetActivePageSource(&page);
    EXPECT_EQ(DROPEFFECT_NONE, m_bar->DragPageLink(MK_LBUTTON)) << "no active page: nothing is dragged";
    page.url = "http://drag.example/page.html";
    page.title = "Drag Example";
    m_bar->SetWindowText(page.url.c_str());

    // The site icon lies left of the edit inside the combo; the edit itself is not the icon.
    HWND combo = m_bar->GetComboCtrl();
    RECT edit = {};
    ::GetWindowRect(m_bar->GetEditWindow(), &edit);
    ::MapWindowPoints(nullptr, combo, reinterpret_cast<POINT*>(&edit), 2);
    ASSERT_GT(edit.left, 4);
    RECT comboClient = {};
    ::GetClientRect(combo, &comboClient);
    const POINT iconPoint = {edit.left / 2, (comboClient.top + comboClient.bottom) / 2};
    EXPECT_TRUE(m_bar->IsOnSiteIcon(iconPoint));
    EXPECT_FALSE(m_bar->IsOnSiteIcon(POINT{edit.left + 4, iconPoint.y}));

    // The test's own drop target below the bar.
    nav_test::CFrameDouble targetWindow;
    ::SetWindowPos(targetWindow.Window(), HWND_TOP, 10, 300, 300, 150, SWP_SHOWWINDOW);
    CComObject<CRecordingDropTarget>* target = nullptr;
    ASSERT_EQ(S_OK, CComObject<CRecordingDropTarget>::CreateInstance(&target));
    target->AddRef();
    ASSERT_EQ(S_OK, RegisterDragDrop(targetWindow.Window(), target));
    ::SetForegroundWindow(m_frame.Window());

    POINT from = iconPoint;
    ::ClientToScreen(combo, &from);
    RECT targetRect = {};
    ::GetWindowRect(targetWindow.Window(), &targetRect);
    const POINT to = {(targetRect.left + targetRect.right) / 2, (targetRect.top + targetRect.bottom) / 2};

    // The mouse is played on a thread of its own: the bar's drag detection and the system's drag
    // loop take the main thread while the button is down.
    std::atomic<bool> played{false};
    std::atomic<bool> reached{true};
    std::thread mouse([&] {
        reached = reached && (MoveMouseTo(from), CursorReaches(from));
        PressButton(MOUSEEVENTF_LEFTDOWN);
        Sleep(150);  // pacing only: the press reaches the combo before the cursor moves on
        for (int i = 1; i <= 10; ++i) {
            const POINT step = {from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10};
            reached = reached && (MoveMouseTo(step), CursorReaches(step));
            Sleep(50);
        }
        PressButton(MOUSEEVENTF_LEFTUP);
        played = true;
    });
    const bool dropped = nav_test::PumpUntil([&] { return target->dropped && played; });
    mouse.join();
    RevokeDragDrop(targetWindow.Window());
    EXPECT_TRUE(reached);
    ASSERT_TRUE(dropped) << "entered: " << target->entered;
    EXPECT_EQ(target->text, page.url);
    EXPECT_EQ(target->url, page.url);
    EXPECT_NE(target->file.find("Drag Example"), std::string::npos) << target->file;
    EXPECT_FALSE(m_bar->IsDragging());
    target->Release();
    m_bar->SetActivePageSource(nullptr);
}

}  // namespace
