#pragma once
// Small helpers the option pages share: a translated text, labels in the page's font made bold,
// an icon of one of the shared image lists on a push button, and a tool tip over a control.
#include "platform/AtlGdi.h"

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

// The text in the interface language (the text itself without a language manager). The
// pointer stays valid until the language changes.
const char* PageText(const char* text);

// Creates `font` as the page's font in bold and gives it to the labels; `font` must outlive them.
void SetBoldLabels(HWND page, CFont& font, std::initializer_list<int> labelIds);

// Puts image `index` of `images` on the button as its icon; `icon` keeps it and must outlive the
// button's use of it. False when the list has no such image.
bool SetButtonIcon(HWND button, HIMAGELIST images, int index, CIcon& icon);

// A tool tip over `control`, owned by `page` and destroyed with it; the text is copied.
HWND AddControlToolTip(HWND page, HWND control, const char* text);
