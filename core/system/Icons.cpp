#include "core/system/Icons.h"

#include "core/system/OsInfo.h"
#include "core/system/DynamicLibrary.h"
#include "core/system/WindowFunctions.h"
#include "platform/AtlGdi.h"

void SetWindowIcons(HWND window, HIMAGELIST imageList, int index)
{
    // WM_SETICON does not take the icons over; the window keeps them for its lifetime.
    ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(::ImageList_GetIcon(imageList, index, ILD_NORMAL)));
    ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(::ImageList_GetIcon(imageList, index, ILD_NORMAL)));
}

HICON GetWindowIcon(HWND window)
{
    HICON icon = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICON));
    if (!icon) {
        WNDCLASSA windowClass = {};
        const TStdStr<char> className = GetWindowClassName(window);
        if (::GetClassInfoA(::GetModuleHandleA(nullptr), className.c_str(), &windowClass))
            icon = windowClass.hIcon;
    }
    return icon;
}

HCURSOR LoadHandCursor()
{
    if (HCURSOR hand = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649) /* IDC_HAND */))
        return hand;
    char path[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof("\\winhlp32.exe") > MAX_PATH)
        return nullptr;
    lstrcatA(path, "\\winhlp32.exe");
    CDynamicLibrary help;
    if (!help.Load(path, LOAD_LIBRARY_AS_DATAFILE))
        return nullptr;
    HCURSOR cursor = nullptr;
    if (HCURSOR shared = ::LoadCursorA(help.GetHandle(), MAKEINTRESOURCEA(106)))
        cursor = reinterpret_cast<HCURSOR>(::CopyImage(shared, IMAGE_CURSOR, 0, 0, 0));
    return cursor;
}

CSizedIcon::CSizedIcon(const char* path, bool small)
{
    if (path && *path) {
        const int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
        m_icon = static_cast<HICON>(LoadImageA(nullptr, path, IMAGE_ICON, size, size, LR_LOADFROMFILE));
    }
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
    CClientDC dc(m_hWnd);
    DrawIcon(dc);
    return result;
}

LRESULT CIconStatic::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    DrawIcon(reinterpret_cast<HDC>(wParam));
    return result;
}

LRESULT CIconStatic::OnEnable(UINT, WPARAM, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    Invalidate();
    return result;
}

void CIconStatic::DrawIcon(HDC dc)
{
    if (!dc || !m_imageList || m_index < 0)
        return;
    RECT client = {};
    GetClientRect(&client);
    int width = 0;
    int height = 0;
    ::ImageList_GetIconSize(m_imageList, &width, &height);
    const int top = (client.bottom - height) / 2;
    if (IsWindowEnabled()) {
        ::ImageList_Draw(m_imageList, m_index, dc, m_padding, top, ILD_TRANSPARENT);
        return;
    }
    CIcon icon(::ImageList_GetIcon(m_imageList, m_index, ILD_NORMAL));
    if (!icon.IsNull())
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(static_cast<HICON>(icon)), 0, m_padding, top, width,
                     height, DST_ICON | DSS_DISABLED);
}
