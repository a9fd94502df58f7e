#include "navigation/favorites/LinkDrag.h"

#include "core/system/ShellItems.h"
#include "platform/AtlBase.h"

#include <shlobj.h>

#include <new>

CDragOutSource* CDragOutSource::Create(DWORD button) { return new (std::nothrow) CDragOutSource(button); }

HRESULT CDragOutSource::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDropSource)
        return E_NOINTERFACE;
    *object = static_cast<IDropSource*>(this);
    AddRef();
    return S_OK;
}

ULONG CDragOutSource::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG CDragOutSource::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CDragOutSource::QueryContinueDrag(BOOL escape, DWORD keys)
{
    if (escape)
        return DRAGDROP_S_CANCEL;
    // The other button pressed as well cancels, as the shell's own drags do.
    const DWORD other = m_button == MK_RBUTTON ? MK_LBUTTON : MK_RBUTTON;
    if (keys & other)
        return DRAGDROP_S_CANCEL;
    return (keys & m_button) ? S_OK : DRAGDROP_S_DROP;
}

DWORD DragLinksOut(const std::vector<CDraggedLink>& links, DWORD button, DWORD allowed)
{
    CLinkDataObject* data = CLinkDataObject::Create(links);
    CDragOutSource* source = CDragOutSource::Create(button);
    DWORD effect = DROPEFFECT_NONE;
    if (data && source && DoDragDrop(data, source, allowed, &effect) != DRAGDROP_S_DROP)
        effect = DROPEFFECT_NONE;
    if (source)
        source->Release();
    if (data)
        data->Release();
    return effect;
}

IDataObject* CreateShellDataObject(const std::string& path)
{
    std::string trimmed = path;
    if (trimmed.size() > 3 && trimmed.back() == '\\')
        trimmed.pop_back();
    CPidl list(ParseDisplayNameToPidl(trimmed.c_str()));
    if (!list.Get())
        return nullptr;
    CComPtr<IShellFolder> parent;
    LPCITEMIDLIST child = nullptr;
    if (FAILED(SHBindToParent(list.Get(), IID_IShellFolder, reinterpret_cast<void**>(&parent.p), &child)) || !parent || !child)
        return nullptr;
    IDataObject* data = nullptr;
    if (FAILED(parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, reinterpret_cast<void**>(&data))))
        return nullptr;
    return data;
}
