#include "browser/tools/FindHighlight.h"

#include "core/system/DispatchByName.h"

#include <string>
#include <vector>

namespace {

// Frames inside frames: pages nest a few levels, never this deep.
constexpr int kMaxFrameDepth = 16;
// A page whose matches never end (a script that adds text as it is marked) stops here.
constexpr int kMaxMarksPerWord = 10000;

std::vector<std::wstring> SplitWords(const char* text)
{
    std::wstring all;
    if (text && *text) {
        const int units = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (units > 1) {
            all.resize(static_cast<size_t>(units));
            ::MultiByteToWideChar(CP_ACP, 0, text, -1, all.data(), units);
            all.resize(static_cast<size_t>(units - 1));
        }
    }
    std::vector<std::wstring> words;
    size_t position = 0;
    while (position < all.size()) {
        const size_t blank = all.find(L' ', position);
        const size_t end = blank == std::wstring::npos ? all.size() : blank;
        if (end > position)
            words.push_back(all.substr(position, end - position));
        position = end + 1;
    }
    return words;
}

// The matched text as markup: a page's "<" or "&" would otherwise become markup of the mark.
std::wstring EscapedText(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text) {
        if (c == L'<')
            escaped += L"&lt;";
        else if (c == L'>')
            escaped += L"&gt;";
        else if (c == L'&')
            escaped += L"&amp;";
        else
            escaped += c;
    }
    return escaped;
}

std::wstring TextOf(const CComVariant& value)
{
    return value.vt == VT_BSTR && value.bstrVal ? std::wstring(value.bstrVal) : std::wstring();
}

// Calls visit for the document and every frame's document, depth first.
template <typename Visit>
void ForEachDocument(IDispatch* document, int depth, const Visit& visit)
{
    if (!document || depth > kMaxFrameDepth)
        return;
    visit(document);
    CComPtr<IDispatch> frames = GetObjectByName(document, L"frames");
    if (!frames)
        return;
    CComVariant length = GetByName(frames, L"length");
    if (FAILED(length.ChangeType(VT_I4)))
        return;
    for (long i = 0; i < length.lVal; ++i) {
        CComVariant frame;
        if (FAILED(CallByName(frames, L"item", {CComVariant(i)}, &frame)) || frame.vt != VT_DISPATCH || !frame.pdispVal)
            continue;  // not a window
        ForEachDocument(GetObjectByName(frame.pdispVal, L"document"), depth + 1, visit);
    }
}

void ClearSelection(IDispatch* document)
{
    if (CComPtr<IDispatch> selection = GetObjectByName(document, L"selection"))
        CallByName(selection, L"empty", {});
}

void HighlightDocument(IDispatch* document, const std::vector<std::wstring>& words)
{
    CComPtr<IDispatch> body = GetObjectByName(document, L"body");
    if (!body)
        return;
    int style = 0;
    for (const std::wstring& word : words) {
        CComVariant range;
        if (SUCCEEDED(CallByName(body, L"createTextRange", {}, &range)) && range.vt == VT_DISPATCH && range.pdispVal) {
            for (int marks = 0; marks < kMaxMarksPerWord; ++marks) {
                CComVariant found;
                if (FAILED(CallByName(range.pdispVal, L"findText", {CComVariant(word.c_str()), CComVariant(1L),
                                                                    CComVariant(0L)},
                                      &found)) ||
                    FAILED(found.ChangeType(VT_BOOL)) || found.boolVal == VARIANT_FALSE)
                    break;
                const std::wstring matched = TextOf(GetByName(range.pdispVal, L"text"));
                const std::wstring mark = std::wstring(L"<SPAN id='") + kHighlightMarkId + L"' style='color:" +
                                          HighlightStyle(style) + EscapedText(matched) + L"</SPAN>";
                if (FAILED(CallByName(range.pdispVal, L"pasteHTML", {CComVariant(mark.c_str())})))
                    break;
            }
        }
        style = (style + 1) % kHighlightStyleCount;
    }
}

// The all collection is live: an element turned back into text leaves it and the later ones move
// up, so a walk by index that changes as it goes skips every mark after a removed one. The marks
// are collected first and changed afterwards.
void RemoveMarks(IDispatch* document)
{
    CComPtr<IDispatch> all = GetObjectByName(document, L"all");
    if (!all)
        return;
    CComVariant length = GetByName(all, L"length");
    if (FAILED(length.ChangeType(VT_I4)))
        return;
    std::vector<CComPtr<IDispatch>> marks;
    for (long i = 0; i < length.lVal; ++i) {
        CComVariant element;
        if (FAILED(CallByName(all, L"item", {CComVariant(i)}, &element)) || element.vt != VT_DISPATCH ||
            !element.pdispVal)
            continue;
        if (TextOf(GetByName(element.pdispVal, L"id")) == kHighlightMarkId &&
            TextOf(GetByName(element.pdispVal, L"tagName")) == L"SPAN")
            marks.emplace_back(element.pdispVal);
    }
    for (const CComPtr<IDispatch>& mark : marks) {
        const CComVariant inner = GetByName(mark, L"innerHTML");
        if (inner.vt == VT_BSTR)
            PutByName(mark, L"outerHTML", inner);
    }
}

