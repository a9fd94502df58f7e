// The edit window under Wine: start-up, the message set, notifications, files, and a screenshot.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "editctl/Quillpoint.h"
#include "editctl/tests/ControlStart.h"
#include "editctl/tests/Pictures.h"
#include "editctl/model/MessageIds.h"
#include "editctl/win/EditData.h"
#include "editctl/win/GdiHolders.h"

using namespace quill;
using namespace quill::win;
using quill::testing::PrintedClient;
using quill::testing::ReadFile;

namespace {

struct Notice {
    UINT code;
    EditNotifyState state;
    int column, line;
    std::string fileName, configName;
};
std::vector<Notice> g_notices;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(lParam);
        Notice n{h->code, {}, 0, 0, {}, {}};
        if (h->code == QPN_STATECHANGED)
            n.state = *reinterpret_cast<const EditNotifyState*>(lParam);
        if (h->code == QPN_CARETMOVED) {
            n.column = reinterpret_cast<const EditNotifyCaret*>(lParam)->column;
            n.line = reinterpret_cast<const EditNotifyCaret*>(lParam)->line;
        }
        if (h->code == QPN_FILENAMECHANGED) {
            n.fileName = reinterpret_cast<const EditNotifyFileName*>(lParam)->fileName;
            n.configName = reinterpret_cast<const EditNotifyFileName*>(lParam)->configName;
        }
        g_notices.push_back(n);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}


void WriteAllBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string TempFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "editctl-tests";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void StartControl() { quill::testing::StartControlWithBuiltins(); }

// Message boxes answer IDNO unless a test says otherwise.
class EditWindow : public quill::testing::ControlSuite {
protected:
    static void SetUpTestSuite() { StartSuite("EditCtlTestParent", ParentProc); }
    static void TearDownTestSuite() { StopSuite(); }

    void SetUp() override
    {
        s_system.Reset();
        s_system.boxAnswer = IDNO;
        m_parent = CreateWindowExA(0, "EditCtlTestParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 640, 400, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(m_parent);
        m_edit = Create("page.htm");
        ASSERT_TRUE(m_edit);
        g_notices.clear();
    }
    void TearDown() override
    {
        if (m_parent)
            DestroyWindow(m_parent);
        s_system.Reset();
    }

    HWND Create(const char* name)
    {
        return CreateWindowExA(WS_EX_CLIENTEDGE, QUILLPOINT_CLASS, name, 0x56000000, 0, 0, 600, 360, m_parent,
                               reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageA(m_edit, message, wParam, lParam); }
    LRESULT SendText(UINT message, WPARAM wParam, const char* text)
    {
        return Send(message, wParam, reinterpret_cast<LPARAM>(text));
    }
    std::string Text()
    {
        std::vector<char> buffer(static_cast<size_t>(Send(QPM_GETTEXTLENGTH)) + 1);
        return Send(QPM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer.data())) ? std::string(buffer.data()) : std::string();
    }
    // Paints the control into a memory bitmap (the test windows are hidden).
    void PaintNow()
    {
        const CWindowDc screen(m_edit);
        const CCreatedDc dc(CreateCompatibleDC(screen));
        const TGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen, 600, 360));
        const CSelection selected(dc, bitmap);
        Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    }
    int Count(UINT code) const
    {
        int n = 0;
        for (const Notice& notice : g_notices)
            n += notice.code == code ? 1 : 0;
        return n;
    }

    HWND m_parent = nullptr;
    HWND m_edit = nullptr;
};

} // namespace

TEST_F(EditWindow, ClassAndStartUp)
{
    WNDCLASSA wc{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), QUILLPOINT_CLASS, &wc));
    EXPECT_EQ(wc.style, 0x400Bu);
    EXPECT_EQ(wc.cbWndExtra, static_cast<int>(sizeof(LONG_PTR)));
    EXPECT_TRUE(FindWindowA(QUILLPOINT_IPC_CLASS, nullptr));
    const UINT reload = RegisterWindowMessageA(QUILLPOINT_RELOAD_MESSAGE);
    EXPECT_GE(reload, 0xC000u);
    // Without a settings folder: the built-in default first, then the three of the program.
    std::vector<std::string> names;
    for (ParserConfig* c : ParserList())
        names.push_back(c->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Default", "HTML", "CSS", "Java Script"}));
    EXPECT_TRUE(s_system.boxes.empty());
}

