// Window binding, message maps, contained windows, reflection and subclassing.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>
#include "platform/AtlWin.h"
#include "platform/tests/RecordingReporter.h"

namespace {

const UINT kPing = WM_APP + 1;
const UINT kPass = WM_APP + 2;
const UINT kAskFlag = WM_APP + 3;

// What reached a window's handlers: each handler notes a line and gives its answer.
class CHandlerLog
{
public:
    LRESULT Note(const std::string& line, LRESULT answer = 0)
    {
        m_log.push_back(line);
        return answer;
    }
    std::vector<std::string> m_log;
};

// A mix-in with its own map, chained into windows below: it answers kPing, and it passes on
// kPass after clearing its handled flag.
class CPingMixin
{
public:
    BEGIN_MSG_MAP(CPingMixin)
        MESSAGE_HANDLER(kPing, OnPing)
        MESSAGE_HANDLER(kPass, OnPass)
    END_MSG_MAP()

    LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL&) { return 11; }
    LRESULT OnPass(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        ++m_passes;
        bHandled = FALSE;
        return 99;
    }
    int m_passes = 0;
};

// A mix-in whose flag is a member (the _EX map): it clears it in a handler, and the window that
// chains it must still see its own flag untouched.
class CFlagMixin
{
public:
    BEGIN_MSG_MAP_EX(CFlagMixin)
        MESSAGE_HANDLER(kAskFlag, OnAskFlag)
    END_MSG_MAP()

    LRESULT OnAskFlag(UINT, WPARAM, LPARAM, BOOL&)
    {
        m_seenInside = IsMsgHandled();
        SetMsgHandled(FALSE);
        return 0;
    }
    BOOL m_seenInside = FALSE;
};

class CTestWindow : public CWindowImpl<CTestWindow, CWindow, CWinTraits<WS_POPUP>>,
                    public CPingMixin,
                    public CFlagMixin,
                    public CHandlerLog
{
public:
    DECLARE_WND_CLASS_EX(nullptr, 0, COLOR_WINDOW)

    BEGIN_MSG_MAP(CTestWindow)
        MESSAGE_HANDLER(WM_NCCREATE, OnNcCreate)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(m_registered, OnRegistered)
        MESSAGE_HANDLER(kAskFlag, OnAskFlagOuter)
        CHAIN_MSG_MAP(CPingMixin)
        CHAIN_MSG_MAP(CFlagMixin)
        MESSAGE_HANDLER(kPass, OnPassOuter)
        MESSAGE_HANDLER(kAskFlag, OnAskFlagAfter)
        COMMAND_ID_HANDLER(100, OnCommand100)
        COMMAND_RANGE_HANDLER(200, 209, OnCommandRange)
        NOTIFY_CODE_HANDLER(NM_CLICK, OnClick)
    END_MSG_MAP()

    LRESULT OnNcCreate(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        m_sawNcCreate = m_hWnd != nullptr;
        bHandled = FALSE; // the default processing must still run
        return 0;
    }
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&)
    {
        m_sawCreate = true;
        return 0;
    }
    LRESULT OnRegistered(UINT, WPARAM, LPARAM, BOOL&) { return 77; }
    LRESULT OnAskFlagOuter(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnAskFlagAfter(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        m_flagAfterChain = bHandled;
        return 5;
    }
    LRESULT OnPassOuter(UINT, WPARAM, LPARAM, BOOL&) { return 22; }
    LRESULT OnCommand100(WORD code, WORD id, HWND, BOOL&)
    {
        return Note("cmd " + std::to_string(id) + "/" + std::to_string(code));
    }
    LRESULT OnCommandRange(WORD, WORD id, HWND, BOOL&) { return Note("range " + std::to_string(id)); }
    LRESULT OnClick(int id, LPNMHDR, BOOL&) { return Note("click " + std::to_string(id), 3); }

    UINT m_registered = ::RegisterWindowMessageA("KivoPlatformTestMessage");
    bool m_sawNcCreate = false;
    bool m_sawCreate = false;
    BOOL m_flagAfterChain = FALSE;
};

