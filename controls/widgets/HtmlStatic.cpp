#include "controls/widgets/HtmlStatic.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr size_t kMaxTagName = 15;
constexpr size_t kMaxAttributes = 126;
constexpr size_t kMaxFaceName = LF_FACESIZE - 1;

const struct {
    const char* text;
    char character;
} kEntities[] = {{"&nbsp;", ' '}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The value of " NAME=value" in the attribute text; empty when absent or without "=".
std::string Attribute(const std::string& attributes, const char* name)
{
    const size_t found = attributes.find(std::string(" ") + name);
    if (found == std::string::npos)
        return {};
    size_t at = found + 1 + std::strlen(name);
    while (at < attributes.size() && attributes[at] == ' ')
        ++at;
    if (at >= attributes.size() || attributes[at] != '=')
        return {};
    ++at;
    while (at < attributes.size() && attributes[at] == ' ')
        ++at;
    if (at < attributes.size() && (attributes[at] == '"' || attributes[at] == '\'')) {
        const char quote = attributes[at];
        const size_t end = attributes.find(quote, at + 1);
        return attributes.substr(at + 1, (end == std::string::npos ? attributes.size() : end) - at - 1);
    }
    size_t end = at;
    while (end < attributes.size() &&
           (std::isalnum(static_cast<unsigned char>(attributes[end])) || attributes[end] == '-' || attributes[end] == '#'))
        ++end;
    return attributes.substr(at, end - at);
}

}  // namespace

unsigned CHtmlRenderer::HashText(const char* text)
{
    unsigned hash = 0;
    for (; text && *text; ++text)
        hash = hash * 33 + static_cast<unsigned>(static_cast<int>(static_cast<signed char>(*text)));
    return hash;
}

COLORREF CHtmlRenderer::ParseColor(const std::string& value)
{
    if (!value.empty() && value[0] == '#') {
        const unsigned long n = std::strtoul(value.c_str() + 1, nullptr, 16);
        return RGB((n >> 16) & 255, (n >> 8) & 255, n & 255);
    }
    const struct {
        const char* name;
        int index;
    } names[] = {{"WINDOW", COLOR_WINDOW}, {"WINDOWTEXT", COLOR_WINDOWTEXT}, {"BUTTONFACE", COLOR_BTNFACE},
                 {"BUTTONTEXT", COLOR_BTNTEXT}};
    for (const auto& name : names) {
        if (value == name.name)
            return ::GetSysColor(name.index);
    }
    return RGB(0, 0, 0);
}

int CHtmlRenderer::FontHeightForSize(int size)
{
    static constexpr int heights[] = {15, 20, 24, 27, 36, 48, 72};
    return size >= 1 && size <= 7 ? heights[size - 1] : 24;
}

void CHtmlRenderer::SetMargins(int horizontal, int vertical)
{
    m_marginX = static_cast<short>(horizontal);
    m_marginY = static_cast<short>(vertical);
    m_dirty = true;
}

LOGFONTA CHtmlRenderer::GetFont(int index) const
{
    return index >= 0 && index < static_cast<int>(m_fonts.size()) ? m_fonts[static_cast<size_t>(index)]->logFont
                                                                   : LOGFONTA{};
}

int CHtmlRenderer::FindOrAddFont(HDC dc, const LOGFONTA& logFont)
{
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        if (!std::memcmp(&m_fonts[i]->logFont, &logFont, sizeof(logFont)))
            return static_cast<int>(i);
    }
    auto entry = std::make_unique<CFontEntry>();
    entry->logFont = logFont;
    entry->font.CreateFontIndirect(&logFont);
    entry->metrics = {};
    const HGDIOBJ old = ::SelectObject(dc, entry->font.IsNull() ? ::GetStockObject(DEFAULT_GUI_FONT) : entry->font.m_hGdiObj);
    ::GetTextMetricsA(dc, &entry->metrics);
    ::SelectObject(dc, old);
    m_fonts.push_back(std::move(entry));
    return static_cast<int>(m_fonts.size()) - 1;
}

void CHtmlRenderer::ApplyCurrentStyle(HDC dc, int length)
{
    m_currentStyle.font = FindOrAddFont(dc, m_current);
    int index = -1;
    for (size_t i = 0; i < m_styles.size(); ++i) {
        if (!std::memcmp(&m_styles[i], &m_currentStyle, sizeof(CStyle)))
            index = static_cast<int>(i);
    }
    if (index < 0) {
        m_styles.push_back(m_currentStyle);
        index = static_cast<int>(m_styles.size()) - 1;
    }
    m_tokens.push_back({kStyle, length, index});
}

