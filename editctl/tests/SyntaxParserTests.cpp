// The syntax parser: the keyword hash, the rules of blocks, escapes, numbers and links, and the
// colour runs of real HTML, CSS and JavaScript samples checked against golden files.
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "FakeEnvironment.h"
#include "TestFiles.h"
#include "editctl/model/SyntaxParser.h"
#include "editctl/model/TextStore.h"

using namespace quill;
using quill::testing::BuiltinConfigText;
using quill::testing::FakeEnvironment;
using quill::testing::ReadFile;

namespace {


struct ColourRun {
    std::string text;
    Colour colour;
    Colour background;
    bool keyword;
    bool link;
};

std::vector<ColourRun> Runs(const ParserConfig& c, int state, const std::string& line, int* endState,
                      const BracketMarks* marks = nullptr)
{
    std::vector<ColorSpan> spans(line.size() + 2);
    int count = 0;
    *endState = ParseLine(c, state, line.data(), static_cast<int>(line.size()), spans.data(), &count,
                          static_cast<int>(spans.size()), marks);
    std::vector<ColourRun> runs;
    int start = 0;
    for (int i = 0; i < count; ++i) {
        runs.push_back({line.substr(static_cast<size_t>(start), static_cast<size_t>(spans[i].end - start)),
                        spans[i].colour, spans[i].background, spans[i].keyword != nullptr, spans[i].hyperlink != 0});
        start = spans[i].end;
    }
    return runs;
}

// One line of a golden file: the end state, then every run as [text]#rrggbb with /background,
// +keyword and +link marks.
std::string Describe(const std::vector<ColourRun>& runs, int state)
{
    std::string out = "state " + std::to_string(state) + ":";
    for (const ColourRun& r : runs) {
        char colour[32];
        std::snprintf(colour, sizeof(colour), "#%02x%02x%02x", r.colour & 0xFF, (r.colour >> 8) & 0xFF, (r.colour >> 16) & 0xFF);
        out += " [" + r.text + "]" + colour;
        if (r.background != kNoColour) {
            std::snprintf(colour, sizeof(colour), "/%06x", r.background);
            out += colour;
        }
        if (r.keyword)
            out += "+kw";
        if (r.link)
            out += "+link";
    }
    return out;
}

std::string Colourise(const ParserConfig& c, const std::string& text)
{
    TextStore store;
    store.Assign(text);
    std::string out;
    int state = -1;
    for (int i = 0; i < store.LineCount(); ++i) {
        const std::string line(store.LineText(i));
        int end = 0;
        const auto runs = Runs(c, state, line, &end);
        out += Describe(runs, end) + "\n";
        state = end;
    }
    return out;
}

std::unique_ptr<ParserConfig> Config(FakeEnvironment& env, const std::string& text)
{
    auto c = LoadParserConfigText(text, "test", false, env);
    EXPECT_TRUE(c);
    return c;
}

} // namespace

TEST(SyntaxParser, KeywordHash)
{
    EXPECT_EQ(KeywordHash("abc", 3, false), 0x3C5F);
    EXPECT_EQ(KeywordHash("ABC", 3, true), 0x8DFD);
    EXPECT_EQ(KeywordHash("ABC", 3, false), 0x3C5F);
}

