#pragma once
// CSolidCommandIcons: command icons of tests, one solid 16 by 16 square of each given colour in the
// normal list and a grey square beside each in the greyed list, installed as the toolbar and the
// general set of the command-image store while the object lives. The test adds its commands'
// images to the store itself.
#include "controls/CommandImageManager.h"

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

namespace controls_test {

class CSolidCommandIcons {
public:
    explicit CSolidCommandIcons(std::initializer_list<COLORREF> colors)
    {
        const int count = static_cast<int>(colors.size());
        m_normal = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 0);
        m_grey = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 0);
        for (COLORREF color : colors) {
            AddSquare(m_normal, color);
            AddSquare(m_grey, RGB(160, 160, 160));
        }
        CCommandImageManager* store = GetCommandImageManager();
        store->SetCommandIcons(kImageSetToolBar, m_normal, m_grey);
        store->SetCommandIcons(kImageSetGeneral, m_normal, m_grey);
    }
    ~CSolidCommandIcons()
    {
        CCommandImageManager* store = GetCommandImageManager();
        store->SetCommandIcons(kImageSetToolBar, nullptr, nullptr);
        store->SetCommandIcons(kImageSetGeneral, nullptr, nullptr);
        ImageList_Destroy(m_normal);
        ImageList_Destroy(m_grey);
    }
    CSolidCommandIcons(const CSolidCommandIcons&) = delete;
    CSolidCommandIcons& operator=(const CSolidCommandIcons&) = delete;

private:
    static void AddSquare(HIMAGELIST list, COLORREF color)
    {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = SelectObject(memory, bitmap);
        HBRUSH brush = CreateSolidBrush(color);
        RECT all = {0, 0, 16, 16};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        SelectObject(memory, old);
        ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }

    HIMAGELIST m_normal = nullptr;
    HIMAGELIST m_grey = nullptr;
};

}  // namespace controls_test
