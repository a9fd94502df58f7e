#pragma once
// Screenshots of the controls' tests: pixels copied from a device context as bottom-up 24-bit rows
// (the layout of a BMP file), and BMP files written under the build folder's "screenshots\".
#include <windows.h>

#include <cstdio>
#include <string>

namespace kivo_test {

struct CPixels {
    BITMAPINFOHEADER info = {};
    int stride = 0;
    std::string bytes;

    COLORREF At(int x, int y) const
    {
        const size_t at = static_cast<size_t>(info.biHeight - 1 - y) * stride + x * 3;
        return RGB(static_cast<BYTE>(bytes[at + 2]), static_cast<BYTE>(bytes[at + 1]), static_cast<BYTE>(bytes[at]));
    }
};

// The rows of a bitmap that is not selected into `dc`.
inline bool ReadPixels(HDC dc, HBITMAP bitmap, int width, int height, CPixels& pixels)
{
    pixels.info = {};
    pixels.info.biSize = sizeof(pixels.info);
    pixels.info.biWidth = width;
    pixels.info.biHeight = height;
    pixels.info.biPlanes = 1;
    pixels.info.biBitCount = 24;
    pixels.stride = (width * 3 + 3) & ~3;
    pixels.bytes.assign(static_cast<size_t>(pixels.stride) * height, '\0');
    return GetDIBits(dc, bitmap, 0, height, pixels.bytes.data(), reinterpret_cast<BITMAPINFO*>(&pixels.info),
                     DIB_RGB_COLORS) == height;
}

// Copies the rectangle at (x, y) of `source` (a window's or the screen's DC).
inline bool CapturePixels(HDC source, int x, int y, int width, int height, CPixels& pixels)
{
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    SelectObject(memory, old);
    const bool read = ReadPixels(memory, bitmap, width, height, pixels);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return read;
}

inline bool WriteBitmap(const std::string& path, const CPixels& pixels)
{
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(pixels.info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.bytes.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&pixels.info, sizeof(pixels.info), 1, out);
    std::fwrite(pixels.bytes.data(), 1, pixels.bytes.size(), out);
    return std::fclose(out) == 0;
}

// "<build folder>\screenshots\<name>", the folder made: the test programs run from "<build folder>\bin".
inline std::string ScreenshotPath(const char* name)
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path = module;
    path.erase(path.find_last_of("\\/"));  // bin
    path.erase(path.find_last_of("\\/"));  // the build folder
    path += "\\screenshots";
    CreateDirectoryA(path.c_str(), nullptr);
    return path + "\\" + name;
}

// The screen inside the rectangle (screen coordinates) as screenshots\<name>.
inline bool WriteScreenRect(const RECT& rect, const char* name, std::string& path)
{
    path = ScreenshotPath(name);
    HDC screen = GetDC(nullptr);
    CPixels pixels;
    const bool read = CapturePixels(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, pixels);
    ReleaseDC(nullptr, screen);
    return read && WriteBitmap(path, pixels);
}

// A window's client area as it shows on the screen, as screenshots\<name>.
inline bool WriteWindowScreenshot(HWND window, const char* name, std::string& path, CPixels* captured = nullptr)
{
    path = ScreenshotPath(name);
    RECT client = {};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    CPixels pixels;
    const bool read = CapturePixels(dc, 0, 0, client.right, client.bottom, pixels);
    ReleaseDC(window, dc);
    if (captured)
        *captured = pixels;
    return read && WriteBitmap(path, pixels);
}

}  // namespace kivo_test
