// The setup program's string stack as the plug-in fills it: the push in both character widths (the
// 32-bit plug-in pushes ANSI text, the 64-bit one wide text), and IsUnicodeOS of the built DLL.
#include "setup-plugin/SetupStack.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string>

namespace {

template <typename TChar>
std::basic_string<TChar> Widen(const char* text)
{
    std::basic_string<TChar> result;
    for (; *text; ++text)
        result += static_cast<TChar>(*text);
    return result;
}

template <typename TChar>
void FreeStack(TSetupStackNode<TChar>* top)
{
    while (top) {
        auto* next = top->next;
        GlobalFree(top);
        top = next;
    }
}

template <typename TChar>
class SetupStackPush : public testing::Test {};
using StackCharTypes = testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(SetupStackPush, StackCharTypes);

TYPED_TEST(SetupStackPush, CutsTheTextToTheStringSizeWithItsTerminator)
{
    const struct {
        int stringSize;
        const char* text;
        const char* expected;
    } cases[] = {{1024, "true", "true"}, {5, "false", "fals"}, {3, "true", "tr"}, {2, "true", "t"}, {1, "true", ""},
                 {8, "", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "string size " << c.stringSize << ", text \"" << c.text << "\"");
        TSetupStackNode<TypeParam>* top = nullptr;
        ASSERT_TRUE(PushSetupText(&top, c.stringSize, c.text));
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(top->next, nullptr);
        EXPECT_EQ(std::basic_string<TypeParam>(top->text), Widen<TypeParam>(c.expected));
        // The setup program may write a whole string-size text into a node it got: it must fit.
        EXPECT_GE(GlobalSize(top), offsetof(TSetupStackNode<TypeParam>, text) + c.stringSize * sizeof(TypeParam));
        FreeStack(top);
    }
}

TYPED_TEST(SetupStackPush, LinksTheNewNodeInFrontOfTheTop)
{
    TSetupStackNode<TypeParam>* top = nullptr;
    ASSERT_TRUE(PushSetupText(&top, 16, "below"));
    auto* below = top;
    ASSERT_TRUE(PushSetupText(&top, 16, "above"));
    EXPECT_EQ(std::basic_string<TypeParam>(top->text), Widen<TypeParam>("above"));
    EXPECT_EQ(top->next, below);
    EXPECT_EQ(below->next, nullptr);
    FreeStack(top);
}

TYPED_TEST(SetupStackPush, PushesNothingWithoutAStackOrWithoutRoom)
{
    EXPECT_FALSE(PushSetupText<TypeParam>(nullptr, 1024, "true"));
    for (int stringSize : {0, -1, -1024}) {
        TSetupStackNode<TypeParam>* top = nullptr;
        EXPECT_FALSE(PushSetupText(&top, stringSize, "true")) << stringSize;
        EXPECT_EQ(top, nullptr) << stringSize;
    }
}

// IsUnicodeOS of the DLL itself, loaded as a setup program loads it.
class PluginLibrary : public testing::Test {
protected:
    using Export = void(__cdecl*)(HWND, int, TSetupChar*, TSetupStackNode<TSetupChar>**);

    void SetUp() override
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string dll = path;
        dll = dll.substr(0, dll.find_last_of('\\') + 1) + "CloseKivoBrowser.dll";
        module = LoadLibraryA(dll.c_str());
        ASSERT_NE(module, nullptr) << dll;
        isUnicodeOS = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(module, "IsUnicodeOS")));
        ASSERT_NE(isUnicodeOS, nullptr);
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }

    HMODULE module = nullptr;
    Export isUnicodeOS = nullptr;
};

TEST_F(PluginLibrary, IsUnicodeOSPushesTrueCutToTheStringSize)
{
    TSetupChar variables[8] = {};
    TSetupStackNode<TSetupChar>* top = nullptr;
    isUnicodeOS(nullptr, 1024, variables, &top);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(std::basic_string<TSetupChar>(top->text), Widen<TSetupChar>("true"));
    auto* first = top;
    isUnicodeOS(nullptr, 3, variables, &top);
    ASSERT_NE(top, first);
    EXPECT_EQ(std::basic_string<TSetupChar>(top->text), Widen<TSetupChar>("tr"));
    EXPECT_EQ(top->next, first);
    FreeStack(top);
}

TEST_F(PluginLibrary, IsUnicodeOSWithoutAStackPushesNothing)
{
    isUnicodeOS(nullptr, 1024, nullptr, nullptr);
    TSetupStackNode<TSetupChar>* top = nullptr;
    isUnicodeOS(nullptr, 0, nullptr, &top);
    EXPECT_EQ(top, nullptr);
}

} // namespace