// The message set, answered as a table: each row is sent in order to a window holding "ab\r\nc".
TEST_F(EditWindow, MessageTable)
{
    ASSERT_EQ(SendText(QPM_SETTEXT, 1, "ab\r\nc"), 1);
    QPRange range{0, 0, 1, 1};
    int selection[4] = {};
    QPPosition caret{1, 0};
    QPFileInfo small{20, nullptr, nullptr, nullptr, nullptr};
    QPFileInfo info{sizeof(QPFileInfo), nullptr, nullptr, nullptr, nullptr};
    char buffer[64] = {};
    const auto L = [](auto p) { return reinterpret_cast<LPARAM>(p); };
    struct Row {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT expected;
    };
    const Row rows[] = {
        {"text length", QPM_GETTEXTLENGTH, 0, 0, 6},
        {"line count", QPM_GETLINECOUNT, 0, 0, 2},
        {"has text", QPM_HASTEXT, 0, 0, 1},
        {"line 0 length + 1", QPM_GETLINELENGTH, 0, 0, 3},
        {"caret line length + 1", QPM_GETLINELENGTH, static_cast<WPARAM>(-1), 0, 3},
        {"line 9 length", QPM_GETLINELENGTH, 9, 0, 0},
        {"no selection", QPM_GETSELECTION, 0, L(selection), 0},
        {"selection text length without one", QPM_GETSELTEXTLENGTH, 0, 0, 0},
        {"select (0,0)-(1,1)", QPM_SETSELECTION, 0, L(&range), 1},
        {"selection, +1 each", QPM_GETSELECTION, 0, L(selection), 1},
        {"selected text length", QPM_GETSELTEXTLENGTH, 0, 0, 6},
        {"has selection", QPM_HASSELECTION, 0, 0, 1},
        {"can cut", QPM_CANCUT, 0, 0, 1},
        {"can delete", QPM_CANDELETE, 0, 0, 1},
        {"not modified after set text", QPM_ISMODIFIED, 0, 0, 0},
        {"undo of the filled text", QPM_CANUNDO, 0, 0, 1},
        {"nothing to redo", QPM_CANREDO, 0, 0, 0},
        {"caret to (1,0)", QPM_SETCARET, 0, L(&caret), 1},
        {"word under the caret + 1", QPM_GETWORDLENGTH, 0, 0, 3},
        {"file info too small", QPM_GETFILEINFO, 0, L(&small), 0},
        {"file info", QPM_GETFILEINFO, 0, L(&info), 1},
        {"colour index 17", QPM_SETCOLOR, 17, 0, -1},
        {"colour index 17 read", QPM_GETCOLOR, 17, 0, -1},
        {"bookmark colour", QPM_GETCOLOR, kBookmarkRGB, 0, static_cast<LRESULT>(MakeColour(0, 255, 255))},
        {"unicode flag set, old value", QPM_SETUNICODE, 1, 0, 0},
        {"unicode flag", QPM_GETUNICODE, 0, 0, 1},
        {"unicode flag back", QPM_SETUNICODE, 0, 0, 1},
        {"read-only on", QPM_SETREADONLY, 1, 0, 0},
        {"read-only", QPM_ISREADONLY, 0, 0, 1},
        {"no undo when read-only", QPM_CANUNDO, 0, 0, 0},
        {"no insertion when read-only", QPM_INSERTTEXT, 0, L("x"), 0},
        {"read-only off", QPM_SETREADONLY, 0, 0, 0},
        {"unknown command", QPM_RUNCOMMAND, 9999, 0, 0},
        {"goto line 0", QPM_GOTOLINE, 0, 0, 0},
        {"goto line 2", QPM_GOTOLINE, 2, 0, 1},
        {"empty file name", QPM_SETFILENAME, 0, L(""), 0},
        {"line into a buffer", QPM_GETLINE, 0, L(buffer), L(buffer)},
        {"dialog code", WM_GETDLGCODE, 0, 0, DLGC_WANTALLKEYS},
        {"erase background", WM_ERASEBKGND, 0, 0, 0},
        {"not in the table", 0x525, 0, 0, 0},
        {"overwrite", QPM_ISOVERWRITE, 0, 0, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Send(row.message, row.wParam, row.lParam), row.expected) << row.what;
    EXPECT_EQ(std::string(buffer), "ab");
    EXPECT_EQ(std::string(info.configName), "HTML");
    EXPECT_EQ(std::string(info.fileName), "Unnamed.htm");
    EXPECT_STREQ(reinterpret_cast<const char*>(Send(QPM_GETEXTENSIONS)), ".html;.htm;.shtml;.xhtml;.hta;.xml;.svg");
    // An empty text has no length at all.
    Send(QPM_SETTEXT, 1, static_cast<LPARAM>(0));
    EXPECT_EQ(Send(QPM_GETTEXTLENGTH), 0);
    EXPECT_EQ(Send(QPM_GETTEXT, 0, 0), 0);
    EXPECT_EQ(Send(QPM_HASTEXT), 0);
    // A whole text into a new global block.
    SendText(QPM_SETTEXT, 1, "x\ny");
    HGLOBAL block = reinterpret_cast<HGLOBAL>(Send(QPM_GETTEXT, 0, 0));
    ASSERT_TRUE(block);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(block)), "x\r\ny");
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST_F(EditWindow, NotificationsGoOutOnlyOnChanges)
{
    SendText(QPM_SETTEXT, 1, "text");
    g_notices.clear();
    Send(QPM_SETREADONLY, 1);
    Send(QPM_SETREADONLY, 1);
    EXPECT_EQ(Count(QPN_STATECHANGED), 1);
    EXPECT_EQ(g_notices.back().state.readOnly, 1);
    EXPECT_EQ(g_notices.back().state.hasText, 1);
    g_notices.clear();
    SendText(QPM_SETFILENAME, 0, "script.js");
    ASSERT_EQ(Count(QPN_FILENAMECHANGED), 1);
    for (const Notice& n : g_notices) {
        if (n.code == QPN_FILENAMECHANGED) {
            EXPECT_EQ(n.configName, "Java Script");
        }
    }
    g_notices.clear();
    QPPosition caret{2, 0};
    Send(QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&caret));
    Send(QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&caret));
    ASSERT_EQ(Count(QPN_CARETMOVED), 1);
    EXPECT_EQ(g_notices.back().column, 3);
    EXPECT_EQ(g_notices.back().line, 1);
}

