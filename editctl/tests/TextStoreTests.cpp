// The text store and its undo history, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "editctl/model/EditDocument.h"
#include "editctl/model/TextFile.h"
#include "editctl/model/TextUtil.h"

using namespace quill;

namespace {

// The whole text with lines joined by LF, for comparing.
std::string Dump(const TextStore& t)
{
    std::string out;
    for (int i = 0; i < t.LineCount(); ++i) {
        if (i)
            out += '\n';
        out += t.LineText(i);
    }
    return out;
}

} // namespace

TEST(TextStore, InsertionSplitsAtEveryKindOfBreak)
{
    struct Case {
        const char* start;
        TextPos at;
        const char* text;
        const char* expected;
        TextPos end;
    };
    const Case cases[] = {
        {"xy", {1, 0}, "a\r\nb", "xa\nby", {1, 1}},
        {"xy", {1, 0}, "a\n\rb", "xa\nby", {1, 1}},
        // Blank lines of LF-only and CR-only text are kept: two breaks make two lines.
        {"", {0, 0}, "a\n\nb", "a\n\nb", {1, 2}},
        {"", {0, 0}, "a\r\rb", "a\n\nb", {1, 2}},
        {"", {0, 0}, "a\r\n\r\nb", "a\n\nb", {1, 2}},
        {"", {0, 0}, "a\n\r\nb", "a\n\nb", {1, 2}},
        {"", {0, 0}, "\n\n\n", "\n\n\n", {0, 3}},
        {"tail", {0, 0}, "x\ty", "x\tytail", {3, 0}},
    };
    for (const Case& c : cases) {
        TextStore t;
        t.Assign(c.start);
        TextPos end;
        ASSERT_TRUE(t.RawInsertText(c.at, c.text, &end)) << c.text;
        EXPECT_EQ(Dump(t), c.expected) << c.text;
        EXPECT_EQ(end, c.end) << c.text;
    }
}

TEST(TextStore, DeletionAcrossLinesJoinsThem)
{
    TextStore t;
    t.Assign("abcdef\nmiddle\nuvwxyz\nlast");
    ASSERT_TRUE(t.RawDeleteRange({3, 0}, {1, 2}));
    EXPECT_EQ(Dump(t), "abcvwxyz\nlast");
    ASSERT_TRUE(t.RawDeleteRange({0, 0}, t.EndPosition()));
    EXPECT_EQ(t.LineCount(), 1);  // never empty
    EXPECT_FALSE(t.HasText());
    EXPECT_FALSE(t.RawDeleteRange({0, 0}, {5, 0}));  // past the end: refused
}

TEST(TextStore, LoadingKeepsEveryLineOfMixedBreaks)
{
    // A CR LF file with one bare LF and one bare CR line end: no lines are joined.
    TextStore t;
    t.Assign("one\r\ntwo\nthree\rfour\r\n");
    EXPECT_EQ(Dump(t), "one\ntwo\nthree\nfour\n");
    EXPECT_EQ(t.TotalLength(), 15);
    EXPECT_EQ(DetectFileMode("a\nb\r\nc", 0), kFileModeLf);
    EXPECT_EQ(DetectFileMode("a\r\nb\nc", 1), kFileModeCrLf);
    EXPECT_EQ(DetectFileMode("a\rb", 0), kFileModeCr);
    EXPECT_EQ(DetectFileMode("no break", 2), 2);
    EXPECT_EQ(DetectFileMode(std::string(40000, 'x') + "\n", 0), 0);  // beyond the first chunk
}

TEST(TextStore, SavingTrimsOnlyTheOutput)
{
    TextStore t;
    t.Assign("a  \nb\t\n");
    EXPECT_EQ(SerializeText(t, kFileModeCrLf, true), "a\r\nb\r\n");
    EXPECT_EQ(SerializeText(t, kFileModeLf, false), "a  \nb\t\n");
    EXPECT_EQ(SerializeText(t, kFileModeCr, false), "a  \rb\t\r");
    EXPECT_EQ(t.LineText(0), "a  ");  // memory untouched, so undo positions stay valid
}

