// A configuration's own key bindings: a key that the configuration binds runs its steps in the
// windows that use the configuration, and only there.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "editctl/tests/EditFixture.h"

namespace quill::testing {

namespace {

const char kNotesConfig[] = "Name=Notes\r\n"
                            "extentions=.note\r\n"
                            "Key=ctrl q\r\n"
                            "InsertText=quoted\\n\r\n"
                            "EndKey\r\n"
                            "Key=F9\r\n"
                            "Hardcoded=" /* the document's end */;

class ConfigurationKeys : public EditFixture {
protected:
    static void SetUpTestSuite()
    {
        EditFixture::SetUpTestSuite();
        const std::string text = std::string(kNotesConfig) + std::to_string(kCaretEnd) + "\r\nEndKey\r\n";
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
        ASSERT_TRUE(block);
        std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        EXPECT_TRUE(AddParserConfigFromMemory(block));
        GlobalFree(block);
    }
};

} // namespace

TEST_F(ConfigurationKeys, AKeyTheConfigurationBindsRunsItsStepsOnlyInItsOwnWindows)
{
    const HWND notes = Create("memo.note", 0, 0, 600, 360);
    ASSERT_TRUE(notes);
    ASSERT_EQ(win::GetEditData(notes)->config->name, "Notes");
    ASSERT_EQ(ed->config->name, "HTML");

    const KeyMacro* bound = win::GetEditData(notes)->config->keys.Find({'Q', kCtrl});
    ASSERT_NE(bound, nullptr);
    ASSERT_FALSE(bound->steps.empty());
    EXPECT_EQ(bound->steps[0].kind, MacroStep::kInsertText);
    SendMessageA(notes, QPM_SETTEXT, 1, reinterpret_cast<LPARAM>("one\r\ntwo"));
    SetFocus(notes);
    Press(VK_F9, 0, notes);  // the hard-coded command: to the end of the text
    EXPECT_EQ(win::GetEditData(notes)->caret.line, 1);
    EXPECT_EQ(win::GetEditData(notes)->caret.column, 3);
    Press(VkKeyScanA('q') & 0xFF, kCtrl, notes);  // the inserted text, its "\n" a line break
    EXPECT_EQ(Text(notes), "one\r\ntwoquoted\r\n");

    // The HTML window does not have the binding: Ctrl Q types nothing there.
    SetText("abc");
    SetFocus(m_edit);
    Press(VkKeyScanA('q') & 0xFF, kCtrl);
    EXPECT_EQ(Text(), "abc");
    DestroyWindow(notes);
}

} // namespace quill::testing
