#include "controls/skins/SkinData.h"

#include "controls/skins/SkinValues.h"

SIZE CSkinData::PartSize(int part) const
{
    SIZE size = {0, 0};
    if (part >= 0 && part < kSkinPartCount && !parts[part].IsNull())
        parts[part].GetSize(size);
    return size;
}

SIZE CSkinData::ButtonImageSize(int button) const
{
    SIZE size = {0, 0};
    if (button < 0 || button >= kSkinButtonCount || buttons[button].IsNull())
        return size;
    int width = 0;
    int height = 0;
    if (::ImageList_GetIconSize(buttons[button].m_hImageList, &width, &height)) {
        size.cx = width;
        size.cy = height;
    }
    return size;
}

RECT CSkinData::Borders() const
{
    if (fillMode)
        return {ClampSkinBorder(frameRect.left), ClampSkinBorder(frameRect.top), ClampSkinBorder(frameRect.right),
                ClampSkinBorder(frameRect.bottom)};
    return {ClampSkinBorder(PartSize(kSkinLeft).cx), ClampSkinBorder(PartSize(kSkinTop).cy),
            ClampSkinBorder(PartSize(kSkinRight).cx), ClampSkinBorder(PartSize(kSkinBottom).cy)};
}

void CSkinData::Clear()
{
    for (CBitmap& part : parts)
        part.DeleteObject();
    barBack.DeleteObject();
    for (CImageListManaged& list : buttons)
        list.Destroy();
    captionTextColor = kDefaultCaptionTextColor;
    captionRect = {-1, -1, -1, -1};
    for (POINT& position : buttonPositions)
        position = {-1, -1};
    systemIcon = false;
    fillMode = false;
    frameRect = {};
    frameCorner = 0;
}
