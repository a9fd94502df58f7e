#include "navigation/favorites/LinksBar.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/system/DragDrop.h"
#include "core/system/OpenUrl.h"
#include "core/system/ShellItems.h"
#include "navigation/FavIconCache.h"
#include "navigation/favorites/FavoritesFolder.h"
#include "navigation/favorites/FavoritesResources.h"
#include "navigation/favorites/LinkDrag.h"
#include "platform/Diagnostics.h"

#include <shellapi.h>
#include <windowsx.h>
#include <shlobj.h>

#include <algorithm>

namespace {

constexpr DWORD kToolBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST |
                                TBSTYLE_TOOLTIPS | TBSTYLE_TRANSPARENT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;
constexpr int kFolderImage = 5;
constexpr int kLinksButtonImage = 6;
constexpr size_t kMaxToolbarEntries = kLinksBarLastCommand - kLinksBarFirstCommand + 1;
constexpr int kTooltipLength = 80;
// Tracking flags of the folder and chevron menus: left-aligned at the point, vertical, right
// button allowed, opening downwards.
constexpr UINT kMenuTrackFlags = TPM_LEFTALIGN | TPM_VERTICAL | TPM_RIGHTBUTTON | TPM_VERPOSANIMATION;

// "http://a.example/deep/path/page.html" in `room` characters: the beginning and the last segment
// kept with "..." between them (the familiar path compaction), cut plainly when even that is too long.
std::string CompactUrl(const std::string& url, size_t room)
{
    if (url.size() <= room)
        return url;
    const size_t slash = url.find_last_of("/\\", url.size() > 1 ? url.size() - 2 : 0);
    const std::string tail = slash == std::string::npos ? std::string() : url.substr(slash);
    if (tail.size() + 3 < room)
        return url.substr(0, room - 3 - tail.size()) + "..." + tail;
    return room > 3 ? url.substr(0, room - 3) + "..." : url.substr(0, room);
}

bool IsFolderPath(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string GetLinksBarFolder()
{
    std::string name;
    if (const CSettings* settings = GetSettings())
        name = settings->LinksBarDefaultFolder.value.c_str();
    if (name.empty())
        name = "Links";
    if (name.size() > 1 && (name[1] == ':' || (name[0] == '\\' && name[1] == '\\')))
        return WithTrailingBackslash(name);
    const std::string favorites = GetFavoritesFolder();
    return favorites.empty() ? std::string() : WithTrailingBackslash(favorites + name);
}

bool ShellCopyFiles(const std::vector<std::string>& files, const std::string& folder, bool move)
{
    if (files.empty() || folder.empty())
        return false;
    std::string from;
    for (const std::string& file : files) {
        from += file;
        from.push_back('\0');
    }
    from.push_back('\0');
    std::string to = folder;
    to.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = move ? FO_MOVE : FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

// ---------------------------------------------------------------------------------------------

CFolderToolBar::CToolbarMenu::CToolbarMenu(CFolderToolBar& bar, UINT insertPoint)
    : CFavoritesMenu(insertPoint, TranslateText("(empty)").c_str(), kFolderMenuFirstCommand, kFolderMenuLastCommand,
                     TranslateText("Open All of these").c_str()),
      m_bar(bar)
{
    SetRestartIds(true);
}

CFolderToolBar::CFolderToolBar(UINT insertPoint, UINT firstCommand, UINT lastCommand, bool fixedFirstButton,
                               const bool* rootFlag)
    : m_fixedFirstButton(fixedFirstButton), m_rootFlag(rootFlag), m_firstCommand(firstCommand), m_lastCommand(lastCommand),
      m_nextCommand(firstCommand), m_insertPoint(insertPoint), m_menu(*this, insertPoint)
{
    m_popup.CreatePopupMenu();
    m_popup.AppendMenu(MF_STRING, insertPoint, "InsertPoint");
    m_menu.Attach(m_popup.m_hMenu);
}

CFolderToolBar::~CFolderToolBar() { m_watcher.Stop(); }

HWND CFolderToolBar::Create(HWND parent, UINT id)
{
    return CWindowImpl<CFolderToolBar, CToolBarCtrl>::Create(parent, CRect(0, 0, 100, 24), nullptr, kToolBarStyle, 0, id);
}

void CFolderToolBar::SetFolderPath(const std::string& folder) { m_folder = WithTrailingBackslash(folder); }

LRESULT CFolderToolBar::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result == -1)
        return result;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd), 0);
    SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    SendMessage(TB_SETMAXTEXTROWS, 1, 0);
    Populate();
    if (!m_folder.empty())
        m_watcher.Start(m_hWnd, m_folder, false);  // without it the bar shows no live updates
    AfterCreate();
    return result;
}