void CHtmlRenderer::Parse(HDC dc, const RECT& rect, const char* text, COLORREF textColor, COLORREF background,
                          HFONT font)
{
    ++m_parseCount;
    m_fonts.clear();
    m_styles.clear();
    m_tokens.clear();
    m_styleStack.clear();
    m_rect = rect;
    m_text = text ? text : "";
    m_hash = HashText(text);
    m_textColor = textColor;
    m_background = background;
    m_font = font;
    if (!text)
        return;
    m_current = {};
    if (::GetObjectA(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_current), &m_current) != sizeof(m_current))
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_current), &m_current);
    m_currentStyle = {0, textColor, background, 0};
    ApplyCurrentStyle(dc, 0);
    m_lineHeight = 0;

    const std::string& source = m_text;
    size_t runStart = std::string::npos;
    const auto endRun = [&](size_t at) {
        if (runStart != std::string::npos) {
            m_tokens.push_back({kText, static_cast<int>(at - runStart), m_lineHeight});
            runStart = std::string::npos;
        }
    };
    size_t at = 0;
    while (at < source.size()) {
        const char c = source[at];
        if (c == '\n') {
            endRun(at);
            m_tokens.push_back({kBreak, 1, m_lineHeight});
            m_lineHeight = 0;
            ++at;
        } else if (c == '&') {
            endRun(at);
            bool matched = false;
            for (const auto& entity : kEntities) {
                const size_t length = std::strlen(entity.text);
                if (!source.compare(at, length, entity.text)) {
                    m_tokens.push_back({kCharacter, static_cast<int>(length), static_cast<unsigned char>(entity.character)});
                    at += length;
                    matched = true;
                    break;
                }
            }
            if (!matched) {  // a bare ampersand stands for itself
                m_tokens.push_back({kCharacter, 1, '&'});
                ++at;
            }
        } else if (c == '<') {
            endRun(at);
            at = ParseTag(dc, source, at);
        } else {
            if (runStart == std::string::npos)
                runStart = at;
            const int height = m_fonts[static_cast<size_t>(m_currentStyle.font)]->metrics.tmHeight;
            m_lineHeight = std::max(m_lineHeight, height);
            // A double-byte character stays whole.
            at += (::IsDBCSLeadByte(static_cast<BYTE>(c)) && at + 1 < source.size()) ? 2 : 1;
        }
    }
    endRun(source.size());
}

