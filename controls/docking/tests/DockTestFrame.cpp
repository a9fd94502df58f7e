#include "controls/docking/tests/DockTestFrame.h"

#include <algorithm>

void CDockTestFrame::UpdateCommandUI(UINT id, ICommandUIElement& element)
{
    m_updated.push_back(id);
    element.Enable(std::find(m_disable.begin(), m_disable.end(), id) == m_disable.end());
    if (m_onUpdate)
        m_onUpdate(id);
}

CDockTestFrame* CDockTestFrame::Make(const RECT& rect)
{
    auto* frame = new CDockTestFrame;
    RECT area = rect;
    if (!frame->Create(nullptr, area, "Docking test frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)) {
        delete frame;
        return nullptr;
    }
    frame->ShowWindow(SW_SHOWNORMAL);
    frame->UpdateLayout();
    dock_test::Pump();
    return frame;
}

void CDockTestFrame::Destroy()
{
    if (m_hWnd)
        DestroyWindow();
    dock_test::Pump();
    delete this;
}

RECT CDockTestFrame::ClientArea() const
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    return client;
}

HWND CDockTestFrame::AddMdiChild(const char* title)
{
    MDICREATESTRUCTA create = {};
    create.szClass = "MDIChildDockTest";
    create.szTitle = title;
    create.hOwner = ::GetModuleHandleA(nullptr);
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    create.style = WS_VISIBLE;
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = dock_test::RecordingChildProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "MDIChildDockTest";
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        ::RegisterClassA(&wc);
        registered = true;
    }
    return reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

LRESULT CDockTestFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    CreateMDIClient();
    handled = FALSE;  // the docking layer's creation follows
    return 0;
}

LRESULT CDockTestFrame::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    ++m_wheelCount;
    m_lastWheel = wParam;
    return 1;
}

namespace dock_test {

std::vector<HWND>& ClosedChildren()
{
    static std::vector<HWND> closed;
    return closed;
}

std::vector<HWND>& WheeledChildren()
{
    static std::vector<HWND> wheeled;
    return wheeled;
}

LRESULT CALLBACK RecordingChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
        ClosedChildren().push_back(window);
    if (message == WM_MOUSEWHEEL) {
        WheeledChildren().push_back(window);
        return 1;
    }
    return ::DefMDIChildProcA(window, message, wParam, lParam);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& condition)
{
    const DWORD deadline = ::GetTickCount() + 20000;
    while (!condition()) {
        if (static_cast<LONG>(::GetTickCount() - deadline) > 0)
            return false;
        Pump();
        if (!condition())
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

CDockingWindow* MakePane(CDockTestFrame& frame, const char* caption)
{
    HWND content = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", caption, WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 10, 10,
                                     frame.m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    HICON icon = ::LoadIconA(nullptr, IDI_INFORMATION);
    return CDockingWindow::CreatePane(frame.m_hWnd, content, caption, icon);
}

bool DockAt(CDockingWindow& pane, uint32_t flags, uint32_t barIndex, uint32_t thickness, float position)
{
    const bool docked = pane.DockAtSide(flags, barIndex, static_cast<int>(thickness), position);
    Pump();
    return docked;
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

RECT InFrame(HWND frame, HWND window)
{
    RECT rect = WindowRect(window);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

POINT CaptionPoint(CDockingWindow& pane)
{
    const RECT window = WindowRect(pane.m_hWnd);
    const RECT caption = pane.CaptionRect();
    return {window.left + (caption.left + caption.right) / 3, window.top + (caption.top + caption.bottom) / 2};
}

CInputScript& CInputScript::Post(std::function<HWND()> target, UINT message, WPARAM wParam,
                                 std::function<POINT()> point, std::function<bool()> ready)
{
    m_steps.push_back({std::move(target), message, wParam, std::move(point), std::move(ready)});
    return *this;
}

CInputScript& CInputScript::Post(HWND target, UINT message, WPARAM wParam, POINT point, std::function<bool()> ready)
{
    return Post([target] { return target; }, message, wParam, [point] { return point; }, std::move(ready));
}

namespace {
CInputScript* t_running = nullptr;
}

void CALLBACK CInputScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (t_running)
        t_running->Step();
}

void CInputScript::Step()
{
    if (static_cast<LONG>(::GetTickCount() - m_deadline) > 0) {
        // A loop that never got what it waits for: end it, and the test fails.
        m_timedOut = true;
        m_next = m_steps.size();
        if (HWND capture = ::GetCapture()) {
            ::PostMessageA(capture, WM_KEYDOWN, VK_ESCAPE, 0);
            ::ReleaseCapture();
        }
        return;
    }
    if (m_next >= m_steps.size())
        return;
    CScriptStep& step = m_steps[m_next];
    if (step.ready && !step.ready())
        return;
    HWND target = step.target();
    POINT point = step.point ? step.point() : POINT{0, 0};
    const bool nonClient = step.message >= WM_NCMOUSEMOVE && step.message <= WM_NCMBUTTONDBLCLK;
    if (!nonClient && step.message >= WM_MOUSEFIRST && step.message <= WM_MOUSELAST)
        ::ScreenToClient(target, &point);
    LPARAM lParam = MAKELPARAM(static_cast<short>(point.x), static_cast<short>(point.y));
    if (step.message == WM_KEYDOWN || step.message == WM_KEYUP)
        lParam = step.message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001) : 1;
    ::PostMessageA(target, step.message, step.wParam, lParam);
    ++m_next;
}

bool CInputScript::Run()
{
    m_deadline = ::GetTickCount() + 20000;
    t_running = this;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 15, Tick);
    const bool finished = PumpUntil([this] { return m_next >= m_steps.size() && !::GetCapture(); });
    ::KillTimer(nullptr, timer);
    t_running = nullptr;
    Pump();
    return finished && !m_timedOut;
}

std::function<bool()> Captures(HWND window)
{
    return [window] { return ::GetCapture() == window; };
}

std::function<bool()> CapturesAny()
{
    return [] { return ::GetCapture() != nullptr; };
}

}  // namespace dock_test