TEST(TextStore, BackupNames)
{
    EXPECT_EQ(BackupFileName("c:\\d\\notes.txt", 0, "", "t:\\"), "c:\\d\\notes.bak");
    EXPECT_EQ(BackupFileName("c:\\d\\notes.txt", 1, "", "t:\\"), "c:\\d\\notes.bak.txt");
    EXPECT_EQ(BackupFileName("c:\\d\\notes.txt", 2, "", "t:\\"), "c:\\d\\notes.txt.bak");
    EXPECT_EQ(BackupFileName("c:\\d\\notes.txt", 3, "", "t:\\tmp"), "t:\\tmp\\notes.txt");
    EXPECT_EQ(BackupFileName("c:\\d\\notes.txt", 3, "e:\\b\\", "t:\\"), "e:\\b\\notes.txt");
    EXPECT_EQ(BackupFileName("c:\\d.x\\readme", 0, "", ""), "c:\\d.x\\readme.bak");
}

TEST(Undo, GroupsUndoAndRedoAsAWhole)
{
    EditDocument doc;
    // Five typed characters in one group, then a second group that deletes two of them.
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(doc.InsertText({i, 0}, std::string(1, static_cast<char>('a' + i)), nullptr, i == 0));
    ASSERT_TRUE(doc.DeleteText({1, 0}, {3, 0}, true));
    EXPECT_EQ(Dump(doc.Text()), "ade");
    EXPECT_EQ(doc.UndoAt(1).kind, kUndoInsertion);  // later steps of a group have bit 0 clear
    EXPECT_EQ(doc.Undo().records, 1);
    EXPECT_EQ(Dump(doc.Text()), "abcde");
    const UndoOutcome all = doc.Undo();
    EXPECT_EQ(all.records, 5);
    EXPECT_EQ(Dump(doc.Text()), "");
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.Redo().records, 5);
    EXPECT_EQ(Dump(doc.Text()), "abcde");
    EXPECT_EQ(doc.Redo().records, 1);
    EXPECT_EQ(Dump(doc.Text()), "ade");
    EXPECT_EQ(doc.Redo().records, 0);
}

TEST(Undo, ANewStepAfterUndoingPastTheSaveKeepsTheTextModified)
{
    EditDocument doc;
    doc.InsertText({0, 0}, "a", nullptr, true);
    doc.InsertText({1, 0}, "b", nullptr, true);
    doc.MarkSaved();  // saved at "ab"
    doc.Undo();
    doc.InsertText({1, 0}, "x", nullptr, true);  // "ax": the position equals the saved one again
    EXPECT_TRUE(doc.Modified());
}

TEST(Undo, EvictionDropsTheOldestGroupButNeverTheOpenOne)
{
    EditDocument doc;
    doc.SetUndoLimit(100);
    doc.MarkSaved();
    for (int i = 0; i < 100; ++i)
        doc.InsertText({i, 0}, "x", nullptr, true);
    doc.InsertText({100, 0}, "y", nullptr, true);  // the 101st record drops the first group
    EXPECT_EQ(doc.UndoCount(), 100);
    doc.UndoAll();
    EXPECT_EQ(doc.Text().LineText(0), "x");
    EXPECT_TRUE(doc.Modified());  // the saved state can no longer be reached

    // One command of 250 steps (a tab over 250 lines) stays undoable whole.
    EditDocument big;
    big.SetUndoLimit(100);
    big.Text().Assign(std::string(249, '\n'));
    for (int line = 0; line < 250; ++line)
        ASSERT_TRUE(big.InsertText({0, line}, "\t", nullptr, line == 0));
    EXPECT_EQ(big.UndoCount(), 250);
    EXPECT_EQ(big.Undo().records, 250);
    EXPECT_EQ(big.Text().TotalLength(), 0);
}

TEST(Undo, ReplayRefusesPositionsThatNoLongerExist)
{
    EditDocument doc;
    doc.InsertText({0, 0}, "    ", nullptr, true);
    doc.InsertText({4, 0}, "\r\n", nullptr, true);
    // A change made behind the history's back (what a trim outside undo would do).
    doc.Text().RawDeleteRange({0, 0}, {4, 0});
    const UndoOutcome out = doc.Undo();  // would delete from (4,0), which no longer exists
    EXPECT_EQ(out.records, 0);
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(Dump(doc.Text()), "\n");
}