// Find next in one document, from the bookmark when it belongs to this document.
bool FindInDocument(IDispatch* document, const std::wstring& word, CComBSTR& bookmark, bool useBookmark)
{
    CComPtr<IDispatch> body = GetObjectByName(document, L"body");
    if (!body)
        return false;
    CComVariant rangeValue;
    if (FAILED(CallByName(body, L"createTextRange", {}, &rangeValue)) || rangeValue.vt != VT_DISPATCH ||
        !rangeValue.pdispVal)
        return false;
    IDispatch* range = rangeValue.pdispVal;
    CComVariant moved;
    if (useBookmark && bookmark.Length() > 0 &&
        SUCCEEDED(CallByName(range, L"moveToBookmark", {CComVariant(bookmark)}, &moved)) &&
        SUCCEEDED(moved.ChangeType(VT_BOOL)) && moved.boolVal != VARIANT_FALSE) {
        if (TextOf(GetByName(range, L"text")) != word)
            CallByName(range, L"collapse", {CComVariant(false)});
        CallByName(range, L"moveStart", {CComVariant(L"character"), CComVariant(1L)});
        CallByName(range, L"moveEnd", {CComVariant(L"textedit"), CComVariant(1L)});
    }
    CComVariant found;
    if (FAILED(CallByName(range, L"findText", {CComVariant(word.c_str()), CComVariant(1L), CComVariant(0L)}, &found)) ||
        FAILED(found.ChangeType(VT_BOOL)) || found.boolVal == VARIANT_FALSE) {
        ClearSelection(document);
        return false;
    }
    CComVariant mark;
    bookmark.Empty();
    if (SUCCEEDED(CallByName(range, L"getBookmark", {}, &mark)) && mark.vt == VT_BSTR)
        bookmark = mark.bstrVal;
    CallByName(range, L"select", {});
    CallByName(range, L"scrollIntoView", {CComVariant(true)});
    return true;
}

CComPtr<IDispatch> FrameDocument(IDispatch* document, long index, long& count)
{
    count = 0;
    CComPtr<IDispatch> result;
    CComPtr<IDispatch> frames = GetObjectByName(document, L"frames");
    if (!frames)
        return result;
    CComVariant length = GetByName(frames, L"length");
    if (FAILED(length.ChangeType(VT_I4)) || length.lVal <= 0)
        return result;
    count = length.lVal;
    CComVariant frame;
    if (index < count && SUCCEEDED(CallByName(frames, L"item", {CComVariant(index)}, &frame)) &&
        frame.vt == VT_DISPATCH && frame.pdispVal)
        result = GetObjectByName(frame.pdispVal, L"document");
    return result;
}

} // namespace

bool FindNextSearchWord(CFindNextState& state, IUnknown* page, const char* text)
{
    const std::vector<std::wstring> words = SplitWords(text);
    CComPtr<IDispatch> top = PageDocument(page);
    if (words.empty() || !top)
        return false;
    const std::wstring& word = words.front();
    // The top document comes first, unless the last match was in a frame: its bookmark belongs to
    // that frame, and searching the top again from its start would never let the search reach
    // the frame's later matches.
    if (!state.inFrame && FindInDocument(top, word, state.bookmark, true))
        return true;
    long count = 0;
    for (long index = state.inFrame ? state.frameIndex : 0;; ++index) {
        CComPtr<IDispatch> frame = FrameDocument(top, index, count);
        if (index >= count)
            break;
        const bool continuing = state.inFrame && index == state.frameIndex;
        if (!continuing)
            state.bookmark.Empty();
        if (frame && FindInDocument(frame, word, state.bookmark, continuing)) {
            state.frameIndex = index;
            state.inFrame = true;
            return true;
        }
    }
    state = CFindNextState();
    return false;
}

const wchar_t* HighlightStyle(int n)
{
    static const wchar_t* const kStyles[kHighlightStyleCount] = {
        L"black;background:#ffff66;'>", L"black;background:#a0ffff;'>", L"black;background:#99ff99;'>",
        L"black;background:#ff9999;'>", L"black;background:#ff66ff;'>", L"white;background:#880000;'>",
        L"white;background:#00aa00;'>", L"white;background:#886800;'>", L"white;background:#004699;'>",
        L"white;background:#990099;'>",
    };
    return kStyles[((n % kHighlightStyleCount) + kHighlightStyleCount) % kHighlightStyleCount];
}

bool HighlightSearchWords(bool highlighted, IUnknown* page, const char* text)
{
    CComPtr<IDispatch> top = PageDocument(page);
    if (!top)
        return highlighted;
    ForEachDocument(top, 0, [](IDispatch* document) { ClearSelection(document); });
    if (highlighted) {
        ForEachDocument(top, 0, [](IDispatch* document) { RemoveMarks(document); });
    } else {
        const std::vector<std::wstring> words = SplitWords(text);
        ForEachDocument(top, 0, [&words](IDispatch* document) { HighlightDocument(document, words); });
    }
    return !highlighted;
}