TEST(PlatformWindow, FirstMessagesReachTheObjectAndMapsDispatch)
{
    CTestWindow window;
    ASSERT_TRUE(window.Create(nullptr, CRect(0, 0, 100, 100), "test"));
    EXPECT_TRUE(window.m_sawNcCreate);
    EXPECT_TRUE(window.m_sawCreate);
    char text[16] = {};
    window.GetWindowText(text, sizeof(text));
    EXPECT_STREQ("test", text); // WM_NCCREATE's default processing ran

    // A registered id held in a variable; a chained map; a handler that passes the message on,
    // after which the outer map's later entry answers.
    EXPECT_EQ(77, window.SendMessage(window.m_registered));
    EXPECT_EQ(11, window.SendMessage(kPing));
    EXPECT_EQ(22, window.SendMessage(kPass));
    EXPECT_EQ(1, window.m_passes);

    // The nested _EX map saw its own flag set, cleared it, and the outer map's flag for its next
    // entry was set afresh; the mix-in's member is restored after the call.
    window.m_seenInside = FALSE;
    EXPECT_EQ(5, window.SendMessage(kAskFlag));
    EXPECT_TRUE(window.m_seenInside);
    EXPECT_TRUE(window.m_flagAfterChain);
    EXPECT_TRUE(window.IsMsgHandled());

    window.SendMessage(WM_COMMAND, MAKEWPARAM(100, 7), 0);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(205, 0), 0);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(210, 0), 0); // outside the range: unhandled
    NMHDR nm = {window.m_hWnd, 42, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(3, window.SendMessage(WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&nm)));
    EXPECT_EQ((std::vector<std::string>{"cmd 100/7", "range 205", "click 42"}), window.m_log);
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(nullptr, window.m_hWnd);
}

// Each remaining kind of map entry, logging what matched.
class CEntryMember
{
public:
    BEGIN_MSG_MAP(CEntryMember)
        MESSAGE_HANDLER(WM_APP + 40, OnMember)
    ALT_MSG_MAP(3)
        MESSAGE_HANDLER(WM_APP + 41, OnMemberAlt)
    END_MSG_MAP()
    LRESULT OnMember(UINT, WPARAM, LPARAM, BOOL&) { return 40; }
    LRESULT OnMemberAlt(UINT, WPARAM, LPARAM, BOOL&) { return 41; }
};

class CEntryWindow : public CWindowImpl<CEntryWindow, CWindow, CWinTraits<WS_POPUP>>, public CHandlerLog
{
public:
    BEGIN_MSG_MAP(CEntryWindow)
        MESSAGE_RANGE_HANDLER(WM_APP + 30, WM_APP + 32, OnRange)
        COMMAND_HANDLER(300, 5, OnCommand)
        COMMAND_CODE_HANDLER(6, OnCommand)
        NOTIFY_HANDLER(400, 7, OnNotify)
        NOTIFY_ID_HANDLER(401, OnNotify)
        NOTIFY_RANGE_HANDLER(500, 510, OnNotify)
        CHAIN_MSG_MAP_MEMBER(m_member)
        CHAIN_MSG_MAP_ALT_MEMBER(m_member, 3)
        FORWARD_NOTIFICATIONS()
    END_MSG_MAP()
    LRESULT OnRange(UINT uMsg, WPARAM, LPARAM, BOOL&) { return Note("range " + std::to_string(uMsg - WM_APP)); }
    LRESULT OnCommand(WORD code, WORD id, HWND, BOOL&)
    {
        return Note("command " + std::to_string(id) + "/" + std::to_string(code));
    }
    LRESULT OnNotify(int id, LPNMHDR nm, BOOL&)
    {
        return Note("notify " + std::to_string(id) + "/" + std::to_string(nm->code));
    }
    CEntryMember m_member;
};

class CForwardTarget : public CWindowImpl<CForwardTarget, CWindow, CWinTraits<WS_POPUP>>
{
public:
    BEGIN_MSG_MAP(CForwardTarget)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    END_MSG_MAP()
    LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&) { return 77; }
};

