#pragma once
// The discovery of the outside toolbar bands the frame may host in its rebar. Only one band is
// accepted: the form filler's, by its class id; it is listed when the browser's "Toolbar" key
// names it and its in-process server is registered.
//
// The keys are given (the machine's "Software\Microsoft\Internet Explorer\Toolbar" and the classes
// root's "CLSID" in the program, scratch keys in tests) and only read.
#include "platform/AtlCom.h"

#include <windows.h>
#include <shobjidl.h>

#include <functional>
#include <string>
#include <vector>

inline constexpr char kFormFillerBandClsid[] = "{724D43A0-0D85-11D4-9908-00400523E39A}";
inline constexpr UINT kIdFirstHostedBand = 59440;

struct CToolBarBandRecord {
    std::string clsid;
    std::string displayName;
    UINT id = 0;
    bool visible = true;
};

// Reads the values of `toolbarKey`; each value name that is the accepted class id (any letter
// case) and whose "<clsid>\InprocServer32" below `clsidKey` has a non-empty default value becomes a
// record with the next id from 59440. `isVisible` gives the stored visible flag of a class id.
std::vector<CToolBarBandRecord> DiscoverToolBarBands(HKEY toolbarKey, HKEY clsidKey,
                                                     const std::function<bool(const std::string& clsid)>& isVisible = {});

// ---------------------------------------------------------------------------------------------
// The hosting of the discovered bands: each band object is created by its class id, given a site
// that answers for the rebar window and the active browser, and its window put into a rebar band
// whose id is the record's.
//
// Lifetime: the frame holds one CToolBarBandHost (a member) while its rebar lives; CloseAll (or the
// destructor) takes every band's site away and removes its rebar band. The band objects are COM
// objects held by reference; the site is one reference-counted object of the host.
class CToolBarBandSite;

struct CHostedToolBarBand {
    CToolBarBandRecord record;
    CComPtr<IObjectWithSite> object;
    CComPtr<IDeskBand> deskBand;
    CComPtr<IInputObject> input;
    HWND window = nullptr;  // the band's own window, a child of the rebar; destroyed by the band
};

class CToolBarBandHost {
public:
    explicit CToolBarBandHost(std::vector<CToolBarBandRecord> records = {});
    ~CToolBarBandHost();
    CToolBarBandHost(const CToolBarBandHost&) = delete;
    CToolBarBandHost& operator=(const CToolBarBandHost&) = delete;

    // Closes the bands there are and takes these records in their place.
    void SetRecords(std::vector<CToolBarBandRecord> records);
    // The rebar the bands go into (not owned); null: no rebar calls are made.
    void SetReBar(HWND reBar) { m_reBar = reBar; }
    HWND GetReBar() const { return m_reBar; }
    // The browser object that the bands reach through the site's SID_SWebBrowserApp service; null
    // keeps the one the site has.
    void SetActiveBrowser(IUnknown* browser);

    // Creates band `index`, connects it and adds its window as a rebar band with its id; the band's
    // window, or 0 when the object cannot be created or connected (nothing is reported then).
    HWND CreateBand(size_t index);
    // Creates every band whose visible flag is set; the number created.
    size_t CreateVisibleBands();
    // Asks the band for its sizes and gives them to its rebar band.
    void UpdateBandInfo(size_t index);
    // Takes the site away and removes the rebar band.
    void CloseBand(size_t index);
    void CloseAll();
    // The command of a band's id: closes a shown band, creates a hidden one, and keeps the flag.
    // False for an id that is no band's.
    bool ToggleBand(UINT id);

    const std::vector<CHostedToolBarBand>& GetBands() const { return m_bands; }
    bool IsCreated(size_t index) const { return index < m_bands.size() && m_bands[index].object; }
    // The site's IUnknown (created on demand), for tests.
    IUnknown* GetSite();

private:
    std::vector<CHostedToolBarBand> m_bands;
    HWND m_reBar = nullptr;              // not owned: the frame's rebar
    CComObject<CToolBarBandSite>* m_site = nullptr;  // one reference held while the host lives
};
