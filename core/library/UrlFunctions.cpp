#include "core/library/UrlFunctions.h"

#include <cstring>

namespace {

TStdStr<char> Trimmed(const char* text)
{
    TStdStr<char> result(text ? text : "");
    result.Trim();
    return result;
}

bool IsNumericHost(const TStdStr<char>& host)
{
    if (!host.empty() && host[0] == '[')
        return true;
    for (char c : host) {
        if (c != '.' && (c < '0' || c > '9'))
            return false;
    }
    return true;
}

// Only a host of three or more labels has a first label that can stand for a service of the
// site; replacing the first label of "example.com" would give the unrelated "www.com", and
// of "10.0.0.1" the nonsense "www.0.0.1".
bool HasReplaceableFirstLabel(const TStdStr<char>& host)
{
    std::string name = host;
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    if (IsNumericHost(name))
        return false;
    size_t labels = 1;
    for (char c : name)
        labels += c == '.';
    const size_t firstDot = name.find('.');
    return labels >= 3 && firstDot != 0 && _strnicmp(name.c_str(), "www.", 4) != 0;
}

} // namespace

TStdStr<char> EscapeUrl(const char* text)
{
    TStdStr<char> out;
    for (const char* p = text ? text : ""; *p; ++p) {
        const auto b = static_cast<unsigned char>(*p);
        if (b < 0x20 || b > 0x7E || std::strchr(" \"`#$&+,;<=>?@[\\]^{|}", *p))
            AppendPercentEscape(out, b);
        else
            out += *p;
        if (out.size() >= static_cast<size_t>(kMaxUrlLength))
            return TStdStr<char>();
    }
    return out;
}

TStdStr<char> ComposeUrl(const CUrl& url, unsigned flags)
{
    TStdStr<char> text;
    return url.CreateUrl(text, flags) ? text : TStdStr<char>();
}

TStdStr<char> ResolveRelativeUrl(const CUrl& base, const char* address)
{
    if (!address)
        address = "";
    CUrl probe;
    if (probe.CrackUrl(address))
        return address;

    CUrl url = base;
    TStdStr<char> path;
    TStdStr<char> result;
    if ((address[0] == '/' || address[0] == '\\') && address[1] == address[0] && base.HasAuthority()) {
        // A network-path reference ("//host/page") keeps only the base's scheme.
        if (!url.CrackUrl((base.GetSchemeName() + ":" + address).c_str()))
            return TStdStr<char>();
        path = url.GetUrlPath() + url.GetExtraInfo();
    } else if (address[0] == '/' || address[0] == '\\') {
        path = address;
    } else if (address[0] == '?' || (address[0] == '#' && base.GetScheme() != kSchemeFile)) {
        // A query or fragment alone stays on the base's page: "#top" of ".../page.html" is
        // ".../page.html#top", not the folder's "#top".
        path = base.GetUrlPath();
        if (address[0] == '#')
            path += base.GetExtraInfo().substr(0, base.GetExtraInfo().find('#'));
        path += address;
    } else {
        const TStdStr<char>& basePath = base.GetUrlPath();
        const size_t slash = basePath.find_last_of("/\\");
        if (slash != std::string::npos)
            path = basePath.substr(0, slash + 1);
        path += address;
    }
    TStdStr<char> extra;
    if (url.GetScheme() != kSchemeFile) {
        const size_t split = path.find_first_of("?#");
        if (split != std::string::npos) {
            extra = path.substr(split);
            path.erase(split);
        }
    }
    if (!url.SetUrlPath(path.c_str()) || !url.SetExtraInfo(extra.c_str()) || !url.Canonicalize() ||
        !url.CreateUrl(result) || !probe.CrackUrl(result.c_str()))
        return TStdStr<char>();
    return result;
}

TStdStr<char> CompleteUrl(const char* text)
{
    const TStdStr<char> trimmed = Trimmed(text);
    CUrl url;
    if (!url.CrackUrl(trimmed.c_str()) && !url.CrackUrl(("http://" + trimmed).c_str()))
        return trimmed;
    if (!url.HasAuthority() || url.GetHostName().empty())
        return trimmed;
    TStdStr<char> root = ResolveRelativeUrl(url, "/");
    if (root.empty())
        return trimmed;
    return root.MakeLower();
}

TStdStr<char> GetParentUrl(const char* text)
{
    const TStdStr<char> trimmed = Trimmed(text);
    CUrl url;
    if (!url.CrackUrl(trimmed.c_str()) || !url.HasAuthority())
        return trimmed;
    TStdStr<char> path = url.GetUrlPath();
    if (!path.empty() && path != "/") {
        if (path.back() == '/' || path.back() == '\\')
            path.pop_back();
        size_t cut = path.rfind('/');
        if (cut == std::string::npos)
            cut = path.rfind('\\');
        if (cut == std::string::npos)
            return trimmed;
        path.erase(cut + 1);
        url.SetUrlPath(path.c_str());
        url.SetExtraInfo("");
        const TStdStr<char> parent = ComposeUrl(url);
        return parent.empty() ? trimmed : parent;
    }
    const TStdStr<char>& host = url.GetHostName();
    if (!HasReplaceableFirstLabel(host))
        return trimmed;
    if (!url.SetHostName(("www" + host.substr(host.find('.'))).c_str()))
        return trimmed;
    const TStdStr<char> parent = ComposeUrl(url);
    return parent.empty() ? trimmed : parent;
}

bool IsWebUrl(const char* text)
{
    CUrl url;
    if (!url.CrackUrl(text) || url.GetHostName().empty())
        return false;
    const int scheme = url.GetScheme();
    return scheme == kSchemeHttp || scheme == kSchemeHttps || scheme == kSchemeFtp;
}

TStdStr<char> FormatDottedQuad(uint32_t address)
{
    return FormatString("%u.%u.%u.%u", address & 0xFF, (address >> 8) & 0xFF, (address >> 16) & 0xFF,
                        (address >> 24) & 0xFF);
}

void CopyMemoryBlock(void* destination, const void* source, size_t count)
{
    auto* out = static_cast<unsigned char*>(destination);
    const auto* in = static_cast<const unsigned char*>(source);
    for (; count >= 4; count -= 4, out += 4, in += 4)
        std::memcpy(out, in, 4);
    std::memcpy(out, in, count);
}

bool CopyBoundedText(char* destination, const char* text, int* length)
{
    if (!text)
        text = "";
    const size_t size = strnlen(text, kMaxHostNameLength + 1);
    if (size > static_cast<size_t>(kMaxHostNameLength))
        return false;
    std::memcpy(destination, text, size + 1);
    if (length)
        *length = static_cast<int>(size);
    return true;
}
