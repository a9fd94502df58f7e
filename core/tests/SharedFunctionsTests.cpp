// The small shared functions: tables for the drop effects, schemes and navigation keys, a
// hand-written data object, the clipboard, window searches and the ad-blocking history text.
#include "core/app/BlockedLogs.h"
#include "core/system/SharedFunctions.h"
#include "core/library/Z4KTime.h"
#include "platform/AtlCom.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

TEST(SharedFunctions, DropEffects)
{
    const DWORD scroll = 0x80000000;
    const struct {
        DWORD keys;
        DWORD effect;
    } fromKeys[] = {
        {0, DROPEFFECT_MOVE | scroll},
        {MK_LBUTTON, DROPEFFECT_MOVE | scroll},
        {MK_CONTROL, DROPEFFECT_COPY | scroll},
        {MK_SHIFT, DROPEFFECT_MOVE | scroll},
        {MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK | scroll},
    };
    for (const auto& c : fromKeys)
        EXPECT_EQ(c.effect, DropEffectFromKeyState(c.keys)) << c.keys;

    const struct {
        DWORD allowed;
        DWORD result;
    } filtered[] = {
        {DROPEFFECT_COPY, DROPEFFECT_COPY},
        {DROPEFFECT_COPY | scroll, DROPEFFECT_COPY | scroll},
        {DROPEFFECT_LINK, DROPEFFECT_LINK},
        {DROPEFFECT_COPY | DROPEFFECT_MOVE, 0},
        {DROPEFFECT_MOVE, 0},
        {DROPEFFECT_NONE, 0},
        {scroll, 0},
    };
    for (const auto& c : filtered)
        EXPECT_EQ(c.result, FilterDropEffect(c.allowed)) << c.allowed;
}

