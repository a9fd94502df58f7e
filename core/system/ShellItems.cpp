#include "core/system/ShellItems.h"

#include "core/library/AppWindowInfo.h"
#include "core/library/FileFunctions.h"
#include "core/system/OsInfo.h"
#include "platform/AtlBase.h"

#include <intshcut.h>
#include <isguids.h>
#include <shellapi.h>

#include <cstring>

namespace {

USHORT ItemSize(LPCITEMIDLIST item)
{
    USHORT size;
    std::memcpy(&size, item, sizeof(size));
    return size;
}

LPCITEMIDLIST NextItem(LPCITEMIDLIST item)
{
    return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(item) + ItemSize(item));
}

// A copy of `bytes` bytes of items followed by a terminator.
LPITEMIDLIST CopyItems(LPCITEMIDLIST items, UINT bytes)
{
    LPITEMIDLIST list = AllocPidl(bytes + sizeof(USHORT));
    if (list && bytes)
        std::memcpy(list, items, bytes);
    return list;
}

bool EndsWithNoCase(const char* text, const char* suffix)
{
    const size_t length = text ? std::strlen(text) : 0;
    const size_t suffixLength = std::strlen(suffix);
    return length >= suffixLength && lstrcmpiA(text + length - suffixLength, suffix) == 0;
}

std::wstring Widen(const char* text)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    return wide;
}

bool LoadFromFile(IUnknown* object, const char* path)
{
    CComPtr<IPersistFile> file;
    if (FAILED(object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) || !file)
        return false;
    return SUCCEEDED(file->Load(Widen(path).c_str(), STGM_READ));
}

bool StartWithShellExecute(SHELLEXECUTEINFOA& info) { return ::ShellExecuteExA(&info) != FALSE; }

} // namespace

UINT GetPidlSize(LPCITEMIDLIST list)
{
    if (!list)
        return 0;
    UINT size = sizeof(USHORT);
    for (LPCITEMIDLIST item = list; ItemSize(item) != 0; item = NextItem(item))
        size += ItemSize(item);
    return size;
}

LPITEMIDLIST AllocPidl(UINT size)
{
    void* block = ::CoTaskMemAlloc(size);
    if (block)
        std::memset(block, 0, size);
    return static_cast<LPITEMIDLIST>(block);
}

LPITEMIDLIST ConcatPidl(LPCITEMIDLIST first, LPCITEMIDLIST second)
{
    const UINT firstBytes = first ? GetPidlSize(first) - sizeof(USHORT) : 0;
    const UINT secondSize = second ? GetPidlSize(second) : sizeof(USHORT);
    LPITEMIDLIST list = AllocPidl(firstBytes + secondSize);
    if (!list)
        return nullptr;
    if (firstBytes)
        std::memcpy(list, first, firstBytes);
    if (second)
        std::memcpy(reinterpret_cast<BYTE*>(list) + firstBytes, second, secondSize);
    return list;
}

LPITEMIDLIST GetRelativePidl(LPCITEMIDLIST list, LPCITEMIDLIST parent)
{
    if (!list)
        return nullptr;
    // Walk both lists item by item: every item of the parent must equal the list's item there, so
    // that the cut falls on an item boundary of the list.
    LPCITEMIDLIST item = list;
    if (parent) {
        for (LPCITEMIDLIST parentItem = parent; ItemSize(parentItem) != 0; parentItem = NextItem(parentItem)) {
            if (ItemSize(item) != ItemSize(parentItem) || std::memcmp(item, parentItem, ItemSize(item)) != 0)
                return nullptr;
            item = NextItem(item);
        }
    }
    if (ItemSize(item) == 0)
        return nullptr;
    return CopyItems(item, GetPidlSize(item) - sizeof(USHORT));
}

bool PidlEqual(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    if (!a || !b)
        return !a && !b;
    const UINT size = GetPidlSize(a);
    return size == GetPidlSize(b) && std::memcmp(a, b, size) == 0;
}

void CPidl::Free()
{
    if (m_list) {
        ::CoTaskMemFree(m_list);
        m_list = nullptr;
    }
}

void CPidl::MakeRelative(LPCITEMIDLIST parent)
{
    Attach(GetRelativePidl(m_list, parent));
}

TStdStr<char> GetPathFromIDList(LPCITEMIDLIST list)
{
    char path[MAX_PATH] = {};
    if (!list || !::SHGetPathFromIDListA(list, path))
        return TStdStr<char>();
    return path;
}

int GetPidlIconIndex(LPCITEMIDLIST list, UINT flags)
{
    SHFILEINFOA info = {};
    if (!list ||
        !::SHGetFileInfoA(reinterpret_cast<const char*>(list), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_SYSICONINDEX | flags))
        return -1;
    return info.iIcon;
}

bool BindToShellFolder(LPCITEMIDLIST list, IShellFolder** folder)
{
    if (!folder)
        return false;
    *folder = nullptr;
    CComPtr<IShellFolder> desktop;
    if (FAILED(::SHGetDesktopFolder(&desktop)) || !desktop)
        return false;
    return SUCCEEDED(desktop->BindToObject(list, nullptr, IID_IShellFolder, reinterpret_cast<void**>(folder))) &&
           *folder;
}

