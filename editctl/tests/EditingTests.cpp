// The editing half under Wine, driven as a user drives it: key presses through the HTML
// configuration's bindings, typed characters, the clipboard, bookmarks and brackets.
#include "editctl/tests/EditFixture.h"

#include "editctl/model/MessageIds.h"

using namespace quill;
using namespace quill::testing;

namespace {

struct Key {
    int vk;
    int q = 0;
};

int VkOf(char c) { return VkKeyScanA(c) & 0xFF; }

class Editing : public EditFixture {};

struct KeyRow {
    const char* what;
    const char* text;
    int caretColumn, caretLine;
    QPRange selection;  // all 0: none
    std::vector<Key> keys;
    const char* expectedText;
    const char* expectedWhere;
};

} // namespace

// Each row: a text, a caret or selection, key presses; then the text, caret and selection. Then
// undoing everything must give back the text exactly as it was.
TEST_F(Editing, KeyPressesThroughTheHtmlBindings)
{
    ASSERT_STREQ(ed->config->name.c_str(), "HTML");
    const int kTab = VK_TAB, kRet = VK_RETURN;
    const QPRange none{0, 0, 0, 0};
    const KeyRow rows[] = {
        {"right", "abc", 0, 0, none, {{VK_RIGHT}}, "abc", "1,0"},
        {"right over a line end", "abc\r\ndef", 3, 0, none, {{VK_RIGHT}}, "abc\r\ndef", "0,1"},
        {"right collapses a selection first", "abc\r\ndef", 0, 0, {1, 0, 2, 0}, {{VK_RIGHT}}, "abc\r\ndef", "2,0"},
        {"then moves", "abc\r\ndef", 0, 0, {1, 0, 2, 0}, {{VK_RIGHT}, {VK_RIGHT}}, "abc\r\ndef", "3,0"},
        {"shift right twice", "abc", 0, 0, none, {{VK_RIGHT, kShift}, {VK_RIGHT, kShift}}, "abc", "2,0 0,0-2,0"},
        {"shift left over a break", "ab\r\ncd", 0, 1, none, {{VK_LEFT, kShift}}, "ab\r\ncd", "2,0 2,0-0,1"},
        {"extend then shrink back to nothing", "abc", 1, 0, none, {{VK_RIGHT, kShift}, {VK_LEFT, kShift}}, "abc",
         "1,0"},
        {"home to the first non-blank", "    foo", 6, 0, none, {{VK_HOME}}, "    foo", "4,0"},
        {"home twice toggles to column 0", "    foo", 6, 0, none, {{VK_HOME}, {VK_HOME}}, "    foo", "0,0"},
        {"end", "abc", 0, 0, none, {{VK_END}}, "abc", "3,0"},
        {"ctrl right: next word", "one two", 0, 0, none, {{VK_RIGHT, kCtrl}}, "one two", "4,0"},
        {"ctrl right stops at a delimiter", "ab<cd", 0, 0, none, {{VK_RIGHT, kCtrl}}, "ab<cd", "2,0"},
        {"ctrl left: previous word", "one two", 7, 0, none, {{VK_LEFT, kCtrl}}, "one two", "4,0"},
        {"ctrl end", "abc\r\ndef", 1, 0, none, {{VK_END, kCtrl}}, "abc\r\ndef", "3,1"},
        {"shift ctrl home", "abc\r\ndef", 1, 1, none, {{VK_HOME, kCtrl | kShift}}, "abc\r\ndef", "0,0 0,0-1,1"},
        {"down on the last line goes to its end", "abc\r\nxy", 1, 1, none, {{VK_DOWN}}, "abc\r\nxy", "2,1"},
        {"down keeps the display column", "a\tb\r\nabcdefg", 2, 0, none, {{VK_DOWN}}, "a\tb\r\nabcdefg", "4,1"},
        {"return indents with a tab", "    x", 5, 0, none, {{kRet}}, "    x\r\n\t", "1,1"},
        {"return on a blank line empties it", "    ", 4, 0, none, {{kRet}}, "\r\n\t", "1,1"},
        {"backspace", "abc", 3, 0, none, {{VK_BACK}}, "ab", "2,0"},
        {"backspace joins lines", "ab\r\ncd", 0, 1, none, {{VK_BACK}}, "abcd", "2,0"},
        {"delete joins lines", "ab\r\ncd", 2, 0, none, {{VK_DELETE}}, "abcd", "2,0"},
        {"delete at the end does nothing", "ab", 2, 0, none, {{VK_DELETE}}, "ab", "2,0"},
        {"delete the selection", "abcd", 0, 0, {1, 0, 3, 0}, {{VK_DELETE}}, "ad", "1,0"},
        {"alt delete: the line", "a\r\nb\r\nc", 0, 1, none, {{VK_DELETE, kAlt}}, "a\r\nc", "0,1"},
        {"alt delete: the last line", "a\r\nb", 0, 1, none, {{VK_DELETE, kAlt}}, "a", "0,0"},
        {"shift delete: to the line end", "abcd", 1, 0, none, {{VK_DELETE, kShift}}, "a", "1,0"},
        {"alt shift t swaps with the line above", "a\r\nb", 0, 1, none, {{VkOf('t'), kAlt | kShift}}, "b\r\na", "0,0"},
        {"tab indents the selected lines", "l0\r\nl1\r\nl2\r\nl3\r\nl4\r\nl5\r\nl6", 0, 0, {2, 3, 0, 6}, {{kTab}},
         "l0\r\nl1\r\nl2\r\n\tl3\r\n\tl4\r\n\tl5\r\nl6", "0,6 0,3-0,6"},
        {"shift tab takes four of six spaces", "      x\r\ny", 0, 0, {0, 0, 0, 1}, {{kTab, kShift}}, "  x\r\ny",
         "0,1 0,0-0,1"},
        {"tab without a selection types one", "ab", 1, 0, none, {{kTab}}, "a\tb", "2,0"},
        {"alt u: the word to upper case", "hello world", 1, 0, none, {{VkOf('u'), kAlt}}, "HELLO world", "5,0"},
        {"ctrl shift u: the selection", "hello world", 0, 0, {6, 0, 11, 0}, {{VkOf('u'), kCtrl | kShift}},
         "hello WORLD", "11,0"},
        {"ctrl back: the start of the word", "abc def", 7, 0, none, {{VK_BACK, kCtrl}}, "abc ", "4,0"},
        {"ctrl shift delete: the word", "abc def", 5, 0, none, {{VK_DELETE, kCtrl | kShift}}, "abc ", "4,0"},
        {"ctrl a", "ab\r\ncd", 0, 0, none, {{VkOf('a'), kCtrl}}, "ab\r\ncd", "2,1 0,0-2,1"},
        {"ctrl shift l marks the line", "ab\r\ncd", 1, 0, none, {{VkOf('l'), kCtrl | kShift}}, "ab\r\ncd",
         "0,1 0,0-0,1"},
        {"escape clears the selection", "abc", 0, 0, {0, 0, 2, 0}, {{VK_ESCAPE}}, "abc", "2,0"},
        {"a letter types once", "abc", 0, 0, none, {{VkOf('q')}}, "qabc", "1,0"},
        {"shift letter", "abc", 0, 0, none, {{VkOf('q'), kShift}}, "Qabc", "1,0"},
        {"typing replaces the selection", "abc", 0, 0, {0, 0, 2, 0}, {{VkOf('x')}}, "xc", "1,0"},
        {"unbound ctrl q types nothing", "abc", 0, 0, none, {{VkOf('q'), kCtrl}}, "abc", "0,0"},
        {"ctrl z undoes typing", "abc", 0, 0, none, {{VkOf('q')}, {VkOf('z'), kCtrl}}, "abc", "0,0"},
        {"ctrl y redoes", "abc", 0, 0, none, {{VkOf('q')}, {VkOf('z'), kCtrl}, {VkOf('y'), kCtrl}}, "qabc", "1,0"},
        {"insert: overwrite", "abc", 0, 0, none, {{VK_INSERT}, {VkOf('x')}, {VK_INSERT}}, "xbc", "1,0"},
        {"ctrl ] to the matching bracket", "(a(b)c)", 0, 0, none, {{VkOf(']'), kCtrl}}, "(a(b)c)", "6,0"},
        {"shift ctrl ] selects to it", "x(ab)", 4, 0, none, {{VkOf(']'), kCtrl | kShift}}, "x(ab)", "1,0 1,0-5,0"},
    };
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.what);
        SetText(row.text);
        Caret(row.caretColumn, row.caretLine);
        ed->desiredColumn = ed->doc.Text().DisplayColumn(ed->caret.line, ed->caret.column);
        const QPRange& s = row.selection;
        if (s.startColumn || s.startLine || s.endColumn || s.endLine)
            Select(s.startColumn, s.startLine, s.endColumn, s.endLine);
        for (const Key& key : row.keys)
            Press(key.vk, key.q);
        EXPECT_EQ(Text(), row.expectedText ? row.expectedText : row.text);
        EXPECT_EQ(Where(), row.expectedWhere);
        Send(QPM_RUNCOMMAND, kEditUndoAll);
        EXPECT_EQ(Text(), row.text) << "after undoing everything";
    }
}

