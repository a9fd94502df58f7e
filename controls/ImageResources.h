#pragma once
// Resource ids of the shared images (resources/KivoImages.rc; pictures drawn by
// resources/icons/DrawIcons.py). Plain macros, because the resource compiler reads this file too.
// The image counts of the strips are part of the program: callers address images by index.
#define IDB_TOOLBAR_LARGE 128            // 25 images, 24 x 24
#define IDB_ACTION_ICONS 139             // 20 images, 16 x 16
#define IDB_TOOLBAR_LARGE_HOT 140        // 25 images, 24 x 24
#define IDB_TOOLBAR_LARGE_DISABLED 141   // 25 images, 24 x 24
#define IDB_OPTION_ICONS 145             // 12 images, 16 x 16
#define IDB_TOOLBAR_SMALL 152            // 25 images, 16 x 16
#define IDB_GENERAL_SMALL 211            // 56 images, 16 x 16
#define IDB_GENERAL_SMALL_DISABLED 212   // 56 images, 16 x 16
#define IDB_TOOLBAR_SMALL_DISABLED 513   // 25 images, 16 x 16
#define IDB_GO_BUTTON 600                // 1 image
#define IDB_GO_BUTTON_SECOND 601         // 1 image
#define IDB_EXPAND_STRIP 602             // 2 images
#define IDB_CHECK_STATE_STRIP 603        // 2 images
#define IDB_PAGE_ANALYZER 633            // 9 images
#define IDI_SECURE 303
#define IDI_INSECURE 304
#define IDI_SITE 380