TEST(PlatformWindow, EveryKindOfMapEntryMatchesItsMessages)
{
    CForwardTarget parent;
    ASSERT_TRUE(parent.Create(nullptr, CRect(0, 0, 10, 10)));
    CEntryWindow window;
    ASSERT_TRUE(window.Create(parent, CRect(0, 0, 10, 10), nullptr, WS_CHILD));
    for (UINT msg = WM_APP + 29; msg <= WM_APP + 33; ++msg)
        window.SendMessage(msg);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(300, 5), 0);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(300, 4), 0); // wrong code
    window.SendMessage(WM_COMMAND, MAKEWPARAM(301, 6), 0);
    NMHDR a = {nullptr, 400, 7}, b = {nullptr, 400, 8}, c = {nullptr, 401, 9}, d = {nullptr, 505, 1};
    window.SendMessage(WM_NOTIFY, 400, reinterpret_cast<LPARAM>(&a));
    window.SendMessage(WM_NOTIFY, 401, reinterpret_cast<LPARAM>(&c));
    window.SendMessage(WM_NOTIFY, 505, reinterpret_cast<LPARAM>(&d));
    const std::vector<std::string> expected = {"range 30", "range 31", "range 32", "command 300/5", "command 301/6",
                                               "notify 400/7", "notify 401/9", "notify 505/1"};
    EXPECT_EQ(expected, window.m_log);
    EXPECT_EQ(40, window.SendMessage(WM_APP + 40));
    EXPECT_EQ(41, window.SendMessage(WM_APP + 41));
    // A notification no entry took goes on to the parent.
    EXPECT_EQ(77, window.SendMessage(WM_NOTIFY, 400, reinterpret_cast<LPARAM>(&b)));
    parent.DestroyWindow();
}

// An object that the window owns: it deletes itself after the window's last message.
class CSelfDeleting : public CWindowImpl<CSelfDeleting, CWindow, CWinTraits<WS_POPUP>>
{
public:
    explicit CSelfDeleting(bool* deleted) : m_deleted(deleted) {}
    ~CSelfDeleting() override { *m_deleted = true; }

    BEGIN_MSG_MAP(CSelfDeleting)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
    END_MSG_MAP()

    // Destroys the window while this handler still runs: the object must outlive the handler.
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&)
    {
        DestroyWindow();
        m_stillHere = true;
        return 0;
    }
    void OnFinalMessage(HWND hWnd) override
    {
        m_finalWindow = hWnd;
        *m_finalSeen = hWnd;
        delete this;
    }

    bool* m_deleted;
    HWND* m_finalSeen = nullptr;
    HWND m_finalWindow = nullptr;
    bool m_stillHere = false;
};

// A map that handles WM_NCDESTROY itself must not keep the object bound to a dead window.
class CNcDestroyHandler : public CWindowImpl<CNcDestroyHandler, CWindow, CWinTraits<WS_POPUP>>
{
public:
    BEGIN_MSG_MAP(CNcDestroyHandler)
        MESSAGE_HANDLER(WM_NCDESTROY, OnNcDestroy)
    END_MSG_MAP()
    LRESULT OnNcDestroy(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    void OnFinalMessage(HWND) override { m_final = true; }
    bool m_final = false;
};

TEST(PlatformWindow, HandledNcDestroyStillEndsTheBinding)
{
    CNcDestroyHandler window;
    ASSERT_TRUE(window.Create(nullptr, CRect(0, 0, 10, 10)));
    window.DestroyWindow();
    EXPECT_TRUE(window.m_final);
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_TRUE(window.Create(nullptr, CRect(0, 0, 10, 10))); // free to make a new window
    window.DestroyWindow();
}

TEST(PlatformWindow, ObjectDeletesItselfInOnFinalMessage)
{
    bool deleted = false;
    HWND finalSeen = nullptr;
    auto* window = new CSelfDeleting(&deleted);
    window->m_finalSeen = &finalSeen;
    HWND hWnd = window->Create(nullptr, CRect(0, 0, 50, 50));
    ASSERT_TRUE(hWnd);
    ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(hWnd, finalSeen);
    EXPECT_FALSE(::IsWindow(hWnd));
}

// A window that deletes itself, in storage of its own: deleting fills the storage with a mark, so a
// write to the deleted object shows.
class CMarkedOnDelete : public CWindowImpl<CMarkedOnDelete, CWindow, CWinTraits<WS_POPUP>>
{
public:
    static constexpr unsigned char kDeletedMark = 0xAB;
    alignas(std::max_align_t) static inline unsigned char s_storage[1024];

    static void* operator new(size_t size)
    {
        if (size > sizeof(s_storage))
            throw std::bad_alloc();
        return s_storage;
    }
    static void operator delete(void*, size_t size) { memset(s_storage, kDeletedMark, size); }

