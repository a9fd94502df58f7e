// Printing: the page arithmetic on its own, then whole jobs recorded into metafiles (one per
// page) whose text records show the header, the footer, the line numbers and the wrapped rows.
#include "editctl/tests/EditFixture.h"

#include <map>

#include "editctl/model/PrintLayout.h"
#include "editctl/win/GdiHolders.h"
#include "editctl/win/Printing.h"

using namespace quill;
using namespace quill::testing;

TEST(PrintLayout, MetricsAreGuardedAgainstPagesWithoutRoom)
{
    const PrintDevice a4{4800, 6800, 203, 288};  // about 600 dpi
    const PrintFontMetrics font{100, 50};
    const PrintMargins margins;
    PageMetrics m = ComputePageMetrics(a4, font, margins, 9999, true, 2, 2);
    ASSERT_TRUE(m.valid);
    const int mm = static_cast<int>(m.pxPerMmX);
    EXPECT_EQ(m.numberColumn, 4 * 50 + 2 * mm);  // four digits and 2 mm
    EXPECT_EQ(m.left, static_cast<int>(1000 * 0.01 * m.pxPerMmX));
    EXPECT_EQ(m.rowsPerPage, m.printableHeight / 100);
    EXPECT_LE(m.numberColumn + m.charsPerRow * 50, m.printableWidth);  // rows stay inside the paper
    EXPECT_EQ(ComputePageMetrics(a4, font, margins, 1, false, 0, 0).numberColumn, 0);

    struct Case {
        const char* what;
        PrintDevice device;
        PrintFontMetrics font;
        PrintMargins margins;
    } bad[] = {
        {"no size in millimetres", {4800, 6800, 0, 0}, font, margins},
        {"no resolution", {0, 0, 203, 288}, font, margins},
        {"a font without width", a4, {100, 0}, margins},
        {"margins wider than the paper", a4, font, {20000, 1000, 20000, 1000}},
        {"a character wider than the page", a4, {100, 100000}, margins},
        {"a line taller than the page", a4, {100000, 50}, margins},
        {"huge margins", a4, font, {2000000000, 2000000000, 2000000000, 2000000000}},
    };
    for (const Case& c : bad)
        EXPECT_FALSE(ComputePageMetrics(c.device, c.font, c.margins, 10, true, 2, 2).valid) << c.what;
    // Header and footer take every row there is: no room for text.
    const PrintDevice tiny{400, 450, 17, 19};
    EXPECT_FALSE(ComputePageMetrics(tiny, font, {0, 0, 0, 0}, 1, false, 2, 2).valid);
}

TEST(PrintLayout, RowsPagesAndHeaderTexts)
{
    EXPECT_EQ(RowsOfLine(0, 80), 1);
    EXPECT_EQ(RowsOfLine(80, 80), 1);
    EXPECT_EQ(RowsOfLine(81, 80), 2);
    EXPECT_EQ(RowsOfLine(5, 0), 1);

    // Five rows a page: a line of 3 rows that does not fit goes to the next page; a line of 12
    // rows, longer than a page, fills what is left and goes on over the pages that follow.
    const std::vector<PrintedPage> pages = PaginateRows({1, 2, 3, 12, 1}, 10, 5);
    ASSERT_EQ(pages.size(), 5u);
    auto lines = [](const PrintedPage& p) {
        std::string s;
        for (const PageSlice& x : p)
            s += std::to_string(x.line) + ":" + std::to_string(x.firstRow) + "+" + std::to_string(x.rows) + " ";
        return s;
    };
    EXPECT_EQ(lines(pages[0]), "10:0+1 11:0+2 ");
    EXPECT_EQ(lines(pages[1]), "12:0+3 13:0+2 ");
    EXPECT_EQ(lines(pages[2]), "13:2+5 ");
    EXPECT_EQ(lines(pages[3]), "13:7+5 ");
    EXPECT_EQ(lines(pages[4]), "14:0+1 ");
    EXPECT_EQ(PaginateRows({}, 0, 5).size(), 1u);

    const HeaderFields fields{"C:\\web\\page.htm", 3, 12, "2026-12-10", "01:02"};
    EXPECT_EQ(ExpandHeaderText("%f - %F", fields), "page.htm - C:\\web\\page.htm");
    // A number is written with a blank behind it; at the end of a part the blank goes.
    EXPECT_EQ(ExpandHeaderText("Page %p of %P", fields), "Page 3  of 12");
    EXPECT_EQ(ExpandHeaderText("Page %pof %P", fields), "Page 3 of 12");
    EXPECT_EQ(ExpandHeaderText("100%% %x%d %t ", fields), "100% 2026-12-10 01:02");
    EXPECT_EQ(ExpandHeaderText(std::string(3000, 'x'), fields).size(), 1024u);
    EXPECT_EQ(ExpandTabs("a\tb\t", 4), "a   b   ");
}

