// Mouse selection, scrolling, hyperlinks and OLE drag and drop of the edit window under Wine.
#include "editctl/tests/EditFixture.h"

#include "editctl/win/DragDrop.h"

using namespace quill;
using namespace quill::testing;

namespace {

class Mouse : public EditFixture {};

std::string ManyLines(int n)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "line " + std::to_string(i) + (i + 1 < n ? "\r\n" : "");
    return text;
}

} // namespace

TEST_F(Mouse, ClicksSelectByCharacterWordAndLine)
{
    SetText("alpha beta\r\ngamma");
    Click(PointAt(3, 0));
    EXPECT_EQ(Where(), "3,0");
    // Shift and a click before the anchor: from the click to the anchor, the caret at the click.
    Click(PointAt(1, 0), MK_SHIFT);
    EXPECT_EQ(Where(), "1,0 1,0-3,0");
    // A click in the margin on the last line takes the line to the end of the text.
    Click({2, PointAt(0, 1).y});
    EXPECT_EQ(Where(), "5,1 0,1-5,1");
    // A double click takes the word.
    const POINT beta = PointAt(7, 0);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(beta.x, beta.y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(beta.x, beta.y));
    EXPECT_EQ(Where(), "10,0 6,0-10,0");
    // Dragging with the button held extends from where it went down.
    Click(PointAt(0, 1));
    const POINT from = PointAt(1, 0), to = PointAt(4, 1);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    EXPECT_EQ(Where(), "4,1 1,0-4,1");
    EXPECT_EQ(GetCapture(), nullptr);
    // A point past the end of a line lands at its end.
    Click(PointAt(40, 1));
    EXPECT_EQ(Where(), "5,1");
}

