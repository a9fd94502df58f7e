#pragma once
// Resource ids of the input dialogs and the skins dialog (resources/Dialogs.rc). Plain macros,
// because the resource compiler reads this file too.

// "Enter a website address:" (a new start page).
#define IDD_NEW_START_PAGE 167
#define IDC_NEW_START_PAGE_URL 16700

// "Add to Group".
#define IDD_ADD_TO_GROUP 171
#define IDC_ADD_TO_GROUP_PROMPT 17100
#define IDC_ADD_TO_GROUP_URL 17101

// "Select Skins".
#define IDD_SELECT_SKINS 250
#define IDC_SKIN_LIST 2500
#define IDC_SKIN_AUTHOR 2501
#define IDC_SKIN_EMAIL 2502
#define IDC_SKIN_WEBSITE 2503
#define IDC_SKIN_AUTHOR_LABEL 2507
#define IDC_SKIN_EMAIL_LABEL 2508
#define IDC_SKIN_WEBSITE_LABEL 2509
#define IDC_SKIN_APPLY 2505
#define IDC_SKIN_HELP 2506
