#pragma once
// The number grammar of "skin.ini" (section "general"): points "x,y" and rectangles "l,t,r,b" of
// decimal integers. A "skin.ini" comes from a folder anyone can write, so every value is bounded:
// a text longer than its limit, a missing comma, an empty last part or a leading -1 gives the
// all -1 value, and each number is held to kMaxSkinCoordinate either way.
#include <windows.h>

inline constexpr size_t kMaxSkinPointText = 28;
inline constexpr size_t kMaxSkinRectText = 58;
// Larger numbers in a skin file are taken as this (positions and borders beyond any screen).
inline constexpr int kMaxSkinCoordinate = 10000;
// Border widths and corner diameters the frame accepts; a wider one is held to this.
inline constexpr int kMaxSkinBorder = 200;

// Leading decimal digits (an optional '-' first), held to +-kMaxSkinCoordinate; 0 without digits.
int ParseSkinNumber(const char* text);
POINT ParseSkinPoint(const char* text);
RECT ParseSkinRect(const char* text);
// A rectangle value that holds an all -1 value failed to parse.
inline bool IsUnsetSkinRect(const RECT& rect)
{
    return rect.left == -1 && rect.top == -1 && rect.right == -1 && rect.bottom == -1;
}
// A border width or corner diameter from a skin, held to 0..kMaxSkinBorder.
int ClampSkinBorder(long value);
