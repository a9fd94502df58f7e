#include "browser/tools/PageDropTarget.h"

#include "core/app/MainFrameMessages.h"
#include "frame/BrowserTab.h"
#include "platform/Diagnostics.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kEveryEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
// The longest dropped text taken: an address or a search, not a document.
constexpr SIZE_T kMaxDroppedText = 64 * 1024;

IPageTextSearch* g_search = nullptr;  // not owned

// The data object's medium of one format, released with the holder.
class CStorageMedium {
public:
    CStorageMedium() = default;
    CStorageMedium(const CStorageMedium&) = delete;
    CStorageMedium& operator=(const CStorageMedium&) = delete;
    ~CStorageMedium()
    {
        if (m_held)
            ::ReleaseStgMedium(&m_medium);
    }
    bool Get(IDataObject* data, CLIPFORMAT format)
    {
        FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        m_held = SUCCEEDED(data->GetData(&wanted, &m_medium)) && m_medium.tymed == TYMED_HGLOBAL && m_medium.hGlobal;
        return m_held;
    }
    HGLOBAL Global() const { return m_held ? m_medium.hGlobal : nullptr; }

private:
    STGMEDIUM m_medium = {};
    bool m_held = false;
};

// CF_TEXT of the data: read no further than the memory block, up to its first zero.
bool ReadDroppedText(IDataObject* data, TStdStr<char>& text)
{
    CStorageMedium medium;
    if (!medium.Get(data, CF_TEXT))
        return false;
    const SIZE_T size = ::GlobalSize(medium.Global());
    const auto* chars = static_cast<const char*>(::GlobalLock(medium.Global()));
    if (!chars)
        return false;
    const SIZE_T limit = size < kMaxDroppedText ? size : kMaxDroppedText;
    SIZE_T length = 0;
    while (length < limit && chars[length])
        ++length;
    text.assign(chars, length);
    ::GlobalUnlock(medium.Global());
    return true;
}

// The first file name of CF_HDROP, "" without one.
TStdStr<char> ReadFirstDroppedFile(IDataObject* data)
{
    CStorageMedium medium;
    if (!medium.Get(data, CF_HDROP))
        return TStdStr<char>();
    auto drop = static_cast<HDROP>(medium.Global());
    if (::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 0)
        return TStdStr<char>();
    const UINT length = ::DragQueryFileA(drop, 0, nullptr, 0);
    if (length == 0 || length > 32767)
        return TStdStr<char>();
    std::vector<char> name(length + 1, '\0');
    ::DragQueryFileA(drop, 0, name.data(), length + 1);
    return TStdStr<char>(name.data());
}

// The main window of the program: the top window of the tab under the cursor's page is not
// known here, so the frame of the tab host is asked.
HWND MainWindow()
{
    IBrowserTabHost* host = GetBrowserTabHost();
    return host ? host->GetFrameWindow() : nullptr;
}

} // namespace

IPageTextSearch* GetPageTextSearch()
{
    return g_search;
}

IPageTextSearch* SetPageTextSearch(IPageTextSearch* search)
{
    IPageTextSearch* previous = g_search;
    g_search = search;
    return previous;
}

STDMETHODIMP CPageDropTarget::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IDropTarget)
        return E_NOINTERFACE;
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CPageDropTarget::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_references));
}

STDMETHODIMP_(ULONG) CPageDropTarget::Release()
{
    // The one target lives as long as the program.
    return static_cast<ULONG>(::InterlockedDecrement(&m_references));
}

STDMETHODIMP CPageDropTarget::DragEnter(IDataObject*, DWORD keyState, POINTL, DWORD* effect)
{
    if (effect && *effect != kEveryEffect)
        m_keyState = keyState;
    return S_OK;
}

STDMETHODIMP CPageDropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect)
{
    if (effect && *effect != kEveryEffect)
        m_keyState = keyState;
    return S_OK;
}

STDMETHODIMP CPageDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    try {
        if (!data || !effect || *effect == kEveryEffect)
            return S_OK;
        TStdStr<char> text;
        const bool hasText = ReadDroppedText(data, text);
        const TStdStr<char> file = ReadFirstDroppedFile(data);
        if (!file.empty())
            text = file;
        if (text.empty())
            return S_OK;
        if (!hasText || *effect == DROPEFFECT_LINK) {
            if (HWND frame = MainWindow())
                ::SendMessageA(frame, kOpenUrlMessage, reinterpret_cast<WPARAM>(text.c_str()), kOpenNewTab);
        } else if (g_search) {
            g_search->SearchText(text.c_str());
        }
        return S_OK;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("page drop");
    }
}

IDropTarget* GetPageDropTarget()
{
    static CPageDropTarget target;
    return &target;
}