// Reads the tag at `at` (a "<") and returns the position after it. An unterminated tag is taken
// as text up to the end.
size_t CHtmlRenderer::ParseTag(HDC dc, const std::string& text, size_t at)
{
    const size_t close = text.find('>', at);
    if (close == std::string::npos) {
        m_tokens.push_back({kText, static_cast<int>(text.size() - at), m_lineHeight});
        return text.size();
    }
    const std::string inside = text.substr(at + 1, close - at - 1);
    const size_t nameEnd = inside.find(' ');
    const std::string name = Upper(inside.substr(0, std::min(nameEnd, inside.size())).substr(0, kMaxTagName));
    std::string attributes = nameEnd == std::string::npos ? std::string() : Upper(inside.substr(nameEnd));
    attributes = attributes.substr(0, kMaxAttributes);
    const int length = static_cast<int>(close - at + 1);

    const auto popStyle = [&] {
        if (m_styleStack.empty())
            return;  // an end tag without its start changes nothing
        m_currentStyle = m_styles[static_cast<size_t>(m_styleStack.back())];
        m_styleStack.pop_back();
        m_current = m_fonts[static_cast<size_t>(m_currentStyle.font)]->logFont;
    };
    const auto pushStyle = [&] {
        m_currentStyle.font = FindOrAddFont(dc, m_current);
        int index = -1;
        for (size_t i = 0; i < m_styles.size(); ++i) {
            if (!std::memcmp(&m_styles[i], &m_currentStyle, sizeof(CStyle)))
                index = static_cast<int>(i);
        }
        if (index < 0) {
            m_styles.push_back(m_currentStyle);
            index = static_cast<int>(m_styles.size()) - 1;
        }
        m_styleStack.push_back(index);
    };

    if (name == "B") {
        m_current.lfWeight = FW_BOLD;
    } else if (name == "/B") {
        m_current.lfWeight = FW_NORMAL;
    } else if (name == "I") {
        m_current.lfItalic = TRUE;
    } else if (name == "/I") {
        m_current.lfItalic = FALSE;
    } else if (name == "UL") {
        m_current.lfUnderline = TRUE;
    } else if (name == "/UL") {
        m_current.lfUnderline = FALSE;
    } else if (name == "FONT") {
        pushStyle();
        const std::string color = Attribute(attributes, "COLOR");
        if (!color.empty())
            m_currentStyle.text = ParseColor(color);
        const std::string size = Attribute(attributes, "SIZE");
        if (!size.empty())
            m_current.lfHeight = FontHeightForSize(std::atoi(size.c_str()));
        const std::string face = Attribute(attributes, "FACE");
        if (!face.empty()) {
            std::memset(m_current.lfFaceName, 0, sizeof(m_current.lfFaceName));
            std::memcpy(m_current.lfFaceName, face.c_str(), std::min(face.size(), kMaxFaceName));
        }
    } else if (name == "/FONT" || name == "/DIV") {
        popStyle();
    } else if (name == "DIV") {
        pushStyle();
        const std::string align = Attribute(attributes, "ALIGN");
        if (align == "CENTER")
            m_currentStyle.align = DT_CENTER;
        else if (align == "RIGHT")
            m_currentStyle.align = DT_RIGHT;
        else if (align == "LEFT")
            m_currentStyle.align = 0;
    } else if (name == "BR") {
        m_tokens.push_back({kBreak, 0, m_lineHeight});
        m_lineHeight = 0;
    }
    ApplyCurrentStyle(dc, length);
    return close + 1;
}

// Draws a text run from the pen, wrapping at spaces and between double-byte characters; a piece
// that cannot be broken is drawn whole.
void CHtmlRenderer::DrawRun(HDC dc, const char* run, int length, const RECT& area, POINT& pen, int lineHeight,
                            UINT align)
{
    const UINT flags = align | DT_NOPREFIX | DT_SINGLELINE;
    while (length > 0) {
        int piece = length;
        SIZE size = {};
        ::GetTextExtentPoint32A(dc, run, piece, &size);
        if (m_wordWrap) {
            while (pen.x + size.cx > area.right && piece > 0) {
                // The last break point before the piece's end: after a space or a double-byte character.
                int cut = 0;
                for (int i = 0; i < piece;) {
                    const bool lead = ::IsDBCSLeadByte(static_cast<BYTE>(run[i])) && i + 1 < length;
                    const int next = i + (lead ? 2 : 1);
                    if ((run[i] == ' ' || lead) && next < piece)
                        cut = next;
                    i = next;
                }
                if (cut <= 0 || cut >= piece)
                    break;
                piece = cut;
                ::GetTextExtentPoint32A(dc, run, piece, &size);
            }
        }
        RECT target = {pen.x, pen.y, area.right, area.bottom};
        ::DrawTextA(dc, run, piece, &target, flags);
        run += piece;
        length -= piece;
        if (length > 0) {
            pen.x = area.left;
            pen.y += lineHeight > 0 ? lineHeight : size.cy;
        } else {
            pen.x += size.cx;
        }
    }
}