LRESULT CFolderToolBar::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_watcher.Stop();
    BeforeDestroy();
    handled = FALSE;
    return 0;
}

LRESULT CFolderToolBar::OnFileNotification(UINT, WPARAM, LPARAM, BOOL&)
{
    Populate();
    return 0;
}

// A press on an entry's button: the toolbar presses it, then the system's drag detection decides.
// A drag carries the shell's data object of the entry's file; a click gets its button-up back
// (the detection took it from the queue), so the toolbar completes the click. After a drag the
// button-up goes outside every button, so the button does not stay pressed and opens nothing.
LRESULT CFolderToolBar::OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    TBBUTTON button = {};
    const CEntry* entry = index >= 0 && SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))
                              ? GetEntry(static_cast<UINT>(button.idCommand)) : nullptr;
    if (!entry)
        return result;
    const UINT up = message == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP;
    CDragDetector detector;
    if (!detector.DetectDrag(m_hWnd, nullptr, false)) {
        SendMessage(up, 0, lParam);
        return result;
    }
    const std::string path = entry->path;
    if (IDataObject* data = CreateShellDataObject(path)) {
        if (CDragOutSource* source = CDragOutSource::Create(message == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON)) {
            DWORD effect = DROPEFFECT_NONE;
            DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
            source->Release();
        }
        data->Release();
    }
    if (IsWindow())
        SendMessage(up, 0, MAKELPARAM(-1, -1));
    return result;
}

void CFolderToolBar::RestartWatcher() { m_watcher.Start(m_hWnd, m_folder, false); }

void CFolderToolBar::UpdateBandSize()
{
    HWND rebar = GetParent();
    char className[32] = {};
    if (!rebar || !::GetClassNameA(rebar, className, sizeof(className)) || lstrcmpiA(className, REBARCLASSNAMEA) != 0)
        return;
    SIZE size = {};
    SendMessage(TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    const int bands = static_cast<int>(::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < bands; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILD;
        if (!::SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)) || band.hwndChild != m_hWnd)
            continue;
        band.fMask = RBBIM_CHILDSIZE | RBBIM_IDEALSIZE;
        band.cxMinChild = 0;
        band.cyMinChild = size.cy;
        band.cxIdeal = size.cx;
        ::SendMessageA(rebar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        break;
    }
}

LRESULT CFolderToolBar::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    m_menu.OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
    return 0;
}

LRESULT CFolderToolBar::OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const UINT id = LOWORD(wParam);
    if (reinterpret_cast<HWND>(lParam) != m_hWnd || id < m_firstCommand || id > m_lastCommand) {
        handled = FALSE;
        return 0;
    }
    OnButton(id);
    return 0;
}

LRESULT CFolderToolBar::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->code != TTN_GETDISPINFOA) {
        handled = FALSE;
        return 0;
    }
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
    if (info->uFlags & TTF_IDISHWND) {
        handled = FALSE;
        return 0;
    }
    m_toolTip = GetTooltipText(static_cast<UINT>(header->idFrom));
    info->lpszText = m_toolTip.empty() ? nullptr : const_cast<char*>(m_toolTip.c_str());
    return 0;
}

const CFolderToolBar::CEntry* CFolderToolBar::GetEntry(UINT command) const
{
    const auto found = m_entries.find(command);
    return found == m_entries.end() ? nullptr : &found->second;
}

void CFolderToolBar::PrepareButtons(std::vector<CButton>& buttons)
{
    std::stable_sort(buttons.begin(), buttons.end(), [](const CButton& a, const CButton& b) {
        if (a.entry.folder != b.entry.folder)
            return a.entry.folder;
        return a.text < b.text;
    });
}

