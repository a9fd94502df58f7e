#pragma once
// Resource ids of the frame's services and the privacy menus: the ids the program's menus and
// dialogs use, and the services' own from 21600 to 21799.

// The tray menu; its first submenu pops up on a right click of the tray icon.
#define IDR_TRAY_MENU 131
#define ID_TRAY_SHOW 1200
#define ID_TRAY_EXTERNAL_TOOLS_MENU 21600
// The proxy options page and the proxy dialog.
#define IDD_PROXY_PAGE 220
#define IDC_PROXY_LIST 22010
#define IDC_PROXY_NEW 22011
#define IDC_PROXY_EDIT 22012
#define IDC_PROXY_DELETE 22013
#define IDC_PROXY_EXCEPTIONS 22014
#define IDD_PROXY 177
#define IDC_PROXY_ADDRESS 17700
#define IDC_PROXY_NAME 17701
// Mail commands of the tray menu that the main menu does not name.
#define ID_TRAY_SEND_LINK 31835
#define ID_TRAY_SEND_PAGE 31836
// External tools: the manager and tool i as 33550 + i.
#define ID_TOOLS_MANAGER 43800
#define ID_TOOL_FIRST 33550
#define ID_TOOL_LAST_STARTED 33559
// The cookie privacy menu.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define ID_COOKIES_ENABLE 32980
#define ID_COOKIES_SESSION 32981
#define ID_COOKIES_BLOCK_ALL 32986
#define ID_COOKIES_HIGH 32987
#define ID_COOKIES_MEDIUM_HIGH 32988
#define ID_COOKIES_MEDIUM 32989
#define ID_COOKIES_LOW 32990
#define ID_COOKIES_ALLOW_ALL 32991
#define ID_COOKIES_CUSTOM 32992
// The update check command.
#define ID_CHECK_FOR_UPDATE 32826
