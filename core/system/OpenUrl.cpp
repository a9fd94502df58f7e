#include "core/system/OpenUrl.h"

#include "core/app/Settings.h"
#include "core/system/ShellItems.h"

#include <cstring>
#include <iterator>

LRESULT OpenUrlInFrame(HWND window, const char* url, DWORD flags)
{
    if (!window)
        return 0;
    HWND frame = ::GetAncestor(window, GA_ROOTOWNER);
    if (!frame)
        frame = window;
    return ::SendMessageA(frame, kOpenUrlMessage, reinterpret_cast<WPARAM>(url), static_cast<LPARAM>(flags));
}

bool OpenInternetShortcut(const char* path)
{
    const TStdStr<char> url = GetInternetShortcutUrl(path);
    HWND active = ::GetActiveWindow();
    if (url.empty() || !active)
        return false;
    const CSettings* settings = GetSettings();
    const DWORD flags = settings && (settings->TabOpenFlags & TabOpenFlag::Favorites) ? DWORD{kOpenNewTab} : DWORD{0};
    OpenUrlInFrame(active, url.c_str(), flags);
    return true;
}

bool UrlHasScheme(const char* url, int scheme)
{
    static const char* const schemes[] = {"http://", "ftp://", "https://", "file://", "mailto:", "news:"};
    if (!url || scheme < 0 || scheme >= static_cast<int>(std::size(schemes)))
        return false;
    const size_t length = std::strlen(schemes[scheme]);
    return _strnicmp(url, schemes[scheme], length) == 0;
}
