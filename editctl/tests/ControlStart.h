#pragma once
// Starts the control the way the program does: start, then the three built-in configurations
// copied from the resources into global memory blocks.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "editctl/Quillpoint.h"

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

} // namespace quill::testing
