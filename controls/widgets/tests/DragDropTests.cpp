// OLE drag and drop through the real loop: a link, a file and a text dragged out of one window
// with the mouse and dropped on another, which scrolls while the mouse rests near its top edge;
// the effect filter, the scroll bands and the drop source's answers as tables.
#include "controls/widgets/OleDragDrop.h"
#include "controls/skins/tests/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace skin_test;

TEST(DragDrop, EffectsBandsAndTheSourcesAnswers)
{
    const struct {
        DWORD desired, allowed, expected;
    } effects[] = {
        {DROPEFFECT_COPY, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {DROPEFFECT_MOVE, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {DROPEFFECT_COPY, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {DROPEFFECT_COPY, DROPEFFECT_NONE, DROPEFFECT_NONE},
        {DROPEFFECT_LINK, DROPEFFECT_COPY, DROPEFFECT_NONE},
        {DROPEFFECT_NONE, DROPEFFECT_COPY, DROPEFFECT_NONE},
    };
    for (const auto& c : effects)
        EXPECT_EQ(FilterEffect(c.desired, c.allowed), c.expected) << c.desired << " " << c.allowed;
    EXPECT_EQ(EffectOfKeys(MK_CONTROL | MK_SHIFT), static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(EffectOfKeys(MK_CONTROL), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(EffectOfKeys(0), static_cast<DWORD>(DROPEFFECT_MOVE));

    const RECT client = {0, 0, 200, 100};
    const struct {
        POINT point;
        WORD direction;
    } bands[] = {{{100, 5}, 0x00FF}, {{100, 95}, 0x01FF}, {{5, 50}, 0xFF00}, {{195, 50}, 0xFF01},
                 {{5, 5}, 0x0000},   {{100, 50}, kNoScroll}, {{300, 50}, kNoScroll}};
    for (const auto& c : bands)
        EXPECT_EQ(DragScrollDirection(client, c.point), c.direction) << c.point.x << "," << c.point.y;

    CDragStartHelper source;
    EXPECT_EQ(source.QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source.QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(source.QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source.QueryContinueDrag(FALSE, 0), DRAGDROP_S_CANCEL);  // cancelled once: no drop after
    CDragStartHelper other;
    EXPECT_EQ(other.QueryContinueDrag(FALSE, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
}

TEST(DragDrop, GlobalCopiesShellFileOperationsAndTheDragFrame)
{
    HGLOBAL source = GlobalAlloc(GMEM_MOVEABLE, 16);
    {
        CGlobalMemLock lock(source);
        ASSERT_NE(lock.Get(), nullptr);
        std::memcpy(lock.Get(), "0123456789abcdef", 16);
    }
    HGLOBAL copy = CopyHGlobal(nullptr, source);
    ASSERT_NE(copy, nullptr);
    {
        CGlobalMemLock lock(copy);
        EXPECT_EQ(std::string(static_cast<const char*>(lock.Get()), 16), "0123456789abcdef");
    }
    HGLOBAL small = GlobalAlloc(GMEM_MOVEABLE, 4);
    EXPECT_EQ(CopyHGlobal(small, source), nullptr);  // too small a destination
    GlobalFree(small);
    GlobalFree(copy);
    GlobalFree(source);

    CScratchFolder folder("shell-files");
    const std::string base = folder.Path().c_str();
    CreateDirectoryA((base + "into").c_str(), nullptr);
    ASSERT_TRUE(WriteFile(base + "one.txt", "1"));
    ASSERT_TRUE(WriteFile(base + "two.txt", "2"));
    EXPECT_TRUE(ShellCopyFiles(base + "into", {base + "one.txt"}));
    EXPECT_NE(GetFileAttributesA((base + "into\\one.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((base + "one.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(ShellMoveFiles(base + "into", {base + "two.txt"}));
    EXPECT_NE(GetFileAttributesA((base + "into\\two.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((base + "two.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(ShellCopyFiles(base + "into", {}));

    // The drag frame: drawn once it shows, drawn again at the same place it is gone.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 50, 50);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, 50, 50};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const RECT frame = {10, 10, 40, 40};
    HBRUSH inverting = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));  // white XOR white: black
    DrawDragRect(memory, frame, SIZE{3, 3}, nullptr, SIZE{}, inverting, nullptr);
    EXPECT_EQ(GetPixel(memory, 11, 20), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 20, 20), RGB(255, 255, 255));  // the inside stays
    const RECT moved = {12, 10, 42, 40};
    DrawDragRect(memory, moved, SIZE{3, 3}, &frame, SIZE{3, 3}, inverting, nullptr);
    EXPECT_EQ(GetPixel(memory, 10, 20), RGB(255, 255, 255));  // the old frame's left edge is gone
    EXPECT_EQ(GetPixel(memory, 13, 20), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 41, 20), RGB(0, 0, 0));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

namespace {

constexpr char kTargetClass[] = "KivoDropTargetWindow";

class CTestDropTarget : public TDropTarget<CTestDropTarget> {
public:
    HWND window = nullptr;
    std::vector<std::string> drops;
    int scrolls = 0;
    int scrollStarts = 0;
    int enters = 0;

    HWND GetDropWindow() const { return window; }
    DWORD OnDragEnter(IDataObject*, DWORD keys, POINT)
    {
        ++enters;
        return EffectOfKeys(keys);
    }
    DWORD OnDragOver(IDataObject*, DWORD keys, POINT) { return EffectOfKeys(keys); }
    void OnDragLeave() {}
    DWORD OnDrop(IDataObject* data, DWORD effect, DWORD, POINT)
    {
        CDataObjectHolder holder;
        data->AddRef();
        holder.Attach(data, true);
        std::vector<std::string> files;
        const std::string url = holder.GetText(GetClipboardFormats().url);
        if (!url.empty())
            drops.push_back("link:" + url);
        else if (holder.GetDroppedFiles(files))
            drops.push_back("file:" + files.front());
        else
            drops.push_back("text:" + holder.GetText(CF_TEXT));
        return effect;
    }
    bool CanDragScroll(WORD direction) { return direction == 0x00FF; }  // up only
    void DoDragScroll(WORD) { ++scrolls; }
    void OnDragScrollStarted() { ++scrollStarts; }
};

// The steps the timer runs during the drag loop, one per tick.
std::vector<std::function<void()>> g_steps;
size_t g_step = 0;

void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_step < g_steps.size())
        g_steps[g_step++]();
}

void SendMouse(POINT point, DWORD buttons)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((point.x * 65535LL + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((point.y * 65535LL + height / 2) / (height - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof(input));
}

}  // namespace

TEST(DragDrop, ALinkAFileAndATextGoFromOneWindowToAnotherThroughTheOleLoop)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = kTargetClass;
    RegisterClassA(&windowClass);
    HWND source = CreateWindowExA(0, kTargetClass, "", WS_POPUP | WS_VISIBLE | WS_BORDER, kTestOriginX + 20,
                                  kTestOriginY + 20, 150, 150, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND target = CreateWindowExA(0, kTargetClass, "", WS_POPUP | WS_VISIBLE | WS_BORDER, kTestOriginX + 250,
                                  kTestOriginY + 20, 200, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(source && target);
    CTestDropTarget drop;
    drop.window = target;
    CWindowDropTarget registration;
    ASSERT_TRUE(registration.Register(target, &drop));
    PumpPending();

    CScratchFolder folder("drag-drop");
    const std::string file = std::string(folder.Path().c_str()) + "dropped.txt";
    ASSERT_TRUE(WriteFile(file, "content"));

    const POINT start = {kTestOriginX + 90, kTestOriginY + 90};
    const POINT nearTop = {kTestOriginX + 350, kTestOriginY + 20 + 6};
    const POINT inside = {kTestOriginX + 350, kTestOriginY + 120};
    const struct {
        const char* kind;
        std::function<void(CDataObject&)> fill;
        std::string expected;
        bool scroll;
    } drags[] = {
        {"link", [](CDataObject& data) { data.SetUrl("https://kivo.example/page"); }, "link:https://kivo.example/page", true},
        {"file", [&](CDataObject& data) { data.SetFiles({file}); }, "file:" + file, false},
        {"text", [](CDataObject& data) { data.SetText("some words"); }, "text:some words", false},
    };
    for (const auto& drag : drags) {
        const int scrollsBefore = drop.scrolls;
        SendMouse(start, MOUSEEVENTF_LEFTDOWN);
        ASSERT_TRUE(PumpUntil([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; })) << drag.kind;
        g_step = 0;
        g_steps.clear();
        for (int i = 1; i <= 4; ++i)
            g_steps.push_back([=] { SendMouse({start.x + i * 5, start.y}, 0); });
        g_steps.push_back([=] { SendMouse(inside, 0); });
        if (drag.scroll) {
            // Resting near the top edge: moves of a pixel keep the loop asking while time passes.
            for (int i = 0; i < 12; ++i)
                g_steps.push_back([=] { SendMouse({nearTop.x + (i % 2), nearTop.y}, 0); });
            g_steps.push_back([=] { SendMouse(inside, 0); });
        }
        g_steps.push_back([=] { SendMouse({inside.x + 1, inside.y}, 0); });
        g_steps.push_back([=] { SendMouse({inside.x + 1, inside.y}, MOUSEEVENTF_LEFTUP); });
        // A deadline for the loop itself: should the release be lost, Escape ends it.
        for (int i = 0; i < 200; ++i)
            g_steps.push_back([] { keybd_event(VK_ESCAPE, 0, 0, 0); keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0); });
        const UINT_PTR timer = SetTimer(nullptr, 0, 60, StepTimer);
        CDataObject* data = CDataObject::Create();
        drag.fill(*data);
        CDragStartHelper helper;
        const DWORD effect = helper.DoDragDrop(data, DROPEFFECT_COPY | DROPEFFECT_MOVE);
        KillTimer(nullptr, timer);
        data->Release();
        ASSERT_FALSE(drop.drops.empty()) << drag.kind;
        EXPECT_EQ(drop.drops.back(), drag.expected);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE)) << drag.kind;
        if (drag.scroll) {
            EXPECT_GT(drop.scrolls, scrollsBefore) << "resting near the top edge scrolls";
            EXPECT_GE(drop.scrollStarts, 1);
        }
        PumpPending();
    }
    EXPECT_EQ(drop.drops.size(), 3u);
    // Leaving the edge gave the target its own feedback back (a new enter after the scrolling).
    EXPECT_GE(drop.enters, 4);
    registration.Revoke();
    DestroyWindow(target);
    DestroyWindow(source);
}
