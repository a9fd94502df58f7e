#pragma once
// What the skin tests share: bitmap and text files written into scratch folders, a twelve-part
// test skin with known sizes and colours, real windows to skin (a plain top-level window and a
// dialog from an in-memory template), and a message pump that waits for a condition.
#include "core/tests/ScratchFolder.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace skin_test {

inline bool WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    return std::fclose(out) == 0;
}

// A 24-bit BMP file's bytes; pixel(x, y) with y = 0 at the top.
inline std::string BitmapBytes(int width, int height, const std::function<COLORREF(int, int)>& pixel)
{
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    for (int y = height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = pixel(x, y);
            row[x * 3] = static_cast<char>(GetBValue(colour));
            row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
            row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
        }
        bytes += row;
    }
    return bytes;
}

inline bool WriteBitmap(const std::string& path, int width, int height, COLORREF colour)
{
    return WriteFile(path, BitmapBytes(width, height, [colour](int, int) { return colour; }));
}

// Colours of the test skin's parts.
inline constexpr COLORREF kTopColour = RGB(0, 0, 200);
inline constexpr COLORREF kLeftColour = RGB(0, 160, 0);
inline constexpr COLORREF kRightColour = RGB(160, 0, 0);
inline constexpr COLORREF kBottomColour = RGB(200, 200, 0);
inline constexpr COLORREF kCornerColour = RGB(40, 40, 40);
inline constexpr COLORREF kButtonColour = RGB(250, 250, 250);
inline constexpr COLORREF kMagenta = RGB(255, 0, 255);
// Geometry of the test skin.
inline constexpr int kTopHeight = 24;
inline constexpr int kSideWidth = 6;
inline constexpr int kBottomHeight = 5;
inline constexpr int kCornerWidth = 10;
inline constexpr int kButtonSize = 16;
// The top-left corner has this many magenta pixels in its first row (a cut corner).
inline constexpr int kCornerCut = 4;

// A twelve-part skin in <skins>\<name>\: top 24 high, sides 6 wide, bottom 5 high; buttons of
// 16 x 16 at 4 px from the top: close at -20, max at -38, min at -56; no "lefttop"/"leftbottom"
// (they fall back to "left"); a magenta triangle in the top-left corner.
inline bool MakeTwelvePartSkin(const std::string& skins, const char* name, const std::string& extraIni = "")
{
    const std::string folder = skins + name + "\\";
    CreateDirectoryA(skins.c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    bool ok = WriteBitmap(folder + "top.bmp", 4, kTopHeight, kTopColour) &&
              WriteFile(folder + "topleft.bmp", BitmapBytes(kCornerWidth, kTopHeight, [](int x, int y) {
                            return x + y < kCornerCut ? kMagenta : kCornerColour;
                        })) &&
              WriteBitmap(folder + "topright.bmp", kCornerWidth, kTopHeight, kCornerColour) &&
              WriteBitmap(folder + "left.bmp", kSideWidth, 4, kLeftColour) &&
              WriteBitmap(folder + "right.bmp", kSideWidth, 4, kRightColour) &&
              WriteBitmap(folder + "righttop.bmp", kSideWidth, 8, kRightColour) &&
              WriteBitmap(folder + "rightbottom.bmp", kSideWidth, 8, kRightColour) &&
              WriteBitmap(folder + "bottom.bmp", 4, kBottomHeight, kBottomColour) &&
              WriteBitmap(folder + "bottomleft.bmp", kCornerWidth, kBottomHeight, kCornerColour) &&
              WriteBitmap(folder + "bottomright.bmp", kCornerWidth, kBottomHeight, kCornerColour);
    for (const char* button : {"min", "max", "close"}) {
        ok = ok && WriteFile(folder + button + ".bmp", BitmapBytes(kButtonSize * 4, kButtonSize, [](int x, int) {
                                 return RGB(250 - (x / kButtonSize) * 40, 250, 250);
                             }));
    }
    const std::string ini = "[general]\r\nauthor=Test Author\r\nwebsite=http://skins.example\r\nemail=a@b.example\r\n"
                            "caprect=30,2,-60,22\r\ncaptextcolor=10,20,30\r\n"
                            "minpos=-56,4\r\nmaxpos=-38,4\r\nclosepos=-20,4\r\n" +
                            extraIni;
    return ok && WriteFile(folder + "skin.ini", ini);
}

// Dispatches messages until the condition holds or a generous deadline passes.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs = 20000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition())
            return true;
        if (GetTickCount() - start > deadlineMs)
            return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline void PumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

inline constexpr char kTestFrameClass[] = "KivoSkinTestFrame";

// The test executables share one display and run at once; these tests keep their windows (and
// their clicks) in the lower right part of it, where the other controls tests put none, and a
// maximised test window fills only that part.
inline constexpr int kTestOriginX = 700;
inline constexpr int kTestOriginY = 500;
inline constexpr RECT kTestMaximised = {kTestOriginX, kTestOriginY, kTestOriginX + 560, kTestOriginY + 480};

inline LRESULT CALLBACK TestFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxPosition = {kTestMaximised.left, kTestMaximised.top};
        info->ptMaxSize = {kTestMaximised.right - kTestMaximised.left, kTestMaximised.bottom - kTestMaximised.top};
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A real click: the cursor moves there and the button goes down and up, in one batch of input so
// that no other program's cursor move comes between.
inline void ClickAtScreen(POINT point)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3] = {};
    for (INPUT& one : input) {
        one.type = INPUT_MOUSE;
        one.mi.dx = static_cast<LONG>((point.x * 65535LL + width / 2) / (width - 1));
        one.mi.dy = static_cast<LONG>((point.y * 65535LL + height / 2) / (height - 1));
    }
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, input, sizeof(INPUT));
}

