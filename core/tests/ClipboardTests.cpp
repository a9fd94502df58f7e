// The clipboard's text.
#include "core/system/Clipboard.h"

#include <gtest/gtest.h>

namespace {

TEST(Clipboard, ClipboardRoundTrip)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    EXPECT_TRUE(CopyTextToClipboard("copied text and more", 11));
    CloseClipboard();
    EXPECT_EQ("copied text", GetClipboardText());
}

} // namespace
