#pragma once
// The engine double's travel log: ITravelLogStg over a fake browser's back and forward history, as
// the engine offers it through IServiceProvider. Entries are enumerated nearest page first;
// TravelTo goes back or forward as many pages as the entry is away.
//
// Lifetime: COM reference counts; the log keeps its browser alive, an entry keeps nothing.
#include "platform/AtlBase.h"

#include <windows.h>
#include <tlogstg.h>

#include <string>
#include <vector>

class CFakeBrowser;

// The service and interface id of the travel log.
constexpr GUID kFakeTravelLogId = {0x7ebfdd80, 0xad18, 0x11d3, {0xa4, 0xc5, 0x00, 0xc0, 0x4f, 0x72, 0xd6, 0xb8}};

class CFakeTravelLog final : public ITravelLogStg {
public:
    explicit CFakeTravelLog(CFakeBrowser& browser);
    CFakeTravelLog(const CFakeTravelLog&) = delete;
    CFakeTravelLog& operator=(const CFakeTravelLog&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(CreateEntry)(LPCWSTR, LPCWSTR, ITravelLogEntry*, WINBOOL, ITravelLogEntry**) override { return E_NOTIMPL; }
    STDMETHOD(TravelTo)(ITravelLogEntry* entry) override;
    STDMETHOD(EnumEntries)(TLENUMF flags, IEnumTravelLogEntry** entries) override;
    STDMETHOD(FindEntries)(TLENUMF, LPCWSTR, IEnumTravelLogEntry**) override { return E_NOTIMPL; }
    STDMETHOD(GetCount)(TLENUMF flags, DWORD* count) override;
    STDMETHOD(RemoveEntry)(ITravelLogEntry*) override { return E_NOTIMPL; }
    STDMETHOD(GetRelativeEntry)(int, ITravelLogEntry**) override { return E_NOTIMPL; }

private:
    ~CFakeTravelLog() = default;
    LONG m_references = 0;
    CFakeBrowser& m_browser;
    CComPtr<IUnknown> m_keepBrowser;
};
