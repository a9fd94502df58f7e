#include "editctl/model/PrintLayout.h"

#include <algorithm>
#include <climits>

namespace quill {

namespace {
constexpr size_t kHeaderLimit = 1024;
}

int DecimalDigits(long long n)
{
    int digits = 1;
    for (n = n < 0 ? -n : n; n >= 10; n /= 10)
        ++digits;
    return digits;
}

PageMetrics ComputePageMetrics(const PrintDevice& device, const PrintFontMetrics& font, const PrintMargins& margins,
                               long long lineCount, bool lineNumbers, int headerRows, int footerRows)
{
    PageMetrics m;
    if (device.horzRes <= 0 || device.vertRes <= 0 || device.horzSizeMm <= 0 || device.vertSizeMm <= 0 ||
        font.lineHeight <= 0 || font.charWidth <= 0)
        return m;
    m.lineHeight = font.lineHeight;
    m.charWidth = font.charWidth;
    m.pxPerMmX = static_cast<double>(device.horzRes) / device.horzSizeMm;
    m.pxPerMmY = static_cast<double>(device.vertRes) / device.vertSizeMm;
    auto pixels = [](int hundredths, double perMm) {
        const double v = std::max(0, hundredths) * 0.01 * perMm;
        return v >= INT_MAX ? INT_MAX : static_cast<int>(v);
    };
    m.left = pixels(margins.left, m.pxPerMmX);
    m.right = pixels(margins.right, m.pxPerMmX);
    m.top = pixels(margins.top, m.pxPerMmY);
    m.bottom = pixels(margins.bottom, m.pxPerMmY);
    const long long width = static_cast<long long>(device.horzRes) - m.left - m.right;
    const long long height = static_cast<long long>(device.vertRes) - m.top - m.bottom;
    if (width <= 0 || height <= 0)
        return m;
    m.printableWidth = static_cast<int>(width);
    m.printableHeight = static_cast<int>(height);
    m.rowsPerPage = m.printableHeight / m.lineHeight;
    if (lineNumbers)
        m.numberColumn = DecimalDigits(std::max<long long>(1, lineCount)) * m.charWidth +
                         2 * static_cast<int>(m.pxPerMmX);
    // The rows stay within the printable width: the line-number column is taken off first.
    m.charsPerRow = (m.printableWidth - m.numberColumn) / m.charWidth;
    m.headerRows = headerRows;
    m.footerRows = footerRows;
    m.valid = m.charsPerRow >= 1 && m.TextRows() >= 1;
    return m;
}

int HeaderFooterRows(bool on, const std::string& left, const std::string& center, const std::string& right)
{
    return on && !(left.empty() && center.empty() && right.empty()) ? 2 : 0;
}

int RowsOfLine(long long width, int charsPerRow)
{
    if (charsPerRow <= 0 || width <= 0)
        return 1;
    const long long rows = (width + charsPerRow - 1) / charsPerRow;
    return rows > INT_MAX ? INT_MAX : static_cast<int>(rows);
}

std::vector<PrintedPage> PaginateRows(const std::vector<int>& rowsPerLine, int firstLine, int textRows)
{
    std::vector<PrintedPage> pages(1);
    textRows = std::max(1, textRows);
    int used = 0;
    for (size_t i = 0; i < rowsPerLine.size(); ++i) {
        const int line = firstLine + static_cast<int>(i);
        int rows = std::max(1, rowsPerLine[i]);
        // A line that fits on a page but not on what is left of this one goes to the next page.
        if (used > 0 && used + rows > textRows && rows <= textRows) {
            pages.emplace_back();
            used = 0;
        }
        int first = 0;
        while (rows > 0) {
            if (used == textRows) {
                pages.emplace_back();
                used = 0;
            }
            const int take = std::min(rows, textRows - used);
            pages.back().push_back({line, first, take});
            used += take;
            first += take;
            rows -= take;
        }
    }
    return pages;
}

std::string ExpandHeaderText(std::string_view format, const HeaderFields& fields)
{
    std::string out;
    for (size_t i = 0; i < format.size() && out.size() < kHeaderLimit; ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        switch (format[++i]) {
        case '%': out += '%'; break;
        case 'F': out += fields.path; break;
        case 'f': {
            const size_t slash = fields.path.rfind('\\');
            out += slash == std::string::npos ? fields.path : fields.path.substr(slash + 1);
            break;
        }
        case 'p': out += std::to_string(fields.page) + " "; break;
        case 'P': out += std::to_string(fields.pages) + " "; break;
        case 'd': out += fields.date; break;
        case 't': out += fields.time; break;
        default: break;
        }
    }
    if (out.size() > kHeaderLimit)
        out.resize(kHeaderLimit);
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '\r' || out.back() == '\n'))
        out.pop_back();
    return out;
}

std::string ExpandTabs(std::string_view line, int tab)
{
    tab = std::max(1, tab);
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c == '\t')
            out.append(static_cast<size_t>(tab - static_cast<int>(out.size() % static_cast<size_t>(tab))), ' ');
        else
            out += c;
    }
    return out;
}

} // namespace quill
