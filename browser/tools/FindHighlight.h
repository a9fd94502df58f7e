#pragma once
// Find highlighting: every occurrence of each word of the search text is marked in the page and
// all its frames, each word in its own colour of ten (then the first again), and the marks are
// removed on the next use. A mark is an element SPAN with the id kHighlightMarkId pasted over the
// match through the document's text ranges; removing puts the element's inner text back in its
// place. Find next selects and scrolls to the next occurrence of the text's first word, in the
// page and then its frames, and starts over at the top after the last one. The page is input: its text is escaped in the marks, the frames are followed to a bounded
// depth and the number of marks per word is bounded.
#include "platform/AtlCom.h"

#include <windows.h>

constexpr wchar_t kHighlightMarkId[] = L"KBrowID";
constexpr int kHighlightStyleCount = 10;

// The style text of mark style n (0 to 9), which completes "style='color:".
const wchar_t* HighlightStyle(int n);
// Highlights when `highlighted` is false, removes the marks when it is true; the new state.
bool HighlightSearchWords(bool highlighted, IUnknown* page, const char* text);

// Where find next goes on: the bookmark of the last match and the frame it was in.
struct CFindNextState {
    CComBSTR bookmark;     // empty: from the top of the document
    long frameIndex = 0;   // the frame the search goes on in
    bool inFrame = false;  // the last match was in that frame, not in the top document
};
// Selects the next occurrence of the text's first word; false when there is none (the state
// then starts over).
bool FindNextSearchWord(CFindNextState& state, IUnknown* page, const char* text);