TEST_F(EditWindow, UndoAndRedoAcrossGroupedSteps)
{
    SendText(QPM_SETTEXT, 1, "one");
    QPPosition end{3, 0};
    Send(QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&end));
    SendText(QPM_INSERTTEXT, 0, " two");
    SendText(QPM_INSERTTEXT, 0, "\nthree");
    QPRange word{0, 0, 3, 0};
    Send(QPM_SETSELECTION, 0, reinterpret_cast<LPARAM>(&word));
    SendText(QPM_REPLACESEL, 0, "ONE");  // deletion and insertion: one group
    EXPECT_EQ(Text(), "ONE two\r\nthree");
    EXPECT_EQ(Send(QPM_ISMODIFIED), 1);
    EXPECT_EQ(Send(QPM_RUNCOMMAND, kEditUndo), 1);
    EXPECT_EQ(Text(), "one two\r\nthree");
    Send(QPM_RUNCOMMAND, kEditUndo);
    EXPECT_EQ(Text(), "one two");
    Send(QPM_RUNCOMMAND, kEditUndo);
    EXPECT_EQ(Text(), "one");
    EXPECT_EQ(Send(QPM_ISMODIFIED), 0);  // back at the text the owner filled in
    Send(QPM_RUNCOMMAND, kEditUndoAll);  // the fill itself is a group too
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Send(QPM_ISMODIFIED), 1);
    EXPECT_EQ(Send(QPM_CANREDO), 1);
    Send(QPM_RUNCOMMAND, kEditRedo);
    EXPECT_EQ(Text(), "one");
    Send(QPM_RUNCOMMAND, kEditRedo);
    EXPECT_EQ(Text(), "one two");
    Send(QPM_RUNCOMMAND, kEditRedoAll);
    EXPECT_EQ(Text(), "ONE two\r\nthree");
    EXPECT_EQ(Send(QPM_CANREDO), 0);
    // A line inserted by the owner is undone like any other change.
    SendText(QPM_INSERTLINE, 0, "first");
    EXPECT_EQ(Text(), "first\r\nONE two\r\nthree");
    SendText(QPM_INSERTLINE, 99, "last");
    EXPECT_EQ(Text(), "first\r\nONE two\r\nthree\r\nlast");
    Send(QPM_RUNCOMMAND, kEditUndo);
    Send(QPM_RUNCOMMAND, kEditUndo);
    EXPECT_EQ(Text(), "ONE two\r\nthree");
}

