#pragma once
// The page layout of a printed text: metrics from the printer's resolution and the print font,
// the rows every line takes, the split of the lines into pages, and the header and footer texts.
// Pure arithmetic, guarded against devices, fonts and margins that leave no room. No window code.
#include <string>
#include <string_view>
#include <vector>

namespace quill {

struct PrintDevice {
    int horzRes = 0, vertRes = 0;      // printable area in pixels
    int horzSizeMm = 0, vertSizeMm = 0;  // the same in millimetres
};

struct PrintFontMetrics {
    int lineHeight = 0;  // text height + external leading
    int charWidth = 0;   // average width + overhang
};

struct PrintMargins {
    int left = 1000, top = 1000, right = 1000, bottom = 1000;  // hundredths of a millimetre
};

struct PageMetrics {
    bool valid = false;  // false: the page has no room for a row of text
    int lineHeight = 0, charWidth = 0;
    double pxPerMmX = 0, pxPerMmY = 0;
    int left = 0, top = 0, right = 0, bottom = 0;  // margins in pixels
    int printableWidth = 0, printableHeight = 0;
    int rowsPerPage = 0;
    int numberColumn = 0;  // width of the line-number column, 0 without line numbers
    int charsPerRow = 0;
    int headerRows = 0, footerRows = 0;
    int TextRows() const { return rowsPerPage - headerRows - footerRows; }
};

int DecimalDigits(long long n);

// headerRows and footerRows: 2 each when that part is printed (see HeaderFooterRows).
PageMetrics ComputePageMetrics(const PrintDevice& device, const PrintFontMetrics& font, const PrintMargins& margins,
                               long long lineCount, bool lineNumbers, int headerRows, int footerRows);

// 2 when the header (or footer) is on and any of its three parts holds text, else 0.
int HeaderFooterRows(bool on, const std::string& left, const std::string& center, const std::string& right);

// The rows a line of the given display width takes: at least 1.
int RowsOfLine(long long width, int charsPerRow);

// A piece of a page: rows [firstRow, firstRow + rows) of one line.
struct PageSlice {
    int line = 0;
    int firstRow = 0;
    int rows = 0;
};
using PrintedPage = std::vector<PageSlice>;

// Splits the lines (their row counts, in order; the first is line `firstLine`) into pages of
// textRows rows. A line that does not fit on what is left of a page starts a new page; a line
// longer than a whole page is split across pages. Always at least one page.
std::vector<PrintedPage> PaginateRows(const std::vector<int>& rowsPerLine, int firstLine, int textRows);

struct HeaderFields {
    std::string path;   // %F; %f is the part after the last backslash
    long long page = 0;
    long long pages = 0;
    std::string date, time;
};
// Expands %% %F %f %p %P %d %t (others vanish), at most 1024 characters, trailing blanks removed.
std::string ExpandHeaderText(std::string_view format, const HeaderFields& fields);

// Expands tabs to spaces up to the next multiple of the tab width.
std::string ExpandTabs(std::string_view line, int tab);

} // namespace quill