    BEGIN_MSG_MAP(CMarkedOnDelete)
    END_MSG_MAP()
    void OnFinalMessage(HWND) override { delete this; }
};

TEST(PlatformWindow, DestroyingAWindowThatDeletesItselfLeavesTheDeletedObjectAlone)
{
    auto* window = new CMarkedOnDelete;
    HWND hWnd = window->Create(nullptr, CRect(0, 0, 20, 20));
    ASSERT_TRUE(hWnd);
    const size_t handleOffset = reinterpret_cast<unsigned char*>(&window->m_hWnd) - CMarkedOnDelete::s_storage;
    EXPECT_TRUE(window->DestroyWindow());
    EXPECT_FALSE(::IsWindow(hWnd));
    for (size_t i = 0; i < sizeof(HWND); ++i)
        EXPECT_EQ(CMarkedOnDelete::s_storage[handleOffset + i], CMarkedOnDelete::kDeletedMark) << "byte " << i;
}

// A parent with an alternate map for a contained edit, reflecting notifications to a child.
class CReflectingChild : public CWindowImpl<CReflectingChild>, public CHandlerLog
{
public:
    BEGIN_MSG_MAP(CReflectingChild)
        REFLECTED_COMMAND_CODE_HANDLER(EN_CHANGE, OnReflectedChange)
        REFLECTED_NOTIFY_CODE_HANDLER(NM_DBLCLK, OnReflectedDblClk)
        DEFAULT_REFLECTION_HANDLER()
    END_MSG_MAP()

    LRESULT OnReflectedChange(WORD, WORD id, HWND, BOOL&) { return Note("change " + std::to_string(id)); }
    LRESULT OnReflectedDblClk(int id, LPNMHDR, BOOL&) { return Note("dblclk " + std::to_string(id), 9); }
};

class CParentWindow : public CWindowImpl<CParentWindow, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN>>
{
public:
    CParentWindow() : m_edit("Edit", this, 1) {}

    BEGIN_MSG_MAP(CParentWindow)
        MESSAGE_HANDLER(kPing, OnPing)
        REFLECT_NOTIFICATIONS()
    ALT_MSG_MAP(1)
        MESSAGE_HANDLER(WM_CHAR, OnEditChar)
        MESSAGE_HANDLER(kPing, OnEditPing)
    ALT_MSG_MAP(2)
        MESSAGE_HANDLER(kPing, OnSecondPing)
    END_MSG_MAP()

    LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnEditPing(UINT, WPARAM, LPARAM, BOOL&) { return 2; }
    LRESULT OnSecondPing(UINT, WPARAM, LPARAM, BOOL&) { return 3; }
    // Swallows 'x'; everything else goes on to the edit control.
    LRESULT OnEditChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        if (wParam != 'x')
            bHandled = FALSE;
        return 0;
    }

    CContainedWindow m_edit;
};

TEST(PlatformWindow, ContainedWindowRoutesToAlternateMaps)
{
    CParentWindow parent;
    ASSERT_TRUE(parent.Create(nullptr, CRect(0, 0, 200, 100)));
    ASSERT_TRUE(parent.m_edit.Create(parent, CRect(0, 0, 100, 20), "", WS_CHILD | WS_VISIBLE, 0, 5U));
    EXPECT_EQ(1, parent.SendMessage(kPing));
    EXPECT_EQ(2, parent.m_edit.SendMessage(kPing));
    for (char c : std::string("axb"))
        parent.m_edit.SendMessage(WM_CHAR, c, 1);
    char text[16] = {};
    parent.m_edit.GetWindowText(text, sizeof(text));
    EXPECT_STREQ("ab", text); // the real edit procedure got the rest
    parent.m_edit.SwitchMessageMap(2);
    EXPECT_EQ(3, parent.m_edit.SendMessage(kPing));
    parent.DestroyWindow();
    EXPECT_EQ(nullptr, parent.m_edit.m_hWnd);
}

