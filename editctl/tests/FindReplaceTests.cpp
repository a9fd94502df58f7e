// Searching: the skip-table search against a plain one, whole words, the histories; then the
// Find, Replace, Goto and Properties dialogs of a real window, with the history in the registry.
#include "editctl/tests/EditFixture.h"

#include <random>
#include <vector>

#include "editctl/win/GdiHolders.h"

#include "editctl/model/TextSearch.h"

using namespace quill;
using namespace quill::testing;

namespace {

int PlainFind(std::string_view line, const std::string& p, int from, bool forward, bool matchCase)
{
    auto same = [&](int at) {
        if (at < 0 || at + p.size() > line.size())
            return false;
        for (size_t i = 0; i < p.size(); ++i) {
            char a = line[static_cast<size_t>(at) + i], b = p[i];
            if (!matchCase) {
                a = FoldCase(a);
                b = FoldCase(b);
            }
            if (a != b)
                return false;
        }
        return true;
    };
    if (forward) {
        for (int at = std::max(0, from); at + static_cast<int>(p.size()) <= static_cast<int>(line.size()); ++at)
            if (same(at))
                return at;
        return -1;
    }
    for (int at = std::min(from, static_cast<int>(line.size()) - static_cast<int>(p.size())); at >= 0; --at)
        if (same(at))
            return at;
    return -1;
}

} // namespace

TEST(TextSearch, SkipTablesAgreeWithAPlainSearch)
{
    std::mt19937 random(7);
    const char alphabet[] = {'a', 'b', 'A', 'B', 'c', '\xE4', '\xC4', '\xFF', ' '};
    for (int round = 0; round < 3000; ++round) {
        std::string line, pattern;
        const int n = static_cast<int>(random() % 40), m = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < n; ++i)
            line += alphabet[random() % sizeof(alphabet)];
        for (int i = 0; i < m; ++i)
            pattern += alphabet[random() % sizeof(alphabet)];
        SearchPattern p;
        p.Set(pattern);
        const int from = static_cast<int>(random() % 42) - 1;
        const bool matchCase = random() % 2 == 0;
        ASSERT_EQ(p.FindForward(line, from, matchCase), PlainFind(line, pattern, from, true, matchCase))
            << line << " / " << pattern << " from " << from;
        ASSERT_EQ(p.FindBackward(line, from, matchCase), PlainFind(line, pattern, from, false, matchCase))
            << line << " / " << pattern << " from " << from;
    }
}

TEST(TextSearch, WholeWordsHistoryAndSize)
{
    TextStore text;
    text.Assign("concatenate cat\r\nx");
    SearchPattern p;
    p.Set("cat");
    const auto delimiter = [](char c) { return c == ','; };
    SearchHit hit = SearchText(text, p, {0, 0}, true, false, true, delimiter);
    ASSERT_TRUE(hit.found);
    EXPECT_EQ(hit.start, (TextPos{12, 0}));
    hit = SearchText(text, p, {0, 0}, true, false, false, delimiter);
    EXPECT_EQ(hit.start, (TextPos{3, 0}));
    // Backward from the start of the next line finds the last one; from column 0 nothing before it.
    hit = SearchText(text, p, {0, 1}, false, false, false, delimiter);
    EXPECT_EQ(hit.start, (TextPos{12, 0}));
    EXPECT_FALSE(SearchText(text, p, {0, 0}, false, false, false, delimiter).found);

    std::vector<std::string> history;
    for (const char* t : {"a", "b", "c", "b", "d"})
        AddToHistory(history, t, 3);
    EXPECT_EQ(history, (std::vector<std::string>{"d", "b", "c"}));

    text.Assign("ab\r\nc");
    EXPECT_EQ(CountCharacters(text, 0), 5);
    EXPECT_EQ(CountCharacters(text, 1), 4);
}

namespace {

constexpr const char* kHistoryKey = "Software\\QPDLL\\CurrentVersion";

// What a registry key of HKEY_CURRENT_USER held when the object was made (its values; the key
// has no subkeys) comes back when it goes, so that a test that fails halfway leaves the key as it
// found it: the key deleted when it was not there, else emptied and filled again.
class SavedRegistryKey {
public:
    explicit SavedRegistryKey(const char* path) : m_path(path)
    {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return;
        const win::CRegKey key(opened);
        m_existed = true;
        for (DWORD i = 0; i < 1000; ++i) {
            char name[256] = {};
            DWORD nameSize = sizeof(name), type = 0, dataSize = 0;
            if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
                break;
            Value value{name, type, std::vector<BYTE>(dataSize)};
            nameSize = sizeof(name);
            if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, value.data.data(), &dataSize) == ERROR_SUCCESS)
                m_values.push_back(std::move(value));
        }
    }
    ~SavedRegistryKey()
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, m_path);
        HKEY made = nullptr;
        if (!m_existed ||
            RegCreateKeyExA(HKEY_CURRENT_USER, m_path, 0, nullptr, 0, KEY_WRITE, nullptr, &made, nullptr) != ERROR_SUCCESS)
            return;
        const win::CRegKey key(made);
        for (const Value& v : m_values)
            RegSetValueExA(key, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    }
    SavedRegistryKey(const SavedRegistryKey&) = delete;
    SavedRegistryKey& operator=(const SavedRegistryKey&) = delete;