// Random edits against a plain string model: after every step, and after undoing and redoing
// everything, the store must hold exactly what the model holds.
TEST(Undo, RandomEditsMatchAStringModel)
{
    for (unsigned seed : {1u, 2u, 3u, 42u}) {
        std::mt19937 rng(seed);
        EditDocument doc;
        doc.SetUndoLimit(100000);
        std::vector<std::string> history{""};  // the model after each group
        const char* pieces[] = {"a", "bc", "\r\n", "\n", "\r", "x\ny", "\n\n", "\r\r", "\t", "long text "};
        for (int step = 0; step < 300; ++step) {
            TextStore& t = doc.Text();
            const int before = doc.UndoCount();
            const int line = static_cast<int>(rng() % static_cast<unsigned>(t.LineCount()));
            const int column = static_cast<int>(rng() % static_cast<unsigned>(t.Line(line).length + 1));
            if (rng() % 3 == 0 && t.HasText()) {
                const TextPos end = t.Clamp({column + static_cast<int>(rng() % 5), line + static_cast<int>(rng() % 2)});
                ASSERT_TRUE(doc.DeleteText({column, line}, end, true));
            } else {
                ASSERT_TRUE(doc.InsertText({column, line}, pieces[rng() % std::size(pieces)], nullptr, true));
            }
            if (doc.UndoCount() == before)
                continue;  // an empty range deletes nothing and records nothing
            history.push_back(Dump(t));
            EXPECT_EQ(t.TotalLength(), static_cast<int64_t>(history.back().size()) - (t.LineCount() - 1));
            if (rng() % 10 == 0) {  // undo a few groups, then redo them
                const int n = static_cast<int>(rng() % 4) + 1;
                int done = 0;
                for (; done < n && doc.CanUndo(); ++done)
                    doc.Undo();
                ASSERT_EQ(Dump(t), history[history.size() - 1 - static_cast<size_t>(done)]) << "seed " << seed;
                for (int i = 0; i < done; ++i)
                    doc.Redo();
                ASSERT_EQ(Dump(t), history.back()) << "seed " << seed;
            }
        }
        doc.UndoAll();
        EXPECT_EQ(Dump(doc.Text()), "") << "seed " << seed;
        EXPECT_FALSE(doc.Modified());
        doc.RedoAll();
        EXPECT_EQ(Dump(doc.Text()), history.back()) << "seed " << seed;
        EXPECT_TRUE(doc.Modified());
    }
}

// The word-at-a-time byte search and count against a plain loop, at every offset and length of
// random text that mixes line breaks, tabs and bytes with the top bit set; and the text search
// built on them, in both cases.
TEST(TextUtil, ByteSearchMatchesAPlainLoop)
{
    std::mt19937 rng(20240924);
    const char alphabet[] = {'\n', '\r', '\t', 'a', 'A', 'b', ' ', '\x8a', '\x8d', '\x89', '\xff', '\x00'};
    std::string text(200, ' ');
    for (char& c : text)
        c = alphabet[rng() % std::size(alphabet)];
    for (size_t from = 0; from < 24; ++from) {
        for (size_t length = 0; from + length <= text.size(); ++length) {
            const char* p = text.data() + from;
            const std::string_view piece(p, length);
            const size_t lfs = static_cast<size_t>(std::count(piece.begin(), piece.end(), '\n'));
            ASSERT_EQ(CountLfUnlessCr(p, length), piece.find('\r') == piece.npos ? lfs : kHasCr) << from << " " << length;
            for (char c : {'\n', '\r', '\t', '\x8a', '\x00'}) {
                const char* expected = nullptr;
                size_t count = 0;
                for (size_t i = 0; i < length; ++i) {
                    if (p[i] == c) {
                        expected = expected ? expected : p + i;
                        ++count;
                    }
                }
                ASSERT_EQ(FindByte(p, length, c), expected) << from << " " << length << " " << int(c);
                ASSERT_EQ(CountByte(p, length, c), count) << from << " " << length << " " << int(c);
            }
        }
    }
    const std::string_view hay(text);
    for (const char* needle : {"a", "ab", "Ab", "\n\r", "b a", "\x8a\x8d"}) {
        for (size_t from = 0; from <= hay.size(); from += 7) {
            EXPECT_EQ(FindText(hay, needle, from, true), hay.find(needle, from)) << needle << " " << from;
            size_t blind = std::string_view::npos;
            for (size_t i = from; i + std::strlen(needle) <= hay.size() && blind == std::string_view::npos; ++i)
                if (EqualBytes(hay.data() + i, needle, std::strlen(needle), false))
                    blind = i;
            EXPECT_EQ(FindText(hay, needle, from, false), blind) << needle << " " << from;
        }
    }
}