void CFolderToolBar::Populate()
{
    if (!IsWindow())
        return;
    m_options = ReadFavoritesMenuOptions();
    SetRedraw(FALSE);
    while (SendMessage(TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessage(TB_DELETEBUTTON, 0, 0);
    m_entries.clear();
    m_nextCommand = m_firstCommand;
    std::vector<CButton> buttons;
    if (!m_folder.empty()) {
        WIN32_FIND_DATAA data = {};
        CFindHandle find(FindFirstFileA((m_folder + "*.*").c_str(), &data));
        if (find.IsValid()) {
            do {
                const std::string name = data.cFileName;
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) || name == "." || name == ".." || name.empty())
                    continue;
                if (m_nextCommand + 1 > m_lastCommand)
                    break;
                CButton button;
                button.entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                button.entry.name = name;
                button.entry.path = m_folder + name + (button.entry.folder ? "\\" : "");
                button.text = MakeFavoritesDisplayText(button.entry.path, m_options.maxWidth, false);
                button.button.idCommand = static_cast<int>(++m_nextCommand);
                button.button.fsState = TBSTATE_ENABLED;
                button.button.fsStyle = static_cast<BYTE>(BTNS_AUTOSIZE | BTNS_NOPREFIX | (button.entry.folder ? BTNS_WHOLEDROPDOWN : 0));
                button.button.iBitmap = I_IMAGENONE;
                buttons.push_back(std::move(button));
            } while (buttons.size() < kMaxToolbarEntries && FindNextFileA(find.Get(), &data));
        }
    }
    PrepareButtons(buttons);
    if (m_fixedFirstButton) {
        CButton first;
        first.button.idCommand = static_cast<int>(kLinksBarFavoritesButton);
        first.button.fsState = TBSTATE_ENABLED;
        first.button.fsStyle = BTNS_WHOLEDROPDOWN | BTNS_AUTOSIZE;
        first.button.iBitmap = kLinksButtonImage;
        first.text = m_rootFlag && *m_rootFlag ? TranslateText("Links").c_str() : "";
        buttons.insert(buttons.begin(), std::move(first));
    }
    // The toolbar copies a text given by pointer; an empty text is no string at all (an empty
    // entry in TB_ADDSTRING's list would end the list and lend the button the next string).
    for (CButton& button : buttons) {
        button.button.iString = button.text.empty() ? -1 : reinterpret_cast<INT_PTR>(button.text.c_str());
        SendMessage(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button.button));
        if (!button.entry.path.empty())
            m_entries[static_cast<UINT>(button.button.idCommand)] = button.entry;
    }
    if (m_entries.empty()) {
        const std::string text = TranslateText("(empty)").c_str();
        TBBUTTON empty = {};
        empty.iBitmap = I_IMAGENONE;
        empty.fsStyle = BTNS_AUTOSIZE | BTNS_NOPREFIX;
        empty.iString = reinterpret_cast<INT_PTR>(text.c_str());
        SendMessage(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&empty));
    }
    SendMessage(TB_AUTOSIZE, 0, 0);
    SetRedraw(TRUE);
    Invalidate();
    UpdateBandSize();
}

std::vector<std::string> CFolderToolBar::GetVisiblePaths() const
{
    std::vector<std::string> paths;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    const int count = static_cast<int>(::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        RECT rect = {};
        if (!::SendMessageA(m_hWnd, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) ||
            !::SendMessageA(m_hWnd, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect)))
            continue;
        const CEntry* entry = GetEntry(static_cast<UINT>(button.idCommand));
        if (entry && rect.right <= client.right)
            paths.push_back(entry->path);
    }
    return paths;
}

HMENU CFolderToolBar::BuildChevronMenu()
{
    m_menu.GetExclusions() = GetVisiblePaths();
    m_menu.SetRootFolder(m_folder);
    m_menu.OnInitMenuPopup(m_popup.m_hMenu);
    m_menu.GetExclusions().clear();
    return m_popup.m_hMenu;
}

void CFolderToolBar::OnChevronPushed(const RECT& chevronScreen)
{
    TrackMenu(BuildChevronMenu(), POINT{chevronScreen.left, chevronScreen.bottom});
}

