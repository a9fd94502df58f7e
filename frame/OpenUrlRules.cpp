#include "frame/OpenUrlRules.h"

#include "core/app/MainFrameMessages.h"

#include <cctype>
#include <cstring>

namespace {

constexpr const char* kBlankPage = "about:blank";
constexpr const char* kIgnoredReload = "javascript:location.reload()";

bool EndsWithNoCase(const TStdStr<char>& text, const char* suffix)
{
    const size_t length = std::strlen(suffix);
    return text.size() >= length && lstrcmpiA(text.c_str() + text.size() - length, suffix) == 0;
}

bool StartsWithNoCase(const TStdStr<char>& text, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    return text.size() >= length && _strnicmp(text.c_str(), prefix, length) == 0;
}

} // namespace

TStdStr<char> TrimUrlText(const char* text)
{
    if (!text)
        return {};
    const char* begin = text;
    while (*begin && std::isspace(static_cast<unsigned char>(*begin)))
        ++begin;
    const char* end = begin + std::strlen(begin);
    while (end > begin && std::isspace(static_cast<unsigned char>(end[-1])))
        --end;
    return TStdStr<char>(begin, static_cast<size_t>(end - begin));
}

bool IsProgramText(const TStdStr<char>& text)
{
    if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://"))
        return false;
    if (StartsWithNoCase(text, "\\\\") || StartsWithNoCase(text, "//") || StartsWithNoCase(text, "file://///") ||
        StartsWithNoCase(text, "file:\\\\"))
        return true;
    static constexpr const char* kProgramEndings[] = {".exe", ".com", ".bat", ".cmd", ".scr", ".pif", ".lnk"};
    for (const char* ending : kProgramEndings) {
        if (EndsWithNoCase(text, ending))
            return true;
    }
    return false;
}

EOpenUrlAction DecideOpenUrl(const TStdStr<char>& text, DWORD flags, bool hasActiveTab, const TStdStr<char>& activeUrl)
{
    if (!text.empty()) {
        if (text.size() > static_cast<size_t>(kMaxOpenUrlLength) || text == kIgnoredReload || IsProgramText(text))
            return EOpenUrlAction::Ignore;
        if (hasActiveTab) {
            if ((flags & kOpenReuseTab) && activeUrl == text)
                return EOpenUrlAction::NavigateActive;
            if (!(flags & kOpenNewTab))
                return EOpenUrlAction::NavigateActive;
            // An empty page is always reused, whatever the flags.
            if (activeUrl == kBlankPage)
                return EOpenUrlAction::NavigateActive;
        }
    }
    return EOpenUrlAction::NewTab;
}