// Loading splits LF text, and text with other breaks, into the same lines as inserting it does,
// with the same display widths; widths stay right while a long line is typed into and cut.
TEST(TextStore, LoadedLinesAndWidthsMatchInsertedOnes)
{
    std::mt19937 rng(7);
    const char* pieces[] = {"word ", "\t", "\n", "x", "\r\n", "  ", "\n\n"};
    for (bool lfOnly : {true, false}) {
        std::string text;
        for (int i = 0; i < 3000; ++i) {
            const char* piece = pieces[rng() % std::size(pieces)];
            if (!lfOnly || std::strchr(piece, '\r') == nullptr)
                text += piece;
        }
        TextStore loaded, inserted;
        loaded.Assign(text);
        ASSERT_TRUE(inserted.RawInsertText({0, 0}, text, nullptr));
        ASSERT_EQ(loaded.LineCount(), inserted.LineCount());
        ASSERT_EQ(loaded.TotalLength(), inserted.TotalLength());
        ASSERT_EQ(loaded.LongestWidth(), inserted.LongestWidth());
        for (int i = 0; i < loaded.LineCount(); ++i) {
            ASSERT_EQ(loaded.LineText(i), inserted.LineText(i)) << i;
            ASSERT_EQ(loaded.Line(i).width, inserted.Line(i).width) << i;
        }
    }
    // One long line typed into and cut at random places: its width is what a fresh measure gives.
    TextStore store;
    store.Assign(std::string(5000, 'a'));
    for (int step = 0; step < 400; ++step) {
        const int length = store.Line(0).length;
        const int column = static_cast<int>(rng() % static_cast<unsigned>(length + 1));
        if (rng() % 3 == 0)
            ASSERT_TRUE(store.RawDeleteRange({column, 0}, store.Clamp({column + 1 + static_cast<int>(rng() % 9), 0})));
        else
            ASSERT_TRUE(store.RawInsertText({column, 0}, rng() % 8 == 0 ? "\t" : "bc", nullptr));
        TextStore fresh;
        fresh.Assign(store.LineText(0));
        ASSERT_EQ(store.Line(0).width, fresh.Line(0).width) << step;
        ASSERT_EQ(store.Line(0).flags & kLineHasTab, fresh.Line(0).flags & kLineHasTab) << step;
    }
}

// A loaded line lies in the load block until it changes; then it has a buffer of its own whose
// room grows in steps of 16 (by half again once it has some). The parse checkpoints of a line
// share its flags word: setting and clearing the other flags keeps them, and dropping them keeps
// the flags.
TEST(TextStore, OwnBuffersAndCheckpointSlotsBesideTheFlags)
{
    TextStore store;
    store.Assign(std::string("abc\n") + std::string(40, 'x') + "\nlast");
    for (int i = 0; i < store.LineCount(); ++i) {
        EXPECT_EQ(TextStore::Capacity(store.Line(i)), 0) << i;
        EXPECT_EQ(store.Line(i).flags & kLineOwnsText, 0u) << i;
    }
    struct Step {
        TextPos at;
        const char* text;
        int capacity;  // of the changed line afterwards
    };
    const Step steps[] = {
        {{3, 0}, "d", 16},                 // 4 characters
        {{4, 0}, "0123456789ab", 16},      // 16
        {{16, 0}, "q", 32},                // 17: the next step of 16, more than half again
        {{40, 1}, "y", 48},                // a loaded line of 41 characters: the step of 16 above
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(store.RawInsertText(step.at, step.text, nullptr)) << step.text;
        const LineRecord& line = store.Line(step.at.line);
        EXPECT_NE(line.flags & kLineOwnsText, 0u) << step.text;
        EXPECT_EQ(TextStore::Capacity(line), step.capacity) << step.text;
    }
    EXPECT_EQ(store.LineText(0), "abcd0123456789abq");
    EXPECT_EQ(store.LineText(1), std::string(40, 'x') + "y");

    LineCheckpoints& kept = store.MakeCheckpoints(2);
    kept.startState = 3;
    kept.marks = {2u << 1};
    LineRecord& record = store.LineRecordAt(2);
    record.flags |= kLineBookmark | kLineCaseFixPending;
    record.flags &= ~static_cast<uint32_t>(kLineCaseFixPending);
    ASSERT_NE(store.Checkpoints(2), nullptr);
    EXPECT_EQ(store.Checkpoints(2)->startState, 3);
    EXPECT_EQ(store.Checkpoints(1), nullptr);
    EXPECT_EQ(store.Checkpoints(0), nullptr);
    store.ClearCheckpoints();
    EXPECT_EQ(store.Checkpoints(2), nullptr);
    EXPECT_EQ(store.Line(2).flags & kLineFlagBits, static_cast<uint32_t>(kLineBookmark));
}