TEST(PlatformWindow, ParentReflectsCommandAndNotifyToTheChild)
{
    CParentWindow parent;
    ASSERT_TRUE(parent.Create(nullptr, CRect(0, 0, 200, 100)));
    CReflectingChild child;
    ASSERT_TRUE(child.Create(parent, CRect(0, 0, 50, 50), nullptr, 0, 0, 7U));
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), reinterpret_cast<LPARAM>(child.m_hWnd));
    NMHDR nm = {child.m_hWnd, 7, static_cast<UINT>(NM_DBLCLK)};
    EXPECT_EQ(9, parent.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&nm)));
    // Unhandled reflected messages get the default processing: 0 for a notification.
    NMHDR other = {child.m_hWnd, 7, static_cast<UINT>(NM_RCLICK)};
    EXPECT_EQ(0, parent.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&other)));
    // A menu command has no child to reflect to and stays with the parent's map (unhandled here).
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, 0), 0);
    EXPECT_EQ((std::vector<std::string>{"change 7", "dblclk 7"}), child.m_log);
    parent.DestroyWindow();
}

// Subclassing: a layer that tags kPing answers with its own digit, then passes it on.
class CTagLayer : public CWindowImpl<CTagLayer>
{
public:
    explicit CTagLayer(int digit) : m_digit(digit) {}
    BEGIN_MSG_MAP(CTagLayer)
        MESSAGE_HANDLER(kPing, OnPing)
    END_MSG_MAP()
    LRESULT OnPing(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        return DefWindowProc(uMsg, wParam, lParam) * 10 + m_digit;
    }
    int m_digit;
};

WNDPROC g_foreignPrevious = nullptr;
LRESULT CALLBACK ForeignProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == kPing)
        return ::CallWindowProcA(g_foreignPrevious, hWnd, uMsg, wParam, lParam) * 10 + 9;
    return ::CallWindowProcA(g_foreignPrevious, hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK BaseProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return uMsg == kPing ? 1 : ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

HWND MakeBaseWindow()
{
    static ATOM atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = BaseProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "KivoPlatformTestBase";
        return ::RegisterClassA(&wc);
    }();
    return ::CreateWindowExA(0, MAKEINTATOM(atom), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

TEST(PlatformWindow, SubclassAndUnsubclassInBothOrders)
{
    HWND hWnd = MakeBaseWindow();
    ASSERT_TRUE(hWnd);
    const auto original = ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    CTagLayer first(2), second(3);
    ASSERT_TRUE(first.SubclassWindow(hWnd));
    EXPECT_FALSE(first.SubclassWindow(hWnd)); // one window per object
    EXPECT_EQ(12, ::SendMessageA(hWnd, kPing, 0, 0));
    ASSERT_TRUE(second.SubclassWindow(hWnd));
    EXPECT_EQ(123, ::SendMessageA(hWnd, kPing, 0, 0));

    // Last in, first out.
    EXPECT_EQ(nullptr, first.UnsubclassWindow()); // refused: the second object lies above it
    EXPECT_EQ(hWnd, second.UnsubclassWindow());
    EXPECT_EQ(12, ::SendMessageA(hWnd, kPing, 0, 0));
    EXPECT_EQ(hWnd, first.UnsubclassWindow());
    EXPECT_EQ(original, ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(1, ::SendMessageA(hWnd, kPing, 0, 0));

    // First in, first out, which only force allows; the window goes on working.
    ASSERT_TRUE(first.SubclassWindow(hWnd));
    ASSERT_TRUE(second.SubclassWindow(hWnd));
    EXPECT_EQ(hWnd, first.UnsubclassWindow(TRUE));
    EXPECT_EQ(13, ::SendMessageA(hWnd, kPing, 0, 0));
    EXPECT_EQ(hWnd, second.UnsubclassWindow());
    EXPECT_EQ(original, ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(1, ::SendMessageA(hWnd, kPing, 0, 0));
    ::DestroyWindow(hWnd);
}

TEST(PlatformWindow, UnsubclassRefusedWhenAnotherProcedureCameLater)
{
    HWND hWnd = MakeBaseWindow();
    ASSERT_TRUE(hWnd);
    CTagLayer layer(2);
    ASSERT_TRUE(layer.SubclassWindow(hWnd));
    g_foreignPrevious = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignProc)));
    EXPECT_EQ(129, ::SendMessageA(hWnd, kPing, 0, 0));
    EXPECT_EQ(nullptr, layer.UnsubclassWindow());
    EXPECT_EQ(hWnd, layer.m_hWnd);
    EXPECT_EQ(129, ::SendMessageA(hWnd, kPing, 0, 0)); // refusal changed nothing
    // Once the later procedure has gone, unsubclassing works.
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignPrevious));
    EXPECT_EQ(hWnd, layer.UnsubclassWindow());
    EXPECT_EQ(1, ::SendMessageA(hWnd, kPing, 0, 0));
    ::DestroyWindow(hWnd);
}

