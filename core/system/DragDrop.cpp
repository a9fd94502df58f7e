#include "core/system/DragDrop.h"

#include "core/system/Clipboard.h"
#include "core/system/Keyboard.h"
#include "platform/AtlBase.h"

#include <shellapi.h>

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

int ReadWinIniInt(const char* key, int fallback) { return static_cast<int>(::GetProfileIntA("windows", key, fallback)); }

CComCriticalSection& DragSettingsLock()
{
    static CComAutoCriticalSection lock;
    return lock;
}

} // namespace

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
    TStdStr<char> text = GetGlobalMemoryText(medium.hGlobal);
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
