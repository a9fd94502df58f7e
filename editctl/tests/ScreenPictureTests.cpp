// What the window shows after its own paints is, pixel for pixel, what a whole paint of the same
// state draws: the kept picture reaches the window whole and never lags behind a change.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editctl/tests/EditFixture.h"
#include "editctl/win/GdiHolders.h"

namespace quill::testing {

using ScreenPicture = EditFixture;

TEST_F(ScreenPicture, TheWindowShowsWhatAWholePaintDraws)
{
    ShowWindow(m_parent, SW_SHOW);
    SetFocus(m_parent);  // no caret blinking in the pictures
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "<p class=\"c" + std::to_string(i) + "\">row " + std::to_string(i) + "</p>\r\n";
    text += "<p>" + std::string(2000, 'z') + "</p>\r\n";
    SetText(text.c_str());
    RECT client{};
    GetClientRect(m_edit, &client);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const size_t count = static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom);
    // The pixels of either the window itself or a whole paint into a bitmap of our own.
    auto picture = [&](bool fromWindow) {
        const win::CWindowDc own(m_edit);
        const win::CCreatedDc dc(CreateCompatibleDC(own));
        void* bits = nullptr;
        const win::TGdiObject<HBITMAP> bitmap(CreateDIBSection(own, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        const win::CSelection selected(dc, bitmap);
        if (fromWindow) {
            BitBlt(dc, 0, 0, client.right, client.bottom, own, 0, 0, SRCCOPY);
        } else {
            win::DropOffscreen(*ed);  // nothing kept: every row is drawn
            Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
        }
        GdiFlush();
        const auto* pixels = static_cast<const uint32_t*>(bits);
        return std::vector<uint32_t>(pixels, pixels + count);
    };
    struct Step {
        const char* what;
        std::function<void()> change;
    };
    const Step steps[] = {
        {"loaded", [] {}},
        {"painted again", [&] { InvalidateRect(m_edit, nullptr, FALSE); }},
        {"typed", [&] { Caret(3, 2); Send(WM_CHAR, 'q', 1); }},
        {"selected", [&] { Select(1, 4, 6, 9); }},
        {"scrolled down", [&] { Send(WM_VSCROLL, SB_PAGEDOWN); }},
        {"the long row's end", [&] { Caret(2000, 60); }},
        {"part painted again", [&] { RECT r{0, 0, client.right / 2, client.bottom / 2}; InvalidateRect(m_edit, &r, FALSE); }},
        {"back to the top", [&] { Send(QPM_GOTOLINE, 1); }},
    };
    for (const Step& step : steps) {
        step.change();
        UpdateWindow(m_edit);
        const std::vector<uint32_t> shown = picture(true);
        const std::vector<uint32_t> whole = picture(false);
        size_t differ = 0;
        for (size_t i = 0; i < count; ++i)
            differ += shown[i] != whole[i] ? 1 : 0;
        EXPECT_EQ(differ, 0u) << step.what;
    }
}

} // namespace quill::testing
