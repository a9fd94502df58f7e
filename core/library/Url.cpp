#include "core/library/Url.h"

#include <cstring>
#include <string_view>

namespace {

const char* const kSchemeNames[] = {"http", "ftp", "https", "file", "mailto", "news", "gopher", "socks"};

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int HexValue(char c)
{
    if (IsAsciiDigit(c))
        return c - '0';
    c = AsciiLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool IsHierarchical(int scheme)
{
    return scheme == kSchemeHttp || scheme == kSchemeFtp || scheme == kSchemeHttps || scheme == kSchemeFile ||
           scheme == kSchemeGopher || scheme == kSchemeSocks;
}

// A host may not hold blanks, control bytes or the characters that end or quote a URL.
bool IsValidHost(std::string_view host)
{
    if (host.size() > static_cast<size_t>(kMaxHostNameLength))
        return false;
    for (char c : host) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F || std::strchr("<>\"{}|^`\\/?#@", c))
            return false;
    }
    return true;
}

// Decodes %XX escapes; an escape of the zero byte and malformed escapes stay as they are.
TStdStr<char> DecodePercent(std::string_view text)
{
    TStdStr<char> out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0 && (high | low) != 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool NeedsEscape(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b <= 0x20 || b >= 0x7F || std::strchr("\"<>`{}|^", c);
}

void AppendEscaped(TStdStr<char>& out, std::string_view text, bool escape)
{
    for (char c : text) {
        if (escape && NeedsEscape(c))
            AppendPercentEscape(out, static_cast<unsigned char>(c));
        else
            out += c;
    }
}

// RFC 3986 section 5.2.4: "." segments vanish, ".." removes the segment before it.
TStdStr<char> RemoveDotSegments(const TStdStr<char>& path)
{
    std::string_view in(path);
    TStdStr<char> out;
    auto dropLastSegment = [&out] {
        const size_t slash = out.rfind('/');
        out.erase(slash == std::string::npos ? 0 : slash);
    };
    while (!in.empty()) {
        if (in.starts_with("../")) {
            in.remove_prefix(3);
        } else if (in.starts_with("./")) {
            in.remove_prefix(2);
        } else if (in.starts_with("/./")) {
            in.remove_prefix(2);
        } else if (in == "/.") {
            in = "/";
        } else if (in.starts_with("/../")) {
            in.remove_prefix(3);
            dropLastSegment();
        } else if (in == "/..") {
            in = "/";
            dropLastSegment();
        } else if (in == "." || in == "..") {
            in = {};
        } else {
            const size_t next = in.find('/', 1);
            const size_t take = next == std::string_view::npos ? in.size() : next;
            out.append(in.substr(0, take));
            in.remove_prefix(take);
        }
    }
    return out;
}

bool ParsePort(std::string_view text, int scheme, int& port)
{
    if (text.empty()) {
        port = CUrl::GetDefaultPort(scheme);
        return true;
    }
    if (text.size() > 5)
        return false;
    int value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    if (value > 65535)
        return false;
    port = value;
    return true;
}

} // namespace

int CUrl::GetDefaultPort(int scheme)
{
    switch (scheme) {
    case kSchemeHttp:
        return 80;
    case kSchemeFtp:
        return 21;
    case kSchemeHttps:
        return 443;
    case kSchemeGopher:
        return 70;
    case kSchemeSocks:
        return 1080;
    default:
        return 0;
    }
}