TEST_F(Editing, PagingMovesByTheVisibleLines)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    SetText(text.c_str());
    const int page = ed->visibleLines;
    ASSERT_GT(page, 3);
    Press(VK_NEXT);
    EXPECT_EQ(ed->caret.line, page - 1);  // first to the bottom line of the view
    Press(VK_NEXT);
    EXPECT_EQ(ed->caret.line, 2 * page - 2);
    EXPECT_EQ(ed->firstLine, page - 1);
    Press(VK_PRIOR);
    EXPECT_EQ(ed->caret.line, page - 1);  // to the top line
    Press(VK_PRIOR);
    EXPECT_EQ(ed->caret.line, 0);
    // Held down at the bottom of the view with FastScroll, the caret goes two lines a repeat.
    Caret(0, page - 1);
    ed->config->fastScroll = true;
    const LPARAM repeat = 1 | (1 << 30);
    Send(WM_KEYDOWN, VK_DOWN, repeat);
    EXPECT_EQ(ed->caret.line, page + 1);
    // Ctrl Down scrolls the view, pulling the caret along when it would leave it.
    Caret(0, 0);
    Press(VK_DOWN, kCtrl);
    EXPECT_EQ(ed->firstLine, 1);
    EXPECT_EQ(ed->caret.line, 1);
    Press(VK_UP, kCtrl);
    EXPECT_EQ(ed->firstLine, 0);
}

