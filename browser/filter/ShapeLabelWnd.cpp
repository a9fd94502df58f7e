#include "browser/filter/ShapeLabelWnd.h"

#include "platform/AtlGdi.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr int kWideGlyph = 49;
constexpr int kNarrowGlyph = 18;
constexpr int kHalf = 3;  // half the stroke width

CSegmentOutline Horizontal(int x0, int x1, int y)
{
    return {{static_cast<short>(x0), static_cast<short>(y), PT_MOVETO},
            {static_cast<short>(x0 + kHalf), static_cast<short>(y - kHalf), PT_LINETO},
            {static_cast<short>(x1 - kHalf), static_cast<short>(y - kHalf), PT_LINETO},
            {static_cast<short>(x1), static_cast<short>(y), PT_LINETO},
            {static_cast<short>(x1 - kHalf), static_cast<short>(y + kHalf), PT_LINETO},
            {static_cast<short>(x0 + kHalf), static_cast<short>(y + kHalf), PT_LINETO}};
}

CSegmentOutline Vertical(int x, int y0, int y1)
{
    return {{static_cast<short>(x), static_cast<short>(y0), PT_MOVETO},
            {static_cast<short>(x + kHalf), static_cast<short>(y0 + kHalf), PT_LINETO},
            {static_cast<short>(x + kHalf), static_cast<short>(y1 - kHalf), PT_LINETO},
            {static_cast<short>(x), static_cast<short>(y1), PT_LINETO},
            {static_cast<short>(x - kHalf), static_cast<short>(y1 - kHalf), PT_LINETO},
            {static_cast<short>(x - kHalf), static_cast<short>(y0 + kHalf), PT_LINETO}};
}

// A slanted bar from (x0, y0) to (x1, y1), as wide as a stroke.
CSegmentOutline Diagonal(int x0, int y0, int x1, int y1)
{
    return {{static_cast<short>(x0), static_cast<short>(y0), PT_MOVETO},
            {static_cast<short>(x0 + 2 * kHalf), static_cast<short>(y0), PT_LINETO},
            {static_cast<short>(x1), static_cast<short>(y1 - 2 * kHalf), PT_LINETO},
            {static_cast<short>(x1), static_cast<short>(y1), PT_LINETO},
            {static_cast<short>(x1 - 2 * kHalf), static_cast<short>(y1), PT_LINETO},
            {static_cast<short>(x0), static_cast<short>(y0 + 2 * kHalf), PT_LINETO}};
}

// A dot with rounded corners (Bézier quarter arcs).
CSegmentOutline Dot(int cx, int cy)
{
    const short l = static_cast<short>(cx - 4), r = static_cast<short>(cx + 4);
    const short t = static_cast<short>(cy - 4), b = static_cast<short>(cy + 4);
    const short x = static_cast<short>(cx), y = static_cast<short>(cy);
    return {{x, t, PT_MOVETO}, {r, t, PT_BEZIERTO}, {r, t, PT_BEZIERTO}, {r, y, PT_BEZIERTO},
            {r, b, PT_BEZIERTO}, {r, b, PT_BEZIERTO}, {x, b, PT_BEZIERTO}, {l, b, PT_BEZIERTO},
            {l, b, PT_BEZIERTO}, {l, y, PT_BEZIERTO}, {l, t, PT_BEZIERTO}, {l, t, PT_BEZIERTO},
            {x, t, PT_BEZIERTO}};
}

// Grid lines of the wide glyphs.
constexpr int kLeft = 8, kRight = 41, kTop = 6, kMiddle = 41, kBottom = 77, kCentre = 24;

// Seven segments, bit 0 to 6: a top, b upper right, c lower right, d bottom, e lower left,
// f upper left, g middle.
class CDigitGlyph : public CSegmentGlyph {
public:
    explicit CDigitGlyph(unsigned mask) : CSegmentGlyph(kWideGlyph, mask)
    {
        m_segments = {Horizontal(kLeft + 1, kRight - 1, kTop),   Vertical(kRight, kTop + 1, kMiddle - 1),
                      Vertical(kRight, kMiddle + 1, kBottom - 1), Horizontal(kLeft + 1, kRight - 1, kBottom),
                      Vertical(kLeft, kMiddle + 1, kBottom - 1),  Vertical(kLeft, kTop + 1, kMiddle - 1),
                      Horizontal(kLeft + 1, kRight - 1, kMiddle)};
    }
};