TEST(SyntaxParser, BlocksEscapesNumbersAndLinks)
{
    FakeEnvironment env;
    auto c = Config(env, "Delimiters=;(),\nEscape=\\\nParseHyperlinks=Y\nNumberRGB=9,9,9\n"
                         "Block=comment\nRGB=0,128,0\nStart=/*\nEnd=*/\nEndBlock\n"
                         "Block=string\nRGB=1,2,3\nStart=\"\nEnd=\"\nEndBlock\n"
                         "Block=line\nRGB=4,5,6\nStart=#\nEnd=\\n\nEndBlock\n"
                         "Block=word\nRGB=7,7,7\nStart=$\nEndBlock\n"
                         "RGB=0,0,255\nKeywords\nonClick\nEndKeywords\n");
    int state = 0;
    // A comment left open keeps its state; the next line starts in its colours.
    Runs(*c, -1, "x /* open", &state);
    EXPECT_EQ(state, 0);
    auto runs = Runs(*c, state, "still */ y", &state);
    EXPECT_EQ(state, -1);
    EXPECT_EQ(runs[0].text, "still */");
    EXPECT_EQ(runs[0].colour, MakeColour(0, 128, 0));
    // One backslash escapes the quote, two do not.
    runs = Runs(*c, -1, R"(a "b\" c" d)", &state);
    EXPECT_EQ(runs[2].text, R"("b\" c")");
    runs = Runs(*c, -1, R"("b\\" c)", &state);
    EXPECT_EQ(runs[0].text, R"("b\\")");
    // A line block ending in a single escape character goes on at the next line.
    Runs(*c, -1, "# note \\", &state);
    EXPECT_EQ(state, 2);
    Runs(*c, 2, "# note", &state);
    EXPECT_EQ(state, -1);
    // A block without an end text stops at white space or a delimiter.
    runs = Runs(*c, -1, "$var;rest", &state);
    EXPECT_EQ(runs[0].text, "$var");
    // Numbers begin with a digit; keywords match without regard to case.
    runs = Runs(*c, -1, "123abc abc123 ONCLICK", &state);
    EXPECT_EQ(runs[0].colour, MakeColour(9, 9, 9));
    EXPECT_EQ(runs[2].colour, env.SystemColourValue(SystemColour::kWindowText));
    EXPECT_TRUE(runs[4].keyword);
    // A link right behind a double quote runs to the next quote; glued to a word it is none.
    runs = Runs(*c, -1, R"(x "http://a.b/c d" xhttp://no)", &state);
    bool sawLink = false;
    for (const ColourRun& r : runs) {
        if (r.link) {
            EXPECT_EQ(r.text, "http://a.b/c d");
            sawLink = true;
        }
        EXPECT_NE(r.text, "http://no");
    }
    EXPECT_TRUE(sawLink);
    runs = Runs(*c, -1, "see www.example.org now", &state);
    EXPECT_EQ(runs[2].text, "www.example.org");
    EXPECT_TRUE(runs[2].link);
    // An empty line writes no run and keeps the state before it.
    std::vector<ColorSpan> spans(2);
    int count = 77;
    EXPECT_EQ(ParseLine(*c, 0, "", 0, spans.data(), &count, 2), 0);
    EXPECT_EQ(count, 77);
    // A highlighted bracket gets the bracket background.
    BracketMarks marks{1, -1};
    runs = Runs(*c, -1, "f(x)", &state, &marks);
    EXPECT_EQ(runs[1].text, "(");
    EXPECT_EQ(runs[1].background, c->colours[kBracketMatchRGB]);
}

TEST(SyntaxParser, BackgroundParsingReachesTheEndAndStopsWhenStable)
{
    FakeEnvironment env;
    auto c = Config(env, "Block=c\nStart=/*\nEnd=*/\nEndBlock\n");
    TextStore store;
    std::string text = "/*\n";
    for (int i = 0; i < 10000; ++i)
        text += "line\n";
    store.Assign(text + "*/ done");
    int frontier = 0;
    int slices = 0;
    while (ParseUpTo(*c, store, frontier, frontier + 2000))
        ++slices;
    EXPECT_EQ(frontier, -1);
    EXPECT_EQ(slices, 4);
    EXPECT_EQ(store.Line(5000).endState, 0);
    EXPECT_EQ(store.Line(10001).endState, -1);
    // Closing the comment at once changes every state below; the pass runs to the end.
    store.RawInsertText({2, 0}, " */", nullptr);
    frontier = 0;
    while (ParseUpTo(*c, store, frontier, frontier + 2000, 1)) {
    }
    EXPECT_EQ(store.Line(5000).endState, -1);
    // An edit that changes no state stops right after the changed line.
    store.RawInsertText({0, 3000}, "x", nullptr);
    frontier = 3000;
    EXPECT_FALSE(ParseUpTo(*c, store, frontier, 5000, 3001));
    EXPECT_EQ(frontier, -1);
}

// A row scrolled to the right keeps only the runs it shows, in the same colours.
TEST(SyntaxParser, RunsFromAVisibleColumnOnMatchTheWholeLine)
{
    FakeEnvironment env;
    auto c = LoadParserConfigText(BuiltinConfigText("html.qpp"), "MemoryHandle", true, env);
    ASSERT_TRUE(c);
    std::string line;
    for (int i = 0; i < 200; ++i)
        line += "<a href=\"http://x.org/" + std::to_string(i) + "\" class=row>t&amp;" + std::to_string(i) + "</a> ";
    auto colourAt = [&](const std::vector<ColorSpan>& spans, int count, int column) {
        for (int i = 0; i < count; ++i)
            if (column < spans[i].end)
                return std::make_pair(spans[i].colour, spans[i].background);
        return std::make_pair(Colour{0}, Colour{0});
    };
    const int length = static_cast<int>(line.size());
    std::vector<ColorSpan> whole(line.size() + 2);
    int wholeCount = 0;
    ParseLine(*c, -1, line.data(), length, whole.data(), &wholeCount, length + 2);
    for (int skip : {1, 17, 1000, 5000, length - 3}) {
        std::vector<ColorSpan> part(static_cast<size_t>(length - skip) + 4);
        int count = 0;
        ParseLine(*c, -1, line.data(), length, part.data(), &count, static_cast<int>(part.size()), nullptr, skip);
        EXPECT_LE(count, length - skip + 4);
        for (int column = skip; column < length; ++column)
            ASSERT_EQ(colourAt(part, count, column), colourAt(whole, wholeCount, column)) << skip << " " << column;
    }
}

// The built-in configurations on real samples, against golden files. On a difference the new
// output is written beside the build as a .new file to review.
TEST(SyntaxParser, GoldenRunsOfRealSamples)
{
    struct Case {
        const char* config;
        const char* sample;
    };
    const Case cases[] = {{"html.qpp", "sample.html"}, {"css.qpp", "sample.css"}, {"javascript.qpp", "sample.js"}};
    for (const Case& c : cases) {
        FakeEnvironment env;
        auto config = LoadParserConfigText(BuiltinConfigText(c.config), "MemoryHandle", true, env);
        ASSERT_TRUE(config);
        const std::string sample = ReadFile(std::string(EDITCTL_TEST_DATA "/") + c.sample);
        ASSERT_FALSE(sample.empty());
        const std::string actual = Colourise(*config, sample);
        // The same text with CR LF breaks colours the same.
        std::string crlf;
        for (char ch : sample)
            crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        EXPECT_EQ(Colourise(*config, crlf), actual) << c.sample;
        const std::string golden = std::string(EDITCTL_TEST_DATA "/") + c.sample + ".runs";
        const std::string expected = ReadFile(golden);
        if (expected != actual) {
            std::ofstream(std::string(EDITCTL_BUILD_DIR "/") + c.sample + ".runs.new", std::ios::binary) << actual;
            ADD_FAILURE() << c.sample << ": colour runs differ from " << golden << "; see " << c.sample << ".runs.new in the build folder";
        }
    }
}

// The states kept while parsing (end states of lines, checkpoints inside long lines) against a
// whole parse from the top, after each of many random edits (fixed seed) of texts that hold
// lines of tens of kilobytes; and the runs of a row that starts at a checkpoint against the
// runs of the same row parsed from the line's start.
TEST(SyntaxParser, KeptStatesMatchAWholeParseAfterRandomEdits)
{
    struct Case {
        const char* config;
        const char* sample;
    };
    const Case cases[] = {{"html.qpp", "sample.html"}, {"css.qpp", "sample.css"}, {"javascript.qpp", "sample.js"}};
    const char* const pieces[] = {"<!--", "-->", "\"", "'", "/*", "*/", "//", "<", ">", " ", "  ", "\\", "x",
                                  "http://a.b/c", "<script>", "</script>", "&amp;", "\n", "\r\n", "12", "{", "}"};
    std::mt19937 random(20240924);
    int rowsChecked = 0;
    for (const Case& c : cases) {
        FakeEnvironment env;
        auto config = LoadParserConfigText(BuiltinConfigText(c.config), "MemoryHandle", true, env);
        ASSERT_TRUE(config);
        const std::string sample = ReadFile(std::string(EDITCTL_TEST_DATA "/") + c.sample);
        ASSERT_FALSE(sample.empty());
        // Short lines as the sample has them, then the sample minified to one line several times.
        std::string flat;
        for (char ch : sample)
            flat += ch == '\n' || ch == '\r' ? ' ' : ch;
        std::string text = sample;
        for (int i = 0; i < 2; ++i) {
            std::string longLine;
            while (longLine.size() < static_cast<size_t>(3 * kLongLine))
                longLine += flat;
            text += "\n" + longLine + "\nshort line\n";
        }
        TextStore store;
        store.Assign(text);
        int frontier = 0;
        while (ParseUpTo(*config, store, frontier, frontier + 2000)) {
        }
        for (int edit = 0; edit < 300; ++edit) {
            // Mostly near the end of a long line, where typing happens, and anywhere else.
            int line = static_cast<int>(random() % static_cast<unsigned>(store.LineCount()));
            if (edit % 2 == 0)
                for (int i = 0; i < store.LineCount(); ++i)
                    if (store.Line(i).length >= kLongLine && random() % 2 == 0)
                        line = i;
            const int length = store.Line(line).length;
            int column = static_cast<int>(random() % static_cast<unsigned>(length + 1));
            if (edit % 3 == 0 && length > 0)
                column = std::max(0, length - static_cast<int>(random() % 3000));
            int changedTo = line;
            if (random() % 3 == 0) {
                const int lines = static_cast<int>(random() % 2);
                TextPos from{column, line};
                TextPos to{column + static_cast<int>(random() % 40), std::min(store.LineCount() - 1, line + lines)};
                to = store.Clamp(to);
                if (to < from)
                    std::swap(from, to);
                ASSERT_TRUE(store.RawDeleteRange(from, to));
            } else {
                TextPos end{};
                ASSERT_TRUE(store.RawInsertText({column, line}, pieces[random() % std::size(pieces)], &end));
                changedTo = end.line;
            }
            frontier = line;
            while (ParseUpTo(*config, store, frontier, frontier + 2000, changedTo + 1)) {
            }
            int state = -1;
            for (int i = 0; i < store.LineCount(); ++i) {
                const LineRecord& r = store.Line(i);
                state = ParseLine(*config, state, r.text, r.length, nullptr, nullptr, 0);
                ASSERT_EQ(r.endState, state) << c.sample << " edit " << edit << " line " << i;
            }
            // A row of a long line as the painter parses it: the display text is the line cut
            // a little past the row's end, and parsing starts at the last usable checkpoint.
            for (int i = 0; i < store.LineCount(); ++i) {
                const LineRecord& r = store.Line(i);
                if (r.length < kLongLine)
                    continue;
                const int start = i == 0 ? -1 : store.Line(i - 1).endState;
                const LineCheckpoints* kept = store.Checkpoints(i);
                if (!CheckpointsUsable(*config, kept, start))
                    continue;  // the whole line lies in a block: there is nowhere to resume
                ++rowsChecked;
                const int skip = static_cast<int>(random() % static_cast<unsigned>(r.length));
                const int cut = std::min(r.length, skip + 120 + static_cast<int>(random() % 300));
                if (cut <= kCheckpointLookahead)
                    continue;
                const uint32_t resume = LastCheckpointAtOrBefore(*kept, std::min(skip, cut - kCheckpointLookahead));
                std::vector<ColorSpan> whole(static_cast<size_t>(cut) + 2), part(static_cast<size_t>(cut - skip) + 4);
                int wholeCount = 0, partCount = 0;
                ParseLine(*config, start, r.text, cut, whole.data(), &wholeCount, cut + 2);
                ParseLineFrom(*config, resume, start, r.text, cut, part.data(), &partCount,
                              static_cast<int>(part.size()), nullptr, skip, nullptr);
                int a = 0, b = 0;
                for (int at = skip; at < cut; ++at) {
                    while (whole[static_cast<size_t>(a)].end <= at)
                        ++a;
                    while (part[static_cast<size_t>(b)].end <= at)
                        ++b;
                    ASSERT_EQ(part[static_cast<size_t>(b)].colour, whole[static_cast<size_t>(a)].colour)
                        << c.sample << " edit " << edit << " column " << at;
                    ASSERT_EQ(part[static_cast<size_t>(b)].background, whole[static_cast<size_t>(a)].background)
                        << c.sample << " edit " << edit << " column " << at;
                }
            }
        }
    }
    EXPECT_GT(rowsChecked, 300);
}
