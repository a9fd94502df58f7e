#pragma once
// The edit control's own handle holders: it uses nothing else of the program, so it cannot take
// the platform's. Each holder is the sole owner of its handle and frees it exactly once; copy and
// move are deleted in every one. DeleteObject, DeleteDC, ReleaseDC, CloseHandle, FindClose and
// RegCloseKey are called nowhere else in the control.
#include <windows.h>

namespace quill::win {

// The one shape of the holders that free a handle of their own: T is the handle's type, Traits
// says which values hold nothing (Empty) and how the handle is freed (Free).
template <typename T, typename Traits>
class THandleHolder {
public:
    THandleHolder() = default;
    explicit THandleHolder(T handle) : m_handle(handle) {}
    ~THandleHolder() { Reset(); }
    THandleHolder(const THandleHolder&) = delete;  // sole owner
    THandleHolder& operator=(const THandleHolder&) = delete;

    // Frees what it holds and takes handle (nothing: holds nothing).
    void Reset(T handle = T())
    {
        if (Valid())
            Traits::Free(m_handle);
        m_handle = handle;
    }
    // Takes handle only when it was made: a failed creation keeps the old one.
    void ReplaceIfMade(T handle)
    {
        if (!Traits::Empty(handle))
            Reset(handle);
    }
    // Gives the handle up to a new owner.
    T Release()
    {
        const T handle = m_handle;
        m_handle = T();
        return handle;
    }
    bool Valid() const { return !Traits::Empty(m_handle); }
    T Get() const { return m_handle; }
    // It stands where the handle did.
    operator T() const { return m_handle; }

private:
    T m_handle = T();
};

struct GdiObjectTraits {
    static bool Empty(HGDIOBJ object) { return object == nullptr; }
    static void Free(HGDIOBJ object) { DeleteObject(object); }
};
struct CreatedDcTraits {
    static bool Empty(HDC dc) { return dc == nullptr; }
    static void Free(HDC dc) { DeleteDC(dc); }
};
// Both of the system's failure values, nullptr (most creators) and INVALID_HANDLE_VALUE
// (CreateFile and its relatives), hold nothing.
struct KernelHandleTraits {
    static bool Empty(HANDLE handle) { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }
    static void Free(HANDLE handle) { CloseHandle(handle); }
};
// FindFirstFile fails with INVALID_HANDLE_VALUE; a search handle is closed with FindClose, never
// with CloseHandle.
struct FileSearchTraits {
    static bool Empty(HANDLE search) { return search == nullptr || search == INVALID_HANDLE_VALUE; }
    static void Free(HANDLE search) { FindClose(search); }
};
struct RegistryKeyTraits {
    static bool Empty(HKEY key) { return key == nullptr; }
    static void Free(HKEY key) { RegCloseKey(key); }
};

// A GDI object (brush, pen, bitmap, font) deleted with DeleteObject; it must not be selected into
// a DC when it is deleted (see CSelection).
template <typename T>
using TGdiObject = THandleHolder<T, GdiObjectTraits>;

// A DC that we made, freed with DeleteDC: a memory DC of CreateCompatibleDC, or a printer DC
// that CreateDC or the print dialog handed over.
using CCreatedDc = THandleHolder<HDC, CreatedDcTraits>;

// A kernel handle closed with CloseHandle.
using CKernelHandle = THandleHolder<HANDLE, KernelHandleTraits>;

// A search of FindFirstFile, closed with FindClose.
using CFileSearch = THandleHolder<HANDLE, FileSearchTraits>;

// A registry key that RegOpenKeyEx or RegCreateKeyEx opened, closed with RegCloseKey. Given the
// key only on success: the system does not promise what a failed call leaves in its output.
using CRegKey = THandleHolder<HKEY, RegistryKeyTraits>;

// A window's DC from GetDC (the screen's for nullptr), or with kWholeWindow the DC of the whole
// window with its frame from GetWindowDC, given back with ReleaseDC.
class CWindowDc {
public:
    enum WholeWindow { kWholeWindow };
    explicit CWindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    CWindowDc(HWND window, WholeWindow) : m_window(window), m_dc(GetWindowDC(window)) {}
    ~CWindowDc()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    CWindowDc(const CWindowDc&) = delete;  // sole owner
    CWindowDc& operator=(const CWindowDc&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// An object selected into a DC for a scope; the previous selection comes back at its end, so that
// no object of ours stays selected when it is deleted (DeleteObject fails on a selected object).
// A nullptr object selects nothing.
class CSelection {
public:
    CSelection() = default;
    CSelection(HDC dc, HGDIOBJ object) { Select(dc, object); }
    ~CSelection() { Restore(); }
    CSelection(const CSelection&) = delete;  // restores once
    CSelection& operator=(const CSelection&) = delete;

    // Undoes the selection it holds, then selects object into dc.
    void Select(HDC dc, HGDIOBJ object)
    {
        Restore();
        if (dc && object) {
            m_dc = dc;
            m_previous = SelectObject(dc, object);
        }
    }

    // Puts the previous selection back now; the destructor then does nothing.
    void Restore()
    {
        if (m_previous)
            SelectObject(m_dc, m_previous);
        m_previous = nullptr;
    }
    bool Selected() const { return m_previous != nullptr; }

private:
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;  // the object that was selected before ours; nullptr: nothing to undo
};

} // namespace quill::win
