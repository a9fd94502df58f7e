#pragma once
// OLE drag and drop of links, files and texts. TDropTarget<T> turns a window object T into an
// IDropTarget that scrolls T while the mouse rests near its edges; CDragStartHelper is the
// IDropSource of a drag; CWindowDropTarget registers a window; CDataObjectHolder reads a drop's
// (or the clipboard's) data; CDataObject is the data object the program's own drags offer. The
// three registered formats ("HTML Format", "UniformResourceLocator", "FileGroupDescriptor") are
// the core's GetClipboardFormats().
//
// The COM objects here are parts of windows (no-op AddRef and Release: the window owns them),
// except CDataObject, which is reference-counted on the heap. UI thread, OLE initialised.
#include "core/library/StdStr.h"
#include "core/system/Clipboard.h"
#include "platform/Diagnostics.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

// The desired effect when allowed; copy falls back to move and move to copy; then link; else none.
DWORD FilterEffect(DWORD desired, DWORD allowed);
// Ctrl and Shift: link; Ctrl: copy; otherwise move.
DWORD EffectOfKeys(DWORD keyState);

// Drag-scroll bands and timing.
inline constexpr int kDragScrollInset = 11;
inline constexpr DWORD kDragScrollDelay = 50;
inline constexpr DWORD kDragScrollInterval = 50;
inline constexpr WORD kNoScroll = 0xFFFF;
// The direction code of a point: low byte 0 left band, 1 right, 0xFF neither; high byte 0 top,
// 1 bottom, 0xFF neither; kNoScroll outside the bands (or outside the rectangle).
WORD DragScrollDirection(const RECT& client, POINT point);

// A copy of a global block into `destination` (allocated when null); null when the destination
// is smaller than the source.
HGLOBAL CopyHGlobal(HGLOBAL destination, HGLOBAL source);

// Locks a global block for a scope.
class CGlobalMemLock {
public:
    explicit CGlobalMemLock(HGLOBAL memory) : m_memory(memory), m_pointer(memory ? ::GlobalLock(memory) : nullptr) {}
    ~CGlobalMemLock()
    {
        if (m_pointer)
            ::GlobalUnlock(m_memory);
    }
    CGlobalMemLock(const CGlobalMemLock&) = delete;
    CGlobalMemLock& operator=(const CGlobalMemLock&) = delete;
    void* Get() const { return m_pointer; }
    size_t Size() const { return m_pointer ? ::GlobalSize(m_memory) : 0; }

private:
    HGLOBAL m_memory;
    void* m_pointer;
};

// Copies or moves dropped files into a folder through the shell (with undo); true when the shell
// reports success.
bool ShellCopyFiles(const std::string& folder, const std::vector<std::string>& files);
bool ShellMoveFiles(const std::string& folder, const std::vector<std::string>& files);

// The XOR frame of a drag: a frame of the given thickness inside the rectangle, inverted with the
// brush; with a previous rectangle only the difference to the previous frame is inverted.
void DrawDragRect(HDC dc, const RECT& rect, SIZE size, const RECT* previous, SIZE previousSize, HBRUSH brush,
                  HBRUSH previousBrush);

class CDataObjectHolder {
public:
    CDataObjectHolder() = default;
    ~CDataObjectHolder() { Release(); }
    CDataObjectHolder(const CDataObjectHolder&) = delete;
    CDataObjectHolder& operator=(const CDataObjectHolder&) = delete;

    void Attach(IDataObject* data, bool autoRelease);
    void UseClipboard() { m_fromClipboard = true; }
    bool EnsureDataObject();
    IDataObject* Detach();
    IDataObject* Get() const { return m_data; }
    bool GetData(CLIPFORMAT format, STGMEDIUM& medium);
    // The format's global memory as a block of the caller's (copied out of the medium).
    HGLOBAL GetGlobalData(CLIPFORMAT format);
    // The CF_HDROP file names in order; false without any. The medium is released, never
    // DragFinish'ed: its memory belongs to the medium (and through it to the drag's source).
    bool GetDroppedFiles(std::vector<std::string>& files);
    std::string GetText(CLIPFORMAT format);
    void Release();

private:
    IDataObject* m_data = nullptr;  // owned (a reference) when m_autoRelease
    bool m_fromClipboard = false;
    bool m_autoRelease = true;
};

// The IDropSource of a drag: the carrying button's release drops, Escape or a cancel button cancels.
class CDragStartHelper : public IDropSource {
public:
    explicit CDragStartHelper(DWORD carryButton = MK_LBUTTON, DWORD cancelButtons = MK_RBUTTON)
        : m_carry(carryButton), m_cancel(cancelButtons)
    {
    }
    virtual ~CDragStartHelper() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

    DWORD DoDragDrop(IDataObject* data, DWORD allowed);
    void SetDropPossible(bool possible) { m_dropPossible = possible; }

private:
    DWORD m_carry;
    DWORD m_cancel;
    bool m_dropPossible = true;
};

