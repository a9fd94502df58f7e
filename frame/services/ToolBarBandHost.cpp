#include "frame/services/ToolBarBandHost.h"

#include "core/library/RegistryKey.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr DWORD kMaxValues = 512;

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

} // namespace

std::vector<CToolBarBandRecord> DiscoverToolBarBands(HKEY toolbarKey, HKEY clsidKey,
                                                     const std::function<bool(const std::string& clsid)>& isVisible)
{
    std::vector<CToolBarBandRecord> bands;
    if (!toolbarKey || !clsidKey)
        return bands;
    UINT nextId = kIdFirstHostedBand;
    for (DWORD index = 0; index < kMaxValues; ++index) {
        char name[256] = "";
        DWORD nameLength = sizeof(name);
        char data[256] = "";
        DWORD dataLength = sizeof(data) - 1;
        DWORD type = 0;
        const LONG result = RegEnumValueA(toolbarKey, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataLength);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
            continue;
        if (Upper(name) != kFormFillerBandClsid)
            continue;
        CRegistryKey server;
        if (!server.Open(clsidKey, (std::string(name) + "\\InprocServer32").c_str(), KEY_READ))
            continue;
        TStdStr<char> path;
        if (!server.QueryStringValue(nullptr, path) || path.empty())
            continue;
        CToolBarBandRecord record;
        record.clsid = name;
        if (result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            data[dataLength < sizeof(data) ? dataLength : sizeof(data) - 1] = '\0';
            record.displayName = data;
        }
        record.visible = isVisible ? isVisible(record.clsid) : true;
        record.id = nextId++;
        bands.push_back(std::move(record));
    }
    return bands;
}