// The source view fills a window that it made read-only, again on every page.
TEST_F(EditWindow, SetTextFillsAReadOnlyWindowAndKeepsBlankLines)
{
    SendText(QPM_SETTEXT, 1, "old");
    Send(QPM_SETREADONLY, 1);
    EXPECT_EQ(SendText(QPM_SETTEXT, 1, "<p>\n\n\n</p>\n"), 1);
    EXPECT_EQ(Text(), "<p>\r\n\r\n\r\n</p>\r\n");
    EXPECT_EQ(Send(QPM_GETLINECOUNT), 5);
    EXPECT_EQ(Send(QPM_ISREADONLY), 0);  // a new text; the owner makes it read-only again
}

TEST_F(EditWindow, FilesLoadWithTheirOwnBreaksAndSaveSafely)
{
    const std::string folder = TempFolder();
    const std::string unixFile = folder + "\\unix.txt", dosFile = folder + "\\dos.txt";
    WriteAllBytes(unixFile, "a\nb\r\nc\n\nd");
    WriteAllBytes(dosFile, "x\r\ny\nz");
    HWND other = Create("other.txt");
    ASSERT_EQ(SendMessageA(other, QPM_LOADFILE, 1, reinterpret_cast<LPARAM>(dosFile.c_str())), 1);
    ASSERT_EQ(SendText(QPM_LOADFILE, 1, unixFile.c_str()), 1);
    EXPECT_EQ(Send(QPM_GETLINECOUNT), 5);  // the stray CR LF and the empty line are kept
    EXPECT_EQ(Text(), "a\r\nb\r\nc\r\n\r\nd");
    // Each window saves with the breaks of its own file.
    ASSERT_EQ(Send(QPM_SAVEFILE, 0, static_cast<LPARAM>(0)), 1);
    ASSERT_EQ(SendMessageA(other, QPM_SAVEFILE, 0, 0), 1);
    EXPECT_EQ(ReadFile(unixFile), "a\nb\nc\n\nd");
    EXPECT_EQ(ReadFile(dosFile), "x\r\ny\r\nz");

    // A save that fails halfway leaves the old file as it was, and no stray file behind.
    SendText(QPM_SETTEXT, 1, "new text that will not arrive");
    s_system.onWrite = [](HANDLE file, const char* data, size_t size) {
        DWORD written = 0;
        WriteFile(file, data, static_cast<DWORD>(size / 2), &written, nullptr);
        SetLastError(ERROR_DISK_FULL);
        return false;
    };
    EXPECT_EQ(SendText(QPM_SAVEFILE, 0, dosFile.c_str()), 2);
    s_system.onWrite = nullptr;
    EXPECT_EQ(ReadFile(dosFile), "x\r\ny\r\nz");
    ASSERT_EQ(s_system.boxes.size(), 1u);
    EXPECT_EQ(s_system.boxes[0].rfind("Error saving the file", 0), 0u);
    WIN32_FIND_DATAA found{};
    const CFileSearch stray(FindFirstFileA((folder + "\\qpe*.tmp").c_str(), &found));
    EXPECT_FALSE(stray.Valid()) << found.cFileName;

    // UTF-16 with a byte-order mark loads as Unicode and saves with the mark again.
    const std::string wideFile = folder + "\\wide.txt";
    WriteAllBytes(wideFile, std::string("\xFF\xFEh\0i\0\n\0", 8));
    ASSERT_EQ(SendText(QPM_LOADFILE, 1, wideFile.c_str()), 1);
    EXPECT_EQ(Send(QPM_GETUNICODE), 1);
    EXPECT_EQ(Text(), "hi\r\n");
    ASSERT_EQ(Send(QPM_SAVEFILE, 0, static_cast<LPARAM>(0)), 1);
    EXPECT_EQ(ReadFile(wideFile), std::string("\xFF\xFEh\0i\0\n\0", 8));
    // A text the code page cannot hold opens read-only rather than being saved back as "?".
    WriteAllBytes(wideFile, std::string("\xFF\xFEh\0\x2D\x4E", 6));
    ASSERT_EQ(SendText(QPM_LOADFILE, 1, wideFile.c_str()), 1);
    EXPECT_EQ(Send(QPM_ISREADONLY), 1);
    // A missing file: result 2, one message.
    s_system.boxes.clear();
    EXPECT_EQ(SendText(QPM_LOADFILE, 1, (folder + "\\missing.txt").c_str()), 2);
    EXPECT_EQ(s_system.boxes.size(), 1u);
}

