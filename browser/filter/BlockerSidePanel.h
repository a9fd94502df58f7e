#pragma once
// The blocker side panel: one child window that holds the popup blocker's page (dialog 233) above
// the ad filter's page (dialog 234), each in a CBlockerOptionsContainer whose group caption is the
// page's counter title ("Popup - %u blocked", "Ad-Filter - %u blocked"). A group collapses and
// expands from its header; the panel then lays the two containers out again, the popup container
// as tall as its content and the ad container in the rest. The pages refresh their counters after
// every recorded block themselves (they listen to frame/BlockedContent.h).
//
// The frame reaches the panel only through its window handle and the free functions below; each
// does nothing for a handle that is not a live blocker side panel.
//
// Lifetime: rule (b). CreateBlockerSidePanel makes the object with new; the window deletes it in
// OnFinalMessage, so the panel goes with its parent (or ::DestroyWindow on its handle). UI thread.
#include <windows.h>

#include <string>

// The panel's window class (the free functions check it before they send anything).
inline constexpr char kBlockerSidePanelClass[] = "_KivoBlockerSidePanel";

// A new panel as a visible child of parent; null when parent is no window or creation failed.
HWND CreateBlockerSidePanel(HWND parent);

// Reload the page's lists, its enabled controls and its counter title (after a list edit elsewhere).
void RefreshPopupBlockerPanel(HWND panel);
void RefreshAdFilterPanel(HWND panel);

// The enable boxes as the frame's toggle commands leave BlockerFlags; each re-enables the page's
// controls to match. The dialog-blocker box is checked while that blocker is on (bit 0x8 clear).
void SetPopupBlockerPanelCheck(HWND panel, bool popupBlockerOn);
void SetDialogBlockerPanelCheck(HWND panel, bool dialogBlockerOn);
void SetAdFilterPanelCheck(HWND panel, bool adFilterOn);

// For tests and the frame's layout: the page and container windows of the panel, null otherwise.
HWND GetBlockerPanelPage(HWND panel, bool popupBlocker);
HWND GetBlockerPanelContainer(HWND panel, bool popupBlocker);
// The caption the panel shows over the page (its counter title); empty for no panel.
std::string GetBlockerPanelCaption(HWND panel, bool popupBlocker);
