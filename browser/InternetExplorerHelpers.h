#pragma once
// The system browser's settings and services that the program shares: its registry values (start
// page, typed addresses, proxy exceptions, the favorites and links folders, the start-with-Windows
// value), the engine's version, the offline mode and the session proxy, the open command of web
// pages, and the document helpers of the tab. Free functions without state; failure is only a
// result (false or empty), never a message. UI thread.
#include "core/library/StdStr.h"

#include <windows.h>

// The system browser's subkeys below "Software\Microsoft\Internet Explorer\", by index: 0 MenuExt,
// 1 Extensions, 2 Main, 3 Toolbar, 4 Settings, 5 TypedURLs. An index outside gives the key itself.
TStdStr<char> InternetExplorerKey(int subKey);

// The value "Favorites" of "Software\Microsoft\Windows\CurrentVersion\Explorer\<key name>".
TStdStr<char> ReadShellFolderValue(const char* keyName);
// The user's favorites folder ("User Shell Folders", environment strings expanded, else
// "Shell Folders"), and the links-bar folder below it with its trailing backslash.
TStdStr<char> GetFavoritesFolder();
TStdStr<char> GetLinksFolder();
bool DeleteTypedUrlHistory();
// An empty start page reads as "about:blank", which is then stored.
TStdStr<char> GetIEStartPage();
bool SetIEStartPage(const char* address);
TStdStr<char> GetProxyOverride();
bool RemoveRunValue(const char* name);

bool IsShdocvwVersion6OrLater();
bool IsShdocvwVersion55OrLater();
bool IsWorkingOffline();
void SetWorkingOffline(bool offline);

// The command line that opens `address` with a ".htm" open command: the command cut at the first
// "%1" in double quotes, else at the first bare "%1" (or whole without either), a blank, the address.
TStdStr<char> HtmlOpenCommandLine(const char* openCommand, const char* address);
// The shell opens the address; when it cannot, the ".htm" open command does. True when started.
bool OpenWithShellOrHtmlHandler(const char* address, int showCommand);

// Whether `object` is `dispatch` itself (an event about the top-level browser and not a frame).
bool IsSameDispatch(IUnknown* object, IDispatch* dispatch);

// The page's document objects, reached by name (as a script would), so they work with any engine
// object that answers by name. Null or empty when the page has no such thing.
IDispatch* GetElementFromPoint(IDispatch* document, POINT point);  // the caller releases it
// The href of the element when it is a link (A or AREA), else of its nearest such parent.
TStdStr<char> GetLinkUrlOfElement(IDispatch* element);
TStdStr<char> GetSelectionText(IDispatch* document);
// The href of the first link whose text begins with `word`, compared without case.
TStdStr<char> FindLinkByText(IDispatch* document, const char* word);
