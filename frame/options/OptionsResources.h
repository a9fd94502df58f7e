#pragma once
// Resource ids of the Options dialog and its pages (resources/Options.rc). The dialog and page
// ids and the ids of their controls are those the pages have always had, so stored
// "LastOptionID" values keep naming the same pages; ids of our own come from 21400 to 21599.

// The dialog.
#define IDD_OPTIONS 135
#define IDC_OPTIONS_CORNER_LABEL 1100
#define IDC_OPTIONS_TREE 1900
#define IDC_OPTIONS_CAPTION 1901
#define IDC_OPTIONS_PAGE_HOST 1902
#define IDC_OPTIONS_RESTART_NOTE 21400

// "Address Bar" (179).
#define IDD_ADDRESS_BAR_PAGE 179
#define IDC_DOMAIN_COMPLETION_LABEL 17900
#define IDC_DOMAIN_COMPLETION_CTRL 17910
#define IDC_DOMAIN_COMPLETION_SHIFT 17911
#define IDC_DOMAIN_COMPLETION_CTRL_SHIFT 17912
#define IDC_SHOW_ADDRESS_BUTTON 17920
#define IDC_SHOW_GO_BUTTON 17921
#define IDC_SHOW_ADDRESS_BUTTON_ICON 17922
#define IDC_DOMAIN_CTRL_LABEL 21410
#define IDC_DOMAIN_SHIFT_LABEL 21411
#define IDC_DOMAIN_CTRL_SHIFT_LABEL 21412

// "Miscellaneous" (242).
#define IDD_MISCELLANEOUS_PAGE 242
#define IDC_MISC_TRAY_LABEL 24200
#define IDC_MISC_NEW_TAB_LABEL 24201
#define IDC_MISC_OPEN_FROM_LABEL 24202
#define IDC_MISC_NEW_TAB_BACKGROUND 24210
#define IDC_MISC_SHOW_TRAY_ICON 24230
#define IDC_MISC_CLOSE_ACTION 24231
#define IDC_MISC_MINIMIZE_ACTION 24232
#define IDC_MISC_OPEN_FROM_ADDRESS_BAR 24240
#define IDC_MISC_OPEN_FROM_FAVORITES 24241
#define IDC_MISC_OPEN_FROM_HISTORY 24242
#define IDC_MISC_OPEN_FROM_SEARCH_BAR 24243
#define IDC_MISC_OPEN_FROM_LINKS_BAR 24244
#define IDC_MISC_SUPPRESS_SCRIPT_ERRORS 24250
#define IDC_MISC_CLOSE_LABEL 21420
#define IDC_MISC_MINIMIZE_LABEL 21421

// "Download" (244): what pages load and run.
#define IDD_DOWNLOAD_PAGE 244
#define IDC_DOWNLOAD_IMAGES 24410
#define IDC_DOWNLOAD_VIDEOS 24411
#define IDC_DOWNLOAD_SOUNDS 24412
#define IDC_DOWNLOAD_SCRIPTS 24413
#define IDC_DOWNLOAD_JAVA 24414
#define IDC_DOWNLOAD_ACTIVEX 24415
#define IDC_DOWNLOAD_LABEL 21430

// Pages whose commands open the dialog though the dialog does not own them yet; their dialogs
// live with their own areas (the search bar and URL alias pages with the navigation bars).
#define IDD_TAB_PAGE 245
#define IDD_FAVORITES_PAGE 247
#define IDD_SEARCH_BAR_OPTIONS_PAGE 178
#define IDD_URL_ALIAS_OPTIONS_PAGE 174
