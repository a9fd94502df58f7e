// Libraries loaded at run time.
#include "core/system/DynamicLibrary.h"

#include <gtest/gtest.h>

namespace {

TEST(DynamicLibrary, LibrariesLoadWithoutErrorBoxes)
{
    CDynamicLibrary library;
    EXPECT_FALSE(library.Load("kivo-no-such-library.dll"));
    EXPECT_EQ(nullptr, library.GetProc("x"));
    ASSERT_TRUE(library.Load("shlwapi.dll"));
    EXPECT_NE(nullptr, library.GetProc("DllGetVersion"));
    library.Free();
    EXPECT_FALSE(library.IsLoaded());
}

} // namespace
