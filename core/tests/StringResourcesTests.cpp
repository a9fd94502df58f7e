// String resources read from the module's string table, compared with the system's reader.
#include "core/system/StringResources.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(StringResources, StringResourcesOfTheModule)
{
    // core/tests/CoreTestsVersion.rc holds 17, 18 and 40.
    HINSTANCE module = GetModuleHandleA(nullptr);
    const struct {
        UINT id;
        const char* text;
    } cases[] = {{17, "Seventeen"}, {18, "Eighteen"}, {40, "Forty"}, {16, ""}, {19, ""}, {41, ""}, {4000, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.text, LoadStringResource(module, c.id));
        int length = -1;
        const WCHAR* text = FindStringResource(module, c.id, &length);
        EXPECT_EQ(*c.text == 0, text == nullptr);
        EXPECT_EQ(static_cast<int>(strlen(c.text)), length);
        // The same as the system's own reader.
        WCHAR system[64] = {};
        LoadStringW(module, c.id, system, 64);
        EXPECT_EQ(TStdStr<char>(system), LoadStringResource(module, c.id));
    }
}

} // namespace
