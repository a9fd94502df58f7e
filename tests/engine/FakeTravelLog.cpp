#include "tests/engine/FakeTravelLog.h"

#include "tests/engine/FakeEngine.h"

namespace {

constexpr GUID kEntryId = {0x7ebfdd87, 0xad18, 0x11d3, {0xa4, 0xc5, 0x00, 0xc0, 0x4f, 0x72, 0xd6, 0xb8}};
constexpr GUID kEnumId = {0x7ebfdd85, 0xad18, 0x11d3, {0xa4, 0xc5, 0x00, 0xc0, 0x4f, 0x72, 0xd6, 0xb8}};

HRESULT CopyText(const std::wstring& text, LPWSTR* out)
{
    if (!out)
        return E_POINTER;
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    *out = static_cast<LPWSTR>(::CoTaskMemAlloc(bytes));
    if (!*out)
        return E_OUTOFMEMORY;
    memcpy(*out, text.c_str(), bytes);
    return S_OK;
}

class CEntry final : public ITravelLogEntry {
public:
    CEntry(int offset_, std::wstring url, std::wstring title) : offset(offset_), m_url(std::move(url)), m_title(std::move(title)) {}
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = iid == IID_IUnknown || iid == kEntryId ? static_cast<ITravelLogEntry*>(this) : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(++m_references); }
    STDMETHOD_(ULONG, Release)() override
    {
        const LONG left = --m_references;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHOD(GetTitle)(LPWSTR* title) override { return CopyText(m_title, title); }
    STDMETHOD(GetURL)(LPWSTR* url) override { return CopyText(m_url, url); }
    const int offset;  // pages away: negative back, positive forward

private:
    ~CEntry() = default;
    LONG m_references = 0;
    std::wstring m_url;
    std::wstring m_title;
};

class CEntries final : public IEnumTravelLogEntry {
public:
    explicit CEntries(std::vector<CComPtr<ITravelLogEntry>> entries) : m_entries(std::move(entries)) {}
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = iid == IID_IUnknown || iid == kEnumId ? static_cast<IEnumTravelLogEntry*>(this) : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(++m_references); }
    STDMETHOD_(ULONG, Release)() override
    {
        const LONG left = --m_references;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHOD(Next)(ULONG count, ITravelLogEntry** out, ULONG* fetched) override
    {
        if (!out)
            return E_POINTER;
        ULONG given = 0;
        while (given < count && m_next < m_entries.size()) {
            out[given] = m_entries[m_next++];
            out[given]->AddRef();
            ++given;
        }
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHOD(Skip)(ULONG count) override
    {
        m_next = std::min(m_entries.size(), m_next + count);
        return m_next < m_entries.size() ? S_OK : S_FALSE;
    }
    STDMETHOD(Reset)() override
    {
        m_next = 0;
        return S_OK;
    }
    STDMETHOD(Clone)(IEnumTravelLogEntry**) override { return E_NOTIMPL; }

private:
    ~CEntries() = default;
    LONG m_references = 0;
    std::vector<CComPtr<ITravelLogEntry>> m_entries;
    size_t m_next = 0;
};

}  // namespace

CFakeTravelLog::CFakeTravelLog(CFakeBrowser& browser)
    : m_browser(browser), m_keepBrowser(static_cast<IWebBrowser2*>(&browser))
{
}

STDMETHODIMP CFakeTravelLog::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = iid == IID_IUnknown || iid == kFakeTravelLogId ? static_cast<ITravelLogStg*>(this) : nullptr;
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CFakeTravelLog::AddRef()
{
    return static_cast<ULONG>(++m_references);
}

STDMETHODIMP_(ULONG) CFakeTravelLog::Release()
{
    const LONG left = --m_references;
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP CFakeTravelLog::EnumEntries(TLENUMF flags, IEnumTravelLogEntry** entries)
{
    if (!entries)
        return E_POINTER;
    std::vector<CComPtr<ITravelLogEntry>> list;
    // The next page back (or forward) is the last of its list.
    if (flags & TLEF_RELATIVE_BACK) {
        const std::vector<std::wstring>& back = m_browser.BackHistory();
        for (size_t i = 0; i < back.size(); ++i) {
            const std::wstring& url = back[back.size() - 1 - i];
            list.push_back(new CEntry(-static_cast<int>(i + 1), url, m_browser.TitleOf(url)));
        }
    }
    if (flags & TLEF_RELATIVE_FORE) {
        const std::vector<std::wstring>& forward = m_browser.ForwardHistory();
        for (size_t i = 0; i < forward.size(); ++i) {
            const std::wstring& url = forward[forward.size() - 1 - i];
            list.push_back(new CEntry(static_cast<int>(i + 1), url, m_browser.TitleOf(url)));
        }
    }
    CComPtr<IEnumTravelLogEntry> result = new CEntries(std::move(list));
    *entries = result;
    (*entries)->AddRef();
    return S_OK;
}

STDMETHODIMP CFakeTravelLog::GetCount(TLENUMF flags, DWORD* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    if (flags & TLEF_RELATIVE_BACK)
        *count += static_cast<DWORD>(m_browser.BackHistory().size());
    if (flags & TLEF_RELATIVE_FORE)
        *count += static_cast<DWORD>(m_browser.ForwardHistory().size());
    return S_OK;
}

STDMETHODIMP CFakeTravelLog::TravelTo(ITravelLogEntry* entry)
{
    const auto* ours = dynamic_cast<CEntry*>(entry);
    if (!ours)
        return E_INVALIDARG;
    for (int step = 0; step < std::abs(ours->offset); ++step)
        if (FAILED(ours->offset < 0 ? m_browser.GoBack() : m_browser.GoForward()))
            return E_FAIL;
    return S_OK;
}
