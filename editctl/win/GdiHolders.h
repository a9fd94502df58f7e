#pragma once
// The edit control's own handle holders: it uses nothing else of the program, so it cannot take
// the platform's. Each holder is the sole owner of its handle and frees it exactly once; copy and
// move are deleted in every one. DeleteObject, DeleteDC, ReleaseDC, CloseHandle and RegCloseKey
// are called nowhere else in the control.
#include <windows.h>

namespace quill::win {

// A GDI object (brush, pen, bitmap, font) deleted with DeleteObject. It converts to its handle, so
// it stands where the handle did; it must not be selected into a DC when it is deleted.
template <typename T>
class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(T object) : m_object(object) {}
    ~TGdiObject() { Reset(); }
    TGdiObject(const TGdiObject&) = delete;  // sole owner
    TGdiObject& operator=(const TGdiObject&) = delete;

    // Deletes what it holds and takes object (nullptr: holds nothing).
    void Reset(T object = nullptr)
    {
        if (m_object)
            DeleteObject(m_object);
        m_object = object;
    }
    // Takes object only when it was made: a failed creation keeps the old one.
    void ReplaceIfMade(T object)
    {
        if (object)
            Reset(object);
    }
    // Gives the object up to a new owner.
    T Release()
    {
        const T object = m_object;
        m_object = nullptr;
        return object;
    }
    T Get() const { return m_object; }
    operator T() const { return m_object; }

private:
    T m_object = nullptr;
};

// A DC that we made, freed with DeleteDC: a memory DC of CreateCompatibleDC, or a printer DC
// that CreateDC or the print dialog handed over.
class CCreatedDc {
public:
    CCreatedDc() = default;
    explicit CCreatedDc(HDC dc) : m_dc(dc) {}
    ~CCreatedDc() { Reset(); }
    CCreatedDc(const CCreatedDc&) = delete;  // sole owner
    CCreatedDc& operator=(const CCreatedDc&) = delete;

    // Deletes the DC it holds and takes dc (nullptr: holds nothing).
    void Reset(HDC dc = nullptr)
    {
        if (m_dc)
            DeleteDC(m_dc);
        m_dc = dc;
    }
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HDC m_dc = nullptr;
};

// A window's DC from GetDC (the screen's for nullptr), given back with ReleaseDC.
class CWindowDc {
public:
    explicit CWindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
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

// A kernel handle closed with CloseHandle. Both failure values of the system, nullptr (most
// creators) and INVALID_HANDLE_VALUE (CreateFile, FindFirstFile's relatives), count as empty.
class CKernelHandle {
public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE handle) : m_handle(handle) {}
    ~CKernelHandle() { Close(); }
    CKernelHandle(const CKernelHandle&) = delete;  // sole owner
    CKernelHandle& operator=(const CKernelHandle&) = delete;

    bool Valid() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    void Close()
    {
        if (Valid())
            CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle = nullptr;
};

// A registry key that RegOpenKeyEx or RegCreateKeyEx opened, closed with RegCloseKey. Given the
// key only on success: the system does not promise what a failed call leaves in its output.
class CRegKey {
public:
    explicit CRegKey(HKEY key) : m_key(key) {}
    ~CRegKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    CRegKey(const CRegKey&) = delete;  // sole owner
    CRegKey& operator=(const CRegKey&) = delete;
    HKEY Get() const { return m_key; }
    operator HKEY() const { return m_key; }

private:
    HKEY m_key;
};

} // namespace quill::win
