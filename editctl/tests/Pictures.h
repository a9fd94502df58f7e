#pragma once
// The pixels the tests compare: a picture of width × height drawn into a 32-bit top-down bitmap
// of our own (0x00RRGGBB, top row first) by the caller's drawing, made compatible with the window.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "editctl/win/GdiHolders.h"

namespace quill::testing {

template <typename Draw>
std::vector<uint32_t> DrawPicture(HWND window, int width, int height, Draw draw)
{
    if (width <= 0 || height <= 0)
        return {};
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const win::CWindowDc own(window);
    const win::CCreatedDc dc(CreateCompatibleDC(own));
    void* bits = nullptr;
    const win::TGdiObject<HBITMAP> bitmap(CreateDIBSection(own, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bits)
        return {};
    const win::CSelection selected(dc, bitmap);
    draw(static_cast<HDC>(dc));
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
}

// What a whole paint of the client area draws, with WM_PRINTCLIENT, into a picture of the given
// size (the client area's as it is now, without one).
inline std::vector<uint32_t> PrintedClient(HWND window, int width, int height)
{
    return DrawPicture(window, width, height, [&](HDC dc) {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
}

inline std::vector<uint32_t> PrintedClient(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return PrintedClient(window, client.right, client.bottom);
}

} // namespace quill::testing
