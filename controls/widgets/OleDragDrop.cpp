#include "controls/widgets/OleDragDrop.h"

#include <shlobj.h>

#include "platform/AtlGdi.h"

#include <cstring>

DWORD FilterEffect(DWORD desired, DWORD allowed)
{
    desired &= ~DROPEFFECT_SCROLL;
    if (desired & allowed)
        return desired & allowed;
    if (desired == DROPEFFECT_COPY && (allowed & DROPEFFECT_MOVE))
        return DROPEFFECT_MOVE;
    if (desired == DROPEFFECT_MOVE && (allowed & DROPEFFECT_COPY))
        return DROPEFFECT_COPY;
    if ((desired == DROPEFFECT_COPY || desired == DROPEFFECT_MOVE) && (allowed & DROPEFFECT_LINK))
        return DROPEFFECT_LINK;
    return DROPEFFECT_NONE;
}

DWORD EffectOfKeys(DWORD keyState)
{
    const bool ctrl = (keyState & MK_CONTROL) != 0;
    const bool shift = (keyState & MK_SHIFT) != 0;
    if (ctrl && shift)
        return DROPEFFECT_LINK;
    return ctrl ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

WORD DragScrollDirection(const RECT& client, POINT point)
{
    if (!::PtInRect(&client, point))
        return kNoScroll;
    RECT inner = client;
    ::InflateRect(&inner, -kDragScrollInset, -kDragScrollInset);
    if (::PtInRect(&inner, point))
        return kNoScroll;
    const BYTE horizontal = point.x < inner.left ? 0 : point.x >= inner.right ? 1 : 0xFF;
    const BYTE vertical = point.y < inner.top ? 0 : point.y >= inner.bottom ? 1 : 0xFF;
    return static_cast<WORD>(horizontal | (vertical << 8));
}

HGLOBAL CopyHGlobal(HGLOBAL destination, HGLOBAL source)
{
    const SIZE_T size = ::GlobalSize(source);
    if (!destination) {
        destination = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size);
        if (!destination)
            return nullptr;
    } else if (::GlobalSize(destination) < size) {
        return nullptr;
    }
    void* to = ::GlobalLock(destination);
    const void* from = ::GlobalLock(source);
    if (to && from)
        std::memcpy(to, from, size);
    if (from)
        ::GlobalUnlock(source);
    if (to)
        ::GlobalUnlock(destination);
    return destination;
}

// ---- CDataObjectHolder ------------------------------------------------------------------------

void CDataObjectHolder::Attach(IDataObject* data, bool autoRelease)
{
    Release();
    m_data = data;
    m_autoRelease = autoRelease;
}

bool CDataObjectHolder::EnsureDataObject()
{
    if (!m_data && m_fromClipboard) {
        IDataObject* data = nullptr;
        if (SUCCEEDED(::OleGetClipboard(&data)) && data)
            Attach(data, true);
    }
    return m_data != nullptr;
}

IDataObject* CDataObjectHolder::Detach()
{
    IDataObject* data = m_data;
    m_data = nullptr;
    m_fromClipboard = false;
    return data;
}

void CDataObjectHolder::Release()
{
    if (m_data && m_autoRelease)
        m_data->Release();
    m_data = nullptr;
    m_fromClipboard = false;
}

bool CDataObjectHolder::GetData(CLIPFORMAT format, STGMEDIUM& medium)
{
    if (!EnsureDataObject())
        return false;
    FORMATETC request = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    medium = {};
    return SUCCEEDED(m_data->GetData(&request, &medium));
}

HGLOBAL CDataObjectHolder::GetGlobalData(CLIPFORMAT format)
{
    STGMEDIUM medium = {};
    if (!GetData(format, medium))
        return nullptr;
    HGLOBAL result = nullptr;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        // The medium's memory is the medium's: the caller gets a copy of its own.
        result = CopyHGlobal(nullptr, medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return result;
}

bool CDataObjectHolder::GetDroppedFiles(std::vector<std::string>& files)
{
    STGMEDIUM medium = {};
    if (!GetData(CF_HDROP, medium))
        return false;
    bool any = false;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        auto drop = static_cast<HDROP>(medium.hGlobal);
        const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char name[MAX_PATH] = {};
            if (::DragQueryFileA(drop, i, name, MAX_PATH)) {
                files.push_back(name);
                any = true;
            }
        }
    }
    ::ReleaseStgMedium(&medium);
    return any;
}

std::string CDataObjectHolder::GetText(CLIPFORMAT format)
{
    STGMEDIUM medium = {};
    if (!GetData(format, medium))
        return {};
    std::string text;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal)
        text = GetGlobalMemoryText(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return text;
}

// ---- CDragStartHelper -------------------------------------------------------------------------

