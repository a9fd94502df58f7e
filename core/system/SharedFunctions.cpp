#include "core/system/SharedFunctions.h"

#include "core/app/BlockedLogs.h"
#include "core/app/LanguageManager.h"
#include "core/system/OsInfo.h"
#include "platform/AtlGdi.h"
#include "core/library/Z4KTime.h"

#include <shellapi.h>
#include <shlguid.h>

#include <cstring>

namespace {

constexpr DWORD kDropEffectScroll = 0x80000000;

// Asks the object for one global-memory format.
bool GetGlobalData(IDataObject* data, CLIPFORMAT format, STGMEDIUM& medium)
{
    FORMATETC request = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data && SUCCEEDED(data->GetData(&request, &medium)) && medium.tymed == TYMED_HGLOBAL && medium.hGlobal;
}

bool Offers(IDataObject* data, CLIPFORMAT format)
{
    FORMATETC request = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data->QueryGetData(&request) == S_OK;
}

// The text of a global block, never beyond its size.
TStdStr<char> GlobalText(HGLOBAL memory)
{
    const char* text = static_cast<const char*>(::GlobalLock(memory));
    if (!text)
        return TStdStr<char>();
    const size_t size = ::GlobalSize(memory);
    TStdStr<char> result(text, strnlen(text, size));
    ::GlobalUnlock(memory);
    return result;
}

int ReadWinIniInt(const char* key, int fallback) { return static_cast<int>(::GetProfileIntA("windows", key, fallback)); }

CComCriticalSection& DragSettingsLock()
{
    static CComAutoCriticalSection lock;
    return lock;
}

} // namespace

bool IsKeyDown(int virtualKey) { return (::GetKeyState(virtualKey) & 0x8000) != 0; }

DWORD DropEffectFromKeyState(DWORD keyState)
{
    DWORD effect = DROPEFFECT_MOVE;
    if ((keyState & MK_CONTROL) && (keyState & MK_SHIFT))
        effect = DROPEFFECT_LINK;
    else if (keyState & MK_CONTROL)
        effect = DROPEFFECT_COPY;
    return effect | kDropEffectScroll;
}

DWORD FilterDropEffect(DWORD effects)
{
    const DWORD plain = effects & ~kDropEffectScroll;
    return plain == DROPEFFECT_COPY || plain == DROPEFFECT_LINK ? effects : 0;
}

bool IsDataObjectDroppable(IDataObject* data)
{
    return data && (Offers(data, CF_HDROP) || Offers(data, CF_TEXT) || Offers(data, GetClipboardFormats().url));
}

TStdStr<char> GetDataObjectText(IDataObject* data, CLIPFORMAT format)
{
    STGMEDIUM medium = {};
    if (!GetGlobalData(data, format, medium))
        return TStdStr<char>();
    TStdStr<char> text = GlobalText(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return text;
}

bool GetDataObjectFiles(IDataObject* data, std::vector<TStdStr<char>>& files)
{
    STGMEDIUM medium = {};
    if (!GetGlobalData(data, CF_HDROP, medium))
        return false;
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char name[MAX_PATH] = {};
        if (::DragQueryFileA(drop, i, name, MAX_PATH))
            files.push_back(name);
    }
    ::ReleaseStgMedium(&medium);
    return true;
}

// Both groups of WIN.INI drag values, read once under the lock, whichever thread asks first.
struct DragSettings {
    DragDetectSettings detect;
    DragScrollSettings scroll;
};

static const DragSettings& GetDragSettings()
{
    static DragSettings settings;
    static bool read = false;
    CComCritSecLock<CComCriticalSection> lock(DragSettingsLock());
    if (!read) {
        settings.detect.minDistance = ReadWinIniInt("DragMinDist", 2);
        settings.detect.delay = ReadWinIniInt("DragDelay", 200);
        settings.scroll.inset = ReadWinIniInt("DragScrollInset", 11);
        settings.scroll.delay = ReadWinIniInt("DragScrollDelay", 50);
        settings.scroll.interval = ReadWinIniInt("DragScrollInterval", 50);
        read = true;
    }
    return settings;
}

const DragDetectSettings& GetDragDetectSettings() { return GetDragSettings().detect; }
const DragScrollSettings& GetDragScrollSettings() { return GetDragSettings().scroll; }

