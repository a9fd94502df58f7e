#pragma once
// The setup program's string stack, as its plug-ins see it: a singly linked list of nodes owned by
// the setup program. A plug-in pushes by allocating a node with the global allocator and linking it
// in front of the top; the setup program frees the nodes it pops.
#include <windows.h>
#include <cstddef>

// The character type of the stack's text is the setup program's: 32-bit setup programs that load
// this plug-in are ANSI builds, while 64-bit setup programs exist only as Unicode builds.
#ifdef _WIN64
using TSetupChar = wchar_t;
#else
using TSetupChar = char;
#endif

template <typename TChar>
struct TSetupStackNode {
    TSetupStackNode* next;
    TChar text[1]; // really string-size characters long
};

// Pushes an ASCII text, cut to stringSize characters with its terminator. Nothing is pushed when
// there is no stack, the string size is not positive or the node cannot be allocated.
template <typename TChar>
bool PushSetupText(TSetupStackNode<TChar>** stackTop, int stringSize, const char* text)
{
    if (!stackTop || stringSize < 1)
        return false;
    // The node's own size already holds one character; the rest of the string size follows it.
    const std::size_t bytes = sizeof(TSetupStackNode<TChar>) + static_cast<std::size_t>(stringSize) * sizeof(TChar);
    auto* node = static_cast<TSetupStackNode<TChar>*>(GlobalAlloc(GPTR, bytes));
    if (!node)
        return false;
    // The node is zero-filled, so the copy leaves its terminator in place.
    for (int i = 0; i + 1 < stringSize && text[i]; ++i)
        node->text[i] = static_cast<TChar>(static_cast<unsigned char>(text[i]));
    node->next = *stackTop;
    *stackTop = node;
    return true;
}
