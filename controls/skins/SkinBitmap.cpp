#include "controls/skins/SkinBitmap.h"

#include "platform/AtlBase.h"
#include "platform/AtlGdi.h"

#include <cstring>
#include <vector>

namespace {

template <typename T>
T ReadAt(const std::string& bytes, size_t at)
{
    T value{};
    std::memcpy(&value, bytes.data() + at, sizeof(T));
    return value;
}

}  // namespace

bool IsSaneBitmapFile(const std::string& bytes)
{
    constexpr size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    if (bytes.size() < kFileHeader + sizeof(BITMAPCOREHEADER) || bytes.size() > kMaxSkinBitmapBytes)
        return false;
    if (bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const DWORD offBits = ReadAt<DWORD>(bytes, offsetof(BITMAPFILEHEADER, bfOffBits));
    const DWORD headerSize = ReadAt<DWORD>(bytes, kFileHeader);
    long long width = 0;
    long long height = 0;
    unsigned bitCount = 0;
    DWORD compression = BI_RGB;
    DWORD colorsUsed = 0;
    size_t paletteEntry = sizeof(RGBQUAD);
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        const auto core = ReadAt<BITMAPCOREHEADER>(bytes, kFileHeader);
        width = core.bcWidth;
        height = core.bcHeight;
        bitCount = core.bcBitCount;
        paletteEntry = sizeof(RGBTRIPLE);
    } else if (headerSize == sizeof(BITMAPINFOHEADER) || headerSize == sizeof(BITMAPV4HEADER) ||
               headerSize == sizeof(BITMAPV5HEADER)) {
        if (bytes.size() < kFileHeader + headerSize)
            return false;
        const auto info = ReadAt<BITMAPINFOHEADER>(bytes, kFileHeader);
        width = info.biWidth;
        height = info.biHeight < 0 ? -static_cast<long long>(info.biHeight) : info.biHeight;
        bitCount = info.biBitCount;
        compression = info.biCompression;
        colorsUsed = info.biClrUsed;
        if (info.biPlanes != 1)
            return false;
    } else {
        return false;
    }
    if (width <= 0 || height <= 0 || width > kMaxSkinBitmapSide || height > kMaxSkinBitmapSide)
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return false;
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32)))
        return false;
    size_t paletteCount = 0;
    if (bitCount <= 8) {
        const size_t full = size_t{1} << bitCount;
        if (colorsUsed > full)
            return false;
        paletteCount = colorsUsed ? colorsUsed : full;
    }
    size_t masks = (compression == BI_BITFIELDS && headerSize == sizeof(BITMAPINFOHEADER)) ? 3 * sizeof(DWORD) : 0;
    const size_t paletteEnd = kFileHeader + headerSize + masks + paletteCount * paletteEntry;
    const size_t stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    const size_t pixels = stride * static_cast<size_t>(height);
    return offBits >= paletteEnd && offBits <= bytes.size() && bytes.size() - offBits >= pixels;
}

HBITMAP LoadSkinBitmapFile(const std::string& path)
{
    CHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return nullptr;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart <= 0 || size.QuadPart > static_cast<LONGLONG>(kMaxSkinBitmapBytes))
        return nullptr;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return nullptr;
    if (!IsSaneBitmapFile(bytes))
        return nullptr;
    // The checked bytes are decoded from memory, so a file changed after the check is not read.
    const auto* header = reinterpret_cast<const BITMAPFILEHEADER*>(bytes.data());
    const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + sizeof(BITMAPFILEHEADER));
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, bytes.data() + header->bfOffBits, info,
                                      DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}

HRGN CreateRegionOfOpaquePixels(HBITMAP bitmap, COLORREF transparent, int x, int y)
{
    BITMAP info = {};
    if (!bitmap || ::GetObjectA(bitmap, sizeof(info), &info) != sizeof(info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0)
        return nullptr;
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = -height;  // top-down rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                                 DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != height)
        return nullptr;
    const DWORD key = (GetRValue(transparent) << 16) | (GetGValue(transparent) << 8) | GetBValue(transparent);
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    for (int row = 0; row < height; ++row) {
        int start = -1;
        for (int column = 0; column <= width; ++column) {
            const bool opaque = column < width && (pixels[static_cast<size_t>(row) * width + column] & 0xFFFFFF) != key;
            if (opaque && start < 0) {
                start = column;
            } else if (!opaque && start >= 0) {
                CRgn run;
                run.CreateRectRgn(x + start, y + row, x + column, y + row + 1);
                region.CombineRgn(run, RGN_OR);
                start = -1;
            }
        }
    }
    return region.Detach();
}
