// The holders of kernel handles, searches and GDI objects: each gives its handle back to the system
// exactly when it should, and not a second time.
#include <gtest/gtest.h>
#include "platform/AtlBase.h"
#include "platform/AtlGdi.h"

#include <type_traits>
#include <utility>

namespace {

// A handle the process holds: GetHandleInformation fails once it is closed.
bool IsOpenHandle(HANDLE handle)
{
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent()
{
    return ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

static_assert(!std::is_copy_constructible_v<CHandle> && !std::is_move_constructible_v<CHandle> &&
              !std::is_copy_assignable_v<CHandle> && !std::is_move_assignable_v<CHandle>);
static_assert(!std::is_copy_constructible_v<CFindHandle> && !std::is_move_constructible_v<CFindHandle>);
static_assert(!std::is_copy_constructible_v<CComHeapPtr<char>> && !std::is_move_constructible_v<CComHeapPtr<char>>);
static_assert(!std::is_copy_constructible_v<CBrush> && !std::is_copy_assignable_v<CBrush>);
// The owning GDI holders convert to their handle; that must not open a way to a second owner.
static_assert(!std::is_copy_constructible_v<CDC> && !std::is_copy_assignable_v<CDC>);
static_assert(!std::is_copy_constructible_v<CIcon> && !std::is_copy_assignable_v<CIcon>);
static_assert(!std::is_copy_constructible_v<CCursor> && !std::is_copy_assignable_v<CCursor>);
static_assert(!std::is_copy_constructible_v<CBitmap> && !std::is_copy_assignable_v<CBitmap>);
static_assert(std::is_copy_constructible_v<CDCHandle> && std::is_copy_constructible_v<CBrushHandle>);
static_assert(!std::is_copy_constructible_v<CClientDC> && !std::is_move_constructible_v<CClientDC>);
static_assert(!std::is_copy_constructible_v<CGdiObjectSelector> && !std::is_move_constructible_v<CGdiObjectSelector>);

TEST(PlatformHolders, HandleClosesOnDestructionAndOnAttach)
{
    HANDLE first = NewEvent();
    HANDLE second = NewEvent();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    {
        CHandle holder(first);
        EXPECT_TRUE(holder);
        EXPECT_EQ(holder.Get(), first);
        // The holder is usable wherever the handle is.
        ASSERT_TRUE(::SetEvent(holder));
        EXPECT_EQ(::WaitForSingleObject(holder, 0), WAIT_OBJECT_0);
        holder.Attach(second);
        EXPECT_FALSE(IsOpenHandle(first));
        EXPECT_TRUE(IsOpenHandle(second));
    }
    EXPECT_FALSE(IsOpenHandle(second));
}

TEST(PlatformHolders, HandleDetachGivesUpAndCloseEmpties)
{
    HANDLE event = NewEvent();
    ASSERT_NE(event, nullptr);
    {
        CHandle holder(event);
        EXPECT_EQ(holder.Detach(), event);
        EXPECT_FALSE(holder);
        EXPECT_EQ(holder.Get(), nullptr);
    }
    EXPECT_TRUE(IsOpenHandle(event));

    CHandle again(event);
    EXPECT_TRUE(again.Close());
    EXPECT_FALSE(again);
    EXPECT_FALSE(IsOpenHandle(event));
    EXPECT_TRUE(again.Close()); // nothing left to close
}

TEST(PlatformHolders, BothNoHandleValuesAreEmpty)
{
    // INVALID_HANDLE_VALUE is also the current process's pseudo handle: a holder must never pass it
    // to CloseHandle, and it counts as no handle, as CreateFile's failure does.
    for (HANDLE none : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        CHandle holder(none);
        EXPECT_FALSE(holder);
        EXPECT_FALSE(holder.IsValid());
        EXPECT_FALSE(CHandle::IsValid(none));
        EXPECT_TRUE(holder.Close());
    }
    const CHandle failed(::CreateFileA("C:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(failed);
}

TEST(PlatformHolders, FindHandleHoldsASearchAndAFailedOneIsEmpty)
{
    char self[MAX_PATH] = {};
    ASSERT_NE(::GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    WIN32_FIND_DATAA data;
    CFindHandle found(::FindFirstFileA(self, &data));
    ASSERT_TRUE(found);
    EXPECT_FALSE(::FindNextFileA(found, &data)); // one file of that exact name
    found.Close();
    EXPECT_FALSE(found);

    const CFindHandle missing(::FindFirstFileA("C:\\no\\such\\folder\\*.*", &data));
    EXPECT_FALSE(missing);
}

// Each kind of GDI holder deletes its object with itself and when another one is attached.
template <class THolder>
void ExpectHolderDeletes(HGDIOBJ (*create)())
{
    using THandle = decltype(static_cast<THolder*>(nullptr)->m_hGdiObj);
    const auto first = static_cast<THandle>(create());
    const auto second = static_cast<THandle>(create());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    {
        THolder holder(first);
        holder.Attach(second);
        EXPECT_EQ(::GetObjectType(first), 0u);
        EXPECT_NE(::GetObjectType(second), 0u);
    }
    EXPECT_EQ(::GetObjectType(second), 0u);

    // A moved holder hands the object on: it is deleted once, by the holder that has it.
    const auto moved = static_cast<THandle>(create());
    {
        THolder source(moved);
        THolder target(std::move(source));
        EXPECT_TRUE(source.IsNull());
        EXPECT_EQ(static_cast<THandle>(target), moved);
    }
    EXPECT_EQ(::GetObjectType(moved), 0u);

    const auto kept = static_cast<THandle>(create());
    {
        THolder holder(kept);
        EXPECT_EQ(holder.Detach(), kept);
    }
    EXPECT_NE(::GetObjectType(kept), 0u);
    ::DeleteObject(kept);
}

TEST(PlatformHolders, GdiObjectsAreDeletedByTheirHolders)
{
    ExpectHolderDeletes<CPen>([]() -> HGDIOBJ { return ::CreatePen(PS_SOLID, 1, RGB(1, 2, 3)); });
    ExpectHolderDeletes<CBrush>([]() -> HGDIOBJ { return ::CreateSolidBrush(RGB(1, 2, 3)); });
    ExpectHolderDeletes<CBitmap>([]() -> HGDIOBJ { return ::CreateBitmap(4, 4, 1, 1, nullptr); });
    ExpectHolderDeletes<CRgn>([]() -> HGDIOBJ { return ::CreateRectRgn(0, 0, 4, 4); });
    ExpectHolderDeletes<CFont>([]() -> HGDIOBJ {
        LOGFONTA font = {};
        font.lfHeight = -12;
        return ::CreateFontIndirectA(&font);
    });
}

TEST(PlatformHolders, CreatedDcIsDeletedAndSelectionsAreRestored)
{
    HDC kept = nullptr;
    {
        CDC memory;
        ASSERT_NE(memory.CreateCompatibleDC(nullptr), nullptr);
        kept = memory;
        EXPECT_EQ(::GetObjectType(kept), static_cast<DWORD>(OBJ_MEMDC));

        CBrush brush;
        ASSERT_NE(brush.CreateSolidBrush(RGB(10, 20, 30)), nullptr);
        CBitmap bitmap;
        ASSERT_NE(bitmap.CreateCompatibleBitmap(memory, 4, 4), nullptr);
        const HGDIOBJ brushBefore = ::GetCurrentObject(memory, OBJ_BRUSH);
        const HGDIOBJ bitmapBefore = ::GetCurrentObject(memory, OBJ_BITMAP);
        {
            CGdiObjectSelector selectBrush(memory, brush);
            CGdiObjectSelector selectBitmap(memory, bitmap);
            EXPECT_EQ(::GetCurrentObject(memory, OBJ_BRUSH), static_cast<HGDIOBJ>(brush));
            EXPECT_EQ(::GetCurrentObject(memory, OBJ_BITMAP), static_cast<HGDIOBJ>(bitmap));
        }
        EXPECT_EQ(::GetCurrentObject(memory, OBJ_BRUSH), brushBefore);
        EXPECT_EQ(::GetCurrentObject(memory, OBJ_BITMAP), bitmapBefore);
        // Declared after the DC, the objects go first; once deselected they are really deleted.
    }
    EXPECT_EQ(::GetObjectType(kept), 0u);
}

} // namespace
