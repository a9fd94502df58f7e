#pragma once
// Starts the control the way the program does: start, then the three built-in configurations
// copied from the resources into global memory blocks. ControlSuite does it for a test suite of
// edit windows, with a fake system in place for the whole suite.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>

#include "editctl/Quillpoint.h"
#include "editctl/tests/FakeEditSystem.h"
#include "editctl/win/EditSystem.h"

namespace quill::testing {

inline void StartControlWithBuiltins()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(QuillpointDllMain(instance, 1, nullptr));
    for (int id : {QP_IDR_CONFIG_HTML, QP_IDR_CONFIG_CSS, QP_IDR_CONFIG_JAVASCRIPT}) {
        HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
        ASSERT_TRUE(resource);
        const DWORD size = SizeofResource(instance, resource);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        std::memcpy(GlobalLock(block), LockResource(LoadResource(instance, resource)), size);
        GlobalUnlock(block);
        EXPECT_TRUE(AddParserConfigFromMemory(block)) << id;
        GlobalFree(block);
    }
}

// The base of the suites whose tests make edit windows in a parent of the suite's own window
// class. The fake system is in place from before the control starts until after it stops: a
// message box may come at either. Each test's SetUp calls s_system.Reset().
class ControlSuite : public ::testing::Test {
protected:
    static void StartSuite(const char* parentClass, WNDPROC parentProc)
    {
        s_scope.emplace(s_system);
        WNDCLASSA wc{};
        wc.lpfnWndProc = parentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = parentClass;
        RegisterClassA(&wc);
        StartControlWithBuiltins();
    }
    static void StopSuite()
    {
        QuillpointDllMain(GetModuleHandleA(nullptr), 0, nullptr);
        s_scope.reset();
    }

    static inline FakeEditSystem s_system;
    static inline std::optional<win::CScopedEditSystem> s_scope;
};

} // namespace quill::testing