// A top-level window with a caption, the system menu and both boxes, at (x, y).
inline HWND CreateTestFrame(const char* title, int x, int y, int width, int height,
                            DWORD style = WS_OVERLAPPEDWINDOW)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestFrameProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = kTestFrameClass;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, kTestFrameClass, title, style | WS_VISIBLE, kTestOriginX + x, kTestOriginY + y, width,
                           height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// A modeless dialog with a caption, a system menu, a static text and two push buttons.
inline HWND CreateTestDialog(const char* title, int x, int y)
{
    std::vector<WORD> words;
    const auto align = [&] {
        if (words.size() % 2)
            words.push_back(0);
    };
    const auto text = [&](const char* value) {
        for (const char* at = value; *at; ++at)
            words.push_back(static_cast<WORD>(static_cast<unsigned char>(*at)));
        words.push_back(0);
    };
    const auto item = [&](DWORD style, short ix, short iy, short cx, short cy, WORD id, WORD atom, const char* label) {
        align();
        const DWORD values[2] = {style | WS_CHILD | WS_VISIBLE, 0};
        words.insert(words.end(), reinterpret_cast<const WORD*>(values), reinterpret_cast<const WORD*>(values) + 4);
        words.insert(words.end(), {static_cast<WORD>(ix), static_cast<WORD>(iy), static_cast<WORD>(cx),
                                   static_cast<WORD>(cy), id, 0xFFFF, atom});
        text(label);
        words.push_back(0);
    };
    const DWORD style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    const DWORD header[2] = {style, 0};
    words.insert(words.end(), reinterpret_cast<const WORD*>(header), reinterpret_cast<const WORD*>(header) + 4);
    words.insert(words.end(), {3, 0, 0, 200, 90, 0, 0});
    text(title);
    words.push_back(8);
    text("MS Shell Dlg");
    item(SS_LEFT, 10, 10, 180, 20, 100, 0x0082, "A dialog wearing the frame of the skin.");
    item(BS_DEFPUSHBUTTON | WS_TABSTOP, 40, 60, 50, 14, IDOK, 0x0080, "OK");
    item(BS_PUSHBUTTON | WS_TABSTOP, 110, 60, 50, 14, IDCANCEL, 0x0080, "Cancel");
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
                                             nullptr, [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
                                                 return message == WM_INITDIALOG;
                                             },
                                             0);
    if (dialog)
        SetWindowPos(dialog, nullptr, kTestOriginX + x, kTestOriginY + y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return dialog;
}

}  // namespace skin_test
