#include "TabTestParent.h"

#include <commctrl.h>

#include <cstdio>

namespace {
const char kClassName[] = "KivoTabTestParent";
}

CTabTestParent::CTabTestParent(int width, int height, bool visible)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    RegisterClassA(&wc);  // fails harmlessly when a former fixture registered it
    m_window = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "tabs", WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0),
                               0, 0, width, height, nullptr, nullptr, wc.hInstance, this);
}

CTabTestParent::~CTabTestParent()
{
    if (m_window)
        DestroyWindow(m_window);
}

std::vector<int> CTabTestParent::Codes() const
{
    std::vector<int> codes;
    for (const auto& notice : m_notices)
        codes.push_back(notice.code);
    return codes;
}

std::string CTabTestParent::Describe() const
{
    std::string text;
    char buffer[64];
    for (const auto& n : m_notices) {
        snprintf(buffer, sizeof(buffer), "%d(%d,%d) ", n.code, n.first, n.second);
        text += buffer;
    }
    return text;
}

void CTabTestParent::Pump(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

LRESULT CALLBACK CTabTestParent::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CTabTestParent*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && self) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        const int code = static_cast<int>(header->code);
        if (code == static_cast<int>(NM_CUSTOMDRAW)) {
            const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
            self->m_drawStages.emplace_back(draw->dwDrawStage, static_cast<int>(draw->dwItemSpec));
            if (draw->dwDrawStage == CDDS_PREPAINT)
                return self->m_paintAnswer;
            return draw->dwDrawStage == CDDS_ITEMPREPAINT ? self->m_itemAnswer : 0;
        }
        if (code == static_cast<int>(TTN_GETDISPINFOA) || code == static_cast<int>(TTN_SHOW) ||
            code == static_cast<int>(TTN_POP))
            return 0;
        CTabNotice notice = {code, 0, 0, {}};
        if (code == static_cast<int>(TCN_SELCHANGING) || code == static_cast<int>(TCN_SELCHANGE) || code == kTabNotifyMoved || code == kTabNotifyAcceptDrag) {
            const auto* move = reinterpret_cast<const CTabNotifyMove*>(lParam);
            notice.first = move->first;
            notice.second = move->second;
            notice.pt = move->pt;
        } else {
            const auto* item = reinterpret_cast<const CTabNotifyItem*>(lParam);
            notice.first = item->item;
            notice.pt = item->pt;
        }
        self->m_notices.push_back(notice);
        auto answer = self->m_answers.find(code);
        return answer == self->m_answers.end() ? 0 : answer->second;
    }
    if (message == WM_NCDESTROY && self)
        self->m_window = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
}
