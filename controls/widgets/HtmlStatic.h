#pragma once
// CHtmlStatic: a static control that draws its window text as a small subset of HTML: <B>, <I>,
// <UL> (underline), <FONT COLOR= SIZE= FACE=>, <DIV ALIGN=>, <BR>, line feeds and six entities
// (&nbsp; &quot; &apos; &amp; &lt; &gt;), with word wrapping that keeps double-byte characters
// whole. CHtmlRenderer keeps the parsed text and parses again only when the text, the colours,
// the font or the rectangle change.
//
// Lifetime: a member of the dialog whose item it subclasses (rule (a)); fonts live in the
// renderer until the next parse or its destruction. UI thread only.
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <memory>
#include <string>
#include <vector>

class CHtmlRenderer {
public:
    enum ETokenKind { kText = 0, kCharacter = 1, kStyle = 2, kBreak = 3 };
    struct CToken {
        int kind;
        int length;  // source bytes
        int value;   // text: line height; character: the character; style: index; break: height
    };
    struct CStyle {
        int font;
        COLORREF text;
        COLORREF background;
        UINT align;  // DT_CENTER, DT_RIGHT or 0
    };

    CHtmlRenderer() = default;
    CHtmlRenderer(const CHtmlRenderer&) = delete;
    CHtmlRenderer& operator=(const CHtmlRenderer&) = delete;

    void SetMargins(int horizontal, int vertical);
    void SetWordWrap(bool wrap) { m_wordWrap = wrap; }
    void SetDirty() { m_dirty = true; }
    void Render(HDC dc, const RECT& rect, const char* text, COLORREF textColor, COLORREF background, HFONT font);

    // What the last parse made (for tests).
    const std::vector<CToken>& GetTokens() const { return m_tokens; }
    const std::vector<CStyle>& GetStyles() const { return m_styles; }
    LOGFONTA GetFont(int index) const;
    int GetParseCount() const { return m_parseCount; }

    // h = h * 33 + c over the text's bytes as signed chars.
    static unsigned HashText(const char* text);
    // "#RRGGBB" or a system colour's name; black for anything else.
    static COLORREF ParseColor(const std::string& value);
    static int FontHeightForSize(int size);

private:
    struct CFontEntry {
        CFont font;
        LOGFONTA logFont;
        TEXTMETRICA metrics;
    };
    void Parse(HDC dc, const RECT& rect, const char* text, COLORREF textColor, COLORREF background, HFONT font);
    size_t ParseTag(HDC dc, const std::string& text, size_t at);
    void ApplyCurrentStyle(HDC dc, int length);
    int FindOrAddFont(HDC dc, const LOGFONTA& logFont);
    void DrawRun(HDC dc, const char* run, int length, const RECT& area, POINT& pen, int lineHeight, UINT align);

    RECT m_rect = {};
    COLORREF m_textColor = 0;
    COLORREF m_background = 0;
    HFONT m_font = nullptr;  // not owned: the font the cache was built for
    std::string m_text;      // the text the cache was built for (a hash alone can collide)
    unsigned m_hash = 0;
    short m_marginX = 0;
    short m_marginY = 0;
    bool m_dirty = true;
    bool m_wordWrap = true;
    int m_parseCount = 0;
    std::vector<std::unique_ptr<CFontEntry>> m_fonts;
    std::vector<CStyle> m_styles;
    std::vector<CToken> m_tokens;
    std::vector<int> m_styleStack;
    // The state while parsing.
    LOGFONTA m_current = {};
    CStyle m_currentStyle = {};
    int m_lineHeight = 0;
};

// The About dialog's texts: the product line ("Kivo Browser" and the version) and the credits in
// HTML static markup, the version in red (204, 0, 0).
std::string BuildAboutProductLine(const std::string& version);
std::string BuildAboutCredits(const std::string& version);

class CHtmlStatic : public CWindowImpl<CHtmlStatic> {
public:
    CHtmlStatic() = default;
    ~CHtmlStatic() override;

    BOOL SubclassWindow(HWND window);
    bool SetToolTipText(const char* text);
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void SetBackgroundColor(COLORREF color) { m_background = color; }
    CHtmlRenderer& GetRenderer() { return m_renderer; }

    BEGIN_MSG_MAP(CHtmlStatic)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSEWHEEL, OnMouse)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetText(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouse(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    void Paint(HDC dc);

    CHtmlRenderer m_renderer;
    HWND m_toolTip = nullptr;  // owned: destroyed with the control
    COLORREF m_textColor = CLR_INVALID;
    COLORREF m_background = CLR_INVALID;
};