// Fourteen segments: the seven's a to f, then 6 g1 left middle, 7 g2 right middle, 8 upper-left
// diagonal, 9 upper centre, 10 upper-right diagonal, 11 lower-left diagonal, 12 lower centre,
// 13 lower-right diagonal.
class CLetterGlyph : public CSegmentGlyph {
public:
    explicit CLetterGlyph(unsigned mask) : CSegmentGlyph(kWideGlyph, mask)
    {
        m_segments = {Horizontal(kLeft + 1, kRight - 1, kTop),   Vertical(kRight, kTop + 1, kMiddle - 1),
                      Vertical(kRight, kMiddle + 1, kBottom - 1), Horizontal(kLeft + 1, kRight - 1, kBottom),
                      Vertical(kLeft, kMiddle + 1, kBottom - 1),  Vertical(kLeft, kTop + 1, kMiddle - 1),
                      Horizontal(kLeft + 1, kCentre - 1, kMiddle), Horizontal(kCentre + 1, kRight - 1, kMiddle),
                      Diagonal(kLeft + 4, kTop + 4, kCentre - 4, kMiddle - 4),
                      Vertical(kCentre, kTop + 4, kMiddle - 4),
                      Diagonal(kRight - 4 - 2 * kHalf, kTop + 4, kCentre + 4 + 2 * kHalf, kMiddle - 4),
                      Diagonal(kCentre - 4 - 2 * kHalf, kMiddle + 4, kLeft + 4 + 2 * kHalf, kBottom - 4),
                      Vertical(kCentre, kMiddle + 4, kBottom - 4),
                      Diagonal(kCentre + 4, kMiddle + 4, kRight - 4, kBottom - 4)};
    }
};

// Three dots: 0 the full stop, 1 and 2 the colon's upper and lower dots.
class CNarrowGlyph : public CSegmentGlyph {
public:
    explicit CNarrowGlyph(unsigned mask) : CSegmentGlyph(kNarrowGlyph, mask)
    {
        m_segments = {Dot(9, 74), Dot(9, 28), Dot(9, 58)};
    }
};

// Lit segments by character index: space 0, "0" to "9" 1 to 10, "-" 11.
constexpr unsigned char kSevenSegmentMasks[12] = {0x00, 0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x40};

enum : unsigned {
    A = 1u << 0, B = 1u << 1, C = 1u << 2, D = 1u << 3, E = 1u << 4, F = 1u << 5, G1 = 1u << 6, G2 = 1u << 7,
    H = 1u << 8, I = 1u << 9, J = 1u << 10, L = 1u << 11, M = 1u << 12, N = 1u << 13,
};

// Space, "0" to "9", "-", "A" to "Z", "*", "+", "(", ")", "\", "/", "'".
constexpr unsigned short kFourteenSegmentMasks[45] = {
    0, A | B | C | D | E | F | J | L, B | C | J, A | B | D | E | G1 | G2, A | B | C | D | G2, B | C | F | G1 | G2,
    A | C | D | F | G1 | G2, A | C | D | E | F | G1 | G2, A | B | C, A | B | C | D | E | F | G1 | G2,
    A | B | C | D | F | G1 | G2, G1 | G2,
    A | B | C | E | F | G1 | G2,  // A
    A | B | C | D | G2 | I | M,   // B
    A | D | E | F,                // C
    A | B | C | D | I | M,        // D
    A | D | E | F | G1,           // E
    A | E | F | G1,               // F
    A | C | D | E | F | G2,       // G
    B | C | E | F | G1 | G2,      // H
    A | D | I | M,                // I
    B | C | D | E,                // J
    E | F | G1 | J | N,           // K
    D | E | F,                    // L
    B | C | E | F | H | J,        // M
    B | C | E | F | H | N,        // N
    A | B | C | D | E | F,        // O
    A | B | E | F | G1 | G2,      // P
    A | B | C | D | E | F | N,    // Q
    A | B | E | F | G1 | G2 | N,  // R
    A | C | D | F | G1 | G2,      // S
    A | I | M,                    // T
    B | C | D | E | F,            // U
    E | F | L | J,                // V
    B | C | E | F | L | N,        // W
    H | J | L | N,                // X
    H | J | M,                    // Y
    A | D | J | L,                // Z
    G1 | G2 | H | I | J | L | M | N, G1 | G2 | I | M, J | N, H | L, H | N, J | L, I,
};

