#pragma once
// Resource and command ids of the navigation aids (resources/Navigation.rc). Plain macros, because
// the resource compiler reads this file too. The ids shared with the frame, and the area's own from 19200.

// Menus of the address bar (label button) and the search bar (menu button).
#define IDR_ADDRESS_BAR_MENU 201
#define IDR_SEARCH_BAR_MENU 202

// Dialogs.
#define IDD_ORGANIZE_GROUPS 170
#define IDD_GROUP_NAME 172
#define IDD_URL_ALIAS_LIST 174
#define IDD_ASSIGN_URL_ALIAS 175
#define IDD_ADD_GROUP_ADDRESS 19200
#define IDD_ADD_FAVORITE 19220

// Organize Groups.
#define IDC_GROUP_LIST 17000
#define IDC_NEW_GROUP 17001
#define IDC_DELETE_GROUP 17002
#define IDC_RENAME_GROUP 17004
#define IDC_GROUP_ADDRESS_LIST 17010
#define IDC_NEW_GROUP_ADDRESS 17011
#define IDC_DELETE_GROUP_ADDRESS 17012
#define IDC_MOVE_ADDRESS_UP 17013
#define IDC_MOVE_ADDRESS_DOWN 17014
#define IDC_MOVE_GROUP_UP 19210
#define IDC_MOVE_GROUP_DOWN 19211
// Group Name.
#define IDC_GROUP_NAME 17201
// Add an address to a group.
#define IDC_GROUP_ADDRESS 19201
// URL Alias list.
#define IDC_ALIAS_LIST 17401
#define IDC_NEW_ALIAS 17402
#define IDC_REMOVE_ALIAS 17403
#define IDC_EDIT_ALIAS 17404
// Assign URL Alias.
#define IDC_ALIAS_TEXT 17501
#define IDC_ALIAS_URL 17502
// Add Favorite.
#define IDC_FAVORITE_NAME 19221
#define IDC_FAVORITE_FOLDER 19222

// Band windows.
#define ID_ADDRESS_BAR 60164
#define ID_SEARCH_BAR 60167

// Buttons of the bars.
#define ID_SEARCH_MENU_BUTTON 19701
#define ID_ADDRESS_LABEL_BUTTON 19702
#define ID_GO_BUTTON 33014
#define ID_SEARCH_FIND_NEXT 42958
#define ID_SEARCH_HIGHLIGHT 42959
#define ID_SEARCH_CATEGORY_FIRST 42960
#define ID_SEARCH_CATEGORY_LAST 42999

// Commands of the bar menus (handled by the main frame).
#define ID_CLEAR_TYPED_ADDRESSES 42002
#define ID_CLEAR_SEARCH_HISTORY 42011
#define ID_ADDRESS_BAR_OPTIONS 42047
#define ID_ORGANIZE_URL_ALIAS 42048
#define ID_TOGGLE_ADDRESS_NEW_TAB 42049
#define ID_SEARCH_BAR_OPTIONS 42060
#define ID_TOGGLE_SEARCH_NEW_TAB 42061
#define ID_ORGANIZE_GROUPS 32860

// The address bar menu's aliases are commands 1 to 500 (alias index + 1); the go menu's "Go" is 1
// and its web-based services start at 2.
#define ID_FIRST_ALIAS_COMMAND 1
#define ID_LAST_ALIAS_COMMAND 500
#define ID_GO_MENU_GO 1
#define ID_GO_MENU_FIRST_SERVICE 2

// The "Search Bar" options page.
#define IDD_SEARCH_BAR_PAGE 178
#define IDC_SEARCH_CATEGORY_LIST 17800
#define IDC_SEARCH_ENGINE_LIST 17801
#define IDC_SET_DEFAULT_ENGINE 17810