void CHtmlRenderer::Render(HDC dc, const RECT& rect, const char* text, COLORREF textColor, COLORREF background,
                           HFONT font)
{
    const int saved = ::SaveDC(dc);
    const char* source = text ? text : "";
    if (m_dirty || m_text != source || !::EqualRect(&m_rect, &rect) || m_textColor != textColor ||
        m_background != background || m_font != font) {
        Parse(dc, rect, text, textColor, background, font);
        m_dirty = false;
    }
    RECT area = rect;
    ::InflateRect(&area, -m_marginX, -m_marginY);
    CBrush brush;
    brush.CreateSolidBrush(background);
    ::FillRect(dc, &area, brush);
    ::SetBkMode(dc, TRANSPARENT);
    POINT pen = {area.left, area.top};
    UINT align = 0;
    int xHeight = 0;
    size_t at = 0;
    for (const CToken& token : m_tokens) {
        if (at + static_cast<size_t>(token.length) > m_text.size())
            break;  // cannot happen with the text kept beside the tokens; never read past it
        switch (token.kind) {
        case kStyle: {
            const CStyle& style = m_styles[static_cast<size_t>(token.value)];
            const CFontEntry& entry = *m_fonts[static_cast<size_t>(style.font)];
            ::SelectObject(dc, entry.font.IsNull() ? ::GetStockObject(DEFAULT_GUI_FONT) : entry.font.m_hGdiObj);
            ::SetTextColor(dc, style.text);
            ::SetBkColor(dc, style.background);
            align = style.align;
            break;
        }
        case kText:
            DrawRun(dc, m_text.c_str() + at, token.length, area, pen, token.value, align);
            break;
        case kCharacter: {
            const char character = static_cast<char>(token.value);
            SIZE size = {};
            ::GetTextExtentPoint32A(dc, &character, 1, &size);
            RECT target = {pen.x, pen.y, area.right, area.bottom};
            ::DrawTextA(dc, &character, 1, &target, align | DT_NOPREFIX | DT_SINGLELINE);
            pen.x += size.cx;
            break;
        }
        case kBreak: {
            int height = token.value;
            if (height == 0) {
                if (xHeight == 0) {
                    SIZE size = {};
                    ::GetTextExtentPoint32A(dc, "X", 1, &size);
                    xHeight = size.cy;
                }
                height = xHeight;
            }
            pen.x = area.left;
            pen.y += height;
            break;
        }
        default:
            break;
        }
        at += static_cast<size_t>(token.length);
    }
    ::RestoreDC(dc, saved);
}

std::string BuildAboutProductLine(const std::string& version)
{
    return "Kivo Browser " + version;
}

// Six hexadecimal digits: the colour as written for this text once had seven, which read as
// another red.
std::string BuildAboutCredits(const std::string& version)
{
    return "<DIV ALIGN=CENTER><B>Kivo Browser</B><BR><FONT COLOR=#CC0000>" + version + "</FONT></DIV>";
}

// ---- CHtmlStatic ------------------------------------------------------------------------------

CHtmlStatic::~CHtmlStatic()
{
    if (m_toolTip && ::IsWindow(m_toolTip))
        ::DestroyWindow(m_toolTip);
}

BOOL CHtmlStatic::SubclassWindow(HWND window)
{
    if (!CWindowImpl<CHtmlStatic>::SubclassWindow(window))
        return FALSE;
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof(name));
    if (!::lstrcmpiA(name, "Static"))
        ModifyStyle(0, SS_NOTIFY);
    return TRUE;
}

bool CHtmlStatic::SetToolTipText(const char* text)
{
    if (m_toolTip && ::IsWindow(m_toolTip))
        ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
    if (!text)
        return true;
    m_toolTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, m_hWnd, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (!m_toolTip)
        return false;
    ::SendMessageA(m_toolTip, TTM_ACTIVATE, TRUE, 0);
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<char*>(text);
    return ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

LRESULT CHtmlStatic::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    m_textColor = CLR_INVALID;
    m_background = CLR_INVALID;
    return 0;
}

LRESULT CHtmlStatic::OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    m_renderer.SetDirty();
    Invalidate();
    UpdateWindow();
    return result;
}

LRESULT CHtmlStatic::OnMouse(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (m_toolTip) {
        MSG relay = {m_hWnd, message, wParam, lParam, 0, {0, 0}};
        ::SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    handled = FALSE;
    return 0;
}

LRESULT CHtmlStatic::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    if (message == WM_PRINTCLIENT || wParam) {
        Paint(reinterpret_cast<HDC>(wParam));
    } else {
        PAINTSTRUCT paint = {};
        HDC dc = BeginPaint(&paint);
        Paint(dc);
        EndPaint(&paint);
    }
    return 0;
}

void CHtmlStatic::Paint(HDC dc)
{
    RECT client = {};
    GetClientRect(&client);
    const int length = GetWindowTextLength();
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    GetWindowText(text.data(), length + 1);
    text.resize(std::strlen(text.c_str()));
    const COLORREF color = m_textColor == CLR_INVALID ? ::GetSysColor(COLOR_BTNTEXT) : m_textColor;
    const COLORREF background = m_background == CLR_INVALID ? ::GetSysColor(COLOR_BTNFACE) : m_background;
    m_renderer.Render(dc, client, text.c_str(), color, background, GetFont());
}
