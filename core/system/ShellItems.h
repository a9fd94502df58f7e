#pragma once
// Thin wrappers over the Windows shell: item id lists in memory of the COM task allocator, paths,
// icons and folder objects, shell links and Internet shortcuts, and starting programs and
// documents. Also the holders of the program's own icons and bitmaps.
#include "core/library/StdStr.h"
#include "platform/AtlBase.h"
#include "platform/AtlGdi.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

// ---------------------------------------------------------------------------------------------
// Item id lists: items of a 16-bit byte count and their bytes, ending in a 16-bit zero.

// The list's size in bytes, the terminating zero counted; 0 for null.
UINT GetPidlSize(LPCITEMIDLIST list);
// A zero-filled task-allocator block; null on failure.
LPITEMIDLIST AllocPidl(UINT size);
// The first list (which may be null) without its terminator, then the whole second.
LPITEMIDLIST ConcatPidl(LPCITEMIDLIST first, LPCITEMIDLIST second);
// The items of `list` behind the parent's items; null when the parent's items are not a leading
// part of the list or nothing is left behind them. A null parent counts as the empty list.
LPITEMIDLIST GetRelativePidl(LPCITEMIDLIST list, LPCITEMIDLIST parent);
// Both null: true; one null: false; otherwise equal sizes and bytes.
bool PidlEqual(LPCITEMIDLIST a, LPCITEMIDLIST b);

// Holder of one item id list (task allocator).
class CPidl {
public:
    CPidl() = default;
    explicit CPidl(LPITEMIDLIST list) : m_list(list) {}
    ~CPidl() { Free(); }
    CPidl(const CPidl&) = delete;
    CPidl& operator=(const CPidl&) = delete;
    // Moving is implemented: the list goes with the holder, and the source is left empty.
    CPidl(CPidl&& other) noexcept : m_list(other.Detach()) {}
    CPidl& operator=(CPidl&& other) noexcept
    {
        if (this != std::addressof(other))
            Attach(other.Detach());
        return *this;
    }

    LPITEMIDLIST Get() const { return m_list; }
    operator LPITEMIDLIST() const { return m_list; }
    LPITEMIDLIST* operator&() { Free(); return &m_list; }
    void Attach(LPITEMIDLIST list)
    {
        Free();
        m_list = list;
    }
    LPITEMIDLIST Detach()
    {
        LPITEMIDLIST list = m_list;
        m_list = nullptr;
        return list;
    }
    void Free();

    // The held list becomes its part relative to `parent` (null when it is not inside it).
    void MakeRelative(LPCITEMIDLIST parent);
    CPidl Combine(LPCITEMIDLIST child) const { return CPidl(ConcatPidl(m_list, child)); }
    CPidl GetRelative(LPCITEMIDLIST parent) const { return CPidl(GetRelativePidl(m_list, parent)); }

private:
    LPITEMIDLIST m_list = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Shell queries.

// The file-system path of the list, or "" for a virtual folder.
TStdStr<char> GetPathFromIDList(LPCITEMIDLIST list);
// The system image-list icon of the item; -1 on failure.
int GetPidlIconIndex(LPCITEMIDLIST list, UINT flags);
// The desktop's folder object for the list; true on success (the caller releases it).
bool BindToShellFolder(LPCITEMIDLIST list, IShellFolder** folder);
// The desktop's parse of a path into an item id list; null on failure.
LPITEMIDLIST ParseDisplayNameToPidl(const char* path);
// The icon of a file's type by its name alone, small or large; null when none (the caller
// destroys it).
HICON GetFileIconHandle(const char* fileName, bool small);
// The window message registered under "_FileNotification" (registered once).
UINT GetFileNotificationMessage();

// ---------------------------------------------------------------------------------------------
// Starting programs and documents.

bool ShellExecuteIDList(LPCITEMIDLIST list, HWND window);
// The holder of the started process; empty on failure.
CHandle ShellExecuteProcess(const char* file, const char* parameters);
// Starts without waiting, in the program folder; true on success.
bool ShellExecuteWithFolder(const char* file, const char* parameters);
HINSTANCE ShellOpen(const char* file, const char* parameters, const char* folder, int show);

// ---------------------------------------------------------------------------------------------
// Shortcuts.

// Loads a ".lnk" file (any letter case) into a shell link; false for other paths or on failure.
bool OpenShortcut(const char* path, IShellLinkA** link);
// The target path of a shortcut file; "" when none.
TStdStr<char> GetShortcutTargetPath(const char* path);
// The target of a folder's item taken as a shortcut, resolved without user interface; "" on failure.
TStdStr<char> ResolveShortcutTarget(IShellFolder* folder, LPCITEMIDLIST item);
// Starts an ".exe" with the arguments, or the ".exe" a shortcut points to with the shortcut's own
// arguments and working folder; false for anything else.
bool LaunchExecutable(const char* path, const char* arguments);
// The URL an Internet shortcut (".url" file) holds; "" when it cannot be read.
TStdStr<char> GetInternetShortcutUrl(const char* path);

// ---------------------------------------------------------------------------------------------
// Holders of the program's own images.

class CManagedIcon {
public:
    // The program's icon resource at the small or large system icon size.
    CManagedIcon(UINT resourceId, bool small);
    ~CManagedIcon() = default;
    CManagedIcon(const CManagedIcon&) = delete;
    CManagedIcon& operator=(const CManagedIcon&) = delete;
    HICON Get() const { return m_icon; }
    operator HICON() const { return m_icon; }

private:
    CIcon m_icon;
};

class CManagedBitmap {
public:
    explicit CManagedBitmap(UINT resourceId);
    ~CManagedBitmap() = default;
    CManagedBitmap(const CManagedBitmap&) = delete;
    CManagedBitmap& operator=(const CManagedBitmap&) = delete;
    HBITMAP Get() const { return m_bitmap; }
    operator HBITMAP() const { return m_bitmap; }

private:
    CBitmap m_bitmap;
};