TEST(SharedFunctions, UrlSchemes)
{
    const struct {
        const char* url;
        int scheme;
        bool has;
    } cases[] = {
        {"HTTP://EXAMPLE.ORG/", 0, true}, {"http://x", 0, true},     {"https://x", 0, false},
        {"ftp://x", 1, true},             {"https://x", 2, true},    {"File://c:/x", 3, true},
        {"mailto:a@b", 4, true},          {"news:group", 5, true},   {"http:/x", 0, false},
        {"", 0, false},                   {"http://x", 6, false},    {"http://x", -1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.has, UrlHasScheme(c.url, c.scheme)) << c.url << " " << c.scheme;
    EXPECT_FALSE(UrlHasScheme(nullptr, 0));
}

TEST(SharedFunctions, EditNavigationKeys)
{
    const LPARAM alt = 1 << 29;
    const struct {
        UINT message;
        WPARAM key;
        LPARAM lParam;
        bool shift;
        bool ctrl;
        int result;
    } cases[] = {
        {WM_KEYDOWN, VK_F4, 0, false, false, 2},
        {WM_KEYDOWN, VK_F4, 0, false, true, 0},
        {WM_KEYDOWN, VK_LEFT, 0, false, false, 0},
        {WM_KEYDOWN, VK_LEFT, 0, true, false, 2},
        {WM_KEYDOWN, VK_END, 0, false, true, 2},
        {WM_KEYDOWN, VK_RETURN, 0, false, false, 2},
        {WM_KEYDOWN, VK_RETURN, 0, true, true, 2},
        {WM_KEYDOWN, VK_DELETE, 0, false, false, 2},   // 46: within 1 to 47
        {WM_KEYDOWN, VK_DELETE, 0, false, true, 0},
        {WM_SYSKEYDOWN, VK_BACK, alt, false, false, 0}, // an Alt combination
        {WM_SYSKEYUP, VK_TAB, 0, false, false, 2},
        {WM_KEYDOWN, 'A', 0, false, false, 0},
        {WM_KEYUP, VK_RETURN, 0, false, false, 0},
        {WM_CHAR, VK_RETURN, 0, false, false, 0},
    };
    for (const auto& c : cases) {
        MSG message = {};
        message.message = c.message;
        message.wParam = c.key;
        message.lParam = c.lParam;
        EXPECT_EQ(c.result, IsEditNavigationKeyState(message, c.shift, c.ctrl))
            << c.message << " " << c.key << " " << c.shift << c.ctrl;
    }
    MSG message = {};
    message.message = WM_KEYDOWN;
    message.wParam = VK_RETURN;
    EXPECT_EQ(0, IsEditNavigationKey(nullptr, message));
}

// A data object that offers CF_HDROP with two files and a URL text.
class CFakeDataObject : public CComObjectRootEx<CComSingleThreadModel>, public IDataObject {
public:
    BEGIN_COM_MAP(CFakeDataObject)
        COM_INTERFACE_ENTRY(IDataObject)
    END_COM_MAP()

    bool offerFiles = true;

    STDMETHOD(GetData)(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        if (format->cfFormat == CF_HDROP) {
            const char files[] = "C:\\a.txt\0C:\\b c.htm\0";
            medium->hGlobal = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof(files));
            auto* drop = static_cast<DROPFILES*>(GlobalLock(medium->hGlobal));
            drop->pFiles = sizeof(DROPFILES);
            memcpy(drop + 1, files, sizeof(files));
            GlobalUnlock(medium->hGlobal);
        } else {
            // Text without a terminator within the block: the reader must stop at its end.
            const char url[] = "http://example.org/";
            medium->hGlobal = GlobalAlloc(GHND, sizeof(url) - 1);
            memcpy(GlobalLock(medium->hGlobal), url, sizeof(url) - 1);
            GlobalUnlock(medium->hGlobal);
        }
        return S_OK;
    }
    STDMETHOD(GetDataHere)(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHOD(QueryGetData)(FORMATETC* format) override
    {
        if (format->cfFormat == CF_HDROP)
            return offerFiles ? S_OK : DV_E_FORMATETC;
        return format->cfFormat == GetClipboardFormats().url ? S_OK : DV_E_FORMATETC;
    }
    STDMETHOD(GetCanonicalFormatEtc)(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHOD(SetData)(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(EnumFormatEtc)(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHOD(DAdvise)(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(DUnadvise)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumDAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

TEST(SharedFunctions, DataObjectsWithFilesAndUrls)
{
    CComObjectStackEx<CFakeDataObject> data;
    EXPECT_TRUE(IsDataObjectDroppable(&data));
    std::vector<TStdStr<char>> files;
    ASSERT_TRUE(GetDataObjectFiles(&data, files));
    EXPECT_EQ((std::vector<TStdStr<char>>{"C:\\a.txt", "C:\\b c.htm"}), files);
    EXPECT_EQ("http://example.org/", GetDataObjectText(&data, GetClipboardFormats().url));
    EXPECT_EQ("", GetDataObjectText(&data, CF_TEXT));

    data.offerFiles = false;
    files.clear();
    EXPECT_FALSE(GetDataObjectFiles(&data, files));
    EXPECT_TRUE(IsDataObjectDroppable(&data)) << "the URL alone is enough";
    EXPECT_FALSE(IsDataObjectDroppable(nullptr));

    const ClipboardFormats& formats = GetClipboardFormats();
    EXPECT_EQ(RegisterClipboardFormatA("HTML Format"), formats.html);
    EXPECT_EQ(RegisterClipboardFormatA("FileGroupDescriptor"), formats.fileGroupDescriptor);
}

TEST(SharedFunctions, ClipboardRoundTrip)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    EXPECT_TRUE(CopyTextToClipboard("copied text and more", 11));
    CloseClipboard();
    EXPECT_EQ("copied text", GetClipboardText());
}

TEST(SharedFunctions, WindowSearchesAndMenus)
{
    HWND top = CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND middle = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 100, 50, top, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, middle, nullptr, nullptr, nullptr);
    EXPECT_EQ(edit, FindChildWindowByClass(top, "Edit")) << "a grandchild";
    EXPECT_EQ(middle, FindChildWindowByClass(top, "Static"));
    EXPECT_EQ(nullptr, FindChildWindowByClass(top, "Button"));

    RefreshWindowLayout(middle);
    RECT rect = {};
    GetWindowRect(middle, &rect);
    EXPECT_EQ(100, rect.right - rect.left);
    DestroyWindow(top);

    RECT work = {};
    GetWorkAreaFromPoint({1, 1}, &work);
    EXPECT_LT(work.left, work.right);

    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "a");
    EXPECT_TRUE(AppendMenuSeparator(menu));
    EXPECT_TRUE(InsertMenuSeparator(menu, 0));
    EXPECT_EQ(3, GetMenuItemCount(menu));
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), GetMenuState(menu, 0, MF_BYPOSITION) & MF_SEPARATOR);
    DestroyMenu(menu);

    const DragDetectSettings& drag = GetDragDetectSettings();
    EXPECT_EQ(static_cast<int>(GetProfileIntA("windows", "DragMinDist", 2)), drag.minDistance);
    EXPECT_EQ(&drag, &GetDragDetectSettings());
    EXPECT_EQ(static_cast<int>(GetProfileIntA("windows", "DragScrollInset", 11)), GetDragScrollSettings().inset);
}

TEST(SharedFunctions, DragDetectionEndsOnLeavingReleasingEscapeOrTheDelay)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 100, 100, 200, 200, nullptr, nullptr, nullptr, nullptr);
    const RECT start = {140, 140, 160, 160}; // in screen coordinates; the window's client starts at 100,100
    CDragDetector detector;
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool drag;
    } cases[] = {
        {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(45, 45), false}, // inside, then the release below ends it
        {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 45), true},  // left the rectangle
        {WM_LBUTTONUP, 0, MAKELPARAM(45, 45), false},
        {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(45, 45), false},
        {WM_KEYDOWN, VK_ESCAPE, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        PostMessageA(window, c.message, c.wParam, c.lParam);
        if (c.message == WM_MOUSEMOVE && !c.drag)
            PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(45, 45));
        EXPECT_EQ(c.drag, detector.DetectDrag(window, &start, false));
        EXPECT_NE(window, GetCapture()) << "the capture is given back";
        MSG left;
        while (PeekMessageA(&left, window, 0, 0, PM_REMOVE)) {
        }
    }
    // With the time limit the drag starts once the delay has passed, without any mouse message.
    const DWORD begin = GetTickCount();
    EXPECT_TRUE(detector.DetectDrag(window, &start, true));
    EXPECT_GE(GetTickCount() - begin + 20, static_cast<DWORD>(GetDragDetectSettings().delay));
    DestroyWindow(window);
}