void CFolderToolBar::TrackMenu(HMENU menu, POINT at)
{
    ::TrackPopupMenuEx(menu, kMenuTrackFlags, at.x, at.y, m_hWnd, nullptr);
}

void CFolderToolBar::OnButton(UINT command)
{
    const CEntry* entry = GetEntry(command);
    if (!entry)
        return;
    if (!entry->folder) {
        OpenEntry(entry->path);
        return;
    }
    RECT rect = {};
    const int index = static_cast<int>(SendMessage(TB_COMMANDTOINDEX, command, 0));
    SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    m_menu.SetRootFolder(entry->path);
    m_menu.OnInitMenuPopup(m_popup.m_hMenu);
    TrackMenu(m_popup.m_hMenu, POINT{rect.left, rect.bottom});
}

std::string CFolderToolBar::GetTooltipText(UINT command)
{
    const CEntry* entry = GetEntry(command);
    if (!entry)
        return {};
    const std::string name = MakeFavoritesDisplayText(entry->path, kTooltipLength, false);
    const std::string url = entry->folder ? std::string() : ReadInternetShortcutUrl(entry->path);
    const size_t used = name.size() + 1;
    if (url.empty() || used >= static_cast<size_t>(kTooltipLength) - 1)
        return name;
    const std::string shortUrl = CompactUrl(url, kTooltipLength - 1 - used);
    return shortUrl == name ? name : name + "\n" + shortUrl;
}

// ---------------------------------------------------------------------------------------------
// The Links bar's drop target: hands the drop to the bar, which revokes it before it goes.

class CLinksBar::CDropTarget : public IDropTarget {
public:
    explicit CDropTarget(CLinksBar* bar) : m_bar(bar) {}
    CLinksBar* m_bar = nullptr;  // not owned; cleared when the bar revokes the target

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDropTarget)
            return E_NOINTERFACE;
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL, DWORD* effect) override
    {
        std::vector<TStdStr<char>> files;
        m_files = data && GetDataObjectFiles(data, files);
        m_allowed = effect ? *effect : 0;
        return DragOver(keys, POINTL{}, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL, DWORD* effect) override
    {
        if (effect)
            *effect = m_bar && m_files ? ChooseEffect(keys, m_allowed) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        m_files = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override
    {
        try {
            const DWORD allowed = effect ? *effect : 0;
            const DWORD done = m_bar ? m_bar->DropData(data, keys, POINT{point.x, point.y}, allowed) : DROPEFFECT_NONE;
            if (effect)
                *effect = done;
            m_files = false;
            return S_OK;
        } catch (...) {
            return ReportCaughtExceptionAsHresult("CLinksBar::CDropTarget::Drop");
        }
    }

    // The keys' effect (Ctrl+Shift link, Ctrl copy, else move), a move the source does not allow
    // made a copy.
    static DWORD ChooseEffect(DWORD keys, DWORD allowed)
    {
        DWORD effect = DropEffectFromKeyState(keys) & ~DROPEFFECT_SCROLL;
        if (effect == DROPEFFECT_MOVE && !(allowed & DROPEFFECT_MOVE))
            effect = DROPEFFECT_COPY;
        return (effect & allowed) ? effect : DROPEFFECT_NONE;
    }

private:
    virtual ~CDropTarget() = default;
    LONG m_references = 1;
    bool m_files = false;
    DWORD m_allowed = 0;
};

CLinksBar::CLinksBar(CFavIconCache* icons)
    : CFolderToolBar(kFolderMenuInsertPoint, kLinksBarFirstCommand, kLinksBarLastCommand, true, &m_root), m_icons(icons)
{
    SetFolderPath(GetLinksBarFolder());
    m_root = FolderPathsEqual(GetFolderPath(), GetFavoritesFolder());
}

CLinksBar::~CLinksBar()
{
    if (m_dropTarget) {
        m_dropTarget->m_bar = nullptr;
        m_dropTarget->Release();
    }
}

void CLinksBar::AfterCreate()
{
    if (CFavIconCache* cache = m_icons ? m_icons : GetFavIconCache()) {
        CFavIconImageListLock lock(*cache);
        SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(cache->GetImageList()));
        Populate();  // the icons need the list
    }
    m_dropTarget = new CDropTarget(this);
    // Without OLE on this thread the bar works without drops.
    if (FAILED(RegisterDragDrop(m_hWnd, m_dropTarget))) {
        m_dropTarget->m_bar = nullptr;
        m_dropTarget->Release();
        m_dropTarget = nullptr;
    }
}

