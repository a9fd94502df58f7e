// The etched label: where its line goes, and the line drawn in the shadow and highlight colours
// (swapped when raised) after the text of a real static control.
#include "controls/tests/Screenshot.h"
#include "frame/dialogs/EtchedLabel.h"
#include "frame/dialogs/tests/DialogsTestSupport.h"
#include "platform/AtlGdi.h"

#include <gtest/gtest.h>

namespace {

TEST(EtchedLabel, LineGeometry)
{
    RECT line = {};
    ASSERT_TRUE(ComputeEtchedLabelLine(RECT{0, 0, 200, 20}, 50, 1, line));
    EXPECT_EQ(line.left, 65);
    EXPECT_EQ(line.right, 200);
    EXPECT_EQ(line.top, 9);
    EXPECT_EQ(line.bottom, 11);
    // Only wider than the text and the gap.
    EXPECT_FALSE(ComputeEtchedLabelLine(RECT{0, 0, 65, 20}, 50, 1, line));
    EXPECT_TRUE(ComputeEtchedLabelLine(RECT{0, 0, 66, 20}, 50, 1, line));
}

class CLabelWindow {
public:
    CLabelWindow()
    {
        parent = ::CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 20, 20, 260, 40, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        label = ::CreateWindowExA(0, "Static", "Section", WS_CHILD | WS_VISIBLE, 0, 0, 240, 20, parent, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    ~CLabelWindow()
    {
        if (parent)
            ::DestroyWindow(parent);
    }
    CLabelWindow(const CLabelWindow&) = delete;
    CLabelWindow& operator=(const CLabelWindow&) = delete;
    HWND parent = nullptr;
    HWND label = nullptr;
};

kivo_test::CPixels Printed(CEtchedLabel& etched)
{
    CClientDC screen(nullptr);
    CDC memory;
    memory.CreateCompatibleDC(screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(screen, 240, 20);
    kivo_test::CPixels pixels;
    {
        CGdiObjectSelector selected(memory, bitmap);
        etched.Paint(memory);
    }
    kivo_test::ReadPixels(memory, bitmap, 240, 20, pixels);
    return pixels;
}

TEST(EtchedLabel, DrawsTheEtchedLineAfterTheText)
{
    const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_3DHILIGHT);
    for (bool etched : {true, false}) {
        SCOPED_TRACE(etched ? "etched" : "raised");
        CLabelWindow window;
        ASSERT_TRUE(window.label);
        CEtchedLabel label(etched);
        ASSERT_TRUE(label.SubclassWindow(window.label));
        EXPECT_TRUE(::GetWindowLongPtrA(window.label, GWL_STYLE) & SS_NOTIFY);
        const kivo_test::CPixels pixels = Printed(label);
        // The middle is y = 10: the line's rows are 9 and 10; x = 200 is well after "Section".
        EXPECT_EQ(pixels.At(200, 9), etched ? shadow : light);
        EXPECT_EQ(pixels.At(200, 10), etched ? light : shadow);
        EXPECT_NE(pixels.At(200, 5), shadow);
        if (etched) {
            EXPECT_TRUE(kivo_test::WriteBitmap(kivo_test::ScreenshotPath("etched_label.bmp"), pixels));
        }
        label.UnsubclassWindow();
    }
}

}  // namespace
