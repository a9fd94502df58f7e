#pragma once
// The page commands a tab runs on its page by itself: zoom by a script in the page's window. The zoom commands and their scripts are the
// program's menu items "&50%" to "&200%", "Zoom &In", "Zoom &Out" and "Zoom Page".
#include "core/library/StdStr.h"

#include <windows.h>

constexpr UINT kZoom50Command = 38020;
constexpr UINT kZoom80Command = 38021;
constexpr UINT kZoom100Command = 38022;
constexpr UINT kZoom150Command = 38023;
constexpr UINT kZoom200Command = 38024;
constexpr UINT kZoomInCommand = 38028;
constexpr UINT kZoomOutCommand = 38029;
constexpr UINT kZoomPageCommand = 32104;

// The script of a zoom command, null for any other command.
const char* ZoomScript(UINT command);
// Runs code in the window of the page's document (a document or a web browser), in the engine's
// default script language; reached by name, so any document object of the engine takes it. Every
// failure is ignored: a page without a body or scripts simply does not zoom.
void RunPageWindowScript(IUnknown* page, const char* code);
// Runs the zoom command on the page; false when command is no zoom command.
bool RunZoomCommand(IUnknown* page, UINT command);