// A heap data object of global-memory formats (reference-counted; starts with one reference).
class CDataObject : public IDataObject {
public:
    static CDataObject* Create();
    void SetGlobal(CLIPFORMAT format, const void* bytes, size_t size);
    void SetText(const std::string& text);
    void SetUrl(const std::string& url);  // "UniformResourceLocator" and the text
    void SetFiles(const std::vector<std::string>& files);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    CDataObject() = default;
    virtual ~CDataObject() = default;
    struct CEntry {
        CLIPFORMAT format;
        std::string bytes;
    };
    const CEntry* Find(const FORMATETC* format) const;

    LONG m_references = 1;
    std::vector<CEntry> m_entries;
};

// RegisterDragDrop with the object kept alive by a strong lock; Revoke undoes both.
class CWindowDropTarget {
public:
    CWindowDropTarget() = default;
    ~CWindowDropTarget() { Revoke(); }
    CWindowDropTarget(const CWindowDropTarget&) = delete;
    CWindowDropTarget& operator=(const CWindowDropTarget&) = delete;

    bool Register(HWND window, IDropTarget* target);
    void Revoke();

private:
    HWND m_window = nullptr;
    IDropTarget* m_target = nullptr;  // not owned: part of the window object
};

// T supplies: DWORD OnDragEnter(IDataObject*, DWORD keys, POINT client); DWORD OnDragOver(IDataObject*,
// DWORD keys, POINT); void OnDragLeave(); DWORD OnDrop(IDataObject*, DWORD effect, DWORD allowed,
// POINT); bool CanDragScroll(WORD direction); void DoDragScroll(WORD direction); void
// OnDragScrollStarted(); HWND GetDropWindow().
template <class T>
class TDropTarget : public IDropTarget {
public:
    virtual ~TDropTarget()
    {
        if (m_data)
            m_data->Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDropTarget) {
            *object = static_cast<IDropTarget*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override
    {
        try {
            if (data)
                data->AddRef();
            if (m_data)
                m_data->Release();
            m_data = data;
            return Answer(keys, point, effect, true);
        } catch (...) {
            return ReportCaughtExceptionAsHresult("TDropTarget::DragEnter");
        }
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override
    {
        try {
            return Answer(keys, point, effect, false);
        } catch (...) {
            return ReportCaughtExceptionAsHresult("TDropTarget::DragOver");
        }
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        try {
            m_direction = kNoScroll;
            Owner().OnDragLeave();
            if (m_data)
                m_data->Release();
            m_data = nullptr;
            return S_OK;
        } catch (...) {
            return ReportCaughtExceptionAsHresult("TDropTarget::DragLeave");
        }
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override
    {
        try {
            m_direction = kNoScroll;
            const POINT client = ToClient(point);
            const DWORD allowed = effect ? *effect : DROPEFFECT_NONE;
            const DWORD wanted = FilterEffect(Owner().OnDragOver(data, keys, client), allowed);
            const DWORD result = Owner().OnDrop(data, wanted, allowed, client);
            if (effect)
                *effect = result;
            if (m_data)
                m_data->Release();
            m_data = nullptr;
            return S_OK;
        } catch (...) {
            return ReportCaughtExceptionAsHresult("TDropTarget::Drop");
        }
    }

private:
    T& Owner() { return *static_cast<T*>(this); }
    POINT ToClient(POINTL point)
    {
        POINT client = {point.x, point.y};
        ::ScreenToClient(Owner().GetDropWindow(), &client);
        return client;
    }
    // The scroll check comes first: near an edge the target scrolls (every interval after the
    // first delay) and the answer carries DROPEFFECT_SCROLL.
    HRESULT Answer(DWORD keys, POINTL point, DWORD* effect, bool enter)
    {
        const POINT client = ToClient(point);
        const DWORD allowed = effect ? *effect : DROPEFFECT_NONE;
        RECT rect = {};
        ::GetClientRect(Owner().GetDropWindow(), &rect);
        WORD direction = DragScrollDirection(rect, client);
        if (direction != kNoScroll && !Owner().CanDragScroll(direction))
            direction = kNoScroll;
        const DWORD now = ::GetTickCount();
        if (direction != kNoScroll) {
            if (m_direction == kNoScroll)
                Owner().OnDragScrollStarted();
            if (direction != m_direction) {
                m_start = now;
                m_delay = kDragScrollDelay;
            } else if (now - m_start > m_delay) {
                Owner().DoDragScroll(direction);
                m_start = now;
                m_delay = kDragScrollInterval;
            }
            m_direction = direction;
            if (effect)
                *effect = FilterEffect(EffectOfKeys(keys), allowed) | DROPEFFECT_SCROLL;
            return S_OK;
        }
        if (m_direction != kNoScroll) {
            m_direction = kNoScroll;
            enter = true;  // the target's own feedback comes back
        }
        const DWORD wanted = enter ? Owner().OnDragEnter(m_data, keys, client) : Owner().OnDragOver(m_data, keys, client);
        if (effect)
            *effect = FilterEffect(wanted, allowed);
        return S_OK;
    }

    IDataObject* m_data = nullptr;  // a reference while a drag is over the window
    WORD m_direction = kNoScroll;
    DWORD m_start = 0;
    DWORD m_delay = kDragScrollDelay;
};