private:
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };
    const char* m_path;  // not owned: a constant
    bool m_existed = false;
    std::vector<Value> m_values;
};

class FindDialogs : public EditFixture {
protected:
    void Command(HWND dialog, int id, int code = BN_CLICKED)
    {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    static std::vector<std::string> RegistryValues(const char* word)
    {
        std::vector<std::string> values;
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kHistoryKey, 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return values;
        const win::CRegKey key(opened);
        for (int i = 0; i < 40; ++i) {
            char value[256] = {};
            DWORD size = sizeof(value);
            if (RegQueryValueExA(key, (word + std::to_string(i)).c_str(), nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS)
                values.push_back(std::to_string(i) + "=" + value);
        }
        return values;
    }

    // Made before SetUp and gone after TearDown: the windows closed there save their histories.
    SavedRegistryKey m_savedHistory{kHistoryKey};
};

} // namespace

TEST_F(FindDialogs, FindDialogSearchesAndKeepsItsHistoryInTheRegistry)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kHistoryKey);
    SetText("one two one\r\nthree one");
    EXPECT_EQ(QuillpointGetFindDialog(m_edit), nullptr);
    EXPECT_EQ(Send(QPM_FINDDIALOG), 0);
    HWND find = QuillpointGetFindDialog(m_edit);
    ASSERT_NE(find, nullptr);
    // Five searches, then the dialog closes: its history goes to the registry.
    for (const char* text : {"zz", "yy", "xx", "ww", "one"}) {
        SetDlgItemTextA(find, 1003, text);
        Command(find, 1006);
    }
    EXPECT_EQ(Where(), "3,0 0,0-3,0");
    Command(find, 1006);  // the selection is one occurrence: the search moves on
    EXPECT_EQ(Where(), "11,0 8,0-11,0");
    Command(find, 1006);
    EXPECT_EQ(Where(), "9,1 6,1-9,1");
    Command(find, 3);  // previous
    EXPECT_EQ(Where(), "11,0 8,0-11,0");
    const size_t boxes = s_system.boxes.size();  // "zz" and the others were not found
    EXPECT_EQ(boxes, 4u);
    EXPECT_EQ(s_system.boxes[0], "\"zz\"\n\nThe specified text was not found.");
    Command(find, 4);  // bookmark all
    EXPECT_EQ(ed->bookmarkCount, 2);
    Command(find, IDCANCEL);
    EXPECT_EQ(QuillpointGetFindDialog(m_edit), nullptr);
    EXPECT_EQ(RegistryValues("Search"), (std::vector<std::string>{"0=one", "1=ww", "2=xx", "3=yy", "4=zz"}));
    // Three entries saved after five leave exactly three values.
    ed->input.findHistory = {"c", "b", "a"};
    EXPECT_TRUE(win::SaveFindHistory(*ed, false));
    EXPECT_EQ(RegistryValues("Search"), (std::vector<std::string>{"0=c", "1=b", "2=a"}));
    // A new window reads them back when it opens its dialog; the word at the caret comes first.
    HWND other = Create("other.htm", 0, 0, 300, 100);
    SendMessageA(other, QPM_SETTEXT, 1, reinterpret_cast<LPARAM>("b c"));
    SendMessageA(other, QPM_FINDDIALOG, 0, 0);
    win::EditData* oe = win::GetEditData(other);
    EXPECT_EQ(oe->input.findHistory, (std::vector<std::string>{"b", "c", "a"}));
    // F3 searches on with the pattern.
    EXPECT_EQ(SendMessageA(other, QPM_RUNCOMMAND, kFindNext, 0), 1);
    EXPECT_EQ(oe->selStart, (TextPos{0, 0}));
    // Ctrl F3 and Shift Ctrl F3 look for the word at the caret, beyond the word itself.
    SetText("ab x ab y ab");
    Caret(1, 0);
    Press(VK_F3, kCtrl);
    EXPECT_EQ(Where(), "7,0 5,0-7,0");
    Press(VK_F3, kCtrl);
    EXPECT_EQ(Where(), "12,0 10,0-12,0");
    Press(VK_F3, kCtrl | kShift);
    EXPECT_EQ(Where(), "7,0 5,0-7,0");
}

