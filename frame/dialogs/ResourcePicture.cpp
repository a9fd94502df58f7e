#include "frame/dialogs/ResourcePicture.h"

#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <cstring>

namespace {

constexpr int kHimetricPerInch = 2540;

// Frees the block unless a stream took it over.
class CGlobalBlock {
public:
    explicit CGlobalBlock(SIZE_T size) : m_block(::GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~CGlobalBlock()
    {
        if (m_block)
            ::GlobalFree(m_block);
    }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;
    HGLOBAL Get() const { return m_block; }
    HGLOBAL Detach()
    {
        HGLOBAL block = m_block;
        m_block = nullptr;
        return block;
    }

private:
    HGLOBAL m_block;
};

}  // namespace

CTileRange ComputeTileRange(int from, int to, int tile)
{
    if (tile <= 0)
        return {0, -1};
    return {from / tile, (to + tile + 1) / tile - 1};
}

int HimetricToPixels(long himetric, int pixelsPerInch)
{
    return ::MulDiv(static_cast<int>(himetric), pixelsPerInch, kHimetricPerInch);
}

bool CResourcePicture::LoadFromResource(const char* name, const char* type, HMODULE module)
{
    m_picture.Release();
    HMODULE from = module ? module : AtlGetResourceInstance();
    HRSRC resource = ::FindResourceA(from, name, type);
    if (!resource)
        return false;
    const DWORD size = ::SizeofResource(from, resource);
    HGLOBAL loaded = ::LoadResource(from, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return false;
    CGlobalBlock block(size);
    if (!block.Get())
        return false;
    void* copy = ::GlobalLock(block.Get());
    if (!copy)
        return false;
    std::memcpy(copy, bytes, size);
    ::GlobalUnlock(block.Get());
    CComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block.Get(), TRUE, &stream)) || !stream)
        return false;
    block.Detach();  // the stream frees it now
    CComPtr<IPicture> picture;
    const HRESULT loadedPicture =
        ::OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
    if (FAILED(loadedPicture) || !picture)
        return false;
    m_picture = picture;
    return true;
}

SIZE CResourcePicture::GetHimetricSize() const
{
    SIZE size = {0, 0};
    if (!m_picture)
        return size;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(m_picture->get_Width(&width)) || FAILED(m_picture->get_Height(&height)))
        return size;
    size.cx = width;
    size.cy = height;
    return size;
}

SIZE CResourcePicture::GetPixelSize() const
{
    const SIZE himetric = GetHimetricSize();
    SIZE size = {0, 0};
    if (!m_picture)
        return size;
    CClientDC screen(nullptr);
    size.cx = HimetricToPixels(himetric.cx, screen.GetDeviceCaps(LOGPIXELSX));
    size.cy = HimetricToPixels(himetric.cy, screen.GetDeviceCaps(LOGPIXELSY));
    return size;
}

// The source rectangle starts at the bottom row and runs upwards, so that the picture is upright.
void CResourcePicture::RenderAt(HDC dc, int x, int y, int width, int height, const SIZE& himetric) const
{
    m_picture->Render(dc, x, y, width, height, 0, himetric.cy - 1, himetric.cx, -himetric.cy, nullptr);
}

void CResourcePicture::Render(HDC dc, const RECT& rect) const
{
    if (!m_picture || !dc)
        return;
    RenderAt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, GetHimetricSize());
}

void CResourcePicture::RenderTiled(HDC dc, const RECT& rect) const
{
    if (!m_picture || !dc || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const SIZE tile = GetPixelSize();
    if (tile.cx <= 0 || tile.cy <= 0)
        return;
    const SIZE himetric = GetHimetricSize();
    CSaveDC saved(dc);
    CRgn clip;
    clip.CreateRectRgnIndirect(&rect);
    ::SelectClipRgn(dc, clip);
    {
        CMemoryDC buffer(dc, rect);
        const CTileRange columns = ComputeTileRange(rect.left, rect.right, tile.cx);
        const CTileRange rows = ComputeTileRange(rect.top, rect.bottom, tile.cy);
        for (int row = rows.first; row <= rows.last; ++row)
            for (int column = columns.first; column <= columns.last; ++column)
                RenderAt(buffer, column * tile.cx, row * tile.cy, tile.cx, tile.cy, himetric);
    }
    ::SelectClipRgn(dc, nullptr);
}