TEST_F(Mouse, WheelAndScrollBars)
{
    SetText(ManyLines(200).c_str());
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0);
    EXPECT_EQ(ed->firstLine, 0);  // half a step does nothing yet
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0);
    EXPECT_EQ(ed->firstLine, 1);
    Send(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(ed->firstLine, 1 + ed->visibleLines);
    Send(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(ed->firstLine, 200 - ed->visibleLines);
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(ed->firstLine, 200 - ed->visibleLines);  // kept within the text
    Send(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(ed->firstLine, 0);
    // Paging right never goes beyond the longest line.
    const std::string wide(static_cast<size_t>(ed->visibleColumns + 10), 'w');
    SetText(wide.c_str());
    Send(WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_EQ(ed->firstColumn, 10);
    Send(WM_HSCROLL, SB_PAGELEFT);
    EXPECT_EQ(ed->firstColumn, 0);
}

// Ctrl and a click follow a web address through the shell and leave the caret alone; a "file:"
// link or anything else that could open a file or start a program never goes to the shell.
TEST_F(Mouse, CtrlClickFollowsOnlyWebAddresses)
{
    ASSERT_TRUE(ed->config->parseHyperlinks);
    SetText("see www.example.org now\r\nfile:///c:/windows/notepad.exe\r\n<a href=\"http://x.org/a b\">");
    Caret(0, 0);
    SetQualifiers(kCtrl);
    Click(PointAt(6, 0), MK_CONTROL);
    ASSERT_EQ(s_system.opened.size(), 1u);
    EXPECT_EQ(s_system.opened[0], "http://www.example.org");
    EXPECT_EQ(Where(), "0,0");
    Click(PointAt(10, 1), MK_CONTROL);
    EXPECT_EQ(s_system.opened.size(), 1u);
    Click(PointAt(20, 2), MK_CONTROL);  // inside quotes: the quoted text, blanks and all
    ASSERT_EQ(s_system.opened.size(), 2u);
    EXPECT_EQ(s_system.opened[1], "http://x.org/a b");
    SetQualifiers(0);
    const struct {
        const char* link;
        bool safe;
    } links[] = {{"http://a.b", true}, {"HTTPS://a.b", true}, {"mailto:x@y", true}, {"ftp://f.g", true},
                 {"www.a.b", true}, {"file:///c:/x.exe", false}, {"c:\\x.exe", false}, {"news:x", false},
                 {"http://", false}, {"javascript:alert(1)", false}};
    for (const auto& row : links)
        EXPECT_EQ(win::IsSafeHyperlink(row.link), row.safe) << row.link;
}

// Text dragged from one window into another through the system's drag loop: the cursor is moved
// over the target while the loop runs, then the drop happens.
TEST_F(Mouse, DragAndDropBetweenTwoWindows)
{
    ShowWindow(m_parent, SW_SHOWNORMAL);
    SetWindowPos(m_parent, HWND_TOPMOST, 0, 0, 640, 400, 0);
    HWND target = Create("target.htm", 0, 200, 600, 150);
    SetWindowPos(m_edit, nullptr, 0, 0, 600, 190, SWP_NOZORDER);
    SendMessageA(target, QPM_SETTEXT, 1, reinterpret_cast<LPARAM>("0123456789"));
    UpdateWindow(m_parent);
    SetText("drag me please");
    Select(5, 0, 7, 0);  // "me"
    win::EditData* te = win::GetEditData(target);
    ASSERT_NE(win::DropTargetOf(*te), nullptr);
    static POINT s_drop;
    static int s_calls;
    s_calls = 0;
    const int left = win::MarginWidth(*te) + win::LineNumberWidth(*te);
    s_drop = {left + 4 * te->config->charWidth + 1, 2};
    ClientToScreen(target, &s_drop);
    s_system.onDragContinue = [](BOOL, DWORD) -> HRESULT {
        SetCursorPos(s_drop.x, s_drop.y);
        return ++s_calls < 6 ? S_OK : DRAGDROP_S_DROP;
    };
    const POINT inside = PointAt(6, 0);
    SetCursorPos(0, 0);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
    s_system.onDragContinue = nullptr;
    EXPECT_GE(s_calls, 6);
    EXPECT_EQ(Text(target), "0123me456789");
    EXPECT_EQ(Text(), "drag  please");  // moved: the text left the source
    SetWindowPos(m_parent, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// The drop target's own rules, called the way the drag loop calls them.
TEST_F(Mouse, DropTargetMovesWithinAWindowAndRefusesReadOnly)
{
    ShowWindow(m_parent, SW_SHOWNORMAL);
    SetText("abc def ghi");
    IDropTarget* target = win::DropTargetOf(*ed);
    ASSERT_NE(target, nullptr);
    auto screen = [&](int column) {
        POINT p = PointAt(column, 0);
        ClientToScreen(m_edit, &p);
        return POINTL{p.x, p.y};
    };
    // Moving "abc " behind "ghi" within the same window: deleted after the insertion.
    Select(0, 0, 4, 0);
    ed->input.draggingOut = true;
    IDataObject* data = win::CreateTextDataObject("abc ");
    DWORD effect = DROPEFFECT_MOVE | DROPEFFECT_COPY;
    target->DragEnter(data, MK_LBUTTON, screen(11), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    effect = DROPEFFECT_MOVE | DROPEFFECT_COPY;
    target->Drop(data, 0, screen(11), &effect);
    EXPECT_EQ(Text(), "def ghiabc ");
    EXPECT_FALSE(ed->HasSelection());
    // Dropped onto its own selection: nothing changes but the selection goes.
    Select(0, 0, 3, 0);
    effect = DROPEFFECT_MOVE;
    target->DragEnter(data, MK_LBUTTON, screen(1), &effect);
    target->Drop(data, 0, screen(1), &effect);
    EXPECT_EQ(Text(), "def ghiabc ");
    EXPECT_FALSE(ed->HasSelection());
    ed->input.draggingOut = false;
    // A copy from elsewhere with Ctrl: inserted and left selected.
    effect = DROPEFFECT_MOVE | DROPEFFECT_COPY;
    target->DragEnter(data, MK_CONTROL, screen(0), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    target->Drop(data, MK_CONTROL, screen(0), &effect);
    EXPECT_EQ(Text(), "abc def ghiabc ");
    EXPECT_EQ(Where(), "4,0 0,0-4,0");
    Send(QPM_RUNCOMMAND, kEditUndo);
    EXPECT_EQ(Text(), "def ghiabc ");
    // Read-only: no effect, nothing dropped.
    Send(QPM_SETREADONLY, 1);
    effect = DROPEFFECT_COPY;
    target->DragEnter(data, 0, screen(0), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    target->Drop(data, 0, screen(0), &effect);
    EXPECT_EQ(Text(), "def ghiabc ");
    data->Release();
}

TEST_F(Mouse, HoverTipsAndAutoScroll)
{
    ASSERT_TRUE(ed->config->showHyperTips);
    SetText("go to http://example.org/ now");
    const POINT link = PointAt(9, 0);
    Send(WM_MOUSEHOVER, 0, MAKELPARAM(link.x, link.y));
    EXPECT_TRUE(ed->input.tipShown);
    const POINT plain = PointAt(1, 0);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(plain.x, plain.y));
    EXPECT_FALSE(ed->input.tipShown);
    Send(WM_MOUSEHOVER, 0, MAKELPARAM(link.x, link.y));
    Press(VK_RIGHT);  // a key press takes the tip away
    EXPECT_FALSE(ed->input.tipShown);

    // Selecting with the button held below the window scrolls the view a line a tick.
    SetText(ManyLines(100).c_str());
    const POINT start = PointAt(0, 0);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    RECT client{};
    GetClientRect(m_edit, &client);
    POINT below{client.right / 2, client.bottom + 20};
    ClientToScreen(m_edit, &below);
    SetCursorPos(below.x, below.y);
    Send(WM_TIMER, win::kAutoScrollTimer);
    Send(WM_TIMER, win::kAutoScrollTimer);
    EXPECT_EQ(ed->firstLine, 2);
    EXPECT_TRUE(ed->HasSelection());
    EXPECT_EQ(ed->selStart, (TextPos{0, 0}));
    EXPECT_GE(ed->selEnd.line, ed->visibleLines);
    Send(WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(ed->input.selecting);
    Send(WM_TIMER, win::kAutoScrollTimer);  // a late tick changes nothing
    EXPECT_EQ(ed->firstLine, 2);
}

TEST_F(Mouse, FocusMakesAndTakesTheCaret)
{
    SetFocus(m_edit);
    EXPECT_TRUE(ed->focused);
    EXPECT_TRUE(ed->input.hasCaret);
    ed->input.qualifiers = kCtrl;
    SetFocus(m_parent);
    EXPECT_FALSE(ed->input.hasCaret);
    EXPECT_EQ(ed->input.qualifiers, 0);
}
