// The control's handle holders free what they hold exactly when they should, and a selection
// comes undone; the system seam's scoped override nests and restores.
#include <gtest/gtest.h>
#include <windows.h>

#include "editctl/tests/FakeEditSystem.h"
#include "editctl/win/EditSystem.h"
#include "editctl/win/GdiHolders.h"

using namespace quill::win;

namespace {

// One holder of each GDI type: the object lives while held, goes at the holder's end, and a
// Reset or a made replacement deletes the old one; a failed creation (nullptr) keeps it.
template <typename T>
void CheckGdiHolder(T (*make)())
{
    T first = make(), second = make();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    {
        TGdiObject<T> held(first);
        held.ReplaceIfMade(nullptr);
        EXPECT_NE(GetObjectType(first), 0u);
        EXPECT_EQ(held.Get(), first);
        held.ReplaceIfMade(second);
        EXPECT_EQ(GetObjectType(first), 0u);
        EXPECT_NE(GetObjectType(second), 0u);
    }
    EXPECT_EQ(GetObjectType(second), 0u);

    // Released, the object outlives the holder until its new owner deletes it.
    T given = make();
    {
        TGdiObject<T> held(given);
        EXPECT_EQ(held.Release(), given);
        EXPECT_EQ(held.Get(), nullptr);
    }
    EXPECT_NE(GetObjectType(given), 0u);
    TGdiObject<T>(given).Reset();
    EXPECT_EQ(GetObjectType(given), 0u);
}

} // namespace

TEST(GdiHolders, GdiObjectsAreDeletedWithTheirHolder)
{
    CheckGdiHolder<HBRUSH>([] { return CreateSolidBrush(RGB(1, 2, 3)); });
    CheckGdiHolder<HPEN>([] { return CreatePen(PS_SOLID, 1, RGB(4, 5, 6)); });
    CheckGdiHolder<HBITMAP>([] { return CreateBitmap(8, 8, 1, 1, nullptr); });
    CheckGdiHolder<HFONT>([] {
        LOGFONTA lf{};
        lf.lfHeight = 12;
        return CreateFontIndirectA(&lf);
    });
}

TEST(GdiHolders, SelectionsAreUndoneBeforeTheirObjectsGo)
{
    const CWindowDc screen(nullptr);
    ASSERT_NE(screen.Get(), nullptr);
    HDC memory = nullptr;
    {
        const CCreatedDc dc(CreateCompatibleDC(screen));
        memory = dc;
        ASSERT_NE(memory, nullptr);
        const HGDIOBJ original = GetCurrentObject(dc, OBJ_BITMAP);
        TGdiObject<HBITMAP> a(CreateCompatibleBitmap(screen, 4, 4)), b(CreateCompatibleBitmap(screen, 4, 4));
        {
            CSelection selected(dc, a);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), a.Get());
            // A second selection through the same holder still gives back the first original.
            selected.Select(dc, b);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), b.Get());
            EXPECT_TRUE(selected.Selected());
        }
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), original);
        // Deselected, the bitmaps can really be deleted (a selected one cannot).
        const HBITMAP aHandle = a;
        a.Reset();
        EXPECT_EQ(GetObjectType(aHandle), 0u);

        CSelection early(dc, b);
        early.Restore();
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), original);
        EXPECT_FALSE(early.Selected());
        const CSelection nothing(dc, nullptr);
        EXPECT_FALSE(nothing.Selected());
    }
    EXPECT_EQ(GetObjectType(memory), 0u);
}

TEST(GdiHolders, KernelHandlesAndRegistryKeysAreClosed)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    DWORD flags = 0;
    {
        CKernelHandle held(event);
        EXPECT_TRUE(held.Valid());
        EXPECT_TRUE(GetHandleInformation(event, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(event, &flags));
    // Both of the system's failure values hold nothing and close nothing.
    EXPECT_FALSE(CKernelHandle(nullptr).Valid());
    EXPECT_FALSE(CKernelHandle(INVALID_HANDLE_VALUE).Valid());

    // A read-only handle to a key that every user key has: nothing is written.
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &opened), ERROR_SUCCESS);
    {
        const CRegKey key(opened);
        EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
}

TEST(EditSystemSeam, ScopedOverridesNestAndRestore)
{
    IEditSystem* const system = &EditSystem();
    quill::testing::FakeEditSystem outer, inner;
    {
        const CScopedEditSystem outerScope(outer);
        EXPECT_EQ(&EditSystem(), &outer);
        {
            const CScopedEditSystem innerScope(inner);
            EditSystem().Beep(MB_ICONHAND);
        }
        EXPECT_EQ(&EditSystem(), &outer);
        EditSystem().Beep(MB_OK);
    }
    EXPECT_EQ(&EditSystem(), system);
    EXPECT_EQ(inner.beeps, (std::vector<UINT>{MB_ICONHAND}));
    EXPECT_EQ(outer.beeps, (std::vector<UINT>{MB_OK}));
}