bool CDragDetector::DetectDrag(HWND window, const RECT* start, bool timeLimit)
{
    const DragDetectSettings& settings = GetDragDetectSettings();
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    RECT rect;
    if (start) {
        rect = *start;
    } else {
        const int inflate = 2 * settings.minDistance;
        rect = {cursor.x - inflate, cursor.y - inflate, cursor.x + inflate, cursor.y + inflate};
    }
    m_button = IsKeyDown(VK_LBUTTON) ? MK_LBUTTON : IsKeyDown(VK_RBUTTON) ? MK_RBUTTON : IsKeyDown(VK_MBUTTON) ? MK_MBUTTON : 0;

    ::SetCapture(window);
    const DWORD begin = ::GetTickCount();
    bool drag = false;
    for (bool waiting = true; waiting;) {
        if (::GetCapture() != window)
            break;
        if (timeLimit && ::GetTickCount() - begin >= static_cast<DWORD>(settings.delay)) {
            drag = true;
            break;
        }
        MSG message;
        if (!::PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) &&
            !::PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeLimit ? 10 : 50, QS_MOUSE | QS_KEY);
            continue;
        }
        switch (message.message) {
        case WM_MOUSEMOVE: {
            POINT point = {static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
            ::ClientToScreen(message.hwnd, &point);
            if (!::PtInRect(&rect, point)) {
                drag = true;
                waiting = false;
            }
            break;
        }
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            waiting = false;
            break;
        case WM_KEYDOWN:
            if (message.wParam == VK_ESCAPE)
                waiting = false;
            break;
        default:
            break;
        }
    }
    if (::GetCapture() == window)
        ::ReleaseCapture();
    return drag;
}

bool IsWindowCovered(HWND window)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return false;
    HWND found = ::WindowFromPoint({rect.left + 1, rect.top + 5});
    return found && ::GetAncestor(found, GA_ROOT) != ::GetAncestor(window, GA_ROOT);
}

void RefreshWindowLayout(HWND window)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return;
    if (HWND parent = ::GetParent(window); parent && (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top, flags);
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, flags);
}

HWND FindChildWindowByClass(HWND parent, const char* className)
{
    if (!parent || !className)
        return nullptr;
    if (HWND direct = ::FindWindowExA(parent, nullptr, className, nullptr))
        return direct;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (HWND found = FindChildWindowByClass(child, className))
            return found;
    }
    return nullptr;
}

void GetWorkAreaFromPoint(POINT point, RECT* rect)
{
    using MonitorFromPointProc = HMONITOR(WINAPI*)(POINT, DWORD);
    using GetMonitorInfoProc = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
    HMODULE user = ::GetModuleHandleA("USER32.DLL");
    auto fromPoint = reinterpret_cast<MonitorFromPointProc>(
        reinterpret_cast<void*>(user ? ::GetProcAddress(user, "MonitorFromPoint") : nullptr));
    auto getInfo = reinterpret_cast<GetMonitorInfoProc>(
        reinterpret_cast<void*>(user ? ::GetProcAddress(user, "GetMonitorInfoA") : nullptr));
    if (fromPoint && getInfo) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (HMONITOR monitor = fromPoint(point, MONITOR_DEFAULTTONEAREST); monitor && getInfo(monitor, &info)) {
            *rect = info.rcWork;
            return;
        }
    }
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, rect, 0);
}

bool GetToolbarItemRect(HWND toolbar, int indexOrCommand, bool byCommand, RECT* rect)
{
    int index = indexOrCommand;
    if (byCommand)
        index = static_cast<int>(::SendMessageA(toolbar, TB_COMMANDTOINDEX, indexOrCommand, 0));
    return index >= 0 && ::SendMessageA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect)) != 0;
}

bool AppendMenuSeparator(HMENU menu) { return ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) != FALSE; }

bool InsertMenuSeparator(HMENU menu, UINT position)
{
    return ::InsertMenuA(menu, position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr) != FALSE;
}

void SetWindowIcons(HWND window, HIMAGELIST imageList, int index)
{
    // WM_SETICON does not take the icons over; the window keeps them for its lifetime.
    ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(::ImageList_GetIcon(imageList, index, ILD_NORMAL)));
    ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(::ImageList_GetIcon(imageList, index, ILD_NORMAL)));
}

void CSizedIcon::Attach(HICON icon)
{
    if (m_icon && m_icon != icon)
        ::DestroyIcon(m_icon);
    m_icon = icon;
}

void CIconStatic::SetIcon(HIMAGELIST imageList, int index)
{
    m_imageList = imageList;
    m_index = index;
    if (m_hWnd)
        Invalidate();
}

BOOL CIconStatic::SubclassWindow(HWND edit)
{
    if (!CWindowImpl<CIconStatic, CEdit>::SubclassWindow(edit))
        return FALSE;
    const COsInfo* info = GetOsInfo();
    const int iconWidth = info ? info->GetSmallIconWidth() : ::GetSystemMetrics(SM_CXSMICON);
    const DWORD margins = GetMargins();
    SetMargins(iconWidth + 2 * m_padding + LOWORD(margins), HIWORD(margins), EC_LEFTMARGIN);
    return TRUE;
}

LRESULT CIconStatic::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    DrawIcon();
    return result;
}

void CIconStatic::DrawIcon()
{
    if (!m_imageList || m_index < 0)
        return;
    RECT client = {};
    GetClientRect(&client);
    int width = 0;
    int height = 0;
    ::ImageList_GetIconSize(m_imageList, &width, &height);
    CClientDC dc(m_hWnd);
    if (dc)
        ::ImageList_Draw(m_imageList, m_index, dc, m_padding, (client.bottom - height) / 2, ILD_TRANSPARENT);
}

