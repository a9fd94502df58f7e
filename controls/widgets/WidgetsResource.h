#pragma once
// Resource and command ids of the dialog controls (the numbers the program's menus have always used).
#define IDR_SITE_GROUP_LIST_MENU 191
#define ID_SITE_GROUP_COPY_URL 24900
