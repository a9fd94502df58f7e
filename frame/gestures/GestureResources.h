#pragma once
// Resource ids of the mouse gesture pages and the gesture dialog (resources/Gestures.rc). Plain
// macros, because the resource compiler reads this file too. The page and control ids are those
// the pages have always had, so a stored "LastOptionID" keeps naming the same page.

// "Mouse Actions" (271).
#define IDD_MOUSE_ACTIONS_PAGE 271
#define IDC_GESTURE_GROUP_LABEL 27100
#define IDC_MIDDLE_CLICK_NEW_TAB 27110
#define IDC_MIDDLE_CLICK_PLACE 27111
#define IDC_ENABLE_GESTURES 27120
#define IDC_GESTURE_RESTORE_DEFAULTS 27125
#define IDC_GESTURE_LIST 27130
#define IDC_GESTURE_EDIT 27131

// "Mouse Gestures" (372), the dialog that binds one gesture.
#define IDD_GESTURE_DIALOG 372
#define IDC_GESTURE_NAME 27121
#define IDC_GESTURE_ACTION 27123
#define IDC_GESTURE_HOT_KEY 27124
#define IDC_GESTURE_NAME_LABEL 27101
#define IDC_GESTURE_ACTION_LABEL 27102
#define IDC_GESTURE_HOT_KEY_LABEL 27103

// "Mouse Trails" (273).
#define IDD_MOUSE_TRAILS_PAGE 273
#define IDC_ENABLE_TRAILS 27300
#define IDC_TRAIL_TEST_TEXT 27310
#define IDC_TRAIL_COLOR_LABEL 27311
#define IDC_TRAIL_THICKNESS_LABEL 27314
#define IDC_TRAIL_THICKNESS 27315
#define IDC_TRAIL_TRANSPARENCY_LABEL 27316
#define IDC_TRAIL_TRANSPARENCY 27317
#define IDC_TRAIL_FADE_LABEL 27318
#define IDC_TRAIL_FADE_SPEED 27319
#define IDC_TRAIL_TEST_AREA 27320
#define IDC_TRAIL_COLOR 27330
