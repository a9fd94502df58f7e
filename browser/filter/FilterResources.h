#pragma once
// Resource and command ids of the ad filter and the popup blocker: the design's dialogs (163, 165,
// 233, 234, 237, 238), menus (240, 241) and their controls, and ids of the area's own (20800-20999).

// Dialogs.
#define IDD_POPUP_ADVANCED 163
#define IDD_AD_ADVANCED 165
#define IDD_POPUP_BLOCKER_PAGE 233
#define IDD_AD_FILTER_PAGE 234
#define IDD_ALLOWED_SITE 237
#define IDD_AD_FILTER_RULE 238

// Context menus of the two logs.
#define IDR_POPUP_LOG_MENU 240
#define IDR_AD_LOG_MENU 241

// The edit of the site and rule dialogs.
#define IDC_FILTER_TEXT 1126

// Popup Blocker page.
#define IDC_POPUP_COUNTER 23300
#define IDC_POPUP_SITES 23305
#define IDC_POPUP_ADD 23306
#define IDC_POPUP_REMOVE 23307
#define IDC_POPUP_REMOVE_ALL 23308
#define IDC_POPUP_BROWSE 23309
#define IDC_POPUP_ADVANCED 23311
#define IDC_POPUP_VIEW_LOGS 23312
#define IDC_POPUP_ENABLE 23320
#define IDC_DIALOG_ENABLE 23321

// Ad-Filter page.
#define IDC_AD_COUNTER 23400
#define IDC_AD_ENABLE 23402
#define IDC_AD_RULE_TABS 23404
#define IDC_AD_ADD 23405
#define IDC_AD_REMOVE 23406
#define IDC_AD_REMOVE_ALL 23407
#define IDC_AD_ADVANCED 23409
#define IDC_AD_VIEW_LOGS 23410

// The logs' context menu commands.
#define ID_POPUP_LOG_DELETE 40001
#define ID_POPUP_LOG_CLEAR 40002
#define ID_POPUP_LOG_OPEN_OPENER 40003
#define ID_POPUP_LOG_GRID 40004
#define ID_POPUP_LOG_ALLOW 40005
#define ID_POPUP_LOG_COPY 40006
#define ID_POPUP_LOG_SAVE 40007
#define ID_POPUP_LOG_SETTINGS 40008
#define ID_POPUP_LOG_OPEN_BLOCKED 40103
#define ID_AD_LOG_DELETE 40011
#define ID_AD_LOG_CLEAR 40012
#define ID_AD_LOG_OPEN 40013
#define ID_AD_LOG_GRID 40014
#define ID_AD_LOG_COPY 40016
#define ID_AD_LOG_SAVE 40017
#define ID_AD_LOG_SETTINGS 40018

// The frame's log command, which the "Log" window's Close sends to its parent.
#define ID_FRAME_BLOCKED_LOG 36093

// The area's own ids.
#define IDC_LOG_TABS 20800
#define IDC_POPUP_LOG_LIST 20801
#define IDC_AD_LOG_LIST 20802
#define IDC_AD_RULE_LIST 20803

// Advanced Settings pages: popups (163) and ads (165).
#define IDC_POPUP_NOTICE 2110
#define IDC_POPUP_BEEP 2111
#define IDC_POPUP_SOUND 2112
#define IDC_POPUP_SOUND_PATH 2113
#define IDC_POPUP_SOUND_BROWSE 2114
#define IDC_POPUP_SOUND_PLAY 2115
#define IDC_POPUP_HOTKEY 2120
#define IDC_POPUP_GRID 2130
#define IDC_POPUP_MAX_ITEMS 2131
#define IDC_POPUP_MAX_SPIN 2132
#define IDC_AD_BEEP 2211
#define IDC_AD_SOUND 2212
#define IDC_AD_SOUND_PATH 2213
#define IDC_AD_SOUND_BROWSE 2214
#define IDC_AD_SOUND_PLAY 2215
#define IDC_AD_REPLACE 2216
#define IDC_AD_REPLACE_TEXT 2217
#define IDC_AD_HOTKEY 2220
#define IDC_AD_GRID 2230
#define IDC_AD_MAX_ITEMS 2231
#define IDC_AD_MAX_SPIN 2232