TEST(PlatformWindow, SubclassedWindowLetsGoWhenDestroyed)
{
    HWND hWnd = MakeBaseWindow();
    CTagLayer layer(4);
    ASSERT_TRUE(layer.SubclassWindow(hWnd));
    ::DestroyWindow(hWnd);
    EXPECT_EQ(nullptr, layer.m_hWnd);
    // The object may bind again.
    HWND again = MakeBaseWindow();
    EXPECT_TRUE(layer.SubclassWindow(again));
    EXPECT_EQ(14, ::SendMessageA(again, kPing, 0, 0));
    ::DestroyWindow(again);
}

TEST(PlatformWindow, ObjectGoneBeforeItsWindowLeavesNoDanglingBinding)
{
    HWND created = nullptr;
    {
        CTestWindow window;
        created = window.Create(nullptr, CRect(0, 0, 10, 10));
        ASSERT_TRUE(created);
    }
    // The window outlived its object: it keeps working with the default processing.
    EXPECT_EQ(0, ::SendMessageA(created, kPing, 0, 0));
    EXPECT_TRUE(::SetWindowTextA(created, "still"));
    ::DestroyWindow(created);

    HWND base = MakeBaseWindow();
    {
        CTagLayer layer(6);
        ASSERT_TRUE(layer.SubclassWindow(base));
        EXPECT_EQ(16, ::SendMessageA(base, kPing, 0, 0));
    }
    EXPECT_EQ(1, ::SendMessageA(base, kPing, 0, 0));
    ::DestroyWindow(base);
}

// Records the window's last messages; leaves WM_CLOSE to the default processing, which destroys the
// window from inside DefWindowProc.
class CClosingWindow : public CWindowImpl<CClosingWindow, CWindow, CWinTraits<WS_POPUP>>
{
public:
    explicit CClosingWindow(std::vector<std::string>& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    BEGIN_MSG_MAP(CClosingWindow)
        MESSAGE_HANDLER(WM_CLOSE, OnMessage)
        MESSAGE_HANDLER(WM_DESTROY, OnMessage)
        MESSAGE_HANDLER(WM_NCDESTROY, OnMessage)
    END_MSG_MAP()
    LRESULT OnMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
    {
        m_log.push_back(m_name + (uMsg == WM_CLOSE ? " close" : uMsg == WM_DESTROY ? " destroy" : " ncdestroy"));
        bHandled = FALSE;
        return 0;
    }
    void OnFinalMessage(HWND) override { m_log.push_back(m_name + " final"); }
    std::vector<std::string>& m_log;
    std::string m_name;
};

TEST(PlatformWindow, MessagesSentFromTheDefaultProcessingReachEveryObject)
{
    std::vector<std::string> log;
    CClosingWindow window(log, "own");
    ASSERT_TRUE(window.Create(nullptr, CRect(0, 0, 10, 10)));
    window.SendMessage(WM_CLOSE);
    EXPECT_EQ((std::vector<std::string>{"own close", "own destroy", "own ncdestroy", "own final"}), log);
    EXPECT_EQ(nullptr, window.m_hWnd);

    // Two objects on one window: the lower one sees WM_CLOSE passed down, and both see the
    // destruction that its default processing starts.
    log.clear();
    CClosingWindow lower(log, "lower"), upper(log, "upper");
    ASSERT_TRUE(lower.Create(nullptr, CRect(0, 0, 10, 10)));
    ASSERT_TRUE(upper.SubclassWindow(lower));
    lower.SendMessage(WM_CLOSE);
    const std::vector<std::string> expected = {"upper close", "lower close", "upper destroy", "lower destroy",
                                               "upper ncdestroy", "lower ncdestroy", "lower final", "upper final"};
    EXPECT_EQ(expected, log);
    EXPECT_EQ(nullptr, lower.m_hWnd);
    EXPECT_EQ(nullptr, upper.m_hWnd);
}

// Throws from the handler of one chosen message (none: kPing only).
class CThrowingWindow : public CWindowImpl<CThrowingWindow, CWindow, CWinTraits<WS_POPUP>>
{
public:
    explicit CThrowingWindow(UINT throwOn = 0) : m_throwOn(throwOn) {}

