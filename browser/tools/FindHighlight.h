#pragma once
// Find highlighting: every occurrence of each word of the search text is marked in the page and
// all its frames, each word in its own colour of ten (then the first again), and the marks are
// removed on the next use. A mark is an element SPAN with the id kHighlightMarkId pasted over the
// match through the document's text ranges; removing puts the element's inner text back in its
// place. The page is input: its text is escaped in the marks, the frames are followed to a bounded
// depth and the number of marks per word is bounded.
#include <windows.h>

constexpr wchar_t kHighlightMarkId[] = L"KBrowID";
constexpr int kHighlightStyleCount = 10;

// The style text of mark style n (0 to 9), which completes "style='color:".
const wchar_t* HighlightStyle(int n);
// Highlights when `highlighted` is false, removes the marks when it is true; the new state.
bool HighlightSearchWords(bool highlighted, IUnknown* page, const char* text);
