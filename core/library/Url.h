#pragma once
// CUrl: an address split into scheme, user name, password, host, port, path and extra part (the
// query or fragment with its leading "?" or "#"), parsed from text and composed back into text.
// A URL is at most kMaxUrlLength - 1 characters and a host name at most kMaxHostNameLength.
#include "core/library/StdStr.h"

constexpr int kMaxUrlLength = 2084;     // with the terminating zero
constexpr int kMaxHostNameLength = 256; // without the terminating zero

// Scheme numbers; the default ports are those of GetDefaultPort.
enum UrlScheme {
    kSchemeUnknown = -1,
    kSchemeHttp = 0,
    kSchemeFtp = 1,
    kSchemeHttps = 2,
    kSchemeFile = 3,
    kSchemeMailto = 4,
    kSchemeNews = 5,
    kSchemeGopher = 6,
    kSchemeSocks = 7,
};

enum UrlFlags : unsigned {
    kUrlDecode = 1, // CrackUrl: decode percent escapes in user name, password, path and extra part
    kUrlEscape = 2, // CreateUrl: percent-escape blanks, control and non-ASCII bytes and "<>\"`{}|^
};

// Appends "%" and the byte's two lower-case hex digits.
inline void AppendPercentEscape(TStdStr<char>& out, unsigned char value)
{
    static const char hex[] = "0123456789abcdef";
    out += '%';
    out += hex[value >> 4];
    out += hex[value & 15];
}

class CUrl {
public:
    // Parses a full URL: a scheme of at least two characters and ":", then "//" and an authority
    // for the hierarchical schemes (http, https, ftp, gopher, socks, file), or an opaque rest
    // (mailto, news, unknown schemes without "//"). False for anything else, including a text
    // too long, a bad port, a host with blanks or control characters, and "host:port" typed
    // without a scheme. On failure the object keeps its previous contents.
    bool CrackUrl(const char* url, unsigned flags = 0);
    // Composes the text; false when it would be longer than kMaxUrlLength - 1 characters.
    bool CreateUrl(TStdStr<char>& url, unsigned flags = 0) const;
    // Removes "." and ".." segments from the path, turns backslashes into slashes (except in
    // file URLs) and percent-escapes blanks, control and non-ASCII bytes of path and extra part.
    bool Canonicalize();

    int GetScheme() const { return m_scheme; }
    const TStdStr<char>& GetSchemeName() const { return m_schemeName; }
    const TStdStr<char>& GetUserName() const { return m_userName; }
    const TStdStr<char>& GetPassword() const { return m_password; }
    const TStdStr<char>& GetHostName() const { return m_hostName; }
    int GetPortNumber() const { return m_port; }
    const TStdStr<char>& GetUrlPath() const { return m_path; }
    const TStdStr<char>& GetExtraInfo() const { return m_extra; }
    // True when the URL has a "//" authority part (a host, possibly empty).
    bool HasAuthority() const { return m_hasAuthority; }

    // Setters refuse texts longer than the limits.
    bool SetScheme(int scheme);
    bool SetHostName(const char* host);
    bool SetPortNumber(int port);
    bool SetUrlPath(const char* path);
    bool SetExtraInfo(const char* extra);
    bool SetUserName(const char* user);
    bool SetPassword(const char* password);

    // 80 http, 21 ftp, 443 https, 70 gopher, 1080 socks; 0 for every other scheme.
    static int GetDefaultPort(int scheme);

private:
    int m_scheme = kSchemeUnknown;
    TStdStr<char> m_schemeName;
    TStdStr<char> m_userName;
    TStdStr<char> m_password;
    TStdStr<char> m_hostName;
    int m_port = 0;
    TStdStr<char> m_path;
    TStdStr<char> m_extra;
    bool m_hasAuthority = false;
};