    BEGIN_MSG_MAP(CThrowingWindow)
        MESSAGE_HANDLER(kPing, OnPing)
        MESSAGE_HANDLER(WM_NCCREATE, OnCreation)
        MESSAGE_HANDLER(WM_CREATE, OnCreation)
        MESSAGE_HANDLER(WM_GETTEXTLENGTH, OnCreation)
    END_MSG_MAP()
    LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL&) { throw std::runtime_error("handler failed"); }
    LRESULT OnCreation(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (uMsg == m_throwOn)
            throw std::runtime_error("creation failed");
        bHandled = FALSE;
        return 0;
    }
    void OnFinalMessage(HWND hWnd) override { m_final = hWnd; }
    UINT m_throwOn;
    HWND m_final = nullptr;
};

TEST(PlatformWindow, HandlerExceptionStopsAtTheWindowProcedure)
{
    CRecordingReporter reporter;
    CThrowingWindow window(WM_GETTEXTLENGTH);
    ASSERT_TRUE(window.Create(nullptr, CRect(0, 0, 10, 10), "abc"));
    EXPECT_EQ(0, window.SendMessage(kPing));
    EXPECT_EQ(nullptr, window.GetCurrentMessage());
    // Any other message than creation gets the default processing's answer.
    EXPECT_EQ(3, window.SendMessage(WM_GETTEXTLENGTH));
    const std::vector<std::string> texts = reporter.Texts();
    ASSERT_EQ(2u, texts.size());
    EXPECT_NE(std::string::npos, texts[0].find("handler failed")) << texts[0];
    EXPECT_NE(std::string::npos, texts[1].find("creation failed")) << texts[1];
    HWND hWnd = window;
    window.DestroyWindow();
    EXPECT_EQ(hWnd, window.m_final); // the object still ends normally
}

// A window whose creation handler throws is not made half-built: CreateWindowEx fails, the window is
// destroyed, and the object is free again.
TEST(PlatformWindow, CreationThatThrowsCreatesNoWindow)
{
    for (const UINT message : {WM_NCCREATE, WM_CREATE}) {
        SCOPED_TRACE(message);
        CRecordingReporter reporter;
        CThrowingWindow window(message);
        EXPECT_EQ(nullptr, window.Create(nullptr, CRect(0, 0, 10, 10)));
        EXPECT_EQ(nullptr, window.m_hWnd);
        EXPECT_TRUE(window.m_final != nullptr);
        EXPECT_FALSE(::IsWindow(window.m_final));
        const std::vector<std::string> texts = reporter.Texts();
        ASSERT_EQ(1u, texts.size());
        EXPECT_NE(std::string::npos, texts[0].find("creation failed")) << texts[0];
    }
}

// A superclass of a system control keeps the control's behaviour as its default.
class CSuperEdit : public CWindowImpl<CSuperEdit>
{
public:
    DECLARE_WND_SUPERCLASS("KivoPlatformTestEdit", "Edit")
    BEGIN_MSG_MAP(CSuperEdit)
        MESSAGE_HANDLER(kPing, OnPing)
    END_MSG_MAP()
    LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL&) { return 5; }
};

TEST(PlatformWindow, SuperclassAddsToTheOriginalClass)
{
    CSuperEdit edit;
    ASSERT_TRUE(edit.Create(nullptr, CRect(0, 0, 80, 20), "abc", WS_POPUP));
    EXPECT_EQ(5, edit.SendMessage(kPing));
    EXPECT_EQ(3, edit.SendMessage(WM_GETTEXTLENGTH));
    char name[64] = {};
    ::GetClassNameA(edit, name, sizeof(name));
    EXPECT_STREQ("KivoPlatformTestEdit", name);
    edit.DestroyWindow();
}

TEST(PlatformWindow, ClassesWithoutANameGetAGeneratedOne)
{
    CTestWindow window;
    ASSERT_TRUE(window.Create(nullptr, CRect(0, 0, 10, 10)));
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof(name));
    EXPECT_EQ(0, std::string(name).rfind("ATL:", 0)) << name;
    window.DestroyWindow();
}

} // namespace