TEST_F(Editing, TabBackGoesToThePreviousTabStop)
{
    SetText("a\tb");  // Tab 4: the b stands at display column 4
    Caret(2, 0);
    EXPECT_EQ(ed->doc.Text().DisplayColumn(0, 2), 4);
    EXPECT_EQ(Send(QPM_RUNCOMMAND, kCaretTabBack), 1);
    EXPECT_EQ(ed->caret.column, 0);
    EXPECT_EQ(Send(QPM_RUNCOMMAND, 9999), 0);  // no such command
}

// Closing brackets are checked as they are typed; the apostrophe is a quote as often as not and
// never beeps.
TEST_F(Editing, TypedClosingBracketsAreChecked)
{
    ed->config->autoMatch = true;
    SetText("");
    Type("don't");
    EXPECT_EQ(Text(), "don't");
    EXPECT_TRUE(s_system.beeps.empty());
    Type("(a)");
    EXPECT_TRUE(s_system.beeps.empty());
    Type("}");
    EXPECT_EQ(Text(), "don't(a)}");
    EXPECT_EQ(s_system.beeps.size(), 1u);
    EXPECT_EQ(ed->caret.column, 9);
    ed->config->visibleAutoMatchError = true;
    Type("]");
    ASSERT_EQ(s_system.boxes.size(), 1u);
    EXPECT_EQ(s_system.boxes[0], win::LoadMessageText(1027));
    ed->config->visibleAutoMatchError = false;
    ed->config->autoMatch = false;
    // The explicit command still pairs the grave accent with the apostrophe, and names what it can match.
    SetText("`x'");
    Send(QPM_RUNCOMMAND, kFindMatchingBracket);
    EXPECT_EQ(ed->caret.column, 2);
    Caret(1, 0);
    Send(QPM_RUNCOMMAND, kFindMatchingBracket);
    ASSERT_EQ(s_system.boxes.size(), 2u);
    EXPECT_EQ(s_system.boxes[1], win::LoadMessageText(1006));
}

TEST_F(Editing, ReadOnlyRefusesEveryChange)
{
    SetText("ab\r\ncd");
    Send(QPM_SETREADONLY, 1);
    Caret(1, 0);
    for (int i = 0; i < CommandCount(); ++i) {
        const int number = CommandAt(i);
        // The dialogs and printing wait for a user; they are tested on their own.
        if ((number >= kDialogGoto && number <= kDialogPageSetup) || number == kFilePrint || number == kFileSave ||
            number == kFileClear || number == kFindMatchingBracket || number == kFindMatchingBracketSelect)
            continue;
        SCOPED_TRACE(CommandName(number));
        Send(QPM_RUNCOMMAND, static_cast<WPARAM>(number));
        EXPECT_EQ(Text(), "ab\r\ncd");
    }
    Type("x");
    EXPECT_EQ(Text(), "ab\r\ncd");
}