constexpr unsigned char kNarrowMasks[2] = {0x1, 0x6};

// The index of a character in the wide tables, or -1.
int WideIndex(char c)
{
    static const char symbols[] = "*+()\\/'";
    if (c == ' ')
        return 0;
    if (c >= '0' && c <= '9')
        return 1 + (c - '0');
    if (c == '-')
        return 11;
    if (c >= 'A' && c <= 'Z')
        return 12 + (c - 'A');
    for (int i = 0; symbols[i]; ++i) {
        if (symbols[i] == c)
            return 38 + i;
    }
    return -1;
}

COLORREF Mix(COLORREF segment, COLORREF background)
{
    return RGB((GetRValue(segment) * 3 + GetRValue(background)) / 4, (GetGValue(segment) * 3 + GetGValue(background)) / 4,
               (GetBValue(segment) * 3 + GetBValue(background)) / 4);
}

}  // namespace

std::unique_ptr<CSegmentGlyph> MakeSegmentGlyph(char character, DWORD style)
{
    if (character == '.')
        return std::make_unique<CNarrowGlyph>(kNarrowMasks[0]);
    if (character == ':')
        return std::make_unique<CNarrowGlyph>(kNarrowMasks[1]);
    const int index = WideIndex(character);
    if (index < 0)
        return nullptr;
    if (index <= 11 && !(style & ShapeLabelStyle::FourteenSegmentDigits))
        return std::make_unique<CDigitGlyph>(kSevenSegmentMasks[index]);
    return std::make_unique<CLetterGlyph>(kFourteenSegmentMasks[index]);
}

void CShapeLabelWnd::SetText(const char* text)
{
    const std::string value = text ? text : "";
    if (value == m_text && !m_rebuildNeeded)
        return;
    m_text = value;
    m_rebuildNeeded = true;
    Redraw();
}

void CShapeLabelWnd::SetNumber(unsigned value)
{
    SetText(std::to_string(value).c_str());
}

void CShapeLabelWnd::SetColors(COLORREF lit, COLORREF unlit, COLORREF background)
{
    m_lit = lit;
    m_unlit = unlit;
    m_background = background;
    Redraw();
}

void CShapeLabelWnd::SetStyle(DWORD style)
{
    m_style = style;
    m_rebuildNeeded = true;
    Redraw();
}

void CShapeLabelWnd::SetShaped(bool shaped)
{
    m_shaped = shaped;
    m_regionStale = true;
    if (!shaped && m_hWnd)
        ::SetWindowRgn(m_hWnd, nullptr, TRUE);
    Redraw();
}

size_t CShapeLabelWnd::GetGlyphCount()
{
    if (m_rebuildNeeded)
        Rebuild();
    return m_glyphs.size();
}

void CShapeLabelWnd::Rebuild()
{
    std::string text = m_text;
    if (text.empty() && m_hWnd) {
        char window[256] = {};
        ::GetWindowTextA(m_hWnd, window, static_cast<int>(sizeof(window)));
        text = window;
    }
    m_glyphs.clear();
    for (char c : text) {
        if (auto glyph = MakeSegmentGlyph(static_cast<char>(std::toupper(static_cast<unsigned char>(c))), m_style))
            m_glyphs.push_back(std::move(glyph));
    }
    m_rebuildNeeded = false;
    m_regionStale = true;
}

void CShapeLabelWnd::Redraw()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