void CLinksBar::BeforeDestroy()
{
    if (m_dropTarget) {
        RevokeDragDrop(m_hWnd);
        m_dropTarget->m_bar = nullptr;
        m_dropTarget->Release();
        m_dropTarget = nullptr;
    }
}

void CLinksBar::Rebuild()
{
    m_root = FolderPathsEqual(GetFolderPath(), GetFavoritesFolder());
    // The options may have pointed the bar at another folder: watch that one from now on.
    if (IsWindow() && !GetFolderPath().empty())
        RestartWatcher();
    Populate();
}

void CLinksBar::OpenEntry(const std::string& path)
{
    const std::string url = ReadInternetShortcutUrl(path);
    if (url.empty())
        return;
    const CSettings* settings = GetSettings();
    const DWORD flags = settings && (settings->TabOpenFlags.value & TabOpenFlag::LinksBar) ? DWORD{kOpenNewTab} : DWORD{0};
    OpenUrlInFrame(m_hWnd, url.c_str(), flags);
}

void CLinksBar::PrepareButtons(std::vector<CButton>& buttons)
{
    CFavIconCache* cache = m_icons ? m_icons : GetFavIconCache();
    for (CButton& button : buttons) {
        if (button.entry.folder)
            button.button.iBitmap = kFolderImage;
        else if (cache)
            button.button.iBitmap = cache->GetIconIndex(GetFavIconKey(ReadInternetShortcutUrl(button.entry.path)));
    }
    if (m_options.nameSort) {
        CFolderToolBar::PrepareButtons(buttons);
        return;
    }
    CFavoritesOrderMap order;
    ReadFavoritesMenuOrder(order, GetFolderPath());
    std::stable_sort(buttons.begin(), buttons.end(), [&order](const CButton& a, const CButton& b) {
        return MenuOrderLess(order, a.entry.name, a.entry.folder, b.entry.name, b.entry.folder);
    });
}

std::string CLinksBar::GetDropFolder(POINT screen)
{
    POINT client = screen;
    ScreenToClient(&client);
    const int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
    if (index >= 0) {
        TBBUTTON button = {};
        if (SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)))
            if (const CEntry* entry = GetEntry(static_cast<UINT>(button.idCommand)); entry && entry->folder)
                return entry->path;
    }
    return GetFolderPath();
}

DWORD CLinksBar::DropData(IDataObject* data, DWORD keys, POINT screen, DWORD allowed)
{
    std::vector<TStdStr<char>> dropped;
    if (!data || !GetDataObjectFiles(data, dropped) || dropped.empty())
        return DROPEFFECT_NONE;
    const std::string folder = GetDropFolder(screen);
    if (folder.empty() || !IsFolderPath(folder))
        return DROPEFFECT_NONE;
    std::vector<std::string> files;
    for (const TStdStr<char>& file : dropped) {
        // Only files that are there: a link without a title stands in the list as its URL text.
        if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        // A button dropped onto its own folder, or a file onto the folder it is in, does nothing.
        const std::string parent = file.substr(0, file.find_last_of('\\') + 1).c_str();
        if (!FolderPathsEqual(file.c_str(), folder) && !FolderPathsEqual(parent, folder))
            files.push_back(file.c_str());
    }
    if (files.empty())
        return DROPEFFECT_NONE;
    const DWORD effect = CDropTarget::ChooseEffect(keys, allowed);
    if (effect == DROPEFFECT_LINK) {
        // A link to each file: an Internet shortcut named after it.
        bool made = false;
        for (const std::string& file : files)
            made |= CreateInternetShortcut(folder + MakeFileNameSafe(GetPathFileTitle(file)) + ".url", "file:///" + file);
        return made ? DROPEFFECT_LINK : DROPEFFECT_NONE;
    }
    if (effect != DROPEFFECT_COPY && effect != DROPEFFECT_MOVE)
        return DROPEFFECT_NONE;
    return ShellCopyFiles(files, folder, effect == DROPEFFECT_MOVE) ? effect : DROPEFFECT_NONE;
}
