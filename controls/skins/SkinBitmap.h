#pragma once
// Reading a skin's bitmap files. A skin folder is anyone's to write, so a file is read whole
// (at most kMaxSkinBitmapBytes), its headers are checked against its size before the system
// decodes it, and a picture larger than kMaxSkinBitmapSide on a side is refused.
#include <windows.h>

#include <string>

inline constexpr size_t kMaxSkinBitmapBytes = 8u << 20;
inline constexpr int kMaxSkinBitmapSide = 2048;

// Whether the bytes are a BMP file whose headers agree with its length: a known header size, a
// width and height within the bounds, 1, 4, 8, 16, 24 or 32 bits per pixel, no compression (or
// bit fields), and the palette and the pixel rows inside the file.
bool IsSaneBitmapFile(const std::string& bytes);

// The bitmap of a file, or null (missing, too large, damaged).
HBITMAP LoadSkinBitmapFile(const std::string& path);
// A transparent-pixel test: the region of the pixels of `bitmap` that are not `transparent`,
// offset by (x, y); null when the bitmap cannot be read.
HRGN CreateRegionOfOpaquePixels(HBITMAP bitmap, COLORREF transparent, int x, int y);
