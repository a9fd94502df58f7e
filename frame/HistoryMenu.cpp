#include "frame/HistoryMenu.h"

#include "core/library/StdStr.h"
#include "platform/AtlBase.h"

#include <servprov.h>
#include <tlogstg.h>

namespace {

// The travel log's service and interface id.
constexpr GUID kTravelLogStorageId = {0x7ebfdd80, 0xad18, 0x11d3, {0xa4, 0xc5, 0x00, 0xc0, 0x4f, 0x72, 0xd6, 0xb8}};
constexpr int kMaxTitleLength = 256;

// A title that is too long for a menu is cut; a page without a title shows its address.
TStdStr<char> ItemText(ITravelLogEntry& entry)
{
    TStdStr<char> text;
    LPWSTR title = nullptr;
    if (SUCCEEDED(entry.GetTitle(&title)) && title) {
        text = title;
        ::CoTaskMemFree(title);
    }
    if (text.empty()) {
        LPWSTR url = nullptr;
        if (SUCCEEDED(entry.GetURL(&url)) && url) {
            text = url;
            ::CoTaskMemFree(url);
        }
    }
    if (text.size() > kMaxTitleLength)
        text = text.substr(0, kMaxTitleLength) + "...";
    // A single '&' would underline the next letter.
    TStdStr<char> escaped;
    for (char c : text) {
        escaped += c;
        if (c == '&')
            escaped += '&';
    }
    return escaped;
}

int AddEntries(IUnknown* browser, HMENU menu, UINT firstId, TLENUMF direction)
{
    int added = 0;
    CComQIPtr<IServiceProvider> services(browser);
    CComPtr<ITravelLogStg> log;
    CComPtr<IEnumTravelLogEntry> entries;
    if (services &&
        SUCCEEDED(services->QueryService(kTravelLogStorageId, kTravelLogStorageId, reinterpret_cast<void**>(&log))) &&
        log && SUCCEEDED(log->EnumEntries(direction, &entries)) && entries) {
        while (added < kMaxHistoryMenuItems) {
            CComPtr<ITravelLogEntry> entry;
            ULONG fetched = 0;
            if (entries->Next(1, &entry, &fetched) != S_OK || fetched != 1 || !entry)
                break;
            const TStdStr<char> text = ItemText(*entry);
            ::AppendMenuA(menu, MF_STRING, firstId + added, text.c_str());
            ++added;
        }
    }
    return added;
}

int FillHistoryMenu(IUnknown* browser, HMENU menu, UINT firstId, TLENUMF direction)
{
    if (!menu)
        return 0;
    // The template's own placeholders go first, so that the pages take their commands.
    for (int n = 0; n < kMaxHistoryMenuItems; ++n)
        ::RemoveMenu(menu, firstId + n, MF_BYCOMMAND);
    return browser ? AddEntries(browser, menu, firstId, direction) : 0;
}

}  // namespace

int FillBackMenu(IUnknown* browser, HMENU menu, UINT firstId)
{
    return FillHistoryMenu(browser, menu, firstId, TLEF_RELATIVE_BACK);
}

int FillForwardMenu(IUnknown* browser, HMENU menu, UINT firstId)
{
    return FillHistoryMenu(browser, menu, firstId, TLEF_RELATIVE_FORE);
}