LPITEMIDLIST ParseDisplayNameToPidl(const char* path)
{
    CComPtr<IShellFolder> desktop;
    if (!path || FAILED(::SHGetDesktopFolder(&desktop)) || !desktop)
        return nullptr;
    std::wstring wide = Widen(path);
    LPITEMIDLIST list = nullptr;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, &list, nullptr)))
        return nullptr;
    return list;
}

HICON GetFileIconHandle(const char* fileName, bool small)
{
    SHFILEINFOA info = {};
    const UINT size = small ? SHGFI_SMALLICON : SHGFI_LARGEICON;
    if (!fileName || !::SHGetFileInfoA(fileName, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                                       SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | size))
        return nullptr;
    return info.hIcon;
}

UINT GetFileNotificationMessage()
{
    static const UINT message = ::RegisterWindowMessageA("_FileNotification");
    return message;
}

bool ShellExecuteIDList(LPCITEMIDLIST list, HWND window)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = window;
    info.lpVerb = "";
    info.lpParameters = "";
    info.nShow = SW_SHOWNORMAL;
    info.lpIDList = const_cast<LPITEMIDLIST>(list);
    return list && StartWithShellExecute(info);
}

CHandle ShellExecuteProcess(const char* file, const char* parameters)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file;
    info.lpParameters = parameters;
    info.nShow = SW_SHOWNORMAL;
    return CHandle(StartWithShellExecute(info) ? info.hProcess : nullptr);
}

bool ShellExecuteWithFolder(const char* file, const char* parameters)
{
    const CAppWindowInfo* app = GetAppWindowInfo();
    const TStdStr<char> folder = app ? app->GetProgramFolder() : TStdStr<char>();
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_ASYNCOK;
    info.lpFile = file;
    info.lpParameters = parameters;
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    return StartWithShellExecute(info);
}

HINSTANCE ShellOpen(const char* file, const char* parameters, const char* folder, int show)
{
    return ::ShellExecuteA(nullptr, "open", file, parameters, folder, show);
}

bool OpenShortcut(const char* path, IShellLinkA** link)
{
    if (!link)
        return false;
    *link = nullptr;
    if (!EndsWithNoCase(path, ".lnk"))
        return false;
    CComPtr<IShellLinkA> shellLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&shellLink.p))) ||
        !shellLink || !LoadFromFile(shellLink, path))
        return false;
    *link = shellLink.Detach();
    return true;
}

TStdStr<char> GetShortcutTargetPath(const char* path)
{
    CComPtr<IShellLinkA> link;
    char target[MAX_PATH] = {};
    if (!OpenShortcut(path, &link) || FAILED(link->GetPath(target, MAX_PATH, nullptr, 0)))
        return TStdStr<char>();
    return target;
}

TStdStr<char> ResolveShortcutTarget(IShellFolder* folder, LPCITEMIDLIST item)
{
    if (!folder || !item)
        return TStdStr<char>();
    CComPtr<IShellLinkA> link;
    if (FAILED(folder->GetUIObjectOf(nullptr, 1, &item, IID_IShellLinkA, nullptr, reinterpret_cast<void**>(&link.p))) ||
        !link)
        return TStdStr<char>();
    if (FAILED(link->Resolve(nullptr, SLR_NO_UI)))
        return TStdStr<char>();
    char target[MAX_PATH - 1] = {};
    if (FAILED(link->GetPath(target, MAX_PATH - 1, nullptr, SLGP_RAWPATH)))
        return TStdStr<char>();
    return target;
}

bool LaunchExecutable(const char* path, const char* arguments)
{
    if (EndsWithNoCase(path, ".exe"))
        return reinterpret_cast<INT_PTR>(ShellOpen(path, arguments, nullptr, SW_SHOWNORMAL)) > 32;
    CComPtr<IShellLinkA> link;
    if (!OpenShortcut(path, &link))
        return false;
    char target[MAX_PATH] = {};
    char linkArguments[MAX_PATH] = {};
    char folder[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0)) || !EndsWithNoCase(target, ".exe"))
        return false;
    link->GetArguments(linkArguments, MAX_PATH);
    link->GetWorkingDirectory(folder, MAX_PATH);
    return reinterpret_cast<INT_PTR>(ShellOpen(target, linkArguments, *folder ? folder : nullptr, SW_SHOWNORMAL)) > 32;
}

TStdStr<char> GetInternetShortcutUrl(const char* path)
{
    CComPtr<IUniformResourceLocatorA> shortcut;
    if (!path || FAILED(::CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IUniformResourceLocatorA, reinterpret_cast<void**>(&shortcut.p))) ||
        !shortcut || !LoadFromFile(shortcut, path))
        return TStdStr<char>();
    CComHeapPtr<char> url;
    if (FAILED(shortcut->GetURL(&url)) || !url)
        return TStdStr<char>();
    return TStdStr<char>(url);
}

CManagedIcon::CManagedIcon(UINT resourceId, bool small)
{
    const COsInfo* info = GetOsInfo();
    const int width = info ? (small ? info->GetSmallIconWidth() : info->GetLargeIconWidth()) : 0;
    const int height = info ? (small ? info->GetSmallIconHeight() : info->GetLargeIconHeight()) : 0;
    m_icon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                             width, height, LR_DEFAULTCOLOR));
}

CManagedBitmap::CManagedBitmap(UINT resourceId)
{
    m_bitmap.Attach(static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}
