// The one message-box service: scoped replacements nest and each end restores the one before.
#include "core/system/MessageBoxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CNamedBoxes : IMessageBoxes {
    explicit CNamedBoxes(int answer_) : answer(answer_) {}
    int Show(HWND, const char* text, const char* caption, UINT) override
    {
        shown.push_back(std::string(caption ? caption : "") + "|" + (text ? text : ""));
        return answer;
    }
    int answer;
    std::vector<std::string> shown;
};

TEST(MessageBoxes, ScopedReplacementsNestAndRestore)
{
    IMessageBoxes* const system = &GetMessageBoxes();
    EXPECT_NE(nullptr, dynamic_cast<CSystemMessageBoxes*>(system)) << "the system's boxes outside any scope";
    CNamedBoxes outer(IDOK);
    CNamedBoxes inner(IDNO);
    {
        CScopedMessageBoxes outerScope(outer);
        EXPECT_EQ(IDOK, GetMessageBoxes().Show(nullptr, "one", "A", MB_OK));
        {
            CScopedMessageBoxes innerScope(inner);
            EXPECT_EQ(IDNO, GetMessageBoxes().Show(nullptr, "two", "B", MB_YESNO));
        }
        EXPECT_EQ(IDOK, GetMessageBoxes().Show(nullptr, "three", nullptr, MB_OK));
    }
    EXPECT_EQ(system, &GetMessageBoxes());
    EXPECT_EQ((std::vector<std::string>{"A|one", "|three"}), outer.shown);
    EXPECT_EQ((std::vector<std::string>{"B|two"}), inner.shown);
}

} // namespace
