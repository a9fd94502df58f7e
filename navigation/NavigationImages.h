#pragma once
// The small image lists of the navigation aids: an owning holder, and the drawn images a new list
// starts with (the favicon cache's seven, the search categories' three), so that index 4 (the
// default page) and index 2 (a category without an icon of its own) always exist.
#include <windows.h>
#include <commctrl.h>

class CImageListHolder {
public:
    CImageListHolder() = default;
    explicit CImageListHolder(HIMAGELIST list) : m_list(list) {}
    ~CImageListHolder() { Reset(); }
    CImageListHolder(const CImageListHolder&) = delete;
    CImageListHolder& operator=(const CImageListHolder&) = delete;
    HIMAGELIST Get() const { return m_list; }
    void Reset(HIMAGELIST list = nullptr)
    {
        if (m_list)
            ImageList_Destroy(m_list);
        m_list = list;
    }

private:
    HIMAGELIST m_list = nullptr;
};

// A 16 x 16, 32-bit list with mask and grow step 4 holding `count` drawn images: 0 and 1 a closed
// and an open folder, 2 a file, 3 a shortcut, 4 a page, 5 a secure page, 6 a search glass.
HIMAGELIST CreateNavigationImageList(int count);
// The search categories' three: 0 find next (a glass), 1 highlight (a marked glass), 2 a category
// without an icon of its own (a glass on a page).
HIMAGELIST CreateSearchImageList();