TEST(SharedFunctions, FlagBitsThroughCheckBoxes)
{
    HWND dialog = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 50, 20, dialog,
                    reinterpret_cast<HMENU>(24410), nullptr, nullptr);
    DWORD flags = 0x30;
    DdxCheckFlag(dialog, 24410, flags, 0x10, false);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog, 24410));
    CheckDlgButton(dialog, 24410, BST_UNCHECKED);
    DdxCheckFlag(dialog, 24410, flags, 0x10, true);
    EXPECT_EQ(0x20u, flags);
    CheckDlgButton(dialog, 24410, BST_CHECKED);
    DdxCheckFlag(dialog, 24410, flags, 0x200, true);
    EXPECT_EQ(0x220u, flags);
    DestroyWindow(dialog);

    EXPECT_TRUE(IsZeroOrOne(0));
    EXPECT_TRUE(IsZeroOrOne(1));
    EXPECT_FALSE(IsZeroOrOne(2));
    EXPECT_FALSE(IsZeroOrOne(-1));
}

TEST(SharedFunctions, FileDialogFilterAndAdHistoryText)
{
    const TStdStr<char> filter = MakeFileDialogFilter({{"Text files", "*.txt"}, {"All files", "*.*"}});
    EXPECT_EQ(std::string("Text files\0*.txt\0All files\0*.*\0\0", 32), std::string(filter));

    CBlockedLog log;
    log.SetMaxItems(10);
    // 2024-03-05 06:07:08.009 UTC, shown in the local time the time formatting uses.
    const int64_t time = 133540120280090000LL;
    log.Add({static_cast<uint64_t>(time), "*/ads/*", "http://x/ads/1.gif", ""});
    log.Add({static_cast<uint64_t>(time), "banner", "http://y/banner", ""});
    const TStdStr<char> stamp = CZ4KTime::Format(time, "%m/%d/%Y %H:%M:%S.%s");
    EXPECT_EQ("Ad Blocked History\r\n\r\n" + stamp + "\t*/ads/*\thttp://x/ads/1.gif\r\n" + stamp +
                  "\tbanner\thttp://y/banner\r\n\r\n",
              FormatAdBlockedHistoryText(log));
    EXPECT_EQ("Ad Blocked History\r\n\r\n\r\n", FormatAdBlockedHistoryText(CBlockedLog()));
}

TEST(SharedFunctions, IconEditMakesRoomForItsIcon)
{
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 200, 24, nullptr, nullptr, nullptr, nullptr);
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(3, 4));
    {
        CIconStatic iconEdit;
        ASSERT_TRUE(iconEdit.SubclassWindow(edit));
        const DWORD margins = static_cast<DWORD>(SendMessageA(edit, EM_GETMARGINS, 0, 0));
        EXPECT_EQ(GetSystemMetrics(SM_CXSMICON) + 2 * iconEdit.GetIconPadding() + 3, LOWORD(margins));
        EXPECT_EQ(4, HIWORD(margins));
        HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
        ImageList_AddIcon(images, LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
        iconEdit.SetIcon(images, 0);
        UpdateWindow(edit); // paints through the subclass without failing
        DestroyWindow(edit);
        ImageList_Destroy(images);
    }
}

TEST(SharedFunctions, HoldersReleaseWhatTheyHold)
{
    CWindowsHookHolder hook;
    ASSERT_TRUE(hook.Set(WH_CBT, [](int code, WPARAM w, LPARAM l) { return CallNextHookEx(nullptr, code, w, l); },
                         nullptr, GetCurrentThreadId()));
    hook.Unhook();
    EXPECT_EQ(nullptr, hook.Get());
    hook.Unhook();

    CSizedIcon icon;
    icon.Attach(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
    HICON first = icon.Get();
    icon.Attach(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
    EXPECT_NE(first, icon.Get());

    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    {
        CCriticalSectionLock lock(section);
        EXPECT_TRUE(TryEnterCriticalSection(&section)); // the owner may enter again
        LeaveCriticalSection(&section);
    }
    DeleteCriticalSection(&section);

    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    CShellAutoComplete autoComplete(edit, CLSID_ACLHistory);
    (void)autoComplete.IsBound(); // either bound or refused cleanly where the shell lacks the class
    DestroyWindow(edit);

    EXPECT_FALSE(RemoveFile(nullptr));
    EXPECT_FALSE(RemoveFile("Q:\\kivo\\absent.txt"));
}

} // namespace