LRESULT CShapeLabelWnd::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_regionStale = true;
    Redraw();
    handled = FALSE;
    return 0;
}

LRESULT CShapeLabelWnd::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_rebuildNeeded)
        Rebuild();
    PAINTSTRUCT paint;
    HDC screen = ::BeginPaint(m_hWnd, &paint);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    const int width = std::max<LONG>(client.right, 1);
    const int height = std::max<LONG>(client.bottom, 1);
    CDC memory;
    memory.CreateCompatibleDC(screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(screen, width, height);
    const HBITMAP oldBitmap = memory.SelectBitmap(bitmap);
    CRgn shape;
    const bool collect = m_shaped && m_regionStale;
    if (collect)
        shape.CreateRectRgn(0, 0, 0, 0);
    Draw(memory, client, collect ? static_cast<HRGN>(shape) : nullptr);
    ::BitBlt(screen, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    memory.SelectBitmap(oldBitmap);
    ::EndPaint(m_hWnd, &paint);
    if (collect) {
        m_regionStale = false;
        // The window owns the region from here on; no redraw: this paint is already done.
        ::SetWindowRgn(m_hWnd, shape.Detach(), FALSE);
    }
    return 0;
}

void CShapeLabelWnd::Draw(HDC dc, const RECT& client, HRGN shape)
{
    CBrush background;
    background.CreateSolidBrush(m_background);
    ::FillRect(dc, &client, background);
    int units = 0;
    for (const auto& glyph : m_glyphs)
        units += glyph->GetWidth();
    if (units == 0)
        return;
    const double scale = std::min(static_cast<double>(client.right) / units, static_cast<double>(client.bottom) / kGridHeight);
    const double left = (client.right - units * scale) / 2;
    const double top = (client.bottom - kGridHeight * scale) / 2;
    const bool soft = (m_style & ShapeLabelStyle::SoftOutline) != 0;
    CBrush litBrush, unlitBrush;
    litBrush.CreateSolidBrush(m_lit);
    unlitBrush.CreateSolidBrush(m_unlit);
    CPen litPen, unlitPen;
    litPen.CreatePen(PS_SOLID, 1, soft ? Mix(m_lit, m_background) : m_lit);
    unlitPen.CreatePen(PS_SOLID, 1, soft ? Mix(m_unlit, m_background) : m_unlit);
    const HGDIOBJ oldPen = ::SelectObject(dc, litPen);
    const HGDIOBJ oldBrush = ::SelectObject(dc, litBrush);
    double x = left;
    for (const auto& glyph : m_glyphs) {
        const std::vector<CSegmentOutline>& segments = glyph->GetSegments();
        for (size_t s = 0; s < segments.size(); ++s) {
            const bool lit = (glyph->GetMask() >> s) & 1u;
            if (!lit && (m_style & ShapeLabelStyle::HideUnlit))
                continue;
            ::SelectObject(dc, lit ? static_cast<HPEN>(litPen) : static_cast<HPEN>(unlitPen));
            ::SelectObject(dc, lit ? static_cast<HBRUSH>(litBrush) : static_cast<HBRUSH>(unlitBrush));
            std::vector<POINT> points;
            std::vector<BYTE> types;
            for (const CSegmentPoint& point : segments[s]) {
                points.push_back({static_cast<LONG>(x + point.x * scale + 0.5), static_cast<LONG>(top + point.y * scale + 0.5)});
                types.push_back(point.type);
            }
            types.back() |= PT_CLOSEFIGURE;
            for (int pass = 0; pass < (shape ? 2 : 1); ++pass) {
                ::BeginPath(dc);
                ::PolyDraw(dc, points.data(), types.data(), static_cast<int>(points.size()));
                ::EndPath(dc);
                if (pass == 0) {
                    ::StrokeAndFillPath(dc);
                } else {
                    CRgn part(::PathToRegion(dc));
                    if (!part.IsNull())
                        ::CombineRgn(shape, shape, part, RGN_OR);
                }
            }
        }
        x += glyph->GetWidth() * scale;
    }
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
}