namespace {

// Records each page into an enhanced metafile made for the screen.
class MetafileSink : public win::PageSink {
public:
    MetafileSink() = default;
    ~MetafileSink() override
    {
        for (HENHMETAFILE page : pages)
            DeleteEnhMetaFile(page);
    }
    HDC InfoDc() override { return m_screen; }
    bool StartDocument(const std::string& name) override
    {
        document = name;
        return !failStart;
    }
    HDC StartPage() override
    {
        m_page = CreateEnhMetaFileA(m_screen, nullptr, nullptr, nullptr);
        return m_page;
    }
    bool EndPage() override
    {
        pages.push_back(CloseEnhMetaFile(m_page));
        return true;
    }
    void EndDocument(bool completed_) override { completed = completed_; }

    std::string document;
    std::vector<HENHMETAFILE> pages;
    bool completed = false, failStart = false;

private:
    const win::CWindowDc m_screen{nullptr};
    HDC m_page = nullptr;
};

struct PageRecord {
    std::vector<std::pair<int, std::string>> texts;  // y, text
    int polygons = 0;
};

int CALLBACK CollectRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    auto* page = reinterpret_cast<PageRecord*>(data);
    if (record->iType == EMR_EXTTEXTOUTA || record->iType == EMR_EXTTEXTOUTW) {
        const auto* t = reinterpret_cast<const EMREXTTEXTOUTA*>(record);
        const char* base = reinterpret_cast<const char*>(record);
        std::string text;
        for (DWORD i = 0; i < t->emrtext.nChars; ++i)
            text += record->iType == EMR_EXTTEXTOUTW
                        ? static_cast<char>(reinterpret_cast<const WCHAR*>(base + t->emrtext.offString)[i])
                        : base[t->emrtext.offString + i];
        page->texts.push_back({t->emrtext.ptlReference.y, text});
    } else if (record->iType == EMR_POLYGON || record->iType == EMR_POLYGON16) {
        ++page->polygons;
    }
    return 1;
}

PageRecord ReadPage(HENHMETAFILE page)
{
    PageRecord record;
    EnumEnhMetaFile(nullptr, page, CollectRecord, &record, nullptr);
    return record;
}

class Printing : public EditFixture {
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        cfg = ed->config;
        saved = {cfg->printHeader, cfg->printFooter, cfg->printLineNumbers, cfg->printSyntaxColoring};
        savedTexts = cfg->headerFooter;
        cfg->printHeader = cfg->printFooter = cfg->printLineNumbers = true;
        cfg->printSyntaxColoring = false;
        cfg->headerFooter = {"%f", "", "Page %pof %P", "", "the end", ""};
    }
    void TearDown() override
    {
        cfg->printHeader = saved[0];
        cfg->printFooter = saved[1];
        cfg->printLineNumbers = saved[2];
        cfg->printSyntaxColoring = saved[3];
        cfg->headerFooter = savedTexts;
        EditFixture::TearDown();
    }
    PageMetrics Metrics(MetafileSink& sink)
    {
        return win::PrintMetricsFor(*ed, sink.InfoDc(), static_cast<HFONT>(cfg->printerFont));
    }

    ParserConfig* cfg = nullptr;
    std::array<bool, 4> saved{};
    std::array<std::string, 6> savedTexts;
};

} // namespace

