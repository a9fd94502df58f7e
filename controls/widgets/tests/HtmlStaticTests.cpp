// HTML static text from a table of marked-up inputs: bold, colour and alignment checked on the
// painted pixels, the parse's tokens and styles for entities, sizes and end tags, hostile markup
// that must end, word wrapping, and the parse cache (kept on a repaint, renewed for a new text
// even when its hash is the old one's).
#include "controls/widgets/HtmlStatic.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 60;

struct CPainted {
    kivo_test::CPixels pixels;
    int dark = 0;
    int left = kWidth;
    int right = -1;
    int bottom = -1;
    int blue = 0;
    int red = 0;
};

// Paints the markup in black on white through WM_PRINTCLIENT.
CPainted Paint(CHtmlStatic& control, const char* markup)
{
    control.SetWindowText(markup);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    SelectObject(memory, old);
    CPainted painted;
    kivo_test::ReadPixels(memory, bitmap, kWidth, kHeight, painted.pixels);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const COLORREF c = painted.pixels.At(x, y);
            if (c == RGB(255, 255, 255))
                continue;
            ++painted.dark;
            painted.left = std::min(painted.left, x);
            painted.right = std::max(painted.right, x);
            painted.bottom = std::max(painted.bottom, y);
            if (GetBValue(c) > 128 && GetRValue(c) < 100)
                ++painted.blue;
            if (GetRValue(c) > 128 && GetBValue(c) < 100)
                ++painted.red;
        }
    }
    return painted;
}

class HtmlStatic : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_parent = skin_test::CreateTestFrame("html", 30, 30, 400, 200);
        HWND item = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, kWidth, kHeight, m_parent, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(m_control.SubclassWindow(item));
        m_control.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
        m_control.SetTextColor(RGB(0, 0, 0));
        m_control.SetBackgroundColor(RGB(255, 255, 255));
    }
    void TearDown() override { DestroyWindow(m_parent); }

    HWND m_parent = nullptr;
    CHtmlStatic m_control;
};

}  // namespace

TEST_F(HtmlStatic, MarkupIsLaidOutAsItSays)
{
    EXPECT_TRUE(GetWindowLongPtrA(m_control, GWL_STYLE) & SS_NOTIFY);
    const CPainted plain = Paint(m_control, "WWWW");
    ASSERT_GT(plain.dark, 0);
    EXPECT_LT(plain.left, 4);

    const struct {
        const char* markup;
        const char* what;
    } sameAsPlain[] = {{"<P>WWWW", "an unknown tag"}, {"<p>WW</p>WW", "unknown tags around text"}};
    for (const auto& c : sameAsPlain)
        EXPECT_EQ(Paint(m_control, c.markup).pixels.bytes, plain.pixels.bytes) << c.what;

    for (const char* bold : {"<B>WWWW</B>", "<b>WWWW</b>"})
        EXPECT_GT(Paint(m_control, bold).dark, plain.dark + 4) << bold;

    const CPainted centred = Paint(m_control, "<DIV ALIGN=CENTER>WWWW</DIV>");
    EXPECT_NEAR(centred.left, kWidth - 1 - centred.right, 3);
    EXPECT_GT(centred.left, 60);
    const CPainted right = Paint(m_control, "<div align=\"right\">WWWW</div>");
    EXPECT_GT(right.right, kWidth - 6);
    // The alignment before the DIV is back after its end: the next line starts at the left.
    const CPainted after = Paint(m_control, "<DIV ALIGN=RIGHT>WW</DIV><BR>WW");
    EXPECT_LT(after.left, 4);

    EXPECT_GT(Paint(m_control, "<FONT COLOR=#0000FF>WWWW</FONT>").blue, 10);
    const CPainted restored = Paint(m_control, "<FONT COLOR=#FF0000>W</FONT>WWW");
    EXPECT_GT(restored.red, 3);
    EXPECT_LT(restored.red, restored.dark / 2);  // only the first letter

    // Lines: a break and a long word that wraps onto its own line.
    EXPECT_GT(Paint(m_control, "W<BR>W").bottom, plain.bottom + 6);
    EXPECT_GT(Paint(m_control, "ab WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW").bottom, plain.bottom + 6);

    // The About dialog's credits: centred, the version in (204, 0, 0).
    EXPECT_EQ(BuildAboutProductLine("1.0"), "Kivo Browser 1.0");
    Paint(m_control, BuildAboutCredits("1.0.0.1").c_str());
    const auto& styles = m_control.GetRenderer().GetStyles();
    EXPECT_TRUE(std::any_of(styles.begin(), styles.end(), [](const auto& style) { return style.text == RGB(204, 0, 0); }));

    std::string shot;
    Paint(m_control, (BuildAboutCredits("1.0.0.1") +
                     "<BR><I>italic</I> <UL>underlined</UL> &lt;tag&gt; &amp; more").c_str());
    ShowWindow(m_parent, SW_SHOW);
    RedrawWindow(m_parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(m_parent, "html-static.bmp", shot));
}

