#include "core/library/StringSplit.h"

TStdStr<char> JoinStrings(const std::vector<TStdStr<char>>& list, const char* separator)
{
    TStdStr<char> result;
    for (const auto& item : list) {
        result += item;
        if (separator)
            result += separator;
    }
    return result;
}

// Every delimiter ends one piece, so "a;;b" gives "a", "" and "b". Stopping at an empty piece and
// keeping the rest as one element would turn "x;;y" into "x" and ";y", and a list such as the
// disabled plug-ins would then name a folder that does not exist.
void SplitString(std::vector<TStdStr<char>>& list, const TStdStr<char>& text, char delimiter)
{
    size_t pos = 0;
    for (size_t found = text.find(delimiter); found != std::string::npos; found = text.find(delimiter, pos)) {
        list.emplace_back(text.substr(pos, found - pos));
        pos = found + 1;
    }
    list.emplace_back(text.substr(pos));
}

TStdStr<char> FormatByteSize(uint64_t bytes)
{
    if (bytes < 1024)
        return FormatString("%llu bytes", static_cast<unsigned long long>(bytes));
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    int unit = 0;
    while (unit < 5 && bytes >= (uint64_t(1) << (10 * (unit + 2))))
        ++unit;
    const double value = static_cast<double>(bytes) / static_cast<double>(uint64_t(1) << (10 * (unit + 1)));
    return FormatString("%.2f %s", value, units[unit]);
}