// Asking to save a modified text: Cancel keeps everything, No goes on, Yes saves first.
TEST_F(EditWindow, AskToSaveBeforeReplacingTheText)
{
    const std::string file = TempFolder() + "\\ask.txt";
    WriteAllBytes(file, "saved");
    ASSERT_EQ(SendText(QPM_LOADFILE, 1, file.c_str()), 1);
    SendText(QPM_INSERTTEXT, 0, "new ");
    ASSERT_EQ(Send(QPM_ISMODIFIED), 1);
    s_system.boxAnswer = IDCANCEL;
    EXPECT_EQ(SendText(QPM_SETTEXT, 0, "other"), 0);
    EXPECT_EQ(Text(), "new saved");
    EXPECT_EQ(SendText(QPM_LOADFILE, 0, file.c_str()), 3);
    ASSERT_EQ(s_system.boxes.size(), 2u);
    EXPECT_EQ(s_system.boxes[0], file + " modified!\nDo you wish to save it first?");
    s_system.boxAnswer = IDYES;
    EXPECT_EQ(Send(QPM_ASKTOSAVE), 1);
    EXPECT_EQ(ReadFile(file), "new saved");
    EXPECT_EQ(Send(QPM_ISMODIFIED), 0);
    s_system.boxes.clear();
    EXPECT_EQ(Send(QPM_ASKTOSAVE), 1);  // unmodified: no question
    EXPECT_TRUE(s_system.boxes.empty());
}

TEST_F(EditWindow, SavingMakesTheBackupFirst)
{
    const std::string folder = TempFolder();
    const std::string file = folder + "\\notes.txt";
    WriteAllBytes(file, "old");
    DeleteFileA((folder + "\\notes.bak.txt").c_str());
    ASSERT_EQ(SendText(QPM_LOADFILE, 1, file.c_str()), 1);
    EditData* ed = GetEditData(m_edit);
    ed->config->backupFiles = true;
    ed->config->backupMode = 1;
    SendText(QPM_INSERTTEXT, 0, "new ");
    const LRESULT saved = Send(QPM_SAVEFILE, 0, static_cast<LPARAM>(0));
    ed->config->backupFiles = false;
    ed->config->backupMode = 0;
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(ReadFile(folder + "\\notes.bak.txt"), "old");
    EXPECT_EQ(ReadFile(file), "new old");
}

// A bad user configuration is reported once and skipped; the good ones still load.
TEST_F(EditWindow, ABadConfigurationFileIsSkipped)
{
    const std::string folder = TempFolder() + "\\configs";
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteAllBytes(folder + "\\good.qpp", "Name=Good\nExtentions=.good\n");
    WriteAllBytes(folder + "\\bad.qpp", "Name=Bad\nExtensions=.bad\n");
    std::vector<std::unique_ptr<ParserConfig>> list;
    ScanParserFiles(folder, list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->name, "Good");
    ASSERT_EQ(s_system.boxes.size(), 1u);
    EXPECT_NE(s_system.boxes[0].find("Unknown command on line 2"), std::string::npos);
    EXPECT_NE(s_system.boxes[0].find("bad.qpp"), std::string::npos);
}