TEST_F(HtmlStatic, TokensAndStylesOfTheParse)
{
    CHtmlRenderer& renderer = m_control.GetRenderer();
    Paint(m_control, "a&amp;b&nbsp;c&x");
    std::string characters;
    for (const auto& token : renderer.GetTokens()) {
        if (token.kind == CHtmlRenderer::kCharacter)
            characters += static_cast<char>(token.value);
    }
    EXPECT_EQ(characters, "& &");  // the bare ampersand stands for itself

    const struct {
        const char* markup;
        LONG height;
        COLORREF color;
    } fonts[] = {{"<FONT SIZE=9>x</FONT>", 24, RGB(0, 0, 0)},
                 {"<FONT SIZE=1>x</FONT>", 15, RGB(0, 0, 0)},
                 {"<FONT SIZE=7 COLOR=#0000FF>x</FONT>", 72, RGB(0, 0, 255)},
                 {"<FONT COLOR=WINDOWTEXT>x</FONT>", 0, GetSysColor(COLOR_WINDOWTEXT)},
                 {"<FONT COLOR=nonsense>x</FONT>", 0, RGB(0, 0, 0)}};
    for (const auto& c : fonts) {
        Paint(m_control, c.markup);
        const auto& tokens = renderer.GetTokens();
        ASSERT_GE(tokens.size(), 3u) << c.markup;
        const auto& style = renderer.GetStyles()[static_cast<size_t>(tokens[1].value)];
        if (c.height) {
            EXPECT_EQ(renderer.GetFont(style.font).lfHeight, c.height) << c.markup;
        }
        EXPECT_EQ(style.text, c.color) << c.markup;
        // After the end tag the first style is back.
        EXPECT_EQ(tokens.back().kind, CHtmlRenderer::kStyle);
        EXPECT_EQ(tokens.back().value, 0) << c.markup;
    }
    Paint(m_control, "<B>x</B>");
    EXPECT_EQ(renderer.GetFont(renderer.GetStyles()[static_cast<size_t>(renderer.GetTokens()[1].value)].font).lfWeight,
              FW_BOLD);

    // Hostile markup ends: end tags without a start, a tag never closed, huge attributes.
    for (const char* markup : {"</FONT></DIV></FONT>x", "abc <FONT COLOR=#FF", "<FONT FACE=\"" "aaaaaaaaaaaaaaaaaaaa"
                               "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">x</FONT>",
                               "<VERYLONGTAGNAMETHATGOESONANDON SIZE=3>x", "&", "<", "<>", "&&&;;"}) {
        const CPainted painted = Paint(m_control, markup);
        EXPECT_GE(painted.dark, 0) << markup;
    }
}

TEST_F(HtmlStatic, TheParseIsKeptUntilSomethingChanges)
{
    CHtmlRenderer& renderer = m_control.GetRenderer();
    Paint(m_control, "<B>same</B>");
    const int parses = renderer.GetParseCount();
    SendMessageA(m_control, WM_PRINTCLIENT, 0, 0);  // a null DC paints nothing
    HDC dc = GetDC(m_control);
    SendMessageA(m_control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SendMessageA(m_control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(renderer.GetParseCount(), parses);

    // "Ab" and "BA" have the same hash: the second text is parsed, never drawn from the first's tokens.
    ASSERT_EQ(CHtmlRenderer::HashText("Ab"), CHtmlRenderer::HashText("BA"));
    CHtmlRenderer direct;
    const RECT rect = {0, 0, 100, 20};
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    direct.Render(dc, rect, "Ab", 0, RGB(255, 255, 255), font);
    direct.Render(dc, rect, "Ab", 0, RGB(255, 255, 255), font);
    EXPECT_EQ(direct.GetParseCount(), 1);
    direct.Render(dc, rect, "BA", 0, RGB(255, 255, 255), font);
    EXPECT_EQ(direct.GetParseCount(), 2);
    direct.Render(dc, rect, "BA", RGB(1, 1, 1), RGB(255, 255, 255), font);
    EXPECT_EQ(direct.GetParseCount(), 3);
    ReleaseDC(m_control, dc);
}
