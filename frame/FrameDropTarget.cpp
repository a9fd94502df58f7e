#include "frame/FrameDropTarget.h"

#include "core/app/MainFrameMessages.h"
#include "platform/Diagnostics.h"

#include <shellapi.h>

#include <cstring>

namespace {

UINT UrlFormat()
{
    static const UINT format = ::RegisterClipboardFormatA("UniformResourceLocator");
    return format;
}

FORMATETC FormatOf(UINT format)
{
    return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool Offers(IDataObject* data, UINT format)
{
    FORMATETC query = FormatOf(format);
    return data && data->QueryGetData(&query) == S_OK;
}

// The text of a global memory block, never read beyond the block or the open-URL limit.
TStdStr<char> GlobalText(HGLOBAL memory)
{
    TStdStr<char> text;
    const char* chars = memory ? static_cast<const char*>(::GlobalLock(memory)) : nullptr;
    if (!chars)
        return text;
    const size_t limit = std::min(::GlobalSize(memory), static_cast<size_t>(kMaxOpenUrlLength) + 1);
    text.assign(chars, strnlen(chars, limit));
    ::GlobalUnlock(memory);
    return text;
}

} // namespace

std::vector<TStdStr<char>> CFrameDropTarget::TextsOf(IDataObject* data)
{
    std::vector<TStdStr<char>> texts;
    if (!data)
        return texts;
    for (UINT format : {static_cast<UINT>(CF_HDROP), static_cast<UINT>(CF_TEXT), UrlFormat()}) {
        FORMATETC query = FormatOf(format);
        STGMEDIUM medium = {};
        if (data->GetData(&query, &medium) != S_OK)
            continue;
        if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
            if (format == CF_HDROP) {
                auto drop = static_cast<HDROP>(medium.hGlobal);
                const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
                for (UINT i = 0; i < count; ++i) {
                    char path[MAX_PATH] = {};
                    if (::DragQueryFileA(drop, i, path, MAX_PATH))
                        texts.push_back(path);
                }
            } else {
                texts.push_back(GlobalText(medium.hGlobal));
            }
        }
        ::ReleaseStgMedium(&medium);
        if (!texts.empty())
            break;
    }
    return texts;
}

DWORD CFrameDropTarget::EffectFor(bool offersSomething, DWORD keyState, DWORD allowed)
{
    if (!offersSomething)
        return DROPEFFECT_NONE;
    DWORD wanted = DROPEFFECT_MOVE;
    if ((keyState & MK_CONTROL) && (keyState & MK_SHIFT))
        wanted = DROPEFFECT_LINK;
    else if (keyState & MK_CONTROL)
        wanted = DROPEFFECT_COPY;
    // Opening a page takes nothing from the source: an effect it does not allow becomes copy or
    // link, whichever it allows.
    if (!(allowed & wanted))
        wanted = (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : (allowed & DROPEFFECT_LINK) ? DROPEFFECT_LINK : DROPEFFECT_NONE;
    return wanted == DROPEFFECT_NONE ? DROPEFFECT_NONE : (wanted | (allowed & DROPEFFECT_SCROLL));
}

STDMETHODIMP CFrameDropTarget::QueryInterface(REFIID iid, void** object)
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

STDMETHODIMP CFrameDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL, DWORD* effect)
{
    try {
        m_offersSomething = Offers(data, CF_HDROP) || Offers(data, CF_TEXT) || Offers(data, UrlFormat());
        if (effect)
            *effect = EffectFor(m_offersSomething, keyState, *effect);
        return S_OK;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CFrameDropTarget::DragEnter");
    }
}

STDMETHODIMP CFrameDropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect)
{
    if (effect)
        *effect = EffectFor(m_offersSomething, keyState, *effect);
    return S_OK;
}

STDMETHODIMP CFrameDropTarget::DragLeave()
{
    m_offersSomething = false;
    return S_OK;
}

STDMETHODIMP CFrameDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    try {
        m_offersSomething = false;
        bool opened = false;
        for (const TStdStr<char>& text : TextsOf(data))
            opened = m_open(text.c_str()) || opened;
        if (effect)
            *effect = opened ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CFrameDropTarget::Drop");
    }
}
