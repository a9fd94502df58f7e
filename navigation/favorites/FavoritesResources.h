#pragma once
// Command and string ids of the favorites: the design's own numbers, and the favorites' own range
// 21200 to 21399 for the rest.

// The main frame's Favorites menu: ids 22881 to 24879 go to its items; 22880, which the menu
// never hands out, is the placeholder "Insert Point" of the menu resource.
constexpr unsigned kFavoritesMenuFirstCommand = 22880;
constexpr unsigned kFavoritesMenuLastCommand = 24880;
constexpr unsigned kFavoritesMenuInsertPoint = 22880;
// The folder toolbar's chevron and folder-button menus.
constexpr unsigned kFolderMenuFirstCommand = 0x7000;
constexpr unsigned kFolderMenuLastCommand = 0x7FFF;
// The Links bar's buttons.
constexpr unsigned kLinksBarFirstCommand = 300;
constexpr unsigned kLinksBarLastCommand = 768;
// The Links bar's fixed first button (the favorites drop-down of the frame).
constexpr unsigned kLinksBarFavoritesButton = 19700;
// Frame commands the favorites views use.
constexpr unsigned kAddToFavoritesCommand = 22870;
constexpr unsigned kOrganizeFavoritesCommand = 22871;
constexpr unsigned kRefreshFavoritesCommand = 221;
// The folder toolbar's placeholder of its popup menu "InsertPoint".
constexpr unsigned kFolderMenuInsertPoint = 21200;