HRESULT CDragStartHelper::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropSource) {
        *object = static_cast<IDropSource*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CDragStartHelper::QueryContinueDrag(BOOL escapePressed, DWORD keyState)
{
    if (escapePressed || (keyState & m_cancel)) {
        m_dropPossible = false;
        return DRAGDROP_S_CANCEL;
    }
    if (keyState & m_carry)
        return S_OK;
    return m_dropPossible ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
}

HRESULT CDragStartHelper::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

DWORD CDragStartHelper::DoDragDrop(IDataObject* data, DWORD allowed)
{
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = ::DoDragDrop(data, this, allowed, &effect);
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

// ---- CDataObject ------------------------------------------------------------------------------

CDataObject* CDataObject::Create()
{
    return new CDataObject();
}

void CDataObject::SetGlobal(CLIPFORMAT format, const void* bytes, size_t size)
{
    for (CEntry& entry : m_entries) {
        if (entry.format == format) {
            entry.bytes.assign(static_cast<const char*>(bytes), size);
            return;
        }
    }
    m_entries.push_back({format, std::string(static_cast<const char*>(bytes), size)});
}

void CDataObject::SetText(const std::string& text)
{
    SetGlobal(CF_TEXT, text.c_str(), text.size() + 1);
}

void CDataObject::SetUrl(const std::string& url)
{
    SetGlobal(GetClipboardFormats().url, url.c_str(), url.size() + 1);
    SetText(url);
}

void CDataObject::SetFiles(const std::vector<std::string>& files)
{
    std::string list;
    for (const std::string& file : files)
        list += file + '\0';
    list += '\0';
    DROPFILES header = {};
    header.pFiles = sizeof(header);
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes += list;
    SetGlobal(CF_HDROP, bytes.data(), bytes.size());
}

HRESULT CDataObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDataObject) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CDataObject::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_references));
}

ULONG CDataObject::Release()
{
    const LONG left = ::InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

const CDataObject::CEntry* CDataObject::Find(const FORMATETC* format) const
{
    if (!format || !(format->tymed & TYMED_HGLOBAL) || format->dwAspect != DVASPECT_CONTENT)
        return nullptr;
    for (const CEntry& entry : m_entries) {
        if (entry.format == format->cfFormat)
            return &entry;
    }
    return nullptr;
}

HRESULT CDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!medium)
        return E_POINTER;
    const CEntry* entry = Find(format);
    if (!entry)
        return DV_E_FORMATETC;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, entry->bytes.size());
    if (!memory)
        return E_OUTOFMEMORY;
    if (void* to = ::GlobalLock(memory)) {
        std::memcpy(to, entry->bytes.data(), entry->bytes.size());
        ::GlobalUnlock(memory);
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT CDataObject::QueryGetData(FORMATETC* format)
{
    return Find(format) ? S_OK : DV_E_FORMATETC;
}

HRESULT CDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT CDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
    if (!formats)
        return E_POINTER;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> list;
    for (const CEntry& entry : m_entries)
        list.push_back({entry.format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
}

// ---- CWindowDropTarget ------------------------------------------------------------------------

bool CWindowDropTarget::Register(HWND window, IDropTarget* target)
{
    Revoke();
    if (FAILED(::CoLockObjectExternal(target, TRUE, FALSE)))
        return false;
    if (FAILED(::RegisterDragDrop(window, target))) {
        ::CoLockObjectExternal(target, FALSE, FALSE);
        return false;
    }
    m_window = window;
    m_target = target;
    return true;
}

void CWindowDropTarget::Revoke()
{
    if (!m_target)
        return;
    ::RevokeDragDrop(m_window);
    ::CoLockObjectExternal(m_target, FALSE, TRUE);
    m_window = nullptr;
    m_target = nullptr;
}

// ---- Shell file operations and the drag frame -------------------------------------------------

namespace {

bool ShellFileOperation(UINT operation, const std::string& folder, const std::vector<std::string>& files)
{
    if (files.empty())
        return false;
    std::string from;
    for (const std::string& file : files)
        from += file + '\0';
    from += '\0';
    std::string to = folder + '\0' + '\0';
    SHFILEOPSTRUCTA operationInfo = {};
    operationInfo.wFunc = operation;
    operationInfo.pFrom = from.c_str();
    operationInfo.pTo = to.c_str();
    operationInfo.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT;
    return ::SHFileOperationA(&operationInfo) == 0 && !operationInfo.fAnyOperationsAborted;
}

HRGN FrameRegion(const RECT& rect, SIZE size)
{
    CRgn outer;
    outer.CreateRectRgnIndirect(&rect);
    RECT inside = rect;
    ::InflateRect(&inside, -size.cx, -size.cy);
    if (inside.right > inside.left && inside.bottom > inside.top) {
        CRgn inner;
        inner.CreateRectRgnIndirect(&inside);
        outer.CombineRgn(inner, RGN_XOR);
    }
    return outer.Detach();
}

void InvertRegion(HDC dc, HRGN region, HBRUSH brush)
{
    RECT box = {};
    ::GetRgnBox(region, &box);
    const int saved = ::SaveDC(dc);
    ::SelectClipRgn(dc, region);
    const HGDIOBJ old = ::SelectObject(dc, brush);
    ::PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
    ::SelectObject(dc, old);
    ::RestoreDC(dc, saved);
}

}  // namespace

bool ShellCopyFiles(const std::string& folder, const std::vector<std::string>& files)
{
    return ShellFileOperation(FO_COPY, folder, files);
}

bool ShellMoveFiles(const std::string& folder, const std::vector<std::string>& files)
{
    return ShellFileOperation(FO_MOVE, folder, files);
}

void DrawDragRect(HDC dc, const RECT& rect, SIZE size, const RECT* previous, SIZE previousSize, HBRUSH brush,
                  HBRUSH previousBrush)
{
    CRgn frame(FrameRegion(rect, size));
    if (!previous) {
        InvertRegion(dc, frame, brush);
        return;
    }
    CRgn old(FrameRegion(*previous, previousSize));
    if (previousBrush && previousBrush != brush) {
        InvertRegion(dc, old, previousBrush);  // the old frame goes, then the new one comes
        InvertRegion(dc, frame, brush);
        return;
    }
    CRgn difference;
    difference.CreateRectRgn(0, 0, 0, 0);
    difference.CombineRgn(frame, old, RGN_XOR);
    InvertRegion(dc, difference, brush);
}