TEST_F(Printing, PagesCarryHeaderFooterAndTheirLines)
{
    cfg->printScreenFont = false;
    std::string text;
    for (int i = 1; i <= 100; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    text.pop_back();
    text.pop_back();
    SetText(text.c_str());
    MetafileSink sink;
    const PageMetrics m = Metrics(sink);
    ASSERT_TRUE(m.valid);
    EXPECT_EQ(m.headerRows, 2);
    EXPECT_EQ(m.footerRows, 2);
    const int perPage = m.TextRows();
    const int expectedPages = (100 + perPage - 1) / perPage;
    ASSERT_TRUE(win::PrintText(*ed, sink, false, 1));
    EXPECT_EQ(sink.document, "Quillpoint Text");
    EXPECT_TRUE(sink.completed);
    ASSERT_EQ(static_cast<int>(sink.pages.size()), expectedPages);
    const std::string count = std::to_string(expectedPages);
    for (int p = 0; p < expectedPages; ++p) {
        SCOPED_TRACE(p);
        const PageRecord page = ReadPage(sink.pages[static_cast<size_t>(p)]);
        std::map<std::string, int> at;
        int numbers = 0;
        for (const auto& [y, t] : page.texts) {
            at[t] = y;
            numbers += !t.empty() && t.find_first_not_of("0123456789") == std::string::npos ? 1 : 0;
        }
        std::string all;
        for (const auto& [y, t] : page.texts)
            all += std::to_string(y) + ":" + t + "|";
        SCOPED_TRACE(all);
        ASSERT_EQ(ed->fileName, "Unnamed.htm");  // a filled window's name
        ASSERT_TRUE(at.count("Unnamed.htm"));
        EXPECT_EQ(at["Unnamed.htm"], m.top);
        ASSERT_TRUE(at.count("Page " + std::to_string(p + 1) + " of " + count));
        ASSERT_TRUE(at.count("the end"));
        EXPECT_EQ(at["the end"], m.top + (m.rowsPerPage - 1) * m.lineHeight);
        const int lines = p + 1 < expectedPages ? perPage : 100 - perPage * (expectedPages - 1);
        EXPECT_EQ(numbers, lines);
        EXPECT_TRUE(at.count(std::to_string(p * perPage + 1)));
        EXPECT_TRUE(at.count("line " + std::to_string(p * perPage + lines)));
    }
}

TEST_F(Printing, LongLinesWrapWithAMarkAndTwoCopiesNumberFromOne)
{
    cfg->printScreenFont = false;
    MetafileSink sink;
    SetText("x");
    const PageMetrics m = Metrics(sink);
    ASSERT_TRUE(m.valid);
    const std::string longLine(static_cast<size_t>(m.charsPerRow) * 3, 'w');
    SetText(longLine.c_str());
    ASSERT_TRUE(win::PrintText(*ed, sink, false, 2));
    ASSERT_EQ(sink.pages.size(), 2u);  // one page, twice
    for (HENHMETAFILE p : sink.pages) {
        const PageRecord page = ReadPage(p);
        EXPECT_EQ(page.polygons, 2);  // beside each row that goes on
        int rows = 0;
        bool numbered = false;
        for (const auto& [y, t] : page.texts) {
            rows += t == std::string(static_cast<size_t>(m.charsPerRow), 'w') ? 1 : 0;
            numbered = numbered || t == "Page 1 of 1";
        }
        EXPECT_EQ(rows, 3);
        EXPECT_TRUE(numbered);
    }
    // Only the selected lines: the part of the first from its column on.
    SetText("one\r\ntwo\r\nthree");
    Select(1, 1, 2, 2);
    MetafileSink selected;
    ASSERT_TRUE(win::PrintText(*ed, selected, true, 1));
    const PageRecord page = ReadPage(selected.pages.at(0));
    std::vector<std::string> texts;
    for (const auto& [y, t] : page.texts)
        texts.push_back(t);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "wo"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "th"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "one"), texts.end());
}

// A printer that refuses the job, or a page without room, is reported, not taken for success.
TEST_F(Printing, PrinterFailuresAreReported)
{
    SetText("text");
    MetafileSink refusing;
    refusing.failStart = true;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(win::PrintText(*ed, refusing, false, 1));
    EXPECT_TRUE(refusing.pages.empty());
    ASSERT_EQ(s_system.boxes.size(), 1u);
    EXPECT_EQ(s_system.boxes[0].rfind("The text could not be printed.", 0), 0u);

    win::PageMargins() = {30000, 1000, 30000, 1000};  // 30 cm on each side: no room
    MetafileSink narrow;
    EXPECT_FALSE(win::PrintText(*ed, narrow, false, 1));
    EXPECT_TRUE(narrow.pages.empty());
    EXPECT_EQ(s_system.boxes.size(), 2u);
    win::PageMargins() = {};

    // The print dialog is asked with the right flags; cancelling prints nothing.
    static DWORD s_flags;
    s_system.onPrintDialog = [](PRINTDLGA* d) -> BOOL { s_flags = d->Flags; return FALSE; };
    s_system.onPageSetupDialog = [](PAGESETUPDLGA* d) -> BOOL { return (d->Flags & PSD_RETURNDEFAULT) != 0; };
    EXPECT_EQ(Send(QPM_RUNCOMMAND, kFilePrint), 0);
    EXPECT_TRUE(s_flags & PD_NOSELECTION);
    EXPECT_TRUE(s_flags & PD_RETURNDC);
    Select(0, 0, 2, 0);
    Press(VkKeyScanA('p') & 0xFF, kCtrl);  // Ctrl P prints
    EXPECT_FALSE(s_flags & PD_NOSELECTION);
}
