#pragma once
// What a loaded skin holds: the frame-part bitmaps, the caption buttons as four-state image lists,
// the caption text colour and rectangle, the button positions and the fill-mode frame. Filled by
// CFrameSkinManager::LoadSkin from a skin folder, read by every skinned window (CSkinnedWindow).
#include "core/library/StdStr.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlGdi.h"

#include <windows.h>

// The twelve frame parts, in the order of their files; in the fill mode slot 0 holds "framefill".
enum ESkinPart {
    kSkinTopLeft, kSkinTop, kSkinTopRight,
    kSkinLeftTop, kSkinLeft, kSkinLeftBottom,
    kSkinRightTop, kSkinRight, kSkinRightBottom,
    kSkinBottomLeft, kSkinBottom, kSkinBottomRight,
    kSkinPartCount
};
inline constexpr const char* kSkinPartNames[kSkinPartCount] = {
    "topleft", "top", "topright", "lefttop", "left", "leftbottom",
    "righttop", "right", "rightbottom", "bottomleft", "bottom", "bottomright"};

// The caption buttons. Their strips hold four images side by side: normal, hot, pressed, disabled.
enum ESkinButton { kSkinButtonSys, kSkinButtonMin, kSkinButtonMax, kSkinButtonClose, kSkinButtonCount };
inline constexpr const char* kSkinButtonNames[kSkinButtonCount] = {"sys", "min", "max", "close"};
inline constexpr const char* kSkinButtonPositionKeys[kSkinButtonCount] = {"syspos", "minpos", "maxpos", "closepos"};
enum ESkinButtonImage { kSkinImageNormal, kSkinImageHot, kSkinImagePressed, kSkinImageDisabled, kSkinImageCount };

// The colour that stands for "no pixel" in every skin bitmap.
inline constexpr COLORREF kSkinTransparent = RGB(255, 0, 255);

// The skin file and its section.
inline constexpr char kSkinIniName[] = "skin.ini";
inline constexpr char kSkinSection[] = "general";
inline constexpr char kSkinsFolderName[] = "skins\\";

// The defaults of a skin that leaves a key out.
inline constexpr COLORREF kDefaultCaptionTextColor = RGB(255, 255, 255);
inline constexpr RECT kDefaultFillFrame = {6, 29, 6, 6};

struct CSkinDescriptor {
    CStdString name;  // the folder's name
    CStdString author;
    CStdString website;
    CStdString email;
};

struct CSkinData {
    CSkinData() = default;
    CSkinData(const CSkinData&) = delete;
    CSkinData& operator=(const CSkinData&) = delete;

    CBitmap parts[kSkinPartCount];
    CBitmap barBack;
    CImageListManaged buttons[kSkinButtonCount];
    COLORREF captionTextColor = kDefaultCaptionTextColor;
    RECT captionRect = {-1, -1, -1, -1};
    POINT buttonPositions[kSkinButtonCount] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
    bool systemIcon = false;
    bool fillMode = false;          // "framerect" was given
    RECT frameRect = {};            // the borders of the fill mode
    int frameCorner = 0;

    // The size of a part's bitmap, 0 x 0 for a missing one.
    SIZE PartSize(int part) const;
    // The size of one image of a button's strip, 0 x 0 without the strip.
    SIZE ButtonImageSize(int button) const;
    // The borders the skin draws around the client area (left, top, right, bottom), each held to
    // 0..kMaxSkinBorder.
    RECT Borders() const;
    void Clear();
};
