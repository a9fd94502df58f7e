#pragma once
// The discovery of the outside toolbar bands the frame may host in its rebar. Only one band is
// accepted: the form filler's, by its class id; it is listed when the browser's "Toolbar" key
// names it and its in-process server is registered.
//
// The keys are given (the machine's "Software\Microsoft\Internet Explorer\Toolbar" and the classes
// root's "CLSID" in the program, scratch keys in tests) and only read.
#include <windows.h>

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
