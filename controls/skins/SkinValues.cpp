#include "controls/skins/SkinValues.h"

#include <algorithm>
#include <cstring>
#include <string>

int ParseSkinNumber(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t')
        ++text;
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    }
    long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > kMaxSkinCoordinate)
            value = kMaxSkinCoordinate;  // and keep reading: the rest of the digits change nothing
    }
    return static_cast<int>(negative ? -value : value);
}

namespace {

// Splits at `count` commas into count + 1 parts; false when a comma is missing or the last part
// is empty.
bool SplitParts(const char* text, size_t limit, int count, std::string (&parts)[4])
{
    if (!text)
        return false;
    const size_t length = std::strlen(text);
    if (length == 0 || length > limit)
        return false;
    const std::string value(text, length);
    size_t start = 0;
    for (int i = 0; i < count; ++i) {
        const size_t comma = value.find(',', start);
        if (comma == std::string::npos)
            return false;
        parts[i] = value.substr(start, comma - start);
        start = comma + 1;
    }
    parts[count] = value.substr(start);
    return parts[count].find_first_not_of(" \t") != std::string::npos;
}

}  // namespace

POINT ParseSkinPoint(const char* text)
{
    std::string parts[4];
    if (!SplitParts(text, kMaxSkinPointText, 1, parts))
        return {-1, -1};
    const POINT point = {ParseSkinNumber(parts[0].c_str()), ParseSkinNumber(parts[1].c_str())};
    if (point.x == -1)
        return {-1, -1};
    return point;
}

RECT ParseSkinRect(const char* text)
{
    std::string parts[4];
    if (!SplitParts(text, kMaxSkinRectText, 3, parts))
        return {-1, -1, -1, -1};
    const RECT rect = {ParseSkinNumber(parts[0].c_str()), ParseSkinNumber(parts[1].c_str()),
                       ParseSkinNumber(parts[2].c_str()), ParseSkinNumber(parts[3].c_str())};
    if (rect.left == -1)
        return {-1, -1, -1, -1};
    return rect;
}

int ClampSkinBorder(long value)
{
    return static_cast<int>(std::clamp<long>(value, 0, kMaxSkinBorder));
}