// Colours set through the window go into its configuration; "no colour" makes a colour with a
// system value follow the system again, and leaves the others without a colour.
TEST_F(EditWindow, ColoursFollowTheSystemOrNone)
{
    const LRESULT old = Send(QPM_SETCOLOR, kTextRGB, static_cast<LPARAM>(MakeColour(1, 2, 3)));
    EXPECT_EQ(old, static_cast<LRESULT>(GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(Send(QPM_GETCOLOR, kTextRGB), static_cast<LRESULT>(MakeColour(1, 2, 3)));
    Send(QPM_SETCOLOR, kTextRGB, static_cast<LPARAM>(kNoColour));
    EXPECT_EQ(Send(QPM_GETCOLOR, kTextRGB), static_cast<LRESULT>(GetSysColor(COLOR_WINDOWTEXT)));
    Send(QPM_SETCOLOR, kHyperlinkRGB, static_cast<LPARAM>(kNoColour));
    EXPECT_EQ(Send(QPM_GETCOLOR, kHyperlinkRGB), static_cast<LRESULT>(kNoColour));
    Send(QPM_SETCOLOR, kHyperlinkRGB, static_cast<LPARAM>(MakeColour(0, 0, 255)));
}

// Bringing keywords to their stored spelling is a change like any other: it can be undone, and a
// read-only window is left as it is.
TEST_F(EditWindow, CaseFixingGoesThroughUndo)
{
    EditData* ed = GetEditData(m_edit);
    ed->config->caseFixing = true;
    ed->doc.Text().SetCaseFixing(true);
    SendText(QPM_SETTEXT, 1, "<DIV CLASS=x>");
    Send(QPM_SETREADONLY, 1);
    PaintNow();
    EXPECT_EQ(Text(), "<DIV CLASS=x>");
    SendText(QPM_SETTEXT, 1, "<DIV CLASS=x>");
    PaintNow();
    ed->config->caseFixing = false;
    ed->doc.Text().SetCaseFixing(false);
    EXPECT_EQ(Text(), "<div class=x>");
    EXPECT_EQ(Send(QPM_ISMODIFIED), 1);
    Send(QPM_RUNCOMMAND, kEditUndo);
    Send(QPM_RUNCOMMAND, kEditUndo);
    EXPECT_EQ(Text(), "<DIV CLASS=x>");
}

TEST_F(EditWindow, ParseTimerEndsQuietly)
{
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += "<p class=\"x\">line</p>\n";
    SendText(QPM_SETTEXT, 1, text.c_str());
    EditData* ed = GetEditData(m_edit);
    for (int tick = 0; tick < 20 && ed->frontier >= 0; ++tick)
        Send(WM_TIMER, kParseTimer);
    EXPECT_EQ(ed->frontier, -1);
    EXPECT_EQ(ed->parseTimer, 0u);
    Send(WM_TIMER, kParseTimer);  // a late tick: no message box, the timer stays off
    EXPECT_TRUE(s_system.boxes.empty());
    EXPECT_EQ(ed->parseTimer, 0u);
}

// The screen font is the control's own copy: the caller may delete its font right away.
TEST_F(EditWindow, SetFontKeepsItsOwnCopy)
{
    TGdiObject<HFONT> font(CreateFontA(-15, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, FIXED_PITCH, "Courier New"));
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), 1);
    font.Reset();
    EditData* ed = GetEditData(m_edit);
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(static_cast<HFONT>(ed->config->screenFont), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -15);
    ASSERT_EQ(GetObjectA(static_cast<HFONT>(ed->config->hyperlinkFont), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_TRUE(lf.lfUnderline);
    LOGFONTA proportional{};
    proportional.lfHeight = -15;
    proportional.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpyA(proportional.lfFaceName, "Arial");
    EXPECT_EQ(Send(QPM_SETSCREENFONT, 0, reinterpret_cast<LPARAM>(&proportional)), 0);
}

// With a settings folder in the registry the per-user folder is made from "Defaults" and its files
// are loaded; a bad one is reported once and skipped, and the control starts all the same. Then
// stopping and starting again works.
TEST_F(EditWindow, StartsWithABadUserConfigurationAndStartsAgain)
{
    DestroyWindow(m_parent);
    m_parent = nullptr;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(QuillpointDllMain(instance, 0, nullptr));
    const std::string settings = TempFolder() + "\\settings";
    CreateDirectoryA(settings.c_str(), nullptr);
    CreateDirectoryA((settings + "\\Defaults").c_str(), nullptr);
    WriteAllBytes(settings + "\\Defaults\\good.qpp", "Name=Good\nExtentions=.good\n");
    WriteAllBytes(settings + "\\Defaults\\bad.qpp", "Name=Bad\nTab=99\nNoSuchKeyword=1\n");
    // The control reads its settings folder from the machine's registry. The test gives it a
    // machine key of its own for the start: HKEY_LOCAL_MACHINE points at a key below the test
    // process's private HKEY_CURRENT_USER while the control starts, and back at the real one after.
    HKEY machine = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\EditCtlTestMachine", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &machine, nullptr),
              ERROR_SUCCESS);
    CRegKey machineKey(machine);
    HKEY made = nullptr;
    ASSERT_EQ(RegCreateKeyExA(machineKey, "Software\\QPDLL\\CurrentVersion", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &made, nullptr),
              ERROR_SUCCESS);
    CRegKey key(made);
    RegSetValueExA(key, "Settings", 0, REG_SZ, reinterpret_cast<const BYTE*>(settings.c_str()),
                   static_cast<DWORD>(settings.size() + 1));
    key.Reset();
    s_system.boxes.clear();
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machineKey), ERROR_SUCCESS);
    const BOOL started = QuillpointDllMain(instance, 1, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    machineKey.Reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\EditCtlTestMachine");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\EditCtlTestMachine");
    ASSERT_TRUE(started);
    std::vector<std::string> names;
    for (ParserConfig* c : ParserList())
        names.push_back(c->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Default", "Good"}));
    ASSERT_EQ(s_system.boxes.size(), 2u);  // 1018 for Tab=99, then 1014 that fails the file: once each
    EXPECT_NE(s_system.boxes[1].find("Unknown command on line 3"), std::string::npos);
    ASSERT_TRUE(QuillpointDllMain(instance, 0, nullptr));
    StartControl();
    EXPECT_EQ(ParserList().size(), 4u);
}

