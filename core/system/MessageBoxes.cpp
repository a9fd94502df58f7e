#include "core/system/MessageBoxes.h"

#include <atomic>

namespace {

CSystemMessageBoxes g_systemMessageBoxes;
// The splash thread may show a box while the user-interface thread runs, hence atomic.
std::atomic<IMessageBoxes*> g_messageBoxes{&g_systemMessageBoxes};

} // namespace

int CSystemMessageBoxes::Show(HWND owner, const char* text, const char* caption, UINT type)
{
    return ::MessageBoxA(owner, text, caption, type);
}

IMessageBoxes& GetMessageBoxes() { return *g_messageBoxes.load(); }

CScopedMessageBoxes::CScopedMessageBoxes(IMessageBoxes& replacement)
    : m_previous(g_messageBoxes.exchange(&replacement))
{
}

CScopedMessageBoxes::~CScopedMessageBoxes() { g_messageBoxes.store(m_previous); }