TEST_F(Editing, ClipboardRoundTripThroughTheSystemClipboard)
{
    SetText("first\r\nsecond");
    Select(0, 1, 3, 1);
    Press(VkOf('c'), kCtrl);
    HWND other = Create("other.htm", 0, 200, 300, 150);
    SendMessageA(other, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(other), "sec");
    // Appending adds to what the clipboard holds.
    Select(0, 0, 5, 0);
    Press(VkOf('c'), kAlt);
    SendMessageA(other, QPM_SETTEXT, 1, 0);
    SendMessageA(other, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(other), "secfirst");
    // Without a selection the caret line is copied with its break.
    Caret(2, 0);
    Send(WM_COPY);
    SendMessageA(other, QPM_SETTEXT, 1, 0);
    SendMessageA(other, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(other), "first\r\n");
    // Copying an empty line leaves the clipboard as it was.
    SetText("");
    Send(WM_COPY);
    SendMessageA(other, QPM_SETTEXT, 1, 0);
    SendMessageA(other, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(other), "first\r\n");
    // Cut takes the text away; the clipboard has it.
    SetText("cut me");
    Select(0, 0, 3, 0);
    Send(WM_CUT);
    EXPECT_EQ(Text(), " me");
    SendMessageA(other, QPM_SETTEXT, 1, 0);
    SendMessageA(other, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(other), "cut");
    Send(QPM_RUNCOMMAND, kClipClearClipboard);
    EXPECT_EQ(Send(QPM_CANPASTE), 0);
}

TEST_F(Editing, BookmarksGoRoundOnce)
{
    SetText("a\r\nb\r\nc\r\nd");
    Caret(0, 1);
    Press(VK_F2, kCtrl);  // toggle
    EXPECT_EQ(ed->bookmarkCount, 1);
    Press(VK_F2);  // next: only the caret line has one
    EXPECT_EQ(ed->caret.line, 1);
    EXPECT_EQ(s_system.beeps.size(), 1u);
    Caret(0, 3);
    Send(QPM_RUNCOMMAND, kBookmarkSet);
    Caret(0, 2);
    Press(VK_F2);
    EXPECT_EQ(ed->caret.line, 3);
    Press(VK_F2);  // wraps to the top
    EXPECT_EQ(ed->caret.line, 1);
    Press(VK_F2, kShift);  // previous, wrapping to the bottom
    EXPECT_EQ(ed->caret.line, 3);
    EXPECT_EQ(Send(QPM_RUNCOMMAND, kBookmarkGotoFirst), 1);
    EXPECT_EQ(ed->caret.line, 1);
    Press(VK_F2, kCtrl | kShift);  // clear all
    EXPECT_EQ(ed->bookmarkCount, 0);
    s_system.beeps.clear();
    EXPECT_EQ(Send(QPM_RUNCOMMAND, kBookmarkGotoLast), 0);
    EXPECT_EQ(s_system.beeps.size(), 1u);
}

// A key binding of a configuration that inserts text: "\n" in it becomes a line break.
TEST_F(Editing, MacrosInsertTextAndStopWhenAsked)
{
    KeyMacro macro;
    macro.steps.push_back({MacroStep::kInsertText, 0, "a\\nb"});
    macro.steps.push_back({MacroStep::kCommand, kCaretHome, ""});
    SetText("");
    Send(QPM_RUNKEYMACRO, 0, reinterpret_cast<LPARAM>(&macro));
    EXPECT_EQ(Text(), "a\r\nb");
    EXPECT_EQ(Where(), "0,0");
    // Opening a document goes to the shell; a failure is reported with its name.
    s_system.shellOpenAnswer = false;
    KeyMacro open;
    open.steps.push_back({MacroStep::kOpen, 0, "missing.txt"});
    Send(QPM_RUNKEYMACRO, 0, reinterpret_cast<LPARAM>(&open));
    s_system.shellOpenAnswer = true;
    ASSERT_EQ(s_system.boxes.size(), 1u);
    EXPECT_EQ(s_system.boxes[0], "missing.txt");
}