TEST_F(EditWindow, ReloadKeepsTheProgramsConfigurations)
{
    EditData* ed = GetEditData(m_edit);
    ASSERT_EQ(ed->config->name, "HTML");
    SendMessageA(FindWindowA(QUILLPOINT_IPC_CLASS, nullptr), RegisterWindowMessageA(QUILLPOINT_RELOAD_MESSAGE), 0, 0);
    EXPECT_EQ(ed->config->name, "HTML");
    EXPECT_EQ(ParserList().size(), 4u);
}

// Renders the control with coloured HTML and line numbers and saves the picture beside the build
// (editctl-screenshot.bmp), checking that keyword, line-number and comment colours are on it.
TEST_F(EditWindow, ScreenshotOfColouredHtml)
{
    const std::string sample = ReadFile(EDITCTL_TEST_DATA "/sample.html");
    ASSERT_FALSE(sample.empty());
    ShowWindow(m_parent, SW_SHOW);
    SendText(QPM_SETTEXT, 1, sample.c_str());
    QPRange sel{2, 11, 9, 11};
    Send(QPM_SETSELECTION, 0, reinterpret_cast<LPARAM>(&sel));
    UpdateWindow(m_edit);
    RECT client{};
    GetClientRect(m_edit, &client);
    const CWindowDc screen(m_edit);
    const CCreatedDc dc(CreateCompatibleDC(screen));
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    const TGdiObject<HBITMAP> bitmap(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    // The default screen font is a fixed-pitch one even where "Courier New" is missing.
    TEXTMETRICA tm{};
    {
        const CSelection font(dc, static_cast<HFONT>(GetEditData(m_edit)->config->screenFont));
        GetTextMetricsA(dc, &tm);
    }
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << "the screen font is proportional";
    const CSelection selected(dc, bitmap);
    Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    const size_t count = static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom);
    auto has = [&](Colour c) {
        const uint32_t bgr = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        for (size_t i = 0; i < count; ++i)
            if ((pixels[i] & 0xFFFFFF) == bgr)
                return true;
        return false;
    };
    EXPECT_TRUE(has(MakeColour(0, 0, 128)));    // element names
    EXPECT_TRUE(has(MakeColour(255, 0, 0)));    // attribute names
    EXPECT_TRUE(has(MakeColour(0, 128, 0)));    // the comment
    EXPECT_TRUE(has(MakeColour(0, 128, 128)));  // line numbers
    // Write the picture as a BMP file.
    const std::string path = EDITCTL_BUILD_DIR "/editctl-screenshot.bmp";
    BITMAPFILEHEADER fh{};
    const DWORD imageSize = static_cast<DWORD>(count * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + imageSize;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(BITMAPINFOHEADER));
    out.write(static_cast<const char*>(bits), imageSize);
    out.close();
}

