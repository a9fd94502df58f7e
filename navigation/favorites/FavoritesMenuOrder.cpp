#include "navigation/favorites/FavoritesMenuOrder.h"

#include "core/library/RegistryKey.h"
#include "core/system/ShellItems.h"
#include "navigation/favorites/FavoritesFolder.h"

#include <algorithm>
#include <cstring>

const char kMenuOrderFavoritesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Favorites";
const char kMenuOrderValueName[] = "Order";

namespace {

uint32_t ReadWord(const BYTE* at)
{
    uint32_t value = 0;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

void AppendWord(std::vector<BYTE>& bytes, uint32_t value)
{
    const BYTE* at = reinterpret_cast<const BYTE*>(&value);
    bytes.insert(bytes.end(), at, at + sizeof(value));
}

// The id list bytes up to the last item that fits, then the two-byte terminator. An item whose
// count is below 2 (which would not advance) or beyond the bytes ends the list.
std::vector<BYTE> MakeCompleteIdList(const BYTE* data, size_t size)
{
    size_t used = 0;
    while (used + sizeof(USHORT) <= size) {
        USHORT count = 0;
        std::memcpy(&count, data + used, sizeof(count));
        if (count < sizeof(USHORT) || count > size - used)
            break;
        used += count;
    }
    std::vector<BYTE> list(data, data + used);
    list.resize(used + sizeof(USHORT), 0);
    return list;
}

}  // namespace

std::vector<CMenuOrderEntry> ParseMenuOrderValue(const BYTE* data, size_t size)
{
    std::vector<CMenuOrderEntry> entries;
    if (!data || size < 12)
        return entries;
    // 64-bit arithmetic: a header word near 2^32 must not wrap the offset back into the data.
    uint64_t offset = static_cast<uint64_t>(ReadWord(data)) + 12;
    while (offset + 8 <= size && entries.size() < kMaxMenuOrderEntries) {
        const BYTE* entry = data + offset;
        const uint32_t entrySize = ReadWord(entry);
        if (entrySize < 8)
            break;  // a zero or too-small size would never advance
        const uint64_t end = std::min<uint64_t>(offset + entrySize, size);
        CMenuOrderEntry parsed;
        parsed.position = static_cast<int32_t>(ReadWord(entry + 4));
        parsed.idList = MakeCompleteIdList(entry + 8, static_cast<size_t>(end - offset - 8));
        entries.push_back(std::move(parsed));
        offset += entrySize;
    }
    return entries;
}

std::vector<BYTE> BuildMenuOrderValue(const std::vector<CMenuOrderEntry>& entries, uint32_t headerLength)
{
    std::vector<BYTE> bytes;
    AppendWord(bytes, headerLength);
    bytes.resize(bytes.size() + headerLength + 8, 0);
    for (const CMenuOrderEntry& entry : entries) {
        AppendWord(bytes, static_cast<uint32_t>(entry.idList.size() + 8));
        AppendWord(bytes, static_cast<uint32_t>(entry.position));
        bytes.insert(bytes.end(), entry.idList.begin(), entry.idList.end());
    }
    return bytes;
}

std::string GetMenuOrderKeyPath(const std::string& folder, const std::string& favoritesFolder)
{
    const std::string root = WithTrailingBackslash(favoritesFolder);
    const std::string path = WithTrailingBackslash(folder);
    if (root.empty() || path.size() < root.size() || !FolderPathsEqual(path.substr(0, root.size()), root))
        return {};
    std::string key = std::string(kMenuOrderFavoritesKey) + "\\" + path.substr(root.size());
    if (!key.empty() && key.back() == '\\')
        key.pop_back();
    return key;
}

void ReadFavoritesMenuOrder(CFavoritesOrderMap& order, const std::string& folder)
{
    order.clear();
    const std::string keyPath = GetMenuOrderKeyPath(folder, GetFavoritesFolder());
    if (keyPath.empty())
        return;
    // Read access is enough to read; asking for all access fails on a key the user may only read.
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, keyPath.c_str(), KEY_READ))
        return;
    DWORD size = 0;
    DWORD type = REG_NONE;
    // Only the binary value the shell writes is read; a value of another type is foreign.
    if (RegQueryValueExA(key, kMenuOrderValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_BINARY ||
        size < 12 || size > kMaxMenuOrderValueSize)
        return;
    // Ten spare zero bytes behind the value, as the system's own reader keeps them.
    std::vector<BYTE> value(size + 10, 0);
    DWORD read = size;
    if (!key.QueryValue(kMenuOrderValueName, value.data(), &read) || read < 12 || read > size)
        return;
    for (const CMenuOrderEntry& entry : ParseMenuOrderValue(value.data(), read)) {
        // The entries hold single child ids; taken as absolute lists they resolve below the
        // desktop (observed under Wine: "C:\users\<u>\Desktop\<name>"), so the file name is right.
        const std::string name = GetPathFileName(GetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(entry.idList.data())).c_str());
        if (!name.empty())
            order.emplace(name, entry.position);
    }
}

int32_t GetMenuOrderPlace(const CFavoritesOrderMap& order, const std::string& name)
{
    const auto found = order.find(name);
    const int32_t position = found == order.end() ? 0 : found->second;
    return position == -1 || position == -5 ? kNoMenuOrderPlace : position;
}

bool MenuOrderLess(const CFavoritesOrderMap& order, const std::string& nameA, bool folderA, const std::string& nameB,
                   bool folderB)
{
    const int32_t placeA = GetMenuOrderPlace(order, nameA);
    const int32_t placeB = GetMenuOrderPlace(order, nameB);
    if (placeA != placeB)
        return placeA < placeB;
    if (folderA != folderB)
        return folderA;
    return nameA < nameB;
}
