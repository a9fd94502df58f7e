#pragma once
// CResourcePicture: a picture (any format the system's OLE picture loader reads: GIF, JPEG, BMP,
// ICO) loaded from a resource of the program's module, its size in screen pixels, and drawing it
// upright, stretched into a rectangle or tiled over one. Without a loaded picture the drawing does
// nothing. The About dialog draws its pictures with it.
//
// Lifetime: a member or local of its user; it releases the picture when destroyed. UI thread only.
#include "platform/AtlBase.h"

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

// The columns (or rows) of tiles of size `tile` that cover [from, to): first and last included.
struct CTileRange {
    int first;
    int last;
};
CTileRange ComputeTileRange(int from, int to, int tile);
// HIMETRIC (0.01 mm) to pixels at `pixelsPerInch`.
int HimetricToPixels(long himetric, int pixelsPerInch);

class CResourcePicture {
public:
    CResourcePicture() = default;
    CResourcePicture(const CResourcePicture&) = delete;
    CResourcePicture& operator=(const CResourcePicture&) = delete;

    // The resource of this name and type in `module` (null: the program's resources); false, and
    // no picture, when it is missing or not a picture.
    bool LoadFromResource(const char* name, const char* type, HMODULE module = nullptr);
    bool IsLoaded() const { return m_picture != nullptr; }
    void Release() { m_picture.Release(); }

    // The size in pixels of the screen; 0 by 0 without a picture.
    SIZE GetPixelSize() const;
    SIZE GetHimetricSize() const;

    void Render(HDC dc, const RECT& rect) const;
    void RenderTiled(HDC dc, const RECT& rect) const;

private:
    // Draws the whole picture upright at (x, y) with the size `width` by `height` pixels.
    void RenderAt(HDC dc, int x, int y, int width, int height, const SIZE& himetric) const;

    CComPtr<IPicture> m_picture;
};