TEST_F(FindDialogs, ReplaceOneAndReplaceAllInASelection)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kHistoryKey);
    SetText("cat cat cat\r\ncat");
    Select(0, 0, 7, 0);  // two of the three on the first line
    Send(QPM_REPLACEDIALOG);
    HWND replace = ed->replaceDialog;
    ASSERT_NE(replace, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(replace, 1013), static_cast<UINT>(BST_CHECKED));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(replace, 1011)));  // only Replace All in a selection
    SetDlgItemTextA(replace, 1008, "cat");
    SetDlgItemTextA(replace, 1007, "x");
    Command(replace, 1012);
    EXPECT_EQ(Text(), "x x cat\r\ncat");
    ASSERT_FALSE(s_system.boxes.empty());
    EXPECT_EQ(s_system.boxes.back(), "Replaced 2 occurrences of \n\n\"cat\"\n\nwith\n\n\"x\"\n\nin the given range.");
    Send(QPM_RUNCOMMAND, kEditUndo);  // one undo step for all of them
    EXPECT_EQ(Text(), "cat cat cat\r\ncat");
    // Also when the replacements take more steps than the undo history holds.
    std::string many;
    for (int i = 0; i < 300; ++i)
        many += "cat ";
    SetText(many.c_str());
    const int limit = ed->doc.UndoLimit();
    ed->doc.SetUndoLimit(100);
    ed->input.pattern.Set("cat");
    EXPECT_EQ(win::ReplaceAll(*ed, "x", {0, 0}, ed->doc.Text().EndPosition()), 300);
    Send(QPM_RUNCOMMAND, kEditUndo);
    EXPECT_EQ(Text(), many);
    ed->doc.SetUndoLimit(limit);
    SetText("cat cat cat\r\ncat");
    Select(0, 0, 7, 0);
    // Replace one at a time over the whole text.
    CheckRadioButton(replace, 1013, 1014, 1014);
    Command(replace, 1014);
    Caret(0, 0);
    SetDlgItemTextA(replace, 1007, "dog");
    Command(replace, 1006);  // find the first
    Command(replace, 1011);  // replace it, find the next
    EXPECT_EQ(Text(), "dog cat cat\r\ncat");
    EXPECT_EQ(Where(), "7,0 4,0-7,0");
    SetDlgItemTextA(replace, 1008, "bird");
    Command(replace, 1012);
    EXPECT_EQ(s_system.boxes.back(), "Did not find\n\n\"bird\"\n\nto replace with\n\n\"dog\"\n\nin the given range.");
    // Opening Find closes Replace and keeps both histories.
    Send(QPM_FINDDIALOG);
    EXPECT_EQ(ed->replaceDialog, nullptr);
    EXPECT_NE(ed->findDialog, nullptr);
    EXPECT_EQ(RegistryValues("Replace"), (std::vector<std::string>{"0=dog", "1=x"}));
}

TEST_F(FindDialogs, GotoLineClampsAndPropertiesRestoreOnCancel)
{
    SetText("ab\r\nc\r\ndefg");
    static int s_answer;
    s_system.onDialog = [](HWND dialog, int resource) {
        if (resource == 103) {
            SetDlgItemInt(dialog, 1000, static_cast<UINT>(s_answer), FALSE);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
    };
    Caret(1, 0);
    s_answer = 99;
    EXPECT_EQ(Send(QPM_GOTODIALOG), 1);
    EXPECT_EQ(Where(), "1,2");
    s_answer = 0;
    Send(QPM_RUNCOMMAND, kDialogGoto);
    EXPECT_EQ(Where(), "1,0");

    static std::string s_size;
    s_system.onDialog = [](HWND dialog, int resource) {
        if (resource != 107)
            return;
        char size[128] = {};
        GetDlgItemTextA(dialog, 1017, size, sizeof(size));
        s_size = size;
        SendDlgItemMessageA(dialog, 1023, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1023, CBN_SELCHANGE), 0);
        SetDlgItemInt(dialog, 1024, 99, FALSE);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1024, EN_KILLFOCUS), 0);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    const int tab = ed->config->tab;
    EXPECT_EQ(Send(QPM_PROPERTIESDIALOG), 0);
    EXPECT_EQ(s_size, "11 characters. (3 Lines.)");
    EXPECT_EQ(ed->config->tab, tab);
    EXPECT_EQ(ed->FileModeNow(), 0);
    s_system.onDialog = [](HWND dialog, int resource) {
        if (resource != 107)
            return;
        SendDlgItemMessageA(dialog, 1023, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1023, CBN_SELCHANGE), 0);
        SetDlgItemInt(dialog, 1024, 99, FALSE);  // beyond 24: kept at 24
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(Send(QPM_PROPERTIESDIALOG), 1);
    EXPECT_EQ(ed->config->tab, 24);
    EXPECT_EQ(ed->doc.Text().TabWidth(), 24);
    EXPECT_EQ(ed->FileModeNow(), 1);
    ed->config->tab = tab;
    ed->doc.Text().SetTabWidth(tab);
    EXPECT_EQ(Send(QPM_RUNSETTINGSAPPLET), 0);  // no applet installed
}