// The rows kept in the off-screen picture: after each change the picture painted with the rows
// kept from the paints before is the one painted with none kept, pixel for pixel. The changes
// are of the text, of the view, and of what the rows share (colours, read-only, focus, font).
TEST_F(EditWindow, KeptRowsPaintWhatAWholePaintDoes)
{
    std::string sample = ReadFile(EDITCTL_TEST_DATA "/sample.html");
    ASSERT_FALSE(sample.empty());
    sample += "\n<p>" + std::string(3000, 'x') + " <b>tail</b></p>\n";
    SendText(QPM_SETTEXT, 1, sample.c_str());
    EditData* ed = GetEditData(m_edit);
    RECT client{};
    GetClientRect(m_edit, &client);
    const size_t count = static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom);
    // Every picture has the size the client area had at the start, whatever a step does to it.
    auto paint = [&] { return PrintedClient(m_edit, client.right, client.bottom); };
    const auto type = [&](const char* text) {
        for (const char* c = text; *c; ++c)
            Send(WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*c)), 1);
    };
    LOGFONTA font{};
    font.lfHeight = -15;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::strcpy(font.lfFaceName, "Courier New");
    const Colour keyword = ed->config->colours[kDelimiterRGB];
    const int markerOffset = ed->config->columnMarkerOffset;
    struct Step {
        const char* what;
        std::function<void()> change;
    };
    const Step steps[] = {
        {"nothing", [] {}},
        {"a selection", [&] { QPRange r{2, 3, 7, 6}; Send(QPM_SETSELECTION, 0, reinterpret_cast<LPARAM>(&r)); }},
        {"focus", [&] { Send(WM_SETFOCUS); }},
        {"no focus", [&] { Send(WM_KILLFOCUS); }},
        {"no selection", [&] { Send(QPM_RUNCOMMAND, kMarkClear); }},
        {"typing", [&] { QPPosition at{3, 2}; Send(QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&at)); type("ab"); }},
        {"a comment opened above", [&] {
             QPPosition at{0, 1};
             Send(QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&at));
             type("<!--");
         }},
        {"the comment closed", [&] { type("-->"); }},
        {"a bookmark", [&] { Send(QPM_RUNCOMMAND, kBookmarkToggle); }},
        {"a colour", [&] { Send(QPM_SETCOLOR, kDelimiterRGB, static_cast<LPARAM>(MakeColour(200, 0, 200))); }},
        {"the colour back", [&] { Send(QPM_SETCOLOR, kDelimiterRGB, static_cast<LPARAM>(keyword)); }},
        {"read-only", [&] { Send(QPM_SETREADONLY, 1); }},
        {"editable", [&] { Send(QPM_SETREADONLY, 0); }},
        {"no colouring", [&] { Send(QPM_SETSYNTAXCOLORING, 0, 1); }},
        {"colouring", [&] { Send(QPM_SETSYNTAXCOLORING, 1, 1); }},
        {"scrolled down", [&] { Send(WM_VSCROLL, SB_PAGEDOWN); }},
        {"the long line's end", [&] {
             const int last = ed->doc.Text().LineCount() - 2;
             QPPosition at{ed->doc.Text().Line(last).length, last};
             Send(QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&at));
         }},
        {"scrolled left", [&] { Send(WM_HSCROLL, SB_LINELEFT); }},
        {"another font", [&] { Send(QPM_SETSCREENFONT, 0, reinterpret_cast<LPARAM>(&font)); }},
        {"back to the top", [&] { Send(QPM_GOTOLINE, 1); }},
        {"a column marker", [&] { ed->config->columnMarker = true; ed->config->columnMarkerOffset = 12; }},
        {"the marker moved", [&] { ed->config->columnMarkerOffset = 20; }},
        {"no column marker", [&] { ed->config->columnMarker = false; ed->config->columnMarkerOffset = markerOffset; }},
    };
    for (const Step& step : steps) {
        step.change();
        const std::vector<uint32_t> kept = paint();
        DropOffscreen(*ed);  // nothing kept: every row is drawn
        const std::vector<uint32_t> whole = paint();
        ASSERT_EQ(kept.size(), count) << step.what;
        ASSERT_EQ(whole.size(), count) << step.what;
        size_t differ = 0;
        for (size_t i = 0; i < count; ++i)
            differ += kept[i] != whole[i] ? 1 : 0;
        EXPECT_EQ(differ, 0u) << step.what;
        // Painted twice with nothing changed in between: the same picture again.
        EXPECT_EQ(paint(), whole) << step.what;
    }
}