bool CUrl::CrackUrl(const char* url, unsigned flags)
{
    if (!url)
        return false;
    const size_t length = strnlen(url, kMaxUrlLength);
    if (length >= static_cast<size_t>(kMaxUrlLength))
        return false;
    const std::string_view text(url, length);

    size_t colon = 0;
    if (text.empty() || !IsAsciiAlpha(text[0]))
        return false;
    while (colon < text.size() && (IsAsciiAlpha(text[colon]) || IsAsciiDigit(text[colon]) ||
                                   text[colon] == '+' || text[colon] == '-' || text[colon] == '.'))
        ++colon;
    // One letter before ":" is a drive ("c:\folder"), not a scheme.
    if (colon >= text.size() || text[colon] != ':' || colon < 2)
        return false;

    CUrl result;
    for (size_t i = 0; i < colon; ++i)
        result.m_schemeName += AsciiLower(text[i]);
    for (int i = 0; i < 8; ++i) {
        if (result.m_schemeName == kSchemeNames[i])
            result.m_scheme = i;
    }
    const int scheme = result.m_scheme;
    std::string_view rest = text.substr(colon + 1);
    const bool file = scheme == kSchemeFile;

    if (rest.starts_with("//")) {
        result.m_hasAuthority = true;
        rest.remove_prefix(2);
        // "file://c:/folder" names a drive, not a host.
        const bool drive = file && rest.size() >= 2 && IsAsciiAlpha(rest[0]) && (rest[1] == ':' || rest[1] == '|');
        const size_t end = drive ? 0 : rest.find_first_of(file ? "/\\" : "/\\?#");
        std::string_view authority = rest.substr(0, end);
        rest.remove_prefix(authority.size());

        const size_t at = authority.rfind('@');
        if (at != std::string_view::npos) {
            const std::string_view userInfo = authority.substr(0, at);
            const size_t split = userInfo.find(':');
            const std::string_view user = userInfo.substr(0, split);
            const std::string_view password =
                split == std::string_view::npos ? std::string_view() : userInfo.substr(split + 1);
            result.m_userName = flags & kUrlDecode ? DecodePercent(user) : TStdStr<char>(user);
            result.m_password = flags & kUrlDecode ? DecodePercent(password) : TStdStr<char>(password);
            authority.remove_prefix(at + 1);
        }
        std::string_view host = authority;
        std::string_view port;
        if (authority.starts_with("[")) {
            const size_t close = authority.find(']');
            if (close == std::string_view::npos)
                return false;
            host = authority.substr(0, close + 1);
            const std::string_view after = authority.substr(close + 1);
            if (!after.empty() && after[0] != ':')
                return false;
            port = after.empty() ? after : after.substr(1);
        } else {
            const size_t portColon = authority.rfind(':');
            if (portColon != std::string_view::npos) {
                host = authority.substr(0, portColon);
                port = authority.substr(portColon + 1);
            }
            // Colons and brackets belong only to bracketed (IPv6) hosts.
            if (host.find_first_of(":[]") != std::string_view::npos)
                return false;
        }
        if (!IsValidHost(host) || !ParsePort(port, scheme, result.m_port))
            return false;
        result.m_hostName = TStdStr<char>(host);
    } else if (IsHierarchical(scheme) && !file) {
        return false;
    } else if (scheme == kSchemeUnknown) {
        // "localhost:8080" and "www.example.com:81/page" are a host and a port, not a scheme.
        const size_t end = rest.find_first_of("/\\?#");
        const std::string_view head = rest.substr(0, end);
        bool digits = !head.empty();
        for (char c : head)
            digits = digits && IsAsciiDigit(c);
        if (digits)
            return false;
    }

    std::string_view path = rest;
    std::string_view extra;
    if (!file && (result.m_hasAuthority || scheme == kSchemeUnknown)) {
        const size_t split = rest.find_first_of("?#");
        if (split != std::string_view::npos) {
            path = rest.substr(0, split);
            extra = rest.substr(split);
        }
    }
    result.m_path = flags & kUrlDecode ? DecodePercent(path) : TStdStr<char>(path);
    result.m_extra = flags & kUrlDecode ? DecodePercent(extra) : TStdStr<char>(extra);
    *this = std::move(result);
    return true;
}

bool CUrl::CreateUrl(TStdStr<char>& url, unsigned flags) const
{
    const bool escape = (flags & kUrlEscape) != 0;
    TStdStr<char> text = m_schemeName;
    text += ':';
    if (m_hasAuthority) {
        text += "//";
        if (!m_userName.empty() || !m_password.empty()) {
            text += m_userName;
            if (!m_password.empty()) {
                text += ':';
                text += m_password;
            }
            text += '@';
        }
        text += m_hostName;
        if (m_port != 0 && m_port != GetDefaultPort(m_scheme))
            text += FormatString(":%d", m_port);
        if (!m_path.empty() && m_path[0] != '/' && m_path[0] != '\\')
            text += '/';
    }
    AppendEscaped(text, m_path, escape);
    AppendEscaped(text, m_extra, escape);
    if (text.size() >= static_cast<size_t>(kMaxUrlLength))
        return false;
    url = std::move(text);
    return true;
}

bool CUrl::Canonicalize()
{
    TStdStr<char> path = m_path;
    if (m_scheme != kSchemeFile)
        path.Replace('\\', '/');
    if (m_hasAuthority || m_scheme != kSchemeUnknown)
        path = RemoveDotSegments(path);
    TStdStr<char> escapedPath, escapedExtra;
    AppendEscaped(escapedPath, path, true);
    AppendEscaped(escapedExtra, m_extra, true);
    if (escapedPath.size() >= static_cast<size_t>(kMaxUrlLength) ||
        escapedExtra.size() >= static_cast<size_t>(kMaxUrlLength))
        return false;
    m_path = std::move(escapedPath);
    m_extra = std::move(escapedExtra);
    return true;
}

bool CUrl::SetScheme(int scheme)
{
    if (scheme < 0 || scheme > kSchemeSocks)
        return false;
    m_scheme = scheme;
    m_schemeName = kSchemeNames[scheme];
    m_hasAuthority = IsHierarchical(scheme);
    m_port = GetDefaultPort(scheme);
    return true;
}

bool CUrl::SetHostName(const char* host)
{
    if (!host || !IsValidHost(host))
        return false;
    m_hostName = host;
    return true;
}

bool CUrl::SetPortNumber(int port)
{
    if (port < 0 || port > 65535)
        return false;
    m_port = port;
    return true;
}

namespace {

bool SetBounded(TStdStr<char>& field, const char* text)
{
    if (!text)
        text = "";
    if (strnlen(text, kMaxUrlLength) >= static_cast<size_t>(kMaxUrlLength))
        return false;
    field = text;
    return true;
}

} // namespace

bool CUrl::SetUrlPath(const char* path) { return SetBounded(m_path, path); }
bool CUrl::SetExtraInfo(const char* extra) { return SetBounded(m_extra, extra); }
bool CUrl::SetUserName(const char* user) { return SetBounded(m_userName, user); }
bool CUrl::SetPassword(const char* password) { return SetBounded(m_password, password); }
