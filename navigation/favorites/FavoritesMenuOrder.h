#pragma once
// The order in which the user arranged a favorites folder in the system's own Favorites menu:
// the binary value "Order" under "MenuOrder\Favorites" (one key per folder below the Favorites
// folder). Read only; nothing is written back.
//
// Layout of "Order" (little-endian): a header whose first word H is the length of the rest of the
// header less 8; the first entry at H + 12. Each entry: its size S (the distance to the next entry),
// its signed position, then a shell item id list of S - 8 bytes. Positions -1 and -5 mean "no place".
// The value is hostile input: every count and length is checked against the data.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// File name (byte order, case-sensitive) to position; the first position of a name is kept.
using CFavoritesOrderMap = std::map<std::string, int32_t>;

extern const char kMenuOrderFavoritesKey[];  // below HKEY_CURRENT_USER
extern const char kMenuOrderValueName[];      // "Order"
// The largest "Order" value read; a larger one is taken as damaged (no order).
constexpr DWORD kMaxMenuOrderValueSize = 1024 * 1024;
// The most entries read from one value.
constexpr size_t kMaxMenuOrderEntries = 16384;
// The place the sorts give an entry without one (no map entry, or position -1 or -5).
constexpr int32_t kNoMenuOrderPlace = 10000;

struct CMenuOrderEntry {
    int32_t position = 0;
    std::vector<BYTE> idList;  // a complete id list: every item fits, two zero bytes end it
};

// The entries of an "Order" value. An entry whose size is below 8 ends the parse; one that runs
// past the value's end is taken with the id list cut at the end. Id list items that do not fit
// their entry are cut off, so each list is safe to hand to the shell.
std::vector<CMenuOrderEntry> ParseMenuOrderValue(const BYTE* data, size_t size);
// The value's bytes for these entries after a header of `headerLength` + 12 bytes (H = the given
// length); the inverse of ParseMenuOrderValue for well-formed data.
std::vector<BYTE> BuildMenuOrderValue(const std::vector<CMenuOrderEntry>& entries, uint32_t headerLength = 0);

// The key below HKEY_CURRENT_USER for a folder under the Favorites folder (with or without the
// trailing "\"): the MenuOrder "Favorites" key, then "\" and the folder's path relative to the
// Favorites folder; no trailing "\". Empty for a folder outside the Favorites folder.
std::string GetMenuOrderKeyPath(const std::string& folder, const std::string& favoritesFolder);

// Fills `order` for the folder (cleared first); empty when anything fails.
void ReadFavoritesMenuOrder(CFavoritesOrderMap& order, const std::string& folder);

// The sorts' position of a name: its map position, 0 when absent, kNoMenuOrderPlace for -1 and -5.
int32_t GetMenuOrderPlace(const CFavoritesOrderMap& order, const std::string& name);
// The menu-order comparison of two entries by file name: the lower place first; when both have no
// place, folders first, then the names in byte order. Equal places fall back to the same tie rule,
// so the order does not depend on the sort algorithm.
bool MenuOrderLess(const CFavoritesOrderMap& order, const std::string& nameA, bool folderA, const std::string& nameB,
                   bool folderB);