CShellAutoComplete::CShellAutoComplete(HWND edit, REFCLSID sourceClass)
{
    if (FAILED(::CoCreateInstance(CLSID_AutoComplete, nullptr, CLSCTX_INPROC_SERVER, IID_IAutoComplete,
                                  reinterpret_cast<void**>(&m_autoComplete.p))) ||
        !m_autoComplete)
        return;
    if (FAILED(::CoCreateInstance(sourceClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&m_source.p))) ||
        !m_source || FAILED(m_autoComplete->Init(edit, m_source, nullptr, nullptr)))
        return;
    CComPtr<IAutoComplete2> options;
    if (SUCCEEDED(m_autoComplete->QueryInterface(IID_IAutoComplete2, reinterpret_cast<void**>(&options.p))) && options)
        options->SetOptions(ACO_AUTOSUGGEST | ACO_USETAB);
    m_bound = true;
}

TStdStr<char> MakeFileDialogFilter(const std::vector<std::pair<const char*, const char*>>& pairs)
{
    TStdStr<char> filter;
    for (const auto& [description, pattern] : pairs) {
        filter += TranslateText(description);
        filter += '\0';
        filter += pattern ? pattern : "";
        filter += '\0';
    }
    filter += '\0';
    return filter;
}

bool CopyTextToClipboard(const char* text, size_t length)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    if (!memory)
        return false;
    if (char* bytes = static_cast<char*>(::GlobalLock(memory))) {
        if (text)
            std::memcpy(bytes, text, strnlen(text, length));
        ::GlobalUnlock(memory);
    }
    if (!::SetClipboardData(CF_TEXT, memory)) {
        ::GlobalFree(memory);
        return false;
    }
    return true;
}

TStdStr<char> GetClipboardText()
{
    if (!::OpenClipboard(nullptr))
        return TStdStr<char>();
    TStdStr<char> text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT))
        text = GlobalText(data);
    ::CloseClipboard();
    return text;
}

bool RemoveFile(const char* path) { return path && ::DeleteFileA(path) != FALSE; }

bool UrlHasScheme(const char* url, int scheme)
{
    static const char* const schemes[] = {"http://", "ftp://", "https://", "file://", "mailto:", "news:"};
    if (!url || scheme < 0 || scheme >= static_cast<int>(std::size(schemes)))
        return false;
    const size_t length = std::strlen(schemes[scheme]);
    return _strnicmp(url, schemes[scheme], length) == 0;
}

int IsEditNavigationKeyState(const MSG& message, bool shift, bool ctrl)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN && message.message != WM_SYSKEYUP)
        return 0;
    const WPARAM key = message.wParam;
    const bool alt = (message.lParam & (1 << 29)) != 0;
    if (key == VK_F4)
        return !shift && !ctrl ? 2 : 0;
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END)
        return shift || ctrl ? 2 : 0;
    if (key == VK_RETURN)
        return 2;
    if (key >= 1 && key <= 47 && !alt && !shift && !ctrl)
        return 2;
    return 0;
}

int IsEditNavigationKey(HWND window, const MSG& message)
{
    if (!window || !::IsWindowVisible(window))
        return 0;
    return IsEditNavigationKeyState(message, IsKeyDown(VK_SHIFT), IsKeyDown(VK_CONTROL));
}

bool CWindowsHookHolder::Set(int type, HOOKPROC procedure, HINSTANCE module, DWORD threadId)
{
    Unhook();
    m_hook = ::SetWindowsHookExA(type, procedure, module, threadId);
    return m_hook != nullptr;
}

void CWindowsHookHolder::Unhook()
{
    if (m_hook) {
        ::UnhookWindowsHookEx(m_hook);
        m_hook = nullptr;
    }
}

void DdxCheckFlag(HWND dialog, int controlId, DWORD& flags, DWORD mask, bool saving)
{
    if (saving) {
        if (::IsDlgButtonChecked(dialog, controlId) == BST_CHECKED)
            flags |= mask;
        else
            flags &= ~mask;
    } else {
        ::CheckDlgButton(dialog, controlId, (flags & mask) ? BST_CHECKED : BST_UNCHECKED);
    }
}

const ClipboardFormats& GetClipboardFormats()
{
    static const ClipboardFormats formats = {
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("HTML Format")),
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("UniformResourceLocator")),
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("FileGroupDescriptor")),
    };
    return formats;
}

TStdStr<char> FormatAdBlockedHistoryText(const CBlockedLog& log)
{
    TStdStr<char> text = TranslateText("Ad Blocked History") + "\r\n\r\n";
    for (const BlockedLogEntry& entry : log.GetEntries()) {
        text += CZ4KTime::Format(static_cast<int64_t>(entry.time), "%m/%d/%Y %H:%M:%S.%s");
        text += "\t" + entry.text1 + "\t" + entry.text2 + "\r\n";
    }
    return text + "\r\n";
}
